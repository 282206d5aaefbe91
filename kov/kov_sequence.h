// The arithmetic of the guided set-up, apart from its window steps: the file
// series in the record, the default angle and output file, the 90-degree
// projection, the voxel ranges from clicked coordinates, the console report
// of the volume and the remembered answers of the defaults database.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io.h"
#include "kov_parameters.h"

namespace kov {

// Names offered before the user has chosen anything.
inline constexpr const char* initial_first_file = "projection_1.dat";
inline constexpr const char* initial_last_file = "projection_180.dat";

// Keys of the defaults database.
inline constexpr const char* key_x_pixel_size = "X_PIXEL_SIZE";
inline constexpr const char* key_y_pixel_size = "Y_PIXEL_SIZE";
inline constexpr const char* key_first_file = "FILE_FIRST_DATA";
inline constexpr const char* key_ff_interval = "FF_INTERVAL";

// The range of voxels between two clicked coordinates (0.0 the lower edge of
// the first pixel): from trunc(lower) + 1 to trunc(upper + 0.5), whatever
// the order of the clicks.
struct VoxelRange {
  int start = 0;
  int end = 0;
};
VoxelRange clicked_range(float c1, float c2);

// The X (from x) and Z (from y) ranges chosen on the first projection.
void first_image_volume(float x1, float y1, float x2, float y2, Parameters& p);
// The depth (Y) range chosen on the 90-degree projection: the coordinate
// across the axis is mirrored (x for a vertical axis, y for a horizontal
// one); the range along the axis is widened to the clicks, never narrowed.
void depth_volume(float x1, float y1, float x2, float y2, Parameters& p);

// Why a name cannot stand in a field of the parameter file `width`
// characters wide (kov_slave would read it cut: another file), as the lines
// of a warning box: `what` has so many characters, the file holds at most
// `width`. None when it fits.
std::vector<std::string> name_too_long(const std::string& what, const std::string& name, int width);
// The same for the first file of a series: its name, and the part after its
// last digit, which every series from it has in its postfix.
std::vector<std::string> first_name_too_long(const std::string& name);
// The same for the series of `first` and `last`: its prefix or its postfix
// (with the extension). None when the names make no series: that is said
// when the series is taken.
std::vector<std::string> series_too_long(const std::string& first, const std::string& last,
                                         int& status);

// The postfix of a series with its extension, as the record holds it.
std::string series_postfix(const io::FileSeries& series);
// The projection (flat-field) series into the record's FILE_ (FF_) fields.
// retstat 0; -1, with the record unchanged, when the prefix or the postfix
// does not fit its field (kov_slave would build other names).
void take_projection_series(const io::FileSeries& series, Parameters& p, int& retstat);
void take_flatfield_series(const io::FileSeries& series, Parameters& p, int& retstat);
// The name of projection `number` of the record's series; retstat -1 (name
// unchanged) when the number does not fit the fixed number length.
void projection_file_name(const Parameters& p, int number, std::string& name, int& retstat,
                          int& status);

// The default angle between projections in degrees: 180 over the number of
// files from the first to the last; 0.0 when the two numbers are equal.
float default_angle_degrees(int first_number, int last_number);
// The default output file: the first file's name without its extension,
// then ".vol" (control form 2 refuses it when it is longer than its field).
void default_output_file(const std::string& first_file_name, std::string& output_file, int& status);
// After the control forms: the interval takes the direction of the file
// numbers, and the angle between treated files (radians) follows from the
// angle between files (degrees).
void combine_interval(int sequence_step, Parameters& p);

// The projection nearest to 90 degrees from the first: k treated intervals
// on, numbered NUM_FIRST_IMAGE + FILE_INTERVAL * k. With no usable angle (0,
// or a number out of range) the first file is taken (k = 0) and the console
// says so.
struct NinetyDegree {
  int k = 0;
  int number = 0;
};
NinetyDegree ninety_degree_projection(const Parameters& p, int& status);

// The console report of the chosen volume: the ranges, the size and the
// total count of voxels (64 bits).
std::vector<std::string> volume_report_lines(const Parameters& p);
void report_volume(const Parameters& p, int& status);

// Remembered answers. A key that is missing (or holds no valid value)
// leaves the value passed in.
void load_pixel_sizes(Parameters& p, int& status);
void store_pixel_sizes(const Parameters& p, int& status);
void load_first_file_name(std::string& file_name, int& status);
void store_first_file_name(const std::string& file_name, int& status);
void load_ff_interval(int& interval, int& status);
void store_ff_interval(int interval, int& status);

}  // namespace kov

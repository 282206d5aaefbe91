// One slice of the volume by filtered back-projection, for the eye: the
// slice at the axis position offered, and at positions around it, shows a
// wrong axis at once as arcs and doubled edges. The set-up's axis step and
// kov_axis use the same routines.
//
// The sinogram is one line of the volume across the axis (an image row for
// a vertical axis, a column for a horizontal one) from every treated
// projection of the series, corrected as the record chooses. The slice is
// parallel-beam filtered back-projection: each row ramp-filtered with a
// smooth (Hann) window, then smeared back along its rays with linear
// interpolation between the detector's pixels.
//
// Geometry. Detector positions are pixel coordinates along the line, 0.0
// the left (lower) edge of the first pixel. With the axis at c, the ray of
// angle a through the point (x, y) of the slice (pixels from the axis)
// meets the line at c + x cos(a) + y sin(a). Voxel column i of the slice
// (first .. last) lies at x = i - 0.5 - c, under the detector pixel i of
// the projection at angle 0; voxel row j lies at the same distances from
// the axis in y, so that the square holds what the chosen pixels would
// hold at 90 degrees. Slice values are attenuations per pixel.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "io.h"
#include "kov_parameters.h"

namespace kov {

// Statuses of the routines below.
// A line outside the projections, or a voxel range that is empty, starts
// before the first pixel or has a slice array too small for it.
inline constexpr int status_bad_slice_line = ma::module_offset + st::region_2;   // 20006
inline constexpr int status_bad_slice_range = ma::module_offset + st::region_1;  // 20005
// A sinogram without two rows, or whose rows do not match its angles.
inline constexpr int status_bad_sinogram = ma::module_offset + st::array_dimension_2;  // 20002
// A file of the series (or a correction) that cannot be read, or whose size
// differs from the first projection's (after the console line that says so).
inline constexpr int status_sinogram_unread = fio::module_offset + st::read_failed;  // 181011
inline constexpr int status_slice_no_memory = ma::module_offset + st::no_memory;     // 21002

// One line of the volume across the axis from every treated projection:
// corrected values (background, flat-field, logarithm as the record chooses),
// a row per projection, with each row's angle in radians.
struct Sinogram {
  int width = 0;              // pixels along the line (across the axis)
  std::vector<float> angles;  // radians, one per row
  std::vector<float> values;  // width * rows, first index fastest
  int rows() const { return static_cast<int>(angles.size()); }
  io::View2D<const float> view() const {
    return io::View2D<const float>(values.data(), width, rows());
  }
};

}  // namespace kov

// Reads line `line` (1-based: an image row for a vertical axis, a column for
// a horizontal one) of every treated projection of the series the record
// describes (NUM_FIRST_IMAGE to NUM_LAST_IMAGE every FILE_INTERVAL), only that
// line where the format allows, and corrects it as the record chooses.
//
// The format comes from each name's extension (else the image input's
// current format). TIFF and raw binary with its ".info" header are read a
// row (a column: the rows' pixels of that column) at a time; other formats
// whole. Corrections: (value - background) / (flat-field - background),
// value / flat-field or value - background; a flat-field series
// (FLATFIELD_CHANGING: FF_NUM_FIRST_IMAGE to FF_NUM_LAST_IMAGE every
// FF_FILE_INTERVAL, numbered with the projections) is interpolated linearly
// between the two flat-fields around each projection's number. With
// TAKE_LOGARITHM the values become -ln(value). Pixels that are not finite
// (a zero denominator, the logarithm of a value not above zero) take the
// mean of their row's finite pixels. Row k's angle is ANGLE_OFFSET (degrees)
// plus k times ANGLE_BETWEEN_PROJECTIONS (radians, between treated files).
// The console gets one line for the series ("INFO: Sinogram of line ...").
void KOV_READ_SINOGRAM(const kov::Parameters& p, int line, kov::Sinogram& sinogram, int& status);

// The slice at axis position `axis` (parameter-file coordinates: 0.0 the left
// edge of the first pixel) by filtered back-projection, over the voxels
// first .. last across the axis (START_VOXEL_1 .. END_VOXEL_1 for a vertical
// axis), n by n with n = last - first + 1, at the detector's pixel size.
// `slice` must be at least n by n; its elements 1 .. n by 1 .. n are set.
void KOV_SLICE(const kov::Sinogram& sinogram, float axis, int first, int last,
               io::View2D<float> slice, int& status);

namespace kov {

// How sharp a slice is (larger is sharper): the total variation of the
// slice (the sum of the magnitudes of its neighbour differences) against
// its total negative density, both over the inscribed disc where every
// angle saw the voxels. Arcs and doubled edges of a wrong axis raise the
// negative density and blur the edges.
double slice_sharpness(io::View2D<const float> slice);

// The slices at positions around a centre, and the axis by reconstruction.
struct Sweep {
  std::vector<float> positions;    // the nine (or more) positions
  double by_reconstruction = 0.0;  // best position of the finer sweep
};

// The count of slices of a sweep and their positions: centre + (k - 4) *
// step, k = 0 .. 8.
inline constexpr int sweep_count = 9;
std::vector<float> sweep_positions(float centre, float step);

// The nine positions centre + (k - 4) * step, k = 0..8, reconstructed into
// `slices` (nine n-by-n arrays the caller owns), in parallel on the machine's cores.
void sweep_slices(const Sinogram& s, float centre, float step, int first, int last,
                  std::span<io::View2D<float>> slices, int& status);

// The axis by reconstruction: the sharpest position of a finer sweep
// around `centre` (within +-`reach` pixels).
double axis_by_reconstruction(const Sinogram& s, float centre, float reach, int first, int last,
                              int& status);

// The console lines of the axis by reconstruction: "INFO: Axis by
// reconstruction = " with the position in 12 characters, 5 decimals, then,
// when it lies more than 1 pixel from the correlation's position, the
// warning that says so. The same warning for a box (upper case, without
// "WARNING: "); none when the two agree.
std::vector<std::string> reconstruction_report_lines(double correlation, double reconstruction);
std::vector<std::string> reconstruction_warning_box(double correlation, double reconstruction);

}  // namespace kov

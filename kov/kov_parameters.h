// The record of the set-up: every value that the guided sequence gathers and
// that the parameter file hands to kov_slave. Field names are the keys of the
// parameter file. Texts hold their significant characters only; the parameter
// file pads them to their declared widths (kov::prefix_width and friends).
// Every field has its initial value here, so that a record can be written
// with designated initializers naming only the fields that differ.
#pragma once

#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace kov {

// Declared widths of the record's text fields.
inline constexpr int prefix_width = 256;     // FILE_PREFIX, FF_PREFIX
inline constexpr int file_name_width = 256;  // BACKGROUND_FILE, FLATFIELD_FILE, OUTPUT_FILE
inline constexpr int postfix_width = 80;     // FILE_POSTFIX, FF_POSTFIX

// Angles are entered and written in degrees and held in radians; pi is the
// standard library's.
inline constexpr float radians_per_degree = static_cast<float>(std::numbers::pi / 180.0);
inline constexpr float degrees_per_radian = static_cast<float>(180.0 / std::numbers::pi);

struct Parameters {
  // The projection file series.
  int NUM_FIRST_IMAGE = 0;
  int NUM_LAST_IMAGE = 0;
  int FILE_INTERVAL = 1;  // signed step between treated file numbers
  std::string FILE_PREFIX{};
  bool NUMBER_LENGTH_VARIES = false;
  int LENGTH_OF_NUMERICAL_PART = 0;
  std::string FILE_POSTFIX{};  // extension included
  // The projection images.
  int NUM_IMAGE_1 = 0;                    // width in pixels
  int NUM_IMAGE_2 = 0;                    // height in pixels
  float horizontal_pixel_size = 2.0e-6F;  // metres
  float vertical_pixel_size = 2.0e-6F;    // metres
  // Corrections.
  bool SUBTRACT_BACKGROUND = false;
  std::string BACKGROUND_FILE{};
  bool CORRECT_FLATFIELD = false;
  bool FLATFIELD_CHANGING = false;
  std::string FLATFIELD_FILE{};
  int FF_NUM_FIRST_IMAGE = 0;
  int FF_NUM_LAST_IMAGE = 0;
  int FF_FILE_INTERVAL = 100;
  std::string FF_PREFIX{};
  bool FF_NUMBER_LENGTH_VARIES = false;
  int FF_LENGTH_OF_NUMERICAL_PART = 0;
  std::string FF_POSTFIX{};  // extension included
  bool TAKE_LOGARITHM = true;
  // Geometry.
  float ANGLE_OFFSET = 0.0F;  // degrees
  // Between successive files of the series, in degrees: offered and entered
  // in control form 2.
  float angle_between_files = 0.0F;
  // Between treated files (FILE_INTERVAL files apart), in radians.
  float ANGLE_BETWEEN_PROJECTIONS = 0.0F;
  bool ROTATION_VERTICAL = true;
  // Reconstruction.
  bool OUTPUT_SINOGRAMS = false;
  bool OUTPUT_RECONSTRUCTION = true;
  float ROTATION_AXIS_POSITION = 512.0F;  // pixels, 0.0 the left (lower) edge of the first
  int START_VOXEL_1 = 0;
  int START_VOXEL_2 = 0;
  int START_VOXEL_3 = 0;
  int END_VOXEL_1 = 0;
  int END_VOXEL_2 = 0;
  int END_VOXEL_3 = 0;
  int OVERSAMPLING_FACTOR = 4;
  int SINOGRAM_MEGABYTES = 800;
  std::string OUTPUT_FILE{};
  bool DISPLAY_GRAPHICS = false;
};

// An integer right-justified in a field of `width` characters, as the
// parameter file writes it; a value too large for the field fills it with
// asterisks.
std::string integer_field(long long value, int width);

// The text of the parameter file for `p`, every line ended by "\n". The
// angle between projections is taken in radians.
std::string parameter_file_text(const Parameters& p);

// Results of save_parameter_file (retstat).
inline constexpr int save_written = 0;
inline constexpr int save_not_opened = 1;   // the file cannot be made: nothing written
inline constexpr int save_not_written = 2;  // a write or the close failed: nothing left

// Writes the parameter file of `p` as the new file `file_name` ("~"
// translated), never replacing anything: an entry of that name, even one
// that appears while the file is written, gives save_not_opened. On any
// failure no partial file is left behind. retstat is one of the values
// above; `reason` tells why the file is not written (the system's reason
// where there is one). A failed write is reported on the console (the lines
// of a failed write, then a warning naming the file and the reason); a file
// that cannot be made is left to the caller to report. A record whose texts
// hold a line break is not written (save_not_written, said on the console):
// its lines would not be the file's. The status stays
// good: the caller offers another name.
void save_parameter_file(const std::string& file_name, const Parameters& p, int& retstat,
                         std::string& reason, int& status);

// The lines of the warning box for a save that did not succeed (retstat
// save_not_opened or save_not_written), each held in an 80-character field.
std::vector<std::string> save_warning_lines(int retstat, const std::string& file_name,
                                            const std::string& reason);

// The choice of the parameter file's name and its writing, the window steps
// given as functions: `choose` shows the file selection (starting from
// `file_name`; `chosen` false for CANCEL), `end` asks whether the set-up is
// to end without the file (end_without_file_question; `end` true for YES),
// `warn` shows a warning box.
struct SaveDialog {
  std::function<void(std::string& file_name, bool& chosen, int& status)> choose;
  std::function<void(bool& end, int& status)> end;
  std::function<void(const std::vector<std::string>& lines, int& status)> warn;
};
inline constexpr const char* end_without_file_question = "END WITHOUT WRITING THE PARAMETER FILE ?";
// What the file selection shows, each line in an 80-character field.
inline constexpr const char* parameter_file_prompt = "SELECT NAME FOR PARAMETER FILE";
inline constexpr const char* parameter_file_info[] = {
    "This file will store the parameter values",
    "to be used by \"kov_slave\" for the reconstruction"};
// Asks for a name and writes the file, as often as needed: a name that
// cannot be written is shown in a warning box and the file selection comes
// again, as it does when the user cancels the selection and then does not
// confirm that the set-up is to end. Ends when the file is written
// (`file_name` its name), with the user-escape status when the user ends
// without it, and at once when the status turns bad (the window closed).
void save_parameters(const Parameters& p, const SaveDialog& dialog, std::string& file_name,
                     int& status);

}  // namespace kov

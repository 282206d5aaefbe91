// The control forms of the set-up.
#include "kov_forms.h"

#include <array>
#include <memory>
#include <span>
#include <vector>

#include "gs.h"
#include "io.h"

namespace {

constexpr const char* id = "Subroutine KOV_INPUT_FORM V0.12";
constexpr float radians_per_degree = 0.01745329f;

// One entry of a control form.
struct Entry {
  const char* label;
  const char* description;
  int type;
  bool range;
  float low, high;
  const char* help;
};

// The arrays of one form, filled entry by entry; values go in through the
// typed arrays and come back from them.
struct Form {
  std::vector<std::string> labels, descriptions, explanations, texts;
  std::vector<int> types, ints;
  std::unique_ptr<bool[]> ranges, logicals;
  std::vector<std::array<int, 2>> ibounds;
  std::vector<std::array<float, 2>> rbounds;
  std::vector<float> reals;
  int n = 0;

  explicit Form(std::span<const Entry> entries)
      : ranges(new bool[entries.size()]()), logicals(new bool[entries.size()]()) {
    n = static_cast<int>(entries.size());
    for (const Entry& e : entries) {
      labels.emplace_back(e.label);
      descriptions.emplace_back(e.description);
      explanations.push_back(std::string(e.label) + ": " + e.help);
      types.push_back(e.type);
      ranges[ibounds.size()] = e.range;
      ibounds.push_back({static_cast<int>(e.low), static_cast<int>(e.high)});
      rbounds.push_back({e.low, e.high});
    }
    ints.assign(entries.size(), 0);
    reals.assign(entries.size(), 0.0f);
    texts.assign(entries.size(), "");
    labels.resize(entries.size() + gs::form_controls);
    explanations.resize(entries.size() + gs::form_controls);
  }

  // Shows the form titled "CONTROL FORM <number>"; false when cancelled.
  bool show(int number, int& status) {
    const std::array<std::string, 2> title{"TOMOGRAPHY RECONSTRUCTION",
                                           "CONTROL FORM " + std::to_string(number)};
    const std::array<std::string, 1> help{"Help text not yet implemented"};
    bool cancelled = false;
    const std::size_t size = static_cast<std::size_t>(n);
    GS_FORM(2, 2, title, 1, 1, help, n + gs::form_controls, n, labels, types, descriptions,
            explanations, std::span<const bool>(ranges.get(), size), ibounds, rbounds, ints,
            std::span<bool>(logicals.get(), size), reals, texts, cancelled, status);
    return status == io::status_good && !cancelled;
  }
};

constexpr int integer = gs::form_integer, logical = gs::form_logical, real = gs::form_real,
              output_file_name = gs::form_output_file;

constexpr std::array<Entry, 8> form_1{{
    {"FILE INTERVAL", "INTERVAL BETWEEN TREATED FILES", integer, true, 1, 1000,
     "Interval between treating images: 1 = treat every image; 2 = treat every other image, "
     "etc."},
    {"- BACKGROUND", "SUBTRACT BACKGROUND IMAGE FROM DATA FILES", logical, false, 0, 0,
     "\"YES\" if a background or dark current image is to subtracted from the projection data"},
    {"FLAT-FIELD", "APPLY FLAT-FIELD CORRECTION TO DATA", logical, false, 0, 0,
     "\"YES\" if a flat-field correction is to be applied to the projection data"},
    {"TAKE LOG", "TAKE LOGARITHM OF DATA BEFORE BACKPROJECTION", logical, false, 0, 0,
     "Enter \"YES\" if the logarithm of data points is to be taken prior to back-projection"},
    {"VERT. ROTATION", "AXIS OF ROTATION WAS VERTICAL", logical, false, 0, 0,
     "Enter \"YES\" if the axis of sample rotation was vertical; \"NO\" if it was horizontal"},
    {"SINOGRAM MEGABYTES", "MAXIMUM SIZE OF SINOGRAM STORAGE (MEGABYTES)", integer, true, 16, 4096,
     "Enter maximum number of megabytes to be used to store sinograms internally"},
    {"OUTPUT SINOGRAMS", "OUTPUT SINOGRAMS TO INDIVIDUAL FILES", logical, false, 0, 0,
     "Output to files sinograms with corrected data"},
    {"RECONSTRUCTION", "RECONSTRUCT AND SAVE SLICES", logical, false, 0, 0,
     "Reconstruct slices and output to a volume file"},
}};

constexpr std::array<Entry, 7> form_2{{
    {"OVER-SAMPLING", "DEGREE OF OVER-SAMPLING (0 = LINEAR INTER.)", integer, true, 0, 16,
     "Degree for over-sampling: 0 = Linear interpolation 1 = Nearest pixel, 2, 3, 4, etc. = "
     "over-sampling level"},
    {"INCREMENT ANGLE", "ANGLE BETWEEN IMAGES (DEGREES)", real, true, 0.0f, 180.0f,
     "Rotation angle between each image in degrees"},
    {"OUTPUT FILE", "FILE TO CONTAIN RECONSTRUCTED VOLUME", output_file_name, false, 0, 0,
     "Select directory and file to contain reconstructed volume"},
    {"X-PIXEL SIZE", "DATA HORIZONTAL PIXEL SIZE (MICRONS)", real, true, 0.01f, 1000.0f,
     "Enter horizontal pixel size in microns "},
    {"Y-PIXEL SIZE", "DATA VERTICAL PIXEL SIZE (MICRONS)", real, true, 0.01f, 1000.0f,
     "Enter vertical pixel size in microns "},
    {"OFFSET ANGLE", "RECONSTRUCTION OFFSET ANGLE (DEGREES)", real, true, -360.0f, 360.0f,
     "Enter the offset angle to rotate the reconstruction in degrees"},
    {"OUTPUT GRAPHICS", "OUTPUT OF GRAPHICS DURING RECONSTRUCTION", logical, false, 0, 0,
     "Enter \"YES\" to see images of reconstructed slices during reconstruction"},
}};

}  // namespace

void KOV_INPUT_FORM(int num_image_1, int num_image_2, float& x_pixel_size, float& y_pixel_size,
                    int& file_interval, bool& subtract_background, bool& correct_flatfield,
                    bool& take_logarithm, bool& rotation_vertical, bool& output_sinograms,
                    bool& output_reconstruction, int& oversampling_factor, float& angle_offset,
                    float& angle_between_projections, int& sinogram_megabytes,
                    std::string& output_file, bool& display_graphics, int& status) {
  if (!io::entry_ok(status, id)) return;
  // The first and last image numbers are not asked for here.
  static_cast<void>(num_image_1);
  static_cast<void>(num_image_2);
  int retstat = 0;
  int interval = file_interval, oversampling = oversampling_factor, megabytes = sinogram_megabytes;
  bool background = subtract_background, flatfield = correct_flatfield, logarithm = take_logarithm,
       vertical = rotation_vertical, sinograms = output_sinograms,
       reconstruction = output_reconstruction, graphics = display_graphics;
  float offset = angle_offset;
  IO_INQ_IKEYVALUE("FILE_INTERVAL", interval, retstat, status);
  IO_INQ_LKEYVALUE("SUBTRACT_BACKGROUND", background, retstat, status);
  IO_INQ_LKEYVALUE("CORRECT_FLATFIELD", flatfield, retstat, status);
  IO_INQ_LKEYVALUE("TAKE_LOG", logarithm, retstat, status);
  IO_INQ_LKEYVALUE("ROTATION_AXIS_VERTICAL", vertical, retstat, status);
  IO_INQ_LKEYVALUE("OUTPUT_SINOGRAMS", sinograms, retstat, status);
  IO_INQ_LKEYVALUE("OUTPUT_RECONSTRUCTION", reconstruction, retstat, status);
  IO_INQ_IKEYVALUE("OVER-SAMPLING", oversampling, retstat, status);
  IO_INQ_RKEYVALUE("ROTATION_ANGLE_OFFSET", offset, retstat, status);
  IO_INQ_LKEYVALUE("DISPLAY_GRAPHICS", graphics, retstat, status);
  IO_INQ_IKEYVALUE("SINOGRAM_MEGABYTES", megabytes, retstat, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }

  Form one(form_1);
  one.ints[0] = interval;
  one.logicals[1] = background;
  one.logicals[2] = flatfield;
  one.logicals[3] = logarithm;
  one.logicals[4] = vertical;
  one.ints[5] = megabytes;
  one.logicals[6] = sinograms;
  one.logicals[7] = reconstruction;
  if (!one.show(1, status)) {
    if (status == io::status_good) status = io::status_escape;
    return;
  }
  file_interval = one.ints[0];
  subtract_background = one.logicals[1];
  correct_flatfield = one.logicals[2];
  take_logarithm = one.logicals[3];
  rotation_vertical = one.logicals[4];
  sinogram_megabytes = one.ints[5];
  output_sinograms = one.logicals[6];
  output_reconstruction = one.logicals[7];

  Form two(form_2);
  two.ints[0] = oversampling;
  two.reals[1] = angle_between_projections;
  two.texts[2] = output_file;
  two.reals[3] = x_pixel_size * 1.0e6f;
  two.reals[4] = y_pixel_size * 1.0e6f;
  two.reals[5] = offset;
  two.logicals[6] = graphics;
  if (!two.show(2, status)) {
    if (status == io::status_good) status = io::status_escape;
    return;
  }
  oversampling_factor = two.ints[0];
  angle_between_projections = two.reals[1] * radians_per_degree;
  output_file = two.texts[2];
  x_pixel_size = two.reals[3] * 1.0e-6f;
  y_pixel_size = two.reals[4] * 1.0e-6f;
  angle_offset = two.reals[5];
  display_graphics = two.logicals[6];

  IO_SET_IKEYVALUE("FILE_INTERVAL", file_interval, retstat, status);
  IO_SET_LKEYVALUE("SUBTRACT_BACKGROUND", subtract_background, retstat, status);
  IO_SET_LKEYVALUE("CORRECT_FLATFIELD", correct_flatfield, retstat, status);
  IO_SET_LKEYVALUE("TAKE_LOG", take_logarithm, retstat, status);
  IO_SET_LKEYVALUE("ROTATION_AXIS_VERTICAL", rotation_vertical, retstat, status);
  IO_SET_LKEYVALUE("OUTPUT_SINOGRAMS", output_sinograms, retstat, status);
  IO_SET_LKEYVALUE("OUTPUT_RECONSTRUCTION", output_reconstruction, retstat, status);
  IO_SET_IKEYVALUE("OVER-SAMPLING", oversampling_factor, retstat, status);
  IO_SET_RKEYVALUE("ROTATION_ANGLE_OFFSET", angle_offset, retstat, status);
  IO_SET_LKEYVALUE("DISPLAY_GRAPHICS", display_graphics, retstat, status);
  IO_SET_IKEYVALUE("SINOGRAM_MEGABYTES", sinogram_megabytes, retstat, status);
  if (status != io::status_good) ST_SAVE(id);
}

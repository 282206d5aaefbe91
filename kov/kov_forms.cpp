// The control forms of the set-up.
#include "kov_forms.h"

#include <array>
#include <memory>
#include <span>
#include <utility>
#include <variant>
#include <vector>

#include "gs.h"
#include "io.h"
#include "kov_parameters.h"
#include "kov_sequence.h"

namespace {

constexpr const char* id = "Subroutine KOV_INPUT_FORM V0.12";

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// One entry of a control form.
struct Entry {
  const char* label;
  const char* description;
  int type;
  bool range;
  float low, high;
  const char* help;
};

// The value an entry shows and changes.
using Value = std::variant<int*, bool*, float*, std::string*>;

// `value` into `place` (`in`), or `place` into `value`.
template <class T>
void copy(T& place, T& value, bool in) {
  if (in) {
    place = value;
  } else {
    value = place;
  }
}

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

  // The values into the entries (`in`, one each in the order of the
  // entries), or the entries' values back into them.
  void exchange(std::span<const Value> values, bool in) {
    for (std::size_t k = 0; k < values.size(); ++k) {
      std::visit(Overloaded{[&](int* v) { copy(ints[k], *v, in); },
                            [&](bool* v) { copy(logicals[k], *v, in); },
                            [&](float* v) { copy(reals[k], *v, in); },
                            [&](std::string* v) { copy(texts[k], *v, in); }},
                 values[k]);
    }
  }

  // Shows the form titled "CONTROL FORM <number>"; false when cancelled (the
  // user-escape status) or when the status turns bad.
  bool show(int number, int& status) {
    const std::array<std::string, 2> title{"TOMOGRAPHY RECONSTRUCTION",
                                           "CONTROL FORM " + std::to_string(number)};
    const std::array<std::string, 1> help{"Help text not yet implemented"};
    bool cancelled = false;
    const std::size_t size = static_cast<std::size_t>(n);
    GS_FORM(2, 2, title, 1, 1, help, n + gs::form_controls, n, labels, types, descriptions,
            explanations, std::span<const bool>(ranges.get(), size), ibounds, rbounds, ints,
            std::span<bool>(logicals.get(), size), reals, texts, cancelled, status);
    if (status == io::status_good && cancelled) status = io::status_escape;
    return status == io::status_good;
  }
};

constexpr int integer = gs::form_integer, logical = gs::form_logical, real = gs::form_real,
              output_file_name = gs::form_output_file;

// The entries of control form 1 (the first eight), then those of control
// form 2.
constexpr std::array<Entry, 15> entries{{
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
constexpr std::span<const Entry> form_1(entries.data(), 8);
constexpr std::span<const Entry> form_2(entries.data() + 8, 7);

// The remembered options, offered in the forms: the values passed in, or
// those of the defaults database.
struct Options {
  int interval = 0, oversampling = 0, megabytes = 0;
  bool background = false, flatfield = false, logarithm = false, vertical = false,
       sinograms = false, reconstruction = false, graphics = false;
  float offset = 0.0f;
};

// The defaults key of each option, in the order they are read and written.
using KeyValue = std::variant<int*, bool*, float*>;
std::array<std::pair<const char*, KeyValue>, 11> keys_of(Options& o) {
  return {{{"FILE_INTERVAL", &o.interval},
           {"SUBTRACT_BACKGROUND", &o.background},
           {"CORRECT_FLATFIELD", &o.flatfield},
           {"TAKE_LOG", &o.logarithm},
           {"ROTATION_AXIS_VERTICAL", &o.vertical},
           {"OUTPUT_SINOGRAMS", &o.sinograms},
           {"OUTPUT_RECONSTRUCTION", &o.reconstruction},
           {"OVER-SAMPLING", &o.oversampling},
           {"ROTATION_ANGLE_OFFSET", &o.offset},
           {"DISPLAY_GRAPHICS", &o.graphics},
           {"SINOGRAM_MEGABYTES", &o.megabytes}}};
}

// The options read from their keys (a key that is missing leaves the
// option as it is), or written to them (`store`).
void exchange(Options& o, bool store, int& status) {
  int retstat = 0;
  for (const auto& [key, value] : keys_of(o)) {
    const char* k = key;
    std::visit(Overloaded{[&](int* v) {
                            store ? IO_SET_IKEYVALUE(k, *v, retstat, status)
                                  : IO_INQ_IKEYVALUE(k, *v, retstat, status);
                          },
                          [&](bool* v) {
                            store ? IO_SET_LKEYVALUE(k, *v, retstat, status)
                                  : IO_INQ_LKEYVALUE(k, *v, retstat, status);
                          },
                          [&](float* v) {
                            store ? IO_SET_RKEYVALUE(k, *v, retstat, status)
                                  : IO_INQ_RKEYVALUE(k, *v, retstat, status);
                          }},
               value);
  }
}

// The values of control form 2 as it shows them: pixel sizes in microns.
struct FormTwo {
  int oversampling = 0;
  float angle = 0.0f;
  std::string output;
  float x_microns = 0.0f, y_microns = 0.0f, offset = 0.0f;
  bool graphics = false;
};

// Control form 2 until its output file fits the parameter file's field
// (a longer name is refused with a warning box, and the form comes again).
bool ask_form_2(FormTwo& v, int& status) {
  const std::array<Value, 7> values{&v.oversampling, &v.angle,  &v.output,  &v.x_microns,
                                    &v.y_microns,    &v.offset, &v.graphics};
  Form two(form_2);
  two.exchange(values, true);
  // The O.K. of a form that is refused is not an answer to replay: the
  // corrections that follow it are, with the O.K. that ends them.
  for (;;) {
    io::MacroStep step;
    if (!two.show(2, status)) return false;
    two.exchange(values, false);
    const std::vector<std::string> why =
        kov::name_too_long("THE OUTPUT FILE NAME", v.output, kov::file_name_width);
    if (why.empty()) return true;
    step.retract_last();
    gs::refuse(why, status);
  }
}

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
  Options o{file_interval,         oversampling_factor, sinogram_megabytes, subtract_background,
            correct_flatfield,     take_logarithm,      rotation_vertical,  output_sinograms,
            output_reconstruction, display_graphics,    angle_offset};
  exchange(o, false, status);
  if (status != io::status_good) return ST_SAVE(id);

  Form one(form_1);
  const std::array<Value, 8> values_1{&o.interval, &o.background, &o.flatfield, &o.logarithm,
                                      &o.vertical, &o.megabytes,  &o.sinograms, &o.reconstruction};
  one.exchange(values_1, true);
  if (!one.show(1, status)) return;
  one.exchange(values_1, false);
  file_interval = o.interval;
  subtract_background = o.background;
  correct_flatfield = o.flatfield;
  take_logarithm = o.logarithm;
  rotation_vertical = o.vertical;
  sinogram_megabytes = o.megabytes;
  output_sinograms = o.sinograms;
  output_reconstruction = o.reconstruction;

  FormTwo two{o.oversampling,
              angle_between_projections,
              output_file,
              x_pixel_size * 1.0e6f,
              y_pixel_size * 1.0e6f,
              o.offset,
              o.graphics};
  if (!ask_form_2(two, status)) return;
  oversampling_factor = o.oversampling = two.oversampling;
  angle_between_projections = two.angle;
  output_file = two.output;
  x_pixel_size = two.x_microns * 1.0e-6f;
  y_pixel_size = two.y_microns * 1.0e-6f;
  angle_offset = o.offset = two.offset;
  display_graphics = o.graphics = two.graphics;
  exchange(o, true, status);
  if (status != io::status_good) ST_SAVE(id);
}

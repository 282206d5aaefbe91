// The parameter file: its text, written from the record line by line in the
// order kov_slave reads it, and its writing to disc as a new file, whole or
// not at all.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "io.h"
#include "kov_parameters.h"

namespace {

// A real in fixed point, `width` characters with `decimals` decimals,
// right-justified; too large for the field: asterisks. A value that is not
// a number is written as such.
std::string fixed_field(float value, int width, int decimals) {
  char text[64];
  int n = 0;
  if (std::isnan(value)) {
    n = std::snprintf(text, sizeof text, "%*s", width, "NaN");
  } else if (std::isinf(value)) {
    n = std::snprintf(text, sizeof text, "%*s", width, value < 0 ? "-Infinity" : "Infinity");
  } else {
    n = std::snprintf(text, sizeof text, "%*.*f", width, decimals, static_cast<double>(value));
  }
  return n > width ? std::string(static_cast<std::size_t>(width), '*') : std::string(text);
}

// A character value in the whole of its declared width.
std::string padded(const std::string& text, int width) {
  std::string field = text.substr(0, static_cast<std::size_t>(width));
  field.resize(static_cast<std::size_t>(width), ' ');
  return field;
}

const char* yes_no(bool value) {
  return value ? "YES" : "NO";
}

// The lines of a numbered series: prefix, first and last number, the length
// of the number, postfix and interval, for the projections (key "") or the
// flat-fields (key "FF_").
struct SeriesLines {
  const char* key;
  const char* file_word;
  const char* interval_comment;
};

void series_block(std::vector<std::string>& out, const SeriesLines& names,
                  const std::string& prefix, int first, int last, bool varies, int digits,
                  const std::string& postfix, int interval) {
  const std::string k = names.key;
  out.push_back(k + (k.empty() ? "FILE_PREFIX = " : "PREFIX = ") +
                padded(prefix, kov::prefix_width));
  out.push_back(k + "NUM_FIRST_IMAGE = " + kov::integer_field(first, 6) + " ! No. of first " +
                names.file_word + " file");
  out.push_back(k + "NUM_LAST_IMAGE = " + kov::integer_field(last, 6) + " ! No. of last " +
                names.file_word + " file");
  if (varies) {
    out.push_back(k + "NUMBER_LENGTH_VARIES = YES");
    out.push_back(k + "LENGTH_OF_NUMERICAL_PART = N.A. ! No. of characters");
  } else {
    out.push_back(k + "NUMBER_LENGTH_VARIES = NO");
    out.push_back(k + "LENGTH_OF_NUMERICAL_PART = " + kov::integer_field(digits, 2) +
                  " ! No. of characters");
  }
  out.push_back(k + (k.empty() ? "FILE_POSTFIX = " : "POSTFIX = ") +
                padded(postfix, kov::postfix_width));
  out.push_back(k + "FILE_INTERVAL = " + kov::integer_field(interval, 6) + " ! " +
                names.interval_comment);
}

void flatfield_block(std::vector<std::string>& out, const kov::Parameters& p) {
  const char* const not_applicable[] = {"FF_PREFIX = N.A.",
                                        "FF_NUM_FIRST_IMAGE = N.A.",
                                        "FF_NUM_LAST_IMAGE = N.A.",
                                        "FF_NUMBER_LENGTH_VARIES = N.A.",
                                        "FF_LENGTH_OF_NUMERICAL_PART = N.A.",
                                        "FF_POSTFIX = N.A.",
                                        "FF_FILE_INTERVAL = N.A."};
  if (!p.CORRECT_FLATFIELD) {
    // Here the file comes before the changing flag; in the two other forms
    // after it.
    out.emplace_back("CORRECT_FLATFIELD = NO ! No flat-field correction");
    out.emplace_back("FLATFIELD_FILE = N.A.");
    out.emplace_back("FLATFIELD_CHANGING = N.A.");
    out.insert(out.end(), std::begin(not_applicable), std::end(not_applicable));
    return;
  }
  out.emplace_back("CORRECT_FLATFIELD = YES ! Divide by flat-field image");
  if (!p.FLATFIELD_CHANGING) {
    out.emplace_back("FLATFIELD_CHANGING = NO ! Series of flat-field files");
    out.push_back("FLATFIELD_FILE = " + padded(p.FLATFIELD_FILE, kov::file_name_width));
    out.insert(out.end(), std::begin(not_applicable), std::end(not_applicable));
    return;
  }
  out.emplace_back("FLATFIELD_CHANGING = YES ! Series of flat-field files");
  out.emplace_back("FLATFIELD_FILE = N.A.");
  series_block(out, {"FF_", "flat-field", "Interval between flat-field files"}, p.FF_PREFIX,
               p.FF_NUM_FIRST_IMAGE, p.FF_NUM_LAST_IMAGE, p.FF_NUMBER_LENGTH_VARIES,
               p.FF_LENGTH_OF_NUMERICAL_PART, p.FF_POSTFIX, p.FF_FILE_INTERVAL);
}

// The image size and the pixel sizes (microns, converted in single
// precision).
void format_block(std::vector<std::string>& out, const kov::Parameters& p) {
  out.emplace_back("! Parameters defining the projection file format");
  out.push_back("NUM_IMAGE_1 = " + kov::integer_field(p.NUM_IMAGE_1, 6) +
                " ! Number of pixels horizontally");
  out.push_back("NUM_IMAGE_2 = " + kov::integer_field(p.NUM_IMAGE_2, 6) +
                " ! Number of pixels vertically");
  out.push_back("IMAGE_PIXEL_SIZE_1 = " + fixed_field(p.horizontal_pixel_size * 1.0e6F, 12, 5) +
                " ! Pixel size horizontally (microns)");
  out.push_back("IMAGE_PIXEL_SIZE_2 = " + fixed_field(p.vertical_pixel_size * 1.0e6F, 12, 5) +
                " ! Pixel size vertically");
}

void background_block(std::vector<std::string>& out, const kov::Parameters& p) {
  out.emplace_back("! Parameters defining background treatment");
  if (p.SUBTRACT_BACKGROUND) {
    out.emplace_back("SUBTRACT_BACKGROUND = YES ! Subtract background from data");
    out.push_back("BACKGROUND_FILE = " + padded(p.BACKGROUND_FILE, kov::file_name_width));
  } else {
    out.emplace_back("SUBTRACT_BACKGROUND = NO ! No background subtraction");
    out.emplace_back("BACKGROUND_FILE = N.A.");
  }
}

// The geometry: the angle between treated files in degrees (converted in
// single precision), the axis.
void experiment_block(std::vector<std::string>& out, const kov::Parameters& p) {
  out.emplace_back("! Parameters defining experiment");
  out.push_back("ANGLE_BETWEEN_PROJECTIONS = " +
                fixed_field(p.ANGLE_BETWEEN_PROJECTIONS * kov::degrees_per_radian, 11, 6) +
                " ! Increment angle in degrees");
  out.emplace_back(p.ROTATION_VERTICAL ? "ROTATION_VERTICAL = YES"
                                       : "ROTATION_VERTICAL = NO ! Horizontal rotation");
  out.push_back("ROTATION_AXIS_POSITION = " + fixed_field(p.ROTATION_AXIS_POSITION, 14, 4) +
                " ! Position in pixels");
}

void reconstruction_block(std::vector<std::string>& out, const kov::Parameters& p) {
  out.emplace_back("! Parameters defining reconstruction");
  out.push_back(std::string("OUTPUT_SINOGRAMS = ") + yes_no(p.OUTPUT_SINOGRAMS) +
                " ! Output sinograms to files or not");
  out.push_back(std::string("OUTPUT_RECONSTRUCTION = ") + yes_no(p.OUTPUT_RECONSTRUCTION) +
                " ! Reconstruct and save or not");
  const struct {
    const char* key;
    int value;
    const char* comment;
  } voxels[] = {
      {"START_VOXEL_1 = ", p.START_VOXEL_1, " ! X-start of reconstruction volume "},
      {"START_VOXEL_2 = ", p.START_VOXEL_2, " ! Y-start of reconstruction volume "},
      {"START_VOXEL_3 = ", p.START_VOXEL_3, " ! Z-start of reconstruction volume "},
      {"END_VOXEL_1 = ", p.END_VOXEL_1, " ! X-end of reconstruction volume "},
      {"END_VOXEL_2 = ", p.END_VOXEL_2, " ! Y-end of reconstruction volume "},
      {"END_VOXEL_3 = ", p.END_VOXEL_3, " ! Z-end of reconstruction volume "},
  };
  for (const auto& v : voxels) out.push_back(v.key + kov::integer_field(v.value, 6) + v.comment);
  out.push_back("OVERSAMPLING_FACTOR = " + kov::integer_field(p.OVERSAMPLING_FACTOR, 2) +
                " ! 0 = Linear, 1 = Nearest pixel");
  out.push_back("ANGLE_OFFSET = " + fixed_field(p.ANGLE_OFFSET, 11, 6) +
                " ! Reconstruction rotation offset angle in degrees");
  out.push_back("SINOGRAM_MEGABYTES = " + kov::integer_field(p.SINOGRAM_MEGABYTES, 6) +
                " ! Maximum size of sinogram storage (megabytes)");
}

// The file, group by group, a line holding a single blank between groups.
std::vector<std::string> parameter_lines(const kov::Parameters& p) {
  std::vector<std::string> out;
  out.emplace_back("! KOV_SLAVE PARAMETER FILE");
  out.emplace_back(" ");
  out.emplace_back("! Parameters defining the projection file series ");
  series_block(out, {"", "projection", "Interval between input files"}, p.FILE_PREFIX,
               p.NUM_FIRST_IMAGE, p.NUM_LAST_IMAGE, p.NUMBER_LENGTH_VARIES,
               p.LENGTH_OF_NUMERICAL_PART, p.FILE_POSTFIX, p.FILE_INTERVAL);
  out.emplace_back(" ");
  format_block(out, p);
  out.emplace_back(" ");
  background_block(out, p);
  out.emplace_back(" ");
  out.emplace_back("! Parameters defining flat-field treatment");
  flatfield_block(out, p);
  out.emplace_back(" ");
  out.emplace_back(p.TAKE_LOGARITHM ? "TAKE_LOGARITHM = YES ! Take log of projection values"
                                    : "TAKE_LOGARITHM = NO");
  out.emplace_back(" ");
  experiment_block(out, p);
  out.emplace_back(" ");
  reconstruction_block(out, p);
  out.emplace_back(" ");
  out.emplace_back("! Parameters defining output file / format");
  out.push_back("OUTPUT_FILE = " + padded(p.OUTPUT_FILE, kov::file_name_width));
  out.emplace_back(" ");
  out.emplace_back("! Reconstruction program options");
  out.emplace_back(p.DISPLAY_GRAPHICS ? "DISPLAY_GRAPHICS = YES ! Images of slices"
                                      : "DISPLAY_GRAPHICS = NO ! No images");
  out.emplace_back(" ");
  return out;
}

// The key of the first text field that holds a line end ("" when none
// does): its value would break the file into lines that kov_slave would
// read as keys of their own.
std::string field_with_line_break(const kov::Parameters& p) {
  const struct {
    const char* key;
    const std::string* value;
  } texts[] = {{"FILE_PREFIX", &p.FILE_PREFIX},
               {"FILE_POSTFIX", &p.FILE_POSTFIX},
               {"BACKGROUND_FILE", &p.BACKGROUND_FILE},
               {"FLATFIELD_FILE", &p.FLATFIELD_FILE},
               {"FF_PREFIX", &p.FF_PREFIX},
               {"FF_POSTFIX", &p.FF_POSTFIX},
               {"OUTPUT_FILE", &p.OUTPUT_FILE}};
  for (const auto& t : texts) {
    if (t.value->find_first_of("\r\n") != std::string::npos) return t.key;
  }
  return "";
}

}  // namespace

namespace kov {

std::string integer_field(long long value, int width) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, "%*lld", width, value);
  return n > width ? std::string(static_cast<std::size_t>(width), '*') : std::string(text);
}

std::string parameter_file_text(const Parameters& p) {
  std::string text;
  for (const std::string& line : parameter_lines(p)) {
    text += line;
    text += '\n';
  }
  return text;
}

void save_parameter_file(const std::string& file_name, const Parameters& p, int& retstat,
                         std::string& reason, int& status) {
  if (!io::entry_ok(status, "Subroutine kov::save_parameter_file V0.1 ")) return;
  if (const std::string key = field_with_line_break(p); !key.empty()) {
    retstat = save_not_written;
    reason = "the value of " + key + " holds a line break";
    IO_WRITE("WARNING: The parameter file " + file_name + " is not written: " + reason, status);
    return;
  }
  io::NewFile result = io::NewFile::not_made;
  io::write_new_file(file_name, parameter_file_text(p), result, reason, status);
  if (status != io::status_good) return;
  switch (result) {
    case io::NewFile::written:
      retstat = save_written;
      return;
    case io::NewFile::not_made:
      retstat = save_not_opened;
      return;
    case io::NewFile::not_written:
      retstat = save_not_written;
      IO_WRITE("WARNING: The parameter file " + file_name + " is not written: " + reason, status);
      return;
  }
}

void save_parameters(const Parameters& p, const SaveDialog& dialog, std::string& file_name,
                     int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_SAVE_PARAMETERS V0.9 ")) return;
  for (;;) {
    // A name refused after it was chosen is not an answer to replay.
    io::MacroStep step;
    bool chosen = false;
    dialog.choose(file_name, chosen, status);
    if (status != io::status_good) return;
    if (!chosen) {
      bool end = false;
      dialog.end(end, status);
      if (status == io::status_good && end) status = io::status_escape;
      if (status != io::status_good) return;
      continue;
    }
    int retstat = save_not_opened;
    std::string reason;
    save_parameter_file(file_name, p, retstat, reason, status);
    if (status != io::status_good || retstat == save_written) return;
    step.retract();
    dialog.warn(save_warning_lines(retstat, file_name, reason), status);
    if (status != io::status_good) return;
  }
}

std::vector<std::string> save_warning_lines(int retstat, const std::string& file_name,
                                            const std::string& reason) {
  const std::string name = file_name.substr(0, 80);
  if (retstat == save_not_written) {
    return {"Could not write parameter output file:", name, reason.substr(0, 80)};
  }
  return {"Could not open parameter output file:", name};
}

}  // namespace kov

// The arithmetic of the guided set-up between its window steps.
#include "kov_sequence.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "io.h"

namespace {

// What the warnings of a name too long call its parts.
const std::string before_number = "THE NAME BEFORE ITS NUMBER";
const std::string after_number = "THE NAME AFTER ITS NUMBER";

// Truncation towards zero, held within the integers (one short of their
// ends, so that a range one beyond still is one).
int truncated(float value) {
  if (!(value > static_cast<float>(INT_MIN + 1))) return INT_MIN + 1;
  if (!(value < static_cast<float>(INT_MAX - 1))) return INT_MAX - 1;
  return static_cast<int>(value);
}

// The series fields of the record for the projections or the flat-fields.
struct SeriesFields {
  int& first;
  int& last;
  std::string& prefix;
  bool& varies;
  int& digits;
  std::string& postfix;
};

void take_series(const io::FileSeries& series, SeriesFields fields, int& retstat) {
  const std::string postfix = kov::series_postfix(series);
  if (SLEN(series.prefix) > kov::prefix_width || SLEN(postfix) > kov::postfix_width) {
    retstat = -1;
    return;
  }
  fields.first = series.first;
  fields.last = series.last;
  fields.prefix = io::trimmed(series.prefix);
  fields.varies = series.variable;
  fields.digits = series.digits;
  fields.postfix = postfix;
  retstat = 0;
}

}  // namespace

namespace kov {

VoxelRange clicked_range(float c1, float c2) {
  return {truncated(std::min(c1, c2)) + 1, truncated(std::max(c1, c2) + 0.5F)};
}

void first_image_volume(float x1, float y1, float x2, float y2, Parameters& p) {
  const VoxelRange x = clicked_range(x1, x2);
  const VoxelRange z = clicked_range(y1, y2);
  p.START_VOXEL_1 = x.start;
  p.END_VOXEL_1 = x.end;
  p.START_VOXEL_3 = z.start;
  p.END_VOXEL_3 = z.end;
}

void depth_volume(float x1, float y1, float x2, float y2, Parameters& p) {
  // Across the axis the 90-degree view sees the depth mirrored: its left
  // (lower) edge is the far end of Y.
  const VoxelRange across = p.ROTATION_VERTICAL ? clicked_range(x1, x2) : clicked_range(y1, y2);
  const VoxelRange along = p.ROTATION_VERTICAL ? clicked_range(y1, y2) : clicked_range(x1, x2);
  const int n = p.ROTATION_VERTICAL ? p.NUM_IMAGE_1 : p.NUM_IMAGE_2;
  const int a = across.start - 1;
  const int b = across.end;
  p.START_VOXEL_2 = n - b + 1;
  p.END_VOXEL_2 = n - a;
  int& start = p.ROTATION_VERTICAL ? p.START_VOXEL_3 : p.START_VOXEL_1;
  int& end = p.ROTATION_VERTICAL ? p.END_VOXEL_3 : p.END_VOXEL_1;
  start = std::min(start, along.start);
  end = std::max(end, along.end);
}

std::vector<std::string> name_too_long(const std::string& what, const std::string& name,
                                       int width) {
  const std::size_t length = io::trimmed(name).size();
  if (length <= static_cast<std::size_t>(width)) return {};
  return {what + " HAS " + std::to_string(length) + " CHARACTERS:",
          "THE PARAMETER FILE HOLDS AT MOST " + std::to_string(width)};
}

std::vector<std::string> first_name_too_long(const std::string& name) {
  const std::string trimmed = io::trimmed(name);
  std::vector<std::string> why = name_too_long("THE NAME", trimmed, file_name_width);
  const std::size_t digit = trimmed.find_last_of("0123456789");
  if (why.empty() && digit != std::string::npos) {
    why = name_too_long(after_number, trimmed.substr(digit + 1), postfix_width);
  }
  return why;
}

std::vector<std::string> series_too_long(const std::string& first, const std::string& last,
                                         int& status) {
  int retstat = 0;
  io::FileSeries series;
  IO_FILESEQUENCE(first, last, retstat, series, status);
  if (status != io::status_good || retstat != 0) return {};
  std::vector<std::string> why = name_too_long(before_number, series.prefix, prefix_width);
  return why.empty() ? name_too_long(after_number, series_postfix(series), postfix_width) : why;
}

std::string series_postfix(const io::FileSeries& series) {
  return io::trimmed(io::trimmed(series.postfix) + io::trimmed(series.extension));
}

void take_projection_series(const io::FileSeries& series, Parameters& p, int& retstat) {
  take_series(series,
              {p.NUM_FIRST_IMAGE, p.NUM_LAST_IMAGE, p.FILE_PREFIX, p.NUMBER_LENGTH_VARIES,
               p.LENGTH_OF_NUMERICAL_PART, p.FILE_POSTFIX},
              retstat);
}

void take_flatfield_series(const io::FileSeries& series, Parameters& p, int& retstat) {
  take_series(series,
              {p.FF_NUM_FIRST_IMAGE, p.FF_NUM_LAST_IMAGE, p.FF_PREFIX, p.FF_NUMBER_LENGTH_VARIES,
               p.FF_LENGTH_OF_NUMERICAL_PART, p.FF_POSTFIX},
              retstat);
}

void projection_file_name(const Parameters& p, int number, std::string& name, int& retstat,
                          int& status) {
  IO_FILENAME(p.FILE_PREFIX, number, !p.NUMBER_LENGTH_VARIES, p.LENGTH_OF_NUMERICAL_PART,
              p.FILE_POSTFIX, retstat, name, status);
}

float default_angle_degrees(int first_number, int last_number) {
  if (first_number == last_number) return 0.0F;
  const long long n = std::llabs(static_cast<long long>(last_number) - first_number) + 1;
  return 180.0F / static_cast<float>(n);
}

void default_output_file(const std::string& first_file_name, std::string& output_file,
                         int& status) {
  std::string base;
  IO_NOEXTENSION(first_file_name, base, status);
  if (status != io::status_good) return;
  output_file = io::trimmed(base) + ".vol";
}

void combine_interval(int sequence_step, Parameters& p) {
  p.FILE_INTERVAL *= sequence_step;
  p.ANGLE_BETWEEN_PROJECTIONS =
      p.angle_between_files * radians_per_degree * static_cast<float>(std::abs(p.FILE_INTERVAL));
}

NinetyDegree ninety_degree_projection(const Parameters& p, int& status) {
  NinetyDegree result;
  result.number = p.NUM_FIRST_IMAGE;
  const float angle = p.ANGLE_BETWEEN_PROJECTIONS;
  if (angle == 0.0F || !std::isfinite(angle)) {
    IO_WRITE(
        "WARNING: The angle between projections is 0.0: the first file is offered as the "
        "90 degree projection",
        status);
    return result;
  }
  // Halves away from zero.
  const double k = std::round(std::numbers::pi / (2.0 * static_cast<double>(angle)));
  const double number = static_cast<double>(p.NUM_FIRST_IMAGE) + p.FILE_INTERVAL * k;
  if (!(std::fabs(k) <= INT_MAX) || !(number >= INT_MIN && number <= INT_MAX)) {
    IO_WRITE(
        "WARNING: The 90 degree projection lies beyond any file number: the first file "
        "is offered instead",
        status);
    return result;
  }
  result.k = static_cast<int>(k);
  result.number = static_cast<int>(number);
  return result;
}

std::vector<std::string> volume_report_lines(const Parameters& p) {
  const long long nx = static_cast<long long>(p.END_VOXEL_1) - p.START_VOXEL_1 + 1;
  const long long ny = static_cast<long long>(p.END_VOXEL_2) - p.START_VOXEL_2 + 1;
  const long long nz = static_cast<long long>(p.END_VOXEL_3) - p.START_VOXEL_3 + 1;
  long long total = 0;
  const bool overflow =
      __builtin_mul_overflow(nx, ny, &total) || __builtin_mul_overflow(total, nz, &total);
  std::vector<std::string> lines{
      "INFO: Range of volume to reconstruct:",
      "      X start: " + integer_field(p.START_VOXEL_1, 6) +
          " X end: " + integer_field(p.END_VOXEL_1, 6),
      "      Y start: " + integer_field(p.START_VOXEL_2, 6) +
          " Y end: " + integer_field(p.END_VOXEL_2, 6),
      "      Z start: " + integer_field(p.START_VOXEL_3, 6) +
          " Z end: " + integer_field(p.END_VOXEL_3, 6),
      "INFO: Size of volume = " + integer_field(nx, 6) + " * " + integer_field(ny, 6) + " * " +
          integer_field(nz, 6),
      "      Total voxels = " + (overflow ? std::string(14, '*') : integer_field(total, 14)),
  };
  for (std::string& line : lines) line = line.substr(0, 80);
  return lines;
}

void report_volume(const Parameters& p, int& status) {
  for (const std::string& line : volume_report_lines(p)) IO_WRITE(line, status);
}

void load_pixel_sizes(Parameters& p, int& status) {
  int retstat = 0;
  IO_INQ_RKEYVALUE(key_x_pixel_size, p.horizontal_pixel_size, retstat, status);
  IO_INQ_RKEYVALUE(key_y_pixel_size, p.vertical_pixel_size, retstat, status);
}

void store_pixel_sizes(const Parameters& p, int& status) {
  int retstat = 0;
  IO_SET_RKEYVALUE(key_x_pixel_size, p.horizontal_pixel_size, retstat, status);
  IO_SET_RKEYVALUE(key_y_pixel_size, p.vertical_pixel_size, retstat, status);
}

void load_first_file_name(std::string& file_name, int& status) {
  int retstat = 2;
  int length = 0;
  std::string value;
  IO_INQ_KEYVALUE(key_first_file, length, value, retstat, status);
  if (status == io::status_good && retstat == 0 && length > 0) {
    file_name = value.substr(0, static_cast<std::size_t>(length)).substr(0, file_name_width);
  }
}

void store_first_file_name(const std::string& file_name, int& status) {
  int retstat = 0;
  const std::string name = io::trimmed(file_name);
  IO_SET_KEYVALUE(key_first_file, static_cast<int>(name.size()), name, retstat, status);
}

void load_ff_interval(int& interval, int& status) {
  int retstat = 0;
  IO_INQ_IKEYVALUE(key_ff_interval, interval, retstat, status);
}

void store_ff_interval(int interval, int& status) {
  int retstat = 0;
  IO_SET_IKEYVALUE(key_ff_interval, interval, retstat, status);
}

}  // namespace kov

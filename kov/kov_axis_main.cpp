// kov_axis FIRST LAST [--background FILE] [--flatfield FILE]
//          [--last-flatfield FILE] [--horizontal] [--lines A B]
//          [--series --angle DEG [--interval K] [--offset DEG]
//           [--flatfield-interval K] [--slice LINE] [--out FILE.tif]
//           [--position P]]
//
// The rotation-axis computation of the set-up without a window: reads the
// first and the 180-degree projection, and the corrections given, through
// the image input dispatcher's named-file path (the format from each
// extension), corrects them as the set-up does (the 180-degree projection
// with the last flat-field when one is given, else with the flat-field),
// matches lines A to B (1-based rows for a vertical axis, columns with
// --horizontal; all lines by default) and prints the set-up's lines:
//   INFO: Average rotation axis position =   MEAN
//         Standard deviation =   SD
//   INFO: Weighted rotation axis position =   POSITION (K of M lines set aside)
//   INFO: Axis tilt =   TILT degrees
// and the set-up's warnings when the position is not to be trusted.
// With --series: the whole series from FIRST to LAST (every K files, DEG
// degrees between files, the first at the offset angle; a flat-field series
// from the flat-field to the last flat-field every K' files) gives the
// slice through LINE (the middle of the lines by default), and the axis by
// reconstruction around the weighted position is printed:
//   INFO: Axis by reconstruction =   POSITION
// --out writes the slice at P (the axis by reconstruction by default) as a
// 32-bit real TIFF.
// Exit status 0 (also with a warning); 1 when a file cannot be read (or its
// size differs from the first projection's) or no line is usable; 2 for a
// bad command line.
#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "io.h"
#include "kov_axis.h"
#include "kov_command_line.h"
#include "kov_images.h"
#include "kov_sequence.h"
#include "kov_slice.h"
#include "kov_tiff.h"

namespace {

using kov::command::exit_done;
using kov::command::exit_failed;

int usage(const std::string& problem) {
  return kov::command::usage(
      "kov_axis", problem,
      {"Usage: kov_axis FIRST LAST [--background FILE] [--flatfield FILE]",
       "                [--last-flatfield FILE] [--horizontal] [--lines A B]",
       "                [--series --angle DEG [--interval K] [--offset DEG]",
       "                 [--flatfield-interval K] [--slice LINE] [--out FILE.tif]",
       "                 [--position P]]"});
}

bool real_number(const std::string& text, float& value) {
  try {
    std::size_t used = 0;
    const float v = std::stof(text, &used);
    if (used != text.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
  } catch (...) {
    return false;
  }
}

bool whole_number(const std::string& text, int& value) {
  try {
    std::size_t used = 0;
    const long v = std::stol(text, &used);
    if (used != text.size() || v < 1 || v > 1000000) return false;
    value = static_cast<int>(v);
    return true;
  } catch (...) {
    return false;
  }
}

// What the command line asks for.
struct Request {
  std::vector<std::string> files;
  std::string background, flatfield, last_flatfield;
  bool vertical = true, lines_given = false;
  int first_line = 0, last_line = 0;
  // The series and its slice.
  bool series = false, angle_given = false, position_given = false;
  float angle = 0.0f, offset = 0.0f, position = 0.0f;
  int interval = 1, flatfield_interval = 0, slice_line = 0;
  std::string out;
};

std::function<bool(std::span<char* const>)> take_whole(int& value) {
  return [&value](std::span<char* const> v) { return whole_number(v[0], value); };
}
std::function<bool(std::span<char* const>)> take_real(float& value, bool* given = nullptr) {
  return [&value, given](std::span<char* const> v) {
    if (given != nullptr) *given = true;
    return real_number(v[0], value);
  };
}

std::vector<kov::command::Option> options(Request& r) {
  return {{"--background", 1, "a file", kov::command::take_text(r.background)},
          {"--flatfield", 1, "a file", kov::command::take_text(r.flatfield)},
          {"--last-flatfield", 1, "a file", kov::command::take_text(r.last_flatfield)},
          {"--horizontal", 0, "",
           [&r](std::span<char* const>) {
             r.vertical = false;
             return true;
           }},
          {"--lines", 2, "two line numbers from 1",
           [&r](std::span<char* const> v) {
             r.lines_given = true;
             return whole_number(v[0], r.first_line) && whole_number(v[1], r.last_line);
           }},
          {"--series", 0, "",
           [&r](std::span<char* const>) {
             r.series = true;
             return true;
           }},
          {"--angle", 1, "a number of degrees", take_real(r.angle, &r.angle_given)},
          {"--offset", 1, "a number of degrees", take_real(r.offset)},
          {"--position", 1, "a pixel coordinate", take_real(r.position, &r.position_given)},
          {"--interval", 1, "a whole number from 1", take_whole(r.interval)},
          {"--flatfield-interval", 1, "a whole number from 1", take_whole(r.flatfield_interval)},
          {"--slice", 1, "a line number from 1", take_whole(r.slice_line)},
          {"--out", 1, "a file", kov::command::take_text(r.out)}};
}

// The problem of a request read, "" when there is none.
std::string problem_of(Request& r) {
  if (r.files.size() != 2) return "FIRST and LAST projection files needed";
  if (!r.last_flatfield.empty() && r.flatfield.empty()) return "--last-flatfield needs --flatfield";
  if (r.lines_given && r.first_line > r.last_line) std::swap(r.first_line, r.last_line);
  if (!r.series && (r.angle_given || !r.out.empty() || r.slice_line > 0 || r.position_given)) {
    return "--angle, --slice, --out and --position need --series";
  }
  if (r.series && !r.angle_given) return "--series needs --angle";
  return "";
}

struct Images {
  io::Image<float> first, last, background, flatfield, last_flatfield;
  std::vector<float> x_axis, y_axis;
};

// Reads `file` (none when it is empty): the first projection (`like` null),
// or an image of the first projection's size; false after the console line.
bool read(const std::string& file, const io::Image<float>* like, io::Image<float>& image,
          Images& im) {
  if (file.empty()) return true;
  std::string problem;
  if (kov::read_named_image(file, "", like ? like->xnumdat : 0, like ? like->ynumdat : 0, image,
                            im.x_axis, im.y_axis, problem)) {
    return true;
  }
  io::say(problem.empty() ? "ERROR: Cannot read " + file : problem);
  return false;
}

bool read_images(const Request& r, Images& im) {
  return read(r.files[0], nullptr, im.first, im) && read(r.files[1], &im.first, im.last, im) &&
         read(r.background, &im.first, im.background, im) &&
         read(r.flatfield, &im.first, im.flatfield, im) &&
         read(r.last_flatfield, &im.first, im.last_flatfield, im);
}

// The series of FIRST and LAST (and of the flat-fields) into the record,
// as the set-up deduces it; false after the console line.
bool deduce_series(const std::string& first, const std::string& last, bool flatfield,
                   kov::Parameters& p, int& step, int& status) {
  int retstat = 0;
  io::FileSeries series;
  IO_FILESEQUENCE(first, last, retstat, series, status);
  if (status == io::status_good && retstat == 0) {
    step = series.step;
    if (flatfield) {
      kov::take_flatfield_series(series, p, retstat);
    } else {
      kov::take_projection_series(series, p, retstat);
    }
  }
  if (status != io::status_good || retstat != 0) {
    io::say("ERROR: " + first + " and " + last + " make no series of numbered files");
    return false;
  }
  return true;
}

// The record of the series that the command line describes.
bool series_record(const Request& r, const Images& im, kov::Parameters& p, int& status) {
  int step = 1;
  if (!deduce_series(r.files[0], r.files[1], false, p, step, status)) return false;
  p.FILE_INTERVAL = r.interval;
  p.angle_between_files = r.angle;
  kov::combine_interval(step, p);
  p.ANGLE_OFFSET = r.offset;
  p.NUM_IMAGE_1 = im.first.xnumdat;
  p.NUM_IMAGE_2 = im.first.ynumdat;
  p.ROTATION_VERTICAL = r.vertical;
  p.SUBTRACT_BACKGROUND = !r.background.empty();
  p.BACKGROUND_FILE = r.background;
  p.CORRECT_FLATFIELD = !r.flatfield.empty();
  p.FLATFIELD_FILE = r.flatfield;
  p.FLATFIELD_CHANGING = !r.last_flatfield.empty();
  if (!p.FLATFIELD_CHANGING) return true;
  if (!deduce_series(r.flatfield, r.last_flatfield, true, p, step, status)) return false;
  p.FF_FILE_INTERVAL = r.flatfield_interval > 0
                           ? r.flatfield_interval
                           : std::max(1, std::abs(p.FF_NUM_LAST_IMAGE - p.FF_NUM_FIRST_IMAGE));
  return true;
}

// The slice of the series and the axis by reconstruction around the
// weighted position; the slice written when asked. False after the
// console line.
bool reconstruct(const Request& r, const Images& im, const kov::AxisResult& result, int& status) {
  kov::Parameters p;
  if (!series_record(r, im, p, status)) return false;
  const int lines = r.vertical ? p.NUM_IMAGE_2 : p.NUM_IMAGE_1;
  const int line = r.slice_line > 0 ? r.slice_line : (r.first_line + r.last_line) / 2;
  if (line > lines) {
    io::say("ERROR: --slice: the projections have " + std::to_string(lines) + " lines");
    return false;
  }
  kov::Sinogram sinogram;
  KOV_READ_SINOGRAM(p, line, sinogram, status);
  const int n = sinogram.width;
  const double axis = kov::axis_by_reconstruction(sinogram, static_cast<float>(result.weighted),
                                                  3.0f, 1, n, status);
  if (status != io::status_good) return false;
  for (const std::string& text : kov::reconstruction_report_lines(result.weighted, axis)) {
    io::say(text);
  }
  if (r.out.empty()) return true;
  std::vector<float> slice(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
  const io::View2D<float> view(slice.data(), n, n);
  KOV_SLICE(sinogram, r.position_given ? r.position : static_cast<float>(axis), 1, n, view, status);
  if (status != io::status_good) return false;
  if (!kov::write_real_tiff(r.out, view, n, n)) {
    io::say("ERROR: Cannot write " + r.out);
    return false;
  }
  io::say("INFO: Slice of line " + std::to_string(line) + " written: " + r.out);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int status = io::status_good;
  ST_DEF_SYSTEM(status);
  Request r;
  std::string problem = kov::command::parse(argc, argv, options(r), r.files);
  if (problem.empty()) problem = problem_of(r);
  if (!problem.empty()) return usage(problem);

  Images im;
  if (!read_images(r, im)) return exit_failed;
  const int width = im.first.xnumdat, height = im.first.ynumdat;
  const int lines = r.vertical ? height : width;
  if (!r.lines_given) {
    r.first_line = 1;
    r.last_line = lines;
  } else if (r.last_line > lines) {
    return usage("--lines: the projections have " + std::to_string(lines) +
                 (r.vertical ? " rows" : " columns"));
  }
  kov::AxisResult result;
  kov::rotation_axis(!r.background.empty(), im.background.view(), !r.flatfield.empty(),
                     !r.last_flatfield.empty(), im.flatfield.view(), im.last_flatfield.view(),
                     r.vertical, width, height, im.first.view(), im.last.view(), r.first_line,
                     r.last_line, result, status);
  if (status == io::status_good && result.usable() && r.series &&
      !reconstruct(r, im, result, status)) {
    if (status == io::status_good) return exit_failed;
  }
  if (status != io::status_good) {
    ST_OUT(status);
    return exit_failed;
  }
  return result.usable() ? exit_done : exit_failed;
}

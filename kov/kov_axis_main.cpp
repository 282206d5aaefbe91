// kov_axis FIRST LAST [--background FILE] [--flatfield FILE]
//          [--last-flatfield FILE] [--horizontal] [--lines A B]
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
// Exit status 0 (also with a warning); 1 when a file cannot be read (or its
// size differs from the first projection's) or no line is usable; 2 for a
// bad command line.
#include <string>
#include <utility>
#include <vector>

#include "io.h"
#include "kov_axis.h"
#include "kov_command_line.h"
#include "kov_images.h"

namespace {

using kov::command::exit_done;
using kov::command::exit_failed;

int usage(const std::string& problem) {
  return kov::command::usage(
      "kov_axis", problem,
      {"Usage: kov_axis FIRST LAST [--background FILE] [--flatfield FILE]",
       "                [--last-flatfield FILE] [--horizontal] [--lines A B]"});
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
};

std::vector<kov::command::Option> options(Request& r) {
  return {{"--background", 1, "a file", kov::command::take_text(r.background)},
          {"--flatfield", 1, "a file", kov::command::take_text(r.flatfield)},
          {"--last-flatfield", 1, "a file", kov::command::take_text(r.last_flatfield)},
          {"--horizontal", 0, "",
           [&r](std::span<char* const>) {
             r.vertical = false;
             return true;
           }},
          {"--lines", 2, "two line numbers from 1", [&r](std::span<char* const> v) {
             r.lines_given = true;
             return whole_number(v[0], r.first_line) && whole_number(v[1], r.last_line);
           }}};
}

// The problem of a request read, "" when there is none.
std::string problem_of(Request& r) {
  if (r.files.size() != 2) return "FIRST and LAST projection files needed";
  if (!r.last_flatfield.empty() && r.flatfield.empty()) return "--last-flatfield needs --flatfield";
  if (r.lines_given && r.first_line > r.last_line) std::swap(r.first_line, r.last_line);
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
  if (status != io::status_good) {
    ST_OUT(status);
    return exit_failed;
  }
  return result.usable() ? exit_done : exit_failed;
}

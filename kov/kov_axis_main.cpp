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
#include <vector>

#include "io.h"
#include "kov_axis.h"
#include "kov_images.h"

namespace {

constexpr int exit_done = 0;
constexpr int exit_failed = 1;
constexpr int exit_usage = 2;

int usage(const std::string& problem) {
  io::say("kov_axis: " + problem);
  io::say("Usage: kov_axis FIRST LAST [--background FILE] [--flatfield FILE]");
  io::say("                [--last-flatfield FILE] [--horizontal] [--lines A B]");
  return exit_usage;
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

struct Images {
  io::Image<float> first, last, background, flatfield, last_flatfield;
  std::vector<float> x_axis, y_axis;
};

// Reads one more image into arrays of the first one's size; it must have
// that size too.
bool read_like_first(const std::string& file, const io::Image<float>& first,
                     io::Image<float>& image, Images& im) {
  if (!image.allocate(first.xmaxdat(), first.ymaxdat())) {
    io::say("ERROR: Failed to allocate memory for the image of " + file);
    return false;
  }
  std::string problem;
  if (!kov::read_named_image(file, "", false, image, im.x_axis, im.y_axis, problem)) {
    io::say(problem.empty() ? "ERROR: Cannot read " + file : problem);
    return false;
  }
  if (image.xnumdat != first.xnumdat || image.ynumdat != first.ynumdat) {
    io::say("ERROR: " + file + " holds " + std::to_string(image.xnumdat) + " by " +
            std::to_string(image.ynumdat) + " pixels, the first projection " +
            std::to_string(first.xnumdat) + " by " + std::to_string(first.ynumdat));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int status = io::status_good;
  ST_DEF_SYSTEM(status);
  std::vector<std::string> files;
  std::string background, flatfield, last_flatfield;
  bool vertical = true, lines_given = false;
  int first_line = 0, last_line = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--background" || a == "--flatfield" || a == "--last-flatfield") {
      if (i + 1 >= argc) return usage(a + " needs a file");
      (a == "--background"  ? background
       : a == "--flatfield" ? flatfield
                            : last_flatfield) = argv[++i];
    } else if (a == "--horizontal") {
      vertical = false;
    } else if (a == "--lines") {
      if (i + 2 >= argc || !whole_number(argv[i + 1], first_line) ||
          !whole_number(argv[i + 2], last_line)) {
        return usage("--lines needs two line numbers from 1");
      }
      i += 2;
      lines_given = true;
    } else if (a.rfind("--", 0) == 0 && a.size() > 2) {
      return usage("unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return usage("FIRST and LAST projection files needed");
  if (!last_flatfield.empty() && flatfield.empty()) {
    return usage("--last-flatfield needs --flatfield");
  }
  if (lines_given && first_line > last_line) std::swap(first_line, last_line);

  Images im;
  std::string problem;
  if (!kov::read_named_image(files[0], "", true, im.first, im.x_axis, im.y_axis, problem)) {
    io::say(problem.empty() ? "ERROR: Cannot read " + files[0] : problem);
    return exit_failed;
  }
  if (!read_like_first(files[1], im.first, im.last, im)) return exit_failed;
  if (!background.empty() && !read_like_first(background, im.first, im.background, im)) {
    return exit_failed;
  }
  if (!flatfield.empty() && !read_like_first(flatfield, im.first, im.flatfield, im)) {
    return exit_failed;
  }
  if (!last_flatfield.empty() &&
      !read_like_first(last_flatfield, im.first, im.last_flatfield, im)) {
    return exit_failed;
  }

  const int width = im.first.xnumdat, height = im.first.ynumdat;
  const int lines = vertical ? height : width;
  if (!lines_given) {
    first_line = 1;
    last_line = lines;
  } else if (last_line > lines) {
    return usage("--lines: the projections have " + std::to_string(lines) +
                 (vertical ? " rows" : " columns"));
  }
  kov::AxisResult result;
  kov::rotation_axis(!background.empty(), im.background.view(), !flatfield.empty(),
                     !last_flatfield.empty(), im.flatfield.view(), im.last_flatfield.view(),
                     vertical, width, height, im.first.view(), im.last.view(), first_line,
                     last_line, result, status);
  if (status != io::status_good) {
    ST_OUT(status);
    return exit_failed;
  }
  return result.usable() ? exit_done : exit_failed;
}

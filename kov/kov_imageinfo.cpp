// kov_imageinfo [--format NAME] [--raw OUT] FILE...
//
// Reads each file as the set-up reads a named file, without a window (the
// format from the extension, or NAME), and prints one line per file:
//   FILE: FORMAT WIDTH x HEIGHT min MIN max MAX mean MEAN
// "--raw OUT" (one file only) writes the pixels read as little-endian 32-bit
// reals, row 1 first, the first index fastest. A file that cannot be read
// gets its readers' warnings and "FILE: not read". Exit status 1 when a file
// was not read, 2 for a bad command line, 0 otherwise.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fio.h"
#include "io.h"
#include "kov_command_line.h"
#include "kov_images.h"

namespace {

int usage(const std::string& problem) {
  std::string names;
  for (const auto& n : fio::format_names()) names += (names.empty() ? "" : ", ") + n;
  return kov::command::usage(
      "kov_imageinfo", problem,
      {"Usage: kov_imageinfo [--format NAME] [--raw OUT] FILE...", "Formats: " + names});
}

bool write_raw(const std::string& path, const io::Image<float>& image) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = true;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(image.xnumdat) * 4);
  for (int y = 1; y <= image.ynumdat && ok; ++y) {
    for (int x = 1; x <= image.xnumdat; ++x) {
      std::uint32_t bits = 0;
      const float v = image(x, y);
      std::memcpy(&bits, &v, sizeof bits);
      for (int b = 0; b < 4; ++b) {
        row[static_cast<std::size_t>(x - 1) * 4 + static_cast<std::size_t>(b)] =
            static_cast<std::uint8_t>(bits >> (8 * b));
      }
    }
    ok = std::fwrite(row.data(), 1, row.size(), f) == row.size();
  }
  return std::fclose(f) == 0 && ok;
}

std::string number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

// Reads one file; true when an image was read.
bool show(const std::string& file, const std::string& format, const std::string& raw,
          io::Image<float>& image, std::vector<float>& xaxis, std::vector<float>& yaxis,
          bool& raw_failed) {
  int status = io::status_good;
  // The arrays take the size of the image, as the set-up's do.
  std::string problem;
  if (!kov::read_named_image(file, format, 0, 0, image, xaxis, yaxis, problem)) {
    if (!problem.empty()) io::say(problem);
    io::say(file + ": not read");
    return false;
  }
  double sum = 0.0;
  float low = image(1, 1), high = image(1, 1);
  for (int y = 1; y <= image.ynumdat; ++y) {
    const float* row = image.view().row(y);
    for (int x = 0; x < image.xnumdat; ++x) {
      low = std::min(low, row[x]);
      high = std::max(high, row[x]);
      sum += row[x];
    }
  }
  const double mean = sum / (static_cast<double>(image.xnumdat) * image.ynumdat);
  std::string used;
  float overload = 0.0f;
  bool sequence = false;
  FIO_INQ_INPUT(sequence, used, overload, status);
  io::say(file + ": " + used + " " + std::to_string(image.xnumdat) + " x " +
          std::to_string(image.ynumdat) + " min " + number(low) + " max " + number(high) +
          " mean " + number(mean));
  if (!raw.empty() && !write_raw(raw, image)) {
    io::say("ERROR: Cannot write the pixel values to " + raw);
    raw_failed = true;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int status = io::status_good;
  ST_DEF_SYSTEM(status);
  std::string format, raw;
  std::vector<std::string> files;
  const std::string problem =
      kov::command::parse(argc, argv,
                          {{"--format", 1, "a value", kov::command::take_text(format)},
                           {"--raw", 1, "a value", kov::command::take_text(raw)}},
                          files);
  if (!problem.empty()) return usage(problem);
  if (files.empty()) return usage("no file given");
  if (!raw.empty() && files.size() != 1) return usage("--raw takes one file only");
  if (!format.empty()) {
    const std::string known = fio::format_of_name(format);
    if (known.empty()) return usage("unknown format " + format);
    format = known;
  }
  io::Image<float> image;
  std::vector<float> xaxis, yaxis;
  bool all = true, raw_failed = false;
  for (const auto& file : files) {
    all = show(file, format, raw, image, xaxis, yaxis, raw_failed) && all;
  }
  return all && !raw_failed ? kov::command::exit_done : kov::command::exit_failed;
}

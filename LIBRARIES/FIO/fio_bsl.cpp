// Small-angle scattering data of the BSL (and OTOKO) kind: a text header of
// two title lines, then for each binary file a line of ten whole numbers
// (pixels per raster, rasters, frames, byte order 1 low byte first or 0 high
// byte first, five reserved, 1 when another file follows) and a line with
// the binary file's name, looked up beside the header (as written, then in
// upper and in lower case). A binary file holds its frames one after the
// other, each of rasters of 32-bit reals, and nothing else. Frame 1 of the
// first file is input.
#include <cctype>
#include <cmath>
#include <cstdio>

#include "fio_internal.h"

namespace {

constexpr const char* format = "BSL/OTOKO";

// One binary file of the header.
struct FrameSet {
  int pixels = 0, rasters = 0, frames = 0;
  bool low_byte_first = true;
  std::string file;
};

struct Header {
  std::string title;
  FrameSet first;
  int sets = 0;
};

std::string at_line(int number) {
  return "WARNING: Line " + std::to_string(number) + " of the " + format + " header ";
}

// The line of ten numbers (line `number`) into `set`: "" or the warning
// line that refuses it; `more` when another file follows.
std::string take_numbers(const std::string& line, int number, FrameSet& set, bool& more) {
  std::vector<double> v;
  bool whole = fio::numbers_of(line, v) && v.size() == 10;
  for (double d : v) whole = whole && d == std::floor(d) && std::fabs(d) < 2147483648.0;
  if (!whole) return at_line(number) + "is not ten whole numbers:";
  const std::vector<long long> n(v.begin(), v.end());
  if (n[0] < 1 || n[1] < 1 || n[2] < 1 || n[0] * n[1] > 1000000000000) {
    return at_line(number) + "gives no usable frame size (pixels " + std::to_string(n[0]) +
           ", rasters " + std::to_string(n[1]) + ", frames " + std::to_string(n[2]) + "):";
  }
  if (n[3] != 0 && n[3] != 1) {
    return at_line(number) + "has a byte order of " + std::to_string(n[3]) + " (not 0 or 1):";
  }
  set.pixels = static_cast<int>(v[0]);
  set.rasters = static_cast<int>(v[1]);
  set.frames = static_cast<int>(v[2]);
  set.low_byte_first = v[3] == 1;
  more = v[9] != 0;
  return "";
}

// The header in the file open in the input slot: "" or the first line of
// the warning that refuses it.
std::string read_header(Header& h) {
  std::string titles[2], line;
  for (std::string& t : titles) {
    if (fio::text_line(t) != fio::TextLine::read) {
      return "WARNING: The " + std::string(format) + " header ends before its title lines:";
    }
  }
  h.title = io::stripped(titles[0]).empty() ? io::stripped(titles[1]) : io::stripped(titles[0]);
  bool more = true;
  for (int number = 3; more; number += 2) {
    const fio::TextLine got = fio::text_line(line);
    const bool blank = got == fio::TextLine::read && io::stripped(line).empty();
    if ((got == fio::TextLine::end || blank) && h.sets > 0) break;
    FrameSet set;
    const std::string problem = got == fio::TextLine::read
                                    ? take_numbers(line, number, set, more)
                                    : at_line(number) + "is missing or too long:";
    if (!problem.empty()) return problem;
    if (fio::text_line(set.file) != fio::TextLine::read || io::stripped(set.file).empty()) {
      return at_line(number + 1) + "does not name a binary file:";
    }
    set.file = io::stripped(set.file);
    if (h.sets++ == 0) h.first = set;
  }
  return "";
}

// The binary file of a set: beside the header, as named or in one case.
std::string binary_of(const std::string& header, const std::string& file) {
  const std::string name = io::trimmed(header);
  const std::size_t slash = name.find_last_of('/');
  const std::string dir =
      file[0] == '/' || slash == std::string::npos ? "" : name.substr(0, slash + 1);
  std::string lower = file;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& f : {file, io::upper(file), lower}) {
    if (fio::file_exists(dir + f)) return dir + f;
  }
  return dir + file;
}

// Frame 1 of the first binary file into the result.
void read_frame(const FrameSet& set, const std::string& binary, fio::Result& r, int& status) {
  if (!fio::open_beside(binary, status)) return;
  const fio::InputCloser closer;
  const double bytes = 4.0 * set.pixels * set.rasters * set.frames;
  const std::int64_t size = fio::input_file_size();
  if (static_cast<double>(size) != bytes) {
    char text[80];
    std::snprintf(text, sizeof text, "%.0f", bytes);
    fio::refuse("WARNING: The " + std::string(format) + " binary file holds " +
                    std::to_string(size) + " bytes, not the " + text + " of " +
                    std::to_string(set.frames) + " frames of " + std::to_string(set.pixels) +
                    " by " + std::to_string(set.rasters) + " reals:",
                binary, status);
    return;
  }
  fio::BinaryLayout layout;
  layout.width = set.pixels;
  layout.height = set.rasters;
  layout.type = fio::type_real32;
  layout.high_byte_first = !set.low_byte_first;
  fio::read_raw(layout, r, status);
}

}  // namespace

namespace fio {

bool bsl_size(const std::string&, int& width, int& height, int&) {
  Header h;
  if (!read_header(h).empty()) return false;
  width = h.first.pixels;
  height = h.first.rasters;
  return true;
}

}  // namespace fio

void FIO_IN_BSL(FIO_RESULT_ARGS, float& overload, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_BSL V0.2 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  Header h;
  const auto header = [&] { return read_header(h); };
  if (!fio::begin_with_header(r, id, header, status)) return;
  fio::close_input();
  read_frame(h.first, binary_of(file_name, h.first.file), r, status);
  if (status != io::status_good || retstat != fio::input_done) return;
  if (!h.title.empty()) title = h.title;
  overload = fio::type_overload(fio::type_real32);
  if (h.first.frames > 1) {
    io::say("INFO: The file holds " + std::to_string(h.first.frames) + " frames; frame 1 is input");
  }
}

// CCD images of the "PMIS" kind: a 172-byte header, then the images, each
// of xsize by ysize unsigned 16-bit values, row after row. The header: "PMIS",
// its size (172), the file version (20), the CCD origin in x and y, xsize,
// ysize, the binning in x and y, the image name (40 characters), a comment
// (100), the times of creation and change, the camera gain and the number
// of images. The byte order is that in which the header size reads 172.
// Only this layout is read: a header of another size or version is refused,
// naming the field; the first image is input.
#include <algorithm>
#include <array>

#include "fio_internal.h"

namespace {

constexpr const char* format = "PHOTOMETRICS CCD FORMAT";
constexpr int header_size = 172;
constexpr int version = 20;

// What the header says.
struct Pmis {
  bool high_byte_first = false;
  int width = 0, height = 0, images = 1;
  std::string name;
};

// The unsigned 16-bit field at `offset`.
int field(std::span<const std::uint8_t> h, int offset, bool high) {
  const int a = h[static_cast<std::size_t>(offset)], b = h[static_cast<std::size_t>(offset + 1)];
  return high ? a << 8 | b : b << 8 | a;
}

// The header's fields: "" or the first line of the warning that refuses it.
std::string read_header(std::span<const std::uint8_t> h, Pmis& p) {
  const std::string in = " in the " + std::string(format) + " header of";
  if (h[0] != 'P' || h[1] != 'M' || h[2] != 'I' || h[3] != 'S') {
    return "WARNING: Not a " + std::string(format) + " file (it does not start with \"PMIS\"):";
  }
  p.high_byte_first = field(h, 4, true) == header_size;
  if (field(h, 4, p.high_byte_first) != header_size) {
    return "WARNING: Header size " + std::to_string(field(h, 4, false)) + " (not " +
           std::to_string(header_size) + ")" + in;
  }
  const auto f = [&](int offset) { return field(h, offset, p.high_byte_first); };
  if (f(6) != version) {
    return "WARNING: File version " + std::to_string(f(6)) + " (not " + std::to_string(version) +
           ")" + in;
  }
  p.width = f(12);
  p.height = f(14);
  if (p.width < 1 || p.height < 1) {
    return "WARNING: No image size (" + std::to_string(p.width) + " by " +
           std::to_string(p.height) + ")" + in;
  }
  if (f(16) < 1 || f(18) < 1) {
    return "WARNING: Binning " + std::to_string(f(16)) + " by " + std::to_string(f(18)) + in;
  }
  p.images = std::max(f(170), 1);
  const auto name = h.subspan(20, 40);
  p.name.assign(name.begin(), std::find(name.begin(), name.end(), 0));
  return "";
}

// The header of the file open in the input slot, and that the file holds
// its images exactly: "" or the first line of the warning that refuses it.
std::string read_file_header(Pmis& p) {
  std::array<std::uint8_t, header_size> h{};
  if (!fio::read_file_start(h)) {
    return "WARNING: The file is too short for a " + std::string(format) + " header:";
  }
  const std::string problem = read_header(h, p);
  if (!problem.empty()) return problem;
  const std::int64_t bytes = header_size + std::int64_t{2} * p.width * p.height * p.images;
  const std::int64_t size = fio::input_file_size();
  if (size == bytes) return "";
  return "WARNING: The file holds " + std::to_string(size) + " bytes, not the " +
         std::to_string(bytes) + " of its header (" + std::to_string(p.images) + " images of " +
         std::to_string(p.width) + " by " + std::to_string(p.height) + "):";
}

}  // namespace

namespace fio {

bool photometrics_size(const std::string&, int& width, int& height, int&) {
  Pmis p;
  if (!read_file_header(p).empty()) return false;
  width = p.width;
  height = p.height;
  return true;
}

}  // namespace fio

void FIO_IN_PHOTOMETRICS(FIO_RESULT_ARGS, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_PHOTOMETRICS V0.2 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  Pmis p;
  const auto header = [&] { return read_file_header(p); };
  if (!fio::begin_with_header(r, id, header, status)) return;
  const fio::InputCloser closer;
  fio::BinaryLayout layout;
  layout.width = p.width;
  layout.height = p.height;
  layout.skip = header_size;
  layout.type = fio::type_uint16;
  layout.high_byte_first = p.high_byte_first;
  fio::read_raw(layout, r, status);
  if (status != io::status_good || retstat != fio::input_done) return;
  if (!io::trimmed(p.name).empty()) title = io::trimmed(p.name);
  if (p.images > 1) {
    io::say("INFO: The file holds " + std::to_string(p.images) + " images; the first is input");
  }
}

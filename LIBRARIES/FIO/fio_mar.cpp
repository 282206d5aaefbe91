// The image-plate scanners' files. The newer layout: a 4096-byte header
// (binary words in the writer's byte order, then 64-byte text lines),
// overflow records of the pixels past 65535, an identifier line and the
// packed image. The older layout: a header record as long as an image row,
// then the rows of 16-bit pixels and the overflow records, or (".pck")
// the overflow records, the identifier line and the packed image.
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <climits>
#include <new>
#include <sstream>
#include <string_view>
#include <vector>

#include "fio_internal.h"

namespace {

constexpr const char* mar_id = "Subroutine FIO_IN_MAR V0.1 ";
constexpr const char* mar345_id = "Subroutine FIO_IN_MAR345 V0.1 ";
constexpr const char* oldmar_id = "Subroutine FIO_IN_OLDMAR V0.1 ";

constexpr std::int32_t order_word = 1234;  // word 0 of the newer header
constexpr std::size_t newer_header = 4096;
constexpr std::size_t older_header = 124;  // the binary fields of the older header record
constexpr int packed_format = 1;           // word 3 of the newer header: the packed image
constexpr int max_side = 16384;            // widest and tallest image read
// The older header record is one image row long and must hold the header.
constexpr int min_older_width = static_cast<int>(older_header / 2);
constexpr std::uint16_t overflowed = 65535;  // stored for a pixel whose value is in a record
constexpr std::int64_t identifier_window = 2 * max_side + 64;  // padding of the last record
constexpr const char* no_identifier =
    "WARNING: No packed image identifier line after the overflow records:";

// A 32-bit word of a header in the header's byte order.
std::uint32_t word(std::span<const std::uint8_t> h, std::size_t at, bool big) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k) v = v << 8 | h[at + (big ? k : 3 - k)];
  return v;
}
std::int32_t integer(std::span<const std::uint8_t> h, std::size_t at, bool big) {
  return static_cast<std::int32_t>(word(h, at, big));
}

// What a header says of its image, and where the parts of the file lie.
struct Plate {
  bool newer = false;
  bool big = false;  // numbers stored high byte first
  int width = 0, height = 0;
  std::int64_t high = 0;                 // overflow records (address and value)
  std::int64_t overflow_at = 0;          // byte of the first record
  std::int64_t identifier_from = 0;      // where the identifier line of a packed image may start
  int version = 0;                       // of the packed stream; 0: rows of 16-bit pixels
  std::int64_t pixels_at = 0;            // the packed stream, or the first row
  float x_pixel = 0.0f, y_pixel = 0.0f;  // metres; 0 when the header gives none
  std::int64_t pixels() const { return static_cast<std::int64_t>(width) * height; }
};

std::string str(std::int64_t v) {
  return std::to_string(v);
}

// The pixel sizes of the text line "PIXEL LENGTH l HEIGHT h" (microns): the
// 64-byte lines from byte 64 (after 16 binary words, or after 32 of which
// the last 16 are zero) up to "END OF HEADER".
void text_pixel_sizes(std::span<const std::uint8_t> h, Plate& p) {
  for (std::size_t at = 64; at + 64 <= h.size(); at += 64) {
    const std::string line =
        io::upper(std::string(h.begin() + static_cast<std::ptrdiff_t>(at),
                              h.begin() + static_cast<std::ptrdiff_t>(at + 64)));
    if (line.starts_with("END OF HEADER")) return;
    if (!line.starts_with("PIXE")) continue;
    std::istringstream words(line.substr(5));
    std::string key;
    float microns = 0.0f;
    while (words >> key >> microns) {
      if (microns <= 0.0f) continue;
      if (key.starts_with("LEN")) p.x_pixel = microns * 1e-6f;
      if (key.starts_with("HEI")) p.y_pixel = microns * 1e-6f;
    }
  }
}

// The newer header: byte-order word, size, overflow count, format, pixel
// count (rows = pixels / size when it is not size squared), pixel sizes in
// microns. "" or the first line of the warning.
std::string newer_plate(std::span<const std::uint8_t> h, std::int64_t file_size, Plate& p) {
  p.newer = true;
  p.big = integer(h, 0, false) != order_word;
  if (integer(h, 0, p.big) != order_word) {
    return "WARNING: Not a mar345 image: its first word is not the byte-order word 1234:";
  }
  const std::int32_t size = integer(h, 4, p.big), high = integer(h, 8, p.big);
  const std::int32_t format = integer(h, 12, p.big), pixels = integer(h, 20, p.big);
  if (size < 1 || size > max_side) {
    return "WARNING: The mar345 image size (" + str(size) + ") is outside 1 to " + str(max_side) +
           ":";
  }
  const bool rows_given = pixels > 0 && pixels != static_cast<std::int64_t>(size) * size;
  p.width = size;
  p.height = rows_given ? pixels / size : size;
  if (rows_given && (pixels % size != 0 || p.height < 1 || p.height > max_side)) {
    return "WARNING: The mar345 pixel count (" + str(pixels) + ") is no number of rows of " +
           str(size) + " pixels:";
  }
  if (format != packed_format) {
    return "WARNING: Only packed mar345 images (format 1) are read, not format " + str(format) +
           ":";
  }
  const std::int64_t records = (static_cast<std::int64_t>(high) + 7) / 8 * 64;
  if (high < 0 || records > file_size - static_cast<std::int64_t>(newer_header)) {
    return "WARNING: The mar345 overflow count (" + str(high) + ") is larger than the file holds:";
  }
  p.high = high;
  p.overflow_at = static_cast<std::int64_t>(newer_header);
  p.identifier_from = p.overflow_at + 8 * p.high;
  text_pixel_sizes(h, p);
  const std::int32_t length = integer(h, 24, p.big), height = integer(h, 28, p.big);
  if (length > 0) p.x_pixel = static_cast<float>(length) * 1e-6f;
  if (height > 0) p.y_pixel = static_cast<float>(height) * 1e-6f;
  return "";
}

// A real of the older header: IEEE, or the older machines' format (the two
// halves of the word exchanged, four times the value).
float older_real(std::span<const std::uint8_t> h, std::size_t at, bool big, bool vax) {
  const std::uint32_t w = word(h, at, big);
  return vax ? std::bit_cast<float>(w << 16 | w >> 16) / 4.0f : std::bit_cast<float>(w);
}

// The pixel sizes (mm) of the older header, when its wavelength (0.25 to 4
// Angstrom) shows in which format its reals are.
void older_pixel_sizes(std::span<const std::uint8_t> h, Plate& p) {
  const auto wavelength_good = [&](bool vax) {
    const float lambda = older_real(h, 76, p.big, vax);
    return lambda >= 0.25f && lambda <= 4.0f;
  };
  const bool vax = !wavelength_good(false);
  if (vax && !wavelength_good(true)) return;
  const float x = older_real(h, 60, p.big, vax), y = older_real(h, 64, p.big, vax);
  if (x > 0.0f && x < 10.0f) p.x_pixel = x * 1e-3f;
  if (y > 0.0f && y < 10.0f) p.y_pixel = y * 1e-3f;
}

// The older header: width (whose value shows the byte order), height,
// record length (twice the width, or not given), overflow count; the
// records from the second on follow it.
std::string older_plate(std::span<const std::uint8_t> h, std::int64_t file_size, Plate& p) {
  const auto width_in = [&](bool big) {
    const std::int32_t x = integer(h, 0, big);
    return x >= min_older_width && x <= max_side;
  };
  p.big = !width_in(false);
  if (!width_in(p.big)) {
    return "WARNING: Not a MAR image: its first word is neither 1234 nor a width of " +
           str(min_older_width) + " to " + str(max_side) + ":";
  }
  p.width = integer(h, 0, p.big);
  p.height = integer(h, 4, p.big);
  const std::int32_t record = integer(h, 8, p.big), high = integer(h, 16, p.big);
  if (p.height < 1 || p.height > max_side) {
    return "WARNING: The MAR image height (" + str(p.height) + ") is outside 1 to " +
           str(max_side) + ":";
  }
  if (record > 0 && record != 2 * p.width) {
    return "WARNING: The MAR record length (" + str(record) + ") is not twice the width (" +
           str(p.width) + "):";
  }
  const std::int64_t first = 2 * static_cast<std::int64_t>(p.width);
  if (file_size < first) {
    return "WARNING: The file is too short for the MAR header record of " + str(first) + " bytes:";
  }
  if (high < 0 || high > (file_size - first) / 8) {
    return "WARNING: The MAR overflow count (" + str(high) + ") is larger than the file holds:";
  }
  p.high = high;
  p.overflow_at = first;  // of a packed image; the unpacked rows come first
  p.pixels_at = first;
  p.identifier_from = first + 8 * p.high;
  older_pixel_sizes(h, p);
  return "";
}

// Reads and checks the header of the file open in the input slot.
std::string header_of(bool newer, Plate& p) {
  std::vector<std::uint8_t> h(newer ? newer_header : older_header);
  if (!fio::read_file_start(h)) {
    return "WARNING: The file is too short for a " + std::string(newer ? "mar345" : "MAR") +
           " header (" + str(static_cast<std::int64_t>(h.size())) + " bytes):";
  }
  const std::int64_t size = fio::input_file_size();
  return newer ? newer_plate(h, size, p) : older_plate(h, size, p);
}

bool expect(std::string_view w, std::size_t& at, std::string_view text) {
  if (w.substr(at, text.size()) != text) return false;
  at += text.size();
  return true;
}
bool number(std::string_view w, std::size_t& at, int& value) {
  const char* begin = w.data() + at;
  const auto [end, error] = std::from_chars(begin, w.data() + w.size(), value);
  at += static_cast<std::size_t>(end - begin);
  return error == std::errc() && value > 0;
}

// The identifier line of a packed image, "\nCCP4 packed image, X: %04d, Y:
// %04d\n" (" V2" after "image" for version 2), in the bytes from `from`
// (the end of the overflow records, whose last may be padded); on success
// the version and the start of the stream. The line's size must be the
// header's.
std::string find_identifier(Plate& p) {
  std::vector<char> b(static_cast<std::size_t>(identifier_window));
  int result = 0, got = 0;
  FIO_FILEPREADC(fio::input_file, p.identifier_from, static_cast<int>(b.size()),
                 static_cast<int>(b.size()), fio::reverse_none, result, got,
                 std::as_writable_bytes(std::span(b)));
  const std::string_view w(b.data(), static_cast<std::size_t>(std::max(got, 0)));
  const std::string_view tag = "\nCCP4 packed image";
  std::size_t at = w.find(tag);
  if (at == std::string_view::npos) return no_identifier;
  at += tag.size();
  const int version = expect(w, at, " V2") ? 2 : 1;
  int x = 0, y = 0;
  if (!expect(w, at, ", X: ") || !number(w, at, x) || !expect(w, at, ", Y: ") ||
      !number(w, at, y) || !expect(w, at, "\n")) {
    return no_identifier;
  }
  if (x != p.width || y != p.height) {
    return "WARNING: The packed image (" + str(x) + " by " + str(y) +
           ") is not the size of its header (" + str(p.width) + " by " + str(p.height) + "):";
  }
  p.version = version;
  p.pixels_at = p.identifier_from + static_cast<std::int64_t>(at);
  return "";
}

std::string newer_layout(const std::string&, Plate& p) {
  const std::string problem = header_of(true, p);
  return problem.empty() ? find_identifier(p) : problem;
}

// The older layout is packed when the identifier line follows the overflow
// records; without it a ".pck" file is refused and another is read as rows.
std::string older_layout(const std::string& file_name, Plate& p) {
  std::string problem = header_of(false, p);
  if (!problem.empty()) return problem;
  problem = find_identifier(p);
  if (problem != no_identifier || io::upper(io::trimmed(file_name)).ends_with(".PCK")) {
    return problem;
  }
  p.overflow_at = p.pixels_at + 2 * p.pixels();
  if (p.overflow_at + 8 * p.high > fio::input_file_size()) {
    return "WARNING: The file is too short for its " + str(p.width) + " by " + str(p.height) +
           " MAR image and " + str(p.high) + " overflow pixels:";
  }
  return "";
}

struct Overflow {
  std::int64_t address;  // of the pixel, from 0 or 1
  std::int32_t value;
};

// The overflow records, each address within the image (counted from 0 or
// 1 in the newer layout, from 1 in the older).
std::string read_overflows(const Plate& p, std::vector<Overflow>& records) {
  std::vector<std::uint8_t> b(static_cast<std::size_t>(8 * p.high));
  int result = 0, got = 0;
  const int n = static_cast<int>(b.size());
  FIO_FILEPREADC(fio::input_file, p.overflow_at, n, n, fio::reverse_none, result, got,
                 std::as_writable_bytes(std::span(b)));
  if (got != n) return "WARNING: The file is too short for its overflow records:";
  for (std::size_t k = 0; k < b.size(); k += 8) {
    const Overflow o{integer(b, k, p.big), integer(b, k + 4, p.big)};
    if (o.address < (p.newer ? 0 : 1) || o.address > p.pixels()) {
      return "WARNING: Overflow record " + str(static_cast<std::int64_t>(k / 8 + 1)) +
             " addresses pixel " + str(o.address) + ", outside the image of " + str(p.pixels()) +
             " pixels:";
    }
    records.push_back(o);
  }
  return "";
}

// The 16-bit pixels: the packed stream, or the rows of the older layout.
std::string read_words(const Plate& p, std::vector<std::uint16_t>& pixels) {
  const std::int64_t count = p.pixels(), left = fio::input_file_size() - p.pixels_at;
  const std::string early = "WARNING: The packed image ends before its last pixel:";
  // Each block of at most 128 pixels takes a header of 6 or 7 bits; a
  // value takes at most 32 bits.
  const std::int64_t least = ((count + 127) / 128 * (p.version == 2 ? 7 : 6) + 7) / 8;
  if (p.version != 0 && left < least) return early;
  const std::int64_t bytes = p.version != 0 ? std::min(left, count * 5 + 16) : 2 * count;
  if (bytes > INT_MAX) return "WARNING: The image is too large to be read:";
  std::vector<std::uint8_t> b(static_cast<std::size_t>(bytes));
  pixels.resize(static_cast<std::size_t>(count));
  int result = 0, got = 0;
  const int n = static_cast<int>(bytes);
  FIO_FILEPREADC(fio::input_file, p.pixels_at, n, n, fio::reverse_none, result, got,
                 std::as_writable_bytes(std::span(b)));
  if (p.version != 0) {
    return fio::unpack_words(std::span(b).first(static_cast<std::size_t>(std::max(got, 0))),
                             p.version, p.width, pixels)
               ? ""
               : early;
  }
  if (got != n) return "WARNING: The file is too short for its image rows:";
  const int high = p.big ? 0 : 1;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<std::uint16_t>(b[2 * i + static_cast<std::size_t>(high)] << 8 |
                                           b[2 * i + static_cast<std::size_t>(1 - high)]);
  }
  return "";
}

// Where the overflow addresses count from: 1 in the older layout; in the
// newer one 0 as its scanners write them, unless the pixel before each
// address, and not each addressed pixel, holds the 65535 that marks an
// overflow (a writer that counts from 1).
std::int64_t address_base(const Plate& p, std::span<const Overflow> records,
                          std::span<const std::uint16_t> pixels) {
  if (!p.newer) return 1;
  const auto all_marked = [&](std::int64_t base) {
    return std::all_of(records.begin(), records.end(), [&](const Overflow& o) {
      const std::int64_t i = o.address - base;
      return i >= 0 && i < p.pixels() && pixels[static_cast<std::size_t>(i)] == overflowed;
    });
  };
  return !all_marked(0) && all_marked(1) ? 1 : 0;
}

// The pixels and the overflow values into the result, clipped to its arrays.
void store(const Plate& p, std::span<const std::uint16_t> pixels, std::span<const Overflow> records,
           std::int64_t base, fio::Result& r) {
  r.xnumdat = std::min(p.width, r.data.xmaxdat);
  r.ynumdat = std::min(p.height, r.data.ymaxdat);
  for (int y = 1; y <= r.ynumdat; ++y) {
    const std::size_t row = static_cast<std::size_t>(y - 1) * static_cast<std::size_t>(p.width);
    for (int x = 1; x <= r.xnumdat; ++x) {
      r.data(x, y) = static_cast<float>(pixels[row + static_cast<std::size_t>(x - 1)]);
    }
  }
  for (const Overflow& o : records) {
    const std::int64_t i = o.address - base;
    const auto x = static_cast<int>(i % p.width) + 1, y = static_cast<int>(i / p.width) + 1;
    if (x <= r.xnumdat && y <= r.ynumdat) r.data(x, y) = static_cast<float>(o.value);
  }
  r.retstat = fio::input_done;
  fio::finish_input(r);
}

// The image of a checked layout into the result; "" or the first line of
// the warning.
std::string read_image(const Plate& p, fio::Result& r, int& status) {
  std::vector<Overflow> records;
  std::vector<std::uint16_t> pixels;
  try {
    std::string problem = read_overflows(p, records);
    if (problem.empty()) problem = read_words(p, pixels);
    if (!problem.empty()) return problem;
  } catch (const std::bad_alloc&) {
    io::say("ERROR: Failed to allocate memory for the image-plate pixels");
    io::fail(fio::module_offset + st::no_memory, mar_id, status);
    return "";
  }
  const std::int64_t base = address_base(p, records, pixels);
  for (std::size_t k = 0; k < records.size(); ++k) {
    if (records[k].address - base < 0 || records[k].address - base >= p.pixels()) {
      return "WARNING: Overflow record " + str(static_cast<std::int64_t>(k + 1)) +
             " addresses pixel " + str(records[k].address) + ", past the image of " +
             str(p.pixels()) + " pixels:";
    }
  }
  store(p, pixels, records, base, r);
  return "";
}

// A reader of one layout: the header and where the parts lie, then the
// image; a refusal is a warning that names what is wrong and the file.
void read_plate(const char* id, std::string (*layout)(const std::string& file_name, Plate& p),
                FIO_RESULT_ARGS, float& x_pixel_size, float& y_pixel_size, int& status) {
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  if (!fio::begin_input(r, id, status) || !fio::open_data(false, "", "", r, status)) return;
  Plate p;
  std::string problem = layout(file_name, p);
  if (problem.empty()) problem = read_image(p, r, status);
  fio::close_input();
  if (!problem.empty()) {
    fio::warn({problem, "         " + io::trimmed(file_name)}, status);
    return;
  }
  if (r.retstat != fio::input_done) return;
  if (p.x_pixel > 0.0f) x_pixel_size = p.x_pixel;
  if (p.y_pixel > 0.0f) y_pixel_size = p.y_pixel;
}

// The newer layout starts with its byte-order word in either byte order.
bool newer_word(std::span<const std::uint8_t> start) {
  return integer(start, 0, false) == order_word || integer(start, 0, true) == order_word;
}

}  // namespace

namespace fio {

bool mar_image_size(int& width, int& height) {
  std::array<std::uint8_t, 4> start{};
  if (!read_file_start(start)) return false;
  Plate p;
  if (!header_of(newer_word(start), p).empty()) return false;
  width = p.width;
  height = p.height;
  return true;
}

}  // namespace fio

void FIO_IN_MAR(FIO_RESULT_ARGS, float& x_pixel_size, float& y_pixel_size, int& status) {
  if (!io::entry_ok(status, mar_id)) return;
  fio::Result r{FIO_RESULT_PASS};
  if (!fio::begin_input(r, mar_id, status) || !fio::open_data(false, "", "", r, status)) return;
  std::array<std::uint8_t, 4> start{};
  const bool read = fio::read_file_start(start);
  fio::close_input();
  if (!read) {
    fio::warn(
        {"WARNING: The file is too short for a MAR image:", "         " + io::trimmed(file_name)},
        status);
    return;
  }
  (newer_word(start) ? FIO_IN_MAR345 : FIO_IN_OLDMAR)(FIO_RESULT_PASS, x_pixel_size, y_pixel_size,
                                                      status);
}

void FIO_IN_MAR345(FIO_RESULT_ARGS, float& x_pixel_size, float& y_pixel_size, int& status) {
  read_plate(mar345_id, newer_layout, FIO_RESULT_PASS, x_pixel_size, y_pixel_size, status);
}

void FIO_IN_OLDMAR(FIO_RESULT_ARGS, float& x_pixel_size, float& y_pixel_size, int& status) {
  read_plate(oldmar_id, older_layout, FIO_RESULT_PASS, x_pixel_size, y_pixel_size, status);
}

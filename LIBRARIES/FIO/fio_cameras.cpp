// Camera formats with a fixed binary header: the CCD format of the
// spectroscopy cameras (".spe", a 4100-byte header, little-endian) and the
// image format of the C4880 cameras (".img", "IM" and a 64-byte header with
// a comment after it). Pixels go through the raw binary path.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <utility>
#include <vector>

#include "fio_internal.h"

namespace {

// The stored type of a data type code of the header; 0 for another code.
int princeton_type(int code) {
  struct Code {
    int code, type;
  };
  static constexpr Code codes[] = {
      {0, fio::type_real32}, {1, fio::type_int32}, {2, fio::type_int16}, {3, fio::type_uint16},
      {5, fio::type_real64}, {6, fio::type_uint8}, {8, fio::type_uint32}};
  for (const Code& c : codes) {
    if (c.code == code) return c.type;
  }
  return 0;
}

// The value of attribute `name` in the element of `xml` that starts at
// `at`; "" when the element has none.
std::string attribute(const std::string& xml, std::size_t at, const std::string& name) {
  const std::size_t end = xml.find('>', at);
  const std::size_t found = xml.find(" " + name + "=\"", at);
  if (found == std::string::npos || found > end) return "";
  const std::size_t first = found + name.size() + 3;
  const std::size_t last = xml.find('"', first);
  return last == std::string::npos ? "" : xml.substr(first, last - first);
}

int number(const std::string& text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9' || value > 99999999) return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The newer files (version 3 on) may leave the old size and type fields
// unset; their XML footer, from the offset at byte 678 to the end of the
// file, describes the frames: the first DataBlock of type "Frame" (count,
// pixelFormat) and its first region (width, height).
void princeton_footer(std::span<const std::uint8_t> h, fio::BinaryLayout& layout) {
  const std::int64_t offset = static_cast<std::int64_t>(fio::little_endian(&h[678], 4)) |
                              static_cast<std::int64_t>(fio::little_endian(&h[682], 4)) << 32;
  const std::int64_t size = fio::input_file_size() - offset;
  if (offset < static_cast<std::int64_t>(h.size()) || size < 1 || size > (1 << 24)) return;
  std::string xml(static_cast<std::size_t>(size), ' ');
  int result = 0, got = 0;
  FIO_FILEPREADC(fio::input_file, offset, static_cast<int>(size), static_cast<int>(size),
                 fio::reverse_none, result, got, std::as_writable_bytes(std::span(xml)));
  const std::size_t frame = xml.find("<DataBlock type=\"Frame\"");
  const std::size_t region = xml.find("<DataBlock type=\"Region\"", frame);
  if (got != size || frame == std::string::npos || region == std::string::npos) return;
  static constexpr std::pair<const char*, int> formats[] = {
      {"MonochromeUnsigned16", fio::type_uint16},
      {"MonochromeUnsigned32", fio::type_uint32},
      {"MonochromeFloating32", fio::type_real32}};
  const std::string format = attribute(xml, frame, "pixelFormat");
  for (const auto& [name, type] : formats) {
    if (format == name) layout.type = type;
  }
  layout.images = std::max(1, number(attribute(xml, frame, "count")));
  layout.width = number(attribute(xml, region, "width"));
  layout.height = number(attribute(xml, region, "height"));
}

// Pixels per row at byte 42, rows at 656, the data type at 108, the number
// of frames at 1446, the header's version at 1992; the pixels follow the
// header. In version 3 files without those fields the footer tells them.
std::string princeton_layout(std::span<const std::uint8_t> h, fio::BinaryLayout& layout) {
  layout.width = static_cast<int>(fio::little_endian(&h[42], 2));
  layout.height = static_cast<int>(fio::little_endian(&h[656], 2));
  layout.skip = static_cast<std::int64_t>(h.size());
  layout.images = std::max(1, static_cast<std::int32_t>(fio::little_endian(&h[1446], 4)));
  const int code = static_cast<std::int16_t>(fio::little_endian(&h[108], 2));
  layout.type = princeton_type(code);
  const float version = std::bit_cast<float>(fio::little_endian(&h[1992], 4));
  const bool unset = layout.type == 0 || layout.width < 1 || layout.height < 1;
  if (unset && version >= 3.0f) {
    princeton_footer(h, layout);
    if (layout.type == 0 || layout.width < 1 || layout.height < 1) {
      char v[64];
      std::snprintf(v, sizeof v, "%.1f", static_cast<double>(version));
      return std::string("WARNING: PRINCETON CCD FORMAT version ") + v +
             " file without its size and type:";
    }
  }
  if (layout.type == 0) {
    return "WARNING: Un-supported PRINCETON CCD FORMAT data type (" + std::to_string(code) + ") of";
  }
  if (layout.width < 1 || layout.height < 1) {
    return "WARNING: No image size (" + std::to_string(layout.width) + " by " +
           std::to_string(layout.height) + ") in the PRINCETON CCD FORMAT header of";
  }
  return "";
}

// "IM", then the comment length, width, height, the offsets of the image
// and its kind (0 bytes, 1 compressed, 2 2-byte values, 3 4-byte values);
// the pixels follow the header and the comment.
std::string hamamatsu_layout(std::span<const std::uint8_t> h, fio::BinaryLayout& layout) {
  if (h[0] != 'I' || h[1] != 'M') {
    return "WARNING: Not a HAMAMATSU PHOTONICS image (it does not start with \"IM\"):";
  }
  const int comment = static_cast<int>(fio::little_endian(&h[2], 2));
  layout.width = static_cast<int>(fio::little_endian(&h[4], 2));
  layout.height = static_cast<int>(fio::little_endian(&h[6], 2));
  const int kind = static_cast<int>(fio::little_endian(&h[12], 2));
  layout.skip = static_cast<std::int64_t>(h.size()) + comment;
  static constexpr int types[] = {fio::type_uint8, 0, fio::type_uint16, fio::type_uint32};
  layout.type = kind >= 0 && kind <= 3 && kind != 1 ? types[kind] : fio::type_uint16;
  if (kind == 1) return "WARNING: Compressed HAMAMATSU PHOTONICS images are not supported:";
  if (kind < 0 || kind > 3) {
    return "WARNING: Un-supported HAMAMATSU PHOTONICS image type (" + std::to_string(kind) + "):";
  }
  if (layout.width < 1 || layout.height < 1) {
    return "WARNING: No image size in the HAMAMATSU PHOTONICS header of";
  }
  return "";
}

constexpr std::array<fio::Camera, 2> cameras{{
    {fio::format_princeton, 4100, princeton_layout},
    {fio::format_hamamatsu, 64, hamamatsu_layout},
}};

// Reads the image of a camera format: its header, then the pixels of the
// layout it gives.
void read_camera(const char* id, const char* format, FIO_RESULT_ARGS, int& status) {
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  if (!fio::begin_input(r, id, status) || !fio::open_data(false, "", "", r, status)) return;
  const fio::Camera& camera = *fio::camera_of(format);
  std::vector<std::uint8_t> header(camera.header_size);
  if (!fio::read_file_start(header)) {
    fio::close_input();
    fio::warn({"WARNING: The file is too short for a " + std::string(format) + " header:",
               io::trimmed(file_name)},
              status);
    return;
  }
  fio::BinaryLayout layout;
  const std::string problem = camera.layout(header, layout);
  if (problem.empty()) fio::read_raw(layout, r, status);
  fio::close_input();
  if (!problem.empty()) fio::warn({problem, "         " + io::trimmed(file_name)}, status);
}

}  // namespace

namespace fio {

const Camera* camera_of(const std::string& format_name) {
  for (const Camera& c : cameras) {
    if (format_name == c.format) return &c;
  }
  return nullptr;
}

}  // namespace fio

void FIO_IN_PRINCETON(FIO_RESULT_ARGS, int& status) {
  read_camera("Subroutine FIO_IN_PRINCETON V0.2 ", fio::format_princeton, FIO_RESULT_PASS, status);
}

void FIO_IN_HAMAMATSU(FIO_RESULT_ARGS, int& status) {
  read_camera("Subroutine FIO_IN_HAMAMATSU V0.2 ", fio::format_hamamatsu, FIO_RESULT_PASS, status);
}

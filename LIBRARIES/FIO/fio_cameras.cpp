// Camera formats with a fixed binary header: the CCD format of the
// spectroscopy cameras (".spe", a 4100-byte header, little-endian) and the
// image format of the C4880 cameras (".img", "IM" and a 64-byte header with
// a comment after it). Pixels go through the raw binary path.
#include <array>
#include <vector>

#include "fio_internal.h"

namespace {

// Pixels per row at byte 42, rows at 656, the data type at 108; the pixels
// follow the header.
std::string princeton_layout(std::span<const std::uint8_t> h, fio::BinaryLayout& layout) {
  layout.width = static_cast<int>(fio::little_endian(&h[42], 2));
  layout.height = static_cast<int>(fio::little_endian(&h[656], 2));
  layout.skip = static_cast<std::int64_t>(h.size());
  const int code = static_cast<std::int16_t>(fio::little_endian(&h[108], 2));
  struct Code {
    int code, type;
  };
  static constexpr Code codes[] = {
      {0, fio::type_real32}, {1, fio::type_int32}, {2, fio::type_int16}, {3, fio::type_uint16},
      {5, fio::type_real64}, {6, fio::type_uint8}, {8, fio::type_uint32}};
  layout.type = 0;
  for (const Code& c : codes) {
    if (c.code == code) layout.type = c.type;
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
// and its kind (0 bytes, 1 compressed, 2 2-byte values); the pixels follow
// the header and the comment.
std::string hamamatsu_layout(std::span<const std::uint8_t> h, fio::BinaryLayout& layout) {
  if (h[0] != 'I' || h[1] != 'M') {
    return "WARNING: Not a HAMAMATSU PHOTONICS image (it does not start with \"IM\"):";
  }
  const int comment = static_cast<int>(fio::little_endian(&h[2], 2));
  layout.width = static_cast<int>(fio::little_endian(&h[4], 2));
  layout.height = static_cast<int>(fio::little_endian(&h[6], 2));
  const int kind = static_cast<int>(fio::little_endian(&h[12], 2));
  layout.skip = static_cast<std::int64_t>(h.size()) + comment;
  layout.type = kind == 0 ? fio::type_uint8 : fio::type_uint16;
  if (kind == 1) return "WARNING: Compressed HAMAMATSU PHOTONICS images are not supported:";
  if (kind != 0 && kind != 2) {
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

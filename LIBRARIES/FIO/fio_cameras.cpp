// Camera formats with a fixed binary header: the CCD format of the
// spectroscopy cameras (".spe", a 4100-byte header, little-endian) and the
// image format of the C4880 cameras (".img", "IM" and a 64-byte header with
// a comment after it). Pixels go through the raw binary path.
#include <array>

#include "fio_internal.h"

namespace {

// Opens the data file and reads `n` header bytes; false after a warning.
template <std::size_t N>
bool read_header(const char* format, fio::Result& r, std::array<std::uint8_t, N>& header,
                 int& status) {
  if (!fio::open_data(false, "", "", r, status)) return false;
  int result = 0, got = 0;
  FIO_FILEPREADC(fio::input_file, 0, static_cast<int>(N), static_cast<int>(N), fio::reverse_none,
                 result, got, std::as_writable_bytes(std::span(header)));
  if (got < static_cast<int>(N)) {
    fio::close_input();
    fio::warn({"WARNING: The file is too short for a " + std::string(format) + " header:",
               io::trimmed(r.file_name)},
              status);
    return false;
  }
  return true;
}

std::uint32_t little(const std::uint8_t* p, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// Reads the pixels of a checked layout and closes the file.
void read_pixels(const fio::BinaryLayout& layout, fio::Result& r, int& status) {
  fio::read_raw(layout, r, status);
  fio::close_input();
}

void refuse(const std::string& line, fio::Result& r, int& status) {
  fio::close_input();
  fio::warn({line, "         " + io::trimmed(r.file_name)}, status);
}

}  // namespace

void FIO_IN_PRINCETON(bool variances, std::string& file_name, int& retstat, int& xnumdat,
                      int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                      io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                      std::string& xlabel, std::string& ylabel, std::string& zlabel, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_PRINCETON V0.2 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis,
                data,      var_data,  title,   xlabel,  ylabel,  zlabel};
  if (!fio::begin_input(r, id, status)) return;
  constexpr std::size_t header_size = 4100;
  std::array<std::uint8_t, header_size> h{};
  if (!read_header("PRINCETON CCD FORMAT", r, h, status)) return;
  // Pixels per row at byte 42, rows at 656, the data type at 108.
  const int width = static_cast<int>(little(&h[42], 2));
  const int height = static_cast<int>(little(&h[656], 2));
  const int code = static_cast<std::int16_t>(little(&h[108], 2));
  struct Code {
    int code, type;
  };
  static constexpr Code codes[] = {
      {0, fio::type_real32}, {1, fio::type_int32}, {2, fio::type_int16}, {3, fio::type_uint16},
      {5, fio::type_real64}, {6, fio::type_uint8}, {8, fio::type_uint32}};
  int type = 0;
  for (const Code& c : codes) {
    if (c.code == code) type = c.type;
  }
  if (type == 0) {
    refuse("WARNING: Un-supported PRINCETON CCD FORMAT data type (" + std::to_string(code) + ") of",
           r, status);
    return;
  }
  if (width < 1 || height < 1) {
    refuse("WARNING: No image size (" + std::to_string(width) + " by " + std::to_string(height) +
               ") in the PRINCETON CCD FORMAT header of",
           r, status);
    return;
  }
  fio::BinaryLayout layout;
  layout.width = width;
  layout.height = height;
  layout.skip = header_size;
  layout.type = type;
  read_pixels(layout, r, status);
}

void FIO_IN_HAMAMATSU(bool variances, std::string& file_name, int& retstat, int& xnumdat,
                      int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                      io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                      std::string& xlabel, std::string& ylabel, std::string& zlabel, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_HAMAMATSU V0.2 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis,
                data,      var_data,  title,   xlabel,  ylabel,  zlabel};
  if (!fio::begin_input(r, id, status)) return;
  constexpr std::size_t header_size = 64;
  std::array<std::uint8_t, header_size> h{};
  if (!read_header("HAMAMATSU PHOTONICS", r, h, status)) return;
  if (h[0] != 'I' || h[1] != 'M') {
    refuse("WARNING: Not a HAMAMATSU PHOTONICS image (it does not start with \"IM\"):", r, status);
    return;
  }
  // Comment length, width, height, the offsets of the image and its type.
  const int comment = static_cast<int>(little(&h[2], 2));
  const int width = static_cast<int>(little(&h[4], 2));
  const int height = static_cast<int>(little(&h[6], 2));
  const int kind = static_cast<int>(little(&h[12], 2));
  if (kind != 0 && kind != 2) {
    refuse(kind == 1 ? "WARNING: Compressed HAMAMATSU PHOTONICS images are not supported:"
                     : "WARNING: Un-supported HAMAMATSU PHOTONICS image type (" +
                           std::to_string(kind) + "):",
           r, status);
    return;
  }
  if (width < 1 || height < 1) {
    refuse("WARNING: No image size in the HAMAMATSU PHOTONICS header of", r, status);
    return;
  }
  fio::BinaryLayout layout;
  layout.width = width;
  layout.height = height;
  layout.skip = static_cast<std::int64_t>(header_size) + comment;
  layout.type = kind == 0 ? fio::type_uint8 : fio::type_uint16;
  read_pixels(layout, r, status);
}

// The size of an image before it is read, from the header of its format, so
// that a caller can make its arrays large enough for the whole image.
#include <array>

#include "fio_internal.h"

namespace {

constexpr const char* id = "Subroutine FIO_INQ_IMAGESIZE V0.1 ";

std::uint32_t little(const std::uint8_t* p, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// Opens the named file in the input slot; false when it cannot be.
bool open_file(const std::string& file_name, int& status) {
  int result = 0, file_id = 0;
  std::string name = file_name;
  fio::open_named(false, "", "", "READ", name, result, file_id, status);
  return status == io::status_good && result == fio::stream_done;
}

// The first `n` bytes of the file open in the input slot; false when the file
// is shorter.
template <std::size_t N>
bool header_bytes(std::array<std::uint8_t, N>& header) {
  int result = 0, got = 0;
  FIO_FILEPREADC(fio::input_file, 0, static_cast<int>(N), static_cast<int>(N), fio::reverse_none,
                 result, got, std::as_writable_bytes(std::span(header)));
  return got == static_cast<int>(N);
}

}  // namespace

void FIO_INQ_IMAGESIZE(const std::string& file_name, const std::string& format_name, int& width,
                       int& height, int& retstat, int& status) {
  if (!io::entry_ok(status, id)) return;
  width = 0;
  height = 0;
  retstat = fio::size_not_known;
  const std::string format = io::trimmed(format_name);
  if (format == fio::format_binary) {
    fio::BinaryLayout layout;
    int found = 0;
    FIO_IN_HEADERFILE(io::trimmed(file_name) + ".info", layout, found, status);
    if (status != io::status_good || found != 0) return;
    width = layout.width;
    height = layout.height;
    retstat = fio::size_known;
    return;
  }
  const bool tiff = format == fio::format_tiff || format == fio::format_imagequant;
  if (!tiff && format != fio::format_princeton && format != fio::format_hamamatsu &&
      format != fio::format_merin) {
    return;
  }
  if (!open_file(file_name, status)) {
    retstat = fio::size_unreadable;
    return;
  }
  struct Closer {
    ~Closer() { fio::close_input(); }
  } closer;
  retstat = fio::size_unreadable;
  int w = 0, h = 0;
  if (tiff) {
    FIO_TIFF_IMAGESIZE(fio::input_file, file_name, w, h, status);
    // A broken directory is the reader's to report.
    if (status == fio::status_bad_tiff_integer) {
      ST_DEF_SYSTEM(status);
      return;
    }
    if (status != io::status_good) return;
  } else if (format == fio::format_merin) {
    if (!fio::merin_image_size(w, h)) return;
  } else if (format == fio::format_princeton) {
    std::array<std::uint8_t, 4100> header{};
    if (!header_bytes(header)) return;
    w = static_cast<int>(little(&header[42], 2));
    h = static_cast<int>(little(&header[656], 2));
  } else {
    std::array<std::uint8_t, 64> header{};
    if (!header_bytes(header) || header[0] != 'I' || header[1] != 'M') return;
    w = static_cast<int>(little(&header[4], 2));
    h = static_cast<int>(little(&header[6], 2));
  }
  if (w < 1 || h < 1) return;
  width = w;
  height = h;
  retstat = fio::size_known;
}

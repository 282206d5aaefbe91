// The size of an image before it is read, from the header of its format, so
// that a caller can make its arrays large enough for the whole image.
#include <vector>

#include "fio_internal.h"

namespace {

constexpr const char* id = "Subroutine FIO_INQ_IMAGESIZE V0.1 ";

// Opens the named file in the input slot; false when it cannot be.
bool open_file(const std::string& file_name, int& status) {
  int result = 0, file_id = 0;
  std::string name = file_name;
  fio::open_named(false, "", "", "READ", name, result, file_id, status);
  return status == io::status_good && result == fio::stream_done;
}

// The reader tells what is wrong with the file, once.
bool tiff_size(const std::string&, int& width, int& height, int&) {
  return fio::tiff_image_size(width, height);
}

bool camera_size(const fio::Camera& camera, int& width, int& height) {
  std::vector<std::uint8_t> header(camera.header_size);
  if (!fio::read_file_start(header)) return false;
  fio::BinaryLayout layout;
  camera.layout(header, layout);
  width = layout.width;
  height = layout.height;
  return true;
}

bool merin_size(const std::string&, int& width, int& height, int&) {
  return fio::merin_image_size(width, height);
}

bool mar_size(const std::string&, int& width, int& height, int&) {
  return fio::mar_image_size(width, height);
}

// The formats whose header tells the size, each with the routine that reads
// it from the file open in the input slot (false when the header cannot be
// read). The camera formats follow from their table.
struct HeaderSize {
  const char* format;
  bool (*size)(const std::string& file_name, int& width, int& height, int& status);
};
constexpr HeaderSize header_sizes[] = {
    {fio::format_tiff, tiff_size},
    {fio::format_imagequant, tiff_size},
    {fio::format_merin, merin_size},
    {fio::format_bas2000, fio::bas2000_size},
    {fio::format_bsl, fio::bsl_size},
    {fio::format_photometrics, fio::photometrics_size},
    {fio::format_dexoram, fio::dexoram_size},
    {fio::format_mar, mar_size},
    {fio::format_mar_pck, mar_size},
};

const HeaderSize* header_size_of(const std::string& format) {
  for (const HeaderSize& h : header_sizes) {
    if (format == h.format) return &h;
  }
  return nullptr;
}

bool size_told(const std::string& format) {
  return header_size_of(format) != nullptr || fio::camera_of(format) != nullptr;
}

// The size in the header of a format that tells it there, from the file
// open in the input slot; false when the header cannot be read.
bool size_in_header(const std::string& file_name, const std::string& format, int& width,
                    int& height, int& status) {
  if (const HeaderSize* h = header_size_of(format))
    return h->size(file_name, width, height, status);
  return camera_size(*fio::camera_of(format), width, height);
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
    // The layout in the header file beside the data.
    fio::BinaryLayout layout;
    int found = 0;
    FIO_IN_HEADERFILE(io::trimmed(file_name) + ".info", layout, found, status);
    if (status != io::status_good || found != 0) return;
    width = layout.width;
    height = layout.height;
    retstat = fio::size_known;
    return;
  }
  if (!size_told(format)) return;
  retstat = fio::size_unreadable;
  if (!open_file(file_name, status)) return;
  const fio::InputCloser closer;
  int w = 0, h = 0;
  if (!size_in_header(file_name, format, w, h, status) || w < 1 || h < 1) return;
  width = w;
  height = h;
  retstat = fio::size_known;
}

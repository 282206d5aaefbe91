#include "kov_tiff.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace kov {

namespace {

void put16(std::vector<std::uint8_t>& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

bool write_tiff(const std::string& file_name, int width, int height, TiffSample sample,
                const std::vector<std::uint8_t>& bytes) {
  const unsigned bits = sample == TiffSample::real32 ? 32 : 16;
  const unsigned format = sample == TiffSample::real32 ? 3 : 1;  // IEEE reals, unsigned
  if (width < 1 || height < 1) return false;
  const std::uint32_t w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height);
  const std::uint32_t data_bytes = w * h * (bits / 8);
  if (bytes.size() != data_bytes) return false;
  // The header, the pixels, the directory.
  std::vector<std::uint8_t> b{'I', 'I'};
  put16(b, 42);
  put32(b, 8 + data_bytes);
  b.insert(b.end(), bytes.begin(), bytes.end());
  struct Tag {
    unsigned tag, type;
    std::uint32_t value;
  };
  // Width, length, bits a sample, no compression, black is zero, the strip,
  // one sample, the rows of the strip, its bytes, the sample format.
  const Tag tags[] = {{256, 4, w},          {257, 4, h},     {258, 3, bits}, {259, 3, 1},
                      {262, 3, 1},          {273, 4, 8},     {277, 3, 1},    {278, 4, h},
                      {279, 4, data_bytes}, {339, 3, format}};
  put16(b, static_cast<unsigned>(std::size(tags)));
  for (const Tag& t : tags) {
    put16(b, t.tag);
    put16(b, t.type);
    put32(b, 1);
    if (t.type == 3) {
      put16(b, t.value);
      put16(b, 0);
    } else {
      put32(b, t.value);
    }
  }
  put32(b, 0);
  std::FILE* file = std::fopen(file_name.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(b.data(), 1, b.size(), file) == b.size();
  return std::fclose(file) == 0 && written;
}

bool write_real_tiff(const std::string& file_name, io::View2D<const float> image, int width,
                     int height) {
  if (width < 1 || height < 1 || image.empty() || image.xmaxdat < width || image.ymaxdat < height) {
    return false;
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  for (int j = 1; j <= height; ++j) {
    for (int i = 1; i <= width; ++i) {
      std::uint32_t bits = 0;
      const float v = image(i, j);
      std::memcpy(&bits, &v, 4);
      put32(bytes, bits);
    }
  }
  return write_tiff(file_name, width, height, TiffSample::real32, bytes);
}

}  // namespace kov

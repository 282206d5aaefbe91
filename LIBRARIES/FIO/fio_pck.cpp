// The packed ("pck") compression of the image-plate files: blocks of
// differences from a prediction by the neighbours, packed as a bit string
// whose first bit is the lowest bit of the first byte.
#include <algorithm>
#include <array>
#include <cstddef>

#include "fio_internal.h"

namespace {

// Bits per value of each size code of a block header.
constexpr std::array<int, 8> widths_v1{0, 4, 5, 6, 7, 8, 16, 32};
constexpr std::array<int, 16> widths_v2{0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 32};

// The bit string of a byte span, read in fields of up to 32 bits, each
// field's lowest bit first.
class Bits {
 public:
  explicit Bits(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  // The next `width` bits; false (nothing taken) when fewer are left.
  bool take(int width, std::uint32_t& value) {
    if (static_cast<std::uint64_t>(width) > bytes_.size() * 8 - position_) return false;
    value = 0;
    for (int got = 0; got < width;) {
      const int offset = static_cast<int>(position_ & 7);
      const int n = std::min(8 - offset, width - got);
      const std::uint32_t bits = (bytes_[position_ >> 3] >> offset) & ((1u << n) - 1);
      value |= bits << got;
      got += n;
      position_ += static_cast<std::uint64_t>(n);
    }
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
};

// A stored pixel as the signed 16-bit number of the predictor.
int as_signed(std::uint16_t p) {
  return static_cast<std::int16_t>(p);
}

// The prediction of pixel i from the pixels before it (and, for an image
// one pixel wide, from pixel i itself, still 0). Plain linear neighbours,
// with no case for the ends of the rows; the division truncates.
int predicted(std::span<const std::uint16_t> p, std::size_t i, std::size_t width) {
  if (i == 0) return 0;
  if (i <= width) return as_signed(p[i - 1]);
  return (as_signed(p[i - 1]) + as_signed(p[i - width + 1]) + as_signed(p[i - width]) +
          as_signed(p[i - width - 1]) + 2) /
         4;
}

}  // namespace

namespace fio {

bool unpack_words(std::span<const std::uint8_t> stream, int version, int width,
                  std::span<std::uint16_t> pixels) {
  if (width < 1 || (version != 1 && version != 2)) return false;
  const std::span<const int> table =
      version == 1 ? std::span<const int>(widths_v1) : std::span<const int>(widths_v2);
  const int code_bits = version == 1 ? 3 : 4;
  const auto w = static_cast<std::size_t>(width);
  std::fill(pixels.begin(), pixels.end(), std::uint16_t{0});
  Bits bits(stream);
  for (std::size_t i = 0; i < pixels.size();) {
    std::uint32_t count_code = 0, size_code = 0;
    if (!bits.take(3, count_code) || !bits.take(code_bits, size_code)) return false;
    const int bits_per_value = table[size_code];
    for (std::size_t k = std::size_t{1} << count_code; k > 0 && i < pixels.size(); --k, ++i) {
      std::uint32_t raw = 0;
      if (!bits.take(bits_per_value, raw)) return false;
      std::int64_t difference = raw;
      if (bits_per_value > 0 && (raw >> (bits_per_value - 1)) != 0) {
        difference -= std::int64_t{1} << bits_per_value;
      }
      pixels[i] = static_cast<std::uint16_t>(predicted(pixels, i, w) + difference);
    }
  }
  return true;
}

}  // namespace fio

// The image-plate reader on files written by the test from the layouts, and
// the packed decompression against an encoder written here and the
// published vectors.
#include <random>

#include "fio_files.h"
#include "fio_internal.h"

namespace {

using fiotest::Bytes;
using Words = std::vector<std::uint16_t>;
using Bytes8 = std::vector<std::uint8_t>;

int predict(const Words& q, std::size_t i, std::size_t w) {
  const auto s = [&](std::size_t k) { return static_cast<int>(static_cast<std::int16_t>(q[k])); };
  return i == 0   ? 0
         : i <= w ? s(i - 1)
                  : (s(i - 1) + s(i - w + 1) + s(i - w) + s(i - w - 1) + 2) / 4;
}

// The encoder of the packed stream: blocks chosen by the doubling rule
// within segments of 16384 differences, fields lowest bit first.
Bytes8 pack(const Words& p, int width, int version) {
  const std::size_t n = p.size(), w = static_cast<std::size_t>(width);
  Words q(n, 0);  // the pixels as the decoder has them (0 ahead)
  std::vector<std::int64_t> d(n);
  for (std::size_t i = 0; i < n; ++i) {
    d[i] = static_cast<std::int16_t>(p[i]) - predict(q, i, w);
    q[i] = p[i];
  }
  const std::vector<int> bits =
      version == 1 ? std::vector<int>{0, 4, 5, 6, 7, 8, 16, 32}
                   : std::vector<int>{0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 32};
  const auto code = [&](std::int64_t m) {  // size code of the largest |difference|
    for (std::size_t c = 0; c + 1 < bits.size(); ++c) {
      if (bits[c] == 16 ? m < 32768 : m < (bits[c] == 0 ? 1 : std::int64_t{1} << (bits[c] - 1)))
        return c;
    }
    return bits.size() - 1;
  };
  const auto cost = [&](std::size_t q0, std::size_t len) {
    std::int64_t m = 0;
    for (std::size_t k = q0; k < q0 + len; ++k) m = std::max(m, d[k] < 0 ? -d[k] : d[k]);
    return static_cast<std::int64_t>(bits[code(m)] * len);
  };
  Bytes8 out;
  std::size_t at = 0;
  const auto put = [&](std::uint64_t v, int width_bits) {
    for (int k = 0; k < width_bits; ++k, ++at) {
      if (at % 8 == 0) out.push_back(0);
      out.back() = static_cast<std::uint8_t>(out.back() | ((v >> k) & 1) << (at % 8));
    }
  };
  for (std::size_t q0 = 0; q0 < n;) {
    const std::size_t e = std::min(n, (q0 / 16384 + 1) * 16384) - 1;
    std::size_t len = 1;
    std::int64_t c = cost(q0, 1);
    while (e > q0 + 2 * len) {
      const std::int64_t c2 = cost(q0 + len, len), merged = 2 * std::max(c, c2);
      if (merged >= c + c2 + (version == 1 ? 6 : 7)) break;
      c = merged;
      len *= 2;
      if (len == 128) break;
    }
    const int each = static_cast<int>(c / static_cast<std::int64_t>(len));
    put(static_cast<std::uint64_t>(std::countr_zero(len)), 3);
    put(static_cast<std::uint64_t>(std::find(bits.begin(), bits.end(), each) - bits.begin()),
        version == 1 ? 3 : 4);
    for (std::size_t k = q0; k < q0 + len; ++k) put(static_cast<std::uint64_t>(d[k]), each);
    q0 += len;
  }
  return out;
}

Words unpack(const Bytes8& stream, int width, std::size_t count, int version, bool& whole) {
  Words p(count);
  whole = fio::unpack_words(stream, version, width, p);
  return p;
}

TEST(FioMar, PackedStreamVectorsAndRoundTrips) {
  // The published vectors A (by hand: 8 x 5 bits, 4 x 4, 1 x 4, 1 x 0, 1 x 4) and B.
  const Words a{10, 12, 11, 9, 10, 11, 13, 12, 10, 9, 12, 12, 14, 11, 10};
  const Words b{100, 40000, 65535, 7, 0, 32768, 32767, 1, 65535, 65535, 0, 300};
  const Bytes8 a1{0x93, 0x12, 0xdf, 0x87, 0x20, 0x82, 0xf2, 0x1f, 0x80, 0x08, 0x80, 0x3c};
  const Bytes8 a2{0x1a, 0x25, 0xbe, 0x5f, 0x24, 0xca, 0x1f, 0x20, 0x04, 0x40, 0x1c};
  const Bytes8 b1{0x28, 0x59, 0xcc, 0xbd, 0xf9, 0x3b, 0x16, 0xa1, 0x0c, 0x5b, 0x63, 0xe2, 0xed,
                  0xb8, 0x00, 0x00, 0x31, 0x00, 0x38, 0xff, 0x07, 0xf2, 0x00, 0xcc, 0x12, 0x0e};
  struct Vector {
    const Words& image;
    int width, version;
    const Bytes8& stream;
  } vectors[] = {{a, 5, 1, a1}, {a, 5, 2, a2}, {b, 4, 1, b1}};
  bool whole = false;
  for (const Vector& v : vectors) {
    EXPECT_EQ(pack(v.image, v.width, v.version), v.stream);
    EXPECT_EQ(unpack(v.stream, v.width, v.image.size(), v.version, whole), v.image);
    EXPECT_TRUE(whole);
    for (std::size_t cut = 0; cut + 1 < v.stream.size(); ++cut) {  // every shorter stream
      unpack(Bytes8(v.stream.begin(), v.stream.begin() + static_cast<long>(cut)), v.width,
             v.image.size(), v.version, whole);
      EXPECT_FALSE(whole) << cut;
    }
  }
  // Random images: noise over the whole range, smooth ones, saturated runs.
  std::mt19937 random(22);
  for (const auto& [w, h] : {std::pair{1, 1}, {1, 9}, {2, 2}, {7, 5}, {33, 17}, {129, 130}}) {
    for (int kind = 0; kind < 3; ++kind) {
      Words p(static_cast<std::size_t>(w * h));
      for (std::size_t i = 0; i < p.size(); ++i) {
        const unsigned r = random();
        p[i] = static_cast<std::uint16_t>(kind == 0   ? r
                                          : kind == 1 ? 1000 + i % 7 + r % 3
                                                      : (r % 5 == 0 ? 65535 : 32767 + r % 3));
      }
      for (int version : {1, 2}) {
        EXPECT_EQ(unpack(pack(p, w, version), w, p.size(), version, whole), p) << w << " " << h;
        EXPECT_TRUE(whole);
      }
    }
  }
}

}  // namespace

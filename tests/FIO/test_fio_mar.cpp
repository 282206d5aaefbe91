// The image-plate reader on files written from the layouts, and the packed
// decompression against an encoder written here and the published vectors.
#include <random>
#include <set>

#include "fio_files.h"
#include "fio_internal.h"

namespace {

using Words = std::vector<std::uint16_t>;
using Bytes8 = std::vector<std::uint8_t>;

// The packed stream by the published encoder: differences from the signed
// 16-bit prediction, blocks by the doubling rule within segments of 16384.
Bytes8 pack(const Words& p, int width, int version) {
  const std::size_t n = p.size(), w = static_cast<std::size_t>(width);
  const auto s = [&](std::size_t k) { return k < n ? static_cast<std::int16_t>(p[k]) : 0; };
  std::vector<std::int64_t> d(n);
  for (std::size_t i = 0; i < n; ++i) {  // (the decoder sees 0 for pixel i of a 1-wide image)
    d[i] = s(i) - (i == 0 ? 0
                   : i <= w
                       ? s(i - 1)
                       : (s(i - 1) + (w > 1 ? s(i - w + 1) : 0) + s(i - w) + s(i - w - 1) + 2) / 4);
  }
  const std::vector<int> bits =
      version == 1 ? std::vector<int>{0, 4, 5, 6, 7, 8, 16, 32}
                   : std::vector<int>{0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 32};
  const auto cost = [&](std::size_t q, std::size_t len) {  // bits of a block
    std::int64_t m = 0;
    for (std::size_t k = q; k < q + len; ++k) m = std::max(m, d[k] < 0 ? -d[k] : d[k]);
    std::size_t c = 0;
    while (c + 1 < bits.size() && m >= std::max<std::int64_t>(1, (std::int64_t{1} << bits[c]) / 2))
      ++c;
    return static_cast<std::int64_t>(bits[c] * len);
  };
  Bytes8 out;
  std::size_t at = 0;
  const auto put = [&](std::uint64_t v, int width_bits) {
    for (int k = 0; k < width_bits; ++k, ++at) {
      if (at % 8 == 0) out.push_back(0);
      out.back() = static_cast<std::uint8_t>(out.back() | ((v >> k) & 1) << (at % 8));
    }
  };
  for (std::size_t q = 0; q < n;) {
    const std::size_t e = std::min(n, (q / 16384 + 1) * 16384) - 1;
    std::size_t len = 1;
    std::int64_t c = cost(q, 1);
    for (; len < 128 && e > q + 2 * len; len *= 2) {
      const std::int64_t c2 = cost(q + len, len), merged = 2 * std::max(c, c2);
      if (merged >= c + c2 + (version == 1 ? 6 : 7)) break;
      c = merged;
    }
    const int each = static_cast<int>(c / static_cast<std::int64_t>(len));
    put(static_cast<std::uint64_t>(std::countr_zero(len)), 3);
    put(static_cast<std::uint64_t>(std::find(bits.begin(), bits.end(), each) - bits.begin()),
        version + 2);
    for (; len > 0; --len, ++q) put(static_cast<std::uint64_t>(d[q]), each);
  }
  return out;
}

// The stream decodes to the image, and every shorter one is refused.
void round_trip(const Words& p, int w, int version, const Bytes8& stream) {
  Words got(p.size());
  EXPECT_TRUE(fio::unpack_words(stream, version, w, got));
  EXPECT_EQ(got, p) << w << " " << p.size() << " " << version;
  for (std::size_t cut = 0; cut < std::min<std::size_t>(stream.size() - 1, 40); ++cut)
    EXPECT_FALSE(fio::unpack_words(std::span(stream).first(cut), version, w, got)) << cut;
}

TEST(FioMar, PackedStreamVectorsAndRoundTrips) {
  // The published vectors: A (worked by hand: blocks of 8 x 5 bits, 4 x 4,
  // 1 x 4, 1 x 0, 1 x 4) in versions 1 and 2, and B (signed prediction).
  const Words a{10, 12, 11, 9, 10, 11, 13, 12, 10, 9, 12, 12, 14, 11, 10};
  const Words b{100, 40000, 65535, 7, 0, 32768, 32767, 1, 65535, 65535, 0, 300};
  const Bytes8 a1{0x93, 0x12, 0xdf, 0x87, 0x20, 0x82, 0xf2, 0x1f, 0x80, 0x08, 0x80, 0x3c};
  const Bytes8 a2{0x1a, 0x25, 0xbe, 0x5f, 0x24, 0xca, 0x1f, 0x20, 0x04, 0x40, 0x1c};
  const Bytes8 b1{0x28, 0x59, 0xcc, 0xbd, 0xf9, 0x3b, 0x16, 0xa1, 0x0c, 0x5b, 0x63, 0xe2, 0xed,
                  0xb8, 0x00, 0x00, 0x31, 0x00, 0x38, 0xff, 0x07, 0xf2, 0x00, 0xcc, 0x12, 0x0e};
  for (const auto& [image, w, version, stream] :
       {std::tuple{a, 5, 1, a1}, {a, 5, 2, a2}, {b, 4, 1, b1}}) {
    EXPECT_EQ(pack(image, w, version), stream);
    round_trip(image, w, version, stream);
  }
  // Noise over the whole range, smooth stretches and saturated runs.
  std::mt19937 random(22);
  for (const auto& [w, h] : {std::pair{1, 1}, {1, 9}, {2, 2}, {7, 5}, {33, 17}, {129, 130}}) {
    Words p(static_cast<std::size_t>(w * h));
    for (std::size_t i = 0; i < p.size(); ++i)
      p[i] = static_cast<std::uint16_t>(i % 40 < 10   ? random()
                                        : i % 40 < 30 ? 32767 + i % 3
                                                      : 65535);
    for (int version : {1, 2}) round_trip(p, w, version, pack(p, w, version));
  }
}

// A file of either layout; pixel i holds v(i), 65535 where an overflow
// record holds it.
struct Plate {
  int layout;  // 0 the newer; the older with 1 rows, 2 the packed image
  bool big;
  int w, h, version, base;  // of the packed stream; overflow addresses from 0 or 1
  int text_at, microns;     // the newer: text lines from 64 or 128; pixel-size words
  std::set<int> over;       // pixels with overflow records
  bool vax = false;         // the older: reals of the older machines
  int v(int i) const { return over.count(i) ? 65536 + 1000 * i : (i * 7919 + 12345) % 65535; }
  std::string file() const {
    fiotest::Bytes f;
    f.high = big;
    Words p(static_cast<std::size_t>(w * h));
    for (int i = 0; i < w * h; ++i) p[static_cast<std::size_t>(i)] = over.count(i) ? 65535 : v(i);
    if (layout == 0) {
      f.u32(1234).u32(w).u32(over.size()).u32(1).u32(0).u32(w * h).u32(microns).u32(microns);
      f.zeros(static_cast<std::size_t>(text_at - 32));
      for (std::string t :
           {"mar research", "PIXEL          LENGTH 100  HEIGHT 150", "END OF HEADER"})
        f.text(t + std::string(64 - t.size(), ' '));
    } else {
      f.u32(w).u32(h).u32(2 * w).u32(h + 1).u32(over.size()).u32(1).zeros(36);
      for (float x : {0.15f, 0.1f, 0.0f, 0.0f, 1.5418f}) {
        const auto u = std::bit_cast<std::uint32_t>(vax ? 4 * x : x);
        f.u32(vax ? u << 16 | u >> 16 : u);
      }
    }
    f.text(std::string((layout == 0 ? 4096 : 2 * w) - f.b.size(), ' '));
    if (layout == 1)
      for (auto x : p) f.u16(x);
    for (int i : over) f.u32(i + base).u32(v(i));
    const std::size_t record = layout == 0 ? 64 : 2 * w;
    f.zeros((record - f.b.size() % record) % record);
    if (layout == 1) return f.str();
    char id[64];
    std::snprintf(id, sizeof id, "\nCCP4 packed image%s, X: %04d, Y: %04d\n",
                  version == 2 ? " V2" : "", w, h);
    const Bytes8 stream = pack(p, w, version);
    return f.str() + id + std::string(stream.begin(), stream.end());
  }
};

const Plate plates[] = {
    {0, false, 5, 3, 1, 0, 128, 150, {0, 7, 14}},
    {0, true, 4, 4, 1, 1, 64, 0, {0, 8, 15}},  // addresses from 1, sizes from the text
    {0, false, 1, 1, 1, 0, 64, 100, {0}},
    {0, true, 40, 20, 2, 0, 128, 100, {3, 40 * 16 + 32, 799}},  // larger than the arrays
    {0, false, 6, 2, 2, 1, 64, 0, {}},
    {1, false, 62, 3, 1, 1, 0, 0, {0, 61, 185}},
    {1, true, 63, 2, 1, 1, 0, 0, {100}, true},
    {2, false, 64, 5, 1, 1, 0, 0, {0, 1, 2, 319}},
    {2, true, 65, 3, 1, 1, 0, 0, {64}, true},
};

std::string path_of(std::size_t k) {
  static const kovtest::TempDir dir;
  return dir.file(plates[k].layout == 2 ? "p.pck" : "p.mar2300");
}

// Plate k's file, changed at byte `at` (`size` bytes of `value`) or with
// `size` 0 cut to `at` bytes (from the end when negative), read through the
// dispatcher into arrays of 33 by 17.
fiotest::Read read_mar(std::size_t k, long at = 0, std::uint32_t value = 0, int size = -1) {
  std::string f = plates[k].file();
  for (int i = 0; i < size; ++i)
    f[static_cast<std::size_t>(at + i)] = static_cast<char>(value >> (8 * i));
  if (size == 0)
    f.resize(at < 0 ? f.size() - static_cast<std::size_t>(-at) : static_cast<std::size_t>(at));
  kovtest::write_file(path_of(k), f);
  return fiotest::read_named(path_of(k), "", 33, 17);
}

TEST(FioMar, FilesReadValueForValueOrRefusedWithTheirWarning) {
  for (std::size_t k = 0; k < std::size(plates); ++k) {
    const Plate& c = plates[k];
    const fiotest::Read r = read_mar(k);
    ASSERT_EQ(r.width * 100 + r.height, std::min(c.w, 33) * 100 + std::min(c.h, 17)) << r.console;
    for (std::size_t i = 0; i < r.pixels.size(); ++i)
      ASSERT_EQ(r.pixels[i],
                c.v(static_cast<int>(i) / r.width * c.w + static_cast<int>(i) % r.width))
          << k << " " << i;
    float px = 0, py = 0;
    int found = 0, status = fiotest::good, width = 0, height = 0;
    IO_INQ_RKEYVALUE("X_PIXEL_SIZE", px, found, status);
    IO_INQ_RKEYVALUE("Y_PIXEL_SIZE", py, found, status);
    EXPECT_FLOAT_EQ(px, c.layout > 0 ? 1.5e-4f : c.microns > 0 ? c.microns * 1e-6f : 1e-4f);
    EXPECT_FLOAT_EQ(py, c.layout > 0 ? 1e-4f : c.microns > 0 ? c.microns * 1e-6f : 1.5e-4f);
    FIO_INQ_IMAGESIZE(path_of(k), fio::format_mar_pck, width, height, found, status);
    EXPECT_EQ(width * 100000 + height, c.w * 100000 + c.h);
  }
  struct Case {
    std::size_t plate;  // 0 the newer, 5 the older rows, 7 the older packed
    long at;
    std::uint32_t value;
    int size;
    const char* message;
  } cases[] = {
      {0, 0, 0, 4, "neither 1234 nor a width of 62 to 16384"},
      {0, 4, 20000, 4, "image size (20000) is outside 1 to 16384"},
      {0, 20, 7, 4, "pixel count (7) is no number of rows of 5 pixels"},
      {0, 12, 2, 4, "Only packed mar345 images (format 1) are read, not format 2"},
      {0, 8, 1000, 4, "overflow count (1000) is larger than the file holds"},
      {0, 4096, 16, 4, "record 1 addresses pixel 16, outside the image of 15 pixels"},
      {0, 4170, 0, 0, "No packed image identifier line after the overflow records"},
      {0, 4186, '6', 1, "packed image (6 by 3) is not the size of its header (5 by 3)"},
      {0, -2, 0, 0, "packed image ends before its last pixel"},
      {0, 100, 0, 0, "too short for a mar345 header (4096 bytes)"},
      {0, 2, 0, 0, "too short for a MAR image"},
      {5, 4, 0, 4, "MAR image height (0) is outside 1 to 16384"},
      {5, 8, 7, 4, "record length (7) is not twice the width (62)"},
      {5, -200, 0, 0, "too short for its 62 by 3 MAR image and 3 overflow pixels"},
      {5, 496, 0, 4, "addresses pixel 0, outside the image of 186 pixels"},
      {7, 257, 'X', 1, "No packed image identifier line after the overflow records"},
  };
  for (const Case& c : cases) {
    const fiotest::Read r = read_mar(c.plate, c.at, c.value, c.size);
    EXPECT_FALSE(r.defined) << c.message;
    EXPECT_CONSOLE(r, std::string(c.message) + ":\n         " + path_of(c.plate));
  }
}

}  // namespace

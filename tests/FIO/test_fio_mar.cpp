// The image-plate reader on files written by the test from the layouts, and
// the packed decompression against an encoder written here and the
// published vectors.
#include <random>
#include <set>

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

std::string four(int n) {  // "%04d"
  const std::string d = std::to_string(n);
  return std::string(d.size() < 4 ? 4 - d.size() : 0, '0') + d;
}

// A file of either layout, its pixels v(i) (65535 where an overflow record
// holds the value) and its overflow records.
struct Plate {
  int layout;  // 0 the newer; the older with 1 rows, 2 the packed image
  bool big;
  int w, h, version, base;  // the packed stream's version; overflow addresses from 0 or 1
  int text_at;              // the newer: the text lines from byte 64 or 128
  int microns;              // the newer: pixel-size words (0: the text line's 100 by 150)
  std::set<int> over;       // pixels with overflow records
  bool vax = false;         // the older: reals of the older machines
  int value(int i) const { return over.count(i) ? 65536 + 1000 * i : (i * 7919 + 12345) % 65535; }
  std::string file() const {
    Bytes f;
    f.high = big;
    Words p(static_cast<std::size_t>(w * h));
    for (int i = 0; i < w * h; ++i)
      p[static_cast<std::size_t>(i)] = over.count(i) ? 65535 : value(i);
    const auto size = over.size();
    if (layout == 0) {
      f.u32(1234).u32(w).u32(size).u32(1).u32(0).u32(w * h).u32(microns).u32(microns);
      f.zeros(static_cast<std::size_t>(text_at - 32));
      for (std::string t :
           {"mar research", "PIXEL          LENGTH 100  HEIGHT 150", "END OF HEADER"})
        f.text(t + std::string(64 - t.size(), ' '));
      f.text(std::string(4096 - f.b.size(), ' '));
    } else {
      f.u32(w).u32(h).u32(2 * w).u32(h + 1).u32(size).u32(1).zeros(36);
      for (float v : {0.15f, 0.1f, 0.0f, 0.0f, 1.5418f}) {
        const auto u = std::bit_cast<std::uint32_t>(vax ? 4 * v : v);
        f.u32(vax ? u << 16 | u >> 16 : u);
      }
      f.text(std::string(2 * w - f.b.size(), ' '));
      if (layout == 1)
        for (auto v : p) f.u16(v);
    }
    for (int i : over) f.u32(i + base).u32(value(i));
    const std::size_t record = layout == 0 ? 64 : 2 * w;
    f.zeros((record - f.b.size() % record) % record);
    if (layout == 1) return f.str();
    f.text("\nCCP4 packed image" + std::string(version == 2 ? " V2" : "") + ", X: " + four(w) +
           ", Y: " + four(h) + "\n");
    const Bytes8 stream = pack(p, w, version);
    return f.str() + std::string(stream.begin(), stream.end());
  }
};

struct Got {
  int retstat = 0, xn = 0, yn = 0;
  float px = -1, py = -1;
  std::vector<float> data = std::vector<float>(33 * 17);
  std::string console;
};
Got read_mar(const std::string& path) {
  Got g;
  const kovtest::ConsoleCapture console;
  int status = fiotest::good;
  std::string name = path, title, xl, yl, zl;
  std::vector<float> xa(33), ya(17);
  FIO_IN_MAR(false, name, g.retstat, g.xn, g.yn, xa, ya, io::View2D<float>(g.data.data(), 33, 17),
             io::View2D<float>(), title, xl, yl, zl, g.px, g.py, status);
  EXPECT_EQ(status, fiotest::good);
  g.console = console.text();
  return g;
}

const Plate plates[] = {
    {0, false, 5, 3, 1, 0, 128, 150, {0, 7, 14}},
    {0, true, 4, 4, 1, 1, 64, 0, {0, 8, 15}},  // addresses from 1, sizes from the text
    {0, false, 1, 1, 1, 0, 64, 100, {0}},
    {0, true, 40, 20, 2, 0, 128, 100, {3, 40 * 16 + 32, 799}},  // past the arrays
    {0, false, 6, 2, 2, 1, 64, 0, {}},
    {1, false, 62, 3, 1, 1, 0, 0, {0, 61, 185}},
    {1, true, 63, 2, 1, 1, 0, 0, {100}, true},
    {2, false, 64, 5, 1, 1, 0, 0, {0, 1, 2, 319}},
    {2, true, 65, 3, 1, 1, 0, 0, {64}, true},
};

TEST(FioMar, FilesOfBothLayoutsReadValueForValue) {
  kovtest::TempDir dir;
  for (const Plate& c : plates) {
    const std::string path = dir.file(c.layout == 0   ? "p.mar2300"
                                      : c.layout == 1 ? "p.image"
                                                      : "p.pck");
    kovtest::write_file(path, c.file());
    const Got g = read_mar(path);
    ASSERT_EQ(g.retstat, fio::input_done) << c.w << g.console;
    ASSERT_EQ(g.xn, std::min(c.w, 33));
    ASSERT_EQ(g.yn, std::min(c.h, 17));
    for (int y = 0; y < g.yn; ++y)
      for (int x = 0; x < g.xn; ++x)
        ASSERT_EQ(g.data[static_cast<std::size_t>(y * 33 + x)], c.value(y * c.w + x))
            << c.w << " " << x << " " << y;
    EXPECT_FLOAT_EQ(g.px, c.layout > 0 ? 1.5e-4f : c.microns > 0 ? c.microns * 1e-6f : 1e-4f);
    EXPECT_FLOAT_EQ(g.py, c.layout > 0 ? 1e-4f : c.microns > 0 ? c.microns * 1e-6f : 1.5e-4f);
    int width = 0, height = 0, retstat = 0, status = fiotest::good;
    FIO_INQ_IMAGESIZE(path, fio::format_mar_pck, width, height, retstat, status);
    EXPECT_EQ(width * 100000 + height, c.w * 100000 + c.h);
  }
}

void put(std::string& f, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) f[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * k));
}

TEST(FioMar, TruncatedAndInconsistentFilesRefused) {
  struct Case {
    int plate;  // 0 the newer, 5 the older rows, 7 the older packed
    void (*change)(std::string&);
    const char* message;
  } cases[] = {
      {0, [](std::string& f) { put(f, 0, 0); }, "neither 1234 nor a width of 62 to 16384"},
      {0, [](std::string& f) { put(f, 4, 0); }, "image size (0) is outside 1 to 16384"},
      {0, [](std::string& f) { put(f, 4, 20000); }, "image size (20000) is outside"},
      {0, [](std::string& f) { put(f, 20, 7); }, "pixel count (7) is no number of rows of 5"},
      {0, [](std::string& f) { put(f, 12, 2); },
       "Only packed mar345 images (format 1) are read, not format 2"},
      {0, [](std::string& f) { put(f, 8, 1000); }, "overflow count (1000) is larger than the file"},
      {0, [](std::string& f) { put(f, 4096, 16); },
       "record 1 addresses pixel 16, outside the image of 15"},
      {0, [](std::string& f) { f.resize(4096 + 64 + 10); }, "No packed image identifier line"},
      {0, [](std::string& f) { f[4096 + 64 + 26] = '6'; },
       "packed image (6 by 3) is not the size of its header (5 by 3)"},
      {0, [](std::string& f) { f.resize(f.size() - 2); },
       "packed image ends before its last pixel"},
      {0, [](std::string& f) { f.resize(100); }, "too short for a mar345 header (4096 bytes)"},
      {0, [](std::string& f) { f.resize(2); }, "too short for a MAR image"},
      {5, [](std::string& f) { put(f, 4, 0); }, "MAR image height (0) is outside"},
      {5, [](std::string& f) { put(f, 8, 7); }, "record length (7) is not twice the width (62)"},
      {5, [](std::string& f) { f.resize(f.size() - 200); },
       "too short for its 62 by 3 MAR image and 3 overflow"},
      {5, [](std::string& f) { put(f, 16, 100000); }, "overflow count (100000) is larger"},
      {5, [](std::string& f) { put(f, 496, 0); }, "addresses pixel 0, outside"},
      {7, [](std::string& f) { f[256 + 1] = 'X'; }, "No packed image identifier line"},
  };
  kovtest::TempDir dir;
  for (const Case& c : cases) {
    std::string f = plates[c.plate].file();
    c.change(f);
    const std::string path = dir.file(c.plate == 7 ? "r.pck" : "r.mar2300");
    kovtest::write_file(path, f);
    const Got g = read_mar(path);
    EXPECT_EQ(g.retstat, fio::input_failed) << c.message;
    EXPECT_NE(g.console.find(c.message), std::string::npos) << g.console;
    EXPECT_NE(g.console.find("         " + path), std::string::npos) << g.console;
  }
}

}  // namespace

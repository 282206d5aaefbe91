// The TIFF readers on files written byte by byte: every layout that is
// read, every feature that is refused, the densitometer variant, re-binning,
// the region form on the console and in the window, the integer helpers.
#include <array>
#include <functional>

#include "../GS/gs_tool_script.h"
#include "fio_files.h"
#include "gs.h"
#include "recording_device.h"
#include "stdin_pipe.h"

namespace {

using fiotest::Bytes;
using fiotest::good;
using fiotest::read_named;
using fiotest::Tiff;

// Rows of samples v(x, y) packed as the TIFF stores them.
std::vector<std::uint8_t> pack(int width, int height, int bits, bool high,
                               const std::function<std::uint32_t(int, int)>& v) {
  Bytes r;
  r.high = high;
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) {
      const std::uint32_t s = v(x, y);
      if (bits != 12) {
        r.n(s, bits / 8);
      } else if (x % 2 == 1) {
        // First of a pair: A = high 8 bits, high nibble of B = low 4 bits.
        r.u8(s >> 4).u8((s & 15) << 4);
      } else {
        r.b.back() = static_cast<std::uint8_t>(r.b.back() | (s >> 8));
        r.u8(s & 255);
      }
    }
  }
  return r.b;
}

struct Layout {
  const char* what;
  bool high;
  int width, height, bits, sample_format, rows_per_strip;
  bool reversed;
  std::function<std::uint32_t(int, int)> sample;
  std::function<float(std::uint32_t)> value;
  int pages = 1, photometric = 1;
};

float as_unsigned(std::uint32_t s) {
  return static_cast<float>(s);
}
template <typename Signed>
float as_signed(std::uint32_t s) {
  return static_cast<float>(static_cast<Signed>(s));
}
float as_real(std::uint32_t s) {
  return std::bit_cast<float>(s);
}

TEST(FioTiff, ReadsEveryLayoutValueForValue) {
  const auto s16 = [](int x, int y) {
    return static_cast<std::uint32_t>((x * 7919 + y * 104729) % 65536);
  };
  const auto s8 = [](int x, int y) { return static_cast<std::uint32_t>((x * 37 + y * 91) % 256); };
  const auto s12 = [](int x, int y) {
    return static_cast<std::uint32_t>((x * 1237 + y * 3119) % 4096);
  };
  const auto s32 = [](int x, int y) {
    return static_cast<std::uint32_t>(x * 2654435761u + y * 40503u);
  };
  const auto real = [](int x, int y) {
    return std::bit_cast<std::uint32_t>(x * 0.25f - y * 1.5e-3f);
  };
  const Layout layouts[] = {
      {"II 16 bits one strip", false, 7, 5, 16, 0, 0, false, s16, as_unsigned},
      {"MM 16 bits row strips", true, 7, 5, 16, 0, 1, false, s16, as_unsigned},
      {"II 16 bits strips out of order", false, 7, 5, 16, 0, 2, true, s16, as_unsigned},
      {"MM 8 bits strips of 3", true, 6, 7, 8, 1, 3, true, s8, as_unsigned},
      {"II 8 bits signed", false, 6, 4, 8, 2, 0, false, s8, as_signed<std::int8_t>},
      {"MM 16 bits signed", true, 5, 3, 16, 2, 1, false, s16, as_signed<std::int16_t>},
      {"II 12 bits, odd width", false, 5, 4, 12, 0, 0, false, s12, as_unsigned},
      {"MM 12 bits, rows per strip 3", true, 6, 4, 12, 0, 3, false, s12, as_unsigned},
      {"II 32 bits unsigned", false, 4, 3, 32, 1, 1, false, s32, as_unsigned},
      {"MM 32 bits signed", true, 4, 3, 32, 2, 2, true, s32, as_signed<std::int32_t>},
      {"MM 32 bits IEEE", true, 4, 3, 32, 3, 0, false, real, as_real},
      {"II 3 pages", false, 3, 2, 16, 0, 1, false, s16, as_unsigned, 3},
      {"MM white is zero", true, 3, 2, 8, 0, 0, false, s8, as_unsigned, 1, 0},
  };
  kovtest::TempDir dir;
  for (const Layout& l : layouts) {
    Tiff t;
    t.high = l.high;
    t.width = l.width;
    t.height = l.height;
    t.bits = l.bits;
    t.sample_format = l.sample_format;
    t.rows_per_strip = l.rows_per_strip;
    t.reversed_strips = l.reversed;
    t.pages = l.pages;
    if (l.photometric != 1) t.extra[262] = static_cast<std::uint32_t>(l.photometric);
    t.rows = pack(l.width, l.height, l.bits, l.high, l.sample);
    kovtest::write_file(dir.file("x.tif"), t.bytes());
    const fiotest::Read r = read_named(dir.file("x.tif"), "");
    ASSERT_TRUE(r.defined) << l.what << "\n" << r.console;
    ASSERT_EQ(r.width, l.width) << l.what;
    ASSERT_EQ(r.height, l.height) << l.what;
    // Row 1 is the first stored row.
    for (int y = 1; y <= l.height; ++y) {
      for (int x = 1; x <= l.width; ++x) {
        ASSERT_EQ(r.value(x, y), l.value(l.sample(x, y))) << l.what << " at " << x << "," << y;
      }
    }
    EXPECT_EQ(r.title, "x.tif");
    // Said once; white-is-zero values are input as stored.
    const std::string pages =
        "INFO: The file holds " + std::to_string(l.pages) + " images; the first is input\n";
    const std::size_t at = r.console.find(pages);
    EXPECT_EQ(at != std::string::npos && at == r.console.rfind(pages), l.pages > 1) << r.console;
    EXPECT_EQ(r.console.find("(MinIsWhite, white is zero)") != std::string::npos,
              l.photometric == 0);
  }
}

TEST(FioTiff, RefusesWhatItCannotReadNamingIt) {
  struct Case {
    const char* what;
    std::function<void(Tiff&)> change;
    const char* message;
    bool once = false;  // the message is given once
  } cases[] = {
      {"LZW", [](Tiff& t) { t.extra[259] = 5; }, "The Image has been compressed"},
      {"tiles",
       [](Tiff& t) {
         t.extra[322] = 16;
         t.extra[323] = 16;
         t.extra[324] = 8;
       },
       "stored in tiles"},
      {"RGB", [](Tiff& t) { t.extra[277] = 3; }, "number of samples per pixel (3)"},
      {"planes", [](Tiff& t) { t.extra[284] = 2; }, "planar configuration (2)"},
      {"4 bits", [](Tiff& t) { t.bits = 4; }, "Un-supported number of bits per pixel (4)"},
      {"16-bit reals", [](Tiff& t) { t.sample_format = 3; }, "sample format (3) for 16 bits"},
      {"no II or MM", [](Tiff& t) { t.mark = "XY"; }, "the first two bytes of a genuine TIFF"},
      {"BigTIFF", [](Tiff& t) { t.version = 43; }, "BigTIFF files are not read", true},
      {"strip beyond the file",
       [](Tiff& t) {
         t.extra[273] = 100000;
         t.byte_counts = false;
       },
       "Bad tiff file"},
      {"byte counts too small",
       [](Tiff& t) {
         t.rows_per_strip = 1;
         t.extra[279] = 2;
       },
       "Bad tiff file"},
  };
  kovtest::TempDir dir;
  for (const Case& c : cases) {
    Tiff t;
    t.rows = fiotest::rows16(t.width, t.height, false, [](int x, int y) { return x + y; });
    c.change(t);
    kovtest::write_file(dir.file("r.tif"), t.bytes());
    const fiotest::Read r = read_named(dir.file("r.tif"), "TIFF");
    EXPECT_FALSE(r.defined) << c.what;
    EXPECT_CONSOLE(r, c.message);
    if (c.once) {
      EXPECT_EQ(r.console.find(c.message), r.console.rfind(c.message)) << r.console;
    }
    EXPECT_CONSOLE(r, "WARNING: PROBLEM INPUTTING DATA FROM FILE:");
  }
}

TEST(FioTiff, BadByteOrderMarkIsExplainedInSixteenLines) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("p.tif"), "P5 4 3\n255\n............");
  const fiotest::Read r = read_named(dir.file("p.tif"), "");
  EXPECT_FALSE(r.defined);
  const std::string first = "WARNING: Bad TIFF file, the first two bytes of a genuine TIFF file";
  const std::string last = "         (Warning comes from FIO_TIFF_IMAGESIZE.)";
  const std::size_t a = r.console.find(first), b = r.console.find(last);
  ASSERT_NE(a, std::string::npos) << r.console;
  ASSERT_NE(b, std::string::npos);
  EXPECT_EQ(std::count(r.console.begin() + static_cast<std::ptrdiff_t>(a),
                       r.console.begin() + static_cast<std::ptrdiff_t>(b), '\n'),
            15);
  EXPECT_CONSOLE(r, "         50 35 20 34 20 33 0A 32\n");
  EXPECT_CONSOLE(r,
                 "IMAGE SIZE NOT RETURNED FROM FILE\nWARNING: Image size not returned from file");
}

TEST(FioTiff, DensitometerFilesAreSquaredAndTopFirst) {
  kovtest::TempDir dir;
  Tiff t;
  t.rows = fiotest::rows16(t.width, t.height, false, [](int x, int y) { return 100 * x + y; });
  kovtest::write_file(dir.file("scan.gel"), t.bytes());
  const fiotest::Read r = read_named(dir.file("scan.gel"), "");
  ASSERT_TRUE(r.defined) << r.console;
  for (int y = 1; y <= 3; ++y) {
    const float v = 100.0f * 2 + static_cast<float>(4 - y);  // stored row 4 - y
    EXPECT_FLOAT_EQ(r.value(2, y), v * v / 21471.0f);
  }
}

TEST(FioTiff, ReBinningSumsPixelsAndKeepsInsideTheArray) {
  kovtest::TempDir dir;
  Tiff t;
  t.width = 5;
  t.height = 5;
  t.rows_per_strip = 2;
  t.rows = fiotest::rows16(5, 5, false, [](int x, int y) { return 10 * x + y; });
  kovtest::write_file(dir.file("b.tif"), t.bytes());
  int result = 0, id = 0, status = good;
  FIO_FILEOPEN(dir.file("b.tif"), "READ", result, id, status);
  std::vector<float> store(2 * 2 + 1, -1.0f);
  bool high = true;
  int xn = 0, yn = 0;
  FIO_IN_IQRIMAGE(id, high, false, false, 1, 1, 5, 5, 2, 2, io::View2D<float>(store.data(), 2, 2),
                  xn, yn, result, status);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(high);
  EXPECT_EQ(xn, 2);  // whole bins only
  EXPECT_EQ(yn, 2);
  EXPECT_EQ(store[0], 11 + 12 + 21 + 22);
  EXPECT_EQ(store[3], 33 + 34 + 43 + 44);
  EXPECT_EQ(store[4], -1.0f);
  // A region partly outside the image, into a smaller array.
  FIO_IN_IQRIMAGE(id, high, false, false, 4, 4, 9, 9, 1, 1, io::View2D<float>(store.data(), 1, 1),
                  xn, yn, result, status);
  EXPECT_EQ(result, fio::tiff_part_of_region);
  EXPECT_EQ(xn, 1);
  EXPECT_EQ(store[0], 44);
  EXPECT_EQ(store[1], 31 + 32 + 41 + 42);  // beyond the 1 by 1 array: untouched
  FIO_IN_IQRIMAGE(id, high, false, false, 6, 1, 9, 9, 1, 1, io::View2D<float>(store.data(), 2, 2),
                  xn, yn, result, status);
  EXPECT_EQ(result, fio::tiff_none_of_region);
  FIO_FILECLOSEC(id, result);
  EXPECT_EQ(status, good);
}

// FIO_IN_IQ asked to prompt and to show the region form.
struct Asked {
  int status = good, retstat = -9, xn = 0, yn = 0;
  std::vector<float> store = std::vector<float>(16 * 16, 0.0f);
  std::vector<float> xa = std::vector<float>(16), ya = std::vector<float>(16);
  std::string name = "none", title, xl, yl, zl;
  void read() {
    FIO_IN_IQ(true, true, false, false, false, name, retstat, xn, yn, xa, ya,
              io::View2D<float>(store.data(), 16, 16), io::View2D<float>(), title, xl, yl, zl,
              status);
  }
  float at(int x, int y) const { return store[static_cast<std::size_t>((y - 1) * 16 + x - 1)]; }
};

std::string region_file(const kovtest::TempDir& dir) {
  Tiff t;
  t.width = 20;
  t.height = 8;
  t.rows = fiotest::rows16(20, 8, true, [](int x, int y) { return 100 * x + y; });
  t.high = true;
  kovtest::write_file(dir.file("g.tif"), t.bytes());
  return dir.file("g.tif");
}

TEST(FioTiff, RegionFormOnTheConsoleRefusesBadRegions) {
  kovtest::TempDir dir;
  const std::string file = region_file(dir);
  kovtest::ConsoleCapture console;
  // Name; then X-START, Y-START, X-END, Y-END, X and Y RE-BIN: an end before
  // its start, a region too wide for 16 columns, then a good one.
  kovtest::StdinPipe input(file + "\n" + "5\n1\n4\n8\n1\n1\n" + "1\n1\n20\n8\n1\n1\n" +
                           "3\n2\n6\n7\n2\n3\n");
  Asked a;
  a.read();
  EXPECT_EQ(a.status, good);
  EXPECT_EQ(a.retstat, 0) << console.text();
  EXPECT_NE(console.text().find("INPUT REGION IMPOSSIBLY DEFINED"), std::string::npos);
  EXPECT_NE(console.text().find("INPUT REGION TOO LARGE FOR ARRAYS"), std::string::npos);
  EXPECT_EQ(a.xn, 2);
  EXPECT_EQ(a.yn, 2);
  EXPECT_EQ(a.at(1, 1), 302 + 303 + 304 + 402 + 403 + 404);
  EXPECT_EQ(a.xl, "Columns");
  // The escape leaves the form: the reader is cancelled.
  kovtest::StdinPipe escape(file + "\n\\\\\n");
  Asked b;
  b.read();
  EXPECT_EQ(b.status, good);
  EXPECT_EQ(b.retstat, fio::input_cancelled);
}

TEST(FioTiff, RegionFormInTheWindow) {
  kovtest::TempDir dir;
  const std::string file = region_file(dir);
  kovtest::RecordingWindow window;
  int status = good;
  ST_DEF_SYSTEM(status);
  GS_OPEN_GRAPHICS(status);
  ASSERT_EQ(status, good);
  // X-START, Y-START, X-END and Y-END changed in the form, then O.K.
  int k = 0;
  for (const char* v : {"2", "3", "5", "4"}) {
    tooltest::entry(window, 6, k++);
    window.push_line(v);
  }
  tooltest::control(window, 6, 0);
  kovtest::StdinPipe input(file + "\n");
  Asked a;
  a.read();
  EXPECT_EQ(a.status, good);
  EXPECT_EQ(a.retstat, 0);
  EXPECT_EQ(a.xn, 4);
  EXPECT_EQ(a.yn, 2);
  EXPECT_EQ(a.at(1, 1), 203);
  EXPECT_TRUE(window.contains("LEFT-HAND PIXEL INPUT LIMIT (Range: 1 to 20)"));
  EXPECT_TRUE(window.contains("INPUT REGION AND RE-BIN FACTOR FORM"));
  EXPECT_TRUE(window.contains("INPUTTING DATA FROM FILE"));
  GS_CLOSE_GRAPHICS(status);
}

TEST(FioTiff, IntegerEntries) {
  // tag 256, type, count 1, value in the file's byte order.
  auto entry = [](bool high, int type, std::uint32_t count, std::uint32_t value) {
    Bytes e;
    e.high = high;
    e.u16(256).u16(static_cast<unsigned>(type)).u32(count);
    if (type == 3 || type == 8) {
      e.u16(value).u16(0);
    } else if (type == 1 || type == 6) {
      e.u8(value).u8(0).u8(0).u8(0);
    } else {
      e.u32(value);
    }
    return e.b;
  };
  struct Case {
    bool high;
    int type;
    std::uint32_t raw;
    std::int64_t value;
  } cases[] = {{false, 1, 200, 200},
               {true, 6, 200, -56},
               {false, 3, 65535, 65535},
               {true, 8, 65535, -1},
               {true, 4, 0xFFFFFFFFu, 4294967295LL},
               {false, 9, 0xFFFFFFFEu, -2}};
  for (const Case& c : cases) {
    int status = good;
    EXPECT_EQ(FIO_TIFF_INTENTRY(entry(c.high, c.type, 1, c.raw), c.high, status), c.value)
        << c.type;
    EXPECT_EQ(status, good);
  }
  kovtest::ConsoleCapture console;
  int status = good;
  FIO_TIFF_INTENTRY(entry(false, 3, 2, 7), false, status);
  EXPECT_EQ(status, fio::status_bad_tiff_integer);
  EXPECT_EQ(console.text(), "WARNING: TIFF Integer tag contains 2 values\n");
  status = good;
  FIO_TIFF_INTENTRY(entry(false, 5, 1, 7), false, status);  // a rational
  EXPECT_EQ(status, fio::status_bad_tiff_integer);
  // Two short values fit in the entry; the array must hold them.
  status = good;
  std::array<std::int64_t, 2> values{};
  int n = 0, result = 0;
  Bytes two;
  two.u16(273).u16(3).u32(2).u16(5).u16(6);
  FIO_TIFF_INTS(fio::input_file, 2, two.b, false, values, n, result, status);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(values[1], 6);
  FIO_TIFF_INTS(fio::input_file, 1, two.b, false, values, n, result, status);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(status, good);
}

}  // namespace

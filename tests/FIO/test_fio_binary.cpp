// The raw binary reader with its header file and its layout form, the
// camera formats written from their layouts, and the formats this version
// cannot read.
#include <array>

#include "fio_files.h"
#include "stdin_pipe.h"

namespace {

using fiotest::Bytes;
using fiotest::good;
using fiotest::read_named;

// width x height values v(x, y) of a stored type, after `skip` bytes.
std::string raw(int type, bool high, int skip, int width, int height, double (*v)(int, int)) {
  Bytes d;
  d.high = high;
  d.zeros(static_cast<std::size_t>(skip));
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) {
      const double value = v(x, y);
      const auto i = static_cast<std::int64_t>(value);
      switch (type) {
        case fio::type_real32:
          d.f32(static_cast<float>(value));
          break;
        case fio::type_real64:
          d.f64(value);
          break;
        default:
          d.n(static_cast<std::uint64_t>(i), fio::type_size(type));
      }
    }
  }
  return d.str();
}

TEST(FioBinary, HeaderFileLayoutsOfEveryType) {
  struct Case {
    int type;
    double (*v)(int, int);
  } cases[] = {
      {fio::type_int8, [](int x, int y) { return -10.0 * x + y; }},
      {fio::type_uint8, [](int x, int y) { return 40.0 * x + y; }},
      {fio::type_int16, [](int x, int y) { return -8000.0 * x + y; }},
      {fio::type_uint16, [](int x, int y) { return 16000.0 * x + y; }},
      {fio::type_int32, [](int x, int y) { return -500000.0 * x + y; }},
      {fio::type_uint32, [](int x, int y) { return 1000000000.0 * x + y; }},
      {fio::type_real32, [](int x, int y) { return 0.5 * x - 3e-3 * y; }},
      {fio::type_real64, [](int x, int y) { return 1e-30 * x + y; }},
  };
  kovtest::TempDir dir;
  for (const Case& c : cases) {
    for (bool high : {false, true}) {
      for (bool top : {false, true}) {
        kovtest::write_file(dir.file("p.bin"), raw(c.type, high, 7, 4, 3, c.v));
        kovtest::write_file(dir.file("p.bin.info"),
                            "! written by the test\nWIDTH = 4\nheight=3\nSKIP = 7\nTYPE = " +
                                fio::type_name(c.type) +
                                "\nBYTE_ORDER = " + (high ? "HIGH_BYTE_FIRST" : "LOW_BYTE_FIRST") +
                                "\nROWS = " + (top ? "TOP_FIRST" : "BOTTOM_FIRST") +
                                "\nX_PIXEL_SIZE = 6.5E-6\n");
        const fiotest::Read r = read_named(dir.file("p.bin"), "");
        const std::string what =
            fio::type_name(c.type) + (high ? " MM" : " II") + (top ? " top" : "");
        ASSERT_TRUE(r.defined) << what << r.console;
        for (int y = 1; y <= 3; ++y) {
          const int stored = top ? 4 - y : y;
          for (int x = 1; x <= 4; ++x) {
            ASSERT_EQ(r.value(x, y), static_cast<float>(c.v(x, stored))) << what;
          }
        }
      }
    }
  }
  // The header file chosen in place of the data; the overload and pixel size.
  const fiotest::Read r = read_named(dir.file("p.bin.info"), "");
  EXPECT_TRUE(r.defined);
  int status = good, retstat = 0;
  float size = 0.0f;
  IO_INQ_RKEYVALUE("X_PIXEL_SIZE", size, retstat, status);
  EXPECT_EQ(size, 6.5e-6f);
  bool sequence = false;
  std::string format;
  float overload = 0.0f;
  FIO_INQ_INPUT(sequence, format, overload, status);
  EXPECT_EQ(overload, 1.7e38f);
}

TEST(FioBinary, RefusedWithoutAUsableLayout) {
  struct Case {
    const char* info;  // nullptr: no header file
    const char* message;
  } cases[] = {
      {nullptr, "The layout of the binary file is not known"},
      {"WIDTH = 4\nHEIGHT = 3\nTYPE = UINT12\n", "needs INT8, UINT8"},
      {"WIDTH = 4\nHEIGHT = 3\nTYPE = UINT16\nGAIN = 2\n", "is not a key of the header file"},
      {"WIDTH = 4\nTYPE = UINT16\n", "lacks WIDTH, HEIGHT or TYPE"},
      {"WIDTH = 4\nHEIGHT = 0\nTYPE = UINT16\n", "needs a whole number of at least 1"},
      {"WIDTH 4\n", "is not a \"KEY = value\" line"},
      {"WIDTH = 4\nHEIGHT = 3\nTYPE = UINT32\n", "The file is too short for its layout"},
  };
  kovtest::TempDir dir;
  for (const Case& c : cases) {
    kovtest::write_file(dir.file("q.raw"), std::string(24, '\1'));
    std::remove(dir.file("q.raw.info").c_str());
    if (c.info != nullptr) kovtest::write_file(dir.file("q.raw.info"), c.info);
    const fiotest::Read r = read_named(dir.file("q.raw"), fio::format_binary);
    EXPECT_FALSE(r.defined) << c.message;
    EXPECT_CONSOLE(r, c.message);
  }
}

TEST(FioBinary, LayoutFormIsRememberedInTheDatabase) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("f.dat"), raw(fio::type_uint16, true, 2, 3, 2,
                                             [](int x, int y) { return 100.0 * x + y; }));
  auto read = [&](const std::string& answers, std::vector<float>& data, int& xn, int& yn) {
    kovtest::StdinPipe input(answers);
    kovtest::ConsoleCapture console;
    int retstat = 0, status = good;
    std::vector<float> xa(4), ya(4);
    std::string name = dir.file("f.dat"), title, xl, yl, zl;
    float px = 0, py = 0, overload = 0;
    FIO_IN_BINARY(true, false, name, retstat, xn, yn, xa, ya, io::View2D<float>(data.data(), 4, 4),
                  io::View2D<float>(), title, xl, yl, zl, px, py, overload, status);
    EXPECT_EQ(status, good);
    return retstat;
  };
  std::vector<float> data(16);
  int xn = 0, yn = 0;
  // Width, height, skip, type, high byte first, rows top first.
  EXPECT_EQ(read("3\n2\n2\n4\nyes\nno\n", data, xn, yn), 0);
  EXPECT_EQ(xn, 3);
  EXPECT_EQ(data[4 + 2], 302);  // (3, 2)
  int status = good, retstat = 0, width = 0;
  IO_INQ_IKEYVALUE("BINARY_WIDTH", width, retstat, status);
  EXPECT_EQ(width, 3);
  // The remembered answers are the defaults of the next form.
  std::fill(data.begin(), data.end(), 0.0f);
  EXPECT_EQ(read("\n\n\n\n\n\n", data, xn, yn), 0);
  EXPECT_EQ(data[4 + 2], 302);
  EXPECT_EQ(read("\\\\\n", data, xn, yn), fio::input_cancelled);
}

// What FIO_INQ_IMAGESIZE tells of a file before it is read, in the format
// of its extension: its result, the width and the height.
std::array<int, 3> told(const std::string& file) {
  std::array<int, 3> t{};
  int status = good;
  std::string name = file, format;
  fio::format_from_extension(name, format, status);
  FIO_INQ_IMAGESIZE(name, format, t[1], t[2], t[0], status);
  EXPECT_EQ(status, good);
  return t;
}

TEST(FioCameras, PrincetonAndHamamatsuFromTheirLayouts) {
  kovtest::TempDir dir;
  struct Spe {
    int code, type;
    int frames = 1;
    bool footer = false;  // version 3, the size and type in the XML footer only
  } spes[] = {{0, fio::type_real32},    {1, fio::type_int32},          {2, fio::type_int16},
              {3, fio::type_uint16},    {6, fio::type_uint8},          {8, fio::type_uint32},
              {3, fio::type_uint16, 3}, {0, fio::type_uint16, 1, true}};
  const auto v = [](int x, int y) { return 3.0 * x + 20 * y; };
  for (const Spe& s : spes) {
    Bytes h;
    h.zeros(4100);
    h.put(42, 5, 2);  // pixels per row
    h.put(108, static_cast<std::uint64_t>(s.code), 2);
    h.put(656, 4, 2);  // rows
    h.put(1446, static_cast<std::uint64_t>(s.frames), 4);
    std::string footer;
    if (s.footer) {
      h.put(42, 0, 2);
      h.put(656, 0, 2);
      h.put(1992, std::bit_cast<std::uint32_t>(3.0f), 4);
      h.put(678, 4100 + 40, 8);
      footer =
          "<SpeFormat><DataFormat><DataBlock type=\"Frame\" count=\"2\" "
          "pixelFormat=\"MonochromeUnsigned16\" size=\"40\" stride=\"40\"><DataBlock "
          "type=\"Region\" width=\"5\" height=\"4\" size=\"40\" stride=\"40\"/>";
    }
    kovtest::write_file(dir.file("c.spe"), h.str() + raw(s.type, false, 0, 5, 4, v) + footer);
    const fiotest::Read r = read_named(dir.file("c.spe"), "");
    ASSERT_TRUE(r.defined) << s.code << r.console;
    EXPECT_EQ(r.width, 5);
    EXPECT_EQ(r.height, 4);
    EXPECT_EQ(r.value(5, 4), 95.0f) << s.code;
    const int frames = s.footer ? 2 : s.frames;
    EXPECT_EQ(r.console.find("INFO: The file holds " + std::to_string(frames) +
                             " images; the first is input") != std::string::npos,
              frames > 1);
    EXPECT_EQ(told(dir.file("c.spe")), (std::array{fio::size_known, 5, 4}));
  }
  for (const auto& [kind, type] : {std::pair{2, fio::type_uint16}, {3, fio::type_uint32}}) {
    Bytes im;
    im.text("IM").u16(5).u16(3).u16(2).u16(0).u16(0).u16(kind).zeros(50).text("notes");
    kovtest::write_file(dir.file("h.img"), im.str() + raw(type, false, 0, 3, 2, v));
    const fiotest::Read r = read_named(dir.file("h.img"), "");
    ASSERT_TRUE(r.defined) << r.console;
    EXPECT_EQ(r.value(3, 2), 49.0f);
    EXPECT_EQ(told(dir.file("h.img")), (std::array{fio::size_known, 3, 2}));
  }

  // The size is told whenever the header holds one.
  struct Bad {
    const char* file;
    std::string bytes;
    const char* message;
    int width_told;  // 0: none
  } bad[] = {
      {"b.spe", std::string(4100, '\0').replace(108, 1, "\x04"),
       "PRINCETON CCD FORMAT data type (4)", 0},
      {"s.spe", std::string(300, '\0'), "too short for a PRINCETON CCD FORMAT header", 0},
      {"c.img", std::string("IM\0\0\2\0\2\0\0\0\0\0\1\0", 14) + std::string(60, '\0'),
       "Compressed HAMAMATSU PHOTONICS images", 2},
      {"n.img", std::string(80, 'x'), "does not start with \"IM\"", 0},
  };
  for (const Bad& b : bad) {
    kovtest::write_file(dir.file(b.file), b.bytes);
    const fiotest::Read br = read_named(dir.file(b.file), "");
    EXPECT_FALSE(br.defined) << b.file;
    EXPECT_CONSOLE(br, b.message);
    const std::array<int, 3> t = told(dir.file(b.file));
    EXPECT_EQ(t[0], b.width_told > 0 ? fio::size_known : fio::size_unreadable) << b.file;
    EXPECT_EQ(t[1], b.width_told) << b.file;
  }
}

// Every format name of the dispatcher reaches a reader; only the two whose
// layout is not known say that they are not available, and why.
TEST(FioCameras, OnlyFormatsWithoutAKnownLayoutSayTheyAreNotAvailable) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("any"), std::string(4096, '\0'));
  for (const std::string& format : fio::format_names()) {
    const fiotest::Read r = read_named(dir.file("any"), format);
    EXPECT_FALSE(r.defined) << format;
    const bool unknown = format == fio::format_gas2d || format == fio::format_vexal;
    EXPECT_EQ(r.console.find("format is not available") != std::string::npos, unknown) << format;
    EXPECT_EQ(r.console.find("layout of this format is not known") != std::string::npos, unknown)
        << format;
  }
}

}  // namespace

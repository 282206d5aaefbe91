// The image-plate, scattering, X/Y column and PMIS readers, from files written
// from their layouts, and the formats whose layout is not known.
#include <array>
#include <cmath>

#include "fio_files.h"

namespace {

using fiotest::Bytes;
using fiotest::read_named;

std::array<int, 3> told(const std::string& file, const char* format) {
  std::array<int, 3> t{};
  int status = fiotest::good;
  FIO_INQ_IMAGESIZE(file, format, t[1], t[2], t[0], status);
  return t;
}

TEST(FioPlates, FujiLevelsBecomeLuminescence) {
  // PSL = (Rx/100)(Ry/100)(4000/S) 10^(L (QL/G - 1/2)), worked out by hand.
  struct Case {
    const char *inf, *img;
    int bits, width;
    std::vector<unsigned> ql;
    std::vector<float> psl;  // first values; empty: refused with `message`
    const char* message;
  } cases[] = {
      {"100\n100\n8\n3\n1\n4000\n4\n", "x.img", 8, 3, {255, 51, 0}, {100.0f, 0.0630957f, 0.0f}, ""},
      {"200\r\n50\r\n16\r\n2\r\n2\r\n1000\r\n5.0\r\n",
       "x.IMG",
       16,
       2,
       {65535, 13107, 0, 1},
       {1264.911f, 0.1264911f, 0.0f},
       ""},
      {"100\n100\n8\n70\n1\n4000\n4\n",
       "x.img",
       8,
       70,
       std::vector<unsigned>(70, 255),
       {100.0f},
       ""},
      {"100\n100\n8\n3\n1\n4000\n", "x.img", 8, 3, {1, 2, 3}, {}, "header ends before its line 10"},
      {"100\n100\n32\n3\n1\n4000\n4\n", "x.img", 8, 3, {1, 2, 3}, {}, "(bits per pixel) is \"32\""},
      {"100\n100\n8\n3\n1\n4000\nfour\n", "x.img", 8, 3, {1, 2, 3}, {}, "(latitude)"},
      {"100\n100\n8\n3\n2\n4000\n4\n", "x.img", 8, 3, {1, 2, 3}, {}, "holds 3 bytes, not the 6"},
      {"100\n100\n8\n3\n1\n4000\n4\n", "x.dat", 8, 3, {1, 2, 3}, {}, "No image file"},
  };
  for (const Case& c : cases) {
    kovtest::TempDir dir;
    kovtest::write_file(dir.file("x.inf"), std::string("BAS_IMAGE_FILE\nx\n20X40\n") + c.inf);
    Bytes img;
    img.high = true;
    for (unsigned v : c.ql) img.n(v, c.bits / 8);
    kovtest::write_file(dir.file(c.img), img.str());
    const fiotest::Read r = read_named(dir.file("x.inf"), "");
    ASSERT_EQ(r.defined, !c.psl.empty()) << c.inf << r.console;
    EXPECT_CONSOLE(r, c.message);
    for (std::size_t i = 0; i < c.psl.size(); ++i) EXPECT_FLOAT_EQ(r.pixels[i], c.psl[i]) << i;
    EXPECT_EQ(r.width, r.defined ? std::min(c.width, 64) : 0);
  }
  int status = fiotest::good, found = 0;
  float size = 0.0f;
  IO_INQ_RKEYVALUE("Y_PIXEL_SIZE", size, found, status);
  EXPECT_FLOAT_EQ(size, 1e-4f);
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("n.inf"), "NOT_BAS\n");
  EXPECT_CONSOLE(read_named(dir.file("n.inf"), ""), "line 1 is not \"BAS_IMAGE_FILE\"");
}

TEST(FioPlates, ScatteringHeaderAndItsRealFrames) {
  struct Case {
    const char* numbers;  // of the first file
    bool high;
    int frames_written;
    const char* message;  // "" read
  } cases[] = {
      {"3 2 1 1 0 0 0 0 0 0", false, 1, ""},
      {"     3       2       4       0       0       0       0       0       0       1", true, 4,
       "INFO: The file holds 4 frames; frame 1 is input"},
      {"3 2 1 1 0 0 0 0 0", false, 1, "Line 3 of the BSL/OTOKO header is not ten whole numbers"},
      {"3 2 1 2 0 0 0 0 0 0", false, 1, "has a byte order of 2 (not 0 or 1)"},
      {"3 0 1 1 0 0 0 0 0 0", false, 1, "gives no frame size"},
      {"3 2 2 1 0 0 0 0 0 0", false, 1, "binary file holds 24 bytes, not the 48 of 2 frames"},
  };
  for (const Case& c : cases) {
    kovtest::TempDir dir;
    kovtest::write_file(dir.file("z98000.i1d"), std::string("run 7\n\n") + c.numbers +
                                                    "\nZ98001.I1D\n 1 1 1 1 0 0 0 0 0 0\nz98002\n");
    Bytes d;
    d.high = c.high;
    for (int i = 0; i < 6 * c.frames_written; ++i) d.f32(0.5f * i - 1.25f);
    kovtest::write_file(dir.file("Z98001.I1D"), d.str());
    const fiotest::Read r = read_named(dir.file("z98000.i1d"), fio::format_bsl);
    EXPECT_CONSOLE(r, c.message);
    ASSERT_EQ(r.defined, (*c.message == '\0' || *c.message == 'I')) << c.numbers << r.console;
    if (!r.defined) continue;
    EXPECT_EQ(r.width * 10 + r.height, 32);
    EXPECT_EQ(r.value(3, 2), 1.25f);
    EXPECT_EQ(r.title, "run 7");
    EXPECT_EQ(told(dir.file("z98000.i1d"), fio::format_bsl), (std::array{fio::size_known, 3, 2}));
  }
}

TEST(FioPlates, XYColumnsBecomeOneRowWithItsXAxis) {
  struct Case {
    const char* text;
    int points;
    const char* message;
  } cases[] = {
      {"# angle, counts\n\n0.5 10\r\n  ! dark\n1.5,\t-20.25\n3e2 1E-3\n", 3, ""},
      {"1 2\n3 4 5\n", 0, "Line 2 of the DEXORAM file is not two numbers (X and Y): \"3 4 5\""},
      {"1 two\n", 0, "Line 1 of the DEXORAM file is not two numbers"},
      {"# nothing\n", 0, "No X/Y points"},
  };
  for (const Case& c : cases) {
    kovtest::TempDir dir;
    kovtest::write_file(dir.file("g.dxm"), c.text);
    const fiotest::Read r = read_named(dir.file("g.dxm"), "");
    EXPECT_CONSOLE(r, c.message);
    ASSERT_EQ(r.width, c.points);
    if (c.points == 0) continue;
    EXPECT_EQ(r.pixels, (std::vector<float>{10.0f, -20.25f, 1e-3f}));
    EXPECT_EQ(told(dir.file("g.dxm"), fio::format_dexoram), (std::array{fio::size_known, 3, 1}));
  }
  // The X axis; the points that fit.
  kovtest::TempDir dir;
  std::string many;
  for (int i = 1; i <= 5; ++i) many += std::to_string(i * i) + " " + std::to_string(-i) + "\n";
  kovtest::write_file(dir.file("m"), many);
  std::vector<float> data(4), xa(4), ya(1);
  int retstat = 0, xn = 0, yn = 0, status = fiotest::good;
  std::string name = dir.file("m"), title, xl, yl, zl;
  kovtest::ConsoleCapture console;
  FIO_IN_DEXORAM(false, name, retstat, xn, yn, xa, ya, io::View2D<float>(data.data(), 4, 1),
                 io::View2D<float>(), title, xl, yl, zl, status);
  EXPECT_EQ(xa, (std::vector<float>{1, 4, 9, 16}));
  EXPECT_EQ(data[3], -4.0f);
  EXPECT_EQ(ya[0], 0.5f);
  EXPECT_NE(console.text().find("INFO: The file holds 5 points; the first 4 are input"),
            std::string::npos);
}

TEST(FioPlates, PmisHeaderInEitherByteOrder) {
  struct Case {
    bool high;
    int header, version, width, binning, images, data_images;
    const char* message;  // "" read
  } cases[] = {
      {false, 172, 20, 3, 1, 0, 1, ""},
      {true, 172, 20, 3, 2, 2, 2, "INFO: The file holds 2 images; the first is input"},
      {false, 200, 20, 3, 1, 1, 1, "Header size 200 (not 172)"},
      {true, 172, 21, 3, 1, 1, 1, "File version 21 (not 20)"},
      {false, 172, 20, 0, 1, 1, 1, "No image size (0 by 2)"},
      {false, 172, 20, 3, 0, 1, 1, "Binning 0 by 1"},
      {false, 172, 20, 3, 1, 2, 1, "holds 184 bytes, not the 196 of its header (2 images"},
  };
  for (const Case& c : cases) {
    Bytes f;
    f.high = c.high;
    f.text("PMIS").u16(c.header).u16(c.version).u16(0).u16(0).u16(c.width).u16(2);
    f.u16(c.binning).u16(1).text("frame one").zeros(131).u32(0).u32(0).u16(1).u16(c.images);
    for (int i = 0; i < 6 * c.data_images; ++i) f.u16(i * 13000u);
    kovtest::TempDir dir;
    kovtest::write_file(dir.file("c.pmi"), f.str());
    const fiotest::Read r = read_named(dir.file("c.pmi"), "");
    EXPECT_CONSOLE(r, c.message);
    ASSERT_EQ(r.defined, (*c.message == '\0' || *c.message == 'I')) << c.message << r.console;
    if (!r.defined) continue;
    EXPECT_EQ(r.pixels, (std::vector<float>{0, 13000, 26000, 39000, 52000, 65000}));
    EXPECT_EQ(r.title, "frame one");
    EXPECT_EQ(told(dir.file("c.pmi"), fio::format_photometrics),
              (std::array{fio::size_known, 3, 2}));
  }
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("s.pmi"), "PMIS");
  EXPECT_CONSOLE(read_named(dir.file("s.pmi"), ""), "too short for a PHOTOMETRICS CCD FORMAT");
}

TEST(FioPlates, FormatsOfUnknownLayoutSaySo) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("any"), std::string(64, '\0'));
  for (const char* format : {fio::format_gas2d, fio::format_vexal}) {
    EXPECT_CONSOLE(read_named(dir.file("any"), format),
                   "nothing has been input\n         The layout of this format is not known to "
                   "this program");
  }
}

}  // namespace

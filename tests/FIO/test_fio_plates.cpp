// The image-plate, scattering, X/Y column and PMIS readers, from files written
// from their layouts, and the formats whose layout is not known.
#include <array>
#include <cfloat>
#include <utility>

#include "fio_files.h"

namespace {

using fiotest::Bytes;
using Files = std::vector<std::pair<std::string, std::string>>;  // the first is read

// A file read (with no message or an INFO line) or refused (0 by 0, with
// the warning's text).
struct Row {
  Files files;
  int width, height;
  std::vector<float> values;  // the first pixels
  const char* message = "";
  const char* title = nullptr;
};

void check(const char* format, const Row& row) {
  kovtest::TempDir dir;
  for (const auto& [name, bytes] : row.files) kovtest::write_file(dir.file(name), bytes);
  std::string file = dir.file(row.files[0].first), chosen = format;
  const fiotest::Read r = fiotest::read_named(file, format, 64, 4);
  EXPECT_CONSOLE(r, row.message);
  ASSERT_EQ(std::pair(r.width, r.height), std::pair(row.width, row.height)) << r.console;
  for (std::size_t i = 0; i < row.values.size(); ++i) EXPECT_FLOAT_EQ(r.pixels[i], row.values[i]);
  std::array<int, 3> t{};
  int status = fiotest::good;
  if (chosen.empty()) fio::format_from_extension(file, chosen, status);
  FIO_INQ_IMAGESIZE(file, chosen, t[1], t[2], t[0], status);
  if (!r.defined) return;
  EXPECT_EQ((std::array{t[0], std::min(t[1], 64), t[2]}),
            (std::array{fio::size_known, r.width, r.height}));
  EXPECT_EQ(r.title, row.title != nullptr ? row.title : r.title);
}

// The header's lines 4 to 10 (blank-separated here) and the levels.
Files bas(std::string lines, std::vector<unsigned> levels, int bytes = 1, const char* img = "x.img",
          const char* end = "\n") {
  Bytes b;
  b.high = true;
  for (unsigned v : levels) b.n(v, bytes);
  for (std::size_t at; (at = lines.find(' ')) != std::string::npos;) lines.replace(at, 1, end);
  return {{"x.inf", "BAS_IMAGE_FILE\nx\n20X40\n" + lines + end}, {img, b.str()}};
}

TEST(FioPlates, FujiLevelsBecomeLuminescence) {
  // PSL = (Rx/100)(Ry/100)(4000/S) 10^(L (QL/G - 1/2)), worked out by hand.
  const Row rows[] = {
      {bas("100 100 8 3 1 4000 4", {255, 51, 0}), 3, 1, {100, 0.0630957f, 0}},
      {bas("200 50 16 2 1 1000 5.0", {65535, 13107}, 2, "x.IMG", "\r\n"),
       2,
       1,
       {1264.911f, 0.1264911f}},
      {bas("100 100 8 70 1 4000 4", std::vector(70u, 255u)), 64, 1, {100}},
      {bas("100 100 4 2 1 4000 10", {15, 255}),
       2,
       1,
       {1e5f, FLT_MAX},
       "Pixels above the 4-bit range: 1 ("},
      {bas("100 100 8 3 1 4000", {1, 2, 3}), 0, 0, {}, "ends before its line 10"},
      {bas("1 1 32 3 1 1 4", {1, 2, 3}), 0, 0, {}, "(bits per pixel) is \"32\""},
      {bas("1 1 8 3 1 1 four", {1, 2, 3}), 0, 0, {}, "(latitude)"},
      {bas("1 1 8 3 2 1 4", {1, 2, 3}), 0, 0, {}, "holds 3 bytes, not the 6"},
      {bas("1 1 8 3 1 1 4", {1, 2, 3}, 1, "x.dat"), 0, 0, {}, "No image file"},
      {{{"n.inf", "NOT_BAS\n"}}, 0, 0, {}, "line 1 is not \"BAS_IMAGE_FILE\""},
  };
  for (const Row& row : rows) check("", row);
  int status = fiotest::good, found = 0;
  float size = 0.0f;
  IO_INQ_RKEYVALUE("Y_PIXEL_SIZE", size, found, status);  // of the last read, 100 microns
  EXPECT_FLOAT_EQ(size, 1e-4f);
}

Files bsl(const std::string& numbers, bool high, int frames) {
  Bytes d;
  d.high = high;
  for (int i = 0; i < 6 * frames; ++i) d.f32(0.5f * i - 1.25f);
  return {{"z98000.i1d", "run 7\n\n" + numbers + "\nz98001.i1d\n 1 1 1 1 0 0 0 0 0 0\nz2\n"},
          {"Z98001.I1D", d.str()}};
}

TEST(FioPlates, ScatteringHeaderAndItsRealFrames) {
  const std::vector<float> frame{-1.25f, -0.75f, -0.25f, 0.25f, 0.75f, 1.25f};
  const Row rows[] = {
      {bsl("3 2 1 1 0 0 0 0 0 0", false, 1), 3, 2, frame, "", "run 7"},
      {bsl("  3\t2  4 0 0 0 0 0 0 1", true, 4), 3, 2, frame,
       "INFO: The file holds 4 frames; frame 1"},
      {bsl("3 2 1 1 0 0 0 0 0", false, 1), 0, 0, {}, "Line 3 of the BSL/OTOKO header is not ten"},
      {bsl("3 2 1 2 0 0 0 0 0 0", false, 1), 0, 0, {}, "has a byte order of 2 (not 0 or 1)"},
      {bsl("3 0 1 1 0 0 0 0 0 0", false, 1),
       0,
       0,
       {},
       "gives no usable frame size (pixels 3, rasters 0"},
      {bsl("3 2 2 1 0 0 0 0 0 0", false, 1), 0, 0, {}, "holds 24 bytes, not the 48 of 2 frames"},
      {{bsl("3 2 1 1 0 0 0 0 0 0", false, 1)[0]},
       0,
       0,
       {},
       "Error in opening the data file beside the header"},
  };
  for (const Row& row : rows) check(fio::format_bsl, row);
}

Files dxm(const char* text) {
  return {{"g.dxm", text}};
}

TEST(FioPlates, XYColumnsBecomeOneRowWithItsXAxis) {
  const Row rows[] = {
      {dxm("# x, y\n\n0.5 10\r\n  ! dark\n1.5,\t-20.25\n3e2 1E-3\n"), 3, 1, {10, -20.25f, 1e-3f}},
      {dxm("1 2\n3 4 5\n"), 0, 0, {}, "Line 2 of the DEXORAM file is not two numbers (X and Y)"},
      {dxm("1 two\n"), 0, 0, {}, "Line 1 of the DEXORAM file is not two numbers"},
      {dxm("# nothing\n"), 0, 0, {}, "No X/Y points"},
      {dxm("1e300 1\n"), 0, 0, {}, "holds a number beyond the range of reals"},
  };
  for (const Row& row : rows) check("", row);
  // The X axis; the points that fit.
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("m"), "1 -1\n4 -2\n9 -3\n16 -4\n25 -5\n");
  std::vector<float> data(4), xa(4), ya(1);
  int retstat = 0, xn = 0, yn = 0, status = fiotest::good;
  std::string name = dir.file("m"), title, xl, yl, zl;
  kovtest::ConsoleCapture console;
  FIO_IN_DEXORAM(false, name, retstat, xn, yn, xa, ya, io::View2D<float>(data.data(), 4, 1),
                 io::View2D<float>(), title, xl, yl, zl, status);
  EXPECT_EQ(xa, (std::vector<float>{1, 4, 9, 16}));
  EXPECT_EQ((std::array{data[3], ya[0]}), (std::array{-4.0f, 0.5f}));
  EXPECT_NE(console.text().find("holds 5 points; the first 4 are input"), std::string::npos);
}

Files pmis(bool high, int header, int version, int width, int binning, int images, int stored) {
  Bytes f;
  f.high = high;
  f.text("PMIS").u16(header).u16(version).u16(0).u16(0).u16(width).u16(2);
  f.u16(binning).u16(1).text("frame one").zeros(131).u32(0).u32(0).u16(1).u16(images);
  for (int i = 0; i < 6 * stored; ++i) f.u16(i * 13000u);
  return {{"c.pmi", f.str()}};
}

TEST(FioPlates, PmisHeaderInEitherByteOrder) {
  const std::vector<float> image{0, 13000, 26000, 39000, 52000, 65000};
  const Row rows[] = {
      {pmis(false, 172, 20, 3, 1, 0, 1), 3, 2, image, "", "frame one"},
      {pmis(true, 172, 20, 3, 2, 2, 2), 3, 2, image, "INFO: The file holds 2 images; the first"},
      {pmis(false, 200, 20, 3, 1, 1, 1), 0, 0, {}, "Header size 200 (not 172)"},
      {pmis(true, 172, 21, 3, 1, 1, 1), 0, 0, {}, "File version 21 (not 20)"},
      {pmis(false, 172, 20, 0, 1, 1, 1), 0, 0, {}, "No image size (0 by 2)"},
      {pmis(false, 172, 20, 3, 0, 1, 1), 0, 0, {}, "Binning 0 by 1"},
      {pmis(false, 172, 20, 3, 1, 2, 1), 0, 0, {}, "holds 184 bytes, not the 196 of its header"},
      {{{"s.pmi", "PMIS"}}, 0, 0, {}, "too short for a PHOTOMETRICS CCD FORMAT header"},
  };
  for (const Row& row : rows) check("", row);
}

TEST(FioPlates, FormatsOfUnknownLayoutSaySo) {
  for (const char* format : {fio::format_gas2d, fio::format_vexal})
    check(format,
          {{{"any", "?"}}, 0, 0, {}, "input\n         The layout of this format is not known"});
}

}  // namespace

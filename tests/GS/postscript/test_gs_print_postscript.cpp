// Grey and colour PostScript files of the same screen, rendered with
// Ghostscript: on the landscape page both show all of it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "console_capture.h"
#include "gs.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

// A grey picture read from a binary PGM file.
struct Grey {
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;
  // Dark pixels and their bounding box.
  int dark(int& x0, int& y0, int& x1, int& y1) const {
    int n = 0;
    x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (pixels[static_cast<std::size_t>(y * width + x)] >= 128) continue;
        ++n;
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
    }
    return n;
  }
};

bool read_pgm(const std::string& path, Grey& g) {
  std::ifstream in(path, std::ios::binary);
  // The header's fields, past the comment lines Ghostscript writes.
  const auto field = [&in] {
    std::string word;
    while (in >> word && word[0] == '#') std::getline(in, word);
    return word;
  };
  const std::string magic = field();
  g.width = std::atoi(field().c_str());
  g.height = std::atoi(field().c_str());
  const int maximum = std::atoi(field().c_str());
  in.get();
  if (!in || magic != "P5" || maximum != 255) return false;
  g.pixels.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
  in.read(reinterpret_cast<char*>(g.pixels.data()), static_cast<std::streamsize>(g.pixels.size()));
  return static_cast<bool>(in);
}

// The landscape screen written to a PostScript file, colour or grey: a black
// bar along the right edge of the page and one along the left.
std::string write_screen(const kovtest::TempDir& dir, bool colour) {
  const std::string file = dir.file(colour ? "colour.ps" : "grey.ps");
  kovtest::Graphics g({"+LAND"});
  int status = g.status;
  GS_SET_POSTSCRIPT(colour, status);
  GS_OPEN_PS(file, status);
  GS_ON_PRINT(false, status);
  VG_DATAWINDOW(0.0f, 0.0f, 1.0f, 1.0f, status);
  VG_VIEWPORT(0.0f, 0.0f, 1.0f, 1.0f, status);
  GS_FILLSTYLE(1, gs::black, status);
  GS_RECTANGLE(0.9f, 0.1f, 0.98f, 0.6f, false, true, status);
  GS_RECTANGLE(0.02f, 0.1f, 0.1f, 0.6f, false, true, status);
  GS_OFF_PRINT(status);
  GS_CLOSE_PS(status);
  EXPECT_EQ(status, good);
  return file;
}

TEST(GsPrintPostScript, GreyLandscapeFileShowsTheWholePage) {
  if (std::system("gs --version > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "Ghostscript (gs) is not installed";
  }
  kovtest::TempDir dir;
  Grey pictures[2];
  int dark[2] = {};
  for (int k = 0; k < 2; ++k) {
    const bool colour = k == 0;
    const std::string ps = write_screen(dir, colour);
    const std::string pgm = dir.file(colour ? "colour.pgm" : "grey.pgm");
    const std::string log = dir.file("gs.log");
    const std::string command = "gs -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=a4 -sDEVICE=pgmraw -r30 "
                                "-sOutputFile=" + pgm + " " + ps + " > " + log + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << kovtest::read_file(log);
    ASSERT_TRUE(read_pgm(pgm, pictures[k]));
    int x0, y0, x1, y1;
    dark[k] = pictures[k].dark(x0, y0, x1, y1);
    EXPECT_GT(dark[k], 0) << ps;
  }
  // The grey file shows what the colour one shows, the bar at the right
  // edge included.
  EXPECT_EQ(pictures[1].width, pictures[0].width);
  EXPECT_EQ(pictures[1].height, pictures[0].height);
  EXPECT_NEAR(dark[1], dark[0], dark[0] / 50 + 2);
  int a[4], b[4];
  pictures[0].dark(a[0], a[1], a[2], a[3]);
  pictures[1].dark(b[0], b[1], b[2], b[3]);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(b[i], a[i], 1) << i;
}

}  // namespace

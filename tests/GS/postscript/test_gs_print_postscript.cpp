// Grey and colour PostScript files of the same screen, rendered with
// Ghostscript: on the landscape page both show all of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console_capture.h"
#include "gs.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

// The bounding box of everything a PostScript file marks on its sheet, in
// points, as Ghostscript's bbox device finds it; empty when it fails.
std::vector<double> marked_box(const std::string& ps, const std::string& log) {
  const std::string command =
      "gs -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=a4 -sDEVICE=bbox " + ps + " > " + log + " 2>&1";
  if (std::system(command.c_str()) != 0) return {};
  const std::string text = kovtest::read_file(log);
  const std::size_t at = text.find("%%HiResBoundingBox:");
  if (at == std::string::npos) return {};
  std::vector<double> box(4);
  if (std::sscanf(text.c_str() + at, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &box[0], &box[1],
                  &box[2], &box[3]) != 4) {
    return {};
  }
  return box;
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
  const std::vector<double> colour = marked_box(write_screen(dir, true), dir.file("colour.log"));
  const std::vector<double> grey = marked_box(write_screen(dir, false), dir.file("grey.log"));
  ASSERT_EQ(colour.size(), 4u) << kovtest::read_file(dir.file("colour.log"));
  ASSERT_EQ(grey.size(), 4u) << kovtest::read_file(dir.file("grey.log"));
  // The two bars lie 0.8 page widths apart: most of the sheet's long side.
  EXPECT_GT(colour[3] - colour[1], 0.7 * 842.0);
  // The grey file shows what the colour one shows, the bar at the right
  // edge of the page included.
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(grey[i], colour[i], 1.0) << i;
}

}  // namespace

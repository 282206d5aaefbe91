// Colour table, best colour, raster mode, and a PostScript workstation
// under the core (input refused, output dispatched by state).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "recording_device.h"
#include "vg.h"
#include "vg_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class VgColours : public kovtest::VgOpenTest {
 protected:
  kovtest::RecordingWindow window;
  kovtest::ConsoleCapture console;
};

TEST_F(VgColours, BestColourFindsTheNamedColoursExactly) {
  struct Named {
    float r, g, b;
  };
  const Named named[] = {{0, 0, 0},          {1, 1, 1},           {1, 0, 0},
                         {0, 1, 0},          {0, 0, 1},           {1, 1, 0},
                         {0, 1, 1},          {1, 0, 1},           {1, 0.749f, 0},
                         {0.5f, 0.5f, 0.5f}, {0.639f, 0.349f, 0}, {0.8666f, 0.235f, 1}};
  std::vector<vg::Rgb> table(vg::table_size);
  VG_INQ_COLOURS(0, 255, table, status);
  std::vector<int> found;
  for (const auto& c : named) {
    int index = -2;
    VG_BESTCOLOUR(c.r, c.g, c.b, index, status);
    ASSERT_GE(index, 0);
    EXPECT_LT(index, 41);
    EXPECT_EQ(table[index].r, c.r);
    EXPECT_EQ(table[index].g, c.g);
    EXPECT_EQ(table[index].b, c.b);
    found.push_back(index);
  }
  std::sort(found.begin(), found.end());
  EXPECT_EQ(std::unique(found.begin(), found.end()), found.end());

  // The image range holds a grey ramp from black to white.
  EXPECT_EQ(table[41].r, 0.0f);
  EXPECT_EQ(table[250].g, 1.0f);
  EXPECT_NEAR(table[145].b, 0.5f, 0.01f);
  EXPECT_LT(table[100].r, table[101].r);

  // A new image table does not move the drawing colours.
  std::vector<vg::Rgb> red(vg::table_size, vg::Rgb{1, 0, 0});
  VG_COLOURS(41, 250, red, status);
  int index = -2;
  VG_BESTCOLOUR(1, 0, 0, index, status);
  EXPECT_LT(index, 41);
  VG_BESTCOLOUR(0.1f, 0.1f, 0.1f, index, status);
  EXPECT_LT(index, 41);  // the nearest drawing colour is black
  EXPECT_EQ(table[index].r + table[index].g + table[index].b, 0.0f);
  VG_DEF_COLOURS(status);
  VG_INQ_COLOURS(41, 41, table, status);
  EXPECT_EQ(table[41].r, 0.0f);
  EXPECT_EQ(status, io::status_good);
}

TEST_F(VgColours, ColourTableReachesTheWindow) {
  VG_OPEN_WK(1, 0, 11, status);
  VG_ACTIVATE_WK(1, status);
  window.clear();
  std::vector<vg::Rgb> table(vg::table_size, vg::Rgb{0.25f, 0.5f, 0.75f});
  VG_COLOURS(60, 70, table, status);
  EXPECT_EQ(window.lines(), (Lines{"colour_map 60..70"}));
  EXPECT_EQ(window.colours()[65].g, 0.5f);
  EXPECT_EQ(window.colours()[71].g, window.colours()[71].r);  // still grey

  VG_COLOURS(60, 256, table, status);
  EXPECT_EQ(status, 130017);
  ST_DEF_SYSTEM(status);
  VG_COLOURS(60, 70, std::span<const vg::Rgb>(table).first(70), status);
  EXPECT_EQ(status, 130017);
  ST_DEF_SYSTEM(status);
  VG_SET_COLOURINDICES(200, 100, status);
  EXPECT_EQ(status, 130017);
}

TEST_F(VgColours, RasterModeDrawsIntoTheArray) {
  // An 10 by 5 raster over the data window 0..10 by 0..5: pixel (i, j)
  // covers [i-1, i) x [j-1, j).
  std::vector<int> raster(50, 0);
  VG_OPEN_WK(1, 0, 11, status);
  VG_ACTIVATE_WK(1, status);
  VG_DATAWINDOW(0.0f, 0.0f, 10.0f, 5.0f, status);
  VG_RASTERMODE(true, io::View2D<int>(raster.data(), 10, 5), status);
  window.clear();
  VG_LINECOLOUR(7, status);
  VG_FILLCOLOUR(3, status);
  const float lx[] = {0.5f, 9.5f}, ly[] = {0.5f, 0.5f};
  VG_POLYLINE(2, lx, ly, status);
  // A triangle, and a square partly off the raster.
  const float tx[] = {1.0f, 5.0f, 1.0f}, ty[] = {1.0f, 1.0f, 5.0f};
  VG_FILLAREA(3, tx, ty, status);
  const float sx[] = {8.0f, 12.0f, 12.0f, 8.0f}, sy[] = {3.0f, 3.0f, 7.0f, 7.0f};
  VG_RAS_FA(4, sx, sy, status);
  ASSERT_EQ(status, io::status_good);
  // Nothing reached the workstation but the attributes.
  EXPECT_EQ(window.lines(), (Lines{"line_colour 7", "fill_colour 3"}));

  std::string picture;
  for (int j = 5; j >= 1; --j) {
    for (int i = 1; i <= 10; ++i)
      picture += static_cast<char>('0' + raster[(i - 1) + (j - 1) * 10]);
    picture += '\n';
  }
  EXPECT_EQ(picture,
            "0000000033\n"
            "0300000033\n"
            "0330000000\n"
            "0333000000\n"
            "7777777777\n");

  // Off again: primitives go to the window.
  VG_RASTERMODE(false, io::View2D<int>(), status);
  VG_POLYLINE(2, lx, ly, status);
  EXPECT_EQ(window.count("polyline"), 1);
  VG_RAS_PL(2, lx, ly, status);
  EXPECT_EQ(status, 130017);
}

TEST_F(VgColours, PostScriptWorkstationRefusesInput) {
  kovtest::TempDir dir;
  std::string name = dir.file("refuse.ps");
  int retstat = 0;
  IO_OPEN_ASCIIFILE(false, "WRITE", 17, name, retstat, status);
  ASSERT_EQ(retstat, 0);
  VG_OPEN_WK(2, 17, 23, status);
  VG_ACTIVATE_WK(2, status);
  ASSERT_EQ(status, io::status_good);
  console.clear();

  int type = 5, ws = 0;
  float x = 0, y = 0;
  std::string text;
  VG_INP_EVENT(2, 0, false, "", false, "", 0, 0, 1, 1, type, ws, x, y, text, status);
  EXPECT_EQ(type, vg::event_none);
  VG_INP_COORDINATE(2, 0, type, x, y, status);
  VG_SET_RUBBERBAND(2, 1, 0.0f, 0.0f, status);
  VG_SET_UPDATE(2, status);
  VG_SPYGLASS(2, true, vg::Spyglass{}, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_EQ(console.lines(),
            (Lines{"WARNING: String input is not possible from a Postscript device",
                   "WARNING: Coordinate input is not possible from a Postscript device",
                   "WARNING: Rubber-banding is not possible from a Postscript device",
                   "WARNING: SET UPDATE is not possible on a Postscript device"}));

  // A second PostScript workstation is refused.
  VG_OPEN_WK(3, 18, 21, status);
  EXPECT_EQ(console.lines().back(),
            "WARNING: Maximum number of PostScript workstations are already open (VG_OPEN_WK)");
  float xmax = 0, ymax = 0;
  VG_INQ_MAXPC(xmax, ymax, status);
  EXPECT_FLOAT_EQ(xmax, 0.7071f);

  VG_CLOSE_WK(2, status);
  IO_CLOSE_ASCIIFILE(17, status);
  const std::string file = kovtest::read_file(name);
  EXPECT_EQ(file.substr(file.size() - 6), "%%EOF\n");
  EXPECT_EQ(status, io::status_good);
}

TEST_F(VgColours, PrintingSwitchesOutputBetweenWorkstations) {
  kovtest::TempDir dir;
  std::string name = dir.file("print.ps");
  int retstat = 0;
  IO_OPEN_ASCIIFILE(false, "WRITE", 17, name, retstat, status);
  VG_OPEN_WK(1, 0, 11, status);
  VG_ACTIVATE_WK(1, status);
  VG_OPEN_WK(2, 17, 21, status);
  window.clear();

  // Drawn in the window only; the colour change reaches the file when it is
  // activated.
  const float x[] = {0.1f, 0.2f, 0.3f}, y[] = {0.3f, 0.2f, 0.1f};
  VG_LINECOLOUR(2, status);
  VG_POLYLINE(3, x, y, status);
  VG_DEACTIVATE_WK(1, status);
  VG_ACTIVATE_WK(2, status);
  VG_POLYMARKER(3, x, y, status);
  VG_UPDATE(2, 0, status);
  VG_DEACTIVATE_WK(2, status);
  VG_ACTIVATE_WK(1, status);
  VG_CLOSE_WK(2, status);
  IO_CLOSE_ASCIIFILE(17, status);
  ASSERT_EQ(status, io::status_good);

  EXPECT_EQ(window.count("polyline"), 1);
  EXPECT_EQ(window.count("polymarker"), 0);
  const std::string file = kovtest::read_file(name);
  EXPECT_EQ(file.find(" pl\n"), std::string::npos);
  EXPECT_NE(file.find("\n1 0 0 pc\n"), std::string::npos);
  EXPECT_NE(file.find(" 3 pm\nshowpage\n"), std::string::npos);
}

}  // namespace

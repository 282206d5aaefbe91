// The same scene drawn in the window and into a PostScript file at once
// (two active workstations); Ghostscript renders the file, and its picture
// must match the window's after both are brought to the same size.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../x11/postscript_compare.h"
#include "../x11/x11_scene.h"

using namespace x11test;

namespace {

TEST(X11PostScriptCompare, SceneMatchesGhostscriptRendering) {
  KOV_NEED_DISPLAY();
  if (std::system("gs --version >/dev/null 2>&1") != 0) {
    if (std::getenv("KOV_REQUIRE_X11") != nullptr) FAIL() << "Ghostscript (gs) is not installed";
    GTEST_SKIP() << "Ghostscript (gs) is not installed";
  }
  const std::string dir = kovtest::output_dir();
  std::string ps_file = dir + "/compare_scene.ps";
  std::filesystem::remove(ps_file);
  SceneData data;
  int status = io::status_good;
  VG_OPEN(0, status);
  VG_OPEN_WK(1, 0, vg::type_window_portrait, status);
  VG_ACTIVATE_WK(1, status);
  int retstat = 0;
  IO_OPEN_ASCIIFILE(false, "WRITE", 17, ps_file, retstat, status);
  ASSERT_EQ(retstat, 0);
  VG_OPEN_WK(2, 17, vg::type_colour_portrait, status);
  VG_ACTIVATE_WK(2, status);
  ASSERT_EQ(status, io::status_good);
  draw_scene(data, false, status);
  VG_UPDATE(1, 0, status);
  VG_UPDATE(2, 0, status);
  ASSERT_EQ(status, io::status_good);
  Connection connection;
  const Picture window = connection.grab(vg::x11::window_id());
  screenshot(vg::x11::window_id(), "compare_window");
  VG_CLOSE_WK(2, status);
  IO_CLOSE_ASCIIFILE(17, status);
  VG_CLOSE_WK(1, status);
  VG_CLOSE(status);
  ASSERT_EQ(status, io::status_good);
  ASSERT_EQ(window.width, 500);

  std::string gs_output;
  const Picture page = postscript_page(ps_file, dir + "/compare_scene", gs_output);
  ASSERT_EQ(page.width, 500) << gs_output;

  // Blocks of 20 by 20 pixels (25 by 35 of them). A block differs when its
  // mean colour differs by more than 16 in a component: a one-pixel line
  // across a block, or one marker, moves its mean by about that much, so a
  // missing or misplaced line group, marker row, fill, text line or cell
  // array shows. Text is set in different faces (the metric-compatible
  // Liberation faces in the window, the printer's Times and Courier in
  // PostScript) with different antialiasing, and dashes start at different
  // places: 3 % of differing blocks (26) allows for those. (On the
  // development machine 2 blocks differed, both in the dashed lines.)
  int total = 0;
  std::string report;
  const int differing = differing_blocks(window, page, total, report);
  RecordProperty("differing_blocks", differing);
  std::printf("%d of %d blocks differ:%s\n", differing, total, report.c_str());
  EXPECT_LE(differing, total * 3 / 100)
      << differing << " of " << total << " blocks differ:" << report;
  // Large areas must agree closely: the red triangle, the blue shape, the
  // grey panel and the masked corner of the cell array.
  const auto same = [&](double fx, double fy) {
    const Rgb8 a = block_mean(window, fx - 0.01, fy - 0.01, fx + 0.01, fy + 0.01);
    const Rgb8 b = block_mean(page, fx - 0.01, fy - 0.01, fx + 0.01, fy + 0.01);
    return std::abs(a.r - b.r) <= 10 && std::abs(a.g - b.g) <= 10 && std::abs(a.b - b.b) <= 10;
  };
  EXPECT_TRUE(same(0.19, 1.0 - 0.13));
  EXPECT_TRUE(same(0.43, 1.0 - 0.15));
  EXPECT_TRUE(same(0.58, 1.0 - 0.90));
  EXPECT_TRUE(same(0.92, 1.0 - 0.64));
  EXPECT_TRUE(same(0.70, 1.0 - 0.45));
}

}  // namespace

// Image display and coordinate input in a real window, portrait and
// landscape: screenshots of a projection with its axes and colour bar, of a
// profile graph, of the rubber band and of the spyglass; real clicks (XTest)
// whose coordinates must be the centres of the window pixels clicked and
// fall on the image pixel drawn there; and the same image written to
// PostScript, rendered by Ghostscript and compared with the window.
#include <filesystem>
#include <set>
#include <thread>

#include "../../VG/x11/postscript_compare.h"
#include "gs.h"
#include "gs_plot_layout.h"
#include "gs_widgets.h"
#include "gs_window_fixture.h"
#include "projection_image.h"
#include "vg_fixture.h"
#include "wait.h"

using namespace x11test;

namespace {

constexpr int good = io::status_good;
constexpr int n = 2048;

class PlotWindow : public ToolkitWindow {
 protected:
  void SetUp() override {
    ToolkitWindow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    GS_COLOURS(status);
    for (int i = 1; i <= n; ++i) axis.push_back(static_cast<float>(i) - 0.5f);
  }
  float scale() const { return static_cast<float>(std::max(width, height)); }
  // The controls of coordinate input are up: their yellow buttons show.
  Picture controls_shown() {
    return settled([](const Picture& p) {
      return p.count([](const Rgb8& c) { return near(c, 255, 255, 0, 40); }) > 500;
    });
  }
  gs::Box box(void (*inquiry)(gs::Box&, int&)) const {
    gs::Box b;
    int s = good;
    inquiry(b, s);
    return b;
  }
  // The button `k` (from 0) of the coordinate-input menu of one title line.
  gs::Box button(int k) const {
    gs::Box gui;
    int s = good;
    GS_INQ_GUIREGION(gui, s);
    return gs::menu_layout(1, 4, gui, 0, 4, 40, 20, gs::sample_width())
        .buttons[static_cast<std::size_t>(k)];
  }
  // World coordinates of the centre of window pixel (column, row) on the
  // image shown last.
  void world_of(int column, int row, double& x, double& y) const {
    const gs::Box page = box(GS_INQ_DGPP), world = box(GS_INQ_IDR);
    const double pxc = (column + 0.5) / scale(), pyc = (height - row - 0.5) / scale();
    x = world.xmin + (pxc - page.xmin) * (world.xmax - world.xmin) / (page.xmax - page.xmin);
    y = world.ymin + (pyc - page.ymin) * (world.ymax - world.ymin) / (page.ymax - page.ymin);
  }
  void plot_projection(int& s) {
    GS_SET_IASPECT(true, s);
    GS_SET_IMAGESCALE(gs::scale_distribution, 0.0f, 1.0f, s);
    GS_PLOT(io::View2D<const float>(image.data(), n, n), axis, axis, 1, 1, n, n, "FIRST PROJECTION",
            "X (pixels)", "Y (pixels)", "Intensity", s);
  }

  std::vector<float> image = kovtest::projection_image(n, n);
  std::vector<float> axis;
};

TEST_P(PlotWindow, ProjectionWithAxesAndColourBar) {
  plot_projection(status);
  ASSERT_EQ(status, good);
  const Picture p = shot("image");
  // The hot pixels do not decide the range.
  int mode = 0;
  float lo = 0, hi = 0;
  GS_INQ_IMAGESCALE(mode, lo, hi, status);
  EXPECT_LT(hi, 5000.0f);
  EXPECT_GT(lo, 200.0f);
  // Square pixels: the image is as wide as high on the window.
  const gs::Box page = box(GS_INQ_DGPP);
  EXPECT_NEAR(page.xmax - page.xmin, page.ymax - page.ymin, 1e-5f);
  // The frame is black along the image's edge; the colour bar beside it
  // runs through the colour table from bottom to top.
  EXPECT_TRUE(dark(p.at(px(page.xmin) - 1, py(0.5f * (page.ymin + page.ymax)))) ||
              dark(p.at(px(page.xmin), py(0.5f * (page.ymin + page.ymax)))));
  const gs::FrameLayout f = gs::frame_layout(page);
  std::set<int> colours;
  const int bar_x = px(0.5f * (f.bar.xmin + f.bar.xmax));
  for (int row = py(f.bar.ymax) + 2; row < py(f.bar.ymin) - 2; ++row) {
    const Rgb8 c = p.at(bar_x, row);
    colours.insert(c.r * 65536 + c.g * 256 + c.b);
  }
  EXPECT_GT(colours.size(), 100u);
  // The lowest colour of the bar is the colour of the darkest image part.
  const Rgb8 bottom = p.at(bar_x, py(f.bar.ymin) - 2);
  const Rgb8 top = p.at(bar_x, py(f.bar.ymax) + 2);
  EXPECT_FALSE(bottom == top);
}

TEST_P(PlotWindow, ProfileGraphOfOneRow) {
  GS_PLOT(io::View2D<const float>(image.data(), n, n), axis, axis, 1, 1024, n, 1024,
          "PROFILE OF ROW 1024", "X (pixels)", "Y (pixels)", "Intensity", status);
  ASSERT_EQ(status, good);
  const Picture p = shot("profile");
  const gs::Box page = box(GS_INQ_DGPP);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  const int curve =
      p.count([](const Rgb8& c) { return near(c, 0, 0, 255, 60); }, &x0, &y0, &x1, &y1);
  EXPECT_GT(curve, 400);
  // The curve spans the graph from edge to edge.
  EXPECT_LE(x0, px(page.xmin) + 2);
  EXPECT_GE(x1, px(page.xmax) - 2);
}

TEST_P(PlotWindow, EveryClickLandsOnThePixelDrawnUnderIt) {
  // A 40 by 30 checkerboard in black and white.
  constexpr int nx = 40, ny = 30;
  std::vector<float> board(nx * ny);
  for (int j = 1; j <= ny; ++j) {
    for (int i = 1; i <= nx; ++i)
      board[static_cast<std::size_t>((j - 1) * nx + i - 1)] = (i + j) % 2;
  }
  GS_SET_LUTCHOICE(3, 2, status);
  GS_COLOURS(status);
  GS_SET_IASPECT(true, status);
  GS_PLOT(io::View2D<const float>(board.data(), nx, ny), axis, axis, 1, 1, nx, ny, "BOARD", "X",
          "Y", "Z", status);
  ASSERT_EQ(status, good);
  constexpr int clicks = 100;
  std::array<float, clicks> xs{}, ys{};
  int num = 0, s = good;
  const std::array<std::string, 1> title{"CLICK ON THE BOARD"};
  const std::array<std::string, 1> info{"Click anywhere on the board"};
  // Where the board lies, read before the input runs on a thread of its own:
  // the toolkit's state is the input's while it runs.
  const gs::Box page = box(GS_INQ_DGPP);
  std::thread input([&] {
    GS_INPS_FCOORDINATES(true, io::View2D<const float>(board.data(), nx, ny), 1, 1, nx, ny, 1, 1,
                         title, 1, 1, info, clicks, num, xs, ys, s);
  });
  const Picture p = controls_shown();
  screenshot(window, name("coordinates"));
  // Pseudo-random pixels inside the image, many on the edges of its pixels.
  const int c0 = px(page.xmin) + 1, c1 = px(page.xmax) - 2;
  const int r0 = py(page.ymax) + 1, r1 = py(page.ymin) - 2;
  std::vector<std::pair<int, int>> pixels;
  unsigned seed = 12345;
  for (int k = 0; k < clicks; ++k) {
    seed = seed * 1103515245u + 12345u;
    const int column = c0 + static_cast<int>((seed >> 8) % static_cast<unsigned>(c1 - c0 + 1));
    seed = seed * 1103515245u + 12345u;
    const int row = r0 + static_cast<int>((seed >> 8) % static_cast<unsigned>(r1 - r0 + 1));
    pixels.emplace_back(column, row);
    connection.click(window, column, row);
  }
  input.join();
  ASSERT_EQ(s, good);
  ASSERT_EQ(num, clicks);
  int wrong = 0;
  for (int k = 0; k < clicks; ++k) {
    const auto [column, row] = pixels[static_cast<std::size_t>(k)];
    double x = 0, y = 0;
    world_of(column, row, x, y);
    EXPECT_NEAR(xs[static_cast<std::size_t>(k)], x, 1e-4) << column << "," << row;
    EXPECT_NEAR(ys[static_cast<std::size_t>(k)], y, 1e-4) << column << "," << row;
    // Pixel i covers i - 1 .. i: the colour drawn is that pixel's.
    const int i = static_cast<int>(std::floor(xs[static_cast<std::size_t>(k)])) + 1;
    const int j = static_cast<int>(std::floor(ys[static_cast<std::size_t>(k)])) + 1;
    const bool white = (i + j) % 2 == 1;
    if (is_white(p.at(column, row)) != white) {
      ++wrong;
      ADD_FAILURE() << "pixel " << column << "," << row << " -> " << xs[static_cast<std::size_t>(k)]
                    << "," << ys[static_cast<std::size_t>(k)];
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_P(PlotWindow, RubberBandThenSpyglass) {
  plot_projection(status);
  ASSERT_EQ(status, good);
  std::array<float, 2> xs{}, ys{};
  int num = 0, s = good;
  const std::array<std::string, 1> title{"SELECT RECTANGLE FROM PROJECTION TO RECONSTRUCT"};
  const std::array<std::string, 1> info{"Click two corners"};
  // Where the image and the mode button lie, read before the input runs on a
  // thread of its own: the toolkit's state is the input's while it runs.
  const gs::Box page = box(GS_INQ_DGPP), mode = button(3);
  std::thread input([&] {
    GS_INPS_FCOORDINATES(true, io::View2D<const float>(image.data(), n, n), 1, 1, n, n, 1, 1, title,
                         1, 1, info, 2, num, xs, ys, s);
  });
  const auto at = [&](float fx, float fy, int& column, int& row) {
    column = px(page.xmin + fx * (page.xmax - page.xmin));
    row = py(page.ymin + fy * (page.ymax - page.ymin));
  };
  int ax = 0, ay = 0, bx = 0, by = 0, cx = 0, cy = 0, dx = 0, dy = 0;
  at(0.25f, 0.2f, ax, ay);
  at(0.7f, 0.75f, bx, by);
  at(0.19f, 0.7f, cx, cy);  // near the edge of the sample
  at(0.2f, 0.72f, dx, dy);
  const Picture before = controls_shown();
  connection.click(window, ax, ay);    // the first corner
  connection.move_to(window, bx, by);  // the band follows
  const Picture band = settled([&](const Picture& q) {
    // The band's upper edge crosses the image between the corners.
    return !(q.at((ax + bx) / 2, by) == before.at((ax + bx) / 2, by));
  });
  shot("rubberband");
  EXPECT_FALSE(band.at((ax + bx) / 2, by) == before.at((ax + bx) / 2, by));
  EXPECT_FALSE(band.at(bx, (ay + by) / 2) == before.at(bx, (ay + by) / 2));
  // TWO CLICK: the first click opens the spyglass, its read-out at the top
  // left in a white box.
  connection.click(window, px(0.5f * (mode.xmin + mode.xmax)), py(0.5f * (mode.ymin + mode.ymax)));
  connection.click(window, cx, cy);
  connection.move_to(window, dx + 1, dy + 1);
  connection.move_to(window, dx, dy);
  settled([&](const Picture& q) { return is_white(q.at(3, 3)) && !is_white(before.at(3, 3)); });
  const Picture glass = shot("spyglass");
  EXPECT_TRUE(is_white(glass.at(3, 3)));
  connection.click(window, dx, dy);  // the precise second click
  input.join();
  ASSERT_EQ(s, good);
  ASSERT_EQ(num, 2);
  double x = 0, y = 0;
  world_of(ax, ay, x, y);
  EXPECT_NEAR(xs[0], x, 1e-3);
  EXPECT_NEAR(ys[0], y, 1e-3);
  world_of(dx, dy, x, y);
  EXPECT_NEAR(xs[1], x, 1e-3);
  EXPECT_NEAR(ys[1], y, 1e-3);
  // Marks and band are gone: the image is as it was.
  const Picture after = connection.grab(window);
  EXPECT_TRUE(after.at(ax, ay) == before.at(ax, ay));
}

INSTANTIATE_TEST_SUITE_P(Pages, PlotWindow, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Landscape" : "Portrait"; });

TEST(PlotPostScript, ProjectionMatchesGhostscriptRendering) {
  KOV_NEED_DISPLAY();
  if (std::system("gs --version >/dev/null 2>&1") != 0) {
    if (std::getenv("KOV_REQUIRE_X11") != nullptr) FAIL() << "Ghostscript (gs) is not installed";
    GTEST_SKIP() << "Ghostscript (gs) is not installed";
  }
  int status = good;
  kovtest::open_graphics({}, status);
  GS_COLOURS(status);
  const std::string base = kovtest::output_dir() + "/gs_image_compare";
  std::filesystem::remove(base + ".ps");
  // The window and the file at once: both workstations active.
  GS_OPEN_PS(base + ".ps", status);
  VG_ACTIVATE_WK(gs::postscript_workstation, status);
  ASSERT_EQ(status, good);
  std::vector<float> image = kovtest::projection_image(n, n);
  std::vector<float> axis;
  for (int i = 1; i <= n; ++i) axis.push_back(static_cast<float>(i) - 0.5f);
  GS_SET_IASPECT(true, status);
  GS_SET_IMAGESCALE(gs::scale_distribution, 0.0f, 1.0f, status);
  GS_PLOT(io::View2D<const float>(image.data(), n, n), axis, axis, 1, 1, n, n, "FIRST PROJECTION",
          "X (pixels)", "Y (pixels)", "Intensity", status);
  VG_UPDATE(gs::window_workstation, 0, status);
  VG_UPDATE(gs::postscript_workstation, 0, status);
  ASSERT_EQ(status, good);
  Connection connection;
  const Picture window = connection.grab(vg::x11::window_id());
  screenshot(vg::x11::window_id(), "gs_image_compare_window");
  VG_DEACTIVATE_WK(gs::postscript_workstation, status);
  GS_CLOSE_PS(status);
  kovtest::close_graphics();
  ASSERT_EQ(status, good);
  ASSERT_EQ(window.width, 500);
  std::string log;
  const Picture page = postscript_page(base + ".ps", base, log);
  ASSERT_EQ(page.width, 500) << log;
  // The tolerance of the window-and-PostScript comparison of the device:
  // 3 % of the blocks (text faces and their antialiasing differ).
  int total = 0;
  std::string report;
  const int differing = differing_blocks(window, page, total, report);
  std::printf("%d of %d blocks differ:%s\n", differing, total, report.c_str());
  EXPECT_LE(differing, total * 3 / 100) << report;
}

}  // namespace

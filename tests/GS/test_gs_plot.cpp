// Image display and coordinate input through the recording device: the
// round ticks and their numbers as tables, the argument statuses, the
// scaling modes and their warnings, keep-aspect placement, masks, the graph
// of one row or column, the colour bar's agreement with the image, and
// scripted clicks turned into world coordinates.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "gs_plot_layout.h"
#include "gs_widget_fixture.h"
#include "gs_widgets.h"
#include "ma.h"

namespace {

using widgettest::cx;
using widgettest::cy;
using widgettest::good;
using widgettest::Toolkit;

// --- Ticks -----------------------------------------------------------------

struct TickCase {
  double low, high;
  bool log;
  std::vector<double> values;
  int decimals;
};

TEST(GsAxes, RoundTicksAsTable) {
  const std::vector<TickCase> cases{
      {0.0, 2048.0, false, {0, 500, 1000, 1500, 2000}, 0},
      {0.5, 2048.5, false, {500, 1000, 1500, 2000}, 0},
      {2048.0, 0.0, false, {2000, 1500, 1000, 500, 0}, 0},  // a reversed axis
      {0.0, 1.0, false, {0, 0.2, 0.4, 0.6, 0.8, 1.0}, 1},
      {-3.7, 12.2, false, {0, 5, 10}, 0},
      {-0.013, 0.021, false, {-0.01, -0.005, 0, 0.005, 0.01, 0.015, 0.02}, 3},
      {100.0, 100.0, false, {100}, 0},  // an empty range: its one value
      {1.0, 5000.0, true, {1, 10, 100, 1000}, 0},
      {3.0, 40.0, true, {5, 10, 20}, 0},  // under two decades: 1, 2 and 5 per decade
      {1e-3, 1e9, true, {1e-2, 1, 1e2, 1e4, 1e6, 1e8}, 0},  // every second decade
  };
  for (const TickCase& c : cases) {
    const gs::Ticks t = c.log ? gs::log_ticks(c.low, c.high) : gs::linear_ticks(c.low, c.high);
    ASSERT_EQ(t.values.size(), c.values.size()) << c.low << " .. " << c.high;
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      EXPECT_NEAR(t.values[i], c.values[i], 1e-9 * std::max(1.0, std::abs(c.values[i])))
          << c.low << " .. " << c.high << " tick " << i;
    }
    if (!c.log) {
      EXPECT_EQ(t.decimals, c.decimals) << c.low << " .. " << c.high;
    }
  }
}

TEST(GsAxes, LinearStepsAreRoundAndFewInEveryRange) {
  // Invariants over many ranges: the step is 1, 2 or 5 times a power of
  // ten, no more than `most` ticks, all inside the range, at least two.
  for (double low = -1234.5; low < 1000.0; low += 97.3) {
    for (double span = 0.0007; span < 1e6; span *= 3.7) {
      const gs::Ticks t = gs::linear_ticks(low, low + span, 7);
      ASSERT_GE(t.values.size(), 2u) << low << " " << span;
      EXPECT_LE(t.values.size(), 7u);
      const double mantissa = t.step / std::pow(10.0, std::floor(std::log10(t.step) + 1e-9));
      EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                  std::abs(mantissa - 5) < 1e-6)
          << t.step;
      for (const double v : t.values) {
        EXPECT_GE(v, low - span * 1e-6);
        EXPECT_LE(v, low + span * (1 + 1e-6));
      }
    }
  }
}

TEST(GsAxes, TickTexts) {
  const std::vector<std::pair<std::pair<double, int>, std::string>> cases{
      {{0.5, 1}, "0.5"},     {{2000, 0}, "2000"},      {{-0.0, 1}, "0.0"},
      {{1e6, 0}, "1e+06"},   {{2.5e-5, 6}, "2.5e-05"}, {{-0.01, 2}, "-0.01"},
      {{99999, 0}, "99999"}, {{100000, 0}, "1e+05"},
  };
  for (const auto& [in, text] : cases) EXPECT_EQ(gs::tick_text(in.first, in.second), text);
}

TEST(GsAxes, ImagePositionKeepsPixelsSquare) {
  const gs::Box square{0.1f, 0.1f, 0.6f, 0.6f};
  // 100 by 50 pixels: the full width and half the height, centred.
  EXPECT_BOX(gs::image_position(square, 100, 50, true), 0.1f, 0.225f, 0.6f, 0.475f);
  EXPECT_BOX(gs::image_position(square, 50, 100, true), 0.225f, 0.1f, 0.475f, 0.6f);
  EXPECT_BOX(gs::image_position(square, 50, 100, false), 0.1f, 0.1f, 0.6f, 0.6f);
  // Pixel edges: half a spacing beyond the first and the last centre.
  const std::vector<float> axis{10.0f, 12.0f, 14.0f, 16.0f, 18.0f};
  EXPECT_BOX(gs::image_window(axis, axis, 2, 1, 4, 5), 11.0f, 9.0f, 17.0f, 19.0f);
}

TEST(GsAxes, PixelCentreOfAClick) {
  // A 500 by 707 window: scale 707. The click at column 100, row 200.
  float x = 100.0f / 707.0f, y = (707.0f - 200.0f) / 707.0f;
  gs::pixel_centre(500, 707, x, y);
  EXPECT_FLOAT_EQ(x, 100.5f / 707.0f);
  EXPECT_FLOAT_EQ(y, (707.0f - 200.5f) / 707.0f);
}

// --- Image display through the recording device -----------------------------

// A projection-like image with pixel-number axes (pixel i covers i - 1 .. i).
struct TestImage {
  TestImage(int nx, int ny) : nx(nx), ny(ny), values(static_cast<std::size_t>(nx) * ny) {
    for (int j = 1; j <= ny; ++j) {
      for (int i = 1; i <= nx; ++i) view()(i, j) = static_cast<float>(i + 10 * j);
    }
    for (int i = 1; i <= nx; ++i) x_axis.push_back(static_cast<float>(i) - 0.5f);
    for (int j = 1; j <= ny; ++j) y_axis.push_back(static_cast<float>(j) - 0.5f);
  }
  io::View2D<float> view() { return {values.data(), nx, ny}; }
  void plot(int xs, int ys, int xe, int ye, int& status) {
    GS_PLOT(view(), x_axis, y_axis, xs, ys, xe, ye, "TITLE", "X", "Y", "Z", status);
  }
  int nx, ny;
  std::vector<float> values, x_axis, y_axis;
};

class Display : public ::testing::Test {
 protected:
  Toolkit tk;
  int& status = tk.status;
  kovtest::RecordingWindow& window = tk.window;
};

TEST_F(Display, BadDimensionsAndRegionsDrawNothing) {
  TestImage im(20, 10);
  struct Case {
    int xmax, ymax, xs, ys, xe, ye;
    std::size_t xaxis;
    int expected;
  };
  const std::vector<Case> cases{
      {0, 10, 1, 1, 1, 1, 20, 140001},   {20, 0, 1, 1, 1, 1, 20, 140002},
      {20, 10, 0, 1, 5, 5, 20, 140005},  {20, 10, 6, 1, 5, 5, 20, 140005},
      {20, 10, 1, 1, 21, 5, 20, 140005}, {20, 10, 1, 1, 20, 5, 19, 140005},  // axis too short
      {20, 10, 1, 0, 5, 5, 20, 140006},  {20, 10, 1, 6, 5, 5, 20, 140006},
      {20, 10, 1, 1, 5, 11, 20, 140006},
  };
  for (const Case& c : cases) {
    window.clear();
    int s = good;
    GS_PLOT(io::View2D<const float>(im.values.data(), c.xmax, c.ymax),
            std::span<const float>(im.x_axis).first(c.xaxis), im.y_axis, c.xs, c.ys, c.xe, c.ye,
            "T", "X", "Y", "Z", s);
    EXPECT_EQ(s, c.expected);
    EXPECT_TRUE(window.calls().empty()) << window.dump();
  }
}

TEST_F(Display, ImageFramedWithColourBarAndStateLeftForClicks) {
  TestImage im(40, 30);
  GS_SET_GPP(0.1f, 0.1f, 0.6f, 0.6f, status);
  im.plot(1, 1, 40, 30, status);
  ASSERT_EQ(status, good);
  // The colour bar, then the image (last), through the one scaler: same
  // range.
  const auto cells = window.calls_of("real_cell_array");
  ASSERT_EQ(cells.size(), 2u) << window.dump();
  const auto& bar = cells.front();
  const auto& image = cells.back();
  EXPECT_FLOAT_EQ(image.values[4], 11.0f);   // mode 0: minimum of the region
  EXPECT_FLOAT_EQ(image.values[5], 340.0f);  // and maximum
  EXPECT_EQ(bar.values[4], image.values[4]);
  EXPECT_EQ(bar.values[5], image.values[5]);
  // The image fills the page position.
  EXPECT_NEAR(image.page_x[0], 0.1f, 1e-5f);
  EXPECT_NEAR(image.page_y[1], 0.6f, 1e-5f);
  // The colour bar lies right of the image and is as high.
  EXPECT_GT(bar.page_x[0], 0.6f);
  EXPECT_NEAR(bar.page_y[0], 0.1f, 1e-5f);
  EXPECT_NEAR(bar.page_y[1], 0.6f, 1e-5f);
  // The title and labels, and round numbers along the axes and bar.
  for (const char* t : {"TITLE", "X", "Y", "Z", "0", "10", "20", "30", "40", "100", "300"}) {
    EXPECT_TRUE(std::find(window.texts().begin(), window.texts().end(), t) != window.texts().end())
        << t << "\n"
        << window.dump();
  }
  // The scale used is stored back, the regions left for coordinate input.
  int mode = -1;
  float lo = 0, hi = 0;
  GS_INQ_IMAGESCALE(mode, lo, hi, status);
  EXPECT_EQ(mode, 0);
  EXPECT_FLOAT_EQ(lo, 11.0f);
  EXPECT_FLOAT_EQ(hi, 340.0f);
  gs::Box idr, dgpp;
  GS_INQ_IDR(idr, status);
  GS_INQ_DGPP(dgpp, status);
  EXPECT_BOX(idr, 0.0f, 0.0f, 40.0f, 30.0f);
  EXPECT_BOX(dgpp, 0.1f, 0.1f, 0.6f, 0.6f);
  float w[4], v[4];
  VG_INQ_DATAWINDOW(w[0], w[1], w[2], w[3], status);
  VG_INQ_VIEWPORT(v[0], v[1], v[2], v[3], status);
  EXPECT_FLOAT_EQ(w[2], 40.0f);
  EXPECT_FLOAT_EQ(v[3], 0.6f);
}

TEST_F(Display, BackgroundFillOnlyWhereItShows) {
  // The page is cleared to white (the window to colour index 0): a fill in
  // white on it is left out, any other colour is drawn over the page.
  struct Case {
    int colour;
    vg::Rgb index0;
    int fills;
  };
  const vg::Rgb white{1.0f, 1.0f, 1.0f}, grey{0.5f, 0.5f, 0.5f};
  std::vector<vg::Rgb> table(vg::table_size);
  VG_INQ_COLOURS(0, vg::table_size - 1, table, status);
  for (const Case& c :
       {Case{gs::white, white, 0}, Case{gs::blue, white, 1}, Case{gs::white, grey, 1}}) {
    table[0] = c.index0;
    VG_COLOURS(0, 0, table, status);
    GS_SET_BACKGROUND(true, c.colour, status);
    window.clear();
    GS_BACKGROUND(status);
    ASSERT_EQ(status, good);
    EXPECT_EQ(window.count("clear"), 1);
    EXPECT_EQ(window.count("fill_area"), c.fills) << c.colour << "\n" << window.dump();
  }
  table[0] = white;
  VG_COLOURS(0, 0, table, status);
}

TEST_F(Display, KeepAspectCentresA100By50RegionInASquare) {
  TestImage im(100, 50);
  GS_SET_GPP(0.1f, 0.1f, 0.6f, 0.6f, status);
  GS_SET_IASPECT(true, status);
  im.plot(1, 1, 100, 50, status);
  ASSERT_EQ(status, good);
  const auto cells = window.calls_of("real_cell_array");
  ASSERT_FALSE(cells.empty());
  EXPECT_NEAR(cells.back().page_x[0], 0.1f, 1e-5f);
  EXPECT_NEAR(cells.back().page_x[1], 0.6f, 1e-5f);
  EXPECT_NEAR(cells.back().page_y[0], 0.225f, 1e-5f);
  EXPECT_NEAR(cells.back().page_y[1], 0.475f, 1e-5f);
}

TEST_F(Display, EmptyRangesAreRepairedWithTheWarningLines) {
  TestImage im(20, 10);    // values 11 .. 120
  TestImage flat(20, 10);  // a constant image: empty in every mode
  flat.values.assign(flat.values.size(), 42.0f);
  struct Case {
    int mode;
    float user_min, user_max;
    const char* warning;
    float low, high;
    bool constant = false;
  };
  const std::vector<Case> cases{
      {2, 500.0f, 0.0f, "WARNING: The maximum data value is less than the user input minimum",
       120.0f - 1000.0f, 120.0f},
      {3, 0.0f, 5.0f, "WARNING: The minimum data value is greater than the user input maximum",
       11.0f, 1011.0f},
      {1, 7.0f, 7.0f, "WARNING: The minimum data value is greater than the user input maximum",
       7.0f, 1007.0f},
      {4, 0.0f, 1.0f, "WARNING: The minimum data value is greater than the user input maximum",
       42.0f, 1042.0f, true},
  };
  for (const Case& c : cases) {
    TestImage& shown = c.constant ? flat : im;
    GS_SET_IMAGESCALE(c.mode, c.user_min, c.user_max, status);
    window.clear();
    tk.console.clear();
    shown.plot(1, 1, 20, 10, status);
    ASSERT_EQ(status, good);
    const std::vector<std::string> expected{
        c.warning, "         Z-value (intensity)",
        "         Use \"Z-SCALE\" to change values or scaling mode"};
    EXPECT_EQ(tk.console.lines(), expected);
    // No image; the repaired range is stored and drawn the next time.
    const auto cells = window.calls_of("real_cell_array");
    ASSERT_EQ(cells.size(), 1u);  // the colour bar alone
    int mode = 0;
    float lo = 0, hi = 0;
    GS_INQ_IMAGESCALE(mode, lo, hi, status);
    EXPECT_EQ(mode, c.mode);
    EXPECT_FLOAT_EQ(lo, c.low);
    EXPECT_FLOAT_EQ(hi, c.high);
    window.clear();
    tk.console.clear();
    shown.plot(1, 1, 20, 10, status);
    EXPECT_TRUE(tk.console.lines().empty());
    EXPECT_EQ(window.count("real_cell_array"), 2);
  }
  // Mode 4: the range from the distribution of the region.
  GS_SET_IMAGESCALE(4, 0.0f, 0.0f, status);
  window.clear();
  im.plot(1, 1, 20, 10, status);
  const auto cells = window.calls_of("real_cell_array");
  ASSERT_EQ(cells.size(), 2u);
  float lo = 0, hi = 0;
  MA_DIFZSCALE(im.view(), 1, 1, 20, 10, lo, hi, status);
  EXPECT_FLOAT_EQ(cells.back().values[4], lo);
  EXPECT_FLOAT_EQ(cells.back().values[5], hi);
  int s = good;
  GS_SET_IMAGESCALE(5, 0.0f, 1.0f, s);
  EXPECT_EQ(s, gs::status_bad_value);
}

TEST_F(Display, SpyglassRunsFromWhereTheFirstPixelIsDrawn) {
  // Axes that decrease mirror the image: the spyglass's rectangle starts at
  // the corner where the cells of the region's first pixel are drawn.
  TestImage im(20, 10);
  for (const auto& [x_down, y_down] : {std::pair{false, false}, {true, false}, {false, true}}) {
    std::vector<float> xs = im.x_axis, ys = im.y_axis;
    if (x_down) std::reverse(xs.begin(), xs.end());
    if (y_down) std::reverse(ys.begin(), ys.end());
    window.clear();
    GS_PLOT(im.view(), xs, ys, 1, 1, 20, 10, "T", "X", "Y", "Z", status);
    const auto cells = window.calls_of("real_cell_array").back();
    const vg::Spyglass glass = gs::spyglass_of(im.view(), 1, 1, 20, 10, status);
    ASSERT_EQ(status, good);
    EXPECT_NEAR(glass.x0, cells.page_x[0], 1e-5f) << x_down << y_down;
    EXPECT_NEAR(glass.x1, cells.page_x[1], 1e-5f) << x_down << y_down;
    EXPECT_NEAR(glass.y0, cells.page_y[0], 1e-5f) << x_down << y_down;
    EXPECT_NEAR(glass.y1, cells.page_y[1], 1e-5f) << x_down << y_down;
  }
}

TEST_F(Display, LogarithmicScalingStartsAtTheSmallestPositiveValue) {
  TestImage im(20, 10);
  im.view()(3, 3) = 0.0f;
  im.view()(4, 3) = -5.0f;
  VG_LOGZSCALING(true, status);
  im.plot(1, 1, 20, 10, status);
  ASSERT_EQ(status, good);
  const auto cells = window.calls_of("real_cell_array");
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_FLOAT_EQ(cells.back().values[4], 11.0f);  // not -5
  EXPECT_EQ(cells.back().values[6], 1.0f);         // logarithmic
  EXPECT_EQ(cells.front().values[4], 11.0f);       // the bar agrees
  EXPECT_EQ(tk.console.lines(),
            std::vector<std::string>{
                "WARNING: Logarithmic scaling starts at the smallest positive value"});
}

TEST_F(Display, MaskedPixelsTakeTheMaskColour) {
  TestImage im(8, 6);
  bool mask[48] = {};
  mask[3 + 8 * 2] = true;
  mask[0] = true;
  GS_SET_MASKCOLOUR(gs::green, status);
  GS_2DMIMAGE(true, im.view(), io::View2D<const bool>(mask, 8, 6), im.x_axis, im.y_axis, 1, 1, 8, 6,
              "", "", "", "", status);
  ASSERT_EQ(status, good);
  const auto cells = window.calls_of("real_cell_array");
  ASSERT_FALSE(cells.empty());
  EXPECT_EQ(cells.back().values[7], 2.0f);  // two pixels masked
  EXPECT_EQ(cells.back().state.mask_colour, tk.index(gs::green));
  // A mask smaller than the image is refused.
  int s = good;
  GS_2DMIMAGE(true, im.view(), io::View2D<const bool>(mask, 7, 6), im.x_axis, im.y_axis, 1, 1, 8, 6,
              "", "", "", "", s);
  EXPECT_EQ(s, 140001);
}

TEST_F(Display, OneRowOrColumnIsAGraph) {
  TestImage im(20, 10);
  for (const bool row : {true, false}) {
    window.clear();
    if (row)
      im.plot(3, 4, 12, 4, status);
    else
      im.plot(5, 2, 5, 9, status);
    ASSERT_EQ(status, good);
    EXPECT_EQ(window.count("real_cell_array"), 0) << window.dump();
    // The curve: one polyline through every value, and a marker at each.
    const int n = row ? 10 : 8;
    bool curve = false;
    for (const auto& c : window.calls_of("polyline")) {
      if (static_cast<int>(c.x.size()) != n) continue;
      curve = true;
      for (int k = 0; k < n; ++k) {
        const float value = row ? im.view()(3 + k, 4) : im.view()(5, 2 + k);
        const float position = row ? im.x_axis[static_cast<std::size_t>(2 + k)]
                                   : im.y_axis[static_cast<std::size_t>(1 + k)];
        EXPECT_FLOAT_EQ(c.x[static_cast<std::size_t>(k)], position);
        EXPECT_FLOAT_EQ(c.y[static_cast<std::size_t>(k)], value);
      }
    }
    EXPECT_TRUE(curve) << window.dump();
    ASSERT_EQ(window.count("polymarker"), 1);
    EXPECT_EQ(window.calls_of("polymarker")[0].x.size(), static_cast<std::size_t>(n));
    EXPECT_TRUE(window.contains(row ? "\"X\"" : "\"Y\"")) << window.dump();
  }
}

// --- Coordinate input by scripted clicks ------------------------------------

class Coordinates : public Display {
 protected:
  // An image whose axes are not pixel numbers: X from 10 in steps of 2,
  // Y from -5 in steps of 0.5.
  void SetUp() override {
    for (int i = 1; i <= 40; ++i) x_axis.push_back(10.0f + 2.0f * static_cast<float>(i));
    for (int j = 1; j <= 30; ++j) y_axis.push_back(-5.0f + 0.5f * static_cast<float>(j));
    data.assign(40 * 30, 1.0f);
    data[5] = 9.0f;
    GS_SET_GPP(0.1f, 0.2f, 0.6f, 0.9f, status);
    GS_PLOT(view(), x_axis, y_axis, 1, 1, 40, 30, "T", "X", "Y", "Z", status);
    ASSERT_EQ(status, good);
    window.clear();
  }
  io::View2D<const float> view() const { return {data.data(), 40, 30}; }
  // World coordinates of the click at window pixel (column, row) of the
  // recording window (500 by 707).
  static void expected(int column, int row, double& x, double& y) {
    const double px = (column + 0.5) / 707.0, py = (707.0 - row - 0.5) / 707.0;
    x = 11.0 + (px - 0.1) * (91.0 - 11.0) / 0.5;
    y = -4.75 + (py - 0.2) * (10.25 + 4.75) / 0.7;
  }
  static void click_pixel(kovtest::RecordingWindow& w, int column, int row) {
    w.push_click(static_cast<float>(column) / 707.0f, static_cast<float>(707 - row) / 707.0f);
  }
  gs::MenuLayout controls(int num_titles, bool finish) const {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int s = good;
    GS_INQ_GUIREGION(x0, y0, x1, y1, s);
    if (finish) x1 = x0 + 0.78f * (x1 - x0);
    return gs::menu_layout(num_titles, 4, {x0, y0, x1, y1}, 0, 4, 40, 20, gs::sample_width());
  }
  std::vector<float> x_axis, y_axis, data;
  std::array<float, 200> xs{}, ys{};
  int num = 0;
  const std::array<std::string, 1> title{"SELECT RECTANGLE"};
  const std::array<std::string, 1> info{"Click twice"};
};

TEST_F(Coordinates, ClicksGiveWorldCoordinatesAndOutsideRingsTheBell) {
  click_pixel(window, 30, 300);   // left of the image (x < 0.1): refused
  click_pixel(window, 100, 300);  // inside
  click_pixel(window, 389, 150);  // inside
  GS_INPS_FCOORDINATES(true, view(), 1, 1, 40, 30, 1, 1, title, 1, 1, info, 2, num, xs, ys, status);
  ASSERT_EQ(status, good) << window.dump();
  ASSERT_EQ(num, 2);
  EXPECT_EQ(window.count("bell"), 1);
  const std::array<std::pair<int, int>, 2> pixels{{{100, 300}, {389, 150}}};
  for (int k = 0; k < 2; ++k) {
    double x = 0, y = 0;
    expected(pixels[static_cast<std::size_t>(k)].first, pixels[static_cast<std::size_t>(k)].second,
             x, y);
    EXPECT_NEAR(xs[static_cast<std::size_t>(k)], x, 1e-4) << k;
    EXPECT_NEAR(ys[static_cast<std::size_t>(k)], y, 1e-4) << k;
  }
  // A rubber-band rectangle from the first point while the second is picked.
  const auto bands = window.calls_of("rubberband");
  ASSERT_FALSE(bands.empty());
  EXPECT_EQ(bands.front().values[0], 2.0f);
  EXPECT_EQ(bands.back().values[0], 0.0f);  // off at the end
  // The first point's mark, drawn and taken off again (inverse video).
  int inverse_lines = 0;
  for (const auto& c : window.calls_of("polyline")) inverse_lines += c.state.line_colour == -1;
  EXPECT_EQ(inverse_lines, 8);  // two crosses of two lines, each drawn twice
}

TEST_F(Coordinates, CancelKeyboardTwoClickAndFinish) {
  // CANCEL: the user escape.
  const gs::MenuLayout menu = controls(1, true);
  window.push_click(cx(menu.buttons[0]), cy(menu.buttons[0]));
  GS_INPS_FCOORDINATES(false, view(), 1, 1, 40, 30, 1, 1, title, 1, 1, info, 100, num, xs, ys,
                       status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(num, 0);

  // KEYBOARD (a bad number first), a two-click point, then finish.
  status = good;
  window.clear();
  window.push_click(cx(menu.buttons[2]), cy(menu.buttons[2]));
  float gx = 0, gy = 0, gx1 = 0, gy1 = 0;
  GS_INQ_GUIREGION(gx, gy, gx1, gy1, status);
  // "?" shows the help in a message box in the controls' region, off the image.
  window.push_line("?");
  const std::array<std::string, 1> help_x{"Type the X-component in world coordinates"};
  const gs::Box help_ok =
      gs::message_layout({gx, gy, gx1, gy1}, 1, help_x, gs::sample_width(), status).ok;
  window.push_click(cx(help_ok), cy(help_ok));
  window.push_line("abc");
  const gs::Box ok = gs::warning_layout({gx, gy, gx1, gy1}, 2).ok;  // the refusal's O.K.
  window.push_click(cx(ok), cy(ok));
  for (const char* not_finite : {"INF", "NAN"}) {  // refused with the error line alone
    window.push_line(not_finite);
    const gs::Box ok_1 = gs::warning_layout({gx, gy, gx1, gy1}, 1).ok;
    window.push_click(cx(ok_1), cy(ok_1));
  }
  window.push_line("12.5");
  window.push_line("-1");
  window.push_click(cx(menu.buttons[3]), cy(menu.buttons[3]));   // TWO CLICK
  click_pixel(window, 200, 200);                                 // opens the spyglass
  click_pixel(window, 210, 220);                                 // the precise click
  window.push_click(gx + 0.9f * (gx1 - gx), 0.5f * (gy + gy1));  // (Click here to finish)
  GS_INPS_FCOORDINATES(false, view(), 1, 1, 40, 30, 1, 1, title, 1, 1, info, 100, num, xs, ys,
                       status);
  ASSERT_EQ(status, good) << window.dump();
  ASSERT_EQ(num, 2);
  EXPECT_FLOAT_EQ(xs[0], 12.5f);
  EXPECT_FLOAT_EQ(ys[0], -1.0f);
  double x = 0, y = 0;
  expected(210, 220, x, y);
  EXPECT_NEAR(xs[1], x, 1e-4);
  EXPECT_NEAR(ys[1], y, 1e-4);
  for (const char* t :
       {"X-COMPONENT OF COORDINATE TO DEFINE", "Y-COMPONENT OF COORDINATE TO DEFINE",
        "Enter valid floating point number", "SECOND CLICK WITHIN \"SPY-GLASS\"",
        "(Click here to finish)", "TWO CLICK", "KEYBOARD"}) {
    EXPECT_TRUE(window.contains(t)) << t;
  }
  EXPECT_LT(tk.text_call(help_x[0]).page_y[0], gy1);
  gs::Box message;
  GS_INQ_MESSAGE(message, status);
  EXPECT_BOX(message, 0.0f, 0.0f, 0.7071f, 1.0f);  // put back
  const auto glass = window.calls_of("spyglass");
  ASSERT_EQ(glass.size(), 2u);
  EXPECT_EQ(glass[0].values[0], 1.0f);
  EXPECT_EQ(glass[1].values[0], 0.0f);
}

TEST_F(Coordinates, AHundredPointsInOneCall) {
  for (int k = 0; k < 100; ++k) click_pixel(window, 80 + 3 * k, 100 + 4 * k);
  GS_INPS_FCOORDINATES(true, view(), 1, 1, 40, 30, 1, 1, title, 1, 1, info, 100, num, xs, ys,
                       status);
  ASSERT_EQ(status, good);
  ASSERT_EQ(num, 100);
  double x = 0, y = 0;
  expected(80 + 3 * 99, 100 + 4 * 99, x, y);
  EXPECT_NEAR(xs[99], x, 1e-4);
  EXPECT_NEAR(ys[99], y, 1e-4);
  // Too many for the arrays is refused before anything is drawn.
  int s = good;
  GS_INPS_FCOORDINATES(true, view(), 1, 1, 40, 30, 1, 1, title, 1, 1, info, 201, num, xs, ys, s);
  EXPECT_EQ(s, gs::status_bad_value);
}

}  // namespace

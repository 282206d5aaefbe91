// Cell arrays on the window device: colour-index arrays, real data scaled
// linearly and logarithmically, masks, resampling and the scaling errors.
#include <cmath>
#include <vector>

#include "../scale_cases.h"
#include "vg_scale.h"
#include "x11_support.h"

using namespace x11test;

namespace {

class X11CellArray : public ::testing::Test {
 protected:
  void SetUp() override {
    KOV_NEED_DISPLAY();
    device = open_device();
    ASSERT_TRUE(device);
  }
  Picture pixmap() const {
    device->update();
    return connection.grab(vg::x11::pixmap_id(*device));
  }
  // Grey level of colour index i in the test's table.
  static int grey(int i) { return static_cast<int>(std::lround(i * 255.0 / 255.0)); }

  Connection connection;
  std::unique_ptr<vg::Device> device;
};

TEST_F(X11CellArray, IndexArrayFillsItsRectangleCellByCell) {
  // 4 by 2 cells over 200 by 100 pixels: 50 pixels per cell. Row 1 is at
  // the bottom (world y0).
  std::vector<int> cells = {2, 3, 4, 5, 1, 0, 2, 3};
  device->cell_array(io::View2D<const int>(cells.data(), 4, 2), 1, 1, 4, 2, 100.0f, wy(300) + 0.5f,
                     300.0f, wy(200) + 0.5f);
  Picture p = pixmap();
  EXPECT_TRUE(near(p.at(125, 275), 255, 0, 0));    // cell (1,1)
  EXPECT_TRUE(near(p.at(175, 275), 0, 255, 0));    // cell (2,1)
  EXPECT_TRUE(near(p.at(225, 275), 0, 0, 255));    // cell (3,1)
  EXPECT_TRUE(near(p.at(275, 275), 255, 255, 0));  // cell (4,1)
  EXPECT_TRUE(near(p.at(125, 225), 0, 0, 0));      // cell (1,2)
  EXPECT_TRUE(is_white(p.at(175, 225)));           // cell (2,2)
  EXPECT_EQ(p.box([](const Rgb8& c) { return !is_white(c); }), (Box{100, 200, 299, 299}));
  // A sub-region, drawn mirrored (x1 left of x0).
  device->clear();
  device->cell_array(io::View2D<const int>(cells.data(), 4, 2), 2, 1, 3, 1, wx(300), wy(100),
                     wx(100), wy(50));
  p = pixmap();
  EXPECT_TRUE(near(p.at(120, 75), 0, 0, 255));
  EXPECT_TRUE(near(p.at(280, 75), 0, 255, 0));
  // A region outside the array fails.
  EXPECT_EQ(device->cell_array(io::View2D<const int>(cells.data(), 4, 2), 1, 1, 5, 2, 0, 0, 10, 10),
            vg::device_failed);
}

TEST_F(X11CellArray, RealDataScaleLinearlyLogarithmicallyAndMasked) {
  // Image range 10..250 (241 levels). Ten columns of values 0..9 scaled
  // between 0 and 10: column k gets index 10 + floor(k x 24.1).
  std::vector<float> data(10 * 3);
  std::vector<bool> mask_storage(10 * 3, false);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 10; ++x) data[static_cast<std::size_t>(y * 10 + x)] = static_cast<float>(x);
  }
  io::View2D<const float> view(data.data(), 10, 3);
  const float x0 = 0.0f, x1 = 500.0f;
  ASSERT_EQ(
      device->real_cell_array(view, {}, 1, 1, 10, 3, x0, wy(300), x1, wy(0), 0.0f, 10.0f, false),
      vg::device_ok);
  Picture p = pixmap();
  for (int k = 0; k < 10; ++k) {
    const int index = 10 + static_cast<int>(std::floor(k * 24.1));
    EXPECT_TRUE(near(p.at(50 * k + 25, 150), grey(index), grey(index), grey(index), 1))
        << "column " << k << " got " << p.at(50 * k + 25, 150).r;
  }
  // Values beyond the range clamp to its ends.
  ASSERT_EQ(
      device->real_cell_array(view, {}, 1, 1, 10, 3, x0, wy(300), x1, wy(0), 3.0f, 6.0f, false),
      vg::device_ok);
  p = pixmap();
  EXPECT_EQ(p.at(25, 150).r, grey(10));
  EXPECT_EQ(p.at(475, 150).r, grey(250));

  // Logarithmic between 1 and 1000: 1, 10, 100 lie at 0, 1/3, 2/3.
  std::vector<float> logs = {0.5f, 1.0f, 10.0f, 100.0f, 1000.0f, 5000.0f};
  io::View2D<const float> lview(logs.data(), 6, 1);
  ASSERT_EQ(device->real_cell_array(lview, {}, 1, 1, 6, 1, 0.0f, wy(400), 600.0f, wy(300), 1.0f,
                                    1000.0f, true),
            vg::device_ok);
  p = pixmap();
  EXPECT_EQ(p.at(50, 350).r, grey(10));   // below: first
  EXPECT_EQ(p.at(150, 350).r, grey(10));  // low itself
  EXPECT_NEAR(p.at(250, 350).r, grey(10 + static_cast<int>(241 / 3.0)), 1);
  EXPECT_NEAR(p.at(350, 350).r, grey(10 + static_cast<int>(2 * 241 / 3.0)), 1);
  EXPECT_EQ(p.at(450, 350).r, grey(250));

  // Masked pixels take the mask colour (red here).
  bool mask[6] = {false, true, false, false, true, false};
  device->mask_colour(2);
  ASSERT_EQ(device->real_cell_array(lview, io::View2D<const bool>(mask, 6, 1), 1, 1, 6, 1, 0.0f,
                                    wy(500), 600.0f, wy(400), 1.0f, 1000.0f, true),
            vg::device_ok);
  p = pixmap();
  EXPECT_TRUE(near(p.at(150, 450), 255, 0, 0));
  EXPECT_TRUE(near(p.at(450, 450), 255, 0, 0));
  EXPECT_EQ(p.at(250, 450).r, p.at(250, 350).r);
}

TEST_F(X11CellArray, UnscalableRangesAreRefusedWithAMessage) {
  std::vector<float> data(4, 1.0f);
  io::View2D<const float> view(data.data(), 2, 2);
  kovtest::ConsoleCapture console;
  EXPECT_EQ(device->real_cell_array(view, {}, 1, 1, 2, 2, 0, 0, 10, 10, 5.0f, 4.9f, false),
            vg::device_failed);
  EXPECT_EQ(device->real_cell_array(view, {}, 1, 1, 2, 2, 0, 0, 10, 10, 6.0f, 5.0f, false),
            vg::device_failed);
  ASSERT_EQ(console.lines().size(), 2u);
  EXPECT_EQ(console.lines()[0], "ERROR: Scaling range unacceptable");
  console.clear();
  EXPECT_EQ(device->real_cell_array(view, {}, 1, 1, 2, 2, 0, 0, 10, 10, 0.0f, 5.0f, true),
            vg::device_failed);
  EXPECT_EQ(device->real_cell_array(view, {}, 1, 1, 2, 2, 0, 0, 10, 10, -1.0f, 5.0f, true),
            vg::device_failed);
  EXPECT_EQ(device->real_cell_array(view, {}, 1, 1, 2, 2, 0, 0, 10, 10, 5.0f, 4.0f, true),
            vg::device_failed);
  ASSERT_EQ(console.lines().size(), 3u);
  EXPECT_EQ(console.lines()[2], "ERROR: Log scaling range unacceptable");
  // A negative low is fine for linear scaling.
  EXPECT_EQ(device->real_cell_array(view, {}, 1, 1, 2, 2, 0, 0, 10, 10, -1.0f, 5.0f, false),
            vg::device_ok);
}

TEST_F(X11CellArray, LargeArrayIsResampledToTheDrawnRectangle) {
  // 2048 by 2048 with a pattern whose samples can be told apart: the value
  // is the column's block of 256 (0..7) plus 8 x the row's block.
  const int n = 2048;
  std::vector<float> data(static_cast<std::size_t>(n) * n);
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      data[static_cast<std::size_t>(y) * n + x] = static_cast<float>(x / 256 + 8 * (y / 256));
    }
  }
  io::View2D<const float> view(data.data(), n, n);
  // The whole array onto 400 by 400 pixels (50 per block), and partly off
  // the window (clipped by it).
  ASSERT_EQ(device->real_cell_array(view, {}, 1, 1, n, n, wx(50) - 0.5f, wy(650) + 0.5f,
                                    wx(450) - 0.5f, wy(250) + 0.5f, 0.0f, 64.0f, false),
            vg::device_ok);
  Picture p = pixmap();
  for (int by = 0; by < 8; ++by) {
    for (int bx = 0; bx < 8; ++bx) {
      const int value = bx + 8 * by;
      const int index = 10 + static_cast<int>(std::floor(value * 241.0 / 64.0));
      const Rgb8 c = p.at(50 + 50 * bx + 25, 650 - 50 * by - 25);
      EXPECT_NEAR(c.r, grey(index), 1) << "block " << bx << "," << by;
    }
  }
  EXPECT_TRUE(is_white(p.at(49, 400)));
  EXPECT_FALSE(is_white(p.at(50, 400)));
  EXPECT_TRUE(is_white(p.at(450, 400)));
  ASSERT_EQ(device->real_cell_array(view, {}, 1, 1, n, n, -5000.0f, -5000.0f, 5000.0f, 5000.0f,
                                    0.0f, 64.0f, false),
            vg::device_ok);
  p = pixmap();
  EXPECT_FALSE(is_white(p.at(0, 0)));
  EXPECT_FALSE(is_white(p.at(499, 706)));
}

// One value gives one index whether the image, the spyglass over it or the
// core's scale (by which colour bars and the PostScript file go) looks at it,
// an empty range included: there, values from low up take the last index.
TEST_F(X11CellArray, OneValueGivesOneIndexInTheImageTheSpyglassAndTheScale) {
  // Every index its own colour: the red component is the index.
  std::vector<vg::Rgb> table(vg::table_size);
  for (int i = 0; i < vg::table_size; ++i) {
    table[static_cast<std::size_t>(i)] = {i / 255.0f, (255 - i) / 255.0f,
                                          ((i * 37) % 256) / 255.0f};
  }
  ASSERT_EQ(device->colour_map(0, vg::table_size - 1, table), vg::device_ok);
  const unsigned long window = vg::x11::window_id(*device);
  for (const auto& range : scaletest::ranges()) {
    SCOPED_TRACE(range.what);
    device->clear();
    const std::vector<float> values = scaletest::values_about(range, 10, 250);
    const int n = static_cast<int>(values.size());
    io::View2D<const float> view(values.data(), n, 1);
    vg::IndexScale scale;
    ASSERT_TRUE(scale.set(range.low, range.high, range.logarithmic, 10, 250));
    if (range.low == range.high) {
      EXPECT_EQ(scale.index(range.low), 250);
      EXPECT_EQ(scale.index(std::nextafter(range.low, 0.0f)), 10);
      EXPECT_EQ(scale.index(values[12]), 10);  // not a number
    }
    // The image: 8 pixels a value, pixels 100 to 219 across, 300 to 319 down.
    ASSERT_EQ(device->real_cell_array(view, {}, 1, 1, n, 1, 100.0f, 387.0f, 100.0f + 8 * n, 407.0f,
                                      range.low, range.high, range.logarithmic),
              vg::device_ok);
    const Picture p = pixmap();
    for (int k = 0; k < n; ++k) {
      EXPECT_EQ(p.at(104 + 8 * k, 310).r, scale.index(values[static_cast<std::size_t>(k)]))
          << "image, value " << values[static_cast<std::size_t>(k)];
    }
    // The spyglass over the middle value holds all fifteen, 4 pixels each,
    // in its box 16 pixels right of and above the pointer.
    vg::Spyglass glass;
    glass.data = view;
    glass.xend = n;
    glass.x0 = 100.0f;
    glass.y0 = 387.0f;
    glass.x1 = 100.0f + 8 * n;
    glass.y1 = 407.0f;
    glass.low = range.low;
    glass.high = range.high;
    glass.logarithmic = range.logarithmic;
    glass.magnification = 4;
    glass.size = 15;
    ASSERT_EQ(device->spyglass(true, glass), vg::device_ok);
    vg::EventRequest r;
    vg::Event e;
    WaitingCall input([&] { return device->event(r, e); });
    const int px = 104 + 8 * (n / 2), py = 310;
    connection.move_to(window, px + 1, py);
    connection.move_to(window, px, py);
    Picture w;
    // The read-out at the top left is drawn last.
    EXPECT_TRUE(kovtest::wait_until([&] {
      w = connection.grab(window);
      return w.width > 0 && is_white(w.at(2, 2));
    }));
    EXPECT_EQ(input.end_with_click(connection, window, px, py), vg::device_ok);
    device->spyglass(false, glass);
    for (int k = 0; k < n; ++k) {
      EXPECT_EQ(w.at(px + 18 + 4 * k, py - 18).r, scale.index(values[static_cast<std::size_t>(k)]))
          << "spyglass, value " << values[static_cast<std::size_t>(k)];
    }
  }
}

}  // namespace

// The window device's drawing, read back from its pixmap and window.
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "x11_support.h"

using namespace x11test;

namespace {

class X11Draw : public ::testing::Test {
 protected:
  void SetUp() override {
    KOV_NEED_DISPLAY();
    device = open_device();
    ASSERT_TRUE(device) << "the window did not open";
  }
  Picture pixmap() const {
    device->update();
    return connection.grab(vg::x11::pixmap_id(*device));
  }
  Picture window() const {
    device->update();
    return connection.grab(vg::x11::window_id(*device));
  }
  // A square of `side` pixels in a colour, its top left corner at (x0, y0).
  void square(int colour, int x0, int y0, int side) const {
    device->fill_colour(colour);
    const float fx[4] = {wx(x0), wx(x0 + side), wx(x0 + side), wx(x0)};
    const float fy[4] = {wy(y0), wy(y0), wy(y0 + side), wy(y0 + side)};
    device->fill_area(4, fx, fy);
  }
  // Covers the window with another one and takes it away again.
  void expose() const {
    Display* d = connection.get();
    Window cover = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 800, 900, 0, 0, 0);
    XMapRaised(d, cover);
    XSync(d, False);
    XDestroyWindow(d, cover);
    XSync(d, False);
  }

  Connection connection;
  std::unique_ptr<vg::Device> device;
};

TEST_F(X11Draw, WindowHasTheClientSizeTitleAndClass) {
  int w = 0, h = 0;
  EXPECT_EQ(device->inq_size(w, h), vg::device_ok);
  EXPECT_EQ(w, 500);
  EXPECT_EQ(h, 707);
  connection.window_size(vg::x11::window_id(*device), w, h);
  EXPECT_EQ(w, 500);
  EXPECT_EQ(h, 707);
  Display* d = connection.get();
  char* name = nullptr;
  ASSERT_NE(XFetchName(d, vg::x11::window_id(*device), &name), 0);
  EXPECT_STREQ(name, "Vellum Graphics Window");
  XFree(name);
  XClassHint hint;
  ASSERT_NE(XGetClassHint(d, vg::x11::window_id(*device), &hint), 0);
  EXPECT_STREQ(hint.res_name, "kov_master");
  EXPECT_STREQ(hint.res_class, "Vellum");
  XFree(hint.res_name);
  XFree(hint.res_class);
  XSizeHints hints;
  long supplied = 0;
  ASSERT_NE(XGetWMNormalHints(d, vg::x11::window_id(*device), &hints, &supplied), 0);
  EXPECT_TRUE(hints.flags & PAspect);
  EXPECT_NEAR(static_cast<double>(hints.min_aspect.y) / hints.min_aspect.x, 1.414214, 1e-6);

  EXPECT_EQ(device->title("SELECT FIRST DATA IMAGE FILE   "), vg::device_ok);
  ASSERT_NE(XFetchName(d, vg::x11::window_id(*device), &name), 0);
  EXPECT_STREQ(name, "SELECT FIRST DATA IMAGE FILE");
  XFree(name);
}

TEST_F(X11Draw, LinesFillsAndColoursLandWhereTheTransformPutsThem) {
  // A red filled square 100..200 x 100..200 (pixels from the top) and a blue
  // horizontal line at row 300.
  device->fill_colour(2);
  const float fx[4] = {wx(100) - 0.5f, wx(200) - 0.5f, wx(200) - 0.5f, wx(100) - 0.5f};
  const float fy[4] = {wy(100) + 0.5f, wy(100) + 0.5f, wy(200) + 0.5f, wy(200) + 0.5f};
  EXPECT_EQ(device->fill_area(4, fx, fy), vg::device_ok);
  device->line_colour(4);
  const float lx[2] = {wx(50), wx(450)};
  const float ly[2] = {wy(300), wy(300)};
  EXPECT_EQ(device->polyline(2, lx, ly), vg::device_ok);
  device->update();
  for (const Picture& p : {pixmap(), window()}) {
    ASSERT_EQ(p.width, 500);
    EXPECT_TRUE(near(p.at(150, 150), 255, 0, 0));
    EXPECT_TRUE(is_white(p.at(150, 95)));
    EXPECT_TRUE(is_white(p.at(205, 150)));
    int x0, y0, x1, y1;
    EXPECT_EQ(p.count([](const Rgb8& c) { return near(c, 255, 0, 0); }, &x0, &y0, &x1, &y1),
              100 * 100);
    EXPECT_EQ(x0, 100);
    EXPECT_EQ(y0, 100);
    EXPECT_EQ(x1, 199);
    EXPECT_EQ(y1, 199);
    EXPECT_TRUE(near(p.at(250, 300), 0, 0, 255));
    EXPECT_TRUE(is_white(p.at(250, 298)));
  }
}

TEST_F(X11Draw, LineStylesWidthsAndInverseVideo) {
  const auto row_ink = [&](const Picture& p, int row) {
    int n = 0;
    for (int x = 50; x < 450; ++x) n += dark(p.at(x, row)) ? 1 : 0;
    return n;
  };
  device->line_colour(1);
  for (int style = 1; style <= 4; ++style) {
    device->line_style(style);
    const float lx[2] = {wx(50), wx(450)};
    const float ly[2] = {wy(100 * style), wy(100 * style)};
    device->polyline(2, lx, ly);
  }
  device->line_style(1);
  device->line_width(5.0f);
  const float vx[2] = {wx(480), wx(480)};
  const float vy[2] = {wy(100), wy(600)};
  device->polyline(2, vx, vy);
  Picture p = pixmap();
  EXPECT_EQ(row_ink(p, 100), 400);        // solid
  EXPECT_NEAR(row_ink(p, 200), 200, 20);  // dashed: half on
  EXPECT_LT(row_ink(p, 300), 180);        // dotted: mostly off
  EXPECT_GT(row_ink(p, 300), 80);
  EXPECT_GT(row_ink(p, 400), row_ink(p, 300));  // dash-dot
  EXPECT_LT(row_ink(p, 400), row_ink(p, 200) + 60);
  int thick = 0;
  for (int x = 470; x < 490; ++x) thick += dark(p.at(x, 350)) ? 1 : 0;
  EXPECT_EQ(thick, 5);

  // Inverse video twice over the same line restores the picture.
  device->line_width(1.0f);
  device->line_colour(vg::inverse_video);
  const float ix[2] = {wx(40), wx(460)};
  const float iy[2] = {wy(500), wy(500)};
  device->polyline(2, ix, iy);
  p = pixmap();
  EXPECT_TRUE(dark(p.at(100, 500)));
  device->polyline(2, ix, iy);
  p = pixmap();
  EXPECT_TRUE(is_white(p.at(100, 500)));
  // Over the solid black line it gives white.
  const float jx[2] = {wx(100), wx(100)};
  const float jy[2] = {wy(90), wy(110)};
  device->polyline(2, jx, jy);
  EXPECT_TRUE(is_white(pixmap().at(100, 100)));
}

TEST_F(X11Draw, MarkersOfEveryTypeFollowTheMarkerScale) {
  device->marker_colour(1);
  const auto ink_box = [&](int cx, int cy, int& w, int& h) {
    Picture p = pixmap();
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0, n = 0;
    int bx0 = 1000, by0 = 1000, bx1 = -1, by1 = -1;
    for (int y = cy - 40; y <= cy + 40; ++y) {
      for (int x = cx - 40; x <= cx + 40; ++x) {
        if (!dark(p.at(x, y))) continue;
        ++n;
        bx0 = std::min(bx0, x);
        by0 = std::min(by0, y);
        bx1 = std::max(bx1, x);
        by1 = std::max(by1, y);
      }
    }
    (void)x0, (void)y0, (void)x1, (void)y1;
    w = n ? bx1 - bx0 + 1 : 0;
    h = n ? by1 - by0 + 1 : 0;
    return n;
  };
  int sizes[6] = {};
  for (int type = 1; type <= 5; ++type) {
    device->marker_type(type);
    device->marker_scale(2.0f);
    const float x[1] = {wx(80 * type)};
    const float y[1] = {wy(100)};
    device->polymarker(1, x, y);
    int w = 0, h = 0;
    EXPECT_GT(ink_box(80 * type, 100, w, h), 0) << "marker type " << type;
    sizes[type] = w;
    EXPECT_NEAR(w, h, 1) << "marker type " << type;
  }
  EXPECT_LE(sizes[1], 4);
  EXPECT_NEAR(sizes[2], 17, 2);  // 2 x 0.006 x 707 x 2 + 1
  EXPECT_NEAR(sizes[4], 17, 2);
  EXPECT_LT(sizes[5], sizes[2]);  // the cross's arms run at 0.707 of the size
  // Plus: the centre row is fully inked, the corners are not.
  Picture p = pixmap();
  EXPECT_TRUE(dark(p.at(160, 100)));
  EXPECT_TRUE(dark(p.at(166, 100)));
  EXPECT_FALSE(dark(p.at(166, 94)));
  // Scale 4 doubles the plus.
  device->marker_type(2);
  device->marker_scale(4.0f);
  const float x[1] = {wx(250)};
  const float y[1] = {wy(300)};
  device->polymarker(1, x, y);
  int w = 0, h = 0;
  ink_box(250, 300, w, h);
  EXPECT_NEAR(w, 35, 2);
}

TEST_F(X11Draw, ClippingLimitsEveryPrimitive) {
  const float rect[4] = {wx(100) - 0.5f, wy(299) - 0.5f, wx(299) + 0.5f, wy(100) + 0.5f};
  device->set_clip(true, rect);
  device->fill_colour(2);
  const float fx[4] = {0, 500, 500, 0};
  const float fy[4] = {0, 0, 707, 707};
  device->fill_area(4, fx, fy);
  std::vector<float> data(64, 1.0f);
  device->real_cell_array(io::View2D<const float>(data.data(), 8, 8), {}, 1, 1, 8, 8, wx(50),
                          wy(450), wx(450), wy(350), 0.0f, 2.0f, false);
  device->text_height(0.05f);
  device->text_colour(1);
  device->text_alignment(1, 0);
  device->text(wx(250), wy(200), "WWWWWWWWWWWW");
  Picture p = pixmap();
  EXPECT_EQ(p.box([](const Rgb8& c) { return !is_white(c); }), (Box{100, 100, 299, 299}));
  EXPECT_TRUE(dark(p.at(270, 195)) || dark(p.at(280, 190)) || dark(p.at(290, 185)));
  device->set_clip(false, rect);
  device->fill_area(4, fx, fy);
  EXPECT_TRUE(near(pixmap().at(5, 5), 255, 0, 0));
}

// Ink of the text drawn in black on white, as a bounding box.
struct Ink {
  int n = 0, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  double cx() const { return (x0 + x1 + 1) / 2.0; }
  double cy() const { return (y0 + y1 + 1) / 2.0; }
};

TEST_F(X11Draw, TextIsPlacedByItsAlignment) {
  device->text_colour(1);
  device->text_font(1);
  device->text_height(0.04f);  // 28 pixels
  const auto draw = [&](int h, int v, const char* text, float degrees = 0.0f) {
    device->clear();
    device->text_alignment(h, v);
    device->text_angle(degrees);
    EXPECT_EQ(device->text(wx(250) - 0.5f, wy(350) + 0.5f, text), vg::device_ok);
    Ink ink;
    ink.n =
        pixmap().count([](const Rgb8& c) { return c.r < 160; }, &ink.x0, &ink.y0, &ink.x1, &ink.y1);
    return ink;
  };
  // Centred in both directions: the ink's centre is on the point.
  Ink c = draw(2, 6, "HEHEH");
  ASSERT_GT(c.n, 50);
  EXPECT_NEAR(c.cx(), 250.0, 2.0);
  EXPECT_NEAR(c.cy(), 350.0, 2.0);
  // Left, base line: ink starts at the point and sits on the line.
  Ink l = draw(1, 0, "HEHEH");
  EXPECT_NEAR(l.x0, 250, 3);
  EXPECT_EQ(l.y1, 349);
  // Right, top of X: ink ends at the point and hangs from it.
  Ink r = draw(3, 2, "HEHEH");
  EXPECT_NEAR(r.x1, 249, 3);
  EXPECT_NEAR(r.y0, 350, 1);
  EXPECT_NEAR(r.x1 - r.x0, l.x1 - l.x0, 1);
  // Bottom of g: the descender ends on the line.
  Ink g = draw(1, 5, "gag");
  EXPECT_NEAR(g.y1, 349, 1);
  // No shade of any glyph reaches the line: a box filled from it down
  // leaves the text whole.
  for (const char* below : {"(Range:", "OS,;|jpQ"}) {
    draw(1, 5, below);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    pixmap().count([](const Rgb8& c) { return !is_white(c); }, &x0, &y0, &x1, &y1);
    EXPECT_EQ(y1, 349) << below;
  }
  // Top of l and half-way between g and X.
  Ink t = draw(1, 1, "lll");
  EXPECT_NEAR(t.y0, 350, 1);
  Ink m = draw(1, 3, "Xg");
  EXPECT_NEAR(m.cy(), 350.0, 2.0);
  // Turned through 90 degrees the text runs upwards from the point.
  Ink u = draw(1, 0, "HEHEH", 90.0f);
  EXPECT_NEAR(u.y1, 349, 3);
  EXPECT_NEAR(u.y1 - u.y0, l.x1 - l.x0, 2);
  EXPECT_LT(u.x1 - u.x0, 30);
  EXPECT_LE(u.x1, 250);
  // Centred at 45 degrees the centre stays on the point.
  Ink d = draw(2, 6, "HEHEH", 45.0f);
  EXPECT_NEAR(d.cx(), 250.0, 3.0);
  EXPECT_NEAR(d.cy(), 350.0, 3.0);
}

TEST_F(X11Draw, TextWidthIsMeasuredInPageUnits) {
  device->text_font(2);
  device->text_height(0.02f);
  float w10 = 0.0f;
  ASSERT_EQ(device->text_width("iiii..MMWW", w10), vg::device_ok);
  // A monospace face: 10 equal advances of 0.6 of the height, each placed
  // on whole pixels as they are drawn.
  EXPECT_NEAR(w10, 10 * 0.6f * 0.02f, 10 * 0.5f / 707.0f);
  float w1 = 0.0f;
  device->text_width("M", w1);
  EXPECT_NEAR(w10, 10 * w1, 1e-4f);
  // At height 10 (far too large to draw) the width scales with the height.
  device->text_height(10.0f);
  float big = 0.0f;
  device->text_width("iiii..MMWW", big);
  EXPECT_NEAR(big, 10 * 0.6f * 10.0f, 0.2f);
  // The serif face gives narrow i and wide W.
  device->text_font(1);
  device->text_height(0.02f);
  float wi = 0, ww = 0;
  device->text_width("iiii", wi);
  device->text_width("WWWW", ww);
  EXPECT_GT(ww, 2.5f * wi);
  float none = 1.0f;
  device->text_width("", none);
  EXPECT_EQ(none, 0.0f);
}

TEST_F(X11Draw, ClearFillsWithColourZeroAndExposureRestoresThePicture) {
  square(3, 0, 0, 707);
  device->update();
  EXPECT_TRUE(near(window().at(10, 10), 0, 255, 0));
  // The device restores the exposed part from its pixmap in its input calls.
  expose();
  int type = 0;
  float x, y;
  EXPECT_TRUE(kovtest::wait_until([&] {
    EXPECT_EQ(device->coordinate(10, type, x, y), vg::device_ok);
    return near(window().at(250, 350), 0, 255, 0);
  }));
  device->clear();
  device->update();
  EXPECT_TRUE(is_white(window().at(250, 350)));
}

// A clear erases what was drawn since the last one (drawn on the pixmap, or
// shown at once on the window too), held or not; a new background colour
// repaints all of the page, also where nothing was drawn.
TEST_F(X11Draw, ClearTakesAwayWhatWasDrawnAndRepaintsAllForANewBackground) {
  square(3, 50, 50, 50);
  const int red = 2;
  device->cell_array(io::View2D<const int>(&red, 1, 1), 1, 1, 1, 1, wx(300), wy(400), wx(350),
                     wy(350));
  Picture w = window();
  ASSERT_TRUE(near(w.at(75, 75), 0, 255, 0));
  ASSERT_TRUE(near(w.at(325, 375), 255, 0, 0));

  device->set_update();
  device->clear();
  square(4, 200, 200, 50);
  for (const Picture& p : {window(), pixmap()}) {
    EXPECT_TRUE(is_white(p.at(75, 75)));
    EXPECT_TRUE(is_white(p.at(325, 375)));
    EXPECT_TRUE(near(p.at(225, 225), 0, 0, 255));
  }

  const vg::Rgb grey[1] = {{0.5f, 0.5f, 0.5f}};
  device->colour_map(0, 0, grey);
  device->clear();
  w = window();
  EXPECT_TRUE(near(w.at(480, 690), 128, 128, 128, 12));
  EXPECT_TRUE(near(w.at(225, 225), 128, 128, 128, 12));
  const vg::Rgb white[1] = {{1.0f, 1.0f, 1.0f}};
  device->colour_map(0, 0, white);
  device->clear();
  EXPECT_EQ(window().count([](const Rgb8& c) { return !is_white(c); }), 0);
}

// Whatever was drawn, a clear leaves nothing of it: each drawing must
// report all the pixels it touched, or the clear would leave them behind
// (turned monospaced text once piled its letters outside its box).
TEST_F(X11Draw, ClearLeavesNothingOfAnyDrawing) {
  struct Case {
    const char* what;
    std::function<void()> draw;
  };
  const float lx[3] = {wx(40), wx(460), wx(250)}, ly[3] = {wy(60), wy(80), wy(600)};
  const std::vector<Case> cases = {
      {"wide dashed line",
       [&] {
         device->line_width(9.0f);
         device->line_style(2);
         device->polyline(3, lx, ly);
       }},
      {"markers of every type, large",
       [&] {
         device->marker_scale(6.0f);
         for (int type = 1; type <= 5; ++type) {
           device->marker_type(type);
           device->polymarker(3, lx, ly);
         }
       }},
      {"texts at every alignment and angle, large, both fonts",
       [&] {
         device->text_height(0.06f);
         for (int font : {1, 2}) {
           device->text_font(font);
           for (float angle : {0.0f, 33.0f, 90.0f, 180.0f, 270.0f}) {
             device->text_angle(angle);
             for (int h = 1; h <= 3; ++h) {
               device->text_alignment(h, 1 + (h * 2) % 6);
               device->text(wx(250), wy(350), "Wjfg_|(Q)");
             }
           }
         }
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.draw();
    ASSERT_GT(pixmap().count([](const Rgb8& p) { return !is_white(p); }), 0);
    device->clear();
    EXPECT_EQ(pixmap().count([](const Rgb8& p) { return !is_white(p); }), 0);
    EXPECT_EQ(window().count([](const Rgb8& p) { return !is_white(p); }), 0);
  }
}

TEST_F(X11Draw, UpdateRestoresAnExposureAndKeepsTheClickThatCameWithIt) {
  square(3, 0, 0, 707);
  device->update();
  expose();
  const unsigned long id = vg::x11::window_id(*device);
  connection.click(id, 100, 200);
  // The update alone restores the picture...
  EXPECT_TRUE(kovtest::wait_until([&] { return near(window().at(250, 350), 0, 255, 0); }));
  // ...and the click is still there for the input calls that follow.
  int type = vg::event_redraw;
  float x = 0.0f, y = 0.0f;
  EXPECT_TRUE(kovtest::wait_until([&] {
    EXPECT_EQ(device->coordinate(10, type, x, y), vg::device_ok);
    return type != vg::event_redraw && type != vg::event_none;
  }));
  EXPECT_EQ(type, vg::event_button);
  EXPECT_NEAR(x, 100.0f / 707.0f, 0.01f);  // the page is 707 pixels high, 1 unit
}

}  // namespace

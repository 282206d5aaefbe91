// Drawing primitives, the block letters and the PostScript diversion.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "console_capture.h"
#include "gs.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

// The toolkit on the recording window, drawing in page units.
class Window : public kovtest::Graphics {
 public:
  Window() {
    VG_DATAWINDOW(0.0f, 0.0f, 1.0f, 1.0f, status);
    VG_VIEWPORT(0.0f, 0.0f, 1.0f, 1.0f, status);
    window.clear();
  }
};

double signed_area(const std::vector<float>& x, const std::vector<float>& y) {
  double a = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const std::size_t j = (i + 1) % x.size();
    a += static_cast<double>(x[i]) * y[j] - static_cast<double>(x[j]) * y[i];
  }
  return a / 2.0;
}

TEST(GsDraw, RectangleFillsThenOutlinesInTheNamedColours) {
  Window w;
  ASSERT_EQ(w.status, good);
  int status = good;
  GS_FILLSTYLE(1, gs::index1, status);
  GS_LINESTYLE(1, 2.0f, gs::index0, status);
  GS_RECTANGLE(0.1f, 0.2f, 0.3f, 0.4f, true, true, status);
  GS_TRIANGLE(0.1f, 0.1f, 0.2f, 0.1f, 0.15f, 0.2f, false, true, status);
  ASSERT_EQ(status, good);
  const auto calls = w.window.calls();
  std::vector<std::string> kinds;
  for (const auto& c : calls) {
    if (c.kind == "fill_area" || c.kind == "polyline") kinds.push_back(c.kind);
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"fill_area", "polyline", "fill_area"}));
  const auto fills = w.window.calls_of("fill_area");
  EXPECT_EQ(fills[0].x.size(), 4u);
  EXPECT_EQ(fills[0].state.fill_colour, 1);
  EXPECT_EQ(fills[1].x.size(), 3u);
  const auto outline = w.window.calls_of("polyline")[0];
  EXPECT_EQ(outline.x.size(), 5u);
  EXPECT_EQ(outline.state.line_colour, 0);
  EXPECT_FLOAT_EQ(outline.state.line_width, 2.0f);

  int type = 0, colour = 0;
  float width = 0.0f;
  GS_INQ_LINESTYLE(type, width, colour, status);
  EXPECT_EQ(colour, gs::index0);
  GS_FILLSTYLE(1, 16, status);
  EXPECT_EQ(status, 140017);
}

TEST(GsDraw, TextStyleReachesTheDevice) {
  Window w;
  int status = good;
  GS_TEXTSTYLE(2, gs::index1, 0.02f, 1.5f, 90.0f, 2, 6, status);
  ASSERT_EQ(status, good);
  const auto& s = w.window.state();
  EXPECT_EQ(s.text_font, 2);
  EXPECT_EQ(s.text_colour, 1);
  EXPECT_FLOAT_EQ(s.text_height, 0.03f);
  EXPECT_FLOAT_EQ(s.text_angle, 90.0f);
  EXPECT_EQ(s.text_horizontal, 2);
  EXPECT_EQ(s.text_vertical, 6);
}

TEST(GsFont, EveryLowerCaseLetterIsOneOrTwoPolygonsOnTheGrid) {
  for (char c = 'a'; c <= 'z'; ++c) {
    const gs::Glyph g = gs::glyph(c);
    ASSERT_TRUE(g.available) << c;
    ASSERT_GE(g.xs.size(), 1u) << c;
    ASSERT_LE(g.xs.size(), 2u) << c;
    EXPECT_GT(g.width, 0.0f) << c;
    for (std::size_t p = 0; p < g.xs.size(); ++p) {
      ASSERT_EQ(g.xs[p].size(), g.ys[p].size());
      EXPECT_GE(g.xs[p].size(), 4u) << c;
      // Counter-clockwise outlines, holes (if any) already subtracted.
      EXPECT_GT(signed_area(g.xs[p], g.ys[p]), 1.0) << c << " polygon " << p;
      for (std::size_t i = 0; i < g.xs[p].size(); ++i) {
        EXPECT_GE(g.xs[p][i], 0.0f) << c;
        EXPECT_LE(g.xs[p][i], g.width) << c;
        EXPECT_GE(g.ys[p][i], -3.0f) << c;
        EXPECT_LE(g.ys[p][i], 9.0f) << c;
      }
    }
  }
  EXPECT_FALSE(gs::glyph('K').available);
  EXPECT_FALSE(gs::glyph('1').available);
  // "o" is a ring: its area is the square less the hole.
  const gs::Glyph o = gs::glyph('o');
  EXPECT_NEAR(signed_area(o.xs[0], o.ys[0]), 5.0 * 6.0 - 2.0 * 3.0, 1e-4);
}

TEST(GsFont, DrawCharacterScalesPlacesAndAdvances) {
  Window w;
  int status = good;
  GS_SET_CHAR_SCALING(0.02f, 0.03f, status);
  GS_FILLSTYLE(1, gs::index1, status);
  w.window.clear();
  float x = 0.1f;
  GS_DRAW_CHARACTER('k', x, 0.2f, status);
  ASSERT_EQ(status, good);
  const gs::Glyph k = gs::glyph('k');
  const auto fills = w.window.calls_of("fill_area");
  ASSERT_EQ(fills.size(), 1u);
  ASSERT_EQ(fills[0].x.size(), k.xs[0].size());
  for (std::size_t i = 0; i < k.xs[0].size(); ++i) {
    EXPECT_NEAR(fills[0].x[i], 0.1f + 0.02f * k.xs[0][i], 1e-6f);
    EXPECT_NEAR(fills[0].y[i], 0.2f + 0.03f * k.ys[0][i], 1e-6f);
  }
  EXPECT_EQ(fills[0].state.fill_colour, 1);
  EXPECT_NEAR(x, 0.1f + 0.02f * k.width, 1e-6f);

  // "i" is two polygons: stem and dot.
  w.window.clear();
  GS_DRAW_CHARACTER('i', x, 0.2f, status);
  EXPECT_EQ(w.window.count("fill_area"), 2);

  // No glyph: a warning, nothing drawn, the pen stays.
  w.window.clear();
  const float before = x;
  GS_DRAW_CHARACTER('#', x, 0.2f, status);
  EXPECT_EQ(status, good);
  EXPECT_EQ(w.window.count("fill_area"), 0);
  EXPECT_EQ(x, before);
  EXPECT_EQ(w.console.lines(), std::vector<std::string>{"WARNING: Letter not available"});
}

TEST(GsPrint, DrawingIsDivertedToAPostScriptFileAndBack) {
  kovtest::TempDir dir;
  Window w;
  int status = good;
  const std::string file = dir.file("screen.ps");
  GS_OPEN_PS(file, status);
  ASSERT_EQ(status, good);
  bool open = false;
  GS_INQ_PSFILE(open, status);
  EXPECT_TRUE(open);
  GS_ON_PRINT(false, status);
  ASSERT_EQ(status, good);
  EXPECT_EQ(w.console.lines(),
            std::vector<std::string>{"INFO: Writing graphics file: Please wait"});
  w.window.clear();
  GS_FILLSTYLE(1, gs::red, status);
  GS_RECTANGLE(0.1f, 0.1f, 0.4f, 0.3f, false, true, status);
  EXPECT_EQ(w.window.count("fill_area"), 0);  // not in the window
  GS_OFF_PRINT(status);
  GS_RECTANGLE(0.1f, 0.1f, 0.4f, 0.3f, false, true, status);
  EXPECT_EQ(w.window.count("fill_area"), 1);  // the window again
  GS_CLOSE_PS(status);
  ASSERT_EQ(status, good);
  GS_INQ_PSFILE(open, status);
  EXPECT_FALSE(open);
  const std::string text = kovtest::read_file(file);
  EXPECT_EQ(text.rfind("%!PS", 0), 0u) << text.substr(0, 80);
  EXPECT_NE(text.find("showpage"), std::string::npos);

  GS_OPEN_PS("   ", status);
  EXPECT_EQ(status, 140033);
}

TEST(GsPrint, UnwritableFileIsReported) {
  Window w;
  int status = good;
  GS_OPEN_PS("/nonexistent-directory/x.ps", status);
  EXPECT_EQ(status, 11000);
  ASSERT_GE(w.console.lines().size(), 3u);
  EXPECT_EQ(w.console.lines()[0], "ERROR: Failed to open ASCII text file. May be you do not");
  EXPECT_EQ(w.console.lines()[1], "       have write permission.");
}

}  // namespace

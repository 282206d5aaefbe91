// The state scopes: nested scopes give back what each found, a scope puts
// the state back on every way out, and the devices hear only of what
// changed.
#include <array>

#include "gs_widget_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using widgettest::good;
using widgettest::Toolkit;

// What the caller sees of the state the scopes keep.
struct Seen {
  gs::TextStyle text;
  gs::FillStyle fill;
  gs::Box gui, dddr;
  std::array<float, 4> window{}, viewport{};
  bool clip = false;
  float char_x = 0.0f, char_y = 0.0f;
  bool operator==(const Seen&) const = default;
};

Seen seen() {
  Seen v;
  int s = good;
  GS_INQ_TEXTSTYLE(v.text, s);
  GS_INQ_FILLSTYLE(v.fill, s);
  GS_INQ_GUIREGION(v.gui, s);
  GS_INQ_DDDR(v.dddr, s);
  VG_INQ_DATAWINDOW(v.window[0], v.window[1], v.window[2], v.window[3], s);
  VG_INQ_VIEWPORT(v.viewport[0], v.viewport[1], v.viewport[2], v.viewport[3], s);
  VG_INQ_CLIP(v.clip, s);
  GS_INQ_CHAR_SCALING(v.char_x, v.char_y, s);
  EXPECT_EQ(s, good);
  return v;
}

// Changes everything the widget scope keeps.
void change_all(int font, int colour, float x, int& status) {
  GS_TEXTSTYLE(font, colour, 0.03f, 1.0f, 0.0f, 2, 6, status);
  GS_FILLSTYLE(1, colour, status);
  GS_SET_GUIREGION(gs::Box{0.0f, 0.0f, x, 0.2f}, status);
  GS_SET_DDDR(gs::Box{-x, -x, x, x}, status);
  VG_DATAWINDOW(-x, 0.0f, x, 1.0f, status);
  VG_CLIPWINDOW(0.0f, 0.0f, x, x, status);
  VG_CLIP(true, status);
  GS_SET_CHAR_SCALING(x, x, status);
}

TEST(GsScope, NestedScopesGiveBackWhatEachFound) {
  Toolkit t;
  int status = good;
  change_all(2, gs::green, 0.5f, status);
  const Seen caller = seen();
  {
    const gs::WidgetScope outer;
    // The widget draws in page units, unclipped.
    const Seen inside = seen();
    EXPECT_EQ(inside.window, (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_EQ(inside.viewport, (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_FALSE(inside.clip);
    change_all(1, gs::red, 0.4f, status);
    const Seen outer_state = seen();
    {
      const gs::WidgetScope inner;
      change_all(2, gs::cyan, 0.3f, status);
    }
    EXPECT_EQ(seen(), outer_state);
  }
  ASSERT_EQ(status, good);
  EXPECT_EQ(seen(), caller);
  // The device has the caller's state again.
  EXPECT_EQ(t.window.state().fill_colour, t.index(gs::green));
  EXPECT_FLOAT_EQ(t.window.state().window[0], -0.5f);
  EXPECT_TRUE(t.window.state().clip);
  EXPECT_FLOAT_EQ(t.window.state().clip_rectangle[2], 0.5f);
}

// A widget that changes the state and fails half way, returning at once.
void failing_widget(int& status) {
  const gs::WidgetScope scope;
  const gs::MenuLayoutScope layout(gs::MenuGrid{1, 4, 30, 10}, status);
  change_all(1, gs::yellow, 0.25f, status);
  GS_FILLSTYLE(1, 99, status);  // refused: the status goes bad
  if (status != good) return;
  GS_FILLSTYLE(1, gs::blue, status);
}

TEST(GsScope, StateComesBackAfterAnEarlyReturnWithABadStatus) {
  Toolkit t;
  int status = good;
  change_all(2, gs::green, 0.5f, status);
  const Seen caller = seen();
  gs::MenuGrid grid;
  GS_INQ_MENULAYOUT(grid, status);
  failing_widget(status);
  EXPECT_EQ(status, 140017);
  EXPECT_EQ(seen(), caller);
  gs::MenuGrid after;
  int s = good;
  GS_INQ_MENULAYOUT(after, s);
  EXPECT_EQ(after, grid);
  EXPECT_EQ(t.window.state().fill_colour, t.index(gs::green));
  // The user escape too.
  {
    const gs::WidgetScope scope;
    change_all(1, gs::yellow, 0.25f, s);
    int type = 0;
    float x = 0, y = 0;
    VG_INP_COORDINATE(gs::window_workstation, 0, type, x, y, s);  // nothing scripted: closed
    EXPECT_EQ(s, io::status_escape);
  }
  EXPECT_EQ(seen(), caller);
}

TEST(GsScope, OnlyTheChangesAreSent) {
  Toolkit t;
  int status = good;
  // A scope in which nothing changes sends nothing, not even the transform
  // (the unit square is in force).
  { const gs::WidgetScope scope; }
  EXPECT_TRUE(t.window.calls().empty()) << t.window.dump();

  GS_LINESTYLE(1, 1.0f, gs::black, status);
  VG_DATAWINDOW(0.0f, 0.0f, 2.0f, 2.0f, status);
  t.window.clear();
  {
    const gs::DrawingScope scope;
    GS_LINESTYLE(1, 2.0f, gs::red, status);
    GS_FILLSTYLE(1, gs::blue, status);
    GS_FILLSTYLE(1, gs::black, status);  // back as it was: nothing to send
    t.window.clear();
  }
  EXPECT_EQ(t.window.lines(),
            (Lines{"line_colour " + std::to_string(t.index(gs::black)), "line_width 1"}));

  // The widget scope: the unit transform and back, once each.
  t.window.clear();
  {
    const gs::WidgetScope scope;
    GS_SET_GUIREGION(gs::Box{0.0f, 0.0f, 0.5f, 0.5f}, status);  // no device state
  }
  EXPECT_EQ(t.window.lines(), (Lines{"transform window=(0,0,1,1) viewport=(0,0,1,1)",
                                     "transform window=(0,0,2,2) viewport=(0,0,1,1)"}));
  EXPECT_EQ(status, good);
}

TEST(GsScope, MenuLayoutScopeSetsAndPutsBack) {
  Toolkit t;
  int status = good;
  GS_SET_MENULAYOUT(gs::MenuGrid{0, 2, 40, 20}, status);
  {
    const gs::MenuLayoutScope layout(gs::MenuGrid{1, 5, 30, 10}, status);
    gs::MenuGrid now;
    GS_INQ_MENULAYOUT(now, status);
    EXPECT_EQ(now, (gs::MenuGrid{1, 5, 30, 10}));
    {
      const gs::MenuLayoutScope keep;
      GS_SET_MENULAYOUT(gs::MenuGrid{0, 3, 20, 20}, status);
    }
    GS_INQ_MENULAYOUT(now, status);
    EXPECT_EQ(now, (gs::MenuGrid{1, 5, 30, 10}));
  }
  gs::MenuGrid now;
  GS_INQ_MENULAYOUT(now, status);
  EXPECT_EQ(now, (gs::MenuGrid{0, 2, 40, 20}));
  // A grid refused on entry: the status tells, the layout stays.
  {
    const gs::MenuLayoutScope bad(gs::MenuGrid{0, 0, 40, 20}, status);
    EXPECT_EQ(status, 140017);
  }
  int s = good;
  GS_INQ_MENULAYOUT(now, s);
  EXPECT_EQ(now, (gs::MenuGrid{0, 2, 40, 20}));
}

}  // namespace

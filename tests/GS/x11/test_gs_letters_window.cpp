// The block letters in a real window: the whole alphabet, for a look at the
// glyphs (screenshot in the test output directory) and a pixel check.
#include "../../VG/x11/x11_support.h"

#include "gs.h"
#include "vg_fixture.h"

namespace {

TEST(GsLettersWindow, AlphabetIsDrawnInTheFillColour) {
  KOV_NEED_DISPLAY();
  x11test::Connection x;
  ASSERT_NE(x.get(), nullptr);
  int status = 0;
  kovtest::open_graphics({}, status);
  ASSERT_EQ(status, io::status_good);
  VG_DATAWINDOW(0.0f, 0.0f, 1.0f, 1.0f, status);
  VG_VIEWPORT(0.0f, 0.0f, 1.0f, 1.0f, status);
  GS_FILLSTYLE(1, gs::blue, status);
  GS_RECTANGLE(0.0f, 0.0f, 0.7071f, 1.0f, false, true, status);
  GS_SET_CHAR_SCALING(0.008f, 0.008f, status);
  GS_FILLSTYLE(1, gs::yellow, status);
  const std::string rows[3] = {"abcdefghi", "jklmnopqr", "stuvwxyz"};
  for (int r = 0; r < 3; ++r) {
    float pen = 0.04f;
    for (char c : rows[r]) GS_DRAW_CHARACTER(c, pen, 0.8f - 0.2f * r, status);
  }
  VG_UPDATE(gs::window_workstation, 0, status);
  ASSERT_EQ(status, io::status_good);

  Window root, parent, *children = nullptr;
  unsigned n = 0;
  unsigned long window = 0;
  XQueryTree(x.get(), DefaultRootWindow(x.get()), &root, &parent, &children, &n);
  for (unsigned i = 0; i < n; ++i) {
    char* name = nullptr;
    if (XFetchName(x.get(), children[i], &name) != 0 && name != nullptr) {
      if (std::string(name) == "Vellum Graphics Window") window = children[i];
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  ASSERT_NE(window, 0u);
  const x11test::Picture p = x.grab(window);
  const auto yellow = [](const x11test::Rgb8& c) { return x11test::near(c, 255, 255, 0, 30); };
  EXPECT_GT(p.count(yellow), 5000);
  x11test::screenshot(window, "gs_block_letters");
  kovtest::close_graphics();
}

}  // namespace

// The toolkit opened on the real window, portrait (parameter false) or
// landscape (true), for the window tests of the toolkit: the window, its
// size, screenshots by name and pictures taken once the drawing is complete.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "../../VG/x11/x11_support.h"
#include "gs.h"
#include "vg_fixture.h"
#include "wait.h"

namespace x11test {

class ToolkitWindow : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    KOV_NEED_DISPLAY();
    kovtest::open_graphics(
        landscape() ? std::vector<std::string>{"+LAND"} : std::vector<std::string>{}, status);
    ASSERT_EQ(status, io::status_good);
    window = vg::x11::window_id();
    ASSERT_NE(window, 0u);
    connection.window_size(window, width, height);
    connection.focus(window);
  }
  void TearDown() override { kovtest::close_graphics(); }
  bool landscape() const { return GetParam(); }
  // "<prefix><what>_portrait" or "<prefix><what>_landscape".
  std::string name(const std::string& what) const {
    return prefix + what + (landscape() ? "_landscape" : "_portrait");
  }
  // Updates the window, saves its screenshot and returns its picture.
  Picture shot(const std::string& what) {
    VG_UPDATE(gs::window_workstation, 0, status);
    EXPECT_FALSE(screenshot(window, name(what)).empty());
    return connection.grab(window);
  }
  // Window pixel of a page position.
  int px(float x) const {
    return static_cast<int>(x * static_cast<float>(std::max(width, height)));
  }
  int py(float y) const {
    return height - static_cast<int>(y * static_cast<float>(std::max(width, height)));
  }
  // A click at the centre of a box in page units.
  void click(const gs::Box& b, unsigned button = 1) {
    connection.click(window, px(0.5f * (b.xmin + b.xmax)), py(0.5f * (b.ymin + b.ymax)), button);
  }
  // The window once `wanted` holds of it and its drawing is complete.
  template <typename Wanted>
  Picture settled(Wanted wanted) {
    return kovtest::settled_picture([&] { return connection.grab(window); }, wanted);
  }
  // The window once it differs from `before` and its drawing is complete.
  Picture changed_from(const Picture& before) {
    return settled([&](const Picture& p) { return p.pixels != before.pixels; });
  }

  std::string prefix = "gs_";  // of the screenshots' names
  Connection connection;
  unsigned long window = 0;
  int width = 0, height = 0;
  int status = 0;
};

}  // namespace x11test

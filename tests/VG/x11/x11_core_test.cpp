// The window device driven through the core routines: the scene in portrait
// and landscape windows (with screenshots), the user closing the window, and
// the ways opening can fail or the connection can be lost.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "io_testing.h"
#include "x11_scene.h"
#include "x11_support.h"

using namespace x11test;

namespace {

class X11Core : public ::testing::Test {
 protected:
  void SetUp() override {
    KOV_NEED_DISPLAY();
    status = io::status_good;
    VG_OPEN(0, status);
  }
  void TearDown() override {
    int s = io::status_good;
    VG_CLOSE(s);
  }
  int status = io::status_good;
  Connection connection;
};

TEST_F(X11Core, SceneInPortraitAndLandscapeWindows) {
  SceneData data;
  for (int type : {vg::type_window_portrait, vg::type_window_landscape}) {
    const bool landscape = type == vg::type_window_landscape;
    VG_OPEN_WK(1, 0, type, status);
    VG_ACTIVATE_WK(1, status);
    ASSERT_EQ(status, io::status_good);
    int w = 0, h = 0;
    VG_INQ_SIZE(1, w, h, status);
    EXPECT_EQ(w, landscape ? 707 : 500);
    EXPECT_EQ(h, landscape ? 500 : 707);
    draw_scene(data, landscape, status);
    VG_UPDATE(1, 0, status);
    ASSERT_EQ(status, io::status_good);
    Picture p = connection.grab(vg::x11::window_id());
    ASSERT_EQ(p.width, w);
    // The red triangle's middle, the blue shape, the grey panel, white margin.
    const auto at = [&](float x, float y) {
      return p.at(static_cast<int>(x * (w - 1)), static_cast<int>((1.0f - y) * (h - 1)));
    };
    EXPECT_TRUE(near(at(0.19f, 0.13f), 255, 0, 0));
    EXPECT_TRUE(near(at(0.43f, 0.15f), 0, 0, 255));
    EXPECT_TRUE(near(at(0.58f, 0.90f), 191, 191, 191));
    EXPECT_TRUE(is_white(at(0.01f, 0.5f)));
    // The masked corner of the cell array is red, the rest greys.
    EXPECT_TRUE(near(at(0.92f, 0.64f), 255, 0, 0));
    const Rgb8 c = at(0.70f, 0.45f);
    EXPECT_TRUE(c.r == c.g && c.g == c.b);
    const std::string file =
        screenshot(vg::x11::window_id(), landscape ? "x11_scene_landscape" : "x11_scene_portrait");
    EXPECT_TRUE(std::filesystem::exists(file));
    VG_CLOSE_WK(1, status);
    EXPECT_EQ(vg::x11::window_id(), 0u);
  }
}

TEST_F(X11Core, TextWidthAndSizeInquiriesGoThroughTheDevice) {
  VG_OPEN_WK(1, 0, vg::type_window_portrait, status);
  VG_ACTIVATE_WK(1, status);
  VG_TEXTFONT(2, status);
  VG_TEXTHEIGHT(10.0f, status);
  float width = 0.0f;
  VG_INQ_TEXTWIDTH("iiii..MMWW", width, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_NEAR(width, 60.0f, 0.2f);
  VG_TITLE(1, "A NEW TITLE", status);
  char* name = nullptr;
  ASSERT_NE(XFetchName(connection.get(), vg::x11::window_id(), &name), 0);
  EXPECT_STREQ(name, "A NEW TITLE");
  XFree(name);
  VG_BELL(status);
  EXPECT_EQ(status, io::status_good);
  VG_CLOSE_WK(1, status);
}

TEST_F(X11Core, ClosingTheWindowWhileInputWaitsGivesTheEscapeStatus) {
  VG_OPEN_WK(1, 0, vg::type_window_portrait, status);
  VG_ACTIVATE_WK(1, status);
  const unsigned long window = vg::x11::window_id();
  connection.close_request(window);
  int type = 0, ws = 0;
  float x = 0, y = 0;
  std::string text;
  VG_INP_EVENT(1, 0, false, "", false, "", 0, 0, 0, 0, type, ws, x, y, text, status);
  EXPECT_EQ(status, io::status_escape);
  status = io::status_good;
  connection.close_request(window);
  VG_INP_COORDINATE(1, 0, type, x, y, status);
  EXPECT_EQ(status, io::status_escape);
  status = io::status_good;
  VG_CLOSE_WK(1, status);
}

TEST(X11Open, NoDisplayGivesAnErrorLineAndStatus132001) {
  EnvSetting no_display("DISPLAY", nullptr);
  kovtest::ConsoleCapture console;
  EXPECT_EQ(vg::open_x11_device(vg::page_portrait, 0, 0, 500, 707), nullptr);
  ASSERT_FALSE(console.lines().empty());
  EXPECT_EQ(console.lines()[0].rfind("ERROR: ", 0), 0u);
  EXPECT_NE(console.lines()[0].find("DISPLAY"), std::string::npos);
  int status = io::status_good;
  VG_OPEN(0, status);
  VG_OPEN_WK(1, 0, vg::type_window_portrait, status);
  EXPECT_EQ(status, 132001);
  int s = io::status_good;
  VG_CLOSE(s);
}

TEST(X11Open, UnreachableDisplayIsNamedInTheErrorLine) {
  EnvSetting bad_display("DISPLAY", ":987");
  kovtest::ConsoleCapture console;
  EXPECT_EQ(vg::open_x11_device(vg::page_portrait, 0, 0, 500, 707), nullptr);
  ASSERT_EQ(console.lines().size(), 1u);
  EXPECT_EQ(console.lines()[0].rfind("ERROR: ", 0), 0u);
  EXPECT_NE(console.lines()[0].find(":987"), std::string::npos);
}

void console_to_stderr(const std::string& text, bool newline, void*) {
  std::fprintf(stderr, "%s%s", text.c_str(), newline ? "\n" : "");
}

TEST(X11OpenDeathTest, LostConnectionEndsTheProgramWithAnErrorLine) {
  KOV_NEED_DISPLAY();
  PrivateServer server;
  if (!server.ready()) GTEST_SKIP() << "no private Xvfb could be started";
  EXPECT_EXIT(
      {
        io::set_console_sink(console_to_stderr, nullptr);
        EnvSetting display("DISPLAY", server.name().c_str());
        auto device = vg::open_x11_device(vg::page_portrait, 0, 0, 500, 707);
        if (!device) std::_Exit(3);
        server.stop();
        vg::EventRequest r;
        vg::Event e;
        device->event(r, e);  // the server is gone: no return from here
        std::_Exit(4);
      },
      ::testing::ExitedWithCode(1),
      "ERROR: Lost the connection to the X server on display " + server.name());
}

}  // namespace

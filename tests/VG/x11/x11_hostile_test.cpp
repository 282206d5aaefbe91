// The window device under a hostile desktop: a window made far larger than
// any picture behind it may be, a window destroyed by another client, and
// displays where no X server serves (silent, answering garbage, refusing us).
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "x11_support.h"

using namespace x11test;

namespace {

// One pixel of a drawable, read without fetching all of a large one.
Rgb8 pixel(Display* display, unsigned long drawable, int x, int y) {
  XSync(display, False);
  XImage* image = XGetImage(display, drawable, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return {-1, -1, -1};
  const unsigned long v = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return {static_cast<int>((v >> 16) & 0xff), static_cast<int>((v >> 8) & 0xff),
          static_cast<int>(v & 0xff)};
}

void drawable_size(Display* display, unsigned long drawable, int& width, int& height) {
  Window root;
  int x, y;
  unsigned w = 0, h = 0, border, depth;
  XSync(display, False);
  XGetGeometry(display, drawable, &root, &x, &y, &w, &h, &border, &depth);
  width = static_cast<int>(w);
  height = static_cast<int>(h);
}

TEST(X11Hostile, HugeWindowsAreDrawnWithinTheLargestPicture) {
  KOV_NEED_DISPLAY();
  auto device = open_device();
  ASSERT_TRUE(device);
  Connection connection;
  Display* d = connection.get();
  const unsigned long window = vg::x11::window_id(*device);
  struct Size {
    int width, height;
  };
  // The window ends at the page's shape (the long side corrected), the
  // picture within 8192 pixels at the same shape; back to a small window,
  // the picture follows it again.
  for (const Size size : {Size{32767, 32767}, Size{20000, 28000}, Size{400, 707}}) {
    SCOPED_TRACE(std::to_string(size.width) + " by " + std::to_string(size.height));
    ASSERT_TRUE(resized_and_redrawn(connection, *device, window, size.width, size.height));
    int w = 0, h = 0;
    ASSERT_EQ(device->inq_size(w, h), vg::device_ok);
    EXPECT_LE(std::max(w, h), vg::x11::WindowDevice::max_pixmap_side);
    EXPECT_NEAR(static_cast<double>(h) / w, 1.414214, 0.002);
    int pw = 0, ph = 0;
    drawable_size(d, vg::x11::pixmap_id(*device), pw, ph);
    EXPECT_EQ(pw, w);
    EXPECT_EQ(ph, h);
    int ww = 0, wh = 0;
    connection.window_size(window, ww, wh);
    EXPECT_GE(ww, w);
    EXPECT_GE(wh, h);
    // Drawing goes on at the picture's scale: the whole page in green, and
    // the window shows it where the picture lies.
    device->fill_colour(3);
    const float fx[4] = {0, 500, 500, 0};
    const float fy[4] = {0, 0, 707, 707};
    ASSERT_EQ(device->fill_area(4, fx, fy), vg::device_ok);
    ASSERT_EQ(device->update(), vg::device_ok);
    EXPECT_TRUE(near(pixel(d, vg::x11::pixmap_id(*device), w / 2, h / 2), 0, 255, 0));
    EXPECT_TRUE(near(pixel(d, vg::x11::pixmap_id(*device), w - 1, h - 1), 0, 255, 0));
    EXPECT_TRUE(near(pixel(d, window, 10, 10), 0, 255, 0));
    device->clear();
  }
}

// The program's part of it, in a child of its own: 0 when all went well.
int destroyed_window_run() {
  kovtest::ConsoleCapture console;
  int status = io::status_good;
  VG_OPEN(0, status);
  VG_OPEN_WK(1, 0, vg::type_window_portrait, status);
  VG_ACTIVATE_WK(1, status);
  const unsigned long window = vg::x11::window_id();
  {
    Connection other;
    XDestroyWindow(other.get(), window);
    XSync(other.get(), False);
  }
  // Drawing made before the device hears of it goes on without a word.
  VG_CLEAR(status);
  const float x[2] = {0.1f, 0.9f};
  const float y[2] = {0.1f, 0.9f};
  VG_POLYLINE(2, x, y, status);
  VG_UPDATE(1, 0, status);
  const bool drew = status == io::status_good;
  int type = 0, ws = 0;
  float px = 0, py = 0;
  std::string text;
  VG_INP_EVENT(1, 0, false, "", false, "", 0, 0, 0, 0, type, ws, px, py, text, status);
  const bool escaped = status == io::status_escape;
  status = io::status_good;
  VG_INP_COORDINATE(1, 0, type, px, py, status);
  const bool escaped_again = status == io::status_escape;
  status = io::status_good;
  VG_CLOSE_WK(1, status);
  VG_CLOSE(status);
  const bool closed = status == io::status_good;
  const bool quiet = console.text().find("ERROR") == std::string::npos;
  std::fprintf(stderr, "drew %d escaped %d %d closed %d quiet %d\n%s", drew, escaped, escaped_again,
               closed, quiet, console.text().c_str());
  return drew && escaped && escaped_again && closed && quiet ? 0 : 1;
}

// An alarm ends the child should the device wait for ever.
TEST(X11HostileDeathTest, AWindowDestroyedByAnotherClientIsAClose) {
  KOV_NEED_DISPLAY();
  EXPECT_EXIT((alarm(20), std::_Exit(destroyed_window_run())), ::testing::ExitedWithCode(0), "");
}

TEST(X11Hostile, DisplaysWhereNoServerServesAreNamedWithinTheTimeLimit) {
  KOV_NEED_DISPLAY();
  FakeServer garbage(FakeServer::garbage);
  ASSERT_TRUE(garbage.ready());
  RefusingServer refusing;
  ASSERT_TRUE(refusing.ready());
  EnvSetting no_cookie("XAUTHORITY", refusing.no_cookie().c_str());
  for (const std::string& name : {garbage.name(), refusing.name()}) {
    SCOPED_TRACE(name);
    EnvSetting display("DISPLAY", name.c_str());
    kovtest::ConsoleCapture console;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(vg::open_x11_device(vg::page_portrait, 0, 0, 500, 707), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(console.lines().size(), 1u) << console.text();
    EXPECT_EQ(console.lines()[0].rfind("ERROR: ", 0), 0u);
    EXPECT_NE(console.lines()[0].find(name), std::string::npos);
  }
}

TEST(X11Hostile, ASilentServerIsGivenUpAfterTenSeconds) {
  KOV_NEED_DISPLAY();
  FakeServer silent(FakeServer::silent);
  ASSERT_TRUE(silent.ready());
  EnvSetting display("DISPLAY", silent.name().c_str());
  kovtest::ConsoleCapture console;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(vg::open_x11_device(vg::page_portrait, 0, 0, 500, 707), nullptr);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::seconds(9));
  EXPECT_LT(waited, std::chrono::seconds(15));
  ASSERT_EQ(console.lines().size(), 1u) << console.text();
  EXPECT_EQ(console.lines()[0], "ERROR: The X server on display " + silent.name() +
                                    " took the connection but did not answer within 10 seconds");
}

}  // namespace

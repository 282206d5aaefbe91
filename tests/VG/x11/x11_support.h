// Helpers of the window device tests: a connection of the test's own to the
// X server (to read pixels back and to inject events with XTest), the device
// opened with a transform in which one world unit is about one pixel, and
// screenshots.
#pragma once

// GoogleTest first: Xlib's macros (None, Bool, Status ...) must not reach it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../picture.h"
#include "console_capture.h"
#include "vg.h"
#include "vg_x11.h"
#include "wait.h"

extern char** environ;

namespace x11test {

// Skips (or, with KOV_REQUIRE_X11 set, fails) when no display is there.
#define KOV_NEED_DISPLAY()                                                     \
  do {                                                                         \
    const char* display_ = std::getenv("DISPLAY");                             \
    if (display_ == nullptr || display_[0] == '\0') {                          \
      if (std::getenv("KOV_REQUIRE_X11") != nullptr) {                         \
        FAIL() << "DISPLAY is not set but KOV_REQUIRE_X11 asks for X11 tests"; \
      }                                                                        \
      GTEST_SKIP() << "DISPLAY is not set";                                    \
    }                                                                          \
  } while (false)

class Connection {
 public:
  // A server without a client left resets itself, and drops connections
  // that come meanwhile: the test's own connection is tried again until it
  // is made (10 seconds at most).
  Connection() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') return;
    kovtest::wait_until([&] { return (display_ = XOpenDisplay(nullptr)) != nullptr; });
  }
  ~Connection() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Display* get() const { return display_; }

  Picture grab(unsigned long drawable) const {
    Picture p;
    Window root;
    int x, y;
    unsigned w, h, border, depth;
    XSync(display_, False);
    if (XGetGeometry(display_, drawable, &root, &x, &y, &w, &h, &border, &depth) == 0) return p;
    XImage* image = XGetImage(display_, drawable, 0, 0, w, h, AllPlanes, ZPixmap);
    if (image == nullptr) return p;
    // A pixmap has no visual: take the masks of the screen's default one.
    Visual* visual = DefaultVisual(display_, DefaultScreen(display_));
    if (image->red_mask == 0) {
      image->red_mask = visual->red_mask;
      image->green_mask = visual->green_mask;
      image->blue_mask = visual->blue_mask;
    }
    p.width = static_cast<int>(w);
    p.height = static_cast<int>(h);
    p.pixels.resize(static_cast<std::size_t>(w) * h);
    const auto channel = [](unsigned long v, unsigned long mask) {
      int shift = 0;
      while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
      }
      return mask == 0 ? 0 : static_cast<int>(((v >> shift) & mask) * 255 / mask);
    };
    for (int yy = 0; yy < p.height; ++yy) {
      for (int xx = 0; xx < p.width; ++xx) {
        const unsigned long v = XGetPixel(image, xx, yy);
        p.pixels[static_cast<std::size_t>(yy * p.width + xx)] = {channel(v, image->red_mask),
                                                                 channel(v, image->green_mask),
                                                                 channel(v, image->blue_mask)};
      }
    }
    XDestroyImage(image);
    return p;
  }

  void window_size(unsigned long window, int& width, int& height) const {
    XWindowAttributes a;
    XSync(display_, False);
    XGetWindowAttributes(display_, window, &a);
    width = a.width;
    height = a.height;
  }

  // Moves the pointer to a pixel of the window.
  void move_to(unsigned long window, int x, int y) const {
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rx, ry, CurrentTime);
    XSync(display_, False);
  }
  void click(unsigned long window, int x, int y, unsigned button = 1) const {
    move_to(window, x, y);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
  }
  void key(KeySym keysym, bool shift = false) const {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    const KeyCode shift_code = XKeysymToKeycode(display_, XK_Shift_L);
    if (shift) XTestFakeKeyEvent(display_, shift_code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shift_code, False, CurrentTime);
    XSync(display_, False);
  }
  // Types lower-case letters, digits, blanks and a few signs.
  void type(const std::string& text) const {
    for (char c : text) {
      if (c == ' ') {
        key(XK_space);
      } else if (c == '.') {
        key(XK_period);
      } else if (c >= 'A' && c <= 'Z') {
        key(static_cast<KeySym>(XK_a + (c - 'A')), true);
      } else {
        key(static_cast<KeySym>(c));
      }
    }
  }
  // Points the keyboard at the window (no window manager does it here).
  void focus(unsigned long window) const {
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
  }
  void close_request(unsigned long window) const {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &e);
    XSync(display_, False);
  }

 private:
  Display* display_ = nullptr;
};

// Sets or removes an environment variable for one test.
class EnvSetting {
 public:
  EnvSetting(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvSetting() {
    if (had_) {
      setenv(name_.c_str(), old_.c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  EnvSetting(const EnvSetting&) = delete;
  EnvSetting& operator=(const EnvSetting&) = delete;

 private:
  std::string name_, old_;
  bool had_ = false;
};

// A display number with no server and no socket (from `first` on).
inline int free_display_number(int first) {
  for (int number = first; number < first + 40; ++number) {
    if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)) &&
        !std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
      return number;
    }
  }
  return -1;
}

// A private X server of the test's own (so that it can be killed, or made
// to refuse clients), on a free display number from `first` on.
class PrivateServer {
 public:
  explicit PrivateServer(const std::vector<std::string>& options = {"-screen", "0", "800x900x24"},
                         int first = 180) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return;
    const int number = free_display_number(first);
    if (number < 0) return;
    name_ = ":" + std::to_string(number);
    std::vector<std::string> args = {"Xvfb", name_};
    for (const auto& a : options) args.push_back(a);
    args.push_back("-nolisten");
    args.push_back("tcp");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, "/usr/bin/Xvfb", &actions, nullptr, argv.data(), environ) == 0) {
      pid_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
    // Ready once it takes connections on its socket.
    const std::string socket_file = "/tmp/.X11-unix/X" + std::to_string(number);
    ready_ = pid_ != 0 && kovtest::wait_until([&] {
               const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
               sockaddr_un sa{};
               sa.sun_family = AF_UNIX;
               std::snprintf(sa.sun_path, sizeof sa.sun_path, "%s", socket_file.c_str());
               const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
               close(fd);
               return ok;
             });
  }
  ~PrivateServer() { stop(); }
  PrivateServer(const PrivateServer&) = delete;
  PrivateServer& operator=(const PrivateServer&) = delete;
  void stop() {
    if (pid_ == 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }
  bool ready() const { return ready_; }
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = 0;
  bool ready_ = false;
  std::string name_;
};

// Something that is not an X server on a display's socket: it takes the
// connection and then says nothing, or answers with text.
class FakeServer {
 public:
  enum Kind { silent, garbage };
  explicit FakeServer(Kind kind, int first = 200) {
    const int number = free_display_number(first);
    if (number < 0) return;
    path_ = "/tmp/.X11-unix/X" + std::to_string(number);
    fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    std::snprintf(sa.sun_path, sizeof sa.sun_path, "%s", path_.c_str());
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(fd_, 8) != 0) {
      return;
    }
    name_ = ":" + std::to_string(number);
    // A silent one never takes the connection off the queue: the client's
    // connect succeeds all the same.
    if (kind == garbage) {
      answering_ = std::thread([this] {
        for (;;) {
          const int client = accept(fd_, nullptr, nullptr);
          if (client < 0 || stop_) {
            if (client >= 0) close(client);
            return;
          }
          const char text[] = "HTTP/1.0 400 Bad Request\r\n\r\n";
          [[maybe_unused]] ssize_t n = write(client, text, sizeof text - 1);
          clients_.push_back(client);
        }
      });
    }
  }
  ~FakeServer() {
    stop_ = true;
    if (fd_ >= 0) shutdown(fd_, SHUT_RDWR);
    if (answering_.joinable()) answering_.join();
    for (int c : clients_) close(c);
    if (fd_ >= 0) close(fd_);
    if (!path_.empty() && !name_.empty()) unlink(path_.c_str());
  }
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;
  bool ready() const { return !name_.empty(); }
  const std::string& name() const { return name_; }

 private:
  int fd_ = -1;
  std::string path_, name_;
  std::atomic<bool> stop_{false};
  std::thread answering_;
  std::vector<int> clients_;
};

// Resizes a window from the test's connection, then takes the device's
// events, without waiting for them, until it asks for a redraw (true), or
// fails, or 10 seconds have gone by without a redraw.
inline bool resized_and_redrawn(const Connection& connection, vg::Device& device,
                                unsigned long window, int width, int height) {
  XResizeWindow(connection.get(), window, static_cast<unsigned>(width),
                static_cast<unsigned>(height));
  XSync(connection.get(), False);
  vg::EventRequest r;
  r.wait_mode = vg::x11::WindowDevice::wait_none;
  vg::Event e;
  int result = vg::device_ok;
  kovtest::wait_until([&] {
    result = device.event(r, e);
    return result != vg::device_ok || e.type == vg::event_redraw;
  });
  return result == vg::device_ok && e.type == vg::event_redraw;
}

// An input call of the device run on a thread of its own while the test
// drives the window from its own connection. What the call writes, and its
// result, are the test's once it has returned (end_with_click() joins it).
class WaitingCall {
 public:
  template <typename Call>
  explicit WaitingCall(Call call)
      : thread_([this, call] {
          result_ = call();
          done_ = true;
        }) {}
  ~WaitingCall() {
    if (thread_.joinable()) thread_.join();
  }
  WaitingCall(const WaitingCall&) = delete;
  WaitingCall& operator=(const WaitingCall&) = delete;

  // Ends the call with a click at (x, y) of the window and waits for it to
  // return, 10 seconds at most: then the window is asked to close, which
  // ends any input call, and the test fails. The call's result.
  int end_with_click(const Connection& connection, unsigned long window, int x, int y) {
    connection.click(window, x, y);
    const bool returned = kovtest::wait_until([&] { return done_.load(); });
    if (!returned) connection.close_request(window);
    thread_.join();
    EXPECT_TRUE(returned) << "the input call did not end with the click";
    return result_;
  }

 private:
  std::atomic<bool> done_{false};
  int result_ = vg::device_failed;
  std::thread thread_;
};

// A server that refuses clients without its cookie (and a cookie file for
// it in a directory of the test's own; XAUTHORITY is to point elsewhere).
struct RefusingServer {
  kovtest::TempDir dir;
  std::string cookies = dir.file("cookies");
  bool made = std::system(("xauth -q -f '" + cookies +
                           "' add :0 . 0123456789abcdef0123456789abcdef >/dev/null 2>&1")
                              .c_str()) == 0;
  PrivateServer server{{"-auth", cookies, "-screen", "0", "640x480x24"}};
  bool ready() const { return made && server.ready(); }
  const std::string& name() const { return server.name(); }
  std::string no_cookie() const { return dir.file("none"); }
};

// Saves a screenshot of a window as PNG in the test output directory.
inline std::string screenshot(unsigned long window, const std::string& name) {
  const std::string file = kovtest::output_dir() + "/" + name + ".png";
  const std::string command =
      "xwd -id " + std::to_string(window) + " -silent | convert xwd:- '" + file + "' 2>/dev/null";
  return std::system(command.c_str()) == 0 ? file : std::string();
}

// The device, opened portrait (or landscape) with world units of about one
// pixel: data window 0..500 by 0..707 (landscape 0..707 by 0..500).
inline std::unique_ptr<vg::Device> open_device(int format = vg::page_portrait) {
  const bool landscape = format == vg::page_landscape;
  auto device = vg::open_x11_device(format, 40, 30, landscape ? 707 : 500, landscape ? 500 : 707);
  if (!device) return device;
  const float window[4] = {0, 0, landscape ? 707.0f : 500.0f, landscape ? 500.0f : 707.0f};
  // 500 / 707 of the page rather than 0.7071: one world unit is one pixel.
  const float viewport[4] = {0, 0, landscape ? 1.0f : 500.0f / 707.0f,
                             landscape ? 500.0f / 707.0f : 1.0f};
  device->set_transform(window, viewport);
  std::vector<vg::Rgb> table(vg::table_size);
  for (int i = 0; i < vg::table_size; ++i) {
    const float grey = static_cast<float>(i) / 255.0f;
    table[static_cast<std::size_t>(i)] = {grey, grey, grey};
  }
  table[0] = {1, 1, 1};
  table[1] = {0, 0, 0};
  table[2] = {1, 0, 0};
  table[3] = {0, 1, 0};
  table[4] = {0, 0, 1};
  table[5] = {1, 1, 0};
  device->colour_map(0, vg::table_size - 1, table);
  device->colour_range(10, 250, 10, 250);
  device->clear();
  device->update();
  return device;
}

// World y of a window pixel row in the portrait transform above.
inline float wy(int row, int height = 707) {
  return static_cast<float>(height - row) - 0.5f;
}
inline float wx(int column) {
  return static_cast<float>(column) + 0.5f;
}

}  // namespace x11test

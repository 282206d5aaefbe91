// The X11 window device: reaching the server, opening and closing the window,
// the off-screen pixmap behind it, colours, resizing to the page's aspect
// ratio, the connection's error handlers and the window-level events.
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "vg_x11.h"

namespace vg::x11 {

namespace {

// ---------------------------------------------------------------------------
// Asking the server before Xlib does: XOpenDisplay waits for ever for a
// server that takes the connection and never answers. A connection of our
// own sends the opening of an X connection set-up and waits, for a bounded
// time, for the first bytes of the server's answer.
// ---------------------------------------------------------------------------

enum class Answer {
  accepted,     // an X server that takes clients without authorization
  refused,      // an X server that wants authorization (or refuses us)
  unreachable,  // nothing takes connections there, or the connection was
                // dropped at once (a server resetting itself)
  silent,       // the connection was taken, but no answer came in time
  garbage,      // what answered is not an X server
  unknown       // a display name of a form this check does not know
};

struct DisplayAddress {
  bool local = true;  // a Unix-domain socket of this machine
  std::string host;   // otherwise TCP to this host
  int number = 0;
};

// "[unix|tcp/host|host]:number[.screen]".
bool parse_display(const std::string& name, DisplayAddress& address) {
  const std::size_t colon = name.rfind(':');
  if (colon == std::string::npos || colon + 1 >= name.size()) return false;
  if (colon > 0 && name[colon - 1] == ':') return false;  // DECnet
  std::string host = name.substr(0, colon);
  const std::string rest = name.substr(colon + 1);
  char* end = nullptr;
  const long number = std::strtol(rest.c_str(), &end, 10);
  if (end == rest.c_str() || number < 0 || number > 59535 || (*end != '\0' && *end != '.')) {
    return false;
  }
  if (host.rfind("tcp/", 0) == 0) {
    host = host.substr(4);
    if (host.empty()) return false;
  } else if (host.rfind("unix/", 0) == 0 || host.find('/') != std::string::npos) {
    return false;
  }
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  address.number = static_cast<int>(number);
  address.local = host.empty() || host == "unix";
  address.host = address.local ? std::string() : host;
  return true;
}

int remaining_ms(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

// A connected socket (-1: none could be made). Local servers are tried on
// the abstract socket first, then on the file, as Xlib does.
int connect_socket(const DisplayAddress& address, std::chrono::steady_clock::time_point deadline) {
  if (address.local) {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(address.number);
    for (const bool abstract : {true, false}) {
      const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      if (fd < 0) return -1;
      sockaddr_un sa{};
      sa.sun_family = AF_UNIX;
      std::memcpy(sa.sun_path + (abstract ? 1 : 0), path.data(), path.size());
      const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                                                      path.size() + (abstract ? 1 : 0));
      if (connect(fd, reinterpret_cast<const sockaddr*>(&sa), length) == 0) return fd;
      close(fd);
    }
    return -1;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(6000 + address.number);
  if (getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
  int result = -1;
  for (addrinfo* a = found; a != nullptr && result < 0; a = a->ai_next) {
    const int fd =
        socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
    if (fd < 0) continue;
    if (connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      if (errno != EINPROGRESS) {
        close(fd);
        continue;
      }
      pollfd p{fd, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      if (poll(&p, 1, remaining_ms(deadline)) != 1 ||
          getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        close(fd);
        continue;
      }
    }
    result = fd;
  }
  freeaddrinfo(found);
  return result;
}

// The connection is kept open (`held`, -1 when there is none) until Xlib
// has made its own: a server that resets itself when its last client leaves
// would otherwise be resetting just when Xlib comes.
Answer ask_server(const std::string& name, int timeout_ms, int& held) {
  held = -1;
  DisplayAddress address;
  if (!parse_display(name, address)) return Answer::unknown;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  const int fd = connect_socket(address, deadline);
  if (fd < 0) return Answer::unreachable;
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  // The set-up request: little-endian, protocol 11.0, no authorization.
  const unsigned char setup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  if (send(fd, setup, sizeof setup, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof setup)) {
    close(fd);
    return Answer::unreachable;
  }
  unsigned char reply[8] = {};
  std::size_t got = 0;
  bool closed = false;
  while (got < sizeof reply) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, remaining_ms(deadline)) != 1) break;  // time is up
    const ssize_t n = read(fd, reply + got, sizeof reply - got);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) {
      closed = true;
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  // The first byte: 0 refused, 1 accepted (both with the protocol's major
  // version in bytes 2 and 3 of an 8-byte header), 2 more authentication
  // wanted.
  Answer answer = Answer::accepted;
  if (got == 0) {
    answer = closed ? Answer::unreachable : Answer::silent;
  } else if (reply[0] > 2 || (reply[0] != 2 && got >= 4 && (reply[2] | (reply[3] << 8)) != 11)) {
    answer = Answer::garbage;
  } else if (reply[0] == 2) {
    answer = Answer::refused;
  } else if (got < sizeof reply) {
    answer = closed ? Answer::garbage : Answer::silent;
  } else {
    answer = reply[0] == 1 ? Answer::accepted : Answer::refused;
  }
  if (answer == Answer::accepted || answer == Answer::refused) {
    held = fd;
  } else {
    close(fd);
  }
  return answer;
}

// ---------------------------------------------------------------------------

int mask_shift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1UL) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

int mask_bits(unsigned long mask) {
  int bits = 0;
  for (; mask != 0; mask >>= 1) bits += static_cast<int>(mask & 1UL);
  return bits;
}

unsigned long component(float value, unsigned long mask) {
  const int bits = mask_bits(mask);
  const unsigned long top = (1UL << bits) - 1UL;
  const float v = std::clamp(value, 0.0f, 1.0f);
  return (static_cast<unsigned long>(std::lround(v * static_cast<float>(top)))
          << mask_shift(mask)) &
         mask;
}

// The key under which a connection knows its device.
XContext device_context() {
  return XStringToContext("vg-x11-window-device");
}

}  // namespace

// The connection's error handlers (Xlib keeps one of each for the process)
// find the device through the connection.
struct ErrorHandlers {
  static int protocol_error(Display* display, XErrorEvent* event) {
    WindowDevice* device = device_of(display);
    if (device != nullptr) {
      if (device->trapping_) {
        device->trapped_ = true;
        return 0;
      }
      // Another client destroyed the window: what was still asked of it fails.
      const bool our_window = event->resourceid == device->window_ &&
                              (event->error_code == BadWindow || event->error_code == BadDrawable);
      if (device->window_lost_ || our_window) {
        device->window_lost_ = true;
        return 0;
      }
    }
    char text[256] = {0};
    XGetErrorText(display, event->error_code, text, sizeof(text));
    char line[400];
    std::snprintf(line, sizeof(line),
                  "ERROR: X protocol error: %s (request code %d.%d, resource 0x%lx)", text,
                  event->request_code, event->minor_code, event->resourceid);
    WindowDevice::message(line);
    return 0;
  }

  static int lost_connection(Display* display) {
    // Xlib cannot go on after this: report and end the program with a failure
    // status. The device must not touch the dead connection again on the way
    // out (static destructors close devices).
    WindowDevice* device = device_of(display);
    std::string name = DisplayString(display);
    if (device != nullptr) {
      name = device->display_name_;
      device->display_ = nullptr;
      device->window_ = 0;
    }
    WindowDevice::message("ERROR: Lost the connection to the X server on display " + name);
    std::fflush(stdout);
    std::exit(1);
  }

  static WindowDevice* device_of(Display* display) {
    XPointer data = nullptr;
    if (XFindContext(display, DefaultRootWindow(display), device_context(), &data) != 0) {
      return nullptr;
    }
    return reinterpret_cast<WindowDevice*>(data);
  }
};

WindowDevice::~WindowDevice() {
  close();
}

void WindowDevice::message(const std::string& text) {
  io::say(text);
}

void WindowDevice::begin_trap() {
  XSync(display_, False);
  trapping_ = true;
  trapped_ = false;
}

bool WindowDevice::end_trap() {
  XSync(display_, False);
  trapping_ = false;
  return !trapped_;
}

bool WindowDevice::connect() {
  const char* env = std::getenv("DISPLAY");
  if (env == nullptr || env[0] == '\0') {
    message("ERROR: Cannot open the X-11 window: no display is set (DISPLAY is empty)");
    return false;
  }
  display_name_ = env;
  const std::string cannot = "ERROR: Cannot connect to the X server on display " + display_name_ +
                             " (is the server running, and is access allowed?)";
  XSetIOErrorHandler(ErrorHandlers::lost_connection);
  XSetErrorHandler(ErrorHandlers::protocol_error);
  // A busy server may have its queue of new connections full for a moment,
  // or be resetting itself; a server that refuses us is asked only once, so
  // that its refusal (which Xlib writes) is said once.
  for (int attempt = 0; attempt < connect_attempts && display_ == nullptr; ++attempt) {
    if (attempt > 0) poll(nullptr, 0, connect_pause_ms);
    int held = -1;
    const Answer answer = ask_server(display_name_, answer_timeout_ms, held);
    if (answer == Answer::unreachable) continue;
    if (answer == Answer::silent) {
      message("ERROR: The X server on display " + display_name_ +
              " took the connection but did not answer within " +
              std::to_string(answer_timeout_ms / 1000) + " seconds");
      return false;
    }
    if (answer == Answer::garbage) {
      message("ERROR: What answers on display " + display_name_ + " is not an X server");
      return false;
    }
    display_ = XOpenDisplay(env);
    if (held >= 0) ::close(held);
    if (display_ == nullptr && answer != Answer::accepted) break;
  }
  if (display_ == nullptr) {
    message(cannot);
    return false;
  }
  screen_ = DefaultScreen(display_);
  XSaveContext(display_, DefaultRootWindow(display_), device_context(),
               reinterpret_cast<XPointer>(this));
  return true;
}

void WindowDevice::disconnect() {
  XDeleteContext(display_, DefaultRootWindow(display_), device_context());
  XCloseDisplay(display_);
  display_ = nullptr;
}

// Finds a true-colour visual: the default one when it is, else the deepest.
bool WindowDevice::choose_visual() {
  Visual* def = DefaultVisual(display_, screen_);
  if (def->c_class == TrueColor) {
    visual_ = def;
    depth_ = DefaultDepth(display_, screen_);
    colormap_ = DefaultColormap(display_, screen_);
    own_colormap_ = false;
  } else {
    XVisualInfo templ{};
    templ.screen = screen_;
    templ.c_class = TrueColor;
    int count = 0;
    XVisualInfo* infos =
        XGetVisualInfo(display_, VisualScreenMask | VisualClassMask, &templ, &count);
    if (infos == nullptr || count == 0) {
      if (infos != nullptr) XFree(infos);
      return false;
    }
    int best = 0;
    for (int i = 1; i < count; ++i) {
      if (infos[i].depth > infos[best].depth) best = i;
    }
    visual_ = infos[best].visual;
    depth_ = infos[best].depth;
    XFree(infos);
    colormap_ = XCreateColormap(display_, RootWindow(display_, screen_),
                                static_cast<Visual*>(visual_), AllocNone);
    own_colormap_ = true;
  }
  const Visual* v = static_cast<Visual*>(visual_);
  red_mask_ = v->red_mask;
  green_mask_ = v->green_mask;
  blue_mask_ = v->blue_mask;
  return true;
}

void WindowDevice::compute_pixels() {
  for (int i = 0; i < vg::table_size; ++i) {
    pixels_[i] = component(table_[i].r, red_mask_) | component(table_[i].g, green_mask_) |
                 component(table_[i].b, blue_mask_);
  }
}

void WindowDevice::default_table() {
  for (int i = 0; i < vg::table_size; ++i) {
    const float grey = static_cast<float>(i) / static_cast<float>(vg::table_size - 1);
    table_[i] = {grey, grey, grey};
  }
  table_[0] = {1, 1, 1};
  table_[1] = {0, 0, 0};
  compute_pixels();
}

void WindowDevice::set_size_hints(int left, int top, bool position) {
  XSizeHints* hints = XAllocSizeHints();
  if (hints == nullptr) return;
  hints->flags = PSize | PAspect | PMinSize;
  if (position) {
    hints->flags |= PPosition | USPosition;
    hints->x = left;
    hints->y = top;
  }
  hints->width = window_width_;
  hints->height = window_height_;
  // The page's shape: 1 : 1.414214, portrait or landscape.
  if (page_ == vg::page_landscape) {
    hints->min_aspect.x = hints->max_aspect.x = 1414214;
    hints->min_aspect.y = hints->max_aspect.y = 1000000;
    hints->min_width = 141;
    hints->min_height = 100;
  } else {
    hints->min_aspect.x = hints->max_aspect.x = 1000000;
    hints->min_aspect.y = hints->max_aspect.y = 1414214;
    hints->min_width = 100;
    hints->min_height = 141;
  }
  XSetWMNormalHints(display_, window_, hints);
  XFree(hints);
}

GC WindowDevice::make_gc(XId drawable) {
  XGCValues values{};
  values.graphics_exposures = False;
  values.foreground = pixels_[1];
  values.background = pixels_[0];
  return XCreateGC(display_, drawable, GCGraphicsExposures | GCForeground | GCBackground, &values);
}

// A pixmap of the size, with its Xft drawing, in place of the one there was;
// false (the old one kept) when the server cannot give it.
bool WindowDevice::create_pixmap(int width, int height) {
  begin_trap();
  const Pixmap pixmap = XCreatePixmap(display_, window_, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), static_cast<unsigned>(depth_));
  if (!end_trap() || pixmap == 0) return false;
  XftDraw* draw = XftDrawCreate(display_, pixmap, static_cast<Visual*>(visual_), colormap_);
  if (draw == nullptr) {
    XFreePixmap(display_, pixmap);
    return false;
  }
  if (draw_ != nullptr) XftDrawDestroy(draw_);
  if (pixmap_ != 0) XFreePixmap(display_, pixmap_);
  pixmap_ = pixmap;
  draw_ = draw;
  width_ = width;
  height_ = height;
  // What the new pixmap holds is not known until it is cleared.
  painted_ = {true, 0, 0, width, height};
  cleared_known_ = false;
  scale_ = static_cast<float>(std::max(width, height));
  return true;
}

// The size that keeps the page's ratio: the longer side is shortened.
void WindowDevice::corrected_size(int width, int height, int& new_width, int& new_height) const {
  const bool portrait = page_ != vg::page_landscape;
  const int along = portrait ? height : width;   // the long side
  const int across = portrait ? width : height;  // the short side
  int long_side = along, short_side = across;
  const double ratio = static_cast<double>(along) / static_cast<double>(std::max(across, 1));
  if (ratio > aspect_ratio + 1e-6) {
    long_side = static_cast<int>(std::lround(across * aspect_ratio));
  } else if (ratio < aspect_ratio - 1e-6) {
    short_side = static_cast<int>(std::lround(along / aspect_ratio));
  }
  // Only a difference of more than a pixel's rounding counts.
  if (std::abs(long_side - along) <= 1 && std::abs(short_side - across) <= 1) {
    long_side = along;
    short_side = across;
  }
  new_width = portrait ? short_side : long_side;
  new_height = portrait ? long_side : short_side;
}

// The drawing's size for a window: the window's, or within the largest
// pixmap at the same shape.
void WindowDevice::drawing_size(int window_width, int window_height, int& width,
                                int& height) const {
  const int longest = std::max(window_width, window_height);
  if (longest <= max_pixmap_side) {
    width = window_width;
    height = window_height;
    return;
  }
  const double f = static_cast<double>(max_pixmap_side) / longest;
  width = std::max(1, static_cast<int>(window_width * f));
  height = std::max(1, static_cast<int>(window_height * f));
}

// A new pixmap at a new size, holding the old picture scaled to it (nearest
// pixel) until the program redraws. A size the server cannot give keeps the
// old pixmap, which is drawn into as before.
void WindowDevice::resize_pixmap(int width, int height) {
  const int old_width = width_, old_height = height_;
  XImage* old_image = XGetImage(display_, pixmap_, 0, 0, static_cast<unsigned>(old_width),
                                static_cast<unsigned>(old_height), AllPlanes, ZPixmap);
  if (!create_pixmap(width, height)) {
    if (old_image != nullptr) XDestroyImage(old_image);
    message("WARNING: No off-screen picture of " + std::to_string(width) + " by " +
            std::to_string(height) + " pixels could be had; the drawing stays at " +
            std::to_string(old_width) + " by " + std::to_string(old_height));
    return;
  }
  XSetForeground(display_, gc_copy_, pixels_[0]);
  XFillRectangle(display_, pixmap_, gc_copy_, 0, 0, static_cast<unsigned>(width),
                 static_cast<unsigned>(height));
  if (old_image != nullptr) {
    scale_old_picture(old_image, old_width, old_height);
    XDestroyImage(old_image);
  }
  apply_clip();
  dirty_.any = false;
}

void WindowDevice::scale_old_picture(XImage* old_image, int old_width, int old_height) {
  const int width = width_, height = height_;
  XImage* image =
      XCreateImage(display_, static_cast<Visual*>(visual_), static_cast<unsigned>(depth_), ZPixmap,
                   0, nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (image == nullptr) return;
  const std::size_t stride = static_cast<std::size_t>(image->bytes_per_line);
  // Without the memory the new picture simply starts blank.
  image->data = static_cast<char*>(std::malloc(stride * static_cast<std::size_t>(height)));
  if (image->data != nullptr) {
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
      columns[static_cast<std::size_t>(x)] =
          std::min(old_width - 1, static_cast<int>(static_cast<long long>(x) * old_width / width));
    }
    const bool direct = image->bits_per_pixel == 32 && old_image->bits_per_pixel == 32 &&
                        image->byte_order == old_image->byte_order;
    for (int y = 0; y < height; ++y) {
      const int oy = std::min(old_height - 1,
                              static_cast<int>(static_cast<long long>(y) * old_height / height));
      if (direct) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(
            old_image->data +
            static_cast<std::size_t>(oy) * static_cast<std::size_t>(old_image->bytes_per_line));
        auto* to =
            reinterpret_cast<std::uint32_t*>(image->data + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < width; ++x) to[x] = from[columns[static_cast<std::size_t>(x)]];
      } else {
        for (int x = 0; x < width; ++x) {
          XPutPixel(image, x, y, XGetPixel(old_image, columns[static_cast<std::size_t>(x)], oy));
        }
      }
    }
    XPutImage(display_, pixmap_, gc_copy_, image, 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
  }
  XDestroyImage(image);
}

// Puts back a part of the window: what the pixmap holds of it, and the
// background beyond the pixmap (a window larger than a pixmap may be).
void WindowDevice::restore(int x, int y, int w, int h) {
  if (!window_shows() || w <= 0 || h <= 0) return;
  const int x1 = x + w, y1 = y + h;
  const int cx1 = std::min(x1, width_), cy1 = std::min(y1, height_);
  if (cx1 > x && cy1 > y) {
    XCopyArea(display_, pixmap_, window_, gc_copy_, x, y, static_cast<unsigned>(cx1 - x),
              static_cast<unsigned>(cy1 - y), x, y);
  }
  if (x1 <= width_ && y1 <= height_) return;
  XSetForeground(display_, gc_copy_, pixels_[0]);
  if (x1 > width_) {
    const int bx = std::max(x, width_);
    XFillRectangle(display_, window_, gc_copy_, bx, y, static_cast<unsigned>(x1 - bx),
                   static_cast<unsigned>(h));
  }
  if (y1 > height_) {
    const int by = std::max(y, height_);
    XFillRectangle(display_, window_, gc_copy_, x, by, static_cast<unsigned>(w),
                   static_cast<unsigned>(y1 - by));
  }
}

unsigned long WindowDevice::pixel_of(int index) const {
  if (index == vg::inverse_video) return red_mask_ | green_mask_ | blue_mask_;
  return pixels_[static_cast<std::size_t>(std::clamp(index, 0, vg::table_size - 1))];
}

void WindowDevice::drawn(int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_);
  y1 = std::min(y1, height_);
  if (x1 <= x0 || y1 <= y0) return;
  painted_.add(x0, y0, x1, y1);
  changed(x0, y0, x1, y1);
}

void WindowDevice::changed(int x0, int y0, int x1, int y1) {
  dirty_.add(x0, y0, x1, y1);
  // Drawing shows at once unless it is held back until the next update.
  if (!suspended_) {
    show_dirty();
    XFlush(display_);
  }
}

void WindowDevice::show_dirty() {
  if (!is_open() || !dirty_.any) return;
  const PixelBox box = dirty_;
  dirty_.any = false;
  if (!window_shows()) return;
  // Bands and the spyglass lie on the window only: take them off first so
  // that the copy does not break their exclusive-or drawing.
  if (band_drawn_ || cross_drawn_) erase_band();
  if (spyglass_.drawn) spyglass_erase();
  XCopyArea(display_, pixmap_, window_, gc_copy_, box.x0, box.y0,
            static_cast<unsigned>(box.x1 - box.x0), static_cast<unsigned>(box.y1 - box.y0), box.x0,
            box.y0);
}

void WindowDevice::show_all() {
  if (!window_shows()) return;
  if (band_drawn_ || cross_drawn_) erase_band();
  if (spyglass_.drawn) spyglass_erase();
  dirty_.any = false;
  restore(0, 0, window_width_, window_height_);
}

void WindowDevice::apply_clip() {
  if (!is_open()) return;
  GC gcs[] = {gc_line_, gc_marker_, gc_fill_};
  if (clip_on_) {
    XRectangle rect{static_cast<short>(clip_x_), static_cast<short>(clip_y_),
                    static_cast<unsigned short>(clip_w_), static_cast<unsigned short>(clip_h_)};
    for (GC gc : gcs) XSetClipRectangles(display_, gc, 0, 0, &rect, 1, Unsorted);
    XftDrawSetClipRectangles(draw_, 0, 0, &rect, 1);
  } else {
    for (GC gc : gcs) XSetClipMask(display_, gc, None);
    XftDrawSetClip(draw_, nullptr);
  }
}

bool WindowDevice::next_event(XEvent& event, bool wait) {
  if (!wait && XPending(display_) == 0) return false;
  XNextEvent(display_, &event);
  return true;
}

WindowDevice::WindowEvent WindowDevice::handle_window_event(XEvent& event) {
  switch (event.type) {
    case Expose: {
      if (event.xexpose.window != window_) return WindowEvent::other;
      // Restore the exposed part from the pixmap; bands and the spyglass are
      // drawn again by the input loop.
      band_drawn_ = false;
      cross_drawn_ = false;
      spyglass_.drawn = false;
      restore(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
      return event.xexpose.count == 0 ? WindowEvent::redraw : WindowEvent::other;
    }
    case ConfigureNotify:
      if (event.xconfigure.window != window_) return WindowEvent::other;
      return new_window_size(event.xconfigure.width, event.xconfigure.height);
    case DestroyNotify:
      // Destroyed by another client: as if the user had closed it.
      if (event.xdestroywindow.window != window_) return WindowEvent::other;
      window_lost_ = true;
      return WindowEvent::closed;
    case ClientMessage:
      if (event.xclient.window == window_ && event.xclient.message_type == wm_protocols_ &&
          static_cast<XId>(event.xclient.data.l[0]) == wm_delete_) {
        return WindowEvent::closed;
      }
      return WindowEvent::other;
    default:
      return WindowEvent::other;
  }
}

// The window has a new size: one that breaks the page's ratio is put right,
// another one gets a drawing of its own size (or within the largest pixmap).
WindowDevice::WindowEvent WindowDevice::new_window_size(int w, int h) {
  if (w == window_width_ && h == window_height_) return WindowEvent::other;
  int cw = w, ch = h;
  corrected_size(w, h, cw, ch);
  if (cw != w || ch != h) {
    // No window manager kept the ratio: put it right ourselves; the
    // notification of the corrected size follows. Wait until the server
    // has done it, so that nothing asked later by anyone finds the
    // wrong size.
    XResizeWindow(display_, window_, static_cast<unsigned>(cw), static_cast<unsigned>(ch));
    XSync(display_, False);
    return WindowEvent::other;
  }
  band_drawn_ = false;
  cross_drawn_ = false;
  spyglass_.drawn = false;
  window_width_ = w;
  window_height_ = h;
  int dw = w, dh = h;
  drawing_size(w, h, dw, dh);
  if (dw != width_ || dh != height_) resize_pixmap(dw, dh);
  show_all();
  return WindowEvent::redraw;
}

bool WindowDevice::open(int page, int left, int top, int width, int height) {
  if (display_ != nullptr) {
    message("ERROR: The X-11 window is already open");
    return false;
  }
  if (!connect()) return false;
  // Fonts are cached by the device itself: Xft is to free a closed font at
  // once, not at the connection's close (when the rendering extension may
  // already be gone).
  if (FcPattern* defaults = FcPatternCreate()) {
    FcPatternAddInteger(defaults, XFT_MAX_UNREF_FONTS, 0);
    XftDefaultSet(display_, defaults);  // takes the pattern
  }
  if (!choose_visual()) {
    message("ERROR: The X display " + display_name_ +
            " offers no TrueColor visual; the window needs one");
    disconnect();
    return false;
  }
  page_ = page == vg::page_landscape ? vg::page_landscape : vg::page_portrait;
  window_width_ = width_ = std::max(width, 16);
  window_height_ = height_ = std::max(height, 16);
  scale_ = static_cast<float>(std::max(width_, height_));
  default_table();
  if (!create_window(left, top)) return false;
  create_gcs();
  if (!create_pixmap(width_, height_)) {
    message("ERROR: Failed to create the off-screen pixmap of the X-11 window");
    close();
    return false;
  }
  XSetForeground(display_, gc_copy_, pixels_[0]);
  XFillRectangle(display_, pixmap_, gc_copy_, 0, 0, static_cast<unsigned>(width_),
                 static_cast<unsigned>(height_));
  painted_.any = false;
  cleared_known_ = true;
  cleared_pixel_ = pixels_[0];
  map_window();
  return true;
}

// The window, with its name, class, hints and the close request it takes
// part in; false (the connection closed) when the server refuses it.
bool WindowDevice::create_window(int left, int top) {
  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_;
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | KeyPressMask |
                          PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  window_ = XCreateWindow(display_, RootWindow(display_, screen_), left, top,
                          static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0, depth_,
                          InputOutput, static_cast<Visual*>(visual_),
                          CWColormap | CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
  if (window_ == 0) {
    message("ERROR: Failed to create the X-11 window on display " + display_name_);
    if (own_colormap_) XFreeColormap(display_, colormap_);
    disconnect();
    return false;
  }
  XStoreName(display_, window_, "Vellum Graphics Window");
  if (XClassHint* class_hint = XAllocClassHint()) {
    char res_name[] = "kov_master";
    char res_class[] = "Vellum";
    class_hint->res_name = res_name;
    class_hint->res_class = res_class;
    XSetClassHint(display_, window_, class_hint);
    XFree(class_hint);
  }
  if (XWMHints* wm_hints = XAllocWMHints()) {
    wm_hints->flags = InputHint | StateHint;
    wm_hints->input = True;
    wm_hints->initial_state = NormalState;
    XSetWMHints(display_, window_, wm_hints);
    XFree(wm_hints);
  }
  set_size_hints(left, top, true);
  wm_protocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
  wm_delete_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  Atom protocols[] = {wm_delete_};
  XSetWMProtocols(display_, window_, protocols, 1);
  return true;
}

// The graphics contexts of lines, markers, fills, copies and bands (the
// last one draws by exclusive-or).
void WindowDevice::create_gcs() {
  gc_copy_ = make_gc(window_);
  gc_line_ = make_gc(window_);
  gc_marker_ = make_gc(window_);
  gc_fill_ = make_gc(window_);
  gc_band_ = make_gc(window_);
  XSetFunction(display_, gc_band_, GXxor);
  XSetForeground(display_, gc_band_, red_mask_ | green_mask_ | blue_mask_);
}

// Maps the window and waits (a few seconds at most) until it is shown.
void WindowDevice::map_window() {
  XMapRaised(display_, window_);
  XEvent event;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(map_timeout_ms);
  for (;;) {
    if (XCheckTypedWindowEvent(display_, window_, Expose, &event) != 0) {
      XPutBackEvent(display_, &event);
      break;
    }
    XFlush(display_);
    const int left_ms = remaining_ms(deadline);
    if (left_ms == 0) break;
    pollfd fd{ConnectionNumber(display_), POLLIN, 0};
    poll(&fd, 1, std::min(left_ms, 50));
  }
  show_all();
  XFlush(display_);
}

int WindowDevice::close() {
  if (display_ == nullptr) return vg::device_ok;
  release_fonts();
  release_images();
  // A window destroyed by another client takes its Xft picture with it.
  begin_trap();
  if (window_draw_ != nullptr) XftDrawDestroy(window_draw_);
  window_draw_ = nullptr;
  end_trap();
  if (draw_ != nullptr) XftDrawDestroy(draw_);
  for (GC gc : {gc_line_, gc_marker_, gc_fill_, gc_copy_, gc_band_}) {
    if (gc != nullptr) XFreeGC(display_, gc);
  }
  if (pixmap_ != 0) XFreePixmap(display_, pixmap_);
  if (window_ != 0 && !window_lost_) XDestroyWindow(display_, window_);
  if (own_colormap_) XFreeColormap(display_, colormap_);
  disconnect();
  draw_ = nullptr;
  gc_line_ = gc_marker_ = gc_fill_ = gc_copy_ = gc_band_ = nullptr;
  pixmap_ = window_ = 0;
  own_colormap_ = false;
  return vg::device_ok;
}

int WindowDevice::show() {
  if (!is_open()) return vg::device_failed;
  suspended_ = false;
  show_dirty();
  XFlush(display_);
  // Exposures that came while the program was busy are restored now. The
  // connection is read once and the queue looked through without reading
  // it again (asking for an event that is not there would); the other
  // events go back in their order for the input calls.
  const int queued = XEventsQueued(display_, QueuedAfterReading);
  if (queued == 0) return vg::device_ok;
  std::vector<XEvent> kept;
  bool restored = false;
  try {
    kept.reserve(static_cast<std::size_t>(queued));
  } catch (const std::bad_alloc&) {
    return vg::device_ok;  // the exposures wait for the next input call
  }
  for (int i = 0; i < queued; ++i) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == Expose && event.xexpose.window == window_) {
      restore(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
      band_drawn_ = cross_drawn_ = spyglass_.drawn = false;
      restored = true;
    } else {
      kept.push_back(event);
    }
  }
  for (auto e = kept.rbegin(); e != kept.rend(); ++e) XPutBackEvent(display_, &*e);
  if (restored) XFlush(display_);
  return vg::device_ok;
}

int WindowDevice::update() {
  const int result = show();
  // Everything asked so far is done when this returns.
  if (result == vg::device_ok) XSync(display_, False);
  return result;
}

int WindowDevice::set_update() {
  if (!is_open()) return vg::device_failed;
  suspended_ = true;
  return vg::device_ok;
}

int WindowDevice::clear() {
  if (!is_open()) return vg::device_failed;
  // Only what was drawn since the last clear in the same colour changes:
  // the server fills, and later copies to the window, that part alone.
  // Bands and the spyglass on the window go with a copy of the whole.
  PixelBox box = painted_;
  if (!cleared_known_ || cleared_pixel_ != pixels_[0] || band_drawn_ || cross_drawn_ ||
      spyglass_.drawn) {
    box = {true, 0, 0, width_, height_};
  }
  painted_.any = false;
  cleared_known_ = true;
  cleared_pixel_ = pixels_[0];
  if (!box.any) return vg::device_ok;
  XSetForeground(display_, gc_copy_, pixels_[0]);
  XFillRectangle(display_, pixmap_, gc_copy_, box.x0, box.y0,
                 static_cast<unsigned>(box.x1 - box.x0), static_cast<unsigned>(box.y1 - box.y0));
  changed(box.x0, box.y0, box.x1, box.y1);
  return vg::device_ok;
}

int WindowDevice::title(const std::string& title) {
  if (!is_open()) return vg::device_failed;
  if (window_lost_) return vg::device_ok;
  std::string text = io::trimmed(title);
  if (text.size() > static_cast<std::size_t>(io::title_width)) text.resize(io::title_width);
  XStoreName(display_, window_, text.c_str());
  XSync(display_, False);
  return vg::device_ok;
}

int WindowDevice::inq_size(int& width, int& height) {
  width = width_;
  height = height_;
  return is_open() ? vg::device_ok : vg::device_failed;
}

int WindowDevice::bell() {
  if (!is_open()) return vg::device_failed;
  XBell(display_, 0);
  XFlush(display_);
  return vg::device_ok;
}

int WindowDevice::colour_map(int first, int last, std::span<const vg::Rgb> table) {
  if (first < 0 || last >= vg::table_size || first > last ||
      table.size() <= static_cast<std::size_t>(last)) {
    return vg::device_failed;
  }
  for (int i = first; i <= last; ++i) {
    table_[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)];
  }
  compute_pixels();
  return vg::device_ok;
}

int WindowDevice::colour_range(int first, int last, int second_first, int second_last) {
  image_first_ = std::clamp(std::min(first, last), 0, vg::table_size - 1);
  image_last_ = std::clamp(std::max(first, last), 0, vg::table_size - 1);
  second_first_ = std::clamp(std::min(second_first, second_last), 0, vg::table_size - 1);
  second_last_ = std::clamp(std::max(second_first, second_last), 0, vg::table_size - 1);
  return vg::device_ok;
}

int WindowDevice::log_scaling(bool logarithmic) {
  logarithmic_ = logarithmic;
  return vg::device_ok;
}

}  // namespace vg::x11

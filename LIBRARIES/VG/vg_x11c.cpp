// The X11 window device: opening and closing the window, the off-screen
// pixmap behind it, colours, resizing to the page's aspect ratio, the
// connection's error handlers and the window-level events.
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "vg_x11.h"
#include "vg_x11_state.h"

namespace vg::x11 {

namespace {

State device_state;
bool connection_lost = false;

Visual* visual() { return static_cast<Visual*>(device_state.visual); }

int lost_connection(Display* /*display*/) {
  // Xlib cannot go on after this: report and end the program with a failure
  // status. The device must not touch the dead connection again on the way
  // out (static destructors close devices).
  connection_lost = true;
  const std::string name = device_state.display_name;
  device_state = State();
  message("ERROR: Lost the connection to the X server on display " + name);
  std::fflush(stdout);
  std::exit(1);
}

int protocol_error(Display* display, XErrorEvent* event) {
  char text[256] = {0};
  XGetErrorText(display, event->error_code, text, sizeof(text));
  char line[400];
  std::snprintf(line, sizeof(line), "ERROR: X protocol error: %s (request code %d.%d, resource 0x%lx)",
                text, event->request_code, event->minor_code, event->resourceid);
  message(line);
  return 0;
}

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
  return (static_cast<unsigned long>(std::lround(v * static_cast<float>(top))) << mask_shift(mask)) &
         mask;
}

void compute_pixels() {
  State& s = device_state;
  for (int i = 0; i < vg::table_size; ++i) {
    s.pixels[i] = component(s.table[i].r, s.red_mask) | component(s.table[i].g, s.green_mask) |
                  component(s.table[i].b, s.blue_mask);
  }
}

void default_table() {
  State& s = device_state;
  for (int i = 0; i < vg::table_size; ++i) {
    const float grey = static_cast<float>(i) / static_cast<float>(vg::table_size - 1);
    s.table[i] = {grey, grey, grey};
  }
  s.table[0] = {1, 1, 1};
  s.table[1] = {0, 0, 0};
  compute_pixels();
}

// Finds a true-colour visual: the default one when it is, else the deepest.
bool choose_visual() {
  State& s = device_state;
  Visual* def = DefaultVisual(s.display, s.screen);
  if (def->c_class == TrueColor) {
    s.visual = def;
    s.depth = DefaultDepth(s.display, s.screen);
    s.colormap = DefaultColormap(s.display, s.screen);
    s.own_colormap = false;
  } else {
    XVisualInfo templ{};
    templ.screen = s.screen;
    templ.c_class = TrueColor;
    int count = 0;
    XVisualInfo* infos =
        XGetVisualInfo(s.display, VisualScreenMask | VisualClassMask, &templ, &count);
    if (infos == nullptr || count == 0) {
      if (infos != nullptr) XFree(infos);
      return false;
    }
    int best = 0;
    for (int i = 1; i < count; ++i) {
      if (infos[i].depth > infos[best].depth) best = i;
    }
    s.visual = infos[best].visual;
    s.depth = infos[best].depth;
    XFree(infos);
    s.colormap =
        XCreateColormap(s.display, RootWindow(s.display, s.screen), visual(), AllocNone);
    s.own_colormap = true;
  }
  s.red_mask = visual()->red_mask;
  s.green_mask = visual()->green_mask;
  s.blue_mask = visual()->blue_mask;
  return true;
}

void set_size_hints(int left, int top, bool position) {
  State& s = device_state;
  XSizeHints* hints = XAllocSizeHints();
  if (hints == nullptr) return;
  hints->flags = PSize | PAspect | PMinSize;
  if (position) {
    hints->flags |= PPosition | USPosition;
    hints->x = left;
    hints->y = top;
  }
  hints->width = s.width;
  hints->height = s.height;
  // The page's shape: 1 : 1.414214, portrait or landscape.
  if (s.format == vg::format_landscape) {
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
  XSetWMNormalHints(s.display, s.window, hints);
  XFree(hints);
}

bool create_pixmap() {
  State& s = device_state;
  s.pixmap = XCreatePixmap(s.display, s.window, static_cast<unsigned>(s.width),
                           static_cast<unsigned>(s.height), static_cast<unsigned>(s.depth));
  s.draw = XftDrawCreate(s.display, s.pixmap, visual(), s.colormap);
  return s.pixmap != 0 && s.draw != nullptr;
}

// The size that keeps the page's ratio: the longer side is shortened.
void corrected_size(int width, int height, int& new_width, int& new_height) {
  const State& s = device_state;
  const bool portrait = s.format != vg::format_landscape;
  const int along = portrait ? height : width;    // the long side
  const int across = portrait ? width : height;   // the short side
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

// A new pixmap at the window's new size, holding the old picture scaled to
// it (nearest pixel) until the program redraws.
void resize_pixmap(int width, int height) {
  State& s = device_state;
  const int old_width = s.width, old_height = s.height;
  XImage* old_image = XGetImage(s.display, s.pixmap, 0, 0, static_cast<unsigned>(old_width),
                                static_cast<unsigned>(old_height), AllPlanes, ZPixmap);
  XftDrawDestroy(s.draw);
  XFreePixmap(s.display, s.pixmap);
  s.width = width;
  s.height = height;
  s.scale = static_cast<float>(std::max(width, height));
  create_pixmap();
  XSetForeground(s.display, s.gc_copy, s.pixels[0]);
  XFillRectangle(s.display, s.pixmap, s.gc_copy, 0, 0, static_cast<unsigned>(width),
                 static_cast<unsigned>(height));
  if (old_image != nullptr) {
    XImage* image = XCreateImage(s.display, visual(), static_cast<unsigned>(s.depth), ZPixmap, 0,
                                 nullptr, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 32, 0);
    if (image != nullptr) {
      image->data = static_cast<char*>(
          std::malloc(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height)));
      if (image->data != nullptr) {
        std::vector<int> columns(static_cast<std::size_t>(width));
        for (int x = 0; x < width; ++x) {
          columns[static_cast<std::size_t>(x)] = std::min(old_width - 1, x * old_width / width);
        }
        for (int y = 0; y < height; ++y) {
          const int oy = std::min(old_height - 1, y * old_height / height);
          for (int x = 0; x < width; ++x) {
            XPutPixel(image, x, y, XGetPixel(old_image, columns[static_cast<std::size_t>(x)], oy));
          }
        }
        XPutImage(s.display, s.pixmap, s.gc_copy, image, 0, 0, 0, 0,
                  static_cast<unsigned>(width), static_cast<unsigned>(height));
      }
      XDestroyImage(image);
    }
    XDestroyImage(old_image);
  }
  apply_clip();
  s.dirty = false;
}

GC make_gc(Drawable drawable) {
  State& s = device_state;
  XGCValues values{};
  values.graphics_exposures = False;
  values.foreground = s.pixels[1];
  values.background = s.pixels[0];
  return XCreateGC(s.display, drawable, GCGraphicsExposures | GCForeground | GCBackground,
                   &values);
}

}  // namespace

State& state() { return device_state; }
bool is_open() { return device_state.display != nullptr && device_state.window != 0; }

unsigned long pixel_of(int index) {
  const State& s = device_state;
  if (index == vg::inverse_video) return s.red_mask | s.green_mask | s.blue_mask;
  return s.pixels[static_cast<std::size_t>(std::clamp(index, 0, vg::table_size - 1))];
}

void message(const std::string& text) {
  int status = io::status_good;
  IO_WRITE(text, status);
}

void drawn(int x0, int y0, int x1, int y1) {
  State& s = device_state;
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, s.width);
  y1 = std::min(y1, s.height);
  if (x1 <= x0 || y1 <= y0) return;
  if (s.dirty) {
    s.dirty_x0 = std::min(s.dirty_x0, x0);
    s.dirty_y0 = std::min(s.dirty_y0, y0);
    s.dirty_x1 = std::max(s.dirty_x1, x1);
    s.dirty_y1 = std::max(s.dirty_y1, y1);
  } else {
    s.dirty = true;
    s.dirty_x0 = x0;
    s.dirty_y0 = y0;
    s.dirty_x1 = x1;
    s.dirty_y1 = y1;
  }
  // Drawing shows at once unless it is held back until the next update.
  if (!s.suspended) {
    show_dirty();
    XFlush(s.display);
  }
}

void show_dirty() {
  State& s = device_state;
  if (!is_open() || !s.dirty) return;
  // Bands and the spyglass lie on the window only: take them off first so
  // that the copy does not break their exclusive-or drawing.
  const bool band = s.band_drawn || s.cross_drawn;
  const bool glass = s.spyglass.drawn;
  if (band) erase_band();
  if (glass) spyglass_erase();
  XCopyArea(s.display, s.pixmap, s.window, s.gc_copy, s.dirty_x0, s.dirty_y0,
            static_cast<unsigned>(s.dirty_x1 - s.dirty_x0),
            static_cast<unsigned>(s.dirty_y1 - s.dirty_y0), s.dirty_x0, s.dirty_y0);
  s.dirty = false;
}

void show_all() {
  State& s = device_state;
  if (!is_open()) return;
  s.dirty = true;
  s.dirty_x0 = 0;
  s.dirty_y0 = 0;
  s.dirty_x1 = s.width;
  s.dirty_y1 = s.height;
  show_dirty();
}

void apply_clip() {
  State& s = device_state;
  if (!is_open()) return;
  GC gcs[] = {s.gc_line, s.gc_marker, s.gc_fill};
  if (s.clip_on) {
    XRectangle rect{static_cast<short>(s.clip_x), static_cast<short>(s.clip_y),
                    static_cast<unsigned short>(s.clip_w), static_cast<unsigned short>(s.clip_h)};
    for (GC gc : gcs) XSetClipRectangles(s.display, gc, 0, 0, &rect, 1, Unsorted);
    XftDrawSetClipRectangles(s.draw, 0, 0, &rect, 1);
  } else {
    for (GC gc : gcs) XSetClipMask(s.display, gc, None);
    XftDrawSetClip(s.draw, nullptr);
  }
}

bool next_event(XEvent& event, bool wait) {
  State& s = device_state;
  if (!wait && XPending(s.display) == 0) return false;
  XNextEvent(s.display, &event);
  return true;
}

int handle_window_event(XEvent& event) {
  State& s = device_state;
  switch (event.type) {
    case Expose: {
      if (event.xexpose.window != s.window) return 0;
      // Restore the exposed part from the pixmap; bands and the spyglass are
      // drawn again by the input loop.
      s.band_drawn = false;
      s.cross_drawn = false;
      s.spyglass.drawn = false;
      XCopyArea(s.display, s.pixmap, s.window, s.gc_copy, event.xexpose.x, event.xexpose.y,
                static_cast<unsigned>(event.xexpose.width),
                static_cast<unsigned>(event.xexpose.height), event.xexpose.x, event.xexpose.y);
      return event.xexpose.count == 0 ? 1 : 0;
    }
    case ConfigureNotify: {
      if (event.xconfigure.window != s.window) return 0;
      const int w = event.xconfigure.width, h = event.xconfigure.height;
      if (w == s.width && h == s.height) return 0;
      int cw = w, ch = h;
      corrected_size(w, h, cw, ch);
      if (cw != w || ch != h) {
        // No window manager kept the ratio: put it right ourselves; the
        // notification of the corrected size follows.
        // Wait until the server has done it, so that nothing asked later
        // by anyone finds the wrong size.
        XResizeWindow(s.display, s.window, static_cast<unsigned>(cw), static_cast<unsigned>(ch));
        XSync(s.display, False);
        return 0;
      }
      s.band_drawn = false;
      s.cross_drawn = false;
      s.spyglass.drawn = false;
      resize_pixmap(w, h);
      show_all();
      return 1;
    }
    case ClientMessage:
      if (event.xclient.window == s.window && event.xclient.message_type == s.wm_protocols &&
          static_cast<XId>(event.xclient.data.l[0]) == s.wm_delete) {
        return 2;
      }
      return 0;
    default:
      return 0;
  }
}

unsigned long window_id() { return is_open() ? device_state.window : 0; }
unsigned long pixmap_id() { return is_open() ? device_state.pixmap : 0; }
std::string display_name() { return device_state.display_name; }
int history_count() { return device_state.history_count; }

}  // namespace vg::x11

using vg::x11::device_state;

void VG_X11_OPEN(int format, int left, int top, int width, int height, int& error) {
  using namespace vg::x11;
  error = vg::device_failed;
  if (is_open()) {
    message("ERROR: The X-11 window is already open");
    return;
  }
  // Keep the typed-line history of earlier windows of this run.
  const auto history = device_state.history;
  const int history_count = device_state.history_count;
  const int history_newest = device_state.history_newest;
  device_state = State();
  device_state.history = history;
  device_state.history_count = history_count;
  device_state.history_newest = history_newest;
  State& s = device_state;

  const char* env = std::getenv("DISPLAY");
  if (env == nullptr || env[0] == '\0') {
    message("ERROR: Cannot open the X-11 window: no display is set (DISPLAY is empty)");
    return;
  }
  s.display_name = env;
  XSetIOErrorHandler(lost_connection);
  XSetErrorHandler(protocol_error);
  s.display = XOpenDisplay(env);
  // A busy server may have its queue of new connections full for a moment.
  for (int attempt = 0; s.display == nullptr && attempt < 10; ++attempt) {
    poll(nullptr, 0, 50);
    s.display = XOpenDisplay(env);
  }
  if (s.display == nullptr) {
    message("ERROR: Cannot connect to the X server on display " + s.display_name +
            " (is the server running, and is access allowed?)");
    return;
  }
  s.screen = DefaultScreen(s.display);
  // Fonts are cached by the device itself: Xft is to free a closed font at
  // once, not at the connection's close (when the rendering extension may
  // already be gone).
  if (FcPattern* defaults = FcPatternCreate()) {
    FcPatternAddInteger(defaults, XFT_MAX_UNREF_FONTS, 0);
    XftDefaultSet(s.display, defaults);  // takes the pattern
  }
  if (!choose_visual()) {
    message("ERROR: The X display " + s.display_name +
            " offers no TrueColor visual; the window needs one");
    XCloseDisplay(s.display);
    s.display = nullptr;
    return;
  }
  s.format = format == vg::format_landscape ? vg::format_landscape : vg::format_portrait;
  s.width = std::max(width, 16);
  s.height = std::max(height, 16);
  s.scale = static_cast<float>(std::max(s.width, s.height));
  default_table();

  XSetWindowAttributes attributes{};
  attributes.colormap = s.colormap;
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | KeyPressMask |
                          PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  s.window = XCreateWindow(s.display, RootWindow(s.display, s.screen), left, top,
                           static_cast<unsigned>(s.width), static_cast<unsigned>(s.height), 0,
                           s.depth, InputOutput, visual(),
                           CWColormap | CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
  if (s.window == 0) {
    message("ERROR: Failed to create the X-11 window on display " + s.display_name);
    XCloseDisplay(s.display);
    s = State();
    return;
  }
  XStoreName(s.display, s.window, "Vellum Graphics Window");
  XClassHint* class_hint = XAllocClassHint();
  if (class_hint != nullptr) {
    char res_name[] = "kov_master";
    char res_class[] = "Vellum";
    class_hint->res_name = res_name;
    class_hint->res_class = res_class;
    XSetClassHint(s.display, s.window, class_hint);
    XFree(class_hint);
  }
  XWMHints* wm_hints = XAllocWMHints();
  if (wm_hints != nullptr) {
    wm_hints->flags = InputHint | StateHint;
    wm_hints->input = True;
    wm_hints->initial_state = NormalState;
    XSetWMHints(s.display, s.window, wm_hints);
    XFree(wm_hints);
  }
  set_size_hints(left, top, true);
  s.wm_protocols = XInternAtom(s.display, "WM_PROTOCOLS", False);
  s.wm_delete = XInternAtom(s.display, "WM_DELETE_WINDOW", False);
  Atom protocols[] = {s.wm_delete};
  XSetWMProtocols(s.display, s.window, protocols, 1);

  s.gc_copy = make_gc(s.window);
  s.gc_line = make_gc(s.window);
  s.gc_marker = make_gc(s.window);
  s.gc_fill = make_gc(s.window);
  s.gc_band = make_gc(s.window);
  XSetFunction(s.display, s.gc_band, GXxor);
  XSetForeground(s.display, s.gc_band, s.red_mask | s.green_mask | s.blue_mask);
  if (!create_pixmap()) {
    message("ERROR: Failed to create the off-screen pixmap of the X-11 window");
    VG_X11_CLOSE();
    return;
  }
  XSetForeground(s.display, s.gc_copy, s.pixels[0]);
  XFillRectangle(s.display, s.pixmap, s.gc_copy, 0, 0, static_cast<unsigned>(s.width),
                 static_cast<unsigned>(s.height));

  XMapRaised(s.display, s.window);
  // Wait (a few seconds at most) until the window is shown.
  XEvent event;
  for (int waited = 0; waited < 5000;) {
    if (XCheckTypedWindowEvent(s.display, s.window, Expose, &event) != 0) {
      XPutBackEvent(s.display, &event);
      break;
    }
    XFlush(s.display);
    pollfd fd{ConnectionNumber(s.display), POLLIN, 0};
    poll(&fd, 1, 50);
    waited += 50;
  }
  show_all();
  XFlush(s.display);
  error = vg::device_ok;
}

void VG_X11_CLOSE() {
  using namespace vg::x11;
  State& s = device_state;
  if (connection_lost || s.display == nullptr) return;
  release_fonts();
  release_images();
  if (s.draw != nullptr) XftDrawDestroy(s.draw);
  if (s.window_draw != nullptr) XftDrawDestroy(s.window_draw);
  for (GC gc : {s.gc_line, s.gc_marker, s.gc_fill, s.gc_copy, s.gc_band}) {
    if (gc != nullptr) XFreeGC(s.display, gc);
  }
  if (s.pixmap != 0) XFreePixmap(s.display, s.pixmap);
  if (s.window != 0) XDestroyWindow(s.display, s.window);
  if (s.own_colormap) XFreeColormap(s.display, s.colormap);
  XCloseDisplay(s.display);
  const auto history = s.history;
  const int count = s.history_count, newest = s.history_newest;
  s = State();
  s.history = history;
  s.history_count = count;
  s.history_newest = newest;
}

void VG_X11_UPDATE() {
  using namespace vg::x11;
  State& s = device_state;
  if (!is_open()) return;
  s.suspended = false;
  // Exposures that came while the program was busy are restored now.
  XEvent event;
  while (XCheckTypedWindowEvent(s.display, s.window, Expose, &event) != 0) {
    XCopyArea(s.display, s.pixmap, s.window, s.gc_copy, event.xexpose.x, event.xexpose.y,
              static_cast<unsigned>(event.xexpose.width),
              static_cast<unsigned>(event.xexpose.height), event.xexpose.x, event.xexpose.y);
    s.band_drawn = s.cross_drawn = s.spyglass.drawn = false;
  }
  show_dirty();
  // Everything asked so far is done when this returns.
  XSync(s.display, False);
}

void VG_X11_SET_UPDATE(bool suspend) {
  vg::x11::device_state.suspended = suspend;
}

void VG_X11_CLEAR(int& error) {
  using namespace vg::x11;
  State& s = device_state;
  error = vg::device_failed;
  if (!is_open()) return;
  XSetForeground(s.display, s.gc_copy, s.pixels[0]);
  XFillRectangle(s.display, s.pixmap, s.gc_copy, 0, 0, static_cast<unsigned>(s.width),
                 static_cast<unsigned>(s.height));
  drawn(0, 0, s.width, s.height);
  error = vg::device_ok;
}

void VG_X11_TITLE(const std::string& title, int& error) {
  using namespace vg::x11;
  State& s = device_state;
  error = vg::device_failed;
  if (!is_open()) return;
  std::string text = title.substr(0, static_cast<std::size_t>(SLEN(title)));
  if (text.size() > static_cast<std::size_t>(io::title_width)) text.resize(io::title_width);
  XStoreName(s.display, s.window, text.c_str());
  XSync(s.display, False);
  error = vg::device_ok;
}

void VG_X11_INQ_SIZE(int& width, int& height, int& error) {
  using namespace vg::x11;
  error = is_open() ? vg::device_ok : vg::device_failed;
  width = device_state.width;
  height = device_state.height;
}

void VG_X11_INQ_COLOURMAPPING(bool& true_colour) { true_colour = vg::x11::is_open(); }

void VG_X11_BELL() {
  using namespace vg::x11;
  if (!is_open()) return;
  XBell(device_state.display, 0);
  XFlush(device_state.display);
}

void VG_X11_COLOURMAP(int first, int last, std::span<const vg::Rgb> table, int& error) {
  using namespace vg::x11;
  State& s = device_state;
  error = vg::device_failed;
  if (first < 0 || last >= vg::table_size || first > last ||
      table.size() <= static_cast<std::size_t>(last)) {
    return;
  }
  for (int i = first; i <= last; ++i) s.table[static_cast<std::size_t>(i)] = table[static_cast<std::size_t>(i)];
  compute_pixels();
  error = vg::device_ok;
}

void VG_X11_COLOURRANGE(int first, int last, int second_first, int second_last) {
  vg::x11::State& s = device_state;
  s.image_first = std::clamp(std::min(first, last), 0, vg::table_size - 1);
  s.image_last = std::clamp(std::max(first, last), 0, vg::table_size - 1);
  s.second_first = std::clamp(std::min(second_first, second_last), 0, vg::table_size - 1);
  s.second_last = std::clamp(std::max(second_first, second_last), 0, vg::table_size - 1);
}

void VG_X11_ZSCALING(bool logarithmic) { device_state.logarithmic = logarithmic; }

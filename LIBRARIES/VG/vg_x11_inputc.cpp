// The X11 window device: input. Button presses, the typed line with its
// editor and history, the prompt line, redraw requests, the close request,
// rubber bands and the cross-hair (exclusive-or on the window itself) and the
// spyglass magnifier.
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "vg_x11.h"
#include "vg_x11_state.h"

namespace vg::x11 {

namespace {

constexpr int wait_none = 10;

// Spyglass read-out: the widest text it has to hold.
constexpr const char* widest_readout = "X=99999, Y=99999, I=-9.999999e-99";

void draw_band_at(int px, int py) {
  State& s = state();
  if (s.band_mode == 1) {
    XDrawLine(s.display, s.window, s.gc_band, s.band_ax, s.band_ay, px, py);
  } else {
    const int x = std::min(px, s.band_ax), y = std::min(py, s.band_ay);
    XDrawRectangle(s.display, s.window, s.gc_band, x, y,
                   static_cast<unsigned>(std::abs(px - s.band_ax)),
                   static_cast<unsigned>(std::abs(py - s.band_ay)));
  }
}

void draw_cross_at(int px, int py) {
  State& s = state();
  XSegment segments[2] = {{0, static_cast<short>(py), static_cast<short>(s.width - 1), static_cast<short>(py)},
                          {static_cast<short>(px), 0, static_cast<short>(px), static_cast<short>(s.height - 1)}};
  XDrawSegments(s.display, s.window, s.gc_band, segments, 2);
}

// Draws the band (or, with `cross`, the cross-hair) at the pointer.
void band_to(int px, int py, bool cross) {
  State& s = state();
  erase_band();
  s.band_px = px;
  s.band_py = py;
  if (s.band_mode == 1 || s.band_mode == 2) {
    draw_band_at(px, py);
    s.band_drawn = true;
  } else if (cross) {
    draw_cross_at(px, py);
    s.cross_drawn = true;
  }
}

std::string history_entry(int back) {  // back 1 = the newest
  const State& s = state();
  const int k = ((s.history_newest - (back - 1)) % history_size + history_size) % history_size;
  return s.history[static_cast<std::size_t>(k)];
}

void add_to_history(const std::string& line) {
  State& s = state();
  if (line.empty()) return;
  if (s.history_count > 0 && history_entry(1) == line) return;
  s.history_newest = (s.history_newest + 1) % history_size;
  s.history[static_cast<std::size_t>(s.history_newest)] = line;
  s.history_count = std::min(s.history_count + 1, history_size);
}

struct Prompt {
  bool wanted = false;
  std::string text;
  float x = 0, y = 0, w = 0, h = 0;  // page units
};

// The prompt box, the prompt and the input line with its cursor, in the
// pixmap (they belong to the picture).
void draw_prompt(const Prompt& p) {
  State& s = state();
  const bool clip = s.clip_on;
  s.clip_on = false;
  apply_clip();
  const float left = p.x * s.scale, right = (p.x + p.w) * s.scale;
  const float bottom = static_cast<float>(s.height) - p.y * s.scale;
  const float top = static_cast<float>(s.height) - (p.y + p.h) * s.scale;
  XPoint corners[4] = {{static_cast<short>(std::lround(left)), static_cast<short>(std::lround(bottom))},
                       {static_cast<short>(std::lround(right)), static_cast<short>(std::lround(bottom))},
                       {static_cast<short>(std::lround(right)), static_cast<short>(std::lround(top))},
                       {static_cast<short>(std::lround(left)), static_cast<short>(std::lround(top))}};
  XSetForeground(s.display, s.gc_fill, pixel_of(s.fill_colour));
  XSetFunction(s.display, s.gc_fill, s.fill_colour == vg::inverse_video ? GXxor : GXcopy);
  XFillPolygon(s.display, s.pixmap, s.gc_fill, corners, 4, Convex, CoordModeOrigin);
  XSetFunction(s.display, s.gc_fill, GXcopy);

  const float tx = left + p.w * s.scale / 50.0f;
  const float prompt_y = static_cast<float>(s.height) - (p.y + p.h * 5.0f / 9.0f) * s.scale;
  const float line_y = static_cast<float>(s.height) - (p.y + p.h / 9.0f) * s.scale;
  if (!p.text.empty()) draw_plain_text(nullptr, tx, prompt_y, p.text, s.text_colour);
  if (!s.line.empty()) draw_plain_text(nullptr, tx, line_y, s.line, s.text_colour);
  const float cx = tx + text_advance(s.line.substr(0, static_cast<std::size_t>(s.cursor)));
  if (s.cursor < static_cast<int>(s.line.size())) {
    // The character under the cursor on an opaque background.
    const std::string c = s.line.substr(static_cast<std::size_t>(s.cursor), 1);
    const float cw = std::max(1.0f, text_advance(c));
    const float size = s.text_height * s.scale;
    XSetForeground(s.display, s.gc_fill, pixel_of(s.text_colour));
    XFillRectangle(s.display, s.pixmap, s.gc_fill, static_cast<int>(std::lround(cx)),
                   static_cast<int>(std::lround(line_y - 0.8f * size)),
                   static_cast<unsigned>(std::lround(cw)),
                   static_cast<unsigned>(std::max(1L, std::lround(size))));
    draw_plain_text(nullptr, cx, line_y, c, s.fill_colour);
  } else {
    draw_plain_text(nullptr, cx, line_y, "_", s.text_colour);
  }
  s.clip_on = clip;
  apply_clip();
  drawn(static_cast<int>(std::floor(std::min(left, right))) - 1,
        static_cast<int>(std::floor(std::min(top, bottom))) - 1,
        static_cast<int>(std::ceil(std::max(left, right))) + 2,
        static_cast<int>(std::ceil(std::max(top, bottom))) + 2);
}

// The line editor. Returns 0 to go on (`changed` set when the line
// changed), event_return or event_tab when the line is ended.
int edit_key(XKeyEvent& key, int& browse, bool& changed) {
  State& s = state();
  char chars[16];
  KeySym keysym = NoSymbol;
  const int n = XLookupString(&key, chars, sizeof(chars), &keysym, nullptr);
  const int length = static_cast<int>(s.line.size());
  switch (keysym) {
    case XK_Left:
    case XK_KP_Left:
      if (s.cursor > 0) {
        --s.cursor;
        changed = true;
      } else {
        VG_X11_BELL();
      }
      return 0;
    case XK_Right:
    case XK_KP_Right:
      if (s.cursor < length) {
        ++s.cursor;
        changed = true;
      } else {
        VG_X11_BELL();
      }
      return 0;
    case XK_Up:
    case XK_KP_Up:
      if (browse < s.history_count) {
        ++browse;
        s.line = history_entry(browse);
        s.cursor = static_cast<int>(s.line.size());
        changed = true;
      } else {
        VG_X11_BELL();
      }
      return 0;
    case XK_Down:
    case XK_KP_Down:
      if (browse > 1) {
        --browse;
        s.line = history_entry(browse);
      } else {
        browse = 0;
        s.line.clear();
      }
      s.cursor = static_cast<int>(s.line.size());
      changed = true;
      return 0;
    case XK_KP_Enter:
      return vg::event_return;
    default:
      break;
  }
  if (n != 1) return 0;  // modifier keys and keys without a character
  const int c = static_cast<unsigned char>(chars[0]);
  if (c == 8 || c == 127) {
    if (s.cursor > 0) {
      s.line.erase(static_cast<std::size_t>(s.cursor - 1), 1);
      --s.cursor;
      changed = true;
    }
    return 0;
  }
  if (c == 9) return vg::event_tab;
  if (c == 10 || c == 13) return vg::event_return;
  if (c < 32) {
    message("Unknown character value = " + std::to_string(c));
    return 0;
  }
  if (c > 126 && c < 160) return 0;
  if (length < max_line) {
    s.line.insert(static_cast<std::size_t>(s.cursor), 1, static_cast<char>(c));
    ++s.cursor;
    changed = true;
  } else {
    VG_X11_BELL();
  }
  return 0;
}

struct Result {
  int code = vg::device_ok;
  int type = vg::event_none;
  float x = 0, y = 0;
};

// The loop shared by event and coordinate input.
Result input_loop(int wait_mode, bool edit, const Prompt& prompt, bool cross) {
  State& s = state();
  Result result;
  if (s.band_mode == 1 || s.band_mode == 2) {
    s.band_ax = static_cast<int>(std::floor(to_px(s.band_anchor_x)));
    s.band_ay = static_cast<int>(std::floor(to_py(s.band_anchor_y)));
  }
  int browse = 0;
  bool changed = true;
  bool pointer_known = false;
  int pointer_x = 0, pointer_y = 0;
  show_dirty();
  for (;;) {
    if (prompt.wanted && changed) draw_prompt(prompt);
    changed = false;
    show_dirty();
    XFlush(s.display);
    XEvent event;
    if (!next_event(event, wait_mode != wait_none)) break;  // event_none
    const int window_result = handle_window_event(event);
    if (window_result == 2) {
      result.code = vg::device_closed;
      break;
    }
    if (window_result == 1) {
      // Take the rest of a burst of exposures and size changes (a corrected
      // size among them) before asking for one redraw.
      bool closed = false;
      while (XCheckTypedWindowEvent(s.display, s.window, ConfigureNotify, &event) != 0 ||
             XCheckTypedWindowEvent(s.display, s.window, Expose, &event) != 0 ||
             XCheckTypedWindowEvent(s.display, s.window, ClientMessage, &event) != 0) {
        closed = closed || handle_window_event(event) == 2;
      }
      if (closed) {
        result.code = vg::device_closed;
        break;
      }
      if (wait_mode > 0) {
        result.type = vg::event_redraw;
        break;
      }
      // The picture is back from the pixmap; put back what lies on top.
      changed = true;
      if (pointer_known) {
        band_to(pointer_x, pointer_y, cross);
        if (s.spyglass.on) spyglass_redraw_at(pointer_x, pointer_y);
      }
      continue;
    }
    if (event.type == ButtonPress && event.xbutton.window == s.window) {
      result.type = vg::event_button;
      result.x = static_cast<float>(event.xbutton.x) / s.scale;
      result.y = static_cast<float>(s.height - event.xbutton.y) / s.scale;
      break;
    }
    if (event.type == MotionNotify && event.xmotion.window == s.window) {
      // Only the latest position matters.
      while (XCheckTypedWindowEvent(s.display, s.window, MotionNotify, &event) != 0) {
      }
      pointer_known = true;
      pointer_x = event.xmotion.x;
      pointer_y = event.xmotion.y;
      band_to(pointer_x, pointer_y, cross);
      if (s.spyglass.on) spyglass_redraw_at(pointer_x, pointer_y);
      continue;
    }
    if (event.type == LeaveNotify && event.xcrossing.window == s.window) {
      if (s.cross_drawn) erase_band();
      if (s.spyglass.drawn) spyglass_erase();
      continue;
    }
    if (event.type == KeyPress && edit) {
      const int ending = edit_key(event.xkey, browse, changed);
      if (ending != 0) {
        result.type = ending;
        break;
      }
    }
  }
  erase_band();
  spyglass_erase();
  XFlush(s.display);
  return result;
}

}  // namespace

void erase_band() {
  State& s = state();
  if (!is_open()) return;
  if (s.band_drawn) {
    draw_band_at(s.band_px, s.band_py);
    s.band_drawn = false;
  }
  if (s.cross_drawn) {
    draw_cross_at(s.band_px, s.band_py);
    s.cross_drawn = false;
  }
}

void spyglass_erase() {
  State& s = state();
  SpyglassState& g = s.spyglass;
  if (!is_open() || !g.drawn) return;
  XCopyArea(s.display, s.pixmap, s.window, s.gc_copy, g.box_x, g.box_y,
            static_cast<unsigned>(g.box_w), static_cast<unsigned>(g.box_h), g.box_x, g.box_y);
  XCopyArea(s.display, s.pixmap, s.window, s.gc_copy, 0, 0, static_cast<unsigned>(g.readout_w),
            static_cast<unsigned>(g.readout_h), 0, 0);
  g.drawn = false;
}

void spyglass_redraw_at(int px, int py) {
  State& s = state();
  SpyglassState& g = s.spyglass;
  const bool band = s.band_drawn || s.cross_drawn;
  const int bx = s.band_px, by = s.band_py;
  const bool cross = s.cross_drawn;
  if (band) erase_band();  // the band is drawn over the spyglass
  spyglass_erase();
  const vg::Spyglass& p = g.parameters;
  const float lo_x = std::min(g.left, g.right), hi_x = std::max(g.left, g.right);
  const float lo_y = std::min(g.top, g.bottom), hi_y = std::max(g.top, g.bottom);
  const float cx = static_cast<float>(px) + 0.5f, cy = static_cast<float>(py) + 0.5f;
  if (cx >= lo_x && cx < hi_x && cy >= lo_y && cy < hi_y) {
    const int ncols = p.xend - p.xstart + 1, nrows = p.yend - p.ystart + 1;
    const int col = p.xstart + std::clamp(static_cast<int>(std::floor((cx - g.left) / (g.right - g.left) * ncols)), 0, ncols - 1);
    const int row = p.ystart + std::clamp(static_cast<int>(std::floor((cy - g.bottom) / (g.top - g.bottom) * nrows)), 0, nrows - 1);
    // The magnified square: `size` data pixels across, each `magnification`
    // window pixels, beside the pointer (on the other side near an edge).
    const int half = std::max(1, p.size) / 2;
    ImageSource source;
    source.data = p.data;
    source.xstart = std::max(p.xstart, col - half);
    source.xend = std::min(p.xend, col + half);
    source.ystart = std::max(p.ystart, row - half);
    source.yend = std::min(p.yend, row + half);
    source.low = p.low;
    source.high = p.high;
    source.logarithmic = p.logarithmic;
    const int mag = std::max(1, p.magnification);
    const int bw = (source.xend - source.xstart + 1) * mag;
    const int bh = (source.yend - source.ystart + 1) * mag;
    int x = px + 16, y = py - 16 - bh;
    if (x + bw + 1 > s.width) x = px - 16 - bw;
    if (y - 1 < 0) y = py + 16;
    // Data rows grow upwards on the window, columns as the image shows them.
    const bool flip_x = g.right < g.left, flip_y = g.top > g.bottom;
    const float left = static_cast<float>(flip_x ? x + bw : x);
    const float right = static_cast<float>(flip_x ? x : x + bw);
    const float bottom = static_cast<float>(flip_y ? y : y + bh);
    const float top = static_cast<float>(flip_y ? y + bh : y);
    put_image(s.window, s.gc_copy, source, left, top, right, bottom, 0, 0, s.width, s.height);
    XSetForeground(s.display, s.gc_copy, pixel_of(1));
    XDrawRectangle(s.display, s.window, s.gc_copy, x - 1, y - 1, static_cast<unsigned>(bw + 1),
                   static_cast<unsigned>(bh + 1));
    g.box_x = std::max(0, x - 1);
    g.box_y = std::max(0, y - 1);
    g.box_w = bw + 2;
    g.box_h = bh + 2;

    // The read-out in a white box at the top left.
    const float value = p.data(col, row);
    char text[64];
    std::snprintf(text, sizeof(text), "X=%5i, Y=%5i, I=%g", col, row, static_cast<double>(value));
    const float saved_height = s.text_height;
    const int saved_font = s.text_font;
    s.text_font = 2;
    s.text_height = 13.0f / s.scale;
    const float tw = text_advance(widest_readout);
    g.readout_w = static_cast<int>(std::ceil(tw)) + 8;
    g.readout_h = 19;
    XSetForeground(s.display, s.gc_copy, s.red_mask | s.green_mask | s.blue_mask);
    XFillRectangle(s.display, s.window, s.gc_copy, 0, 0, static_cast<unsigned>(g.readout_w),
                   static_cast<unsigned>(g.readout_h));
    XSetForeground(s.display, s.gc_copy, 0);
    XDrawRectangle(s.display, s.window, s.gc_copy, 0, 0, static_cast<unsigned>(g.readout_w - 1),
                   static_cast<unsigned>(g.readout_h - 1));
    if (s.window_draw == nullptr) {
      s.window_draw = XftDrawCreate(s.display, s.window, static_cast<Visual*>(s.visual), s.colormap);
    }
    if (s.window_draw != nullptr) {
      // Black text: index 1 of the default table may have been changed.
      const vg::Rgb saved = s.table[1];
      const unsigned long saved_pixel = s.pixels[1];
      s.table[1] = {0, 0, 0};
      s.pixels[1] = 0;
      draw_plain_text(s.window_draw, 4.0f, 14.0f, text, 1);
      s.table[1] = saved;
      s.pixels[1] = saved_pixel;
    }
    s.text_font = saved_font;
    s.text_height = saved_height;
    g.drawn = true;
  }
  if (band) {
    s.band_px = bx;
    s.band_py = by;
    if (cross) {
      draw_cross_at(bx, by);
      s.cross_drawn = true;
    } else {
      draw_band_at(bx, by);
      s.band_drawn = true;
    }
  }
}

}  // namespace vg::x11

using namespace vg::x11;

void VG_X11_EVENT(int wait_mode, bool prompt_wanted, const std::string& prompt, bool initial,
                  const std::string& initial_string, float box_x, float box_y, float box_width,
                  float box_height, int& event_type, float& x, float& y, std::string& text,
                  int& error) {
  State& s = state();
  event_type = vg::event_none;
  error = vg::device_failed;
  if (!is_open()) return;
  s.line = initial ? initial_string.substr(0, static_cast<std::size_t>(std::min(SLEN(initial_string), max_line)))
                   : std::string();
  s.cursor = static_cast<int>(s.line.size());
  Prompt p;
  p.wanted = prompt_wanted;
  p.text = prompt.substr(0, static_cast<std::size_t>(std::min(SLEN(prompt), max_line)));
  p.x = box_x;
  p.y = box_y;
  p.w = box_width;
  p.h = box_height;
  const Result result = input_loop(wait_mode, true, p, false);
  error = result.code;
  event_type = result.type;
  x = result.x;
  y = result.y;
  text = s.line;
  if (result.code == vg::device_ok) add_to_history(s.line);
}

void VG_X11_COORDINATE(int wait_mode, int& event_type, float& x, float& y, int& error) {
  event_type = vg::event_none;
  error = vg::device_failed;
  if (!is_open()) return;
  const Result result = input_loop(wait_mode, false, Prompt(), true);
  error = result.code;
  event_type = result.type;
  x = result.x;
  y = result.y;
}

void VG_X11_RUBBERBAND(int mode, float x, float y) {
  State& s = state();
  erase_band();
  s.band_mode = (mode == 1 || mode == 2) ? mode : 0;
  s.band_anchor_x = x;
  s.band_anchor_y = y;
}

void VG_X11_SPYGLASS(bool on, const vg::Spyglass& parameters, int& error) {
  State& s = state();
  error = vg::device_failed;
  if (!is_open()) return;
  spyglass_erase();
  s.spyglass.on = false;
  error = vg::device_ok;
  if (!on) return;
  const vg::Spyglass& p = parameters;
  if (p.data.empty() || p.xstart < 1 || p.ystart < 1 || p.xstart > p.xend || p.ystart > p.yend ||
      p.xend > p.data.xmaxdat || p.yend > p.data.ymaxdat) {
    message("ERROR: Spyglass region lies outside the array");
    error = vg::device_failed;
    return;
  }
  const bool scalable = p.logarithmic ? (p.low > 0.0f && p.high > p.low) : (p.high > p.low);
  if (!scalable) {
    message(p.logarithmic ? "ERROR: Log scaling range unacceptable" : "ERROR: Scaling range unacceptable");
    error = vg::device_failed;
    return;
  }
  s.spyglass.parameters = p;
  s.spyglass.left = to_px(p.x0);
  s.spyglass.right = to_px(p.x1);
  s.spyglass.bottom = to_py(p.y0);
  s.spyglass.top = to_py(p.y1);
  s.spyglass.on = true;
}

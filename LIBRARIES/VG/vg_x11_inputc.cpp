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

namespace vg::x11 {

void WindowDevice::draw_band_at(int px, int py) {
  if (band_mode_ == 1) {
    XDrawLine(display_, window_, gc_band_, band_ax_, band_ay_, px, py);
  } else {
    const int x = std::min(px, band_ax_), y = std::min(py, band_ay_);
    XDrawRectangle(display_, window_, gc_band_, x, y,
                   static_cast<unsigned>(std::abs(px - band_ax_)),
                   static_cast<unsigned>(std::abs(py - band_ay_)));
  }
}

void WindowDevice::draw_cross_at(int px, int py) {
  XSegment segments[2] = {
      {0, static_cast<short>(py), static_cast<short>(width_ - 1), static_cast<short>(py)},
      {static_cast<short>(px), 0, static_cast<short>(px), static_cast<short>(height_ - 1)}};
  XDrawSegments(display_, window_, gc_band_, segments, 2);
}

// Draws the band (or, with `cross`, the cross-hair) at the pointer.
void WindowDevice::band_to(int px, int py, bool cross) {
  erase_band();
  if (!window_shows()) return;
  band_px_ = px;
  band_py_ = py;
  if (band_mode_ == 1 || band_mode_ == 2) {
    draw_band_at(px, py);
    band_drawn_ = true;
  } else if (cross) {
    draw_cross_at(px, py);
    cross_drawn_ = true;
  }
}

std::string WindowDevice::history_entry(int back) const {  // back 1 = the newest
  const int k = ((history_newest_ - (back - 1)) % history_size + history_size) % history_size;
  return history_[static_cast<std::size_t>(k)];
}

void WindowDevice::add_to_history(const std::string& line) {
  if (line.empty()) return;
  if (history_count_ > 0 && history_entry(1) == line) return;
  history_newest_ = (history_newest_ + 1) % history_size;
  history_[static_cast<std::size_t>(history_newest_)] = line;
  history_count_ = std::min(history_count_ + 1, history_size);
}

struct WindowDevice::Prompt {
  bool wanted = false;
  std::string text;
  float x = 0, y = 0, w = 0, h = 0;  // page units
};

// The prompt box, the prompt and the input line with its cursor, in the
// pixmap (they belong to the picture).
void WindowDevice::draw_prompt(const Prompt& p) {
  const bool clip = clip_on_;
  clip_on_ = false;
  apply_clip();
  const float left = p.x * scale_, right = (p.x + p.w) * scale_;
  const float bottom = static_cast<float>(height_) - p.y * scale_;
  const float top = static_cast<float>(height_) - (p.y + p.h) * scale_;
  XPoint corners[4] = {
      {static_cast<short>(std::lround(left)), static_cast<short>(std::lround(bottom))},
      {static_cast<short>(std::lround(right)), static_cast<short>(std::lround(bottom))},
      {static_cast<short>(std::lround(right)), static_cast<short>(std::lround(top))},
      {static_cast<short>(std::lround(left)), static_cast<short>(std::lround(top))}};
  XSetForeground(display_, gc_fill_, pixel_of(fill_colour_));
  XSetFunction(display_, gc_fill_, fill_colour_ == vg::inverse_video ? GXxor : GXcopy);
  XFillPolygon(display_, pixmap_, gc_fill_, corners, 4, Convex, CoordModeOrigin);
  XSetFunction(display_, gc_fill_, GXcopy);

  const float tx = left + p.w * scale_ / 50.0f;
  const float prompt_y = static_cast<float>(height_) - (p.y + p.h * 5.0f / 9.0f) * scale_;
  const float line_y = static_cast<float>(height_) - (p.y + p.h / 9.0f) * scale_;
  if (!p.text.empty()) draw_plain_text(nullptr, tx, prompt_y, p.text, text_colour_);
  if (!line_.empty()) draw_plain_text(nullptr, tx, line_y, line_, text_colour_);
  const float cx = tx + text_advance(line_.substr(0, static_cast<std::size_t>(cursor_)));
  if (cursor_ < static_cast<int>(line_.size())) {
    // The character under the cursor on an opaque background.
    const std::string c = line_.substr(static_cast<std::size_t>(cursor_), 1);
    const float cw = std::max(1.0f, text_advance(c));
    const float size = text_height_ * scale_;
    XSetForeground(display_, gc_fill_, pixel_of(text_colour_));
    XFillRectangle(display_, pixmap_, gc_fill_, static_cast<int>(std::lround(cx)),
                   static_cast<int>(std::lround(line_y - 0.8f * size)),
                   static_cast<unsigned>(std::lround(cw)),
                   static_cast<unsigned>(std::max(1L, std::lround(size))));
    draw_plain_text(nullptr, cx, line_y, c, fill_colour_);
  } else {
    draw_plain_text(nullptr, cx, line_y, "_", text_colour_);
  }
  clip_on_ = clip;
  apply_clip();
  drawn(static_cast<int>(std::floor(std::min(left, right))) - 1,
        static_cast<int>(std::floor(std::min(top, bottom))) - 1,
        static_cast<int>(std::ceil(std::max(left, right))) + 2,
        static_cast<int>(std::ceil(std::max(top, bottom))) + 2);
}

namespace {

// Characters the line editor acts on.
enum Character : int {
  backspace = 8,
  tab = 9,
  line_feed = 10,
  carriage_return = 13,
  first_printable = 32,
  del = 127,
  // Control characters of the upper half, passed over.
  first_upper_control = 128,
  first_upper_printable = 160
};

}  // namespace

// Cursor left (step -1) or right (+1); a beep at either end.
void WindowDevice::move_cursor(int step, bool& changed) {
  const int to = cursor_ + step;
  if (to < 0 || to > static_cast<int>(line_.size())) {
    bell();
    return;
  }
  cursor_ = to;
  changed = true;
}

// Cursor up: the next older line of the history (a beep when none is left).
void WindowDevice::recall_older(int& browse, bool& changed) {
  if (browse >= history_count_) {
    bell();
    return;
  }
  ++browse;
  line_ = history_entry(browse);
  cursor_ = static_cast<int>(line_.size());
  changed = true;
}

// Cursor down: the next newer line; past the newest the line is emptied.
void WindowDevice::recall_newer(int& browse, bool& changed) {
  if (browse > 1) {
    --browse;
    line_ = history_entry(browse);
  } else {
    browse = 0;
    line_.clear();
  }
  cursor_ = static_cast<int>(line_.size());
  changed = true;
}

// A typed character: backspace and delete take the character before the
// cursor, tab and return end the line, other control characters are
// reported, printable ones are inserted (a beep when the line is full).
int WindowDevice::typed_character(int c, bool& changed) {
  if (c == backspace || c == del) {
    if (cursor_ > 0) {
      line_.erase(static_cast<std::size_t>(cursor_ - 1), 1);
      --cursor_;
      changed = true;
    }
    return 0;
  }
  if (c == tab) return vg::event_tab;
  if (c == line_feed || c == carriage_return) return vg::event_return;
  if (c < first_printable) {
    message("Unknown character value = " + std::to_string(c));
    return 0;
  }
  if (c >= first_upper_control && c < first_upper_printable) return 0;
  if (static_cast<int>(line_.size()) < max_line) {
    line_.insert(static_cast<std::size_t>(cursor_), 1, static_cast<char>(c));
    ++cursor_;
    changed = true;
  } else {
    bell();
  }
  return 0;
}

// The line editor. Returns 0 to go on (`changed` set when the line
// changed), event_return or event_tab when the line is ended.
int WindowDevice::edit_key(XEvent& event, int& browse, bool& changed) {
  char chars[16];
  KeySym keysym = NoSymbol;
  const int n = XLookupString(&event.xkey, chars, sizeof(chars), &keysym, nullptr);
  switch (keysym) {
    case XK_Left:
    case XK_KP_Left:
      move_cursor(-1, changed);
      return 0;
    case XK_Right:
    case XK_KP_Right:
      move_cursor(1, changed);
      return 0;
    case XK_Up:
    case XK_KP_Up:
      recall_older(browse, changed);
      return 0;
    case XK_Down:
    case XK_KP_Down:
      recall_newer(browse, changed);
      return 0;
    case XK_KP_Enter:
      return vg::event_return;
    default:
      // Modifier keys and keys without a character do nothing.
      return n == 1 ? typed_character(static_cast<unsigned char>(chars[0]), changed) : 0;
  }
}

struct WindowDevice::InputResult {
  int code = vg::device_ok;
  int type = vg::event_none;
  float x = 0, y = 0;
};

// One input call under way: what it asks for, the pointer last seen, the
// history entry browsed, whether the prompt is to be drawn again, and how
// the call ends.
struct WindowDevice::InputLoop {
  int wait_mode = 0;
  bool edit = false;   // a typed line is edited
  bool cross = false;  // the cross-hair follows the pointer
  bool changed = true;
  bool pointer_known = false;
  int pointer_x = 0, pointer_y = 0;
  int browse = 0;
  bool done = false;
  InputResult result;
  void finish(int type) {
    result.type = type;
    done = true;
  }
  void close() {
    result.code = vg::device_closed;
    done = true;
  }
};

// The loop shared by event and coordinate input.
WindowDevice::InputResult WindowDevice::input_loop(int wait_mode, bool edit, const Prompt& prompt,
                                                   bool cross) {
  InputLoop loop;
  loop.wait_mode = wait_mode;
  loop.edit = edit;
  loop.cross = cross;
  if (band_mode_ == 1 || band_mode_ == 2) {
    band_ax_ = static_cast<int>(std::floor(to_px(band_anchor_x_)));
    band_ay_ = static_cast<int>(std::floor(to_py(band_anchor_y_)));
  }
  // A window destroyed by another client counts as closed by the user.
  if (window_lost_) {
    loop.close();
    return loop.result;
  }
  show_dirty();
  while (!loop.done) {
    if (prompt.wanted && loop.changed) draw_prompt(prompt);
    loop.changed = false;
    show_dirty();
    XFlush(display_);
    XEvent event;
    if (!next_event(event, wait_mode != wait_none)) break;  // event_none
    dispatch_input(loop, event);
  }
  erase_band();
  spyglass_erase();
  // The window is as it was when this returns.
  XSync(display_, False);
  if (window_lost_) loop.result.code = vg::device_closed;
  return loop.result;
}

// One event of an input call, to its handler.
void WindowDevice::dispatch_input(InputLoop& loop, XEvent& event) {
  const WindowEvent window_result = handle_window_event(event);
  if (window_result == WindowEvent::closed || window_lost_) return loop.close();
  if (window_result == WindowEvent::redraw) return on_redraw(loop, event);
  switch (event.type) {
    case ButtonPress:
      if (event.xbutton.window == window_) on_button(loop, event);
      return;
    case MotionNotify:
      if (event.xmotion.window == window_) on_motion(loop, event);
      return;
    case LeaveNotify:
      if (event.xcrossing.window == window_) on_leave();
      return;
    case KeyPress:
      if (loop.edit) on_key(loop, event);
      return;
    default:
      return;
  }
}

// A redraw: the rest of a burst of exposures and size changes (a corrected
// size among them) is taken before one redraw is asked for. A call that
// waits returns event_redraw; one that does not puts back what lies on top
// of the picture, which is back from the pixmap.
void WindowDevice::on_redraw(InputLoop& loop, XEvent& event) {
  bool closed = false;
  while (XCheckTypedWindowEvent(display_, window_, ConfigureNotify, &event) != 0 ||
         XCheckTypedWindowEvent(display_, window_, Expose, &event) != 0 ||
         XCheckTypedWindowEvent(display_, window_, ClientMessage, &event) != 0) {
    closed = handle_window_event(event) == WindowEvent::closed || closed;
  }
  if (closed || window_lost_) return loop.close();
  if (loop.wait_mode > 0) return loop.finish(vg::event_redraw);
  loop.changed = true;
  if (loop.pointer_known) {
    band_to(loop.pointer_x, loop.pointer_y, loop.cross);
    if (spyglass_.on) spyglass_redraw_at(loop.pointer_x, loop.pointer_y);
  }
}

// A button press ends the call with the pointer's page position. The wheel
// (buttons 4 and 5) scrolls in event input and is no click anywhere.
void WindowDevice::on_button(InputLoop& loop, const XEvent& event) {
  const unsigned b = event.xbutton.button;
  int type = vg::event_button;
  if (b == Button4 || b == Button5 || b == 6 || b == 7) {
    if (!loop.edit || b > Button5) return;
    type = b == Button4 ? vg::event_wheel_up : vg::event_wheel_down;
  }
  loop.result.x = static_cast<float>(event.xbutton.x) / scale_;
  loop.result.y = static_cast<float>(height_ - event.xbutton.y) / scale_;
  loop.finish(type);
}

// The band, cross-hair and spyglass follow the pointer. Only the latest
// position matters: the movements queued right behind this one are passed
// over, but never one that follows a click or a key (the band must still
// follow the pointer after that click).
void WindowDevice::on_motion(InputLoop& loop, XEvent& event) {
  while (XEventsQueued(display_, QueuedAfterReading) > 0) {
    XEvent next;
    XPeekEvent(display_, &next);
    if (next.type != MotionNotify || next.xmotion.window != window_) break;
    XNextEvent(display_, &event);
  }
  loop.pointer_known = true;
  loop.pointer_x = event.xmotion.x;
  loop.pointer_y = event.xmotion.y;
  band_to(loop.pointer_x, loop.pointer_y, loop.cross);
  if (spyglass_.on) spyglass_redraw_at(loop.pointer_x, loop.pointer_y);
}

// The pointer left the window: the cross-hair and the spyglass go.
void WindowDevice::on_leave() {
  if (cross_drawn_) erase_band();
  if (spyglass_.drawn) spyglass_erase();
}

void WindowDevice::on_key(InputLoop& loop, XEvent& event) {
  const int ending = edit_key(event, loop.browse, loop.changed);
  if (ending != 0) loop.finish(ending);
}

void WindowDevice::erase_band() {
  if (!window_shows()) {
    band_drawn_ = cross_drawn_ = false;
    return;
  }
  if (band_drawn_) {
    draw_band_at(band_px_, band_py_);
    band_drawn_ = false;
  }
  if (cross_drawn_) {
    draw_cross_at(band_px_, band_py_);
    cross_drawn_ = false;
  }
}

void WindowDevice::spyglass_erase() {
  SpyglassState& g = spyglass_;
  if (!window_shows() || !g.drawn) {
    g.drawn = false;
    return;
  }
  XCopyArea(display_, pixmap_, window_, gc_copy_, g.box_x, g.box_y, static_cast<unsigned>(g.box_w),
            static_cast<unsigned>(g.box_h), g.box_x, g.box_y);
  XCopyArea(display_, pixmap_, window_, gc_copy_, 0, 0, static_cast<unsigned>(g.readout_w),
            static_cast<unsigned>(g.readout_h), 0, 0);
  g.drawn = false;
}

// The spyglass for the pointer at pixel (px, py): over the image, the
// magnified square around the data pixel under it, and the read-out. A band
// or cross-hair is drawn again over it.
void WindowDevice::spyglass_redraw_at(int px, int py) {
  if (!window_shows()) return;
  const bool band = band_drawn_ || cross_drawn_;
  const bool cross = cross_drawn_;
  const int bx = band_px_, by = band_py_;
  if (band) erase_band();
  spyglass_erase();
  int col = 0, row = 0;
  if (spyglass_pixel(px, py, col, row)) {
    draw_magnified(px, py, col, row);
    draw_readout(col, row);
    spyglass_.drawn = true;
  }
  if (band) redraw_band(bx, by, cross);
}

// The data pixel (column, row) under the pointer; false when the pointer is
// off the image.
bool WindowDevice::spyglass_pixel(int px, int py, int& col, int& row) const {
  const SpyglassState& g = spyglass_;
  const vg::Spyglass& p = g.parameters;
  const float lo_x = std::min(g.left, g.right), hi_x = std::max(g.left, g.right);
  const float lo_y = std::min(g.top, g.bottom), hi_y = std::max(g.top, g.bottom);
  const float cx = static_cast<float>(px) + 0.5f, cy = static_cast<float>(py) + 0.5f;
  if (!(cx >= lo_x && cx < hi_x && cy >= lo_y && cy < hi_y)) return false;
  const int ncols = p.xend - p.xstart + 1, nrows = p.yend - p.ystart + 1;
  col = p.xstart +
        std::clamp(static_cast<int>(std::floor((cx - g.left) / (g.right - g.left) * ncols)), 0,
                   ncols - 1);
  row = p.ystart +
        std::clamp(static_cast<int>(std::floor((cy - g.bottom) / (g.top - g.bottom) * nrows)), 0,
                   nrows - 1);
  return true;
}

// The magnified square: `size` data pixels across, each `magnification`
// window pixels, framed, beside the pointer (on the other side near an edge).
void WindowDevice::draw_magnified(int px, int py, int col, int row) {
  SpyglassState& g = spyglass_;
  const vg::Spyglass& p = g.parameters;
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
  int x = px + spyglass_offset, y = py - spyglass_offset - bh;
  if (x + bw + 1 > width_) x = px - spyglass_offset - bw;
  if (y - 1 < 0) y = py + spyglass_offset;
  // Data rows grow upwards on the window, columns as the image shows them.
  const bool flip_x = g.right < g.left;
  const bool flip_y = g.top > g.bottom;
  const float left = static_cast<float>(flip_x ? x + bw : x);
  const float right = static_cast<float>(flip_x ? x : x + bw);
  const float bottom = static_cast<float>(flip_y ? y : y + bh);
  const float top = static_cast<float>(flip_y ? y + bh : y);
  put_image(window_, gc_copy_, source, {left, top, right, bottom}, {0, 0, width_, height_});
  XSetForeground(display_, gc_copy_, pixel_of(1));
  XDrawRectangle(display_, window_, gc_copy_, x - 1, y - 1, static_cast<unsigned>(bw + 1),
                 static_cast<unsigned>(bh + 1));
  g.box_x = std::max(0, x - 1);
  g.box_y = std::max(0, y - 1);
  g.box_w = bw + 2;
  g.box_h = bh + 2;
}

// The read-out of the pixel in a white box at the top left, sized for the
// widest read-out.
void WindowDevice::draw_readout(int col, int row) {
  SpyglassState& g = spyglass_;
  const float value = g.parameters.data(col, row);
  char text[64];
  std::snprintf(text, sizeof(text), "X=%5i, Y=%5i, I=%g", col, row, static_cast<double>(value));
  const float saved_height = text_height_;
  const int saved_font = text_font_;
  text_font_ = 2;
  text_height_ = readout_text_pixels / scale_;
  const float tw = text_advance(widest_readout);
  g.readout_w = static_cast<int>(std::ceil(tw)) + 8;
  g.readout_h = readout_height;
  XSetForeground(display_, gc_copy_, red_mask_ | green_mask_ | blue_mask_);
  XFillRectangle(display_, window_, gc_copy_, 0, 0, static_cast<unsigned>(g.readout_w),
                 static_cast<unsigned>(g.readout_h));
  XSetForeground(display_, gc_copy_, 0);
  XDrawRectangle(display_, window_, gc_copy_, 0, 0, static_cast<unsigned>(g.readout_w - 1),
                 static_cast<unsigned>(g.readout_h - 1));
  if (window_draw_ == nullptr) {
    window_draw_ = XftDrawCreate(display_, window_, static_cast<Visual*>(visual_), colormap_);
  }
  if (window_draw_ != nullptr) {
    // Black text: index 1 of the default table may have been changed.
    const vg::Rgb saved = table_[1];
    const unsigned long saved_pixel = pixels_[1];
    table_[1] = {0, 0, 0};
    pixels_[1] = 0;
    draw_plain_text(window_draw_, 4.0f, 14.0f, text, 1);
    table_[1] = saved;
    pixels_[1] = saved_pixel;
  }
  text_font_ = saved_font;
  text_height_ = saved_height;
}

// Draws the band (or the cross-hair) again at the pixel it was at.
void WindowDevice::redraw_band(int px, int py, bool cross) {
  band_px_ = px;
  band_py_ = py;
  if (cross) {
    draw_cross_at(px, py);
    cross_drawn_ = true;
  } else {
    draw_band_at(px, py);
    band_drawn_ = true;
  }
}

int WindowDevice::event(const vg::EventRequest& request, vg::Event& event) {
  event.type = vg::event_none;
  if (!is_open()) return vg::device_failed;
  line_ = request.initial
              ? request.initial_string.substr(
                    0, static_cast<std::size_t>(std::min(SLEN(request.initial_string), max_line)))
              : std::string();
  cursor_ = static_cast<int>(line_.size());
  Prompt p;
  p.wanted = request.prompt_wanted;
  p.text =
      request.prompt.substr(0, static_cast<std::size_t>(std::min(SLEN(request.prompt), max_line)));
  p.x = request.box_x;
  p.y = request.box_y;
  p.w = request.box_width;
  p.h = request.box_height;
  const InputResult result = input_loop(request.wait_mode, true, p, false);
  event.type = result.type;
  event.x = result.x;
  event.y = result.y;
  event.text = line_;
  if (result.code == vg::device_ok) add_to_history(line_);
  return result.code;
}

int WindowDevice::coordinate(int wait_mode, int& type, float& x, float& y) {
  type = vg::event_none;
  if (!is_open()) return vg::device_failed;
  const InputResult result = input_loop(wait_mode, false, Prompt(), true);
  type = result.type;
  x = result.x;
  y = result.y;
  return result.code;
}

int WindowDevice::rubberband(int mode, float x, float y) {
  if (!is_open()) return vg::device_failed;
  erase_band();
  band_mode_ = (mode == 1 || mode == 2) ? mode : 0;
  band_anchor_x_ = x;
  band_anchor_y_ = y;
  return vg::device_ok;
}

int WindowDevice::spyglass(bool on, const vg::Spyglass& parameters) {
  if (!is_open()) return vg::device_failed;
  spyglass_erase();
  spyglass_.on = false;
  if (!on) return vg::device_ok;
  const vg::Spyglass& p = parameters;
  if (p.data.empty() || p.xstart < 1 || p.ystart < 1 || p.xstart > p.xend || p.ystart > p.yend ||
      p.xend > p.data.xmaxdat || p.yend > p.data.ymaxdat) {
    message("ERROR: Spyglass region lies outside the array");
    return vg::device_failed;
  }
  // The magnified pixels are scaled as the image was: a range the image
  // cannot have, the spyglass cannot either.
  if (!scale_cache_.same(p.low, p.high, p.logarithmic, image_first_, image_last_) &&
      !scale_cache_.set(p.low, p.high, p.logarithmic, image_first_, image_last_)) {
    message(vg::unusable_range_message(p.logarithmic));
    return vg::device_failed;
  }
  spyglass_.parameters = p;
  spyglass_.left = to_px(p.x0);
  spyglass_.right = to_px(p.x1);
  spyglass_.bottom = to_py(p.y0);
  spyglass_.top = to_py(p.y1);
  spyglass_.on = true;
  return vg::device_ok;
}

}  // namespace vg::x11

// State of the X11 window device, shared by its vg_x11*c.cpp files.
// Xlib and Xft types appear here only through their forward-declared struct
// names, so that this header pulls in no X header and none of its macros.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "vg.h"

struct _XDisplay;  // Display
struct _XGC;       // *GC
struct _XftDraw;   // XftDraw
struct _XftFont;   // XftFont
union _XEvent;     // XEvent

namespace vg::x11 {

using XId = unsigned long;  // Window, Pixmap, Colormap, Atom

inline constexpr double aspect_ratio = 1.414214;
inline constexpr int max_line = 132;
inline constexpr int history_size = 40;

struct Font {
  int font = 0;            // 1 serif, 2 monospace
  int pixel_size = 0;      // tenths of a pixel
  int angle = 0;           // tenths of a degree
  _XftFont* handle = nullptr;
  unsigned long last_used = 0;
};

struct SpyglassState {
  bool on = false;
  vg::Spyglass parameters;
  float left = 0, right = 0, top = 0, bottom = 0;  // pixel rectangle of the image
  bool drawn = false;
  int box_x = 0, box_y = 0, box_w = 0, box_h = 0;  // magnified box on the window
  int readout_w = 0, readout_h = 0;                // read-out box at the top left
};

struct State {
  _XDisplay* display = nullptr;
  std::string display_name;
  int screen = 0;
  void* visual = nullptr;  // Visual*
  int depth = 0;
  XId colormap = 0;
  bool own_colormap = false;
  XId window = 0;
  XId pixmap = 0;
  _XGC* gc_line = nullptr;
  _XGC* gc_marker = nullptr;
  _XGC* gc_fill = nullptr;
  _XGC* gc_copy = nullptr;  // pixmap to window, images
  _XGC* gc_band = nullptr;  // exclusive-or on the window
  _XftDraw* draw = nullptr;  // Xft drawing on the pixmap
  _XftDraw* window_draw = nullptr;  // Xft drawing on the window (spyglass read-out)
  XId wm_protocols = 0, wm_delete = 0;
  unsigned long red_mask = 0, green_mask = 0, blue_mask = 0;

  int format = vg::format_portrait;
  int width = 500, height = 707;
  float scale = 707.0f;  // pixels per page unit

  std::array<vg::Rgb, vg::table_size> table{};
  std::array<unsigned long, vg::table_size> pixels{};
  int image_first = 41, image_last = 250, second_first = 49, second_last = 250;

  int line_colour = 1, line_style = 1, marker_type = 1, marker_colour = 1;
  float line_width = 1.0f, marker_scale = 1.0f, marker_width = 1.0f;
  int fill_colour = 1, text_colour = 1, text_font = 1, mask_colour = 0;
  float text_height = 1.0f, text_angle = 0.0f;
  int text_horizontal = 1, text_vertical = 0;
  bool logarithmic = false;

  // World to device units (page units x 707).
  float xscale = 707.0f, yscale = 707.0f, xoffset = 0.0f, yoffset = 0.0f;
  float window_rect[4] = {0, 0, 1, 1};
  float viewport_rect[4] = {0, 0, 1, 1};
  bool clip_on = false;
  int clip_x = 0, clip_y = 0, clip_w = 0, clip_h = 0;  // pixels

  std::vector<Font> fonts;
  unsigned long font_clock = 0;

  bool suspended = false;
  bool dirty = false;
  int dirty_x0 = 0, dirty_y0 = 0, dirty_x1 = 0, dirty_y1 = 0;

  int band_mode = 0;
  float band_anchor_x = 0, band_anchor_y = 0;  // world
  bool band_drawn = false;
  bool cross_drawn = false;
  int band_ax = 0, band_ay = 0, band_px = 0, band_py = 0;  // pixels
  SpyglassState spyglass;

  std::string line;  // the input line
  int cursor = 0;
  std::array<std::string, history_size> history;
  int history_count = 0;
  int history_newest = -1;
};

State& state();
bool is_open();

// Pixel value of a colour index (the inverse-video index gives all planes).
unsigned long pixel_of(int index);
// World coordinates to window pixels.
inline float to_px(float wx) {
  const State& s = state();
  return (wx * s.xscale + s.xoffset) * s.scale / vg::page_to_device;
}
inline float to_py(float wy) {
  const State& s = state();
  return static_cast<float>(s.height) - (wy * s.yscale + s.yoffset) * s.scale / vg::page_to_device;
}
// Records a drawn pixel rectangle and shows it unless updating is held back.
void drawn(int x0, int y0, int x1, int y1);
// Copies the pixmap (all of it, or what was drawn) to the window.
void show_all();
void show_dirty();
// Applies the clip rectangle (or none) to the drawing GCs and the Xft draw.
void apply_clip();
// Console line through IO_WRITE.
void message(const std::string& text);

// Waits for the next event (wait true) or takes one already queued; false
// when none is queued and wait is false.
bool next_event(_XEvent& event, bool wait);
// Window-level handling shared by the input loops: exposure, resizing and the
// close request. Returns 0 nothing of interest, 1 the window must be redrawn
// (exposed or resized), 2 the user closed the window.
int handle_window_event(_XEvent& event);

// Draws a masked real or colour-index image into a drawable over a pixel
// rectangle (left, top, right, bottom as real pixel edges), clipped to
// clip_x0..clip_x1, clip_y0..clip_y1. Returns device_ok or device_failed.
struct ImageSource {
  io::View2D<const float> data;
  io::View2D<const bool> mask;
  io::View2D<const int> cells;
  io::View2D<const unsigned char> bytes;
  int xstart = 1, ystart = 1, xend = 1, yend = 1;
  float low = 0, high = 1;
  bool logarithmic = false;
};
// `mirror` (0 none) is a second drawable that receives the same pixels, band
// by band (the window, when what goes into the pixmap is to show at once);
// `placed` (null: not wanted) gets the pixel rectangle written, x0, y0, x1,
// y1 (nothing written: x1 <= x0 or y1 <= y0).
int put_image(XId drawable, _XGC* gc, const ImageSource& source, float left, float top,
              float right, float bottom, int clip_x0, int clip_y0, int clip_x1, int clip_y1,
              XId mirror = 0, int* placed = nullptr);
// Lets go of the shared-memory image segment (before the connection closes).
void release_images();

// Text helpers of the drawing file used by the prompt line and the spyglass.
// Draws text with its base line start at pixel (x, y), no rotation, in a
// colour index, on the given Xft draw (null: the pixmap's).
void draw_plain_text(_XftDraw* target, float x, float y, const std::string& text, int colour);
// Advance width in pixels of the text at the current font and height.
float text_advance(const std::string& text);
void release_fonts();

// Input line editor and spyglass helpers of the input file.
void erase_band();
void spyglass_erase();
void spyglass_redraw_at(int px, int py);

}  // namespace vg::x11

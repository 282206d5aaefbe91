// The X11 window device: transform, clipping, attributes, lines, markers,
// filled polygons and text (Xft fonts found through fontconfig).
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "vg_x11.h"
#include "vg_x11_state.h"

namespace vg::x11 {

namespace {

constexpr float nominal = 707.0f;  // pixels per page unit at which widths are nominal

// Pixels of the window's nominal unit at its present size.
float unit() { return state().scale / nominal; }

// Window pixel n covers the continuous coordinates n to n + 1: lines and
// markers are drawn in the pixel a point falls in, polygon edges are put on
// the nearest pixel boundary (X fills the pixels whose centres lie inside).
short pixel_of_point(float v) {
  return static_cast<short>(std::floor(std::clamp(v, -30000.0f, 30000.0f)));
}
short boundary_of_point(float v) {
  return static_cast<short>(std::lround(std::clamp(v, -30000.0f, 30000.0f)));
}

// Device line width in pixels for a width factor (1 = the thinnest line).
int pixel_width(float width) {
  const float w = width * unit();
  return w <= 1.5f ? 0 : static_cast<int>(std::lround(w));
}

// Selects colour and drawing function of a GC for a colour index.
void set_colour(GC gc, int colour) {
  State& s = state();
  XSetForeground(s.display, gc, pixel_of(colour));
  XSetFunction(s.display, gc, colour == vg::inverse_video ? GXxor : GXcopy);
}

void set_line_gc(GC gc, float width, int style) {
  State& s = state();
  const int w = pixel_width(width);
  const bool dashed = style >= 2 && style <= 4;
  XSetLineAttributes(s.display, gc, static_cast<unsigned>(w), dashed ? LineOnOffDash : LineSolid,
                     CapButt, JoinRound);
  if (dashed) {
    // Dash lengths follow the window size and grow with thick lines.
    const float f = unit() * std::max(1.0f, static_cast<float>(w));
    const auto len = [&](float v) {
      return static_cast<char>(std::clamp(static_cast<int>(std::lround(v * f)), 1, 127));
    };
    char dashes[4];
    int n = 2;
    if (style == 2) {
      dashes[0] = len(10.0f);
      dashes[1] = len(10.0f);
    } else if (style == 3) {
      dashes[0] = len(2.0f);
      dashes[1] = len(4.0f);
    } else {
      dashes[0] = len(10.0f);
      dashes[1] = len(4.0f);
      dashes[2] = len(2.0f);
      dashes[3] = len(4.0f);
      n = 4;
    }
    XSetDashes(s.display, gc, 0, dashes, n);
  }
}

struct Bounds {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
  void add(int x, int y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
  void report(int margin) const {
    if (x1 >= x0) drawn(x0 - margin, y0 - margin, x1 + margin + 1, y1 + margin + 1);
  }
};

std::vector<XPoint> to_points(int n, const float x[], const float y[], Bounds& bounds,
                              bool boundaries = false) {
  std::vector<XPoint> points(static_cast<std::size_t>(n));
  const auto convert = boundaries ? boundary_of_point : pixel_of_point;
  for (int i = 0; i < n; ++i) {
    points[static_cast<std::size_t>(i)] = {convert(to_px(x[i])), convert(to_py(y[i]))};
    bounds.add(points[static_cast<std::size_t>(i)].x, points[static_cast<std::size_t>(i)].y);
  }
  return points;
}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------

constexpr std::size_t font_cache_size = 8;

XftFont* open_font(int font, double pixel_size, double angle_degrees) {
  State& s = state();
  const char* families[2][2] = {{"Liberation Serif", "serif"}, {"Liberation Mono", "monospace"}};
  const int which = font == 2 ? 1 : 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(families[which][attempt]));
    if (attempt == 0) {
      FcPatternAddString(pattern, FC_FAMILY,
                         reinterpret_cast<const FcChar8*>(families[which][1]));
    }
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixel_size);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    // Unhinted outlines keep widths proportional to the height.
    FcPatternAddBool(pattern, FC_HINTING, FcFalse);
    FcPatternAddBool(pattern, FC_ANTIALIAS, FcTrue);
    if (angle_degrees != 0.0) {
      const double a = angle_degrees * std::numbers::pi / 180.0;
      FcMatrix matrix;
      matrix.xx = std::cos(a);
      matrix.xy = -std::sin(a);
      matrix.yx = std::sin(a);
      matrix.yy = std::cos(a);
      FcPatternAddMatrix(pattern, FC_MATRIX, &matrix);
    }
    FcResult result;
    FcPattern* match = XftFontMatch(s.display, s.screen, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) continue;
    XftFont* handle = XftFontOpenPattern(s.display, match);
    if (handle != nullptr) return handle;
    FcPatternDestroy(match);
  }
  return nullptr;
}

// The font at a pixel size and angle, from the cache when it is there.
XftFont* font_for(int font, double pixel_size, double angle_degrees) {
  State& s = state();
  const int size_key = static_cast<int>(std::lround(pixel_size * 10.0));
  int angle_key = static_cast<int>(std::lround(angle_degrees * 10.0)) % 3600;
  if (angle_key < 0) angle_key += 3600;
  ++s.font_clock;
  for (Font& f : s.fonts) {
    if (f.font == font && f.pixel_size == size_key && f.angle == angle_key) {
      f.last_used = s.font_clock;
      return f.handle;
    }
  }
  XftFont* handle = open_font(font, size_key / 10.0, angle_key / 10.0);
  if (handle == nullptr) {
    message("WARNING: Failed to create required font");
    return nullptr;
  }
  if (s.fonts.size() >= font_cache_size) {
    auto oldest = std::min_element(s.fonts.begin(), s.fonts.end(), [](const Font& a, const Font& b) {
      return a.last_used < b.last_used;
    });
    XftFontClose(s.display, oldest->handle);
    s.fonts.erase(oldest);
  }
  s.fonts.push_back({font, size_key, angle_key, handle, s.font_clock});
  return handle;
}

// Pixel size of the current text height; measurements of very large texts
// are made at a smaller size and scaled up.
constexpr double max_measure_size = 400.0;

double text_pixel_size() {
  const State& s = state();
  return std::max(1.0, static_cast<double>(s.text_height) * static_cast<double>(s.scale));
}

XGlyphInfo extents(XftFont* font, const std::string& text) {
  XGlyphInfo info{};
  XftTextExtents8(state().display, font, reinterpret_cast<const FcChar8*>(text.data()),
                  static_cast<int>(text.size()), &info);
  return info;
}

void set_xft_colour(XftColor& colour, int index) {
  const State& s = state();
  const vg::Rgb& c = s.table[static_cast<std::size_t>(std::clamp(index, 0, vg::table_size - 1))];
  colour.pixel = pixel_of(index);
  colour.color.red = static_cast<unsigned short>(std::lround(std::clamp(c.r, 0.0f, 1.0f) * 65535.0f));
  colour.color.green = static_cast<unsigned short>(std::lround(std::clamp(c.g, 0.0f, 1.0f) * 65535.0f));
  colour.color.blue = static_cast<unsigned short>(std::lround(std::clamp(c.b, 0.0f, 1.0f) * 65535.0f));
  colour.color.alpha = 0xffff;
}

// Draws text whose base line starts at (x, y) with a font; inverse video
// inverts the pixels under the glyphs.
void draw_string(XftDraw* target, XftFont* font, float x, float y, const std::string& text,
                 int colour) {
  State& s = state();
  const auto* chars = reinterpret_cast<const FcChar8*>(text.data());
  const int length = static_cast<int>(text.size());
  const int ix = static_cast<int>(std::lround(x)), iy = static_cast<int>(std::lround(y));
  XGlyphInfo info = extents(font, text);
  const int left = ix - info.x - 1, top = iy - info.y - 1;
  const int w = info.width + 2, h = info.height + 2;
  if (colour != vg::inverse_video) {
    XftColor xft_colour;
    set_xft_colour(xft_colour, colour);
    XftDrawString8(target, &xft_colour, font, ix, iy, chars, length);
  } else if (w > 0 && h > 0) {
    // White glyphs on black in a scratch pixmap, then exclusive-or.
    Pixmap scratch = XCreatePixmap(s.display, s.window, static_cast<unsigned>(w),
                                   static_cast<unsigned>(h), static_cast<unsigned>(s.depth));
    XSetFunction(s.display, s.gc_copy, GXcopy);
    XSetForeground(s.display, s.gc_copy, 0);
    XFillRectangle(s.display, scratch, s.gc_copy, 0, 0, static_cast<unsigned>(w),
                   static_cast<unsigned>(h));
    XftDraw* scratch_draw =
        XftDrawCreate(s.display, scratch, static_cast<Visual*>(s.visual), s.colormap);
    XftColor white;
    white.pixel = s.red_mask | s.green_mask | s.blue_mask;
    white.color = {0xffff, 0xffff, 0xffff, 0xffff};
    XftDrawString8(scratch_draw, &white, font, ix - left, iy - top, chars, length);
    XftDrawDestroy(scratch_draw);
    Drawable destination = XftDrawDrawable(target);
    XSetFunction(s.display, s.gc_fill, GXxor);
    XCopyArea(s.display, scratch, destination, s.gc_fill, 0, 0, static_cast<unsigned>(w),
              static_cast<unsigned>(h), left, top);
    XSetFunction(s.display, s.gc_fill, GXcopy);
    XFreePixmap(s.display, scratch);
  }
}

}  // namespace

void release_fonts() {
  State& s = state();
  for (Font& f : s.fonts) XftFontClose(s.display, f.handle);
  s.fonts.clear();
}

float text_advance(const std::string& text) {
  if (text.empty()) return 0.0f;
  const double size = text_pixel_size();
  const double measure = std::min(size, max_measure_size);
  XftFont* font = font_for(state().text_font, measure, 0.0);
  if (font == nullptr) return 0.0f;
  return static_cast<float>(extents(font, text).xOff * size / measure);
}

void draw_plain_text(XftDraw* target, float x, float y, const std::string& text, int colour) {
  State& s = state();
  XftFont* font = font_for(s.text_font, text_pixel_size(), 0.0);
  if (font == nullptr || text.empty()) return;
  draw_string(target != nullptr ? target : s.draw, font, x, y, text, colour);
}

}  // namespace vg::x11

using namespace vg::x11;

void VG_X11_TRANSFORM(const float window[4], const float viewport[4], int& error) {
  State& s = state();
  error = vg::device_failed;
  if (window[2] == window[0] || window[3] == window[1]) return;
  for (int i = 0; i < 4; ++i) {
    s.window_rect[i] = window[i];
    s.viewport_rect[i] = viewport[i];
  }
  s.xscale = (viewport[2] - viewport[0]) * vg::page_to_device / (window[2] - window[0]);
  s.yscale = (viewport[3] - viewport[1]) * vg::page_to_device / (window[3] - window[1]);
  s.xoffset = vg::page_to_device * viewport[0] - window[0] * s.xscale;
  s.yoffset = vg::page_to_device * viewport[1] - window[1] * s.yscale;
  error = vg::device_ok;
}

void VG_X11_CLIP(bool on, const float rectangle[4]) {
  State& s = state();
  s.clip_on = on;
  if (on) {
    const float x0 = to_px(rectangle[0]), x1 = to_px(rectangle[2]);
    const float y0 = to_py(rectangle[1]), y1 = to_py(rectangle[3]);
    const int left = static_cast<int>(std::floor(std::min(x0, x1)));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1)));
    const int top = static_cast<int>(std::floor(std::min(y0, y1)));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1)));
    s.clip_x = std::clamp(left, 0, 30000);
    s.clip_y = std::clamp(top, 0, 30000);
    s.clip_w = std::clamp(right, 0, 30000) - s.clip_x;
    s.clip_h = std::clamp(bottom, 0, 30000) - s.clip_y;
  }
  apply_clip();
}

void VG_X11_LINECOLOUR(int colour, int& error) {
  state().line_colour = colour;
  error = vg::device_ok;
}
void VG_X11_LINESTYLE(int style, int& error) {
  state().line_style = style;
  error = vg::device_ok;
}
void VG_X11_LINEWIDTH(float width, int& error) {
  state().line_width = width;
  error = vg::device_ok;
}
void VG_X11_MARKERCOLOUR(int colour, int& error) {
  state().marker_colour = colour;
  error = vg::device_ok;
}
void VG_X11_MARKERTYPE(int type, int& error) {
  state().marker_type = type;
  error = vg::device_ok;
}
void VG_X11_MARKERSCALE(float scale, int& error) {
  state().marker_scale = scale;
  error = vg::device_ok;
}
void VG_X11_MARKERWIDTH(float width, int& error) {
  state().marker_width = width;
  error = vg::device_ok;
}
void VG_X11_FILLCOLOUR(int colour, int& error) {
  state().fill_colour = colour;
  error = vg::device_ok;
}
void VG_X11_TEXTCOLOUR(int colour, int& error) {
  state().text_colour = colour;
  error = vg::device_ok;
}
void VG_X11_TEXTFONT(int font, int& error) {
  state().text_font = font == 2 ? 2 : 1;
  error = vg::device_ok;
}
void VG_X11_TEXTHEIGHT(float height, int& error) {
  error = vg::device_ok;
  if (height <= 0.0f) {
    message("WARNING: Attempt to set zero or negative height text characters");
    return;
  }
  state().text_height = height;
}
void VG_X11_TEXTANGLE(float degrees, int& error) {
  state().text_angle = degrees;
  error = vg::device_ok;
}
void VG_X11_TEXTALIGNMENT(int horizontal, int vertical, int& error) {
  state().text_horizontal = horizontal;
  state().text_vertical = vertical;
  error = vg::device_ok;
}
void VG_X11_MASKCOLOUR(int colour, int& error) {
  state().mask_colour = colour;
  error = vg::device_ok;
}

void VG_X11_PL(int n, const float x[], const float y[], int& error) {
  State& s = state();
  error = vg::device_failed;
  if (!is_open()) return;
  error = vg::device_ok;
  if (n < 2) return;
  Bounds bounds;
  std::vector<XPoint> points = to_points(n, x, y, bounds);
  set_colour(s.gc_line, s.line_colour);
  set_line_gc(s.gc_line, s.line_width, s.line_style);
  XDrawLines(s.display, s.pixmap, s.gc_line, points.data(), n, CoordModeOrigin);
  bounds.report(pixel_width(s.line_width) + 1);
}

void VG_X11_PM(int n, const float x[], const float y[], int& error) {
  State& s = state();
  error = vg::device_failed;
  if (!is_open()) return;
  error = vg::device_ok;
  if (n < 1) return;
  Bounds bounds;
  std::vector<XPoint> points = to_points(n, x, y, bounds);
  set_colour(s.gc_marker, s.marker_colour);
  set_line_gc(s.gc_marker, s.marker_width, 1);
  // Half the size of a marker of scale 1 is 0.006 page units (4 pixels).
  const int r = std::max(1, static_cast<int>(std::lround(0.006f * s.scale * s.marker_scale)));
  const int d = std::max(1, static_cast<int>(std::lround(r * 0.707f)));
  std::vector<XSegment> segments;
  for (const XPoint& p : points) {
    const short px = p.x, py = p.y;
    auto seg = [&](int x0, int y0, int x1, int y1) {
      segments.push_back({static_cast<short>(px + x0), static_cast<short>(py + y0),
                          static_cast<short>(px + x1), static_cast<short>(py + y1)});
    };
    switch (s.marker_type) {
      case 2:  // plus
        seg(-r, 0, r, 0);
        seg(0, -r, 0, r);
        break;
      case 3:  // star: plus and diagonal cross
        seg(-r, 0, r, 0);
        seg(0, -r, 0, r);
        seg(-d, -d, d, d);
        seg(-d, d, d, -d);
        break;
      case 4: {  // circle
        XDrawArc(s.display, s.pixmap, s.gc_marker, px - r, py - r, static_cast<unsigned>(2 * r),
                 static_cast<unsigned>(2 * r), 0, 360 * 64);
        break;
      }
      case 5:  // cross
        seg(-d, -d, d, d);
        seg(-d, d, d, -d);
        break;
      default: {  // dot: a small filled square
        const int half = std::max(1, static_cast<int>(std::lround(s.scale / nominal)));
        XFillRectangle(s.display, s.pixmap, s.gc_marker, px - half / 2, py - half / 2,
                       static_cast<unsigned>(half + 1), static_cast<unsigned>(half + 1));
        break;
      }
    }
  }
  if (!segments.empty()) {
    XDrawSegments(s.display, s.pixmap, s.gc_marker, segments.data(),
                  static_cast<int>(segments.size()));
  }
  bounds.report(r + pixel_width(s.marker_width) + 2);
}

void VG_X11_FA(int n, const float x[], const float y[], int& error) {
  State& s = state();
  error = vg::device_failed;
  if (!is_open()) return;
  error = vg::device_ok;
  if (n < 3) return;
  Bounds bounds;
  std::vector<XPoint> points = to_points(n, x, y, bounds, true);
  set_colour(s.gc_fill, s.fill_colour);
  XFillPolygon(s.display, s.pixmap, s.gc_fill, points.data(), n, Complex, CoordModeOrigin);
  XSetFunction(s.display, s.gc_fill, GXcopy);
  bounds.report(1);
}

void VG_X11_TEXT(float x, float y, const std::string& text, int& error) {
  std::string significant = text.substr(0, static_cast<std::size_t>(SLEN(text)));
  VG_X11_TEXTC(x, y, significant.c_str(), static_cast<int>(significant.size()), error);
}

void VG_X11_TEXTC(float x, float y, const char* text, int length, int& error) {
  State& s = state();
  error = vg::device_failed;
  if (!is_open()) return;
  error = vg::device_ok;
  const std::string str(text, strnlen(text, static_cast<std::size_t>(std::max(length, 0))));
  if (str.empty()) return;
  const double size = text_pixel_size();
  // Alignment is measured on the upright font, then turned with the text.
  XftFont* upright = font_for(s.text_font, size, 0.0);
  if (upright == nullptr) return;
  const double advance = extents(upright, str).xOff;
  double xa = 0.0;
  if (s.text_horizontal == 2) xa = advance / 2.0;
  if (s.text_horizontal == 3) xa = advance;
  double ya = 0.0;  // upwards from the base line
  const auto top = [&](const char* c) { return static_cast<double>(extents(upright, c).y); };
  const auto bottom = [&](const char* c) {
    XGlyphInfo g = extents(upright, c);
    return static_cast<double>(g.y) - g.height;
  };
  switch (s.text_vertical) {
    case 1:
      ya = top("l");
      break;
    case 2:
      ya = top("X");
      break;
    case 3:
      ya = (top("X") + bottom("g")) / 2.0;
      break;
    case 5:
      ya = bottom("g");
      break;
    case 6:
      ya = (top("X") + bottom("X")) / 2.0;
      break;
    default:
      break;
  }
  const double a = s.text_angle * std::numbers::pi / 180.0;
  const double ca = std::cos(a), sa = std::sin(a);
  const double px = to_px(x), py = to_py(y);
  const double ox = px - (ca * xa - sa * ya);
  const double oy = py + (sa * xa + ca * ya);
  XftFont* font = s.text_angle == 0.0f ? upright : font_for(s.text_font, size, s.text_angle);
  if (font == nullptr) return;
  draw_string(s.draw, font, static_cast<float>(ox), static_cast<float>(oy), str, s.text_colour);
  // The area touched: the turned box of the text, with room for ascent and descent.
  const double asc = upright->ascent + 2, desc = upright->descent + 2;
  Bounds bounds;
  for (double u : {-2.0, advance + 2.0}) {
    for (double v : {-desc, asc}) {
      bounds.add(static_cast<int>(std::lround(ox + ca * u - sa * v)),
                 static_cast<int>(std::lround(oy - (sa * u + ca * v))));
    }
  }
  bounds.report(2);
}

void VG_X11_TEXTWIDTH(const std::string& text, float& width, int& error) {
  State& s = state();
  error = vg::device_failed;
  width = 0.0f;
  if (!is_open()) return;
  const std::string significant = text.substr(0, static_cast<std::size_t>(SLEN(text)));
  width = text_advance(significant) / s.scale;
  error = vg::device_ok;
}

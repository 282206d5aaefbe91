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

namespace vg::x11 {

namespace {

// Largest pixel coordinate handed to Xlib (its points are 16-bit).
constexpr float max_coordinate = 30000.0f;
// Half the size of a marker of scale 1, in page units.
constexpr float marker_half = 0.006f;
// Measurements of very large texts are made at this pixel size and scaled up.
constexpr double max_measure_size = 400.0;

// Window pixel n covers the continuous coordinates n to n + 1: lines and
// markers are drawn in the pixel a point falls in, polygon edges are put on
// the nearest pixel boundary (X fills the pixels whose centres lie inside).
short pixel_of_point(float v) {
  return static_cast<short>(std::floor(std::clamp(v, -max_coordinate, max_coordinate)));
}
short boundary_of_point(float v) {
  return static_cast<short>(std::lround(std::clamp(v, -max_coordinate, max_coordinate)));
}

struct Bounds {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
  void add(int x, int y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
  }
};

XGlyphInfo extents(Display* display, XftFont* font, const std::string& text) {
  XGlyphInfo info{};
  XftTextExtents8(display, font, reinterpret_cast<const FcChar8*>(text.data()),
                  static_cast<int>(text.size()), &info);
  return info;
}

}  // namespace

// Device line width in pixels for a width factor (1 = the thinnest line).
int WindowDevice::pixel_width(float width) const {
  const float w = width * unit();
  return w <= 1.5f ? 0 : static_cast<int>(std::lround(w));
}

// Selects colour and drawing function of a GC for a colour index.
void WindowDevice::set_colour(GC gc, int colour) {
  XSetForeground(display_, gc, pixel_of(colour));
  XSetFunction(display_, gc, colour == vg::inverse_video ? GXxor : GXcopy);
}

void WindowDevice::set_line_gc(GC gc, float width, int style) {
  const int w = pixel_width(width);
  const bool dashed = style >= 2 && style <= 4;
  XSetLineAttributes(display_, gc, static_cast<unsigned>(w), dashed ? LineOnOffDash : LineSolid,
                     CapButt, JoinRound);
  if (!dashed) return;
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
  XSetDashes(display_, gc, 0, dashes, n);
}

void WindowDevice::report_bounds(int x0, int y0, int x1, int y1, int margin) {
  if (x1 >= x0) drawn(x0 - margin, y0 - margin, x1 + margin + 1, y1 + margin + 1);
}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------

XftFont* WindowDevice::open_font(int font, double pixel_size, double angle_degrees) {
  const char* families[2][2] = {{"Liberation Serif", "serif"}, {"Liberation Mono", "monospace"}};
  const int which = font == 2 ? 1 : 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(families[which][attempt]));
    if (attempt == 0) {
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(families[which][1]));
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
    FcPattern* match = XftFontMatch(display_, screen_, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) continue;
    if (angle_degrees != 0.0) {
      // A monospaced font keeps one upright advance for all its glyphs, so
      // that turned text would pile its letters on one another: spaced as
      // a proportional font, each glyph advances along the turned line.
      FcPatternDel(match, FC_SPACING);
      FcPatternAddInteger(match, FC_SPACING, FC_PROPORTIONAL);
    }
    XftFont* handle = XftFontOpenPattern(display_, match);
    if (handle != nullptr) return handle;
    FcPatternDestroy(match);
  }
  return nullptr;
}

// The font at a pixel size and angle, from the cache when it is there.
XftFont* WindowDevice::font_for(int font, double pixel_size, double angle_degrees) {
  const int size_key = static_cast<int>(std::lround(pixel_size * 10.0));
  int angle_key = static_cast<int>(std::lround(angle_degrees * 10.0)) % 3600;
  if (angle_key < 0) angle_key += 3600;
  ++font_clock_;
  for (Font& f : fonts_) {
    if (f.font == font && f.pixel_size == size_key && f.angle == angle_key) {
      f.last_used = font_clock_;
      return f.handle;
    }
  }
  XftFont* handle = open_font(font, size_key / 10.0, angle_key / 10.0);
  if (handle == nullptr) {
    message("WARNING: Failed to create required font");
    return nullptr;
  }
  if (fonts_.size() >= font_cache_size) {
    auto oldest = std::min_element(fonts_.begin(), fonts_.end(), [](const Font& a, const Font& b) {
      return a.last_used < b.last_used;
    });
    XftFontClose(display_, oldest->handle);
    fonts_.erase(oldest);
  }
  fonts_.push_back({font, size_key, angle_key, handle, font_clock_});
  return handle;
}

// Pixel size of the current text height.
double WindowDevice::text_pixel_size() const {
  return std::max(1.0, static_cast<double>(text_height_) * static_cast<double>(scale_));
}

// Draws text whose base line starts at (x, y) with a font; inverse video
// inverts the pixels under the glyphs.
void WindowDevice::draw_string(XftDraw* target, XftFont* font, float x, float y,
                               const std::string& text, int colour) {
  const auto* chars = reinterpret_cast<const FcChar8*>(text.data());
  const int length = static_cast<int>(text.size());
  const int ix = static_cast<int>(std::lround(x)), iy = static_cast<int>(std::lround(y));
  XGlyphInfo info = extents(display_, font, text);
  const int left = ix - info.x - 1, top = iy - info.y - 1;
  const int w = info.width + 2, h = info.height + 2;
  if (colour != vg::inverse_video) {
    const vg::Rgb& c = table_[static_cast<std::size_t>(std::clamp(colour, 0, vg::table_size - 1))];
    const auto channel = [](float v) {
      return static_cast<unsigned short>(std::lround(std::clamp(v, 0.0f, 1.0f) * 65535.0f));
    };
    XftColor xft_colour;
    xft_colour.pixel = pixel_of(colour);
    xft_colour.color = {channel(c.r), channel(c.g), channel(c.b), 0xffff};
    XftDrawString8(target, &xft_colour, font, ix, iy, chars, length);
  } else if (w > 0 && h > 0) {
    // White glyphs on black in a scratch pixmap, then exclusive-or.
    Pixmap scratch = XCreatePixmap(display_, window_, static_cast<unsigned>(w),
                                   static_cast<unsigned>(h), static_cast<unsigned>(depth_));
    XSetFunction(display_, gc_copy_, GXcopy);
    XSetForeground(display_, gc_copy_, 0);
    XFillRectangle(display_, scratch, gc_copy_, 0, 0, static_cast<unsigned>(w),
                   static_cast<unsigned>(h));
    XftDraw* scratch_draw =
        XftDrawCreate(display_, scratch, static_cast<Visual*>(visual_), colormap_);
    XftColor white;
    white.pixel = red_mask_ | green_mask_ | blue_mask_;
    white.color = {0xffff, 0xffff, 0xffff, 0xffff};
    XftDrawString8(scratch_draw, &white, font, ix - left, iy - top, chars, length);
    XftDrawDestroy(scratch_draw);
    Drawable destination = XftDrawDrawable(target);
    XSetFunction(display_, gc_fill_, GXxor);
    XCopyArea(display_, scratch, destination, gc_fill_, 0, 0, static_cast<unsigned>(w),
              static_cast<unsigned>(h), left, top);
    XSetFunction(display_, gc_fill_, GXcopy);
    XFreePixmap(display_, scratch);
  }
}

void WindowDevice::release_fonts() {
  for (Font& f : fonts_) XftFontClose(display_, f.handle);
  fonts_.clear();
}

// Advance width in pixels of the text at the current font and height.
float WindowDevice::text_advance(const std::string& text) {
  if (text.empty()) return 0.0f;
  const double size = text_pixel_size();
  const double measure = std::min(size, max_measure_size);
  XftFont* font = font_for(text_font_, measure, 0.0);
  if (font == nullptr) return 0.0f;
  return static_cast<float>(extents(display_, font, text).xOff * size / measure);
}

// Text with its base line start at pixel (x, y), no rotation, in a colour
// index, on the given Xft draw (null: the pixmap's).
void WindowDevice::draw_plain_text(XftDraw* target, float x, float y, const std::string& text,
                                   int colour) {
  XftFont* font = font_for(text_font_, text_pixel_size(), 0.0);
  if (font == nullptr || text.empty()) return;
  draw_string(target != nullptr ? target : draw_, font, x, y, text, colour);
}

// ---------------------------------------------------------------------------
// Transform, clipping and attributes
// ---------------------------------------------------------------------------

int WindowDevice::set_transform(const float window[4], const float viewport[4]) {
  if (window[2] == window[0] || window[3] == window[1]) return vg::device_failed;
  xscale_ = (viewport[2] - viewport[0]) * vg::page_to_device / (window[2] - window[0]);
  yscale_ = (viewport[3] - viewport[1]) * vg::page_to_device / (window[3] - window[1]);
  xoffset_ = vg::page_to_device * viewport[0] - window[0] * xscale_;
  yoffset_ = vg::page_to_device * viewport[1] - window[1] * yscale_;
  return vg::device_ok;
}

int WindowDevice::set_clip(bool on, const float rectangle[4]) {
  if (!is_open()) return vg::device_failed;
  clip_on_ = on;
  if (on) {
    const float x0 = to_px(rectangle[0]), x1 = to_px(rectangle[2]);
    const float y0 = to_py(rectangle[1]), y1 = to_py(rectangle[3]);
    const int limit = static_cast<int>(max_coordinate);
    const int left = static_cast<int>(std::floor(std::min(x0, x1)));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1)));
    const int top = static_cast<int>(std::floor(std::min(y0, y1)));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1)));
    clip_x_ = std::clamp(left, 0, limit);
    clip_y_ = std::clamp(top, 0, limit);
    clip_w_ = std::clamp(right, 0, limit) - clip_x_;
    clip_h_ = std::clamp(bottom, 0, limit) - clip_y_;
  }
  apply_clip();
  return vg::device_ok;
}

namespace {

// The attribute setters that only keep the value for the next primitive.
template <typename T>
int store(T& member, T value) {
  member = value;
  return vg::device_ok;
}

}  // namespace

int WindowDevice::line_colour(int colour) {
  return store(line_colour_, colour);
}
int WindowDevice::line_style(int style) {
  return store(line_style_, style);
}
int WindowDevice::line_width(float width) {
  return store(line_width_, width);
}
int WindowDevice::marker_colour(int colour) {
  return store(marker_colour_, colour);
}
int WindowDevice::marker_type(int type) {
  return store(marker_type_, type);
}
int WindowDevice::marker_scale(float scale) {
  return store(marker_scale_, scale);
}
int WindowDevice::marker_width(float width) {
  return store(marker_width_, width);
}
int WindowDevice::fill_colour(int colour) {
  return store(fill_colour_, colour);
}
int WindowDevice::text_colour(int colour) {
  return store(text_colour_, colour);
}
int WindowDevice::text_font(int font) {
  return store(text_font_, font == 2 ? 2 : 1);
}
int WindowDevice::text_angle(float degrees) {
  return store(text_angle_, degrees);
}
int WindowDevice::mask_colour(int colour) {
  return store(mask_colour_, colour);
}
int WindowDevice::text_height(float height) {
  if (height <= 0.0f) {
    message("WARNING: Attempt to set zero or negative height text characters");
    return vg::device_ok;
  }
  return store(text_height_, height);
}
int WindowDevice::text_alignment(int horizontal, int vertical) {
  text_horizontal_ = horizontal;
  return store(text_vertical_, vertical);
}

// ---------------------------------------------------------------------------
// Primitives
// ---------------------------------------------------------------------------

namespace {

std::vector<XPoint> to_points(const WindowDevice& device, int n, const float x[], const float y[],
                              Bounds& bounds, bool boundaries) {
  std::vector<XPoint> points(static_cast<std::size_t>(n));
  const auto convert = boundaries ? boundary_of_point : pixel_of_point;
  for (int i = 0; i < n; ++i) {
    points[static_cast<std::size_t>(i)] = {convert(device.to_px(x[i])),
                                           convert(device.to_py(y[i]))};
    bounds.add(points[static_cast<std::size_t>(i)].x, points[static_cast<std::size_t>(i)].y);
  }
  return points;
}

}  // namespace

int WindowDevice::polyline(int n, const float x[], const float y[]) {
  if (!is_open()) return vg::device_failed;
  if (n < 2) return vg::device_ok;
  Bounds b;
  std::vector<XPoint> points = to_points(*this, n, x, y, b, false);
  set_colour(gc_line_, line_colour_);
  set_line_gc(gc_line_, line_width_, line_style_);
  XDrawLines(display_, pixmap_, gc_line_, points.data(), n, CoordModeOrigin);
  report_bounds(b.x0, b.y0, b.x1, b.y1, pixel_width(line_width_) + 1);
  return vg::device_ok;
}

namespace {

// Marker types; any other is drawn as a dot.
enum Marker : int { marker_dot = 1, marker_plus, marker_star, marker_circle, marker_cross };

// The lines of a plus, star or cross of half size r (half diagonals d) at
// (px, py).
void marker_lines(int type, short px, short py, int r, int d, std::vector<XSegment>& segments) {
  const auto seg = [&](int x0, int y0, int x1, int y1) {
    segments.push_back({static_cast<short>(px + x0), static_cast<short>(py + y0),
                        static_cast<short>(px + x1), static_cast<short>(py + y1)});
  };
  if (type == marker_plus || type == marker_star) {
    seg(-r, 0, r, 0);
    seg(0, -r, 0, r);
  }
  if (type == marker_star || type == marker_cross) {
    seg(-d, -d, d, d);
    seg(-d, d, d, -d);
  }
}

}  // namespace

int WindowDevice::polymarker(int n, const float x[], const float y[]) {
  if (!is_open()) return vg::device_failed;
  if (n < 1) return vg::device_ok;
  Bounds b;
  std::vector<XPoint> points = to_points(*this, n, x, y, b, false);
  set_colour(gc_marker_, marker_colour_);
  set_line_gc(gc_marker_, marker_width_, 1);
  // Half the size of a marker of scale 1 is 0.006 page units (4 pixels).
  const int r = std::max(1, static_cast<int>(std::lround(marker_half * scale_ * marker_scale_)));
  const int d = std::max(1, static_cast<int>(std::lround(r * 0.707f)));
  // A dot is a small filled square.
  const int dot = std::max(1, static_cast<int>(std::lround(scale_ / nominal_scale)));
  std::vector<XSegment> segments;
  for (const XPoint& p : points) {
    switch (marker_type_) {
      case marker_plus:
      case marker_star:
      case marker_cross:
        marker_lines(marker_type_, p.x, p.y, r, d, segments);
        break;
      case marker_circle:
        XDrawArc(display_, pixmap_, gc_marker_, p.x - r, p.y - r, static_cast<unsigned>(2 * r),
                 static_cast<unsigned>(2 * r), 0, 360 * 64);
        break;
      default:
        XFillRectangle(display_, pixmap_, gc_marker_, p.x - dot / 2, p.y - dot / 2,
                       static_cast<unsigned>(dot + 1), static_cast<unsigned>(dot + 1));
        break;
    }
  }
  if (!segments.empty()) {
    XDrawSegments(display_, pixmap_, gc_marker_, segments.data(),
                  static_cast<int>(segments.size()));
  }
  report_bounds(b.x0, b.y0, b.x1, b.y1, r + pixel_width(marker_width_) + 2);
  return vg::device_ok;
}

int WindowDevice::fill_area(int n, const float x[], const float y[]) {
  if (!is_open()) return vg::device_failed;
  if (n < 3) return vg::device_ok;
  Bounds b;
  std::vector<XPoint> points = to_points(*this, n, x, y, b, true);
  set_colour(gc_fill_, fill_colour_);
  XFillPolygon(display_, pixmap_, gc_fill_, points.data(), n, Complex, CoordModeOrigin);
  XSetFunction(display_, gc_fill_, GXcopy);
  report_bounds(b.x0, b.y0, b.x1, b.y1, 1);
  return vg::device_ok;
}

int WindowDevice::text(float x, float y, const std::string& text) {
  const std::string significant = io::trimmed(text);
  return text_c(x, y, significant.c_str(), static_cast<int>(significant.size()));
}

// How far the text's start lies from the aligned point, along the text (xa)
// and upwards from the base line (ya), measured on the upright font; `ink`
// is the text's extent in it.
void WindowDevice::alignment_offset(XftFont* upright, const XGlyphInfo& ink, double& xa,
                                    double& ya) {
  const double advance = ink.xOff;
  xa = 0.0;
  if (text_horizontal_ == 2) xa = advance / 2.0;
  if (text_horizontal_ == 3) xa = advance;
  const auto top = [&](const char* c) {
    return static_cast<double>(extents(display_, upright, c).y);
  };
  const auto bottom = [&](const char* c) {
    XGlyphInfo g = extents(display_, upright, c);
    return static_cast<double>(g.y) - g.height;
  };
  switch (text_vertical_) {
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
      ya = 0.0;
      break;
  }
}

int WindowDevice::text_c(float x, float y, const char* text, int length) {
  if (!is_open()) return vg::device_failed;
  const std::string str(text, strnlen(text, static_cast<std::size_t>(std::max(length, 0))));
  if (str.empty()) return vg::device_ok;
  const double size = text_pixel_size();
  // Alignment is measured on the upright font, then turned with the text.
  XftFont* upright = font_for(text_font_, size, 0.0);
  if (upright == nullptr) return vg::device_ok;
  const XGlyphInfo ink = extents(display_, upright, str);
  double xa = 0.0, ya = 0.0;
  alignment_offset(upright, ink, xa, ya);
  const double a = text_angle_ * std::numbers::pi / 180.0;
  const double ca = std::cos(a), sa = std::sin(a);
  const double px = to_px(x), py = to_py(y);
  const double ox = px - (ca * xa - sa * ya);
  const double oy = py + (sa * xa + ca * ya);
  XftFont* font = text_angle_ == 0.0f ? upright : font_for(text_font_, size, text_angle_);
  if (font == nullptr) return vg::device_ok;
  draw_string(draw_, font, static_cast<float>(ox), static_cast<float>(oy), str, text_colour_);
  report_text(upright, ink, ox, oy, ca, sa);
  return vg::device_ok;
}

// Reports the area a text touched: the turned box of the text, its advance
// and its ink (which may overhang the advance), with room for ascent and
// descent, from its start (ox, oy) along the direction (ca, sa).
void WindowDevice::report_text(XftFont* upright, const XGlyphInfo& ink, double ox, double oy,
                               double ca, double sa) {
  const double advance = ink.xOff;
  const double left = std::min(0.0, -static_cast<double>(ink.x)) - 2.0;
  const double right = std::max(advance, static_cast<double>(ink.width) - ink.x) + 2.0;
  const double asc = std::max<double>(upright->ascent, ink.y) + 2;
  const double desc = std::max<double>(upright->descent, ink.height - ink.y) + 2;
  Bounds b;
  for (double u : {left, right}) {
    for (double v : {-desc, asc}) {
      b.add(static_cast<int>(std::lround(ox + ca * u - sa * v)),
            static_cast<int>(std::lround(oy - (sa * u + ca * v))));
    }
  }
  report_bounds(b.x0, b.y0, b.x1, b.y1, 2);
}

int WindowDevice::text_width(const std::string& text, float& width) {
  width = 0.0f;
  if (!is_open()) return vg::device_failed;
  const std::string significant = io::trimmed(text);
  width = text_advance(significant) / scale_;
  return vg::device_ok;
}

}  // namespace vg::x11

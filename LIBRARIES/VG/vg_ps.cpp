// The PostScript device: a fixed prologue of short operator definitions,
// then one short command per primitive or attribute change. Coordinates are
// written in tenths of device units (the prologue ends with "0.1 0.1 scale");
// one device unit is one point before the page set-up, which centres the
// page on an A4 sheet (rotated for landscape pages) and enlarges it by 1.1.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "vg.h"
#include "vg_internal.h"

namespace {

// Prologue lines 3 to 92, colour and grey variants.
struct PrologueLine {
  const char* colour;
  const char* grey;  // null: the same as the colour line
};

const PrologueLine prologue[] = {
    {"/fa_r 0 def /fa_g 0 def /fa_b 0 def", "/fa_g 0 def"},
    {"/tx_r 0 def /tx_g 0 def /tx_b 0 def /tx_h 0 def /tx_v 0 def",
     "/tx_g 0 def /tx_h 0 def /tx_v 0 def"},
    {"/tx_a 0 def /c_a 1 def /s_a 0 def", nullptr},
    {" ", nullptr},
    {"% Definition of functions", nullptr},
    {"/pc {  /pl_b exch def /pl_g exch def /pl_r exch def} def", "/pc {/pl_g exch def} def"},
    {"/mc {  /pm_b exch def /pm_g exch def /pm_r exch def} def", "/mc {/pm_g exch def} def"},
    {"/fc {  /fa_b exch def /fa_g exch def /fa_r exch def} def", "/fc {/fa_g exch def} def"},
    {"/tc {  /tx_b exch def /tx_g exch def /tx_r exch def} def", "/tc {/tx_g exch def} def"},
    {"/pw { /pl_w exch def } def", nullptr},
    {"/pt { /pl_t exch def } def", nullptr},
    {"/mt { /pm_t exch def } def", nullptr},
    {"/ms { /pm_s exch def } def", nullptr},
    {"/mw { /pm_w exch def } def", nullptr},
    {"/ta {/tx_v exch def /tx_h exch def} def", nullptr},
    {"/td { /tx_a exch def /c_a tx_a cos def /s_a tx_a sin def} def", nullptr},
    {"/tf { /fi exch def /size exch def", nullptr},
    {"fi 1 eq {/Times-Roman findfont size scalefont setfont} if", nullptr},
    {"fi 2 eq {/Courier findfont size scalefont setfont} if", nullptr},
    {"} bind def", nullptr},
    {"/l_type {0 pl_t eq {[] 0 setdash} if", nullptr},
    {"1 pl_t eq {[] 0 setdash} if", nullptr},
    {"2 pl_t eq {[dash dash] dash 2 div setdash} if", nullptr},
    {"3 pl_t eq {[dot gap] 0 setdash} if", nullptr},
    {"4 pl_t eq {[dash gap dot gap] dash 2 div setdash} if} def", nullptr},
    {"/pl { /num exch def newpath moveto", nullptr},
    {"num 1 sub {lineto} repeat", nullptr},
    {"pl_w setlinewidth pl_r pl_g pl_b setrgbcolor l_type stroke} bind def",
     "pl_w setlinewidth pl_g setgray l_type stroke} bind def"},
    {"/cl { /num exch def newpath moveto", nullptr},
    {"num 1 sub {lineto} repeat closepath", nullptr},
    {"pl_w setlinewidth pl_r pl_g pl_b setrgbcolor l_type stroke} bind def",
     "pl_w setlinewidth pl_g setgray l_type stroke} bind def"},
    {"/hl { dup 3 -1 roll dup 3 -1 roll newpath moveto 3 -1 roll add exch lineto", nullptr},
    {"pl_w setlinewidth pl_r pl_g pl_b setrgbcolor l_type stroke} bind def",
     "pl_w setlinewidth pl_g setgray l_type stroke} bind def"},
    {"/vl { dup 3 -1 roll dup 3 -1 roll newpath moveto 3 1 roll add lineto", nullptr},
    {"pl_w setlinewidth pl_r pl_g pl_b setrgbcolor l_type stroke} bind def",
     "pl_w setlinewidth pl_g setgray l_type stroke} bind def"},
    {"/dt {newpath /y exch def /x exch def x 1 sub y moveto x 1 add y lineto", nullptr},
    {"stroke} bind def", nullptr},
    {"/plus {newpath /y exch def  /x exch def x pm_s sub y moveto x pm_s add y lineto", nullptr},
    {"x y pm_s sub moveto x y pm_s add lineto stroke} bind def", nullptr},
    {"/star {newpath /y exch def  /x exch def x pm_s sub y moveto x pm_s add y lineto", nullptr},
    {"x pm_s 0.707 mul sub y pm_s 0.707 mul sub moveto", nullptr},
    {"x pm_s 0.707 mul add y pm_s 0.707 mul add lineto", nullptr},
    {"x pm_s 0.707 mul sub y pm_s 0.707 mul add moveto", nullptr},
    {"x pm_s 0.707 mul add y pm_s 0.707 mul sub lineto", nullptr},
    {"x y pm_s sub moveto x y pm_s add lineto stroke} bind def", nullptr},
    {"/cir {newpath pm_s 0 360 arc stroke} def ", nullptr},
    {"/cross {newpath /y exch def  /x exch def", nullptr},
    {"x pm_s 0.707 mul sub y pm_s 0.707 mul sub moveto", nullptr},
    {"x pm_s 0.707 mul add y pm_s 0.707 mul add lineto", nullptr},
    {"x pm_s 0.707 mul sub y pm_s 0.707 mul add moveto", nullptr},
    {"x pm_s 0.707 mul add y pm_s 0.707 mul sub lineto", nullptr},
    {"stroke} bind def", nullptr},
    {"/pm {/num exch def pm_r pm_g pm_b setrgbcolor [] 0 setdash",
     "/pm {/num exch def pm_g setgray [] 0 setdash"},
    {"pm_t 1 eq {10 setlinewidth 1 setlinecap num {dt} repeat} if", nullptr},
    {"pm_t 2 eq {pm_w setlinewidth 0 setlinecap num {plus} repeat} if", nullptr},
    {"pm_t 3 eq {pm_w setlinewidth 0 setlinecap num {star} repeat} if", nullptr},
    {"pm_t 4 eq {pm_w setlinewidth 0 setlinecap num {cir} repeat} if", nullptr},
    {"pm_t 5 eq {pm_w setlinewidth 0 setlinecap num {cross} repeat} if", nullptr},
    {"} bind def", nullptr},
    {"/fa { /num exch def newpath moveto", nullptr},
    {"num 1 sub {lineto} repeat closepath", nullptr},
    {"fa_r fa_g fa_b setrgbcolor fill} bind def", "fa_g setgray fill} bind def"},
    {"/tx_box {gsave newpath 0 0 moveto true charpath flattenpath pathbbox", nullptr},
    {"grestore} def", nullptr},
    {"/tx {/tx_y exch def /tx_x exch def ", nullptr},
    {"dup stringwidth pop /width exch def", nullptr},
    {"tx_r tx_g tx_b setrgbcolor", "tx_g setgray"},
    {"0 tx_h eq { /x_a 0 def } if", nullptr},
    {"1 tx_h eq { /x_a 0 def } if", nullptr},
    {"2 tx_h eq { /x_a width 2 div def } if", nullptr},
    {"3 tx_h eq { /x_a width def } if", nullptr},
    {"0 tx_v eq { /y_a 0 def} if", nullptr},
    {"1 tx_v eq { (l) tx_box /y_a exch def pop pop pop} if", nullptr},
    {"2 tx_v eq { (X) tx_box /y_a exch def pop pop pop} if", nullptr},
    {"3 tx_v eq { (Xg) tx_box exch pop add 2 div /y_a exch def pop} if", nullptr},
    {"4 tx_v eq { /y_a 0 def} if", nullptr},
    {"5 tx_v eq { (g) tx_box pop pop -1 mul /y_a exch def pop} if", nullptr},
    {"6 tx_v eq { (X) tx_box exch pop add 2 div /y_a exch def pop} if", nullptr},
    {"/tx_x tx_x x_a c_a mul s_a y_a mul sub sub def", nullptr},
    {"/tx_y tx_y s_a x_a mul c_a y_a mul add sub def", nullptr},
    {"tx_x tx_y moveto gsave tx_a rotate show grestore} bind def", nullptr},
    {"/ca {/ymax exch def /xmax exch def /ymin exch def /xmin exch def", nullptr},
    {"newpath xmin ymin moveto xmax ymin lineto xmax ymax lineto xmin ymax lineto", nullptr},
    {"closepath 1 1 1 setrgbcolor fill} bind def", "closepath 1 setgray fill} bind def"},
    {"/cp {/ymax exch def /xmax exch def /ymin exch def /xmin exch def", nullptr},
    {"newpath xmin ymin moveto xmax ymin lineto xmax ymax lineto xmin ymax lineto", nullptr},
    {"closepath clip} def ", nullptr},
    {"0.1 0.1 scale", nullptr},
    {"% End of prologue", nullptr},
    {" ", nullptr},
};

// Marker size (prologue pm_s) per unit of marker scale, dash lengths, in
// tenths of device units.
constexpr float marker_size = 50.0f;
constexpr int dash_length = 80, dot_length = 15, gap_length = 40;
// Enlargement of the page on the sheet, and the centre of the printable area
// of the bounding box, in points.
constexpr double page_scale = 1.1;
constexpr double sheet_centre_x = 293.5, sheet_centre_y = 416.5;
// Largest coordinate written (points far off the page are pinned).
constexpr double coordinate_limit = 1.0e8;
// Points per command of polylines and polymarkers (the operand stack of
// small interpreters holds 500 entries).
constexpr int max_points = 200;

std::string format(const char* pattern, ...) {
  char buffer[512];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return buffer;
}

// A number in the shortest usual form ("1", "0.5", "12.25").
std::string number(double value) {
  return format("%.6g", value);
}

class PostScriptDevice final : public vg::Device {
 public:
  PostScriptDevice(int unit, bool landscape, bool colour)
      : unit_(unit), landscape_(landscape), colour_(colour) {}

  bool start();
  int write_status() const { return status_; }

  int close() override {
    if (dirty_) write("showpage");
    write("%%EOF");
    return result();
  }

  int clear() override {
    const int w = landscape_ ? 7070 : 5000, h = landscape_ ? 5000 : 7070;
    write(format("0 0 %d %d ca", w, h));
    return result();
  }

  int update() override {
    // A page is only ended when something was drawn on it, so that repeated
    // updates make no blank pages.
    if (!dirty_) return result();
    write("showpage");
    write("0.1 0.1 scale");
    page_setup();
    return result();
  }

  int set_transform(const float window[4], const float viewport[4]) override {
    // Tenths of device units per world unit.
    const double f = 10.0 * vg::page_to_device;
    xscale_ = (static_cast<double>(viewport[2]) - viewport[0]) * f /
              (static_cast<double>(window[2]) - window[0]);
    yscale_ = (static_cast<double>(viewport[3]) - viewport[1]) * f /
              (static_cast<double>(window[3]) - window[1]);
    xoffset_ = f * viewport[0] - window[0] * xscale_;
    yoffset_ = f * viewport[1] - window[1] * yscale_;
    // The clip rectangle is in world coordinates: it moves with the transform.
    if (clip_on_) write_clip();
    return result();
  }

  int set_clip(bool on, const float rectangle[4]) override {
    clip_on_ = on;
    std::copy(rectangle, rectangle + 4, clip_);
    if (on) {
      write_clip();
    } else {
      write("initclip");
    }
    return result();
  }

  int line_colour(int index) override {
    if (index == vg::inverse_video) {
      io::say("WARNING: The PostScript driver does not support inverse video");
      return result();
    }
    return colour_command(index, "Line drawing", "pc");
  }
  int line_style(int style) override {
    write(format("%d pt", style >= 0 && style <= 4 ? style : 1));
    return result();
  }
  int line_width(float width) override {
    write(number(std::max(0.0f, width) * 10.0) + " pw");
    return result();
  }
  int marker_type(int type) override {
    write(format("%d mt", type >= 1 && type <= 5 ? type : 1));
    return result();
  }
  int marker_scale(float scale) override {
    write(number(std::fabs(scale) * marker_size) + " ms");
    return result();
  }
  int marker_width(float width) override {
    write(number(std::max(0.0f, width) * 10.0) + " mw");
    return result();
  }
  int marker_colour(int index) override {
    if (index == vg::inverse_video) return result();
    return colour_command(index, "Marker drawing", "mc");
  }
  int fill_colour(int index) override {
    if (index == vg::inverse_video) return result();
    return colour_command(index, "Fill area", "fc");
  }
  int text_font(int font) override {
    font_ = font == 2 ? 2 : 1;
    write_font();
    return result();
  }
  int text_colour(int index) override {
    if (index == vg::inverse_video) return result();
    return colour_command(index, "Text drawing", "tc");
  }
  int text_height(float height) override {
    if (!(height > 0.0f)) {
      io::say("WARNING: Attempt to set zero or negative height text characters");
      return result();
    }
    height_ = height;
    write_font();
    return result();
  }
  int text_alignment(int horizontal, int vertical) override {
    horizontal_ = horizontal >= 0 && horizontal <= 3 ? horizontal : 1;
    vertical_ = vertical >= 0 && vertical <= 6 ? vertical : 0;
    write(format("%d %d ta", horizontal_, vertical_));
    return result();
  }
  int text_angle(float degrees) override {
    write(number(degrees) + " td");
    return result();
  }
  int mask_colour(int index) override {
    mask_ = std::clamp(index, 0, vg::table_size - 1);
    return vg::device_ok;
  }
  int log_scaling(bool logarithmic) override {
    log_ = logarithmic;
    return vg::device_ok;
  }
  int colour_map(int first, int last, std::span<const vg::Rgb> table) override {
    for (int i = std::max(0, first); i <= last && i < vg::table_size; ++i) {
      if (static_cast<std::size_t>(i) < table.size()) table_[i] = table[i];
    }
    return vg::device_ok;
  }
  int colour_range(int first, int last, int /*second_first*/, int /*second_last*/) override {
    image_first_ = first;
    image_last_ = last;
    return vg::device_ok;
  }

  int polyline(int n, const float x[], const float y[]) override;
  int polymarker(int n, const float x[], const float y[]) override;
  int fill_area(int n, const float x[], const float y[]) override {
    if (n >= 3) write_points(n, x, y, "fa");
    return result();
  }
  int text(float x, float y, const std::string& text) override;

  // Cell arrays: the region's colour indices, then the picture.
  int cell_array(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
                 float y0, float x1, float y1) override {
    return write_region({xstart, ystart, xend, yend}, x0, y0, x1, y1,
                        [&](int x, int y) { return cells(x, y); });
  }
  int real_cell_array(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                      int ystart, int xend, int yend, float x0, float y0, float x1, float y1,
                      float low, float high, bool logarithmic) override {
    vg::IndexScale scale;
    if (!scale.set(low, high, logarithmic, image_first_, image_last_)) {
      io::say(vg::unusable_range_message(logarithmic));
      return vg::device_failed;
    }
    return write_region({xstart, ystart, xend, yend}, x0, y0, x1, y1, [&](int x, int y) {
      return !mask.empty() && mask(x, y) ? mask_ : scale.index(data(x, y));
    });
  }

  const char* routine(vg::Op op) const override { return vg::postscript_routine(op); }

  int text_width(const std::string& text, float& width) override {
    // Average advance of the two fonts as a fraction of the height.
    width = (font_ == 2 ? 0.6f : 0.5f) * height_ * static_cast<float>(text.size());
    return vg::device_ok;
  }
  int inq_size(int& width, int& height) override {
    // The A4 sheet in points.
    width = landscape_ ? 842 : 595;
    height = landscape_ ? 595 : 842;
    return vg::device_ok;
  }

 private:
  void write(const std::string& line) {
    if (status_ != io::status_good) return;
    IO_WRITE_FILE(unit_, line, status_);
  }
  int result() const { return status_ == io::status_good ? vg::device_ok : vg::device_failed; }

  long px(float x) const { return pin(x * xscale_ + xoffset_); }
  long py(float y) const { return pin(y * yscale_ + yoffset_); }
  static long pin(double v) {
    if (!std::isfinite(v)) return 0;
    return std::lround(std::clamp(v, -coordinate_limit, coordinate_limit));
  }

  void page_setup();
  void write_font() {
    write(number(height_ * vg::page_to_device * 10.0) + format(" %d tf", font_));
  }
  void write_clip() {
    const long x0 = px(clip_[0]), y0 = py(clip_[1]), x1 = px(clip_[2]), y1 = py(clip_[3]);
    write(format("initclip %ld %ld %ld %ld cp", std::min(x0, x1), std::min(y0, y1),
                 std::max(x0, x1), std::max(y0, y1)));
  }
  int colour_command(int index, const char* kind, const char* op);
  void write_points(int n, const float x[], const float y[], const char* op);
  // The region of an array: first and last column, first and last row.
  struct Region {
    int xstart, ystart, xend, yend;
  };
  template <typename IndexAt>
  int write_region(const Region& r, float x0, float y0, float x1, float y1, IndexAt index_at);
  int write_cells(int nx, int ny, float x0, float y0, float x1, float y1,
                  const std::vector<unsigned char>& indices);
  void write_cell_operator(int nx);
  void write_hex(const unsigned char* bytes, int count);
  unsigned char grey_level(int index) const;

  int unit_;
  bool landscape_, colour_;
  int status_ = io::status_good;
  bool dirty_ = false;
  double xscale_ = 10.0 * vg::page_to_device, yscale_ = 10.0 * vg::page_to_device;
  double xoffset_ = 0.0, yoffset_ = 0.0;
  bool clip_on_ = false;
  float clip_[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  int font_ = 1;
  float height_ = 0.02f;
  int horizontal_ = 1, vertical_ = 0;
  int mask_ = 2;
  bool log_ = false;
  int image_first_ = 41, image_last_ = 250;
  std::array<vg::Rgb, vg::table_size> table_{};
};

bool PostScriptDevice::start() {
  write("%!PS-Adobe-2.0");
  write("%%BoundingBox: 18 23 569 810");
  write("%%Title: \"Vellum Graphics\" V1.3 PostScript Output");
  write("%%Creator: Produced by the \"Vellum Graphics\" system");
  write(" ");
  write("% Definition of variables");
  const int line_width = 10;
  const int size = static_cast<int>(marker_size);
  const int marker_width = 10;
  if (colour_) {
    write(format("/pl_r 0 def /pl_g 0 def /pl_b 0 def /pl_w %4d def /pl_t 0 def", line_width));
    write(format("/pm_r 0 def /pm_g 0 def /pm_b 0 def /pm_t 5 def /pm_s %4d def/pm_w %4d def", size,
                 marker_width));
  } else {
    write(format("/pl_g 0 def /pl_w %4d def /pl_t 0 def", line_width));
    write(format("/pm_g 0 def /pm_t 5 def /pm_s %4d def/pm_w %4d def", size, marker_width));
  }
  write(format("/setlinejoin 1 def /dash%4d def /dot %4d def /gap %4d def", dash_length, dot_length,
               gap_length));
  for (const auto& line : prologue) {
    write(colour_ || line.grey == nullptr ? line.colour : line.grey);
  }
  page_setup();
  return status_ == io::status_good;
}

// Places the page on the sheet (after the prologue and after every
// "showpage"), and restores the font and clipping, which a new page resets.
void PostScriptDevice::page_setup() {
  const double width = (landscape_ ? 1.0 : vg::page_short) * vg::page_to_device;
  const double height = (landscape_ ? vg::page_short : 1.0) * vg::page_to_device;
  if (landscape_) {
    // Page x runs up the sheet, page y to the left.
    const double tx = sheet_centre_x + page_scale * height / 2.0;
    const double ty = sheet_centre_y - page_scale * width / 2.0;
    write(format("%.1f %.1f translate 90 rotate %g %g scale", tx * 10.0, ty * 10.0, page_scale,
                 page_scale));
  } else {
    const double tx = sheet_centre_x - page_scale * width / 2.0;
    const double ty = sheet_centre_y - page_scale * height / 2.0;
    write(format("%.1f %.1f translate %g %g scale", tx * 10.0, ty * 10.0, page_scale, page_scale));
  }
  write_font();
  if (clip_on_) write_clip();
  dirty_ = false;
}

int PostScriptDevice::colour_command(int index, const char* kind, const char* op) {
  const vg::Rgb c = table_[std::clamp(index, 0, vg::table_size - 1)];
  const float components[3] = {c.r, c.g, c.b};
  static const char* const names[3] = {"red", "green", "blue"};
  std::string line;
  if (colour_) {
    for (int k = 0; k < 3; ++k) {
      if (!std::isfinite(components[k])) {
        io::say(std::string("ERROR: ") + kind + " colour component " + names[k] +
                " not converted O.K.");
        return vg::device_failed;
      }
      line += number(std::clamp(components[k], 0.0f, 1.0f)) + " ";
    }
  } else {
    const float grey = 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
    if (!std::isfinite(grey)) {
      io::say(std::string("ERROR: ") + kind + " colour component grey not converted O.K.");
      return vg::device_failed;
    }
    line = number(std::round(std::clamp(grey, 0.0f, 1.0f) * 1000.0f) / 1000.0f) + " ";
  }
  write(line + op);
  return result();
}

// Writes "x1 y1 ... xn yn n op", eight points to a line.
void PostScriptDevice::write_points(int n, const float x[], const float y[], const char* op) {
  std::string line;
  for (int k = 0; k < n; ++k) {
    line += format("%ld %ld ", px(x[k]), py(y[k]));
    if (k % 8 == 7 && k + 1 < n) {
      write(line);
      line.clear();
    }
  }
  write(line + format("%d %s", n, op));
  dirty_ = true;
}

int PostScriptDevice::polyline(int n, const float x[], const float y[]) {
  if (n < 2) return result();
  if (n == 2) {
    // Horizontal and vertical lines have their own short commands (length,
    // then the start point).
    const long x0 = px(x[0]), y0 = py(y[0]), x1 = px(x[1]), y1 = py(y[1]);
    if (y0 == y1 && x0 != x1) {
      write(format("%ld %ld %ld hl", x1 - x0, x0, y0));
      dirty_ = true;
      return result();
    }
    if (x0 == x1 && y0 != y1) {
      write(format("%ld %ld %ld vl", y1 - y0, x0, y0));
      dirty_ = true;
      return result();
    }
  }
  if (n > 3 && n <= max_points + 1 && px(x[0]) == px(x[n - 1]) && py(y[0]) == py(y[n - 1])) {
    write_points(n - 1, x, y, "cl");
    return result();
  }
  // Long lines go in pieces that share their end points.
  for (int start = 0; start < n - 1; start += max_points - 1) {
    const int count = std::min(max_points, n - start);
    write_points(count, x + start, y + start, "pl");
  }
  return result();
}

int PostScriptDevice::polymarker(int n, const float x[], const float y[]) {
  for (int start = 0; start < n; start += max_points) {
    write_points(std::min(max_points, n - start), x + start, y + start, "pm");
  }
  return result();
}

int PostScriptDevice::text(float x, float y, const std::string& text) {
  std::string escaped;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '(' || c == ')' || c == '\\') {
      escaped += '\\';
      escaped += ch;
    } else if (c < 32 || c > 126) {
      escaped += format("\\%03o", c);
    } else {
      escaped += ch;
    }
  }
  const long tx = px(x), ty = py(y);
  if (vertical_ == 5) {
    // The prologue's "bottom of g" alignment takes the depth of the g with
    // the wrong sign, which puts the text twice that depth too low. The start
    // point is moved by twice the depth (along the rotated vertical) so that
    // the bottom of the g stands on the given point.
    write(
        format("(%s) %ld (g) tx_box pop pop exch pop 2 mul dup s_a mul 3 -1 roll add exch "
               "c_a mul %ld exch sub tx",
               escaped.c_str(), tx, ty));
  } else {
    write(format("(%s) %ld %ld tx", escaped.c_str(), tx, ty));
  }
  dirty_ = true;
  return result();
}

// The colour indices of a region of an array, index_at(x, y) of each pixel,
// written as a cell array.
template <typename IndexAt>
int PostScriptDevice::write_region(const Region& r, float x0, float y0, float x1, float y1,
                                   IndexAt index_at) {
  const int nx = r.xend - r.xstart + 1, ny = r.yend - r.ystart + 1;
  std::vector<unsigned char> indices;
  try {
    indices.resize(static_cast<std::size_t>(nx) * ny);
  } catch (const std::bad_alloc&) {
    io::say("ERROR: Failed to allocate memory for cell array");
    return vg::device_failed;
  }
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      indices[static_cast<std::size_t>(j) * nx + i] = static_cast<unsigned char>(
          std::clamp(index_at(r.xstart + i, r.ystart + j), 0, vg::table_size - 1));
    }
  }
  return write_cells(nx, ny, x0, y0, x1, y1, indices);
}

// Writes a cell array of colour indices (nx by ny, first row at the bottom)
// into the world rectangle (x0, y0) to (x1, y1).
int PostScriptDevice::write_cells(int nx, int ny, float x0, float y0, float x1, float y1,
                                  const std::vector<unsigned char>& indices) {
  const long xs = px(x0), ys = py(y0);
  const long w = px(x1) - xs, h = py(y1) - ys;
  if (w == 0 || h == 0) return result();  // narrower than a tenth of a point
  write("save");
  write(format("/pixel_string %5d string def  %% String to hold line of pixels", nx));
  write_cell_operator(nx);
  // End corner such that end - start + 1 is the extent.
  write(format("%ld %ld %ld %ld %d %d ca", xs, ys, xs + w - 1, ys + h - 1, nx, ny));
  std::vector<unsigned char> row(nx);
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const unsigned char index = indices[static_cast<std::size_t>(j) * nx + i];
      row[i] = colour_ ? index : grey_level(index);
    }
    write_hex(row.data(), nx);
  }
  // Restoring takes back the cell-array definitions, so that "ca" clears
  // rectangles again.
  write("restore");
  dirty_ = true;
  return result();
}

// The "ca" operator of a cell array of nx pixels a row: for colour files
// with the colour table and the procedure that turns each pixel's index into
// red, green and blue.
void PostScriptDevice::write_cell_operator(int nx) {
  if (!colour_) {
    write("% Definition of \"ca\" operator");
    write("/ca {/yip exch def /xip exch def /ye exch def /xe exch def /ys exch def /xs exch def");
    write("gsave xs ys translate xe xs sub 1 add ye ys sub 1 add scale");
    write("xip yip 8 [xip 0 0 yip 0 0] {currentfile pixel_string readhexstring pop} image");
    write("grestore} bind def");
    return;
  }
  write("/colourtable 768 string def");
  write("/ct {currentfile colourtable readhexstring} def");
  write("ct");
  unsigned char bytes[3 * vg::table_size];
  for (int i = 0; i < vg::table_size; ++i) {
    const vg::Rgb& c = table_[i];
    const float comps[3] = {c.r, c.g, c.b};
    for (int k = 0; k < 3; ++k) {
      const float v = std::isfinite(comps[k]) ? std::clamp(comps[k], 0.0f, 1.0f) : 0.0f;
      bytes[3 * i + k] = static_cast<unsigned char>(std::lround(v * 255.0f));
    }
  }
  write_hex(bytes, 3 * vg::table_size);
  write("pop pop");
  write(format("/rgb_string %d string def", 3 * nx));
  write("/p2rgb {currentfile pixel_string readhexstring pop pop");
  write(format("0 1 %d {/i exch def /c pixel_string i get 3 mul def", nx - 1));
  write("rgb_string i 3 mul colourtable c 3 getinterval putinterval} for rgb_string} bind def");
  write("% Definition of \"ca\" operator");
  write("/ca {/yip exch def /xip exch def /ye exch def /xe exch def /ys exch def /xs exch def");
  write("gsave xs ys translate xe xs sub 1 add ye ys sub 1 add scale");
  write("xip yip 8 [xip 0 0 yip 0 0] {p2rgb} false 3 colorimage grestore} bind def");
}

// Bytes as hexadecimal, at most 36 bytes (72 characters) to a line.
void PostScriptDevice::write_hex(const unsigned char* bytes, int count) {
  static const char hex[] = "0123456789abcdef";
  std::string line;
  for (int k = 0; k < count; ++k) {
    line += hex[bytes[k] >> 4];
    line += hex[bytes[k] & 15];
    if (k % 36 == 35 || k + 1 == count) {
      write(line);
      line.clear();
    }
  }
}

// The grey level of a colour index in a grey file, 0 to 255.
unsigned char PostScriptDevice::grey_level(int index) const {
  const vg::Rgb& c = table_[index];
  const float grey = std::clamp(0.299f * c.r + 0.587f * c.g + 0.114f * c.b, 0.0f, 1.0f);
  return static_cast<unsigned char>(std::lround((std::isfinite(grey) ? grey : 0.0f) * 255));
}

}  // namespace

namespace vg {

std::unique_ptr<Device> open_postscript_device(int unit, bool landscape, bool colour, int& status) {
  static const char* const ident = "Subroutine VG_PS_OPEN V0.4 ";
  if (status != io::status_good) {
    ST_SAVE(ident);
    return nullptr;
  }
  auto device = std::make_unique<PostScriptDevice>(unit, landscape, colour);
  if (!device->start()) {
    // The file writer has reported the failure; its status is the one kept.
    status = device->write_status();
    ST_SAVE(ident);
    return nullptr;
  }
  return device;
}

}  // namespace vg

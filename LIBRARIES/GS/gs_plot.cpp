// Image display: the choice between image and graph, the image with its
// frame and colour bar, the intensity range and its scaling modes, the
// cells, and the graph of one row or column.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "gs_internal.h"
#include "gs_plot_layout.h"
#include "gs_widgets.h"
#include "ma.h"

namespace {

using io::entry_ok;

struct LogAxes {
  bool x = false, y = false;
};
LogAxes& log_axes() {
  static LogAxes axes;
  return axes;
}

// The region checks of image display: dimensions, then the region within the
// array and within the axis arrays.
bool region_ok(io::View2D<const float> data, std::size_t x_axis, std::size_t y_axis, int xstrelm,
               int ystrelm, int xendelm, int yendelm, const char* id, int& status) {
  if (data.xmaxdat < 1 || data.data == nullptr) {
    io::fail(gs::status_bad_xmaxdat, id, status);
  } else if (data.ymaxdat < 1) {
    io::fail(gs::status_bad_ymaxdat, id, status);
  } else if (xstrelm < 1 || xstrelm > xendelm || xendelm > data.xmaxdat ||
             static_cast<std::size_t>(xendelm) > x_axis) {
    io::fail(gs::status_bad_xregion, id, status);
  } else if (ystrelm < 1 || ystrelm > yendelm || yendelm > data.ymaxdat ||
             static_cast<std::size_t>(yendelm) > y_axis) {
    io::fail(gs::status_bad_yregion, id, status);
  }
  return status == io::status_good;
}

constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();

gs::Box ordered(const gs::Box& b) {
  return {std::min(b.xmin, b.xmax), std::min(b.ymin, b.ymax), std::max(b.xmin, b.xmax),
          std::max(b.ymin, b.ymax)};
}

// The console lines of an empty range.
void warn(const char* first) {
  io::say(first);
  io::say("         Z-value (intensity)");
  io::say("         Use \"Z-SCALE\" to change values or scaling mode");
}

// The cells of a region over the world rectangle x0, y0 .. x1, y1 (either
// order: a rectangle running backwards mirrors the image).
void draw_cells(bool masked, io::View2D<const float> data, io::View2D<const bool> mask, int xstrelm,
                int ystrelm, int xendelm, int yendelm, const gs::Box& rectangle, float minimum,
                float maximum, int& status) {
  const gs::DrawingScope keep;
  int colour = gs::red;
  GS_INQ_MASKCOLOUR(colour, status);
  VG_MASKCOLOUR(gs::device_index(colour), status);
  bool logarithmic = false;
  VG_INQ_LOGZSCALING(logarithmic, status);
  VG_RMASKCELLARRAY(data, masked ? mask : io::View2D<const bool>(), xstrelm, ystrelm, xendelm,
                    yendelm, rectangle.xmin, rectangle.ymin, rectangle.xmax, rectangle.ymax,
                    minimum, maximum, logarithmic, status);
}

// The smallest positive finite value of a region (`fallback` when there is
// none).
float smallest_positive(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                        int yendelm, float fallback) {
  float smallest = std::numeric_limits<float>::infinity();
  for (int j = ystrelm; j <= yendelm; ++j) {
    const float* row = data.row(j);
    for (int i = xstrelm - 1; i < xendelm; ++i) {
      if (row[i] > 0.0f && row[i] < smallest) smallest = row[i];
    }
  }
  return std::isfinite(smallest) ? smallest : fallback;
}

// What a drawing leaves for the input that follows: the graph's world
// window (data window, GS_SET_DDDR) and page rectangle (viewport,
// GS_SET_DGPP).
void leave_shown(const gs::Box& window, const gs::Box& page, int& status) {
  GS_SET_DDDR(window, status);
  GS_SET_DGPP(page, status);
  VG_DATAWINDOW(window.xmin, window.ymin, window.xmax, window.ymax, status);
  VG_VIEWPORT(page.xmin, page.ymin, page.xmax, page.ymax, status);
}

// A page's background and the frame of its world, drawn in the unit
// transform; then the data window (the world, or its logarithms) mapped onto
// the page, for what is drawn in it.
void frame_page(const gs::Box& page, const gs::Box& world, const gs::Box& drawn, bool y_log,
                const gs::FrameTexts& texts, int& status) {
  {
    const gs::TransformScope unit;
    GS_BACKGROUND(status);
    gs::draw_frame(page, world, false, y_log, texts, status);
  }
  VG_DATAWINDOW(drawn.xmin, drawn.ymin, drawn.xmax, drawn.ymax, status);
  VG_VIEWPORT(page.xmin, page.ymin, page.xmax, page.ymax, status);
}

}  // namespace

void GS_DEF_LOGAXES(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_LOGAXES V0.1 ")) return;
  log_axes() = LogAxes();
}

void GS_SET_LOGAXES(bool x_log, bool y_log, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_LOGAXES V0.1 ")) return;
  log_axes() = {x_log, y_log};
}

void GS_INQ_LOGAXES(bool& x_log, bool& y_log, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_LOGAXES V0.1 ")) return;
  x_log = log_axes().x;
  y_log = log_axes().y;
}

namespace {

// The range of a scaling mode over a region, as found (user limits taken as
// they are).
void mode_range(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                int mode, float& low, float& high, int& status) {
  const int xbin = xendelm - xstrelm + 1, ybin = yendelm - ystrelm + 1;
  const io::View2D<float> low_out(&low, 1, 1), high_out(&high, 1, 1);
  int nx = 0, ny = 0;
  switch (mode) {
    case gs::scale_automatic:
      MA_REBINMINMAX(data, xstrelm, ystrelm, xendelm, yendelm, xbin, ybin, low_out, high_out, nx,
                     ny, status);
      break;
    case gs::scale_user_minimum:
      MA_REBINMAX(data, xstrelm, ystrelm, xendelm, yendelm, xbin, ybin, high_out, nx, ny, status);
      break;
    case gs::scale_user_maximum:
      MA_REBINMIN(data, xstrelm, ystrelm, xendelm, yendelm, xbin, ybin, low_out, nx, ny, status);
      break;
    case gs::scale_distribution:
      MA_DIFZSCALE(data, xstrelm, ystrelm, xendelm, yendelm, low, high, status);
      break;
    default:
      break;
  }
}

// An empty range of a mode with limits is repaired: 1000 below the maximum
// (user minimum) or above the minimum. The first time it is reported and
// the image is not drawn; the repaired range is stored, and the next call,
// which finds it as the limits (in mode 4 computed again from the data),
// draws. True when the image may be drawn.
bool repair(int mode, float minimum, float maximum, float& low, float& high) {
  if (mode == gs::scale_automatic || high > low) return true;
  if (mode == gs::scale_user_minimum) {
    low = high - 1000.0f;
  } else {
    high = low + 1000.0f;
  }
  if (mode == gs::scale_distribution && low == minimum && high == maximum) return true;
  warn(mode == gs::scale_user_minimum
           ? "WARNING: The maximum data value is less than the user input minimum"
           : "WARNING: The minimum data value is greater than the user input maximum");
  return false;
}

}  // namespace

void GS_CAL_ZRANGE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                   int mode, float& minimum, float& maximum, bool& drawable, int& status) {
  constexpr const char* id = "Subroutine GS_CAL_ZRANGE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!region_ok(data, unlimited, unlimited, xstrelm, ystrelm, xendelm, yendelm, id, status)) {
    return;
  }
  if (mode < gs::scale_automatic || mode > gs::scale_distribution) {
    return io::fail(gs::status_bad_value, id, status);
  }
  float low = minimum, high = maximum;
  mode_range(data, xstrelm, ystrelm, xendelm, yendelm, mode, low, high, status);
  if (status != io::status_good) return ST_SAVE(id);
  // Logarithmic scaling cannot start at zero or below: from the smallest
  // positive value of the region instead.
  bool logarithmic = false;
  VG_INQ_LOGZSCALING(logarithmic, status);
  if (logarithmic && !(low > 0.0f) && high > 0.0f) {
    low = smallest_positive(data, xstrelm, ystrelm, xendelm, yendelm, high);
    IO_WRITE("WARNING: Logarithmic scaling starts at the smallest positive value", status);
  }
  drawable = repair(mode, minimum, maximum, low, high);
  minimum = low;
  maximum = high;
}

void GS_2DMCELLARRAY(bool masked, io::View2D<const float> data, io::View2D<const bool> mask,
                     int xstrelm, int ystrelm, int xendelm, int yendelm, int mode, float& minimum,
                     float& maximum, int& status) {
  constexpr const char* id = "Subroutine GS_2DMCELLARRAY V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (masked && (mask.empty() || mask.xmaxdat < xendelm || mask.ymaxdat < yendelm)) {
    return io::fail(mask.xmaxdat < xendelm ? gs::status_bad_xmaxdat : gs::status_bad_ymaxdat, id,
                    status);
  }
  bool drawable = false;
  GS_CAL_ZRANGE(data, xstrelm, ystrelm, xendelm, yendelm, mode, minimum, maximum, drawable, status);
  if (status != io::status_good || !drawable) return;
  gs::Box window;
  VG_INQ_DATAWINDOW(window.xmin, window.ymin, window.xmax, window.ymax, status);
  draw_cells(masked, data, mask, xstrelm, ystrelm, xendelm, yendelm, window, minimum, maximum,
             status);
  gs::note_failure(id, status);
}

void GS_2DCELLARRAY(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                    int yendelm, int mode, float& minimum, float& maximum, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_2DCELLARRAY V0.1 ")) return;
  GS_2DMCELLARRAY(false, data, io::View2D<const bool>(), xstrelm, ystrelm, xendelm, yendelm, mode,
                  minimum, maximum, status);
}

void GS_LUTSCALE(const gs::Box& image, float minimum, float maximum, const std::string& zlabel,
                 int& status) {
  constexpr const char* id = "Subroutine GS_LUTSCALE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  const gs::DrawingScope keep;
  const gs::TransformScope unit;
  const gs::FrameLayout f = gs::frame_layout(image);
  int first = 0, last = 0;
  VG_INQ_IMAGERANGE(first, last, status);
  bool logarithmic = false;
  VG_INQ_LOGZSCALING(logarithmic, status);
  if (status != io::status_good) return ST_SAVE(id);
  const bool log = logarithmic && minimum > 0.0f && maximum > minimum;
  const bool empty = !(maximum > minimum);
  // One cell per colour, at the middle of the values that take it.
  const int levels = std::max(1, last - first + 1);
  std::vector<float> cells(static_cast<std::size_t>(levels));
  for (int j = 0; j < levels; ++j) {
    const double t = (j + 0.5) / levels;
    cells[static_cast<std::size_t>(j)] =
        empty
            ? maximum
            : static_cast<float>(log ? minimum * std::pow(static_cast<double>(maximum) / minimum, t)
                                     : minimum + t * (static_cast<double>(maximum) - minimum));
  }
  VG_REALCELLARRAY(io::View2D<const float>(cells.data(), 1, levels), 1, 1, 1, levels, f.bar.xmin,
                   f.bar.ymin, f.bar.xmax, f.bar.ymax, minimum, maximum, log, status);
  GS_LINESTYLE(1, 1.0f, gs::black, status);
  GS_RECTANGLE(f.bar.xmin, f.bar.ymin, f.bar.xmax, f.bar.ymax, true, false, status);
  float widest = 0.0f;
  const auto number = [&](double v, float y, int decimals) {
    GS_LINE(f.bar.xmax, y, f.bar.xmax + f.tick, y, status);
    const std::string text = gs::tick_text(v, decimals);
    gs::draw_text(f.bar_numbers_left, y, text, 1, gs::black, f.number_height, gs::align_left,
                  gs::valign_half, status);
    float width = 0.0f;
    VG_INQ_TEXTWIDTH(text, width, status);
    widest = std::max(widest, width);
  };
  if (empty) {
    number(minimum, 0.5f * (f.bar.ymin + f.bar.ymax), gs::linear_ticks(minimum, minimum).decimals);
  } else {
    const gs::Ticks t =
        log ? gs::log_ticks(minimum, maximum, 6) : gs::linear_ticks(minimum, maximum, 6);
    for (const double v : t.values) {
      number(v, gs::axis_position(v, minimum, maximum, f.bar.ymin, f.bar.ymax, log), t.decimals);
    }
  }
  if (!io::trimmed(zlabel).empty()) {
    // Upright beside the numbers, kept on the page.
    float page_x = 0.0f, page_y = 0.0f;
    VG_INQ_MAXPC(page_x, page_y, status);
    const float x = std::min(f.bar_numbers_left + widest + 0.006f, page_x - f.label_height);
    GS_TEXTSTYLE(1, gs::black, f.label_height, 1.0f, 90.0f, gs::align_centre, gs::valign_top,
                 status);
    VG_TEXT(x, 0.5f * (f.bar.ymin + f.bar.ymax), io::trimmed(zlabel), status);
  }
  gs::note_failure(id, status);
}

void GS_2DMIMAGE(bool masked, io::View2D<const float> data, io::View2D<const bool> mask,
                 std::span<const float> x_axis, std::span<const float> y_axis, int xstrelm,
                 int ystrelm, int xendelm, int yendelm, const std::string& title,
                 const std::string& xlabel, const std::string& ylabel, const std::string& zlabel,
                 int& status) {
  constexpr const char* id = "Subroutine GS_2DMIMAGE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!region_ok(data, x_axis.size(), y_axis.size(), xstrelm, ystrelm, xendelm, yendelm, id,
                 status)) {
    return;
  }
  if (masked && (mask.empty() || mask.xmaxdat < data.xmaxdat || mask.ymaxdat < data.ymaxdat)) {
    return io::fail(mask.xmaxdat < data.xmaxdat ? gs::status_bad_xmaxdat : gs::status_bad_ymaxdat,
                    id, status);
  }
  int mode = 0;
  float minimum = 0.0f, maximum = 1.0f;
  GS_INQ_IMAGESCALE(mode, minimum, maximum, status);
  // The pixel edges of the region; the data window runs from the lower to
  // the higher value, the cells from the first pixel to the last.
  const gs::Box edges = gs::image_window(x_axis, y_axis, xstrelm, ystrelm, xendelm, yendelm);
  const gs::Box window = ordered(edges);
  gs::Box gpp;
  bool keep_aspect = false;
  GS_INQ_GPP(gpp, status);
  GS_INQ_IASPECT(keep_aspect, status);
  const gs::Box page =
      gs::image_position(gpp, xendelm - xstrelm + 1, yendelm - ystrelm + 1, keep_aspect);
  {
    // The page appears whole. Everything but the cells goes first: the server
    // draws the frame and its texts while the range and the cells are
    // worked out.
    const gs::HeldDrawingScope held;
    const gs::DrawingScope keep;
    frame_page(page, window, window, false, {title, xlabel, ylabel}, status);
    if (status != io::status_good) return ST_SAVE(id);
    bool drawable = false;
    GS_CAL_ZRANGE(data, xstrelm, ystrelm, xendelm, yendelm, mode, minimum, maximum, drawable,
                  status);
    GS_LUTSCALE(page, minimum, maximum, zlabel, status);
    if (drawable) {
      draw_cells(masked, data, mask, xstrelm, ystrelm, xendelm, yendelm, edges, minimum, maximum,
                 status);
      // The frame's outline runs along the edge of the cells: on top of them.
      const gs::TransformScope unit;
      GS_LINESTYLE(1, 1.0f, gs::black, status);
      GS_RECTANGLE(page.xmin, page.ymin, page.xmax, page.ymax, true, false, status);
    }
    GS_SET_IMAGESCALE(mode, minimum, maximum, status);
  }
  // Left for the coordinate input that follows.
  GS_SET_IDR(window, status);
  gs::region_block().graph.cells = edges;
  leave_shown(window, page, status);
  gs::note_failure(id, status);
}

void GS_2DIMAGE(io::View2D<const float> data, std::span<const float> x_axis,
                std::span<const float> y_axis, int xstrelm, int ystrelm, int xendelm, int yendelm,
                const std::string& title, const std::string& xlabel, const std::string& ylabel,
                const std::string& zlabel, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_2DIMAGE V0.1 ")) return;
  GS_2DMIMAGE(false, data, io::View2D<const bool>(), x_axis, y_axis, xstrelm, ystrelm, xendelm,
              yendelm, title, xlabel, ylabel, zlabel, status);
}

void GS_XYGRAPH(int n, std::span<const float> x, std::span<const float> y, const std::string& title,
                const std::string& xlabel, const std::string& ylabel, int& status) {
  constexpr const char* id = "Subroutine GS_XYGRAPH V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (n < 1 || static_cast<std::size_t>(n) > x.size() || static_cast<std::size_t>(n) > y.size()) {
    return io::fail(gs::status_bad_count, id, status);
  }
  const auto xs = x.first(static_cast<std::size_t>(n));
  const auto ys = y.first(static_cast<std::size_t>(n));
  float xlo = *std::min_element(xs.begin(), xs.end());
  float xhi = *std::max_element(xs.begin(), xs.end());
  if (!(xhi > xlo)) {
    xlo -= 0.5f;
    xhi += 0.5f;
  }
  float ylo = std::numeric_limits<float>::max(), yhi = std::numeric_limits<float>::lowest();
  for (const float v : ys) {
    if (!std::isfinite(v)) continue;
    ylo = std::min(ylo, v);
    yhi = std::max(yhi, v);
  }
  if (ylo > yhi) ylo = yhi = 0.0f;
  const bool log = log_axes().y && ylo > 0.0f;
  // A margin of a twentieth of the range above and below the curve.
  if (log) {
    ylo /= 1.1f;
    yhi *= 1.1f;
  } else if (yhi > ylo) {
    const float margin = 0.05f * (yhi - ylo);
    ylo -= margin;
    yhi += margin;
  } else {
    const float margin = ylo != 0.0f ? 0.1f * std::abs(ylo) : 1.0f;
    ylo -= margin;
    yhi += margin;
  }
  const gs::Box world{xlo, ylo, xhi, yhi};
  const gs::Box drawn{xlo, log ? std::log10(ylo) : ylo, xhi, log ? std::log10(yhi) : yhi};
  gs::Box page;
  GS_INQ_GPP(page, status);
  std::vector<float> curve;
  try {
    curve.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    IO_WRITE("ERROR: Failed to allocate memory for the graph", status);
    return io::fail(gs::status_table_limit, id, status);
  }
  for (int i = 0; i < n; ++i) {
    const float v = ys[static_cast<std::size_t>(i)];
    curve[static_cast<std::size_t>(i)] = log ? (v > 0.0f ? std::log10(v) : drawn.ymin) : v;
  }
  {
    const gs::HeldDrawingScope held;  // the graph appears whole
    const gs::DrawingScope keep;
    frame_page(page, world, drawn, log, {title, xlabel, ylabel}, status);
    VG_CLIPWINDOW(drawn.xmin, drawn.ymin, drawn.xmax, drawn.ymax, status);
    VG_CLIP(true, status);
    GS_LINESTYLE(1, 1.0f, gs::blue, status);
    VG_POLYLINE(n, xs.data(), curve.data(), status);
    if (n <= 256) {
      VG_MARKERTYPE(2, status);
      VG_MARKERCOLOUR(gs::device_index(gs::red), status);
      VG_POLYMARKER(n, xs.data(), curve.data(), status);
    }
  }
  leave_shown(drawn, page, status);
  GS_SET_DDDR(world, status);  // in the values, not their logarithms
  gs::note_failure(id, status);
}

void GS_GRAPHFRAME(const gs::Box& world, const std::string& title, const std::string& xlabel,
                   const std::string& ylabel, int& status) {
  constexpr const char* id = "Subroutine GS_GRAPHFRAME V0.1 ";
  if (!io::entry_ok(status, id)) return;
  auto range = [](float lo, float hi) { return std::isfinite(lo) && std::isfinite(hi) && hi > lo; };
  if (!range(world.xmin, world.xmax)) return io::fail(gs::status_bad_xregion, id, status);
  if (!range(world.ymin, world.ymax)) return io::fail(gs::status_bad_yregion, id, status);
  gs::Box page;
  GS_INQ_GPP(page, status);
  {
    const gs::HeldDrawingScope held;  // the frame appears whole
    const gs::DrawingScope keep;
    const gs::TransformScope unit;
    GS_BACKGROUND(status);
    gs::draw_frame(page, world, false, false, {title, xlabel, ylabel}, status);
  }
  leave_shown(world, page, status);
  gs::note_failure(id, status);
}

void GS_PLOT(io::View2D<const float> data, std::span<const float> x_axis,
             std::span<const float> y_axis, int xstrelm, int ystrelm, int xendelm, int yendelm,
             const std::string& title, const std::string& xlabel, const std::string& ylabel,
             const std::string& zlabel, int& status) {
  constexpr const char* id = "Subroutine GS_PLOT V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!region_ok(data, x_axis.size(), y_axis.size(), xstrelm, ystrelm, xendelm, yendelm, id,
                 status)) {
    return;
  }
  if (xendelm > xstrelm && yendelm > ystrelm) {
    GS_2DIMAGE(data, x_axis, y_axis, xstrelm, ystrelm, xendelm, yendelm, title, xlabel, ylabel,
               zlabel, status);
  } else if (yendelm == ystrelm) {
    // One row: its values against the X axis.
    const int n = xendelm - xstrelm + 1;
    GS_XYGRAPH(n, x_axis.subspan(static_cast<std::size_t>(xstrelm - 1)),
               std::span<const float>(&data(xstrelm, ystrelm), static_cast<std::size_t>(n)), title,
               xlabel, zlabel, status);
  } else {
    // One column: copied out first, then against the Y axis.
    const int n = yendelm - ystrelm + 1;
    std::vector<float> column;
    try {
      column.resize(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
      IO_WRITE("ERROR: Failed to allocate memory for the column to show", status);
      return io::fail(gs::status_table_limit, id, status);
    }
    for (int j = 0; j < n; ++j) column[static_cast<std::size_t>(j)] = data(xstrelm, ystrelm + j);
    GS_XYGRAPH(n, y_axis.subspan(static_cast<std::size_t>(ystrelm - 1)), column, title, ylabel,
               zlabel, status);
  }
  gs::note_failure(id, status);
}

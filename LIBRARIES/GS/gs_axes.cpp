// Axes of images and graphs: round tick values, their numbers, the image's
// world window and page rectangle, the frame layout, and the drawing of the
// frame with its ticks, numbers, title and labels.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gs_plot_layout.h"
#include "gs_widgets.h"

namespace gs {

namespace {

// The step of 1, 2 or 5 times a power of ten that gives at most `most`
// multiples within a span.
double round_step(double span, int most) {
  const double raw = span / std::max(1, most - 1);
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (;;) {
    for (const double m : {1.0, 2.0, 5.0}) {
      const double step = m * power;
      if (std::floor(span / step + 1e-9) + 1.0 <= most) return step;
    }
    power *= 10.0;
  }
}

// Orders ticks from low to high along the axis's direction.
void orient(Ticks& t, double low, double high) {
  if (low > high) std::reverse(t.values.begin(), t.values.end());
}

}  // namespace

Ticks linear_ticks(double low, double high, int most) {
  Ticks t;
  const double lo = std::min(low, high), hi = std::max(low, high);
  if (!std::isfinite(lo) || !std::isfinite(hi)) return t;
  if (hi - lo <= 0.0 || hi - lo < 1e-12 * std::max(std::abs(lo), std::abs(hi))) {
    t.values.push_back(lo);
    t.step = 0.0;
    return t;
  }
  const double step = round_step(hi - lo, std::max(2, most));
  const double tolerance = (hi - lo) * 1e-6;
  for (double k = std::ceil((lo - tolerance) / step); k * step <= hi + tolerance; k += 1.0) {
    const double v = k * step;
    t.values.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
  }
  t.step = step;
  t.decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
  orient(t, low, high);
  return t;
}

Ticks log_ticks(double low, double high, int most) {
  Ticks t;
  const double lo = std::min(low, high), hi = std::max(low, high);
  if (!(lo > 0.0) || !std::isfinite(hi)) return t;
  const double tolerance = 1e-6 * std::max(std::log10(hi / lo), 1e-6);
  const int first = static_cast<int>(std::ceil(std::log10(lo) - tolerance));
  const int last = static_cast<int>(std::floor(std::log10(hi) + tolerance));
  const int decades = last - first + 1;
  if (decades < 2) {
    // Too few powers of ten: 1, 2 and 5 in every decade that touches the range.
    for (int e = first - 1; e <= last; ++e) {
      for (const double m : {1.0, 2.0, 5.0}) {
        const double v = m * std::pow(10.0, e);
        const double l = std::log10(v);
        if (l >= std::log10(lo) - tolerance && l <= std::log10(hi) + tolerance) {
          t.values.push_back(v);
        }
      }
    }
    t.step = 0.0;
  } else {
    int every = 1;
    for (const int e : {1, 2, 5, 10, 20, 50, 100}) {
      every = e;
      if ((decades + e - 1) / e <= most) break;
    }
    const int start = static_cast<int>(std::ceil(static_cast<double>(first) / every)) * every;
    for (int e = start; e <= last; e += every) t.values.push_back(std::pow(10.0, e));
    t.step = std::pow(10.0, every);
  }
  orient(t, low, high);
  return t;
}

std::string tick_text(double value, int decimals) {
  char text[64];
  const double size = std::abs(value);
  if (size != 0.0 && (size < 0.001 || size >= 99999.5)) {
    std::snprintf(text, sizeof(text), "%.3g", value);
  } else {
    std::snprintf(text, sizeof(text), "%.*f", std::clamp(decimals, 0, 6), value);
  }
  std::string s = text;
  // "-0", "-0.0": a zero has no sign.
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

Box image_window(std::span<const float> x_axis, std::span<const float> y_axis, int xstrelm,
                 int ystrelm, int xendelm, int yendelm) {
  const auto edges = [](std::span<const float> axis, int first, int last, float& lo, float& hi) {
    const auto at = [&](int i) { return axis[static_cast<std::size_t>(i - 1)]; };
    if (first == last) {
      // One pixel: a spacing of one unit, or that of its neighbour.
      float spacing = 1.0f;
      if (first > 1)
        spacing = at(first) - at(first - 1);
      else if (static_cast<std::size_t>(first) < axis.size())
        spacing = at(first + 1) - at(first);
      if (spacing == 0.0f) spacing = 1.0f;
      lo = at(first) - 0.5f * spacing;
      hi = at(first) + 0.5f * spacing;
      return;
    }
    lo = at(first) - 0.5f * (at(first + 1) - at(first));
    hi = at(last) + 0.5f * (at(last) - at(last - 1));
  };
  Box w;
  edges(x_axis, xstrelm, xendelm, w.xmin, w.xmax);
  edges(y_axis, ystrelm, yendelm, w.ymin, w.ymax);
  return w;
}

Box image_position(const Box& gpp, int nx, int ny, bool keep_aspect) {
  if (!keep_aspect || nx < 1 || ny < 1) return gpp;
  const float width = gpp.xmax - gpp.xmin, height = gpp.ymax - gpp.ymin;
  // Pixels per unit height over pixels per unit width.
  const float ratio = (static_cast<float>(ny) / height) / (static_cast<float>(nx) / width);
  Box b = gpp;
  if (ratio >= 1.0f) {
    const float centre = 0.5f * (gpp.xmin + gpp.xmax), half = 0.5f * width / ratio;
    b.xmin = centre - half;
    b.xmax = centre + half;
  } else {
    const float centre = 0.5f * (gpp.ymin + gpp.ymax), half = 0.5f * height * ratio;
    b.ymin = centre - half;
    b.ymax = centre + half;
  }
  return b;
}

FrameLayout frame_layout(const Box& plot) {
  FrameLayout f;
  f.tick = 0.008f;
  f.number_height = 0.013f;
  f.label_height = 0.015f;
  f.title_height = 0.02f;
  f.x_numbers_top = plot.ymin - f.tick - 0.005f;
  f.x_label_top = f.x_numbers_top - f.number_height - 0.012f;
  f.y_numbers_right = plot.xmin - f.tick - 0.004f;
  f.title_base = plot.ymax + 0.016f;
  f.bar = {plot.xmax + 0.012f, plot.ymin, plot.xmax + 0.032f, plot.ymax};
  f.bar_numbers_left = f.bar.xmax + f.tick + 0.004f;
  return f;
}

void page_to_world(const Box& page, const Box& world, float px, float py, float& wx, float& wy) {
  wx = world.xmin + (px - page.xmin) * (world.xmax - world.xmin) / (page.xmax - page.xmin);
  wy = world.ymin + (py - page.ymin) * (world.ymax - world.ymin) / (page.ymax - page.ymin);
}

float axis_position(double value, double low, double high, float from, float to, bool log) {
  double f = 0.0;
  if (log) {
    f = std::log10(value / low) / std::log10(high / low);
  } else {
    f = (value - low) / (high - low);
  }
  return static_cast<float>(from + f * (to - from));
}

void draw_frame(const Box& plot, const Box& world, bool x_log, bool y_log, const FrameTexts& texts,
                int& status) {
  const FrameLayout f = frame_layout(plot);
  GS_LINESTYLE(1, 1.0f, black, status);
  GS_RECTANGLE(plot.xmin, plot.ymin, plot.xmax, plot.ymax, true, false, status);
  x_log = x_log && world.xmin > 0.0f && world.xmax > 0.0f;
  y_log = y_log && world.ymin > 0.0f && world.ymax > 0.0f;

  // X ticks and numbers below the frame.
  const Ticks xt = x_log ? log_ticks(world.xmin, world.xmax) : linear_ticks(world.xmin, world.xmax);
  for (const double v : xt.values) {
    const float x = axis_position(v, world.xmin, world.xmax, plot.xmin, plot.xmax, x_log);
    GS_LINE(x, plot.ymin, x, plot.ymin - f.tick, status);
    draw_text(x, f.x_numbers_top, tick_text(v, xt.decimals), 1, black, f.number_height,
              align_centre, valign_top, status);
  }
  // Y ticks and numbers left of it; the widest number places the label.
  const Ticks yt = y_log ? log_ticks(world.ymin, world.ymax) : linear_ticks(world.ymin, world.ymax);
  float widest = 0.0f;
  for (const double v : yt.values) {
    const float y = axis_position(v, world.ymin, world.ymax, plot.ymin, plot.ymax, y_log);
    GS_LINE(plot.xmin, y, plot.xmin - f.tick, y, status);
    const std::string number = tick_text(v, yt.decimals);
    draw_text(f.y_numbers_right, y, number, 1, black, f.number_height, align_right, valign_half,
              status);
    float width = 0.0f;
    VG_INQ_TEXTWIDTH(number, width, status);
    widest = std::max(widest, width);
  }
  if (!io::trimmed(texts.title).empty()) {
    draw_text(0.5f * (plot.xmin + plot.xmax), f.title_base, texts.title, 1, black, f.title_height,
              align_centre, valign_base, status);
  }
  if (!io::trimmed(texts.xlabel).empty()) {
    draw_text(0.5f * (plot.xmin + plot.xmax), f.x_label_top, texts.xlabel, 1, black, f.label_height,
              align_centre, valign_top, status);
  }
  if (!io::trimmed(texts.ylabel).empty()) {
    // Upright along the axis, its bottom towards the numbers.
    const float x = std::max(f.y_numbers_right - widest - 0.008f, f.label_height);
    GS_TEXTSTYLE(1, black, f.label_height, 1.0f, 90.0f, align_centre, valign_bottom, status);
    VG_TEXT(x, 0.5f * (plot.ymin + plot.ymax), io::trimmed(texts.ylabel), status);
  }
}

}  // namespace gs

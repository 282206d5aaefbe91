// The graph of the rotation-axis step, shown while the position prompt
// waits: each line's position against the line, the lines kept, weighed
// down and set aside, the weighted position, the fitted straight line, the
// band within which lines are kept, and a legend.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "gs.h"
#include "kov_axis_graph.h"

namespace {

// A kept line whose weight is below this share of the largest is shown as
// weighed down.
constexpr double weighed_down_share = 0.1;
// Marker types of the device: plus, circle, cross; line types: solid, dashed.
constexpr int plus = 2, circle = 4, cross = 5;
constexpr int solid = 1, dashed = 2;

struct Points {
  std::vector<float> x, y;
  void add(double line, double position) {
    x.push_back(static_cast<float>(line));
    y.push_back(static_cast<float>(position));
  }
  int count() const { return static_cast<int>(x.size()); }
};

void markers(const Points& p, int type, int colour, int& status) {
  if (p.x.empty()) return;
  int index = 0;
  GS_INQ_COLOURINDEX(colour, index, status);
  VG_MARKERTYPE(type, status);
  VG_MARKERCOLOUR(index, status);
  VG_POLYMARKER(p.count(), p.x.data(), p.y.data(), status);
}

void line(float x1, float y1, float x2, float y2, int type, int colour, int& status) {
  GS_LINESTYLE(type, 1.0f, colour, status);
  GS_LINE(x1, y1, x2, y2, status);
}

std::string number(const char* spec, double value) {
  char text[64];
  std::snprintf(text, sizeof text, spec, std::fabs(value) < 5e-6 ? 0.0 : value);
  return text;
}

// The lines of the graph sorted into what is drawn of them.
struct Sorted {
  Points kept, down, aside;
  float low = std::numeric_limits<float>::max(), high = std::numeric_limits<float>::lowest();
};

Sorted sort_lines(const kov::AxisResult& r) {
  Sorted s;
  double top = 0.0;
  for (double w : r.weight) top = std::max(top, w);
  for (std::size_t i = 0; i < r.position.size(); ++i) {
    const double p = r.position[i];
    if (!std::isfinite(p)) continue;
    const double line = r.first_line + static_cast<double>(i);
    if (!r.kept[i]) {
      s.aside.add(line, p);
      continue;
    }
    (r.weight[i] < weighed_down_share * top ? s.down : s.kept).add(line, p);
    s.low = std::min(s.low, static_cast<float>(p));
    s.high = std::max(s.high, static_cast<float>(p));
  }
  return s;
}

// The legend inside the top of the frame over `world`, one entry per row:
// its sign (a marker or a piece of line), then its text, whose height is in
// page units.
void draw_legend(const kov::AxisResult& r, const Sorted& s, const gs::Box& world, int& status) {
  gs::Box frame;
  GS_INQ_DGPP(frame, status);
  const float x0 = world.xmin, w = world.xmax - world.xmin;
  const float row = 0.045f * (world.ymax - world.ymin);
  const float text_height = 0.6f * 0.045f * (frame.ymax - frame.ymin);
  float y = world.ymax - row;
  auto entry = [&](int colour, const std::string& text, int marker, int line_type) {
    const float xs = x0 + 0.03f * w, xe = x0 + 0.08f * w;
    if (marker != 0) {
      Points sign;
      sign.add(0.5 * (xs + xe), y);
      markers(sign, marker, colour, status);
    } else {
      line(xs, y, xe, y, line_type, colour, status);
    }
    GS_TEXTSTYLE(1, colour, text_height, 1.0f, 0.0f, gs::align_left, gs::valign_half, status);
    VG_TEXT(x0 + 0.1f * w, y, text, status);
    y -= row;
  };
  entry(gs::blue, "Position of a line kept (" + std::to_string(s.kept.count()) + ")", plus, 0);
  if (s.down.count() > 0) {
    entry(gs::orange, "Weighed down: weight under a tenth (" + std::to_string(s.down.count()) + ")",
          circle, 0);
  }
  if (s.aside.count() > 0) {
    entry(gs::magenta,
          "Set aside (" + std::to_string(s.aside.count()) + "; at the edge when off the graph)",
          cross, 0);
  }
  entry(gs::red, "Weighted position " + number("%.5f", r.weighted), 0, solid);
  if (r.tilt_defined()) {
    entry(gs::green, "Fitted straight line, tilt " + number("%.5f", r.tilt_degrees()) + " degrees",
          0, solid);
  }
  entry(gs::grey, "Band of the lines kept: 3 spreads (" + number("%.3f", r.scatter) + " pixel)", 0,
        dashed);
}

}  // namespace

namespace kov {

void draw_axis_graph(const AxisResult& r, bool vertical, int& status) {
  if (status != io::status_good || !r.usable()) return;
  Sorted s = sort_lines(r);
  const float x0 = static_cast<float>(r.first_line) - 0.5f;
  const float x1 = static_cast<float>(r.last_line) + 0.5f;
  const float band = 3.0f * static_cast<float>(r.scatter);
  const float weighted = static_cast<float>(r.weighted);
  auto fit = [&](float x) { return static_cast<float>(r.intercept + r.slope * x); };
  // The world: the kept lines, the band and the weighted position; room
  // above them for the legend.
  for (float y : {fit(x0) - band, fit(x0) + band, fit(x1) - band, fit(x1) + band, weighted}) {
    s.low = std::min(s.low, y);
    s.high = std::max(s.high, y);
  }
  const float span = std::max(s.high - s.low, 0.01f);
  const float y0 = s.low - 0.05f * span, top = s.high + 0.05f * span;
  const float y1 = top + 0.5f * span;
  const gs::GraphPageScope page(status);
  GS_GRAPHFRAME(gs::Box{x0, y0, x1, y1}, "ROTATION AXIS POSITION OF EACH LINE",
                vertical ? "Line (image row)" : "Line (image column)", "Axis position (pixels)",
                status);
  if (status != io::status_good) return;
  const gs::DrawingScope keep;  // the styles come back as they were

  line(x0, fit(x0) - band, x1, fit(x1) - band, dashed, gs::grey, status);
  line(x0, fit(x0) + band, x1, fit(x1) + band, dashed, gs::grey, status);
  if (r.tilt_defined()) line(x0, fit(x0), x1, fit(x1), solid, gs::green, status);
  line(x0, weighted, x1, weighted, solid, gs::red, status);
  markers(s.kept, plus, gs::blue, status);
  markers(s.down, circle, gs::orange, status);
  // Lines set aside beyond the graph are shown at its edge.
  for (float& y : s.aside.y) y = std::clamp(y, y0, top);
  markers(s.aside, cross, gs::magenta, status);

  draw_legend(r, s, gs::Box{x0, y0, x1, y1}, status);
  GS_UPDATE(status);
}

}  // namespace kov

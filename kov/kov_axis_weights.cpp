// The position offered from the lines' positions and weights: the weighted
// straight line through the lines, found robustly, the lines set aside, the
// weighted mean of the others, the tilt, and the two halves of the range.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "kov_axis_weights.h"

namespace {

// The robust spread is never taken below this (pixels), so that lines which
// agree to a few thousandths are not set aside for a tenth of a pixel.
constexpr double least_scatter = 0.05;
// Lines farther than this many spreads from the straight line are set aside.
constexpr double set_aside_spreads = 3.0;
// 1 / 0.6745: a median absolute deviation as a standard deviation.
constexpr double mad_to_sigma = 1.4826;
constexpr int max_rounds = 20;

struct Point {
  double line, position, weight;
};

// The weighted median of values[i] (weights[i] > 0, at least one).
double weighted_median(std::vector<std::pair<double, double>> values) {
  std::sort(values.begin(), values.end());
  double total = 0.0;
  for (const auto& v : values) total += v.second;
  double below = 0.0;
  for (const auto& v : values) {
    below += v.second;
    if (below >= 0.5 * total) return v.first;
  }
  return values.back().first;
}

struct StraightLine {
  double slope = 0.0, intercept = 0.0;  // position = intercept + slope * line
  double at(double line) const { return intercept + slope * line; }
};

// A first straight line that outliers cannot drag: the slope between the
// weighted medians of the first and the last third of the lines, the
// intercept the weighted median of what the slope leaves.
StraightLine resistant_line(const std::vector<Point>& p) {
  StraightLine s;
  const std::size_t third = p.size() / 3;
  if (third > 0) {
    auto median_of = [&](std::size_t from, std::size_t to, bool lines) {
      std::vector<std::pair<double, double>> v;
      for (std::size_t i = from; i < to; ++i) {
        v.emplace_back(lines ? p[i].line : p[i].position, p[i].weight);
      }
      return weighted_median(std::move(v));
    };
    const double x_left = median_of(0, third, true);
    const double x_right = median_of(p.size() - third, p.size(), true);
    if (x_right > x_left) {
      s.slope = (median_of(p.size() - third, p.size(), false) - median_of(0, third, false)) /
                (x_right - x_left);
    }
  }
  std::vector<std::pair<double, double>> rest;
  for (const Point& q : p) rest.emplace_back(q.position - s.slope * q.line, q.weight);
  s.intercept = weighted_median(std::move(rest));
  return s;
}

// The weighted least-squares straight line through the kept points (the
// weighted mean with one distinct line).
StraightLine weighted_fit(const std::vector<Point>& p, const std::vector<char>& keep) {
  double sw = 0.0, sx = 0.0, sy = 0.0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (!keep[i]) continue;
    sw += p[i].weight;
    sx += p[i].weight * p[i].line;
    sy += p[i].weight * p[i].position;
  }
  const double mx = sx / sw, my = sy / sw;
  double sxx = 0.0, sxy = 0.0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (!keep[i]) continue;
    sxx += p[i].weight * (p[i].line - mx) * (p[i].line - mx);
    sxy += p[i].weight * (p[i].line - mx) * (p[i].position - my);
  }
  StraightLine s;
  s.slope = sxx > 0.0 ? sxy / sxx : 0.0;
  s.intercept = my - s.slope * mx;
  return s;
}

// The spread of the points about the line: the weighted median of the
// distances of those counted, as a standard deviation, at least
// least_scatter.
double spread(const std::vector<Point>& p, const std::vector<char>& counted,
              const StraightLine& s) {
  std::vector<std::pair<double, double>> d;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (counted[i]) d.emplace_back(std::fabs(p[i].position - s.at(p[i].line)), p[i].weight);
  }
  return std::max(least_scatter, mad_to_sigma * weighted_median(std::move(d)));
}

double weighted_mean(const std::vector<Point>& p, const std::vector<char>& keep, double from_line,
                     double to_line) {
  double sw = 0.0, s = 0.0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (!keep[i] || p[i].line < from_line || p[i].line > to_line) continue;
    sw += p[i].weight;
    s += p[i].weight * p[i].position;
  }
  return sw > 0.0 ? s / sw : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

namespace kov {

void weigh_lines(AxisResult& r) {
  std::vector<Point> p;
  std::vector<std::size_t> index;
  for (std::size_t i = 0; i < r.position.size(); ++i) {
    if (std::isfinite(r.position[i]) && r.weight[i] > 0.0) {
      p.push_back(
          {static_cast<double>(r.first_line) + static_cast<double>(i), r.position[i], r.weight[i]});
      index.push_back(i);
    }
  }
  std::fill(r.kept.begin(), r.kept.end(), 0);
  r.lines_kept = 0;
  r.weighted = r.mean;
  r.slope = 0.0;
  r.intercept = r.mean;
  r.scatter = least_scatter;
  if (p.empty()) return;

  // Set aside what lies beyond three spreads of a resistant line, then of
  // the weighted line through the rest, until the lines kept stay the same.
  StraightLine line = resistant_line(p);
  double s = spread(p, std::vector<char>(p.size(), 1), line);
  std::vector<char> keep;
  for (int round = 0; round < max_rounds; ++round) {
    std::vector<char> next(p.size(), 0);
    for (std::size_t i = 0; i < p.size(); ++i) {
      next[i] = std::fabs(p[i].position - line.at(p[i].line)) <= set_aside_spreads * s;
    }
    if (next == keep || std::none_of(next.begin(), next.end(), [](char k) { return k != 0; })) {
      break;
    }
    keep = std::move(next);
    line = weighted_fit(p, keep);
    s = spread(p, keep, line);
  }
  for (std::size_t i = 0; i < p.size(); ++i) {
    r.kept[index[i]] = keep[i];
    r.lines_kept += keep[i] != 0 ? 1 : 0;
  }
  r.weighted = weighted_mean(p, keep, r.first_line, r.last_line);
  r.scatter = s;
  if (r.lines_kept > 1) {
    r.slope = line.slope;
    r.intercept = line.intercept;
  } else {
    r.intercept = r.weighted;
  }
  const double middle = 0.5 * (r.first_line + r.last_line);
  if (r.last_line > r.first_line) {
    r.first_half = weighted_mean(p, keep, r.first_line, std::floor(middle));
    r.second_half = weighted_mean(p, keep, std::floor(middle) + 1.0, r.last_line);
  }
}

}  // namespace kov

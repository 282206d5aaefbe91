// Pairs of projections with a known axis, the table of conditions, the
// baseline estimator and the run of one case.
#include "axis_pairs.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "io.h"
#include "kov_axis.h"
#include "kov_axis_report.h"
#include "ma.h"

namespace axis_pairs {

namespace {

// A round object of the slice: its centre's distance from the axis along
// the detector (pixels), its radius and its attenuation per pixel. Its
// projection is the chord through it.
struct Disc {
  double centre, radius, mu;
  double chord(double u) const {
    const double d = radius * radius - (u - centre) * (u - centre);
    return d > 0.0 ? 2.0 * mu * std::sqrt(d) : 0.0;
  }
};

// A container wall that fills the line: transmission about 0.68 at the
// line's ends.
void add_container(std::vector<Disc>& discs, int n) {
  const double radius = 1.3 * n, inner = 0.97 * radius;
  const double half = 0.5 * n;
  const double wall =
      2.0 * (std::sqrt(radius * radius - half * half) - std::sqrt(inner * inner - half * half));
  const double mu = -std::log(0.68) / wall;
  discs.push_back({0.0, radius, mu});
  discs.push_back({0.0, inner, -mu});
}

// The object of one line: a body with inclusions of more and less
// attenuation, scaled so that its largest absorption is condition.absorption.
std::vector<Disc> object(const Condition& s, std::mt19937& gen) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const double radius = 0.5 * s.width * s.n, centre = s.centre * s.n;
  std::vector<Disc> d{{centre, radius, 1.0}};
  const int inclusions = 3 + static_cast<int>(u(gen) * 5.0);
  for (int i = 0; i < inclusions; ++i) {
    const double r = radius * (0.05 + 0.25 * u(gen));
    const double offset = 0.95 * (radius - r) * (2.0 * u(gen) - 1.0);
    d.push_back({centre + offset, r, (u(gen) < 0.5 ? -0.6 : 1.5) * u(gen)});
  }
  double highest = 0.0;
  for (double x = centre - radius; x <= centre + radius; x += 0.5) {
    double p = 0.0;
    for (const Disc& disc : d) p += disc.chord(x);
    highest = std::max(highest, p);
  }
  const double scale = -std::log(1.0 - s.absorption) / highest;
  for (Disc& disc : d) disc.mu *= scale;
  return d;
}

}  // namespace

Pair make_pair(const Condition& s) {
  Pair p;
  p.width = s.horizontal ? s.lines : s.n;
  p.height = s.horizontal ? s.n : s.lines;
  p.first.resize(static_cast<std::size_t>(s.n) * s.lines);
  p.last.resize(p.first.size());
  std::mt19937 gen(s.seed);
  std::normal_distribution<double> noise(0.0, 1.0);
  constexpr int samples = 16;  // points per pixel
  for (int line = 0; line < s.lines; ++line) {
    std::vector<Disc> discs;
    if (line >= s.thin_lines) discs = object(s, gen);
    if (s.container || line < s.thin_lines) add_container(discs, s.n);
    auto transmission = [&](double u) {
      double p = 0.0;
      for (const Disc& d : discs) p += d.chord(u);
      return std::exp(-p);
    };
    for (int j = 0; j < s.n; ++j) {
      // A feature at u from the axis lies at axis + u in the first
      // projection and at axis - u in the 180-degree one.
      double t0 = 0.0, t180 = 0.0;
      for (int k = 0; k < samples; ++k) {
        const double x = j + (k + 0.5) / samples;
        t0 += transmission(x - s.axis);
        t180 += transmission(s.axis - x);
      }
      t0 /= samples;
      t180 /= samples;
      const double beam = 1.0 + s.gradient * (0.5 - (j + 0.5) / s.n);
      double v0 = beam * t0, v180 = beam * t180;
      if (s.counts > 0.0) {
        v0 += noise(gen) * std::sqrt(v0 / s.counts);
        v180 += noise(gen) * std::sqrt(v180 / s.counts);
      }
      if (s.corrected) {
        v0 /= beam;
        v180 /= beam;
      } else {
        v0 += s.dark;
        v180 += s.dark;
      }
      const std::size_t at = s.horizontal ? static_cast<std::size_t>(j) * s.lines + line
                                          : static_cast<std::size_t>(line) * s.n + j;
      p.first[at] = static_cast<float>(v0);
      p.last[at] = static_cast<float>(v180);
    }
  }
  return p;
}

std::vector<Condition> table() {
  // The goals: 0.05 pixel for a corrected or even beam, 0.15 for an
  // uncorrected gradient up to 10 %, 0.3 at 20 %, 0.35 with photon noise.
  const double c = 0.05, g = 0.15, noisy = 0.35;
  const double axis30 = 0.3 * 1024 + 0.37, axis70 = 0.7 * 1024 + 0.37;
  return {
      {.name = "corrected, even beam", .corrected = true, .goal = c},
      {.name = "uncorrected, even beam", .goal = c},
      {.name = "gradient 2 %", .gradient = 0.02, .goal = g},
      {.name = "gradient 5 %", .gradient = 0.05, .goal = g},
      {.name = "gradient 10 %", .gradient = 0.10, .goal = g},
      {.name = "gradient 20 %", .gradient = 0.20, .goal = 0.3},
      {.name = "gradient 5 %, dark current 5 %", .gradient = 0.05, .dark = 0.05, .goal = g},
      {.name = "weak absorber (10 %)", .absorption = 0.1, .goal = c},
      {.name = "weak absorber, gradient 10 %", .gradient = 0.1, .absorption = 0.1, .goal = g},
      {.name = "strong absorber (99 %)", .absorption = 0.99, .goal = c},
      {.name = "object 20 % wide", .width = 0.2, .goal = c},
      {.name = "object 90 % wide", .width = 0.9, .centre = 0.0, .goal = c},
      {.name = "object 600 px wide, gradient 5 %",
       .gradient = 0.05,
       .width = 600.0 / 1024.0,
       .goal = g},
      {.name = "object leaves the field", .width = 1.3, .centre = 0.0, .goal = c},
      {.name = "object leaves the field, gradient 10 %",
       .gradient = 0.1,
       .width = 1.3,
       .centre = 0.1,
       .goal = g},
      {.name = "axis at 30 %", .axis = axis30, .width = 0.4, .centre = 0.0, .goal = c},
      {.name = "axis at 70 %, gradient 10 %",
       .axis = axis70,
       .gradient = 0.1,
       .width = 0.4,
       .centre = 0.0,
       .goal = g},
      {.name = "noise 3000 counts", .counts = 3000, .goal = noisy},
      {.name = "noise 300 counts", .counts = 300, .goal = noisy},
      {.name = "noise 300 counts, gradient 10 %", .gradient = 0.1, .counts = 300, .goal = noisy},
      {.name = "noise 3000 counts, weak absorber",
       .absorption = 0.1,
       .counts = 3000,
       .goal = noisy},
      {.name = "noise 3000 counts, object leaves the field",
       .width = 1.3,
       .centre = 0.0,
       .counts = 3000,
       .goal = noisy},
      {.name = "256 pixels", .n = 256, .axis = 131.21, .goal = c},
      {.name = "256 pixels, gradient 10 %, noise 3000",
       .n = 256,
       .axis = 131.21,
       .gradient = 0.1,
       .counts = 3000,
       .goal = noisy},
      {.name = "horizontal axis, gradient 5 %",
       .horizontal = true,
       .axis = 505.63,
       .gradient = 0.05,
       .goal = g},
      {.name = "horizontal axis, corrected, noise 3000",
       .horizontal = true,
       .axis = 505.63,
       .counts = 3000,
       .corrected = true,
       .goal = noisy},
      // Like the real series: 160 by 135 pixels, the sample in a container
      // that fills the line, its upper rows the container alone; the lines a
      // user would choose, 10 to 125.
      {.name = "thin container lines above the sample, noise 3000",
       .n = 160,
       .lines = 135,
       .first_line = 10,
       .last_line = 125,
       .axis = 86.32,
       .width = 0.5,
       .centre = 0.0,
       .counts = 3000,
       .corrected = true,
       .thin_lines = 55,
       .container = true,
       .goal = c},
  };
}

double baseline_position(const Pair& pair, const Condition& s) {
  const int n_line = s.n;
  int n = 1;
  while (n <= 2 * n_line - 1) n *= 2;
  std::vector<float> a(static_cast<std::size_t>(n)), b(a.size());
  const io::View2D<const float> first(pair.first.data(), pair.width, pair.height);
  const io::View2D<const float> last(pair.last.data(), pair.width, pair.height);
  auto value = [&](const io::View2D<const float>& v, int j, int line) {
    return s.horizontal ? v(line, j) : v(j, line);
  };
  const int last_line = s.last_line > 0 ? s.last_line : s.lines;
  double sum = 0.0;
  int used = 0;
  for (int line = s.first_line; line <= last_line; ++line) {
    double mean_a = 0.0, mean_b = 0.0;
    for (int j = 1; j <= n_line; ++j) {
      mean_a += value(first, j, line);
      mean_b += value(last, j, line);
    }
    mean_a /= n_line;
    mean_b /= n_line;
    std::fill(a.begin(), a.end(), 0.0f);
    std::fill(b.begin(), b.end(), 0.0f);
    for (int j = 1; j <= n_line; ++j) {
      a[static_cast<std::size_t>(j - 1)] = static_cast<float>(value(first, j, line) - mean_a);
      b[static_cast<std::size_t>(j - 1)] =
          static_cast<float>(value(last, n_line - j + 1, line) - mean_b);
    }
    int status = io::status_good;
    MA_1DCROSSCORR(n, a.data(), n, n, b.data(), status);
    int peak = 1;
    for (int i = 2; i <= n; ++i) {
      if (b[static_cast<std::size_t>(i - 1)] > b[static_cast<std::size_t>(peak - 1)]) peak = i;
    }
    const float left = b[static_cast<std::size_t>(peak == 1 ? n - 1 : peak - 2)];
    const float right = b[static_cast<std::size_t>(peak == n ? 0 : peak)];
    const int lag = peak - 1 <= n / 2 ? peak - 1 : peak - 1 - n;
    float p = 0.0f;
    KOV_FIT_PARABOLA(lag, left, b[static_cast<std::size_t>(peak - 1)], right, p, status);
    if (status != io::status_good) continue;
    sum += n_line * 0.5 - p * 0.5;
    ++used;
  }
  return used > 0 ? sum / used : std::nan("");
}

bool Outcome::meets(const Condition& condition) const {
  if (!ok || !(std::fabs(error()) <= condition.goal)) return false;
  return !(std::fabs(baseline_error()) <= 0.3) ||
         std::fabs(error()) <= std::fabs(baseline_error()) + 0.05;
}

Outcome run(const Condition& s) {
  Outcome o;
  o.truth = s.axis;
  const Pair pair = make_pair(s);
  const io::View2D<const float> first(pair.first.data(), pair.width, pair.height);
  const io::View2D<const float> last(pair.last.data(), pair.width, pair.height);
  kov::AxisResult r;
  int status = io::status_good;
  kov::axis_positions(!s.horizontal, pair.width, pair.height, first, last, s.first_line,
                      s.last_line > 0 ? s.last_line : s.lines, r, status);
  o.ok = status == io::status_good && r.usable();
  o.offered = r.weighted;
  o.mean = r.mean;
  o.lines_used = r.lines_used;
  o.lines_set_aside = r.lines_set_aside();
  o.warnings = kov::axis_warning_lines(r);
  o.baseline = baseline_position(pair, s);
  return o;
}

}  // namespace axis_pairs

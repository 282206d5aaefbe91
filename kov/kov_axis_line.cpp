// The match of a line of the first projection with the mirrored line of the
// 180-degree projection: attenuations, pairs of pixels for long lines,
// smoothing, the coarse lag over every lag by blocks, the fine lag by the
// template within a few samples of it.
#include "kov_axis_line.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <new>

#include "io.h"
#include "kov_axis.h"
#include "ma.h"

namespace {

// The smoothing: a Gaussian of this sigma in pixels, cut at three sigma.
constexpr double smoothing_sigma = 4.0;
// Lines of at least this many pixels are matched in pairs of pixels: once
// smoothed, a line holds nothing finer than two pixels could carry.
constexpr int pairs_from = 512;
// The coarse pass: at most this many blocks per line, of at most this many
// samples.
constexpr int coarse_blocks = 256;
constexpr int max_block = 8;
// A common part whose energy (straight line removed) is below this share of
// its line's whole energy counts as that share: a short part with hardly
// anything in it cannot make a correlation of 1 out of noise.
constexpr double energy_floor = 0.05;
// How often the fine window may move to a minimum found at its edge.
constexpr int fine_rounds = 3;
// The shortest template of the fine pass.
constexpr int min_template = 8;
// A value at most this many times the line's mean counts as that much in the
// attenuation (a zero or negative pixel among positive ones).
constexpr double attenuation_floor = 1.0e-4;

int power_of_two_at_least(int n) {
  int p = 1;
  while (p < n) p *= 2;
  return p;
}

// The natural logarithm of a positive normal float, to about 1e-7: the
// exponent and a polynomial of the mantissa brought to [sqrt(1/2), sqrt(2)).
// Without branches, so that a loop of it vectorizes.
inline float natural_log(float v) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  // The exponent relative to sqrt(1/2) (0x3f3504f3), and the mantissa
  // brought into [sqrt(1/2), sqrt(2)).
  const std::uint32_t offset = bits - 0x3f3504f3u;
  const int exponent = static_cast<std::int32_t>(offset) >> 23;
  bits = (offset & 0x007fffffu) + 0x3f3504f3u;
  float m = 0.0f;
  std::memcpy(&m, &bits, sizeof m);
  const float t = m - 1.0f;
  const float z = t * t;
  float p = 7.0376836292e-2f;
  p = p * t - 1.1514610310e-1f;
  p = p * t + 1.1676998740e-1f;
  p = p * t - 1.2420140846e-1f;
  p = p * t + 1.4249322787e-1f;
  p = p * t - 1.6668057665e-1f;
  p = p * t + 2.0000714765e-1f;
  p = p * t - 2.4999993993e-1f;
  p = p * t + 3.3333331174e-1f;
  const float e = static_cast<float>(exponent);
  return t + (t * z * p - 0.5f * z) + e * 0.693147180559945f;
}

// `v` (n values) smoothed by `kernel` (odd length, summing to 1) into
// `out`, the ends repeated beyond the line.
void smooth(const float* __restrict v, float* __restrict out, int n,
            const std::vector<float>& kernel) {
  const int r = static_cast<int>(kernel.size()) / 2;
  const float* k = kernel.data() + r;  // k[-r .. r]
  auto at_edge = [&](int i) {
    float sum = 0.0f;
    for (int q = -r; q <= r; ++q) sum += k[q] * v[std::clamp(i + q, 0, n - 1)];
    return sum;
  };
  const int from = std::min(r, n), to = std::max(n - r, from);
  for (int i = 0; i < from; ++i) out[i] = at_edge(i);
  for (int i = to; i < n; ++i) out[i] = at_edge(i);
  for (int i = from; i < to; ++i) out[i] = 0.0f;
  for (int q = -r; q <= r; ++q) {
    const float weight = k[q];
    for (int i = from; i < to; ++i) out[i] += weight * v[i + q];
  }
}

using kov::LineSums;

// The sums of v[0 .. n-1] (y), of (j - centre) v[j] (xy) and of v[j]^2 (yy).
LineSums moments(const float* v, int n, double centre) {
  double y = 0.0, xy = 0.0, yy = 0.0;
#pragma omp simd reduction(+ : y, xy, yy)
  for (int j = 0; j < n; ++j) {
    const double value = v[j];
    y += value;
    xy += (j - centre) * value;
    yy += value * value;
  }
  return {y, xy, yy};
}

// The energy of values y over `count` consecutive indices from `first`
// once their least-squares straight line is taken away, from their sums.
double detrended_energy(const LineSums& s, int first, int count) {
  const double n = count;
  const double centre = first + (count - 1) * 0.5;
  const double xx = n * (n * n - 1.0) / 12.0;  // sum of (x - centre)^2
  const double xy = s.xy - centre * s.y;
  double e = s.yy - s.y * s.y / n;
  if (xx > 0.0) e -= xy * xy / xx;
  return e;
}

// Subtracts the least-squares straight line from v[0 .. n-1]; the energy
// left.
double remove_straight_line(float* v, int n) {
  const double centre = (n - 1) * 0.5;
  const LineSums m = moments(v, n, centre);
  const double xx = n * (static_cast<double>(n) * n - 1.0) / 12.0;
  const float mean = static_cast<float>(m.y / n);
  const float slope = static_cast<float>(xx > 0.0 ? m.xy / xx : 0.0);
  const float c = static_cast<float>(centre);
  for (int j = 0; j < n; ++j) v[j] = v[j] - mean - slope * (static_cast<float>(j) - c);
  return detrended_energy(LineSums{m.y, m.xy + centre * m.y, m.yy}, 0, n);
}

}  // namespace

namespace kov {

LineMatcher::LineMatcher(int n_line) : n_(n_line) {
  if (n_line < 2) return;
  pair_ = n_line >= pairs_from ? 2 : 1;
  m_ = n_line / pair_;
  block_ = std::clamp((m_ + coarse_blocks - 1) / coarse_blocks, 1, max_block);
  blocks_ = m_ / block_;
  coarse_n_ = power_of_two_at_least(2 * blocks_);
  const int fine_n = power_of_two_at_least(m_ + 2 * fine_window);
  // The Gaussian in samples of pair_ pixels, less what averaging the pairs
  // has smoothed already.
  const double sigma =
      std::sqrt(smoothing_sigma * smoothing_sigma - (pair_ * pair_ - 1) / 12.0) / pair_;
  const int radius = static_cast<int>(std::ceil(3.0 * sigma));
  try {
    first_.resize(static_cast<std::size_t>(n_line));
    mirrored_.resize(static_cast<std::size_t>(n_line));
    a_.resize(static_cast<std::size_t>(m_));
    b_.resize(static_cast<std::size_t>(m_));
    fa_.resize(static_cast<std::size_t>(std::max(coarse_n_, fine_n)));
    fb_.resize(fa_.size());
    pa_.resize(static_cast<std::size_t>(blocks_) + 1);
    pb_.resize(pa_.size());
    kernel_.resize(static_cast<std::size_t>(2 * radius + 1));
  } catch (const std::bad_alloc&) {
    return;
  }
  double total = 0.0;
  for (int i = -radius; i <= radius; ++i) total += std::exp(-0.5 * i * i / (sigma * sigma));
  for (int i = -radius; i <= radius; ++i) {
    kernel_[static_cast<std::size_t>(i + radius)] =
        static_cast<float>(std::exp(-0.5 * i * i / (sigma * sigma)) / total);
  }
  ready_ = coarse_n_ <= ma::max_correlation && fine_n <= ma::max_correlation;
}

void LineMatcher::prepare(const float* first, const float* mirrored) {
  int not_positive = 0;
  double sum_a = 0.0, sum_b = 0.0;
#pragma omp simd reduction(+ : not_positive, sum_a, sum_b)
  for (int j = 0; j < n_; ++j) {
    const float fa = first[j], fb = mirrored[j];
    sum_a += fa > 0.0f ? fa : 0.0f;
    sum_b += fb > 0.0f ? fb : 0.0f;
    not_positive += (fa > 0.0f ? 0 : 1) + (fb > 0.0f ? 0 : 1);
  }
  float* __restrict a = first_.data();
  float* __restrict b = mirrored_.data();
  // Attenuations when (nearly) every value is positive, as for projections
  // of counts or transmissions; the values themselves otherwise.
  if (not_positive * 100 <= 2 * n_ && sum_a > 0.0 && sum_b > 0.0) {
    const double mean = std::min(sum_a, sum_b) / n_;
    const float low =
        static_cast<float>(std::max(attenuation_floor * mean, static_cast<double>(FLT_MIN)));
#pragma omp simd
    for (int j = 0; j < n_; ++j) {
      a[j] = -natural_log(std::max(first[j], low));
      b[j] = -natural_log(std::max(mirrored[j], low));
    }
  } else {
    std::copy(first, first + n_, a);
    std::copy(mirrored, mirrored + n_, b);
  }
  if (pair_ == 2) {
    // Pairs of pixels, into the front of the same buffers.
    for (int i = 0; i < m_; ++i) {
      a[i] = 0.5f * (a[2 * i] + a[2 * i + 1]);
      b[i] = 0.5f * (b[2 * i] + b[2 * i + 1]);
    }
  }
  smooth(a, a_.data(), m_, kernel_);
  smooth(b, b_.data(), m_, kernel_);
}

bool LineMatcher::coarse_correlation() {
  const int m = blocks_, k = block_;
  float* ca = fa_.data();
  float* cb = fb_.data();
  // Block means, less each line's mean so that the transform works on small
  // numbers (the straight lines removed later take constants away anyway).
  double mean_a = 0.0, mean_b = 0.0;
  for (int i = 0; i < m; ++i) {
    float block_a = 0.0f, block_b = 0.0f;
    for (int j = i * k; j < (i + 1) * k; ++j) {
      block_a += a_[j];
      block_b += b_[j];
    }
    ca[i] = block_a / static_cast<float>(k);
    cb[i] = block_b / static_cast<float>(k);
    mean_a += ca[i];
    mean_b += cb[i];
  }
  mean_a /= m;
  mean_b /= m;
  // Running sums: element i of each is the sum over blocks 0 .. i-1.
  LineSums* sa = pa_.data();
  LineSums* sb = pb_.data();
  sa[0] = sb[0] = LineSums{};
  for (int i = 0; i < m; ++i) {
    ca[i] = static_cast<float>(ca[i] - mean_a);
    cb[i] = static_cast<float>(cb[i] - mean_b);
    const double ya = ca[i], yb = cb[i];
    sa[i + 1] = LineSums{sa[i].y + ya, sa[i].xy + i * ya, sa[i].yy + ya * ya};
    sb[i + 1] = LineSums{sb[i].y + yb, sb[i].xy + i * yb, sb[i].yy + yb * yb};
  }
  std::fill(ca + m, ca + coarse_n_, 0.0f);
  std::fill(cb + m, cb + coarse_n_, 0.0f);
  whole_a_ = detrended_energy(sa[m], 0, m);
  whole_b_ = detrended_energy(sb[m], 0, m);
  if (!(whole_a_ > 0.0) || !(whole_b_ > 0.0)) return false;
  int status = io::status_good;
  // cb(l) becomes the sum over j of ca(j) cb(j + l): the mirrored line is
  // the first shifted by l blocks where it peaks.
  MA_1DCROSSCORR(coarse_n_, ca, coarse_n_, coarse_n_, cb, status);
  return status == io::status_good;
}

double LineMatcher::coarse_coefficient(int l) const {
  const int m = blocks_;
  const int first = std::max(0, -l), end = std::min(m, m - l), count = end - first;
  // The sums of a part, x in the first line's index.
  auto part = [](const LineSums* s, int from, int to, int shift) {
    return LineSums{s[to].y - s[from].y, s[to].xy - s[from].xy - shift * (s[to].y - s[from].y),
                    s[to].yy - s[from].yy};
  };
  const LineSums pa = part(pa_.data(), first, end, 0);
  const LineSums pb = part(pb_.data(), first + l, end + l, l);
  const double centre = first + (count - 1) * 0.5;
  const double xx = count * (static_cast<double>(count) * count - 1.0) / 12.0;
  const double xya = pa.xy - centre * pa.y, xyb = pb.xy - centre * pb.y;
  double cross = fb_[static_cast<std::size_t>((l + coarse_n_) % coarse_n_)] - pa.y * pb.y / count;
  if (xx > 0.0) cross -= xya * xyb / xx;
  const double ea = std::max(detrended_energy(pa, first, count), energy_floor * whole_a_);
  const double eb = std::max(detrended_energy(pb, first, count), energy_floor * whole_b_);
  return cross / std::sqrt(ea * eb);
}

double LineMatcher::coarse_lag(double& rho) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Lags that leave less than a quarter of the line in common are not
  // looked at.
  const int reach = blocks_ - std::max(2, (blocks_ + 3) / 4);
  if (reach < 0 || !coarse_correlation()) return nan;
  int best = 0;
  double highest = -2.0;
  for (int l = -reach; l <= reach; ++l) {
    const double r = coarse_coefficient(l);
    if (r > highest) {
      highest = r;
      best = l;
    }
  }
  if (!(highest > -2.0)) return nan;
  rho = highest;
  float position = static_cast<float>(best);
  if (best > -reach && best < reach) {
    int status = io::status_good;
    KOV_FIT_PARABOLA(best, static_cast<float>(coarse_coefficient(best - 1)),
                     static_cast<float>(highest), static_cast<float>(coarse_coefficient(best + 1)),
                     position, status);
  }
  return static_cast<double>(position) * block_;
}

int LineMatcher::fine_misfits(int d0, double* misfit, double* rho) {
  constexpr int w = fine_window;
  int lo = std::max(0, -d0) + w;
  const int hi = std::min(m_, m_ - d0) - w;
  int count = hi - lo;
  if (count < min_template) return 0;
  int size = power_of_two_at_least(count + 2 * w);
  // A template a few samples shorter may halve the transforms.
  const int shorter = size / 2 - 2 * w;
  if (shorter >= min_template && 10 * shorter >= 9 * count) {
    lo += (count - shorter) / 2;
    count = shorter;
    size /= 2;
  }
  float* t = fa_.data();
  float* e = fb_.data();
  // The template: the 180-degree line's part, less its straight line.
  std::copy(b_.begin() + lo + d0, b_.begin() + lo + d0 + count, t);
  const double template_energy = remove_straight_line(t, count);
  if (!(template_energy > 0.0)) return 0;
  // The first line around it, less its own straight line (which changes
  // nothing below but keeps the numbers small).
  const int span = count + 2 * w;
  std::copy(a_.begin() + lo - w, a_.begin() + lo - w + span, e);
  remove_straight_line(e, span);
  // The energy of each part of it the template can lie on, straight line
  // removed.
  double energy[2 * w + 1];
  LineSums s = moments(e, count, 0.0);
  for (int shift = 0; shift <= 2 * w; ++shift) {
    energy[shift] = detrended_energy(s, shift, count);
    if (shift == 2 * w) break;
    const double out = e[shift], in = e[shift + count];
    s.y += in - out;
    s.xy += (shift + count) * in - shift * out;
    s.yy += in * in - out * out;
  }
  std::fill(t + count, t + size, 0.0f);
  std::fill(e + span, e + size, 0.0f);
  int status = io::status_good;
  // e(shift) becomes the sum over j of t(j) e(j + shift).
  MA_1DCROSSCORR(size, t, size, size, e, status);
  if (status != io::status_good) return 0;
  for (int shift = 0; shift <= 2 * w; ++shift) {
    misfit[shift] = (template_energy + energy[shift] - 2.0 * e[shift]) / template_energy;
    rho[shift] = energy[shift] > 0.0 ? e[shift] / std::sqrt(template_energy * energy[shift]) : 0.0;
  }
  return count;
}

LineMatch LineMatcher::fine_lag(double lag) {
  constexpr int w = fine_window;
  const int reach = m_ - std::max(1, (m_ + 3) / 4);
  int d0 = static_cast<int>(std::lround(lag));
  for (int round = 0; round < fine_rounds; ++round) {
    // The template at `shift` lies on the first line's samples from
    // lo - w + shift: the lag is d0 + w - shift.
    double misfit[2 * w + 1], rho[2 * w + 1];
    if (fine_misfits(d0, misfit, rho) == 0) return {};
    const int best = static_cast<int>(std::min_element(misfit, misfit + 2 * w + 1) - misfit);
    if ((best == 0 || best == 2 * w) && round + 1 < fine_rounds) {
      d0 += w - best;
      continue;
    }
    float position = static_cast<float>(best);
    if (best > 0 && best < 2 * w) {
      int status = io::status_good;
      KOV_FIT_PARABOLA(best, static_cast<float>(-misfit[best - 1]),
                       static_cast<float>(-misfit[best]), static_cast<float>(-misfit[best + 1]),
                       position, status);
    }
    LineMatch found;
    found.lag = d0 + w - static_cast<double>(position);
    if (std::fabs(found.lag) > reach) return {};
    found.rho = rho[best];
    return found;
  }
  return {};
}

LineMatch LineMatcher::match(const float* first, const float* mirrored) {
  if (!ready_) return {};
  prepare(first, mirrored);
  double rho = 0.0;
  const double coarse = coarse_lag(rho);
  if (!std::isfinite(coarse)) return {};
  LineMatch m;
  // Lines too short for a template keep the coarse lag.
  if (m_ - std::fabs(coarse) - 2 * fine_window < min_template + 1) {
    m.lag = coarse;
    m.rho = rho;
  } else {
    m = fine_lag(coarse);
  }
  m.lag *= pair_;
  return m;
}

}  // namespace kov

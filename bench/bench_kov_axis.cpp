// The whole rotation-axis computation over a 2048 by 2048 pair (all 2048
// lines), beside the earlier algorithm built on FFTW in single precision,
// the reference the computation is held to.
//
// The pair is made once: a smooth object with sharp inclusions and noise,
// the second image the mirror of the first about an axis 7.3 pixels right of
// the centre (1031.3). Each iteration computes the positions of every line:
//  - BM_kov_axis_positions: kov::axis_positions, the set-up's own routine
//    (for each line the attenuations, the smoothing, the pairs of pixels,
//    the coarse lag by blocks over every lag, the fine lag by the template,
//    the parabola; then the statistics, the weighing of the lines, the
//    lines set aside and the straight line through the kept ones);
//  - BM_fftwf_axis_positions/patient:F: the earlier algorithm (line means,
//    the mirrored line, the buffers padded with the blend of the line's end
//    levels, one correlation of 2N, the peak, KOV_FIT_PARABOLA, the sums, the
//    mean, the spread and the straight-line fit) with the correlation on FFTW
//    (r2c of both buffers, conj(A) B / n, c2r; plans made once with
//    FFTW_MEASURE (F = 0) or FFTW_PATIENT (F = 1)).
// The `axis` counter is the position found: the weighted one of the set-up,
// the mean of the earlier algorithm.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "fftw_correlation.h"
#include "kov_axis.h"
#include "ma.h"

namespace {

constexpr int width = 2048;  // N
constexpr int n = 4096;      // the smallest power of two above 2N - 1
constexpr double true_axis = width / 2 + 7.3;

struct Images {
  std::vector<float> first, last;
  Images() : first(static_cast<std::size_t>(width) * width), last(first.size()) {
    std::mt19937 gen(42);
    std::normal_distribution<float> noise(0.0f, 0.01f);
    auto object = [&](double x, double y) {
      const double r = std::hypot(x - true_axis - 120.0, y - width / 2.0);
      return 1.0 - 0.6 * std::exp(-r * r / (2.0 * 220.0 * 220.0)) -
             (std::abs(x - true_axis + 300.0) < 40.0 ? 0.2 : 0.0) -
             (std::abs(x - true_axis - 500.0) < 12.0 ? 0.3 : 0.0);
    };
    for (int y = 0; y < width; ++y) {
      for (int x = 0; x < width; ++x) {
        const double c = x + 0.5;
        const std::size_t i = static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x);
        first[i] = static_cast<float>(object(c, y) + noise(gen));
        last[i] = static_cast<float>(object(2.0 * true_axis - c, y) + noise(gen));
      }
    }
  }
  io::View2D<const float> a() const { return {first.data(), width, width}; }
  io::View2D<const float> b() const { return {last.data(), width, width}; }
};

const Images& images() {
  static const Images im;
  return im;
}

void BM_kov_axis_positions(benchmark::State& state) {
  const Images& im = images();
  kov::AxisResult result;
  for (auto _ : state) {
    int status = ST_GOOD();
    kov::axis_positions(true, width, width, im.a(), im.b(), 1, width, result, status);
    benchmark::DoNotOptimize(result.position.data());
    benchmark::ClobberMemory();
  }
  state.counters["axis"] = result.weighted;
  state.counters["lines"] = result.lines_used;
}
BENCHMARK(BM_kov_axis_positions)->Unit(benchmark::kMillisecond);

// One line less its mean (MA_AVERAGE), mirrored when asked, then the blend
// of the end levels over the rest of the buffer: as the earlier algorithm
// filled it.
void fill(io::View2D<const float> image, int line, bool mirrored, float* buffer) {
  int status = ST_GOOD();
  float mean = 0.0f;
  MA_AVERAGE(image, 1, line, width, line, mean, status);
  const float* row = image.row(line);
  for (int j = 0; j < width; ++j) buffer[j] = (mirrored ? row[width - 1 - j] : row[j]) - mean;
  double first = 0.0, last = 0.0;
  for (int j = 0; j < 8; ++j) {
    first += buffer[j];
    last += buffer[width - 1 - j];
  }
  first /= 8;
  last /= 8;
  const int pad = n - width;
  for (int j = 0; j < pad; ++j) {
    buffer[width + j] = static_cast<float>(last + (first - last) * (j + 0.5) / pad);
  }
}

void BM_fftwf_axis_positions(benchmark::State& state) {
  const Images& im = images();
  FftwCorrelation fftw(n, state.range(0) != 0);
  float* a = fftw.a();
  float* b = fftw.b();
  std::vector<double> position(width);
  double mean = 0.0;
  for (auto _ : state) {
    double sum = 0.0, sum_squares = 0.0;
    int used = 0;
    for (int line = 1; line <= width; ++line) {
      fill(im.a(), line, false, a);
      fill(im.b(), line, true, b);
      fftw.correlate();
      int peak = 0;
      float highest = -1.7e38f;
      for (int i = 1; i <= n; ++i) {
        if (std::isfinite(b[i - 1]) && b[i - 1] > highest) {
          highest = b[i - 1];
          peak = i;
        }
      }
      const float left = b[peak == 1 ? n - 1 : peak - 2], right = b[peak == n ? 0 : peak];
      const int lag = peak - 1 <= n / 2 ? peak - 1 : peak - 1 - n;
      float p = 0.0f;
      int status = ST_GOOD();
      KOV_FIT_PARABOLA(lag, left, highest, right, p, status);
      const double pos = width * 0.5 - p * 0.5;
      position[static_cast<std::size_t>(line - 1)] = pos;
      sum += pos;
      sum_squares += pos * pos;
      ++used;
    }
    mean = sum / used;
    double sxx = 0.0, sxy = 0.0;
    const double line_mean = (width + 1) * 0.5;
    for (int line = 1; line <= width; ++line) {
      sxx += (line - line_mean) * (line - line_mean);
      sxy += (line - line_mean) * (position[static_cast<std::size_t>(line - 1)] - mean);
    }
    const double slope = sxy / sxx;
    const double deviation =
        std::sqrt(std::max(0.0, (sum_squares - used * mean * mean) / (used - 1)));
    benchmark::DoNotOptimize(&slope);
    benchmark::DoNotOptimize(&deviation);
    benchmark::ClobberMemory();
  }
  state.counters["axis"] = mean;
}
BENCHMARK(BM_fftwf_axis_positions)
    ->ArgName("patient")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

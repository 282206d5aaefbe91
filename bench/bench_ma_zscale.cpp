// The robust display range of a 2048 by 2048 projection (MA_DIFZSCALE),
// beside a plain minimum and maximum scan of the same region, and the
// minimum and maximum of the display routines (MA_REBINMINMAX, one bin).
//
// The image is made once: a smooth object on a background, 16-bit counts with
// noise, 0.1 % hot pixels at 65535 and a dead column at 0.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "bench_main.h"
#include "ma.h"

namespace {

constexpr int size = 2048;

const std::vector<float>& image() {
  static const std::vector<float> im = [] {
    std::vector<float> a(size * size);
    std::mt19937 gen(3);
    std::normal_distribution<float> noise(0.0f, 30.0f);
    std::uniform_int_distribution<int> hot(0, 999);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const double r = std::hypot(x - 1100.0, y - 1000.0);
        float v = static_cast<float>(20000.0 - 12000.0 * std::exp(-r * r / (2.0 * 400.0 * 400.0)));
        v = std::round(v + noise(gen));
        if (hot(gen) == 0) v = 65535.0f;
        if (x == 700) v = 0.0f;
        a[x + y * size] = v;
      }
    return a;
  }();
  return im;
}

io::View2D<const float> view() {
  return io::View2D<const float>(image().data(), size, size);
}

// Times one way of finding the range of the image, and shows the range it
// found beside the time.
template <class Find>
void time_range(benchmark::State& state, Find find) {
  float lo = 0, hi = 0;
  for (auto _ : state) {
    find(lo, hi);
    benchmark::DoNotOptimize(lo);
    benchmark::DoNotOptimize(hi);
  }
  state.counters["low"] = lo;
  state.counters["high"] = hi;
}

void BM_MA_DIFZSCALE(benchmark::State& state) {
  time_range(state, [](float& lo, float& hi) {
    int status = ST_GOOD();
    MA_DIFZSCALE(view(), 1, 1, size, size, lo, hi, status);
  });
}
BENCHMARK(BM_MA_DIFZSCALE)->Unit(benchmark::kMillisecond);

// The plain scan: every element compared with the running minimum and
// maximum, row by row.
void BM_plain_minmax(benchmark::State& state) {
  time_range(state, [](float& lo, float& hi) {
    const io::View2D<const float> v = view();
    lo = hi = v(1, 1);
    for (int y = 1; y <= size; ++y) {
      const float* row = v.row(y);
      for (int x = 0; x < size; ++x) {
        if (row[x] < lo) lo = row[x];
        if (row[x] > hi) hi = row[x];
      }
    }
  });
}
BENCHMARK(BM_plain_minmax)->Unit(benchmark::kMillisecond);

void BM_MA_REBINMINMAX_one_bin(benchmark::State& state) {
  time_range(state, [](float& lo, float& hi) {
    int status = ST_GOOD(), xnum = 0, ynum = 0;
    MA_REBINMINMAX(view(), 1, 1, size, size, size, size, io::View2D<float>(&lo, 1, 1),
                   io::View2D<float>(&hi, 1, 1), xnum, ynum, status);
  });
}
BENCHMARK(BM_MA_REBINMINMAX_one_bin)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return run_benchmarks(argc, argv, [] { image(); });  // the data before the first timing
}

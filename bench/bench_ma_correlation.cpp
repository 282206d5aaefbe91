// The rotation-axis correlation of one image line, beside the same steps on
// FFTW in single precision.
//
// A pair of 2048 by 2048 images (the first projection and the 180-degree one,
// a smooth object with noise, the second the mirror of the first about an
// axis 7.3 pixels off the centre) is made once. Each iteration takes one line
// of each (the line number advances, so the lines come from the cache as
// they do in the set-up, not from registers): the mean of each line
// (MA_AVERAGE), the two buffers of n = 4096 set to 0, the first line less its
// mean, the mirrored 180-degree line less its mean, then the correlation:
// MA_1DCROSSCORR here; two forward transforms, the product conj(A) B / n and
// the inverse on FFTW (plans made once with FFTW_MEASURE, outside the loop).
// The transforms alone are timed too.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "bench_main.h"
#include "fftw_correlation.h"
#include "ma.h"
#include "ma_testing.h"

namespace {

constexpr int width = 2048;  // N
constexpr int n = 4096;      // the smallest power of two above 2N - 1

struct Images {
  std::vector<float> first, last;
  Images() : first(width * width), last(width * width) {
    std::mt19937 gen(42);
    std::normal_distribution<float> noise(0.0f, 20.0f);
    const double axis = width / 2 + 7.3;
    auto object = [&](double x, double y) {
      const double r = std::hypot(x - axis - 150.0, y - width / 2.0);
      return 3000.0 + 8000.0 * std::exp(-r * r / (2.0 * 300.0 * 300.0)) +
             (std::abs(x - axis + 400.0) < 60.0 ? 2500.0 : 0.0);
    };
    for (int y = 0; y < width; ++y)
      for (int x = 0; x < width; ++x) {
        const double c = x + 0.5;
        first[x + y * width] = static_cast<float>(object(c, y) + noise(gen));
        last[x + y * width] = static_cast<float>(object(2.0 * axis - c, y) + noise(gen));
      }
  }
};

const Images& images() {
  static const Images im;
  return im;
}

// The buffers of one line: the mean removed, the 180-degree line mirrored.
void fill_line(int line, float* a, float* b) {
  const Images& im = images();
  io::View2D<const float> first(im.first.data(), width, width), last(im.last.data(), width, width);
  int status = ST_GOOD();
  float mean_first = 0.0f, mean_last = 0.0f;
  MA_AVERAGE(first, 1, line, width, line, mean_first, status);
  MA_AVERAGE(last, 1, line, width, line, mean_last, status);
  std::fill(a, a + n, 0.0f);
  std::fill(b, b + n, 0.0f);
  const float* f = first.row(line);
  const float* l = last.row(line);
  for (int j = 0; j < width; ++j) {
    a[j] = f[j] - mean_first;
    b[j] = l[width - 1 - j] - mean_last;
  }
}

// The transform path of the benchmark's argument for its run (skipped when
// the processor cannot run it), the one before put back at the end.
class TransformPath {
 public:
  explicit TransformPath(benchmark::State& state) : saved_(ma::fft_path()) {
    available_ = ma::set_fft_path(static_cast<ma::FftPath>(state.range(0)));
    if (!available_) state.SkipWithError("path not available on this processor");
  }
  ~TransformPath() { ma::set_fft_path(saved_); }
  TransformPath(const TransformPath&) = delete;
  TransformPath& operator=(const TransformPath&) = delete;
  bool available() const { return available_; }

 private:
  ma::FftPath saved_;
  bool available_ = false;
};

int peak_of(const float* c) {
  return static_cast<int>(std::max_element(c, c + n) - c) + 1;
}

void BM_MA_1DCROSSCORR(benchmark::State& state) {
  const TransformPath path(state);
  if (!path.available()) return;
  std::vector<float> a(n), b(n);
  int line = 1;
  for (auto _ : state) {
    fill_line(line, a.data(), b.data());
    int status = ST_GOOD();
    MA_1DCROSSCORR(n, a.data(), n, n, b.data(), status);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
    line = line % width + 1;
  }
  state.counters["peak"] = peak_of(b.data());
}
BENCHMARK(BM_MA_1DCROSSCORR)->ArgName("path")->Arg(2)->Arg(1)->Arg(0);

void BM_fftwf_correlation(benchmark::State& state) {
  FftwCorrelation fftw(n, state.range(0) != 0);
  int line = 1;
  for (auto _ : state) {
    fill_line(line, fftw.a(), fftw.b());
    fftw.correlate();
    benchmark::DoNotOptimize(fftw.b());
    benchmark::ClobberMemory();
    line = line % width + 1;
  }
  state.counters["peak"] = peak_of(fftw.b());
}
BENCHMARK(BM_fftwf_correlation)->ArgName("patient")->Arg(0)->Arg(1);

// The steps around the transforms alone (means, zeroing, mirroring).
void BM_line_preparation(benchmark::State& state) {
  std::vector<float> a(n), b(n);
  int line = 1;
  for (auto _ : state) {
    fill_line(line, a.data(), b.data());
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
    line = line % width + 1;
  }
}
BENCHMARK(BM_line_preparation);

// One forward transform of n reals.
void BM_MA_FFA8(benchmark::State& state) {
  const TransformPath path(state);
  if (!path.available()) return;
  std::vector<float> a(n), b(n);
  fill_line(1, a.data(), b.data());
  for (auto _ : state) {
    b = a;
    int status = ST_GOOD();
    MA_FFA8(n, b.data(), status);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MA_FFA8)->ArgName("path")->Arg(2)->Arg(1)->Arg(0);

void BM_fftwf_r2c(benchmark::State& state) {
  float* a = fftwf_alloc_real(n);
  float* b = fftwf_alloc_real(n);
  fftwf_complex* fb = fftwf_alloc_complex(n / 2 + 1);
  fftwf_plan p = fftwf_plan_dft_r2c_1d(n, b, fb, FFTW_MEASURE);
  std::vector<float> junk(n);
  fill_line(1, a, junk.data());
  for (auto _ : state) {
    std::copy(a, a + n, b);
    fftwf_execute(p);
    benchmark::DoNotOptimize(fb);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(p);
  fftwf_free(a);
  fftwf_free(b);
  fftwf_free(fb);
}
BENCHMARK(BM_fftwf_r2c);

}  // namespace

int main(int argc, char** argv) {
  return run_benchmarks(argc, argv, [] { images(); });  // the data before the first timing
}

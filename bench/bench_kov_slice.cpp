// The sweep of the axis step: nine slices of 1024 by 1024 voxels from 900
// projections, the reading of the line from each file included, beside a
// plain scalar back-projection of one slice.
//
// The series is made once in a temporary folder: 900 projections over a
// half turn, 32-bit real TIFF files of 1024 by 4 pixels, the transmission of
// a disk with ellipses in it, the axis at 515.3. Benchmarks:
//  - BM_kov_sweep: KOV_READ_SINOGRAM (one row of each of the 900 files, the
//    logarithm) and kov::sweep_slices (the filter once, the nine slices on
//    the machine's cores); `peak_MB` is the process's peak resident memory,
//    `all_threads_cpu_s` the CPU time of every thread for one sweep;
//  - BM_kov_slice: KOV_SLICE of one slice from the sinogram in memory (one
//    core: the filter and the back-projection);
//  - BM_plain_slice: the back-projection of one slice as a plain loop over
//    voxels and angles (the angles' cosines and sines made once; floor,
//    bounds check and interpolation per ray) from
//    the same filtered-size sinogram, without the filter.
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "bench_main.h"
#include "kov_slice.h"
#include "kov_tiff.h"

namespace {

constexpr int width = 1024, projections = 900, n = 1024;
constexpr double axis = 515.3;
constexpr double pi = std::numbers::pi;

struct Series {
  std::string dir;
  kov::Parameters p;
  kov::Sinogram sinogram;
};
Series series;

// The attenuation along the ray at t pixels from the axis, angle theta:
// a disk of radius 400 and two ellipses.
double ray(double t, double theta) {
  struct E {
    double x0, y0, a, b, mu;
  };
  constexpr E es[] = {
      {0, 0, 400, 400, 0.004}, {-120, 60, 90, 160, 0.003}, {150, -90, 60, 60, -0.002}};
  double sum = 0.0;
  for (const E& e : es) {
    const double a2 = e.a * e.a * std::cos(theta) * std::cos(theta) +
                      e.b * e.b * std::sin(theta) * std::sin(theta);
    const double d = t - (e.x0 * std::cos(theta) + e.y0 * std::sin(theta));
    if (d * d < a2) sum += 2.0 * e.mu * e.a * e.b / a2 * std::sqrt(a2 - d * d);
  }
  return sum;
}

void make_series() {
  series.dir = (std::filesystem::temp_directory_path() / "bench_kov_slice").string();
  std::filesystem::create_directories(series.dir);
  std::vector<float> image(static_cast<std::size_t>(width) * 4);
  for (int k = 0; k < projections; ++k) {
    const double theta = pi * k / projections;
    for (int j = 0; j < width; ++j) {
      const float v = static_cast<float>(std::exp(-ray(j + 0.5 - axis, theta)));
      for (int r = 0; r < 4; ++r) image[static_cast<std::size_t>(r * width + j)] = v;
    }
    char name[32];
    std::snprintf(name, sizeof name, "/p_%03d.tif", k + 1);
    kov::write_real_tiff(series.dir + name, io::View2D<const float>(image.data(), width, 4), width,
                         4);
  }
  kov::Parameters& p = series.p;
  p.NUM_FIRST_IMAGE = 1;
  p.NUM_LAST_IMAGE = projections;
  p.FILE_PREFIX = series.dir + "/p_";
  p.LENGTH_OF_NUMERICAL_PART = 3;
  p.FILE_POSTFIX = ".tif";
  p.NUM_IMAGE_1 = width;
  p.NUM_IMAGE_2 = 4;
  p.ANGLE_BETWEEN_PROJECTIONS = static_cast<float>(pi / projections);
  int status = io::status_good;
  KOV_READ_SINOGRAM(p, 2, series.sinogram, status);
}

// CPU seconds of the whole process so far, every thread's.
double process_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

double peak_megabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_kov_sweep(benchmark::State& state) {
  std::vector<std::vector<float>> arrays(kov::sweep_count);
  std::vector<io::View2D<float>> slices;
  for (auto& a : arrays) {
    a.assign(static_cast<std::size_t>(n) * n, 0.0f);
    slices.emplace_back(a.data(), n, n);
  }
  const double cpu_before = process_seconds();
  for (auto _ : state) {
    int status = io::status_good;
    kov::Sinogram s;
    KOV_READ_SINOGRAM(series.p, 2, s, status);
    kov::sweep_slices(s, static_cast<float>(axis), 0.5f, 1, n, slices, status);
    if (status != io::status_good) state.SkipWithError("sweep failed");
  }
  state.counters["peak_MB"] = peak_megabytes();
  state.counters["all_threads_cpu_s"] =
      (process_seconds() - cpu_before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_kov_sweep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_kov_slice(benchmark::State& state) {
  std::vector<float> a(static_cast<std::size_t>(n) * n);
  for (auto _ : state) {
    int status = io::status_good;
    KOV_SLICE(series.sinogram, static_cast<float>(axis), 1, n, io::View2D<float>(a.data(), n, n),
              status);
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_kov_slice)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_plain_slice(benchmark::State& state) {
  const kov::Sinogram& s = series.sinogram;
  std::vector<float> a(static_cast<std::size_t>(n) * n);
  std::vector<double> cosines, sines;
  for (float angle : s.angles) {
    cosines.push_back(std::cos(angle));
    sines.push_back(std::sin(angle));
  }
  for (auto _ : state) {
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        const double x = i + 0.5 - axis, y = j + 0.5 - axis;
        double sum = 0.0;
        for (int r = 0; r < s.rows(); ++r) {
          const std::size_t rr = static_cast<std::size_t>(r);
          const double t = axis + x * cosines[rr] + y * sines[rr] - 0.5;
          const double k = std::floor(t);
          if (k < 0 || k + 1 >= width) continue;
          const float* row = s.values.data() + static_cast<std::size_t>(r) * width;
          const int m = static_cast<int>(k);
          sum += row[m] + (t - k) * (row[m + 1] - row[m]);
        }
        a[static_cast<std::size_t>(j) * n + static_cast<std::size_t>(i)] =
            static_cast<float>(sum * pi / s.rows());
      }
    }
    benchmark::DoNotOptimize(a.data());
  }
}
BENCHMARK(BM_plain_slice)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  return run_benchmarks(argc, argv, make_series);
}

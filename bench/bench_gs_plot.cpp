// GS_PLOT of a 2048 by 2048 projection into the portrait window (range,
// background, cells, frame with its numbers, title, labels and colour bar),
// side by side with the bare cell array of the same image over the same
// page rectangle: GS_2DCELLARRAY in the same scaling mode (its range and
// cells), and the device's cell array with the range given. Each is
// followed by an update that waits until the server has drawn everything.
// Needs an X server ($DISPLAY), e.g. Xvfb.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/support/projection_image.h"
#include "gs.h"

namespace {

constexpr int n = 2048;

struct Fixture {
  std::vector<float> image = kovtest::projection_image(n, n);
  std::vector<float> axis;
  bool open = false;
  Fixture() {
    for (int i = 1; i <= n; ++i) axis.push_back(static_cast<float>(i) - 0.5f);
    if (std::getenv("DISPLAY") == nullptr) return;
    static char name[] = "bench_gs_plot";
    static char* argv[] = {name, nullptr};
    IO_SET_ARGS(1, argv);
    int status = io::status_good;
    ST_DEF_SYSTEM(status);
    GS_OPEN_GRAPHICS(status);
    GS_COLOURS(status);
    GS_SET_IASPECT(true, status);
    open = status == io::status_good;
  }
  io::View2D<const float> view() const { return {image.data(), n, n}; }
  void plot(int& status) const {
    GS_PLOT(view(), axis, axis, 1, 1, n, n, "FIRST PROJECTION", "X (pixels)", "Y (pixels)",
            "Intensity", status);
    VG_UPDATE(gs::window_workstation, 0, status);
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

// The window's fixture with the image scale set, or none (the benchmark
// skipped) when there is no window.
Fixture* open_fixture(benchmark::State& state, int mode, float low, float high, int& status) {
  Fixture& f = fixture();
  if (!f.open) {
    state.SkipWithError("no window (is DISPLAY set?)");
    return nullptr;
  }
  GS_SET_IMAGESCALE(mode, low, high, status);
  return &f;
}

// The scaling modes measured (0 automatic, 1 the user's range, 4 from the
// distribution), in milliseconds of real time.
void in_modes(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(1)->Arg(4)->ArgNames({"mode"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Arg: the scaling mode.
void BM_GS_PLOT(benchmark::State& state) {
  int status = io::status_good;
  Fixture* f = open_fixture(state, static_cast<int>(state.range(0)), 300.0f, 4300.0f, status);
  if (f == nullptr) return;
  for (auto _ : state) f->plot(status);
  if (status != io::status_good) state.SkipWithError("GS_PLOT failed");
}
BENCHMARK(BM_GS_PLOT)->Apply(in_modes);

// The cells alone through the toolkit, in the same mode and where GS_PLOT
// draws them: the range of the region and the cells, without the page.
void BM_GS_2DCELLARRAY(benchmark::State& state) {
  int status = io::status_good;
  const int mode = static_cast<int>(state.range(0));
  Fixture* f = open_fixture(state, mode, 300.0f, 4300.0f, status);
  if (f == nullptr) return;
  f->plot(status);  // the transform
  for (auto _ : state) {
    float low = 300.0f, high = 4300.0f;
    GS_2DCELLARRAY(f->view(), 1, 1, n, n, mode, low, high, status);
    VG_UPDATE(gs::window_workstation, 0, status);
  }
  if (status != io::status_good) state.SkipWithError("GS_2DCELLARRAY failed");
}
BENCHMARK(BM_GS_2DCELLARRAY)->Apply(in_modes);

// The device's cells alone, where and as GS_PLOT in mode 0 draws them, with
// the range known.
void BM_BareCellArray(benchmark::State& state) {
  int status = io::status_good;
  Fixture* f = open_fixture(state, 0, 0.0f, 1.0f, status);
  if (f == nullptr) return;
  f->plot(status);  // the transform and the range of the image
  int mode = 0;
  float low = 0.0f, high = 1.0f;
  GS_INQ_IMAGESCALE(mode, low, high, status);
  for (auto _ : state) {
    VG_REALCELLARRAY(f->view(), 1, 1, n, n, 0.0f, 0.0f, static_cast<float>(n),
                     static_cast<float>(n), low, high, false, status);
    VG_UPDATE(gs::window_workstation, 0, status);
  }
  if (status != io::status_good) state.SkipWithError("the cell array failed");
}
BENCHMARK(BM_BareCellArray)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

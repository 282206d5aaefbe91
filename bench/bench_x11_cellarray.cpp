// A 2048 by 2048 real cell array drawn into the portrait window (the size of
// the application's image array), side by side with a plain XPutImage of the
// drawn rectangle's size and depth: the device's scaling, resampling and
// pixmap-to-window copy against the bare cost of moving the pixels.
// Needs an X server ($DISPLAY), e.g. Xvfb.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "vg.h"
#include "vg_x11.h"

namespace {

constexpr int n = 2048;
// The drawn rectangle: 0.05 to 0.65 of the page across and 0.2 to 0.8 up,
// 424 by 424 pixels of the 500 by 707 window.
constexpr float rect[4] = {0.05f, 0.2f, 0.65f, 0.8f};

std::vector<float>& data() {
  static std::vector<float> values = [] {
    std::vector<float> v(static_cast<std::size_t>(n) * n);
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x)
        v[static_cast<std::size_t>(y) * n + x] = static_cast<float>((x * 7 + y * 13) % 5000);
    }
    return v;
  }();
  return values;
}

std::unique_ptr<vg::Device> open_window() {
  auto device = vg::open_x11_device(vg::page_portrait, 40, 30, 500, 707);
  if (!device) return device;
  const float window[4] = {0, 0, 1, 1};
  const float viewport[4] = {0, 0, 0.7071f, 1};
  // World units are page units.
  const float page_window[4] = {0, 0, 0.7071f, 1};
  (void)window;
  device->set_transform(page_window, viewport);
  std::vector<vg::Rgb> table(vg::table_size);
  for (int i = 0; i < vg::table_size; ++i) {
    const float v = static_cast<float>(i) / 255.0f;
    table[static_cast<std::size_t>(i)] = {v, v * v, 1.0f - v};
  }
  device->colour_map(0, vg::table_size - 1, table);
  device->colour_range(41, 250, 49, 250);
  return device;
}

void BM_DeviceRealCellArray(benchmark::State& state) {
  if (std::getenv("DISPLAY") == nullptr) {
    state.SkipWithError("DISPLAY is not set");
    return;
  }
  auto device = open_window();
  if (!device) {
    state.SkipWithError("the window did not open");
    return;
  }
  const bool logarithmic = state.range(0) != 0;
  io::View2D<const float> view(data().data(), n, n);
  for (auto _ : state) {
    device->real_cell_array(view, {}, 1, 1, n, n, rect[0], rect[1], rect[2], rect[3],
                            logarithmic ? 1.0f : 0.0f, 5000.0f, logarithmic);
    device->update();  // waits until the server has drawn it
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DeviceRealCellArray)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"log"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same rectangle put with one XPutImage from a ready image, onto the
// same window, through a connection of its own.
void BM_PlainXPutImage(benchmark::State& state) {
  if (std::getenv("DISPLAY") == nullptr) {
    state.SkipWithError("DISPLAY is not set");
    return;
  }
  auto device = open_window();
  Display* display = XOpenDisplay(nullptr);
  if (!device || display == nullptr) {
    state.SkipWithError("the window did not open");
    return;
  }
  const int side = static_cast<int>(0.6f * 707.0f);  // 424 pixels
  const int screen = DefaultScreen(display);
  XImage* image = XCreateImage(
      display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
      ZPixmap, 0, nullptr, static_cast<unsigned>(side), static_cast<unsigned>(side), 32, 0);
  image->data =
      static_cast<char*>(std::calloc(static_cast<std::size_t>(image->bytes_per_line) * side, 1));
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x)
      XPutPixel(image, x, y, static_cast<unsigned long>(x * 977 + y * 131) & 0xffffffUL);
  }
  const Window window = vg::x11::window_id(*device);
  GC gc = XCreateGC(display, window, 0, nullptr);
  for (auto _ : state) {
    XPutImage(display, window, gc, image, 0, 0, 35, 141, static_cast<unsigned>(side),
              static_cast<unsigned>(side));
    XSync(display, False);
  }
  state.SetItemsProcessed(state.iterations());
  XFreeGC(display, gc);
  XDestroyImage(image);
  XCloseDisplay(display);
}
BENCHMARK(BM_PlainXPutImage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

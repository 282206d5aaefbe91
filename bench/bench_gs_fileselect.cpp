// The file selection tool opened on a directory of 10,000 and of 100,000
// numbered files ("sample_name_proj_NNNNN.tif") until its first screen is
// shown in the window, side by side in the same run with IO_LISTFILES alone
// on the same directories. Needs an X server ($DISPLAY), e.g. Xvfb.
//
// The directories are made once under /tmp and removed at the end.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gs.h"
#include "gs_tools.h"
#include "io.h"

namespace {

namespace fs = std::filesystem;

// A directory of n numbered files, made on first use.
const std::string& scan_directory(int n) {
  static std::array<std::string, 2> made;
  std::string& dir = made[n > 10000 ? 1 : 0];
  if (!dir.empty()) return dir;
  dir = (fs::temp_directory_path() / ("kov_bench_fileselect_" + std::to_string(n))).string();
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (int k = 1; k <= n; ++k) {
    char name[64];
    std::snprintf(name, sizeof name, "/sample_name_proj_%06d.tif", k);
    std::ofstream(dir + name);
  }
  return dir;
}

struct Cleanup {
  ~Cleanup() {
    for (int n : {10000, 100000}) {
      std::error_code e;
      fs::remove_all(fs::temp_directory_path() / ("kov_bench_fileselect_" + std::to_string(n)), e);
    }
  }
} cleanup;

bool graphics_open(benchmark::State& state) {
  static bool open = false;
  if (open) return true;
  if (std::getenv("DISPLAY") == nullptr) {
    state.SkipWithError("DISPLAY is not set");
    return false;
  }
  int status = io::status_good;
  ST_DEF_SYSTEM(status);
  GS_OPEN_GRAPHICS(status);
  open = status == io::status_good;
  if (!open) state.SkipWithError("graphics could not be opened");
  return open;
}

void BM_FileSelectionFirstScreen(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string dir = scan_directory(n);
  if (!graphics_open(state)) return;
  const std::array<std::string, 1> prompt{"SELECT FIRST DATA IMAGE FILE"};
  for (auto _ : state) {
    int status = io::status_good;
    gs::SelectionView view;
    gs::selection_first_screen(1, 1, prompt, dir + "/sample_name_proj_000001.tif", view, status);
    // Wait until the window shows it: a look for input that does not wait
    // returns once the server has drawn everything.
    int type = 0, workstation = 0;
    float x = 0, y = 0;
    std::string text;
    VG_INP_EVENT(gs::window_workstation, 10, false, "", false, "", 0, 0, 0, 0, type, workstation, x,
                 y, text, status);
    if (status != io::status_good || static_cast<int>(view.files.size()) != n) {
      state.SkipWithError("the tool did not list the directory");
      return;
    }
  }
}
BENCHMARK(BM_FileSelectionFirstScreen)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The drawing of the first screen alone, on a view listed beforehand.
void BM_FileSelectionDrawOnly(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string dir = scan_directory(n);
  if (!graphics_open(state)) return;
  const std::array<std::string, 1> prompt{"SELECT FIRST DATA IMAGE FILE"};
  int status = io::status_good;
  gs::SelectionView view;
  gs::selection_first_screen(1, 1, prompt, dir + "/sample_name_proj_000001.tif", view, status);
  for (auto _ : state) {
    GS_DRAW_SELECTION(1, 1, prompt, view, status);
    int type = 0, workstation = 0;
    float x = 0, y = 0;
    std::string text;
    VG_INP_EVENT(gs::window_workstation, 10, false, "", false, "", 0, 0, 0, 0, type, workstation, x,
                 y, text, status);
  }
  if (status != io::status_good) state.SkipWithError("the tool could not be drawn");
}
BENCHMARK(BM_FileSelectionDrawOnly)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListFilesAlone(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string dir = scan_directory(n);
  for (auto _ : state) {
    int status = io::status_good, retstat = 0;
    std::vector<std::string> names;
    IO_LISTFILES(dir, "*", io::file_type_any, retstat, names, status);
    benchmark::DoNotOptimize(names.data());
    if (static_cast<int>(names.size()) != n) {
      state.SkipWithError("IO_LISTFILES did not list the directory");
      return;
    }
  }
}
BENCHMARK(BM_ListFilesAlone)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

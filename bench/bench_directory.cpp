// Listing a directory of 10,000 files for the file selection tool, beside the
// shell's "ls -f | sort" on the same directory.
//
// A directory of 10,000 empty files (8,000 "scan_NNNNN.tif", 1,000
// "scan_NNNNN.tiff", 1,000 "notes_NNNN.txt", made in a shuffled order) is made
// once under /tmp and removed at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "io.h"

namespace {

constexpr int num_files = 10000;
constexpr int num_tif = 8000;
std::string bench_dir;

bool make_directory() {
  std::string pattern = "/tmp/kov_bench_directory-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return false;
  bench_dir = pattern;
  std::vector<std::string> names;
  char name[64];
  for (int i = 0; i < num_files; ++i) {
    if (i < num_tif) {
      std::snprintf(name, sizeof name, "scan_%05d.tif", i);
    } else if (i < num_tif + 1000) {
      std::snprintf(name, sizeof name, "scan_%05d.tiff", i);
    } else {
      std::snprintf(name, sizeof name, "notes_%04d.txt", i - num_tif - 1000);
    }
    names.emplace_back(name);
  }
  std::shuffle(names.begin(), names.end(), std::mt19937(12345));
  for (const std::string& n : names) {
    const int fd = open((bench_dir + "/" + n).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) return false;
    close(fd);
  }
  return true;
}

// A caller's name list big enough for the whole directory.
struct List {
  int max_names = num_files;
  std::vector<int> positions = std::vector<int>(num_files + 1);
  std::string names = std::string(1 << 18, ' ');
  int count = 0;
  int retstat = 0;
};

void BM_IO_LISTFILES(benchmark::State& state) {
  List l;
  int status = ST_GOOD();
  for (auto _ : state) {
    IO_LISTFILES(bench_dir, "*.tif", io::file_type_any, l.max_names, l.retstat, l.count,
                 l.positions, l.names, status);
    benchmark::DoNotOptimize(l.names.data());
  }
  if (status != ST_GOOD() || l.retstat != 0 || l.count != num_tif) {
    state.SkipWithError("IO_LISTFILES gave a wrong list");
  }
  state.counters["names_kept"] = l.count;
  state.SetItemsProcessed(state.iterations() * num_files);
}
BENCHMARK(BM_IO_LISTFILES)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ls_f_sort(benchmark::State& state) {
  const std::string command = "LC_ALL=C ls -f '" + bench_dir + "' | LC_ALL=C sort";
  std::vector<char> buffer(1 << 16);
  std::size_t lines = 0;
  for (auto _ : state) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
      state.SkipWithError("popen failed");
      break;
    }
    lines = 0;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
      lines += static_cast<std::size_t>(std::count(buffer.begin(), buffer.begin() + n, '\n'));
    }
    pclose(pipe);
  }
  // All the entries, "." and ".." with them.
  if (lines != num_files + 2) state.SkipWithError("ls -f | sort gave a wrong count");
  state.counters["lines"] = static_cast<double>(lines);
  state.SetItemsProcessed(state.iterations() * num_files);
}
BENCHMARK(BM_ls_f_sort)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of IO_LISTFILES on their own.
void BM_IO_DIRECTORY(benchmark::State& state) {
  List l;
  int status = ST_GOOD();
  for (auto _ : state) {
    IO_DIRECTORY(false, l.max_names, l.retstat, l.count, l.positions, bench_dir, l.names, status);
    benchmark::DoNotOptimize(l.names.data());
  }
  if (status != ST_GOOD() || l.count != num_files) state.SkipWithError("wrong listing");
  state.SetItemsProcessed(state.iterations() * num_files);
}
BENCHMARK(BM_IO_DIRECTORY)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IO_FILESORDER(benchmark::State& state) {
  List listed;
  int status = ST_GOOD();
  IO_DIRECTORY(false, listed.max_names, listed.retstat, listed.count, listed.positions, bench_dir,
               listed.names, status);
  List l;
  for (auto _ : state) {
    state.PauseTiming();
    l = listed;  // the unsorted order of the directory
    state.ResumeTiming();
    IO_FILESORDER(l.count, l.positions, l.names, status);
    benchmark::DoNotOptimize(l.names.data());
  }
  if (status != ST_GOOD()) state.SkipWithError("IO_FILESORDER failed");
  state.SetItemsProcessed(state.iterations() * num_files);
}
BENCHMARK(BM_IO_FILESORDER)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  int status = ST_GOOD();
  const bool made = make_directory();
  if (made) {
    benchmark::RunSpecifiedBenchmarks();
  } else {
    IO_WRITE("ERROR: Cannot make the directory of 10000 files under /tmp", status);
  }
  benchmark::Shutdown();
  std::error_code ec;
  if (!bench_dir.empty()) std::filesystem::remove_all(bench_dir, ec);
  return made ? 0 : 1;
}

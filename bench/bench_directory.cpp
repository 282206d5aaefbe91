// Listing a directory for the file selection tool, beside the shell's
// "ls -f | sort" on the same directory.
//
// Two directories are made once under /tmp and removed at the end:
//  - 10,000 empty files (8,000 "scan_NNNNN.tif", 1,000 "scan_NNNNN.tiff",
//    1,000 "notes_NNNN.txt", made in a shuffled order), listed through the
//    packed name area and through the vector form;
//  - 100,000 empty files in the same proportions and 10,000 sub-directories,
//    the most the file selection tool must hold, listed through the vector
//    form only (no packed area the tool would use holds them).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "io.h"

namespace {

// The directories listed: their files, the .tif among them, and their
// subdirectories.
struct Tree {
  int files, tif, directories;
};
constexpr Tree usual{10000, 8000, 0}, large{100000, 80000, 10000};
std::string bench_dir;
std::string large_dir;

// A directory under /tmp of `files` empty files, four fifths "*.tif", one
// tenth "*.tiff" and one tenth "*.txt", and `directories` sub-directories,
// made in a shuffled order.
bool make_directory(std::string& made, int files, int directories) {
  std::string pattern = "/tmp/kov_bench_directory-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return false;
  made = pattern;
  const int tif = files / 10 * 8;
  std::vector<std::string> names;
  char name[64];
  for (int i = 0; i < files; ++i) {
    if (i < tif) {
      std::snprintf(name, sizeof name, "scan_%05d.tif", i);
    } else if (i < tif + files / 10) {
      std::snprintf(name, sizeof name, "scan_%05d.tiff", i);
    } else {
      std::snprintf(name, sizeof name, "notes_%04d.txt", i - tif - files / 10);
    }
    names.emplace_back(name);
  }
  for (int i = 0; i < directories; ++i) {
    std::snprintf(name, sizeof name, "dir_%05d/", i);
    names.emplace_back(name);
  }
  std::shuffle(names.begin(), names.end(), std::mt19937(12345));
  for (const std::string& n : names) {
    const std::string path = made + "/" + n;
    if (n.back() == '/') {
      if (mkdir(path.c_str(), 0755) != 0) return false;
      continue;
    }
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) return false;
    close(fd);
  }
  return true;
}

// A caller's name list big enough for the whole directory.
struct List {
  int max_names = usual.files;
  std::vector<int> positions = std::vector<int>(usual.files + 1);
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
  if (status != ST_GOOD() || l.retstat != 0 || l.count != usual.tif) {
    state.SkipWithError("IO_LISTFILES gave a wrong list");
  }
  state.counters["names_kept"] = l.count;
  state.SetItemsProcessed(state.iterations() * usual.files);
}
BENCHMARK(BM_IO_LISTFILES)->Unit(benchmark::kMillisecond)->UseRealTime();

// `ls -f | sort` of `dir`, which holds `entries` entries besides "." and "..".
void ls_f_sort(benchmark::State& state, const std::string& dir, std::size_t entries) {
  const std::string command = "LC_ALL=C ls -f '" + dir + "' | LC_ALL=C sort";
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
  if (lines != entries + 2) state.SkipWithError("ls -f | sort gave a wrong count");
  state.counters["lines"] = static_cast<double>(lines);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(entries));
}

void BM_ls_f_sort(benchmark::State& state) {
  ls_f_sort(state, bench_dir, usual.files);
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
  if (status != ST_GOOD() || l.count != usual.files) state.SkipWithError("wrong listing");
  state.SetItemsProcessed(state.iterations() * usual.files);
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
  state.SetItemsProcessed(state.iterations() * usual.files);
}
BENCHMARK(BM_IO_FILESORDER)->Unit(benchmark::kMillisecond)->UseRealTime();

// A listing through the vector form, `list(names, retstat, status)`, that
// must give `expected` names; `entries` entries are read each time.
template <typename List>
void vector_listing(benchmark::State& state, std::size_t expected, std::int64_t entries,
                    List list) {
  std::vector<std::string> names;
  int status = ST_GOOD();
  int retstat = 0;
  for (auto _ : state) {
    list(names, retstat, status);
    benchmark::DoNotOptimize(names.data());
  }
  if (status != ST_GOOD() || retstat != 0 || names.size() != expected) {
    state.SkipWithError("the vector form gave a wrong list");
  }
  state.SetItemsProcessed(state.iterations() * entries);
}

// The vector form of the listing above.
void BM_IO_LISTFILES_vector(benchmark::State& state) {
  vector_listing(state, usual.tif, usual.files, [](auto& names, int& retstat, int& status) {
    IO_LISTFILES(bench_dir, "*.tif", io::file_type_any, retstat, names, status);
  });
}
BENCHMARK(BM_IO_LISTFILES_vector)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 files and 10,000 sub-directories: the files matching "*.tif",
// sorted; all the files; the sub-directories, sorted as the tool shows them.
void BM_IO_LISTFILES_vector_100k(benchmark::State& state) {
  vector_listing(state, large.tif, large.files + large.directories,
                 [](auto& names, int& retstat, int& status) {
                   IO_LISTFILES(large_dir, "*.tif", io::file_type_any, retstat, names, status);
                 });
}
BENCHMARK(BM_IO_LISTFILES_vector_100k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IO_LISTFILES_vector_100k_all(benchmark::State& state) {
  vector_listing(state, large.files, large.files + large.directories,
                 [](auto& names, int& retstat, int& status) {
                   IO_LISTFILES(large_dir, "*", io::file_type_any, retstat, names, status);
                 });
}
BENCHMARK(BM_IO_LISTFILES_vector_100k_all)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IO_DIRECTORY_vector_10k_directories(benchmark::State& state) {
  vector_listing(state, large.directories, large.files + large.directories,
                 [](auto& names, int& retstat, int& status) {
                   IO_DIRECTORY(true, retstat, large_dir, names, status);
                   IO_FILESORDER(names, status);
                 });
}
BENCHMARK(BM_IO_DIRECTORY_vector_10k_directories)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ls_f_sort_100k(benchmark::State& state) {
  ls_f_sort(state, large_dir, large.files + large.directories);
}
BENCHMARK(BM_ls_f_sort_100k)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  int status = ST_GOOD();
  const bool made = make_directory(bench_dir, usual.files, 0) &&
                    make_directory(large_dir, large.files, large.directories);
  if (made) {
    benchmark::RunSpecifiedBenchmarks();
  } else {
    IO_WRITE("ERROR: Cannot make the directories of the benchmark under /tmp", status);
  }
  benchmark::Shutdown();
  std::error_code ec;
  for (const std::string& dir : {bench_dir, large_dir}) {
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }
  return made ? 0 : 1;
}

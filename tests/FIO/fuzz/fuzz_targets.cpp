#include "fuzz_targets.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "fio.h"
#include "io_testing.h"

namespace fuzztest {

namespace {

// Declared array sizes: odd, and smaller than many images of the corpora.
constexpr int xmax = 33, ymax = 17;

void quiet(const std::string&, bool, void*) {}

// A file of the fuzzer's process for the bytes (in memory when it can be).
std::string scratch(const char* suffix) {
  const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(dir) + "/kov_fuzz_" + std::to_string(getpid()) + suffix;
}

void write(const std::string& path, const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

// The arrays of one reading, each exactly its declared size.
struct Arrays {
  std::vector<float> data = std::vector<float>(xmax * ymax);
  std::vector<float> var = std::vector<float>(xmax * ymax);
  std::vector<float> xa = std::vector<float>(xmax), ya = std::vector<float>(ymax);
  io::View2D<float> view() { return io::View2D<float>(data.data(), xmax, ymax); }
  io::View2D<float> var_view() { return io::View2D<float>(var.data(), xmax, ymax); }
  int retstat = 0, xn = 0, yn = 0;
  std::string title, xl, yl, zl;
  float px = 0.0f, py = 0.0f, overload = 0.0f;
};

int start() {
  io::set_console_sink(quiet, nullptr);
  int status = io::status_good;
  ST_DEF_SYSTEM(status);
  return status;
}

void finish() {
  int result = 0;
  FIO_FILECLOSEC(fio::input_file, result);
}

}  // namespace

void tiff(const std::uint8_t* data, std::size_t size) {
  int status = start();
  std::string name = scratch(".tif");
  write(name, data, size);
  Arrays a;
  // The two variants, then a region with re-binning from the last bytes.
  const bool iq = size > 0 && (data[size - 1] & 1) != 0;
  FIO_IN_IQ(false, false, iq, iq, true, name, a.retstat, a.xn, a.yn, a.xa, a.ya, a.view(),
            a.var_view(), a.title, a.xl, a.yl, a.zl, status);
  finish();
  status = io::status_good;
  int result = 0, id = 0;
  FIO_FILEOPEN(name, "READ", result, id, status);
  if (result == fio::stream_done && size >= 4) {
    bool high = false;
    const int x1 = data[size - 2] % 40, y1 = data[size - 3] % 40, bin = 1 + data[size - 4] % 3;
    FIO_IN_IQRIMAGE(id, high, !iq, iq, x1, y1, x1 + 50, y1 + 30, bin, 4 - bin, a.view(), a.xn, a.yn,
                    result, status);
  }
  finish();
  std::remove(name.c_str());
}

void merin(const std::uint8_t* data, std::size_t size) {
  int status = start();
  std::string name = scratch(".zdf");
  write(name, data, size);
  int result = 0;
  FIO_IS_MERIN(name, result, status);
  Arrays a;
  FIO_IN_MERIN(false, false, true, name, a.retstat, a.xn, a.yn, a.xa, a.ya, a.view(), a.var_view(),
               a.title, a.xl, a.yl, a.zl, a.px, a.py, a.overload, status);
  finish();
  std::remove(name.c_str());
}

namespace {

// After a length byte, that many bytes for the first file, the rest for the
// second.
void write_two(const std::string& first, const std::string& second, const std::uint8_t* data,
               std::size_t size) {
  const std::size_t info = size > 0 ? std::min<std::size_t>(data[0], size - 1) : 0;
  write(first, data + (size > 0 ? 1 : 0), info);
  write(second, data + (size > 0 ? 1 + info : 0), size > 0 ? size - 1 - info : 0);
}

}  // namespace

void binary(const std::uint8_t* data, std::size_t size) {
  int status = start();
  std::string name = scratch(".bin");
  write_two(name + ".info", name, data, size);
  Arrays a;
  FIO_IN_BINARY(false, true, name, a.retstat, a.xn, a.yn, a.xa, a.ya, a.view(), a.var_view(),
                a.title, a.xl, a.yl, a.zl, a.px, a.py, a.overload, status);
  finish();
  std::remove((name + ".info").c_str());
  std::remove(name.c_str());
}

namespace {

void camera(fio::Reader* reader, const char* suffix, const std::uint8_t* data, std::size_t size) {
  int status = start();
  std::string name = scratch(suffix);
  write(name, data, size);
  Arrays a;
  reader(true, name, a.retstat, a.xn, a.yn, a.xa, a.ya, a.view(), a.var_view(), a.title, a.xl, a.yl,
         a.zl, status);
  finish();
  std::remove(name.c_str());
}

}  // namespace

void princeton(const std::uint8_t* data, std::size_t size) {
  camera(FIO_IN_PRINCETON, ".spe", data, size);
}

void hamamatsu(const std::uint8_t* data, std::size_t size) {
  camera(FIO_IN_HAMAMATSU, ".img", data, size);
}

void mar(const std::uint8_t* data, std::size_t size) {
  const bool packed = size > 0 && (data[size - 1] & 1) != 0;
  int status = start();
  std::string name = scratch(packed ? ".pck" : ".image");
  write(name, data, size);
  Arrays a;
  FIO_IN_MAR(true, name, a.retstat, a.xn, a.yn, a.xa, a.ya, a.view(), a.var_view(), a.title, a.xl,
             a.yl, a.zl, a.px, a.py, status);
  finish();
  std::remove(name.c_str());
}

void bas2000(const std::uint8_t* data, std::size_t size) {
  int status = start();
  std::string name = scratch(".inf");
  write_two(name, scratch(".img"), data, size);
  Arrays a;
  FIO_IN_BAS2000(true, name, a.retstat, a.xn, a.yn, a.xa, a.ya, a.view(), a.var_view(), a.title,
                 a.xl, a.yl, a.zl, a.px, a.py, status);
  finish();
  std::remove(name.c_str());
  std::remove(scratch(".img").c_str());
}

void bsl(const std::uint8_t* data, std::size_t size) {
  int status = start();
  const std::string dir = scratch("_bsl");  // the seeds name the binary file Z98001.I1D
  mkdir(dir.c_str(), 0700);
  std::string name = dir + "/Z98000.I1D";
  write_two(name, dir + "/Z98001.I1D", data, size);
  Arrays a;
  FIO_IN_BSL(true, name, a.retstat, a.xn, a.yn, a.xa, a.ya, a.view(), a.var_view(), a.title, a.xl,
             a.yl, a.zl, a.overload, status);
  finish();
  std::remove(name.c_str());
  std::remove((dir + "/Z98001.I1D").c_str());
  rmdir(dir.c_str());
}

void dexoram(const std::uint8_t* data, std::size_t size) {
  camera(FIO_IN_DEXORAM, ".dxm", data, size);
}

void photometrics(const std::uint8_t* data, std::size_t size) {
  camera(FIO_IN_PHOTOMETRICS, ".pmi", data, size);
}

Target target(const std::string& name) {
  struct Named {
    const char* name;
    Target target;
  };
  static constexpr Named targets[] = {
      {"tiff", tiff},
      {"merin", merin},
      {"binary", binary},
      {"princeton", princeton},
      {"hamamatsu", hamamatsu},
      {"bas2000", bas2000},
      {"bsl", bsl},
      {"dexoram", dexoram},
      {"photometrics", photometrics},
      {"mar", mar},
  };
  for (const Named& t : targets) {
    if (name == t.name) return t.target;
  }
  return nullptr;
}

}  // namespace fuzztest

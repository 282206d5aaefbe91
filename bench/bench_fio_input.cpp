// Image input: a 2048 by 2048 16-bit image read whole into the set-up's
// real array, as a TIFF file through the dispatcher beside libtiff
// (TIFFReadEncodedStrip and a conversion loop), and as a keyword-header
// file beside a plain fread and conversion.
#include <benchmark/benchmark.h>
#include <tiffio.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "fio.h"
#include "io.h"
#include "io_testing.h"

namespace {

constexpr int size = 2048;

void quiet(const std::string&, bool, void*) {}

std::vector<std::uint16_t> pixels() {
  std::vector<std::uint16_t> p(static_cast<std::size_t>(size) * size);
  for (std::size_t i = 0; i < p.size(); ++i)
    p[i] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
  return p;
}

std::string scratch(const std::string& name) {
  return "/tmp/kov_bench_" + std::to_string(getpid()) + "_" + name;
}

// A TIFF written by libtiff: rows_per_strip 0 takes libtiff's default.
std::string write_tiff(const std::string& name, std::uint32_t rows_per_strip) {
  const std::string path = scratch(name);
  static const std::vector<std::uint16_t> p = pixels();
  TIFF* t = TIFFOpen(path.c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, size);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, size);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP,
               rows_per_strip == 0 ? TIFFDefaultStripSize(t, 0) : rows_per_strip);
  for (int y = 0; y < size; ++y) {
    TIFFWriteScanline(t, const_cast<std::uint16_t*>(&p[static_cast<std::size_t>(y) * size]),
                      static_cast<std::uint32_t>(y), 0);
  }
  TIFFClose(t);
  return path;
}

const char* merin_header =
    "{\nHeaderID = EH:000001:000000:000000 ;\nImage = 1 ;\nByteOrder = LowByteFirst ;\n"
    "Dim_1 = 2048 ;\nDim_2 = 2048 ;\nDataType = UnsignedShort ;\nSize = 8388608 ;\n}";

std::string write_merin() {
  const std::string path = scratch("image.zdf");
  static const std::vector<std::uint16_t> p = pixels();
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fputs(merin_header, f);
  std::fwrite(p.data(), 2, p.size(), f);
  std::fclose(f);
  return path;
}

// The set-up's arrays.
struct Arrays {
  io::Image<float> data;
  std::vector<float> xa = std::vector<float>(size), ya = std::vector<float>(size);
  Arrays() { data.allocate(size, size); }
};

void read_through_dispatcher(benchmark::State& state, const std::string& path, const char* format) {
  io::set_console_sink(quiet, nullptr);
  Arrays a;
  int status = io::status_good;
  ST_DEF_SYSTEM(status);
  const std::array<std::string, 1> prompt{""};
  for (auto _ : state) {
    FIO_SET_INPUT(false, format, 0.0f, status);
    bool defined = false;
    int xn = 0, yn = 0;
    std::string name = path, title, xl, yl, zl;
    float px = 0, py = 0;
    FIO_GUI_INPUT(1, 0, prompt, fio::input_named, false, defined, name, xn, yn, a.xa, a.ya,
                  a.data.view(), io::View2D<float>(), title, xl, yl, zl, px, py, status);
    if (!defined) state.SkipWithError("not read");
    benchmark::DoNotOptimize(a.data.data());
  }
  io::set_console_sink(nullptr, nullptr);
  state.SetBytesProcessed(state.iterations() * size * size * 2);
}

void read_with_libtiff(benchmark::State& state, const std::string& path) {
  Arrays a;
  std::vector<std::uint8_t> strip;
  for (auto _ : state) {
    TIFF* t = TIFFOpen(path.c_str(), "r");
    strip.resize(static_cast<std::size_t>(TIFFStripSize(t)));
    std::uint32_t rows_per_strip = 0;
    TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &rows_per_strip);
    const tstrip_t strips = TIFFNumberOfStrips(t);
    for (tstrip_t s = 0; s < strips; ++s) {
      const tmsize_t n =
          TIFFReadEncodedStrip(t, s, strip.data(), static_cast<tmsize_t>(strip.size()));
      const auto* v = reinterpret_cast<const std::uint16_t*>(strip.data());
      float* out = a.data.view().row(static_cast<int>(s * rows_per_strip) + 1);
      for (tmsize_t i = 0; i < n / 2; ++i) out[i] = v[i];
    }
    TIFFClose(t);
    benchmark::DoNotOptimize(a.data.data());
  }
  state.SetBytesProcessed(state.iterations() * size * size * 2);
}

void read_with_fread(benchmark::State& state, const std::string& path) {
  Arrays a;
  std::vector<std::uint16_t> buffer(static_cast<std::size_t>(size) * size);
  const long header = static_cast<long>(std::string(merin_header).size());
  for (auto _ : state) {
    FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, header, SEEK_SET);
    const std::size_t n = std::fread(buffer.data(), 2, buffer.size(), f);
    std::fclose(f);
    float* out = a.data.data();
    for (std::size_t i = 0; i < n; ++i) out[i] = buffer[i];
    benchmark::DoNotOptimize(a.data.data());
  }
  state.SetBytesProcessed(state.iterations() * size * size * 2);
}

struct Files {
  std::string strips = write_tiff("strips.tif", 0);
  std::string one_strip = write_tiff("one_strip.tif", size);
  std::string merin = write_merin();
  ~Files() {
    for (const auto* p : {&strips, &one_strip, &merin}) std::remove(p->c_str());
  }
};

Files& files() {
  static Files f;
  return f;
}

void BM_FIO_TIFF_strips(benchmark::State& s) {
  read_through_dispatcher(s, files().strips, "TIFF");
}
void BM_libtiff_strips(benchmark::State& s) {
  read_with_libtiff(s, files().strips);
}
void BM_FIO_TIFF_one_strip(benchmark::State& s) {
  read_through_dispatcher(s, files().one_strip, "TIFF");
}
void BM_libtiff_one_strip(benchmark::State& s) {
  read_with_libtiff(s, files().one_strip);
}
void BM_FIO_MERIN(benchmark::State& s) {
  read_through_dispatcher(s, files().merin, "MERIN");
}
void BM_fread_keyword_header(benchmark::State& s) {
  read_with_fread(s, files().merin);
}

BENCHMARK(BM_FIO_TIFF_strips)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_libtiff_strips)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FIO_TIFF_one_strip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_libtiff_one_strip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FIO_MERIN)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_fread_keyword_header)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// The slice by filtered back-projection, the sweep of slices around an axis
// position, the sharpness of a slice and the axis by reconstruction.
#include "kov_slice.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <thread>

#include "kov_axis.h"
#include "kov_slice_kernel.h"
#include "ma.h"

namespace kov::slice_kernel {
void avx2_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out);
}  // namespace kov::slice_kernel

namespace {

constexpr double pi = std::numbers::pi;

bool processor_has_avx2() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("fma") != 0;
  }();
  return has;
#else
  return false;
#endif
}

// Samples kept beyond each end of a filtered row, so that a ray that meets
// the line within a sample of its ends reads the filtered padding.
constexpr int lead = 2;

// The filtered sinogram: each row ramp-filtered, weighted by its share of
// the half turn, `lead` samples of the filtered padding on either side.
struct Filtered {
  int width = 0, rows = 0, stride = 0;
  std::vector<float> values;  // rows * stride
  std::vector<float> cosines, sines;
  const float* row(int r) const {
    return values.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(stride) + lead;
  }
};

// The transform length of a line of `width` pixels: a power of two of at
// least twice the width, so that the ramp's tails do not wrap round.
int transform_length(int width) {
  int m = 64;
  while (m < 2 * width) m *= 2;
  return m;
}

// The share of the half turn that each row stands for: the step between
// angles, or pi / rows when the angles cover more than a half turn (a full
// turn counts each ray twice).
double angle_weight(const kov::Sinogram& s) {
  const int n = s.rows();
  const double step = std::fabs(static_cast<double>(s.angles[1]) - s.angles[0]);
  return n * step > pi ? pi / n : step;
}

// The ramp filter with a Hann window in the transform's packed layout, one
// real factor for each element: the transform of the sampled ramp's kernel
// (1/4 at 0, -1/(pi k)^2 at odd k), so that the constant is not lost,
// times the window, times the row's weight over m (the inverse transform's
// factor).
std::vector<float> ramp_filter(int m, double weight, int& status) {
  std::vector<float> h(static_cast<std::size_t>(m), 0.0f);
  h[0] = 0.25f;
  for (int k = 1; k < m / 2; k += 2) {
    const float v = static_cast<float>(-1.0 / (pi * pi * k * k));
    h[static_cast<std::size_t>(k)] = v;
    h[static_cast<std::size_t>(m - k)] = v;
  }
  MA_FFA8(m, h.data(), status);
  std::vector<float> factor(static_cast<std::size_t>(m), 0.0f);
  const auto window = [m](int k) { return 0.5 * (1.0 + std::cos(2.0 * pi * k / m)); };
  factor[0] = static_cast<float>(h[0] * weight / m);
  factor[1] = static_cast<float>(h[1] * window(m / 2) * weight / m);
  for (int k = 1; k < m / 2; ++k) {
    const float f = static_cast<float>(h[static_cast<std::size_t>(2 * k)] * window(k) * weight / m);
    factor[static_cast<std::size_t>(2 * k)] = f;
    factor[static_cast<std::size_t>(2 * k + 1)] = f;
  }
  return factor;
}

// One row into the transform buffer, the padding the row's end values (the
// right half after the row its last value, the left half its first), so
// that a row that does not end at zero makes no edge of its own.
void pad_row(const float* row, int width, std::vector<float>& buffer) {
  const std::size_t w = static_cast<std::size_t>(width);
  std::copy(row, row + width, buffer.begin());
  const std::size_t middle = w + (buffer.size() - w) / 2;
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(w),
            buffer.begin() + static_cast<std::ptrdiff_t>(middle), row[width - 1]);
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(middle), buffer.end(), row[0]);
}

void filter(const kov::Sinogram& s, Filtered& f, int& status) {
  f.width = s.width;
  f.rows = s.rows();
  f.stride = s.width + 2 * lead;
  f.values.assign(static_cast<std::size_t>(f.rows) * static_cast<std::size_t>(f.stride), 0.0f);
  const int m = transform_length(s.width);
  const std::vector<float> factor = ramp_filter(m, angle_weight(s), status);
  std::vector<float> buffer(static_cast<std::size_t>(m));
  for (int r = 0; r < f.rows && status == io::status_good; ++r) {
    pad_row(s.values.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(s.width),
            s.width, buffer);
    MA_FFA8(m, buffer.data(), status);
    for (int k = 0; k < m; ++k)
      buffer[static_cast<std::size_t>(k)] *= factor[static_cast<std::size_t>(k)];
    MA_FFS8(m, buffer.data(), status);
    float* out = const_cast<float*>(f.row(r));
    for (int k = -lead; k < s.width + lead; ++k) {
      out[k] = buffer[static_cast<std::size_t>((k + m) % m)];
    }
  }
  for (float a : s.angles) {
    f.cosines.push_back(static_cast<float>(std::cos(static_cast<double>(a))));
    f.sines.push_back(static_cast<float>(std::sin(static_cast<double>(a))));
  }
}

// The columns lo .. hi (from 0, within 0 .. n-1) of the slice whose rays
// meet the line within its pixels: t = b + i c within 0 .. width - 1.
bool ray_range(float b, float c, int n, int width, int& lo, int& hi) {
  const double top = width - 1;
  double from = 0.0, to = n - 1;
  if (std::fabs(c) < 1e-6f) {
    if (b < 0.0f || b > top) return false;
  } else {
    const double i0 = (0.0 - b) / c, i1 = (top - b) / c;
    from = std::max(from, std::ceil(std::min(i0, i1)));
    to = std::min(to, std::floor(std::max(i0, i1)));
  }
  if (from > to) return false;
  lo = static_cast<int>(from);
  hi = static_cast<int>(to);
  return true;
}

using RowKernel = void (*)(const float*, float, float, int, int, float*);

void baseline_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out) {
  kov::slice_kernel::accumulate_row(q, b, c, lo, hi, out);
}

RowKernel row_kernel() {
  return processor_has_avx2() ? kov::slice_kernel::avx2_accumulate_row : baseline_accumulate_row;
}

// Rows of the slice back-projected together over every angle: their sums
// stay in the processor's cache while the angles pass.
constexpr int row_block = 16;

// The slice of n by n voxels from voxel `first`, axis at `axis`: for each
// block of rows, every angle's rays through them.
void back_project(const Filtered& f, float axis, int first, int n, io::View2D<float> slice) {
  const RowKernel kernel = row_kernel();
  for (int j = 1; j <= n; ++j) std::fill_n(slice.row(j), n, 0.0f);
  const float x0 = static_cast<float>(first) - 0.5f - axis;  // column 1 from the axis
  for (int j0 = 0; j0 < n; j0 += row_block) {
    const int j1 = std::min(n, j0 + row_block);
    for (int r = 0; r < f.rows; ++r) {
      const float c = f.cosines[static_cast<std::size_t>(r)];
      const float s = f.sines[static_cast<std::size_t>(r)];
      const float* q = f.row(r);
      const float b0 = axis - 0.5f + x0 * c;
      for (int j = j0; j < j1; ++j) {
        const float b = b0 + (x0 + static_cast<float>(j)) * s;
        int lo = 0, hi = 0;
        if (ray_range(b, c, n, f.width, lo, hi)) kernel(q, b, c, lo, hi, slice.row(j + 1));
      }
    }
  }
}

// A sinogram and a voxel range that make a slice; false after the failure.
bool slice_arguments(const kov::Sinogram& s, int first, int last, const char* id, int& status) {
  const bool sinogram_good =
      s.width >= 2 && s.rows() >= 2 &&
      s.values.size() == static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.rows());
  if (!sinogram_good) {
    io::fail(kov::status_bad_sinogram, id, status);
    return false;
  }
  if (first < 1 || last < first || last - first + 1 > 2 * kov::max_image_size) {
    io::fail(kov::status_bad_slice_range, id, status);
    return false;
  }
  return true;
}

bool slice_fits(io::View2D<float> slice, int n) {
  return !slice.empty() && slice.xmaxdat >= n && slice.ymaxdat >= n;
}

// Runs job(k) for k = 0 .. count-1 on the machine's cores, each k once.
template <typename Job>
void on_cores(int count, const Job& job) {
  const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const int workers = std::min(count, cores);
  std::atomic<int> next{0};
  const auto work = [&] {
    for (int k = next++; k < count; k = next++) job(k);
  };
  std::vector<std::thread> threads;
  for (int t = 1; t < workers; ++t) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();
}

}  // namespace

void KOV_SLICE(const kov::Sinogram& sinogram, float axis, int first, int last,
               io::View2D<float> slice, int& status) {
  constexpr const char* id = "Subroutine KOV_SLICE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!slice_arguments(sinogram, first, last, id, status)) return;
  if (!slice_fits(slice, last - first + 1)) {
    io::fail(kov::status_bad_slice_range, id, status);
    return;
  }
  Filtered f;
  filter(sinogram, f, status);
  if (status != io::status_good) return;
  back_project(f, axis, first, last - first + 1, slice);
}

namespace kov {

namespace {

// The voxels of an n-by-n slice within the disc inscribed in it, row by
// row: the columns lo .. hi of row j (from 1).
void disc_columns(int n, int j, int& lo, int& hi) {
  const double r = 0.5 * n - 1.0, y = j - 0.5 - 0.5 * n;
  const double half = r * r > y * y ? std::sqrt(r * r - y * y) : -1.0;
  lo = static_cast<int>(std::ceil(0.5 * n + 0.5 - half));
  hi = static_cast<int>(std::floor(0.5 * n + 0.5 + half));
  lo = std::max(lo, 2);
  hi = std::min(hi, n - 1);
}

}  // namespace

double slice_sharpness(io::View2D<const float> slice) {
  const int n = std::min(slice.xmaxdat, slice.ymaxdat);
  double gradient = 0.0;
  for (int j = 2; j < n; ++j) {
    int lo = 0, hi = 0;
    disc_columns(n, j, lo, hi);
    const float* row = slice.row(j);
    const float* below = slice.row(j + 1);
    for (int i = lo; i <= hi; ++i) {
      const double dx = row[i] - row[i - 1], dy = below[i - 1] - row[i - 1];
      gradient += dx * dx + dy * dy;
    }
  }
  return gradient;
}

std::vector<float> sweep_positions(float centre, float step) {
  std::vector<float> positions;
  for (int k = 0; k < sweep_count; ++k) {
    positions.push_back(centre + static_cast<float>(k - 4) * step);
  }
  return positions;
}

void sweep_slices(const Sinogram& s, float centre, float step, int first, int last,
                  std::span<io::View2D<float>> slices, int& status) {
  constexpr const char* id = "Subroutine KOV_SWEEP_SLICES V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!slice_arguments(s, first, last, id, status)) return;
  const int n = last - first + 1;
  if (slices.size() < static_cast<std::size_t>(sweep_count) ||
      !std::all_of(slices.begin(), slices.begin() + sweep_count,
                   [n](io::View2D<float> v) { return slice_fits(v, n); })) {
    io::fail(status_bad_slice_range, id, status);
    return;
  }
  Filtered f;
  filter(s, f, status);
  if (status != io::status_good) return;
  const std::vector<float> positions = sweep_positions(centre, step);
  on_cores(sweep_count, [&](int k) {
    back_project(f, positions[static_cast<std::size_t>(k)], first, n,
                 slices[static_cast<std::size_t>(k)]);
  });
}

namespace {

// The sharpness of the slices at each of `positions`, on the machine's
// cores, each slice in an array of its own.
std::vector<double> sharpness_at(const Filtered& f, const std::vector<float>& positions, int first,
                                 int n) {
  std::vector<double> sharpness(positions.size(), 0.0);
  on_cores(static_cast<int>(positions.size()), [&](int k) {
    std::vector<float> work(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    const io::View2D<float> slice(work.data(), n, n);
    back_project(f, positions[static_cast<std::size_t>(k)], first, n, slice);
    sharpness[static_cast<std::size_t>(k)] = slice_sharpness(slice);
  });
  return sharpness;
}

// The position of the largest of `values` at `positions` (equally spaced),
// refined by the parabola through it and its neighbours.
double peak_of(const std::vector<float>& positions, const std::vector<double>& values) {
  const auto best = std::max_element(values.begin(), values.end()) - values.begin();
  const std::size_t k = static_cast<std::size_t>(best);
  if (k == 0 || k + 1 >= values.size()) return positions[k];
  const double left = values[k - 1], centre = values[k], right = values[k + 1];
  const double a = 0.5 * (left + right) - centre, b = 0.5 * (right - left);
  const double step = positions[k + 1] - positions[k];
  if (a >= 0.0) return positions[k];
  return positions[k] - step * std::clamp(b / (2.0 * a), -0.5, 0.5);
}

std::vector<float> positions_around(double centre, double reach, double step) {
  std::vector<float> positions;
  const int half = static_cast<int>(std::ceil(reach / step - 1e-9));
  for (int k = -half; k <= half; ++k) positions.push_back(static_cast<float>(centre + k * step));
  return positions;
}

}  // namespace

double axis_by_reconstruction(const Sinogram& s, float centre, float reach, int first, int last,
                              int& status) {
  constexpr const char* id = "Subroutine KOV_AXIS_BY_RECONSTRUCTION V0.1 ";
  if (!io::entry_ok(status, id)) return centre;
  if (!slice_arguments(s, first, last, id, status)) return centre;
  Filtered f;
  filter(s, f, status);
  if (status != io::status_good) return centre;
  const int n = last - first + 1;
  // A coarse sweep of half a pixel over the reach, then a fine one of a
  // tenth of a pixel around its best.
  const std::vector<float> coarse = positions_around(centre, std::max(reach, 0.5f), 0.5);
  const double rough = peak_of(coarse, sharpness_at(f, coarse, first, n));
  const std::vector<float> fine = positions_around(rough, 0.5, 0.1);
  return peak_of(fine, sharpness_at(f, fine, first, n));
}

namespace {

void put16(std::vector<std::uint8_t>& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

bool write_slice_tiff(const std::string& file_name, io::View2D<const float> slice, int n) {
  if (n < 1 || slice.empty() || slice.xmaxdat < n || slice.ymaxdat < n) return false;
  // Little-endian, one strip: the header, the pixels, the directory.
  std::vector<std::uint8_t> b;
  const std::uint32_t data_bytes =
      static_cast<std::uint32_t>(n) * static_cast<std::uint32_t>(n) * 4;
  b.insert(b.end(), {'I', 'I'});
  put16(b, 42);
  put32(b, 8 + data_bytes);
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= n; ++i) {
      std::uint32_t bits = 0;
      const float v = slice(i, j);
      std::memcpy(&bits, &v, 4);
      put32(b, bits);
    }
  }
  struct Tag {
    unsigned tag, type;
    std::uint32_t value;
  };
  const std::uint32_t side = static_cast<std::uint32_t>(n);
  // Width, length, 32 bits, no compression, black is zero, the strip, one
  // sample, the rows of the strip, its bytes, IEEE reals.
  const Tag tags[] = {{256, 4, side},       {257, 4, side}, {258, 3, 32}, {259, 3, 1},
                      {262, 3, 1},          {273, 4, 8},    {277, 3, 1},  {278, 4, side},
                      {279, 4, data_bytes}, {339, 3, 3}};
  put16(b, static_cast<unsigned>(std::size(tags)));
  for (const Tag& t : tags) {
    put16(b, t.tag);
    put16(b, t.type);
    put32(b, 1);
    if (t.type == 3) {
      put16(b, t.value);
      put16(b, 0);
    } else {
      put32(b, t.value);
    }
  }
  put32(b, 0);
  std::FILE* file = std::fopen(file_name.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(b.data(), 1, b.size(), file) == b.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace kov

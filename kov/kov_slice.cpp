// The slice by filtered back-projection, the sweep of slices around an axis
// position, the sharpness of a slice and the axis by reconstruction.
#include "kov_slice.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
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

// Samples kept beyond each end of a filtered row, so that a ray that meets
// the line within a sample of its ends reads the filtered padding.
constexpr int lead = 2;
// Filtered samples per pixel: the filtered rows are made at half-pixel
// steps (from their transform), so that the linear interpolation between
// them smooths little, and about as much wherever the rays fall.
constexpr int per_pixel = 2;

// The window of the ramp filter: Hann for the eye (smooth, no ringing);
// none (the plain ramp) for the sharpness of the axis by reconstruction,
// which looks for the finest edges.
enum class Window { hann, none };

// The filtered sinogram: each row ramp-filtered, weighted by its share of
// the half turn, at per_pixel samples a pixel (sample T at pixel
// coordinate 0.5 + T / per_pixel), `lead` samples of the filtered padding
// on either side.
struct Filtered {
  int width = 0, rows = 0, stride = 0;
  std::vector<float> values;  // rows * stride
  std::vector<float> cosines, sines;
  int last_sample() const { return per_pixel * (width - 1); }
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
  return n * step > pi + 0.5 * step ? pi / n : step;
}

// The share of row r relative to the others: a half for the first and the
// last row of a series whose last projection is a half turn from its first
// (the two see the same rays).
float end_share(const kov::Sinogram& s, int r) {
  const int n = s.rows();
  const double step = std::fabs(static_cast<double>(s.angles[1]) - s.angles[0]);
  const bool ends_alike = std::fabs((n - 1) * step - pi) < 0.01 * step;
  return ends_alike && (r == 0 || r == n - 1) ? 0.5f : 1.0f;
}

// The ramp filter in the transform's packed layout, one real factor for
// each element: the transform of the sampled ramp's kernel (1/4 at 0,
// -1/(pi k)^2 at odd k), so that the constant is not lost, times the
// window, times the row's weight over m (the inverse transform's factor).
std::vector<float> ramp_filter(int m, double weight, Window shape, int& status) {
  std::vector<float> h(static_cast<std::size_t>(m), 0.0f);
  h[0] = 0.25f;
  for (int k = 1; k < m / 2; k += 2) {
    const float v = static_cast<float>(-1.0 / (pi * pi * k * k));
    h[static_cast<std::size_t>(k)] = v;
    h[static_cast<std::size_t>(m - k)] = v;
  }
  MA_FFA8(m, h.data(), status);
  std::vector<float> factor(static_cast<std::size_t>(m), 0.0f);
  const auto window = [m, shape](int k) {
    return shape == Window::hann ? 0.5 * (1.0 + std::cos(2.0 * pi * k / m)) : 1.0;
  };
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

// The filtered transform of length m into the lower frequencies of a
// transform per_pixel times as long (the highest frequency split between
// its two signs), whose inverse gives the filtered row at per_pixel
// samples a pixel.
void widen_spectrum(const std::vector<float>& spectrum, std::vector<float>& wide) {
  const std::size_t m = spectrum.size();
  std::fill(wide.begin(), wide.end(), 0.0f);
  wide[0] = spectrum[0];
  std::copy(spectrum.begin() + 2, spectrum.end(), wide.begin() + 2);
  wide[m] = 0.5f * spectrum[1];
}

void filter(const kov::Sinogram& s, Window shape, Filtered& f, int& status) {
  f.width = s.width;
  f.rows = s.rows();
  f.stride = f.last_sample() + 1 + 2 * lead;
  // 16 more after the last row: a vector of the inner loop may load past
  // the samples it uses.
  f.values.assign(static_cast<std::size_t>(f.rows) * static_cast<std::size_t>(f.stride) + 16, 0.0f);
  const int m = transform_length(s.width), wide_m = per_pixel * m;
  const std::vector<float> factor = ramp_filter(m, angle_weight(s), shape, status);
  std::vector<float> buffer(static_cast<std::size_t>(m)), wide(static_cast<std::size_t>(wide_m));
  for (int r = 0; r < f.rows && status == io::status_good; ++r) {
    pad_row(s.values.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(s.width),
            s.width, buffer);
    MA_FFA8(m, buffer.data(), status);
    for (int k = 0; k < m; ++k) {
      buffer[static_cast<std::size_t>(k)] *= factor[static_cast<std::size_t>(k)];
    }
    widen_spectrum(buffer, wide);
    MA_FFS8(wide_m, wide.data(), status);
    float* out = const_cast<float*>(f.row(r));
    const float share = end_share(s, r);
    for (int k = -lead; k <= f.last_sample() + lead; ++k) {
      out[k] = share * wide[static_cast<std::size_t>((k + wide_m) % wide_m)];
    }
  }
  for (float a : s.angles) {
    f.cosines.push_back(static_cast<float>(std::cos(static_cast<double>(a))));
    f.sines.push_back(static_cast<float>(std::sin(static_cast<double>(a))));
  }
}

// The columns lo .. hi (from 0) of the slice whose rays meet the line
// within its samples, t = b + i c within 0 .. top, narrowed from lo .. hi;
// `inverse` is 1 / c (0 when c is about 0). False when none is left.
bool ray_range(float b, float inverse, float top, int& lo, int& hi) {
  if (inverse == 0.0f) return b >= 0.0f && b <= top && lo <= hi;
  const float i0 = -b * inverse, i1 = (top - b) * inverse;
  lo = std::max(lo, static_cast<int>(std::ceil(std::clamp(std::min(i0, i1), -1.0f, 1.0e7f))));
  hi = std::min(hi, static_cast<int>(std::floor(std::clamp(std::max(i0, i1), -1.0f, 1.0e7f))));
  return lo <= hi;
}

using RowKernel = void (*)(const float*, float, float, int, int, float*);

void baseline_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out) {
  kov::slice_kernel::accumulate_row(q, b, c, lo, hi, out);
}

RowKernel row_kernel() {
  return ma::processor_has_avx2() ? kov::slice_kernel::avx2_accumulate_row
                                  : baseline_accumulate_row;
}

// Rows of the slice back-projected together over every angle: their sums
// stay in the processor's cache while the angles pass.
constexpr int row_block = 16;

// The columns of row j (from 0) within the disc that every angle sees: the
// voxels within `radius` of the axis; false when there are none.
bool disc_range(float x0, int j, float radius, int n, int& lo, int& hi) {
  const float y = x0 + static_cast<float>(j);
  if (y * y >= radius * radius) return false;
  const float half = std::sqrt(radius * radius - y * y);
  lo = std::max(0, static_cast<int>(std::ceil(-half - x0)));
  hi = std::min(n - 1, static_cast<int>(std::floor(half - x0)));
  return lo <= hi;
}

// The slice of n by n voxels from voxel `first`, axis at `axis`: for each
// block of rows, every angle's rays through them. Voxels beyond the disc
// that every angle sees (as far from the axis as the nearer end of the
// line) stay 0.
void back_project(const Filtered& f, float axis, int first, int n, io::View2D<float> slice,
                  int from_row = 0, int to_row = -1) {
  const RowKernel kernel = row_kernel();
  if (to_row < 0) to_row = n;
  for (int j = from_row + 1; j <= to_row; ++j) std::fill_n(slice.row(j), n, 0.0f);
  const float x0 = static_cast<float>(first) - 0.5f - axis;  // column 1 from the axis
  const float radius = std::min(axis, static_cast<float>(f.width) - axis);
  if (!(radius > 0.0f)) return;  // an axis off the line: no voxel is seen by every angle
  const float scale = per_pixel;
  const float top = static_cast<float>(f.last_sample());
  for (int j0 = from_row; j0 < to_row; j0 += row_block) {
    const int j1 = std::min(to_row, j0 + row_block);
    int disc_lo[row_block], disc_hi[row_block];
    for (int j = j0; j < j1; ++j) {
      if (!disc_range(x0, j, radius, n, disc_lo[j - j0], disc_hi[j - j0])) {
        disc_lo[j - j0] = 1;
        disc_hi[j - j0] = 0;
      }
    }
    for (int r = 0; r < f.rows; ++r) {
      const float c = scale * f.cosines[static_cast<std::size_t>(r)];
      const float s = scale * f.sines[static_cast<std::size_t>(r)];
      const float inverse = std::fabs(c) < 1e-6f ? 0.0f : 1.0f / c;
      const float* q = f.row(r);
      // Sample of column i of row j: scale (axis - 0.5 + (x0 + i) c + (x0 + j) s).
      const float b0 = scale * (axis - 0.5f) + x0 * c;
      for (int j = j0; j < j1; ++j) {
        const float b = b0 + (x0 + static_cast<float>(j)) * s;
        int lo = disc_lo[j - j0], hi = disc_hi[j - j0];
        if (ray_range(b, inverse, top, lo, hi)) kernel(q, b, c, lo, hi, slice.row(j + 1));
      }
    }
  }
}

// A sinogram, positions and a voxel range that make a slice (the positions
// finite and within the lines' reach); false after the failure.
bool slice_arguments(const kov::Sinogram& s, std::initializer_list<float> positions, int first,
                     int last, const char* id, int& status) {
  const bool sinogram_good =
      s.width >= 2 && s.rows() >= 2 &&
      s.values.size() == static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.rows()) &&
      std::all_of(s.angles.begin(), s.angles.end(), [](float a) { return std::isfinite(a); });
  if (!sinogram_good) {
    io::fail(kov::status_bad_sinogram, id, status);
    return false;
  }
  const auto far = [](float p) { return !(std::fabs(p) <= 4.0f * kov::max_image_size); };
  if (first < 1 || last < first || last - first + 1 > 2 * kov::max_image_size ||
      std::any_of(positions.begin(), positions.end(), far)) {
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
  if (!slice_arguments(sinogram, {axis}, first, last, id, status)) return;
  if (!slice_fits(slice, last - first + 1)) {
    io::fail(kov::status_bad_slice_range, id, status);
    return;
  }
  Filtered f;
  filter(sinogram, Window::hann, f, status);
  if (status != io::status_good) return;
  back_project(f, axis, first, last - first + 1, slice);
}

namespace kov {

namespace {

// A disc of a slice: centre (column and row from 1) and radius in voxels.
struct Disc {
  double centre = 0.0, radius = 0.0;
};

// The sum of the squared differences of neighbouring voxels within the
// disc: the edges' energy, largest when the edges are sharp and single.
double edge_energy(io::View2D<const float> slice, int n, const Disc& d) {
  double energy = 0.0;
  for (int j = 2; j < n; ++j) {
    const double y = j - d.centre;
    if (y * y >= d.radius * d.radius) continue;
    const double half = std::sqrt(d.radius * d.radius - y * y);
    const int lo = std::max(2, static_cast<int>(std::ceil(d.centre - half)));
    const int hi = std::min(n - 1, static_cast<int>(std::floor(d.centre + half)));
    for (int i = lo; i <= hi; ++i) {
      const double dx = slice(i, j) - slice(i - 1, j), dy = slice(i, j) - slice(i, j - 1);
      energy += dx * dx + dy * dy;
    }
  }
  return energy;
}

}  // namespace

double slice_sharpness(io::View2D<const float> slice) {
  const int n = std::min(slice.xmaxdat, slice.ymaxdat);
  return edge_energy(slice, n, Disc{0.5 * n + 0.5, 0.5 * n - 1.0});
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
  if (!slice_arguments(s, {centre, step}, first, last, id, status)) return;
  const int n = last - first + 1;
  if (slices.size() < static_cast<std::size_t>(sweep_count) ||
      !std::all_of(slices.begin(), slices.begin() + sweep_count,
                   [n](io::View2D<float> v) { return slice_fits(v, n); })) {
    io::fail(status_bad_slice_range, id, status);
    return;
  }
  Filtered f;
  filter(s, Window::hann, f, status);
  if (status != io::status_good) return;
  const std::vector<float> positions = sweep_positions(centre, step);
  // Each slice in parts of its rows, so that the cores finish together.
  constexpr int sweep_parts = 4;
  on_cores(sweep_count * sweep_parts, [&](int k) {
    const int slice = k / sweep_parts, part = k % sweep_parts;
    back_project(f, positions[static_cast<std::size_t>(slice)], first, n,
                 slices[static_cast<std::size_t>(slice)], n * part / sweep_parts,
                 n * (part + 1) / sweep_parts);
  });
}

namespace {

// The sharpness of the slices at each of `positions`, on the machine's
// cores, each slice in an array of its own: the edge energy within one disc
// for all, around the middle position, that every angle sees at every
// position (the voxels beyond that disc stay 0, and its edge moves with the
// axis: its centre by the change, its near side by twice the change).
std::vector<double> sharpness_at(const Filtered& f, const std::vector<float>& positions, int first,
                                 int n) {
  const double middle = 0.5 * (positions.front() + positions.back());
  const double reach = 0.5 * (positions.back() - positions.front());
  const Disc disc{middle - first + 1.5,
                  std::min(middle, static_cast<double>(f.width) - middle) - 2.0 * reach - 2.0};
  std::vector<double> sharpness(positions.size(), 0.0);
  on_cores(static_cast<int>(positions.size()), [&](int k) {
    std::vector<float> work(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    const io::View2D<float> slice(work.data(), n, n);
    back_project(f, positions[static_cast<std::size_t>(k)], first, n, slice);
    sharpness[static_cast<std::size_t>(k)] = edge_energy(slice, n, disc);
  });
  return sharpness;
}

// The position of the largest of `values` at `positions`.
double largest_at(const std::vector<float>& positions, const std::vector<double>& values) {
  return positions[static_cast<std::size_t>(std::max_element(values.begin(), values.end()) -
                                            values.begin())];
}

// The top of the least-squares parabola through the values at their
// positions, kept within the positions' range; the largest when the
// parabola opens upwards.
double parabola_top(const std::vector<float>& positions, const std::vector<double>& values) {
  const double mid = 0.5 * (positions.front() + positions.back());
  // Normal equations of v = a u^2 + b u + c, u = position - mid.
  double s[5] = {0, 0, 0, 0, 0}, t[3] = {0, 0, 0};
  for (std::size_t k = 0; k < values.size(); ++k) {
    const double u = positions[k] - mid;
    double p = 1.0;
    for (int e = 0; e < 5; ++e, p *= u) s[e] += p;
    t[0] += values[k];
    t[1] += values[k] * u;
    t[2] += values[k] * u * u;
  }
  // Solve [s4 s3 s2; s3 s2 s1; s2 s1 s0] (a b c) = (t2 t1 t0) by Cramer's rule.
  const auto det = [](double a, double b, double c, double d, double e, double f, double g,
                      double h, double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  };
  const double d = det(s[4], s[3], s[2], s[3], s[2], s[1], s[2], s[1], s[0]);
  const double a = det(t[2], s[3], s[2], t[1], s[2], s[1], t[0], s[1], s[0]) / d;
  const double b = det(s[4], t[2], s[2], s[3], t[1], s[1], s[2], t[0], s[0]) / d;
  if (!(a < 0.0)) return largest_at(positions, values);
  return std::clamp(mid - b / (2.0 * a), static_cast<double>(positions.front()),
                    static_cast<double>(positions.back()));
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
  if (!slice_arguments(s, {centre, reach}, first, last, id, status)) return centre;
  Filtered f;
  filter(s, Window::hann, f, status);
  if (status != io::status_good) return centre;
  const int n = last - first + 1;
  // A coarse sweep of half a pixel over the reach; then a fine one of a
  // tenth of a pixel within a pixel of its best, whose least-squares
  // parabola gives the position (the sharpness is smooth near its top).
  const std::vector<float> coarse = positions_around(centre, std::max(reach, 0.5f), 0.5);
  const double rough = largest_at(coarse, sharpness_at(f, coarse, first, n));
  const std::vector<float> fine = positions_around(rough, 0.6, 0.1);
  return parabola_top(fine, sharpness_at(f, fine, first, n));
}

namespace {

std::string fixed(const char* spec, double value) {
  char text[64];
  std::snprintf(text, sizeof text, spec, value);
  return text;
}

bool positions_differ(double correlation, double reconstruction) {
  return !(std::fabs(reconstruction - correlation) <= 1.0);
}

}  // namespace

std::vector<std::string> reconstruction_report_lines(double correlation, double reconstruction) {
  std::vector<std::string> lines{"INFO: Axis by reconstruction = " +
                                 fixed("%12.5f", reconstruction)};
  if (positions_differ(correlation, reconstruction)) {
    const std::string d = fixed("%.2f", std::fabs(reconstruction - correlation));
    lines.push_back("WARNING: The axis by reconstruction lies " + d +
                    " pixels from the correlation's");
    lines.push_back("         (over 1 pixel): look at the slices before accepting");
  }
  return lines;
}

std::vector<std::string> reconstruction_warning_box(double correlation, double reconstruction) {
  if (!positions_differ(correlation, reconstruction)) return {};
  const std::string d = fixed("%.2f", std::fabs(reconstruction - correlation));
  return {"THE AXIS BY RECONSTRUCTION LIES", d + " PIXELS FROM THE CORRELATION'S"};
}

}  // namespace kov

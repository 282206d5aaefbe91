// The real fast Fourier transform of power-of-two length and the circular
// cross-correlation built on it: MA_EXPNT, MA_FFA8, MA_FFS8, MA_1DCROSSCORR.
#include <cmath>
#include <mutex>
#include <numbers>

#include "ma_fft.h"
#include "ma_internal.h"
#include "ma_testing.h"

namespace ma {

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

}  // namespace ma

namespace ma::fft {
namespace {

constexpr int max_log2 = 15;  // max_transform = 2^15
static_assert(1 << max_log2 == max_transform);

// Pass tables of every length L = 4 .. max_transform/2, 3L/4 complex numbers
// each, at 1.5 L - 6 reals from the start; separation tables of every
// n = 4 .. max_transform, n/4 + 1 complex numbers each.
constexpr int pass_table_offset(int L) {
  return 3 * L / 2 - 6;
}
constexpr int post_table_offset(int log2n) {
  return (1 << (log2n - 1)) - 2 + 2 * (log2n - 2);
}
constexpr int pass_table_size = pass_table_offset(max_transform);
constexpr int post_table_size = post_table_offset(max_log2 + 1);

struct Tables {
  alignas(64) float pass[pass_table_size];
  alignas(64) float post[post_table_size];
  Plan plans[max_log2 + 1];
};

Tables tables;
std::once_flag tables_made;

void make_tables() {
  const double two_pi = 2.0 * std::numbers::pi;
  for (int L = 4; L <= max_transform / 2; L *= 2) {
    float* t = tables.pass + pass_table_offset(L);
    for (int r = 1; r <= 3; ++r)
      for (int p = 0; p < L / 4; ++p, t += 2) {
        const double angle = two_pi * static_cast<double>((r * p) % L) / L;
        t[0] = static_cast<float>(std::cos(angle));
        t[1] = static_cast<float>(-std::sin(angle));
      }
  }
  for (int j = 2; j <= max_log2; ++j) {
    const int n = 1 << j;
    float* t = tables.post + post_table_offset(j);
    for (int k = 0; k <= n / 4; ++k, t += 2) {
      const double angle = two_pi * k / n;
      t[0] = static_cast<float>(-0.5 * std::sin(angle));
      t[1] = static_cast<float>(-0.5 * std::cos(angle));
    }
  }
  for (int j = 0; j <= max_log2; ++j) {
    Plan& p = tables.plans[j];
    p.n = 1 << j;
    p.m = p.n / 2;
    const int log2m = j - 1;
    p.radix4 = log2m > 0 ? log2m / 2 : 0;
    p.radix2 = log2m > 0 && log2m % 2 == 1;
    p.passes = p.radix4 + (p.radix2 ? 1 : 0);
    for (int i = 0, L = p.m; i < p.radix4; ++i, L /= 4)
      p.twiddles[i] = tables.pass + pass_table_offset(L);
    if (j >= 2) p.post = tables.post + post_table_offset(j);
  }
}

struct Dispatch {
  Kernels kernels;
  FftPath path;
};

bool kernels_of(FftPath path, Kernels& kernels) {
  switch (path) {
    case FftPath::portable:
      kernels = portable_kernels();
      return true;
    case FftPath::sse2:
      return sse2_kernels(kernels);
    case FftPath::avx2:
      return processor_has_avx2() && avx2_kernels(kernels);
  }
  return false;
}

Dispatch& dispatch() {
  static Dispatch d = [] {
    Dispatch best{portable_kernels(), FftPath::portable};
    for (FftPath path : {FftPath::sse2, FftPath::avx2}) {
      Kernels k;
      if (kernels_of(path, k)) best = {k, path};
    }
    return best;
  }();
  return d;
}

}  // namespace

const Plan& plan_of(int n) {
  std::call_once(tables_made, make_tables);
  int j = 0;
  while ((1 << j) < n) ++j;
  return tables.plans[j];
}

float* work_area() {
  alignas(64) thread_local float area[max_transform];
  return area;
}

}  // namespace ma::fft

namespace ma {

FftPath fft_path() {
  return fft::dispatch().path;
}

bool fft_path_available(FftPath path) {
  fft::Kernels k;
  return fft::kernels_of(path, k);
}

bool set_fft_path(FftPath path) {
  fft::Kernels k;
  if (!fft::kernels_of(path, k)) return false;
  fft::dispatch() = {k, path};
  return true;
}

namespace {

// The length checks of the transforms: 20009 above max_transform, 20025 not
// a power of two.
bool length_ok(int n, const char* ident, int& status) {
  const int code = n > max_transform     ? status_too_long
                   : !is_power_of_two(n) ? status_not_power_of_two
                                         : 0;
  if (code != 0) io::fail(code, ident, status);
  return code == 0;
}

}  // namespace
}  // namespace ma

void MA_EXPNT(int n, int& status) {
  static const char ident[] = "Subroutine MA_EXPNT V0.1 ";
  if (!io::entry_ok(status, ident) || !ma::length_ok(n, ident, status)) return;
  ma::fft::plan_of(n);
}

void MA_FFA8(int n, float data[], int& status) {
  static const char ident[] = "Subroutine MA_FFA8 V0.1 ";
  if (!io::entry_ok(status, ident) || !ma::length_ok(n, ident, status)) return;
  ma::fft::dispatch().kernels.forward(ma::fft::plan_of(n), data, ma::fft::work_area());
}

void MA_FFS8(int n, float data[], int& status) {
  static const char ident[] = "Subroutine MA_FFS8 V0.1 ";
  if (!io::entry_ok(status, ident) || !ma::length_ok(n, ident, status)) return;
  ma::fft::dispatch().kernels.inverse(ma::fft::plan_of(n), data, ma::fft::work_area());
}

void MA_1DCROSSCORR(int adim, float a[], int bdim, int n, float b[], int& status) {
  static const char ident[] = "Subroutine MA_1DCROSSCORR V0.1 ";
  if (!io::entry_ok(status, ident)) return;
  if (adim < 1 || bdim < 1) {
    io::fail(ma::status_bad_xmaxdat, ident, status);
    return;
  }
  if (n > adim || n > bdim) {
    io::fail(ma::status_bad_xregion, ident, status);
    return;
  }
  if (n > ma::max_correlation) {
    io::fail(ma::status_too_long, ident, status);
    return;
  }
  if (!ma::is_power_of_two(n)) {
    io::fail(ma::status_not_power_of_two, ident, status);
    return;
  }
  const ma::fft::Plan& plan = ma::fft::plan_of(n);
  const ma::fft::Kernels& k = ma::fft::dispatch().kernels;
  float* work = ma::fft::work_area();
  k.forward(plan, a, work);
  if (b != a) k.forward(plan, b, work);  // the same array: transformed once
  // The division by n of the inverse is done in the product: n is a power
  // of two, so the result is the same to the last bit.
  k.conj_product(n, a, b, 1.0f / static_cast<float>(n));
  k.inverse(plan, b, work);
}

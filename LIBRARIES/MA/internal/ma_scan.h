// The range of the finite values of rows of data (not part of the public
// API). NaNs and infinities are left out: v + (v - v) is v for a finite v
// and NaN otherwise, and the minimum and maximum below pass NaN over.
#pragma once

#include <algorithm>
#include <limits>

#include "ma_internal.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ma {

// Widens low .. high by the finite values of `rows` rows of n values, the
// first at p, each `stride` values after the one before, with AVX2; false,
// with nothing done, where that path is not built.
bool avx2_finite_range(const float* p, long stride, int n, int rows, float& low, float& high);

struct FiniteRange {
  float low = std::numeric_limits<float>::infinity();
  float high = -std::numeric_limits<float>::infinity();

  // Whether a finite value has been seen.
  bool any() const { return low <= high; }

  void add(float v) {
    const float w = v + (v - v);
    if (w < low) low = w;
    if (w > high) high = w;
  }

  void add_row(const float* p, int n) {
    int i = 0;
#if defined(__SSE2__)
    if (n >= 8) {
      // Two pairs of running vectors keep the comparisons independent.
      __m128 lo0 = _mm_set1_ps(low), lo1 = lo0, hi0 = _mm_set1_ps(high), hi1 = hi0;
      for (; i + 8 <= n; i += 8) {
        const __m128 a = _mm_loadu_ps(p + i), b = _mm_loadu_ps(p + i + 4);
        const __m128 wa = _mm_add_ps(a, _mm_sub_ps(a, a)), wb = _mm_add_ps(b, _mm_sub_ps(b, b));
        // The second operand is kept when the first is NaN.
        lo0 = _mm_min_ps(wa, lo0);
        lo1 = _mm_min_ps(wb, lo1);
        hi0 = _mm_max_ps(wa, hi0);
        hi1 = _mm_max_ps(wb, hi1);
      }
      alignas(16) float lo[4], hi[4];
      _mm_store_ps(lo, _mm_min_ps(lo0, lo1));
      _mm_store_ps(hi, _mm_max_ps(hi0, hi1));
      for (int k = 0; k < 4; ++k) {
        low = std::min(low, lo[k]);
        high = std::max(high, hi[k]);
      }
    }
#endif
    for (; i < n; ++i) add(p[i]);
  }

  // The same over `rows` rows of n values, `stride` values apart; long rows
  // through AVX2 where the processor has it.
  void add_rows(const float* p, long stride, int n, int rows) {
    if (n >= 64 && processor_has_avx2() && avx2_finite_range(p, stride, n, rows, low, high)) return;
    for (int j = 0; j < rows; ++j) add_row(p + j * stride, n);
  }
};

}  // namespace ma

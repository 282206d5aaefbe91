// The AVX2 scan of a row for its finite range: eight values per vector,
// four vectors per step. Built with -mavx2 and entered only when the
// processor has it; it gives what the SSE2 and scalar scans give, since a
// minimum and a maximum do not round. No inline code of the other files is
// used here: built for AVX2, it could stand in for theirs at link time.

namespace ma {
bool avx2_finite_range(const float* p, long stride, int n, int rows, float& low, float& high);
}  // namespace ma

#if defined(__AVX2__)
#include <immintrin.h>

namespace ma {

bool avx2_finite_range(const float* p, long stride, int n, int rows, float& low, float& high) {
  __m256 lo[4], hi[4];
  for (int k = 0; k < 4; ++k) {
    lo[k] = _mm256_set1_ps(low);
    hi[k] = _mm256_set1_ps(high);
  }
  const int whole = n - n % 32;
  for (int j = 0; j < rows; ++j) {
    const float* row = p + j * stride;
    for (int i = 0; i < whole; i += 32) {
      for (int k = 0; k < 4; ++k) {
        const __m256 v = _mm256_loadu_ps(row + i + 8 * k);
        // v + (v - v) is v when v is finite and NaN otherwise; the minimum
        // and maximum keep their second operand when the first is NaN.
        const __m256 w = _mm256_add_ps(v, _mm256_sub_ps(v, v));
        lo[k] = _mm256_min_ps(w, lo[k]);
        hi[k] = _mm256_max_ps(w, hi[k]);
      }
    }
    for (int i = whole; i < n; ++i) {
      const float w = row[i] + (row[i] - row[i]);
      if (w < low) low = w;
      if (w > high) high = w;
    }
  }
  alignas(32) float l[8], h[8];
  _mm256_store_ps(l, _mm256_min_ps(_mm256_min_ps(lo[0], lo[1]), _mm256_min_ps(lo[2], lo[3])));
  _mm256_store_ps(h, _mm256_max_ps(_mm256_max_ps(hi[0], hi[1]), _mm256_max_ps(hi[2], hi[3])));
  for (int k = 0; k < 8; ++k) {
    if (l[k] < low) low = l[k];
    if (h[k] > high) high = h[k];
  }
  return true;
}

}  // namespace ma

#else

namespace ma {
bool avx2_finite_range(const float*, long, int, int, float&, float&) {
  return false;
}
}  // namespace ma

#endif

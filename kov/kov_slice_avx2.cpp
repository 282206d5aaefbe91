// The back-projection's inner loop built for AVX2 and FMA; entered only when
// the processor has both. Eight rays a step: the rays of one step meet the
// line within 15 samples of each other (at most two samples a pixel, seven
// pixels), so the 16 samples from the first one they use are loaded as two
// vectors and each ray's two samples picked from them by permutes, without
// a load of its own. The last rays of a row go through the plain loop; the
// caller's rows hold 16 readable reals past their last sample.
#include "kov_slice_kernel.h"

namespace kov::slice_kernel {
void avx2_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out);
}  // namespace kov::slice_kernel

#if defined(__AVX2__) && defined(__FMA__)
#include <immintrin.h>

#include <algorithm>
#include <cmath>

namespace kov::slice_kernel {
namespace {

// The samples at `index` (0 .. 15) of the 16 in `low` and `high`.
inline __m256 pick(__m256 low, __m256 high, __m256i index) {
  const __m256 from_low = _mm256_permutevar8x32_ps(low, index);
  const __m256 from_high = _mm256_permutevar8x32_ps(high, index);
  const __m256i in_high = _mm256_cmpgt_epi32(index, _mm256_set1_epi32(7));
  return _mm256_blendv_ps(from_low, from_high, _mm256_castsi256_ps(in_high));
}

}  // namespace

void avx2_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out) {
  const __m256 step = _mm256_set1_ps(c), start = _mm256_set1_ps(b);
  const __m256 lanes = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i top = _mm256_set1_epi32(15), one = _mm256_set1_epi32(1);
  int i = lo;
  for (; i + 7 <= hi; i += 8) {
    const __m256 index = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(i)), lanes);
    const __m256 t = _mm256_fmadd_ps(index, step, start);
    const __m256i k = _mm256_cvttps_epi32(t);
    const __m256 f = _mm256_sub_ps(t, _mm256_cvtepi32_ps(k));
    // The first sample of the step: at its first ray, or its last when the
    // rays go backwards.
    const int base = c >= 0.0f ? _mm256_cvtsi256_si32(k) : _mm256_extract_epi32(k, 7);
    const __m256 low = _mm256_loadu_ps(q + base), high = _mm256_loadu_ps(q + base + 8);
    const __m256i at = _mm256_min_epi32(_mm256_sub_epi32(k, _mm256_set1_epi32(base)), top);
    const __m256 v0 = pick(low, high, at);
    const __m256 v1 = pick(low, high, _mm256_min_epi32(_mm256_add_epi32(at, one), top));
    const __m256 value = _mm256_fmadd_ps(f, _mm256_sub_ps(v1, v0), v0);
    _mm256_storeu_ps(out + i, _mm256_add_ps(_mm256_loadu_ps(out + i), value));
  }
  accumulate_row(q, b, c, i, hi, out);
}

}  // namespace kov::slice_kernel

#else

namespace kov::slice_kernel {

void avx2_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out) {
  accumulate_row(q, b, c, lo, hi, out);
}

}  // namespace kov::slice_kernel

#endif

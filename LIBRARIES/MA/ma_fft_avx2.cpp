// The AVX2 instantiation of the transform kernels: four complex numbers per
// vector, complex products with fused multiply-add. This file is compiled
// with -mavx2 -mfma and is entered only when the processor has both.
#include "ma_fft_kernels.h"

#if defined(__AVX2__) && defined(__FMA__)
#include <immintrin.h>

namespace ma::fft {
namespace {

struct Avx2 {
  static constexpr int W = 4;
  using V = __m256;
  static V load(const float* p) { return _mm256_loadu_ps(p); }
  static void store(float* p, V v) { _mm256_storeu_ps(p, v); }
  static V bcast(const float* p) {
    double d;
    std::memcpy(&d, p, sizeof d);
    return _mm256_castpd_ps(_mm256_set1_pd(d));
  }
  static V splat(float f) { return _mm256_set1_ps(f); }
  static V add(V a, V b) { return _mm256_add_ps(a, b); }
  static V sub(V a, V b) { return _mm256_sub_ps(a, b); }
  static V scale(V a, V f) { return _mm256_mul_ps(a, f); }
  static V even_sign() { return _mm256_castsi256_ps(_mm256_set1_epi64x(0x80000000LL)); }
  static V odd_sign() { return _mm256_castsi256_ps(_mm256_set1_epi64x(INT64_MIN)); }
  static V swap(V a) { return _mm256_permute_ps(a, 0xB1); }
  // even lanes a wr - ai wi, odd lanes ai wr + ar wi
  static V mul(V a, V w) {
    return _mm256_fmaddsub_ps(a, _mm256_moveldup_ps(w),
                              _mm256_mul_ps(swap(a), _mm256_movehdup_ps(w)));
  }
  static V mulc(V a, V w) {
    return _mm256_fmsubadd_ps(a, _mm256_moveldup_ps(w),
                              _mm256_mul_ps(swap(a), _mm256_movehdup_ps(w)));
  }
  static V conj(V a) { return _mm256_xor_ps(a, odd_sign()); }
  static V neg_i(V a) { return _mm256_xor_ps(swap(a), odd_sign()); }
  static V pos_i(V a) { return _mm256_xor_ps(swap(a), even_sign()); }
  static V reverse(V a) {
    return _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(a), 0x1B));
  }
  // The 4 by 4 transposition of complex numbers (its own inverse).
  static void transpose(V& a, V& b, V& c, V& d) {
    const __m256d r0 = _mm256_castps_pd(a), r1 = _mm256_castps_pd(b);
    const __m256d r2 = _mm256_castps_pd(c), r3 = _mm256_castps_pd(d);
    const __m256d t0 = _mm256_unpacklo_pd(r0, r1), t1 = _mm256_unpackhi_pd(r0, r1);
    const __m256d t2 = _mm256_unpacklo_pd(r2, r3), t3 = _mm256_unpackhi_pd(r2, r3);
    a = _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x20));
    b = _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x20));
    c = _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x31));
    d = _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x31));
  }
  static void store4t(float* p, V a, V b, V c, V d) {
    transpose(a, b, c, d);
    store(p, a);
    store(p + 8, b);
    store(p + 16, c);
    store(p + 24, d);
  }
};

}  // namespace

bool avx2_kernels(Kernels& kernels) {
  kernels = Transform<Avx2>::kernels();
  return true;
}

}  // namespace ma::fft

#else

namespace ma::fft {
bool avx2_kernels(Kernels&) {
  return false;
}
}  // namespace ma::fft

#endif

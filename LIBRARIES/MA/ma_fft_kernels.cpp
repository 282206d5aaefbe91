// The portable and SSE2 instantiations of the transform kernels.
#include "ma_fft_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ma::fft {
namespace {

#if defined(__SSE2__)
// Two complex numbers per vector.
struct Sse2 {
  static constexpr int W = 2;
  using V = __m128;
  static V load(const float* p) { return _mm_loadu_ps(p); }
  static void store(float* p, V v) { _mm_storeu_ps(p, v); }
  static V bcast(const float* p) {
    double d;
    std::memcpy(&d, p, sizeof d);
    return _mm_castpd_ps(_mm_set1_pd(d));
  }
  static V splat(float f) { return _mm_set1_ps(f); }
  static V add(V a, V b) { return _mm_add_ps(a, b); }
  static V sub(V a, V b) { return _mm_sub_ps(a, b); }
  static V scale(V a, V f) { return _mm_mul_ps(a, f); }
  static V even_sign() { return _mm_castsi128_ps(_mm_set_epi32(0, INT32_MIN, 0, INT32_MIN)); }
  static V odd_sign() { return _mm_castsi128_ps(_mm_set_epi32(INT32_MIN, 0, INT32_MIN, 0)); }
  static V swap(V a) { return _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 3, 0, 1)); }
  static V mul(V a, V w) {
    const V wr = _mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 2, 0, 0));
    const V wi = _mm_shuffle_ps(w, w, _MM_SHUFFLE(3, 3, 1, 1));
    return _mm_add_ps(_mm_mul_ps(a, wr), _mm_xor_ps(_mm_mul_ps(swap(a), wi), even_sign()));
  }
  static V mulc(V a, V w) {
    const V wr = _mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 2, 0, 0));
    const V wi = _mm_shuffle_ps(w, w, _MM_SHUFFLE(3, 3, 1, 1));
    return _mm_add_ps(_mm_mul_ps(a, wr), _mm_xor_ps(_mm_mul_ps(swap(a), wi), odd_sign()));
  }
  static V conj(V a) { return _mm_xor_ps(a, odd_sign()); }
  static V neg_i(V a) { return _mm_xor_ps(swap(a), odd_sign()); }
  static V pos_i(V a) { return _mm_xor_ps(swap(a), even_sign()); }
  static V reverse(V a) { return _mm_shuffle_ps(a, a, _MM_SHUFFLE(1, 0, 3, 2)); }
  static void store4t(float* p, V a, V b, V c, V d) {
    store(p, _mm_movelh_ps(a, b));
    store(p + 4, _mm_movelh_ps(c, d));
    store(p + 8, _mm_movehl_ps(b, a));
    store(p + 12, _mm_movehl_ps(d, c));
  }
};
#endif

}  // namespace

Kernels portable_kernels() {
  return Transform<Scalar>::kernels();
}

bool sse2_kernels(Kernels& kernels) {
#if defined(__SSE2__)
  kernels = Transform<Sse2>::kernels();
  return true;
#else
  (void)kernels;
  return false;
#endif
}

}  // namespace ma::fft

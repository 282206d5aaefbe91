// The transform kernels, written once over a small vector vocabulary and
// compiled for each instruction set (portable and SSE2 in ma_fft_kernels.cpp,
// AVX2 in ma_fft_avx2.cpp, which is compiled with -mavx2 -mfma).
//
// A vector holds W complex numbers, real and imaginary parts interleaved, as
// the data lie in memory. Everything here has internal linkage: each file
// gets its own copy built for its own instruction set, so no function built
// for AVX2 can stand in for another at link time.
//
// The real transform of n = 2m samples is a complex transform of the m
// numbers z(k) = x(2k) + i x(2k+1) followed by a pass that separates the
// even and odd halves (and, for the inverse, the mirror of both). The
// complex transform is a Stockham one: each radix-4 pass (and a last radix-2
// pass when m is an odd power of two) reads one buffer and writes the other,
// so the result comes out in natural order without a bit-reversal pass.
#pragma once

#include <cstdint>
#include <cstring>

#include "ma_fft.h"

namespace ma::fft {
namespace {

// ---------------------------------------------------------------------------
// The portable vocabulary: one complex number per vector.
// ---------------------------------------------------------------------------
struct Scalar {
  static constexpr int W = 1;
  struct V {
    float re, im;
  };
  static V load(const float* p) { return {p[0], p[1]}; }
  static void store(float* p, V v) {
    p[0] = v.re;
    p[1] = v.im;
  }
  static V bcast(const float* p) { return load(p); }
  static V splat(float f) { return {f, f}; }
  static V add(V a, V b) { return {a.re + b.re, a.im + b.im}; }
  static V sub(V a, V b) { return {a.re - b.re, a.im - b.im}; }
  static V scale(V a, V f) { return {a.re * f.re, a.im * f.im}; }
  // a w and a conj(w).
  static V mul(V a, V w) { return {a.re * w.re - a.im * w.im, a.im * w.re + a.re * w.im}; }
  static V mulc(V a, V w) { return {a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im}; }
  static V conj(V a) { return {a.re, -a.im}; }
  static V neg_i(V a) { return {a.im, -a.re}; }  // -i a
  static V pos_i(V a) { return {-a.im, a.re}; }  // +i a
  static V reverse(V a) { return a; }
  // a(l), b(l), c(l), d(l) to the 4W consecutive numbers e(4l), e(4l+1),
  // e(4l+2), e(4l+3), l < W.
  static void store4t(float* p, V a, V b, V c, V d) {
    store(p, a);
    store(p + 2, b);
    store(p + 4, c);
    store(p + 6, d);
  }
};

// ---------------------------------------------------------------------------
// The transform, for one vocabulary S.
// ---------------------------------------------------------------------------
template <class S>
struct Transform {
  using V = typename S::V;
  static constexpr int W = S::W;

  // One radix-4 butterfly; the twiddles of outputs 1, 2 and 3 are w1, w2, w3
  // (conjugated for the inverse).
  template <bool Inverse, class T>
  static inline void butterfly(typename T::V a, typename T::V b, typename T::V c, typename T::V d,
                               typename T::V w1, typename T::V w2, typename T::V w3,
                               typename T::V& y0, typename T::V& y1, typename T::V& y2,
                               typename T::V& y3) {
    const auto apc = T::add(a, c), amc = T::sub(a, c);
    const auto bpd = T::add(b, d), bmd = T::sub(b, d);
    // Forward: (a - c) - i (b - d) for output 1; the inverse turns i about.
    const auto jb = Inverse ? T::pos_i(bmd) : T::neg_i(bmd);
    y0 = T::add(apc, bpd);
    if constexpr (Inverse) {
      y1 = T::mulc(T::add(amc, jb), w1);
      y2 = T::mulc(T::sub(apc, bpd), w2);
      y3 = T::mulc(T::sub(amc, jb), w3);
    } else {
      y1 = T::mul(T::add(amc, jb), w1);
      y2 = T::mul(T::sub(apc, bpd), w2);
      y3 = T::mul(T::sub(amc, jb), w3);
    }
  }

  // A radix-4 pass of length L and stride s (L s = m): for p < L/4, q < s,
  //   y(q + s(4p + r)) = w^(rp) sum over t of x(q + s(p + tL/4)) (-i)^(rt),
  // w = exp(-2 pi i / L). `tw` holds w^p, w^2p and w^3p, each for p < L/4.
  template <bool Inverse>
  static void pass4(int L, int s, const float* x, float* y, const float* tw) {
    const int L4 = L / 4;
    const float* tw1 = tw;
    const float* tw2 = tw + 2 * L4;
    const float* tw3 = tw + 4 * L4;
    const int quarter = 2 * s * L4;  // floats between the four inputs
    if (s == 1) {
      // Consecutive p share a vector: inputs in order, outputs transposed.
      int p = 0;
      if constexpr (W > 1) {
        for (; p + W <= L4; p += W) {
          const float* xp = x + 2 * p;
          V y0, y1, y2, y3;
          butterfly<Inverse, S>(S::load(xp), S::load(xp + quarter), S::load(xp + 2 * quarter),
                                S::load(xp + 3 * quarter), S::load(tw1 + 2 * p),
                                S::load(tw2 + 2 * p), S::load(tw3 + 2 * p), y0, y1, y2, y3);
          S::store4t(y + 8 * p, y0, y1, y2, y3);
        }
      }
      for (; p < L4; ++p) {
        const float* xp = x + 2 * p;
        Scalar::V y0, y1, y2, y3;
        butterfly<Inverse, Scalar>(Scalar::load(xp), Scalar::load(xp + quarter),
                                   Scalar::load(xp + 2 * quarter), Scalar::load(xp + 3 * quarter),
                                   Scalar::load(tw1 + 2 * p), Scalar::load(tw2 + 2 * p),
                                   Scalar::load(tw3 + 2 * p), y0, y1, y2, y3);
        Scalar::store4t(y + 8 * p, y0, y1, y2, y3);
      }
      return;
    }
    for (int p = 0; p < L4; ++p) {
      const float* xp = x + 2 * s * p;
      float* yp = y + 8 * s * p;
      int q = 0;
      if constexpr (W > 1) {
        const V w1 = S::bcast(tw1 + 2 * p), w2 = S::bcast(tw2 + 2 * p), w3 = S::bcast(tw3 + 2 * p);
        for (; q + W <= s; q += W) {
          const float* xq = xp + 2 * q;
          float* yq = yp + 2 * q;
          V y0, y1, y2, y3;
          butterfly<Inverse, S>(S::load(xq), S::load(xq + quarter), S::load(xq + 2 * quarter),
                                S::load(xq + 3 * quarter), w1, w2, w3, y0, y1, y2, y3);
          S::store(yq, y0);
          S::store(yq + 2 * s, y1);
          S::store(yq + 4 * s, y2);
          S::store(yq + 6 * s, y3);
        }
      }
      const Scalar::V w1 = Scalar::load(tw1 + 2 * p), w2 = Scalar::load(tw2 + 2 * p),
                      w3 = Scalar::load(tw3 + 2 * p);
      for (; q < s; ++q) {
        const float* xq = xp + 2 * q;
        float* yq = yp + 2 * q;
        Scalar::V y0, y1, y2, y3;
        butterfly<Inverse, Scalar>(Scalar::load(xq), Scalar::load(xq + quarter),
                                   Scalar::load(xq + 2 * quarter), Scalar::load(xq + 3 * quarter),
                                   w1, w2, w3, y0, y1, y2, y3);
        Scalar::store(yq, y0);
        Scalar::store(yq + 2 * s, y1);
        Scalar::store(yq + 4 * s, y2);
        Scalar::store(yq + 6 * s, y3);
      }
    }
  }

  // The last radix-2 pass (L = 2, stride s = m/2, no twiddles).
  static void pass2(int s, const float* x, float* y) {
    int q = 0;
    if constexpr (W > 1) {
      for (; q + W <= s; q += W) {
        const V a = S::load(x + 2 * q), b = S::load(x + 2 * (q + s));
        S::store(y + 2 * q, S::add(a, b));
        S::store(y + 2 * (q + s), S::sub(a, b));
      }
    }
    for (; q < s; ++q) {
      const Scalar::V a = Scalar::load(x + 2 * q), b = Scalar::load(x + 2 * (q + s));
      Scalar::store(y + 2 * q, Scalar::add(a, b));
      Scalar::store(y + 2 * (q + s), Scalar::sub(a, b));
    }
  }

  // The complex transform of plan.m numbers in `src`; the passes alternate
  // between `src` and `other`. Returns the buffer that holds the result:
  // `src` after an even number of passes, `other` after an odd one.
  template <bool Inverse>
  static float* complex_passes(const Plan& plan, float* src, float* other) {
    float* dst = other;
    int s = 1;
    for (int i = 0; i < plan.radix4; ++i) {
      pass4<Inverse>(plan.m / s, s, src, dst, plan.twiddles[i]);
      s *= 4;
      float* t = src;
      src = dst;
      dst = t;
    }
    if (plan.radix2) {
      pass2(s, src, dst);
      src = dst;
    }
    return src;
  }

  // Separation of the forward transform: Z(k) in z into the packed X in x
  // (z may be x). With E = (Z(k) + conj Z(m-k)) / 2 and
  // W O = (Z(k) - conj Z(m-k)) (-i/2) exp(-2 pi i k / n) = t(k) d:
  //   X(k) = E + W O,  X(m-k) = conj(E - W O).
  static void separate(const Plan& plan, const float* z, float* x) {
    const int m = plan.m;
    const float* t = plan.post;
    const float z0r = z[0], z0i = z[1];
    if (m == 1) {
      x[0] = z0r + z0i;
      x[1] = z0r - z0i;
      return;
    }
    const int half = m / 2;
    int k = 1;
    if constexpr (W > 1) {
      const V h = S::splat(0.5f);
      for (; k + W <= half; k += W) {
        const int mk = m - k - (W - 1);  // first of the mirrored block
        const V zk = S::load(z + 2 * k);
        const V zm = S::conj(S::reverse(S::load(z + 2 * mk)));
        const V e = S::scale(S::add(zk, zm), h);
        const V wo = S::mul(S::sub(zk, zm), S::load(t + 2 * k));
        S::store(x + 2 * k, S::add(e, wo));
        S::store(x + 2 * mk, S::reverse(S::conj(S::sub(e, wo))));
      }
    }
    const Scalar::V h = Scalar::splat(0.5f);
    for (; k < half; ++k) {
      const Scalar::V zk = Scalar::load(z + 2 * k);
      const Scalar::V zm = Scalar::conj(Scalar::load(z + 2 * (m - k)));
      const Scalar::V e = Scalar::scale(Scalar::add(zk, zm), h);
      const Scalar::V wo = Scalar::mul(Scalar::sub(zk, zm), Scalar::load(t + 2 * k));
      Scalar::store(x + 2 * k, Scalar::add(e, wo));
      Scalar::store(x + 2 * (m - k), Scalar::conj(Scalar::sub(e, wo)));
    }
    // X(m/2) = conj Z(m/2); X(0) and X(m) share the first two elements.
    x[2 * half] = z[2 * half];
    x[2 * half + 1] = -z[2 * half + 1];
    x[0] = z0r + z0i;
    x[1] = z0r - z0i;
  }

  // The inverse of separate, times 2: the packed X in x into 2 Z in z (z
  // may be x). With s = X(k) + conj X(m-k) and d = X(k) - conj X(m-k):
  //   2 Z(k) = s + 2 conj(t(k)) d,  2 Z(m-k) = conj(s - 2 conj(t(k)) d).
  static void combine(const Plan& plan, const float* x, float* z) {
    const int m = plan.m;
    const float* t = plan.post;
    const float x0 = x[0], xm = x[1];
    if (m > 1) {
      const int half = m / 2;
      int k = 1;
      if constexpr (W > 1) {
        for (; k + W <= half; k += W) {
          const int mk = m - k - (W - 1);
          const V xk = S::load(x + 2 * k);
          const V xr = S::conj(S::reverse(S::load(x + 2 * mk)));
          const V sum = S::add(xk, xr);
          const V u = S::mulc(S::sub(xk, xr), S::load(t + 2 * k));
          const V u2 = S::add(u, u);
          S::store(z + 2 * k, S::add(sum, u2));
          S::store(z + 2 * mk, S::reverse(S::conj(S::sub(sum, u2))));
        }
      }
      for (; k < half; ++k) {
        const Scalar::V xk = Scalar::load(x + 2 * k);
        const Scalar::V xr = Scalar::conj(Scalar::load(x + 2 * (m - k)));
        const Scalar::V sum = Scalar::add(xk, xr);
        const Scalar::V u = Scalar::mulc(Scalar::sub(xk, xr), Scalar::load(t + 2 * k));
        const Scalar::V u2 = Scalar::add(u, u);
        Scalar::store(z + 2 * k, Scalar::add(sum, u2));
        Scalar::store(z + 2 * (m - k), Scalar::conj(Scalar::sub(sum, u2)));
      }
      z[2 * half] = 2.0f * x[2 * half];
      z[2 * half + 1] = -2.0f * x[2 * half + 1];
    }
    z[0] = x0 + xm;
    z[1] = x0 - xm;
  }

  static void forward(const Plan& plan, float* data, float* work) {
    if (plan.n < 2) return;
    separate(plan, complex_passes<false>(plan, data, work), data);
  }

  // The passes start in the buffer that makes them end in `data`.
  static void inverse(const Plan& plan, float* data, float* work) {
    if (plan.n < 2) return;
    float* start = plan.passes % 2 == 0 ? data : work;
    combine(plan, data, start);
    complex_passes<true>(plan, start, start == data ? work : data);
  }

  // b = conj(a) b scale, in the packed layout of n reals.
  static void conj_product(int n, const float* a, float* b, float scale) {
    b[0] = a[0] * b[0] * scale;
    if (n < 2) return;
    b[1] = a[1] * b[1] * scale;
    const int m = n / 2;
    int k = 1;
    if constexpr (W > 1) {
      const V f = S::splat(scale);
      for (; k + W <= m; k += W)
        S::store(b + 2 * k, S::scale(S::mulc(S::load(b + 2 * k), S::load(a + 2 * k)), f));
    }
    const Scalar::V f = Scalar::splat(scale);
    for (; k < m; ++k)
      Scalar::store(
          b + 2 * k,
          Scalar::scale(Scalar::mulc(Scalar::load(b + 2 * k), Scalar::load(a + 2 * k)), f));
  }

  static constexpr Kernels kernels() { return {&forward, &inverse, &conj_product}; }
};

}  // namespace
}  // namespace ma::fft

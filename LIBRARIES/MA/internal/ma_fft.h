// Internal interface of the real transform (not part of the public API): the
// plan of one length and the kernels of one instruction set.
#pragma once

namespace ma::fft {

// How a real transform of n samples (n a power of two) is done: a complex
// transform of m = n/2 numbers in `radix4` radix-4 passes (pass i of length
// m / 4^i, stride 4^i) and, when m is an odd power of two, a last radix-2
// pass; then the separation of the even and odd halves.
struct Plan {
  int n = 0;
  int m = 0;
  int radix4 = 0;
  bool radix2 = false;
  int passes = 0;
  // Pass i: w^p, w^2p, w^3p for p < L/4 (L the pass length, w = exp(-2 pi i / L)),
  // one block after the other, complex numbers interleaved.
  const float* twiddles[8] = {};
  // t(k) = (-i/2) exp(-2 pi i k / n) for k = 0 .. m/2.
  const float* post = nullptr;
};

// The plan of length n, a power of two from 1 to max_transform; the tables
// of every length are made together on the first call.
const Plan& plan_of(int n);

// A work area of max_transform reals, one per thread.
float* work_area();

// The kernels of one instruction set.
struct Kernels {
  // In place, in the packed layout; `work` holds n reals.
  void (*forward)(const Plan& plan, float* data, float* work);
  void (*inverse)(const Plan& plan, float* data, float* work);
  // b = conj(a) b scale, packed layout of n reals.
  void (*conj_product)(int n, const float* a, float* b, float scale);
};

Kernels portable_kernels();
// False when the build has no such kernels (another processor family).
bool sse2_kernels(Kernels& kernels);
bool avx2_kernels(Kernels& kernels);

}  // namespace ma::fft

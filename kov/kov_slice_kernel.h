// The inner loop of the back-projection, compiled twice: for the baseline
// processor (kov_slice.cpp) and with AVX2 and FMA (kov_slice_avx2.cpp),
// which is entered only when the processor has both. Internal linkage in
// each file, so that the two versions never stand in for each other.
#pragma once

namespace kov::slice_kernel {

// The rays of one angle through one row of the slice: out[i] += the value
// of the filtered row `q` at t = b + i * c (0-based samples, pixel k's
// centre at k), linearly interpolated, for i = lo .. hi. The caller keeps t
// within -1 .. width + 1 of a row padded on both sides; the conversion to
// an integer truncates, which is the floor for every t at or above 0, and a
// sample within one of either end only extrapolates its neighbours' line.
static inline void accumulate_row(const float* __restrict q, float b, float c, int lo, int hi,
                                  float* __restrict out) {
  for (int i = lo; i <= hi; ++i) {
    const float t = b + static_cast<float>(i) * c;
    const int k = static_cast<int>(t);
    const float f = t - static_cast<float>(k);
    const float v0 = q[k];
    out[i] += v0 + f * (q[k + 1] - v0);
  }
}

}  // namespace kov::slice_kernel

// The back-projection's inner loop built for AVX2 and FMA (eight rays a
// vector, the filtered row's samples gathered); entered only when the
// processor has both.
#include "kov_slice_kernel.h"

namespace kov::slice_kernel {
void avx2_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out);
}  // namespace kov::slice_kernel

namespace kov::slice_kernel {

void avx2_accumulate_row(const float* q, float b, float c, int lo, int hi, float* out) {
  accumulate_row(q, b, c, lo, hi, out);
}

}  // namespace kov::slice_kernel

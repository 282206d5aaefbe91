// The test switch of malib (for tests and benchmarks, not the program):
// which code computes the transforms.
#pragma once

namespace ma {

// On x86-64 the SSE2 path is always there and the AVX2 path (with fused
// multiply-add) is chosen at run time when the processor has it; the
// portable path is plain C++ and is the one other processors use. All give
// the same results to rounding.
enum class FftPath { portable, sse2, avx2 };

// The path in use (the fastest the processor has, unless set).
FftPath fft_path();
// Whether the processor can run `path`.
bool fft_path_available(FftPath path);
// Uses `path` from now on; false, changing nothing, when it is not available.
bool set_fft_path(FftPath path);

}  // namespace ma

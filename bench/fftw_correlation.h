// The reference of the correlation benchmarks: the circular
// cross-correlation of two real buffers of n on FFTW in single precision, as
// MA_1DCROSSCORR computes it (r2c of both, conj(A) B / n over the n/2 + 1
// terms, c2r into the second buffer). Plans are made once, with
// FFTW_MEASURE or FFTW_PATIENT.
#pragma once

#include <fftw3.h>

class FftwCorrelation {
 public:
  FftwCorrelation(int n, bool patient)
      : n_(n),
        a_(fftwf_alloc_real(static_cast<std::size_t>(n))),
        b_(fftwf_alloc_real(static_cast<std::size_t>(n))),
        fa_(fftwf_alloc_complex(static_cast<std::size_t>(n / 2 + 1))),
        fb_(fftwf_alloc_complex(static_cast<std::size_t>(n / 2 + 1))) {
    const unsigned flags = patient ? FFTW_PATIENT : FFTW_MEASURE;
    pa_ = fftwf_plan_dft_r2c_1d(n, a_, fa_, flags);
    pb_ = fftwf_plan_dft_r2c_1d(n, b_, fb_, flags);
    pi_ = fftwf_plan_dft_c2r_1d(n, fb_, b_, flags);
  }
  ~FftwCorrelation() {
    fftwf_destroy_plan(pa_);
    fftwf_destroy_plan(pb_);
    fftwf_destroy_plan(pi_);
    fftwf_free(a_);
    fftwf_free(b_);
    fftwf_free(fa_);
    fftwf_free(fb_);
  }
  FftwCorrelation(const FftwCorrelation&) = delete;
  FftwCorrelation& operator=(const FftwCorrelation&) = delete;

  // The two buffers: fill both, correlate, read the result in b().
  float* a() { return a_; }
  float* b() { return b_; }

  void correlate() {
    fftwf_execute(pa_);
    fftwf_execute(pb_);
    const float scale = 1.0f / static_cast<float>(n_);
    for (int k = 0; k <= n_ / 2; ++k) {
      const float ar = fa_[k][0], ai = fa_[k][1], br = fb_[k][0], bi = fb_[k][1];
      fb_[k][0] = (ar * br + ai * bi) * scale;
      fb_[k][1] = (ar * bi - ai * br) * scale;
    }
    fftwf_execute(pi_);
  }

 private:
  int n_;
  float* a_;
  float* b_;
  fftwf_complex* fa_;
  fftwf_complex* fb_;
  fftwf_plan pa_, pb_, pi_;
};

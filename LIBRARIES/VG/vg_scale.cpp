// The scaling of real data onto colour indices (see vg_scale.h).
#include "vg_scale.h"

#include <algorithm>
#include <cmath>

// The linear scale has a wide path on x86 processors that have it.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KOV_VG_WIDE 1
#endif

namespace vg {

namespace {

#ifdef KOV_VG_WIDE
// Whether the processor (and the system) has the 256-bit integer and gather
// instructions.
bool wide() {
  static const bool supported = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return supported;
}

// The linear scale of a row, 8 pixels at a time: the same single-precision
// operations as IndexScale::index (max and min take their second operand for
// a value that is not a number, as the comparisons there do), the pixel
// values gathered from the table (table[0] is the pixel of the first index).
__attribute__((target("avx2"))) void linear_row_wide(const float* values, const int* columns, int w,
                                                     float low, float factor, float top,
                                                     const std::uint32_t* table,
                                                     std::uint32_t* out) {
  const __m256 low8 = _mm256_set1_ps(low), factor8 = _mm256_set1_ps(factor);
  const __m256 top8 = _mm256_set1_ps(top), zero8 = _mm256_setzero_ps();
  const int* pixels = reinterpret_cast<const int*>(table);
  int c = 0;
  for (; c + 8 <= w; c += 8) {
    // Eight loads gather the samples faster than the gather instruction.
    const int* k = columns + c;
    const __m256 v = _mm256_setr_ps(values[k[0]], values[k[1]], values[k[2]], values[k[3]],
                                    values[k[4]], values[k[5]], values[k[6]], values[k[7]]);
    __m256 t = _mm256_mul_ps(_mm256_sub_ps(v, low8), factor8);
    t = _mm256_min_ps(_mm256_max_ps(t, zero8), top8);
    const __m256i p = _mm256_i32gather_epi32(pixels, _mm256_cvttps_epi32(t), 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c), p);
  }
  for (; c < w; ++c) {
    float t = (values[columns[c]] - low) * factor;
    t = t > 0.0f ? t : 0.0f;
    t = t < top ? t : top;
    out[c] = table[static_cast<int>(t)];
  }
}
#endif

}  // namespace

bool IndexScale::set(float low, float high, bool logarithmic, int first, int last) {
  if (!std::isfinite(low) || !std::isfinite(high) || high < low || first > last) return false;
  if (logarithmic && !(low > 0.0f)) return false;
  valid_ = false;
  low_ = low;
  high_ = high;
  log_ = logarithmic;
  first_ = first;
  last_ = last;
  threshold_ = !(high > low);
  steps_.clear();
  buckets_.clear();
  if (logarithmic) {
    set_logarithmic();
  } else {
    set_linear();
  }
  valid_ = true;
  return true;
}

void IndexScale::set_linear() {
  const double levels = static_cast<double>(last_ - first_ + 1);
  factor_ = threshold_ ? 0.0 : levels / (static_cast<double>(high_) - static_cast<double>(low_));
  // A range narrower than the float resolution gives an infinite factor,
  // which still puts values at or below low first and above it last.
  linear_factor_ = static_cast<float>(factor_);
  top_ = static_cast<float>(last_ - first_);
}

void IndexScale::set_logarithmic() {
  if (threshold_) return;  // index() settles an empty range without tables
  const double levels = static_cast<double>(last_ - first_ + 1);
  base_ = std::log10(static_cast<double>(low_));
  factor_ = levels / (std::log10(static_cast<double>(high_)) - base_);
  if (!std::isfinite(factor_) || !(factor_ > 0.0)) {
    // Two values too close for the logarithm to part them: a threshold too.
    threshold_ = true;
    return;
  }
  make_steps();
  make_buckets();
}

// Step values: steps_[k] is the smallest float whose index is first + k.
void IndexScale::make_steps() {
  const float low = low_, high = high_;
  const int first = first_, last = last_;
  steps_.assign(static_cast<std::size_t>(last - first + 2), high);
  for (int k = 1; k <= last - first; ++k) {
    float v = static_cast<float>(std::pow(10.0, base_ + k / factor_));
    v = std::clamp(v, low, high);
    for (int i = 0; i < 64 && direct(v) < first + k && v < high; ++i) v = std::nextafter(v, high);
    for (int i = 0; i < 64 && v > low && direct(std::nextafter(v, low)) >= first + k; ++i) {
      v = std::nextafter(v, low);
    }
    steps_[static_cast<std::size_t>(k)] = v;
  }
}

// Buckets fine enough that few hold a step, each with the index of its
// smallest value.
void IndexScale::make_buckets() {
  const float low = low_, high = high_;
  const int first = first_, last = last_;
  shift_ = 8;
  while (shift_ < 23 && (key(high) - key(low)) > static_cast<std::uint32_t>(max_buckets)) ++shift_;
  key_low_ = key(low);
  const std::uint32_t key_high = key(high);
  buckets_.resize(key_high - key_low_ + 1);
  int index = first;
  for (std::uint32_t k = key_low_; k <= key_high; ++k) {
    const float smallest = std::max(low, std::bit_cast<float>(k << shift_));
    while (index < last && smallest >= steps_[static_cast<std::size_t>(index - first + 1)]) ++index;
    buckets_[k - key_low_] = static_cast<std::uint8_t>(index);
  }
  single_step_ = true;
  for (int k = 1; k < last - first && single_step_; ++k) {
    single_step_ =
        key(steps_[static_cast<std::size_t>(k)]) != key(steps_[static_cast<std::size_t>(k + 1)]);
  }
}

int IndexScale::direct(float v) const {
  if (v >= high_) return last_;
  if (!(v > low_)) return first_;
  const int offset = static_cast<int>((std::log10(static_cast<double>(v)) - base_) * factor_);
  return std::min(last_, first_ + std::max(0, offset));
}

void IndexScale::row(const float* values, const int* columns, int w, const std::uint32_t* table,
                     std::uint32_t* out) const {
  if (!log_ && !threshold_) {
#ifdef KOV_VG_WIDE
    if (wide()) {
      linear_row_wide(values, columns, w, low_, linear_factor_, top_, table + first_, out);
      return;
    }
#endif
    // Locals: the stores to `out` might otherwise be taken to change them.
    const float low = low_, factor = linear_factor_, top = top_;
    const std::uint32_t* pixels = table + first_;
    for (int c = 0; c < w; ++c) {
      float t = (values[columns[c]] - low) * factor;
      t = t > 0.0f ? t : 0.0f;  // below low, and not a number
      t = t < top ? t : top;
      out[c] = pixels[static_cast<int>(t)];
    }
    return;
  }
  if (threshold_ || !single_step_) {
    for (int c = 0; c < w; ++c) out[c] = table[index(values[columns[c]])];
    return;
  }
  const float low = low_, high = high_;
  const int first = first_, last = last_, shift = shift_;
  const std::uint32_t key_low = key_low_;
  const std::uint8_t* buckets = buckets_.data();
  const float* steps = steps_.data() - first + 1;  // steps[i] starts index i
  for (int c = 0; c < w; ++c) {
    const float v = values[columns[c]];
    int index;
    if (v >= high) {
      index = last;
    } else if (!(v > low)) {
      index = first;
    } else {
      index = buckets[(std::bit_cast<std::uint32_t>(v) >> shift) - key_low];
      index += v >= steps[index] ? 1 : 0;
    }
    out[c] = table[index];
  }
}

}  // namespace vg

// The one scaling of real data onto a range of colour indices, shared by the
// device core, the window device (its images and its spyglass) and the
// PostScript device, so that one value gives one index wherever it is drawn.
//
// Internal to vglib: no console output here; a device that is refused a range
// writes unusable_range_message() itself.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace vg {

// Whether two reals are the same to the bit: the test of the caches that keep
// tables for the next image of the same range or geometry.
inline bool same_bits(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// Colour index of real data between low and high on first .. last:
// - at or above high: last; otherwise at or below low (or not a number):
//   first. An empty range (low equal to high) is thus a threshold: values
//   from low up take last, values below it take first;
// - linear: in between the index grows by one every (high - low) / levels,
//   levels = last - first + 1, reckoned in single precision exactly as
//   index() writes it (the row routine gives the same, 8 pixels at a time on
//   processors that can);
// - logarithmic: one index every log10(high / low) / levels decades, the step
//   values found once in double precision, so that no logarithm is taken per
//   pixel: the positive floats are cut into buckets by the top bits of their
//   representation (at most 65536 over the range); each bucket knows the
//   index of its smallest value, and a bucket that holds a step to the next
//   index is settled by comparing with the exact step value.
// A range is unusable when low or high is not finite, high is below low, or
// with logarithmic scaling low is not above 0.
class IndexScale {
 public:
  static constexpr int max_buckets = 65536;

  // False (and the scale unchanged) when the range is unusable.
  bool set(float low, float high, bool logarithmic, int first, int last);

  // Whether set() was last given exactly these arguments (the tables can be
  // kept for the next image of the same range).
  bool same(float low, float high, bool logarithmic, int first, int last) const {
    return valid_ && same_bits(low, low_) && same_bits(high, high_) && logarithmic == log_ &&
           first == first_ && last == last_;
  }
  bool valid() const { return valid_; }
  bool logarithmic() const { return log_; }

  int index(float v) const {
    if (!log_) {
      if (threshold_) return v >= low_ ? last_ : first_;
      float t = (v - low_) * linear_factor_;
      t = t > 0.0f ? t : 0.0f;  // below low, and not a number
      t = t < top_ ? t : top_;
      return first_ + static_cast<int>(t);
    }
    if (v >= high_) return last_;
    if (!(v > low_)) return first_;
    int index = buckets_[key(v) - key_low_];
    while (index < last_ && v >= steps_[static_cast<std::size_t>(index - first_ + 1)]) ++index;
    return index;
  }

  // A row of pixels: out[c] = table[index(values[columns[c]])], `table`
  // indexed by colour index.
  void row(const float* values, const int* columns, int count, const std::uint32_t* table,
           std::uint32_t* out) const;

 private:
  std::uint32_t key(float v) const { return std::bit_cast<std::uint32_t>(v) >> shift_; }
  // The logarithmic index by the formula itself.
  int direct(float v) const;
  // The parts of set().
  void set_linear();
  void set_logarithmic();
  void make_steps();
  void make_buckets();

  bool valid_ = false;
  float low_ = 0.0f, high_ = 1.0f;
  bool log_ = false;
  bool threshold_ = false;  // linear scaling of an empty range
  int first_ = 0, last_ = 255;
  double factor_ = 1.0, base_ = 0.0;
  float linear_factor_ = 1.0f, top_ = 255.0f;
  int shift_ = 16;
  bool single_step_ = false;  // no bucket holds two steps
  std::vector<float> steps_;  // steps_[k]: the smallest value of index first + k
  std::vector<std::uint8_t> buckets_;
  std::uint32_t key_low_ = 0;
};

// The console line of a device refused a range.
inline const char* unusable_range_message(bool logarithmic) {
  return logarithmic ? "ERROR: Log scaling range unacceptable"
                     : "ERROR: Scaling range unacceptable";
}

}  // namespace vg

// Ranges and values for the tests that the scaling of real data onto colour
// indices gives one index for one value on every path (the core's scale, the
// window's images and spyglass, the PostScript file).
#pragma once

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace scaletest {

struct Range {
  std::string what;
  float low, high;
  bool logarithmic;
};

inline std::vector<Range> ranges() {
  return {{"linear", 0.0f, 10.0f, false},
          {"linear, negative low", -3.7f, 12345.6f, false},
          {"linear, empty", 5.0f, 5.0f, false},
          {"logarithmic", 1.0f, 1000.0f, true},
          {"logarithmic, empty", 5.0f, 5.0f, true}};
}

// Fifteen values about a range on the indices first .. last: below it, its
// ends and their neighbours, the first, middle and last steps with their
// neighbours, far above it, not a number and the infinities.
inline std::vector<float> values_about(const Range& r, int first, int last) {
  const int levels = last - first + 1;
  const auto step = [&](int k) {
    if (r.logarithmic) {
      return static_cast<float>(
          r.low * std::pow(static_cast<double>(r.high) / r.low, static_cast<double>(k) / levels));
    }
    return static_cast<float>(r.low + (static_cast<double>(r.high) - r.low) * k / levels);
  };
  const float inf = std::numeric_limits<float>::infinity();
  return {r.logarithmic ? r.low / 2.0f : r.low - 1.0f,
          r.low,
          std::nextafter(r.low, inf),
          std::nextafter(step(1), -inf),
          step(1),
          std::nextafter(step(levels / 2), -inf),
          step(levels / 2),
          step(levels - 1),
          std::nextafter(r.high, -inf),
          r.high,
          std::nextafter(r.high, inf),
          r.high * 2.0f + 1.0f,
          std::numeric_limits<float>::quiet_NaN(),
          inf,
          -inf};
}

}  // namespace scaletest

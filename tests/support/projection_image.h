// A projection-like test image: a cylinder with an inner rod under X-rays
// (transmitted intensity, dark where the path through the sample is long),
// a gentle vertical shading, and a few hot pixels that must not wash out a
// robust display range. Values from about 300 to 4000; hot pixels 65535.
// Shared by the display tests and the display benchmark.
#pragma once

#include <cmath>
#include <vector>

namespace kovtest {

inline std::vector<float> projection_image(int nx, int ny) {
  std::vector<float> v(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
  const double cx = 0.5 * nx, r = 0.3 * nx, rod_x = 0.6 * nx, rod_r = 0.05 * nx;
  for (int j = 0; j < ny; ++j) {
    const double shade = 1.0 + 0.08 * std::sin(6.2831853 * j / ny);
    for (int i = 0; i < nx; ++i) {
      const double dx = i + 0.5 - cx, dr = i + 0.5 - rod_x;
      const double chord = dx * dx < r * r ? 2.0 * std::sqrt(r * r - dx * dx) : 0.0;
      const double rod = dr * dr < rod_r * rod_r ? 2.0 * std::sqrt(rod_r * rod_r - dr * dr) : 0.0;
      const double thickness = (chord + 4.0 * rod) / nx;
      v[static_cast<std::size_t>(j) * nx + i] =
          static_cast<float>(300.0 + 3700.0 * std::exp(-2.5 * thickness) * shade);
    }
  }
  for (std::size_t k = 7; k < v.size(); k += 10007) v[k] = 65535.0f;
  return v;
}

}  // namespace kovtest

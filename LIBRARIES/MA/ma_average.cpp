// MA_AVERAGE: the mean of a region of a 2-D array.
#include <cmath>

#include "ma_internal.h"

namespace {

// s + c = s + c + a exactly (Knuth's two-sum: the rounding error of the
// double sum goes into c).
inline void two_sum(double& s, double& c, double a) {
  const double t = s + a;
  const double b = t - s;
  c += (s - (t - b)) + (a - b);
  s = t;
}

}  // namespace

void MA_AVERAGE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                float& average, int& status) {
  static const char ident[] = "Subroutine MA_AVERAGE V0.1 ";
  if (!io::entry_ok(status, ident) ||
      !ma::region_ok(data, xstrelm, ystrelm, xendelm, yendelm, ident, status))
    return;
  // Row by row in extended precision: four running double sums, each with
  // the running sum of its rounding errors, hold about 100 significant
  // bits; the rows are added in long double. (The four independent lanes
  // let the compiler use vector instructions, which the x87 sums of long
  // doubles cannot.)
  long double sum = 0.0L;
  const int width = xendelm - xstrelm + 1;
  for (int y = ystrelm; y <= yendelm; ++y) {
    const float* row = &data(xstrelm, y);
    double s[4] = {}, c[4] = {};
    int x = 0;
    for (; x + 4 <= width; x += 4)
      for (int k = 0; k < 4; ++k) two_sum(s[k], c[k], row[x + k]);
    for (; x < width; ++x) two_sum(s[0], c[0], row[x]);
    // An infinity makes the error terms NaN: a lane that is not finite is
    // its sum alone (+inf, -inf, or NaN when both or a NaN were added).
    for (int k = 0; k < 4; ++k) {
      sum += std::isfinite(s[k]) ? static_cast<long double>(s[k]) + c[k] : s[k];
    }
  }
  const long double count = static_cast<long double>(width) * (yendelm - ystrelm + 1);
  average = static_cast<float>(sum / count);
}

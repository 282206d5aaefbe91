// MA_AVERAGE: the mean of a region of a 2-D array.
#include "ma_internal.h"

void MA_AVERAGE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                int yendelm, float& average, int& status) {
  static const char ident[] = "Subroutine MA_AVERAGE V0.1 ";
  if (!ma::entry(status, ident) ||
      !ma::region_ok(data, xstrelm, ystrelm, xendelm, yendelm, ident, status))
    return;
  // Row by row in extended precision. Four running sums keep the adder busy;
  // their 64-bit mantissas hold the sum of a row of floats exactly unless
  // its values span more than about 40 binary orders of magnitude.
  long double sum = 0.0L;
  const int width = xendelm - xstrelm + 1;
  for (int y = ystrelm; y <= yendelm; ++y) {
    const float* row = &data(xstrelm, y);
    long double s0 = 0.0L, s1 = 0.0L, s2 = 0.0L, s3 = 0.0L;
    int x = 0;
    for (; x + 4 <= width; x += 4) {
      s0 += row[x];
      s1 += row[x + 1];
      s2 += row[x + 2];
      s3 += row[x + 3];
    }
    for (; x < width; ++x) s0 += row[x];
    sum += (s0 + s1) + (s2 + s3);
  }
  const long double count = static_cast<long double>(width) * (yendelm - ystrelm + 1);
  average = static_cast<float>(sum / count);
}

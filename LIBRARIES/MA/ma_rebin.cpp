// Re-binning for display, keeping the minimum and/or maximum of each bin:
// MA_REBINMINMAX, MA_REBINMAX, MA_REBINMIN.
#include <cmath>
#include <limits>

#include "ma_internal.h"
#include "ma_scan.h"

namespace {

// Checks the bin factors and the output arrays and fills them: `minimum`
// and/or `maximum` (an empty view is an output not wanted).
void rebin(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
           int xbin, int ybin, io::View2D<float> minimum, io::View2D<float> maximum, bool want_min,
           bool want_max, int& xnumout, int& ynumout, const char* ident, int& status) {
  if (!io::entry_ok(status, ident) ||
      !ma::region_ok(data, xstrelm, ystrelm, xendelm, yendelm, ident, status))
    return;
  if (xbin < 1) {
    io::fail(ma::status_bad_xbin, ident, status);
    return;
  }
  if (ybin < 1) {
    io::fail(ma::status_bad_ybin, ident, status);
    return;
  }
  const int width = xendelm - xstrelm + 1, height = yendelm - ystrelm + 1;
  // In 64 bits: a bin factor near the largest int must not overflow.
  const int xnum = static_cast<int>((static_cast<long long>(width) + xbin - 1) / xbin);
  const int ynum = static_cast<int>((static_cast<long long>(height) + ybin - 1) / ybin);
  for (const auto& [wanted, out] : {std::pair{want_min, minimum}, std::pair{want_max, maximum}}) {
    if (!wanted) continue;
    if (out.data == nullptr || out.xmaxdat < xnum) {
      io::fail(ma::status_xout_too_small, ident, status);
      return;
    }
    if (out.ymaxdat < ynum) {
      io::fail(ma::status_yout_too_small, ident, status);
      return;
    }
  }
  for (int j = 1; j <= ynum; ++j) {
    const int y0 = ystrelm + (j - 1) * ybin;
    const int y1 = std::min(yendelm, y0 + ybin - 1);
    for (int i = 1; i <= xnum; ++i) {
      const int x0 = xstrelm + (i - 1) * xbin;
      const int n = std::min(xendelm, x0 + xbin - 1) - x0 + 1;
      ma::FiniteRange r;
      r.add_rows(&data(x0, y0), data.xmaxdat, n, y1 - y0 + 1);
      if (want_min) minimum(i, j) = r.any() ? r.low : 0.0f;
      if (want_max) maximum(i, j) = r.any() ? r.high : 0.0f;
    }
  }
  xnumout = xnum;
  ynumout = ynum;
}

}  // namespace

void MA_REBINMINMAX(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                    int yendelm, int xbin, int ybin, io::View2D<float> minimum,
                    io::View2D<float> maximum, int& xnumout, int& ynumout, int& status) {
  rebin(data, xstrelm, ystrelm, xendelm, yendelm, xbin, ybin, minimum, maximum, true, true, xnumout,
        ynumout, "Subroutine MA_REBINMINMAX V0.1 ", status);
}

void MA_REBINMAX(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                 int xbin, int ybin, io::View2D<float> maximum, int& xnumout, int& ynumout,
                 int& status) {
  rebin(data, xstrelm, ystrelm, xendelm, yendelm, xbin, ybin, {}, maximum, false, true, xnumout,
        ynumout, "Subroutine MA_REBINMAX V0.1 ", status);
}

void MA_REBINMIN(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                 int xbin, int ybin, io::View2D<float> minimum, int& xnumout, int& ynumout,
                 int& status) {
  rebin(data, xstrelm, ystrelm, xendelm, yendelm, xbin, ybin, minimum, {}, true, false, xnumout,
        ynumout, "Subroutine MA_REBINMIN V0.1 ", status);
}

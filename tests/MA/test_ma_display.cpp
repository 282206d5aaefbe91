// Re-binning for display and the robust display range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "ma.h"

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(MaRebin, MinimumAndMaximumPerBin) {
  // 5 by 3, the region columns 1..5 of rows 1..3 in 2 by 2 bins: 3 by 2
  // bins, the last column and row of bins partly filled. Non-finite values
  // are left out; a bin of them alone gives 0.
  const std::vector<float> a = {1,   2,   3,   4,  5,     //
                                6,   7,   nan, 9,  -inf,  //
                                inf, nan, 13,  14, 15};   //
  io::View2D<const float> v(a.data(), 5, 3);
  std::vector<float> mn(4 * 3, -1.0f), mx(4 * 3, -1.0f);
  io::View2D<float> vmin(mn.data(), 4, 3), vmax(mx.data(), 4, 3);
  int status = ST_GOOD(), xnum = 0, ynum = 0;
  MA_REBINMINMAX(v, 1, 1, 5, 3, 2, 2, vmin, vmax, xnum, ynum, status);
  ASSERT_EQ(status, ST_GOOD());
  EXPECT_EQ(xnum, 3);
  EXPECT_EQ(ynum, 2);
  const float want_min[2][3] = {{1, 3, 5}, {0, 13, 15}};
  const float want_max[2][3] = {{7, 9, 5}, {0, 14, 15}};
  for (int j = 1; j <= 2; ++j)
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(vmin(i, j), want_min[j - 1][i - 1]) << i << "," << j;
      EXPECT_EQ(vmax(i, j), want_max[j - 1][i - 1]) << i << "," << j;
    }
  EXPECT_EQ(vmin(4, 1), -1.0f);  // outside the result: untouched

  // One bin over a sub-region: its minimum and maximum; the single routines
  // agree with the pair.
  struct Case {
    int x0, y0, x1, y1;
    float low, high;
  };
  for (const Case& c : {Case{2, 1, 4, 2, 2, 9}, Case{1, 2, 5, 3, 6, 15}, Case{3, 2, 3, 2, 0, 0}}) {
    float lo = -1, hi = -1;
    MA_REBINMINMAX(v, c.x0, c.y0, c.x1, c.y1, c.x1 - c.x0 + 1, c.y1 - c.y0 + 1,
                   io::View2D<float>(&lo, 1, 1), io::View2D<float>(&hi, 1, 1), xnum, ynum, status);
    EXPECT_EQ(lo, c.low);
    EXPECT_EQ(hi, c.high);
    float only_lo = -1, only_hi = -1;
    MA_REBINMIN(v, c.x0, c.y0, c.x1, c.y1, 8, 8, io::View2D<float>(&only_lo, 1, 1), xnum, ynum,
                status);
    MA_REBINMAX(v, c.x0, c.y0, c.x1, c.y1, 8, 8, io::View2D<float>(&only_hi, 1, 1), xnum, ynum,
                status);
    EXPECT_EQ(only_lo, c.low);
    EXPECT_EQ(only_hi, c.high);
    EXPECT_EQ(status, ST_GOOD());
  }
}

TEST(MaRebin, LongRowsGiveTheRangeOfTheirFiniteValues) {
  // Regions wide enough for the vector paths, at every alignment, with the
  // extremes and the non-finite values anywhere in a row: one bin gives the
  // minimum and maximum of the finite values.
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> u(-100.0f, 100.0f);
  const int w = 300, h = 5;
  std::vector<float> a(static_cast<std::size_t>(w) * h);
  for (float& v : a) v = u(gen);
  for (int i = 0; i < w * h; i += 37) a[static_cast<std::size_t>(i)] = i % 2 ? nan : -inf;
  a[411] = inf;
  a[777] = -1000.0f;
  a[899] = 1000.0f;
  const io::View2D<const float> v(a.data(), w, h);
  for (const int x0 : {1, 2, 3, 5, 8, 9}) {
    for (const int x1 : {x0 + 63, x0 + 64, x0 + 100, w}) {
      for (const auto& [y0, y1] : {std::pair{1, 1}, std::pair{2, 4}, std::pair{1, h}}) {
        float want_lo = inf, want_hi = -inf;
        for (int y = y0; y <= y1; ++y)
          for (int x = x0; x <= x1; ++x)
            if (std::isfinite(v(x, y))) {
              want_lo = std::min(want_lo, v(x, y));
              want_hi = std::max(want_hi, v(x, y));
            }
        float lo = 0, hi = 0;
        int status = ST_GOOD(), xnum = 0, ynum = 0;
        MA_REBINMINMAX(v, x0, y0, x1, y1, x1 - x0 + 1, y1 - y0 + 1, io::View2D<float>(&lo, 1, 1),
                       io::View2D<float>(&hi, 1, 1), xnum, ynum, status);
        ASSERT_EQ(status, ST_GOOD());
        EXPECT_EQ(lo, want_lo) << x0 << ".." << x1 << ", " << y0 << ".." << y1;
        EXPECT_EQ(hi, want_hi) << x0 << ".." << x1 << ", " << y0 << ".." << y1;
      }
    }
  }
}

TEST(MaRebin, ArgumentStatuses) {
  std::vector<float> a(12, 1.0f), out(4, 0.0f);
  io::View2D<const float> v(a.data(), 4, 3);
  struct Case {
    int x0, y0, x1, y1, xbin, ybin, outx, outy, status;
  };
  for (const Case& c : {Case{0, 1, 4, 3, 1, 1, 4, 4, 20005}, Case{1, 1, 4, 4, 1, 1, 4, 4, 20006},
                        Case{1, 1, 4, 3, 0, 1, 4, 4, 20017}, Case{1, 1, 4, 3, 1, -2, 4, 4, 20018},
                        Case{1, 1, 4, 3, 1, 1, 3, 4, 20037}, Case{1, 1, 4, 3, 2, 2, 2, 1, 20038},
                        Case{1, 1, 4, 3, 1, 1, 0, 4, 20037}}) {
    int status = ST_GOOD(), xnum = -1, ynum = -1;
    io::View2D<float> o(out.data(), c.outx, c.outy);
    MA_REBINMINMAX(v, c.x0, c.y0, c.x1, c.y1, c.xbin, c.ybin, o, o, xnum, ynum, status);
    EXPECT_EQ(status, c.status) << c.x0 << " " << c.y1 << " " << c.xbin << " " << c.outx;
    EXPECT_EQ(xnum, -1);
    EXPECT_EQ(out, std::vector<float>(4, 0.0f));
  }
}

// ---------------------------------------------------------------------------

// The definition: with the m finite values sorted, v(r) and v(m-1-r),
// r = floor(0.005 m).
std::pair<float, float> by_sorting(const std::vector<float>& a) {
  std::vector<float> f;
  for (float v : a)
    if (std::isfinite(v)) f.push_back(v);
  if (f.empty()) return {0.0f, 0.0f};
  std::sort(f.begin(), f.end());
  const std::size_t r = f.size() / 200;
  return {f[r], f[f.size() - 1 - r]};
}

std::pair<float, float> zscale(const std::vector<float>& a, int w, int h) {
  int status = ST_GOOD();
  float lo = -1, hi = -1;
  MA_DIFZSCALE(io::View2D<const float>(a.data(), w, h), 1, 1, w, h, lo, hi, status);
  EXPECT_EQ(status, ST_GOOD());
  return {lo, hi};
}

TEST(MaZscale, EqualsTheOrderStatisticsOfTheFiniteValues) {
  const int w = 300, h = 200;
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> u(0.0f, 1.0f);
  std::normal_distribution<float> g(0.0f, 1.0f);
  // Distributions of a projection: counts, with hot and dead pixels, NaNs
  // from a division by zero, a narrow range far from zero, negative values
  // around zero, values of one sign bit pattern apart.
  const std::vector<std::pair<const char*, std::function<float(int)>>> cases = {
      {"counts", [&](int) { return std::round(1000.0f + 3000.0f * u(gen)); }},
      {"hot and dead",
       [&](int i) {
         return i % 97 == 0 ? 65535.0f : i % 101 == 0 ? 0.0f : 500.0f + 100.0f * g(gen);
       }},
      {"not finite",
       [&](int i) {
         return i % 50 == 0 ? nan : i % 77 == 0 ? inf : i % 79 == 0 ? -inf : u(gen);
       }},
      {"narrow", [&](int) { return 30000.0f + 0.01f * u(gen); }},
      {"signed", [&](int) { return g(gen) * 1e-3f; }},
      {"zeros", [&](int i) { return i % 3 == 0   ? -0.0f
                                    : i % 3 == 1 ? 0.0f
                                                 : u(gen) - 0.5f; }},
  };
  for (const auto& [name, make] : cases) {
    std::vector<float> a(w * h);
    for (int i = 0; i < w * h; ++i) a[i] = make(i);
    const auto want = by_sorting(a);
    const auto got = zscale(a, w, h);
    EXPECT_EQ(got.first, want.first) << name;
    EXPECT_EQ(got.second, want.second) << name;
  }
}

TEST(MaZscale, HotPixelsDoNotWidenTheRange) {
  // A 256 by 256 ramp 0 .. 1000 with 0.3 % hot pixels at 65535 and a few
  // dead ones at -30000, and NaNs.
  const int w = 256, h = 256;
  std::vector<float> a(w * h);
  for (int i = 0; i < w * h; ++i) a[i] = 1000.0f * (i % w) / (w - 1);
  for (int i = 0; i < w * h; i += 331) a[i] = 65535.0f;
  for (int i = 5; i < w * h; i += 4001) a[i] = -30000.0f;
  for (int i = 7; i < w * h; i += 1009) a[i] = nan;
  const auto [lo, hi] = zscale(a, w, h);
  EXPECT_GE(lo, 0.0f);
  EXPECT_LT(lo, 10.0f);
  EXPECT_GT(hi, 990.0f);
  EXPECT_LE(hi, 1000.0f);
}

TEST(MaZscale, ConstantOneElementAndEmptyRegions) {
  std::vector<float> a(64 * 64, 1234.5f);
  a[100] = nan;
  EXPECT_EQ(zscale(a, 64, 64), (std::pair{1234.5f, 1234.5f}));
  // One element of a larger array.
  a[64 * 3 + 5] = -7.25f;
  int status = ST_GOOD();
  float lo = 0, hi = 0;
  MA_DIFZSCALE(io::View2D<const float>(a.data(), 64, 64), 6, 4, 6, 4, lo, hi, status);
  EXPECT_EQ(lo, -7.25f);
  EXPECT_EQ(hi, -7.25f);
  // Nothing finite.
  std::vector<float> b = {nan, inf, -inf, nan};
  EXPECT_EQ(zscale(b, 2, 2), (std::pair{0.0f, 0.0f}));
  // A bad region.
  MA_DIFZSCALE(io::View2D<const float>(a.data(), 64, 64), 1, 1, 65, 1, lo, hi, status);
  EXPECT_EQ(status, 20005);
}

}  // namespace

// The mean of a region, the real transform and the circular correlation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ma.h"
#include "ma_testing.h"

namespace {

using Seq = std::vector<float>;

std::vector<ma::FftPath> available_paths() {
  std::vector<ma::FftPath> paths;
  for (ma::FftPath p : {ma::FftPath::portable, ma::FftPath::sse2, ma::FftPath::avx2})
    if (ma::fft_path_available(p)) paths.push_back(p);
  return paths;
}

const char* name_of(ma::FftPath p) {
  return p == ma::FftPath::portable ? "portable" : p == ma::FftPath::sse2 ? "sse2" : "avx2";
}

// Sets a path for the life of the object.
struct UsePath {
  explicit UsePath(ma::FftPath p) { EXPECT_TRUE(ma::set_fft_path(p)); }
  ~UsePath() { ma::set_fft_path(saved); }
  ma::FftPath saved = ma::fft_path();
};

Seq random_sequence(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> d(-1.0f, 1.0f);
  Seq s(n);
  for (float& v : s) v = d(gen);
  return s;
}

// b(j) = a(j - k), cyclically (0-based here).
Seq shifted(const Seq& a, int k) {
  const int n = static_cast<int>(a.size());
  Seq b(n);
  for (int j = 0; j < n; ++j) b[j] = a[((j - k) % n + n) % n];
  return b;
}

float max_abs(const std::vector<double>& v) {
  double m = 0.0;
  for (double x : v) m = std::max(m, std::abs(x));
  return static_cast<float>(m);
}

// The transform by its definition, in the packed layout.
std::vector<double> direct_transform(const Seq& x) {
  const int n = static_cast<int>(x.size());
  std::vector<double> out(n);
  for (int k = 0; k <= n / 2; ++k) {
    double re = 0.0, im = 0.0;
    for (int j = 0; j < n; ++j) {
      const double angle =
          -2.0 * M_PI * static_cast<double>((static_cast<long long>(j) * k) % n) / n;
      re += x[j] * std::cos(angle);
      im += x[j] * std::sin(angle);
    }
    if (k == 0)
      out[0] = re;
    else if (2 * k == n)
      out[1] = re;
    else {
      out[2 * k] = re;
      out[2 * k + 1] = im;
    }
  }
  return out;
}

// c(l) = sum over j of a(j) b(j + l), in double.
std::vector<double> direct_correlation(const Seq& a, const Seq& b) {
  const int n = static_cast<int>(a.size());
  std::vector<double> c(n);
  const float* pa = a.data();
  const float* pb = b.data();
  for (int l = 0; l < n; ++l) {
    double s = 0.0;
    for (int j = 0; j < n - l; ++j) s += static_cast<double>(pa[j]) * pb[j + l];
    for (int j = n - l; j < n; ++j) s += static_cast<double>(pa[j]) * pb[j + l - n];
    c[l] = s;
  }
  return c;
}

int peak_element(const Seq& c) {
  return static_cast<int>(std::max_element(c.begin(), c.end()) - c.begin()) + 1;
}

Seq correlate(Seq a, Seq b) {
  int status = ST_GOOD();
  const int n = static_cast<int>(a.size());
  MA_1DCROSSCORR(n, a.data(), n, n, b.data(), status);
  EXPECT_EQ(status, ST_GOOD());
  return b;
}

// ---------------------------------------------------------------------------

TEST(MaAverage, MeansOfRegions) {
  // A 5 by 4 array: 1 inside the region (2..4, 2..3), 1e30 around it.
  std::vector<float> a(20, 1.0e30f);
  for (int y = 2; y <= 3; ++y)
    for (int x = 2; x <= 4; ++x) a[(x - 1) + (y - 1) * 5] = static_cast<float>(x * y);
  io::View2D<const float> v(a.data(), 5, 4);
  struct Case {
    int x0, y0, x1, y1;
    float mean;
  };
  for (const Case& c : {Case{3, 2, 3, 2, 6.0f}, Case{2, 2, 4, 3, 7.5f}, Case{4, 3, 4, 3, 12.0f}}) {
    int status = ST_GOOD();
    float mean = -1.0f;
    MA_AVERAGE(v, c.x0, c.y0, c.x1, c.y1, mean, status);
    EXPECT_EQ(status, ST_GOOD());
    EXPECT_EQ(mean, c.mean) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
  }
  // Infinities: the mean of a region holding +inf is +inf, of one holding
  // both infinities NaN.
  const float inf = std::numeric_limits<float>::infinity();
  for (const auto& [values, want] : {std::pair{std::vector<float>{1, inf, 2}, inf},
                                     std::pair{std::vector<float>{-inf, 1, 2, 3, 4, 5}, -inf},
                                     std::pair{std::vector<float>{inf, 1, -inf}, NAN}}) {
    int status = ST_GOOD();
    float mean = 0.0f;
    const int n = static_cast<int>(values.size());
    MA_AVERAGE(io::View2D<const float>(values.data(), n, 1), 1, 1, n, 1, mean, status);
    EXPECT_EQ(std::isnan(want), std::isnan(mean)) << mean;
    if (!std::isnan(want)) {
      EXPECT_EQ(mean, want);
    }
  }
  // Large values with small differences keep their mean: 2^24 + 1 and
  // 2^24 + 3 are floats, their mean 2^24 + 2 is one too.
  std::vector<float> big(4096);
  for (int i = 0; i < 4096; ++i) big[i] = 16777216.0f + (i % 2 ? 4.0f : 0.0f);
  int status = ST_GOOD();
  float mean = 0.0f;
  MA_AVERAGE(io::View2D<const float>(big.data(), 64, 64), 1, 1, 64, 64, mean, status);
  EXPECT_EQ(mean, 16777218.0f);
}

TEST(MaAverage, ArgumentStatuses) {
  std::vector<float> a(12, 1.0f);
  struct Case {
    int xmax, ymax, x0, y0, x1, y1, status;
  };
  for (const Case& c :
       {Case{0, 3, 1, 1, 1, 1, 20001}, Case{4, 0, 1, 1, 1, 1, 20002}, Case{4, 3, 0, 1, 1, 1, 20005},
        Case{4, 3, 1, 1, 5, 1, 20005}, Case{4, 3, 3, 1, 2, 1, 20005}, Case{4, 3, 1, 0, 1, 1, 20006},
        Case{4, 3, 1, 1, 1, 4, 20006}, Case{4, 3, 1, 3, 1, 2, 20006}}) {
    int status = 0;
    ST_DEF_SYSTEM(status);  // good, and the error-position record blank
    float mean = -1.0f;
    MA_AVERAGE(io::View2D<const float>(a.data(), c.xmax, c.ymax), c.x0, c.y0, c.x1, c.y1, mean,
               status);
    EXPECT_EQ(status, c.status) << c.xmax << " " << c.ymax << " " << c.x0 << " " << c.y0 << " "
                                << c.x1 << " " << c.y1;
    EXPECT_EQ(mean, -1.0f);
    std::string where;
    ST_INQ_SAVE(where);
    EXPECT_EQ(where.substr(0, 27), "Subroutine MA_AVERAGE V0.1 ");
  }
}

TEST(MaTransform, ForwardIsTheDefinitionInPackedLayout) {
  for (int n = 1; n <= 4096; n *= 2) {
    const Seq x = random_sequence(n, 17u + n);
    const std::vector<double> want = direct_transform(x);
    const float tolerance = 2e-6f * max_abs(want);
    for (ma::FftPath p : available_paths()) {
      UsePath use(p);
      Seq got = x;
      int status = ST_GOOD();
      MA_FFA8(n, got.data(), status);
      ASSERT_EQ(status, ST_GOOD());
      for (int i = 0; i < n; ++i)
        ASSERT_NEAR(got[i], want[i], tolerance) << name_of(p) << " n " << n << " element " << i + 1;
    }
  }
}

TEST(MaTransform, InverseOfForwardGivesNTimesTheSequence) {
  for (int n = 1; n <= ma::max_transform; n *= 2) {
    const Seq x = random_sequence(n, 5u + n);
    for (ma::FftPath p : available_paths()) {
      UsePath use(p);
      Seq y = x;
      int status = ST_GOOD();
      MA_EXPNT(n, status);
      MA_FFA8(n, y.data(), status);
      MA_FFS8(n, y.data(), status);
      ASSERT_EQ(status, ST_GOOD());
      float worst = 0.0f;
      for (int i = 0; i < n; ++i) worst = std::max(worst, std::abs(y[i] / n - x[i]));
      EXPECT_LT(worst, 2e-6f) << name_of(p) << " n " << n;
    }
  }
}

TEST(MaTransform, VectorPathsAgreeWithThePortableOne) {
  const std::vector<ma::FftPath> paths = available_paths();
  for (int n = 2; n <= ma::max_transform; n *= 2) {
    const Seq x = random_sequence(n, 99u + n);
    const Seq b = random_sequence(n, 7u + n);
    std::vector<Seq> forward, correlation;
    for (ma::FftPath p : paths) {
      UsePath use(p);
      Seq y = x;
      int status = ST_GOOD();
      MA_FFA8(n, y.data(), status);
      forward.push_back(y);
      if (n <= ma::max_correlation) correlation.push_back(correlate(x, b));
    }
    for (std::size_t k = 1; k < paths.size(); ++k) {
      float scale = 0.0f, worst = 0.0f;
      for (int i = 0; i < n; ++i) {
        scale = std::max(scale, std::abs(forward[0][i]));
        worst = std::max(worst, std::abs(forward[k][i] - forward[0][i]));
      }
      EXPECT_LT(worst, 1e-6f * scale) << name_of(paths[k]) << " forward n " << n;
      if (n > ma::max_correlation) continue;
      scale = worst = 0.0f;
      for (int i = 0; i < n; ++i) {
        scale = std::max(scale, std::abs(correlation[0][i]));
        worst = std::max(worst, std::abs(correlation[k][i] - correlation[0][i]));
      }
      EXPECT_LT(worst, 1e-6f * scale) << name_of(paths[k]) << " correlation n " << n;
    }
  }
}

TEST(MaTransform, LengthStatuses) {
  struct Case {
    int n, status;
  };
  for (const Case& c : {Case{3, 20025}, Case{0, 20025}, Case{-8, 20025}, Case{12, 20025},
                        Case{65536, 20009}, Case{40000, 20009}}) {
    Seq x(8, 1.0f);
    for (auto routine : {&MA_FFA8, &MA_FFS8}) {
      int status = ST_GOOD();
      routine(c.n, x.data(), status);
      EXPECT_EQ(status, c.status) << c.n;
    }
    int status = ST_GOOD();
    MA_EXPNT(c.n, status);
    EXPECT_EQ(status, c.status) << c.n;
    EXPECT_EQ(x, Seq(8, 1.0f));
  }
}

// ---------------------------------------------------------------------------

TEST(MaCorrelation, EqualsTheDirectCircularCorrelation) {
  for (int n = 8; n <= ma::max_correlation; n *= 2) {
    // Like two lines of projections: b a shifted copy of a with noise.
    const Seq a = random_sequence(n, 3u * n);
    Seq b = shifted(a, n / 3);
    const Seq noise = random_sequence(n, 11u * n);
    for (int i = 0; i < n; ++i) b[i] = 0.8f * b[i] + 0.2f * noise[i];
    const std::vector<double> want = direct_correlation(a, b);
    const float tolerance = 1e-5f * max_abs(want);
    for (ma::FftPath p : available_paths()) {
      UsePath use(p);
      const Seq got = correlate(a, b);
      double worst = 0.0;
      for (int i = 0; i < n; ++i) worst = std::max(worst, std::abs(got[i] - want[i]));
      EXPECT_LE(worst, tolerance) << name_of(p) << " n " << n;
    }
  }
}

TEST(MaCorrelation, LagDirection) {
  struct Case {
    int n, shift, peak;
  };
  // b(j) = a(j - k) peaks at element 1 + k; a shift of -k at n + 1 - k.
  for (const Case& c : {Case{8, 0, 1}, Case{8, 1, 2}, Case{8, -1, 8}, Case{64, 5, 6},
                        Case{64, -5, 60}, Case{2048, 300, 301}, Case{2048, -300, 1749},
                        Case{4096, 1000, 1001}, Case{4096, -1, 4096}}) {
    const Seq a = random_sequence(c.n, 1234u + c.n);
    for (ma::FftPath p : available_paths()) {
      UsePath use(p);
      EXPECT_EQ(peak_element(correlate(a, shifted(a, c.shift))), c.peak)
          << name_of(p) << " n " << c.n << " shift " << c.shift;
    }
  }
  // One array as both sequences: the same as two copies of it.
  Seq s = random_sequence(256, 9u);
  const Seq want = correlate(s, s);
  int status = ST_GOOD();
  MA_1DCROSSCORR(256, s.data(), 256, 256, s.data(), status);
  EXPECT_EQ(s, want);
  EXPECT_EQ(peak_element(s), 1);
}

TEST(MaCorrelation, ArgumentStatuses) {
  struct Case {
    int adim, bdim, n, status;
  };
  for (const Case& c : {Case{0, 8, 8, 20001}, Case{8, -1, 8, 20001}, Case{8, 4, 8, 20005},
                        Case{4, 8, 8, 20005}, Case{32768, 32768, 32768, 20009},
                        Case{8, 8, 3, 20025}, Case{8, 8, 0, 20025}, Case{8, 8, 6, 20025}}) {
    std::vector<float> a(32768, 1.0f), b(32768, 2.0f);
    int status = ST_GOOD();
    MA_1DCROSSCORR(c.adim, a.data(), c.bdim, c.n, b.data(), status);
    EXPECT_EQ(status, c.status) << c.adim << " " << c.bdim << " " << c.n;
    EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](float v) { return v == 1.0f; }));
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](float v) { return v == 2.0f; }));
  }
  // Entered with a bad status, nothing happens and the status stays.
  std::vector<float> a(8, 1.0f), b(8, 2.0f);
  int status = 20025;
  MA_1DCROSSCORR(8, a.data(), 8, 8, b.data(), status);
  EXPECT_EQ(status, 20025);
  EXPECT_EQ(b, std::vector<float>(8, 2.0f));
}

}  // namespace

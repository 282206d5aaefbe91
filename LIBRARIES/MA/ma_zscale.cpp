// MA_DIFZSCALE: a display range from the distribution of a region.
//
// The order statistics are found by counting, not sorting. A float's bits,
// with the sign bit set for positive values and all bits inverted for
// negative ones, form a key that sorts as the values do. A first pass
// counts the keys' upper 16 bits over the region; the bins holding the two
// wanted ranks follow from the running count; a second pass counts the
// lower 16 bits of the keys in those two bins, which gives the ranks' keys,
// and so their values, exactly. NaNs and infinities fall into the first and
// last 128 bins of the first count (no finite value does), which are left
// out.
#include <cstdint>
#include <cstring>
#include <mutex>

#include "ma_internal.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline std::uint32_t key_of(float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, sizeof u);
  const std::uint32_t negative = static_cast<std::uint32_t>(static_cast<std::int32_t>(u) >> 31);
  return u ^ (negative | 0x80000000u);
}

inline float value_of(std::uint32_t key) {
  const std::uint32_t u = (key & 0x80000000u) ? key ^ 0x80000000u : ~key;
  float v;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

constexpr int bins = 65536;
// Upper 16 bits of the keys of finite values.
constexpr int first_finite = 0x0080;
constexpr int last_finite = 0xFF7F;

// Four tables of counts. The first count goes into all four in turn, so
// that neighbouring pixels of nearly equal value do not wait on each
// other's increment, and is then summed into the first; the second count
// uses two of the others.
constexpr int tables = 4;
using Counts = std::uint32_t[tables][bins];

void count_upper(const float* row, int n, Counts& counts) {
  int x = 0;
  for (; x + tables <= n; x += tables)
    for (int t = 0; t < tables; ++t) ++counts[t][key_of(row[x + t]) >> 16];
  for (; x < n; ++x) ++counts[0][key_of(row[x]) >> 16];
}

// The lower 16 bits of the keys whose upper bits are `low_bin` into
// `low`, and of those whose upper bits are `high_bin` into `high` (the same
// table when the bins are the same).
inline void count_lower_one(std::uint32_t k, std::uint32_t low_bin, std::uint32_t high_bin,
                            std::uint32_t* low, std::uint32_t* high) {
  const std::uint32_t top = k >> 16;
  if (top == low_bin)
    ++low[k & 0xFFFFu];
  else if (top == high_bin)
    ++high[k & 0xFFFFu];
}

void count_lower(const float* row, int n, std::uint32_t low_bin, std::uint32_t high_bin,
                 std::uint32_t* low, std::uint32_t* high) {
  int x = 0;
#if defined(__SSE2__)
  // Four keys at a time; most hold neither bin and are passed over at once.
  const __m128i sign = _mm_set1_epi32(INT32_MIN);
  const __m128i lo = _mm_set1_epi32(static_cast<int>(low_bin));
  const __m128i hi = _mm_set1_epi32(static_cast<int>(high_bin));
  for (; x + 4 <= n; x += 4) {
    const __m128i u = _mm_castps_si128(_mm_loadu_ps(row + x));
    const __m128i k = _mm_xor_si128(u, _mm_or_si128(_mm_srai_epi32(u, 31), sign));
    const __m128i top = _mm_srli_epi32(k, 16);
    const __m128i hit = _mm_or_si128(_mm_cmpeq_epi32(top, lo), _mm_cmpeq_epi32(top, hi));
    if (_mm_movemask_epi8(hit) == 0) continue;
    for (int j = 0; j < 4; ++j) count_lower_one(key_of(row[x + j]), low_bin, high_bin, low, high);
  }
#endif
  for (; x < n; ++x) count_lower_one(key_of(row[x]), low_bin, high_bin, low, high);
}

// The bin in which the running count of `count` passes `rank`, and the rank
// within it.
int bin_of_rank(const std::uint32_t* count, int first, int last, std::uint64_t rank,
                std::uint64_t& within) {
  std::uint64_t before = 0;
  for (int b = first; b <= last; ++b) {
    if (before + count[b] > rank) {
      within = rank - before;
      return b;
    }
    before += count[b];
  }
  within = 0;
  return last;  // not reached: the rank is below the total
}

}  // namespace

void MA_DIFZSCALE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                  float& minimum, float& maximum, int& status) {
  static const char ident[] = "Subroutine MA_DIFZSCALE V0.1 ";
  if (!io::entry_ok(status, ident) ||
      !ma::region_ok(data, xstrelm, ystrelm, xendelm, yendelm, ident, status))
    return;
  const int width = xendelm - xstrelm + 1;
  // The counts are 32-bit: a region must have fewer than 2^32 elements.
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(yendelm - ystrelm + 1) >
      0xFFFFFFFFu) {
    io::fail(ma::status_too_long, ident, status);
    return;
  }
  // The counts are kept between calls (1 MiB); one call at a time.
  static Counts counts;
  static std::mutex in_use;
  const std::lock_guard<std::mutex> lock(in_use);

  std::uint32_t* coarse = counts[0];
  std::memset(counts, 0, sizeof counts);
  for (int y = ystrelm; y <= yendelm; ++y) count_upper(&data(xstrelm, y), width, counts);
  for (int t = 1; t < tables; ++t)
    for (int b = 0; b < bins; ++b) coarse[b] += counts[t][b];
  std::uint64_t finite = 0;
  for (int b = first_finite; b <= last_finite; ++b) finite += coarse[b];
  if (finite == 0) {
    minimum = maximum = 0.0f;
    return;
  }
  const std::uint64_t tail = finite / 200;  // floor(0.005 m)
  std::uint64_t low_within = 0, high_within = 0;
  const std::uint32_t low_bin =
      static_cast<std::uint32_t>(bin_of_rank(coarse, first_finite, last_finite, tail, low_within));
  const std::uint32_t high_bin = static_cast<std::uint32_t>(
      bin_of_rank(coarse, first_finite, last_finite, finite - 1 - tail, high_within));

  std::uint32_t* fine_low = counts[1];
  std::uint32_t* fine_high = low_bin == high_bin ? fine_low : counts[2];
  std::memset(fine_low, 0, sizeof counts[1]);
  if (fine_high != fine_low) std::memset(fine_high, 0, sizeof counts[2]);
  for (int y = ystrelm; y <= yendelm; ++y)
    count_lower(&data(xstrelm, y), width, low_bin, high_bin, fine_low, fine_high);
  std::uint64_t unused = 0;
  const int low_fine = bin_of_rank(fine_low, 0, bins - 1, low_within, unused);
  const int high_fine = bin_of_rank(fine_high, 0, bins - 1, high_within, unused);
  minimum = value_of((low_bin << 16) | static_cast<std::uint32_t>(low_fine));
  maximum = value_of((high_bin << 16) | static_cast<std::uint32_t>(high_fine));
}

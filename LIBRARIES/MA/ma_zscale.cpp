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

struct Counts {
  std::uint32_t coarse[bins];
  std::uint32_t fine_low[bins];
  std::uint32_t fine_high[bins];
};

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

void MA_DIFZSCALE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                  int yendelm, float& minimum, float& maximum, int& status) {
  static const char ident[] = "Subroutine MA_DIFZSCALE V0.1 ";
  if (!ma::entry(status, ident) ||
      !ma::region_ok(data, xstrelm, ystrelm, xendelm, yendelm, ident, status))
    return;
  const int width = xendelm - xstrelm + 1;
  // The counts are 32-bit: a region must have fewer than 2^32 elements.
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(yendelm - ystrelm + 1) >
      0xFFFFFFFFu) {
    ma::fail(ma::status_too_long, ident, status);
    return;
  }
  // The counts are kept between calls (768 KiB); one call at a time.
  static Counts counts;
  static std::mutex in_use;
  const std::lock_guard<std::mutex> lock(in_use);

  std::uint32_t* coarse = counts.coarse;
  std::memset(coarse, 0, sizeof counts.coarse);
  for (int y = ystrelm; y <= yendelm; ++y) {
    const float* row = &data(xstrelm, y);
    for (int x = 0; x < width; ++x) ++coarse[key_of(row[x]) >> 16];
  }
  std::uint64_t finite = 0;
  for (int b = first_finite; b <= last_finite; ++b) finite += coarse[b];
  if (finite == 0) {
    minimum = maximum = 0.0f;
    return;
  }
  const std::uint64_t tail = finite / 200;  // floor(0.005 m)
  std::uint64_t low_within = 0, high_within = 0;
  const std::uint32_t low_bin = static_cast<std::uint32_t>(
      bin_of_rank(coarse, first_finite, last_finite, tail, low_within));
  const std::uint32_t high_bin = static_cast<std::uint32_t>(
      bin_of_rank(coarse, first_finite, last_finite, finite - 1 - tail, high_within));

  std::uint32_t* fine_low = counts.fine_low;
  std::uint32_t* fine_high = low_bin == high_bin ? fine_low : counts.fine_high;
  std::memset(fine_low, 0, sizeof counts.fine_low);
  if (fine_high != fine_low) std::memset(fine_high, 0, sizeof counts.fine_high);
  for (int y = ystrelm; y <= yendelm; ++y) {
    const float* row = &data(xstrelm, y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t k = key_of(row[x]);
      const std::uint32_t top = k >> 16;
      if (top == low_bin)
        ++fine_low[k & 0xFFFFu];
      else if (top == high_bin)
        ++fine_high[k & 0xFFFFu];
    }
  }
  std::uint64_t unused = 0;
  const int low_fine = bin_of_rank(fine_low, 0, bins - 1, low_within, unused);
  const int high_fine = bin_of_rank(fine_high, 0, bins - 1, high_within, unused);
  minimum = value_of((low_bin << 16) | static_cast<std::uint32_t>(low_fine));
  maximum = value_of((high_bin << 16) | static_cast<std::uint32_t>(high_fine));
}

// Services shared by the malib sources (not part of the public API).
#pragma once

#include "ma.h"

namespace ma {

// The entry check of every routine: false, with `ident` recorded, when the
// status is already bad on entry.
inline bool entry(int status, const char* ident) {
  if (status == io::status_good) return true;
  ST_SAVE(ident);
  return false;
}

// Sets `status` to `code` and records `ident`; returns false for the caller
// to pass on.
inline bool fail(int code, const char* ident, int& status) {
  status = code;
  ST_SAVE(ident);
  return false;
}

// The checks of an array and its region: 20001 and 20002 a declared
// dimension below 1 (or no array), 20005 and 20006 a range that is empty,
// starts below 1 or ends beyond the declared dimension.
template <typename T>
bool region_ok(const io::View2D<T>& data, int xstrelm, int ystrelm, int xendelm, int yendelm,
               const char* ident, int& status) {
  if (data.xmaxdat < 1 || data.data == nullptr) return fail(status_bad_xmaxdat, ident, status);
  if (data.ymaxdat < 1) return fail(status_bad_ymaxdat, ident, status);
  if (xstrelm < 1 || xendelm < xstrelm || xendelm > data.xmaxdat)
    return fail(status_bad_xregion, ident, status);
  if (ystrelm < 1 || yendelm < ystrelm || yendelm > data.ymaxdat)
    return fail(status_bad_yregion, ident, status);
  return true;
}

// Whether the processor has AVX2 and fused multiply-add (asked once).
bool processor_has_avx2();

inline bool is_power_of_two(int n) {
  return n >= 1 && (n & (n - 1)) == 0;
}

}  // namespace ma

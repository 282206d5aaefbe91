// Services shared by the malib sources (not part of the public API).
#pragma once

#include "ma.h"

namespace ma {

// The checks of an array and its region: 20001 and 20002 a declared
// dimension below 1 (or no array), 20005 and 20006 a range that is empty,
// starts below 1 or ends beyond the declared dimension.
template <typename T>
bool region_ok(const io::View2D<T>& data, int xstrelm, int ystrelm, int xendelm, int yendelm,
               const char* ident, int& status) {
  int code = 0;
  if (data.xmaxdat < 1 || data.data == nullptr) {
    code = status_bad_xmaxdat;
  } else if (data.ymaxdat < 1) {
    code = status_bad_ymaxdat;
  } else if (xstrelm < 1 || xendelm < xstrelm || xendelm > data.xmaxdat) {
    code = status_bad_xregion;
  } else if (ystrelm < 1 || yendelm < ystrelm || yendelm > data.ymaxdat) {
    code = status_bad_yregion;
  }
  if (code != 0) io::fail(code, ident, status);
  return code == 0;
}

inline bool is_power_of_two(int n) {
  return n >= 1 && (n & (n - 1)) == 0;
}

}  // namespace ma

// Internal services shared by the gslib sources (not part of the public API).
#pragma once

#include <string>

#include "io.h"

namespace gs {

// True (and nothing recorded) when `status` is good; otherwise records the
// routine's identification text and returns false.
inline bool entry_ok(int status, const char* identification) {
  if (status == io::status_good) return true;
  ST_SAVE(identification);
  return false;
}

// Sets an argument-check failure (code plus the module offset) and records
// the routine's identification text.
inline void fail(int code, const char* identification, int& status) {
  status = 140000 + code;
  ST_SAVE(identification);
}

// Device colour index of a named colour (13 -> 0, 14 -> 1, 15 -> -1; numbers
// outside 1 .. 15 give index 1).
int device_index(int colour);

}  // namespace gs

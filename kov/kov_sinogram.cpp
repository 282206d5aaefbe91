// One line of every treated projection of the series, corrected: the
// sinogram of the slice (a first version: the reading follows).
#include "kov_slice.h"

void KOV_READ_SINOGRAM(const kov::Parameters& p, int line, kov::Sinogram& sinogram, int& status) {
  constexpr const char* id = "Subroutine KOV_READ_SINOGRAM V0.1 ";
  if (!io::entry_ok(status, id)) return;
  static_cast<void>(p);
  static_cast<void>(line);
  sinogram = kov::Sinogram{};
  io::fail(kov::status_sinogram_unread, id, status);
}

// Whether a workstation is open: lets a caller choose between a window
// widget and the console before it draws anything.
#include "vg.h"
#include "vg_internal.h"

void VG_INQ_WKOPEN(int workstation, bool& open, int& status) {
  static const char* const ident = "Subroutine VG_INQ_WKOPEN V0.1 ";
  if (!vg::entry(status, ident)) return;
  open = vg::find_workstation(workstation) != nullptr;
}

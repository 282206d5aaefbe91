// The initial state of the I/O services.
#include "io.h"
#include "io_internal.h"

void IO_DEF_SYSTEM(int& status) {
  if (!io::entry_ok(status, "Subroutine IO_DEF_SYSTEM V0.2 ")) return;
  IO_DEF_SEPARATORS(status);
  IO_DEF_MACRO(status);
}

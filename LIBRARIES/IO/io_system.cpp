// The initial state of the I/O services.
#include "io.h"

void IO_DEF_SYSTEM(int& status) {
  if (status != io::status_good) {
    ST_SAVE("Subroutine IO_DEF_SYSTEM V0.2 ");
    return;
  }
  IO_DEF_SEPARATORS(status);
}

// Formats of the dispatcher whose readers this version does not have: each
// tells the user so, naming the format, and inputs nothing. No layout of the
// gas detector's files nor of the self-describing format was found.
#include "fio_internal.h"

namespace {

void unavailable(const char* id, const char* format, bool layout_unknown, FIO_RESULT_ARGS,
                 int& status) {
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  fio::not_available(format, layout_unknown, r, status);
}

}  // namespace

void FIO_IN_GAS2D(FIO_RESULT_ARGS, int& status) {
  unavailable("Subroutine FIO_IN_GAS2D V0.1 ", fio::format_gas2d, true, FIO_RESULT_PASS, status);
}

void FIO_IN_VEXAL(FIO_RESULT_ARGS, float& overload, int& status) {
  static_cast<void>(overload);
  unavailable("Subroutine FIO_IN_VEXAL V0.1 ", fio::format_vexal, true, FIO_RESULT_PASS, status);
}

// Formats of the dispatcher whose readers this version does not have: each
// tells the user so, naming the format, and inputs nothing.
#include "fio_internal.h"

namespace {

void unavailable(const char* id, const char* format, FIO_RESULT_ARGS, int& status) {
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  fio::not_available(format, r, status);
}

}  // namespace

void FIO_IN_GAS2D(FIO_RESULT_ARGS, int& status) {
  unavailable("Subroutine FIO_IN_GAS2D V0.1 ", fio::format_gas2d, FIO_RESULT_PASS, status);
}

void FIO_IN_BSL(FIO_RESULT_ARGS, float& overload, int& status) {
  static_cast<void>(overload);
  unavailable("Subroutine FIO_IN_BSL V0.1 ", fio::format_bsl, FIO_RESULT_PASS, status);
}

void FIO_IN_DEXORAM(FIO_RESULT_ARGS, int& status) {
  unavailable("Subroutine FIO_IN_DEXORAM V0.1 ", fio::format_dexoram, FIO_RESULT_PASS, status);
}

void FIO_IN_VEXAL(FIO_RESULT_ARGS, float& overload, int& status) {
  static_cast<void>(overload);
  unavailable("Subroutine FIO_IN_VEXAL V0.1 ", fio::format_vexal, FIO_RESULT_PASS, status);
}

void FIO_IN_BAS2000(FIO_RESULT_ARGS, float& x_pixel_size, float& y_pixel_size, int& status) {
  static_cast<void>(x_pixel_size);
  static_cast<void>(y_pixel_size);
  unavailable("Subroutine FIO_IN_BAS2000 V0.1 ", fio::format_bas2000, FIO_RESULT_PASS, status);
}

void FIO_IN_PHOTOMETRICS(FIO_RESULT_ARGS, int& status) {
  unavailable("Subroutine FIO_IN_PHOTOMETRICS V0.1 ", fio::format_photometrics, FIO_RESULT_PASS,
              status);
}

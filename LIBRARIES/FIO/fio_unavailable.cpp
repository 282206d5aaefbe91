// Formats of the dispatcher whose readers this version does not have: each
// tells the user so, naming the format, and inputs nothing.
#include "fio_internal.h"

namespace {

void unavailable(const char* id, const char* format, bool variances, std::string& file_name,
                 int& retstat, int& xnumdat, int& ynumdat, std::span<float> x_axis,
                 std::span<float> y_axis, io::View2D<float> data, io::View2D<float> var_data,
                 std::string& title, std::string& xlabel, std::string& ylabel, std::string& zlabel,
                 int& status) {
  if (!io::entry_ok(status, id)) return;
  fio::Result r{variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis,
                data,      var_data,  title,   xlabel,  ylabel,  zlabel};
  fio::not_available(format, r, status);
}

}  // namespace

#define FIO_RESULT_ARGS                                                                         \
  bool variances, std::string &file_name, int &retstat, int &xnumdat, int &ynumdat,             \
      std::span<float> x_axis, std::span<float> y_axis, io::View2D<float> data,                 \
      io::View2D<float> var_data, std::string &title, std::string &xlabel, std::string &ylabel, \
      std::string &zlabel
#define FIO_RESULT_PASS                                                                           \
  variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis, data, var_data, title, xlabel, \
      ylabel, zlabel

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

void FIO_IN_MAR(FIO_RESULT_ARGS, float& x_pixel_size, float& y_pixel_size, int& status) {
  static_cast<void>(x_pixel_size);
  static_cast<void>(y_pixel_size);
  unavailable("Subroutine FIO_IN_MAR V0.1 ", fio::format_mar, FIO_RESULT_PASS, status);
}

void FIO_IN_PHOTOMETRICS(FIO_RESULT_ARGS, int& status) {
  unavailable("Subroutine FIO_IN_PHOTOMETRICS V0.1 ", fio::format_photometrics, FIO_RESULT_PASS,
              status);
}

// Output primitives: polylines, polymarkers, fill areas, text and cell
// arrays, sent to every active workstation (or into the raster array).
#include <string>

#include "vg.h"
#include "vg_internal.h"

namespace {

using vg::entry;

void fail(int code, const char* ident, int& status) {
  status = code;
  ST_SAVE(ident);
}

// Checks a cell-array region against the declared dimensions: 130005 for the
// first dimension, 130006 for the second.
template <typename T>
bool region_ok(const io::View2D<T>& data, int xstart, int ystart, int xend, int yend,
               const char* ident, int& status) {
  if (data.data == nullptr || data.xmaxdat < 1 || xstart < 1 || xend > data.xmaxdat ||
      xstart > xend) {
    fail(130005, ident, status);
    return false;
  }
  if (data.ymaxdat < 1 || ystart < 1 || yend > data.ymaxdat || ystart > yend) {
    fail(130006, ident, status);
    return false;
  }
  return true;
}

}  // namespace

void VG_POLYLINE(int n, const float x[], const float y[], int& status) {
  static const char* const ident = "Subroutine VG_POLYLINE V0.3 ";
  if (!entry(status, ident)) return;
  if (n < 0) return fail(130017, ident, status);
  if (n < 2) return;
  vg::System& s = vg::record();
  if (s.raster_mode) {
    vg::raster_polyline(n, x, y, s.attributes.line_colour);
    return;
  }
  vg::for_active(vg::Op::polyline, status, [&](vg::Device& d) { return d.polyline(n, x, y); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_POLYMARKER(int n, const float x[], const float y[], int& status) {
  static const char* const ident = "Subroutine VG_POLYMARKER V0.3 ";
  if (!entry(status, ident)) return;
  if (n < 0) return fail(130017, ident, status);
  if (n < 1) return;
  vg::for_active(vg::Op::polymarker, status,
                 [&](vg::Device& d) { return d.polymarker(n, x, y); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_FILLAREA(int n, const float x[], const float y[], int& status) {
  static const char* const ident = "Subroutine VG_FILLAREA V0.3 ";
  if (!entry(status, ident)) return;
  if (n < 0) return fail(130017, ident, status);
  if (n < 3) return;
  vg::System& s = vg::record();
  if (s.raster_mode) {
    vg::raster_fill(n, x, y, s.attributes.fill_colour);
    return;
  }
  vg::for_active(vg::Op::fill_area, status, [&](vg::Device& d) { return d.fill_area(n, x, y); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_TEXT(float x, float y, const std::string& text, int& status) {
  static const char* const ident = "Subroutine VG_TEXT V0.3 ";
  if (!entry(status, ident)) return;
  const std::string trimmed = text.substr(0, SLEN(text));
  if (trimmed.empty()) return;
  vg::for_active(vg::Op::text, status, [&](vg::Device& d) { return d.text(x, y, trimmed); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_CELLARRAY(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend,
                  float x0, float y0, float x1, float y1, int& status) {
  static const char* const ident = "Subroutine VG_CELLARRAY V0.3 ";
  if (!entry(status, ident)) return;
  if (!region_ok(cells, xstart, ystart, xend, yend, ident, status)) return;
  vg::for_active(vg::Op::cell_array, status, [&](vg::Device& d) {
    return d.cell_array(cells, xstart, ystart, xend, yend, x0, y0, x1, y1);
  });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_RMASKCELLARRAY(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                       int ystart, int xend, int yend, float x0, float y0, float x1, float y1,
                       float low, float high, bool logarithmic, int& status) {
  static const char* const ident = "Subroutine VG_RMASKCELLARRAY V0.3 ";
  if (!entry(status, ident)) return;
  if (!region_ok(data, xstart, ystart, xend, yend, ident, status)) return;
  if (!mask.empty() && (mask.xmaxdat != data.xmaxdat || mask.ymaxdat != data.ymaxdat)) {
    return fail(130017, ident, status);
  }
  vg::for_active(vg::Op::real_cell_array, status, [&](vg::Device& d) {
    return d.real_cell_array(data, mask, xstart, ystart, xend, yend, x0, y0, x1, y1, low, high,
                             logarithmic);
  });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_REALCELLARRAY(io::View2D<const float> data, int xstart, int ystart, int xend, int yend,
                      float x0, float y0, float x1, float y1, float low, float high,
                      bool logarithmic, int& status) {
  static const char* const ident = "Subroutine VG_REALCELLARRAY V0.2 ";
  if (!entry(status, ident)) return;
  VG_RMASKCELLARRAY(data, io::View2D<const bool>(), xstart, ystart, xend, yend, x0, y0, x1, y1,
                    low, high, logarithmic, status);
  if (status != io::status_good) ST_SAVE(ident);
}

// Output primitives: polylines, polymarkers, fill areas, text and cell
// arrays, sent to every active workstation (or into the raster array).
#include <string>
#include <vector>

#include "vg.h"
#include "vg_internal.h"

namespace {

using io::entry_ok;

// Identification texts of the routines with two forms.
constexpr const char* polyline_ident = "Subroutine VG_POLYLINE V0.3 ";
constexpr const char* polymarker_ident = "Subroutine VG_POLYMARKER V0.3 ";
constexpr const char* fillarea_ident = "Subroutine VG_FILLAREA V0.3 ";

// Checks a cell-array region against the declared dimensions:
// status_region_x for the first dimension, status_region_y for the second.
template <typename T>
bool region_ok(const io::View2D<T>& data, int xstart, int ystart, int xend, int yend,
               const char* ident, int& status) {
  if (data.data == nullptr || data.xmaxdat < 1 || xstart < 1 || xend > data.xmaxdat ||
      xstart > xend) {
    io::fail(vg::status_region_x, ident, status);
    return false;
  }
  if (data.ymaxdat < 1 || ystart < 1 || yend > data.ymaxdat || ystart > yend) {
    io::fail(vg::status_region_y, ident, status);
    return false;
  }
  return true;
}

// The frame of the point primitives: a negative count is refused, fewer
// than `least` points draw nothing. In raster mode a primitive with a raster
// form (`raster`, drawn in the colour of the attribute `colour`) goes into the
// raster; otherwise every active workstation draws.
using DeviceDraw = int (vg::Device::*)(int n, const float x[], const float y[]);
using RasterDraw = void (*)(int n, const float x[], const float y[], int colour);
void primitive(int n, const float x[], const float y[], int least, const char* ident, vg::Op op,
               DeviceDraw draw, RasterDraw raster, int vg::Attributes::*colour, int& status) {
  if (!entry_ok(status, ident)) return;
  if (n < 0) return io::fail(vg::status_bad_argument, ident, status);
  if (n < least) return;
  const vg::System& s = vg::record();
  if (s.raster_mode && raster != nullptr) return raster(n, x, y, s.attributes.*colour);
  vg::for_active(op, status, [&](vg::Device& d) { return (d.*draw)(n, x, y); });
  if (status != io::status_good) ST_SAVE(ident);
}

}  // namespace

void VG_POLYLINE(int n, const float x[], const float y[], int& status) {
  primitive(n, x, y, 2, polyline_ident, vg::Op::polyline, &vg::Device::polyline,
            vg::raster_polyline, &vg::Attributes::line_colour, status);
}

void VG_POLYMARKER(int n, const float x[], const float y[], int& status) {
  // Markers are not drawn into the raster.
  primitive(n, x, y, 1, polymarker_ident, vg::Op::polymarker, &vg::Device::polymarker, nullptr,
            nullptr, status);
}

void VG_FILLAREA(int n, const float x[], const float y[], int& status) {
  primitive(n, x, y, 3, fillarea_ident, vg::Op::fill_area, &vg::Device::fill_area, vg::raster_fill,
            &vg::Attributes::fill_colour, status);
}

namespace {

// The point-list form of a primitive: the points split into the x and y
// arrays of the array form, which does the work.
void as_arrays(std::span<const vg::Point> points, const char* ident, int& status,
               void (*primitive)(int, const float[], const float[], int&)) {
  if (!entry_ok(status, ident)) return;
  std::vector<float> x(points.size()), y(points.size());
  for (std::size_t k = 0; k < points.size(); ++k) {
    x[k] = points[k].x;
    y[k] = points[k].y;
  }
  primitive(static_cast<int>(points.size()), x.data(), y.data(), status);
}

}  // namespace

void VG_POLYLINE(std::span<const vg::Point> points, int& status) {
  as_arrays(points, polyline_ident, status, VG_POLYLINE);
}

void VG_POLYMARKER(std::span<const vg::Point> points, int& status) {
  as_arrays(points, polymarker_ident, status, VG_POLYMARKER);
}

void VG_FILLAREA(std::span<const vg::Point> points, int& status) {
  as_arrays(points, fillarea_ident, status, VG_FILLAREA);
}

void VG_TEXT(float x, float y, const std::string& text, int& status) {
  static const char* const ident = "Subroutine VG_TEXT V0.3 ";
  if (!entry_ok(status, ident)) return;
  const std::string trimmed = io::trimmed(text);
  if (trimmed.empty()) return;
  vg::for_active(vg::Op::text, status, [&](vg::Device& d) { return d.text(x, y, trimmed); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_CELLARRAY(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
                  float y0, float x1, float y1, int& status) {
  static const char* const ident = "Subroutine VG_CELLARRAY V0.3 ";
  if (!entry_ok(status, ident)) return;
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
  if (!entry_ok(status, ident)) return;
  if (!region_ok(data, xstart, ystart, xend, yend, ident, status)) return;
  if (!mask.empty() && (mask.xmaxdat != data.xmaxdat || mask.ymaxdat != data.ymaxdat)) {
    return io::fail(vg::status_bad_argument, ident, status);
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
  if (!entry_ok(status, ident)) return;
  VG_RMASKCELLARRAY(data, io::View2D<const bool>(), xstart, ystart, xend, yend, x0, y0, x1, y1, low,
                    high, logarithmic, status);
  if (status != io::status_good) ST_SAVE(ident);
}

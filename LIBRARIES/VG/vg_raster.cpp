// Raster mode: polylines and fill areas drawn into a caller's integer array
// that covers the data window. Pixel (i, j) covers the i-th of xmaxdat equal
// columns and the j-th of ymaxdat equal rows of the data window, counted from
// its lower left corner; a pixel takes the colour index of the line or fill.
#include <algorithm>
#include <cmath>
#include <vector>

#include "vg.h"
#include "vg_internal.h"

namespace {

using io::entry_ok;

// World to continuous raster coordinates: pixel i spans [i - 1, i).
struct Grid {
  double x0, y0, sx, sy;
  int nx, ny;
  explicit Grid(const vg::System& s)
      : x0(s.window[0]),
        y0(s.window[1]),
        sx(s.raster.xmaxdat / (static_cast<double>(s.window[2]) - s.window[0])),
        sy(s.raster.ymaxdat / (static_cast<double>(s.window[3]) - s.window[1])),
        nx(s.raster.xmaxdat),
        ny(s.raster.ymaxdat) {}
  double u(float x) const { return (x - x0) * sx; }
  double v(float y) const { return (y - y0) * sy; }
};

// Clips the segment to [0, nx] x [0, ny] (Liang-Barsky); false when nothing
// of it is left.
bool clip_segment(const Grid& g, double& u1, double& v1, double& u2, double& v2) {
  double t0 = 0.0, t1 = 1.0;
  const double du = u2 - u1, dv = v2 - v1;
  const double p[4] = {-du, du, -dv, dv};
  const double q[4] = {u1, g.nx - u1, v1, g.ny - v1};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return false;
      continue;
    }
    const double r = q[k] / p[k];
    if (p[k] < 0.0) {
      t0 = std::max(t0, r);
    } else {
      t1 = std::min(t1, r);
    }
    if (t0 > t1) return false;
  }
  const double a1 = u1 + t0 * du, b1 = v1 + t0 * dv;
  u2 = u1 + t1 * du;
  v2 = v1 + t1 * dv;
  u1 = a1;
  v1 = b1;
  return true;
}

void set_pixel(const io::View2D<int>& raster, double u, double v, int colour) {
  const int i = std::clamp(static_cast<int>(std::floor(u)) + 1, 1, raster.xmaxdat);
  const int j = std::clamp(static_cast<int>(std::floor(v)) + 1, 1, raster.ymaxdat);
  raster(i, j) = colour;
}

bool valid_points(int n, const float x[], const float y[]) {
  for (int k = 0; k < n; ++k) {
    if (!std::isfinite(x[k]) || !std::isfinite(y[k])) return false;
  }
  return true;
}

}  // namespace

namespace vg {

void raster_polyline(int n, const float x[], const float y[], int colour) {
  const System& s = record();
  if (s.raster.empty() || !valid_points(n, x, y)) return;
  const Grid g(s);
  for (int k = 0; k + 1 < n; ++k) {
    double u1 = g.u(x[k]), v1 = g.v(y[k]), u2 = g.u(x[k + 1]), v2 = g.v(y[k + 1]);
    if (!clip_segment(g, u1, v1, u2, v2)) continue;
    const int steps =
        static_cast<int>(std::ceil(std::max(std::fabs(u2 - u1), std::fabs(v2 - v1)))) + 1;
    for (int t = 0; t <= steps; ++t) {
      const double f = static_cast<double>(t) / steps;
      set_pixel(s.raster, u1 + f * (u2 - u1), v1 + f * (v2 - v1), colour);
    }
  }
}

void raster_fill(int n, const float x[], const float y[], int colour) {
  const System& s = record();
  if (s.raster.empty() || n < 3 || !valid_points(n, x, y)) return;
  const Grid g(s);
  std::vector<double> u(n), v(n), crossings;
  for (int k = 0; k < n; ++k) {
    u[k] = g.u(x[k]);
    v[k] = g.v(y[k]);
  }
  // Pixels whose centres lie inside the polygon (even-odd rule).
  for (int j = 1; j <= g.ny; ++j) {
    const double vc = j - 0.5;
    crossings.clear();
    for (int k = 0; k < n; ++k) {
      const int m = (k + 1) % n;
      if ((v[k] <= vc) != (v[m] <= vc)) {
        crossings.push_back(u[k] + (vc - v[k]) * (u[m] - u[k]) / (v[m] - v[k]));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t c = 0; c + 1 < crossings.size(); c += 2) {
      const double first = std::ceil(crossings[c] + 0.5);
      const double last = std::ceil(crossings[c + 1] + 0.5) - 1.0;
      const int i0 = static_cast<int>(std::max(1.0, first));
      const int i1 = static_cast<int>(std::min(static_cast<double>(g.nx), last));
      for (int i = i0; i <= i1; ++i) s.raster(i, j) = colour;
    }
  }
}

}  // namespace vg

void VG_RASTERMODE(bool on, io::View2D<int> raster, int& status) {
  static const char* const ident = "Subroutine VG_RASTERMODE V0.1 ";
  if (!vg::entry_open(status, ident)) return;
  vg::System& s = vg::record();
  if (on) {
    if (raster.empty()) {
      return io::fail(vg::status_bad_argument, ident, status);
    }
    s.raster = raster;
    s.raster_mode = true;
  } else {
    s.raster = {};
    s.raster_mode = false;
  }
}

namespace {

// The raster routines: refused outside raster mode or with a negative count.
void raster_routine(int n, const float x[], const float y[], const char* ident,
                    void (*draw)(int, const float[], const float[], int), int colour, int& status) {
  if (!entry_ok(status, ident)) return;
  if (n < 0 || !vg::record().raster_mode) {
    return io::fail(vg::status_bad_argument, ident, status);
  }
  draw(n, x, y, colour);
}

}  // namespace

void VG_RAS_PL(int n, const float x[], const float y[], int& status) {
  raster_routine(n, x, y, "Subroutine VG_RAS_PL V0.1 ", vg::raster_polyline,
                 vg::record().attributes.line_colour, status);
}

void VG_RAS_FA(int n, const float x[], const float y[], int& status) {
  raster_routine(n, x, y, "Subroutine VG_RAS_FA V0.1 ", vg::raster_fill,
                 vg::record().attributes.fill_colour, status);
}

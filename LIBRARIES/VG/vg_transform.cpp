// Data window, viewport, the world-to-device transform and clipping.
#include <algorithm>
#include <string>

#include "vg.h"
#include "vg_internal.h"

namespace {

using vg::entry;

// Recomputes the scales and offsets and passes the transform on.
void apply_transform(int& status) {
  vg::System& s = vg::record();
  s.xscale = (s.viewport[2] - s.viewport[0]) * vg::page_to_device / (s.window[2] - s.window[0]);
  s.yscale = (s.viewport[3] - s.viewport[1]) * vg::page_to_device / (s.window[3] - s.window[1]);
  s.xoffset = vg::page_to_device * s.viewport[0] - s.window[0] * s.xscale;
  s.yoffset = vg::page_to_device * s.viewport[1] - s.window[1] * s.yscale;
  vg::for_active(vg::Op::transform, status,
                 [&](vg::Device& d) { return d.set_transform(s.window, s.viewport); });
}

// Shared by VG_DATAWINDOW and VG_VIEWPORT: checks the order of the limits
// and stores them in `target`; a bad order leaves everything as it was.
void set_rectangle(float* target, float xmin, float ymin, float xmax, float ymax,
                   const char* ident, int& status) {
  if (!entry(status, ident)) return;
  if (!vg::record().open) {
    int good = io::status_good;
    IO_WRITE("ERROR: Vellum Graphics system is not open (VG_OPEN_WK)", good);
    return;
  }
  if (!(xmin < xmax)) {
    status = 130013;
    ST_SAVE(ident);
    return;
  }
  if (!(ymin < ymax)) {
    status = 130014;
    ST_SAVE(ident);
    return;
  }
  target[0] = xmin;
  target[1] = ymin;
  target[2] = xmax;
  target[3] = ymax;
  apply_transform(status);
  if (status != io::status_good) ST_SAVE(ident);
}

}  // namespace

void VG_DATAWINDOW(float xmin, float ymin, float xmax, float ymax, int& status) {
  set_rectangle(vg::record().window, xmin, ymin, xmax, ymax, "Subroutine VG_DATAWINDOW V0.3 ",
                status);
}

void VG_VIEWPORT(float xmin, float ymin, float xmax, float ymax, int& status) {
  set_rectangle(vg::record().viewport, xmin, ymin, xmax, ymax, "Subroutine VG_VIEWPORT V0.3 ",
                status);
}

void VG_INQ_DATAWINDOW(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  if (!entry(status, "Subroutine VG_INQ_DATAWINDOW V0.1 ")) return;
  if (!vg::check_open("VG_INQ_DATAWINDOW")) return;
  const float* w = vg::record().window;
  xmin = w[0];
  ymin = w[1];
  xmax = w[2];
  ymax = w[3];
}

void VG_INQ_VIEWPORT(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  if (!entry(status, "Subroutine VG_INQ_VIEWPORT V0.1 ")) return;
  if (!vg::check_open("VG_INQ_VIEWPORT")) return;
  const float* v = vg::record().viewport;
  xmin = v[0];
  ymin = v[1];
  xmax = v[2];
  ymax = v[3];
}

void VG_UNITYTRANSFORM(bool set, int& status) {
  static const char* const ident = "Subroutine VG_UNITYTRANSFORM V0.2 ";
  if (!entry(status, ident)) return;
  if (!vg::check_open("VG_UNITYTRANSFORM")) return;
  vg::System& s = vg::record();
  if (set) {
    // Each set remembers the pair in force, so that nested users each get
    // back what they found.
    std::array<float, 8> pair{};
    std::copy(s.window, s.window + 4, pair.begin());
    std::copy(s.viewport, s.viewport + 4, pair.begin() + 4);
    s.unity_stack.push_back(pair);
    const float unit[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    std::copy(unit, unit + 4, s.window);
    std::copy(unit, unit + 4, s.viewport);
  } else {
    if (s.unity_stack.empty()) return;
    const std::array<float, 8> pair = s.unity_stack.back();
    s.unity_stack.pop_back();
    std::copy(pair.begin(), pair.begin() + 4, s.window);
    std::copy(pair.begin() + 4, pair.end(), s.viewport);
  }
  apply_transform(status);
  if (status != io::status_good) ST_SAVE(ident);
}

float VG_WC2PC(bool x_axis, float value, int& status) {
  if (!entry(status, "Function VG_WC2PC V0.1 ")) return 0.0f;
  if (!vg::check_open("VG_WC2PC")) return 0.0f;
  const vg::System& s = vg::record();
  const int i = x_axis ? 0 : 1;
  return s.viewport[i] + (value - s.window[i]) * (s.viewport[i + 2] - s.viewport[i]) /
                             (s.window[i + 2] - s.window[i]);
}

float VG_PC2WC(bool x_axis, float value, int& status) {
  if (!entry(status, "Function VG_PC2WC V0.1 ")) return 0.0f;
  if (!vg::check_open("VG_PC2WC")) return 0.0f;
  const vg::System& s = vg::record();
  const int i = x_axis ? 0 : 1;
  return s.window[i] + (value - s.viewport[i]) * (s.window[i + 2] - s.window[i]) /
                           (s.viewport[i + 2] - s.viewport[i]);
}

void VG_INQ_MAXPC(float& xmax, float& ymax, int& status) {
  if (!entry(status, "Subroutine VG_INQ_MAXPC V0.2 ")) return;
  if (!vg::check_open("VG_INQ_MAXPC")) return;
  // The format of the first active workstation, else of the first open one.
  int format = vg::page_portrait;
  bool found = false;
  for (int pass = 0; pass < 2 && !found; ++pass) {
    for (const auto& ws : vg::record().table) {
      if (ws.state == vg::state_active || (pass == 1 && ws.state == vg::state_open)) {
        format = ws.format;
        found = true;
        break;
      }
    }
  }
  if (format == vg::page_landscape) {
    xmax = 1.0f;
    ymax = vg::page_short;
  } else {
    xmax = vg::page_short;
    ymax = 1.0f;
  }
}

void VG_INQ_SCALING(float& xscale, float& yscale, float& xoffset, float& yoffset, int& status) {
  if (!entry(status, "Subroutine VG_INQ_SCALING V0.1 ")) return;
  if (!vg::check_open("VG_INQ_SCALING")) return;
  const vg::System& s = vg::record();
  xscale = s.xscale;
  yscale = s.yscale;
  xoffset = s.xoffset;
  yoffset = s.yoffset;
}

void VG_CLIPWINDOW(float xmin, float ymin, float xmax, float ymax, int& status) {
  static const char* const ident = "Subroutine VG_CLIPWINDOW V0.2 ";
  if (!entry(status, ident)) return;
  if (!vg::check_open("VG_CLIPWINDOW")) return;
  vg::System& s = vg::record();
  s.clip_window[0] = std::min(xmin, xmax);
  s.clip_window[1] = std::min(ymin, ymax);
  s.clip_window[2] = std::max(xmin, xmax);
  s.clip_window[3] = std::max(ymin, ymax);
  // A new rectangle takes effect at once while clipping is on.
  if (s.clip) {
    vg::for_active(vg::Op::clip, status,
                   [&](vg::Device& d) { return d.set_clip(true, s.clip_window); });
    if (status != io::status_good) ST_SAVE(ident);
  } else {
    for (auto& ws : s.table) {
      if (ws.state != vg::state_free) ws.stale = ws.stale || ws.state != vg::state_active;
    }
  }
}

void VG_INQ_CLIPWINDOW(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  if (!entry(status, "Subroutine VG_INQ_CLIPWINDOW V0.1 ")) return;
  if (!vg::check_open("VG_INQ_CLIPWINDOW")) return;
  const float* c = vg::record().clip_window;
  xmin = c[0];
  ymin = c[1];
  xmax = c[2];
  ymax = c[3];
}

void VG_CLIP(bool on, int& status) {
  static const char* const ident = "Subroutine VG_CLIP V0.2 ";
  if (!entry(status, ident)) return;
  if (!vg::check_open("VG_CLIP")) return;
  vg::System& s = vg::record();
  s.clip = on;
  vg::for_active(vg::Op::clip, status,
                 [&](vg::Device& d) { return d.set_clip(on, s.clip_window); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_INQ_CLIP(bool& on, int& status) {
  if (!entry(status, "Subroutine VG_INQ_CLIP V0.1 ")) return;
  if (!vg::check_open("VG_INQ_CLIP")) return;
  on = vg::record().clip;
}

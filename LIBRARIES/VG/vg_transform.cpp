// Data window, viewport, the world-to-device transform and clipping.
#include <algorithm>
#include <string>

#include "vg.h"
#include "vg_internal.h"

namespace {

using io::entry_ok;

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

// Puts a data window and viewport in force; the devices hear of it only
// when either differs from the pair in force.
void put_transform(const float* window, const float* viewport, int& status) {
  vg::System& s = vg::record();
  if (std::equal(window, window + 4, s.window) && std::equal(viewport, viewport + 4, s.viewport)) {
    return;
  }
  std::copy(window, window + 4, s.window);
  std::copy(viewport, viewport + 4, s.viewport);
  apply_transform(status);
}

// The order checks of a data window or viewport: status_order_x or
// status_order_y when a minimum is not below its maximum.
bool ordered(const float* r, const char* ident, int& status) {
  if (!(r[0] < r[2])) {
    io::fail(vg::status_order_x, ident, status);
    return false;
  }
  if (!(r[1] < r[3])) {
    io::fail(vg::status_order_y, ident, status);
    return false;
  }
  return true;
}

// The inquiry of a rectangle of the record (data window, viewport, clip
// window): the entry check, then its limits.
void inquire_rectangle(const char* ident, const float* r, float& xmin, float& ymin, float& xmax,
                       float& ymax, int& status) {
  if (!vg::entry_open(status, ident)) return;
  xmin = r[0];
  ymin = r[1];
  xmax = r[2];
  ymax = r[3];
}

// A value along axis i (0 x, 1 y) of the rectangle `from` at the same place
// along that axis of the rectangle `to`.
float linear_map(const float* from, const float* to, int i, float value) {
  return to[i] + (value - from[i]) * (to[i + 2] - to[i]) / (from[i + 2] - from[i]);
}

// Puts back a saved attribute when it differs from the one in force.
template <typename T>
void put_back(T saved, T now, void (*set)(T, int&), int& status) {
  if (status == io::status_good && saved != now) set(saved, status);
}

// Shared by VG_DATAWINDOW and VG_VIEWPORT: checks the order of the limits
// and stores them in `target`; a bad order leaves everything as it was.
void set_rectangle(float* target, float xmin, float ymin, float xmax, float ymax, const char* ident,
                   int& status) {
  if (!entry_ok(status, ident)) return;
  if (!vg::record().open) return vg::not_open("VG_OPEN_WK", ident, status);
  const float r[4] = {xmin, ymin, xmax, ymax};
  if (!ordered(r, ident, status)) return;
  std::copy(r, r + 4, target);
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
  inquire_rectangle("Subroutine VG_INQ_DATAWINDOW V0.1 ", vg::record().window, xmin, ymin, xmax,
                    ymax, status);
}

void VG_INQ_VIEWPORT(float& xmin, float& ymin, float& xmax, float& ymax, int& status) {
  inquire_rectangle("Subroutine VG_INQ_VIEWPORT V0.1 ", vg::record().viewport, xmin, ymin, xmax,
                    ymax, status);
}

void VG_UNITYTRANSFORM(bool set, int& status) {
  static const char* const ident = "Subroutine VG_UNITYTRANSFORM V0.2 ";
  if (!vg::entry_open(status, ident)) return;
  vg::System& s = vg::record();
  if (set) {
    // Each set remembers the pair in force, so that nested users each get
    // back what they found.
    std::array<float, 8> pair{};
    std::copy(s.window, s.window + 4, pair.begin());
    std::copy(s.viewport, s.viewport + 4, pair.begin() + 4);
    s.unity_stack.push_back(pair);
    const float unit[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    put_transform(unit, unit, status);
  } else {
    if (s.unity_stack.empty()) return;
    const std::array<float, 8> pair = s.unity_stack.back();
    s.unity_stack.pop_back();
    put_transform(pair.data(), pair.data() + 4, status);
  }
  if (status != io::status_good) ST_SAVE(ident);
}

float VG_WC2PC(bool x_axis, float value, int& status) {
  if (!vg::entry_open(status, "Function VG_WC2PC V0.1 ")) return 0.0f;
  return linear_map(vg::record().window, vg::record().viewport, x_axis ? 0 : 1, value);
}

float VG_PC2WC(bool x_axis, float value, int& status) {
  if (!vg::entry_open(status, "Function VG_PC2WC V0.1 ")) return 0.0f;
  return linear_map(vg::record().viewport, vg::record().window, x_axis ? 0 : 1, value);
}

void VG_INQ_MAXPC(float& xmax, float& ymax, int& status) {
  if (!vg::entry_open(status, "Subroutine VG_INQ_MAXPC V0.2 ")) return;
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
  if (!vg::entry_open(status, "Subroutine VG_INQ_SCALING V0.1 ")) return;
  const vg::System& s = vg::record();
  xscale = s.xscale;
  yscale = s.yscale;
  xoffset = s.xoffset;
  yoffset = s.yoffset;
}

void VG_CLIPWINDOW(float xmin, float ymin, float xmax, float ymax, int& status) {
  static const char* const ident = "Subroutine VG_CLIPWINDOW V0.2 ";
  if (!vg::entry_open(status, ident)) return;
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
  inquire_rectangle("Subroutine VG_INQ_CLIPWINDOW V0.1 ", vg::record().clip_window, xmin, ymin,
                    xmax, ymax, status);
}

void VG_CLIP(bool on, int& status) {
  static const char* const ident = "Subroutine VG_CLIP V0.2 ";
  if (!vg::entry_open(status, ident)) return;
  vg::System& s = vg::record();
  s.clip = on;
  vg::for_active(vg::Op::clip, status,
                 [&](vg::Device& d) { return d.set_clip(on, s.clip_window); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_INQ_CLIP(bool& on, int& status) {
  if (!vg::entry_open(status, "Subroutine VG_INQ_CLIP V0.1 ")) return;
  on = vg::record().clip;
}

void VG_SAVE_STATE(vg::DrawingState& state, int& status) {
  if (!vg::entry_open(status, "Subroutine VG_SAVE_STATE V0.1 ")) return;
  const vg::System& s = vg::record();
  state.attributes = s.attributes;
  std::copy(s.window, s.window + 4, state.window.begin());
  std::copy(s.viewport, s.viewport + 4, state.viewport.begin());
  std::copy(s.clip_window, s.clip_window + 4, state.clip_window.begin());
  state.clip = s.clip;
}

void VG_RESTORE_STATE(const vg::DrawingState& state, int& status) {
  static const char* const ident = "Subroutine VG_RESTORE_STATE V0.1 ";
  if (!vg::entry_open(status, ident)) return;
  if (!ordered(state.window.data(), ident, status) ||
      !ordered(state.viewport.data(), ident, status)) {
    return;
  }
  vg::System& s = vg::record();
  put_transform(state.window.data(), state.viewport.data(), status);

  // Clipping: switched off before a new rectangle is stored, switched on
  // after, so that a device hears of each change once.
  if (status == io::status_good && s.clip && !state.clip) VG_CLIP(false, status);
  if (status == io::status_good &&
      !std::equal(state.clip_window.begin(), state.clip_window.end(), s.clip_window)) {
    const auto& c = state.clip_window;
    VG_CLIPWINDOW(c[0], c[1], c[2], c[3], status);
  }
  if (status == io::status_good && !s.clip && state.clip) VG_CLIP(true, status);

  // The attributes, each through its setter when it differs.
  const vg::Attributes& a = state.attributes;
  const vg::Attributes now = s.attributes;
  put_back(a.line_colour, now.line_colour, VG_LINECOLOUR, status);
  put_back(a.line_style, now.line_style, VG_LINESTYLE, status);
  put_back(a.line_width, now.line_width, VG_LINEWIDTH, status);
  put_back(a.marker_type, now.marker_type, VG_MARKERTYPE, status);
  put_back(a.marker_scale, now.marker_scale, VG_MARKERSCALE, status);
  put_back(a.marker_width, now.marker_width, VG_MARKERWIDTH, status);
  put_back(a.marker_colour, now.marker_colour, VG_MARKERCOLOUR, status);
  put_back(a.fill_colour, now.fill_colour, VG_FILLCOLOUR, status);
  put_back(a.text_font, now.text_font, VG_TEXTFONT, status);
  put_back(a.text_colour, now.text_colour, VG_TEXTCOLOUR, status);
  put_back(a.text_height, now.text_height, VG_TEXTHEIGHT, status);
  if (status == io::status_good &&
      (a.text_horizontal != now.text_horizontal || a.text_vertical != now.text_vertical)) {
    VG_TEXTALIGNMENT(a.text_horizontal, a.text_vertical, status);
  }
  put_back(a.text_angle, now.text_angle, VG_TEXTANGLE, status);
  put_back(a.mask_colour, now.mask_colour, VG_MASKCOLOUR, status);
  put_back(a.logarithmic, now.logarithmic, VG_LOGZSCALING, status);
  if (status != io::status_good) ST_SAVE(ident);
}

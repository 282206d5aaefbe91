// Attribute setters and their inquiries: each setter stores the value in the
// core and passes it to every active workstation.
#include <cmath>
#include <string>

#include "vg.h"
#include "vg_internal.h"

namespace {

// Common frame of a setter: status and open checks, the argument check
// (status_bad_argument), `store` changing the core's attributes, and the
// attribute of `op` passed to every active workstation.
template <typename Store>
void set_attributes(const char* ident, bool valid, vg::Op op, Store store, int& status) {
  if (!vg::entry_open(status, ident)) return;
  if (!valid) return io::fail(vg::status_bad_argument, ident, status);
  vg::Attributes& a = vg::record().attributes;
  store(a);
  vg::for_active(op, status, [&](vg::Device& d) { return vg::forward_attribute(op, d, a); });
  if (status != io::status_good) ST_SAVE(ident);
}

// The setter of one attribute.
template <typename T>
void set_attribute(const char* ident, bool valid, vg::Op op, T vg::Attributes::*field, T value,
                   int& status) {
  set_attributes(
      ident, valid, op, [&](vg::Attributes& a) { a.*field = value; }, status);
}

bool valid_colour(int colour) {
  return colour >= vg::inverse_video && colour < vg::table_size;
}

// The inquiry of one attribute.
template <typename T>
void inquire(const char* ident, T vg::Attributes::*field, T& value, int& status) {
  if (!vg::entry_open(status, ident)) return;
  value = vg::record().attributes.*field;
}

}  // namespace

void VG_LINECOLOUR(int colour, int& status) {
  set_attribute("Subroutine VG_LINECOLOUR V0.2 ", valid_colour(colour), vg::Op::line_colour,
                &vg::Attributes::line_colour, colour, status);
}

void VG_LINESTYLE(int style, int& status) {
  set_attribute("Subroutine VG_LINESTYLE V0.2 ", true, vg::Op::line_style,
                &vg::Attributes::line_style, style, status);
}

void VG_LINEWIDTH(float width, int& status) {
  set_attribute("Subroutine VG_LINEWIDTH V0.2 ", std::isfinite(width), vg::Op::line_width,
                &vg::Attributes::line_width, width, status);
}

void VG_MARKERTYPE(int type, int& status) {
  set_attribute("Subroutine VG_MARKERTYPE V0.2 ", true, vg::Op::marker_type,
                &vg::Attributes::marker_type, type, status);
}

void VG_MARKERSCALE(float scale, int& status) {
  set_attribute("Subroutine VG_MARKERSCALE V0.2 ", std::isfinite(scale), vg::Op::marker_scale,
                &vg::Attributes::marker_scale, scale, status);
}

void VG_MARKERWIDTH(float width, int& status) {
  set_attribute("Subroutine VG_MARKERWIDTH V0.2 ", std::isfinite(width), vg::Op::marker_width,
                &vg::Attributes::marker_width, width, status);
}

void VG_MARKERCOLOUR(int colour, int& status) {
  set_attribute("Subroutine VG_MARKERCOLOUR V0.2 ", valid_colour(colour), vg::Op::marker_colour,
                &vg::Attributes::marker_colour, colour, status);
}

void VG_FILLCOLOUR(int colour, int& status) {
  set_attribute("Subroutine VG_FILLCOLOUR V0.2 ", valid_colour(colour), vg::Op::fill_colour,
                &vg::Attributes::fill_colour, colour, status);
}

void VG_TEXTFONT(int font, int& status) {
  set_attribute("Subroutine VG_TEXTFONT V0.2 ", true, vg::Op::text_font, &vg::Attributes::text_font,
                font, status);
}

void VG_TEXTCOLOUR(int colour, int& status) {
  set_attribute("Subroutine VG_TEXTCOLOUR V0.2 ", valid_colour(colour), vg::Op::text_colour,
                &vg::Attributes::text_colour, colour, status);
}

void VG_TEXTHEIGHT(float height, int& status) {
  set_attribute("Subroutine VG_TEXTHEIGHT V0.2 ", std::isfinite(height), vg::Op::text_height,
                &vg::Attributes::text_height, height, status);
}

void VG_TEXTALIGNMENT(int horizontal, int vertical, int& status) {
  set_attributes(
      "Subroutine VG_TEXTALIGNMENT V0.2 ", true, vg::Op::text_alignment,
      [&](vg::Attributes& a) {
        a.text_horizontal = horizontal;
        a.text_vertical = vertical;
      },
      status);
}

void VG_TEXTANGLE(float degrees, int& status) {
  set_attribute("Subroutine VG_TEXTANGLE V0.2 ", std::isfinite(degrees), vg::Op::text_angle,
                &vg::Attributes::text_angle, degrees, status);
}

void VG_MASKCOLOUR(int colour, int& status) {
  set_attribute("Subroutine VG_MASKCOLOUR V0.1 ", colour >= 0 && colour < vg::table_size,
                vg::Op::mask_colour, &vg::Attributes::mask_colour, colour, status);
}

void VG_LOGZSCALING(bool logarithmic, int& status) {
  set_attribute("Subroutine VG_LOGZSCALING V0.1 ", true, vg::Op::log_scaling,
                &vg::Attributes::logarithmic, logarithmic, status);
}

void VG_INQ_LINECOLOUR(int& colour, int& status) {
  inquire("Subroutine VG_INQ_LINECOLOUR V0.1 ", &vg::Attributes::line_colour, colour, status);
}

void VG_INQ_LINESTYLE(int& style, int& status) {
  inquire("Subroutine VG_INQ_LINESTYLE V0.1 ", &vg::Attributes::line_style, style, status);
}

void VG_INQ_LINEWIDTH(float& width, int& status) {
  inquire("Subroutine VG_INQ_LINEWIDTH V0.1 ", &vg::Attributes::line_width, width, status);
}

void VG_INQ_MARKERTYPE(int& type, int& status) {
  inquire("Subroutine VG_INQ_MARKERTYPE V0.1 ", &vg::Attributes::marker_type, type, status);
}

void VG_INQ_MARKERSCALE(float& scale, int& status) {
  inquire("Subroutine VG_INQ_MARKERSCALE V0.1 ", &vg::Attributes::marker_scale, scale, status);
}

void VG_INQ_MARKERWIDTH(float& width, int& status) {
  inquire("Subroutine VG_INQ_MARKERWIDTH V0.1 ", &vg::Attributes::marker_width, width, status);
}

void VG_INQ_MARKERCOLOUR(int& colour, int& status) {
  inquire("Subroutine VG_INQ_MARKERCOLOUR V0.1 ", &vg::Attributes::marker_colour, colour, status);
}

void VG_INQ_FILLCOLOUR(int& colour, int& status) {
  inquire("Subroutine VG_INQ_FILLCOLOUR V0.1 ", &vg::Attributes::fill_colour, colour, status);
}

void VG_INQ_TEXTFONT(int& font, int& status) {
  inquire("Subroutine VG_INQ_TEXTFONT V0.1 ", &vg::Attributes::text_font, font, status);
}

void VG_INQ_TEXTCOLOUR(int& colour, int& status) {
  inquire("Subroutine VG_INQ_TEXTCOLOUR V0.1 ", &vg::Attributes::text_colour, colour, status);
}

void VG_INQ_TEXTHEIGHT(float& height, int& status) {
  inquire("Subroutine VG_INQ_TEXTHEIGHT V0.1 ", &vg::Attributes::text_height, height, status);
}

void VG_INQ_TEXTALIGNMENT(int& horizontal, int& vertical, int& status) {
  if (!vg::entry_open(status, "Subroutine VG_INQ_TEXTALIGNMENT V0.1 ")) return;
  horizontal = vg::record().attributes.text_horizontal;
  vertical = vg::record().attributes.text_vertical;
}

void VG_INQ_TEXTANGLE(float& degrees, int& status) {
  inquire("Subroutine VG_INQ_TEXTANGLE V0.1 ", &vg::Attributes::text_angle, degrees, status);
}

void VG_INQ_MASKCOLOUR(int& colour, int& status) {
  inquire("Subroutine VG_INQ_MASKCOLOUR V0.1 ", &vg::Attributes::mask_colour, colour, status);
}

void VG_INQ_LOGZSCALING(bool& logarithmic, int& status) {
  inquire("Subroutine VG_INQ_LOGZSCALING V0.1 ", &vg::Attributes::logarithmic, logarithmic, status);
}

void VG_INQ_TEXTWIDTH(const std::string& text, float& width, int& status) {
  static const char* const ident = "Subroutine VG_INQ_TEXTWIDTH V0.3 ";
  if (!vg::entry_open(status, ident)) return;
  const vg::System& s = vg::record();
  const std::string trimmed = io::trimmed(text);
  // Measured by the window when one is open, else by the PostScript device;
  // with no workstation at all, an estimate of half the height per character.
  vg::Workstation* chosen = nullptr;
  for (auto& ws : vg::record().table) {
    if (ws.state == vg::state_free) continue;
    if (ws.device_class == vg::class_window) {
      chosen = &ws;
      break;
    }
    if (chosen == nullptr) chosen = &ws;
  }
  if (chosen == nullptr) {
    width = 0.5f * s.attributes.text_height * static_cast<float>(trimmed.size());
    return;
  }
  vg::Device& d = *chosen->device;
  if (chosen->state != vg::state_active) {
    // An inactive device may not have seen the latest font and height.
    vg::device_result(d.text_font(s.attributes.text_font), *chosen, vg::Op::text_font, status);
    if (status == io::status_good) {
      vg::device_result(d.text_height(s.attributes.text_height), *chosen, vg::Op::text_height,
                        status);
    }
  }
  float measured = 0.0f;
  if (status == io::status_good) {
    vg::device_result(d.text_width(trimmed, measured), *chosen, vg::Op::text_width, status);
  }
  if (status != io::status_good) {
    ST_SAVE(ident);
    return;
  }
  width = measured;
}

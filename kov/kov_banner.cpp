// The title banner drawn in the graphics window at start-up.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "gs.h"
#include "io.h"
#include "kov.h"

namespace {

// A filled rectangle with a frame line round it.
void framed(float x0, float y0, float x1, float y1, int fill, int frame, float width, int& status) {
  GS_FILLSTYLE(1, fill, status);
  GS_LINESTYLE(1, width, frame, status);
  GS_RECTANGLE(x0, y0, x1, y1, true, true, status);
}

}  // namespace

void KOV_MBANNER(const std::string& version, int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_MBANNER V0.2 ")) return;
  KOV_DRAW_MBANNER(version, status);
}

void KOV_DRAW_MBANNER(const std::string& /*version*/, int& status) {
  constexpr const char* id = "Subroutine KOV_DRAW_MBANNER V0.3 ";
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  // The caller's drawing state and regions come back however the banner
  // ends; it draws in page units.
  const gs::WidgetScope scope;

  // The page of the window format, and the two heights (as fractions of the
  // page height) between which the title panel stands.
  int format = 0;
  GS_INQ_WINDOWFORMAT(format, status);
  float width = vg::page_short, height = 1.0f, panel_top = 0.35f, panel_bottom = 0.29f;
  if (gs::is_landscape(format)) {
    width = 1.0f;
    height = vg::page_short;
    panel_top = 0.4f;
    panel_bottom = 0.17f;
  } else if (gs::is_square(format)) {
    width = 1.0f;
    height = 1.0f;
    panel_top = 0.4f;
    panel_bottom = 0.17f;
  }
  const gs::Box page{0.0f, 0.0f, width, height};
  GS_SET_DDDR(page, status);
  GS_SET_DGPP(page, status);
  const float f = std::min(0.02f * width, 0.02f * height);  // frame width

  VG_CLEAR(status);
  // Deep blue page, and a black panel in a yellow frame.
  GS_FILLSTYLE(1, gs::blue, status);
  GS_RECTANGLE(0.0f, 0.0f, width, height, false, true, status);
  GS_FILLSTYLE(1, gs::yellow, status);
  GS_RECTANGLE(f, f, width - f, height - f, false, true, status);
  framed(2 * f, 2 * f, width - 2 * f, height - 2 * f, gs::black, gs::white, 1.0f, status);

  // The letter box and, below it, the title panel fill the inner panel with
  // even margins; the title panel is as high as the two proportions of the
  // page are apart.
  const float left = 3.5f * f, right = width - 3.5f * f;
  const float title_bottom = 3.5f * f;
  const float title_top = title_bottom + (panel_top - panel_bottom) * height;
  const float letters_bottom = title_top + 1.5f * f;
  const float letters_top = height - 3.5f * f;
  framed(left, letters_bottom, right, letters_top, gs::blue, gs::white, 2.0f, status);
  framed(left, title_bottom, right, title_top, gs::white, gs::yellow, 3.0f, status);

  // The block letters, as large as the letter box allows: "k", "o" and "v"
  // span 18 glyph units across and 9 up (the "k" alone reaches above 6).
  // Glyph units are square, or up to a quarter taller than wide where the
  // box is tall (portrait), so that the letters fill it better.
  const float box_w = right - left, box_h = letters_top - letters_bottom;
  const float unit_y_max = 0.75f * box_h / 9.0f;
  const float unit_x = std::min(0.86f * box_w / 18.0f, unit_y_max);
  const float unit_y = std::min(unit_y_max, 1.25f * unit_x);
  const float letters_x = 0.5f * (left + right) - 9.0f * unit_x;
  const float letters_y = letters_bottom + 0.5f * (box_h - 9.0f * unit_y);

  // Two corner pieces in the letter box, in the corners the letters leave
  // free: over "o" and "v" at the top right, under "k" at the bottom left.
  // Each is a right triangle whose long side stays clear of the letters.
  const auto clear_scale = [&](float corner_x, float corner_y, float a, float b,
                               std::initializer_list<std::pair<float, float>> points) {
    float fit = 1.0f;
    for (const auto& [gx, gy] : points) {
      const float dx = std::abs(letters_x + gx * unit_x - corner_x);
      const float dy = std::abs(letters_y + gy * unit_y - corner_y);
      fit = std::min(fit, 0.8f * (dx / a + dy / b));
    }
    return fit;
  };
  const float leg_x = 0.5f * std::min(box_w, box_h), leg_y = leg_x;
  // Both the same size, so that they mirror each other about the centre.
  const float scale =
      std::min(clear_scale(right, letters_top, leg_x, leg_y,
                           {{18.0f, 6.0f}, {6.5f, 6.0f}, {5.0f, 6.0f}, {1.5f, 9.0f}}),
               clear_scale(left, letters_bottom, leg_x, leg_y,
                           {{0.0f, 0.0f}, {6.5f, 0.0f}, {14.75f, 0.0f}}));
  GS_LINESTYLE(1, 2.0f, gs::white, status);
  GS_FILLSTYLE(1, gs::violet, status);
  GS_TRIANGLE(right, letters_top, right - scale * leg_x, letters_top, right,
              letters_top - scale * leg_y, true, true, status);
  GS_TRIANGLE(left, letters_bottom, left + scale * leg_x, letters_bottom, left,
              letters_bottom + scale * leg_y, true, true, status);

  GS_SET_CHAR_SCALING(unit_x, unit_y, status);
  float x = letters_x;
  const char letters[3] = {'k', 'o', 'v'};
  const int colours[3] = {gs::orange, gs::yellow, gs::cyan};
  for (int i = 0; i < 3; ++i) {
    GS_FILLSTYLE(1, colours[i], status);
    GS_DRAW_CHARACTER(letters[i], x, letters_y, status);
  }

  // The title, centred in its panel and fitted to its width.
  const std::string title = std::string("KOV: ") + kov::descriptive_title;
  const float panel_h = title_top - title_bottom;
  float text_height = std::min(0.5f * panel_h, 0.05f);
  GS_TEXTSTYLE(1, gs::blue, text_height, 1.0f, 0.0f, gs::align_centre, gs::valign_middle, status);
  float text_width = 0.0f;
  VG_INQ_TEXTWIDTH(title, text_width, status);
  const float widest = 0.9f * box_w;
  if (text_width > widest) {
    text_height *= widest / text_width;
    GS_TEXTSTYLE(1, gs::blue, text_height, 1.0f, 0.0f, gs::align_centre, gs::valign_middle, status);
  }
  VG_TEXT(0.5f * width, 0.5f * (title_bottom + title_top), title, status);
  VG_UPDATE(gs::window_workstation, 0, status);
  if (status != io::status_good) ST_SAVE(id);
}

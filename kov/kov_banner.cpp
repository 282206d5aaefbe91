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

// The banner's page in the window's format, and the two heights (as
// fractions of the page height) between which the title panel stands.
struct Page {
  float width, height, panel_top, panel_bottom;
};
Page banner_page(int format) {
  if (gs::is_landscape(format)) return {1.0f, vg::page_short, 0.4f, 0.17f};
  if (gs::is_square(format)) return {1.0f, 1.0f, 0.4f, 0.17f};
  return {vg::page_short, 1.0f, 0.35f, 0.29f};
}

// The boxes of the banner: the letter box and, below it, the title panel
// fill the inner panel with even margins; the title panel is as high as the
// two proportions of the page are apart.
struct Layout {
  float f;  // frame width
  float left, right, title_bottom, title_top, letters_bottom, letters_top;
};
Layout layout_of(const Page& p) {
  Layout l;
  l.f = std::min(0.02f * p.width, 0.02f * p.height);
  l.left = 3.5f * l.f;
  l.right = p.width - 3.5f * l.f;
  l.title_bottom = 3.5f * l.f;
  l.title_top = l.title_bottom + (p.panel_top - p.panel_bottom) * p.height;
  l.letters_bottom = l.title_top + 1.5f * l.f;
  l.letters_top = p.height - 3.5f * l.f;
  return l;
}

// Deep blue page, a black panel in a yellow frame, the letter box and the
// title panel.
void draw_panels(const Page& p, const Layout& l, int& status) {
  const float f = l.f;
  VG_CLEAR(status);
  GS_FILLSTYLE(1, gs::blue, status);
  GS_RECTANGLE(0.0f, 0.0f, p.width, p.height, false, true, status);
  GS_FILLSTYLE(1, gs::yellow, status);
  GS_RECTANGLE(f, f, p.width - f, p.height - f, false, true, status);
  framed(2 * f, 2 * f, p.width - 2 * f, p.height - 2 * f, gs::black, gs::white, 1.0f, status);
  framed(l.left, l.letters_bottom, l.right, l.letters_top, gs::blue, gs::white, 2.0f, status);
  framed(l.left, l.title_bottom, l.right, l.title_top, gs::white, gs::yellow, 3.0f, status);
}

// The block letters, as large as the letter box allows: "k", "o" and "v"
// span 18 glyph units across and 9 up (the "k" alone reaches above 6).
// Glyph units are square, or up to a quarter taller than wide where the box
// is tall (portrait), so that the letters fill it better.
struct Letters {
  float unit_x, unit_y, x, y;
};
Letters letters_of(const Layout& l) {
  const float box_w = l.right - l.left, box_h = l.letters_top - l.letters_bottom;
  const float unit_y_max = 0.75f * box_h / 9.0f;
  Letters g;
  g.unit_x = std::min(0.86f * box_w / 18.0f, unit_y_max);
  g.unit_y = std::min(unit_y_max, 1.25f * g.unit_x);
  g.x = 0.5f * (l.left + l.right) - 9.0f * g.unit_x;
  g.y = l.letters_bottom + 0.5f * (box_h - 9.0f * g.unit_y);
  return g;
}

// How large a right triangle in the corner (x, y) with legs a and b may be,
// as a share of them, for its long side to stay clear of the glyph points.
float clear_scale(const Letters& g, float corner_x, float corner_y, float a, float b,
                  std::initializer_list<std::pair<float, float>> points) {
  float fit = 1.0f;
  for (const auto& [gx, gy] : points) {
    const float dx = std::abs(g.x + gx * g.unit_x - corner_x);
    const float dy = std::abs(g.y + gy * g.unit_y - corner_y);
    fit = std::min(fit, 0.8f * (dx / a + dy / b));
  }
  return fit;
}

// Two corner pieces in the letter box, in the corners the letters leave
// free: over "o" and "v" at the top right, under "k" at the bottom left,
// both the same size, so that they mirror each other about the centre.
void draw_corners(const Layout& l, const Letters& g, int& status) {
  const float box_w = l.right - l.left, box_h = l.letters_top - l.letters_bottom;
  const float leg_x = 0.5f * std::min(box_w, box_h), leg_y = leg_x;
  const float scale =
      std::min(clear_scale(g, l.right, l.letters_top, leg_x, leg_y,
                           {{18.0f, 6.0f}, {6.5f, 6.0f}, {5.0f, 6.0f}, {1.5f, 9.0f}}),
               clear_scale(g, l.left, l.letters_bottom, leg_x, leg_y,
                           {{0.0f, 0.0f}, {6.5f, 0.0f}, {14.75f, 0.0f}}));
  GS_LINESTYLE(1, 2.0f, gs::white, status);
  GS_FILLSTYLE(1, gs::violet, status);
  GS_TRIANGLE(l.right, l.letters_top, l.right - scale * leg_x, l.letters_top, l.right,
              l.letters_top - scale * leg_y, true, true, status);
  GS_TRIANGLE(l.left, l.letters_bottom, l.left + scale * leg_x, l.letters_bottom, l.left,
              l.letters_bottom + scale * leg_y, true, true, status);
}

void draw_letters(const Letters& g, int& status) {
  GS_SET_CHAR_SCALING(g.unit_x, g.unit_y, status);
  float x = g.x;
  const char letters[3] = {'k', 'o', 'v'};
  const int colours[3] = {gs::orange, gs::yellow, gs::cyan};
  for (int i = 0; i < 3; ++i) {
    GS_FILLSTYLE(1, colours[i], status);
    GS_DRAW_CHARACTER(letters[i], x, g.y, status);
  }
}

// The title, centred in its panel and fitted to its width.
void draw_title(const Page& p, const Layout& l, int& status) {
  const std::string title = std::string("KOV: ") + kov::descriptive_title;
  const float panel_h = l.title_top - l.title_bottom;
  float text_height = std::min(0.5f * panel_h, 0.05f);
  GS_TEXTSTYLE(1, gs::blue, text_height, 1.0f, 0.0f, gs::align_centre, gs::valign_middle, status);
  float text_width = 0.0f;
  VG_INQ_TEXTWIDTH(title, text_width, status);
  const float widest = 0.9f * (l.right - l.left);
  if (text_width > widest) {
    text_height *= widest / text_width;
    GS_TEXTSTYLE(1, gs::blue, text_height, 1.0f, 0.0f, gs::align_centre, gs::valign_middle, status);
  }
  VG_TEXT(0.5f * p.width, 0.5f * (l.title_bottom + l.title_top), title, status);
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
  int format = 0;
  GS_INQ_WINDOWFORMAT(format, status);
  const Page page = banner_page(format);
  const gs::Box whole{0.0f, 0.0f, page.width, page.height};
  GS_SET_DDDR(whole, status);
  GS_SET_DGPP(whole, status);
  const Layout layout = layout_of(page);
  draw_panels(page, layout, status);
  const Letters letters = letters_of(layout);
  draw_corners(layout, letters, status);
  draw_letters(letters, status);
  draw_title(page, layout, status);
  VG_UPDATE(gs::window_workstation, 0, status);
  if (status != io::status_good) ST_SAVE(id);
}

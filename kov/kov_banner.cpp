// The title banner drawn in the graphics window at start-up.
#include <algorithm>
#include <string>

#include "gs.h"
#include "io.h"
#include "kov.h"

namespace {

// The caller's drawing state that the banner changes.
struct SavedState {
  float window[4]{}, viewport[4]{};
  int line_type = 1, line_colour = 1, fill_type = 1, fill_colour = 1;
  float line_width = 1.0f;
  int font = 1, text_colour = 1, horizontal = 1, vertical = 1;
  float height = 0.0f, factor = 1.0f, angle = 0.0f;
  float char_x = 0.0f, char_y = 0.0f;

  void save(int& status) {
    VG_INQ_DATAWINDOW(window[0], window[1], window[2], window[3], status);
    VG_INQ_VIEWPORT(viewport[0], viewport[1], viewport[2], viewport[3], status);
    GS_INQ_LINESTYLE(line_type, line_width, line_colour, status);
    GS_INQ_FILLSTYLE(fill_type, fill_colour, status);
    GS_INQ_TEXTSTYLE(font, text_colour, height, factor, angle, horizontal, vertical, status);
    GS_INQ_CHAR_SCALING(char_x, char_y, status);
  }
  void restore(int& status) const {
    GS_SET_CHAR_SCALING(char_x, char_y, status);
    GS_TEXTSTYLE(font, text_colour, height, factor, angle, horizontal, vertical, status);
    GS_FILLSTYLE(fill_type, fill_colour, status);
    GS_LINESTYLE(line_type, line_width, line_colour, status);
    VG_DATAWINDOW(window[0], window[1], window[2], window[3], status);
    VG_VIEWPORT(viewport[0], viewport[1], viewport[2], viewport[3], status);
  }
};

// A filled rectangle with a frame line round it.
void framed(float x0, float y0, float x1, float y1, int fill, int frame, float width,
            int& status) {
  GS_FILLSTYLE(1, fill, status);
  GS_LINESTYLE(1, width, frame, status);
  GS_RECTANGLE(x0, y0, x1, y1, true, true, status);
}

}  // namespace

void KOV_MBANNER(const std::string& version, int& status) {
  if (status != io::status_good) {
    ST_SAVE("Subroutine KOV_MBANNER V0.2 ");
    return;
  }
  KOV_DRAW_MBANNER(version, status);
}

void KOV_DRAW_MBANNER(const std::string& /*version*/, int& status) {
  constexpr const char* id = "Subroutine KOV_DRAW_MBANNER V0.3 ";
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  SavedState saved;
  saved.save(status);
  VG_DATAWINDOW(0.0f, 0.0f, 1.0f, 1.0f, status);
  VG_VIEWPORT(0.0f, 0.0f, 1.0f, 1.0f, status);

  // The page of the window format, and the two heights (as fractions of the
  // page height) between which the title panel stands.
  int format = 0;
  GS_INQ_WINDOWFORMAT(format, status);
  float width = vg::page_short, height = 1.0f, panel_top = 0.35f, panel_bottom = 0.29f;
  if (format == 1 || format == 3) {
    width = 1.0f;
    height = vg::page_short;
    panel_top = 0.4f;
    panel_bottom = 0.17f;
  } else if (format == 4 || format == 5) {
    width = 1.0f;
    height = 1.0f;
    panel_top = 0.4f;
    panel_bottom = 0.17f;
  }
  GS_SET_DDDR(0.0f, 0.0f, width, height, status);
  GS_SET_DGPP(0.0f, 0.0f, width, height, status);
  const float f = std::min(0.02f * width, 0.02f * height);  // frame width

  VG_CLEAR(status);
  // Deep blue page, and a black panel in a yellow frame.
  GS_FILLSTYLE(1, gs::blue, status);
  GS_RECTANGLE(0.0f, 0.0f, width, height, false, true, status);
  GS_FILLSTYLE(1, gs::yellow, status);
  GS_RECTANGLE(f, f, width - f, height - f, false, true, status);
  framed(2 * f, 2 * f, width - 2 * f, height - 2 * f, gs::black, gs::white, 1.0f, status);

  // The letter box above the title panel, the title panel itself.
  const float left = 3.5f * f, right = width - 3.5f * f;
  const float title_bottom = panel_bottom * height;
  const float title_top = panel_top * height;
  const float letters_bottom = title_top + 1.5f * f;
  const float letters_top = height - 3.5f * f;
  framed(left, letters_bottom, right, letters_top, gs::blue, gs::white, 2.0f, status);
  framed(left, title_bottom, right, title_top, gs::white, gs::yellow, 3.0f, status);

  // The block letters, as large as the letter box allows with square glyph
  // units: 18 units wide ("k", "o" and the body of "v"), 9 high.
  const float box_w = right - left, box_h = letters_top - letters_bottom;
  const float unit = std::min(0.86f * box_w / 18.0f, 0.75f * box_h / 9.0f);
  GS_SET_CHAR_SCALING(unit, unit, status);
  float x = 0.5f * (left + right) - 9.0f * unit;
  const float y = letters_bottom + 0.5f * (box_h - 9.0f * unit);
  const char letters[3] = {'k', 'o', 'v'};
  const int colours[3] = {gs::orange, gs::yellow, gs::cyan};
  for (int i = 0; i < 3; ++i) {
    GS_FILLSTYLE(1, colours[i], status);
    GS_DRAW_CHARACTER(letters[i], x, y, status);
  }

  // The title, centred in its panel and fitted to its width.
  const std::string title = std::string("KOV: ") + kov::descriptive_title;
  const float panel_h = title_top - title_bottom;
  float text_height = std::min(0.4f * panel_h, 0.05f);
  GS_TEXTSTYLE(1, gs::blue, text_height, 1.0f, 0.0f, 2, 6, status);
  float text_width = 0.0f;
  VG_INQ_TEXTWIDTH(title, text_width, status);
  // Below the panel there is room for the triangles in portrait only; else
  // they flank the title inside the panel and the title is kept narrower.
  const float space_bottom = 3.5f * f, space_top = title_bottom - 1.5f * f;
  const bool triangles_below = space_top - space_bottom >= 0.12f;
  const float widest = (triangles_below ? 0.9f : 0.62f) * box_w;
  if (text_width > widest) {
    text_height *= widest / text_width;
    text_width = widest;
  }

  // Two triangles pointing at each other: a fan of rays from either side,
  // below the title panel when there is room there (portrait), else inside
  // the panel on either side of the title.
  const float centre_x = 0.5f * width;
  float tri_left = left, tri_right = right, tip_gap = f, centre_y = 0.0f, half = 0.0f;
  if (triangles_below) {
    centre_y = 0.5f * (space_bottom + space_top);
    half = 0.5f * std::min(space_top - space_bottom, 0.3f * (right - left));
  } else {
    centre_y = 0.5f * (title_bottom + title_top);
    half = 0.28f * panel_h;
    tri_left = left + 2.0f * f;
    tri_right = right - 2.0f * f;
    tip_gap = 0.5f * text_width + 2.0f * f;
  }
  GS_LINESTYLE(1, 2.0f, gs::white, status);
  GS_FILLSTYLE(1, gs::orange, status);
  GS_TRIANGLE(tri_left, centre_y - half, tri_left, centre_y + half, centre_x - tip_gap,
              centre_y, true, true, status);
  GS_FILLSTYLE(1, gs::violet, status);
  GS_TRIANGLE(tri_right, centre_y - half, tri_right, centre_y + half, centre_x + tip_gap,
              centre_y, true, true, status);
  GS_TEXTSTYLE(1, gs::blue, text_height, 1.0f, 0.0f, 2, 6, status);
  VG_TEXT(0.5f * width, 0.5f * (title_bottom + title_top), title, status);
  VG_UPDATE(gs::window_workstation, 0, status);

  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  saved.restore(status);
}

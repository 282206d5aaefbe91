// Drawing primitives of the user interface: text, line and fill styles by
// named colour, lines, rectangles and triangles.
#include <array>

#include "gs.h"
#include "gs_internal.h"

namespace {

using io::entry_ok;

bool colour_ok(int colour) {
  return colour >= 1 && colour <= gs::num_colours;
}

}  // namespace

namespace gs {

Styles& style_block() {
  static Styles s;
  return s;
}

}  // namespace gs

void GS_TEXTSTYLE(int font, int colour, float height, float size_factor, float angle,
                  int horizontal, int vertical, int& status) {
  constexpr const char* id = "Subroutine GS_TEXTSTYLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!colour_ok(colour)) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  const float factor = size_factor > 0.0f ? size_factor : 1.0f;
  VG_TEXTFONT(font, status);
  VG_TEXTCOLOUR(gs::device_index(colour), status);
  VG_TEXTHEIGHT(height * factor, status);
  VG_TEXTALIGNMENT(horizontal, vertical, status);
  VG_TEXTANGLE(angle, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  gs::style_block().text = {font, colour, height, size_factor, angle, horizontal, vertical};
}

void GS_TEXTSTYLE(const gs::TextStyle& t, int& status) {
  GS_TEXTSTYLE(t.font, t.colour, t.height, t.size_factor, t.angle, t.horizontal, t.vertical,
               status);
}

void GS_INQ_TEXTSTYLE(gs::TextStyle& style, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_TEXTSTYLE V0.1 ")) return;
  style = gs::style_block().text;
}

void GS_INQ_TEXTSTYLE(int& font, int& colour, float& height, float& size_factor, float& angle,
                      int& horizontal, int& vertical, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_TEXTSTYLE V0.1 ")) return;
  const gs::TextStyle& t = gs::style_block().text;
  font = t.font;
  colour = t.colour;
  height = t.height;
  size_factor = t.size_factor;
  angle = t.angle;
  horizontal = t.horizontal;
  vertical = t.vertical;
}

void GS_LINESTYLE(int type, float width, int colour, int& status) {
  constexpr const char* id = "Subroutine GS_LINESTYLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!colour_ok(colour)) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  VG_LINESTYLE(type, status);
  VG_LINEWIDTH(width, status);
  VG_LINECOLOUR(gs::device_index(colour), status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  gs::style_block().line = {type, width, colour};
}

void GS_INQ_LINESTYLE(int& type, float& width, int& colour, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_LINESTYLE V0.1 ")) return;
  type = gs::style_block().line.type;
  width = gs::style_block().line.width;
  colour = gs::style_block().line.colour;
}

void GS_FILLSTYLE(int type, int colour, int& status) {
  constexpr const char* id = "Subroutine GS_FILLSTYLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!colour_ok(colour)) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  VG_FILLCOLOUR(gs::device_index(colour), status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  gs::style_block().fill = {type, colour};
}

void GS_INQ_FILLSTYLE(gs::FillStyle& style, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_FILLSTYLE V0.1 ")) return;
  style = gs::style_block().fill;
}

void GS_INQ_FILLSTYLE(int& type, int& colour, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_FILLSTYLE V0.1 ")) return;
  type = gs::style_block().fill.type;
  colour = gs::style_block().fill.colour;
}

void GS_LINE(float x1, float y1, float x2, float y2, int& status) {
  constexpr const char* id = "Subroutine GS_LINE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  const float x[2] = {x1, x2};
  const float y[2] = {y1, y2};
  VG_POLYLINE(2, x, y, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_RECTANGLE(float xmin, float ymin, float xmax, float ymax, bool outline, bool fill,
                  int& status) {
  constexpr const char* id = "Subroutine GS_RECTANGLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  const float x[5] = {xmin, xmax, xmax, xmin, xmin};
  const float y[5] = {ymin, ymin, ymax, ymax, ymin};
  if (fill) VG_FILLAREA(4, x, y, status);
  if (outline) VG_POLYLINE(5, x, y, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_TRIANGLE(float x1, float y1, float x2, float y2, float x3, float y3, bool outline,
                 bool fill, int& status) {
  constexpr const char* id = "Subroutine GS_TRIANGLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  const float x[4] = {x1, x2, x3, x1};
  const float y[4] = {y1, y2, y3, y1};
  if (fill) VG_FILLAREA(3, x, y, status);
  if (outline) VG_POLYLINE(4, x, y, status);
  if (status != io::status_good) ST_SAVE(id);
}

// gslib, drawing: the text, line and fill styles by named colour, lines,
// rectangles and triangles (world coordinates); the block letters are in
// gs_font.h.
#pragma once

#include <vector>

#include "gs_colours.h"

namespace gs {

// Text style: font, named colour, character height (world y units as the
// device takes it), size factor (the height given to the device is height x
// size factor; a factor of 0 or below counts as 1), angle in degrees, and
// the device layer's horizontal and vertical alignment (gs::align_* and
// gs::valign_*, below).
struct TextStyle {
  int font = 1, colour = black;
  float height = 0.02f, size_factor = 1.0f, angle = 0.0f;
  int horizontal = 1, vertical = 1;
  bool operator==(const TextStyle&) const = default;
};
// Line style: line type (1 solid, others the device's styles), width, named
// colour.
struct LineStyle {
  int type = 1;
  float width = 1.0f;
  int colour = black;
  bool operator==(const LineStyle&) const = default;
};
// Fill style: fill type (1 solid; the only kind drawn) and named colour.
struct FillStyle {
  int type = 1, colour = black;
  bool operator==(const FillStyle&) const = default;
};
// Glyph scaling of the block letters: world units per glyph unit along X
// and Y.
struct CharScaling {
  float x = 0.01f, y = 0.01f;
  bool operator==(const CharScaling&) const = default;
};
// The drawing styles, one state block.
struct Styles {
  TextStyle text;
  LineStyle line;
  FillStyle fill;
  CharScaling characters;
  bool operator==(const Styles&) const = default;
};

// Text alignments of the device layer, horizontal and vertical.
inline constexpr int align_left = 1;
inline constexpr int align_centre = 2;
inline constexpr int align_right = 3;
inline constexpr int valign_top = 1;
inline constexpr int valign_cap = 2;   // the cap line
inline constexpr int valign_half = 3;  // half the height
inline constexpr int valign_base = 4;  // the base line
inline constexpr int valign_bottom = 5;
inline constexpr int valign_middle = 6;  // the middle of the capitals

}  // namespace gs

// The styles; a colour outside 1 .. 15 gives gs::status_bad_value and the
// style stays as it was.
void GS_TEXTSTYLE(int font, int colour, float height, float size_factor, float angle,
                  int horizontal, int vertical, int& status);
void GS_INQ_TEXTSTYLE(int& font, int& colour, float& height, float& size_factor, float& angle,
                      int& horizontal, int& vertical, int& status);
void GS_TEXTSTYLE(const gs::TextStyle& style, int& status);
void GS_INQ_TEXTSTYLE(gs::TextStyle& style, int& status);
void GS_LINESTYLE(int type, float width, int colour, int& status);
void GS_INQ_LINESTYLE(int& type, float& width, int& colour, int& status);
void GS_FILLSTYLE(int type, int colour, int& status);
void GS_INQ_FILLSTYLE(int& type, int& colour, int& status);
void GS_INQ_FILLSTYLE(gs::FillStyle& style, int& status);

void GS_LINE(float x1, float y1, float x2, float y2, int& status);
// Fills with the fill style when `fill`, then outlines with the line style
// when `outline`.
void GS_RECTANGLE(float xmin, float ymin, float xmax, float ymax, bool outline, bool fill,
                  int& status);
void GS_TRIANGLE(float x1, float y1, float x2, float y2, float x3, float y3, bool outline,
                 bool fill, int& status);

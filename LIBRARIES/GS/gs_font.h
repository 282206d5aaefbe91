// gslib, the block-letter font: bold lower-case letters as filled polygons,
// their scaling and the drawing of one letter (gs_font.cpp).
#pragma once

#include <vector>

#include "gs_draw.h"

namespace gs {

// The block-letter glyph of a character: one or two polygons of vertex
// offsets in glyph units from the lower left of the letter, and its advance
// width. Letters are 6 units wide and 8 high on their grid. `available` is
// false for characters without a glyph.
struct Glyph {
  bool available = false;
  std::vector<std::vector<float>> xs, ys;  // one pair of vectors per polygon
  float width = 0.0f;
};
Glyph glyph(char letter);

}  // namespace gs

// Glyph scaling (gs::CharScaling).
void GS_DEF_CHAR_SCALING(int& status);
void GS_SET_CHAR_SCALING(float x_factor, float y_factor, int& status);
void GS_INQ_CHAR_SCALING(float& x_factor, float& y_factor, int& status);
// Draws one block letter with its lower left at (x, y) in the fill style and
// advances x by its scaled width; "WARNING: Letter not available" for a
// character without a glyph (x unchanged).
void GS_DRAW_CHARACTER(char letter, float& x, float y, int& status);

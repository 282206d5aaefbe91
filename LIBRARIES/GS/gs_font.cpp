// The block-letter font: bold lower-case letters, each one or two filled
// polygons. Letters stand on a grid with strokes 1.5 units thick: the body is
// 5 units wide (7 for m and w), the x-height 6 units, ascenders reach 9 and
// descenders -3. A letter with a hole is one polygon that reaches into the
// hole along a bridge of no width, so that one fill draws the ring.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "gs.h"
#include "gs_internal.h"

namespace {

using Points = std::vector<std::pair<float, float>>;

struct Letter {
  char name;
  float width;  // advance, body plus the gap to the next letter
  Points first;
  Points second;  // empty for one-polygon letters
};

// The hole of the bowl letters, entered from the left edge at height y0.
Points with_hole(Points outer, float x0, float y0, float x1, float y1, float edge) {
  outer.push_back({edge, y0});
  outer.insert(outer.end(), {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}, {edge, y0}});
  return outer;
}

// A table of glyphs, one letter to a statement, laid out by hand.
// clang-format off
const std::vector<Letter>& letters() {
  static const std::vector<Letter> table = [] {
    std::vector<Letter> t;
    t.push_back({'a', 6.5f,
                 with_hole({{0, 0}, {5, 0}, {5, 6}, {0, 6}, {0, 4.5f}, {3.5f, 4.5f},
                            {3.5f, 3.75f}, {0, 3.75f}},
                           1.5f, 1.5f, 3.5f, 2.25f, 0),
                 {}});
    t.push_back({'b', 6.5f,
                 with_hole({{0, 0}, {5, 0}, {5, 6}, {1.5f, 6}, {1.5f, 9}, {0, 9}}, 1.5f, 1.5f,
                           3.5f, 4.5f, 0),
                 {}});
    t.push_back({'c', 6.5f,
                 {{0, 0}, {5, 0}, {5, 1.5f}, {1.5f, 1.5f}, {1.5f, 4.5f}, {5, 4.5f}, {5, 6},
                  {0, 6}},
                 {}});
    t.push_back({'d', 6.5f,
                 with_hole({{0, 0}, {5, 0}, {5, 9}, {3.5f, 9}, {3.5f, 6}, {0, 6}}, 1.5f, 1.5f,
                           3.5f, 4.5f, 0),
                 {}});
    t.push_back({'e', 6.5f,
                 with_hole({{0, 0}, {5, 0}, {5, 1.5f}, {1.5f, 1.5f}, {1.5f, 2.25f},
                            {5, 2.25f}, {5, 6}, {0, 6}},
                           1.5f, 3.75f, 3.5f, 4.5f, 0),
                 {}});
    t.push_back({'f', 6.5f,
                 {{1, 0}, {2.5f, 0}, {2.5f, 4.5f}, {4, 4.5f}, {4, 6}, {2.5f, 6}, {2.5f, 7.5f},
                  {5, 7.5f}, {5, 9}, {1, 9}, {1, 6}, {0, 6}, {0, 4.5f}, {1, 4.5f}},
                 {}});
    t.push_back({'g', 6.5f,
                 with_hole({{0, 1.5f}, {3.5f, 1.5f}, {3.5f, -1.5f}, {0, -1.5f}, {0, -3},
                            {5, -3}, {5, 6}, {0, 6}},
                           1.5f, 3, 3.5f, 4.5f, 0),
                 {}});
    t.push_back({'h', 6.5f,
                 {{0, 0}, {1.5f, 0}, {1.5f, 4.5f}, {3.5f, 4.5f}, {3.5f, 0}, {5, 0}, {5, 6},
                  {1.5f, 6}, {1.5f, 9}, {0, 9}},
                 {}});
    t.push_back({'i', 3.0f, {{0, 0}, {1.5f, 0}, {1.5f, 6}, {0, 6}},
                 {{0, 7.5f}, {1.5f, 7.5f}, {1.5f, 9}, {0, 9}}});
    t.push_back({'j', 5.0f, {{0, -3}, {3.5f, -3}, {3.5f, 6}, {2, 6}, {2, -1.5f}, {0, -1.5f}},
                 {{2, 7.5f}, {3.5f, 7.5f}, {3.5f, 9}, {2, 9}}});
    t.push_back({'k', 6.5f,
                 {{0, 0}, {1.5f, 0}, {1.5f, 2.2f}, {3.3f, 0}, {5.2f, 0}, {2.6f, 3.2f}, {5, 6},
                  {3.1f, 6}, {1.5f, 4}, {1.5f, 9}, {0, 9}},
                 {}});
    t.push_back({'l', 3.0f, {{0, 0}, {1.5f, 0}, {1.5f, 9}, {0, 9}}, {}});
    t.push_back({'m', 8.5f,
                 {{0, 0}, {1.5f, 0}, {1.5f, 4.5f}, {2.75f, 4.5f}, {2.75f, 0}, {4.25f, 0},
                  {4.25f, 4.5f}, {5.5f, 4.5f}, {5.5f, 0}, {7, 0}, {7, 6}, {0, 6}},
                 {}});
    t.push_back({'n', 6.5f,
                 {{0, 0}, {1.5f, 0}, {1.5f, 4.5f}, {3.5f, 4.5f}, {3.5f, 0}, {5, 0}, {5, 6},
                  {0, 6}},
                 {}});
    t.push_back({'o', 6.5f,
                 with_hole({{0, 0}, {5, 0}, {5, 6}, {0, 6}}, 1.5f, 1.5f, 3.5f, 4.5f, 0), {}});
    t.push_back({'p', 6.5f,
                 with_hole({{0, -3}, {1.5f, -3}, {1.5f, 0}, {5, 0}, {5, 6}, {0, 6}}, 1.5f,
                           1.5f, 3.5f, 4.5f, 0),
                 {}});
    t.push_back({'q', 6.5f,
                 with_hole({{0, 0}, {3.5f, 0}, {3.5f, -3}, {5, -3}, {5, 6}, {0, 6}}, 1.5f,
                           1.5f, 3.5f, 4.5f, 0),
                 {}});
    t.push_back(
        {'r', 6.0f, {{0, 0}, {1.5f, 0}, {1.5f, 4.5f}, {4.5f, 4.5f}, {4.5f, 6}, {0, 6}}, {}});
    t.push_back({'s', 6.5f,
                 {{0, 0}, {5, 0}, {5, 3.75f}, {1.5f, 3.75f}, {1.5f, 4.5f}, {5, 4.5f}, {5, 6},
                  {0, 6}, {0, 2.25f}, {3.5f, 2.25f}, {3.5f, 1.5f}, {0, 1.5f}},
                 {}});
    t.push_back({'t', 5.5f,
                 {{1, 0}, {4, 0}, {4, 1.5f}, {2.5f, 1.5f}, {2.5f, 4.5f}, {4, 4.5f}, {4, 6},
                  {2.5f, 6}, {2.5f, 8}, {1, 8}, {1, 6}, {0, 6}, {0, 4.5f}, {1, 4.5f}},
                 {}});
    t.push_back({'u', 6.5f,
                 {{0, 0}, {5, 0}, {5, 6}, {3.5f, 6}, {3.5f, 1.5f}, {1.5f, 1.5f}, {1.5f, 6},
                  {0, 6}},
                 {}});
    t.push_back({'v', 6.5f,
                 {{1.75f, 0}, {3.25f, 0}, {5, 6}, {3.5f, 6}, {2.5f, 2.57f}, {1.5f, 6}, {0, 6}},
                 {}});
    t.push_back({'w', 8.5f,
                 {{0, 0}, {7, 0}, {7, 6}, {5.5f, 6}, {5.5f, 1.5f}, {4.25f, 1.5f}, {4.25f, 6},
                  {2.75f, 6}, {2.75f, 1.5f}, {1.5f, 1.5f}, {1.5f, 6}, {0, 6}},
                 {}});
    t.push_back({'x', 6.5f,
                 {{0, 0}, {1.7f, 0}, {2.5f, 1.9f}, {3.3f, 0}, {5, 0}, {3.4f, 3}, {5, 6},
                  {3.3f, 6}, {2.5f, 4.1f}, {1.7f, 6}, {0, 6}, {1.6f, 3}},
                 {}});
    t.push_back({'y', 6.5f,
                 {{3.5f, -1.5f}, {0, -1.5f}, {0, -3}, {5, -3}, {5, 6}, {3.5f, 6}, {3.5f, 1.5f},
                  {1.5f, 1.5f}, {1.5f, 6}, {0, 6}, {0, 0}, {3.5f, 0}},
                 {}});
    t.push_back({'z', 6.5f,
                 {{0, 0}, {5, 0}, {5, 1.5f}, {2.1f, 1.5f}, {5, 4.5f}, {5, 6}, {0, 6},
                  {0, 4.5f}, {2.9f, 4.5f}, {0, 1.5f}},
                 {}});
    return t;
  }();
  // clang-format on
  return table;
}

// The glyph scaling, in the toolkit's style block.
gs::CharScaling& scaling() {
  return gs::style_block().characters;
}

}  // namespace

namespace gs {

Glyph glyph(char letter) {
  Glyph g;
  for (const Letter& l : letters()) {
    if (l.name != letter) continue;
    g.available = true;
    g.width = l.width;
    for (const Points* polygon : {&l.first, &l.second}) {
      if (polygon->empty()) continue;
      std::vector<float> xs, ys;
      for (const auto& [x, y] : *polygon) {
        xs.push_back(x);
        ys.push_back(y);
      }
      g.xs.push_back(std::move(xs));
      g.ys.push_back(std::move(ys));
    }
    break;
  }
  return g;
}

}  // namespace gs

void GS_DEF_CHAR_SCALING(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_CHAR_SCALING V0.1 ")) return;
  scaling() = gs::CharScaling{};
}

void GS_SET_CHAR_SCALING(float x_factor, float y_factor, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SET_CHAR_SCALING V0.1 ")) return;
  scaling().x = x_factor;
  scaling().y = y_factor;
}

void GS_INQ_CHAR_SCALING(float& x_factor, float& y_factor, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_CHAR_SCALING V0.1 ")) return;
  x_factor = scaling().x;
  y_factor = scaling().y;
}

void GS_DRAW_CHARACTER(char letter, float& x, float y, int& status) {
  constexpr const char* id = "Subroutine GS_DRAW_CHARACTER V0.1 ";
  if (!io::entry_ok(status, id)) return;
  float fx = 0.0f, fy = 0.0f;
  GS_INQ_CHAR_SCALING(fx, fy, status);
  const gs::Glyph g = gs::glyph(letter);
  if (!g.available) {
    IO_WRITE("WARNING: Letter not available", status);
    return;
  }
  for (std::size_t p = 0; p < g.xs.size(); ++p) {
    const std::size_t n = g.xs[p].size();
    std::vector<float> px(n), py(n);
    for (std::size_t i = 0; i < n; ++i) {
      px[i] = x + fx * g.xs[p][i];
      py[i] = y + fy * g.ys[p][i];
    }
    VG_FILLAREA(static_cast<int>(n), px.data(), py.data(), status);
  }
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  x += fx * g.width;
}

// A test scene drawn through the core routines on every active workstation:
// lines of every style and some widths, markers of every type, filled
// polygons, text at several alignments and angles in both fonts, and a real
// cell array with a masked part. World coordinates 0..1 on the whole page.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "vg.h"

namespace x11test {

// The data behind the scene's cell array (kept alive by the caller while
// the spyglass may look at it).
struct SceneData {
  static constexpr int n = 96;
  std::vector<float> values = std::vector<float>(n * n);
  std::unique_ptr<bool[]> mask = std::make_unique<bool[]>(n * n);
  SceneData() {
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        const float dx = static_cast<float>(x - n / 2), dy = static_cast<float>(y - n / 2);
        values[static_cast<std::size_t>(y * n + x)] =
            static_cast<float>(x + y) + 20.0f * std::cos(std::sqrt(dx * dx + dy * dy) / 4.0f);
        mask[static_cast<std::size_t>(y * n + x)] = x > 70 && y > 70;
      }
    }
  }
};

inline void draw_scene(const SceneData& data, bool landscape, int& status) {
  const float page_w = landscape ? 1.0f : 0.7071f, page_h = landscape ? 0.7071f : 1.0f;
  VG_VIEWPORT(0.0f, 0.0f, page_w, page_h, status);
  VG_DATAWINDOW(0.0f, 0.0f, 1.0f, 1.0f, status);
  VG_CLEAR(status);

  // A light background panel and two filled shapes.
  VG_FILLCOLOUR(13, status);
  const float px[4] = {0.03f, 0.97f, 0.97f, 0.03f};
  const float py[4] = {0.03f, 0.03f, 0.97f, 0.97f};
  VG_FILLAREA(4, px, py, status);
  VG_FILLCOLOUR(2, status);
  const float tx[3] = {0.08f, 0.30f, 0.19f};
  const float ty[3] = {0.08f, 0.08f, 0.25f};
  VG_FILLAREA(3, tx, ty, status);
  VG_FILLCOLOUR(4, status);
  const float sx[5] = {0.36f, 0.50f, 0.50f, 0.43f, 0.36f};
  const float sy[5] = {0.08f, 0.08f, 0.22f, 0.25f, 0.22f};
  VG_FILLAREA(5, sx, sy, status);

  // Lines: styles 1 to 4, widths 1, 3 and 6.
  const int colours[4] = {1, 2, 15, 4};
  for (int style = 1; style <= 4; ++style) {
    VG_LINESTYLE(style, status);
    VG_LINECOLOUR(colours[style - 1], status);
    VG_LINEWIDTH(style == 1 ? 1.0f : 3.0f, status);
    const float y = 0.30f + 0.04f * static_cast<float>(style);
    const float lx[3] = {0.06f, 0.35f, 0.55f};
    const float ly[3] = {y, y + 0.015f, y};
    VG_POLYLINE(3, lx, ly, status);
  }
  VG_LINESTYLE(1, status);
  VG_LINEWIDTH(6.0f, status);
  VG_LINECOLOUR(8, status);
  const float wx_[2] = {0.06f, 0.55f};
  const float wy_[2] = {0.52f, 0.52f};
  VG_POLYLINE(2, wx_, wy_, status);
  VG_LINEWIDTH(1.0f, status);

  // Markers of every type.
  VG_MARKERCOLOUR(16, status);
  VG_MARKERSCALE(2.5f, status);
  VG_MARKERWIDTH(2.0f, status);
  for (int type = 1; type <= 5; ++type) {
    VG_MARKERTYPE(type, status);
    const float mx[2] = {0.07f + 0.1f * static_cast<float>(type - 1),
                         0.07f + 0.1f * static_cast<float>(type - 1)};
    const float my[2] = {0.58f, 0.63f};
    VG_POLYMARKER(2, mx, my, status);
  }

  // Text: a centred title, alignments around a cross, angles.
  const struct {
    int font, colour;
    float height;
    int horizontal, vertical;
    float angle, x, y;
    const char* text;
  } texts[] = {
      {1, 1, 0.035f, 2, 6, 0.0f, 0.5f, 0.92f, "VELLUM GRAPHICS TEST SCENE"},
      {2, 1, 0.025f, 1, 0, 0.0f, 0.06f, 0.84f, "Left, base: gXlj"},
      {2, 14, 0.025f, 3, 2, 0.0f, 0.94f, 0.80f, "Right, top of X"},
      {1, 16, 0.025f, 2, 3, 0.0f, 0.5f, 0.74f, "Centre, half-way Xg"},
      {1, 1, 0.025f, 1, 0, 30.0f, 0.62f, 0.30f, "Thirty degrees"},
      {1, 1, 0.025f, 1, 0, 90.0f, 0.95f, 0.08f, "Upwards"},
  };
  for (const auto& t : texts) {
    VG_TEXTFONT(t.font, status);
    VG_TEXTCOLOUR(t.colour, status);
    VG_TEXTHEIGHT(t.height, status);
    VG_TEXTALIGNMENT(t.horizontal, t.vertical, status);
    VG_TEXTANGLE(t.angle, status);
    VG_TEXT(t.x, t.y, t.text, status);
  }
  VG_TEXTANGLE(0.0f, status);

  // The cell array with its masked corner (mask colour red).
  const int n = SceneData::n;
  VG_MASKCOLOUR(2, status);
  VG_RMASKCELLARRAY(io::View2D<const float>(data.values.data(), n, n),
                    io::View2D<const bool>(data.mask.get(), n, n), 1, 1, n, n, 0.62f, 0.40f, 0.94f,
                    0.66f, -20.0f, 210.0f, false, status);
}

}  // namespace x11test

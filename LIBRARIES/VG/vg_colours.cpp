// The colour table, the colour index ranges and the best-matching colour.
#include <cmath>
#include <string>

#include "vg.h"
#include "vg_internal.h"

namespace {

using io::entry_ok;

// The named drawing colours of the user interface, from index 0 on; the
// first match of VG_BESTCOLOUR is the lowest index, so each is found exactly.
constexpr vg::Rgb named_colours[] = {
    {1.0f, 1.0f, 1.0f},       // 0 white (background)
    {0.0f, 0.0f, 0.0f},       // 1 black (foreground)
    {1.0f, 0.0f, 0.0f},       // 2 red
    {0.0f, 1.0f, 0.0f},       // 3 green
    {0.0f, 0.0f, 1.0f},       // 4 blue
    {1.0f, 1.0f, 0.0f},       // 5 yellow
    {0.0f, 1.0f, 1.0f},       // 6 cyan
    {1.0f, 0.0f, 1.0f},       // 7 magenta
    {1.0f, 0.749f, 0.0f},     // 8 orange
    {0.5f, 0.5f, 0.5f},       // 9 grey
    {0.639f, 0.349f, 0.0f},   // 10 brown
    {0.8666f, 0.235f, 1.0f},  // 11 violet
    {0.25f, 0.25f, 0.25f},    // 12 dark grey
    {0.75f, 0.75f, 0.75f},    // 13 light grey
    {0.5f, 0.0f, 0.0f},       // 14 dark red
    {0.0f, 0.5f, 0.0f},       // 15 dark green
    {0.0f, 0.0f, 0.5f},       // 16 dark blue
    {0.5f, 0.5f, 0.0f},       // 17 olive
    {0.0f, 0.5f, 0.5f},       // 18 teal
    {0.5f, 0.0f, 0.5f},       // 19 purple
    {1.0f, 0.75f, 0.8f},      // 20 pink
    {0.68f, 0.85f, 0.9f},     // 21 light blue
};
constexpr int num_named = 12;    // indices never overwritten by the grey ramp
constexpr int low_indices = 41;  // indices below this hold drawing colours

bool valid_range(int first, int last) {
  return first >= 0 && first <= last && last < vg::table_size;
}

}  // namespace

namespace vg {

void default_colour_table(std::array<Rgb, table_size>& table) {
  const System& s = record();
  const int count = static_cast<int>(sizeof named_colours / sizeof named_colours[0]);
  for (int i = 0; i < low_indices; ++i) table[i] = i < count ? named_colours[i] : Rgb{};
  // A grey ramp from black to white over the default image range, and over
  // the image range in force when that differs.
  for (int i = low_indices; i < table_size; ++i) {
    const float level = std::min(1.0f, static_cast<float>(i - low_indices) / (250 - low_indices));
    table[i] = {level, level, level};
  }
  const int first = std::max(s.image_first, num_named);
  for (int i = first; i <= s.image_last; ++i) {
    const float level = s.image_last > first ? static_cast<float>(i - first) /
                                                   static_cast<float>(s.image_last - first)
                                             : 1.0f;
    table[i] = {level, level, level};
  }
}

}  // namespace vg

void VG_COLOURS(int first, int last, std::span<const vg::Rgb> table, int& status) {
  static const char* const ident = "Subroutine VG_COLOURS V0.2 ";
  if (!vg::entry_open(status, ident)) return;
  if (!valid_range(first, last) || table.size() <= static_cast<std::size_t>(last)) {
    return io::fail(vg::status_bad_argument, ident, status);
  }
  vg::System& s = vg::record();
  for (int i = first; i <= last; ++i) s.colours[i] = table[i];
  vg::for_active(vg::Op::colour_map, status,
                 [&](vg::Device& d) { return d.colour_map(first, last, s.colours); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_DEF_COLOURS(int& status) {
  static const char* const ident = "Subroutine VG_DEF_COLOURS V0.2 ";
  if (!vg::entry_open(status, ident)) return;
  vg::System& s = vg::record();
  vg::default_colour_table(s.colours);
  vg::for_active(vg::Op::colour_map, status,
                 [&](vg::Device& d) { return d.colour_map(0, vg::table_size - 1, s.colours); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_SET_COLOURINDICES(int first, int last, int& status) {
  static const char* const ident = "Subroutine VG_SET_COLOURINDICES V0.2 ";
  if (!vg::entry_open(status, ident)) return;
  if (!valid_range(first, last)) {
    return io::fail(vg::status_bad_argument, ident, status);
  }
  vg::System& s = vg::record();
  s.pending_first = first;
  s.pending_last = last;
}

void VG_INQ_COLOURS(int first, int last, std::span<vg::Rgb> table, int& status) {
  static const char* const ident = "Subroutine VG_INQ_COLOURS V0.1 ";
  if (!vg::entry_open(status, ident)) return;
  if (!valid_range(first, last) || table.size() <= static_cast<std::size_t>(last)) {
    return io::fail(vg::status_bad_argument, ident, status);
  }
  for (int i = first; i <= last; ++i) table[i] = vg::record().colours[i];
}

void VG_INQ_IMAGERANGE(int& first, int& last, int& status) {
  if (!vg::entry_open(status, "Subroutine VG_INQ_IMAGERANGE V0.1 ")) return;
  first = vg::record().image_first;
  last = vg::record().image_last;
}

void VG_BESTCOLOUR(float red, float green, float blue, int& colour, int& status) {
  if (!vg::entry_open(status, "Subroutine VG_BESTCOLOUR V0.2 ")) return;
  const vg::System& s = vg::record();
  // Drawing colours are taken from outside the image range, whose entries
  // change with every image colour table.
  const bool whole = s.image_first <= 0 && s.image_last >= vg::table_size - 1;
  int best = 0;
  float best_distance = INFINITY;
  for (int i = 0; i < vg::table_size; ++i) {
    if (!whole && i >= s.image_first && i <= s.image_last) continue;
    const vg::Rgb& c = s.colours[i];
    const float d =
        (c.r - red) * (c.r - red) + (c.g - green) * (c.g - green) + (c.b - blue) * (c.b - blue);
    if (d < best_distance) {
      best_distance = d;
      best = i;
    }
  }
  colour = best;
}

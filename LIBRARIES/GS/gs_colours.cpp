// Named drawing colours and the image colour tables.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "gs.h"
#include "gs_internal.h"

namespace {

struct NamedColour {
  const char* name;          // the name accepted in input
  const char* display_name;  // the name shown in forms
  vg::Rgb rgb;
};

const std::array<NamedColour, gs::num_colours> named = {{
    {"BLACK", "BLACK", {0.0f, 0.0f, 0.0f}},
    {"WHITE", "WHITE", {1.0f, 1.0f, 1.0f}},
    {"RED", "RED", {1.0f, 0.0f, 0.0f}},
    {"GREEN", "GREEN", {0.0f, 1.0f, 0.0f}},
    {"BLUE", "BLUE", {0.0f, 0.0f, 1.0f}},
    {"YELLOW", "YELLOW", {1.0f, 1.0f, 0.0f}},
    {"CYAN", "CYAN", {0.0f, 1.0f, 1.0f}},
    {"MAGENTA", "MAGENTA", {1.0f, 0.0f, 1.0f}},
    {"ORANGE", "ORANGE", {1.0f, 0.749f, 0.0f}},
    {"GREY", "GREY", {0.5f, 0.5f, 0.5f}},
    {"BROWN", "BROWN", {0.639f, 0.349f, 0.0f}},
    {"VIOLET", "VIOLET", {0.8666f, 0.235f, 1.0f}},
    {"(0 INDEX)", "(INDEX 0)", {}},
    {"(1 INDEX)", "(INDEX 1)", {}},
    {"INVERSE", "INVERSE", {}},
}};

// RGB values and resolved device indices of the named colours.
struct ColourState {
  std::array<vg::Rgb, gs::num_colours> rgb{};
  // Until graphics open, the first twelve colours take the indices 1 .. 12.
  std::array<int, gs::num_colours> index{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 1, -1};
  int lut_choice = 2;
  int lut_levels = 0;  // set when graphics open: the size of the image range
};

ColourState& colours() {
  static ColourState s;
  return s;
}

std::vector<vg::Rgb> rgb_list(std::initializer_list<std::array<float, 3>> points) {
  std::vector<vg::Rgb> v;
  for (const auto& p : points) v.push_back({p[0], p[1], p[2]});
  return v;
}

const std::vector<vg::Rgb>& table_two() {
  static const std::vector<vg::Rgb> t = rgb_list({{0, 0, 0},
                                                  {0, 0, 0.6f},
                                                  {0, 0, 1},
                                                  {0.78f, 0.78f, 1},
                                                  {0.545f, 0.87f, 0.219f},
                                                  {0.757f, 0.925f, 0.384f},
                                                  {1, 1, 0.475f},
                                                  {1, 0.77f, 0.36f},
                                                  {1, 0.749f, 0},
                                                  {0.78f, 0.509f, 0},
                                                  {0.8666f, 0.235f, 1},
                                                  {0.8666f, 0.61f, 1},
                                                  {1, 1, 1}});
  return t;
}

// The name of a colour table or colour as compared: its first title_width
// characters, significant text, upper case.
std::string upper_trimmed(const std::string& text) {
  return io::upper(io::trimmed(text.substr(0, io::title_width)));
}

}  // namespace

namespace gs {

std::vector<vg::Rgb> colour_table_points(int choice) {
  switch (choice) {
    case 1:
      return rgb_list({{1, 0, 1}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}});
    case 2:
      return table_two();
    case 3:
      return rgb_list({{0, 0, 0}, {1, 1, 1}});
    case 4:
      return rgb_list({{1, 1, 1}, {0, 0, 0}});
    case 5:
      return rgb_list(
          {{0, 0, 0}, {1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 1, 1}});
    case 6:
      return rgb_list({{0, 0, 0},
                       {0.35f, 0, 0.35f},
                       {0, 0, 0.4f},
                       {0, 0, 0.65f},
                       {0, 0.5f, 0.5f},
                       {0, 0.5f, 0.1f},
                       {0.08f, 0.65f, 0.08f},
                       {0.8f, 0.32f, 0.32f},
                       {0.9f, 0, 0},
                       {1, 0.57f, 0.14f},
                       {1, 1, 0},
                       {1, 1, 1}});
    case 7: {
      // Seven ramps of nine steps from black to full intensity.
      const std::array<std::array<float, 3>, 7> hues = {
          {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 1, 1}}};
      std::vector<vg::Rgb> v;
      for (const auto& h : hues) {
        for (int step = 0; step <= 8; ++step) {
          const float k = 0.125f * static_cast<float>(step);
          v.push_back({h[0] * k, h[1] * k, h[2] * k});
        }
      }
      return v;
    }
    case 8:
      return rgb_list({{0, 0, 0}, {0.9f, 0, 0}, {1, 0.57f, 0.14f}, {1, 1, 0}, {1, 1, 1}});
    case 9:
      return rgb_list({{0, 0, 0},
                       {0.5176f, 0, 0.5176f},
                       {0, 0, 0.6f},
                       {0, 0.5f, 0},
                       {0, 1, 0},
                       {1, 1, 0},
                       {1, 0, 0},
                       {1, 0.3333f, 0.3333f},
                       {1, 1, 1}});
    case 10: {
      std::vector<vg::Rgb> v = table_two();
      std::reverse(v.begin(), v.end());
      return v;
    }
    case 11:
      return rgb_list({{0, 0, 0},
                       {0.35f, 0, 0.35f},
                       {0.5176f, 0, 0.5176f},
                       {0.7f, 0, 0.7f},
                       {1, 0, 0.5f},
                       {1, 0, 0},
                       {1, 0.749f, 0},
                       {1, 0.77f, 0.36f},
                       {1, 1, 0},
                       {1, 1, 1}});
    default:
      return {};
  }
}

int device_index(int colour) {
  if (colour < 1 || colour > num_colours) return 1;
  return colours().index[static_cast<std::size_t>(colour - 1)];
}

}  // namespace gs

// ---------------------------------------------------------------------------
// Named colours
// ---------------------------------------------------------------------------
void GS_DEF_COLOURS(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_COLOURS V0.1 ")) return;
  for (std::size_t i = 0; i < named.size(); ++i) colours().rgb[i] = named[i].rgb;
  GS_CAL_COLOURS(status);
}

void GS_CAL_COLOURS(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_CAL_COLOURS V0.1 ")) return;
  ColourState& c = colours();
  for (int i = 0; i < 12; ++i) {
    int index = 0;
    const vg::Rgb& rgb = c.rgb[static_cast<std::size_t>(i)];
    VG_BESTCOLOUR(rgb.r, rgb.g, rgb.b, index, status);
    if (status != io::status_good) {
      ST_SAVE("Subroutine GS_CAL_COLOURS V0.1 ");
      return;
    }
    c.index[static_cast<std::size_t>(i)] = index;
  }
  c.index[12] = 0;
  c.index[13] = 1;
  c.index[14] = vg::inverse_video;
}

void GS_INQ_COLOURINDEX(int colour, int& index, int& status) {
  constexpr const char* id = "Subroutine GS_INQ_COLOURINDEX V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (colour < 1 || colour > gs::num_colours) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  index = gs::device_index(colour);
}

void GS_GIVE_COLOUR(const std::string& name, bool& found, int& colour, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_GIVE_COLOUR V0.1 ")) return;
  const std::string wanted = upper_trimmed(name);
  found = false;
  for (std::size_t i = 0; i < named.size(); ++i) {
    if (wanted == named[i].name) {
      found = true;
      colour = static_cast<int>(i) + 1;
      return;
    }
  }
}

void GS_GIVE_COLOURNAME(int colour, std::string& name, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_GIVE_COLOURNAME V0.1 ")) return;
  if (colour < 1 || colour > gs::num_colours) {
    name = " ";
    return;
  }
  name = named[static_cast<std::size_t>(colour - 1)].display_name;
}

// ---------------------------------------------------------------------------
// Colour tables
// ---------------------------------------------------------------------------
void GS_DEF_LUTCHOICE(int& status) {
  constexpr const char* id = "Subroutine GS_DEF_LUTCHOICE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  int first = 0, last = 0;
  VG_INQ_IMAGERANGE(first, last, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  colours().lut_choice = ColourState{}.lut_choice;
  colours().lut_levels = std::max(1, last - first + 1);
}

void GS_SET_LUTCHOICE(int choice, int levels, int& status) {
  constexpr const char* id = "Subroutine GS_SET_LUTCHOICE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (choice < 0 || choice > gs::num_colour_tables) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  if (levels < 1) {
    io::fail(gs::status_bad_value_2, id, status);
    return;
  }
  colours().lut_choice = choice;
  colours().lut_levels = levels;
}

void GS_INQ_LUTCHOICE(int& choice, int& levels, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INQ_LUTCHOICE V0.1 ")) return;
  choice = colours().lut_choice;
  levels = colours().lut_levels;
}

void GS_CAL_COLOURTABLE(int max_points, int num_points, std::span<const vg::Rgb> points,
                        int first_index, int last_index, int levels, int max_table,
                        std::span<vg::Rgb> table, int& status) {
  constexpr const char* id = "Subroutine GS_CAL_COLOURTABLE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (max_points < 1) {
    io::fail(gs::status_bad_maximum, id, status);
    return;
  }
  if (num_points < 1 || num_points > max_points ||
      static_cast<std::size_t>(num_points) > points.size()) {
    io::fail(gs::status_bad_count, id, status);
    return;
  }
  if (first_index > last_index) {
    io::fail(gs::status_order_x, id, status);
    return;
  }
  if (first_index < 0 || last_index >= max_table ||
      static_cast<std::size_t>(last_index) >= table.size()) {
    io::fail(gs::status_table_limit, id, status);
    return;
  }
  const int n = last_index - first_index + 1;
  const int span_points = num_points - 1;
  for (int i = 1; i <= n; ++i) {
    // Position along the table, quantised to `levels` steps. A single level
    // gives the first control colour throughout.
    double p = 1.0;
    if (levels > 1) {
      const double x = static_cast<double>(i) / n;
      const double t = std::round(x * (levels - 1));
      p = t / (levels - 1) * span_points + 1.0;
    }
    const int k = std::clamp(static_cast<int>(p), 1, num_points);
    const int k1 = std::min(k + 1, num_points);
    const double wk = (k + 1) - p;
    const double wk1 = p - k;
    const vg::Rgb& a = points[static_cast<std::size_t>(k - 1)];
    const vg::Rgb& b = points[static_cast<std::size_t>(k1 - 1)];
    vg::Rgb& out = table[static_cast<std::size_t>(first_index + i - 1)];
    out.r = static_cast<float>(wk * a.r + wk1 * b.r);
    out.g = static_cast<float>(wk * a.g + wk1 * b.g);
    out.b = static_cast<float>(wk * a.b + wk1 * b.b);
  }
}

void GS_COLOURS(int& status) {
  constexpr const char* id = "Subroutine GS_COLOURS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  int choice = 0, levels = 0, first = 0, last = 0;
  GS_INQ_LUTCHOICE(choice, levels, status);
  VG_INQ_IMAGERANGE(first, last, status);
  std::vector<vg::Rgb> table(vg::table_size);
  // The device's present table: choice 0 loads it back unchanged, the other
  // choices replace the image range only.
  VG_INQ_COLOURS(0, vg::table_size - 1, table, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  if (choice != 0) {
    const std::vector<vg::Rgb> points = gs::colour_table_points(choice);
    const int n = static_cast<int>(points.size());
    GS_CAL_COLOURTABLE(n, n, points, first, last, levels, vg::table_size, table, status);
  }
  VG_COLOURS(first, last, table, status);
  if (status != io::status_good) ST_SAVE(id);
}

// Coordinate input on the displayed image: one-click and two-click input
// (the spyglass), typed coordinates, the rubber band and the marks of the
// points picked.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "gs_internal.h"
#include "gs_macro.h"
#include "gs_plot_layout.h"
#include "gs_widgets.h"

namespace gs {

void pixel_centre(int width, int height, float& x, float& y) {
  if (width < 1 || height < 1) return;
  const double scale = std::max(width, height);
  x = static_cast<float>((std::round(x * scale) + 0.5) / scale);
  y = static_cast<float>((std::round(y * scale) - 0.5) / scale);
}

}  // namespace gs

namespace {

using io::entry_ok;

constexpr float mark_size = 0.008f;

// The page rectangle and world window of the image shown last.
struct Shown {
  gs::Box page, world;
};
Shown shown(int& status) {
  Shown s;
  GS_INQ_DGPP(s.page, status);
  GS_INQ_IDR(s.world, status);
  return s;
}

// A click's page position moved to the centre of its window pixel.
void centre(float& x, float& y, int& status) {
  int width = 0, height = 0;
  VG_INQ_SIZE(gs::window_workstation, width, height, status);
  gs::pixel_centre(width, height, x, y);
}

bool region_ok(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
               const char* id, int& status) {
  if (data.empty()) {
    io::fail(
        data.xmaxdat < 1 || data.data == nullptr ? gs::status_bad_xmaxdat : gs::status_bad_ymaxdat,
        id, status);
  } else if (xstrelm < 1 || xstrelm > xendelm || xendelm > data.xmaxdat) {
    io::fail(gs::status_bad_xregion, id, status);
  } else if (ystrelm < 1 || ystrelm > yendelm || yendelm > data.ymaxdat) {
    io::fail(gs::status_bad_yregion, id, status);
  }
  return status == io::status_good;
}

// A cross in inverse video: drawn twice, it is gone.
void draw_mark(float x, float y, int& status) {
  GS_LINESTYLE(1, 1.0f, gs::inverse, status);
  GS_LINE(x - mark_size, y, x + mark_size, y, status);
  GS_LINE(x, y - mark_size, x, y + mark_size, status);
}

// The marks of the points picked, taken off when the input ends, with the
// rubber band (whatever the status then).
class Marks {
 public:
  Marks() = default;
  Marks(const Marks&) = delete;
  Marks& operator=(const Marks&) = delete;
  ~Marks() {
    int s = io::status_good;
    VG_SET_RUBBERBAND(gs::window_workstation, 0, 0.0f, 0.0f, s);
    for (const vg::Point& p : points_) draw_mark(p.x, p.y, s);
    VG_UPDATE(gs::window_workstation, 0, s);
  }
  void add(float x, float y, int& status) {
    draw_mark(x, y, status);
    points_.push_back({x, y});
  }
  const std::vector<vg::Point>& points() const { return points_; }

 private:
  std::vector<vg::Point> points_;
};

// The spyglass over the image while the second click is awaited.
class SpyglassOn {
 public:
  SpyglassOn(const vg::Spyglass& parameters, int& status) : parameters_(parameters) {
    VG_SPYGLASS(gs::window_workstation, true, parameters_, status);
  }
  ~SpyglassOn() {
    int s = io::status_good;
    VG_SPYGLASS(gs::window_workstation, false, parameters_, s);
  }
  SpyglassOn(const SpyglassOn&) = delete;
  SpyglassOn& operator=(const SpyglassOn&) = delete;

 private:
  vg::Spyglass parameters_;
};

// One input of the drawn control menu (GS_INP_MENUCHOICE): its kind, the
// choice and the page position.
struct MenuInput {
  int kind = 0, choice = 0;
  float x = 0.0f, y = 0.0f;
};
MenuInput menu_input(int& status) {
  MenuInput in;
  std::string label;
  GS_INP_MENUCHOICE(in.kind, in.choice, label, in.x, in.y, status);
  return in;
}

// The controls of the second click, in the order of their menu.
enum class GlassControl { none, help, cancel };

// Waits for the second click: its page position on the image, or CANCEL
// (false). HELP explains in the control region; a click beside the image
// rings the bell.
bool second_click(const gs::Box& region, const Shown& image, float& x, float& y, int& status) {
  const std::array<std::string, 1> titles{"SECOND CLICK WITHIN \"SPY-GLASS\""};
  const std::array<std::string, 2> labels{"HELP", "CANCEL"};
  static const std::array<std::string, 3> help{
      "Move the pointer over the image: the spy-glass magnifies the pixels",
      "around it and shows the pixel and its value at the top left.",
      "Click at the precise position, or CANCEL to leave this point."};
  bool draw = true;
  while (status == io::status_good) {
    if (draw) {
      GS_MENU(1, 1, titles, 2, 2, labels, region.xmin, region.ymin, region.xmax, region.ymax,
              status);
    }
    const MenuInput in = menu_input(status);
    if (status != io::status_good) break;
    const auto control =
        in.kind == gs::input_choice ? static_cast<GlassControl>(in.choice) : GlassControl::none;
    if (control == GlassControl::cancel) return false;
    if (control == GlassControl::help) gs::show_help(region, help, status);
    draw = in.kind == gs::input_redraw || control == GlassControl::help;
    if (in.kind != gs::input_outside) continue;
    float px = in.x, py = in.y;
    centre(px, py, status);
    if (image.page.contains(px, py)) {
      x = px;
      y = py;
      return true;
    }
    VG_BELL(status);
  }
  return false;
}

}  // namespace

vg::Spyglass gs::spyglass_of(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                             int yendelm, int& status) {
  vg::Spyglass glass;
  glass.data = data;
  glass.xstart = xstrelm;
  glass.ystart = ystrelm;
  glass.xend = xendelm;
  glass.yend = yendelm;
  int mode = 0;
  GS_INQ_IMAGESCALE(mode, glass.low, glass.high, status);
  VG_INQ_LOGZSCALING(glass.logarithmic, status);
  // In page units (the unit transform is on while the widgets wait).
  Box page;
  GS_INQ_DGPP(page, status);
  const Box& cells = region_block().graph.cells;
  const bool x_mirrored = cells.xmin > cells.xmax, y_mirrored = cells.ymin > cells.ymax;
  glass.x0 = x_mirrored ? page.xmax : page.xmin;
  glass.x1 = x_mirrored ? page.xmin : page.xmax;
  glass.y0 = y_mirrored ? page.ymax : page.ymin;
  glass.y1 = y_mirrored ? page.ymin : page.ymax;
  return glass;
}

void GS_INP_TWOCLICK(float xmin, float ymin, float xmax, float ymax, io::View2D<const float> data,
                     int xstrelm, int ystrelm, int xendelm, int yendelm, bool& cancelled, float& x,
                     float& y, int& status) {
  constexpr const char* id = "Subroutine GS_INP_TWOCLICK V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_region(xmin, ymin, xmax, ymax, id, status)) return;
  if (!region_ok(data, xstrelm, ystrelm, xendelm, yendelm, id, status)) return;
  cancelled = false;
  const Shown image = shown(status);
  const vg::Spyglass glass = gs::spyglass_of(data, xstrelm, ystrelm, xendelm, yendelm, status);
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 2}, status);
  const SpyglassOn on(glass, status);
  const gs::Box region{xmin, ymin, xmax, ymax};
  GS_SET_MESSAGE(region, status);
  cancelled = !second_click(region, image, x, y, status) && status == io::status_good;
  gs::note_failure(id, status);
}

namespace {

// The controls of coordinate input, in the order of their menu.
enum class Control { none, cancel, help, keyboard, click_mode };

// Coordinate input while it runs: the image, the controls and the points.
struct Input {
  gs::Box region, menu_box, finish_box;
  bool finish = false;  // the finish control beside the menu
  int max_titles = 1;
  std::span<const std::string> titles, info;
  io::View2D<const float> data;
  int xstrelm = 1, ystrelm = 1, xendelm = 1, yendelm = 1;
  Shown image;
  int max_coordinates = 1;
  int num_coordinates = 0;
  std::span<float> xs, ys;
  Marks marks;
  bool two_click = false;
  bool draw = true;
};

void draw_controls(Input& in, int& status) {
  const std::array<std::string, 4> labels{"CANCEL", "HELP", "KEYBOARD",
                                          in.two_click ? "TWO CLICK" : "ONE CLICK"};
  const int n = static_cast<int>(in.titles.size());
  GS_MENU(in.max_titles, n, in.titles, 4, 4, labels, in.menu_box.xmin, in.menu_box.ymin,
          in.menu_box.xmax, in.menu_box.ymax, status);
  if (in.finish) {
    const std::array<std::string, 1> finish_text{"(Click here to finish)"};
    const gs::Box& b = in.finish_box;
    GS_PROMPT(true, 1, 1, finish_text, b.xmin, b.ymin, b.xmax, b.ymax, status);
  }
  in.draw = false;
}

// The points as they are taken; a point on the image is marked.
void take(Input& in, float wx, float wy, float px, float py, bool on_image, int& status) {
  const std::size_t k = static_cast<std::size_t>(in.num_coordinates);
  in.xs[k] = wx;
  in.ys[k] = wy;
  ++in.num_coordinates;
  if (on_image) in.marks.add(px, py, status);
}

// The rubber band follows from the first of two points, or from the last of
// more.
void follow(const Input& in, int& status) {
  const auto& points = in.marks.points();
  if (points.empty()) return;
  const bool two = in.max_coordinates == 2;
  const vg::Point anchor = two ? points.front() : points.back();
  VG_SET_RUBBERBAND(gs::window_workstation, two ? 2 : 1, anchor.x, anchor.y, status);
}

// A point given in world coordinates, marked where it lies on the image.
void take_world(Input& in, float wx, float wy, int& status) {
  const gs::Box& page = in.image.page;
  const gs::Box& world = in.image.world;
  const float mx =
      page.xmin + (wx - world.xmin) * (page.xmax - page.xmin) / (world.xmax - world.xmin);
  const float my =
      page.ymin + (wy - world.ymin) * (page.ymax - page.ymin) / (world.ymax - world.ymin);
  take(in, wx, wy, mx, my, page.contains(mx, my), status);
}

// KEYBOARD: the two components typed, and marked where they lie on the
// image.
void typed_point(Input& in, int& status) {
  const std::array<std::string, 1> error{"Enter valid floating point number"};
  const std::array<std::string, 1> help_x{"Type the X-component in world coordinates"};
  const std::array<std::string, 1> help_y{"Type the Y-component in world coordinates"};
  float wx = 0.0f, wy = 0.0f;
  if (!gs::ask_finite("X-COMPONENT OF COORDINATE TO DEFINE", help_x, error, wx, status) ||
      !gs::ask_finite("Y-COMPONENT OF COORDINATE TO DEFINE", help_y, error, wy, status)) {
    return;
  }
  take_world(in, wx, wy, status);
}

void on_control(Input& in, Control control, int& status) {
  // No band over the prompts and explanations.
  VG_SET_RUBBERBAND(gs::window_workstation, 0, 0.0f, 0.0f, status);
  in.draw = true;
  switch (control) {
    case Control::none:
      break;
    case Control::cancel:
      status = io::status_escape;
      break;
    case Control::help:
      gs::show_help(in.region, in.info, status);
      break;
    case Control::keyboard:
      typed_point(in, status);
      break;
    case Control::click_mode:
      in.two_click = !in.two_click;
      break;
  }
}

// A click beside the controls: on the image a point (through the spyglass in
// two-click mode); false when it ends the input (the finish control).
bool on_click(Input& in, float px, float py, int& status) {
  if (in.finish && in.finish_box.contains(px, py)) return false;
  centre(px, py, status);
  if (!in.image.page.contains(px, py)) {
    VG_BELL(status);
    return true;
  }
  if (in.two_click) {
    bool cancelled = false;
    VG_SET_RUBBERBAND(gs::window_workstation, 0, 0.0f, 0.0f, status);
    const gs::Box& r = in.region;
    GS_INP_TWOCLICK(r.xmin, r.ymin, r.xmax, r.ymax, in.data, in.xstrelm, in.ystrelm, in.xendelm,
                    in.yendelm, cancelled, px, py, status);
    in.draw = true;
    if (status != io::status_good || cancelled) return true;
  }
  float wx = 0.0f, wy = 0.0f;
  gs::page_to_world(in.image.page, in.image.world, px, py, wx, wy);
  take(in, wx, wy, px, py, true, status);
  return true;
}

void run_input(Input& in, int& status) {
  while (status == io::status_good && in.num_coordinates < in.max_coordinates) {
    if (in.draw) draw_controls(in, status);
    follow(in, status);
    const MenuInput event = menu_input(status);
    if (status != io::status_good) break;
    if (event.kind == gs::input_redraw) {
      in.draw = true;
    } else if (event.kind == gs::input_choice) {
      on_control(in, static_cast<Control>(event.choice), status);
    } else if (!on_click(in, event.x, event.y, status)) {
      break;
    }
  }
}

constexpr const char* count_item = "NUMBER OF COORDINATES (GRAPHICAL INPUT)";
constexpr const char* x_item = "X-COORDINATE (GRAPHICAL INPUT)";
constexpr const char* y_item = "Y-COORDINATE (GRAPHICAL INPUT)";

// One component of a point from the macro: a finite real.
bool macro_component(const char* item, float& value, int& status) {
  const std::array<std::string, 1> error{"Enter valid floating point number"};
  IO_INPR(false, 0.0f, 0.0f, false, item, 0, {}, 1, error, value, status);
  if (status == io::status_good && !std::isfinite(value)) IO_MACRO_REFUSE({error[0]}, status);
  return status == io::status_good;
}

// The points from the macro: their number (all of them when the number is
// fixed), then the X and Y of each in world coordinates. False when the
// rest of the input goes to the window instead.
bool macro_points(Input& in, bool fixed_number, gs::MacroTurn& turn, int& status) {
  draw_controls(in, status);
  const std::array<std::string, 1> help{"Enter the number of coordinates to define"};
  const std::array<std::string, 1> error{"Enter a number of coordinates within the range"};
  int n = in.max_coordinates;
  IO_INPI(true, fixed_number ? in.max_coordinates : 1, in.max_coordinates, false, count_item, 1,
          help, 1, error, n, status);
  for (int k = 0; k < n && status == io::status_good; ++k) {
    float wx = 0.0f, wy = 0.0f;
    if (!macro_component(x_item, wx, status) || !macro_component(y_item, wy, status)) break;
    take_world(in, wx, wy, status);
  }
  return !turn.back_to_window(status);
}

// The points taken in the window, kept in the macro recorded as the macro
// gives them.
void record_points(const Input& in, gs::MacroTurn& turn, int& status) {
  turn.record(count_item, std::to_string(in.num_coordinates), status);
  for (int k = 0; k < in.num_coordinates; ++k) {
    const std::size_t i = static_cast<std::size_t>(k);
    turn.record(x_item, gs::macro_real(in.xs[i]), status);
    turn.record(y_item, gs::macro_real(in.ys[i]), status);
  }
}

}  // namespace

void GS_INPS_COORDINATES(float xmin, float ymin, float xmax, float ymax, bool fixed_number,
                         io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                         int yendelm, int max_titles, int num_titles,
                         std::span<const std::string> titles, int max_info, int num_info,
                         std::span<const std::string> info, int max_coordinates,
                         int& num_coordinates, std::span<float> x_coordinates,
                         std::span<float> y_coordinates, int& status) {
  constexpr const char* id = "Subroutine GS_INPS_COORDINATES V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_lines(max_titles, num_titles, titles, id, status) ||
      !gs::check_lines(max_info, num_info, info, id, status) ||
      !gs::check_region(xmin, ymin, xmax, ymax, id, status) ||
      !region_ok(data, xstrelm, ystrelm, xendelm, yendelm, id, status)) {
    return;
  }
  if (max_coordinates < 1 || max_coordinates > gs::max_input_coordinates ||
      static_cast<std::size_t>(max_coordinates) > x_coordinates.size() ||
      static_cast<std::size_t>(max_coordinates) > y_coordinates.size()) {
    return io::fail(gs::status_bad_value, id, status);
  }
  num_coordinates = 0;
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 4}, status);
  Input in;
  in.region = in.menu_box = gs::Box{xmin, ymin, xmax, ymax};
  in.max_titles = std::max(max_titles, 1);
  in.titles = titles.first(static_cast<std::size_t>(num_titles));
  in.info = info.first(static_cast<std::size_t>(num_info));
  in.data = data;
  in.xstrelm = xstrelm;
  in.ystrelm = ystrelm;
  in.xendelm = xendelm;
  in.yendelm = yendelm;
  in.image = shown(status);
  in.max_coordinates = max_coordinates;
  in.xs = x_coordinates;
  in.ys = y_coordinates;
  // Messages of the prompts (help, refusals) stay off the image: in the
  // control region (the scope puts the message region back).
  GS_SET_MESSAGE(in.region, status);
  // The finish control beside the menu when a varying number is wanted.
  in.finish = !fixed_number && max_coordinates > 1;
  if (in.finish) {
    const float split = xmin + 0.78f * (xmax - xmin);
    in.menu_box.xmax = split;
    in.finish_box = {split, ymin, xmax, ymax};
  }
  gs::MacroTurn turn;
  if (!turn.replaying() || !macro_points(in, fixed_number, turn, status)) {
    run_input(in, status);
    if (status == io::status_good) record_points(in, turn, status);
  }
  num_coordinates = in.num_coordinates;
  gs::note_failure(id, status);
}

void GS_INPS_FCOORDINATES(bool fixed_number, io::View2D<const float> data, int xstrelm, int ystrelm,
                          int xendelm, int yendelm, int max_titles, int num_titles,
                          std::span<const std::string> titles, int max_info, int num_info,
                          std::span<const std::string> info, int max_coordinates,
                          int& num_coordinates, std::span<float> x_coordinates,
                          std::span<float> y_coordinates, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_INPS_FCOORDINATES V0.1 ")) return;
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  GS_INPS_COORDINATES(gui.xmin, gui.ymin, gui.xmax, gui.ymax, fixed_number, data, xstrelm, ystrelm,
                      xendelm, yendelm, max_titles, num_titles, titles, max_info, num_info, info,
                      max_coordinates, num_coordinates, x_coordinates, y_coordinates, status);
}

// Coordinate input on the displayed image: one-click and two-click input
// (the spyglass), typed coordinates, the rubber band and the marks of the
// points picked.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

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

// Lines of explanation shown in the control region until O.K.
void explain(const gs::Box& region, std::span<const std::string> lines, int& status) {
  const int n = static_cast<int>(lines.size());
  GS_WARNING(false, region.xmin, region.ymin, region.xmax, region.ymax, std::max(n, 1), n, lines,
             status);
}

}  // namespace

void GS_INP_TWOCLICK(float xmin, float ymin, float xmax, float ymax, io::View2D<const float> data,
                     int xstrelm, int ystrelm, int xendelm, int yendelm, bool& cancelled, float& x,
                     float& y, int& status) {
  constexpr const char* id = "Subroutine GS_INP_TWOCLICK V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_region(xmin, ymin, xmax, ymax, id, status)) return;
  if (!region_ok(data, xstrelm, ystrelm, xendelm, yendelm, id, status)) return;
  cancelled = false;
  const Shown image = shown(status);
  vg::Spyglass glass;
  glass.data = data;
  glass.xstart = xstrelm;
  glass.ystart = ystrelm;
  glass.xend = xendelm;
  glass.yend = yendelm;
  int mode = 0;
  GS_INQ_IMAGESCALE(mode, glass.low, glass.high, status);
  VG_INQ_LOGZSCALING(glass.logarithmic, status);
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 2}, status);
  // In page units (the unit transform is on).
  glass.x0 = image.page.xmin;
  glass.y0 = image.page.ymin;
  glass.x1 = image.page.xmax;
  glass.y1 = image.page.ymax;
  const SpyglassOn on(glass, status);
  const gs::Box region{xmin, ymin, xmax, ymax};
  GS_SET_MESSAGE(region, status);
  const std::array<std::string, 1> titles{"SECOND CLICK WITHIN \"SPY-GLASS\""};
  const std::array<std::string, 2> labels{"HELP", "CANCEL"};
  static const std::array<std::string, 3> help{
      "Move the pointer over the image: the spy-glass magnifies the pixels",
      "around it and shows the pixel and its value at the top left.",
      "Click at the precise position, or CANCEL to leave this point."};
  bool draw = true;
  while (status == io::status_good) {
    if (draw) GS_MENU(1, 1, titles, 2, 2, labels, xmin, ymin, xmax, ymax, status);
    draw = false;
    const MenuInput in = menu_input(status);
    if (status != io::status_good) break;
    float px = in.x, py = in.y;
    if (in.kind == gs::input_redraw) {
      draw = true;
    } else if (in.kind == gs::input_choice && in.choice == 1) {
      explain(region, help, status);
      draw = true;
    } else if (in.kind == gs::input_choice) {
      cancelled = true;
      break;
    } else {
      centre(px, py, status);
      if (image.page.contains(px, py)) {
        x = px;
        y = py;
        break;
      }
      VG_BELL(status);
    }
  }
  gs::note_failure(id, status);
}

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
  const Shown image = shown(status);
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 4}, status);
  Marks marks;
  const gs::Box region{xmin, ymin, xmax, ymax};
  // Messages of the prompts (help, refusals) stay off the image: in the
  // control region (the scope puts the message region back).
  GS_SET_MESSAGE(region, status);
  // The finish control beside the menu when a varying number is wanted.
  const bool finish = !fixed_number && max_coordinates > 1;
  gs::Box menu_box = region, finish_box;
  if (finish) {
    const float split = xmin + 0.78f * (xmax - xmin);
    menu_box.xmax = split;
    finish_box = {split, ymin, xmax, ymax};
  }
  const std::vector<std::string> title_lines(titles.begin(), titles.begin() + num_titles);
  const std::array<std::string, 1> finish_text{"(Click here to finish)"};
  bool two_click = false;
  bool draw = true;
  // The points as they are taken: the rubber band follows from the first
  // of two, or from the last of more.
  const auto take = [&](float wx, float wy, float px, float py, bool on_image) {
    x_coordinates[static_cast<std::size_t>(num_coordinates)] = wx;
    y_coordinates[static_cast<std::size_t>(num_coordinates)] = wy;
    ++num_coordinates;
    if (on_image) marks.add(px, py, status);
  };
  while (status == io::status_good && num_coordinates < max_coordinates) {
    if (draw) {
      const std::array<std::string, 4> labels{"CANCEL", "HELP", "KEYBOARD",
                                              two_click ? "TWO CLICK" : "ONE CLICK"};
      GS_MENU(std::max(max_titles, 1), num_titles, title_lines, 4, 4, labels, menu_box.xmin,
              menu_box.ymin, menu_box.xmax, menu_box.ymax, status);
      if (finish) {
        GS_PROMPT(true, 1, 1, finish_text, finish_box.xmin, finish_box.ymin, finish_box.xmax,
                  finish_box.ymax, status);
      }
      draw = false;
    }
    const auto& points = marks.points();
    if (!points.empty()) {
      const vg::Point anchor = max_coordinates == 2 ? points.front() : points.back();
      VG_SET_RUBBERBAND(gs::window_workstation, max_coordinates == 2 ? 2 : 1, anchor.x, anchor.y,
                        status);
    }
    const MenuInput in = menu_input(status);
    if (status != io::status_good) break;
    float px = in.x, py = in.y;
    if (in.kind == gs::input_redraw) {
      draw = true;
      continue;
    }
    if (in.kind == gs::input_choice) {
      // No band over the prompts and explanations.
      VG_SET_RUBBERBAND(gs::window_workstation, 0, 0.0f, 0.0f, status);
      switch (in.choice) {
        case 1:  // CANCEL
          status = io::status_escape;
          break;
        case 2:  // HELP
          explain(region, info.first(static_cast<std::size_t>(num_info)), status);
          draw = true;
          break;
        case 3: {  // KEYBOARD
          const std::array<std::string, 1> error{"Enter valid floating point number"};
          const std::array<std::string, 1> help_x{"Type the X-component in world coordinates"};
          const std::array<std::string, 1> help_y{"Type the Y-component in world coordinates"};
          float wx = std::numeric_limits<float>::quiet_NaN(), wy = wx;
          GS_INPR(false, 0.0f, 0.0f, false, "X-COMPONENT OF COORDINATE TO DEFINE", 1, help_x, 1,
                  error, wx, status);
          if (status == io::status_good && !std::isnan(wx)) {
            GS_INPR(false, 0.0f, 0.0f, false, "Y-COMPONENT OF COORDINATE TO DEFINE", 1, help_y, 1,
                    error, wy, status);
          }
          if (status == io::status_good && !std::isnan(wx) && !std::isnan(wy)) {
            // Marked where it lies on the image.
            const float mx = image.page.xmin + (wx - image.world.xmin) *
                                                   (image.page.xmax - image.page.xmin) /
                                                   (image.world.xmax - image.world.xmin);
            const float my = image.page.ymin + (wy - image.world.ymin) *
                                                   (image.page.ymax - image.page.ymin) /
                                                   (image.world.ymax - image.world.ymin);
            take(wx, wy, mx, my, image.page.contains(mx, my));
          }
          draw = true;
          break;
        }
        default:  // the click mode
          two_click = !two_click;
          draw = true;
          break;
      }
      continue;
    }
    if (finish && finish_box.contains(px, py)) break;
    centre(px, py, status);
    if (!image.page.contains(px, py)) {
      VG_BELL(status);
      continue;
    }
    if (two_click) {
      bool cancelled = false;
      VG_SET_RUBBERBAND(gs::window_workstation, 0, 0.0f, 0.0f, status);
      GS_INP_TWOCLICK(xmin, ymin, xmax, ymax, data, xstrelm, ystrelm, xendelm, yendelm, cancelled,
                      px, py, status);
      draw = true;
      if (status != io::status_good || cancelled) continue;
    }
    float wx = 0.0f, wy = 0.0f;
    gs::page_to_world(image.page, image.world, px, py, wx, wy);
    take(wx, wy, px, py, true);
  }
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

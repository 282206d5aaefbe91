// The warning box: red, with a yellow border, its lines and an O.K. button.
#include <algorithm>
#include <array>

#include "gs_macro.h"
#include "gs_widgets.h"

namespace gs {

WarningLayout warning_layout(const Box& region, int num_lines) {
  WarningLayout l;
  const float W = region.xmax - region.xmin;
  const float H = region.ymax - region.ymin;
  l.margin_x = W / 50.0f;
  l.margin_y = H / 30.0f;
  const float n1 = static_cast<float>(std::max(num_lines, 0) + 1);
  l.tall = W / H <= 3.0f;
  if (l.tall) {
    l.pitch = 0.9f * (H - l.margin_y) / n1;
    l.text = Box{region.xmin + l.margin_x, region.ymin + l.margin_y + H / 10.0f,
                 region.xmax - l.margin_x, region.ymax - l.margin_y - l.pitch};
    l.ok = Box{region.xmax - l.margin_x - W / 6.0f, region.ymin + l.margin_y,
               region.xmax - l.margin_x, region.ymin + H / 10.0f};
  } else {
    l.pitch = (H - l.margin_y) / n1;
    l.text = Box{region.xmin + l.margin_x, region.ymin + l.margin_y,
                 region.xmax - l.margin_x - W / 8.0f, region.ymax - l.margin_y - l.pitch};
    l.ok = Box{l.text.xmax + l.margin_x, region.ymin + l.margin_y, region.xmax - l.margin_x,
               region.ymin + l.margin_y + std::min(W / 12.0f, l.text.ymax - l.text.ymin)};
  }
  return l;
}

}  // namespace gs

void GS_DRAW_WARNING(float xmin, float ymin, float xmax, float ymax, int max_lines, int num_lines,
                     std::span<const std::string> lines, gs::Box& ok_box, int& status) {
  constexpr const char* id = "Subroutine GS_DRAW_WARNING V0.1 ";
  if (!gs::lines_in_box(max_lines, num_lines, lines, xmin, ymin, xmax, ymax, id, status)) return;
  const gs::WidgetScope scope;
  const gs::WarningLayout l = gs::warning_layout(gs::Box{xmin, ymin, xmax, ymax}, num_lines);
  VG_SET_UPDATE(gs::window_workstation, status);
  GS_FILLSTYLE(1, gs::red, status);
  GS_LINESTYLE(1, 4.0f, gs::yellow, status);
  GS_RECTANGLE(xmin, ymin, xmax, ymax, true, true, status);
  gs::draw_text((xmin + xmax) / 2.0f, ymax - l.pitch / 2.0f, "!!! WARNING !!!", 1, gs::white,
                0.8f * l.pitch, gs::align_centre, gs::valign_middle, status);
  GS_PROMPT(false, max_lines, num_lines, lines, l.text.xmin, l.text.ymin, l.text.xmax, l.text.ymax,
            status);
  const std::array<std::string, 1> ok{"O.K."};
  GS_PROMPT(true, 1, 1, ok, l.ok.xmin, l.ok.ymin, l.ok.xmax, l.ok.ymax, status);
  VG_UPDATE(gs::window_workstation, 1, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  ok_box = l.ok;
}

void GS_WARNING(bool flag, float xmin, float ymin, float xmax, float ymax, int max_lines,
                int num_lines, std::span<const std::string> lines, int& status) {
  constexpr const char* id = "Subroutine GS_WARNING V0.1 ";
  static_cast<void>(flag);
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_region(xmin, ymin, xmax, ymax, id, status)) return;
  if (!gs::check_lines(max_lines, num_lines, lines, id, status)) return;
  const gs::WidgetScope scope;
  gs::Box ok_box;
  const gs::MacroTurn turn;
  if (turn.replaying()) {
    // Nobody clicks O.K. during a replay: the lines go to the console too.
    GS_DRAW_WARNING(xmin, ymin, xmax, ymax, max_lines, num_lines, lines, ok_box, status);
    for (int k = 0; k < num_lines; ++k) io::say(io::trimmed(lines[k]));
    return gs::note_failure(id, status);
  }
  bool draw = true;
  while (status == io::status_good) {
    if (draw) GS_DRAW_WARNING(xmin, ymin, xmax, ymax, max_lines, num_lines, lines, ok_box, status);
    draw = false;
    float x = 0.0f, y = 0.0f;
    const int type = gs::wait_click(x, y, status);
    if (type == vg::event_redraw) draw = true;
    if (type == vg::event_button && ok_box.contains(x, y)) break;
  }
  gs::note_failure(id, status);
}

void GS_FWARNING(int max_lines, int num_lines, std::span<const std::string> lines, int& status) {
  constexpr const char* id = "Subroutine GS_FWARNING V0.1 ";
  if (!io::entry_ok(status, id)) return;
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  GS_WARNING(true, gui.xmin, gui.ymin, gui.xmax, gui.ymax, max_lines, num_lines, lines, status);
  gs::note_failure(id, status);
}

// Vertical scroll bars: drawing, mapping a click to a button and waiting
// for a scroll event.
#include <algorithm>

#include "gs_widgets.h"

namespace gs {

std::vector<ScrollBarRecord>& scroll_bars() {
  static std::vector<ScrollBarRecord> bars;
  return bars;
}

ScrollBarRecord scrollbar_layout(const Box& box, int num_items, int first_shown, int num_shown) {
  ScrollBarRecord r;
  r.drawn = true;
  r.outer = box;
  const float width = box.xmax - box.xmin;
  const float height = box.ymax - box.ymin;
  // Square buttons, three at the top and three at the bottom, leaving at
  // least a third of the height to the trough.
  const float bh = std::min(width, height / 9.0f);
  auto at_top = [&](int k) {  // k = 0 is the topmost
    return Box{box.xmin, box.ymax - static_cast<float>(k + 1) * bh, box.xmax,
               box.ymax - static_cast<float>(k) * bh};
  };
  auto at_bottom = [&](int k) {  // k = 0 is the lowest
    return Box{box.xmin, box.ymin + static_cast<float>(k) * bh, box.xmax,
               box.ymin + static_cast<float>(k + 1) * bh};
  };
  r.buttons[scroll_to_start - 1] = at_top(0);
  r.buttons[scroll_page_up - 1] = at_top(1);
  r.buttons[scroll_line_up - 1] = at_top(2);
  r.buttons[scroll_line_down - 1] = at_bottom(2);
  r.buttons[scroll_page_down - 1] = at_bottom(1);
  r.buttons[scroll_to_end - 1] = at_bottom(0);
  r.trough = Box{box.xmin, box.ymin + 3.0f * bh, box.xmax, box.ymax - 3.0f * bh};
  // The thumb covers the shown part of the list.
  const float t = r.trough.ymax - r.trough.ymin;
  float start = 0.0f, end = 1.0f;
  if (num_items > 0) {
    const int first = std::clamp(first_shown, 1, num_items);
    const int last = std::clamp(first - 1 + std::max(num_shown, 0), first, num_items);
    start = static_cast<float>(first - 1) / static_cast<float>(num_items);
    end = static_cast<float>(last) / static_cast<float>(num_items);
  }
  r.thumb = Box{r.trough.xmin, r.trough.ymax - end * t, r.trough.xmax, r.trough.ymax - start * t};
  const float least = t / 50.0f;
  if (r.thumb.ymax - r.thumb.ymin < least)
    r.thumb.ymin = std::max(r.trough.ymin, r.thumb.ymax - least);
  return r;
}

}  // namespace gs

namespace {

// An arrow head in a button: pointing up or down, `count` of them stacked,
// with a bar at the tip for the "to the start/end" buttons.
void arrow(const gs::Box& b, bool up, int count, bool bar, int& status) {
  const float w = b.xmax - b.xmin, h = b.ymax - b.ymin;
  const float cx = (b.xmin + b.xmax) / 2.0f, cy = (b.ymin + b.ymax) / 2.0f;
  const float half = 0.3f * w;
  const float depth = (count == 1 ? 0.4f : 0.28f) * h;
  const float sign = up ? 1.0f : -1.0f;
  float base = cy - sign * depth * static_cast<float>(count) / 2.0f;
  if (bar) base -= sign * 0.08f * h;
  for (int k = 0; k < count; ++k) {
    const float tip = base + sign * depth;
    GS_TRIANGLE(cx - half, base, cx + half, base, cx, tip, false, true, status);
    base += sign * depth * 0.8f;
  }
  if (bar) {
    const float tip = base + sign * depth * 0.2f;
    const float y0 = std::min(tip, tip + sign * 0.1f * h);
    const float y1 = std::max(tip, tip + sign * 0.1f * h);
    GS_RECTANGLE(cx - half, y0, cx + half, y1, false, true, status);
  }
}

}  // namespace

void GS_SCROLLBAR(int bar, float xmin, float ymin, float xmax, float ymax, int num_items,
                  int first_shown, int num_shown, int& status) {
  constexpr const char* id = "Subroutine GS_SCROLLBAR V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (bar < 1 || bar > 2) {
    io::fail(gs::status_bad_value, id, status);
    return;
  }
  if (!gs::check_region(xmin, ymin, xmax, ymax, id, status)) return;
  const gs::WidgetScope scope;
  const gs::ScrollBarRecord r =
      gs::scrollbar_layout(gs::Box{xmin, ymin, xmax, ymax}, num_items, first_shown, num_shown);
  auto& bars = gs::scroll_bars();
  if (bar == 1) bars.clear();
  if (bars.size() < static_cast<std::size_t>(bar)) bars.resize(static_cast<std::size_t>(bar));
  bars[static_cast<std::size_t>(bar - 1)] = r;

  VG_SET_UPDATE(gs::window_workstation, status);
  GS_LINESTYLE(1, 1.0f, gs::black, status);
  GS_FILLSTYLE(1, gs::grey, status);
  GS_RECTANGLE(r.trough.xmin, r.trough.ymin, r.trough.xmax, r.trough.ymax, true, true, status);
  const float bevel = std::min(r.thumb.xmax - r.thumb.xmin, r.thumb.ymax - r.thumb.ymin) / 6.0f;
  GS_FILLSTYLE(1, gs::white, status);
  GS_BUTTON(r.thumb.xmin, r.thumb.ymin, r.thumb.xmax, r.thumb.ymax, bevel, status);
  for (int k = 0; k < gs::scroll_buttons; ++k) {
    const gs::Box& b = r.buttons[static_cast<std::size_t>(k)];
    GS_FILLSTYLE(1, gs::yellow, status);
    GS_BUTTON(b.xmin, b.ymin, b.xmax, b.ymax, std::min(b.xmax - b.xmin, b.ymax - b.ymin) / 10.0f,
              status);
    GS_FILLSTYLE(1, gs::blue, status);
    const int button = k + 1;
    const bool up = button <= gs::scroll_line_up;
    const int count = (button == gs::scroll_page_up || button == gs::scroll_page_down) ? 2 : 1;
    const bool end = button == gs::scroll_to_start || button == gs::scroll_to_end;
    arrow(b, up, count, end, status);
  }
  GS_RECTANGLE(xmin, ymin, xmax, ymax, true, false, status);
  VG_UPDATE(gs::window_workstation, 1, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_DEF_SCROLLBAR(int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DEF_SCROLLBAR V0.1 ")) return;
  gs::scroll_bars().clear();
}

void GS_CAL_SCROLLBAR(float x, float y, int& button, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_CAL_SCROLLBAR V0.1 ")) return;
  button = 0;
  const auto& bars = gs::scroll_bars();
  for (std::size_t b = 0; b < bars.size(); ++b) {
    if (!bars[b].drawn) continue;
    for (int k = 0; k < gs::scroll_buttons; ++k) {
      if (bars[b].buttons[static_cast<std::size_t>(k)].contains(x, y)) {
        button = static_cast<int>(b) * gs::scroll_buttons + k + 1;
        return;
      }
    }
  }
}

void GS_INP_SCROLLBAR(int mode, int& input_kind, int& button, float& x, float& y, int& status) {
  constexpr const char* id = "Subroutine GS_INP_SCROLLBAR V0.1 ";
  if (!io::entry_ok(status, id)) return;
  button = 0;
  for (;;) {
    float px = 0.0f, py = 0.0f;
    if (gs::wait_click(px, py, status) == vg::event_redraw) {
      input_kind = gs::input_redraw;
      return;
    }
    if (status != io::status_good) return gs::note_failure(id, status);
    GS_CAL_SCROLLBAR(px, py, button, status);
    if (button > 0) {
      input_kind = gs::input_choice;
      x = px;
      y = py;
      return;
    }
    if (mode == 1) {
      input_kind = gs::input_outside;
      x = px;
      y = py;
      return;
    }
  }
}

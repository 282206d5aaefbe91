// Services shared by the widgets: argument checks, aspect factors, text
// drawing and event waiting.
#include "gs_widgets.h"

#include <algorithm>

namespace gs {

bool check_lines(int max_lines, int num_lines, std::span<const std::string> lines,
                 const char* identification, int& status) {
  if (max_lines < 1) {
    io::fail(status_bad_maximum, identification, status);
    return false;
  }
  if (num_lines < 0 || num_lines > max_lines ||
      static_cast<std::size_t>(num_lines) > lines.size()) {
    io::fail(status_bad_count, identification, status);
    return false;
  }
  return true;
}

bool check_count(int num_lines, std::span<const std::string> lines, const char* identification,
                 int& status) {
  if (num_lines < 0 || static_cast<std::size_t>(num_lines) > lines.size()) {
    io::fail(status_bad_count, identification, status);
    return false;
  }
  return true;
}

bool check_region(float xmin, float ymin, float xmax, float ymax, const char* identification,
                  int& status) {
  if (!(xmin < xmax)) {
    io::fail(status_order_x, identification, status);
    return false;
  }
  if (!(ymin < ymax)) {
    io::fail(status_order_y, identification, status);
    return false;
  }
  return true;
}

bool lines_in_box(int max_lines, int num_lines, std::span<const std::string> lines, float xmin,
                  float ymin, float xmax, float ymax, const char* identification, int& status) {
  return io::entry_ok(status, identification) &&
         check_lines(max_lines, num_lines, lines, identification, status) &&
         check_region(xmin, ymin, xmax, ymax, identification, status);
}

float prompt_factor(float w) {
  if (w <= 0.063f) return 1.7f;
  if (w <= 0.083f) return 1.6f;
  if (w <= 0.1f) return 1.4f;
  return 1.2f;
}

float menu_factor(float w) {
  if (w <= 0.063f) return 1.5f;
  if (w <= 0.083f) return 1.4f;
  if (w <= 0.1f) return 1.25f;
  return 1.1f;
}

float message_factor(int font, float w) {
  if (font == 2) return w <= 0.063f ? 1.5f : 1.4f;
  if (w <= 0.063f) return 2.6f;
  if (w <= 0.083f) return 2.4f;
  if (w <= 0.1f) return 1.9f;
  return 1.85f;
}

float sample_width() {
  int s = io::status_good;
  float w = 0.0f;
  GS_INQ_SAMPLEWIDTH(w, s);
  return w;
}

void fill_box(const Box& box, int colour, int& status) {
  const WidgetScope scope;
  VG_SET_UPDATE(window_workstation, status);
  GS_FILLSTYLE(1, colour, status);
  GS_RECTANGLE(box.xmin, box.ymin, box.xmax, box.ymax, false, true, status);
}

void draw_text(float x, float y, const std::string& text, int font, int colour, float height,
               int horizontal, int vertical, int& status) {
  GS_TEXTSTYLE(font, colour, height, 1.0f, 0.0f, horizontal, vertical, status);
  VG_TEXT(x, y, io::trimmed(text), status);
}

void wait_event(int& type, float& x, float& y, int& status) {
  int workstation = window_workstation;
  std::string text;
  VG_INP_EVENT(window_workstation, 1, false, "", false, "", 0.0f, 0.0f, 0.0f, 0.0f, type,
               workstation, x, y, text, status);
}

int wait_click(float& x, float& y, int& status) {
  while (status == io::status_good) {
    int type = vg::event_none;
    wait_event(type, x, y, status);
    if (status == io::status_good && (type == vg::event_button || type == vg::event_redraw)) {
      return type;
    }
  }
  return vg::event_none;
}

}  // namespace gs

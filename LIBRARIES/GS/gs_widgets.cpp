// Services shared by the widgets: saving and restoring the caller's drawing
// state, argument checks, aspect factors, text drawing and event waiting.
#include "gs_widgets.h"

#include <algorithm>

namespace gs {

SavedDrawing::SavedDrawing() {
  int s = io::status_good;
  VG_INQ_DATAWINDOW(window_[0], window_[1], window_[2], window_[3], s);
  VG_INQ_VIEWPORT(viewport_[0], viewport_[1], viewport_[2], viewport_[3], s);
  VG_INQ_CLIPWINDOW(clip_window_[0], clip_window_[1], clip_window_[2], clip_window_[3], s);
  VG_INQ_CLIP(clip_, s);
  GS_INQ_DDDR(dddr_[0], dddr_[1], dddr_[2], dddr_[3], s);
  GS_INQ_DGPP(dgpp_[0], dgpp_[1], dgpp_[2], dgpp_[3], s);
  GS_INQ_GUIREGION(gui_[0], gui_[1], gui_[2], gui_[3], s);
  GS_INQ_TEXTSTYLE(font_, text_colour_, height_, size_factor_, angle_, horizontal_, vertical_, s);
  GS_INQ_LINESTYLE(line_type_, line_width_, line_colour_, s);
  GS_INQ_FILLSTYLE(fill_type_, fill_colour_, s);
  saved_ = s == io::status_good;
  VG_DATAWINDOW(0.0f, 0.0f, 1.0f, 1.0f, s);
  VG_VIEWPORT(0.0f, 0.0f, 1.0f, 1.0f, s);
  if (clip_) VG_CLIP(false, s);
}

SavedDrawing::~SavedDrawing() {
  if (!saved_) return;
  int s = io::status_good;
  VG_CLIP(false, s);
  s = io::status_good;
  VG_DATAWINDOW(window_[0], window_[1], window_[2], window_[3], s);
  s = io::status_good;
  VG_VIEWPORT(viewport_[0], viewport_[1], viewport_[2], viewport_[3], s);
  s = io::status_good;
  VG_CLIPWINDOW(clip_window_[0], clip_window_[1], clip_window_[2], clip_window_[3], s);
  s = io::status_good;
  if (clip_) VG_CLIP(true, s);
  s = io::status_good;
  GS_SET_DDDR(dddr_[0], dddr_[1], dddr_[2], dddr_[3], s);
  s = io::status_good;
  GS_SET_DGPP(dgpp_[0], dgpp_[1], dgpp_[2], dgpp_[3], s);
  s = io::status_good;
  GS_SET_GUIREGION(gui_[0], gui_[1], gui_[2], gui_[3], s);
  s = io::status_good;
  GS_TEXTSTYLE(font_, text_colour_, height_, size_factor_, angle_, horizontal_, vertical_, s);
  s = io::status_good;
  GS_LINESTYLE(line_type_, line_width_, line_colour_, s);
  s = io::status_good;
  GS_FILLSTYLE(fill_type_, fill_colour_, s);
}

bool check_lines(int max_lines, int num_lines, std::span<const std::string> lines,
                 const char* identification, int& status) {
  if (max_lines < 1) {
    fail(1, identification, status);
    return false;
  }
  if (num_lines < 0 || num_lines > max_lines ||
      static_cast<std::size_t>(num_lines) > lines.size()) {
    fail(5, identification, status);
    return false;
  }
  return true;
}

bool check_count(int num_lines, std::span<const std::string> lines, const char* identification,
                 int& status) {
  if (num_lines < 0 || static_cast<std::size_t>(num_lines) > lines.size()) {
    fail(5, identification, status);
    return false;
  }
  return true;
}

bool check_region(float xmin, float ymin, float xmax, float ymax, const char* identification,
                  int& status) {
  if (!(xmin < xmax)) {
    fail(13, identification, status);
    return false;
  }
  if (!(ymin < ymax)) {
    fail(14, identification, status);
    return false;
  }
  return true;
}

std::string trimmed(const std::string& text) {
  return text.substr(0, static_cast<std::size_t>(SLEN(text)));
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
  float w = 0.08f;
  GS_INQ_SAMPLEWIDTH(w, s);
  return w;
}

void draw_text(float x, float y, const std::string& text, int font, int colour, float height,
               int horizontal, int vertical, int& status) {
  GS_TEXTSTYLE(font, colour, height, 1.0f, 0.0f, horizontal, vertical, status);
  VG_TEXT(x, y, trimmed(text), status);
}

void wait_event(int& type, float& x, float& y, int& status) {
  int workstation = window_workstation;
  std::string text;
  VG_INP_EVENT(window_workstation, 1, false, "", false, "", 0.0f, 0.0f, 0.0f, 0.0f, type,
               workstation, x, y, text, status);
}

}  // namespace gs

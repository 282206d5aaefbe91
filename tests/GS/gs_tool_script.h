// Scripted input for the file selection tool and forms on the recording
// window: where to click, computed from the layouts the widgets use (the
// toolkit must be open, in the page format of the run).
#pragma once

#include <string>

#include "gs.h"
#include "gs_tools.h"
#include "gs_widgets.h"
#include "recording_device.h"

namespace tooltest {

inline float cx(const gs::Box& b) {
  return (b.xmin + b.xmax) / 2.0f;
}
inline float cy(const gs::Box& b) {
  return (b.ymin + b.ymax) / 2.0f;
}
inline void click(kovtest::RecordingWindow& w, const gs::Box& b) {
  w.push_click(cx(b), cy(b));
}

inline gs::Box message_region() {
  gs::Box r;
  int s = io::status_good;
  GS_INQ_MESSAGE(r, s);
  return r;
}

// --- The file selection tool
inline gs::SelectionLayout selection() {
  return gs::selection_layout(message_region(), gs::sample_width());
}
// The strip where the tool's prompts, warnings and question are drawn.
inline gs::Box selection_gui() {
  const gs::SelectionLayout l = selection();
  return gs::Box{l.region.xmin, l.region.ymin, l.region.xmax, l.name_field.ymax};
}
// The buttons of the yes/no question in a GUI region: CANCEL, HELP, YES, NO.
inline gs::Box question_button(const gs::Box& gui, int k) {
  return gs::menu_layout(1, 4, gui, 0, 4, 40, 10, gs::sample_width())
      .buttons[static_cast<std::size_t>(k)];
}
inline void answer_cancel(kovtest::RecordingWindow& w) {
  click(w, question_button(selection_gui(), 0));
}
inline void answer_yes(kovtest::RecordingWindow& w) {
  click(w, question_button(selection_gui(), 2));
}
inline void answer_no(kovtest::RecordingWindow& w) {
  click(w, question_button(selection_gui(), 3));
}
// The O.K. of a one-line warning in the tool.
inline void warning_ok(kovtest::RecordingWindow& w) {
  click(w, gs::warning_layout(selection_gui(), 1).ok);
}
// Types `name` in the name field of the tool.
inline void type_name(kovtest::RecordingWindow& w, const std::string& name) {
  click(w, selection().name_field);
  w.push_line(name);
}
// Command k (0 CANCEL, 1 ?, 2 HELP, 3 INFO, 4 TYPES, 5 FILTER).
inline void command(kovtest::RecordingWindow& w, int k) {
  const gs::SelectionLayout l = selection();
  click(w, gs::menu_layout(0, 6, l.commands, 0, 6, 40, 10, gs::sample_width())
               .buttons[static_cast<std::size_t>(k)]);
}
// Row `row` (from 1) of a list box.
inline void list_row(kovtest::RecordingWindow& w, const gs::Box& list, int row) {
  const gs::SelectionLayout l = selection();
  w.push_click(cx(list), list.ymax - (static_cast<float>(row) - 0.5f) * l.row_height);
}

// --- Forms
inline gs::FormLayout form(int entries) {
  return gs::form_layout(message_region(), entries);
}
// The button of entry k (from 0).
inline void entry(kovtest::RecordingWindow& w, int entries, int k) {
  click(w, form(entries).change[static_cast<std::size_t>(k)]);
}
// Control c: 0 O.K., 1 CANCEL, 2 ?, 3 HELP, 4 INFO.
inline gs::Box control_box(int entries, int c) {
  return gs::menu_layout(0, 5, form(entries).controls, 0, 5, 40, 8, gs::sample_width())
      .buttons[static_cast<std::size_t>(c)];
}
inline void control(kovtest::RecordingWindow& w, int entries, int c) {
  click(w, control_box(entries, c));
}
// The O.K. of a one-line warning in the form's prompt strip.
inline void form_warning_ok(kovtest::RecordingWindow& w, int entries, int lines = 1) {
  click(w, gs::warning_layout(form(entries).prompt, lines).ok);
}

}  // namespace tooltest

// The message box: scrollable lines of text with O.K. and SAVE buttons.
#include <algorithm>
#include <cmath>

#include "gs_macro.h"
#include "gs_widgets.h"

namespace gs {

MessageLayout message_layout(const Box& region, int num_lines, std::span<const std::string> lines,
                             float sample_width, int& status) {
  MessageLayout l;
  const float W = region.xmax - region.xmin;
  const float H = region.ymax - region.ymin;
  l.margin_x = W / 100.0f;
  l.margin_y = H / 100.0f;
  l.gap = std::min(l.margin_x, l.margin_y);
  const float bw = std::max(0.125f * W, 0.07f);
  const float bh = std::max(H / 20.0f, 0.025f);
  const float sw = std::max(W / 20.0f, 0.025f);
  l.text = Box{region.xmin + l.margin_x, region.ymin + l.margin_y + l.gap + bh,
               region.xmax - l.margin_x - sw - l.gap, region.ymax - l.margin_y};

  MessageStyles styles;
  GS_INQ_MESSAGESTYLE(styles, status);
  const MessageStyle& style = styles.messages;
  l.font = style.font < 1 ? 1 : style.font;
  l.fill = style.fill;
  l.colour = style.text;
  const float tw = l.text.xmax - l.text.xmin;
  const float th = l.text.ymax - l.text.ymin;
  if (style.auto_size != 0) {
    int longest = 0;
    for (int k = 0; k < num_lines; ++k) longest = std::max(longest, SLEN(lines[k]));
    const int characters = std::max(longest + 2, 3);
    l.height = std::min(tw * message_factor(l.font, sample_width) / static_cast<float>(characters),
                        th / 3.0f);
    l.spacing = 1.2f * l.height;
  } else {
    l.height = fixed_message_height;
    l.spacing = style.spacing * l.height;
  }
  l.fit = l.spacing > 0.0f ? static_cast<int>(std::lround(th / l.spacing)) : num_lines;
  l.button_height = std::min(bw / 5.0f, 0.8f * bh);
  l.ok = Box{region.xmax - l.gap - bw, region.ymin + l.gap, region.xmax - l.gap,
             region.ymin + l.gap + bh};
  l.save = Box{l.ok.xmin - l.gap - bw, l.ok.ymin, l.ok.xmin - l.gap, l.ok.ymax};
  l.scroll = Box{l.text.xmax + l.gap, l.text.ymin, region.xmax - l.margin_x, l.text.ymax};
  return l;
}

}  // namespace gs

namespace {

// The name used by SAVE, remembered between calls.
std::string& save_name() {
  static std::string name = gs::default_save_name;
  return name;
}

constexpr int save_unit = 18;

const std::array<std::string, 1> save_help{"Enter name of file to contain text"};

// Writes the lines to the file `name` (not blank), which is remembered.
// Failures are reported on the console and leave the caller's status alone.
void write_lines(const std::string& name, int num_lines, std::span<const std::string> lines) {
  save_name() = name;
  int local = io::status_good;
  int retstat = 0;
  std::string file_name = name;
  IO_OPEN_ASCIIFILE(false, "WRITE", save_unit, file_name, retstat, local);
  if (local != io::status_good || retstat != 0) {
    io::say("WARNING: Cannot open the text file: " + name);
    return;
  }
  for (int k = 0; k < num_lines && local == io::status_good; ++k) {
    IO_WRITE_FILE(save_unit, io::trimmed(lines[k]), local);
  }
  int close_status = io::status_good;
  IO_CLOSE_ASCIIFILE(save_unit, close_status);
}

// Writes the lines to a file named by the user; returns the name (empty when
// none was given).
std::string save_lines(int num_lines, std::span<const std::string> lines, int& status) {
  const gs::TypedLine typed = gs::input_text("TEXT FILE NAME", save_help, save_name(), status);
  if (status != io::status_good || typed.cancelled) return {};
  const std::string name = io::trimmed(typed.text);
  if (name.find_first_not_of(' ') == std::string::npos) return {};
  write_lines(name, num_lines, lines);
  return name;
}

// The new first line shown after a scroll button, with n lines of which f
// fit. Page steps move by at least one line.
int scrolled(int button, int first, int n, int f) {
  const int last_start = std::max(n - f + 1, 1);
  const int page = std::max(f - 2, 1);
  switch (button) {
    case gs::scroll_to_end:
      return last_start;
    case gs::scroll_page_down:
      return std::min(first + page, last_start);
    case gs::scroll_line_down:
      return std::min(first + 1, last_start);
    case gs::scroll_line_up:
      return std::max(first - 1, 1);
    case gs::scroll_page_up:
      return std::max(first - page, 1);
    case gs::scroll_to_start:
      return 1;
    default:
      return first;
  }
}

}  // namespace

void GS_DRAW_MESSAGE(int max_lines, int num_lines, std::span<const std::string> lines,
                     int first_line, float xmin, float ymin, float xmax, float ymax,
                     gs::Box& text_box, gs::Box& ok_box, gs::Box& save_box, int& num_fit,
                     int& status) {
  constexpr const char* id = "Subroutine GS_DRAW_MESSAGE V0.1 ";
  if (!gs::lines_in_box(max_lines, num_lines, lines, xmin, ymin, xmax, ymax, id, status)) return;
  const gs::WidgetScope scope;
  const gs::MessageLayout l = gs::message_layout(gs::Box{xmin, ymin, xmax, ymax}, num_lines, lines,
                                                 gs::sample_width(), status);
  VG_SET_UPDATE(gs::window_workstation, status);
  const gs::Box& t = l.text;
  GS_FILLSTYLE(1, l.fill, status);
  GS_RECTANGLE(t.xmin - l.margin_x / 2.0f, t.ymin - l.margin_y / 2.0f, t.xmax + l.margin_x / 2.0f,
               t.ymax + l.margin_y / 2.0f, false, true, status);
  VG_CLIPWINDOW(t.xmin, t.ymin, t.xmax, t.ymax, status);
  VG_CLIP(true, status);
  GS_TEXTSTYLE(l.font, l.colour, l.height, 1.0f, 0.0f, gs::align_left, gs::valign_base, status);
  const int first = std::clamp(first_line, 1, std::max(num_lines, 1));
  for (int k = first; k <= num_lines; ++k) {
    const float y = t.ymax - static_cast<float>(k - first + 1) * l.spacing;
    if (y < t.ymin - l.spacing) break;
    VG_TEXT(t.xmin + 0.5f * l.height, y, io::trimmed(lines[k - 1]), status);
  }
  VG_CLIP(false, status);

  GS_FILLSTYLE(1, gs::yellow, status);
  GS_LINESTYLE(1, 1.0f, gs::black, status);
  GS_TEXTSTYLE(1, gs::blue, l.button_height, 1.0f, 0.0f, gs::align_centre, gs::valign_middle,
               status);
  const float bevel = std::min(l.ok.xmax - l.ok.xmin, l.ok.ymax - l.ok.ymin) / 12.0f;
  GS_STRINGBUTTON(l.ok.xmin, l.ok.ymin, l.ok.xmax, l.ok.ymax, bevel, "O.K.", status);
  GS_STRINGBUTTON(l.save.xmin, l.save.ymin, l.save.xmax, l.save.ymax, bevel, "SAVE", status);
  if (num_lines > l.fit) {
    GS_SCROLLBAR(1, l.scroll.xmin, l.scroll.ymin, l.scroll.xmax, l.scroll.ymax, num_lines, first,
                 l.fit, status);
  } else {
    GS_DEF_SCROLLBAR(status);
  }
  VG_UPDATE(gs::window_workstation, 1, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  text_box = l.text;
  ok_box = l.ok;
  save_box = l.save;
  num_fit = l.fit;
}

namespace {

// What is left beside the message box's buttons by the file-name prompt of
// SAVE (the part of the GUI region inside the message region) is cleared to
// the background.
void clear_after_save(const gs::Box& region, int& status) {
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  bool fill = false;
  int background = 0;
  GS_INQ_BACKGROUND(fill, background, status);
  const float x0 = std::max(gui.xmin, region.xmin), x1 = std::min(gui.xmax, region.xmax);
  const float y0 = std::max(gui.ymin, region.ymin), y1 = std::min(gui.ymax, region.ymax);
  if (x0 < x1 && y0 < y1 && status == io::status_good) {
    GS_FILLSTYLE(1, background, status);
    GS_RECTANGLE(x0, y0, x1, y1, false, true, status);
  }
}

// The message box as drawn: its lines and region, the first line shown and
// the boxes a click is matched against.
struct Shown {
  int max_lines, num_lines;
  std::span<const std::string> lines;
  gs::Box region, text, ok, save;
  int first = 1, fit = 0;
};

void draw(Shown& m, int& status) {
  GS_DRAW_MESSAGE(m.max_lines, m.num_lines, m.lines, m.first, m.region.xmin, m.region.ymin,
                  m.region.xmax, m.region.ymax, m.text, m.ok, m.save, m.fit, status);
}

constexpr const char* command_item = "ENTER COMMAND";

// A click outside the scroll buttons; true on O.K. The commands given are
// kept in the macro recorded.
bool clicked(const Shown& m, float x, float y, gs::MacroTurn& turn, int& status) {
  if (m.ok.contains(x, y)) {
    turn.record(command_item, "O.K.", status);
    return true;
  }
  if (m.save.contains(x, y)) {
    const std::string name = save_lines(m.num_lines, m.lines, status);
    clear_after_save(m.region, status);
    if (!name.empty()) {
      turn.record(command_item, "SAVE", status);
      turn.record("TEXT FILE NAME", name, status);
    }
  }
  return false;
}

// The commands from the macro: "SAVE" asks for the file's name and saves,
// "O.K." ends, anything else asks again. False when the command goes to the
// window instead.
bool macro_commands(const Shown& m, gs::MacroTurn& turn, int& status) {
  for (int k = 0; k < m.num_lines; ++k) io::say(io::trimmed(m.lines[k]));
  const std::array<std::string, 1> help{"Enter command"};
  while (status == io::status_good) {
    std::string command;
    IO_INPC(false, command_item, command_item, 1, help, 0, {}, command, status);
    if (turn.back_to_window(status)) return false;
    command = io::upper(io::stripped(command));
    if (status != io::status_good || command == "O.K.") break;
    if (command != "SAVE") continue;
    std::string name = save_name();
    IO_INPC(true, "TEXT FILE NAME", "TEXT FILE NAME", 1, save_help, 0, {}, name, status);
    if (status == io::status_good && !io::stripped(name).empty()) {
      write_lines(io::trimmed(name), m.num_lines, m.lines);
    }
  }
  return true;
}

}  // namespace

void GS_MESSAGE(int max_lines, int num_lines, std::span<const std::string> lines, int& status) {
  constexpr const char* id = "Subroutine GS_MESSAGE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_lines(max_lines, num_lines, lines, id, status)) return;
  const gs::WidgetScope scope;
  // The scroll bars of an enclosing widget (the file lists) come back.
  const gs::ScrollBarScope bars;
  Shown m{max_lines, num_lines, lines, {}, {}, {}, {}, 1, num_lines};
  GS_INQ_MESSAGE(m.region, status);
  gs::MacroTurn turn;
  if (turn.replaying()) {
    draw(m, status);
    if (macro_commands(m, turn, status)) return gs::note_failure(id, status);
  }
  while (status == io::status_good) {
    draw(m, status);
    int kind = 0, button = 0;
    float x = 0.0f, y = 0.0f;
    GS_INP_SCROLLBAR(1, kind, button, x, y, status);
    if (status != io::status_good) break;
    if (kind == gs::input_choice) m.first = scrolled(button, m.first, num_lines, m.fit);
    if (kind == gs::input_outside && clicked(m, x, y, turn, status)) break;
  }
  gs::note_failure(id, status);
}

namespace gs {

void show_help(const Box& region, std::span<const std::string> lines, int& status) {
  const RegionScope regions;
  GS_SET_MESSAGE(region, status);
  // Nothing of the widget shows beside the box.
  MessageStyles styles;
  GS_INQ_MESSAGESTYLE(styles, status);
  fill_box(region, styles.messages.fill, status);
  const std::vector<std::string> shown = readable_lines(lines, readable_width);
  const int n = static_cast<int>(shown.size());
  GS_MESSAGE(std::max(n, 1), n, shown, status);
}

void show_help(std::span<const std::string> lines, int& status) {
  Box gui;
  GS_INQ_GUIREGION(gui, status);
  show_help(gui, lines, status);
}

}  // namespace gs

// Typed answers in the window: text, integer and real prompts with the
// CANCEL, HELP and O.K. buttons beside the input line, and the yes/no
// question.
#include <algorithm>
#include <array>

#include "gs_widgets.h"

namespace gs {

std::vector<std::string> split_prompt(const std::string& prompt) {
  const std::string t = io::trimmed(prompt);
  if (t.size() <= 50) return {t};
  const std::size_t blank = t.find(' ', 39);
  if (blank == std::string::npos) return {t};
  std::string second = t.substr(blank + 1);
  second.erase(0, std::min(second.find_first_not_of(' '), second.size()));
  return {t.substr(0, blank), second};
}

InputLayout input_layout(const Box& region, const std::string& prompt, float sample_width) {
  InputLayout l;
  const float W = region.xmax - region.xmin;
  const float H = region.ymax - region.ymin;
  const float g = std::min(W, H) / 25.0f;
  const float bw = W / 9.0f;
  const float bh = std::min(H - 2.0f * g, 0.6f * bw);
  l.ok = Box{region.xmax - g - bw, region.ymin + g, region.xmax - g, region.ymin + g + bh};
  l.help = Box{l.ok.xmin - g - bw, l.ok.ymin, l.ok.xmin - g, l.ok.ymax};
  l.cancel = Box{l.help.xmin - g - bw, l.ok.ymin, l.help.xmin - g, l.ok.ymax};
  l.field = Box{region.xmin + g, region.ymin + g, l.cancel.xmin - g, region.ymax - g};
  l.prompt_lines = split_prompt(prompt);
  const float fw = l.field.xmax - l.field.xmin;
  const float fh = l.field.ymax - l.field.ymin;
  int longest = 30;  // room for a typed answer of that length at least
  for (const auto& line : l.prompt_lines)
    longest = std::max(longest, static_cast<int>(line.size()));
  const float by_width = fw * prompt_factor(sample_width) / static_cast<float>(longest + 2);
  // The line editor fills its box: it stands just inside the field's
  // outline.
  const float inset = std::min(fw, fh) / 30.0f;
  l.device =
      Box{l.field.xmin + inset, l.field.ymin + inset, l.field.xmax - inset, l.field.ymax - inset};
  if (l.prompt_lines.size() > 1) {
    l.device.ymax = l.field.ymin + 0.72f * fh;
    l.height = std::min(0.22f * fh, by_width);
  } else {
    l.height = std::min(0.3f * fh, by_width);
  }
  l.label_height = std::min(bw * menu_factor(sample_width) / 8.0f, 0.6f * bh);
  return l;
}

namespace {

void draw_input(const Box& gui, const InputLayout& l, int& status) {
  VG_SET_UPDATE(window_workstation, status);
  // What the region showed before (a menu, a question) goes, so that no
  // stale button shows beside the prompt's own.
  bool fill = false;
  int background = white;
  GS_INQ_BACKGROUND(fill, background, status);
  GS_FILLSTYLE(1, background, status);
  GS_RECTANGLE(gui.xmin, gui.ymin, gui.xmax, gui.ymax, false, true, status);
  GS_FILLSTYLE(1, white, status);
  GS_LINESTYLE(1, 1.0f, blue, status);
  GS_RECTANGLE(l.field.xmin, l.field.ymin, l.field.xmax, l.field.ymax, true, true, status);
  if (l.prompt_lines.size() > 1) {
    // The first line stands on the line editor's box, which the device
    // fills each time it draws the line: below its base line (commas,
    // brackets, descenders) it would be painted over.
    draw_text(l.field.xmin + (l.field.xmax - l.field.xmin) / 50.0f, l.device.ymax,
              l.prompt_lines[0], 1, black, l.height, align_left, valign_bottom, status);
  }
  GS_FILLSTYLE(1, yellow, status);
  GS_LINESTYLE(1, 1.0f, black, status);
  GS_TEXTSTYLE(1, blue, l.label_height, 1.0f, 0.0f, align_centre, valign_middle, status);
  const float bevel = std::min(l.ok.xmax - l.ok.xmin, l.ok.ymax - l.ok.ymin) / 12.0f;
  GS_STRINGBUTTON(l.cancel.xmin, l.cancel.ymin, l.cancel.xmax, l.cancel.ymax, bevel, "CANCEL",
                  status);
  GS_STRINGBUTTON(l.help.xmin, l.help.ymin, l.help.xmax, l.help.ymax, bevel, "HELP", status);
  GS_STRINGBUTTON(l.ok.xmin, l.ok.ymin, l.ok.xmax, l.ok.ymax, bevel, "O.K.", status);
  VG_UPDATE(window_workstation, 1, status);
}

}  // namespace

void input_text(const std::string& prompt, int num_help, std::span<const std::string> help,
                const std::string& initial, std::string& value, bool& cancelled, int& status) {
  cancelled = false;
  const WidgetScope scope;
  Box gui;
  GS_INQ_GUIREGION(gui, status);
  if (status != io::status_good) return;
  const InputLayout l = input_layout(gui, prompt, sample_width());
  std::string line = io::trimmed(initial);
  bool draw = true;
  while (status == io::status_good) {
    if (draw) draw_input(gui, l, status);
    draw = false;
    // The line editor draws its box in the fill colour and its texts in the
    // text colour and height.
    GS_FILLSTYLE(1, white, status);
    GS_TEXTSTYLE(1, black, l.height, 1.0f, 0.0f, align_left, valign_base, status);
    int type = vg::event_none, workstation = window_workstation;
    float x = 0.0f, y = 0.0f;
    std::string text;
    VG_INP_EVENT(window_workstation, 1, true, l.prompt_lines.back(), true, line, l.device.xmin,
                 l.device.ymin, l.device.xmax - l.device.xmin, l.device.ymax - l.device.ymin, type,
                 workstation, x, y, text, status);
    if (status != io::status_good) return;
    line = io::trimmed(text);
    if (type == vg::event_return || type == vg::event_tab) {
      value = line;
      return;
    }
    if (type == vg::event_redraw) {
      draw = true;
    } else if (type == vg::event_button) {
      if (l.ok.contains(x, y)) {
        value = line;
        return;
      }
      if (l.cancel.contains(x, y)) {
        cancelled = true;
        return;
      }
      if (l.help.contains(x, y)) {
        GS_MESSAGE(std::max(num_help, 1), num_help, help, status);
        draw = true;
      }
    }
  }
}

}  // namespace gs

namespace {

bool is_help(const std::string& answer) {
  std::string upper = answer;
  IO_UPPER(upper);
  return upper == "?" || upper == "HELP";
}

// Shows a refusal: the conversion warning (when there is one) and the
// caller's error lines, in a warning box in the GUI region.
void refuse(const std::string& warning, int num_error, std::span<const std::string> error,
            int& status) {
  std::vector<std::string> lines;
  if (!warning.empty()) lines.push_back(warning);
  for (int k = 0; k < num_error; ++k) lines.push_back(error[static_cast<std::size_t>(k)]);
  if (lines.empty()) return;
  GS_FWARNING(static_cast<int>(lines.size()), static_cast<int>(lines.size()), lines, status);
}

// The shared loop of the integer and real prompts. `convert` turns an answer
// into a value and tells whether it converted and lies in range.
template <typename Convert>
void ask_value(const std::string& prompt_line, bool has_default, const std::string& initial,
               int num_help, std::span<const std::string> help, int num_error,
               std::span<const std::string> error, const std::string& conversion_warning,
               Convert convert, int& status) {
  std::string start = initial;
  while (status == io::status_good) {
    std::string answer;
    bool cancelled = false;
    gs::input_text(prompt_line, num_help, help, start, answer, cancelled, status);
    if (status != io::status_good || cancelled) return;
    const std::string t = io::stripped(answer);
    if (t.empty()) {
      if (has_default) return;
      GS_MESSAGE(std::max(num_help, 1), num_help, help, status);
      continue;
    }
    if (is_help(t)) {
      GS_MESSAGE(std::max(num_help, 1), num_help, help, status);
      start = initial;
      continue;
    }
    bool converted = false;
    if (convert(t, converted)) return;
    refuse(converted ? std::string() : conversion_warning, num_error, error, status);
    start = t;
  }
}

// The integer and real prompts: the prompt line with the range, the default
// as text, and the shared loop; `to_text` and `to_value` are the conversions
// of the value's type.
template <typename T>
void ask_number(const char* id, bool range, T minimum, T maximum, bool has_default,
                const std::string& prompt, int num_help, std::span<const std::string> help,
                int num_error, std::span<const std::string> error,
                const std::string& conversion_warning, void (*to_text)(T, std::string&),
                void (*to_value)(const std::string&, bool&, T&, int&), T& value, int& status) {
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  if (!gs::check_count(num_error, error, id, status)) return;
  gs::MenuSave menu;
  std::string line = io::trimmed(prompt);
  if (range) {
    std::string low, high;
    to_text(minimum, low);
    to_text(maximum, high);
    line += " (Range: " + io::stripped(low) + " to " + io::stripped(high) + ")";
  }
  std::string initial;
  if (has_default) {
    to_text(value, initial);
    initial = io::stripped(initial);
  }
  ask_value(
      line, has_default, initial, num_help, help, num_error, error, conversion_warning,
      [&](const std::string& t, bool& converted) {
        T v{};
        int s = io::status_good;
        to_value(t, converted, v, s);
        if (!converted) return false;
        if (range && (v < minimum || v > maximum)) return false;
        value = v;
        return true;
      },
      status);
  gs::note_failure(id, status);
}

}  // namespace

void GS_INPC(const std::string& prompt, int num_help, std::span<const std::string> help,
             const std::string& default_text, std::string& value, int& status) {
  constexpr const char* id = "Subroutine GS_INPC V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  gs::MenuSave menu;
  bool cancelled = false;
  std::string answer;
  gs::input_text(prompt, num_help, help, default_text, answer, cancelled, status);
  if (status == io::status_good && !cancelled) value = answer;
  gs::note_failure(id, status);
}

void GS_INPS(const std::string& prompt, int num_help, std::span<const std::string> help,
             const std::string& default_text, std::string& value, int& status) {
  constexpr const char* id = "Subroutine GS_INPS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  GS_INPC(prompt, num_help, help, default_text, value, status);
  gs::note_failure(id, status);
}

void GS_INPI(bool range, int minimum, int maximum, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, int& value, int& status) {
  ask_number<int>("Subroutine GS_INPI V0.1 ", range, minimum, maximum, has_default, prompt,
                  num_help, help, num_error, error,
                  "WARNING: Input value: cannot convert to a integer number", IO_ITOC, IO_TOKTI,
                  value, status);
}

void GS_INPR(bool range, float minimum, float maximum, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, float& value, int& status) {
  ask_number<float>("Subroutine GS_INPR V0.1 ", range, minimum, maximum, has_default, prompt,
                    num_help, help, num_error, error,
                    "WARNING: Input value: cannot convert to a real number", IO_RTOC, IO_TOKTR,
                    value, status);
}

void GS_INPL(const std::string& prompt, int num_help, std::span<const std::string> help,
             bool& value, int& status) {
  constexpr const char* id = "Subroutine GS_INPL V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  gs::MenuSave menu;
  const gs::WidgetScope scope;
  const std::array<std::string, 1> title{io::trimmed(prompt)};
  const std::array<std::string, 4> labels{"CANCEL", "HELP", "YES", "NO"};
  // The help lines, then what each choice does.
  std::vector<std::string> lines(help.begin(), help.begin() + num_help);
  if (!lines.empty()) lines.emplace_back();
  lines.insert(lines.end(), {"CANCEL: Cancel parameter input, no change to value",
                             "HELP: Description of required input choice",
                             "YES: Positive/affirmative response to question",
                             "NO: Negative (or alternative) response to question"});
  const gs::MenuLayoutScope layout(
      gs::MenuGrid{.columns = 4,
                   .title_characters =
                       std::max(gs::MenuGrid{}.title_characters, static_cast<int>(title[0].size())),
                   .label_characters = 10},
      status);
  bool draw = true;
  while (status == io::status_good) {
    const int choice = gs::menu_choice(title, labels, draw, status);
    if (status != io::status_good) break;
    if (choice == 1) break;
    if (choice == 2) {
      GS_MESSAGE(static_cast<int>(lines.size()), static_cast<int>(lines.size()), lines, status);
      draw = true;
    } else if (choice == 3 || choice == 4) {
      value = choice == 3;
      break;
    }
  }
  gs::note_failure(id, status);
}

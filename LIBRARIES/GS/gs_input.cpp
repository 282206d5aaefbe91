// Typed answers in the window: text, integer and real prompts with the
// CANCEL, HELP and O.K. buttons beside the input line, and the yes/no
// question.
#include <algorithm>
#include <array>
#include <cmath>

#include "gs_macro.h"
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

// The controls beside the typed line.
enum class LineControl { none, cancel, help, ok };

LineControl line_control(const InputLayout& l, float x, float y) {
  if (l.ok.contains(x, y)) return LineControl::ok;
  if (l.cancel.contains(x, y)) return LineControl::cancel;
  if (l.help.contains(x, y)) return LineControl::help;
  return LineControl::none;
}

// One event of the line editor; `line` returns the line as edited.
int edit_line(const InputLayout& l, std::string& line, float& x, float& y, int& status) {
  // The line editor draws its box in the fill colour and its texts in the
  // text colour and height.
  GS_FILLSTYLE(1, white, status);
  GS_TEXTSTYLE(1, black, l.height, 1.0f, 0.0f, align_left, valign_base, status);
  int type = vg::event_none, workstation = window_workstation;
  std::string text;
  VG_INP_EVENT(window_workstation, 1, true, l.prompt_lines.back(), true, line, l.device.xmin,
               l.device.ymin, l.device.xmax - l.device.xmin, l.device.ymax - l.device.ymin, type,
               workstation, x, y, text, status);
  if (status == io::status_good) line = io::trimmed(text);
  return type;
}

}  // namespace

TypedLine input_text(const std::string& prompt, std::span<const std::string> help,
                     const std::string& initial, int& status) {
  const WidgetScope scope;
  Box gui;
  GS_INQ_GUIREGION(gui, status);
  TypedLine typed{io::trimmed(initial), false};
  if (status != io::status_good) return typed;
  const InputLayout l = input_layout(gui, prompt, sample_width());
  bool draw = true;
  while (status == io::status_good) {
    if (draw) draw_input(gui, l, status);
    float x = 0.0f, y = 0.0f;
    const int type = edit_line(l, typed.text, x, y, status);
    draw = type == vg::event_redraw;
    if (type == vg::event_return || type == vg::event_tab) break;
    if (type != vg::event_button) continue;
    const LineControl control = line_control(l, x, y);
    if (control == LineControl::ok) break;
    typed.cancelled = control == LineControl::cancel;
    if (typed.cancelled) break;
    if (control == LineControl::help) {
      show_help(help, status);
      draw = true;
    }
  }
  return typed;
}

void draw_typed_line(const std::string& prompt, int& status) {
  const WidgetScope scope;
  Box gui;
  GS_INQ_GUIREGION(gui, status);
  if (status != io::status_good) return;
  draw_input(gui, input_layout(gui, prompt, sample_width()), status);
}

bool within(double value, double minimum, double maximum) {
  return std::isfinite(value) && value >= minimum && value <= maximum;
}

}  // namespace gs

namespace {

// The first `n` lines of an array.
std::span<const std::string> first(std::span<const std::string> lines, int n) {
  return lines.first(static_cast<std::size_t>(std::max(n, 0)));
}

// Shows a refusal: the conversion warning (when there is one) and the
// caller's error lines, in a warning box in the GUI region.
void refuse(const std::string& warning, std::span<const std::string> error, int& status) {
  std::vector<std::string> lines;
  if (!warning.empty()) lines.push_back(warning);
  lines.insert(lines.end(), error.begin(), error.end());
  if (lines.empty()) return;
  GS_FWARNING(static_cast<int>(lines.size()), static_cast<int>(lines.size()), lines, status);
}

// What a prompt makes of an answer: taken, or refused (after a conversion
// failure, with the warning) and asked again.
enum class Verdict { taken, refused, not_converted };

// The shared loop of the value prompts: the answer typed in the GUI region,
// the help for "?" or "HELP" (and for an empty answer without a default),
// a refusal shown with the warning and the error lines. `judge` takes an
// answer that is not empty. False when cancelled (the value unchanged) or
// the status went bad.
template <typename Judge>
bool ask_value(const std::string& prompt_line, bool has_default, const std::string& initial,
               std::span<const std::string> help, std::span<const std::string> error,
               const std::string& conversion_warning, Judge judge, int& status) {
  std::string start = initial;
  while (status == io::status_good) {
    const gs::TypedLine typed = gs::input_text(prompt_line, help, start, status);
    if (status != io::status_good || typed.cancelled) return false;
    const std::string t = io::stripped(typed.text);
    if (t.empty() && has_default) return true;
    if (t.empty() || io::upper(t) == "?" || io::upper(t) == "HELP") {
      gs::show_help(help, status);
      start = initial;
      continue;
    }
    const Verdict verdict = judge(t);
    if (verdict == Verdict::taken) return true;
    refuse(verdict == Verdict::not_converted ? conversion_warning : std::string(), error, status);
    start = t;
  }
  return false;
}

// What the integer and real prompts need of their value's type: the
// warning of a failed conversion, the conversions, the macro's question and
// the value as a macro answer.
template <typename T>
struct NumberKind {
  std::string conversion_warning;
  void (*to_text)(T, std::string&);
  void (*to_value)(const std::string&, bool&, T&, int&);
  void (*macro_ask)(bool, T, T, bool, const std::string&, int, std::span<const std::string>, int,
                    std::span<const std::string>, T&, int&);
  std::string (*answer)(T);
};

std::string integer_answer(int value) {
  return std::to_string(value);
}

// The integer and real prompts: the prompt line with the range, the default
// as text, and the shared loop. A value that is not finite lies in no range.
// From a macro the value is read with the same range, help and error lines.
template <typename T>
void ask_number(const char* id, bool range, T minimum, T maximum, bool has_default,
                const std::string& prompt, int num_help, std::span<const std::string> help,
                int num_error, std::span<const std::string> error, const NumberKind<T>& kind,
                T& value, int& status) {
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  if (!gs::check_count(num_error, error, id, status)) return;
  gs::MenuSave menu;
  gs::MacroTurn turn;
  std::string line = io::trimmed(prompt);
  if (range) {
    std::string low, high;
    kind.to_text(minimum, low);
    kind.to_text(maximum, high);
    line += " (Range: " + io::stripped(low) + " to " + io::stripped(high) + ")";
  }
  if (turn.replaying()) {
    gs::draw_typed_line(line, status);
    kind.macro_ask(range, minimum, maximum, has_default, prompt, num_help, help, num_error, error,
                   value, status);
    if (!turn.back_to_window(status)) return gs::note_failure(id, status);
  }
  std::string initial;
  if (has_default) {
    kind.to_text(value, initial);
    initial = io::stripped(initial);
  }
  // Taken as offered (the line as it was shown, or emptied): the macro
  // takes what its replay offers, e.g. the axis found on another scan.
  bool offered = has_default;
  const auto judge = [&](const std::string& t) {
    T v{};
    bool converted = false;
    int s = io::status_good;
    kind.to_value(t, converted, v, s);
    if (!converted) return Verdict::not_converted;
    if (range && !gs::within(v, minimum, maximum)) return Verdict::refused;
    value = v;
    offered = has_default && t == initial;
    return Verdict::taken;
  };
  ask_value(line, has_default, initial, first(help, num_help), first(error, num_error),
            kind.conversion_warning, judge, status);
  // A cancel keeps the value: the macro gives it back unchanged.
  if (status == io::status_good) turn.record(prompt, offered ? "" : kind.answer(value), status);
  gs::note_failure(id, status);
}

constexpr const char* real_warning = "WARNING: Input value: cannot convert to a real number";

}  // namespace

bool gs::ask_finite(const std::string& prompt, std::span<const std::string> help,
                    std::span<const std::string> error, float& value, int& status) {
  const MenuSave menu;
  const auto judge = [&](const std::string& t) {
    float v = 0.0f;
    bool converted = false;
    int s = io::status_good;
    IO_TOKTR(t, converted, v, s);
    if (!converted) return Verdict::not_converted;
    if (!std::isfinite(v)) return Verdict::refused;
    value = v;
    return Verdict::taken;
  };
  return ask_value(io::trimmed(prompt), false, "", help, error, real_warning, judge, status);
}

namespace {

// A text answer from the macro: the default when the line is empty, an
// empty text refused where `empty_allowed` is false. False when the answer
// goes to the window instead.
bool macro_text(gs::MacroTurn& turn, const std::string& prompt, std::span<const std::string> help,
                const std::string& default_text, bool empty_allowed, std::string& value,
                int& status) {
  const std::array<std::string, 1> error{"Error in macro input of a character string"};
  gs::draw_typed_line(prompt, status);
  std::string answer = io::trimmed(default_text);
  const std::string item = io::stripped(prompt);
  IO_INPC(!answer.empty() || empty_allowed, item, item, static_cast<int>(help.size()), help, 1,
          error, answer, status);
  if (turn.back_to_window(status)) return false;
  if (status != io::status_good) return true;
  if (answer.empty() && !empty_allowed) {
    IO_MACRO_REFUSE({error[0]}, status);
  } else {
    value = answer;
  }
  return true;
}

}  // namespace

void GS_INPC(const std::string& prompt, int num_help, std::span<const std::string> help,
             const std::string& default_text, std::string& value, int& status) {
  constexpr const char* id = "Subroutine GS_INPC V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  gs::MenuSave menu;
  gs::MacroTurn turn;
  if (turn.replaying() &&
      macro_text(turn, prompt, first(help, num_help), default_text, true, value, status)) {
    return gs::note_failure(id, status);
  }
  const gs::TypedLine typed = gs::input_text(prompt, first(help, num_help), default_text, status);
  if (status == io::status_good && !typed.cancelled) value = typed.text;
  if (status == io::status_good) turn.record(prompt, value, status);
  gs::note_failure(id, status);
}

void GS_INPS(const std::string& prompt, int num_help, std::span<const std::string> help,
             const std::string& default_text, std::string& value, int& status) {
  constexpr const char* id = "Subroutine GS_INPS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  GS_INPC(prompt, num_help, help, default_text, value, status);
  gs::note_failure(id, status);
}

void GS_INPS(const std::string& prompt, int num_help, std::span<const std::string> help,
             int num_error, std::span<const std::string> error, const std::string& default_text,
             std::string& value, int& status) {
  constexpr const char* id = "Subroutine GS_INPS V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  if (!gs::check_count(num_error, error, id, status)) return;
  gs::MenuSave menu;
  gs::MacroTurn turn;
  if (turn.replaying() &&
      macro_text(turn, prompt, first(help, num_help), default_text, false, value, status)) {
    return gs::note_failure(id, status);
  }
  // An empty answer is refused with the error lines.
  const std::string start = io::trimmed(default_text);
  while (status == io::status_good) {
    const gs::TypedLine typed = gs::input_text(prompt, first(help, num_help), start, status);
    if (status != io::status_good || typed.cancelled) break;
    if (!typed.text.empty()) {
      value = typed.text;
      break;
    }
    refuse("", first(error, num_error), status);
  }
  if (status == io::status_good) turn.record(prompt, value, status);
  gs::note_failure(id, status);
}

void GS_INPI(bool range, int minimum, int maximum, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, int& value, int& status) {
  const NumberKind<int> kind{"WARNING: Input value: cannot convert to a integer number", IO_ITOC,
                             IO_TOKTI, IO_INPI, integer_answer};
  ask_number<int>("Subroutine GS_INPI V0.1 ", range, minimum, maximum, has_default, prompt,
                  num_help, help, num_error, error, kind, value, status);
}

void GS_INPR(bool range, float minimum, float maximum, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, float& value, int& status) {
  const NumberKind<float> kind{real_warning, IO_RTOC, IO_TOKTR, IO_INPR, gs::macro_real};
  ask_number<float>("Subroutine GS_INPR V0.1 ", range, minimum, maximum, has_default, prompt,
                    num_help, help, num_error, error, kind, value, status);
}

namespace {

// The choices of the yes/no question, in the order of its menu.
enum class YesNo { none, cancel, help, yes, no };

}  // namespace

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
  gs::MacroTurn turn;
  if (turn.replaying()) {
    GS_FMENU(1, 1, title, 4, 4, labels, status);
    const std::array<std::string, 1> error{"Enter YES or NO"};
    IO_INPL(true, prompt, num_help, help, 1, error, value, status);
    if (!turn.back_to_window(status)) return gs::note_failure(id, status);
  }
  bool draw = true;
  for (YesNo answer = YesNo::none; status == io::status_good && answer != YesNo::cancel;) {
    answer = static_cast<YesNo>(gs::menu_choice(title, labels, draw, status));
    if (answer == YesNo::yes || answer == YesNo::no) {
      value = answer == YesNo::yes;
      break;
    }
    if (answer == YesNo::help) {
      gs::show_help(lines, status);
      draw = true;
    }
  }
  // CANCEL keeps the value, which the macro gives back.
  if (status == io::status_good) turn.record(prompt, value ? "YES" : "NO", status);
  gs::note_failure(id, status);
}

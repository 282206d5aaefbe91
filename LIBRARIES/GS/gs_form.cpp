// Forms: variables shown with their descriptions, values and buttons,
// changed in any order and confirmed with O.K.
#include <algorithm>
#include <array>

#include "gs_fileselect.h"
#include "gs_form.h"
#include "gs_tools.h"
#include "gs_widgets.h"

namespace gs {

FormLayout form_layout(const Box& region, int num_entries) {
  FormLayout l;
  l.region = region;
  const float x0 = region.xmin, y0 = region.ymin, x1 = region.xmax, y1 = region.ymax;
  const float W = x1 - x0, H = y1 - y0;
  const float mx = W / 150.0f, my = H / 150.0f;
  const auto at = [&](float f) { return y0 + f * H; };
  l.title = Box{x0 + mx, at(0.85f), x1 - mx, y1 - my};
  l.controls = Box{x0 + mx, at(0.8f), x1 - mx, l.title.ymin - my};
  l.prompt = Box{x0 + mx, y0 + my, x1 - mx, at(0.15f)};
  const float dx0 = x0 + mx, dx1 = x0 + 0.5f * W - mx;
  const float vx0 = x0 + 0.5f * W, vx1 = x0 + 0.75f * W;
  const float cx0 = x0 + 0.75f * W + mx, cx1 = x1 - mx;
  const float hy0 = at(0.75f), hy1 = at(0.8f) - my;
  l.head_description = Box{dx0, hy0, dx1, hy1};
  l.head_value = Box{vx0, hy0, vx1, hy1};
  l.head_change = Box{cx0, hy0, cx1, hy1};
  const int n = std::max(num_entries, 1);
  const float top = at(0.75f) - my, bottom = at(0.15f) + my;
  const float row = (top - bottom) / static_cast<float>(n);
  for (int k = 0; k < num_entries; ++k) {
    const float r1 = top - static_cast<float>(k) * row - my / 3.0f;
    const float r0 = top - static_cast<float>(k + 1) * row + my / 3.0f;
    l.description.push_back(Box{dx0, r0, dx1, r1});
    l.value.push_back(Box{vx0, r0, vx1, r1});
    l.change.push_back(Box{cx0, r0, cx1, r1});
  }
  return l;
}

std::vector<std::string> menu_alternatives(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  const std::string t = io::trimmed(text);
  while (start <= t.size()) {
    std::size_t end = t.find(form_menu_separator, start);
    if (end == std::string::npos) end = t.size();
    std::string piece = io::trimmed(t.substr(start, end - start));
    piece.erase(0, std::min(piece.find_first_not_of(' '), piece.size()));
    if (!piece.empty()) out.push_back(piece);
    start = end + 1;
  }
  return out;
}

namespace {

std::string stripped_number(const std::string& text) {
  std::string t = io::trimmed(text);
  t.erase(0, std::min(t.find_first_not_of(' '), t.size()));
  return t.substr(0, 20);
}

// The start of a text in 45 characters, "..." in place of its last three
// shown characters when it is longer.
std::string start_of(const std::string& text) {
  const std::string t = io::trimmed(text);
  if (static_cast<int>(t.size()) <= form_display_width) return t;
  return t.substr(0, form_display_width - 3) + "...";
}

}  // namespace

std::string form_display(int type, int integer_value, bool logical_value, float real_value,
                         const std::string& text_value, int& status) {
  std::string text;
  switch (type) {
    case form_integer:
      IO_ITOC(integer_value, text);
      return stripped_number(text);
    case form_real:
      IO_RTOC(real_value, text);
      return stripped_number(text);
    case form_logical:
      return logical_value ? "YES" : "NO";
    case form_colour:
      GS_GIVE_COLOURNAME(integer_value, text, status);
      return io::trimmed(text);
    case form_scan_type: {
      static constexpr std::array<const char*, 4> names{"RADIAL", "2-THETA", "Q-SPACE",
                                                        "D-SPACINGS"};
      return integer_value >= 0 && integer_value <= 3
                 ? names[static_cast<std::size_t>(integer_value)]
                 : "UNKNOWN";
    }
    case form_input_file:
    case form_output_file: {
      const std::string t = io::trimmed(text_value);
      return static_cast<int>(t.size()) <= form_display_width
                 ? t
                 : t.substr(t.size() - form_display_width);
    }
    case form_menu: {
      // The chosen alternative; the whole data when the choice is not one.
      const std::vector<std::string> alternatives = menu_alternatives(text_value);
      if (integer_value >= 1 && integer_value <= static_cast<int>(alternatives.size()))
        return start_of(alternatives[static_cast<std::size_t>(integer_value - 1)]);
      return start_of(text_value);
    }
    default:
      return start_of(text_value);
  }
}

std::vector<std::string> form_wrap(const std::string& text, int width, int max_lines,
                                   bool keep_end) {
  const std::string t = io::trimmed(text);
  std::vector<std::string> lines;
  const std::size_t w = static_cast<std::size_t>(std::max(width, 1));
  if (keep_end) {
    // Pieces of the width, counted from the end, of which the last ones show.
    std::size_t end = t.size();
    while (end > 0 && static_cast<int>(lines.size()) < max_lines) {
      const std::size_t start = end > w ? end - w : 0;
      lines.insert(lines.begin(), t.substr(start, end - start));
      end = start;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
  }
  std::string line;
  std::size_t i = 0;
  while (i < t.size()) {
    while (i < t.size() && t[i] == ' ') ++i;
    std::size_t j = t.find(' ', i);
    if (j == std::string::npos) j = t.size();
    std::string word = t.substr(i, j - i);
    i = j;
    while (!word.empty()) {
      const std::size_t room = line.empty() ? w : (line.size() + 1 < w ? w - line.size() - 1 : 0);
      if (word.size() <= room) {
        line += (line.empty() ? "" : " ") + word;
        word.clear();
      } else if (line.empty()) {
        line = word.substr(0, w);
        word.erase(0, w);
      }
      if (!word.empty() || line.size() >= w) {
        lines.push_back(line);
        line.clear();
      }
    }
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  if (static_cast<int>(lines.size()) > max_lines) {
    lines.resize(static_cast<std::size_t>(max_lines));
    std::string& last = lines.back();
    last = last.substr(0, w > 3 ? w - 3 : 0) + "...";
  }
  return lines;
}

}  // namespace gs

namespace {

constexpr const char* form_prompt = "Click on variable to change, or 'O.K.'";

// Lines of one cell of the form: the description (rewrapped in portrait when
// it is long) or the display text.
std::vector<std::string> description_lines(const std::string& description) {
  int format = gs::format_portrait, s = io::status_good;
  GS_INQ_WINDOWFORMAT(format, s);
  const std::string t = io::trimmed(description);
  if (!gs::is_landscape(format) && t.size() >= 25) return gs::form_wrap(t, 24, 3, false);
  return {t};
}

std::vector<std::string> value_lines(int type, const std::string& display) {
  const bool file = type == gs::form_input_file || type == gs::form_output_file;
  return gs::form_wrap(display, 15, 4, file);
}

void prompt_in(bool active, const std::vector<std::string>& lines, const gs::Box& b, int& status) {
  const int n = static_cast<int>(lines.size());
  GS_PROMPT(active, std::max(n, 1), n, lines, b.xmin, b.ymin, b.xmax, b.ymax, status);
}

// The description and value cells of a form: their lines and character
// heights. The descriptions share the smallest height that each of them
// allows; values are drawn a little larger than that, a value too long for
// it (a file name) as large as its cell allows.
struct Cells {
  std::vector<std::vector<std::string>> descriptions, values;
  float description_height = 1.0f;
  std::vector<float> value_heights;
};

Cells form_cells(const gs::FormLayout& l, std::size_t n, std::span<const int> types,
                 std::span<const std::string> descriptions,
                 std::span<const std::string> display_texts) {
  Cells c;
  const float sw = gs::sample_width();
  for (std::size_t k = 0; k < n; ++k) {
    c.descriptions.push_back(description_lines(descriptions[k]));
    c.values.push_back(value_lines(types[k], display_texts[k]));
    const auto height = [&](const std::vector<std::string>& lines, const gs::Box& b) {
      return gs::prompt_layout(false, static_cast<int>(lines.size()), lines, b, sw).height;
    };
    c.description_height =
        std::min(c.description_height, height(c.descriptions[k], l.description[k]));
    c.value_heights.push_back(height(c.values[k], l.value[k]));
  }
  for (float& h : c.value_heights) h = std::min(h, 1.2f * c.description_height);
  return c;
}

// An inactive prompt whose lines have the given character height.
void cell(const std::vector<std::string>& lines, const gs::Box& b, float height, int& status) {
  const gs::WidgetScope scope;
  VG_SET_UPDATE(gs::window_workstation, status);
  GS_FILLSTYLE(1, gs::white, status);
  GS_LINESTYLE(1, 1.0f, gs::blue, status);
  GS_RECTANGLE(b.xmin, b.ymin, b.xmax, b.ymax, true, true, status);
  const float pitch =
      (b.ymax - b.ymin) / static_cast<float>(std::max<std::size_t>(lines.size(), 1));
  for (std::size_t k = 0; k < lines.size(); ++k) {
    gs::draw_text((b.xmin + b.xmax) / 2.0f, b.ymax - pitch / 2.0f - static_cast<float>(k) * pitch,
                  lines[k], 1, gs::black, height, gs::align_centre, gs::valign_middle, status);
  }
  VG_UPDATE(gs::window_workstation, 1, status);
}

void draw_prompt_line(const gs::FormLayout& l, int& status) {
  prompt_in(false, {form_prompt}, l.prompt, status);
}

// The controls and the entries' buttons as one menu, in choices order.
void record_menu(const gs::FormLayout& l, int num_entries, std::span<const std::string> choices,
                 const std::vector<gs::Box>& control_boxes) {
  gs::MenuRecord& r = gs::menu_record();
  r.region = l.region;
  r.num_titles = 0;
  r.titles.clear();
  r.boxes.assign(l.change.begin(), l.change.end());
  r.boxes.insert(r.boxes.end(), control_boxes.begin(), control_boxes.end());
  r.labels.assign(choices.begin(), choices.begin() + num_entries + gs::form_controls);
  r.num_choices = num_entries + gs::form_controls;
  r.offered_print = false;
}

}  // namespace

void GS_DRAW_FORM(int max_title, int num_title, std::span<const std::string> title, int num_entries,
                  std::span<const std::string> choices, std::span<const int> types,
                  std::span<const std::string> descriptions,
                  std::span<const std::string> display_texts, int& status) {
  constexpr const char* id = "Subroutine GS_DRAW_FORM V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_lines(max_title, num_title, title, id, status)) return;
  const std::size_t n = static_cast<std::size_t>(std::max(num_entries, 0));
  if (choices.size() < n + gs::form_controls || types.size() < n || descriptions.size() < n ||
      display_texts.size() < n) {
    io::fail(gs::status_bad_count, id, status);
    return;
  }
  gs::Box region;
  GS_INQ_MESSAGE(region, status);
  const gs::FormLayout l = gs::form_layout(region, num_entries);
  // Value prompts opened from the form are drawn in its prompt strip (the
  // caller's GUI region comes back when the form ends).
  GS_SET_GUIREGION(l.prompt, status);
  {
    const gs::WidgetScope scope;
    VG_SET_UPDATE(gs::window_workstation, status);
    GS_FILLSTYLE(1, gs::blue, status);
    GS_RECTANGLE(region.xmin, region.ymin, region.xmax, region.ymax, false, true, status);
  }
  GS_PROMPT(false, max_title, num_title, title, l.title.xmin, l.title.ymin, l.title.xmax,
            l.title.ymax, status);
  std::vector<gs::Box> control_boxes;
  {
    const gs::MenuLayoutScope grid(
        gs::MenuGrid{.columns = gs::form_controls, .label_characters = 8}, status);
    const std::array<std::string, 1> none{""};
    GS_MENU(1, 0, none, gs::form_controls, gs::form_controls, choices.subspan(n, gs::form_controls),
            l.controls.xmin, l.controls.ymin, l.controls.xmax, l.controls.ymax, status);
    control_boxes = gs::menu_record().boxes;
  }
  prompt_in(false, {"DESCRIPTIONS"}, l.head_description, status);
  prompt_in(false, {"VALUES"}, l.head_value, status);
  prompt_in(false, {"CHANGE"}, l.head_change, status);
  const Cells c = form_cells(l, n, types, descriptions, display_texts);
  for (std::size_t k = 0; k < n; ++k) {
    cell(c.descriptions[k], l.description[k], c.description_height, status);
    cell(c.values[k], l.value[k], c.value_heights[k], status);
  }
  if (n > 0) {
    const gs::Box& top = l.change.front();
    const gs::Box& bottom = l.change.back();
    const float pitch = n > 1 ? l.change[0].ymin - l.change[1].ymin : top.ymax - top.ymin;
    const float gap = pitch - (top.ymax - top.ymin);
    const gs::MenuLayoutScope grid(gs::MenuGrid{.columns = 1, .label_characters = 20}, status);
    const std::array<std::string, 1> none{""};
    // The menu's own rows are the entry rows: its region spans them.
    GS_MENU(1, 0, none, num_entries, num_entries, choices, top.xmin, bottom.ymin - gap / 2.0f,
            top.xmax, top.ymax + gap / 2.0f, status);
  }
  record_menu(l, num_entries, choices, control_boxes);
  draw_prompt_line(l, status);
  GS_UPDATE(status);
  gs::note_failure(id, status);
}

void GS_INP_FORMMENU(const std::string& description, int num_help,
                     std::span<const std::string> help, const std::string& alternatives,
                     int& choice, int& status) {
  constexpr const char* id = "Subroutine GS_INP_FORMMENU V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  std::vector<std::string> labels = gs::menu_alternatives(alternatives);
  constexpr std::size_t most = 30;  // three columns of ten rows in the GUI region
  if (labels.empty() || labels.size() > most) {
    IO_WRITE("WARNING: Bad form menu data", status);
    return;
  }
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 3}, status);
  std::vector<std::string> all{"?", "HELP"};
  all.insert(all.end(), labels.begin(), labels.end());
  const std::array<std::string, 1> titles{io::trimmed(description)};
  bool draw = true;
  while (status == io::status_good) {
    const int k = gs::menu_choice(titles, all, draw, status);
    if (status != io::status_good || k == 0) break;
    if (k == 1) {
      const std::array<std::string, 3> about{"?: Description of available menu choices",
                                             "HELP: Description of required input choice",
                                             "Other buttons: the alternatives to choose from"};
      GS_MESSAGE(3, 3, about, status);
      draw = true;
    } else if (k == 2) {
      GS_MESSAGE(std::max(num_help, 1), num_help, help, status);
      draw = true;
    } else {
      choice = k - 2;
      break;
    }
  }
  gs::note_failure(id, status);
}

void GS_HELPFORM(bool gui, int& status) {
  constexpr const char* id = "Subroutine GS_HELPFORM V0.1 ";
  if (!io::entry_ok(status, id)) return;
  const auto text = gs::form_help_text();
  const std::vector<std::string> lines(text.begin(), text.end());
  const int n = static_cast<int>(lines.size());
  if (gui) {
    GS_MESSAGE(n, n, lines, status);
  } else {
    // Pages of 22 lines, each after the question of the last.
    constexpr int page = 22;
    for (int k = 0; k < n && status == io::status_good; ++k) {
      IO_WRITE(lines[static_cast<std::size_t>(k)], status);
      if ((k + 1) % page == 0 && k + 1 < n) {
        std::string answer;
        IO_READ("Hit RETURN for more ", answer, status);
      }
    }
  }
  gs::note_failure(id, status);
}

namespace {

// Everything the form loop needs of its caller's arrays.
struct FormData {
  int max_title, num_title;
  std::span<const std::string> title;
  int num_help;
  std::span<const std::string> help;
  int n;
  std::span<std::string> choices;
  std::span<const int> types;
  std::span<const std::string> descriptions;
  std::span<std::string> explanations;
  std::span<const bool> ranges;
  std::span<const std::array<int, 2>> ibounds;
  std::span<const std::array<float, 2>> rbounds;
  std::span<int> ivalues;
  std::span<bool> lvalues;
  std::span<float> rvalues;
  std::span<std::string> svalues;
  std::vector<std::string> display;
};

void rebuild(FormData& f, std::size_t k, int& status) {
  f.display[k] =
      gs::form_display(f.types[k], f.ivalues[k], f.lvalues[k], f.rvalues[k], f.svalues[k], status);
}

void draw(const FormData& f, int& status) {
  GS_DRAW_FORM(f.max_title, f.num_title, f.title, f.n, f.choices, f.types, f.descriptions,
               f.display, status);
}

// Draws the value of one entry and the prompt line again.
void redraw_value(const FormData& f, std::size_t k, int& status) {
  gs::Box region;
  GS_INQ_MESSAGE(region, status);
  const gs::FormLayout l = gs::form_layout(region, f.n);
  {
    const gs::WidgetScope scope;
    VG_SET_UPDATE(gs::window_workstation, status);
    // Clear what a prompt left in the prompt strip.
    GS_FILLSTYLE(1, gs::blue, status);
    const gs::Box& p = l.prompt;
    GS_RECTANGLE(region.xmin, region.ymin, region.xmax, p.ymax, false, true, status);
  }
  const Cells c = form_cells(l, static_cast<std::size_t>(f.n), f.types, f.descriptions, f.display);
  cell(c.values[k], l.value[k], c.value_heights[k], status);
  draw_prompt_line(l, status);
  GS_UPDATE(status);
}

// With the form documentation flag: the form drawn into a PostScript file
// named by the user, which is then closed.
void print_form(const FormData& f, int& status) {
  const gs::MenuSave keep;
  GS_ON_PRINT(true, status);
  bool open = false;
  GS_INQ_PSFILE(open, status);
  if (!open || status != io::status_good) return;
  draw(f, status);
  GS_OFF_PRINT(status);
  GS_CLOSE_PS(status);
}

// Edits entry k (from 0); `whole` tells that the whole form must be drawn
// again afterwards.
void edit(FormData& f, std::size_t k, bool& whole, int& status) {
  const std::string prompt = io::trimmed(f.descriptions[k]);
  const int nh = f.num_help;
  whole = false;
  switch (f.types[k]) {
    case gs::form_integer: {
      const std::array<std::string, 1> error{f.ranges[k] ? "Enter integer value within given range"
                                                         : "Enter valid integer value"};
      GS_INPI(f.ranges[k], f.ibounds[k][0], f.ibounds[k][1], true, prompt, nh, f.help, 1, error,
              f.ivalues[k], status);
      break;
    }
    case gs::form_logical:
      // No macro is being read or recorded: the value turns over at once.
      f.lvalues[k] = !f.lvalues[k];
      break;
    case gs::form_real: {
      const std::array<std::string, 1> error{f.ranges[k] ? "Enter real value within given range"
                                                         : "Enter valid real value"};
      GS_INPR(f.ranges[k], f.rbounds[k][0], f.rbounds[k][1], true, prompt, nh, f.help, 1, error,
              f.rvalues[k], status);
      break;
    }
    case gs::form_colour:
      GS_GUI_COLOUR("SELECT REQUIRED COLOUR", f.ivalues[k], status);
      break;
    case gs::form_input_file:
    case gs::form_output_file: {
      const std::array<std::string, 1> prompts{prompt};
      std::string extension = "<ALL PERMITTED>";
      GS_FILESELECTION(1, 1, prompts, std::max(nh, 1), nh, f.help,
                       f.types[k] == gs::form_input_file ? 1 : 3, 0, extension, f.svalues[k],
                       status);
      whole = true;
      break;
    }
    case gs::form_scan_type: {
      gs::Box region;
      GS_INQ_GUIREGION(region, status);
      prompt_in(false, {"Click on scan type"}, region, status);
      GS_INP_SCANTYPE(nh, f.help, f.ivalues[k], status);
      break;
    }
    case gs::form_menu:
      if (k < static_cast<std::size_t>(gs::form_menu_entries)) {
        GS_INP_FORMMENU(prompt, nh, f.help, f.svalues[k], f.ivalues[k], status);
      } else {
        const std::array<std::string, 1> warning{"MENU ONLY POSSILE FOR FIRST 12 CHOICES"};
        GS_FWARNING(1, 1, warning, status);
      }
      break;
    default: {  // texts (types 4 and 6)
      std::string value = f.svalues[k];
      GS_INPS(prompt, nh, f.help, io::trimmed(f.svalues[k]), value, status);
      f.svalues[k] = value;
      break;
    }
  }
}

}  // namespace

void GS_FORM(int max_title, int num_title, std::span<const std::string> title, int max_help,
             int num_help, std::span<const std::string> help, int max_choices, int num_entries,
             std::span<std::string> choices, std::span<const int> types,
             std::span<const std::string> descriptions, std::span<std::string> explanations,
             std::span<const bool> ranges, std::span<const std::array<int, 2>> integer_bounds,
             std::span<const std::array<float, 2>> real_bounds, std::span<int> integer_values,
             std::span<bool> logical_values, std::span<float> real_values,
             std::span<std::string> text_values, bool& cancelled, int& status) {
  constexpr const char* id = "Subroutine GS_FORM V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (num_entries < 1 || num_entries > gs::form_max_entries) {
    io::fail(gs::status_bad_maximum, id, status);
    return;
  }
  const std::size_t n = static_cast<std::size_t>(num_entries);
  if (max_choices < num_entries + gs::form_controls || choices.size() < n + gs::form_controls ||
      explanations.size() < n + gs::form_controls) {
    io::fail(gs::status_bad_count, id, status);
    return;
  }
  if (!gs::check_lines(max_title, num_title, title, id, status) ||
      !gs::check_lines(std::max(max_help, 1), num_help, help, id, status)) {
    return;
  }
  if (types.size() < n || descriptions.size() < n || ranges.size() < n ||
      integer_bounds.size() < n || real_bounds.size() < n || integer_values.size() < n ||
      logical_values.size() < n || real_values.size() < n || text_values.size() < n) {
    io::fail(gs::status_bad_count, id, status);
    return;
  }
  constexpr std::array<const char*, gs::form_controls> labels{"O.K.", "CANCEL", "?", "HELP",
                                                              "INFO"};
  constexpr std::array<const char*, gs::form_controls> about{
      "O.K.: Return with new values", "CANCEL: Interrupt operation: No values changed",
      "?: Description of button commands", "HELP: Specific help information on required form input",
      "INFO: General information on using the form"};
  for (std::size_t k = 0; k < gs::form_controls; ++k) {
    choices[n + k] = labels[k];
    explanations[n + k] = about[k];
  }
  // The caller's coordinates, regions and menu come back on every way out.
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  FormData f{max_title,   num_title,      title,          num_help,     help,        num_entries,
             choices,     types,          descriptions,   explanations, ranges,      integer_bounds,
             real_bounds, integer_values, logical_values, real_values,  text_values, {}};
  f.display.resize(n);
  for (std::size_t k = 0; k < n; ++k) rebuild(f, k, status);
  cancelled = false;
  bool forms = false, menus = false;
  GS_INQ_DOCUMENTATION(forms, menus, status);
  bool offered = false;
  bool whole = true;
  while (status == io::status_good) {
    if (whole) draw(f, status);
    whole = false;
    int kind = 0, choice = 0;
    std::string label;
    float x = 0.0f, y = 0.0f;
    GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
    if (status != io::status_good) break;
    if (kind == gs::input_redraw) {
      whole = true;
      continue;
    }
    if (kind != gs::input_choice || choice < 1) {
      if (forms && !offered) {
        offered = true;
        print_form(f, status);
      }
      whole = true;
      continue;
    }
    const std::size_t c = static_cast<std::size_t>(choice - 1);
    if (c >= n) {
      switch (c - n) {
        case 0:
          cancelled = false;
          break;
        case 1:
          cancelled = true;
          break;
        case 2: {
          const int lines = num_entries + gs::form_controls;
          GS_MESSAGE(lines, lines, explanations, status);
          break;
        }
        case 3:
          GS_MESSAGE(std::max(num_help, 1), num_help, help, status);
          break;
        default:
          GS_HELPFORM(true, status);
          break;
      }
      if (c - n <= 1) break;
      whole = true;
      continue;
    }
    bool redraw_all = false;
    edit(f, c, redraw_all, status);
    if (status != io::status_good) break;
    rebuild(f, c, status);
    // A prompt, menu or warning drawn over the form needs the whole form back;
    // a logical entry changes its value only.
    if (redraw_all || types[c] != gs::form_logical) {
      whole = true;
    } else {
      redraw_value(f, c, status);
    }
  }
  if (status != io::status_good && status != io::status_escape) {
    const int failed = status;
    io::say("WARNING: Problem in form widget, bad internal error status");
    ST_OUT(failed);
    ST_SAVE(id);
  }
}

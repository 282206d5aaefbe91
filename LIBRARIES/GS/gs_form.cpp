// Forms: variables shown with their descriptions, values and buttons,
// changed in any order and confirmed with O.K.
#include <algorithm>
#include <array>

#include "gs_fileselect.h"
#include "gs_form.h"
#include "gs_macro.h"
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

namespace {

// A path in lines of at most `width` characters, the last `max_lines` of
// them: broken after a "/"; a part too long for a line is cut into lines of
// the width.
std::vector<std::string> path_lines(const std::string& path, std::size_t width, int max_lines) {
  std::vector<std::string> pieces;
  for (std::size_t start = 0; start < path.size();) {
    const std::size_t slash = path.find('/', start);
    const std::size_t end = slash == std::string::npos ? path.size() : slash + 1;
    for (std::size_t p = start; p < end; p += width) {
      pieces.push_back(path.substr(p, std::min(width, end - p)));
    }
    start = end;
  }
  std::vector<std::string> lines{""};
  for (const std::string& piece : pieces) {
    if (lines.back().size() + piece.size() > width) lines.emplace_back();
    lines.back() += piece;
  }
  const std::size_t keep = static_cast<std::size_t>(std::max(max_lines, 1));
  if (lines.size() > keep) lines.erase(lines.begin(), lines.end() - static_cast<long>(keep));
  return lines;
}

}  // namespace

std::vector<std::string> form_wrap(const std::string& text, int width, int max_lines,
                                   bool keep_end) {
  const std::string t = io::trimmed(text);
  std::vector<std::string> lines;
  const std::size_t w = static_cast<std::size_t>(std::max(width, 1));
  if (keep_end) return path_lines(t, w, max_lines);
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

// The blue ground of the form, its title and the row of control buttons;
// returns the control buttons' boxes.
std::vector<gs::Box> draw_frame(const gs::FormLayout& l, int max_title, int num_title,
                                std::span<const std::string> title,
                                std::span<const std::string> controls, int& status) {
  gs::fill_box(l.region, gs::blue, status);
  GS_PROMPT(false, max_title, num_title, title, l.title.xmin, l.title.ymin, l.title.xmax,
            l.title.ymax, status);
  const gs::MenuLayoutScope grid(gs::MenuGrid{.columns = gs::form_controls, .label_characters = 8},
                                 status);
  const std::array<std::string, 1> none{""};
  GS_MENU(1, 0, none, gs::form_controls, gs::form_controls, controls, l.controls.xmin,
          l.controls.ymin, l.controls.xmax, l.controls.ymax, status);
  prompt_in(false, {"DESCRIPTIONS"}, l.head_description, status);
  prompt_in(false, {"VALUES"}, l.head_value, status);
  prompt_in(false, {"CHANGE"}, l.head_change, status);
  return gs::menu_record().boxes;
}

// The width of a text at a character height.
float text_width(const std::string& text, float height, int& status) {
  const gs::DrawingScope keep;
  GS_TEXTSTYLE(1, gs::blue, height, 1.0f, 0.0f, gs::align_centre, gs::valign_middle, status);
  float width = 0.0f;
  VG_INQ_TEXTWIDTH(text, width, status);
  return width;
}

// A button's label on its face, as high as the form's texts: on one line,
// or, when that is too wide, on two, broken at the blank or hyphen nearest
// its middle; lower only when even so it would not fit.
void label_button(const gs::Box& b, float bevel, const std::string& label, float height,
                  int& status) {
  const float face_w = 0.9f * (b.xmax - b.xmin - 2.0f * bevel);
  const float face_h = b.ymax - b.ymin - 2.0f * bevel;
  std::vector<std::string> lines{io::trimmed(label)};
  const std::string t = lines[0];
  // The break nearest the middle: at a blank, or after a hyphen.
  std::size_t split = 0;
  for (std::size_t k = 1; k + 1 < t.size(); ++k) {
    const bool at = t[k] == ' ' || t[k - 1] == '-';
    const auto off = [&](std::size_t p) {
      return p > t.size() / 2 ? p - t.size() / 2 : t.size() / 2 - p;
    };
    if (at && (split == 0 || off(k) < off(split))) split = k;
  }
  if (split > 0 && text_width(t, height, status) > face_w) {
    lines = {t.substr(0, split), io::stripped(t.substr(split))};
  }
  const float pitch = face_h / static_cast<float>(lines.size() + 1);
  float h = std::min(height, 0.8f * pitch);
  for (const std::string& line : lines) {
    const float w = text_width(line, h, status);
    if (w > face_w) h *= face_w / w;
  }
  const float cx = 0.5f * (b.xmin + b.xmax), cy = 0.5f * (b.ymin + b.ymax);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const float y =
        cy + (0.5f * static_cast<float>(lines.size() - 1) - static_cast<float>(k)) * 1.4f * h;
    gs::draw_text(cx, y, lines[k], 1, gs::blue, h, gs::align_centre, gs::valign_middle, status);
  }
}

// The entries' buttons in the CHANGE column, one per entry row, their labels
// as high as the descriptions' texts.
void draw_change_buttons(const gs::FormLayout& l, std::span<const std::string> labels,
                         float text_height, int& status) {
  if (labels.empty()) return;
  const gs::Box& top = l.change.front();
  const gs::Box& bottom = l.change.back();
  const float pitch = labels.size() > 1 ? l.change[0].ymin - l.change[1].ymin : top.ymax - top.ymin;
  const float gap = pitch - (top.ymax - top.ymin);
  // The menu's own rows are the entry rows: its region spans them.
  const gs::Box region{top.xmin, bottom.ymin - gap / 2.0f, top.xmax, top.ymax + gap / 2.0f};
  const gs::MenuLayout m = gs::menu_layout(0, static_cast<int>(labels.size()), region, 0, 1,
                                           gs::MenuGrid{}.title_characters, 20, gs::sample_width());
  const gs::WidgetScope scope;
  VG_SET_UPDATE(gs::window_workstation, status);
  gs::draw_menu(region, m, {}, {}, status);
  for (std::size_t k = 0; k < labels.size(); ++k) {
    label_button(m.buttons[k], m.bevel, labels[k], text_height, status);
  }
  VG_UPDATE(gs::window_workstation, 1, status);
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
    return io::fail(gs::status_bad_count, id, status);
  }
  gs::Box region;
  GS_INQ_MESSAGE(region, status);
  const gs::FormLayout l = gs::form_layout(region, num_entries);
  // Value prompts opened from the form are drawn in its prompt strip (the
  // caller's GUI region comes back when the form ends).
  GS_SET_GUIREGION(l.prompt, status);
  const std::vector<gs::Box> control_boxes =
      draw_frame(l, max_title, num_title, title, choices.subspan(n, gs::form_controls), status);
  const Cells c = form_cells(l, n, types, descriptions, display_texts);
  for (std::size_t k = 0; k < n; ++k) {
    cell(c.descriptions[k], l.description[k], c.description_height, status);
    cell(c.values[k], l.value[k], c.value_heights[k], status);
  }
  draw_change_buttons(l, choices.first(n), c.description_height, status);
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
  const std::vector<std::string> labels = gs::menu_alternatives(alternatives);
  constexpr std::size_t most = 30;  // three columns of ten rows in the GUI region
  if (labels.empty() || labels.size() > most) {
    IO_WRITE("WARNING: Bad form menu data", status);
    return;
  }
  const std::array<std::string, 1> titles{io::trimmed(description)};
  const std::array<std::string, 1> about{"Other buttons: the alternatives to choose from"};
  const int k = gs::ready_menu(titles, labels, about,
                               help.first(static_cast<std::size_t>(num_help)), true, status);
  if (status == io::status_good && k > 0) choice = k;
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

// The control buttons after the entries' buttons, in the order of the menu.
enum class FormControl { ok, cancel, about, help, info };
constexpr std::array<const char*, gs::form_controls> control_labels{"O.K.", "CANCEL", "?", "HELP",
                                                                    "INFO"};
constexpr std::array<const char*, gs::form_controls> control_explanations{
    "O.K.: Return with new values", "CANCEL: Interrupt operation: No values changed",
    "?: Description of button commands", "HELP: Specific help information on required form input",
    "INFO: General information on using the form"};

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
  gs::Box region;
  bool offered_print = false;  // with the form documentation flag
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
  const gs::FormLayout l = gs::form_layout(f.region, f.n);
  // Clear what a prompt left in the prompt strip.
  gs::fill_box({f.region.xmin, f.region.ymin, f.region.xmax, l.prompt.ymax}, gs::blue, status);
  const Cells c = form_cells(l, static_cast<std::size_t>(f.n), f.types, f.descriptions, f.display);
  cell(c.values[k], l.value[k], c.value_heights[k], status);
  draw_prompt_line(l, status);
  GS_UPDATE(status);
}

// With the form documentation flag: the form drawn into a PostScript file
// named by the user, which is then closed.
void print_form(const FormData& f, int& status) {
  const gs::MenuSave keep;
  gs::print_page([&](int& s) { draw(f, s); }, status);
}

// The error line of a number entry: with or without its range.
std::array<std::string, 1> number_error(bool range, const char* kind) {
  return {range ? std::string("Enter ") + kind + " value within given range"
                : std::string("Enter valid ") + kind + " value"};
}

void edit_scan_type(FormData& f, std::size_t k, int& status) {
  // The prompt in the form's prompt strip, the menu just above it.
  gs::Box strip;
  GS_INQ_GUIREGION(strip, status);
  prompt_in(false, {"Click on scan type"}, strip, status);
  const gs::RegionScope regions;
  const float gap = (f.region.ymax - f.region.ymin) / 150.0f;
  const float height = strip.ymax - strip.ymin;
  GS_SET_GUIREGION(gs::Box{strip.xmin, strip.ymax + gap, strip.xmax, strip.ymax + gap + height},
                   status);
  GS_INP_SCANTYPE(f.num_help, f.help, f.ivalues[k], status);
}

void edit_file(FormData& f, std::size_t k, int& status) {
  const std::array<std::string, 1> prompts{io::trimmed(f.descriptions[k])};
  std::string extension = gs::all_permitted;
  const int mode = f.types[k] == gs::form_input_file ? gs::select_input : gs::select_output;
  GS_FILESELECTION(1, 1, prompts, std::max(f.num_help, 1), f.num_help, f.help, mode, 0, extension,
                   f.svalues[k], status);
}

void edit_menu(FormData& f, std::size_t k, int& status) {
  if (k < static_cast<std::size_t>(gs::form_menu_entries)) {
    GS_INP_FORMMENU(io::trimmed(f.descriptions[k]), f.num_help, f.help, f.svalues[k], f.ivalues[k],
                    status);
    return;
  }
  const std::array<std::string, 1> warning{"MENU ONLY POSSILE FOR FIRST 12 CHOICES"};
  GS_FWARNING(1, 1, warning, status);
}

// Edits entry k (from 0).
void edit(FormData& f, std::size_t k, int& status) {
  const std::string prompt = io::trimmed(f.descriptions[k]);
  const int nh = f.num_help;
  switch (f.types[k]) {
    case gs::form_integer:
      GS_INPI(f.ranges[k], f.ibounds[k][0], f.ibounds[k][1], true, prompt, nh, f.help, 1,
              number_error(f.ranges[k], "integer"), f.ivalues[k], status);
      break;
    case gs::form_logical:
      // The value turns over at once, unless a macro is read or recorded:
      // then the question is asked, so that the macro holds the value.
      if (gs::macro_active()) {
        bool value = f.lvalues[k];
        GS_INPL(prompt, nh, f.help, value, status);
        f.lvalues[k] = value;
      } else {
        f.lvalues[k] = !f.lvalues[k];
      }
      break;
    case gs::form_real:
      GS_INPR(f.ranges[k], f.rbounds[k][0], f.rbounds[k][1], true, prompt, nh, f.help, 1,
              number_error(f.ranges[k], "real"), f.rvalues[k], status);
      break;
    case gs::form_colour:
      GS_GUI_COLOUR("SELECT REQUIRED COLOUR", f.ivalues[k], status);
      break;
    case gs::form_input_file:
    case gs::form_output_file:
      edit_file(f, k, status);
      break;
    case gs::form_scan_type:
      edit_scan_type(f, k, status);
      break;
    case gs::form_menu:
      edit_menu(f, k, status);
      break;
    default: {  // texts (types 4 and 6)
      const std::array<std::string, 1> error{"Enter character string"};
      GS_INPS(prompt, nh, f.help, 1, error, io::trimmed(f.svalues[k]), f.svalues[k], status);
      break;
    }
  }
}

// What the form does next.
enum class Next { wait, draw, end };

// A control button; `cancelled` is set by O.K. and CANCEL.
Next on_control(FormData& f, FormControl control, bool& cancelled, int& status) {
  switch (control) {
    case FormControl::ok:
    case FormControl::cancel:
      cancelled = control == FormControl::cancel;
      return Next::end;
    case FormControl::about:
      gs::show_help(f.region,
                    f.explanations.first(static_cast<std::size_t>(f.n) + gs::form_controls),
                    status);
      break;
    case FormControl::help:
      gs::show_help(f.region, f.help.first(static_cast<std::size_t>(f.num_help)), status);
      break;
    case FormControl::info:
      GS_HELPFORM(true, status);
      break;
  }
  return Next::draw;
}

// An entry's button: the entry edited and its value shown. A prompt, menu
// or warning drawn over the form needs the whole form back; a logical entry
// turned over at once changes its value only.
Next on_entry(FormData& f, std::size_t k, int& status) {
  edit(f, k, status);
  if (status != io::status_good) return Next::end;
  rebuild(f, k, status);
  if (f.types[k] != gs::form_logical || gs::macro_active()) return Next::draw;
  redraw_value(f, k, status);
  return Next::wait;
}

// A click outside every button: with the form documentation flag, the
// first one offers the form as a PostScript file.
Next on_outside(FormData& f, int& status) {
  bool forms = false, menus = false;
  GS_INQ_DOCUMENTATION(forms, menus, status);
  if (forms && !f.offered_print) {
    f.offered_print = true;
    print_form(f, status);
  }
  return Next::draw;
}

// The checks of the form's counts and arrays.
bool form_ok(int max_title, int num_title, std::span<const std::string> title, int max_help,
             int num_help, std::span<const std::string> help, int max_choices, int num_entries,
             std::size_t arrays, std::size_t controls_room, const char* id, int& status) {
  if (num_entries < 1 || num_entries > gs::form_max_entries) {
    io::fail(gs::status_bad_maximum, id, status);
    return false;
  }
  const std::size_t n = static_cast<std::size_t>(num_entries);
  if (max_choices < num_entries + gs::form_controls || controls_room < n + gs::form_controls) {
    io::fail(gs::status_bad_count, id, status);
    return false;
  }
  if (!gs::check_lines(max_title, num_title, title, id, status) ||
      !gs::check_lines(std::max(max_help, 1), num_help, help, id, status)) {
    return false;
  }
  if (arrays < n) io::fail(gs::status_bad_count, id, status);
  return status == io::status_good;
}

void run_form(FormData& f, bool& cancelled, int& status) {
  bool whole = true;
  for (Next next = Next::wait; next != Next::end && status == io::status_good;) {
    const int choice = gs::menu_choice([&](int& s) { draw(f, s); }, whole, status);
    if (status != io::status_good) break;
    const std::size_t k = static_cast<std::size_t>(std::max(choice - 1, 0));
    if (choice == 0) {
      next = on_outside(f, status);
    } else if (k < static_cast<std::size_t>(f.n)) {
      next = on_entry(f, k, status);
    } else {
      next = on_control(f, static_cast<FormControl>(k - static_cast<std::size_t>(f.n)), cancelled,
                        status);
    }
    whole = next == Next::draw;
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
  const std::size_t arrays = std::min(
      {types.size(), descriptions.size(), ranges.size(), integer_bounds.size(), real_bounds.size(),
       integer_values.size(), logical_values.size(), real_values.size(), text_values.size()});
  if (!form_ok(max_title, num_title, title, max_help, num_help, help, max_choices, num_entries,
               arrays, std::min(choices.size(), explanations.size()), id, status)) {
    return;
  }
  const std::size_t n = static_cast<std::size_t>(num_entries);
  for (std::size_t k = 0; k < gs::form_controls; ++k) {
    choices[n + k] = control_labels[k];
    explanations[n + k] = control_explanations[k];
  }
  // The caller's coordinates, regions and menu come back on every way out.
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  FormData f{max_title,   num_title,      title,          num_help,     help,        num_entries,
             choices,     types,          descriptions,   explanations, ranges,      integer_bounds,
             real_bounds, integer_values, logical_values, real_values,  text_values, {},
             {},          false};
  GS_INQ_MESSAGE(f.region, status);
  f.display.resize(n);
  for (std::size_t k = 0; k < n; ++k) rebuild(f, k, status);
  cancelled = false;
  run_form(f, cancelled, status);
  if (status != io::status_good && !gs::passed_up(status)) {
    const int failed = status;
    io::say("WARNING: Problem in form widget, bad internal error status");
    ST_OUT(failed);
    ST_SAVE(id);
  }
}

// Menus: a titled box of labelled buttons in a grid, the choice of a button,
// and the ready-made menus (data type, scan type, colour).
#include <algorithm>
#include <array>
#include <functional>

#include "gs_macro.h"
#include "gs_widgets.h"

namespace gs {

MenuRecord& menu_record() {
  static MenuRecord record;
  return record;
}

MenuLayout menu_layout(int num_titles, int num_choices, const Box& region, int orientation,
                       int columns, int title_characters, int label_characters,
                       float sample_width) {
  MenuLayout l;
  const int m = std::max(columns, 1);
  const int t = std::max(num_titles, 0);
  const int n = std::max(num_choices, 0);
  l.rows = (n + m - 1) / m;
  const float W = region.xmax - region.xmin;
  const float H = region.ymax - region.ymin;
  l.row_height = H / static_cast<float>(std::max(t + l.rows, 1));
  l.column_width = W / static_cast<float>(m);
  const float factor = menu_factor(sample_width);
  l.title_height = std::min(0.8f * l.row_height,
                            W * factor / static_cast<float>(std::max(title_characters, 0) + 1));
  l.label_height =
      std::min(0.7f * l.row_height,
               l.column_width * factor / static_cast<float>(std::max(label_characters, 0) + 1));
  l.bevel = std::min(0.1f * l.column_width, 0.1f * l.row_height);
  const float h = l.row_height, w = l.column_width;
  for (int k = 0; k < n; ++k) {
    const int column = orientation == 0 ? k % m : k / std::max(l.rows, 1);
    const int row = orientation == 0 ? k / m : k % std::max(l.rows, 1);
    const float x0 = region.xmin + static_cast<float>(column) * w;
    const float y0 = region.ymax - static_cast<float>(row + 1 + t) * h;
    l.buttons.push_back(Box{x0 + 0.02f * w, y0 + 0.05f * h, x0 + 0.98f * w, y0 + 0.95f * h});
  }
  return l;
}

}  // namespace gs

namespace {

// With the menu documentation flag: writes the drawn menu to a PostScript
// file named by the user, then closes the file.
void print_menu(int& status) {
  const gs::MenuSave keep;  // the record (and its active count) stays as it is
  const gs::MenuRecord record = gs::menu_record();
  GS_ON_PRINT(true, status);
  bool open = false;
  GS_INQ_PSFILE(open, status);
  if (!open || status != io::status_good) return;
  const int t = static_cast<int>(record.titles.size());
  const int n = static_cast<int>(record.labels.size());
  GS_MENU(std::max(t, 1), t, record.titles, std::max(n, 1), n, record.labels, record.region.xmin,
          record.region.ymin, record.region.xmax, record.region.ymax, status);
  GS_OFF_PRINT(status);
  GS_CLOSE_PS(status);
}

}  // namespace

namespace {

// The frame of a menu and its title lines, in the menu style.
void draw_titles(const gs::Box& region, const gs::MenuLayout& l, const gs::MenuStyle& style,
                 std::span<const std::string> titles, int& status) {
  GS_FILLSTYLE(1, style.box_fill, status);
  GS_LINESTYLE(1, 1.0f, style.box_outline, status);
  GS_RECTANGLE(region.xmin, region.ymin, region.xmax, region.ymax, true, true, status);
  if (titles.empty()) return;
  const float h = l.row_height;
  const float below = region.ymax - static_cast<float>(titles.size()) * h;
  GS_LINE(region.xmin, below, region.xmax, below, status);
  for (std::size_t k = 0; k < titles.size(); ++k) {
    gs::draw_text((region.xmin + region.xmax) / 2.0f,
                  region.ymax - 0.8f * h - static_cast<float>(k) * h, titles[k], style.title_font,
                  style.title_colour, l.title_height, gs::align_centre, gs::valign_base, status);
  }
}

// The drawn menu, for the clicks that follow.
void record(const gs::Box& region, const gs::MenuLayout& l, std::span<const std::string> titles,
            std::span<const std::string> labels) {
  gs::MenuRecord& r = gs::menu_record();
  r.region = region;
  r.num_titles = static_cast<int>(titles.size());
  r.num_choices = static_cast<int>(labels.size());
  r.boxes = l.buttons;
  r.titles.assign(titles.begin(), titles.end());
  r.labels.assign(labels.begin(), labels.end());
  r.offered_print = false;
}

}  // namespace

namespace gs {

void draw_menu(const Box& region, const MenuLayout& l, std::span<const std::string> titles,
               std::span<const std::string> labels, int& status) {
  const WidgetScope scope;
  MenuStyle style;
  GS_INQ_MENUSTYLE(style, status);
  VG_SET_UPDATE(window_workstation, status);
  draw_titles(region, l, style, titles, status);
  GS_FILLSTYLE(1, style.button_fill, status);
  GS_LINESTYLE(1, 1.0f, style.button_outline, status);
  GS_TEXTSTYLE(style.label_font, style.label_colour, l.label_height, 1.0f, 0.0f, align_centre,
               valign_middle, status);
  for (std::size_t k = 0; k < l.buttons.size(); ++k) {
    const Box& b = l.buttons[k];
    GS_STRINGBUTTON(b.xmin, b.ymin, b.xmax, b.ymax, l.bevel, k < labels.size() ? labels[k] : "",
                    status);
  }
  VG_UPDATE(window_workstation, 1, status);
}

}  // namespace gs

void GS_MENU(int max_titles, int num_titles, std::span<const std::string> titles, int max_choices,
             int num_choices, std::span<const std::string> labels, float xmin, float ymin,
             float xmax, float ymax, int& status) {
  constexpr const char* id = "Subroutine GS_MENU V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_lines(max_titles, num_titles, titles, id, status)) return;
  if (!gs::check_lines(max_choices, num_choices, labels, id, status)) return;
  if (!gs::check_region(xmin, ymin, xmax, ymax, id, status)) return;
  gs::MenuGrid grid;
  GS_INQ_MENULAYOUT(grid, status);
  const gs::Box region{xmin, ymin, xmax, ymax};
  const gs::MenuLayout l =
      gs::menu_layout(num_titles, num_choices, region, grid.orientation, grid.columns,
                      grid.title_characters, grid.label_characters, gs::sample_width());
  const auto shown_titles = titles.first(static_cast<std::size_t>(num_titles));
  const auto shown_labels = labels.first(static_cast<std::size_t>(num_choices));
  gs::draw_menu(region, l, shown_titles, shown_labels, status);
  if (status != io::status_good) return ST_SAVE(id);
  record(region, l, shown_titles, shown_labels);
}

void GS_FMENU(int max_titles, int num_titles, std::span<const std::string> titles, int max_choices,
              int num_choices, std::span<const std::string> labels, int& status) {
  constexpr const char* id = "Subroutine GS_FMENU V0.1 ";
  if (!io::entry_ok(status, id)) return;
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  GS_MENU(max_titles, num_titles, titles, max_choices, num_choices, labels, gui.xmin, gui.ymin,
          gui.xmax, gui.ymax, status);
  if (status != io::status_good) ST_SAVE(id);
}

void GS_CAL_MENUCHOICE(float x, float y, int& choice, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_CAL_MENUCHOICE V0.1 ")) return;
  choice = 0;
  const gs::MenuRecord& r = gs::menu_record();
  const int n = std::min(r.num_choices, static_cast<int>(r.boxes.size()));
  for (int k = 0; k < n; ++k) {
    if (r.boxes[static_cast<std::size_t>(k)].contains(x, y)) {
      choice = k + 1;
      return;
    }
  }
}

namespace {

constexpr const char* choice_item = "MENU CHOICE (GRAPHICAL INPUT)";

// The menu's choice from the macro: a label of the active buttons, any case,
// in double quotes or not; the choice's button gives the position. False
// when the choice goes to the window instead.
bool macro_choice(gs::MacroTurn& turn, int& choice, std::string& label, float& x, float& y,
                  int& status) {
  std::string line;
  IO_READ(std::string(choice_item) + ":", line, status);
  if (turn.back_to_window(status)) return false;
  if (status != io::status_good) return true;
  std::string answer = io::stripped(line);
  if (answer.size() >= 2 && answer.front() == '"' && answer.back() == '"') {
    answer = answer.substr(1, answer.size() - 2);
  }
  answer = io::upper(io::stripped(answer));
  const gs::MenuRecord& r = gs::menu_record();
  const int n = std::min(
      {r.num_choices, static_cast<int>(r.boxes.size()), static_cast<int>(r.labels.size())});
  for (int k = 0; k < n; ++k) {
    const std::size_t i = static_cast<std::size_t>(k);
    if (io::upper(io::stripped(r.labels[i])) != answer) continue;
    choice = k + 1;
    label = r.labels[i];
    x = (r.boxes[i].xmin + r.boxes[i].xmax) / 2.0f;
    y = (r.boxes[i].ymin + r.boxes[i].ymax) / 2.0f;
    return true;
  }
  gs::refuse({"Command not known"}, status);
  return true;
}

// The item of a choice recorded: the menu's first title line after it.
std::string choice_comment() {
  const auto& titles = gs::menu_record().titles;
  if (titles.empty() || io::stripped(titles[0]).empty()) return choice_item;
  return std::string(choice_item) + ": " + io::stripped(titles[0]);
}

}  // namespace

void GS_INP_MENUCHOICE(int& input_kind, int& choice, std::string& label, float& x, float& y,
                       int& status) {
  constexpr const char* id = "Subroutine GS_INP_MENUCHOICE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  choice = 0;
  gs::MacroTurn turn;
  if (turn.replaying() && macro_choice(turn, choice, label, x, y, status)) {
    input_kind = gs::input_choice;
    return gs::note_failure(id, status);
  }
  float px = 0.0f, py = 0.0f;
  const int type = gs::wait_click(px, py, status);
  if (status != io::status_good) return gs::note_failure(id, status);
  if (type == vg::event_redraw) {
    input_kind = gs::input_redraw;
    return;
  }
  x = px;
  y = py;
  GS_CAL_MENUCHOICE(px, py, choice, status);
  if (choice > 0) {
    input_kind = gs::input_choice;
    const auto& labels = gs::menu_record().labels;
    label = static_cast<std::size_t>(choice) <= labels.size()
                ? labels[static_cast<std::size_t>(choice - 1)]
                : std::string();
    return turn.record(choice_comment(), label, status);
  }
  input_kind = gs::input_outside;
  bool forms = false, menus = false;
  GS_INQ_DOCUMENTATION(forms, menus, status);
  if (menus && !gs::menu_record().offered_print) {
    gs::menu_record().offered_print = true;
    print_menu(status);
    gs::menu_record().offered_print = true;
    input_kind = gs::input_redraw;
    gs::note_failure(id, status);
  }
}

namespace gs {

int menu_choice(const std::function<void(int&)>& draw_menu, bool& draw, int& status) {
  while (status == io::status_good) {
    if (draw) draw_menu(status);
    draw = false;
    int kind = 0, choice = 0;
    std::string label;
    float x = 0.0f, y = 0.0f;
    GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
    if (status != io::status_good) break;
    draw = kind == input_redraw;
    if (!draw) return kind == input_choice ? choice : 0;
  }
  return 0;
}

int menu_choice(std::span<const std::string> titles, std::span<const std::string> labels,
                bool& draw, int& status) {
  const int t = static_cast<int>(titles.size());
  const int n = static_cast<int>(labels.size());
  return menu_choice(
      [&](int& s) { GS_FMENU(std::max(t, 1), t, titles, std::max(n, 1), n, labels, s); }, draw,
      status);
}

int ready_menu(std::span<const std::string> titles, std::span<const std::string> labels,
               std::span<const std::string> explanations, std::span<const std::string> help,
               bool leave_outside, int& status) {
  // The controls of a ready-made menu before its entries.
  enum Control { outside, about, specific_help, entries };
  const MenuSave menu;
  const WidgetScope scope;
  const MenuLayoutScope layout(MenuGrid{.columns = 3}, status);
  std::vector<std::string> all{"?", "HELP"};
  all.insert(all.end(), labels.begin(), labels.end());
  std::vector<std::string> about_lines{"?: Description of available menu choices",
                                       "HELP: Description of required input choice"};
  about_lines.insert(about_lines.end(), explanations.begin(), explanations.end());
  bool draw = true;
  while (status == io::status_good) {
    const int choice = menu_choice(titles, all, draw, status);
    if (choice >= entries) return choice - entries + 1;
    if (choice == outside && leave_outside) break;
    if (choice == about || choice == specific_help) {
      show_help(choice == about ? std::span<const std::string>(about_lines) : help, status);
      draw = true;
    }
  }
  return 0;
}

}  // namespace gs

void GS_INP_DATATYPE(int num_help, std::span<const std::string> help, int& data_type, int& status) {
  constexpr const char* id = "Subroutine GS_INP_DATATYPE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  const std::array<std::string, 4> labels{"4-BYTE INTEGER", "BYTE VALUES", "INTEGER (2-BYTE)",
                                          "REAL (4-BYTE IEEE)"};
  const std::array<std::string, 4> explanations{
      "4-BYTE INTEGER: Signed or unsigned, either byte order",
      "BYTE VALUES: Single byte signed or unsigned integers",
      "INTEGER (2-BYTE): Signed or unsigned either byte order",
      "REAL (4-BYTE IEEE): Floating point real numbers"};
  const int choice = gs::ready_menu({}, labels, explanations,
                                    help.first(static_cast<std::size_t>(num_help)), false, status);
  constexpr std::array<int, 4> codes{gs::datatype_integer4, gs::datatype_byte,
                                     gs::datatype_integer2, gs::datatype_real4};
  if (status == io::status_good && choice >= 1)
    data_type = codes[static_cast<std::size_t>(choice - 1)];
  gs::note_failure(id, status);
}

void GS_INP_SCANTYPE(int num_help, std::span<const std::string> help, int& scan_type, int& status) {
  constexpr const char* id = "Subroutine GS_INP_SCANTYPE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  const std::array<std::string, 1> title{"SELECT TYPE OF OUTPUT SCAN"};
  const std::array<std::string, 4> labels{"2-THETA", "D-SPACINGS", "Q-SPACE", "RADIAL"};
  const std::array<std::string, 4> explanations{
      "2-THETA: Equal angle output elements", "D-SPACINGS: Equal D-spacing output elements",
      "Q-SPACE: Equal Q output elements", "RADIAL: Equal radial distance output elements"};
  const int choice = gs::ready_menu(title, labels, explanations,
                                    help.first(static_cast<std::size_t>(num_help)), false, status);
  constexpr std::array<int, 4> codes{gs::scan_2theta, gs::scan_d, gs::scan_q, gs::scan_radial};
  if (status == io::status_good && choice >= 1)
    scan_type = codes[static_cast<std::size_t>(choice - 1)];
  gs::note_failure(id, status);
}

void GS_GUI_COLOUR(const std::string& title, int& colour, int& status) {
  constexpr const char* id = "Subroutine GS_GUI_COLOUR V0.1 ";
  if (!io::entry_ok(status, id)) return;
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  static const std::array<std::string, 15> names{
      "BLACK", "BLUE",   "BROWN", "CYAN",   "GREEN",     "GREY",      "MAGENTA", "ORANGE",
      "RED",   "VIOLET", "WHITE", "YELLOW", "(0 INDEX)", "(1 INDEX)", "INVERSE"};
  constexpr std::array<int, 15> numbers{
      gs::black, gs::blue,   gs::brown, gs::cyan,   gs::green,  gs::grey,   gs::magenta, gs::orange,
      gs::red,   gs::violet, gs::white, gs::yellow, gs::index0, gs::index1, gs::inverse};
  const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 5, .label_characters = 10}, status);
  const std::array<std::string, 1> titles{io::trimmed(title)};
  bool draw = true;
  // A choice, or a click outside every button: leave (unchanged then).
  const int choice = gs::menu_choice(titles, names, draw, status);
  if (status == io::status_good && choice > 0)
    colour = numbers[static_cast<std::size_t>(choice - 1)];
  gs::note_failure(id, status);
}

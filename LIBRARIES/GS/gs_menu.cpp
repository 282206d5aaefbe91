// Menus: a titled box of labelled buttons in a grid, the choice of a button,
// and the ready-made menus (data type, scan type, colour).
#include <algorithm>
#include <array>

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

void GS_MENU(int max_titles, int num_titles, std::span<const std::string> titles, int max_choices,
             int num_choices, std::span<const std::string> labels, float xmin, float ymin,
             float xmax, float ymax, int& status) {
  constexpr const char* id = "Subroutine GS_MENU V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_lines(max_titles, num_titles, titles, id, status)) return;
  if (!gs::check_lines(max_choices, num_choices, labels, id, status)) return;
  if (!gs::check_region(xmin, ymin, xmax, ymax, id, status)) return;
  const gs::WidgetScope scope;
  gs::MenuStyle style;
  GS_INQ_MENUSTYLE(style, status);
  gs::MenuGrid grid;
  GS_INQ_MENULAYOUT(grid, status);
  const gs::Box region{xmin, ymin, xmax, ymax};
  const gs::MenuLayout l =
      gs::menu_layout(num_titles, num_choices, region, grid.orientation, grid.columns,
                      grid.title_characters, grid.label_characters, gs::sample_width());
  VG_SET_UPDATE(gs::window_workstation, status);
  GS_FILLSTYLE(1, style.box_fill, status);
  GS_LINESTYLE(1, 1.0f, style.box_outline, status);
  GS_RECTANGLE(xmin, ymin, xmax, ymax, true, true, status);
  const float h = l.row_height;
  if (num_titles > 0) {
    const float below = ymax - static_cast<float>(num_titles) * h;
    GS_LINE(xmin, below, xmax, below, status);
    for (int k = 0; k < num_titles; ++k) {
      gs::draw_text((xmin + xmax) / 2.0f, ymax - 0.8f * h - static_cast<float>(k) * h, titles[k],
                    style.title_font, style.title_colour, l.title_height, gs::align_centre,
                    gs::valign_base, status);
    }
  }
  GS_FILLSTYLE(1, style.button_fill, status);
  GS_LINESTYLE(1, 1.0f, style.button_outline, status);
  GS_TEXTSTYLE(style.label_font, style.label_colour, l.label_height, 1.0f, 0.0f, gs::align_centre,
               gs::valign_middle, status);
  for (int k = 0; k < num_choices; ++k) {
    const gs::Box& b = l.buttons[static_cast<std::size_t>(k)];
    GS_STRINGBUTTON(b.xmin, b.ymin, b.xmax, b.ymax, l.bevel, labels[k], status);
  }
  VG_UPDATE(gs::window_workstation, 1, status);
  if (status != io::status_good) {
    ST_SAVE(id);
    return;
  }
  gs::MenuRecord& r = gs::menu_record();
  r.region = region;
  r.num_titles = num_titles;
  r.num_choices = num_choices;
  r.boxes = l.buttons;
  r.titles.assign(titles.begin(), titles.begin() + num_titles);
  r.labels.assign(labels.begin(), labels.begin() + num_choices);
  r.offered_print = false;
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

void GS_INP_MENUCHOICE(int& input_kind, int& choice, std::string& label, float& x, float& y,
                       int& status) {
  constexpr const char* id = "Subroutine GS_INP_MENUCHOICE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  choice = 0;
  for (;;) {
    float px = 0.0f, py = 0.0f;
    const int type = gs::wait_click(px, py, status);
    if (status != io::status_good) {
      gs::note_failure(id, status);
      return;
    }
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
      return;
    }
    bool forms = false, menus = false;
    GS_INQ_DOCUMENTATION(forms, menus, status);
    if (menus && !gs::menu_record().offered_print) {
      gs::menu_record().offered_print = true;
      print_menu(status);
      gs::menu_record().offered_print = true;
      input_kind = gs::input_redraw;
      gs::note_failure(id, status);
      return;
    }
    input_kind = gs::input_outside;
    return;
  }
}

namespace gs {

int menu_choice(std::span<const std::string> titles, std::span<const std::string> labels,
                bool& draw, int& status) {
  const int t = static_cast<int>(titles.size());
  const int n = static_cast<int>(labels.size());
  while (status == io::status_good) {
    if (draw) GS_FMENU(std::max(t, 1), t, titles, n, n, labels, status);
    draw = false;
    int kind = 0, choice = 0;
    std::string label;
    float x = 0.0f, y = 0.0f;
    GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
    if (status != io::status_good) break;
    if (kind == gs::input_redraw) {
      draw = true;
      continue;
    }
    return kind == gs::input_choice ? choice : 0;
  }
  return 0;
}

}  // namespace gs

namespace {

// A ready-made menu in the GUI region with "?" and "HELP" first: returns the
// number of the chosen entry among `labels` (from 1), after showing the
// explanations for "?" and the caller's help lines for "HELP".
int ready_menu(const std::vector<std::string>& titles, const std::vector<std::string>& labels,
               const std::vector<std::string>& explanations, int num_help,
               std::span<const std::string> help, int& status) {
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  const gs::MenuLayoutScope layout(gs::MenuGrid{.columns = 3}, status);
  std::vector<std::string> all{"?", "HELP"};
  all.insert(all.end(), labels.begin(), labels.end());
  std::vector<std::string> about{"?: Description of available menu choices",
                                 "HELP: Description of required input choice"};
  about.insert(about.end(), explanations.begin(), explanations.end());
  int result = 0;
  bool draw = true;
  while (status == io::status_good && result == 0) {
    const int choice = gs::menu_choice(titles, all, draw, status);
    if (status != io::status_good || choice == 0) continue;
    if (choice == 1) {
      GS_MESSAGE(static_cast<int>(about.size()), static_cast<int>(about.size()), about, status);
      draw = true;
    } else if (choice == 2) {
      GS_MESSAGE(std::max(num_help, 1), num_help, help, status);
      draw = true;
    } else {
      result = choice - 2;
    }
  }
  return result;
}

}  // namespace

void GS_INP_DATATYPE(int num_help, std::span<const std::string> help, int& data_type, int& status) {
  constexpr const char* id = "Subroutine GS_INP_DATATYPE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_count(num_help, help, id, status)) return;
  const int choice =
      ready_menu({}, {"4-BYTE INTEGER", "BYTE VALUES", "INTEGER (2-BYTE)", "REAL (4-BYTE IEEE)"},
                 {"4-BYTE INTEGER: Signed or unsigned, either byte order",
                  "BYTE VALUES: Single byte signed or unsigned integers",
                  "INTEGER (2-BYTE): Signed or unsigned either byte order",
                  "REAL (4-BYTE IEEE): Floating point real numbers"},
                 num_help, help, status);
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
  const int choice = ready_menu(
      {"SELECT TYPE OF OUTPUT SCAN"}, {"2-THETA", "D-SPACINGS", "Q-SPACE", "RADIAL"},
      {"2-THETA: Equal angle output elements", "D-SPACINGS: Equal D-spacing output elements",
       "Q-SPACE: Equal Q output elements", "RADIAL: Equal radial distance output elements"},
      num_help, help, status);
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

// The file selection tool: lists of sub-directories and files side by side,
// climbing and descending, filters, a typed name and the confirmation.
#include <algorithm>
#include <array>
#include <cmath>

#include "gs_fileselect.h"
#include "gs_macro.h"
#include "gs_tools.h"
#include "gs_widgets.h"

namespace gs {

SelectionLayout selection_layout(const Box& region, float sample_width) {
  SelectionLayout l;
  l.region = region;
  const float x0 = region.xmin, y0 = region.ymin, x1 = region.xmax, y1 = region.ymax;
  const float W = x1 - x0, H = y1 - y0;
  const float m = 0.012f * std::min(W, H);
  const bool wide = W > H;
  l.title = Box{x0 + m, y1 - m - 0.075f * H, x1 - m, y1 - m};
  l.directory = Box{x0 + m, l.title.ymin - m - 0.04f * H, x1 - m, l.title.ymin - m};
  l.commands = Box{x0 + m, y0 + m, x1 - m, y0 + m + 0.055f * H};
  l.name_field = Box{x0 + m, l.commands.ymax + m, x1 - m, l.commands.ymax + m + 0.05f * H};
  const float row_y0 = l.name_field.ymax + m, row_y1 = row_y0 + 0.045f * H;
  // The sub-directories take the left part, the files the rest.
  const float split = x0 + (wide ? 0.36f : 0.4f) * W;
  const float bar = std::max(0.03f * std::min(W, H) * 1.4142f, 0.02f);
  const float head_h = 0.035f * H;
  const float list_top = l.directory.ymin - m - head_h - m / 2.0f;
  const float list_bottom = row_y1 + m;
  l.dirs_head = Box{x0 + m, list_top + m / 2.0f, split - m / 2.0f, list_top + m / 2.0f + head_h};
  l.files_head = Box{split + m / 2.0f, l.dirs_head.ymin, x1 - m, l.dirs_head.ymax};
  l.dirs = Box{x0 + m, list_bottom, split - m / 2.0f - bar, list_top};
  l.dirs_bar = Box{l.dirs.xmax, list_bottom, split - m / 2.0f, list_top};
  l.files = Box{split + m / 2.0f, list_bottom, x1 - m - bar, list_top};
  l.files_bar = Box{l.files.xmax, list_bottom, x1 - m, list_top};
  const float bw = (l.dirs_bar.xmax - l.dirs.xmin - m) / 2.0f;
  l.up = Box{x0 + m, row_y0, x0 + m + bw, row_y1};
  l.update = Box{l.up.xmax + m, row_y0, l.dirs_bar.xmax, row_y1};
  l.selected = Box{l.files.xmin, row_y0, x1 - m, row_y1};
  // Rows of a legible height: as many as fit, at least one.
  const float list_h = l.dirs.ymax - l.dirs.ymin;
  l.rows = std::max(1, static_cast<int>(std::floor(list_h / 0.022f)));
  l.row_height = list_h / static_cast<float>(l.rows);
  l.text_height = 0.68f * l.row_height;
  // Width of one character per unit of height, from the sample text of ten
  // characters measured at 10/707 page units.
  // (the sample, with its wide letters, is wider than most names).
  const float per_char = 0.85f * std::max(sample_width, 0.01f) / (10.0f * (10.0f / 707.0f));
  const float cw = l.text_height * per_char;
  const auto fit = [&](const Box& b) {
    return std::max(4, static_cast<int>((b.xmax - b.xmin - 0.6f * l.text_height) / cw));
  };
  l.dir_characters = fit(l.dirs);
  l.file_characters = fit(l.files);
  return l;
}

std::string fitted(const std::string& text, int characters, bool keep_end) {
  const std::string t = io::trimmed(text);
  const std::size_t n = static_cast<std::size_t>(std::max(characters, 4));
  if (t.size() <= n) return t;
  if (keep_end) return "..." + t.substr(t.size() - (n - 3));
  return t.substr(0, n - 3) + "...";
}

std::string middle_fitted(const std::string& text, int characters) {
  const std::string t = io::trimmed(text);
  const std::size_t n = static_cast<std::size_t>(std::max(characters, 5));
  if (t.size() <= n) return t;
  // The end holds the numbers and extension that tell names apart: it keeps
  // the larger part.
  const std::size_t head = (n - 3) * 2 / 5;
  const std::size_t tail = n - 3 - head;
  return t.substr(0, head) + "..." + t.substr(t.size() - tail);
}

int list_item(const Box& list, float row_height, int first, int count, float x, float y) {
  if (!list.contains(x, y) || row_height <= 0.0f) return 0;
  const int row = static_cast<int>((list.ymax - y) / row_height);
  const int item = first + row;
  return item >= 1 && item <= count ? item : 0;
}

std::string typed_path(const std::string& directory, const std::string& typed, int& retstat) {
  retstat = 0;
  std::string t = io::trimmed(typed);
  t.erase(0, std::min(t.find_first_not_of(" \t"), t.size()));
  if (t.empty()) {
    retstat = 1;
    return "";
  }
  if (t[0] == '~') {
    int r = 0, s = io::status_good;
    std::string translated;
    IO_TRANS_PATH(t, r, translated, s);
    if (r != 0 || s != io::status_good) {
      retstat = 1;
      return "";
    }
    t = io::trimmed(translated);
  }
  if (t[0] != '/') t = io::trimmed(directory) + "/" + t;
  // "." and ".." resolved on the name; the root has no parent.
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i <= t.size()) {
    std::size_t j = t.find('/', i);
    if (j == std::string::npos) j = t.size();
    const std::string part = t.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string path;
  for (const auto& p : parts) path += "/" + p;
  return path.empty() ? "/" : path;
}

}  // namespace gs

namespace {

constexpr const char* id_select = "Subroutine GS_FILESELECTION V0.1 ";
constexpr std::array<const char*, 6> commands{"CANCEL", "?", "HELP", "INFO", "TYPES", "FILTER"};

gs::SelectionLayout layout_now() {
  gs::Box region;
  int s = io::status_good;
  GS_INQ_MESSAGE(region, s);
  return gs::selection_layout(region, gs::sample_width());
}

void draw_box(const gs::Box& b, int fill, int outline, int& status) {
  GS_FILLSTYLE(1, fill, status);
  GS_LINESTYLE(1, 1.0f, outline, status);
  GS_RECTANGLE(b.xmin, b.ymin, b.xmax, b.ymax, true, true, status);
}

// One line of text in a box, left-aligned and vertically centred.
void line_in(const gs::Box& b, const std::string& text, int colour, float height, int& status) {
  gs::draw_text(b.xmin + 0.4f * height, (b.ymin + b.ymax) / 2.0f, text, 1, colour, height,
                gs::align_left, gs::valign_middle, status);
}

// Characters of a line of height h in a box.
int characters_in(const gs::Box& b, float h) {
  const float per_char = 0.85f * gs::sample_width() / (10.0f * (10.0f / 707.0f));
  return std::max(4, static_cast<int>((b.xmax - b.xmin - 0.8f * h) / (h * per_char)));
}

// A list box with its rows from item `first`, the item `marked` on YELLOW,
// and its scroll bar; `empty` when there is nothing to list.
void draw_list(const gs::Box& box, const gs::Box& bar_box, int bar,
               const std::vector<std::string>& items, int first, int marked, const char* empty,
               const gs::SelectionLayout& l, int characters, int& status) {
  const gs::WidgetScope scope;
  VG_SET_UPDATE(gs::window_workstation, status);
  draw_box(box, gs::white, gs::blue, status);
  const int n = static_cast<int>(items.size());
  if (n == 0) {
    gs::Box row{box.xmin, box.ymax - l.row_height, box.xmax, box.ymax};
    line_in(row, empty, gs::red, l.text_height, status);
  }
  const int last = std::min(n, first + l.rows - 1);
  for (int k = first; k <= last; ++k) {
    const float top = box.ymax - static_cast<float>(k - first) * l.row_height;
    const gs::Box row{box.xmin, top - l.row_height, box.xmax, top};
    if (k == marked) {
      GS_FILLSTYLE(1, gs::yellow, status);
      GS_RECTANGLE(row.xmin, row.ymin, row.xmax, row.ymax, false, true, status);
    }
    line_in(row, gs::middle_fitted(items[static_cast<std::size_t>(k - 1)], characters),
            k == marked ? gs::blue : gs::black, l.text_height, status);
  }
  // A list drawn again on its own keeps the other list's bar.
  const std::vector<gs::ScrollBarRecord> before = gs::scroll_bars();
  GS_SCROLLBAR(bar, bar_box.xmin, bar_box.ymin, bar_box.xmax, bar_box.ymax, std::max(n, 1),
               std::clamp(first, 1, std::max(n, 1)), std::min(l.rows, std::max(n, 1)), status);
  if (bar == 1 && before.size() > 1) gs::scroll_bars().push_back(before[1]);
  VG_UPDATE(gs::window_workstation, 1, status);
}

}  // namespace

void GS_DRAW_SLIST(const gs::SelectionView& view, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DRAW_SLIST V0.1 ")) return;
  const gs::SelectionLayout l = layout_now();
  draw_list(l.dirs, l.dirs_bar, 1, view.directories, view.first_directory, 0, "NO SUB-DIRECTORIES",
            l, l.dir_characters, status);
}

void GS_DRAW_LIST(const gs::SelectionView& view, int& status) {
  if (!io::entry_ok(status, "Subroutine GS_DRAW_LIST V0.1 ")) return;
  const gs::SelectionLayout l = layout_now();
  draw_list(l.files, l.files_bar, 2, view.files, view.first_file, view.selected_item,
            "NO SELECTED FILES", l, l.file_characters, status);
}

namespace {

// The directory line and the headers of the two lists.
void draw_heads(const gs::SelectionLayout& l, const gs::SelectionView& view, int& status) {
  const gs::WidgetScope scope;
  draw_box(l.directory, gs::white, gs::blue, status);
  const float h = std::min(0.55f * (l.directory.ymax - l.directory.ymin), 0.018f);
  const std::string label = "DIRECTORY: ";
  const int room = characters_in(l.directory, h) - static_cast<int>(label.size());
  line_in(l.directory, label + gs::fitted(view.directory, room, true), gs::black, h, status);
  const float hh = 0.6f * (l.dirs_head.ymax - l.dirs_head.ymin);
  const int nd = static_cast<int>(view.directories.size());
  const int nf = static_cast<int>(view.files.size());
  gs::draw_text(l.dirs_head.xmin, l.dirs_head.ymin + 0.3f * hh,
                "SUB-DIRECTORIES (" + std::to_string(nd) + ")", 1, gs::white, hh, gs::align_left,
                gs::valign_base, status);
  std::string filter = "FILES (" + std::to_string(nf) + ")";
  if (io::trimmed(view.extension) != gs::all_permitted)
    filter += "  TYPE: " + io::trimmed(view.extension);
  if (io::trimmed(view.pattern) != gs::no_filtering)
    filter += "  FILTER: " + io::trimmed(view.pattern);
  gs::draw_text(l.files_head.xmin, l.files_head.ymin + 0.3f * hh,
                gs::fitted(filter, characters_in(l.files_head, hh), false), 1, gs::white, hh,
                gs::align_left, gs::valign_base, status);
}

// The UP DIR and UPDATE buttons, the selected name and the typed-name field.
void draw_fields(const gs::SelectionLayout& l, const gs::SelectionView& view, int& status) {
  const gs::WidgetScope scope;
  const float bh = std::min(0.5f * (l.up.ymax - l.up.ymin), 0.02f);
  GS_FILLSTYLE(1, gs::yellow, status);
  GS_LINESTYLE(1, 1.0f, gs::black, status);
  GS_TEXTSTYLE(1, gs::blue, bh, 1.0f, 0.0f, gs::align_centre, gs::valign_middle, status);
  const float bevel = (l.up.ymax - l.up.ymin) / 10.0f;
  GS_STRINGBUTTON(l.up.xmin, l.up.ymin, l.up.xmax, l.up.ymax, bevel, "UP DIR", status);
  GS_STRINGBUTTON(l.update.xmin, l.update.ymin, l.update.xmax, l.update.ymax, bevel, "UPDATE",
                  status);
  // The selected name whole when it fits, else its end.
  draw_box(l.selected, gs::white, gs::blue, status);
  const float sh = std::min(0.55f * (l.selected.ymax - l.selected.ymin), 0.018f);
  line_in(l.selected, gs::fitted(view.selected, characters_in(l.selected, sh), true), gs::black, sh,
          status);
  GS_FILLSTYLE(1, gs::yellow, status);
  GS_LINESTYLE(1, 1.0f, gs::black, status);
  GS_TEXTSTYLE(1, gs::blue, std::min(0.5f * (l.name_field.ymax - l.name_field.ymin), 0.02f), 1.0f,
               0.0f, gs::align_centre, gs::valign_middle, status);
  GS_STRINGBUTTON(l.name_field.xmin, l.name_field.ymin, l.name_field.xmax, l.name_field.ymax, bevel,
                  "File Name (Optional)", status);
}

}  // namespace

void GS_DRAW_SELECTION(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                       const gs::SelectionView& view, int& status) {
  constexpr const char* id = "Subroutine GS_DRAW_SELECTION V0.1 ";
  if (!io::entry_ok(status, id)) return;
  if (!gs::check_lines(max_prompt, num_prompt, prompt, id, status)) return;
  const gs::SelectionLayout l = layout_now();
  gs::fill_box(l.region, gs::blue, status);
  GS_PROMPT(false, max_prompt, num_prompt, prompt, l.title.xmin, l.title.ymin, l.title.xmax,
            l.title.ymax, status);
  draw_heads(l, view, status);
  GS_DEF_SCROLLBAR(status);
  GS_DRAW_SLIST(view, status);
  GS_DRAW_LIST(view, status);
  draw_fields(l, view, status);
  {
    const gs::MenuLayoutScope grid(gs::MenuGrid{.columns = 6, .label_characters = 10}, status);
    const std::array<std::string, 1> none{""};
    const std::vector<std::string> labels(commands.begin(), commands.end());
    GS_MENU(1, 0, none, 6, 6, labels, l.commands.xmin, l.commands.ymin, l.commands.xmax,
            l.commands.ymax, status);
  }
  GS_UPDATE(status);
  gs::note_failure(id, status);
}

void GS_SUBFILE(const std::string& directory, const std::string& name, std::string& path,
                int& status) {
  if (!io::entry_ok(status, "Subroutine GS_SUBFILE V0.1 ")) return;
  int retstat = 0;
  const std::string p = gs::typed_path(directory, name, retstat);
  if (retstat == 0) path = p;
}

void GS_HELPFILESELECT(int& status) {
  constexpr const char* id = "Subroutine GS_HELPFILESELECT V0.1 ";
  if (!io::entry_ok(status, id)) return;
  const auto text = gs::fileselect_help_text();
  const std::vector<std::string> lines(text.begin(), text.end());
  const int n = static_cast<int>(lines.size());
  GS_MESSAGE(n, n, lines, status);
  gs::note_failure(id, status);
}

namespace {

bool has_extension(const std::string& name, const std::string& extension) {
  if (name.size() <= extension.size() + 1) return false;
  const std::size_t dot = name.size() - extension.size() - 1;
  if (name[dot] != '.') return false;
  return io::upper(name.substr(dot + 1)) == io::upper(extension);
}

bool is_all(const std::string& filter, const char* every) {
  const std::string t = io::trimmed(filter);
  return t.empty() || t == every || t == "*";
}

// The commands of the tool's menu, in its order from 1.
enum class Command { none, cancel, about, help, info, types, filter };

// What the tool does after an event: wait for the next, draw itself again
// first, check and confirm the name chosen, or end.
enum class Next { wait, draw, choose, end };

// The tool's state between events.
struct Tool {
  gs::SelectionView view;
  int file_mode = gs::select_input;
  gs::SelectionLayout layout;
  int max_prompt = 1, num_prompt = 0;
  std::span<const std::string> prompt, help;
  std::string chosen;  // a full path to check and confirm
  bool typed = false;  // typed as a path
};

void draw(const Tool& t, int& status) {
  GS_DRAW_SELECTION(t.max_prompt, t.num_prompt, t.prompt, t.view, status);
}

// Keeps the item `item` of a list of n in view (rows showing).
int scrolled_to(int item, int first, int n, int rows) {
  if (item < first) first = item;
  if (item >= first + rows) first = item - rows + 1;
  return std::clamp(first, 1, std::max(n - rows + 1, 1));
}

// Makes `name` the selected one, marked (and in view) when it is listed.
void select(gs::SelectionView& v, const std::string& name, int rows) {
  v.selected = io::trimmed(name);
  v.selected_item = 0;
  const auto it = std::lower_bound(v.files.begin(), v.files.end(), v.selected);
  if (it == v.files.end() || *it != v.selected) return;
  v.selected_item = static_cast<int>(it - v.files.begin()) + 1;
  v.first_file = scrolled_to(v.selected_item, v.first_file, static_cast<int>(v.files.size()), rows);
}

}  // namespace

namespace gs {

std::vector<std::string> stored(std::vector<std::string>& directories,
                                std::vector<std::string>& files, const ListStores& stores) {
  std::vector<std::string> problems;
  const auto directories_problem = [&](const char* why) {
    problems.insert(problems.end(), {"WARNING: Problem obtaining list of directories", why});
  };
  if (directories.size() > stores.directories) {
    directories_problem("         Too many directories");
    directories.resize(stores.directories);
  }
  std::size_t characters = 0;
  for (std::size_t k = 0; k < directories.size(); ++k) {
    characters += directories[k].size();
    if (characters <= stores.directory_characters) continue;
    directories_problem("         List of names too long");
    directories.resize(k);
    break;
  }
  if (files.size() > stores.files) {
    problems.emplace_back("WARNING: Problem obtaining list of files");
    files.resize(stores.files);
  }
  return problems;
}

}  // namespace gs

namespace {

// Lists the directory of the view; a directory that cannot be read is left
// upwards. Listing problems leave the previous lists.
void list(Tool& t, int& status) {
  gs::SelectionView& v = t.view;
  for (int climbs = 0; status == io::status_good && climbs < 256; ++climbs) {
    int retstat = 0;
    std::vector<std::string> dirs, files;
    const std::string pattern = is_all(v.pattern, gs::no_filtering) ? "*" : io::trimmed(v.pattern);
    IO_LISTENTRIES(v.directory, pattern, retstat, dirs, files, status);
    if (status != io::status_good) return io::say("WARNING: Problem obtaining list of files");
    if (retstat == 1 && v.directory == "/") {
      io::say("WARNING: Problem obtaining list of directories");
      return io::say("         Internal directory change problem");
    }
    if (retstat == 1) {
      io::say("NOTE: Automatically climbing one directory level");
      io::say("         Bad directory name: " + v.directory);
      IO_UP_DIRECTORY(v.directory, status);
      continue;
    }
    if (!is_all(v.extension, gs::all_permitted)) {
      const std::string e = io::trimmed(v.extension);
      std::erase_if(files, [&](const std::string& f) { return !has_extension(f, e); });
    }
    for (const std::string& line : gs::stored(dirs, files, gs::ListStores{})) io::say(line);
    v.directories = std::move(dirs);
    v.files = std::move(files);
    v.first_directory = 1;
    v.first_file = 1;
    select(v, v.selected, t.layout.rows);
    return;
  }
}

// The first item shown after scroll button b (1 .. 6) of a list.
int scrolled(int button, int first, int n, int rows) {
  const int last_start = std::max(n - rows + 1, 1);
  const int page = std::max(rows - 1, 1);
  switch (button) {
    case gs::scroll_to_start:
      return 1;
    case gs::scroll_page_up:
      return std::max(first - page, 1);
    case gs::scroll_line_up:
      return std::max(first - 1, 1);
    case gs::scroll_line_down:
      return std::min(first + 1, last_start);
    case gs::scroll_page_down:
      return std::min(first + page, last_start);
    default:
      return last_start;
  }
}

// A one-line warning in the tool; under a macro the run stops instead.
void warn(const std::string& line, int& status) {
  gs::refuse({line}, status);
}

// A text typed in the GUI region; false when cancelled.
bool ask_text(const std::string& prompt, const std::string& help_line, std::string& value,
              int& status) {
  const std::array<std::string, 1> help{help_line};
  const gs::TypedLine typed = gs::input_text(prompt, help, value, status);
  if (status != io::status_good || typed.cancelled) return false;
  value = io::trimmed(typed.text);
  value.erase(0, std::min(value.find_first_not_of(" \t"), value.size()));
  return true;
}

// Whether a path names a directory that can be entered.
bool enter_directory(Tool& t, const std::string& path, int& status) {
  std::string d = t.view.directory;
  int retstat = 0;
  IO_CHANGEDIR(d, path, retstat, status);
  if (status != io::status_good || retstat != 0) return false;
  t.view.directory = d;
  return true;
}

// Checks a chosen full path against the file mode; true when it may be
// offered for confirmation. `typed` tells that the name was typed as a path.
bool acceptable(const Tool& t, const std::string& path, bool typed_path, int& status) {
  bool exists = false;
  IO_FILEEXIST(path, exists, status);
  if (status != io::status_good) return false;
  if (t.file_mode == gs::select_input && !exists) {
    warn(
        typed_path ? " !!! FILE DOES NOT EXIST, OR WRONG PATH !!!" : " !!! FILE DOES NOT EXIST !!!",
        status);
    return false;
  }
  if (t.file_mode == gs::select_output) {
    if (exists) {
      warn(" !!! FILE MUST NOT ALREADY EXIST !!!", status);
      return false;
    }
    std::string parent;
    IO_DIRPATH(path, parent, status);
    int retstat = 0;
    std::string d = "/";
    IO_CHANGEDIR(d, io::trimmed(parent).empty() ? "/" : io::trimmed(parent), retstat, status);
    if (retstat != 0) {
      warn(" !!! FILE DOES NOT EXIST, OR WRONG PATH !!!", status);
      return false;
    }
  }
  return status == io::status_good;
}

// The question "File Selection O.K. ? :": only YES confirms (NO and CANCEL
// return to the tool).
bool confirmed(int& status) {
  const std::array<std::string, 2> help{"Click on \"YES\" or \"NO\"",
                                        "Enter \"YES\" if the choice is O.K."};
  bool ok = false;
  GS_INPL("File Selection O.K. ? :", 2, help, ok, status);
  return status == io::status_good && ok;
}

// Puts the process's current directory back on every way out.
class CurrentDirectory {
 public:
  CurrentDirectory() {
    int s = io::status_good;
    IO_GETCWD(saved_, s);
    known_ = s == io::status_good;
    if (!known_) io::say("WARNING: Can't find out current directory");
  }
  ~CurrentDirectory() {
    if (!known_) return;
    std::string d = saved_;
    int retstat = 0, s = io::status_good;
    IO_CHANGEDIR(d, saved_, retstat, s);
  }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;
  const std::string& directory() const { return saved_; }
  bool known() const { return known_; }

 private:
  std::string saved_;
  bool known_ = false;
};

// The starting directory and selection: those of the name passed in when its
// directory exists, else the current directory.
void start(Tool& t, const std::string& file_name, const CurrentDirectory& current, int& status) {
  t.layout = layout_now();
  t.view.directory = current.known() ? current.directory() : "/";
  const std::string name = io::trimmed(file_name);
  if (name.empty()) return;
  int r = 0;
  const std::string path = gs::typed_path(t.view.directory, name, r);
  if (r != 0) return;
  std::string parent, base;
  IO_DIRPATH(path, parent, status);
  IO_NODIRPATH(path, base, status);
  if (status != io::status_good) return;
  Tool probe = t;
  if (enter_directory(probe, io::trimmed(parent).empty() ? "/" : io::trimmed(parent), status)) {
    t.view.directory = probe.view.directory;
    if (!io::trimmed(base).empty()) t.view.selected = io::trimmed(base);
  }
}

// --- The handlers of the tool's events

// A turn of the wheel over a list scrolls it by a few rows.
Next on_wheel(Tool& t, bool up, float x, float y, int& status) {
  constexpr int wheel_rows = 3;
  const gs::SelectionLayout& l = t.layout;
  gs::SelectionView& v = t.view;
  const int step = up ? -wheel_rows : wheel_rows;
  const bool dirs = l.dirs.contains(x, y) || l.dirs_bar.contains(x, y);
  const bool files = l.files.contains(x, y) || l.files_bar.contains(x, y);
  if (!dirs && !files) return Next::wait;
  int& first = dirs ? v.first_directory : v.first_file;
  const int n = static_cast<int>(dirs ? v.directories.size() : v.files.size());
  const int f = std::clamp(first + step, 1, std::max(n - l.rows + 1, 1));
  if (f == first) return Next::wait;
  first = f;
  if (dirs) GS_DRAW_SLIST(v, status);
  if (files) GS_DRAW_LIST(v, status);
  return Next::wait;
}

// A scroll button of either list (the second list's count on from 7).
Next on_scroll(Tool& t, int button, int& status) {
  gs::SelectionView& v = t.view;
  const int rows = t.layout.rows;
  if (button <= gs::scroll_buttons) {
    v.first_directory =
        scrolled(button, v.first_directory, static_cast<int>(v.directories.size()), rows);
    GS_DRAW_SLIST(v, status);
  } else {
    v.first_file =
        scrolled(button - gs::scroll_buttons, v.first_file, static_cast<int>(v.files.size()), rows);
    GS_DRAW_LIST(v, status);
  }
  return Next::wait;
}

// A sub-directory clicked: into it.
Next on_directory(Tool& t, int d, int& status) {
  if (!enter_directory(t, t.view.directories[static_cast<std::size_t>(d - 1)], status)) {
    warn(" !!! CAN'T ENTER DIRECTORY !!!", status);
  }
  list(t, status);
  return Next::draw;
}

// A file clicked: the choice.
Next on_file(Tool& t, int f) {
  gs::SelectionView& v = t.view;
  select(v, v.files[static_cast<std::size_t>(f - 1)], t.layout.rows);
  int r = 0;
  t.chosen = gs::typed_path(v.directory, v.selected, r);
  t.typed = false;
  return Next::choose;
}

Next on_up(Tool& t, int& status) {
  if (t.view.directory == "/") {
    warn("WARNING: You can't go above the \"root\" directory", status);
  } else {
    IO_UP_DIRECTORY(t.view.directory, status);
    list(t, status);
  }
  return Next::draw;
}

// A name typed in the field: a directory is entered, anything else is the
// choice, shown as the selection (its directory too when it lies elsewhere).
Next on_name(Tool& t, int& status) {
  std::string name;
  if (!ask_text("FILE NAME", "Enter file name", name, status) || name.empty()) return Next::draw;
  int r = 0;
  const std::string path = gs::typed_path(t.view.directory, name, r);
  if (r != 0) {
    warn(" BAD FILE PATH SYNTAX ", status);
    return Next::draw;
  }
  if (enter_directory(t, path, status)) {
    list(t, status);
    return Next::draw;
  }
  std::string parent, base;
  IO_DIRPATH(path, parent, status);
  IO_NODIRPATH(path, base, status);
  const bool here = (io::trimmed(parent).empty() ? "/" : io::trimmed(parent)) == t.view.directory;
  select(t.view, here ? io::trimmed(base) : path, t.layout.rows);
  t.chosen = path;
  t.typed = name.find('/') != std::string::npos || name[0] == '~';
  return Next::choose;
}

// A new extension choice or name pattern, and the list again.
void narrow(Tool& t, bool extension, int& status) {
  gs::SelectionView& v = t.view;
  std::string& filter = extension ? v.extension : v.pattern;
  const char* every = extension ? gs::all_permitted : gs::no_filtering;
  std::string text = is_all(filter, every) ? "" : io::trimmed(filter);
  const bool asked = extension
                         ? ask_text("ENTER FILE EXTENSION TYPE TO SELECT",
                                    "Enter file extension (no .)", text, status)
                         : ask_text("ENTER FILE NAME PATTERN TO MATCH",
                                    "Enter pattern, using asterisks as wild-cards", text, status);
  if (!asked) return;
  if (extension && !text.empty() && text[0] == '.') text.erase(0, 1);
  filter = is_all(text, every) ? every : text;
  list(t, status);
}

Next on_command(Tool& t, Command command, int& status) {
  switch (command) {
    case Command::none:
      return Next::wait;
    case Command::cancel:
      return Next::end;
    case Command::about: {
      const std::array<std::string, 6> about{
          "CANCEL: Exit without returning file name",
          "?: This help text",
          "HELP: Information about the required input or output file",
          "INFO: Information concerning use of the file selection utility",
          "TYPES: Specify types of file to input (by file extensions)",
          "FILTER: Specify pattern which file names must match"};
      gs::show_help(t.layout.region, about, status);
      break;
    }
    case Command::help:
      gs::show_help(t.layout.region, t.help, status);
      break;
    case Command::info:
      GS_HELPFILESELECT(status);
      break;
    case Command::types:
    case Command::filter:
      narrow(t, command == Command::types, status);
      break;
  }
  return Next::draw;
}

// A click: on a scroll button, a list row, a button or a command.
Next on_click(Tool& t, float x, float y, int& status) {
  const gs::SelectionLayout& l = t.layout;
  const gs::SelectionView& v = t.view;
  int button = 0;
  GS_CAL_SCROLLBAR(x, y, button, status);
  if (button > 0) return on_scroll(t, button, status);
  const int nd = static_cast<int>(v.directories.size());
  const int nf = static_cast<int>(v.files.size());
  if (const int d = gs::list_item(l.dirs, l.row_height, v.first_directory, nd, x, y); d > 0) {
    return on_directory(t, d, status);
  }
  if (const int f = gs::list_item(l.files, l.row_height, v.first_file, nf, x, y); f > 0) {
    return on_file(t, f);
  }
  if (l.up.contains(x, y)) return on_up(t, status);
  if (l.update.contains(x, y)) {
    list(t, status);
    return Next::draw;
  }
  if (l.name_field.contains(x, y)) return on_name(t, status);
  int c = 0;
  GS_CAL_MENUCHOICE(x, y, c, status);
  return on_command(t, static_cast<Command>(c), status);
}

Next on_event(Tool& t, int type, float x, float y, int& status) {
  switch (type) {
    case vg::event_redraw:
      return Next::draw;
    case vg::event_wheel_up:
    case vg::event_wheel_down:
      return on_wheel(t, type == vg::event_wheel_up, x, y, status);
    case vg::event_button:
      return on_click(t, x, y, status);
    default:
      return Next::wait;
  }
}

// The choice shown, checked against the file mode and confirmed: the tool
// ends with it, or goes on.
Next choose(Tool& t, std::string& file_name, bool& cancelled, int& status) {
  draw(t, status);
  if (!acceptable(t, t.chosen, t.typed, status) || !confirmed(status)) return Next::draw;
  file_name = t.chosen;
  cancelled = false;
  return Next::end;
}

// The item of the file asked for: the first prompt line.
std::string file_item(const Tool& t) {
  const std::string first = t.num_prompt > 0 ? io::stripped(t.prompt[0]) : std::string();
  return first.empty() ? "FILE NAME" : first;
}

// The file from the macro, neither listed nor drawn: a path from the
// process's current directory, checked as a name typed in the tool is.
// `\\` cancels. False when the choice goes to the window instead.
bool macro_file(const Tool& t, gs::MacroTurn& turn, const CurrentDirectory& current,
                std::string& file_name, bool& cancelled, int& status) {
  std::string name = io::trimmed(file_name);
  const std::string item = file_item(t);
  IO_INPC(true, item, item, static_cast<int>(t.help.size()), t.help, 0, {}, name, status);
  if (turn.back_to_window(status)) return false;
  if (status == io::status_escape) {
    status = io::status_good;
    return true;
  }
  if (status != io::status_good) return true;
  name = io::stripped(name);
  int r = 0;
  const std::string path = gs::typed_path(current.known() ? current.directory() : "/", name, r);
  if (r != 0 || name.empty()) {
    warn(" BAD FILE PATH SYNTAX ", status);
  } else if (acceptable(t, path, name.find('/') != std::string::npos || name[0] == '~', status)) {
    file_name = path;
    cancelled = false;
  }
  return true;
}

}  // namespace

namespace gs {

// Opens the tool on `file_name`'s directory and draws its first screen (the
// benchmark times this); returns the tool's state through `view`.
void selection_first_screen(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                            const std::string& file_name, SelectionView& view, int& status) {
  const CurrentDirectory current;
  Tool t;
  start(t, file_name, current, status);
  list(t, status);
  GS_DRAW_SELECTION(max_prompt, num_prompt, prompt, t.view, status);
  view = std::move(t.view);
}

}  // namespace gs

void GS_FILESELECTION(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                      int max_help, int num_help, std::span<const std::string> help, int file_mode,
                      int option, std::string& extension, std::string& file_name, bool& cancelled,
                      int& status) {
  if (!io::entry_ok(status, id_select)) return;
  static_cast<void>(option);
  cancelled = true;
  if (!gs::check_lines(max_prompt, num_prompt, prompt, id_select, status) ||
      !gs::check_lines(std::max(max_help, 1), num_help, help, id_select, status)) {
    return;
  }
  const CurrentDirectory current;
  const gs::MenuSave menu;
  const gs::WidgetScope scope;
  const gs::ScrollBarScope bars;
  Tool t;
  t.file_mode = file_mode;
  t.max_prompt = max_prompt;
  t.num_prompt = num_prompt;
  t.prompt = prompt;
  t.help = help.first(static_cast<std::size_t>(num_help));
  t.view.extension = io::trimmed(extension).empty() ? gs::all_permitted : io::trimmed(extension);
  gs::MacroTurn turn;
  if (turn.replaying() && macro_file(t, turn, current, file_name, cancelled, status)) {
    return gs::note_failure(id_select, status);
  }
  start(t, file_name, current, status);
  list(t, status);
  const gs::SelectionLayout& l = t.layout;
  // Prompts, warnings and questions of the tool take its lower strip.
  GS_SET_GUIREGION(gs::Box{l.region.xmin, l.region.ymin, l.region.xmax, l.name_field.ymax}, status);
  for (Next next = Next::draw; status == io::status_good && next != Next::end;) {
    if (next == Next::draw) draw(t, status);
    int type = vg::event_none;
    float x = 0.0f, y = 0.0f;
    gs::wait_event(type, x, y, status);
    if (status != io::status_good) break;
    next = on_event(t, type, x, y, status);
    if (next == Next::choose) next = choose(t, file_name, cancelled, status);
  }
  extension = t.view.extension;
  // A cancel is kept as the user escape, which the macro gives back as one.
  if (status == io::status_good) turn.record(file_item(t), cancelled ? "\\\\" : file_name, status);
  if (status != io::status_good && !gs::passed_up(status)) {
    io::say("WARNING: Problem in file selection widget, bad internal error status");
    ST_SAVE(id_select);
  }
}

void GS_FILESELECTION(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                      int max_help, int num_help, std::span<const std::string> help, int file_mode,
                      int option, std::string& extension, std::string& file_name, int& status) {
  bool cancelled = false;
  GS_FILESELECTION(max_prompt, num_prompt, prompt, max_help, num_help, help, file_mode, option,
                   extension, file_name, cancelled, status);
}

// Internal services of the form and the file selection tool: their layouts
// as pure functions, the display texts of form entries, the resolution of
// typed file names and the fixed help texts. Not part of the public API.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "gs.h"

namespace gs {

// --- Forms
// The form in its region (width W, height H; mx = W/150, my = H/150).
struct FormLayout {
  Box region;
  Box title, controls, prompt;                    // full-width strips
  Box head_description, head_value, head_change;  // the column headers
  std::vector<Box> description, value, change;    // per entry, shrunk by my/3
};
FormLayout form_layout(const Box& region, int num_entries);

// The display text of one entry (at most 45 characters).
std::string form_display(int type, int integer_value, bool logical_value, float real_value,
                         const std::string& text_value, int& status);
// `text` in lines of at most `width` characters, at most `max_lines` of them:
// word by word, or, with `keep_end`, cut into pieces of the width so that the
// end of the text is always shown.
std::vector<std::string> form_wrap(const std::string& text, int width, int max_lines,
                                   bool keep_end);
// The alternatives of a menu-choice entry (blank pieces left out).
std::vector<std::string> menu_alternatives(const std::string& text);
// The 94 lines of the fixed help of forms.
std::span<const char* const> form_help_text();

// --- File selection
// The tool in its region: title, directory line, the two lists with their
// headers and scroll bars, the UP DIR and UPDATE buttons, the typed-name
// field, the selected-name line and the command menu; `rows` is the number of
// list rows that show.
struct SelectionLayout {
  Box region;
  Box title, directory;
  Box dirs_head, dirs, dirs_bar;
  Box files_head, files, files_bar;
  Box up, update, name_field, selected, commands;
  float row_height = 0.0f, text_height = 0.0f;
  int rows = 1;
  int dir_characters = 10, file_characters = 10;  // characters of a row that fit
};
SelectionLayout selection_layout(const Box& region, float sample_width);

// The stores of the tool's lists (gs::max_listed_* by default).
struct ListStores {
  std::size_t directories = max_listed_directories;
  std::size_t directory_characters = max_listed_directory_characters;
  std::size_t files = max_listed_files;
};
// Cuts the lists of a directory to what the stores hold (the first names,
// in order) and returns the console lines that say what did not fit: the
// directories' warning with "Too many directories" or "List of names too
// long", the files' warning.
std::vector<std::string> stored(std::vector<std::string>& directories,
                                std::vector<std::string>& files, const ListStores& stores);

// A name typed in the tool as a full path: "~" and "~user" translated, a
// relative name taken from `directory`, "." and ".." resolved. retstat 0; 1
// the path cannot be parsed (empty, or an unknown user).
std::string typed_path(const std::string& directory, const std::string& typed, int& retstat);
// `text` cut to `characters`: its start and "..." (or, with `keep_end`,
// "..." and its end) when it is longer.
std::string fitted(const std::string& text, int characters, bool keep_end);
// `text` cut to `characters` for a list row: its start, "..." and its end
// (the larger part) when it is longer.
std::string middle_fitted(const std::string& text, int characters);
// The list row under a point of a list box, 0 when none: row 1 at the top,
// `first` the item shown there, `count` items.
int list_item(const Box& list, float row_height, int first, int count, float x, float y);
// Opens the tool on `file_name`'s directory (as GS_FILESELECTION does) and
// draws its first screen; `view` returns what it shows.
void selection_first_screen(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                            const std::string& file_name, SelectionView& view, int& status);
// The lines of the fixed help of the tool.
std::span<const char* const> fileselect_help_text();

}  // namespace gs

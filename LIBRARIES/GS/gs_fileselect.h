// gslib, the file selection tool: the sub-directories and files of a
// directory side by side, climbing and descending, narrowing the list by
// extension or name pattern, a typed name, and the confirmation of the
// choice.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "gs_setup.h"

namespace gs {

// File modes of GS_FILESELECTION.
inline constexpr int select_input = 1;   // the file must exist
inline constexpr int select_output = 3;  // the file must not exist yet

// The texts of the extension choice and the name pattern that select every
// file, and of the selected name before one is chosen.
inline constexpr const char* all_permitted = "<ALL PERMITTED>";
inline constexpr const char* no_filtering = "<NO FILTERING>";
inline constexpr const char* no_file_selected = "(No file selected)";

// The stores of the listing: names of any length; past these counts (and
// past the characters that the sub-directories' names may take in all) the
// listing warning is given and the first names (in order) are kept.
inline constexpr int max_listed_files = 100000;
inline constexpr int max_listed_directories = 10000;
inline constexpr int max_listed_directory_characters = 100 * max_listed_directories;

// What the tool shows: the listed directory, its sub-directories and
// selected files (in order), the first item shown of each list (from 1), the
// selected name and the filters.
struct SelectionView {
  std::string directory;
  std::vector<std::string> directories, files;
  int first_directory = 1, first_file = 1;
  std::string selected = no_file_selected;
  int selected_item = 0;  // the selected file's row in `files` (0: none listed)
  std::string extension = all_permitted, pattern = no_filtering;
};

}  // namespace gs

// The tool, in the whole message region. `file_mode` gs::select_input or
// gs::select_output (other values: no existence check); `option` is not
// used. `extension` is the extension choice ("<ALL PERMITTED>" or an
// extension without its dot), and returns the last one used. It opens in the
// directory of `file_name` when that exists, with that name as the selection;
// otherwise in the current directory. On O.K. `file_name` returns the full
// path of the chosen file; CANCEL leaves it unchanged (`cancelled` tells
// which). The current directory of the process is the same afterwards.
void GS_FILESELECTION(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                      int max_help, int num_help, std::span<const std::string> help, int file_mode,
                      int option, std::string& extension, std::string& file_name, bool& cancelled,
                      int& status);
void GS_FILESELECTION(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                      int max_help, int num_help, std::span<const std::string> help, int file_mode,
                      int option, std::string& extension, std::string& file_name, int& status);

// Draws the whole tool: title, directory line, both lists with their scroll
// bars, buttons, name field, selected name and command menu (the active
// menu afterwards).
void GS_DRAW_SELECTION(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                       const gs::SelectionView& view, int& status);
// Draws the list of sub-directories and its scroll bar (bar 1).
void GS_DRAW_SLIST(const gs::SelectionView& view, int& status);
// Draws the list of files and its scroll bar (bar 2).
void GS_DRAW_LIST(const gs::SelectionView& view, int& status);
// Splits a chosen path into directory and name, joining a name without a
// directory to `directory`: `path` returns the full path.
void GS_SUBFILE(const std::string& directory, const std::string& name, std::string& path,
                int& status);
// The fixed help text of the tool, in a message box.
void GS_HELPFILESELECT(int& status);

// Directory listing, name lists and wild-card matching, and moving between
// directories.
//
// A name list is the caller's character area holding the names back to back
// and a table of start positions counted from 1: name k occupies positions
// positions[k-1] to positions[k]-1, and positions[num_names] marks the end.
#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io.h"
#include "io_internal.h"

namespace {

constexpr char separator = '/';

// `text` without the trailing characters that are not significant (blank,
// carriage return, line feed, tab, NUL).
std::string_view significant(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0) {
    const char c = text[n - 1];
    if (c != ' ' && c != '\r' && c != '\n' && c != '\t' && c != '\0') break;
    --n;
  }
  return text.substr(0, n);
}

// Wild-card match. The pattern is cut at each "*" into literal pieces: the
// first piece must open the text, each middle piece is taken at its leftmost
// occurrence after the piece before it, and the last piece must close the
// text without overlapping what the others used.
bool wild_match(std::string_view text, std::string_view pattern) {
  const std::size_t first_star = pattern.find('*');
  if (first_star == std::string_view::npos) return text == pattern;

  const std::string_view first = pattern.substr(0, first_star);
  if (text.substr(0, first.size()) != first) return false;
  std::size_t used = first.size();

  const std::size_t last_star = pattern.rfind('*');
  std::size_t piece_start = first_star + 1;
  while (piece_start <= last_star) {
    const std::size_t piece_end = pattern.find('*', piece_start);
    const std::string_view piece = pattern.substr(piece_start, piece_end - piece_start);
    if (!piece.empty()) {
      const std::size_t found = text.find(piece, used);
      if (found == std::string_view::npos) return false;
      used = found + piece.size();
    }
    piece_start = piece_end + 1;
  }

  const std::string_view last = pattern.substr(last_star + 1);
  if (last.size() > text.size() - used) return false;
  return text.substr(text.size() - last.size()) == last;
}

// Type code of a file name, from its extension (the text after the last "."
// of the last component, a leading "." not counting), in any case.
int file_type_of(std::string_view file_name) {
  file_name = significant(file_name);
  const std::size_t slash = file_name.rfind(separator);
  const std::string_view base =
      slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
  const std::size_t dot = base.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return io::file_type_other;
  std::string extension(base.substr(dot + 1));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  static const char* const tiff[] = {"tif", "tiff", "mccd", "gel"};
  static const char* const image[] = {"final",   "corr",    "cor2",   "bin", "cor",     "bsl",
                                      "dxm",     "zdf",     "image",  "inf", "info",    "img",
                                      "vxl",     "pck",     "pmi",    "spe", "mar1200", "mar1600",
                                      "mar2000", "mar2300", "mar3450"};
  static const char* const postscript[] = {"ps", "eps"};
  static const char* const text[] = {"txt", "def", "log"};
  const auto in = [&extension](const auto& table) {
    return std::any_of(std::begin(table), std::end(table),
                       [&extension](const char* e) { return extension == e; });
  };
  if (in(tiff)) return io::file_type_tiff;
  if (in(image)) return io::file_type_image;
  if (in(postscript)) return io::file_type_postscript;
  if (in(text)) return io::file_type_text;
  return io::file_type_other;
}

// Checks that num_names and the position table describe names lying inside
// the area; sets status (io::status_bad_count for a count out of range,
// io::status_bad_text for positions that do not fit the area) and records `ident` when they do not.
bool check_list(int num_names, std::span<const int> positions, const std::string& names,
                const char* ident, int& status) {
  if (num_names < 0 || positions.size() < static_cast<std::size_t>(num_names) + 1) {
    status = io::status_bad_count;
    ST_SAVE(ident);
    return false;
  }
  const long long area_end = static_cast<long long>(names.size()) + 1;
  bool ok = positions[0] >= 1;
  for (int k = 1; ok && k <= num_names; ++k) ok = positions[k] >= positions[k - 1];
  ok = ok && positions[static_cast<std::size_t>(num_names)] <= area_end;
  if (!ok) {
    status = io::status_bad_text;
    ST_SAVE(ident);
  }
  return ok;
}

// Removes from a checked list the names for which keep(name) is false,
// keeping the order of the others; the kept names move to the start of the
// list's part of the area.
template <typename Keep>
void keep_names(int& num_names, std::span<int> positions, std::string& names, Keep keep) {
  std::size_t write = static_cast<std::size_t>(positions[0]) - 1;
  std::size_t start = write;
  int kept = 0;
  for (int k = 1; k <= num_names; ++k) {
    const std::size_t end = static_cast<std::size_t>(positions[k]) - 1;
    const std::size_t length = end - start;
    if (keep(std::string_view(names).substr(start, length))) {
      if (write != start) std::memmove(&names[write], &names[start], length);
      write += length;
      ++kept;
      positions[kept] = static_cast<int>(write) + 1;
    }
    start = end;
  }
  num_names = kept;
}

// A list that cannot be held: the console line, the status and `ident`.
void no_memory(const char* what, const char* ident, int& status) {
  io::say(std::string("ERROR: Failed to allocate memory for ") + what);
  status = io::status_no_memory;
  ST_SAVE(ident);
}

// Byte order of unsigned character codes; a name comes before any longer
// name that begins with it.
bool byte_less(std::string_view x, std::string_view y) {
  const int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
  return c != 0 ? c < 0 : x.size() < y.size();
}

// The significant part of the pattern of IO_FILESMATCH; empty, with
// io::status_bad_text and `ident` recorded, when there is none.
std::string_view wanted_pattern(const std::string& pattern, const char* ident, int& status) {
  const std::string_view wanted = significant(pattern);
  if (wanted.empty()) {
    status = io::status_bad_text;
    ST_SAVE(ident);
  }
  return wanted;
}

// The filters of IO_FILESMATCH and IO_FILESTYPE, for both forms of a list.
// Each name is matched as IO_STRINGMATCH matches it, except that a name with
// no significant character is simply matched rather than failing the whole
// list.
auto matching(std::string_view wanted) {
  return [wanted](std::string_view name) { return wild_match(significant(name), wanted); };
}
auto of_type(int file_type) {
  return [file_type](std::string_view name) { return file_type_of(name) == file_type; };
}

// Removes from a vector list the names for which keep(name) is false,
// keeping the order of the others.
template <typename Keep>
void keep_names(std::vector<std::string>& names, Keep keep) {
  std::erase_if(names, [&keep](const std::string& name) { return !keep(name); });
}

// `path` made absolute and without "." or ".." components or repeated
// separators; ".." at the root stays at the root.
std::string normalised(const std::string& path) {
  std::vector<std::string_view> parts;
  std::string_view rest(path);
  while (!rest.empty()) {
    const std::size_t slash = rest.find(separator);
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  if (parts.empty()) return std::string(1, separator);
  std::string result;
  for (const std::string_view part : parts) {
    result += separator;
    result += part;
  }
  return result;
}

}  // namespace

namespace io {

std::string list_name(int k, std::span<const int> positions, const std::string& names) {
  if (k < 1 || static_cast<std::size_t>(k) >= positions.size()) return {};
  const int start = positions[static_cast<std::size_t>(k) - 1];
  const int end = positions[static_cast<std::size_t>(k)];
  if (start < 1 || end < start || static_cast<std::size_t>(end) > names.size() + 1) return {};
  return names.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(end - start));
}

}  // namespace io

void IO_DIRECTORY(bool directories, int max_names, int& retstat, int& num_names,
                  std::span<int> positions, const std::string& directory, std::string& names,
                  int& status) {
  static const char* const ident = "Subroutine IO_DIRECTORY V0.3 ";
  if (!io::entry_ok(status, ident)) return;
  if (max_names < 0 || positions.size() < static_cast<std::size_t>(max_names) + 1) {
    status = io::status_bad_count;
    ST_SAVE(ident);
    return;
  }
  const std::string name = io::trimmed(directory);
  if (name.empty()) {
    // A system without drive letters has no drive roots to list.
    retstat = 0;
    num_names = 0;
    positions[0] = 1;
    return;
  }
  IO_DIRECTORYC(directories, max_names, retstat, num_names, positions, name, names, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void IO_DIRECTORY(bool directories, int& retstat, const std::string& directory,
                  std::vector<std::string>& names, int& status) {
  static const char* const ident = "Subroutine IO_DIRECTORY V0.3 ";
  if (!io::entry_ok(status, ident)) return;
  names.clear();
  retstat = 0;
  const std::string name = io::trimmed(directory);
  if (name.empty()) return;  // no drive roots to list
  try {
    const bool readable = io::read_directory(name, directories, [&names](std::string_view entry) {
      names.emplace_back(entry);
      return true;
    });
    if (!readable) retstat = 1;
  } catch (const std::exception&) {
    // No memory for the names (bad_alloc, or length_error beyond what a
    // vector may hold).
    std::vector<std::string>().swap(names);
    no_memory("the list of names", ident, status);
  }
}

void IO_LISTFILES(const std::string& directory, const std::string& pattern, int file_type,
                  int max_names, int& retstat, int& num_names, std::span<int> positions,
                  std::string& names, int& status) {
  static const char* const ident = "Subroutine IO_LISTFILES V0.2 ";
  if (!io::entry_ok(status, ident)) return;
  // The lists that overflowed (2, 3) are still filtered and sorted: the
  // names listed so far are usable.
  IO_DIRECTORY(false, max_names, retstat, num_names, positions, directory, names, status);
  IO_FILESMATCH(pattern, num_names, positions, names, status);
  IO_FILESTYPE(file_type, num_names, positions, names, status);
  IO_FILESORDER(num_names, positions, names, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void IO_LISTFILES(const std::string& directory, const std::string& pattern, int file_type,
                  int& retstat, std::vector<std::string>& names, int& status) {
  static const char* const ident = "Subroutine IO_LISTFILES V0.2 ";
  if (!io::entry_ok(status, ident)) return;
  IO_DIRECTORY(false, retstat, directory, names, status);
  IO_FILESMATCH(pattern, names, status);
  IO_FILESTYPE(file_type, names, status);
  IO_FILESORDER(names, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void IO_LISTENTRIES(const std::string& directory, const std::string& pattern, int& retstat,
                    std::vector<std::string>& directories, std::vector<std::string>& files,
                    int& status) {
  static const char* const ident = "Subroutine IO_LISTENTRIES V0.1 ";
  if (!io::entry_ok(status, ident)) return;
  directories.clear();
  files.clear();
  retstat = 0;
  const std::string name = io::trimmed(directory);
  if (name.empty()) return;
  try {
    const bool readable = io::read_entries(name, [&](std::string_view entry, bool is_dir) {
      (is_dir ? directories : files).emplace_back(entry);
      return true;
    });
    if (!readable) retstat = 1;
  } catch (const std::exception&) {
    std::vector<std::string>().swap(directories);
    std::vector<std::string>().swap(files);
    no_memory("the list of names", ident, status);
    return;
  }
  IO_FILESMATCH(pattern, files, status);
  IO_FILESORDER(directories, status);
  IO_FILESORDER(files, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void IO_FILESMATCH(const std::string& pattern, int& num_names, std::span<int> positions,
                   std::string& names, int& status) {
  static const char* const ident = "Subroutine IO_FILESMATCH V0.2 ";
  if (!io::entry_ok(status, ident)) return;
  const std::string_view wanted = wanted_pattern(pattern, ident, status);
  if (wanted.empty() || !check_list(num_names, positions, names, ident, status)) return;
  keep_names(num_names, positions, names, matching(wanted));
}

void IO_FILESMATCH(const std::string& pattern, std::vector<std::string>& names, int& status) {
  static const char* const ident = "Subroutine IO_FILESMATCH V0.2 ";
  if (!io::entry_ok(status, ident)) return;
  const std::string_view wanted = wanted_pattern(pattern, ident, status);
  if (!wanted.empty()) keep_names(names, matching(wanted));
}

void IO_FILETYPE(const std::string& file_name, int& file_type, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_FILETYPE V0.1 ")) return;
  file_type = file_type_of(file_name);
}

void IO_FILESTYPE(int file_type, int& num_names, std::span<int> positions, std::string& names,
                  int& status) {
  static const char* const ident = "Subroutine IO_FILESTYPE V0.1 ";
  if (!io::entry_ok(status, ident)) return;
  if (!check_list(num_names, positions, names, ident, status)) return;
  if (file_type != io::file_type_any) keep_names(num_names, positions, names, of_type(file_type));
}

void IO_FILESTYPE(int file_type, std::vector<std::string>& names, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_FILESTYPE V0.1 ")) return;
  if (file_type != io::file_type_any) keep_names(names, of_type(file_type));
}

void IO_FILESORDER(int num_names, std::span<int> positions, std::string& names, int& status) {
  static const char* const ident = "Subroutine IO_FILESORDER V0.3 ";
  if (!io::entry_ok(status, ident)) return;
  if (!check_list(num_names, positions, names, ident, status)) return;
  if (num_names < 2) return;

  const std::size_t base = static_cast<std::size_t>(positions[0]) - 1;
  const std::size_t end =
      static_cast<std::size_t>(positions[static_cast<std::size_t>(num_names)]) - 1;
  try {
    std::vector<int> order(static_cast<std::size_t>(num_names));
    for (int k = 0; k < num_names; ++k) order[static_cast<std::size_t>(k)] = k;
    const auto name = [&](int k) {
      const std::size_t start = static_cast<std::size_t>(positions[k]) - 1;
      const std::size_t stop = static_cast<std::size_t>(positions[k + 1]) - 1;
      return std::string_view(names).substr(start, stop - start);
    };
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return byte_less(name(a), name(b)); });

    std::string sorted;
    sorted.reserve(end - base);
    std::vector<int> starts(static_cast<std::size_t>(num_names));
    for (int k = 0; k < num_names; ++k) {
      starts[static_cast<std::size_t>(k)] = static_cast<int>(base + sorted.size()) + 1;
      sorted += name(order[static_cast<std::size_t>(k)]);
    }
    names.replace(base, sorted.size(), sorted);
    std::copy(starts.begin(), starts.end(), positions.begin());
  } catch (const std::bad_alloc&) {
    no_memory("sorting the list of names", ident, status);
  }
}

void IO_FILESORDER(std::vector<std::string>& names, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_FILESORDER V0.3 ")) return;
  // Sorting moves the names; it takes no memory of its own worth failing on.
  std::sort(names.begin(), names.end(),
            [](const std::string& x, const std::string& y) { return byte_less(x, y); });
}

void IO_STRINGMATCH(const std::string& text, const std::string& pattern, bool& match, int& status) {
  static const char* const ident = "Subroutine IO_STRINGMATCH V0.2 ";
  if (!io::entry_ok(status, ident)) return;
  const std::string_view t = significant(text);
  const std::string_view p = significant(pattern);
  if (t.empty() || p.empty()) {
    status = io::status_bad_text;
    ST_SAVE(ident);
    return;
  }
  match = wild_match(t, p);
}

void IO_CHANGEDIR(std::string& directory, const std::string& selected, int& retstat, int& status) {
  static const char* const ident = "Subroutine IO_CHANGEDIR V0.3 ";
  if (!io::entry_ok(status, ident)) return;
  // An absolute selection stands alone; a relative one (".." included) is
  // taken from `directory`, itself taken from the current directory when it
  // is relative or empty.
  const std::string choice = io::trimmed(selected);
  std::string path;
  if (!choice.empty() && choice[0] == separator) {
    path = choice;
  } else {
    std::string from = io::trimmed(directory);
    if (from.empty() || from[0] != separator) {
      std::string current;
      IO_GETCWD(current, status);
      if (status != io::status_good) {
        ST_SAVE(ident);
        return;
      }
      from = from.empty() ? current : current + separator + from;
    }
    path = from + separator + choice;
  }
  path = normalised(path);
  if (!io::change_directory(path)) {
    retstat = 1;
    return;
  }
  directory = path;
  retstat = 0;
}

void IO_UP_DIRECTORY(std::string& directory, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_UP_DIRECTORY V0.2 ")) return;
  std::string name = io::trimmed(directory);
  while (name.size() > 1 && name.back() == separator) name.pop_back();
  const int last = IO_LASTOCCURENCE(name, separator);
  if (last < 1 || name == "/") return;  // no component to remove
  name.resize(last == 1 ? 1 : static_cast<std::size_t>(last) - 1);
  directory = name;
  // Every routine here works from the directory name, so a parent that
  // cannot be entered shows itself when it is listed.
  io::change_directory(directory);
}

int IO_LASTOCCURENCE(const std::string& text, char character) {
  for (int i = SLEN(text); i >= 1; --i) {
    if (text[static_cast<std::size_t>(i) - 1] == character) return i;
  }
  return -1;
}

// The key/value defaults database: remembered answers stored under keys for
// the run, loaded from and saved to a text file between runs.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "io.h"
#include "io_internal.h"

namespace {

constexpr std::size_t max_entries = 200;
// The entry text holds 8000 characters; an entry may not make it reach the last.
constexpr long long area_size = 8000;
// Entries are read back through a work area of this size (key, blank, value).
constexpr std::size_t work_size = 256;
constexpr std::size_t key_width = 32;
// Widths of the key and value areas used by the load and the save.
constexpr std::size_t file_key_width = 80;
constexpr std::size_t file_value_width = 256;
// Typed values are held as texts of this width.
constexpr std::size_t typed_width = 20;

const char* const header1 = "DATABASE DEFAULT VALUES FILE";
const char* const header2 = "!!! DO NOT ALTER YOURSELF !!!";

// Entries ("key value") in the order in which they were last set, and the
// first free position of the entry text (counted from 1).
std::vector<std::string> entries;
long long first_free = 1;

// The key and the value of an entry as they come back through the work area.
void split(const std::string& entry, std::string& key, std::string& value) {
  const std::string work = entry.substr(0, work_size);
  const std::size_t blank = work.find(' ');
  key = work.substr(0, blank);
  value = blank == std::string::npos ? "" : work.substr(blank + 1);
}

// Index of the entry whose key is `key`, or -1. A stored key ends at the
// first blank of its entry; keys longer than 32 characters never match.
int find(const std::string& key) {
  const std::string wanted = io::trimmed(key);
  if (wanted.size() > key_width) return -1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string stored;
    std::string value;
    split(entries[i], stored, value);
    if (stored.size() <= key_width && stored == wanted) return static_cast<int>(i);
  }
  return -1;
}

// Stores `key` with the first `value_length` characters of `value` (blank
// padded when `value` is shorter) at the end, in place of its old entry;
// retstat 1 when there is no room even without the old entry, which then
// stays as it was.
void set_entry(const std::string& key, int value_length, const std::string& value, int& retstat) {
  const std::string stored_key = io::trimmed(key);
  const long long length = value_length > 0 ? value_length : 0;
  const long long entry_length = static_cast<long long>(stored_key.size()) + length + 1;
  const int old = find(key);
  const std::size_t count = entries.size() - (old >= 0 ? 1 : 0);
  const long long old_length = old >= 0 ? static_cast<long long>(entries[old].size()) : 0;
  const long long free_after = first_free - old_length;
  if (count >= max_entries || free_after + entry_length >= area_size) {
    retstat = 1;
    return;
  }
  if (old >= 0) entries.erase(entries.begin() + old);
  first_free = free_after;
  std::string text = value.substr(0, static_cast<std::size_t>(length));
  text.resize(static_cast<std::size_t>(length), ' ');
  entries.push_back(stored_key + " " + text);
  first_free += entry_length;
}

// The text of a typed value: the stored text cut to the typed width.
bool inquire_typed(const std::string& key, std::string& text, int& retstat, int& status) {
  int length = 0;
  std::string value;
  int found = 2;
  IO_INQ_KEYVALUE(key, length, value, found, status);
  if (found != 0) {
    retstat = found;
    return false;
  }
  text = value.substr(0, typed_width);
  return true;
}

// A typed inquiry: the stored text converted by `convert` (IO_TOKTI,
// IO_TOKTR); retstat 3, with `value` unchanged, when it holds no such value.
template <typename T>
void inquire_converted(const std::string& key, T& value, int& retstat, int& status,
                       void (*convert)(const std::string&, bool&, T&, int&)) {
  std::string text;
  if (!inquire_typed(key, text, retstat, status)) return;
  bool valid = false;
  T result{};
  convert(text, valid, result, status);
  if (!valid) {
    retstat = 3;
    return;
  }
  value = result;
  retstat = 0;
}

void set_typed(const std::string& key, const std::string& text, int& retstat, int& status) {
  const std::string cut = text.substr(0, typed_width);
  IO_SET_KEYVALUE(key, SLEN(cut), cut, retstat, status);
}

// A line of the file may not break a key or a value in two.
std::string one_line(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

// The defaults files that the load refused (their names as given and as
// the save would replace them): the save leaves them as they are, so that a
// file that is not ours, or that could not be read, is never lost.
std::vector<std::string> refused_files;

bool refused(const std::string& path) {
  const std::string target = io::replacement_target(path);
  return std::any_of(refused_files.begin(), refused_files.end(),
                     [&](const std::string& f) { return f == path || f == target; });
}

void accept(const std::string& path) {
  const std::string target = io::replacement_target(path);
  std::erase_if(refused_files, [&](const std::string& f) { return f == path || f == target; });
}

void refuse(const std::string& path, const std::string& reason) {
  io::say("WARNING: The defaults file " + path + " is not loaded: " + reason);
  io::say("         It is left as it is, and the answers of this run are not saved.");
  accept(path);
  refused_files.push_back(path);
  refused_files.push_back(io::replacement_target(path));
}

void not_saved(const std::string& path, const std::string& reason) {
  io::say("WARNING: The defaults file " + path + " is not saved: " + reason);
}

}  // namespace

namespace io {
void clear_database() {
  entries.clear();
  first_free = 1;
  refused_files.clear();
}
}  // namespace io

void IO_ACCESS_DATABASE(int mode, std::string& key, int& value_length, std::string& value,
                        int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_ACCESS_DATABASE V0.3 ")) return;
  if (mode == 0) {
    set_entry(key, value_length, value, retstat);
    return;
  }
  int index = -1;
  if (mode == 1) {
    index = find(key);
  } else if (mode < 0) {
    const long long n = -static_cast<long long>(mode);
    index = n <= static_cast<long long>(entries.size()) ? static_cast<int>(n - 1) : -1;
  } else {
    return;
  }
  if (index < 0) {
    retstat = 2;
    return;
  }
  std::string stored_key;
  split(entries[index], stored_key, value);
  value_length = static_cast<int>(value.size());
  if (mode < 0) key = stored_key;
  retstat = 0;
}

void IO_SET_KEYVALUE(const std::string& key, int value_length, const std::string& value,
                     int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_SET_KEYVALUE V0.2 ")) return;
  std::string key_text = key;
  int length = value_length;
  std::string value_text = value;
  IO_ACCESS_DATABASE(0, key_text, length, value_text, retstat, status);
}

void IO_INQ_KEYVALUE(const std::string& key, int& value_length, std::string& value, int& retstat,
                     int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INQ_KEYVALUE V0.2 ")) return;
  std::string key_text = key;
  IO_ACCESS_DATABASE(1, key_text, value_length, value, retstat, status);
}

void IO_SET_IKEYVALUE(const std::string& key, int value, int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_SET_IKEYVALUE V0.1 ")) return;
  std::string text;
  IO_ITOC(value, text);
  set_typed(key, text, retstat, status);
}

void IO_INQ_IKEYVALUE(const std::string& key, int& value, int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INQ_IKEYVALUE V0.1 ")) return;
  inquire_converted(key, value, retstat, status, IO_TOKTI);
}

void IO_SET_RKEYVALUE(const std::string& key, float value, int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_SET_RKEYVALUE V0.1 ")) return;
  std::string text;
  IO_RTOC(value, text);
  set_typed(key, text, retstat, status);
}

void IO_INQ_RKEYVALUE(const std::string& key, float& value, int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INQ_RKEYVALUE V0.1 ")) return;
  inquire_converted(key, value, retstat, status, IO_TOKTR);
}

void IO_SET_LKEYVALUE(const std::string& key, bool value, int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_SET_LKEYVALUE V0.1 ")) return;
  set_typed(key, value ? "TRUE" : "FALSE", retstat, status);
}

void IO_INQ_LKEYVALUE(const std::string& key, bool& value, int& retstat, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INQ_LKEYVALUE V0.1 ")) return;
  std::string text;
  if (!inquire_typed(key, text, retstat, status)) return;
  const std::string word = io::trimmed(text);
  if (word == "TRUE") {
    value = true;
  } else if (word == "FALSE") {
    value = false;
  } else {
    retstat = 3;
    return;
  }
  retstat = 0;
}

void IO_LOAD_DATABASE(const std::string& file_name, int& retstat, int& status) {
  static const char* const ident = "Subroutine IO_LOAD_DATABASE V0.3 ";
  if (!io::entry_ok(status, ident)) return;
  retstat = -1;
  std::string path;
  const bool translated = io::translated_path(file_name, path, ident, status);
  const int unit = io::free_unit();
  if (!translated || unit == 0) return;
  std::string reason;
  const io::ReadOpen opened = io::open_regular_unit(unit, path, reason);
  if (opened == io::ReadOpen::missing) return;  // a first run: nothing to load
  if (opened == io::ReadOpen::refused) {
    refuse(path, reason);
    return;
  }
  // The first line says whether the file is ours; the second is not looked
  // at. An empty file holds nothing to lose.
  std::string line;
  if (io::read_unit_line(unit, line, file_value_width)) {
    if (io::trimmed(line) != header1) {
      IO_CLOSE_ASCIIFILE(unit, status);
      refuse(path, std::string("its first line is not \"") + header1 + "\"");
      return;
    }
    io::read_unit_line(unit, line, file_value_width);
  }
  accept(path);
  retstat = 0;
  for (;;) {
    std::string key;
    std::string value;
    // A key without its value line is ignored.
    if (!io::read_unit_line(unit, key, file_key_width) ||
        !io::read_unit_line(unit, value, file_value_width)) {
      break;
    }
    int room = 0;
    IO_SET_KEYVALUE(key, SLEN(value), value, room, status);
    if (room == 1) retstat = 1;
  }
  IO_CLOSE_ASCIIFILE(unit, status);
  if (status != io::status_good) ST_SAVE(ident);
}

// The new file is written beside the old one under a temporary name and only
// takes the old one's place once it is complete and closed without error, so
// a failed save leaves the previous file as it was.
namespace {

// The header lines and every entry but those held for this run only, onto
// an open unit: 0, or the system's error number of the first write that
// failed.
int write_entries(int unit, int& status) {
  int error = io::write_unit_line(unit, header1);
  if (error == 0) error = io::write_unit_line(unit, header2);
  for (int n = 1; error == 0; ++n) {
    std::string key;
    int value_length = 0;
    std::string value;
    int found = 2;
    IO_ACCESS_DATABASE(-n, key, value_length, value, found, status);
    if (found != 0) break;
    key = io::trimmed(key.substr(0, file_key_width));
    if (!key.empty() && key[0] == '#') continue;  // held for this run only
    error = io::write_unit_line(unit, one_line(key));
    if (error == 0) {
      error = io::write_unit_line(unit, one_line(value.substr(0, file_value_width)));
    }
  }
  return error;
}

}  // namespace

void IO_SAVE_DATABASE(const std::string& file_name, int& retstat, int& status) {
  static const char* const ident = "Subroutine IO_SAVE_DATABASE V0.2 ";
  if (!io::entry_ok(status, ident)) return;
  retstat = 0;
  std::string path;
  const bool translated = io::translated_path(file_name, path, ident, status);
  if (status != io::status_good) return;
  if (translated && refused(path)) {
    not_saved(path, "it was not loaded at the start");
    retstat = -1;
    return;
  }
  const int unit = io::free_unit();
  const std::string target = io::replacement_target(path);
  std::string temp_name;
  std::string reason = !translated ? "its name cannot be translated"
                       : unit == 0 ? "no input/output unit is free"
                                   : io::not_regular_problem(target);
  if (reason.empty()) {
    if (const int error = io::open_temp_unit(unit, target, temp_name); error != 0) {
      reason = std::strerror(error);
    }
  }
  if (!reason.empty()) {
    char line[64];
    std::snprintf(line, sizeof line, "IO_OPEN_ASCIIFILE retstat = %6d", 1);
    IO_WRITE(line, status);
    not_saved(translated ? path : io::trimmed(file_name), reason);
    retstat = -1;
    return;
  }

  int error = write_entries(unit, status);
  if (error != 0) {
    io::discard_temp_unit(unit, temp_name);
  } else {
    error = io::commit_temp_unit(unit, temp_name, target);
  }
  if (error != 0) {
    io::report_write_failure(error);
    not_saved(path, std::strerror(error));
    retstat = -1;
  }
}

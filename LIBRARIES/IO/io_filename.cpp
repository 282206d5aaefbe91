// File names: numbered file series, building and stepping names of a series,
// splitting names into directory, base and extension, and joining texts.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "io.h"
#include "io_internal.h"

namespace {

bool digit(char c) {
  return c >= '0' && c <= '9';
}

// The directory separator of the running system.
char separator() {
  int status = io::status_good;
  std::string os_name;
  std::string machine_name;
  IO_SYSTEM_NAME(os_name, machine_name, status);
  return os_name == "WINDOWS-NT" ? '\\' : '/';
}

// Position (0-based) where the last component of `name` starts: just after
// the last separator, or 0 when there is none.
std::size_t last_component(const std::string& name) {
  const std::size_t at = name.rfind(separator());
  return at == std::string::npos ? 0 : at + 1;
}

// Position (0-based) of the "." that starts the extension of `name`, or npos.
// Only the last component counts, so a dot in a directory name
// ("/data.v2/scan") is never taken for an extension.
std::size_t extension_dot(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot < last_component(name)) return std::string::npos;
  return dot;
}

// `digits`-wide zero-filled text of `value`; the sign, if any, comes first.
std::string zero_filled(int value, std::size_t digits) {
  std::string text;
  IO_ITOC(value, text);
  const bool negative = !text.empty() && text[0] == '-';
  std::string magnitude = negative ? text.substr(1) : text;
  const std::size_t width = negative && digits > 0 ? digits - 1 : digits;
  if (magnitude.size() < width) magnitude.insert(0, width - magnitude.size(), '0');
  return negative ? "-" + magnitude : magnitude;
}

// Joins the texts, each up to its significant length; the status
// io::status_string_too_short when the result does not fit in `result_width`
// characters.
void concat(std::initializer_list<const std::string*> texts, int result_width, std::string& result,
            int& status, const char* ident) {
  if (!io::entry_ok(status, ident)) return;
  std::string joined;
  for (const std::string* text : texts) joined += io::trimmed(*text);
  if (result_width < 0 || joined.size() > static_cast<std::size_t>(result_width)) {
    status = io::status_string_too_short;
    ST_SAVE(ident);
    return;
  }
  result = joined;
}

}  // namespace

namespace {

// The lengths of the common head (p) and tail (s) of two different names,
// less the digits that belong to the number between them. The common head
// and tail may overlap in the shorter name (im1.tif and im11.tif, or one
// name a leading part of the other): the tail then gives way to the head,
// so that neither name has characters counted twice. Leading digits of the
// tail and trailing digits of the head belong to the number; the first
// character always stays in the head.
void common_ends(const std::string& first, const std::string& last, int& p, int& s) {
  const int l1 = static_cast<int>(first.size());
  const int l2 = static_cast<int>(last.size());
  const int shorter = l1 < l2 ? l1 : l2;
  s = 0;
  while (s < shorter && first[l1 - 1 - s] == last[l2 - 1 - s]) ++s;
  if (p + s > shorter) s = shorter - p;
  while (s > 0 && digit(first[l1 - s])) --s;
  while (p > 1 && digit(first[p - 1]) && digit(last[p - 1])) --p;
}

// The series of the names `first` and `last` (significant texts, neither
// empty) as the derivation finds it; false when their numbers are not
// integers. Nothing is checked yet of whether the series rebuilds the names.
bool derive_series(const std::string& first, const std::string& last, io::FileSeries& series) {
  const int l1 = static_cast<int>(first.size());
  const int l2 = static_cast<int>(last.size());
  // Equal leading characters, over the shorter name.
  const int shorter = l1 < l2 ? l1 : l2;
  int p = 0;
  while (p < shorter && first[p] == last[p]) ++p;
  if (p == shorter && l1 == l2) {
    // One file: the name before its first "." and the rest.
    const std::size_t dot = first.find('.');
    series = io::FileSeries{};
    series.prefix = first.substr(0, dot);
    series.extension = dot == std::string::npos ? "" : first.substr(dot);
    series.first = series.last = series.step = 1;
    return true;
  }
  int s = 0;
  common_ends(first, last, p, s);
  const std::string first_number = first.substr(p, l1 - s - p);
  const std::string last_number = last.substr(p, l2 - s - p);
  int status = io::status_good;
  bool valid = false;
  int first_value = 0;
  int last_value = 0;
  IO_TOKTI(first_number, valid, first_value, status);
  if (!valid) return false;
  IO_TOKTI(last_number, valid, last_value, status);
  if (!valid) return false;
  const std::string tail = first.substr(l1 - s);
  const std::size_t dot = tail.find('.');
  series.prefix = first.substr(0, p);
  series.first = first_value;
  series.last = last_value;
  series.step = first_value > last_value ? -1 : 1;
  series.variable = SLEN(first_number) != SLEN(last_number);
  series.digits = series.variable ? 0 : SLEN(first_number);
  series.postfix = tail.substr(0, dot);
  series.extension = dot == std::string::npos ? "" : tail.substr(dot);
  return true;
}

// Name `number` of the series; empty when the number does not fit its width.
std::string series_name(const io::FileSeries& series, int number) {
  int status = io::status_good;
  int retstat = -1;
  std::string name;
  IO_FILENAME(series.prefix, number, !series.variable, series.digits,
              series.postfix + series.extension, retstat, name, status);
  return retstat == 0 ? name : std::string();
}

}  // namespace

// A series is given only when it names both files again: numbers that are
// not integers, or a split that cannot rebuild the two names (10.tif and
// 100.tif give the prefix "1" and the numbers 0 and 0; run01 and run1 have
// no common number width), give retstat -1. Identical names are a series of
// one file, split at the first ".".
void IO_FILESEQUENCE(const std::string& first_name, const std::string& last_name, int& retstat,
                     io::FileSeries& series, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_FILESEQUENCE V0.5 ")) return;
  const std::string first = io::trimmed(first_name);
  const std::string last = io::trimmed(last_name);
  retstat = -1;
  io::FileSeries found;
  if (first.empty() || last.empty() || !derive_series(first, last, found)) return;
  if (series_name(found, found.first) != first || series_name(found, found.last) != last) {
    return;
  }
  series = found;
  retstat = 0;
}

void IO_FILESEQUENCE(const std::string& first_name, const std::string& last_name, int& retstat,
                     int& start, int& end, int& step, std::string& prefix, bool& variable,
                     int& digits, std::string& postfix, std::string& extension, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_FILESEQUENCE V0.5 ")) return;
  io::FileSeries series;
  IO_FILESEQUENCE(first_name, last_name, retstat, series, status);
  if (retstat != 0) return;
  start = series.first;
  end = series.last;
  step = series.step;
  prefix = series.prefix;
  variable = series.variable;
  digits = series.digits;
  postfix = series.postfix;
  extension = series.extension;
}

void IO_FILENAME(const std::string& prefix, int number, bool fixed, int digits,
                 const std::string& postfix, int& retstat, std::string& file_name, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_FILENAME V0.3 ")) return;
  std::string number_text;
  if (!fixed) {
    IO_ITOC(number, number_text);
  } else if (digits > 0) {
    IO_ITOC(number, number_text);
    if (number_text.size() > static_cast<std::size_t>(digits)) {
      retstat = -1;
      return;
    }
    number_text = zero_filled(number, static_cast<std::size_t>(digits));
  }
  file_name = io::trimmed(prefix) + number_text + io::trimmed(postfix);
  retstat = 0;
}

namespace {

// The last run of digits of a base name stepped by `increment`, zero-filled
// to the run's width when the run was (it is longer than its value needs):
// 0 with the new number text, 3 when the name has no digit, 4 when the run
// is no integer or the stepped value is not one. run_start and run_end
// bound the run.
int stepped_run(const std::string& base, int increment, std::size_t& run_start,
                std::size_t& run_end, std::string& number_text, int& status) {
  run_end = base.size();
  while (run_end > 0 && !digit(base[run_end - 1])) --run_end;
  if (run_end == 0) return 3;
  run_start = run_end;
  while (run_start > 0 && digit(base[run_start - 1])) --run_start;
  const std::string run = base.substr(run_start, run_end - run_start);
  bool valid = false;
  int value = 0;
  IO_TOKTI(run, valid, value, status);
  if (!valid) return 4;
  std::string value_text;
  IO_ITOC(value, value_text);
  const bool zero_fill = run.size() > value_text.size();
  const long long stepped = static_cast<long long>(value) + increment;
  if (stepped > INT32_MAX || stepped < INT32_MIN) return 4;
  if (zero_fill) {
    number_text = zero_filled(static_cast<int>(stepped), run.size());
  } else {
    IO_ITOC(static_cast<int>(stepped), number_text);
  }
  return 0;
}

}  // namespace

void IO_NEWFILENAME(const std::string& file_name, int increment, int& retstat,
                    std::string& new_file_name, int& status) {
  static const char* const ident = "Subroutine IO_NEWFILENAME V0.4 ";
  if (!io::entry_ok(status, ident)) return;
  const std::string name = io::trimmed(file_name);
  std::string directory;
  std::string base;
  std::string extension;
  IO_DIRPATH(name, directory, status);
  IO_BASENAME(name, base, status);
  IO_EXTENSION(name, extension, status);
  if (status != io::status_good) {
    ST_SAVE(ident);
    return;
  }
  if (base.size() < 2) {
    retstat = 2;
    return;
  }
  std::size_t run_start = 0, run_end = 0;
  std::string number_text;
  retstat = stepped_run(base, increment, run_start, run_end, number_text, status);
  if (retstat != 0) return;
  std::string result;
  if (name.find(separator()) != std::string::npos) result = directory + separator();
  result += base.substr(0, run_start) + number_text + base.substr(run_end);
  if (extension_dot(name) != std::string::npos) result += "." + extension;
  new_file_name = result;
}

void IO_EXTENSION(const std::string& file_name, std::string& extension, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_EXTENSION V0.2 ")) return;
  const std::string name = io::trimmed(file_name);
  const std::size_t dot = extension_dot(name);
  extension = dot == std::string::npos ? "" : name.substr(dot + 1);
}

void IO_NOEXTENSION(const std::string& file_name, std::string& result, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_NOEXTENSION V0.2 ")) return;
  const std::string name = io::trimmed(file_name);
  result = name.substr(0, extension_dot(name));
}

void IO_DIRPATH(const std::string& file_name, std::string& directory, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_DIRPATH V0.2 ")) return;
  const std::string name = io::trimmed(file_name);
  const std::size_t at = last_component(name);
  directory = at == 0 ? "" : name.substr(0, at - 1);
}

void IO_NODIRPATH(const std::string& file_name, std::string& result, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_NODIRPATH V0.2 ")) return;
  const std::string name = io::trimmed(file_name);
  result = name.substr(last_component(name));
}

void IO_BASENAME(const std::string& file_name, std::string& result, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_BASENAME V0.1 ")) return;
  std::string no_directory;
  IO_NODIRPATH(file_name, no_directory, status);
  IO_NOEXTENSION(no_directory, result, status);
}

void IO_CONCAT2(const std::string& text1, const std::string& text2, int result_width,
                std::string& result, int& status) {
  concat({&text1, &text2}, result_width, result, status, "Subroutine IO_CONCAT2 V0.1 ");
}

void IO_CONCATC2(const std::string& text1, const std::string& text2, int result_width,
                 std::string& result, int& status) {
  concat({&text1, &text2}, result_width, result, status, "Subroutine IO_CONCATC2 V0.1 ");
}

void IO_CONCATC3(const std::string& text1, const std::string& text2, const std::string& text3,
                 int result_width, std::string& result, int& status) {
  concat({&text1, &text2, &text3}, result_width, result, status, "Subroutine IO_CONCATC3 V0.1 ");
}

void IO_CONCATC4(const std::string& text1, const std::string& text2, const std::string& text3,
                 const std::string& text4, int result_width, std::string& result, int& status) {
  concat({&text1, &text2, &text3, &text4}, result_width, result, status,
         "Subroutine IO_CONCATC4 V0.1 ");
}

void IO_CONCATC5(const std::string& text1, const std::string& text2, const std::string& text3,
                 const std::string& text4, const std::string& text5, int result_width,
                 std::string& result, int& status) {
  concat({&text1, &text2, &text3, &text4, &text5}, result_width, result, status,
         "Subroutine IO_CONCATC5 V0.1 ");
}

// Status values, the error-position record and the status report.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "io.h"
#include "io_internal.h"

namespace {

// The error-position record: the identification text of the first routine
// that noticed a bad status since the record was last cleared.
std::string error_position(io::title_width, ' ');

// Set at start; the first ST_DEF_SYSTEM initialises the I/O services.
bool first_call = true;

bool blank(const std::string& text) {
  return SLEN(text) == 0;
}

const char* module_description(int module) {
  switch (module) {
    case 1:
      return "IO: Input/Output and Status";
    case 2:
      return "MA: Mathematics";
    case 13:
      return "VG: \"Vellum Graphics\"";
    case 14:
      return "GS: \"Graphics System\"";
    case 18:
      return "FIO: File Input/Output Module";
    case 998:
      return "SPECIAL: using standard status values";
    case 999:
      return "SPECIAL: using non-standard status values";
    default:
      return "UNKNOWN:";
  }
}

// Classification lines of codes 1 to 40: four dimensions for each kind.
const char* const dimension_words[4] = {"First", "Second", "Third", "Fourth or greater"};

// What each kind of codes 1 to 40 says after its dimension word.
const char* const kind_texts[10] = {
    " array dimension illegally defined",
    " dimension data region illegally defined",
    " dimension internal array limit exceeded",
    " dimension: illegal relationship between two variables",
    " dimension: integer value out of acceptable range",
    " dimension: real value out of acceptable range",
    " dimension: number of elements is not a power of two",
    " dimension: a value which must be even is not",
    " dimension: badly defined character variable",
    " dimension external array limit exceeded",
};

// The classification lines of the other codes.
struct Classified {
  int code;
  const char* text;
};
constexpr Classified other_codes[] = {
    {1000, "Failed to open file: (file not found or bad file name ?)"},
    {1001, "Bad input: End of file found"},
    {1002, "Bad memory allocation: Memory allocation failed"},
    {1003, "Divide by zero encountered: result set to -1.7014117e38"},
    {1004, "Logarithm of zero or a negative number: result set to -38.0"},
    {1005, "Bad data in file input"},
    {1006, "Inversion (or similar) failed owing to singular or ill-conditioned matrix"},
    {1007, "Operation not possible owing to bad internal state (internal data-base)"},
    {1008, "Bad input: Error during READ statement"},
    {1009, "Unknown operating system/compiler characteristics (edit and re-compile)"},
    {1010, "Write to output file failed"},
    {1011, "Read from file failed (but not EOF)"},
    {1012, "Array element values not in required order"},
    {1013, "Syntax error from an input macro"},
    {1014, "Bad data has caused problem with algorithm"},
    {1015, "String of insufficient length for assignment"},
    {2001, "Failed to open X-11 window (use \"xhost+\" on X-server ?)"},
    {2002, "Illegal graphics workstation number access attempted"},
    {9999, "Other, undefined error (doesn't fit normal categories)"},
};

std::string classification(int code, bool& known) {
  known = true;
  if (code >= 1 && code <= 40) {
    const int kind = (code - 1) / 4;
    const int dim = (code - 1) % 4;
    std::string who = dimension_words[dim];
    // The fourth row of some kinds has always read "Fourth of greater".
    if (dim == 3 && (kind == 3 || kind == 6 || kind == 7 || kind == 8)) who = "Fourth of greater";
    return who + kind_texts[kind];
  }
  for (const Classified& c : other_codes) {
    if (c.code == code) return c.text;
  }
  known = false;
  return "Undefined error value";
}

}  // namespace

int ST_GOOD() {
  return io::status_good;
}

void ST_DEF_SYSTEM(int& status) {
  status = io::status_good;
  error_position.assign(io::title_width, ' ');
  if (first_call) {
    first_call = false;
    IO_DEF_SYSTEM(status);
  }
}

void ST_SAVE(const std::string& identification) {
  if (blank(error_position)) error_position = io::fixed_width(identification, io::title_width);
}

void ST_INQ_SAVE(std::string& identification) {
  identification = error_position;
}

int ST_ERRORCODE(int status) {
  if (status == io::status_good || status == io::status_escape ||
      status == io::status_to_graphics) {
    return status;
  }
  // |status| mod st::module_scale, without overflowing on the most negative value.
  return static_cast<int>(std::llabs(static_cast<long long>(status)) % st::module_scale);
}

void ST_OUT(int status) {
  if (status == io::status_good) {
    if (blank(error_position)) return;
    io::say(" ");
    io::say("STATUS: The \"status\" value appears to be good, but an error position has");
    io::say("been reported in:");
    io::say(error_position);
    io::say("This is probably due to incorrect calling arguments");
    return;
  }
  if (status == io::status_escape) {
    io::say(" ");
    io::say("STATUS: The \"status\" value is set to the user escape value");
    return;
  }
  const int module = status / st::module_scale;  // truncated towards zero
  const int code = static_cast<int>(std::llabs(static_cast<long long>(status)) % st::module_scale);
  io::say(" ");
  io::say("STATUS: The error was identified in module:");
  io::say(module_description(module));
  io::say(" ");
  io::say("STATUS: Position where error condition was identified");
  io::say(error_position);
  bool known = false;
  const std::string line = classification(code, known);
  if (!known) {
    char value[32];
    std::snprintf(value, sizeof value, "%14d", status);
    io::say(std::string("WARNING: Unknown value for the status variable; value = ") + value);
  }
  io::say(" ");
  io::say("STATUS: The error condition has been classified as:");
  io::say(line);
}

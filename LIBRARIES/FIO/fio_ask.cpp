// The places where image input asks the user: the choice of the file, the
// region and re-binning form of the TIFF reader, the layout form of the raw
// binary reader. Each asks in the window when it is open, else on the
// console: the file selection tool and forms in the window, prompts one
// after the other on the console.
#include <array>
#include <climits>
#include <memory>
#include <vector>

#include "fio_internal.h"
#include "gs.h"

namespace fio {

namespace {

constexpr std::array<const char*, 10> region_help{
    "This form allows you to specify the size and position of",
    "the part of the image to input, and the factors by which",
    "it is re-binned. X-START and X-END are the first and last",
    "columns, Y-START and Y-END the first and last rows, counted",
    "from 1. A re-bin factor of 2 adds each 2 pixels (2 by 2",
    "when both factors are 2) into one output pixel; pixels of",
    "an incomplete bin at the end of the region are left out.",
    "The region after re-binning must fit the program's arrays.",
    "Click on the value to change, or \"O.K.\" when the values",
    "are as you want them.",
};

}  // namespace

bool ask_integer(const std::string& prompt, int low, int high, std::span<const std::string> help,
                 const std::string& error, int& value, int& status) {
  const std::array<std::string, 1> errors{error};
  const int n = static_cast<int>(help.size());
  if (window_open()) {
    GS_INPI(true, low, high, true, prompt, n, help, 1, errors, value, status);
    return status == io::status_good;
  }
  IO_INPI(true, low, high, true, prompt, n, help, 1, errors, value, status);
  if (status == io::status_escape) {
    ST_DEF_SYSTEM(status);
    return false;
  }
  return status == io::status_good;
}

namespace {

bool ask_logical(const std::string& prompt, std::span<const std::string> help, bool& value,
                 int& status) {
  const int n = static_cast<int>(help.size());
  if (window_open()) {
    GS_INPL(prompt, n, help, value, status);
    return status == io::status_good;
  }
  const std::array<std::string, 1> errors{"Enter YES or NO"};
  IO_INPL(true, prompt, n, help, 1, errors, value, status);
  if (status == io::status_escape) {
    ST_DEF_SYSTEM(status);
    return false;
  }
  return status == io::status_good;
}

}  // namespace

void select_file(int max_prompt, int num_prompt, std::span<const std::string> prompt, int max_help,
                 int num_help, std::span<const std::string> help, int file_mode, int option,
                 std::string& extension, std::string& file_name, int& retstat, int& status) {
  constexpr const char* id = "Subroutine FIO_GUI_INPUT V0.44 ";
  if (!io::entry_ok(status, id)) return;
  const std::span<const std::string> help_lines =
      help.first(std::min(help.size(), static_cast<std::size_t>(std::max(num_help, 0))));
  retstat = input_cancelled;
  if (window_open()) {
    bool cancelled = true;
    GS_FILESELECTION(max_prompt, num_prompt, prompt, max_help, static_cast<int>(help_lines.size()),
                     help_lines, file_mode, option, extension, file_name, cancelled, status);
    if (status == io::status_good && !cancelled) retstat = input_done;
    return;
  }
  const std::string question =
      num_prompt >= 1 && !prompt.empty() ? io::trimmed(prompt[0]) : std::string("FILE NAME");
  for (;;) {
    std::string name = io::trimmed(file_name);
    const std::array<std::string, 1> error{"Enter the name of an existing file"};
    IO_INPC(true, "FILE NAME", question, static_cast<int>(help_lines.size()), help_lines, 1, error,
            name, status);
    if (status == io::status_escape) {
      ST_DEF_SYSTEM(status);
      return;
    }
    if (status != io::status_good) return;
    name = io::stripped(name);
    if (name.empty()) return;
    if (file_mode == 1 && !file_exists(name)) {
      warn({" !!! FILE DOES NOT EXIST !!!"}, status);
      if (status != io::status_good) return;
      file_name = name;
      continue;
    }
    file_name = name;
    retstat = input_done;
    return;
  }
}

namespace {

// One entry of a form of integers and logicals.
struct FormEntry {
  const char* label;
  const char* description;
  int low, high;  // integer entries
  int* integer;   // the value of an integer entry, or null
  bool* logical;  // the value of a logical entry, or null
};

// The entries in a form in the window: values change in place only when the
// form ends with O.K.; false when it was cancelled.
bool window_form(const std::string& title, std::span<const std::string> help,
                 std::span<const FormEntry> entries, int& status) {
  const std::size_t n = entries.size();
  std::vector<std::string> labels(n + gs::form_controls), descriptions, explanations(n + 5),
      texts(n);
  std::vector<int> types, ints;
  std::vector<std::array<int, 2>> ibounds;
  std::vector<std::array<float, 2>> rbounds(n);
  std::vector<float> reals(n);
  const std::unique_ptr<bool[]> ranges(new bool[n]()), logicals(new bool[n]());
  for (std::size_t k = 0; k < n; ++k) {
    const FormEntry& e = entries[k];
    labels[k] = e.label;
    descriptions.emplace_back(e.description);
    explanations[k] = std::string(e.label) + ": " + e.description;
    types.push_back(e.integer != nullptr ? gs::form_integer : gs::form_logical);
    ranges[k] = e.integer != nullptr;
    ibounds.push_back({e.low, e.high});
    ints.push_back(e.integer != nullptr ? *e.integer : 0);
    logicals[k] = e.logical != nullptr && *e.logical;
  }
  const std::array<std::string, 1> titles{title};
  bool cancelled = false;
  GS_FORM(1, 1, titles, std::max(static_cast<int>(help.size()), 1), static_cast<int>(help.size()),
          help, static_cast<int>(n) + gs::form_controls, static_cast<int>(n), labels, types,
          descriptions, explanations, std::span<const bool>(ranges.get(), n), ibounds, rbounds,
          ints, std::span<bool>(logicals.get(), n), reals, texts, cancelled, status);
  if (status != io::status_good || cancelled) return false;
  for (std::size_t k = 0; k < n; ++k) {
    if (entries[k].integer != nullptr) *entries[k].integer = ints[k];
    if (entries[k].logical != nullptr) *entries[k].logical = logicals[k];
  }
  return true;
}

}  // namespace

std::string region_problem(const Region& region, int xmaxdat, int ymaxdat) {
  const Region& r = region;
  if (r.x2 < r.x1 || r.y2 < r.y1 || r.xbin < 1 || r.ybin < 1 || binned(r.x1, r.x2, r.xbin) < 1 ||
      binned(r.y1, r.y2, r.ybin) < 1) {
    return "INPUT REGION IMPOSSIBLY DEFINED";
  }
  if (binned(r.x1, r.x2, r.xbin) > xmaxdat || binned(r.y1, r.y2, r.ybin) > ymaxdat) {
    return "INPUT REGION TOO LARGE FOR ARRAYS";
  }
  return "";
}

namespace {

// The region form in the window, shown again after the warning of a region
// that cannot be used; false when the user cancelled it.
bool region_form(int width, int height, int xmaxdat, int ymaxdat, Region& region, int& status) {
  const std::vector<std::string> help(region_help.begin(), region_help.end());
  const int w = std::max(width, 1), h = std::max(height, 1);
  const std::array<FormEntry, 6> entries{{
      {"X-START", "LEFT-HAND PIXEL INPUT LIMIT", 1, w, &region.x1, nullptr},
      {"Y-START", "LOWER PIXEL INPUT LIMIT", 1, h, &region.y1, nullptr},
      {"X-END", "RIGHT-HAND PIXEL INPUT LIMIT", 1, w, &region.x2, nullptr},
      {"Y-END", "UPPER PIXEL INPUT LIMIT", 1, h, &region.y2, nullptr},
      {"X RE-BIN", "HORIZONTAL RE-BIN FACTOR", 1, w, &region.xbin, nullptr},
      {"Y RE-BIN", "VERTICAL RE-BIN FACTOR", 1, h, &region.ybin, nullptr},
  }};
  for (;;) {
    if (!window_form("INPUT REGION AND RE-BIN FACTOR FORM", help, entries, status)) return false;
    const std::string problem = region_problem(region, xmaxdat, ymaxdat);
    if (problem.empty()) return true;
    warn({problem}, status);
    if (status != io::status_good) return true;
  }
}

// The same questions on the console, one after the other; false when the
// user left one.
bool region_questions(int width, int height, int xmaxdat, int ymaxdat, Region& region,
                      int& status) {
  const std::vector<std::string> help(region_help.begin(), region_help.end());
  struct Field {
    const char* prompt;
    int* value;
    int high;
  };
  const Field fields[] = {
      {"LEFT-HAND PIXEL INPUT LIMIT", &region.x1, width},
      {"LOWER PIXEL INPUT LIMIT", &region.y1, height},
      {"RIGHT-HAND PIXEL INPUT LIMIT", &region.x2, width},
      {"UPPER PIXEL INPUT LIMIT", &region.y2, height},
      {"HORIZONTAL RE-BIN FACTOR", &region.xbin, width},
      {"VERTICAL RE-BIN FACTOR", &region.ybin, height},
  };
  io::say("INPUT REGION AND RE-BIN FACTOR FORM");
  for (;;) {
    for (const Field& f : fields) {
      if (!ask_integer(f.prompt, 1, std::max(f.high, 1), help,
                       "Enter integer value within given range", *f.value, status)) {
        return false;
      }
    }
    const std::string problem = region_problem(region, xmaxdat, ymaxdat);
    if (problem.empty()) return true;
    warn({problem}, status);
    if (status != io::status_good) return true;
  }
}

}  // namespace

void input_region(int width, int height, int xmaxdat, int ymaxdat, Region& region, bool& cancelled,
                  int& status) {
  constexpr const char* id = "Subroutine FIO_IN_IQ V0.7 ";
  if (!io::entry_ok(status, id)) return;
  if (window_open()) {
    cancelled =
        !region_form(width, height, xmaxdat, ymaxdat, region, status) && status == io::status_good;
  } else {
    cancelled = !region_questions(width, height, xmaxdat, ymaxdat, region, status);
  }
}

void input_binary_layout(const std::string& file_name, BinaryLayout& layout, bool& cancelled,
                         int& status) {
  constexpr const char* id = "Subroutine FIO_IN_BINARY V0.2 ";
  if (!io::entry_ok(status, id)) return;
  cancelled = true;
  const std::vector<std::string> help{
      "The layout of the raw binary file " + io::trimmed(file_name) + ":",
      "the pixels per stored row and the stored rows, the bytes to",
      "skip before the first pixel (a header), the stored type of",
      "each pixel, the byte order and the order of the rows.",
      "Stored types: 1 INT8, 2 UINT8, 3 INT16, 4 UINT16, 5 INT32,",
      "6 UINT32, 7 REAL32, 8 REAL64 (IEEE reals).",
      "A header file of the data file's name followed by \".info\"",
      "gives the same items without this form.",
  };
  int skip = static_cast<int>(std::min<std::int64_t>(layout.skip, INT_MAX));
  int type = layout.type;
  if (window_open()) {
    const std::array<FormEntry, 6> entries{{
        {"ROW LENGTH", "PIXELS PER STORED ROW", 1, INT_MAX, &layout.width, nullptr},
        {"ROWS", "NUMBER OF STORED ROWS", 1, INT_MAX, &layout.height, nullptr},
        {"SKIP BYTES", "BYTES TO SKIP BEFORE THE DATA", 0, INT_MAX, &skip, nullptr},
        {"STORED TYPE", "STORED TYPE (1 TO 8, SEE HELP)", type_int8, type_real64, &type, nullptr},
        {"BYTE ORDER", "HIGH BYTE FIRST (BIG-ENDIAN)", 0, 0, nullptr, &layout.high_byte_first},
        {"ROW ORDER", "ROWS STORED TOP FIRST", 0, 0, nullptr, &layout.top_first},
    }};
    if (!window_form("BINARY FILE LAYOUT FORM", help, entries, status)) return;
    layout.skip = skip;
    layout.type = type;
    cancelled = false;
    return;
  }
  io::say("BINARY FILE LAYOUT FORM");
  const char* range = "Enter integer value within given range";
  if (!ask_integer("PIXELS PER STORED ROW", 1, INT_MAX, help, range, layout.width, status) ||
      !ask_integer("NUMBER OF STORED ROWS", 1, INT_MAX, help, range, layout.height, status) ||
      !ask_integer("BYTES TO SKIP BEFORE THE DATA", 0, INT_MAX, help, range, skip, status) ||
      !ask_integer("STORED TYPE (1 TO 8, SEE HELP)", type_int8, type_real64, help, range, type,
                   status) ||
      !ask_logical("HIGH BYTE FIRST (BIG-ENDIAN) ?", help, layout.high_byte_first, status) ||
      !ask_logical("ROWS STORED TOP FIRST ?", help, layout.top_first, status)) {
    return;
  }
  layout.skip = skip;
  layout.type = type;
  cancelled = false;
}

}  // namespace fio

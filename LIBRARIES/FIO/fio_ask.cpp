// The places where image input asks the user: the choice of the file, the
// region and re-binning form of the TIFF reader, the layout form of the raw
// binary reader. Each asks in the window when it is open, else on the
// console. The file choice and the two forms are stand-ins, each in one
// function, for the file selection tool and the form widget.
#include <array>
#include <climits>

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

void select_file(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                 int max_help, int num_help, std::span<const std::string> help, int file_mode,
                 int option, std::string& extension, std::string& file_name, int& retstat,
                 int& status) {
  constexpr const char* id = "Subroutine FIO_GUI_INPUT V0.44 ";
  if (!entry_ok(status, id)) return;
  // Stand-in for the file selection tool: the extension choice and the
  // second option only matter to the tool's listing.
  static_cast<void>(max_prompt);
  static_cast<void>(max_help);
  static_cast<void>(option);
  static_cast<void>(extension);
  const std::string question =
      num_prompt >= 1 && !prompt.empty() ? trimmed(prompt[0]) : std::string("FILE NAME");
  const std::span<const std::string> help_lines =
      help.first(std::min(help.size(), static_cast<std::size_t>(std::max(num_help, 0))));
  retstat = input_cancelled;
  for (;;) {
    std::string name = trimmed(file_name);
    if (window_open()) {
      GS_INPC(question, static_cast<int>(help_lines.size()), help_lines, name, name, status);
      if (status != io::status_good) return;
    } else {
      const std::array<std::string, 1> error{"Enter the name of an existing file"};
      IO_INPC(true, "FILE NAME", question, static_cast<int>(help_lines.size()), help_lines, 1,
              error, name, status);
      if (status == io::status_escape) {
        ST_DEF_SYSTEM(status);
        return;
      }
      if (status != io::status_good) return;
    }
    name = stripped(name);
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

std::string region_problem(const Region& region, int xmaxdat, int ymaxdat) {
  const Region& r = region;
  if (r.x2 < r.x1 || r.y2 < r.y1 || r.xbin < 1 || r.ybin < 1 ||
      binned(r.x1, r.x2, r.xbin) < 1 || binned(r.y1, r.y2, r.ybin) < 1) {
    return "INPUT REGION IMPOSSIBLY DEFINED";
  }
  if (binned(r.x1, r.x2, r.xbin) > xmaxdat || binned(r.y1, r.y2, r.ybin) > ymaxdat) {
    return "INPUT REGION TOO LARGE FOR ARRAYS";
  }
  return "";
}

void input_region(int width, int height, int xmaxdat, int ymaxdat, Region& region,
                  bool& cancelled, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_IQ V0.7 ";
  if (!entry_ok(status, id)) return;
  cancelled = false;
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
  if (!window_open()) console("INPUT REGION AND RE-BIN FACTOR FORM");
  for (;;) {
    for (const Field& f : fields) {
      if (!ask_integer(f.prompt, 1, std::max(f.high, 1), help,
                       "Enter integer value within given range", *f.value, status)) {
        cancelled = true;
        return;
      }
    }
    const std::string problem = region_problem(region, xmaxdat, ymaxdat);
    if (problem.empty()) return;
    warn({problem}, status);
    if (status != io::status_good) return;
  }
}

void input_binary_layout(const std::string& file_name, BinaryLayout& layout, bool& cancelled,
                         int& status) {
  constexpr const char* id = "Subroutine FIO_IN_BINARY V0.2 ";
  if (!entry_ok(status, id)) return;
  cancelled = true;
  const std::vector<std::string> help{
      "The layout of the raw binary file " + trimmed(file_name) + ":",
      "the pixels per stored row and the stored rows, the bytes to",
      "skip before the first pixel (a header), the stored type of",
      "each pixel, the byte order and the order of the rows.",
      "Stored types: 1 INT8, 2 UINT8, 3 INT16, 4 UINT16, 5 INT32,",
      "6 UINT32, 7 REAL32, 8 REAL64 (IEEE reals).",
      "A header file of the data file's name followed by \".info\"",
      "gives the same items without this form.",
  };
  if (!window_open()) console("BINARY FILE LAYOUT FORM");
  int skip = static_cast<int>(std::min<std::int64_t>(layout.skip, INT_MAX));
  int type = layout.type;
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

// The console pager for help texts.
#include <algorithm>
#include <span>
#include <string>

#include "io.h"
#include "io_console.h"
#include "io_internal.h"

namespace {
constexpr int terminal_page = 20;
int page_setting = 0;
}  // namespace

namespace io {
void set_pager_page_length(int lines) {
  page_setting = lines;
}
}  // namespace io

// Writes the lines a page at a time when the console is a terminal: after
// each full page the user presses RETURN for the next page or types Q to
// leave the rest unseen. The end of the input also leaves the rest unseen.
void IO_TEXT(int num_lines, std::span<const std::string> lines, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_TEXT V0.2 ")) return;
  const std::size_t count =
      num_lines < 1 ? 0 : std::min(lines.size(), static_cast<std::size_t>(num_lines));
  int page = page_setting;
  if (page == 0) {
    page =
        io::standard_input_is_terminal() && io::standard_output_is_terminal() ? terminal_page : -1;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (page > 0 && i > 0 && i % static_cast<std::size_t>(page) == 0) {
      IO_WRITENA("--More-- (RETURN for more, Q to quit)", status);
      std::string answer;
      if (!io::console_line(answer)) return;
      const std::size_t first = answer.find_first_not_of(" \t");
      if (first != std::string::npos &&
          (answer[first] == 'Q' || answer[first] == 'q' || answer[first] == '\\')) {
        return;
      }
    }
    IO_WRITE(lines[i], status);
  }
}

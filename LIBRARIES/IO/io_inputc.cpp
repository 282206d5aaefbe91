// Console input from standard input, and commands for the operating system.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "io.h"
#include "io_console.h"

namespace io {

bool standard_input_is_terminal() {
  return isatty(STDIN_FILENO) == 1;
}
bool standard_output_is_terminal() {
  return isatty(STDOUT_FILENO) == 1;
}

bool console_line(std::string& line) {
  std::string text;
  bool any = false;
  for (;;) {
    const int c = std::getc(stdin);
    if (c == EOF) {
      if (std::ferror(stdin) && errno == EINTR) {
        std::clearerr(stdin);
        continue;
      }
      break;
    }
    any = true;
    if (c == '\n') break;
    // Longer lines are cut: the rest up to the line end is read and dropped.
    if (text.size() < static_cast<std::size_t>(line_width)) text.push_back(static_cast<char>(c));
  }
  int good = status_good;
  if (!any) {
    IO_WRITE("", good);
    return false;
  }
  if (!text.empty() && text.back() == '\r') text.pop_back();
  // One blank parts the echo from the ":" of the prompt.
  if (!standard_input_is_terminal()) IO_WRITE(" " + text, good);
  line = text;
  return true;
}

int operating_system_command(const std::string& command) {
  std::fflush(nullptr);
  return std::system(command.c_str());
}

}  // namespace io

// The console menu.
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "io.h"
#include "io_console.h"
#include "io_internal.h"

namespace {

std::string upper_plain(const std::string& text) {
  return io::upper(io::stripped(text));
}

// The commands in columns, at most 78 characters a line.
void show_menu(std::span<const std::string> commands, int& status) {
  std::size_t width = 1;
  for (const std::string& command : commands) {
    width = std::max(width, upper_plain(command).size());
  }
  width += 3;
  const std::size_t per_line = std::max<std::size_t>(1, 78 / width);
  IO_WRITE(" ", status);
  std::string line;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    std::string entry = io::stripped(commands[i]);
    entry.resize(width, ' ');
    line += "   " + entry;
    if ((i + 1) % per_line == 0 || i + 1 == commands.size()) {
      IO_WRITE(line, status);
      line.clear();
    }
  }
  IO_WRITE(" ", status);
}

// What a typed word is to the menu: no command, more than one command, a
// request for help, or a command (its index in `chosen`). A word equal to a
// command chooses it even when longer commands begin with it; "HELP" is help
// unless it is a command.
enum class Match { none, ambiguous, help, chosen };

Match match_word(const std::string& word, const std::vector<std::string>& names,
                 std::size_t& chosen) {
  const auto exact = std::find(names.begin(), names.end(), word);
  if (word == "?" || (word == "HELP" && exact == names.end())) return Match::help;
  if (exact != names.end()) {
    chosen = static_cast<std::size_t>(exact - names.begin());
    return Match::chosen;
  }
  std::vector<std::size_t> matches;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].compare(0, word.size(), word) == 0) matches.push_back(i);
  }
  if (matches.size() != 1) return matches.empty() ? Match::none : Match::ambiguous;
  chosen = matches[0];
  return Match::chosen;
}

// A line beginning with "$": its rest handed to the operating system. False
// for any other line.
bool shell_escape(const std::string& line, int& status) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos || line[first] != '$') return false;
  io::clear_input_tokens();
  const std::string shell_command = io::stripped(line.substr(first + 1));
  IO_WRITE("INFO: Sending the command to the operating system", status);
  if (SLEN(shell_command) > 0) io::operating_system_command(shell_command);
  return true;
}

}  // namespace

// The user types a command word; a leading part of a command is enough when
// it belongs to that command only. "?" (or "HELP", unless that is a command)
// shows the help text. A line beginning with "$" is handed to the operating
// system.
void IO_MENU(int num_commands, std::span<const std::string> commands, int num_help,
             std::span<const std::string> help, const std::string& prompt, std::string& command,
             int& status) {
  static const char* const ident = "Subroutine IO_MENU V0.3 ";
  if (!io::entry_ok(status, ident)) return;
  if (num_commands < 1 || static_cast<std::size_t>(num_commands) > commands.size()) {
    return io::fail(io::status_bad_count, ident, status);
  }
  const std::span<const std::string> menu = commands.first(static_cast<std::size_t>(num_commands));
  const std::span<const std::string> help_lines =
      help.first(num_help < 1 ? 0 : std::min(help.size(), static_cast<std::size_t>(num_help)));
  std::vector<std::string> names;
  for (const std::string& entry : menu) names.push_back(upper_plain(entry));

  while (status == io::status_good) {
    show_menu(menu, status);
    IO_OUTPROMPT(prompt, "", "", status);
    std::string line;
    IO_INPUT_LINE("", line, status);
    if (status != io::status_good || shell_escape(line, status)) continue;
    int position = 1;
    bool found = false;
    std::string word;
    IO_TOKEN(line, position, found, word, status);
    if (!found) continue;
    std::size_t chosen = 0;
    switch (match_word(io::upper(word), names, chosen)) {
      case Match::help:
        IO_TEXT(static_cast<int>(help_lines.size()), help_lines, status);
        break;
      case Match::chosen:
        command = io::stripped(menu[chosen]);
        return;
      case Match::none:
        io::clear_input_tokens();
        IO_WRITE("WARNING: Entered text does not correspond to any of the available choices.",
                 status);
        IO_WRITE("Please enter a command from the menu.", status);
        break;
      case Match::ambiguous:
        io::clear_input_tokens();
        IO_WRITE("WARNING: Entered command is ambiguous. Please enter more letters.", status);
        break;
    }
  }
}

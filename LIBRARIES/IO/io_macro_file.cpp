// Reading a macro file: each line is sorted into a comment, a directive or
// an answer, and the file is checked whole before a line of it is run.
#include <string>
#include <vector>

#include "io.h"
#include "io_internal.h"
#include "io_macro.h"

namespace {

using io::MacroStatement;
using Kind = io::MacroStatement::Kind;

constexpr const char* end_line = "*** END OF MACRO FILE ***";

std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> words;
  int position = 1;
  for (;;) {
    bool found = false;
    std::string word;
    int good = io::status_good;
    IO_TOKEN(text, position, found, word, good);
    if (!found) return words;
    words.push_back(word);
  }
}

// Checks the "%" references of a line: each closed, each a valid name.
bool references_ok(const std::string& text, int line, int& status) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    const std::size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {
      io::macro_syntax_error(line, "a \"%\" without its closing \"%\"", status);
      return false;
    }
    const std::string name = text.substr(i + 1, close - i - 1);
    if (close > i + 1 && !io::macro_name_ok(name.substr(0, name.find(':')))) {
      io::macro_syntax_error(line, "bad variable name \"" + name + "\"", status);
      return false;
    }
    i = close;
  }
  return true;
}

// A line beginning with "%" whose first word holds no second "%".
bool parse_directive(const std::string& text, int line, MacroStatement& statement, int& status) {
  const std::vector<std::string> words = words_of(text);
  const std::string word = io::upper(words[0]);
  const std::string rest = io::stripped(text.substr(words[0].size()));
  if (word == "%SET") {
    const std::size_t equals = rest.find('=');
    const std::string name = io::upper(io::stripped(rest.substr(0, equals)));
    if (equals == std::string::npos || !io::macro_name_ok(name)) {
      io::macro_syntax_error(line, "%SET needs NAME=VALUE", status);
      return false;
    }
    statement.kind = Kind::set;
    statement.words = {name, io::stripped(rest.substr(equals + 1))};
  } else if (word == "%SLEEP" && words.size() == 2) {
    statement.kind = Kind::sleep;
    statement.words = {words[1]};
  } else {
    io::macro_syntax_error(line, "unknown directive " + words[0], status);
    return false;
  }
  return references_ok(statement.words.back(), line, status);
}

bool parse_loop(const std::vector<std::string>& words, int line, MacroStatement& statement,
                int& status) {
  const std::string name = words.size() > 1 ? io::upper(words[1]) : "";
  if (words.size() < 4 || words.size() > 5 || !io::macro_name_ok(name)) {
    io::macro_syntax_error(line, "DO needs NAME START END [STEP]", status);
    return false;
  }
  statement.kind = Kind::loop;
  statement.words = {name, words[2], words[3], words.size() == 5 ? words[4] : "1"};
  for (std::size_t i = 1; i < 4; ++i) {
    if (!references_ok(statement.words[i], line, status)) return false;
  }
  return true;
}

// Sorts one line; false for a comment (or an error).
bool parse_line(const std::string& raw, int line, MacroStatement& statement, int& status) {
  const std::string text = io::stripped(raw);
  statement.line = line;
  if (text.empty() || text[0] == '!') return false;
  const std::vector<std::string> words = words_of(text);
  const std::string word = io::upper(words[0]);
  if (text == end_line || (word == "END" && words.size() == 1)) {
    statement.kind = Kind::end;
  } else if (word == "ENDDO" && words.size() == 1) {
    statement.kind = Kind::end_loop;
  } else if (word == "DO") {
    return parse_loop(words, line, statement, status);
  } else if (text[0] == '%' && words[0].find('%', 1) == std::string::npos) {
    return parse_directive(text, line, statement, status);
  } else {
    statement.kind = Kind::answer;
    statement.words = {text};
    return references_ok(text, line, status);
  }
  return true;
}

// Pairs each DO with its ENDDO.
void pair_loops(std::vector<MacroStatement>& statements, int& status) {
  std::vector<std::size_t> open;
  for (std::size_t i = 0; i < statements.size() && status == io::status_good; ++i) {
    if (statements[i].kind == Kind::loop) {
      open.push_back(i);
      if (open.size() > io::max_macro_loops) {
        io::macro_syntax_error(statements[i].line, "DO loops nested too deep", status);
      }
    } else if (statements[i].kind == Kind::end_loop) {
      if (open.empty()) {
        io::macro_syntax_error(statements[i].line, "ENDDO without DO", status);
        return;
      }
      statements[i].partner = open.back();
      statements[open.back()].partner = i;
      open.pop_back();
    }
  }
  if (!open.empty() && status == io::status_good) {
    io::macro_syntax_error(statements[open.back()].line, "DO without ENDDO", status);
  }
}

// The lines of the file; false (with the console line) when it cannot be read.
bool read_lines(const std::string& file_name, std::vector<std::string>& lines, int& status) {
  const int unit = io::free_unit();
  std::string name = file_name;
  int retstat = 0;
  IO_OPEN_ASCIIFILE(false, "READ", unit, name, retstat, status);
  if (status != io::status_good || retstat != 0) {
    if (status == io::status_good) {
      io::say("ERROR: Cannot read the macro file " + io::trimmed(file_name));
      io::fail(io::status_open_failed, "Subroutine IO_OPEN_MACRO V0.1 ", status);
    }
    return false;
  }
  std::string line;
  for (IO_READ_ASCIIFILE(unit, line, retstat, status); retstat == 0;
       IO_READ_ASCIIFILE(unit, line, retstat, status)) {
    lines.push_back(line);
  }
  IO_CLOSE_ASCIIFILE(unit, status);
  return status == io::status_good;
}

}  // namespace

void IO_OPEN_MACRO(const std::string& file_name, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_OPEN_MACRO V0.1 ")) return;
  std::vector<std::string> lines;
  io::MacroState& state = io::macro_state();
  state.file = io::trimmed(file_name);
  if (!read_lines(file_name, lines, status)) return;
  std::vector<MacroStatement> statements;
  for (std::size_t i = 0; i < lines.size() && status == io::status_good; ++i) {
    MacroStatement statement;
    if (parse_line(lines[i], static_cast<int>(i) + 1, statement, status)) {
      statements.push_back(statement);
    }
  }
  pair_loops(statements, status);
  if (status != io::status_good) return;
  state.statements = std::move(statements);
  state.next = 0;
  state.loops.clear();
  state.pending = false;
  state.line = 0;
  state.replay = true;
}

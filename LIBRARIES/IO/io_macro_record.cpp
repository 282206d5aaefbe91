// Recording a macro: the answers of a run kept in memory, each with its item
// as a comment, and written as a macro file at the end of the run.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "io.h"
#include "io_internal.h"
#include "io_macro.h"

namespace {

// True when the answer, written as it stands, would be read as a comment,
// a directive or a keyword, or would lose blanks.
bool needs_quotes(const std::string& answer) {
  if (answer.empty() || answer != io::stripped(answer)) return true;
  const char first = answer[0];
  if (first == '!' || first == '%' || first == '"') return true;
  const std::string word = io::upper(answer.substr(0, answer.find(' ')));
  return word == "END" || word == "ENDDO" || word == "DO" || answer.find("***") == 0;
}

// Writes the lines into the file through a new file put in its place.
void write_macro(const std::string& file_name, const std::vector<std::string>& lines) {
  std::string path;
  int status = io::status_good;
  if (!io::translated_path(file_name, path, "Subroutine IO_END_RECORD V0.1 ", status)) return;
  const int unit = io::free_unit();
  std::string temp_name;
  int error = io::open_temp_unit(unit, path, temp_name);
  for (std::size_t i = 0; error == 0 && i < lines.size(); ++i) {
    error = io::write_unit_line(unit, lines[i]);
  }
  if (error != 0) {
    if (!temp_name.empty()) io::discard_temp_unit(unit, temp_name);
  } else {
    error = io::commit_temp_unit(unit, temp_name, path);
  }
  if (error == 0) {
    io::say("INFO: Macro recorded in " + path);
  } else {
    io::say("ERROR: The macro cannot be written to " + path + ": " + std::strerror(error));
  }
}

}  // namespace

namespace io {

std::string macro_line(const std::string& answer) {
  std::string line;
  for (char c : answer) {
    line.push_back(c);
    if (c == '%') line.push_back('%');
  }
  return needs_quotes(answer) ? "\"" + line + "\"" : line;
}

MacroAnswer::MacroAnswer() : outermost_(macro_state().depth == 0) {
  ++macro_state().depth;
}

MacroAnswer::~MacroAnswer() {
  --macro_state().depth;
}

void MacroAnswer::record(const std::string& item, const std::string& answer, int& status) {
  if (!entry_ok(status, "Subroutine MacroAnswer::record V0.1 ")) return;
  MacroState& state = macro_state();
  if (!outermost_ || !state.record) return;
  record_macro_line(item, macro_line(answer));
}

void record_macro_line(const std::string& item, const std::string& line) {
  std::vector<std::string>& recorded = macro_state().recorded;
  recorded.push_back("! " + stripped(item));
  recorded.push_back(line);
}

MacroStep::MacroStep() : mark_(macro_state().recorded.size()) {}

void MacroStep::retract() {
  std::vector<std::string>& recorded = macro_state().recorded;
  if (recorded.size() > mark_) recorded.resize(mark_);
}

void MacroStep::retract_last() {
  // An answer is two lines: the item's comment and the answer.
  std::vector<std::string>& recorded = macro_state().recorded;
  if (recorded.size() >= mark_ + 2) recorded.resize(recorded.size() - 2);
}

}  // namespace io

void IO_START_RECORD(const std::string& file_name, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_START_RECORD V0.1 ")) return;
  io::MacroState& state = io::macro_state();
  state.record = true;
  state.record_file = io::trimmed(file_name);
  state.recorded.clear();
}

void IO_END_RECORD(bool write, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_END_RECORD V0.1 ")) return;
  io::MacroState& state = io::macro_state();
  if (state.record_file.empty()) return;
  if (write) {
    std::vector<std::string> lines{
        "! Macro file: one answer a line; lines starting with \"!\" are comments"};
    lines.insert(lines.end(), state.recorded.begin(), state.recorded.end());
    lines.push_back("  *** END OF MACRO FILE ***");
    write_macro(state.record_file, lines);
  } else {
    io::say("INFO: No macro recorded");
  }
  state.record = false;
  state.record_file.clear();
  state.recorded.clear();
}

// The macro being replayed: its variables, its loops and the answers it
// gives, one at a time.
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "io.h"
#include "io_internal.h"
#include "io_macro.h"

namespace {

using io::MacroLoop;
using io::MacroState;
using io::MacroStatement;
using Kind = io::MacroStatement::Kind;

// A whole integer of the macro (after expansion), or false.
bool whole_number(const std::string& text, long& value) {
  const std::string t = io::stripped(text);
  if (t.empty()) return false;
  std::size_t used = 0;
  try {
    value = std::stol(t, &used);
  } catch (const std::exception&) {
    return false;
  }
  return used == t.size();
}

// The value of a reference "NAME" or "NAME:W" (the text between the "%").
bool reference_value(const std::string& reference, int line, std::string& value, int& status) {
  const std::size_t colon = reference.find(':');
  const std::string name = io::upper(reference.substr(0, colon));
  const MacroState& state = io::macro_state();
  const auto found = state.variables.find(name);
  if (!io::macro_name_ok(name)) {
    io::macro_syntax_error(line, "bad variable name \"" + name + "\"", status);
    return false;
  }
  if (found == state.variables.end()) {
    io::macro_syntax_error(line, "variable " + name + " is not defined", status);
    return false;
  }
  value = found->second;
  if (colon == std::string::npos) return true;
  const std::string width = reference.substr(colon + 1);
  if (width.size() != 1 || width[0] < '1' || width[0] > '9') {
    io::macro_syntax_error(line, "bad width in %" + reference + "%", status);
    return false;
  }
  const std::size_t digits = static_cast<std::size_t>(width[0] - '0');
  const bool negative = !value.empty() && value[0] == '-';
  std::string number = negative ? value.substr(1) : value;
  if (number.size() < digits) number.insert(0, digits - number.size(), '0');
  value = negative ? "-" + number : number;
  return true;
}

// Runs a DO line: the loop starts, or its body is skipped.
bool start_loop(const MacroStatement& statement, int& status) {
  MacroState& state = io::macro_state();
  long numbers[3] = {0, 0, 1};
  for (std::size_t i = 1; i < statement.words.size(); ++i) {
    std::string text;
    if (!io::expand_macro_text(statement.words[i], statement.line, text, status)) return false;
    if (!whole_number(text, numbers[i - 1])) {
      io::macro_syntax_error(statement.line, "\"" + text + "\" is not a whole number", status);
      return false;
    }
  }
  const auto [start, end, step] = numbers;
  if (step == 0) {
    io::macro_syntax_error(statement.line, "a DO step of 0", status);
    return false;
  }
  if (step > 0 ? start > end : start < end) {
    state.next = statement.partner + 1;
    return true;
  }
  state.loops.push_back(MacroLoop{statement.words[0], start, end, step, state.next + 1});
  state.variables[statement.words[0]] = std::to_string(start);
  ++state.next;
  return true;
}

// Runs an ENDDO line: the next pass, or the end of the loop.
void end_loop() {
  MacroState& state = io::macro_state();
  MacroLoop& loop = state.loops.back();
  loop.value += loop.step;
  if (loop.step > 0 ? loop.value <= loop.end : loop.value >= loop.end) {
    state.variables[loop.variable] = std::to_string(loop.value);
    state.next = loop.body;
    return;
  }
  state.loops.pop_back();
  ++state.next;
}

bool run_sleep(const MacroStatement& statement, int& status) {
  std::string text;
  if (!io::expand_macro_text(statement.words[0], statement.line, text, status)) return false;
  bool valid = false;
  float seconds = 0.0f;
  IO_TOKTR(text, valid, seconds, status);
  if (!valid || !(seconds >= 0.0f)) {
    io::macro_syntax_error(statement.line, "%SLEEP needs a number of seconds", status);
    return false;
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return true;
}

// Runs the directives up to the next answer, which becomes pending. False
// at the end of the macro or on an error.
bool find_answer(int& status) {
  MacroState& state = io::macro_state();
  while (!state.pending && state.next < state.statements.size()) {
    const MacroStatement& statement = state.statements[state.next];
    switch (statement.kind) {
      case Kind::answer:
        if (!io::expand_macro_text(statement.words[0], statement.line, state.pending_answer,
                                   status)) {
          return false;
        }
        state.pending = true;
        state.line = statement.line;
        ++state.next;
        break;
      case Kind::set: {
        std::string value;
        if (!io::expand_macro_text(statement.words[1], statement.line, value, status)) {
          return false;
        }
        state.variables[statement.words[0]] = value;
        ++state.next;
        break;
      }
      case Kind::loop:
        if (!start_loop(statement, status)) return false;
        break;
      case Kind::end_loop:
        end_loop();
        break;
      case Kind::sleep:
        if (!run_sleep(statement, status)) return false;
        ++state.next;
        break;
      case Kind::end:
        state.line = statement.line;
        state.next = state.statements.size();
        break;
    }
  }
  return state.pending;
}

}  // namespace

namespace io {

MacroState& macro_state() {
  static MacroState state;
  return state;
}

bool macro_name_ok(const std::string& name) {
  if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

void macro_syntax_error(int line, const std::string& why, int& status) {
  if (macro_state().prompt_open) io::say("");
  io::say("ERROR: Syntax error in macro " + macro_state().file + " at line " +
          std::to_string(line) + ": " + why);
  io::fail(status_macro_syntax, "Macro file syntax ", status);
}

bool expand_macro_text(const std::string& text, int line, std::string& result, int& status) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out.push_back(text[i]);
      continue;
    }
    const std::size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {
      macro_syntax_error(line, "a \"%\" without its closing \"%\"", status);
      return false;
    }
    std::string value = "%";
    if (close > i + 1 && !reference_value(text.substr(i + 1, close - i - 1), line, value, status)) {
      return false;
    }
    out += value;
    i = close;
  }
  result = out;
  return true;
}

void next_macro_answer(std::string& answer, int& number, bool& ended, int& status) {
  MacroState& state = macro_state();
  ended = !find_answer(status);
  if (ended || status != status_good) return;
  answer = state.pending_answer;
  number = state.line;
  state.pending = false;
}

}  // namespace io

void IO_DEF_MACRO(int& status) {
  if (!io::entry_ok(status, "Subroutine IO_DEF_MACRO V0.1 ")) return;
  io::macro_state() = io::MacroState{};
}

void IO_SET_MACRO(bool replay, bool record, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_SET_MACRO V0.1 ")) return;
  io::MacroState& state = io::macro_state();
  state.replay = replay && !state.file.empty();
  state.record = record;
}

void IO_INQ_MACRO(bool& replay, bool& record, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INQ_MACRO V0.1 ")) return;
  replay = io::macro_state().replay;
  record = io::macro_state().record;
}

void IO_DEFINE_MACRO(const std::string& name, const std::string& value, int& status) {
  const char* ident = "Subroutine IO_DEFINE_MACRO V0.1 ";
  if (!io::entry_ok(status, ident)) return;
  const std::string key = io::upper(io::stripped(name));
  if (!io::macro_name_ok(key)) {
    io::say("ERROR: Bad macro variable name \"" + io::stripped(name) + "\"");
    io::fail(io::status_bad_text, ident, status);
    return;
  }
  io::macro_state().variables[key] = value;
}

void IO_MACRO_ANSWERS_LEFT(bool& left, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_MACRO_ANSWERS_LEFT V0.1 ")) return;
  left = io::macro_state().replay && find_answer(status);
}

void IO_MACRO_REFUSE(const std::vector<std::string>& why, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_MACRO_REFUSE V0.1 ")) return;
  const io::MacroState& state = io::macro_state();
  std::string first = why.empty() ? "answer refused" : io::stripped(why[0]);
  if (first.rfind("WARNING: ", 0) == 0) first.erase(0, 9);
  io::say("ERROR: Macro " + state.file + ", line " + std::to_string(state.line) + " (" +
          state.item + "): " + first);
  for (std::size_t i = 1; i < why.size(); ++i) io::say("       " + io::stripped(why[i]));
  io::fail(io::status_macro_refused, "Subroutine IO_MACRO_REFUSE V0.1 ", status);
}

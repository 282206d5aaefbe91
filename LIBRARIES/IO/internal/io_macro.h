// The state of the macro file being replayed and of the one being recorded
// (not part of the public API).
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace io {

// One line of a macro that does something.
struct MacroStatement {
  enum class Kind { answer, set, loop, end_loop, sleep, end };
  Kind kind = Kind::answer;
  int line = 0;                    // line number in the file
  std::vector<std::string> words;  // answer: the line; set: name, value;
                                   // loop: name, start, end, step; sleep: seconds
  std::size_t partner = 0;         // loop: its ENDDO; ENDDO: its DO
};

// A DO loop being run.
struct MacroLoop {
  std::string variable;
  long value = 0, end = 0, step = 1;
  std::size_t body = 0;  // first statement of the body
};

struct MacroState {
  std::string file;
  std::vector<MacroStatement> statements;
  std::size_t next = 0;  // the statement to run next
  std::vector<MacroLoop> loops;
  std::map<std::string, std::string> variables;  // names in upper case
  bool replay = false;
  bool record = false;
  std::string record_file;
  std::vector<std::string> recorded;  // the lines recorded so far
  int depth = 0;                      // open answer scopes
  std::string item;                   // the item asked for
  bool item_given = false;            // `item` set by IO_INPC for its question
  int line = 0;                       // line of the last answer read
  bool pending = false;               // an answer found and not yet read
  bool prompt_open = false;           // a question's prompt ends the console line
  std::string pending_answer;
};

inline constexpr std::size_t max_macro_loops = 16;

MacroState& macro_state();

// The next answer of the macro (its variables given their values) and its
// line number; `ended` when the macro has none left.
void next_macro_answer(std::string& answer, int& number, bool& ended, int& status);

// A syntax error at `line`: the console line and io::status_macro_syntax.
void macro_syntax_error(int line, const std::string& why, int& status);

// `text` with its variables given their values; false (after
// macro_syntax_error) on an unknown variable or a bad reference.
bool expand_macro_text(const std::string& text, int line, std::string& result, int& status);

// A variable name: a letter, then letters, digits or "_".
bool macro_name_ok(const std::string& name);

// Appends one recorded answer: the item as a comment, then `line` as the
// macro gives it.
void record_macro_line(const std::string& item, const std::string& line);

}  // namespace io

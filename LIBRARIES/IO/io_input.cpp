// Console input lines and tokens, prompt lines and the typed prompts.
//
// A line typed at a prompt may hold the answers to several prompts: the
// tokens that one prompt does not use are kept and answer the next prompts
// (IO_INPUT_TOKEN, IO_INPUT_LINE). They are dropped after an answer that is
// not accepted. While a macro is replayed each of its answer lines is one
// answer, and an answer that is not accepted stops the run.
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "io.h"
#include "io_console.h"
#include "io_internal.h"
#include "io_macro.h"

namespace {

// The current input line and the position (1-based) of its next token.
std::string current_line;
int current_position = 1;

// Longest prompt line, the ":" included.
constexpr std::size_t max_prompt_line = 60;
constexpr std::size_t max_prompt_lines = 3;

using io::is_blank;
using io::stripped;

using io::upper;

bool help_request(const std::string& answer) {
  const std::string word = upper(answer);
  return word == "?" || word == "HELP";
}

// The first `count` lines of `lines`, never more than there are.
std::span<const std::string> first_lines(std::span<const std::string> lines, int count) {
  const std::size_t n = count < 1 ? 0 : std::min(lines.size(), static_cast<std::size_t>(count));
  return lines.first(n);
}

// Greedy filling of lines of at most max_prompt_line characters. A word that
// is longer than a line is cut over as many lines as it needs.
std::vector<std::string> fill_lines(const std::vector<std::string>& words) {
  std::vector<std::string> lines;
  std::string line;
  for (std::string word : words) {
    if (!line.empty() && line.size() + 1 + word.size() <= max_prompt_line) {
      line += " " + word;
      continue;
    }
    if (!line.empty()) {
      lines.push_back(line);
      line.clear();
    }
    while (word.size() > max_prompt_line) {
      lines.push_back(word.substr(0, max_prompt_line));
      word.erase(0, max_prompt_line);
    }
    line = word;
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (is_blank(c)) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// A text of at most `width` characters (width 5 or more): the middle of a
// longer text is replaced by "...", keeping more of the end, where the
// distinguishing part of a file name lies.
std::string elided(const std::string& text, std::size_t width) {
  if (text.size() <= width) return text;
  const std::size_t head = (width - 3) / 3;
  const std::size_t tail = width - 3 - head;
  return text.substr(0, head) + "..." + text.substr(text.size() - tail);
}

// The prompt lines. The prompt is split between words; the range text and
// the default text come last, followed by ":", each kept whole on one line
// (together when both fit) unless longer than a line. A default too long for
// three lines is shown shortened.
std::vector<std::string> prompt_lines(const std::string& prompt, const std::string& range_text,
                                      const std::string& default_text) {
  const std::string text = stripped(prompt.substr(0, io::prompt_width));
  const std::string range = stripped(range_text);
  std::string fallback = stripped(default_text);

  std::string one_line = text;
  for (const std::string& part : {range, fallback}) {
    if (part.empty()) continue;
    if (!one_line.empty()) one_line += " ";
    one_line += part;
  }
  if (one_line.size() + 1 <= max_prompt_line) return {one_line + ":"};

  std::vector<std::string> lines;
  for (std::size_t width = fallback.size();; width = width > 15 ? width - 10 : 5) {
    std::vector<std::string> words = words_of(text);
    const std::string shown = elided(fallback, std::max<std::size_t>(width, 5));
    if (!range.empty() && !shown.empty() &&
        range.size() + 1 + shown.size() + 1 <= max_prompt_line) {
      words.push_back(range + " " + shown);  // together on the last line
    } else {
      if (!range.empty()) words.push_back(range);
      if (!shown.empty()) words.push_back(shown);
    }
    if (words.empty()) words.push_back("");
    words.back() += ":";
    lines = fill_lines(words);
    if (lines.size() <= max_prompt_lines || width <= 5) break;
  }
  if (lines.size() > max_prompt_lines) {
    // Only a prompt far beyond its declared width can come here.
    lines.resize(max_prompt_lines);
    std::string& last = lines.back();
    last = last.substr(0, max_prompt_line - 1) + ":";
  }
  return lines;
}

enum class Answer { empty, help, valid, invalid };

// An answer of the macro that its question does not accept.
void refuse_macro_answer(const std::string& answer, std::span<const std::string> error,
                         int& status) {
  std::vector<std::string> why{answer.empty() ? std::string("No answer given")
                                              : "Answer not accepted: " + answer};
  why.insert(why.end(), error.begin(), error.end());
  IO_MACRO_REFUSE(why, status);
}

// The answer line of the macro in place of a console line (echoed as a
// piped one is). A line that hands the question to the graphics window
// gives io::status_to_graphics; a macro with no answer left stops the run.
void macro_line_read(std::string& text, int& status) {
  const io::MacroState& macro = io::macro_state();
  int number = 0;
  bool ended = false;
  // A line that cannot be run is reported on a console line of its own.
  io::macro_state().prompt_open = true;
  io::next_macro_answer(text, number, ended, status);
  io::macro_state().prompt_open = false;
  if (status != io::status_good) return;
  if (ended) {
    io::say("");
    io::say("ERROR: Macro " + macro.file + " ended at line " + std::to_string(macro.line) +
            " before the set-up: no answer for " + macro.item);
    io::fail(io::status_macro_ended, "Subroutine IO_READ V0.3 ", status);
    return;
  }
  io::say(" " + text);
  if (upper(stripped(text)).rfind("MENU CHOICE (GRAPHICAL", 0) == 0) {
    status = io::status_to_graphics;
    return;
  }
  // A replay that is recorded keeps its answers as read, variables given
  // their values; the widget that reads them records nothing more.
  if (!macro.record) return;
  std::string line;
  for (char c : text) line += c == '%' ? std::string("%%") : std::string(1, c);
  io::record_macro_line(macro.item, line);
}

// The question loop shared by the typed prompts. `classify` looks at the
// answer and stores an accepted value.
template <typename Classify>
void ask(bool whole_line, const std::string& prompt, const std::string& range_text,
         const std::string& default_text, bool has_default, std::span<const std::string> help,
         std::span<const std::string> error, Classify classify, int& status) {
  io::MacroState& macro = io::macro_state();
  if (!macro.item_given) macro.item = stripped(prompt);
  macro.item_given = false;
  for (;;) {
    IO_OUTPROMPT(prompt, range_text, default_text, status);
    std::string answer;
    if (whole_line) {
      IO_INPUT_LINE("", answer, status);
    } else {
      IO_INPUT_TOKEN("", answer, status);
    }
    if (status != io::status_good) return;  // user escape
    switch (classify(answer)) {
      case Answer::valid:
        return;
      case Answer::empty:
        if (has_default) return;
        break;
      case Answer::help:
        IO_TEXT(static_cast<int>(help.size()), help, status);
        if (status != io::status_good) return;
        continue;
      case Answer::invalid:
        break;
    }
    if (macro.replay) {
      refuse_macro_answer(answer, error, status);
      return;
    }
    io::clear_input_tokens();
    for (const std::string& line : error) IO_WRITE(line, status);
    IO_TEXT(static_cast<int>(help.size()), help, status);
    if (status != io::status_good) return;
  }
}

// An empty answer, also given as "" (a macro's empty line is a comment),
// takes the value offered.
Answer token_kind(const std::string& token) {
  if (token.empty() || token == "\"\"") return Answer::empty;
  if (help_request(token)) return Answer::help;
  return Answer::invalid;
}

// Answers to the text prompts: the line without leading and trailing blanks;
// a line that starts and ends with a double quote gives the text between
// them as it stands (so that "?", "HELP", blanks or an empty text can be
// given as the value).
Answer text_answer(const std::string& line, std::string& value) {
  const std::string answer = stripped(line);
  if (answer.size() >= 2 && answer.front() == '"' && answer.back() == '"') {
    value = answer.substr(1, answer.size() - 2);
    return Answer::valid;
  }
  if (answer.empty()) return Answer::empty;
  if (help_request(answer)) return Answer::help;
  value = answer;
  return Answer::valid;
}

}  // namespace

namespace io {
void clear_input_tokens() {
  current_line.clear();
  current_position = 1;
}
}  // namespace io

void IO_READ(const std::string& prompt, std::string& line, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_READ V0.3 ")) return;
  IO_WRITENA(prompt, status);
  std::string text;
  io::MacroState& macro = io::macro_state();
  if (!stripped(prompt).empty()) {
    macro.item = stripped(prompt);
    if (macro.item.back() == ':')
      macro.item = stripped(macro.item.substr(0, macro.item.size() - 1));
  }
  if (macro.replay) {
    macro_line_read(text, status);
    if (status != io::status_good) return;
  } else if (!io::console_line(text)) {
    // Nothing more can be read: leave the question as the user would.
    status = io::status_escape;
    return;
  }
  if (stripped(text) == "\\\\") {
    status = io::status_escape;
    return;
  }
  line = text;
}

void IO_INPUT_LINE(const std::string& prompt, std::string& line, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INPUT_LINE V0.2 ")) return;
  int position = current_position;
  bool found = false;
  std::string token;
  IO_TOKEN(current_line, position, found, token, status);
  if (found) {
    // The rest of the line typed earlier, from its next token on.
    line = current_line.substr(static_cast<std::size_t>(position) - 1 - token.size());
    io::clear_input_tokens();
    IO_WRITENA(prompt, status);
    IO_WRITE(" " + line, status);
    return;
  }
  io::clear_input_tokens();
  IO_READ(prompt, line, status);
}

void IO_INPUT_TOKEN(const std::string& prompt, std::string& token, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INPUT_TOKEN V0.2 ")) return;
  bool found = false;
  IO_TOKEN(current_line, current_position, found, token, status);
  if (found) {
    IO_WRITENA(prompt, status);
    IO_WRITE(" " + token, status);
    return;
  }
  io::clear_input_tokens();
  std::string line;
  IO_READ(prompt, line, status);
  if (status != io::status_good) return;
  if (io::macro_state().replay) {
    // One answer line, one answer.
    token = stripped(line);
    return;
  }
  current_line = line;
  IO_TOKEN(current_line, current_position, found, token, status);
  if (!found) token.clear();
}

void IO_OUTPROMPT(const std::string& prompt, const std::string& range_text,
                  const std::string& default_text, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_OUTPROMPT V0.2 ")) return;
  const std::vector<std::string> lines = prompt_lines(prompt, range_text, default_text);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) IO_WRITE(lines[i], status);
  IO_WRITENA(lines.back(), status);
}

namespace {

// The integer and real prompts: the range and the default as text, and an
// answer converted by `to_value` (a conversion failure writes
// `conversion_error`) and kept when it lies in the range; a value that is
// not a number lies outside every range.
template <typename T>
void ask_number(bool range, T lower, T upper, bool has_default, const std::string& prompt,
                int num_help, std::span<const std::string> help, int num_error,
                std::span<const std::string> error, void (*to_text)(T, std::string&),
                void (*to_value)(const std::string&, bool&, T&, int&), const char* conversion_error,
                T& value, int& status) {
  std::string range_text;
  std::string default_text;
  if (range) {
    std::string low, high;
    to_text(lower, low);
    to_text(upper, high);
    range_text = " (Range: " + low + " to " + high + ")";
  }
  if (has_default) {
    std::string text;
    to_text(value, text);
    default_text = " [" + text + "]";
  }
  auto classify = [&](const std::string& token) {
    const Answer kind = token_kind(token);
    if (kind != Answer::invalid) return kind;
    bool valid = false;
    T result{};
    to_value(token, valid, result, status);
    if (!valid) {
      IO_WRITE(conversion_error, status);
      return Answer::invalid;
    }
    if (range && !(result >= lower && result <= upper)) return Answer::invalid;
    value = result;
    return Answer::valid;
  };
  ask(false, prompt, range_text, default_text, has_default, first_lines(help, num_help),
      first_lines(error, num_error), classify, status);
}

}  // namespace

void IO_INPI(bool range, int lower, int upper, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, int& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INPI V0.4 ")) return;
  ask_number<int>(range, lower, upper, has_default, prompt, num_help, help, num_error, error,
                  IO_ITOC, IO_TOKTI, "Entered response cannot be converted to an integer", value,
                  status);
}

void IO_INPR(bool range, float lower, float upper, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, float& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INPR V0.4 ")) return;
  ask_number<float>(range, lower, upper, has_default, prompt, num_help, help, num_error, error,
                    IO_RTOC, IO_TOKTR, "Error in input value: cannot convert to a real number",
                    value, status);
}

void IO_INPL(bool has_default, const std::string& prompt, int num_help,
             std::span<const std::string> help, int num_error, std::span<const std::string> error,
             bool& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INPL V0.4 ")) return;
  const std::string default_text = has_default ? (value ? " [YES]" : " [NO]") : "";
  auto classify = [&](const std::string& token) {
    const Answer kind = token_kind(token);
    if (kind != Answer::invalid) return kind;
    bool valid = false;
    bool result = false;
    IO_TOKTL(token, valid, result, status);
    if (!valid) {
      IO_WRITE("Entered response cannot be converted to a logical value (YES or NO)", status);
      return Answer::invalid;
    }
    value = result;
    return Answer::valid;
  };
  ask(false, prompt, "", default_text, has_default, first_lines(help, num_help),
      first_lines(error, num_error), classify, status);
}

void IO_INPS(bool has_default, const std::string& prompt, int num_help,
             std::span<const std::string> help, int num_error, std::span<const std::string> error,
             std::string& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INPS V0.3 ")) return;
  const std::string default_text = has_default ? " [" + io::trimmed(value) + "]" : "";
  auto classify = [&](const std::string& line) { return text_answer(line, value); };
  ask(true, prompt, "", default_text, has_default, first_lines(help, num_help),
      first_lines(error, num_error), classify, status);
}

void IO_INPC(bool has_default, const std::string& item, const std::string& prompt, int num_help,
             std::span<const std::string> help, int num_error, std::span<const std::string> error,
             std::string& value, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INPC V0.3 ")) return;
  io::MacroState& macro = io::macro_state();
  macro.item = stripped(item);
  macro.item_given = true;
  IO_INPS(has_default, prompt, num_help, help, num_error, error, value, status);
}

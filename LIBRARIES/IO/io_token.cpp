// Splitting of texts into tokens at the current separators.
//
// A token is a run of characters that are not separators. A double quote
// opens a quoted part that runs to the next double quote (or to the end of
// the text): separators inside it belong to the token. The quotes stay in the
// token, so that the caller can tell "YES" typed with quotes from YES.
#include <string>
#include <vector>

#include "io.h"
#include "io_internal.h"

namespace {

// Start (0-based) of the next token at or after `from`, or npos.
std::size_t token_start(const std::string& text, std::size_t from, std::size_t end,
                        const std::string& separators) {
  for (std::size_t i = from; i < end; ++i) {
    if (separators.find(text[i]) == std::string::npos) return i;
  }
  return std::string::npos;
}

// One past the last character of the token that starts at `start`.
std::size_t token_end(const std::string& text, std::size_t start, std::size_t end,
                      const std::string& separators) {
  bool quoted = false;
  std::size_t i = start;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && separators.find(c) != std::string::npos) {
      break;
    }
  }
  return i;
}

}  // namespace

void IO_TOKEN(const std::string& text, int& position, bool& found, std::string& token,
              int& status) {
  if (!io::entry_ok(status, "Subroutine IO_TOKEN V0.2 ")) return;
  std::string separators;
  IO_INQ_SEPARATORS(separators, status);
  // Trailing blanks of the text are never part of a token.
  const std::size_t end = static_cast<std::size_t>(SLEN(text));
  const std::size_t from = position < 1 ? 0 : static_cast<std::size_t>(position) - 1;
  const std::size_t start =
      from < end ? token_start(text, from, end, separators) : std::string::npos;
  found = start != std::string::npos;
  if (!found) {
    position = static_cast<int>(end) + 1;
    return;
  }
  const std::size_t stop = token_end(text, start, end, separators);
  token = text.substr(start, stop - start);
  position = static_cast<int>(stop) + 1;
}

void IO_TOKENS(const std::string& text, int max_tokens, int& num_tokens,
               std::vector<std::string>& tokens, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_TOKENS V0.2 ")) return;
  num_tokens = 0;
  std::vector<std::string> result;
  int position = 1;
  bool found = true;
  std::string token;
  while (num_tokens < max_tokens) {
    IO_TOKEN(text, position, found, token, status);
    if (!found) break;
    result.push_back(token);
    ++num_tokens;
  }
  tokens = std::move(result);
}

// The conventions every routine shares: the entry check, the failure, the
// console line on a status of its own, and the text helpers.
#include "io_routine.h"

#include <string>

#include "io.h"
#include "io_internal.h"

namespace io {

bool entry_ok(int status, const char* ident) {
  if (status == status_good) return true;
  ST_SAVE(ident);
  return false;
}

void fail(int code, const char* ident, int& status) {
  status = code;
  ST_SAVE(ident);
}

void say(const std::string& line) {
  int own = status_good;
  IO_WRITE(line, own);
}

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string trimmed(const std::string& text) {
  return text.substr(0, static_cast<std::size_t>(SLEN(text)));
}

std::string stripped(const std::string& text) {
  std::size_t first = 0;
  const auto last = static_cast<std::size_t>(SLEN(text));
  while (first < last && is_blank(text[first])) ++first;
  return text.substr(first, last - first);
}

}  // namespace io

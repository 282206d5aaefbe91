// The token separators used by IO_TOKEN and IO_TOKENS.
#include <string>

#include "io.h"
#include "io_internal.h"

namespace {
// Blank, comma and horizontal tab until set otherwise; at most 256 characters.
std::string separators = " ,\t";
constexpr std::size_t max_separators = 256;
}  // namespace

void IO_DEF_SEPARATORS(int& status) {
  if (!io::entry_ok(status, "Subroutine IO_DEF_SEPARATORS V0.1 ")) return;
  separators = " ,\t";
}

void IO_SET_SEPARATORS(const std::string& new_separators, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_SET_SEPARATORS V0.1 ")) return;
  separators = new_separators.substr(0, max_separators);
}

void IO_INQ_SEPARATORS(std::string& current, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_INQ_SEPARATORS V0.1 ")) return;
  current = separators;
}

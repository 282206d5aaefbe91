// The program's command-line arguments, kept for the routines that read
// display options.
#include <string>
#include <vector>

#include "io.h"
#include "io_internal.h"

namespace {

std::vector<std::string>& arguments() {
  static std::vector<std::string> args;
  return args;
}

}  // namespace

void IO_SET_ARGS(int argc, char** argv) {
  arguments().clear();
  for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
    arguments().emplace_back(argv[i]);
  }
}

void IO_GETARGS(int max_args, int& num_args, std::vector<std::string>& args, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_GETARGS V0.1 ")) return;
  constexpr std::size_t argument_width = 80;
  args.clear();
  for (const std::string& a : arguments()) {
    if (static_cast<int>(args.size()) >= max_args) break;
    args.push_back(a.substr(0, argument_width));
  }
  num_args = static_cast<int>(args.size());
}

// The command lines of kov_axis and kov_imageinfo.
#include "kov_command_line.h"

#include <algorithm>

#include "io.h"

namespace kov::command {

int usage(const std::string& program, const std::string& problem,
          const std::vector<std::string>& lines) {
  io::say(program + ": " + problem);
  for (const std::string& line : lines) io::say(line);
  return exit_usage;
}

std::function<bool(std::span<char* const> values)> take_text(std::string& value) {
  return [&value](std::span<char* const> values) {
    value = values[0];
    return true;
  };
}

std::string parse(int argc, char** argv, const std::vector<Option>& options,
                  std::vector<std::string>& operands) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto option =
        std::find_if(options.begin(), options.end(), [&](const Option& o) { return o.name == a; });
    if (option == options.end()) {
      if (a.rfind("--", 0) == 0 && a.size() > 2) return "unknown option " + a;
      operands.push_back(a);
      continue;
    }
    if (i + option->values >= argc ||
        !option->take(
            std::span<char* const>(argv + i + 1, static_cast<std::size_t>(option->values)))) {
      return a + " needs " + option->needs;
    }
    i += option->values;
  }
  return "";
}

}  // namespace kov::command

// The command line of the set-up program.
#include "kov_options.h"

#include "io.h"

namespace kov {

namespace {

// The macro option an argument names, any case, "-" or "+" first: "MACRO",
// "RECORD", "DEFINE", "NOGRAPHICS"; "" for any other argument.
std::string option_name(const char* argument) {
  const std::string name = io::upper(argument != nullptr ? argument : "");
  if (name.size() < 2 || (name[0] != '-' && name[0] != '+')) return "";
  const std::string bare = name.substr(1);
  for (const char* option : {"MACRO", "RECORD", "DEFINE", "NOGRAPHICS"}) {
    if (bare == option) return bare;
  }
  return "";
}

// Takes the value of option `name` from `value` (null when the arguments
// ended, or another option follows): "" when it does, else the problem.
std::string take_value(const std::string& name, const char* value, RunOptions& options) {
  const std::string text = value != nullptr ? value : "";
  if (name == "MACRO" || name == "RECORD") {
    if (text.empty()) return "ERROR: -" + name + " needs a file name";
    (name == "MACRO" ? options.macro : options.record) = text;
    return "";
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) return "ERROR: -DEFINE needs NAME=VALUE";
  options.defines.emplace_back(text.substr(0, equals), text.substr(equals + 1));
  return "";
}

}  // namespace

std::string read_run_options(int argc, char** argv, RunOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = option_name(argv[i]);
    if (name.empty()) {
      options.display_args.emplace_back(argv[i]);
    } else if (name == "NOGRAPHICS") {
      options.nographics = true;
    } else {
      const bool given = i + 1 < argc && option_name(argv[i + 1]).empty();
      const std::string problem = take_value(name, given ? argv[++i] : nullptr, options);
      if (!problem.empty()) return problem;
    }
  }
  return "";
}

}  // namespace kov

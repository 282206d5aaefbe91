// The command line of the set-up program: the macro options beside the
// display options that graphics read when they open.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kov {

// -MACRO FILE replays a macro file, -RECORD FILE records the answers of the
// run into one, -DEFINE NAME=VALUE (repeatable) sets a macro variable and
// -NOGRAPHICS runs without a window; any case, "+" for "-" as well. Every
// other argument is a display option, kept in `display_args` in its order.
struct RunOptions {
  std::string macro, record;
  std::vector<std::pair<std::string, std::string>> defines;
  bool nographics = false;
  std::vector<std::string> display_args;
};

// Reads the arguments after the program's name into `options`: "" when
// they do, else the console line saying what is wrong ("ERROR: -MACRO needs
// a file name").
std::string read_run_options(int argc, char** argv, RunOptions& options);

}  // namespace kov

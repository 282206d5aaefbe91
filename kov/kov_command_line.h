// The command lines of kov_axis and kov_imageinfo: their exit statuses, the
// usage text and the walk over the arguments, options by name.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kov::command {

inline constexpr int exit_done = 0;    // the work done
inline constexpr int exit_failed = 1;  // a file not read, or the work not done
inline constexpr int exit_usage = 2;   // a bad command line

// "PROGRAM: PROBLEM", then the usage lines, on the console; exit_usage.
int usage(const std::string& program, const std::string& problem,
          const std::vector<std::string>& lines);

// An option: `values` arguments follow it, handed to `take`, which stores
// them and says whether they are what `needs` says.
struct Option {
  std::string name;
  int values = 0;
  std::string needs;  // "--lines needs two line numbers from 1"
  std::function<bool(std::span<char* const> values)> take;
};

// The `take` of an option with one value, which it keeps in `value`.
std::function<bool(std::span<char* const> values)> take_text(std::string& value);

// Walks the arguments: an option by its name with its values, any other
// argument ("--" followed by nothing more included) into `operands`. The
// problem of the first argument that does not do, "" when all do.
std::string parse(int argc, char** argv, const std::vector<Option>& options,
                  std::vector<std::string>& operands);

}  // namespace kov::command

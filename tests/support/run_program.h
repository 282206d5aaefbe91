// Runs a program as a child process with a changed environment and captures
// its standard output.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kovtest {

struct ProgramResult {
  int exit_status = -1;  // exit code, or 128 + signal number
  std::string output;    // standard output and standard error together
};

// `environment`: variables to set (a value) or to remove (nullopt).
// `input`: written to the child's standard input, which is then closed.
ProgramResult run_program(const std::string& path, const std::vector<std::string>& arguments,
                          const std::map<std::string, std::optional<std::string>>& environment,
                          const std::string& input = "");

// A child started without waiting for it (so that a test can act on it, e.g.
// click in its window, while it runs).
struct RunningProgram {
  int pid = -1;
  int output_fd = -1;  // read end of its standard output and standard error
};
RunningProgram start_program(const std::string& path, const std::vector<std::string>& arguments,
                             const std::map<std::string, std::optional<std::string>>& environment);
// Reads the child's output to its end and waits for it; a child still running
// after `timeout_seconds` is killed (exit status 128 + 9).
ProgramResult finish_program(RunningProgram& program, int timeout_seconds = 30);

std::vector<std::string> split_lines(const std::string& text);

}  // namespace kovtest

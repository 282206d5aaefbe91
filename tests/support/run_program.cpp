#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace kovtest {

namespace {

// In the child: sets the environment and runs the program (status 127 when
// it cannot be started).
[[noreturn]] void exec_child(const std::string& path, const std::vector<std::string>& arguments,
                             const std::map<std::string, std::optional<std::string>>& environment) {
  for (const auto& [name, value] : environment) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(path.c_str(), argv.data());
  _exit(127);
}

// Waits for the child: its exit code, or 128 + the signal that ended it.
int wait_for(pid_t pid) {
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  if (WIFEXITED(wstatus)) return WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) return 128 + WTERMSIG(wstatus);
  return -1;
}

}  // namespace

ProgramResult run_program(const std::string& path, const std::vector<std::string>& arguments,
                          const std::map<std::string, std::optional<std::string>>& environment,
                          const std::string& input) {
  int out[2];
  int in[2];
  if (pipe(out) != 0 || pipe(in) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(out[1], 2);
    close(in[0]);
    close(in[1]);
    close(out[0]);
    close(out[1]);
    exec_child(path, arguments, environment);
  }
  close(in[0]);
  close(out[1]);
  signal(SIGPIPE, SIG_IGN);
  if (!input.empty()) {
    [[maybe_unused]] ssize_t w = write(in[1], input.data(), input.size());
  }
  close(in[1]);
  ProgramResult result;
  char buffer[4096];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, n);
  close(out[0]);
  result.exit_status = wait_for(pid);
  return result;
}

RunningProgram start_program(const std::string& path, const std::vector<std::string>& arguments,
                             const std::map<std::string, std::optional<std::string>>& environment) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int null_in = open("/dev/null", O_RDONLY);
    if (null_in >= 0) dup2(null_in, 0);
    dup2(out[1], 1);
    dup2(out[1], 2);
    close(out[0]);
    close(out[1]);
    exec_child(path, arguments, environment);
  }
  close(out[1]);
  return {static_cast<int>(pid), out[0]};
}

ProgramResult finish_program(RunningProgram& program, int timeout_seconds) {
  ProgramResult result;
  if (program.pid < 0) return result;
  // Output is read as it comes, until the child closes its end or the time
  // is up.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{program.output_fd, POLLIN, 0};
    const int ready = left.count() > 0 ? poll(&p, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      kill(program.pid, SIGKILL);
      break;
    }
    const ssize_t n = read(program.output_fd, buffer, sizeof buffer);
    if (n > 0) {
      result.output.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  close(program.output_fd);
  result.exit_status = wait_for(program.pid);
  program.pid = -1;
  program.output_fd = -1;
  return result;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace kovtest

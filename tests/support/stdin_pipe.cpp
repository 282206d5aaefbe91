#include "stdin_pipe.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

namespace kovtest {

StdinPipe::StdinPipe(const std::string& answers) {
  saved_ = dup(STDIN_FILENO);
  int fds[2];
  if (pipe(fds) != 0) ADD_FAILURE() << "pipe failed";
  // The answers are short: they fit in the pipe before anyone reads.
  if (write(fds[1], answers.data(), answers.size()) != static_cast<ssize_t>(answers.size())) {
    ADD_FAILURE() << "write to the pipe failed";
  }
  close(fds[1]);
  if (fds[0] != STDIN_FILENO) {  // (standard input may have been closed)
    dup2(fds[0], STDIN_FILENO);
    close(fds[0]);
  }
  std::clearerr(stdin);
}

StdinPipe::~StdinPipe() {
  // Drop what is left, so that nothing buffered reaches the next test.
  while (std::getc(stdin) != EOF) {
  }
  if (saved_ >= 0) {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
  }
  std::clearerr(stdin);
}

}  // namespace kovtest

// Standard input replaced, for one test, by a pipe that holds `answers` and
// then ends.
#pragma once

#include <string>

namespace kovtest {

class StdinPipe {
 public:
  explicit StdinPipe(const std::string& answers);
  ~StdinPipe();
  StdinPipe(const StdinPipe&) = delete;
  StdinPipe& operator=(const StdinPipe&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace kovtest

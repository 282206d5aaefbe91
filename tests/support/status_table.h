// Tables of calls and the statuses they leave: each row runs from a good
// status and a blank error record, and is checked for its status, the
// console line it writes (none when empty) and, for a failure, the routine
// recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"

namespace kovtest {

struct StatusRow {
  std::string what;
  std::function<void(int&)> call;
  std::string line = "";         // console line written, "" for none
  int status = io::status_good;  // status left
  std::string recorded = "";     // identification text recorded, "" for none
};

inline void run_rows(const std::vector<StatusRow>& rows, ConsoleCapture& console) {
  for (const auto& row : rows) {
    int status = 0;
    ST_DEF_SYSTEM(status);
    console.clear();
    row.call(status);
    EXPECT_EQ(status, row.status) << row.what;
    const std::vector<std::string> line =
        row.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.line};
    EXPECT_EQ(console.lines(), line) << row.what;
    std::string text;
    ST_INQ_SAVE(text);
    EXPECT_EQ(text.substr(0, SLEN(text)), row.recorded) << row.what;
  }
}

}  // namespace kovtest

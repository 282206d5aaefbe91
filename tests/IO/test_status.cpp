// Status values, the error-position record and the console report.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"

namespace {

using Lines = std::vector<std::string>;

class StatusTest : public ::testing::Test {
 protected:
  void SetUp() override { ST_DEF_SYSTEM(status); }
  int status = 0;
};

TEST_F(StatusTest, GoodValuesAndErrorCodes) {
  EXPECT_EQ(ST_GOOD(), -2147483647);
  EXPECT_EQ(status, ST_GOOD());
  EXPECT_EQ(ST_ERRORCODE(2147483647), 2147483647);
  EXPECT_EQ(ST_ERRORCODE(-2147483646), -2147483646);
  EXPECT_EQ(ST_ERRORCODE(ST_GOOD()), ST_GOOD());
  EXPECT_EQ(ST_ERRORCODE(11013), 1013);
  EXPECT_EQ(ST_ERRORCODE(-11013), 1013);
  EXPECT_EQ(ST_ERRORCODE(130017), 17);
}

TEST_F(StatusTest, GoodStatusWithBlankRecordWritesNothing) {
  kovtest::ConsoleCapture console;
  ST_OUT(status);
  EXPECT_TRUE(console.lines().empty());
  EXPECT_EQ(console.pending(), "");
}

TEST_F(StatusTest, GoodStatusWithRecordedPosition) {
  ST_SAVE("Subroutine IO_FAKE V0.1 ");
  kovtest::ConsoleCapture console;
  ST_OUT(status);
  EXPECT_EQ(console.lines(),
            (Lines{"", "STATUS: The \"status\" value appears to be good, but an error position has",
                   "been reported in:", "Subroutine IO_FAKE V0.1",
                   "This is probably due to incorrect calling arguments"}));
}

TEST_F(StatusTest, UserEscape) {
  kovtest::ConsoleCapture console;
  ST_OUT(io::status_escape);
  EXPECT_EQ(console.lines(),
            (Lines{"", "STATUS: The \"status\" value is set to the user escape value"}));
}

TEST_F(StatusTest, ErrorReportsModulePositionAndClassification) {
  ST_SAVE("Subroutine IO_INPI V0.4 ");
  kovtest::ConsoleCapture console;
  ST_OUT(10017);
  EXPECT_EQ(
      console.lines(),
      (Lines{"", "STATUS: The error was identified in module:", "IO: Input/Output and Status", "",
             "STATUS: Position where error condition was identified", "Subroutine IO_INPI V0.4", "",
             "STATUS: The error condition has been classified as:",
             "First dimension: integer value out of acceptable range"}));
}

TEST_F(StatusTest, ModuleAndCodeTables) {
  kovtest::ConsoleCapture console;
  ST_OUT(131004);
  EXPECT_EQ(console.lines().at(2), "VG: \"Vellum Graphics\"");
  EXPECT_EQ(console.lines().at(5), "");  // nothing recorded: an empty line
  EXPECT_EQ(console.lines().back(), "Logarithm of zero or a negative number: result set to -38.0");

  console.clear();
  ST_OUT(10041);
  EXPECT_EQ(console.lines().at(6),
            "WARNING: Unknown value for the status variable; value =          10041");
  EXPECT_EQ(console.lines().back(), "Undefined error value");

  console.clear();
  ST_OUT(190001);
  EXPECT_EQ(console.lines().at(2), "UNKNOWN:");
  console.clear();
  ST_OUT(-11013);
  EXPECT_EQ(console.lines().at(2), "UNKNOWN:");
  EXPECT_EQ(console.lines().back(), "Syntax error from an input macro");
}

TEST_F(StatusTest, EveryClassificationLine) {
  // The fourth rows of four kinds keep their historical wording.
  const std::pair<int, std::string> rows[] = {
      {1, "First array dimension illegally defined"},
      {4, "Fourth or greater array dimension illegally defined"},
      {8, "Fourth or greater dimension data region illegally defined"},
      {12, "Fourth or greater dimension internal array limit exceeded"},
      {16, "Fourth of greater dimension: illegal relationship between two variables"},
      {20, "Fourth or greater dimension: integer value out of acceptable range"},
      {23, "Third dimension: real value out of acceptable range"},
      {28, "Fourth of greater dimension: number of elements is not a power of two"},
      {30, "Second dimension: a value which must be even is not"},
      {32, "Fourth of greater dimension: a value which must be even is not"},
      {33, "First dimension: badly defined character variable"},
      {36, "Fourth of greater dimension: badly defined character variable"},
      {40, "Fourth or greater dimension external array limit exceeded"},
      {1000, "Failed to open file: (file not found or bad file name ?)"},
      {1015, "String of insufficient length for assignment"},
      {2001, "Failed to open X-11 window (use \"xhost+\" on X-server ?)"},
      {2002, "Illegal graphics workstation number access attempted"},
      {9999, "Other, undefined error (doesn't fit normal categories)"},
  };
  for (const auto& [code, line] : rows) {
    kovtest::ConsoleCapture console;
    ST_OUT(140000 + code);
    EXPECT_EQ(console.lines().at(2), "GS: \"Graphics System\"") << code;
    EXPECT_EQ(console.lines().back(), line) << code;
  }
}

// Every argument error of the I/O services: its status, and the routine
// recorded as where it was found.
TEST_F(StatusTest, ArgumentErrors) {
  struct Case {
    const char* what;
    std::function<void(int&)> call;
    int status;
    const char* position;
  };
  kovtest::TempDir dir;
  std::string name = dir.file("x.txt");
  std::string text;
  bool flag = false;
  int retstat = 0, count = 0;
  std::vector<int> small(3);
  std::vector<int> beyond{1, 99999, 3};  // a position beyond the area
  std::vector<std::string> names{"b", "a"};
  const std::vector<std::string> commands{"ONE"};
  const std::vector<Case> cases = {
      {"unit 0", [&](int& s) { IO_OPEN_ASCIIFILE(false, "WRITE", 0, name, retstat, s); }, 10017,
       "Subroutine IO_OPEN_ASCIIFILE V0.7"},
      {"unit 100", [&](int& s) { IO_OPEN_ASCIIFILE(false, "WRITE", 100, name, retstat, s); }, 10017,
       "Subroutine IO_OPEN_ASCIIFILE V0.7"},
      {"close unit 100", [&](int& s) { IO_CLOSE_ASCIIFILE(100, s); }, 10017,
       "Subroutine IO_CLOSE_ASCIIFILE V0.2"},
      {"table smaller than its names",
       [&](int& s) { IO_DIRECTORY(false, 5, retstat, count, small, dir.path(), text, s); }, 10017,
       "Subroutine IO_DIRECTORY V0.3"},
      {"positions beyond the area", [&](int& s) { IO_FILESORDER(2, beyond, text = "ab", s); },
       10033, "Subroutine IO_FILESORDER V0.3"},
      {"empty text", [&](int& s) { IO_STRINGMATCH("", "*", flag, s); }, 10033,
       "Subroutine IO_STRINGMATCH V0.2"},
      {"blank pattern", [&](int& s) { IO_STRINGMATCH("abc", "   ", flag, s); }, 10033,
       "Subroutine IO_STRINGMATCH V0.2"},
      {"blank pattern for a list", [&](int& s) { IO_FILESMATCH("  ", names, s); }, 10033,
       "Subroutine IO_FILESMATCH V0.2"},
      {"menu of no commands",
       [&](int& s) { IO_MENU(0, commands, 0, commands, "Command", text, s); }, 10017,
       "Subroutine IO_MENU V0.3"},
      {"menu of more commands than given",
       [&](int& s) { IO_MENU(2, commands, 0, commands, "Command", text, s); }, 10017,
       "Subroutine IO_MENU V0.3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ST_DEF_SYSTEM(status);
    c.call(status);
    EXPECT_EQ(status, c.status);
    std::string position;
    ST_INQ_SAVE(position);
    EXPECT_EQ(position.substr(0, static_cast<std::size_t>(SLEN(position))), c.position);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"b", "a"}));
}

TEST_F(StatusTest, FirstFailureStaysRecordedUntilCleared) {
  IO_WRITE("x", status = 10033);  // a routine entered with a bad status
  ST_SAVE("Subroutine SECOND V0.1 ");
  std::string record;
  ST_INQ_SAVE(record);
  EXPECT_EQ(record.substr(0, 26), "Subroutine IO_WRITE V0.1  ");
  EXPECT_EQ(record.size(), 132u);
  ST_DEF_SYSTEM(status);
  ST_INQ_SAVE(record);
  EXPECT_EQ(SLEN(record), 0);
}

TEST_F(StatusTest, WriteCutsTrailingBlanksAndSkipsOnBadStatus) {
  kovtest::ConsoleCapture console;
  IO_WRITE("abc  \t ", status);
  IO_WRITE("     ", status);
  IO_WRITENA("Prompt: ", status);
  EXPECT_EQ(console.lines(), (Lines{"abc", ""}));
  EXPECT_EQ(console.pending(), "Prompt:");
  int bad = 10017;
  IO_WRITE("never", bad);
  EXPECT_EQ(console.lines().size(), 2u);
  EXPECT_EQ(SLEN(std::string("ab\0 \r\n", 6)), 2);
  EXPECT_EQ(SLEN(""), 0);
}

}  // namespace

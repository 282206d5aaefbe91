// Macro files: the answers a macro gives, the errors that stop it, and the
// round trip of a recorded answer.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "console_capture.h"
#include "io.h"

namespace {

using Lines = std::vector<std::string>;

struct MacroCase {
  const char* text;
  std::vector<std::pair<std::string, std::string>> defines;
  Lines answers;        // read by IO_READ until it fails
  int status;           // the status it fails with
  const char* message;  // part of the last console line
};

const Lines kNone;

class MacroTest : public ::testing::Test {
 protected:
  void SetUp() override { IO_DEF_MACRO(status); }
  void TearDown() override {
    int good = ST_GOOD();
    IO_DEF_MACRO(good);
  }
  void open(const std::string& text) {
    kovtest::write_file(dir.file("m.mac"), text);
    IO_OPEN_MACRO(dir.file("m.mac"), status);
  }

  int status = ST_GOOD();
  kovtest::TempDir dir;
  kovtest::ConsoleCapture console;
};

TEST_F(MacroTest, AnswersAndErrors) {
  const int syntax = io::status_macro_syntax;
  const std::vector<MacroCase> cases{
      {"! c\n\nscan_%S:3%.tif\n%SET X=%s%0\n%X%%%\nEND\nnot read\n",
       {{"s", "7"}},
       {"scan_007.tif", "70%"},
       io::status_macro_ended,
       "ended at line 6 before the set-up: no answer for Q"},
      {"DO I 1 2\n DO J 3 1 -2\n%I%-%J%\n ENDDO\nENDDO\nDO K 2 1\nnever\nENDDO\n%SLEEP 0\n"
       "\"END\"\n  *** END OF MACRO FILE ***\nnot read\n",
       {},
       {"1-3", "1-1", "2-3", "2-1", "\"END\""},
       io::status_macro_ended,
       "ended at line 11"},
      {"1\nMENU CHOICE (GRAPHICAL INPUT)\n", {}, {"1"}, io::status_to_graphics, " MENU CHOICE"},
      {"a\n%FOO 1\n", {}, kNone, syntax, "line 2: unknown directive %FOO"},
      {"DO I 1 3\nx\n", {}, kNone, syntax, "line 1: DO without ENDDO"},
      {"x\nENDDO\n", {}, kNone, syntax, "line 2: ENDDO without DO"},
      {"DO I 1\nENDDO\n", {}, kNone, syntax, "line 1: DO needs NAME START END [STEP]"},
      {"a%B\n", {}, kNone, syntax, "line 1: a \"%\" without its closing \"%\""},
      {"%SET 9A=1\n", {}, kNone, syntax, "line 1: %SET needs NAME=VALUE"},
      {"x\n%U%\n", {}, {"x"}, syntax, "line 2: variable U is not defined"},
      {"DO I 1 3 0\nENDDO\n", {}, kNone, syntax, "line 1: a DO step of 0"},
      {"DO I 1 %N%\nENDDO\n", {{"N", "x"}}, kNone, syntax, "line 1: \"x\" is not a whole number"},
  };
  for (const MacroCase& c : cases) {
    SCOPED_TRACE(c.text);
    status = ST_GOOD();
    IO_DEF_MACRO(status);
    for (const auto& [name, value] : c.defines) IO_DEFINE_MACRO(name, value, status);
    console.clear();
    open(c.text);
    Lines answers;
    for (std::string line; status == ST_GOOD() && answers.size() < 10; answers.push_back(line)) {
      IO_READ("Q:", line, status);
      if (status != ST_GOOD()) break;
    }
    EXPECT_EQ(answers, c.answers);
    EXPECT_EQ(status, c.status);
    ASSERT_FALSE(console.lines().empty());
    EXPECT_NE(console.lines().back().find(c.message), std::string::npos) << console.text();
  }
}

TEST_F(MacroTest, MissingFileIsNotOpened) {
  IO_OPEN_MACRO(dir.file("none.mac"), status);
  EXPECT_EQ(status, io::status_open_failed);
  EXPECT_EQ(console.lines().back(), "ERROR: Cannot read the macro file " + dir.file("none.mac"));
}

TEST_F(MacroTest, RecordedAnswersReplayAsGiven) {
  const Lines given{"", "END", "50%", "! x", " a ", "\"q\"", "DO it", "plain"};
  IO_START_RECORD(dir.file("r.mac"), status);
  {
    io::MacroAnswer outer;
    io::MacroAnswer inner;
    inner.record("inner", "never", status);
    for (const std::string& answer : given) outer.record("Item", answer, status);
    io::MacroStep step;
    outer.record("Item", "retracted", status);
    step.retract();
  }
  IO_END_RECORD(true, status);
  open(kovtest::read_file(dir.file("r.mac")));
  Lines replayed;
  for (std::size_t i = 0; i < given.size(); ++i) {
    std::string value;
    IO_INPC(false, "Item", "Text", 0, {}, 0, {}, value, status);
    replayed.push_back(value);
  }
  EXPECT_EQ(replayed, given);
  std::string line;
  IO_READ("More:", line, status);
  EXPECT_EQ(status, io::status_macro_ended);
}

}  // namespace

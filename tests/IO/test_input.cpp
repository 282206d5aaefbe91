// Console prompts, input lines, tokens, the pager and the menu, answered
// through a real pipe on standard input.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "io_console.h"
#include "stdin_pipe.h"

namespace {

using Lines = std::vector<std::string>;

using kovtest::StdinPipe;

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ST_DEF_SYSTEM(status);
    io::clear_input_tokens();
    io::set_pager_page_length(-1);
  }
  void TearDown() override {
    io::set_pager_page_length(0);
    io::clear_input_tokens();
    IO_DEF_SEPARATORS(good);
  }
  // Number of console lines equal to `text`.
  long count(const std::string& text) const {
    return std::count(console.lines().begin(), console.lines().end(), text);
  }
  // The answer to "Number", asked without a range or a default, when
  // `typed` is the input.
  int number_typed(const std::string& typed, int value) {
    StdinPipe in(typed);
    IO_INPI(false, 0, 0, false, "Number", 2, help, 1, error, value, status);
    return value;
  }
  long position(const std::string& text) const {
    const auto at = std::find(console.lines().begin(), console.lines().end(), text);
    return at == console.lines().end() ? -1 : at - console.lines().begin();
  }

  int status = 0;
  int good = ST_GOOD();
  kovtest::ConsoleCapture console;
  const Lines help{"Help line one", "Help line two"};
  const Lines error{"Error line"};
};

TEST_F(InputTest, ReadLinesAndCutLongOnes) {
  StdinPipe in(std::string(200, 'x') + "\n  two words \r\nlast without end");
  std::string line;
  IO_READ("Name: ", line, status);
  EXPECT_EQ(line, std::string(132, 'x'));
  IO_READ("Again: ", line, status);
  EXPECT_EQ(line, "  two words ");
  IO_READ("More: ", line, status);
  EXPECT_EQ(line, "last without end");
  EXPECT_EQ(status, ST_GOOD());
  // The answers are echoed after their prompts.
  EXPECT_EQ(console.lines()[1], "Again:   two words");
  line = "kept";
  IO_READ("End: ", line, status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(line, "kept");
}

TEST_F(InputTest, BackslashesEscapeEveryPrompt) {
  StdinPipe in("\\\\\n\\\\\n\\\\\n \\\\ \n");
  std::string line = "kept";
  IO_READ("Line: ", line, status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(line, "kept");
  ST_DEF_SYSTEM(status);
  int value = 4;
  IO_INPI(true, 1, 10, true, "Number", 2, help, 1, error, value, status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(value, 4);
  ST_DEF_SYSTEM(status);
  std::string text = "old";
  IO_INPS(true, "Text", 2, help, 1, error, text, status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(text, "old");
  ST_DEF_SYSTEM(status);
  const Lines commands{"ONE", "TWO"};
  std::string command = "none";
  IO_MENU(2, commands, 0, help, "Command", command, status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(command, "none");
}

TEST_F(InputTest, IntegerRangeErrorThenHelpThenAskAgain) {
  StdinPipe in("11\n7\n");
  int value = 5;
  IO_INPI(true, 1, 10, true, "Number of lines", 2, help, 1, error, value, status);
  EXPECT_EQ(status, ST_GOOD());
  EXPECT_EQ(value, 7);
  EXPECT_EQ(console.lines(),
            (Lines{"Number of lines (Range: 1 to 10) [5]: 11", "Error line", "Help line one",
                   "Help line two", "Number of lines (Range: 1 to 10) [5]: 7"}));
}

TEST_F(InputTest, IntegerEmptyAnswerWithAndWithoutDefault) {
  {
    StdinPipe in("\n");
    int value = 5;
    IO_INPI(true, 1, 10, true, "Number", 2, help, 1, error, value, status);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(status, ST_GOOD());
  }
  console.clear();
  {
    EXPECT_EQ(number_typed("   \n3\n", 5), 3);
    EXPECT_EQ(status, ST_GOOD());
    EXPECT_EQ(count("Number: 3"), 1);
    EXPECT_EQ(count("Error line"), 1);
    EXPECT_EQ(count("Help line one"), 1);
  }
}

TEST_F(InputTest, HelpRequestsShowHelpOnly) {
  EXPECT_EQ(number_typed("?\nhelp\nHeLp\n8\n", 0), 8);
  EXPECT_EQ(count("Help line one"), 3);
  EXPECT_EQ(count("Help line two"), 3);
  EXPECT_EQ(count("Error line"), 0);
}

TEST_F(InputTest, UnconvertibleAnswers) {
  EXPECT_EQ(number_typed("abc\n2.5\n-3\n", 0), -3);
  const Lines expected{"Number: abc",
                       "Entered response cannot be converted to an integer",
                       "Error line",
                       "Help line one",
                       "Help line two",
                       "Number: 2.5",
                       "Entered response cannot be converted to an integer",
                       "Error line",
                       "Help line one",
                       "Help line two",
                       "Number: -3"};
  EXPECT_EQ(console.lines(), expected);
}

TEST_F(InputTest, EndOfInputEndsTheQuestion) {
  // Nothing typed, or bad answers and then nothing more: the question ends
  // with the user escape and the value unchanged; it is not asked forever.
  int value = 1;
  float real = 1.0f;
  bool yes = true;
  const std::vector<std::pair<std::string, std::function<void()>>> questions{
      {"", [&] { IO_INPI(false, 0, 0, true, "Number", 2, help, 1, error, value, status); }},
      {"zz\nmaybe",
       [&] { IO_INPR(true, 0.0f, 1.0f, false, "Fraction", 2, help, 1, error, real, status); }},
      {"maybe\n", [&] { IO_INPL(false, "Go on", 2, help, 1, error, yes, status); }},
  };
  for (const auto& [typed, ask] : questions) {
    ST_DEF_SYSTEM(status);
    StdinPipe in(typed);
    ask();
    EXPECT_EQ(status, io::status_escape) << typed;
  }
  EXPECT_EQ(value, 1);
  EXPECT_EQ(real, 1.0f);
  EXPECT_TRUE(yes);
}

TEST_F(InputTest, RealAnswers) {
  StdinPipe in("x\n150\n12.5%\npi\n2*10^3\n");
  float value = 50.0f;
  IO_INPR(true, 0.0f, 100.0f, true, "Percentage", 2, help, 1, error, value, status);
  EXPECT_EQ(value, 0.125f);
  EXPECT_EQ(console.lines()[0], "Percentage (Range: 0.0 to 100.0000) [50.00000]: x");
  EXPECT_EQ(console.lines()[1], "Error in input value: cannot convert to a real number");
  EXPECT_EQ(console.lines()[2], "Error line");
  EXPECT_EQ(count("Help line one"), 2);  // after "x" and after 150
  value = 0.0f;
  IO_INPR(false, 0.0f, 0.0f, false, "Angle", 2, help, 1, error, value, status);
  EXPECT_EQ(value, 3.1415926f);
  IO_INPR(true, -1.0e4f, 1.0e4f, false, "Size", 2, help, 1, error, value, status);
  EXPECT_EQ(value, 2000.0f);
  EXPECT_EQ(console.lines().back(), "Size (Range: -10000.00 to 10000.00): 2*10^3");
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(InputTest, LogicalAnswers) {
  StdinPipe in("oui\nYa\n.true.\nnein\n0\nmaybe\ny\n\n");
  bool value = false;
  for (bool expected : {true, true, true, false, false}) {
    value = !expected;
    IO_INPL(false, "Continue", 2, help, 1, error, value, status);
    EXPECT_EQ(value, expected);
  }
  value = false;
  IO_INPL(true, "Continue", 2, help, 1, error, value, status);
  EXPECT_TRUE(value);
  EXPECT_EQ(count("Continue [NO]: maybe"), 1);
  EXPECT_EQ(count("Entered response cannot be converted to a logical value (YES or NO)"), 1);
  EXPECT_EQ(count("Error line"), 1);
  EXPECT_EQ(count("Continue [NO]: y"), 1);
  IO_INPL(true, "Continue", 2, help, 1, error, value, status);  // empty: the default
  EXPECT_TRUE(value);
  EXPECT_EQ(console.lines().back(), "Continue [YES]:");
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(InputTest, TextAnswers) {
  StdinPipe in("  my file.tif  \n\n?\n\"?\"\n\"\"\n\n");
  std::string value;
  IO_INPS(false, "File", 2, help, 1, error, value, status);
  EXPECT_EQ(value, "my file.tif");
  IO_INPC(true, "FILE NAME", "File", 2, help, 1, error, value, status);
  EXPECT_EQ(value, "my file.tif");  // empty answer: the default
  EXPECT_EQ(console.lines().back(), "File [my file.tif]:");
  IO_INPS(true, "File", 2, help, 1, error, value, status);
  EXPECT_EQ(value, "?");  // help first, then the quoted "?" as the value
  EXPECT_EQ(count("Help line one"), 1);
  IO_INPS(true, "File", 2, help, 1, error, value, status);
  EXPECT_EQ(value, "");  // an empty text given on purpose
  value = "keep";
  IO_INPS(false, "File", 2, help, 1, error, value, status);
  EXPECT_EQ(status, io::status_escape);  // empty, no default, then the end of the input
  EXPECT_EQ(value, "keep");
  EXPECT_EQ(count("Error line"), 1);
}

TEST_F(InputTest, SeveralAnswersOnOneLine) {
  StdinPipe in("3 4, rest of it\n12 x 6\n9\n");
  int first = 0, second = 0;
  IO_INPI(false, 0, 0, false, "First", 0, help, 0, error, first, status);
  IO_INPI(false, 0, 0, false, "Second", 0, help, 0, error, second, status);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(second, 4);
  std::string line;
  IO_INPUT_LINE("Rest: ", line, status);
  EXPECT_EQ(line, "rest of it");
  // A refused answer drops what else the line held.
  IO_INPI(true, 1, 10, false, "Third", 0, help, 0, error, first, status);
  EXPECT_EQ(first, 9);
  EXPECT_EQ(status, ST_GOOD());
  EXPECT_EQ(console.lines()[1], "Second: 4");
}

TEST_F(InputTest, PromptLines) {
  auto prompt = [&](const std::string& text, const std::string& range, const std::string& dflt) {
    console.clear();
    IO_OUTPROMPT(text, range, dflt, status);
    Lines lines = console.lines();
    lines.push_back(console.pending());
    return lines;
  };
  EXPECT_EQ(prompt("Number of lines", " (Range: 1 to 10)", " [5]"),
            (Lines{"Number of lines (Range: 1 to 10) [5]:"}));

  const std::string forty = "Enter the number of projections to read";
  Lines lines = prompt(forty, " (Range: 1 to 10000)", " [180]");
  EXPECT_EQ(lines, (Lines{forty, "(Range: 1 to 10000) [180]:"}));

  const std::string long_prompt =
      "Enter the number of the projection image which lies at ninety degrees";
  lines = prompt(long_prompt, " (Range: -1.234567E+05 to -1.234567E+05)", " [-1.234567E+05]");
  ASSERT_EQ(lines.size(), 3u);
  for (const auto& line : lines) EXPECT_LE(line.size(), 60u) << line;
  EXPECT_EQ(lines[2], "(Range: -1.234567E+05 to -1.234567E+05) [-1.234567E+05]:");
  EXPECT_EQ(lines[0] + " " + lines[1], long_prompt);

  // A default far too long for three lines is shortened in the middle.
  const std::string name = "/data/" + std::string(200, 'd') + "/projection_0001.tif";
  lines = prompt("Enter Name of file", "", " [" + name + "]");
  ASSERT_LE(lines.size(), 3u);
  for (const auto& line : lines) EXPECT_LE(line.size(), 60u) << line;
  EXPECT_EQ(lines.back().back(), ':');
  EXPECT_NE(lines.back().find("projection_0001.tif]:"), std::string::npos);
  EXPECT_NE((lines[0] + lines[1]).find("..."), std::string::npos);
}

TEST_F(InputTest, Tokens) {
  int position = 1;
  bool found = false;
  std::string token;
  const std::string text = "  one,two\t\"three four\" ,,five  ";
  Lines seen;
  for (;;) {
    IO_TOKEN(text, position, found, token, status);
    if (!found) break;
    seen.push_back(token);
  }
  EXPECT_EQ(seen, (Lines{"one", "two", "\"three four\"", "five"}));
  EXPECT_EQ(position, 30);
  IO_TOKEN(text, position, found, token, status);
  EXPECT_FALSE(found);

  int num = 0;
  Lines tokens{"stale", "stale", "stale", "stale", "stale", "stale"};
  IO_TOKENS(text, 3, num, tokens, status);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(tokens, (Lines{"one", "two", "\"three four\""}));
  IO_TOKENS("   ", 3, num, tokens, status);
  EXPECT_EQ(num, 0);
  EXPECT_TRUE(tokens.empty());

  IO_SET_SEPARATORS(";", status);
  IO_TOKENS("a b;;c;\"d;e\"", 10, num, tokens, status);
  EXPECT_EQ(tokens, (Lines{"a b", "c", "\"d;e\""}));
  IO_DEF_SEPARATORS(status);
  IO_TOKENS("a b;c", 10, num, tokens, status);
  EXPECT_EQ(tokens, (Lines{"a", "b;c"}));
  // An unclosed quote runs to the end of the text.
  IO_TOKENS("x \"y z", 10, num, tokens, status);
  EXPECT_EQ(tokens, (Lines{"x", "\"y z"}));
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(InputTest, PagerShowsPagesUntilQuit) {
  const Lines text{"L1", "L2", "L3", "L4", "L5", "L6"};
  io::set_pager_page_length(2);
  {
    StdinPipe in("\nq\n");
    IO_TEXT(6, text, status);
  }
  EXPECT_EQ(console.lines(), (Lines{"L1", "L2", "--More-- (RETURN for more, Q to quit)", "L3", "L4",
                                    "--More-- (RETURN for more, Q to quit) q"}));
  console.clear();
  {
    StdinPipe in("");  // the end of the input also stops the pages
    IO_TEXT(6, text, status);
  }
  EXPECT_EQ(console.lines(), (Lines{"L1", "L2", "--More-- (RETURN for more, Q to quit)"}));
  EXPECT_EQ(status, ST_GOOD());
  console.clear();
  io::set_pager_page_length(-1);
  IO_TEXT(99, text, status);  // never more lines than there are
  EXPECT_EQ(console.lines(), text);
}

TEST_F(InputTest, MenuChoices) {
  const Lines commands{"EXIT", "EXPAND", "DISPLAY", "DISP", "Zoom in"};
  const Lines menu_help{"Menu help"};
  StdinPipe in("ex\nxyz\n?\ndisp\n  expa more\nz\n");
  std::string command;
  IO_MENU(5, commands, 1, menu_help, "Enter command", command, status);
  EXPECT_EQ(command, "DISP");
  EXPECT_EQ(count("WARNING: Entered command is ambiguous. Please enter more letters."), 1);
  EXPECT_EQ(count("WARNING: Entered text does not correspond to any of the available choices."), 1);
  EXPECT_EQ(count("Please enter a command from the menu."), 1);
  EXPECT_EQ(count("Menu help"), 1);
  EXPECT_EQ(count("Enter command: disp"), 1);
  IO_MENU(5, commands, 1, menu_help, "Enter command", command, status);
  EXPECT_EQ(command, "EXPAND");
  IO_MENU(5, commands, 1, menu_help, "Enter command", command, status);
  EXPECT_EQ(command, "Zoom in");
  EXPECT_EQ(status, ST_GOOD());
  EXPECT_NE(console.text().find("   EXIT"), std::string::npos);
}

TEST_F(InputTest, MenuPassesDollarLinesToTheSystem) {
  kovtest::TempDir dir;
  const std::string file = dir.file("made");
  StdinPipe in("$ echo made by the shell > " + file + "\ndisp\n");
  const Lines commands{"DISPLAY", "EXIT"};
  std::string command;
  IO_MENU(2, commands, 0, commands, "Command", command, status);
  EXPECT_EQ(command, "DISPLAY");
  EXPECT_EQ(kovtest::read_file(file), "made by the shell\n");
  EXPECT_EQ(count("INFO: Sending the command to the operating system"), 1);
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(InputTest, MenuAtTheEndOfInput) {
  const Lines commands{"ONE"};
  std::string command = "none";
  StdinPipe in("two\n");
  IO_MENU(1, commands, 0, commands, "Command", command, status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(command, "none");
}

TEST_F(InputTest, BadStatusAsksNothing) {
  status = 10017;
  int value = 2;
  IO_INPI(false, 0, 0, true, "Number", 0, help, 0, error, value, status);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(status, 10017);
  EXPECT_TRUE(console.lines().empty());
  EXPECT_EQ(console.pending(), "");
  std::string position;
  ST_INQ_SAVE(position);
  EXPECT_EQ(position.substr(0, 24), "Subroutine IO_INPI V0.4 ");
}

}  // namespace

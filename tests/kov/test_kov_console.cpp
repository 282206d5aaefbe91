// The program's console start-up: greeting, defaults file, no-graphics path.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "console_capture.h"
#include "run_program.h"

namespace {

using kovtest::run_program;
using kovtest::split_lines;
using Lines = std::vector<std::string>;

const Lines greeting = {
    "",
    "           ---------------------------",
    "           WELCOME to KOV_MASTER V0.21",
    "           ---------------------------",
    "",
    "    (X-ray tomography reconstruction set-up)",
    "",
    "Purpose: Development, testing, and timing of CT reconstruction techniques",
    "",
    "(Support for horizontal rotation added.)",
    "",
};

const Lines no_graphics = {
    "WARNING: There was a problem opening the graphics output window. This may be a",
    "\t problem of the X-terminal not accepting graphics output from the host",
    "\t running KOV. If this is the case it can be cured by using the xhost",
    "         program e.g. if KOV is running on system 'tomo-server', then enter:",
    "         xhost +tomo-server",
    "         on the local machine which is being used as an X-terminal.",
    "",
    "         If the problem does not seem to be linked to 'xhost' then check that",
    "         the \"DISPLAY\" variable is properly defined. You can enter:",
    "         printenv DISPLAY",
    "         (for users of the \"C\"-shell or \"T\"-shell) to check the current",
    "         output destination.",
    "",
    "         e.g. If the X-terminal is called 'lab-display' then the \"DISPLAY\" variable",
    "         should be set to 'lab-display:0'. To achieve this enter:",
    "         setenv DISPLAY lab-display:0",
    "",
    "KOV exiting owing to lack of graphics",
};

kovtest::ProgramResult run_without_display(const std::string& home) {
  return run_program(KOV_MASTER_PATH, {}, {{"DISPLAY", std::nullopt}, {"HOME", home}});
}

TEST(KovConsole, NoGraphicsPathWithoutDefaultsFile) {
  kovtest::TempDir home;
  const auto result = run_without_display(home.path());
  EXPECT_EQ(result.exit_status, 1);
  Lines expected = greeting;
  // The window device reports why it could not open before the help text.
  const Lines lines = split_lines(result.output);
  ASSERT_GE(lines.size(), greeting.size() + no_graphics.size());
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + greeting.size()), greeting);
  EXPECT_EQ(Lines(lines.end() - no_graphics.size(), lines.end()), no_graphics);
  EXPECT_FALSE(std::filesystem::exists(home.file(".kov.def")));
}

TEST(KovConsole, NoGraphicsPathLeavesDefaultsFileUntouched) {
  kovtest::TempDir home;
  const std::string contents =
      "DATABASE DEFAULT VALUES FILE\n!!! DO NOT ALTER YOURSELF !!!\nB\n2\nA\n3   \n";
  kovtest::write_file(home.file(".kov.def"), contents);
  const auto before = std::filesystem::last_write_time(home.file(".kov.def"));
  const auto result = run_without_display(home.path());
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(kovtest::read_file(home.file(".kov.def")), contents);
  EXPECT_EQ(std::filesystem::last_write_time(home.file(".kov.def")), before);
}

TEST(KovConsole, FullDefaultsFileStopsTheProgram) {
  // More keys than the store holds: the load fails and the program stops at
  // once, before any attempt to open graphics.
  kovtest::TempDir home;
  std::string contents = "DATABASE DEFAULT VALUES FILE\n!!! DO NOT ALTER YOURSELF !!!\n";
  for (int i = 1; i <= 201; ++i) contents += "K" + std::to_string(i) + "\nv\n";
  kovtest::write_file(home.file(".kov.def"), contents);
  const auto result = run_without_display(home.path());
  EXPECT_EQ(result.exit_status, 1);
  Lines expected = greeting;
  expected.push_back("WARNING: Problem inputting internal database");
  EXPECT_EQ(split_lines(result.output), expected);
  EXPECT_EQ(kovtest::read_file(home.file(".kov.def")), contents);
}

TEST(KovConsole, MacroOptionsAndWhatARunWithoutAWindowNeeds) {
  // "@" stands for the home folder; the run stops with exit status 1 and its
  // line (the last one unless `anywhere`), writing neither defaults nor macro.
  struct Row {
    Lines arguments;
    std::string line;
    bool anywhere = false;
  };
  const Row rows[] = {
      {{"-NOGRAPHICS"}, "ERROR: -NOGRAPHICS needs -MACRO FILE (every answer comes from the macro)"},
      {{"-macro"}, "ERROR: -MACRO needs a file name"},
      {{"-MACRO", "-NOGRAPHICS"}, "ERROR: -MACRO needs a file name"},
      {{"+Record"}, "ERROR: -RECORD needs a file name"},
      {{"-DEFINE", "=1"}, "ERROR: -DEFINE needs NAME=VALUE"},
      {{"-NOGRAPHICS", "-MACRO", "@syntax.mac", "-RECORD", "@new.mac"},
       "Syntax error from an input macro"},
      {{"-LAND", "-RECORD", "@new.mac"}, "KOV exiting owing to lack of graphics"},
      {{"-MACRO", "@comment.mac", "-COLOURS", "64"},
       "INFO: No graphics window: the answers come from the macro",
       true},
  };
  for (const Row& row : rows) {
    kovtest::TempDir home;
    kovtest::write_file(home.file("syntax.mac"), "DO I 1 3\nSCAN\n");
    kovtest::write_file(home.file("comment.mac"), "! nothing to answer\n");
    Lines arguments = row.arguments;
    for (std::string& a : arguments) {
      if (a[0] == '@') a = home.file(a.substr(1));
    }
    const auto result =
        run_program(KOV_MASTER_PATH, arguments, {{"DISPLAY", std::nullopt}, {"HOME", home.path()}});
    const Lines lines = split_lines(result.output);
    SCOPED_TRACE(row.line);
    EXPECT_EQ(result.exit_status, 1);
    ASSERT_FALSE(lines.empty());
    if (row.anywhere) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), row.line), lines.end());
    } else {
      EXPECT_EQ(lines.back(), row.line);
    }
    EXPECT_FALSE(std::filesystem::exists(home.file(".kov.def")));
    EXPECT_FALSE(std::filesystem::exists(home.file("new.mac")));
  }
}

}  // namespace

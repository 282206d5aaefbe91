// Numbered file series, names of a series, name parts, "~" translation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "io_internal.h"

namespace {

struct Series {
  const char* first;
  const char* last;
  int start, end, step;
  const char* prefix;
  bool variable;
  int digits;
  const char* postfix;
  const char* extension;
};

class FileNameTest : public ::testing::Test {
 protected:
  void SetUp() override { ST_DEF_SYSTEM(status); }
  int status = 0;
};

TEST_F(FileNameTest, SeriesFromFirstAndLastName) {
  const std::vector<Series> cases = {
      {"scan_0001.tif", "scan_0360.tif", 1, 360, 1, "scan_", false, 4, "", ".tif"},
      {"im9.dat", "im10.dat", 9, 10, 1, "im", true, 0, "", ".dat"},
      {"a10.tif", "a20.tif", 10, 20, 1, "a", false, 2, "", ".tif"},
      {"f100.dat", "f001.dat", 100, 1, -1, "f", false, 3, "", ".dat"},
      {"x_7.img", "x_12.img", 7, 12, 1, "x_", true, 0, "", ".img"},
      {"run3_dark.edf.gz", "run9_dark.edf.gz", 3, 9, 1, "run", false, 1, "_dark", ".edf.gz"},
      {"frame001  ", "frame120", 1, 120, 1, "frame", false, 3, "", ""},
      // The common head and tail overlap in the shorter name.
      {"im1.tif", "im11.tif", 1, 11, 1, "im", true, 0, "", ".tif"},
      {"im11.tif", "im1.tif", 11, 1, -1, "im", true, 0, "", ".tif"},
      {"im10.tif", "im110.tif", 10, 110, 1, "im", true, 0, "", ".tif"},
      // One name is a leading part of the other.
      {"scan1", "scan12", 1, 12, 1, "scan", true, 0, "", ""},
      // Identical names: a series of one file numbered 1.
      {"scan_0001.tif", "scan_0001.tif", 1, 1, 1, "scan_0001", false, 0, "", ".tif"},
      {"image.", "image.", 1, 1, 1, "image", false, 0, "", "."},
  };
  for (const Series& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " " + c.last);
    int retstat = 99, start = 0, end = 0, step = 0, digits = -1;
    bool variable = !c.variable;
    std::string prefix = "?", postfix = "?", extension = "?";
    IO_FILESEQUENCE(c.first, c.last, retstat, start, end, step, prefix, variable, digits, postfix,
                    extension, status);
    EXPECT_EQ(retstat, 0);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(step, c.step);
    EXPECT_EQ(prefix, c.prefix);
    EXPECT_EQ(variable, c.variable);
    EXPECT_EQ(digits, c.digits);
    EXPECT_EQ(postfix, c.postfix);
    EXPECT_EQ(extension, c.extension);

    // The series gives back its own first and last names.
    if (c.digits > 0 || c.variable) {
      std::string name;
      IO_FILENAME(prefix, start, !variable, digits, postfix + extension, retstat, name, status);
      EXPECT_EQ(name, io::trimmed(c.first));
      IO_FILENAME(prefix, end, !variable, digits, postfix + extension, retstat, name, status);
      EXPECT_EQ(name, c.last);
    }
  }
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(FileNameTest, NoSeriesLeavesOutputsAlone) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"", "scan_0001.tif"}, {"scan_0001.tif", "   "}, {"abc.tif", "abd.tif"},
      {"scan", "scan1"},     {"img1", "img1.tif"},     {"x99999999999.tif", "x1.tif"}};
  for (const auto& [first, last] : cases) {
    SCOPED_TRACE(std::string(first) + " " + last);
    int retstat = 0, start = 7, end = 7, step = 7, digits = 7;
    bool variable = true;
    std::string prefix = "keep", postfix = "keep", extension = "keep";
    IO_FILESEQUENCE(first, last, retstat, start, end, step, prefix, variable, digits, postfix,
                    extension, status);
    EXPECT_EQ(retstat, -1);
    EXPECT_EQ(prefix, "keep");
    EXPECT_EQ(start, 7);
    EXPECT_EQ(extension, "keep");
  }
  EXPECT_EQ(status, ST_GOOD());
}

// A series is given only when it names both files again; where the split
// cannot (the number of one name runs into the head or tail that the other
// shares, or the widths disagree), there is no series.
TEST_F(FileNameTest, EverySeriesRebuildsBothNames) {
  const std::vector<std::tuple<const char*, const char*, int>> pairs = {
      {"10.tif", "100.tif", -1},
      {"1.tif", "10.tif", -1},
      {"100.tif", "10.tif", -1},
      {"run01.dat", "run1.dat", -1},
      {"x+1.tif", "x-1.tif", -1},
      {"a_1_1.tif", "a_2_2.tif", -1},
      {"img_10_a.tif", "img_20_b.tif", -1},
      {"im1.tif", "im11.tif", 0},
      {"im11.tif", "im1.tif", 0},
      {"im10.tif", "im110.tif", 0},
      {"a1b1.tif", "a1b11.tif", 0},
      {"scan1", "scan12", 0},
      {"scan12", "scan1", 0},
      {"x9.tif", "x10.tif", 0},
      {"a-5.tif", "a-10.tif", 0},
      {"f100.dat", "f001.dat", 0},
      {"s_0009.tif", "s_0010.tif", 0},
      {"d1/im1.tif", "d1/im11.tif", 0},
      {"110.tif", "111.tif", 0},
  };
  for (const auto& [first, last, expected] : pairs) {
    SCOPED_TRACE(std::string(first) + " " + last);
    int retstat = 99;
    io::FileSeries series;
    series.prefix = "keep";
    IO_FILESEQUENCE(first, last, retstat, series, status);
    EXPECT_EQ(retstat, expected);
    if (retstat != 0) {
      EXPECT_EQ(series.prefix, "keep");
      continue;
    }
    for (const auto& [number, name] :
         {std::pair{series.first, first}, std::pair{series.last, last}}) {
      std::string rebuilt;
      IO_FILENAME(series.prefix, number, !series.variable, series.digits,
                  series.postfix + series.extension, retstat, rebuilt, status);
      EXPECT_EQ(retstat, 0);
      EXPECT_EQ(rebuilt, name);
    }
  }
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(FileNameTest, NameOfANumber) {
  int retstat = 5;
  std::string name = "unchanged";
  IO_FILENAME("scan_   ", 12, true, 4, ".tif  ", retstat, name, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(name, "scan_0012.tif");
  IO_FILENAME("scan_", 12, false, 4, ".tif", retstat, name, status);
  EXPECT_EQ(name, "scan_12.tif");
  IO_FILENAME("scan", 12, true, 0, ".tif", retstat, name, status);
  EXPECT_EQ(name, "scan.tif");
  IO_FILENAME("scan_", -7, true, 4, "", retstat, name, status);
  EXPECT_EQ(name, "scan_-007");
  name = "unchanged";
  IO_FILENAME("scan_", 12345, true, 4, ".tif", retstat, name, status);
  EXPECT_EQ(retstat, -1);
  EXPECT_EQ(name, "unchanged");
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(FileNameTest, NextNameOfASeries) {
  const std::vector<std::tuple<const char*, int, const char*>> cases = {
      {"img0099.tif", 1, "img0100.tif"},
      {"img99.tif", 1, "img100.tif"},
      {"img0100.tif", -1, "img0099.tif"},
      {"a1", 5, "a6"},
      {"frame0009", 1, "frame0010"},
      {"/data.v2/run_009.edf", 1, "/data.v2/run_010.edf"},
      {"/img0001.tif", 2, "/img0003.tif"},
      {"scan2_0001.raw.", 1, "scan2_0002.raw."},
      {"img0001000000.tif", 1, "img0001000001.tif"},
      {"img1000000.tif", 1, "img1000001.tif"},
  };
  for (const auto& [name, increment, expected] : cases) {
    SCOPED_TRACE(name);
    int retstat = 9;
    std::string result;
    IO_NEWFILENAME(name, increment, retstat, result, status);
    EXPECT_EQ(retstat, 0);
    EXPECT_EQ(result, expected);
  }
  const std::vector<std::pair<const char*, int>> failures = {
      {"a.tif", 2}, {"dir/b", 2}, {"abc.tif", 3}, {"x99999999999.tif", 4}};
  for (const auto& [name, code] : failures) {
    SCOPED_TRACE(name);
    int retstat = 0;
    std::string result = "keep";
    IO_NEWFILENAME(name, 1, retstat, result, status);
    EXPECT_EQ(retstat, code);
    EXPECT_EQ(result, "keep");
  }
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(FileNameTest, NameParts) {
  using Part = void (*)(const std::string&, std::string&, int&);
  const std::tuple<Part, const char*, const char*> cases[] = {
      {IO_EXTENSION, "dir/scan.0001.tif  ", "tif"},
      {IO_EXTENSION, "/data.v2/scan", ""},
      {IO_NOEXTENSION, "/data.v2/scan", "/data.v2/scan"},
      {IO_NOEXTENSION, "/data/scan_001.tif", "/data/scan_001"},
      {IO_DIRPATH, "/a/b/c.tif", "/a/b"},
      {IO_DIRPATH, "c.tif", ""},
      {IO_NODIRPATH, "/a/b/c.tif", "c.tif"},
      {IO_BASENAME, "/a.d/b/c.x.tif", "c.x"},
  };
  for (const auto& [part, name, expected] : cases) {
    std::string out = "?";
    part(name, out, status);
    EXPECT_EQ(out, expected) << name;
  }
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(FileNameTest, JoiningTexts) {
  std::string out = "keep";
  IO_CONCATC3("ab  ", "", "cd\t", 4, out, status);
  EXPECT_EQ(out, "abcd");
  IO_CONCATC5("a", "b", "c", "d", "e", 5, out, status);
  EXPECT_EQ(out, "abcde");
  EXPECT_EQ(status, ST_GOOD());
  IO_CONCAT2("abc", "de", 4, out, status);
  EXPECT_EQ(status, 11015);
  EXPECT_EQ(out, "abcde");
  std::string position;
  ST_INQ_SAVE(position);
  EXPECT_EQ(io::trimmed(position), "Subroutine IO_CONCAT2 V0.1");
  // Entered with a bad status, a routine changes nothing.
  IO_EXTENSION("x.tif", out, status);
  EXPECT_EQ(out, "abcde");
}

class HomeTest : public FileNameTest {
 protected:
  void SetUp() override {
    FileNameTest::SetUp();
    const char* home = std::getenv("HOME");
    had_home = home != nullptr;
    if (had_home) old_home = home;
    setenv("HOME", dir.path().c_str(), 1);
  }
  void TearDown() override {
    if (had_home) {
      setenv("HOME", old_home.c_str(), 1);
    } else {
      unsetenv("HOME");
    }
  }
  kovtest::TempDir dir;
  bool had_home = false;
  std::string old_home;
};

TEST_F(HomeTest, TildeTranslation) {
  int retstat = 9;
  std::string out;
  IO_TRANS_PATH("~/.kov.def", retstat, out, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(out, dir.path() + "/.kov.def");
  IO_TRANS_PATH("   ~  ", retstat, out, status);
  EXPECT_EQ(out, dir.path());
  IO_TRANS_PATH("  /abs/x~y  ", retstat, out, status);
  EXPECT_EQ(out, "/abs/x~y");
  IO_TRANS_PATH("", retstat, out, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(out, "");
  IO_TRANS_PATH("~root/x", retstat, out, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(out.substr(out.size() - 2), "/x");
  EXPECT_NE(out.substr(0, 5), "~root");
  setenv("HOME", "/", 1);
  IO_TRANS_PATH("~/x", retstat, out, status);
  EXPECT_EQ(out, "/x");
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(HomeTest, UnknownUsers) {
  for (const auto& [path, code] :
       std::vector<std::pair<const char*, int>>{{"~x/y", 4}, {"~no_such_kov_user/y", 1}}) {
    kovtest::ConsoleCapture console;
    int retstat = 0;
    std::string out;
    IO_TRANS_PATH(path, retstat, out, status);
    EXPECT_EQ(retstat, code);
    EXPECT_EQ(console.lines(),
              std::vector<std::string>{"WARNING: Problem obtaining home directory information"});
  }
  int retstat = 0;
  std::string home;
  IO_USERPATH("a/b", retstat, home, status);
  EXPECT_EQ(retstat, 3);
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(FileNameTest, SystemAndLogin) {
  std::string os, machine;
  IO_SYSTEM_NAME(os, machine, status);
  EXPECT_EQ(os, "LINUX");
  EXPECT_EQ(machine, "PC");
  EXPECT_FALSE(IO_LOGINNAME().empty());
  int unit_size = 0;
  IO_RECL(unit_size, status);
  EXPECT_EQ(unit_size, 1);
}

}  // namespace

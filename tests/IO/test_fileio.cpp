// Text files on numbered units, file existence and size.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "io_internal.h"
#include "stdin_pipe.h"

namespace {

using AnswersOnStdin = kovtest::StdinPipe;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override { ST_DEF_SYSTEM(status); }
  int status = 0;
  kovtest::TempDir dir;
};

TEST_F(FileIoTest, WriteThenReadLines) {
  std::string name = dir.file("lines.txt");
  int retstat = 9;
  IO_OPEN_ASCIIFILE(false, "WRITE", 12, name, retstat, status);
  ASSERT_EQ(retstat, 0);
  IO_WRITE_FILE(12, "first   ", status);
  IO_WRITE_FILE(12, "", status);
  IO_WRITE_FILE(12, "third", status);
  IO_CLOSE_ASCIIFILE(12, status);
  EXPECT_EQ(kovtest::read_file(name), "first\n\nthird\n");
  std::int64_t size = 0;
  IO_FILESIZE(name, size, status);
  EXPECT_EQ(size, 13);

  // A line end of "\r\n" and a last line without its line end are read too.
  kovtest::write_file(name, "one\r\n\ntwo");
  IO_OPEN_ASCIIFILE(false, "read", 13, name, retstat, status);
  ASSERT_EQ(retstat, 0);
  std::vector<std::string> lines;
  std::string line;
  for (IO_READ_ASCIIFILE(13, line, retstat, status); retstat == 0;
       IO_READ_ASCIIFILE(13, line, retstat, status)) {
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "two"}));
  EXPECT_EQ(retstat, 1);
  IO_CLOSE_ASCIIFILE(13, status);
  IO_READ_ASCIIFILE(13, line, retstat, status);  // the unit is closed
  EXPECT_EQ(retstat, 1);
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(FileIoTest, ReadAndUpdateNeedAnExistingFile) {
  for (const char* access : {"READ", "UPDATE"}) {
    std::string name = dir.file("missing.txt");
    int retstat = 0;
    IO_OPEN_ASCIIFILE(false, access, 14, name, retstat, status);
    EXPECT_EQ(retstat, 1) << access;
  }
  std::string name = dir.path();  // a directory is not a text file
  int retstat = 0;
  IO_OPEN_ASCIIFILE(false, "READ", 14, name, retstat, status);
  EXPECT_EQ(retstat, 1);
  EXPECT_EQ(status, ST_GOOD());
  EXPECT_EQ(kovtest::read_file(dir.file("missing.txt")), "");
  bool exists = true;
  IO_FILEEXIST(dir.file("missing.txt"), exists, status);
  EXPECT_FALSE(exists);
  std::int64_t size = 0;
  IO_FILESIZE(dir.file("missing.txt"), size, status);
  EXPECT_EQ(size, -1);
  IO_FILEEXIST(dir.path(), exists, status);
  EXPECT_TRUE(exists);
  IO_FILEEXIST("   ", exists, status);
  EXPECT_EQ(status, 10033);
}

TEST_F(FileIoTest, WriteFailureReportedAtClose) {
  std::string name = "/dev/full";
  int retstat = 9;
  IO_OPEN_ASCIIFILE(false, "WRITE", 15, name, retstat, status);
  ASSERT_EQ(retstat, 0);
  IO_WRITE_FILE(15, "held in the buffer until the close", status);
  ASSERT_EQ(status, ST_GOOD());
  kovtest::ConsoleCapture console;
  IO_CLOSE_ASCIIFILE(15, status);
  EXPECT_EQ(status, 11010);
  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{
                "ERROR: Failed to output ASCII text to an output file. May be you do not",
                "       have write permission, or the file system, or your quota, are full.", "",
                "             28",
                "       (This value is system dependent; see system documentation.)", ""}));
  EXPECT_EQ(io::unit_stream(15), nullptr);
}

TEST_F(FileIoTest, PromptAsksAgainAfterAFailedOpen) {
  const std::string good = dir.file("found.txt");
  kovtest::write_file(good, "content\n");
  std::string name = "default.txt";
  int retstat = 9;
  {
    AnswersOnStdin answers(dir.file("no/such.txt") + "\n" + good + "\n");
    kovtest::ConsoleCapture console;
    IO_OPEN_ASCIIFILE(true, "READ", 16, name, retstat, status);
    EXPECT_EQ(std::count(console.lines().begin(), console.lines().end(),
                         "WARNING: Error in opening file, Please retype name"),
              1);
  }
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(name, good);
  std::string line;
  IO_READ_ASCIIFILE(16, line, retstat, status);
  EXPECT_EQ(line, "content");
  IO_CLOSE_ASCIIFILE(16, status);
  EXPECT_EQ(status, ST_GOOD());

  // An empty answer takes the current name; the user escape gives up.
  {
    AnswersOnStdin answers("\n\\\\\n");
    kovtest::ConsoleCapture console;
    IO_OPEN_ASCIIFILE(true, "WRITE", 16, name, retstat, status);
    EXPECT_EQ(retstat, 0);
    IO_CLOSE_ASCIIFILE(16, status);
    name = dir.file("no/such.txt");
    IO_OPEN_ASCIIFILE(true, "WRITE", 16, name, retstat, status);
  }
  EXPECT_EQ(retstat, 1);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(kovtest::read_file(good), "");  // replaced by the empty file written above
}

}  // namespace

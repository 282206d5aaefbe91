// A new file takes its name only while no entry has it: one that appears
// while the text is being written is never replaced.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "console_capture.h"
#include "file_size_limit.h"
#include "io.h"
#include "io_internal.h"

TEST(IoNewFile, NeverReplacesAFileThatAppearsMeanwhile) {
  kovtest::TempDir dir;
  const std::string target = dir.file("recon.par");
  const int unit = io::free_unit();
  std::string temp_name;
  ASSERT_EQ(io::open_temp_unit(unit, target, temp_name), 0);
  ASSERT_EQ(io::write_unit_line(unit, "new"), 0);
  kovtest::write_file(target, "theirs\n");
  EXPECT_EQ(io::commit_temp_unit(unit, temp_name, target, false), EEXIST);
  EXPECT_EQ(kovtest::read_file(target), "theirs\n");
  EXPECT_FALSE(std::filesystem::exists(temp_name));

  // With the name free, the file is made whole, through "~" as well.
  const char* home = std::getenv("HOME");
  const std::string old_home = home != nullptr ? home : "";
  setenv("HOME", dir.path().c_str(), 1);
  io::NewFile result = io::NewFile::not_made;
  std::string reason = "?";
  int status = ST_GOOD();
  io::write_new_file("~/made.par", "a\nb\n", result, reason, status);
  if (home != nullptr) {
    setenv("HOME", old_home.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
  EXPECT_EQ(result, io::NewFile::written);
  EXPECT_EQ(reason, "");
  EXPECT_EQ(kovtest::read_file(dir.file("made.par")), "a\nb\n");
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++count;
  EXPECT_EQ(count, 2U);
}

// A text longer than the stream's buffer fails in the write itself (the
// size limit stands for a full disc): nothing is left, and the console has
// the lines of a failed write.
TEST(IoNewFile, FailedWriteLeavesNothing) {
  kovtest::TempDir dir;
  io::NewFile result = io::NewFile::written;
  std::string reason;
  int status = ST_GOOD();
  kovtest::ConsoleCapture console;
  {
    const kovtest::FileSizeLimit full(1000);
    io::write_new_file(dir.file("big.par"), std::string(1 << 16, 'x'), result, reason, status);
  }
  EXPECT_EQ(result, io::NewFile::not_written);
  EXPECT_EQ(reason, "File too large");
  EXPECT_EQ(status, ST_GOOD());
  ASSERT_FALSE(console.lines().empty());
  EXPECT_EQ(console.lines().front().rfind("ERROR: Failed to output ASCII text", 0), 0U);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

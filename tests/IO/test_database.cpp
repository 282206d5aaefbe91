// The key/value defaults database: store, typed values, load and save.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "io_internal.h"

namespace {

using Lines = std::vector<std::string>;
const std::string header = "DATABASE DEFAULT VALUES FILE\n!!! DO NOT ALTER YOURSELF !!!\n";

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ST_DEF_SYSTEM(status);
    io::clear_database();
  }
  void set(const std::string& key, const std::string& value, int length = -1) {
    IO_SET_KEYVALUE(key, length < 0 ? static_cast<int>(value.size()) : length, value, retstat,
                    status);
  }
  std::string get(const std::string& key) {
    std::string value = "<absent>";
    int length = -1;
    retstat = 0;
    IO_INQ_KEYVALUE(key, length, value, retstat, status);
    if (retstat == 0) {
      EXPECT_EQ(length, static_cast<int>(value.size()));
    }
    return value;
  }
  // Keys of the store in order.
  Lines keys() {
    Lines result;
    for (int n = 1;; ++n) {
      std::string key, value;
      int length = 0, found = 0;
      IO_ACCESS_DATABASE(-n, key, length, value, found, status);
      if (found != 0) break;
      result.push_back(key);
    }
    return result;
  }
  Lines directory_entries() {
    Lines names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  int status = 0;
  int retstat = 0;
  kovtest::TempDir dir;
};

TEST_F(DatabaseTest, OrderOfLastSettingAndSavedFile) {
  set("A", "1");
  set("B", "2");
  set("A", "3");
  set("#RUN_ONLY", "x");
  EXPECT_EQ(keys(), (Lines{"B", "A", "#RUN_ONLY"}));
  EXPECT_EQ(get("A"), "3");
  EXPECT_EQ(get("#RUN_ONLY"), "x");
  const std::string file = dir.file("kov.def");
  IO_SAVE_DATABASE(file, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(kovtest::read_file(file), header + "B\n2\nA\n3\n");
  EXPECT_EQ(directory_entries(), Lines{"kov.def"});
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(DatabaseTest, InquiriesAndKeys) {
  retstat = 7;
  set("KEY", "value  ", 9);  // blank padded to the given length
  EXPECT_EQ(retstat, 7);     // a successful set leaves retstat alone
  EXPECT_EQ(get("KEY  "), "value    ");
  EXPECT_EQ(get("key"), "<absent>");
  EXPECT_EQ(retstat, 2);
  set("TWO WORDS", "v");  // a key with a blank inside is never found again
  EXPECT_EQ(get("TWO WORDS"), "<absent>");
  const std::string long_key(33, 'K');
  set(long_key, "v");
  EXPECT_EQ(get(long_key), "<absent>");
  // Read-back goes through 256 characters holding key, blank and value.
  set("LONG", std::string(300, 'v'));
  EXPECT_EQ(get("LONG"), std::string(256 - 5, 'v'));
  std::string key, value = "keep";
  int length = 0;
  IO_ACCESS_DATABASE(-99, key, length, value, retstat, status);
  EXPECT_EQ(retstat, 2);
  EXPECT_EQ(value, "keep");
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(DatabaseTest, TypedValues) {
  int i = 0;
  IO_SET_IKEYVALUE("I", -12345, retstat, status);
  IO_INQ_IKEYVALUE("I", i, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(i, -12345);
  float r = 0.0F;
  IO_SET_RKEYVALUE("R", 1.5F, retstat, status);
  IO_INQ_RKEYVALUE("R", r, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_FLOAT_EQ(r, 1.5F);
  bool l = false;
  IO_SET_LKEYVALUE("L", true, retstat, status);
  EXPECT_EQ(get("L"), "TRUE");
  IO_INQ_LKEYVALUE("L", l, retstat, status);
  EXPECT_TRUE(l);
  set("L", "FALSE   ");
  IO_INQ_LKEYVALUE("L", l, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_FALSE(l);

  set("BAD", "abc");
  i = 42;
  IO_INQ_IKEYVALUE("BAD", i, retstat, status);
  EXPECT_EQ(retstat, 3);
  EXPECT_EQ(i, 42);
  r = 2.0F;
  IO_INQ_RKEYVALUE("BAD", r, retstat, status);
  EXPECT_EQ(retstat, 3);
  EXPECT_EQ(r, 2.0F);
  set("LOWER", "true");
  l = false;
  IO_INQ_LKEYVALUE("LOWER", l, retstat, status);
  EXPECT_EQ(retstat, 3);
  EXPECT_FALSE(l);
  IO_INQ_IKEYVALUE("NEVER_SET", i, retstat, status);
  EXPECT_EQ(retstat, 2);
  EXPECT_EQ(i, 42);
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(DatabaseTest, NoRoom) {
  for (int n = 1; n <= 200; ++n) set("K" + std::to_string(n), "1");
  EXPECT_EQ(retstat, 0);
  set("K201", "1");
  EXPECT_EQ(retstat, 1);
  EXPECT_EQ(get("K201"), "<absent>");
  retstat = 0;
  set("K1", "2");  // a replacement still fits
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(keys().back(), "K1");

  // Entry "K " + value: 2 + length characters from position 1; the text may
  // not reach position 8000.
  io::clear_database();
  set("K", std::string(7996, 'x'));
  EXPECT_EQ(retstat, 0);
  io::clear_database();
  set("K", std::string(7997, 'x'));
  EXPECT_EQ(retstat, 1);
  // A replacement that does not fit is refused and the old entry stays,
  // in its place.
  io::clear_database();
  retstat = 0;
  set("A", "old");
  set("B", "2");
  set("A", std::string(8000, 'x'));
  EXPECT_EQ(retstat, 1);
  EXPECT_EQ(get("A"), "old");
  EXPECT_EQ(keys(), (Lines{"A", "B"}));
  // The room the old entry leaves counts: a replacement filling it fits.
  io::clear_database();
  set("K", std::string(7000, 'o'));
  set("K", std::string(7996, 'n'));
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(get("K"), std::string(254, 'n'));
  set("A", "x", 2000000000);  // no huge allocation either
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(DatabaseTest, LoadAddsAndReplaces) {
  const std::string file = dir.file("kov.def");
  // The first line marks a defaults file; the second is not looked at.
  kovtest::write_file(
      file, "DATABASE DEFAULT VALUES FILE\nany second line\nA\nnew   \nC\n  three  \nDANGLING\n");
  set("A", "old");
  set("B", "kept");
  IO_LOAD_DATABASE(file, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(keys(), (Lines{"B", "A", "C"}));
  EXPECT_EQ(get("A"), "new");
  EXPECT_EQ(get("C"), "  three");
  EXPECT_EQ(get("DANGLING"), "<absent>");

  // Trailing blanks are lost across a save and a load.
  set("T", "abc  ");
  IO_SAVE_DATABASE(file, retstat, status);
  EXPECT_NE(kovtest::read_file(file).find("\nT\nabc  \n"), std::string::npos);
  io::clear_database();
  IO_LOAD_DATABASE(file, retstat, status);
  EXPECT_EQ(get("T"), "abc");
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(DatabaseTest, LoadMissingOrOverfullFile) {
  set("A", "1");
  IO_LOAD_DATABASE(dir.file("missing.def"), retstat, status);
  EXPECT_EQ(retstat, -1);
  EXPECT_EQ(keys(), Lines{"A"});

  std::string text = header;
  for (int n = 1; n <= 210; ++n) text += "K" + std::to_string(n) + "\nv\n";
  kovtest::write_file(dir.file("full.def"), text);
  io::clear_database();
  IO_LOAD_DATABASE(dir.file("full.def"), retstat, status);
  EXPECT_EQ(retstat, 1);
  EXPECT_EQ(keys().size(), 200U);
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(DatabaseTest, LineBreakInsideAValueKeepsTheFileInStep) {
  set("A", "x\ny");
  set("B", "2");
  const std::string file = dir.file("kov.def");
  IO_SAVE_DATABASE(file, retstat, status);
  io::clear_database();
  IO_LOAD_DATABASE(file, retstat, status);
  EXPECT_EQ(get("A"), "x y");
  EXPECT_EQ(get("B"), "2");
}

TEST_F(DatabaseTest, SaveKeepsModeAndLinks) {
  const std::string real = dir.file("real.def");
  const std::string link = dir.file("link.def");
  kovtest::write_file(real, "old");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  set("A", "1");
  IO_SAVE_DATABASE(link, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(kovtest::read_file(real), header + "A\n1\n");
  struct stat info {};
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640U);
}

// Saves that cannot complete leave the previous file exactly as it was.
TEST_F(DatabaseTest, FailedSaveOpenKeepsOldFile) {
  set("A", "1");
  // /proc accepts no new files, even from root.
  const std::string before = kovtest::read_file("/proc/version");
  ASSERT_FALSE(before.empty());
  kovtest::ConsoleCapture console;
  IO_SAVE_DATABASE("/proc/version", retstat, status);
  EXPECT_EQ(retstat, -1);
  // The line the save has always written, then the system's reason.
  EXPECT_EQ(
      console.lines(),
      (Lines{"IO_OPEN_ASCIIFILE retstat =      1",
             "WARNING: The defaults file /proc/version is not saved: No such file or directory"}));
  EXPECT_EQ(kovtest::read_file("/proc/version"), before);

  // A directory in the path that is a file.
  kovtest::write_file(dir.file("plain"), "x");
  IO_SAVE_DATABASE(dir.file("plain/kov.def"), retstat, status);
  EXPECT_EQ(retstat, -1);
  EXPECT_EQ(kovtest::read_file(dir.file("plain")), "x");

  // A directory in the place of the file.
  std::filesystem::create_directory(dir.file("sub"));
  IO_SAVE_DATABASE(dir.file("sub"), retstat, status);
  EXPECT_EQ(retstat, -1);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
  EXPECT_EQ(directory_entries().size(), 2U);  // no temporary file left
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(DatabaseTest, FailedWriteKeepsOldFile) {
  const std::string file = dir.file("kov.def");
  std::string old = header;
  for (int n = 0; n < 50; ++n) old += "OLD" + std::to_string(n) + "\nvalue   \n";
  kovtest::write_file(file, old);
  for (int n = 1; n <= 100; ++n) set("KEY" + std::to_string(n), std::string(60, 'v'));

  // Files may not grow past a limit for the duration of each save: first
  // the stream's buffer fills and fails while lines are written, then a
  // small store fails only when the last buffer is flushed at the close.
  for (long limit : {3000L, 100L}) {
    if (limit == 100L) {
      io::clear_database();
      set("A", std::string(120, 'a'));
    }
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*old_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(limit);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    kovtest::ConsoleCapture console;
    IO_SAVE_DATABASE(file, retstat, status);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(retstat, -1);
    EXPECT_EQ(status, ST_GOOD());
    // The six lines of a failed write, then the system's reason.
    ASSERT_EQ(console.lines().size(), 7U);
    EXPECT_EQ(console.lines()[0],
              "ERROR: Failed to output ASCII text to an output file. May be you do not");
    EXPECT_EQ(console.lines()[6],
              "WARNING: The defaults file " + file + " is not saved: File too large");
    EXPECT_EQ(kovtest::read_file(file), old);
    EXPECT_EQ(directory_entries(), Lines{"kov.def"});
  }
}

TEST_F(DatabaseTest, SaveToHomeDirectory) {
  const char* home = std::getenv("HOME");
  const std::string old_home = home != nullptr ? home : "";
  setenv("HOME", dir.path().c_str(), 1);
  set("A", "1");
  IO_SAVE_DATABASE("~/.kov.def", retstat, status);
  io::clear_database();
  int loaded = 9;
  IO_LOAD_DATABASE("~/.kov.def", loaded, status);
  if (home != nullptr) {
    setenv("HOME", old_home.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(loaded, 0);
  EXPECT_EQ(kovtest::read_file(dir.file(".kov.def")), header + "A\n1\n");
  EXPECT_EQ(get("A"), "1");
}

}  // namespace

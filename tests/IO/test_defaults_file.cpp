// The defaults file under hostile conditions: entries that are not regular
// files, files that cannot be read or are not defaults files at all, and
// saves that fail. A file that the load refuses is never saved over.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "io_internal.h"

namespace {

using Lines = std::vector<std::string>;
const std::string header = "DATABASE DEFAULT VALUES FILE\n!!! DO NOT ALTER YOURSELF !!!\n";
const char* const left_alone =
    "         It is left as it is, and the answers of this run are not saved.";

// What a file entry is: the entry itself (a link stays a link) and what it
// leads to, with the bytes of a regular file.
struct Snapshot {
  bool exists = false;
  mode_t entry_mode = 0;
  ino_t entry_inode = 0;
  mode_t mode = 0;
  ino_t inode = 0;
  dev_t device = 0;
  std::string bytes;
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const std::string& path) {
  Snapshot s;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return s;
  s.exists = true;
  s.entry_mode = info.st_mode;
  s.entry_inode = info.st_ino;
  if (stat(path.c_str(), &info) != 0) return s;
  s.mode = info.st_mode;
  s.inode = info.st_ino;
  s.device = info.st_rdev;
  if (S_ISREG(info.st_mode)) s.bytes = kovtest::read_file(path);
  return s;
}

// The console lines and exit code of `body` run in a child process, which
// may change its user or its mounts without touching the test's own.
struct ChildRun {
  int code = -1;  // 77: the child could not set itself up
  Lines console;
};

ChildRun in_child(const std::function<int()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    int code = 0;
    std::string text;
    {
      kovtest::ConsoleCapture console;
      code = body();
      text = console.text();
    }
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t n = write(fds[1], text.data() + done, text.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    _exit(code);
  }
  close(fds[1]);
  std::string text;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  ChildRun run;
  run.code = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    run.console.push_back(text.substr(start, end - start));
  }
  return run;
}

// The user "nobody", whom permissions stop even where they do not stop root.
bool nobody(uid_t& uid, gid_t& gid) {
  const passwd* record = getpwnam("nobody");
  if (record == nullptr) return false;
  uid = record->pw_uid;
  gid = record->pw_gid;
  return true;
}

// In a child: becomes "nobody" when running as root. False when that fails.
bool drop_root() {
  if (geteuid() != 0) return true;
  uid_t uid = 0;
  gid_t gid = 0;
  return nobody(uid, gid) && setgroups(0, nullptr) == 0 && setresgid(gid, gid, gid) == 0 &&
         setresuid(uid, uid, uid) == 0;
}

// Hands `path` to the user the child will run as.
void give_to_child_user(const std::string& path) {
  uid_t uid = 0;
  gid_t gid = 0;
  if (geteuid() == 0 && nobody(uid, gid)) {
    ASSERT_EQ(lchown(path.c_str(), uid, gid), 0) << path;
  }
}

class DefaultsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ST_DEF_SYSTEM(status);
    io::clear_database();
    // A load that blocks or reads without end fails the test instead of
    // hanging the run.
    alarm(20);
  }
  void TearDown() override { alarm(0); }

  void set(const std::string& key, const std::string& value) {
    IO_SET_KEYVALUE(key, static_cast<int>(value.size()), value, retstat, status);
  }
  std::string get(const std::string& key) {
    std::string value = "<absent>";
    int length = 0;
    int found = 0;
    IO_INQ_KEYVALUE(key, length, value, found, status);
    return value;
  }

  // Loads `file`, which must be refused with `reason`, then saves to it: the
  // store keeps what it held and the file stays exactly as it was.
  void expect_refused(const std::string& file, const std::string& reason) {
    set("BEFORE", "kept");
    const Snapshot before = snapshot(file);
    {
      kovtest::ConsoleCapture console;
      IO_LOAD_DATABASE(file, retstat, status);
      EXPECT_EQ(retstat, -1);
      EXPECT_EQ(
          console.lines(),
          (Lines{"WARNING: The defaults file " + file + " is not loaded: " + reason, left_alone}));
    }
    EXPECT_EQ(get("BEFORE"), "kept");
    EXPECT_EQ(get("A"), "<absent>");
    set("NEW", "answer");
    {
      kovtest::ConsoleCapture console;
      IO_SAVE_DATABASE(file, retstat, status);
      EXPECT_EQ(retstat, -1);
      EXPECT_EQ(console.lines(), (Lines{"WARNING: The defaults file " + file +
                                        " is not saved: it was not loaded at the start"}));
    }
    EXPECT_EQ(snapshot(file), before);
    EXPECT_EQ(status, ST_GOOD());
  }

  int status = 0;
  int retstat = 0;
  kovtest::TempDir dir;
};

TEST_F(DefaultsFileTest, EntriesThatAreNotRegularFiles) {
  const std::string not_regular = ", not a regular file";
  const std::string fifo = dir.file("fifo.def");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  expect_refused(fifo, "it is a FIFO (named pipe)" + not_regular);

  const std::string link_to_fifo = dir.file("link_to_fifo.def");
  ASSERT_EQ(symlink(fifo.c_str(), link_to_fifo.c_str()), 0);
  expect_refused(link_to_fifo, "it is a FIFO (named pipe)" + not_regular);

  const std::string directory = dir.file("directory.def");
  ASSERT_EQ(mkdir(directory.c_str(), 0755), 0);
  expect_refused(directory, "it is a directory" + not_regular);

  // A character device that reads without end. Only its load is tried on the
  // system's own node; the save is tried on a node of our own.
  const std::string link_to_zero = dir.file("link_to_zero.def");
  ASSERT_EQ(symlink("/dev/zero", link_to_zero.c_str()), 0);
  {
    kovtest::ConsoleCapture console;
    IO_LOAD_DATABASE(link_to_zero, retstat, status);
    EXPECT_EQ(retstat, -1);
    EXPECT_EQ(console.lines().at(0), "WARNING: The defaults file " + link_to_zero +
                                         " is not loaded: it is a character device" + not_regular);
  }

  const std::string node = dir.file("zero_node");
  if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 5)) != 0) {
    GTEST_SKIP() << "no device node can be made here: " << std::strerror(errno);
  }
  const std::string link_to_node = dir.file("link_to_node.def");
  ASSERT_EQ(symlink(node.c_str(), link_to_node.c_str()), 0);
  expect_refused(link_to_node, "it is a character device" + not_regular);
}

TEST_F(DefaultsFileTest, FilesThatAreNotDefaultsFiles) {
  // Only the first line is checked: the second header line stays ignored.
  for (const std::string& text :
       {std::string("A\n1\nB\n2\n"), std::string("!!! DO NOT ALTER YOURSELF !!!\nA\n1\n"),
        std::string("\n") + header + "A\n1\n", std::string("DATABASE DEFAULT VALUES\nA\n1\n"),
        std::string(100000, 'x')}) {
    SCOPED_TRACE(text.substr(0, 40));
    const std::string file = dir.file("other.def");
    kovtest::write_file(file, text);
    expect_refused(file, "its first line is not \"DATABASE DEFAULT VALUES FILE\"");
    io::clear_database();
  }
}

TEST_F(DefaultsFileTest, OurFilesAreLoaded) {
  // Line ends of another system, blanks after the first line, any second
  // line: all ours. An empty file holds nothing to lose and is saved over.
  for (const std::string& text :
       {std::string("DATABASE DEFAULT VALUES FILE\r\nsecond\r\nA\r\n1\r\n"),
        std::string("DATABASE DEFAULT VALUES FILE   \n\nA\n1\n"), std::string()}) {
    const std::string file = dir.file("ours.def");
    kovtest::write_file(file, text);
    kovtest::ConsoleCapture console;
    IO_LOAD_DATABASE(file, retstat, status);
    EXPECT_EQ(retstat, 0);
    EXPECT_EQ(get("A"), text.empty() ? "<absent>" : "1");
    set("A", "2");
    IO_SAVE_DATABASE(file, retstat, status);
    EXPECT_EQ(retstat, 0);
    EXPECT_EQ(kovtest::read_file(file), header + "A\n2\n");
    EXPECT_TRUE(console.lines().empty());
    io::clear_database();
  }
}

// A file that cannot be read: the load says why; the save, which could
// replace it (the directory is the user's), leaves it alone.
TEST_F(DefaultsFileTest, UnreadableFile) {
  const std::string file = dir.file("unreadable.def");
  const std::string text = header + "A\n1\n";
  kovtest::write_file(file, text);
  ASSERT_EQ(chmod(file.c_str(), 0), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  give_to_child_user(dir.path());
  give_to_child_user(file);
  const ChildRun run = in_child([&] {
    if (!drop_root()) return 77;
    int status = io::status_good;
    int loaded = 0;
    int saved = 0;
    IO_LOAD_DATABASE(file, loaded, status);
    IO_SET_KEYVALUE("NEW", 1, "x", saved, status);
    IO_SAVE_DATABASE(file, saved, status);
    return loaded == -1 && saved == -1 && status == io::status_good ? 0 : 1;
  });
  ASSERT_NE(run.code, 77) << "cannot run as another user";
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.console, (Lines{"WARNING: The defaults file " + file +
                                    " is not loaded: it cannot be read (Permission denied)",
                                left_alone,
                                "WARNING: The defaults file " + file +
                                    " is not saved: it was not loaded at the start"}));
  ASSERT_EQ(chmod(file.c_str(), 0644), 0);
  EXPECT_EQ(kovtest::read_file(file), text);
}

// A file that a later load reads as it should is saved again.
TEST_F(DefaultsFileTest, RefusalHoldsUntilTheFileIsLoaded) {
  const std::string file = dir.file("kov.def");
  kovtest::write_file(file, "not ours\n");
  {
    kovtest::ConsoleCapture console;
    IO_LOAD_DATABASE(file, retstat, status);
  }
  kovtest::write_file(file, header + "A\n1\n");
  IO_LOAD_DATABASE(file, retstat, status);
  EXPECT_EQ(retstat, 0);
  IO_SAVE_DATABASE(file, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(kovtest::read_file(file), header + "A\n1\n");
}

// A save that fails says why, in the system's words, beside the lines it
// has always written; the old file stays.
TEST_F(DefaultsFileTest, FailedSavesGiveTheReason) {
  const std::string file = dir.file("kov.def");
  const std::string old = header + "OLD\nvalue\n";
  const auto reason = [&file](const std::string& why) {
    return "WARNING: The defaults file " + file + " is not saved: " + why;
  };
  const std::string open_line = "IO_OPEN_ASCIIFILE retstat =      1";

  // A directory, or a FIFO, in the place of a file that was never loaded.
  ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
  set("A", "1");
  {
    kovtest::ConsoleCapture console;
    IO_SAVE_DATABASE(file, retstat, status);
    EXPECT_EQ(retstat, -1);
    EXPECT_EQ(console.lines(), (Lines{open_line, reason("it is a directory, not a regular file")}));
  }
  ASSERT_EQ(rmdir(file.c_str()), 0);
  ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
  {
    kovtest::ConsoleCapture console;
    IO_SAVE_DATABASE(file, retstat, status);
    EXPECT_EQ(console.lines(),
              (Lines{open_line, reason("it is a FIFO (named pipe), not a regular file")}));
  }
  EXPECT_TRUE(std::filesystem::is_fifo(file));
  ASSERT_EQ(unlink(file.c_str()), 0);

  // A directory the user may not write in.
  kovtest::write_file(file, old);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  give_to_child_user(file);
  const ChildRun denied = in_child([&] {
    if (!drop_root()) return 77;
    int saved = 0;
    IO_SAVE_DATABASE(file, saved, status);
    return saved == -1 ? 0 : 1;
  });
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  EXPECT_EQ(denied.code, 0);
  EXPECT_EQ(denied.console, (Lines{open_line, reason("Permission denied")}));
  EXPECT_EQ(kovtest::read_file(file), old);

  // The file system read-only, or full: in a mount namespace of the child's
  // own, where the test may mount (skipped where it may not).
  for (const bool full : {false, true}) {
    SCOPED_TRACE(full ? "full" : "read-only");
    const ChildRun run = in_child([&] {
      if (unshare(CLONE_NEWNS) != 0 ||
          mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return 77;
      }
      if (full) {
        if (mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=8k") != 0) return 77;
        kovtest::write_file(file, old);
        for (int n = 0; n < 200; ++n) set("KEY" + std::to_string(n), std::string(100, 'v'));
      } else if (mount(dir.path().c_str(), dir.path().c_str(), nullptr, MS_BIND, nullptr) != 0 ||
                 mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                       nullptr) != 0) {
        return 77;
      }
      int saved = 0;
      IO_SAVE_DATABASE(file, saved, status);
      return saved == -1 && kovtest::read_file(file) == old ? 0 : 1;
    });
    if (run.code == 77) {
      GTEST_SKIP() << "no mount namespace of our own here";
    }
    EXPECT_EQ(run.code, 0);
    ASSERT_FALSE(run.console.empty());
    if (full) {
      EXPECT_EQ(run.console.front(),
                "ERROR: Failed to output ASCII text to an output file. May be you do not");
      EXPECT_EQ(run.console.back(), reason("No space left on device"));
    } else {
      EXPECT_EQ(run.console, (Lines{open_line, reason("Read-only file system")}));
    }
  }
  EXPECT_EQ(kovtest::read_file(file), old);
}

}  // namespace

// The program started with a defaults file that is not ours or cannot be
// read: it says so, goes on without it (here to its no-graphics end) within
// seconds, and leaves the file as it was.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "console_capture.h"
#include "run_program.h"

namespace {

const std::string header = "DATABASE DEFAULT VALUES FILE\n!!! DO NOT ALTER YOURSELF !!!\n";

// The entry and what it leads to, with the bytes of a readable regular file.
std::string describe(const std::string& path) {
  struct stat entry {};
  struct stat target {};
  if (lstat(path.c_str(), &entry) != 0) return "missing";
  std::string text = std::to_string(entry.st_mode) + " " + std::to_string(entry.st_ino);
  if (stat(path.c_str(), &target) == 0) {
    text += " " + std::to_string(target.st_mode) + " " + std::to_string(target.st_rdev);
    if (S_ISREG(target.st_mode)) text += " " + kovtest::read_file(path);
  }
  return text;
}

struct Hostile {
  const char* what;
  std::function<bool(const kovtest::TempDir& home, const std::string& file)> make;
  const char* reason;
  bool as_other_user = false;
};

TEST(KovDefaultsFile, HostileFilesAreReportedAndLeftAlone) {
  const std::vector<Hostile> cases = {
      {"FIFO without a writer",
       [](const kovtest::TempDir&, const std::string& file) {
         return mkfifo(file.c_str(), 0644) == 0;
       },
       "it is a FIFO (named pipe), not a regular file"},
      {"link to /dev/zero",
       [](const kovtest::TempDir&, const std::string& file) {
         return symlink("/dev/zero", file.c_str()) == 0;
       },
       "it is a character device, not a regular file"},
      {"link to a device node",
       [](const kovtest::TempDir& home, const std::string& file) {
         const std::string node = home.file("node");
         return mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0 &&
                symlink(node.c_str(), file.c_str()) == 0;
       },
       "it is a character device, not a regular file"},
      {"no header",
       [](const kovtest::TempDir&, const std::string& file) {
         kovtest::write_file(file, "A\n1\nB\n2\n");
         return true;
       },
       "its first line is not \"DATABASE DEFAULT VALUES FILE\""},
      {"unreadable",
       [](const kovtest::TempDir& home, const std::string& file) {
         kovtest::write_file(file, header + "A\n1\n");
         if (chmod(file.c_str(), 0) != 0 || chmod(home.path().c_str(), 0755) != 0) return false;
         if (geteuid() != 0) return true;
         const passwd* nobody = getpwnam("nobody");
         return nobody != nullptr &&
                chown(home.path().c_str(), nobody->pw_uid, nobody->pw_gid) == 0 &&
                chown(file.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
       },
       "it cannot be read (Permission denied)", true},
  };
  // The program is copied where any user may run it.
  kovtest::TempDir bin;
  ASSERT_EQ(chmod(bin.path().c_str(), 0755), 0);
  const std::string program = bin.file("kov_master");
  std::filesystem::copy_file(KOV_MASTER_PATH, program);

  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.what);
    kovtest::TempDir home;
    const std::string file = home.file(".kov.def");
    if (!c.make(home, file)) {
      // Device nodes are made by root only.
      if (geteuid() != 0) continue;
      ADD_FAILURE() << "cannot make the file (" << std::strerror(errno) << ")";
      continue;
    }
    const std::string before = describe(file);
    // Root reads any file: the unreadable one is tried as the user "nobody".
    const bool switch_user = c.as_other_user && geteuid() == 0;
    std::vector<std::string> arguments;
    std::string path = program;
    if (switch_user) {
      path = "/usr/bin/setpriv";
      arguments = {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", program};
    }
    kovtest::RunningProgram running =
        kovtest::start_program(path, arguments, {{"DISPLAY", std::nullopt}, {"HOME", home.path()}});
    const kovtest::ProgramResult result = kovtest::finish_program(running, 15);
    EXPECT_EQ(result.exit_status, 1) << result.output;  // the no-graphics end, not a hang
    const std::vector<std::string> lines = kovtest::split_lines(result.output);
    const std::string warning =
        "WARNING: The defaults file " + file + " is not loaded: " + c.reason;
    EXPECT_NE(std::find(lines.begin(), lines.end(), warning), lines.end()) << result.output;
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "WARNING: Problem inputting internal database"),
              lines.end());
    EXPECT_EQ(describe(file), before);
  }
}

}  // namespace

// The user's login name and home directory, "~" translation of paths, and
// the name of the running system.
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "io.h"
#include "io_internal.h"

namespace {

// A translated path longer than this could not be opened anyway.
constexpr std::size_t max_path = PATH_MAX;

// The user-database record of `name` (or of the real user id when `name` is
// empty): its home directory and login name. False when there is none.
bool user_record(const std::string& name, std::string& home, std::string& login) {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  if (size < 1024) size = 16384;
  std::vector<char> buffer(static_cast<std::size_t>(size));
  passwd record{};
  passwd* found = nullptr;
  const int error = name.empty()
                        ? getpwuid_r(getuid(), &record, buffer.data(), buffer.size(), &found)
                        : getpwnam_r(name.c_str(), &record, buffer.data(), buffer.size(), &found);
  if (error != 0 || found == nullptr) return false;
  home = found->pw_dir != nullptr ? found->pw_dir : "";
  login = found->pw_name != nullptr ? found->pw_name : "";
  return true;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::string IO_LOGINNAME() {
  std::string home;
  std::string login;
  if (user_record("", home, login) && !login.empty()) return login;
  for (const char* name : {"LOGNAME", "USER"}) {
    const std::string value = environment(name);
    if (!value.empty()) return value;
  }
  return "*** UNKNOWN ***";
}

// retstat 0, or 1 when the home directory cannot be found. The current user
// (empty name) is taken from $HOME first, then from the user database.
void IO_HOMEDIR(const std::string& user, int& retstat, std::string& home_directory, int& status) {
  if (!io::entry_ok(status, "Function IO_HOMEDIR V0.4 ")) return;
  const std::string name = io::trimmed(user);
  std::string home;
  std::string login;
  if (name.empty()) {
    home = environment("HOME");
    if (home.empty()) user_record(IO_LOGINNAME(), home, login);
  } else {
    user_record(name, home, login);
  }
  if (home.empty()) {
    retstat = 1;
    return;
  }
  home_directory = home;
  retstat = 0;
}

// retstat 0; 1 no home directory found; 3 a name with "/"; 4 a name of one
// character.
void IO_USERPATH(const std::string& user, int& retstat, std::string& home_directory, int& status) {
  static const char* const ident = "Subroutine IO_USERPATH V0.3 ";
  if (!io::entry_ok(status, ident)) return;
  const std::string name = io::trimmed(user);
  if (name.find('/') != std::string::npos) {
    retstat = 3;
    return;
  }
  if (name.size() == 1) {
    retstat = 4;
    return;
  }
  IO_HOMEDIR(name, retstat, home_directory, status);
  if (status != io::status_good) ST_SAVE(ident);
}

// retstat 0; 2 the translated path is too long; otherwise the result of
// IO_USERPATH when the home directory cannot be found (the path is then
// returned without its translation).
void IO_TRANS_PATH(const std::string& path, int& retstat, std::string& translated, int& status) {
  static const char* const ident = "Subroutine IO_TRANS_PATH V0.4 ";
  if (!io::entry_ok(status, ident)) return;
  retstat = 0;
  std::string rest = io::trimmed(path);
  const std::size_t first = rest.find_first_not_of(" \t");
  rest = first == std::string::npos ? "" : rest.substr(first);
  if (!rest.empty() && rest[0] == '~') {
    const std::size_t slash = rest.find('/');
    const std::string user =
        rest.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    std::string home;
    int found = 0;
    IO_USERPATH(user, found, home, status);
    if (status != io::status_good) {
      ST_SAVE(ident);
      return;
    }
    if (found != 0) {
      IO_WRITE("WARNING: Problem obtaining home directory information", status);
      retstat = found;
      translated = rest;
      return;
    }
    // A home directory ending in "/" (such as "/") must not give "//name".
    std::string tail = slash == std::string::npos ? "" : rest.substr(slash);
    if (!home.empty() && home.back() == '/' && !tail.empty()) tail.erase(0, 1);
    rest = home + tail;
  }
  if (rest.size() > max_path) {
    retstat = 2;
    return;
  }
  translated = rest;
}

void IO_SYSTEM_NAME(std::string& os_name, std::string& machine_name, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_SYSTEM_NAME V0.3 ")) return;
  os_name = "LINUX";
  machine_name = "PC";
}

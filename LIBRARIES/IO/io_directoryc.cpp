// Reading a directory through the system: the platform part of IO_DIRECTORY,
// and the current directory of the process.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io.h"
#include "io_internal.h"

namespace {

// Whether the entry is a directory. The type that the directory itself
// records is used when there is one; otherwise, and for symbolic links (a
// link to a directory is listed as a directory), the entry is looked up. An
// entry that cannot be looked up (a dangling link) is not a directory.
bool is_directory(DIR* dir, const dirent* entry) {
#ifdef _DIRENT_HAVE_D_TYPE
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
#endif
  struct stat info;
  if (fstatat(dirfd(dir), entry->d_name, &info, 0) != 0) return false;
  return S_ISDIR(info.st_mode);
}

}  // namespace

namespace io {

bool read_entries(const std::string& directory,
                  const std::function<bool(std::string_view, bool)>& take) {
  // The directory is opened by name: the current directory of the process is
  // never changed.
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.c_str()), closedir);
  if (dir == nullptr) return false;
  for (;;) {
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) break;
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (!take(name, is_directory(dir.get(), entry))) break;
  }
  return true;
}

bool read_directory(const std::string& directory, bool directories,
                    const std::function<bool(std::string_view)>& take) {
  return read_entries(directory, [&](std::string_view name, bool is_dir) {
    return is_dir != directories || take(name);
  });
}

}  // namespace io

void IO_DIRECTORYC(bool directories, int max_names, int& retstat, int& num_names,
                   std::span<int> positions, const std::string& directory, std::string& names,
                   int& status) {
  if (!io::entry_ok(status, "Subroutine IO_DIRECTORYC V0.3 ")) return;
  retstat = 0;
  num_names = 0;
  positions[0] = 1;
  const std::size_t capacity = names.size();
  std::size_t used = 0;  // characters of the area in use
  const bool readable = io::read_directory(directory, directories, [&](std::string_view name) {
    if (num_names >= max_names) {
      retstat = 2;
      return false;
    }
    if (name.size() > capacity - used) {
      retstat = 3;
      return false;
    }
    names.replace(used, name.size(), name);
    used += name.size();
    ++num_names;
    positions[static_cast<std::size_t>(num_names)] = static_cast<int>(used) + 1;
    return true;
  });
  if (!readable) retstat = 1;
}

void IO_GETCWD(std::string& directory, int& status) {
  static const char* const ident = "Subroutine IO_GETCWD V0.2 ";
  if (!io::entry_ok(status, ident)) return;
  try {
    std::vector<char> buffer(4096);
    for (;;) {
      if (getcwd(buffer.data(), buffer.size()) != nullptr) {
        directory = buffer.data();
        return;
      }
      if (errno != ERANGE || buffer.size() >= (std::size_t{1} << 20)) break;
      buffer.resize(buffer.size() * 2);
    }
  } catch (const std::bad_alloc&) {
    // Reported as the directory not being found.
  }
  status = io::status_no_directory;
  ST_SAVE(ident);
}

namespace io {

bool change_directory(const std::string& directory) {
  return chdir(directory.c_str()) == 0;
}

}  // namespace io

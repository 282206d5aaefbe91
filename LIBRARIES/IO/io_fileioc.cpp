// Text files on numbered units: opening (with its prompting loop), line
// reading and closing; existence and size of files; and the safe replacement
// of a file through a temporary file beside it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "io.h"
#include "io_internal.h"

namespace {

using io::upper;

// Opens `path` in stdio `mode`; a directory is never taken for a text file.
FILE* open_stream(const std::string& path, const char* mode) {
  FILE* stream = std::fopen(path.c_str(), mode);
  if (stream == nullptr) return nullptr;
  struct stat info {};
  if (fstat(fileno(stream), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(stream);
    return nullptr;
  }
  return stream;
}

// Installs `stream` on `unit`, closing whatever was open there before.
void install(int unit, FILE* stream) {
  if (FILE* old = io::unit_stream(unit); old != nullptr) std::fclose(old);
  io::set_unit_stream(unit, stream);
}

// Completes and closes the stream of `unit` (and frees the unit); `flush_to_disc`
// also forces the data onto the disc. 0, or the system's error number.
int finish_unit(int unit, bool flush_to_disc) {
  FILE* stream = io::unit_stream(unit);
  if (stream == nullptr) return 0;
  io::set_unit_stream(unit, nullptr);
  errno = 0;
  int error = 0;
  if (std::fflush(stream) != 0 || std::ferror(stream)) error = errno != 0 ? errno : EIO;
  if (error == 0 && flush_to_disc && fsync(fileno(stream)) != 0) error = errno;
  errno = 0;
  if (std::fclose(stream) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  return error;
}

// The reason an entry of type `mode` is not a regular file ("" when it is).
std::string kind_problem(mode_t mode) {
  const char* kind = S_ISREG(mode)    ? nullptr
                     : S_ISDIR(mode)  ? "a directory"
                     : S_ISFIFO(mode) ? "a FIFO (named pipe)"
                     : S_ISCHR(mode)  ? "a character device"
                     : S_ISBLK(mode)  ? "a block device"
                     : S_ISSOCK(mode) ? "a socket"
                                      : "a special file";
  return kind == nullptr ? "" : std::string("it is ") + kind + ", not a regular file";
}

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

namespace io {

int free_unit() {
  for (int unit = max_unit; unit >= 1; --unit) {
    if (unit_stream(unit) == nullptr) return unit;
  }
  return 0;
}

int write_unit_line(int unit, const std::string& text) {
  FILE* stream = unit_stream(unit);
  if (stream == nullptr) return EBADF;
  errno = 0;
  const std::string line = text + "\n";
  if (std::fwrite(line.data(), 1, line.size(), stream) == line.size() && !std::ferror(stream)) {
    return 0;
  }
  return errno != 0 ? errno : EIO;
}

void report_write_failure(int system_status) {
  say("ERROR: Failed to output ASCII text to an output file. May be you do not");
  say("       have write permission, or the file system, or your quota, are full.");
  say(" ");
  char line[32];
  std::snprintf(line, sizeof line, "       %8d", system_status);
  say(line);
  say("       (This value is system dependent; see system documentation.)");
  say(" ");
}

std::string replacement_target(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    // Replace the file a link points to, not the link itself.
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  }
  return path;
}

std::string not_regular_problem(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? kind_problem(info.st_mode) : "";
}

ReadOpen open_regular_unit(int unit, const std::string& path, std::string& reason) {
  // Looked at before it is opened: opening a FIFO waits for a writer, and
  // opening a device may act on it.
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return ReadOpen::missing;
    reason = std::string("it cannot be read (") + std::strerror(errno) + ")";
    return ReadOpen::refused;
  }
  reason = kind_problem(info.st_mode);
  if (!reason.empty()) return ReadOpen::refused;
  // Opened without waiting, and looked at again: the entry may have been
  // replaced in between.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::string("it cannot be read (") + std::strerror(errno) + ")";
    return ReadOpen::refused;
  }
  if (fstat(fd, &info) != 0 || !(reason = kind_problem(info.st_mode)).empty()) {
    if (reason.empty()) reason = std::string("it cannot be read (") + std::strerror(errno) + ")";
    close(fd);
    return ReadOpen::refused;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* stream = fdopen(fd, "r");
  if (stream == nullptr) {
    reason = std::string("it cannot be read (") + std::strerror(errno) + ")";
    close(fd);
    return ReadOpen::refused;
  }
  install(unit, stream);
  return ReadOpen::opened;
}

bool read_unit_line(int unit, std::string& line, std::size_t max_length) {
  FILE* stream = unit_stream(unit);
  if (stream == nullptr) return false;
  std::string text;
  int c = 0;
  bool any = false;
  while ((c = std::getc(stream)) != EOF) {
    any = true;
    if (c == '\n') break;
    // The rest of a longer line is read and dropped.
    if (text.size() <= max_length) text.push_back(static_cast<char>(c));
  }
  if (!any || std::ferror(stream)) return false;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  if (text.size() > max_length) text.resize(max_length);
  line = text;
  return true;
}

int open_temp_unit(int unit, const std::string& target, std::string& temp_name) {
  if (unit < 1 || unit > max_unit) return EBADF;
  std::string pattern = target + ".tmp-XXXXXX";
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  // The new file takes the permission bits (and, where allowed, the owner)
  // of the file it replaces; a new file those of a file created afresh.
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) {
    if (fchown(fd, info.st_uid, info.st_gid) != 0) {
      // Not the owner's right to give away: the file stays ours.
    }
    fchmod(fd, info.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  FILE* stream = fdopen(fd, "w");
  if (stream == nullptr) {
    const int error = errno;
    close(fd);
    unlink(pattern.c_str());
    return error;
  }
  install(unit, stream);
  temp_name = pattern;
  return 0;
}

int commit_temp_unit(int unit, const std::string& temp_name, const std::string& target,
                     bool replace) {
  int error = finish_unit(unit, true);
  if (error == 0 && replace && std::rename(temp_name.c_str(), target.c_str()) != 0) {
    error = errno != 0 ? errno : EIO;
  }
  if (error == 0 && !replace &&
      renameat2(AT_FDCWD, temp_name.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    error = errno != 0 ? errno : EIO;
    // A file system that cannot rename without replacing: a second link,
    // which never replaces either.
    if ((error == EINVAL || error == ENOSYS) && link(temp_name.c_str(), target.c_str()) == 0) {
      error = 0;
      unlink(temp_name.c_str());
    } else if (error == EINVAL || error == ENOSYS) {
      error = errno != 0 ? errno : EIO;
    }
  }
  if (error != 0) {
    unlink(temp_name.c_str());
    return error;
  }
  // Make the new directory entry itself durable.
  const int dir = open(directory_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return 0;
}

void discard_temp_unit(int unit, const std::string& temp_name) {
  finish_unit(unit, false);
  unlink(temp_name.c_str());
}

bool translated_path(const std::string& file_name, std::string& path, const char* ident,
                     int& status) {
  int translation = 0;
  IO_TRANS_PATH(file_name, translation, path, status);
  if (status != status_good) {
    ST_SAVE(ident);
    return false;
  }
  if (translation == 0) return true;
  IO_WRITE("WARNING: Problem translating: " + trimmed(file_name), status);
  return false;
}

}  // namespace io

void IO_OPEN_ASCIIFILE(bool prompt, const std::string& access, int unit, std::string& file_name,
                       int& retstat, int& status) {
  static const char* const ident = "Subroutine IO_OPEN_ASCIIFILE V0.7 ";
  if (!io::entry_ok(status, ident) || !io::unit_ok(unit, ident, status)) return;
  const std::string kind = upper(io::trimmed(access));
  // Reading and updating need an existing file; anything else makes the
  // file anew (or replaces it).
  const char* mode = kind == "READ" ? "re" : kind == "UPDATE" ? "r+e" : "we";
  const std::array<std::string, 1> error_text{"Unacceptable input"};

  for (;;) {
    if (prompt) {
      std::string name = io::trimmed(file_name);
      IO_INPC(true, "FILE NAME", "Enter Name of file", 0, {}, 1, error_text, name, status);
      if (status == io::status_escape) {
        retstat = 1;
        return;
      }
      if (status != io::status_good) {
        ST_SAVE(ident);
        return;
      }
      file_name = name;
    }
    std::string path;
    if (!io::translated_path(file_name, path, ident, status)) {
      if (status == io::status_good) retstat = 1;
      return;
    }
    if (FILE* stream = open_stream(path, mode); stream != nullptr) {
      install(unit, stream);
      retstat = 0;
      return;
    }
    retstat = 1;
    if (!prompt) return;
    IO_WRITE("WARNING: Error in opening file, Please retype name", status);
  }
}

void IO_READ_ASCIIFILE(int unit, std::string& line, int& retstat, int& status) {
  static const char* const ident = "Subroutine IO_READ_ASCIIFILE V0.2 ";
  if (!io::entry_ok(status, ident) || !io::unit_ok(unit, ident, status)) return;
  retstat = io::read_unit_line(unit, line, std::string::npos) ? 0 : 1;
}

void IO_CLOSE_ASCIIFILE(int unit, int& status) {
  static const char* const ident = "Subroutine IO_CLOSE_ASCIIFILE V0.2 ";
  if (!io::entry_ok(status, ident) || !io::unit_ok(unit, ident, status)) return;
  const int error = finish_unit(unit, false);
  if (error == 0) return;
  status = io::status_write_failed;
  ST_SAVE(ident);
  io::report_write_failure(error);
}

void IO_FILEEXIST(const std::string& file_name, bool& exists, int& status) {
  static const char* const ident = "Subroutine IO_FILEEXIST V0.2 ";
  if (!io::entry_ok(status, ident) || !io::name_ok(file_name, ident, status)) return;
  struct stat info {};
  exists = stat(io::trimmed(file_name).c_str(), &info) == 0;
}

void IO_FILESIZE(const std::string& file_name, std::int64_t& size, int& status) {
  static const char* const ident = "Subroutine IO_FILESIZE V0.2 ";
  if (!io::entry_ok(status, ident) || !io::name_ok(file_name, ident, status)) return;
  struct stat info {};
  size = stat(io::trimmed(file_name).c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size)
                                                          : -1;
}

void IO_RECL(int& unit_size, int& status) {
  if (!io::entry_ok(status, "Subroutine IO_RECL V0.1 ")) return;
  // Record lengths of direct-access files count bytes here.
  unit_size = 1;
}

namespace io {

namespace {

// `contents` onto the temporary file open on `unit`, which then takes the
// name `path` (never replacing a file); 0, or the system's error number.
int write_and_commit(int unit, const std::string& temp_name, const std::string& path,
                     const std::string& contents) {
  FILE* stream = unit_stream(unit);
  errno = 0;
  if (std::fwrite(contents.data(), 1, contents.size(), stream) != contents.size() ||
      std::ferror(stream)) {
    const int error = errno != 0 ? errno : EIO;
    discard_temp_unit(unit, temp_name);
    return error;
  }
  return commit_temp_unit(unit, temp_name, path, false);
}

}  // namespace

void write_new_file(const std::string& file_name, const std::string& contents, NewFile& result,
                    std::string& reason, int& status) {
  static const char* const ident = "Subroutine io::write_new_file V0.1 ";
  if (!entry_ok(status, ident)) return;
  result = NewFile::not_made;
  reason.clear();
  std::string path;
  if (trimmed(file_name).empty()) {
    reason = "no file name is given";
    return;
  }
  if (!translated_path(file_name, path, ident, status)) {
    if (status == status_good) reason = "its name cannot be translated";
    return;
  }
  struct stat info {};
  const int unit = free_unit();
  if (lstat(path.c_str(), &info) == 0) {
    reason = not_regular_problem(path);
    if (reason.empty()) reason = "it already exists";
  } else if (unit == 0) {
    reason = "no input/output unit is free";
  }
  std::string temp_name;
  if (reason.empty()) {
    if (const int error = open_temp_unit(unit, path, temp_name); error != 0) {
      reason = std::strerror(error);
    }
  }
  if (!reason.empty()) return;

  const int error = write_and_commit(unit, temp_name, path, contents);
  if (error == EEXIST) {
    // Another file took the name while this one was written.
    reason = "it already exists";
    return;
  }
  if (error != 0) {
    report_write_failure(error);
    reason = std::strerror(error);
    result = NewFile::not_written;
    return;
  }
  result = NewFile::written;
}

}  // namespace io

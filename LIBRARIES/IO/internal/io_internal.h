// Internal services shared by the iolib sources (not part of the public API).
#pragma once

#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace io {

// The numbered input/output units 1 to 99: the open stream of a unit, or null.
FILE* unit_stream(int unit);
void set_unit_stream(int unit, FILE* stream);
inline constexpr int max_unit = 99;

// A blank of texts: space, tab, carriage return, line feed or NUL.
inline bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

// `text` blank-padded or cut to exactly `width` characters.
std::string fixed_width(const std::string& text, std::size_t width);

// The entry checks of a routine that works on files, each false with
// `ident` recorded when it fails (after io::entry_ok): a unit number
// outside 1 .. max_unit (io::status_bad_unit), a file name with no
// significant text (io::status_bad_text).
bool unit_ok(int unit, const char* ident, int& status);
bool name_ok(const std::string& file_name, const char* ident, int& status);

// Translates `file_name` into the path to open. False when it cannot be
// translated (after the console warning "WARNING: Problem translating: "
// and the name) or when the translation fails (in status, with `ident`
// recorded).
bool translated_path(const std::string& file_name, std::string& path, const char* ident,
                     int& status);

}  // namespace io

namespace io {
// Makes `directory` the current directory of the process; false when it
// cannot be entered.
bool change_directory(const std::string& directory);
}  // namespace io

namespace io {
// The one reading of a directory that every listing goes through: hands
// `take` the name of each entry that is a directory (when `directories`) or
// that is not, never "." and "..", in the order in which the system returns
// them, until `take` returns false. False when the directory cannot be read.
bool read_directory(const std::string& directory, bool directories,
                    const std::function<bool(std::string_view)>& take);
// The same reading handing `take` every entry with whether it is a
// directory.
bool read_entries(const std::string& directory,
                  const std::function<bool(std::string_view, bool)>& take);
}  // namespace io

// Platform part of IO_DIRECTORY (same arguments): the names packed into the
// caller's area; `directory` is not empty and the arguments have been
// checked.
void IO_DIRECTORYC(bool directories, int max_names, int& retstat, int& num_names,
                   std::span<int> positions, const std::string& directory, std::string& names,
                   int& status);

namespace io {
// The highest unit number with no open stream; 0 when every unit is in use.
int free_unit();
// Writes `text` and a line end to the stream of `unit`: 0, or the system's
// error number. Changes no status and writes nothing to the console.
int write_unit_line(int unit, const std::string& text);
// The console report of a failed write to a text file (as IO_WRITE_FILE
// gives it), with the system's numeric error.
void report_write_failure(int system_status);
// The file that a replacement of `path` must replace: the file a symbolic
// link points to, or `path` itself.
std::string replacement_target(const std::string& path);
// Why the entry `path` (followed through symbolic links) is not a regular
// file: "it is a FIFO (named pipe), not a regular file", "it is a directory,
// not a regular file" ...; "" when it is one or when there is no such entry.
std::string not_regular_problem(const std::string& path);
// Opens `path` for reading on `unit` only when it is a regular file (a
// symbolic link to one is fine), never waiting on a FIFO and never opening a
// device: `opened`; `missing` when there is no such file; `refused`, with
// `reason` ("it is a character device, not a regular file", "it cannot be
// read (Permission denied)"), for anything else.
enum class ReadOpen { opened, missing, refused };
ReadOpen open_regular_unit(int unit, const std::string& path, std::string& reason);
// Reads one line of a unit open for reading, without its line end ("\n" or
// "\r\n") and cut to `max_length` characters (the rest of the line is read
// and dropped). False at the end of the file or on a read error.
bool read_unit_line(int unit, std::string& line, std::size_t max_length);
// Safe replacement of `target`: a new, uniquely named file beside it
// ("target.tmp-XXXXXX"), with the permission bits of `target`, is opened for
// writing on `unit`. 0, or the system's error number when it cannot be made.
int open_temp_unit(int unit, const std::string& target, std::string& temp_name);
// Completes the file written on `unit` (forced onto the disc), closes the
// unit and renames the file over `target` (`replace` false: gives it the
// name `target` only when no entry has it, else EEXIST). 0, or the system's
// error number; on failure the temporary file is removed and `target` is
// untouched.
int commit_temp_unit(int unit, const std::string& temp_name, const std::string& target,
                     bool replace = true);
// Closes `unit` and removes the temporary file, leaving `target` untouched.
void discard_temp_unit(int unit, const std::string& temp_name);
// Empties the defaults database (for tests: the store is otherwise only
// ever added to during a run).
void clear_database();
}  // namespace io

// iolib: status values, console and file output, typed input and value
// conversion, file names and numbered file series, the key/value defaults
// database and directory services.
//
// Conventions of every routine here:
//  - `status` (int&) is the last argument. A routine entered with a status that
//    is not the good value records its identification text with ST_SAVE and
//    returns at once, changing nothing.
//  - Results that are not errors come back in `retstat`; 0 means success.
//  - Text arguments are std::string. Output texts hold the significant text
//    (no blank padding) cut to the declared width of that output.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "io_routine.h"
#include "io_status.h"

// ---------------------------------------------------------------------------
// Shared types
// ---------------------------------------------------------------------------
namespace io {

// The statuses the I/O services set (module offset plus error code).
// An integer argument out of range: a unit number outside 1 to 99.
inline constexpr int status_bad_unit = module_offset + st::int_range_1;
// An integer argument out of range: a count, or a capacity its table cannot
// hold.
inline constexpr int status_bad_count = module_offset + st::int_range_1;
// A badly defined text argument: a name or pattern with no significant
// character, or name positions that do not lie in their area.
inline constexpr int status_bad_text = module_offset + st::bad_text_1;
// A file that cannot be opened (for the callers that make it a failure).
inline constexpr int status_open_failed = module_offset + st::open_failed;
inline constexpr int status_no_memory = module_offset + st::no_memory;
// A write to a text file that failed (reported on the console).
inline constexpr int status_write_failed = module_offset + st::write_failed;
// A result buffer too short for what is joined into it.
inline constexpr int status_string_too_short = module_offset + st::string_too_short;
// The current directory of the process cannot be read.
inline constexpr int status_no_directory = module_offset + st::other;
// A macro file with a line that cannot be run (the line number is said).
inline constexpr int status_macro_syntax = module_offset + st::macro_syntax;
// An answer of the macro that its question refuses: the run stops.
inline constexpr int status_macro_refused = module_offset + st::bad_file_data;
// The macro ended while an answer was still asked for: the run stops.
inline constexpr int status_macro_ended = module_offset + st::end_of_file;

// Declared widths of the common text kinds.
inline constexpr int prompt_width = 80;
inline constexpr int title_width = 132;
inline constexpr int line_width = 132;      // one input line
inline constexpr int filename_width = 256;  // file names in the parameter record

// A non-owning view of a caller's 2-D array with its declared dimensions
// xmaxdat by ymaxdat. Indices count from 1; the first index (x, the column)
// varies fastest, so element (x, y) lies at data[(x-1) + (y-1)*xmaxdat].
template <typename T>
struct View2D {
  T* data = nullptr;
  int xmaxdat = 0;
  int ymaxdat = 0;

  View2D() = default;
  View2D(T* d, int xmax, int ymax) : data(d), xmaxdat(xmax), ymaxdat(ymax) {}
  // A view of const elements may be made from a view of mutable ones.
  template <typename U>
  View2D(const View2D<U>& o) : data(o.data), xmaxdat(o.xmaxdat), ymaxdat(o.ymaxdat) {}

  T& operator()(int x, int y) const {
    return data[static_cast<std::size_t>(x - 1) +
                static_cast<std::size_t>(y - 1) * static_cast<std::size_t>(xmaxdat)];
  }
  // Pointer to the first element of row y (columns 1 .. xmaxdat follow).
  T* row(int y) const { return &(*this)(1, y); }
  bool empty() const { return data == nullptr || xmaxdat < 1 || ymaxdat < 1; }
};

// An image array that owns its storage: declared dimensions xmaxdat by
// ymaxdat, and the defined part, columns 1 .. xnumdat of rows 1 .. ynumdat.
// The readers fill one; the application keeps its arrays in them. Memory is
// taken only by allocate, which reports a failure instead of throwing.
template <typename T>
class Image {
 public:
  Image() = default;
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  Image(Image&&) noexcept = default;
  Image& operator=(Image&&) noexcept = default;

  // Makes the array xmaxdat by ymaxdat, every element value-initialised
  // (zero), the defined part empty. The storage is kept when the size is
  // the one already held. False, with the image empty, when a dimension is
  // below 1 or the memory cannot be had.
  bool allocate(int xmaxdat, int ymaxdat) {
    xnumdat = ynumdat = 0;
    if (xmaxdat < 1 || ymaxdat < 1) {
      release();
      return false;
    }
    const std::size_t n = static_cast<std::size_t>(xmaxdat) * static_cast<std::size_t>(ymaxdat);
    if (n == storage_.size() && xmaxdat == xmaxdat_) {
      std::fill(storage_.begin(), storage_.end(), T{});
      return true;
    }
    release();
    try {
      storage_.assign(n, T{});
    } catch (const std::bad_alloc&) {
      release();
      return false;
    } catch (const std::length_error&) {
      release();
      return false;
    }
    xmaxdat_ = xmaxdat;
    ymaxdat_ = ymaxdat;
    return true;
  }
  // Gives the memory back; the image is then empty.
  void release() {
    std::vector<T>().swap(storage_);
    xmaxdat_ = ymaxdat_ = 0;
    xnumdat = ynumdat = 0;
  }

  int xmaxdat() const { return xmaxdat_; }
  int ymaxdat() const { return ymaxdat_; }
  bool empty() const { return storage_.empty(); }
  View2D<T> view() { return View2D<T>(storage_.data(), xmaxdat_, ymaxdat_); }
  View2D<const T> view() const { return View2D<const T>(storage_.data(), xmaxdat_, ymaxdat_); }
  T& operator()(int x, int y) { return view()(x, y); }
  const T& operator()(int x, int y) const { return view()(x, y); }
  T* data() { return storage_.data(); }
  const T* data() const { return storage_.data(); }

  // The defined part of the array.
  int xnumdat = 0;
  int ynumdat = 0;

 private:
  std::vector<T> storage_;
  int xmaxdat_ = 0, ymaxdat_ = 0;
};

// A numbered file series as IO_FILESEQUENCE finds it from its first and last
// names. The name of number n is prefix + number text + postfix + extension:
// IO_FILENAME(prefix, n, !variable, digits, postfix + extension).
struct FileSeries {
  int first = 0;          // number of the first file
  int last = 0;           // number of the last file
  int step = 1;           // +1 when first is not above last, -1 otherwise
  std::string prefix;     // characters before the number, directory included
  bool variable = false;  // numbers written without leading zeros
  int digits = 0;         // width of the number when not variable; 0 no number
  std::string postfix;    // after the number up to the first "." of the rest
  std::string extension;  // from that "." to the end, dot included
};

}  // namespace io

// ---------------------------------------------------------------------------
// Status values and error reporting, console and text-file line output
// ---------------------------------------------------------------------------
int ST_GOOD();
void ST_DEF_SYSTEM(int& status);
void ST_SAVE(const std::string& identification);
// The error-position record (132 characters, blank when nothing is recorded).
void ST_INQ_SAVE(std::string& identification);
int ST_ERRORCODE(int status);
void ST_OUT(int status);

// Significant length: position of the last character that is none of blank,
// carriage return, line feed, tab or NUL; 0 when there is none.
int SLEN(const std::string& text);

void IO_WRITE(const std::string& message, int& status);
void IO_WRITENA(const std::string& message, int& status);
void IO_WRITE_FILE(int unit, const std::string& message, int& status);

// ---------------------------------------------------------------------------
// Typed input, tokens and value conversion
// ---------------------------------------------------------------------------
// Typed prompts. `help` and `error` hold at least num_help and num_error lines.
void IO_INPI(bool range, int lower, int upper, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, int& value, int& status);
void IO_INPR(bool range, float lower, float upper, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, float& value, int& status);
void IO_INPL(bool has_default, const std::string& prompt, int num_help,
             std::span<const std::string> help, int num_error, std::span<const std::string> error,
             bool& value, int& status);
void IO_INPS(bool has_default, const std::string& prompt, int num_help,
             std::span<const std::string> help, int num_error, std::span<const std::string> error,
             std::string& value, int& status);
// As IO_INPS; `item` names the value asked for (recorded with macro input).
void IO_INPC(bool has_default, const std::string& item, const std::string& prompt, int num_help,
             std::span<const std::string> help, int num_error, std::span<const std::string> error,
             std::string& value, int& status);

// Conversions from text: `valid` tells whether the text held a value; status is
// never changed by bad text.
void IO_TOKTI(const std::string& text, bool& valid, int& value, int& status);
void IO_TOKTR(const std::string& text, bool& valid, float& value, int& status);
void IO_TOKTL(const std::string& text, bool& valid, bool& value, int& status);
void IO_HEXTOI(const std::string& text, bool& valid, int& value, int& status);
// Hexadecimal text taken as the bit pattern of an IEEE single-precision real.
void IO_HEXTOR(const std::string& text, bool& valid, float& value, int& status);

// Conversions to text, starting at the first character.
void IO_ITOC(int value, std::string& text);
void IO_RTOC(float value, std::string& text);
void IO_LTOC(bool value, std::string& text);
void IO_VTOC(float value, std::string& text);
void IO_UPPER(std::string& text);
void IO_LOWER(std::string& text);

// Input lines and tokens.
void IO_READ(const std::string& prompt, std::string& line, int& status);
void IO_INPUT_LINE(const std::string& prompt, std::string& line, int& status);
void IO_INPUT_TOKEN(const std::string& prompt, std::string& token, int& status);
// Next token of `text` from character `position` (1-based, in and out);
// `found` false when no token is left.
void IO_TOKEN(const std::string& text, int& position, bool& found, std::string& token, int& status);
// All tokens of `text`, at most max_tokens of them.
void IO_TOKENS(const std::string& text, int max_tokens, int& num_tokens,
               std::vector<std::string>& tokens, int& status);
void IO_DEF_SEPARATORS(int& status);
void IO_SET_SEPARATORS(const std::string& separators, int& status);
void IO_INQ_SEPARATORS(std::string& separators, int& status);
// Writes the prompt on one to three lines of at most 60 characters, the range
// and default texts at the end, the last line ending with ":".
void IO_OUTPROMPT(const std::string& prompt, const std::string& range_text,
                  const std::string& default_text, int& status);
// Console menu: the user types a command word (a leading part is enough).
void IO_MENU(int num_commands, std::span<const std::string> commands, int num_help,
             std::span<const std::string> help, const std::string& prompt, std::string& command,
             int& status);
// Page-at-a-time console pager for help texts.
void IO_TEXT(int num_lines, std::span<const std::string> lines, int& status);
// The program's command-line arguments: IO_SET_ARGS keeps a copy (the
// program's name first); IO_GETARGS returns at most max_args of them, each
// cut to 80 characters.
void IO_SET_ARGS(int argc, char** argv);
void IO_GETARGS(int max_args, int& num_args, std::vector<std::string>& args, int& status);

// ---------------------------------------------------------------------------
// File names, numbered file series and paths
// ---------------------------------------------------------------------------
void IO_FILESEQUENCE(const std::string& first_name, const std::string& last_name, int& retstat,
                     int& start, int& end, int& step, std::string& prefix, bool& variable,
                     int& digits, std::string& postfix, std::string& extension, int& status);
// The same, with the result as one record.
void IO_FILESEQUENCE(const std::string& first_name, const std::string& last_name, int& retstat,
                     io::FileSeries& series, int& status);
void IO_FILENAME(const std::string& prefix, int number, bool fixed, int digits,
                 const std::string& postfix, int& retstat, std::string& file_name, int& status);
void IO_NEWFILENAME(const std::string& file_name, int increment, int& retstat,
                    std::string& new_file_name, int& status);
void IO_EXTENSION(const std::string& file_name, std::string& extension, int& status);
void IO_NOEXTENSION(const std::string& file_name, std::string& result, int& status);
void IO_DIRPATH(const std::string& file_name, std::string& directory, int& status);
void IO_NODIRPATH(const std::string& file_name, std::string& result, int& status);
void IO_BASENAME(const std::string& file_name, std::string& result, int& status);
// retstat of the path routines: 0 success; 1 no home directory found; 2 the
// translated path is longer than the system allows; 3 a user name with "/";
// 4 a user name of one character. The current user's home ("~") is $HOME
// when set, else the user database's.
void IO_TRANS_PATH(const std::string& path, int& retstat, std::string& translated, int& status);
void IO_USERPATH(const std::string& user, int& retstat, std::string& home_directory, int& status);
void IO_HOMEDIR(const std::string& user, int& retstat, std::string& home_directory, int& status);
std::string IO_LOGINNAME();
void IO_SYSTEM_NAME(std::string& os_name, std::string& machine_name, int& status);
// Opens a text file on unit 1 to 99. Access "READ" or "UPDATE" needs an
// existing file; any other access creates or replaces it.
void IO_OPEN_ASCIIFILE(bool prompt, const std::string& access, int unit, std::string& file_name,
                       int& retstat, int& status);
// Reads one line of a unit opened for reading: retstat 0, or 1 at the end of
// the file or on a read error.
void IO_READ_ASCIIFILE(int unit, std::string& line, int& retstat, int& status);
// Closes a unit; a failure to complete the writes gives io::status_write_failed.
void IO_CLOSE_ASCIIFILE(int unit, int& status);
void IO_FILEEXIST(const std::string& file_name, bool& exists, int& status);
// Size in bytes; -1 when the file cannot be found.
void IO_FILESIZE(const std::string& file_name, std::int64_t& size, int& status);
void IO_RECL(int& unit_size, int& status);
namespace io {
// How a write_new_file ended.
enum class NewFile {
  written,      // the file is there with the whole text
  not_made,     // the file cannot be made (or already exists); nothing was written
  not_written,  // a write or its completion failed; nothing is left behind
};
// Makes the file `file_name` ("~" translated) with `contents` as its whole
// text, never replacing anything: the text goes into a new file beside it,
// which takes the name only when complete and only while no entry of that
// name exists. An existing entry, a name with no significant text or a
// file that the system will not make gives NewFile::not_made, reported to
// the caller only; a failed write gives NewFile::not_written after the
// console lines of a failed write. `reason` tells why ("" when written). The
// status stays good on either failure.
void write_new_file(const std::string& file_name, const std::string& contents, NewFile& result,
                    std::string& reason, int& status);
}  // namespace io
// Joins texts, each up to its significant length, into `result` of at most
// `result_width` characters; a result that does not fit gives
// io::status_string_too_short.
void IO_CONCAT2(const std::string& text1, const std::string& text2, int result_width,
                std::string& result, int& status);
void IO_CONCATC2(const std::string& text1, const std::string& text2, int result_width,
                 std::string& result, int& status);
void IO_CONCATC3(const std::string& text1, const std::string& text2, const std::string& text3,
                 int result_width, std::string& result, int& status);
void IO_CONCATC4(const std::string& text1, const std::string& text2, const std::string& text3,
                 const std::string& text4, int result_width, std::string& result, int& status);
void IO_CONCATC5(const std::string& text1, const std::string& text2, const std::string& text3,
                 const std::string& text4, const std::string& text5, int result_width,
                 std::string& result, int& status);
void IO_DEF_SYSTEM(int& status);

// ---------------------------------------------------------------------------
// Key/value defaults database
// ---------------------------------------------------------------------------
// Mode 0 sets (retstat untouched on success; 1 no room, a replaced entry then
// staying as it was), 1 inquires by key,
// -n inquires entry n in store order (retstat 0, or 2 not found). An inquiry
// returns at most 256 - (key length + 1) characters of a value, and
// value_length is the length of the text returned.
void IO_ACCESS_DATABASE(int mode, std::string& key, int& value_length, std::string& value,
                        int& retstat, int& status);
void IO_SET_KEYVALUE(const std::string& key, int value_length, const std::string& value,
                     int& retstat, int& status);
void IO_INQ_KEYVALUE(const std::string& key, int& value_length, std::string& value, int& retstat,
                     int& status);
void IO_SET_IKEYVALUE(const std::string& key, int value, int& retstat, int& status);
void IO_INQ_IKEYVALUE(const std::string& key, int& value, int& retstat, int& status);
void IO_SET_RKEYVALUE(const std::string& key, float value, int& retstat, int& status);
void IO_INQ_RKEYVALUE(const std::string& key, float& value, int& retstat, int& status);
void IO_SET_LKEYVALUE(const std::string& key, bool value, int& retstat, int& status);
void IO_INQ_LKEYVALUE(const std::string& key, bool& value, int& retstat, int& status);
// The load reads only a regular file (a symbolic link to one is fine) whose
// first line is "DATABASE DEFAULT VALUES FILE" (the second line is not
// looked at); an empty file loads nothing. retstat 0; 1 no room for every
// pair; -1 nothing loaded: no such file (a first run, said nowhere), or a
// file refused with a console warning naming it and what is wrong (a FIFO,
// a device, a directory; the system's reason it cannot be read; a first line
// that is not ours). A refused file is never saved over in this run, unless
// a later load reads it.
void IO_LOAD_DATABASE(const std::string& file_name, int& retstat, int& status);
// The save writes a new file beside the old one and puts it in the old one's
// place (through a symbolic link, the file it points to; permission bits
// kept) only when complete: on any failure the old file stays as it was and
// retstat is -1. A failure is reported on the console (the line
// "IO_OPEN_ASCIIFILE retstat =      1" when the new file cannot be made, the
// lines of a failed write, beginning "ERROR: ", when it cannot be written)
// followed by a line with the reason, the system's where there is one; the
// status stays good, so that the program still ends as the run went.
void IO_SAVE_DATABASE(const std::string& file_name, int& retstat, int& status);

// ---------------------------------------------------------------------------
// Directory listing and name matching
// ---------------------------------------------------------------------------
// A name list is a character area `names` (its size is the capacity, given by
// the caller) holding the names back to back, and a table `positions` of
// start positions counted from 1, one per name and one more marking the end
// (its size must be at least max_names + 1).
// retstat of the listings: 0 success; 1 the directory cannot be read (the list
// is empty); 2 more names than the table holds (the names listed so far stay);
// 3 a name does not fit in the area (that name is dropped, the others stay).
// IO_DIRECTORY lists the entries that are directories (or those that are
// not), never "." and "..", in the order the system returns them; an empty
// directory name lists nothing.
void IO_DIRECTORY(bool directories, int max_names, int& retstat, int& num_names,
                  std::span<int> positions, const std::string& directory, std::string& names,
                  int& status);
void IO_LISTFILES(const std::string& directory, const std::string& pattern, int file_type,
                  int max_names, int& retstat, int& num_names, std::span<int> positions,
                  std::string& names, int& status);
void IO_FILESMATCH(const std::string& pattern, int& num_names, std::span<int> positions,
                   std::string& names, int& status);
// Type code of a file name from its extension, in any case (the codes
// io::file_type_* below). io::file_type_any is never returned; asked of
// IO_FILESTYPE or IO_LISTFILES it keeps every name.
void IO_FILETYPE(const std::string& file_name, int& file_type, int& status);
void IO_FILESTYPE(int file_type, int& num_names, std::span<int> positions, std::string& names,
                  int& status);
void IO_FILESORDER(int num_names, std::span<int> positions, std::string& names, int& status);
// The same listings, matching, type filter and sort on a list held as a
// std::vector<std::string>: no capacity, every name whole. IO_DIRECTORY
// replaces the list's contents; retstat 0 success, 1 the directory cannot be
// read (the list is empty). A list that cannot be held in memory gives
// io::status_no_memory (after the console line "ERROR: Failed to allocate
// memory for the list of names").
void IO_DIRECTORY(bool directories, int& retstat, const std::string& directory,
                  std::vector<std::string>& names, int& status);
void IO_LISTFILES(const std::string& directory, const std::string& pattern, int file_type,
                  int& retstat, std::vector<std::string>& names, int& status);
void IO_FILESMATCH(const std::string& pattern, std::vector<std::string>& names, int& status);
void IO_FILESTYPE(int file_type, std::vector<std::string>& names, int& status);
void IO_FILESORDER(std::vector<std::string>& names, int& status);
// Both lists of a directory from one reading of it (the file selection
// tool): its sub-directories, and its other entries that match `pattern`,
// each list in order. retstat 0 success, 1 the directory cannot be read (both
// lists empty); memory as IO_DIRECTORY.
void IO_LISTENTRIES(const std::string& directory, const std::string& pattern, int& retstat,
                    std::vector<std::string>& directories, std::vector<std::string>& files,
                    int& status);
// Wild-card match: "*" stands for any run of characters, any other character
// for itself (case significant); trailing blanks are not significant. An
// empty text or pattern gives io::status_bad_text.
void IO_STRINGMATCH(const std::string& text, const std::string& pattern, bool& match, int& status);
// A failure to read the current directory gives io::status_no_directory.
void IO_GETCWD(std::string& directory, int& status);
// Makes the directory `selected` (relative to `directory`, or absolute) the
// current one; `directory` returns the new current directory. "." and ".."
// components are resolved on the name ("a/b/.." is "a"). retstat 0 success;
// 1 the directory cannot be entered (nothing changed).
void IO_CHANGEDIR(std::string& directory, const std::string& selected, int& retstat, int& status);
// Removes the last component of `directory` and makes the parent the current
// directory; the root "/" (or a name without a separator) stays as it is.
void IO_UP_DIRECTORY(std::string& directory, int& status);
// Position (from 1) of the last `character` within the significant length of
// `text`; -1 when absent.
int IO_LASTOCCURENCE(const std::string& text, char character);

namespace io {
// Name k (1-based) of a name list ("" when k is not in the list).
std::string list_name(int k, std::span<const int> positions, const std::string& names);

// File type codes returned by IO_FILETYPE.
inline constexpr int file_type_any = 0;         // a request only: keeps every name
inline constexpr int file_type_tiff = 1;        // tif, tiff, mccd, gel
inline constexpr int file_type_image = 2;       // the other image formats known by extension
inline constexpr int file_type_postscript = 3;  // ps, eps
inline constexpr int file_type_text = 4;        // txt, def, log
inline constexpr int file_type_other = 5;       // anything else, or no extension
}  // namespace io

// ---------------------------------------------------------------------------
// Macro files
// ---------------------------------------------------------------------------
// A macro file holds one answer a line for the questions of a run, read by
// IO_READ in place of the console while it is replayed. Its lines:
//   empty, or "!" first          a comment
//   "text"                       the text as it stands (quotes taken off by
//                                the text questions)
//   %SET NAME=VALUE              sets a variable
//   DO NAME START END [STEP]     repeats the lines up to ENDDO (integers)
//   ENDDO
//   %SLEEP S                     waits S seconds
//   END, or the end line         ends the macro
//   any other line               one answer; %NAME% gives the variable's
//                                value, %NAME:W% zero-padded to W digits,
//                                %% a "%"
// A line that cannot be run gives io::status_macro_syntax after a console
// line naming the file and the line number.
//
// No macro, no recording, no variables.
void IO_DEF_MACRO(int& status);
// Replay and record on or off. Replay is only turned on by IO_OPEN_MACRO.
void IO_SET_MACRO(bool replay, bool record, int& status);
void IO_INQ_MACRO(bool& replay, bool& record, int& status);
// Reads and checks the macro file and turns replay on. A file that cannot be
// read gives io::status_open_failed.
void IO_OPEN_MACRO(const std::string& file_name, int& status);
// Sets the variable NAME (any case) to VALUE.
void IO_DEFINE_MACRO(const std::string& name, const std::string& value, int& status);
// Runs the macro's directives up to its next answer, which stays to be read:
// `left` tells whether there is one.
void IO_MACRO_ANSWERS_LEFT(bool& left, int& status);
// Stops the run on an answer of the macro that is refused: "ERROR: " with
// the file, the line and the item, then `why` (the first line without a
// leading "WARNING: ", the others indented); io::status_macro_refused.
void IO_MACRO_REFUSE(const std::vector<std::string>& why, int& status);
// Records every answer from here on, to be written to `file_name` by
// IO_END_RECORD.
void IO_START_RECORD(const std::string& file_name, int& status);
// Ends the recording: `write` true writes the macro (replacing the file only
// when the whole text is written), false drops it with "INFO: No macro
// recorded".
void IO_END_RECORD(bool write, int& status);

namespace io {
// The scope of one answer given by a widget. Only the outermost scope
// records: the widgets it calls on its way to the answer do not.
class MacroAnswer {
 public:
  MacroAnswer();
  ~MacroAnswer();
  MacroAnswer(const MacroAnswer&) = delete;
  MacroAnswer& operator=(const MacroAnswer&) = delete;
  // True for the outermost scope.
  bool outermost() const { return outermost_; }
  // Records the answer, with the item as a comment line before it, when
  // recording and outermost.
  void record(const std::string& item, const std::string& answer, int& status);

 private:
  bool outermost_ = false;
};

// A point in the recording to come back to: retract() drops the answers
// recorded since it was made (an answer taken by a widget and then refused
// by its caller).
class MacroStep {
 public:
  MacroStep();
  void retract();
  // Drops only the last answer recorded since it was made (the O.K. of a
  // form whose entries are then corrected and kept).
  void retract_last();

 private:
  std::size_t mark_ = 0;
};

// The line that replays `answer` as it stands: quoted when it would
// otherwise be read as something else, each "%" doubled.
std::string macro_line(const std::string& answer);
}  // namespace io

// What every routine of the tree shares, one way each: the entry check, the
// failure, a console line that cannot fail its caller, and the helpers of
// text (case, significant length, blanks).
#pragma once

#include <string>

namespace io {

// True when `status` is good. Otherwise records `ident` with ST_SAVE and
// returns false: the routine then returns at once, changing nothing.
bool entry_ok(int status, const char* ident);

// A failure of the routine `ident`: `status` becomes `code` (a named status
// of the module) and `ident` is recorded with ST_SAVE.
void fail(int code, const char* ident, int& status);

// One console line through IO_WRITE, on a status of its own: for a warning
// on a way out, or a program's report, that must never turn the caller's
// status bad.
void say(const std::string& line);

// `text` in upper case (ASCII letters only).
std::string upper(std::string text);
// `text` up to its significant length (SLEN).
std::string trimmed(const std::string& text);
// `text` without leading blanks and without what lies beyond its
// significant length.
std::string stripped(const std::string& text);

}  // namespace io

// Internal services shared by the iolib sources (not part of the public API).
#pragma once

#include <cstdio>
#include <span>
#include <string>

namespace io {

// The numbered input/output units 1 to 99: the open stream of a unit, or null.
FILE* unit_stream(int unit);
void set_unit_stream(int unit, FILE* stream);
inline constexpr int max_unit = 99;

// `text` up to its significant length.
std::string trimmed(const std::string& text);

// `text` blank-padded or cut to exactly `width` characters.
std::string fixed_width(const std::string& text, std::size_t width);

}  // namespace io

namespace io {
// Makes `directory` the current directory of the process; false when it
// cannot be entered.
bool change_directory(const std::string& directory);
}  // namespace io

// Platform part of IO_DIRECTORY (same arguments); `directory` is not empty
// and the arguments have been checked.
void IO_DIRECTORYC(bool directories, int max_names, int& retstat, int& num_names,
                   std::span<int> positions, const std::string& directory, std::string& names,
                   int& status);

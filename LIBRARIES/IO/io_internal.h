// Internal services shared by the iolib sources (not part of the public API).
#pragma once

#include <cstdio>
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

// The image readers driven by arbitrary bytes: shared by the libFuzzer
// harnesses and by the test that replays their seed corpora and the inputs
// that once failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzztest {

// Each writes the bytes to a file and reads it with the reader, into
// arrays of odd sizes that the reader must not write beyond.
void tiff(const std::uint8_t* data, std::size_t size);
void merin(const std::uint8_t* data, std::size_t size);
// The first byte is the length of the ".info" text that follows; the rest
// is the data file.
void binary(const std::uint8_t* data, std::size_t size);
void princeton(const std::uint8_t* data, std::size_t size);
void hamamatsu(const std::uint8_t* data, std::size_t size);
// The last byte's lowest bit chooses the extension (".pck" or ".image"),
// and so how an older file without its identifier line is read.
void mar(const std::uint8_t* data, std::size_t size);
// As binary: the header text, then the ".img" file or the binary file.
void bas2000(const std::uint8_t* data, std::size_t size);
void bsl(const std::uint8_t* data, std::size_t size);
void dexoram(const std::uint8_t* data, std::size_t size);
void photometrics(const std::uint8_t* data, std::size_t size);

// The target of a name ("tiff", ...); null for another name.
using Target = void (*)(const std::uint8_t*, std::size_t);
Target target(const std::string& name);

}  // namespace fuzztest

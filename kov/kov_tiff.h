// Grey TIFF files written by the programs: the slice of kov_axis and the
// demo series of kov_phantom. Little-endian, one strip, row 1 stored first,
// as the image readers read them back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io.h"

namespace kov {

// The kinds of sample written: 16-bit unsigned integers, 32-bit IEEE reals.
enum class TiffSample { unsigned16, real32 };

// Writes `width` by `height` samples, `bytes` holding them as stored
// (little-endian, row 1 first); false when the file cannot be written or the
// bytes do not match the size.
bool write_tiff(const std::string& file_name, int width, int height, TiffSample sample,
                const std::vector<std::uint8_t>& bytes);

// Writes `width` by `height` values of `image` (its first columns and
// rows) as a 32-bit real TIFF; false when the file cannot be written.
bool write_real_tiff(const std::string& file_name, io::View2D<const float> image, int width,
                     int height);

}  // namespace kov

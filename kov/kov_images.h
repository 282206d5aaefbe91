// Image arrays of the application sized by the images they receive.
#pragma once

#include <string>
#include <vector>

#include "io.h"

namespace kov {

// Reads `file_name` through the image input dispatcher's named-file path
// (no window, no question), with `format` (a format name of the dispatcher)
// or, when it is empty, the format its extension gives. With `size_arrays`
// the arrays are first made as large as the image (each side at least 2048,
// see array_side; the memory is kept when the size is the one held), when
// the format tells its size before the image is read, else at least 2048 by
// 2048; without it the image must already be allocated. The axes are made
// as long as the array's dimensions. True when an image was read; false
// with `problem` set (one console line, "" when the readers have said why).
bool read_named_image(const std::string& file_name, const std::string& format, bool size_arrays,
                      io::Image<float>& image, std::vector<float>& x_axis,
                      std::vector<float>& y_axis, std::string& problem);

}  // namespace kov

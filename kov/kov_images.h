// Image arrays of the application sized by the images they receive.
//
// The first projection sizes its own array (each side at least 2048, see
// array_side). Every other image of the run must have the first
// projection's size, and its array holds at least one row and one column
// more than that: the readers cut an image larger than its array to fit it,
// and a cut image then fills the array, so it can never pass for an image of
// the first projection's size.
#pragma once

#include <string>
#include <vector>

#include "io.h"

namespace kov {

// Makes `image` an array for images of `width` by `height` pixels other
// than the first projection (see above); kept when it is one already.
// False when the memory cannot be had.
bool allocate_beyond(io::Image<float>& image, int width, int height);

// What fit_array finds.
enum class Fit {
  ready,       // the array is ready for the image
  too_large,   // the first projection is larger than max_image_size
  other_size,  // another image whose size differs from the first projection's
  no_memory,
};
// Makes `image` ready for the image of `file_name` in `format` (a format
// name of the image input dispatcher) from what the image input services
// tell of its size before it is read: `file_width` by `file_height` when
// they tell it (0 by 0 otherwise). For the first projection (`width` 0) the
// array becomes as large as the image (the memory kept when the size is the
// one held), at least 2048 by 2048 when the size is not told. Another image
// must be `width` by `height`, and its array is made as allocate_beyond
// makes it.
Fit fit_array(const std::string& file_name, const std::string& format, int width, int height,
              io::Image<float>& image, int& file_width, int& file_height, int& status);

// The words that refuse an image of `file_width` by `file_height` pixels
// when the first projection has `width` by `height`: the lines of the
// set-up's warning box, which kov_axis writes on the console.
std::vector<std::string> size_differs(int file_width, int file_height, int width, int height);

// Reads `file_name` through the image input dispatcher's named-file path
// (no window, no question), with `format` (a format name of the dispatcher)
// or, when it is empty, the format its extension gives. `width` 0: the
// first projection, into an array made as large as it (fit_array); else an
// image that must be `width` by `height`. The axes are made as long as the
// array's dimensions. True when an image was read; false with `problem`
// set (one console line, "" when the readers have said why).
bool read_named_image(const std::string& file_name, const std::string& format, int width,
                      int height, io::Image<float>& image, std::vector<float>& x_axis,
                      std::vector<float>& y_axis, std::string& problem);

}  // namespace kov

// fiolib: image file input. Byte streams and 2-D transfers (fio_stream.h),
// the image input dispatcher and the format readers (fio_input.h).
//
// Conventions: `status` (int&) is the last argument of every routine that
// has one; a routine entered with a status that is not io::status_good
// records its identification text and returns. Results that are not errors
// come back in `retstat` or `result`. Images go into the caller's arrays
// (io::View2D with the declared dimensions); nothing here allocates an image
// for its caller.
#pragma once

#include "fio_input.h"
#include "fio_stream.h"

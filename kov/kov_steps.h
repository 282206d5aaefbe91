// The window steps of the guided set-up: the choice of the projections, the
// background and the flat-fields, the rotation axis and the parameter file,
// and the sequence that runs them.
//
// Image arrays travel as io::Image, whose declared size is the size of the
// first projection (each side at least 2048, see array_side): the first
// projection's step sizes the main array, and every other array of the run
// is made as large as it.
#pragma once

#include <string>

#include "io.h"
#include "kov_parameters.h"

namespace kov {

// Statuses of the set-up's own: a step that ends the program at once (after
// its console line or warning box: an allocation failure, a file series
// that cannot be deduced). Nothing is saved.
inline constexpr int status_stopped = io::status_no_memory;

// The image of a chosen file: the file selection with `prompt` (starting
// from `file_name`), then the image into `image`. With `size_arrays` the
// array is first made as large as the image (array_side); otherwise the
// image must have the width and height given (a file of another size is
// refused with a warning box and the selection comes again, as is a file
// that cannot be read). CANCEL gives the user-escape status.
void input_image(const std::string& prompt, bool size_arrays, int width, int height,
                 std::string& file_name, io::Image<float>& image, float& x_pixel_size,
                 float& y_pixel_size, std::string& title, int& status);

// GS_PLOT of the whole image with pixel-edge coordinates (0.0 the lower edge
// of the first pixel).
void show_image(const io::Image<float>& image, int width, int height, const std::string& title,
                int& status);

}  // namespace kov

void KOV_INPUT_FIRST_IMAGE(std::string& file_name, io::Image<float>& main_image, int& num_image_1,
                           int& num_image_2, int& start_voxel_1, int& start_voxel_3,
                           int& end_voxel_1, int& end_voxel_3, float& x_pixel_size,
                           float& y_pixel_size, int& status);
void KOV_INPUT_LAST_IMAGE(std::string& file_name, io::Image<float>& work_image, int num_image_1,
                          int num_image_2, int& status);
void KOV_INPUT_90_IMAGE(std::string& file_name, io::Image<float>& work_image, kov::Parameters& p,
                        int& status);
void KOV_INPUT_FLATFIELD(io::Image<float>& flatfield, io::Image<float>& last_flatfield,
                         kov::Parameters& p, int& status);
void KOV_ROTATION_AXIS(std::string& last_file_name, bool subtract_background,
                       const io::Image<float>& background, bool correct_flatfield,
                       bool flatfield_changing, const io::Image<float>& flatfield,
                       const io::Image<float>& last_flatfield, bool rotation_vertical,
                       int num_image_1, int num_image_2, io::Image<float>& first_image,
                       float& rotation_axis_position, int& status);
void KOV_SAVE_PARAMETERS(const kov::Parameters& p, int& status);

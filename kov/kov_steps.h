// The window steps of the guided set-up: the choice of the projections, the
// background and the flat-fields, the rotation axis and the parameter file,
// and the sequence that runs them.
//
// Image arrays travel as io::Image (kov_images.h): the first projection's
// step sizes the main array, and every other array of the run is made for
// images of its size.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "io.h"
#include "kov_parameters.h"
#include "kov_sequence.h"

namespace kov {

// Statuses of the set-up's own: a step that ends the program at once (after
// its console line or warning box: an allocation failure, a file series
// that cannot be deduced). Nothing is saved.
inline constexpr int status_stopped = io::status_no_memory;

// The names offered and chosen during the run, kept from step to step.
struct FileNames {
  std::string first = initial_first_file;
  std::string last;  // beside the first projection until the user has chosen one
  std::string ninety;
  std::string last_flatfield;  // the flat-field's until the user has chosen one
};

// What a step asks of the image it offers to choose.
struct ImageChoice {
  std::string prompt;
  // The size the image must have, the first projection's; 0 by 0 for the
  // first projection itself, whose image sizes the arrays.
  int width = 0, height = 0;
  // Why a chosen name cannot be taken, as the lines of a warning box (none
  // when it can); the selection then comes again. None asked when empty.
  std::function<std::vector<std::string>(const std::string& name)> refuse;
};

// The image of a chosen file: the file selection with the choice's prompt
// (starting from `file_name`), then the image into `image`. A name refused,
// an image of another size than the choice's (a warning box that names both
// sizes) and a file that cannot be read bring the selection again. CANCEL
// gives the user-escape status.
void input_image(const ImageChoice& choice, std::string& file_name, io::Image<float>& image,
                 float& x_pixel_size, float& y_pixel_size, std::string& title, int& status);

// input_image, the image shown (titled by its file), then "IS THE IMAGE
// INPUT O.K.": NO brings the selection again; YES, and CANCEL, which
// changes nothing, keep the image.
void input_confirmed_image(const ImageChoice& choice, std::string& file_name,
                           io::Image<float>& image, float& x_pixel_size, float& y_pixel_size,
                           int& status);

// The set-up's way of showing images: colour table 4 for their values and
// square pixels (the image keeps its aspect ratio).
void set_image_display(int& status);

// GS_PLOT of the whole image with pixel-edge coordinates (0.0 the lower edge
// of the first pixel).
void show_image(const io::Image<float>& image, int width, int height, const std::string& title,
                int& status);

}  // namespace kov

void KOV_INPUT_FIRST_IMAGE(std::string& file_name, io::Image<float>& main_image, int& num_image_1,
                           int& num_image_2, int& start_voxel_1, int& start_voxel_3,
                           int& end_voxel_1, int& end_voxel_3, float& x_pixel_size,
                           float& y_pixel_size, int& status);
// The last projection, whose name with the first's must make a series that
// the parameter file holds.
void KOV_INPUT_LAST_IMAGE(const std::string& first_file_name, std::string& file_name,
                          io::Image<float>& work_image, int num_image_1, int num_image_2,
                          int& status);
void KOV_INPUT_90_IMAGE(std::string& file_name, io::Image<float>& work_image, kov::Parameters& p,
                        int& status);
// `last_file_name`: the last flat-field of a series, kept for the next call.
void KOV_INPUT_FLATFIELD(io::Image<float>& flatfield, io::Image<float>& last_flatfield,
                         kov::Parameters& p, std::string& last_file_name, int& status);
// `series`: the record as far as the set-up has it (the series, the
// corrections and the angles), for the slices of the sweep page shown
// before the position prompt (kov_axis_sweep.h).
void KOV_ROTATION_AXIS(std::string& last_file_name, bool subtract_background,
                       const io::Image<float>& background, bool correct_flatfield,
                       bool flatfield_changing, const io::Image<float>& flatfield,
                       const io::Image<float>& last_flatfield, bool rotation_vertical,
                       int num_image_1, int num_image_2, io::Image<float>& first_image,
                       float& rotation_axis_position, const kov::Parameters& series, int& status);
void KOV_SAVE_PARAMETERS(const kov::Parameters& p, int& status);

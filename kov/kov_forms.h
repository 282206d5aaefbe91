// The two control forms of the set-up: the reconstruction options, offered
// from the defaults database and remembered there.
#pragma once

#include <string>

// Reads the eleven remembered options (a key that is missing leaves the value
// passed in), shows control form 1 (file interval, corrections, geometry,
// sinograms) and control form 2 (over-sampling, angles, output file, pixel
// sizes, graphics) and writes the options back. Pixel sizes are in metres
// (shown in microns); both angles are in degrees. An output file name longer
// than the parameter file holds is refused with a warning box, and control
// form 2 comes again. A cancel of either form gives the user-escape status,
// with nothing of that form copied back and no key written.
void KOV_INPUT_FORM(int num_image_1, int num_image_2, float& x_pixel_size, float& y_pixel_size,
                    int& file_interval, bool& subtract_background, bool& correct_flatfield,
                    bool& take_logarithm, bool& rotation_vertical, bool& output_sinograms,
                    bool& output_reconstruction, int& oversampling_factor, float& angle_offset,
                    float& angle_between_projections, int& sinogram_megabytes,
                    std::string& output_file, bool& display_graphics, int& status);

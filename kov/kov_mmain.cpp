// The main set-up sequence: the guided input of every parameter, then the
// parameter file.
#include <array>
#include <string>
#include <vector>

#include "gs.h"
#include "kov_forms.h"
#include "kov_images.h"
#include "kov_mmain.h"
#include "kov_sequence.h"
#include "kov_steps.h"

namespace {

// A name in the directory of the file `beside`.
std::string beside(const std::string& file, const std::string& name, int& status) {
  std::string directory;
  IO_DIRPATH(file, directory, status);
  directory = directory.substr(0, static_cast<std::size_t>(SLEN(directory)));
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

// An array for another image of the run than the first projection; the
// program ends after `message` when the memory cannot be had.
bool allocated(io::Image<float>& image, const kov::Parameters& p, const char* message,
               int& status) {
  if (status != io::status_good) return false;
  if (kov::allocate_beyond(image, p.NUM_IMAGE_1, p.NUM_IMAGE_2)) return true;
  IO_WRITE(message, status);
  status = kov::status_stopped;
  return false;
}

// The first and the last projection, and the file series they make; the
// work array holds the last.
void projections(io::Image<float>& main_image, io::Image<float>& work, kov::Parameters& p,
                 kov::FileNames& n, io::FileSeries& series, int& status) {
  // The first projection sizes every array of the run.
  KOV_INPUT_FIRST_IMAGE(n.first, main_image, p.NUM_IMAGE_1, p.NUM_IMAGE_2, p.START_VOXEL_1,
                        p.START_VOXEL_3, p.END_VOXEL_1, p.END_VOXEL_3, p.horizontal_pixel_size,
                        p.vertical_pixel_size, status);
  if (!allocated(work, p,
                 "ERROR: Failed to allocate memory for storing the 90 degree rotation data",
                 status)) {
    return;
  }
  if (n.last.empty()) n.last = beside(n.first, kov::initial_last_file, status);
  KOV_INPUT_LAST_IMAGE(n.first, n.last, work, p.NUM_IMAGE_1, p.NUM_IMAGE_2, status);

  int retstat = 0;
  IO_FILESEQUENCE(n.first, n.last, retstat, series, status);
  if (status == io::status_good && retstat == 0) kov::take_projection_series(series, p, retstat);
  if (status != io::status_good || retstat == 0) return;
  const std::array<std::string, 1> line{"COULD NOT DEDUCE REQUIRED FILE SEQUENCE"};
  GS_FWARNING(1, 1, line, status);
  if (status == io::status_good) status = kov::status_stopped;
}

// The control forms, offering the angle and the output file that the series
// gives; then the interval and the angle between treated files.
void options(const std::string& first_file_name, int sequence_step, kov::Parameters& p,
             int& status) {
  p.angle_between_files = kov::default_angle_degrees(p.NUM_FIRST_IMAGE, p.NUM_LAST_IMAGE);
  kov::default_output_file(first_file_name, p.OUTPUT_FILE, status);
  KOV_INPUT_FORM(p.NUM_IMAGE_1, p.NUM_IMAGE_2, p.horizontal_pixel_size, p.vertical_pixel_size,
                 p.FILE_INTERVAL, p.SUBTRACT_BACKGROUND, p.CORRECT_FLATFIELD, p.TAKE_LOGARITHM,
                 p.ROTATION_VERTICAL, p.OUTPUT_SINOGRAMS, p.OUTPUT_RECONSTRUCTION,
                 p.OVERSAMPLING_FACTOR, p.ANGLE_OFFSET, p.angle_between_files, p.SINOGRAM_MEGABYTES,
                 p.OUTPUT_FILE, p.DISPLAY_GRAPHICS, status);
  if (status == io::status_good) kov::combine_interval(sequence_step, p);
}

// The 90-degree projection, offered by its number in the series, into the
// work array.
void ninety_degrees(io::Image<float>& work, kov::Parameters& p, kov::FileNames& n, int& status) {
  if (status != io::status_good) return;
  const kov::NinetyDegree ninety = kov::ninety_degree_projection(p, status);
  if (n.ninety.empty()) n.ninety = n.first;
  int retstat = 0;
  kov::projection_file_name(p, ninety.number, n.ninety, retstat, status);
  KOV_INPUT_90_IMAGE(n.ninety, work, p, status);
}

// The correction images chosen in the control form.
struct Corrections {
  io::Image<float> background, flatfield, last_flatfield;
};

// Why a background (or single flat-field) file cannot stand in the
// parameter file.
std::vector<std::string> one_file_too_long(const std::string& name) {
  return kov::name_too_long("THE NAME", name, kov::file_name_width);
}

void corrections(Corrections& c, kov::Parameters& p, kov::FileNames& n, int& status) {
  if (p.SUBTRACT_BACKGROUND &&
      allocated(c.background, p, "ERROR: Failed to allocate memory for storing the background data",
                status)) {
    if (p.BACKGROUND_FILE.empty()) p.BACKGROUND_FILE = beside(n.first, "background.tif", status);
    float xp = p.horizontal_pixel_size, yp = p.vertical_pixel_size;
    kov::input_confirmed_image(
        {"SELECT BACKGROUND IMAGE", p.NUM_IMAGE_1, p.NUM_IMAGE_2, one_file_too_long},
        p.BACKGROUND_FILE, c.background, xp, yp, status);
  }
  if (p.CORRECT_FLATFIELD &&
      allocated(c.flatfield, p, "ERROR: Failed to allocate memory for storing the flat-field data",
                status) &&
      allocated(c.last_flatfield, p,
                "ERROR: Failed to allocate memory for storing the last flat-field data", status)) {
    if (p.FLATFIELD_FILE.empty()) p.FLATFIELD_FILE = beside(n.first, "flatfield.tif", status);
    KOV_INPUT_FLATFIELD(c.flatfield, c.last_flatfield, p, n.last_flatfield, status);
  }
}

}  // namespace

void KOV_INPUT_PARAMETERS(io::Image<float>& main_image, kov::Parameters& p, kov::FileNames& names,
                          int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_INPUT_PARAMETERS V0.9 ")) return;
  kov::load_pixel_sizes(p, status);
  io::Image<float> work;
  io::FileSeries series;
  projections(main_image, work, p, names, series, status);
  options(names.first, series.step, p, status);
  ninety_degrees(work, p, names, status);
  work.release();

  Corrections c;
  corrections(c, p, names, status);
  KOV_ROTATION_AXIS(names.last, p.SUBTRACT_BACKGROUND, c.background, p.CORRECT_FLATFIELD,
                    p.FLATFIELD_CHANGING, c.flatfield, c.last_flatfield, p.ROTATION_VERTICAL,
                    p.NUM_IMAGE_1, p.NUM_IMAGE_2, main_image, p.ROTATION_AXIS_POSITION, p, status);
  kov::store_pixel_sizes(p, status);
  kov::report_volume(p, status);
}

void KOV_MMAIN(int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_MMAIN V0.5 ")) return;
  kov::Parameters p;
  io::Image<float> main_image;
  kov::FileNames names;
  KOV_INPUT_PARAMETERS(main_image, p, names, status);
  if (status == io::status_escape) {
    io::say("Reconstruction cancelled");
    return;
  }
  KOV_SAVE_PARAMETERS(p, status);
  if (status == io::status_escape) {
    io::say("Reconstruction cancelled");
  }
}

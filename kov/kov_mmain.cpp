// The main set-up sequence: the guided input of every parameter, then the
// parameter file.
#include <array>
#include <string>
#include <vector>

#include "gs.h"
#include "kov_forms.h"
#include "kov_mmain.h"
#include "kov_sequence.h"
#include "kov_steps.h"

namespace {

// Names offered and chosen during the run.
struct FileNames {
  std::string first = kov::initial_first_file;
  std::string last;  // beside the first projection until the user has chosen one
  std::string ninety;
};

FileNames& names() {
  static FileNames n;
  return n;
}

// A name in the directory of the file `beside`.
std::string beside(const std::string& file, const std::string& name, int& status) {
  std::string directory;
  IO_DIRPATH(file, directory, status);
  directory = directory.substr(0, static_cast<std::size_t>(SLEN(directory)));
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

bool allocated(io::Image<float>& image, const io::Image<float>& like, const char* message,
               int& status) {
  if (status != io::status_good) return false;
  if (image.allocate(like.xmaxdat(), like.ymaxdat())) return true;
  IO_WRITE(message, status);
  status = kov::status_stopped;
  return false;
}

void sequence_not_deduced(int& status) {
  const std::array<std::string, 1> line{"COULD NOT DEDUCE REQUIRED FILE SEQUENCE"};
  GS_FWARNING(1, 1, line, status);
  if (status == io::status_good) status = kov::status_stopped;
}

}  // namespace

void KOV_INPUT_PARAMETERS(io::Image<float>& main_image, kov::Parameters& p, int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_INPUT_PARAMETERS V0.9 ")) return;
  FileNames& n = names();
  kov::load_pixel_sizes(p, status);

  // The first projection sizes every array of the run.
  KOV_INPUT_FIRST_IMAGE(n.first, main_image, p.NUM_IMAGE_1, p.NUM_IMAGE_2, p.START_VOXEL_1,
                        p.START_VOXEL_3, p.END_VOXEL_1, p.END_VOXEL_3, p.horizontal_pixel_size,
                        p.vertical_pixel_size, status);
  io::Image<float> work;
  if (!allocated(work, main_image,
                 "ERROR: Failed to allocate memory for storing the 90 degree rotation data",
                 status)) {
    return;
  }
  if (n.last.empty()) n.last = beside(n.first, kov::initial_last_file, status);
  KOV_INPUT_LAST_IMAGE(n.last, work, p.NUM_IMAGE_1, p.NUM_IMAGE_2, status);

  int retstat = 0;
  io::FileSeries series;
  IO_FILESEQUENCE(n.first, n.last, retstat, series, status);
  if (status == io::status_good && retstat == 0) kov::take_projection_series(series, p, retstat);
  if (status != io::status_good) return;
  if (retstat != 0) {
    sequence_not_deduced(status);
    return;
  }
  p.ANGLE_BETWEEN_PROJECTIONS = kov::default_angle_degrees(p.NUM_FIRST_IMAGE, p.NUM_LAST_IMAGE);
  kov::default_output_file(n.first, p.OUTPUT_FILE, status);

  KOV_INPUT_FORM(p.NUM_IMAGE_1, p.NUM_IMAGE_2, p.horizontal_pixel_size, p.vertical_pixel_size,
                 p.FILE_INTERVAL, p.SUBTRACT_BACKGROUND, p.CORRECT_FLATFIELD, p.TAKE_LOGARITHM,
                 p.ROTATION_VERTICAL, p.OUTPUT_SINOGRAMS, p.OUTPUT_RECONSTRUCTION,
                 p.OVERSAMPLING_FACTOR, p.ANGLE_OFFSET, p.ANGLE_BETWEEN_PROJECTIONS,
                 p.SINOGRAM_MEGABYTES, p.OUTPUT_FILE, p.DISPLAY_GRAPHICS, status);
  if (status != io::status_good) return;
  kov::combine_interval(series.step, p);

  const kov::NinetyDegree ninety = kov::ninety_degree_projection(p, status);
  if (n.ninety.empty()) n.ninety = n.first;
  kov::projection_file_name(p, ninety.number, n.ninety, retstat, status);
  KOV_INPUT_90_IMAGE(n.ninety, work, p, status);
  work.release();

  io::Image<float> background, flatfield, last_flatfield;
  if (p.SUBTRACT_BACKGROUND &&
      allocated(background, main_image,
                "ERROR: Failed to allocate memory for storing the background data", status)) {
    if (p.BACKGROUND_FILE.empty()) p.BACKGROUND_FILE = beside(n.first, "background.tif", status);
    std::string title;
    float xp = p.horizontal_pixel_size, yp = p.vertical_pixel_size;
    kov::input_image("SELECT BACKGROUND IMAGE", false, p.NUM_IMAGE_1, p.NUM_IMAGE_2,
                     p.BACKGROUND_FILE, background, xp, yp, title, status);
    kov::show_image(background, p.NUM_IMAGE_1, p.NUM_IMAGE_2, title, status);
    bool ok = true;
    const std::array<std::string, 2> help{"Chose \"YES\" or \"NO\"", "Click on \"YES\" or \"NO\""};
    GS_INPL("IS THE IMAGE INPUT O.K.", 2, help, ok, status);
  }
  if (p.CORRECT_FLATFIELD &&
      allocated(flatfield, main_image,
                "ERROR: Failed to allocate memory for storing the flat-field data", status) &&
      allocated(last_flatfield, main_image,
                "ERROR: Failed to allocate memory for storing the last flat-field data", status)) {
    if (p.FLATFIELD_FILE.empty()) p.FLATFIELD_FILE = beside(n.first, "flatfield.tif", status);
    KOV_INPUT_FLATFIELD(flatfield, last_flatfield, p, status);
  }

  KOV_ROTATION_AXIS(n.last, p.SUBTRACT_BACKGROUND, background, p.CORRECT_FLATFIELD,
                    p.FLATFIELD_CHANGING, flatfield, last_flatfield, p.ROTATION_VERTICAL,
                    p.NUM_IMAGE_1, p.NUM_IMAGE_2, main_image, p.ROTATION_AXIS_POSITION, status);
  kov::store_pixel_sizes(p, status);
  kov::report_volume(p, status);
}

void KOV_MMAIN(int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_MMAIN V0.5 ")) return;
  static kov::Parameters p;
  static io::Image<float> main_image;
  KOV_INPUT_PARAMETERS(main_image, p, status);
  if (status == io::status_escape) {
    io::say("Reconstruction cancelled");
    return;
  }
  KOV_SAVE_PARAMETERS(p, status);
  if (status == io::status_escape) {
    io::say("Reconstruction cancelled");
  }
}

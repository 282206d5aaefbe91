// The window steps of the set-up: image choice, rotation axis, parameter file.
#include "kov_steps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "fio.h"
#include "gs.h"
#include "kov_axis.h"
#include "kov_axis_graph.h"
#include "kov_axis_report.h"
#include "kov_axis_sweep.h"
#include "kov_images.h"
#include "kov_sequence.h"

namespace {

using Lines = std::vector<std::string>;

void warn(const Lines& lines, int& status) {
  GS_FWARNING(static_cast<int>(lines.size()), static_cast<int>(lines.size()), lines, status);
}

// Coordinates of pixel centres: column i at i - 0.5.
std::vector<float> pixel_axis(int n) {
  std::vector<float> axis(static_cast<std::size_t>(std::max(n, 1)));
  for (std::size_t i = 0; i < axis.size(); ++i) axis[i] = static_cast<float>(i) + 0.5f;
  return axis;
}

// Two clicked points on the image shown last; false with the status of the
// widget (the user-escape status for CANCEL).
bool two_points(const io::Image<float>& image, int width, int height, const std::string& title,
                const Lines& info, std::array<float, 2>& x, std::array<float, 2>& y, int& status) {
  const std::array<std::string, 1> titles{title};
  int n = 0;
  GS_INPS_FCOORDINATES(true, image.view(), 1, 1, width, height, 1, 1, titles,
                       static_cast<int>(info.size()), static_cast<int>(info.size()), info, 2, n, x,
                       y, status);
  return status == io::status_good && n == 2;
}

// What the image input said of the image just read (a file that holds more
// images than the one input), in a line across the top of the page, where
// it stays while the image is looked at without a box to click away.
void show_input_notes(int& status) {
  const Lines notes = fio::input_notes();
  if (notes.empty() || status != io::status_good) return;
  gs::Box page;
  GS_INQ_MESSAGE(page, status);
  const int n = static_cast<int>(notes.size());
  GS_PROMPT(false, n, n, notes, page.xmin, page.ymax - 0.035f * static_cast<float>(n), page.xmax,
            page.ymax, status);
  GS_UPDATE(status);
}

// "IS THE IMAGE INPUT O.K.": false for NO; YES and CANCEL keep the image.
bool image_ok(int& status) {
  const Lines help{"Chose \"YES\" or \"NO\"", "Click on \"YES\" or \"NO\""};
  bool ok = true;
  GS_INPL("IS THE IMAGE INPUT O.K.", 2, help, ok, status);
  return ok;
}

// The pixel sizes the dispatcher remembers, so that they stay as they are.
void remembered_pixel_sizes(float& x_pixel_size, float& y_pixel_size, int& status) {
  int r = 0;
  IO_INQ_RKEYVALUE(kov::key_x_pixel_size, x_pixel_size, r, status);
  IO_INQ_RKEYVALUE(kov::key_y_pixel_size, y_pixel_size, r, status);
}

// What became of one choice of an image file.
enum class Choice { taken, again, ended };

// The array made ready for the chosen file from its size as the image
// input services tell it: `again` after a warning box for an image that
// cannot be taken.
Choice fitted(const kov::ImageChoice& c, const std::string& file_name, io::Image<float>& image,
              int& status) {
  bool sequence = false;
  std::string format;
  float overload = 0.0f;
  FIO_INQ_INPUT(sequence, format, overload, status);
  int w = 0, h = 0;
  const kov::Fit fit = kov::fit_array(file_name, format, c.width, c.height, image, w, h, status);
  if (status != io::status_good) return Choice::ended;
  switch (fit) {
    case kov::Fit::ready:
      return Choice::taken;
    case kov::Fit::too_large:
      gs::refuse({"IMAGE TOO LARGE: " + std::to_string(w) + " BY " + std::to_string(h) + " PIXELS",
                  "(AT MOST " + std::to_string(kov::max_image_size) + " BY " +
                      std::to_string(kov::max_image_size) + ")"},
                 status);
      return Choice::again;
    case kov::Fit::other_size:
      gs::refuse(kov::size_differs(w, h, c.width, c.height), status);
      return Choice::again;
    case kov::Fit::no_memory:
      break;
  }
  IO_WRITE("ERROR: Failed to allocate memory for storing the projection data", status);
  status = kov::status_stopped;
  return Choice::ended;
}

// The chosen file read into the array made ready for it.
Choice read_chosen(std::span<const std::string> prompts, const kov::ImageChoice& c,
                   std::string& file_name, io::Image<float>& image, float& x_pixel_size,
                   float& y_pixel_size, std::string& title, int& status) {
  std::vector<float> x_axis(static_cast<std::size_t>(image.xmaxdat()));
  std::vector<float> y_axis(static_cast<std::size_t>(image.ymaxdat()));
  bool defined = false;
  std::string xlabel, ylabel, zlabel;
  int xnum = 0, ynum = 0;
  FIO_GUI_INPUT(1, 1, prompts, fio::input_named, false, defined, file_name, xnum, ynum, x_axis,
                y_axis, image.view(), io::View2D<float>(), title, xlabel, ylabel, zlabel,
                x_pixel_size, y_pixel_size, status);
  if (status != io::status_good) return Choice::ended;
  if (!defined) return Choice::again;  // the dispatcher has said why
  if (c.width > 0 && (xnum != c.width || ynum != c.height)) {
    gs::refuse(kov::size_differs(xnum, ynum, c.width, c.height), status);
    return Choice::again;
  }
  image.xnumdat = xnum;
  image.ynumdat = ynum;
  return Choice::taken;
}

// One pass of the choice: the selection, the name, the size, the image.
Choice choose_once(std::span<const std::string> prompts, const kov::ImageChoice& c,
                   std::string& file_name, io::Image<float>& image, float& x_pixel_size,
                   float& y_pixel_size, std::string& title, int& status) {
  int retstat = 0;
  fio::choose_input_file(1, 1, prompts, file_name, retstat, status);
  if (status != io::status_good) return Choice::ended;
  if (retstat != fio::input_done) {
    status = io::status_escape;
    return Choice::ended;
  }
  if (const Lines why = c.refuse ? c.refuse(file_name) : Lines{}; !why.empty()) {
    gs::refuse(why, status);
    return Choice::again;
  }
  const Choice fit = fitted(c, file_name, image, status);
  if (fit != Choice::taken) return fit;
  return read_chosen(prompts, c, file_name, image, x_pixel_size, y_pixel_size, title, status);
}

}  // namespace

namespace kov {

void input_image(const ImageChoice& choice, std::string& file_name, io::Image<float>& image,
                 float& x_pixel_size, float& y_pixel_size, std::string& title, int& status) {
  const std::array<std::string, 1> prompts{choice.prompt};
  // An image refused after it was chosen is not an answer to replay.
  while (status == io::status_good) {
    io::MacroStep step;
    if (choose_once(prompts, choice, file_name, image, x_pixel_size, y_pixel_size, title, status) !=
        Choice::again)
      return;
    step.retract();
  }
}

void input_confirmed_image(const ImageChoice& choice, std::string& file_name,
                           io::Image<float>& image, float& x_pixel_size, float& y_pixel_size,
                           int& status) {
  bool accepted = false;
  while (status == io::status_good && !accepted) {
    std::string title;
    input_image(choice, file_name, image, x_pixel_size, y_pixel_size, title, status);
    show_image(image, choice.width, choice.height, title, status);
    accepted = image_ok(status);
  }
}

void set_image_display(int& status) {
  GS_SET_LUTCHOICE(4, 200, status);
  GS_COLOURS(status);
  GS_SET_IASPECT(true, status);
}

void show_image(const io::Image<float>& image, int width, int height, const std::string& title,
                int& status) {
  const std::vector<float> x = pixel_axis(image.xmaxdat());
  const std::vector<float> y = pixel_axis(image.ymaxdat());
  {
    const gs::GraphPageScope page(status);
    GS_PLOT(image.view(), x, y, 1, 1, width, height, title, "X (pixels)", "Y (pixels)", "Intensity",
            status);
  }
  show_input_notes(status);
}

}  // namespace kov

void KOV_INPUT_FIRST_IMAGE(std::string& file_name, io::Image<float>& main_image, int& num_image_1,
                           int& num_image_2, int& start_voxel_1, int& start_voxel_3,
                           int& end_voxel_1, int& end_voxel_3, float& x_pixel_size,
                           float& y_pixel_size, int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_INPUT_FIRST_IMAGE V0.5 ")) return;
  kov::load_first_file_name(file_name, status);
  std::string title;
  kov::input_image({"SELECT FIRST DATA IMAGE FILE", 0, 0, kov::first_name_too_long}, file_name,
                   main_image, x_pixel_size, y_pixel_size, title, status);
  if (status != io::status_good) return;
  num_image_1 = main_image.xnumdat;
  num_image_2 = main_image.ynumdat;
  kov::show_image(main_image, num_image_1, num_image_2, title, status);
  const Lines info{"The volume to reconstruct can be defined by",
                   "selecting a rectangle from the first projection",
                   "and from a minimum and maximum depth from a",
                   "projection at 90 degrees rotation from the first.",
                   "Here you are asked to define the limits for the",
                   "lowest and highest X-voxels and the lowest and",
                   "highest slices to reconstruct. Later the limits",
                   "of the Y-range of voxels will be input."};
  std::array<float, 2> x{}, y{};
  if (!two_points(main_image, num_image_1, num_image_2,
                  "SELECT RECTANGLE FROM PROJECTION TO RECONSTRUCT", info, x, y, status)) {
    return;
  }
  kov::Parameters v;
  kov::first_image_volume(x[0], y[0], x[1], y[1], v);
  start_voxel_1 = v.START_VOXEL_1;
  end_voxel_1 = v.END_VOXEL_1;
  start_voxel_3 = v.START_VOXEL_3;
  end_voxel_3 = v.END_VOXEL_3;
  kov::store_first_file_name(file_name, status);
}

void KOV_INPUT_LAST_IMAGE(const std::string& first_file_name, std::string& file_name,
                          io::Image<float>& work_image, int num_image_1, int num_image_2,
                          int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_INPUT_LAST_IMAGE V0.2 ")) return;
  std::string title;
  float xp = 0.0f, yp = 0.0f;
  remembered_pixel_sizes(xp, yp, status);
  const auto series = [&](const std::string& name) {
    int s = io::status_good;
    return kov::series_too_long(first_file_name, name, s);
  };
  kov::input_image({"SELECT LAST DATA IMAGE FILE", num_image_1, num_image_2, series}, file_name,
                   work_image, xp, yp, title, status);
  kov::show_image(work_image, num_image_1, num_image_2, title, status);
}

void KOV_INPUT_90_IMAGE(std::string& file_name, io::Image<float>& work_image, kov::Parameters& p,
                        int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_INPUT_90_IMAGE V0.7 ")) return;
  std::string title;
  float xp = p.horizontal_pixel_size, yp = p.vertical_pixel_size;
  kov::input_image({"SELECT 90 DEGREE ROTATION IMAGE", p.NUM_IMAGE_1, p.NUM_IMAGE_2, {}}, file_name,
                   work_image, xp, yp, title, status);
  kov::show_image(work_image, p.NUM_IMAGE_1, p.NUM_IMAGE_2, "90 DEGREE ROTATION IMAGE", status);
  const Lines info{"The volume to reconstruct can be defined by",
                   "selecting a rectangle from the first projection",
                   "and from a minimum and maximum depth from a",
                   "projection at 90 degrees rotation from the first.",
                   "Here you are asked to define the limits for the",
                   "lowest and highest Y-voxels (the depth range)",
                   "to reconstruct."};
  std::array<float, 2> x{}, y{};
  if (!two_points(work_image, p.NUM_IMAGE_1, p.NUM_IMAGE_2,
                  "SELECT RECTANGLE FROM PROJECTION TO RECONSTRUCT", info, x, y, status)) {
    return;
  }
  kov::depth_volume(x[0], y[0], x[1], y[1], p);
}

namespace {

// The series of the first and the last flat-field into the record, and the
// interval between new flat-field files.
void flatfield_series(const std::string& last_file_name, kov::Parameters& p, int& status) {
  int retstat = 0;
  io::FileSeries series;
  IO_FILESEQUENCE(p.FLATFIELD_FILE, last_file_name, retstat, series, status);
  if (status == io::status_good && retstat == 0) kov::take_flatfield_series(series, p, retstat);
  if (status != io::status_good) return;
  if (retstat != 0) {
    gs::refuse({"COULD NOT DEDUCE REQUIRED FILE SEQUENCE"}, status);
    status = kov::status_stopped;
    return;
  }
  const Lines interval_help{"Enter the interval between inputting new", "flat-field files"};
  const Lines range_error{"Enter an integer within given range"};
  const int top = std::max(1, p.FF_NUM_LAST_IMAGE);
  p.FF_FILE_INTERVAL = std::clamp(p.FF_FILE_INTERVAL, 1, top);
  GS_INPI(true, 1, top, true, "COUNTER INTERVAL BETWEEN NEW FLAT-FIELD FILES", 2, interval_help, 1,
          range_error, p.FF_FILE_INTERVAL, status);
  kov::store_ff_interval(p.FF_FILE_INTERVAL, status);
}

}  // namespace

void KOV_INPUT_FLATFIELD(io::Image<float>& flatfield, io::Image<float>& last_flatfield,
                         kov::Parameters& p, std::string& last_file_name, int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_INPUT_FLATFIELD V0.5 ")) return;
  GS_BACKGROUND(status);
  kov::load_ff_interval(p.FF_FILE_INTERVAL, status);
  const Lines changing_help{"Do you want the file used to perform the flat-field",
                            "correction to change during the reconstruction",
                            "Enter \"YES\" or \"NO\""};
  GS_INPL("CHANGING FLAT-FIELD FILE", 3, changing_help, p.FLATFIELD_CHANGING, status);
  float xp = p.horizontal_pixel_size, yp = p.vertical_pixel_size;
  const auto one_file = [](const std::string& name) {
    return kov::name_too_long("THE NAME", name, kov::file_name_width);
  };
  kov::ImageChoice choice{"SELECT FLAT-FIELD IMAGE", p.NUM_IMAGE_1, p.NUM_IMAGE_2, one_file};
  if (p.FLATFIELD_CHANGING)
    choice = {"SELECT FIRST FLAT-FIELD IMAGE", p.NUM_IMAGE_1, p.NUM_IMAGE_2,
              kov::first_name_too_long};
  kov::input_confirmed_image(choice, p.FLATFIELD_FILE, flatfield, xp, yp, status);
  if (status != io::status_good || !p.FLATFIELD_CHANGING) return;

  if (last_file_name.empty()) last_file_name = p.FLATFIELD_FILE;
  choice.prompt = "SELECT LAST FLAT-FIELD IMAGE";
  choice.refuse = [&p](const std::string& name) {
    int s = io::status_good;
    return kov::series_too_long(p.FLATFIELD_FILE, name, s);
  };
  kov::input_confirmed_image(choice, last_file_name, last_flatfield, xp, yp, status);
  flatfield_series(last_file_name, p, status);
}

namespace {

// The lines of the 180-degree projection to match, chosen on it: image rows
// for a vertical axis, columns for a horizontal one; false with the status
// of the widget.
bool line_range(const io::Image<float>& last, bool vertical, int num_image_1, int num_image_2,
                int& first_line, int& last_line, int& status) {
  const Lines info{"The range of lines (or columns for horizontal",
                   "rotation axes) used to calculate the rotation",
                   "axis position is now selected. This allows you",
                   "to select a range which optimally includes the",
                   "object, and minimises the background."};
  std::array<float, 2> x{}, y{};
  if (!two_points(last, num_image_1, num_image_2, "SELECT RANGE OF IMAGE TO USE", info, x, y,
                  status)) {
    return false;
  }
  const int num_lines = vertical ? num_image_2 : num_image_1;
  const kov::VoxelRange range =
      vertical ? kov::clicked_range(y[0], y[1]) : kov::clicked_range(x[0], x[1]);
  // Two clicks in one pixel below its middle give an empty range: that line.
  first_line = std::clamp(range.start, 1, num_lines);
  last_line = std::clamp(range.end, first_line, num_lines);
  IO_WRITE("INFO: Rotation axis from lines " + std::to_string(first_line) + " to " +
               std::to_string(last_line),
           status);
  return status == io::status_good;
}

// A prompt over the whole page, shown at once, while the work goes on.
void working(const Lines& lines, int& status) {
  GS_PPROMPT(static_cast<int>(lines.size()), static_cast<int>(lines.size()), lines, status);
  GS_UPDATE(status);
}

// The graph of the lines' positions and why the position is not to be
// trusted (the axis by reconstruction among the reasons), or that no line
// is usable; then the prompt for the position, offering the one chosen on
// the sweep page, within 0 to `n`.
void offer_position(const kov::AxisResult& result, const kov::SweepChoice& sweep, bool vertical,
                    float n, float& position, int& status) {
  const double reconstruction =
      sweep.reconstructed ? sweep.by_reconstruction : std::numeric_limits<double>::quiet_NaN();
  position = sweep.position;
  if (result.usable()) {
    kov::draw_axis_graph(result, vertical, status);
    // Why the position is not to be trusted, before the user confirms it.
    const Lines why = kov::axis_warning_box(result, reconstruction);
    if (!why.empty()) warn(why, status);
  } else {
    warn({"NO LINE GIVES A USABLE CORRELATION:", "THE POSITION OFFERED IS THE ONE HELD BEFORE"},
         status);
  }
  position = std::clamp(position, 0.0f, n);
  static const Lines help{"The pixel coordinate of the rotation axis is required.",
                          "The default value presented has been calculated from",
                          "the maximum cross-correlation position between the first",
                          "image and the mirror of the 180 degree rotation image.",
                          " ",
                          "  The pixel coordinate system goes from 0.0 on the left-hand",
                          "edge of the first pixel (1.0 on the right edge) to the",
                          "number of pixels on the right-hand edge of the last pixel.",
                          "e.g. if there are 1024 pixel, the centre is coordinate",
                          "512.0.",
                          " ",
                          "  The coordinate is valid for either vertical rotation",
                          "axes, in which case you're entering an X-coordinate, or",
                          "for horizontal rotation axes, in which case you're",
                          "entering a Y-coordinate.",
                          " ",
                          "  Usually the default should be a good value, but you",
                          "may have special reasons to over-ride this value."};
  const Lines range_error{"Enter valid floating point value within given limits"};
  GS_INPR(true, 0.0f, n, true, "PIXEL COORDINATE OF ROTATION AXIS", 18, help, 1, range_error,
          position, status);
}

}  // namespace

void KOV_ROTATION_AXIS(std::string& last_file_name, bool subtract_background,
                       const io::Image<float>& background, bool correct_flatfield,
                       bool flatfield_changing, const io::Image<float>& flatfield,
                       const io::Image<float>& last_flatfield, bool rotation_vertical,
                       int num_image_1, int num_image_2, io::Image<float>& first_image,
                       float& rotation_axis_position, const kov::Parameters& series, int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_ROTATION_AXIS V0.6 ")) return;
  io::Image<float> last;
  if (!kov::allocate_beyond(last, num_image_1, num_image_2)) {
    IO_WRITE("ERROR: Failed to allocate memory for the 180 degree rotation data", status);
    status = kov::status_stopped;
    return;
  }
  float xp = 0.0f, yp = 0.0f;
  remembered_pixel_sizes(xp, yp, status);
  kov::input_confirmed_image(
      {"SELECT 180 DEGREE ROTATION IMAGE FILE", num_image_1, num_image_2, {}}, last_file_name, last,
      xp, yp, status);
  int first_line = 0, last_line = 0;
  if (!line_range(last, rotation_vertical, num_image_1, num_image_2, first_line, last_line,
                  status)) {
    return;
  }
  working({"CORRECTING FIRST AND 180 DEGREE", "ROTATION IMAGES"}, status);
  kov::correct_projection(subtract_background, background.view(), correct_flatfield,
                          flatfield.view(), num_image_1, num_image_2, first_image.view(), status);
  kov::correct_projection(subtract_background, background.view(), correct_flatfield,
                          flatfield_changing ? last_flatfield.view() : flatfield.view(),
                          num_image_1, num_image_2, last.view(), status);
  working({"CALCULATING POSITION OF ROTATION AXIS", "PLEASE WAIT"}, status);
  kov::AxisResult result;
  kov::axis_positions(rotation_vertical, num_image_1, num_image_2, first_image.view(), last.view(),
                      first_line, last_line, result, status);
  kov::report_axis(result, status);
  last.release();
  if (status != io::status_good) return;
  // The slices around the position offered (the weighted one, else the one
  // held before), to look at before the prompt.
  const float n = static_cast<float>(rotation_vertical ? num_image_1 : num_image_2);
  const float offered =
      result.usable() ? static_cast<float>(result.weighted) : rotation_axis_position;
  kov::SweepChoice sweep;
  kov::axis_sweep(series, first_line, last_line, std::clamp(offered, 0.0f, n), sweep, status);
  if (status != io::status_good) return;
  offer_position(result, sweep, rotation_vertical, n, rotation_axis_position, status);
}

void KOV_SAVE_PARAMETERS(const kov::Parameters& p, int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_SAVE_PARAMETERS V0.9 ")) return;
  kov::SaveDialog dialog;
  dialog.choose = [](std::string& file_name, bool& chosen, int& s) {
    const std::array<std::string, 1> prompt{kov::parameter_file_prompt};
    const std::array<std::string, 2> info{kov::parameter_file_info[0], kov::parameter_file_info[1]};
    std::string extension = gs::all_permitted;
    bool cancelled = true;
    GS_FILESELECTION(1, 1, prompt, 2, 2, info, gs::select_output, 0, extension, file_name,
                     cancelled, s);
    chosen = !cancelled;
  };
  dialog.end = [](bool& end, int& s) {
    const Lines help{"YES ends the set-up without a parameter file: every",
                     "answer of this session is lost. NO returns to the",
                     "choice of the parameter file's name."};
    end = false;
    GS_BACKGROUND(s);
    GS_INPL(kov::end_without_file_question, 3, help, end, s);
  };
  dialog.warn = [](const std::vector<std::string>& lines, int& s) { gs::refuse(lines, s); };
  std::string file_name;
  kov::save_parameters(p, dialog, file_name, status);
  if (status == io::status_good) {
    IO_WRITE("INFO: Parameter file written: " + file_name, status);
  }
}

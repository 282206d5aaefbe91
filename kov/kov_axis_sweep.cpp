// The sweep page of the rotation-axis step: the slice of one line at the
// chosen position, large, and the nine slices around it, small, with the
// menu of the page below them.
#include "kov_axis_sweep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <span>

#include "kov_axis_report.h"

namespace {

using Lines = std::vector<std::string>;

// The menu of the page: its title, labels (in the order of SweepControl)
// and what each does.
const std::array<std::string, 1> menu_title{"CLICK ON A SLICE TO CHOOSE ITS POSITION"};
const std::array<std::string, kov::sweep_controls> menu_labels{
    "O.K.", "HALVE STEP", "DOUBLE STEP", "OTHER LINE", "HELP", "CANCEL"};
const Lines help_lines{"The slice through one line of the volume is reconstructed",
                       "at the position of the rotation axis (large) and at nine",
                       "positions around it (small, the middle one the position",
                       "offered). A wrong axis shows as arcs and doubled edges, a",
                       "right one as sharp edges.",
                       " ",
                       "  Click on one of the nine to show it large and to make its",
                       "position the default of the prompt that follows. The yellow",
                       "frame marks the slice chosen, the red one the slice nearest",
                       "the axis by reconstruction (the sharpest position of a finer",
                       "sweep).",
                       " ",
                       "O.K.: Go on to the prompt, offering the position chosen",
                       "HALVE STEP: Nine positions half as far apart, around the chosen",
                       "DOUBLE STEP: Nine positions twice as far apart, around the chosen",
                       "OTHER LINE: The slices of another line of the range",
                       "HELP: Description of the page and its buttons",
                       "CANCEL: Cancel the set-up, without a parameter file"};

// Steps the user can reach by halving and doubling.
constexpr float smallest_step = 1.0f / 64.0f, largest_step = 8.0f;
// The finer sweep of the axis by reconstruction reaches this far.
constexpr float reconstruction_reach = 3.0f;

std::string fixed(const char* spec, double value) {
  char text[64];
  std::snprintf(text, sizeof text, spec, std::fabs(value) < 5e-6 ? 0.0 : value);
  return text;
}

// Everything the page shows and what the user has chosen.
struct SweepPage {
  const kov::Parameters& p;
  int first_line = 0, last_line = 0;  // the range chosen for the axis
  int line = 0;                       // the line of the slices
  int first = 0, last = 0, n = 0;     // voxels across the axis
  float correlation = 0.0f;           // the position offered, that of the correlation
  float centre = 0.0f, step = kov::sweep_step;
  int chosen = kov::sweep_count / 2;  // of the nine
  double by_reconstruction = 0.0;
  bool reconstructed = false;
  bool offered_print = false;  // with the form documentation flag
  kov::Sinogram sinogram{};
  std::vector<float> store{};  // the nine slices, n by n each
  std::vector<io::View2D<float>> slices{};
  kov::SweepLayout layout{};

  float position(int k) const {
    return centre + static_cast<float>(k - kov::sweep_count / 2) * step;
  }
  // The one of the nine nearest the axis by reconstruction, -1 when it lies
  // beyond them.
  int nearest_reconstruction() const {
    const double k = std::round((by_reconstruction - centre) / step) + kov::sweep_count / 2;
    return reconstructed && k >= 0.0 && k < kov::sweep_count ? static_cast<int>(k) : -1;
  }
};

// The nine slices of the page's line (read first with `read`, and then its
// axis by reconstruction written on the console); false (said on the
// console) when the slices cannot be made, the status then unchanged.
bool reconstruct(SweepPage& s, bool read, int& status) {
  int local = io::status_good;
  if (read) KOV_READ_SINOGRAM(s.p, s.line, s.sinogram, local);
  kov::sweep_slices(s.sinogram, s.centre, s.step, s.first, s.last, s.slices, local);
  const double r = !read || local != io::status_good
                       ? s.by_reconstruction
                       : kov::axis_by_reconstruction(s.sinogram, s.centre, reconstruction_reach,
                                                     s.first, s.last, local);
  if (local != io::status_good) {
    IO_WRITE("WARNING: The slice of line " + std::to_string(s.line) +
                 " cannot be reconstructed (status " + std::to_string(local) + ")",
             status);
    return false;
  }
  if (!read) return true;
  s.by_reconstruction = r;
  s.reconstructed = true;
  for (const auto& l : kov::reconstruction_report_lines(s.correlation, r)) IO_WRITE(l, status);
  return true;
}

// The nine arrays of n by n voxels; false when the memory cannot be had.
bool allocate_slices(SweepPage& s) {
  const auto side = static_cast<std::size_t>(s.n);
  try {
    s.store.assign(side * side * kov::sweep_count, 0.0f);
  } catch (const std::bad_alloc&) {
    return false;
  }
  s.slices.clear();
  for (int k = 0; k < kov::sweep_count; ++k)
    s.slices.emplace_back(s.store.data() + static_cast<std::size_t>(k) * side * side, s.n, s.n);
  return true;
}

// Pixel centres of the slice: voxel i at first - 1 + i - 0.5 in the
// coordinates of the line (0.0 the edge of the first pixel).
std::vector<float> voxel_axis(const SweepPage& s) {
  std::vector<float> axis(static_cast<std::size_t>(s.n));
  for (int i = 0; i < s.n; ++i)
    axis[static_cast<std::size_t>(i)] = static_cast<float>(s.first + i) - 0.5f;
  return axis;
}

void draw_large(const SweepPage& s, int& status) {
  const std::vector<float> axis = voxel_axis(s);
  const gs::GraphPageScope keep;
  GS_SET_GPP(s.layout.large, status);
  const std::string title = "SLICE OF LINE " + std::to_string(s.line) + " AT AXIS " +
                            fixed("%.3f", s.position(s.chosen)) + " PIXELS";
  GS_PLOT(s.slices[static_cast<std::size_t>(s.chosen)], axis, axis, 1, 1, s.n, s.n, title,
          "Across the axis (pixels)", "Depth (pixels)", "Density", status);
}

// One small image over the box, in the range shared by the nine.
void draw_small(io::View2D<const float> slice, int n, const gs::Box& b, float low, float high,
                int& status) {
  const gs::DrawingScope keep;
  VG_DATAWINDOW(b.xmin, b.ymin, b.xmax, b.ymax, status);
  VG_VIEWPORT(b.xmin, b.ymin, b.xmax, b.ymax, status);
  GS_2DCELLARRAY(slice, 1, 1, n, n, gs::scale_user, low, high, status);
}

void frame(const gs::Box& b, float gap, int colour, int& status) {
  GS_LINESTYLE(1, 3.0f, colour, status);
  GS_RECTANGLE(b.xmin - gap, b.ymin - gap, b.xmax + gap, b.ymax + gap, true, false, status);
}

// The nine, each with its position under it; the chosen one framed yellow,
// the one nearest the axis by reconstruction red.
void draw_nine(const SweepPage& s, int& status) {
  const gs::WidgetScope scope;
  const auto [low, high] = std::minmax_element(s.store.begin(), s.store.end());
  const float lo = *low, hi = *high > *low ? *high : *low + 1.0f;
  const int marked = s.nearest_reconstruction();
  for (int k = 0; k < kov::sweep_count; ++k) {
    const gs::Box& b = s.layout.small[static_cast<std::size_t>(k)];
    draw_small(s.slices[static_cast<std::size_t>(k)], s.n, b, lo, hi, status);
    const float h = 0.12f * (b.ymax - b.ymin), gap = 0.2f * h;
    if (k == marked) frame(b, 2.0f * gap, gs::red, status);
    if (k == s.chosen) frame(b, gap, gs::yellow, status);
    GS_TEXTSTYLE(1, k == marked ? gs::red : gs::black, h, 1.0f, 0.0f, gs::align_centre,
                 gs::valign_top, status);
    VG_TEXT(0.5f * (b.xmin + b.xmax), b.ymin - 3.0f * gap, fixed("%.3f", s.position(k)), status);
  }
  // What the frames mean, above the nine.
  std::string text = "STEP " + fixed("%.4g", s.step) + " PIXEL";
  if (s.reconstructed)
    text += ", BY RECONSTRUCTION " + fixed("%.3f", s.by_reconstruction) + " (RED)";
  const gs::Box& left = s.layout.small[0];
  const float width = s.layout.small[2].xmax - left.xmin;
  // Characters are about 0.7 of their height wide.
  const float h =
      std::min(0.16f * (left.ymax - left.ymin), width / (0.75f * static_cast<float>(text.size())));
  GS_TEXTSTYLE(1, gs::black, h, 1.0f, 0.0f, gs::align_left, gs::valign_bottom, status);
  VG_TEXT(left.xmin, left.ymax + 0.4f * h, text, status);
}

void draw_menu(int& status) {
  const gs::MenuLayoutScope layout(kov::sweep_menu_grid, status);
  GS_FMENU(1, 1, menu_title, kov::sweep_controls, kov::sweep_controls, menu_labels, status);
}

void draw_page(const SweepPage& s, int& status) {
  const gs::HeldDrawingScope held;
  draw_large(s, status);
  draw_nine(s, status);
  draw_menu(status);
}

// With the form documentation flag: the page drawn into a PostScript file
// named by the user, which is then closed.
void print_page(const SweepPage& s, int& status) {
  gs::print_page([&](int& st) { draw_page(s, st); }, status);
}

// What the page does next.
enum class Next { wait, draw, end };

// The sweep again around the chosen position, `factor` times the step.
Next restep(SweepPage& s, float factor, int& status) {
  const float step = std::clamp(s.step * factor, smallest_step, largest_step);
  s.centre = s.position(s.chosen);
  s.step = step;
  s.chosen = kov::sweep_count / 2;
  if (!reconstruct(s, false, status)) return Next::end;
  return Next::draw;
}

// Another line of the range, asked for in the GUI region.
Next other_line(SweepPage& s, int& status) {
  const Lines help{"The slices are reconstructed from one line of every",
                   "projection: enter the line (an image row for a vertical",
                   "axis, a column for a horizontal one) within the range", "chosen for the axis."};
  const Lines range_error{"Enter an integer within given range"};
  GS_INPI(true, s.first_line, s.last_line, true, "LINE OF THE SLICES", 4, help, 1, range_error,
          s.line, status);
  if (status != io::status_good || !reconstruct(s, true, status)) return Next::end;
  return Next::draw;
}

// The help lines in a message box over the menu, as the set-up's other
// questions show theirs.
Next show_help(int& status) {
  const gs::WidgetScope scope;
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  GS_SET_MESSAGE(gui, status);
  // Nothing of the menu shows beside the box.
  gs::MessageStyles styles;
  GS_INQ_MESSAGESTYLE(styles, status);
  GS_FILLSTYLE(1, styles.messages.fill, status);
  GS_RECTANGLE(gui.xmin, gui.ymin, gui.xmax, gui.ymax, false, true, status);
  const int n = static_cast<int>(help_lines.size());
  GS_MESSAGE(n, n, help_lines, status);
  return Next::draw;
}

Next on_control(SweepPage& s, kov::SweepControl control, int& status) {
  switch (control) {
    case kov::SweepControl::ok:
      return Next::end;
    case kov::SweepControl::halve_step:
      return restep(s, 0.5f, status);
    case kov::SweepControl::double_step:
      return restep(s, 2.0f, status);
    case kov::SweepControl::other_line:
      return other_line(s, status);
    case kov::SweepControl::help:
      return show_help(status);
    case kov::SweepControl::cancel:
      status = io::status_escape;
      return Next::end;
  }
  return Next::wait;
}

// A click outside the buttons: on one of the nine, it is chosen; elsewhere,
// with the form documentation flag, the first one offers the page as a
// PostScript file.
Next on_outside(SweepPage& s, float x, float y, int& status) {
  for (int k = 0; k < kov::sweep_count; ++k) {
    const gs::Box& b = s.layout.small[static_cast<std::size_t>(k)];
    if (x >= b.xmin && x <= b.xmax && y >= b.ymin && y <= b.ymax) {
      s.chosen = k;
      return Next::draw;
    }
  }
  bool forms = false, menus = false;
  GS_INQ_DOCUMENTATION(forms, menus, status);
  if (!forms || s.offered_print) return Next::wait;
  s.offered_print = true;
  print_page(s, status);
  return Next::draw;
}

void run_page(SweepPage& s, int& status) {
  for (Next next = Next::draw; status == io::status_good && next != Next::end;) {
    if (next == Next::draw) draw_page(s, status);
    int kind = 0, choice = 0;
    std::string label;
    float x = 0.0f, y = 0.0f;
    GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
    if (status != io::status_good) return;
    if (kind == gs::input_redraw) {
      next = Next::draw;
    } else if (kind == gs::input_choice && choice >= 1 && choice <= kov::sweep_controls) {
      next = on_control(s, static_cast<kov::SweepControl>(choice), status);
    } else {
      next = on_outside(s, x, y, status);
    }
  }
}

}  // namespace

namespace kov {

SweepLayout sweep_layout(int& status) {
  SweepLayout l;
  int format = 0;
  GS_INQ_WINDOWFORMAT(format, status);
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  const bool landscape = gs::is_landscape(format);
  const float width = landscape ? 1.0f : vg::page_short;
  const float height = landscape ? vg::page_short : 1.0f;
  const float bottom = gui.ymax;
  // The large slice and the nine beside it (landscape) or under it.
  gs::Box grid;
  if (landscape) {
    l.large = {0.06f, bottom + 0.1f, 0.44f * width, height - 0.06f};
    grid = {0.56f * width, bottom + 0.05f, 0.98f * width, height - 0.05f};
  } else {
    // Room between them for the numbers and label of the large one's X
    // axis and for the line above the nine.
    grid = {0.12f, bottom + 0.02f, width - 0.12f, bottom + 0.4f * (height - bottom)};
    l.large = {0.1f, grid.ymax + 0.12f, width - 0.1f, height - 0.04f};
  }
  // Square cells with room under each for its position.
  const float cell_w = (grid.xmax - grid.xmin) / 3.0f, cell_h = (grid.ymax - grid.ymin) / 3.0f;
  const float side = std::min(0.88f * cell_w, 0.8f * cell_h);
  for (int k = 0; k < sweep_count; ++k) {
    const float cx = grid.xmin + (static_cast<float>(k % 3) + 0.5f) * cell_w;
    const float top = grid.ymax - static_cast<float>(k / 3) * cell_h - 0.04f * cell_h;
    l.small[static_cast<std::size_t>(k)] = {cx - 0.5f * side, top - side, cx + 0.5f * side, top};
  }
  return l;
}

void across_axis(const Parameters& p, int& first, int& last) {
  first = p.ROTATION_VERTICAL ? p.START_VOXEL_1 : p.START_VOXEL_3;
  last = p.ROTATION_VERTICAL ? p.END_VOXEL_1 : p.END_VOXEL_3;
}

void axis_sweep(const Parameters& p, int first_line, int last_line, float centre,
                SweepChoice& choice, int& status) {
  choice = SweepChoice{centre, 0.0, false};
  if (!io::entry_ok(status, "Subroutine KOV_ROTATION_AXIS V0.6 ")) return;
  SweepPage s{p};
  s.first_line = first_line;
  s.last_line = last_line;
  s.line = (first_line + last_line) / 2;
  s.correlation = s.centre = centre;
  across_axis(p, s.first, s.last);
  s.n = s.last - s.first + 1;
  if (s.n < 2) return;  // no slice to look at
  if (!allocate_slices(s)) {
    IO_WRITE("WARNING: No memory for the slices of the sweep: the sweep is left out", status);
    return;
  }
  s.layout = sweep_layout(status);
  if (!reconstruct(s, true, status)) return;
  run_page(s, status);
  choice.position = s.position(s.chosen);
  choice.by_reconstruction = s.by_reconstruction;
  choice.reconstructed = s.reconstructed;
}

}  // namespace kov

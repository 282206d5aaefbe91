// The sweep page of the rotation-axis step (kov_axis_sweep.cpp): the slice
// through one line of the volume reconstructed at the computed position,
// shown large, and at nine positions around it, shown small, three by
// three; the user looks at them, may pick another of the nine, a finer or a
// coarser step or another line, and goes on to the position prompt with the
// position chosen. The axis by reconstruction (the sharpest position of a
// finer sweep) is written on the console and framed among the nine.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "gs.h"
#include "kov_parameters.h"
#include "kov_slice.h"

namespace kov {

// The step between the slices of the sweep at first.
inline constexpr float sweep_step = 0.5f;

// The buttons of the page, in the order of the menu, which has one title
// line and stands in the GUI region in this grid.
enum class SweepControl { ok = 1, halve_step, double_step, other_line, help, cancel };
inline constexpr int sweep_controls = 6;
inline constexpr gs::MenuGrid sweep_menu_grid{.columns = 3, .label_characters = 11};

// Where the page draws: the large slice's graph page position and the nine
// small images (k = 0 .. 8 at centre + (k - 4) step, in rows from the top
// left). From the page format and the GUI region in force (graphics open).
struct SweepLayout {
  gs::Box large;
  std::array<gs::Box, sweep_count> small{};
};
SweepLayout sweep_layout(int& status);

// The voxels across the axis, first .. last, that the slice covers:
// START_VOXEL_1 .. END_VOXEL_1 for a vertical axis, START_VOXEL_3 ..
// END_VOXEL_3 (the first projection's rows) for a horizontal one.
void across_axis(const Parameters& p, int& first, int& last);

// What the page ends with.
struct SweepChoice {
  float position = 0.0f;           // the position chosen: the prompt's default
  double by_reconstruction = 0.0;  // the axis by reconstruction (of the line shown last)
  bool reconstructed = false;      // false when no slice could be made (said on the console)
};

// The sweep page around `centre` on the middle line of first_line ..
// last_line, for the series, corrections and geometry of `p`. O.K. ends it
// with the position chosen; CANCEL with the user-escape status. A series
// whose line cannot be read is said on the console and the page is left
// out (the choice is then `centre`, not reconstructed).
void axis_sweep(const Parameters& p, int first_line, int last_line, float centre,
                SweepChoice& choice, int& status);

}  // namespace kov

// The rotation-axis computation: correction of the first and the 180-degree
// projection, the match of each line of the first projection with the
// mirrored line of the 180-degree one (kov_axis_line.h), the position each
// line gives, the weighted position offered to the user, the spread, the
// tilt of the axis and the warnings when the position is not to be trusted.
// No window is used here: the set-up's step shows its prompt and graph
// around these routines, and kov_axis prints the same console lines.
//
// Geometry. Positions are pixel coordinates along a line: 0.0 is the left
// (for a horizontal axis: lower) edge of the first pixel, N the far edge of
// the last. A point at x in the first projection lies at 2c - x in the
// 180-degree one when the axis is at c, so the mirrored 180-degree line is
// the first line shifted by N - 2c pixels; the axis lies half that lag left
// of the centre: c = N/2 - lag/2. The lag is found by comparing only the
// pixels both lines hold at each lag, each part less its own straight line,
// so that the air around the object does not pull the position towards the
// centre of the line, as padding the lines with zeros would.
//
// Lines. Each line gives a position and a weight from how well its two
// halves of the pair agree at the match (rho^2 / (1 - rho^2), rho the
// correlation coefficient: a line with structure weighs hundreds of times
// more than a thin, uniform one whose match is mostly noise). The position
// offered is the weighted mean of the lines kept: lines farther than three
// times the lines' robust spread from the weighted straight line through
// them are set aside.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "io.h"
#include "ma.h"

namespace kov {

// Smallest and largest image side the application takes. Arrays are never
// smaller than the smallest (so that images of the usual cameras need no
// new allocation) and images larger than the largest are refused.
inline constexpr int min_array_size = 2048;
inline constexpr int max_image_size = 8192;

// The declared size of the application's arrays for an image of `width` by
// `height` pixels: each side at least min_array_size. 0 when the image is
// empty or larger than max_image_size in either direction.
int array_side(int size);

// Statuses of the routines below (the numerical routines' codes: the line
// length and the line range are a region of the images).
inline constexpr int status_bad_line_length = ma::status_bad_xregion;  // 20005
inline constexpr int status_bad_lines = ma::status_bad_yregion;        // 20006

// The correction of one projection, in place over its xnum by ynum pixels:
// (value - background) / (flat-field - background) with both, value /
// flat-field with the flat-field only, value - background with the
// background only, unchanged with neither. A zero or non-finite denominator
// leaves a non-finite pixel: the axis computation counts and skips those.
void correct_projection(bool subtract_background, io::View2D<const float> background,
                        bool correct_flatfield, io::View2D<const float> flatfield, int xnum,
                        int ynum, io::View2D<float> image, int& status);

// What the axis computation found.
struct AxisResult {
  int line_length = 0;  // N
  int first_line = 0, last_line = 0;
  // Per line first_line .. last_line: the position (NaN for a line skipped),
  // its weight (0 for a line skipped) and whether it is kept in the weighted
  // position.
  std::vector<double> position;
  std::vector<double> weight;
  std::vector<char> kept;
  int lines_used = 0;
  int lines_skipped = 0;               // no finite pixel, or nothing to match
  std::int64_t pixels_not_finite = 0;  // in the chosen lines of both images
  double mean = 0.0;                   // of the lines used
  double deviation = 0.0;              // standard deviation (lines_used > 1)
  // The position offered: the weighted mean of the lines kept (the mean of
  // the lines used when no line has a weight).
  double weighted = 0.0;
  int lines_kept = 0;
  // The robust spread of the kept lines about their straight line (at
  // least 0.05 pixel): lines beyond three times it are set aside.
  double scatter = 0.0;
  // The weighted straight line through the kept lines: position per line
  // and position at line 0 (slope 0 and the weighted position with fewer
  // than two kept lines).
  double slope = 0.0;
  double intercept = 0.0;
  // The weighted positions of the kept lines in the first and the second
  // half of the line range (NaN for a half without one).
  double first_half = std::numeric_limits<double>::quiet_NaN();
  double second_half = std::numeric_limits<double>::quiet_NaN();

  bool usable() const { return lines_used > 0; }
  bool spread_defined() const { return lines_used > 1; }
  bool tilt_defined() const { return lines_kept > 1; }
  int lines_set_aside() const { return lines_used - lines_kept; }
  // The tilt of the axis: the slope as an angle in degrees, positive when the
  // position grows with the line number.
  double tilt_degrees() const;
  // Why the position is not to be trusted: the lines scatter (standard
  // deviation over 1 pixel), the two halves of the range differ by more
  // than 1 pixel, too few lines kept (fewer than 3, or than a quarter of the
  // range).
  bool scatters() const;
  bool halves_differ() const;
  bool too_few() const;
};

// The per-line positions of the axis over lines first_line .. last_line
// (1-based rows of the images for a vertical axis, columns for a horizontal
// one), from the corrected first and 180-degree projections of num_image_1
// by num_image_2 pixels, and what weigh_lines makes of them. Pixels that are
// not finite take the mean of their line's finite ones; a line without a
// finite pixel, or with nothing to match (a constant line), is skipped.
// Statuses: 20005 a line length N below 2 or above 8192 or beyond the
// arrays; 20006 a line range empty or outside 1 .. the number of lines.
void axis_positions(bool rotation_vertical, int num_image_1, int num_image_2,
                    io::View2D<const float> first, io::View2D<const float> last, int first_line,
                    int last_line, AxisResult& result, int& status);

// The whole computation of the set-up's rotation-axis step after its
// choices: corrects the first projection with the flat-field and the
// 180-degree one with the last flat-field (flatfield_changing) or the same
// one, in place; computes the positions over the lines and reports them.
// When no line is usable the caller keeps the position it had.
void rotation_axis(bool subtract_background, io::View2D<const float> background,
                   bool correct_flatfield, bool flatfield_changing,
                   io::View2D<const float> flatfield, io::View2D<const float> last_flatfield,
                   bool rotation_vertical, int num_image_1, int num_image_2,
                   io::View2D<float> first, io::View2D<float> last, int first_line, int last_line,
                   AxisResult& result, int& status);

}  // namespace kov

// The peak of the parabola through (peak - 1, left), (peak, centre) and
// (peak + 1, right): peak - b / (2a) for a x^2 + b x + centre, or the peak
// itself when |a| is at most 1.0e-6 (a flat top).
void KOV_FIT_PARABOLA(int peak, float left, float centre, float right, float& position,
                      int& status);

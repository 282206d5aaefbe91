// The rotation-axis computation: correction of the first and the 180-degree
// projection, the per-line cross-correlation of the first projection with the
// mirrored 180-degree one, the sub-pixel peak, the mean position, its spread
// and the tilt of the axis. No window is used here: the set-up's step shows
// its prompt and graph around these routines, and kov_axis prints the same
// console lines.
//
// Geometry. Positions are pixel coordinates along a line: 0.0 is the left
// (for a horizontal axis: lower) edge of the first pixel, N the far edge of
// the last. A point at x in the first projection lies at 2c - x in the
// 180-degree one when the axis is at c, so the mirrored 180-degree line is
// the first line shifted by N - 2c samples; the correlation peaks at that
// lag (element lag + 1 of the buffer, negative lags in its upper half), and
// the axis lies half the lag left of the centre: c = N/2 - lag/2.
//
// Each line, less its mean, fills a buffer of n (the smallest power of two
// above 2N - 1), and the rest of the buffer goes from the level of the
// line's last pixels back to that of its first ones rather than staying 0:
// zeros would make the air around the object correlate with itself over an
// overlap that shrinks with the lag, pulling every off-centre axis towards
// the centre (by 0.16 pixel on the demo series).
#pragma once

#include <cstdint>
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
  // Position of each line first_line .. last_line; NaN for a skipped line.
  std::vector<double> position;
  int lines_used = 0;
  int lines_skipped = 0;               // no finite correlation maximum
  std::int64_t pixels_not_finite = 0;  // in the chosen lines of both images
  double mean = 0.0;                   // of the lines used
  double deviation = 0.0;              // standard deviation (lines_used > 1)
  double slope = 0.0;                  // fitted position per line (lines_used > 1)
  double intercept = 0.0;              // fitted position at line 0
  bool usable() const { return lines_used > 0; }
  bool spread_defined() const { return lines_used > 1; }
  // The tilt of the axis: the slope as an angle in degrees, positive when the
  // position grows with the line number.
  double tilt_degrees() const;
};

// The per-line positions of the axis over lines first_line .. last_line
// (1-based rows of the images for a vertical axis, columns for a horizontal
// one), from the corrected first and 180-degree projections of num_image_1
// by num_image_2 pixels. Pixels that are not finite are left out of the line
// means and count as the mean in the correlation; a line without a finite
// correlation maximum is skipped. Statuses: 20005 a line length N below 2 or
// above 8192 (the longest correlation) or beyond the arrays; 20006 a line
// range empty or outside 1 .. the number of lines.
void axis_positions(bool rotation_vertical, int num_image_1, int num_image_2,
                    io::View2D<const float> first, io::View2D<const float> last, int first_line,
                    int last_line, AxisResult& result, int& status);

// The console report: a warning for the pixels left out and the lines
// skipped when there are any; then, when a line is usable, "INFO: Average
// rotation axis position = ", "      Standard deviation = " and "INFO: Axis
// tilt = " (a single line: "N.A." for the spread and the tilt); else the
// warning that no line is usable.
void report_axis(const AxisResult& result, int& status);

// The whole computation of the set-up's rotation-axis step after its
// choices: corrects the first projection with the flat-field and the
// 180-degree one with the last flat-field (flatfield_changing) or the same
// one, in place; computes the positions over the lines and reports them.
// When no line is usable the caller keeps the position it had.
void rotation_axis(bool subtract_background, io::View2D<const float> background,
                   bool correct_flatfield, bool flatfield_changing,
                   io::View2D<const float> flatfield, io::View2D<const float> last_flatfield,
                   bool rotation_vertical, int num_image_1, int num_image_2,
                   io::View2D<float> first, io::View2D<float> last, int first_line,
                   int last_line, AxisResult& result, int& status);

// The console lines of the report (the text report_axis writes).
std::vector<std::string> axis_report_lines(const AxisResult& result);

}  // namespace kov

// The peak of the parabola through (peak - 1, left), (peak, centre) and
// (peak + 1, right): peak - b / (2a) for a x^2 + b x + centre, or the peak
// itself when |a| is at most 1.0e-6 (a flat top).
void KOV_FIT_PARABOLA(int peak, float left, float centre, float right, float& position,
                      int& status);

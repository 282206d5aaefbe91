// Internal layout of image display and graphs: the round numbers of an axis,
// their texts, the image's world window and page rectangle, the places of
// the frame's parts, and the conversion of a page position into world
// coordinates of the displayed image. Pure functions, tested directly.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "gs.h"

namespace gs {

// The ticks of an axis from `low` to `high` (either order): the values that
// lie within it (with a tolerance of a millionth of the span), in the
// axis's order. Linear axes: multiples of the step, which is 1, 2 or 5
// times a power of ten, the smallest giving at most `most` ticks. Log axes
// (low and high above 0): the powers of ten within; when fewer than two
// fall within, also their 2 and 5 multiples; when more than `most`, every
// second, fifth or tenth power. `decimals` is the number of decimals that
// the numbers need (linear axes).
struct Ticks {
  std::vector<double> values;
  double step = 0.0;  // linear: the step; log: the ratio between decades
  int decimals = 0;
};
Ticks linear_ticks(double low, double high, int most = 7);
Ticks log_ticks(double low, double high, int most = 7);

// The number of a tick: fixed point with the axis's decimals for values
// from 0.001 to 99999 in size, otherwise with an exponent ("1e+06",
// "2.5e-05"); never "-0".
std::string tick_text(double value, int decimals);

// The world window of an image: the pixel edges of the region, half the
// spacing of the neighbouring centre beyond the first and the last
// (xmin, ymin = the region's first pixels' outer edges; either order).
Box image_window(std::span<const float> x_axis, std::span<const float> y_axis, int xstrelm,
                 int ystrelm, int xendelm, int yendelm);

// The page rectangle of an image of nx by ny pixels in the graph page
// position: the position itself, or with `keep_aspect` narrowed about its
// centre (horizontally when the pixels would be wider than high, vertically
// otherwise) so that the pixels are square.
Box image_position(const Box& gpp, int nx, int ny, bool keep_aspect);

// The frame around a plot rectangle (page units): where the numbers, the
// labels, the title and the colour bar go.
struct FrameLayout {
  float tick = 0.0f;             // length of a tick mark, outwards
  float number_height = 0.0f;    // character height of the numbers
  float label_height = 0.0f;     // of the axis labels
  float title_height = 0.0f;     // of the title
  float x_numbers_top = 0.0f;    // top of the X numbers
  float x_label_top = 0.0f;      // top of the X label
  float y_numbers_right = 0.0f;  // right end of the Y numbers
  float title_base = 0.0f;       // base line of the title
  Box bar;                       // the colour bar
  float bar_numbers_left = 0.0f;
};
FrameLayout frame_layout(const Box& plot);

// A page position turned into world coordinates of the image drawn in the
// page rectangle `page` over the world window `world` (linear along each
// axis, the corners onto the corners).
void page_to_world(const Box& page, const Box& world, float px, float py, float& wx, float& wy);

}  // namespace gs

namespace gs {

// Drawing of the frame (gs_axes.cpp), in page units (inside a unit
// transform): the outline of `plot`, ticks outwards at the round values of
// the world window `world` along both axes with their numbers, the title
// above, the X label below and the Y label (turned upright) left of the
// numbers; logarithmic axes map the logarithm of the world values linearly.
struct FrameTexts {
  std::string title, xlabel, ylabel;
};
void draw_frame(const Box& plot, const Box& world, bool x_log, bool y_log, const FrameTexts& texts,
                int& status);

// The page position of a world value along an axis from `low` to `high`
// drawn from `from` to `to` (linear, or in the logarithm).
float axis_position(double value, double low, double high, float from, float to, bool log);

}  // namespace gs

namespace gs {

// The spyglass over the image shown last, for its region xstrelm .. yendelm
// of `data`: its page rectangle (GS_INQ_DGPP) runs from the corner where the
// region's first pixel is drawn (x0, y0) to the far one, so that a mirrored
// image (an axis that decreases) is magnified as it is shown; the range and
// scaling of the image display.
vg::Spyglass spyglass_of(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                         int yendelm, int& status);

// The centre of the window pixel that a click reported at page position
// (x, y) fell in, for a window of width by height pixels (a click comes as
// the pixel's left and top edge: x = column / scale, y = (height - row) /
// scale, scale the larger of width and height). Unchanged without a size.
void pixel_centre(int width, int height, float& x, float& y);

}  // namespace gs

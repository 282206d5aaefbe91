// gslib, image display: a region of a real 2-D array shown as a colour image
// framed by axes with round numbers, a title, axis labels and a colour bar,
// or, for a region one pixel wide or high, as the graph of that row or
// column; the intensity range of the display and its scaling modes.
//
// Arrays: the image is an io::View2D (its declared dimensions xmaxdat by
// ymaxdat, 1-based, first index along X); x_axis and y_axis give the world
// coordinate of every pixel centre (x_axis[i - 1] for column i). A region is
// its first and last element in each direction, inclusive.
//
// Everything is drawn through the device core, so that the window and a
// PostScript file show the same picture. An image leaves the data window
// set to the pixel edges of its region (the image data region, GS_SET_IDR)
// and the viewport to the page rectangle it was drawn in (the displayed
// graph page position, GS_SET_DGPP), so that later clicks can be turned into
// world coordinates of the image (gs_coords.h). Every other state the
// drawing changes is put back.
#pragma once

#include <span>
#include <string>

#include "gs_setup.h"
#include "io.h"

namespace gs {

// Statuses of image display (with status_bad_maximum, 140001, and
// status_bad_count, 140005, of gs_setup.h for X).
inline constexpr int status_bad_xmaxdat = module_offset + st::array_dimension_1;  // 140001
inline constexpr int status_bad_ymaxdat = module_offset + st::array_dimension_2;  // 140002
inline constexpr int status_bad_xregion = module_offset + st::region_1;           // 140005
inline constexpr int status_bad_yregion = module_offset + st::region_2;           // 140006

// Image scaling modes (GS_SET_IMAGESCALE).
inline constexpr int scale_automatic = 0;     // minimum and maximum of the region
inline constexpr int scale_user = 1;          // the user minimum and maximum
inline constexpr int scale_user_minimum = 2;  // user minimum, maximum of the region
inline constexpr int scale_user_maximum = 3;  // minimum of the region, user maximum
inline constexpr int scale_distribution = 4;  // from the distribution (MA_DIFZSCALE)

}  // namespace gs

// ---------------------------------------------------------------------------
// Display of a region
// ---------------------------------------------------------------------------
// Shows the region: as an image (GS_2DIMAGE) when it is more than one pixel
// wide and more than one high, otherwise as the graph of its one row (against
// x_axis, labelled xlabel) or column (against y_axis, labelled ylabel), the
// values labelled zlabel. Statuses, checked first and drawing nothing:
// 140001 xmaxdat below 1, 140002 ymaxdat below 1, 140005 the X region empty,
// outside 1 .. xmaxdat or beyond the X axis array, 140006 the same for Y.
void GS_PLOT(io::View2D<const float> data, std::span<const float> x_axis,
             std::span<const float> y_axis, int xstrelm, int ystrelm, int xendelm, int yendelm,
             const std::string& title, const std::string& xlabel, const std::string& ylabel,
             const std::string& zlabel, int& status);

// The image of a region, without a mask.
void GS_2DIMAGE(io::View2D<const float> data, std::span<const float> x_axis,
                std::span<const float> y_axis, int xstrelm, int ystrelm, int xendelm, int yendelm,
                const std::string& title, const std::string& xlabel, const std::string& ylabel,
                const std::string& zlabel, int& status);
// The image of a region; when `masked`, pixels whose mask element is true
// are drawn in the mask colour (GS_INQ_MASKCOLOUR). Steps: the world window
// is the pixel edges of the region (half a pixel spacing beyond the first
// and last centre); with the keep-aspect flag the graph page position is
// narrowed about its centre so that the pixels come out square; then the
// background, the cells (GS_2DMCELLARRAY with the image scale state), the
// axis frame with its numbers, the title and X label, the colour bar with
// the Z label (GS_LUTSCALE) and the Y label. The range used is stored back
// into the image scale state (its mode kept). Statuses as GS_PLOT, and a
// mask smaller than the image gives 140001 or 140002.
void GS_2DMIMAGE(bool masked, io::View2D<const float> data, io::View2D<const bool> mask,
                 std::span<const float> x_axis, std::span<const float> y_axis, int xstrelm,
                 int ystrelm, int xendelm, int yendelm, const std::string& title,
                 const std::string& xlabel, const std::string& ylabel, const std::string& zlabel,
                 int& status);

// The intensity range of a region by `mode` (gs::scale_*): on entry the
// user limits, on return the range used. For modes 1 to 4 a range whose
// maximum is not above its minimum is repaired (mode 2: the minimum becomes
// the maximum - 1000; others: the maximum becomes the minimum + 1000) with
// the console lines "WARNING: The maximum data value is less than the user
// input minimum" (mode 2) or "WARNING: The minimum data value is greater than
// the user input maximum", "         Z-value (intensity)" and "         Use
// "Z-SCALE" to change values or scaling mode"; `drawable` is then false.
// Under logarithmic z-scaling (VG_LOGZSCALING) a minimum not above 0 becomes
// the smallest positive value of the region, with the console line
// "WARNING: Logarithmic scaling starts at the smallest positive value".
// A mode outside 0 .. 4 gives gs::status_bad_value; region statuses as
// GS_PLOT.
void GS_CAL_ZRANGE(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm, int yendelm,
                   int mode, float& minimum, float& maximum, bool& drawable, int& status);
// Computes the range (GS_CAL_ZRANGE) and, unless it had to be repaired,
// draws the cells over the current data window through VG_RMASKCELLARRAY
// with the device's z-scaling (linear or logarithmic), masked pixels in the
// mask colour.
void GS_2DMCELLARRAY(bool masked, io::View2D<const float> data, io::View2D<const bool> mask,
                     int xstrelm, int ystrelm, int xendelm, int yendelm, int mode, float& minimum,
                     float& maximum, int& status);
// The same without a mask.
void GS_2DCELLARRAY(io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                    int yendelm, int mode, float& minimum, float& maximum, int& status);

// The colour bar beside the image page rectangle `image` (page units):
// every colour of the image range in order from `minimum` (bottom) to
// `maximum` (top), scaled as the cells are (so that the colour at a number is
// the colour of that value in the image), with round numbers on its axis
// (logarithmic under logarithmic z-scaling) and `zlabel` beside them.
void GS_LUTSCALE(const gs::Box& image, float minimum, float maximum, const std::string& zlabel,
                 int& status);

// The graph of n values y against x (n at least 1) in the graph page
// position: frame, round numbers on both axes, the curve with a marker at
// every point (up to 256 points), title and labels. The Y axis is
// logarithmic when GS_SET_LOGAXES asks for it and every value is positive.
// The world window is left as the graph's (GS_SET_DDDR, GS_SET_DGPP).
void GS_XYGRAPH(int n, std::span<const float> x, std::span<const float> y, const std::string& title,
                const std::string& xlabel, const std::string& ylabel, int& status);

// The frame of a graph over the world window `world` (linear axes) in the
// graph page position: the background, the frame with round numbers on both
// axes, the title and the labels, and nothing inside. The world window is
// left as the frame's (GS_SET_DDDR, GS_SET_DGPP, and the device's data
// window and viewport), so that lines, markers and texts drawn next in world
// coordinates lie on it; clipping is the caller's. Statuses, drawing
// nothing: 140005 an X range that is empty or not finite, 140006 the same
// for Y.
void GS_GRAPHFRAME(const gs::Box& world, const std::string& title, const std::string& xlabel,
                   const std::string& ylabel, int& status);

// Logarithmic axes of graphs (X, Y). Defaults false, false.
void GS_DEF_LOGAXES(int& status);
void GS_SET_LOGAXES(bool x_log, bool y_log, int& status);
void GS_INQ_LOGAXES(bool& x_log, bool& y_log, int& status);

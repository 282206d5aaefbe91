// gslib, coordinate input: the user points at positions on the image drawn
// last (gs_plot.h), and gets them back in the world coordinates of that
// image (for pixel-number axes, pixel units).
//
// A click is taken at the centre of the window pixel under the pointer and
// turned into world coordinates through the image's page rectangle
// (GS_INQ_DGPP) and world window (GS_INQ_IDR). A click outside the image is
// refused with the bell. The controls are a menu of "CANCEL", "HELP",
// "KEYBOARD" and the click mode ("ONE CLICK", which toggles to "TWO CLICK"),
// and "(Click here to finish)" when a varying number of coordinates is
// wanted, under the caller's title lines:
//  - ONE CLICK: a click on the image gives the coordinate;
//  - TWO CLICK: the first click opens the spyglass (a magnified view of the
//    pixels under the pointer with their values); the second, precise click
//    gives the coordinate (GS_INP_TWOCLICK);
//  - KEYBOARD: the X and Y components are typed ("X-COMPONENT OF COORDINATE
//    TO DEFINE", "Y-COMPONENT OF COORDINATE TO DEFINE");
//  - HELP: the caller's information lines;
//  - CANCEL: the user-escape status (the caller ends through its cancel
//    path).
// Every message of the input (help, a refused number) is shown in the
// control region, so that the image stays as it is. While two points are
// picked, a rubber-band rectangle follows the pointer
// from the first; with more, a line from the last point. The points picked
// stay marked (in inverse video) until the input ends.
#pragma once

#include <span>
#include <string>

#include "io.h"

namespace gs {
// The most coordinates one call takes.
inline constexpr int max_input_coordinates = 1000;
}  // namespace gs

// Coordinate input with the controls in the GUI region. With `fixed_number`
// exactly max_coordinates points are taken; otherwise from 1 up to
// max_coordinates, the input ended by "(Click here to finish)" (which is
// offered when more than one is wanted) or by the last of them. `data` and
// the region are those of the image shown (the spyglass magnifies them).
// Checks: the title and information arrays as every widget's
// (gs::status_bad_maximum, gs::status_bad_count), max_coordinates from 1 to
// gs::max_input_coordinates and no more than the output arrays hold
// (gs::status_bad_value), the region as GS_PLOT's.
void GS_INPS_FCOORDINATES(bool fixed_number, io::View2D<const float> data, int xstrelm, int ystrelm,
                          int xendelm, int yendelm, int max_titles, int num_titles,
                          std::span<const std::string> titles, int max_info, int num_info,
                          std::span<const std::string> info, int max_coordinates,
                          int& num_coordinates, std::span<float> x_coordinates,
                          std::span<float> y_coordinates, int& status);
// The same with the controls in the page region xmin, ymin .. xmax, ymax.
void GS_INPS_COORDINATES(float xmin, float ymin, float xmax, float ymax, bool fixed_number,
                         io::View2D<const float> data, int xstrelm, int ystrelm, int xendelm,
                         int yendelm, int max_titles, int num_titles,
                         std::span<const std::string> titles, int max_info, int num_info,
                         std::span<const std::string> info, int max_coordinates,
                         int& num_coordinates, std::span<float> x_coordinates,
                         std::span<float> y_coordinates, int& status);

// The second click of two-click input, in the control region xmin .. ymax:
// the spyglass is on over the image while the prompt SECOND CLICK WITHIN
// "SPY-GLASS" with "HELP" and "CANCEL" waits; a click on the image returns
// its page position in x and y (the window pixel's centre). CANCEL sets
// `cancelled` (x and y unchanged); HELP explains; a click elsewhere rings
// the bell.
void GS_INP_TWOCLICK(float xmin, float ymin, float xmax, float ymax, io::View2D<const float> data,
                     int xstrelm, int ystrelm, int xendelm, int yendelm, bool& cancelled, float& x,
                     float& y, int& status);

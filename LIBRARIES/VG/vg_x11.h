// The X11 window device: one top-level window drawn through Xlib (text through
// Xft and fontconfig), with an off-screen pixmap that keeps everything drawn so
// that an exposed window is restored without the program's help.
//
// Internal to vglib. This header includes no X header: the Xlib and Xft types
// stay inside the device's own vg_x11*c.cpp files.
//
// Every routine with an `error` argument sets it to vg::device_ok (0) or
// vg::device_failed (1); the input routines also give vg::device_closed (2)
// when the user closed the window through the window manager. Coordinates of
// primitives are world coordinates mapped by the transform of
// VG_X11_TRANSFORM; positions returned by input routines are page units.
#pragma once

#include <span>
#include <string>

#include "io.h"
#include "vg.h"

// Opening and closing, window services.
// Opens the window: format 1 portrait, 2 landscape; left and top are the
// screen position, width and height the client area in pixels.
void VG_X11_OPEN(int format, int left, int top, int width, int height, int& error);
void VG_X11_CLOSE();
// Shows everything drawn so far and flushes the connection.
void VG_X11_UPDATE();
// mode true: hold back showing drawing until the next VG_X11_UPDATE.
void VG_X11_SET_UPDATE(bool suspend);
void VG_X11_CLEAR(int& error);
void VG_X11_TITLE(const std::string& title, int& error);
void VG_X11_INQ_SIZE(int& width, int& height, int& error);
// Whether the window uses a true-colour visual (always, once open).
void VG_X11_INQ_COLOURMAPPING(bool& true_colour);
void VG_X11_BELL();

// Transform and clipping. `window` and `viewport` are x min, y min, x max,
// y max; the clip rectangle is in world coordinates, mapped when it is set.
void VG_X11_TRANSFORM(const float window[4], const float viewport[4], int& error);
void VG_X11_CLIP(bool on, const float rectangle[4]);

// Attributes.
void VG_X11_LINECOLOUR(int colour, int& error);
void VG_X11_LINESTYLE(int style, int& error);
void VG_X11_LINEWIDTH(float width, int& error);
void VG_X11_MARKERCOLOUR(int colour, int& error);
void VG_X11_MARKERTYPE(int type, int& error);
void VG_X11_MARKERSCALE(float scale, int& error);
void VG_X11_MARKERWIDTH(float width, int& error);
void VG_X11_FILLCOLOUR(int colour, int& error);
void VG_X11_TEXTCOLOUR(int colour, int& error);
void VG_X11_TEXTFONT(int font, int& error);
void VG_X11_TEXTHEIGHT(float height, int& error);
void VG_X11_TEXTANGLE(float degrees, int& error);
void VG_X11_TEXTALIGNMENT(int horizontal, int vertical, int& error);
void VG_X11_MASKCOLOUR(int colour, int& error);
void VG_X11_ZSCALING(bool logarithmic);
// Colour table entries first .. last; `table` is indexed by colour index.
void VG_X11_COLOURMAP(int first, int last, std::span<const vg::Rgb> table, int& error);
// The image colour index range (and the second range).
void VG_X11_COLOURRANGE(int first, int last, int second_first, int second_last);

// Primitives.
void VG_X11_PL(int n, const float x[], const float y[], int& error);
void VG_X11_PM(int n, const float x[], const float y[], int& error);
void VG_X11_FA(int n, const float x[], const float y[], int& error);
void VG_X11_TEXT(float x, float y, const std::string& text, int& error);
// The text as `length` characters (a NUL ends it sooner).
void VG_X11_TEXTC(float x, float y, const char* text, int length, int& error);
// Width of the text at the current font and height, in page units.
void VG_X11_TEXTWIDTH(const std::string& text, float& width, int& error);

// Cell arrays: region xstart..xend, ystart..yend of the array drawn over the
// world rectangle (x0, y0) to (x1, y1), resampled to the window's pixels.
void VG_X11_CA(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
               float y0, float x1, float y1, int& error);
void VG_X11_BCA(io::View2D<const unsigned char> cells, int xstart, int ystart, int xend, int yend,
                float x0, float y0, float x1, float y1, int& error);
// Real data scaled between low and high onto the image colour range; masked
// pixels (an empty mask masks none) take the mask colour.
void VG_X11_RMCA(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                 int ystart, int xend, int yend, float x0, float y0, float x1, float y1, float low,
                 float high, bool logarithmic, int& error);

// Input.
void VG_X11_EVENT(int wait_mode, bool prompt_wanted, const std::string& prompt, bool initial,
                  const std::string& initial_string, float box_x, float box_y, float box_width,
                  float box_height, int& event_type, float& x, float& y, std::string& text,
                  int& error);
void VG_X11_COORDINATE(int wait_mode, int& event_type, float& x, float& y, int& error);
// mode 0 none, 1 line, 2 rectangle; the anchor in world coordinates.
void VG_X11_RUBBERBAND(int mode, float x, float y);
void VG_X11_SPYGLASS(bool on, const vg::Spyglass& parameters, int& error);

namespace vg::x11 {

// For tests and benchmarks: the X identifiers of the window and of the
// off-screen pixmap (0 when closed) and the display name in use.
unsigned long window_id();
unsigned long pixmap_id();
std::string display_name();
// Number of typed lines in the input history.
int history_count();

}  // namespace vg::x11

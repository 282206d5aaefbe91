// gslib, the state blocks: the toolkit's statuses, the box of a region, the
// page formats and workstations, the value types of the blocks that every
// widget reads, and their routines (gs_state.cpp).
//
// Every state block has a GS_DEF_ routine (back to its defaults), a GS_SET_
// routine and a GS_INQ_ routine with the same argument list. The defaults are
// the initialisers of the value types below (and of the blocks' own records):
// the GS_DEF_ routines assign from them, and nothing else repeats them.
#pragma once

#include "gs_colours.h"
#include "io.h"
#include "vg.h"

namespace gs {

// Statuses the toolkit sets: the module offset plus the shared error code.
inline constexpr int status_bad_maximum = module_offset + st::array_dimension_1;  // 140001
inline constexpr int status_bad_count = module_offset + st::region_1;             // 140005
inline constexpr int status_table_limit = module_offset + st::internal_limit_1;   // 140009
inline constexpr int status_order_x = module_offset + st::relation_1;             // 140013
inline constexpr int status_order_y = module_offset + st::relation_2;             // 140014
inline constexpr int status_bad_value = module_offset + st::int_range_1;          // 140017
inline constexpr int status_bad_value_2 = module_offset + st::int_range_2;        // 140018
inline constexpr int status_blank_name = module_offset + st::bad_text_1;          // 140033
// The PostScript file cannot be opened: the I/O services' open failure.
inline constexpr int status_file_not_opened = io::module_offset + st::open_failed;  // 11000

// A box: XMIN, YMIN, XMAX, YMAX. Regions of the page are in page units (the
// widgets draw with the unit transform, so world units are page units while
// they draw); DDDR and IDR are in world units.
struct Box {
  float xmin = 0.0f, ymin = 0.0f, xmax = 0.0f, ymax = 0.0f;
  bool contains(float x, float y) const { return x >= xmin && x <= xmax && y >= ymin && y <= ymax; }
  bool operator==(const Box&) const = default;
};

// Window formats (GS_SET_WINDOWFORMAT).
inline constexpr int format_portrait = 0;
inline constexpr int format_landscape = 1;
inline constexpr int format_portrait_too = 2;   // treated as portrait
inline constexpr int format_landscape_too = 3;  // treated as landscape
inline constexpr int format_square = 4;         // a square page
inline constexpr int format_square_too = 5;     // treated as square
inline bool is_landscape(int format) {
  return format == format_landscape || format == format_landscape_too;
}
inline bool is_square(int format) {
  return format == format_square || format == format_square_too;
}

// Workstation identifiers and the PostScript unit.
inline constexpr int window_workstation = 1;
inline constexpr int postscript_workstation = 2;
inline constexpr int postscript_unit = 17;

// The graph regions (reset by GS_DEF_ATTRIBUTES):
//  gpp   graph page position, page units: where a graph or image is placed.
//        Portrait 0.1, 0.1, 0.6071, 0.9; landscape 0.1, 0.1, 0.9, 0.6071.
//  dgpp  displayed graph page position (the one drawn last), page units.
//  dddr  displayed data display region (world coordinates of the last graph).
//  idr   image data region (world coordinates of the last image).
//  cells the world rectangle of the last image's cells, from the outer
//        edges of its region's first pixel (xmin, ymin) to those of the
//        last: xmin above xmax (or ymin above ymax) when an axis decreases
//        and the image is drawn mirrored. Set by image display.
//  keep_aspect  keep image pixels square.
//  key   graph key position (lower left, page units), moved with the page.
struct GraphRegions {
  Box gpp{0.1f, 0.1f, 0.6071f, 0.9f};
  Box dgpp{0.1f, 0.1f, 0.6071f, 0.9f};
  Box dddr{0.0f, 0.0f, 1.0f, 1.0f};
  Box idr{0.0f, 0.0f, 1.0f, 1.0f};
  Box cells{0.0f, 0.0f, 1.0f, 1.0f};
  bool keep_aspect = false;
  float key_x = 0.45f, key_y = 0.75f;
  bool operator==(const GraphRegions&) const = default;
};

// The regions of the page (portrait defaults; GS_MSET_LANDSCAPE sets the
// landscape ones).
struct Regions {
  Box gui{0.0f, 0.0f, vg::page_short, 0.15f};     // buttons and prompts
  Box message{0.0f, 0.0f, vg::page_short, 1.0f};  // message and warning boxes
  GraphRegions graph;
  bool operator==(const Regions&) const = default;
};

// One group of the message style (GS_SET_MESSAGESTYLE):
//   font        text font (1 or 2; a value below 1 means the widget's own
//               choice, font 1)
//   fill        named colour of the text box
//   text        named colour of the text
//   auto_size   1: the character height is fitted to the box and the longest
//               line; 0: the fixed character height of the message box
//               (gs::fixed_message_height)
//   spacing     line spacing as a multiple of the character height when the
//               height is fixed (with automatic sizing the spacing is 1.2)
struct MessageStyle {
  int font = 1, fill = blue, text = white, auto_size = 1;
  float spacing = 1.0f;
  bool operator==(const MessageStyle&) const = default;
};
// Message boxes and warning boxes: font 2 and the widget's own font, both
// WHITE text on BLUE.
struct MessageStyles {
  MessageStyle messages{2, blue, white, 1, 1.0f};
  MessageStyle warnings{-1, blue, white, 1, 1.0f};
  bool operator==(const MessageStyles&) const = default;
};

// The menu style (named colours and fonts).
struct MenuStyle {
  int box_outline = black, box_fill = blue;          // the menu box
  int button_outline = black, button_fill = yellow;  // every button
  int title_colour = white, title_font = 1;          // the title lines
  int label_colour = blue, label_font = 1;           // the button labels
  bool operator==(const MenuStyle&) const = default;
};

// The menu layout: orientation (0 fills the grid row by row, other values
// column by column), number of columns, characters allowed for the title
// width and for a label.
struct MenuGrid {
  int orientation = 0, columns = 1, title_characters = 40, label_characters = 20;
  bool operator==(const MenuGrid&) const = default;
};

}  // namespace gs

// ---------------------------------------------------------------------------
// The state blocks
// ---------------------------------------------------------------------------
// Resets the graph regions (gs::GraphRegions).
void GS_DEF_ATTRIBUTES(int& status);

// Window format: 0 portrait, 1 landscape, 2 as portrait, 3 as landscape,
// 4 square, 5 as square (gs::format_*).
void GS_DEF_WINDOWFORMAT(int& status);
void GS_SET_WINDOWFORMAT(int format, int& status);
void GS_INQ_WINDOWFORMAT(int& format, int& status);

// Bounds of the number of image colours (minimum, maximum): defaults 108 and
// 210, both set by the "-COLOURS n" option. Opening graphics gives the image
// colour indices 41 .. min(255, 40 + maximum) to the device.
void GS_DEF_COLOURBOUNDS(int& status);
void GS_SET_COLOURBOUNDS(int minimum, int maximum, int& status);
void GS_INQ_COLOURBOUNDS(int& minimum, int& maximum, int& status);

// Width in page units of the sample text "iiii..MMWW" at a text height of
// 10/707 page units, measured when graphics open; the widgets choose their
// character aspect factors from it. Default 0.08.
void GS_DEF_SAMPLEWIDTH(int& status);
void GS_SET_SAMPLEWIDTH(float width, int& status);
void GS_INQ_SAMPLEWIDTH(float& width, int& status);

// The regions, each as a box and as four reals. A box with XMIN not below
// XMAX gives gs::status_order_x, with YMIN not below YMAX gs::status_order_y,
// and nothing is stored.
// GUI region (buttons and prompts).
void GS_DEF_GUIREGION(int& status);
void GS_SET_GUIREGION(const gs::Box& region, int& status);
void GS_INQ_GUIREGION(gs::Box& region, int& status);
void GS_SET_GUIREGION(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_GUIREGION(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
// Message region (message and warning boxes).
void GS_DEF_MESSAGE(int& status);
void GS_SET_MESSAGE(const gs::Box& region, int& status);
void GS_INQ_MESSAGE(gs::Box& region, int& status);
void GS_SET_MESSAGE(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_MESSAGE(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
// The graph regions (gs::GraphRegions).
void GS_SET_GPP(const gs::Box& region, int& status);
void GS_INQ_GPP(gs::Box& region, int& status);
void GS_SET_GPP(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_GPP(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_DGPP(const gs::Box& region, int& status);
void GS_INQ_DGPP(gs::Box& region, int& status);
void GS_SET_DGPP(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_DGPP(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_DDDR(const gs::Box& region, int& status);
void GS_INQ_DDDR(gs::Box& region, int& status);
void GS_SET_DDDR(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_DDDR(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_IDR(const gs::Box& region, int& status);
void GS_INQ_IDR(gs::Box& region, int& status);
void GS_SET_IDR(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_IDR(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_IASPECT(bool keep, int& status);
void GS_INQ_IASPECT(bool& keep, int& status);
void GS_SET_KEYPOSITION(float x, float y, int& status);
void GS_INQ_KEYPOSITION(float& x, float& y, int& status);

// Message style: two groups of five values (gs::MessageStyles), for message
// boxes and for warning boxes. A fill or text colour outside 1 .. 15 gives
// gs::status_bad_value.
void GS_DEF_MESSAGESTYLE(int& status);
void GS_SET_MESSAGESTYLE(int message_font, int message_fill, int message_text,
                         int message_auto_size, float message_spacing, int warning_font,
                         int warning_fill, int warning_text, int warning_auto_size,
                         float warning_spacing, int& status);
void GS_INQ_MESSAGESTYLE(int& message_font, int& message_fill, int& message_text,
                         int& message_auto_size, float& message_spacing, int& warning_font,
                         int& warning_fill, int& warning_text, int& warning_auto_size,
                         float& warning_spacing, int& status);
void GS_INQ_MESSAGESTYLE(gs::MessageStyles& style, int& status);

// Menu style (gs::MenuStyle): box_outline, box_fill, button_outline,
// button_fill, title_colour, title_font, label_colour, label_font.
void GS_DEF_MENUSTYLE(int& status);
void GS_SET_MENUSTYLE(int box_outline, int box_fill, int button_outline, int button_fill,
                      int title_colour, int title_font, int label_colour, int label_font,
                      int& status);
void GS_INQ_MENUSTYLE(int& box_outline, int& box_fill, int& button_outline, int& button_fill,
                      int& title_colour, int& title_font, int& label_colour, int& label_font,
                      int& status);
void GS_INQ_MENUSTYLE(gs::MenuStyle& style, int& status);

// Menu layout (gs::MenuGrid). Columns below 1 give gs::status_bad_value,
// character counts below 1 gs::status_bad_value_2.
void GS_DEF_MENULAYOUT(int& status);
void GS_SET_MENULAYOUT(int orientation, int columns, int title_characters, int label_characters,
                       int& status);
void GS_INQ_MENULAYOUT(int& orientation, int& columns, int& title_characters, int& label_characters,
                       int& status);
void GS_SET_MENULAYOUT(const gs::MenuGrid& grid, int& status);
void GS_INQ_MENULAYOUT(gs::MenuGrid& grid, int& status);

// Image scale: mode 0 automatic, 1 user minimum and maximum, 2 user minimum,
// 3 user maximum, 4 from the intensity distribution; user limits. Defaults
// 0, 0.0, 1.0.
void GS_DEF_IMAGESCALE(int& status);
void GS_SET_IMAGESCALE(int mode, float minimum, float maximum, int& status);
void GS_INQ_IMAGESCALE(int& mode, float& minimum, float& maximum, int& status);

// Pixel limits of image display: the largest and smallest number of pixels
// along a side drawn without re-binning. Defaults 600 and 200.
void GS_DEF_PIXELLIMITS(int& status);
void GS_SET_PIXELLIMITS(int high, int low, int& status);
void GS_INQ_PIXELLIMITS(int& high, int& low, int& status);

// Named colour of masked pixels. Default 3 (RED).
void GS_DEF_MASKCOLOUR(int& status);
void GS_SET_MASKCOLOUR(int colour, int& status);
void GS_INQ_MASKCOLOUR(int& colour, int& status);

// Background: fill the page before drawing, and its named colour. Defaults
// true, 2 (WHITE).
void GS_DEF_BACKGROUND(int& status);
void GS_SET_BACKGROUND(bool fill, int colour, int& status);
void GS_INQ_BACKGROUND(bool& fill, int& colour, int& status);

// Colour PostScript output. Default true.
void GS_DEF_POSTSCRIPT(int& status);
void GS_SET_POSTSCRIPT(bool colour, int& status);
void GS_INQ_POSTSCRIPT(bool& colour, int& status);

// Whether the PostScript file is open. Default false.
void GS_DEF_PSFILE(int& status);
void GS_SET_PSFILE(bool open, int& status);
void GS_INQ_PSFILE(bool& open, int& status);

// The form and menu documentation flags (+DFORM, +DMENU). Defaults false.
void GS_DEF_DOCUMENTATION(int& status);
void GS_SET_DOCUMENTATION(bool forms, bool menus, int& status);
void GS_INQ_DOCUMENTATION(bool& forms, bool& menus, int& status);

// Whether the drawing is shown in a window: false after GS_OPEN_NOWINDOW.
// Default true.
void GS_DEF_WINDOWSHOWN(int& status);
void GS_SET_WINDOWSHOWN(bool shown, int& status);
void GS_INQ_WINDOWSHOWN(bool& shown, int& status);

// Progress indicator on or off. Default false.
void GS_DEF_PROGRESS(int& status);
void GS_SET_PROGRESS(bool on, int& status);
void GS_INQ_PROGRESS(bool& on, int& status);

// 3-D view: azimuth and elevation in degrees. Defaults 30 and 30.
void GS_DEF_3DVIEW(int& status);
void GS_SET_3DVIEW(float azimuth, float elevation, int& status);
void GS_INQ_3DVIEW(float& azimuth, float& elevation, int& status);

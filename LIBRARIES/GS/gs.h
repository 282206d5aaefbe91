// gslib: the user-interface toolkit. Opening and closing graphics, the page
// layout and the state blocks that every widget reads, the named drawing
// colours, the image colour tables, PostScript diversion, the drawing
// primitives and the block-letter font; then the messages, prompts, menus,
// buttons and scroll bars.
//
// Conventions:
//  - `status` (int&) is the last argument; a routine entered with a status
//    that is not io::status_good records its identification text and returns.
//  - Every state block has a GS_DEF_ routine (restore its defaults), a GS_SET_
//    routine and a GS_INQ_ routine with the same argument list.
//  - Colours are named-colour numbers (gs::black .. gs::inverse); the drawing
//    routines turn them into device colour indices.
//  - Regions are XMIN, YMIN, XMAX, YMAX; page regions are in page units (the
//    portrait page is 0.7071 wide and 1.0 high, the landscape page 1.0 wide
//    and 0.7071 high).
//  - Status values of argument checks are 140000 plus the code of the check.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "io.h"
#include "vg.h"

namespace gs {

// Module offset of the toolkit's status values.
inline constexpr int status_offset = 140000;

// Named-colour numbers.
inline constexpr int black = 1;
inline constexpr int white = 2;
inline constexpr int red = 3;
inline constexpr int green = 4;
inline constexpr int blue = 5;
inline constexpr int yellow = 6;
inline constexpr int cyan = 7;
inline constexpr int magenta = 8;
inline constexpr int orange = 9;
inline constexpr int grey = 10;
inline constexpr int brown = 11;
inline constexpr int violet = 12;
inline constexpr int index0 = 13;   // always device colour index 0
inline constexpr int index1 = 14;   // always device colour index 1
inline constexpr int inverse = 15;  // always -1: drawn as inverse video
inline constexpr int num_colours = 15;

// Window formats (GS_SET_WINDOWFORMAT).
inline constexpr int format_portrait = 0;
inline constexpr int format_landscape = 1;
inline constexpr int format_portrait_too = 2;   // treated as portrait
inline constexpr int format_landscape_too = 3;  // treated as landscape

// Workstation identifiers and the PostScript unit.
inline constexpr int window_workstation = 1;
inline constexpr int postscript_workstation = 2;
inline constexpr int postscript_unit = 17;

// Number of built-in colour tables (choices 1 .. 11; 0 keeps the device's).
inline constexpr int num_colour_tables = 11;

// Control points of built-in colour table `choice` (1 .. 11); empty for any
// other choice.
std::vector<vg::Rgb> colour_table_points(int choice);

// The block-letter glyph of a character: one or two polygons of vertex
// offsets in glyph units from the lower left of the letter, and its advance
// width. Letters are 6 units wide and 8 high on their grid. `available` is
// false for characters without a glyph.
struct Glyph {
  bool available = false;
  std::vector<std::vector<float>> xs, ys;  // one pair of vectors per polygon
  float width = 0.0f;
};
Glyph glyph(char letter);

}  // namespace gs

// ---------------------------------------------------------------------------
// Opening and closing graphics, command-line options and page layout
// ---------------------------------------------------------------------------
// Opens graphics: GS_OPEN_NOTERM, then the window workstation 1 (portrait or
// landscape by the window format), the colour-table choice, the named colours
// and the sample text width.
void GS_OPEN_GRAPHICS(int& status);
// The part of opening that needs no window: colour-index bounds 108 and 210,
// GS_DEF_GRAPHICS, GS_MSET_OPTIONS, VG_OPEN.
void GS_OPEN_NOTERM(int& status);
// Resets every state block to its defaults.
void GS_DEF_GRAPHICS(int& status);
// Closes the window workstation, any PostScript file and the device layer.
void GS_CLOSE_GRAPHICS(int& status);
// Reads the command-line options (IO_GETARGS): +LAND/-LAND/LAND/+LANDSCAPE/
// -LANDSCAPE/LANDSCAPE, +COLOURS n/-COLOURS n, +COLn/-COLn, +DFORM/-DFORM,
// +DMENU/-DMENU. Colour counts are clamped to 16 .. 256; a count that is not
// an integer writes "WARNING: Bad command line option".
void GS_MSET_OPTIONS(int& status);
// Switches the layout state to the landscape page.
void GS_MSET_LANDSCAPE(int& status);
// Resets the graph attributes (regions, aspect, key position).
void GS_DEF_ATTRIBUTES(int& status);

// Window format: 0 portrait, 1 landscape, 2 as portrait, 3 as landscape.
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

// GUI region (buttons and prompts), page units. Portrait 0, 0, 0.7071, 0.15.
void GS_DEF_GUIREGION(int& status);
void GS_SET_GUIREGION(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_GUIREGION(float& xmin, float& ymin, float& xmax, float& ymax, int& status);

// Message region (message and warning boxes). Portrait 0, 0, 0.7071, 1.0.
void GS_DEF_MESSAGE(int& status);
void GS_SET_MESSAGE(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_MESSAGE(float& xmin, float& ymin, float& xmax, float& ymax, int& status);

// Message style: two groups of five values, for message boxes and for
// warning boxes. In each group:
//   font        text font (1 or 2; a value below 1 means the widget's own
//               choice, font 1)
//   fill        named colour of the text box
//   text        named colour of the text
//   auto_size   1: the character height is fitted to the box and the longest
//               line; 0: fixed character height of 0.02 page units
//   spacing     line spacing as a multiple of the character height when the
//               height is fixed (with automatic sizing the spacing is 1.2)
// Defaults: messages 2, 5, 2, 1, 1.0 (font 2, WHITE text on BLUE);
//           warnings -1, 5, 2, 1, 1.0.
void GS_DEF_MESSAGESTYLE(int& status);
void GS_SET_MESSAGESTYLE(int message_font, int message_fill, int message_text,
                         int message_auto_size, float message_spacing, int warning_font,
                         int warning_fill, int warning_text, int warning_auto_size,
                         float warning_spacing, int& status);
void GS_INQ_MESSAGESTYLE(int& message_font, int& message_fill, int& message_text,
                         int& message_auto_size, float& message_spacing, int& warning_font,
                         int& warning_fill, int& warning_text, int& warning_auto_size,
                         float& warning_spacing, int& status);

// Menu style (named colours and fonts):
//   box_outline, box_fill        the menu box (BLACK, BLUE)
//   button_outline, button_fill  every button (BLACK, YELLOW)
//   title_colour, title_font     the title lines (WHITE, font 1)
//   label_colour, label_font     the button labels (BLUE, font 1)
// Defaults 1, 5, 1, 6, 2, 1, 5, 1.
void GS_DEF_MENUSTYLE(int& status);
void GS_SET_MENUSTYLE(int box_outline, int box_fill, int button_outline, int button_fill,
                      int title_colour, int title_font, int label_colour, int label_font,
                      int& status);
void GS_INQ_MENUSTYLE(int& box_outline, int& box_fill, int& button_outline, int& button_fill,
                      int& title_colour, int& title_font, int& label_colour, int& label_font,
                      int& status);

// Menu layout: orientation (0 fills the grid row by row, other values column
// by column), number of columns, characters allowed for the title width and
// for a label. Defaults 0, 1, 40, 20.
void GS_DEF_MENULAYOUT(int& status);
void GS_SET_MENULAYOUT(int orientation, int columns, int title_characters,
                       int label_characters, int& status);
void GS_INQ_MENULAYOUT(int& orientation, int& columns, int& title_characters,
                       int& label_characters, int& status);

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
// When the background fill is on: clears the page and fills the data window
// with the background colour.
void GS_BACKGROUND(int& status);

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

// Progress indicator on or off. Default false.
void GS_DEF_PROGRESS(int& status);
void GS_SET_PROGRESS(bool on, int& status);
void GS_INQ_PROGRESS(bool& on, int& status);

// 3-D view: azimuth and elevation in degrees. Defaults 30 and 30.
void GS_DEF_3DVIEW(int& status);
void GS_SET_3DVIEW(float azimuth, float elevation, int& status);
void GS_INQ_3DVIEW(float& azimuth, float& elevation, int& status);

// Graph regions (reset by GS_DEF_ATTRIBUTES):
//  GPP   graph page position, page units: where a graph or image is placed.
//        Portrait 0.1, 0.1, 0.6071, 0.9; landscape 0.1, 0.1, 0.9, 0.6071.
//  DGPP  displayed graph page position (the one drawn last), page units.
//  DDDR  displayed data display region (world coordinates of the last graph).
//  IDR   image data region (world coordinates of the last image).
//  IASPECT  keep image pixels square. Default false.
//  KEY   graph key position (lower left, page units), moved with the page.
void GS_SET_GPP(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_GPP(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_DGPP(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_DGPP(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_DDDR(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_DDDR(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_IDR(float xmin, float ymin, float xmax, float ymax, int& status);
void GS_INQ_IDR(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void GS_SET_IASPECT(bool keep, int& status);
void GS_INQ_IASPECT(bool& keep, int& status);
void GS_SET_KEYPOSITION(float x, float y, int& status);
void GS_INQ_KEYPOSITION(float& x, float& y, int& status);

// ---------------------------------------------------------------------------
// Named colours and colour tables
// ---------------------------------------------------------------------------
// Stores the RGB values of the named colours and resolves them to device
// colour indices (GS_CAL_COLOURS).
void GS_DEF_COLOURS(int& status);
// Resolves the named colours to the best-matching device colour indices.
void GS_CAL_COLOURS(int& status);
// Device colour index of a named colour (13 -> 0, 14 -> 1, 15 -> -1);
// status 140017 for a number outside 1 .. 15.
void GS_INQ_COLOURINDEX(int colour, int& index, int& status);
// Named colour of a name (upper-cased, at most 132 characters, trailing
// blanks ignored): the twelve colour words, "(0 INDEX)", "(1 INDEX)",
// "INVERSE".
void GS_GIVE_COLOUR(const std::string& name, bool& found, int& colour, int& status);
// Display name of a named colour (13 and 14 read "(INDEX 0)" and "(INDEX 1)");
// blank for a number outside 1 .. 15.
void GS_GIVE_COLOURNAME(int colour, std::string& name, int& status);
// Offers the fifteen colours as a menu titled `title` and returns the chosen
// named colour (unchanged when the menu is left without a choice).
void GS_GUI_COLOUR(const std::string& title, int& colour, int& status);

// Colour-table choice (0 .. 11; 0 keeps the device's table) and number of
// levels. Default: table 2, levels = size of the image colour range. A choice
// outside 0 .. 11 gives status 140017 and stores nothing.
void GS_DEF_LUTCHOICE(int& status);
void GS_SET_LUTCHOICE(int choice, int levels, int& status);
void GS_INQ_LUTCHOICE(int& choice, int& levels, int& status);
// Computes the table of the current choice and loads it into the image range.
void GS_COLOURS(int& status);
// Interpolates `num_points` control points over the colour indices
// first_index .. last_index of `table` (indexed by colour index, at least
// max_table entries), quantised to `levels` levels. Checks: max_points >= 1
// (140001), 1 <= num_points <= max_points (140005), first_index <=
// last_index (140013), last_index < max_table and first_index >= 0 (140009).
void GS_CAL_COLOURTABLE(int max_points, int num_points, std::span<const vg::Rgb> points,
                        int first_index, int last_index, int levels, int max_table,
                        std::span<vg::Rgb> table, int& status);

// ---------------------------------------------------------------------------
// PostScript output
// ---------------------------------------------------------------------------
// Opens the PostScript file on unit 17 as workstation 2 (type 21 colour
// portrait, 22 colour landscape, 23 grey). A blank name gives 140033.
void GS_OPEN_PS(const std::string& file_name, int& status);
// Diverts drawing into the PostScript file, asking for its name first when
// none is open (in the window when `gui` is true, else on the console).
void GS_ON_PRINT(bool gui, int& status);
// Returns drawing to the window.
void GS_OFF_PRINT(int& status);
// Closes the PostScript file when one is open.
void GS_CLOSE_PS(int& status);

// ---------------------------------------------------------------------------
// Drawing primitives and the block-letter font (world coordinates)
// ---------------------------------------------------------------------------
// Text style: font, named colour, character height (world y units as the
// device takes it), size factor (the height given to the device is height x
// size factor; a factor of 0 or below counts as 1), angle in degrees,
// horizontal alignment (1 left, 2 centre, 3 right) and vertical alignment
// (1 bottom, 2 centre, 3 top) of the device layer.
void GS_TEXTSTYLE(int font, int colour, float height, float size_factor, float angle,
                  int horizontal, int vertical, int& status);
void GS_INQ_TEXTSTYLE(int& font, int& colour, float& height, float& size_factor, float& angle,
                      int& horizontal, int& vertical, int& status);
// Line style: line type (1 solid, others the device's styles), width, named
// colour.
void GS_LINESTYLE(int type, float width, int colour, int& status);
void GS_INQ_LINESTYLE(int& type, float& width, int& colour, int& status);
// Fill style: fill type (1 solid; the only kind drawn) and named colour.
void GS_FILLSTYLE(int type, int colour, int& status);
void GS_INQ_FILLSTYLE(int& type, int& colour, int& status);
void GS_LINE(float x1, float y1, float x2, float y2, int& status);
// Fills with the fill style when `fill`, then outlines with the line style
// when `outline`.
void GS_RECTANGLE(float xmin, float ymin, float xmax, float ymax, bool outline, bool fill,
                  int& status);
void GS_TRIANGLE(float x1, float y1, float x2, float y2, float x3, float y3, bool outline,
                 bool fill, int& status);
// Glyph scaling: world units per glyph unit along X and Y. Defaults 0.01.
void GS_DEF_CHAR_SCALING(int& status);
void GS_SET_CHAR_SCALING(float x_factor, float y_factor, int& status);
void GS_INQ_CHAR_SCALING(float& x_factor, float& y_factor, int& status);
// Draws one block letter with its lower left at (x, y) in the fill style and
// advances x by its scaled width; "WARNING: Letter not available" for a
// character without a glyph (x unchanged).
void GS_DRAW_CHARACTER(char letter, float& x, float y, int& status);

// ---------------------------------------------------------------------------
// Messages, warnings, prompts, menus, buttons and scroll bars
// ---------------------------------------------------------------------------

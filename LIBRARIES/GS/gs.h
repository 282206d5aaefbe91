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
// portrait, 22 colour landscape, 23 and 24 grey). A blank name gives 140033.
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
// size factor; a factor of 0 or below counts as 1), angle in degrees, and
// the device layer's horizontal alignment (1 left, 2 centre, 3 right) and
// vertical alignment (1 top, 2 cap line, 3 half, 4 base line, 5 bottom,
// 6 middle of the capitals).
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
namespace gs {

// A box in page units (the widgets draw with the unit transform, so world
// units are page units while they draw).
struct Box {
  float xmin = 0.0f, ymin = 0.0f, xmax = 0.0f, ymax = 0.0f;
  bool contains(float x, float y) const {
    return x >= xmin && x <= xmax && y >= ymin && y <= ymax;
  }
};

// Input kinds returned by GS_INP_MENUCHOICE and GS_INP_SCROLLBAR.
inline constexpr int input_choice = 1;   // a click inside a button
inline constexpr int input_redraw = 2;   // the window was exposed: redraw it
inline constexpr int input_outside = 3;  // a click outside every button

// Scroll-bar buttons, top to bottom. The buttons of a second bar drawn
// beside the first (GS_SCROLLBAR with bar 2) count on from scroll_buttons.
inline constexpr int scroll_to_start = 1;
inline constexpr int scroll_page_up = 2;
inline constexpr int scroll_line_up = 3;
inline constexpr int scroll_line_down = 4;
inline constexpr int scroll_page_down = 5;
inline constexpr int scroll_to_end = 6;
inline constexpr int scroll_buttons = 6;

// Rewrapping modes of GS_SPROMPT (at most 80 lines of 80 characters).
inline constexpr int wrap_none = 1;       // the lines as given
inline constexpr int wrap_paragraph = 2;  // all words as one paragraph
inline constexpr int wrap_each = 3;       // each line wrapped on its own
inline constexpr int wrap_hard = 4;       // cut at the width, blanks or not
inline constexpr int wrap_keep_end = 5;   // long lines keep their end ("..." first)
inline constexpr int max_wrap_lines = 80;
inline constexpr int max_wrap_width = 80;

// Codes of GS_INP_DATATYPE.
inline constexpr int datatype_byte = 1;      // "BYTE VALUES"
inline constexpr int datatype_integer2 = 2;  // "INTEGER (2-BYTE)"
inline constexpr int datatype_integer4 = 3;  // "4-BYTE INTEGER"
inline constexpr int datatype_real4 = 4;     // "REAL (4-BYTE IEEE)"

// Codes of GS_INP_SCANTYPE.
inline constexpr int scan_radial = 0;
inline constexpr int scan_2theta = 1;
inline constexpr int scan_q = 2;
inline constexpr int scan_d = 3;

// Default name of the file written by SAVE in a message box.
inline constexpr const char* default_save_name = "help.txt";

}  // namespace gs

// Text arrays: every widget takes a maximum count, a count and the lines
// (a span holding at least `count` lines). Checks: maximum at least 1 (status
// 140001), count within 0 .. maximum (140005); regions must have XMIN below
// XMAX (140013) and YMIN below YMAX (140014). Every widget draws with the
// unit transform and puts back the caller's data window, viewport, clipping,
// DDDR, DGPP, text, line and fill styles and GUI region before returning. A
// window closed by the user returns the user-escape status.

// Lines of text centred in a box, one line per pitch; an active prompt is a
// raised button (BLACK outline, YELLOW face, BLUE text), an inactive one a
// box with a BLUE outline, WHITE fill and BLACK text.
void GS_PROMPT(bool active, int max_lines, int num_lines, std::span<const std::string> lines,
               float xmin, float ymin, float xmax, float ymax, int& status);
// An inactive prompt filling the GUI region, shown at once.
void GS_FPROMPT(int max_lines, int num_lines, std::span<const std::string> lines, int& status);
// An inactive prompt filling the whole page.
void GS_PPROMPT(int max_lines, int num_lines, std::span<const std::string> lines, int& status);
// An inactive prompt whose text is rewrapped for the box (modes gs::wrap_*):
// the wrapping width is the one giving the largest characters; mode 5 keeps
// the end of a long line (file names), cut to the characters that fit at a
// height of 0.018 page units (less when the box is too low for that).
// Status 140017 for a mode outside 1 .. 5.
void GS_SPROMPT(int mode, int max_lines, int num_lines, std::span<const std::string> lines,
                float xmin, float ymin, float xmax, float ymax, int& status);
// Shows all pending drawing of the window.
void GS_UPDATE(int& status);

// A scrollable message box in the message region with O.K. and SAVE buttons;
// returns on O.K. SAVE asks for a file name ("help.txt" at first, then the
// last name used) and writes every line to it.
void GS_MESSAGE(int max_lines, int num_lines, std::span<const std::string> lines, int& status);
// Draws the message box in a region from line `first_line` on; returns the
// text box, the O.K. and SAVE button boxes and the number of lines that fit.
// A scroll bar (bar 1) is drawn when not all lines fit; otherwise the
// scroll-bar record is emptied.
void GS_DRAW_MESSAGE(int max_lines, int num_lines, std::span<const std::string> lines,
                     int first_line, float xmin, float ymin, float xmax, float ymax,
                     gs::Box& text_box, gs::Box& ok_box, gs::Box& save_box, int& num_fit,
                     int& status);

// A warning box in a region; waits for a click on O.K. (`flag` is passed on
// to the drawing routine and not used).
void GS_WARNING(bool flag, float xmin, float ymin, float xmax, float ymax, int max_lines,
                int num_lines, std::span<const std::string> lines, int& status);
// GS_WARNING in the GUI region.
void GS_FWARNING(int max_lines, int num_lines, std::span<const std::string> lines, int& status);
// Draws the warning box; returns the O.K. box.
void GS_DRAW_WARNING(float xmin, float ymin, float xmax, float ymax, int max_lines,
                     int num_lines, std::span<const std::string> lines, gs::Box& ok_box,
                     int& status);

// Yes/no question: a menu titled with the prompt offering CANCEL, HELP, YES
// and NO in the GUI region. CANCEL leaves `value` unchanged.
void GS_INPL(const std::string& prompt, int num_help, std::span<const std::string> help,
             bool& value, int& status);
// Integer prompt: the prompt with " (Range: a to b)" when `range`; with a
// default the current value is the initial answer and an empty answer keeps
// it. "?" or "HELP" shows the help lines; a bad or out-of-range answer shows
// the conversion warning and the error lines and asks again; CANCEL leaves
// the value unchanged.
void GS_INPI(bool range, int minimum, int maximum, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, int& value, int& status);
// Real prompt, as GS_INPI.
void GS_INPR(bool range, float minimum, float maximum, bool has_default,
             const std::string& prompt, int num_help, std::span<const std::string> help,
             int num_error, std::span<const std::string> error, float& value, int& status);
// Text prompt: the typed line starts from `default_text`; O.K. or the end of
// the line (return or tab) stores it in `value`; CANCEL leaves `value`
// unchanged; HELP shows the help lines. Prompts over 50 characters take two
// lines.
void GS_INPS(const std::string& prompt, int num_help, std::span<const std::string> help,
             const std::string& default_text, std::string& value, int& status);
// As GS_INPS (the form used by the other widgets).
void GS_INPC(const std::string& prompt, int num_help, std::span<const std::string> help,
             const std::string& default_text, std::string& value, int& status);

// Scroll bar for a list of num_items entries of which num_shown are shown
// from first_shown on: buttons to the start, page up and line up at the top,
// line down, page down and to the end at the bottom, and a thumb showing the
// visible part in the trough between. Bar 1 starts a new set of bars, bar 2
// adds a second one (its buttons count from 7).
void GS_SCROLLBAR(int bar, float xmin, float ymin, float xmax, float ymax, int num_items,
                  int first_shown, int num_shown, int& status);
// Forgets every drawn scroll bar.
void GS_DEF_SCROLLBAR(int& status);
// The button of the drawn scroll bars containing a point; 0 outside every
// button.
void GS_CAL_SCROLLBAR(float x, float y, int& button, int& status);
// Waits for an event: a click inside a scroll button gives gs::input_choice
// and its number; a redraw request gs::input_redraw (2) and button 0; other
// clicks give gs::input_outside, button 0 and the position when `mode` is 1
// and are ignored when it is 0.
void GS_INP_SCROLLBAR(int mode, int& input_kind, int& button, float& x, float& y, int& status);

// A menu: title lines over a grid of labelled buttons (menu style and layout
// of the state blocks). The drawn-menu record keeps the button boxes.
void GS_MENU(int max_titles, int num_titles, std::span<const std::string> titles,
             int max_choices, int num_choices, std::span<const std::string> labels, float xmin,
             float ymin, float xmax, float ymax, int& status);
// GS_MENU in the GUI region.
void GS_FMENU(int max_titles, int num_titles, std::span<const std::string> titles,
              int max_choices, int num_choices, std::span<const std::string> labels,
              int& status);
// Waits for a choice of the drawn menu: input_kind gs::input_choice with the
// choice number (from 1) and its label, gs::input_outside (choice 0) for a
// click outside every button, gs::input_redraw for a re-exposure. With the
// menu documentation flag (+DMENU) the first click outside every button after
// drawing a menu offers PostScript output of the menu (GS_ON_PRINT) and then
// returns gs::input_redraw.
void GS_INP_MENUCHOICE(int& input_kind, int& choice, std::string& label, float& x, float& y,
                       int& status);
// The active button of the drawn menu containing a point; 0 if none.
void GS_CAL_MENUCHOICE(float x, float y, int& choice, int& status);
// A raised button in the current fill (face) and line (edge) style; a bevel
// of 0 or below draws it pressed with a bevel of its magnitude.
void GS_BUTTON(float xmin, float ymin, float xmax, float ymax, float bevel, int& status);
// GS_BUTTON with a label centred on its face in the current text style.
void GS_STRINGBUTTON(float xmin, float ymin, float xmax, float ymax, float bevel,
                     const std::string& label, int& status);
// Menus of data types (codes gs::datatype_*) and scan types (gs::scan_*),
// with "?" and "HELP" (the caller's help lines), in the GUI region.
void GS_INP_DATATYPE(int num_help, std::span<const std::string> help, int& data_type,
                     int& status);
void GS_INP_SCANTYPE(int num_help, std::span<const std::string> help, int& scan_type,
                     int& status);

// gslib, widgets: messages, warnings, prompts, menus, buttons and scroll
// bars, each modal: it draws, waits for the user inside the device layer's
// input call, puts the caller's state back and returns.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "gs_setup.h"
#include "io.h"

// ---------------------------------------------------------------------------
// Messages, warnings, prompts, menus, buttons and scroll bars
// ---------------------------------------------------------------------------
namespace gs {

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

// Character height of a message box whose style has no automatic sizing.
inline constexpr float fixed_message_height = 0.02f;

// One choice from a menu: `draw_menu` draws it (with GS_MENU, or a widget
// holding one, as a form does) when `draw` is set, which is then cleared;
// the choice is awaited with GS_INP_MENUCHOICE, and the menu drawn again
// after every exposure of the window. Returns the number of the chosen
// button (from 1), or 0 for a click outside every button or a failure (in
// status).
int menu_choice(const std::function<void(int&)>& draw_menu, bool& draw, int& status);
// The same for a menu of `titles` and `labels` in the GUI region (GS_FMENU,
// in the menu layout in force).
int menu_choice(std::span<const std::string> titles, std::span<const std::string> labels,
                bool& draw, int& status);

// Refuses an answer: a warning in the window (GS_FWARNING) that the user
// clicks away; under a macro the run stops instead (IO_MACRO_REFUSE), since
// the macro has no other answer to give.
void refuse(const std::vector<std::string>& lines, int& status);

}  // namespace gs

// Text arrays: every widget takes a maximum count, a count and the lines
// (a span holding at least `count` lines). Checks: maximum at least 1
// (gs::status_bad_maximum), count within 0 .. maximum (gs::status_bad_count);
// regions must have XMIN below XMAX (gs::status_order_x) and YMIN below YMAX
// (gs::status_order_y). Every widget draws with the unit transform inside a
// gs::WidgetScope, which puts back the caller's drawing state (data window,
// viewport, clipping, attributes and styles) and regions before it returns.
// A window closed by the user returns the user-escape status.
//
// While a macro is replayed the widget whose answer is asked for draws as in
// the window and reads the answer from the macro (under an item name, the
// prompt unless given below); an answer it refuses stops the run
// (io::status_macro_refused), and the line "MENU CHOICE (GRAPHICAL" hands the
// one answer to the window. While a macro is recorded the answer given in the
// window is kept as the line that replays it. Widgets called by a widget on
// its way to an answer (helps, confirmations) neither read nor record.

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
// gs::status_bad_value for a mode outside 1 .. 5.
void GS_SPROMPT(int mode, int max_lines, int num_lines, std::span<const std::string> lines,
                float xmin, float ymin, float xmax, float ymax, int& status);
// Shows all pending drawing of the window.
void GS_UPDATE(int& status);

// A scrollable message box in the message region with O.K. and SAVE buttons;
// returns on O.K. SAVE asks for a file name ("help.txt" at first, then the
// last name used) and writes every line to it. From a macro: the lines go to
// the console and the commands are read as "ENTER COMMAND" ("SAVE" reads
// "TEXT FILE NAME").
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
// to the drawing routine and not used). During a replay it returns once
// drawn, its lines written to the console.
void GS_WARNING(bool flag, float xmin, float ymin, float xmax, float ymax, int max_lines,
                int num_lines, std::span<const std::string> lines, int& status);
// GS_WARNING in the GUI region.
void GS_FWARNING(int max_lines, int num_lines, std::span<const std::string> lines, int& status);
// Draws the warning box; returns the O.K. box.
void GS_DRAW_WARNING(float xmin, float ymin, float xmax, float ymax, int max_lines, int num_lines,
                     std::span<const std::string> lines, gs::Box& ok_box, int& status);

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
void GS_INPR(bool range, float minimum, float maximum, bool has_default, const std::string& prompt,
             int num_help, std::span<const std::string> help, int num_error,
             std::span<const std::string> error, float& value, int& status);
// Text prompt: the typed line starts from `default_text`; O.K. or the end of
// the line (return or tab) stores it in `value`; CANCEL leaves `value`
// unchanged; HELP shows the help lines. Prompts over 50 characters take two
// lines.
void GS_INPS(const std::string& prompt, int num_help, std::span<const std::string> help,
             const std::string& default_text, std::string& value, int& status);
// GS_INPS with error lines: an empty answer is refused, the error lines
// shown in a warning box and the question asked again.
void GS_INPS(const std::string& prompt, int num_help, std::span<const std::string> help,
             int num_error, std::span<const std::string> error, const std::string& default_text,
             std::string& value, int& status);
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
void GS_MENU(int max_titles, int num_titles, std::span<const std::string> titles, int max_choices,
             int num_choices, std::span<const std::string> labels, float xmin, float ymin,
             float xmax, float ymax, int& status);
// GS_MENU in the GUI region.
void GS_FMENU(int max_titles, int num_titles, std::span<const std::string> titles, int max_choices,
              int num_choices, std::span<const std::string> labels, int& status);
// Waits for a choice of the drawn menu: input_kind gs::input_choice with the
// choice number (from 1) and its label, gs::input_outside (choice 0) for a
// click outside every button, gs::input_redraw for a re-exposure. With the
// menu documentation flag (+DMENU) the first click outside every button after
// drawing a menu offers PostScript output of the menu (GS_ON_PRINT) and then
// returns gs::input_redraw. From a macro the label (any case) is read as
// "MENU CHOICE (GRAPHICAL INPUT)"; one not in the menu gives "Command not
// known".
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
void GS_INP_DATATYPE(int num_help, std::span<const std::string> help, int& data_type, int& status);
void GS_INP_SCANTYPE(int num_help, std::span<const std::string> help, int& scan_type, int& status);
// Offers the fifteen colours as a menu titled `title` and returns the chosen
// named colour (unchanged when the menu is left without a choice).
void GS_GUI_COLOUR(const std::string& title, int& colour, int& status);

// Internal services of the widgets (messages, prompts, menus, buttons and
// scroll bars): argument checks, the layout computations and the drawn-menu
// and scroll-bar records. Not part of the public API.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "gs.h"
#include "gs_internal.h"

namespace gs {

// The text-array checks of every widget: max_lines at least 1
// (status_bad_maximum), num_lines within 0 .. max_lines and no more than the
// array holds (status_bad_count).
bool check_lines(int max_lines, int num_lines, std::span<const std::string> lines,
                 const char* identification, int& status);
// Region checks: xmin below xmax (status_order_x), ymin below ymax
// (status_order_y).
bool check_region(float xmin, float ymin, float xmax, float ymax, const char* identification,
                  int& status);

// The entry of a widget drawing lines of text in a box: the status on
// entry, then check_lines and check_region.
bool lines_in_box(int max_lines, int num_lines, std::span<const std::string> lines, float xmin,
                  float ymin, float xmax, float ymax, const char* identification, int& status);

// Whether a status ends a widget without being a failure of its own: the
// user escape (a window closed by the user) and the stops of a macro (an
// answer refused, the macro ended).
inline bool passed_up(int status) {
  return status == io::status_escape || status == io::status_macro_refused ||
         status == io::status_macro_ended;
}
// Records the routine's identification text for a failure; the statuses
// passed up are left as they are.
inline void note_failure(const char* identification, int status) {
  if (status != io::status_good && !passed_up(status)) ST_SAVE(identification);
}
// Count check of an array given as a count and a span: 0 .. size
// (status_bad_count).
bool check_count(int num_lines, std::span<const std::string> lines, const char* identification,
                 int& status);

// Character aspect factors chosen from the sample width measured at start-up.
float prompt_factor(float sample_width);
float menu_factor(float sample_width);
float message_factor(int font, float sample_width);
float sample_width();

// Prompt box layout (GS_PROMPT).
struct PromptLayout {
  Box area;             // where the text goes
  float bevel = 0.0f;   // of an active prompt's button
  float pitch = 0.0f;   // line pitch
  float height = 0.0f;  // character height
};
PromptLayout prompt_layout(bool active, int num_lines, std::span<const std::string> lines,
                           const Box& box, float sample_width);

// Message box layout (GS_DRAW_MESSAGE).
struct MessageLayout {
  Box text, ok, save, scroll;
  float margin_x = 0.0f, margin_y = 0.0f, gap = 0.0f;
  float height = 0.0f, spacing = 0.0f;  // text character height and line spacing
  float button_height = 0.0f;           // character height of the button labels
  int fit = 0;                          // lines that fit in the text box
  int font = 1, fill = gs::blue, colour = gs::white;
};
MessageLayout message_layout(const Box& region, int num_lines, std::span<const std::string> lines,
                             float sample_width, int& status);

// Warning box layout (GS_DRAW_WARNING).
struct WarningLayout {
  Box text, ok;
  float margin_x = 0.0f, margin_y = 0.0f, pitch = 0.0f;
  bool tall = true;  // width / height at most 3: the O.K. button below the text
};
WarningLayout warning_layout(const Box& region, int num_lines);

// Menu layout (GS_MENU).
struct MenuLayout {
  int rows = 0;
  float row_height = 0.0f, column_width = 0.0f;
  float title_height = 0.0f, label_height = 0.0f, bevel = 0.0f;
  std::vector<Box> buttons;
};
MenuLayout menu_layout(int num_titles, int num_choices, const Box& region, int orientation,
                       int columns, int title_characters, int label_characters, float sample_width);

// The record of the last menu drawn: its region, title lines, the number of
// active choices and the box of every button, and its texts (for printing).
struct MenuRecord {
  Box region;
  int num_titles = 0;
  int num_choices = 0;
  std::vector<Box> boxes;
  std::vector<std::string> titles, labels;
  bool offered_print = false;  // +DMENU: PostScript output offered already
};
MenuRecord& menu_record();

// Keeps the record of an enclosing menu while a widget draws menus of its own
// and puts it back on destruction.
class MenuSave {
 public:
  MenuSave() : saved_(menu_record()) {}
  ~MenuSave() { menu_record() = saved_; }
  MenuSave(const MenuSave&) = delete;
  MenuSave& operator=(const MenuSave&) = delete;

 private:
  MenuRecord saved_;
};

// Draws a menu in its region as laid out (GS_MENU, whose checks and record
// of the drawn menu it leaves to the caller): the box, the title lines and
// the buttons with their labels, in the menu style.
void draw_menu(const Box& region, const MenuLayout& l, std::span<const std::string> titles,
               std::span<const std::string> labels, int& status);

// A ready-made menu in the GUI region: "?" and "HELP" before `labels`, in
// three columns, under `titles`. "?" shows what the buttons do (the two
// controls' lines, then `explanations`), "HELP" the caller's help lines.
// Returns the number of the chosen label (from 1); 0 after a failure, or,
// with `leave_outside`, after a click outside every button (which is passed
// over otherwise).
int ready_menu(std::span<const std::string> titles, std::span<const std::string> labels,
               std::span<const std::string> explanations, std::span<const std::string> help,
               bool leave_outside, int& status);

// Scroll bars drawn since the first bar of a set (GS_SCROLLBAR).
struct ScrollBarRecord {
  bool drawn = false;
  Box outer;
  std::array<Box, scroll_buttons> buttons;  // to start .. to end
  Box trough, thumb;
};
std::vector<ScrollBarRecord>& scroll_bars();
ScrollBarRecord scrollbar_layout(const Box& box, int num_items, int first_shown, int num_shown);

// Fills a box with a named colour, drawn at once.
void fill_box(const Box& box, int colour, int& status);

// Draws a text with the given font, named colour, height and alignment.
void draw_text(float x, float y, const std::string& text, int font, int colour, float height,
               int horizontal, int vertical, int& status);

// Waits for one event at the window workstation (wait mode 1: clicks and
// redraw requests).
void wait_event(int& type, float& x, float& y, int& status);
// Waits for a click or a redraw request, passing over any other event;
// returns vg::event_button (with the page position) or vg::event_redraw, or
// vg::event_none with the status of a failure.
int wait_click(float& x, float& y, int& status);

// The typed line of GS_INPS and GS_INPC: draws the prompt, the input line and
// the CANCEL, HELP and O.K. buttons in the GUI region and edits the line,
// starting from `initial`; HELP shows the help lines (show_help). Returns
// the line as typed, and whether CANCEL was chosen (the caller's value then
// stays as it was).
struct TypedLine {
  std::string text;
  bool cancelled = false;
};
TypedLine input_text(const std::string& prompt, std::span<const std::string> help,
                     const std::string& initial, int& status);
// The typed line drawn as input_text draws it, for an answer that comes
// from a macro.
void draw_typed_line(const std::string& prompt, int& status);

// A real typed in the GUI region, as GS_INPR without a range asks it, but a
// value that is not finite ("INF", "NAN") is refused with the error lines.
// False when cancelled (`value` unchanged) or the status went bad.
bool ask_finite(const std::string& prompt, std::span<const std::string> help,
                std::span<const std::string> error, float& value, int& status);

// Whether a value lies in a range: a value that is not finite lies in none.
bool within(double value, double minimum, double maximum);

// Help lines in a message box over `region` (the message box of GS_MESSAGE,
// its lines longer than gs::readable_width wrapped at blanks, the rest of a
// wrapped line indented). A widget shows its help over its own region, which
// it draws again afterwards, so that the box is gone when it is closed and
// nothing else of the page is covered. Without a region: the GUI region.
void show_help(const Box& region, std::span<const std::string> lines, int& status);
void show_help(std::span<const std::string> lines, int& status);
inline constexpr int readable_width = 60;
// `lines` with every line longer than `width` characters wrapped at blanks.
std::vector<std::string> readable_lines(std::span<const std::string> lines, int width);

// Layout of the typed-line prompt in a GUI region.
struct InputLayout {
  Box field;                              // the white field holding prompt and input line
  Box device;                             // the box handed to the line editor
  Box cancel, help, ok;                   // the three buttons
  std::vector<std::string> prompt_lines;  // one or two
  float height = 0.0f;                    // character height of the prompt and the line
  float label_height = 0.0f;              // character height of the button labels
};
InputLayout input_layout(const Box& region, const std::string& prompt, float sample_width);

// Splits a prompt longer than 50 characters at the first blank from the 40th
// character on (one line when there is none).
std::vector<std::string> split_prompt(const std::string& prompt);

// The rewrapping of GS_SPROMPT.
std::vector<std::string> rewrap(int mode, int num_lines, std::span<const std::string> lines,
                                const Box& box, float sample_width);

}  // namespace gs

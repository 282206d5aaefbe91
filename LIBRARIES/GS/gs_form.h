// gslib, forms: a list of variables, each with its description, its value
// and a button, changed in any order and confirmed with O.K.
#pragma once

#include <array>
#include <span>
#include <string>

#include "gs_setup.h"

namespace gs {

// Entry types of a form.
inline constexpr int form_integer = 1;
inline constexpr int form_logical = 2;
inline constexpr int form_real = 3;
inline constexpr int form_text = 4;
inline constexpr int form_colour = 5;
inline constexpr int form_text_2 = 6;  // edited as form_text
inline constexpr int form_input_file = 7;
inline constexpr int form_output_file = 8;
inline constexpr int form_scan_type = 9;
inline constexpr int form_menu = 10;

inline constexpr int form_max_entries = 20;
inline constexpr int form_controls = 5;        // O.K., CANCEL, ?, HELP, INFO
inline constexpr int form_menu_entries = 12;   // entries that may be menu choices
inline constexpr int form_display_width = 45;  // characters of a displayed value
inline constexpr int form_help_lines = 94;
// Alternatives of a menu-choice entry are held in its text value, separated
// by this character ("LINEAR|CUBIC|SPLINE"); its integer value is the chosen
// one, from 1.
inline constexpr char form_menu_separator = '|';

}  // namespace gs

// The form: title and help lines; `choices` holds one button label per entry
// and room for the five control labels, which the form writes after them
// (max_choices and the span both at least num_entries + 5), as it writes the
// control buttons' explanations after the entries' ones in `explanations`.
// Per entry: its type (gs::form_*), description, range flag, integer and real
// bounds (lower, upper) and its value in one of the value arrays: integers
// (also the named colour of type 5, the scan type of type 9 and the menu
// choice of type 10), logicals, reals, texts (also file names and the
// alternatives of type 10). Values change in place as each entry is edited;
// `cancelled` is true when the form ended with CANCEL (the edits made before
// stay in the arrays).
// An entry count outside 1 .. 20 gives gs::status_bad_maximum, choices without
// room for the five control labels gs::status_bad_count; a value array shorter
// than the entry count gs::status_bad_count too.
void GS_FORM(int max_title, int num_title, std::span<const std::string> title, int max_help,
             int num_help, std::span<const std::string> help, int max_choices, int num_entries,
             std::span<std::string> choices, std::span<const int> types,
             std::span<const std::string> descriptions, std::span<std::string> explanations,
             std::span<const bool> ranges, std::span<const std::array<int, 2>> integer_bounds,
             std::span<const std::array<float, 2>> real_bounds, std::span<int> integer_values,
             std::span<bool> logical_values, std::span<float> real_values,
             std::span<std::string> text_values, bool& cancelled, int& status);

// Draws the form in the message region from the same data and the display
// texts of the entries (one per entry), and makes the GUI region the prompt
// strip at its bottom; leaves the entry and control buttons (choices order)
// as the active menu.
void GS_DRAW_FORM(int max_title, int num_title, std::span<const std::string> title, int num_entries,
                  std::span<const std::string> choices, std::span<const int> types,
                  std::span<const std::string> descriptions,
                  std::span<const std::string> display_texts, int& status);

// A menu of the alternatives of a menu-choice entry (text "A|B|C"), titled
// with the description, with "?" and "HELP"; `choice` returns the number of
// the chosen alternative (unchanged when the user clicks outside). Data with
// no alternative, or more than fit a menu, gives the console line "WARNING:
// Bad form menu data" and leaves the choice as it is.
void GS_INP_FORMMENU(const std::string& description, int num_help,
                     std::span<const std::string> help, const std::string& alternatives,
                     int& choice, int& status);

// The fixed explanation of forms: in a message box when `gui` is true, else
// on the console.
void GS_HELPFORM(bool gui, int& status);

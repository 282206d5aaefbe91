// gslib, colours and colour tables: the named drawing colours, their device
// colour indices, and the built-in image colour tables.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "vg.h"

namespace gs {

// Number of built-in colour tables (choices 1 .. 11; 0 keeps the device's).
inline constexpr int num_colour_tables = 11;

// Control points of built-in colour table `choice` (1 .. 11); empty for any
// other choice.
std::vector<vg::Rgb> colour_table_points(int choice);

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

}  // namespace gs

// Stores the RGB values of the named colours and resolves them to device
// colour indices (GS_CAL_COLOURS).
void GS_DEF_COLOURS(int& status);
// Resolves the named colours to the best-matching device colour indices.
void GS_CAL_COLOURS(int& status);
// Device colour index of a named colour (13 -> 0, 14 -> 1, 15 -> -1);
// gs::status_bad_value for a number outside 1 .. 15.
void GS_INQ_COLOURINDEX(int colour, int& index, int& status);
// Named colour of a name (upper-cased, at most 132 characters, trailing
// blanks ignored): the twelve colour words, "(0 INDEX)", "(1 INDEX)",
// "INVERSE".
void GS_GIVE_COLOUR(const std::string& name, bool& found, int& colour, int& status);
// Display name of a named colour (13 and 14 read "(INDEX 0)" and "(INDEX 1)");
// blank for a number outside 1 .. 15.
void GS_GIVE_COLOURNAME(int colour, std::string& name, int& status);

// Colour-table choice (0 .. 11; 0 keeps the device's table) and number of
// levels. Default: table 2, levels = size of the image colour range. A choice
// outside 0 .. 11 gives gs::status_bad_value, levels below 1
// gs::status_bad_value_2, and nothing is stored.
void GS_DEF_LUTCHOICE(int& status);
void GS_SET_LUTCHOICE(int choice, int levels, int& status);
void GS_INQ_LUTCHOICE(int& choice, int& levels, int& status);
// Computes the table of the current choice and loads it into the image range.
void GS_COLOURS(int& status);
// Interpolates `num_points` control points over the colour indices
// first_index .. last_index of `table` (indexed by colour index, at least
// max_table entries), quantised to `levels` levels. Checks: max_points >= 1
// (gs::status_bad_maximum), 1 <= num_points <= max_points
// (gs::status_bad_count), first_index <= last_index (gs::status_order_x),
// last_index < max_table and first_index >= 0 (gs::status_table_limit).
void GS_CAL_COLOURTABLE(int max_points, int num_points, std::span<const vg::Rgb> points,
                        int first_index, int last_index, int levels, int max_table,
                        std::span<vg::Rgb> table, int& status);

// Internal services of the console input (not part of the public API).
#pragma once

#include <string>

namespace io {

// One line of standard input without its line end, cut to io::line_width
// characters (the rest of a longer line is skipped). When standard input is
// not a terminal the line is echoed to the console, so that the console shows
// the answers beside their prompts. False at the end of the input or on a read
// error; an empty console line is then written to end the prompt line.
bool console_line(std::string& line);

bool standard_input_is_terminal();
bool standard_output_is_terminal();

// Hands a command line to the operating system's command interpreter and
// waits for it; returns the interpreter's result.
int operating_system_command(const std::string& command);

// Drops what is left of the current input line kept by IO_INPUT_TOKEN.
void clear_input_tokens();

// Lines per page of the pager IO_TEXT: 0 (the start value) pages by 20 lines
// when standard input and output are both terminals and otherwise writes
// everything at once; a positive value always pages by that many lines; a
// negative value never pages.
void set_pager_page_length(int lines);

}  // namespace io

// gslib, PostScript output: the file on unit 17 as workstation 2, and the
// diversion of drawing into it (gs_print.cpp).
#pragma once

#include <functional>
#include <string>

#include "gs_state.h"

// ---------------------------------------------------------------------------
// PostScript output
// ---------------------------------------------------------------------------
// Opens the PostScript file on unit 17 as workstation 2: colour portrait or
// landscape, or grey portrait or landscape, by the window format and the
// colour flag. A blank name gives gs::status_blank_name; a file that cannot
// be written gs::status_file_not_opened (with the console lines).
void GS_OPEN_PS(const std::string& file_name, int& status);
// Diverts drawing into the PostScript file, asking for its name first when
// none is open (in the window when `gui` is true, else on the console).
void GS_ON_PRINT(bool gui, int& status);
// Returns drawing to the window.
void GS_OFF_PRINT(int& status);
// Closes the PostScript file when one is open.
void GS_CLOSE_PS(int& status);

namespace gs {

// A page drawn once more, by `draw`, into a PostScript file that the user
// names (GS_ON_PRINT's prompt in the window), which is then closed; nothing
// when no file is named.
void print_page(const std::function<void(int&)>& draw, int& status);

}  // namespace gs

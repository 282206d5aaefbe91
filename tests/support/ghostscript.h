// PostScript files rendered with Ghostscript, for the tests that check what a
// file would print.
#pragma once

#include <string>

namespace kovtest {

// Whether Ghostscript (gs) can be run.
bool have_ghostscript();

// Renders a PostScript file with Ghostscript's `device` into `out` at `dpi`
// on an A4 sheet; returns Ghostscript's console output, with `ok` false when
// gs failed or reported an error.
std::string render_postscript(const std::string& ps, const std::string& device,
                              const std::string& out, bool& ok, int dpi = 72);

}  // namespace kovtest

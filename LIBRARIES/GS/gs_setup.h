// gslib, set-up: opening and closing graphics, the command-line display
// options, the landscape page and the background (gs_setup.cpp). The state
// blocks they set are in gs_state.h, the diversion of drawing into a
// PostScript file in gs_print.h.
#pragma once

#include "gs_state.h"

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
// Opens graphics without a window, for a run whose answers all come from a
// macro: everything is drawn into a device that shows nothing.
void GS_OPEN_NOWINDOW(int& status);
namespace gs {
// False when graphics were opened without a window.
bool window_shown();
}  // namespace gs
// Resets every state block to its defaults.
void GS_DEF_GRAPHICS(int& status);
// Closes the window workstation, any PostScript file and the device layer.
void GS_CLOSE_GRAPHICS(int& status);
// Reads the command-line options (IO_GETARGS): +LAND/-LAND/LAND/+LANDSCAPE/
// -LANDSCAPE/LANDSCAPE, +COLOURS n/-COLOURS n, +COLn/-COLn, +DFORM/-DFORM,
// +DMENU/-DMENU. The number of a colour option follows in the same argument
// or, when it is a number, in the next one. Colour counts are clamped to
// 16 .. 256; a colour option without an integer writes "WARNING: Bad command
// line option" and changes nothing.
void GS_MSET_OPTIONS(int& status);
// Switches the layout state to the landscape page.
void GS_MSET_LANDSCAPE(int& status);
// When the background fill is on: clears the page and fills the data window
// with the background colour.
void GS_BACKGROUND(int& status);

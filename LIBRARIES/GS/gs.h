// gslib: the user-interface toolkit. Opening and closing graphics, the page
// layout and the state blocks that every widget reads, the named drawing
// colours, the image colour tables, PostScript diversion, the drawing
// primitives and the block-letter font; then the messages, prompts, menus,
// buttons and scroll bars; the file selection tool and forms.
//
// Conventions:
//  - `status` (int&) is the last argument; a routine entered with a status
//    that is not io::status_good records its identification text and returns.
//    The statuses the toolkit sets are named in gs_setup.h (gs::status_*).
//  - Every state block has a GS_DEF_ routine (restore its defaults), a GS_SET_
//    routine and a GS_INQ_ routine with the same argument list.
//  - A widget changes state only inside a scope that puts it back
//    (gs_scope.h).
//  - Colours are named-colour numbers (gs::black .. gs::inverse); the drawing
//    routines turn them into device colour indices.
//  - Regions are XMIN, YMIN, XMAX, YMAX (gs::Box); page regions are in page
//    units (the portrait page is 0.7071 wide and 1.0 high, the landscape page
//    1.0 wide and 0.7071 high).
#pragma once

#include "gs_colours.h"     // named colours and colour tables
#include "gs_coords.h"      // coordinate input on a displayed image
#include "gs_dialogs.h"     // messages, warnings, prompts, menus, buttons, scroll bars
#include "gs_draw.h"        // styles, lines, rectangles, triangles
#include "gs_fileselect.h"  // the file selection tool
#include "gs_font.h"        // block letters
#include "gs_form.h"        // forms
#include "gs_plot.h"        // image display, axes, colour bar, graphs of a row or column
#include "gs_print.h"       // PostScript output
#include "gs_scope.h"       // the state scopes of the widgets
#include "gs_setup.h"       // opening and closing graphics, options, background
#include "gs_state.h"       // statuses, regions and the state blocks

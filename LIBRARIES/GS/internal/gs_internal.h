// Internal services shared by the gslib sources (not part of the public API).
#pragma once

#include <string>

#include "gs.h"
#include "io.h"

namespace gs {

// Device colour index of a named colour (13 -> 0, 14 -> 1, 15 -> -1; numbers
// outside 1 .. 15 give index 1).
int device_index(int colour);

// The state blocks that the scopes copy and put back (gs_draw.cpp,
// gs_state.cpp); everything else reaches them through the GS_ routines.
Styles& style_block();
Regions& region_block();

}  // namespace gs

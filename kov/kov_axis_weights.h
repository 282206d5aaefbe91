// The position offered from the lines' positions and weights
// (kov_axis_weights.cpp).
#pragma once

#include "kov_axis.h"

namespace kov {

// The weighted position, the lines kept, their spread, straight line and
// halves, from the positions and weights of the lines used.
void weigh_lines(AxisResult& result);

}  // namespace kov

// The graph of the rotation-axis step (kov_axis_graph.cpp).
#pragma once

#include "kov_axis.h"

namespace kov {

// The graph above the GUI region: the lines' positions (kept, weighed
// down, set aside), the weighted position, the straight line through the
// kept lines and the band they lie in, a legend.
void draw_axis_graph(const AxisResult& result, bool vertical, int& status);

}  // namespace kov

// The console report of the rotation-axis computation and its warnings
// (kov_axis_report.cpp).
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "kov_axis.h"

namespace kov {

// The console report: a warning for the pixels left out and the lines
// skipped when there are any; then, when a line is usable, "INFO: Average
// rotation axis position = ", "      Standard deviation = ", "INFO: Weighted
// rotation axis position = " with the lines set aside, "INFO: Axis tilt = "
// in degrees ("N.A." for the spread with one line, for the tilt with fewer
// than two lines kept) and the warnings of axis_warning_lines; else the
// warning that no line is usable.
void report_axis(const AxisResult& result, int& status);

// The console lines of the report (the text report_axis writes).
std::vector<std::string> axis_report_lines(const AxisResult& result);

// The warnings that the position is not to be trusted, as console lines
// ("WARNING: ..." and its continuations); none when it is.
std::vector<std::string> axis_warning_lines(const AxisResult& result);
// The warnings of axis_warning_lines, and that of the axis by
// reconstruction when it is given (not NaN) and lies more than 1 pixel from
// the weighted position (kov_slice.h), for a warning box: one entry per
// warning line, upper case, without "WARNING: ".
std::vector<std::string> axis_warning_box(
    const AxisResult& result, double reconstruction = std::numeric_limits<double>::quiet_NaN());

}  // namespace kov

// The console report of the rotation-axis computation and its warnings.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "kov_axis_report.h"
#include "kov_slice.h"

namespace {

constexpr const char* id_axis = "Subroutine KOV_ROTATION_AXIS V0.6 ";

std::string format(const char* spec, double value) {
  // No "-0.00000" for a value that rounds to zero.
  if (std::fabs(value) < 5e-6) value = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, spec, value);
  return text;
}

std::string count_of(int count, int of) {
  return std::to_string(count) + " of " + std::to_string(of);
}

// One warning: its console lines and its lines in a box.
struct Warning {
  std::vector<std::string> console, box;
};

std::vector<Warning> warnings(const kov::AxisResult& r) {
  std::vector<Warning> w;
  if (!r.usable()) return w;
  if (r.scatters()) {
    const std::string sd = format("%.2f", r.deviation);
    w.push_back(
        {{"WARNING: The positions of the lines scatter by " + sd + " pixels (standard deviation",
          "         over 1 pixel): look at the graph of the lines before accepting"},
         {"THE LINES SCATTER BY " + sd + " PIXELS", "(STANDARD DEVIATION OVER 1 PIXEL)"}});
  }
  if (r.halves_differ()) {
    const std::string d = format("%.2f", std::fabs(r.second_half - r.first_half));
    w.push_back({{"WARNING: The first and the second half of the lines differ by " + d + " pixels",
                  "         (over 1 pixel): the axis may be tilted, or one half not correlate"},
                 {"THE TWO HALVES OF THE LINES", "DIFFER BY " + d + " PIXELS (OVER 1 PIXEL)"}});
  }
  if (r.too_few()) {
    const int range = r.last_line - r.first_line + 1;
    const std::string kept = std::to_string(r.lines_kept), of = std::to_string(range);
    w.push_back(
        {{"WARNING: Only " + kept + " of " + of +
              " lines were kept (fewer than 3, or than a quarter",
          "         of the lines): too few to check the position"},
         {"ONLY " + kept + " OF " + of + " LINES WERE KEPT:", "TOO FEW TO CHECK THE POSITION"}});
  }
  return w;
}

}  // namespace

namespace kov {

std::vector<std::string> axis_warning_lines(const AxisResult& result) {
  std::vector<std::string> lines;
  for (const Warning& w : warnings(result))
    lines.insert(lines.end(), w.console.begin(), w.console.end());
  return lines;
}

std::vector<std::string> axis_warning_box(const AxisResult& result, double reconstruction) {
  std::vector<std::string> lines;
  for (const Warning& w : warnings(result)) lines.insert(lines.end(), w.box.begin(), w.box.end());
  if (result.usable() && std::isfinite(reconstruction)) {
    const auto r = reconstruction_warning_box(result.weighted, reconstruction);
    lines.insert(lines.end(), r.begin(), r.end());
  }
  if (!lines.empty()) lines.push_back("LOOK AT THE GRAPH BEFORE ACCEPTING");
  return lines;
}

std::vector<std::string> axis_report_lines(const AxisResult& result) {
  std::vector<std::string> lines;
  const int range = result.last_line - result.first_line + 1;
  if (result.pixels_not_finite > 0) {
    lines.push_back("WARNING: " + std::to_string(result.pixels_not_finite) +
                    " corrected pixels of the chosen lines are not finite (a zero");
    lines.push_back("         or non-finite denominator): left out of the line means");
  }
  if (result.lines_skipped > 0) {
    lines.push_back("WARNING: " + count_of(result.lines_skipped, range) +
                    " lines have no finite correlation maximum: left out");
  }
  if (!result.usable()) {
    lines.push_back("WARNING: No line gives a usable correlation: the position of the");
    lines.push_back("         rotation axis cannot be calculated");
    return lines;
  }
  lines.push_back("INFO: Average rotation axis position = " + format("%12.5f", result.mean));
  lines.push_back("      Standard deviation = " + (result.spread_defined()
                                                       ? format("%10.5f", result.deviation)
                                                       : std::string("      N.A.")));
  lines.push_back("INFO: Weighted rotation axis position = " + format("%12.5f", result.weighted) +
                  " (" + count_of(result.lines_set_aside(), result.lines_used) +
                  " lines set aside)");
  lines.push_back("INFO: Axis tilt = " +
                  (result.tilt_defined() ? format("%12.5f", result.tilt_degrees())
                                         : std::string("        N.A.")) +
                  " degrees");
  const auto w = axis_warning_lines(result);
  lines.insert(lines.end(), w.begin(), w.end());
  return lines;
}

void report_axis(const AxisResult& result, int& status) {
  if (!io::entry_ok(status, id_axis)) return;
  for (const auto& line : axis_report_lines(result)) IO_WRITE(line, status);
}

}  // namespace kov

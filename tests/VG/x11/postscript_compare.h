// Comparing the window with a PostScript file of the same drawing: the file
// rendered by Ghostscript, the page cut out of the A4 sheet at the window's
// size, and the two pictures compared block by block.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "x11_support.h"

namespace x11test {

// Mean colour of a block of a picture, the block given in fractions of the
// picture's width and height.
inline Rgb8 block_mean(const Picture& p, double fx0, double fy0, double fx1, double fy1) {
  const int x0 = static_cast<int>(fx0 * p.width), x1 = static_cast<int>(fx1 * p.width);
  const int y0 = static_cast<int>(fy0 * p.height), y1 = static_cast<int>(fy1 * p.height);
  long r = 0, g = 0, b = 0, n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const Rgb8 c = p.at(x, y);
      r += c.r;
      g += c.g;
      b += c.b;
      ++n;
    }
  }
  if (n == 0) return {};
  return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

// Renders a portrait PostScript file with Ghostscript (the PNG of the sheet
// kept beside it as <base>_gs.png) and cuts out the page as the 500 by 707
// window shows it. The page (707 device units high) stands on the A4 sheet
// enlarged by 1.1 about the centre (293.5, 416.5) points: 550 by 777.7
// points, at 500 / 550 x 72 dots per inch 500 by 707 dots. An empty picture
// (and Ghostscript's output in `log`) when the file cannot be rendered.
inline Picture postscript_page(const std::string& ps_file, const std::string& base,
                               std::string& log) {
  const double dpi = 500.0 / 550.0 * 72.0;
  const std::string ppm = base + ".ppm";
  const std::string log_file = base + "_gs.txt";
  char command[2048];
  std::snprintf(command, sizeof(command),
                "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r%.4f -dTextAlphaBits=4 "
                "-dGraphicsAlphaBits=4 -sOutputFile='%s' '%s' >'%s' 2>&1",
                dpi, ppm.c_str(), ps_file.c_str(), log_file.c_str());
  const bool rendered = std::system(command) == 0;
  log = kovtest::read_file(log_file);
  if (!rendered || log.find("Error") != std::string::npos) return Picture();
  const Picture sheet = read_ppm(ppm);
  if (sheet.width <= 500) return Picture();
  std::system(("convert '" + ppm + "' '" + base + "_gs.png' 2>/dev/null").c_str());
  // The page's corner on the sheet, in dots from the top left.
  const double scale = dpi / 72.0;
  const double left = (293.5 - 1.1 * 500.0 / 2.0) * scale;
  const double top = (842.0 - (416.5 + 1.1 * 707.0 / 2.0)) * scale;
  Picture page;
  page.width = 500;
  page.height = 707;
  page.pixels.resize(500 * 707);
  for (int y = 0; y < 707; ++y) {
    for (int x = 0; x < 500; ++x) {
      const int sx = std::clamp(static_cast<int>(std::lround(left + x)), 0, sheet.width - 1);
      const int sy = std::clamp(static_cast<int>(std::lround(top + y)), 0, sheet.height - 1);
      page.pixels[static_cast<std::size_t>(y * 500 + x)] = sheet.at(sx, sy);
    }
  }
  return page;
}

// The blocks of 20 by 20 pixels (25 by 35 of them on the portrait page)
// whose mean colours differ by more than 16 in a component; `report` lists
// them as (column,row).
inline int differing_blocks(const Picture& a, const Picture& b, int& total, std::string& report) {
  int differing = 0;
  total = 0;
  for (int by = 0; by < 35; ++by) {
    for (int bx = 0; bx < 25; ++bx) {
      const double fx0 = bx / 25.0, fx1 = (bx + 1) / 25.0;
      const double fy0 = by / 35.0, fy1 = (by + 1) / 35.0;
      const Rgb8 p = block_mean(a, fx0, fy0, fx1, fy1);
      const Rgb8 q = block_mean(b, fx0, fy0, fx1, fy1);
      ++total;
      if (std::abs(p.r - q.r) > 16 || std::abs(p.g - q.g) > 16 || std::abs(p.b - q.b) > 16) {
        ++differing;
        report += " (" + std::to_string(bx) + "," + std::to_string(by) + ")";
      }
    }
  }
  return differing;
}

}  // namespace x11test

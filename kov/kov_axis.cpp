// The rotation-axis computation without a window: correction, per-line
// correlation, sub-pixel peak, statistics, tilt and the console report.
#include "kov_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

namespace {

constexpr const char* id_axis = "Subroutine KOV_ROTATION_AXIS V0.6 ";

std::string format(const char* spec, double value) {
  // No "-0.00000" for a value that rounds to zero.
  if (std::fabs(value) < 5e-6) value = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, spec, value);
  return text;
}

// Element (j, line) of a line of an image: along a row for a vertical axis,
// along a column for a horizontal one (j and line from 1).
struct LineView {
  io::View2D<const float> image;
  bool vertical;
  float operator()(int j, int line) const { return vertical ? image(j, line) : image(line, j); }
};

// Pixels at each end of a line whose mean level continues the line in the
// rest of the correlation buffer.
constexpr int end_pixels = 8;

// Fills `buffer` (n elements) with the line less its mean, element j from
// `mirrored` ? N - j + 1 : j, then the blend of the line's end levels; pixels
// that are not finite are left out of the mean and take it. False when the
// line has no finite pixel. The mean of a line whose pixels are all finite
// is MA_AVERAGE's over the region.
bool fill_line(const LineView& v, int n_line, int line, bool mirrored, int n, float* buffer,
               std::int64_t& not_finite, int& status) {
  int bad = 0;
  double sum = 0.0;
  for (int j = 1; j <= n_line; ++j) {
    const float value = v(j, line);
    if (std::isfinite(value)) {
      sum += value;
    } else {
      ++bad;
    }
  }
  not_finite += bad;
  if (bad == n_line) return false;
  float mean = 0.0f;
  if (bad == 0) {
    if (v.vertical) {
      MA_AVERAGE(v.image, 1, line, n_line, line, mean, status);
    } else {
      MA_AVERAGE(v.image, line, 1, line, n_line, mean, status);
    }
  } else {
    mean = static_cast<float>(sum / (n_line - bad));
  }
  for (int j = 1; j <= n_line; ++j) {
    const float value = v(mirrored ? n_line - j + 1 : j, line);
    buffer[j - 1] = std::isfinite(value) ? value - mean : 0.0f;
  }
  // The rest of the buffer goes from the level of the line's last pixels
  // back to that of its first ones, as if the line went on around the
  // circle. With zeros there, the air beside the object (less the line
  // mean) would correlate with itself over the overlap of the two lines,
  // which shrinks as the lag grows, and pull the peak towards lag 0.
  const int ends = std::min(end_pixels, n_line);
  double first_level = 0.0, last_level = 0.0;
  for (int j = 0; j < ends; ++j) {
    first_level += buffer[j];
    last_level += buffer[n_line - 1 - j];
  }
  first_level /= ends;
  last_level /= ends;
  const int pad = n - n_line;
  for (int j = 0; j < pad; ++j) {
    buffer[n_line + j] =
        static_cast<float>(last_level + (first_level - last_level) * (j + 0.5) / pad);
  }
  return true;
}

}  // namespace

namespace kov {

int array_side(int size) {
  if (size < 1 || size > max_image_size) return 0;
  return size < min_array_size ? min_array_size : size;
}

void correct_projection(bool subtract_background, io::View2D<const float> background,
                        bool correct_flatfield, io::View2D<const float> flatfield, int xnum,
                        int ynum, io::View2D<float> image, int& status) {
  if (!io::entry_ok(status, id_axis)) return;
  auto fits = [&](const io::View2D<const float>& v, bool used) {
    return !used || (!v.empty() && xnum <= v.xmaxdat && ynum <= v.ymaxdat);
  };
  if (xnum < 1 || xnum > image.xmaxdat || !fits(background, subtract_background) ||
      !fits(flatfield, correct_flatfield)) {
    status = status_bad_line_length;
    ST_SAVE(id_axis);
    return;
  }
  if (ynum < 1 || ynum > image.ymaxdat) {
    status = status_bad_lines;
    ST_SAVE(id_axis);
    return;
  }
  if (!subtract_background && !correct_flatfield) return;
  for (int y = 1; y <= ynum; ++y) {
    float* row = image.row(y);
    const float* dark = subtract_background ? background.row(y) : nullptr;
    const float* flat = correct_flatfield ? flatfield.row(y) : nullptr;
    if (dark != nullptr && flat != nullptr) {
      for (int x = 0; x < xnum; ++x) row[x] = (row[x] - dark[x]) / (flat[x] - dark[x]);
    } else if (flat != nullptr) {
      for (int x = 0; x < xnum; ++x) row[x] = row[x] / flat[x];
    } else {
      for (int x = 0; x < xnum; ++x) row[x] = row[x] - dark[x];
    }
  }
}

double AxisResult::tilt_degrees() const {
  return std::atan(slope) * 180.0 / 3.14159265358979323846;
}

void axis_positions(bool rotation_vertical, int num_image_1, int num_image_2,
                    io::View2D<const float> first, io::View2D<const float> last, int first_line,
                    int last_line, AxisResult& result, int& status) {
  if (!io::entry_ok(status, id_axis)) return;
  const int n_line = rotation_vertical ? num_image_1 : num_image_2;
  const int lines = rotation_vertical ? num_image_2 : num_image_1;
  auto holds = [&](const io::View2D<const float>& v) {
    return !v.empty() && num_image_1 <= v.xmaxdat && num_image_2 <= v.ymaxdat;
  };
  if (n_line < 2 || n_line > ma::max_correlation / 2 || !holds(first) || !holds(last)) {
    status = status_bad_line_length;
    ST_SAVE(id_axis);
    return;
  }
  if (first_line < 1 || last_line < first_line || last_line > lines) {
    status = status_bad_lines;
    ST_SAVE(id_axis);
    return;
  }

  // The smallest power of two above 2N - 1: the circular correlation then
  // holds every lag from -(N - 1) to N - 1 without wrapping onto another.
  int n = 1;
  while (n <= 2 * n_line - 1) n *= 2;
  std::vector<float> a, b;
  try {
    a.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    IO_WRITE("ERROR: Failed to allocate memory for storing a line of the data", status);
    status = io::status_no_memory;
    ST_SAVE(id_axis);
    return;
  }
  try {
    b.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    IO_WRITE("ERROR: Failed to allocate memory for storing a line of the 180 degree rotated data",
             status);
    status = io::status_no_memory;
    ST_SAVE(id_axis);
    return;
  }

  result = AxisResult{};
  result.line_length = n_line;
  result.first_line = first_line;
  result.last_line = last_line;
  result.position.assign(static_cast<std::size_t>(last_line - first_line + 1),
                         std::numeric_limits<double>::quiet_NaN());
  const LineView v_first{first, rotation_vertical}, v_last{last, rotation_vertical};
  double sum = 0.0, sum_squares = 0.0;
  for (int line = first_line; line <= last_line && status == io::status_good; ++line) {
    std::int64_t bad = 0;
    const bool filled_a = fill_line(v_first, n_line, line, false, n, a.data(), bad, status);
    const bool filled_b = fill_line(v_last, n_line, line, true, n, b.data(), bad, status);
    if (status != io::status_good) return;
    result.pixels_not_finite += bad;
    if (!filled_a || !filled_b) {
      ++result.lines_skipped;
      continue;
    }
    MA_1DCROSSCORR(n, a.data(), n, n, b.data(), status);
    if (status != io::status_good) return;

    // The first of equal maxima wins; elements that are not finite are
    // never taken.
    int peak = 0;
    float highest = -1.7e38f;
    for (int i = 1; i <= n; ++i) {
      const float c = b[static_cast<std::size_t>(i - 1)];
      if (std::isfinite(c) && c > highest) {
        highest = c;
        peak = i;
      }
    }
    double p = std::numeric_limits<double>::quiet_NaN();
    if (peak > 0) {
      const float left = b[static_cast<std::size_t>(peak == 1 ? n - 1 : peak - 2)];
      const float right = b[static_cast<std::size_t>(peak == n ? 0 : peak)];
      // Element i holds lag i - 1; the upper half of the buffer holds the
      // negative lags.
      const int lag = peak - 1 <= n / 2 ? peak - 1 : peak - 1 - n;
      float fitted = 0.0f;
      KOV_FIT_PARABOLA(lag, left, highest, right, fitted, status);
      if (status != io::status_good) return;
      p = fitted;
    }
    if (!std::isfinite(p)) {
      ++result.lines_skipped;
      continue;
    }
    // The axis lies half the lag left of the centre.
    const double position = n_line * 0.5 - p * 0.5;
    result.position[static_cast<std::size_t>(line - first_line)] = position;
    sum += position;
    sum_squares += position * position;
    ++result.lines_used;
  }

  const int m = result.lines_used;
  if (m == 0) return;
  result.mean = sum / m;
  if (m > 1) {
    // Rounding can make the variance of equal positions slightly negative.
    const double variance = (sum_squares - m * result.mean * result.mean) / (m - 1);
    result.deviation = variance > 0.0 ? std::sqrt(variance) : 0.0;
    // The straight line through the positions against the line number.
    double line_mean = 0.0;
    for (int line = first_line; line <= last_line; ++line) {
      if (std::isfinite(result.position[static_cast<std::size_t>(line - first_line)])) {
        line_mean += line;
      }
    }
    line_mean /= m;
    double sxx = 0.0, sxy = 0.0;
    for (int line = first_line; line <= last_line; ++line) {
      const double y = result.position[static_cast<std::size_t>(line - first_line)];
      if (!std::isfinite(y)) continue;
      sxx += (line - line_mean) * (line - line_mean);
      sxy += (line - line_mean) * (y - result.mean);
    }
    result.slope = sxx > 0.0 ? sxy / sxx : 0.0;
    result.intercept = result.mean - result.slope * line_mean;
  } else {
    result.intercept = result.mean;
  }
}

std::vector<std::string> axis_report_lines(const AxisResult& result) {
  std::vector<std::string> lines;
  if (result.pixels_not_finite > 0) {
    lines.push_back("WARNING: " + std::to_string(result.pixels_not_finite) +
                    " corrected pixels of the chosen lines are not finite (a zero");
    lines.push_back("         or non-finite denominator): left out of the line means");
  }
  if (result.lines_skipped > 0) {
    lines.push_back("WARNING: " + std::to_string(result.lines_skipped) + " of " +
                    std::to_string(result.last_line - result.first_line + 1) +
                    " lines have no finite correlation maximum: left out");
  }
  if (!result.usable()) {
    lines.push_back("WARNING: No line gives a usable correlation: the position of the");
    lines.push_back("         rotation axis cannot be calculated");
    return lines;
  }
  lines.push_back("INFO: Average rotation axis position = " + format("%12.5f", result.mean));
  if (result.spread_defined()) {
    lines.push_back("      Standard deviation = " + format("%10.5f", result.deviation));
    lines.push_back("INFO: Axis tilt = " + format("%12.5f", result.tilt_degrees()));
  } else {
    // One line: no spread and no tilt.
    lines.push_back("      Standard deviation =       N.A.");
    lines.push_back("INFO: Axis tilt =         N.A.");
  }
  return lines;
}

void report_axis(const AxisResult& result, int& status) {
  if (!io::entry_ok(status, id_axis)) return;
  for (const auto& line : axis_report_lines(result)) IO_WRITE(line, status);
}

void rotation_axis(bool subtract_background, io::View2D<const float> background,
                   bool correct_flatfield, bool flatfield_changing,
                   io::View2D<const float> flatfield, io::View2D<const float> last_flatfield,
                   bool rotation_vertical, int num_image_1, int num_image_2,
                   io::View2D<float> first, io::View2D<float> last, int first_line,
                   int last_line, AxisResult& result, int& status) {
  if (!io::entry_ok(status, id_axis)) return;
  correct_projection(subtract_background, background, correct_flatfield, flatfield,
                     num_image_1, num_image_2, first, status);
  correct_projection(subtract_background, background, correct_flatfield,
                     flatfield_changing ? last_flatfield : flatfield, num_image_1, num_image_2,
                     last, status);
  axis_positions(rotation_vertical, num_image_1, num_image_2, first, last, first_line,
                 last_line, result, status);
  report_axis(result, status);
}

}  // namespace kov

void KOV_FIT_PARABOLA(int peak, float left, float centre, float right, float& position,
                      int& status) {
  if (!io::entry_ok(status, "Subroutine KOV_FIT_PARABOLA V0.1 ")) return;
  const float a = (left + right) * 0.5f - centre;
  const float b = right - a - centre;
  position = std::fabs(a) <= 1.0e-6f ? static_cast<float>(peak)
                                     : static_cast<float>(peak) - b / (2.0f * a);
}

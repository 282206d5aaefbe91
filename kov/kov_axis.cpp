// The rotation-axis computation without a window: correction, the positions
// of the lines and their statistics.
#include "kov_axis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <numbers>

#include "kov_axis_line.h"
#include "kov_axis_report.h"
#include "kov_axis_weights.h"

namespace {

constexpr const char* id_axis = "Subroutine KOV_ROTATION_AXIS V0.6 ";

// Element (j, line) of a line of an image: along a row for a vertical axis,
// along a column for a horizontal one (j and line from 1).
struct LineView {
  io::View2D<const float> image;
  bool vertical;
  float operator()(int j, int line) const { return vertical ? image(j, line) : image(line, j); }
};

// One line of each projection into `first` and `mirrored` (the 180-degree
// line from its last pixel to its first). Pixels that are not finite take
// the mean of the line's finite ones and are counted; false when a line
// has no finite pixel.
bool read_line_pair(const LineView& first_view, const LineView& last_view, int n_line, int line,
                    float* first, float* mirrored, std::int64_t& not_finite) {
  auto read = [&](const LineView& v, bool mirror, float* out) {
    int bad = 0;
    double sum = 0.0;
    for (int j = 1; j <= n_line; ++j) {
      const float value = v(mirror ? n_line - j + 1 : j, line);
      out[j - 1] = value;
      if (std::isfinite(value)) {
        sum += value;
      } else {
        ++bad;
      }
    }
    not_finite += bad;
    if (bad == n_line) return false;
    if (bad > 0) {
      const float mean = static_cast<float>(sum / (n_line - bad));
      for (int j = 0; j < n_line; ++j) {
        if (!std::isfinite(out[j])) out[j] = mean;
      }
    }
    return true;
  };
  const bool a = read(first_view, false, first);
  const bool b = read(last_view, true, mirrored);
  return a && b;
}

// The mean and standard deviation of the positions of the lines used.
void plain_statistics(kov::AxisResult& r) {
  double sum = 0.0, sum_squares = 0.0;
  for (const double p : r.position) {
    if (!std::isfinite(p)) continue;
    sum += p;
    sum_squares += p * p;
  }
  const int m = r.lines_used;
  if (m == 0) return;
  r.mean = sum / m;
  if (m > 1) {
    // Rounding can make the variance of equal positions slightly negative.
    const double variance = (sum_squares - m * r.mean * r.mean) / (m - 1);
    r.deviation = variance > 0.0 ? std::sqrt(variance) : 0.0;
  }
}

// The weight of a line from the correlation coefficient of its match:
// rho^2 / (1 - rho^2), the ratio of what the two lines share to what they
// do not; rho is taken at most 0.9999, so that noiseless lines weigh alike.
double line_weight(double rho) {
  if (!(rho > 0.0)) return 0.0;
  const double r = std::min(rho, 0.9999);
  return r * r / (1.0 - r * r);
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

void axis_positions(bool rotation_vertical, int num_image_1, int num_image_2,
                    io::View2D<const float> first, io::View2D<const float> last, int first_line,
                    int last_line, AxisResult& result, int& status) {
  if (!io::entry_ok(status, id_axis)) return;
  const int n_line = rotation_vertical ? num_image_1 : num_image_2;
  const int lines = rotation_vertical ? num_image_2 : num_image_1;
  auto holds = [&](const io::View2D<const float>& v) {
    return !v.empty() && num_image_1 <= v.xmaxdat && num_image_2 <= v.ymaxdat;
  };
  if (n_line < 2 || n_line > max_image_size || !holds(first) || !holds(last)) {
    status = status_bad_line_length;
    ST_SAVE(id_axis);
    return;
  }
  if (first_line < 1 || last_line < first_line || last_line > lines) {
    status = status_bad_lines;
    ST_SAVE(id_axis);
    return;
  }

  LineMatcher matcher(n_line);
  if (!matcher.ready()) {
    IO_WRITE("ERROR: Failed to allocate memory for storing a line of the data", status);
    status = io::status_no_memory;
    ST_SAVE(id_axis);
    return;
  }
  std::vector<float> a, b;
  try {
    a.resize(static_cast<std::size_t>(n_line));
    b.resize(static_cast<std::size_t>(n_line));
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
  const auto count = static_cast<std::size_t>(last_line - first_line + 1);
  result.position.assign(count, std::numeric_limits<double>::quiet_NaN());
  result.weight.assign(count, 0.0);
  result.kept.assign(count, 0);
  const LineView v_first{first, rotation_vertical}, v_last{last, rotation_vertical};
  for (int line = first_line; line <= last_line; ++line) {
    const bool read =
        read_line_pair(v_first, v_last, n_line, line, a.data(), b.data(), result.pixels_not_finite);
    const LineMatch match = read ? matcher.match(a.data(), b.data()) : LineMatch{};
    if (!match.found()) {
      ++result.lines_skipped;
      continue;
    }
    // The axis lies half the lag left of the centre.
    const auto i = static_cast<std::size_t>(line - first_line);
    result.position[i] = n_line * 0.5 - match.lag * 0.5;
    result.weight[i] = line_weight(match.rho);
    ++result.lines_used;
  }
  plain_statistics(result);
  weigh_lines(result);
}

void rotation_axis(bool subtract_background, io::View2D<const float> background,
                   bool correct_flatfield, bool flatfield_changing,
                   io::View2D<const float> flatfield, io::View2D<const float> last_flatfield,
                   bool rotation_vertical, int num_image_1, int num_image_2,
                   io::View2D<float> first, io::View2D<float> last, int first_line, int last_line,
                   AxisResult& result, int& status) {
  if (!io::entry_ok(status, id_axis)) return;
  correct_projection(subtract_background, background, correct_flatfield, flatfield, num_image_1,
                     num_image_2, first, status);
  correct_projection(subtract_background, background, correct_flatfield,
                     flatfield_changing ? last_flatfield : flatfield, num_image_1, num_image_2,
                     last, status);
  axis_positions(rotation_vertical, num_image_1, num_image_2, first, last, first_line, last_line,
                 result, status);
  report_axis(result, status);
}

double AxisResult::tilt_degrees() const {
  return std::atan(slope) * 180.0 / std::numbers::pi;
}

bool AxisResult::scatters() const {
  return spread_defined() && deviation > 1.0;
}

bool AxisResult::halves_differ() const {
  return std::isfinite(first_half) && std::isfinite(second_half) &&
         std::fabs(first_half - second_half) > 1.0;
}

bool AxisResult::too_few() const {
  const int range = last_line - first_line + 1;
  return usable() && lines_kept < std::max(3, (range + 3) / 4);
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

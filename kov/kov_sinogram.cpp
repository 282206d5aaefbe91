// One line of every treated projection of the series, corrected: the
// sinogram of the slice. TIFF files and raw binary files with their header
// file are read a line at a time through the readers' region path; other
// formats are read whole and their line taken.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fio.h"
#include "kov_axis.h"
#include "kov_images.h"
#include "kov_sequence.h"
#include "kov_slice.h"

namespace {

constexpr const char* sinogram_id = "Subroutine KOV_READ_SINOGRAM V0.1 ";

// Where the line lies in the images and how many pixels it has.
struct LineSpec {
  bool vertical = true;  // the line is an image row (else a column)
  int line = 1;
  int width = 0, height = 0;  // of the images
  int length() const { return vertical ? width : height; }
  // The line as a region: columns x1 .. x2, rows y1 .. y2.
  int x1() const { return vertical ? 1 : line; }
  int x2() const { return vertical ? width : line; }
  int y1() const { return vertical ? line : 1; }
  int y2() const { return vertical ? line : height; }
};

// The format of `file_name`: from its extension, else the image input's
// current one.
std::string format_of(std::string file_name, int& status) {
  std::string format;
  if (fio::format_from_extension(file_name, format, status) == fio::ExtensionChoice::chosen) {
    return format;
  }
  bool defined = false;
  float overload = 0.0f;
  FIO_INQ_INPUT(defined, format, overload, status);
  return format;
}

// The line of a TIFF file through the region path: true when read (the
// image of the first projection's size).
bool tiff_line(const std::string& file_name, bool imagequant, const LineSpec& l,
               std::vector<float>& out, int& status) {
  int result = 0, file_id = 0;
  FIO_FILEOPEN(file_name, "READ", result, file_id, status);
  if (status != io::status_good || result != fio::stream_done) return false;
  int width = 0, height = 0, xnum = 0, ynum = 0;
  FIO_TIFF_IMAGESIZE(file_id, file_name, width, height, status);
  bool read = false;
  if (status == io::status_good && width == l.width && height == l.height) {
    bool high = false;
    const io::View2D<float> data(out.data(), l.vertical ? l.length() : 1,
                                 l.vertical ? 1 : l.length());
    FIO_IN_IQRIMAGE(file_id, high, imagequant, imagequant, l.x1(), l.y1(), l.x2(), l.y2(), 1, 1,
                    data, xnum, ynum, result, status);
    read = status == io::status_good && result == 0;
  }
  FIO_FILECLOSEC(file_id, result);
  return read;
}

// The line of a raw binary file with its header file: false when there is
// no header file, or the file does not hold the line.
bool binary_line(const std::string& file_name, const LineSpec& l, std::vector<float>& out,
                 int& status) {
  fio::BinaryLayout layout;
  int retstat = 0, xnum = 0, ynum = 0;
  FIO_IN_HEADERFILE(file_name + ".info", layout, retstat, status);
  if (status != io::status_good || retstat != 0) return false;
  if (layout.width != l.width || layout.height != l.height) return false;
  const io::View2D<float> data(out.data(), l.vertical ? l.length() : 1,
                               l.vertical ? 1 : l.length());
  FIO_IN_BINARY_REGION(file_name, layout, l.x1(), l.y1(), l.x2(), l.y2(), data, xnum, ynum, retstat,
                       status);
  return status == io::status_good && retstat == 0;
}

// The line of an image of any other format, read whole into `whole`.
bool whole_line(const std::string& file_name, const std::string& format, const LineSpec& l,
                io::Image<float>& whole, std::vector<float>& out) {
  std::vector<float> x_axis, y_axis;
  std::string problem;
  if (!kov::read_named_image(file_name, format, l.width, l.height, whole, x_axis, y_axis,
                             problem)) {
    if (!problem.empty()) io::say(problem);
    return false;
  }
  for (int k = 1; k <= l.length(); ++k) {
    out[static_cast<std::size_t>(k - 1)] = l.vertical ? whole(k, l.line) : whole(l.line, k);
  }
  return true;
}

// Reads the line of one file into `out` (length() values); a file that
// cannot be read fails the status after a console line naming it.
void read_line(const std::string& file_name, const LineSpec& l, io::Image<float>& whole,
               std::vector<float>& out, int& status) {
  const std::string format = format_of(file_name, status);
  if (status != io::status_good) return;
  out.assign(static_cast<std::size_t>(l.length()), 0.0f);
  bool read = false;
  if (format == fio::format_tiff || format == fio::format_imagequant) {
    read = tiff_line(file_name, format == fio::format_imagequant, l, out, status);
  } else if (format == fio::format_binary && binary_line(file_name, l, out, status)) {
    read = true;
  } else if (status == io::status_good) {
    read = whole_line(file_name, format, l, whole, out);
  }
  if (status != io::status_good) return;
  if (!read) {
    io::say("ERROR: Cannot read line " + std::to_string(l.line) + " of " + file_name + " (" +
            std::to_string(l.width) + " by " + std::to_string(l.height) + " pixels expected)");
    io::fail(kov::status_sinogram_unread, sinogram_id, status);
  }
}

// The name of number `number` in a series.
std::string series_name(const std::string& prefix, int number, bool varies, int digits,
                        const std::string& postfix, int& status) {
  std::string name;
  int retstat = 0;
  IO_FILENAME(prefix, number, !varies, digits, postfix, retstat, name, status);
  if (status == io::status_good && retstat != 0) {
    io::say("ERROR: No file name for number " + std::to_string(number) + " of " + prefix);
    io::fail(kov::status_sinogram_unread, sinogram_id, status);
  }
  return name;
}

// The corrections' lines: the background, and the flat-fields with the
// file numbers they stand at (one at the first number for a single one).
struct Corrections {
  std::vector<float> background;
  std::vector<int> flat_numbers;
  std::vector<std::vector<float>> flats;
};

void read_corrections(const kov::Parameters& p, const LineSpec& l, io::Image<float>& whole,
                      Corrections& c, int& status) {
  if (p.SUBTRACT_BACKGROUND) read_line(p.BACKGROUND_FILE, l, whole, c.background, status);
  if (!p.CORRECT_FLATFIELD) return;
  if (!p.FLATFIELD_CHANGING) {
    c.flat_numbers.push_back(p.NUM_FIRST_IMAGE);
    c.flats.emplace_back();
    read_line(p.FLATFIELD_FILE, l, whole, c.flats.back(), status);
    return;
  }
  const int step = std::max(1, std::abs(p.FF_FILE_INTERVAL)) *
                   (p.FF_NUM_LAST_IMAGE < p.FF_NUM_FIRST_IMAGE ? -1 : 1);
  for (int n = p.FF_NUM_FIRST_IMAGE; status == io::status_good;) {
    const std::string name = series_name(p.FF_PREFIX, n, p.FF_NUMBER_LENGTH_VARIES,
                                         p.FF_LENGTH_OF_NUMERICAL_PART, p.FF_POSTFIX, status);
    c.flat_numbers.push_back(n);
    c.flats.emplace_back();
    read_line(name, l, whole, c.flats.back(), status);
    if (n == p.FF_NUM_LAST_IMAGE) break;
    n = (step > 0) ? std::min(n + step, p.FF_NUM_LAST_IMAGE)
                   : std::max(n + step, p.FF_NUM_LAST_IMAGE);
  }
}

// The flat-field of projection `number`: linear between the two flat-fields
// around it, the nearest one beyond the series' ends.
void flat_at(const Corrections& c, int number, std::vector<float>& flat) {
  const std::size_t count = c.flat_numbers.size();
  std::size_t k = 0;
  const bool rising = count < 2 || c.flat_numbers[1] > c.flat_numbers[0];
  while (k + 1 < count &&
         (rising ? c.flat_numbers[k + 1] <= number : c.flat_numbers[k + 1] >= number)) {
    ++k;
  }
  if (k + 1 >= count) {
    flat = c.flats[k];
    return;
  }
  const double u =
      static_cast<double>(number - c.flat_numbers[k]) / (c.flat_numbers[k + 1] - c.flat_numbers[k]);
  const double w = std::clamp(u, 0.0, 1.0);
  flat.resize(c.flats[k].size());
  for (std::size_t i = 0; i < flat.size(); ++i) {
    flat[i] = static_cast<float>((1.0 - w) * c.flats[k][i] + w * c.flats[k + 1][i]);
  }
}

// The corrections of one line in place (the axis step's correction), then
// the logarithm; pixels that are not finite take the mean of the line's
// finite ones (0 when none is).
void correct_line(const kov::Parameters& p, const Corrections& c, int number,
                  std::vector<float>& flat, float* line, int n, int& status) {
  if (p.CORRECT_FLATFIELD) flat_at(c, number, flat);
  const io::View2D<const float> background(c.background.data(), n, 1);
  kov::correct_projection(p.SUBTRACT_BACKGROUND, background, p.CORRECT_FLATFIELD,
                          io::View2D<const float>(flat.data(), n, 1), n, 1,
                          io::View2D<float>(line, n, 1), status);
  for (int i = 0; p.TAKE_LOGARITHM && i < n; ++i) {
    line[i] = line[i] > 0.0f ? -std::log(line[i]) : std::numeric_limits<float>::quiet_NaN();
  }
  double sum = 0.0;
  int finite = 0;
  for (int i = 0; i < n; ++i) {
    if (std::isfinite(line[i])) {
      sum += line[i];
      ++finite;
    }
  }
  const float mean = finite > 0 ? static_cast<float>(sum / finite) : 0.0f;
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(line[i])) line[i] = mean;
  }
}

// The treated projections' numbers: first to last every FILE_INTERVAL.
std::vector<int> treated_numbers(const kov::Parameters& p) {
  std::vector<int> numbers;
  const int step =
      p.FILE_INTERVAL != 0 ? p.FILE_INTERVAL : (p.NUM_LAST_IMAGE < p.NUM_FIRST_IMAGE ? -1 : 1);
  for (int n = p.NUM_FIRST_IMAGE; step > 0 ? n <= p.NUM_LAST_IMAGE : n >= p.NUM_LAST_IMAGE;
       n += step) {
    numbers.push_back(n);
  }
  return numbers;
}

}  // namespace

void KOV_READ_SINOGRAM(const kov::Parameters& p, int line, kov::Sinogram& sinogram, int& status) {
  if (!io::entry_ok(status, sinogram_id)) return;
  const LineSpec l{p.ROTATION_VERTICAL, line, p.NUM_IMAGE_1, p.NUM_IMAGE_2};
  const int lines = l.vertical ? l.height : l.width;
  if (l.width < 2 || l.height < 1 || line < 1 || line > lines) {
    io::fail(kov::status_bad_slice_line, sinogram_id, status);
    return;
  }
  const std::vector<int> numbers = treated_numbers(p);
  sinogram = kov::Sinogram{};
  sinogram.width = l.length();
  io::Image<float> whole;
  Corrections c;
  read_corrections(p, l, whole, c, status);
  std::vector<float> row, flat;
  const float offset = p.ANGLE_OFFSET * kov::radians_per_degree;
  for (std::size_t k = 0; k < numbers.size() && status == io::status_good; ++k) {
    const std::string name = series_name(p.FILE_PREFIX, numbers[k], p.NUMBER_LENGTH_VARIES,
                                         p.LENGTH_OF_NUMERICAL_PART, p.FILE_POSTFIX, status);
    read_line(name, l, whole, row, status);
    if (status != io::status_good) break;
    correct_line(p, c, numbers[k], flat, row.data(), l.length(), status);
    sinogram.values.insert(sinogram.values.end(), row.begin(), row.end());
    sinogram.angles.push_back(offset + static_cast<float>(k) * p.ANGLE_BETWEEN_PROJECTIONS);
  }
  if (status != io::status_good) return;
  io::say("INFO: Sinogram of line " + std::to_string(line) + " from " +
          std::to_string(numbers.size()) + " projections, " + std::to_string(l.length()) +
          " pixels each");
}

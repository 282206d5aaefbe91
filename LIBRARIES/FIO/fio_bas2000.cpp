// Image plates of the BAS-2000 and BAS-1500 scanners: a text header (".inf",
// one value a line) and the pixels beside it (".img" or ".IMG", no header,
// 8-bit bytes or big-endian 16-bit words, raster by raster). The stored
// values are logarithmic levels QL; each becomes photo-stimulated
// luminescence, PSL = (Rx/100)(Ry/100) (4000/S) 10^(L (QL/G - 1/2)), with the
// pixel sizes Rx and Ry in microns, the sensitivity S, the latitude L and
// G = 2^bits - 1; a level of 0 (no signal) stays 0.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "fio_internal.h"

namespace {

constexpr const char* format = "FUJI BAS-2000";
constexpr const char* magic = "BAS_IMAGE_FILE";

// The numbers of the header.
struct Plate {
  double x_size = 0.0, y_size = 0.0;  // microns
  double bits = 0.0, width = 0.0, height = 0.0;
  double sensitivity = 0.0, latitude = 0.0;
};

// The numeric lines of the header (from 1), what they hold and their range.
struct Field {
  int line;
  const char* name;
  double Plate::*value;
  double low, high;
  bool whole;
};
constexpr Field fields[] = {
    {4, "X pixel size", &Plate::x_size, 1e-3, 1e6, false},
    {5, "Y pixel size", &Plate::y_size, 1e-3, 1e6, false},
    {6, "bits per pixel", &Plate::bits, 1, 16, true},
    {7, "pixels per raster", &Plate::width, 1, 1 << 24, true},
    {8, "number of rasters", &Plate::height, 1, 1 << 24, true},
    {9, "sensitivity", &Plate::sensitivity, 1e-3, 1e9, false},
    {10, "latitude", &Plate::latitude, 1e-3, 10, false},
};
constexpr int header_lines = 10;

// One numeric line into the plate: "" or the warning line that refuses it.
std::string take(const Field& f, const std::string& line, Plate& plate) {
  std::vector<double> v;
  const bool number = fio::numbers_of(line, v) && v.size() == 1;
  if (number && v[0] >= f.low && v[0] <= f.high && (!f.whole || v[0] == std::floor(v[0]))) {
    plate.*f.value = v[0];
    return "";
  }
  char range[64];
  std::snprintf(range, sizeof range, "%s %g to %g", f.whole ? "a whole number" : "a number", f.low,
                f.high);
  return "WARNING: Line " + std::to_string(f.line) + " of the " + format + " header (" + f.name +
         ") is \"" + line.substr(0, 20) + "\", not " + range + ":";
}

// The header in the file open in the input slot: "" or the first line of the
// warning that refuses it.
std::string read_header(Plate& plate) {
  std::string line;
  const Field* next = fields;
  for (int number = 1; number <= header_lines; ++number) {
    if (fio::text_line(line) != fio::TextLine::read) {
      return "WARNING: The " + std::string(format) + " header ends before its line " +
             std::to_string(number) + " (of " + std::to_string(header_lines) + "):";
    }
    if (number == 1 && io::stripped(line) != magic) {
      return "WARNING: Not a " + std::string(format) + " header (line 1 is not \"" + magic + "\"):";
    }
    if (next == std::end(fields) || number != next->line) continue;
    const std::string problem = take(*next++, io::stripped(line), plate);
    if (!problem.empty()) return problem;
  }
  return "";
}

// The pixel file beside the header: its name with ".img" or ".IMG" in place
// of its extension ("" when there is neither).
std::string image_of(const std::string& header) {
  const std::string name = io::trimmed(header);
  const std::size_t dot = name.find_last_of('.');
  const std::size_t slash = name.find_last_of('/');
  const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = extension ? name.substr(0, dot) : name;
  for (const char* e : {".img", ".IMG"}) {
    if (stem + e != name && fio::file_exists(stem + e)) return stem + e;
  }
  return "";
}

// Levels to luminescence over the image read, through a table of every
// level of the stored type; the count of levels above the largest of the
// bit depth.
long long to_psl(const Plate& p, int type, io::View2D<float> data, int xnumdat, int ynumdat) {
  const double levels = std::pow(2.0, p.bits) - 1.0;
  const double scale = p.x_size / 100.0 * (p.y_size / 100.0) * (4000.0 / p.sensitivity);
  std::vector<float> psl(type == fio::type_uint8 ? 256 : 65536, 0.0f);
  for (std::size_t ql = 1; ql < psl.size(); ++ql) {
    const double v = scale * std::pow(10.0, p.latitude * (static_cast<double>(ql) / levels - 0.5));
    psl[ql] = static_cast<float>(std::min(v, double{FLT_MAX}));
  }
  long long above = 0;
  for (int y = 1; y <= ynumdat; ++y) {
    for (int x = 1; x <= xnumdat; ++x) {
      const auto ql = static_cast<std::size_t>(data(x, y));
      if (static_cast<double>(ql) > levels) ++above;
      data(x, y) = psl[ql];
    }
  }
  return above;
}

// The pixels of the image file `image` into the result as luminescence.
void read_plate(const Plate& p, const std::string& image, fio::Result& r, int& status) {
  if (!fio::open_beside(image, status)) return;
  const fio::InputCloser closer;
  fio::BinaryLayout layout;
  layout.width = static_cast<int>(p.width);
  layout.height = static_cast<int>(p.height);
  layout.type = p.bits <= 8 ? fio::type_uint8 : fio::type_uint16;
  layout.high_byte_first = true;
  const std::int64_t bytes =
      static_cast<std::int64_t>(layout.width) * layout.height * fio::type_size(layout.type);
  const std::int64_t size = fio::input_file_size();
  if (size != bytes) {
    fio::refuse("WARNING: The " + std::string(format) + " image holds " + std::to_string(size) +
                    " bytes, not the " + std::to_string(bytes) + " of its header (" +
                    std::to_string(layout.width) + " by " + std::to_string(layout.height) +
                    " pixels of " + std::to_string(static_cast<int>(p.bits)) + " bits):",
                image, status);
    return;
  }
  fio::read_raw(layout, r, status);
  if (status != io::status_good || r.retstat != fio::input_done) return;
  const long long above = to_psl(p, layout.type, r.data, r.xnumdat, r.ynumdat);
  fio::finish_input(r);
  r.zlabel = "PSL";
  if (above > 0) {
    io::say("WARNING: Pixels above the " + std::to_string(static_cast<int>(p.bits)) +
            "-bit range: " + std::to_string(above) + " (the byte order may be wrong)");
  }
}

}  // namespace

namespace fio {

bool bas2000_size(const std::string&, int& width, int& height, int&) {
  Plate p;
  if (!read_header(p).empty()) return false;
  width = static_cast<int>(p.width);
  height = static_cast<int>(p.height);
  return true;
}

}  // namespace fio

void FIO_IN_BAS2000(FIO_RESULT_ARGS, float& x_pixel_size, float& y_pixel_size, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_BAS2000 V0.2 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{FIO_RESULT_PASS};
  Plate plate;
  const auto header = [&] { return read_header(plate); };
  if (!fio::begin_with_header(r, id, header, status)) return;
  fio::close_input();
  const std::string image = image_of(file_name);
  if (image.empty()) {
    fio::refuse("WARNING: No image file (\".img\" or \".IMG\") beside the " + std::string(format) +
                    " header:",
                file_name, status);
    return;
  }
  read_plate(plate, image, r, status);
  if (status != io::status_good || retstat != fio::input_done) return;
  x_pixel_size = static_cast<float>(plate.x_size * 1e-6);
  y_pixel_size = static_cast<float>(plate.y_size * 1e-6);
}

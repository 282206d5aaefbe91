// kov_phantom DIR [options]: demo data for the set-up.
//
// Writes into DIR a numbered series of 16-bit TIFF projections of a
// three-dimensional Shepp-Logan-like head phantom over 180 degrees (the last file 180 degrees
// from the first), with the rotation axis at a known sub-pixel position away
// from the centre, the background (dark-current) image, the flat-field image
// or a series of flat-fields, and "true_axis.txt" with the true axis.
//
// Options:
//   --width W --height H   image size in pixels (512 by 384)
//   --projections P        number of projections, P >= 2 (181: 1 degree apart)
//   --axis-offset D        axis position less the centre of the line, in
//                          pixels; negative puts it left of (below) the centre
//                          (6.37)
//   --horizontal           horizontal rotation axis: lines are image columns,
//                          the axis position is a row coordinate
//   --tilt DEG             the axis leans by DEG degrees (0)
//   --corrections KIND     what the detector adds: none (counts proportional
//                          to the transmission), background (plus an uneven
//                          dark current), flatfield (plus an uneven beam, one
//                          flat-field), series (the beam fading during the
//                          scan, a flat-field every 90 projections) (series)
//   --noise                photon noise (Gaussian of the square root of the
//                          counts)
//   --seed S               seed of the noise (1)
//
// Files: proj_001.tif .. proj_PPP.tif (three digits at least), dark.tif,
// flat.tif (the flat-field of the first projection), and for a series
// flat_001.tif, flat_091.tif, ... up to the last projection's number, each
// taken at the projection of that number. Rows are stored in the order the
// image reader numbers them: the first stored row is row 1.
//
// Coordinates are those of the set-up: along a line, 0.0 is the left (lower)
// edge of its first pixel and N the far edge of the last; the true axis is
// given for the middle line (with a tilt it moves by tan(tilt) per line).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "kov_tiff.h"

namespace {

constexpr double pi = std::numbers::pi;

// One ellipsoid of the head: centre, half-axes (fractions of the object
// radius; z along the rotation axis), turn about the axis, and the change of
// attenuation it brings. A slice cuts it in an ellipse.
struct Ellipsoid {
  double x0, y0, z0, a, b, c, angle_degrees, density;
};
// The three-dimensional head phantom, two further inclusions added.
constexpr Ellipsoid head[] = {
    {0.0, 0.0, 0.0, 0.69, 0.92, 0.81, 0.0, 1.0},
    {0.0, -0.0184, 0.0, 0.6624, 0.874, 0.78, 0.0, -0.8},
    {0.22, 0.0, 0.0, 0.11, 0.31, 0.22, -18.0, -0.2},
    {-0.22, 0.0, 0.0, 0.16, 0.41, 0.28, 18.0, -0.2},
    {0.0, 0.35, -0.15, 0.21, 0.25, 0.41, 0.0, 0.1},
    {0.0, 0.1, 0.25, 0.046, 0.046, 0.05, 0.0, 0.1},
    {0.0, -0.1, 0.25, 0.046, 0.046, 0.05, 0.0, 0.1},
    {-0.08, -0.605, 0.0, 0.046, 0.023, 0.05, 0.0, 0.1},
    {0.0, -0.606, 0.0, 0.023, 0.023, 0.02, 0.0, 0.1},
    {0.06, -0.605, 0.0, 0.023, 0.046, 0.02, 0.0, 0.1},
    {0.35, -0.45, 0.3, 0.08, 0.05, 0.3, 30.0, 0.3},
    {-0.40, 0.30, -0.35, 0.05, 0.09, 0.25, -40.0, -0.15},
};

struct Options {
  std::string dir;
  int width = 512, height = 384, projections = 181;
  double axis_offset = 6.37, tilt_degrees = 0.0;
  bool horizontal = false, noise = false;
  std::string corrections = "series";
  unsigned seed = 1;
};

int usage(const std::string& problem) {
  std::fprintf(stderr, "kov_phantom: %s\n", problem.c_str());
  std::fprintf(stderr,
               "Usage: kov_phantom DIR [--width W] [--height H] [--projections P]\n"
               "       [--axis-offset D] [--horizontal] [--tilt DEG]\n"
               "       [--corrections none|background|flatfield|series] [--noise] [--seed S]\n");
  return 2;
}

// A 16-bit grey TIFF, rows in array order.
bool write_tiff(const std::string& path, int width, int height,
                const std::vector<std::uint16_t>& pixels) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 * pixels.size());
  for (const std::uint16_t v : pixels) {
    bytes.push_back(static_cast<std::uint8_t>(v));
    bytes.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  return kov::write_tiff(path, width, height, kov::TiffSample::unsigned16, bytes);
}

std::string numbered(const std::string& dir, const char* stem, int number, int digits) {
  char name[64];
  std::snprintf(name, sizeof name, "%s_%0*d.tif", stem, digits, number);
  return dir + "/" + name;
}

class Phantom {
 public:
  explicit Phantom(const Options& o)
      : o_(o),
        n_line_(o.horizontal ? o.height : o.width),
        lines_(o.horizontal ? o.width : o.height),
        radius_(0.40 * n_line_),
        noise_gen_(o.seed) {}

  int line_length() const { return n_line_; }
  int lines() const { return lines_; }
  double true_axis() const { return 0.5 * n_line_ + o_.axis_offset; }
  double axis_at(int line) const {
    return true_axis() + (line - 0.5 * (lines_ + 1)) * std::tan(o_.tilt_degrees * pi / 180.0);
  }

  // The dark current and the beam (counts of an empty detector less the
  // dark current) at a pixel of a line, for the projection of index k.
  double dark(int j, int line) const {
    if (o_.corrections == "none") return 0.0;
    return 300.0 + 120.0 * (j - 0.5) / n_line_ + 40.0 * std::sin(line * 0.05);
  }
  double beam(int j, int line, int k) const {
    const double flat_level = 30000.0;
    if (o_.corrections == "none" || o_.corrections == "background") return flat_level;
    const double u = (j - 0.5) / n_line_ - 0.3, v = (line - 0.5) / lines_ - 0.6;
    double f = flat_level * (1.0 - 0.35 * (u * u + 0.6 * v * v)) * (1.0 + 0.04 * std::sin(j * 0.7));
    if (o_.corrections == "series") f *= 1.0 - 0.15 * k / std::max(1, o_.projections - 1);
    return f;
  }

  // The counts of projection k (angle theta) along one line, pixels 1 .. N
  // into out[0 .. N-1]: the transmission averaged over two points of each
  // pixel, the line integral of the slice's attenuation taken in closed form
  // for each ellipse.
  void line_counts(double theta, int line, int k, std::vector<double>& out) {
    // The lines span z from -0.75 to 0.75 of the head, whose outline reaches
    // 0.81: every line crosses it.
    const double z = 1.5 * ((line - 0.5) / lines_ - 0.5);
    const double r = radius_;
    const double mu = 1.6 / (0.4 * radius_);
    struct Shadow {
      double centre, a2, scale;
    };
    std::vector<Shadow> shadows;
    for (const Ellipsoid& e : head) {
      const double q = 1.0 - (z - e.z0) * (z - e.z0) / (e.c * e.c);
      if (q <= 0.0) continue;
      const double a = e.a * r * std::sqrt(q), b = e.b * r * std::sqrt(q);
      const double phi = theta - e.angle_degrees * pi / 180.0;
      const double a2 =
          a * a * std::cos(phi) * std::cos(phi) + b * b * std::sin(phi) * std::sin(phi);
      shadows.push_back({r * (e.x0 * std::cos(theta) + e.y0 * std::sin(theta)), a2,
                         2.0 * e.density * a * b / a2});
    }
    const double axis = axis_at(line);
    out.assign(static_cast<std::size_t>(n_line_), 0.0);
    for (int j = 1; j <= n_line_; ++j) {
      double transmission = 0.0;
      for (double sub : {0.25, 0.75}) {
        const double t = (j - 1 + sub) - axis;
        double path = 0.0;
        for (const Shadow& sh : shadows) {
          const double d = t - sh.centre;
          if (d * d < sh.a2) path += sh.scale * std::sqrt(sh.a2 - d * d);
        }
        transmission += 0.5 * std::exp(-mu * path);
      }
      double c = dark(j, line) + beam(j, line, k) * transmission;
      if (o_.noise) {
        c += std::normal_distribution<double>(0.0, std::sqrt(std::max(c, 1.0)))(noise_gen_);
      }
      out[static_cast<std::size_t>(j - 1)] = c;
    }
  }

  // An image from the values of each line (values(line, out) fills pixels
  // 1 .. N of the line): pixel (x, y) of the file.
  template <typename F>
  std::vector<std::uint16_t> image(F values) {
    std::vector<std::uint16_t> px(static_cast<std::size_t>(o_.width) * o_.height);
    std::vector<double> row;
    for (int line = 1; line <= lines_; ++line) {
      values(line, row);
      for (int j = 1; j <= n_line_; ++j) {
        const int x = o_.horizontal ? line : j, y = o_.horizontal ? j : line;
        const double v = std::clamp(std::round(row[static_cast<std::size_t>(j - 1)]), 0.0, 65535.0);
        px[static_cast<std::size_t>(y - 1) * o_.width + static_cast<std::size_t>(x - 1)] =
            static_cast<std::uint16_t>(v);
      }
    }
    return px;
  }

  // Values of a line from a function of the pixel.
  template <typename F>
  void line_of(int line, std::vector<double>& out, F value) const {
    out.assign(static_cast<std::size_t>(n_line_), 0.0);
    for (int j = 1; j <= n_line_; ++j) out[static_cast<std::size_t>(j - 1)] = value(j, line);
  }

 private:
  const Options& o_;
  int n_line_, lines_;
  double radius_;
  std::mt19937 noise_gen_;
};

// A number of the command line: all of `text`, finite.
bool number(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

// What an option does with the value that follows it ("" when it takes
// none): "" or the problem.
using Take = std::function<std::string(Options& o, const std::string& name, const char* value)>;

Take whole(std::function<void(Options&, int)> set) {
  return [set](Options& o, const std::string& name, const char* value) {
    double v = 0.0;
    if (!number(value, v) || v < 1 || v > 100000 || v != std::floor(v)) {
      return name + " needs a whole number";
    }
    set(o, static_cast<int>(v));
    return std::string();
  };
}

Take real(double Options::*field) {
  return [field](Options& o, const std::string& name, const char* value) {
    double v = 0.0;
    if (!number(value, v)) return name + " needs a number";
    o.*field = v;
    return std::string();
  };
}

Take flag(bool Options::*field) {
  return [field](Options& o, const std::string&, const char*) {
    o.*field = true;
    return std::string();
  };
}

std::string corrections(Options& o, const std::string&, const char* value) {
  o.corrections = value;
  if (o.corrections != "none" && o.corrections != "background" && o.corrections != "flatfield" &&
      o.corrections != "series") {
    return "unknown kind of corrections " + o.corrections;
  }
  return std::string();
}

// The options: name, whether a value follows, what is missing without it,
// what it does.
struct Rule {
  std::string name;
  bool value;
  const char* needs;
  Take take;
};
const std::vector<Rule>& rules() {
  static const std::vector<Rule> table{
      {"--width", true, "a whole number", whole([](Options& o, int n) { o.width = n; })},
      {"--height", true, "a whole number", whole([](Options& o, int n) { o.height = n; })},
      {"--projections", true, "a whole number",
       whole([](Options& o, int n) { o.projections = n; })},
      {"--seed", true, "a whole number",
       whole([](Options& o, int n) { o.seed = static_cast<unsigned>(n); })},
      {"--axis-offset", true, "a number", real(&Options::axis_offset)},
      {"--tilt", true, "a number", real(&Options::tilt_degrees)},
      {"--corrections", true, "a kind", corrections},
      {"--horizontal", false, "", flag(&Options::horizontal)},
      {"--noise", false, "", flag(&Options::noise)},
  };
  return table;
}

// The command line into `o`: "" or the problem of the first argument that
// does not do.
std::string parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto rule =
        std::find_if(rules().begin(), rules().end(), [&](const Rule& r) { return r.name == a; });
    if (rule != rules().end()) {
      if (rule->value && i + 1 >= argc) return a + " needs " + rule->needs;
      const std::string problem = rule->take(o, a, rule->value ? argv[++i] : nullptr);
      if (!problem.empty()) return problem;
    } else if (a.rfind("--", 0) == 0) {
      return "unknown option " + a;
    } else if (o.dir.empty()) {
      o.dir = a;
    } else {
      return "one directory only";
    }
  }
  if (o.dir.empty()) return "no directory given";
  if (o.projections < 2) return "at least 2 projections";
  if (o.width < 16 || o.height < 16 || o.width > 8192 || o.height > 8192) {
    return "width and height from 16 to 8192";
  }
  return "";
}

// The files of the series; "" or the one that cannot be written.
std::string write_projections(const Options& o, Phantom& ph, int digits) {
  for (int k = 0; k < o.projections; ++k) {
    const double theta = pi * k / (o.projections - 1);
    const std::string path = numbered(o.dir, "proj", k + 1, digits);
    const auto px =
        ph.image([&](int line, std::vector<double>& out) { ph.line_counts(theta, line, k, out); });
    if (!write_tiff(path, o.width, o.height, px)) return path;
  }
  return "";
}

// The background, the flat-field and, for a series, a flat-field every 90
// projections.
std::string write_corrections(const Options& o, Phantom& ph, int digits) {
  const std::string dark = o.dir + "/dark.tif";
  const auto dark_px = ph.image([&](int line, std::vector<double>& out) {
    ph.line_of(line, out, [&](int j, int l) { return ph.dark(j, l); });
  });
  if (!write_tiff(dark, o.width, o.height, dark_px)) return dark;
  auto flat_image = [&](int k) {
    return ph.image([&](int line, std::vector<double>& out) {
      ph.line_of(line, out, [&](int j, int l) { return ph.dark(j, l) + ph.beam(j, l, k); });
    });
  };
  const std::string flat = o.dir + "/flat.tif";
  if (!write_tiff(flat, o.width, o.height, flat_image(0))) return flat;
  for (int k = 0; o.corrections == "series" && k < o.projections; k += 90) {
    const std::string path = numbered(o.dir, "flat", k + 1, digits);
    if (!write_tiff(path, o.width, o.height, flat_image(k))) return path;
  }
  return "";
}

// "true_axis.txt"; "" or its name when it cannot be written.
std::string write_truth(const Options& o, const Phantom& ph, int digits) {
  const std::string truth = o.dir + "/true_axis.txt";
  FILE* f = std::fopen(truth.c_str(), "w");
  if (f == nullptr) return truth;
  std::fprintf(f, "! kov_phantom: the true rotation axis of this series\n");
  std::fprintf(f, "ROTATION_AXIS_POSITION = %.6f\n", ph.true_axis());
  std::fprintf(f, "ROTATION_VERTICAL = %s\n", o.horizontal ? "NO" : "YES");
  std::fprintf(f, "AXIS_TILT_DEGREES = %.6f\n", o.tilt_degrees);
  std::fprintf(f, "NUM_IMAGE_1 = %d\nNUM_IMAGE_2 = %d\n", o.width, o.height);
  std::fprintf(f, "PROJECTIONS = %d\n", o.projections);
  std::fprintf(f, "FIRST_FILE = %s\n", numbered(o.dir, "proj", 1, digits).c_str());
  std::fprintf(f, "LAST_FILE = %s\n", numbered(o.dir, "proj", o.projections, digits).c_str());
  std::fprintf(f, "CORRECTIONS = %s\nNOISE = %s\n", o.corrections.c_str(), o.noise ? "YES" : "NO");
  return std::fclose(f) == 0 ? "" : truth;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  const std::string problem = parse(argc, argv, o);
  if (!problem.empty()) return usage(problem);
  Phantom ph(o);
  // The object reaches 0.37 N from the axis: it stays in the field of view.
  if (std::fabs(o.axis_offset) > 0.12 * ph.line_length()) {
    return usage("the axis may lie at most 0.12 of the line from its centre");
  }
  std::error_code ec;
  std::filesystem::create_directories(o.dir, ec);
  if (ec) return usage("cannot make " + o.dir);

  const int digits = std::max(3, static_cast<int>(std::to_string(o.projections).size()));
  std::string failed = write_projections(o, ph, digits);
  if (failed.empty()) failed = write_corrections(o, ph, digits);
  if (failed.empty()) failed = write_truth(o, ph, digits);
  if (!failed.empty()) {
    std::fprintf(stderr, "kov_phantom: cannot write %s\n", failed.c_str());
    return 1;
  }
  std::printf("%d projections of %d by %d pixels in %s; true axis %.6f\n", o.projections, o.width,
              o.height, o.dir.c_str(), ph.true_axis());
  return 0;
}

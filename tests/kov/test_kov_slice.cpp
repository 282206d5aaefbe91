// The slice by filtered back-projection: an analytic phantom from its exact
// projections over a half and a full turn, a shifted axis found by
// reconstruction, the generator's series read and reconstructed through
// kov_axis --series (every correction, both orientations, both sides of
// the centre), and the slice written as a TIFF that the readers read back.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "console_capture.h"
#include "kov_images.h"
#include "kov_slice.h"
#include "run_program.h"

namespace {

constexpr double pi = std::numbers::pi;
const std::string bin = KOV_BINARY_DIR;

// The number after the "=" of the first output line starting with `start`.
double reported(const std::string& output, const std::string& start) {
  const auto at = output.find(start);
  if (at == std::string::npos) return std::numeric_limits<double>::quiet_NaN();
  return std::stod(output.substr(output.find('=', at) + 1));
}

// An ellipse of the phantom: centre and half-axes in pixels from the axis,
// turn in degrees, density per pixel.
struct Ellipse {
  double x0, y0, a, b, degrees, density;
};
// A disk with a few ellipses in it, one of them turned.
const std::vector<Ellipse> phantom = {
    {0.0, 0.0, 90.0, 90.0, 0.0, 0.02},
    {-30.0, 10.0, 25.0, 40.0, 0.0, 0.01},
    {35.0, -20.0, 18.0, 30.0, 30.0, -0.01},
    {10.0, 45.0, 12.0, 12.0, 0.0, 0.015},
};

double density_at(double x, double y) {
  double d = 0.0;
  for (const Ellipse& e : phantom) {
    const double c = std::cos(e.degrees * pi / 180.0), s = std::sin(e.degrees * pi / 180.0);
    const double u = (x - e.x0) * c + (y - e.y0) * s, v = -(x - e.x0) * s + (y - e.y0) * c;
    if (u * u / (e.a * e.a) + v * v / (e.b * e.b) <= 1.0) d += e.density;
  }
  return d;
}

// Distance of (x, y) from the nearest edge of the phantom, in pixels
// (roughly: along the ellipse's normalised radius).
double edge_distance(double x, double y) {
  double nearest = std::numeric_limits<double>::max();
  for (const Ellipse& e : phantom) {
    const double c = std::cos(e.degrees * pi / 180.0), s = std::sin(e.degrees * pi / 180.0);
    const double u = (x - e.x0) * c + (y - e.y0) * s, v = -(x - e.x0) * s + (y - e.y0) * c;
    const double r = std::sqrt(u * u / (e.a * e.a) + v * v / (e.b * e.b));
    nearest = std::min(nearest, std::fabs(r - 1.0) * std::min(e.a, e.b));
  }
  return nearest;
}

// The exact projection at angle theta of the phantom, averaged over each
// pixel of a line of `width` pixels with the axis at `axis`.
kov::Sinogram analytic_sinogram(int width, double axis, int rows, double turn) {
  kov::Sinogram s;
  s.width = width;
  for (int r = 0; r < rows; ++r) {
    const double theta = turn * r / rows;
    s.angles.push_back(static_cast<float>(theta));
    for (int j = 0; j < width; ++j) {
      double sum = 0.0;
      for (double sub : {0.125, 0.375, 0.625, 0.875}) {
        const double t = j + sub - axis;
        for (const Ellipse& e : phantom) {
          const double phi = theta - e.degrees * pi / 180.0;
          const double a2 =
              e.a * e.a * std::cos(phi) * std::cos(phi) + e.b * e.b * std::sin(phi) * std::sin(phi);
          const double d = t - (e.x0 * std::cos(theta) + e.y0 * std::sin(theta));
          if (d * d < a2) sum += 2.0 * e.density * e.a * e.b / a2 * std::sqrt(a2 - d * d);
        }
      }
      s.values.push_back(static_cast<float>(sum / 4.0));
    }
  }
  return s;
}

// The reconstruction of the phantom, half and full turns, axis left and
// right of the centre: within 8 % of the disk's density wherever the
// phantom has no edge within 4 pixels (the window smooths edges over about
// two pixels), and within 3 % on average.
TEST(KovSlice, AnalyticPhantomIsReconstructed) {
  struct Row {
    const char* name;
    int rows;
    double turn;
    double axis;
  } rows[] = {
      {"half turn, axis right of centre", 360, pi, 131.3},
      {"full turn, axis left of centre", 720, 2.0 * pi, 124.6},
      {"half turn, few angles", 180, pi, 128.0},
  };
  const int width = 256;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const kov::Sinogram s = analytic_sinogram(width, row.axis, row.rows, row.turn);
    std::vector<float> slice(static_cast<std::size_t>(width) * width);
    int status = io::status_good;
    KOV_SLICE(s, static_cast<float>(row.axis), 1, width,
              io::View2D<float>(slice.data(), width, width), status);
    ASSERT_EQ(status, io::status_good);
    double worst = 0.0, sum = 0.0;
    int counted = 0;
    for (int j = 1; j <= width; ++j) {
      for (int i = 1; i <= width; ++i) {
        const double x = i - 0.5 - row.axis, y = j - 0.5 - row.axis;
        if (x * x + y * y > 100.0 * 100.0 || edge_distance(x, y) < 4.0) continue;
        const double error =
            std::fabs(slice[static_cast<std::size_t>((j - 1) * width + i - 1)] - density_at(x, y));
        worst = std::max(worst, error);
        sum += error;
        ++counted;
      }
    }
    EXPECT_LT(worst, 0.08 * 0.02);
    EXPECT_LT(sum / counted, 0.03 * 0.02);
  }
}

// An axis given off the truth shows as a known shift: the slices at the
// wrong positions are less sharp, and the axis by reconstruction from a
// start 1.3 pixels off finds the truth within 0.1 pixel.
TEST(KovSlice, ShiftedAxisIsFoundByReconstruction) {
  struct Row {
    const char* name;
    int rows;
    double turn;
    double axis, start;
  } rows[] = {
      {"half turn, start right", 360, pi, 131.3, 132.6},
      {"full turn, start left", 720, 2.0 * pi, 124.6, 123.3},
  };
  const int width = 256;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const kov::Sinogram s = analytic_sinogram(width, row.axis, row.rows, row.turn);
    int status = io::status_good;
    std::vector<std::vector<float>> arrays(
        kov::sweep_count, std::vector<float>(static_cast<std::size_t>(width) * width));
    std::vector<io::View2D<float>> slices;
    for (auto& a : arrays) slices.emplace_back(a.data(), width, width);
    kov::sweep_slices(s, static_cast<float>(row.axis), 1.0f, 1, width, slices, status);
    ASSERT_EQ(status, io::status_good);
    const double at_truth = kov::slice_sharpness(slices[4]);
    for (int k : {0, 2, 3, 5, 6, 8})
      EXPECT_LT(kov::slice_sharpness(slices[static_cast<std::size_t>(k)]), at_truth) << k;
    EXPECT_NEAR(
        kov::axis_by_reconstruction(s, static_cast<float>(row.start), 3.0f, 1, width, status),
        row.axis, 0.1);
    EXPECT_EQ(status, io::status_good);
  }
}

// The generator's series through kov_axis --series: every kind of
// correction, both orientations, both sides of the centre; the axis by
// reconstruction within 0.1 pixel of the truth. The last row writes the
// slice, which the image readers read back at its size.
TEST(KovSlice, DemoSeriesGiveTheTrueAxisByReconstruction) {
  struct Row {
    const char* corrections;
    bool horizontal;
    double offset;
    const char* noise;
  } rows[] = {
      {"none", false, 6.37, ""},      {"background", false, -5.83, "--noise"},
      {"flatfield", false, 9.5, ""},  {"series", false, -7.21, "--noise"},
      {"series", true, 4.66, ""},     {"flatfield", true, -3.3, "--noise"},
      {"background", true, 8.05, ""}, {"none", true, -6.5, ""},
  };
  for (const Row& row : rows) {
    const std::string kind = row.corrections;
    SCOPED_TRACE(kind + (row.horizontal ? " horizontal " : " vertical ") +
                 std::to_string(row.offset));
    kovtest::TempDir dir;
    std::vector<std::string> args{dir.path(),
                                  "--width",
                                  row.horizontal ? "48" : "512",
                                  "--height",
                                  row.horizontal ? "512" : "48",
                                  "--axis-offset",
                                  std::to_string(row.offset),
                                  "--corrections",
                                  kind};
    if (*row.noise != '\0') args.push_back(row.noise);
    if (row.horizontal) args.push_back("--horizontal");
    const auto made = kovtest::run_program(bin + "/tools/kov_phantom", args, {});
    ASSERT_EQ(made.exit_status, 0) << made.output;
    std::vector<std::string> axis{
        dir.file("proj_001.tif"), dir.file("proj_181.tif"), "--series", "--angle", "1", "--out",
        dir.file("slice.tif")};
    if (kind != "none") axis.insert(axis.end(), {"--background", dir.file("dark.tif")});
    if (kind == "flatfield") axis.insert(axis.end(), {"--flatfield", dir.file("flat.tif")});
    if (kind == "series") {
      axis.insert(axis.end(), {"--flatfield", dir.file("flat_001.tif"), "--last-flatfield",
                               dir.file("flat_181.tif"), "--flatfield-interval", "90"});
    }
    if (row.horizontal) axis.push_back("--horizontal");
    const auto found = kovtest::run_program(bin + "/kov/kov_axis", axis, {});
    EXPECT_EQ(found.exit_status, 0) << found.output;
    EXPECT_NEAR(reported(found.output, "INFO: Axis by reconstruction = "), 256.0 + row.offset, 0.1)
        << found.output;
    io::Image<float> slice;
    std::vector<float> x_axis, y_axis;
    std::string problem;
    ASSERT_TRUE(
        kov::read_named_image(dir.file("slice.tif"), "", 0, 0, slice, x_axis, y_axis, problem))
        << problem;
    EXPECT_EQ(slice.xnumdat, 512);
    EXPECT_EQ(slice.ynumdat, 512);
  }
}

}  // namespace

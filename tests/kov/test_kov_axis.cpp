// The rotation-axis computation: kov_axis on the generator's series (one
// driver for every case), the estimator on the table of conditions with a
// known axis, the weighing of the lines and its warnings, the routine on
// lines that hold non-finite pixels, the parabola, the report, the graph,
// and images larger than 2048 pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "axis_pairs.h"
#include "console_capture.h"
#include "gs.h"
#include "kov_axis.h"
#include "kov_axis_graph.h"
#include "kov_axis_report.h"
#include "kov_axis_weights.h"
#include "recording_device.h"
#include "run_program.h"
#include "vg_fixture.h"

namespace {

const std::string bin = KOV_BINARY_DIR;
const std::string phantom = bin + "/tools/kov_phantom";
const std::string axis_program = bin + "/kov/kov_axis";
const std::string imageinfo = bin + "/kov/kov_imageinfo";

kovtest::ProgramResult run(const std::string& program, const std::vector<std::string>& args) {
  return kovtest::run_program(program, args, {});
}

// A value of the generator's "KEY = value" file.
double truth_value(const std::string& dir, const std::string& key) {
  std::ifstream in(dir + "/true_axis.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + " = ", 0) == 0) return std::stod(line.substr(key.size() + 3));
  }
  ADD_FAILURE() << "no " << key << " in " << dir;
  return 0.0;
}

// The number after the last "=" of the output line starting with `start`.
double reported(const std::string& output, const std::string& start) {
  const auto at = output.find(start);
  if (at == std::string::npos) return std::numeric_limits<double>::quiet_NaN();
  return std::stod(output.substr(output.find('=', at) + 1));
}

struct Case {
  const char* name;
  std::vector<std::string> phantom_args;  // after the directory
  const char* corrections;                // which corrections kov_axis is given
  std::vector<std::string> axis_args;     // further options of kov_axis
};

// Each series through kov_axis as a process: the axis within 0.2 pixel of
// the truth, on both sides of the centre, both orientations, every kind of
// correction, and an image wider than the old 2048-pixel arrays.
TEST(KovAxis, PhantomSeriesGiveTheTrueAxis) {
  const std::vector<Case> cases = {
      {"vertical right, none", {"--axis-offset", "6.37", "--corrections", "none"}, "none", {}},
      {"vertical left, background",
       {"--axis-offset", "-5.83", "--corrections", "background", "--noise"},
       "background",
       {}},
      {"vertical right, flat-field",
       {"--axis-offset", "9.5", "--corrections", "flatfield"},
       "flatfield",
       {}},
      {"vertical left, series", {"--axis-offset", "-7.21", "--noise"}, "series", {}},
      {"horizontal right, series",
       {"--horizontal", "--axis-offset", "4.66"},
       "series",
       {"--horizontal"}},
      {"horizontal left, flat-field",
       {"--horizontal", "--axis-offset", "-3.3", "--corrections", "flatfield", "--noise"},
       "flatfield",
       {"--horizontal"}},
      {"horizontal right, background",
       {"--horizontal", "--axis-offset", "8.05", "--corrections", "background"},
       "background",
       {"--horizontal"}},
      {"horizontal left, none",
       {"--horizontal", "--axis-offset", "-6.5", "--corrections", "none"},
       "none",
       {"--horizontal"}},
      {"tilted, some lines",
       {"--axis-offset", "3.1", "--tilt", "0.5", "--corrections", "none"},
       "none",
       {"--lines", "40", "9"}},
      {"2560 pixels wide",
       {"--width", "2560", "--height", "16", "--projections", "3", "--axis-offset", "-11.4",
        "--corrections", "none"},
       "none",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kovtest::TempDir dir;
    // Lines of 160 pixels, 48 of them.
    const bool horizontal = c.axis_args.size() > 0 && c.axis_args[0] == "--horizontal";
    std::vector<std::string> args{dir.path(), "--width", horizontal ? "48" : "160", "--height",
                                  horizontal ? "160" : "48"};
    args.insert(args.end(), c.phantom_args.begin(), c.phantom_args.end());
    const auto made = run(phantom, args);
    ASSERT_EQ(made.exit_status, 0) << made.output;
    const std::string kind = c.corrections;
    const int projections = static_cast<int>(truth_value(dir.path(), "PROJECTIONS"));
    const std::string last = projections == 3 ? "proj_003.tif" : "proj_181.tif";
    std::vector<std::string> axis_args{dir.file("proj_001.tif"), dir.file(last)};
    if (kind != "none") axis_args.insert(axis_args.end(), {"--background", dir.file("dark.tif")});
    if (kind == "flatfield")
      axis_args.insert(axis_args.end(), {"--flatfield", dir.file("flat.tif")});
    if (kind == "series") {
      axis_args.insert(axis_args.end(), {"--flatfield", dir.file("flat_001.tif"),
                                         "--last-flatfield", dir.file("flat_181.tif")});
    }
    axis_args.insert(axis_args.end(), c.axis_args.begin(), c.axis_args.end());
    const auto found = run(axis_program, axis_args);
    EXPECT_EQ(found.exit_status, 0) << found.output;
    const double truth = truth_value(dir.path(), "ROTATION_AXIS_POSITION");
    const double tilt = truth_value(dir.path(), "AXIS_TILT_DEGREES");
    // The truth holds for the middle line, 24.5 of 48, which is also the
    // mean line of 9 .. 40.
    EXPECT_NEAR(reported(found.output, "INFO: Average rotation axis position = "), truth, 0.2)
        << found.output;
    EXPECT_NEAR(reported(found.output, "INFO: Weighted rotation axis position = "), truth,
                c.phantom_args.back() == "--noise" ? 0.1 : 0.05)
        << found.output;
    EXPECT_NEAR(reported(found.output, "INFO: Axis tilt = "), tilt, 0.1) << found.output;
    EXPECT_NE(found.output.find("\n      Standard deviation = "), std::string::npos);
  }
}

// Files that cannot be used: exit status 1 and the reason on the console.
TEST(KovAxis, UnusableInputExitsWithOne) {
  kovtest::TempDir dir;
  ASSERT_EQ(run(phantom, {dir.path(), "--width", "64", "--height", "16", "--projections", "3"})
                .exit_status,
            0);
  const std::string first = dir.file("proj_001.tif"), last = dir.file("proj_003.tif");
  // A flat-field equal to the background: every denominator is zero.
  auto r = run(axis_program, {first, last, "--background", dir.file("dark.tif"), "--flatfield",
                              dir.file("dark.tif")});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_NE(r.output.find("WARNING: 2048 corrected pixels of the chosen lines are not finite"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("WARNING: 16 of 16 lines have no finite correlation maximum"),
            std::string::npos);
  EXPECT_NE(r.output.find("WARNING: No line gives a usable correlation"), std::string::npos);
  EXPECT_EQ(r.output.find("INFO: Average"), std::string::npos);
  EXPECT_EQ(run(axis_program, {first, dir.file("missing.tif")}).exit_status, 1);
  EXPECT_EQ(run(axis_program, {first, last, "--lines", "1", "17"}).exit_status, 2);
  EXPECT_EQ(run(axis_program, {first}).exit_status, 2);
}

// Lines made of two bumps, the second image the mirror about `axis`.
struct Pair {
  int n, lines;
  std::vector<float> first, last;
  Pair(int n_, int lines_, double axis)
      : n(n_), lines(lines_), first(n_ * lines_), last(n_ * lines_) {
    auto object = [&](double x) {
      return 1.0 - 0.5 * std::exp(-std::pow((x - axis - 9.0) / 4.0, 2)) -
             0.3 * std::exp(-std::pow((x - axis + 14.0) / 3.0, 2));
    };
    for (int y = 0; y < lines; ++y) {
      for (int x = 0; x < n; ++x) {
        const double c = x + 0.5;
        first[static_cast<std::size_t>(y * n + x)] = static_cast<float>(object(c));
        last[static_cast<std::size_t>(y * n + x)] = static_cast<float>(object(2.0 * axis - c));
      }
    }
  }
  io::View2D<const float> a() const { return {first.data(), n, lines}; }
  io::View2D<const float> b() const { return {last.data(), n, lines}; }
};

// Non-finite pixels are left out of the means, lines without any finite
// pixel are skipped and counted, and the axis stays where it is.
TEST(KovAxis, NonFinitePixelsAndLines) {
  Pair p(128, 6, 67.3);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  p.first[2] = inf;                                                                    // line 1
  p.last[128 + 100] = nan;                                                             // line 2
  for (int x = 0; x < 128; ++x) p.first[3 * 128 + static_cast<std::size_t>(x)] = nan;  // line 4
  int status = io::status_good;
  kov::AxisResult r;
  kov::axis_positions(true, 128, 6, p.a(), p.b(), 1, 6, r, status);
  ASSERT_EQ(status, io::status_good);
  EXPECT_EQ(r.pixels_not_finite, 130);
  EXPECT_EQ(r.lines_skipped, 1);
  EXPECT_EQ(r.lines_used, 5);
  EXPECT_TRUE(std::isnan(r.position[3]));
  EXPECT_NEAR(r.mean, 67.3, 0.05);
  const auto lines = kov::axis_report_lines(r);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "WARNING: 130 corrected pixels of the chosen lines are not finite (a zero");
  EXPECT_EQ(lines[2], "WARNING: 1 of 6 lines have no finite correlation maximum: left out");

  // A zero flat-field pixel and a dead column (flat-field equal to the
  // background) in the correction.
  std::vector<float> dark(128 * 6, 0.1f), flat(128 * 6, 2.1f);
  flat[5] = 0.0f;
  for (int y = 0; y < 6; ++y) flat[static_cast<std::size_t>(y * 128 + 40)] = 0.1f;
  std::vector<float> image(p.first.begin(), p.first.end());
  kov::correct_projection(true, {dark.data(), 128, 6}, true, {flat.data(), 128, 6}, 128, 6,
                          {image.data(), 128, 6}, status);
  EXPECT_TRUE(std::isfinite(image[5]));  // (v - 0.1) / (0 - 0.1)
  EXPECT_FALSE(std::isfinite(image[40]));
  EXPECT_FLOAT_EQ(image[6], (p.first[6] - 0.1f) / 2.0f);
}

// The report: a single line has a mean but no spread or tilt and is too
// few to check; equal lines have a spread of 0, never NaN; lines outside
// the image and a line too short are refused.
TEST(KovAxis, ReportOfOneLineAndOfEqualLines) {
  Pair p(64, 40, 30.25);
  int status = io::status_good;
  kov::AxisResult r;
  kov::axis_positions(true, 64, 40, p.a(), p.b(), 7, 7, r, status);
  ASSERT_EQ(status, io::status_good);
  const auto one = kov::axis_report_lines(r);
  ASSERT_EQ(one.size(), 6u);
  EXPECT_EQ(one[0].substr(0, 39), "INFO: Average rotation axis position = ");
  EXPECT_NEAR(std::stod(one[0].substr(39)), 30.25, 0.02);
  EXPECT_EQ(one[0].size(), 39u + 12u);
  EXPECT_EQ(one[1], "      Standard deviation =       N.A.");
  EXPECT_EQ(one[2].substr(0, 40), "INFO: Weighted rotation axis position = ");
  EXPECT_EQ(one[2].substr(52), " (0 of 1 lines set aside)");
  EXPECT_EQ(one[3], "INFO: Axis tilt =         N.A. degrees");
  EXPECT_EQ(one[4], "WARNING: Only 1 of 1 lines were kept (fewer than 3, or than a quarter");
  EXPECT_EQ(
      kov::axis_warning_box(r),
      (std::vector<std::string>{"ONLY 1 OF 1 LINES WERE KEPT:", "TOO FEW TO CHECK THE POSITION",
                                "LOOK AT THE GRAPH BEFORE ACCEPTING"}));

  kov::axis_positions(true, 64, 40, p.a(), p.b(), 1, 40, r, status);
  EXPECT_EQ(r.lines_used, 40);
  EXPECT_TRUE(std::isfinite(r.deviation));
  EXPECT_LT(r.deviation, 1e-4);
  const auto equal = kov::axis_report_lines(r);
  ASSERT_EQ(equal.size(), 4u);
  EXPECT_EQ(equal[1], "      Standard deviation =    0.00000");
  EXPECT_EQ(equal[3], "INFO: Axis tilt =      0.00000 degrees");
  EXPECT_TRUE(kov::axis_warning_box(r).empty());
  // The axis by reconstruction warns beyond 1 pixel from the weighted position.
  EXPECT_TRUE(kov::axis_warning_box(r, r.weighted + 0.99).empty());
  EXPECT_EQ(kov::axis_warning_box(r, r.weighted - 1.25),
            (std::vector<std::string>{"THE AXIS BY RECONSTRUCTION LIES",
                                      "1.25 PIXELS FROM THE CORRELATION'S",
                                      "LOOK AT THE GRAPH BEFORE ACCEPTING"}));

  kov::axis_positions(true, 64, 40, p.a(), p.b(), 0, 40, r, status);
  EXPECT_EQ(status, kov::status_bad_lines);
  status = io::status_good;
  kov::axis_positions(true, 1, 40, p.a(), p.b(), 1, 40, r, status);
  EXPECT_EQ(status, kov::status_bad_line_length);
}

// The estimator on pairs with a known axis (a representative part of the
// table that kov_axis_table prints whole): each within its goal, and never
// more than 0.05 pixel worse than the original estimator where that is
// within 0.3 pixel.
TEST(KovAxis, ConditionsOfTheTableMeetTheirGoals) {
  const std::vector<std::string> names{
      "uncorrected, even beam",
      "gradient 10 %",
      "gradient 20 %",
      "strong absorber (99 %)",
      "object 20 % wide",
      "object 90 % wide",
      "object leaves the field, gradient 10 %",
      "axis at 30 %",
      "noise 300 counts",
      "256 pixels",
      "horizontal axis, gradient 5 %",
      "thin container lines above the sample, noise 3000",
  };
  std::size_t found = 0;
  for (const axis_pairs::Condition& condition : axis_pairs::table()) {
    if (std::find(names.begin(), names.end(), condition.name) == names.end()) continue;
    ++found;
    SCOPED_TRACE(condition.name);
    const axis_pairs::Outcome o = axis_pairs::run(condition);
    EXPECT_TRUE(o.meets(condition))
        << "offered " << o.offered << ", truth " << o.truth << ", baseline " << o.baseline;
    if (condition.counts == 0.0) {
      EXPECT_EQ(o.lines_set_aside, 0);
      EXPECT_TRUE(o.warnings.empty());
    }
  }
  EXPECT_EQ(found, names.size());
  // The thin lines above the sample are set aside, and said to scatter.
  const axis_pairs::Condition thin = axis_pairs::table().back();
  const axis_pairs::Outcome o = axis_pairs::run(thin);
  EXPECT_GT(o.lines_set_aside, 30);
  ASSERT_FALSE(o.warnings.empty());
  EXPECT_EQ(o.warnings[0].rfind("WARNING: The positions of the lines scatter by ", 0), 0u);
}

// Lines of given positions and weights: the weighted position, the lines
// set aside, the tilt and the warnings.
TEST(KovAxis, WeighingOfTheLines) {
  struct Row {
    const char* name;
    std::vector<double> position, weight;
    double weighted;
    int set_aside;
    double tilt;              // degrees
    std::vector<bool> warns;  // scatters, halves differ, too few
  };
  auto repeat = [](std::vector<double> v, std::size_t n) {
    std::vector<double> out;
    while (out.size() < n) out.insert(out.end(), v.begin(), v.end());
    out.resize(n);
    return out;
  };
  std::vector<double> tilted;
  for (int i = 0; i < 20; ++i) tilted.push_back(100.0 + 0.2 * (i - 9.5));
  std::vector<double> outliers = repeat({100.0, 100.01, 99.99, 100.0}, 20);
  for (int i : {3, 8, 12, 17}) outliers[static_cast<std::size_t>(i)] = 130.0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Row> rows{
      {"agreeing lines",
       repeat({100.0, 100.02}, 20),
       repeat({50.0}, 20),
       100.01,
       0,
       0.0,
       {false, false, false}},
      {"four outliers", outliers, repeat({50.0}, 20), 100.0, 4, 0.0, {true, false, false}},
      {"tilted axis",
       tilted,
       repeat({50.0}, 20),
       100.0,
       0,
       std::atan(0.2) * 180.0 / std::numbers::pi,
       {true, true, false}},
      {"noise lines beside good ones",
       repeat({50.0, 31.0, 50.0, 77.0}, 20),
       repeat({200.0, 0.05}, 20),
       50.0,
       10,
       0.0,
       {true, false, false}},
      {"no weight but three lines",
       repeat({7.0, 7.05}, 13),
       {1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       7.01667,
       10,
       0.0,
       {false, false, true}},
      {"a skipped line", {5.0, nan, 5.0, 5.0}, {1, 0, 1, 1}, 5.0, 0, 0.0, {false, false, false}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    kov::AxisResult r;
    r.first_line = 11;
    r.last_line = 10 + static_cast<int>(row.position.size());
    r.position = row.position;
    r.weight = row.weight;
    r.kept.assign(row.position.size(), 0);
    for (double p : row.position) r.lines_used += std::isfinite(p) ? 1 : 0;
    double sum = 0.0, squares = 0.0;
    for (double p : row.position) {
      if (!std::isfinite(p)) continue;
      sum += p;
      squares += p * p;
    }
    r.mean = sum / r.lines_used;
    r.deviation =
        std::sqrt(std::max(0.0, (squares - r.lines_used * r.mean * r.mean) / (r.lines_used - 1)));
    kov::weigh_lines(r);
    EXPECT_NEAR(r.weighted, row.weighted, 2e-3);
    EXPECT_EQ(r.lines_set_aside(), row.set_aside);
    EXPECT_NEAR(r.tilt_degrees(), row.tilt, 0.02);
    EXPECT_EQ((std::vector<bool>{r.scatters(), r.halves_differ(), r.too_few()}), row.warns);
  }
}

// The graph: kept, weighed-down and set-aside lines in their markers and
// colours, the set-aside ones inside the frame, and the legend.
TEST(KovAxis, GraphShowsWhatTheWeighingDid) {
  kov::AxisResult r;
  r.first_line = 1;
  r.last_line = 10;
  r.position = {50.0, 50.1, 49.9, 50.0, 80.0, 50.05, 49.95, 50.0, 50.02, 49.98};
  r.weight = {9, 9, 9, 9, 9, 9, 9, 0.1, 9, 9};
  r.kept.assign(10, 0);
  r.lines_used = 10;
  r.mean = 53.0;
  r.deviation = 9.5;
  kov::weigh_lines(r);
  ASSERT_EQ(r.lines_set_aside(), 1);
  kovtest::Graphics g;
  g.window.clear();
  kov::draw_axis_graph(r, true, g.status);
  ASSERT_EQ(g.status, io::status_good);
  int plus = 0, circle = 0, cross = 0;
  for (const auto& call : g.window.calls_of("polymarker")) {
    const auto& st = call.state;
    if (st.marker_type == 2 && st.marker_colour == g.index(gs::blue)) plus += call.x.size();
    if (st.marker_type == 4 && st.marker_colour == g.index(gs::orange)) circle += call.x.size();
    if (st.marker_type == 5 && st.marker_colour == g.index(gs::magenta)) {
      cross += call.x.size();
      // The line set aside at 80 lies beyond the graph: drawn at its edge.
      if (call.y.size() == 1 && call.x[0] == 5.0f) {
        EXPECT_LT(call.y[0], 51.0f);
      }
    }
  }
  // One marker of each kind is the legend's.
  EXPECT_EQ(plus, 8 + 1);
  EXPECT_EQ(circle, 1 + 1);
  EXPECT_EQ(cross, 1 + 1);
  g.text_call("Position of a line kept (8)");
  g.text_call("Weighed down: weight under a tenth (1)");
  g.text_call("Set aside (1; at the edge when off the graph)");
  char weighted[64];
  std::snprintf(weighted, sizeof weighted, "Weighted position %.5f", r.weighted);
  g.text_call(weighted);
}

// The vertex of the parabola through three points; a flat top keeps the peak.
TEST(KovAxis, FitParabola) {
  struct Row {
    int peak;
    float left, centre, right, position;
  };
  const Row rows[] = {
      {5, 2.0f, 2.0f, 2.0f, 5.0f},            // flat top
      {5, 1.0f, 1.0000004f, 1.0f, 5.0f},      // |a| below 1.0e-6
      {5, -1.69f, -0.09f, -0.49f, 5.3f},      // -(x - 0.3)^2
      {-12, -0.25f, -0.25f, -2.25f, -12.5f},  // -(x + 0.5)^2
  };
  for (const Row& r : rows) {
    int status = io::status_good;
    float position = 0.0f;
    KOV_FIT_PARABOLA(r.peak, r.left, r.centre, r.right, position, status);
    EXPECT_EQ(status, io::status_good);
    EXPECT_NEAR(position, r.position, 1e-5) << r.peak << " " << r.left;
  }
}

// Images are read whole up to 8192 pixels a side and refused beyond.
TEST(KovAxis, ImageSizesBeyondTheOldArrays) {
  kovtest::TempDir dir;
  ASSERT_EQ(run(phantom, {dir.path(), "--width", "2560", "--height", "20", "--projections", "2",
                          "--corrections", "none"})
                .exit_status,
            0);
  // The keyword header and raw binary with its header file tell their size
  // before the pixels too.
  const std::string pixels(2100 * 2 * 2, '\x01');
  kovtest::write_file(dir.file("k.zdf"),
                      "{\nDIM_1 = 2100;\nDIM_2 = 2;\nDataType = UnsignedShort;\n}" + pixels);
  kovtest::write_file(dir.file("r.bin"), pixels);
  kovtest::write_file(dir.file("r.bin.info"), "WIDTH = 2100\nHEIGHT = 2\nTYPE = UINT16\n");
  auto r = run(imageinfo, {dir.file("proj_001.tif"), dir.file("k.zdf"), dir.file("r.bin")});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_NE(r.output.find("proj_001.tif: TIFF 2560 x 20 "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("k.zdf: MERIN 2100 x 2 min 257 max 257"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("r.bin: BINARY 2100 x 2 min 257 max 257"), std::string::npos) << r.output;
  // A wider 180-degree projection would fit the first one's array only cut.
  ASSERT_EQ(run(phantom, {dir.file("wide"), "--width", "2600", "--height", "20", "--projections",
                          "2", "--corrections", "none"})
                .exit_status,
            0);
  r = run(axis_program, {dir.file("proj_001.tif"), dir.file("wide/proj_002.tif")});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_NE(r.output.find(": THE IMAGE SIZE DIFFERS FROM THE FIRST PROJECTION: 2600 BY 20 "
                          "PIXELS, NOT 2560 BY 20"),
            std::string::npos)
      << r.output;

  ASSERT_EQ(run(phantom, {dir.path(), "--width", "8192", "--height", "16", "--projections", "2",
                          "--corrections", "none"})
                .exit_status,
            0);
  // One column more than the arrays can take: the width field is patched.
  std::string bytes = kovtest::read_file(dir.file("proj_001.tif"));
  const std::size_t ifd = 8 + 8192u * 16u * 2u + 2u;
  ASSERT_EQ(static_cast<unsigned char>(bytes[ifd]), 0u);  // tag 256, low byte
  bytes[ifd + 8] = static_cast<char>(0x01);               // 8192 -> 8193
  kovtest::write_file(dir.file("big.tif"), bytes);
  r = run(axis_program, {dir.file("big.tif"), dir.file("proj_002.tif")});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_NE(r.output.find("holds 8193 by 16 pixels, more than 8192 by 8192"), std::string::npos)
      << r.output;
}

}  // namespace

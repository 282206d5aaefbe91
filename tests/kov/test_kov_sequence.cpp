// The arithmetic of the guided set-up: from the first and last file names
// to the record, the angle and the 90-degree projection; voxel ranges from
// clicks; the volume report; the remembered answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "kov_sequence.h"

namespace {

// The sequence from the two chosen names to the 90-degree file, as the set-up
// runs it around its forms (`form_interval` entered in control form 1, the
// default angle kept in control form 2).
struct Walk {
  kov::Parameters p;
  int step = 0;
  float default_degrees = -1.0F;
  kov::NinetyDegree ninety;
  std::string ninety_name;
  std::vector<std::string> console;
};

Walk run(const std::string& first, const std::string& last, int form_interval) {
  Walk r;
  int status = ST_GOOD();
  int retstat = -9;
  io::FileSeries series;
  IO_FILESEQUENCE(first, last, retstat, series, status);
  EXPECT_EQ(retstat, 0);
  kov::take_projection_series(series, r.p, retstat);
  EXPECT_EQ(retstat, 0);
  r.step = series.step;
  r.default_degrees = kov::default_angle_degrees(r.p.NUM_FIRST_IMAGE, r.p.NUM_LAST_IMAGE);
  r.p.FILE_INTERVAL = form_interval;
  r.p.angle_between_files = r.default_degrees;  // control form 2
  kov::combine_interval(r.step, r.p);
  kovtest::ConsoleCapture console;
  r.ninety = kov::ninety_degree_projection(r.p, status);
  r.console = console.lines();
  kov::projection_file_name(r.p, r.ninety.number, r.ninety_name, retstat, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(status, ST_GOOD());
  // The record rebuilds the two chosen names, as kov_slave will.
  std::string name;
  kov::projection_file_name(r.p, r.p.NUM_FIRST_IMAGE, name, retstat, status);
  EXPECT_EQ(name, first);
  kov::projection_file_name(r.p, r.p.NUM_LAST_IMAGE, name, retstat, status);
  EXPECT_EQ(name, last);
  return r;
}

TEST(KovSequence, FromTheChosenFilesToThe90DegreeProjection) {
  const std::string zero_angle =
      "WARNING: The angle between projections is 0.0: the first file is offered as the 90 "
      "degree projection";
  const struct {
    const char* first;
    const char* last;
    int form_interval;
    float degrees;  // default angle
    int interval;   // FILE_INTERVAL after the forms
    float treated_degrees;
    int k;
    const char* ninety;
    bool warned;
  } cases[] = {
      {"/d/scan_0001.tif", "/d/scan_0180.tif", 1, 1.0F, 1, 1.0F, 90, "/d/scan_0091.tif", false},
      // Last below first: the interval turns negative, the angle does not.
      {"/d/p180.dat", "/d/p1.dat", 1, 1.0F, -1, 1.0F, 90, "/d/p90.dat", false},
      {"/d/f0360_a.img", "/d/f0001_a.img", 2, 0.5F, -2, 1.0F, 90, "/d/f0180_a.img", false},
      // Number length varying; every third file.
      {"im1.tif", "im360.tif", 3, 0.5F, 3, 1.5F, 60, "im181.tif", false},
      // One file: no angle, the first file is offered.
      {"/d/only_0007.tif", "/d/only_0007.tif", 1, 0.0F, 1, 0.0F, 0, "/d/only_0007.tif", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    const Walk r = run(c.first, c.last, c.form_interval);
    EXPECT_FLOAT_EQ(r.default_degrees, c.degrees);
    EXPECT_EQ(r.p.FILE_INTERVAL, c.interval);
    EXPECT_NEAR(r.p.ANGLE_BETWEEN_PROJECTIONS * kov::degrees_per_radian, c.treated_degrees, 1e-5);
    EXPECT_EQ(r.ninety.k, c.k);
    EXPECT_EQ(r.ninety_name, c.ninety);
    EXPECT_EQ(r.console,
              c.warned ? std::vector<std::string>{zero_angle} : std::vector<std::string>{});
  }
}

TEST(KovSequence, SeriesFieldsAndOutputFile) {
  io::FileSeries s;
  s.prefix = "/d/ff_";
  s.first = 3;
  s.last = 12;
  s.variable = true;
  s.postfix = "_dark";
  s.extension = ".edf";
  kov::Parameters p;
  int retstat = -9;
  kov::take_flatfield_series(s, p, retstat);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(p.FF_PREFIX, "/d/ff_");
  EXPECT_EQ(p.FF_NUM_FIRST_IMAGE, 3);
  EXPECT_EQ(p.FF_NUM_LAST_IMAGE, 12);
  EXPECT_TRUE(p.FF_NUMBER_LENGTH_VARIES);
  EXPECT_EQ(p.FF_POSTFIX, "_dark.edf");
  EXPECT_EQ(p.FILE_PREFIX, "");  // the projection series is not touched

  // Names that the record's fields cannot hold are refused, not cut.
  const kov::Parameters before = p;
  io::FileSeries too_long = s;
  too_long.prefix = std::string(257, 'd');
  kov::take_flatfield_series(too_long, p, retstat);
  EXPECT_EQ(retstat, -1);
  too_long = s;
  too_long.postfix = std::string(77, 'x');  // with ".edf", 81 characters
  kov::take_projection_series(too_long, p, retstat);
  EXPECT_EQ(retstat, -1);
  EXPECT_EQ(p.FF_PREFIX, before.FF_PREFIX);
  EXPECT_EQ(p.FILE_POSTFIX, before.FILE_POSTFIX);
  // Where such names are chosen, they are refused with why.
  int status = ST_GOOD();
  const std::string x81(81, 'x'), d257(257, 'd');
  const std::vector<std::string> fits{};
  const auto why = [](const char* what, int length, int width) {
    return std::vector<std::string>{
        std::string(what) + " HAS " + std::to_string(length) + " CHARACTERS:",
        "THE PARAMETER FILE HOLDS AT MOST " + std::to_string(width)};
  };
  const struct {
    std::vector<std::string> refusal, expected;
  } refusals[] = {
      {kov::first_name_too_long("/d/p_0001.tif"), fits},
      {kov::first_name_too_long(d257), why("THE NAME", 257, 256)},
      {kov::first_name_too_long("/d/p_0001" + x81), why("THE NAME AFTER ITS NUMBER", 81, 80)},
      {kov::series_too_long("/d/p1_" + x81, "/d/p9_" + x81, status),
       why("THE NAME AFTER ITS NUMBER", 82, 80)},
      {kov::series_too_long(d257 + "1.tif", d257 + "9.tif", status),
       why("THE NAME BEFORE ITS NUMBER", 257, 256)},
      {kov::series_too_long("/d/a.tif", "/d/b.tif", status), fits},  // no series: said later
      {kov::name_too_long("THE NAME", std::string(256, 'n') + "  ", 256), fits},
  };
  for (const auto& r : refusals) EXPECT_EQ(r.refusal, r.expected);

  const struct {
    std::string first;
    std::string output;
  } outputs[] = {
      {"/d/proj_0001.tif", "/d/proj_0001.vol"},
      {"/d/run.3/proj_0001", "/d/run.3/proj_0001.vol"},  // no extension: the whole name
      {"proj", "proj.vol"},
      {"", ".vol"},
      // Whole, not cut: control form 2 refuses it.
      {std::string(254, 'a') + ".tif", std::string(254, 'a') + ".vol"},
  };
  for (const auto& o : outputs) {
    std::string output = "unchanged";
    kov::default_output_file(o.first, output, status);
    EXPECT_EQ(output, o.output) << o.first;
  }
  EXPECT_EQ(status, ST_GOOD());
}

TEST(KovSequence, VoxelRangesFromClicks) {
  const struct {
    float c1, c2;
    int start, end;
  } clicks[] = {
      {10.7F, 10.7F, 11, 11},                          // one voxel
      {10.3F, 10.3F, 11, 10},                          // none: the end one below the start
      {5.6F, 20.2F, 6, 20},     {20.2F, 5.6F, 6, 20},  // either order
      {0.0F, 1024.0F, 1, 1024},
  };
  for (const auto& c : clicks) {
    const kov::VoxelRange r = kov::clicked_range(c.c1, c.c2);
    EXPECT_EQ(r.start, c.start) << c.c1 << " " << c.c2;
    EXPECT_EQ(r.end, c.end) << c.c1 << " " << c.c2;
  }

  kov::Parameters p;
  p.NUM_IMAGE_1 = 1024;
  p.NUM_IMAGE_2 = 768;
  kov::first_image_volume(300.2F, 700.6F, 100.4F, 50.3F, p);
  EXPECT_EQ(std::vector<int>({p.START_VOXEL_1, p.END_VOXEL_1, p.START_VOXEL_3, p.END_VOXEL_3}),
            std::vector<int>({101, 300, 51, 701}));

  // Vertical axis: a rectangle at the left of the 90-degree view lies at
  // the far end of Y; the slices widen to the new clicks, never narrow.
  kov::Parameters v = p;
  kov::depth_volume(100.7F, 40.0F, 10.2F, 600.0F, v);
  EXPECT_EQ(std::vector<int>({v.START_VOXEL_2, v.END_VOXEL_2, v.START_VOXEL_3, v.END_VOXEL_3,
                              v.START_VOXEL_1, v.END_VOXEL_1}),
            std::vector<int>({924, 1014, 41, 701, 101, 300}));
  // Horizontal axis: the y clicks mirrored over the image height, X widened.
  kov::Parameters h = p;
  h.ROTATION_VERTICAL = false;
  kov::depth_volume(150.0F, 10.2F, 90.0F, 100.7F, h);
  EXPECT_EQ(std::vector<int>({h.START_VOXEL_2, h.END_VOXEL_2, h.START_VOXEL_1, h.END_VOXEL_1,
                              h.START_VOXEL_3, h.END_VOXEL_3}),
            std::vector<int>({668, 758, 91, 300, 51, 701}));
}

TEST(KovSequence, VolumeReport) {
  kov::Parameters p;
  p.START_VOXEL_1 = p.START_VOXEL_2 = p.START_VOXEL_3 = 1;
  p.END_VOXEL_1 = p.END_VOXEL_2 = p.END_VOXEL_3 = 2048;
  kovtest::ConsoleCapture console;
  int status = ST_GOOD();
  kov::report_volume(p, status);
  EXPECT_EQ(console.lines(), (std::vector<std::string>{
                                 "INFO: Range of volume to reconstruct:",
                                 "      X start:      1 X end:   2048",
                                 "      Y start:      1 Y end:   2048",
                                 "      Z start:      1 Z end:   2048",
                                 "INFO: Size of volume =   2048 *   2048 *   2048",
                                 "      Total voxels =     8589934592",
                             }));
  // An empty range (two clicks at 10.3) counts no voxel.
  p.START_VOXEL_2 = 11;
  p.END_VOXEL_2 = 10;
  EXPECT_EQ(kov::volume_report_lines(p)[5], "      Total voxels =              0");
}

TEST(KovSequence, RememberedAnswers) {
  int status = ST_GOOD();
  // Nothing remembered yet: the values passed in stay.
  kov::Parameters p;
  kov::load_pixel_sizes(p, status);
  EXPECT_FLOAT_EQ(p.horizontal_pixel_size, 2.0e-6F);
  EXPECT_FLOAT_EQ(p.vertical_pixel_size, 2.0e-6F);
  std::string first = kov::initial_first_file;
  kov::load_first_file_name(first, status);
  EXPECT_EQ(first, "projection_1.dat");
  int interval = 100;
  kov::load_ff_interval(interval, status);
  EXPECT_EQ(interval, 100);

  p.horizontal_pixel_size = 6.5e-6F;
  p.vertical_pixel_size = 1.3e-5F;
  kov::store_pixel_sizes(p, status);
  kov::store_first_file_name("/d/scan_0001.tif   ", status);
  kov::store_ff_interval(25, status);
  kov::Parameters q;
  kov::load_pixel_sizes(q, status);
  kov::load_first_file_name(first, status);
  kov::load_ff_interval(interval, status);
  EXPECT_FLOAT_EQ(q.horizontal_pixel_size, 6.5e-6F);
  EXPECT_FLOAT_EQ(q.vertical_pixel_size, 1.3e-5F);
  EXPECT_EQ(first, "/d/scan_0001.tif");
  EXPECT_EQ(interval, 25);
  // Under the keys that the database file keeps.
  int length = 0;
  std::string value;
  int retstat = -9;
  IO_INQ_KEYVALUE("FILE_FIRST_DATA", length, value, retstat, status);
  EXPECT_EQ(value.substr(0, static_cast<std::size_t>(length)), "/d/scan_0001.tif");
  IO_INQ_IKEYVALUE("FF_INTERVAL", interval, retstat, status);
  EXPECT_EQ(interval, 25);
  float size = 0.0F;
  IO_INQ_RKEYVALUE("Y_PIXEL_SIZE", size, retstat, status);
  EXPECT_FLOAT_EQ(size, 1.3e-5F);
  EXPECT_EQ(status, ST_GOOD());
}

}  // namespace

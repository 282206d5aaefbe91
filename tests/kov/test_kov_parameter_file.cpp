// The parameter file against golden files written by hand from its
// description, its number fields at their limits, and its safe writing:
// a failing write leaves nothing behind and the old file as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "console_capture.h"
#include "file_size_limit.h"
#include "io.h"
#include "kov_parameters.h"

namespace {

const float degree = 0.01745329F;  // the radians of one degree, as the forms take it

struct Golden {
  const char* file;
  kov::Parameters record;
};

// Values of other configurations that no line may show are set as well.
kov::Parameters no_corrections_vertical() {
  return {.NUM_FIRST_IMAGE = 1,
          .NUM_LAST_IMAGE = 180,
          .FILE_PREFIX = "/data/scan/proj_",
          .LENGTH_OF_NUMERICAL_PART = 4,
          .FILE_POSTFIX = ".tif",
          .NUM_IMAGE_1 = 1024,
          .NUM_IMAGE_2 = 768,
          .BACKGROUND_FILE = "/not/used/dark.tif",
          .FLATFIELD_FILE = "/not/used/flat.tif",
          .FF_PREFIX = "/not/used/ff_",
          .ANGLE_BETWEEN_PROJECTIONS = 1.0F * degree,
          .START_VOXEL_1 = 101,
          .START_VOXEL_2 = 1,
          .START_VOXEL_3 = 51,
          .END_VOXEL_1 = 900,
          .END_VOXEL_2 = 1024,
          .END_VOXEL_3 = 700,
          .OUTPUT_FILE = "/data/scan/proj_0001.vol"};
}

// 0.25 degrees entered, every second file treated, numbers falling.
kov::Parameters background_horizontal() {
  return {.NUM_FIRST_IMAGE = 360,
          .NUM_LAST_IMAGE = 1,
          .FILE_INTERVAL = -2,
          .FILE_PREFIX = "/data/run7/img",
          .NUMBER_LENGTH_VARIES = true,
          .FILE_POSTFIX = ".edf",
          .NUM_IMAGE_1 = 512,
          .NUM_IMAGE_2 = 768,
          .horizontal_pixel_size = 6.5e-6F,
          .vertical_pixel_size = 13.0e-6F,
          .SUBTRACT_BACKGROUND = true,
          .BACKGROUND_FILE = "/data/run7/dark.edf",
          .TAKE_LOGARITHM = false,
          .ANGLE_OFFSET = -12.5F,
          .ANGLE_BETWEEN_PROJECTIONS = 0.25F * degree * 2.0F,
          .ROTATION_VERTICAL = false,
          .OUTPUT_SINOGRAMS = true,
          .OUTPUT_RECONSTRUCTION = false,
          .ROTATION_AXIS_POSITION = 383.6719F,
          .START_VOXEL_1 = 1,
          .START_VOXEL_2 = 12,
          .START_VOXEL_3 = 300,
          .END_VOXEL_1 = 512,
          .END_VOXEL_2 = 500,
          .END_VOXEL_3 = 311,
          .OVERSAMPLING_FACTOR = 0,
          .SINOGRAM_MEGABYTES = 4096,
          .OUTPUT_FILE = "/data/run7/img360.vol",
          .DISPLAY_GRAPHICS = true};
}

kov::Parameters one_flatfield_vertical() {
  return {.NUM_FIRST_IMAGE = 0,
          .NUM_LAST_IMAGE = 719,
          .FILE_PREFIX = "/data/s1/a_",
          .LENGTH_OF_NUMERICAL_PART = 3,
          .FILE_POSTFIX = "_corr.tif",
          .NUM_IMAGE_1 = 2048,
          .NUM_IMAGE_2 = 2048,
          .horizontal_pixel_size = 1.3e-6F,
          .vertical_pixel_size = 0.65e-6F,
          .CORRECT_FLATFIELD = true,
          .FLATFIELD_CHANGING = false,
          .FLATFIELD_FILE = "/data/s1/flat.tif",
          .FF_NUM_FIRST_IMAGE = 7,
          .FF_PREFIX = "/not/used/ff_",
          .ANGLE_OFFSET = 90.0F,
          .ANGLE_BETWEEN_PROJECTIONS = 0.25F * degree,
          .ROTATION_AXIS_POSITION = 1023.25F,
          .START_VOXEL_1 = 1,
          .START_VOXEL_2 = 1,
          .START_VOXEL_3 = 1,
          .END_VOXEL_1 = 2048,
          .END_VOXEL_2 = 2048,
          .END_VOXEL_3 = 2048,
          .OVERSAMPLING_FACTOR = 16,
          .SINOGRAM_MEGABYTES = 16,
          .OUTPUT_FILE = "/data/s1/a_000_corr.vol"};
}

// 180 degrees over 1000 files, every third one treated.
kov::Parameters flatfield_series_horizontal() {
  return {.NUM_FIRST_IMAGE = 1000,
          .NUM_LAST_IMAGE = 1999,
          .FILE_INTERVAL = 3,
          .FILE_PREFIX = "/data/s2/p",
          .LENGTH_OF_NUMERICAL_PART = 4,
          .FILE_POSTFIX = ".tif",
          .NUM_IMAGE_1 = 2560,
          .NUM_IMAGE_2 = 2160,
          .horizontal_pixel_size = 6.5e-6F,
          .vertical_pixel_size = 6.5e-6F,
          .SUBTRACT_BACKGROUND = true,
          .BACKGROUND_FILE = "/data/s2/dark_avg.tif",
          .CORRECT_FLATFIELD = true,
          .FLATFIELD_CHANGING = true,
          .FLATFIELD_FILE = "/data/s2/flat_1.tif",
          .FF_NUM_FIRST_IMAGE = 1,
          .FF_NUM_LAST_IMAGE = 10,
          .FF_FILE_INTERVAL = 100,
          .FF_PREFIX = "/data/s2/flat_",
          .FF_NUMBER_LENGTH_VARIES = true,
          .FF_POSTFIX = ".tif",
          .ANGLE_BETWEEN_PROJECTIONS = 0.18F * degree * 3.0F,
          .ROTATION_VERTICAL = false,
          .ROTATION_AXIS_POSITION = 1080.0F,
          .START_VOXEL_1 = 201,
          .START_VOXEL_2 = 101,
          .START_VOXEL_3 = 11,
          .END_VOXEL_1 = 2400,
          .END_VOXEL_2 = 2000,
          .END_VOXEL_3 = 2150,
          .OVERSAMPLING_FACTOR = 1,
          .OUTPUT_FILE = "/data/s2/p1000.vol"};
}

std::vector<Golden> goldens() {
  return {{"no_corrections_vertical.par", no_corrections_vertical()},
          {"background_horizontal.par", background_horizontal()},
          {"one_flatfield_vertical.par", one_flatfield_vertical()},
          {"flatfield_series_horizontal.par", flatfield_series_horizontal()}};
}

std::string golden_text(const char* file) {
  return kovtest::read_file(std::string(KOV_SOURCE_DIR) + "/tests/kov/golden/" + file);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(text.substr(at, end - at));
  }
  return lines;
}

// The line of `text` that begins with `key` ("" when there is none).
std::string line_of(const std::string& text, const std::string& key) {
  for (const std::string& line : lines_of(text)) {
    if (line.rfind(key, 0) == 0) return line;
  }
  return "";
}

std::vector<std::string> entries(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(directory)) {
    names.push_back(e.path().filename().string());
  }
  return names;
}

// The text is compared line by line first (a readable failure), then byte
// for byte; the saved file must hold exactly the same bytes.
TEST(KovParameterFile, MatchesTheGoldenFiles) {
  kovtest::TempDir dir;
  for (const Golden& g : goldens()) {
    SCOPED_TRACE(g.file);
    const std::string expected = golden_text(g.file);
    ASSERT_FALSE(expected.empty());
    const std::string text = kov::parameter_file_text(g.record);
    const std::vector<std::string> want = lines_of(expected);
    const std::vector<std::string> got = lines_of(text);
    for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
      EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
    }
    EXPECT_EQ(got.size(), want.size());
    EXPECT_EQ(text, expected);

    const std::string file = dir.file(g.file);
    int retstat = -9;
    std::string reason = "?";
    int status = ST_GOOD();
    kov::save_parameter_file(file, g.record, retstat, reason, status);
    EXPECT_EQ(retstat, kov::save_written);
    EXPECT_EQ(reason, "");
    EXPECT_EQ(status, ST_GOOD());
    EXPECT_EQ(kovtest::read_file(file), expected);
  }
}

// Number fields at their limits and the lines that the golden files do not
// hold.
TEST(KovParameterFile, FieldsAtTheirLimits) {
  kov::Parameters series = flatfield_series_horizontal();
  series.FF_NUMBER_LENGTH_VARIES = false;
  series.FF_LENGTH_OF_NUMERICAL_PART = 2;
  kov::Parameters large = no_corrections_vertical();
  large.NUM_IMAGE_1 = 1234567;
  large.LENGTH_OF_NUMERICAL_PART = 123;
  large.FILE_INTERVAL = -99999;
  large.ROTATION_AXIS_POSITION = -0.00004F;
  large.horizontal_pixel_size = 0.1F;  // 100000 microns: the whole field
  large.vertical_pixel_size = 1.0F;    // 1000000 microns: too wide for it
  large.ANGLE_OFFSET = -360.0F;
  large.FILE_PREFIX = std::string(300, 'p');
  const struct {
    const kov::Parameters* record;
    const char* key;
    std::string line;
  } cases[] = {
      {&series, "FF_NUMBER_LENGTH_VARIES", "FF_NUMBER_LENGTH_VARIES = NO"},
      {&series, "FF_LENGTH_OF", "FF_LENGTH_OF_NUMERICAL_PART =  2 ! No. of characters"},
      {&large, "NUM_IMAGE_1", "NUM_IMAGE_1 = ****** ! Number of pixels horizontally"},
      {&large, "LENGTH_OF", "LENGTH_OF_NUMERICAL_PART = ** ! No. of characters"},
      {&large, "FILE_INTERVAL", "FILE_INTERVAL = -99999 ! Interval between input files"},
      {&large, "ROTATION_AXIS", "ROTATION_AXIS_POSITION =        -0.0000 ! Position in pixels"},
      {&large, "IMAGE_PIXEL_SIZE_1",
       "IMAGE_PIXEL_SIZE_1 = 100000.00000 ! Pixel size horizontally (microns)"},
      {&large, "IMAGE_PIXEL_SIZE_2", "IMAGE_PIXEL_SIZE_2 = ************ ! Pixel size vertically"},
      {&large, "ANGLE_OFFSET",
       "ANGLE_OFFSET = -360.000000 ! Reconstruction rotation offset angle in degrees"},
      {&large, "FILE_PREFIX", "FILE_PREFIX = " + std::string(256, 'p')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(line_of(kov::parameter_file_text(*c.record), c.key), c.line) << c.key;
  }
}

// A write that fails on a full disc (a file size limit: no room at all, or
// room for a partial file of 1000 bytes) leaves no file behind and says so
// on the console and to the caller. A name that is taken, or cannot be a
// parameter file, is refused before anything is written, and what stands
// there is left as it was.
TEST(KovParameterFile, FailedSaveLeavesNothingBehind) {
  const kov::Parameters p = one_flatfield_vertical();
  for (const rlim_t limit : {rlim_t{0}, rlim_t{1000}}) {
    SCOPED_TRACE(limit);
    kovtest::TempDir dir;
    const std::string file = dir.file("recon.par");
    kovtest::ConsoleCapture console;
    int retstat = -9;
    std::string reason;
    int status = ST_GOOD();
    {
      const kovtest::FileSizeLimit full(limit);
      kov::save_parameter_file(file, p, retstat, reason, status);
    }

    EXPECT_EQ(retstat, kov::save_not_written);
    EXPECT_EQ(status, ST_GOOD());
    EXPECT_EQ(reason, "File too large");
    ASSERT_FALSE(console.lines().empty());
    EXPECT_EQ(console.lines().front().rfind("ERROR: Failed to output ASCII text", 0), 0U);
    EXPECT_EQ(console.lines().back(),
              "WARNING: The parameter file " + file + " is not written: File too large");
    EXPECT_TRUE(entries(dir.path()).empty());
    EXPECT_EQ(kov::save_warning_lines(retstat, file, reason),
              (std::vector<std::string>{"Could not write parameter output file:", file,
                                        "File too large"}));
  }

  kovtest::TempDir dir;
  kovtest::write_file(dir.file("old.par"), "old\n");
  const struct {
    std::string name;
    std::string reason;
  } refused[] = {
      {dir.file("old.par"), "it already exists"},
      {"/dev/full", "it is a character device, not a regular file"},
      {dir.path(), "it is a directory, not a regular file"},
      {dir.file("no/such/dir/recon.par"), "No such file or directory"},
      {"   ", "no file name is given"},
  };
  for (const auto& r : refused) {
    kovtest::ConsoleCapture console;
    int retstat = -9;
    std::string reason;
    int status = ST_GOOD();
    kov::save_parameter_file(r.name, p, retstat, reason, status);
    EXPECT_EQ(retstat, kov::save_not_opened) << r.name;
    EXPECT_EQ(reason, r.reason) << r.name;
    EXPECT_EQ(status, ST_GOOD());
    EXPECT_TRUE(console.lines().empty()) << r.name;
  }
  // A text of the record that would break the file into other lines.
  kov::Parameters broken = p;
  broken.OUTPUT_FILE = "/d/out.vol\nTAKE_LOGARITHM = NO";
  kovtest::ConsoleCapture console;
  int retstat = -9;
  std::string reason;
  int status = ST_GOOD();
  kov::save_parameter_file(dir.file("new.par"), broken, retstat, reason, status);
  EXPECT_EQ(retstat, kov::save_not_written);
  EXPECT_EQ(reason, "the value of OUTPUT_FILE holds a line break");
  EXPECT_EQ(console.lines(),
            std::vector<std::string>{"WARNING: The parameter file " + dir.file("new.par") +
                                     " is not written: " + reason});
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"old.par"});
  EXPECT_EQ(kovtest::read_file(dir.file("old.par")), "old\n");
  for (const std::string& name : entries("/dev")) {
    EXPECT_NE(name.rfind("full.tmp", 0), 0U);
  }
  EXPECT_EQ(
      kov::save_warning_lines(kov::save_not_opened, std::string(100, 'n'), ""),
      (std::vector<std::string>{"Could not open parameter output file:", std::string(80, 'n')}));
}

// The choice loop with a scripted file selection: a name that cannot be
// written brings a warning and the selection again; CANCEL asks whether to
// end without the file: YES is the user's escape, NO the selection again; a
// window closed in the selection or in the warning ends the loop.
TEST(KovParameterFile, ChoiceLoop) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("taken.par"), "old\n");
  const int closed = 140000 + 1;  // any bad status
  const struct {
    std::vector<std::string> names;  // "" for CANCEL, "X" for a window closed
    bool warning_closes;
    int status;
    std::vector<std::vector<std::string>> warnings;
    std::vector<std::string> files;  // the directory afterwards
    std::vector<bool> ends;          // the answers to the question after CANCEL
  } cases[] = {
      {{"new.par"}, false, ST_GOOD(), {}, {"new.par", "taken.par"}, {}},
      {{dir.file("taken.par"), "/dev/full", "new.par"},
       false,
       ST_GOOD(),
       {{"Could not open parameter output file:", dir.file("taken.par")},
        {"Could not open parameter output file:", "/dev/full"}},
       {"new.par", "taken.par"},
       {}},
      {{"taken.par", ""},
       false,
       2147483647,
       {{"Could not open parameter output file:", "taken.par"}},
       {"taken.par"},
       {true}},
      {{"", "new.par"}, false, ST_GOOD(), {}, {"new.par", "taken.par"}, {false}},
      {{"X"}, false, closed, {}, {"taken.par"}, {}},
      {{"taken.par"},
       true,
       closed,
       {{"Could not open parameter output file:", "taken.par"}},
       {"taken.par"},
       {}},
  };
  const std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.names.front());
    std::filesystem::remove(dir.file("new.par"));
    std::size_t next = 0;
    std::vector<std::vector<std::string>> warnings;
    kov::SaveDialog dialog;
    dialog.choose = [&](std::string& name, bool& chosen, int& status) {
      ASSERT_LT(next, c.names.size()) << "asked once too often";
      const std::string answer = c.names[next++];
      if (answer == "X") {
        status = closed;
        return;
      }
      chosen = !answer.empty();
      if (chosen) name = answer;
    };
    std::size_t asked = 0;
    dialog.end = [&](bool& end, int&) {
      ASSERT_LT(asked, c.ends.size()) << "asked once too often";
      end = c.ends[asked++];
    };
    dialog.warn = [&](const std::vector<std::string>& lines, int& status) {
      warnings.push_back(lines);
      if (c.warning_closes) status = closed;
    };
    std::string name;
    int status = ST_GOOD();
    kov::save_parameters(no_corrections_vertical(), dialog, name, status);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(next, c.names.size());
    EXPECT_EQ(asked, c.ends.size());
    EXPECT_EQ(warnings, c.warnings);
    std::vector<std::string> files = entries(dir.path());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, c.files);
  }
  std::filesystem::current_path(cwd);
  EXPECT_EQ(kovtest::read_file(dir.file("taken.par")), "old\n");
}

}  // namespace

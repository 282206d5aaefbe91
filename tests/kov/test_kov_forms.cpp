// The two control forms through scripted events on the recording window,
// on an empty defaults database.
#include <cmath>

#include "../GS/gs_tool_script.h"
#include "io_internal.h"
#include "kov_forms.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

// The record's values as the set-up starts them.
struct Record {
  float x_pixel = 2.0e-6f, y_pixel = 3.0e-6f;
  int interval = 1;
  bool background = false, flatfield = false, logarithm = true, vertical = true, sinograms = false,
       reconstruction = true;
  int oversampling = 4;
  float offset = 0.0f, angle = 0.5f;
  int megabytes = 800;
  std::string output = "/data/out/volume.vol";
  bool graphics = false;
  void run(int& status) {
    KOV_INPUT_FORM(1, 361, x_pixel, y_pixel, interval, background, flatfield, logarithm, vertical,
                   sinograms, reconstruction, oversampling, offset, angle, megabytes, output,
                   graphics, status);
  }
};

// Each test starts from an empty database, whatever ran before it in the
// same process.
class KovForms : public ::testing::Test {
 protected:
  void SetUp() override { io::clear_database(); }
};

bool key_found(const std::string& key) {
  int length = 0, retstat = 0, status = good;
  std::string value;
  IO_INQ_KEYVALUE(key, length, value, retstat, status);
  return retstat == 0;
}

TEST_F(KovForms, InitialValuesShownAndWrittenBack) {
  kovtest::Graphics g;
  g.window.clear();
  Record r;
  tooltest::entry(g.window, 8, 1);  // "- BACKGROUND": NO -> YES
  tooltest::control(g.window, 8, 0);
  // Form 2: the angle 180.5 refused, 180.0 accepted; the X pixel size left.
  tooltest::entry(g.window, 7, 1);
  g.window.push_line("180.5");
  tooltest::form_warning_ok(g.window, 7);
  g.window.push_line("180.0");
  tooltest::control(g.window, 7, 0);
  r.run(g.status);
  ASSERT_EQ(g.status, good) << g.window.dump();
  EXPECT_EQ(g.window.pending_input(), 0u);
  for (const char* shown :
       {"TOMOGRAPHY RECONSTRUCTION", "CONTROL FORM 1", "CONTROL FORM 2", "800", "YES", "NO",
        "2.000000", "3.000000", "INTERVAL BETWEEN TREATED", "ANGLE BETWEEN IMAGES (DEGREES)",
        "(DEGREES) (Range: 0.0", "Enter real value within given range"}) {
    EXPECT_TRUE(g.window.contains(shown)) << shown;
  }
  EXPECT_TRUE(r.background);
  EXPECT_NEAR(r.x_pixel, 2.0e-6f, 1e-12f);
  EXPECT_NEAR(r.y_pixel, 3.0e-6f, 1e-12f);
  EXPECT_FLOAT_EQ(r.angle, 180.0f);  // degrees
  EXPECT_EQ(r.output, "/data/out/volume.vol");
  int megabytes = 0, retstat = 0;
  bool background = false;
  IO_INQ_IKEYVALUE("SINOGRAM_MEGABYTES", megabytes, retstat, g.status);
  IO_INQ_LKEYVALUE("SUBTRACT_BACKGROUND", background, retstat, g.status);
  EXPECT_EQ(megabytes, 800);
  EXPECT_TRUE(background);
  EXPECT_TRUE(key_found("ROTATION_ANGLE_OFFSET"));
}

TEST_F(KovForms, CancelOfFormOneChangesNothing) {
  kovtest::Graphics g;
  g.window.clear();
  Record r;
  tooltest::entry(g.window, 8, 1);
  tooltest::control(g.window, 8, 1);  // CANCEL
  r.run(g.status);
  EXPECT_EQ(g.status, io::status_escape);
  EXPECT_FALSE(r.background);
  for (const char* key :
       {"FILE_INTERVAL", "SUBTRACT_BACKGROUND", "SINOGRAM_MEGABYTES", "DISPLAY_GRAPHICS"}) {
    EXPECT_FALSE(key_found(key)) << key;
  }
}

TEST_F(KovForms, RememberedKeysAreOffered) {
  kovtest::Graphics g;
  int retstat = 0;
  IO_SET_IKEYVALUE("OVER-SAMPLING", 9, retstat, g.status);
  IO_SET_LKEYVALUE("DISPLAY_GRAPHICS", true, retstat, g.status);
  g.window.clear();
  Record r;
  tooltest::control(g.window, 8, 0);
  tooltest::control(g.window, 7, 1);  // CANCEL of form 2
  r.run(g.status);
  EXPECT_EQ(g.status, io::status_escape);
  EXPECT_EQ(r.oversampling, 4);  // form 2 cancelled: nothing of it copied back
  bool found_nine = false;
  for (const auto& t : g.window.texts()) found_nine = found_nine || t == "9";
  EXPECT_TRUE(found_nine);
}

// An output file longer than the parameter file holds is refused with why,
// and form 2 comes again.
TEST_F(KovForms, OutputFileLongerThanItsFieldIsRefused) {
  kovtest::Graphics g;
  g.window.clear();
  Record r;
  r.output = "/d/" + std::string(254, 'v');
  gs::Box gui;
  GS_INQ_GUIREGION(gui, g.status);
  tooltest::control(g.window, 8, 0);
  tooltest::control(g.window, 7, 0);
  tooltest::click(g.window, gs::warning_layout(gui, 2).ok);
  tooltest::control(g.window, 7, 1);  // CANCEL of the form shown again
  r.run(g.status);
  EXPECT_EQ(g.status, io::status_escape);
  EXPECT_EQ(g.window.pending_input(), 0u);
  EXPECT_TRUE(g.window.contains("THE OUTPUT FILE NAME HAS 257 CHARACTERS:"));
  EXPECT_TRUE(g.window.contains("THE PARAMETER FILE HOLDS AT MOST 256"));
}

}  // namespace

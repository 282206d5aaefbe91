// The title banner through the recording window device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_capture.h"
#include "gs.h"
#include "kov.h"
#include "recording_device.h"

namespace {

class Banner : public ::testing::Test {
 protected:
  void SetUp() override {
    ST_DEF_SYSTEM(status);
    GS_OPEN_GRAPHICS(status);
    ASSERT_EQ(status, io::status_good);
    window.clear();
  }
  void TearDown() override {
    int s = io::status_good;
    GS_CLOSE_GRAPHICS(s);
  }
  kovtest::RecordingWindow window;
  int status = 0;
};

TEST_F(Banner, DrawsPanelsLettersAndTitle) {
  float before[4], after[4];
  VG_INQ_VIEWPORT(before[0], before[1], before[2], before[3], status);
  kovtest::ConsoleCapture console;
  kov::show_banner(status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_TRUE(console.lines().empty());
  const auto texts = window.texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "KOV: (X-ray tomography reconstruction set-up)");
  // The background, the panels, two triangles and the three letters are all
  // filled areas; the letters come in three different fill colours.
  std::vector<int> colours;
  for (const auto& call : window.calls_of("fill_area")) colours.push_back(call.state.fill_colour);
  EXPECT_GE(colours.size(), 8u);
  // The drawing state of the caller is back afterwards.
  VG_INQ_VIEWPORT(after[0], after[1], after[2], after[3], status);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(after[i], before[i]) << i;
}

TEST_F(Banner, BadStatusIsReportedAndKept) {
  kovtest::ConsoleCapture console;
  status = 140005;
  kov::show_banner(status);
  EXPECT_EQ(status, 140005);
  ASSERT_GE(console.lines().size(), 4u);
  EXPECT_EQ(console.lines()[0], "WARNING: Problem in banner component, bad internal error status");
  EXPECT_EQ(console.lines()[3], "GS: \"Graphics System\"");
  EXPECT_EQ(console.lines().back(), "First dimension data region illegally defined");
  EXPECT_EQ(window.count("fill_area"), 0);
}

}  // namespace

// The title banner through the recording window device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gs.h"
#include "kov.h"
#include "vg_fixture.h"

namespace {

class Banner : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(status, io::status_good);
    window.clear();
    graphics.console.clear();
  }
  kovtest::Graphics graphics;
  kovtest::RecordingWindow& window = graphics.window;
  kovtest::ConsoleCapture& console = graphics.console;
  int& status = graphics.status;
};

TEST_F(Banner, DrawsPanelsLettersAndTitle) {
  float before[4], after[4];
  VG_INQ_VIEWPORT(before[0], before[1], before[2], before[3], status);
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

TEST_F(Banner, CallersStateComesBackEvenWhenTheDeviceFails) {
  VG_DATAWINDOW(-1.0f, -2.0f, 3.0f, 4.0f, status);
  GS_SET_DDDR(gs::Box{5.0f, 6.0f, 7.0f, 8.0f}, status);
  GS_SET_CHAR_SCALING(0.5f, 0.25f, status);
  GS_FILLSTYLE(1, gs::green, status);
  ASSERT_EQ(status, io::status_good);
  // The title text fails in the device after everything else is drawn.
  window.set_failing("text");
  kov::show_banner(status);
  EXPECT_EQ(status, 130001);
  EXPECT_EQ(console.lines().at(0),
            "WARNING: Problem in banner component, bad internal error status");
  int s = io::status_good;
  float w[4];
  VG_INQ_DATAWINDOW(w[0], w[1], w[2], w[3], s);
  EXPECT_EQ((std::vector<float>(w, w + 4)), (std::vector<float>{-1, -2, 3, 4}));
  gs::Box dddr, dgpp;
  GS_INQ_DDDR(dddr, s);
  EXPECT_EQ(dddr, (gs::Box{5.0f, 6.0f, 7.0f, 8.0f}));
  GS_INQ_DGPP(dgpp, s);
  EXPECT_EQ(dgpp, (gs::Box{0.1f, 0.1f, 0.6071f, 0.9f}));
  float cx = 0, cy = 0;
  GS_INQ_CHAR_SCALING(cx, cy, s);
  EXPECT_EQ(cx, 0.5f);
  EXPECT_EQ(cy, 0.25f);
  int type = 0, colour = 0;
  GS_INQ_FILLSTYLE(type, colour, s);
  EXPECT_EQ(colour, gs::green);
  // The device has it too.
  EXPECT_FLOAT_EQ(window.state().window[1], -2.0f);
  EXPECT_EQ(window.state().fill_colour, graphics.index(gs::green));
}

TEST_F(Banner, BadStatusIsReportedAndKept) {
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

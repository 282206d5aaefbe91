// The two control forms in a real window, portrait and landscape, driven
// with XTest: screenshots of both, a logical entry turned over, O.K.
#include <thread>

#include "../../GS/gs_tool_script.h"
#include "../../GS/x11/gs_window_fixture.h"
#include "../../VG/x11/x11_support.h"
#include "io_internal.h"
#include "kov_forms.h"
#include "vg_fixture.h"
#include "wait.h"

using namespace x11test;

namespace {

class Forms : public ToolkitWindow {
 protected:
  void SetUp() override {
    prefix = "kov_";
    io::clear_database();  // the forms offer what an earlier test stored
    ToolkitWindow::SetUp();
  }
};

TEST_P(Forms, BothControlFormsShowAndReturn) {
  float xp = 6.5e-6f, yp = 6.5e-6f, offset = 0.0f, angle = 0.25f;
  int interval = 1, oversampling = 4, megabytes = 800;
  bool background = false, flatfield = true, logarithm = true, vertical = true, sinograms = false,
       reconstruction = true, graphics = false;
  std::string output = "/data/beamtime_2026/sample_name_of_a_rather_long_experiment/volume.vol";
  int result = io::status_good;
  // Where to click, measured before the forms run: the toolkit's state is
  // theirs until they return.
  const gs::Box background_entry = tooltest::form(8).change[1];
  const gs::Box ok_1 = tooltest::control_box(8, 0);
  const gs::Box graphics_entry = tooltest::form(7).change[6];
  const gs::Box ok_2 = tooltest::control_box(7, 0);
  std::thread form([&] {
    KOV_INPUT_FORM(1, 721, xp, yp, interval, background, flatfield, logarithm, vertical, sinograms,
                   reconstruction, oversampling, offset, angle, megabytes, output, graphics,
                   result);
  });
  const auto yellow = [](const Rgb8& c) { return near(c, 255, 255, 0, 40); };
  const Picture one = settled([&](const Picture& p) { return p.count(yellow) > 3000; });
  EXPECT_FALSE(screenshot(window, name("control_form_1")).empty());
  click(background_entry);  // "- BACKGROUND": NO -> YES
  const Picture flipped = changed_from(one);
  click(ok_1);
  const Picture two = changed_from(flipped);
  EXPECT_FALSE(screenshot(window, name("control_form_2")).empty());
  click(graphics_entry);  // "OUTPUT GRAPHICS": NO -> YES
  changed_from(two);
  click(ok_2);
  form.join();
  EXPECT_EQ(result, io::status_good);
  EXPECT_TRUE(background);
  EXPECT_TRUE(graphics);
  EXPECT_FLOAT_EQ(angle, 0.25f);  // degrees
}

INSTANTIATE_TEST_SUITE_P(Pages, Forms, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Landscape" : "Portrait"; });

}  // namespace

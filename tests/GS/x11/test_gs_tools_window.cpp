// The file selection tool in a real window, portrait and landscape, driven
// with XTest: a scan directory with long names and sub-directories, the
// wheel over the file list, a file clicked and confirmed; screenshots.
#include <filesystem>
#include <fstream>
#include <thread>

#include "../../VG/x11/x11_support.h"
#include "../gs_tool_script.h"
#include "gs_window_fixture.h"
#include "vg_fixture.h"
#include "wait.h"

using namespace x11test;

namespace {

constexpr int good = io::status_good;
const auto yellow = [](const Rgb8& c) { return near(c, 255, 255, 0, 40); };

class Tools : public ToolkitWindow {
 protected:
};

TEST_P(Tools, FileSelectionInAScanDirectory) {
  kovtest::TempDir dir;
  namespace fs = std::filesystem;
  for (const char* d : {"dark_current", "flat_fields_before_scan", "flat_fields_after_scan",
                        "reconstruction_output_of_the_first_trial_with_long_name"}) {
    fs::create_directory(dir.file(d));
  }
  for (int k = 1; k <= 400; ++k) {
    char n[96];
    std::snprintf(n, sizeof n, "/sample_name_of_a_rather_long_experiment_proj_%05d.tif", k);
    std::ofstream(dir.path() + n);
  }
  const std::string start = dir.file("sample_name_of_a_rather_long_experiment_proj_00001.tif");
  std::string chosen = start;
  bool cancelled = true;
  int result = good;
  // Where to click, worked out before the tool runs on a thread of its own:
  // the toolkit's state is the tool's while it runs.
  const gs::SelectionLayout l = tooltest::selection();
  const gs::Box yes = tooltest::question_button(tooltest::selection_gui(), 2);
  std::thread tool([&] {
    const std::array<std::string, 2> prompt{"SELECT FIRST DATA IMAGE FILE",
                                            "(the first projection of the scan)"};
    const std::array<std::string, 1> help{"The first projection of the series"};
    std::string extension = gs::all_permitted;
    GS_FILESELECTION(2, 2, prompt, 1, 1, help, gs::select_input, 0, extension, chosen, cancelled,
                     result);
  });
  const Picture first = settled([](const Picture& p) { return p.count(yellow) > 3000; });
  EXPECT_FALSE(screenshot(window, name("fileselect")).empty());
  // Two turns of the wheel over the files: rows 7 on show.
  click(l.files, 5);
  const Picture wheeled = changed_from(first);
  click(l.files, 5);
  changed_from(wheeled);
  EXPECT_FALSE(screenshot(window, name("fileselect_wheel")).empty());
  // Row 1 is now file 7: chosen, and confirmed.
  const Picture before = connection.grab(window);
  connection.click(window, px(tooltest::cx(l.files)), py(l.files.ymax - 0.5f * l.row_height));
  changed_from(before);
  EXPECT_FALSE(screenshot(window, name("fileselect_question")).empty());
  click(yes);
  tool.join();
  EXPECT_EQ(result, good);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(chosen, dir.file("sample_name_of_a_rather_long_experiment_proj_00007.tif"));
}

INSTANTIATE_TEST_SUITE_P(Pages, Tools, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Landscape" : "Portrait"; });

}  // namespace

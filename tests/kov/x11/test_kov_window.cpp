// The program in a real window: the banner in portrait and landscape, one
// click to end normally, closing the window to cancel.
#include "../../VG/x11/x11_support.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "program_window.h"
#include "run_program.h"
#include "wait.h"

namespace {

using kovtest::split_lines;

struct KovRun {
  kovtest::TempDir home;
  kovtest::RunningProgram program;
  explicit KovRun(const std::vector<std::string>& arguments,
                  std::map<std::string, std::optional<std::string>> environment = {}) {
    environment["HOME"] = home.path();
    program = kovtest::start_program(KOV_MASTER_PATH, arguments, environment);
  }
  ~KovRun() {
    if (program.pid > 0) kovtest::finish_program(program, 1);
  }
};

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
  for (const auto& l : lines) {
    if (l == line) return true;
  }
  return false;
}

class KovWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    KOV_NEED_DISPLAY();
    ASSERT_NE(x.get(), nullptr);
  }
  // Starts the program and waits for its window, of the given size; 0 when
  // no window shows.
  unsigned long start(const std::vector<std::string>& arguments, int width, int height) {
    run = std::make_unique<KovRun>(arguments);
    const unsigned long window = kovtest::program_window(x.get());
    if (window == 0) {
      ADD_FAILURE() << "the program's window did not show";
      return 0;
    }
    int w = 0, h = 0;
    x.window_size(window, w, h);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    return window;
  }
  x11test::Connection x;
  std::unique_ptr<KovRun> run;
};

// The set-up starts at once on the banner: the first file selection shows
// (its yellow buttons); its CANCEL is tested with the whole set-up.
TEST_F(KovWindow, PortraitAndLandscapeWindowsOpenOnTheFirstFileSelection) {
  const auto yellow = [](const x11test::Rgb8& c) { return x11test::near(c, 255, 255, 0, 40); };
  for (const bool landscape : {false, true}) {
    SCOPED_TRACE(landscape ? "landscape" : "portrait");
    const unsigned long window =
        start(landscape ? std::vector<std::string>{"-LAND"} : std::vector<std::string>{},
              landscape ? 707 : 500, landscape ? 500 : 707);
    ASSERT_NE(window, 0u);
    const x11test::Picture p =
        kovtest::settled_picture([&] { return x.grab(window); },
                                 [&](const x11test::Picture& q) { return q.count(yellow) > 3000; });
    EXPECT_GT(p.count(yellow), 3000);
    x11test::screenshot(window, landscape ? "kov_start_landscape" : "kov_start_portrait");
    x.close_request(window);
    const auto result = kovtest::finish_program(run->program, 10);
    EXPECT_EQ(result.exit_status, 2) << result.output;
  }
}

// Closing the window through the window manager, or another client
// destroying it, cancels: no parameter file, no defaults saved, no error.
TEST_F(KovWindow, ClosingOrDestroyingTheWindowCancelsWithoutSaving) {
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroyed" : "closed");
    const unsigned long window = start({}, 500, 707);
    ASSERT_NE(window, 0u);
    if (destroy) {
      XDestroyWindow(x.get(), window);
      XSync(x.get(), False);
    } else {
      x.close_request(window);
    }
    const auto result = kovtest::finish_program(run->program, 10);
    EXPECT_EQ(result.exit_status, 2) << result.output;
    const auto lines = split_lines(result.output);
    EXPECT_TRUE(has_line(lines, "Reconstruction cancelled")) << result.output;
    EXPECT_FALSE(has_line(lines, "KOV_MASTER Exited"));
    EXPECT_EQ(result.output.find("ERROR"), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(run->home.file(".kov.def")));
  }
}

// Displays where no X server serves: what answers garbage, and a server that
// refuses us. The program names the display, says a refusal once, shows its
// help text and ends with status 1, in a few seconds.
TEST(KovDisplay, DisplaysThatCannotServeEndTheProgramWithItsHelpText) {
  KOV_NEED_DISPLAY();
  x11test::FakeServer garbage(x11test::FakeServer::garbage);
  ASSERT_TRUE(garbage.ready());
  x11test::RefusingServer refusing;
  ASSERT_TRUE(refusing.ready());
  for (const std::string& display : {garbage.name(), refusing.name()}) {
    SCOPED_TRACE(display);
    KovRun run({}, {{"DISPLAY", display}, {"XAUTHORITY", refusing.no_cookie()}});
    const auto result = kovtest::finish_program(run.program, 10);
    EXPECT_EQ(result.exit_status, 1) << result.output;
    const auto lines = split_lines(result.output);
    int named = 0, refusals = 0;
    for (const auto& l : lines) {
      if (l.rfind("ERROR: ", 0) == 0 && l.find(display) != std::string::npos) ++named;
      if (l.find("Authorization required") != std::string::npos) ++refusals;
    }
    EXPECT_EQ(named, 1) << result.output;
    EXPECT_LE(refusals, 1) << result.output;
    EXPECT_TRUE(has_line(lines, "KOV exiting owing to lack of graphics")) << result.output;
  }
}

}  // namespace

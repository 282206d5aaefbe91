// Image input in a real window, portrait and landscape: the file choice,
// the format menu of an unknown extension (screenshot, a click on "TIFF")
// and a reader's warning boxes (screenshot, a click on each O.K.), driven
// with XTest while they wait. Where to click is worked out from the
// toolkit's layouts before the input starts; every wait has a time limit.
#include <array>
#include <atomic>
#include <functional>
#include <thread>

#include "../../GS/gs_tool_script.h"
#include "../../GS/x11/gs_window_fixture.h"
#include "../fio_files.h"
#include "gs.h"
#include "wait.h"

using namespace x11test;

namespace {

constexpr int good = io::status_good;

const auto yellow = [](const Rgb8& c) { return near(c, 255, 255, 0, 40); };
const auto red = [](const Rgb8& c) { return near(c, 255, 0, 0, 40); };

// FIO_GUI_INPUT run in a thread of its own while the test drives the
// window. What it returns is read once the thread has been joined. The
// thread is joined on every way out of a test: an input that has not
// returned by then is ended by closing the window, as a user would.
class Input {
 public:
  Input(const std::string& file, int size, std::function<void()> close_window)
      : xa(static_cast<std::size_t>(size)), ya(xa), name(file), close_(std::move(close_window)) {
    data.allocate(size, size);
  }
  ~Input() {
    if (!thread_.joinable()) return;
    if (!done_) close_();
    thread_.join();
  }
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  void start(int mode, const std::string& prompt) {
    thread_ = std::thread([this, mode, prompt] {
      const std::array<std::string, 1> lines{prompt};
      FIO_GUI_INPUT(1, prompt.empty() ? 0 : 1, lines, mode, false, defined, name, xn, yn, xa, ya,
                    data.view(), io::View2D<float>(), title, xl, yl, zl, px_size, py_size, result);
      done_ = true;
    });
  }
  // True when the input returns within 10 s; its results can then be read.
  bool returned() {
    if (!kovtest::wait_until([&] { return done_.load(); })) return false;
    thread_.join();
    return true;
  }

  bool defined = false;
  int xn = 0, yn = 0, result = good;
  io::Image<float> data;
  std::vector<float> xa, ya;
  std::string name, title, xl, yl, zl;
  float px_size = 0, py_size = 0;

 private:
  std::function<void()> close_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

class Window : public ToolkitWindow {
 protected:
  void SetUp() override {
    prefix = "fio_";
    ToolkitWindow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    FIO_DEF_INPUT(status);
    GS_INQ_GUIREGION(gui, status);
    ASSERT_EQ(status, good);
  }
  std::function<void()> closer() {
    return [this] { connection.close_request(window); };
  }
  // The window once it shows what `shows` looks for, drawn whole.
  template <typename Shows>
  Picture showing(Shows shows) {
    const Picture p = settled(shows);
    EXPECT_TRUE(shows(p)) << "not shown within the time limit";
    return p;
  }
  gs::Box gui;
};

TEST_P(Window, FormatMenuOfAnUnknownExtension) {
  kovtest::TempDir dir;
  fiotest::Tiff t;
  t.width = 64;
  t.height = 48;
  t.rows = fiotest::rows16(64, 48, false, [](int x, int y) { return 300 * x + y; });
  kovtest::write_file(dir.file("projection.raw16"), t.bytes());
  // The file, alone in the list of the file's directory, where the tool
  // opens; the question's YES; "TIFF", the last of the menu's four columns
  // filled column by column under a title.
  const gs::SelectionLayout l = tooltest::selection();
  const gs::Box file{l.files.xmin, l.files.ymax - l.row_height, l.files.xmax, l.files.ymax};
  const gs::Box yes = tooltest::question_button(tooltest::selection_gui(), 2);
  const float w = (gui.xmax - gui.xmin) / 4, h = (gui.ymax - gui.ymin) / 5;
  const gs::Box tiff{gui.xmin + 3 * w, gui.ymin, gui.xmax, gui.ymin + h};

  Input in(dir.file("projection.raw16"), 128, closer());
  in.start(fio::input_choose, "SELECT FIRST DATA IMAGE FILE");
  const Picture tool = showing([](const Picture& p) { return p.count(yellow) > 500; });
  click(file);
  const Picture question = showing([&](const Picture& p) { return p.pixels != tool.pixels; });
  click(yes);
  // The menu: sixteen yellow buttons on blue, over the tool's lower part.
  const Picture menu = showing([&](const Picture& p) { return p.pixels != question.pixels; });
  EXPECT_GT(menu.count(yellow), 8000);
  EXPECT_FALSE(screenshot(window, name("format_menu")).empty());
  click(tiff);
  ASSERT_TRUE(in.returned());
  EXPECT_EQ(in.result, good);
  EXPECT_TRUE(in.defined);
  EXPECT_EQ(in.xn, 64);
  EXPECT_EQ(in.data(64, 48), 300 * 64 + 48);
}

TEST_P(Window, ReaderWarningsInABox) {
  kovtest::TempDir dir;
  fiotest::Tiff t;
  t.extra[259] = 5;
  t.rows = fiotest::rows16(t.width, t.height, false, [](int x, int y) { return x + y; });
  kovtest::write_file(dir.file("packed.tif"), t.bytes());
  FIO_SET_INPUT(false, fio::format_tiff, 0.0f, status);
  // Two warnings of two lines, one after the other, each waiting for its
  // O.K.
  const gs::Box ok = gs::warning_layout(gui, 2).ok;
  const auto warning = [](const Picture& p) { return p.count(red) > 5000; };

  Input in(dir.file("packed.tif"), 8, closer());
  in.start(fio::input_named, "");
  const Picture problem = showing(warning);
  EXPECT_FALSE(screenshot(window, name("warning")).empty());
  click(ok);
  showing([&](const Picture& p) { return p.pixels != problem.pixels && warning(p); });
  click(ok);
  ASSERT_TRUE(in.returned());
  EXPECT_EQ(in.result, good);
  EXPECT_FALSE(in.defined);
}

INSTANTIATE_TEST_SUITE_P(Pages, Window, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Landscape" : "Portrait"; });

}  // namespace

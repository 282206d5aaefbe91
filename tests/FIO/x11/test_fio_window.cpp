// Image input in a real window: the file choice, the format menu of an
// unknown extension (screenshot, a click on "TIFF") and a reader's warning
// box (screenshot, a click on O.K.), driven with XTest while they wait.
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "../../GS/gs_tool_script.h"
#include "../../VG/x11/x11_support.h"
#include "../fio_files.h"
#include "gs.h"
#include "wait.h"

using namespace x11test;

namespace {

constexpr int good = io::status_good;

const auto yellow = [](const Rgb8& c) { return near(c, 255, 255, 0, 40); };
const auto red = [](const Rgb8& c) { return near(c, 255, 0, 0, 40); };

// FIO_GUI_INPUT run in a thread of its own while the test drives the window.
struct Input {
  bool defined = false;
  int xn = 0, yn = 0, result = good;
  io::Image<float> data;
  std::vector<float> xa, ya;
  std::string name, title, xl, yl, zl;
  float px_size = 0, py_size = 0;
  std::atomic<bool> done{false};
  Input(const std::string& file, int size)
      : xa(static_cast<std::size_t>(size)), ya(xa), name(file) {
    data.allocate(size, size);
  }
  std::thread run(int mode, const std::string& prompt) {
    return std::thread([this, mode, prompt] {
      const std::array<std::string, 1> lines{prompt};
      FIO_GUI_INPUT(1, prompt.empty() ? 0 : 1, lines, mode, false, defined, name, xn, yn, xa, ya,
                    data.view(), io::View2D<float>(), title, xl, yl, zl, px_size, py_size, result);
      done = true;
    });
  }
};

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    KOV_NEED_DISPLAY();
    ST_DEF_SYSTEM(status);
    FIO_DEF_INPUT(status);
    GS_OPEN_GRAPHICS(status);
    ASSERT_EQ(status, good);
    window = vg::x11::window_id();
    ASSERT_NE(window, 0u);
    connection.window_size(window, width, height);
    connection.focus(window);
  }
  void TearDown() override {
    int s = good;
    GS_CLOSE_GRAPHICS(s);
  }
  int px(float x) const {
    return static_cast<int>(x * static_cast<float>(std::max(width, height)));
  }
  int py(float y) const {
    return height - static_cast<int>(y * static_cast<float>(std::max(width, height)));
  }
  // Waits (at most 10 s) until the window shows a condition.
  template <typename F>
  Picture wait_for(F shows) {
    Picture p;
    for (int k = 0; k < 100; ++k) {
      p = connection.grab(window);
      if (shows(p)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return p;
  }
  Connection connection;
  unsigned long window = 0;
  int width = 0, height = 0;
  int status = good;
};

TEST_F(Window, FormatMenuOfAnUnknownExtension) {
  kovtest::TempDir dir;
  fiotest::Tiff t;
  t.width = 64;
  t.height = 48;
  t.rows = fiotest::rows16(64, 48, false, [](int x, int y) { return 300 * x + y; });
  kovtest::write_file(dir.file("projection.raw16"), t.bytes());

  Input in(dir.file("projection.raw16"), 128);
  std::thread input = in.run(fio::input_choose, "SELECT FIRST DATA IMAGE FILE");
  // The file selection tool opens in the file's directory: the file, alone
  // in the list, is clicked and confirmed.
  wait_for([](const Picture& p) { return p.count(yellow) > 500; });
  const gs::SelectionLayout l = tooltest::selection();
  const Picture tool = connection.grab(window);
  connection.click(window, px(tooltest::cx(l.files)), py(l.files.ymax - 0.5f * l.row_height));
  const Picture question = wait_for([&](const Picture& p) { return p.pixels != tool.pixels; });
  const gs::Box yes = tooltest::question_button(tooltest::selection_gui(), 2);
  connection.click(window, px(tooltest::cx(yes)), py(tooltest::cy(yes)));
  // The menu: sixteen yellow buttons on blue, over the tool's lower part.
  const Picture menu =
      kovtest::settled_picture([&] { return connection.grab(window); },
                               [&](const Picture& p) { return p.pixels != question.pixels; });
  EXPECT_GT(menu.count(yellow), 8000);
  EXPECT_FALSE(screenshot(window, "fio_format_menu").empty());
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int s = good;
  GS_INQ_GUIREGION(x0, y0, x1, y1, s);
  // "TIFF", the last of four columns filled column by column under a title.
  const float w = (x1 - x0) / 4, h = (y1 - y0) / 5;
  connection.click(window, px(x0 + 3.5f * w), py(y0 + 0.5f * h));
  input.join();
  EXPECT_EQ(in.result, good);
  EXPECT_TRUE(in.defined);
  EXPECT_EQ(in.xn, 64);
  EXPECT_EQ(in.data(64, 48), 300 * 64 + 48);
}

TEST_F(Window, ReaderWarningsInABox) {
  kovtest::TempDir dir;
  fiotest::Tiff t;
  t.extra[259] = 5;
  t.rows = fiotest::rows16(t.width, t.height, false, [](int x, int y) { return x + y; });
  kovtest::write_file(dir.file("packed.tif"), t.bytes());
  FIO_SET_INPUT(false, fio::format_tiff, 0.0f, status);
  Input in(dir.file("packed.tif"), 8);
  std::thread input = in.run(fio::input_named, "");
  const Picture box = wait_for([](const Picture& p) { return p.count(red) > 5000; });
  EXPECT_GT(box.count(red), 5000);
  EXPECT_FALSE(screenshot(window, "fio_warning").empty());
  // O.K. of the two warnings, lower right of the GUI region.
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int s = good;
  GS_INQ_GUIREGION(x0, y0, x1, y1, s);
  // Each box waits for its O.K.: click until the input has returned.
  for (int k = 0; k < 100 && !in.done; ++k) {
    if (k % 10 == 0) connection.click(window, px(x1 - (x1 - x0) / 14), py(y0 + (y1 - y0) * 0.15f));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  input.join();
  EXPECT_EQ(in.result, good);
  EXPECT_FALSE(in.defined);
}

}  // namespace

// The widgets in a real window, portrait and landscape: screenshots of a
// message box with its scroll bar, warnings, prompts, the typed-line prompts
// (driven with XTest while they wait) and menus, with pixel checks.
#include <array>
#include <thread>

#include "gs.h"
#include "gs_widgets.h"
#include "gs_window_fixture.h"
#include "vg_fixture.h"
#include "wait.h"

using namespace x11test;

namespace {

constexpr int good = io::status_good;

class Widgets : public ToolkitWindow {
 protected:
  void SetUp() override {
    ToolkitWindow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    clear();
  }
  void clear() {
    VG_CLEAR(status);
    GS_BACKGROUND(status);
  }
  // Runs a waiting widget in a thread of its own; once its yellow buttons
  // show and it has drawn all (at most 10 s) the test takes the screenshot
  // and ends the wait with `answer`.
  template <typename Widget, typename Answer>
  Picture while_waiting(Widget widget, Answer answer, const std::string& what) {
    std::thread input(widget);
    const Picture p = settled([](const Picture& q) {
      return q.count([](const Rgb8& c) { return near(c, 255, 255, 0, 40); }) > 500;
    });
    EXPECT_FALSE(screenshot(window, name(what)).empty());
    answer();
    input.join();
    return p;
  }
  gs::Box gui() const {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int s = good;
    GS_INQ_GUIREGION(x0, y0, x1, y1, s);
    return {x0, y0, x1, y1};
  }
};

const auto blue = [](const Rgb8& c) { return near(c, 0, 0, 255, 40); };
const auto yellow = [](const Rgb8& c) { return near(c, 255, 255, 0, 40); };
const auto red = [](const Rgb8& c) { return near(c, 255, 0, 0, 40); };

std::vector<std::string> help_text() {
  std::vector<std::string> lines{"INTERACTIVE SET-UP OF A TOMOGRAPHIC RECONSTRUCTION", ""};
  for (int k = 1; k <= 60; ++k) {
    lines.push_back("Line " + std::to_string(k) +
                    ": the projections are read in order, one file per angle.");
  }
  return lines;
}

TEST_P(Widgets, MessageBoxWithScrollBar) {
  const auto lines = help_text();
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  GS_INQ_MESSAGE(x0, y0, x1, y1, status);
  gs::Box text, ok, save;
  int fit = 0;
  GS_DRAW_MESSAGE(62, 62, lines, 1, x0, y0, x1, y1, text, ok, save, fit, status);
  ASSERT_EQ(status, good);
  ASSERT_LT(fit, 62);
  const Picture p = shot("message");
  EXPECT_GT(p.count(blue), width * height / 2);
  EXPECT_TRUE(yellow(p.at(px(ok.xmin) + 6, py(ok.ymin) - 6)));
  // The scroll bar's buttons, yellow, right of the text.
  int button = 0;
  GS_CAL_SCROLLBAR(text.xmax + 0.02f, text.ymax - 0.01f, button, status);
  EXPECT_EQ(button, gs::scroll_to_start);

  // Scrolled to the end through a click on the bar, then O.K.
  const gs::MessageLayout l = [&] {
    int s = good;
    return gs::message_layout({x0, y0, x1, y1}, 62, lines, gs::sample_width(), s);
  }();
  const gs::ScrollBarRecord bar = gs::scrollbar_layout(l.scroll, 62, 1, l.fit);
  const gs::Box end = bar.buttons[gs::scroll_to_end - 1];
  int result = 0;
  while_waiting(
      [&] {
        result = good;
        GS_MESSAGE(62, 62, lines, result);
      },
      [&] {
        const Picture start = connection.grab(window);
        connection.click(window, px((end.xmin + end.xmax) / 2), py((end.ymin + end.ymax) / 2));
        changed_from(start);
        EXPECT_FALSE(screenshot(window, name("message_end")).empty());
        connection.click(window, px((l.ok.xmin + l.ok.xmax) / 2), py((l.ok.ymin + l.ok.ymax) / 2));
      },
      "message_start");
  EXPECT_EQ(result, good);
}

TEST_P(Widgets, WarningsInBothShapes) {
  const std::array<std::string, 2> lines{"The flat-field image has a different size",
                                         "from the projections: it is not used"};
  gs::Box ok;
  const gs::Box g = gui();
  GS_DRAW_WARNING(g.xmin, g.ymin, g.xmax, g.ymax, 2, 2, lines, ok, status);
  const float w = landscape() ? 1.0f : 0.7071f;
  GS_DRAW_WARNING(0.1f * w, 0.3f, 0.9f * w, 0.6f, 2, 2, lines, ok, status);
  ASSERT_EQ(status, good);
  const Picture p = shot("warning");
  EXPECT_GT(p.count(red), width * height / 10);
  EXPECT_GT(p.count(yellow), 1000);
}

TEST_P(Widgets, PromptKinds) {
  const float w = landscape() ? 1.0f : 0.7071f;
  const float h = landscape() ? 0.7071f : 1.0f;
  const std::array<std::string, 2> two{"SELECT FIRST DATA IMAGE FILE", "(projection at 0 degrees)"};
  GS_PROMPT(false, 2, 2, two, 0.05f * w, 0.82f * h, 0.95f * w, 0.97f * h, status);
  const std::array<std::string, 1> one{"CONTINUE"};
  GS_PROMPT(true, 1, 1, one, 0.35f * w, 0.7f * h, 0.65f * w, 0.78f * h, status);
  const std::array<std::string, 3> text{
      "The rotation axis lies half the lag of the best correlation from the centre",
      "of the image; check it on the", "reconstructed slice."};
  GS_SPROMPT(gs::wrap_paragraph, 3, 3, text, 0.05f * w, 0.45f * h, 0.95f * w, 0.65f * h, status);
  const std::array<std::string, 1> path{
      "/data/tomography/2024/sample_17/projections/flat_field/flat_0001.tif"};
  GS_SPROMPT(gs::wrap_keep_end, 1, 1, path, 0.05f * w, 0.35f * h, 0.55f * w, 0.41f * h, status);
  const std::array<std::string, 1> full{"WRITING GRAPHICS FILE: PLEASE WAIT"};
  GS_FPROMPT(1, 1, full, status);
  ASSERT_EQ(status, good);
  const Picture p = shot("prompts");
  EXPECT_GT(p.count(yellow), 1000);
}

TEST_P(Widgets, Menus) {
  GS_SET_MENULAYOUT(0, 2, 40, 20, status);
  const float w = landscape() ? 1.0f : 0.7071f;
  const std::array<std::string, 1> title{"SELECT IMAGE FILE FORMAT"};
  const std::array<std::string, 7> labels{"TIFF", "KEYWORD HEADER", "RAW BINARY", "IMAGE PLATE",
                                          "CCD",  "GAS DETECTOR",   "CANCEL"};
  GS_MENU(1, 1, title, 7, 7, labels, 0.1f * w, 0.3f, 0.9f * w, 0.65f, status);
  GS_SET_MENULAYOUT(0, 1, 40, 20, status);
  const std::array<std::string, 3> plain{"ONE", "TWO", "THREE"};
  GS_MENU(1, 0, plain, 3, 3, plain, 0.1f * w, 0.05f, 0.5f * w, 0.25f, status);
  ASSERT_EQ(status, good);
  const Picture p = shot("menu");
  EXPECT_GT(p.count(yellow), 10000);
  EXPECT_GT(p.count(blue), 10000);
  const gs::Box seven =
      gs::menu_record().boxes.size() == 3 ? gs::menu_record().boxes[0] : gs::Box{};
  EXPECT_TRUE(yellow(p.at(px(seven.xmin) + 8, py(seven.ymax) + 8)));
}

TEST_P(Widgets, TypedPrompts) {
  // The integer prompt: typed "7" and return.
  int value = 5;
  int result = 0;
  const std::array<std::string, 1> help{"How many slices"};
  const std::array<std::string, 1> error{"Enter a number from 1 to 10"};
  while_waiting(
      [&] {
        result = good;
        GS_INPI(true, 1, 10, true, "NUMBER OF SLICES", 1, help, 1, error, value, result);
      },
      [&] {
        connection.key(XK_BackSpace);
        connection.type("7");
        connection.key(XK_Return);
      },
      "integer_prompt");
  EXPECT_EQ(result, good);
  EXPECT_EQ(value, 7);

  // A long text prompt on two lines; its O.K. button takes the line.
  const std::string prompt = "ENTER THE NAME OF THE FILE WHICH HOLDS THE FLAT FIELD IMAGE";
  const gs::InputLayout l = gs::input_layout(gui(), prompt, gs::sample_width());
  std::string answer;
  while_waiting(
      [&] {
        result = good;
        GS_INPS(prompt, 1, help, "flat", answer, result);
      },
      [&] {
        const Picture untyped = connection.grab(window);
        connection.type(".tif");
        changed_from(untyped);
        EXPECT_FALSE(screenshot(window, name("text_prompt_typed")).empty());
        connection.click(window, px((l.ok.xmin + l.ok.xmax) / 2), py((l.ok.ymin + l.ok.ymax) / 2));
      },
      "text_prompt");
  EXPECT_EQ(result, good);
  EXPECT_EQ(answer, "flat.tif");

  // The yes/no question.
  const gs::MenuLayout menu = gs::menu_layout(1, 4, gui(), 0, 4, 40, 10, gs::sample_width());
  bool yes = false;
  const Picture p = while_waiting(
      [&] {
        result = good;
        GS_INPL("RECONSTRUCT THE WHOLE VOLUME ?", 1, help, yes, result);
      },
      [&] {
        const gs::Box b = menu.buttons[2];
        connection.click(window, px((b.xmin + b.xmax) / 2), py((b.ymin + b.ymax) / 2));
      },
      "yes_no");
  EXPECT_EQ(result, good);
  EXPECT_TRUE(yes);
  EXPECT_GT(p.count(yellow), 2000);
}

INSTANTIATE_TEST_SUITE_P(Pages, Widgets, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Landscape" : "Portrait"; });

}  // namespace

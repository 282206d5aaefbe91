// Layouts of the widgets, against numbers worked out by hand: prompt boxes
// and their character heights, the message box with its buttons and scroll
// bar, the warning box in both shapes, the menu grid, and the aspect factors
// chosen from the sample width measured at start-up.
#include <array>

#include "gs_widget_fixture.h"
#include "gs_widgets.h"
#include "status_table.h"

namespace {

using widgettest::good;
using widgettest::numbered_lines;
using widgettest::Toolkit;

TEST(GsWidgetLayout, InactivePromptCentresItsLinesAtTheHandWorkedHeight) {
  Toolkit t;  // sample width 0.5 x 10/707 x 10 = 0.0707: factor 1.6
  const std::array<std::string, 2> lines{"HELLO", "WORLD WIDE   "};
  GS_PROMPT(false, 2, 2, lines, 0.1f, 0.2f, 0.5f, 0.4f, t.status);
  ASSERT_EQ(t.status, good);
  // Pitch 0.1; L = 10 + 2; height = min(0.08, 0.4 x 1.6 / 12).
  const auto first = t.text_call("HELLO");
  const auto second = t.text_call("WORLD WIDE");
  EXPECT_NEAR(first.state.text_height, 0.4f * 1.6f / 12.0f, 1e-5f);
  EXPECT_NEAR(first.page_x[0], 0.3f, 1e-5f);
  EXPECT_NEAR(first.page_y[0], 0.35f, 1e-5f);
  EXPECT_NEAR(second.page_y[0], 0.25f, 1e-5f);
  EXPECT_EQ(first.state.text_colour, t.index(gs::black));
  EXPECT_EQ(first.state.text_horizontal, 2);
  const auto box = t.window.calls_of("fill_area").at(0);
  EXPECT_EQ(box.state.fill_colour, t.index(gs::white));
  EXPECT_EQ(t.window.calls_of("polyline").at(0).state.line_colour, t.index(gs::blue));
}

TEST(GsWidgetLayout, ActivePromptLosesTheBevelAtTheRightAndTop) {
  Toolkit t;
  const std::array<std::string, 1> ok{"O.K."};
  GS_PROMPT(true, 1, 1, ok, 0.1f, 0.2f, 0.5f, 0.4f, t.status);
  ASSERT_EQ(t.status, good);
  // Bevel min(0.4/12, 0.2/12) = 0.016667; text area 0.1 .. 0.483333 by
  // 0.2 .. 0.383333; one line: pitch 0.183333, L = 6.
  const auto text = t.text_call("O.K.");
  EXPECT_NEAR(text.page_x[0], 0.2916667f, 1e-5f);
  EXPECT_NEAR(text.page_y[0], 0.2916667f, 1e-5f);
  EXPECT_NEAR(text.state.text_height, 0.3833333f * 1.6f / 6.0f, 1e-5f);
  EXPECT_EQ(text.state.text_colour, t.index(gs::blue));
  // The face is yellow, the first fill of the button.
  EXPECT_EQ(t.window.calls_of("fill_area").at(0).state.fill_colour, t.index(gs::yellow));
}

TEST(GsWidgetLayout, PromptHeightsFollowTheMeasuredSampleWidth) {
  const std::array<std::string, 1> line{std::string(38, 'A')};
  {
    // Text widths of 0.4 of the height: sample width 0.0566, factor 1.7.
    Toolkit t(false, 0.4f);
    float w = 0.0f;
    GS_INQ_SAMPLEWIDTH(w, t.status);
    EXPECT_NEAR(w, 0.4f * 10.0f / 707.0f * 10.0f, 1e-5f);
    GS_PROMPT(false, 1, 1, line, 0.0f, 0.0f, 0.5f, 0.5f, t.status);
    EXPECT_NEAR(t.text_call(line[0]).state.text_height, 0.5f * 1.7f / 40.0f, 1e-5f);
  }

  // Wide texts (sample width 0.113): prompts 1.2, menus 1.1.
  Toolkit wide(false, 0.8f);
  GS_PROMPT(false, 1, 1, line, 0.0f, 0.0f, 0.5f, 0.5f, wide.status);
  EXPECT_NEAR(wide.text_call(line[0]).state.text_height, 0.5f * 1.2f / 40.0f, 1e-5f);
  const std::array<std::string, 1> label{"X"};
  GS_MENU(1, 0, label, 1, 1, label, 0.0f, 0.0f, 0.7f, 0.7f, wide.status);
  // Label height min(0.7 x 0.7, 0.7 x 1.1 / 21).
  EXPECT_NEAR(wide.text_call("X").state.text_height, 0.7f * 1.1f / 21.0f, 1e-5f);
}

TEST(GsWidgetLayout, MessageBoxPortraitWithScrollBar) {
  Toolkit t;
  const auto lines = numbered_lines(100);
  gs::Box text, ok, save;
  int fit = 0;
  GS_DRAW_MESSAGE(100, 100, lines, 1, 0.0f, 0.0f, 0.7071f, 1.0f, text, ok, save, fit, t.status);
  ASSERT_EQ(t.status, good);
  // Margins 0.007071 and 0.01, gap 0.007071, buttons 0.088388 by 0.05,
  // scroll bar 0.035355 wide.
  EXPECT_BOX(text, 0.007071f, 0.067071f, 0.657603f, 0.99f);
  EXPECT_BOX(ok, 0.6116415f, 0.007071f, 0.700029f, 0.057071f);
  EXPECT_BOX(save, 0.516183f, 0.007071f, 0.6045705f, 0.057071f);
  // Font 2, factor 1.4, L = 40: height 0.0227686, spacing 0.0273223; 33.8
  // lines fit, rounded to 34.
  EXPECT_EQ(fit, 34);
  const auto first = t.text_call(lines[0]);
  EXPECT_NEAR(first.state.text_height, 0.0227686f, 1e-5f);
  EXPECT_NEAR(first.page_y[0], 0.99f - 0.0273223f, 1e-5f);
  EXPECT_EQ(first.state.text_font, 2);
  EXPECT_EQ(first.state.text_colour, t.index(gs::white));
  EXPECT_TRUE(first.state.clip);
  const auto label = t.text_call("O.K.");
  EXPECT_NEAR(label.state.text_height, 0.0176775f, 1e-5f);
  EXPECT_NEAR(label.page_x[0], widgettest::cx(ok), 1e-5f);
  EXPECT_EQ(t.text_call("SAVE").state.text_colour, t.index(gs::blue));
  // The scroll bar between the text box and the right margin.
  int button = -1;
  GS_CAL_SCROLLBAR(0.68f, 0.98f, button, t.status);
  EXPECT_EQ(button, gs::scroll_to_start);
  GS_CAL_SCROLLBAR(0.68f, 0.07f, button, t.status);
  EXPECT_EQ(button, gs::scroll_to_end);
  GS_CAL_SCROLLBAR(0.68f, 0.5f, button, t.status);  // the trough
  EXPECT_EQ(button, 0);
}

TEST(GsWidgetLayout, MessageBoxLandscapeAndNoScrollBarWhenAllFit) {
  Toolkit t(true);
  float xmin = 0, ymin = 0, xmax = 0, ymax = 0;
  GS_INQ_MESSAGE(xmin, ymin, xmax, ymax, t.status);
  EXPECT_BOX((gs::Box{xmin, ymin, xmax, ymax}), 0.0f, 0.0f, 1.0f, 0.7071f);
  const auto lines = numbered_lines(17);
  gs::Box text, ok, save;
  int fit = 0;
  GS_DRAW_MESSAGE(17, 17, lines, 1, xmin, ymin, xmax, ymax, text, ok, save, fit, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_BOX(text, 0.01f, 0.049497f, 0.932929f, 0.700029f);
  EXPECT_BOX(ok, 0.867929f, 0.007071f, 0.992929f, 0.042426f);
  EXPECT_BOX(save, 0.735858f, 0.007071f, 0.860858f, 0.042426f);
  EXPECT_EQ(fit, 17);  // 16.78 rounded
  int button = -1;
  GS_CAL_SCROLLBAR(0.965f, 0.69f, button, t.status);
  EXPECT_EQ(button, 0);
  t.window.clear();
  // One line more: the bar appears, over the text box's height.
  const auto more = numbered_lines(18);
  GS_DRAW_MESSAGE(18, 18, more, 1, xmin, ymin, xmax, ymax, text, ok, save, fit, t.status);
  GS_CAL_SCROLLBAR(0.965f, 0.69f, button, t.status);
  EXPECT_EQ(button, gs::scroll_to_start);
  GS_CAL_SCROLLBAR(0.965f, 0.055f, button, t.status);
  EXPECT_EQ(button, gs::scroll_to_end);
  GS_CAL_SCROLLBAR(0.935f, 0.055f, button, t.status);  // in the gap beside it
  EXPECT_EQ(button, 0);
}

TEST(GsWidgetLayout, ScrollBarButtonsAndThumb) {
  // 0.04 wide, 0.81 high: square buttons of 0.04; the trough from 0.22 to
  // 0.79 holds the thumb of lines 11 to 30 of 100.
  const gs::ScrollBarRecord r = gs::scrollbar_layout({0.6f, 0.1f, 0.64f, 0.91f}, 100, 11, 20);
  EXPECT_BOX(r.buttons[gs::scroll_to_start - 1], 0.6f, 0.87f, 0.64f, 0.91f);
  EXPECT_BOX(r.buttons[gs::scroll_page_up - 1], 0.6f, 0.83f, 0.64f, 0.87f);
  EXPECT_BOX(r.buttons[gs::scroll_line_up - 1], 0.6f, 0.79f, 0.64f, 0.83f);
  EXPECT_BOX(r.buttons[gs::scroll_line_down - 1], 0.6f, 0.18f, 0.64f, 0.22f);
  EXPECT_BOX(r.buttons[gs::scroll_page_down - 1], 0.6f, 0.14f, 0.64f, 0.18f);
  EXPECT_BOX(r.buttons[gs::scroll_to_end - 1], 0.6f, 0.1f, 0.64f, 0.14f);
  EXPECT_BOX(r.thumb, 0.6f, 0.79f - 0.3f * 0.57f, 0.64f, 0.79f - 0.1f * 0.57f);
  // A short bar keeps a third of its height for the trough.
  const gs::ScrollBarRecord s = gs::scrollbar_layout({0.0f, 0.0f, 0.1f, 0.09f}, 10, 1, 10);
  EXPECT_BOX(s.trough, 0.0f, 0.03f, 0.1f, 0.06f);
  EXPECT_BOX(s.thumb, 0.0f, 0.03f, 0.1f, 0.06f);

  // Two bars side by side: the second one's buttons count from 7.
  Toolkit t;
  GS_SCROLLBAR(1, 0.1f, 0.1f, 0.14f, 0.91f, 50, 1, 10, t.status);
  GS_SCROLLBAR(2, 0.5f, 0.1f, 0.54f, 0.91f, 50, 1, 10, t.status);
  int button = 0;
  GS_CAL_SCROLLBAR(0.52f, 0.12f, button, t.status);
  EXPECT_EQ(button, gs::scroll_buttons + gs::scroll_to_end);
  GS_CAL_SCROLLBAR(0.12f, 0.89f, button, t.status);
  EXPECT_EQ(button, gs::scroll_to_start);
  GS_SCROLLBAR(1, 0.5f, 0.1f, 0.54f, 0.91f, 50, 1, 10, t.status);  // a new set
  GS_CAL_SCROLLBAR(0.12f, 0.89f, button, t.status);
  EXPECT_EQ(button, 0);
  GS_SCROLLBAR(3, 0.5f, 0.1f, 0.54f, 0.91f, 50, 1, 10, t.status);
  EXPECT_EQ(t.status, 140017);
}

TEST(GsWidgetLayout, WarningBoxInBothShapes) {
  // Width / height 1.25: the O.K. button below the text.
  gs::WarningLayout tall = gs::warning_layout({0.1f, 0.3f, 0.6f, 0.7f}, 2);
  EXPECT_TRUE(tall.tall);
  EXPECT_NEAR(tall.pitch, 0.116f, 1e-5f);
  EXPECT_BOX(tall.text, 0.11f, 0.3533333f, 0.59f, 0.5706667f);
  EXPECT_BOX(tall.ok, 0.5066667f, 0.3133333f, 0.59f, 0.34f);

  // The portrait GUI region (4.7 : 1): the button right of the text.
  Toolkit t;
  const std::array<std::string, 1> line{"Something went wrong"};
  gs::Box ok;
  GS_DRAW_WARNING(0.0f, 0.0f, 0.7071f, 0.15f, 1, 1, line, ok, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_BOX(ok, 0.6187125f, 0.005f, 0.692958f, 0.063926f);
  // Pitch 0.0725: the heading at 0.8 of it, half a pitch below the top.
  const auto heading = t.text_call("!!! WARNING !!!");
  EXPECT_NEAR(heading.state.text_height, 0.058f, 1e-5f);
  EXPECT_NEAR(heading.page_y[0], 0.11375f, 1e-5f);
  EXPECT_NEAR(heading.page_x[0], 0.35355f, 1e-5f);
  EXPECT_EQ(heading.state.text_colour, t.index(gs::white));
  const auto frame = t.window.calls_of("polyline").at(0);
  EXPECT_EQ(frame.state.line_colour, t.index(gs::yellow));
  EXPECT_FLOAT_EQ(frame.state.line_width, 4.0f);
  EXPECT_EQ(t.window.calls_of("fill_area").at(0).state.fill_colour, t.index(gs::red));
  // The line as an inactive prompt in the text box 0.014142 .. 0.60457 by
  // 0.005 .. 0.0725: centred at 0.309356, 0.03875.
  const auto text = t.text_call(line[0]);
  EXPECT_NEAR(text.page_x[0], 0.309356f, 1e-5f);
  EXPECT_NEAR(text.page_y[0], 0.03875f, 1e-5f);

  // The landscape GUI region.
  const gs::WarningLayout wide = gs::warning_layout({0.0f, 0.0f, 1.0f, 0.1f}, 1);
  EXPECT_FALSE(wide.tall);
  EXPECT_BOX(wide.text, 0.02f, 0.0033333f, 0.855f, 0.0483333f);
  EXPECT_BOX(wide.ok, 0.875f, 0.0033333f, 0.98f, 0.0483333f);
}

TEST(GsWidgetLayout, MenuOfSevenChoicesInTwoColumns) {
  Toolkit t;
  widgettest::draw_seven_choices(t.status);
  ASSERT_EQ(t.status, good);
  // Four rows and a title: row height 0.1; columns 0.35355 wide.
  const auto& r = gs::menu_record();
  ASSERT_EQ(r.boxes.size(), 7u);
  EXPECT_BOX(r.boxes[1], 0.3606245f, 0.305f, 0.7000295f, 0.395f);
  // The seventh alone in the left column of the last row.
  EXPECT_BOX(r.boxes[6], 0.0070710f, 0.005f, 0.3464790f, 0.095f);
  // Title 0.8 h below the top, height min(0.08, 0.7071 x 1.4 / 41).
  const auto heading = t.text_call("CHOOSE");
  EXPECT_NEAR(heading.page_y[0], 0.42f, 1e-5f);
  EXPECT_NEAR(heading.state.text_height, 0.7071f * 1.4f / 41.0f, 1e-5f);
  EXPECT_EQ(heading.state.text_colour, t.index(gs::white));
  // Labels min(0.07, 0.35355 x 1.4 / 21), blue, centred on their buttons.
  const auto seven = t.text_call("SEVEN");
  EXPECT_NEAR(seven.state.text_height, 0.35355f * 1.4f / 21.0f, 1e-5f);
  EXPECT_EQ(seven.state.text_colour, t.index(gs::blue));
  EXPECT_NEAR(seven.page_x[0], 0.1767755f, 1e-5f);
  EXPECT_NEAR(seven.page_y[0], 0.05f, 1e-5f);
  // The line below the title.
  EXPECT_TRUE(t.window.contains("polyline n=2 (0,0.4)(0.7071,0.4)"));

  // Column by column: the seventh heads the second column.
  widgettest::draw_seven_choices(t.status, 1);
  EXPECT_BOX(gs::menu_record().boxes[4], 0.3606245f, 0.305f, 0.7000295f, 0.395f);
  EXPECT_BOX(gs::menu_record().boxes[3], 0.0070710f, 0.005f, 0.3464790f, 0.095f);
}

TEST(GsWidgetLayout, MenuWithoutTitleUsesTheWholeHeight) {
  Toolkit t(true);
  const std::array<std::string, 3> labels{"A", "B", "C"};
  GS_MENU(1, 0, labels, 3, 3, labels, 0.1f, 0.1f, 0.5f, 0.4f, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_BOX(gs::menu_record().boxes[0], 0.108f, 0.305f, 0.492f, 0.395f);
  EXPECT_BOX(gs::menu_record().boxes[2], 0.108f, 0.105f, 0.492f, 0.195f);
  // The only two-point line would be the title's: none is drawn.
  for (const auto& c : t.window.calls_of("polyline")) {
    EXPECT_FALSE(c.x.size() == 2 && c.y[0] == c.y[1] && c.x[0] == 0.1f && c.x[1] == 0.5f);
  }
}

TEST(GsWidgetLayout, TypedLinePromptInTheGuiRegion) {
  // Portrait GUI region 0.7071 by 0.15: gap 0.006, buttons 0.078567 wide
  // and 0.04714 high, the field left of them.
  const gs::InputLayout l = gs::input_layout({0.0f, 0.0f, 0.7071f, 0.15f}, "FILE NAME", 0.0707f);
  EXPECT_BOX(l.ok, 0.622533f, 0.006f, 0.7011f, 0.05314f);
  EXPECT_BOX(l.help, 0.537967f, 0.006f, 0.616533f, 0.05314f);
  EXPECT_BOX(l.cancel, 0.4534f, 0.006f, 0.531967f, 0.05314f);
  EXPECT_BOX(l.field, 0.006f, 0.006f, 0.4474f, 0.144f);
  // The line editor's box just inside the field's outline (0.0046).
  EXPECT_BOX(l.device, 0.0106f, 0.0106f, 0.4428f, 0.1394f);
  // min(0.3 x 0.138, 0.4414 x 1.6 / 32)
  EXPECT_NEAR(l.height, 0.0220700f, 1e-5f);
  ASSERT_EQ(l.prompt_lines.size(), 1u);

  const std::string sixty = "ENTER THE NAME OF THE FILE WHICH HOLDS THE FLAT FIELD IMAGE!";
  ASSERT_EQ(sixty.size(), 60u);
  const gs::InputLayout two = gs::input_layout({0.0f, 0.0f, 0.7071f, 0.15f}, sixty, 0.0707f);
  ASSERT_EQ(two.prompt_lines.size(), 2u);
  EXPECT_EQ(two.prompt_lines[0], "ENTER THE NAME OF THE FILE WHICH HOLDS THE");
  EXPECT_EQ(two.prompt_lines[1], "FLAT FIELD IMAGE!");
  EXPECT_NEAR(two.device.ymax, 0.006f + 0.72f * 0.138f, 1e-5f);
  // No blank from the 40th character on: one line.
  EXPECT_EQ(gs::split_prompt(std::string(39, 'A') + " " + std::string(20, 'B')).size(), 2u);
  EXPECT_EQ(gs::split_prompt(std::string(38, 'A') + " " + std::string(21, 'B')).size(), 1u);
}

TEST(GsWidgetLayout, RewrappingModes) {
  const gs::Box box{0.0f, 0.0f, 0.7f, 0.3f};
  const std::array<std::string, 2> text{"the quick brown fox jumps over", "the lazy dog"};
  // One paragraph, at the width giving the largest characters.
  const auto para = gs::rewrap(gs::wrap_paragraph, 2, text, box, 0.0707f);
  std::string joined;
  for (const auto& l : para) joined += (joined.empty() ? "" : " ") + l;
  EXPECT_EQ(joined, "the quick brown fox jumps over the lazy dog");
  EXPECT_GT(para.size(), 1u);
  // Each line on its own keeps the break after "over".
  const auto each = gs::rewrap(gs::wrap_each, 2, text, box, 0.0707f);
  EXPECT_EQ(each.back().substr(0, 3), "the");
  EXPECT_NE(each.front().find("the quick"), std::string::npos);
  // Keeping the end of a long file name.
  const std::array<std::string, 1> path{
      "/very/long/directory/name/that/goes/on/and/on/for/ever/and/"
      "ever/until/the/file/image_0001.tif"};
  const auto end = gs::rewrap(gs::wrap_keep_end, 1, path, {0.0f, 0.0f, 0.3f, 0.05f}, 0.0707f);
  ASSERT_EQ(end.size(), 1u);
  EXPECT_EQ(end[0].substr(0, 3), "...");
  EXPECT_EQ(end[0].substr(end[0].size() - 14), "image_0001.tif");
  EXPECT_LE(end[0].size(), 80u);
  // Cut at the width, blanks or not; never more than 80 lines of 80.
  const std::array<std::string, 1> long_text{std::string(7000, 'x')};
  const auto hard = gs::rewrap(gs::wrap_hard, 1, long_text, box, 0.0707f);
  EXPECT_LE(hard.size(), 80u);
  for (const auto& l : hard) EXPECT_LE(l.size(), 80u);

  Toolkit t;
  GS_SPROMPT(gs::wrap_paragraph, 2, 2, text, 0.0f, 0.0f, 0.7f, 0.3f, t.status);
  EXPECT_EQ(t.status, good);
  EXPECT_EQ(t.window.calls_of("text").size(), para.size());
  GS_SPROMPT(6, 2, 2, text, 0.0f, 0.0f, 0.7f, 0.3f, t.status);
  EXPECT_EQ(t.status, 140017);
}

TEST(GsWidgetLayout, ArgumentChecksAndTheCallersStateComesBack) {
  Toolkit t;
  const std::array<std::string, 2> lines{"A", "B"};
  auto prompt = [&](int max, int n, float x0, float y0, float x1, float y1) {
    return [=, &lines](int& s) { GS_PROMPT(false, max, n, lines, x0, y0, x1, y1, s); };
  };
  const std::string prompt_id = "Subroutine GS_PROMPT V0.1";
  gs::Box ok;
  kovtest::run_rows(
      {{"no room for lines", prompt(0, 0, 0, 0, 1, 1), "", 140001, prompt_id},
       {"more lines than room", prompt(2, 3, 0, 0, 1, 1), "", 140005, prompt_id},
       {"negative count", prompt(2, -1, 0, 0, 1, 1), "", 140005, prompt_id},
       {"no width", prompt(2, 2, 0.5f, 0, 0.5f, 1), "", 140013, prompt_id},
       {"upside down", prompt(2, 2, 0, 0.5f, 1, 0.4f), "", 140014, prompt_id},
       {"menu without room for choices",
        [&](int& s) { GS_MENU(1, 1, lines, 0, 0, lines, 0, 0, 1, 1, s); }, "", 140001,
        "Subroutine GS_MENU V0.1"},
       {"warning with too many lines",
        [&](int& s) { GS_DRAW_WARNING(0, 0, 1, 1, 2, 3, lines, ok, s); }, "", 140005,
        "Subroutine GS_DRAW_WARNING V0.1"},
       {"warning without height", [&](int& s) { GS_WARNING(false, 0, 1, 1, 1, 2, 2, lines, s); },
        "", 140014, "Subroutine GS_WARNING V0.1"}},
      t.console);

  // The caller's data window, viewport, styles and regions survive a widget.
  int s = good;
  VG_DATAWINDOW(2.0f, 3.0f, 10.0f, 20.0f, s);
  VG_VIEWPORT(0.1f, 0.15f, 0.6f, 0.9f, s);
  GS_TEXTSTYLE(2, gs::green, 0.033f, 1.0f, 0.0f, 3, 4, s);
  GS_FILLSTYLE(1, gs::orange, s);
  GS_LINESTYLE(1, 3.0f, gs::magenta, s);
  GS_SET_DDDR(1.0f, 2.0f, 3.0f, 4.0f, s);
  const std::array<std::string, 1> one{"Q"};
  GS_MENU(1, 1, one, 1, 1, one, 0.1f, 0.1f, 0.6f, 0.6f, s);
  GS_PROMPT(true, 1, 1, one, 0.1f, 0.1f, 0.6f, 0.6f, s);
  const auto lines100 = numbered_lines(100);
  gs::Box a, b, c;
  int fit = 0;
  GS_DRAW_MESSAGE(100, 100, lines100, 1, 0.0f, 0.0f, 0.7f, 1.0f, a, b, c, fit, s);
  ASSERT_EQ(s, good);
  float w[4], v[4], d[4];
  VG_INQ_DATAWINDOW(w[0], w[1], w[2], w[3], s);
  VG_INQ_VIEWPORT(v[0], v[1], v[2], v[3], s);
  GS_INQ_DDDR(d[0], d[1], d[2], d[3], s);
  EXPECT_EQ((std::array<float, 4>{w[0], w[1], w[2], w[3]}), (std::array<float, 4>{2, 3, 10, 20}));
  EXPECT_EQ((std::array<float, 4>{v[0], v[1], v[2], v[3]}),
            (std::array<float, 4>{0.1f, 0.15f, 0.6f, 0.9f}));
  EXPECT_EQ((std::array<float, 4>{d[0], d[1], d[2], d[3]}), (std::array<float, 4>{1, 2, 3, 4}));
  bool clip = true;
  VG_INQ_CLIP(clip, s);
  EXPECT_FALSE(clip);
  int font = 0, colour = 0, h = 0, vv = 0, type = 0;
  float height = 0, factor = 0, angle = 0, width = 0;
  GS_INQ_TEXTSTYLE(font, colour, height, factor, angle, h, vv, s);
  EXPECT_EQ(font, 2);
  EXPECT_EQ(colour, gs::green);
  EXPECT_FLOAT_EQ(height, 0.033f);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(vv, 4);
  GS_INQ_FILLSTYLE(type, colour, s);
  EXPECT_EQ(colour, gs::orange);
  GS_INQ_LINESTYLE(type, width, colour, s);
  EXPECT_EQ(colour, gs::magenta);
  EXPECT_FLOAT_EQ(width, 3.0f);
  // The device has the caller's state again too.
  EXPECT_EQ(t.window.state().fill_colour, t.index(gs::orange));
  EXPECT_FLOAT_EQ(t.window.state().window[2], 10.0f);
}

}  // namespace

// The widgets driven by scripted input: message scrolling and SAVE, the
// integer, real and text prompts, the yes/no question, menu choices,
// warnings and the user closing the window.
#include <algorithm>
#include <array>

#include "gs_widget_fixture.h"
#include "gs_widgets.h"

namespace {

using widgettest::cx;
using widgettest::cy;
using widgettest::good;
using widgettest::numbered_lines;
using widgettest::Toolkit;

gs::Box gui_region() {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int s = good;
  GS_INQ_GUIREGION(x0, y0, x1, y1, s);
  return {x0, y0, x1, y1};
}

gs::Box message_region() {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int s = good;
  GS_INQ_MESSAGE(x0, y0, x1, y1, s);
  return {x0, y0, x1, y1};
}

gs::MessageLayout message_of(const std::vector<std::string>& lines,
                             const gs::Box& region = message_region()) {
  int s = good;
  return gs::message_layout(region, static_cast<int>(lines.size()), lines, gs::sample_width(), s);
}

// The help of a prompt or question: a message box over the GUI region.
gs::MessageLayout help_of(const std::vector<std::string>& lines) {
  return message_of(lines, gui_region());
}

// The first line shown by every drawing of a message box: the text drawn
// first after the previous drawing's "SAVE" label.
std::vector<int> first_lines_shown(const kovtest::RecordingWindow& w,
                                   const std::vector<std::string>& lines) {
  std::vector<int> firsts;
  bool start = true;
  for (const auto& t : w.texts()) {
    if (t == "SAVE") {
      start = true;
      continue;
    }
    if (!start) continue;
    start = false;
    const auto it = std::find(lines.begin(), lines.end(), t);
    firsts.push_back(it == lines.end() ? 0 : static_cast<int>(it - lines.begin()) + 1);
  }
  return firsts;
}

TEST(GsWidgetInput, MessageScrollsAtBothEndsAndByPages) {
  Toolkit t;
  const auto lines = numbered_lines(100);
  const gs::MessageLayout l = message_of(lines);
  ASSERT_EQ(l.fit, 34);
  const gs::ScrollBarRecord bar = gs::scrollbar_layout(l.scroll, 100, 1, l.fit);
  auto press = [&](int button) {
    const gs::Box& b = bar.buttons[static_cast<std::size_t>(button - 1)];
    t.window.push_click(cx(b), cy(b));
  };
  press(gs::scroll_line_up);        // at the start already: 1
  press(gs::scroll_page_up);        // 1
  press(gs::scroll_to_end);         // 100 - 34 + 1 = 67
  press(gs::scroll_line_down);      // 67
  press(gs::scroll_page_down);      // 67
  press(gs::scroll_page_up);        // 67 - 32 = 35
  press(gs::scroll_line_up);        // 34
  press(gs::scroll_page_down);      // 66
  press(gs::scroll_to_start);       // 1
  press(gs::scroll_page_down);      // 33
  t.window.push_click(0.3f, 0.5f);  // in the text: drawn again
  t.window.push_redraw();
  t.window.push_click(cx(l.ok), cy(l.ok));
  GS_MESSAGE(100, 100, lines, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_EQ(t.window.pending_input(), 0u);
  EXPECT_EQ(first_lines_shown(t.window, lines),
            (std::vector<int>{1, 1, 1, 67, 67, 67, 35, 34, 66, 1, 33, 33, 33}));
}

TEST(GsWidgetInput, SaveWritesEveryLineToTheNamedFileAndRemembersTheName) {
  Toolkit t;
  kovtest::TempDir dir;
  const std::vector<std::string> lines{"First line", "  indented second", "", "last"};
  const gs::MessageLayout l = message_of(lines);
  const std::string name = dir.file("saved.txt");
  t.window.push_click(cx(l.save), cy(l.save));
  t.window.push_line(name);
  t.window.push_click(cx(l.ok), cy(l.ok));
  GS_MESSAGE(4, 4, lines, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_EQ(kovtest::read_file(name), "First line\n  indented second\n\nlast\n");
  EXPECT_TRUE(t.window.contains("prompt=\"TEXT FILE NAME\" initial=\"help.txt\""))
      << t.window.dump();

  // The next SAVE offers the name used last; CANCEL writes nothing.
  t.window.clear();
  const gs::InputLayout input =
      gs::input_layout(gui_region(), "TEXT FILE NAME", gs::sample_width());
  t.window.push_click(cx(l.save), cy(l.save));
  t.window.push_click(cx(input.cancel), cy(input.cancel));
  t.window.push_click(cx(l.ok), cy(l.ok));
  GS_MESSAGE(4, 4, lines, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_TRUE(t.window.contains("initial=\"" + name + "\""));

  // A file that cannot be made is reported and the box stays.
  t.window.push_click(cx(l.save), cy(l.save));
  t.window.push_line(dir.file("no/such/directory/x.txt"));
  t.window.push_click(cx(l.ok), cy(l.ok));
  GS_MESSAGE(4, 4, lines, t.status);
  EXPECT_EQ(t.status, good);
  EXPECT_NE(t.console.text().find("WARNING: Cannot open the text file"), std::string::npos);
}

TEST(GsWidgetInput, IntegerPromptRefusesOutOfRangeAndTextAndTakesTheDefault) {
  Toolkit t;
  const std::array<std::string, 1> help{"The number of slices to reconstruct"};
  const std::array<std::string, 1> error{"Value must lie between 1 and 10"};
  const gs::Box gui = gui_region();
  const gs::WarningLayout one = gs::warning_layout(gui, 1);
  const gs::WarningLayout two = gs::warning_layout(gui, 2);
  t.window.push_line("11");
  t.window.push_click(cx(one.ok), cy(one.ok));
  t.window.push_line("abc");
  t.window.push_click(cx(two.ok), cy(two.ok));
  t.window.push_line("");
  int value = 5;
  GS_INPI(true, 1, 10, true, "NUMBER OF SLICES", 1, help, 1, error, value, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(t.window.pending_input(), 0u);
  const auto events = t.window.lines_of("event");
  ASSERT_GE(events.size(), 5u);
  EXPECT_NE(events[0].find("prompt=\"NUMBER OF SLICES (Range: 1 to 10)\" initial=\"5\""),
            std::string::npos);
  // After a refusal the refused answer is offered for editing.
  EXPECT_NE(events[2].find("initial=\"11\""), std::string::npos);
  const auto texts = t.window.texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), error[0]), 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(),
                       "WARNING: Input value: cannot convert to a integer number"),
            1);

  // An accepted answer; "?" shows the help in a message box first.
  const std::vector<std::string> help_lines(help.begin(), help.end());
  const gs::MessageLayout m = help_of(help_lines);
  t.window.clear();
  t.window.push_line("?");
  t.window.push_click(cx(m.ok), cy(m.ok));
  t.window.push_line(" 7 ");
  GS_INPI(true, 1, 10, true, "NUMBER OF SLICES", 1, help, 1, error, value, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(t.text_call(help[0]).state.text_font, 2);  // in the message box

  // Without a default an empty answer shows the help and asks again.
  t.window.push_line("");
  t.window.push_click(cx(m.ok), cy(m.ok));
  t.window.push_line("4");
  GS_INPI(false, 0, 0, false, "COUNT", 1, help, 1, error, value, t.status);
  EXPECT_EQ(value, 4);
  EXPECT_FALSE(t.window.contains("prompt=\"COUNT (Range"));

  // CANCEL leaves the value as it was.
  const gs::InputLayout input = gs::input_layout(gui, "COUNT", gs::sample_width());
  t.window.push_click(cx(input.cancel), cy(input.cancel));
  GS_INPI(false, 0, 0, false, "COUNT", 1, help, 1, error, value, t.status);
  EXPECT_EQ(t.status, good);
  EXPECT_EQ(value, 4);
  GS_INPI(false, 0, 0, false, "COUNT", 2, help, 1, error, value, t.status);
  EXPECT_EQ(t.status, 140005);
}

TEST(GsWidgetInput, RealPrompt) {
  Toolkit t(true);
  const std::array<std::string, 1> help{"A fraction"};
  const gs::WarningLayout one = gs::warning_layout(gui_region(), 1);
  t.window.push_line("1.5");  // out of range, no error lines: asked again at once
  t.window.push_line("NAN");  // in no range
  t.window.push_line("-INF");
  t.window.push_line("half");  // the conversion warning alone
  t.window.push_click(cx(one.ok), cy(one.ok));
  t.window.push_line("25%");
  float value = 0.5f;
  GS_INPR(true, 0.0f, 1.0f, true, "FRACTION", 1, help, 0, {}, value, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_FLOAT_EQ(value, 0.25f);
  EXPECT_EQ(t.window.pending_input(), 0u);
  EXPECT_TRUE(
      t.window.contains("prompt=\"FRACTION (Range: 0.0 to 1.000000)\" initial=\"0.500000\""))
      << t.window.dump();
  EXPECT_EQ(t.text_call("WARNING: Input value: cannot convert to a real number").state.text_colour,
            t.index(gs::black));
  t.window.push_line("2*10^-1");
  GS_INPR(false, 0.0f, 0.0f, false, "FRACTION", 1, help, 0, {}, value, t.status);
  EXPECT_FLOAT_EQ(value, 0.2f);
}

TEST(GsWidgetInput, SixtyCharacterTextPromptIsDrawnOnTwoLines) {
  Toolkit t;
  const std::string prompt = "ENTER THE NAME OF THE FILE WHICH HOLDS THE FLAT FIELD IMAGE!";
  const std::array<std::string, 1> help{"Any file name"};
  const gs::InputLayout l = gs::input_layout(gui_region(), prompt, gs::sample_width());
  t.window.push_line("abc.tif");
  std::string value = "old";
  GS_INPS(prompt, 1, help, "default.tif", value, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_EQ(value, "abc.tif");
  // The first line drawn above the line editor, which shows the second.
  const auto first = t.text_call("ENTER THE NAME OF THE FILE WHICH HOLDS THE");
  EXPECT_NEAR(first.page_y[0], l.device.ymax, 1e-6f);
  // It stands on the line editor's box, which the device fills: nothing of
  // it reaches below the box's top.
  EXPECT_EQ(first.state.text_vertical, gs::valign_bottom);
  const auto event = t.window.calls_of("event").at(0);
  EXPECT_EQ(event.text, "FLAT FIELD IMAGE!");
  EXPECT_NEAR(event.values[4], l.device.ymin, 1e-6f);
  EXPECT_NEAR(event.values[6], l.device.ymax - l.device.ymin, 1e-6f);
  EXPECT_TRUE(t.window.contains("initial=\"default.tif\""));
  for (const char* label : {"CANCEL", "HELP", "O.K."}) EXPECT_EQ(t.text_call(label).text, label);
  // The line editor draws on white in black.
  EXPECT_EQ(event.state.fill_colour, t.index(gs::white));
  EXPECT_EQ(event.state.text_colour, t.index(gs::black));

  // HELP, then O.K. with the typed line; CANCEL keeps the value.
  const std::vector<std::string> help_lines(help.begin(), help.end());
  const gs::MessageLayout m = help_of(help_lines);
  t.window.clear();
  t.window.push_click(cx(l.help), cy(l.help));
  t.window.push_click(cx(m.ok), cy(m.ok));
  vg::Event ok;
  ok.type = vg::event_button;
  ok.x = cx(l.ok);
  ok.y = cy(l.ok);
  ok.text = "typed.tif";
  t.window.push_event(ok);
  GS_INPC(prompt, 1, help, value, value, t.status);
  EXPECT_EQ(value, "typed.tif");
  EXPECT_EQ(t.text_call("Any file name").text, "Any file name");
  t.window.push_click(cx(l.cancel), cy(l.cancel));
  GS_INPS(prompt, 1, help, "", value, t.status);
  EXPECT_EQ(t.status, good);
  EXPECT_EQ(value, "typed.tif");
  // A tab ends the line as return does.
  t.window.push_line("tabbed", true);
  GS_INPS("SHORT", 1, help, "", value, t.status);
  EXPECT_EQ(value, "tabbed");
  EXPECT_EQ(t.window.calls_of("event").back().text, "SHORT");
}

TEST(GsWidgetInput, YesNoWithHelpAndCancel) {
  Toolkit t;
  const std::array<std::string, 1> help{"Answer yes to go on"};
  const gs::MenuLayout menu = gs::menu_layout(1, 4, gui_region(), 0, 4, 40, 10, gs::sample_width());
  const gs::Box cancel = menu.buttons[0], help_button = menu.buttons[1], yes = menu.buttons[2],
                no = menu.buttons[3];
  const std::vector<std::string> shown{"Answer yes to go on",
                                       "",
                                       "CANCEL: Cancel parameter input, no change to value",
                                       "HELP: Description of required input choice",
                                       "YES: Positive/affirmative response to question",
                                       "NO: Negative (or alternative) response to question"};
  const gs::MessageLayout m = help_of(shown);
  t.window.push_click(cx(help_button), cy(help_button));
  t.window.push_click(cx(m.ok), cy(m.ok));
  t.window.push_click(0.0001f, 0.149f);  // between buttons: nothing
  t.window.push_click(cx(yes), cy(yes));
  bool value = false;
  GS_INPL("ARE YOU SURE ?", 1, help, value, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_TRUE(value);
  EXPECT_EQ(t.window.pending_input(), 0u);
  EXPECT_EQ(t.text_call("ARE YOU SURE ?").state.text_colour, t.index(gs::white));
  EXPECT_EQ(t.text_call("NO: Negative (or alternative) response to question").text, shown.back());
  t.window.push_click(cx(no), cy(no));
  GS_INPL("ARE YOU SURE ?", 1, help, value, t.status);
  EXPECT_FALSE(value);
  value = true;
  t.window.push_click(cx(cancel), cy(cancel));
  GS_INPL("ARE YOU SURE ?", 1, help, value, t.status);
  EXPECT_TRUE(value);
  // The menu layout is the caller's again.
  int orientation = -1, columns = 0, title = 0, label = 0;
  GS_INQ_MENULAYOUT(orientation, columns, title, label, t.status);
  EXPECT_EQ(columns, 1);
  EXPECT_EQ(label, 20);
}

TEST(GsWidgetInput, MenuChoiceClickBetweenButtonsAndRedraw) {
  Toolkit t;
  widgettest::draw_seven_choices(t.status);
  const gs::Box seven = gs::menu_record().boxes[6];
  t.window.push_click(cx(seven), cy(seven));
  t.window.push_click(0.35355f, 0.35f);  // between the columns
  t.window.push_click(0.6f, 0.05f);      // the empty cell right of the seventh
  t.window.push_redraw();
  int kind = 0, choice = -1;
  std::string label;
  float x = 0, y = 0;
  GS_INP_MENUCHOICE(kind, choice, label, x, y, t.status);
  EXPECT_EQ(kind, gs::input_choice);
  EXPECT_EQ(choice, 7);
  EXPECT_EQ(label, "SEVEN");
  GS_INP_MENUCHOICE(kind, choice, label, x, y, t.status);
  EXPECT_EQ(kind, gs::input_outside);
  EXPECT_EQ(choice, 0);
  EXPECT_FLOAT_EQ(x, 0.35355f);
  GS_INP_MENUCHOICE(kind, choice, label, x, y, t.status);
  EXPECT_EQ(kind, gs::input_outside);
  GS_INP_MENUCHOICE(kind, choice, label, x, y, t.status);
  EXPECT_EQ(kind, gs::input_redraw);
  ASSERT_EQ(t.status, good);
  // Fewer active choices (as forms set them): the seventh no longer counts.
  gs::menu_record().num_choices = 6;
  GS_CAL_MENUCHOICE(cx(seven), cy(seven), choice, t.status);
  EXPECT_EQ(choice, 0);
  // The user closes the window while the menu waits.
  GS_INP_MENUCHOICE(kind, choice, label, x, y, t.status);
  EXPECT_EQ(t.status, io::status_escape);
}

TEST(GsWidgetInput, ReadyMadeMenusAndTheColourMenu) {
  Toolkit t;
  const std::array<std::string, 1> help{"How the values are stored"};
  // "?", "HELP" and four types in three columns; no title.
  const gs::MenuLayout types =
      gs::menu_layout(0, 6, gui_region(), 0, 3, 40, 20, gs::sample_width());
  const std::vector<std::string> about{"?: Description of available menu choices",
                                       "HELP: Description of required input choice",
                                       "4-BYTE INTEGER: Signed or unsigned, either byte order",
                                       "BYTE VALUES: Single byte signed or unsigned integers",
                                       "INTEGER (2-BYTE): Signed or unsigned either byte order",
                                       "REAL (4-BYTE IEEE): Floating point real numbers"};
  const gs::MessageLayout m = help_of(about);
  t.window.push_click(cx(types.buttons[0]), cy(types.buttons[0]));
  t.window.push_click(cx(m.ok), cy(m.ok));
  t.window.push_click(cx(types.buttons[3]), cy(types.buttons[3]));
  int type = 0;
  GS_INP_DATATYPE(1, help, type, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_EQ(type, gs::datatype_byte);
  EXPECT_EQ(t.text_call(about[5]).text, about[5]);

  const gs::MenuLayout scans =
      gs::menu_layout(1, 6, gui_region(), 0, 3, 40, 20, gs::sample_width());
  t.window.push_click(cx(scans.buttons[5]), cy(scans.buttons[5]));
  int scan = -1;
  GS_INP_SCANTYPE(1, help, scan, t.status);
  EXPECT_EQ(scan, gs::scan_radial);
  t.window.push_click(cx(scans.buttons[2]), cy(scans.buttons[2]));
  GS_INP_SCANTYPE(1, help, scan, t.status);
  EXPECT_EQ(scan, gs::scan_2theta);
  EXPECT_EQ(t.text_call("SELECT TYPE OF OUTPUT SCAN").text, "SELECT TYPE OF OUTPUT SCAN");

  // Fifteen colours in five columns: the third row holds the index entries.
  const gs::MenuLayout colours =
      gs::menu_layout(1, 15, gui_region(), 0, 5, 40, 10, gs::sample_width());
  t.window.push_click(cx(colours.buttons[2]), cy(colours.buttons[2]));
  int colour = gs::red;
  GS_GUI_COLOUR("LINE COLOUR", colour, t.status);
  EXPECT_EQ(colour, gs::brown);
  t.window.push_click(cx(colours.buttons[14]), cy(colours.buttons[14]));
  GS_GUI_COLOUR("LINE COLOUR", colour, t.status);
  EXPECT_EQ(colour, gs::inverse);
  t.window.push_click(0.0001f, 0.0001f);  // outside every button: unchanged
  GS_GUI_COLOUR("LINE COLOUR", colour, t.status);
  EXPECT_EQ(colour, gs::inverse);
  EXPECT_EQ(t.status, good);
}

TEST(GsWidgetInput, EnclosingMenuRecordSurvivesNestedWidgets) {
  Toolkit t;
  const std::array<std::string, 2> labels{"LEFT", "RIGHT"};
  GS_MENU(1, 0, labels, 2, 2, labels, 0.1f, 0.5f, 0.6f, 0.9f, t.status);
  const gs::MenuRecord before = gs::menu_record();
  const std::array<std::string, 1> help{"h"};
  const gs::MenuLayout menu = gs::menu_layout(1, 4, gui_region(), 0, 4, 40, 10, gs::sample_width());
  t.window.push_click(cx(menu.buttons[2]), cy(menu.buttons[2]));
  bool value = false;
  GS_INPL("SURE ?", 1, help, value, t.status);
  EXPECT_TRUE(value);
  ASSERT_EQ(gs::menu_record().boxes.size(), 2u);
  EXPECT_EQ(gs::menu_record().labels, before.labels);
  int choice = 0;
  GS_CAL_MENUCHOICE(cx(before.boxes[1]), cy(before.boxes[1]), choice, t.status);
  EXPECT_EQ(choice, 2);
}

TEST(GsWidgetInput, WarningWaitsForItsOkButton) {
  Toolkit t;
  const std::array<std::string, 2> lines{"The file could not be read", "Try another"};
  const gs::WarningLayout l = gs::warning_layout(gui_region(), 2);
  t.window.push_click(0.2f, 0.05f);  // on the text: nothing
  t.window.push_redraw();
  t.window.push_click(cx(l.ok), cy(l.ok));
  GS_FWARNING(2, 2, lines, t.status);
  ASSERT_EQ(t.status, good);
  const auto texts = t.window.texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "!!! WARNING !!!"), 2);
  EXPECT_EQ(t.window.pending_input(), 0u);
}

TEST(GsWidgetInput, ClosedWindowEndsEveryWidgetWithTheUserEscape) {
  const std::array<std::string, 1> lines{"x"};
  {
    Toolkit t;
    GS_MESSAGE(1, 1, lines, t.status);
    EXPECT_EQ(t.status, io::status_escape);
  }
  {
    Toolkit t;
    t.window.push_closed();
    GS_FWARNING(1, 1, lines, t.status);
    EXPECT_EQ(t.status, io::status_escape);
  }
  {
    Toolkit t;
    int value = 3;
    GS_INPI(false, 0, 0, true, "N", 1, lines, 0, {}, value, t.status);
    EXPECT_EQ(t.status, io::status_escape);
    EXPECT_EQ(value, 3);
    // The caller's transform is back even so.
    float w[4];
    int s = good;
    VG_INQ_DATAWINDOW(w[0], w[1], w[2], w[3], s);
    EXPECT_FLOAT_EQ(w[2], 1.0f);
  }
  {
    Toolkit t;
    bool value = true;
    GS_INPL("Q", 1, lines, value, t.status);
    EXPECT_EQ(t.status, io::status_escape);
  }
}

TEST(GsWidgetInput, MenuDocumentationWritesTheMenuToPostScript) {
  Toolkit t;
  kovtest::TempDir dir;
  GS_SET_DOCUMENTATION(false, true, t.status);
  const std::array<std::string, 1> title{"DOCUMENTED MENU"};
  const std::array<std::string, 3> labels{"FIRST", "SECOND", "THIRD"};
  GS_FMENU(1, 1, title, 3, 3, labels, t.status);
  GS_OPEN_PS(dir.file("menu.ps"), t.status);
  ASSERT_EQ(t.status, good);
  t.window.push_click(0.0001f, 0.149f);  // outside every button
  t.window.push_click(0.0001f, 0.149f);
  int kind = 0, choice = 0;
  std::string label;
  float x = 0, y = 0;
  GS_INP_MENUCHOICE(kind, choice, label, x, y, t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_EQ(kind, gs::input_redraw);
  bool open = true;
  GS_INQ_PSFILE(open, t.status);
  EXPECT_FALSE(open);
  const std::string ps = kovtest::read_file(dir.file("menu.ps"));
  EXPECT_NE(ps.find("DOCUMENTED MENU"), std::string::npos);
  EXPECT_NE(ps.find("SECOND"), std::string::npos);
  // Offered once per drawing.
  GS_INP_MENUCHOICE(kind, choice, label, x, y, t.status);
  EXPECT_EQ(kind, gs::input_outside);
  EXPECT_EQ(gs::menu_record().labels.size(), 3u);
}

}  // namespace

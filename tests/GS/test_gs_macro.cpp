// Every widget's answer from a replayed macro, and the same answer given in
// the window kept in a recorded macro, in the form the macro reads back.
#include <filesystem>
#include <regex>

#include "console_capture.h"
#include "gs_tool_script.h"
#include "gs_widget_fixture.h"

namespace {

using W = kovtest::RecordingWindow*;  // given, the window's answers are pushed first
const std::array<std::string, 1> kHelp{"Help line"};
const std::vector<std::string> kLines{"First line", "second"};

gs::Box gui() {
  gs::Box b;
  int s = widgettest::good;
  GS_INQ_GUIREGION(b, s);
  return b;
}

std::string typed(W w, int& s) {  // an integer, a real, a text and a YES
  int i = 3;
  float r = 1.0f;
  std::string t;
  bool yes = false;
  for (const char* line : {"7", "0.25", "scan one"})
    if (w) w->push_line(line);
  if (w) tooltest::click(*w, tooltest::question_button(gui(), 2));
  GS_INPI(true, 1, 10, true, "NUMBER OF SLICES", 1, kHelp, 1, kHelp, i, s);
  GS_INPR(true, 0.0f, 180.0f, true, "ANGLE", 1, kHelp, 1, kHelp, r, s);
  GS_INPS("OUTPUT NAME", 1, kHelp, 1, kHelp, "", t, s);
  GS_INPL("KEEP IT", 1, kHelp, yes, s);
  return std::to_string(i) + " " + std::to_string(r) + " " + t + (yes ? " YES" : " NO");
}
std::string menu(W w, int& s) {
  widgettest::draw_seven_choices(s);
  if (w) tooltest::click(*w, gs::menu_record().boxes[2]);
  int kind = 0, choice = 0;
  std::string label;
  float x = 0.0f, y = 0.0f;
  GS_INP_MENUCHOICE(kind, choice, label, x, y, s);
  return std::to_string(choice) + " " + label;
}
std::string form(W w, int& s) {  // one logical entry, its description "ENTRY 1"
  std::array<std::string, 6> choices{"ENTRY 1"}, explanations, texts;
  std::array<int, 1> types{gs::form_logical}, ints{};
  std::array<bool, 1> ranges{}, logical{false};
  const std::array<std::array<int, 2>, 1> ib{};
  const std::array<std::array<float, 2>, 1> rb{};
  std::array<float, 1> reals{};
  bool cancelled = false;
  if (w) tooltest::entry(*w, 1, 0);
  if (w) tooltest::click(*w, tooltest::question_button(tooltest::form(1).prompt, 2));
  if (w) tooltest::control(*w, 1, 0);
  GS_FORM(1, 1, kHelp, 1, 1, kHelp, 6, 1, choices, types, choices, explanations, ranges, ib, rb,
          ints, logical, reals, texts, cancelled, s);
  return logical[0] && !cancelled ? "YES" : "NO";
}
std::string boxes(W w, int& s) {  // a message saved, then O.K.; a warning
  const gs::MessageLayout l =
      gs::message_layout(tooltest::message_region(), 2, kLines, gs::sample_width(), s);
  if (w) tooltest::click(*w, l.save);
  if (w) w->push_line("help.txt");  // in the test's folder
  if (w) tooltest::click(*w, l.ok);
  if (w) tooltest::click(*w, gs::warning_layout(gui(), 1).ok);
  GS_MESSAGE(2, 2, kLines, s);
  GS_FWARNING(1, 1, kHelp, s);
  return kovtest::read_file("help.txt");
}
std::string point(W w, int& s) {  // typed after KEYBOARD
  const float data[4]{};
  const gs::Box keyboard =
      gs::menu_layout(1, 4, gui(), 0, 4, 40, 20, gs::sample_width()).buttons[2];
  if (w) tooltest::click(*w, keyboard);
  if (w) w->push_line("60.25");
  if (w) w->push_line("-1");
  float x = 0.0f, y = 0.0f;
  int n = 0;
  GS_INPS_FCOORDINATES(true, {data, 2, 2}, 1, 1, 2, 2, 1, 1, kHelp, 1, 1, kHelp, 1, n,
                       std::span(&x, 1), std::span(&y, 1), s);
  return std::to_string(n) + " " + std::to_string(x) + " " + std::to_string(y);
}
std::string file(W w, int& s) {
  const std::array<std::string, 1> prompt{"SELECT DATA FILE"};
  std::string extension, chosen = "b.dat";
  bool cancelled = false;
  if (w) tooltest::type_name(*w, "a.dat");
  if (w) tooltest::answer_yes(*w);
  GS_FILESELECTION(1, 1, prompt, 1, 1, kHelp, gs::select_input, 0, extension, chosen, cancelled, s);
  return cancelled ? "cancelled" : chosen;
}

// Replayed, then recorded from the window's answers; or replayed only, with
// no answer in the window or with the one it is handed.
enum class Use { both, replay, handed };
struct Row {
  std::string (*widget)(W, int&);
  const char* macro;  // as recorded; {DIR} is the test's folder
  const char* value;
  Use use = Use::both;
  int status = widgettest::good;
  const char* console = "";  // after the replay
};
const int kStop = io::status_macro_refused;
const std::vector<Row> kRows{
    {typed, "! NUMBER OF SLICES\n7\n! ANGLE\n0.25\n! OUTPUT NAME\nscan one\n! KEEP IT\nYES\n",
     "7 0.250000 scan one YES"},
    {menu, "! MENU CHOICE (GRAPHICAL INPUT): CHOOSE\nTHREE\n", "3 THREE"},
    {form,
     "! MENU CHOICE (GRAPHICAL INPUT)\nENTRY 1\n! ENTRY 1\nYES\n"
     "! MENU CHOICE (GRAPHICAL INPUT)\nO.K.\n",
     "YES"},
    {boxes, "! ENTER COMMAND\nSAVE\n! TEXT FILE NAME\nhelp.txt\n! ENTER COMMAND\nO.K.\n",
     "First line\nsecond\n", Use::both, widgettest::good, "\nHelp line\n"},
    {point,
     "! NUMBER OF COORDINATES (GRAPHICAL INPUT)\n1\n! X-COORDINATE (GRAPHICAL INPUT)\n60.25\n"
     "! Y-COORDINATE (GRAPHICAL INPUT)\n-1\n",
     "1 60.250000 -1.000000"},
    {file, "! SELECT DATA FILE\n{DIR}/a.dat\n", "{DIR}/a.dat"},
    {menu, "NINE\n", "0 ", Use::replay, kStop, "(GRAPHICAL INPUT)): Command not known"},
    {menu, "MENU CHOICE (GRAPHICAL INPUT)\n", "3 THREE", Use::handed, widgettest::good,
     "INFO: Control returned to graphics window"},
    {file, "none.dat\n", "cancelled", Use::replay, kStop, "FILE): !!! FILE DOES NOT EXIST !!!"},
};

class GsMacro : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::current_path(dir.path());  // the files of the table
    kovtest::write_file("a.dat", "data\n");
  }
  void TearDown() override {
    std::filesystem::current_path(start);
    reset();
  }
  void reset() {
    IO_DEF_MACRO(t.status = widgettest::good);
    t.window.clear();
    console.clear();
  }
  std::string in_dir(const char* text) const {
    return std::regex_replace(text, std::regex("\\{DIR\\}"), dir.path());
  }

  widgettest::Toolkit t;
  const std::filesystem::path start = std::filesystem::current_path();
  kovtest::TempDir dir;
  kovtest::ConsoleCapture console;
};

TEST_F(GsMacro, EveryWidgetTakesItsAnswerFromTheMacroAndRecordsTheOneGivenInTheWindow) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.macro);
    reset();
    kovtest::write_file("m.mac", in_dir(row.macro));
    IO_OPEN_MACRO("m.mac", t.status);
    EXPECT_EQ(row.widget(row.use == Use::handed ? &t.window : nullptr, t.status),
              in_dir(row.value));
    EXPECT_EQ(t.status, row.status) << console.text();
    EXPECT_NE(console.text().find(row.console), std::string::npos) << console.text();
    bool left = true;
    IO_MACRO_ANSWERS_LEFT(left, t.status = widgettest::good);
    EXPECT_FALSE(left);
    if (row.use != Use::both) continue;
    reset();
    IO_START_RECORD("r.mac", t.status);
    EXPECT_EQ(row.widget(&t.window, t.status), in_dir(row.value));
    EXPECT_EQ(t.window.pending_input(), 0u);
    IO_END_RECORD(true, t.status);
    const std::string recorded = kovtest::read_file("r.mac");
    EXPECT_EQ(recorded.substr(recorded.find('\n') + 1),
              in_dir(row.macro) + "  *** END OF MACRO FILE ***\n");
  }
}

}  // namespace

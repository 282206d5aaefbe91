// Every widget's answer from a replayed macro, and the same answer given in
// the window kept in a recorded macro, in the form the macro reads back.
#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "console_capture.h"
#include "gs_tool_script.h"
#include "gs_widget_fixture.h"

namespace {

using kovtest::RecordingWindow;
using widgettest::good;

const std::array<std::string, 1> kHelp{"Help line"};
const std::array<std::string, 1> kError{"Error line"};
const std::vector<std::string> kMessage{"First line", "second"};

// `text` with "{DIR}" replaced by the test's folder.
std::string in_dir(std::string text, const std::string& dir) {
  for (std::size_t at = text.find("{DIR}"); at != std::string::npos; at = text.find("{DIR}"))
    text.replace(at, 5, dir);
  return text;
}

std::string numbers(std::initializer_list<float> values) {
  std::string text;
  for (float v : values) {
    char s[32];
    std::snprintf(s, sizeof s, "%s%g", text.empty() ? "" : " ", static_cast<double>(v));
    text += s;
  }
  return text;
}

gs::Box gui_region() {
  gs::Box b;
  int s = good;
  GS_INQ_GUIREGION(b, s);
  return b;
}

std::string menu_choice(int& status) {
  widgettest::draw_seven_choices(status);
  int kind = 0, choice = 0;
  std::string label;
  float x = 0.0f, y = 0.0f;
  GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
  return std::to_string(choice) + " " + label;
}
void click_three(RecordingWindow& w, const std::string&) {
  tooltest::click(
      w, gs::menu_layout(1, 7, {0.0f, 0.0f, 0.7071f, 0.5f}, 0, 2, 40, 20, gs::sample_width())
             .buttons[2]);
}

// A form of one logical entry.
std::string logical_form(int& status) {
  const std::array<std::string, 1> title{"FORM"};
  std::array<std::string, 6> choices{"ENTRY 1"}, explanations{}, texts{};
  const std::array<int, 1> types{gs::form_logical};
  const std::array<std::string, 1> descriptions{"LOG SCALE"};
  const std::array<bool, 1> ranges{false};
  const std::array<std::array<int, 2>, 1> ibounds{};
  const std::array<std::array<float, 2>, 1> rbounds{};
  std::array<int, 1> ints{};
  std::array<bool, 1> logicals{false};
  std::array<float, 1> reals{};
  bool cancelled = false;
  GS_FORM(1, 1, title, 1, 1, kHelp, 6, 1, choices, types, descriptions, explanations, ranges,
          ibounds, rbounds, ints, logicals, reals, texts, cancelled, status);
  return logicals[0] && !cancelled ? "YES" : "NO";
}

// Two points on a displayed image.
std::string two_points(int& status) {
  std::vector<float> xs, ys, data(40 * 30, 1.0f);
  for (int i = 1; i <= 40; ++i) xs.push_back(10.0f + 2.0f * static_cast<float>(i));
  for (int j = 1; j <= 30; ++j) ys.push_back(-5.0f + 0.5f * static_cast<float>(j));
  const io::View2D<const float> view{data.data(), 40, 30};
  GS_PLOT(view, xs, ys, 1, 1, 40, 30, "T", "X", "Y", "Z", status);
  const std::array<std::string, 1> title{"SELECT RECTANGLE"}, info{"Click twice"};
  std::array<float, 2> x{}, y{};
  int num = 0;
  GS_INPS_FCOORDINATES(true, view, 1, 1, 40, 30, 1, 1, title, 1, 1, info, 2, num, x, y, status);
  return num == 2 ? numbers({x[0], y[0], x[1], y[1]}) : "none";
}
void keyboard_points(RecordingWindow& w, const std::string&) {
  const gs::Box menu = gui_region();
  const gs::Box keyboard = gs::menu_layout(1, 4, menu, 0, 4, 40, 20, gs::sample_width()).buttons[2];
  for (const auto& [x, y] : {std::pair{"20", "3.5"}, std::pair{"60.25", "-1"}}) {
    tooltest::click(w, keyboard);
    w.push_line(x);
    w.push_line(y);
  }
}

std::string select_file(const std::string& dir, int& status) {
  const std::array<std::string, 1> prompt{"SELECT DATA FILE"};
  std::string extension, name = dir + "/b.dat";
  bool cancelled = false;
  GS_FILESELECTION(1, 1, prompt, 1, 1, kHelp, gs::select_input, 0, extension, name, cancelled,
                   status);
  return cancelled ? "cancelled" : name;
}

struct Row {
  const char* widget;
  std::function<std::string(const std::string& dir, int&)> ask;  // its value as text
  // The window input giving the same answer (recorded), or the one answer
  // handed to the window (replayed only).
  std::function<void(RecordingWindow&, const std::string& dir)> input;
  const char* macro;  // as recorded; "{DIR}" is the test's folder
  const char* value;
  bool recorded = true;
  int status = good;
  const char* console = "";  // in the console after the replay
};

const std::vector<Row>& rows() {
  static const std::vector<Row> table{
      {"integer",
       [](const std::string&, int& s) {
         int v = 3;
         GS_INPI(true, 1, 10, true, "NUMBER OF SLICES", 1, kHelp, 1, kError, v, s);
         return std::to_string(v);
       },
       [](RecordingWindow& w, const std::string&) { w.push_line("7"); }, "! NUMBER OF SLICES\n7\n",
       "7"},
      {"real",
       [](const std::string&, int& s) {
         float v = 1.0f;
         GS_INPR(true, 0.0f, 180.0f, true, "ANGLE", 1, kHelp, 1, kError, v, s);
         return numbers({v});
       },
       [](RecordingWindow& w, const std::string&) { w.push_line("0.25"); }, "! ANGLE\n0.25\n",
       "0.25"},
      {"text",
       [](const std::string&, int& s) {
         std::string v;
         GS_INPS("OUTPUT NAME", 1, kHelp, 1, kError, "", v, s);
         return v;
       },
       [](RecordingWindow& w, const std::string&) { w.push_line("scan one"); },
       "! OUTPUT NAME\nscan one\n", "scan one"},
      {"yes/no",
       [](const std::string&, int& s) {
         bool v = false;
         GS_INPL("KEEP IT", 1, kHelp, v, s);
         return std::string(v ? "YES" : "NO");
       },
       [](RecordingWindow& w, const std::string&) {
         tooltest::click(w, tooltest::question_button(gui_region(), 2));
       },
       "! KEEP IT\nYES\n", "YES"},
      {"menu choice", [](const std::string&, int& s) { return menu_choice(s); }, click_three,
       "! MENU CHOICE (GRAPHICAL INPUT): CHOOSE\nTHREE\n", "3 THREE"},
      {"form with a logical entry", [](const std::string&, int& s) { return logical_form(s); },
       [](RecordingWindow& w, const std::string&) {
         tooltest::entry(w, 1, 0);
         tooltest::click(w, tooltest::question_button(tooltest::form(1).prompt, 2));
         tooltest::control(w, 1, 0);
       },
       "! MENU CHOICE (GRAPHICAL INPUT)\nENTRY 1\n! LOG SCALE\nYES\n"
       "! MENU CHOICE (GRAPHICAL INPUT)\nO.K.\n",
       "YES"},
      {"message O.K. and SAVE",
       [](const std::string& dir, int& s) {
         GS_MESSAGE(2, 2, kMessage, s);
         return kovtest::read_file(dir + "/help.txt");
       },
       [](RecordingWindow& w, const std::string&) {
         int s = good;
         const gs::MessageLayout l =
             gs::message_layout(tooltest::message_region(), 2, kMessage, gs::sample_width(), s);
         tooltest::click(w, l.save);
         w.push_line("help.txt");
         tooltest::click(w, l.ok);
       },
       "! ENTER COMMAND\nSAVE\n! TEXT FILE NAME\nhelp.txt\n! ENTER COMMAND\nO.K.\n",
       "First line\nsecond\n"},
      {"warning returning at once",
       [](const std::string&, int& s) {
         const std::array<std::string, 1> lines{"Look out"};
         GS_FWARNING(1, 1, lines, s);
         return std::string();
       },
       [](RecordingWindow& w, const std::string&) {
         tooltest::click(w, gs::warning_layout(gui_region(), 1).ok);
       },
       "", "", true, good, "Look out"},
      {"coordinates", [](const std::string&, int& s) { return two_points(s); }, keyboard_points,
       "! NUMBER OF COORDINATES (GRAPHICAL INPUT)\n2\n! X-COORDINATE (GRAPHICAL INPUT)\n20\n"
       "! Y-COORDINATE (GRAPHICAL INPUT)\n3.5\n! X-COORDINATE (GRAPHICAL INPUT)\n60.25\n"
       "! Y-COORDINATE (GRAPHICAL INPUT)\n-1\n",
       "20 3.5 60.25 -1"},
      {"file selection", select_file,
       [](RecordingWindow& w, const std::string& dir) {
         tooltest::type_name(w, dir + "/a.dat");
         tooltest::answer_yes(w);
       },
       "! SELECT DATA FILE\n{DIR}/a.dat\n", "{DIR}/a.dat"},
      {"unknown label", [](const std::string&, int& s) { return menu_choice(s); }, nullptr,
       "NINE\n", "0 ", false, io::status_macro_refused,
       "(MENU CHOICE (GRAPHICAL INPUT)): Command not known"},
      {"choice handed to the window", [](const std::string&, int& s) { return menu_choice(s); },
       click_three, "MENU CHOICE (GRAPHICAL INPUT)\n", "3 THREE", false, good,
       "INFO: Control returned to graphics window"},
      {"missing file", select_file, nullptr, "{DIR}/none.dat\n", "cancelled", false,
       io::status_macro_refused, "!!! FILE DOES NOT EXIST, OR WRONG PATH !!!"},
  };
  return table;
}

class GsMacro : public ::testing::Test {
 protected:
  // In the test's folder: the message box saves to the name it offers
  // first, which it keeps for the next box.
  void SetUp() override {
    kovtest::write_file(dir.file("a.dat"), "data\n");
    std::filesystem::current_path(dir.path());
    reset();
  }
  void TearDown() override {
    std::filesystem::current_path(start);
    reset();
  }
  void reset() {
    int s = good;
    IO_DEF_MACRO(s);
    t.status = good;
    t.window.clear();
    console.clear();
  }

  widgettest::Toolkit t;
  const std::filesystem::path start = std::filesystem::current_path();
  kovtest::TempDir dir;
  kovtest::ConsoleCapture console;
};

TEST_F(GsMacro, EveryWidgetTakesItsAnswerFromTheMacro) {
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.widget);
    reset();
    kovtest::write_file(dir.file("m.mac"), in_dir(row.macro, dir.path()));
    IO_OPEN_MACRO(dir.file("m.mac"), t.status);
    if (!row.recorded && row.input) row.input(t.window, dir.path());
    EXPECT_EQ(row.ask(dir.path(), t.status), in_dir(row.value, dir.path()));
    EXPECT_EQ(t.status, row.status) << console.text();
    EXPECT_EQ(t.window.pending_input(), 0u);
    EXPECT_NE(console.text().find(row.console), std::string::npos) << console.text();
    bool left = true;
    int s = good;
    IO_MACRO_ANSWERS_LEFT(left, s);
    EXPECT_FALSE(left);
  }
}

TEST_F(GsMacro, AnswersGivenInTheWindowAreRecordedAsTheMacroReadsThem) {
  for (const Row& row : rows()) {
    if (!row.recorded) continue;
    SCOPED_TRACE(row.widget);
    reset();
    IO_START_RECORD(dir.file("r.mac"), t.status);
    row.input(t.window, dir.path());
    EXPECT_EQ(row.ask(dir.path(), t.status), in_dir(row.value, dir.path()));
    ASSERT_EQ(t.status, good) << t.window.dump();
    EXPECT_EQ(t.window.pending_input(), 0u);
    IO_END_RECORD(true, t.status);
    const std::string text = kovtest::read_file(dir.file("r.mac"));
    const std::size_t body = text.find('\n') + 1;
    EXPECT_EQ(text.substr(body), in_dir(row.macro, dir.path()) + "  *** END OF MACRO FILE ***\n");
  }
}

}  // namespace

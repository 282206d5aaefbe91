// Forms driven through scripted events on the recording window: the count
// checks, editing by type, CANCEL, the menu-choice limit, the display texts
// and the layout's invariants.
#include <algorithm>
#include <array>
#include <memory>

#include "console_capture.h"
#include "gs_tool_script.h"
#include "gs_widget_fixture.h"

namespace {

using widgettest::good;
using widgettest::Toolkit;

// The arrays of a form of n entries, all of one type unless changed.
struct Arrays {
  explicit Arrays(int entries, int type = gs::form_logical, int room = gs::form_controls)
      : n(entries),
        choices(static_cast<std::size_t>(entries + room)),
        explanations(static_cast<std::size_t>(entries + room)),
        descriptions(static_cast<std::size_t>(entries)),
        texts(static_cast<std::size_t>(entries)),
        types(static_cast<std::size_t>(entries), type),
        ints(static_cast<std::size_t>(entries), 5),
        ibounds(static_cast<std::size_t>(entries), std::array<int, 2>{1, 10}),
        rbounds(static_cast<std::size_t>(entries), std::array<float, 2>{0.0f, 180.0f}),
        reals(static_cast<std::size_t>(entries), 1.0f),
        ranges(new bool[static_cast<std::size_t>(entries)]),
        logicals(new bool[static_cast<std::size_t>(entries)]),
        max_choices(entries + room) {
    for (int k = 0; k < entries; ++k) {
      choices[static_cast<std::size_t>(k)] = "ENTRY " + std::to_string(k + 1);
      descriptions[static_cast<std::size_t>(k)] = "DESCRIPTION OF ENTRY " + std::to_string(k + 1);
      explanations[static_cast<std::size_t>(k)] = "ENTRY " + std::to_string(k + 1) + ": what";
      ranges[static_cast<std::size_t>(k)] = true;
      logicals[static_cast<std::size_t>(k)] = true;
    }
  }
  void run(int& status) {
    const std::array<std::string, 2> title{"TEST FORM", "SECOND LINE"};
    const std::array<std::string, 1> help{"Specific help of the test form"};
    const std::size_t s = static_cast<std::size_t>(n);
    GS_FORM(2, 2, title, 1, 1, help, max_choices, n, choices, types, descriptions, explanations,
            std::span<const bool>(ranges.get(), s), ibounds, rbounds, ints,
            std::span<bool>(logicals.get(), s), reals, texts, cancelled, status);
  }
  int n;
  std::vector<std::string> choices, explanations, descriptions, texts;
  std::vector<int> types, ints;
  std::vector<std::array<int, 2>> ibounds;
  std::vector<std::array<float, 2>> rbounds;
  std::vector<float> reals;
  std::unique_ptr<bool[]> ranges, logicals;
  int max_choices;
  bool cancelled = false;
};

TEST(GsForm, CountsAndRoomAreChecked) {
  struct Case {
    int entries, room, status;
  } const cases[] = {
      {20, 5, good},
      {21, 5, gs::status_bad_maximum},
      {0, 5, gs::status_bad_maximum},
      {8, 4, gs::status_bad_count},
  };
  for (const Case& c : cases) {
    Toolkit t;
    Arrays a(c.entries > 0 ? c.entries : 1, gs::form_logical, c.room);
    a.n = c.entries;
    if (c.status == good) tooltest::control(t.window, c.entries, 0);
    a.run(t.status);
    EXPECT_EQ(t.status, c.status) << c.entries << " entries, room " << c.room;
    if (c.status == good) {
      EXPECT_FALSE(a.cancelled);
      EXPECT_EQ(a.choices[20], "O.K.");
      EXPECT_EQ(a.explanations[24], "INFO: General information on using the form");
    }
  }
}

TEST(GsForm, EditsByTypeAndCancelKeepsThem) {
  for (const bool landscape : {false, true}) {
    Toolkit t(landscape);
    gs::Box before;
    GS_INQ_GUIREGION(before, t.status);
    Arrays a(4);
    a.types = {gs::form_logical, gs::form_integer, gs::form_real, gs::form_text};
    a.texts[3] = "old text";
    // The logical turns over three times without a question.
    for (int k = 0; k < 3; ++k) tooltest::entry(t.window, 4, 0);
    // The integer: 11 is out of 1 .. 10 and refused in a warning; then 7.
    tooltest::entry(t.window, 4, 1);
    t.window.push_line("11");
    tooltest::form_warning_ok(t.window, 4);
    t.window.push_line("7");
    // The real: 180.5 and NAN refused, 180 taken; the text retyped, an
    // empty one refused.
    tooltest::entry(t.window, 4, 2);
    for (const char* refused : {"180.5", "NAN"}) {
      t.window.push_line(refused);
      tooltest::form_warning_ok(t.window, 4);
    }
    t.window.push_line("180.0");
    tooltest::entry(t.window, 4, 3);
    t.window.push_line("");
    tooltest::form_warning_ok(t.window, 4);
    t.window.push_line("new text");
    tooltest::control(t.window, 4, 1);  // CANCEL
    a.run(t.status);
    ASSERT_EQ(t.status, good) << t.window.dump();
    EXPECT_EQ(t.window.pending_input(), 0u);
    EXPECT_TRUE(a.cancelled);
    EXPECT_FALSE(a.logicals[0]);
    EXPECT_EQ(a.ints[1], 7);
    EXPECT_EQ(a.reals[2], 180.0f);
    EXPECT_EQ(a.texts[3], "new text");
    EXPECT_TRUE(t.window.contains("Enter integer value within given range"));
    EXPECT_TRUE(t.window.contains("Enter real value within given range"));
    EXPECT_TRUE(t.window.contains("Enter character string"));
    EXPECT_TRUE(t.window.contains("Click on variable to change, or 'O.K.'"));
    // The caller's GUI region is back.
    gs::Box gui;
    GS_INQ_GUIREGION(gui, t.status);
    EXPECT_EQ(gui, before);
  }
}

TEST(GsForm, MenuChoiceOnlyForTheFirstTwelve) {
  Toolkit t;
  Arrays a(13, gs::form_menu);
  for (auto& s : a.texts) s = "LINEAR|CUBIC|SPLINE";
  a.ints.assign(13, 1);
  // Entry 13: the warning; entry 1: the menu, "CUBIC" (after "?" and "HELP").
  tooltest::entry(t.window, 13, 12);
  tooltest::form_warning_ok(t.window, 13);
  tooltest::entry(t.window, 13, 0);
  gs::Box strip = tooltest::form(13).prompt;
  const gs::MenuLayout menu = gs::menu_layout(1, 5, strip, 0, 3, 40, 20, gs::sample_width());
  tooltest::click(t.window, menu.buttons[3]);
  tooltest::control(t.window, 13, 0);
  a.run(t.status);
  ASSERT_EQ(t.status, good) << t.window.dump();
  EXPECT_TRUE(t.window.contains("MENU ONLY POSSILE FOR FIRST 12 CHOICES"));
  EXPECT_EQ(a.ints[0], 2);
  EXPECT_EQ(a.ints[12], 1);
  EXPECT_TRUE(t.window.contains("CUBIC"));
  // Data without alternatives is refused on the console.
  int choice = 4;
  const std::array<std::string, 1> help{"h"};
  GS_INP_FORMMENU("PICK", 1, help, " | ", choice, t.status);
  EXPECT_EQ(choice, 4);
  EXPECT_NE(t.console.text().find("WARNING: Bad form menu data"), std::string::npos);
}

TEST(GsForm, FileEntriesChooseInTheTool) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("projection_0001.tif"), "x");
  Toolkit t;
  Arrays a(2);
  a.types = {gs::form_input_file, gs::form_output_file};
  a.texts = {dir.file("projection_0001.tif"), dir.file("volume.vol")};
  // The input file: its row in the tool, confirmed; the output file: a new
  // name typed and confirmed; then O.K.
  tooltest::entry(t.window, 2, 0);
  tooltest::list_row(t.window, tooltest::selection().files, 1);
  tooltest::answer_yes(t.window);
  tooltest::entry(t.window, 2, 1);
  tooltest::type_name(t.window, "volume_2.vol");
  tooltest::answer_yes(t.window);
  tooltest::control(t.window, 2, 0);
  a.run(t.status);
  ASSERT_EQ(t.status, good) << t.window.dump();
  EXPECT_EQ(t.window.pending_input(), 0u);
  EXPECT_EQ(a.texts[0], dir.file("projection_0001.tif"));
  EXPECT_EQ(a.texts[1], dir.file("volume_2.vol"));
  EXPECT_TRUE(t.window.contains("DIRECTORY: " + dir.path()));
}

TEST(GsForm, QuestionMarkHelpAndInfo) {
  Toolkit t;
  Arrays a(2);
  gs::Box region = tooltest::message_region();
  for (int c : {2, 3, 4}) {
    tooltest::control(t.window, 2, c);
    int s = good;
    const std::vector<std::string> one{"x"};
    // O.K. of the message box over the form.
    const gs::MessageLayout m = gs::message_layout(region, 1, one, gs::sample_width(), s);
    tooltest::click(t.window, m.ok);
  }
  tooltest::control(t.window, 2, 0);
  a.run(t.status);
  ASSERT_EQ(t.status, good) << t.window.dump();
  EXPECT_TRUE(t.window.contains("CANCEL: Interrupt operation: No values changed"));
  EXPECT_TRUE(t.window.contains("Specific help of the test form"));
  EXPECT_TRUE(t.window.contains("INTERACTIVE VARIABLE UPDATING FORM"));
  // The fixed help: 94 lines of at most 57 characters.
  const auto help = gs::form_help_text();
  ASSERT_EQ(help.size(), 94u);
  for (const char* line : help) {
    ASSERT_NE(line, nullptr);
    EXPECT_LE(std::string(line).size(), 57u) << line;
  }
  EXPECT_EQ(std::string(help[2]), "This form allows one or more variable values to be");
}

TEST(GsForm, DisplayTexts) {
  const std::string fifty = "abcdefghij0123456789ABCDEFGHIJ0123456789klmnopqrst";
  struct Case {
    int type, integer;
    bool logical;
    float real;
    std::string text, shown;
  } const cases[] = {
      {gs::form_integer, 800, false, 0, "", "800"},
      {gs::form_logical, 0, true, 0, "", "YES"},
      {gs::form_logical, 0, false, 0, "", "NO"},
      {gs::form_real, 0, false, 2.0f, "", "2.000000"},
      {gs::form_colour, gs::red, false, 0, "", "RED"},
      {gs::form_scan_type, 2, false, 0, "", "Q-SPACE"},
      {gs::form_text, 0, false, 0, fifty, fifty.substr(0, 42) + "..."},
      {gs::form_input_file, 0, false, 0, fifty, fifty.substr(5)},
      {gs::form_output_file, 0, false, 0, "/short/name.vol", "/short/name.vol"},
      {gs::form_menu, 3, false, 0, "A|B|SPLINE", "SPLINE"},
  };
  for (const Case& c : cases) {
    int s = good;
    EXPECT_EQ(gs::form_display(c.type, c.integer, c.logical, c.real, c.text, s), c.shown)
        << "type " << c.type;
  }
  // Values rewrap into at most 4 lines of 15; file names keep their end.
  EXPECT_EQ(gs::form_wrap(fifty.substr(5), 15, 4, true).back(), fifty.substr(35));
  for (const auto& line :
       gs::form_wrap("A VERY LONG DESCRIPTION OF SOMETHING MUCH TOO LONG", 24, 3, false)) {
    EXPECT_LE(line.size(), 24u);
  }
}

TEST(GsForm, LayoutStaysInsideAndColumnsDoNotOverlap) {
  for (const gs::Box region : {gs::Box{0, 0, 0.7071f, 1.0f}, gs::Box{0, 0, 1.0f, 0.7071f}}) {
    for (const int n : {1, 8, 20}) {
      const gs::FormLayout l = gs::form_layout(region, n);
      auto inside = [&](const gs::Box& b) {
        return b.xmin >= region.xmin && b.xmax <= region.xmax && b.ymin >= region.ymin &&
               b.ymax <= region.ymax && b.xmin < b.xmax && b.ymin < b.ymax;
      };
      for (const gs::Box& b : {l.title, l.controls, l.prompt, l.head_description}) {
        EXPECT_TRUE(inside(b));
      }
      EXPECT_LT(l.controls.ymax, l.title.ymin);
      EXPECT_LT(l.head_description.ymax, l.controls.ymin);
      for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        EXPECT_TRUE(inside(l.description[i]) && inside(l.value[i]) && inside(l.change[i]));
        EXPECT_LE(l.description[i].xmax, l.value[i].xmin);
        EXPECT_LE(l.value[i].xmax, l.change[i].xmin);
        EXPECT_LT(l.description[i].ymax, l.head_description.ymin);
        EXPECT_GT(l.description[i].ymin, l.prompt.ymax);
        if (k > 0) {
          EXPECT_LT(l.description[i].ymax, l.description[i - 1].ymin);
        }
      }
    }
  }
}

}  // namespace

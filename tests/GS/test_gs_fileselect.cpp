// The file selection tool in real directories made by the tests, driven
// through scripted events on the recording window.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "gs_tool_script.h"
#include "gs_widget_fixture.h"

namespace {

using widgettest::good;
using widgettest::Toolkit;
namespace fs = std::filesystem;

void touch(const std::string& path) {
  std::ofstream(path) << "x";
}

std::string cwd() {
  return fs::current_path().string();
}

// The name in the selection line when "File Selection O.K. ? :" is first
// asked.
std::string shown_at_question(const kovtest::RecordingWindow& w) {
  const gs::Box line = tooltest::selection().selected;
  std::string shown;
  for (const auto& c : w.calls_of("text")) {
    if (c.text == "File Selection O.K. ? :") break;
    if (line.contains(c.page_x[0], c.page_y[0])) shown = c.text;
  }
  return shown;
}

// The tool with one prompt line and one help line.
struct Select {
  int mode = gs::select_input;
  std::string extension = gs::all_permitted;
  std::string name;
  bool cancelled = false;
  void run(int& status) {
    const std::array<std::string, 1> prompt{"SELECT TEST FILE"};
    const std::array<std::string, 1> help{"The file the test wants"};
    GS_FILESELECTION(1, 1, prompt, 1, 1, help, mode, 0, extension, name, cancelled, status);
  }
};

TEST(GsFileSelection, TypedNamesResolve) {
  const char* home = std::getenv("HOME");
  const std::string h = home != nullptr ? std::string(home) : std::string();
  struct Case {
    std::string directory, typed, path;
    int retstat;
  } const cases[] = {
      {"/data/scan", "proj_0001.tif", "/data/scan/proj_0001.tif", 0},
      {"/data/scan", "sub/x.tif", "/data/scan/sub/x.tif", 0},
      {"/data/scan", "../other/./y.tif", "/data/other/y.tif", 0},
      {"/data/scan", "/abs/z.tif", "/abs/z.tif", 0},
      {"/data/scan", "  padded.tif  ", "/data/scan/padded.tif", 0},
      {"/", "..", "/", 0},
      {"/data", "~/x", h + "/x", 0},
      {"/data", "~no_such_user_here/x", "", 1},
      {"/data", "   ", "", 1},
  };
  for (const Case& c : cases) {
    int r = -1;
    const std::string p = gs::typed_path(c.directory, c.typed, r);
    EXPECT_EQ(r, c.retstat) << c.typed;
    if (c.retstat == 0) {
      EXPECT_EQ(fs::path(p).lexically_normal(), fs::path(c.path).lexically_normal()) << c.typed;
    }
  }
  EXPECT_EQ(gs::fitted("abcdefghij", 8, false), "abcde...");
  EXPECT_EQ(gs::fitted("abcdefghij", 8, true), "...fghij");
  EXPECT_EQ(gs::fitted("abc", 8, true), "abc");
  EXPECT_EQ(gs::middle_fitted("sample_name_proj_00001.tif", 13), "samp...01.tif");
}

TEST(GsFileSelection, EmptyDirectoryAndRootWarning) {
  kovtest::TempDir dir;
  const std::string before = cwd();
  Toolkit t;
  Select s;
  s.name = dir.file("none.tif");   // opens in its directory
  tooltest::command(t.window, 0);  // CANCEL
  s.run(t.status);
  ASSERT_EQ(t.status, good) << t.window.dump();
  EXPECT_TRUE(s.cancelled);
  EXPECT_EQ(s.name, dir.file("none.tif"));
  EXPECT_TRUE(t.window.contains("NO SELECTED FILES"));
  EXPECT_TRUE(t.window.contains("NO SUB-DIRECTORIES"));
  EXPECT_TRUE(t.window.contains("DIRECTORY: " + dir.path()));
  // At the root, UP DIR warns and stays.
  t.window.clear();
  s.name = "/nothing_here_at_all";
  tooltest::click(t.window, tooltest::selection().up);
  tooltest::warning_ok(t.window);
  tooltest::command(t.window, 0);
  s.run(t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_TRUE(t.window.contains("WARNING: You can't go above the \"root\" directory"));
  EXPECT_TRUE(t.window.contains("DIRECTORY: /"));
  EXPECT_EQ(cwd(), before);
}

TEST(GsFileSelection, InputAndOutputModesRefuseAndConfirm) {
  kovtest::TempDir dir;
  touch(dir.file("there.tif"));
  fs::create_directory(dir.file("sub"));
  touch(dir.file("sub/deep.tif"));
  const std::string before = cwd();
  Toolkit t;
  struct Case {
    int mode;
    std::string typed, warning, chosen;
  } const cases[] = {
      {gs::select_input, "missing.tif", " !!! FILE DOES NOT EXIST !!!", "there.tif"},
      {gs::select_input, "sub/missing.tif", " !!! FILE DOES NOT EXIST, OR WRONG PATH !!!",
       "sub/deep.tif"},
      {gs::select_output, "there.tif", " !!! FILE MUST NOT ALREADY EXIST !!!", "new.vol"},
      {gs::select_output, "nodir/new.vol", " !!! FILE DOES NOT EXIST, OR WRONG PATH !!!",
       "sub/new.vol"},
  };
  for (const Case& c : cases) {
    t.window.clear();
    Select s;
    s.mode = c.mode;
    s.name = dir.file("start");
    tooltest::type_name(t.window, c.typed);
    tooltest::warning_ok(t.window);
    // The right name, refused at the question with CANCEL and with NO, then
    // confirmed; it is shown as the selection when the question asks.
    for (const auto answer : {tooltest::answer_cancel, tooltest::answer_no, tooltest::answer_yes}) {
      tooltest::type_name(t.window, c.chosen);
      answer(t.window);
    }
    s.run(t.status);
    ASSERT_EQ(t.status, good) << t.window.dump();
    EXPECT_TRUE(t.window.contains(c.warning)) << c.typed;
    const std::string shown = shown_at_question(t.window);
    const std::string name = fs::path(c.chosen).filename().string();
    EXPECT_EQ(shown.substr(shown.size() - std::min(shown.size(), name.size())), name) << shown;
    EXPECT_TRUE(t.window.contains("File Selection O.K. ? :"));
    EXPECT_FALSE(s.cancelled);
    EXPECT_EQ(s.name, dir.file(c.chosen)) << c.typed;
    EXPECT_EQ(t.window.pending_input(), 0u) << c.typed;
  }
  EXPECT_EQ(cwd(), before);
}

TEST(GsFileSelection, ListsBeyondTheStoresAreCutWithTheirWarning) {
  const std::string dirs_warning = "WARNING: Problem obtaining list of directories";
  struct Case {
    gs::ListStores stores;
    std::vector<std::string> lines;
    std::size_t directories, files;
  } const cases[] = {
      {{3, 6, 3}, {}, 3, 3},
      {{2, 6, 3}, {dirs_warning, "         Too many directories"}, 2, 3},
      {{3, 5, 3}, {dirs_warning, "         List of names too long"}, 2, 3},
      {{3, 6, 2}, {"WARNING: Problem obtaining list of files"}, 3, 2},
  };
  for (const Case& c : cases) {
    std::vector<std::string> dirs{"aa", "bb", "cc"}, files{"f1.tif", "f2.tif", "f3.tif"};
    EXPECT_EQ(gs::stored(dirs, files, c.stores), c.lines);
    EXPECT_EQ(dirs.size(), c.directories);
    EXPECT_EQ(files.size(), c.files);
  }
}

TEST(GsFileSelection, ListsDescendClimbAndNarrow) {
  kovtest::TempDir dir;
  for (const char* f : {"a_001.tif", "a_002.tif", "b_001.TIF", "notes.txt"}) touch(dir.file(f));
  fs::create_directory(dir.file("flats"));
  touch(dir.file("flats/flat_1.tif"));
  Toolkit t;
  Select s;
  s.name = dir.file("a_002.tif");  // shown as the selection
  const gs::SelectionLayout l = tooltest::selection();
  tooltest::list_row(t.window, l.dirs, 1);    // into "flats"
  tooltest::click(t.window, l.up);            // and back
  tooltest::type_name(t.window, "./flats/");  // a typed directory: into it
  tooltest::click(t.window, l.up);
  tooltest::command(t.window, 4);  // TYPES: tif (any case)
  t.window.push_line("tif");
  tooltest::command(t.window, 5);  // FILTER: a_*
  t.window.push_line("a_*");
  tooltest::list_row(t.window, l.files, 1);  // a_001.tif
  tooltest::answer_yes(t.window);
  s.run(t.status);
  ASSERT_EQ(t.status, good) << t.window.dump();
  EXPECT_TRUE(t.window.contains("FILES (4)"));
  int into_flats = 0;
  for (const auto& text : t.window.texts()) into_flats += text == "FILES (1)";
  EXPECT_EQ(into_flats, 2);  // flat_1.tif in flats, clicked and typed
  EXPECT_TRUE(t.window.contains("DIRECTORY: " + dir.file("flats")));
  EXPECT_TRUE(t.window.contains("FILES (3)  TYPE: tif"));
  EXPECT_TRUE(t.window.contains("FILES (2)  TYPE: tif  FILTER: a_*"));
  EXPECT_EQ(s.name, dir.file("a_001.tif"));
  EXPECT_EQ(s.extension, "tif");
}

TEST(GsFileSelection, HundredThousandNamesListWholeAndScroll) {
  kovtest::TempDir dir;
  constexpr int n = 100000;
  for (int k = 1; k <= n; ++k) {
    char name[64];
    std::snprintf(name, sizeof name, "/sample_name_proj_%06d.tif", k);
    std::ofstream(dir.path() + name);
  }
  Toolkit t;
  const std::array<std::string, 1> prompt{"SELECT"};
  gs::SelectionView v;
  gs::selection_first_screen(1, 1, prompt, dir.file("sample_name_proj_050000.tif"), v, t.status);
  ASSERT_EQ(t.status, good);
  ASSERT_EQ(v.files.size(), static_cast<std::size_t>(n));
  EXPECT_EQ(v.selected_item, 50000);
  const gs::SelectionLayout l = tooltest::selection();
  EXPECT_LE(v.first_file, 50000);
  EXPECT_GT(v.first_file + l.rows, 50000);
  EXPECT_TRUE(t.window.contains("FILES (100000)"));
  EXPECT_EQ(t.console.text().find("WARNING"), std::string::npos);
  // Only the rows that show are drawn.
  int rows = 0;
  for (const auto& text : t.window.texts()) rows += text.rfind("sample_name_proj_", 0) == 0;
  EXPECT_EQ(rows, l.rows + 1);  // and the selected name
  // The wheel scrolls the list under the pointer by three rows; the end
  // button goes to the last page.
  t.window.clear();
  Select s;
  s.name = dir.file("sample_name_proj_000001.tif");
  t.window.push_event(
      vg::Event{vg::event_wheel_down, tooltest::cx(l.files), tooltest::cy(l.files), ""});
  const gs::ScrollBarRecord bar = gs::scrollbar_layout(l.files_bar, n, 1, l.rows);
  tooltest::click(t.window, bar.buttons[gs::scroll_to_end - 1]);
  tooltest::command(t.window, 0);
  s.run(t.status);
  ASSERT_EQ(t.status, good);
  EXPECT_TRUE(t.window.contains("sample_name_proj_000004.tif"));
  EXPECT_TRUE(t.window.contains("sample_name_proj_100000.tif"));
}

}  // namespace

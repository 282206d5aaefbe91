// The whole set-up as a user runs it: kov_master as a separate process on a
// series made by kov_phantom, driven by clicks and keys (XTest) in its
// window; one driver for every run. Where to click comes from the layouts
// the widgets use, measured with the toolkit opened here in the same page
// format (then closed, so that only the program's window is on the screen).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../../GS/gs_tool_script.h"
#include "../../VG/x11/x11_support.h"
#include "console_capture.h"
#include "gs.h"
#include "kov_axis_sweep.h"
#include "kov_steps.h"
#include "program_window.h"
#include "run_program.h"
#include "vg_fixture.h"
#include "wait.h"

using namespace x11test;

namespace {

namespace fs = std::filesystem;
constexpr int good = io::status_good;

// A series made by the generator.
struct Series {
  bool horizontal = false;
  double axis_offset = 6.37;         // pixels from the centre of the line
  std::string corrections = "none";  // none, background, flatfield, series
  int projections = 61;
  int width = 512, height = 384;
  // A leaning axis: its lines' positions scatter and the two halves of the
  // range differ, so a warning box comes before the position prompt.
  double tilt = 0.0;
};

// The generator's file names: "proj_NNN.tif" and the like.
std::string numbered(const char* stem, int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%s_%03d.tif", stem, number);
  return name;
}

// The answers of one run.
struct Answers {
  bool landscape = false;
  Series series;
  bool typed_directories = true;  // false: bare names (the selection opens where remembered)
  bool set_options = true;        // false: the forms as offered (remembered)
  // Where the run is cancelled ("" runs to the end): "first file", "form 1",
  // "sweep" (its CANCEL), "axis prompt" (the window closed), "save" (and the
  // end confirmed).
  std::string cancel_at;
  // A user who changes their mind: the flat-field chosen as the background
  // and NO said to it, another slice of the sweep chosen (one step right of
  // the middle) and the step halved, and CANCEL at the parameter file's
  // selection with NO said to ending without it.
  bool second_thoughts = false;
  // A closer look at the sweep: its step doubled (its ends 4 pixels off),
  // and the page written to PostScript (the program started with +DFORM).
  bool closer_look = false;
  // The macro file the run is recorded in ("" records nothing).
  std::string record;
};
Answers answers(bool landscape, const Series& s, bool second_thoughts = false,
                bool closer_look = false) {
  Answers a;
  a.landscape = landscape;
  a.series = s;
  a.second_thoughts = second_thoughts;
  a.closer_look = closer_look;
  return a;
}
// The slice of the sweep that the run with second thoughts chooses, and
// how far its position lies from the one offered.
constexpr int chosen_slice = 5;
constexpr double chosen_offset = (chosen_slice - 4) * kov::sweep_step;

// The boxes the driver clicks, in page units.
struct Boxes {
  gs::Box name_field, selection_yes, selection_cancel;
  gs::Box yes, no;  // the yes/no question in the GUI region
  gs::Box form1_ok, form1_cancel, form2_ok;
  std::vector<gs::Box> form1_entries, form2_entries;
  gs::Box image_page, image_world;  // where the image is drawn, and its pixel edges
  gs::Box axis_warning_ok;          // the O.K. of the axis step's warning box
  gs::Box range_warning_ok;         // the O.K. of a value's one-line refusal
  kov::SweepLayout sweep;           // the sweep page's slices
  std::vector<gs::Box> sweep_buttons;
};

Boxes measure(bool landscape, int width, int height) {
  Boxes b;
  int status = good;
  kovtest::open_graphics(landscape ? std::vector<std::string>{"-LAND"} : std::vector<std::string>{},
                         status);
  kov::set_image_display(status);
  EXPECT_EQ(status, good);
  const gs::SelectionLayout s = tooltest::selection();
  b.name_field = s.name_field;
  b.selection_yes = tooltest::question_button(tooltest::selection_gui(), 2);
  b.selection_cancel =
      gs::menu_layout(0, 6, s.commands, 0, 6, 40, 10, gs::sample_width()).buttons[0];
  gs::Box gui;
  GS_INQ_GUIREGION(gui, status);
  b.yes = tooltest::question_button(gui, 2);
  b.no = tooltest::question_button(gui, 3);
  b.form1_ok = tooltest::control_box(8, 0);
  b.form1_cancel = tooltest::control_box(8, 1);
  b.form2_ok = tooltest::control_box(7, 0);
  b.form1_entries = tooltest::form(8).change;
  b.form2_entries = tooltest::form(7).change;
  // The box that says the lines scatter and the halves differ: five lines.
  b.axis_warning_ok = gs::warning_layout(gui, 5).ok;
  b.range_warning_ok = gs::warning_layout(gui, 1).ok;
  b.sweep = kov::sweep_layout(status);
  const gs::MenuGrid& g = kov::sweep_menu_grid;
  b.sweep_buttons = gs::menu_layout(1, kov::sweep_controls, gui, g.orientation, g.columns,
                                    g.title_characters, g.label_characters, gs::sample_width())
                        .buttons;
  // The image as the set-up shows it.
  io::Image<float> image;
  image.allocate(2048, 2048);
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) image(x, y) = static_cast<float>(x + y);
  }
  kov::show_image(image, width, height, "measure", status);
  GS_INQ_DGPP(b.image_page, status);
  GS_INQ_IDR(b.image_world, status);
  EXPECT_EQ(status, good);
  kovtest::close_graphics();
  return b;
}

// Keys for the characters of a path.
void type_text(const Connection& x, const std::string& text) {
  for (char c : text) {
    if (c == '_') {
      x.key(XK_underscore, true);
    } else if (c == '/') {
      x.key(XK_slash);
    } else if (c == '-') {
      x.key(XK_minus);
    } else {
      x.type(std::string(1, c));
    }
  }
}

std::map<std::string, std::string> parameter_values(const std::string& text) {
  std::map<std::string, std::string> v;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find(" = ");
    if (eq == std::string::npos || line[0] == '!') continue;
    std::string value = line.substr(eq + 3);
    const auto bang = value.find(" !");
    if (bang != std::string::npos) value = value.substr(0, bang);
    while (!value.empty() && value.back() == ' ') value.pop_back();
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    v[line.substr(0, eq)] = value;
  }
  return v;
}

double true_axis(const std::string& dir) {
  const auto v = parameter_values(kovtest::read_file(dir + "/true_axis.txt"));
  return std::stod(v.at("ROTATION_AXIS_POSITION"));
}

std::vector<std::string> lines_starting(const std::string& output, const std::string& start) {
  std::vector<std::string> found;
  for (const auto& l : kovtest::split_lines(output)) {
    if (l.rfind(start, 0) == 0) found.push_back(l);
  }
  return found;
}

// The angle between the generator's projections, as typed.
std::string angle_text(int projections) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", 180.0 / (projections - 1));
  return text;
}

// One run of the program, driven through the set-up.
class SetupRun {
 public:
  SetupRun(const Answers& a, const std::string& data, const std::string& home,
           const std::string& shots)
      : a_(a), data_(data), home_(home), shots_(shots) {}

  kovtest::ProgramResult run(const std::string& program = KOV_MASTER_PATH,
                             std::vector<std::string> arguments = {}) {
    const int width = a_.series.width, height = a_.series.height;
    boxes_ = measure(a_.landscape, width, height);
    if (a_.landscape) arguments.push_back("-LAND");
    if (a_.closer_look) arguments.push_back("+DFORM");
    if (!a_.record.empty()) arguments.insert(arguments.end(), {"-RECORD", a_.record});
    auto child = kovtest::start_program(program, arguments, {{"HOME", home_}});
    window_ = kovtest::program_window(x_.get());
    if (window_ == 0) {
      ADD_FAILURE() << "no window";
      return kovtest::finish_program(child, 1);
    }
    x_.window_size(window_, w_, h_);
    x_.focus(window_);
    drive(width, height);
    return kovtest::finish_program(child, 30);
  }
  const std::string& parameter_file() const { return parameter_file_; }
  std::string sweep_postscript() const { return home_ + "/sweep.ps"; }

 private:
  // The window's picture once it has changed from the last one and has
  // been quiet for a while; saved as the screenshot of the step.
  // A step may also wait for what the new picture must show.
  void step(const std::string& name, const std::function<bool(const Picture&)>& shows = {}) {
    last_ = kovtest::settled_picture(
        [&] { return x_.grab(window_); },
        [&](const Picture& p) { return p.pixels != last_.pixels && (!shows || shows(p)); },
        std::chrono::milliseconds(250));
    if (!shots_.empty()) {
      char number[16];
      std::snprintf(number, sizeof number, "%02d", ++shot_);
      screenshot(window_, shots_ + "_" + number + "_" + name);
    }
  }
  void click_page(float px, float py) {
    const float scale = static_cast<float>(std::max(w_, h_));
    x_.click(window_, static_cast<int>(px * scale), h_ - 1 - static_cast<int>(py * scale));
  }
  void click(const gs::Box& b) { click_page(tooltest::cx(b), tooltest::cy(b)); }
  void click(kov::SweepControl c) { click(boxes_.sweep_buttons[static_cast<std::size_t>(c) - 1]); }
  // The sweep page once its menu is there (not the prompt shown while the
  // axis is computed): the face of its CANCEL button, left of the label.
  void sweep_step(const std::string& name) {
    const gs::Box& b =
        boxes_.sweep_buttons[static_cast<std::size_t>(kov::SweepControl::cancel) - 1];
    const float scale = static_cast<float>(std::max(w_, h_));
    const int x = static_cast<int>((b.xmin + 0.08f * (b.xmax - b.xmin)) * scale);
    const int y = h_ - 1 - static_cast<int>(tooltest::cy(b) * scale);
    step(name, [&](const Picture& p) { return near(p.at(x, y), 255, 255, 0, 60); });
  }
  // A click on the image at pixel coordinates (0.0 the lower edge of the first pixel).
  void click_image(float wx, float wy) {
    const gs::Box& p = boxes_.image_page;
    const gs::Box& w = boxes_.image_world;
    click_page(p.xmin + (wx - w.xmin) / (w.xmax - w.xmin) * (p.xmax - p.xmin),
               p.ymin + (wy - w.ymin) / (w.ymax - w.ymin) * (p.ymax - p.ymin));
  }
  std::string file(const std::string& name) const {
    return a_.typed_directories ? data_ + "/" + name : name;
  }
  // Replaces the text offered in a value prompt by `text` and ends the line.
  void retype(const std::string& text) {
    for (int i = 0; i < 16; ++i) x_.key(XK_BackSpace);
    type_text(x_, text);
    x_.key(XK_Return);
  }
  // Types a name in the file selection and confirms it.
  void choose(const std::string& name) {
    click(boxes_.name_field);
    type_text(x_, name);
    x_.key(XK_Return);
    step("confirm");
    click(boxes_.selection_yes);
  }
  // A logical entry of control form 1 set to `value`: a click turns it
  // over, or, while the run is recorded, asks the question answered here.
  void set_entry(std::size_t k, bool value, const std::string& name) {
    click(boxes_.form1_entries[k]);
    step(name);
    if (a_.record.empty()) return;
    click(value ? boxes_.yes : boxes_.no);
    step(name + "_answered");
  }
  bool cancel_here(const std::string& where) {
    if (a_.cancel_at != where) return false;
    if (where == "first file" || where == "save") click(boxes_.selection_cancel);
    if (where == "form 1") click(boxes_.form1_cancel);
    if (where == "sweep") click(kov::SweepControl::cancel);
    if (where == "axis prompt") x_.close_request(window_);
    if (where == "save") {
      step("end_question");
      click(boxes_.yes);
    }
    return true;
  }

  void drive(int width, int height) {
    const Series& s = a_.series;
    const std::string last = numbered("proj", s.projections);
    // A flat-field every 90 projections.
    const std::string last_flat = numbered("flat", 1 + (s.projections - 1) / 90 * 90);
    step("first_selection");
    if (cancel_here("first file")) return;
    choose(file("proj_001.tif"));
    step("first_image");
    click_image(0.1f * width + 0.2f, 0.1f * height + 0.2f);
    step("first_corner");
    click_image(0.9f * width - 0.3f, 0.9f * height - 0.3f);
    step("last_selection");
    choose(file(last));
    step("control_form_1");
    if (cancel_here("form 1")) return;
    if (a_.set_options) {
      const bool background = s.corrections != "none";
      const bool flatfield = s.corrections == "flatfield" || s.corrections == "series";
      if (background) set_entry(1, true, "form_background");
      if (flatfield) set_entry(2, true, "form_flatfield");
      if (s.horizontal) set_entry(4, false, "form_horizontal");
    }
    click(boxes_.form1_ok);
    step("control_form_2");
    // The series spans 180 degrees from the first file to the last: the
    // angle offered assumes one step less, so it is typed as a user would.
    click(boxes_.form2_entries[1]);
    step("form_angle");
    retype(angle_text(s.projections));
    step("form_angle_typed");
    click(boxes_.form2_ok);
    step("ninety_selection");
    // The name offered is the 90-degree projection's: taken as it is typed.
    choose(file(numbered("proj", (s.projections - 1) / 2 + 1)));
    step("ninety_image");
    click_image(0.2f * width + 0.2f, 0.05f * height + 0.2f);
    step("ninety_corner");
    click_image(0.7f * width - 0.3f, 0.95f * height - 0.3f);
    if (s.corrections != "none") {
      if (a_.second_thoughts) {
        step("background_selection");
        choose(file("flat.tif"));
        step("background_wrong_image");
        click(boxes_.no);
      }
      step("background_selection");
      choose(file("dark.tif"));
      step("background_image");
      click(boxes_.yes);
    }
    if (s.corrections == "flatfield" || s.corrections == "series") {
      const bool series = s.corrections == "series";
      step("flatfield_changing");
      click(series ? boxes_.yes : boxes_.no);
      step("flatfield_selection");
      choose(file(series ? "flat_001.tif" : "flat.tif"));
      step("flatfield_image");
      click(boxes_.yes);
      if (series) {
        step("last_flatfield_selection");
        choose(file(last_flat));
        step("last_flatfield_image");
        click(boxes_.yes);
        step("flatfield_interval");
        retype("90");  // a flat-field every 90 projections
      }
    }
    step("axis_selection");
    choose(file(last));
    step("axis_image");
    click(boxes_.yes);
    step("axis_range");
    const bool h = s.horizontal;
    click_image(h ? 0.15f * width + 0.2f : 0.5f * width, h ? 0.5f * height : 0.15f * height + 0.2f);
    step("axis_range_first");
    click_image(h ? 0.85f * width - 0.3f : 0.5f * width, h ? 0.5f * height : 0.85f * height - 0.3f);
    sweep_step("axis_sweep");
    if (cancel_here("sweep")) return;
    if (a_.second_thoughts) {
      click(boxes_.sweep.small[chosen_slice]);
      step("axis_sweep_chosen");
      click(kov::SweepControl::halve_step);
      step("axis_sweep_halved");
    }
    if (a_.closer_look) {
      click(kov::SweepControl::double_step);
      step("axis_sweep_doubled");
      // A click on the large slice offers the page as a PostScript file.
      click(boxes_.sweep.large);
      step("axis_sweep_print_name");
      type_text(x_, sweep_postscript());
      x_.key(XK_Return);
      step("axis_sweep_printed");
    }
    click(kov::SweepControl::ok);
    if (s.tilt != 0.0) {
      step("axis_warning");
      click(boxes_.axis_warning_ok);
    }
    step("axis_prompt");
    if (cancel_here("axis prompt")) return;
    if (a_.second_thoughts) {
      retype("NAN");  // not a number: in no range, refused with the error line
      step("axis_not_a_number");
      click(boxes_.range_warning_ok);
      step("axis_prompt");
      retype("");  // the line emptied: the position chosen on the sweep stands
    } else {
      x_.key(XK_Return);
    }
    step("save_selection");
    if (cancel_here("save")) return;
    if (a_.second_thoughts) {
      click(boxes_.selection_cancel);
      step("end_question");
      click(boxes_.no);
      step("save_selection");
    }
    parameter_file_ = home_ + "/set-up.par";
    choose(parameter_file_);
  }

  Answers a_;
  std::string data_, home_, shots_, parameter_file_;
  Connection x_;
  Boxes boxes_;
  unsigned long window_ = 0;
  int w_ = 0, h_ = 0, shot_ = 0;
  Picture last_;
};

std::string make_series(const Series& s, const std::string& dir) {
  std::vector<std::string> args{dir,
                                "--projections",
                                std::to_string(s.projections),
                                "--axis-offset",
                                std::to_string(s.axis_offset),
                                "--corrections",
                                s.corrections,
                                "--width",
                                std::to_string(s.width),
                                "--height",
                                std::to_string(s.height)};
  if (s.horizontal) args.push_back("--horizontal");
  if (s.tilt != 0.0) args.insert(args.end(), {"--tilt", std::to_string(s.tilt)});
  const auto r = kovtest::run_program(KOV_PHANTOM_PATH, args, {});
  EXPECT_EQ(r.exit_status, 0) << r.output;
  return dir;
}

// The lines of the axis report that kov_axis and the set-up both print,
// with the continuations of its warnings.
std::vector<std::string> axis_lines(const std::string& output) {
  std::vector<std::string> lines;
  bool warning = false;
  for (const auto& l : kovtest::split_lines(output)) {
    if (warning && l.rfind("         ", 0) == 0) {
      lines.push_back(l);
      continue;
    }
    warning = l.rfind("WARNING: The ", 0) == 0;
    for (const char* start : {"INFO: Average rotation axis", "      Standard deviation",
                              "INFO: Weighted rotation axis", "INFO: Axis tilt", "WARNING: The "}) {
      if (l.rfind(start, 0) == 0) lines.push_back(l);
    }
  }
  return lines;
}

// kov_axis on the run's series and lines: its report.
std::vector<std::string> batch_axis_lines(const Series& s, const std::string& dir,
                                          const std::string& output) {
  const auto range = lines_starting(output, "INFO: Rotation axis from lines ");
  if (range.size() != 1) return {"no line range in the output"};
  int a = 0, b = 0;
  std::sscanf(range[0].c_str(), "INFO: Rotation axis from lines %d to %d", &a, &b);
  const std::string last = dir + "/" + numbered("proj", s.projections);
  std::vector<std::string> args{dir + "/proj_001.tif", last, "--lines", std::to_string(a),
                                std::to_string(b)};
  if (s.horizontal) args.push_back("--horizontal");
  if (s.corrections != "none") args.insert(args.end(), {"--background", dir + "/dark.tif"});
  if (s.corrections == "flatfield") args.insert(args.end(), {"--flatfield", dir + "/flat.tif"});
  if (s.corrections == "series") {
    args.insert(args.end(), {"--flatfield", dir + "/flat_001.tif", "--last-flatfield",
                             dir + "/" + numbered("flat", 1 + (s.projections - 1) / 90 * 90)});
  }
  const auto r = kovtest::run_program(KOV_AXIS_PATH, args, {});
  EXPECT_EQ(r.exit_status, 0) << r.output;
  return axis_lines(r.output);
}

class Setup : public ::testing::Test {
 protected:
  void SetUp() override { KOV_NEED_DISPLAY(); }
  kovtest::TempDir data, home;
};

struct Case {
  const char* name;
  bool landscape;
  Series series;
  bool second_thoughts = false;
  bool closer_look = false;
};

// What every whole run must give: the parameter file's axis within 0.02
// pixel of the truth (0.2 for a leaning axis, whose truth is that of the
// middle line; the truth and the offset of the slice chosen on the sweep
// after second thoughts), the "Axis by reconstruction" line, the file counts, corrections, geometry
// and volume as chosen, and kov_axis giving the same report of the axis.
void expect_run(const Case& c, const std::string& dir, const kovtest::ProgramResult& result,
                const std::string& text) {
  ASSERT_EQ(result.exit_status, 0) << result.output;
  ASSERT_FALSE(text.empty()) << result.output;
  const auto v = parameter_values(text);
  EXPECT_NEAR(std::stod(v.at("ROTATION_AXIS_POSITION")),
              true_axis(dir) + (c.second_thoughts ? chosen_offset : 0.0),
              c.series.tilt != 0.0 ? 0.2 : 0.02)
      << text;
  EXPECT_EQ(lines_starting(result.output, "INFO: Axis by reconstruction = ").size(), 1u)
      << result.output;
  EXPECT_EQ(v.at("NUM_FIRST_IMAGE"), "1");
  EXPECT_EQ(v.at("NUM_LAST_IMAGE"), std::to_string(c.series.projections));
  EXPECT_EQ(v.at("ROTATION_VERTICAL"), c.series.horizontal ? "NO" : "YES");
  EXPECT_EQ(v.at("SUBTRACT_BACKGROUND"), c.series.corrections == "none" ? "NO" : "YES");
  const bool flat = c.series.corrections == "flatfield" || c.series.corrections == "series";
  EXPECT_EQ(v.at("CORRECT_FLATFIELD"), flat ? "YES" : "NO");
  if (flat) {
    EXPECT_EQ(v.at("FLATFIELD_CHANGING"), c.series.corrections == "series" ? "YES" : "NO");
  }
  if (c.series.corrections == "series") {
    EXPECT_EQ(v.at("FF_NUM_LAST_IMAGE"), std::to_string(c.series.projections));
    EXPECT_EQ(v.at("FF_FILE_INTERVAL"), "90");
  }
  EXPECT_EQ(v.at("ANGLE_BETWEEN_PROJECTIONS"), angle_text(c.series.projections));
  EXPECT_EQ(v.at("NUM_IMAGE_1"), "512");
  EXPECT_EQ(v.at("NUM_IMAGE_2"), "384");
  // The rectangle of the first projection: 10 % to 90 % of each side.
  EXPECT_NEAR(std::stoi(v.at("START_VOXEL_1")), 52, 1);
  // The 90-degree rectangle: the depth mirrored, the range along the axis
  // widened (20 % to 70 % across, 5 % to 95 % along a vertical axis).
  const bool vertical = !c.series.horizontal;
  EXPECT_NEAR(std::stoi(v.at("END_VOXEL_3")), vertical ? 365 : 346, 1);
  EXPECT_NEAR(std::stoi(v.at("START_VOXEL_2")), vertical ? 512 - 358 + 1 : 384 - 365 + 1, 1);
  EXPECT_NEAR(std::stoi(v.at("END_VOXEL_2")), vertical ? 512 - 102 : 384 - 19, 1);
  EXPECT_EQ(axis_lines(result.output), batch_axis_lines(c.series, dir, result.output));
  EXPECT_EQ(lines_starting(result.output, "WARNING: The ").size(), c.series.tilt != 0.0 ? 2u : 0u)
      << result.output;
  EXPECT_EQ(lines_starting(result.output, "INFO: Axis tilt = ").size(), 1u) << result.output;
  EXPECT_EQ(lines_starting(result.output, "KOV_MASTER Exited").size(), 1u);
}

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// The whole set-up on five more series (the sixth is the walk-through's),
// one test each: a run takes up to half a minute under the sanitizers.
class WholeSetUp : public Setup, public ::testing::WithParamInterface<Case> {};

TEST_P(WholeSetUp, OnAGeneratedSeries) {
  const Case& c = GetParam();
  kovtest::TempDir dir, run_home;
  make_series(c.series, dir.path());
  SetupRun run(answers(c.landscape, c.series, c.second_thoughts, c.closer_look), dir.path(),
               run_home.path(), std::string("kov_setup_") + c.name);
  const auto result = run.run();
  expect_run(c, dir.path(), result, kovtest::read_file(run.parameter_file()));
  if (c.closer_look) {
    EXPECT_EQ(kovtest::read_file(run.sweep_postscript()).rfind("%!PS", 0), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Series, WholeSetUp,
    ::testing::Values(
        Case{"horizontal_left_background", true, {true, -5.61, "background", 61}},
        Case{"vertical_left_none", true, {false, -9.18, "none", 61}, false, true},
        Case{"horizontal_right_flatfield", false, {true, 4.43, "flatfield", 61}},
        Case{"vertical_leaning_warned", false, {false, 4.1, "none", 61, 512, 384, 3.0}},
        Case{"vertical_right_second_thoughts", false, {false, 6.37, "background", 61}, true}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The walk-through of the demo series (the generator's default: vertical
// axis right of the centre, background and a flat-field series): on
// KOV_DEMO_DIR when it is set (tools/run.sh without a display), else on a
// series made here. It prints the parameter file and the axis found.
TEST_F(Setup, WalkThroughOfTheDemoSeries) {
  const Case c{"walk_through", false, {false, 6.37, "series", 181}};
  const char* demo = std::getenv("KOV_DEMO_DIR");
  kovtest::TempDir made, run_home;
  const std::string dir = demo != nullptr ? std::string(demo) : make_series(c.series, made.path());
  Answers a = answers(c.landscape, c.series);
  // How tools/demo_setup.mac was made: the walk-through recorded.
  if (const char* record = std::getenv("KOV_RECORD_MACRO")) a.record = record;
  SetupRun run(a, dir, run_home.path(), "kov_setup_walk_through");
  const auto result = run.run();
  const std::string text = kovtest::read_file(run.parameter_file());
  expect_run(c, dir, result, text);
  const auto v = parameter_values(text);
  const auto by_slices = lines_starting(result.output, "INFO: Axis by reconstruction = ");
  std::cout << "\n--- The parameter file written by the set-up ---\n"
            << text << "--- Rotation axis: found "
            << (v.count("ROTATION_AXIS_POSITION") ? v.at("ROTATION_AXIS_POSITION") : "none")
            << " pixels, by reconstruction "
            << (by_slices.empty() ? std::string("none")
                                  : by_slices[0].substr(by_slices[0].find_last_of(' ') + 1))
            << " pixels, true " << true_axis(dir) << " pixels\n"
            << "--- Screenshots of each step: " << fs::absolute(kovtest::output_dir()).string()
            << "/kov_setup_walk_through_*.png\n"
            << std::endl;
}

// A second run in the same home offers what the first remembered: the
// selection opens in the first projection's folder (bare names are found
// there) and the forms offer the options chosen; the file is the same.
TEST_F(Setup, SecondRunOffersTheRememberedAnswers) {
  const Series s{false, 6.37, "background", 61};
  make_series(s, data.path());
  SetupRun first(answers(false, s), data.path(), home.path(), "");
  ASSERT_EQ(first.run().exit_status, 0);
  const std::string one = kovtest::read_file(first.parameter_file());
  fs::remove(first.parameter_file());
  Answers again = answers(false, s);
  again.typed_directories = false;
  again.set_options = false;
  SetupRun second(again, data.path(), home.path(), "kov_setup_second_run");
  const auto r = second.run();
  ASSERT_EQ(r.exit_status, 0) << r.output;
  EXPECT_EQ(kovtest::read_file(second.parameter_file()), one);
}

// A cancel at representative steps: "Reconstruction cancelled", exit 2, no
// parameter file, the defaults file as it was, byte for byte.
TEST_F(Setup, CancelAnywhereSavesNothing) {
  const Series s{false, 6.37, "none", 61};
  make_series(s, data.path());
  const std::string defaults =
      "DATABASE DEFAULT VALUES FILE\n!!! DO NOT ALTER YOURSELF !!!\n"
      "FILE_FIRST_DATA\n" +
      data.path() +
      "/proj_001.tif\n"
      "SOME_KEY\nkept as it is\n";
  for (const char* where : {"first file", "form 1", "sweep", "axis prompt", "save"}) {
    SCOPED_TRACE(where);
    kovtest::TempDir run_home;
    kovtest::write_file(run_home.file(".kov.def"), defaults);
    Answers a = answers(false, s);
    a.cancel_at = where;
    SetupRun run(a, data.path(), run_home.path(), "");
    const auto r = run.run();
    EXPECT_EQ(r.exit_status, 2) << r.output;
    EXPECT_EQ(lines_starting(r.output, "Reconstruction cancelled").size(), 1u) << r.output;
    EXPECT_TRUE(lines_starting(r.output, "KOV_MASTER Exited").empty());
    EXPECT_EQ(kovtest::read_file(run_home.file(".kov.def")), defaults);
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(run_home.path())) {
      static_cast<void>(e);
      ++files;
    }
    EXPECT_EQ(files, 1u) << "only the defaults file";
  }
}

// --- Macro files -----------------------------------------------------------

// A defaults file that knows only the first projection, so that every run
// starts from the same remembered answers.
std::string seed_defaults(const std::string& dir) {
  return "DATABASE DEFAULT VALUES FILE\n!!! DO NOT ALTER YOURSELF !!!\nFILE_FIRST_DATA\n" + dir +
         "/proj_001.tif\n";
}

// kov_master replaying `macro` in `home` (its defaults file seeded first).
kovtest::ProgramResult replay(const std::string& macro, const std::string& home,
                              const std::string& seed, std::vector<std::string> arguments,
                              bool window = false) {
  kovtest::write_file(home + "/.kov.def", seed);
  arguments.insert(arguments.begin(), {"-MACRO", macro});
  std::map<std::string, std::optional<std::string>> env{{"HOME", home}};
  if (!window) env["DISPLAY"] = std::nullopt;
  return kovtest::run_program(KOV_MASTER_PATH, arguments, env);
}

// The number (from 1) of the answer line that follows the `nth` comment
// naming `item`; 0 when there is none.
int answer_line(const std::vector<std::string>& lines, const std::string& item, int nth = 1) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("!", 0) != 0 || lines[i].find(item) == std::string::npos || --nth > 0)
      continue;
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
      if (lines[j].rfind("!", 0) != 0) return static_cast<int>(j + 1);
    }
  }
  return 0;
}

// A set-up recorded in the window, on a series with a background, and
// replayed: in the window and without one, the same parameter and defaults
// files byte for byte; its folder and parameter file made variables, on
// three series in a DO loop. The demo's macro (recorded so too) on a
// series of another size and axis, given by -DEFINE. And the recorded
// macro broken in each way of the table: exit status 1, "ERROR: " with
// its line, nothing written, the defaults file as it was.
TEST_F(Setup, MacroRecordedOnceReplaysOnEveryScanAndStopsWhereBroken) {
  const Series series{false, 6.37, "background", 61};
  make_series(series, data.path());
  const std::string seed = seed_defaults(data.path());
  kovtest::write_file(home.file(".kov.def"), seed);
  kovtest::TempDir macros, other, out;
  Answers a = answers(false, series);
  a.record = macros.file("recorded.mac");
  SetupRun run(a, data.path(), home.path(), "kov_macro_recorded");
  ASSERT_EQ(run.run().exit_status, 0);
  const std::string parameters = kovtest::read_file(run.parameter_file());
  const std::string defaults = kovtest::read_file(home.file(".kov.def"));
  ASSERT_FALSE(parameters.empty());
  for (const bool window : {true, false}) {
    SCOPED_TRACE(window ? "in the window" : "without a window");
    fs::remove(run.parameter_file());
    // Recorded again while replayed, without a window: the same answers.
    const std::string again = macros.file("again.mac");
    const auto r = replay(
        a.record, home.path(), seed,
        window ? std::vector<std::string>{} : std::vector<std::string>{"-RECORD", again}, window);
    ASSERT_EQ(r.exit_status, 0) << r.output;
    EXPECT_EQ(lines_starting(r.output, "INFO: No graphics window").size(), window ? 0u : 1u);
    EXPECT_EQ(lines_starting(r.output, "INFO: Axis by reconstruction = ").size(), 1u) << r.output;
    EXPECT_EQ(kovtest::read_file(run.parameter_file()), parameters);
    EXPECT_EQ(kovtest::read_file(home.file(".kov.def")), defaults);
  }
  const auto answers_of = [](const std::string& file) {
    return std::regex_replace(kovtest::read_file(file), std::regex("!.*\n"), "");
  };
  EXPECT_EQ(answers_of(macros.file("again.mac")), answers_of(a.record));

  // The temporary folders' names hold no character special to a pattern.
  const std::string body =
      std::regex_replace(std::regex_replace(kovtest::read_file(a.record),
                                            std::regex(run.parameter_file()), "%PARAMETERS%"),
                         std::regex(data.path()), "%SERIES%");
  std::string loop = "DO I 1 3\n%SET SERIES=" + out.path() +
                     "/s%I%\n%SET PARAMETERS=" + out.path() + "/s%I%.par\n";
  for (const auto& l : kovtest::split_lines(body)) {
    if (l.find("*** END OF MACRO FILE ***") == std::string::npos) loop += l + "\n";
  }
  kovtest::write_file(macros.file("loop.mac"), loop + "ENDDO\n");
  for (int i = 1; i <= 3; ++i)
    make_series({false, -6.0 + 4.1 * i, "background", 61}, out.file("s" + std::to_string(i)));
  const auto l = replay(macros.file("loop.mac"), out.path(), seed, {"-NOGRAPHICS"});
  ASSERT_EQ(l.exit_status, 0) << l.output;
  for (int i = 1; i <= 3; ++i) {
    const std::string dir = out.file("s" + std::to_string(i));
    const auto p = parameter_values(kovtest::read_file(dir + ".par"));
    EXPECT_NEAR(std::stod(p.at("ROTATION_AXIS_POSITION")), true_axis(dir), 0.05) << i;
  }

  make_series({false, -3.91, "series", 181, 640, 480}, other.path());
  const auto d = replay(KOV_DEMO_MACRO, out.path(), seed_defaults(other.path()),
                        {"-NOGRAPHICS", "-DEFINE", "SERIES=" + other.path(), "-DEFINE",
                         "PARAMETERS=" + out.file("other.par")});
  ASSERT_EQ(d.exit_status, 0) << d.output;
  const auto v = parameter_values(kovtest::read_file(out.file("other.par")));
  EXPECT_NEAR(std::stod(v.at("ROTATION_AXIS_POSITION")), true_axis(other.path()), 0.05);
  EXPECT_EQ(v.at("NUM_IMAGE_1"), "640");

  // The broken macros: each an edit of the good one, and what it must say.
  const auto lines = kovtest::split_lines(body);
  const int first = answer_line(lines, "SELECT FIRST DATA IMAGE FILE");
  const int ninety = answer_line(lines, "SELECT 90 DEGREE ROTATION IMAGE");
  const int axis = answer_line(lines, "PIXEL COORDINATE OF ROTATION AXIS");
  const int form = answer_line(lines, "MENU CHOICE", 2);  // the O.K. of control form 1
  const int last = answer_line(lines, "SELECT LAST DATA IMAGE FILE");
  const int save = answer_line(lines, "SELECT NAME FOR PARAMETER FILE");
  ASSERT_TRUE(first && ninety && axis && form && last && save) << body;
  // Each row: the line replaced (or, with "", the last line kept), the new
  // line, the line the "ERROR: " line names (0: not checked) and what the
  // output must say.
  struct Broken {
    const char* name;
    int line;
    std::string answer;
    int named;
    std::string message;
  };
  const std::vector<Broken> table{
      {"ends early", last, "", last, "ended at line"},
      {"file missing", first, "%SERIES%/proj_999.tif", first, "DOES NOT EXIST"},
      {"image of another size", ninety, other.path() + "/proj_091.tif", ninety, "640"},
      {"no window to hand over to", axis, "MENU CHOICE (GRAPHICAL", axis, "graphics window"},
      {"value out of range", axis, "99999", axis, "PIXEL COORDINATE OF ROTATION AXIS"},
      {"menu label not known", form, "MAYBE", form, "Command not known"},
      {"variable not defined", save, "%NOT_DEFINED%", save, "Syntax error from an input macro"},
      {"DO without ENDDO", 0, "DO J 1 2", 1, "Syntax error from an input macro"},
  };
  for (const Broken& b : table) {
    SCOPED_TRACE(b.name);
    std::vector<std::string> edited = lines;
    if (b.line == 0) edited.insert(edited.begin(), b.answer);
    if (b.line > 0 && b.answer.empty()) edited.resize(static_cast<std::size_t>(b.line));
    if (b.line > 0 && !b.answer.empty()) edited[static_cast<std::size_t>(b.line) - 1] = b.answer;
    std::string text;
    for (const auto& e : edited) text += e + "\n";
    kovtest::write_file(macros.file("broken.mac"), text);
    kovtest::TempDir run_home;
    const auto br =
        replay(macros.file("broken.mac"), run_home.path(), seed,
               {"-NOGRAPHICS", "-RECORD", run_home.file("rerecorded.mac"), "-DEFINE",
                "SERIES=" + data.path(), "-DEFINE", "PARAMETERS=" + run_home.file("set-up.par")});
    EXPECT_EQ(br.exit_status, 1) << br.output;
    const auto errors = lines_starting(br.output, "ERROR: ");
    ASSERT_FALSE(errors.empty()) << br.output;
    if (b.named > 0) {
      EXPECT_NE(errors[0].find("line " + std::to_string(b.named)), std::string::npos) << br.output;
    }
    EXPECT_NE(br.output.find(b.message), std::string::npos) << br.output;
    EXPECT_EQ(kovtest::read_file(run_home.file(".kov.def")), seed);
    EXPECT_FALSE(fs::exists(run_home.file("set-up.par")));
    EXPECT_FALSE(fs::exists(run_home.file("rerecorded.mac")));
  }
}

}  // namespace

// Not a test: the memory figure of bench/README.md. A whole run on 2048 by
// 2048 projections with a background and a flat-field series, kov_master
// under /usr/bin/time -v; prints the peak resident size. Run with
// --gtest_also_run_disabled_tests.
TEST_F(Setup, DISABLED_PeakMemoryOfA2048Run) {
  Series s{false, 6.37, "series", 91};
  s.width = s.height = 2048;
  make_series(s, data.path());
  SetupRun run(answers(false, s), data.path(), home.path(), "");
  const std::string report = home.file("time.txt");
  const auto r = run.run("/usr/bin/time", {"-v", "-o", report, KOV_MASTER_PATH});
  ASSERT_EQ(r.exit_status, 0) << r.output;
  const auto v = parameter_values(kovtest::read_file(run.parameter_file()));
  EXPECT_EQ(v.at("NUM_IMAGE_1"), "2048");
  EXPECT_NEAR(std::stod(v.at("ROTATION_AXIS_POSITION")), true_axis(data.path()), 0.2);
  for (const auto& l : kovtest::split_lines(kovtest::read_file(report))) {
    if (l.find("Maximum resident set size") != std::string::npos) std::cout << l << "\n";
  }
}

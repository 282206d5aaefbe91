// The device graphics core through the recording window device.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "recording_device.h"
#include "status_table.h"
#include "vg.h"
#include "vg_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// The named statuses are the numbers the status report and the callers know.
static_assert(vg::status_device_failed == 130001);
static_assert(vg::status_region_x == 130005 && vg::status_region_y == 130006);
static_assert(vg::status_order_x == 130013 && vg::status_order_y == 130014);
static_assert(vg::status_bad_argument == 130017);
static_assert(vg::status_not_open == 131007);
static_assert(vg::status_window_failed == 132001);
static_assert(vg::status_bad_workstation == 132002);

using kovtest::run_rows;

class VgCore : public kovtest::VgOpenTest {
 protected:
  // Opens and activates window workstation 1.
  void open_window(int type = 11) {
    VG_OPEN_WK(1, 0, type, status);
    VG_ACTIVATE_WK(1, status);
    ASSERT_EQ(status, io::status_good);
  }
  std::string saved() const {
    std::string text;
    ST_INQ_SAVE(text);
    return text.substr(0, SLEN(text));
  }

  kovtest::RecordingWindow window;
  kovtest::ConsoleCapture console;
};

TEST_F(VgCore, TransformMapsDataWindowOntoViewport) {
  open_window();
  window.clear();
  VG_DATAWINDOW(10.0f, 20.0f, 110.0f, 220.0f, status);
  VG_VIEWPORT(0.1f, 0.2f, 0.6f, 0.9f, status);
  ASSERT_EQ(status, io::status_good);

  EXPECT_FLOAT_EQ(VG_WC2PC(true, 110.0f, status), 0.6f);
  EXPECT_FLOAT_EQ(VG_WC2PC(false, 220.0f, status), 0.9f);
  EXPECT_FLOAT_EQ(VG_WC2PC(true, 60.0f, status), 0.35f);
  EXPECT_FLOAT_EQ(VG_PC2WC(true, 0.35f, status), 60.0f);
  EXPECT_FLOAT_EQ(VG_PC2WC(false, VG_WC2PC(false, 57.5f, status), status), 57.5f);

  float xs, ys, xo, yo;
  VG_INQ_SCALING(xs, ys, xo, yo, status);
  EXPECT_FLOAT_EQ(xs, 0.5f * 707.0f / 100.0f);
  EXPECT_FLOAT_EQ(ys, 0.7f * 707.0f / 200.0f);
  EXPECT_FLOAT_EQ(xo, 707.0f * 0.1f - 10.0f * xs);
  EXPECT_FLOAT_EQ(yo, 707.0f * 0.2f - 20.0f * ys);

  // Each change reached the device, and primitives keep world coordinates.
  EXPECT_EQ(window.lines_of("transform"),
            (Lines{"transform window=(10,20,110,220) viewport=(0,0,1,1)",
                   "transform window=(10,20,110,220) viewport=(0.1,0.2,0.6,0.9)"}));
  const float x[] = {10.0f, 110.0f}, y[] = {20.0f, 220.0f};
  VG_POLYLINE(2, x, y, status);
  const auto line = window.calls_of("polyline").at(0);
  EXPECT_EQ(line.line, "polyline n=2 (10,20)(110,220)");
  EXPECT_FLOAT_EQ(line.page_x[1], 0.6f);
  EXPECT_FLOAT_EQ(line.page_y[0], 0.2f);
  EXPECT_EQ(status, io::status_good);
}

TEST_F(VgCore, BadLimitsLeaveThePreviousTransform) {
  open_window();
  VG_DATAWINDOW(0.0f, 0.0f, 100.0f, 50.0f, status);
  VG_VIEWPORT(0.0f, 0.0f, 0.5f, 0.5f, status);
  window.clear();

  const std::string window_id = "Subroutine VG_DATAWINDOW V0.3";
  const std::string viewport_id = "Subroutine VG_VIEWPORT V0.3";
  run_rows({{"equal x limits", [](int& s) { VG_DATAWINDOW(5.0f, 0.0f, 5.0f, 1.0f, s); }, "", 130013,
             window_id},
            {"y limits reversed", [](int& s) { VG_DATAWINDOW(0.0f, 3.0f, 1.0f, 2.0f, s); }, "",
             130014, window_id},
            {"viewport x reversed", [](int& s) { VG_VIEWPORT(0.6f, 0.0f, 0.5f, 1.0f, s); }, "",
             130013, viewport_id},
            {"viewport y equal", [](int& s) { VG_VIEWPORT(0.0f, 0.4f, 0.5f, 0.4f, s); }, "", 130014,
             viewport_id}},
           console);
  ST_DEF_SYSTEM(status);

  float a, b, c, d;
  VG_INQ_DATAWINDOW(a, b, c, d, status);
  EXPECT_EQ((std::vector<float>{a, b, c, d}), (std::vector<float>{0, 0, 100, 50}));
  VG_INQ_VIEWPORT(a, b, c, d, status);
  EXPECT_EQ((std::vector<float>{a, b, c, d}), (std::vector<float>{0, 0, 0.5f, 0.5f}));
  EXPECT_FLOAT_EQ(VG_WC2PC(true, 100.0f, status), 0.5f);
  EXPECT_EQ(window.count("transform"), 0);
}

TEST_F(VgCore, UnityTransformSetsAndRestoresNested) {
  open_window();
  VG_DATAWINDOW(-5.0f, -5.0f, 5.0f, 5.0f, status);
  VG_VIEWPORT(0.1f, 0.1f, 0.6f, 0.6f, status);
  VG_UNITYTRANSFORM(true, status);
  float a, b, c, d;
  VG_INQ_DATAWINDOW(a, b, c, d, status);
  EXPECT_EQ((std::vector<float>{a, b, c, d}), (std::vector<float>{0, 0, 1, 1}));
  VG_INQ_VIEWPORT(a, b, c, d, status);
  EXPECT_EQ((std::vector<float>{a, b, c, d}), (std::vector<float>{0, 0, 1, 1}));
  EXPECT_EQ(window.state().window[2], 1.0f);

  // A widget inside a widget: the inner restore gives back the unit square,
  // the outer one the caller's pair.
  VG_UNITYTRANSFORM(true, status);
  VG_UNITYTRANSFORM(false, status);
  VG_INQ_DATAWINDOW(a, b, c, d, status);
  EXPECT_EQ(c, 1.0f);
  VG_UNITYTRANSFORM(false, status);
  VG_INQ_DATAWINDOW(a, b, c, d, status);
  EXPECT_EQ((std::vector<float>{a, b, c, d}), (std::vector<float>{-5, -5, 5, 5}));
  VG_INQ_VIEWPORT(a, b, c, d, status);
  EXPECT_EQ((std::vector<float>{a, b, c, d}), (std::vector<float>{0.1f, 0.1f, 0.6f, 0.6f}));
  EXPECT_EQ(window.state().viewport[2], 0.6f);

  // Restoring with nothing remembered changes nothing.
  VG_UNITYTRANSFORM(false, status);
  VG_INQ_DATAWINDOW(a, b, c, d, status);
  EXPECT_EQ(a, -5.0f);
  EXPECT_EQ(status, io::status_good);
}

TEST_F(VgCore, OpeningAWindowWorkstation) {
  VG_SET_COLOURINDICES(108, 210, status);
  int first = 0, last = 0;
  VG_INQ_IMAGERANGE(first, last, status);
  EXPECT_EQ(first, 41);  // applies at the next window open
  EXPECT_EQ(last, 250);

  VG_OPEN_WK(1, 0, 12, status);
  ASSERT_EQ(status, io::status_good);
  EXPECT_EQ(window.lines().at(0), "open format=2 left=108 top=240 size=707x500");
  EXPECT_TRUE(window.contains("colour_range 108..210 49..250"));
  EXPECT_TRUE(window.contains("colour_map 0..255"));
  EXPECT_EQ(window.count("transform"), 1);
  VG_INQ_IMAGERANGE(first, last, status);
  EXPECT_EQ(first, 108);
  EXPECT_EQ(last, 210);
  float xmax, ymax;
  VG_INQ_MAXPC(xmax, ymax, status);
  EXPECT_FLOAT_EQ(xmax, 1.0f);
  EXPECT_FLOAT_EQ(ymax, 0.7071f);

  // The window's colour table holds the named colours.
  EXPECT_EQ(window.colours()[2].r, 1.0f);
  EXPECT_EQ(window.colours()[2].g, 0.0f);
  EXPECT_TRUE(console.lines().empty());
}

TEST_F(VgCore, WorkstationStatesAndMessages) {
  open_window();
  // Warnings leave the status good; an ERROR line comes with a bad status.
  const std::string unknown = "ERROR: Workstation ID is unknown (";
  run_rows({{"activate an active one", [](int& s) { VG_ACTIVATE_WK(1, s); },
             "WARNING: Workstation is already active (VG_ACTIVATE_WK)"},
            {"deactivate", [](int& s) { VG_DEACTIVATE_WK(1, s); }, ""},
            {"deactivate an inactive one", [](int& s) { VG_DEACTIVATE_WK(1, s); },
             "WARNING: Workstation is not active (VG_DEACTIVATE_WK)"},
            {"activate unknown", [](int& s) { VG_ACTIVATE_WK(7, s); }, unknown + "VG_ACTIVATE_WK)",
             132002, "Subroutine VG_ACTIVATE_WK V0.3"},
            {"deactivate unknown", [](int& s) { VG_DEACTIVATE_WK(7, s); },
             unknown + "VG_DEACTIVATE_WK)", 132002, "Subroutine VG_DEACTIVATE_WK V0.3"},
            {"close unknown", [](int& s) { VG_CLOSE_WK(7, s); }, unknown + "VG_CLOSE_WK)", 132002,
             "Subroutine VG_CLOSE_WK V0.4"},
            {"update unknown", [](int& s) { VG_UPDATE(7, 0, s); }, unknown + "VG_UPDATE)", 132002,
             "Subroutine VG_UPDATE V0.3"},
            {"set update unknown", [](int& s) { VG_SET_UPDATE(7, s); }, unknown + "VG_SET_UPDATE)",
             132002, "Subroutine VG_SET_UPDATE V0.2"},
            {"title unknown", [](int& s) { VG_TITLE(7, "T", s); }, unknown + "VG_TITLE)", 132002,
             "Subroutine VG_TITLE V0.2"},
            {"size unknown",
             [](int& s) {
               int w = 0, h = 0;
               VG_INQ_SIZE(7, w, h, s);
             },
             unknown + "VG_INQ_SIZE)", 132002, "Subroutine VG_INQ_SIZE V0.2"},
            {"open an open one", [](int& s) { VG_OPEN_WK(1, 0, 11, s); },
             "WARNING: Workstation already open (VG_OPEN_WK)"},
            {"a second window", [](int& s) { VG_OPEN_WK(2, 0, 12, s); },
             "WARNING: Maximum number of X-11 workstations are already open (VG_OPEN_WK)"},
            {"unknown type", [](int& s) { VG_OPEN_WK(3, 0, 99, s); },
             "WARNING: Unknown graphics device type (VG_OPEN_WK)"},
            {"set update", [](int& s) { VG_SET_UPDATE(1, s); }, ""}},
           console);
  EXPECT_EQ(window.opens(), 1);
  EXPECT_EQ(window.count("set_update"), 1);

  // After closing, the identifier is free and a new window may open.
  ST_DEF_SYSTEM(status);
  VG_CLOSE_WK(1, status);
  EXPECT_FALSE(window.is_open());
  VG_OPEN_WK(2, 0, 11, status);
  EXPECT_EQ(window.opens(), 2);
  EXPECT_EQ(status, io::status_good);

  VG_OPEN_WK(0, 0, 11, status);
  EXPECT_EQ(status, 130017);
  EXPECT_EQ(saved(), "Subroutine VG_OPEN_WK V0.8");
}

TEST_F(VgCore, SystemOpenAndClose) {
  int s = io::status_good;
  VG_OPEN(1, s);
  EXPECT_EQ(s, 130017);
  open_window();
  VG_CLOSE(status);
  EXPECT_FALSE(window.is_open());  // the window closes with the system
  // With the system closed: warnings for closing and opening, an ERROR line
  // and status_not_open for everything else, which then changes nothing.
  const std::string closed = "ERROR: Vellum Graphics system is not open (";
  int colour = -5;
  run_rows({{"close again", [](int& st) { VG_CLOSE(st); },
             "WARNING: Vellum Graphics system is already closed ! (VG_CLOSE)"},
            {"open a workstation", [](int& st) { VG_OPEN_WK(1, 0, 11, st); },
             "WARNING: Vellum Graphics system is not open (VG_OPEN_WK)"},
            {"text height",
             [](int& st) {
               float h = 0.0f;
               VG_INQ_TEXTHEIGHT(h, st);
             },
             closed + "VG_INQ_TEXTHEIGHT)", 131007, "Subroutine VG_INQ_TEXTHEIGHT V0.1"},
            {"image range",
             [](int& st) {
               int first = 0, last = 0;
               VG_INQ_IMAGERANGE(first, last, st);
             },
             closed + "VG_INQ_IMAGERANGE)", 131007, "Subroutine VG_INQ_IMAGERANGE V0.1"},
            {"data window", [](int& st) { VG_DATAWINDOW(0.0f, 0.0f, 1.0f, 1.0f, st); },
             closed + "VG_OPEN_WK)", 131007, "Subroutine VG_DATAWINDOW V0.3"},
            {"best colour", [&](int& st) { VG_BESTCOLOUR(1.0f, 0.0f, 0.0f, colour, st); },
             closed + "VG_BESTCOLOUR)", 131007, "Subroutine VG_BESTCOLOUR V0.2"}},
           console);
  EXPECT_EQ(colour, -5);
  EXPECT_EQ(window.opens(), 1);
}

TEST_F(VgCore, OutputWithoutActiveWorkstationDrawsNothing) {
  const float x[] = {0.1f, 0.5f, 0.3f}, y[] = {0.1f, 0.1f, 0.4f};
  const int cells[] = {1, 2, 3, 4};
  const float data[] = {0.0f, 1.0f, 2.0f, 3.0f};
  auto draw = [&] {
    VG_POLYLINE(3, x, y, status);
    VG_POLYMARKER(3, x, y, status);
    VG_FILLAREA(3, x, y, status);
    VG_TEXT(0.2f, 0.2f, "TEXT", status);
    VG_CELLARRAY(io::View2D<const int>(cells, 2, 2), 1, 1, 2, 2, 0, 0, 1, 1, status);
    VG_REALCELLARRAY(io::View2D<const float>(data, 2, 2), 1, 1, 2, 2, 0, 0, 1, 1, 0, 3, false,
                     status);
    VG_CLEAR(status);
  };
  draw();  // no workstation at all
  VG_OPEN_WK(1, 0, 11, status);
  window.clear();
  draw();  // open, not active
  VG_LINECOLOUR(3, status);
  EXPECT_EQ(status, io::status_good);
  EXPECT_TRUE(window.calls().empty()) << window.dump();
  EXPECT_TRUE(console.lines().empty());

  // Attributes changed meanwhile reach the window when it is activated.
  VG_ACTIVATE_WK(1, status);
  EXPECT_EQ(window.state().line_colour, 3);
  draw();
  EXPECT_EQ(window.count("polyline"), 1);
  EXPECT_EQ(window.count("polymarker"), 1);
  EXPECT_EQ(window.count("fill_area"), 1);
  EXPECT_EQ(window.texts(), (Lines{"TEXT"}));
  EXPECT_EQ(window.lines_of("cell_array"),
            (Lines{"cell_array region=(1,1)-(2,2) rect=(0,0)-(1,1) range=1..4"}));
  EXPECT_EQ(window.count("real_cell_array"), 1);
  EXPECT_EQ(window.calls_of("polyline")[0].state.line_colour, 3);
}

TEST_F(VgCore, AttributesAreStoredAndForwarded) {
  open_window();
  window.clear();
  VG_LINECOLOUR(4, status);
  VG_LINESTYLE(2, status);
  VG_LINEWIDTH(3.0f, status);
  VG_MARKERTYPE(4, status);
  VG_MARKERSCALE(2.0f, status);
  VG_MARKERWIDTH(1.5f, status);
  VG_MARKERCOLOUR(5, status);
  VG_FILLCOLOUR(6, status);
  VG_TEXTFONT(2, status);
  VG_TEXTCOLOUR(7, status);
  VG_TEXTHEIGHT(0.05f, status);
  VG_TEXTALIGNMENT(2, 3, status);
  VG_TEXTANGLE(90.0f, status);
  VG_MASKCOLOUR(9, status);
  VG_LOGZSCALING(true, status);
  VG_LINECOLOUR(vg::inverse_video, status);
  ASSERT_EQ(status, io::status_good);
  EXPECT_EQ(window.lines(),
            (Lines{"line_colour 4", "line_style 2", "line_width 3", "marker_type 4",
                   "marker_scale 2", "marker_width 1.5", "marker_colour 5", "fill_colour 6",
                   "text_font 2", "text_colour 7", "text_height 0.05", "text_alignment 2 3",
                   "text_angle 90", "mask_colour 9", "log_scaling on", "line_colour -1"}));

  int i = 0, j = 0;
  float f = 0.0f;
  bool b = false;
  VG_INQ_LINECOLOUR(i, status);
  EXPECT_EQ(i, -1);
  VG_INQ_LINESTYLE(i, status);
  EXPECT_EQ(i, 2);
  VG_INQ_LINEWIDTH(f, status);
  EXPECT_EQ(f, 3.0f);
  VG_INQ_MARKERTYPE(i, status);
  EXPECT_EQ(i, 4);
  VG_INQ_MARKERSCALE(f, status);
  EXPECT_EQ(f, 2.0f);
  VG_INQ_MARKERWIDTH(f, status);
  EXPECT_EQ(f, 1.5f);
  VG_INQ_MARKERCOLOUR(i, status);
  EXPECT_EQ(i, 5);
  VG_INQ_FILLCOLOUR(i, status);
  EXPECT_EQ(i, 6);
  VG_INQ_TEXTFONT(i, status);
  EXPECT_EQ(i, 2);
  VG_INQ_TEXTCOLOUR(i, status);
  EXPECT_EQ(i, 7);
  VG_INQ_TEXTHEIGHT(f, status);
  EXPECT_EQ(f, 0.05f);
  VG_INQ_TEXTALIGNMENT(i, j, status);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(j, 3);
  VG_INQ_TEXTANGLE(f, status);
  EXPECT_EQ(f, 90.0f);
  VG_INQ_MASKCOLOUR(i, status);
  EXPECT_EQ(i, 9);
  VG_INQ_LOGZSCALING(b, status);
  EXPECT_TRUE(b);

  // Text width through the window device: 0.5 x height x characters.
  VG_INQ_TEXTWIDTH("ABCD   ", f, status);
  EXPECT_FLOAT_EQ(f, 0.1f);
  EXPECT_EQ(status, io::status_good);

  // A colour index outside the table is refused and nothing is stored.
  VG_FILLCOLOUR(256, status);
  EXPECT_EQ(status, 130017);
  ST_DEF_SYSTEM(status);
  VG_INQ_FILLCOLOUR(i, status);
  EXPECT_EQ(i, 6);
}

TEST_F(VgCore, ClippingReachesTheDevice) {
  open_window();
  window.clear();
  VG_CLIPWINDOW(0.2f, 0.1f, 0.8f, 0.9f, status);
  VG_CLIP(true, status);
  VG_CLIPWINDOW(0.0f, 0.0f, 0.5f, 0.5f, status);
  VG_CLIP(false, status);
  bool on = true;
  VG_INQ_CLIP(on, status);
  EXPECT_FALSE(on);
  float a, b, c, d;
  VG_INQ_CLIPWINDOW(a, b, c, d, status);
  EXPECT_EQ(c, 0.5f);
  EXPECT_EQ(window.lines(),
            (Lines{"clip on (0.2,0.1,0.8,0.9)", "clip on (0,0,0.5,0.5)", "clip off"}));
}

TEST_F(VgCore, DeviceFailureGivesStatusWithTheDeviceRoutine) {
  open_window();
  window.set_failing("polyline");
  const float x[] = {0.0f, 1.0f}, y[] = {0.0f, 1.0f};
  VG_POLYLINE(2, x, y, status);
  EXPECT_EQ(status, 130001);
  EXPECT_EQ(saved(), "Function VG_X11_PL V0.2");

  // Any routine entered with the bad status does nothing more.
  VG_FILLAREA(2, x, y, status);
  EXPECT_EQ(window.count("fill_area"), 0);
  EXPECT_EQ(status, 130001);

  ST_DEF_SYSTEM(status);
  window.set_failing("text_height");
  VG_TEXTHEIGHT(0.1f, status);
  EXPECT_EQ(status, 130001);
  EXPECT_EQ(saved(), "Function VG_X11_TEXTHEIGHT V0.2");
}

TEST_F(VgCore, WindowThatCannotOpen) {
  window.set_fail_open(true);
  VG_OPEN_WK(1, 0, 11, status);
  EXPECT_EQ(status, 132001);
  EXPECT_EQ(saved(), "Subroutine VG_X11_OPEN V0.7");
  EXPECT_EQ(console.lines(),
            (Lines{"WARNING: X-11 workstation not opened successfully (VG_OPEN_WK)"}));
  // The identifier stayed free.
  ST_DEF_SYSTEM(status);
  window.set_fail_open(false);
  VG_OPEN_WK(1, 0, 11, status);
  EXPECT_EQ(status, io::status_good);
}

TEST_F(VgCore, InputFromTheWindow) {
  open_window();
  window.push_click(0.25f, 0.5f);
  window.push_line("HELLO");
  window.push_redraw();

  int type = 99, ws = 0;
  float x = 0, y = 0;
  std::string text;
  VG_INP_EVENT(1, 0, true, "ENTER VALUE", true, "12", 0.0f, 0.0f, 0.7f, 0.1f, type, ws, x, y, text,
               status);
  EXPECT_EQ(type, vg::event_button);
  EXPECT_EQ(ws, 1);
  EXPECT_FLOAT_EQ(x, 0.25f);
  EXPECT_FLOAT_EQ(y, 0.5f);
  EXPECT_EQ(window.last_request().prompt, "ENTER VALUE");
  EXPECT_EQ(window.last_request().initial_string, "12");
  EXPECT_FLOAT_EQ(window.last_request().box_width, 0.7f);
  EXPECT_EQ(window.lines_of("event"),
            (Lines{"event wait=0 prompt=\"ENTER VALUE\" initial=\"12\""}));

  VG_INP_EVENT(1, 0, true, "P", false, "", 0, 0, 1, 1, type, ws, x, y, text, status);
  EXPECT_EQ(type, vg::event_return);
  EXPECT_EQ(text, "HELLO");

  VG_INP_COORDINATE(1, 0, type, x, y, status);
  EXPECT_EQ(type, vg::event_redraw);
  // Nothing pending in wait mode 10.
  VG_INP_COORDINATE(1, 10, type, x, y, status);
  EXPECT_EQ(type, vg::event_none);
  EXPECT_EQ(status, io::status_good);

  VG_SET_RUBBERBAND(1, 2, 0.1f, 0.2f, status);
  EXPECT_EQ(window.lines_of("rubberband"), (Lines{"rubberband mode=2 (0.1,0.2)"}));
  int width = 0, height = 0;
  VG_INQ_SIZE(1, width, height, status);
  EXPECT_EQ(width, 500);
  EXPECT_EQ(height, 707);
  VG_TITLE(1, "KOV_MASTER   ", status);
  EXPECT_EQ(window.calls_of("title").at(0).text, "KOV_MASTER");
  EXPECT_EQ(status, io::status_good);
}

TEST_F(VgCore, NullWindowDrawsNothingAndHasNoInput) {
  VG_SET_NULLWINDOW(true, status);
  for (const auto& [type, width, height] : {std::tuple{11, 500, 707}, std::tuple{12, 707, 500}}) {
    open_window(type);
    const float x[] = {0.1f, 0.5f}, y[] = {0.2f, 0.6f};
    VG_POLYLINE(2, x, y, status);
    VG_TEXTHEIGHT(0.02f, status);
    VG_TEXT(0.1f, 0.1f, "PAGE", status);
    float text_width = 0.0f;
    VG_INQ_TEXTWIDTH("PAGE", text_width, status);
    EXPECT_FLOAT_EQ(text_width, 0.04f);
    int w = 0, h = 0;
    VG_INQ_SIZE(1, w, h, status);
    EXPECT_EQ(std::pair(w, h), std::pair(width, height));
    VG_UPDATE(1, 0, status);
    EXPECT_EQ(status, io::status_good);
    int event = 0;
    VG_INP_COORDINATE(1, 0, event, text_width, text_width, status);
    EXPECT_EQ(status, vg::status_device_failed);
    ST_DEF_SYSTEM(status);
    VG_CLOSE_WK(1, status);
  }
  VG_SET_NULLWINDOW(false, status);
  EXPECT_TRUE(window.calls().empty());
}

TEST_F(VgCore, ClosedWindowGivesTheUserEscape) {
  open_window();
  window.push_closed();
  int type = 0;
  float x = 0, y = 0;
  VG_INP_COORDINATE(1, 0, type, x, y, status);
  EXPECT_EQ(status, io::status_escape);
  EXPECT_EQ(saved(), "");

  // An input call that fails is a device failure.
  ST_DEF_SYSTEM(status);
  window.push_failure();
  VG_INP_COORDINATE(1, 0, type, x, y, status);
  EXPECT_EQ(status, 130001);
  EXPECT_EQ(saved(), "Function VG_X11_COORDINATE V0.3");

  // Input from an unknown workstation cannot wait for ever.
  ST_DEF_SYSTEM(status);
  VG_INP_COORDINATE(5, 0, type, x, y, status);
  EXPECT_EQ(status, 132002);
  EXPECT_EQ(console.lines().back(), "ERROR: Workstation ID is unknown (VG_INP_COORDINATE)");
}

TEST_F(VgCore, BadArgumentsOfPrimitives) {
  open_window();
  static const int cells[6] = {};
  static const float data[6] = {};
  static const bool mask[4] = {};
  static const float x[] = {0.0f};
  const io::View2D<const int> cell_view(cells, 3, 2);
  run_rows({{"columns beyond the array",
             [&](int& s) { VG_CELLARRAY(cell_view, 1, 1, 4, 2, 0, 0, 1, 1, s); }, "", 130005,
             "Subroutine VG_CELLARRAY V0.3"},
            {"rows reversed", [&](int& s) { VG_CELLARRAY(cell_view, 1, 2, 3, 1, 0, 0, 1, 1, s); },
             "", 130006, "Subroutine VG_CELLARRAY V0.3"},
            {"mask of another shape",
             [](int& s) {
               VG_RMASKCELLARRAY(io::View2D<const float>(data, 3, 2),
                                 io::View2D<const bool>(mask, 2, 2), 1, 1, 2, 2, 0, 0, 1, 1, 0, 1,
                                 false, s);
             },
             "", 130017, "Subroutine VG_RMASKCELLARRAY V0.3"},
            {"negative count", [](int& s) { VG_POLYLINE(-1, x, x, s); }, "", 130017,
             "Subroutine VG_POLYLINE V0.3"},
            // Too few points: nothing to draw.
            {"one point", [](int& s) { VG_POLYLINE(1, x, x, s); }, ""}},
           console);
  EXPECT_EQ(window.count("cell_array") + window.count("real_cell_array") + window.count("polyline"),
            0);
}

TEST_F(VgCore, PointListsDrawAsTheArrays) {
  open_window();
  window.clear();
  const float x[] = {0.1f, 0.5f, 0.3f}, y[] = {0.1f, 0.2f, 0.4f};
  const vg::Point points[] = {{0.1f, 0.1f}, {0.5f, 0.2f}, {0.3f, 0.4f}};
  VG_POLYLINE(3, x, y, status);
  VG_POLYLINE(points, status);
  VG_FILLAREA(3, x, y, status);
  VG_FILLAREA(points, status);
  VG_POLYMARKER(3, x, y, status);
  VG_POLYMARKER(points, status);
  ASSERT_EQ(status, io::status_good);
  for (const char* kind : {"polyline", "fill_area", "polymarker"}) {
    const Lines lines = window.lines_of(kind);
    ASSERT_EQ(lines.size(), 2u) << kind;
    EXPECT_EQ(lines[0], lines[1]) << kind;
  }
  // The same checks: too few points draw nothing, a bad status records the
  // routine.
  VG_FILLAREA(std::span<const vg::Point>(points, 2), status);
  EXPECT_EQ(window.count("fill_area"), 2);
  status = 130005;
  VG_POLYLINE(points, status);
  EXPECT_EQ(saved(), "Subroutine VG_POLYLINE V0.3");
  EXPECT_EQ(window.count("polyline"), 2);
}

TEST_F(VgCore, RestoringTheStateSendsOnlyTheChanges) {
  open_window();
  VG_DATAWINDOW(0.0f, 0.0f, 10.0f, 10.0f, status);
  VG_CLIPWINDOW(1.0f, 1.0f, 9.0f, 9.0f, status);
  VG_LINECOLOUR(3, status);
  vg::DrawingState saved_state;
  VG_SAVE_STATE(saved_state, status);
  window.clear();

  // Nothing changed: nothing is sent.
  VG_RESTORE_STATE(saved_state, status);
  EXPECT_TRUE(window.calls().empty()) << window.dump();

  VG_DATAWINDOW(-1.0f, -1.0f, 1.0f, 1.0f, status);
  VG_VIEWPORT(0.2f, 0.2f, 0.4f, 0.4f, status);
  VG_CLIP(true, status);
  VG_LINECOLOUR(4, status);
  VG_TEXTHEIGHT(0.05f, status);
  VG_TEXTALIGNMENT(2, 6, status);
  window.clear();
  VG_RESTORE_STATE(saved_state, status);
  ASSERT_EQ(status, io::status_good);
  EXPECT_EQ(window.lines(), (Lines{"transform window=(0,0,10,10) viewport=(0,0,1,1)", "clip off",
                                   "line_colour 3", "text_height 0.02", "text_alignment 1 0"}));
  vg::DrawingState now;
  VG_SAVE_STATE(now, status);
  EXPECT_EQ(now, saved_state);

  // Clipping comes back on with its rectangle, in one call.
  saved_state.clip = true;
  saved_state.clip_window = {2.0f, 2.0f, 3.0f, 3.0f};
  window.clear();
  VG_RESTORE_STATE(saved_state, status);
  EXPECT_EQ(window.lines(), (Lines{"clip on (2,2,3,3)"}));

  // A saved window in the wrong order is refused and changes nothing.
  vg::DrawingState bad = saved_state;
  bad.window = {1.0f, 0.0f, 1.0f, 1.0f};
  bad.attributes.line_colour = 7;
  window.clear();
  VG_RESTORE_STATE(bad, status);
  EXPECT_EQ(status, 130013);
  EXPECT_EQ(saved(), "Subroutine VG_RESTORE_STATE V0.1");
  EXPECT_TRUE(window.calls().empty());
}

TEST_F(VgCore, UnityTransformSendsNothingWhenTheUnitSquareIsInForce) {
  open_window();
  window.clear();
  VG_UNITYTRANSFORM(true, status);  // the default pair is the unit square already
  VG_UNITYTRANSFORM(false, status);
  EXPECT_EQ(window.count("transform"), 0);
  VG_DATAWINDOW(0.0f, 0.0f, 2.0f, 2.0f, status);
  window.clear();
  VG_UNITYTRANSFORM(true, status);
  VG_UNITYTRANSFORM(false, status);
  EXPECT_EQ(window.lines_of("transform"), (Lines{"transform window=(0,0,1,1) viewport=(0,0,1,1)",
                                                 "transform window=(0,0,2,2) viewport=(0,0,1,1)"}));
  EXPECT_EQ(status, io::status_good);
}

}  // namespace

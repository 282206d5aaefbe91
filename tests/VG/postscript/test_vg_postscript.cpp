// The PostScript device: the file header and prologue, colour and grey
// files, landscape pages, and a scene rendered by Ghostscript.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../picture.h"
#include "../scale_cases.h"
#include "console_capture.h"
#include "ghostscript.h"
#include "io.h"
#include "vg.h"
#include "vg_fixture.h"
#include "vg_scale.h"

namespace {

using x11test::Picture;
using x11test::Rgb8;
using Lines = std::vector<std::string>;
constexpr int unit = 17;

// The header and prologue expected of every file (" " lines are written
// without their blank). `grey` selects the grey variant.
Lines expected_prologue(bool grey) {
  auto pick = [&](const char* colour, const char* grey_line) {
    return std::string(grey ? grey_line : colour);
  };
  const std::string rgb = "pl_w setlinewidth pl_r pl_g pl_b setrgbcolor l_type stroke} bind def";
  const std::string gray = "pl_w setlinewidth pl_g setgray l_type stroke} bind def";
  const std::string stroke = grey ? gray : rgb;
  return {
      "%!PS-Adobe-2.0",
      "%%BoundingBox: 18 23 569 810",
      "%%Title: \"Vellum Graphics\" V1.3 PostScript Output",
      "%%Creator: Produced by the \"Vellum Graphics\" system",
      "",
      "% Definition of variables",
      pick("/pl_r 0 def /pl_g 0 def /pl_b 0 def /pl_w   10 def /pl_t 0 def",
           "/pl_g 0 def /pl_w   10 def /pl_t 0 def"),
      pick("/pm_r 0 def /pm_g 0 def /pm_b 0 def /pm_t 5 def /pm_s   50 def/pm_w   10 def",
           "/pm_g 0 def /pm_t 5 def /pm_s   50 def/pm_w   10 def"),
      "/setlinejoin 1 def /dash  80 def /dot   15 def /gap   40 def",
      pick("/fa_r 0 def /fa_g 0 def /fa_b 0 def", "/fa_g 0 def"),
      pick("/tx_r 0 def /tx_g 0 def /tx_b 0 def /tx_h 0 def /tx_v 0 def",
           "/tx_g 0 def /tx_h 0 def /tx_v 0 def"),
      "/tx_a 0 def /c_a 1 def /s_a 0 def",
      "",
      "% Definition of functions",
      pick("/pc {  /pl_b exch def /pl_g exch def /pl_r exch def} def", "/pc {/pl_g exch def} def"),
      pick("/mc {  /pm_b exch def /pm_g exch def /pm_r exch def} def", "/mc {/pm_g exch def} def"),
      pick("/fc {  /fa_b exch def /fa_g exch def /fa_r exch def} def", "/fc {/fa_g exch def} def"),
      pick("/tc {  /tx_b exch def /tx_g exch def /tx_r exch def} def", "/tc {/tx_g exch def} def"),
      "/pw { /pl_w exch def } def",
      "/pt { /pl_t exch def } def",
      "/mt { /pm_t exch def } def",
      "/ms { /pm_s exch def } def",
      "/mw { /pm_w exch def } def",
      "/ta {/tx_v exch def /tx_h exch def} def",
      "/td { /tx_a exch def /c_a tx_a cos def /s_a tx_a sin def} def",
      "/tf { /fi exch def /size exch def",
      "fi 1 eq {/Times-Roman findfont size scalefont setfont} if",
      "fi 2 eq {/Courier findfont size scalefont setfont} if",
      "} bind def",
      "/l_type {0 pl_t eq {[] 0 setdash} if",
      "1 pl_t eq {[] 0 setdash} if",
      "2 pl_t eq {[dash dash] dash 2 div setdash} if",
      "3 pl_t eq {[dot gap] 0 setdash} if",
      "4 pl_t eq {[dash gap dot gap] dash 2 div setdash} if} def",
      "/pl { /num exch def newpath moveto",
      "num 1 sub {lineto} repeat",
      stroke,
      "/cl { /num exch def newpath moveto",
      "num 1 sub {lineto} repeat closepath",
      stroke,
      "/hl { dup 3 -1 roll dup 3 -1 roll newpath moveto 3 -1 roll add exch lineto",
      stroke,
      "/vl { dup 3 -1 roll dup 3 -1 roll newpath moveto 3 1 roll add lineto",
      stroke,
      "/dt {newpath /y exch def /x exch def x 1 sub y moveto x 1 add y lineto",
      "stroke} bind def",
      "/plus {newpath /y exch def  /x exch def x pm_s sub y moveto x pm_s add y lineto",
      "x y pm_s sub moveto x y pm_s add lineto stroke} bind def",
      "/star {newpath /y exch def  /x exch def x pm_s sub y moveto x pm_s add y lineto",
      "x pm_s 0.707 mul sub y pm_s 0.707 mul sub moveto",
      "x pm_s 0.707 mul add y pm_s 0.707 mul add lineto",
      "x pm_s 0.707 mul sub y pm_s 0.707 mul add moveto",
      "x pm_s 0.707 mul add y pm_s 0.707 mul sub lineto",
      "x y pm_s sub moveto x y pm_s add lineto stroke} bind def",
      "/cir {newpath pm_s 0 360 arc stroke} def",
      "/cross {newpath /y exch def  /x exch def",
      "x pm_s 0.707 mul sub y pm_s 0.707 mul sub moveto",
      "x pm_s 0.707 mul add y pm_s 0.707 mul add lineto",
      "x pm_s 0.707 mul sub y pm_s 0.707 mul add moveto",
      "x pm_s 0.707 mul add y pm_s 0.707 mul sub lineto",
      "stroke} bind def",
      pick("/pm {/num exch def pm_r pm_g pm_b setrgbcolor [] 0 setdash",
           "/pm {/num exch def pm_g setgray [] 0 setdash"),
      "pm_t 1 eq {10 setlinewidth 1 setlinecap num {dt} repeat} if",
      "pm_t 2 eq {pm_w setlinewidth 0 setlinecap num {plus} repeat} if",
      "pm_t 3 eq {pm_w setlinewidth 0 setlinecap num {star} repeat} if",
      "pm_t 4 eq {pm_w setlinewidth 0 setlinecap num {cir} repeat} if",
      "pm_t 5 eq {pm_w setlinewidth 0 setlinecap num {cross} repeat} if",
      "} bind def",
      "/fa { /num exch def newpath moveto",
      "num 1 sub {lineto} repeat closepath",
      pick("fa_r fa_g fa_b setrgbcolor fill} bind def", "fa_g setgray fill} bind def"),
      "/tx_box {gsave newpath 0 0 moveto true charpath flattenpath pathbbox",
      "grestore} def",
      "/tx {/tx_y exch def /tx_x exch def",
      "dup stringwidth pop /width exch def",
      pick("tx_r tx_g tx_b setrgbcolor", "tx_g setgray"),
      "0 tx_h eq { /x_a 0 def } if",
      "1 tx_h eq { /x_a 0 def } if",
      "2 tx_h eq { /x_a width 2 div def } if",
      "3 tx_h eq { /x_a width def } if",
      "0 tx_v eq { /y_a 0 def} if",
      "1 tx_v eq { (l) tx_box /y_a exch def pop pop pop} if",
      "2 tx_v eq { (X) tx_box /y_a exch def pop pop pop} if",
      "3 tx_v eq { (Xg) tx_box exch pop add 2 div /y_a exch def pop} if",
      "4 tx_v eq { /y_a 0 def} if",
      "5 tx_v eq { (g) tx_box pop pop -1 mul /y_a exch def pop} if",
      "6 tx_v eq { (X) tx_box exch pop add 2 div /y_a exch def pop} if",
      "/tx_x tx_x x_a c_a mul s_a y_a mul sub sub def",
      "/tx_y tx_y s_a x_a mul c_a y_a mul add sub def",
      "tx_x tx_y moveto gsave tx_a rotate show grestore} bind def",
      "/ca {/ymax exch def /xmax exch def /ymin exch def /xmin exch def",
      "newpath xmin ymin moveto xmax ymin lineto xmax ymax lineto xmin ymax lineto",
      pick("closepath 1 1 1 setrgbcolor fill} bind def", "closepath 1 setgray fill} bind def"),
      "/cp {/ymax exch def /xmax exch def /ymin exch def /xmin exch def",
      "newpath xmin ymin moveto xmax ymin lineto xmax ymax lineto xmin ymax lineto",
      "closepath clip} def",
      "0.1 0.1 scale",
      "% End of prologue",
      "",
  };
}

Lines read_lines(const std::string& path) {
  Lines lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

class PostScript : public kovtest::VgOpenTest {
 protected:
  // Opens `name` in the output directory as workstation 2 of `type`, active.
  std::string open(const std::string& name, int type) {
    std::string path = kovtest::output_dir() + "/" + name;
    int retstat = 0;
    IO_OPEN_ASCIIFILE(false, "WRITE", unit, path, retstat, status);
    EXPECT_EQ(retstat, 0);
    VG_OPEN_WK(2, unit, type, status);
    VG_ACTIVATE_WK(2, status);
    EXPECT_EQ(status, io::status_good);
    return path;
  }
  void close() {
    VG_CLOSE_WK(2, status);
    IO_CLOSE_ASCIIFILE(unit, status);
    EXPECT_EQ(status, io::status_good);
  }
  // A file with one line of every kind of primitive.
  std::string small_file(const std::string& name, int type) {
    const std::string path = open(name, type);
    const float x[] = {0.1f, 0.2f, 0.3f}, y[] = {0.1f, 0.3f, 0.1f};
    VG_POLYLINE(3, x, y, status);
    VG_POLYMARKER(3, x, y, status);
    VG_FILLAREA(3, x, y, status);
    VG_TEXT(0.2f, 0.5f, "Text", status);
    close();
    return path;
  }
  kovtest::ConsoleCapture console;
};

TEST_F(PostScript, PrologueIsExactInColourAndGrey) {
  for (const bool grey : {false, true}) {
    const Lines lines =
        read_lines(small_file(grey ? "prologue_grey.ps" : "prologue_colour.ps",
                              grey ? vg::type_grey_portrait : vg::type_colour_portrait));
    const Lines expected = expected_prologue(grey);
    ASSERT_GT(lines.size(), expected.size());
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + static_cast<long>(expected.size())), expected)
        << (grey ? "grey" : "colour");
    EXPECT_EQ(lines.back(), "%%EOF");
  }
  EXPECT_TRUE(console.lines().empty());
}

TEST_F(PostScript, GreyFileHasNoRgbColourAndColourFileUsesIt) {
  const std::string grey = kovtest::read_file(small_file("grey.ps", vg::type_grey_portrait));
  EXPECT_EQ(grey.find("setrgbcolor"), std::string::npos);
  const Lines colour = read_lines(small_file("colour.ps", vg::type_colour_portrait));
  int users = 0;
  for (const auto& line : colour) {
    if (line.find("setrgbcolor") != std::string::npos) ++users;
  }
  EXPECT_EQ(users, 8);  // pl, cl, hl, vl, pm, fa, tx and the clearing ca
}

TEST_F(PostScript, LandscapeHasThePortraitPrologue) {
  for (const auto& [portrait, landscape] :
       {std::pair{vg::type_colour_portrait, vg::type_colour_landscape},
        std::pair{vg::type_grey_portrait, vg::type_grey_landscape}}) {
    const Lines p = read_lines(small_file("portrait.ps", portrait));
    const Lines l = read_lines(small_file("landscape.ps", landscape));
    const std::size_t n = expected_prologue(false).size();
    ASSERT_GT(l.size(), n);
    EXPECT_EQ(Lines(p.begin(), p.begin() + static_cast<long>(n)),
              Lines(l.begin(), l.begin() + static_cast<long>(n)));
    // Only the page placement differs: the landscape page is turned.
    EXPECT_EQ(p[n].find("rotate"), std::string::npos);
    EXPECT_NE(l[n].find("90 rotate"), std::string::npos);
  }
}

TEST_F(PostScript, CommandsAndMessages) {
  const std::string path = open("commands.ps", vg::type_colour_portrait);
  VG_DATAWINDOW(0.0f, 0.0f, 0.7071f, 1.0f, status);
  VG_VIEWPORT(0.0f, 0.0f, 0.7071f, 1.0f, status);
  VG_LINECOLOUR(2, status);  // red in the default table
  VG_LINEWIDTH(2.0f, status);
  VG_LINESTYLE(3, status);
  VG_TEXTHEIGHT(0.02f, status);
  VG_TEXTFONT(2, status);
  VG_TEXTALIGNMENT(2, 3, status);
  VG_TEXTANGLE(45.0f, status);
  const float hx[] = {0.1f, 0.3f}, hy[] = {0.5f, 0.5f};
  VG_POLYLINE(2, hx, hy, status);
  VG_TEXT(0.1f, 0.2f, "a(b)\\c", status);
  VG_CLIPWINDOW(0.1f, 0.1f, 0.2f, 0.2f, status);
  VG_CLIP(true, status);
  VG_CLIP(false, status);
  VG_TEXTHEIGHT(0.0f, status);
  VG_LINECOLOUR(vg::inverse_video, status);
  close();
  EXPECT_EQ(console.lines(),
            (Lines{"WARNING: Attempt to set zero or negative height text characters",
                   "WARNING: The PostScript driver does not support inverse video"}));
  const std::string file = kovtest::read_file(path);
  for (const char* command :
       {"\n1 0 0 pc\n", "\n20 pw\n", "\n3 pt\n", "\n141.4 2 tf\n", "\n2 3 ta\n", "\n45 td\n",
        "\n1414 707 3535 hl\n", "\n(a\\(b\\)\\\\c) 707 1414 tx\n",
        "\ninitclip 707 707 1414 1414 cp\n", "\ninitclip\n", "\nshowpage\n%%EOF\n"}) {
    EXPECT_NE(file.find(command), std::string::npos) << command;
  }
}

// --- Rendering -------------------------------------------------------------

// World coordinates of the scene to sheet points at 72 dpi: the scene's
// world is the portrait page, drawn at `k` (0.7071 on a landscape page); the
// page is enlarged by 1.1 and centred on the printable area of the A4 sheet.
struct Sheet {
  bool landscape = false;
  double k = 1.0;
  // The colour of a picture of the sheet at a sheet position.
  static Rgb8 at(const Picture& p, double x, double y) {
    return p.at(static_cast<int>(x), p.height - 1 - static_cast<int>(y));
  }
  // The colour at a point of the scene.
  Rgb8 colour(const Picture& p, double wx, double wy) const { return at(p, x(wx, wy), y(wx, wy)); }
  double x(double wx, double wy) const {
    return landscape ? 293.5 + 1.1 * 707 * (0.7071 / 2 - k * wy)
                     : 293.5 + 1.1 * 707 * (k * wx - 0.7071 / 2);
  }
  double y(double wx, double wy) const {
    return landscape ? 416.5 + 1.1 * 707 * (k * wx - 0.5) : 416.5 + 1.1 * 707 * (k * wy - 0.5);
  }
};

int dark_pixels(const Picture& image, const Sheet& sheet, double x0, double y0, double x1,
                double y1) {
  int count = 0;
  const double sx0 = std::min(sheet.x(x0, y0), sheet.x(x1, y1));
  const double sx1 = std::max(sheet.x(x0, y0), sheet.x(x1, y1));
  const double sy0 = std::min(sheet.y(x0, y0), sheet.y(x1, y1));
  const double sy1 = std::max(sheet.y(x0, y0), sheet.y(x1, y1));
  for (double y = sy0; y < sy1; y += 1.0) {
    for (double x = sx0; x < sx1; x += 1.0) {
      const Rgb8 c = Sheet::at(image, x, y);
      if (c.r + c.g + c.b < 200) ++count;
    }
  }
  return count;
}

// The test scene: its world is the portrait page (0.7071 by 1), shown on
// the whole portrait page or on the left of the landscape page.
void draw_scene(bool landscape, int& status) {
  const float w = 0.7071f, h = 1.0f;
  VG_DATAWINDOW(0.0f, 0.0f, w, h, status);
  if (landscape) {
    VG_VIEWPORT(0.0f, 0.0f, 0.5f, 0.7071f, status);
  } else {
    VG_VIEWPORT(0.0f, 0.0f, w, h, status);
  }
  // A frame round the page.
  const float fx[] = {0.01f, w - 0.01f, w - 0.01f, 0.01f, 0.01f};
  const float fy[] = {0.01f, 0.01f, h - 0.01f, h - 0.01f, 0.01f};
  VG_POLYLINE(5, fx, fy, status);

  // Fills: red square, blue triangle.
  VG_FILLCOLOUR(2, status);
  const float sx[] = {0.05f, 0.25f, 0.25f, 0.05f}, sy[] = {0.45f, 0.45f, 0.65f, 0.65f};
  VG_FILLAREA(4, sx, sy, status);
  VG_FILLCOLOUR(4, status);
  const float tx[] = {0.3f, 0.5f, 0.4f}, ty[] = {0.45f, 0.45f, 0.65f};
  VG_FILLAREA(3, tx, ty, status);

  // Lines of every type, and slanted and vertical ones.
  VG_LINEWIDTH(2.0f, status);
  for (int style = 0; style <= 4; ++style) {
    VG_LINECOLOUR(style == 0 ? 1 : 2 + style, status);
    VG_LINESTYLE(style, status);
    const float lx[] = {0.05f, 0.5f}, ly[] = {0.05f + 0.03f * style, 0.05f + 0.03f * style};
    VG_POLYLINE(2, lx, ly, status);
  }
  VG_LINESTYLE(1, status);
  VG_LINECOLOUR(1, status);
  const float vx[] = {0.55f, 0.55f}, vy[] = {0.05f, 0.2f};
  VG_POLYLINE(2, vx, vy, status);
  const float zx[] = {0.58f, 0.62f, 0.66f, 0.62f}, zy[] = {0.05f, 0.2f, 0.05f, 0.1f};
  VG_POLYLINE(4, zx, zy, status);

  // Markers of every type.
  VG_MARKERSCALE(1.5f, status);
  VG_MARKERWIDTH(1.0f, status);
  for (int type = 1; type <= 5; ++type) {
    VG_MARKERTYPE(type, status);
    VG_MARKERCOLOUR(type == 1 ? 1 : 4, status);
    const float mx[] = {0.05f + 0.08f * type, 0.05f + 0.08f * type};
    const float my[] = {0.25f, 0.3f};
    VG_POLYMARKER(2, mx, my, status);
  }

  // Text at several alignments and angles, in both fonts.
  VG_TEXTCOLOUR(1, status);
  VG_TEXTHEIGHT(0.025f, status);
  int k = 0;
  for (int horizontal : {1, 2, 3}) {
    for (int vertical : {0, 3, 5}) {
      VG_TEXTFONT(k % 2 == 0 ? 1 : 2, status);
      VG_TEXTALIGNMENT(horizontal, vertical, status);
      VG_TEXTANGLE(k == 4 ? 90.0f : (k == 7 ? 30.0f : 0.0f), status);
      VG_TEXT(0.1f + 0.2f * (horizontal - 1), 0.7f + 0.06f * (vertical / 2), "Align(g)", status);
      ++k;
    }
  }
  VG_TEXTANGLE(0.0f, status);
  VG_TEXTFONT(1, status);
  // Bottom-aligned text standing on a known line.
  VG_TEXTALIGNMENT(1, 5, status);
  VG_TEXTHEIGHT(0.04f, status);
  VG_TEXT(0.45f, 0.38f, "ggg", status);

  // Cell array: 4 by 2 cells of named colours (white, black, red, green /
  // blue, yellow, cyan, magenta).
  const int cells[] = {0, 1, 2, 3, 4, 5, 6, 7};
  VG_CELLARRAY(io::View2D<const int>(cells, 4, 2), 1, 1, 4, 2, 0.55f, 0.45f, 0.65f, 0.5f, status);

  // Real cell array: a ramp from 0 at the left to 15 at the right, the top
  // right pixel masked (mask colour red).
  std::vector<float> data(16 * 16);
  bool mask[256] = {};
  for (int j = 0; j < 16; ++j) {
    for (int i = 0; i < 16; ++i) data[i + 16 * j] = static_cast<float>(i);
  }
  mask[15 + 16 * 15] = true;
  VG_MASKCOLOUR(2, status);
  VG_RMASKCELLARRAY(io::View2D<const float>(data.data(), 16, 16),
                    io::View2D<const bool>(mask, 16, 16), 1, 1, 16, 16, 0.55f, 0.52f, 0.65f, 0.62f,
                    0.0f, 15.0f, false, status);
  VG_REALCELLARRAY(io::View2D<const float>(data.data(), 16, 16), 1, 1, 16, 16, 0.55f, 0.3f, 0.6f,
                   0.35f, 0.0f, 15.0f, false, status);

  // Clipping: a green square clipped to its lower left quarter.
  VG_CLIPWINDOW(0.3f, 0.85f, 0.4f, 0.95f, status);
  VG_CLIP(true, status);
  VG_FILLCOLOUR(3, status);
  const float cx[] = {0.3f, 0.5f, 0.5f, 0.3f}, cy[] = {0.85f, 0.85f, 1.05f, 1.05f};
  VG_FILLAREA(4, cx, cy, status);
  VG_CLIP(false, status);
}

// The PostScript type for a page and colour is the one whose table entry
// has that page and colour (a grey landscape page is 24, not 23).
TEST(WorkstationTypes, PostScriptTypesFollowThePageAndColour) {
  for (const bool landscape : {false, true}) {
    for (const bool colour : {false, true}) {
      const vg::WorkstationType* t = vg::workstation_type(vg::postscript_type(landscape, colour));
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(t->device_class, vg::class_postscript);
      EXPECT_EQ(t->page, landscape ? vg::page_landscape : vg::page_portrait);
      EXPECT_EQ(t->colour, colour);
    }
    const vg::WorkstationType* w = vg::workstation_type(vg::window_type(landscape));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->device_class, vg::class_window);
    EXPECT_EQ(w->width, landscape ? 707 : 500);
  }
  EXPECT_EQ(vg::postscript_type(true, false), 24);
  EXPECT_EQ(vg::workstation_type(99), nullptr);
}

// The indices written for real data are those of the core's scale, for
// every range and value the window's images are tested with.
TEST_F(PostScript, RealCellArraysTakeTheIndicesOfTheCoreScale) {
  const std::string path = open("scale_indices.ps", vg::type_colour_portrait);
  int first = 0, last = 0;
  VG_INQ_IMAGERANGE(first, last, status);
  std::vector<std::vector<float>> all;
  for (const auto& range : scaletest::ranges()) {
    all.push_back(scaletest::values_about(range, first, last));
    const int n = static_cast<int>(all.back().size());
    VG_REALCELLARRAY(io::View2D<const float>(all.back().data(), n, 1), 1, 1, n, 1, 0.1f, 0.1f, 0.5f,
                     0.2f, range.low, range.high, range.logarithmic, status);
  }
  close();
  ASSERT_EQ(status, io::status_good);
  // Each cell array: its "ca" line, then the row of indices in hexadecimal.
  const Lines lines = read_lines(path);
  std::size_t next = 0;
  const auto ranges = scaletest::ranges();
  for (std::size_t r = 0; r < ranges.size(); ++r) {
    SCOPED_TRACE(ranges[r].what);
    const std::string ca = " " + std::to_string(all[r].size()) + " 1 ca";
    while (next < lines.size() &&
           !(lines[next].size() > ca.size() &&
             lines[next].compare(lines[next].size() - ca.size(), ca.size(), ca) == 0)) {
      ++next;
    }
    ASSERT_LT(next + 1, lines.size());
    const std::string hex = lines[next + 1];
    ++next;
    vg::IndexScale scale;
    ASSERT_TRUE(scale.set(ranges[r].low, ranges[r].high, ranges[r].logarithmic, first, last));
    ASSERT_EQ(hex.size(), 2 * all[r].size());
    for (std::size_t k = 0; k < all[r].size(); ++k) {
      EXPECT_EQ(std::stoi(hex.substr(2 * k, 2), nullptr, 16), scale.index(all[r][k]))
          << "value " << all[r][k];
    }
  }
  EXPECT_TRUE(console.lines().empty()) << console.text();
}

class Rendered : public PostScript, public ::testing::WithParamInterface<int> {};

TEST_P(Rendered, SceneRendersWithoutErrors) {
  if (!kovtest::have_ghostscript()) GTEST_SKIP() << "Ghostscript (gs) is not installed";
  const int type = GetParam();
  const bool landscape = vg::workstation_type(type)->page == vg::page_landscape;
  const bool colour = vg::workstation_type(type)->colour;
  const std::string name = "scene_" + std::to_string(type);
  const std::string ps = open(name + ".ps", type);
  draw_scene(landscape, status);
  close();
  ASSERT_EQ(status, io::status_good);

  const std::string dir = kovtest::output_dir() + "/";
  bool ok = false;
  const std::string png_log = kovtest::render_postscript(ps, "png16m", dir + name + ".png", ok);
  EXPECT_TRUE(ok) << png_log;
  const std::string log = kovtest::render_postscript(ps, "ppmraw", dir + name + ".ppm", ok);
  ASSERT_TRUE(ok) << log;
  const Picture image = x11test::read_ppm(dir + name + ".ppm");
  ASSERT_EQ(image.width, 595);
  ASSERT_EQ(image.height, 842);

  const Sheet sheet{landscape, landscape ? 0.7071 : 1.0};
  const auto grey = [](const Rgb8& c) {
    const int v = static_cast<int>(std::lround(0.299 * c.r + 0.587 * c.g + 0.114 * c.b));
    return Rgb8{v, v, v};
  };
  const struct {
    double x, y;
    Rgb8 rgb;
    const char* what;
  } points[] = {
      {0.15, 0.55, {255, 0, 0}, "red square"},
      {0.40, 0.50, {0, 0, 255}, "blue triangle"},
      {0.28, 0.55, {255, 255, 255}, "between the fills"},
      {0.5625, 0.4625, {255, 255, 255}, "cell (1,1) white"},
      {0.5875, 0.4625, {0, 0, 0}, "cell (2,1) black"},
      {0.6125, 0.4625, {255, 0, 0}, "cell (3,1) red"},
      {0.6375, 0.4625, {0, 255, 0}, "cell (4,1) green"},
      {0.5625, 0.4875, {0, 0, 255}, "cell (1,2) blue"},
      {0.6375, 0.4875, {255, 0, 255}, "cell (4,2) magenta"},
      {0.6469, 0.6169, {255, 0, 0}, "masked pixel"},
      {0.5531, 0.5231, {0, 0, 0}, "lowest data value"},
      {0.6469, 0.5231, {255, 255, 255}, "highest data value"},
      {0.35, 0.90, {0, 255, 0}, "inside the clip rectangle"},
      {0.45, 0.90, {255, 255, 255}, "clipped away"},
  };
  for (const auto& point : points) {
    const Rgb8 want = colour ? point.rgb : grey(point.rgb);
    const Rgb8 got = sheet.colour(image, point.x, point.y);
    EXPECT_TRUE(x11test::near(got, want.r, want.g, want.b, 3)) << point.what;
  }
  const int middle = sheet.colour(image, 0.60, 0.57).g;
  EXPECT_GT(middle, 90);
  EXPECT_LT(middle, 170);
  // The bottom of bottom-aligned text stands on its line: ink just above
  // it, none below.
  EXPECT_GT(dark_pixels(image, sheet, 0.45, 0.383, 0.5, 0.40), 10);
  EXPECT_EQ(dark_pixels(image, sheet, 0.45, 0.35, 0.5, 0.377), 0);
  // Solid black line of type 0 at y 0.05, and the frame.
  EXPECT_GT(dark_pixels(image, sheet, 0.2, 0.045, 0.3, 0.055), 50);
  EXPECT_GT(dark_pixels(image, sheet, 0.005, 0.3, 0.015, 0.4), 50);
}

INSTANTIATE_TEST_SUITE_P(Types, Rendered,
                         ::testing::Values(vg::type_colour_portrait, vg::type_colour_landscape,
                                           vg::type_grey_portrait, vg::type_grey_landscape));

TEST_F(PostScript, ClearingAfterCellArrayAndPagesRender) {
  if (!kovtest::have_ghostscript()) GTEST_SKIP() << "Ghostscript (gs) is not installed";
  const std::string ps = open("clear_after_cells.ps", vg::type_colour_portrait);
  const int cells[] = {2, 3, 4, 5};
  VG_CELLARRAY(io::View2D<const int>(cells, 2, 2), 1, 1, 2, 2, 0.1f, 0.1f, 0.3f, 0.3f, status);
  VG_CLEAR(status);
  VG_UPDATE(2, 0, status);
  VG_UPDATE(2, 0, status);  // nothing drawn since: no blank page
  VG_FILLCOLOUR(2, status);
  const float x[] = {0.1f, 0.3f, 0.3f, 0.1f}, y[] = {0.1f, 0.1f, 0.3f, 0.3f};
  VG_FILLAREA(4, x, y, status);
  close();
  bool ok = false;
  const std::string dir = kovtest::output_dir() + "/";
  const std::string log =
      kovtest::render_postscript(ps, "ppmraw", dir + "clear_after_cells%d.ppm", ok);
  ASSERT_TRUE(ok) << log;
  const Picture first = x11test::read_ppm(dir + "clear_after_cells1.ppm");
  const Picture second = x11test::read_ppm(dir + "clear_after_cells2.ppm");
  ASSERT_GT(first.width, 0);
  ASSERT_GT(second.width, 0);
  std::ifstream third(dir + "clear_after_cells3.ppm");
  EXPECT_FALSE(third.good());
  const Sheet sheet;
  EXPECT_EQ(sheet.colour(first, 0.15, 0.15), (Rgb8{255, 255, 255}));
  EXPECT_EQ(sheet.colour(second, 0.15, 0.15), (Rgb8{255, 0, 0}));
}

}  // namespace

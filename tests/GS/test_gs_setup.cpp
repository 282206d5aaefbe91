// Opening graphics, the command-line options, state defaults, named colours
// and colour tables, through the recording window device.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gs.h"
#include "status_table.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

// Graphics opened with the given command-line arguments on the recording
// device, closed again at the end of the test.
using Graphics = kovtest::Graphics;

void expect_region(void (*inq)(float&, float&, float&, float&, int&), float x0, float y0, float x1,
                   float y1) {
  int status = good;
  float a, b, c, d;
  inq(a, b, c, d, status);
  EXPECT_EQ(status, good);
  EXPECT_FLOAT_EQ(a, x0);
  EXPECT_FLOAT_EQ(b, y0);
  EXPECT_FLOAT_EQ(c, x1);
  EXPECT_FLOAT_EQ(d, y1);
}

TEST(GsOpen, DefaultsOfThePortraitPage) {
  Graphics g;
  ASSERT_EQ(g.status, good);
  ASSERT_EQ(g.window.count("open"), 1);
  const auto open = g.window.calls_of("open")[0];
  EXPECT_EQ(open.values[0], vg::page_portrait);
  EXPECT_EQ(open.values[3], 500);
  EXPECT_EQ(open.values[4], 707);

  int status = good;
  int format = -1;
  GS_INQ_WINDOWFORMAT(format, status);
  EXPECT_EQ(format, 0);
  expect_region(GS_INQ_GUIREGION, 0.0f, 0.0f, 0.7071f, 0.15f);
  expect_region(GS_INQ_MESSAGE, 0.0f, 0.0f, 0.7071f, 1.0f);

  int v[8];
  float s1, s2;
  GS_INQ_MESSAGESTYLE(v[0], v[1], v[2], v[3], s1, v[4], v[5], v[6], v[7], s2, status);
  EXPECT_EQ(std::vector<int>(v, v + 8), (std::vector<int>{2, 5, 2, 1, -1, 5, 2, 1}));
  EXPECT_FLOAT_EQ(s1, 1.0f);
  GS_INQ_MENUSTYLE(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], status);
  EXPECT_EQ(std::vector<int>(v, v + 8), (std::vector<int>{1, 5, 1, 6, 2, 1, 5, 1}));
  GS_INQ_MENULAYOUT(v[0], v[1], v[2], v[3], status);
  EXPECT_EQ(std::vector<int>(v, v + 4), (std::vector<int>{0, 1, 40, 20}));

  // 210 image colours from index 41; table 2 with one level per index.
  int first = 0, last = 0, choice = 0, levels = 0;
  VG_INQ_IMAGERANGE(first, last, status);
  EXPECT_EQ(first, 41);
  EXPECT_EQ(last, 250);
  GS_INQ_LUTCHOICE(choice, levels, status);
  EXPECT_EQ(choice, 2);
  EXPECT_EQ(levels, 210);

  int mask = 0, bg = 0;
  bool fill = false, colour_ps = false, ps_open = true, forms = true, menus = true;
  GS_INQ_MASKCOLOUR(mask, status);
  GS_INQ_BACKGROUND(fill, bg, status);
  GS_INQ_POSTSCRIPT(colour_ps, status);
  GS_INQ_PSFILE(ps_open, status);
  GS_INQ_DOCUMENTATION(forms, menus, status);
  EXPECT_EQ(mask, gs::red);
  EXPECT_TRUE(fill);
  EXPECT_EQ(bg, gs::white);
  EXPECT_TRUE(colour_ps);
  EXPECT_FALSE(ps_open);
  EXPECT_FALSE(forms);
  EXPECT_FALSE(menus);
  EXPECT_EQ(status, good);
}

TEST(GsOpen, SampleWidthIsMeasuredAtTenDeviceUnits) {
  Graphics g;
  int status = good;
  float width = 0.0f;
  GS_INQ_SAMPLEWIDTH(width, status);
  // The recording device measures half the height per character.
  EXPECT_NEAR(width, 0.5f * 10.0f / 707.0f * 10.0f, 1e-5f);
  EXPECT_GT(width, 0.063f);
  EXPECT_LE(width, 0.083f);
  const auto measured = g.window.calls_of("text_width");
  ASSERT_EQ(measured.size(), 1u);
  EXPECT_EQ(measured[0].text, "iiii..MMWW");
  // The caller's text height is back.
  float height = 0.0f;
  VG_INQ_TEXTHEIGHT(height, status);
  EXPECT_NE(height, 10.0f / 707.0f);
}

TEST(GsOptions, EverySpellingOfLandscape) {
  for (const char* spelling : {"-LAND", "+LAND", "land", "+LANDSCAPE", "LANDSCAPE", "-landscape"}) {
    Graphics g({spelling});
    ASSERT_EQ(g.status, good) << spelling;
    int status = good, format = 0;
    GS_INQ_WINDOWFORMAT(format, status);
    EXPECT_EQ(format, gs::format_landscape) << spelling;
    const auto open = g.window.calls_of("open")[0];
    EXPECT_EQ(open.values[3], 707) << spelling;
    EXPECT_EQ(open.values[4], 500) << spelling;
  }
  Graphics g({"-LAND"});
  expect_region(GS_INQ_GUIREGION, 0.0f, 0.0f, 1.0f, 0.1f);
  expect_region(GS_INQ_MESSAGE, 0.0f, 0.0f, 1.0f, 0.7071f);
  expect_region(GS_INQ_GPP, 0.1f, 0.1f, 0.9f, 0.6071f);
}

struct ColourCase {
  std::vector<std::string> args;
  int bound;
  int last_index;
};

TEST(GsOptions, ColourCountsAreClampedAndSetTheImageRange) {
  const std::vector<ColourCase> cases = {
      {{"-COLOURS8"}, 16, 56}, {{"-COLOURS", "8"}, 16, 56}, {{"+COLOURS999"}, 256, 255},
      {{"+COL32"}, 32, 72},    {{"-col100"}, 100, 140},
  };
  for (const auto& c : cases) {
    Graphics g(c.args);
    ASSERT_EQ(g.status, good) << c.args[0];
    int status = good, low = 0, high = 0, first = 0, last = 0;
    GS_INQ_COLOURBOUNDS(low, high, status);
    EXPECT_EQ(low, c.bound) << c.args[0];
    EXPECT_EQ(high, c.bound) << c.args[0];
    VG_INQ_IMAGERANGE(first, last, status);
    EXPECT_EQ(first, 41) << c.args[0];
    EXPECT_EQ(last, c.last_index) << c.args[0];
    EXPECT_TRUE(g.console.lines().empty()) << c.args[0];
  }
}

TEST(GsOptions, BadColourCountWarnsAndChangesNothing) {
  Graphics g({"-COLOURSX", "+DMENU"});
  ASSERT_EQ(g.status, good);
  EXPECT_EQ(g.console.lines(), std::vector<std::string>{"WARNING: Bad command line option"});
  int status = good, low = 0, high = 0;
  bool forms = true, menus = false;
  GS_INQ_COLOURBOUNDS(low, high, status);
  EXPECT_EQ(low, 108);
  EXPECT_EQ(high, 210);
  GS_INQ_DOCUMENTATION(forms, menus, status);
  EXPECT_FALSE(forms);
  EXPECT_TRUE(menus);
}

TEST(GsOptions, AColourOptionTakesTheNextArgumentOnlyWhenItIsANumber) {
  struct Case {
    std::vector<std::string> args;
    int low, high;
    bool landscape, menus, warned;
  };
  const std::vector<Case> cases = {
      {{"-COLOURS", "-LAND"}, 108, 210, true, false, true},
      {{"-COL", "+DMENU"}, 108, 210, false, true, true},
      {{"+COL", "64", "+LAND"}, 64, 64, true, false, false},
      {{"-LAND", "-COLOURS"}, 108, 210, true, false, true},  // nothing follows
  };
  for (const auto& c : cases) {
    Graphics g(c.args);
    const std::string what = c.args[0] + " " + c.args[1];
    ASSERT_EQ(g.status, good) << what;
    int status = good, low = 0, high = 0, format = 0;
    bool forms = false, menus = false;
    GS_INQ_COLOURBOUNDS(low, high, status);
    GS_INQ_WINDOWFORMAT(format, status);
    GS_INQ_DOCUMENTATION(forms, menus, status);
    EXPECT_EQ(low, c.low) << what;
    EXPECT_EQ(high, c.high) << what;
    EXPECT_EQ(format == gs::format_landscape, c.landscape) << what;
    EXPECT_EQ(menus, c.menus) << what;
    EXPECT_EQ(g.console.lines(), c.warned
                                     ? std::vector<std::string>{"WARNING: Bad command line option"}
                                     : std::vector<std::string>{})
        << what;
  }
}

TEST(GsOptions, DocumentationFlagsAndUnknownArguments) {
  Graphics g({"-DFORM", "something", "+DMENU"});
  int status = good;
  bool forms = false, menus = false;
  GS_INQ_DOCUMENTATION(forms, menus, status);
  EXPECT_TRUE(forms);
  EXPECT_TRUE(menus);
  EXPECT_TRUE(g.console.lines().empty());
}

TEST(GsColours, NamesAndNumbers) {
  int status = good;
  bool found = false;
  int colour = 0;
  GS_GIVE_COLOUR("grey", found, colour, status);
  EXPECT_TRUE(found);
  EXPECT_EQ(colour, 10);
  GS_GIVE_COLOUR("(INDEX 0)", found, colour, status);
  EXPECT_FALSE(found);
  GS_GIVE_COLOUR("(0 INDEX)   ", found, colour, status);
  EXPECT_TRUE(found);
  EXPECT_EQ(colour, 13);
  GS_GIVE_COLOUR("Inverse", found, colour, status);
  EXPECT_EQ(colour, 15);
  std::string name;
  GS_GIVE_COLOURNAME(13, name, status);
  EXPECT_EQ(name, "(INDEX 0)");
  GS_GIVE_COLOURNAME(14, name, status);
  EXPECT_EQ(name, "(INDEX 1)");
  GS_GIVE_COLOURNAME(9, name, status);
  EXPECT_EQ(name, "ORANGE");
  // Every display name of a colour word reads back as its number.
  for (int c = 1; c <= 12; ++c) {
    GS_GIVE_COLOURNAME(c, name, status);
    GS_GIVE_COLOUR(name, found, colour, status);
    EXPECT_TRUE(found);
    EXPECT_EQ(colour, c);
  }
  EXPECT_EQ(status, good);
}

TEST(GsColours, NamedColoursResolveToMatchingDeviceColours) {
  Graphics g;
  int status = good;
  std::vector<vg::Rgb> table(vg::table_size);
  VG_INQ_COLOURS(0, vg::table_size - 1, table, status);
  const std::vector<std::pair<int, vg::Rgb>> expected = {
      {gs::black, {0, 0, 0}}, {gs::white, {1, 1, 1}},  {gs::red, {1, 0, 0}},
      {gs::blue, {0, 0, 1}},  {gs::yellow, {1, 1, 0}}, {gs::grey, {0.5f, 0.5f, 0.5f}}};
  for (const auto& [colour, rgb] : expected) {
    int index = -5;
    GS_INQ_COLOURINDEX(colour, index, status);
    ASSERT_GE(index, 0);
    EXPECT_NEAR(table[static_cast<std::size_t>(index)].r, rgb.r, 0.1f) << colour;
    EXPECT_NEAR(table[static_cast<std::size_t>(index)].g, rgb.g, 0.1f) << colour;
    EXPECT_NEAR(table[static_cast<std::size_t>(index)].b, rgb.b, 0.1f) << colour;
  }
  // The three fixed numbers reach the device as 0, 1 and inverse video.
  g.window.clear();
  GS_FILLSTYLE(1, gs::index0, status);
  GS_FILLSTYLE(1, gs::index1, status);
  GS_FILLSTYLE(1, gs::inverse, status);
  const auto fills = g.window.calls_of("fill_colour");
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_EQ(fills[0].values[0], 0);
  EXPECT_EQ(fills[1].values[0], 1);
  EXPECT_EQ(fills[2].values[0], -1);
  int index = 0;
  GS_INQ_COLOURINDEX(16, index, status);
  EXPECT_EQ(status, 140017);
}

// The colour of index F + i - 1 by the interpolation rule.
vg::Rgb interpolated(const std::vector<vg::Rgb>& p, int n, int levels, int i) {
  const double x = static_cast<double>(i) / n;
  const double t = std::round(x * (levels - 1));
  const double pos = t / (levels - 1) * (static_cast<double>(p.size()) - 1) + 1;
  const int k = static_cast<int>(pos);
  const int k1 = std::min<int>(k + 1, static_cast<int>(p.size()));
  const auto mix = [&](float a, float b) {
    return static_cast<float>(((k + 1) - pos) * a + (pos - k) * b);
  };
  const vg::Rgb& a = p[static_cast<std::size_t>(k - 1)];
  const vg::Rgb& b = p[static_cast<std::size_t>(k1 - 1)];
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

// The table made of colour table `choice`'s points over the indices first to
// last with `levels` levels.
std::vector<vg::Rgb> made_table(int choice, int first, int last, int levels) {
  std::vector<vg::Rgb> table(vg::table_size);
  const auto points = gs::colour_table_points(choice);
  const int n = static_cast<int>(points.size());
  int status = good;
  GS_CAL_COLOURTABLE(n, n, points, first, last, levels, vg::table_size, table, status);
  EXPECT_EQ(status, good);
  return table;
}

TEST(GsColourTables, InterpolationOfControlPoints) {
  // Table 3 (black to white) over 11 indices with 11 levels: steps of 0.1.
  const std::vector<vg::Rgb> grey = made_table(3, 10, 20, 11);
  for (int i = 1; i <= 11; ++i) {
    const float expected = static_cast<float>(i) / 11.0f;
    const float t = std::round(expected * 10.0f) / 10.0f;
    EXPECT_NEAR(grey[static_cast<std::size_t>(9 + i)].r, t, 1e-5f) << i;
  }
  // Table 1 (six points), 10 indices and 10 levels: index 45 (i = 5) lies
  // 7/9 of the way from cyan to green.
  const std::vector<vg::Rgb> rainbow = made_table(1, 41, 50, 10);
  EXPECT_NEAR(rainbow[45].r, 0.0f, 1e-5f);
  EXPECT_NEAR(rainbow[45].g, 1.0f, 1e-5f);
  EXPECT_NEAR(rainbow[45].b, 2.0f / 9.0f, 1e-5f);
  EXPECT_NEAR(rainbow[50].r, 1.0f, 1e-5f);  // the last index takes the last point
  EXPECT_NEAR(rainbow[50].g, 0.0f, 1e-5f);
  // Table 7 (63 points) over 210 indices with 200 levels, everywhere.
  const auto ramps = gs::colour_table_points(7);
  ASSERT_EQ(ramps.size(), 63u);
  const std::vector<vg::Rgb> table = made_table(7, 41, 250, 200);
  for (int i = 1; i <= 210; ++i) {
    const vg::Rgb e = interpolated(ramps, 210, 200, i);
    EXPECT_NEAR(table[static_cast<std::size_t>(40 + i)].g, e.g, 1e-5f) << i;
    EXPECT_NEAR(table[static_cast<std::size_t>(40 + i)].b, e.b, 1e-5f) << i;
  }
}

TEST(GsColourTables, TwoLevelsGiveOnlyTheEndColours) {
  ASSERT_EQ(gs::colour_table_points(5).size(), 8u);
  const std::vector<vg::Rgb> table = made_table(5, 41, 250, 2);
  for (int index = 41; index <= 250; ++index) {
    const vg::Rgb& c = table[static_cast<std::size_t>(index)];
    const bool first = c.r == 0.0f && c.g == 0.0f && c.b == 0.0f;
    const bool last = c.r == 1.0f && c.g == 1.0f && c.b == 1.0f;
    EXPECT_TRUE(first || last) << index;
    EXPECT_EQ(last, index >= 41 + 104) << index;  // the upper half of 210
  }
}

TEST(GsColourTables, BadDimensionsGiveTheirStatus) {
  kovtest::ConsoleCapture console;
  std::vector<vg::Rgb> table(vg::table_size);
  const auto points = gs::colour_table_points(3);
  const auto cal = [&](int max_points, int first, int last, int levels) {
    return [&, max_points, first, last, levels](int& s) {
      GS_CAL_COLOURTABLE(max_points, 2, points, first, last, levels, vg::table_size, table, s);
    };
  };
  const std::string id = "Subroutine GS_CAL_COLOURTABLE V0.1";
  kovtest::run_rows({{"no room for points", cal(0, 41, 250, 10), "", 140001, id},
                     {"more points than room", cal(1, 41, 250, 10), "", 140005, id},
                     {"indices reversed", cal(2, 250, 41, 10), "", 140013, id},
                     {"beyond the table", cal(2, 41, 256, 10), "", 140009, id},
                     // A single level gives the first colour throughout
                     // instead of dividing by zero.
                     {"a single level", cal(2, 41, 50, 1)}},
                    console);
  EXPECT_EQ(table[50].r, 0.0f);
}

TEST(GsColourTables, ChoiceOutOfRangeIsRefused) {
  Graphics g;
  const std::string id = "Subroutine GS_SET_LUTCHOICE V0.1";
  kovtest::run_rows({{"choice 12", [](int& s) { GS_SET_LUTCHOICE(12, 10, s); }, "", 140017, id},
                     {"choice -1", [](int& s) { GS_SET_LUTCHOICE(-1, 10, s); }, "", 140017, id},
                     {"no levels", [](int& s) { GS_SET_LUTCHOICE(3, 0, s); }, "", 140018, id}},
                    g.console);
  int status = good, choice = 0, levels = 0;
  GS_INQ_LUTCHOICE(choice, levels, status);
  EXPECT_EQ(choice, 2);
  EXPECT_EQ(levels, 210);
}

TEST(GsColourTables, InstalledTableAndTableZero) {
  Graphics g;
  int status = good;
  GS_SET_LUTCHOICE(4, 200, status);
  GS_COLOURS(status);
  ASSERT_EQ(status, good);
  std::vector<vg::Rgb> table(vg::table_size);
  VG_INQ_COLOURS(0, vg::table_size - 1, table, status);
  EXPECT_NEAR(table[41].r, 1.0f, 0.01f);  // white to black
  EXPECT_NEAR(table[250].r, 0.0f, 1e-6f);
  EXPECT_EQ(g.window.colours()[250].r, 0.0f);

  // Table 0 leaves every entry as it was.
  std::vector<vg::Rgb> marked = table;
  marked[100] = {0.25f, 0.5f, 0.75f};
  VG_COLOURS(100, 100, marked, status);
  std::vector<vg::Rgb> before(vg::table_size);
  VG_INQ_COLOURS(0, vg::table_size - 1, before, status);
  GS_SET_LUTCHOICE(0, 200, status);
  GS_COLOURS(status);
  std::vector<vg::Rgb> after(vg::table_size);
  VG_INQ_COLOURS(0, vg::table_size - 1, after, status);
  ASSERT_EQ(status, good);
  for (int i = 0; i < vg::table_size; ++i) {
    EXPECT_EQ(after[i].r, before[i].r) << i;
    EXPECT_EQ(after[i].g, before[i].g) << i;
    EXPECT_EQ(after[i].b, before[i].b) << i;
  }
}

TEST(GsState, SettersCheckTheirArgumentsAndInquiriesReturnThem) {
  kovtest::ConsoleCapture console;
  kovtest::run_rows(
      {{"GUI region x reversed", [](int& s) { GS_SET_GUIREGION(0.5f, 0.0f, 0.4f, 0.1f, s); }, "",
        140013, "Subroutine GS_SET_GUIREGION V0.1"},
       {"message region y equal", [](int& s) { GS_SET_MESSAGE(0.0f, 0.5f, 0.4f, 0.5f, s); }, "",
        140014, "Subroutine GS_SET_MESSAGE V0.1"},
       {"box form checked too",
        [](int& s) {
          GS_SET_DGPP(gs::Box{0.2f, 0.0f, 0.2f, 1.0f}, s);
        },
        "", 140013, "Subroutine GS_SET_DGPP V0.1"},
       {"no columns", [](int& s) { GS_SET_MENULAYOUT(1, 0, 40, 20, s); }, "", 140017,
        "Subroutine GS_SET_MENULAYOUT V0.1"},
       {"no label characters",
        [](int& s) {
          GS_SET_MENULAYOUT(gs::MenuGrid{0, 2, 40, 0}, s);
        },
        "", 140018, "Subroutine GS_SET_MENULAYOUT V0.1"},
       {"colour 16", [](int& s) { GS_SET_MASKCOLOUR(16, s); }, "", 140017,
        "Subroutine GS_SET_MASKCOLOUR V0.1"},
       {"window format 6", [](int& s) { GS_SET_WINDOWFORMAT(6, s); }, "", 140017,
        "Subroutine GS_SET_WINDOWFORMAT V0.1"}},
      console);
  int status = good;
  GS_SET_IDR(-3.0f, 2.0f, 7.5f, 9.0f, status);
  expect_region(GS_INQ_IDR, -3.0f, 2.0f, 7.5f, 9.0f);
  // The box and the four-real forms are one region.
  gs::Box idr;
  GS_INQ_IDR(idr, status);
  EXPECT_EQ(idr, (gs::Box{-3.0f, 2.0f, 7.5f, 9.0f}));
  GS_SET_GUIREGION(gs::Box{0.1f, 0.2f, 0.3f, 0.4f}, status);
  expect_region(GS_INQ_GUIREGION, 0.1f, 0.2f, 0.3f, 0.4f);
  GS_DEF_GUIREGION(status);
  expect_region(GS_INQ_GUIREGION, 0.0f, 0.0f, 0.7071f, 0.15f);
  // A routine entered with a bad status changes nothing.
  status = 140005;
  GS_SET_IDR(0.0f, 0.0f, 1.0f, 1.0f, status);
  EXPECT_EQ(status, 140005);
  expect_region(GS_INQ_IDR, -3.0f, 2.0f, 7.5f, 9.0f);
  status = good;
  GS_DEF_ATTRIBUTES(status);
  expect_region(GS_INQ_IDR, 0.0f, 0.0f, 1.0f, 1.0f);
}

}  // namespace

// A form written to PostScript through the form documentation option
// (+DFORM), portrait and landscape, rendered with Ghostscript.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>

#include "../gs_tool_script.h"
#include "console_capture.h"
#include "documented_page.h"
#include "ghostscript.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

TEST(GsFormPostScript, DocumentedFormRendersInGhostscript) {
  gstest::DocumentedPage page;
  for (const bool landscape : {false, true}) {
    int status = 0;
    page.open("+DFORM", landscape, status);
    const std::string file = page.file("form", landscape);
    GS_OPEN_PS(file, status);
    ASSERT_EQ(status, good);
    // A click outside every button offers the print; then O.K.
    page.window.push_click(0.001f, 0.5f);
    tooltest::control(page.window, 3, 0);
    const std::array<std::string, 1> title{"DOCUMENTED FORM"};
    const std::array<std::string, 1> help{"help"};
    std::array<std::string, 8> choices{"LOG", "NUMBER", "FILE"}, explanations;
    const std::array<int, 3> types{gs::form_logical, gs::form_real, gs::form_output_file};
    const std::array<std::string, 3> descriptions{"A LOGICAL VALUE", "A REAL VALUE (MICRONS)",
                                                  "FILE TO CONTAIN RECONSTRUCTED VOLUME"};
    const bool ranges[3] = {false, true, false};
    const std::array<std::array<int, 2>, 3> ib{};
    const std::array<std::array<float, 2>, 3> rb{{{0, 1}, {0.01f, 1000.0f}, {0, 1}}};
    std::array<int, 3> ints{};
    bool logicals[3] = {true, false, false};
    std::array<float, 3> reals{0, 6.5f, 0};
    std::array<std::string, 3> texts{"", "", "/data/scan/reconstruction/volume.vol"};
    bool cancelled = true;
    GS_FORM(1, 1, title, 1, 1, help, 8, 3, choices, types, descriptions, explanations, ranges, ib,
            rb, ints, logicals, reals, texts, cancelled, status);
    ASSERT_EQ(status, good) << page.window.dump();
    EXPECT_FALSE(cancelled);
    kovtest::close_graphics();

    const std::string ps = page.printed("form", landscape);
    ASSERT_FALSE(ps.empty());
    EXPECT_NE(ps.find("DESCRIPTIONS"), std::string::npos);
    EXPECT_NE(ps.find("DOCUMENTED FORM"), std::string::npos);
  }
}

}  // namespace

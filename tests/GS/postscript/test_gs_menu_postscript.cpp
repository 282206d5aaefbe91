// A menu written to PostScript through the menu documentation option
// (+DMENU), rendered with Ghostscript.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "console_capture.h"
#include "documented_page.h"
#include "ghostscript.h"
#include "gs.h"
#include "recording_device.h"
#include "vg_fixture.h"

namespace {

TEST(GsMenuPostScript, DocumentedMenuRendersInGhostscript) {
  gstest::DocumentedPage page;
  for (const bool landscape : {false, true}) {
    int status = 0;
    page.open("+DMENU", landscape, status);
    bool forms = true, menus = false;
    GS_INQ_DOCUMENTATION(forms, menus, status);
    ASSERT_TRUE(menus);
    GS_SET_MENULAYOUT(0, 2, 40, 20, status);
    const std::array<std::string, 2> titles{"SELECT IMAGE FILE FORMAT", "(documented)"};
    const std::array<std::string, 5> labels{"TIFF", "KEYWORD HEADER", "RAW BINARY", "IMAGE PLATE",
                                            "CANCEL"};
    GS_MENU(2, 2, titles, 5, 5, labels, 0.05f, 0.2f, 0.65f, 0.6f, status);
    const std::string file = page.file("menu", landscape);
    GS_OPEN_PS(file, status);
    ASSERT_EQ(status, io::status_good);
    page.window.push_click(0.01f, 0.01f);  // outside the menu: offers the print
    int kind = 0, choice = 0;
    std::string label;
    float x = 0, y = 0;
    GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
    ASSERT_EQ(status, io::status_good);
    EXPECT_EQ(kind, gs::input_redraw);
    kovtest::close_graphics();

    const std::string ps = page.printed("menu", landscape);
    ASSERT_FALSE(ps.empty());
    EXPECT_NE(ps.find("KEYWORD HEADER"), std::string::npos);
  }
}

}  // namespace

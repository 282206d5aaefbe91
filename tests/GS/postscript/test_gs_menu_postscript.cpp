// A menu written to PostScript through the menu documentation option
// (+DMENU), rendered with Ghostscript.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "console_capture.h"
#include "gs.h"
#include "recording_device.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

bool have_ghostscript() {
  return std::system("gs --version > /dev/null 2>&1") == 0;
}

TEST(GsMenuPostScript, DocumentedMenuRendersInGhostscript) {
  kovtest::RecordingWindow window;
  kovtest::ConsoleCapture console;
  kovtest::TempDir dir;
  for (const bool landscape : {false, true}) {
    std::vector<std::string> args{"+DMENU"};
    if (landscape) args.emplace_back("+LAND");
    int status = 0;
    kovtest::open_graphics(args, status);
    bool forms = true, menus = false;
    GS_INQ_DOCUMENTATION(forms, menus, status);
    ASSERT_TRUE(menus);
    GS_SET_MENULAYOUT(0, 2, 40, 20, status);
    const std::array<std::string, 2> titles{"SELECT IMAGE FILE FORMAT", "(documented)"};
    const std::array<std::string, 5> labels{"TIFF", "KEYWORD HEADER", "RAW BINARY", "IMAGE PLATE",
                                            "CANCEL"};
    GS_MENU(2, 2, titles, 5, 5, labels, 0.05f, 0.2f, 0.65f, 0.6f, status);
    const std::string file = dir.file(landscape ? "menu_landscape.ps" : "menu_portrait.ps");
    GS_OPEN_PS(file, status);
    ASSERT_EQ(status, good);
    window.push_click(0.01f, 0.01f);  // outside the menu: offers the print
    int kind = 0, choice = 0;
    std::string label;
    float x = 0, y = 0;
    GS_INP_MENUCHOICE(kind, choice, label, x, y, status);
    ASSERT_EQ(status, good);
    EXPECT_EQ(kind, gs::input_redraw);
    kovtest::close_graphics();

    const std::string ps = kovtest::read_file(file);
    ASSERT_FALSE(ps.empty());
    EXPECT_NE(ps.find("KEYWORD HEADER"), std::string::npos);
    if (!have_ghostscript()) GTEST_SKIP() << "Ghostscript (gs) is not installed";
    const std::string png =
        kovtest::output_dir() + "/gs_menu_" + (landscape ? "landscape" : "portrait") + "_ps.png";
    const std::string log = dir.file("gs.log");
    const std::string command =
        "gs -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=a4 -sDEVICE=png16m -r60 "
        "-sOutputFile=" +
        png + " " + file + " > " + log + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << kovtest::read_file(log);
    EXPECT_EQ(kovtest::read_file(log).find("Error"), std::string::npos) << kovtest::read_file(log);
  }
}

}  // namespace

// A form written to PostScript through the form documentation option
// (+DFORM), portrait and landscape, rendered with Ghostscript.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>

#include "../gs_tool_script.h"
#include "console_capture.h"
#include "vg_fixture.h"

namespace {

constexpr int good = io::status_good;

TEST(GsFormPostScript, DocumentedFormRendersInGhostscript) {
  kovtest::RecordingWindow window;
  kovtest::ConsoleCapture console;
  kovtest::TempDir dir;
  for (const bool landscape : {false, true}) {
    std::vector<std::string> args{"+DFORM"};
    if (landscape) args.emplace_back("+LAND");
    int status = 0;
    kovtest::open_graphics(args, status);
    const std::string file = dir.file(landscape ? "form_landscape.ps" : "form_portrait.ps");
    GS_OPEN_PS(file, status);
    ASSERT_EQ(status, good);
    // A click outside every button offers the print; then O.K.
    window.push_click(0.001f, 0.5f);
    tooltest::control(window, 3, 0);
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
    ASSERT_EQ(status, good) << window.dump();
    EXPECT_FALSE(cancelled);
    kovtest::close_graphics();

    const std::string ps = kovtest::read_file(file);
    ASSERT_FALSE(ps.empty());
    EXPECT_NE(ps.find("DESCRIPTIONS"), std::string::npos);
    EXPECT_NE(ps.find("DOCUMENTED FORM"), std::string::npos);
    if (std::system("gs --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no Ghostscript";
    const std::string png =
        kovtest::output_dir() + "/gs_form_" + (landscape ? "landscape" : "portrait") + "_ps.png";
    const std::string log = dir.file("gs.log");
    const std::string command =
        "gs -dSAFER -dBATCH -dNOPAUSE -sPAPERSIZE=a4 -sDEVICE=png16m -r60 -sOutputFile=" + png +
        " " + file + " > " + log + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << kovtest::read_file(log);
    EXPECT_EQ(kovtest::read_file(log).find("Error"), std::string::npos) << kovtest::read_file(log);
  }
}

}  // namespace

// A widget drawn with a documentation option (+DFORM, +DMENU) on a recording
// window, portrait and landscape, and printed to PostScript files in a
// scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_capture.h"
#include "ghostscript.h"
#include "recording_device.h"
#include "vg_fixture.h"

namespace gstest {

struct DocumentedPage {
  kovtest::RecordingWindow window;
  kovtest::ConsoleCapture console;
  kovtest::TempDir dir;

  // Opens the graphics with the option, on a landscape window when asked.
  void open(const std::string& option, bool landscape, int& status) {
    std::vector<std::string> args{option};
    if (landscape) args.emplace_back("+LAND");
    kovtest::open_graphics(args, status);
  }

  // The PostScript file of a page.
  std::string file(const std::string& stem, bool landscape) const {
    return dir.file(stem + (landscape ? "_landscape.ps" : "_portrait.ps"));
  }

  // What was printed to a page's file, rendered with Ghostscript (when there
  // is one) to a picture beside the other test output.
  std::string printed(const std::string& stem, bool landscape) const {
    render(stem, landscape);
    return kovtest::read_file(file(stem, landscape));
  }

 private:
  void render(const std::string& stem, bool landscape) const {
    if (!kovtest::have_ghostscript()) GTEST_SKIP() << "Ghostscript (gs) is not installed";
    const std::string png = kovtest::output_dir() + "/gs_" + stem +
                            (landscape ? "_landscape" : "_portrait") + "_ps.png";
    bool rendered = false;
    const std::string log =
        kovtest::render_postscript(file(stem, landscape), "png16m", png, rendered, 60);
    EXPECT_TRUE(rendered) << log;
  }
};

}  // namespace gstest

// A toolkit opened on the recording window, portrait or landscape, for the
// widget tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_capture.h"
#include "gs.h"
#include "recording_device.h"

namespace widgettest {

constexpr int good = io::status_good;

class Toolkit {
 public:
  // `width_factor` sets the recording device's text widths, and so the
  // sample width measured at start-up (10 characters at 10/707 page units).
  explicit Toolkit(bool landscape = false, float width_factor = 0.5f) {
    window.set_text_width_factor(width_factor);
    std::vector<std::string> args{"kov_master"};
    if (landscape) args.emplace_back("+LAND");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    IO_SET_ARGS(static_cast<int>(argv.size()), argv.data());
    ST_DEF_SYSTEM(status);
    GS_OPEN_GRAPHICS(status);
    window.clear();
  }
  ~Toolkit() {
    int s = good;
    GS_CLOSE_GRAPHICS(s);
    IO_SET_ARGS(0, nullptr);
  }
  int index(int colour) const {
    int i = 0, s = good;
    GS_INQ_COLOURINDEX(colour, i, s);
    return i;
  }
  std::vector<kovtest::DeviceCall> texts() const { return window.calls_of("text"); }
  // The text call drawing `text` (the first one).
  kovtest::DeviceCall text_call(const std::string& text) const {
    for (const auto& c : window.calls_of("text")) {
      if (c.text == text) return c;
    }
    ADD_FAILURE() << "no text \"" << text << "\"";
    return {};
  }

  kovtest::RecordingWindow window;
  kovtest::ConsoleCapture console;
  int status = 0;
};

// `n` numbered lines of 38 characters ("Line 1 of the text......"); the
// automatic message height is fitted to lines of forty.
inline std::vector<std::string> numbered_lines(int n) {
  std::vector<std::string> lines;
  for (int k = 1; k <= n; ++k) {
    std::string s = "Line " + std::to_string(k) + " of the text";
    s.resize(38, '.');
    lines.push_back(s);
  }
  return lines;
}

inline float cx(const gs::Box& b) {
  return (b.xmin + b.xmax) / 2.0f;
}
inline float cy(const gs::Box& b) {
  return (b.ymin + b.ymax) / 2.0f;
}

#define EXPECT_BOX(box, x0, y0, x1, y1)   \
  do {                                    \
    EXPECT_NEAR((box).xmin, (x0), 1e-4f); \
    EXPECT_NEAR((box).ymin, (y0), 1e-4f); \
    EXPECT_NEAR((box).xmax, (x1), 1e-4f); \
    EXPECT_NEAR((box).ymax, (y1), 1e-4f); \
  } while (false)

}  // namespace widgettest

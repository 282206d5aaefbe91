// A toolkit opened on the recording window, portrait or landscape, for the
// widget tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "gs.h"
#include "vg_fixture.h"

namespace widgettest {

constexpr int good = io::status_good;

// The toolkit on the recording window, the calls of the opening forgotten.
class Toolkit : public kovtest::Graphics {
 public:
  // `width_factor` sets the recording device's text widths, and so the
  // sample width measured at start-up (10 characters at 10/707 page units).
  explicit Toolkit(bool landscape = false, float width_factor = 0.5f)
      : Graphics(landscape ? std::vector<std::string>{"+LAND"} : std::vector<std::string>{},
                 width_factor) {
    window.clear();
  }
  std::vector<kovtest::DeviceCall> texts() const { return window.calls_of("text"); }
};

// The menu of seven choices ("ONE" .. "SEVEN") in two columns under the
// title "CHOOSE", in the lower half of the portrait page, filled row by row
// (orientation 0) or column by column.
inline void draw_seven_choices(int& status, int orientation = 0) {
  GS_SET_MENULAYOUT(orientation, 2, 40, 20, status);
  const std::array<std::string, 1> title{"CHOOSE"};
  const std::array<std::string, 7> labels{"ONE", "TWO", "THREE", "FOUR", "FIVE", "SIX", "SEVEN"};
  GS_MENU(1, 1, title, 7, 7, labels, 0.0f, 0.0f, 0.7071f, 0.5f, status);
}

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

// Fixtures of the graphics tests: the device core opened on its own
// (VgOpenTest), and the toolkit opened as the program opens it, on the
// recording window (Graphics) or on whatever window device is installed
// (open_graphics and close_graphics, e.g. the X11 window).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_capture.h"
#include "io.h"
#include "recording_device.h"
#include "vg.h"

namespace kovtest {

// The device graphics core opened (status system set up first) before each
// test and closed after it.
class VgOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ST_DEF_SYSTEM(status);
    VG_OPEN(0, status);
    ASSERT_EQ(status, io::status_good);
  }
  void TearDown() override {
    int s = io::status_good;
    VG_CLOSE(s);
  }
  int status = 0;
};

// Sets the program's arguments (its name "kov_master", then `arguments`),
// sets up the status system and opens graphics (GS_OPEN_GRAPHICS); `status`
// tells how it went.
void open_graphics(const std::vector<std::string>& arguments, int& status);
// Closes graphics (with a status of its own) and forgets the arguments.
void close_graphics();

// The toolkit opened on the recording window device, with the console
// captured from before the opening; closed again on destruction. The text
// width factor of the recording device sets the sample width measured at
// start-up (10 characters at 10/707 page units).
class Graphics {
 public:
  explicit Graphics(const std::vector<std::string>& arguments = {}, float text_width_factor = 0.5f);
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // Device colour index of a named colour.
  int index(int colour) const;
  // The first text call drawing `text` (a test failure when there is none).
  DeviceCall text_call(const std::string& text) const;

  RecordingWindow window;
  ConsoleCapture console;
  int status = 0;
};

}  // namespace kovtest

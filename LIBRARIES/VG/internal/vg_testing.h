// The test switch of vglib (for tests and benchmarks, not the program): the
// device that window workstations open.
#pragma once

#include <memory>

#include "vg.h"

namespace vg {

// Makes the window device of a window workstation, opened with the given
// page format (page_portrait, page_landscape), screen position and client
// size in pixels; null (after writing its console lines) when it cannot
// open.
using WindowDeviceFactory = std::unique_ptr<Device> (*)(int format, int left, int top, int width,
                                                        int height);
// Replaces the window device (the X11 device by default), e.g. by a recording
// or scripted device in tests. Null restores the default.
void set_window_device_factory(WindowDeviceFactory factory);

}  // namespace vg

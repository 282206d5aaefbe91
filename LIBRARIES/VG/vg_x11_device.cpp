// The window device as the core sees it: how it is made, and what tests may
// ask of it.
#include <memory>

#include "vg.h"
#include "vg_internal.h"
#include "vg_x11.h"

namespace vg {

std::unique_ptr<Device> open_x11_device(int format, int left, int top, int width, int height) {
  auto device = std::make_unique<x11::WindowDevice>();
  if (!device->open(format, left, top, width, height)) return nullptr;
  return device;
}

}  // namespace vg

namespace vg::x11 {

const char* WindowDevice::routine(Op op) const {
  return window_routine(op);
}

const WindowDevice* window_device(const Device& device) {
  return dynamic_cast<const WindowDevice*>(&device);
}

XId window_id(const Device& device) {
  const WindowDevice* w = window_device(device);
  return w != nullptr ? w->window_id() : 0;
}

XId pixmap_id(const Device& device) {
  const WindowDevice* w = window_device(device);
  return w != nullptr ? w->pixmap_id() : 0;
}

int history_count(const Device& device) {
  const WindowDevice* w = window_device(device);
  return w != nullptr ? w->history_count() : 0;
}

XId window_id() {
  for (const Workstation& ws : record().table) {
    if (ws.state != state_free && ws.device_class == class_window && ws.device) {
      return window_id(*ws.device);
    }
  }
  return 0;
}

}  // namespace vg::x11

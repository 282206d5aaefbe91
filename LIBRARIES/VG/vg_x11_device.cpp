// The window device as the core sees it: how it is made, the names of its
// routines, and what tests may ask of it.
#include <iterator>
#include <memory>

#include "vg.h"
#include "vg_internal.h"
#include "vg_x11.h"

namespace {

// Identification texts of the device's routines, in the order of vg::Op.
const char* const routine_names[] = {
    "Function VG_X11_CLOSE V0.3 ",        "Function VG_X11_CLEAR V0.3 ",
    "Function VG_X11_UPDATE V0.2 ",       "Function VG_X11_SET_UPDATE V0.1 ",
    "Function VG_X11_TRANSFORM V0.3 ",    "Function VG_X11_CLIP V0.2 ",
    "Function VG_X11_LINECOLOUR V0.2 ",   "Function VG_X11_LINESTYLE V0.2 ",
    "Function VG_X11_LINEWIDTH V0.2 ",    "Function VG_X11_MARKERTYPE V0.2 ",
    "Function VG_X11_MARKERSCALE V0.2 ",  "Function VG_X11_MARKERWIDTH V0.2 ",
    "Function VG_X11_MARKERCOLOUR V0.2 ", "Function VG_X11_FILLCOLOUR V0.2 ",
    "Function VG_X11_TEXTFONT V0.2 ",     "Function VG_X11_TEXTCOLOUR V0.2 ",
    "Function VG_X11_TEXTHEIGHT V0.2 ",   "Function VG_X11_TEXTALIGNMENT V0.2 ",
    "Function VG_X11_TEXTANGLE V0.2 ",    "Function VG_X11_MASKCOLOUR V0.1 ",
    "Function VG_X11_ZSCALING V0.1 ",     "Function VG_X11_COLOURMAP V0.3 ",
    "Function VG_X11_COLOURRANGE V0.2 ",  "Function VG_X11_PL V0.2 ",
    "Function VG_X11_PM V0.2 ",           "Function VG_X11_FA V0.2 ",
    "Function VG_X11_TEXT V0.3 ",         "Function VG_X11_CA V0.4 ",
    "Function VG_X11_RMCA V0.4 ",         "Function VG_X11_EVENT V0.6 ",
    "Function VG_X11_COORDINATE V0.3 ",   "Function VG_X11_RUBBERBAND V0.2 ",
    "Function VG_X11_SPYGLASS V0.2 ",     "Function VG_X11_TEXTWIDTH V0.2 ",
    "Function VG_X11_INQ_SIZE V0.1 ",     "Function VG_X11_TITLE V0.2 ",
    "Function VG_X11_BELL V0.1 ",
};
static_assert(std::size(routine_names) == static_cast<std::size_t>(vg::Op::bell) + 1);

}  // namespace

namespace vg {

const char* window_routine(Op op) {
  return routine_names[static_cast<std::size_t>(op)];
}

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

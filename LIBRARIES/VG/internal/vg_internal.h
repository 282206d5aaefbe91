// Internal state and services shared by the sources of the device graphics
// core (not part of the public API).
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "vg.h"
#include "vg_scale.h"

namespace vg {

// The entry check of a routine that needs the system open: false when the
// status is bad on entry (`ident` recorded), or when the system is closed:
// then "ERROR: Vellum Graphics system is not open (NAME)" is written, NAME
// the routine's name taken from `ident`, and the status becomes
// status_not_open.
bool entry_open(int& status, const char* ident);
// The same message and status for the routine `name`.
void not_open(const char* name, const char* ident, int& status);

inline constexpr int max_workstations = 10;

// Workstation states of the table.
inline constexpr int state_free = 0;
inline constexpr int state_open = 1;
inline constexpr int state_active = 2;

struct Workstation {
  int id = 0;
  int connection = 0;
  int type = 0;
  int device_class = 0;
  int state = state_free;
  int format = page_portrait;
  std::unique_ptr<Device> device;
  // Attributes changed while the workstation was not active: it is brought
  // up to date when it is activated again.
  bool stale = false;
};

// The system record.
struct System {
  bool open = false;
  std::array<Workstation, max_workstations> table;
  int num_open = 0;
  int num_window = 0;
  int num_postscript = 0;

  float window[4] = {0.0f, 0.0f, 1.0f, 1.0f};    // data window: xmin, ymin, xmax, ymax
  float viewport[4] = {0.0f, 0.0f, 1.0f, 1.0f};  // page units
  float clip_window[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  bool clip = false;
  // World to device units (page units x 707).
  float xscale = page_to_device, yscale = page_to_device;
  float xoffset = 0.0f, yoffset = 0.0f;
  // Data windows and viewports remembered by VG_UNITYTRANSFORM (innermost last).
  std::vector<std::array<float, 8>> unity_stack;

  // Colour index ranges in force, and those to apply at the next window open.
  int image_first = 41, image_last = 250;
  int second_first = 49, second_last = 250;
  int pending_first = 41, pending_last = 250;
  int screen_left = 108, screen_top = 240;

  Attributes attributes;
  std::array<Rgb, table_size> colours{};

  bool raster_mode = false;
  io::View2D<int> raster;
};

System& record();

// Resets the record to its defaults (workstations must be closed already).
void reset_system();

// The default colour table: named drawing colours at low indices, a grey ramp
// over the image range.
void default_colour_table(std::array<Rgb, table_size>& table);

// Turns a device result into the status: device_failed gives
// status_device_failed with the identification of the device's routine
// saved, device_closed the user escape.
void device_result(int result, const Workstation& ws, Op op, int& status);

// Brings a workstation's device up to date with the whole core state.
void sync_device(Workstation& ws, int& status);

// How each attribute reaches a device: the operation, and the call that gives
// the device its value in a set of attributes. In the order in which a device
// is brought up to date.
struct AttributeForward {
  Op op;
  int (*forward)(Device& device, const Attributes& attributes);
};
extern const AttributeForward attribute_forwards[15];
// Gives a device the value of the attribute of `op` (an attribute's
// operation) in `attributes`.
int forward_attribute(Op op, Device& device, const Attributes& attributes);

// Calls `call` on the device of every active workstation, in slot order;
// inactive open workstations miss a change of state (transform, clipping,
// attributes, colours) and are marked stale. Stops at the first failure.
template <typename Call>
void for_active(Op op, int& status, Call call) {
  const bool state_change = op >= Op::transform && op <= Op::colour_range;
  for (auto& ws : record().table) {
    if (ws.state == state_free) continue;
    if (ws.state != state_active) {
      if (state_change) ws.stale = true;
      continue;
    }
    device_result(call(*ws.device), ws, op, status);
    if (status != io::status_good) return;
  }
}

// Workstation of an identifier, or null.
Workstation* find_workstation(int id);

// Raster drawing of the current data window into the raster array.
void raster_polyline(int n, const float x[], const float y[], int colour);
void raster_fill(int n, const float x[], const float y[], int colour);

}  // namespace vg

// The system record, workstation control and the device dispatch of the
// device graphics core.
#include <cstdio>
#include <iterator>
#include <string>

#include "vg.h"
#include "vg_internal.h"
#include "vg_testing.h"

namespace {

vg::WindowDeviceFactory window_factory = nullptr;
// Windows open on the null device (VG_SET_NULLWINDOW), whatever the factory.
bool null_window = false;

void close_device(vg::Workstation& ws, int& status) {
  vg::System& s = vg::record();
  if (ws.device) vg::device_result(ws.device->close(), ws, vg::Op::close, status);
  if (ws.device_class == vg::class_window) --s.num_window;
  if (ws.device_class == vg::class_postscript) --s.num_postscript;
  --s.num_open;
  ws = vg::Workstation{};
}

// The routine's name: the second word of its identification text
// "Subroutine NAME Vn.m ".
std::string routine_name(const char* ident) {
  const std::string text = ident;
  const std::size_t start = text.find(' ') + 1;
  return text.substr(start, text.find(' ', start) - start);
}

// The workstation `id`: null, after "ERROR: Workstation ID is unknown (NAME)"
// (NAME the name of the routine `ident`) and status_bad_workstation, when it
// is unknown.
vg::Workstation* known_workstation(int id, const char* ident, int& status) {
  vg::Workstation* ws = vg::find_workstation(id);
  if (ws == nullptr) {
    io::say("ERROR: Workstation ID is unknown (" + routine_name(ident) + ")");
    io::fail(vg::status_bad_workstation, ident, status);
  }
  return ws;
}

// The entry check and the workstation of a routine that names one: null when
// the status is bad on entry or the workstation unknown.
vg::Workstation* entry_workstation(int id, const char* ident, int& status) {
  if (!io::entry_ok(status, ident)) return nullptr;
  return known_workstation(id, ident, status);
}

// A device's result as the status of the routine `ident`.
void device_call(int result, const vg::Workstation& ws, vg::Op op, const char* ident, int& status) {
  vg::device_result(result, ws, op, status);
  if (status != io::status_good) ST_SAVE(ident);
}

// Moves workstation `id` from state `from` to state `to`: `warning` (and
// nothing else) when it is in `to` already, "ERROR: Workstation is not open
// (NAME)" and status_bad_workstation when it is in neither. The workstation
// moved, or null.
vg::Workstation* switch_state(int id, int from, int to, const char* warning, const char* ident,
                              int& status) {
  vg::Workstation* ws = known_workstation(id, ident, status);
  if (ws == nullptr) return nullptr;
  if (ws->state == to) {
    io::say(warning);
    return nullptr;
  }
  if (ws->state != from) {
    io::say("ERROR: Workstation is not open (" + routine_name(ident) + ")");
    io::fail(vg::status_bad_workstation, ident, status);
    return nullptr;
  }
  ws->state = to;
  return ws;
}

// The first free slot of the workstation table, or null.
vg::Workstation* free_slot() {
  for (auto& ws : vg::record().table) {
    if (ws.state == vg::state_free) return &ws;
  }
  return nullptr;
}

// The window of a workstation type (null when one is open already, or when
// it cannot be had: then status_window_failed). The image range asked for by
// VG_SET_COLOURINDICES and the default colour table take effect with it.
std::unique_ptr<vg::Device> open_window(const vg::WorkstationType& kind, int& status) {
  vg::System& s = vg::record();
  if (s.num_window >= 1) {
    io::say("WARNING: Maximum number of X-11 workstations are already open (VG_OPEN_WK)");
    return nullptr;
  }
  vg::WindowDeviceFactory factory =
      window_factory != nullptr ? window_factory : &vg::open_x11_device;
  if (null_window) factory = &vg::open_null_device;
  std::unique_ptr<vg::Device> device =
      factory(kind.page, s.screen_left, s.screen_top, kind.width, kind.height);
  if (!device) {
    io::say("WARNING: X-11 workstation not opened successfully (VG_OPEN_WK)");
    io::fail(vg::status_window_failed, "Subroutine VG_X11_OPEN V0.7 ", status);
    return nullptr;
  }
  s.image_first = s.pending_first;
  s.image_last = s.pending_last;
  vg::default_colour_table(s.colours);
  return device;
}

// The PostScript file of a workstation type on the text unit `connection`
// (null when one is open already, or when the file cannot be started).
std::unique_ptr<vg::Device> open_postscript(const vg::WorkstationType& kind, int connection,
                                            const char* ident, int& status) {
  if (vg::record().num_postscript >= 1) {
    io::say("WARNING: Maximum number of PostScript workstations are already open (VG_OPEN_WK)");
    return nullptr;
  }
  std::unique_ptr<vg::Device> device =
      vg::open_postscript_device(connection, kind.page == vg::page_landscape, kind.colour, status);
  if (status != io::status_good) {
    ST_SAVE(ident);
    return nullptr;
  }
  if (!device) io::fail(vg::status_device_failed, "Subroutine VG_PS_OPEN V0.4 ", status);
  return device;
}

// Records an opened device in its slot, open and not yet active.
void take_slot(vg::Workstation& slot, int id, int connection, const vg::WorkstationType& kind,
               std::unique_ptr<vg::Device> device) {
  vg::System& s = vg::record();
  ++s.num_open;
  if (kind.device_class == vg::class_window) ++s.num_window;
  if (kind.device_class == vg::class_postscript) ++s.num_postscript;
  slot.id = id;
  slot.connection = connection;
  slot.type = kind.type;
  slot.device_class = kind.device_class;
  slot.state = vg::state_open;
  slot.format = kind.page;
  slot.device = std::move(device);
}

using io::entry_ok;

}  // namespace

namespace vg {

System& record() {
  static System s;
  return s;
}

void reset_system() {
  System& s = record();
  s = System{};
  default_colour_table(s.colours);
}

void not_open(const char* name, const char* ident, int& status) {
  io::say(std::string("ERROR: Vellum Graphics system is not open (") + name + ")");
  io::fail(status_not_open, ident, status);
}

bool entry_open(int& status, const char* ident) {
  if (!io::entry_ok(status, ident)) return false;
  if (record().open) return true;
  not_open(routine_name(ident).c_str(), ident, status);
  return false;
}

void set_window_device_factory(WindowDeviceFactory factory) {
  window_factory = factory;
}

Workstation* find_workstation(int id) {
  for (auto& ws : record().table) {
    if (ws.state != state_free && ws.id == id) return &ws;
  }
  return nullptr;
}

namespace {

// Identification texts of the devices' routines, window and PostScript, in
// the order of vg::Op.
struct RoutineNames {
  const char* window;
  const char* postscript;
};
const RoutineNames routine_names[] = {
    {"Function VG_X11_CLOSE V0.3 ", "Function VG_PS_CLOSE V0.2 "},
    {"Function VG_X11_CLEAR V0.3 ", "Function VG_PS_CLEAR V0.2 "},
    {"Function VG_X11_UPDATE V0.2 ", "Function VG_PS_UPDATE V0.2 "},
    {"Function VG_X11_SET_UPDATE V0.1 ", "Function VG_PS_SET_UPDATE V0.1 "},
    {"Function VG_X11_TRANSFORM V0.3 ", "Function VG_PS_TRANSFORM V0.2 "},
    {"Function VG_X11_CLIP V0.2 ", "Function VG_PS_CLIP V0.2 "},
    {"Function VG_X11_LINECOLOUR V0.2 ", "Function VG_PS_LINECOLOUR V0.3 "},
    {"Function VG_X11_LINESTYLE V0.2 ", "Function VG_PS_LINESTYLE V0.2 "},
    {"Function VG_X11_LINEWIDTH V0.2 ", "Function VG_PS_LINEWIDTH V0.2 "},
    {"Function VG_X11_MARKERTYPE V0.2 ", "Function VG_PS_MARKERTYPE V0.2 "},
    {"Function VG_X11_MARKERSCALE V0.2 ", "Function VG_PS_MARKERSCALE V0.2 "},
    {"Function VG_X11_MARKERWIDTH V0.2 ", "Function VG_PS_MARKERWIDTH V0.2 "},
    {"Function VG_X11_MARKERCOLOUR V0.2 ", "Function VG_PS_MARKERCOLOUR V0.3 "},
    {"Function VG_X11_FILLCOLOUR V0.2 ", "Function VG_PS_FILLCOLOUR V0.3 "},
    {"Function VG_X11_TEXTFONT V0.2 ", "Function VG_PS_TEXTFONT V0.2 "},
    {"Function VG_X11_TEXTCOLOUR V0.2 ", "Function VG_PS_TEXTCOLOUR V0.3 "},
    {"Function VG_X11_TEXTHEIGHT V0.2 ", "Function VG_PS_TEXTHEIGHT V0.2 "},
    {"Function VG_X11_TEXTALIGNMENT V0.2 ", "Function VG_PS_TEXTALIGNMENT V0.2 "},
    {"Function VG_X11_TEXTANGLE V0.2 ", "Function VG_PS_TEXTANGLE V0.2 "},
    {"Function VG_X11_MASKCOLOUR V0.1 ", "Function VG_PS_MASKCOLOUR V0.1 "},
    {"Function VG_X11_ZSCALING V0.1 ", "Function VG_PS_ZSCALING V0.1 "},
    {"Function VG_X11_COLOURMAP V0.3 ", "Function VG_PS_COLOURMAP V0.1 "},
    {"Function VG_X11_COLOURRANGE V0.2 ", "Function VG_PS_COLOURRANGE V0.1 "},
    {"Function VG_X11_PL V0.2 ", "Function VG_PS_PL V0.3 "},
    {"Function VG_X11_PM V0.2 ", "Function VG_PS_PM V0.3 "},
    {"Function VG_X11_FA V0.2 ", "Function VG_PS_FA V0.3 "},
    {"Function VG_X11_TEXT V0.3 ", "Function VG_PS_TEXT V0.3 "},
    {"Function VG_X11_CA V0.4 ", "Function VG_PS_CA V0.4 "},
    {"Function VG_X11_RMCA V0.4 ", "Function VG_PS_RMCA V0.3 "},
    {"Function VG_X11_EVENT V0.6 ", "Function VG_PS_EVENT V0.1 "},
    {"Function VG_X11_COORDINATE V0.3 ", "Function VG_PS_COORDINATE V0.1 "},
    {"Function VG_X11_RUBBERBAND V0.2 ", "Function VG_PS_RUBBERBAND V0.1 "},
    {"Function VG_X11_SPYGLASS V0.2 ", "Function VG_PS_SPYGLASS V0.1 "},
    {"Function VG_X11_TEXTWIDTH V0.2 ", "Function VG_PS_TEXTWIDTH V0.1 "},
    {"Function VG_X11_INQ_SIZE V0.1 ", "Function VG_PS_INQ_SIZE V0.1 "},
    {"Function VG_X11_TITLE V0.2 ", "Function VG_PS_TITLE V0.1 "},
    {"Function VG_X11_BELL V0.1 ", "Function VG_PS_BELL V0.1 "},
};
static_assert(std::size(routine_names) == static_cast<std::size_t>(Op::bell) + 1);

}  // namespace

const char* window_routine(Op op) {
  return routine_names[static_cast<std::size_t>(op)].window;
}

const char* postscript_routine(Op op) {
  return routine_names[static_cast<std::size_t>(op)].postscript;
}

void device_result(int result, const Workstation& ws, Op op, int& status) {
  if (result == device_ok || status != io::status_good) return;
  if (result == device_closed) {
    status = io::status_escape;
    return;
  }
  status = status_device_failed;
  ST_SAVE(ws.device->routine(op));
}

void sync_device(Workstation& ws, int& status) {
  const System& s = record();
  Device& d = *ws.device;
  auto step = [&](Op op, int result) {
    if (status == io::status_good) device_result(result, ws, op, status);
  };
  step(Op::colour_range,
       d.colour_range(s.image_first, s.image_last, s.second_first, s.second_last));
  step(Op::colour_map, d.colour_map(0, table_size - 1, s.colours));
  step(Op::transform, d.set_transform(s.window, s.viewport));
  step(Op::clip, d.set_clip(s.clip, s.clip_window));
  for (const AttributeForward& f : attribute_forwards) step(f.op, f.forward(d, s.attributes));
  ws.stale = false;
}

const AttributeForward attribute_forwards[15] = {
    {Op::log_scaling, [](Device& d, const Attributes& a) { return d.log_scaling(a.logarithmic); }},
    {Op::mask_colour, [](Device& d, const Attributes& a) { return d.mask_colour(a.mask_colour); }},
    {Op::line_colour, [](Device& d, const Attributes& a) { return d.line_colour(a.line_colour); }},
    {Op::line_style, [](Device& d, const Attributes& a) { return d.line_style(a.line_style); }},
    {Op::line_width, [](Device& d, const Attributes& a) { return d.line_width(a.line_width); }},
    {Op::marker_type, [](Device& d, const Attributes& a) { return d.marker_type(a.marker_type); }},
    {Op::marker_scale,
     [](Device& d, const Attributes& a) { return d.marker_scale(a.marker_scale); }},
    {Op::marker_width,
     [](Device& d, const Attributes& a) { return d.marker_width(a.marker_width); }},
    {Op::marker_colour,
     [](Device& d, const Attributes& a) { return d.marker_colour(a.marker_colour); }},
    {Op::fill_colour, [](Device& d, const Attributes& a) { return d.fill_colour(a.fill_colour); }},
    {Op::text_font, [](Device& d, const Attributes& a) { return d.text_font(a.text_font); }},
    {Op::text_colour, [](Device& d, const Attributes& a) { return d.text_colour(a.text_colour); }},
    {Op::text_height, [](Device& d, const Attributes& a) { return d.text_height(a.text_height); }},
    {Op::text_alignment,
     [](Device& d, const Attributes& a) {
       return d.text_alignment(a.text_horizontal, a.text_vertical);
     }},
    {Op::text_angle, [](Device& d, const Attributes& a) { return d.text_angle(a.text_angle); }},
};

int forward_attribute(Op op, Device& device, const Attributes& attributes) {
  for (const AttributeForward& f : attribute_forwards) {
    if (f.op == op) return f.forward(device, attributes);
  }
  return device_failed;
}

}  // namespace vg

// ---------------------------------------------------------------------------
// Control
// ---------------------------------------------------------------------------
void VG_OPEN(int mode, int& status) {
  static const char* const ident = "Subroutine VG_OPEN V0.3 ";
  if (!entry_ok(status, ident)) return;
  if (mode != 0) return io::fail(vg::status_bad_argument, ident, status);
  // Reopening starts from a clean record: devices left open are closed first.
  int ignore = io::status_good;
  for (auto& ws : vg::record().table) {
    if (ws.state != vg::state_free) close_device(ws, ignore);
  }
  vg::reset_system();
  vg::record().open = true;
}

void VG_CLOSE(int& status) {
  static const char* const ident = "Subroutine VG_CLOSE V0.2 ";
  if (!entry_ok(status, ident)) return;
  vg::System& s = vg::record();
  if (!s.open) {
    io::say("WARNING: Vellum Graphics system is already closed ! (VG_CLOSE)");
    return;
  }
  // Workstations still open are closed with the system.
  for (auto& ws : s.table) {
    if (ws.state != vg::state_free) close_device(ws, status);
  }
  s.open = false;
  s.raster_mode = false;
  s.raster = {};
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_OPEN_WK(int workstation, int connection, int type, int& status) {
  static const char* const ident = "Subroutine VG_OPEN_WK V0.8 ";
  if (!entry_ok(status, ident)) return;
  if (workstation < 1) return io::fail(vg::status_bad_argument, ident, status);
  vg::System& s = vg::record();
  if (!s.open) {
    io::say("WARNING: Vellum Graphics system is not open (VG_OPEN_WK)");
    return;
  }
  if (vg::find_workstation(workstation) != nullptr) {
    io::say("WARNING: Workstation already open (VG_OPEN_WK)");
    return;
  }
  if (s.num_open >= vg::max_workstations) {
    io::say("WARNING: Maximum number of workstations are already open (VG_OPEN_WK)");
  }
  vg::Workstation* slot = free_slot();
  if (slot == nullptr) return io::fail(vg::status_bad_workstation, ident, status);
  const vg::WorkstationType* kind = vg::workstation_type(type);
  if (kind == nullptr) {
    io::say("WARNING: Unknown graphics device type (VG_OPEN_WK)");
    return;
  }
  std::unique_ptr<vg::Device> device = kind->device_class == vg::class_window
                                           ? open_window(*kind, status)
                                           : open_postscript(*kind, connection, ident, status);
  if (!device) return;
  take_slot(*slot, workstation, connection, *kind, std::move(device));
  vg::sync_device(*slot, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_CLOSE_WK(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_CLOSE_WK V0.4 ";
  vg::Workstation* ws = entry_workstation(workstation, ident, status);
  if (ws == nullptr) return;
  close_device(*ws, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_ACTIVATE_WK(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_ACTIVATE_WK V0.3 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws =
      switch_state(workstation, vg::state_open, vg::state_active,
                   "WARNING: Workstation is already active (VG_ACTIVATE_WK)", ident, status);
  // Whatever changed while the workstation was inactive reaches it now.
  if (ws != nullptr && ws->stale) vg::sync_device(*ws, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_DEACTIVATE_WK(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_DEACTIVATE_WK V0.3 ";
  if (!entry_ok(status, ident)) return;
  switch_state(workstation, vg::state_active, vg::state_open,
               "WARNING: Workstation is not active (VG_DEACTIVATE_WK)", ident, status);
}

void VG_UPDATE(int workstation, int mode, int& status) {
  static const char* const ident = "Subroutine VG_UPDATE V0.3 ";
  vg::Workstation* ws = entry_workstation(workstation, ident, status);
  if (ws == nullptr) return;
  const int result = mode == vg::update_no_wait ? ws->device->show() : ws->device->update();
  device_call(result, *ws, vg::Op::update, ident, status);
}

void VG_SET_UPDATE(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_SET_UPDATE V0.2 ";
  vg::Workstation* ws = entry_workstation(workstation, ident, status);
  if (ws == nullptr) return;
  if (ws->device_class == vg::class_postscript) {
    io::say("WARNING: SET UPDATE is not possible on a Postscript device");
    return;
  }
  device_call(ws->device->set_update(), *ws, vg::Op::set_update, ident, status);
}

void VG_CLEAR(int& status) {
  static const char* const ident = "Subroutine VG_CLEAR V0.2 ";
  if (!entry_ok(status, ident)) return;
  vg::for_active(vg::Op::clear, status, [](vg::Device& d) { return d.clear(); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_TITLE(int workstation, const std::string& title, int& status) {
  static const char* const ident = "Subroutine VG_TITLE V0.2 ";
  vg::Workstation* ws = entry_workstation(workstation, ident, status);
  // A PostScript page has no title bar.
  if (ws == nullptr || ws->device_class != vg::class_window) return;
  const std::string text = title.substr(0, std::min<std::size_t>(SLEN(title), io::title_width));
  device_call(ws->device->title(text), *ws, vg::Op::title, ident, status);
}

void VG_BELL(int& status) {
  static const char* const ident = "Subroutine VG_BELL V0.1 ";
  if (!entry_ok(status, ident)) return;
  for (auto& ws : vg::record().table) {
    if (ws.state == vg::state_free || ws.device_class != vg::class_window) continue;
    device_call(ws.device->bell(), ws, vg::Op::bell, ident, status);
    if (status != io::status_good) return;
  }
}

void VG_SET_NULLWINDOW(bool on, int& status) {
  if (!entry_ok(status, "Subroutine VG_SET_NULLWINDOW V0.1 ")) return;
  null_window = on;
}

// ---------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------
namespace {

// Input comes from a window: for a PostScript workstation `warning` is
// written and false returned.
bool from_window(const vg::Workstation& ws, const char* warning) {
  if (ws.device_class == vg::class_window) return true;
  io::say(warning);
  return false;
}

// The result of an input call: true when it gave input. A window closed by
// the user leaves the user-escape status, with nothing saved.
bool input_taken(int result, const vg::Workstation& ws, vg::Op op, const char* ident, int& status) {
  vg::device_result(result, ws, op, status);
  if (status == io::status_good) return true;
  if (status != io::status_escape) ST_SAVE(ident);
  return false;
}

}  // namespace

void VG_INP_EVENT(int workstation, int wait_mode, bool prompt_wanted, const std::string& prompt,
                  bool initial, const std::string& initial_string, float box_x, float box_y,
                  float box_width, float box_height, int& event_type, int& workstation_out,
                  float& x, float& y, std::string& text, int& status) {
  static const char* const ident = "Subroutine VG_INP_EVENT V0.5 ";
  vg::Workstation* ws = entry_workstation(workstation, ident, status);
  if (ws == nullptr) return;
  event_type = vg::event_none;
  workstation_out = workstation;
  if (!from_window(*ws, "WARNING: String input is not possible from a Postscript device")) return;
  vg::EventRequest request;
  request.wait_mode = wait_mode;
  request.prompt_wanted = prompt_wanted;
  request.prompt = prompt.substr(0, std::min<std::size_t>(SLEN(prompt), io::line_width));
  request.initial = initial;
  request.initial_string =
      initial_string.substr(0, std::min<std::size_t>(SLEN(initial_string), io::line_width));
  request.box_x = box_x;
  request.box_y = box_y;
  request.box_width = box_width;
  request.box_height = box_height;
  vg::Event event;
  if (!input_taken(ws->device->event(request, event), *ws, vg::Op::event, ident, status)) return;
  event_type = event.type;
  x = event.x;
  y = event.y;
  text = event.text;
}

void VG_INP_COORDINATE(int workstation, int wait_mode, int& event_type, float& x, float& y,
                       int& status) {
  static const char* const ident = "Subroutine VG_INP_COORDINATE V0.4 ";
  vg::Workstation* ws = entry_workstation(workstation, ident, status);
  if (ws == nullptr) return;
  event_type = vg::event_none;
  if (!from_window(*ws, "WARNING: Coordinate input is not possible from a Postscript device")) {
    return;
  }
  int type = vg::event_none;
  float px = 0.0f, py = 0.0f;
  const int result = ws->device->coordinate(wait_mode, type, px, py);
  if (!input_taken(result, *ws, vg::Op::coordinate, ident, status)) return;
  event_type = type;
  x = px;
  y = py;
}

void VG_SET_RUBBERBAND(int workstation, int mode, float x, float y, int& status) {
  static const char* const ident = "Subroutine VG_SET_RUBBERBAND V0.2 ";
  if (!entry_ok(status, ident)) return;
  if (mode < 0 || mode > 2) return io::fail(vg::status_bad_argument, ident, status);
  vg::Workstation* ws = known_workstation(workstation, ident, status);
  if (ws == nullptr ||
      !from_window(*ws, "WARNING: Rubber-banding is not possible from a Postscript device")) {
    return;
  }
  device_call(ws->device->rubberband(mode, x, y), *ws, vg::Op::rubberband, ident, status);
}

void VG_SPYGLASS(int workstation, bool on, const vg::Spyglass& parameters, int& status) {
  static const char* const ident = "Subroutine VG_SPYGLASS V0.2 ";
  vg::Workstation* ws = entry_workstation(workstation, ident, status);
  // Nothing to magnify on paper.
  if (ws == nullptr || ws->device_class != vg::class_window) return;
  device_call(ws->device->spyglass(on, parameters), *ws, vg::Op::spyglass, ident, status);
}

void VG_INQ_SIZE(int workstation, int& width, int& height, int& status) {
  static const char* const ident = "Subroutine VG_INQ_SIZE V0.2 ";
  if (!vg::entry_open(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, ident, status);
  if (ws == nullptr) return;
  int w = 0, h = 0;
  device_call(ws->device->inq_size(w, h), *ws, vg::Op::inq_size, ident, status);
  if (status != io::status_good) return;
  width = w;
  height = h;
}

// Whether a workstation is open: lets a caller choose between a window
// widget and the console before it draws anything. A closed system has no
// workstation open.
void VG_INQ_WKOPEN(int workstation, bool& open, int& status) {
  static const char* const ident = "Subroutine VG_INQ_WKOPEN V0.1 ";
  if (!io::entry_ok(status, ident)) return;
  open = vg::record().open && vg::find_workstation(workstation) != nullptr;
}

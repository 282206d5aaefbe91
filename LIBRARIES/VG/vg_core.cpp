// The system record, workstation control and the device dispatch of the
// device graphics core.
#include <cstdio>
#include <string>

#include "vg.h"
#include "vg_internal.h"
#include "vg_testing.h"

namespace {

vg::WindowDeviceFactory window_factory = nullptr;

void close_device(vg::Workstation& ws, int& status) {
  vg::System& s = vg::record();
  if (ws.device) vg::device_result(ws.device->close(), ws, vg::Op::close, status);
  if (ws.device_class == vg::class_window) --s.num_window;
  if (ws.device_class == vg::class_postscript) --s.num_postscript;
  --s.num_open;
  ws = vg::Workstation{};
}

// The workstation `id`: null, after "ERROR: Workstation ID is unknown (NAME)"
// and status_bad_workstation, when it is unknown.
vg::Workstation* known_workstation(int id, const char* name, const char* ident, int& status) {
  vg::Workstation* ws = vg::find_workstation(id);
  if (ws == nullptr) {
    io::say(std::string("ERROR: Workstation ID is unknown (") + name + ")");
    io::fail(vg::status_bad_workstation, ident, status);
  }
  return ws;
}

// Moves workstation `id` from state `from` to state `to`: `warning` (and
// nothing else) when it is in `to` already, "ERROR: Workstation is not open
// (NAME)" and status_bad_workstation when it is in neither. The workstation
// moved, or null.
vg::Workstation* switch_state(int id, int from, int to, const char* name, const char* warning,
                              const char* ident, int& status) {
  vg::Workstation* ws = known_workstation(id, name, ident, status);
  if (ws == nullptr) return nullptr;
  if (ws->state == to) {
    io::say(warning);
    return nullptr;
  }
  if (ws->state != from) {
    io::say(std::string("ERROR: Workstation is not open (") + name + ")");
    io::fail(vg::status_bad_workstation, ident, status);
    return nullptr;
  }
  ws->state = to;
  return ws;
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
  // The name is the second word of "Subroutine NAME Vn.m ".
  const std::string text = ident;
  const std::size_t start = text.find(' ') + 1;
  not_open(text.substr(start, text.find(' ', start) - start).c_str(), ident, status);
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
  const Attributes& a = s.attributes;
  Device& d = *ws.device;
  auto step = [&](Op op, int result) {
    if (status == io::status_good) device_result(result, ws, op, status);
  };
  step(Op::colour_range,
       d.colour_range(s.image_first, s.image_last, s.second_first, s.second_last));
  step(Op::colour_map, d.colour_map(0, table_size - 1, s.colours));
  step(Op::transform, d.set_transform(s.window, s.viewport));
  step(Op::clip, d.set_clip(s.clip, s.clip_window));
  step(Op::log_scaling, d.log_scaling(a.logarithmic));
  step(Op::mask_colour, d.mask_colour(a.mask_colour));
  step(Op::line_colour, d.line_colour(a.line_colour));
  step(Op::line_style, d.line_style(a.line_style));
  step(Op::line_width, d.line_width(a.line_width));
  step(Op::marker_type, d.marker_type(a.marker_type));
  step(Op::marker_scale, d.marker_scale(a.marker_scale));
  step(Op::marker_width, d.marker_width(a.marker_width));
  step(Op::marker_colour, d.marker_colour(a.marker_colour));
  step(Op::fill_colour, d.fill_colour(a.fill_colour));
  step(Op::text_font, d.text_font(a.text_font));
  step(Op::text_colour, d.text_colour(a.text_colour));
  step(Op::text_height, d.text_height(a.text_height));
  step(Op::text_alignment, d.text_alignment(a.text_horizontal, a.text_vertical));
  step(Op::text_angle, d.text_angle(a.text_angle));
  ws.stale = false;
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
  vg::Workstation* slot = nullptr;
  for (auto& ws : s.table) {
    if (ws.state == vg::state_free) {
      slot = &ws;
      break;
    }
  }
  if (slot == nullptr) return io::fail(vg::status_bad_workstation, ident, status);

  std::unique_ptr<vg::Device> device;
  const vg::WorkstationType* kind = vg::workstation_type(type);
  if (kind == nullptr) {
    io::say("WARNING: Unknown graphics device type (VG_OPEN_WK)");
    return;
  }
  const int device_class = kind->device_class;
  const int format = kind->page;
  if (device_class == vg::class_window) {
    if (s.num_window >= 1) {
      io::say("WARNING: Maximum number of X-11 workstations are already open (VG_OPEN_WK)");
      return;
    }
    vg::WindowDeviceFactory factory =
        window_factory != nullptr ? window_factory : &vg::open_x11_device;
    device = factory(format, s.screen_left, s.screen_top, kind->width, kind->height);
    if (!device) {
      io::say("WARNING: X-11 workstation not opened successfully (VG_OPEN_WK)");
      return io::fail(vg::status_window_failed, "Subroutine VG_X11_OPEN V0.7 ", status);
    }
    // The image range asked for by VG_SET_COLOURINDICES and the default
    // colour table take effect with the new window.
    s.image_first = s.pending_first;
    s.image_last = s.pending_last;
    vg::default_colour_table(s.colours);
  } else {
    if (s.num_postscript >= 1) {
      io::say("WARNING: Maximum number of PostScript workstations are already open (VG_OPEN_WK)");
      return;
    }
    device =
        vg::open_postscript_device(connection, format == vg::page_landscape, kind->colour, status);
    if (status != io::status_good) {
      ST_SAVE(ident);
      return;
    }
    if (!device) return io::fail(vg::status_device_failed, "Subroutine VG_PS_OPEN V0.4 ", status);
  }

  ++s.num_open;
  if (device_class == vg::class_window) ++s.num_window;
  if (device_class == vg::class_postscript) ++s.num_postscript;
  slot->id = workstation;
  slot->connection = connection;
  slot->type = type;
  slot->device_class = device_class;
  slot->state = vg::state_open;
  slot->format = format;
  slot->device = std::move(device);
  vg::sync_device(*slot, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_CLOSE_WK(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_CLOSE_WK V0.4 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_CLOSE_WK", ident, status);
  if (ws == nullptr) return;
  close_device(*ws, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_ACTIVATE_WK(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_ACTIVATE_WK V0.3 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws =
      switch_state(workstation, vg::state_open, vg::state_active, "VG_ACTIVATE_WK",
                   "WARNING: Workstation is already active (VG_ACTIVATE_WK)", ident, status);
  // Whatever changed while the workstation was inactive reaches it now.
  if (ws != nullptr && ws->stale) vg::sync_device(*ws, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_DEACTIVATE_WK(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_DEACTIVATE_WK V0.3 ";
  if (!entry_ok(status, ident)) return;
  switch_state(workstation, vg::state_active, vg::state_open, "VG_DEACTIVATE_WK",
               "WARNING: Workstation is not active (VG_DEACTIVATE_WK)", ident, status);
}

void VG_UPDATE(int workstation, int mode, int& status) {
  static const char* const ident = "Subroutine VG_UPDATE V0.3 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_UPDATE", ident, status);
  if (ws == nullptr) return;
  const int result = mode == vg::update_no_wait ? ws->device->show() : ws->device->update();
  vg::device_result(result, *ws, vg::Op::update, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_SET_UPDATE(int workstation, int& status) {
  static const char* const ident = "Subroutine VG_SET_UPDATE V0.2 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_SET_UPDATE", ident, status);
  if (ws == nullptr) return;
  if (ws->device_class == vg::class_postscript) {
    io::say("WARNING: SET UPDATE is not possible on a Postscript device");
    return;
  }
  vg::device_result(ws->device->set_update(), *ws, vg::Op::set_update, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_CLEAR(int& status) {
  static const char* const ident = "Subroutine VG_CLEAR V0.2 ";
  if (!entry_ok(status, ident)) return;
  vg::for_active(vg::Op::clear, status, [](vg::Device& d) { return d.clear(); });
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_TITLE(int workstation, const std::string& title, int& status) {
  static const char* const ident = "Subroutine VG_TITLE V0.2 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_TITLE", ident, status);
  if (ws == nullptr) return;
  // A PostScript page has no title bar.
  if (ws->device_class != vg::class_window) return;
  const std::string text = title.substr(0, std::min<std::size_t>(SLEN(title), io::title_width));
  vg::device_result(ws->device->title(text), *ws, vg::Op::title, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_BELL(int& status) {
  static const char* const ident = "Subroutine VG_BELL V0.1 ";
  if (!entry_ok(status, ident)) return;
  for (auto& ws : vg::record().table) {
    if (ws.state == vg::state_free || ws.device_class != vg::class_window) continue;
    vg::device_result(ws.device->bell(), ws, vg::Op::bell, status);
    if (status != io::status_good) {
      ST_SAVE(ident);
      return;
    }
  }
}

// ---------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------
void VG_INP_EVENT(int workstation, int wait_mode, bool prompt_wanted, const std::string& prompt,
                  bool initial, const std::string& initial_string, float box_x, float box_y,
                  float box_width, float box_height, int& event_type, int& workstation_out,
                  float& x, float& y, std::string& text, int& status) {
  static const char* const ident = "Subroutine VG_INP_EVENT V0.5 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_INP_EVENT", ident, status);
  if (ws == nullptr) return;
  event_type = vg::event_none;
  workstation_out = workstation;
  if (ws->device_class != vg::class_window) {
    io::say("WARNING: String input is not possible from a Postscript device");
    return;
  }
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
  vg::device_result(ws->device->event(request, event), *ws, vg::Op::event, status);
  if (status != io::status_good) {
    if (status != io::status_escape) ST_SAVE(ident);
    return;
  }
  event_type = event.type;
  x = event.x;
  y = event.y;
  text = event.text;
}

void VG_INP_COORDINATE(int workstation, int wait_mode, int& event_type, float& x, float& y,
                       int& status) {
  static const char* const ident = "Subroutine VG_INP_COORDINATE V0.4 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_INP_COORDINATE", ident, status);
  if (ws == nullptr) return;
  event_type = vg::event_none;
  if (ws->device_class != vg::class_window) {
    io::say("WARNING: Coordinate input is not possible from a Postscript device");
    return;
  }
  int type = vg::event_none;
  float px = 0.0f, py = 0.0f;
  vg::device_result(ws->device->coordinate(wait_mode, type, px, py), *ws, vg::Op::coordinate,
                    status);
  if (status != io::status_good) {
    if (status != io::status_escape) ST_SAVE(ident);
    return;
  }
  event_type = type;
  x = px;
  y = py;
}

void VG_SET_RUBBERBAND(int workstation, int mode, float x, float y, int& status) {
  static const char* const ident = "Subroutine VG_SET_RUBBERBAND V0.2 ";
  if (!entry_ok(status, ident)) return;
  if (mode < 0 || mode > 2) return io::fail(vg::status_bad_argument, ident, status);
  vg::Workstation* ws = known_workstation(workstation, "VG_SET_RUBBERBAND", ident, status);
  if (ws == nullptr) return;
  if (ws->device_class != vg::class_window) {
    io::say("WARNING: Rubber-banding is not possible from a Postscript device");
    return;
  }
  vg::device_result(ws->device->rubberband(mode, x, y), *ws, vg::Op::rubberband, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_SPYGLASS(int workstation, bool on, const vg::Spyglass& parameters, int& status) {
  static const char* const ident = "Subroutine VG_SPYGLASS V0.2 ";
  if (!entry_ok(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_SPYGLASS", ident, status);
  if (ws == nullptr) return;
  if (ws->device_class != vg::class_window) return;  // nothing to magnify on paper
  vg::device_result(ws->device->spyglass(on, parameters), *ws, vg::Op::spyglass, status);
  if (status != io::status_good) ST_SAVE(ident);
}

void VG_INQ_SIZE(int workstation, int& width, int& height, int& status) {
  static const char* const ident = "Subroutine VG_INQ_SIZE V0.2 ";
  if (!vg::entry_open(status, ident)) return;
  vg::Workstation* ws = known_workstation(workstation, "VG_INQ_SIZE", ident, status);
  if (ws == nullptr) return;
  int w = 0, h = 0;
  vg::device_result(ws->device->inq_size(w, h), *ws, vg::Op::inq_size, status);
  if (status != io::status_good) {
    ST_SAVE(ident);
    return;
  }
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

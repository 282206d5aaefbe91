// vglib: the device graphics layer. Workstations, data window and viewport
// transforms, attributes, primitives, cell arrays and input events, drawn on a
// window device (X11) or written to a PostScript file.
//
// Coordinates: world (data) coordinates are mapped through the data window
// onto the viewport, on a page 0.7071 wide and 1.0 high (portrait) or 1.0 wide
// and 0.7071 high (landscape). One page unit is 707 device units.
// Text heights and text widths are in page units.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <string>

#include "io.h"

namespace vg {

inline constexpr float page_to_device = 707.0f;
inline constexpr float page_short = 0.7071f;

// Device classes and page formats of the workstation table.
inline constexpr int class_window = 10;
inline constexpr int class_postscript = 20;
inline constexpr int page_portrait = 1;
inline constexpr int page_landscape = 2;

// Workstation types, and what each is: device class, page format, colour,
// and for windows the client size in pixels at open.
inline constexpr int type_window_portrait = 11;
inline constexpr int type_window_landscape = 12;
inline constexpr int type_colour_portrait = 21;  // PostScript
inline constexpr int type_colour_landscape = 22;
inline constexpr int type_grey_portrait = 23;
inline constexpr int type_grey_landscape = 24;

struct WorkstationType {
  int type;
  int device_class;
  int page;
  bool colour;
  int width, height;
};
inline constexpr WorkstationType workstation_types[] = {
    {type_window_portrait, class_window, page_portrait, true, 500, 707},
    {type_window_landscape, class_window, page_landscape, true, 707, 500},
    {type_colour_portrait, class_postscript, page_portrait, true, 0, 0},
    {type_colour_landscape, class_postscript, page_landscape, true, 0, 0},
    {type_grey_portrait, class_postscript, page_portrait, false, 0, 0},
    {type_grey_landscape, class_postscript, page_landscape, false, 0, 0},
};
// The entry of a type (null for an unknown one).
constexpr const WorkstationType* workstation_type(int type) {
  for (const WorkstationType& t : workstation_types) {
    if (t.type == type) return &t;
  }
  return nullptr;
}
// The type of a window or a PostScript file for a page format.
constexpr int window_type(bool landscape) {
  return landscape ? type_window_landscape : type_window_portrait;
}
constexpr int postscript_type(bool landscape, bool colour) {
  if (colour) return landscape ? type_colour_landscape : type_colour_portrait;
  return landscape ? type_grey_landscape : type_grey_portrait;
}

// Colour index drawn as inverse video (exclusive-or).
inline constexpr int inverse_video = -1;

// A point in world coordinates (the point-list forms of the primitives).
struct Point {
  float x = 0.0f, y = 0.0f;
};

// The current attributes of the core, with their values at VG_OPEN.
struct Attributes {
  int line_colour = 1;
  int line_style = 1;
  float line_width = 1.0f;
  int marker_type = 1;
  float marker_scale = 1.0f;
  float marker_width = 1.0f;
  int marker_colour = 1;
  int fill_colour = 1;
  int text_font = 1;
  int text_colour = 1;
  float text_height = 0.02f;
  int text_horizontal = 1;
  int text_vertical = 0;
  float text_angle = 0.0f;
  int mask_colour = 2;
  bool logarithmic = false;
  bool operator==(const Attributes&) const = default;
};

// The drawing state of the core that a caller may change and want back:
// the attributes, the data window and viewport, the clip window and whether
// clipping is on (VG_SAVE_STATE, VG_RESTORE_STATE).
struct DrawingState {
  Attributes attributes;
  std::array<float, 4> window{0.0f, 0.0f, 1.0f, 1.0f};    // xmin, ymin, xmax, ymax
  std::array<float, 4> viewport{0.0f, 0.0f, 1.0f, 1.0f};  // page units
  std::array<float, 4> clip_window{0.0f, 0.0f, 1.0f, 1.0f};
  bool clip = false;
  bool operator==(const DrawingState&) const = default;
};

// One entry of the 256-entry colour table; components 0 to 1.
struct Rgb {
  float r = 0.0f, g = 0.0f, b = 0.0f;
};
inline constexpr int table_size = 256;

// Event types returned by the input routines.
inline constexpr int event_none = -1;   // wait mode 10 and nothing pending
inline constexpr int event_button = 0;  // a mouse button was pressed
inline constexpr int event_redraw = 1;  // the window was exposed or resized
inline constexpr int event_return = 2;  // a typed line ended with return
inline constexpr int event_tab = 3;     // a typed line ended with tab
// The mouse wheel turned (event input only; x and y give the pointer).
inline constexpr int event_wheel_up = 4;
inline constexpr int event_wheel_down = 5;

// Statuses the core sets: the module offset plus the shared error code.
inline constexpr int status_device_failed = module_offset + st::array_dimension_1;  // 130001
inline constexpr int status_region_x = module_offset + st::region_1;   // cell-array columns
inline constexpr int status_region_y = module_offset + st::region_2;   // cell-array rows
inline constexpr int status_order_x = module_offset + st::relation_1;  // x min not below x max
inline constexpr int status_order_y = module_offset + st::relation_2;  // y min not below y max
inline constexpr int status_bad_argument = module_offset + st::int_range_1;  // 130017
// The system is not open (the routine's "ERROR: ... is not open" line).
inline constexpr int status_not_open = module_offset + st::bad_state;
inline constexpr int status_window_failed = module_offset + st::window_failed;  // 132001
// An unknown workstation, or no free slot in the table.
inline constexpr int status_bad_workstation = module_offset + st::bad_workstation;  // 132002

// Device routines return one of these codes; the core turns failures into
// status_device_failed and a closed window into the user-escape status.
inline constexpr int device_ok = 0;
inline constexpr int device_failed = 1;
inline constexpr int device_closed = 2;  // the user closed the window

// The VG_UPDATE mode that shows what was held back without waiting for the
// server to draw it (drawing that goes on while the server works).
inline constexpr int update_no_wait = 2;

// What an event input call asks of the device.
struct EventRequest {
  int wait_mode = 0;           // 10: do not wait (event_none when nothing is pending)
  bool prompt_wanted = false;  // draw the prompt line and edit a typed line
  std::string prompt;          // at most 132 characters
  bool initial = false;        // start the line from initial_string
  std::string initial_string;
  // The prompt box in page units: left, bottom, width, height.
  float box_x = 0.0f, box_y = 0.0f, box_width = 0.0f, box_height = 0.0f;
};

struct Event {
  int type = event_none;
  float x = 0.0f, y = 0.0f;  // pointer position in page units
  std::string text;          // the typed line (event_return, event_tab)
};

// The parameters of the spyglass magnifier.
struct Spyglass {
  io::View2D<const float> data;                      // the displayed array
  int xstart = 1, ystart = 1, xend = 1, yend = 1;    // the displayed region
  float x0 = 0.0f, y0 = 0.0f, x1 = 1.0f, y1 = 1.0f;  // its world rectangle
  float low = 0.0f, high = 1.0f;                     // data range of the colour scale
  bool logarithmic = false;
  int magnification = 4;
  int size = 15;  // pixels of the magnified square
};

// The operations of the device interface, by which a device names the
// routine that carries one out (its identification text, saved when it fails).
// The state changes run from transform to colour_range.
enum class Op {
  close,
  clear,
  update,
  set_update,
  transform,
  clip,
  line_colour,
  line_style,
  line_width,
  marker_type,
  marker_scale,
  marker_width,
  marker_colour,
  fill_colour,
  text_font,
  text_colour,
  text_height,
  text_alignment,
  text_angle,
  mask_colour,
  log_scaling,
  colour_map,
  colour_range,
  polyline,
  polymarker,
  fill_area,
  text,
  cell_array,
  real_cell_array,
  event,
  coordinate,
  rubberband,
  spyglass,
  text_width,
  inq_size,
  title,
  bell
};

// The interface every device implements. The core calls only these; every
// routine returns device_ok, device_failed or (input only) device_closed.
// Coordinates of primitives are world coordinates, mapped by the transform
// last passed with set_transform.
class Device {
 public:
  virtual ~Device() = default;

  virtual int close() = 0;
  virtual int clear() = 0;
  virtual int update() = 0;
  // An update that does not wait until the drawing is done (window device).
  virtual int show() { return update(); }
  // Suspend showing drawing until the next update (window device).
  virtual int set_update() { return device_ok; }
  virtual int set_transform(const float window[4], const float viewport[4]) = 0;
  virtual int set_clip(bool on, const float rectangle[4]) = 0;

  virtual int line_colour(int index) = 0;
  virtual int line_style(int style) = 0;
  virtual int line_width(float width) = 0;
  virtual int marker_type(int type) = 0;
  virtual int marker_scale(float scale) = 0;
  virtual int marker_width(float width) = 0;
  virtual int marker_colour(int index) = 0;
  virtual int fill_colour(int index) = 0;
  virtual int text_font(int font) = 0;
  virtual int text_colour(int index) = 0;
  virtual int text_height(float height) = 0;
  virtual int text_alignment(int horizontal, int vertical) = 0;
  virtual int text_angle(float degrees) = 0;
  virtual int mask_colour(int index) = 0;
  virtual int log_scaling(bool logarithmic) = 0;
  // Colour table entries first .. last (table indexed by colour index).
  virtual int colour_map(int first, int last, std::span<const Rgb> table) = 0;
  virtual int colour_range(int first, int last, int second_first, int second_last) = 0;

  virtual int polyline(int n, const float x[], const float y[]) = 0;
  virtual int polymarker(int n, const float x[], const float y[]) = 0;
  virtual int fill_area(int n, const float x[], const float y[]) = 0;
  virtual int text(float x, float y, const std::string& text) = 0;
  virtual int cell_array(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend,
                         float x0, float y0, float x1, float y1) = 0;
  // An empty mask view means no pixel is masked.
  virtual int real_cell_array(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                              int ystart, int xend, int yend, float x0, float y0, float x1,
                              float y1, float low, float high, bool logarithmic) = 0;

  // Input and window services (window device; the defaults refuse).
  virtual int event(const EventRequest& /*request*/, Event& /*event*/) { return device_failed; }
  virtual int coordinate(int /*wait_mode*/, int& /*type*/, float& /*x*/, float& /*y*/) {
    return device_failed;
  }
  virtual int rubberband(int /*mode*/, float /*x*/, float /*y*/) { return device_failed; }
  virtual int spyglass(bool /*on*/, const Spyglass& /*parameters*/) { return device_failed; }
  // Width of a text at the current font and height, in page units.
  virtual int text_width(const std::string& /*text*/, float& /*width*/) { return device_failed; }
  virtual int inq_size(int& /*width*/, int& /*height*/) { return device_failed; }
  virtual int title(const std::string& /*title*/) { return device_failed; }
  virtual int bell() { return device_ok; }

  // Identification text of the routine that carries out `op`, for example
  // "Function VG_X11_PL V0.2 ".
  virtual const char* routine(Op op) const = 0;
};

// The routine names of the window device and of the PostScript device, for
// the devices that stand in for them (a recording device in tests).
const char* window_routine(Op op);
const char* postscript_routine(Op op);

// The X11 window device (the default factory).
std::unique_ptr<Device> open_x11_device(int format, int left, int top, int width, int height);

// The device of a run without a window (VG_SET_NULLWINDOW): every drawing
// call succeeds and shows nothing; text is 0.5 x height wide per character;
// its size is the window's, 500 by 707 (707 by 500 landscape); event and
// coordinate input fail.
std::unique_ptr<Device> open_null_device(int format, int left, int top, int width, int height);

// The PostScript device writing to an open text unit.
std::unique_ptr<Device> open_postscript_device(int unit, bool landscape, bool colour, int& status);

}  // namespace vg

// ---------------------------------------------------------------------------
// Control
// ---------------------------------------------------------------------------
void VG_OPEN(int mode, int& status);
void VG_CLOSE(int& status);
void VG_OPEN_WK(int workstation, int connection, int type, int& status);
void VG_CLOSE_WK(int workstation, int& status);
void VG_ACTIVATE_WK(int workstation, int& status);
void VG_DEACTIVATE_WK(int workstation, int& status);
// Shows what was held back and flushes pending output. In mode
// vg::update_no_wait it returns as soon as the window's requests are sent;
// in every other mode when the server has drawn them.
void VG_UPDATE(int workstation, int mode, int& status);
// Suspends showing the drawing of a window workstation until its next update.
void VG_SET_UPDATE(int workstation, int& status);
void VG_CLEAR(int& status);
void VG_TITLE(int workstation, const std::string& title, int& status);
void VG_BELL(int& status);
// On: the window workstations opened from here on draw into nothing
// (vg::open_null_device), for a run whose answers come from elsewhere.
// Off: they open windows again.
void VG_SET_NULLWINDOW(bool on, int& status);

// ---------------------------------------------------------------------------
// Coordinates
// ---------------------------------------------------------------------------
void VG_DATAWINDOW(float xmin, float ymin, float xmax, float ymax, int& status);
void VG_VIEWPORT(float xmin, float ymin, float xmax, float ymax, int& status);
void VG_INQ_DATAWINDOW(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void VG_INQ_VIEWPORT(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void VG_UNITYTRANSFORM(bool set, int& status);
float VG_WC2PC(bool x_axis, float value, int& status);
float VG_PC2WC(bool x_axis, float value, int& status);
void VG_INQ_MAXPC(float& xmax, float& ymax, int& status);
void VG_CLIPWINDOW(float xmin, float ymin, float xmax, float ymax, int& status);
void VG_INQ_CLIPWINDOW(float& xmin, float& ymin, float& xmax, float& ymax, int& status);
void VG_CLIP(bool on, int& status);
void VG_INQ_CLIP(bool& on, int& status);

// The drawing state (attributes, data window, viewport, clip window and
// clipping) as one value, and its restoring: VG_RESTORE_STATE puts back
// only what differs from the state in force and sends the devices only
// those changes (the transform once, when the window or the viewport
// differs). A saved window or viewport in the wrong order gives
// status_order_x or status_order_y, an attribute out of its range
// status_bad_argument, and nothing is changed.
void VG_SAVE_STATE(vg::DrawingState& state, int& status);
void VG_RESTORE_STATE(const vg::DrawingState& state, int& status);

// ---------------------------------------------------------------------------
// Attributes and their inquiries
// ---------------------------------------------------------------------------
void VG_LINECOLOUR(int colour, int& status);
void VG_LINESTYLE(int style, int& status);
void VG_LINEWIDTH(float width, int& status);
void VG_MARKERTYPE(int type, int& status);
void VG_MARKERSCALE(float scale, int& status);
void VG_MARKERWIDTH(float width, int& status);
void VG_MARKERCOLOUR(int colour, int& status);
void VG_FILLCOLOUR(int colour, int& status);
void VG_TEXTFONT(int font, int& status);
void VG_TEXTCOLOUR(int colour, int& status);
void VG_TEXTHEIGHT(float height, int& status);
void VG_TEXTALIGNMENT(int horizontal, int vertical, int& status);
void VG_TEXTANGLE(float degrees, int& status);
// Colour index of masked pixels in real cell arrays.
void VG_MASKCOLOUR(int colour, int& status);
void VG_LOGZSCALING(bool logarithmic, int& status);
// Loads colour table entries first .. last (`table` indexed by colour index).
void VG_COLOURS(int first, int last, std::span<const vg::Rgb> table, int& status);
void VG_DEF_COLOURS(int& status);
void VG_SET_COLOURINDICES(int first, int last, int& status);

void VG_INQ_LINECOLOUR(int& colour, int& status);
void VG_INQ_LINESTYLE(int& style, int& status);
void VG_INQ_LINEWIDTH(float& width, int& status);
void VG_INQ_MARKERTYPE(int& type, int& status);
void VG_INQ_MARKERSCALE(float& scale, int& status);
void VG_INQ_MARKERWIDTH(float& width, int& status);
void VG_INQ_MARKERCOLOUR(int& colour, int& status);
void VG_INQ_FILLCOLOUR(int& colour, int& status);
void VG_INQ_TEXTFONT(int& font, int& status);
void VG_INQ_TEXTCOLOUR(int& colour, int& status);
void VG_INQ_TEXTHEIGHT(float& height, int& status);
void VG_INQ_TEXTALIGNMENT(int& horizontal, int& vertical, int& status);
void VG_INQ_TEXTANGLE(float& degrees, int& status);
void VG_INQ_MASKCOLOUR(int& colour, int& status);
void VG_INQ_COLOURS(int first, int last, std::span<vg::Rgb> table, int& status);
void VG_INQ_TEXTWIDTH(const std::string& text, float& width, int& status);
void VG_INQ_IMAGERANGE(int& first, int& last, int& status);
// World-to-device scales and offsets (device units = page units x 707).
void VG_INQ_SCALING(float& xscale, float& yscale, float& xoffset, float& yoffset, int& status);
void VG_INQ_LOGZSCALING(bool& logarithmic, int& status);
void VG_BESTCOLOUR(float red, float green, float blue, int& colour, int& status);

// ---------------------------------------------------------------------------
// Output primitives (world coordinates)
// ---------------------------------------------------------------------------
void VG_POLYLINE(int n, const float x[], const float y[], int& status);
void VG_POLYMARKER(int n, const float x[], const float y[], int& status);
void VG_FILLAREA(int n, const float x[], const float y[], int& status);
// The same with the points as one list.
void VG_POLYLINE(std::span<const vg::Point> points, int& status);
void VG_POLYMARKER(std::span<const vg::Point> points, int& status);
void VG_FILLAREA(std::span<const vg::Point> points, int& status);
void VG_TEXT(float x, float y, const std::string& text, int& status);
void VG_CELLARRAY(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
                  float y0, float x1, float y1, int& status);
void VG_RMASKCELLARRAY(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                       int ystart, int xend, int yend, float x0, float y0, float x1, float y1,
                       float low, float high, bool logarithmic, int& status);
void VG_REALCELLARRAY(io::View2D<const float> data, int xstart, int ystart, int xend, int yend,
                      float x0, float y0, float x1, float y1, float low, float high,
                      bool logarithmic, int& status);

// Raster mode: while on, polylines and fill areas are drawn into the caller's
// raster array (which covers the data window) instead of the workstations.
void VG_RASTERMODE(bool on, io::View2D<int> raster, int& status);
void VG_RAS_PL(int n, const float x[], const float y[], int& status);
void VG_RAS_FA(int n, const float x[], const float y[], int& status);

// ---------------------------------------------------------------------------
// Input (window workstations only)
// ---------------------------------------------------------------------------
// One event; x and y come back in page units. A window closed by the user
// gives the user-escape status.
void VG_INP_EVENT(int workstation, int wait_mode, bool prompt_wanted, const std::string& prompt,
                  bool initial, const std::string& initial_string, float box_x, float box_y,
                  float box_width, float box_height, int& event_type, int& workstation_out,
                  float& x, float& y, std::string& text, int& status);
// One click (event_button, x and y in page units), a redraw request
// (event_redraw), or event_none in wait mode 10 with nothing pending.
void VG_INP_COORDINATE(int workstation, int wait_mode, int& event_type, float& x, float& y,
                       int& status);
void VG_SET_RUBBERBAND(int workstation, int mode, float x, float y, int& status);
void VG_SPYGLASS(int workstation, bool on, const vg::Spyglass& parameters, int& status);
void VG_INQ_SIZE(int workstation, int& width, int& height, int& status);
// Whether the workstation is open.
// Works also before VG_OPEN and after VG_CLOSE (false then).
void VG_INQ_WKOPEN(int workstation, bool& open, int& status);

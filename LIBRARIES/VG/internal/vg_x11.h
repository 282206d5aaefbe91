// The X11 window device: one top-level window drawn through Xlib (text through
// Xft and fontconfig), with an off-screen pixmap that keeps everything drawn so
// that an exposed window is restored without the program's help.
//
// Internal to vglib. This header includes no X header: Xlib and Xft types
// appear only through their forward-declared struct names, so that the device's
// own vg_x11*c.cpp files are the only ones to see X.
//
// The device is an object: the window, its pixmap, fonts, image caches and the
// typed-line history are its members; nothing of it is process-wide. Every
// operation returns vg::device_ok or vg::device_failed (the core turns a failure
// into its status), the input operations also vg::device_closed when the user
// closed the window through the window manager or another client destroyed it.
// Coordinates of primitives are world coordinates mapped by the transform last
// set; positions returned by input are page units.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "io.h"
#include "vg.h"
#include "vg_scale.h"

struct _XDisplay;    // Display
struct _XGC;         // *GC
struct _XftDraw;     // XftDraw
struct _XftFont;     // XftFont
union _XEvent;       // XEvent
struct _XImage;      // XImage
struct _XGlyphInfo;  // XGlyphInfo

namespace vg::x11 {

using XId = unsigned long;  // Window, Pixmap, Colormap, Atom

// A rectangle of whole pixels: columns x0 to x1 - 1, rows y0 to y1 - 1.
struct PixelRect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int width() const { return x1 - x0; }
  int height() const { return y1 - y0; }
  bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// The edges of a drawn rectangle in pixels, not rounded: left lies right of
// right, or top below bottom, when the drawing is mirrored.
struct PixelEdges {
  float left = 0, top = 0, right = 0, bottom = 0;
};

class WindowDevice final : public vg::Device {
 public:
  // The page's shape: the long side is 1.414214 times the short one.
  static constexpr double aspect_ratio = 1.414214;
  // Characters of the typed line, and typed lines kept in the history.
  static constexpr int max_line = 132;
  static constexpr int history_size = 40;
  // Wait mode of input calls that do not wait.
  static constexpr int wait_none = 10;
  // Pixels per page unit at which line widths and marker sizes are nominal.
  static constexpr float nominal_scale = 707.0f;
  // Fonts kept open (by font, size and angle).
  static constexpr std::size_t font_cache_size = 8;
  // Rows of an image sent to the server at a time: few bands, since each
  // flush costs the client some 20 microseconds of system calls.
  static constexpr int image_band = 192;
  // Smaller images go in the request itself: they never wait until the
  // server has taken the image before them from the shared segment.
  static constexpr long shared_minimum_pixels = 16384;
  // The longest side of the off-screen pixmap, and its largest size in bytes
  // (8192 by 8192 at 4 bytes a pixel): a larger window shows the drawing at
  // this size in its top left corner.
  static constexpr int max_pixmap_side = 8192;
  static constexpr double max_pixmap_bytes = 8192.0 * 8192.0 * 4.0;
  // Connection: how long a server may take to answer, attempts while its
  // queue of new connections is full, the pause between them, and how long
  // the first exposure of a new window is waited for (milliseconds).
  static constexpr int answer_timeout_ms = 10000;
  static constexpr int connect_attempts = 11;
  static constexpr int connect_pause_ms = 50;
  static constexpr int map_timeout_ms = 5000;
  // Spyglass: the widest read-out, the text's height in pixels, the box.
  static constexpr const char* widest_readout = "X=99999, Y=99999, I=-9.999999e-99";
  static constexpr float readout_text_pixels = 13.0f;
  static constexpr int readout_height = 19;
  static constexpr int spyglass_offset = 16;

  WindowDevice() = default;
  WindowDevice(const WindowDevice&) = delete;
  WindowDevice& operator=(const WindowDevice&) = delete;
  ~WindowDevice() override;

  // VG_X11_OPEN: page format (vg::page_portrait or page_landscape), screen
  // position, client size in pixels. False (after the console lines) when the
  // window cannot be had.
  bool open(int page, int left, int top, int width, int height);

  // The operations of every device.
  int close() override;   // VG_X11_CLOSE
  int clear() override;   // VG_X11_CLEAR
  int update() override;  // VG_X11_UPDATE
  int show() override;
  int set_update() override;                                                   // VG_X11_SET_UPDATE
  int set_transform(const float window[4], const float viewport[4]) override;  // VG_X11_TRANSFORM
  int set_clip(bool on, const float rectangle[4]) override;                    // VG_X11_CLIP
  int line_colour(int index) override;                                         // VG_X11_LINECOLOUR
  int line_style(int style) override;                                          // VG_X11_LINESTYLE
  int line_width(float width) override;                                        // VG_X11_LINEWIDTH
  int marker_type(int type) override;                                          // VG_X11_MARKERTYPE
  int marker_scale(float scale) override;                                      // VG_X11_MARKERSCALE
  int marker_width(float width) override;                                      // VG_X11_MARKERWIDTH
  int marker_colour(int index) override;                      // VG_X11_MARKERCOLOUR
  int fill_colour(int index) override;                        // VG_X11_FILLCOLOUR
  int text_font(int font) override;                           // VG_X11_TEXTFONT
  int text_colour(int index) override;                        // VG_X11_TEXTCOLOUR
  int text_height(float height) override;                     // VG_X11_TEXTHEIGHT
  int text_alignment(int horizontal, int vertical) override;  // VG_X11_TEXTALIGNMENT
  int text_angle(float degrees) override;                     // VG_X11_TEXTANGLE
  int mask_colour(int index) override;                        // VG_X11_MASKCOLOUR
  int log_scaling(bool logarithmic) override;                 // VG_X11_ZSCALING
  int colour_map(int first, int last, std::span<const vg::Rgb> table) override;  // VG_X11_COLOURMAP
  int colour_range(int first, int last, int second_first,
                   int second_last) override;                        // VG_X11_COLOURRANGE
  int polyline(int n, const float x[], const float y[]) override;    // VG_X11_PL
  int polymarker(int n, const float x[], const float y[]) override;  // VG_X11_PM
  int fill_area(int n, const float x[], const float y[]) override;   // VG_X11_FA
  int text(float x, float y, const std::string& text) override;      // VG_X11_TEXT
  // VG_X11_CA, VG_X11_RMCA: region xstart..xend, ystart..yend of the array
  // over the world rectangle (x0, y0) to (x1, y1), resampled to the pixels.
  int cell_array(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
                 float y0, float x1, float y1) override;
  int real_cell_array(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                      int ystart, int xend, int yend, float x0, float y0, float x1, float y1,
                      float low, float high, bool logarithmic) override;
  // Input and window services.
  int event(const vg::EventRequest& request, vg::Event& event) override;  // VG_X11_EVENT
  int coordinate(int wait_mode, int& type, float& x, float& y) override;  // VG_X11_COORDINATE
  int rubberband(int mode, float x, float y) override;                    // VG_X11_RUBBERBAND
  int spyglass(bool on, const vg::Spyglass& parameters) override;         // VG_X11_SPYGLASS
  int text_width(const std::string& text, float& width) override;         // VG_X11_TEXTWIDTH
  int inq_size(int& width, int& height) override;                         // VG_X11_INQ_SIZE
  int title(const std::string& title) override;                           // VG_X11_TITLE
  int bell() override;                                                    // VG_X11_BELL
  const char* routine(vg::Op op) const override;

  // VG_X11_TEXTC: the text as `length` characters (a NUL ends it sooner).
  int text_c(float x, float y, const char* text, int length);
  // VG_X11_BCA: a byte cell array.
  int byte_cell_array(io::View2D<const unsigned char> cells, int xstart, int ystart, int xend,
                      int yend, float x0, float y0, float x1, float y1);
  // VG_X11_INQ_COLOURMAPPING: whether the window uses a true-colour visual
  // (always, once open).
  bool true_colour() const { return is_open(); }

  // For tests and benchmarks: the X identifiers of the window and of the
  // pixmap (0 when closed), the display name, the typed lines kept.
  XId window_id() const { return is_open() ? window_ : 0; }
  XId pixmap_id() const { return is_open() ? pixmap_ : 0; }
  const std::string& display_name() const { return display_name_; }
  int history_count() const { return history_count_; }

  // World coordinates to pixels of the drawing.
  float to_px(float wx) const { return (wx * xscale_ + xoffset_) * scale_ / vg::page_to_device; }
  float to_py(float wy) const {
    return static_cast<float>(height_) - (wy * yscale_ + yoffset_) * scale_ / vg::page_to_device;
  }

 private:
  struct Font {
    int font = 0;        // 1 serif, 2 monospace
    int pixel_size = 0;  // tenths of a pixel
    int angle = 0;       // tenths of a degree
    _XftFont* handle = nullptr;
    unsigned long last_used = 0;
  };

  struct SpyglassState {
    bool on = false;
    vg::Spyglass parameters;
    float left = 0, right = 0, top = 0, bottom = 0;  // pixel rectangle of the image
    bool drawn = false;
    int box_x = 0, box_y = 0, box_w = 0, box_h = 0;  // magnified box on the window
    int readout_w = 0, readout_h = 0;                // read-out box at the top left
  };

  // What an image is drawn from: real data (with an optional mask), colour
  // indices or bytes, and the region of the array.
  struct ImageSource {
    io::View2D<const float> data;
    io::View2D<const bool> mask;
    io::View2D<const int> cells;
    io::View2D<const unsigned char> bytes;
    int xstart = 1, ystart = 1, xend = 1, yend = 1;
    float low = 0, high = 1;
    bool logarithmic = false;
  };

  // The data column or row (0-based) of each pixel of a run of pixels, kept
  // for the next image of the same geometry: `count` pixels from `origin`
  // over `cells` cells from the array's `start`, which run from the pixel
  // edge near_edge to far_edge.
  struct IndexTable {
    struct Geometry {
      int origin = 0, count = 0, cells = 0, start = 0;
      float near_edge = 0, far_edge = 0;
      bool same(const Geometry& other) const;
    };
    bool valid = false;
    Geometry geometry;
    std::vector<int> index;
    void make(const Geometry& wanted);
  };

  // A shared-memory segment for images on a local server: the server reads
  // the pixels from it without their going through the connection.
  struct SharedImage {
    bool checked = false;
    bool available = false;
    bool attached = false;
    bool in_use = false;        // the server may still be reading it
    unsigned long serial = 0;   // request number of the last put from it
    unsigned long segment = 0;  // the server's name of the segment
    int shmid = -1;
    char* address = nullptr;
    std::size_t size = 0;
  };

  // Outcome of a window-level event for the input loops.
  enum class WindowEvent { other, redraw, closed };

  // --- Connection (vg_x11c.cpp)
  bool is_open() const { return display_ != nullptr && window_ != 0; }
  bool connect();
  void disconnect();
  bool create_window(int left, int top);
  void create_gcs();
  void map_window();
  // The connection's error handlers find the device of a display.
  friend struct ErrorHandlers;
  // Requests between begin_trap() and end_trap() have their errors noted
  // instead of written; end_trap() is true when there was none.
  void begin_trap();
  bool end_trap();
  bool choose_visual();
  void compute_pixels();
  void default_table();
  void set_size_hints(int left, int top, bool position);
  _XGC* make_gc(XId drawable);
  bool create_pixmap(int width, int height);
  void corrected_size(int width, int height, int& new_width, int& new_height) const;
  void drawing_size(int window_width, int window_height, int& width, int& height) const;
  void resize_pixmap(int width, int height);
  void scale_old_picture(_XImage* old_image, int old_width, int old_height);
  void restore(int x, int y, int w, int h);

  // --- Shown and drawn areas
  unsigned long pixel_of(int index) const;
  // Records a drawn pixel rectangle and shows it unless updating is held back.
  void drawn(int x0, int y0, int x1, int y1);
  // The same, for a rectangle within the drawing whose pixels changed
  // without being drawn on (a clear).
  void changed(int x0, int y0, int x1, int y1);
  void show_all();
  void show_dirty();
  bool window_shows() const { return is_open() && !window_lost_; }
  void apply_clip();
  static void message(const std::string& text);

  // --- Events
  bool next_event(_XEvent& event, bool wait);
  WindowEvent handle_window_event(_XEvent& event);
  WindowEvent new_window_size(int width, int height);

  // --- Drawing and text (vg_x11_drawc.cpp)
  float unit() const { return scale_ / nominal_scale; }
  int pixel_width(float width) const;
  void set_colour(_XGC* gc, int colour);
  void set_line_gc(_XGC* gc, float width, int style);
  void report_bounds(int x0, int y0, int x1, int y1, int margin);
  _XftFont* open_font(int font, double pixel_size, double angle_degrees);
  _XftFont* font_for(int font, double pixel_size, double angle_degrees);
  double text_pixel_size() const;
  void draw_string(_XftDraw* target, _XftFont* font, float x, float y, const std::string& text,
                   int colour);
  void draw_plain_text(_XftDraw* target, float x, float y, const std::string& text, int colour);
  float text_advance(const std::string& text);
  void alignment_offset(_XftFont* upright, const _XGlyphInfo& ink, double& xa, double& ya);
  void report_text(_XftFont* upright, const _XGlyphInfo& ink, double ox, double oy, double ca,
                   double sa);
  void release_fonts();

  // --- Images (vg_x11_imagec.cpp)
  struct ImageRows;
  int put_image(XId drawable, _XGC* gc, const ImageSource& source, const PixelEdges& edges,
                const PixelRect& clip, XId mirror = 0, PixelRect* placed = nullptr);
  int image_tables(const ImageSource& source, const PixelEdges& edges, const PixelRect& r);
  int create_image(ImageRows& rows, int w, int h);
  int image_pixels(ImageRows& rows, int w, int h);
  void make_row(ImageRows& rows, const ImageSource& source, int r, int h);
  void send_rows(ImageRows& rows, const PixelRect& r, XId drawable, _XGC* gc, XId mirror, int end);
  char* shared_buffer(std::size_t size);
  void detach_shared();
  void release_images();
  PixelRect drawing_clip() const;
  int draw_cell_array(const ImageSource& source, float x0, float y0, float x1, float y1);
  void show_around(const PixelRect& drawn_rect, const PixelRect& placed);
  template <typename T>
  int draw_region(ImageSource source, io::View2D<const T> array, int xstart, int ystart, int xend,
                  int yend, float x0, float y0, float x1, float y1);

  // --- Input (vg_x11_inputc.cpp)
  struct Prompt;
  struct InputResult;
  struct InputLoop;
  void draw_band_at(int px, int py);
  void draw_cross_at(int px, int py);
  void band_to(int px, int py, bool cross);
  void erase_band();
  void redraw_band(int px, int py, bool cross);
  std::string history_entry(int back) const;
  void add_to_history(const std::string& line);
  void draw_prompt(const Prompt& prompt);
  // The line editor and its keys.
  int edit_key(_XEvent& event, int& browse, bool& changed);
  void move_cursor(int step, bool& changed);
  void recall_older(int& browse, bool& changed);
  void recall_newer(int& browse, bool& changed);
  int typed_character(int c, bool& changed);
  // The input loop and its handlers.
  InputResult input_loop(int wait_mode, bool edit, const Prompt& prompt, bool cross);
  void dispatch_input(InputLoop& loop, _XEvent& event);
  void on_redraw(InputLoop& loop, _XEvent& event);
  void on_button(InputLoop& loop, const _XEvent& event);
  void on_motion(InputLoop& loop, _XEvent& event);
  void on_leave();
  void on_key(InputLoop& loop, _XEvent& event);
  // The spyglass.
  void spyglass_erase();
  void spyglass_redraw_at(int px, int py);
  bool spyglass_pixel(int px, int py, int& col, int& row) const;
  void draw_magnified(int px, int py, int col, int row);
  void draw_readout(int col, int row);

  // --- The connection and its resources
  _XDisplay* display_ = nullptr;
  std::string display_name_;
  int screen_ = 0;
  void* visual_ = nullptr;  // Visual*
  int depth_ = 0;
  XId colormap_ = 0;
  bool own_colormap_ = false;
  XId window_ = 0;
  XId pixmap_ = 0;
  _XGC* gc_line_ = nullptr;
  _XGC* gc_marker_ = nullptr;
  _XGC* gc_fill_ = nullptr;
  _XGC* gc_copy_ = nullptr;          // pixmap to window, images
  _XGC* gc_band_ = nullptr;          // exclusive-or on the window
  _XftDraw* draw_ = nullptr;         // Xft drawing on the pixmap
  _XftDraw* window_draw_ = nullptr;  // Xft drawing on the window (spyglass read-out)
  XId wm_protocols_ = 0, wm_delete_ = 0;
  unsigned long red_mask_ = 0, green_mask_ = 0, blue_mask_ = 0;
  // The window was destroyed by another client: drawing goes on into the
  // pixmap, input reports the window closed.
  bool window_lost_ = false;
  // Errors noted while without_errors() runs.
  bool trapping_ = false;
  bool trapped_ = false;

  // --- Sizes: the window's, and the drawing's (the pixmap's), which is the
  // window's unless that is larger than a pixmap may be.
  int page_ = vg::page_portrait;
  int window_width_ = 500, window_height_ = 707;
  int width_ = 500, height_ = 707;
  float scale_ = 707.0f;  // pixels per page unit

  // --- Colours and attributes
  std::array<vg::Rgb, vg::table_size> table_{};
  std::array<unsigned long, vg::table_size> pixels_{};
  int image_first_ = 41, image_last_ = 250, second_first_ = 49, second_last_ = 250;
  int line_colour_ = 1, line_style_ = 1, marker_type_ = 1, marker_colour_ = 1;
  float line_width_ = 1.0f, marker_scale_ = 1.0f, marker_width_ = 1.0f;
  int fill_colour_ = 1, text_colour_ = 1, text_font_ = 1, mask_colour_ = 0;
  float text_height_ = 1.0f, text_angle_ = 0.0f;
  int text_horizontal_ = 1, text_vertical_ = 0;
  bool logarithmic_ = false;

  // --- Transform (world to device units, page units x 707) and clipping
  float xscale_ = 707.0f, yscale_ = 707.0f, xoffset_ = 0.0f, yoffset_ = 0.0f;
  bool clip_on_ = false;
  int clip_x_ = 0, clip_y_ = 0, clip_w_ = 0, clip_h_ = 0;  // pixels

  // --- Fonts
  std::vector<Font> fonts_;
  unsigned long font_clock_ = 0;

  // --- What is drawn but not yet shown, and what is drawn on the pixmap
  // since it was last cleared (the rest of it is in the pixel cleared_pixel_
  // when cleared_known_)
  struct PixelBox {
    bool any = false;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    void add(int ax0, int ay0, int ax1, int ay1) {
      if (!any) {
        *this = {true, ax0, ay0, ax1, ay1};
        return;
      }
      x0 = std::min(x0, ax0);
      y0 = std::min(y0, ay0);
      x1 = std::max(x1, ax1);
      y1 = std::max(y1, ay1);
    }
  };
  bool suspended_ = false;
  PixelBox dirty_;
  PixelBox painted_;
  bool cleared_known_ = false;
  unsigned long cleared_pixel_ = 0;

  // --- Images: the scale and the pixel-to-data tables of the last image, its
  // pixel buffer, the shared-memory segment
  vg::IndexScale scale_cache_;
  IndexTable column_table_, row_table_;
  std::vector<char> image_buffer_;
  SharedImage shared_;

  // --- Rubber band, cross-hair and spyglass
  int band_mode_ = 0;
  float band_anchor_x_ = 0, band_anchor_y_ = 0;  // world
  bool band_drawn_ = false;
  bool cross_drawn_ = false;
  int band_ax_ = 0, band_ay_ = 0, band_px_ = 0, band_py_ = 0;  // pixels
  SpyglassState spyglass_;

  // --- The input line and its history
  std::string line_;
  int cursor_ = 0;
  std::array<std::string, history_size> history_;
  int history_count_ = 0;
  int history_newest_ = -1;
};

// The window device of a vg::Device (null for another kind of device).
const WindowDevice* window_device(const vg::Device& device);
// For tests: the window of the open window workstation (0 when there is none)
// and of a device opened directly.
XId window_id();
XId window_id(const vg::Device& device);
XId pixmap_id(const vg::Device& device);
int history_count(const vg::Device& device);

}  // namespace vg::x11

// The window device as seen by the core: a vg::Device whose operations are
// the VG_X11_ routines.
#include <memory>

#include "vg.h"
#include "vg_x11.h"

namespace vg {

namespace {

class X11Device final : public Device {
 public:
  X11Device() = default;
  X11Device(const X11Device&) = delete;
  X11Device& operator=(const X11Device&) = delete;
  ~X11Device() override {
    if (open_) VG_X11_CLOSE();
  }

  int close() override {
    if (open_) VG_X11_CLOSE();
    open_ = false;
    return device_ok;
  }
  int clear() override {
    int error = device_ok;
    VG_X11_CLEAR(error);
    return error;
  }
  int update() override {
    VG_X11_UPDATE();
    return device_ok;
  }
  int set_update() override {
    VG_X11_SET_UPDATE(true);
    return device_ok;
  }
  int set_transform(const float window[4], const float viewport[4]) override {
    int error = device_ok;
    VG_X11_TRANSFORM(window, viewport, error);
    return error;
  }
  int set_clip(bool on, const float rectangle[4]) override {
    VG_X11_CLIP(on, rectangle);
    return device_ok;
  }

  int line_colour(int index) override { return call(VG_X11_LINECOLOUR, index); }
  int line_style(int style) override { return call(VG_X11_LINESTYLE, style); }
  int line_width(float width) override { return call(VG_X11_LINEWIDTH, width); }
  int marker_type(int type) override { return call(VG_X11_MARKERTYPE, type); }
  int marker_scale(float scale) override { return call(VG_X11_MARKERSCALE, scale); }
  int marker_width(float width) override { return call(VG_X11_MARKERWIDTH, width); }
  int marker_colour(int index) override { return call(VG_X11_MARKERCOLOUR, index); }
  int fill_colour(int index) override { return call(VG_X11_FILLCOLOUR, index); }
  int text_font(int font) override { return call(VG_X11_TEXTFONT, font); }
  int text_colour(int index) override { return call(VG_X11_TEXTCOLOUR, index); }
  int text_height(float height) override { return call(VG_X11_TEXTHEIGHT, height); }
  int text_alignment(int horizontal, int vertical) override {
    int error = device_ok;
    VG_X11_TEXTALIGNMENT(horizontal, vertical, error);
    return error;
  }
  int text_angle(float degrees) override { return call(VG_X11_TEXTANGLE, degrees); }
  int mask_colour(int index) override { return call(VG_X11_MASKCOLOUR, index); }
  int log_scaling(bool logarithmic) override {
    VG_X11_ZSCALING(logarithmic);
    return device_ok;
  }
  int colour_map(int first, int last, std::span<const Rgb> table) override {
    int error = device_ok;
    VG_X11_COLOURMAP(first, last, table, error);
    return error;
  }
  int colour_range(int first, int last, int second_first, int second_last) override {
    VG_X11_COLOURRANGE(first, last, second_first, second_last);
    return device_ok;
  }

  int polyline(int n, const float x[], const float y[]) override {
    int error = device_ok;
    VG_X11_PL(n, x, y, error);
    return error;
  }
  int polymarker(int n, const float x[], const float y[]) override {
    int error = device_ok;
    VG_X11_PM(n, x, y, error);
    return error;
  }
  int fill_area(int n, const float x[], const float y[]) override {
    int error = device_ok;
    VG_X11_FA(n, x, y, error);
    return error;
  }
  int text(float x, float y, const std::string& text) override {
    int error = device_ok;
    VG_X11_TEXT(x, y, text, error);
    return error;
  }
  int cell_array(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
                 float y0, float x1, float y1) override {
    int error = device_ok;
    VG_X11_CA(cells, xstart, ystart, xend, yend, x0, y0, x1, y1, error);
    return error;
  }
  int real_cell_array(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                      int ystart, int xend, int yend, float x0, float y0, float x1, float y1,
                      float low, float high, bool logarithmic) override {
    int error = device_ok;
    VG_X11_RMCA(data, mask, xstart, ystart, xend, yend, x0, y0, x1, y1, low, high, logarithmic,
                error);
    return error;
  }

  int event(const EventRequest& request, Event& event) override {
    int error = device_ok;
    VG_X11_EVENT(request.wait_mode, request.prompt_wanted, request.prompt, request.initial,
                 request.initial_string, request.box_x, request.box_y, request.box_width,
                 request.box_height, event.type, event.x, event.y, event.text, error);
    return error;
  }
  int coordinate(int wait_mode, int& type, float& x, float& y) override {
    int error = device_ok;
    VG_X11_COORDINATE(wait_mode, type, x, y, error);
    return error;
  }
  int rubberband(int mode, float x, float y) override {
    VG_X11_RUBBERBAND(mode, x, y);
    return device_ok;
  }
  int spyglass(bool on, const Spyglass& parameters) override {
    int error = device_ok;
    VG_X11_SPYGLASS(on, parameters, error);
    return error;
  }
  int text_width(const std::string& text, float& width) override {
    int error = device_ok;
    VG_X11_TEXTWIDTH(text, width, error);
    return error;
  }
  int inq_size(int& width, int& height) override {
    int error = device_ok;
    VG_X11_INQ_SIZE(width, height, error);
    return error;
  }
  int title(const std::string& title) override {
    int error = device_ok;
    VG_X11_TITLE(title, error);
    return error;
  }
  void bell() override { VG_X11_BELL(); }

  bool open_ = true;

 private:
  template <typename T>
  static int call(void (*routine)(T, int&), T value) {
    int error = device_ok;
    routine(value, error);
    return error;
  }
};

}  // namespace

std::unique_ptr<Device> open_x11_device(int format, int left, int top, int width, int height) {
  int error = device_failed;
  VG_X11_OPEN(format, left, top, width, height, error);
  if (error != device_ok) return nullptr;
  return std::make_unique<X11Device>();
}

}  // namespace vg

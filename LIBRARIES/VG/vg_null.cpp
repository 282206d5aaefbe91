// The device of a run without a window: it stands in for the window, takes
// every drawing call and shows nothing. It has no input of its own: a run
// on it takes its answers from elsewhere (a macro file).
#include <memory>
#include <span>
#include <string>

#include "vg.h"

namespace {

class NullDevice final : public vg::Device {
 public:
  NullDevice(int width, int height) : width_(width), height_(height) {}

  int close() override { return vg::device_ok; }
  int clear() override { return vg::device_ok; }
  int update() override { return vg::device_ok; }
  int set_transform(const float /*window*/[4], const float /*viewport*/[4]) override {
    return vg::device_ok;
  }
  int set_clip(bool /*on*/, const float /*rectangle*/[4]) override { return vg::device_ok; }

  int line_colour(int /*index*/) override { return vg::device_ok; }
  int line_style(int /*style*/) override { return vg::device_ok; }
  int line_width(float /*width*/) override { return vg::device_ok; }
  int marker_type(int /*type*/) override { return vg::device_ok; }
  int marker_scale(float /*scale*/) override { return vg::device_ok; }
  int marker_width(float /*width*/) override { return vg::device_ok; }
  int marker_colour(int /*index*/) override { return vg::device_ok; }
  int fill_colour(int /*index*/) override { return vg::device_ok; }
  int text_font(int /*font*/) override { return vg::device_ok; }
  int text_colour(int /*index*/) override { return vg::device_ok; }
  int text_height(float height) override {
    text_height_ = height;
    return vg::device_ok;
  }
  int text_alignment(int /*horizontal*/, int /*vertical*/) override { return vg::device_ok; }
  int text_angle(float /*degrees*/) override { return vg::device_ok; }
  int mask_colour(int /*index*/) override { return vg::device_ok; }
  int log_scaling(bool /*logarithmic*/) override { return vg::device_ok; }
  int colour_map(int /*first*/, int /*last*/, std::span<const vg::Rgb> /*table*/) override {
    return vg::device_ok;
  }
  int colour_range(int /*first*/, int /*last*/, int /*second_first*/,
                   int /*second_last*/) override {
    return vg::device_ok;
  }

  int polyline(int /*n*/, const float /*x*/[], const float /*y*/[]) override {
    return vg::device_ok;
  }
  int polymarker(int /*n*/, const float /*x*/[], const float /*y*/[]) override {
    return vg::device_ok;
  }
  int fill_area(int /*n*/, const float /*x*/[], const float /*y*/[]) override {
    return vg::device_ok;
  }
  int text(float /*x*/, float /*y*/, const std::string& /*text*/) override { return vg::device_ok; }
  int cell_array(io::View2D<const int> /*cells*/, int /*xstart*/, int /*ystart*/, int /*xend*/,
                 int /*yend*/, float /*x0*/, float /*y0*/, float /*x1*/, float /*y1*/) override {
    return vg::device_ok;
  }
  int real_cell_array(io::View2D<const float> /*data*/, io::View2D<const bool> /*mask*/,
                      int /*xstart*/, int /*ystart*/, int /*xend*/, int /*yend*/, float /*x0*/,
                      float /*y0*/, float /*x1*/, float /*y1*/, float /*low*/, float /*high*/,
                      bool /*logarithmic*/) override {
    return vg::device_ok;
  }

  // Event and coordinate input keep the base class's failure: nobody is
  // there to answer.
  int rubberband(int /*mode*/, float /*x*/, float /*y*/) override { return vg::device_ok; }
  int spyglass(bool /*on*/, const vg::Spyglass& /*parameters*/) override { return vg::device_ok; }
  // Half the height per character, the width the core assumes without a device.
  int text_width(const std::string& text, float& width) override {
    width = 0.5f * text_height_ * static_cast<float>(text.size());
    return vg::device_ok;
  }
  int inq_size(int& width, int& height) override {
    width = width_;
    height = height_;
    return vg::device_ok;
  }
  int title(const std::string& /*title*/) override { return vg::device_ok; }

  const char* routine(vg::Op op) const override { return vg::window_routine(op); }

 private:
  int width_, height_;
  float text_height_ = 0.02f;
};

}  // namespace

namespace vg {

std::unique_ptr<Device> open_null_device(int format, int /*left*/, int /*top*/, int /*width*/,
                                         int /*height*/) {
  // The size of the window it stands for.
  const WorkstationType& kind = *workstation_type(window_type(format == page_landscape));
  return std::make_unique<NullDevice>(kind.width, kind.height);
}

}  // namespace vg

// The recording and scripted window device.
//
// Numbers recorded in DeviceCall::values, per kind:
//   open             format, left, top, width, height
//   transform        window xmin, ymin, xmax, ymax, viewport xmin, ymin, xmax, ymax
//   clip             on (0/1), xmin, ymin, xmax, ymax
//   attribute kinds  the value (text_alignment: horizontal, vertical)
//   colour_map       first, last;  colour_range  first, last, second first, second last
//   polyline, polymarker, fill_area   (points in x, y, page_x, page_y)
//   text             (position in x, y; the text in `text`)
//   cell_array       xstart, ystart, xend, yend, lowest and highest index of the region
//                    (corners in x, y)
//   real_cell_array  xstart, ystart, xend, yend, low, high, logarithmic, masked pixels
//   event            wait mode, prompt wanted, initial, box x, y, width, height
//                    (prompt in `text`)
//   coordinate       wait mode;   rubberband  mode (anchor in x, y)
//   spyglass         on, magnification, size
//   text_width       the width returned (the text in `text`)
//   inq_size         width, height;   title  (the title in `text`)
#include "recording_device.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "vg_testing.h"

namespace kovtest {

namespace {

RecordingWindow* current = nullptr;

std::string num(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

std::string point(float x, float y) {
  return "(" + num(x) + "," + num(y) + ")";
}

}  // namespace

float DeviceState::page_x(float x) const {
  return viewport[0] + (x - window[0]) * (viewport[2] - viewport[0]) / (window[2] - window[0]);
}

float DeviceState::page_y(float y) const {
  return viewport[1] + (y - window[1]) * (viewport[3] - viewport[1]) / (window[3] - window[1]);
}

// ---------------------------------------------------------------------------
// RecordingWindow
// ---------------------------------------------------------------------------
RecordingWindow::RecordingWindow() {
  current = this;
  vg::set_window_device_factory(&RecordingWindow::factory);
}

RecordingWindow::~RecordingWindow() {
  // A device still open in the core must not call back into a dead recorder:
  // close the graphics system first (tests normally do this themselves).
  if (open_) {
    int status = io::status_good;
    VG_CLOSE(status);
  }
  vg::set_window_device_factory(nullptr);
  current = nullptr;
}

std::unique_ptr<vg::Device> RecordingWindow::factory(int format, int left, int top, int width,
                                                     int height) {
  RecordingWindow& w = *current;
  DeviceCall call =
      w.make("open", "open format=" + std::to_string(format) + " left=" + std::to_string(left) +
                         " top=" + std::to_string(top) + " size=" + std::to_string(width) + "x" +
                         std::to_string(height));
  call.values = {static_cast<float>(format), static_cast<float>(left), static_cast<float>(top),
                 static_cast<float>(width), static_cast<float>(height)};
  w.calls_.push_back(call);
  if (w.fail_open_) return nullptr;
  w.open_ = true;
  ++w.opens_;
  w.width_ = width;
  w.height_ = height;
  w.state_ = DeviceState{};
  return std::make_unique<RecordingDevice>(w);
}

DeviceCall RecordingWindow::make(const std::string& kind, const std::string& line) const {
  DeviceCall call;
  call.kind = kind;
  call.line = line;
  call.state = state_;
  return call;
}

DeviceCall RecordingWindow::make_points(const std::string& kind, int n, const float x[],
                                        const float y[]) const {
  std::string line = kind + " n=" + std::to_string(n) + " ";
  DeviceCall call = make(kind, "");
  for (int k = 0; k < n; ++k) {
    line += point(x[k], y[k]);
    call.x.push_back(x[k]);
    call.y.push_back(y[k]);
    call.page_x.push_back(state_.page_x(x[k]));
    call.page_y.push_back(state_.page_y(y[k]));
  }
  call.line = line;
  return call;
}

int RecordingWindow::record(DeviceCall call) {
  const bool fail = !failing_.empty() && call.kind == failing_;
  calls_.push_back(std::move(call));
  return fail ? vg::device_failed : vg::device_ok;
}

std::vector<DeviceCall> RecordingWindow::calls_of(const std::string& kind) const {
  std::vector<DeviceCall> result;
  for (const auto& c : calls_) {
    if (c.kind == kind) result.push_back(c);
  }
  return result;
}

int RecordingWindow::count(const std::string& kind) const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                        [&](const DeviceCall& c) { return c.kind == kind; }));
}

std::vector<std::string> RecordingWindow::lines() const {
  std::vector<std::string> result;
  for (const auto& c : calls_) result.push_back(c.line);
  return result;
}

std::vector<std::string> RecordingWindow::lines_of(const std::string& kind) const {
  std::vector<std::string> result;
  for (const auto& c : calls_) {
    if (c.kind == kind) result.push_back(c.line);
  }
  return result;
}

std::string RecordingWindow::dump() const {
  std::string all;
  for (const auto& c : calls_) all += c.line + "\n";
  return all;
}

std::vector<std::string> RecordingWindow::texts() const {
  std::vector<std::string> result;
  for (const auto& c : calls_) {
    if (c.kind == "text") result.push_back(c.text);
  }
  return result;
}

bool RecordingWindow::contains(const std::string& fragment) const {
  return std::any_of(calls_.begin(), calls_.end(), [&](const DeviceCall& c) {
    return c.line.find(fragment) != std::string::npos;
  });
}

void RecordingWindow::push_event(const vg::Event& event) {
  script_.push_back({ScriptItem::event, event});
}

void RecordingWindow::push_click(float x, float y) {
  vg::Event e;
  e.type = vg::event_button;
  e.x = x;
  e.y = y;
  push_event(e);
}

void RecordingWindow::push_line(const std::string& text, bool tab) {
  vg::Event e;
  e.type = tab ? vg::event_tab : vg::event_return;
  e.text = text;
  push_event(e);
}

void RecordingWindow::push_redraw() {
  vg::Event e;
  e.type = vg::event_redraw;
  push_event(e);
}

void RecordingWindow::push_none() {
  push_event(vg::Event{});
}

void RecordingWindow::push_closed() {
  script_.push_back({ScriptItem::closed, {}});
}

void RecordingWindow::push_failure() {
  script_.push_back({ScriptItem::failed, {}});
}

bool RecordingWindow::next_input(int wait_mode, ScriptItem& item) {
  if (!script_.empty()) {
    item = script_.front();
    script_.pop_front();
    return true;
  }
  // Nothing scripted: no event in wait mode 10, else the window "closes" so
  // that a test cannot wait for ever.
  item = ScriptItem{};
  if (wait_mode != 10) item.kind = ScriptItem::closed;
  return false;
}

// ---------------------------------------------------------------------------
// RecordingDevice
// ---------------------------------------------------------------------------
int RecordingDevice::close() {
  window_.open_ = false;
  return window_.record(window_.make("close", "close"));
}

int RecordingDevice::clear() {
  return window_.record(window_.make("clear", "clear"));
}

int RecordingDevice::update() {
  return window_.record(window_.make("update", "update"));
}

int RecordingDevice::set_update() {
  return window_.record(window_.make("set_update", "set_update"));
}

int RecordingDevice::set_transform(const float window[4], const float viewport[4]) {
  DeviceState& s = window_.state_;
  std::copy(window, window + 4, s.window);
  std::copy(viewport, viewport + 4, s.viewport);
  DeviceCall c =
      window_.make("transform", "transform window=(" + num(window[0]) + "," + num(window[1]) + "," +
                                    num(window[2]) + "," + num(window[3]) + ") viewport=(" +
                                    num(viewport[0]) + "," + num(viewport[1]) + "," +
                                    num(viewport[2]) + "," + num(viewport[3]) + ")");
  c.values.assign(window, window + 4);
  c.values.insert(c.values.end(), viewport, viewport + 4);
  return window_.record(c);
}

int RecordingDevice::set_clip(bool on, const float rectangle[4]) {
  DeviceState& s = window_.state_;
  s.clip = on;
  std::copy(rectangle, rectangle + 4, s.clip_rectangle);
  DeviceCall c =
      window_.make("clip", on ? "clip on (" + num(rectangle[0]) + "," + num(rectangle[1]) + "," +
                                    num(rectangle[2]) + "," + num(rectangle[3]) + ")"
                              : std::string("clip off"));
  c.values = {on ? 1.0f : 0.0f, rectangle[0], rectangle[1], rectangle[2], rectangle[3]};
  return window_.record(c);
}

template <typename T>
int RecordingDevice::record_value(const char* kind, T DeviceState::*field, T value) {
  window_.state_.*field = value;
  DeviceCall c = window_.make(kind, std::string(kind) + " " + num(value));
  c.values = {static_cast<float>(value)};
  return window_.record(c);
}

int RecordingDevice::line_colour(int index) {
  return record_value("line_colour", &DeviceState::line_colour, index);
}

int RecordingDevice::line_style(int style) {
  return record_value("line_style", &DeviceState::line_style, style);
}

int RecordingDevice::line_width(float width) {
  return record_value("line_width", &DeviceState::line_width, width);
}

int RecordingDevice::marker_type(int type) {
  return record_value("marker_type", &DeviceState::marker_type, type);
}

int RecordingDevice::marker_scale(float scale) {
  return record_value("marker_scale", &DeviceState::marker_scale, scale);
}

int RecordingDevice::marker_width(float width) {
  return record_value("marker_width", &DeviceState::marker_width, width);
}

int RecordingDevice::marker_colour(int index) {
  return record_value("marker_colour", &DeviceState::marker_colour, index);
}

int RecordingDevice::fill_colour(int index) {
  return record_value("fill_colour", &DeviceState::fill_colour, index);
}

int RecordingDevice::text_font(int font) {
  return record_value("text_font", &DeviceState::text_font, font);
}

int RecordingDevice::text_colour(int index) {
  return record_value("text_colour", &DeviceState::text_colour, index);
}

int RecordingDevice::text_height(float height) {
  return record_value("text_height", &DeviceState::text_height, height);
}

int RecordingDevice::text_angle(float degrees) {
  return record_value("text_angle", &DeviceState::text_angle, degrees);
}

int RecordingDevice::mask_colour(int index) {
  return record_value("mask_colour", &DeviceState::mask_colour, index);
}

int RecordingDevice::text_alignment(int horizontal, int vertical) {
  window_.state_.text_horizontal = horizontal;
  window_.state_.text_vertical = vertical;
  DeviceCall c = window_.make("text_alignment", "text_alignment " + std::to_string(horizontal) +
                                                    " " + std::to_string(vertical));
  c.values = {static_cast<float>(horizontal), static_cast<float>(vertical)};
  return window_.record(c);
}

int RecordingDevice::log_scaling(bool logarithmic) {
  window_.state_.logarithmic = logarithmic;
  DeviceCall c = window_.make("log_scaling", logarithmic ? "log_scaling on" : "log_scaling off");
  c.values = {logarithmic ? 1.0f : 0.0f};
  return window_.record(c);
}

int RecordingDevice::colour_map(int first, int last, std::span<const vg::Rgb> table) {
  for (int i = std::max(0, first); i <= last && i < vg::table_size; ++i) {
    if (static_cast<std::size_t>(i) < table.size()) window_.colours_[i] = table[i];
  }
  DeviceCall c = window_.make("colour_map",
                              "colour_map " + std::to_string(first) + ".." + std::to_string(last));
  c.values = {static_cast<float>(first), static_cast<float>(last)};
  return window_.record(c);
}

int RecordingDevice::colour_range(int first, int last, int second_first, int second_last) {
  DeviceState& s = window_.state_;
  s.image_first = first;
  s.image_last = last;
  s.second_first = second_first;
  s.second_last = second_last;
  DeviceCall c = window_.make(
      "colour_range", "colour_range " + std::to_string(first) + ".." + std::to_string(last) + " " +
                          std::to_string(second_first) + ".." + std::to_string(second_last));
  c.values = {static_cast<float>(first), static_cast<float>(last), static_cast<float>(second_first),
              static_cast<float>(second_last)};
  return window_.record(c);
}

int RecordingDevice::polyline(int n, const float x[], const float y[]) {
  return window_.record(window_.make_points("polyline", n, x, y));
}

int RecordingDevice::polymarker(int n, const float x[], const float y[]) {
  return window_.record(window_.make_points("polymarker", n, x, y));
}

int RecordingDevice::fill_area(int n, const float x[], const float y[]) {
  return window_.record(window_.make_points("fill_area", n, x, y));
}

int RecordingDevice::text(float x, float y, const std::string& text) {
  DeviceCall c = window_.make_points("text", 1, &x, &y);
  c.line = "text " + point(x, y) + " \"" + text + "\"";
  c.text = text;
  return window_.record(c);
}

int RecordingDevice::cell_array(io::View2D<const int> cells, int xstart, int ystart, int xend,
                                int yend, float x0, float y0, float x1, float y1) {
  int low = std::numeric_limits<int>::max(), high = std::numeric_limits<int>::min();
  for (int j = ystart; j <= yend; ++j) {
    for (int i = xstart; i <= xend; ++i) {
      low = std::min(low, cells(i, j));
      high = std::max(high, cells(i, j));
    }
  }
  const float xs[2] = {x0, x1}, ys[2] = {y0, y1};
  DeviceCall c = window_.make_points("cell_array", 2, xs, ys);
  c.line = "cell_array region=(" + std::to_string(xstart) + "," + std::to_string(ystart) + ")-(" +
           std::to_string(xend) + "," + std::to_string(yend) + ") rect=" + point(x0, y0) + "-" +
           point(x1, y1) + " range=" + std::to_string(low) + ".." + std::to_string(high);
  c.values = {static_cast<float>(xstart), static_cast<float>(ystart), static_cast<float>(xend),
              static_cast<float>(yend),   static_cast<float>(low),    static_cast<float>(high)};
  return window_.record(c);
}

int RecordingDevice::real_cell_array(io::View2D<const float> data, io::View2D<const bool> mask,
                                     int xstart, int ystart, int xend, int yend, float x0, float y0,
                                     float x1, float y1, float low, float high, bool logarithmic) {
  int masked = 0;
  float dmin = std::numeric_limits<float>::max(), dmax = -std::numeric_limits<float>::max();
  for (int j = ystart; j <= yend; ++j) {
    for (int i = xstart; i <= xend; ++i) {
      if (!mask.empty() && mask(i, j)) {
        ++masked;
        continue;
      }
      dmin = std::min(dmin, data(i, j));
      dmax = std::max(dmax, data(i, j));
    }
  }
  const float xs[2] = {x0, x1}, ys[2] = {y0, y1};
  DeviceCall c = window_.make_points("real_cell_array", 2, xs, ys);
  c.line = "real_cell_array region=(" + std::to_string(xstart) + "," + std::to_string(ystart) +
           ")-(" + std::to_string(xend) + "," + std::to_string(yend) + ") rect=" + point(x0, y0) +
           "-" + point(x1, y1) + " data=" + num(dmin) + ".." + num(dmax) +
           " masked=" + std::to_string(masked) + " low=" + num(low) + " high=" + num(high) +
           (logarithmic ? " log=on" : " log=off");
  c.values = {static_cast<float>(xstart),
              static_cast<float>(ystart),
              static_cast<float>(xend),
              static_cast<float>(yend),
              low,
              high,
              logarithmic ? 1.0f : 0.0f,
              static_cast<float>(masked)};
  return window_.record(c);
}

int RecordingDevice::event(const vg::EventRequest& request, vg::Event& event) {
  window_.last_request_ = request;
  DeviceCall c = window_.make(
      "event",
      "event wait=" + std::to_string(request.wait_mode) +
          (request.prompt_wanted ? " prompt=\"" + request.prompt + "\"" : std::string()) +
          (request.initial ? " initial=\"" + request.initial_string + "\"" : std::string()));
  c.text = request.prompt;
  c.values = {static_cast<float>(request.wait_mode),
              request.prompt_wanted ? 1.0f : 0.0f,
              request.initial ? 1.0f : 0.0f,
              request.box_x,
              request.box_y,
              request.box_width,
              request.box_height};
  const int result = window_.record(c);
  if (result != vg::device_ok) return result;
  ScriptItem item;
  window_.next_input(request.wait_mode, item);
  if (item.kind == ScriptItem::closed) return vg::device_closed;
  if (item.kind == ScriptItem::failed) return vg::device_failed;
  event = item.value;
  return vg::device_ok;
}

int RecordingDevice::coordinate(int wait_mode, int& type, float& x, float& y) {
  DeviceCall c = window_.make("coordinate", "coordinate wait=" + std::to_string(wait_mode));
  c.values = {static_cast<float>(wait_mode)};
  const int result = window_.record(c);
  if (result != vg::device_ok) return result;
  ScriptItem item;
  window_.next_input(wait_mode, item);
  if (item.kind == ScriptItem::closed) return vg::device_closed;
  if (item.kind == ScriptItem::failed) return vg::device_failed;
  type = item.value.type;
  x = item.value.x;
  y = item.value.y;
  return vg::device_ok;
}

int RecordingDevice::rubberband(int mode, float x, float y) {
  DeviceCall c = window_.make_points("rubberband", 1, &x, &y);
  c.line = "rubberband mode=" + std::to_string(mode) + " " + point(x, y);
  c.values = {static_cast<float>(mode)};
  return window_.record(c);
}

int RecordingDevice::spyglass(bool on, const vg::Spyglass& parameters) {
  DeviceCall c = window_.make("spyglass", on ? "spyglass on" : "spyglass off");
  c.values = {on ? 1.0f : 0.0f, static_cast<float>(parameters.magnification),
              static_cast<float>(parameters.size)};
  return window_.record(c);
}

int RecordingDevice::text_width(const std::string& text, float& width) {
  width = window_.width_factor_ * window_.state_.text_height * static_cast<float>(text.size());
  DeviceCall c = window_.make("text_width", "text_width \"" + text + "\" = " + num(width));
  c.text = text;
  c.values = {width};
  return window_.record(c);
}

int RecordingDevice::inq_size(int& width, int& height) {
  width = window_.width_;
  height = window_.height_;
  DeviceCall c =
      window_.make("inq_size", "inq_size " + std::to_string(width) + "x" + std::to_string(height));
  c.values = {static_cast<float>(width), static_cast<float>(height)};
  return window_.record(c);
}

int RecordingDevice::title(const std::string& title) {
  DeviceCall c = window_.make("title", "title \"" + title + "\"");
  c.text = title;
  return window_.record(c);
}

int RecordingDevice::bell() {
  return window_.record(window_.make("bell", "bell"));
}

// It stands in for the window device, and names its routines.
const char* RecordingDevice::routine(vg::Op op) const {
  return vg::window_routine(op);
}

}  // namespace kovtest

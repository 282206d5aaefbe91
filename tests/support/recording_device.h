// A recording and scripted window device for tests: no X server needed.
//
//   kovtest::RecordingWindow window;       // installs itself as the window factory
//   VG_OPEN(0, status); VG_OPEN_WK(1, 0, 11, status); VG_ACTIVATE_WK(1, status);
//   window.clear();                        // forget the calls of the set-up
//   window.push_click(0.3f, 0.4f);         // script the user's input
//   ... code under test ...
//   EXPECT_EQ(window.count("fill_area"), 2);
//   const auto& box = window.calls_of("fill_area")[0];   // points, page points, state
//   EXPECT_EQ(box.state.fill_colour, 5);
//
// Every device call is recorded as a DeviceCall: its kind (the name of the
// vg::Device member, e.g. "polyline", "line_colour", "text", "event"), a
// readable line such as "polyline n=2 (0.1,0.2)(0.3,0.4)", its numbers, its
// text, and a copy of the attribute state in force when it was made.
//
// Scripted input: event() and coordinate() take the next item of one queue.
// With the queue empty, a waiting call (wait mode other than 10) returns
// device_closed (the core turns this into the user-escape status, so a test
// never hangs), and wait mode 10 returns event_none.
//
// Text width: text_width_factor() x text height x number of characters
// (factor 0.5 by default). Size: the width and height given at open, or
// those set with set_size().
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "console_capture.h"
#include "vg.h"

namespace kovtest {

// The attribute state that the device has been given.
struct DeviceState {
  int line_colour = 1, line_style = 1;
  float line_width = 1.0f;
  int marker_type = 1;
  float marker_scale = 1.0f, marker_width = 1.0f;
  int marker_colour = 1, fill_colour = 1;
  int text_font = 1, text_colour = 1;
  float text_height = 1.0f;
  int text_horizontal = 1, text_vertical = 0;
  float text_angle = 0.0f;
  int mask_colour = 0;
  bool logarithmic = false;
  float window[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  float viewport[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  bool clip = false;
  float clip_rectangle[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  int image_first = 0, image_last = 255, second_first = 0, second_last = 255;
  // World to page units through the transform in force.
  float page_x(float x) const;
  float page_y(float y) const;
};

struct DeviceCall {
  std::string kind;                   // "open", "close", "polyline", "line_colour", ...
  std::string line;                   // the readable form
  std::vector<float> x, y;            // world points (text: its position; cell arrays: the corners)
  std::vector<float> page_x, page_y;  // the same points in page units
  std::vector<float> values;          // other numbers, in argument order (see the .cpp per kind)
  std::string text;                   // text, title, prompt or measured text
  DeviceState state;                  // attributes in force when the call was made
};

// One scripted input item.
struct ScriptItem {
  enum Kind { event, closed, failed };
  Kind kind = event;
  vg::Event value;
};

class RecordingWindow;

// The device proper; every call goes to the RecordingWindow that made it.
class RecordingDevice final : public vg::Device {
 public:
  explicit RecordingDevice(RecordingWindow& window) : window_(window) {}
  int close() override;
  int clear() override;
  int update() override;
  int set_update() override;
  int set_transform(const float window[4], const float viewport[4]) override;
  int set_clip(bool on, const float rectangle[4]) override;
  int line_colour(int index) override;
  int line_style(int style) override;
  int line_width(float width) override;
  int marker_type(int type) override;
  int marker_scale(float scale) override;
  int marker_width(float width) override;
  int marker_colour(int index) override;
  int fill_colour(int index) override;
  int text_font(int font) override;
  int text_colour(int index) override;
  int text_height(float height) override;
  int text_alignment(int horizontal, int vertical) override;
  int text_angle(float degrees) override;
  int mask_colour(int index) override;
  int log_scaling(bool logarithmic) override;
  int colour_map(int first, int last, std::span<const vg::Rgb> table) override;
  int colour_range(int first, int last, int second_first, int second_last) override;
  int polyline(int n, const float x[], const float y[]) override;
  int polymarker(int n, const float x[], const float y[]) override;
  int fill_area(int n, const float x[], const float y[]) override;
  int text(float x, float y, const std::string& text) override;
  int cell_array(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
                 float y0, float x1, float y1) override;
  int real_cell_array(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                      int ystart, int xend, int yend, float x0, float y0, float x1, float y1,
                      float low, float high, bool logarithmic) override;
  int event(const vg::EventRequest& request, vg::Event& event) override;
  int coordinate(int wait_mode, int& type, float& x, float& y) override;
  int rubberband(int mode, float x, float y) override;
  int spyglass(bool on, const vg::Spyglass& parameters) override;
  int text_width(const std::string& text, float& width) override;
  int inq_size(int& width, int& height) override;
  int title(const std::string& title) override;
  int bell() override;
  const char* routine(vg::Op op) const override;

 private:
  // Records the setting of one attribute of the device state.
  template <typename T>
  int record_value(const char* kind, T DeviceState::*field, T value);

  RecordingWindow& window_;
};

// Installs itself as the window device factory for its lifetime (the default
// factory is restored afterwards), records the calls of every window device
// opened meanwhile and plays the scripted input. One at a time.
class RecordingWindow : Uncopyable {
 public:
  RecordingWindow();
  ~RecordingWindow();

  // --- Recorded calls
  const std::vector<DeviceCall>& calls() const { return calls_; }
  std::vector<DeviceCall> calls_of(const std::string& kind) const;
  int count(const std::string& kind) const;
  // Readable lines of all calls, or of one kind.
  std::vector<std::string> lines() const;
  std::vector<std::string> lines_of(const std::string& kind) const;
  // Every readable line joined with '\n' (handy in failure messages).
  std::string dump() const;
  // The texts drawn with VG_TEXT, in order.
  std::vector<std::string> texts() const;
  // True when some recorded line contains `fragment`.
  bool contains(const std::string& fragment) const;
  // Forgets the recorded calls (the device state and the script stay).
  void clear() { calls_.clear(); }

  // --- Device state as last set by the core
  const DeviceState& state() const { return state_; }
  // The colour table as last passed with colour_map.
  const std::array<vg::Rgb, vg::table_size>& colours() const { return colours_; }
  bool is_open() const { return open_; }
  int opens() const { return opens_; }
  // The request of the last event() call (prompt, box, initial string).
  const vg::EventRequest& last_request() const { return last_request_; }

  // --- Scripted input (one queue shared by event() and coordinate())
  void push_event(const vg::Event& event);
  void push_click(float x, float y);                          // event_button at page x, y
  void push_line(const std::string& text, bool tab = false);  // event_return or event_tab
  void push_redraw();                                         // event_redraw
  void push_none();                                           // event_none
  void push_closed();   // the user closes the window: device_closed
  void push_failure();  // the input call fails: device_failed
  std::size_t pending_input() const { return script_.size(); }

  // --- Behaviour
  // The factory returns null (the window cannot be opened).
  void set_fail_open(bool fail) { fail_open_ = fail; }
  // Calls of `kind` return device_failed from now on ("" stops).
  void set_failing(const std::string& kind) { failing_ = kind; }
  void set_text_width_factor(float factor) { width_factor_ = factor; }
  float text_width_factor() const { return width_factor_; }
  void set_size(int width, int height) {
    width_ = width;
    height_ = height;
  }

 private:
  friend class RecordingDevice;
  static std::unique_ptr<vg::Device> factory(int format, int left, int top, int width, int height);
  int record(DeviceCall call);
  DeviceCall make(const std::string& kind, const std::string& line) const;
  DeviceCall make_points(const std::string& kind, int n, const float x[], const float y[]) const;
  bool next_input(int wait_mode, ScriptItem& item);

  std::vector<DeviceCall> calls_;
  std::deque<ScriptItem> script_;
  DeviceState state_;
  std::array<vg::Rgb, vg::table_size> colours_{};
  vg::EventRequest last_request_;
  bool open_ = false;
  int opens_ = 0;
  bool fail_open_ = false;
  std::string failing_;
  float width_factor_ = 0.5f;
  int width_ = 0, height_ = 0;
};

}  // namespace kovtest

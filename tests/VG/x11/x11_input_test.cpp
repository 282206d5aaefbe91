// Input from the window device with events injected through XTest: clicks,
// typed lines with the editor and the history, wait mode 10, resizing back to
// the page's ratio, the close request, rubber bands and the spyglass.
#include <cmath>
#include <vector>

#include "x11_support.h"

using namespace x11test;

namespace {

class X11Input : public ::testing::Test {
 protected:
  void SetUp() override {
    KOV_NEED_DISPLAY();
    device = open_device();
    ASSERT_TRUE(device);
    window = vg::x11::window_id(*device);
    device->text_height(0.025f);
    device->fill_colour(4);
    connection.focus(window);
    connection.move_to(window, 250, 350);
    drain();
  }
  // Takes whatever is pending (motion, exposure) without waiting.
  void drain() {
    vg::Event e;
    vg::EventRequest r;
    r.wait_mode = 10;
    for (int i = 0; i < 20; ++i) {
      device->event(r, e);
      if (e.type == vg::event_none) break;
    }
  }
  vg::Event typed(const std::string& keys, bool initial = false, const std::string& start = "") {
    connection.type(keys);
    return finish(initial, start);
  }
  // A click at window pixel (x, y) comes from event input as a button press
  // at page position (page_x, page_y).
  void expect_click(int x, int y, float page_x, float page_y) {
    connection.click(window, x, y);
    vg::EventRequest r;
    vg::Event e;
    ASSERT_EQ(device->event(r, e), vg::device_ok);
    EXPECT_EQ(e.type, vg::event_button);
    EXPECT_NEAR(e.x, page_x, 1e-4f);
    EXPECT_NEAR(e.y, page_y, 1e-4f);
  }
  vg::Event finish(bool initial = false, const std::string& start = "") {
    vg::EventRequest r;
    r.wait_mode = 0;
    r.prompt_wanted = true;
    r.prompt = "ENTER TEXT";
    r.initial = initial;
    r.initial_string = start;
    r.box_x = 0.05f;
    r.box_y = 0.05f;
    r.box_width = 0.6f;
    r.box_height = 0.1f;
    vg::Event e;
    EXPECT_EQ(device->event(r, e), vg::device_ok);
    return e;
  }

  Connection connection;
  std::unique_ptr<vg::Device> device;
  unsigned long window = 0;
};

// While an input call waits (in a thread of its own) the test brings the
// pointer to (x, y), from beside it so that the device sees it move, looks
// at the window until it shows what the call draws (`ready`, 10 seconds at
// most), then ends the call with a click; the call must return device_ok.
template <typename F, typename Ready>
Picture while_waiting(Connection& connection, unsigned long window, F wait, int x, int y,
                      Ready ready, const std::string& shot = "") {
  WaitingCall input(wait);
  connection.move_to(window, x + 1, y);
  connection.move_to(window, x, y);
  Picture p;
  EXPECT_TRUE(kovtest::wait_until([&] {
    p = connection.grab(window);
    return p.width > 0 && ready(p);
  })) << "the window never showed what the input call draws";
  if (!shot.empty()) {
    EXPECT_FALSE(screenshot(window, shot).empty());
  }
  EXPECT_EQ(input.end_with_click(connection, window, x, y), vg::device_ok);
  return p;
}

TEST_F(X11Input, ButtonPressGivesPageCoordinates) {
  expect_click(100, 207, 100.0f / 707.0f, 500.0f / 707.0f);
  connection.click(window, 400, 600, 3);
  int type = -5;
  float x = 0, y = 0;
  ASSERT_EQ(device->coordinate(0, type, x, y), vg::device_ok);
  EXPECT_EQ(type, vg::event_button);
  EXPECT_NEAR(x, 400.0f / 707.0f, 1e-4f);
  EXPECT_NEAR(y, 107.0f / 707.0f, 1e-4f);
}

TEST_F(X11Input, WaitModeTenReturnsAtOnceWhenNothingIsPending) {
  vg::EventRequest r;
  r.wait_mode = 10;
  vg::Event e;
  e.type = 99;
  ASSERT_EQ(device->event(r, e), vg::device_ok);
  EXPECT_EQ(e.type, vg::event_none);
  int type = 99;
  float x, y;
  ASSERT_EQ(device->coordinate(10, type, x, y), vg::device_ok);
  EXPECT_EQ(type, vg::event_none);
  // A click waiting is taken in wait mode 10 too.
  connection.click(window, 10, 10);
  ASSERT_EQ(device->coordinate(10, type, x, y), vg::device_ok);
  EXPECT_EQ(type, vg::event_button);
}

TEST_F(X11Input, TypedLineIsEditedAndEndedByReturnOrTab) {
  connection.type("abcx");
  connection.key(XK_BackSpace);
  connection.key(XK_Left);
  connection.key(XK_Left);
  connection.type("Z");  // inserted before the b
  connection.key(XK_Return);
  vg::Event e = finish();
  EXPECT_EQ(e.type, vg::event_return);
  EXPECT_EQ(e.text, "aZbc");
  // Delete removes the character before the cursor too; tab ends with type 3.
  connection.type("hello");
  connection.key(XK_Delete);
  connection.key(XK_Tab);
  e = finish();
  EXPECT_EQ(e.type, vg::event_tab);
  EXPECT_EQ(e.text, "hell");
  // Starting from an initial string, the cursor after it.
  connection.type("2");
  connection.key(XK_Return);
  e = finish(true, "file1  ");
  EXPECT_EQ(e.text, "file12");
  // The prompt box in the fill colour (blue) with the prompt and the line in
  // it, the cursor on the third character.
  connection.type("abcd");
  connection.key(XK_Left);
  connection.key(XK_Left);
  vg::EventRequest r;
  r.prompt_wanted = true;
  r.prompt = "ENTER TEXT";
  r.box_x = 0.05f;
  r.box_y = 0.05f;
  r.box_width = 0.6f;
  r.box_height = 0.1f;
  vg::Event e2;
  const auto text = [](const Rgb8& c) { return dark(c) && c.b < 100; };
  Picture p = while_waiting(
      connection, window, [&] { return device->event(r, e2); }, 250, 350,
      [&](const Picture& q) { return near(q.at(40, 700 - 40), 0, 0, 255) && q.count(text) > 100; },
      "x11_prompt_line");
  EXPECT_TRUE(near(p.at(40, 700 - 40), 0, 0, 255));
  int x0, y0, x1, y1;
  EXPECT_GT(p.count(text, &x0, &y0, &x1, &y1), 100);
  EXPECT_GE(y0, 707 - 106);
  EXPECT_EQ(e2.type, vg::event_button);
  EXPECT_EQ(e2.text, "abcd");
}

TEST_F(X11Input, ReturnOnAnEmptyLineGivesABlankStringAndNoHistory) {
  const int before = vg::x11::history_count(*device);
  connection.key(XK_Return);
  vg::Event e = finish();
  EXPECT_EQ(e.type, vg::event_return);
  EXPECT_EQ(e.text, "");
  EXPECT_EQ(vg::x11::history_count(*device), before);
}

TEST_F(X11Input, TheHundredAndThirtyThirdCharacterIsRefused) {
  const std::string full(132, 'q');
  connection.type(full + "w");
  connection.key(XK_Return);
  vg::Event e = finish();
  EXPECT_EQ(e.text, full);
  // Cursor left at the start and right at the end change nothing.
  connection.key(XK_Left);
  connection.key(XK_Right);
  connection.key(XK_Right);
  connection.key(XK_Return);
  e = finish(true, "ab");
  EXPECT_EQ(e.text, "ab");
}

TEST_F(X11Input, HistoryRecallsOlderAndNewerLines) {
  connection.type("first");
  connection.key(XK_Return);
  finish();
  connection.type("second");
  connection.key(XK_Return);
  finish();
  // The same line again is not stored twice.
  connection.type("second");
  connection.key(XK_Return);
  const int count = vg::x11::history_count(*device);
  finish();
  EXPECT_EQ(vg::x11::history_count(*device), count);

  // Each row's keys, then what is typed, then return: the line ended, which
  // is stored as the newest (the rows run on from one another).
  const struct {
    std::vector<KeySym> keys;
    const char* typed;
    const char* line;
  } recalls[] = {
      {{XK_Up}, "", "second"},
      // A recalled older line is stored again as the newest.
      {{XK_Up, XK_Up}, "", "first"},
      {{XK_Up, XK_Up}, "", "second"},
      // Down goes back to newer lines, and past the newest empties the line.
      {{XK_Up, XK_Up, XK_Up, XK_Down}, "", "first"},
      {{XK_Up, XK_Down}, "", ""},
      // A recalled line can be edited.
      {{XK_Up}, "2", "first2"},
  };
  for (const auto& row : recalls) {
    for (const KeySym key : row.keys) connection.key(key);
    connection.type(row.typed);
    connection.key(XK_Return);
    EXPECT_EQ(finish().text, row.line);
  }
  // Forty entries at most: going up beyond the oldest stays there.
  for (int i = 0; i < 45; ++i) {
    connection.type("line" + std::to_string(i));
    connection.key(XK_Return);
    finish();
  }
  EXPECT_EQ(vg::x11::history_count(*device), 40);
  for (int i = 0; i < 45; ++i) connection.key(XK_Up);
  connection.key(XK_Return);
  EXPECT_EQ(finish().text, "line5");
}

TEST_F(X11Input, ResizedWindowSnapsBackToThePageRatio) {
  // A recognisable picture: a green bar over the top quarter.
  device->fill_colour(3);
  const float fx[4] = {0, 500, 500, 0};
  const float fy[4] = {530, 530, 707, 707};
  device->fill_area(4, fx, fy);
  device->update();
  // The device corrects the size, then asks for a redraw.
  EXPECT_TRUE(resized_and_redrawn(connection, *device, window, 800, 707));
  int w = 0, h = 0;
  connection.window_size(window, w, h);
  EXPECT_EQ(w, 500);
  EXPECT_EQ(h, 707);

  // Smaller: 400 by 707 becomes 400 by 566, and the scale follows.
  EXPECT_TRUE(resized_and_redrawn(connection, *device, window, 400, 707));
  connection.window_size(window, w, h);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 566);
  device->inq_size(w, h);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 566);
  // The old picture is kept, scaled, until the program redraws.
  Picture p = connection.grab(vg::x11::pixmap_id(*device));
  ASSERT_EQ(p.width, 400);
  EXPECT_TRUE(near(p.at(200, 20), 0, 255, 0));
  EXPECT_TRUE(is_white(p.at(200, 400)));
  // Drawing goes on with the attributes kept and the new scale: the same
  // page point is now at 566/707 of the pixels.
  device->fill_area(4, fx, fy);
  expect_click(200, 283, 200.0f / 566.0f, (566.0f - 283.0f) / 566.0f);
}

TEST_F(X11Input, ClosingTheWindowGivesDeviceClosed) {
  connection.close_request(window);
  vg::EventRequest r;
  vg::Event e;
  EXPECT_EQ(device->event(r, e), vg::device_closed);
  connection.close_request(window);
  int type = 0;
  float x, y;
  EXPECT_EQ(device->coordinate(0, type, x, y), vg::device_closed);
}

TEST_F(X11Input, RubberBandsAndCrossHairAreDrawnOnTheWindowOnly) {
  device->rubberband(2, wx(100), wy(100));
  vg::EventRequest r;
  vg::Event e;
  Picture w = while_waiting(
      connection, window, [&] { return device->event(r, e); }, 300, 400,
      [](const Picture& q) { return dark(q.at(200, 100)) && dark(q.at(300, 250)); });
  EXPECT_EQ(e.type, vg::event_button);
  // The rectangle from the anchor to the pointer, inverted on white.
  EXPECT_EQ(w.box(dark), (Box{100, 100, 300, 400}));
  EXPECT_TRUE(dark(w.at(200, 100)));
  EXPECT_TRUE(is_white(w.at(200, 200)));
  // Nothing stays behind, and the pixmap never had it.
  EXPECT_EQ(connection.grab(window).count([](const Rgb8& c) { return !is_white(c); }), 0);
  EXPECT_EQ(connection.grab(vg::x11::pixmap_id(*device)).count([](const Rgb8& c) {
    return !is_white(c);
  }),
            0);

  // A line band, over a black background: inverted to white.
  device->fill_colour(1);
  const float fx[4] = {0, 500, 500, 0};
  const float fy[4] = {0, 0, 707, 707};
  device->fill_area(4, fx, fy);
  device->rubberband(1, wx(100), wy(100));
  w = while_waiting(
      connection, window, [&] { return device->event(r, e); }, 300, 300,
      [](const Picture& q) { return is_white(q.at(200, 200)); });
  EXPECT_TRUE(is_white(w.at(200, 200)));
  EXPECT_TRUE(dark(w.at(200, 100)));
  device->rubberband(0, 0, 0);

  // Coordinate input without a band shows a cross-hair through the pointer.
  int type = 0;
  float x = 0, y = 0;
  w = while_waiting(
      connection, window, [&] { return device->coordinate(0, type, x, y); }, 123, 456,
      [](const Picture& q) { return is_white(q.at(10, 456)) && is_white(q.at(123, 10)); });
  EXPECT_EQ(type, vg::event_button);
  EXPECT_TRUE(is_white(w.at(10, 456)));
  EXPECT_TRUE(is_white(w.at(123, 10)));
  EXPECT_TRUE(dark(w.at(10, 450)));
  // (The crossing pixel is inverted twice.)
  EXPECT_EQ(w.count([](const Rgb8& c) { return is_white(c); }), 500 + 707 - 2);
  EXPECT_EQ(connection.grab(window).count([](const Rgb8& c) { return is_white(c); }), 0);
}

TEST_F(X11Input, SpyglassMagnifiesAndReadsOutThePixelUnderThePointer) {
  std::vector<float> data(100 * 100);
  for (int i = 0; i < 100 * 100; ++i)
    data[static_cast<std::size_t>(i)] = static_cast<float>(i % 100);
  io::View2D<const float> view(data.data(), 100, 100);
  device->real_cell_array(view, {}, 1, 1, 100, 100, 100, 100, 400, 400, 0, 100, false);
  device->update();
  Picture before = connection.grab(window);
  vg::Spyglass glass;
  glass.data = view;
  glass.xstart = glass.ystart = 1;
  glass.xend = glass.yend = 100;
  glass.x0 = glass.y0 = 100;
  glass.x1 = glass.y1 = 400;
  glass.low = 0;
  glass.high = 100;
  glass.magnification = 4;
  glass.size = 15;
  ASSERT_EQ(device->spyglass(true, glass), vg::device_ok);
  vg::EventRequest r;
  vg::Event e;
  // The read-out is drawn last.
  const auto readout = [](const Picture& q) {
    Picture top = q;
    top.height = 20;
    return is_white(q.at(2, 2)) && top.count([](const Rgb8& c) { return dark(c); }) > 50;
  };
  Picture w = while_waiting(
      connection, window, [&] { return device->event(r, e); }, 250, 350, readout, "x11_spyglass");
  // The read-out box at the top left: white, with black text in it.
  EXPECT_TRUE(is_white(w.at(2, 2)));
  int tx0, ty0, tx1, ty1;
  Picture top = w;
  top.height = 20;
  EXPECT_GT(top.count([](const Rgb8& c) { return dark(c); }, &tx0, &ty0, &tx1, &ty1), 50);
  // Sized for "X=99999, Y=99999, I=-9.999999e-99": well over 200 pixels.
  int right = 0;
  for (int x = 0; x < 500; ++x) {
    if (is_white(w.at(x, 5))) right = x;
  }
  EXPECT_GT(right, 200);
  // The magnified box: 15 data pixels of 4 window pixels, framed, up and
  // right of the pointer; one data column is 3 window pixels of the image,
  // so the box holds wider steps of grey than the image.
  EXPECT_FALSE(w.pixels == before.pixels);
  // Afterwards the window is as it was.
  EXPECT_EQ(connection.grab(window).pixels, before.pixels);

  glass.high = -1;  // below low
  kovtest::ConsoleCapture console;
  EXPECT_EQ(device->spyglass(true, glass), vg::device_failed);
  EXPECT_EQ(console.text(), "ERROR: Scaling range unacceptable\n");
  device->spyglass(false, glass);
}

}  // namespace

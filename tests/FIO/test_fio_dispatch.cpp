// The dispatcher: formats from extensions and companion files, named files,
// sequence steps, what a good input records, and the window paths (the file
// choice, the format menu, warning boxes) through the recording device.
#include <array>

#include "../GS/gs_tool_script.h"
#include "fio_files.h"
#include "gs.h"
#include "recording_device.h"
#include "stdin_pipe.h"

namespace {

using fiotest::good;
using fiotest::Tiff;

TEST(FioDispatch, FormatsFromExtensionsAndCompanions) {
  kovtest::TempDir dir;
  for (const char* f : {"run01", "run01hm", "run02hm", "d.bin", "x.inf", "y.INF"}) {
    kovtest::write_file(dir.file(f), "-");
  }
  kovtest::write_file(dir.file("m.zdf"), "{ DIM_1 = 1 ; }");
  kovtest::write_file(dir.file("n.zdf"), std::string(2000, 'n'));
  using C = fio::ExtensionChoice;
  struct Case {
    const char* name;
    C choice;
    const char* format;
    const char* read_as;  // the file name afterwards
  };
  std::vector<Case> cases{
      {"run01", C::chosen, fio::format_gas2d, "run01"},
      {"run01hm", C::chosen, fio::format_gas2d, "run01"},
      {"run02hm", C::unknown, "", "run02hm"},  // no run02 beside it
      {"m.zdf", C::chosen, fio::format_merin, "m.zdf"},
      {"n.zdf", C::chosen, fio::format_binary, "n.zdf"},
      {"d.bin.INFO", C::chosen, fio::format_binary, "d.bin"},
      {"e.info", C::keep, "", "e.info"},
      {"x.img", C::chosen, fio::format_bas2000, "x.inf"},
      {"y.img", C::chosen, fio::format_bas2000, "y.INF"},
      {"z.IMG", C::chosen, fio::format_hamamatsu, "z.IMG"},
      {"s.xyz", C::unknown, "", "s.xyz"},
  };
  // The extensions that name a format by themselves, in any case.
  const std::pair<const char*, std::vector<const char*>> by_extension[] = {
      {fio::format_imagequant, {"s.gel"}},
      {fio::format_binary, {"s.final", "s.corr", "s.cor2", "s.cor", "s.bin"}},
      {fio::format_bsl, {"s.bsl"}},
      {fio::format_dexoram, {"s.dxm"}},
      {fio::format_mar,
       {"s.image", "s.mar3450", "s.mar2300", "s.mar2000", "s.mar1200", "s.mar1600"}},
      {fio::format_bas2000, {"s.inf"}},
      {fio::format_vexal, {"s.vxl"}},
      {fio::format_mar_pck, {"s.pck"}},
      {fio::format_photometrics, {"s.pmi"}},
      {fio::format_princeton, {"s.spe", "s.SPE"}},
      {fio::format_tiff, {"s.mccd", "s.tif", "s.Tiff"}},
  };
  for (const auto& [format, names] : by_extension) {
    for (const char* name : names) cases.push_back({name, C::chosen, format, name});
  }
  for (const Case& c : cases) {
    std::string name = dir.file(c.name), format;
    int status = good;
    EXPECT_EQ(fio::format_from_extension(name, format, status), c.choice) << c.name;
    EXPECT_EQ(format, c.format) << c.name;
    EXPECT_EQ(name, dir.file(c.read_as)) << c.name;
    EXPECT_EQ(status, good);
  }
}

// The dispatcher's arrays and results.
struct Input {
  int xmax = 8, ymax = 8;
  io::Image<float> data, var;
  std::vector<float> xa = std::vector<float>(8), ya = std::vector<float>(8);
  bool defined = false;
  int xn = 0, yn = 0, status = good;
  std::string name, title, xl, yl, zl;
  float px = 1e-5f, py = 2e-5f;
  bool variances = false;
  Input() {
    data.allocate(xmax, ymax);
    var.allocate(xmax, ymax);
  }
  void run(int mode, const std::vector<std::string>& prompt = {"SELECT 90 DEGREE ROTATION IMAGE"}) {
    defined = false;
    FIO_GUI_INPUT(1, static_cast<int>(prompt.size()), prompt, mode, variances, defined, name, xn,
                  yn, xa, ya, data.view(), var.view(), title, xl, yl, zl, px, py, status);
  }
};

void reset(const std::string& format = "") {
  int status = good;
  ST_DEF_SYSTEM(status);
  FIO_DEF_INPUT(status);
  if (!format.empty()) FIO_SET_INPUT(false, format, 0.0f, status);
}

std::string tiff_file(const kovtest::TempDir& dir, const std::string& name, int base) {
  Tiff t;
  t.rows =
      fiotest::rows16(t.width, t.height, false, [&](int x, int y) { return base + 10 * x + y; });
  kovtest::write_file(dir.file(name), t.bytes());
  return dir.file(name);
}

TEST(FioDispatch, NamedFilesSequencesAndWhatAGoodInputRecords) {
  kovtest::TempDir dir;
  kovtest::ConsoleCapture console;
  reset();
  Input in;
  in.name = tiff_file(dir, "img0009.tif", 0);
  in.run(fio::input_named);  // no format ever chosen
  EXPECT_FALSE(in.defined);
  EXPECT_EQ(console.text(), "WARNING: Unknown file format\n");
  console.clear();
  in.run(1);  // stepping before any input
  EXPECT_FALSE(in.defined);
  EXPECT_EQ(console.text(), "CAN'T INPUT ANOTHER FILE IN AN UNDEFINED SEQUENCE\n");

  reset(fio::format_tiff);
  in.variances = true;
  in.run(fio::input_named);
  ASSERT_TRUE(in.defined) << console.text();
  EXPECT_EQ(in.xn, 4);
  EXPECT_EQ(in.yn, 3);
  EXPECT_EQ(in.title, "img0009.tif");
  EXPECT_EQ(in.xa[2], 2.5f);
  EXPECT_EQ(in.var(4, 3), in.data(4, 3));
  int retstat = 0, length = 0, status = good;
  float value = 0.0f;
  std::string text;
  IO_INQ_KEYVALUE("#INPUT_FORMAT", length, text, retstat, status);
  EXPECT_EQ(text, "TIFF");
  IO_INQ_RKEYVALUE("#OVERLOAD_VALUE", value, retstat, status);
  EXPECT_EQ(value, 65334.5f);
  IO_INQ_RKEYVALUE("Y_PIXEL_SIZE", value, retstat, status);
  EXPECT_EQ(value, 2e-5f);
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  GS_INQ_IDR(x0, y0, x1, y1, status);
  EXPECT_EQ(std::vector<float>({x0, y0, x1, y1}), std::vector<float>({0, 0, 4, 3}));

  // The next file of the series; one that is not there keeps the sequence.
  tiff_file(dir, "img0010.tif", 500);
  in.run(1);
  ASSERT_TRUE(in.defined);
  EXPECT_EQ(in.name, dir.file("img0010.tif"));
  EXPECT_EQ(in.data(1, 1), 511);
  console.clear();
  in.run(5);
  EXPECT_FALSE(in.defined);
  EXPECT_EQ(console.text(),
            "WARNING: Error in opening file: " + dir.file("img0015.tif") +
                "\nWARNING: PROBLEM INPUTTING DATA FROM FILE:\n" + dir.file("img0015.tif") +
                "\nWARNING: DATA NOT DEFINED CORRECTLY\n" + dir.file("img0015.tif") + "\n");
  in.name = dir.file("plain.tif");
  console.clear();
  in.run(-1);
  EXPECT_EQ(console.text(),
            "FAILED TO FIND NEW \"SEQUENCE\" FILE:\n" + dir.file("plain.tif") + "\n");
  EXPECT_EQ(in.status, good);

  in.data.release();
  in.run(fio::input_named);
  EXPECT_EQ(in.status, fio::status_bad_width);
}

TEST(FioDispatch, UnknownExtensionOnTheConsoleAsksTheFormat) {
  kovtest::TempDir dir;
  reset();
  Input in;
  in.name = tiff_file(dir, "scan.raw", 0);
  kovtest::ConsoleCapture console;
  kovtest::StdinPipe answers(in.name + "\n?\nti\n");
  in.run(fio::input_choose);
  EXPECT_TRUE(in.defined) << console.text();
  EXPECT_NE(console.text().find("UNKNOWN EXTENSION: SELECT FILE FORMAT:"), std::string::npos);
  EXPECT_NE(console.text().find("TIFF: Limited TIFF input (compressed data not supported)"),
            std::string::npos);
  kovtest::StdinPipe cancel(in.name + "\nCANCEL\n");
  in.run(fio::input_choose);
  EXPECT_FALSE(in.defined);
  EXPECT_EQ(in.status, good);
}

// Graphics opened on the recording window.
struct Window {
  kovtest::RecordingWindow window;
  Window() {
    int status = good;
    ST_DEF_SYSTEM(status);
    GS_OPEN_GRAPHICS(status);
    window.clear();
  }
  ~Window() {
    int status = good;
    GS_CLOSE_GRAPHICS(status);
  }
  // Centre of button k (from 0) of the format menu: four columns filled
  // column by column under one title line in the GUI region.
  void click_format_button(int k) {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int status = good;
    GS_INQ_GUIREGION(x0, y0, x1, y1, status);
    const float w = (x1 - x0) / 4, h = (y1 - y0) / 5;
    window.push_click(x0 + (static_cast<float>(k / 4) + 0.5f) * w,
                      y1 - (static_cast<float>(k % 4) + 1.5f) * h);
  }
};

TEST(FioDispatch, ChoosingInTheWindow) {
  kovtest::TempDir dir;
  reset();
  Window w;
  Input in;
  in.name = tiff_file(dir, "first.unknown", 3);
  tooltest::type_name(w.window, in.name);  // the name typed in the file selection tool
  tooltest::answer_yes(w.window);
  w.click_format_button(15);  // "TIFF"
  in.run(fio::input_choose);
  ASSERT_TRUE(in.defined) << w.window.dump();
  EXPECT_EQ(in.data(2, 1), 3 + 21);
  EXPECT_TRUE(w.window.contains("SELECT 90 DEGREE ROTATION IMAGE"));
  EXPECT_TRUE(w.window.contains("UNKNOWN EXTENSION: SELECT FILE FORMAT:"));
  EXPECT_TRUE(w.window.contains("INPUTTING DATA FROM FILE"));

  // CANCEL in the menu inputs nothing; CANCEL in the tool neither, the name
  // staying as it was; closing the window passes up.
  tooltest::type_name(w.window, in.name);
  tooltest::answer_yes(w.window);
  w.click_format_button(0);
  in.run(fio::input_choose);
  EXPECT_FALSE(in.defined);
  EXPECT_EQ(in.status, good);
  const std::string before = in.name;
  tooltest::command(w.window, 0);
  in.run(fio::input_choose);
  EXPECT_FALSE(in.defined);
  EXPECT_EQ(in.status, good);
  EXPECT_EQ(in.name, before);
  tooltest::type_name(w.window, in.name);
  tooltest::answer_yes(w.window);
  w.window.push_closed();
  in.run(fio::input_choose);
  EXPECT_EQ(in.status, io::status_escape);

  // A warning goes into a box, not onto the console.
  in.status = good;
  reset();
  kovtest::ConsoleCapture console;
  in.run(3);
  EXPECT_TRUE(w.window.contains("CAN'T INPUT ANOTHER FILE IN AN UNDEFINED SEQUENCE"));
  EXPECT_EQ(console.text(), "");

  // CANCEL in a reader's own question (the layout form of raw data) is a
  // problem of the input, told as any other.
  in.status = good;
  kovtest::write_file(dir.file("raw.bin"), std::string(8, '\0'));
  tooltest::type_name(w.window, dir.file("raw.bin"));
  tooltest::answer_yes(w.window);
  tooltest::control(w.window, 6, 1);
  in.run(fio::input_choose);
  EXPECT_FALSE(in.defined);
  EXPECT_TRUE(w.window.contains("WARNING: PROBLEM INPUTTING DATA FROM FILE:"));
}

}  // namespace

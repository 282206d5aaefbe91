// Internal services shared by the fiolib sources (not part of the public API).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "fio.h"
#include "io.h"

namespace fio {

// Whether the window workstation is open (the widgets can be used).
bool window_open();

// A warning for the user: a warning box in the GUI region when the window
// is open, else the lines on the console, so that nothing is lost.
void warn(std::span<const std::string> lines, int& status);
void warn(std::initializer_list<std::string> lines, int& status);

// "%Nd" of a number (right-aligned in `width` places).
std::string right(long long value, int width);

// The image input result of a reader, as references to the caller's items.
struct Result {
  bool variances;
  std::string& file_name;
  int& retstat;
  int& xnumdat;
  int& ynumdat;
  std::span<float> x_axis;
  std::span<float> y_axis;
  io::View2D<float> data;
  io::View2D<float> var_data;
  std::string& title;
  std::string& xlabel;
  std::string& ylabel;
  std::string& zlabel;
};

// A check of a routine's arguments, and the status it gives when it fails.
struct Check {
  bool bad;
  int code;
};
// True when no check fails; otherwise the status becomes the code of the
// first that fails (in the order given), with `identification` recorded.
bool checks_pass(std::initializer_list<Check> checks, const char* identification, int& status);

// The parameters of the image input result in the definition of a reader
// or of its helper, in their order, and the same names passed on.
#define FIO_RESULT_ARGS                                                                         \
  bool variances, std::string &file_name, int &retstat, int &xnumdat, int &ynumdat,             \
      std::span<float> x_axis, std::span<float> y_axis, io::View2D<float> data,                 \
      io::View2D<float> var_data, std::string &title, std::string &xlabel, std::string &ylabel, \
      std::string &zlabel
#define FIO_RESULT_PASS                                                                           \
  variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis, data, var_data, title, xlabel, \
      ylabel, zlabel

// Checks a data array: at least 1 by 1 (180001, 180002).
bool check_array(io::View2D<float> data, const char* identification, int& status);

// Checks the caller's arrays: a data array of at least 1 by 1 (180001,
// 180002), axes at least as long as the declared dimensions, a variance
// array of the same dimensions when variances are wanted.
bool check_result(const Result& r, const char* identification, int& status);

// The start of a reader: checks the caller's arrays, then marks the result
// failed and empty until the reader has read.
bool begin_input(Result& r, const char* identification, int& status);

// Opens the data file of a reader in the input slot, asking its name on the
// console with `prompt` (item and prompt text); true when it is open.
// Otherwise retstat tells why: cancelled at the prompt, or failed after a
// warning that the file cannot be opened.
bool open_data(bool prompt, const std::string& item, const std::string& prompt_text, Result& r,
               int& status);

// "INPUTTING DATA FROM FILE" in the GUI region, when the window is open.
void show_inputting(int& status);

// An INFO line that the user must see beside the image read: on the
// console, and kept (fio::input_notes) until the next reading begins.
void note(const std::string& line);
// The line of a file that holds more images than the one input.
void note_images(long long images);
// Forgets the notes of the last reading.
void clear_notes();

// Completes a good input: pixel-centre axes (i - 0.5), the labels
// "Columns", "Rows" and "Intensity", and the variances when wanted.
void finish_input(Result& r);

// Opens the data file for reading in the input slot. With `prompt` the name
// is asked on the console (item, prompt text, error "Unacceptable input"),
// translated, and asked again after "Error in opening file, Please retype
// name"; the user's escape gives result 1. Without it the given name is
// translated and opened (result 1 when that fails).
void open_named(bool prompt, const std::string& item, const std::string& prompt_text,
                const std::string& mode, std::string& file_name, int& result, int& file_id,
                int& status);

// Closes the input slot if it is open.
void close_input();
// Closes the input slot when the scope of a reader ends, on every way out.
class InputCloser {
 public:
  InputCloser() = default;
  ~InputCloser() { close_input(); }
  InputCloser(const InputCloser&) = delete;
  InputCloser& operator=(const InputCloser&) = delete;
};

// A file exists (and is not a directory).
bool file_exists(const std::string& file_name);

// The first bytes of the file open in the input slot, as many as `start`
// holds; false when the file is shorter.
bool read_file_start(std::span<std::uint8_t> start);
// The unsigned integer of n bytes (1 to 4) at p, least significant first.
std::uint32_t little_endian(const std::uint8_t* p, int n);

// --- The places where the user is asked ------------------------------------

// One integer within low .. high, the current value the default: in the
// window (the user's closing of the window passes up as the escape status),
// else on the console (the escape there only leaves the question). False
// when the user left.
bool ask_integer(const std::string& prompt, int low, int high, std::span<const std::string> help,
                 const std::string& error, int& value, int& status);

// The file selection: returns the chosen name in file_name with retstat 0,
// or retstat 1 when the user cancelled. Its arguments are those of the file
// selection tool (prompt and help lines, file mode 1 for an existing input
// file, the second option, the extension choice).
void select_file(int max_prompt, int num_prompt, std::span<const std::string> prompt, int max_help,
                 int num_help, std::span<const std::string> help, int file_mode, int option,
                 std::string& extension, std::string& file_name, int& retstat, int& status);

// A region of an image and its re-binning factors (image pixel numbers).
struct Region {
  int x1 = 1, y1 = 1, x2 = 1, y2 = 1;
  int xbin = 1, ybin = 1;
};
// Output pixels of a region after re-binning (whole bins only).
inline int binned(int first, int last, int bin) {
  return bin < 1 || last < first ? 0 : (last - first + 1) / bin;
}
// The "INPUT REGION AND RE-BIN FACTOR FORM": lets the user change `region`
// of an image of width by height pixels until it is possible and fits the
// arrays of xmaxdat by ymaxdat after re-binning; `cancelled` when the user
// left it.
void input_region(int width, int height, int xmaxdat, int ymaxdat, Region& region, bool& cancelled,
                  int& status);
// Why a region cannot be used: "" when it can.
std::string region_problem(const Region& region, int xmaxdat, int ymaxdat);

// The layout form of the raw binary reader: lets the user change `layout`;
// `cancelled` when the user left it.
void input_binary_layout(const std::string& file_name, BinaryLayout& layout, bool& cancelled,
                         int& status);

// Reads the raw image of `layout` from the file open in the input slot into
// the result (clipped to the arrays) and completes it; a file too short for
// the layout is refused with a warning (retstat fio::input_failed).
void read_raw(const BinaryLayout& layout, Result& r, int& status);
// The overload value of a stored type: its largest value less 0.5, 1.7E38
// for reals.
float type_overload(int type);

// The size of the first image of the TIFF file open in the input slot,
// without a word on the console (the reader tells what is wrong with the
// file); false when the header does not give it.
bool tiff_image_size(int& width, int& height);

// The size of image 1 of the keyword-header file open in the input slot,
// when its first section is that image (the reader's image without
// questions); false when the header does not give it.
bool merin_image_size(int& width, int& height);

// A camera format of a fixed header: its format name, the header's size,
// and the raw layout that the header gives: the image's width and height
// whenever the header holds them, and "" or the first line of the warning
// that says why the image cannot be read.
struct Camera {
  const char* format;
  std::size_t header_size;
  std::string (*layout)(std::span<const std::uint8_t> header, BinaryLayout& layout);
};
// The camera format of a format name; null for another format.
const Camera* camera_of(const std::string& format_name);

// The warning of a reader that this version does not have; one more line
// when no layout of the format is known.
void not_available(const char* format_name, bool layout_unknown, Result& r, int& status);

// --- Text files of the plate and graph formats ------------------------------

// Longest text line that these readers take.
inline constexpr int text_line_limit = 4095;
// What reading a text line gave.
enum class TextLine { read, end, too_long };
// The next line of the file open in the input slot, without its line end
// and trailing blanks (a carriage return counts as one).
TextLine text_line(std::string& line);
// The numbers of a line, separated by blanks, tabs or commas; false when a
// word of it is not a finite number.
bool numbers_of(const std::string& line, std::vector<double>& numbers);
// A refusal: the warning line that says what is wrong, then the file.
void refuse(const std::string& problem, const std::string& file_name, int& status);
// The start of a reader whose file begins with a header: checks the
// caller's arrays, opens the file in the input slot and reads its header
// with `header` ("" or the warning line that refuses it). False after the
// refusal (the slot closed), else true with the file open.
bool begin_with_header(Result& r, const char* identification,
                       const std::function<std::string()>& header, int& status);

// Opens the data file beside a reader's header in the input slot; false
// after a warning when it cannot be opened.
bool open_beside(const std::string& file_name, int& status);

// The sizes that the headers of these formats tell, from the file open in
// the input slot; false when the header is refused (the number of points,
// by 1, for the X/Y columns).
bool bas2000_size(const std::string& file_name, int& width, int& height, int& status);
bool bsl_size(const std::string& file_name, int& width, int& height, int& status);
bool dexoram_size(const std::string& file_name, int& width, int& height, int& status);
bool photometrics_size(const std::string& file_name, int& width, int& height, int& status);

// The pixels of a packed image-plate stream (the bytes after its
// identifier line), version 1 or 2, of `width` pixels a row, into `pixels`
// (as many as the image has); false when the stream ends before the last
// pixel. Reads and writes nothing outside the two spans, whatever the bytes.
bool unpack_words(std::span<const std::uint8_t> stream, int version, int width,
                  std::span<std::uint16_t> pixels);
// The size of the image-plate file (either layout) open in the input slot;
// false when its header does not give one.
bool mar_image_size(int& width, int& height);

}  // namespace fio

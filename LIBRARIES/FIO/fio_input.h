// fiolib, image input: the dispatcher FIO_GUI_INPUT (file choice, format
// from the extension or a menu, numbered sequences), its remembered state,
// and the format readers.
//
// The image input result that every reader fills (all arrays are the
// caller's; no reader allocates an image):
//   variances   whether the caller keeps a variance array beside the data
//   file_name   file to read; may change (sequence step, companion file)
//   retstat     0 data input; 1 cancelled; -1 nothing done (unknown
//               format); any other value a failure the reader has reported
//   xnumdat, ynumdat   columns and rows filled, 1 .. xnumdat by 1 .. ynumdat
//   x_axis, y_axis     coordinate of each column and row (at least the
//               declared width and height); a format without axes gives
//               element i the value i - 0.5
//   data        the caller's array with its declared dimensions (xmaxdat by
//               ymaxdat); pixel values as reals
//   var_data    variance estimates when variances are wanted (same
//               dimensions); each pixel's value, at least 0 (counting
//               statistics)
//   title, xlabel, ylabel, zlabel   132 characters each
//   x_pixel_size, y_pixel_size      metres; some readers return the file's
//   overload    value at or above which a pixel counts as saturated
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fio_stream.h"
#include "io.h"

namespace fio {

// Statuses of the dispatcher and the readers.
inline constexpr int status_bad_tiff_integer = module_offset + st::bad_file_data;    // 181005
inline constexpr int status_nothing_wanted = module_offset + st::array_dimension_1;  // 180001
inline constexpr int status_too_much_wanted = module_offset + st::region_1;          // 180005

// Input modes of FIO_GUI_INPUT other than a sequence step.
inline constexpr int input_choose = 0;
inline constexpr int input_named = io::status_good;  // -2147483647

// Reader result codes shared by every reader.
inline constexpr int input_done = 0;
inline constexpr int input_cancelled = 1;
inline constexpr int input_unknown_format = -1;
inline constexpr int input_failed = 2;  // a reader's own failure (after its warning)

// Result codes of FIO_IN_IQRIMAGE (and so of FIO_IN_IQ).
inline constexpr int tiff_part_of_region = 1;  // the image holds only part of the region
inline constexpr int tiff_not_found = 2;       // no image in the file
inline constexpr int tiff_cannot_decode = 3;   // a feature not supported
inline constexpr int tiff_bad_file = 4;        // not a TIFF file, or a broken one
inline constexpr int tiff_none_of_region = 5;  // the image holds none of the region

// Format names of the dispatcher.
inline constexpr const char* format_gas2d = "GAS 2-D DETECTOR (DALV)";
inline constexpr const char* format_imagequant = "IMAGEQUANT";
inline constexpr const char* format_binary = "BINARY";
inline constexpr const char* format_bsl = "BSL/OTOKO";
inline constexpr const char* format_dexoram = "DEXORAM";
inline constexpr const char* format_vexal = "VEXAL STANDARD FORMAT";
inline constexpr const char* format_bas2000 = "FUJI BAS-2000";
inline constexpr const char* format_hamamatsu = "HAMAMATSU PHOTONICS";
inline constexpr const char* format_merin = "MERIN";
inline constexpr const char* format_mar = "MAR FORMAT";
inline constexpr const char* format_mar_pck = "MAR-PCK";
inline constexpr const char* format_photometrics = "PHOTOMETRICS CCD FORMAT";
inline constexpr const char* format_princeton = "PRINCETON CCD FORMAT";
inline constexpr const char* format_tiff = "TIFF";

// Every format name of the reader table, in its order.
std::vector<std::string> format_names();
// The format name of a name given by a user: a format name or a label of
// the format menu ("PRINCETON", "FUJI (BAS)" ...), in any case; "" when it
// is neither.
std::string format_of_name(const std::string& name);

// What the extension of a file name says (the dispatcher's choice without
// the menu).
enum class ExtensionChoice {
  chosen,   // format_name set (file_name may have become a companion file)
  keep,     // keep the current format (a ".info" name without its data file)
  unknown,  // no rule for the extension: the user must be asked
};
// The extension rules in order: "hm" companions of names without
// extension, the extension table (lower-cased extension), ".info" data
// files, ".img" with ".inf" or ".INF" companions, ".zdf" by content.
ExtensionChoice format_from_extension(std::string& file_name, std::string& format_name,
                                      int& status);

// The stored types of the raw binary reader.
inline constexpr int type_int8 = 1;
inline constexpr int type_uint8 = 2;
inline constexpr int type_int16 = 3;
inline constexpr int type_uint16 = 4;
inline constexpr int type_int32 = 5;
inline constexpr int type_uint32 = 6;
inline constexpr int type_real32 = 7;
inline constexpr int type_real64 = 8;
// The name of a stored type in header files and forms ("UINT16"); "" for
// another code. type_of_name is its inverse (any case; 0 when unknown).
std::string type_name(int type);
int type_of_name(const std::string& name);
// Bytes of one element of a stored type (0 for another code).
int type_size(int type);

// The layout of a raw binary image.
struct BinaryLayout {
  int width = 0;                 // pixels per stored row
  int height = 0;                // stored rows
  std::int64_t skip = 0;         // bytes before the first pixel
  int type = type_uint16;        // fio::type_*
  bool high_byte_first = false;  // byte order of the file
  bool top_first = false;        // rows stored top first: the last stored row is row 1
  float x_pixel_size = 0.0f;     // metres; 0 when not given
  float y_pixel_size = 0.0f;
  bool has_overload = false;  // an overload value given
  float overload = 0.0f;
  long long images = 1;  // images the file holds; the first is input
};

}  // namespace fio

// ---------------------------------------------------------------------------
// The dispatcher
// ---------------------------------------------------------------------------
// Input mode 0: the user chooses a file with the file selection tool (its
// prompt lines are `prompt`); fio::input_named (-2147483647): reads
// file_name with the current format, without asking and without looking at
// its extension; any other n: the file n steps along the numbered series of
// the last good input. data_defined becomes true only when an image was
// input with positive width and height; the defaults database then gets
// "#OVERLOAD_VALUE", "#INPUT_FORMAT", "X_PIXEL_SIZE" and "Y_PIXEL_SIZE", and
// the image data region is the whole new image. A declared width below 1
// gives status 180001, a height below 1 180002.
void FIO_GUI_INPUT(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                   int input_mode, bool variances, bool& data_defined, std::string& file_name,
                   int& xnumdat, int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                   io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                   std::string& xlabel, std::string& ylabel, std::string& zlabel,
                   float& x_pixel_size, float& y_pixel_size, int& status);

namespace fio {
// The file choice of input mode 0 on its own, for a caller that sizes its
// arrays to the image before reading it: the file selection tool with
// `prompt`, then the format from the extension or the format menu, which
// becomes the current format, then the message that data are being input.
// retstat input_done with file_name the chosen file (read it with
// FIO_GUI_INPUT in mode fio::input_named), input_cancelled when the user
// cancelled the selection or the format menu.
void choose_input_file(int max_prompt, int num_prompt, std::span<const std::string> prompt,
                       std::string& file_name, int& retstat, int& status);

// The INFO lines of the last reading that the user must see beside the
// image (a file holding more images than the one input), already on the
// console; empty when there are none.
std::vector<std::string> input_notes();

// Results of FIO_INQ_IMAGESIZE.
inline constexpr int size_known = 0;
inline constexpr int size_not_known = 1;   // the format tells its size only when read
inline constexpr int size_unreadable = 2;  // the file cannot be opened, or no size in it
}  // namespace fio

// The width and height of the image in file_name, from the header of the
// format named (a format name of the dispatcher), before the image is read,
// so that the caller can make its arrays large enough. retstat
// fio::size_known with the size; fio::size_not_known for a format whose size
// is known only when it is read (the binary format without its ".info"
// header, and the two formats whose layout is not known);
// fio::size_unreadable when the file cannot be opened or its header gives no
// size. Known for TIFF, IMAGEQUANT, BINARY with its header file, MERIN (its
// first image), PRINCETON, HAMAMATSU, FUJI BAS-2000, BSL/OTOKO (its first
// file), PHOTOMETRICS, DEXORAM (the number of points by 1), MAR FORMAT and
// MAR-PCK.
void FIO_INQ_IMAGESIZE(const std::string& file_name, const std::string& format_name, int& width,
                       int& height, int& retstat, int& status);

// The dispatcher's state: whether a sequence is defined (a good input has
// been made), the current format name, the overload value of the last input.
// Defaults: false, blank, 0.
void FIO_DEF_INPUT(int& status);
void FIO_SET_INPUT(bool sequence_defined, const std::string& format_name, float overload,
                   int& status);
void FIO_INQ_INPUT(bool& sequence_defined, std::string& format_name, float& overload, int& status);

// ---------------------------------------------------------------------------
// The readers. Leading flags: `prompt` asks the file name on the console;
// `interactive` asks the region (and re-binning), or the layout, of the user:
// in the window when a window workstation is open, else on the console.
// ---------------------------------------------------------------------------
// Uncompressed TIFF: 8, 12, 16 or 32 bits (unsigned and signed integers, IEEE
// reals), strips anywhere in the file. `top_first` numbers the rows from the
// last stored one; `sqrt_scale` squares 16-bit values over 21471.
void FIO_IN_IQ(bool prompt, bool interactive, bool top_first, bool sqrt_scale, bool variances,
               std::string& file_name, int& retstat, int& xnumdat, int& ynumdat,
               std::span<float> x_axis, std::span<float> y_axis, io::View2D<float> data,
               io::View2D<float> var_data, std::string& title, std::string& xlabel,
               std::string& ylabel, std::string& zlabel, int& status);
// Width and height of the first image of the TIFF file open on file_id.
void FIO_TIFF_IMAGESIZE(int file_id, const std::string& file_name, int& width, int& height,
                        int& status);
// Decodes the region first_col .. last_col by first_row .. last_row (image
// pixel numbers from 1, clipped to the image) of the first image into
// `data`, each output pixel the sum of xbin by ybin image pixels;
// high_byte_first returns the file's byte order. result: 0 or a
// fio::tiff_* code (after the console warnings).
void FIO_IN_IQRIMAGE(int file_id, bool& high_byte_first, bool top_first, bool sqrt_scale,
                     int first_col, int first_row, int last_col, int last_row, int xbin, int ybin,
                     io::View2D<float> data, int& xnumdat, int& ynumdat, int& result, int& status);
// Positioned read without byte reversal. bytes_wanted not above 0 gives
// status 180001; more than the buffer 180005; a read error other than a
// short read 181005. bytes_read tells how many arrived.
void FIO_TREAD_BYTES(int file_id, std::int64_t offset, int buffer_size, int bytes_wanted,
                     std::span<std::byte> buffer, int& bytes_read, int& status);
// The integer of 1 to 4 bytes.
std::int64_t FIO_TIFF_INTEGER(std::span<const std::uint8_t> bytes, int num_bytes, bool low_first,
                              bool is_unsigned);
// The single integer value of a 12-byte directory entry (types 1, 3, 4, 6,
// 8, 9); another type, or a count other than 1 (after "WARNING: TIFF Integer
// tag contains %i values"), gives 181005.
std::int64_t FIO_TIFF_INTENTRY(std::span<const std::uint8_t> entry, bool high_byte_first,
                               int& status);
// All values of an integer entry (read from the file open on file_id when
// they do not fit in the entry); result 1 when `values` is too small.
void FIO_TIFF_INTS(int file_id, int array_size, std::span<const std::uint8_t> entry,
                   bool high_byte_first, std::span<std::int64_t> values, int& num_values,
                   int& result, int& status);

// The keyword-header format ("{ KEY = value ; ... }" then the data), one or
// more images a file.
void FIO_IN_MERIN(bool prompt, bool interactive, bool variances, std::string& file_name,
                  int& retstat, int& xnumdat, int& ynumdat, std::span<float> x_axis,
                  std::span<float> y_axis, io::View2D<float> data, io::View2D<float> var_data,
                  std::string& title, std::string& xlabel, std::string& ylabel, std::string& zlabel,
                  float& x_pixel_size, float& y_pixel_size, float& overload, int& status);
// result 0 when the file starts with "{", 1 when it does not, -3 when fewer
// than 1024 bytes could be read.
void FIO_IS_MERIN(const std::string& file_name, int& result, int& status);

// Raw binary data: the layout from the header file beside it (the data
// file's name followed by ".info"), else from the user (the layout form,
// remembered in the defaults database) when `interactive`; without either it
// is refused.
void FIO_IN_BINARY(bool interactive, bool variances, std::string& file_name, int& retstat,
                   int& xnumdat, int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                   io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                   std::string& xlabel, std::string& ylabel, std::string& zlabel,
                   float& x_pixel_size, float& y_pixel_size, float& overload, int& status);
// Reads a header file of "KEY = value" lines (WIDTH, HEIGHT, SKIP, TYPE,
// BYTE_ORDER, ROWS, X_PIXEL_SIZE, Y_PIXEL_SIZE, OVERLOAD; "!" starts a
// comment). retstat 0 read; 1 no such file; 2 a bad line or a missing item
// (after the console warnings).
void FIO_IN_HEADERFILE(const std::string& file_name, fio::BinaryLayout& layout, int& retstat,
                       int& status);

// The rectangle first_col .. last_col by first_row .. last_row (pixel
// numbers from 1, rows numbered as FIO_IN_BINARY numbers them) of the raw
// binary image in file_name laid out as `layout`, into `data`; only the
// stored rows of the rectangle are read. xnumdat and ynumdat return its
// columns and rows. retstat 0 read; 1 the file cannot be opened; 2 the file
// is too short for its layout (after the warning). A rectangle outside the
// image is the 2-D transfers' failure.
void FIO_IN_BINARY_REGION(const std::string& file_name, const fio::BinaryLayout& layout,
                          int first_col, int first_row, int last_col, int last_row,
                          io::View2D<float> data, int& xnumdat, int& ynumdat, int& retstat,
                          int& status);

namespace fio {
// The argument lists of the readers without leading flags: the image input
// result, then the status; or the result, the overload value and the
// status; or the result, the pixel sizes and the status.
using Reader = void(bool variances, std::string& file_name, int& retstat, int& xnumdat,
                    int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                    io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                    std::string& xlabel, std::string& ylabel, std::string& zlabel, int& status);
using OverloadReader = void(bool variances, std::string& file_name, int& retstat, int& xnumdat,
                            int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                            io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                            std::string& xlabel, std::string& ylabel, std::string& zlabel,
                            float& overload, int& status);
using PixelSizeReader = void(bool variances, std::string& file_name, int& retstat, int& xnumdat,
                             int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                             io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                             std::string& xlabel, std::string& ylabel, std::string& zlabel,
                             float& x_pixel_size, float& y_pixel_size, int& status);
}  // namespace fio

// Camera formats.
fio::Reader FIO_IN_PRINCETON;
fio::Reader FIO_IN_HAMAMATSU;

// The formats whose layout is not known (the gas detector's and the
// self-describing format): FIO_IN_GAS2D and FIO_IN_VEXAL say so in a warning
// naming the format and return fio::input_failed.
fio::Reader FIO_IN_GAS2D;
fio::OverloadReader FIO_IN_VEXAL;

// The small-angle scattering header (two titles, then per binary file ten
// whole numbers and the file's name) and its binary file of 32-bit reals:
// frame 1, the title from the header; overload 1.7E38.
fio::OverloadReader FIO_IN_BSL;
// ASCII X/Y columns ("#" or "!" start a comment line) as one row whose X
// axis holds the X values; the points that fit the array.
fio::Reader FIO_IN_DEXORAM;
// The image-plate header (the ".inf" file_name) and the big-endian pixels
// beside it (".img" or ".IMG"), as photo-stimulated luminescence; the pixel
// sizes of the header in metres.
fio::PixelSizeReader FIO_IN_BAS2000;
// The 172-byte "PMIS" header (byte order from its size field) and the first
// of its images of unsigned 16-bit values; another header size or version
// is refused.
fio::Reader FIO_IN_PHOTOMETRICS;

// The image-plate formats ("MAR FORMAT", "MAR-PCK"). FIO_IN_MAR reads a file
// whose first word is the byte-order word 1234 (in either byte order) with
// FIO_IN_MAR345 (the 4096-byte header, overflow records, the packed image),
// any other with FIO_IN_OLDMAR (the header record, then 16-bit rows and
// overflow records, or overflow records and the packed image). The pixel
// sizes are set when the header gives them.
fio::PixelSizeReader FIO_IN_MAR;
fio::PixelSizeReader FIO_IN_MAR345;
fio::PixelSizeReader FIO_IN_OLDMAR;

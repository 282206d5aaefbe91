// fiolib, byte streams: the two stream slots (one input, one output) with
// byte reads and writes and optional byte-order reversal, the opening of a
// file by name, the 2-D transfers that turn a stored rectangle of integers
// or reals into the caller's real array, and the header-item helpers of
// record-structured files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "io.h"

namespace fio {

// File identifiers of the two slots.
inline constexpr int input_file = 1;
inline constexpr int output_file = 2;

// Mode codes of FIO_FILEOPENC.
inline constexpr int mode_read = 1;        // "rb", the input slot
inline constexpr int mode_write = 2;       // "wb", the output slot
inline constexpr int mode_read_text = 3;   // "r", the input slot
inline constexpr int mode_write_text = 4;  // "w", the output slot

// Byte-order reversal codes: only whole groups within the bytes actually
// transferred are reversed.
inline constexpr int reverse_none = 0;
inline constexpr int reverse_pairs = 1;   // exchange the two bytes of every 2-byte group
inline constexpr int reverse_quads = 2;   // reverse the four bytes of every 4-byte group
inline constexpr int reverse_octets = 3;  // reverse the eight bytes of every 8-byte group

// Result codes of the stream routines.
inline constexpr int stream_done = 0;
inline constexpr int stream_bad_argument = 1;  // unknown identifier, bad mode, buffer too small
inline constexpr int stream_not_open = 2;      // (open: the slot is open already)
inline constexpr int stream_system = 3;        // the open failed, or a write was short
inline constexpr int stream_seek = 4;          // positioning failed
inline constexpr int stream_short = 5;         // fewer bytes read than requested
inline constexpr int stream_end_of_file = 3;   // text line read at the end of the file

// Longest path the stream layer takes.
inline constexpr int max_path = 256;

// Statuses of this part of the module.
inline constexpr int status_bad_width = module_offset + st::array_dimension_1;   // 180001
inline constexpr int status_bad_height = module_offset + st::array_dimension_2;  // 180002
inline constexpr int status_bad_x_region = module_offset + st::region_1;         // 180005
inline constexpr int status_bad_y_region = module_offset + st::region_2;         // 180006
inline constexpr int status_bad_x_value = module_offset + st::int_range_1;       // 180017
inline constexpr int status_bad_y_value = module_offset + st::int_range_2;       // 180018
inline constexpr int status_bad_mode = module_offset + st::int_range_1;          // 180017
inline constexpr int status_bad_name = module_offset + st::bad_text_1;           // 180033
inline constexpr int status_bad_buffer = module_offset + st::external_limit_1;   // 180037
// A transfer refill that failed: the I/O services' bad-data code.
inline constexpr int status_refill_failed = io::module_offset + st::bad_file_data;  // 11005
// Re-binning or transposing asked of a 2-D transfer (not provided).
inline constexpr int status_not_implemented = st::other;  // 9999

}  // namespace fio

// ---------------------------------------------------------------------------
// Stream routines (no status; everything comes back in `result`)
// ---------------------------------------------------------------------------
// Opens the slot of the mode (path up to path_length characters, at most
// fio::max_path): result 1 for a mode outside 1 .. 4, 2 when the slot is
// open already, 3 when the open fails. Opening for writing never replaces a
// file through a failed open: the file is created or truncated by the system
// call itself.
void FIO_FILEOPENC(const std::string& path, int path_length, int mode, int& result, int& file_id);
void FIO_FILECLOSEC(int file_id, int& result);
// Reads bytes_requested bytes from the current position into `buffer`
// (buffer_size bytes, no more than the span holds). A short read writes
// "WARNING: %i bytes input instead of %i requested" and gives 5; the reversal
// is applied to the bytes read in either case.
void FIO_FILEREADC(int file_id, int buffer_size, int bytes_requested, int reversal, int& result,
                   int& bytes_read, std::span<std::byte> buffer);
// Positions at `offset` bytes from the start of the file, then reads as
// FIO_FILEREADC without the message; a request of 0 bytes only positions.
void FIO_FILEPREADC(int file_id, std::int64_t offset, int buffer_size, int bytes_requested,
                    int reversal, int& result, int& bytes_read, std::span<std::byte> buffer);
// One text line, at most buffer_length - 1 characters, its line end
// included; a line holding only its line end comes back as one blank; 3 at
// the end of the file.
void FIO_ASCIIREADC(int file_id, int buffer_length, int& result, std::string& buffer);
// Writes bytes_to_write bytes; the reversal is applied to the caller's
// buffer in place first. A short write gives 3 with "fio_filewritec: errno =
// %i".
void FIO_FILEWRITEC(int file_id, int buffer_size, int bytes_to_write, int reversal,
                    std::span<std::byte> buffer, int& result, int& bytes_written);
// Writes `count` 4-byte reals; a short write gives 3 with "ERROR:
// fio_filewrealc: errno = %i".
void FIO_FILEWREALC(int file_id, int array_size, int count, std::span<const float> values,
                    int& result, int& number_written);

namespace fio {
// Size in bytes of the file open in the input slot; -1 when none is open.
std::int64_t input_file_size();
}  // namespace fio

// ---------------------------------------------------------------------------
// Opening by name (status convention)
// ---------------------------------------------------------------------------
// Mode string "READ", "WRITE", "READ_ASCII" or "WRITE_ASCII" (compared over
// their first 4, 5, 10 and 11 characters, in that order). A blank name gives
// 180033, any other mode 180017.
void FIO_FILEOPEN(const std::string& file_name, const std::string& mode, int& result, int& file_id,
                  int& status);
// With `prompt`, asks the name on the console ("FILE NAME", "Enter Name of
// file") and asks again after a failed open; the user's escape, or a name
// that cannot be translated, gives result 1.
void FIO_OPENFILE(bool prompt, const std::string& mode, std::string& file_name, int& result,
                  int& file_id, int& status);

// ---------------------------------------------------------------------------
// 2-D transfers (status convention)
// ---------------------------------------------------------------------------
// The stored rectangle first_col .. last_col by first_row .. last_row (stored
// pixel numbers from 1) of an image of stored_width by stored_height
// elements that begins at byte `byte_position` (from 1) goes into `data`,
// optionally mirrored; xnumdat and ynumdat return the columns and rows of the
// rectangle, each at most the declared dimension of `data`. Columns and rows
// beyond the declared array are never written (nor read). `buffer` is the
// caller's work buffer of buffer_length elements of the stored type. With
// `is_signed` false negative stored values count as unsigned.
// Checks in order: declared width (180001), height (180002), stored width
// and height (180017, 180018), first column and row (180017, 180018), last
// column and row beyond the stored size (180005, 180006), last before first
// (180005, 180006), binning (180017, 180018), byte position (180017), buffer
// length within 1 .. the buffer (180037). Transposing or a binning other than
// 1 gives status 9999 after its console line; a failed read 11005.
void FIO_INP_2DBYTE(int file_id, bool is_signed, bool mirror_x, bool mirror_y, bool transpose,
                    int stored_width, int stored_height, int first_col, int first_row, int last_col,
                    int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                    std::span<std::int8_t> buffer, int& xnumdat, int& ynumdat,
                    io::View2D<float> data, int& status);
void FIO_INP_2DI2(int file_id, bool reverse, bool is_signed, bool mirror_x, bool mirror_y,
                  bool transpose, int stored_width, int stored_height, int first_col, int first_row,
                  int last_col, int last_row, int xbin, int ybin, std::int64_t byte_position,
                  int buffer_length, std::span<std::int16_t> buffer, int& xnumdat, int& ynumdat,
                  io::View2D<float> data, int& status);
void FIO_INP_2DI4(int file_id, bool reverse, bool is_signed, bool mirror_x, bool mirror_y,
                  bool transpose, int stored_width, int stored_height, int first_col, int first_row,
                  int last_col, int last_row, int xbin, int ybin, std::int64_t byte_position,
                  int buffer_length, std::span<std::int32_t> buffer, int& xnumdat, int& ynumdat,
                  io::View2D<float> data, int& status);
void FIO_INP_2DR4(int file_id, bool reverse, bool mirror_x, bool mirror_y, bool transpose,
                  int stored_width, int stored_height, int first_col, int first_row, int last_col,
                  int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                  std::span<float> buffer, int& xnumdat, int& ynumdat, io::View2D<float> data,
                  int& status);
// 8-byte IEEE reals, as FIO_INP_2DR4 (reversal of every 8-byte group).
void FIO_INP_2DR8(int file_id, bool reverse, bool mirror_x, bool mirror_y, bool transpose,
                  int stored_width, int stored_height, int first_col, int first_row, int last_col,
                  int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                  std::span<double> buffer, int& xnumdat, int& ynumdat, io::View2D<float> data,
                  int& status);

// ---------------------------------------------------------------------------
// Header items of record-structured files
// ---------------------------------------------------------------------------
// The file open in slot `file_id` is read in records of 512 bytes. An item
// starts at a record that begins with a backslash, the item name and a
// colon, then one type character ('C' text, 'R' real, 'A' array of reals),
// the number of further records the item takes as 6 digits, and one blank;
// the value starts at byte name length + 11 of that record and is text
// (reals written as numbers, blank separated). Records that do not start
// with a backslash are skipped.
namespace fio {
inline constexpr int record_length = 512;
}
// Searches from record first_record (from 1) for the item: found, its type
// character, the record and the byte position within it (from 1) where the
// value begins. At the end of the file writes "INFO: File item not found: "
// and the name.
void FIO_FREAD_SEARCHITEM(int file_id, const std::string& item, int first_record, bool& found,
                          char& type, int& record, int& position, int& status);
// The value of an item as text (up to its significant length, records
// joined), as a real, or as at most max_values reals.
void FIO_FREAD_STRING(int file_id, const std::string& item, bool& found, std::string& value,
                      int& status);
void FIO_FREAD_REAL(int file_id, const std::string& item, bool& found, float& value, int& status);
void FIO_FREAD_RARRAY(int file_id, const std::string& item, int max_values, bool& found,
                      int& num_values, std::span<float> values, int& status);

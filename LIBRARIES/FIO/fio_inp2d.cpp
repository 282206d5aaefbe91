// The 2-D transfers: a stored rectangle of 8, 16 or 32-bit integers or of
// reals into the caller's real array, through one conversion path.
#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <type_traits>

#include "fio_internal.h"

namespace {

struct Transfer {
  int file_id;
  bool reverse;
  bool is_signed;
  bool mirror_x, mirror_y, transpose;
  int stored_width, stored_height;
  int first_col, first_row, last_col, last_row;
  int xbin, ybin;
  std::int64_t byte_position;
  int buffer_length;
};

// The argument checks, in their order; then the stored image must be one
// whose byte positions can be counted.
bool valid(const Transfer& t, io::View2D<float> data, std::size_t buffer_size, std::size_t element,
           const char* id, int& status) {
  if (!fio::checks_pass(
          {
              {data.data == nullptr || data.xmaxdat < 1, fio::status_bad_width},
              {data.ymaxdat < 1, fio::status_bad_height},
              {t.stored_width < 1, fio::status_bad_x_value},
              {t.stored_height < 1, fio::status_bad_y_value},
              {t.first_col < 1, fio::status_bad_x_value},
              {t.first_row < 1, fio::status_bad_y_value},
              {t.stored_width < t.last_col, fio::status_bad_x_region},
              {t.stored_height < t.last_row, fio::status_bad_y_region},
              {t.last_col < t.first_col, fio::status_bad_x_region},
              {t.last_row < t.first_row, fio::status_bad_y_region},
              {t.xbin < 1, fio::status_bad_x_value},
              {t.ybin < 1, fio::status_bad_y_value},
              {t.byte_position < 1, fio::status_bad_x_value},
              {t.buffer_length < 1 || static_cast<std::size_t>(t.buffer_length) > buffer_size,
               fio::status_bad_buffer},
          },
          id, status)) {
    return false;
  }
  const std::int64_t room = (std::numeric_limits<std::int64_t>::max() - t.byte_position) /
                            static_cast<std::int64_t>(element);
  if (static_cast<std::int64_t>(t.stored_width) * t.stored_height > room) {
    io::fail(fio::status_bad_y_value, id, status);
    return false;
  }
  return true;
}

// One stored element as a real: unsigned values of the signed stored types
// are taken modulo 2^bits.
template <typename T>
float to_real(T v, bool is_signed) {
  if constexpr (std::is_floating_point_v<T>) {
    return static_cast<float>(v);
  } else {
    using U = std::make_unsigned_t<T>;
    return is_signed ? static_cast<float>(v) : static_cast<float>(static_cast<U>(v));
  }
}

// n elements in order; the signedness is decided once, outside the loop.
template <typename T>
void convert(const T* src, float* out, int n, bool is_signed) {
  if (is_signed) {
    for (int i = 0; i < n; ++i) out[i] = to_real(src[i], true);
  } else {
    for (int i = 0; i < n; ++i) out[i] = to_real(src[i], false);
  }
}

template <typename T>
int reversal_of() {
  switch (sizeof(T)) {
    case 2:
      return fio::reverse_pairs;
    case 4:
      return fio::reverse_quads;
    case 8:
      return fio::reverse_octets;
    default:
      return fio::reverse_none;
  }
}

// Where a transfer reads, and where what it reads lands.
struct Plan {
  int col0 = 0, ncols = 0;         // stored columns of the range (from 1)
  int nrows = 0;                   // rows of the range
  int k_first = 0, k_last = 0;     // rows of the range (from 1) that land inside the array
  int lo = 0, hi = 0;              // stored columns that land inside the array
  std::int64_t first_element = 0;  // of the first stored row read (from 0)
  std::int64_t elements = 0;       // elements read in all
};

Plan plan(const Transfer& t, int xnumdat, int ynumdat) {
  Plan p;
  // Stored ranges: mirroring counts from the other end of the stored image.
  p.col0 = t.mirror_x ? t.stored_width - t.last_col + 1 : t.first_col;
  p.ncols = t.last_col - t.first_col + 1;
  const int row0 = t.mirror_y ? t.stored_height - t.last_row + 1 : t.first_row;
  p.nrows = t.last_row - t.first_row + 1;
  // Output row of the k-th stored row of the range (from 1) is k, or
  // nrows - k + 1 when mirrored: only the stored rows that land inside the
  // array are read.
  p.k_first = t.mirror_y ? p.nrows - ynumdat + 1 : 1;
  p.k_last = t.mirror_y ? p.nrows : ynumdat;
  // Stored columns whose output column lies in 1 .. xnumdat.
  p.lo = t.mirror_x ? p.col0 + p.ncols - xnumdat : p.col0;
  p.hi = p.lo + xnumdat - 1;
  const std::int64_t width = t.stored_width;
  p.first_element = (static_cast<std::int64_t>(row0 + p.k_first - 1) - 1) * width;
  p.elements = static_cast<std::int64_t>(p.k_last - p.k_first + 1) * width;
  return p;
}

// The stored elements that a transfer reads, through the caller's buffer,
// refilled from the current position of the file as they are used.
template <typename T>
class Refills {
 public:
  Refills(const Transfer& t, std::span<T> buffer, std::int64_t elements)
      : file_id_(t.file_id),
        reversal_(t.reverse ? reversal_of<T>() : fio::reverse_none),
        per_refill_(std::min(t.buffer_length, static_cast<int>(INT_MAX / sizeof(T)))),
        buffer_(buffer),
        remaining_(elements) {}
  // At least one element in the buffer; false when a refill fails.
  bool ready() {
    if (used_ < filled_) return true;
    const int n = static_cast<int>(std::min<std::int64_t>(per_refill_, remaining_));
    const int want = n * static_cast<int>(sizeof(T));
    int result = 0, bytes = 0;
    FIO_FILEREADC(file_id_, want, want, reversal_, result, bytes, std::as_writable_bytes(buffer_));
    if (result != fio::stream_done) return false;
    filled_ = n;
    used_ = 0;
    remaining_ -= n;
    return true;
  }
  const T* next() const { return buffer_.data() + used_; }
  int available() const { return filled_ - used_; }
  void take(int n) { used_ += n; }

 private:
  int file_id_, reversal_, per_refill_;
  std::span<T> buffer_;
  std::int64_t remaining_;
  int filled_ = 0, used_ = 0;
};

// The elements of stored columns c .. c + n - 1 of a row into the output
// row: those that land inside the array.
template <typename T>
void store(const Transfer& t, const Plan& p, const T* src, int c, int n, float* out) {
  const int a = std::max(c, p.lo), b = std::min(c + n - 1, p.hi);
  if (a > b) return;
  if (t.mirror_x) {
    for (int kcol = a; kcol <= b; ++kcol) {
      out[p.col0 + p.ncols - kcol - 1] = to_real(src[kcol - c], t.is_signed);
    }
  } else {
    convert(src + (a - c), out + (a - p.col0), b - a + 1, t.is_signed);
  }
}

// One stored row of the range into its output row; false when a refill
// fails.
template <typename T>
bool read_row(const Transfer& t, const Plan& p, Refills<T>& in, float* out) {
  for (int c = 1; c <= t.stored_width;) {
    if (!in.ready()) return false;
    const int n = std::min(in.available(), t.stored_width - c + 1);
    store(t, p, in.next(), c, n, out);
    in.take(n);
    c += n;
  }
  return true;
}

constexpr const char* rebin_message = "ERROR: Re-binning, transposing on input not yet implemented";

template <typename T>
void transfer(const Transfer& t, std::span<T> buffer, int& xnumdat, int& ynumdat,
              io::View2D<float> data, const char* id, int& status,
              const char* rebin_refusal = rebin_message) {
  if (!io::entry_ok(status, id)) return;
  if (!valid(t, data, buffer.size(), sizeof(T), id, status)) return;
  if (t.transpose || t.xbin != 1 || t.ybin != 1) {
    io::say(rebin_refusal);
    io::fail(fio::status_not_implemented, id, status);
    return;
  }
  xnumdat = std::min(data.xmaxdat, t.last_col - t.first_col + 1);
  ynumdat = std::min(data.ymaxdat, t.last_row - t.first_row + 1);
  const Plan p = plan(t, xnumdat, ynumdat);
  int result = 0, bytes = 0;
  FIO_FILEPREADC(t.file_id,
                 p.first_element * static_cast<std::int64_t>(sizeof(T)) + t.byte_position - 1, 0, 0,
                 fio::reverse_none, result, bytes, std::as_writable_bytes(buffer));
  bool read = result == fio::stream_done;
  Refills<T> in(t, buffer, p.elements);
  for (int k = p.k_first; read && k <= p.k_last; ++k) {
    read = read_row(t, p, in, data.row(t.mirror_y ? p.nrows - k + 1 : k));
  }
  if (!read) io::fail(fio::status_refill_failed, id, status);
}

}  // namespace

// 1-byte integers, in no byte order.
void FIO_INP_2DBYTE(int file_id, bool is_signed, bool mirror_x, bool mirror_y, bool transpose,
                    int stored_width, int stored_height, int first_col, int first_row, int last_col,
                    int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                    std::span<std::int8_t> buffer, int& xnumdat, int& ynumdat,
                    io::View2D<float> data, int& status) {
  transfer(Transfer{file_id, false, is_signed, mirror_x, mirror_y, transpose, stored_width,
                    stored_height, first_col, first_row, last_col, last_row, xbin, ybin,
                    byte_position, buffer_length},
           buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DBYTE V0.3 ", status,
           "ERROR: Re-binning/transposing on input not yet implemented");
}

// 2-byte integers: the reversal exchanges the two bytes of each.
void FIO_INP_2DI2(int file_id, bool reverse, bool is_signed, bool mirror_x, bool mirror_y,
                  bool transpose, int stored_width, int stored_height, int first_col, int first_row,
                  int last_col, int last_row, int xbin, int ybin, std::int64_t byte_position,
                  int buffer_length, std::span<std::int16_t> buffer, int& xnumdat, int& ynumdat,
                  io::View2D<float> data, int& status) {
  transfer(Transfer{file_id, reverse, is_signed, mirror_x, mirror_y, transpose, stored_width,
                    stored_height, first_col, first_row, last_col, last_row, xbin, ybin,
                    byte_position, buffer_length},
           buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DI2 V0.4 ", status);
}

// 4-byte integers: the reversal turns each group of four bytes round.
void FIO_INP_2DI4(int file_id, bool reverse, bool is_signed, bool mirror_x, bool mirror_y,
                  bool transpose, int stored_width, int stored_height, int first_col, int first_row,
                  int last_col, int last_row, int xbin, int ybin, std::int64_t byte_position,
                  int buffer_length, std::span<std::int32_t> buffer, int& xnumdat, int& ynumdat,
                  io::View2D<float> data, int& status) {
  transfer(Transfer{file_id, reverse, is_signed, mirror_x, mirror_y, transpose, stored_width,
                    stored_height, first_col, first_row, last_col, last_row, xbin, ybin,
                    byte_position, buffer_length},
           buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DI4 V0.4 ", status);
}

// 4-byte IEEE reals, taken as they are.
void FIO_INP_2DR4(int file_id, bool reverse, bool mirror_x, bool mirror_y, bool transpose,
                  int stored_width, int stored_height, int first_col, int first_row, int last_col,
                  int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                  std::span<float> buffer, int& xnumdat, int& ynumdat, io::View2D<float> data,
                  int& status) {
  transfer(
      Transfer{file_id, reverse, true, mirror_x, mirror_y, transpose, stored_width, stored_height,
               first_col, first_row, last_col, last_row, xbin, ybin, byte_position, buffer_length},
      buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DR4 V0.4 ", status);
}

// 8-byte IEEE reals, rounded to 4-byte ones.
void FIO_INP_2DR8(int file_id, bool reverse, bool mirror_x, bool mirror_y, bool transpose,
                  int stored_width, int stored_height, int first_col, int first_row, int last_col,
                  int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                  std::span<double> buffer, int& xnumdat, int& ynumdat, io::View2D<float> data,
                  int& status) {
  transfer(
      Transfer{file_id, reverse, true, mirror_x, mirror_y, transpose, stored_width, stored_height,
               first_col, first_row, last_col, last_row, xbin, ybin, byte_position, buffer_length},
      buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DR8 V0.1 ", status);
}

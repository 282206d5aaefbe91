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
  struct Check {
    bool bad;
    int value;
  };
  const Check checks[] = {
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
  };
  for (const auto& c : checks) {
    if (c.bad) {
      io::fail(c.value, id, status);
      return false;
    }
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

template <typename T>
void transfer(const Transfer& t, std::span<T> buffer, int& xnumdat, int& ynumdat,
              io::View2D<float> data, const char* id, const char* rebin_message, int& status) {
  if (!io::entry_ok(status, id)) return;
  if (!valid(t, data, buffer.size(), sizeof(T), id, status)) return;
  if (t.transpose || t.xbin != 1 || t.ybin != 1) {
    io::say(rebin_message);
    io::fail(fio::status_not_implemented, id, status);
    return;
  }
  // Stored ranges: mirroring counts from the other end of the stored image.
  const int col0 = t.mirror_x ? t.stored_width - t.last_col + 1 : t.first_col;
  const int ncols = t.last_col - t.first_col + 1;
  const int row0 = t.mirror_y ? t.stored_height - t.last_row + 1 : t.first_row;
  const int nrows = t.last_row - t.first_row + 1;
  xnumdat = std::min(data.xmaxdat, ncols);
  ynumdat = std::min(data.ymaxdat, nrows);

  // Output row of the k-th stored row of the range (from 1) is k, or
  // nrows - k + 1 when mirrored: only the stored rows that land inside the
  // array are read.
  const int k_first = t.mirror_y ? nrows - ynumdat + 1 : 1;
  const int k_last = t.mirror_y ? nrows : ynumdat;
  const std::int64_t width = t.stored_width;
  const std::int64_t first_element = (static_cast<std::int64_t>(row0 + k_first - 1) - 1) * width;
  std::int64_t remaining = static_cast<std::int64_t>(k_last - k_first + 1) * width;

  int result = 0, bytes = 0;
  const std::span<std::byte> raw = std::as_writable_bytes(buffer);
  FIO_FILEPREADC(t.file_id,
                 first_element * static_cast<std::int64_t>(sizeof(T)) + t.byte_position - 1, 0, 0,
                 fio::reverse_none, result, bytes, raw);
  if (result != fio::stream_done) {
    io::fail(fio::status_refill_failed, id, status);
    return;
  }
  // Stored columns whose output column lies in 1 .. xnumdat.
  const int lo = t.mirror_x ? col0 + ncols - xnumdat : col0;
  const int hi = lo + xnumdat - 1;
  const int reversal = t.reverse ? reversal_of<T>() : fio::reverse_none;
  const int per_refill = std::min(t.buffer_length, static_cast<int>(INT_MAX / sizeof(T)));
  int in_buffer = 0, used = 0;
  for (int k = k_first; k <= k_last; ++k) {
    const int out_row = t.mirror_y ? nrows - k + 1 : k;
    float* out = data.row(out_row);
    for (int c = 1; c <= t.stored_width;) {
      if (used == in_buffer) {
        const int n = static_cast<int>(std::min<std::int64_t>(per_refill, remaining));
        const int want = n * static_cast<int>(sizeof(T));
        FIO_FILEREADC(t.file_id, want, want, reversal, result, bytes, raw);
        if (result != fio::stream_done) {
          io::fail(fio::status_refill_failed, id, status);
          return;
        }
        in_buffer = n;
        used = 0;
        remaining -= n;
      }
      // The elements of this row that are in the buffer, stored columns c
      // onwards; those of lo .. hi land inside the array.
      const int take = std::min(in_buffer - used, t.stored_width - c + 1);
      const T* src = buffer.data() + used;
      const int a = std::max(c, lo), b = std::min(c + take - 1, hi);
      if (a <= b) {
        if (t.mirror_x) {
          for (int kcol = a; kcol <= b; ++kcol) {
            out[col0 + ncols - kcol - 1] = to_real(src[kcol - c], t.is_signed);
          }
        } else {
          convert(src + (a - c), out + (a - col0), b - a + 1, t.is_signed);
        }
      }
      used += take;
      c += take;
    }
  }
}

}  // namespace

void FIO_INP_2DBYTE(int file_id, bool is_signed, bool mirror_x, bool mirror_y, bool transpose,
                    int stored_width, int stored_height, int first_col, int first_row, int last_col,
                    int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                    std::span<std::int8_t> buffer, int& xnumdat, int& ynumdat,
                    io::View2D<float> data, int& status) {
  const Transfer t{file_id,      false,         is_signed,     mirror_x,     mirror_y, transpose,
                   stored_width, stored_height, first_col,     first_row,    last_col, last_row,
                   xbin,         ybin,          byte_position, buffer_length};
  transfer(t, buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DBYTE V0.3 ",
           "ERROR: Re-binning/transposing on input not yet implemented", status);
}

void FIO_INP_2DI2(int file_id, bool reverse, bool is_signed, bool mirror_x, bool mirror_y,
                  bool transpose, int stored_width, int stored_height, int first_col, int first_row,
                  int last_col, int last_row, int xbin, int ybin, std::int64_t byte_position,
                  int buffer_length, std::span<std::int16_t> buffer, int& xnumdat, int& ynumdat,
                  io::View2D<float> data, int& status) {
  const Transfer t{file_id,      reverse,       is_signed,     mirror_x,     mirror_y, transpose,
                   stored_width, stored_height, first_col,     first_row,    last_col, last_row,
                   xbin,         ybin,          byte_position, buffer_length};
  transfer(t, buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DI2 V0.4 ",
           "ERROR: Re-binning, transposing on input not yet implemented", status);
}

void FIO_INP_2DI4(int file_id, bool reverse, bool is_signed, bool mirror_x, bool mirror_y,
                  bool transpose, int stored_width, int stored_height, int first_col, int first_row,
                  int last_col, int last_row, int xbin, int ybin, std::int64_t byte_position,
                  int buffer_length, std::span<std::int32_t> buffer, int& xnumdat, int& ynumdat,
                  io::View2D<float> data, int& status) {
  const Transfer t{file_id,      reverse,       is_signed,     mirror_x,     mirror_y, transpose,
                   stored_width, stored_height, first_col,     first_row,    last_col, last_row,
                   xbin,         ybin,          byte_position, buffer_length};
  transfer(t, buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DI4 V0.4 ",
           "ERROR: Re-binning, transposing on input not yet implemented", status);
}

void FIO_INP_2DR4(int file_id, bool reverse, bool mirror_x, bool mirror_y, bool transpose,
                  int stored_width, int stored_height, int first_col, int first_row, int last_col,
                  int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                  std::span<float> buffer, int& xnumdat, int& ynumdat, io::View2D<float> data,
                  int& status) {
  const Transfer t{file_id,      reverse,       true,          mirror_x,     mirror_y, transpose,
                   stored_width, stored_height, first_col,     first_row,    last_col, last_row,
                   xbin,         ybin,          byte_position, buffer_length};
  transfer(t, buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DR4 V0.4 ",
           "ERROR: Re-binning, transposing on input not yet implemented", status);
}

void FIO_INP_2DR8(int file_id, bool reverse, bool mirror_x, bool mirror_y, bool transpose,
                  int stored_width, int stored_height, int first_col, int first_row, int last_col,
                  int last_row, int xbin, int ybin, std::int64_t byte_position, int buffer_length,
                  std::span<double> buffer, int& xnumdat, int& ynumdat, io::View2D<float> data,
                  int& status) {
  const Transfer t{file_id,      reverse,       true,          mirror_x,     mirror_y, transpose,
                   stored_width, stored_height, first_col,     first_row,    last_col, last_row,
                   xbin,         ybin,          byte_position, buffer_length};
  transfer(t, buffer, xnumdat, ynumdat, data, "Subroutine FIO_INP_2DR8 V0.1 ",
           "ERROR: Re-binning, transposing on input not yet implemented", status);
}

// Image files written byte by byte from their layouts, and the reading of a
// file through the dispatcher's named-file path, for the image input tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "console_capture.h"
#include "fio.h"

namespace fiotest {

constexpr int good = io::status_good;

// Bytes of a file being built.
struct Bytes {
  std::vector<std::uint8_t> b;
  bool high = false;  // byte order of the numbers
  Bytes& u8(unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  Bytes& n(std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i) {
      const int shift = high ? 8 * (size - 1 - i) : 8 * i;
      b.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    return *this;
  }
  Bytes& u16(unsigned v) { return n(v, 2); }
  Bytes& u32(std::uint32_t v) { return n(v, 4); }
  Bytes& f32(float v) { return n(std::bit_cast<std::uint32_t>(v), 4); }
  Bytes& f64(double v) { return n(std::bit_cast<std::uint64_t>(v), 8); }
  Bytes& text(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& zeros(std::size_t count) {
    b.insert(b.end(), count, 0);
    return *this;
  }
  // Overwrites a little-endian number at an offset.
  void put(std::size_t offset, std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i)
      b[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  std::string str() const { return std::string(b.begin(), b.end()); }
};

// A TIFF file of one image. Rows are given in stored order, each
// row_bytes() long.
struct Tiff {
  bool high = false;
  std::string mark;  // "" for "II"/"MM" by byte order
  int version = 42;
  int width = 4, height = 3, bits = 16;
  int sample_format = 0;   // 0: no tag
  int rows_per_strip = 0;  // 0: no tag (one strip)
  bool reversed_strips = false;
  bool byte_counts = true;
  int pages = 1;                       // the directory repeated, each copy the next image's
  std::map<int, std::uint32_t> extra;  // further single-valued tags (type LONG)
  std::vector<std::uint8_t> rows;

  int row_bytes() const { return (width * bits + 7) / 8; }
  std::string bytes() const;
};

// Rows of 16-bit values v(x, y) (x, y from 1, y the stored row) in the
// file's byte order.
template <typename F>
std::vector<std::uint8_t> rows16(int width, int height, bool high, F v) {
  Bytes r;
  r.high = high;
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) r.u16(static_cast<unsigned>(v(x, y)));
  }
  return r.b;
}

// What reading a file gave.
struct Read {
  bool defined = false;
  int width = 0, height = 0;
  std::vector<float> pixels;  // width x height, first index fastest
  std::string console;
  std::string title;
  float value(int x, int y) const {
    return pixels[static_cast<std::size_t>((y - 1) * width + x - 1)];
  }
};

// Reads `path` through the dispatcher's named-file path with `format`
// (the format from the extension when empty), into arrays of xmax by ymax.
Read read_named(const std::string& path, const std::string& format, int xmax = 64, int ymax = 64);

// The console of the last read contains a text.
#define EXPECT_CONSOLE(read, fragment) \
  EXPECT_NE((read).console.find(fragment), std::string::npos) << (read).console

}  // namespace fiotest

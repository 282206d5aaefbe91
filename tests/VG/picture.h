// A picture read back from a window or rendered from a PostScript file, its
// pixels from the top left, row by row, and the colour tests on them.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace x11test {

struct Rgb8 {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb8&) const = default;
};

// A rectangle of pixels, first and last column, first and last row.
struct Box {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool operator==(const Box&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.x0 << "," << b.y0 << ")-(" << b.x1 << "," << b.y1 << ")";
  }
};

struct Picture {
  int width = 0, height = 0;
  std::vector<Rgb8> pixels;
  Rgb8 at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  // Pixels matching a predicate, and their bounding box.
  template <typename F>
  int count(F f, int* x0 = nullptr, int* y0 = nullptr, int* x1 = nullptr, int* y1 = nullptr) const {
    int n = 0, bx0 = width, by0 = height, bx1 = -1, by1 = -1;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (!f(at(x, y))) continue;
        ++n;
        bx0 = std::min(bx0, x);
        by0 = std::min(by0, y);
        bx1 = std::max(bx1, x);
        by1 = std::max(by1, y);
      }
    }
    if (x0) *x0 = bx0;
    if (y0) *y0 = by0;
    if (x1) *x1 = bx1;
    if (y1) *y1 = by1;
    return n;
  }
  // The bounding box of the pixels matching a predicate.
  template <typename F>
  Box box(F f) const {
    Box b;
    count(f, &b.x0, &b.y0, &b.x1, &b.y1);
    return b;
  }
};

inline bool dark(const Rgb8& c) {
  return c.r < 128 && c.g < 128 && c.b < 128;
}
inline bool is_white(const Rgb8& c) {
  return c.r > 240 && c.g > 240 && c.b > 240;
}
inline bool near(const Rgb8& c, int r, int g, int b, int tol = 8) {
  return std::abs(c.r - r) <= tol && std::abs(c.g - g) <= tol && std::abs(c.b - b) <= tol;
}

// A binary PPM (P6, maxval 255) as a picture (empty when it is not one).
inline Picture read_ppm(const std::string& file) {
  Picture p;
  std::ifstream in(file, std::ios::binary);
  // Header tokens, with "#" comments between them.
  const auto token = [&]() {
    std::string t;
    while (in >> t && t[0] == '#') {
      std::string rest;
      std::getline(in, rest);
    }
    return t;
  };
  const std::string magic = token();
  p.width = std::atoi(token().c_str());
  p.height = std::atoi(token().c_str());
  const int maxval = std::atoi(token().c_str());
  in.get();
  if (magic != "P6" || maxval != 255 || p.width <= 0 || p.height <= 0) return Picture();
  std::vector<unsigned char> bytes(static_cast<std::size_t>(p.width) * p.height * 3);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) return Picture();
  p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
  for (std::size_t i = 0; i < p.pixels.size(); ++i) {
    p.pixels[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  }
  return p;
}

}  // namespace x11test

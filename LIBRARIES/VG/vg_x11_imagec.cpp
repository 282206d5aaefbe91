// The X11 window device: cell arrays. Each is drawn as one XImage the size of
// its rectangle on the window (clipped to the window), resampled from the data
// by nearest pixel, so a large array never becomes an image of its own size.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "vg_x11.h"
#include "vg_x11_state.h"

namespace vg::x11 {

namespace {

// Colour index of real data scaled between low and high onto first..last.
struct Scaler {
  float low = 0, high = 1;
  bool logarithmic = false;
  int first = 0, last = 255;
  float factor = 1.0f, log_low = 0.0f;

  bool prepare() {
    const float levels = static_cast<float>(last - first + 1);
    if (logarithmic) {
      if (!(low > 0.0f) || !(high > low) || !std::isfinite(high)) return false;
      log_low = std::log(low);
      const float span = std::log(high) - log_low;
      if (!(span > 0.0f)) return false;
      factor = levels / span;
    } else {
      if (!(high > low) || !std::isfinite(low) || !std::isfinite(high)) return false;
      const float span = high - low;
      if (!(span > 0.0f) || !std::isfinite(span)) return false;
      factor = levels / span;
    }
    return true;
  }

  int operator()(float v) const {
    float t;
    if (logarithmic) {
      if (!(v > low)) return first;
      t = (std::log(v) - log_low) * factor;
    } else {
      if (!(v > low)) return first;
      t = (v - low) * factor;
    }
    if (!(t < static_cast<float>(last - first))) return last;
    return first + static_cast<int>(t);
  }
};

void report_scaling(bool logarithmic) {
  message(logarithmic ? "ERROR: Log scaling range unacceptable" : "ERROR: Scaling range unacceptable");
}

bool region_ok(int xmax, int ymax, int xstart, int ystart, int xend, int yend) {
  return xstart >= 1 && ystart >= 1 && xstart <= xend && ystart <= yend && xend <= xmax &&
         yend <= ymax;
}

}  // namespace

int put_image(XId drawable, GC gc, const ImageSource& source, float left, float top, float right,
              float bottom, int clip_x0, int clip_y0, int clip_x1, int clip_y1) {
  State& s = state();
  // Pixels whose centres lie inside the rectangle, within the clip limits.
  const float lo_x = std::min(left, right), hi_x = std::max(left, right);
  const float lo_y = std::min(top, bottom), hi_y = std::max(top, bottom);
  const int x0 = std::max(clip_x0, static_cast<int>(std::ceil(lo_x - 0.5f)));
  const int x1 = std::min(clip_x1, static_cast<int>(std::ceil(hi_x - 0.5f)));
  const int y0 = std::max(clip_y0, static_cast<int>(std::ceil(lo_y - 0.5f)));
  const int y1 = std::min(clip_y1, static_cast<int>(std::ceil(hi_y - 0.5f)));
  if (x1 <= x0 || y1 <= y0) return vg::device_ok;
  const int w = x1 - x0, h = y1 - y0;
  const int ncols = source.xend - source.xstart + 1;
  const int nrows = source.yend - source.ystart + 1;

  Scaler scaler;
  if (!source.data.empty()) {
    scaler.low = source.low;
    scaler.high = source.high;
    scaler.logarithmic = source.logarithmic;
    scaler.first = s.image_first;
    scaler.last = s.image_last;
    if (!scaler.prepare()) {
      report_scaling(source.logarithmic);
      return vg::device_failed;
    }
  }

  std::vector<int> columns, rows;
  std::uint32_t lut[vg::table_size];
  try {
    columns.resize(static_cast<std::size_t>(w));
    rows.resize(static_cast<std::size_t>(h));
  } catch (const std::bad_alloc&) {
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  // Data column and row (0-based within the array) of each pixel. The left
  // edge belongs to the region's first column, whatever the direction.
  for (int c = 0; c < w; ++c) {
    const float f = (static_cast<float>(x0 + c) + 0.5f - left) / (right - left);
    const int k = std::clamp(static_cast<int>(std::floor(f * static_cast<float>(ncols))), 0, ncols - 1);
    columns[static_cast<std::size_t>(c)] = source.xstart - 1 + k;
  }
  for (int r = 0; r < h; ++r) {
    // `bottom` is the edge of the region's first row (world y0).
    const float f = (static_cast<float>(y0 + r) + 0.5f - bottom) / (top - bottom);
    const int k = std::clamp(static_cast<int>(std::floor(f * static_cast<float>(nrows))), 0, nrows - 1);
    rows[static_cast<std::size_t>(r)] = source.ystart - 1 + k;
  }
  for (int i = 0; i < vg::table_size; ++i) lut[i] = static_cast<std::uint32_t>(s.pixels[static_cast<std::size_t>(i)]);
  const std::uint32_t mask_pixel = static_cast<std::uint32_t>(pixel_of(s.mask_colour));

  XImage* image = XCreateImage(s.display, static_cast<Visual*>(s.visual),
                               static_cast<unsigned>(s.depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
  if (image == nullptr) {
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  image->data = static_cast<char*>(
      std::malloc(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(h)));
  if (image->data == nullptr) {
    message("ERROR: Problem creating bitmap section: BITS = NULL");
    XDestroyImage(image);
    return vg::device_failed;
  }
  const bool native32 = image->bits_per_pixel == 32 &&
                        (image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
  std::vector<std::uint32_t> line(static_cast<std::size_t>(w));
  for (int r = 0; r < h; ++r) {
    std::uint32_t* out = native32 ? reinterpret_cast<std::uint32_t*>(
                                        image->data + static_cast<std::size_t>(r) * static_cast<std::size_t>(image->bytes_per_line))
                                  : line.data();
    const int row = rows[static_cast<std::size_t>(r)];
    if (!source.data.empty()) {
      const float* values = source.data.data + static_cast<std::size_t>(row) * static_cast<std::size_t>(source.data.xmaxdat);
      if (!source.mask.empty()) {
        const bool* masked = source.mask.data + static_cast<std::size_t>(row) * static_cast<std::size_t>(source.mask.xmaxdat);
        for (int c = 0; c < w; ++c) {
          const int k = columns[static_cast<std::size_t>(c)];
          out[c] = masked[k] ? mask_pixel : lut[scaler(values[k])];
        }
      } else {
        for (int c = 0; c < w; ++c) out[c] = lut[scaler(values[columns[static_cast<std::size_t>(c)]])];
      }
    } else if (!source.cells.empty()) {
      const int* values = source.cells.data + static_cast<std::size_t>(row) * static_cast<std::size_t>(source.cells.xmaxdat);
      for (int c = 0; c < w; ++c) {
        out[c] = lut[std::clamp(values[columns[static_cast<std::size_t>(c)]], 0, vg::table_size - 1)];
      }
    } else {
      const unsigned char* values = source.bytes.data + static_cast<std::size_t>(row) * static_cast<std::size_t>(source.bytes.xmaxdat);
      for (int c = 0; c < w; ++c) out[c] = lut[values[columns[static_cast<std::size_t>(c)]]];
    }
    if (!native32) {
      for (int c = 0; c < w; ++c) XPutPixel(image, c, r, out[c]);
    }
  }
  XSetFunction(s.display, gc, GXcopy);
  XPutImage(s.display, drawable, gc, image, 0, 0, x0, y0, static_cast<unsigned>(w),
            static_cast<unsigned>(h));
  XDestroyImage(image);  // frees the data too
  return vg::device_ok;
}

namespace {

int draw_cell_array(const ImageSource& source, float x0, float y0, float x1, float y1) {
  State& s = state();
  if (!is_open()) return vg::device_failed;
  const float left = to_px(x0), right = to_px(x1);
  const float bottom = to_py(y0), top = to_py(y1);
  int cx0 = 0, cy0 = 0, cx1 = s.width, cy1 = s.height;
  if (s.clip_on) {
    cx0 = std::max(cx0, s.clip_x);
    cy0 = std::max(cy0, s.clip_y);
    cx1 = std::min(cx1, s.clip_x + s.clip_w);
    cy1 = std::min(cy1, s.clip_y + s.clip_h);
  }
  const int result = put_image(s.pixmap, s.gc_copy, source, left, top, right, bottom, cx0, cy0, cx1, cy1);
  if (result == vg::device_ok) {
    drawn(static_cast<int>(std::floor(std::min(left, right))), static_cast<int>(std::floor(std::min(top, bottom))),
          static_cast<int>(std::ceil(std::max(left, right))) + 1,
          static_cast<int>(std::ceil(std::max(top, bottom))) + 1);
  }
  return result;
}

}  // namespace

}  // namespace vg::x11

using namespace vg::x11;

void VG_X11_CA(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
               float y0, float x1, float y1, int& error) {
  error = vg::device_failed;
  if (cells.empty() || !region_ok(cells.xmaxdat, cells.ymaxdat, xstart, ystart, xend, yend)) {
    message("ERROR: Cell array region lies outside the array");
    return;
  }
  ImageSource source;
  source.cells = cells;
  source.xstart = xstart;
  source.ystart = ystart;
  source.xend = xend;
  source.yend = yend;
  error = draw_cell_array(source, x0, y0, x1, y1);
}

void VG_X11_BCA(io::View2D<const unsigned char> cells, int xstart, int ystart, int xend, int yend,
                float x0, float y0, float x1, float y1, int& error) {
  error = vg::device_failed;
  if (cells.empty() || !region_ok(cells.xmaxdat, cells.ymaxdat, xstart, ystart, xend, yend)) {
    message("ERROR: Cell array region lies outside the array");
    return;
  }
  ImageSource source;
  source.bytes = cells;
  source.xstart = xstart;
  source.ystart = ystart;
  source.xend = xend;
  source.yend = yend;
  error = draw_cell_array(source, x0, y0, x1, y1);
}

void VG_X11_RMCA(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                 int ystart, int xend, int yend, float x0, float y0, float x1, float y1, float low,
                 float high, bool logarithmic, int& error) {
  error = vg::device_failed;
  if (data.empty() || !region_ok(data.xmaxdat, data.ymaxdat, xstart, ystart, xend, yend)) {
    message("ERROR: Cell array region lies outside the array");
    return;
  }
  if (!mask.empty() && (mask.xmaxdat < xend || mask.ymaxdat < yend)) {
    message("ERROR: The mask array does not match the data array");
    return;
  }
  ImageSource source;
  source.data = data;
  source.mask = mask;
  source.xstart = xstart;
  source.ystart = ystart;
  source.xend = xend;
  source.yend = yend;
  source.low = low;
  source.high = high;
  source.logarithmic = logarithmic;
  error = draw_cell_array(source, x0, y0, x1, y1);
}

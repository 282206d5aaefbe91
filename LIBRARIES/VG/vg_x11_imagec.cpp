// The X11 window device: cell arrays. Each is drawn as one XImage the size of
// its rectangle on the window (clipped to the window), resampled from the data
// by nearest pixel, so a large array never becomes an image of its own size.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "vg_x11.h"

namespace vg::x11 {

namespace {

// Asks the cache to fetch the part of a data row between two columns
// (0-based, either order) while the current row is being made.
template <typename T>
void prefetch_row(const T* values, int a, int b) {
  constexpr int step = static_cast<int>(64 / sizeof(T));
  for (int k = std::min(a, b), e = std::max(a, b); k <= e; k += step)
    __builtin_prefetch(values + k);
}

// The segment as Xlib describes it.
XShmSegmentInfo segment_info(unsigned long segment, int shmid, char* address) {
  XShmSegmentInfo info{};
  info.shmseg = segment;
  info.shmid = shmid;
  info.shmaddr = address;
  info.readOnly = False;
  return info;
}

bool region_ok(int xmax, int ymax, int xstart, int ystart, int xend, int yend) {
  return xstart >= 1 && ystart >= 1 && xstart <= xend && ystart <= yend && xend <= xmax &&
         yend <= ymax;
}

}  // namespace

// index[i] = start - 1 + the 0-based cell of pixel new_origin + i, the cells
// running from the edge new_near to new_far.
void WindowDevice::IndexTable::make(int new_origin, int new_count, int new_cells, int new_start,
                                    float new_near, float new_far) {
  if (valid && origin == new_origin && count == new_count && cells == new_cells &&
      start == new_start &&
      std::bit_cast<std::uint32_t>(near_edge) == std::bit_cast<std::uint32_t>(new_near) &&
      std::bit_cast<std::uint32_t>(far_edge) == std::bit_cast<std::uint32_t>(new_far)) {
    return;
  }
  valid = false;
  index.resize(static_cast<std::size_t>(new_count));
  for (int i = 0; i < new_count; ++i) {
    const float f = (static_cast<float>(new_origin + i) + 0.5f - new_near) / (new_far - new_near);
    const int k = std::clamp(static_cast<int>(std::floor(f * static_cast<float>(new_cells))), 0,
                             new_cells - 1);
    index[static_cast<std::size_t>(i)] = new_start - 1 + k;
  }
  origin = new_origin;
  count = new_count;
  cells = new_cells;
  start = new_start;
  near_edge = new_near;
  far_edge = new_far;
  valid = true;
}

void WindowDevice::detach_shared() {
  if (!shared_.attached) return;
  XShmSegmentInfo info = segment_info(shared_.segment, shared_.shmid, shared_.address);
  XShmDetach(display_, &info);
  XSync(display_, False);
  shmdt(shared_.address);
  shared_.attached = false;
  shared_.address = nullptr;
  shared_.size = 0;
}

// The segment, at least `size` bytes, free for writing; null when the
// server cannot share memory with us.
char* WindowDevice::shared_buffer(std::size_t size) {
  if (!shared_.checked) {
    shared_.checked = true;
    shared_.available = XShmQueryExtension(display_) != False;
  }
  if (!shared_.available) return nullptr;
  // Wait for the server only when it may not have taken the last image yet.
  if (shared_.in_use && LastKnownRequestProcessed(display_) < shared_.serial)
    XSync(display_, False);
  shared_.in_use = false;
  if (shared_.size >= size) return shared_.address;
  detach_shared();
  const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (id < 0) {
    shared_.available = false;
    return nullptr;
  }
  void* address = shmat(id, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    shared_.available = false;
    return nullptr;
  }
  XShmSegmentInfo info = segment_info(0, id, static_cast<char*>(address));
  // A server elsewhere refuses the segment: try it once, quietly.
  begin_trap();
  XShmAttach(display_, &info);
  const bool attached = end_trap();
  shmctl(id, IPC_RMID, nullptr);  // goes when both sides have let go
  if (!attached) {
    shmdt(address);
    shared_.available = false;
    return nullptr;
  }
  shared_.attached = true;
  shared_.segment = info.shmseg;
  shared_.shmid = id;
  shared_.address = static_cast<char*>(address);
  shared_.size = size;
  return shared_.address;
}

void WindowDevice::release_images() {
  detach_shared();
  shared_ = SharedImage();
}

// Draws an image into a drawable over a pixel rectangle (left, top, right,
// bottom as real pixel edges), clipped to clip_x0..clip_x1, clip_y0..clip_y1.
// `mirror` (0 none) is a second drawable that receives the same pixels, band
// by band (the window, when what goes into the pixmap is to show at once);
// `placed` (null: not wanted) gets the pixel rectangle written, x0, y0, x1,
// y1 (nothing written: x1 <= x0 or y1 <= y0).
int WindowDevice::put_image(XId drawable, GC gc, const ImageSource& source, float left, float top,
                            float right, float bottom, int clip_x0, int clip_y0, int clip_x1,
                            int clip_y1, XId mirror, int* placed) {
  // Pixels whose centres lie inside the rectangle, within the clip limits.
  const float lo_x = std::min(left, right), hi_x = std::max(left, right);
  const float lo_y = std::min(top, bottom), hi_y = std::max(top, bottom);
  const int x0 = std::max(clip_x0, static_cast<int>(std::ceil(lo_x - 0.5f)));
  const int x1 = std::min(clip_x1, static_cast<int>(std::ceil(hi_x - 0.5f)));
  const int y0 = std::max(clip_y0, static_cast<int>(std::ceil(lo_y - 0.5f)));
  const int y1 = std::min(clip_y1, static_cast<int>(std::ceil(hi_y - 0.5f)));
  if (placed != nullptr) {
    placed[0] = x0;
    placed[1] = y0;
    placed[2] = x1;
    placed[3] = y1;
  }
  if (x1 <= x0 || y1 <= y0) return vg::device_ok;
  const int w = x1 - x0, h = y1 - y0;
  const int ncols = source.xend - source.xstart + 1;
  const int nrows = source.yend - source.ystart + 1;

  const bool real = !source.data.empty();
  try {
    if (real && !scale_cache_.same(source.low, source.high, source.logarithmic, image_first_,
                                   image_last_)) {
      if (!scale_cache_.set(source.low, source.high, source.logarithmic, image_first_,
                            image_last_)) {
        message(vg::unusable_range_message(source.logarithmic));
        return vg::device_failed;
      }
    }
    // Data column and row (0-based within the array) of each pixel. The
    // left edge belongs to the region's first column, whatever the
    // direction; `bottom` is the edge of the region's first row (world y0).
    column_table_.make(x0, w, ncols, source.xstart, left, right);
    row_table_.make(y0, h, nrows, source.ystart, bottom, top);
  } catch (const std::bad_alloc&) {
    scale_cache_ = vg::IndexScale();
    column_table_.valid = row_table_.valid = false;
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  const vg::IndexScale& scale = scale_cache_;
  const int* columns = column_table_.index.data();
  const int* rows = row_table_.index.data();
  std::uint32_t lut[vg::table_size];
  for (int i = 0; i < vg::table_size; ++i)
    lut[i] = static_cast<std::uint32_t>(pixels_[static_cast<std::size_t>(i)]);
  const std::uint32_t mask_pixel = static_cast<std::uint32_t>(pixel_of(mask_colour_));

  Visual* visual = static_cast<Visual*>(visual_);
  const unsigned depth = static_cast<unsigned>(depth_);
  bool in_shared = false;
  XShmSegmentInfo info = segment_info(shared_.segment, shared_.shmid, shared_.address);
  XImage* image = static_cast<long>(w) * h < shared_minimum_pixels
                      ? nullptr
                      : XShmCreateImage(display_, visual, depth, ZPixmap, nullptr, &info,
                                        static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (image != nullptr) {
    char* buffer = shared_buffer(static_cast<std::size_t>(image->bytes_per_line) *
                                 static_cast<std::size_t>(h));
    if (buffer != nullptr) {
      info = segment_info(shared_.segment, shared_.shmid, shared_.address);
      image->data = buffer;
      image->obdata = reinterpret_cast<char*>(&info);
      in_shared = true;
    } else {
      XDestroyImage(image);
      image = nullptr;
    }
  }
  if (image == nullptr) {
    image = XCreateImage(display_, visual, depth, ZPixmap, 0, nullptr, static_cast<unsigned>(w),
                         static_cast<unsigned>(h), 32, 0);
  }
  if (image == nullptr) {
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  const std::size_t stride = static_cast<std::size_t>(image->bytes_per_line);
  const bool native32 =
      image->bits_per_pixel == 32 &&
      (image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
  std::vector<std::uint32_t> line;
  try {
    if (!in_shared && image_buffer_.size() < stride * static_cast<std::size_t>(h)) {
      image_buffer_.clear();
      image_buffer_.shrink_to_fit();
      image_buffer_.resize(stride * static_cast<std::size_t>(h));
    }
    line.resize(static_cast<std::size_t>(w));
  } catch (const std::bad_alloc&) {
    message("ERROR: Problem creating bitmap section: BITS = NULL");
    image->data = nullptr;
    XDestroyImage(image);
    return vg::device_failed;
  }
  if (!in_shared) image->data = image_buffer_.data();
  // An image in the shared segment goes to the server in bands of rows,
  // each as soon as it is made, so that the server puts one band while the
  // next one is made. An image in the request is sent with what follows it:
  // it is small, and a flush costs more than the server's work on it.
  const bool flush_bands = in_shared;
  XSetFunction(display_, gc, GXcopy);
  int sent = 0;
  const auto send = [&](int end) {
    for (const XId target : {drawable, mirror}) {
      if (target == 0) continue;
      if (in_shared) {
        XShmPutImage(display_, target, gc, image, 0, sent, x0, y0 + sent, static_cast<unsigned>(w),
                     static_cast<unsigned>(end - sent), False);
      } else {
        XPutImage(display_, target, gc, image, 0, sent, x0, y0 + sent, static_cast<unsigned>(w),
                  static_cast<unsigned>(end - sent));
      }
    }
    if (flush_bands) XFlush(display_);
    sent = end;
  };
  for (int r = 0; r < h; ++r) {
    if (r - sent >= image_band) send(r);
    char* row_start = image->data + static_cast<std::size_t>(r) * stride;
    const int row = rows[r];
    // A magnified row repeats the one above it.
    if (r > 0 && row == rows[r - 1]) {
      std::memcpy(row_start, row_start - stride, stride);
      continue;
    }
    // The next data row is fetched while this one is made.
    const int next = r + 1 < h && rows[r + 1] != row ? rows[r + 1] + 1 : 0;
    std::uint32_t* out = native32 ? reinterpret_cast<std::uint32_t*>(row_start) : line.data();
    if (real) {
      scale.row(source.data.row(row + 1), columns, w, lut, out);
      if (next != 0) prefetch_row(source.data.row(next), columns[0], columns[w - 1]);
      if (!source.mask.empty()) {
        // Masked pixels take the mask colour instead.
        const bool* masked = source.mask.row(row + 1);
        for (int c = 0; c < w; ++c) {
          if (masked[columns[c]]) out[c] = mask_pixel;
        }
      }
    } else if (!source.cells.empty()) {
      const int* values = source.cells.row(row + 1);
      for (int c = 0; c < w; ++c)
        out[c] = lut[std::clamp(values[columns[c]], 0, vg::table_size - 1)];
      if (next != 0) prefetch_row(source.cells.row(next), columns[0], columns[w - 1]);
    } else {
      const unsigned char* values = source.bytes.row(row + 1);
      for (int c = 0; c < w; ++c) out[c] = lut[values[columns[c]]];
      if (next != 0) prefetch_row(source.bytes.row(next), columns[0], columns[w - 1]);
    }
    if (!native32) {
      for (int c = 0; c < w; ++c) XPutPixel(image, c, r, out[c]);
    }
  }
  send(h);
  shared_.in_use = in_shared;
  shared_.serial = NextRequest(display_) - 1;
  image->data = nullptr;  // the buffer stays for the next image
  image->obdata = nullptr;
  XDestroyImage(image);
  return vg::device_ok;
}

int WindowDevice::draw_cell_array(const ImageSource& source, float x0, float y0, float x1,
                                  float y1) {
  if (!is_open()) return vg::device_failed;
  const float left = to_px(x0), right = to_px(x1);
  const float bottom = to_py(y0), top = to_py(y1);
  int cx0 = 0, cy0 = 0, cx1 = width_, cy1 = height_;
  if (clip_on_) {
    cx0 = std::max(cx0, clip_x_);
    cy0 = std::max(cy0, clip_y_);
    cx1 = std::min(cx1, clip_x_ + clip_w_);
    cy1 = std::min(cy1, clip_y_ + clip_h_);
  }
  // What is drawn shows at once when nothing else waits to be shown and
  // nothing lies on the window alone (bands, the spyglass): then the image
  // goes to the window as it goes to the pixmap, band by band, instead of
  // being copied from the pixmap afterwards, and only the rest of the drawn
  // rectangle (its edges, what the clip kept out) is copied.
  const bool at_once = !suspended_ && !dirty_.any && !band_drawn_ && !cross_drawn_ &&
                       !spyglass_.drawn && window_shows();
  int placed[4] = {0, 0, 0, 0};
  const int result = put_image(pixmap_, gc_copy_, source, left, top, right, bottom, cx0, cy0, cx1,
                               cy1, at_once ? window_ : 0, placed);
  if (result != vg::device_ok) return result;
  const int dx0 = static_cast<int>(std::floor(std::min(left, right)));
  const int dy0 = static_cast<int>(std::floor(std::min(top, bottom)));
  const int dx1 = static_cast<int>(std::ceil(std::max(left, right))) + 1;
  const int dy1 = static_cast<int>(std::ceil(std::max(top, bottom))) + 1;
  if (!at_once) {
    drawn(dx0, dy0, dx1, dy1);
    return result;
  }
  // The drawn rectangle within the drawing, less the image.
  const int ax0 = std::max(dx0, 0), ay0 = std::max(dy0, 0);
  const int ax1 = std::min(dx1, width_), ay1 = std::min(dy1, height_);
  if (ax1 <= ax0 || ay1 <= ay0) return result;
  painted_.add(ax0, ay0, ax1, ay1);
  int ix0 = std::clamp(placed[0], ax0, ax1), iy0 = std::clamp(placed[1], ay0, ay1);
  int ix1 = std::clamp(placed[2], ax0, ax1), iy1 = std::clamp(placed[3], ay0, ay1);
  if (ix1 <= ix0 || iy1 <= iy0) ix0 = ix1 = ax0, iy0 = iy1 = ay0;
  const auto copy = [&](int x, int y, int xe, int ye) {
    if (xe <= x || ye <= y) return;
    XCopyArea(display_, pixmap_, window_, gc_copy_, x, y, static_cast<unsigned>(xe - x),
              static_cast<unsigned>(ye - y), x, y);
  };
  if (ix1 <= ix0) {
    copy(ax0, ay0, ax1, ay1);
  } else {
    copy(ax0, ay0, ax1, iy0);
    copy(ax0, iy1, ax1, ay1);
    copy(ax0, iy0, ix0, iy1);
    copy(ix1, iy0, ax1, iy1);
  }
  XFlush(display_);
  return result;
}

// Checks that the region lies inside the array, then draws the source with
// that region.
template <typename T>
int WindowDevice::draw_region(ImageSource source, io::View2D<const T> array, int xstart, int ystart,
                              int xend, int yend, float x0, float y0, float x1, float y1) {
  if (array.empty() || !region_ok(array.xmaxdat, array.ymaxdat, xstart, ystart, xend, yend)) {
    message("ERROR: Cell array region lies outside the array");
    return vg::device_failed;
  }
  source.xstart = xstart;
  source.ystart = ystart;
  source.xend = xend;
  source.yend = yend;
  return draw_cell_array(source, x0, y0, x1, y1);
}

int WindowDevice::cell_array(io::View2D<const int> cells, int xstart, int ystart, int xend,
                             int yend, float x0, float y0, float x1, float y1) {
  ImageSource source;
  source.cells = cells;
  return draw_region(source, cells, xstart, ystart, xend, yend, x0, y0, x1, y1);
}

int WindowDevice::byte_cell_array(io::View2D<const unsigned char> cells, int xstart, int ystart,
                                  int xend, int yend, float x0, float y0, float x1, float y1) {
  ImageSource source;
  source.bytes = cells;
  return draw_region(source, cells, xstart, ystart, xend, yend, x0, y0, x1, y1);
}

int WindowDevice::real_cell_array(io::View2D<const float> data, io::View2D<const bool> mask,
                                  int xstart, int ystart, int xend, int yend, float x0, float y0,
                                  float x1, float y1, float low, float high, bool logarithmic) {
  if (!mask.empty() && (mask.xmaxdat < xend || mask.ymaxdat < yend)) {
    message("ERROR: The mask array does not match the data array");
    return vg::device_failed;
  }
  ImageSource source;
  source.data = data;
  source.mask = mask;
  source.low = low;
  source.high = high;
  source.logarithmic = logarithmic;
  return draw_region(source, data, xstart, ystart, xend, yend, x0, y0, x1, y1);
}

}  // namespace vg::x11

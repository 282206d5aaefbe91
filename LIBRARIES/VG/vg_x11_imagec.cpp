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

// The pixels whose centres lie inside the edges, within the clip limits.
PixelRect pixels_inside(const PixelEdges& e, const PixelRect& clip) {
  const float lo_x = std::min(e.left, e.right), hi_x = std::max(e.left, e.right);
  const float lo_y = std::min(e.top, e.bottom), hi_y = std::max(e.top, e.bottom);
  return {std::max(clip.x0, static_cast<int>(std::ceil(lo_x - 0.5f))),
          std::max(clip.y0, static_cast<int>(std::ceil(lo_y - 0.5f))),
          std::min(clip.x1, static_cast<int>(std::ceil(hi_x - 0.5f))),
          std::min(clip.y1, static_cast<int>(std::ceil(hi_y - 0.5f)))};
}

bool region_ok(int xmax, int ymax, int xstart, int ystart, int xend, int yend) {
  return xstart >= 1 && ystart >= 1 && xstart <= xend && ystart <= yend && xend <= xmax &&
         yend <= ymax;
}

}  // namespace

bool WindowDevice::IndexTable::Geometry::same(const Geometry& other) const {
  return origin == other.origin && count == other.count && cells == other.cells &&
         start == other.start && vg::same_bits(near_edge, other.near_edge) &&
         vg::same_bits(far_edge, other.far_edge);
}

// index[i] = start - 1 + the 0-based cell of pixel origin + i.
void WindowDevice::IndexTable::make(const Geometry& wanted) {
  if (valid && geometry.same(wanted)) return;
  valid = false;
  const Geometry& g = wanted;
  index.resize(static_cast<std::size_t>(g.count));
  for (int i = 0; i < g.count; ++i) {
    const float f =
        (static_cast<float>(g.origin + i) + 0.5f - g.near_edge) / (g.far_edge - g.near_edge);
    const int k =
        std::clamp(static_cast<int>(std::floor(f * static_cast<float>(g.cells))), 0, g.cells - 1);
    index[static_cast<std::size_t>(i)] = g.start - 1 + k;
  }
  geometry = wanted;
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

// An image on its way to the server: the XImage, its pixels in the shared
// segment or in the device's buffer, the pixel values of the colour indices,
// and the rows sent so far.
struct WindowDevice::ImageRows {
  XImage* image = nullptr;
  XShmSegmentInfo info{};
  bool in_shared = false;
  // 32-bit pixels in the processor's byte order: rows are made in place.
  bool native32 = false;
  std::size_t stride = 0;
  std::vector<std::uint32_t> line;  // a row made aside, put pixel by pixel
  std::uint32_t lut[vg::table_size];
  std::uint32_t mask_pixel = 0;
  int sent = 0;
};

// The scale of real data, and the data column and row (0-based within the
// array) of each pixel. The left edge belongs to the region's first column,
// whatever the direction; `bottom` is the edge of the region's first row
// (world y0).
int WindowDevice::image_tables(const ImageSource& source, const PixelEdges& e, const PixelRect& r) {
  try {
    if (!source.data.empty() && !scale_cache_.same(source.low, source.high, source.logarithmic,
                                                   image_first_, image_last_)) {
      if (!scale_cache_.set(source.low, source.high, source.logarithmic, image_first_,
                            image_last_)) {
        message(vg::unusable_range_message(source.logarithmic));
        return vg::device_failed;
      }
    }
    column_table_.make(
        {r.x0, r.width(), source.xend - source.xstart + 1, source.xstart, e.left, e.right});
    row_table_.make(
        {r.y0, r.height(), source.yend - source.ystart + 1, source.ystart, e.bottom, e.top});
  } catch (const std::bad_alloc&) {
    scale_cache_ = vg::IndexScale();
    column_table_.valid = row_table_.valid = false;
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  return vg::device_ok;
}

// The XImage of w by h pixels: in the shared segment when the server shares
// memory with us and the image is large enough to gain by it, else in the
// device's buffer.
int WindowDevice::create_image(ImageRows& rows, int w, int h) {
  Visual* visual = static_cast<Visual*>(visual_);
  const unsigned depth = static_cast<unsigned>(depth_);
  rows.info = segment_info(shared_.segment, shared_.shmid, shared_.address);
  if (static_cast<long>(w) * h >= shared_minimum_pixels) {
    rows.image = XShmCreateImage(display_, visual, depth, ZPixmap, nullptr, &rows.info,
                                 static_cast<unsigned>(w), static_cast<unsigned>(h));
  }
  if (rows.image != nullptr) {
    char* buffer = shared_buffer(static_cast<std::size_t>(rows.image->bytes_per_line) *
                                 static_cast<std::size_t>(h));
    if (buffer != nullptr) {
      rows.info = segment_info(shared_.segment, shared_.shmid, shared_.address);
      rows.image->data = buffer;
      rows.image->obdata = reinterpret_cast<char*>(&rows.info);
      rows.in_shared = true;
    } else {
      XDestroyImage(rows.image);
      rows.image = nullptr;
    }
  }
  if (rows.image == nullptr) {
    rows.image = XCreateImage(display_, visual, depth, ZPixmap, 0, nullptr,
                              static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
  }
  if (rows.image == nullptr) {
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  return image_pixels(rows, w, h);
}

// Where the rows of the image are made, and the pixel values they take.
int WindowDevice::image_pixels(ImageRows& rows, int w, int h) {
  XImage* image = rows.image;
  rows.stride = static_cast<std::size_t>(image->bytes_per_line);
  rows.native32 = image->bits_per_pixel == 32 &&
                  (image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
  try {
    if (!rows.in_shared && image_buffer_.size() < rows.stride * static_cast<std::size_t>(h)) {
      image_buffer_.clear();
      image_buffer_.shrink_to_fit();
      image_buffer_.resize(rows.stride * static_cast<std::size_t>(h));
    }
    rows.line.resize(static_cast<std::size_t>(w));
  } catch (const std::bad_alloc&) {
    message("ERROR: Problem creating bitmap section: BITS = NULL");
    image->data = nullptr;
    XDestroyImage(image);
    rows.image = nullptr;
    return vg::device_failed;
  }
  if (!rows.in_shared) image->data = image_buffer_.data();
  for (int i = 0; i < vg::table_size; ++i)
    rows.lut[i] = static_cast<std::uint32_t>(pixels_[static_cast<std::size_t>(i)]);
  rows.mask_pixel = static_cast<std::uint32_t>(pixel_of(mask_colour_));
  return vg::device_ok;
}

// Sends the rows made since the last band, up to `end`, to the drawable and
// to the mirror (0: none). An image in the shared segment goes to the server
// in bands of rows, each as soon as it is made, so that the server puts one
// band while the next one is made. An image in the request is sent with what
// follows it: it is small, and a flush costs more than the server's work on
// it.
void WindowDevice::send_rows(ImageRows& rows, const PixelRect& r, XId drawable, GC gc, XId mirror,
                             int end) {
  const unsigned w = static_cast<unsigned>(r.width()), h = static_cast<unsigned>(end - rows.sent);
  for (const XId target : {drawable, mirror}) {
    if (target == 0) continue;
    if (rows.in_shared) {
      XShmPutImage(display_, target, gc, rows.image, 0, rows.sent, r.x0, r.y0 + rows.sent, w, h,
                   False);
    } else {
      XPutImage(display_, target, gc, rows.image, 0, rows.sent, r.x0, r.y0 + rows.sent, w, h);
    }
  }
  if (rows.in_shared) XFlush(display_);
  rows.sent = end;
}

// Row r of the image (0-based) from the data row of the row table.
void WindowDevice::make_row(ImageRows& rows, const ImageSource& source, int r, int h) {
  const int w = static_cast<int>(rows.line.size());
  const int* columns = column_table_.index.data();
  const int* table_rows = row_table_.index.data();
  char* row_start = rows.image->data + static_cast<std::size_t>(r) * rows.stride;
  const int row = table_rows[r];
  // A magnified row repeats the one above it.
  if (r > 0 && row == table_rows[r - 1]) {
    std::memcpy(row_start, row_start - rows.stride, rows.stride);
    return;
  }
  // The next data row is fetched while this one is made.
  const int next = r + 1 < h && table_rows[r + 1] != row ? table_rows[r + 1] + 1 : 0;
  std::uint32_t* out =
      rows.native32 ? reinterpret_cast<std::uint32_t*>(row_start) : rows.line.data();
  if (!source.data.empty()) {
    scale_cache_.row(source.data.row(row + 1), columns, w, rows.lut, out);
    if (next != 0) prefetch_row(source.data.row(next), columns[0], columns[w - 1]);
    if (!source.mask.empty()) {
      // Masked pixels take the mask colour instead.
      const bool* masked = source.mask.row(row + 1);
      for (int c = 0; c < w; ++c) {
        if (masked[columns[c]]) out[c] = rows.mask_pixel;
      }
    }
  } else if (!source.cells.empty()) {
    const int* values = source.cells.row(row + 1);
    for (int c = 0; c < w; ++c)
      out[c] = rows.lut[std::clamp(values[columns[c]], 0, vg::table_size - 1)];
    if (next != 0) prefetch_row(source.cells.row(next), columns[0], columns[w - 1]);
  } else {
    const unsigned char* values = source.bytes.row(row + 1);
    for (int c = 0; c < w; ++c) out[c] = rows.lut[values[columns[c]]];
    if (next != 0) prefetch_row(source.bytes.row(next), columns[0], columns[w - 1]);
  }
  if (!rows.native32) {
    for (int c = 0; c < w; ++c) XPutPixel(rows.image, c, r, out[c]);
  }
}

// Draws an image into a drawable over a pixel rectangle (its edges as real
// pixel edges), clipped to `clip`. `mirror` (0 none) is a second drawable
// that receives the same pixels, band by band (the window, when what goes
// into the pixmap is to show at once); `placed` (null: not wanted) gets the
// pixel rectangle written (empty when nothing was).
int WindowDevice::put_image(XId drawable, GC gc, const ImageSource& source, const PixelEdges& edges,
                            const PixelRect& clip, XId mirror, PixelRect* placed) {
  const PixelRect r = pixels_inside(edges, clip);
  if (placed != nullptr) *placed = r;
  if (r.empty()) return vg::device_ok;
  if (image_tables(source, edges, r) != vg::device_ok) return vg::device_failed;
  ImageRows rows;
  if (create_image(rows, r.width(), r.height()) != vg::device_ok) return vg::device_failed;
  XSetFunction(display_, gc, GXcopy);
  const int h = r.height();
  for (int row = 0; row < h; ++row) {
    if (row - rows.sent >= image_band) send_rows(rows, r, drawable, gc, mirror, row);
    make_row(rows, source, row, h);
  }
  send_rows(rows, r, drawable, gc, mirror, h);
  shared_.in_use = rows.in_shared;
  shared_.serial = NextRequest(display_) - 1;
  rows.image->data = nullptr;  // the buffer stays for the next image
  rows.image->obdata = nullptr;
  XDestroyImage(rows.image);
  return vg::device_ok;
}

// The drawing within the clip rectangle when clipping is on.
PixelRect WindowDevice::drawing_clip() const {
  PixelRect c{0, 0, width_, height_};
  if (clip_on_) {
    c.x0 = std::max(c.x0, clip_x_);
    c.y0 = std::max(c.y0, clip_y_);
    c.x1 = std::min(c.x1, clip_x_ + clip_w_);
    c.y1 = std::min(c.y1, clip_y_ + clip_h_);
  }
  return c;
}

int WindowDevice::draw_cell_array(const ImageSource& source, float x0, float y0, float x1,
                                  float y1) {
  if (!is_open()) return vg::device_failed;
  const PixelEdges edges{to_px(x0), to_py(y1), to_px(x1), to_py(y0)};
  // What is drawn shows at once when nothing else waits to be shown and
  // nothing lies on the window alone (bands, the spyglass): then the image
  // goes to the window as it goes to the pixmap, band by band, instead of
  // being copied from the pixmap afterwards, and only the rest of the drawn
  // rectangle (its edges, what the clip kept out) is copied.
  const bool at_once = !suspended_ && !dirty_.any && !band_drawn_ && !cross_drawn_ &&
                       !spyglass_.drawn && window_shows();
  PixelRect placed;
  const int result =
      put_image(pixmap_, gc_copy_, source, edges, drawing_clip(), at_once ? window_ : 0, &placed);
  if (result != vg::device_ok) return result;
  const PixelRect drawn_rect{static_cast<int>(std::floor(std::min(edges.left, edges.right))),
                             static_cast<int>(std::floor(std::min(edges.top, edges.bottom))),
                             static_cast<int>(std::ceil(std::max(edges.left, edges.right))) + 1,
                             static_cast<int>(std::ceil(std::max(edges.top, edges.bottom))) + 1};
  if (at_once) {
    show_around(drawn_rect, placed);
  } else {
    drawn(drawn_rect.x0, drawn_rect.y0, drawn_rect.x1, drawn_rect.y1);
  }
  return result;
}

// Copies to the window the drawn rectangle within the drawing less the image
// placed in it, which is on the window already.
void WindowDevice::show_around(const PixelRect& drawn_rect, const PixelRect& placed) {
  const int ax0 = std::max(drawn_rect.x0, 0), ay0 = std::max(drawn_rect.y0, 0);
  const int ax1 = std::min(drawn_rect.x1, width_), ay1 = std::min(drawn_rect.y1, height_);
  if (ax1 <= ax0 || ay1 <= ay0) return;
  painted_.add(ax0, ay0, ax1, ay1);
  int ix0 = std::clamp(placed.x0, ax0, ax1), iy0 = std::clamp(placed.y0, ay0, ay1);
  int ix1 = std::clamp(placed.x1, ax0, ax1), iy1 = std::clamp(placed.y1, ay0, ay1);
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

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
#include "vg_x11_state.h"

// The linear scale has a wide path on x86 processors that have it.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KOV_X11_WIDE 1
#endif

namespace vg::x11 {

namespace {

#ifdef KOV_X11_WIDE
// Whether the processor (and the system) has the 256-bit integer and gather
// instructions.
bool wide() {
  static const bool supported = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return supported;
}

// The linear scale of a row, 8 pixels at a time: the same single-precision
// operations as the scalar loop (max and min take their second operand for
// a value that is not a number, as the comparisons there do), the pixel
// values gathered from the table (table[0] is the pixel of the first index).
__attribute__((target("avx2"))) void linear_row_wide(const float* values, const int* columns, int w,
                                                     float low, float factor, float top,
                                                     const std::uint32_t* table, std::uint32_t* out) {
  const __m256 low8 = _mm256_set1_ps(low), factor8 = _mm256_set1_ps(factor);
  const __m256 top8 = _mm256_set1_ps(top), zero8 = _mm256_setzero_ps();
  const int* pixels = reinterpret_cast<const int*>(table);
  int c = 0;
  for (; c + 8 <= w; c += 8) {
    // Eight loads gather the samples faster than the gather instruction.
    const int* k = columns + c;
    const __m256 v = _mm256_setr_ps(values[k[0]], values[k[1]], values[k[2]], values[k[3]],
                                    values[k[4]], values[k[5]], values[k[6]], values[k[7]]);
    __m256 t = _mm256_mul_ps(_mm256_sub_ps(v, low8), factor8);
    t = _mm256_min_ps(_mm256_max_ps(t, zero8), top8);
    const __m256i p = _mm256_i32gather_epi32(pixels, _mm256_cvttps_epi32(t), 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c), p);
  }
  for (; c < w; ++c) {
    float t = (values[columns[c]] - low) * factor;
    t = t > 0.0f ? t : 0.0f;
    t = t < top ? t : top;
    out[c] = table[static_cast<int>(t)];
  }
}
#endif

// Colour index of real data scaled between low and high onto first..last:
// values at or below low take first, at or above high last; in between the
// index grows by one every (high - low) / levels (linear) or every
// log10(high / low) / levels decades (logarithmic). Anything not a number
// takes first.
//
// The logarithmic scale needs no logarithm per pixel: the positive floats
// are cut into buckets by the top bits of their representation (as many as
// 65536 over the range); each bucket knows the index of its smallest value,
// and a bucket that holds a step to the next index is settled by comparing
// with the exact step value.
class Scaler {
 public:
  bool prepare(float low, float high, bool logarithmic, int first, int last) {
    low_ = low;
    high_ = high;
    log_ = logarithmic;
    first_ = first;
    last_ = last;
    const double levels = static_cast<double>(last - first + 1);
    if (!std::isfinite(low) || !std::isfinite(high) || !(high > low)) return false;
    if (!logarithmic) {
      factor_ = levels / (static_cast<double>(high) - static_cast<double>(low));
      linear_factor_ = static_cast<float>(factor_);
      top_ = static_cast<float>(last - first);
      return std::isfinite(factor_) && std::isfinite(linear_factor_) && linear_factor_ > 0.0f;
    }
    if (!(low > 0.0f)) return false;
    base_ = std::log10(static_cast<double>(low));
    factor_ = levels / (std::log10(static_cast<double>(high)) - base_);
    if (!std::isfinite(factor_) || !(factor_ > 0.0)) return false;
    // Step values: steps_[k] is the smallest float whose index is first + k.
    steps_.assign(static_cast<std::size_t>(last - first + 2), high);
    for (int k = 1; k <= last - first; ++k) {
      float v = static_cast<float>(std::pow(10.0, base_ + k / factor_));
      v = std::clamp(v, low, high);
      for (int i = 0; i < 64 && direct(v) < first + k && v < high; ++i) v = std::nextafter(v, high);
      for (int i = 0; i < 64 && v > low && direct(std::nextafter(v, low)) >= first + k; ++i) {
        v = std::nextafter(v, low);
      }
      steps_[static_cast<std::size_t>(k)] = v;
    }
    // Buckets fine enough that few hold a step: at most 65536 of them.
    shift_ = 8;
    while (shift_ < 23 && (key(high) - key(low)) > 65536u) ++shift_;
    key_low_ = key(low);
    const std::uint32_t key_high = key(high);
    buckets_.resize(key_high - key_low_ + 1);
    int index = first;
    for (std::uint32_t k = key_low_; k <= key_high; ++k) {
      const float smallest = std::max(low, std::bit_cast<float>(k << shift_));
      while (index < last && smallest >= steps_[static_cast<std::size_t>(index - first + 1)]) ++index;
      buckets_[k - key_low_] = static_cast<std::uint8_t>(index);
    }
    // Whether no bucket holds two steps: then one comparison settles it.
    single_step_ = true;
    for (int k = 1; k < last - first && single_step_; ++k) {
      single_step_ = key(steps_[static_cast<std::size_t>(k)]) != key(steps_[static_cast<std::size_t>(k + 1)]);
    }
    return true;
  }

  bool logarithmic() const { return log_; }

  // Linear scaling without branches (single precision; the same as the
  // formula but for values within a rounding of a step).
  int linear(float v) const {
    float t = (v - low_) * linear_factor_;
    t = t > 0.0f ? t : 0.0f;  // below low, and not a number
    t = t < top_ ? t : top_;
    return first_ + static_cast<int>(t);
  }

  // Key of the scale: the same arguments give the same tables.
  bool same(float low, float high, bool logarithmic, int first, int last) const {
    return std::bit_cast<std::uint32_t>(low) == std::bit_cast<std::uint32_t>(low_) &&
           std::bit_cast<std::uint32_t>(high) == std::bit_cast<std::uint32_t>(high_) &&
           logarithmic == log_ && first == first_ && last == last_;
  }

  // A row of pixels: out[c] = pixel of the index of values[columns[c]].
  void row(const float* values, const int* columns, int w, const std::uint32_t* lut,
           std::uint32_t* out) const {
    if (!log_) {
#ifdef KOV_X11_WIDE
      if (wide()) {
        linear_row_wide(values, columns, w, low_, linear_factor_, top_, lut + first_, out);
        return;
      }
#endif
      // Locals: the stores to `out` might otherwise be taken to change them.
      const float low = low_, factor = linear_factor_, top = top_;
      const int first = first_;
      for (int c = 0; c < w; ++c) {
        float t = (values[columns[c]] - low) * factor;
        t = t > 0.0f ? t : 0.0f;  // below low, and not a number
        t = t < top ? t : top;
        out[c] = lut[first + static_cast<int>(t)];
      }
      return;
    }
    if (!single_step_) {
      for (int c = 0; c < w; ++c) out[c] = lut[(*this)(values[columns[c]])];
      return;
    }
    const float low = low_, high = high_;
    const int first = first_, last = last_, shift = shift_;
    const std::uint32_t key_low = key_low_;
    const std::uint8_t* buckets = buckets_.data();
    const float* steps = steps_.data() - first + 1;  // steps[i] starts index i
    for (int c = 0; c < w; ++c) {
      const float v = values[columns[c]];
      int index;
      if (!(v > low)) {
        index = first;
      } else if (v >= high) {
        index = last;
      } else {
        index = buckets[(std::bit_cast<std::uint32_t>(v) >> shift) - key_low];
        index += v >= steps[index] ? 1 : 0;
      }
      out[c] = lut[index];
    }
  }

  int operator()(float v) const {
    if (!log_) return linear(v);
    if (!(v > low_)) return first_;
    if (v >= high_) return last_;
    int index = buckets_[key(v) - key_low_];
    while (index < last_ && v >= steps_[static_cast<std::size_t>(index - first_ + 1)]) ++index;
    return index;
  }

 private:
  std::uint32_t key(float v) const { return std::bit_cast<std::uint32_t>(v) >> shift_; }
  int shift_ = 16;
  bool single_step_ = false;
  // The index by the formula itself.
  int direct(float v) const {
    if (!(v > low_)) return first_;
    if (v >= high_) return last_;
    const int offset = static_cast<int>((std::log10(static_cast<double>(v)) - base_) * factor_);
    return std::min(last_, first_ + std::max(0, offset));
  }

  float low_ = 0, high_ = 1;
  bool log_ = false;
  int first_ = 0, last_ = 255;
  double factor_ = 1.0, base_ = 0.0;
  float linear_factor_ = 1.0f, top_ = 255.0f;
  std::vector<float> steps_;
  std::vector<std::uint8_t> buckets_;
  std::uint32_t key_low_ = 0;
};

// The pixels of the last image, kept for the next one.
std::vector<char> image_buffer;

// Kept between calls, for the next image with the same geometry or range
// (an image shown again, the spyglass over it): the scale and the data
// column and row of each pixel.
Scaler last_scaler;
bool last_scaler_valid = false;

struct IndexTable {
  bool valid = false;
  int origin = 0, count = 0, cells = 0, start = 0;
  float near_edge = 0, far_edge = 0;
  std::vector<int> index;

  // index[i] = start - 1 + the 0-based cell of pixel origin + i, the cells
  // running from the edge near_edge to far_edge.
  void make(int new_origin, int new_count, int new_cells, int new_start, float new_near,
            float new_far) {
    if (valid && origin == new_origin && count == new_count && cells == new_cells &&
        start == new_start && std::bit_cast<std::uint32_t>(near_edge) == std::bit_cast<std::uint32_t>(new_near) &&
        std::bit_cast<std::uint32_t>(far_edge) == std::bit_cast<std::uint32_t>(new_far)) {
      return;
    }
    valid = false;
    index.resize(static_cast<std::size_t>(new_count));
    for (int i = 0; i < new_count; ++i) {
      const float f = (static_cast<float>(new_origin + i) + 0.5f - new_near) / (new_far - new_near);
      const int k = std::clamp(static_cast<int>(std::floor(f * static_cast<float>(new_cells))), 0, new_cells - 1);
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
};
IndexTable column_table, row_table;

// Asks the cache to fetch the part of a data row between two columns
// (0-based, either order) while the current row is being made.
template <typename T>
void prefetch_row(const T* values, int a, int b) {
  constexpr int step = static_cast<int>(64 / sizeof(T));
  for (int k = std::min(a, b), e = std::max(a, b); k <= e; k += step) __builtin_prefetch(values + k);
}

// A shared-memory segment for images on a local server: the server reads
// the pixels from it without their going through the connection.
struct SharedImage {
  Display* display = nullptr;
  bool checked = false;
  bool available = false;
  bool attached = false;
  bool in_use = false;  // the server may still be reading it
  unsigned long serial = 0;  // request number of the last put from it
  XShmSegmentInfo info{};
  std::size_t size = 0;
};
SharedImage shared;
bool shared_refused = false;

int note_refusal(Display*, XErrorEvent*) {
  shared_refused = true;
  return 0;
}

void detach_shared() {
  if (!shared.attached) return;
  XShmDetach(shared.display, &shared.info);
  XSync(shared.display, False);
  shmdt(shared.info.shmaddr);
  shared.attached = false;
  shared.size = 0;
}

// The segment, at least `size` bytes, free for writing; null when the
// server cannot share memory with us.
char* shared_buffer(std::size_t size) {
  State& s = state();
  if (shared.display != s.display) {
    shared = SharedImage();
    shared.display = s.display;
  }
  if (!shared.checked) {
    shared.checked = true;
    shared.available = XShmQueryExtension(s.display) != False;
  }
  if (!shared.available) return nullptr;
  // Wait for the server only when it may not have taken the last image yet.
  if (shared.in_use && LastKnownRequestProcessed(s.display) < shared.serial) XSync(s.display, False);
  shared.in_use = false;
  if (shared.size >= size) return shared.info.shmaddr;
  detach_shared();
  const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (id < 0) {
    shared.available = false;
    return nullptr;
  }
  void* address = shmat(id, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    shared.available = false;
    return nullptr;
  }
  shared.info.shmid = id;
  shared.info.shmaddr = static_cast<char*>(address);
  shared.info.readOnly = False;
  // A server elsewhere refuses the segment: try it once, quietly.
  shared_refused = false;
  XSync(s.display, False);
  XErrorHandler previous = XSetErrorHandler(note_refusal);
  XShmAttach(s.display, &shared.info);
  XSync(s.display, False);
  XSetErrorHandler(previous);
  shmctl(id, IPC_RMID, nullptr);  // goes when both sides have let go
  if (shared_refused) {
    shmdt(address);
    shared.available = false;
    return nullptr;
  }
  shared.attached = true;
  shared.size = size;
  return shared.info.shmaddr;
}

void report_scaling(bool logarithmic) {
  message(logarithmic ? "ERROR: Log scaling range unacceptable" : "ERROR: Scaling range unacceptable");
}

bool region_ok(int xmax, int ymax, int xstart, int ystart, int xend, int yend) {
  return xstart >= 1 && ystart >= 1 && xstart <= xend && ystart <= yend && xend <= xmax &&
         yend <= ymax;
}

}  // namespace

int put_image(XId drawable, GC gc, const ImageSource& source, float left, float top, float right,
              float bottom, int clip_x0, int clip_y0, int clip_x1, int clip_y1, XId mirror,
              int* placed) {
  State& s = state();
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
    if (real && !(last_scaler_valid && last_scaler.same(source.low, source.high, source.logarithmic,
                                                         s.image_first, s.image_last))) {
      last_scaler_valid = false;
      if (!last_scaler.prepare(source.low, source.high, source.logarithmic, s.image_first, s.image_last)) {
        report_scaling(source.logarithmic);
        return vg::device_failed;
      }
      last_scaler_valid = true;
    }
    // Data column and row (0-based within the array) of each pixel. The
    // left edge belongs to the region's first column, whatever the
    // direction; `bottom` is the edge of the region's first row (world y0).
    column_table.make(x0, w, ncols, source.xstart, left, right);
    row_table.make(y0, h, nrows, source.ystart, bottom, top);
  } catch (const std::bad_alloc&) {
    column_table.valid = row_table.valid = false;
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  const Scaler& scaler = last_scaler;
  const int* columns = column_table.index.data();
  const int* rows = row_table.index.data();
  std::uint32_t lut[vg::table_size];
  for (int i = 0; i < vg::table_size; ++i) lut[i] = static_cast<std::uint32_t>(s.pixels[static_cast<std::size_t>(i)]);
  const std::uint32_t mask_pixel = static_cast<std::uint32_t>(pixel_of(s.mask_colour));

  Visual* visual = static_cast<Visual*>(s.visual);
  const unsigned depth = static_cast<unsigned>(s.depth);
  bool in_shared = false;
  XImage* image = XShmCreateImage(s.display, visual, depth, ZPixmap, nullptr, &shared.info,
                                  static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (image != nullptr) {
    char* buffer = shared_buffer(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(h));
    if (buffer != nullptr) {
      image->data = buffer;
      image->obdata = reinterpret_cast<char*>(&shared.info);
      in_shared = true;
    } else {
      XDestroyImage(image);
      image = nullptr;
    }
  }
  if (image == nullptr) {
    image = XCreateImage(s.display, visual, depth, ZPixmap, 0, nullptr, static_cast<unsigned>(w),
                         static_cast<unsigned>(h), 32, 0);
  }
  if (image == nullptr) {
    message("ERROR: Failed to allocate memory for bitmap info header");
    return vg::device_failed;
  }
  const std::size_t stride = static_cast<std::size_t>(image->bytes_per_line);
  const bool native32 = image->bits_per_pixel == 32 &&
                        (image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
  std::vector<std::uint32_t> line;
  try {
    if (!in_shared && image_buffer.size() < stride * static_cast<std::size_t>(h)) {
      image_buffer.clear();
      image_buffer.shrink_to_fit();
      image_buffer.resize(stride * static_cast<std::size_t>(h));
    }
    line.resize(static_cast<std::size_t>(w));
  } catch (const std::bad_alloc&) {
    message("ERROR: Problem creating bitmap section: BITS = NULL");
    XDestroyImage(image);
    return vg::device_failed;
  }
  if (!in_shared) image->data = image_buffer.data();
  // The image goes to the server in bands of rows, each as soon as it is
  // made, so that the server puts one band while the next one is made.
  XSetFunction(s.display, gc, GXcopy);
  constexpr int band = 64;
  int sent = 0;
  const auto send = [&](int end) {
    for (const XId target : {drawable, mirror}) {
      if (target == 0) continue;
      if (in_shared) {
        XShmPutImage(s.display, target, gc, image, 0, sent, x0, y0 + sent,
                     static_cast<unsigned>(w), static_cast<unsigned>(end - sent), False);
      } else {
        XPutImage(s.display, target, gc, image, 0, sent, x0, y0 + sent, static_cast<unsigned>(w),
                  static_cast<unsigned>(end - sent));
      }
    }
    XFlush(s.display);
    sent = end;
  };
  for (int r = 0; r < h; ++r) {
    if (r - sent >= band) send(r);
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
      scaler.row(source.data.row(row + 1), columns, w, lut, out);
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
      for (int c = 0; c < w; ++c) out[c] = lut[std::clamp(values[columns[c]], 0, vg::table_size - 1)];
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
  shared.in_use = in_shared;
  shared.serial = NextRequest(s.display) - 1;
  image->data = nullptr;  // the buffer stays for the next image
  XDestroyImage(image);
  return vg::device_ok;
}

void release_images() {
  if (shared.display == state().display) detach_shared();
  shared = SharedImage();
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
  // What is drawn shows at once when nothing else waits to be shown and
  // nothing lies on the window alone (bands, the spyglass): then the image
  // goes to the window as it goes to the pixmap, band by band, instead of
  // being copied from the pixmap afterwards, and only the rest of the drawn
  // rectangle (its edges, what the clip kept out) is copied.
  const bool at_once = !s.suspended && !s.dirty && !s.band_drawn && !s.cross_drawn && !s.spyglass.drawn;
  int placed[4] = {0, 0, 0, 0};
  const int result = put_image(s.pixmap, s.gc_copy, source, left, top, right, bottom, cx0, cy0, cx1,
                               cy1, at_once ? s.window : 0, placed);
  if (result != vg::device_ok) return result;
  const int dx0 = static_cast<int>(std::floor(std::min(left, right)));
  const int dy0 = static_cast<int>(std::floor(std::min(top, bottom)));
  const int dx1 = static_cast<int>(std::ceil(std::max(left, right))) + 1;
  const int dy1 = static_cast<int>(std::ceil(std::max(top, bottom))) + 1;
  if (!at_once) {
    drawn(dx0, dy0, dx1, dy1);
    return result;
  }
  // The drawn rectangle within the window, less the image.
  const int ax0 = std::max(dx0, 0), ay0 = std::max(dy0, 0);
  const int ax1 = std::min(dx1, s.width), ay1 = std::min(dy1, s.height);
  if (ax1 <= ax0 || ay1 <= ay0) return result;
  int ix0 = std::clamp(placed[0], ax0, ax1), iy0 = std::clamp(placed[1], ay0, ay1);
  int ix1 = std::clamp(placed[2], ax0, ax1), iy1 = std::clamp(placed[3], ay0, ay1);
  if (ix1 <= ix0 || iy1 <= iy0) ix0 = ix1 = ax0, iy0 = iy1 = ay0;
  const auto copy = [&](int x, int y, int xe, int ye) {
    if (xe <= x || ye <= y) return;
    XCopyArea(s.display, s.pixmap, s.window, s.gc_copy, x, y, static_cast<unsigned>(xe - x),
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
  XFlush(s.display);
  return result;
}

}  // namespace

}  // namespace vg::x11

using namespace vg::x11;

namespace {

// Checks that the region lies inside an array of xmax by ymax, then draws the
// source with that region.
template <typename T>
int draw_region(ImageSource source, io::View2D<const T> array, int xstart, int ystart, int xend,
                int yend, float x0, float y0, float x1, float y1) {
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

}  // namespace

void VG_X11_CA(io::View2D<const int> cells, int xstart, int ystart, int xend, int yend, float x0,
               float y0, float x1, float y1, int& error) {
  ImageSource source;
  source.cells = cells;
  error = draw_region(source, cells, xstart, ystart, xend, yend, x0, y0, x1, y1);
}

void VG_X11_BCA(io::View2D<const unsigned char> cells, int xstart, int ystart, int xend, int yend,
                float x0, float y0, float x1, float y1, int& error) {
  ImageSource source;
  source.bytes = cells;
  error = draw_region(source, cells, xstart, ystart, xend, yend, x0, y0, x1, y1);
}

void VG_X11_RMCA(io::View2D<const float> data, io::View2D<const bool> mask, int xstart,
                 int ystart, int xend, int yend, float x0, float y0, float x1, float y1, float low,
                 float high, bool logarithmic, int& error) {
  error = vg::device_failed;
  if (!mask.empty() && (mask.xmaxdat < xend || mask.ymaxdat < yend)) {
    message("ERROR: The mask array does not match the data array");
    return;
  }
  ImageSource source;
  source.data = data;
  source.mask = mask;
  source.low = low;
  source.high = high;
  source.logarithmic = logarithmic;
  error = draw_region(source, data, xstart, ystart, xend, yend, x0, y0, x1, y1);
}

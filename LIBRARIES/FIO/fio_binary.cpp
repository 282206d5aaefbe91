// Raw binary images: the stored types, the one path that moves a raw image
// into the real array, the ".info" header file and the layout remembered in
// the defaults database.
#include <algorithm>
#include <array>
#include <bit>
#include <iterator>
#include <new>
#include <type_traits>
#include <vector>

#include "fio_internal.h"

namespace {

// Elements moved through the work buffer at a time.
constexpr std::int64_t buffer_elements = 1 << 16;

constexpr const char* binary_id = "Subroutine FIO_IN_BINARY V0.2 ";

// Moves the pixels of the region (image pixel numbers from 1) of a checked
// layout, stored as T, into `data` through the 2-D transfer of T.
template <typename T>
void move_pixels(const fio::BinaryLayout& l, const fio::Region& g, io::View2D<float> data,
                 int& xnumdat, int& ynumdat, int& status) {
  std::vector<T> b;
  try {
    b.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(
        static_cast<std::int64_t>(l.width) * l.height, 1, buffer_elements)));
  } catch (const std::bad_alloc&) {
    io::say("ERROR: Failed to allocate memory for the image input buffer");
    io::fail(fio::module_offset + st::no_memory, binary_id, status);
    return;
  }
  const int w = l.width, h = l.height, n = static_cast<int>(b.size());
  const std::int64_t at = l.skip + 1;
  const bool swap = l.high_byte_first != (std::endian::native == std::endian::big);
  const bool is_signed =
      l.type == fio::type_int8 || l.type == fio::type_int16 || l.type == fio::type_int32;
  const int in = fio::input_file;
  if constexpr (std::is_same_v<T, std::int8_t>) {
    FIO_INP_2DBYTE(in, is_signed, false, l.top_first, false, w, h, g.x1, g.y1, g.x2, g.y2, 1, 1, at,
                   n, b, xnumdat, ynumdat, data, status);
  } else if constexpr (std::is_same_v<T, std::int16_t>) {
    FIO_INP_2DI2(in, swap, is_signed, false, l.top_first, false, w, h, g.x1, g.y1, g.x2, g.y2, 1, 1,
                 at, n, b, xnumdat, ynumdat, data, status);
  } else if constexpr (std::is_same_v<T, std::int32_t>) {
    FIO_INP_2DI4(in, swap, is_signed, false, l.top_first, false, w, h, g.x1, g.y1, g.x2, g.y2, 1, 1,
                 at, n, b, xnumdat, ynumdat, data, status);
  } else if constexpr (std::is_same_v<T, float>) {
    FIO_INP_2DR4(in, swap, false, l.top_first, false, w, h, g.x1, g.y1, g.x2, g.y2, 1, 1, at, n, b,
                 xnumdat, ynumdat, data, status);
  } else {
    FIO_INP_2DR8(in, swap, false, l.top_first, false, w, h, g.x1, g.y1, g.x2, g.y2, 1, 1, at, n, b,
                 xnumdat, ynumdat, data, status);
  }
}

// The stored types: name, bytes, overload value, and the transfer that
// moves them (the unsigned types through their signed ones).
struct TypeInfo {
  int type;
  const char* name;
  int size;
  float overload;
  void (*move)(const fio::BinaryLayout& l, const fio::Region& g, io::View2D<float> data,
               int& xnumdat, int& ynumdat, int& status);
};
constexpr std::array<TypeInfo, 8> types{{
    {fio::type_int8, "INT8", 1, 126.5f, move_pixels<std::int8_t>},
    {fio::type_uint8, "UINT8", 1, 254.5f, move_pixels<std::int8_t>},
    {fio::type_int16, "INT16", 2, 32766.5f, move_pixels<std::int16_t>},
    {fio::type_uint16, "UINT16", 2, 65534.5f, move_pixels<std::int16_t>},
    {fio::type_int32, "INT32", 4, 2147483647.0f, move_pixels<std::int32_t>},
    {fio::type_uint32, "UINT32", 4, 4294967295.0f, move_pixels<std::int32_t>},
    {fio::type_real32, "REAL32", 4, 1.7e38f, move_pixels<float>},
    {fio::type_real64, "REAL64", 8, 1.7e38f, move_pixels<double>},
}};

const TypeInfo* info_of(int type) {
  for (const auto& t : types) {
    if (t.type == type) return &t;
  }
  return nullptr;
}

// A layout whose pixels lie in the file open in the input slot; false after
// a warning that says why not.
bool layout_fits(const fio::BinaryLayout& l, int& status) {
  const int size = fio::type_size(l.type);
  if (size == 0 || l.width < 1 || l.height < 1 || l.skip < 0) {
    fio::warn(
        {"WARNING: The layout of the image data is not defined:",
         "         width " + std::to_string(l.width) + ", height " + std::to_string(l.height) +
             ", skip " + std::to_string(l.skip) + ", type " + std::to_string(l.type)},
        status);
    return false;
  }
  // The pixels (at most 2^62 of them) must lie in the file.
  const std::int64_t file_size = fio::input_file_size();
  const std::int64_t pixels = static_cast<std::int64_t>(l.width) * l.height;
  const std::int64_t bytes = pixels <= file_size / size ? pixels * size : file_size + 1;
  if (l.skip > file_size || bytes > file_size - l.skip) {
    fio::warn({"WARNING: The file is too short for its layout: " + std::to_string(l.skip) +
                   " bytes and " + std::to_string(l.width) + " by " + std::to_string(l.height),
               "         pixels of " + fio::type_name(l.type) + "; the file has " +
                   std::to_string(file_size) + " bytes"},
              status);
    return false;
  }
  return true;
}

// The keys of the remembered layout.
constexpr const char* key_width = "BINARY_WIDTH";
constexpr const char* key_height = "BINARY_HEIGHT";
constexpr const char* key_skip = "BINARY_SKIP";
constexpr const char* key_type = "BINARY_TYPE";
constexpr const char* key_high = "BINARY_HIGH_BYTE_FIRST";
constexpr const char* key_top = "BINARY_TOP_FIRST";

void recall_layout(fio::BinaryLayout& l, int& status) {
  int retstat = 0, skip = static_cast<int>(l.skip);
  IO_INQ_IKEYVALUE(key_width, l.width, retstat, status);
  IO_INQ_IKEYVALUE(key_height, l.height, retstat, status);
  IO_INQ_IKEYVALUE(key_skip, skip, retstat, status);
  l.skip = skip;
  int length = 0;
  std::string type;
  IO_INQ_KEYVALUE(key_type, length, type, retstat, status);
  if (retstat == 0 && fio::type_of_name(type) != 0) l.type = fio::type_of_name(type);
  IO_INQ_LKEYVALUE(key_high, l.high_byte_first, retstat, status);
  IO_INQ_LKEYVALUE(key_top, l.top_first, retstat, status);
}

void remember_layout(const fio::BinaryLayout& l, int& status) {
  int retstat = 0;
  IO_SET_IKEYVALUE(key_width, l.width, retstat, status);
  IO_SET_IKEYVALUE(key_height, l.height, retstat, status);
  IO_SET_IKEYVALUE(key_skip, static_cast<int>(std::min<std::int64_t>(l.skip, 2147483647)), retstat,
                   status);
  const std::string type = fio::type_name(l.type);
  IO_SET_KEYVALUE(key_type, static_cast<int>(type.size()), type, retstat, status);
  IO_SET_LKEYVALUE(key_high, l.high_byte_first, retstat, status);
  IO_SET_LKEYVALUE(key_top, l.top_first, retstat, status);
}

// The value of a header file's item into the layout: "" or the reason it
// is refused.
template <typename T>
std::string whole(const std::string& value, int low, T& target) {
  int status = io::status_good;
  bool valid = false;
  int v = 0;
  IO_TOKTI(value, valid, v, status);
  if (!valid || v < low) return "needs a whole number of at least " + std::to_string(low);
  target = v;
  return "";
}

std::string real(const std::string& value, float& target) {
  int status = io::status_good;
  bool valid = false;
  float v = 0.0f;
  IO_TOKTR(value, valid, v, status);
  if (!valid) return "needs a number";
  target = v;
  return "";
}

std::string word(const std::string& value, const char* yes, const char* no, bool& target) {
  const std::string v = io::upper(value);
  if (v != yes && v != no) return std::string("needs ") + yes + " or " + no;
  target = v == yes;
  return "";
}

std::string stored_type(const std::string& value, int& target) {
  target = fio::type_of_name(value);
  return target != 0 ? "" : "needs INT8, UINT8, INT16, UINT16, INT32, UINT32, REAL32 or REAL64";
}

// The items of a header file, in the order of the bits that say which were
// given.
using Item = std::string (*)(const std::string& value, fio::BinaryLayout& l);
struct HeaderItem {
  const char* key;
  Item take;
};
constexpr HeaderItem header_items[] = {
    {"WIDTH", [](const std::string& v, fio::BinaryLayout& l) { return whole(v, 1, l.width); }},
    {"HEIGHT", [](const std::string& v, fio::BinaryLayout& l) { return whole(v, 1, l.height); }},
    {"SKIP", [](const std::string& v, fio::BinaryLayout& l) { return whole(v, 0, l.skip); }},
    {"TYPE", [](const std::string& v, fio::BinaryLayout& l) { return stored_type(v, l.type); }},
    {"BYTE_ORDER",
     [](const std::string& v, fio::BinaryLayout& l) {
       return word(v, "HIGH_BYTE_FIRST", "LOW_BYTE_FIRST", l.high_byte_first);
     }},
    {"ROWS",
     [](const std::string& v, fio::BinaryLayout& l) {
       return word(v, "TOP_FIRST", "BOTTOM_FIRST", l.top_first);
     }},
    {"X_PIXEL_SIZE",
     [](const std::string& v, fio::BinaryLayout& l) { return real(v, l.x_pixel_size); }},
    {"Y_PIXEL_SIZE",
     [](const std::string& v, fio::BinaryLayout& l) { return real(v, l.y_pixel_size); }},
    {"OVERLOAD",
     [](const std::string& v, fio::BinaryLayout& l) {
       l.has_overload = true;
       return real(v, l.overload);
     }},
};
// Width, height and type must be given; the rest have defaults.
constexpr unsigned items_needed = 1u | 2u | 8u;

// One "KEY = value" line of a header file into the layout, the item's bit
// into `seen`: "" or the reason it is refused.
std::string header_line(const std::string& key, const std::string& value, fio::BinaryLayout& l,
                        unsigned& seen) {
  const std::string k = io::upper(key);
  for (std::size_t i = 0; i < std::size(header_items); ++i) {
    if (k != header_items[i].key) continue;
    seen |= 1u << i;
    return header_items[i].take(value, l);
  }
  return "is not a key of the header file";
}

// The lines of the header file open on file_id into the layout, the bits
// of the items given into `seen`; false when a line was refused (after its
// warning).
bool read_header_lines(int file_id, const std::string& name, fio::BinaryLayout& l, unsigned& seen) {
  bool good = true;
  for (int number = 1;; ++number) {
    std::string line;
    int result = 0;
    FIO_ASCIIREADC(file_id, io::line_width + 2, result, line);
    if (result != fio::stream_done) return good;
    line = line.substr(0, line.find('!'));
    if (SLEN(line) == 0) continue;
    const std::size_t equals = line.find('=');
    std::string problem = "is not a \"KEY = value\" line";
    if (equals != std::string::npos) {
      problem = header_line(io::stripped(line.substr(0, equals)),
                            io::stripped(line.substr(equals + 1)), l, seen);
    }
    if (problem.empty()) continue;
    io::say("WARNING: Header file " + name + ", line " + std::to_string(number) + ": \"" +
            io::stripped(line) + "\"");
    io::say("         " + problem);
    good = false;
  }
}

}  // namespace

namespace fio {

std::string type_name(int type) {
  const TypeInfo* t = info_of(type);
  return t != nullptr ? t->name : "";
}

int type_of_name(const std::string& name) {
  const std::string n = io::upper(io::stripped(name));
  for (const auto& t : types) {
    if (n == t.name) return t.type;
  }
  return 0;
}

int type_size(int type) {
  const TypeInfo* t = info_of(type);
  return t != nullptr ? t->size : 0;
}

float type_overload(int type) {
  const TypeInfo* t = info_of(type);
  return t != nullptr ? t->overload : 1.7e38f;
}

void read_raw(const BinaryLayout& l, Result& r, int& status) {
  if (!io::entry_ok(status, binary_id)) return;
  r.retstat = input_failed;
  r.xnumdat = 0;
  r.ynumdat = 0;
  if (!layout_fits(l, status)) return;
  info_of(l.type)->move(l, fio::Region{1, 1, l.width, l.height, 1, 1}, r.data, r.xnumdat, r.ynumdat,
                        status);
  if (status != io::status_good) return;
  r.retstat = input_done;
  finish_input(r);
  note_images(l.images);
}

}  // namespace fio

void FIO_IN_HEADERFILE(const std::string& file_name, fio::BinaryLayout& layout, int& retstat,
                       int& status) {
  constexpr const char* id = "Subroutine FIO_IN_HEADERFILE V0.1 ";
  if (!io::entry_ok(status, id)) return;
  retstat = 1;
  if (!fio::file_exists(file_name)) return;
  const std::string name = io::trimmed(file_name);
  int result = 0, file_id = 0;
  FIO_FILEOPEN(name, "READ_ASCII", result, file_id, status);
  if (status != io::status_good) return;
  if (result != fio::stream_done) {
    io::say("WARNING: Error in opening header file: " + name);
    retstat = 2;
    return;
  }
  fio::BinaryLayout l;
  unsigned seen = 0;
  bool good = read_header_lines(file_id, name, l, seen);
  fio::close_input();
  if ((seen & items_needed) != items_needed) {
    io::say("WARNING: Header file " + name + " lacks WIDTH, HEIGHT or TYPE");
    good = false;
  }
  if (!good) {
    retstat = 2;
    return;
  }
  layout = l;
  retstat = 0;
}

void FIO_IN_BINARY(bool interactive, bool variances, std::string& file_name, int& retstat,
                   int& xnumdat, int& ynumdat, std::span<float> x_axis, std::span<float> y_axis,
                   io::View2D<float> data, io::View2D<float> var_data, std::string& title,
                   std::string& xlabel, std::string& ylabel, std::string& zlabel,
                   float& x_pixel_size, float& y_pixel_size, float& overload, int& status) {
  if (!io::entry_ok(status, binary_id)) return;
  fio::Result r{variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis,
                data,      var_data,  title,   xlabel,  ylabel,  zlabel};
  if (!fio::begin_input(r, binary_id, status)) return;

  // The header file beside the data, else the user's layout.
  const std::string header = io::trimmed(file_name) + ".info";
  fio::BinaryLayout layout;
  int found = 0;
  FIO_IN_HEADERFILE(header, layout, found, status);
  if (status != io::status_good) return;
  if (found == 2) return;
  if (found == 1) {
    if (!interactive) {
      fio::warn({"WARNING: The layout of the binary file is not known: no header file",
                 "         " + header},
                status);
      return;
    }
    recall_layout(layout, status);
    bool cancelled = false;
    fio::input_binary_layout(file_name, layout, cancelled, status);
    if (status != io::status_good) return;
    if (cancelled) {
      retstat = fio::input_cancelled;
      return;
    }
    remember_layout(layout, status);
  }
  if (!fio::open_data(false, "", "", r, status)) return;
  fio::read_raw(layout, r, status);
  fio::close_input();
  if (status != io::status_good || retstat != fio::input_done) return;
  if (layout.x_pixel_size > 0.0f) x_pixel_size = layout.x_pixel_size;
  if (layout.y_pixel_size > 0.0f) y_pixel_size = layout.y_pixel_size;
  overload = layout.has_overload ? layout.overload : fio::type_overload(layout.type);
}

void FIO_IN_BINARY_REGION(const std::string& file_name, const fio::BinaryLayout& layout,
                          int first_col, int first_row, int last_col, int last_row,
                          io::View2D<float> data, int& xnumdat, int& ynumdat, int& retstat,
                          int& status) {
  constexpr const char* id = "Subroutine FIO_IN_BINARY_REGION V0.1 ";
  if (!io::entry_ok(status, id)) return;
  retstat = 1;
  xnumdat = ynumdat = 0;
  int result = 0, file_id = 0;
  FIO_FILEOPEN(io::trimmed(file_name), "READ", result, file_id, status);
  if (status != io::status_good || result != fio::stream_done) return;
  const fio::InputCloser closer;
  retstat = 2;
  if (!layout_fits(layout, status)) return;
  info_of(layout.type)
      ->move(layout, fio::Region{first_col, first_row, last_col, last_row, 1, 1}, data, xnumdat,
             ynumdat, status);
  if (status == io::status_good) retstat = 0;
}

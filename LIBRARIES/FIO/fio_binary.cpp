// Raw binary images: the stored types, the one path that moves a raw image
// into the real array, the ".info" header file and the layout remembered in
// the defaults database.
#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <vector>

#include "fio_internal.h"

namespace {

struct TypeInfo {
  int type;
  const char* name;
  int size;
  float overload;
};
constexpr std::array<TypeInfo, 8> types{{
    {fio::type_int8, "INT8", 1, 126.5f},
    {fio::type_uint8, "UINT8", 1, 254.5f},
    {fio::type_int16, "INT16", 2, 32766.5f},
    {fio::type_uint16, "UINT16", 2, 65534.5f},
    {fio::type_int32, "INT32", 4, 2147483647.0f},
    {fio::type_uint32, "UINT32", 4, 4294967295.0f},
    {fio::type_real32, "REAL32", 4, 1.7e38f},
    {fio::type_real64, "REAL64", 8, 1.7e38f},
}};

const TypeInfo* info_of(int type) {
  for (const auto& t : types) {
    if (t.type == type) return &t;
  }
  return nullptr;
}

// Elements moved through the work buffer at a time.
constexpr std::int64_t buffer_elements = 1 << 16;

template <typename T>
bool make_buffer(std::vector<T>& buffer, std::int64_t elements) {
  try {
    buffer.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(elements, 1, buffer_elements)));
  } catch (const std::bad_alloc&) {
    io::say("ERROR: Failed to allocate memory for the image input buffer");
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

// One "KEY = value" line of a header file into the layout; "" or the
// reason it is refused.
std::string header_line(const std::string& key, const std::string& value, fio::BinaryLayout& l,
                        unsigned& seen) {
  int status = io::status_good;
  auto integer = [&](auto& target, long long low) -> std::string {
    bool valid = false;
    int v = 0;
    IO_TOKTI(value, valid, v, status);
    if (!valid || v < low) return "needs a whole number of at least " + std::to_string(low);
    target = v;
    return "";
  };
  auto real = [&](float& target) -> std::string {
    bool valid = false;
    float v = 0.0f;
    IO_TOKTR(value, valid, v, status);
    if (!valid) return "needs a number";
    target = v;
    return "";
  };
  auto word = [&](const char* yes, const char* no, bool& target) -> std::string {
    const std::string v = io::upper(value);
    if (v != yes && v != no) return std::string("needs ") + yes + " or " + no;
    target = v == yes;
    return "";
  };
  const std::string k = io::upper(key);
  struct Item {
    const char* key;
    unsigned bit;
  };
  static constexpr Item items[] = {{"WIDTH", 1},         {"HEIGHT", 2},         {"SKIP", 4},
                                   {"TYPE", 8},          {"BYTE_ORDER", 16},    {"ROWS", 32},
                                   {"X_PIXEL_SIZE", 64}, {"Y_PIXEL_SIZE", 128}, {"OVERLOAD", 256}};
  for (const Item& item : items) {
    if (k == item.key) seen |= item.bit;
  }
  if (k == "WIDTH") return integer(l.width, 1);
  if (k == "HEIGHT") return integer(l.height, 1);
  if (k == "SKIP") return integer(l.skip, 0);
  if (k == "TYPE") {
    l.type = fio::type_of_name(value);
    return l.type != 0 ? "" : "needs INT8, UINT8, INT16, UINT16, INT32, UINT32, REAL32 or REAL64";
  }
  if (k == "BYTE_ORDER") return word("HIGH_BYTE_FIRST", "LOW_BYTE_FIRST", l.high_byte_first);
  if (k == "ROWS") return word("TOP_FIRST", "BOTTOM_FIRST", l.top_first);
  if (k == "X_PIXEL_SIZE") return real(l.x_pixel_size);
  if (k == "Y_PIXEL_SIZE") return real(l.y_pixel_size);
  if (k == "OVERLOAD") {
    l.has_overload = true;
    return real(l.overload);
  }
  return "is not a key of the header file";
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
  constexpr const char* id = "Subroutine FIO_IN_BINARY V0.2 ";
  if (!io::entry_ok(status, id)) return;
  r.retstat = input_failed;
  r.xnumdat = 0;
  r.ynumdat = 0;
  const int size = type_size(l.type);
  if (size == 0 || l.width < 1 || l.height < 1 || l.skip < 0) {
    warn({"WARNING: The layout of the image data is not defined:",
          "         width " + std::to_string(l.width) + ", height " + std::to_string(l.height) +
              ", skip " + std::to_string(l.skip) + ", type " + std::to_string(l.type)},
         status);
    return;
  }
  // The pixels (at most 2^62 of them) must lie in the file.
  const std::int64_t file_size = input_file_size();
  const std::int64_t pixels = static_cast<std::int64_t>(l.width) * l.height;
  const std::int64_t bytes = pixels <= file_size / size ? pixels * size : file_size + 1;
  if (l.skip > file_size || bytes > file_size - l.skip) {
    warn({"WARNING: The file is too short for its layout: " + std::to_string(l.skip) +
              " bytes and " + std::to_string(l.width) + " by " + std::to_string(l.height),
          "         pixels of " + type_name(l.type) + "; the file has " +
              std::to_string(file_size) + " bytes"},
         status);
    return;
  }
  // Rows stored top first: the last stored row is row 1.
  const bool swap = l.high_byte_first != (std::endian::native == std::endian::big);
  const bool is_signed = l.type == type_int8 || l.type == type_int16 || l.type == type_int32;
  const std::int64_t position = l.skip + 1;
  const std::int64_t elements = static_cast<std::int64_t>(l.width) * l.height;
  const int w = l.width, h = l.height;
  auto run = [&](auto& buffer, auto transfer) {
    if (!make_buffer(buffer, elements)) {
      io::fail(module_offset + st::no_memory, id, status);
      return;
    }
    transfer(static_cast<int>(buffer.size()), std::span(buffer));
  };
  switch (size) {
    case 1: {
      std::vector<std::int8_t> b;
      run(b, [&](int n, std::span<std::int8_t> s) {
        FIO_INP_2DBYTE(input_file, is_signed, false, l.top_first, false, w, h, 1, 1, w, h, 1, 1,
                       position, n, s, r.xnumdat, r.ynumdat, r.data, status);
      });
      break;
    }
    case 2: {
      std::vector<std::int16_t> b;
      run(b, [&](int n, std::span<std::int16_t> s) {
        FIO_INP_2DI2(input_file, swap, is_signed, false, l.top_first, false, w, h, 1, 1, w, h, 1, 1,
                     position, n, s, r.xnumdat, r.ynumdat, r.data, status);
      });
      break;
    }
    case 4:
      if (l.type == type_real32) {
        std::vector<float> b;
        run(b, [&](int n, std::span<float> s) {
          FIO_INP_2DR4(input_file, swap, false, l.top_first, false, w, h, 1, 1, w, h, 1, 1,
                       position, n, s, r.xnumdat, r.ynumdat, r.data, status);
        });
      } else {
        std::vector<std::int32_t> b;
        run(b, [&](int n, std::span<std::int32_t> s) {
          FIO_INP_2DI4(input_file, swap, is_signed, false, l.top_first, false, w, h, 1, 1, w, h, 1,
                       1, position, n, s, r.xnumdat, r.ynumdat, r.data, status);
        });
      }
      break;
    default: {
      std::vector<double> b;
      run(b, [&](int n, std::span<double> s) {
        FIO_INP_2DR8(input_file, swap, false, l.top_first, false, w, h, 1, 1, w, h, 1, 1, position,
                     n, s, r.xnumdat, r.ynumdat, r.data, status);
      });
      break;
    }
  }
  if (status != io::status_good) return;
  r.retstat = input_done;
  finish_input(r);
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
  bool bad = false;
  for (int number = 1;; ++number) {
    std::string line;
    FIO_ASCIIREADC(file_id, io::line_width + 2, result, line);
    if (result != fio::stream_done) break;
    line = line.substr(0, line.find('!'));
    if (SLEN(line) == 0) continue;
    const std::size_t equals = line.find('=');
    std::string problem = "is not a \"KEY = value\" line";
    if (equals != std::string::npos) {
      problem = header_line(io::stripped(line.substr(0, equals)),
                            io::stripped(line.substr(equals + 1)), l, seen);
    }
    if (!problem.empty()) {
      io::say("WARNING: Header file " + name + ", line " + std::to_string(number) + ": \"" +
              io::stripped(line) + "\"");
      io::say("         " + problem);
      bad = true;
    }
  }
  fio::close_input();
  // Width, height and type must be given; the rest have defaults.
  if ((seen & 1u) == 0 || (seen & 2u) == 0 || (seen & 8u) == 0) {
    io::say("WARNING: Header file " + name + " lacks WIDTH, HEIGHT or TYPE");
    bad = true;
  }
  if (bad) {
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
  constexpr const char* id = "Subroutine FIO_IN_BINARY V0.2 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis,
                data,      var_data,  title,   xlabel,  ylabel,  zlabel};
  if (!fio::begin_input(r, id, status)) return;

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

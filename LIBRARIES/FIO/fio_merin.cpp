// The keyword-header format: sections of "{ KEYWORD = value ; ... }" and
// the raw data that follows each header.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "fio_internal.h"

namespace {

constexpr int block = 1024;  // header bytes scanned at a time
constexpr std::size_t keyword_width = 64;
constexpr std::size_t value_width = 132;

// Header bytes read block by block from the input slot.
class Scanner {
 public:
  explicit Scanner(std::int64_t start) : position_(start) {}
  // The next byte; false at the end of the file.
  bool next(char& c) {
    if (used_ == filled_) {
      int result = 0;
      FIO_FILEPREADC(fio::input_file, position_, block, block, fio::reverse_none, result, filled_,
                     std::as_writable_bytes(std::span(buffer_)));
      used_ = 0;
      if (filled_ <= 0) {
        filled_ = 0;
        return false;
      }
      position_ += filled_;
    }
    c = buffer_[static_cast<std::size_t>(used_++)];
    return true;
  }
  // Offset of the byte that next() returns next.
  std::int64_t offset() const { return position_ - filled_ + used_; }

 private:
  std::array<char, block> buffer_{};
  std::int64_t position_;
  int filled_ = 0, used_ = 0;
};

// What one section's header says.
struct Section {
  int image = 0;  // 0: not given
  std::int64_t size = -1;
  int dim1 = 0, dim2 = 0;
  std::string datatype, byteorder, compression, title;
  bool compressed = false;
  std::int64_t data_start = 0;  // the byte after "}"
};

// A keyword's or value's character is kept when it is not below the
// double-quote character.
void keep(std::string& text, char c, std::size_t width) {
  if (static_cast<unsigned char>(c) >= '"' && text.size() < width) text.push_back(c);
}

bool integer_value(const std::string& value, std::int64_t& result) {
  int status = io::status_good;
  bool valid = false;
  int v = 0;
  IO_TOKTI(value, valid, v, status);
  if (!valid) io::say("WARNING: Problem of converting key value");
  result = v;
  return valid;
}

void act(const std::string& keyword, const std::string& value, Section& s) {
  std::int64_t v = 0;
  if (keyword == "HEADERID") {
    const std::string upper = io::upper(value);
    if (upper.rfind("EH:", 0) == 0) {
      std::size_t end = 3;
      while (end < upper.size() && upper[end] >= '0' && upper[end] <= '9') ++end;
      if (integer_value(upper.substr(3, end - 3), v)) s.image = static_cast<int>(v);
    }
  } else if (keyword == "IMAGE") {
    if (integer_value(value, v)) s.image = static_cast<int>(v);
  } else if (keyword == "SIZE") {
    if (integer_value(value, v)) s.size = v;
  } else if (keyword == "DIM_1") {
    if (integer_value(value, v)) s.dim1 = static_cast<int>(v);
  } else if (keyword == "DIM_2") {
    if (integer_value(value, v)) s.dim2 = static_cast<int>(v);
  } else if (keyword == "DATATYPE") {
    s.datatype = io::upper(value);
  } else if (keyword == "BYTEORDER") {
    s.byteorder = io::upper(value);
  } else if (keyword == "COMPRESSION") {
    s.compression = io::upper(value);
    s.compressed = s.compression != "NONE" && s.compression != "NOSPECIFICVALUE";
  } else if (keyword == "TITLE") {
    s.title = value;
  }
}

enum class Scan { header, bad_start, bad_keyword, bad_value };

// Reads one header from the scanner's position: the next "{" up to its
// "}".
Scan read_header(Scanner& in, Section& s) {
  char c = 0;
  do {
    if (!in.next(c)) return Scan::bad_start;
  } while (c != '{');
  for (;;) {
    std::string keyword, value;
    for (;;) {
      if (!in.next(c)) return Scan::bad_keyword;
      if (c == '}') {
        s.data_start = in.offset();
        return Scan::header;
      }
      if (c == '=') break;
      keep(keyword, c, keyword_width);
    }
    bool end = false;
    for (;;) {
      if (!in.next(c)) return Scan::bad_value;
      if (c == ';' || c == '!') break;
      if (c == '}') {
        end = true;
        break;
      }
      keep(value, c, value_width);
    }
    act(io::upper(keyword), value, s);
    if (end) {
      s.data_start = in.offset();
      return Scan::header;
    }
  }
}

int type_of_datatype(const std::string& d) {
  if (d == "UNSIGNEDINTEGER" || d == "UNSIGNEDLONG") return fio::type_uint32;
  if (d == "SIGNEDINTEGER") return fio::type_int32;
  if (d == "UNSIGNEDSHORT") return fio::type_uint16;
  if (d == "SIGNEDSHORT") return fio::type_int16;
  if (d == "REAL" || d == "FLOAT" || d == "FLOATVALUE") return fio::type_real32;
  return 0;
}

// The section of the wanted image: sections in turn until it is found, a
// section without a number numbered by its place in the file. False (after
// the console lines that say why) when it is not there.
bool find_section(int wanted, Section& s) {
  std::int64_t start = 0;
  for (int place = 1;; ++place) {
    Scanner in(start);
    s = Section{};
    switch (read_header(in, s)) {
      case Scan::header:
        break;
      case Scan::bad_start:
        io::say("WARNING: Error in reading start of header: image not input");
        return false;
      case Scan::bad_keyword:
        io::say("WARNING: Error in reading keyword");
        return false;
      case Scan::bad_value:
        io::say("WARNING: Error in reading key value");
        return false;
    }
    const int number = s.image != 0 ? s.image : place;
    if (number == wanted) return true;
    if (s.size <= 0) {
      io::say("ERROR: The required \"Image\" number has not been found and I think that");
      io::say("       there are no more \"Image\" sections, since the \"Size\" keyword");
      io::say("       has not been found either");
      io::say("        \"Image\" number " + fio::right(number, 8) + "was the last found");
      return false;
    }
    io::say("INFO: \"Image\" number " + fio::right(number, 8) +
            " has been found, continuing search ...");
    start = s.data_start + s.size;
  }
}

// The raw layout of a section's data; false (after the console lines that
// say why) when it cannot be read.
bool section_layout(const Section& s, fio::BinaryLayout& layout) {
  if (s.compressed) {
    io::say("WARNING: The image data in this file has been written using a compression");
    io::say("         algorithm. It cannot be input.");
    return false;
  }
  layout.type = type_of_datatype(s.datatype);
  if (layout.type == 0) {
    io::say("WARNING: The image data in this file has been written using an unsupported");
    io::say("         data type. It cannot be input.");
    return false;
  }
  layout.width = s.dim1;
  layout.height = s.dim2;
  layout.skip = s.data_start;
  // The machine's own order when the header does not say.
  const bool machine_high = std::endian::native == std::endian::big;
  layout.high_byte_first = s.byteorder == "HIGHBYTEFIRST"  ? true
                           : s.byteorder == "LOWBYTEFIRST" ? false
                                                           : machine_high;
  return true;
}

// Bytes of DIM_1 by DIM_2 elements of a section's type.
std::int64_t image_bytes(const fio::BinaryLayout& l) {
  const std::int64_t pixels =
      static_cast<std::int64_t>(std::max(l.width, 0)) * std::max(l.height, 0);
  return std::min<std::int64_t>(pixels, std::int64_t{1} << 56) * fio::type_size(l.type);
}

// Whether the data after "}" fill what the header declares, no more and no
// less: the file ends there, or the next section's "{" follows. Data that
// do not fit (a header closed by a line end or padding, for example) would
// be read shifted; they are refused after a warning.
bool section_fits(const Section& s, const fio::BinaryLayout& l, const std::string& file_name,
                  int& status) {
  const std::int64_t declared = s.size > 0 ? s.size : image_bytes(l);
  const std::int64_t follow = fio::input_file_size() - s.data_start;
  // Too short for the image itself: the raw transfer says so.
  if (follow < image_bytes(l)) return true;
  bool fits = follow == declared;
  if (follow > declared) {
    std::array<char, 1> next{};
    int result = 0, got = 0;
    FIO_FILEPREADC(fio::input_file, s.data_start + declared, 1, 1, fio::reverse_none, result, got,
                   std::as_writable_bytes(std::span(next)));
    fits = got == 1 && next[0] == '{';
  }
  if (fits) return true;
  fio::warn({"WARNING: The image data do not fit the size that the header declares:",
             "         " + std::to_string(declared) + " bytes after the \"}\", but " +
                 std::to_string(follow) + " bytes follow it",
             "         (and no other header after the data). The image is not input:",
             "         " + io::trimmed(file_name)},
            status);
  return false;
}

}  // namespace

namespace fio {

bool merin_image_size(int& width, int& height) {
  Scanner in(0);
  Section s;
  if (read_header(in, s) != Scan::header || (s.image != 0 && s.image != 1)) return false;
  width = s.dim1;
  height = s.dim2;
  return width > 0 && height > 0;
}

}  // namespace fio

void FIO_IS_MERIN(const std::string& file_name, int& result, int& status) {
  constexpr const char* id = "Subroutine FIO_IS_MERIN V0.2 ";
  if (!io::entry_ok(status, id)) return;
  int open = 0, file_id = 0;
  std::string name = file_name;
  fio::open_named(false, "", "", "READ", name, open, file_id, status);
  if (status != io::status_good) return;
  if (open != fio::stream_done) {
    io::say("WARNING: Error in opening file");
    result = 1;
    return;
  }
  std::array<char, block> first{};
  int got = 0;
  FIO_FILEPREADC(file_id, 0, block, block, fio::reverse_none, open, got,
                 std::as_writable_bytes(std::span(first)));
  fio::close_input();
  // A short file that starts with "{" is of this kind too.
  if (got >= 1 && first[0] == '{') {
    result = 0;
  } else {
    result = got < block ? -3 : 1;
  }
}

void FIO_IN_MERIN(bool prompt, bool interactive, bool variances, std::string& file_name,
                  int& retstat, int& xnumdat, int& ynumdat, std::span<float> x_axis,
                  std::span<float> y_axis, io::View2D<float> data, io::View2D<float> var_data,
                  std::string& title, std::string& xlabel, std::string& ylabel, std::string& zlabel,
                  float& x_pixel_size, float& y_pixel_size, float& overload, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_MERIN V0.4 ";
  if (!io::entry_ok(status, id)) return;
  static_cast<void>(x_pixel_size);
  static_cast<void>(y_pixel_size);
  fio::Result r{variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis,
                data,      var_data,  title,   xlabel,  ylabel,  zlabel};
  if (!fio::begin_input(r, id, status)) return;
  if (!fio::open_data(prompt, "\"MERIN\" (limited DALV) DATA FILE NAME",
                      "Name of file containing \"MERIN\" (DALV sub-set) format data", r, status)) {
    return;
  }
  const fio::InputCloser closer;
  int wanted = 1;
  if (interactive) {
    const std::array<std::string, 1> help{"Index number of required image"};
    if (!fio::ask_integer("IMAGE NUMBER", 1, 2147483646, help,
                          "Enter valid integer within given range", wanted, status)) {
      if (status == io::status_good) retstat = fio::input_cancelled;
      return;
    }
  }
  Section s;
  fio::BinaryLayout layout;
  if (!find_section(wanted, s) || !section_layout(s, layout) ||
      !section_fits(s, layout, file_name, status)) {
    return;
  }
  fio::read_raw(layout, r, status);
  if (status != io::status_good || retstat != fio::input_done) return;
  overload = fio::type_overload(layout.type);
  if (!s.title.empty()) title = s.title.substr(0, io::title_width);
}

// The TIFF readers: uncompressed images of one sample per pixel, 8, 12, 16
// or 32 bits (unsigned, signed, IEEE reals), in strips anywhere in the
// file; the square-root scaled variant of a densitometer's files. The
// header and directory are checked whole before any pixel is read; pixels
// then move through one decoding path.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <limits>
#include <new>
#include <set>
#include <vector>

#include "fio_internal.h"
#include "gs.h"

namespace {

using Entry = std::array<std::uint8_t, 12>;

constexpr int tag_new_subfile = 254;
constexpr int tag_width = 256;
constexpr int tag_length = 257;
constexpr int tag_bits = 258;
constexpr int tag_compression = 259;
constexpr int tag_photometric = 262;
constexpr int tag_strip_offsets = 273;
constexpr int tag_samples = 277;
constexpr int tag_rows_per_strip = 278;
constexpr int tag_strip_counts = 279;
constexpr int tag_planar = 284;
constexpr int tag_tile_width = 322;
constexpr int tag_tile_offsets = 324;
constexpr int tag_sample_format = 339;

constexpr int format_unsigned = 1;
constexpr int format_signed = 2;
constexpr int format_real = 3;

// Whether the console lines of this reader are kept back: the size
// inquiry before an image is read leaves them to the reading.
int quiet_depth = 0;
class Quiet {
 public:
  Quiet() { ++quiet_depth; }
  ~Quiet() { --quiet_depth; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;
};
void say(const std::string& line) {
  if (quiet_depth == 0) io::say(line);
}

// Bytes of one value of an integer field type; 0 for a type that is not an
// integer.
int integer_size(int type) {
  switch (type) {
    case 1:
    case 6:
      return 1;
    case 3:
    case 8:
      return 2;
    case 4:
    case 9:
      return 4;
    default:
      return 0;
  }
}
bool integer_unsigned(int type) {
  return type == 1 || type == 3 || type == 4;
}

// The first 8 bytes: byte order, version and first directory offset.
enum class Header { good, bad_mark, bad_version, big_tiff, short_file };
struct Start {
  std::array<std::uint8_t, 8> bytes{};
  int got = 0;
  bool high = false;
  std::int64_t version = 0;
  std::int64_t directory = 0;
};

Header read_start(int file_id, Start& s, int& status) {
  FIO_TREAD_BYTES(file_id, 0, 8, 8, std::as_writable_bytes(std::span(s.bytes)), s.got, status);
  if (status != io::status_good) return Header::short_file;
  const bool ii = s.got >= 2 && s.bytes[0] == 'I' && s.bytes[1] == 'I';
  const bool mm = s.got >= 2 && s.bytes[0] == 'M' && s.bytes[1] == 'M';
  if (!ii && !mm) return Header::bad_mark;
  if (s.got < 8) return Header::short_file;
  s.high = mm;
  s.version = FIO_TIFF_INTEGER(std::span(s.bytes).subspan(2, 2), 2, ii, true);
  s.directory = FIO_TIFF_INTEGER(std::span(s.bytes).subspan(4, 4), 4, ii, true);
  if (s.version == 43) return Header::big_tiff;
  return s.version == 42 ? Header::good : Header::bad_version;
}

// The unsigned integer of n (2 or 4) bytes at an offset; -1 when they do
// not lie in the file.
std::int64_t integer_at(int file_id, std::int64_t offset, int n, bool high, int& status) {
  std::array<std::uint8_t, 4> bytes{};
  int got = 0;
  if (offset < 8 || offset + n > fio::input_file_size()) return -1;
  FIO_TREAD_BYTES(file_id, offset, n, n, std::as_writable_bytes(std::span(bytes)), got, status);
  return got == n && status == io::status_good ? FIO_TIFF_INTEGER(bytes, n, !high, true) : -1;
}

// The number of entries of the directory at an offset; 0 when it does not
// lie in the file.
std::int64_t entry_count(int file_id, std::int64_t offset, bool high, int& status) {
  const std::int64_t n = integer_at(file_id, offset, 2, high, status);
  return n >= 1 && offset + 2 + 12 * n <= fio::input_file_size() ? n : 0;
}

// The number of images: the first directory (of n entries) and those that
// the chain of next-directory offsets after each leads to while they lie in
// the file. A chain that turns back on itself ends there.
long long images_in_file(int file_id, const Start& s, std::int64_t n, int& status) {
  std::set<std::int64_t> seen{s.directory};
  std::int64_t at = s.directory;
  while (status == io::status_good) {
    const std::int64_t next = integer_at(file_id, at + 2 + 12 * n, 4, s.high, status);
    if (next <= 0 || seen.count(next) != 0) break;
    n = entry_count(file_id, next, s.high, status);
    if (n == 0) break;
    seen.insert(next);
    at = next;
  }
  return static_cast<long long>(seen.size());
}

// The entries of the first directory; false (with a console warning) when
// the directory does not lie in the file.
bool read_directory(int file_id, const Start& s, std::vector<Entry>& entries, int& status) {
  const std::int64_t n = entry_count(file_id, s.directory, s.high, status);
  if (status != io::status_good) return false;
  if (n < 1) {
    say("WARNING: Bad tiff file: the image file directory does not lie in the file");
    return false;
  }
  entries.assign(static_cast<std::size_t>(n), Entry{});
  const int bytes = static_cast<int>(12 * n);
  int got = 0;
  FIO_TREAD_BYTES(file_id, s.directory + 2, bytes, bytes,
                  std::as_writable_bytes(std::span(entries.data(), entries.size())), got, status);
  return status == io::status_good && got == bytes;
}

int tag_of(const Entry& e, bool high) {
  return static_cast<int>(FIO_TIFF_INTEGER(std::span(e).first(2), 2, !high, true));
}
int type_of(const Entry& e, bool high) {
  return static_cast<int>(FIO_TIFF_INTEGER(std::span(e).subspan(2, 2), 2, !high, true));
}
std::int64_t count_of(const Entry& e, bool high) {
  return FIO_TIFF_INTEGER(std::span(e).subspan(4, 4), 4, !high, true);
}

// Where the values of an entry lie: in the entry, or at an offset.
bool values_inline(const Entry& e, bool high) {
  return count_of(e, high) * integer_size(type_of(e, high)) <= 4;
}

inline std::uint16_t load16(const std::uint8_t* p, bool high) {
  return high ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
              : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}
inline std::uint32_t load32(const std::uint8_t* p, bool high) {
  return high ? (std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
                 p[3])
              : (std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 |
                 p[0]);
}

// The one conversion path of the pixels: columns c0 .. c0 + n - 1 (from 0)
// of a stored row as reals.
using Decoder = void (*)(const std::uint8_t* row, int c0, int n, float* out);

// Samples stored as the unsigned integer `Stored` in the byte order `high`,
// whose bits are a `Value` (the same integer, a signed one, an IEEE real).
template <typename Stored, typename Value, bool high>
void decode(const std::uint8_t* row, int c0, int n, float* out) {
  const std::uint8_t* p = row + sizeof(Stored) * static_cast<std::size_t>(c0);
  for (int i = 0; i < n; ++i, p += sizeof(Stored)) {
    Stored v = 0;
    if constexpr (sizeof(Stored) == 1) {
      v = p[0];
    } else if constexpr (sizeof(Stored) == 2) {
      v = load16(p, high);
    } else {
      v = load32(p, high);
    }
    out[i] = static_cast<float>(std::bit_cast<Value>(v));
  }
}

// Two pixels in three bytes A, B, C: A x 16 + B / 16 and (B mod 16) x 256
// + C.
void decode12(const std::uint8_t* row, int c0, int n, float* out) {
  for (int i = 0; i < n; ++i) {
    const int c = c0 + i;
    const std::uint8_t* p = row + 3 * (c / 2);
    out[i] = c % 2 == 0 ? static_cast<float>(p[0] * 16 + p[1] / 16)
                        : static_cast<float>((p[1] % 16) * 256 + p[2]);
  }
}

// The decoders of a kind of sample, for low and high byte first.
struct Decoders {
  Decoder low_first, high_first;
};
template <typename Stored, typename Value>
constexpr Decoders decoders{decode<Stored, Value, false>, decode<Stored, Value, true>};

// The kinds of sample that are read: bits per sample, sample format.
struct Kind {
  int bits, format;
  Decoders decoders;
};
constexpr Kind kinds[] = {
    {8, format_unsigned, decoders<std::uint8_t, std::uint8_t>},
    {8, format_signed, decoders<std::uint8_t, std::int8_t>},
    {12, format_unsigned, {decode12, decode12}},
    {16, format_unsigned, decoders<std::uint16_t, std::uint16_t>},
    {16, format_signed, decoders<std::uint16_t, std::int16_t>},
    {32, format_unsigned, decoders<std::uint32_t, std::uint32_t>},
    {32, format_signed, decoders<std::uint32_t, std::int32_t>},
    {32, format_real, decoders<std::uint32_t, float>},
};

// The first directory as it is read, and the decoder of its samples.
struct Layout {
  bool high = false;
  std::int64_t width = 0, height = 0;
  std::int64_t bits = 1, sample_format = format_unsigned, compression = 1, samples = 1, planar = 1;
  std::int64_t photometric = 1;  // 0: white is zero
  std::int64_t rows_per_strip = std::numeric_limits<std::uint32_t>::max();
  long long images = 1;  // directories in the file
  bool tiled = false;
  std::vector<std::int64_t> offsets, counts;
  Decoder decoder = nullptr;
  std::int64_t row_bytes = 0;
};

// The integer values of an entry, at most `limit` of them kept; false with
// a warning when the entry is not an integer or its values do not lie in
// the file.
bool entry_values(int file_id, const Entry& e, bool high, std::int64_t limit,
                  std::vector<std::int64_t>& values, int& status) {
  const int tag = tag_of(e, high);
  const int type = type_of(e, high);
  const std::int64_t count = count_of(e, high);
  if (integer_size(type) == 0) {
    say("WARNING: Bad tiff file: tag " + std::to_string(tag) +
        " must hold integers, its field type is " + std::to_string(type));
    return false;
  }
  if (count < 1 || count > std::numeric_limits<int>::max()) {
    say("WARNING: Bad tiff file: tag " + std::to_string(tag) + " holds " + std::to_string(count) +
        " values");
    return false;
  }
  if (!values_inline(e, high)) {
    const std::int64_t offset = FIO_TIFF_INTEGER(std::span(e).subspan(8, 4), 4, !high, true);
    if (offset + count * integer_size(type) > fio::input_file_size()) {
      say("WARNING: Bad tiff file: the values of tag " + std::to_string(tag) +
          " do not lie in the file");
      return false;
    }
  }
  try {
    values.assign(static_cast<std::size_t>(count), 0);
  } catch (const std::bad_alloc&) {
    say("ERROR: Failed to allocate memory for the values of TIFF tag " + std::to_string(tag));
    return false;
  }
  int num = 0, result = 0;
  FIO_TIFF_INTS(file_id, static_cast<int>(count), e, high, values, num, result, status);
  values.resize(static_cast<std::size_t>(std::min<std::int64_t>(num, limit)));
  return status == io::status_good && result == 0 && num >= 1;
}

// The warning of an integer tag that holds more than one value.
void say_count(std::int64_t count) {
  char line[64];
  std::snprintf(line, sizeof line, "WARNING: TIFF Integer tag contains %i values",
                static_cast<int>(std::min<std::int64_t>(count, 2147483647)));
  say(line);
}

// The single value of a tag that must hold one.
bool single_value(int file_id, const Entry& e, bool high, std::int64_t& value, int& status) {
  std::vector<std::int64_t> v;
  if (!entry_values(file_id, e, high, 1, v, status)) return false;
  if (count_of(e, high) != 1) {
    say_count(count_of(e, high));
    return false;
  }
  value = v[0];
  return true;
}

void refuse(std::initializer_list<std::string> lines) {
  for (const auto& l : lines) say(l);
}

// The 64-bit variant of the format (version 43), which is not read.
void refuse_big_tiff() {
  say("WARNING: The file is a BigTIFF file (tiff version = 43): BigTIFF files are not read");
}

// The first 8 bytes: the result code of a refusal, or 0.
int check_start(int file_id, Start& s, int& status) {
  switch (read_start(file_id, s, status)) {
    case Header::good:
      return 0;
    case Header::bad_mark:
      refuse({"WARNING: The File does not start with II nor with MM. It is not a",
              "         correctly defined TIFF file or has been corrupted."});
      break;
    case Header::bad_version:
      refuse({"WARNING: Bad TIFF file, tiff version = " + std::to_string(s.version),
              "         (this should equal 42)"});
      break;
    case Header::big_tiff:
      refuse_big_tiff();
      break;
    case Header::short_file:
      if (status == io::status_good) say("WARNING: Bad tiff file: shorter than its header");
      break;
  }
  return fio::tiff_bad_file;
}

// How a tag of the first directory is taken into the layout.
enum class Take {
  single,         // the one value it must hold
  small,          // the one value, at most 2^20
  first,          // the first of one value per sample, at most 2^20
  strip_offsets,  // the entry, read once the number of strips is known
  strip_counts,
  tiles,  // the image is tiled
};
struct TagRule {
  int tag;
  Take take;
  std::int64_t Layout::*field;  // null: read, not acted on
};
constexpr TagRule tag_rules[] = {
    {tag_width, Take::single, &Layout::width},
    {tag_length, Take::single, &Layout::height},
    {tag_rows_per_strip, Take::single, &Layout::rows_per_strip},
    {tag_new_subfile, Take::single, nullptr},
    {tag_compression, Take::small, &Layout::compression},
    {tag_photometric, Take::small, &Layout::photometric},
    {tag_samples, Take::small, &Layout::samples},
    {tag_planar, Take::small, &Layout::planar},
    {tag_bits, Take::first, &Layout::bits},
    {tag_sample_format, Take::first, &Layout::sample_format},
    {tag_strip_offsets, Take::strip_offsets, nullptr},
    {tag_strip_counts, Take::strip_counts, nullptr},
    {tag_tile_width, Take::tiles, nullptr},
    {tag_tile_offsets, Take::tiles, nullptr},
};

// The entries of the strip tables.
struct StripEntries {
  const Entry* offsets = nullptr;
  const Entry* counts = nullptr;
};

// Takes one entry of the directory into the layout; false (after a
// warning) when it cannot be read.
bool take(int file_id, const Entry& e, Layout& t, StripEntries& strips, int& status) {
  const int tag = tag_of(e, t.high);
  const TagRule* rule = std::find_if(std::begin(tag_rules), std::end(tag_rules),
                                     [&](const TagRule& r) { return r.tag == tag; });
  if (rule == std::end(tag_rules)) return true;
  std::int64_t value = 0;
  std::vector<std::int64_t> v;
  switch (rule->take) {
    case Take::strip_offsets:
      strips.offsets = &e;
      return true;
    case Take::strip_counts:
      strips.counts = &e;
      return true;
    case Take::tiles:
      t.tiled = true;
      return true;
    case Take::first:
      // One value per sample; one sample is all that is read.
      if (!entry_values(file_id, e, t.high, 1, v, status)) return false;
      value = v[0];
      break;
    case Take::single:
    case Take::small:
      if (!single_value(file_id, e, t.high, value, status)) return false;
      break;
  }
  if (rule->take != Take::single) value = std::min<std::int64_t>(value, 1 << 20);
  if (rule->field != nullptr) t.*(rule->field) = value;
  return true;
}

// What cannot be decoded is refused, naming the feature: the result code,
// or 0 with the decoder of the samples.
int refuse_features(Layout& t) {
  if (t.compression != 1) {
    refuse({"WARNING: The Image has been compressed. Data Decompression is not",
            "         presently supported."});
  } else if (t.tiled) {
    refuse({"WARNING: The Image is stored in tiles. Tiled TIFF images are not",
            "         presently supported."});
  } else if (t.planar != 1) {
    refuse(
        {"WARNING: Un-supported planar configuration (" + std::to_string(t.planar) + "). Separate",
         "         planes are not presently supported."});
  } else if (t.samples != 1) {
    refuse({"WARNING: Un-supported number of samples per pixel (" + std::to_string(t.samples) +
                "). Only",
            "         images of one sample per pixel are supported."});
  } else if (t.bits != 8 && t.bits != 12 && t.bits != 16 && t.bits != 32) {
    refuse({"WARNING: Un-supported number of bits per pixel (" + std::to_string(t.bits) + ")"});
  } else {
    for (const Kind& k : kinds) {
      if (k.bits == t.bits && k.format == t.sample_format) {
        t.decoder = t.high ? k.decoders.high_first : k.decoders.low_first;
        return 0;
      }
    }
    refuse({"WARNING: Un-supported sample format (" + std::to_string(t.sample_format) + ") for " +
            std::to_string(t.bits) + " bits per pixel"});
  }
  return fio::tiff_cannot_decode;
}

// The image size and its rows' length: the result code of a refusal, or 0.
int check_size(Layout& t, const StripEntries& strips) {
  if (t.width < 1 || t.height < 1 || strips.offsets == nullptr) {
    say("WARNING: Bad tiff file: no image size or no image data in the first directory");
    return fio::tiff_not_found;
  }
  if (t.width > std::numeric_limits<int>::max() || t.height > std::numeric_limits<int>::max()) {
    say("WARNING: Bad tiff file: the image is larger than can be input");
    return fio::tiff_cannot_decode;
  }
  t.row_bytes = (t.width * t.bits + 7) / 8;
  if (t.row_bytes > (std::int64_t{1} << 30)) {
    say("WARNING: Bad tiff file: image rows longer than can be input");
    return fio::tiff_cannot_decode;
  }
  return 0;
}

// The offset (and byte count, when given) of every strip: the result code
// of a refusal, or 0.
int read_strips(int file_id, const StripEntries& strips, Layout& t, int& status) {
  if (t.rows_per_strip < 1) t.rows_per_strip = t.height;
  const std::int64_t n = (t.height + t.rows_per_strip - 1) / t.rows_per_strip;
  if (!entry_values(file_id, *strips.offsets, t.high, n, t.offsets, status) ||
      static_cast<std::int64_t>(t.offsets.size()) < n) {
    refuse({"WARNING: Problem inputting address of start of image. This is probably",
            "         because there are too many addresses pointing to different",
            "         parts of the image (\"strips\")."});
    return fio::tiff_bad_file;
  }
  if (strips.counts != nullptr &&
      (!entry_values(file_id, *strips.counts, t.high, n, t.counts, status) ||
       static_cast<std::int64_t>(t.counts.size()) < n)) {
    say("WARNING: Bad tiff file: fewer strip byte counts than strips");
    return fio::tiff_bad_file;
  }
  return 0;
}

// Reads and checks the header and the first directory, all of it, before
// any pixel is read: the result code of a refusal, or 0.
int read_layout(int file_id, Layout& t, int& status) {
  Start s;
  int result = check_start(file_id, s, status);
  if (result != 0) return result;
  t.high = s.high;
  std::vector<Entry> entries;
  if (!read_directory(file_id, s, entries, status)) return fio::tiff_bad_file;
  StripEntries strips;
  for (const Entry& e : entries) {
    if (!take(file_id, e, t, strips, status)) return fio::tiff_bad_file;
  }
  if (status != io::status_good) return fio::tiff_bad_file;
  result = refuse_features(t);
  if (result == 0) result = check_size(t, strips);
  if (result == 0) result = read_strips(file_id, strips, t, status);
  if (result == 0)
    t.images = images_in_file(file_id, s, static_cast<std::int64_t>(entries.size()), status);
  return result;
}

// Offset in the file of stored row r (from 0).
std::int64_t row_offset(const Layout& t, std::int64_t r) {
  return t.offsets[static_cast<std::size_t>(r / t.rows_per_strip)] +
         (r % t.rows_per_strip) * t.row_bytes;
}

// Every row that will be read lies in its strip and in the file.
bool rows_in_file(const Layout& t, std::int64_t first, std::int64_t last) {
  const std::int64_t size = fio::input_file_size();
  for (std::int64_t r = first; r <= last; ++r) {
    const std::int64_t offset = row_offset(t, r);
    const std::int64_t end_in_strip = (r % t.rows_per_strip + 1) * t.row_bytes;
    if (offset < 0 || offset + t.row_bytes > size) return false;
    if (!t.counts.empty() &&
        end_in_strip > t.counts[static_cast<std::size_t>(r / t.rows_per_strip)]) {
      return false;
    }
  }
  return true;
}

// Largest block read at once.
constexpr std::int64_t block_bytes = 1 << 20;

// The values of an entry that lie at the offset in its value field, read in
// blocks: result 0, or 2 when the file ends before them.
int values_at_offset(int file_id, const Entry& e, bool high, int n, std::span<std::int64_t> values,
                     int& num_values, int& status) {
  const int size = integer_size(type_of(e, high));
  const bool unsigned_type = integer_unsigned(type_of(e, high));
  const std::int64_t offset = FIO_TIFF_INTEGER(std::span(e).subspan(8), 4, !high, true);
  std::array<std::uint8_t, 8192> block{};
  const int per_block = static_cast<int>(block.size()) / size;
  for (int done = 0; done < n;) {
    const int k = std::min(per_block, n - done);
    int got = 0;
    FIO_TREAD_BYTES(file_id, offset + static_cast<std::int64_t>(done) * size,
                    static_cast<int>(block.size()), k * size,
                    std::as_writable_bytes(std::span(block)), got, status);
    if (status != io::status_good) return 0;
    if (got < k * size) return 2;
    for (int i = 0; i < k; ++i) {
      values[static_cast<std::size_t>(done + i)] = FIO_TIFF_INTEGER(
          std::span(block).subspan(static_cast<std::size_t>(i * size)), size, !high, unsigned_type);
    }
    done += k;
    num_values = done;
  }
  return 0;
}

// The explanation of a file that does not start as a TIFF file, with its
// first bytes.
void explain_bad_mark(const Start& s) {
  std::string hex = "         ", text = "         \"";
  for (int i = 0; i < 8; ++i) {
    char b[4];
    std::snprintf(b, sizeof b, "%02X ", s.bytes[static_cast<std::size_t>(i)]);
    hex += i < s.got ? b : "   ";
    const char c = static_cast<char>(s.bytes[static_cast<std::size_t>(i)]);
    text += i >= s.got ? ' ' : (c >= ' ' && c <= '~' ? c : '.');
  }
  refuse({"WARNING: Bad TIFF file, the first two bytes of a genuine TIFF file",
          "         are \"II\" (hexadecimal 49 49) when the file has been written",
          "         with the least significant byte of each number first, or",
          "         \"MM\" (hexadecimal 4D 4D) when it has been written with the",
          "         most significant byte first. The next two bytes hold the",
          "         number 42 in the same byte order.",
          "         The first 8 bytes of this file are (hexadecimal):", hex,
          "         and as characters:", text + "\"", "",
          "         The file may not be a TIFF file at all (check its extension",
          "         and the program that wrote it), or it may have been damaged,",
          "         for example by a transfer in text mode, which changes some",
          "         bytes. Bytes missing from a file shorter than 8 bytes are blank.",
          "         (Warning comes from FIO_TIFF_IMAGESIZE.)"});
}

// The part of the image that is read: image columns x1 .. x1 + cols - 1
// and rows y1 .. y1 + rows - 1, summed into nx by ny output pixels; stored
// rows (from 0) s_first .. s_last.
struct Part {
  int x1 = 0, y1 = 0, nx = 0, ny = 0, cols = 0, rows = 0;
  std::int64_t s_first = 0, s_last = 0;
};

// The region within the image, whole bins only and never more than the
// array holds: false when nothing of it is read. `result` says when the
// image holds none, or only part, of the region.
bool part_of_image(const Layout& t, bool top_first, const fio::Region& region,
                   io::View2D<float> data, Part& p, int& result) {
  const int width = static_cast<int>(t.width), height = static_cast<int>(t.height);
  const int x1 = std::max(region.x1, 1), x2 = std::min(region.x2, width);
  const int y1 = std::max(region.y1, 1), y2 = std::min(region.y2, height);
  if (x1 > x2 || y1 > y2) {
    result = fio::tiff_none_of_region;
    return false;
  }
  if (x1 != region.x1 || x2 != region.x2 || y1 != region.y1 || y2 != region.y2) {
    result = fio::tiff_part_of_region;
  }
  p.x1 = x1;
  p.y1 = y1;
  p.nx = std::min(fio::binned(x1, x2, region.xbin), data.xmaxdat);
  p.ny = std::min(fio::binned(y1, y2, region.ybin), data.ymaxdat);
  p.cols = p.nx * region.xbin;
  p.rows = p.ny * region.ybin;
  p.s_first = top_first ? height - (y1 + p.rows - 1) : y1 - 1;
  p.s_last = p.s_first + p.rows - 1;
  return p.nx >= 1 && p.ny >= 1;
}

// How the stored rows of a part land in the output: the image row of a
// stored row, re-binning, the densitometer's squares.
struct Landing {
  const Layout& t;
  const Part& p;
  bool top_first;
  int xbin, ybin;
  bool squared;
  bool direct() const { return xbin == 1 && ybin == 1 && !squared; }
};

// Stored row `stored` (from 0) into its output row; `values` holds a row
// of the part when it is not stored directly.
void land_row(const Landing& l, std::int64_t stored, const std::uint8_t* row,
              std::span<float> values, io::View2D<float> data) {
  const int height = static_cast<int>(l.t.height);
  const int image_row =
      l.top_first ? height - static_cast<int>(stored) : static_cast<int>(stored) + 1;
  float* out = data.row((image_row - l.p.y1) / l.ybin + 1);
  if (l.direct()) {
    l.t.decoder(row, l.p.x1 - 1, l.p.cols, out);
    return;
  }
  l.t.decoder(row, l.p.x1 - 1, l.p.cols, values.data());
  for (int i = 0; i < l.p.cols; ++i) {
    float v = values[static_cast<std::size_t>(i)];
    if (l.squared) v = v * v / 21471.0f;
    out[i / l.xbin] += v;
  }
}

// Reads the stored rows of the part in file order, as many following each
// other in the file as fit into one read: the result code, 0 when read.
int read_part(int file_id, const Landing& l, std::vector<std::uint8_t>& block,
              std::span<float> values, io::View2D<float> data, int& status) {
  const Layout& t = l.t;
  const std::int64_t rows_per_block = static_cast<std::int64_t>(block.size()) / t.row_bytes;
  for (std::int64_t r = l.p.s_first; r <= l.p.s_last;) {
    const std::int64_t start = row_offset(t, r);
    std::int64_t n = 1;
    while (r + n <= l.p.s_last && n < rows_per_block &&
           row_offset(t, r + n) == start + n * t.row_bytes) {
      ++n;
    }
    const int bytes = static_cast<int>(n * t.row_bytes);
    int got = 0;
    FIO_TREAD_BYTES(file_id, start, static_cast<int>(block.size()), bytes,
                    std::as_writable_bytes(std::span(block)), got, status);
    if (status != io::status_good) return 0;
    if (got < bytes) {
      say("WARNING: Bad tiff file: image data end before the image");
      return fio::tiff_bad_file;
    }
    for (std::int64_t k = 0; k < n; ++k) {
      land_row(l, r + k, block.data() + k * t.row_bytes, values, data);
    }
    r += n;
  }
  return 0;
}

// A failure of the low-level reads is a bad file here, so that the set-up
// goes on: true (after the warning) when it was one.
bool bad_file_handled(int& status, int& retstat) {
  if (status != fio::status_bad_tiff_integer) return false;
  say("WARNING: Bad tiff file ");
  ST_DEF_SYSTEM(status);
  retstat = fio::tiff_bad_file;
  return true;
}

// The size of the image in the TIFF file open on file_id, told on the
// console; false (after the warnings) when there is none.
bool full_size(int file_id, std::string& file_name, int& width, int& height, int& retstat,
               int& status) {
  FIO_TIFF_IMAGESIZE(file_id, file_name, width, height, status);
  if (bad_file_handled(status, retstat) || status != io::status_good) return false;
  if (width < 1 || height < 1) {
    fio::warn({"IMAGE SIZE NOT RETURNED FROM FILE"}, status);
    say("WARNING: Image size not returned from file");
    return false;
  }
  say("INFO: Full image size = " + fio::right(width, 9) + " * " + fio::right(height, 9) +
      " pixels");
  return true;
}

constexpr const char* iqrimage_id = "Subroutine FIO_IN_IQRIMAGE V0.6 ";

// The region of the first image decoded into `data` (FIO_IN_IQRIMAGE once
// its arguments are checked): the result code; `t` returns the directory.
int read_image(int file_id, Layout& t, bool top_first, bool sqrt_scale, const fio::Region& region,
               io::View2D<float> data, int& xnumdat, int& ynumdat, int& status) {
  xnumdat = 0;
  ynumdat = 0;
  int result = read_layout(file_id, t, status);
  if (result != 0 || status != io::status_good) return result;
  Part p;
  if (!part_of_image(t, top_first, region, data, p, result)) return result;
  if (!rows_in_file(t, p.s_first, p.s_last)) {
    say("WARNING: Bad tiff file: image rows lie outside their strips or the file");
    return fio::tiff_bad_file;
  }
  for (int y = 1; y <= p.ny; ++y) std::fill_n(data.row(y), p.nx, 0.0f);
  const Landing landing{t, p, top_first, region.xbin, region.ybin, sqrt_scale && t.bits == 16};
  std::vector<std::uint8_t> block;
  std::vector<float> values;
  try {
    block.resize(static_cast<std::size_t>(
        std::max(t.row_bytes, std::min(block_bytes, t.row_bytes * p.rows))));
    if (!landing.direct()) values.resize(static_cast<std::size_t>(p.cols));
  } catch (const std::bad_alloc&) {
    say("ERROR: Failed to allocate memory for the TIFF input buffer");
    io::fail(fio::module_offset + st::no_memory, iqrimage_id, status);
    return result;
  }
  const int read = read_part(file_id, landing, block, values, data, status);
  if (read != 0 || status != io::status_good) return read != 0 ? read : result;
  xnumdat = p.nx;
  ynumdat = p.ny;
  return result;
}

// What the reader tells beside the image: the images of the file beyond
// the one input, and values stored with white as zero.
void tell_layout(const Layout& t) {
  if (t.photometric == 0) {
    say("INFO: The TIFF photometric interpretation is 0 (MinIsWhite, white is zero);");
    say("      the values are input as stored (not inverted)");
  }
  fio::note_images(t.images);
}

}  // namespace

void FIO_TREAD_BYTES(int file_id, std::int64_t offset, int buffer_size, int bytes_wanted,
                     std::span<std::byte> buffer, int& bytes_read, int& status) {
  constexpr const char* id = "Subroutine FIO_TREAD_BYTES V0.2 ";
  if (!io::entry_ok(status, id)) return;
  bytes_read = 0;
  if (!fio::checks_pass({{bytes_wanted <= 0, fio::status_nothing_wanted},
                         {buffer_size < 0 || bytes_wanted > buffer_size ||
                              static_cast<std::size_t>(buffer_size) > buffer.size(),
                          fio::status_too_much_wanted}},
                        id, status)) {
    return;
  }
  int result = 0;
  FIO_FILEPREADC(file_id, offset, buffer_size, bytes_wanted, fio::reverse_none, result, bytes_read,
                 buffer);
  if (result != fio::stream_done && result != fio::stream_short) {
    io::fail(fio::status_bad_tiff_integer, id, status);
  }
}

std::int64_t FIO_TIFF_INTEGER(std::span<const std::uint8_t> bytes, int num_bytes, bool low_first,
                              bool is_unsigned) {
  const int n = std::clamp(num_bytes, 1, std::min(4, static_cast<int>(bytes.size())));
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) {
    const std::uint8_t b = bytes[static_cast<std::size_t>(low_first ? n - 1 - i : i)];
    v = v << 8 | b;
  }
  if (!is_unsigned && (v >> (8 * n - 1)) != 0) {
    return static_cast<std::int64_t>(v) - (std::int64_t{1} << (8 * n));
  }
  return static_cast<std::int64_t>(v);
}

std::int64_t FIO_TIFF_INTENTRY(std::span<const std::uint8_t> entry, bool high_byte_first,
                               int& status) {
  constexpr const char* id = "Function FIO_TIFF_INTENTRY V0.2 ";
  if (!io::entry_ok(status, id)) return 0;
  Entry e{};
  std::copy_n(entry.begin(), std::min<std::size_t>(entry.size(), 12), e.begin());
  const int type = type_of(e, high_byte_first);
  const std::int64_t count = count_of(e, high_byte_first);
  if (entry.size() < 12 || integer_size(type) == 0) {
    io::fail(fio::status_bad_tiff_integer, id, status);
    return 0;
  }
  if (count != 1) {
    say_count(count);
    io::fail(fio::status_bad_tiff_integer, id, status);
    return 0;
  }
  return FIO_TIFF_INTEGER(std::span(e).subspan(8), integer_size(type), !high_byte_first,
                          integer_unsigned(type));
}

void FIO_TIFF_INTS(int file_id, int array_size, std::span<const std::uint8_t> entry,
                   bool high_byte_first, std::span<std::int64_t> values, int& num_values,
                   int& result, int& status) {
  constexpr const char* id = "Subroutine FIO_TIFF_INTS V0.2 ";
  if (!io::entry_ok(status, id)) return;
  num_values = 0;
  result = 0;
  Entry e{};
  std::copy_n(entry.begin(), std::min<std::size_t>(entry.size(), 12), e.begin());
  const int type = type_of(e, high_byte_first);
  const int size = integer_size(type);
  if (entry.size() < 12 || size == 0) {
    io::fail(fio::status_bad_tiff_integer, id, status);
    return;
  }
  const std::int64_t count = count_of(e, high_byte_first);
  if (count > std::min(array_size, static_cast<int>(values.size()))) {
    result = 1;
    return;
  }
  const int n = static_cast<int>(count);
  if (count * size > 4) {
    result = values_at_offset(file_id, e, high_byte_first, n, values, num_values, status);
    return;
  }
  for (int i = 0; i < n; ++i) {
    values[static_cast<std::size_t>(i)] =
        FIO_TIFF_INTEGER(std::span(e).subspan(8 + static_cast<std::size_t>(i * size)), size,
                         !high_byte_first, integer_unsigned(type));
  }
  num_values = n;
}

void FIO_TIFF_IMAGESIZE(int file_id, const std::string& file_name, int& width, int& height,
                        int& status) {
  constexpr const char* id = "Subroutine FIO_TIFF_IMAGESIZE V0.3 ";
  if (!io::entry_ok(status, id)) return;
  static_cast<void>(file_name);
  width = 0;
  height = 0;
  Start s;
  const Header h = read_start(file_id, s, status);
  if (status != io::status_good) return;
  if (h == Header::short_file) say("WARNING: Bad TIFF file, shorter than its 8-byte header");
  if (h == Header::bad_mark) explain_bad_mark(s);
  if (h == Header::bad_version) {
    say("WARNING: Bad TIFF file, tiff version = " + std::to_string(s.version));
  }
  if (h == Header::big_tiff) refuse_big_tiff();
  std::vector<Entry> entries;
  if (h != Header::good || !read_directory(file_id, s, entries, status)) return;
  std::int64_t w = 0, l = 0;
  for (const Entry& e : entries) {
    const int tag = tag_of(e, s.high);
    if (tag != tag_width && tag != tag_length) continue;
    std::int64_t value = 0;
    if (!single_value(file_id, e, s.high, value, status)) return;
    (tag == tag_width ? w : l) = value;
  }
  if (w < 1 || l < 1 || w > std::numeric_limits<int>::max() ||
      l > std::numeric_limits<int>::max()) {
    return;
  }
  width = static_cast<int>(w);
  height = static_cast<int>(l);
}

void FIO_IN_IQRIMAGE(int file_id, bool& high_byte_first, bool top_first, bool sqrt_scale,
                     int first_col, int first_row, int last_col, int last_row, int xbin, int ybin,
                     io::View2D<float> data, int& xnumdat, int& ynumdat, int& result, int& status) {
  if (!io::entry_ok(status, iqrimage_id)) return;
  if (!fio::check_array(data, iqrimage_id, status) ||
      !fio::checks_pass({{xbin < 1, fio::status_bad_x_value}, {ybin < 1, fio::status_bad_y_value}},
                        iqrimage_id, status)) {
    return;
  }
  Layout t;
  const fio::Region region{first_col, first_row, last_col, last_row, xbin, ybin};
  result = read_image(file_id, t, top_first, sqrt_scale, region, data, xnumdat, ynumdat, status);
  high_byte_first = t.high;
}

void FIO_IN_IQ(bool prompt, bool interactive, bool top_first, bool sqrt_scale, bool variances,
               std::string& file_name, int& retstat, int& xnumdat, int& ynumdat,
               std::span<float> x_axis, std::span<float> y_axis, io::View2D<float> data,
               io::View2D<float> var_data, std::string& title, std::string& xlabel,
               std::string& ylabel, std::string& zlabel, int& status) {
  constexpr const char* id = "Subroutine FIO_IN_IQ V0.7 ";
  if (!io::entry_ok(status, id)) return;
  fio::Result r{variances, file_name, retstat, xnumdat, ynumdat, x_axis, y_axis,
                data,      var_data,  title,   xlabel,  ylabel,  zlabel};
  if (!fio::begin_input(r, id, status)) return;
  retstat = fio::tiff_bad_file;
  if (!fio::open_data(prompt, "DATA FILE NAME", "Name of tiff file containing image", r, status)) {
    if (retstat == fio::input_failed) retstat = fio::tiff_bad_file;
    return;
  }
  const fio::InputCloser closer;
  int width = 0, height = 0;
  if (!full_size(fio::input_file, file_name, width, height, retstat, status)) return;
  fio::Region region{1, 1, std::min(width, data.xmaxdat), std::min(height, data.ymaxdat), 1, 1};
  if (interactive) {
    bool cancelled = false;
    fio::input_region(width, height, data.xmaxdat, data.ymaxdat, region, cancelled, status);
    if (status != io::status_good) return;
    if (cancelled) {
      retstat = fio::input_cancelled;
      return;
    }
    fio::show_inputting(status);
  }
  Layout t;
  const int result =
      read_image(fio::input_file, t, top_first, sqrt_scale, region, data, xnumdat, ynumdat, status);
  if (bad_file_handled(status, retstat) || status != io::status_good) return;
  static const char* const reports[] = {"",
                                        "WARNING: Image does not contain all of desired region",
                                        "WARNING: Image not found ",
                                        "WARNING: Cannot decode image ",
                                        "WARNING: Bad tiff file ",
                                        "WARNING: Image contains none of desired region "};
  if (result >= 1 && result <= 5) say(reports[result]);
  retstat = result;
  if (result != 0 && result != fio::tiff_part_of_region) return;
  fio::finish_input(r);
  tell_layout(t);
}

namespace fio {

bool tiff_image_size(int& width, int& height) {
  const Quiet quiet;
  int status = io::status_good;
  FIO_TIFF_IMAGESIZE(input_file, "", width, height, status);
  if (status == io::status_good) return width > 0 && height > 0;
  // A broken directory is the reader's to report.
  ST_DEF_SYSTEM(status);
  return false;
}

}  // namespace fio

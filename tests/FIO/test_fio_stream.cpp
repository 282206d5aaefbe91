// The byte-stream layer: slots, reads with reversal, text lines, writes,
// opening by name, the 2-D transfers and the header items.
#include <array>
#include <numeric>

#include "fio_files.h"
#include "stdin_pipe.h"

namespace {

using fiotest::Bytes;
using fiotest::good;

struct Slots {
  ~Slots() {
    int r = 0;
    FIO_FILECLOSEC(fio::input_file, r);
    FIO_FILECLOSEC(fio::output_file, r);
  }
};

void open_read(const std::string& path) {
  int result = -1, id = 0, status = good;
  FIO_FILEOPEN(path, "READ", result, id, status);
  ASSERT_EQ(result, fio::stream_done);
  ASSERT_EQ(id, fio::input_file);
}

TEST(FioStream, SlotsOpenOnceAndReadWithReversal) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("a"), "ABCDEFG");
  Slots slots;
  open_read(dir.file("a"));
  int result = 0, id = 0, n = 0;
  FIO_FILEOPENC(dir.file("a"), 256, fio::mode_read, result, id);
  EXPECT_EQ(result, fio::stream_not_open);  // a second input stream
  FIO_FILEOPENC(dir.file("a"), 256, 5, result, id);
  EXPECT_EQ(result, fio::stream_bad_argument);

  std::array<std::byte, 8> buf{};
  const auto text = [&] { return std::string(reinterpret_cast<const char*>(buf.data()), 7); };
  FIO_FILEPREADC(fio::input_file, 0, 8, 7, fio::reverse_pairs, result, n, buf);
  EXPECT_EQ(result, fio::stream_done);
  EXPECT_EQ(text(), "BADCFEG");  // the odd last byte stays
  FIO_FILEPREADC(fio::input_file, 0, 8, 7, fio::reverse_quads, result, n, buf);
  EXPECT_EQ(text(), "DCBAEFG");
  kovtest::ConsoleCapture console;
  FIO_FILEPREADC(fio::input_file, 4, 8, 4, fio::reverse_none, result, n, buf);
  EXPECT_EQ(result, fio::stream_short);
  EXPECT_EQ(n, 3);
  EXPECT_TRUE(console.lines().empty());
  FIO_FILEPREADC(fio::input_file, 4, 8, 0, fio::reverse_none, result, n, buf);
  FIO_FILEREADC(fio::input_file, 8, 5, fio::reverse_none, result, n, buf);
  EXPECT_EQ(result, fio::stream_short);
  EXPECT_EQ(console.text(), "WARNING: 3 bytes input instead of 5 requested\n");
  FIO_FILEREADC(fio::input_file, 4, 5, fio::reverse_none, result, n, buf);
  EXPECT_EQ(result, fio::stream_bad_argument);  // more than the buffer
  FIO_FILEREADC(fio::output_file, 8, 5, fio::reverse_none, result, n, buf);
  EXPECT_EQ(result, fio::stream_bad_argument);
  FIO_FILECLOSEC(fio::input_file, result);
  EXPECT_EQ(result, fio::stream_done);
  FIO_FILECLOSEC(fio::input_file, result);
  EXPECT_EQ(result, fio::stream_not_open);
  console.clear();
  FIO_FILEREADC(fio::input_file, 8, 5, fio::reverse_none, result, n, buf);
  EXPECT_EQ(result, fio::stream_not_open);
  EXPECT_EQ(console.text(), "WARNING: Input file is not open\n");
}

TEST(FioStream, TextLinesAndWrites) {
  kovtest::TempDir dir;
  Slots slots;
  int result = 0, id = 0, status = good, n = 0;
  FIO_FILEOPEN(dir.file("w"), "WRITE", result, id, status);
  ASSERT_EQ(id, fio::output_file);
  std::array<std::byte, 4> b{std::byte{'1'}, std::byte{'2'}, std::byte{'3'}, std::byte{'4'}};
  FIO_FILEWRITEC(fio::output_file, 4, 4, fio::reverse_pairs, b, result, n);
  EXPECT_EQ(result, fio::stream_done);
  EXPECT_EQ(b[0], std::byte{'2'});  // reversed in place
  const std::array<float, 2> reals{1.5f, -2.0f};
  FIO_FILEWREALC(fio::output_file, 2, 2, reals, result, n);
  EXPECT_EQ(n, 2);
  FIO_FILECLOSEC(fio::output_file, result);
  const std::string written = kovtest::read_file(dir.file("w"));
  ASSERT_EQ(written.size(), 12u);
  EXPECT_EQ(written.substr(0, 4), "2143");

  kovtest::write_file(dir.file("t"), "first\n\nlast");
  FIO_FILEOPEN(dir.file("t"), "READ_ASCII", result, id, status);
  std::string line;
  std::vector<std::string> lines;
  for (FIO_ASCIIREADC(id, 80, result, line); result == fio::stream_done;
       FIO_ASCIIREADC(id, 80, result, line)) {
    lines.push_back(line);
  }
  EXPECT_EQ(result, fio::stream_end_of_file);
  EXPECT_EQ(lines, (std::vector<std::string>{"first\n", " ", "last"}));
}

TEST(FioStream, OpenByNameChecksNameAndMode) {
  kovtest::TempDir dir;
  kovtest::write_file(dir.file("x"), "x");
  Slots slots;
  struct Case {
    std::string name, mode;
    int status, result;
  } cases[] = {
      {"", "READ", fio::status_bad_name, 0},
      {dir.file("x"), "APPEND", fio::status_bad_mode, 0},
      {dir.file("missing"), "READ", good, fio::stream_system},
      {dir.file("x"), "READ_ASCII", good, fio::stream_done},
  };
  for (const Case& c : cases) {
    int result = 0, id = 0, status = good;
    FIO_FILEOPEN(c.name, c.mode, result, id, status);
    EXPECT_EQ(status, c.status) << c.name << " " << c.mode;
    if (status == good) {
      EXPECT_EQ(result, c.result) << c.name;
    }
  }
  // The escape at the name prompt of FIO_OPENFILE gives result 1.
  int result = 0, id = 0, status = good;
  FIO_FILECLOSEC(fio::input_file, result);
  std::string name = "none";
  {
    kovtest::ConsoleCapture console;
    kovtest::StdinPipe input(dir.file("missing") + "\n" + dir.file("x") + "\n");
    FIO_OPENFILE(true, "READ", name, result, id, status);
    EXPECT_EQ(result, fio::stream_done);
    EXPECT_NE(console.text().find("Error in opening file, Please retype name"), std::string::npos);
  }
  FIO_FILECLOSEC(fio::input_file, result);
  kovtest::StdinPipe input("\\\\\n");
  FIO_OPENFILE(true, "READ", name, result, id, status);
  EXPECT_EQ(status, good);
  EXPECT_EQ(result, 1);
}

// A stored image of 16-bit values 1000 x + y (x, y from 1), little-endian,
// after a header of 3 bytes.
struct Stored {
  kovtest::TempDir dir;
  int width = 5, height = 4;
  Stored() {
    Bytes b;
    b.zeros(3);
    for (int y = 1; y <= height; ++y) {
      for (int x = 1; x <= width; ++x) b.u16(static_cast<unsigned>(1000 * x + y));
    }
    b.u16(0xFFFF);
    kovtest::write_file(dir.file("s"), b.str());
    open_read(dir.file("s"));
  }
  ~Stored() {
    int r = 0;
    FIO_FILECLOSEC(fio::input_file, r);
  }
};

TEST(FioTransfer, RegionsMirroringAndTheArrayBounds) {
  Stored s;
  struct Case {
    const char* what;
    bool mx, my;
    int x1, y1, x2, y2, xmax, ymax;
    int xnum, ynum;
    // Expected stored (x, y) of output (1, 1) and of the last output pixel.
    int first_x, first_y, last_x, last_y;
  } cases[] = {
      {"whole", false, false, 1, 1, 5, 4, 8, 8, 5, 4, 1, 1, 5, 4},
      {"part", false, false, 2, 2, 4, 3, 8, 8, 3, 2, 2, 2, 4, 3},
      {"mirror y fills from the last row", false, true, 1, 1, 5, 4, 8, 8, 5, 4, 1, 4, 5, 1},
      {"mirror x", true, false, 1, 1, 5, 4, 8, 8, 5, 4, 5, 1, 1, 4},
      {"wider than the array", false, false, 1, 1, 5, 4, 3, 8, 3, 4, 1, 1, 3, 4},
      {"taller than the array", false, false, 1, 1, 5, 4, 8, 2, 5, 2, 1, 1, 5, 2},
      {"taller, mirrored", false, true, 1, 1, 5, 4, 8, 2, 5, 2, 1, 4, 5, 3},
      {"wider, mirrored", true, false, 1, 1, 5, 4, 2, 8, 2, 4, 5, 1, 4, 4},
  };
  for (const Case& c : cases) {
    // One guard element beyond the array on each side.
    std::vector<float> store(static_cast<std::size_t>(c.xmax * c.ymax + 2), -7.0f);
    io::View2D<float> data(store.data() + 1, c.xmax, c.ymax);
    std::array<std::int16_t, 3> buffer{};  // refilled many times
    int xnum = 0, ynum = 0, status = good;
    FIO_INP_2DI2(fio::input_file, false, false, c.mx, c.my, false, s.width, s.height, c.x1, c.y1,
                 c.x2, c.y2, 1, 1, 4, 3, buffer, xnum, ynum, data, status);
    ASSERT_EQ(status, good) << c.what;
    EXPECT_EQ(xnum, c.xnum) << c.what;
    EXPECT_EQ(ynum, c.ynum) << c.what;
    EXPECT_EQ(data(1, 1), 1000 * c.first_x + c.first_y) << c.what;
    EXPECT_EQ(data(xnum, ynum), 1000 * c.last_x + c.last_y) << c.what;
    EXPECT_EQ(store.front(), -7.0f) << c.what;
    EXPECT_EQ(store.back(), -7.0f) << c.what;
  }
}

TEST(FioTransfer, SignedAndUnsignedValues) {
  kovtest::TempDir dir;
  Bytes b;
  b.u16(0xFFFF).u32(0xFFFFFFFFu).u8(0xFF);
  kovtest::write_file(dir.file("v"), b.str());
  open_read(dir.file("v"));
  Slots slots;
  float v[1] = {0.0f};
  io::View2D<float> one(v, 1, 1);
  int xn = 0, yn = 0, status = good;
  std::array<std::int16_t, 1> b2{};
  std::array<std::int32_t, 1> b4{};
  std::array<std::int8_t, 1> b1{};
  for (bool is_signed : {false, true}) {
    FIO_INP_2DI2(1, false, is_signed, false, false, false, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, b2, xn, yn,
                 one, status);
    EXPECT_EQ(v[0], is_signed ? -1.0f : 65535.0f);
    FIO_INP_2DI4(1, false, is_signed, false, false, false, 1, 1, 1, 1, 1, 1, 1, 1, 3, 1, b4, xn, yn,
                 one, status);
    EXPECT_EQ(v[0], is_signed ? -1.0f : 4294967295.0f);
    FIO_INP_2DBYTE(1, is_signed, false, false, false, 1, 1, 1, 1, 1, 1, 1, 1, 7, 1, b1, xn, yn, one,
                   status);
    EXPECT_EQ(v[0], is_signed ? -1.0f : 255.0f);
  }
  EXPECT_EQ(status, good);
}

TEST(FioTransfer, ChecksInOrderAndShortFiles) {
  Stored s;
  float v[4] = {};
  std::array<std::int16_t, 4> buffer{};
  struct Case {
    int xmax, ymax, w, h, x1, y1, x2, y2, xbin, ybin, position, length, status;
  } cases[] = {
      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, fio::status_bad_width},
      {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, fio::status_bad_height},
      {2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, fio::status_bad_x_value},
      {2, 2, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, fio::status_bad_y_value},
      {2, 2, 5, 4, 1, 1, 6, 4, 1, 1, 1, 4, fio::status_bad_x_region},
      {2, 2, 5, 4, 1, 1, 5, 5, 1, 1, 1, 4, fio::status_bad_y_region},
      {2, 2, 5, 4, 3, 1, 2, 4, 1, 1, 1, 4, fio::status_bad_x_region},
      {2, 2, 5, 4, 1, 1, 5, 4, 1, 1, 0, 4, fio::status_bad_x_value},
      {2, 2, 5, 4, 1, 1, 5, 4, 1, 1, 1, 5, fio::status_bad_buffer},
      {2, 2, 5, 4, 1, 1, 5, 4, 2, 1, 1, 4, fio::status_not_implemented},
      {2, 2, 5, 4, 1, 1, 5, 4, 1, 1, 40, 4, fio::status_refill_failed},
  };
  kovtest::ConsoleCapture console;
  for (const Case& c : cases) {
    int xn = 0, yn = 0, status = good;
    FIO_INP_2DI2(1, false, false, false, false, false, c.w, c.h, c.x1, c.y1, c.x2, c.y2, c.xbin,
                 c.ybin, c.position, c.length, buffer, xn, yn, io::View2D<float>(v, c.xmax, c.ymax),
                 status);
    EXPECT_EQ(status, c.status) << c.xmax << " " << c.w << " " << c.x2 << " " << c.position;
  }
  EXPECT_NE(console.text().find("ERROR: Re-binning, transposing on input not yet implemented"),
            std::string::npos);
}

TEST(FioItems, SearchSkipsOtherItemsAndReadsValues) {
  kovtest::TempDir dir;
  auto record = [](const std::string& text) {
    std::string r = text;
    r.resize(fio::record_length, ' ');
    return r;
  };
  // "\NAME:T", the further records in 6 places, a blank, the value.
  auto item = [](const std::string& name, char type, int further, const std::string& value) {
    std::string count = std::to_string(further);
    return "\\" + name + ":" + type + std::string(6 - count.size(), ' ') + count + " " + value;
  };
  // An array over two records, a real, a text, and a record of no item.
  std::string values;
  for (int i = 1; i <= 100; ++i) values += std::to_string(i * 0.5) + " ";
  const std::string first = item("SAMPLES", 'A', 1, values);
  kovtest::write_file(dir.file("i"), record("header without an item") +
                                         record(first.substr(0, 512)) + record(first.substr(512)) +
                                         record(item("GAIN", 'R', 0, "2.5")) +
                                         record(item("TITLE", 'C', 0, "Test sample")));
  open_read(dir.file("i"));
  Slots slots;
  int status = good, record_no = 0, position = 0;
  bool found = false;
  char type = ' ';
  FIO_FREAD_SEARCHITEM(1, "GAIN", 1, found, type, record_no, position, status);
  EXPECT_TRUE(found);
  EXPECT_EQ(type, 'R');
  EXPECT_EQ(record_no, 4);
  EXPECT_EQ(position, 4 + 11);
  float gain = 0.0f;
  FIO_FREAD_REAL(1, "GAIN", found, gain, status);
  EXPECT_EQ(gain, 2.5f);
  std::string title;
  FIO_FREAD_STRING(1, "TITLE", found, title, status);
  EXPECT_EQ(title, "Test sample");
  std::vector<float> samples(200);
  int n = 0;
  FIO_FREAD_RARRAY(1, "SAMPLES", 200, found, n, samples, status);
  EXPECT_EQ(n, 100);
  EXPECT_EQ(samples[99], 50.0f);
  kovtest::ConsoleCapture console;
  FIO_FREAD_SEARCHITEM(1, "NOISE", 1, found, type, record_no, position, status);
  EXPECT_FALSE(found);
  EXPECT_EQ(console.text(), "INFO: File item not found: NOISE\n");
  EXPECT_EQ(status, good);
}

}  // namespace

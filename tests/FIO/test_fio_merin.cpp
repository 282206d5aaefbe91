// The keyword-header reader on files written by the test: every data type
// in both byte orders, several sections, keyword spelling, refusals.
#include <functional>

#include "fio_files.h"
#include "stdin_pipe.h"

namespace {

using fiotest::Bytes;
using fiotest::read_named;

// One section: the header text, then width x height values v(x, y).
std::string section(const std::string& header, int width, int height, const std::string& type,
                    bool high, const std::function<double(int, int)>& v) {
  Bytes d;
  d.high = high;
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) {
      const double value = v(x, y);
      if (type == "4") d.u32(static_cast<std::uint32_t>(static_cast<std::int64_t>(value)));
      if (type == "2") d.u16(static_cast<unsigned>(static_cast<std::int64_t>(value) & 0xFFFF));
      if (type == "r") d.f32(static_cast<float>(value));
    }
  }
  return header + d.str();
}

TEST(FioMerin, EveryDataTypeInBothByteOrders) {
  struct Case {
    const char* datatype;
    const char* stored;  // "4", "2" or "r"
    double a, b;         // two values stored and read back exactly
  } cases[] = {
      {"UnsignedInteger", "4", 4000000000.0, 7},
      {"UNSIGNEDLONG", "4", 65536, 1},
      {"SignedInteger", "4", -2000000000.0, -1},
      {"UnsignedShort", "2", 65535, 0},
      {"SignedShort", "2", -32768, -1},
      {"Real", "r", -1.5, 3.25e10},
      {"Float", "r", 0.125, -7},
      {"FloatValue", "r", 1e-3, 2},
  };
  kovtest::TempDir dir;
  for (const Case& c : cases) {
    for (bool high : {false, true}) {
      const std::string header = std::string("{\nHeaderID = EH:000001:000000:000000 ;\n") +
                                 "Dim_1 = 3 ;\nDim_2 = 2;\nDataType = " + c.datatype +
                                 " ;\nByteOrder = " + (high ? "HighByteFirst" : "LowByteFirst") +
                                 " ;\nTitle = Sample ;\n}";
      kovtest::write_file(dir.file("m.zdf"),
                          section(header, 3, 2, c.stored, high,
                                  [&](int x, int y) { return x == 2 && y == 2 ? c.b : c.a; }));
      const fiotest::Read r = read_named(dir.file("m.zdf"), "");
      ASSERT_TRUE(r.defined) << c.datatype << r.console;
      EXPECT_EQ(r.width, 3);
      EXPECT_EQ(r.height, 2);
      EXPECT_EQ(r.value(1, 1), static_cast<float>(c.a)) << c.datatype << high;
      EXPECT_EQ(r.value(2, 2), static_cast<float>(c.b)) << c.datatype << high;
      EXPECT_EQ(r.title, "Sample");
    }
  }
}

TEST(FioMerin, SecondSectionOfTwoIsFoundBySize) {
  kovtest::TempDir dir;
  const auto one = [](int, int) { return 1.0; };
  const auto two = [](int x, int y) { return 10.0 * x + y; };
  // 4 x 2 unsigned shorts: 16 bytes.
  const std::string first = section(
      "{ IMAGE = 1 ; SIZE = 16 ; DIM_1 = 4 ; DIM_2 = 2 ; "
      "DATATYPE = UnsignedShort ; }",
      4, 2, "2", false, one);
  const std::string second = section(
      "{ Image = 2 ; Dim_1 = 2 ; Dim_2 = 3 ; "
      "DataType = SignedShort ; Compression = none ; }",
      2, 3, "2", false, two);
  kovtest::write_file(dir.file("two.zdf"), first + second);
  kovtest::ConsoleCapture console;
  kovtest::StdinPipe input("2\n");
  int retstat = 0, xn = 0, yn = 0, status = fiotest::good;
  std::vector<float> data(16), xa(4), ya(4);
  std::string name = dir.file("two.zdf"), title, xl, yl, zl;
  float px = 0, py = 0, overload = 0;
  FIO_IN_MERIN(false, true, false, name, retstat, xn, yn, xa, ya,
               io::View2D<float>(data.data(), 4, 4), io::View2D<float>(), title, xl, yl, zl, px, py,
               overload, status);
  EXPECT_EQ(retstat, 0) << console.text();
  EXPECT_EQ(xn, 2);
  EXPECT_EQ(yn, 3);
  EXPECT_EQ(data[4 * 2 + 1], 23);  // (2, 3)
  EXPECT_EQ(overload, 32766.5f);
  EXPECT_NE(
      console.text().find("INFO: \"Image\" number        1 has been found, continuing search ..."),
      std::string::npos);
  // Image 3 is not there, and the last section has no SIZE.
  console.clear();
  kovtest::StdinPipe three("3\n");
  FIO_IN_MERIN(false, true, false, name, retstat, xn, yn, xa, ya,
               io::View2D<float>(data.data(), 4, 4), io::View2D<float>(), title, xl, yl, zl, px, py,
               overload, status);
  EXPECT_NE(retstat, 0);
  EXPECT_NE(console.text().find("        \"Image\" number        2was the last found"),
            std::string::npos)
      << console.text();
  EXPECT_EQ(status, fiotest::good);
}

TEST(FioMerin, RefusalsAndHeaderErrors) {
  struct Case {
    const char* header;
    const char* message;
  } cases[] = {
      {"{ DIM_1 = 2 ; DIM_2 = 2 ; DATATYPE = DoubleValue ; }", "an unsupported"},
      {"{ DIM_1 = 2 ; DIM_2 = 2 ; DATATYPE = Real ; COMPRESSION = Packed ; }",
       "using a compression"},
      {"{ DIM_1 = 2 ; DIM_2 = 2 ; DATATYPE = Real ; COMPRESSION = NoSpecificValue ; DIM_1 = 4 ; }",
       "too short for its layout"},
      {"{ DIM_1 = two ; DIM_2 = 2 ; DATATYPE = Real ; }", "Problem of converting key value"},
      {"{ DIM_1 = 2 ; DIM_2 ", "Error in reading keyword"},
      {"{ DIM_1 = 2 ; DIM_2 = 2", "Error in reading key value"},
      {"no header at all", "Error in reading start of header: image not input"},
      // "!" ends a value, not the line: the "}" after it ends the header.
      {"{ DIM_1 = 2 ; DIM_2 = 2 ; DATATYPE = DoubleValue ! not read }", "an unsupported"},
      // A header closed by a line end: the data would be read shifted.
      {"{\nDIM_1 = 2 ;\nDIM_2 = 2 ;\nDATATYPE = Real ;\n}\n",
       "do not fit the size that the header declares"},
      {"{ SIZE = 12 ; DIM_1 = 1 ; DIM_2 = 2 ; DATATYPE = Real ; }",
       "12 bytes after the \"}\", but 16 bytes follow it"},
  };
  kovtest::TempDir dir;
  for (const Case& c : cases) {
    kovtest::write_file(dir.file("r.zdf"), std::string(c.header) + std::string(16, '\0'));
    const fiotest::Read r = read_named(dir.file("r.zdf"), fio::format_merin);
    EXPECT_FALSE(r.defined) << c.header;
    EXPECT_CONSOLE(r, c.message);
  }
}

}  // namespace

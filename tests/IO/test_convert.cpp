// Conversions between texts and values.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "io.h"

namespace {

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override { ST_DEF_SYSTEM(status); }
  int status = 0;

  bool toktr(const std::string& text, float& value) {
    bool valid = true;
    IO_TOKTR(text, valid, value, status);
    EXPECT_EQ(status, ST_GOOD()) << text;
    return valid;
  }
  bool tokti(const std::string& text, int& value) {
    bool valid = true;
    IO_TOKTI(text, valid, value, status);
    EXPECT_EQ(status, ST_GOOD()) << text;
    return valid;
  }
};

std::string rtoc(float value) {
  std::string text = "old contents";
  IO_RTOC(value, text);
  return text;
}

float below(float v) {
  return std::nextafter(v, -INFINITY);
}
float above(float v) {
  return std::nextafter(v, INFINITY);
}

TEST_F(ConvertTest, IntegerTexts) {
  int value = 0;
  const std::pair<const char*, int> good[] = {{"42", 42},
                                              {"  -17 \t", -17},
                                              {"+8", 8},
                                              {"-2147483648", -2147483647 - 1},
                                              {"2147483647", 2147483647}};
  for (const auto& [text, expected] : good) {
    EXPECT_TRUE(tokti(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  value = 99;
  for (const char* bad : {"", "   ", "+", "-", "1.5", "12a", "1 2", "2147483648", "-2147483649",
                          "99999999999999999999", "0x10"}) {
    EXPECT_FALSE(tokti(bad, value)) << bad;
  }
  EXPECT_EQ(value, 99);  // untouched by bad text
}

TEST_F(ConvertTest, BadStatusLeavesEverythingAlone) {
  status = 10017;
  bool valid = true;
  int value = 3;
  IO_TOKTI("5", valid, value, status);
  EXPECT_EQ(value, 3);
  EXPECT_EQ(status, 10017);
  std::string position;
  ST_INQ_SAVE(position);
  EXPECT_EQ(position.substr(0, 25), "Subroutine IO_TOKTI V0.2 ");
}

// Real texts and the values they give. Texts of 15 characters and more are
// read in double precision, then rounded once to single precision; only the
// first 30 characters are looked at.
TEST_F(ConvertTest, RealForms) {
  const std::pair<const char*, float> forms[] = {
      {"1.5", 1.5f},
      {"  -2 ", -2.0f},
      {".5", 0.5f},
      {"5.", 5.0f},
      {"1.5e3", 1500.0f},
      {"1.5D-2", 0.015f},
      {"2d3", 2000.0f},
      {"pi", 3.1415926f},
      {"PI", 3.1415926f},
      {"12.5%", 0.125f},
      {"-50%", -0.5f},
      {"2*10^3", 2000.0f},
      {"1.5*10**3", 1500.0f},
      {"1.5*10^3", 1500.0f},
      {"4*10**-2", 0.04f},
      {"1E-50", 0.0f},  // underflow reads as zero
      {"0.1000000000001", 0.1f},
      {"3.14159265358979", static_cast<float>(3.14159265358979)},
      {"1.234567890123D+05", static_cast<float>(1.234567890123e5)},
      {"1.00000000000000000000000000009999", 1.0f},
  };
  for (const auto& [text, expected] : forms) {
    float v = 0.0f;
    EXPECT_TRUE(toktr(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
}

TEST_F(ConvertTest, RealNonsenseIsNotValid) {
  float v = 7.0f;
  for (const char* bad :
       {"",    "  ",   "abc", "1.2.3", "e5",     "1e",    "1e+",  "--1",   "1,5",
        "%",   "1 5",  ".",   "+.",    "1.5*10", "2*10^", "3e39", "-1d40", "1.0000000000000e39",
        "PIE", "0x1p3"}) {
    EXPECT_FALSE(toktr(bad, v)) << bad;
  }
  EXPECT_EQ(v, 7.0f);
}

TEST_F(ConvertTest, LogicalWords) {
  bool valid = false;
  bool value = false;
  for (const char* word :
       {"YES", "y", "\"YES\"", "t", "True", "1", ".true.", "oui", "Ya", "  yes  "}) {
    value = false;
    IO_TOKTL(word, valid, value, status);
    EXPECT_TRUE(valid) << word;
    EXPECT_TRUE(value) << word;
  }
  for (const char* word : {"NO", "n", "Non", "\"no\"", "F", "false", ".FALSE.", "0", "nein"}) {
    value = true;
    IO_TOKTL(word, valid, value, status);
    EXPECT_TRUE(valid) << word;
    EXPECT_FALSE(value) << word;
  }
  for (const char* word : {"maybe", "", "2", "YESS", "TRUEISH", "yes no", "O", "\"YES", "JA",
                           ".TRUE", "NEINNEINNEIN"}) {
    value = true;
    IO_TOKTL(word, valid, value, status);
    EXPECT_FALSE(valid) << word;
    EXPECT_TRUE(value) << word;  // untouched
  }
  EXPECT_EQ(status, ST_GOOD());
}

TEST_F(ConvertTest, Hexadecimal) {
  bool valid = false;
  int i = 0;
  const std::pair<const char*, int> integers[] = {
      {"ff", 255}, {" 0x7FFFFFFF ", 2147483647}, {"FFFFFFFF", -1}, {"0000000080000001", ST_GOOD()}};
  for (const auto& [text, expected] : integers) {
    IO_HEXTOI(text, valid, i, status);
    EXPECT_TRUE(valid) << text;
    EXPECT_EQ(i, expected) << text;
  }
  i = 5;
  for (const char* bad : {"", "G1", "100000000", "-1", "0x"}) {
    IO_HEXTOI(bad, valid, i, status);
    EXPECT_FALSE(valid) << bad;
  }
  EXPECT_EQ(i, 5);
  float r = 0.0f;
  for (const auto& [text, expected] :
       {std::pair{"3F800000", 1.0f}, std::pair{"c0490fdb", -3.14159274f}}) {
    IO_HEXTOR(text, valid, r, status);
    EXPECT_TRUE(valid) << text;
    EXPECT_EQ(r, expected) << text;
  }
  IO_HEXTOR("xyz", valid, r, status);
  EXPECT_FALSE(valid);
  EXPECT_EQ(r, -3.14159274f);
  EXPECT_EQ(status, ST_GOOD());
}

TEST(ConvertToText, IntegersAndLogicals) {
  for (const auto& [value, expected] :
       {std::pair{0, "0"}, std::pair{-45, "-45"}, std::pair{-2147483647 - 1, "-2147483648"},
        std::pair{1000, "1000"}}) {
    std::string text = "something long";
    IO_ITOC(value, text);
    EXPECT_EQ(text, expected);
  }
  std::string text;
  IO_LTOC(true, text);
  EXPECT_EQ(text, ".TRUE.");
  IO_LTOC(false, text);
  EXPECT_EQ(text, ".FALSE.");
}

// The layouts of IO_RTOC, each range at its bounds (the bound itself and the
// value just inside it) and in its middle.
TEST(ConvertToText, RealLayouts) {
  const std::pair<float, const char*> layouts[] = {
      {0.0f, "0.0"},
      {-0.0f, "0.0"},
      // 0 < v < 0.0999999: exponent form
      {0.05f, "5.000000E-02"},
      {1.0e-30f, "1.000000E-30"},
      {below(0.0999999f), "9.999989E-02"},
      // 0.0999999 <= v < 9.99999: 6 decimals
      {0.0999999f, "0.100000"},
      {1.234567f, "1.234567"},
      {below(9.99999f), "9.999990"},
      // 9.99999 <= v < 99.9999: 5 decimals
      {9.99999f, "9.99999"},
      {12.34567f, "12.34567"},
      {below(99.9999f), "99.99989"},
      // 99.9999 <= v < 999.999: 4 decimals
      {99.9999f, "99.9999"},
      {123.4567f, "123.4567"},
      {below(999.999f), "999.9990"},
      // 999.999 <= v < 9999.99: 3 decimals
      {999.999f, "999.999"},
      {1234.567f, "1234.567"},
      {below(9999.99f), "9999.989"},
      // 9999.99 <= v < 99999.9: 2 decimals
      {9999.99f, "9999.99"},
      {12345.67f, "12345.67"},
      {below(99999.9f), "99999.89"},
      // v >= 99999.9: exponent form
      {99999.9f, "9.999990E+04"},
      {123456.7f, "1.234567E+05"},
      {3.4e38f, "3.400000E+38"},
      // -0.0999 < v < 0: exponent form
      {-0.05f, "-5.000000E-02"},
      {above(-0.0999f), "-9.989999E-02"},
      // -0.9999 < v <= -0.0999: 6 decimals
      {-0.0999f, "-0.099900"},
      {-0.5f, "-0.500000"},
      {above(-0.9999f), "-0.999900"},
      // -9.999 < v <= -0.9999: 6 decimals
      {-0.9999f, "-0.999900"},
      {-1.234567f, "-1.234567"},
      {above(-9.999f), "-9.998999"},
      // -99.99 < v <= -9.999: 5 decimals
      {-9.999f, "-9.99900"},
      {-12.34567f, "-12.34567"},
      {above(-99.99f), "-99.98999"},
      // -999.99 < v <= -99.99: 4 decimals
      {-99.99f, "-99.9900"},
      {-123.4567f, "-123.4567"},
      {above(-999.99f), "-999.9899"},
      // -9999.99 < v <= -999.99: 3 decimals
      {-999.99f, "-999.990"},
      {-1234.567f, "-1234.567"},
      {above(-9999.99f), "-9999.989"},
      // -99999.9 < v <= -9999.99: 2 decimals
      {-9999.99f, "-9999.99"},
      {-12345.67f, "-12345.67"},
      {above(-99999.9f), "-99999.89"},
      // v <= -99999.9: exponent form
      {-99999.9f, "-9.999990E+04"},
      {-123456.7f, "-1.234567E+05"},
  };
  for (const auto& [value, expected] : layouts) EXPECT_EQ(rtoc(value), expected) << expected;
}

TEST_F(ConvertTest, RealTextsReadBack) {
  for (float v : {0.0f, 0.05f, 1.234567f, -0.5f, 12345.67f, -1.234567e5f, 1.0e-30f, 3.4e38f}) {
    float back = 0.0f;
    EXPECT_TRUE(toktr(rtoc(v), back));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-6f) << rtoc(v);
  }
  float back = 0.0f;
  EXPECT_TRUE(toktr(rtoc(INFINITY), back));
  EXPECT_EQ(back, INFINITY);
  EXPECT_TRUE(toktr(rtoc(-INFINITY), back));
  EXPECT_EQ(back, -INFINITY);
  EXPECT_TRUE(toktr(rtoc(NAN), back));
  EXPECT_TRUE(std::isnan(back));
}

TEST_F(ConvertTest, DisplayTextIsShortAndExact) {
  auto vtoc = [](float v) {
    std::string text;
    IO_VTOC(v, text);
    return text;
  };
  EXPECT_EQ(vtoc(0.0f), "0.0");
  EXPECT_EQ(vtoc(1500.0f), "1500");
  EXPECT_EQ(vtoc(0.125f), "0.125");
  EXPECT_EQ(vtoc(-2.5f), "-2.5");
  EXPECT_EQ(vtoc(0.1f), "0.1");
  EXPECT_EQ(vtoc(1000.0f), "1000");
  EXPECT_EQ(vtoc(1.5e10f), "1.5E+10");
  EXPECT_EQ(vtoc(2.0e-5f), "2E-05");
  for (float v : {3.1415926f, 999.99994f, 0.00010001f, 9999999.0f, 1.0e-38f, -7.654321e12f, 0.3f,
                  123456.79f}) {
    float back = 0.0f;
    EXPECT_TRUE(toktr(vtoc(v), back)) << vtoc(v);
    EXPECT_EQ(back, v) << vtoc(v);
  }
}

TEST(ConvertToText, CaseChangesTouchOnlyLetters) {
  std::string text = "aZ09 _-{}~\xe9 mixed Case";
  IO_UPPER(text);
  EXPECT_EQ(text, "AZ09 _-{}~\xe9 MIXED CASE");
  IO_LOWER(text);
  EXPECT_EQ(text, "az09 _-{}~\xe9 mixed case");
}

}  // namespace

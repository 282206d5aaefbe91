// Conversions between texts and values.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

float below(float v) { return std::nextafter(v, -INFINITY); }
float above(float v) { return std::nextafter(v, INFINITY); }

TEST_F(ConvertTest, IntegerTexts) {
  int value = 0;
  EXPECT_TRUE(tokti("42", value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(tokti("  -17 \t", value));
  EXPECT_EQ(value, -17);
  EXPECT_TRUE(tokti("+8", value));
  EXPECT_EQ(value, 8);
  EXPECT_TRUE(tokti("-2147483648", value));
  EXPECT_EQ(value, -2147483647 - 1);
  EXPECT_TRUE(tokti("2147483647", value));
  EXPECT_EQ(value, 2147483647);
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

TEST_F(ConvertTest, RealForms) {
  float v = 0.0f;
  EXPECT_TRUE(toktr("1.5", v));
  EXPECT_EQ(v, 1.5f);
  EXPECT_TRUE(toktr("  -2 ", v));
  EXPECT_EQ(v, -2.0f);
  EXPECT_TRUE(toktr(".5", v));
  EXPECT_EQ(v, 0.5f);
  EXPECT_TRUE(toktr("5.", v));
  EXPECT_EQ(v, 5.0f);
  EXPECT_TRUE(toktr("1.5e3", v));
  EXPECT_EQ(v, 1500.0f);
  EXPECT_TRUE(toktr("1.5D-2", v));
  EXPECT_EQ(v, 0.015f);
  EXPECT_TRUE(toktr("2d3", v));
  EXPECT_EQ(v, 2000.0f);
  EXPECT_TRUE(toktr("pi", v));
  EXPECT_EQ(v, 3.1415926f);
  EXPECT_TRUE(toktr("PI", v));
  EXPECT_EQ(v, 3.1415926f);
  EXPECT_TRUE(toktr("12.5%", v));
  EXPECT_EQ(v, 0.125f);
  EXPECT_TRUE(toktr("-50%", v));
  EXPECT_EQ(v, -0.5f);
  EXPECT_TRUE(toktr("2*10^3", v));
  EXPECT_EQ(v, 2000.0f);
  EXPECT_TRUE(toktr("1.5*10**3", v));
  EXPECT_EQ(v, 1500.0f);
  EXPECT_TRUE(toktr("1.5*10^3", v));
  EXPECT_EQ(v, 1500.0f);
  EXPECT_TRUE(toktr("4*10**-2", v));
  EXPECT_EQ(v, 0.04f);
  EXPECT_TRUE(toktr("1E-50", v));  // underflow reads as zero
  EXPECT_EQ(v, 0.0f);
}

TEST_F(ConvertTest, LongRealTextsAreRoundedOnce) {
  float v = 0.0f;
  // 15 characters and more: read in double precision, then converted.
  EXPECT_TRUE(toktr("0.1000000000001", v));
  EXPECT_EQ(v, 0.1f);
  EXPECT_TRUE(toktr("3.14159265358979", v));
  EXPECT_EQ(v, static_cast<float>(3.14159265358979));
  EXPECT_TRUE(toktr("1.234567890123D+05", v));
  EXPECT_EQ(v, static_cast<float>(1.234567890123e5));
  // Only the first 30 characters are looked at.
  EXPECT_TRUE(toktr("1.00000000000000000000000000009999", v));
  EXPECT_EQ(v, 1.0f);
}

TEST_F(ConvertTest, RealNonsenseIsNotValid) {
  float v = 7.0f;
  for (const char* bad : {"", "  ", "abc", "1.2.3", "e5", "1e", "1e+", "--1", "1,5", "%", "1 5",
                          ".", "+.", "1.5*10", "2*10^", "3e39", "-1d40", "1.0000000000000e39",
                          "PIE", "0x1p3"}) {
    EXPECT_FALSE(toktr(bad, v)) << bad;
  }
  EXPECT_EQ(v, 7.0f);
}

TEST_F(ConvertTest, LogicalWords) {
  bool valid = false;
  bool value = false;
  for (const char* word : {"YES", "y", "\"YES\"", "t", "True", "1", ".true.", "oui", "Ya",
                           "  yes  "}) {
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
  IO_HEXTOI("ff", valid, i, status);
  EXPECT_TRUE(valid);
  EXPECT_EQ(i, 255);
  IO_HEXTOI(" 0x7FFFFFFF ", valid, i, status);
  EXPECT_TRUE(valid);
  EXPECT_EQ(i, 2147483647);
  IO_HEXTOI("FFFFFFFF", valid, i, status);
  EXPECT_TRUE(valid);
  EXPECT_EQ(i, -1);
  IO_HEXTOI("0000000080000001", valid, i, status);
  EXPECT_TRUE(valid);
  EXPECT_EQ(i, ST_GOOD());
  i = 5;
  for (const char* bad : {"", "G1", "100000000", "-1", "0x"}) {
    IO_HEXTOI(bad, valid, i, status);
    EXPECT_FALSE(valid) << bad;
  }
  EXPECT_EQ(i, 5);
  float r = 0.0f;
  IO_HEXTOR("3F800000", valid, r, status);
  EXPECT_TRUE(valid);
  EXPECT_EQ(r, 1.0f);
  IO_HEXTOR("c0490fdb", valid, r, status);
  EXPECT_TRUE(valid);
  EXPECT_EQ(r, -3.14159274f);
  IO_HEXTOR("xyz", valid, r, status);
  EXPECT_FALSE(valid);
  EXPECT_EQ(r, -3.14159274f);
  EXPECT_EQ(status, ST_GOOD());
}

TEST(ConvertToText, IntegersAndLogicals) {
  std::string text = "something long";
  IO_ITOC(0, text);
  EXPECT_EQ(text, "0");
  IO_ITOC(-45, text);
  EXPECT_EQ(text, "-45");
  IO_ITOC(-2147483647 - 1, text);
  EXPECT_EQ(text, "-2147483648");
  IO_ITOC(1000, text);
  EXPECT_EQ(text, "1000");
  IO_LTOC(true, text);
  EXPECT_EQ(text, ".TRUE.");
  IO_LTOC(false, text);
  EXPECT_EQ(text, ".FALSE.");
}

TEST(ConvertToText, RealLayoutsPositive) {
  EXPECT_EQ(rtoc(0.0f), "0.0");
  EXPECT_EQ(rtoc(-0.0f), "0.0");
  // 0 < v < 0.0999999: exponent form
  EXPECT_EQ(rtoc(0.05f), "5.000000E-02");
  EXPECT_EQ(rtoc(1.0e-30f), "1.000000E-30");
  EXPECT_EQ(rtoc(below(0.0999999f)), "9.999989E-02");
  // 0.0999999 <= v < 9.99999: 6 decimals
  EXPECT_EQ(rtoc(0.0999999f), "0.100000");
  EXPECT_EQ(rtoc(1.234567f), "1.234567");
  EXPECT_EQ(rtoc(below(9.99999f)), "9.999990");
  // 9.99999 <= v < 99.9999: 5 decimals
  EXPECT_EQ(rtoc(9.99999f), "9.99999");
  EXPECT_EQ(rtoc(12.34567f), "12.34567");
  EXPECT_EQ(rtoc(below(99.9999f)), "99.99989");
  // 99.9999 <= v < 999.999: 4 decimals
  EXPECT_EQ(rtoc(99.9999f), "99.9999");
  EXPECT_EQ(rtoc(123.4567f), "123.4567");
  EXPECT_EQ(rtoc(below(999.999f)), "999.9990");
  // 999.999 <= v < 9999.99: 3 decimals
  EXPECT_EQ(rtoc(999.999f), "999.999");
  EXPECT_EQ(rtoc(1234.567f), "1234.567");
  EXPECT_EQ(rtoc(below(9999.99f)), "9999.989");
  // 9999.99 <= v < 99999.9: 2 decimals
  EXPECT_EQ(rtoc(9999.99f), "9999.99");
  EXPECT_EQ(rtoc(12345.67f), "12345.67");
  EXPECT_EQ(rtoc(below(99999.9f)), "99999.89");
  // v >= 99999.9: exponent form
  EXPECT_EQ(rtoc(99999.9f), "9.999990E+04");
  EXPECT_EQ(rtoc(123456.7f), "1.234567E+05");
  EXPECT_EQ(rtoc(3.4e38f), "3.400000E+38");
}

TEST(ConvertToText, RealLayoutsNegative) {
  // -0.0999 < v < 0: exponent form
  EXPECT_EQ(rtoc(-0.05f), "-5.000000E-02");
  EXPECT_EQ(rtoc(above(-0.0999f)), "-9.989999E-02");
  // -0.9999 < v <= -0.0999: 6 decimals
  EXPECT_EQ(rtoc(-0.0999f), "-0.099900");
  EXPECT_EQ(rtoc(-0.5f), "-0.500000");
  EXPECT_EQ(rtoc(above(-0.9999f)), "-0.999900");
  // -9.999 < v <= -0.9999: 6 decimals
  EXPECT_EQ(rtoc(-0.9999f), "-0.999900");
  EXPECT_EQ(rtoc(-1.234567f), "-1.234567");
  EXPECT_EQ(rtoc(above(-9.999f)), "-9.998999");
  // -99.99 < v <= -9.999: 5 decimals
  EXPECT_EQ(rtoc(-9.999f), "-9.99900");
  EXPECT_EQ(rtoc(-12.34567f), "-12.34567");
  EXPECT_EQ(rtoc(above(-99.99f)), "-99.98999");
  // -999.99 < v <= -99.99: 4 decimals
  EXPECT_EQ(rtoc(-99.99f), "-99.9900");
  EXPECT_EQ(rtoc(-123.4567f), "-123.4567");
  EXPECT_EQ(rtoc(above(-999.99f)), "-999.9899");
  // -9999.99 < v <= -999.99: 3 decimals
  EXPECT_EQ(rtoc(-999.99f), "-999.990");
  EXPECT_EQ(rtoc(-1234.567f), "-1234.567");
  EXPECT_EQ(rtoc(above(-9999.99f)), "-9999.989");
  // -99999.9 < v <= -9999.99: 2 decimals
  EXPECT_EQ(rtoc(-9999.99f), "-9999.99");
  EXPECT_EQ(rtoc(-12345.67f), "-12345.67");
  EXPECT_EQ(rtoc(above(-99999.9f)), "-99999.89");
  // v <= -99999.9: exponent form
  EXPECT_EQ(rtoc(-99999.9f), "-9.999990E+04");
  EXPECT_EQ(rtoc(-123456.7f), "-1.234567E+05");
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
  for (float v : {3.1415926f, 999.99994f, 0.00010001f, 9999999.0f, 1.0e-38f, -7.654321e12f,
                  0.3f, 123456.79f}) {
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

// Number and string formatting: widths, rounding of halves, separators,
// reading back, and the trimming helpers.
#include <gtest/gtest.h>
#include <math.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "xJorDbm2.h"

namespace {

std::string numToStr(double v, int width, int decimals, int flags) {
  char buf[600];
  memset(buf, 'X', sizeof buf);
  xNumToStr(buf, v, width, decimals, flags);
  return buf;
}

double strToNum(const char* text, int width, int decimals) {
  double v = -999;
  xStrToNum(text, &v, width, decimals);
  return v;
}

TEST(NumToStr, WidthDecimalsAndFlags) {
  EXPECT_EQ(numToStr(1234567.891, 10, 2, 0x20), "1,234,567.89");
  EXPECT_EQ(numToStr(0, 5, 0, 0x40), "");
  EXPECT_EQ(numToStr(0, 5, 0, 0x140), "     ");
  EXPECT_EQ(numToStr(0, 5, 0, 0x60), "");
  EXPECT_EQ(numToStr(0, 5, 0, 0), "0");
  EXPECT_EQ(numToStr(42, 5, 0, 0x100), "   42");
  EXPECT_EQ(numToStr(3.5, 3, 2, 0x100), "  3.50");  // total 6
  EXPECT_EQ(numToStr(42, 5, 0, 0x120), "42");       // separators win over alignment
  EXPECT_EQ(numToStr(123456, 0, 0, 0x20), "123,456");
  EXPECT_EQ(numToStr(42, 5, 0, 0x80), "42");
}

TEST(NumToStr, TooWideTextKeepsItsLastCharacters) {
  EXPECT_EQ(numToStr(-12345, 3, 0, 0), "345");
  EXPECT_EQ(numToStr(12345, 3, 0, 0), "345");
  EXPECT_EQ(numToStr(12345.678, 2, 2, 0), "45.68");
  EXPECT_EQ(numToStr(-5, 1, 0, 0), "5");
  EXPECT_EQ(numToStr(-5, 2, 0, 0), "-5");
}

TEST(NumToStr, ZeroTotalGivesShortestUpToTenDecimals) {
  EXPECT_EQ(numToStr(2.5, 0, 0, 0), "2.5");
  EXPECT_EQ(numToStr(3.0, 0, 0, 0), "3");
  EXPECT_EQ(numToStr(-0.125, 0, 0, 0), "-0.125");
  EXPECT_EQ(numToStr(1.0 / 3, 0, 0, 0), "0.3333333333");
  EXPECT_EQ(numToStr(2.00000000005, 0, 0, 0), "2.0000000001");  // a half at the 11th decimal
  EXPECT_EQ(numToStr(100, 0, 0, 0), "100");
}

TEST(NumToStr, ExactHalvesRoundAwayFromZero) {
  EXPECT_EQ(numToStr(0.125, 5, 2, 0), "0.13");
  EXPECT_EQ(numToStr(-0.125, 5, 2, 0), "-0.13");
  EXPECT_EQ(numToStr(2.5, 5, 0, 0), "3");
  EXPECT_EQ(numToStr(-2.5, 5, 0, 0), "-3");
  EXPECT_EQ(numToStr(0.5, 5, 0, 0), "1");
  EXPECT_EQ(numToStr(-0.5, 5, 0, 0), "-1");
  EXPECT_EQ(numToStr(9.5, 5, 0, 0), "10");
  EXPECT_EQ(numToStr(-99.5, 5, 0, 0), "-100");
  EXPECT_EQ(numToStr(999.875, 5, 2, 0), "999.88");
  EXPECT_EQ(numToStr(1.5, 5, 0, 0), "2");
  // Not halves in binary: the nearer neighbour wins, as the exact value says.
  EXPECT_EQ(numToStr(2.675, 5, 2, 0), "2.67");  // 2.67499999...
  EXPECT_EQ(numToStr(1.005, 5, 2, 0), "1.00");  // 1.00499999...
  EXPECT_EQ(numToStr(0.15, 5, 1, 0), "0.1");    // 0.1499999...
  EXPECT_EQ(numToStr(0.35, 5, 1, 0), "0.3");    // 0.34999...
}

TEST(NumToStr, LargeValuesAndNonsenseArguments) {
  std::string big = numToStr(1e300, 0, 0, 0);
  EXPECT_EQ(big.size(), 301u);
  EXPECT_EQ(big.substr(0, 3), "100");
  EXPECT_EQ(numToStr(-1e308, 400, 150, 0).size(), 1u + 309 + 1 + 150);
  EXPECT_EQ(numToStr(1.5, 5, 100000, 0).size(), 152u);  // decimals capped at 150
  EXPECT_EQ(numToStr(7, -3, 0, 0x100), "7");
  EXPECT_EQ(numToStr(NAN, 3, 1, 0), "0.0");
  EXPECT_EQ(numToStr(INFINITY, 0, 0, 0), "0");
}

TEST(StrToNum, ReadsOnlyPlainDecimalNumbers) {
  EXPECT_DOUBLE_EQ(strToNum("3.14159", 4, 2), 3.14);
  EXPECT_DOUBLE_EQ(strToNum("12,345", 0, 0), 12);
  EXPECT_DOUBLE_EQ(strToNum("  -42.5xyz", 0, 0), -42.5);
  EXPECT_DOUBLE_EQ(strToNum("+7", 0, 0), 7);
  EXPECT_DOUBLE_EQ(strToNum(".5", 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(strToNum("5.", 0, 0), 5);
  for (const char* none : {"", "   ", "abc", "-", ".", "-.", "+-1"})
    EXPECT_EQ(strToNum(none, 0, 0), 0) << none;
  // No exponents, hex, infinities or NaN: reading stops before them.
  EXPECT_EQ(strToNum("1e5", 0, 0), 1);
  EXPECT_EQ(strToNum("0x10", 0, 0), 0);
  EXPECT_EQ(strToNum("inf", 0, 0), 0);
  EXPECT_EQ(strToNum("nan", 0, 0), 0);
  EXPECT_EQ(strToNum(std::string(400, '9').c_str(), 0, 0), 0);  // not finite
}

TEST(StrToNum, WidthRoundsAndCutsAsTheFieldShowsIt) {
  EXPECT_DOUBLE_EQ(strToNum("12345", 3, 0), 345);
  EXPECT_DOUBLE_EQ(strToNum("-12345", 3, 0), 345);
  EXPECT_DOUBLE_EQ(strToNum("2.5", 3, 0), 3);
  EXPECT_DOUBLE_EQ(strToNum("-2.5", 3, 0), -3);
  EXPECT_DOUBLE_EQ(strToNum("0.125", 1, 2), 0.13);
  EXPECT_DOUBLE_EQ(strToNum("-7", 1, 0), 7);  // no room for the sign
}

TEST(RoundTrunc, DecimalRoundingAndCutting) {
  double v = 0.125;
  xRound(&v, 2);
  EXPECT_DOUBLE_EQ(v, 0.13);
  v = -2.5;
  xRound(&v, 0);
  EXPECT_DOUBLE_EQ(v, -3);
  v = 1234.5678;
  xRound(&v, 1);
  EXPECT_DOUBLE_EQ(v, 1234.6);
  v = 2.0;
  xTrunc(&v, 0);
  EXPECT_DOUBLE_EQ(v, 2);
  v = 2.999;
  xTrunc(&v, 2);
  EXPECT_DOUBLE_EQ(v, 2.99);
  v = -2.999;
  xTrunc(&v, 2);
  EXPECT_DOUBLE_EQ(v, -2.99);
  v = 2.99999999999;  // rounds to 3.0000000000 at ten decimals first
  xTrunc(&v, 2);
  EXPECT_DOUBLE_EQ(v, 3);
  v = 0.123456789012;
  xTrunc(&v, 12);  // nothing to cut past ten decimals
  EXPECT_DOUBLE_EQ(v, 0.1234567890);
  v = 7.89;
  xTrunc(&v, -1);
  EXPECT_DOUBLE_EQ(v, 7);
}

// Rounding gives, bit for bit, the number its rounded text reads back as,
// for any magnitude and for values a hair either side of a half.
TEST(RoundTrunc, RoundingMatchesTheRoundedTextReadBack) {
  auto viaText = [](double v, int d) {
    char text[600];
    xNumToStr(text, v, 400, d, XJOR_NUM_PLAIN);
    double back = 0;
    xStrToNum(text, &back, 0, 0);
    return back;
  };
  std::mt19937_64 random(7);
  std::vector<double> values = {0.0, -0.0, 0.004, -0.004, 1e-300, 0x1p44, 1e15, 1e300};
  for (int n = 0; n < 20000; ++n) {
    const double magnitude = std::ldexp(1.0, static_cast<int>(random() % 120) - 40);
    double v = magnitude * (static_cast<double>(random() >> 11) / 0x1p53);
    if (n % 2) v = -v;
    values.push_back(v);
  }
  for (int d = 0; d <= 10; ++d) {
    for (int k : {0, 1, 2, 12, 12345, 99999999}) {  // (k + 0.5) / 10^d and its neighbours
      const double half = (k + 0.5) / std::pow(10.0, d);
      values.insert(values.end(), {half, std::nextafter(half, 0.0), std::nextafter(half, 1e9),
                                   -half, -std::nextafter(half, 0.0)});
    }
  }
  for (int d = -1; d <= 12; ++d) {
    for (double v : values) {
      double rounded = v;
      xRound(&rounded, d);
      const double expected = viaText(v, d);
      ASSERT_EQ(std::memcmp(&rounded, &expected, sizeof rounded), 0)
          << std::hexfloat << v << " to " << d << " decimals: " << rounded << " not " << expected;
    }
  }
}

TEST(Comma, GroupsIntegerPartOnly) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {{"1234", "1,234"},
               {"1234567.891", "1,234,567.891"},
               {"-123", "-123"},
               {"-1234.5", "-1,234.5"},
               {"123456", "123,456"},
               {"-123456", "-123,456"},
               {"", ""},
               {"12", "12"},
               {".5", ".5"}};
  for (const auto& c : cases) {
    char buf[64];
    strcpy(buf, c.in);
    EXPECT_EQ(xComma(buf), static_cast<int32_t>(strlen(c.out))) << c.in;
    EXPECT_STREQ(buf, c.out);
  }
  std::string tooLong(300, '1');
  std::vector<char> buf(tooLong.begin(), tooLong.end());
  buf.push_back('\0');
  EXPECT_EQ(xComma(buf.data()), 300);
  EXPECT_EQ(std::string(buf.data()), tooLong);
  std::string longest(255, '9');
  std::vector<char> room(400);
  strcpy(room.data(), longest.c_str());
  EXPECT_EQ(xComma(room.data()), 255 + 84);
}

TEST(TrimFill, BlanksOnly) {
  char a[32] = "  ab c  ";
  EXPECT_EQ(xRTrim(a, 0), 6);
  EXPECT_STREQ(a, "  ab c");
  EXPECT_EQ(xLTrim(a, 0), 4);
  EXPECT_STREQ(a, "ab c");
  char blanks[8] = "    ";
  EXPECT_EQ(xLTrim(blanks, 0), 0);
  EXPECT_STREQ(blanks, "");
  strcpy(blanks, "   ");
  EXPECT_EQ(xRTrim(blanks, 0), 0);
  EXPECT_STREQ(blanks, "");
  char tab[8] = "\tx\t";
  EXPECT_EQ(xRTrim(tab, 0), 3);  // only ' ' is a blank
  char field[16] = "ab  cd  ";   // a fixed field: only its first 4 count
  EXPECT_EQ(xRTrim(field, 4), 2);
  EXPECT_STREQ(field, "ab");
  char lead[16] = "  abcdef";
  EXPECT_EQ(xLTrim(lead, 5), 3);
  EXPECT_STREQ(lead, "abc");

  char f[16] = "42";
  xLFill(f, 5);
  EXPECT_STREQ(f, "   42");
  xLFill(f, 3);
  EXPECT_STREQ(f, "   42");
  char g[16] = "ab";
  xRFill(g, 4);
  EXPECT_STREQ(g, "ab  ");
  xRFill(g, 1);
  EXPECT_STREQ(g, "ab  ");
}

}  // namespace

// Operators over constants: arithmetic, type rules, string comparison,
// contains on double-byte text and date arithmetic with calendars.
#include <gtest/gtest.h>

#include <cmath>

#include "query_test_util.h"
#include "xjor/packed_date.h"

namespace {

double Number(const char* text) {
  const Checked c = CheckExpr(10, text);
  EXPECT_EQ(c.ok, 1) << text << " error " << c.error << " at " << c.pos;
  return c.number();
}

bool Truth(const char* text) {
  const Checked c = CheckExpr(0, text);
  EXPECT_EQ(c.ok, 1) << text << " error " << c.error << " at " << c.pos;
  return c.truth();
}

constexpr auto Date = xjor::packDate;

uint16_t DateResult(const char* text) {
  const Checked c = CheckExpr(12, text);
  EXPECT_EQ(c.ok, 1) << text << " error " << c.error << " at " << c.pos;
  return c.value.u.date;
}

TEST(QueryArithmetic, DivisionAndRemainder) {
  EXPECT_EQ(Number("7 / 0"), 0);
  EXPECT_EQ(Number("7 % 0"), 0);
  EXPECT_EQ(Number("-7 % 3"), -1);
  EXPECT_EQ(Number("7 % -3"), 1);
  EXPECT_EQ(Number("7.9 % 3.9"), 1);  // both truncated first
  EXPECT_EQ(Number("7 % 0.5"), 0);    // 0.5 truncates to 0
  EXPECT_EQ(Number("7 / 2"), 3.5);
  EXPECT_EQ(Number("0.1 + 0.2"), 0.1 + 0.2);
}

TEST(QueryArithmetic, HugeValuesNeverReachAnIntegerConversion) {
  const std::string big = std::string(300, '9');
  EXPECT_EQ(Number((big + " * " + big + " % 7").c_str()), 0);  // inf % 7
  EXPECT_EQ(Number(("7 % (" + big + " * " + big + ")").c_str()), 7);
  EXPECT_EQ(DateResult(("@00-01-01@ + " + big).c_str()) != 0, true);
  EXPECT_EQ(DateResult(("@00-01-01@ - " + big).c_str()), Date(1980, 1, 1));
}

TEST(QueryTypes, RefusedCombinations) {
  const char* refused[] = {
      "-'a'",      "-@@",    "-(1 = 1)",  "'a' * 2",       "2 / 'a'",       "@@ % 2", "1 + @@",
      "'a' + 'b'", "1 - @@", "'a' - 1",   "1 & 1",         "'a' | 'b'",     "1 : 1",  "@@ !: @@",
      "1 = 'a'",   "@@ < 1", "'a' >= @@", "(1=1) = (1=1)", "(1=1) < (1=2)", "@@ * 2",
  };
  for (const char* text : refused) {
    const Checked c = CheckExpr(-1, text);
    EXPECT_EQ(c.ok, 0) << text;
    EXPECT_EQ(c.error, 21017) << text;
  }
  // The condition form of the same refusals still reports 21017, not 21020.
  EXPECT_EQ(CheckExpr(0, "1 = 'a'").error, 21017);
}

TEST(QueryTypes, AcceptedCombinations) {
  EXPECT_TRUE(Truth("1 = 1 & 'a' = 'a' | @@ = @@"));
  EXPECT_TRUE(Truth("@00-01-02@ > @00-01-01@"));
  EXPECT_TRUE(Truth("@00-01-02@ != @@"));
  EXPECT_EQ(CheckExpr(12, "@00-01-01@ + 1").ok, 1);
  EXPECT_EQ(CheckExpr(12, "@00-01-01@ - 1").ok, 1);
  EXPECT_EQ(CheckExpr(10, "@00-01-01@ - @99-12-31@").ok, 1);
}

TEST(QueryStrings, ComparisonRunsOverTheRightOperand) {
  EXPECT_TRUE(Truth("'AB?' = 'ABC'"));
  EXPECT_TRUE(Truth("'ABC' = 'AB'"));
  EXPECT_FALSE(Truth("'AB' = 'ABC'"));
  EXPECT_TRUE(Truth("'AB' < 'ABC'"));  // the missing C compares as NUL
  EXPECT_TRUE(Truth("'ABC' = 'A?C'"));
  EXPECT_TRUE(Truth("'AB' = 'AB?'"));  // '?' matches past the end too
  EXPECT_TRUE(Truth("'' = ''"));
  EXPECT_TRUE(Truth("'A' > ''"));
  EXPECT_TRUE(Truth("'' = 'A?' | '' < 'A'"));
  EXPECT_TRUE(Truth("'b' > 'a'"));
  EXPECT_TRUE(Truth("'\xB0\xA1' > 'z'"));  // unsigned byte order
  EXPECT_TRUE(Truth("'abc' != 'abd'"));
}

TEST(QueryStrings, ContainsMatchesAtCharacterBoundaries) {
  EXPECT_TRUE(Truth("'EXCAVATE' : 'CAV'"));
  EXPECT_FALSE(Truth("'EXCAVATE' : 'cav'"));
  EXPECT_TRUE(Truth("'EXCAVATE' !: 'cav'"));
  EXPECT_TRUE(Truth("'abc' : ''"));
  EXPECT_TRUE(Truth("'' : ''"));
  EXPECT_FALSE(Truth("'' : 'a'"));
  EXPECT_FALSE(Truth("'ab' : 'abc'"));
  // "가" is B0 A1, "기" is B1 E2: the bytes A1 B1 straddle two characters.
  EXPECT_FALSE(Truth("'\xB0\xA1\xB1\xE2' : '\xA1\xB1'"));
  EXPECT_TRUE(Truth("'\xB0\xA1\xB1\xE2' : '\xB1\xE2'"));
  // Trail bytes in the ASCII range are not characters of their own.
  EXPECT_FALSE(Truth("'\x81\x41' : 'A'"));
  EXPECT_TRUE(Truth("'\x81\x41' !: 'A'"));
  EXPECT_TRUE(Truth("'x\x81\x41' : '\x81\x41'"));
}

class QueryDates : public ::testing::Test {
 protected:
  void SetUp() override {
    xSetDateForm(0);
    xSetDateDelimiter('-');
    xSetCalNo(0);
  }
  void TearDown() override {
    xSetCalNo(0);
    xSetWorkBuf(0, nullptr, 0);
  }
  uint16_t days_[5] = {Date(2000, 1, 3), Date(2000, 1, 4), Date(2000, 1, 5), Date(2000, 1, 7),
                       Date(2000, 1, 10)};
};

TEST_F(QueryDates, DifferenceCountsCalendarDaysWithoutACalendar) {
  EXPECT_EQ(Number("@00-01-10@ - @00-01-03@"), 7);
  EXPECT_EQ(Number("@00-01-03@ - @00-01-10@"), -7);
}

TEST_F(QueryDates, DifferenceCountsWorkingDaysUnderTheSelectedCalendar) {
  xSetWorkBuf(0, days_, 5);
  xSetCalNo(1);
  EXPECT_EQ(Number("@00-01-10@ - @00-01-03@"), 4);
  xSetCalNo(0);
  EXPECT_EQ(Number("@00-01-10@ - @00-01-03@"), 7);
}

TEST_F(QueryDates, AddingWorkingDays) {
  xSetWorkBuf(0, days_, 5);
  xSetCalNo(1);
  EXPECT_EQ(DateResult("@00-01-04@ + 2"), Date(2000, 1, 7));
  EXPECT_EQ(DateResult("@00-01-04@ + 2.9"), Date(2000, 1, 7));  // truncated
  EXPECT_EQ(DateResult("@00-01-07@ - 2"), Date(2000, 1, 4));
  EXPECT_EQ(DateResult("@00-01-07@ - -1.5"), Date(2000, 1, 10));
  xSetCalNo(0);
  EXPECT_EQ(DateResult("@00-01-04@ + 2"), Date(2000, 1, 6));
  EXPECT_EQ(DateResult("@00-02-28@ + 1"), Date(2000, 2, 29));
}

TEST_F(QueryDates, NoDateStaysNoDate) {
  EXPECT_EQ(DateResult("@@ + 5"), 0);
  EXPECT_EQ(DateResult("@@ - 5"), 0);
  EXPECT_EQ(Number("@00-01-10@ - @@"), 0);
  EXPECT_EQ(Number("@@ - @00-01-10@"), 0);
  EXPECT_TRUE(Truth("@@ < @80-01-01@"));
}

TEST_F(QueryDates, ConstantsFollowTheDateSettings) {
  xSetDateForm(1);
  EXPECT_EQ(DateResult("@2000-01-10@"), Date(2000, 1, 10));
  EXPECT_EQ(CheckExpr(12, "@00-01-10@").error, 21015);
  xSetDateDelimiter('/');
  EXPECT_EQ(DateResult("@2000/01/10@"), Date(2000, 1, 10));
  xSetDateDelimiter('-');
}

}  // namespace

// Date settings, the DateInfo record and dates as text in every form.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "xJorDbm2.h"
#include "xjor/packed_date.h"

namespace {

constexpr auto D = xjor::packDate;

// Restores the default settings around each test.
class DateTextTest : public ::testing::Test {
 protected:
  void SetUp() override { Defaults(); }
  void TearDown() override { Defaults(); }
  static void Defaults() {
    xSetDateForm(0);
    xSetDateDelimiter('-');
    xSetOrdinalTime(0);
    xSetOrdinalBase(0);
    xSetStartDayOfMW(1, 1);
    xSetCalNo(0);
  }
  static std::string Text(uint16_t d) {
    char buf[XJOR_DATE_TEXT_MAX];
    int32_t n = xTimeToStr(buf, d);
    EXPECT_EQ(n, static_cast<int32_t>(strlen(buf)));
    return buf;
  }
  // Parses text from a heap block of exactly its size, so that the sanitizer
  // build catches any read past the terminating NUL.
  static uint16_t Parse(const std::string& text) {
    auto exact = std::make_unique<char[]>(text.size() + 1);
    memcpy(exact.get(), text.c_str(), text.size() + 1);
    return xStrToTime(exact.get());
  }
};

TEST_F(DateTextTest, FormsPrintTheirPartsInOrder) {
  const uint16_t d = D(2000, 3, 7);
  const char* expected[8] = {"00-03-07", "2000-03-07", "03-07-00",  "03-07-2000",
                             "07-03-00", "07-03-2000", "07-MAR-00", "07-MAR-2000"};
  const char* plain[8] = {"000307", "20000307", "030700",  "03072000",
                          "070300", "07032000", "07MAR00", "07MAR2000"};
  for (int form = 0; form < 8; ++form) {
    xSetDateForm(form);
    xSetDateDelimiter('-');
    EXPECT_EQ(Text(d), expected[form]) << form;
    xSetDateDelimiter(0);
    EXPECT_EQ(Text(d), plain[form]) << form;
  }
  xSetDateForm(0);
  xSetDateDelimiter('/');
  EXPECT_EQ(Text(D(1980, 1, 1)), "80/01/01");
  EXPECT_EQ(Text(D(2107, 12, 31)), "07/12/31");
  EXPECT_EQ(Text(0), "");
}

TEST_F(DateTextTest, TwoDigitYearsSplitAtEighty) {
  EXPECT_EQ(Parse("00-02-29"), D(2000, 2, 29));
  EXPECT_EQ(Parse("01-02-29"), 0);
  EXPECT_EQ(Parse("79-12-31"), D(2079, 12, 31));
  EXPECT_EQ(Parse("80-01-01"), D(1980, 1, 1));
  EXPECT_EQ(Parse("99-12-31"), D(1999, 12, 31));
  xSetDateForm(1);
  EXPECT_EQ(Parse("1979-12-31"), 0);
  EXPECT_EQ(Parse("2080-01-01"), 0);
  EXPECT_EQ(Parse("2079-12-31"), D(2079, 12, 31));
}

TEST_F(DateTextTest, MonthNamesMatchInAnyCase) {
  xSetDateForm(6);
  xSetDateDelimiter(0);
  EXPECT_EQ(Parse("07MAR00"), D(2000, 3, 7));
  EXPECT_EQ(Parse("07mar00"), D(2000, 3, 7));
  EXPECT_EQ(Parse("07mAr00"), D(2000, 3, 7));
  EXPECT_EQ(Parse("07MAX00"), 0);
  EXPECT_EQ(Parse("070300"), 0);
  xSetDateDelimiter('-');
  EXPECT_EQ(Parse("7-dec-99"), D(1999, 12, 7));
  EXPECT_EQ(Parse("07-MA-00"), 0);
  char buf[4];
  xGetMonStr(buf, 9);
  EXPECT_STREQ(buf, "SEP");
  xGetMonStr(buf, 13);
  EXPECT_STREQ(buf, "???");
}

TEST_F(DateTextTest, PartsAreShortOrFixedWidth) {
  EXPECT_EQ(Parse("0-3-7"), D(2000, 3, 7));
  EXPECT_EQ(Parse("0000-03-07"), D(2000, 3, 7));
  EXPECT_EQ(Parse("00000-03-07"), 0);  // part 1 longer than four
  EXPECT_EQ(Parse("00-0003-07"), 0);   // part 2 longer than three
  EXPECT_EQ(Parse("00-03"), 0);        // no second delimiter
  EXPECT_EQ(Parse("00-03-07abc"), D(2000, 3, 7));
  xSetDateDelimiter(0);
  EXPECT_EQ(Parse("0003"), 0);  // ends before part 3
  EXPECT_EQ(Parse("000"), 0);
  EXPECT_EQ(Parse("000307"), D(2000, 3, 7));
  xSetDateForm(1);
  EXPECT_EQ(Parse("20000307"), D(2000, 3, 7));
  xSetDateForm(3);
  EXPECT_EQ(Parse("03072000"), D(2000, 3, 7));
}

TEST_F(DateTextTest, ApartWithoutDigitsIsNotADate) {
  xSetDateForm(4);
  EXPECT_EQ(Parse("07-03-"), 0);
  EXPECT_EQ(Parse("07-03-xx"), 0);
  EXPECT_EQ(Parse("-03-00"), 0);
  xSetDateDelimiter(0);
  EXPECT_EQ(Parse("0703  "), 0);
}

TEST_F(DateTextTest, NonsenseTextGivesNoDate) {
  const std::string cases[] = {"",
                               "-",
                               "--",
                               "-----",
                               std::string(40, '9'),
                               std::string(40, '0'),
                               "\xb3\xaf\xc2\xa5-\xff\xfe-\x80",
                               "\xff\xff\xff\xff\xff\xff\xff\xff",
                               "00-13-01",
                               "00-00-01",
                               "00-01-00",
                               "00-01-32"};
  for (int form = 0; form < 8; ++form) {
    xSetDateForm(form);
    for (char delimiter : {'-', '\0'}) {
      xSetDateDelimiter(delimiter);
      for (const std::string& text : cases)
        EXPECT_EQ(Parse(text), 0) << form << " [" << text << "]";
    }
  }
  EXPECT_EQ(xStrToTime(nullptr), 0);
}

// Every day 1980-2079 survives text and back in all sixteen layouts.
TEST_F(DateTextTest, EveryTypableDayRoundTripsInEveryForm) {
  for (int form = 0; form < 8; ++form) {
    xSetDateForm(form);
    for (char delimiter : {'-', '\0', '.'}) {
      xSetDateDelimiter(delimiter);
      for (int32_t n = 0, last = xGetTimeOffset(D(2079, 12, 31)); n <= last; ++n) {
        uint16_t d = xGetTimeFromOffset(n);
        char buf[XJOR_DATE_TEXT_MAX];
        xTimeToStr(buf, d);
        ASSERT_EQ(xStrToTime(buf), d) << form << " " << buf;
      }
    }
  }
}

TEST_F(DateTextTest, OrdinalModeCountsCalendarDaysFromTheBase) {
  uint16_t work[2] = {D(2000, 1, 3), D(2000, 1, 10)};
  xSetWorkBuf(0, work, 2);
  xSetCalNo(1);  // ordinal text ignores the selected calendar
  xSetOrdinalTime(1);
  xSetOrdinalBase(D(2000, 1, 1));
  EXPECT_EQ(Text(D(2000, 1, 1)), "1");
  EXPECT_EQ(Text(D(2000, 1, 3)), "3");
  EXPECT_EQ(Text(D(1999, 12, 31)), "-1");
  EXPECT_EQ(Text(0), "");
  EXPECT_EQ(Parse("0"), 0);
  EXPECT_EQ(Parse("abc"), 0);
  EXPECT_EQ(Parse("3"), D(2000, 1, 3));
  EXPECT_EQ(Parse("-1"), D(1999, 12, 31));
  EXPECT_EQ(Parse("+10"), D(2000, 1, 10));
  EXPECT_EQ(Parse(std::string(40, '9')), 0);
  EXPECT_EQ(Parse("-999999"), 0);
  EXPECT_EQ(xGetCalNo(), 1);
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 10)), xGetTimeOffset(D(2000, 1, 3)) + 1);
  // Today's text is never ordinal.
  char today[XJOR_DATE_TEXT_MAX];
  xGetTodayStr(today);
  EXPECT_EQ(xIsOrdinalTime(), 1);
  xSetOrdinalTime(0);
  EXPECT_STREQ(today, Text(xGetToday()).c_str());
  xSetWorkBuf(0, nullptr, 0);
}

TEST_F(DateTextTest, OrdinalBaseZeroIsTheFirstDay) {
  xSetOrdinalTime(1);
  EXPECT_EQ(Text(D(1980, 1, 1)), "1");
  EXPECT_EQ(Parse("1"), D(1980, 1, 1));
  EXPECT_EQ(Parse("-1"), 0);
}

TEST_F(DateTextTest, DateInfoIsTwelveStoredBytes) {
  xSetDateForm(7);
  xSetOrdinalTime(1);
  xSetOrdinalBase(0x2867);
  xSetStartDayOfMW(21, 2);
  xSetDateDelimiter('/');
  DateInfo info;
  memset(&info, 0xAA, sizeof info);
  EXPECT_EQ(xGetDateInfo(&info), &info);
  const uint8_t expected[12] = {7, 0, 1, 0, 0x67, 0x28, 21, 0, 2, 0, '/', 0};
  EXPECT_EQ(memcmp(&info, expected, 12), 0);

  Defaults();
  EXPECT_EQ(xSetDateInfo(&info), &info);
  EXPECT_EQ(xGetDateForm(), 7);
  EXPECT_EQ(xIsOrdinalTime(), 1);
  EXPECT_EQ(xGetOrdinalBase(), 0x2867);
  EXPECT_EQ(xGetStartDayOfM(), 21);
  EXPECT_EQ(xGetStartDayOfW(), 2);
  EXPECT_EQ(xGetDateDelimiter(), '/');

  // A damaged form from a stored record falls back to form 0.
  info.form = 9;
  xSetDateInfo(&info);
  EXPECT_EQ(xGetDateForm(), 0);
  EXPECT_EQ(xSetDateForm(-3), 0);
}

TEST_F(DateTextTest, TimeTextIsHoursMinutesSeconds) {
  char buf[XJOR_DATE_TEXT_MAX];
  ASSERT_EQ(xGetTimeStr(buf), 8);
  for (int i : {0, 1, 3, 4, 6, 7}) EXPECT_TRUE(buf[i] >= '0' && buf[i] <= '9') << buf;
  EXPECT_EQ(buf[2], ':');
  EXPECT_EQ(buf[5], ':');
}

}  // namespace

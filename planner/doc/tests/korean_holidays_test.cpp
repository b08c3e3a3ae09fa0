// The Korean public holiday table against the dates the government
// published: the Korea Astronomy and Space Science Institute's yearly
// almanac data ("월력요항") and the holiday regulation ("관공서의 공휴일에
// 관한 규정") with its substitute-holiday articles. One-off holidays of those
// years (election days, 2024-10-01, 2025-01-27) are not part of the table.
#include "kelvo/korean_holidays.h"

#include <gtest/gtest.h>

#include <string>

#include "xjor/packed_date.h"

namespace kelvo {
namespace {

std::string text(const std::vector<uint16_t>& days) {
  std::string s;
  for (uint16_t d : days) {
    s += std::to_string(xjor::packedMonth(d)) + "/" + std::to_string(xjor::packedDay(d)) + " ";
  }
  return s;
}

TEST(KoreanHolidays, PublishedDates2024To2030) {
  const struct {
    int year;
    const char* days;
  } published[] = {
      {2024, "1/1 2/9 2/10 2/11 2/12 3/1 5/5 5/6 5/15 6/6 8/15 9/16 9/17 9/18 10/3 10/9 12/25 "},
      {2025, "1/1 1/28 1/29 1/30 3/1 3/3 5/5 5/6 6/6 8/15 10/3 10/5 10/6 10/7 10/8 10/9 12/25 "},
      {2026,
       "1/1 2/16 2/17 2/18 3/1 3/2 5/5 5/24 5/25 6/6 7/17 8/15 8/17 9/24 9/25 9/26 10/3 10/5 10/9 "
       "12/25 "},
      {2027,
       "1/1 2/6 2/7 2/8 2/9 3/1 5/5 5/13 6/6 7/17 7/19 8/15 8/16 9/14 9/15 9/16 10/3 10/4 10/9 "
       "10/11 12/25 12/27 "},
      {2028, "1/1 1/26 1/27 1/28 3/1 5/2 5/5 6/6 7/17 8/15 10/2 10/3 10/4 10/5 10/9 12/25 "},
      {2029,
       "1/1 2/12 2/13 2/14 3/1 5/5 5/7 5/20 5/21 6/6 7/17 8/15 9/21 9/22 9/23 9/24 10/3 10/9 "
       "12/25 "},
      {2030, "1/1 2/2 2/3 2/4 2/5 3/1 5/5 5/6 5/9 6/6 7/17 8/15 9/11 9/12 9/13 10/3 10/9 12/25 "},
  };
  for (const auto& y : published) {
    EXPECT_EQ(text(koreanPublicHolidays(y.year)), y.days) << y.year;
  }
}

TEST(KoreanHolidays, EarlierRulesAndLimits) {
  // 1995: two New Year days, Arbor Day, three days of Seollal and Chuseok,
  // no Hangul Day, no substitutes; 2014: the first substitute (Chuseok on a
  // Sunday, 10 September).
  EXPECT_EQ(text(koreanPublicHolidays(1995)),
            "1/1 1/2 1/30 1/31 2/1 3/1 4/5 5/5 5/7 6/6 7/17 8/15 9/8 9/9 9/10 10/3 12/25 ");
  EXPECT_EQ(text(koreanPublicHolidays(2014)),
            "1/1 1/30 1/31 2/1 3/1 5/5 5/6 6/6 8/15 9/7 9/8 9/9 9/10 10/3 10/9 12/25 ");
  EXPECT_TRUE(koreanPublicHolidays(1979).empty());
  EXPECT_TRUE(koreanPublicHolidays(2108).empty());
  EXPECT_FALSE(koreanPublicHolidays(2107).empty());
}

}  // namespace
}  // namespace kelvo

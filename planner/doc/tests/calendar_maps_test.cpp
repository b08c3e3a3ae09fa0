// Day maps of the eight calendars: read from and written back to the
// engine's lists, clicks with their repeats, range changes and copies.
#include "kelvo/calendar_maps.h"

#include <gtest/gtest.h>

#include "xQdDb100.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

constexpr uint16_t D(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

class CalendarMapsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int s = 0; s < kCalendarCount; ++s) xFreeWork(s);
    xSetCalNo(0);
  }
  static void installList(int slot, const std::vector<uint16_t>& days) {
    uint16_t* a = xSetWork(slot, static_cast<int32_t>(days.size()));
    std::copy(days.begin(), days.end(), a);
  }
  static std::vector<uint16_t> engineList(int slot) {
    const uint16_t* p = xGetWork(slot);
    return p ? std::vector<uint16_t>(p, p + xGetWorkCount(slot)) : std::vector<uint16_t>{};
  }
  // Offset of a day on calendar `number`, as the analysis would count it.
  static int32_t offset(int number, uint16_t day) {
    xSetCalNo(number);
    const int32_t o = xGetTimeOffset(day);
    xSetCalNo(0);
    return o;
  }
};

TEST_F(CalendarMapsTest, LoadShowsDaysOutsideTheListAsWorking) {
  // Calendar 1 lists 3, 5 and 8 January 2024 only: the 4th, 6th and 7th are
  // holidays; days before the 3rd and after the 8th count as calendar days.
  installList(0, {D(2024, 1, 3), D(2024, 1, 5), D(2024, 1, 8)});
  CalendarMaps maps;
  ASSERT_TRUE(maps.load(D(2024, 1, 1), D(2024, 1, 31)));
  std::string shown;
  for (int d = 1; d <= 10; ++d) shown += maps.isOff(1, D(2024, 1, d)) ? 'x' : '.';
  EXPECT_EQ(shown, "...x.xx...");
  EXPECT_FALSE(maps.isOff(2, D(2024, 1, 4)));  // an empty list works every day
  EXPECT_FALSE(maps.load(D(2024, 1, 31), D(2024, 1, 1)));
  EXPECT_FALSE(maps.load(D(2024, 2, 30), D(2024, 3, 1)));
  // Thirty years are cut to a span of 7,304 days.
  ASSERT_TRUE(maps.load(D(2000, 1, 1), D(2029, 12, 31)));
  EXPECT_EQ(maps.days(), kLongestCalendarSpan + 1);
  EXPECT_EQ(xjor::dayNumber(maps.to()) - xjor::dayNumber(maps.from()), kLongestCalendarSpan);
}

TEST_F(CalendarMapsTest, ClickRepeats) {
  CalendarMaps maps;
  ASSERT_TRUE(maps.load(D(2024, 1, 1), D(2026, 12, 31)));
  // Every Saturday in one click, and back again with a second.
  CalendarRepeats weekly;
  weekly.weekly = true;
  maps.toggle(3, D(2025, 6, 7), weekly);
  int saturdays = 0, others = 0;
  for (int32_t n = xjor::dayNumber(maps.from()); n <= xjor::dayNumber(maps.to()); ++n) {
    const uint16_t d = xjor::dateFromDayNumber(n);
    (xGetDayOfWeek(d) == 6 ? saturdays : others) += maps.isOff(3, d);
  }
  EXPECT_EQ(saturdays, 156);
  EXPECT_EQ(others, 0);
  maps.toggle(3, D(2024, 3, 2), weekly);
  EXPECT_FALSE(maps.isOff(3, D(2025, 6, 7)));
  EXPECT_FALSE(maps.isOff(3, D(2026, 12, 26)));
  // Yearly skips years without 29 February; monthly skips short months.
  CalendarRepeats yearly;
  yearly.yearly = true;
  maps.toggle(4, D(2024, 2, 29), yearly);
  EXPECT_TRUE(maps.isOff(4, D(2024, 2, 29)));
  EXPECT_FALSE(maps.isOff(4, D(2025, 2, 28)));
  EXPECT_FALSE(maps.isOff(4, D(2025, 3, 1)));
  CalendarRepeats monthly;
  monthly.monthly = true;
  maps.toggle(5, D(2024, 1, 31), monthly);
  EXPECT_TRUE(maps.isOff(5, D(2026, 12, 31)));
  EXPECT_FALSE(maps.isOff(5, D(2024, 5, 1)));
  // The shown month whole, and a click outside the range does nothing.
  CalendarRepeats month;
  month.shownMonth = true;
  maps.toggle(6, D(2025, 2, 10), month);
  EXPECT_TRUE(maps.isOff(6, D(2025, 2, 1)) && maps.isOff(6, D(2025, 2, 28)));
  EXPECT_FALSE(maps.isOff(6, D(2025, 3, 1)) || maps.isOff(6, D(2025, 1, 31)));
  maps.toggle(7, D(2027, 1, 4), month);
  EXPECT_FALSE(maps.isOff(7, D(2026, 12, 31)));
}

TEST_F(CalendarMapsTest, RangeChangeKeepsStatesAndNewDaysFollowTheOldList) {
  installList(1, {D(2024, 1, 2), D(2024, 1, 9), D(2024, 3, 1)});
  CalendarMaps maps;
  ASSERT_TRUE(maps.load(D(2024, 1, 5), D(2024, 1, 31)));
  maps.setOff(2, D(2024, 1, 9), true);
  ASSERT_TRUE(maps.setRange(D(2024, 1, 1), D(2024, 2, 10)));
  EXPECT_TRUE(maps.isOff(2, D(2024, 1, 9)));   // kept
  EXPECT_TRUE(maps.isOff(2, D(2024, 1, 3)));   // from the old list
  EXPECT_FALSE(maps.isOff(2, D(2024, 1, 2)));  // listed
  EXPECT_FALSE(maps.isOff(2, D(2024, 1, 1)));  // before the list
  EXPECT_FALSE(maps.setRange(D(2024, 2, 1), D(2024, 1, 1)));
  EXPECT_EQ(maps.from(), D(2024, 1, 1));
  maps.copy(5, 2);
  EXPECT_TRUE(maps.isOff(5, D(2024, 1, 9)));
}

TEST_F(CalendarMapsTest, InstallWritesListsTheEngineCountsAsTheMapSays) {
  CalendarMaps maps;
  // 7 January 2024 is a Sunday: the range starts on a holiday.
  ASSERT_TRUE(maps.load(D(2024, 1, 7), D(2024, 2, 3)));
  CalendarRepeats weekly;
  weekly.weekly = true;
  maps.toggle(1, D(2024, 1, 7), weekly);   // Sundays
  maps.toggle(1, D(2024, 1, 13), weekly);  // Saturdays, the last day too
  maps.toggle(2, D(2024, 1, 10), {});      // one day twice: all working again
  maps.toggle(2, D(2024, 1, 10), {});
  ASSERT_EQ(maps.install(), CalendarMaps::InstallResult::Installed);
  const std::vector<uint16_t> list = engineList(0);
  ASSERT_EQ(list.size(), 22u);  // 20 weekdays and the two days around the range
  EXPECT_EQ(list.front(), D(2024, 1, 6));
  EXPECT_EQ(list[1], D(2024, 1, 8));
  EXPECT_EQ(list.back(), D(2024, 2, 4));
  EXPECT_TRUE(engineList(1).empty());
  // Five working days from Friday 12 January end on Thursday 18 January.
  EXPECT_EQ(offset(1, D(2024, 1, 19)) - offset(1, D(2024, 1, 12)), 5);
  EXPECT_EQ(offset(1, D(2024, 1, 13)), offset(1, D(2024, 1, 15)));
  // Reading the installed lists back gives the same maps.
  CalendarMaps again;
  ASSERT_TRUE(again.load(maps.from(), maps.to()));
  for (int32_t n = xjor::dayNumber(maps.from()); n <= xjor::dayNumber(maps.to()); ++n)
    EXPECT_EQ(again.isOff(1, xjor::dateFromDayNumber(n)),
              maps.isOff(1, xjor::dateFromDayNumber(n)));
}

TEST_F(CalendarMapsTest, CalendarWithoutWorkingDayIsRefusedAndEngineKept) {
  installList(0, {D(2024, 1, 2), D(2024, 1, 4)});
  CalendarMaps maps;
  ASSERT_TRUE(maps.load(D(2024, 1, 1), D(2024, 1, 31)));
  CalendarRepeats month;
  month.shownMonth = true;
  maps.toggle(4, D(2024, 1, 1), month);
  EXPECT_EQ(maps.calendarWithoutWorkingDay(), 4);
  EXPECT_EQ(maps.install(), CalendarMaps::InstallResult::NoWorkingDay);
  EXPECT_EQ(engineList(0).size(), 2u);
  // No extension day before 1980-01-01.
  ASSERT_TRUE(maps.load(D(1980, 1, 1), D(1980, 2, 1)));
  maps.toggle(1, D(1980, 1, 1), {});
  EXPECT_EQ(maps.listOf(1).front(), D(1980, 1, 2));
}

TEST_F(CalendarMapsTest, ProposedRange) {
  PrjInfo info{};
  info.start = D(2024, 3, 1);
  info.finish = D(2025, 6, 30);
  CalendarRange r = proposedCalendarRange(info, D(2030, 1, 1));
  EXPECT_EQ(r.from, D(2023, 3, 2));  // 2024 is a leap year
  EXPECT_EQ(r.to, D(2028, 6, 29));
  info = {};
  info.dataDate = D(1980, 6, 1);
  r = proposedCalendarRange(info, D(2030, 1, 1));
  EXPECT_EQ(r.from, D(1980, 1, 1));  // clamped
  EXPECT_EQ(r.to, D(1983, 6, 1));
  info = {};
  r = proposedCalendarRange(info, D(2079, 1, 1));
  EXPECT_EQ(r.to, D(2079, 12, 31));
}

}  // namespace
}  // namespace kelvo

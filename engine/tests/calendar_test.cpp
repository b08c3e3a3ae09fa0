// Packed dates, day numbers and working-time offsets on the eight calendars.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "xJorDbm2.h"
#include "xjor/packed_date.h"

namespace {

constexpr auto D = xjor::packDate;

// Leaves every calendar empty and none selected, before and after each test.
class CalendarTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    for (int s = 0; s < 8; ++s) {
      xSetWorkBuf(s, nullptr, 0);
      xFreeWork(s);
    }
    xSetCalNo(0);
  }
  // Installs dates as an engine-owned calendar in slot and selects it.
  static void Install(int slot, const std::vector<uint16_t>& dates) {
    uint16_t* w = xSetWork(slot, static_cast<int32_t>(dates.size()));
    ASSERT_NE(w, nullptr);
    std::copy(dates.begin(), dates.end(), w);
    xSetCalNo(slot + 1);
  }
};

TEST_F(CalendarTest, DayNumbersAndDayOfWeek) {
  EXPECT_EQ(xGetTimeOffset(D(1980, 1, 1)), 0);
  EXPECT_EQ(xGetTimeOffset(D(1980, 12, 31)), 365);
  EXPECT_EQ(xGetTimeOffset(D(1981, 1, 1)), 366);
  EXPECT_EQ(xGetTimeOffset(D(2000, 3, 1)), 7365);
  EXPECT_EQ(xGetTimeOffset(0), 0);
  EXPECT_EQ(xGetDayOfWeek(D(2000, 1, 1)), 6);
  EXPECT_EQ(xGetDayOfWeek(D(1980, 1, 1)), 2);
  EXPECT_EQ(xGetDayOfWeek(D(2026, 12, 7)), 1);
}

TEST_F(CalendarTest, EveryDayRoundTripsThroughItsDayNumber) {
  int32_t n = 0;
  int weekday = 2;
  for (int y = 1980; y <= 2103; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= xGetEndDay(D(y, m, 1)); ++d, ++n, weekday = (weekday + 1) % 7) {
        uint16_t date = D(y, m, d);
        ASSERT_EQ(xGetTimeOffset(date), n) << y << "-" << m << "-" << d;
        ASSERT_EQ(xGetTimeFromOffset(n), date) << n;
        ASSERT_EQ(xGetDayOfWeek(date), weekday);
        ASSERT_EQ(xIsValidT(date), 1);
      }
    }
  }
}

TEST_F(CalendarTest, ValidityAndMonthLengthsFollowTheFourYearRule) {
  EXPECT_EQ(xGetEndDay(D(2100, 2, 10)), 29);
  EXPECT_EQ(xGetEndDay(D(2000, 2, 1)), 29);
  EXPECT_EQ(xGetEndDay(D(2001, 2, 1)), 28);
  EXPECT_EQ(xGetEndDay(D(2001, 4, 1)), 30);
  EXPECT_EQ(xIsValidT(D(2100, 2, 29)), 1);
  EXPECT_EQ(xIsValidT(D(2001, 2, 29)), 0);
  EXPECT_EQ(xIsValidT(D(2001, 4, 31)), 0);
  EXPECT_EQ(xIsValidT(D(2001, 1, 0)), 0);
  EXPECT_EQ(xIsValidT(0), 0);
  // Months 0 and 13-15 are never valid and have no length.
  for (int m : {0, 13, 14, 15}) {
    EXPECT_EQ(xIsValidT(D(2001, m, 5)), 0);
    EXPECT_EQ(xGetEndDay(D(2001, m, 5)), 0);
  }
}

TEST_F(CalendarTest, OffsetsOutsideThePackableRangeAreClamped) {
  EXPECT_EQ(xGetTimeFromOffset(-1), D(1980, 1, 1));
  EXPECT_EQ(xGetTimeFromOffset(INT32_MIN), D(1980, 1, 1));
  EXPECT_EQ(xGetTimeFromOffset(INT32_MAX), D(2107, 12, 31));
  EXPECT_EQ(xGetTimeFromOffset(xGetTimeOffset(D(2107, 12, 31))), D(2107, 12, 31));
  // Invalid packed dates still give a defined offset.
  for (uint32_t v = 1; v <= 0xFFFF; ++v) (void)xGetTimeOffset(static_cast<uint16_t>(v));
}

TEST_F(CalendarTest, WorkingDayOffsetsInsideBeforeAndAfterTheCalendar) {
  Install(2, {D(2000, 1, 3), D(2000, 1, 4), D(2000, 1, 5), D(2000, 1, 7)});
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 3)), 7307);
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 5)), 7309);
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 6)), 7310);
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 7)), 7310);
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 10)), 7313);
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 1)), 7305);
  EXPECT_EQ(xGetTimeFromOffset(7310), D(2000, 1, 7));
  EXPECT_EQ(xGetTimeFromOffset(7311), D(2000, 1, 8));
  EXPECT_EQ(xGetTimeFromOffset(7300), D(1999, 12, 27));
  EXPECT_EQ(xGetTimeFromOffset(7307), D(2000, 1, 3));
}

TEST_F(CalendarTest, SelectionOutsideOneToEightOrOfAnEmptySlotCountsCalendarDays) {
  Install(0, {D(2000, 1, 3), D(2000, 1, 10)});
  EXPECT_EQ(xGetTimeOffset(D(2000, 1, 10)), 7308);
  for (int calNo : {0, 9, -1, 2}) {
    EXPECT_EQ(xSetCalNo(calNo), calNo);
    EXPECT_EQ(xGetTimeOffset(D(2000, 1, 10)), 7314) << calNo;
    EXPECT_EQ(xGetTimeFromOffset(7308), D(2000, 1, 4)) << calNo;
  }
  EXPECT_EQ(xGetCalNo(), 2);
}

// Random working days over twenty years: every working day maps to its index
// and back; every other day inside the range maps to the next working day.
TEST_F(CalendarTest, RandomCalendarsRoundTripEveryDay) {
  std::mt19937 rng(20261207);
  const uint16_t first = D(1995, 6, 1), last = D(2015, 5, 31);
  for (int round = 0; round < 8; ++round) {
    xSetCalNo(0);
    const int32_t firstN = xGetTimeOffset(first), lastN = xGetTimeOffset(last);
    double share = 0.1 + 0.1 * round;
    std::vector<uint16_t> work;
    for (int32_t n = firstN; n <= lastN; ++n)
      if (std::bernoulli_distribution(share)(rng)) work.push_back(xGetTimeFromOffset(n));
    ASSERT_GT(work.size(), 2u);
    const int32_t dayOfFirst = xGetTimeOffset(work.front());
    const int32_t dayOfLast = xGetTimeOffset(work.back());
    Install(round, work);
    const int32_t base = dayOfFirst;
    ASSERT_EQ(xGetTimeOffset(work.front()), base);
    size_t next = 0;
    for (int32_t n = firstN; n <= lastN; ++n) {
      xSetCalNo(0);
      uint16_t d = xGetTimeFromOffset(n);
      xSetCalNo(round + 1);
      int32_t off = xGetTimeOffset(d);
      if (n < dayOfFirst) {
        ASSERT_EQ(off, n);
        ASSERT_EQ(xGetTimeFromOffset(off), d);
      } else if (n > dayOfLast) {
        ASSERT_EQ(off, base + static_cast<int32_t>(work.size()) - 1 + (n - dayOfLast));
        ASSERT_EQ(xGetTimeFromOffset(off), d);
      } else {
        while (work[next] < d) ++next;
        ASSERT_EQ(off, base + static_cast<int32_t>(next));
        ASSERT_EQ(xGetTimeFromOffset(off), work[next]);
      }
    }
  }
}

TEST_F(CalendarTest, SlotsOwnedByTheEngineAndByTheCaller) {
  uint16_t* w = xSetWork(3, 2);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(xGetWork(3), w);
  EXPECT_EQ(xGetWorkCount(3), 2);

  // A caller's array replaces the engine's one (which is freed, not leaked)
  // and is never freed by the engine.
  static uint16_t mine[3] = {D(2001, 1, 2), D(2001, 1, 3), D(2001, 1, 5)};
  EXPECT_EQ(xSetWorkBuf(3, mine, 3), 3);
  EXPECT_EQ(xGetWork(3), mine);
  EXPECT_EQ(xGetWorkCount(3), 3);
  xSetCalNo(4);
  EXPECT_EQ(xGetTimeFromOffset(xGetTimeOffset(D(2001, 1, 2)) + 2), D(2001, 1, 5));
  xFreeWork(3);
  EXPECT_EQ(xGetWork(3), nullptr);
  EXPECT_EQ(xGetWorkCount(3), 0);
  EXPECT_EQ(mine[2], D(2001, 1, 5));

  EXPECT_EQ(xSetWorkBuf(3, mine, 3), 3);
  EXPECT_NE(xSetWork(3, 1), nullptr);
  EXPECT_EQ(xSetWorkBuf(3, nullptr, 5), 0);
  EXPECT_EQ(xGetWorkCount(3), 0);

  EXPECT_EQ(xSetWork(3, 0), nullptr);
  EXPECT_EQ(xGetWorkCount(3), 0);
  EXPECT_EQ(xSetWork(3, 70000), nullptr);
  EXPECT_EQ(xGetWorkCount(3), 0);
}

// Callers may refill an installed array at any time; offsets follow at once.
TEST_F(CalendarTest, OffsetsFollowAnArrayChangedInPlace) {
  std::vector<uint16_t> days;
  for (int d = 1; d <= 31; ++d) days.push_back(D(2010, 3, d));
  ASSERT_EQ(xSetWorkBuf(5, days.data(), 31), 31);
  xSetCalNo(6);
  const int32_t base = xGetTimeOffset(D(2010, 3, 1));
  EXPECT_EQ(xGetTimeOffset(D(2010, 3, 20)), base + 19);
  // Every other day: 1, 3, ..., 31.
  for (int i = 1; i < 16; ++i) days[i] = D(2010, 3, 1 + 2 * i);
  for (int i = 16; i < 31; ++i) days[i] = D(2010, 3, 31);
  ASSERT_EQ(xSetWorkBuf(5, days.data(), 16), 16);
  for (int round = 0; round < 100; ++round) {
    for (int d = 2; d <= 31; ++d) {
      ASSERT_EQ(xGetTimeOffset(D(2010, 3, d)), base + d / 2) << d;
    }
  }
  // The same array, changed without being reinstalled.
  for (int i = 0; i < 16; ++i) days[i] = D(2010, 3, 1 + i);
  for (int round = 0; round < 100; ++round) {
    for (int d = 2; d <= 16; ++d) ASSERT_EQ(xGetTimeOffset(D(2010, 3, d)), base + d - 1) << d;
  }
}

TEST_F(CalendarTest, SlotNumbersOutsideZeroToSevenAreRefused) {
  uint16_t dates[1] = {D(2001, 1, 2)};
  for (int slot : {-1, 8, 1000}) {
    EXPECT_EQ(xSetWork(slot, 5), nullptr);
    EXPECT_EQ(xSetWorkBuf(slot, dates, 1), 0);
    EXPECT_EQ(xGetWork(slot), nullptr);
    EXPECT_EQ(xGetWorkCount(slot), 0);
    xFreeWork(slot);
  }
}

}  // namespace

// The analysis on the engine's calendars gives what it gives on working-day
// lists with the same rules, and leaves the caller's calendar selected.
#include "kelvo/engine_calendars.h"

#include <cstring>
#include <random>

#include "schedule_fixture.h"
#include "xjor/calendar.h"

namespace kelvo::testing {
namespace {

class EngineCalendarsTest : public ScheduleTest {
 protected:
  void SetUp() override {
    install(0, ListCalendars::fiveDayWeek(D(1998, 1, 1), D(2005, 12, 31)));
    std::vector<uint16_t> everyDay;
    for (int32_t n = dayNumber(D(1998, 1, 1)); n <= dayNumber(D(2005, 12, 31)); ++n) {
      everyDay.push_back(dateOfDayNumber(n));
    }
    install(1, everyDay);
  }
  void TearDown() override {
    xFreeWork(0);
    xFreeWork(1);
    xSetCalNo(0);
  }
  static void install(int slot, const std::vector<uint16_t>& days) {
    ASSERT_TRUE(installInEngine(slot, days));
  }
};

TEST_F(EngineCalendarsTest, MixedNetworksMatchTheListCalendars) {
  std::mt19937 rng(77);
  for (int round = 0; round < 50; ++round) {
    activities.clear();
    relations.clear();
    const int n = 2 + static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) {
      ScheduleActivity& a = add(("A" + std::to_string(i)).c_str(), static_cast<int16_t>(rng() % 7),
                                static_cast<int16_t>(1 + rng() % 2));
      if (rng() % 6 == 0) {
        a.actualStart = D(1999, 12, 28);
        a.remaining = static_cast<int16_t>(rng() % 4);
      }
      if (rng() % 8 == 0) {
        a.constraintKind = static_cast<int16_t>(1 + rng() % 6);
        a.constraintDate = D(2000, 1, static_cast<int>(3 + rng() % 20));
      }
    }
    for (int k = 0; k < n * 3 / 2; ++k) {
      int32_t a = static_cast<int32_t>(rng() % n), b = static_cast<int32_t>(rng() % n);
      if (a == b) continue;
      if (a > b) std::swap(a, b);
      relations.push_back({a, b, static_cast<int16_t>(rng() % 4),
                           static_cast<int16_t>(static_cast<int>(rng() % 9) - 3)});
    }
    std::vector<ScheduleActivity> onLists = activities;
    const ScheduleOutcome expected =
        runSchedule(onLists, relations, dataDate, n, calendars, nullptr);

    xSetCalNo(2);
    ScheduleOutcome got;
    {
      EngineCalendars engine;
      got = runSchedule(activities, relations, dataDate, n, engine, nullptr);
    }
    EXPECT_EQ(xGetCalNo(), 2);
    ASSERT_EQ(got.result, expected.result) << round;
    EXPECT_EQ(got.projectStart, expected.projectStart) << round;
    EXPECT_EQ(got.projectFinish, expected.projectFinish) << round;
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(activities[i] == onLists[i]) << "round " << round << " activity " << i;
    }
  }
}

}  // namespace
}  // namespace kelvo::testing

// Planned schedule, stage closing and progress from the data date on a
// Monday-to-Friday calendar.
#include "kelvo/progress_stages.h"

#include <gtest/gtest.h>

#include "list_calendars.h"

namespace kelvo::testing {
namespace {

class ProgressDates : public ::testing::Test {
 protected:
  ProgressDates() {
    calendars.set(1, ListCalendars::fiveDayWeek(packDate(1999, 12, 1), packDate(2000, 3, 31)));
  }
  static uint16_t D(int y, int m, int d) { return packDate(y, m, d); }

  // Monday 3 January 2000, three days, five days of float.
  ProgressActivity floating() const {
    ProgressActivity a;
    a.duration = 3;
    a.totalFloat = 5;
    a.start = D(2000, 1, 3);
    a.finish = D(2000, 1, 5);
    return a;
  }

  ListCalendars calendars;
};

TEST_F(ProgressDates, PlannedScheduleAtEarlyAndLateEnds) {
  ProgressActivity early = floating();
  ASSERT_TRUE(setPlannedSchedule(early, 0, true, calendars));
  EXPECT_EQ(early.plannedStart, early.start);
  EXPECT_EQ(early.plannedFinish, early.finish);
  EXPECT_EQ(early.plannedDuration, 3);
  EXPECT_EQ(early.plannedES, D(2000, 1, 3));
  EXPECT_EQ(early.plannedEF, D(2000, 1, 5));
  EXPECT_EQ(early.plannedLF, D(2000, 1, 12));  // finish + 5 working days
  EXPECT_EQ(early.plannedLS, D(2000, 1, 10));

  // At 100 the planned start is the late start of an unconstrained activity.
  ProgressActivity late = floating();
  ASSERT_TRUE(setPlannedSchedule(late, 100, true, calendars));
  EXPECT_EQ(late.plannedStart, D(2000, 1, 10));
  EXPECT_EQ(late.plannedStart, late.plannedLS);
  EXPECT_EQ(late.plannedFinish, late.plannedLF);
  EXPECT_EQ(late.plannedES, D(2000, 1, 3));

  // Whole working days, truncated: 5 x 50 / 100 = 2.
  ProgressActivity half = floating();
  setPlannedSchedule(half, 50, true, calendars);
  EXPECT_EQ(half.plannedStart, D(2000, 1, 5));

  ProgressActivity beyond = floating();
  setPlannedSchedule(beyond, 250, true, calendars);
  EXPECT_EQ(beyond.plannedStart, late.plannedStart);
}

TEST_F(ProgressDates, PlannedScheduleSkipsStartedAndUndatedActivities) {
  ProgressActivity started = floating();
  started.actualStart = D(2000, 1, 3);
  started.plannedStart = D(2000, 1, 4);
  const ProgressActivity before = started;
  EXPECT_FALSE(setPlannedSchedule(started, 0, true, calendars));
  EXPECT_EQ(started.plannedStart, before.plannedStart);
  EXPECT_EQ(started.plannedLF, 0);

  // Without the exclusion, or without a planned start yet, it is planned.
  EXPECT_TRUE(setPlannedSchedule(started, 0, false, calendars));
  EXPECT_EQ(started.plannedStart, D(2000, 1, 3));
  ProgressActivity unplanned = floating();
  unplanned.actualStart = D(2000, 1, 3);
  EXPECT_TRUE(setPlannedSchedule(unplanned, 0, true, calendars));

  ProgressActivity undated;
  undated.duration = 4;
  EXPECT_FALSE(setPlannedSchedule(undated, 50, true, calendars));
  EXPECT_EQ(undated.plannedStart, 0);
}

TEST_F(ProgressDates, FirstStageClosingMovesDataDateToNextWorkingDay) {
  calendars.set(1, ListCalendars::fiveDayWeek(packDate(2023, 1, 1), packDate(2023, 12, 31)));
  StageState state;
  EXPECT_EQ(stageText(state.stage), "계획 단계");
  EXPECT_TRUE(stageNeedsPlannedSchedule(state));

  // 31 March 2023 is a Friday.
  ASSERT_EQ(closeStage(state, D(2023, 3, 1), D(2023, 3, 31), calendars), kStageClosed);
  EXPECT_EQ(state.stage, 1);
  EXPECT_EQ(stageText(state.stage), "진행 1단계");
  EXPECT_EQ(state.periodStart, D(2023, 3, 1));
  EXPECT_EQ(state.periodFinish, D(2023, 3, 31));
  EXPECT_EQ(state.dataDate, D(2023, 4, 3));
  EXPECT_FALSE(stageNeedsPlannedSchedule(state));

  // A period ending on a Saturday: the next working day is the Monday, not
  // the Tuesday.
  ASSERT_EQ(closeStage(state, D(2023, 4, 3), D(2023, 4, 29), calendars), kStageClosed);
  EXPECT_EQ(state.stage, 2);
  EXPECT_EQ(stageText(2), "진행 2단계");
  EXPECT_EQ(state.dataDate, D(2023, 5, 1));
}

TEST_F(ProgressDates, InvalidPeriodChangesNothing) {
  StageState state{3, D(2000, 1, 3), D(2000, 1, 31), D(2000, 2, 1)};
  const StageState before = state;
  const auto same = [&] {
    return state.stage == before.stage && state.periodStart == before.periodStart &&
           state.periodFinish == before.periodFinish && state.dataDate == before.dataDate;
  };
  EXPECT_EQ(closeStage(state, 0, D(2000, 2, 29), calendars), kStageBadStart);
  EXPECT_EQ(closeStage(state, D(2000, 2, 30), D(2000, 3, 1), calendars), kStageBadStart);
  EXPECT_EQ(closeStage(state, D(2000, 2, 1), 0, calendars), kStageBadFinish);
  EXPECT_EQ(closeStage(state, D(2000, 2, 1), D(2000, 13, 1), calendars), kStageBadFinish);
  EXPECT_EQ(closeStage(state, D(2000, 2, 10), D(2000, 2, 9), calendars), kStageBadFinish);
  EXPECT_TRUE(same());
  EXPECT_STREQ(kBadDateMessage, "날짜 형식이 올바르지 않습니다.");
  // One day is a valid period.
  EXPECT_EQ(closeStage(state, D(2000, 2, 1), D(2000, 2, 1), calendars), kStageClosed);
  EXPECT_EQ(state.dataDate, D(2000, 2, 2));
}

TEST_F(ProgressDates, ProgressFromDataDate) {
  ProgressActivity a;
  a.duration = 5;
  a.start = D(2000, 1, 3);
  a.finish = D(2000, 1, 7);

  // Planned start after the data date: nothing has begun.
  ProgressActivity later = a;
  later.plannedStart = D(2000, 1, 17);
  ASSERT_TRUE(deriveProgress(later, D(2000, 1, 12), 2, calendars).written);
  EXPECT_EQ(later.remaining, 5);
  EXPECT_EQ(later.actualStart, 0);
  EXPECT_EQ(later.actualFinish, 0);

  ProgressActivity running = a;
  deriveProgress(running, D(2000, 1, 5), 2, calendars);
  EXPECT_EQ(running.remaining, 3);
  EXPECT_EQ(running.actualStart, D(2000, 1, 3));
  EXPECT_EQ(running.actualFinish, 0);

  // A recorded actual start is kept.
  ProgressActivity early = a;
  early.actualStart = D(1999, 12, 31);
  deriveProgress(early, D(2000, 1, 5), 2, calendars);
  EXPECT_EQ(early.actualStart, D(1999, 12, 31));

  ProgressActivity done = a;
  deriveProgress(done, D(2000, 1, 20), 2, calendars);
  EXPECT_EQ(done.remaining, 0);
  EXPECT_EQ(done.actualFinish, D(2000, 1, 7));

  ProgressActivity noDataDate = running;
  EXPECT_FALSE(deriveProgress(noDataDate, 0, 2, calendars).written);
  EXPECT_EQ(noDataDate.remaining, 3);

  // A finished activity is not touched.
  ProgressActivity closed = done;
  closed.remaining = 2;
  EXPECT_FALSE(deriveProgress(closed, D(2000, 1, 4), 2, calendars).written);
  EXPECT_EQ(closed.remaining, 2);
}

TEST_F(ProgressDates, MilestoneAndTimeSharedProgress) {
  // A milestone counts as one day: passed once the data date is after it.
  // Its actual finish is the working day before its start, so the analysis
  // reads back a duration of 0.
  ProgressActivity milestone;
  milestone.kind = kMilestone;
  milestone.start = milestone.finish = D(2000, 1, 3);
  ProgressActivity waiting = milestone;
  deriveProgress(waiting, D(2000, 1, 3), 0, calendars);
  EXPECT_EQ(waiting.actualStart, 0);
  deriveProgress(milestone, D(2000, 1, 4), 0, calendars);
  EXPECT_EQ(milestone.remaining, 0);
  EXPECT_EQ(milestone.actualStart, D(2000, 1, 3));
  EXPECT_EQ(milestone.actualFinish, D(1999, 12, 31));

  ProgressActivity shared;
  shared.kind = kTimeShared;
  shared.duration = 4;
  shared.quantity = 10;
  shared.start = D(2000, 1, 3);
  shared.finish = D(2000, 1, 6);
  ProgressActivity one = shared;
  const ProgressUpdate part = deriveProgress(one, D(2000, 1, 4), 1, calendars);
  ASSERT_TRUE(part.sharedQuantity);
  EXPECT_DOUBLE_EQ(*part.sharedQuantity, 2.5);
  ProgressActivity rounded = shared;
  EXPECT_DOUBLE_EQ(*deriveProgress(rounded, D(2000, 1, 4), 0, calendars).sharedQuantity, 3);
  ProgressActivity notYet = shared;
  EXPECT_FALSE(deriveProgress(notYet, D(2000, 1, 3), 1, calendars).sharedQuantity);
  ProgressActivity zero = shared;
  zero.duration = 0;
  EXPECT_FALSE(deriveProgress(zero, D(2000, 1, 5), 1, calendars).sharedQuantity);
}

}  // namespace
}  // namespace kelvo::testing

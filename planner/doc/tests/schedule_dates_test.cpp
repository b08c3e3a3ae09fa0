// Dates, floats and flags the analysis gives on small networks.
#include "schedule_fixture.h"

namespace kelvo::testing {
namespace {

using ScheduleDates = ScheduleTest;

TEST_F(ScheduleDates, FinishToStartOnFiveDayWeek) {
  add("P", 3);
  add("Q", 3);
  link("P", "Q");
  const ScheduleOutcome out = run();
  ASSERT_EQ(out.result, kScheduleDone);
  EXPECT_EQ((*this)["P"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["P"].earlyFinish, D(2000, 1, 5));
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 6));    // Thursday
  EXPECT_EQ((*this)["Q"].earlyFinish, D(2000, 1, 10));  // Monday of the next week
  for (const char* code : {"P", "Q"}) {
    const ScheduleActivity& a = (*this)[code];
    EXPECT_EQ(a.totalFloat, 0) << code;
    EXPECT_EQ(a.freeFloat, 0) << code;
    EXPECT_EQ(a.lateStart, a.earlyStart) << code;
    EXPECT_EQ(a.lateFinish, a.earlyFinish) << code;
    EXPECT_EQ(a.start, a.earlyStart) << code;
    EXPECT_EQ(a.finish, a.earlyFinish) << code;
    EXPECT_TRUE(a.written) << code;
  }
  // Network flags replace bits 14 and 15 only.
  EXPECT_EQ((*this)["P"].flags, 0xB000);
  EXPECT_EQ((*this)["Q"].flags, 0x7000);
  // Successor anchor day: the calendar day after finish + free float.
  EXPECT_EQ((*this)["P"].anchorDay, D(2000, 1, 6));
  EXPECT_EQ((*this)["Q"].anchorDay, D(2000, 1, 11));
  EXPECT_TRUE(out.projectDatesValid);
  EXPECT_EQ(out.projectStart, D(2000, 1, 3));
  EXPECT_EQ(out.projectFinish, D(2000, 1, 10));
  EXPECT_EQ(out.counts.startActivities, 1);
  EXPECT_EQ(out.counts.endActivities, 1);
  EXPECT_EQ(out.counts.independentActivities, 0);
}

TEST_F(ScheduleDates, EachRelationKindWithLags) {
  add("P", 3);
  add("SS", 2);
  add("FF", 2);
  add("SF", 2);
  add("FS", 1);
  add("NEG", 2);
  link("P", "SS", kStartToStart, 2);
  link("P", "FF", kFinishToFinish, 1);
  link("P", "SF", kStartToFinish, 3);
  link("P", "FS", kFinishToStart, 0);
  link("P", "NEG", kFinishToStart, -2);
  ASSERT_EQ(run().result, kScheduleDone);
  // Start-to-start lag 2: two working days after P's start.
  EXPECT_EQ((*this)["SS"].earlyStart, D(2000, 1, 5));
  EXPECT_EQ((*this)["SS"].earlyFinish, D(2000, 1, 6));
  // Finish-to-finish lag 1: finishes one working day after P.
  EXPECT_EQ((*this)["FF"].earlyFinish, D(2000, 1, 6));
  EXPECT_EQ((*this)["FF"].earlyStart, D(2000, 1, 5));
  // Start-to-finish lag 3: finishes the day before P's start + 3.
  EXPECT_EQ((*this)["SF"].earlyFinish, D(2000, 1, 5));
  EXPECT_EQ((*this)["SF"].earlyStart, D(2000, 1, 4));
  EXPECT_EQ((*this)["FS"].earlyStart, D(2000, 1, 6));
  // Negative lag: two working days before P's finish, then the next day.
  EXPECT_EQ((*this)["NEG"].earlyStart, D(2000, 1, 4));
  // Every relation is tight, so P has no float whichever successor rules.
  EXPECT_EQ((*this)["P"].lateStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["P"].lateFinish, D(2000, 1, 5));
  EXPECT_EQ((*this)["P"].totalFloat, 0);
  // NEG finishes before the others but, as an end activity, is its own anchor.
  EXPECT_EQ((*this)["NEG"].totalFloat, 0);
}

TEST_F(ScheduleDates, LaterPredecessorWinsAndFloatsFollow) {
  add("P", 3);
  add("Q", 5);
  add("R", 2);
  link("P", "R");
  link("Q", "R");
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["R"].earlyStart, D(2000, 1, 10));  // after Q's Friday finish
  EXPECT_EQ((*this)["R"].earlyFinish, D(2000, 1, 11));
  EXPECT_EQ((*this)["P"].lateFinish, D(2000, 1, 7));
  EXPECT_EQ((*this)["P"].lateStart, D(2000, 1, 5));
  EXPECT_EQ((*this)["P"].totalFloat, 2);
  EXPECT_EQ((*this)["P"].freeFloat, 2);
  // Two working days after Wednesday is Friday; the anchor is the day after.
  EXPECT_EQ((*this)["P"].anchorDay, D(2000, 1, 8));
  EXPECT_EQ((*this)["Q"].totalFloat, 0);
}

TEST_F(ScheduleDates, SameResultWhicheverOrderTheRelationsCome) {
  add("P", 3);
  add("Q", 5);
  add("R", 2);
  link("Q", "R");
  link("P", "R");
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["R"].earlyStart, D(2000, 1, 10));
  EXPECT_EQ((*this)["P"].totalFloat, 2);
}

TEST_F(ScheduleDates, FreeFloatIsTheLeastOverAllSuccessors) {
  // P's latest start comes from A, but B follows P at once: delaying P
  // delays B, so P has no free float although the relation to A has six.
  add("P", 1);
  add("A", 1);
  add("B", 1);
  add("X", 10);
  add("X2", 7);
  add("W", 1);
  link("P", "A");
  link("P", "B");
  link("X2", "A");
  link("X", "W");
  link("B", "W");
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["A"].earlyStart, D(2000, 1, 12));
  EXPECT_EQ((*this)["B"].totalFloat, 8);
  EXPECT_EQ((*this)["B"].freeFloat, 8);
  EXPECT_EQ((*this)["P"].totalFloat, 6);
  EXPECT_EQ((*this)["P"].freeFloat, 0);
  EXPECT_EQ((*this)["P"].anchorDay, D(2000, 1, 4));
}

TEST_F(ScheduleDates, SuccessorOnAnotherCalendar) {
  // P works every day and finishes on Saturday; Q works Monday to Friday,
  // so it starts on Monday, the first of its working days after Saturday.
  add("P", 6, 2);
  add("Q", 2, 1);
  link("P", "Q");
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["P"].earlyFinish, D(2000, 1, 8));
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 10));
  EXPECT_EQ((*this)["Q"].earlyFinish, D(2000, 1, 11));
  // Backwards, P may finish on Sunday without delaying Q.
  EXPECT_EQ((*this)["P"].lateFinish, D(2000, 1, 9));
  EXPECT_EQ((*this)["P"].totalFloat, 1);
  EXPECT_EQ((*this)["P"].freeFloat, 1);
}

TEST_F(ScheduleDates, FinishToFinishIntoWeekendTakesTheWorkingDayBefore) {
  // S works every day and finishes on Sunday; P (five-day) must finish with it.
  add("P", 2, 1);
  add("S", 7, 2);
  add("START", 1, 2);
  link("START", "S");
  link("START", "P");
  link("P", "S", kFinishToFinish, 0);
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["S"].earlyFinish, D(2000, 1, 10));
  EXPECT_EQ((*this)["S"].lateFinish, D(2000, 1, 10));
  EXPECT_EQ((*this)["P"].lateFinish, D(2000, 1, 10));
  (*this)["S"].duration = 6;  // S now ends on a Sunday
  (*this)["S"].remaining = 6;
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["S"].lateFinish, D(2000, 1, 9));
  EXPECT_EQ((*this)["P"].lateFinish, D(2000, 1, 7));  // Friday
}

TEST_F(ScheduleDates, MilestoneFinishesTheDayBeforeItsStart) {
  add("P", 2);
  add("M", 0);
  add("Q", 1);
  link("P", "M");
  link("M", "Q");
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["M"].earlyStart, D(2000, 1, 5));
  EXPECT_EQ((*this)["M"].earlyFinish, D(2000, 1, 4));
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 5));
  EXPECT_EQ((*this)["M"].totalFloat, 0);
  EXPECT_EQ((*this)["M"].anchorDay, D(2000, 1, 5));  // a milestone's anchor is its start
}

TEST_F(ScheduleDates, StartOnNonWorkingDataDateIsMovedToNextWorkingDay) {
  dataDate = D(2000, 1, 1);  // Saturday
  add("P", 1);
  add("Q", 1);
  link("P", "Q");
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["P"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 4));
}

TEST_F(ScheduleDates, NegativeLagNeverStartsBeforeTheDataDate) {
  add("P", 2);
  add("Q", 2);
  link("P", "Q", kStartToStart, -5);
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["Q"].earlyFinish, D(2000, 1, 4));
}

TEST_F(ScheduleDates, UnknownRelationKindCountsAsFinishToStart) {
  add("P", 2);
  add("Q", 1);
  link("P", "Q", 9, 0);
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 5));
}

}  // namespace
}  // namespace kelvo::testing

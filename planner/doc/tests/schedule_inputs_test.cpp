// Constraints, actual dates and started activities.
#include "schedule_fixture.h"

namespace kelvo::testing {
namespace {

using ScheduleConstraints = ScheduleTest;

// P (3 days) -> Q (2 days), Q constrained as given.
class ForwardConstraint : public ScheduleTest {
 protected:
  void SetUp() override {
    add("P", 3);
    add("Q", 2);
    link("P", "Q");
  }
  void constrain(const char* code, int16_t kind, uint16_t date) {
    (*this)[code].constraintKind = kind;
    (*this)[code].constraintDate = date;
  }
};

TEST_F(ForwardConstraint, StartNoEarlierThanRaisesOnlyEarlierStarts) {
  constrain("Q", 1, D(2000, 1, 12));
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 12));
  EXPECT_EQ((*this)["Q"].earlyFinish, D(2000, 1, 13));
  constrain("Q", 1, D(2000, 1, 4));
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 6));
}

TEST_F(ForwardConstraint, StartOnSetsTheStartEvenEarlier) {
  constrain("Q", 5, D(2000, 1, 4));
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 4));
  EXPECT_EQ((*this)["Q"].earlyFinish, D(2000, 1, 5));
}

TEST_F(ForwardConstraint, FinishNoEarlierThanMovesTheStartWithIt) {
  constrain("Q", 2, D(2000, 1, 14));
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyFinish, D(2000, 1, 14));
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 13));
}

TEST_F(ForwardConstraint, ConstraintWithoutDateIsIgnored) {
  constrain("Q", 5, 0);
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 6));
}

TEST_F(ForwardConstraint, LatestKindsOnlyBindTheLateDates) {
  constrain("P", 4, D(2000, 1, 4));  // finish no later than Tuesday
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["P"].earlyFinish, D(2000, 1, 5));
  EXPECT_EQ((*this)["P"].lateFinish, D(2000, 1, 4));
  EXPECT_EQ((*this)["P"].lateStart, D(1999, 12, 31));
  EXPECT_EQ((*this)["P"].totalFloat, -1);
  EXPECT_EQ((*this)["P"].freeFloat, 0);

  constrain("P", 6, D(2000, 1, 7));  // finish on Friday: later than Q allows
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["P"].lateFinish, D(2000, 1, 7));
  EXPECT_EQ((*this)["P"].lateStart, D(2000, 1, 5));
  EXPECT_EQ((*this)["P"].totalFloat, 2);

  constrain("Q", 3, D(2000, 1, 5));  // Q starts no later than Wednesday
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 6));
  EXPECT_EQ((*this)["Q"].lateStart, D(2000, 1, 5));
  EXPECT_EQ((*this)["Q"].totalFloat, -1);
}

TEST_F(ScheduleConstraints, IndependentActivityTakesEveryKind) {
  struct Case {
    int16_t kind;
    uint16_t date, start, finish;
  } cases[] = {
      {1, D(2000, 1, 5), D(2000, 1, 5), D(2000, 1, 7)},
      {2, D(2000, 1, 10), D(2000, 1, 6), D(2000, 1, 10)},
      {3, D(1999, 12, 29), D(1999, 12, 29), D(1999, 12, 31)},
      {4, D(2000, 1, 4), D(1999, 12, 31), D(2000, 1, 4)},
      {5, D(2000, 1, 11), D(2000, 1, 11), D(2000, 1, 13)},
      {6, D(2000, 1, 5), D(2000, 1, 3), D(2000, 1, 5)},
  };
  for (const Case& c : cases) {
    activities.clear();
    add("I", 3);
    (*this)["I"].constraintKind = c.kind;
    (*this)["I"].constraintDate = c.date;
    run();
    const ScheduleActivity& a = (*this)["I"];
    EXPECT_EQ(a.earlyStart, c.start) << "kind " << c.kind;
    EXPECT_EQ(a.earlyFinish, c.finish) << "kind " << c.kind;
    EXPECT_EQ(a.lateStart, c.start) << "kind " << c.kind;
    EXPECT_EQ(a.lateFinish, c.finish) << "kind " << c.kind;
    EXPECT_EQ(a.flags & 0xC000, 0xC000) << "kind " << c.kind;
  }
}

using ScheduleActuals = ScheduleTest;

TEST_F(ScheduleActuals, FinishedActivityKeepsItsActualDates) {
  add("P", 3);
  add("Q", 2);
  link("P", "Q");
  ScheduleActivity& p = (*this)["P"];
  p.actualStart = D(1999, 12, 27);
  p.actualFinish = D(1999, 12, 30);
  p.remaining = 2;
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ(p.duration, 4);  // from the actual dates
  EXPECT_EQ(p.earlyStart, D(1999, 12, 27));
  EXPECT_EQ(p.lateStart, D(1999, 12, 27));
  EXPECT_EQ(p.start, D(1999, 12, 27));
  EXPECT_EQ(p.earlyFinish, D(1999, 12, 30));
  EXPECT_EQ(p.lateFinish, D(1999, 12, 30));
  EXPECT_EQ(p.finish, D(1999, 12, 30));
  EXPECT_EQ(p.remaining, 0);
  EXPECT_EQ(p.totalFloat, 0);
  EXPECT_EQ(p.freeFloat, 0);
  EXPECT_EQ(p.flags & 0xC000, 0x8000);
  // The successor cannot start before the data date.
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 3));
}

TEST_F(ScheduleActuals, ActualFinishAloneGivesTheActualStart) {
  add("P", 3);
  (*this)["P"].actualFinish = D(1999, 12, 29);
  ASSERT_EQ(run().result, kScheduleNoStart);  // P is independent
  EXPECT_EQ((*this)["P"].actualStart, D(1999, 12, 27));
  EXPECT_EQ((*this)["P"].start, D(1999, 12, 27));
  EXPECT_EQ((*this)["P"].finish, D(1999, 12, 29));
  EXPECT_EQ((*this)["P"].remaining, 0);
}

TEST_F(ScheduleActuals, FinishedEndActivityStillGetsLateDatesAndItsFlag) {
  add("P", 3);
  add("Q", 2);
  link("P", "Q");
  (*this)["P"].actualStart = D(1999, 12, 20);
  (*this)["P"].actualFinish = D(1999, 12, 22);
  (*this)["Q"].actualStart = D(1999, 12, 23);
  (*this)["Q"].actualFinish = D(1999, 12, 24);
  const ScheduleOutcome out = run();
  ASSERT_EQ(out.result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].lateStart, D(1999, 12, 23));
  EXPECT_EQ((*this)["Q"].lateFinish, D(1999, 12, 24));
  EXPECT_EQ((*this)["Q"].flags & 0xC000, 0x4000);
  EXPECT_EQ(out.projectStart, D(1999, 12, 20));
  EXPECT_EQ(out.projectFinish, D(1999, 12, 24));
}

TEST_F(ScheduleActuals, StartedActivityNeverStartsBeforeTheDataDate) {
  add("P", 3);
  add("Q", 5);
  add("R", 2);
  link("P", "Q", kFinishToStart, 4);
  link("P", "R", kStartToStart, 0);
  ScheduleActivity& p = (*this)["P"];
  p.actualStart = D(1999, 12, 28);
  p.actualFinish = D(1999, 12, 30);
  ScheduleActivity& q = (*this)["Q"];
  q.actualStart = D(1999, 12, 31);
  q.remaining = 2;
  q.constraintKind = 5;  // "start on" a day before the data date
  q.constraintDate = D(1999, 12, 20);
  ScheduleActivity& r = (*this)["R"];
  r.actualStart = D(1999, 12, 29);
  r.remaining = 9;  // more than the duration: clamped
  ASSERT_EQ(run().result, kScheduleDone);
  // The lag of P -> Q gates only the start Q has already made.
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["Q"].earlyFinish, D(2000, 1, 4));
  EXPECT_EQ((*this)["Q"].start, D(1999, 12, 31));
  EXPECT_EQ((*this)["Q"].remaining, 2);
  EXPECT_EQ((*this)["R"].remaining, 2);
  EXPECT_EQ((*this)["R"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["R"].start, D(1999, 12, 29));
}

TEST_F(ScheduleActuals, StartedStartActivityBeginsItsRemainderAtTheDataDate) {
  add("P", 5);
  add("Q", 1);
  link("P", "Q");
  (*this)["P"].actualStart = D(1999, 12, 29);
  (*this)["P"].remaining = 2;
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["P"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["P"].earlyFinish, D(2000, 1, 4));
  EXPECT_EQ((*this)["P"].start, D(1999, 12, 29));
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 5));
  EXPECT_EQ((*this)["P"].totalFloat, 0);
}

TEST_F(ScheduleActuals, StartedPredecessorOfStartToStartUsesUpItsLag) {
  // Both have started. Backwards, the lag of P -> Q grows by the working
  // days from P's actual start to the data date (negative), never below 0.
  add("P", 3);
  add("Q", 4);
  link("P", "Q", kStartToStart, 1);
  (*this)["P"].actualStart = D(1999, 12, 27);
  (*this)["P"].remaining = 3;
  (*this)["Q"].actualStart = D(1999, 12, 28);
  (*this)["Q"].remaining = 4;
  ASSERT_EQ(run().result, kScheduleDone);
  EXPECT_EQ((*this)["Q"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["P"].lateStart, D(2000, 1, 3));
}

}  // namespace
}  // namespace kelvo::testing

// The date rules of activity input on a five-day calendar (Monday to
// Friday, December 2023 to December 2024; 2024-01-01 is a Monday).
#include "record_fixture.h"

namespace {

class RecordDatesTest : public RecordTest {
 protected:
  void SetUp() override {
    RecordTest::SetUp();
    InstallFiveDayCalendar();
  }
  void TearDown() override {
    xFreeWork(0);
    RecordTest::TearDown();
  }
  // A new five-day activity "A" (start on the project start, Monday Jan 1).
  ActRecord Enter(int16_t duration = 5, int16_t mode = 1) {
    EXPECT_EQ(Activity("A", "", "", duration, mode), 0);
    return Act("A");
  }
};

TEST_F(RecordDatesTest, NewActivityStartsOnTheProjectStart) {
  ActRecord a = {};
  strcpy(a.code, "A");
  a.duration = 5;
  a.freeFloat = -3;
  db_.act.tb.current = -1;
  ASSERT_EQ(xInputRecAct(&db_, &a, Day(2024, 1, 1), 3, 3, 1), 0);
  EXPECT_EQ(a.calendar, 1);  // a new record on calendar 0 gets calendar 1
  EXPECT_EQ(a.flags, 0x3000);
  EXPECT_EQ(a.start, Day(2024, 1, 1));
  EXPECT_EQ(a.finish, Day(2024, 1, 5));  // Friday
  EXPECT_EQ(a.remaining, 5);
  EXPECT_EQ(a.earlyStart, Day(2024, 1, 1));
  EXPECT_EQ(a.lateFinish, Day(2024, 1, 5));
  EXPECT_EQ(a.actualStart, 0);
  EXPECT_EQ(a.constraintType, 0);  // nothing was moved by the caller
  EXPECT_EQ(a.freeFloat, 0);
  EXPECT_EQ(a.type, 0);
  EXPECT_EQ(a.anchor, Day(2024, 1, 6));  // the calendar day after the finish
  EXPECT_EQ(xGetCalNo(), 0);

  // Calendar numbers out of range become 1, negative durations 0, and a
  // duration of 0 makes a milestone anchored at its start.
  ActRecord m = {};
  strcpy(m.code, "M");
  m.duration = -4;
  m.calendar = 12;
  m.start = Day(2024, 1, 10);
  db_.act.tb.current = -1;
  ASSERT_EQ(xInputRecAct(&db_, &m, Day(2024, 1, 1), 3, 3, 0), 0);
  EXPECT_EQ(m.calendar, 1);
  EXPECT_EQ(m.duration, 0);
  EXPECT_EQ(m.type, 1);
  EXPECT_EQ(m.anchor, Day(2024, 1, 10));
  // A time-shared activity keeps its kind.
  ActRecord t = {};
  strcpy(t.code, "T");
  t.type = 2;
  db_.act.tb.current = -1;
  ASSERT_EQ(xInputRecAct(&db_, &t, Day(2024, 1, 1), 3, 3, 0), 0);
  EXPECT_EQ(t.type, 2);
}

TEST_F(RecordDatesTest, MovedStartBecomesAConstraintOnlyInAPositiveMode) {
  Enter();
  // Wednesday Jan 10 + 5 working days ends Tuesday Jan 16.
  ASSERT_EQ(EditAct(
                "A", [](ActRecord* a) { a->start = Day(2024, 1, 10); }, 0),
            0);
  ActRecord a = Act("A");
  EXPECT_EQ(a.finish, Day(2024, 1, 16));
  EXPECT_EQ(a.constraintType, 0);
  EXPECT_EQ(a.earlyStart, Day(2024, 1, 10));
  EXPECT_EQ(a.earlyFinish, Day(2024, 1, 16));
  EXPECT_EQ(a.anchor, Day(2024, 1, 17));

  ASSERT_EQ(EditAct(
                "A", [](ActRecord* a) { a->start = Day(2024, 1, 15); }, 1),
            0);
  a = Act("A");
  EXPECT_EQ(a.constraintType, 5);
  EXPECT_EQ(a.constraintDate, Day(2024, 1, 15));
  EXPECT_EQ(a.finish, Day(2024, 1, 19));

  // Start and finish moved together: the duration follows in a positive
  // mode, the finish follows the duration in mode 0.
  ASSERT_EQ(EditAct(
                "A",
                [](ActRecord* a) {
                  a->start = Day(2024, 1, 22);
                  a->finish = Day(2024, 2, 2);
                },
                1),
            0);
  a = Act("A");
  EXPECT_EQ(a.duration, 10);
  EXPECT_EQ(a.remaining, 10);
  ASSERT_EQ(EditAct(
                "A",
                [](ActRecord* a) {
                  a->start = Day(2024, 1, 29);
                  a->finish = Day(2024, 3, 1);
                },
                0),
            0);
  a = Act("A");
  EXPECT_EQ(a.duration, 10);
  EXPECT_EQ(a.finish, Day(2024, 2, 9));
}

TEST_F(RecordDatesTest, MovedFinishCarriesTheStartBack) {
  Enter();
  ASSERT_EQ(EditAct(
                "A", [](ActRecord* a) { a->finish = Day(2024, 1, 19); }, 1),
            0);
  ActRecord a = Act("A");
  EXPECT_EQ(a.start, Day(2024, 1, 15));
  EXPECT_EQ(a.constraintType, 6);
  EXPECT_EQ(a.constraintDate, Day(2024, 1, 19));
  ASSERT_EQ(EditAct(
                "A", [](ActRecord* a) { a->finish = Day(2024, 1, 23); }, 0),
            0);
  a = Act("A");
  EXPECT_EQ(a.start, Day(2024, 1, 17));
  EXPECT_EQ(a.constraintDate, Day(2024, 1, 19));  // mode 0 leaves it alone
}

TEST_F(RecordDatesTest, ActualFinishCompletesTheActivity) {
  Enter();
  // With an actual start the duration is counted between the actual dates:
  // Monday Jan 15 to Wednesday Jan 24 are eight working days.
  ASSERT_EQ(EditAct("A",
                    [](ActRecord* a) {
                      a->actualStart = Day(2024, 1, 15);
                      a->actualFinish = Day(2024, 1, 24);
                      a->totalFloat = 4;
                    }),
            0);
  ActRecord a = Act("A");
  EXPECT_EQ(a.duration, 8);
  EXPECT_EQ(a.start, Day(2024, 1, 15));
  EXPECT_EQ(a.lateStart, Day(2024, 1, 15));
  EXPECT_EQ(a.finish, Day(2024, 1, 24));
  EXPECT_EQ(a.earlyFinish, Day(2024, 1, 24));
  EXPECT_EQ(a.remaining, 0);
  EXPECT_EQ(a.totalFloat, 0);
  EXPECT_EQ(a.constraintType, 0);

  // Without one, the actual start lies the duration before it.
  ASSERT_EQ(Activity("B", "", "", 5, 1), 0);
  ASSERT_EQ(EditAct("B", [](ActRecord* a) { a->actualFinish = Day(2024, 1, 12); }), 0);
  a = Act("B");
  EXPECT_EQ(a.actualStart, Day(2024, 1, 8));
  EXPECT_EQ(a.start, Day(2024, 1, 8));

  // Moving the finish of a finished activity moves its actual finish.
  ASSERT_EQ(EditAct("B", [](ActRecord* a) { a->finish = Day(2024, 1, 17); }), 0);
  a = Act("B");
  EXPECT_EQ(a.actualFinish, Day(2024, 1, 17));
  EXPECT_EQ(a.actualStart, Day(2024, 1, 11));
  EXPECT_EQ(a.constraintType, 0);
}

TEST_F(RecordDatesTest, RemainingDurationMarksProgress) {
  Enter();
  ASSERT_EQ(EditAct("A", [](ActRecord* a) { a->remaining = 0; }), 0);
  ActRecord a = Act("A");
  EXPECT_EQ(a.actualStart, Day(2024, 1, 1));
  EXPECT_EQ(a.actualFinish, Day(2024, 1, 5));

  ASSERT_EQ(EditAct("A", [](ActRecord* a) { a->remaining = 5; }), 0);
  a = Act("A");
  EXPECT_EQ(a.actualStart, 0);
  EXPECT_EQ(a.actualFinish, 0);

  // Two days left of five: started on the start, early dates from the
  // work done (three days after the actual start).
  ASSERT_EQ(EditAct("A", [](ActRecord* a) { a->remaining = 2; }), 0);
  a = Act("A");
  EXPECT_EQ(a.actualStart, Day(2024, 1, 1));
  EXPECT_EQ(a.actualFinish, 0);
  EXPECT_EQ(a.earlyStart, Day(2024, 1, 4));
  EXPECT_EQ(a.earlyFinish, Day(2024, 1, 5));

  ASSERT_EQ(EditAct("A", [](ActRecord* a) { a->remaining = 9; }), 0);
  EXPECT_EQ(Act("A").remaining, 5);
}

TEST_F(RecordDatesTest, FreeFloatPushesTheAnchorAndNegativeModesLeaveDatesAlone) {
  Enter();
  // Friday Jan 5 + 2 working days is Tuesday Jan 9; then one calendar day.
  ASSERT_EQ(EditAct("A", [](ActRecord* a) { a->freeFloat = 2; }), 0);
  EXPECT_EQ(Act("A").anchor, Day(2024, 1, 10));

  ActRecord raw = {};
  strcpy(raw.code, "R");
  raw.duration = -2;
  raw.calendar = 0;
  db_.act.tb.current = -1;
  ASSERT_EQ(xInputRecAct(&db_, &raw, Day(2024, 1, 1), 3, 3, -1), 0);
  EXPECT_EQ(raw.duration, -2);
  EXPECT_EQ(raw.calendar, 0);
  EXPECT_EQ(raw.start, 0);
  EXPECT_EQ(raw.flags, 0);
}

}  // namespace

// The anchor day a caller that keeps an activity's own dates computes: free
// float counts working days on the activity's calendar, the last step is
// one calendar day, and a milestone follows from its start.
TEST_F(RecordDatesTest, SuccessorAnchorDayIsFreeFloatOnTheCalendarThenOnePlainDay) {
  struct Case {
    int16_t type, calendar, freeFloat;
    uint16_t start, finish, anchor;
  } const cases[] = {
      {0, 1, 0, Day(2024, 1, 1), Day(2024, 1, 5), Day(2024, 1, 6)},     // Friday: Saturday
      {0, 1, 2, Day(2024, 1, 1), Day(2024, 1, 3), Day(2024, 1, 6)},     // Wed + 2 = Fri
      {0, 1, 1, Day(2024, 1, 1), Day(2024, 1, 5), Day(2024, 1, 9)},     // over the weekend
      {2, 1, 1, Day(2024, 1, 1), Day(2024, 1, 5), Day(2024, 1, 9)},     // time-shared alike
      {0, 0, 1, Day(2024, 1, 1), Day(2024, 1, 5), Day(2024, 1, 7)},     // plain days
      {1, 1, 3, Day(2024, 1, 10), Day(2024, 1, 12), Day(2024, 1, 10)},  // milestone: start
  };
  for (const Case& c : cases) {
    ActRecord a = {};
    a.type = c.type;
    a.calendar = c.calendar;
    a.freeFloat = c.freeFloat;
    a.start = c.start;
    a.finish = c.finish;
    xSetCalNo(1);
    EXPECT_EQ(xSuccessorAnchorDay(&a), c.anchor) << "type " << c.type << " ff " << c.freeFloat;
    EXPECT_EQ(xGetCalNo(), 0);
  }
}

// Results other than success, and what the analysis leaves behind then.
#include "schedule_fixture.h"

namespace kelvo::testing {
namespace {

using ScheduleFailures = ScheduleTest;

TEST_F(ScheduleFailures, NoRelationsDatesEveryActivityAndReportsNoStart) {
  add("A", 2);
  add("B", 0);
  add("C", 4, 2);
  dataDate = D(2000, 1, 1);  // Saturday
  const ScheduleOutcome out = run();
  EXPECT_EQ(out.result, kScheduleNoStart);
  EXPECT_EQ(out.counts.independentActivities, 3);
  EXPECT_EQ(out.datedActivities, 3);
  EXPECT_EQ((*this)["A"].earlyStart, D(2000, 1, 3));
  EXPECT_EQ((*this)["A"].earlyFinish, D(2000, 1, 4));
  EXPECT_EQ((*this)["C"].earlyStart, D(2000, 1, 1));  // calendar 2 works on Saturday
  for (const ScheduleActivity& a : activities) {
    EXPECT_EQ(a.flags & 0xC000, 0xC000) << a.code;
    EXPECT_EQ(a.lateStart, a.earlyStart) << a.code;
    EXPECT_EQ(a.totalFloat, 0) << a.code;
  }
  // The project dates are stored only after a successful run.
  EXPECT_FALSE(out.projectDatesValid);
}

TEST_F(ScheduleFailures, LoopReachableFromAStartActivityIsNamed) {
  add("S", 1).written = true;  // left over from an earlier run
  add("P", 1);
  add("Q", 1);
  add("E", 1);
  link("S", "P");
  link("P", "Q");
  link("Q", "P");
  link("Q", "E");
  const ScheduleOutcome out = run();
  EXPECT_EQ(out.result, kScheduleLoop);
  EXPECT_EQ(out.datedActivities, 0);
  EXPECT_TRUE(out.caption == "P - Q" || out.caption == "Q - P") << out.caption;
  EXPECT_TRUE(out.loopRelation == 1 || out.loopRelation == 2);
  EXPECT_FALSE(out.projectDatesValid);
  EXPECT_FALSE((*this)["P"].written);
}

TEST_F(ScheduleFailures, LongLoopAndSelfLoopAreNamedByARelationOnThem) {
  add("S", 1);
  add("A", 1);
  add("B", 1);
  add("C", 1);
  add("E", 1);
  link("S", "A");
  link("A", "B");
  link("B", "C");
  link("C", "A");
  link("C", "E");
  ScheduleOutcome out = run();
  ASSERT_EQ(out.result, kScheduleLoop);
  EXPECT_TRUE(out.caption == "A - B" || out.caption == "B - C" || out.caption == "C - A")
      << out.caption;

  relations = {};
  link("S", "A");
  link("A", "A");
  link("A", "E");
  out = run();
  ASSERT_EQ(out.result, kScheduleLoop);
  EXPECT_EQ(out.caption, "A - A");
}

TEST_F(ScheduleFailures, AcyclicNetworksWithSharedPathsAreNoLoops) {
  // Diamonds and long side chains revisit activities without any loop.
  add("S", 1);
  add("A", 1);
  add("B", 1);
  add("C", 1);
  add("E", 1);
  link("S", "A");
  link("S", "B");
  link("A", "C");
  link("B", "C");
  link("S", "C");
  link("C", "E");
  link("A", "E");
  EXPECT_EQ(run().result, kScheduleDone);
}

TEST_F(ScheduleFailures, LoopNoStartActivityReachesIsUnreachable) {
  add("S", 1);
  add("E", 1);
  add("P", 1);
  add("Q", 1);
  add("R", 1);
  link("S", "E");
  link("P", "Q");
  link("Q", "R");
  link("R", "P");
  EXPECT_EQ(run().result, kScheduleUnreachable);
}

TEST_F(ScheduleFailures, RelationToAMissingActivityIsUnreachable) {
  add("S", 1);
  add("E", 1);
  link("S", "E");
  relations.push_back({indexOf("S"), 99, kFinishToStart, 0});
  EXPECT_EQ(run().result, kScheduleUnreachable);
  relations.back() = {-1, indexOf("E"), kFinishToStart, 0};
  EXPECT_EQ(run().result, kScheduleUnreachable);
}

TEST_F(ScheduleFailures, ActivityCountMismatchIsADamagedProject) {
  add("S", 1);
  add("E", 1);
  add("I", 1);
  link("S", "E");
  const ScheduleOutcome out = runSchedule(activities, relations, dataDate, 4, calendars);
  EXPECT_EQ(out.result, kScheduleDamagedProject);
  EXPECT_TRUE((*this)["I"].written);  // independents are dated before the check
  EXPECT_FALSE((*this)["S"].written);
}

TEST_F(ScheduleFailures, NoEndActivityIsReportedAsNoStart) {
  // S leads into a loop that never ends: there is a start but no end.
  add("S", 1);
  add("P", 1);
  add("Q", 1);
  link("S", "P");
  link("P", "Q");
  link("Q", "P");
  EXPECT_EQ(run().result, kScheduleNoStart);
}

TEST_F(ScheduleFailures, MissingDataDateChangesNothing) {
  add("S", 1);
  add("E", 1);
  link("S", "E");
  dataDate = 0;
  const ScheduleOutcome out = run();
  EXPECT_EQ(out.result, kScheduleBadDate);
  for (const ScheduleActivity& a : activities) {
    EXPECT_FALSE(a.written);
    EXPECT_EQ(a.earlyStart, 0);
  }
}

// Dates after 2107-12-31 cannot be stored: the run is refused whole, on any
// path that reaches them, and names the first activity that would.
TEST_F(ScheduleFailures, DatesBeyondThePackableRangeStoreNothing) {
  struct Case {
    const char* name;
    uint16_t dataDate;
    int16_t duration;
    int16_t constraintKind;  // 5: start on 2079-12-31
    bool successors;         // A -> B -> C (32767 days)
  } cases[] = {
      {"forward pass", D(2079, 6, 1), 30000, 0, true},
      {"independent activity", D(2079, 6, 1), 32767, 0, false},
      {"constraint", D(2000, 1, 3), 32767, 5, false},
      {"constraint before relations", D(2000, 1, 3), 32767, 5, true},
  };
  for (const Case& c : cases) {
    activities.clear();
    relations.clear();
    dataDate = c.dataDate;
    ScheduleActivity& a = add("A", c.duration, 0);
    a.constraintKind = c.constraintKind;
    a.constraintDate = c.constraintKind ? D(2079, 12, 31) : 0;
    if (c.successors) {
      add("B", 1, 0);
      add("C", 32767, 0);
      link("A", "B");
      link("B", "C");
    }
    const ScheduleOutcome out = run();
    EXPECT_EQ(out.result, kScheduleOutOfRange) << c.name;
    EXPECT_EQ(out.caption, "A") << c.name;
    EXPECT_EQ(out.datedActivities, 0) << c.name;
    EXPECT_FALSE(out.projectDatesValid) << c.name;
    for (const ScheduleActivity& x : activities) EXPECT_FALSE(x.written) << c.name << x.code;
  }
}

// Records what a run reports.
struct Recorder : ScheduleListener {
  struct Call {
    int phase;
    std::string caption;
    int32_t position, range;
  };
  void progress(int phase, const char* caption, int32_t position, int32_t range) override {
    calls.push_back({phase, caption, position, range});
  }
  void counters(const ScheduleCounts& c) override { counts.push_back(c); }
  std::vector<Call> calls;
  std::vector<ScheduleCounts> counts;
};

TEST_F(ScheduleFailures, ProgressGoesThroughEveryPhaseInTensToItsRange) {
  add("I", 1);
  add("S", 1);
  for (int i = 0; i < 25; ++i) add(("A" + std::to_string(i)).c_str(), 1);
  for (int i = 0; i < 25; ++i) link("S", ("A" + std::to_string(i)).c_str());
  Recorder recorder;
  ASSERT_EQ(run(&recorder).result, kScheduleDone);

  const int32_t ranges[] = {27, 25, 25, 25};
  const char* captions[] = {"작업 순서 찾기...", "선후행 관계 순서 찾기...",
                            "작업 일정 전진 계산...", "작업 일정 후진 계산..."};
  int phase = -1;
  int32_t last = 0;
  for (const Recorder::Call& c : recorder.calls) {
    if (c.phase != phase) {
      ASSERT_EQ(c.phase, phase + 1);
      EXPECT_EQ(c.position, 0);
      if (phase >= 0) {
        EXPECT_EQ(last, ranges[phase]);
      }
      phase = c.phase;
    }
    EXPECT_EQ(c.caption, captions[phase]);
    EXPECT_EQ(c.range, ranges[phase]);
    EXPECT_TRUE(c.position % 10 == 0 || c.position == c.range) << c.position;
    EXPECT_GE(c.position, last * (c.position != 0));
    last = c.position;
  }
  EXPECT_EQ(phase, 3);
  EXPECT_EQ(last, 25);
  ASSERT_EQ(recorder.counts.size(), 2u);
  EXPECT_EQ(recorder.counts[0].activities, 27);
  EXPECT_EQ(recorder.counts[0].relations, 25);
  EXPECT_EQ(recorder.counts[1].startActivities, 1);
  EXPECT_EQ(recorder.counts[1].endActivities, 25);
  EXPECT_EQ(recorder.counts[1].independentActivities, 1);
}

}  // namespace
}  // namespace kelvo::testing

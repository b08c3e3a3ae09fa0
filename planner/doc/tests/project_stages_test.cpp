// Planned schedule, weights and stage closing on a project database.
#include "kelvo/project_stages.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>

#include "kelvo/progress_stages.h"
#include "list_calendars.h"
#include "project_fixture.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo::testing {
namespace {

class ProjectStagesTest : public ProjectFolderFixture {
 protected:
  void SetUp() override {
    ProjectFolderFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(installInEngine(
        0, ListCalendars::fiveDayWeek(packDate(2023, 1, 1), packDate(2023, 12, 31))));
  }

  int32_t add(ActRecord r) {
    std::vector<uint8_t> bytes(db.act.tb.recordSize, 0);
    std::memcpy(bytes.data(), &r, sizeof r);
    EXPECT_EQ(xAddRec(&db.act.tb, bytes.data()), 1);
    return db.act.tb.current;
  }
  // Monday 6 March 2023, `duration` days with `totalFloat` days of float.
  int32_t addDated(int16_t duration, int16_t totalFloat) {
    ActRecord r;
    std::memset(&r, 0, sizeof r);
    r.duration = duration;
    r.totalFloat = totalFloat;
    r.calendar = 1;
    r.start = packDate(2023, 3, 6);
    r.finish = packDate(2023, 3, 6 + duration - 1);
    return add(r);
  }
  ActRecord at(int32_t record) {
    std::vector<uint8_t> bytes(db.act.tb.recordSize);
    db.act.tb.current = record;
    EXPECT_EQ(xGetRec(&db.act.tb, bytes.data()), 1);
    ActRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    return r;
  }
};

TEST_F(ProjectStagesTest, PlannedScheduleForAllOrSelected) {
  const int32_t a = addDated(3, 5);
  const int32_t b = addDated(2, 0);
  ActRecord before = at(a);
  EXPECT_EQ(planProjectSchedule(&db, 100, true, std::vector<int32_t>{b}), 1);
  const ActRecord untouched = at(a);
  EXPECT_EQ(std::memcmp(&before, &untouched, sizeof before), 0);
  EXPECT_EQ(at(b).plannedStart, packDate(2023, 3, 6));

  EXPECT_EQ(planProjectSchedule(&db, 100, true), 2);
  const ActRecord r = at(a);
  EXPECT_EQ(r.plannedStart, packDate(2023, 3, 13));  // five working days later
  EXPECT_EQ(r.plannedFinish, packDate(2023, 3, 15));
  EXPECT_EQ(r.plannedLF, packDate(2023, 3, 15));
  EXPECT_EQ(r.plannedDuration, 3);
  // Everything else of the record stays.
  before.plannedDuration = r.plannedDuration;
  before.plannedStart = r.plannedStart;
  before.plannedFinish = r.plannedFinish;
  before.plannedES = r.plannedES;
  before.plannedEF = r.plannedEF;
  before.plannedLS = r.plannedLS;
  before.plannedLF = r.plannedLF;
  EXPECT_EQ(std::memcmp(&before, &r, sizeof r), 0);
  EXPECT_EQ(xGetCalNo(), 0);
}

// A listener that stops the planned schedule, even after the last record,
// leaves every record and the stage as they were.
TEST_F(ProjectStagesTest, StoppedPlannedScheduleChangesNothing) {
  const int32_t a = addDated(3, 5);
  const int32_t b = addDated(2, 0);
  const ActRecord beforeA = at(a), beforeB = at(b);
  int32_t reports = 0;
  const auto stopAtEnd = [&](int32_t done, int32_t total) {
    ++reports;
    return done < total;
  };
  EXPECT_EQ(planProjectSchedule(&db, 100, true, {}, stopAtEnd), kPlanStopped);
  EXPECT_EQ(reports, 2);
  const ActRecord afterA = at(a), afterB = at(b);
  EXPECT_EQ(std::memcmp(&beforeA, &afterA, sizeof afterA), 0);
  EXPECT_EQ(std::memcmp(&beforeB, &afterB, sizeof afterB), 0);

  PrjInfo info;
  std::memset(&info, 0, sizeof info);
  EXPECT_EQ(advanceProjectStage(&db, &info, packDate(2023, 3, 1), packDate(2023, 3, 31), 50, true,
                                nullptr, stopAtEnd),
            kStageStopped);
  EXPECT_EQ(info.stage, 0);
  EXPECT_EQ(info.dataDate, 0);
  const ActRecord stillA = at(a);
  EXPECT_EQ(std::memcmp(&beforeA, &stillA, sizeof stillA), 0);
}

TEST_F(ProjectStagesTest, WeightsOverAllActivities) {
  for (int i = 0; i < 3; ++i) {
    ActRecord r;
    std::memset(&r, 0, sizeof r);
    r.contractPrice = 1000;
    r.quantity = 1;
    add(r);
  }
  EXPECT_EQ(deriveProjectWeights(&db, true, 0, 2), 3);
  EXPECT_FLOAT_EQ(at(0).contractWeight, 33.34f);
  EXPECT_FLOAT_EQ(at(1).contractWeight, 33.33f);
  EXPECT_FLOAT_EQ(at(2).executionWeight, 0);
  // No execution prices: nothing to weigh, nothing changes.
  EXPECT_EQ(deriveProjectWeights(&db, false, 0, 2), 0);
  EXPECT_FLOAT_EQ(at(0).contractWeight, 33.34f);
}

TEST_F(ProjectStagesTest, UnitPricesFromRegisteredWorkTypes) {
  WbsRecord w;
  std::memset(&w, 0, sizeof w);
  std::strcpy(w.code, "A1");
  w.level = 1;
  w.contractPrice = 10;
  w.executionPrice = 8;
  w.inputPrice = 6;
  std::vector<uint8_t> bytes(db.wbs.tb.recordSize, 0);
  std::memcpy(bytes.data(), &w, sizeof w);
  ASSERT_EQ(xAddRec(&db.wbs.tb, bytes.data()), 1);
  CodeEntry e = {};
  std::strcpy(e.code, "A1");
  e.record = db.wbs.tb.current;
  ASSERT_EQ(xmAdd(&db.wbsCodes, &e), 1);

  const auto activity = [&](const char* wbs, uint16_t actualFinish) {
    ActRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.wbsCode, wbs);
    r.actualFinish = actualFinish;
    r.contractPrice = r.executionPrice = r.inputPrice = 1;
    return add(r);
  };
  const int32_t open = activity("A1", 0);
  const int32_t done = activity("A1", packDate(2023, 3, 1));
  const int32_t unknown = activity("B9", 0);
  const int32_t none = activity("", 0);

  EXPECT_EQ(copyProjectUnitPrices(&db, {true, false, true}, true), 1);
  EXPECT_DOUBLE_EQ(at(open).contractPrice, 10);
  EXPECT_DOUBLE_EQ(at(open).executionPrice, 1);
  EXPECT_DOUBLE_EQ(at(open).inputPrice, 6);
  EXPECT_DOUBLE_EQ(at(done).contractPrice, 1);
  EXPECT_DOUBLE_EQ(at(unknown).contractPrice, 1);
  EXPECT_DOUBLE_EQ(at(none).contractPrice, 1);

  EXPECT_EQ(copyProjectUnitPrices(&db, {false, true, false}, false, std::vector<int32_t>{done}), 1);
  EXPECT_DOUBLE_EQ(at(done).executionPrice, 8);
  EXPECT_DOUBLE_EQ(at(open).executionPrice, 1);
}

TEST_F(ProjectStagesTest, ClosingStagesInTheProjectInformation) {
  PrjInfo info;
  std::memset(&info, 0, sizeof info);
  EXPECT_EQ(closeProjectStage(&info, packDate(2023, 3, 1), 0), kStageBadFinish);
  EXPECT_EQ(info.stage, 0);
  EXPECT_EQ(info.dataDate, 0);
  ASSERT_EQ(closeProjectStage(&info, packDate(2023, 3, 1), packDate(2023, 3, 31)), kStageClosed);
  EXPECT_EQ(info.stage, 1);
  EXPECT_EQ(info.periodStart, packDate(2023, 3, 1));
  EXPECT_EQ(info.periodFinish, packDate(2023, 3, 31));
  EXPECT_EQ(info.dataDate, packDate(2023, 4, 3));
}

}  // namespace
}  // namespace kelvo::testing

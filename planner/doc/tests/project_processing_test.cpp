// The processing commands on an open project: the numeric items, progress
// from the data date, actual-work figures, the next stage and the code
// rewrite, each leaving the store's indexes exact.
#include <cmath>

#include "kelvo/progress_stages.h"
#include "kelvo/project_actuals.h"
#include "kelvo/project_digits.h"
#include "kelvo/project_map_rewrite.h"
#include "kelvo/project_numeric.h"
#include "kelvo/project_stages.h"
#include "project_fixture.h"

namespace kelvo::testing {
namespace {

class Processing : public ProjectFixture {
 protected:
  // Work types A01 (quantity 10, 2 a day) and A02 (quantity 6, no daily
  // quantity), facilities 101 and 102.
  void classify() {
    addCode(0, "A", "\xB1\xB8\xC1\xB6");  // "구조"
    addCode(0, "A01", "con", 10, 2);
    addCode(0, "A02", "rebar", 6, 0);
    addCode(1, "1", "east");
    addCode(1, "101", "F1");
    addCode(1, "102", "F2");
  }
};

TEST_F(Processing, DigitsComeFromTheFieldsAndTheInformationBlock) {
  info.amountDecimals = 1;
  ProjectDigits d = projectDigits(&db, info);
  EXPECT_EQ(d.quantity, 3);  // the reference file's quantity fields
  EXPECT_EQ(d.weight, 2);
  EXPECT_EQ(d.amount, 1);
  setDecimals(kQuantityDigitsClass, 0);
  setDecimals(kWeightDigitsClass, 7);
  info.amountDecimals = 200;
  d = projectDigits(&db, info);
  EXPECT_EQ(d.quantity, 0);
  EXPECT_EQ(d.weight, 4);
  EXPECT_EQ(d.amount, 9);
}

TEST_F(Processing, QuantitySpreadGivesTheRemainderToTheFirstLargest) {
  classify();
  addCode(0, "A03", "idle", 8, 0);
  setDecimals(kQuantityDigitsClass, 0);
  const int32_t a = addActivity("X1", 5, "A01", "101");
  const int32_t b = addActivity("X2", 5, "A01", "102");
  const int32_t c = addActivity("X3", 5, "A01", "1");  // refused: not final level
  EXPECT_EQ(c, -1);
  addCode(1, "103", "F3");
  const int32_t d = addActivity("X4", 5, "A01", "103");
  // Only milestones under A03: nothing to divide by, their quantities stay.
  const int32_t idle = addActivity("M1", 0, "A03", "101", 7);
  NumericItemOptions o;
  o.spreadQuantities = true;
  const NumericItemCounts n = deriveNumericItems(&db, info, o);
  EXPECT_EQ(n.quantities, 3);
  EXPECT_EQ(+activity(a).quantity, 4);
  EXPECT_EQ(+activity(b).quantity, 3);
  EXPECT_EQ(+activity(d).quantity, 3);
  EXPECT_EQ(+activity(idle).quantity, 7);
  expectIndexesExact();
}

TEST_F(Processing, DurationsFromDailyQuantitiesMoveTheDates) {
  classify();
  const int32_t a = addActivity("X1", 1, "A01", "101", 7);  // 7 / 2 -> 4 days
  const int32_t b = addActivity("X2", 3, "A02", "101", 6);  // no daily quantity
  const int32_t c = addActivity("X3", 2, "", "", 9);        // no work type
  const int32_t d = addActivity("X4", 2, "A01", "102", 0);  // no quantity
  NumericItemOptions o;
  o.durationsFromDaily = true;
  const NumericItemCounts n = deriveNumericItems(&db, info, o);
  EXPECT_EQ(n.durations, 1);
  EXPECT_EQ(n.durationsRefused, 0);
  const ActRecord r = activity(a);
  EXPECT_EQ(+r.duration, 4);
  EXPECT_EQ(+r.remaining, 4);
  EXPECT_EQ(+r.finish, packDate(2023, 3, 9));
  EXPECT_EQ(+activity(b).duration, 3);
  EXPECT_EQ(+activity(c).duration, 2);
  EXPECT_EQ(+activity(d).duration, 2);
  expectIndexesExact();
}

TEST_F(Processing, WeightsAddUpToHundredAndZeroTotalsChangeNothing) {
  classify();
  const int32_t a = addActivity("X1", 1, "A01", "101", 1);
  const int32_t b = addActivity("X2", 1, "A01", "102", 1);
  const int32_t c = addActivity("X3", 1, "", "", 1);
  NumericItemOptions o;
  o.contractWeights = o.executionWeights = true;
  // No prices yet: every amount is 0, nothing is written.
  NumericItemCounts n = deriveNumericItems(&db, info, o);
  EXPECT_EQ(n.contractWeights, 0);
  EXPECT_EQ(+activity(a).contractWeight, 0.0f);

  for (int32_t slot : {a, b, c}) {
    ActRecord r = activity(slot);
    r.contractPrice = r.executionPrice = 1;
    update(slot, r);
  }
  EXPECT_EQ(db.act.tb.liveCount, 3u);
  n = deriveNumericItems(&db, info, o);
  EXPECT_EQ(n.contractWeights, 3);
  double sum = 0;
  for (int32_t slot : {a, b, c}) sum += activity(slot).contractWeight;
  EXPECT_NEAR(sum, 100.0, 1e-4);
  EXPECT_FLOAT_EQ(+activity(a).contractWeight, 33.34f);  // the first largest takes 0.01
  EXPECT_FLOAT_EQ(+activity(b).executionWeight, 33.33f);
}

TEST_F(Processing, ProgressFromTheDataDate) {
  classify();
  info.dataDate = packDate(2023, 3, 13);  // Monday; 6..10 March is done
  const int32_t done = addActivity("X1", 3, "A01", "101");
  const int32_t going = addActivity("X2", 10, "A01", "102");
  const int32_t waiting = addActivity("X3", 4);
  // Planned to start after the data date: stays untouched in its progress.
  ActRecord later = activity(waiting);
  later.plannedStart = packDate(2023, 3, 20);
  update(waiting, later);
  const int32_t shared = addActivity("T1", 10, "A02", "101", 20, 2);
  ASSERT_NE(waiting, -1);

  int32_t entries = 0;
  EXPECT_EQ(deriveProjectProgress(&db, info.dataDate, 3, {}, &entries), 4);
  EXPECT_EQ(entries, 1);
  EXPECT_EQ(+activity(done).actualStart, packDate(2023, 3, 6));
  EXPECT_EQ(+activity(done).actualFinish, packDate(2023, 3, 8));
  EXPECT_EQ(+activity(done).remaining, 0);
  EXPECT_EQ(+activity(going).remaining, 5);
  EXPECT_EQ(+activity(going).actualFinish, 0);
  EXPECT_EQ(+activity(waiting).remaining, 4);
  EXPECT_EQ(+activity(waiting).actualStart, 0);

  // The time-shared activity's quantity done (5 of 10 days of 20) for the
  // data date; a second run replaces that entry instead of adding one.
  ASSERT_EQ(db.spa.count, 1u);
  SpaEntry e;
  db.spa.current = 0;
  ASSERT_EQ(xiGet(&db.spa, &e), 1);
  EXPECT_EQ(+e.activity, shared);
  EXPECT_EQ(+e.day, info.dataDate);
  EXPECT_EQ(+e.value, 10);
  EXPECT_EQ(deriveProjectProgress(&db, info.dataDate, 3, std::vector<int32_t>{shared}), 1);
  EXPECT_EQ(db.spa.count, 1u);
  expectIndexesExact();
}

TEST_F(Processing, CrewInputsRoundUpByResourceClassAndFollowProgress) {
  classify();
  addResource("L01");
  addResource("M01");
  const int32_t a = addActivity("X1", 10, "A01", "101");
  ActRecord r = activity(a);
  r.remaining = 4;
  update(a, r, 0);
  const int32_t labour = addDetail("X1", "L01", 2.4);
  const int32_t machine = addDetail("X1", "M01", 2.4);
  NumericItemOptions o;
  o.crewInputs = o.roundUpInputs = true;
  o.resourceClass = "Labour";
  EXPECT_EQ(deriveNumericItems(&db, info, o).crewDetails, 2);
  const OprRecord l = at<OprRecord>(db.opr.tb, labour);
  const OprRecord m = at<OprRecord>(db.opr.tb, machine);
  EXPECT_EQ(+l.quantity, 3);
  EXPECT_DOUBLE_EQ(+l.actualQuantity, 1.8);  // 6 of 10 days
  EXPECT_DOUBLE_EQ(+m.quantity, 2.4);
  EXPECT_DOUBLE_EQ(+m.actualQuantity, 1.44);
  expectIndexesExact();
}

TEST_F(Processing, ActualWorkFiguresSkipOnlyTheValuesThatWouldDivideByZero) {
  classify();
  addCode(0, "A03", "nothing", 0, 5);
  addResource("L01");
  addActivity("X1", 2, "A01", "101");
  addActivity("X2", 3, "A01", "102");
  addActivity("X3", 0, "A02", "101");  // only a milestone: no total duration
  addActivity("X4", 4, "A03", "101");  // quantity 0
  const int32_t c1 = addCrew("A01", "L01");
  const int32_t c2 = addCrew("A02", "L01");
  const int32_t c3 = addCrew("A03", "L01");
  addDetail("X1", "L01", 0, 4);
  addDetail("X2", "L01", 0, 6);
  addDetail("X3", "L01", 0, 3);
  addDetail("X4", "L01", 0, 8);
  const ActualWorkCounts n = computeProjectActualWork(&db, 3);
  EXPECT_EQ(n.workTypes, 4);
  EXPECT_EQ(n.crews, 3);
  EXPECT_EQ(n.details, 4);
  const auto workType = [&](const char* code) {
    for (uint32_t slot = 0; slot < db.wbs.tb.slotCount; ++slot) {
      WbsRecord w = at<WbsRecord>(db.wbs.tb, static_cast<int32_t>(slot));
      if (std::strcmp(w.code, code) == 0) return w;
    }
    return WbsRecord{};
  };
  EXPECT_EQ(+workType("A01").duration, 5);
  EXPECT_EQ(+workType("A01").dailyQuantity, 2);
  EXPECT_EQ(+workType("A02").duration, 0);
  EXPECT_EQ(+workType("A02").dailyQuantity, 0);
  EXPECT_EQ(+workType("A03").dailyQuantity, 0);  // was 5, quantity 0
  const CrewRecord a = at<CrewRecord>(db.crw.tb, c1);
  EXPECT_EQ(+a.totalQuantity, 10);
  EXPECT_EQ(+a.actualUnit, 1);
  EXPECT_EQ(+a.crewSize, 2);
  const CrewRecord b = at<CrewRecord>(db.crw.tb, c2);
  EXPECT_EQ(+b.totalQuantity, 3);
  EXPECT_EQ(+b.actualUnit, 0.5);
  EXPECT_EQ(+b.crewSize, 0);  // no duration
  const CrewRecord c = at<CrewRecord>(db.crw.tb, c3);
  EXPECT_EQ(+c.totalQuantity, 8);
  EXPECT_EQ(+c.actualUnit, 0);  // no quantity
  EXPECT_EQ(+c.crewSize, 2);
  expectIndexesExact();
}

TEST_F(Processing, NextStageFixesThePlanOnlyAtTheFirstClosing) {
  const int32_t a = addActivity("X1", 3);
  ActRecord r = activity(a);
  r.totalFloat = 2;
  update(a, r);
  // A bad period changes nothing, not even the planned schedule.
  int32_t planned = -1;
  EXPECT_EQ(advanceProjectStage(&db, &info, packDate(2023, 3, 1), 0, 100, true, &planned),
            kStageBadFinish);
  EXPECT_EQ(advanceProjectStage(&db, &info, 0x0000, packDate(2023, 3, 31), 100, true),
            kStageBadStart);
  EXPECT_EQ(advanceProjectStage(&db, &info, packDate(2023, 3, 31), packDate(2023, 3, 1), 100, true),
            kStageBadFinish);
  EXPECT_EQ(planned, 0);
  EXPECT_EQ(+activity(a).plannedStart, 0);
  EXPECT_EQ(+info.stage, 0);

  ASSERT_EQ(advanceProjectStage(&db, &info, packDate(2023, 3, 1), packDate(2023, 3, 31), 100, true,
                                &planned),
            kStageClosed);
  EXPECT_EQ(planned, 1);
  EXPECT_EQ(+activity(a).plannedStart, packDate(2023, 3, 8));  // two days of float later
  EXPECT_EQ(+info.stage, 1);
  EXPECT_EQ(+info.dataDate, packDate(2023, 4, 3));  // Friday 31 March -> Monday

  r = activity(a);
  r.plannedStart = 0;
  update(a, r);
  ASSERT_EQ(advanceProjectStage(&db, &info, packDate(2023, 4, 3), packDate(2023, 4, 28), 0, true,
                                &planned),
            kStageClosed);
  EXPECT_EQ(planned, 0);
  EXPECT_EQ(+activity(a).plannedStart, 0);
  EXPECT_EQ(+info.stage, 2);
  EXPECT_EQ(+info.dataDate, packDate(2023, 5, 1));
  expectIndexesExact();
}

TEST_F(Processing, RewriteFromTheMapCarriesRelationsDetailsAndSharedEntries) {
  classify();
  addResource("L01");
  const int32_t a = addActivity("X1", 2, "A01", "101");
  const int32_t b = addActivity("X2", 2, "A02", "102", 6, 2);
  const int32_t free = addActivity("FREE", 2);
  relate("X1", "X2");
  relate("FREE", "X1");
  addDetail("X2", "L01", 1);
  addDetail("FREE", "L01", 1);
  SpaEntry e{b, packDate(2023, 3, 7), 2.5};
  db.spa.current = XJOR_NONE;
  ASSERT_EQ(xInputRecSpa(&db, &e), 0);

  const MapRewriteOutcome out = rewriteCodesFromMap(&db, info);
  EXPECT_TRUE(out.clashes.empty());
  EXPECT_EQ(out.codes, 2);
  EXPECT_EQ(out.names, 2);
  EXPECT_EQ(out.refused, 0);
  EXPECT_STREQ(activity(a).code, "A01101");
  EXPECT_STREQ(activity(a).title, "east F1 con");
  EXPECT_STREQ(activity(b).code, "A02102");
  EXPECT_STREQ(activity(b).title, "east F2 rebar");
  EXPECT_STREQ(activity(free).code, "FREE");
  EXPECT_STREQ(activity(free).title, "FREE");

  std::vector<std::pair<std::string, std::string>> relations;
  for (uint32_t slot = 0; slot < db.rel.tb.slotCount; ++slot) {
    const RelRecord r = at<RelRecord>(db.rel.tb, static_cast<int32_t>(slot));
    relations.emplace_back(r.pred, r.succ);
  }
  EXPECT_EQ(relations, (std::vector<std::pair<std::string, std::string>>{{"A01101", "A02102"},
                                                                         {"FREE", "A01101"}}));
  std::vector<std::string> details;
  for (uint32_t slot = 0; slot < db.opr.tb.slotCount; ++slot) {
    details.push_back(at<OprRecord>(db.opr.tb, static_cast<int32_t>(slot)).actCode);
  }
  EXPECT_EQ(details, (std::vector<std::string>{"A02102", "FREE"}));
  ASSERT_EQ(db.spa.count, 1u);
  db.spa.current = 0;
  ASSERT_EQ(xiGet(&db.spa, &e), 1);
  EXPECT_EQ(+e.activity, b);
  expectIndexesExact();

  // A second run finds nothing to change.
  const MapRewriteOutcome again = rewriteCodesFromMap(&db, info);
  EXPECT_EQ(again.codes + again.names + again.refused, 0);
}

TEST_F(Processing, RewriteThatWouldJoinTwoCodesChangesNothing) {
  classify();
  const int32_t a = addActivity("X1", 2, "A01", "101");
  // An activity without a work type already holds the code X1 would get.
  const int32_t held = addActivity("A01101", 2);
  // Codes that swap places are no clash: X2 takes A02101, A02101 takes A02102.
  const int32_t x2 = addActivity("X2", 1, "A02", "101");
  const int32_t x3 = addActivity("A02101", 1, "A02", "102");
  const MapRewriteOutcome out = rewriteCodesFromMap(&db, info);
  ASSERT_EQ(out.clashes.size(), 1u);
  EXPECT_EQ(out.clashes[0], (std::vector<std::string>{"A01101", "X1", "A01101"}));
  EXPECT_STREQ(activity(a).code, "X1");
  EXPECT_STREQ(activity(held).code, "A01101");
  EXPECT_STREQ(activity(x2).code, "X2");
  expectIndexesExact();

  db.act.tb.current = held;
  ASSERT_EQ(xDeleteRecAct(&db), 1);
  const MapRewriteOutcome second = rewriteCodesFromMap(&db, info);
  EXPECT_TRUE(second.clashes.empty());
  EXPECT_EQ(second.codes, 3);
  EXPECT_STREQ(activity(x2).code, "A02101");
  EXPECT_STREQ(activity(x3).code, "A02102");
  expectIndexesExact();
}

TEST_F(Processing, RewriteLeavesActivitiesTheRecordInputRefuses) {
  classify();
  const int32_t a = addActivity("X1", 2, "A01", "101");
  addActivity("X2", 2);
  relate("X1", "X2");
  // A third work-type level: A01 is no longer a final-level code.
  uint8_t both[404];
  ASSERT_EQ(xOption(&db.opt, XOPT_READ, 1, both, sizeof both), 1);
  both[0] = 3;
  both[2 + 4] = 3;
  both[18 + 4] = 1;
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 1, both, sizeof both), 0);
  const MapRewriteOutcome out = rewriteCodesFromMap(&db, info);
  EXPECT_TRUE(out.clashes.empty());
  EXPECT_EQ(out.refused, 1);
  EXPECT_EQ(out.codes + out.names, 0);
  EXPECT_STREQ(activity(a).code, "X1");
  EXPECT_STREQ(activity(a).title, "X1");
  expectIndexesExact();
}

}  // namespace
}  // namespace kelvo::testing

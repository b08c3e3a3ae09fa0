// The analysis on a project database: what it reads, and what it leaves in
// the records, the indexes and the project information.
#include "kelvo/project_schedule.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>

#include "list_calendars.h"
#include "project_fixture.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo::testing {
namespace {

uint16_t D(int y, int m, int d) {
  return packDate(y, m, d);
}

class ProjectScheduleTest : public ProjectFolderFixture {
 protected:
  void SetUp() override {
    ProjectFolderFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(installInEngine(0, ListCalendars::fiveDayWeek(D(1999, 1, 1), D(2001, 12, 31))));
  }

  // Adds an activity record with its code index and order index entries.
  int32_t addActivity(const char* code, int16_t duration, int16_t path) {
    std::vector<uint8_t> bytes(db.act.tb.recordSize, 0);
    ActRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.code, code);
    r.flags = 0x3000;
    r.duration = r.remaining = duration;
    r.calendar = 1;
    r.path = path;
    std::memcpy(bytes.data(), &r, sizeof r);
    EXPECT_EQ(xAddRec(&db.act.tb, bytes.data()), 1);
    const int32_t record = db.act.tb.current;
    ActCodeEntry e = {};
    std::strcpy(e.code, code);
    e.path = path;
    e.record = record;
    EXPECT_EQ(xmAdd(&db.actCodes, &e), 1);
    ActOrderEntry o = {path, record, 0, 0};
    EXPECT_EQ(xmAdd(&db.actOrder, &o), 1);
    return record;
  }
  // Adds a relation record with its entries in the anchor index and the two
  // code indexes.
  void addRelation(const char* pred, const char* succ, int16_t kind, int16_t row) {
    RelRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.pred, pred);
    std::strcpy(r.succ, succ);
    r.kind = kind;
    r.row = row;
    std::vector<uint8_t> bytes(db.rel.tb.recordSize, 0);
    std::memcpy(bytes.data(), &r, sizeof r);
    ASSERT_EQ(xAddRec(&db.rel.tb, bytes.data()), 1);
    const int32_t record = db.rel.tb.current;
    RelAnchorEntry e = {row, record, 0, 0, 0, 0};
    ASSERT_EQ(xmAdd(&db.relAnchor, &e), 1);
    RelCodeEntry byPred = {}, bySucc = {};
    std::strcpy(byPred.first, pred);
    std::strcpy(byPred.second, succ);
    std::strcpy(bySucc.first, succ);
    std::strcpy(bySucc.second, pred);
    byPred.record = bySucc.record = record;
    ASSERT_EQ(xmAdd(&db.relByPred, &byPred), 1);
    ASSERT_EQ(xmAdd(&db.relBySucc, &bySucc), 1);
  }
  ActRecord activity(int32_t record) {
    std::vector<uint8_t> bytes(db.act.tb.recordSize);
    db.act.tb.current = record;
    EXPECT_EQ(xGetRec(&db.act.tb, bytes.data()), 1);
    ActRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    return r;
  }
  // A copy of entry i (the entries are packed, so members are not bound by reference).
  template <class Entry>
  Entry entry(const MemTable& m, uint32_t i) {
    Entry e;
    std::memcpy(&e, m.data + i * m.recordSize, sizeof e);
    return e;
  }
};

TEST_F(ProjectScheduleTest, DatesRecordsIndexesAndProjectInformation) {
  const int32_t q = addActivity("Q", 3, 2);
  const int32_t p = addActivity("P", 3, 1);
  const int32_t i = addActivity("I", 2, 3);
  addActivity("R", 2, 4);
  addRelation("P", "Q", kFinishToStart, 1);
  addRelation("P", "R", kStartToStart, 2);  // anchored at the starts
  xSetCalNo(3);

  const ScheduleOutcome out = scheduleProject(&db, &info, D(2000, 1, 3));
  ASSERT_EQ(out.result, kScheduleDone);
  EXPECT_EQ(xGetCalNo(), 0);
  const ActRecord rp = activity(p), rq = activity(q), ri = activity(i);
  EXPECT_EQ(+rp.earlyFinish, D(2000, 1, 5));
  EXPECT_EQ(+rq.earlyStart, D(2000, 1, 6));
  EXPECT_EQ(+rq.finish, D(2000, 1, 10));
  EXPECT_EQ(+rq.flags, 0x7000);
  EXPECT_EQ(+rp.anchor, D(2000, 1, 6));
  EXPECT_EQ(+ri.flags, 0xF000);
  EXPECT_EQ(std::strcmp(rq.code, "Q"), 0);  // the rest of the record is kept
  EXPECT_EQ(+rq.path, 2);
  EXPECT_EQ(+info.start, D(2000, 1, 3));
  EXPECT_EQ(+info.finish, D(2000, 1, 10));

  // Code index in code order: I, P, Q, R.
  EXPECT_EQ(+entry<ActCodeEntry>(db.actCodes, 1).start, D(2000, 1, 3));
  EXPECT_EQ(+entry<ActCodeEntry>(db.actCodes, 2).start, D(2000, 1, 6));
  EXPECT_EQ(+entry<ActCodeEntry>(db.actCodes, 2).anchor, D(2000, 1, 11));
  // Order index by path: P, Q, I, R.
  EXPECT_EQ(+entry<ActOrderEntry>(db.actOrder, 1).record, q);
  EXPECT_EQ(+entry<ActOrderEntry>(db.actOrder, 1).start, D(2000, 1, 6));
  EXPECT_EQ(+entry<ActOrderEntry>(db.actOrder, 1).anchor, D(2000, 1, 11));
  // Relation anchors: FS from P's anchor day to Q's start; SS start to start.
  EXPECT_EQ(+entry<RelAnchorEntry>(db.relAnchor, 0).predAnchor, D(2000, 1, 6));
  EXPECT_EQ(+entry<RelAnchorEntry>(db.relAnchor, 0).succAnchor, D(2000, 1, 6));
  EXPECT_EQ(+entry<RelAnchorEntry>(db.relAnchor, 1).predAnchor, D(2000, 1, 3));
  EXPECT_EQ(+entry<RelAnchorEntry>(db.relAnchor, 1).succAnchor, D(2000, 1, 3));
}

TEST_F(ProjectScheduleTest, FreedSlotsAndRecordsOutOfCodeOrder) {
  // Slot 0 of both tables freed, and Z's record before A's.
  std::vector<uint8_t> blankActivity(db.act.tb.recordSize, 0);
  ASSERT_EQ(xAddRec(&db.act.tb, blankActivity.data()), 1);
  const int32_t z = addActivity("Z", 2, 1);
  const int32_t a = addActivity("A", 4, 2);
  std::vector<uint8_t> blankRelation(db.rel.tb.recordSize, 0);
  ASSERT_EQ(xAddRec(&db.rel.tb, blankRelation.data()), 1);
  addRelation("A", "Z", kFinishToStart, 1);
  db.act.tb.current = 0;
  ASSERT_EQ(xDelRec(&db.act.tb), 1);
  db.rel.tb.current = 0;
  ASSERT_EQ(xDelRec(&db.rel.tb), 1);

  ASSERT_EQ(scheduleProject(&db, &info, D(2000, 1, 3)).result, kScheduleDone);
  EXPECT_EQ(+activity(a).earlyFinish, D(2000, 1, 6));
  EXPECT_EQ(+activity(z).earlyStart, D(2000, 1, 7));
  EXPECT_EQ(+activity(z).finish, D(2000, 1, 10));
  EXPECT_EQ(+entry<ActCodeEntry>(db.actCodes, 1).start, D(2000, 1, 7));   // Z after A
  EXPECT_EQ(+entry<ActOrderEntry>(db.actOrder, 0).start, D(2000, 1, 7));  // Z's path first
  EXPECT_EQ(+entry<RelAnchorEntry>(db.relAnchor, 0).succAnchor, D(2000, 1, 7));
}

TEST_F(ProjectScheduleTest, FailureKeepsTheProjectDates) {
  addActivity("P", 3, 1);
  addActivity("Q", 3, 2);
  addRelation("P", "Q", kFinishToStart, 1);
  addRelation("P", "GONE", kFinishToStart, 2);  // names no activity
  info.start = D(1999, 5, 5);
  info.finish = D(1999, 6, 6);
  EXPECT_EQ(scheduleProject(&db, &info, D(2000, 1, 3)).result, kScheduleUnreachable);
  EXPECT_EQ(+info.start, D(1999, 5, 5));
  EXPECT_EQ(+info.finish, D(1999, 6, 6));
}

TEST_F(ProjectScheduleTest, IndexEntryWithoutRecordIsADamagedProject) {
  const int32_t p = addActivity("P", 3, 1);
  addActivity("Q", 3, 2);
  addRelation("P", "Q", kFinishToStart, 1);
  db.act.tb.current = p;
  ASSERT_EQ(xDelRec(&db.act.tb), 1);  // the index still names it
  EXPECT_EQ(scheduleProject(&db, &info, D(2000, 1, 3)).result, kScheduleDamagedProject);
}

}  // namespace
}  // namespace kelvo::testing

namespace kelvo::testing {
namespace {

// Records entered through the record operations: after the analysis every
// index still equals a rebuild from the records.
TEST(ProjectScheduleIndexes, IndexesStayExactAfterTheAnalysis) {
  char pattern[] = "/tmp/schedule_check_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  int32_t ref = -1;
  ASSERT_EQ(xOpenRef(&ref, KELVO_BIN_DIR "/Kelvo.ref"), 1);
  ProjectDb db;
  ASSERT_EQ(xCreateDB(&db, nullptr, (folder + "/").c_str(), nullptr), 1);
  db.space.refHandle = ref;
  ASSERT_EQ(xInitializeDB(&db, nullptr), 1);
  ASSERT_TRUE(
      installInEngine(0, ListCalendars::fiveDayWeek(packDate(1999, 1, 1), packDate(2001, 12, 31))));

  std::vector<uint8_t> bytes(db.act.tb.recordSize);
  const char* codes[] = {"A1", "A2", "A3", "A4", "A5"};
  for (int i = 0; i < 5; ++i) {
    std::fill(bytes.begin(), bytes.end(), 0);
    ActRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.code, codes[i]);
    r.duration = static_cast<int16_t>(2 + i);
    r.calendar = 1;
    r.path = static_cast<int16_t>(5 - i);
    std::memcpy(bytes.data(), &r, sizeof r);
    db.act.tb.current = -1;
    ASSERT_EQ(xInputRecAct(&db, bytes.data(), packDate(2000, 1, 3), 0, 0, 0), 0);
  }
  const struct {
    const char *pred, *succ;
    int16_t kind, lag, row;
  } links[] = {{"A1", "A2", 0, 1, 1},
               {"A1", "A3", 2, 0, 2},
               {"A2", "A4", 1, 0, 3},
               {"A3", "A4", 3, 2, 4},
               {"A4", "A5", 0, 0, 5}};
  std::vector<uint8_t> relBytes(db.rel.tb.recordSize);
  for (const auto& l : links) {
    std::fill(relBytes.begin(), relBytes.end(), 0);
    RelRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.pred, l.pred);
    std::strcpy(r.succ, l.succ);
    r.kind = l.kind;
    r.lag = l.lag;
    r.row = l.row;
    std::memcpy(relBytes.data(), &r, sizeof r);
    db.rel.tb.current = -1;
    ASSERT_EQ(xInputRecRel(&db, relBytes.data()), 0);
  }

  PrjInfo info;
  std::memset(&info, 0, sizeof info);
  EXPECT_EQ(scheduleProject(&db, &info, packDate(2000, 1, 10)).result, kScheduleDone);
  EXPECT_EQ(+info.start, packDate(2000, 1, 10));
  char report[256] = "";
  EXPECT_EQ(xCheckIndexes(&db, report, sizeof report), 1) << report;

  xCloseDB(&db);
  xFreeWork(0);
  xSetCalNo(0);
  xCloseFile(&ref);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kelvo::testing

// Open projects for the processing tests: an empty one whose calendar 1 is
// a five-day week over 2023, and one with both classifications and records
// entered through the record operations.
#ifndef KELVO_DOC_TESTS_PROJECT_FIXTURE_H_
#define KELVO_DOC_TESTS_PROJECT_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "list_calendars.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo::testing {

// A project store made in a folder of its own under /tmp, the project
// information all zero. Closing also empties the engine's calendar 1.
class ProjectFolderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/processing_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    ASSERT_EQ(xCreateDB(&db, nullptr, (folder_.string() + "/").c_str(), nullptr), 1);
    std::memset(&info, 0, sizeof info);
  }
  void TearDown() override {
    xCloseDB(&db);
    xFreeWork(0);
    xSetCalNo(0);
    std::filesystem::remove_all(folder_);
  }

  ProjectDb db;
  PrjInfo info;
  std::filesystem::path folder_;
};

// The store initialised from Kelvo.ref; calendar 1 is a five-day week over
// 2023.
class EmptyProjectFixture : public ProjectFolderFixture {
 protected:
  void SetUp() override {
    ProjectFolderFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(xOpenRef(&ref_, KELVO_BIN_DIR "/Kelvo.ref"), 1);
    db.space.refHandle = ref_;
    ASSERT_EQ(xInitializeDB(&db, nullptr), 1);
    ASSERT_TRUE(installInEngine(
        0, ListCalendars::fiveDayWeek(packDate(2023, 1, 1), packDate(2023, 12, 31))));
  }
  void TearDown() override {
    ProjectFolderFixture::TearDown();
    xCloseFile(&ref_);
  }

  int32_t ref_ = -1;
};

// Work types of levels 1 + 2 characters ("A", "A01") and facilities of
// levels 1 + 2 ("1", "101"); the project starts on Monday 6 March 2023.
class ProjectFixture : public EmptyProjectFixture {
 protected:
  void SetUp() override {
    EmptyProjectFixture::SetUp();
    if (HasFatalFailure()) return;
    // Option item 1: both classifications' definitions (count, starts,
    // lengths, names), 202 bytes each.
    uint8_t both[404] = {};
    for (int c = 0; c < 2; ++c) {
      uint8_t* d = both + 202 * c;
      d[0] = 2;       // levels
      d[2 + 2] = 1;   // start of level 1
      d[18] = 1;      // length of level 0
      d[18 + 2] = 2;  // length of level 1
    }
    ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 1, both, sizeof both), 0);
    info.start = packDate(2023, 3, 6);
    info.dataDate = packDate(2023, 3, 13);
  }

  // Classification code (0 work type, 1 facility) with a name and, for work
  // types, quantity and daily quantity.
  void addCode(int classification, const char* code, const char* title, double quantity = 0,
               double daily = 0) {
    TableHandle& tb = classification == 0 ? db.wbs.tb : db.obs.tb;
    WbsRecord w;
    std::memset(&w, 0, sizeof w);
    std::strncpy(w.code, code, sizeof w.code - 1);
    std::strncpy(w.title, title, sizeof w.title - 1);
    w.quantity = quantity;
    w.dailyQuantity = daily;
    ClassLevels levels = {2, {0, 1}, {1, 2}};
    ASSERT_EQ(
        xInputRecWbs(&db, newRecord(tb, w).data(), static_cast<int16_t>(classification), &levels),
        0)
        << code;
  }

  // Activity starting Monday 6 March 2023 unless r says otherwise.
  int32_t addActivity(const char* code, int16_t duration, const char* wbs = "",
                      const char* obs = "", double quantity = 0, int16_t type = 0) {
    ActRecord r;
    std::memset(&r, 0, sizeof r);
    std::strncpy(r.code, code, sizeof r.code - 1);
    std::strncpy(r.title, code, sizeof r.title - 1);
    std::strncpy(r.wbsCode, wbs, sizeof r.wbsCode - 1);
    std::strncpy(r.obsCode, obs, sizeof r.obsCode - 1);
    r.duration = r.remaining = duration;
    r.quantity = quantity;
    r.type = type;
    r.calendar = 1;
    r.start = packDate(2023, 3, 6);
    return enter(r);
  }
  // Adds r (slot -1) or changes record `slot`; returns the record input's
  // message.
  int32_t input(ActRecord r, int32_t slot = -1, int16_t dateMode = 0) {
    std::vector<uint8_t> bytes(db.act.tb.recordSize, 0);
    if (slot >= 0) {
      db.act.tb.current = slot;
      EXPECT_EQ(xGetRec(&db.act.tb, bytes.data()), 1);
    }
    std::memcpy(bytes.data(), &r, sizeof r);
    db.act.tb.current = slot;
    return xInputRecAct(&db, bytes.data(), info.start, 2, 2, dateMode);
  }
  // Adds r; returns its record number, -1 when it was refused.
  int32_t enter(ActRecord r, int16_t dateMode = 0) {
    return input(r, -1, dateMode) == 0 ? db.act.tb.current : -1;
  }
  void update(int32_t slot, ActRecord r, int16_t dateMode = -1) {
    EXPECT_EQ(input(r, slot, dateMode), 0) << r.code;
  }
  // r in a zeroed buffer of the table's record size, the table set to add.
  template <typename Record>
  static std::vector<uint8_t> newRecord(TableHandle& tb, const Record& r) {
    std::vector<uint8_t> bytes(tb.recordSize, 0);
    std::memcpy(bytes.data(), &r, std::min(sizeof r, bytes.size()));
    tb.current = -1;
    return bytes;
  }
  void relate(const char* pred, const char* succ) {
    RelRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.pred, pred);
    std::strcpy(r.succ, succ);
    ASSERT_EQ(xInputRecRel(&db, newRecord(db.rel.tb, r).data()), 0);
  }
  int32_t addResource(const char* code) {
    ResRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.code, code);
    EXPECT_EQ(xInputRecRes(&db, newRecord(db.res.tb, r).data()), 0);
    return db.res.tb.current;
  }
  int32_t addCrew(const char* wbs, const char* res) {
    CrewRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.wbsCode, wbs);
    std::strcpy(r.resCode, res);
    EXPECT_EQ(xInputRecCrew(&db, newRecord(db.crw.tb, r).data(), 2), 0);
    return db.crw.tb.current;
  }
  int32_t addDetail(const char* act, const char* res, double planned, double toDate = 0) {
    OprRecord r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.actCode, act);
    std::strcpy(r.resCode, res);
    r.quantity = planned;
    r.actualQuantity = toDate;
    EXPECT_EQ(xInputRecOpr(&db, newRecord(db.opr.tb, r).data()), 0);
    return db.opr.tb.current;
  }

  template <typename Record>
  Record at(TableHandle& tb, int32_t slot) {
    std::vector<uint8_t> bytes(tb.recordSize);
    tb.current = slot;
    EXPECT_EQ(xGetRec(&tb, bytes.data()), 1);
    Record r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(&r, bytes.data(), std::min(sizeof r, bytes.size()));
    return r;
  }
  ActRecord activity(int32_t slot) { return at<ActRecord>(db.act.tb, slot); }

  // Sets the decimals of every field of the given digit class.
  void setDecimals(uint32_t digitClass, int decimals) {
    for (TableHandle* tb : {&db.wbs.tb, &db.act.tb, &db.crw.tb, &db.opr.tb}) {
      for (int16_t i = 0; i < tb->fieldCount; ++i) {
        if (tb->fields[i].flags & digitClass)
          tb->fields[i].decimals = static_cast<int8_t>(decimals);
      }
    }
  }

  void expectIndexesExact() {
    char report[256] = "";
    EXPECT_EQ(xCheckIndexes(&db, report, sizeof report), 1) << report;
  }
};

}  // namespace kelvo::testing

#endif  // KELVO_DOC_TESTS_PROJECT_FIXTURE_H_

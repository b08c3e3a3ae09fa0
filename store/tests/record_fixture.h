// A project with levels of lengths 2, 2, 2 in both classifications and
// helpers that enter records through the record operations. Every test
// ends with the integrity check.
#ifndef STORE_TESTS_RECORD_FIXTURE_H_
#define STORE_TESTS_RECORD_FIXTURE_H_

#include "store_fixture.h"
#include "xjor/packed_date.h"

inline constexpr auto Day = xjor::packDate;

class RecordTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    levels_ = {3, {0, 2, 4}, {2, 2, 2}};
  }
  void TearDown() override {
    if (!HasFatalFailure()) ExpectIntact(&db_);
    StoreTest::TearDown();
  }

  static void ExpectIntact(ProjectDb* db) {
    char report[200] = "?";
    EXPECT_EQ(xCheckIndexes(db, report, sizeof report), 1) << report;
  }

  // Calendar 1: Monday to Friday, December 2023 to December 2024. Freed
  // by the caller with xFreeWork(0).
  static void InstallFiveDayCalendar() {
    std::vector<uint16_t> days;
    for (uint16_t d = Day(2023, 12, 1); d <= Day(2024, 12, 31); ++d) {
      if (xIsValidT(d) && xGetDayOfWeek(d) >= 1 && xGetDayOfWeek(d) <= 5) days.push_back(d);
    }
    uint16_t* cal = xSetWork(0, static_cast<int32_t>(days.size()));
    ASSERT_NE(cal, nullptr);
    std::copy(days.begin(), days.end(), cal);
  }

  // Copies code into a field of width bytes, NUL-padded (a code as wide as
  // the field fills it without a NUL).
  static void Fill(char* field, const char* code, size_t width) {
    memset(field, 0, width);
    memcpy(field, code, strnlen(code, width));
  }

  // Adds (current -1) or edits (current slot) a record.
  int32_t Class(int16_t cls, const char* code, int32_t slot = -1) {
    std::vector<uint8_t> rec(cls == 0 ? XQD_WBS_SIZE : XQD_OBS_SIZE, 0);
    TableBinding* t = cls == 0 ? &cur_->wbs : &cur_->obs;
    if (slot >= 0) {
      t->tb.current = slot;
      xGetRec(&t->tb, rec.data());
    } else {
      t->tb.current = -1;
    }
    WbsRecord* w = reinterpret_cast<WbsRecord*>(rec.data());
    memset(w->code, 0, sizeof w->code);
    memcpy(w->code, code, strnlen(code, sizeof w->code));
    return xInputRecWbs(cur_, rec.data(), cls, &levels_);
  }
  int32_t Resource(const char* code) {
    ResRecord r = {};
    Fill(r.code, code, sizeof r.code);
    cur_->res.tb.current = -1;
    return xInputRecRes(cur_, &r);
  }
  int32_t Crew(const char* wbs, const char* res) {
    CrewRecord c = {};
    Fill(c.wbsCode, wbs, sizeof c.wbsCode);
    Fill(c.resCode, res, sizeof c.resCode);
    cur_->crw.tb.current = -1;
    return xInputRecCrew(cur_, &c, 3);
  }
  int32_t Detail(const char* act, const char* res) {
    OprRecord o = {};
    Fill(o.actCode, act, sizeof o.actCode);
    Fill(o.resCode, res, sizeof o.resCode);
    cur_->opr.tb.current = -1;
    return xInputRecOpr(cur_, &o);
  }
  int32_t Activity(const char* code, const char* wbs = "", const char* obs = "",
                   int16_t duration = 5, int16_t mode = 0) {
    ActRecord a = {};
    Fill(a.code, code, sizeof a.code);
    Fill(a.wbsCode, wbs, sizeof a.wbsCode);
    Fill(a.obsCode, obs, sizeof a.obsCode);
    a.duration = duration;
    cur_->act.tb.current = -1;
    return xInputRecAct(cur_, &a, Day(2024, 1, 1), 3, 3, mode);
  }
  int32_t Relation(const char* pred, const char* succ, int16_t kind = 0, int16_t row = 0) {
    RelRecord r = {};
    Fill(r.pred, pred, sizeof r.pred);
    Fill(r.succ, succ, sizeof r.succ);
    r.kind = kind;
    r.row = row;
    cur_->rel.tb.current = -1;
    return xInputRecRel(cur_, &r);
  }
  // A classification path down to a final-level code: "A1" makes A1, A101,
  // A10101.
  void Tree(int16_t cls, const char* top) {
    const std::string t = top;
    for (const std::string& c : {t, t + "01", t + "0101"}) ASSERT_EQ(Class(cls, c.c_str()), 0) << c;
  }

  // Slot of a record found by its code in an index, or -1.
  int32_t ActSlot(const char* code) {
    ActCodeEntry key = {};
    Fill(key.code, code, sizeof key.code);
    return xmSeek(&cur_->actCodes, &key) == 1
               ? reinterpret_cast<ActCodeEntry*>(cur_->actCodes.data +
                                                 cur_->actCodes.current * sizeof key)
                     ->record
               : -1;
  }
  ActRecord Act(const char* code) {
    ActRecord a = {};
    cur_->act.tb.current = ActSlot(code);
    EXPECT_EQ(xGetRec(&cur_->act.tb, &a), 1) << code;
    return a;
  }
  // Edits the activity through xInputRecAct after change() altered it.
  template <class F>
  int32_t EditAct(const char* code, F change, int16_t mode = 1) {
    ActRecord a = Act(code);
    change(&a);
    return xInputRecAct(cur_, &a, Day(2024, 1, 1), 3, 3, mode);
  }
  template <class E>
  static std::vector<E> Entries(const MemTable& m) {
    const E* p = reinterpret_cast<const E*>(m.data);
    return std::vector<E>(p, p + m.count);
  }
  template <class E>
  static std::vector<E> Entries(IndexTable* t) {
    std::vector<E> out(t->count);
    for (uint32_t i = 0; i < t->count; ++i) {
      t->current = i;
      xiGet(t, &out[i]);
    }
    return out;
  }
  static uint32_t Live(const TableBinding& t) { return t.tb.liveCount; }

  ClassLevels levels_;
  ProjectDb* cur_ = &db_;  // the project the helpers work on
};

#endif  // STORE_TESTS_RECORD_FIXTURE_H_

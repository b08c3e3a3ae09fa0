// 20,000 random input and delete operations over every kind of record,
// valid and invalid: the indexes stay equal to a rebuild from the tables,
// and every refused operation leaves the project as it was.
#include <unistd.h>

#include <random>

#include "record_fixture.h"

namespace {

class RecordRandomTest : public RecordTest {
 protected:
  void SetUp() override {
    RecordTest::SetUp();
    InstallFiveDayCalendar();
  }
  void TearDown() override {
    xFreeWork(0);
    RecordTest::TearDown();
  }

  // Everything the operations may change: table counts and slot files,
  // index files and memory tables.
  std::vector<uint8_t> Snapshot() {
    std::vector<uint8_t> out;
    auto put = [&out](const void* p, size_t n) {
      const uint8_t* b = static_cast<const uint8_t*>(p);
      out.insert(out.end(), b, b + n);
    };
    auto file = [&](int fd, size_t n) {
      std::vector<uint8_t> bytes(n);
      if (n > 0) {
        EXPECT_EQ(pread(fd, bytes.data(), n, 0), static_cast<ssize_t>(n));
      }
      put(bytes.data(), n);
    };
    for (TableBinding* t : {&db_.wbs, &db_.obs, &db_.res, &db_.crw, &db_.act, &db_.rel, &db_.opr}) {
      put(&t->tb.liveCount, 12);
      file(t->tb.handle, static_cast<size_t>(t->tb.slotCount) * (t->tb.recordSize + 4));
    }
    for (IndexTable* x :
         {&db_.ire, &db_.cr1, &db_.cr2, &db_.wa1, &db_.wa2, &db_.spa, &db_.op1, &db_.op2}) {
      put(&x->count, 4);
      file(x->handle, static_cast<size_t>(x->count) * x->recordSize);
    }
    for (MemTable* m : {&db_.wbsCodes, &db_.obsCodes, &db_.actCodes, &db_.actOrder, &db_.relByPred,
                        &db_.relBySucc, &db_.relAnchor}) {
      put(&m->count, 4);
      if (m->count > 0) put(m->data, static_cast<size_t>(m->count) * m->recordSize);
    }
    return out;
  }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Pick(100) < percent; }

  // A classification code of a random level (now and then of no level).
  std::string ClassCode() {
    static const char* tops[] = {"A1", "A2", "B1"};
    std::string c = tops[Pick(3)];
    const int level = Pick(3);
    for (int i = 0; i < level; ++i) c += Pick(2) ? "01" : "02";
    if (Chance(3)) c += "X";
    return c;
  }
  std::string FinalCode() {
    std::string c = ClassCode();
    while (c.size() < 6 && Chance(80)) c += "01";
    return c;
  }
  std::string ActCode() { return Chance(2) ? "" : "K" + std::to_string(Pick(60)); }
  // Mostly the code of an existing activity.
  std::string LinkedCode() {
    if (db_.actCodes.count == 0 || Chance(20)) return ActCode();
    const ActCodeEntry* e = reinterpret_cast<const ActCodeEntry*>(db_.actCodes.data);
    return e[Pick(db_.actCodes.count)].code;
  }
  std::string ResCode() { return Chance(2) ? "" : "R" + std::to_string(Pick(10)); }
  uint16_t RandomDay() { return Chance(70) ? 0 : Day(2024, 1 + Pick(6), 1 + Pick(28)); }

  // Makes a random slot current (a live one, a deleted one, or none) and
  // reads it into rec; returns whether a record was read.
  bool Aim(TableBinding* t, void* rec) {
    memset(rec, 0, t->tb.recordSize);
    t->tb.current = t->tb.slotCount == 0 || Chance(25) ? -1 : Pick(t->tb.slotCount);
    return xGetRec(&t->tb, rec) == 1;
  }
  static void Set(char* field, const std::string& code, size_t width) {
    memset(field, 0, width);
    memcpy(field, code.data(), std::min(code.size(), width));
  }

  int32_t RandomOperation() {
    uint8_t rec[512];
    // Deletes of classification codes and activities are rarer than
    // inputs, so that the project keeps growing.
    const int kind = Pick(16);
    switch (kind < 12 ? kind : kind < 14 ? 4 : 7) {
      case 0: {  // classification code: add or rename
        const int16_t cls = static_cast<int16_t>(Pick(2));
        WbsRecord* w = reinterpret_cast<WbsRecord*>(rec);
        Aim(cls == 0 ? &db_.wbs : &db_.obs, rec);
        Set(w->code, ClassCode(), sizeof w->code);
        return xInputRecWbs(&db_, rec, cls, &levels_);
      }
      case 1: {
        if (Chance(85)) return -1;
        const int16_t cls = static_cast<int16_t>(Pick(2));
        Aim(cls == 0 ? &db_.wbs : &db_.obs, rec);
        return xDeleteRecWbs(&db_, cls) ? 0 : -1;
      }
      case 2: {
        ResRecord* r = reinterpret_cast<ResRecord*>(rec);
        if (Chance(15)) {
          Aim(&db_.res, rec);
          return xDeleteRecRes(&db_) ? 0 : -1;
        }
        Aim(&db_.res, rec);
        Set(r->code, ResCode(), sizeof r->code);
        return xInputRecRes(&db_, rec);
      }
      case 3: {
        CrewRecord* c = reinterpret_cast<CrewRecord*>(rec);
        if (Chance(20)) {
          Aim(&db_.crw, rec);
          return xDeleteRecCrew(&db_) ? 0 : -1;
        }
        Aim(&db_.crw, rec);
        if (Chance(70)) Set(c->wbsCode, FinalCode(), sizeof c->wbsCode);
        if (Chance(70)) Set(c->resCode, ResCode(), sizeof c->resCode);
        c->unitQuantity = Pick(100);
        return xInputRecCrew(&db_, rec, 3);
      }
      case 4:
      case 5: {  // activity: add or edit
        ActRecord* a = reinterpret_cast<ActRecord*>(rec);
        Aim(&db_.act, rec);
        if (Chance(60)) Set(a->code, ActCode(), sizeof a->code);
        if (Chance(30)) {
          const bool placed = Chance(60);
          Set(a->wbsCode, placed || Chance(10) ? FinalCode() : "", sizeof a->wbsCode);
          Set(a->obsCode, placed || Chance(10) ? FinalCode() : "", sizeof a->obsCode);
        }
        if (Chance(30)) a->start = RandomDay();
        if (Chance(20)) a->finish = RandomDay();
        if (Chance(10)) a->actualStart = RandomDay();
        if (Chance(10)) a->actualFinish = RandomDay();
        if (Chance(20)) a->duration = static_cast<int16_t>(Pick(30) - 3);
        if (Chance(20)) a->remaining = static_cast<int16_t>(Pick(30) - 3);
        if (Chance(10)) a->freeFloat = static_cast<int16_t>(Pick(6) - 2);
        if (Chance(15)) a->type = static_cast<int16_t>(Pick(3));
        if (Chance(10)) a->path = static_cast<int16_t>(Pick(5));
        if (Chance(5)) a->calendar = static_cast<int16_t>(Pick(12) - 1);
        return xInputRecAct(&db_, rec, Day(2024, 1, 1), 3, 3, static_cast<int16_t>(Pick(3) - 1));
      }
      case 6: {
        if (Chance(80)) return -1;
        Aim(&db_.act, rec);
        return xDeleteRecAct(&db_) ? 0 : -1;
      }
      case 7:
      case 8: {
        RelRecord* r = reinterpret_cast<RelRecord*>(rec);
        if (Chance(15)) {
          Aim(&db_.rel, rec);
          return xDeleteRecRel(&db_) ? 0 : -1;
        }
        Aim(&db_.rel, rec);
        if (Chance(70)) Set(r->pred, LinkedCode(), sizeof r->pred);
        if (Chance(70)) Set(r->succ, LinkedCode(), sizeof r->succ);
        if (Chance(30)) r->kind = static_cast<int16_t>(Pick(4));
        if (Chance(30)) r->row = static_cast<int16_t>(Pick(8));
        return xInputRecRel(&db_, rec);
      }
      case 9: {
        OprRecord* o = reinterpret_cast<OprRecord*>(rec);
        if (Chance(15)) {
          Aim(&db_.opr, rec);
          return xDeleteRecOpr(&db_) ? 0 : -1;
        }
        Aim(&db_.opr, rec);
        if (Chance(70)) Set(o->actCode, LinkedCode(), sizeof o->actCode);
        if (Chance(70)) Set(o->resCode, ResCode(), sizeof o->resCode);
        return xInputRecOpr(&db_, rec);
      }
      default: {  // time-shared entry
        SpaEntry s = {};
        s.activity = Chance(5) ? -1 : Pick(std::max<uint32_t>(db_.act.tb.slotCount, 1) + 2);
        s.day = Chance(5) ? Day(2024, 2, 31) : Day(2024, 1, 1 + Pick(10));
        s.value = Pick(50);
        db_.spa.current = db_.spa.count == 0 || Chance(40) ? XJOR_NONE : Pick(db_.spa.count);
        return xInputRecSpa(&db_, &s);
      }
    }
  }

  std::mt19937 rng_{20261207};
};

TEST_F(RecordRandomTest, IndexesStayRebuildableAndRefusalsChangeNothing) {
  // A base to work on: the three tops with some codes below them.
  for (int16_t cls = 0; cls < 2; ++cls) {
    for (const char* top : {"A1", "A2", "B1"}) {
      const std::string t = top;
      for (const std::string& c : {t, t + "01", t + "0101", t + "0102"})
        ASSERT_EQ(Class(cls, c.c_str()), 0);
    }
  }
  std::map<int32_t, int> outcomes;
  for (int i = 1; i <= 20000; ++i) {
    // Operations 8,001 to 12,000 run inside an input batch; the check
    // merges what the batch collected, so a snapshot taken right after it
    // shows the whole project.
    const bool batch = i > 8000 && i <= 12000;
    if (i == 8001) xBeginInputBatch(&db_);
    if (batch) ExpectIntact(&db_);
    const std::vector<uint8_t> before = Snapshot();
    const int32_t result = RandomOperation();
    ++outcomes[result];
    if (result > 0) {
      ASSERT_EQ(Snapshot(), before)
          << "operation " << i << " refused with " << result << " but changed the project";
    }
    if (i == 12000) {
      ASSERT_EQ(xEndInputBatch(&db_), 1);
    }
    if (i % 100 == 0) {
      char report[200] = "";
      ASSERT_EQ(xCheckIndexes(&db_, report, sizeof report), 1)
          << "after operation " << i << ": " << report;
    }
  }
  // Every refusal of the record operations was met, and the project grew.
  for (int32_t code :
       {XQD_MSG_LEVEL_LENGTH, XQD_MSG_NO_CODE, XQD_MSG_SAME_ACTIVITY, XQD_MSG_NO_PREDECESSOR,
        XQD_MSG_NO_SUCCESSOR, XQD_MSG_NO_PARENT, XQD_MSG_NOT_TIME_SHARED, XQD_MSG_NO_ACTIVITY,
        XQD_MSG_NO_WORK_TYPE, XQD_MSG_NO_RESOURCE, XQD_MSG_NO_FACILITY, XQD_MSG_BAD_DATE,
        XQD_MSG_DUPLICATE})
    EXPECT_GT(outcomes[code], 0) << code;
  EXPECT_GT(outcomes[0], 5000);
  EXPECT_GT(db_.act.tb.liveCount, 20u);
  EXPECT_GT(db_.relByPred.count, 20u);
  EXPECT_GT(db_.spa.count, 0u);
}

}  // namespace

// A project for the grid tests: a CPlanDoc on a fresh project with a
// two-level work-type and a one-level facility classification, and helpers
// that enter records through the project store.
#ifndef GRIDS_TESTS_GRID_FIXTURE_H_
#define GRIDS_TESTS_GRID_FIXTURE_H_

#include <cstring>
#include <memory>
#include <string>

#include "kelvo/plan_doc.h"
#include "shell_fixture.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"

namespace kelvo_test {

inline uint16_t day(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

// CP949 bytes of a UTF-8 literal, as records and field names hold text.
inline std::string cp949(const char* utf8) {
  char out[512];
  xUtf8ToCp949(utf8, out, sizeof out);
  return out;
}

class GridTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(xOpenRef(&ref_, (binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    doc_ = std::make_unique<kelvo::CPlanDoc>(dir_.path() + '/', ref_);
    PrjInfo info = kelvo::newProjectInfo();
    std::strcpy(info.code, "G-01");
    std::strcpy(info.title, "grid test");
    info.start = info.dataDate = day(2026, 3, 2);
    info.finish = day(2026, 12, 31);
    ASSERT_TRUE(doc_->newProject(info));
    const int wbs[8] = {2, 2}, obs[8] = {3};
    QString names[8];
    ASSERT_TRUE(kelvo::makeClassDef(wbs, names, &doc_->classDef(0)));
    ASSERT_TRUE(kelvo::makeClassDef(obs, names, &doc_->classDef(1)));
  }
  void TearDown() override {
    doc_.reset();
    xCloseFile(&ref_);
    ShellTest::TearDown();
  }

  ProjectDb& db() { return doc_->db(); }

  ClassLevels levels(int cls) {
    const kelvo::ClassDef& d = doc_->classDef(cls);
    ClassLevels l{};
    l.count = d.levels;
    std::memcpy(l.start, d.start, sizeof l.start);
    std::memcpy(l.length, d.length, sizeof l.length);
    return l;
  }

  int addClass(int cls, const char* code) {
    WbsRecord r{};
    std::strcpy(r.code, code);
    std::snprintf(r.title, sizeof r.title, "class %s", code);
    TableBinding& t = cls == 0 ? db().wbs : db().obs;
    t.tb.current = -1;
    std::string bytes(t.tb.recordSize, '\0');
    std::memcpy(bytes.data(), &r, std::min<size_t>(bytes.size(), sizeof r));
    ClassLevels l = levels(cls);
    return xInputRecWbs(&db(), bytes.data(), int16_t(cls), &l);
  }

  int addResource(const char* code) {
    ResRecord r{};
    std::strcpy(r.code, code);
    std::snprintf(r.title, sizeof r.title, "resource %s", code);
    db().res.tb.current = -1;
    return xInputRecRes(&db(), &r);
  }

  int addActivity(const char* code, const char* title, int16_t duration = 5, uint16_t flags = 0,
                  int16_t type = 0) {
    std::string bytes(db().act.tb.recordSize, '\0');
    ActRecord a{};
    std::strcpy(a.code, code);
    std::strcpy(a.title, title);
    a.duration = a.remaining = duration;
    a.calendar = 0;
    a.type = type;
    std::memcpy(bytes.data(), &a, sizeof a);
    db().act.tb.current = -1;
    const int m = xInputRecAct(&db(), bytes.data(), doc_->info().start, 2, 1, 0);
    if (m == 0 && flags) {
      // The analysis sets the start and end bits; the tests set them here.
      ActRecord stored;
      xGetRec(&db().act.tb, bytes.data());
      std::memcpy(&stored, bytes.data(), sizeof stored);
      stored.flags = flags;
      std::memcpy(bytes.data(), &stored, sizeof stored);
      xPutRec(&db().act.tb, bytes.data());
    }
    return m;
  }

  int addRelation(const char* pred, const char* succ) {
    RelRecord r{};
    std::strcpy(r.pred, pred);
    std::strcpy(r.succ, succ);
    db().rel.tb.current = -1;
    return xInputRecRel(&db(), &r);
  }

  int32_t ref_ = -1;
  std::unique_ptr<kelvo::CPlanDoc> doc_;
};

}  // namespace kelvo_test

#endif  // GRIDS_TESTS_GRID_FIXTURE_H_

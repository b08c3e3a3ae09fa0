#include "dbase_fixture.h"

#include "kvtables.h"

namespace {

void SetLevels(XKvSchemeBlock* b, std::initializer_list<int> lengths) {
  int start = 0, i = 0;
  for (int l : lengths) {
    b->start[i] = static_cast<int16_t>(start);
    b->length[i] = static_cast<int16_t>(l);
    snprintf(b->name[i], 21, "Level %d", i + 1);
    start += l;
    ++i;
  }
  b->levels = static_cast<int16_t>(i);
}

}  // namespace

void DbaseTest::FillProject(ProjectDb* db) {
  SetLevels(&scheme_.block[0], {2, 3});
  SetLevels(&scheme_.block[1], {1, 2});
  PrjInfo* info = reinterpret_cast<PrjInfo*>(info_);
  strcpy(info->code, "P-01");
  strcpy(info->title, "\xB0\xA1\xB3\xAA \xB0\xF8\xBB\xE7");  // 가나 공사
  info->start = Day(2024, 3, 4);
  info->finish = Day(2024, 12, 31);
  info->dataDate = Day(2024, 3, 4);
  info->amountDigits = 12;

  const ClassLevels wl = kvconv::levelsOf(scheme_.block[0]),
                    ol = kvconv::levelsOf(scheme_.block[1]);
  const char* wbs[] = {"A1", "A1001", "A1002", "B2", "B2001"};
  for (const char* code : wbs) {
    WbsRecord w{};
    strcpy(w.code, code);
    snprintf(w.title, sizeof w.title, "Work %s", code);
    w.quantity = 12.5;
    w.contractPrice = 1000;
    db->wbs.tb.current = -1;
    ASSERT_EQ(xInputRecWbs(db, &w, 0, &wl), 0) << code;
  }
  for (const char* code : {"1", "101", "102", "2", "201"}) {
    WbsRecord o{};
    strcpy(o.code, code);
    snprintf(o.title, sizeof o.title, "Place %s", code);
    db->obs.tb.current = -1;
    ASSERT_EQ(xInputRecWbs(db, &o, 1, &ol), 0) << code;
  }
  for (const char* code : {"R1", "R2"}) {
    ResRecord r{};
    strcpy(r.code, code);
    strcpy(r.unit, "EA");
    db->res.tb.current = -1;
    ASSERT_EQ(xInputRecRes(db, &r), 0);
  }
  CrewRecord c{};
  strcpy(c.wbsCode, "A1001");
  strcpy(c.resCode, "R1");
  c.unitQuantity = 1.25;
  c.crewSize = 3;
  db->crw.tb.current = -1;
  ASSERT_EQ(xInputRecCrew(db, &c, wl.count), 0);

  struct {
    const char* code;
    const char* wbs;
    const char* obs;
    int16_t duration;
    int16_t type;
  } acts[] = {{"ACT-1", "A1001", "101", 5, 0},
              {"ACT-2", "A1002", "101", 3, 0},
              {"ACT-3", "B2001", "201", 0, 1},
              {"ACT-4", "A1001", "102", 10, 2}};
  for (const auto& a : acts) {
    std::vector<char> buf(db->act.tb.recordSize, 0);
    ActRecord* rec = reinterpret_cast<ActRecord*>(buf.data());
    strcpy(rec->code, a.code);
    snprintf(rec->title, sizeof rec->title, "Activity %s", a.code);
    strcpy(rec->wbsCode, a.wbs);
    strcpy(rec->obsCode, a.obs);
    rec->duration = a.duration;
    rec->type = a.type;
    rec->quantity = 100.125;
    rec->start = Day(2024, 3, 4);
    db->act.tb.current = -1;
    ASSERT_EQ(xInputRecAct(db, buf.data(), info->start, wl.count, ol.count, 0), 0) << a.code;
  }
  RelRecord rel{};
  strcpy(rel.pred, "ACT-1");
  strcpy(rel.succ, "ACT-2");
  rel.lag = -2;
  db->rel.tb.current = -1;
  ASSERT_EQ(xInputRecRel(db, &rel), 0);
  strcpy(rel.pred, "ACT-2");
  strcpy(rel.succ, "ACT-3");
  rel.kind = 1;
  rel.lag = 0;
  db->rel.tb.current = -1;
  ASSERT_EQ(xInputRecRel(db, &rel), 0);
  OprRecord o{};
  strcpy(o.actCode, "ACT-1");
  strcpy(o.resCode, "R2");
  o.quantity = 7.5;
  db->opr.tb.current = -1;
  ASSERT_EQ(xInputRecOpr(db, &o), 0);

  // A time-shared entry on ACT-4.
  ActCodeEntry key{};
  strcpy(key.code, "ACT-4");
  ASSERT_EQ(xmSeek(&db->actCodes, &key), 1);
  ActCodeEntry found;
  memcpy(&found, db->actCodes.data + db->actCodes.current * db->actCodes.recordSize, sizeof found);
  SpaEntry e{found.record, Day(2024, 3, 6), 4.5};
  db->spa.current = XJOR_NONE;
  ASSERT_EQ(xInputRecSpa(db, &e), 0);
}

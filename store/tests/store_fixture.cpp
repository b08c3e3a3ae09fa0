#include "store_fixture.h"

void StoreTest::FillProject(ProjectDb* db) {
  WbsRecord w = {};
  w.level = 0;
  strcpy(w.code, "A1");
  strcpy(w.title, "토공");
  w.quantity = 1200.5;
  Add(&db->wbs, &w);
  strcpy(w.code, "A2");
  Add(&db->wbs, &w);
  strcpy(w.code, "A3");
  Add(&db->wbs, &w);
  Delete(&db->wbs, 1);
  CodeEntry code = {"A1", 0};
  AddMem(&db->wbsCodes, &code);
  code = {"A3", 2};
  AddMem(&db->wbsCodes, &code);

  WbsRecord o = {};
  strcpy(o.code, "F1");
  Add(&db->obs, &o);
  code = {"F1", 0};
  AddMem(&db->obsCodes, &code);

  ResRecord r = {};
  strcpy(r.code, "R1");
  Add(&db->res, &r);
  code = {"R1", 0};
  AddIndex(&db->ire, &code);

  CrewRecord c = {};
  strcpy(c.wbsCode, "A1");
  strcpy(c.resCode, "R1");
  c.crewSize = 3;
  Add(&db->crw, &c);
  CodePairEntry pair = {"A1", "R1", 0};
  AddIndex(&db->cr1, &pair);
  pair = {"R1", "A1", 0};
  AddIndex(&db->cr2, &pair);

  for (int i = 0; i < 4; ++i) {
    ActRecord a = {};
    snprintf(a.code, sizeof a.code, "ACT%02d", i);
    strcpy(a.wbsCode, "A1");
    strcpy(a.obsCode, "F1");
    a.flags = 0x3000;
    a.duration = static_cast<int16_t>(5 + i);
    a.start = static_cast<uint16_t>((20 << 9) | (3 << 5) | (1 + i));
    a.path = 1;
    a.type = i == 3 ? 2 : 0;
    Add(&db->act, &a);
    ActCodeEntry e = {};
    memcpy(e.code, a.code, sizeof e.code);
    e.path = 1;
    e.record = i;
    AddMem(&db->actCodes, &e);
    ActOrderEntry order = {1, i, a.start, 0};
    AddMem(&db->actOrder, &order);
  }
  Delete(&db->act, 2);
  pair = {"A1", "F1", 0};
  AddIndex(&db->wa1, &pair);
  pair = {"F1", "A1", 0};
  AddIndex(&db->wa2, &pair);
  SpaEntry spa = {3, static_cast<uint16_t>((20 << 9) | (3 << 5) | 10), 12.5};
  AddIndex(&db->spa, &spa);

  RelRecord rel = {};
  strcpy(rel.pred, "ACT00");
  strcpy(rel.succ, "ACT01");
  rel.lag = -2;
  Add(&db->rel, &rel);
  strcpy(rel.succ, "ACT03");
  Add(&db->rel, &rel);
  Delete(&db->rel, 0);
  RelCodeEntry rc = {"ACT00", "ACT03", 1};
  AddMem(&db->relByPred, &rc);
  rc = {"ACT03", "ACT00", 1};
  AddMem(&db->relBySucc, &rc);
  RelAnchorEntry anchor = {0, 1, 0, 0, 1, 1};
  AddMem(&db->relAnchor, &anchor);

  OprRecord op = {};
  strcpy(op.actCode, "ACT00");
  strcpy(op.resCode, "R1");
  op.quantity = 7;
  Add(&db->opr, &op);
  OprEntry oe = {"ACT00", "R1", 0};
  AddIndex(&db->op1, &oe);
  OprByResEntry oe2 = {"R1", "ACT00", 0};
  AddIndex(&db->op2, &oe2);

  // A picture object and its file, a text object without a file.
  uint8_t object[28] = {9, 4};
  memcpy(object + 14, "0000001A.bmp", 12);
  AddMem(&db->objects, object);
  uint8_t text[28] = {3, 4};
  AddMem(&db->objects, text);
  WriteMember(db, "0000001A.bmp", "BM picture bytes");
  WriteMember(db, "a20", "gantt settings");
  WriteMember(db, "a25", "");

  // Summary file 3: registered, two rows, trailer written.
  uint8_t registration[82] = {3};
  PutOption(db, XQD_OPT_SUMMARY + 3, registration, sizeof registration);
  FieldDesc fields[2] = {};
  strcpy(fields[0].name, "NAME");
  fields[0].type = 11;
  fields[0].width = 10;
  fields[0].offset = 0;
  strcpy(fields[1].name, "QTY");
  fields[1].type = 10;
  fields[1].width = 12;
  fields[1].offset = 11;
  int16_t current = 0;
  ASSERT_EQ(xCreateSumFile(db, &current, 3, 19, 2, fields), 1);
  uint8_t row[19] = {'r', 'o', 'w'};
  ASSERT_EQ(xAddRec(&db->summary.table.tb, row), 1);
  ASSERT_EQ(xAddRec(&db->summary.table.tb, row), 1);
  ASSERT_EQ(xFinishSumFile(db), 1);
  xCloseSumFile(db, &current);

  // A calendar of three working days.
  const uint16_t days[3] = {0x2861, 0x2862, 0x2864};
  const uint16_t count = 3;
  PutOption(db, XQD_OPT_CALENDAR_COUNT, &count, 2);
  PutOption(db, XQD_OPT_CALENDAR_DAYS, days, sizeof days);
}

// Resources, crews (resources a work type requires) and crew details
// (resources put on an activity).
#include "record_common.h"

using namespace xqd;

namespace {

void EnterCrew(ProjectDb* db, const CrewRecord& r, int32_t slot) {
  CodePairEntry byWork = MakePairEntry(r.wbsCode, r.resCode, slot);
  CodePairEntry byRes = MakePairEntry(r.resCode, r.wbsCode, slot);
  InsertEntry(db, kCr1, &byWork);
  InsertEntry(db, kCr2, &byRes);
}

void EnterDetail(ProjectDb* db, const OprRecord& r, int32_t slot) {
  OprEntry byAct = MakeOp1Entry(r, slot);
  OprByResEntry byRes = MakeOp2Entry(r, slot);
  InsertEntry(db, kOp1, &byAct);
  InsertEntry(db, kOp2, &byRes);
}

}  // namespace

namespace xqd {

void DeleteCrewAt(ProjectDb* db, int32_t slot) {
  RecordBuffer rec;
  if (!ReadRecord(&db->crw, slot, &rec)) return;
  const CrewRecord* r = rec.as<CrewRecord>();
  CodePairEntry byWork = MakePairEntry(r->wbsCode, r->resCode, slot);
  CodePairEntry byRes = MakePairEntry(r->resCode, r->wbsCode, slot);
  EraseEntry(db, kCr1, &byWork);
  EraseEntry(db, kCr2, &byRes);
  xDelRec(&db->crw.tb);
}

void DeleteDetailAt(ProjectDb* db, int32_t slot) {
  RecordBuffer rec;
  if (!ReadRecord(&db->opr, slot, &rec)) return;
  const OprRecord* r = rec.as<OprRecord>();
  OprEntry byAct = MakeOp1Entry(*r, slot);
  OprByResEntry byRes = MakeOp2Entry(*r, slot);
  EraseEntry(db, kOp1, &byAct);
  EraseEntry(db, kOp2, &byRes);
  xDelRec(&db->opr.tb);
}

}  // namespace xqd

extern "C" int32_t xInputRecRes(ProjectDb* db, void* record) {
  RecordBuffer rec = CopyOf(&db->res, record);
  ResRecord* r = rec.as<ResRecord>();
  NormalizeCode(r->code, kShortCode);
  if (r->code[0] == '\0') return XQD_MSG_NO_CODE;
  RecordBuffer old;
  const bool existing = ReadCurrent(&db->res, &old);
  const int32_t slot = db->res.tb.current;
  const char* oldCode = old.as<ResRecord>()->code;
  const bool renamed = existing && !SameCode(oldCode, r->code, kShortCode);
  if ((!existing || renamed) && FindCode(db, kIre, r->code) >= 0) return XQD_MSG_DUPLICATE;

  if (!existing) {
    const int32_t added = AddRecord(&db->res, rec);
    if (added < 0) return EngineFailure();
    CodeEntry e = MakeCodeEntry(r->code, added);
    InsertEntry(db, kIre, &e);
    CopyBack(record, rec);
    return 0;
  }
  if (renamed) {
    CodeEntry gone = MakeCodeEntry(oldCode, slot), e = MakeCodeEntry(r->code, slot);
    EraseEntry(db, kIre, &gone);
    InsertEntry(db, kIre, &e);
    CurrentGuard keepCrews(&db->crw), keepDetails(&db->opr);
    for (const Entry& en : EntriesOf(db, kCr2, oldCode, kShortCode)) {
      const int32_t crew = reinterpret_cast<const CodePairEntry*>(en.data())->record;
      RecordBuffer c;
      if (!ReadRecord(&db->crw, crew, &c)) continue;
      CrewRecord* cr = c.as<CrewRecord>();
      CodePairEntry byWork = MakePairEntry(cr->wbsCode, cr->resCode, crew);
      EraseEntry(db, kCr1, &byWork);
      EraseEntry(db, kCr2, en.data());
      PutCode(cr->resCode, r->code, kShortCode);
      WriteRecord(&db->crw, crew, c);
      EnterCrew(db, *cr, crew);
    }
    for (const Entry& en : EntriesOf(db, kOp2, oldCode, kShortCode)) {
      const int32_t detail = reinterpret_cast<const OprByResEntry*>(en.data())->record;
      RecordBuffer d;
      if (!ReadRecord(&db->opr, detail, &d)) continue;
      OprRecord* dr = d.as<OprRecord>();
      OprEntry byAct = MakeOp1Entry(*dr, detail);
      EraseEntry(db, kOp1, &byAct);
      EraseEntry(db, kOp2, en.data());
      PutCode(dr->resCode, r->code, kShortCode);
      WriteRecord(&db->opr, detail, d);
      EnterDetail(db, *dr, detail);
    }
  }
  if (!WriteRecord(&db->res, slot, rec)) return EngineFailure();
  CopyBack(record, rec);
  return 0;
}

extern "C" int32_t xInputRecCrew(ProjectDb* db, void* record, int16_t wbsLevels) {
  RecordBuffer rec = CopyOf(&db->crw, record);
  CrewRecord* r = rec.as<CrewRecord>();
  NormalizeCode(r->wbsCode, kShortCode);
  NormalizeCode(r->resCode, kShortCode);
  if (!IsFinalCode(db, 0, r->wbsCode, wbsLevels)) return XQD_MSG_NO_WORK_TYPE;
  if (FindCode(db, kIre, r->resCode) < 0) return XQD_MSG_NO_RESOURCE;
  RecordBuffer old;
  const bool existing = ReadCurrent(&db->crw, &old);
  const int32_t slot = db->crw.tb.current;
  const CrewRecord* o = old.as<CrewRecord>();
  const bool moved = existing && (!SameCode(o->wbsCode, r->wbsCode, kShortCode) ||
                                  !SameCode(o->resCode, r->resCode, kShortCode));
  CodePairEntry key = MakePairEntry(r->wbsCode, r->resCode, 0);
  if ((!existing || moved) && FindEntry(db, kCr1, &key)) return XQD_MSG_DUPLICATE;

  if (existing && !moved) {
    if (!WriteRecord(&db->crw, slot, rec)) return EngineFailure();
  } else {
    if (moved) DeleteCrewAt(db, slot);
    const int32_t added = AddRecord(&db->crw, rec);
    if (added < 0) return EngineFailure();
    EnterCrew(db, *r, added);
  }
  CopyBack(record, rec);
  return 0;
}

extern "C" int32_t xInputRecOpr(ProjectDb* db, void* record) {
  RecordBuffer rec = CopyOf(&db->opr, record);
  OprRecord* r = rec.as<OprRecord>();
  NormalizeCode(r->actCode, kActivityCode);
  NormalizeCode(r->resCode, kShortCode);
  if (r->actCode[0] == '\0' || FindActivity(db, r->actCode) < 0) return XQD_MSG_NO_ACTIVITY;
  if (FindCode(db, kIre, r->resCode) < 0) return XQD_MSG_NO_RESOURCE;
  RecordBuffer old;
  const bool existing = ReadCurrent(&db->opr, &old);
  const int32_t slot = db->opr.tb.current;
  const OprRecord* o = old.as<OprRecord>();
  const bool moved = existing && (!SameCode(o->actCode, r->actCode, kActivityCode) ||
                                  !SameCode(o->resCode, r->resCode, kShortCode));
  OprEntry key = MakeOp1Entry(*r, 0);
  if ((!existing || moved) && FindEntry(db, kOp1, &key)) return XQD_MSG_DUPLICATE;

  if (existing && !moved) {
    if (!WriteRecord(&db->opr, slot, rec)) return EngineFailure();
  } else {
    if (moved) DeleteDetailAt(db, slot);
    const int32_t added = AddRecord(&db->opr, rec);
    if (added < 0) return EngineFailure();
    EnterDetail(db, *r, added);
  }
  CopyBack(record, rec);
  return 0;
}

extern "C" int32_t xDeleteRecRes(ProjectDb* db) {
  RecordBuffer rec;
  if (!ReadCurrent(&db->res, &rec)) return 0;
  const int32_t slot = db->res.tb.current;
  const char* code = rec.as<ResRecord>()->code;
  CodeEntry e = MakeCodeEntry(code, slot);
  EraseEntry(db, kIre, &e);
  {
    CurrentGuard keepCrews(&db->crw), keepDetails(&db->opr);
    for (const Entry& en : EntriesOf(db, kCr2, code, kShortCode))
      DeleteCrewAt(db, reinterpret_cast<const CodePairEntry*>(en.data())->record);
    for (const Entry& en : EntriesOf(db, kOp2, code, kShortCode))
      DeleteDetailAt(db, reinterpret_cast<const OprByResEntry*>(en.data())->record);
  }
  db->res.tb.current = slot;
  xDelRec(&db->res.tb);
  return 1;
}

extern "C" int32_t xDeleteRecCrew(ProjectDb* db) {
  RecordBuffer rec;
  if (!ReadCurrent(&db->crw, &rec)) return 0;
  DeleteCrewAt(db, db->crw.tb.current);
  return 1;
}

extern "C" int32_t xDeleteRecOpr(ProjectDb* db) {
  RecordBuffer rec;
  if (!ReadCurrent(&db->opr, &rec)) return 0;
  DeleteDetailAt(db, db->opr.tb.current);
  return 1;
}

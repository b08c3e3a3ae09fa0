// Activities: their code, order and map-cell indexes, the code carried into
// relations and crew details, time-shared entries and the delete cascade.
#include "record_common.h"
#include "record_dates.h"

using namespace xqd;

namespace {

constexpr int16_t kTimeShared = 2;

void EnterCell(ProjectDb* db, const ActRecord& r, int32_t slot) {
  if (r.wbsCode[0] == '\0') return;
  CodePairEntry byWork = MakePairEntry(r.wbsCode, r.obsCode, slot);
  CodePairEntry byPlace = MakePairEntry(r.obsCode, r.wbsCode, slot);
  InsertEntry(db, kWa1, &byWork);
  InsertEntry(db, kWa2, &byPlace);
}

void LeaveCell(ProjectDb* db, const ActRecord& r, int32_t slot) {
  if (r.wbsCode[0] == '\0') return;
  CodePairEntry byWork = MakePairEntry(r.wbsCode, r.obsCode, slot);
  CodePairEntry byPlace = MakePairEntry(r.obsCode, r.wbsCode, slot);
  EraseEntry(db, kWa1, &byWork);
  EraseEntry(db, kWa2, &byPlace);
}

void RemoveTimeShared(ProjectDb* db, int32_t slot) {
  SpaEntry from = {};
  from.activity = slot;
  for (const Entry& en : WalkEntries(db, kSpa, &from, [slot](const uint8_t* e) {
         return reinterpret_cast<const SpaEntry*>(e)->activity == slot;
       }))
    EraseEntry(db, kSpa, en.data());
}

// Carries a changed activity code into its relations and crew details.
void CarryCode(ProjectDb* db, const char* from, const char* to) {
  CurrentGuard keepRelations(&db->rel), keepDetails(&db->opr);
  for (bool asPredecessor : {true, false}) {
    for (const Entry& en :
         EntriesOf(db, asPredecessor ? kRelByPred : kRelBySucc, from, kActivityCode)) {
      const int32_t slot = reinterpret_cast<const RelCodeEntry*>(en.data())->record;
      RecordBuffer rec;
      if (!ReadRecord(&db->rel, slot, &rec)) continue;
      RelRecord* r = rec.as<RelRecord>();
      RelCodeEntry byPred = MakeRelEntry(r->pred, r->succ, slot);
      RelCodeEntry bySucc = MakeRelEntry(r->succ, r->pred, slot);
      EraseEntry(db, kRelByPred, &byPred);
      EraseEntry(db, kRelBySucc, &bySucc);
      PutCode(asPredecessor ? r->pred : r->succ, to, kActivityCode);
      WriteRecord(&db->rel, slot, rec);
      byPred = MakeRelEntry(r->pred, r->succ, slot);
      bySucc = MakeRelEntry(r->succ, r->pred, slot);
      InsertEntry(db, kRelByPred, &byPred);
      InsertEntry(db, kRelBySucc, &bySucc);
    }
  }
  for (const Entry& en : EntriesOf(db, kOp1, from, kActivityCode)) {
    const int32_t slot = reinterpret_cast<const OprEntry*>(en.data())->record;
    RecordBuffer rec;
    if (!ReadRecord(&db->opr, slot, &rec)) continue;
    OprRecord* r = rec.as<OprRecord>();
    OprByResEntry byRes = MakeOp2Entry(*r, slot);
    EraseEntry(db, kOp1, en.data());
    EraseEntry(db, kOp2, &byRes);
    PutCode(r->actCode, to, kActivityCode);
    WriteRecord(&db->opr, slot, rec);
    OprEntry byAct = MakeOp1Entry(*r, slot);
    byRes = MakeOp2Entry(*r, slot);
    InsertEntry(db, kOp1, &byAct);
    InsertEntry(db, kOp2, &byRes);
  }
}

// Brings the activity's index entries from old to r (both stored at slot).
void UpdateEntries(ProjectDb* db, const ActRecord& old, const ActRecord& r, int32_t slot) {
  ActCodeEntry was = MakeActCodeEntry(old, slot), now = MakeActCodeEntry(r, slot);
  if (!SameCode(old.code, r.code, kActivityCode)) {
    EraseEntry(db, kActCodes, &was);
    InsertEntry(db, kActCodes, &now);
  } else if (memcmp(&was, &now, sizeof now) != 0) {
    ReplaceEntry(db, kActCodes, &now);
  }
  ActOrderEntry wasOrder = MakeActOrderEntry(old, slot), order = MakeActOrderEntry(r, slot);
  if (old.path != r.path) EraseEntry(db, kActOrder, &wasOrder);
  if (memcmp(&wasOrder, &order, sizeof order) != 0) ReplaceEntry(db, kActOrder, &order);
  if (!SameCode(old.wbsCode, r.wbsCode, kShortCode) ||
      !SameCode(old.obsCode, r.obsCode, kShortCode)) {
    LeaveCell(db, old, slot);
    EnterCell(db, r, slot);
  }
  if (memcmp(&was, &now, sizeof now) != 0) RefreshAnchors(db, r.code);
  if (old.type == kTimeShared && r.type != kTimeShared) RemoveTimeShared(db, slot);
}

}  // namespace

namespace xqd {

void DeleteActivityAt(ProjectDb* db, int32_t slot) {
  RecordBuffer rec;
  if (!ReadRecord(&db->act, slot, &rec)) return;
  const ActRecord* r = rec.as<ActRecord>();
  ActCodeEntry code = MakeActCodeEntry(*r, slot);
  ActOrderEntry order = MakeActOrderEntry(*r, slot);
  EraseEntry(db, kActCodes, &code);
  EraseEntry(db, kActOrder, &order);
  LeaveCell(db, *r, slot);
  RemoveTimeShared(db, slot);
  {
    CurrentGuard keepDetails(&db->opr), keepRelations(&db->rel);
    for (const Entry& en : EntriesOf(db, kOp1, r->code, kActivityCode))
      DeleteDetailAt(db, reinterpret_cast<const OprEntry*>(en.data())->record);
    for (IndexId id : {kRelByPred, kRelBySucc}) {
      for (const Entry& en : EntriesOf(db, id, r->code, kActivityCode))
        DeleteRelationAt(db, reinterpret_cast<const RelCodeEntry*>(en.data())->record);
    }
  }
  db->act.tb.current = slot;
  xDelRec(&db->act.tb);
}

}  // namespace xqd

extern "C" int32_t xInputRecAct(ProjectDb* db, void* record, uint16_t projectStart,
                                int16_t wbsLevels, int16_t obsLevels, int16_t dateMode) {
  RecordBuffer rec = CopyOf(&db->act, record);
  ActRecord* r = rec.as<ActRecord>();
  NormalizeCode(r->code, kActivityCode);
  NormalizeCode(r->wbsCode, kShortCode);
  NormalizeCode(r->obsCode, kShortCode);
  if (r->code[0] == '\0') return XQD_MSG_NO_CODE;
  const bool placed = r->wbsCode[0] != '\0' || r->obsCode[0] != '\0';
  if (placed && !IsFinalCode(db, 0, r->wbsCode, wbsLevels)) return XQD_MSG_NO_WORK_TYPE;
  if (placed && !IsFinalCode(db, 1, r->obsCode, obsLevels)) return XQD_MSG_NO_FACILITY;

  RecordBuffer old;
  const bool existing = ReadCurrent(&db->act, &old);
  const int32_t slot = db->act.tb.current;
  if (!existing) old.bytes.assign(old.bytes.size(), 0);
  const ActRecord* o = old.as<ActRecord>();
  const bool renamed = existing && !SameCode(o->code, r->code, kActivityCode);
  if ((!existing || renamed) && FindActivity(db, r->code) >= 0) return XQD_MSG_DUPLICATE;
  // One activity per map cell.
  const bool moved = !existing || !SameCode(o->wbsCode, r->wbsCode, kShortCode) ||
                     !SameCode(o->obsCode, r->obsCode, kShortCode);
  CodePairEntry cell = MakePairEntry(r->wbsCode, r->obsCode, 0);
  if (placed && moved && FindEntry(db, kWa1, &cell)) return XQD_MSG_DUPLICATE;

  if (dateMode >= 0) ApplyDateRules(*o, r, !existing, projectStart, dateMode);

  if (!existing) {
    const int32_t added = AddRecord(&db->act, rec);
    if (added < 0) return EngineFailure();
    ActCodeEntry code = MakeActCodeEntry(*r, added);
    ActOrderEntry order = MakeActOrderEntry(*r, added);
    InsertEntry(db, kActCodes, &code);
    InsertEntry(db, kActOrder, &order);
    EnterCell(db, *r, added);
    CopyBack(record, rec);
    return 0;
  }
  if (renamed) CarryCode(db, o->code, r->code);
  if (!WriteRecord(&db->act, slot, rec)) return EngineFailure();
  UpdateEntries(db, *o, *r, slot);
  db->act.tb.current = slot;
  CopyBack(record, rec);
  return 0;
}

extern "C" int32_t xDeleteRecAct(ProjectDb* db) {
  RecordBuffer rec;
  if (!ReadCurrent(&db->act, &rec)) return 0;
  DeleteActivityAt(db, db->act.tb.current);
  return 1;
}

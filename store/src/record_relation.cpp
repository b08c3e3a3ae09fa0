// Precedence relations: their two code indexes and their network links
// (the relation anchor index).
#include "record_common.h"

using namespace xqd;

namespace {

void EnterRelation(ProjectDb* db, const RelRecord& r, int32_t slot, const ActCodeEntry& pred,
                   const ActCodeEntry& succ) {
  RelCodeEntry byPred = MakeRelEntry(r.pred, r.succ, slot);
  RelCodeEntry bySucc = MakeRelEntry(r.succ, r.pred, slot);
  RelAnchorEntry link = MakeAnchorEntry(r, slot, pred, succ);
  InsertEntry(db, kRelByPred, &byPred);
  InsertEntry(db, kRelBySucc, &bySucc);
  InsertEntry(db, kRelAnchor, &link);
}

RelAnchorEntry AnchorKey(int16_t row, int32_t slot) {
  RelAnchorEntry key = {};
  key.row = row;
  key.record = slot;
  return key;
}

// True when the pair is related by a relation other than the one at slot.
bool Related(ProjectDb* db, const char* pred, const char* succ, int32_t slot) {
  RelCodeEntry key = MakeRelEntry(pred, succ, 0), found;
  return FindEntry(db, kRelByPred, &key, &found) && found.record != slot;
}

}  // namespace

namespace xqd {

void DeleteRelationAt(ProjectDb* db, int32_t slot) {
  RecordBuffer rec;
  if (!ReadRecord(&db->rel, slot, &rec)) return;
  const RelRecord* r = rec.as<RelRecord>();
  RelAnchorEntry link = AnchorKey(r->row, slot);
  RelCodeEntry byPred = MakeRelEntry(r->pred, r->succ, slot);
  RelCodeEntry bySucc = MakeRelEntry(r->succ, r->pred, slot);
  EraseEntry(db, kRelAnchor, &link);
  EraseEntry(db, kRelByPred, &byPred);
  EraseEntry(db, kRelBySucc, &bySucc);
  xDelRec(&db->rel.tb);
}

void RefreshAnchors(ProjectDb* db, const char* activityCode) {
  CurrentGuard keep(&db->rel);
  for (IndexId id : {kRelByPred, kRelBySucc}) {
    for (const Entry& en : EntriesOf(db, id, activityCode, kActivityCode)) {
      const int32_t slot = reinterpret_cast<const RelCodeEntry*>(en.data())->record;
      RecordBuffer rec;
      if (!ReadRecord(&db->rel, slot, &rec)) continue;
      RelAnchorEntry link = MakeAnchorEntry(db, *rec.as<RelRecord>(), slot);
      ReplaceEntry(db, kRelAnchor, &link);
    }
  }
}

}  // namespace xqd

extern "C" int32_t xInputRecRel(ProjectDb* db, void* record) {
  RecordBuffer rec = CopyOf(&db->rel, record);
  RelRecord* r = rec.as<RelRecord>();
  NormalizeCode(r->pred, kActivityCode);
  NormalizeCode(r->succ, kActivityCode);
  ActCodeEntry pred, succ;
  if (r->pred[0] == '\0' || FindActivity(db, r->pred, &pred) < 0) return XQD_MSG_NO_PREDECESSOR;
  if (r->succ[0] == '\0' || FindActivity(db, r->succ, &succ) < 0) return XQD_MSG_NO_SUCCESSOR;
  if (SameCode(r->pred, r->succ, kActivityCode)) return XQD_MSG_SAME_ACTIVITY;
  RecordBuffer old;
  const bool existing = ReadCurrent(&db->rel, &old);
  const int32_t slot = existing ? db->rel.tb.current : -1;
  const RelRecord* o = old.as<RelRecord>();
  const bool moved = existing && (!SameCode(o->pred, r->pred, kActivityCode) ||
                                  !SameCode(o->succ, r->succ, kActivityCode));
  if ((!existing || moved) &&
      (Related(db, r->pred, r->succ, slot) || Related(db, r->succ, r->pred, slot)))
    return XQD_MSG_DUPLICATE;

  if (existing && !moved) {
    if (!WriteRecord(&db->rel, slot, rec)) return EngineFailure();
    // The link moves with the routing row and takes the kind's anchor days.
    if (o->row != r->row) {
      RelAnchorEntry gone = AnchorKey(o->row, slot);
      EraseEntry(db, kRelAnchor, &gone);
    }
    RelAnchorEntry link = MakeAnchorEntry(*r, slot, pred, succ);
    ReplaceEntry(db, kRelAnchor, &link);
  } else {
    if (moved) DeleteRelationAt(db, slot);
    const int32_t added = AddRecord(&db->rel, rec);
    if (added < 0) return EngineFailure();
    EnterRelation(db, *r, added, pred, succ);
  }
  CopyBack(record, rec);
  return 0;
}

extern "C" int32_t xDeleteRecRel(ProjectDb* db) {
  RecordBuffer rec;
  if (!ReadCurrent(&db->rel, &rec)) return 0;
  DeleteRelationAt(db, db->rel.tb.current);
  return 1;
}

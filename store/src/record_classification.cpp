// Classification codes (work types and facilities): levels, renaming a code
// with everything below it, and the delete cascade.
#include <string>

#include "record_common.h"

using namespace xqd;

namespace {

struct Classification {
  TableBinding* table;
  IndexId codes;
  IndexId activities;  // "wa1" for work types, "wa2" for facilities
};

Classification Of(ProjectDb* db, int16_t classification) {
  if (classification == 0) return {&db->wbs, kWbsCodes, kWa1};
  return {&db->obs, kObsCodes, kWa2};
}

// The level whose codes have length characters, or -1.
int LevelOf(const ClassLevels* levels, int length) {
  if (levels == nullptr) return -1;
  const int count = levels->count < 0 ? 0 : levels->count > 8 ? 8 : levels->count;
  for (int i = 0; i < count; ++i) {
    if (levels->length[i] > 0 && levels->start[i] >= 0 &&
        levels->start[i] + levels->length[i] == length)
      return i;
  }
  return -1;
}

// The entries of the code and of every code below it (codes that begin
// with it), in code order.
std::vector<Entry> Subtree(ProjectDb* db, IndexId codes, const char* code) {
  CodeEntry from = MakeCodeEntry(code, 0);
  const size_t length = strnlen(code, kShortCode);
  return WalkEntries(db, codes, &from, [&](const uint8_t* e) {
    return strncmp(reinterpret_cast<const char*>(e), code, length) == 0;
  });
}

std::string Renamed(const char* code, const char* from, const char* to) {
  const size_t k = strnlen(from, kShortCode);
  return std::string(to, strnlen(to, kShortCode)) +
         std::string(code + k, strnlen(code, kShortCode) - k);
}

// Carries a renamed code into crews (work types) and activities.
void CarryCode(ProjectDb* db, int16_t classification, const char* from, const char* to) {
  CurrentGuard keepCrews(&db->crw), keepActivities(&db->act);
  if (classification == 0) {
    for (const Entry& en : EntriesOf(db, kCr1, from, kShortCode)) {
      const int32_t slot = reinterpret_cast<const CodePairEntry*>(en.data())->record;
      RecordBuffer rec;
      if (!ReadRecord(&db->crw, slot, &rec)) continue;
      CrewRecord* r = rec.as<CrewRecord>();
      CodePairEntry byRes = MakePairEntry(r->resCode, r->wbsCode, slot);
      EraseEntry(db, kCr1, en.data());
      EraseEntry(db, kCr2, &byRes);
      PutCode(r->wbsCode, to, kShortCode);
      WriteRecord(&db->crw, slot, rec);
      CodePairEntry byWork = MakePairEntry(r->wbsCode, r->resCode, slot);
      byRes = MakePairEntry(r->resCode, r->wbsCode, slot);
      InsertEntry(db, kCr1, &byWork);
      InsertEntry(db, kCr2, &byRes);
    }
  }
  for (const Entry& en : EntriesOf(db, Of(db, classification).activities, from, kShortCode)) {
    const int32_t slot = reinterpret_cast<const CodePairEntry*>(en.data())->record;
    RecordBuffer rec;
    if (!ReadRecord(&db->act, slot, &rec)) continue;
    ActRecord* r = rec.as<ActRecord>();
    CodePairEntry byWork = MakePairEntry(r->wbsCode, r->obsCode, slot);
    CodePairEntry byPlace = MakePairEntry(r->obsCode, r->wbsCode, slot);
    EraseEntry(db, kWa1, &byWork);
    EraseEntry(db, kWa2, &byPlace);
    PutCode(classification == 0 ? r->wbsCode : r->obsCode, to, kShortCode);
    WriteRecord(&db->act, slot, rec);
    byWork = MakePairEntry(r->wbsCode, r->obsCode, slot);
    byPlace = MakePairEntry(r->obsCode, r->wbsCode, slot);
    InsertEntry(db, kWa1, &byWork);
    InsertEntry(db, kWa2, &byPlace);
  }
}

}  // namespace

extern "C" int32_t xInputRecWbs(ProjectDb* db, void* record, int16_t classification,
                                const ClassLevels* levels) {
  const Classification c = Of(db, classification);
  RecordBuffer rec = CopyOf(c.table, record);
  WbsRecord* r = rec.as<WbsRecord>();
  NormalizeCode(r->code, kShortCode);
  const int length = CodeLength(r->code, kShortCode);
  if (length == 0) return XQD_MSG_NO_CODE;
  const int level = LevelOf(levels, length);
  if (level < 0) return XQD_MSG_LEVEL_LENGTH;
  if (level > 0) {
    char parent[kShortCode] = {};
    memcpy(parent, r->code, levels->start[level]);
    if (FindCode(db, c.codes, parent) < 0) return XQD_MSG_NO_PARENT;
  }
  RecordBuffer old;
  const bool existing = ReadCurrent(c.table, &old);
  const int32_t slot = c.table->tb.current;
  const char* oldCode = old.as<WbsRecord>()->code;
  const bool renamed = existing && !SameCode(oldCode, r->code, kShortCode);
  // A code cannot move below itself: its parent would go with the rename.
  if (renamed && level > 0 && CodeLength(oldCode, kShortCode) == levels->start[level] &&
      strncmp(oldCode, r->code, levels->start[level]) == 0)
    return XQD_MSG_NO_PARENT;
  if ((!existing || renamed) && FindCode(db, c.codes, r->code) >= 0) return XQD_MSG_DUPLICATE;

  std::vector<Entry> subtree;
  if (renamed) {
    // Codes below a renamed code keep their level, so the code keeps its
    // length; none of the renamed codes may exist already.
    subtree = Subtree(db, c.codes, oldCode);
    const bool hasBelow = subtree.size() > 1;
    if (hasBelow && length != CodeLength(oldCode, kShortCode)) return XQD_MSG_LEVEL_LENGTH;
    for (const Entry& en : subtree) {
      const std::string to = Renamed(en.data(), oldCode, r->code);
      if (!SameCode(en.data(), oldCode, kShortCode) && FindCode(db, c.codes, to.c_str()) >= 0)
        return XQD_MSG_DUPLICATE;
    }
  }
  r->level = static_cast<int16_t>(level);

  if (!existing) {
    const int32_t added = AddRecord(c.table, rec);
    if (added < 0) return EngineFailure();
    CodeEntry e = MakeCodeEntry(r->code, added);
    InsertEntry(db, c.codes, &e);
    CopyBack(record, rec);
    return 0;
  }
  for (const Entry& en : subtree) {
    const CodeEntry* from = reinterpret_cast<const CodeEntry*>(en.data());
    const std::string to = Renamed(from->code, oldCode, r->code);
    CarryCode(db, classification, from->code, to.c_str());
    CodeEntry now = MakeCodeEntry(to.c_str(), from->record);
    EraseEntry(db, c.codes, from);
    InsertEntry(db, c.codes, &now);
    if (from->record == slot) continue;
    RecordBuffer below;
    if (!ReadRecord(c.table, from->record, &below)) continue;
    PutCode(below.as<WbsRecord>()->code, to.c_str(), kShortCode);
    WriteRecord(c.table, from->record, below);
  }
  if (!WriteRecord(c.table, slot, rec)) return EngineFailure();
  CopyBack(record, rec);
  return 0;
}

extern "C" int32_t xDeleteRecWbs(ProjectDb* db, int16_t classification) {
  const Classification c = Of(db, classification);
  RecordBuffer rec;
  if (!ReadCurrent(c.table, &rec)) return 0;
  const int32_t slot = c.table->tb.current;
  {
    CurrentGuard keepCrews(&db->crw), keepActivities(&db->act);
    for (const Entry& en : Subtree(db, c.codes, rec.as<WbsRecord>()->code)) {
      const CodeEntry* e = reinterpret_cast<const CodeEntry*>(en.data());
      EraseEntry(db, c.codes, e);
      if (classification == 0) {
        for (const Entry& crew : EntriesOf(db, kCr1, e->code, kShortCode))
          DeleteCrewAt(db, reinterpret_cast<const CodePairEntry*>(crew.data())->record);
      }
      for (const Entry& act : EntriesOf(db, c.activities, e->code, kShortCode))
        DeleteActivityAt(db, reinterpret_cast<const CodePairEntry*>(act.data())->record);
      c.table->tb.current = e->record;
      xDelRec(&c.table->tb);
    }
  }
  c.table->tb.current = slot;
  return 1;
}

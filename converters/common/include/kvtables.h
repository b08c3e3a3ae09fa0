// What the converter plug-ins share about the project's seven record
// tables: naming them, finding their bindings, and entering a record
// through the store's input operation for its table. Header only, so that
// the callers' side (kvconvert) does not take on the store.
#ifndef KVTABLES_H_
#define KVTABLES_H_

#include <stdint.h>

#include "kvconvert.h"
#include "xQdDb100.h"

namespace kvconv {

enum class Table { Wbs, Obs, Res, Crw, Act, Rel, Opr };

// The table's binding inside the project database.
inline TableBinding& bindingOf(ProjectDb* db, Table t) {
  switch (t) {
    case Table::Wbs:
      return db->wbs;
    case Table::Obs:
      return db->obs;
    case Table::Res:
      return db->res;
    case Table::Crw:
      return db->crw;
    case Table::Act:
      return db->act;
    case Table::Rel:
      return db->rel;
    case Table::Opr:
      return db->opr;
  }
  return db->wbs;
}

// A scheme block as the store's input operations take it.
inline ClassLevels levelsOf(const XKvSchemeBlock& b) {
  ClassLevels l{};
  l.count = b.levels;
  for (int i = 0; i < 8; ++i) {
    l.start[i] = b.start[i];
    l.length[i] = b.length[i];
  }
  return l;
}

// Enters rec into table t through the store (work types with the first
// scheme block, facilities with the second; activities with projectStart
// and dateMode). The caller sets the table's current record first (-1 to
// add). Returns 0 or the store's message number.
inline int32_t inputRecord(ProjectDb* db, const XKvScheme& scheme, Table t, void* rec,
                           uint16_t projectStart, int16_t dateMode) {
  const ClassLevels wbs = levelsOf(scheme.block[0]), obs = levelsOf(scheme.block[1]);
  switch (t) {
    case Table::Wbs:
      return xInputRecWbs(db, rec, 0, &wbs);
    case Table::Obs:
      return xInputRecWbs(db, rec, 1, &obs);
    case Table::Res:
      return xInputRecRes(db, rec);
    case Table::Crw:
      return xInputRecCrew(db, rec, wbs.count);
    case Table::Act:
      return xInputRecAct(db, rec, projectStart, wbs.count, obs.count, dateMode);
    case Table::Rel:
      return xInputRecRel(db, rec);
    case Table::Opr:
      return xInputRecOpr(db, rec);
  }
  return -1;
}

// Restores a table's current record when an export is done with it.
struct KeepCurrent {
  explicit KeepCurrent(TableHandle& tb) : tb(tb), current(tb.current) {}
  ~KeepCurrent() { tb.current = current; }
  KeepCurrent(const KeepCurrent&) = delete;
  KeepCurrent& operator=(const KeepCurrent&) = delete;
  TableHandle& tb;
  int32_t current;
};

// The project information offsets an import takes from the settings file:
// calendar range (152, 154), amount decimals (197) and digits (198).
inline void takeSettings(void* info, const void* fromSettings) {
  char* to = static_cast<char*>(info);
  const char* from = static_cast<const char*>(fromSettings);
  for (int i = 152; i < 156; ++i) to[i] = from[i];
  for (int i = 197; i < 200; ++i) to[i] = from[i];
}

}  // namespace kvconv

#endif  // KVTABLES_H_

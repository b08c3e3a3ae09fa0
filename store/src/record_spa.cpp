// Time-shared entries: quantities of a time-shared activity per day.
#include "record_common.h"

using namespace xqd;

extern "C" int32_t xInputRecSpa(ProjectDb* db, const SpaEntry* entry) {
  IndexTable& spa = db->spa;
  // The entry being edited is the caller's current one, noted before any
  // lookup moves the position.
  const uint32_t editing = spa.current;
  SpaEntry input;
  memcpy(&input, entry, sizeof input);
  {
    CurrentGuard keep(&db->act);
    RecordBuffer act;
    if (!ReadRecord(&db->act, input.activity, &act) || act.as<ActRecord>()->type != 2)
      return XQD_MSG_NOT_TIME_SHARED;
  }
  if (!xIsValidT(input.day)) return XQD_MSG_BAD_DATE;
  SpaEntry current = {};
  spa.current = editing;
  const bool hasCurrent = editing != XJOR_NONE && xiGet(&spa, &current) == 1;
  const bool same = hasCurrent && current.activity == input.activity && current.day == input.day;
  if (!same && FindEntry(db, kSpa, &input)) {
    spa.current = editing;
    return XQD_MSG_DUPLICATE;
  }
  int32_t ok;
  if (same) {
    ok = ReplaceEntry(db, kSpa, &input);
  } else {
    if (hasCurrent) EraseEntry(db, kSpa, &current);
    ok = InsertEntry(db, kSpa, &input);
  }
  spa.current = XJOR_NONE;
  return ok ? 0 : EngineFailure();
}

// Dates of an activity derived from what the caller changed: start, finish,
// actual dates, remaining duration and constraints, counted in working days
// on the activity's calendar.
#ifndef XQD_RECORD_DATES_H_
#define XQD_RECORD_DATES_H_

#include "xQdDb100.h"

namespace xqd {

// Brings r (the record as the caller left it) into a consistent state
// against old (the stored record; all zeros for a new one). mode 0 derives
// dates only; mode > 0 also turns a changed start or finish without an
// actual date into a constraint. Selects the activity's calendar in the
// engine and leaves calendar 0 (plain days) selected.
void ApplyDateRules(const ActRecord& old, ActRecord* r, bool added, uint16_t projectStart,
                    int16_t mode);

}  // namespace xqd

#endif  // XQD_RECORD_DATES_H_

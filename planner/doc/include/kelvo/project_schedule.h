// The schedule analysis on an open project: reads the activities and
// relations from the project database, runs the analysis and stores the
// results in the records and the indexes the views read.
#ifndef KELVO_PROJECT_SCHEDULE_H_
#define KELVO_PROJECT_SCHEDULE_H_

#include <cstdint>

#include "kelvo/schedule.h"

struct ProjectDb;
struct PrjInfo;

namespace kelvo {

// Runs the analysis on db with the given data date. Activities are taken in
// activity-code-index order; relation codes are looked up in that index (a
// code that is not there names a missing activity). Every activity the
// analysis dated is written back, with its start and successor anchor day in
// the activity code index and the activity order index; the anchor days of
// the relation anchor index follow. The project start and finish of info
// (when info is not null) are replaced only when the analysis succeeded.
// Calendar 0 is selected afterwards. An index entry that names no live
// activity record gives kScheduleDamagedProject before anything changes.
ScheduleOutcome scheduleProject(ProjectDb* db, PrjInfo* info, uint16_t dataDate,
                                ScheduleListener* listener = nullptr);

}  // namespace kelvo

#endif  // KELVO_PROJECT_SCHEDULE_H_

// The schedule analysis on an open project: reads the activities and
// relations from the project database, runs the analysis and stores the
// results in the records and the indexes the views read.
#ifndef KELVO_PROJECT_SCHEDULE_H_
#define KELVO_PROJECT_SCHEDULE_H_

#include <cstdint>
#include <span>
#include <string>

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
// After a successful run outsideCalendarRange counts the activities of
// activitiesOutsideRange (with info's calendar range; 0 without info).
ScheduleOutcome scheduleProject(ProjectDb* db, PrjInfo* info, uint16_t dataDate,
                                ScheduleListener* listener = nullptr);

// The activities that are not finished, whose calendar (1..8) has working
// days in the engine, and whose early or late start or finish lies outside
// from..to: their days there were counted as plain calendar days. A range
// without a last day (to == 0) counts none.
int32_t activitiesOutsideRange(std::span<const ScheduleActivity> activities, uint16_t from,
                               uint16_t to);

// The warning after an analysis that left `activities` (> 0) outside the
// calendar range (UTF-8); empty for 0.
std::string calendarRangeWarning(int32_t activities);

}  // namespace kelvo

#endif  // KELVO_PROJECT_SCHEDULE_H_

// Schedule analysis on plain arrays: early and late dates, floats and network
// flags of every activity from durations, precedence relations with lags,
// working calendars, actual dates, constraints and the data date.
//
// The computation knows nothing of tables or files: a caller loads the
// activities (in activity-code order) and relations into arrays, runs
// runSchedule, and writes back every activity marked `written`.
#ifndef KELVO_SCHEDULE_H_
#define KELVO_SCHEDULE_H_

#include <cstdint>
#include <span>
#include <string>

namespace kelvo {

// Results of the analysis (message numbers of the string table).
inline constexpr int kScheduleDone = 0;
inline constexpr int kScheduleNoStart = 20016;         // no start or no end activity
inline constexpr int kScheduleLoop = 20017;            // a loop reachable from a start
inline constexpr int kScheduleDamagedProject = 20021;  // activity count mismatch
inline constexpr int kScheduleUnreachable = 20022;     // relations no start activity reaches
inline constexpr int kScheduleBadDate = 21015;         // no usable data date
inline constexpr int kScheduleOutOfRange = 22200;      // a date after 2107-12-31

// Bits of the activity flags word the analysis owns.
inline constexpr uint16_t kFlagStartsNetwork = 0x8000;
inline constexpr uint16_t kFlagEndsNetwork = 0x4000;

// Relation kinds.
inline constexpr int16_t kFinishToStart = 0;
inline constexpr int16_t kFinishToFinish = 1;
inline constexpr int16_t kStartToStart = 2;
inline constexpr int16_t kStartToFinish = 3;

// Activity kind of a milestone (its successor anchor day is its start).
inline constexpr int16_t kMilestone = 1;

// Working-day arithmetic on the project's calendars. Calendar 0 counts plain
// calendar days, 1..8 the working calendars.
class WorkCalendars {
 public:
  virtual ~WorkCalendars() = default;
  // Working-time offset of `day` (a packed date) on `calendar`. A day that is
  // not a working day has the offset of the next working day.
  virtual int32_t offset(int calendar, uint16_t day) = 0;
  // The packed date whose working-time offset on `calendar` is `offset`.
  virtual uint16_t dayAt(int calendar, int32_t offset) = 0;
};

// The fields of one activity record that the analysis reads or writes.
// Dates are packed dates (0 = none); counts are working days.
struct ScheduleActivity {
  char code[21] = {};  // activity code as stored, for captions
  uint16_t flags = 0;
  int16_t duration = 0;
  int16_t remaining = 0;
  int16_t totalFloat = 0;
  int16_t freeFloat = 0;
  uint16_t start = 0;
  uint16_t finish = 0;
  uint16_t earlyStart = 0;
  uint16_t earlyFinish = 0;
  uint16_t lateStart = 0;
  uint16_t lateFinish = 0;
  uint16_t actualStart = 0;
  uint16_t actualFinish = 0;
  uint16_t constraintDate = 0;  // 0 = no constraint
  // 1 start no earlier than, 2 finish no earlier than, 3 start no later than,
  // 4 finish no later than, 5 start on, 6 finish on (others: none)
  int16_t constraintKind = 0;
  int16_t calendar = 1;
  int16_t kind = 0;        // 0 normal, 1 milestone, 2 time-shared
  uint16_t anchorDay = 0;  // successor anchor day
  bool written = false;    // set when the analysis stored new values

  bool operator==(const ScheduleActivity&) const = default;
};

// One precedence relation; predecessor and successor are indexes into the
// activity array (-1 or out of range: the activity does not exist).
struct ScheduleRelation {
  int32_t predecessor = -1;
  int32_t successor = -1;
  int16_t kind = kFinishToStart;
  int16_t lag = 0;
};

struct ScheduleCounts {
  int32_t activities = 0;
  int32_t relations = 0;
  int32_t startActivities = 0;        // successors but no predecessors
  int32_t endActivities = 0;          // predecessors but no successors
  int32_t independentActivities = 0;  // no relations at all
};

struct ScheduleOutcome {
  int result = kScheduleDone;
  // For kScheduleLoop: "PRED - SUCC", the codes of one relation on the loop
  // as stored (CP949 bytes). For kScheduleOutOfRange: the code of the first
  // activity whose dates would fall after 2107-12-31.
  std::string caption;
  int32_t loopRelation = -1;  // index of that relation
  ScheduleCounts counts;
  // Earliest start and latest finish of the project. Valid (and to be
  // stored by the caller) only when projectDatesValid is set: the analysis
  // succeeded and dated at least one activity.
  uint16_t projectStart = 0xFFFF;
  uint16_t projectFinish = 0;
  bool projectDatesValid = false;
  int32_t datedActivities = 0;
  // Set by scheduleProject after a successful run: activities on a working
  // calendar with computed dates outside the project's calendar range,
  // where every day counts as a working day.
  int32_t outsideCalendarRange = 0;
};

// Receives the progress of a run. Phases: 0 classify activities, 1 level
// relations, 2 forward pass, 3 backward pass. Captions are UTF-8.
class ScheduleListener {
 public:
  virtual ~ScheduleListener() = default;
  // Called when a phase begins (position 0), every tenth item and when the
  // phase ends (position == range).
  virtual void progress(int /*phase*/, const char* /*caption*/, int32_t /*position*/,
                        int32_t /*range*/) {}
  // Called when the activity and relation counts are known, and again when
  // the start, end and independent activities have been counted.
  virtual void counters(const ScheduleCounts& /*counts*/) {}
};

// Caption of phase 0..3 (UTF-8).
const char* schedulePhaseCaption(int phase);

// Runs the analysis. `activities` must be in activity-code order;
// `activityRecords` is the number of records in the activity table (a
// mismatch with activities.size() gives kScheduleDamagedProject). Records
// dated before a failure keep their new values, as when the analysis writes
// its records as it goes; nothing is changed for kScheduleBadDate. A date
// that a packed date cannot hold stops the run with kScheduleOutOfRange and
// no activity marked `written`, so that no record changes.
ScheduleOutcome runSchedule(std::span<ScheduleActivity> activities,
                            std::span<const ScheduleRelation> relations, uint16_t dataDate,
                            int32_t activityRecords, WorkCalendars& calendars,
                            ScheduleListener* listener = nullptr);

// The successor anchor day of an activity: for a milestone its start,
// otherwise the day free-float working days after its finish on its own
// calendar, plus one calendar day.
uint16_t successorAnchorDay(const ScheduleActivity& activity, WorkCalendars& calendars);

}  // namespace kelvo

#endif  // KELVO_SCHEDULE_H_

// Dating of single activities during the analysis: independent activities,
// the forward pass over one relation (early dates) and the backward pass
// over one relation (late dates and floats), with the activity date table
// that remembers what each activity has received so far.
#ifndef KELVO_DOC_ACTIVITY_DATES_H_
#define KELVO_DOC_ACTIVITY_DATES_H_

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <vector>

#include "kelvo/schedule.h"

namespace kelvo {

class ActivityDating {
 public:
  ActivityDating(std::span<ScheduleActivity> activities, WorkCalendars& calendars,
                 uint16_t dataDate);

  // Dates an activity without relations (any activity, not only those of
  // this run's span) from the data date (or its actual dates) and marks it
  // as both starting and ending the network.
  void dateIndependent(ScheduleActivity& activity);

  // Forward pass: a start activity, as the successor of a start-to-start
  // relation without lag from the data date.
  void dateStartActivity(int32_t activity);
  // Forward pass over one relation whose predecessor has its final early
  // dates: dates the successor; the latest early start (then early finish)
  // wins, so the relations entering an activity may come in any order.
  void forward(const ScheduleRelation& relation);

  // Backward pass: an end activity, as the predecessor of a finish-to-finish
  // relation without lag anchored at its own early finish.
  void dateEndActivity(int32_t activity);
  // Backward pass over one relation whose successor has its final late
  // dates: dates the predecessor; the earliest late start wins, the first
  // of equal ones.
  void backward(const ScheduleRelation& relation);
  // After the last relation: sets the free floats and successor anchor days
  // of the activities the backward pass dated.
  void finishBackwardPass();

  // Widens this run's project start and finish by another's.
  void takeProjectDates(const ActivityDating& other) {
    projectStart_ = std::min(projectStart_, other.projectStart_);
    projectFinish_ = std::max(projectFinish_, other.projectFinish_);
  }

  uint16_t projectStart() const { return projectStart_; }
  uint16_t projectFinish() const { return projectFinish_; }

 private:
  // What the date table holds for one activity.
  struct Entry {
    uint16_t start = 0, earlyStart = 0, earlyFinish = 0;
    uint16_t lateStart = 0, lateFinish = 0;
    bool early = false, late = false;
    int32_t leastFreeFloat = INT32_MAX;  // smallest free float over the relations seen
    // Offsets on the activity's calendar, taken at its first backward visit.
    int32_t earlyStartOffset = 0, startOffset = 0, afterFinishOffset = 0;
  };
  // The days the other end of a relation is measured from, and the
  // calendar of the predecessor, kept apart from the rest so that reading
  // the other ends of the relations touches little memory.
  struct Anchors {
    uint16_t start = 0, earlyFinish = 0, lateStart = 0, lateFinish = 0;
    int16_t calendar = 0;
  };

  int32_t offset(int calendar, uint16_t day) { return calendars_.offset(calendar, day); }
  uint16_t plus(int calendar, uint16_t day, int32_t days) {
    return calendars_.dayAt(calendar, calendars_.offset(calendar, day) + days);
  }
  uint16_t nextCalendarDay(uint16_t day) { return plus(0, day, 1); }
  // The day at an offset, a negative offset counting as 0 (as the calendar
  // does); `offset` is clamped in place so it stays the day's offset.
  uint16_t at(int calendar, int32_t& offset) {
    offset = std::max(offset, 0);
    return calendars_.dayAt(calendar, offset);
  }
  uint16_t at(int calendar, int32_t&& offset) { return at(calendar, offset); }

  void forwardDate(int32_t activity, int16_t kind, int32_t lag, uint16_t anchorStart,
                   uint16_t anchorFinish, int anchorCalendar, bool fromDataDate, bool isStart);
  void backwardDate(int32_t activity, int16_t kind, int32_t lag, const Anchors& successor,
                    bool isEnd);
  // Dates an activity with an actual finish from its actual dates.
  void takeActualDates(ScheduleActivity& activity);
  int16_t remainingOf(const ScheduleActivity& activity) const;
  void clampToDataDate(int calendar, int16_t remaining, uint16_t& earlyStart,
                       uint16_t& earlyFinish);

  std::span<ScheduleActivity> activities_;
  WorkCalendars& calendars_;
  uint16_t dataDate_;
  std::vector<Entry> table_;
  std::vector<Anchors> anchors_;
  uint16_t projectStart_ = 0xFFFF;
  uint16_t projectFinish_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_DOC_ACTIVITY_DATES_H_

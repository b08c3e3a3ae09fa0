// The date rules of activity input.
#include "record_dates.h"

namespace xqd {
namespace {

constexpr uint16_t kNewFlags = 0x3000;
constexpr int16_t kMilestone = 1;
constexpr int16_t kTimeShared = 2;
constexpr int16_t kStartOn = 5;
constexpr int16_t kFinishOn = 6;

// Day arithmetic on the selected calendar: the day n working days after d.
uint16_t Plus(uint16_t d, int32_t n) {
  return xGetTimeFromOffset(xGetTimeOffset(d) + n);
}
// Working days from a to b, both counted.
int16_t Span(uint16_t from, uint16_t to) {
  const int32_t n = xGetTimeOffset(to) - xGetTimeOffset(from) + 1;
  return static_cast<int16_t>(n < 0 ? 0 : n > INT16_MAX ? INT16_MAX : n);
}

}  // namespace

void ApplyDateRules(const ActRecord& old, ActRecord* r, bool added, uint16_t projectStart,
                    int16_t mode) {
  // 1. Calendar and duration.
  if (r->calendar < 0 || r->calendar > 8 || (added && r->calendar == 0)) r->calendar = 1;
  if (r->duration < 0) r->duration = 0;
  xSetCalNo(r->calendar);

  // 2, 3. A moved start or finish carries the activity with it.
  const bool startMoved = r->start != 0 && r->start != old.start;
  const bool finishMoved = r->finish != 0 && r->finish != old.finish;
  if (startMoved) {
    if (r->actualStart != 0 && r->actualStart == old.actualStart) {
      r->actualStart = r->start;
    } else if (r->actualStart == 0 && mode != 0) {
      r->constraintDate = r->start;
      r->constraintType = kStartOn;
    }
    if (mode != 0 && finishMoved) {
      r->duration = Span(r->start, r->finish);
    } else {
      r->finish = Plus(r->start, r->duration - 1);
    }
  } else if (finishMoved) {
    if (r->actualFinish != 0 && r->actualFinish == old.actualFinish) {
      r->actualFinish = r->finish;
    } else if (r->actualFinish == 0 && mode != 0) {
      r->constraintDate = r->finish;
      r->constraintType = kFinishOn;
    }
    r->start = Plus(r->finish, -(r->duration - 1));
    if (r->actualStart != 0) r->actualStart = r->start;
  }

  if (r->actualFinish != 0 && r->actualFinish != old.actualFinish) {
    // 4. A new actual finish completes the activity.
    if (r->actualStart != 0) {
      r->duration = Span(r->actualStart, r->actualFinish);
    } else {
      r->actualStart = Plus(r->actualFinish, -(r->duration - 1));
    }
    r->start = r->earlyStart = r->lateStart = r->actualStart;
    r->finish = r->earlyFinish = r->lateFinish = r->actualFinish;
    r->remaining = r->totalFloat = r->freeFloat = 0;
  } else {
    // 5. Otherwise the dates follow the actual start, the duration and the
    // remaining duration.
    if (r->actualStart != 0) {
      r->start = r->actualStart;
      if (r->actualStart != old.actualStart && r->finish != 0)
        r->duration = Span(r->actualStart, r->finish);
    } else if (r->remaining == old.remaining) {
      r->remaining = r->duration;
    }
    if (r->start == 0) {
      r->start = r->actualStart != 0  ? r->actualStart
                 : r->earlyStart != 0 ? r->earlyStart
                                      : projectStart;
    }
    if (r->finish == 0 || r->duration != old.duration) {
      r->finish = Plus(r->start, r->duration - 1);
      if (r->actualFinish != 0) r->actualFinish = r->finish;
    }
    if (r->remaining < 0) r->remaining = 0;
    if (r->remaining > r->duration) r->remaining = r->duration;
    if (r->remaining != old.remaining) {
      if (r->remaining > 0) {
        r->actualStart = r->remaining == r->duration ? 0 : r->start;
        r->actualFinish = 0;
      } else {
        r->actualStart = r->start;
        r->actualFinish = r->finish;
      }
    }
    if (r->start != old.start || r->finish != old.finish || r->remaining != old.remaining) {
      const uint16_t early =
          r->actualStart != 0 ? Plus(r->actualStart, r->duration - r->remaining) : r->start;
      r->earlyStart = r->lateStart = early;
      r->earlyFinish = r->lateFinish = r->finish;
      r->totalFloat = r->freeFloat = 0;
    }
  }

  // 6. Free float, flags and kind.
  if (r->freeFloat < 0) r->freeFloat = 0;
  if (added) r->flags = kNewFlags;
  if (r->type != kTimeShared) r->type = r->duration == 0 ? kMilestone : 0;

  // 7. The day a successor may follow.
  r->anchor = xSuccessorAnchorDay(r);
}

}  // namespace xqd

uint16_t xSuccessorAnchorDay(const ActRecord* a) {
  uint16_t anchor = a->start;
  if (a->type != xqd::kMilestone) {
    xSetCalNo(a->calendar);
    const uint16_t last = xqd::Plus(a->finish, a->freeFloat);
    xSetCalNo(0);
    anchor = xqd::Plus(last, 1);
  }
  xSetCalNo(0);
  return anchor;
}

#include "activity_dates.h"

#include <algorithm>

namespace kelvo {

namespace {

constexpr uint16_t kNetworkFlags = kFlagStartsNetwork | kFlagEndsNetwork;

// Constraint kinds, as bits of the masks below.
constexpr unsigned bit(int kind) {
  return 1u << kind;
}
constexpr unsigned kAllConstraints = bit(1) | bit(2) | bit(3) | bit(4) | bit(5) | bit(6);
// The forward pass only pushes early dates later; the backward pass only
// pulls late dates earlier.
constexpr unsigned kForwardConstraints = bit(1) | bit(5) | bit(2);
constexpr unsigned kBackwardConstraints = bit(3) | bit(4) | bit(6);

int16_t toCount(int32_t days) {
  return static_cast<int16_t>(std::clamp<int32_t>(days, INT16_MIN, INT16_MAX));
}

int16_t durationOf(const ScheduleActivity& a) {
  return std::max<int16_t>(a.duration, 0);
}

int16_t relationKind(const ScheduleRelation& r) {
  // A kind outside the four known ones (a damaged record) counts as
  // finish-to-start rather than reading past the rules.
  return (r.kind >= kFinishToStart && r.kind <= kStartToFinish) ? r.kind : kFinishToStart;
}

// Applies the activity's constraint (kinds in `kinds`, a date of 0 is none)
// to a start/finish pair. Moving one end moves the other by the remaining
// duration. Returns whether anything moved.
bool applyConstraint(WorkCalendars& c, const ScheduleActivity& a, int16_t remaining, unsigned kinds,
                     uint16_t& start, uint16_t& finish) {
  const uint16_t date = a.constraintDate;
  const int16_t kind = a.constraintKind;
  if (date == 0 || kind < 1 || kind > 6 || !(kinds & bit(kind))) return false;
  const int cal = a.calendar;
  bool moveStart = false, moveFinish = false;
  switch (kind) {
    case 1:  // start no earlier than
      moveStart = start < date;
      break;
    case 2:  // finish no earlier than
      moveFinish = finish < date;
      break;
    case 3:  // start no later than
      moveStart = start > date;
      break;
    case 4:  // finish no later than
      moveFinish = finish > date;
      break;
    case 5:  // start on
      moveStart = true;
      break;
    case 6:  // finish on
      moveFinish = true;
      break;
  }
  if (moveStart) {
    start = date;
    finish = c.dayAt(cal, c.offset(cal, start) + remaining - 1);
  } else if (moveFinish) {
    finish = date;
    start = c.dayAt(cal, c.offset(cal, finish) - remaining + 1);
  }
  return moveStart || moveFinish;
}

}  // namespace

uint16_t successorAnchorDay(const ScheduleActivity& a, WorkCalendars& calendars) {
  if (a.kind == kMilestone) return a.start;
  const uint16_t freeEnd =
      calendars.dayAt(a.calendar, calendars.offset(a.calendar, a.finish) + a.freeFloat);
  return calendars.dayAt(0, calendars.offset(0, freeEnd) + 1);
}

ActivityDating::ActivityDating(std::span<ScheduleActivity> activities, WorkCalendars& calendars,
                               uint16_t dataDate)
    : activities_(activities),
      calendars_(calendars),
      dataDate_(dataDate),
      table_(activities.size()),
      anchors_(activities.size()) {}

int16_t ActivityDating::remainingOf(const ScheduleActivity& a) const {
  const int16_t duration = durationOf(a);
  if (a.actualStart == 0) return duration;
  return std::clamp<int16_t>(a.remaining, 0, duration);
}

void ActivityDating::clampToDataDate(int calendar, int16_t remaining, uint16_t& earlyStart,
                                     uint16_t& earlyFinish) {
  if (earlyStart >= dataDate_) return;
  earlyStart = plus(calendar, dataDate_, 0);
  earlyFinish = plus(calendar, earlyStart, remaining - 1);
}

void ActivityDating::takeActualDates(ScheduleActivity& a) {
  const int cal = a.calendar;
  if (a.actualStart != 0) {
    a.duration = toCount(std::max(0, offset(cal, a.actualFinish) - offset(cal, a.actualStart) + 1));
  } else {
    a.duration = durationOf(a);
    a.actualStart = plus(cal, a.actualFinish, -a.duration + 1);
  }
  a.earlyStart = a.lateStart = a.start = a.actualStart;
  a.earlyFinish = a.lateFinish = a.finish = a.actualFinish;
  a.remaining = a.totalFloat = a.freeFloat = 0;
}

void ActivityDating::dateIndependent(ScheduleActivity& a) {
  if (a.actualFinish != 0) {
    takeActualDates(a);
  } else {
    const int cal = a.calendar;
    const int16_t remaining = remainingOf(a);
    uint16_t es = plus(cal, dataDate_, 0);
    uint16_t ef = plus(cal, es, remaining - 1);
    applyConstraint(calendars_, a, remaining, kAllConstraints, es, ef);
    if (a.actualStart != 0) clampToDataDate(cal, remaining, es, ef);
    a.duration = durationOf(a);
    a.remaining = remaining;
    a.earlyStart = a.lateStart = es;
    a.earlyFinish = a.lateFinish = a.finish = ef;
    a.start = a.actualStart != 0 ? a.actualStart : es;
    a.totalFloat = a.freeFloat = 0;
  }
  a.anchorDay = successorAnchorDay(a, calendars_);
  a.flags |= kNetworkFlags;
  a.written = true;
  projectStart_ = std::min(projectStart_, a.start);
  projectFinish_ = std::max(projectFinish_, a.finish);
}

void ActivityDating::dateStartActivity(int32_t activity) {
  forwardDate(activity, kStartToStart, 0, 0, 0, 0, /*fromDataDate=*/true, /*isStart=*/true);
}

void ActivityDating::forward(const ScheduleRelation& r) {
  const Anchors& pred = anchors_[r.predecessor];
  forwardDate(r.successor, relationKind(r), r.lag, pred.start, pred.earlyFinish, pred.calendar,
              /*fromDataDate=*/false, /*isStart=*/false);
}

void ActivityDating::forwardDate(int32_t index, int16_t kind, int32_t lag, uint16_t anchorStart,
                                 uint16_t anchorFinish, int anchorCalendar, bool fromDataDate,
                                 bool isStart) {
  ScheduleActivity& a = activities_[index];
  Entry& entry = table_[index];
  if (a.actualFinish != 0) {
    // Actual dates are the same through every relation: the first one dates it.
    if (entry.early) return;
    takeActualDates(a);
  } else {
    const bool started = a.actualStart != 0;
    const int16_t remaining = remainingOf(a);
    // A started activity is not held back by the lag of a relation that
    // only gates its start.
    if (started && (kind == kFinishToStart || kind == kStartToStart)) lag = 0;
    const uint16_t anchor =
        (kind == kStartToStart || kind == kStartToFinish) ? anchorStart : anchorFinish;
    const uint16_t d = fromDataDate ? dataDate_ : plus(anchorCalendar, anchor, lag);
    const int cal = a.calendar;
    // Offsets are carried from one day to the next to spare calendar look-ups.
    int32_t o = 0;
    uint16_t es = 0, ef = 0;
    switch (kind) {
      case kFinishToStart:
        o = offset(cal, d);
        es = at(cal, o);
        if (es == d) es = at(cal, ++o);  // the first working day after d
        ef = at(cal, o + remaining - 1);
        break;
      case kFinishToFinish:
        o = offset(cal, d);
        ef = at(cal, o);
        es = at(cal, o - remaining + 1);
        break;
      case kStartToStart:
        o = offset(cal, d);
        es = at(cal, o);
        ef = at(cal, o + remaining - 1);
        break;
      case kStartToFinish:
        o = offset(cal, d) - 1;
        ef = at(cal, o);
        es = at(cal, o - remaining + 1);
        break;
    }
    clampToDataDate(cal, remaining, es, ef);
    applyConstraint(calendars_, a, remaining, kForwardConstraints, es, ef);
    if (started) clampToDataDate(cal, remaining, es, ef);

    const bool wins =
        !entry.early || es > entry.earlyStart || (es == entry.earlyStart && ef > entry.earlyFinish);
    if (!wins) return;
    a.duration = durationOf(a);
    a.remaining = remaining;
    a.earlyStart = es;
    a.earlyFinish = a.finish = ef;
    a.start = started ? a.actualStart : es;
  }
  entry.early = true;
  entry.start = a.start;
  entry.earlyStart = a.earlyStart;
  entry.earlyFinish = a.earlyFinish;
  // The calendar too: a relation is followed only from a dated predecessor.
  anchors_[index] = {a.start, a.earlyFinish, 0, 0, a.calendar};
  a.flags &= static_cast<uint16_t>(~kNetworkFlags);
  if (isStart) {
    a.flags |= kFlagStartsNetwork;
    projectStart_ = std::min(projectStart_, a.start);
  }
  a.written = true;
}

void ActivityDating::dateEndActivity(int32_t activity) {
  const uint16_t ef = table_[activity].earlyFinish;
  backwardDate(activity, kFinishToFinish, 0, Anchors{ef, ef, ef, ef, 0}, /*isEnd=*/true);
}

void ActivityDating::backward(const ScheduleRelation& r) {
  const Anchors succ = anchors_[r.successor];
  backwardDate(r.predecessor, relationKind(r), r.lag, succ, /*isEnd=*/false);
}

void ActivityDating::backwardDate(int32_t index, int16_t kind, int32_t lag, const Anchors& succ,
                                  bool isEnd) {
  ScheduleActivity& a = activities_[index];
  Entry& entry = table_[index];
  uint16_t ls = 0, lf = 0;
  int32_t totalFloat = 0, freeFloat = 0;
  if (a.actualFinish != 0) {
    // Finished work keeps its dates; it still records them so that it is
    // dated once.
    ls = a.actualStart;
    lf = a.actualFinish;
  } else {
    const int cal = a.calendar;
    const int16_t remaining = a.remaining;
    if (!entry.late) {
      entry.earlyStartOffset = offset(cal, a.earlyStart);
      entry.startOffset = offset(cal, a.start);
      entry.afterFinishOffset = offset(cal, nextCalendarDay(a.earlyFinish));
    }
    if ((kind == kStartToStart || kind == kStartToFinish) && a.actualStart != 0) {
      lag = std::max(0, lag + entry.startOffset - offset(cal, dataDate_));
    }
    int32_t o = 0;  // offset of the late start
    switch (kind) {
      case kFinishToStart:
        o = offset(cal, succ.lateStart) - lag - 1;
        lf = at(cal, o);
        ls = at(cal, o -= remaining - 1);
        break;
      case kFinishToFinish: {
        o = offset(cal, succ.lateFinish);
        if (at(cal, o) != succ.lateFinish) --o;  // the last working day on or before it
        o -= lag;
        lf = at(cal, o);
        ls = at(cal, o -= remaining - 1);
        break;
      }
      case kStartToStart:
        o = offset(cal, succ.lateStart) - lag;
        ls = at(cal, o);
        lf = at(cal, o + remaining - 1);
        break;
      case kStartToFinish:
        o = offset(cal, succ.lateFinish) - lag + 1;
        ls = at(cal, o);
        lf = at(cal, o + remaining - 1);
        break;
    }
    if (applyConstraint(calendars_, a, remaining, kBackwardConstraints, ls, lf)) {
      o = offset(cal, ls);
    }
    // Free float through this relation, counted on this activity's calendar.
    const bool fromFinish = kind == kFinishToStart || kind == kFinishToFinish;
    const int32_t ownDay = fromFinish ? entry.afterFinishOffset : entry.startOffset;
    const bool toStart = kind == kFinishToStart || kind == kStartToStart;
    const uint16_t succDay = toStart ? succ.start : nextCalendarDay(succ.earlyFinish);
    freeFloat = offset(cal, succDay) - lag - ownDay;
    totalFloat = std::max(o, 0) - entry.earlyStartOffset;
  }

  if (!entry.late || ls < entry.lateStart) {
    a.lateStart = entry.lateStart = anchors_[index].lateStart = ls;
    a.lateFinish = entry.lateFinish = anchors_[index].lateFinish = lf;
    a.totalFloat = toCount(totalFloat);
    a.finish = a.earlyFinish;
    a.written = true;
    entry.late = true;
    if (isEnd) {
      a.flags |= kFlagEndsNetwork;
      projectFinish_ = std::max(projectFinish_, a.earlyFinish);
    }
  }
  entry.leastFreeFloat = std::min(entry.leastFreeFloat, freeFloat);
}

void ActivityDating::finishBackwardPass() {
  // Free float is the least over all outgoing relations, within 0..total
  // float; the successor anchor day follows from it.
  for (size_t i = 0; i < table_.size(); ++i) {
    if (!table_[i].late) continue;
    ScheduleActivity& a = activities_[i];
    a.freeFloat =
        toCount(std::max<int32_t>(0, std::min<int32_t>(table_[i].leastFreeFloat, a.totalFloat)));
    a.anchorDay = successorAnchorDay(a, calendars_);
  }
}

}  // namespace kelvo

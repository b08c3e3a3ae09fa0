// Planned schedule, stage closing and progress from the data date.
#include <algorithm>
#include <cstdio>

#include "kelvo/progress_stages.h"
#include "xJorDbm2.h"

namespace kelvo {

namespace {

uint16_t shift(WorkCalendars& calendars, int calendar, uint16_t day, int32_t days) {
  return calendars.dayAt(calendar, calendars.offset(calendar, day) + days);
}

// First working day strictly after `day`; a non-working day has the offset of
// the next working day, which then is the answer itself.
uint16_t workingDayAfter(WorkCalendars& calendars, int calendar, uint16_t day) {
  const int32_t at = calendars.offset(calendar, day);
  return calendars.dayAt(calendar, calendars.dayAt(calendar, at) == day ? at + 1 : at);
}

}  // namespace

bool setPlannedSchedule(ProgressActivity& a, int percent, bool excludeStarted,
                        WorkCalendars& calendars) {
  if (excludeStarted && a.actualStart != 0 && a.plannedStart != 0) return false;
  if (a.start == 0 || a.finish == 0) return false;
  percent = std::clamp(percent, 0, 100);
  const int cal = a.calendar;
  const int32_t delay = static_cast<int32_t>(a.totalFloat) * percent / 100;
  a.plannedStart = shift(calendars, cal, a.start, delay);
  a.plannedDuration = a.duration;
  a.plannedFinish = shift(calendars, cal, a.plannedStart, a.duration - 1);
  a.plannedES = a.start;
  a.plannedEF = shift(calendars, cal, a.start, a.duration - 1);
  a.plannedLF = shift(calendars, cal, a.finish, a.totalFloat);
  a.plannedLS = shift(calendars, cal, a.plannedLF, 1 - a.duration);
  return true;
}

std::string stageText(int16_t stage) {
  if (stage <= 0) return "계획 단계";
  char text[32];
  std::snprintf(text, sizeof text, "진행 %d단계", stage);
  return text;
}

int closeStage(StageState& state, uint16_t from, uint16_t to, WorkCalendars& calendars) {
  if (from == 0 || !xIsValidT(from)) return kStageBadStart;
  if (to == 0 || !xIsValidT(to) || to < from) return kStageBadFinish;
  state.periodStart = from;
  state.periodFinish = to;
  state.stage = static_cast<int16_t>(std::min(state.stage + 1, 32767));
  state.dataDate = workingDayAfter(calendars, 1, to);
  return kStageClosed;
}

ProgressUpdate deriveProgress(ProgressActivity& a, uint16_t dataDate, int quantityDecimals,
                              WorkCalendars& calendars) {
  ProgressUpdate update;
  if (a.actualFinish != 0 || a.start == 0 || dataDate == 0) return update;
  const int cal = a.calendar;
  const int32_t n = std::max<int32_t>(a.duration, 1);
  const uint16_t from = std::max(a.start, a.plannedStart);
  const int32_t left =
      std::clamp<int32_t>(calendars.offset(cal, from) + n - calendars.offset(cal, dataDate), 0, n);
  if (left < n && a.actualStart == 0) a.actualStart = from;
  // The analysis reads the duration back from the actual dates, so a
  // milestone finishes the working day before its actual start.
  if (left == 0) {
    a.actualFinish = shift(calendars, cal, a.actualStart, std::max<int16_t>(a.duration, 0) - 1);
  }
  a.remaining = a.duration < 1 ? 0 : static_cast<int16_t>(left);
  update.written = true;
  if (a.kind == kTimeShared && a.duration > 0 && a.remaining < a.duration) {
    double done = (a.duration - a.remaining) * a.quantity / a.duration;
    xRound(&done, quantityDecimals);
    update.sharedQuantity = done;
  }
  return update;
}

}  // namespace kelvo

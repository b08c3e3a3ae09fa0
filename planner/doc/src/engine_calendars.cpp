#include "kelvo/engine_calendars.h"

#include "xjor/calendar.h"

namespace kelvo {

EngineCalendars::EngineCalendars() : previous_(xGetCalNo()), selected_(previous_) {}

EngineCalendars::~EngineCalendars() {
  xSetCalNo(previous_);
}

void EngineCalendars::select(int calendar) {
  // The engine treats every number outside 1..8 as plain calendar days.
  if (calendar < 1 || calendar > 8) calendar = 0;
  if (calendar != selected_) {
    xSetCalNo(calendar);
    selected_ = calendar;
  }
}

int32_t EngineCalendars::offset(int calendar, uint16_t day) {
  select(calendar);
  return xGetTimeOffset(day);
}

uint16_t EngineCalendars::dayAt(int calendar, int32_t offset) {
  select(calendar);
  return xGetTimeFromOffset(offset);
}

}  // namespace kelvo

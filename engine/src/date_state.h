// The engine's process-wide date state: the eight calendar slots, the
// selected calendar and the date display settings. Everything that reads or
// changes this state goes through the one object declared here.
#ifndef XJOR_DATE_STATE_H_
#define XJOR_DATE_STATE_H_

#include <stdint.h>

#include "xjor/calendar.h"

namespace xjor {

struct CalendarSlot {
  uint16_t* dates = nullptr;  // ascending working days, null when empty
  uint16_t count = 0;
  bool engineOwned = false;  // made by xSetWork (freed by the engine)
  // Lookup from day number - lookupFirstDay to the index of the first working
  // day on or after it. Built on demand; every hit is checked against dates,
  // so a caller who changes the array later still gets exact answers.
  uint16_t* lookup = nullptr;
  int32_t lookupFirstDay = 0;
  int32_t lookupDays = 0;
  int32_t lookupMisses = 0;
};

struct DateState {
  CalendarSlot slots[XJOR_CALENDAR_SLOTS];
  int32_t selectedSlot = -1;  // 0-7, or -1 for plain calendar days
  int16_t form = 0;
  int16_t ordinalMode = 0;
  uint16_t ordinalBase = 0;
  int16_t startDayOfMonth = 1;
  int16_t startDayOfWeek = 1;
  char delimiter = '-';
};

extern DateState g_dateState;

// The selected calendar when it holds at least one working day, else null.
inline CalendarSlot* selectedCalendar() {
  int32_t s = g_dateState.selectedSlot;
  if (s < 0) return nullptr;
  CalendarSlot& slot = g_dateState.slots[s];
  return slot.count > 0 ? &slot : nullptr;
}

}  // namespace xjor

#endif  // XJOR_DATE_STATE_H_

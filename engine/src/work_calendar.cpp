// The eight working calendars and the conversion between packed dates and
// working-time offsets on the selected one.
#include <stdlib.h>

#include "date_state.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace xjor {

DateState g_dateState;

namespace {

CalendarSlot* slotAt(int32_t slot) {
  if (slot < 0 || slot >= XJOR_CALENDAR_SLOTS) return nullptr;
  return &g_dateState.slots[slot];
}

void emptySlot(CalendarSlot& s) {
  if (s.engineOwned) free(s.dates);
  free(s.lookup);
  s = CalendarSlot{};
}

// Index of the first working day on or after d. Callers ensure
// W[0] < d <= W[n-1], so for ascending dates the result lies in 1..n-1.
uint32_t firstOnOrAfter(const uint16_t* dates, uint32_t n, uint16_t d) {
  // Branch-free lower bound: the step is taken by arithmetic, not a jump,
  // since random probes would mispredict half of the time.
  uint32_t at = 0;
  while (n > 1) {
    uint32_t half = n / 2;
    at += static_cast<uint32_t>(dates[at + half - 1] < d) * half;
    n -= half;
  }
  return at + (dates[at] < d ? 1 : 0);
}

// (Re)builds the slot's day lookup over its current dates; on failure the
// slot simply has none and searches.
void buildLookup(CalendarSlot& s) {
  free(s.lookup);
  s.lookup = nullptr;
  s.lookupMisses = 0;
  const uint16_t* w = s.dates;
  int32_t first = dayNumber(w[0]);
  int32_t days = dayNumber(w[s.count - 1]) - first + 1;
  if (days <= 0) return;
  s.lookup = static_cast<uint16_t*>(malloc(sizeof(uint16_t) * days));
  if (s.lookup == nullptr) return;
  s.lookupFirstDay = first;
  s.lookupDays = days;
  uint32_t at = 0;
  for (int32_t i = 0; i < days; ++i) {
    while (at + 1 < s.count && dayNumber(w[at]) < first + i) ++at;
    s.lookup[i] = static_cast<uint16_t>(at);
  }
}

// Index of the first working day on or after d (day number dn), given
// W[0] < d <= W[n-1].
uint32_t workingIndex(CalendarSlot& s, uint16_t d, int32_t dn) {
  const uint16_t* w = s.dates;
  if (s.lookup == nullptr) buildLookup(s);
  uint32_t rel = static_cast<uint32_t>(dn - s.lookupFirstDay);
  if (s.lookup != nullptr && rel < static_cast<uint32_t>(s.lookupDays)) {
    uint32_t at = s.lookup[rel];
    if (at >= 1 && at < s.count && w[at] >= d && w[at - 1] < d) return at;
  }
  // The array changed since the lookup was built: search, and rebuild once
  // the misses have paid for it.
  if (++s.lookupMisses > s.lookupDays / 4 + 16) buildLookup(s);
  return firstOnOrAfter(w, s.count, d);
}

}  // namespace
}  // namespace xjor

using namespace xjor;

extern "C" int32_t xSetCalNo(int32_t calNo) {
  g_dateState.selectedSlot = calNo >= 1 && calNo <= XJOR_CALENDAR_SLOTS ? calNo - 1 : -1;
  return calNo;
}

extern "C" int32_t xGetCalNo(void) {
  return g_dateState.selectedSlot + 1;
}

extern "C" uint16_t* xSetWork(int32_t slot, int32_t count) {
  CalendarSlot* s = slotAt(slot);
  if (s == nullptr) return nullptr;
  emptySlot(*s);
  if (count <= 0 || count > UINT16_MAX) return nullptr;
  s->dates = static_cast<uint16_t*>(calloc(count, sizeof(uint16_t)));
  if (s->dates == nullptr) return nullptr;
  s->count = static_cast<uint16_t>(count);
  s->engineOwned = true;
  return s->dates;
}

extern "C" int32_t xSetWorkBuf(int32_t slot, uint16_t* dates, int32_t count) {
  CalendarSlot* s = slotAt(slot);
  if (s == nullptr) return 0;
  emptySlot(*s);
  if (dates == nullptr) return 0;
  if (count < 0) count = 0;
  if (count > UINT16_MAX) count = UINT16_MAX;
  s->dates = dates;
  s->count = static_cast<uint16_t>(count);
  return count;
}

extern "C" void xFreeWork(int32_t slot) {
  if (CalendarSlot* s = slotAt(slot)) emptySlot(*s);
}

extern "C" uint16_t* xGetWork(int32_t slot) {
  CalendarSlot* s = slotAt(slot);
  return s != nullptr && s->count > 0 ? s->dates : nullptr;
}

extern "C" int32_t xGetWorkCount(int32_t slot) {
  CalendarSlot* s = slotAt(slot);
  return s != nullptr ? s->count : 0;
}

extern "C" int32_t xGetTimeOffset(uint16_t d) {
  if (d == 0) return 0;
  CalendarSlot* cal = selectedCalendar();
  if (cal == nullptr || d <= cal->dates[0]) return dayNumber(d);
  const uint16_t* w = cal->dates;
  uint32_t last = cal->count - 1u;
  int32_t base = dayNumber(w[0]);
  if (d <= w[last]) return base + static_cast<int32_t>(workingIndex(*cal, d, dayNumber(d)));
  return base + static_cast<int32_t>(last) + (dayNumber(d) - dayNumber(w[last]));
}

extern "C" uint16_t xGetTimeFromOffset(int32_t offset) {
  if (offset < 0) offset = 0;
  const CalendarSlot* cal = selectedCalendar();
  if (cal != nullptr) {
    int32_t base = dayNumber(cal->dates[0]);
    if (offset > base) {
      int32_t k = offset - base;
      int32_t last = cal->count - 1;
      if (k <= last) return cal->dates[k];
      int64_t day = static_cast<int64_t>(dayNumber(cal->dates[last])) + (k - last);
      return dateFromDayNumber(day > kLastDayNumber ? kLastDayNumber : static_cast<int32_t>(day));
    }
  }
  return dateFromDayNumber(offset);
}

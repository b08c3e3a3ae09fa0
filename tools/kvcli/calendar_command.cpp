// kvcli calendar: one working calendar set as the calendar dialog's OK
// stores it, the others rebuilt over the same range.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "project_session.h"
#include "xjor/calendar.h"

namespace kvcli {

namespace {

constexpr int32_t kLongestRange = 7304;  // days after the first day of a range

// Day maps of the dialog: for each calendar, one flag per day of the range,
// true for a non-working day.
using DayMap = std::vector<bool>;

// The map of an installed calendar: an empty list means every day works.
DayMap mapOf(int slot, int32_t first, int32_t days) {
  DayMap offDays(days, false);
  const int32_t count = xGetWorkCount(slot);
  if (count == 0) return offDays;
  const uint16_t* list = xGetWork(slot);
  std::fill(offDays.begin(), offDays.end(), true);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t k = xGetTimeOffset(list[i]) - first;  // plain day numbers
    if (k >= 0 && k < days) offDays[k] = false;
  }
  return offDays;
}

// Installs a map as the dialog's OK does: a list only when the range has
// both working and non-working days, with the day before and after the
// range when its ends do not work.
void install(int slot, const DayMap& offDays, int32_t first) {
  const bool someOff = std::find(offDays.begin(), offDays.end(), true) != offDays.end();
  const bool someWork = std::find(offDays.begin(), offDays.end(), false) != offDays.end();
  if (!someOff || !someWork) return;
  std::vector<uint16_t> list;
  const int32_t days = static_cast<int32_t>(offDays.size());
  if (offDays.front()) list.push_back(xGetTimeFromOffset(first - 1));
  for (int32_t k = 0; k < days; ++k) {
    if (!offDays[k]) list.push_back(xGetTimeFromOffset(first + k));
  }
  if (offDays.back()) list.push_back(xGetTimeFromOffset(first + days));
  uint16_t* array = xSetWork(slot, static_cast<int32_t>(list.size()));
  if (array) std::copy(list.begin(), list.end(), array);
}

}  // namespace

int calendar(const std::string& file, const CalendarRequest& request) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  if (request.number < 1 || request.number > XJOR_CALENDAR_SLOTS) return usage();
  const uint16_t from = xStrToTime(request.from.c_str()), to = xStrToTime(request.to.c_str());
  std::vector<uint16_t> holidays;
  for (const std::string& h : request.holidays) {
    holidays.push_back(xStrToTime(h.c_str()));
    if (holidays.back() == 0) return fail(21015);
  }
  xSetCalNo(0);
  if (from == 0 || to == 0 || to < from) return fail(21015);
  const int32_t first = xGetTimeOffset(from);
  const int32_t days = std::min(xGetTimeOffset(to), first + kLongestRange) - first + 1;

  std::vector<DayMap> maps;
  for (int slot = 0; slot < XJOR_CALENDAR_SLOTS; ++slot) maps.push_back(mapOf(slot, first, days));
  DayMap& chosen = maps[request.number - 1];
  for (int32_t k = 0; k < days; ++k) {
    const uint16_t day = xGetTimeFromOffset(first + k);
    const bool weekdayOff = (request.offWeekdays >> xGetDayOfWeek(day)) & 1;
    chosen[k] = weekdayOff || std::find(holidays.begin(), holidays.end(), day) != holidays.end();
  }
  for (int slot = 0; slot < XJOR_CALENDAR_SLOTS; ++slot) {
    xFreeWork(slot);
    install(slot, maps[slot], first);
  }
  s.info.calendarFrom = from;
  s.info.calendarTo = xGetTimeFromOffset(first + days - 1);
  xSavePrjDateInfo(&s.db);
  if (int m = s.save(file)) return fail(m);
  std::printf("달력 %d: 작업일 %d일\n", request.number, xGetWorkCount(request.number - 1));
  return 0;
}

}  // namespace kvcli

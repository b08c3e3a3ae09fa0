// kvcli calendar: one working calendar set as the calendar dialog's OK
// stores it, the others rebuilt over the same range.
#include <cstdio>

#include "commands.h"
#include "kelvo/calendar_maps.h"
#include "kelvo/korean_holidays.h"
#include "project_session.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kvcli {

namespace {
constexpr int kBadDate = 21015;
constexpr int kOutOfMemory = 21001;
}  // namespace

int calendar(const std::string& file, const CalendarRequest& request) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  if (request.number < 1 || request.number > XJOR_CALENDAR_SLOTS) return usage();
  const uint16_t from = xStrToTime(request.from.c_str()), to = xStrToTime(request.to.c_str());
  std::vector<uint16_t> holidays;
  for (const std::string& h : request.holidays) {
    holidays.push_back(xStrToTime(h.c_str()));
    if (holidays.back() == 0) return fail(kBadDate);
  }
  xSetCalNo(0);
  kelvo::CalendarMaps maps;
  if (!maps.load(from, to)) return fail(kBadDate);
  if (request.koreanHolidays) {
    for (int y = xjor::packedYear(maps.from()); y <= xjor::packedYear(maps.to()); ++y) {
      const std::vector<uint16_t> days = kelvo::koreanPublicHolidays(y);
      holidays.insert(holidays.end(), days.begin(), days.end());
    }
  }
  const int chosen = request.number;
  for (int32_t n = xjor::dayNumber(maps.from()); n <= xjor::dayNumber(maps.to()); ++n) {
    const uint16_t day = xjor::dateFromDayNumber(n);
    maps.setOff(chosen, day, (request.offWeekdays >> xGetDayOfWeek(day)) & 1);
  }
  maps.markOff(chosen, holidays);
  switch (maps.install()) {
    case kelvo::CalendarMaps::InstallResult::Installed:
      break;
    case kelvo::CalendarMaps::InstallResult::NoWorkingDay:
      std::fprintf(stderr, "달력 %d에 작업일이 없습니다.\n", maps.calendarWithoutWorkingDay());
      return 1;
    case kelvo::CalendarMaps::InstallResult::OutOfMemory:
      return fail(kOutOfMemory);
  }
  s.info.calendarFrom = maps.from();
  s.info.calendarTo = maps.to();
  xSavePrjDateInfo(&s.db);
  if (int m = s.save(file)) return fail(m);
  std::printf("달력 %d: 작업일 %d일\n", chosen, xGetWorkCount(chosen - 1));
  return 0;
}

}  // namespace kvcli

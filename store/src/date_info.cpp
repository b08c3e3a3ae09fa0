// Date settings and working calendars between the engine and the project's
// option file.
#include <string.h>

#include <algorithm>
#include <vector>

#include "xQdDb100.h"

namespace {

static_assert(sizeof(DateInfo) == 12, "option slot 3 holds 12 bytes");

// The calendar day next to d (step -1 or +1), or 0 when it has no packed
// form; counted on plain calendar days whatever calendar is selected.
uint16_t NextCalendarDay(uint16_t d, int step) {
  const int32_t previous = xGetCalNo();
  xSetCalNo(0);
  const int32_t offset = xGetTimeOffset(d) + step;
  const uint16_t next = offset >= 0 ? xGetTimeFromOffset(offset) : 0;
  xSetCalNo(previous);
  return next != 0 && xGetTimeOffset(next) == offset ? next : 0;
}

}  // namespace

extern "C" int32_t xSetPrjDateInfo(ProjectDb* db, uint16_t from, uint16_t to) {
  DateInfo info;
  if (xOption(&db->opt, XOPT_READ, XQD_OPT_DATE_INFO, &info, sizeof info) == 1) {
    xSetDateInfo(&info);
  }
  for (int i = 0; i < XJOR_CALENDAR_SLOTS; ++i) {
    uint16_t count = 0;
    if (xOption(&db->opt, XOPT_READ, XQD_OPT_CALENDAR_COUNT + i, &count, sizeof count) != 1 ||
        count == 0) {
      continue;
    }
    // Never read more days than the slot holds.
    const int32_t stored = xOption(&db->opt, XOPT_SIZE, XQD_OPT_CALENDAR_DAYS + i, nullptr, 0);
    const uint32_t n = std::min<uint32_t>(count, stored > 0 ? stored / 2 : 0);
    std::vector<uint16_t> days(n);
    if (n == 0 || xOption(&db->opt, XOPT_READ, XQD_OPT_CALENDAR_DAYS + i, days.data(),
                          n * sizeof(uint16_t)) != 1) {
      continue;
    }
    // The engine counts at most 65535 days per calendar.
    const bool room = n < 0xFFFF - 1;
    const uint16_t before =
        room && from != 0 && days.front() > from ? NextCalendarDay(from, -1) : 0;
    const uint16_t after = room && to != 0 && days.back() < to ? NextCalendarDay(to, +1) : 0;
    const uint32_t total = n + (before != 0) + (after != 0);
    uint16_t* slot = xSetWork(i, static_cast<int32_t>(total));
    if (slot == nullptr) continue;
    uint16_t* p = slot;
    if (before != 0) *p++ = before;
    memcpy(p, days.data(), n * sizeof(uint16_t));
    p += n;
    if (after != 0) *p = after;
  }
  return 1;
}

extern "C" int32_t xSavePrjDateInfo(ProjectDb* db) {
  DateInfo info;
  xGetDateInfo(&info);
  xOption(&db->opt, XOPT_WRITE, XQD_OPT_DATE_INFO, &info, sizeof info);
  for (int i = 0; i < XJOR_CALENDAR_SLOTS; ++i) {
    const int32_t count = xGetWorkCount(i);
    uint16_t stored = static_cast<uint16_t>(count);
    xOption(&db->opt, XOPT_WRITE, XQD_OPT_CALENDAR_COUNT + i, &stored, sizeof stored);
    if (count > 0) {
      xOption(&db->opt, XOPT_WRITE, XQD_OPT_CALENDAR_DAYS + i, xGetWork(i),
              count * sizeof(uint16_t));
    } else {
      xOption(&db->opt, XOPT_DELETE, XQD_OPT_CALENDAR_DAYS + i, nullptr, 0);
    }
  }
  return 1;
}

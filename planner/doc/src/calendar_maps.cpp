#include "kelvo/calendar_maps.h"

#include <algorithm>

#include "xQdDb100.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

using xjor::dateFromDayNumber;
using xjor::dayNumber;

constexpr uint16_t kFirstTextDay = xjor::packDate(1980, 1, 1);
constexpr uint16_t kLastTextDay = xjor::packDate(2079, 12, 31);

bool validDay(uint16_t d) {
  return d != 0 && xIsValidT(d);
}

// Cuts a span longer than the longest one at from + kLongestCalendarSpan.
uint16_t cutTo(uint16_t from, uint16_t to) {
  const int32_t last = dayNumber(from) + kLongestCalendarSpan;
  return dayNumber(to) > last ? dateFromDayNumber(last) : to;
}

}  // namespace

CalendarRange proposedCalendarRange(const PrjInfo& info, uint16_t today) {
  const uint16_t start = info.start ? info.start : info.dataDate ? info.dataDate : today;
  const uint16_t finish = info.finish ? info.finish : start;
  const auto clamp = [](int32_t n) {
    return dateFromDayNumber(std::clamp(n, dayNumber(kFirstTextDay), dayNumber(kLastTextDay)));
  };
  CalendarRange r{clamp(dayNumber(start) - 365), clamp(dayNumber(finish) + 1095)};
  r.to = cutTo(r.from, r.to);
  return r;
}

bool CalendarMaps::load(uint16_t from, uint16_t to) {
  if (!validDay(from) || !validDay(to) || to <= from) return false;
  for (int slot = 0; slot < kCalendarCount; ++slot) {
    const uint16_t* list = xGetWork(slot);
    const int32_t count = list ? xGetWorkCount(slot) : 0;
    loaded_[slot].clear();
    for (int32_t i = 0; i < count; ++i) loaded_[slot].push_back(dayNumber(list[i]));
    off_[slot].clear();
  }
  from_ = 0;
  return setRange(from, to);
}

bool CalendarMaps::offInLoadedList(int slot, int32_t n) const {
  const std::vector<int32_t>& list = loaded_[slot];
  return !list.empty() && list.front() < n && n < list.back() &&
         !std::binary_search(list.begin(), list.end(), n);
}

bool CalendarMaps::setRange(uint16_t from, uint16_t to) {
  if (!validDay(from) || !validDay(to) || to <= from) return false;
  to = cutTo(from, to);
  const int32_t first = dayNumber(from), count = dayNumber(to) - first + 1;
  for (int slot = 0; slot < kCalendarCount; ++slot) {
    std::vector<uint8_t> map(count);
    for (int32_t k = 0; k < count; ++k) {
      const int32_t n = first + k, old = n - first_;
      const bool kept = from_ != 0 && old >= 0 && old < static_cast<int32_t>(off_[slot].size());
      map[k] = kept ? off_[slot][old] : offInLoadedList(slot, n);
    }
    off_[slot] = std::move(map);
  }
  from_ = from;
  to_ = to;
  first_ = first;
  return true;
}

int32_t CalendarMaps::index(uint16_t day) const {
  if (!validDay(day) || from_ == 0) return -1;
  const int32_t k = dayNumber(day) - first_;
  return k >= 0 && k < days() ? k : -1;
}

bool CalendarMaps::contains(uint16_t day) const {
  return index(day) >= 0;
}

bool CalendarMaps::isOff(int calendar, uint16_t day) const {
  const int32_t k = index(day);
  return calendar >= 1 && calendar <= kCalendarCount && k >= 0 && off_[calendar - 1][k];
}

void CalendarMaps::setOff(int calendar, uint16_t day, bool off) {
  const int32_t k = index(day);
  if (calendar >= 1 && calendar <= kCalendarCount && k >= 0) off_[calendar - 1][k] = off;
}

void CalendarMaps::toggle(int calendar, uint16_t day, const CalendarRepeats& repeats) {
  if (calendar < 1 || calendar > kCalendarCount || !contains(day)) return;
  const bool off = !isOff(calendar, day);
  setOff(calendar, day, off);
  const int year = xjor::packedYear(day), month = xjor::packedMonth(day),
            dayOfMonth = xjor::packedDay(day);
  const int firstYear = xjor::packedYear(from_), lastYear = xjor::packedYear(to_);
  // Dates that do not exist (29 February, the 31st of a short month) are
  // skipped; setOff ignores days outside the range.
  const auto setIfExists = [&](int y, int m, int d) {
    if (d <= xjor::monthLength(y, m)) setOff(calendar, xjor::packDate(y, m, d), off);
  };
  if (repeats.yearly)
    for (int y = firstYear; y <= lastYear; ++y) setIfExists(y, month, dayOfMonth);
  if (repeats.monthly)
    for (int y = firstYear; y <= lastYear; ++y)
      for (int m = 1; m <= 12; ++m) setIfExists(y, m, dayOfMonth);
  if (repeats.weekly) {
    std::vector<uint8_t>& map = off_[calendar - 1];
    for (int32_t k = index(day) % 7; k < days(); k += 7) map[k] = off;
  }
  if (repeats.shownMonth)
    for (int d = 1; d <= xjor::monthLength(year, month); ++d) setIfExists(year, month, d);
}

void CalendarMaps::copy(int target, int source) {
  if (target < 1 || target > kCalendarCount || source < 1 || source > kCalendarCount) return;
  off_[target - 1] = off_[source - 1];
}

int32_t CalendarMaps::markOff(int calendar, const std::vector<uint16_t>& days) {
  int32_t changed = 0;
  for (uint16_t d : days) {
    if (contains(d) && !isOff(calendar, d)) {
      setOff(calendar, d, true);
      ++changed;
    }
  }
  return changed;
}

std::vector<uint16_t> CalendarMaps::listOf(int calendar) const {
  const std::vector<uint8_t>& map = off_[calendar - 1];
  const bool someOff = std::find(map.begin(), map.end(), 1) != map.end();
  const bool someWork = std::find(map.begin(), map.end(), 0) != map.end();
  if (!someOff || !someWork) return {};
  std::vector<uint16_t> list;
  if (map.front() && first_ > 0) list.push_back(dateFromDayNumber(first_ - 1));
  for (int32_t k = 0; k < days(); ++k)
    if (!map[k]) list.push_back(dateFromDayNumber(first_ + k));
  const int32_t after = first_ + days();
  if (map.back() && after <= xjor::kLastDayNumber) list.push_back(dateFromDayNumber(after));
  return list;
}

int CalendarMaps::calendarWithoutWorkingDay() const {
  for (int slot = 0; slot < kCalendarCount; ++slot)
    if (std::find(off_[slot].begin(), off_[slot].end(), 0) == off_[slot].end()) return slot + 1;
  return 0;
}

CalendarMaps::InstallResult CalendarMaps::install() const {
  if (calendarWithoutWorkingDay() != 0) return InstallResult::NoWorkingDay;
  std::array<std::vector<uint16_t>, kCalendarCount> lists, old;
  for (int slot = 0; slot < kCalendarCount; ++slot) {
    lists[slot] = listOf(slot + 1);
    if (const uint16_t* p = xGetWork(slot)) old[slot].assign(p, p + xGetWorkCount(slot));
  }
  const auto put = [](int slot, const std::vector<uint16_t>& list) {
    xFreeWork(slot);
    if (list.empty()) return true;
    uint16_t* array = xSetWork(slot, static_cast<int32_t>(list.size()));
    if (!array) return false;
    std::copy(list.begin(), list.end(), array);
    return true;
  };
  for (int slot = 0; slot < kCalendarCount; ++slot) {
    if (put(slot, lists[slot])) continue;
    for (int s = 0; s < kCalendarCount; ++s) put(s, old[s]);
    return InstallResult::OutOfMemory;
  }
  return InstallResult::Installed;
}

}  // namespace kelvo

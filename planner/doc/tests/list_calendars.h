// Working calendars for tests and benchmarks: eight lists of working days
// with the engine's offset rules (offsets count working days inside a
// list's range and calendar days before and after it).
#ifndef KELVO_DOC_TESTS_LIST_CALENDARS_H_
#define KELVO_DOC_TESTS_LIST_CALENDARS_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "kelvo/schedule.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kelvo::testing {

constexpr bool isLeap(int year) {
  return (year - 1980) % 4 == 0;
}

constexpr uint16_t packDate(int year, int month, int day) {
  return xjor::packDate(year, month, day);
}

// Days since 1980-01-01.
inline int32_t dayNumber(uint16_t packed) {
  static constexpr int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int y = xjor::packedYear(packed) - 1980, m = xjor::packedMonth(packed),
            d = xjor::packedDay(packed);
  return y * 365 + (y + 3) / 4 + kBefore[m - 1] + (isLeap(1980 + y) && m > 2 ? 1 : 0) + d - 1;
}

inline uint16_t dateOfDayNumber(int32_t n) {
  int year = 1980 + n / 366;
  while (year < 2107 && dayNumber(packDate(year + 1, 1, 1)) <= n) ++year;  // 2107: last packable
  int month = 1;
  while (month < 12 && dayNumber(packDate(year, month + 1, 1)) <= n) ++month;
  return packDate(year, month, n - dayNumber(packDate(year, month, 1)) + 1);
}

// 0 = Sunday.
inline int dayOfWeek(uint16_t packed) {
  return (dayNumber(packed) + 2) % 7;
}

// Copies the ascending working days into the engine's calendar slot (0 is
// calendar 1); false when the engine refuses the slot or has no memory.
inline bool installInEngine(int slot, const std::vector<uint16_t>& days) {
  uint16_t* array = xSetWork(slot, static_cast<int32_t>(days.size()));
  if (!array) return false;
  std::copy(days.begin(), days.end(), array);
  return true;
}

class ListCalendars : public WorkCalendars {
 public:
  // Installs calendar 1..8 as the given ascending working days.
  void set(int calendar, std::vector<uint16_t> days) { days_[calendar - 1] = std::move(days); }

  // Monday to Friday from `from` to `to`, except the holidays.
  static std::vector<uint16_t> fiveDayWeek(uint16_t from, uint16_t to,
                                           const std::vector<uint16_t>& holidays = {}) {
    std::vector<uint16_t> days;
    for (int32_t n = dayNumber(from); n <= dayNumber(to); ++n) {
      const uint16_t d = dateOfDayNumber(n);
      const int w = dayOfWeek(d);
      if (w != 0 && w != 6 && std::find(holidays.begin(), holidays.end(), d) == holidays.end()) {
        days.push_back(d);
      }
    }
    return days;
  }

  int32_t offset(int calendar, uint16_t day) override {
    if (day == 0) return 0;
    const std::vector<uint16_t>* w = list(calendar);
    if (!w || day <= w->front()) return dayNumber(day);
    const int32_t base = dayNumber(w->front());
    if (day <= w->back()) {
      return base + static_cast<int32_t>(std::lower_bound(w->begin(), w->end(), day) - w->begin());
    }
    return base + static_cast<int32_t>(w->size()) - 1 + dayNumber(day) - dayNumber(w->back());
  }

  uint16_t dayAt(int calendar, int32_t offset) override {
    if (offset < 0) offset = 0;
    const std::vector<uint16_t>* w = list(calendar);
    if (!w || offset <= dayNumber(w->front())) return dateOfDayNumber(offset);
    const int32_t k = offset - dayNumber(w->front());
    const int32_t last = static_cast<int32_t>(w->size()) - 1;
    if (k <= last) return (*w)[k];
    return dateOfDayNumber(dayNumber(w->back()) + k - last);
  }

 private:
  const std::vector<uint16_t>* list(int calendar) const {
    if (calendar < 1 || calendar > 8 || days_[calendar - 1].empty()) return nullptr;
    return &days_[calendar - 1];
  }

  std::array<std::vector<uint16_t>, 8> days_;
};

}  // namespace kelvo::testing

#endif  // KELVO_DOC_TESTS_LIST_CALENDARS_H_

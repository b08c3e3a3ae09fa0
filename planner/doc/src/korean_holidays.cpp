#include "kelvo/korean_holidays.h"

#include <algorithm>
#include <array>

#include "xjor/packed_date.h"

namespace kelvo {
namespace {

// Solar (Gregorian) month and day of lunar 1/1 (Seollal), 4/8 (Buddha's
// Birthday) and 8/15 (Chuseok) in the Korean lunisolar calendar, which
// reckons new moons in Korean time (UTC+9) and so differs now and then from
// the Chinese calendar (Seollal 2027-02-07 and 2028-01-27, for example).
// One row per year from 1980. Generated with ICU 72's Korean traditional
// calendar ("dangi", Asia/Seoul) and checked for 2024-2030 against the
// holiday dates the Korea Astronomy and Space Science Institute publishes
// (see the holiday test).
struct LunarFeasts {
  uint8_t seollalMonth, seollalDay, buddhaMonth, buddhaDay, chuseokMonth, chuseokDay;
};
constexpr LunarFeasts kLunarFeasts[] = {
    {2, 16, 5, 21, 9, 23}, {2, 5, 5, 11, 9, 12},  {1, 25, 5, 1, 10, 1},  {2, 13, 5, 20, 9, 21},
    {2, 2, 5, 8, 9, 10},   {2, 20, 5, 27, 9, 29}, {2, 9, 5, 16, 9, 18},  {1, 29, 5, 5, 10, 7},
    {2, 18, 5, 23, 9, 25}, {2, 6, 5, 12, 9, 14},  {1, 27, 5, 2, 10, 3},  {2, 15, 5, 21, 9, 22},
    {2, 4, 5, 10, 9, 11},  {1, 23, 5, 28, 9, 30}, {2, 10, 5, 18, 9, 20}, {1, 31, 5, 7, 9, 9},
    {2, 19, 5, 24, 9, 27}, {2, 8, 5, 14, 9, 16},  {1, 28, 5, 3, 10, 5},  {2, 16, 5, 22, 9, 24},
    {2, 5, 5, 11, 9, 12},  {1, 24, 5, 1, 10, 1},  {2, 12, 5, 19, 9, 21}, {2, 1, 5, 8, 9, 11},
    {1, 22, 5, 26, 9, 28}, {2, 9, 5, 15, 9, 18},  {1, 29, 5, 5, 10, 6},  {2, 18, 5, 24, 9, 25},
    {2, 7, 5, 12, 9, 14},  {1, 26, 5, 2, 10, 3},  {2, 14, 5, 21, 9, 22}, {2, 3, 5, 10, 9, 12},
    {1, 23, 5, 28, 9, 30}, {2, 10, 5, 17, 9, 19}, {1, 31, 5, 6, 9, 8},   {2, 19, 5, 25, 9, 27},
    {2, 8, 5, 14, 9, 15},  {1, 28, 5, 3, 10, 4},  {2, 16, 5, 22, 9, 24}, {2, 5, 5, 12, 9, 13},
    {1, 25, 4, 30, 10, 1}, {2, 12, 5, 19, 9, 21}, {2, 1, 5, 8, 9, 10},   {1, 22, 5, 27, 9, 29},
    {2, 10, 5, 15, 9, 17}, {1, 29, 5, 5, 10, 6},  {2, 17, 5, 24, 9, 25}, {2, 7, 5, 13, 9, 15},
    {1, 27, 5, 2, 10, 3},  {2, 13, 5, 20, 9, 22}, {2, 3, 5, 9, 9, 12},   {1, 23, 5, 28, 10, 1},
    {2, 11, 5, 16, 9, 19}, {1, 31, 5, 6, 9, 8},   {2, 19, 5, 25, 9, 27}, {2, 8, 5, 15, 9, 16},
    {1, 28, 5, 3, 10, 4},  {2, 15, 5, 22, 9, 24}, {2, 4, 5, 11, 9, 13},  {1, 24, 4, 30, 10, 2},
    {2, 12, 5, 18, 9, 21}, {2, 1, 5, 7, 9, 10},   {1, 22, 5, 26, 9, 28}, {2, 10, 5, 16, 9, 17},
    {1, 30, 5, 5, 10, 5},  {2, 17, 5, 24, 9, 25}, {2, 6, 5, 13, 9, 15},  {1, 26, 5, 2, 10, 4},
    {2, 14, 5, 20, 9, 22}, {2, 2, 5, 9, 9, 11},   {1, 23, 5, 28, 9, 30}, {2, 11, 5, 17, 9, 19},
    {2, 1, 5, 6, 9, 7},    {2, 19, 5, 25, 9, 26}, {2, 8, 5, 15, 9, 16},  {1, 28, 5, 4, 10, 5},
    {2, 15, 5, 22, 9, 24}, {2, 4, 5, 11, 9, 13},  {1, 24, 4, 30, 10, 2}, {2, 12, 5, 19, 9, 21},
    {2, 2, 5, 7, 9, 9},    {1, 22, 5, 26, 9, 28}, {2, 9, 5, 16, 9, 17},  {1, 29, 5, 5, 10, 6},
    {2, 17, 5, 23, 9, 25}, {2, 5, 5, 12, 9, 15},  {1, 26, 5, 1, 10, 3},  {2, 14, 5, 20, 9, 23},
    {2, 3, 5, 9, 9, 11},   {1, 23, 4, 28, 9, 29}, {2, 11, 5, 17, 9, 19}, {1, 31, 5, 7, 9, 8},
    {2, 19, 5, 25, 9, 26}, {2, 7, 5, 14, 9, 16},  {1, 27, 5, 3, 10, 5},  {2, 15, 5, 22, 9, 24},
    {2, 5, 5, 10, 9, 12},  {1, 24, 4, 30, 10, 1}, {2, 12, 5, 19, 9, 20}, {2, 2, 5, 8, 9, 10},
    {1, 22, 5, 26, 9, 28}, {2, 9, 5, 16, 9, 17},  {1, 29, 5, 5, 10, 6},  {2, 17, 5, 24, 9, 26},
    {2, 6, 5, 12, 9, 14},  {1, 26, 5, 1, 10, 3},  {2, 14, 5, 20, 9, 22}, {2, 3, 5, 10, 9, 11},
    {1, 24, 4, 28, 9, 29}, {2, 11, 5, 17, 9, 19}, {1, 30, 5, 7, 9, 8},   {2, 18, 5, 25, 9, 27},
    {2, 8, 5, 13, 9, 16},  {1, 27, 5, 3, 10, 5},  {2, 15, 5, 21, 9, 24}, {2, 5, 5, 11, 9, 13},
    {1, 25, 4, 30, 10, 1}, {2, 12, 5, 19, 9, 20}, {2, 1, 5, 8, 9, 10},   {1, 21, 5, 27, 9, 29},
    {2, 9, 5, 16, 9, 18},  {1, 29, 5, 5, 10, 7},  {2, 17, 5, 24, 9, 26}, {2, 7, 5, 13, 9, 16},
    {1, 28, 5, 2, 10, 3},  {2, 15, 5, 21, 9, 22}, {2, 4, 5, 11, 9, 12},  {1, 24, 4, 30, 10, 1},
};
static_assert(std::size(kLunarFeasts) == kLastHolidayYear - kFirstHolidayYear + 1);

enum class Substitute { None, SundayOrOverlap, WeekendOrOverlap };

struct Holiday {
  int32_t day;  // day number
  Substitute rule;
};

}  // namespace

std::vector<uint16_t> koreanPublicHolidays(int year) {
  if (year < kFirstHolidayYear || year > kLastHolidayYear) return {};
  const LunarFeasts& lunar = kLunarFeasts[year - kFirstHolidayYear];
  const auto day = [year](int month, int d) {
    return xjor::dayNumber(xjor::packDate(year, month, d));
  };
  // Substitutes: Seollal, Chuseok and Children's Day since 2014, the
  // national days since 2021, Buddha's Birthday and Christmas since 2023.
  const Substitute feastRule = year >= 2014 ? Substitute::SundayOrOverlap : Substitute::None;
  const Substitute childRule = year >= 2014 ? Substitute::WeekendOrOverlap : Substitute::None;
  const Substitute nationalRule = year >= 2021 ? Substitute::WeekendOrOverlap : Substitute::None;
  const Substitute lateRule = year >= 2023 ? Substitute::WeekendOrOverlap : Substitute::None;

  std::vector<Holiday> holidays;
  const auto add = [&](int32_t d, Substitute rule) { holidays.push_back({d, rule}); };
  // New Year: three days until 1989, two until 1998.
  add(day(1, 1), Substitute::None);
  if (year <= 1998) add(day(1, 2), Substitute::None);
  if (year <= 1989) add(day(1, 3), Substitute::None);
  // Seollal: one day from 1985, the day before and after too from 1989.
  const int32_t seollal = day(lunar.seollalMonth, lunar.seollalDay);
  if (year >= 1985) add(seollal, feastRule);
  if (year >= 1989) {
    add(seollal - 1, feastRule);
    add(seollal + 1, feastRule);
  }
  add(day(3, 1), nationalRule);
  if (year <= 2005) add(day(4, 5), Substitute::None);  // Arbor Day
  add(day(lunar.buddhaMonth, lunar.buddhaDay), lateRule);
  add(day(5, 5), childRule);
  add(day(6, 6), Substitute::None);
  // Constitution Day: a holiday until 2007 and again from 2026.
  if (year <= 2007 || year >= 2026) add(day(7, 17), nationalRule);
  add(day(8, 15), nationalRule);
  // Chuseok: the day itself, the day before from 1986, the day after from 1989.
  const int32_t chuseok = day(lunar.chuseokMonth, lunar.chuseokDay);
  add(chuseok, feastRule);
  if (year >= 1986) add(chuseok - 1, feastRule);
  if (year >= 1989) add(chuseok + 1, feastRule);
  if (year <= 1990) add(day(10, 1), Substitute::None);  // Armed Forces Day
  add(day(10, 3), nationalRule);
  if (year <= 1990 || year >= 2013) add(day(10, 9), nationalRule);  // Hangul Day
  add(day(12, 25), lateRule);

  std::sort(holidays.begin(), holidays.end(),
            [](const Holiday& a, const Holiday& b) { return a.day < b.day; });
  std::vector<int32_t> days;
  for (const Holiday& h : holidays)
    if (days.empty() || days.back() != h.day) days.push_back(h.day);
  const auto isHoliday = [&days](int32_t d) {
    return std::binary_search(days.begin(), days.end(), d);
  };
  // 1980-01-01 (day 0) was a Tuesday.
  const auto weekday = [](int32_t d) { return (d + 2) % 7; };

  // Each day that falls on a Sunday (or, for the weekend rule, a Saturday)
  // or carries two holidays gives one substitute: the first later day that
  // is neither a weekend day nor a holiday. Days are taken in order so that
  // substitutes never land on one another.
  std::vector<int32_t> substitutes;
  for (size_t i = 0; i < holidays.size();) {
    size_t j = i;
    bool weekend = false, sunday = false;
    Substitute rule = Substitute::None;
    for (; j < holidays.size() && holidays[j].day == holidays[i].day; ++j)
      rule = std::max(rule, holidays[j].rule);
    const int32_t d = holidays[i].day;
    const bool overlap = j - i > 1;
    sunday = weekday(d) == 0;
    weekend = sunday || weekday(d) == 6;
    const bool due = rule == Substitute::WeekendOrOverlap  ? weekend || overlap
                     : rule == Substitute::SundayOrOverlap ? sunday || overlap
                                                           : false;
    if (due) {
      int32_t s = d + 1;
      while (weekday(s) == 0 || weekday(s) == 6 || isHoliday(s) ||
             std::find(substitutes.begin(), substitutes.end(), s) != substitutes.end())
        ++s;
      substitutes.push_back(s);
    }
    i = j;
  }
  days.insert(days.end(), substitutes.begin(), substitutes.end());
  std::sort(days.begin(), days.end());
  std::vector<uint16_t> packed;
  for (int32_t d : days) packed.push_back(xjor::dateFromDayNumber(d));
  return packed;
}

}  // namespace kelvo

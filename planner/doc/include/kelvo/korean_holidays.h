// Korean public holidays of a year, for marking them as non-working days in
// a working calendar in one step.
#ifndef KELVO_KOREAN_HOLIDAYS_H_
#define KELVO_KOREAN_HOLIDAYS_H_

#include <cstdint>
#include <vector>

namespace kelvo {

// The first and last year the holiday table covers (the years of packed
// dates).
inline constexpr int kFirstHolidayYear = 1980;
inline constexpr int kLastHolidayYear = 2107;

// The public holidays of `year` as packed dates, ascending and without
// repeats: the solar holidays as the law had them that year, the three days
// of Seollal and of Chuseok, Buddha's Birthday, and the substitute holidays
// (from 2014 for Seollal, Chuseok and Children's Day, from 2021 for the
// national days, from 2023 for Buddha's Birthday and Christmas). One-off
// holidays (election days, days declared for one year) are not included.
// Empty outside kFirstHolidayYear..kLastHolidayYear.
std::vector<uint16_t> koreanPublicHolidays(int year);

}  // namespace kelvo

#endif  // KELVO_KOREAN_HOLIDAYS_H_

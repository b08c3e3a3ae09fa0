// Arithmetic on packed dates and day numbers (days since 1980-01-01, the
// offsets of calendar 0, on which every day counts). Pure arithmetic: no
// calendar is selected or read.
#ifndef XJOR_PACKED_DATE_H_
#define XJOR_PACKED_DATE_H_

#include <stdint.h>

namespace xjor {

constexpr int kBaseYear = 1980;

constexpr int packedYear(uint16_t d) {
  return kBaseYear + (d >> 9);
}
constexpr int packedMonth(uint16_t d) {
  return (d >> 5) & 15;
}
constexpr int packedDay(uint16_t d) {
  return d & 31;
}

// Packs a date; the caller ensures 1980 <= year <= 2107, 1-12, 1-31.
constexpr uint16_t packDate(int year, int month, int day) {
  return static_cast<uint16_t>(((year - kBaseYear) << 9) | (month << 5) | day);
}

// Every fourth year counted from 1980 is a leap year; there is no century rule.
inline bool isLeapYear(int year) {
  return (year - kBaseYear) % 4 == 0;
}

// Days in the month (1-12) of year; 0 for any other month.
int monthLength(int year, int month);

// Days before month m of a common year; months 0 and 13-15 (never valid)
// map to harmless values so that any u16 gives a defined day number.
extern const int16_t kDaysBeforeMonth[16];

// Day number of a packed date (0 for 1980-01-01). Defined for every u16;
// meaningful for valid dates.
inline int32_t dayNumber(uint16_t d) {
  int32_t yy = d >> 9;
  int32_t m = packedMonth(d);
  int32_t n = yy * 365 + (yy + 3) / 4 + kDaysBeforeMonth[m] + packedDay(d) - 1;
  if (m > 2 && (yy & 3) == 0) ++n;
  return n;
}

// Day number of 2107-12-31, the last day a packed date can hold.
constexpr int32_t kLastDayNumber = 127 * 365 + (127 + 3) / 4 + 364;

// Packed date of day number n, clamped to 1980-01-01 .. 2107-12-31.
uint16_t dateFromDayNumber(int32_t n);

}  // namespace xjor

#endif  // XJOR_PACKED_DATE_H_

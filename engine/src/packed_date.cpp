// Packed dates: validity, month lengths, day numbers, day of week, today.
#include "xjor/packed_date.h"

#include <time.h>

#include "xjor/calendar.h"

namespace xjor {

const int16_t kDaysBeforeMonth[16] = {0,   0,   31,  59,  90,  120, 151, 181,
                                      212, 243, 273, 304, 334, 365, 396, 424};

int monthLength(int year, int month) {
  static const int8_t kLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kLengths[month] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

uint16_t dateFromDayNumber(int32_t n) {
  if (n < 0) n = 0;
  if (n > kLastDayNumber) n = kLastDayNumber;
  // Four-year cycles start with the leap year (1980, 1984, ...).
  int32_t cycle = n / 1461;
  int32_t r = n % 1461;
  int32_t year = kBaseYear + cycle * 4;
  if (r >= 366) {
    r -= 366;
    year += 1 + r / 365;
    r %= 365;
  }
  int month = 1;
  while (month < 12 && r >= monthLength(year, month)) {
    r -= monthLength(year, month);
    ++month;
  }
  return packDate(year, month, r + 1);
}

}  // namespace xjor

using namespace xjor;

extern "C" int32_t xIsValidT(uint16_t d) {
  int day = packedDay(d);
  return day >= 1 && day <= monthLength(packedYear(d), packedMonth(d)) ? 1 : 0;
}

extern "C" int32_t xGetEndDay(uint16_t d) {
  return monthLength(packedYear(d), packedMonth(d));
}

extern "C" int32_t xGetDayOfWeek(uint16_t d) {
  int32_t w = (dayNumber(d) + 2) % 7;  // 1980-01-01 was a Tuesday
  return w < 0 ? w + 7 : w;
}

extern "C" uint16_t xGetToday(void) {
  time_t now = time(nullptr);
  struct tm local;
  if (localtime_r(&now, &local) == nullptr) return 0;
  int year = local.tm_year + 1900;
  if (year < kBaseYear || year > kBaseYear + 127) return 0;
  return packDate(year, local.tm_mon + 1, local.tm_mday);
}

// Dates as text in the eight date forms, and ordinal day counts.
#include <stdio.h>
#include <time.h>

#include "date_state.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

using namespace xjor;

namespace {

const char kMonthNames[] = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";

// Last day that can be typed as a date.
const int32_t kLastTypedDay = dayNumber(packDate(2079, 12, 31));

// Plain calendar-day offset: 0 stays 0, every other date its day number.
int32_t plainOffset(uint16_t d) {
  return d == 0 ? 0 : dayNumber(d);
}

// Forms 6 and 7 print the month as a name.
bool namedMonthForm(int form) {
  return form >= 6;
}
bool fourDigitYearForm(int form) {
  return (form & 1) != 0;
}

// The three parts of a date text in the order of a form.
struct Parts {
  int first, second, third;
};

Parts orderForForm(int form, int year, int month, int day) {
  if (form <= 1) return {year, month, day};
  if (form <= 3) return {month, day, year};
  return {day, month, year};
}

int32_t ordinalToStr(char* buf, uint16_t d) {
  int32_t v = plainOffset(d) - plainOffset(g_dateState.ordinalBase);
  if (v >= 0) ++v;  // the base is day 1; there is no day 0
  return snprintf(buf, XJOR_DATE_TEXT_MAX, "%d", v);
}

// Reads an ordinal day count: optional blanks and sign, then digits.
uint16_t ordinalFromStr(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t n = 0;
  while (*p >= '0' && *p <= '9') {
    if (n < 10000000) n = n * 10 + (*p - '0');
    ++p;
  }
  if (negative) n = -n;
  if (n == 0) return 0;
  int64_t day = plainOffset(g_dateState.ordinalBase) + (n > 0 ? n - 1 : n);
  if (day < 0 || day > kLastTypedDay) return 0;
  return dateFromDayNumber(static_cast<int32_t>(day));
}

// A slice of the input text.
struct Field {
  const char* at = nullptr;
  int length = 0;
};

// Value of the leading digits of a field, or -1 when it starts with none.
int leadingNumber(Field f) {
  int value = 0, digits = 0;
  while (digits < f.length && f.at[digits] >= '0' && f.at[digits] <= '9') {
    value = value * 10 + (f.at[digits] - '0');
    ++digits;
  }
  return digits > 0 ? value : -1;
}

// Month 1-12 for a three-letter month name in any case, 13 for anything else.
int monthFromName(Field f) {
  if (f.length != 3) return 13;
  for (int m = 0; m < 12; ++m) {
    bool same = true;
    for (int i = 0; i < 3 && same; ++i) {
      char c = f.at[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == kMonthNames[m * 3 + i];
    }
    if (same) return m + 1;
  }
  return 13;
}

// Splits text into its three parts; false when the text has not their shape.
// Nothing beyond the text's terminating NUL is read.
bool splitDateText(const char* text, int form, char delimiter, Field parts[3]) {
  const char* p = text;
  if (delimiter != 0) {
    const int maxLength[2] = {4, 3};
    for (int i = 0; i < 2; ++i) {
      int n = 0;
      while (n < maxLength[i] && p[n] != '\0' && p[n] != delimiter) ++n;
      if (p[n] != delimiter) return false;
      parts[i] = {p, n};
      p += n + 1;
    }
  } else {
    const int width[2] = {form == 1 ? 4 : 2, namedMonthForm(form) ? 3 : 2};
    for (int i = 0; i < 2; ++i) {
      for (int n = 0; n < width[i]; ++n) {
        if (p[n] == '\0') return false;
      }
      parts[i] = {p, width[i]};
      p += width[i];
    }
  }
  int n = 0;
  while (n < 4 && p[n] != '\0') ++n;
  parts[2] = {p, n};
  return true;
}

}  // namespace

extern "C" void xGetMonStr(char* buf, int32_t month) {
  if (buf == nullptr) return;
  const char* name = month >= 1 && month <= 12 ? kMonthNames + (month - 1) * 3 : "???";
  buf[0] = name[0];
  buf[1] = name[1];
  buf[2] = name[2];
  buf[3] = '\0';
}

extern "C" int32_t xTimeToStr(char* buf, uint16_t d) {
  if (buf == nullptr) return 0;
  buf[0] = '\0';
  if (d == 0) return 0;
  if (g_dateState.ordinalMode != 0) return ordinalToStr(buf, d);
  int form = g_dateState.form;
  int year = packedYear(d);
  if (!fourDigitYearForm(form)) year = (year - kBaseYear + 80) % 100;
  char delimiter = g_dateState.delimiter;
  if (namedMonthForm(form)) {
    char month[4];
    xGetMonStr(month, packedMonth(d));
    if (delimiter != 0)
      return snprintf(buf, XJOR_DATE_TEXT_MAX, "%02d%c%.3s%c%02d", packedDay(d), delimiter, month,
                      delimiter, year);
    return snprintf(buf, XJOR_DATE_TEXT_MAX, "%02d%.3s%02d", packedDay(d), month, year);
  }
  Parts p = orderForForm(form, year, packedMonth(d), packedDay(d));
  if (delimiter != 0)
    return snprintf(buf, XJOR_DATE_TEXT_MAX, "%02d%c%02d%c%02d", p.first, delimiter, p.second,
                    delimiter, p.third);
  return snprintf(buf, XJOR_DATE_TEXT_MAX, "%02d%02d%02d", p.first, p.second, p.third);
}

extern "C" uint16_t xStrToTime(const char* text) {
  if (text == nullptr) return 0;
  if (g_dateState.ordinalMode != 0) return ordinalFromStr(text);
  int form = g_dateState.form;
  Field parts[3];
  if (!splitDateText(text, form, g_dateState.delimiter, parts)) return 0;
  int first = leadingNumber(parts[0]);
  int second = namedMonthForm(form) ? monthFromName(parts[1]) : leadingNumber(parts[1]);
  int third = leadingNumber(parts[2]);
  // A part without digits is not a date (an empty two-digit year is not 2000).
  if (first < 0 || second < 0 || third < 0) return 0;
  int year, month, day;
  if (form <= 1) {
    year = first, month = second, day = third;
  } else if (form <= 3) {
    month = first, day = second, year = third;
  } else {
    day = first, month = second, year = third;
  }
  if (!fourDigitYearForm(form)) year += year < 80 ? 2000 : 1900;
  if (year < 1980 || year > 2079 || day < 1 || day > monthLength(year, month)) return 0;
  return packDate(year, month, day);
}

extern "C" int32_t xGetTodayStr(char* buf) {
  int16_t ordinal = g_dateState.ordinalMode;
  g_dateState.ordinalMode = 0;
  int32_t length = xTimeToStr(buf, xGetToday());
  g_dateState.ordinalMode = ordinal;
  return length;
}

extern "C" int32_t xGetTimeStr(char* buf) {
  if (buf == nullptr) return 0;
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return snprintf(buf, XJOR_DATE_TEXT_MAX, "%02d%c%02d%c%02d", local.tm_hour, ':', local.tm_min,
                  ':', local.tm_sec);
}

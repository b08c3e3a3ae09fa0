// Field texts shared by the reader and the writer: CP949 cuts and dates.
#include "kvdbf.h"
#include "xjor/packed_date.h"

namespace kvdbf {

size_t cutCp949(std::string_view text, size_t width) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t step = (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    if (i + step > width) break;
    i += step;
  }
  return i;
}

namespace {

bool leapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leapYear(y) ? 29 : kDays[m - 1];
}

bool realDay(int y, int m, int d) {
  return m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

// Value of the digits at text[from, from + n), read like atoi: blanks
// first, then digits up to the first other character.
int digitsAt(std::string_view text, size_t from, size_t n) {
  int v = 0;
  size_t i = from;
  const size_t end = from + n < text.size() ? from + n : text.size();
  while (i < end && text[i] == ' ') ++i;
  for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) v = v * 10 + (text[i] - '0');
  return v;
}

}  // namespace

std::string dateText(uint16_t packed) {
  const int y = xjor::packedYear(packed), m = xjor::packedMonth(packed),
            d = xjor::packedDay(packed);
  if (packed == 0 || y > 2079 || !realDay(y, m, d)) return std::string(8, ' ');
  char buf[16];
  snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
  return buf;
}

uint16_t parseDate(std::string_view text) {
  const int y = digitsAt(text, 0, 4), m = digitsAt(text, 4, 2), d = digitsAt(text, 6, 2);
  if (y < 1980 || y > 2107 || !realDay(y, m, d)) return 0;
  return xjor::packDate(y, m, d);
}

}  // namespace kvdbf

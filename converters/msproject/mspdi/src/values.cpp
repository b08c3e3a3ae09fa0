// Dates and durations as MSPDI writes them.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "kvmspdi.h"
#include "xjor/packed_date.h"

namespace kvmsp {

std::string dateTimeText(uint16_t day, int minuteOfDay) {
  char text[32];
  snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:00", xjor::packedYear(day),
           xjor::packedMonth(day), xjor::packedDay(day), minuteOfDay / 60, minuteOfDay % 60);
  return text;
}

uint16_t dayOfText(const std::string& text) {
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (text.size() < 10 || sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) < 3) return 0;
  if (text.size() > 10 && tail != 'T') return 0;
  if (y < xjor::kBaseYear || y > xjor::kBaseYear + 127 || d < 1 || d > xjor::monthLength(y, m))
    return 0;
  return xjor::packDate(y, m, d);
}

std::string durationText(int64_t minutes) {
  if (minutes < 0) minutes = 0;
  char text[48];
  snprintf(text, sizeof text, "PT%lldH%lldM0S", static_cast<long long>(minutes / 60),
           static_cast<long long>(minutes % 60));
  return text;
}

int64_t minutesOfText(const std::string& text, int minutesPerDay) {
  const char* p = text.c_str();
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  if (*p++ != 'P') return -1;
  double minutes = 0;
  bool inTime = false, any = false;
  while (*p) {
    if (*p == 'T') {
      inTime = true;
      ++p;
      continue;
    }
    char* end = nullptr;
    const double n = strtod(p, &end);
    if (end == p || !std::isfinite(n) || n < 0 || n > 1e9) return -1;
    p = end;
    switch (*p++) {
      case 'Y':
        minutes += n * 240 * minutesPerDay;  // working years of 12 months
        break;
      case 'M':
        minutes += inTime ? n : n * 20 * minutesPerDay;
        break;
      case 'W':
        minutes += n * 5 * minutesPerDay;
        break;
      case 'D':
        minutes += n * minutesPerDay;
        break;
      case 'H':
        if (!inTime) return -1;
        minutes += n * 60;
        break;
      case 'S':
        if (!inTime) return -1;
        minutes += n / 60;
        break;
      default:
        return -1;
    }
    any = true;
  }
  if (!any || negative) return -1;
  return std::llround(minutes);
}

}  // namespace kvmsp

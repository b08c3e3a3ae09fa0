#include "kelvo/time_scale.h"

#include <algorithm>
#include <cstring>

#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

constexpr int32_t kMaxSize = 32767;
constexpr int32_t kScrollBoxRange = 16384;

int16_t clampSize(int32_t value, int32_t low) {
  return static_cast<int16_t>(std::clamp(value, low, kMaxSize));
}

bool isDate(uint16_t d) {
  return d != 0 && xIsValidT(d);
}

LOGFONT defaultFont() {
  LOGFONT font;
  std::memset(&font, 0, sizeof font);
  font.lfHeight = -32;
  font.lfCharSet = 1;
  std::memcpy(font.lfFaceName, "\xB1\xBC\xB8\xB2\xC3\xBC", 6);  // "굴림체" in CP949
  return font;
}

}  // namespace

TimeScaleSettings defaultTimeScale(uint16_t projectStart, uint16_t projectFinish) {
  TimeScaleSettings s;
  std::memset(&s, 0, sizeof s);
  s.flags = scaleflag::kDrawShapes | scaleflag::kThreeRows;
  s.startDate = projectStart;
  s.endDate = projectFinish;
  s.stepWidth = 10;
  s.stepDays = 1;
  s.rowCount = 20;
  s.scaleRowHeight = 32;
  s.rowHeight = 52;
  s.rowNumberWidth = 84;
  s.scaleFont = s.bodyFont = defaultFont();
  s.scaleTextColor = 0x000080;
  s.bodyTextColor = 0x800000;
  s.gridColor = 0x808080;
  s.scaleBackground = 0xFFFFC0;
  s.dataDateColor = 0x808000;
  s.shadingColor = 0xF0F0F0;
  return s;
}

TimeScale::TimeScale(const TimeScaleSettings& stored, uint16_t projectStart, uint16_t projectFinish)
    : s_(stored) {
  s_.stepWidth = clampSize(s_.stepWidth, 1);
  s_.stepDays = clampSize(s_.stepDays, 1);
  s_.rowHeight = clampSize(s_.rowHeight, 1);
  s_.scaleRowHeight = clampSize(s_.scaleRowHeight, 1);
  s_.rowNumberWidth = clampSize(s_.rowNumberWidth, 0);
  s_.leftTableWidth = clampSize(s_.leftTableWidth, 0);
  s_.rightAreaWidth = clampSize(s_.rightAreaWidth, 0);
  s_.rowCount = std::clamp<int32_t>(s_.rowCount, 0, INT32_MAX / s_.rowHeight);
  if (!isDate(s_.startDate)) s_.startDate = projectStart;
  if (!isDate(s_.endDate) || s_.endDate < s_.startDate)
    s_.endDate = std::max(s_.startDate, projectFinish);

  firstDay_ = xjor::dayNumber(s_.startDate);
  days_ = std::max<int32_t>(1, xjor::dayNumber(s_.endDate) - firstDay_ + 1);
  const int64_t width =
      int64_t{s_.stepWidth} * days_ / s_.stepDays + s_.leftTableWidth + s_.rightAreaWidth;
  total_ = static_cast<int32_t>(std::max<int64_t>(1, width));
}

int32_t TimeScale::dayNumberOf(uint16_t date) const {
  return xjor::dayNumber(date);
}

int32_t TimeScale::x(uint16_t date) const {
  const int64_t days = dayNumberOf(date) - firstDay_;
  return static_cast<int32_t>(s_.leftTableWidth + days * s_.stepWidth / s_.stepDays);
}

uint16_t TimeScale::dateAt(int32_t at, int32_t* remainder) const {
  int32_t rest = at;
  uint16_t date = 0;
  if (at >= timeRight()) {
    rest = std::min(at - timeRight(), kMaxSize);
    date = kRightArea;
  } else if (at >= timeLeft()) {
    // The largest n with (n x step width / step days) <= at - left.
    const int64_t offset = at - timeLeft();
    int64_t n = ((offset + 1) * s_.stepDays - 1) / s_.stepWidth;
    n = std::min<int64_t>(n, days_ - 1);
    date = xjor::dateFromDayNumber(static_cast<int32_t>(firstDay_ + n));
    rest = at - x(date);
  }
  if (remainder) *remainder = rest;
  return date;
}

int32_t TimeScale::dayStartAt(int32_t at) const {
  const uint16_t date = dateAt(at);
  return date == 0 || date == kRightArea ? at : x(date);
}

ScalePosition TimeScale::positionAt(int32_t px, int32_t py) const {
  ScalePosition p;
  p.date = dateAt(px, &p.xRemainder);
  p.row = rowAt(py);
  p.yRemainder = -(-py % s_.rowHeight);
  return p;
}

void TimeScale::pointAt(const ScalePosition& p, int32_t* px, int32_t* py) const {
  int32_t base = 0;
  if (p.date == kRightArea)
    base = timeRight();
  else if (p.date != 0)
    base = x(p.date);
  *px = base + p.xRemainder;
  *py = rowTop(p.row) + p.yRemainder;
}

uint16_t TimeScale::firstVisibleDay(int32_t scrollX) const {
  if (scrollX < timeLeft()) return s_.startDate;
  const int64_t units = int64_t{scrollX - timeLeft()} * s_.stepDays;
  const int64_t days = (units + s_.stepWidth - 1) / s_.stepWidth;
  return xjor::dateFromDayNumber(static_cast<int32_t>(firstDay_ + days));
}

int32_t TimeScale::scrollBoxAt(int32_t at) const {
  return static_cast<int32_t>(int64_t{at} * kScrollBoxRange / total_);
}

int32_t TimeScale::xOfScrollBox(int32_t box) const {
  return static_cast<int32_t>(int64_t{box} * total_ / kScrollBoxRange);
}

bool TimeScale::weekRow() const {
  const int64_t fontHeight = std::abs(int64_t{s_.scaleFont.lfHeight});
  return 2 * int64_t{s_.stepWidth} < fontHeight * s_.stepDays;
}

void TimeScale::forEachDivider(uint16_t first, uint16_t last, int startDayOfMonth,
                               int startDayOfWeek,
                               const std::function<void(uint16_t, int32_t)>& line) const {
  static constexpr int kMonthsPer[] = {12, 6, 4, 3, 2, 1};
  const int interval = s_.divider;
  if (interval < 1 || interval > 8) return;
  if (startDayOfMonth < 1 || startDayOfMonth > 28) startDayOfMonth = 1;
  if (startDayOfWeek < 0 || startDayOfWeek > 6) startDayOfWeek = 0;
  const int32_t from = std::max(dayNumberOf(first), firstDay_);
  const int32_t to = std::min(dayNumberOf(last), firstDay_ + days_ - 1);
  for (int32_t n = from; n <= to; ++n) {
    const uint16_t d = xjor::dateFromDayNumber(n);
    bool drawn = interval == 8;
    if (interval == 7) drawn = (n + 2) % 7 == startDayOfWeek;  // day 0 was a Tuesday
    if (interval <= 6)
      drawn = xjor::packedDay(d) == startDayOfMonth &&
              (xjor::packedMonth(d) - 1) % kMonthsPer[interval - 1] == 0;
    if (drawn) line(d, x(d));
  }
}

std::vector<int32_t> TimeScale::pageStarts(int32_t printableWidth, int32_t firstWidth) const {
  std::vector<int32_t> starts{0};
  const int32_t step = std::max(1, printableWidth);
  const int32_t first = firstWidth > 0 ? std::min(firstWidth, step) : step;
  for (int64_t edge = first; edge < total_;) {
    int32_t start = dayStartAt(static_cast<int32_t>(edge));
    if (start <= starts.back()) start = static_cast<int32_t>(edge);
    starts.push_back(start);
    edge = int64_t{start} + step;
  }
  return starts;
}

}  // namespace kelvo

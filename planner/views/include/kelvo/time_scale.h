// The time scale of the time-scaled views as a value: the stored settings
// block, and every conversion between dates, rows and logical units
// (0.1 mm, y up) that painting, scrolling, hit-testing and printing need.
// Day numbers come straight from the packed dates (every day counts), so
// nothing here touches the engine's selected calendar.
#ifndef KELVO_TIME_SCALE_H_
#define KELVO_TIME_SCALE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "xJorLib.h"

namespace kelvo {

// The settings block stored per view kind (option record 100 + kind), 172
// bytes, little-endian, in this order.
#pragma pack(push, 1)
struct TimeScaleSettings {
  uint16_t flags;          // scaleflag::*
  uint16_t startDate;      // first day on the axis (packed date)
  uint16_t endDate;        // last day on the axis
  int16_t stepWidth;       // logical units per step
  int16_t stepDays;        // days per step
  int16_t divider;         // divider interval 0..8
  int32_t rowCount;        // body rows
  int16_t scaleRowHeight;  // one of the scale's three rows
  int16_t rowHeight;       // one body row
  int16_t rowNumberWidth;  // the column left of x = 0
  int16_t leftTableWidth;  // between x = 0 and the time area
  int16_t rightAreaWidth;  // right of the time area
  LOGFONT scaleFont;
  LOGFONT bodyFont;
  COLORREF scaleTextColor;
  COLORREF bodyTextColor;
  COLORREF gridColor;
  COLORREF scaleBackground;
  COLORREF dataDateColor;
  int16_t shadingCalendar;  // 1..8, 0 = no shading
  COLORREF shadingColor;
};
#pragma pack(pop)
static_assert(sizeof(TimeScaleSettings) == 172, "time-scale settings are 172 bytes");
static_assert(offsetof(TimeScaleSettings, rowCount) == 12, "row count follows the divider");
static_assert(offsetof(TimeScaleSettings, scaleFont) == 26, "fonts follow the sizes");
static_assert(offsetof(TimeScaleSettings, scaleTextColor) == 146, "colours follow the fonts");
static_assert(offsetof(TimeScaleSettings, shadingCalendar) == 166, "shading closes the block");

namespace scaleflag {
inline constexpr uint16_t kDrawShapes = 0x0001;
inline constexpr uint16_t kRowLines = 0x0002;
inline constexpr uint16_t kDataDateLine = 0x0004;
inline constexpr uint16_t kPeriodBand = 0x0100;
inline constexpr uint16_t kThreeRows = 0x4000;
}  // namespace scaleflag

// Sets or clears bit in flags (the option pages' checks).
inline void setFlagBit(uint16_t* flags, uint16_t bit, bool on) {
  *flags = on ? uint16_t(*flags | bit) : uint16_t(*flags & ~bit);
}

// The defaults of a new view: the axis over the project's start and finish.
TimeScaleSettings defaultTimeScale(uint16_t projectStart, uint16_t projectFinish);

// A point of a time-scaled view as dates and rows: date 0 inside the left
// table, 0xFFFF inside the right area, else the day; the x remainder is the
// distance right of that day's (or area's) start; row = -y / row height and
// y remainder = -(-y mod row height).
struct ScalePosition {
  uint16_t date = 0;
  int32_t xRemainder = 0;
  int32_t row = 0;
  int32_t yRemainder = 0;
};

// Days past the end of the axis (xAt) and the right area, as dateAt gives it.
inline constexpr uint16_t kRightArea = 0xFFFF;

class TimeScale {
 public:
  // Takes the settings as stored and makes them safe to compute with: sizes
  // clamped (steps and heights 1..32767, widths 0..32767, rows so that
  // -(rows x row height) fits 32 bits), a start date that is no valid date
  // replaced by the project start, an end date that is none or before the
  // start by the later of the start and the project finish.
  TimeScale(const TimeScaleSettings& stored, uint16_t projectStart, uint16_t projectFinish);

  const TimeScaleSettings& settings() const { return s_; }
  // Days on the axis (end - start + 1, at least 1).
  int32_t dayCount() const { return days_; }
  // Width of the table, time area and right area: at least 1.
  int32_t totalWidth() const { return total_; }
  // The time area runs from timeLeft() to timeRight().
  int32_t timeLeft() const { return s_.leftTableWidth; }
  int32_t timeRight() const { return total_ - s_.rightAreaWidth; }

  // x of the start of a day: left table width + (day - start) x step width
  // / step days, truncated toward zero (dates before the start lie left).
  int32_t x(uint16_t date) const;
  // The day under x: in the time area the
  // last day whose start is at or left of x; 0 left of it, kRightArea right
  // of it. remainder (optional) gets x minus that start.
  uint16_t dateAt(int32_t x, int32_t* remainder = nullptr) const;
  // x moved back to the start of its day when it lies in the time area.
  int32_t dayStartAt(int32_t x) const;
  // Row under y (y <= 0 in the body).
  int32_t rowAt(int32_t y) const { return -y / s_.rowHeight; }
  // y of the top of row r.
  int32_t rowTop(int32_t row) const { return -row * s_.rowHeight; }

  // Logical point to position and back.
  ScalePosition positionAt(int32_t x, int32_t y) const;
  void pointAt(const ScalePosition& position, int32_t* x, int32_t* y) const;

  // The first day to draw when the view's left edge is at scrollX.
  uint16_t firstVisibleDay(int32_t scrollX) const;
  // The scroll box position of x (0..16384) and the x of a box position.
  int32_t scrollBoxAt(int32_t x) const;
  int32_t xOfScrollBox(int32_t box) const;
  // True when the third scale row shows weeks: one day narrower than half
  // the scale font's height.
  bool weekRow() const;

  // Calls line(date, x) for every divider line from first to last (never
  // past the end date): intervals 1..6 at month boundaries every 12, 6, 4,
  // 3, 2 or 1 months from January, each period starting on startDayOfMonth
  // (1..28, else 1); 7 at week starts (startDayOfWeek 0 Sunday..6, else 0);
  // 8 every day.
  void forEachDivider(uint16_t first, uint16_t last, int startDayOfMonth, int startDayOfWeek,
                      const std::function<void(uint16_t date, int32_t x)>& line) const;

  // The x where each page across starts when pages are printableWidth wide:
  // from 0 in steps of the page, each edge inside the time area moved back to
  // the start of its day. A day wider than a page is cut where the page ends,
  // so that every page moves on. When firstWidth is given (1..printable
  // width), the first page holds only that much of the axis: the rest of it
  // shows something else (the Gantt chart's sheet columns).
  std::vector<int32_t> pageStarts(int32_t printableWidth, int32_t firstWidth = 0) const;

 private:
  int32_t dayNumberOf(uint16_t date) const;

  TimeScaleSettings s_;
  int32_t firstDay_ = 0;  // day number of the start date
  int32_t days_ = 1;
  int32_t total_ = 1;
};

}  // namespace kelvo

#endif  // KELVO_TIME_SCALE_H_

// The period band of the time-scaled views and the bars of the period
// chart, without widgets: the stored blocks, the value axis (grid values
// and a scale that fits the values), and where S-curve points, bars and
// value rows lie in logical units (0.1 mm, y up).
#ifndef KELVO_PERIOD_BAND_H_
#define KELVO_PERIOD_BAND_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kelvo/period_values.h"
#include "kelvo/time_scale.h"
#include "xJorLib.h"

struct OptionFileRef;

namespace kelvo {

inline constexpr int kBandSeriesMax = 6;

#pragma pack(push, 1)
// One line or bar series (70 bytes). The first 8 bytes belong to the
// series' values while a view shows them; they are stored as zeros.
struct BandSeries {
  uint8_t runtime[8];
  int16_t sheet;  // source value sheet 0..49, -1 = none
  int16_t decimals;
  char title[32];  // CP949, NUL-terminated
  int16_t lineStyle;
  int16_t lineWidth;  // 0.1 mm
  COLORREF lineColor;
  int16_t fill;  // -2 none, -1 solid, 0..5 hatch
  COLORREF fillColor;
  uint8_t reserved[12];
};

// The band block (554 bytes), stored per view kind.
struct BandBlock {
  int16_t panelHeight;  // "전체 눈금 높이"
  int16_t gap;          // above the panel
  int16_t margin[4];    // "도표 바깥 여백": top, bottom, left, right
  double minimum, maximum, major, minor;
  int16_t decimals;
  char unit[16];  // at most 15 bytes
  COLORREF outlineColor;
  COLORREF tableLineColor;
  LOGFONT tableFont;
  int16_t seriesCount;
  uint8_t reserved[2];
  BandSeries series[kBandSeriesMax];
};

// The period chart's bar block (498 bytes, option record 29).
struct ChartBlock {
  int16_t seriesCount;
  int16_t barWidth;  // "막대 폭"
  double minimum, maximum, major, minor;
  int16_t decimals;
  char unit[16];
  int16_t labelWidth;  // the side table's width
  uint8_t reserved[22];
  BandSeries series[kBandSeriesMax];
};
#pragma pack(pop)
static_assert(sizeof(BandSeries) == 70, "a band series is 70 bytes");
static_assert(sizeof(BandBlock) == 554, "the band block is 554 bytes");
static_assert(sizeof(ChartBlock) == 498, "the chart block is 498 bytes");
static_assert(offsetof(BandSeries, sheet) == 8 && offsetof(BandSeries, title) == 12);
static_assert(offsetof(BandBlock, minimum) == 12 && offsetof(BandBlock, unit) == 46);
static_assert(offsetof(BandBlock, tableFont) == 70 && offsetof(BandBlock, series) == 134);
static_assert(offsetof(ChartBlock, minimum) == 4 && offsetof(ChartBlock, series) == 78);

// Scale flag bits of the band (the time-scale settings' flags).
namespace bandflag {
inline constexpr uint16_t kAxisRight = 0x0200;
inline constexpr uint16_t kMajorGrid = 0x0400;
inline constexpr uint16_t kMinorGrid = 0x0800;
inline constexpr uint16_t kBarMajorGrid = 0x1000;
inline constexpr uint16_t kBarMinorGrid = 0x2000;
}  // namespace bandflag

// Defaults: panel 1000, gap 68, axis 0..100 every 20 (minor 10), grey
// outline and table lines, the table font "굴림체" -28, no series.
BandBlock defaultBandBlock();
ChartBlock defaultChartBlock();

// A stored block read over the defaults: series counts clamped to 0..6,
// sizes to 1..32767, titles and units terminated. False when the record is
// missing or has another size (the defaults stay).
bool readBandBlock(OptionFileRef* opt, int item, BandBlock* block);
bool readChartBlock(OptionFileRef* opt, int item, ChartBlock* block);
// Writes a block whole, with each series' runtime bytes zeroed.
bool writeBandBlock(OptionFileRef* opt, int item, const BandBlock& block);
bool writeChartBlock(OptionFileRef* opt, int item, const ChartBlock& block);

// The value axis of a band or of the bars.
struct Axis {
  double minimum = 0, maximum = 100, major = 20, minor = 10;
  // Series and grid lines are drawn only on an axis whose four values are
  // finite and whose maximum lies above its minimum.
  bool drawsSeries() const;
  // Axis values and the unit are drawn when minimum, maximum and the major
  // step are finite and maximum >= minimum.
  bool drawsLabels() const;
};
Axis bandAxis(const BandBlock& block);
Axis chartAxis(const ChartBlock& block);

// The multiples k x |step| between minimum and maximum (inclusive), in
// ascending order. Empty when step is 0 or not finite, or when there would
// be more than maxLines of them.
std::vector<double> axisTicks(double minimum, double maximum, double step, int32_t maxLines);

// An axis whose range holds lo..hi (and 0) with a round major step (1, 2
// or 5 times a power of ten, about five steps) and a minor step of half
// of it. A range of one value gets a unit range around it.
Axis fitAxis(double lo, double hi);
// The smallest and largest value of the series (false when all are empty).
bool valueRange(const std::vector<std::vector<PeriodValue>>& series, double* lo, double* hi);

// Where a band lies, in the view's logical units: the panel from panelTop
// down panelHeight units, then the bottom margin, then one value row per
// series (line series first, then bars).
struct BandLayout {
  int32_t panelTop = 0;
  int32_t panelHeight = 1;
  int32_t bottomMargin = 0;
  int32_t valueRowHeight = 1;
  int32_t panelBottom() const { return panelTop - panelHeight; }
  int32_t valueRowsTop() const { return panelBottom() - bottomMargin; }
  int32_t valueRowTop(int row) const { return valueRowsTop() - row * valueRowHeight; }
  // The y of a value on axis (the panel's bottom at the minimum).
  int32_t yOf(double value, const Axis& axis) const;
};
// The layout of block with the panel's top at panelTop: heights at least 1,
// value rows 20 units taller than the table font.
BandLayout bandLayout(const BandBlock& block, int32_t panelTop, int32_t panelHeight);
// The value row height of a block (20 + |table font height|).
int32_t valueRowHeight(const BandBlock& block);

// The period chart's rows: enough rows of rowHeight to hold the gap, the
// panel, the bottom margin and a value row per series (line and bars, each
// 0..6).
int32_t chartRowCount(const BandBlock& block, int lineSeries, int barSeries, int32_t rowHeight);

// One point of a line series.
struct BandPoint {
  int32_t x = 0, y = 0;
  double value = 0;
};
// The points of a series to draw between the visible x range [left, right):
// from the entry just before the range to the first one at or right of its
// right edge. values are in day order.
std::vector<BandPoint> linePoints(const std::vector<PeriodValue>& values, const TimeScale& scale,
                                  int32_t left, int32_t right, const BandLayout& layout,
                                  const Axis& axis);

// The bar of series i of n at a period whose x is x: the bars of one period
// stand side by side, the last ending at x.
struct BarRect {
  int32_t left = 0, right = 0, top = 0, bottom = 0;
};
BarRect barRect(int i, int n, int32_t x, int32_t barWidth, int32_t bottom, int32_t valueY);

// The entries of a value sheet as a series: sorted by day (of two equal
// days the first kept), invalid days dropped.
std::vector<PeriodValue> seriesFromEntries(const std::vector<PeriodValue>& entries);

}  // namespace kelvo

#endif  // KELVO_PERIOD_BAND_H_

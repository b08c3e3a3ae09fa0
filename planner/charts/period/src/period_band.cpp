#include "kelvo/period_band.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kelvo/value_sheet.h"
#include "xjor/option.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

constexpr int32_t kMaxSize = 32767;
constexpr int32_t kValueRowExtra = 20;

BandSeries defaultSeries(int i) {
  static const COLORREF colours[kBandSeriesMax] = {0x0000C0, 0xC00000, 0x008000,
                                                   0x00A0A0, 0x800080, 0x808000};
  BandSeries s;
  std::memset(&s, 0, sizeof s);
  s.sheet = -1;
  s.lineWidth = 5;
  s.lineColor = colours[i];
  s.fill = -1;
  s.fillColor = colours[i];
  return s;
}

LOGFONT tableFont() {
  LOGFONT font;
  std::memset(&font, 0, sizeof font);
  font.lfHeight = -28;
  font.lfCharSet = 1;
  std::memcpy(font.lfFaceName, "\xB1\xBC\xB8\xB2\xC3\xBC", 6);  // "굴림체"
  return font;
}

int16_t clampSize(int16_t v) {
  return int16_t(std::clamp<int32_t>(v, 1, kMaxSize));
}

void sanitizeSeries(BandSeries* series, int16_t* count) {
  *count = int16_t(std::clamp<int>(*count, 0, kBandSeriesMax));
  for (int i = 0; i < kBandSeriesMax; ++i) {
    std::memset(series[i].runtime, 0, sizeof series[i].runtime);
    series[i].title[sizeof series[i].title - 1] = 0;
    series[i].decimals = int16_t(std::clamp<int>(series[i].decimals, 0, 9));
  }
}

template <typename Block>
bool readBlock(OptionFileRef* opt, int item, Block* block) {
  if (!opt || item < 0 || xOption(opt, XOPT_SIZE, item, nullptr, 0) != int32_t(sizeof(Block)))
    return false;
  Block read;
  if (xOption(opt, XOPT_READ, item, &read, sizeof read) != 1) return false;
  *block = read;
  return true;
}

template <typename Block>
bool writeBlock(OptionFileRef* opt, int item, Block block) {
  for (BandSeries& s : block.series) std::memset(s.runtime, 0, sizeof s.runtime);
  return opt && item >= 0 && xOption(opt, XOPT_WRITE, item, &block, sizeof block) != 0;
}

bool finite(double v) {
  return std::isfinite(v);
}

}  // namespace

BandBlock defaultBandBlock() {
  BandBlock b;
  std::memset(&b, 0, sizeof b);
  b.panelHeight = 1000;
  b.gap = 68;
  b.margin[0] = b.margin[1] = 20;
  b.margin[2] = b.margin[3] = 0;
  b.minimum = 0;
  b.maximum = 100;
  b.major = 20;
  b.minor = 10;
  b.outlineColor = 0x000000;
  b.tableLineColor = 0x808080;
  b.tableFont = tableFont();
  for (int i = 0; i < kBandSeriesMax; ++i) b.series[i] = defaultSeries(i);
  return b;
}

ChartBlock defaultChartBlock() {
  ChartBlock c;
  std::memset(&c, 0, sizeof c);
  c.barWidth = 30;
  c.minimum = 0;
  c.maximum = 100;
  c.major = 20;
  c.minor = 10;
  c.labelWidth = 300;
  for (int i = 0; i < kBandSeriesMax; ++i) c.series[i] = defaultSeries(i);
  return c;
}

bool readBandBlock(OptionFileRef* opt, int item, BandBlock* block) {
  if (!readBlock(opt, item, block)) return false;
  block->panelHeight = clampSize(block->panelHeight);
  block->gap = int16_t(std::clamp<int32_t>(block->gap, 0, kMaxSize));
  for (int16_t& m : block->margin) m = int16_t(std::clamp<int32_t>(m, 0, kMaxSize));
  block->decimals = int16_t(std::clamp<int>(block->decimals, 0, 9));
  block->unit[sizeof block->unit - 1] = 0;
  sanitizeSeries(block->series, &block->seriesCount);
  return true;
}

bool readChartBlock(OptionFileRef* opt, int item, ChartBlock* block) {
  if (!readBlock(opt, item, block)) return false;
  block->barWidth = clampSize(block->barWidth);
  block->labelWidth = int16_t(std::clamp<int32_t>(block->labelWidth, 0, kMaxSize));
  block->decimals = int16_t(std::clamp<int>(block->decimals, 0, 9));
  block->unit[sizeof block->unit - 1] = 0;
  sanitizeSeries(block->series, &block->seriesCount);
  return true;
}

bool writeBandBlock(OptionFileRef* opt, int item, const BandBlock& block) {
  return writeBlock(opt, item, block);
}

bool writeChartBlock(OptionFileRef* opt, int item, const ChartBlock& block) {
  return writeBlock(opt, item, block);
}

bool Axis::drawsSeries() const {
  return finite(minimum) && finite(maximum) && finite(major) && finite(minor) && maximum > minimum;
}

bool Axis::drawsLabels() const {
  return finite(minimum) && finite(maximum) && finite(major) && maximum >= minimum;
}

Axis bandAxis(const BandBlock& block) {
  return {block.minimum, block.maximum, block.major, block.minor};
}

Axis chartAxis(const ChartBlock& block) {
  return {block.minimum, block.maximum, block.major, block.minor};
}

std::vector<double> axisTicks(double minimum, double maximum, double step, int32_t maxLines) {
  std::vector<double> ticks;
  step = std::fabs(step);
  if (!finite(step) || step == 0 || !finite(minimum) || !finite(maximum) || maximum < minimum)
    return ticks;
  // Multiples computed directly: stepping from zero would never end for a
  // huge minimum.
  const double first = std::ceil(minimum / step), last = std::floor(maximum / step);
  if (!finite(first) || !finite(last) || last < first || last - first + 1 > maxLines) return ticks;
  for (double k = first; k <= last; k += 1) ticks.push_back(k * step);
  return ticks;
}

Axis fitAxis(double lo, double hi) {
  lo = std::min(lo, 0.0);
  hi = std::max(hi, 0.0);
  if (!finite(lo) || !finite(hi)) return Axis{};
  if (hi - lo <= 0) hi = lo + 1;
  const double rough = (hi - lo) / 5;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double major = power;
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    major = f * power;
    if (major >= rough) break;
  }
  Axis axis;
  axis.major = major;
  axis.minor = major / 2;
  axis.minimum = std::floor(lo / major) * major;
  axis.maximum = std::ceil(hi / major) * major;
  return axis;
}

bool valueRange(const std::vector<std::vector<PeriodValue>>& series, double* lo, double* hi) {
  bool any = false;
  for (const auto& values : series)
    for (const PeriodValue& v : values) {
      if (!finite(v.value)) continue;
      *lo = any ? std::min(*lo, v.value) : v.value;
      *hi = any ? std::max(*hi, v.value) : v.value;
      any = true;
    }
  return any;
}

int32_t BandLayout::yOf(double value, const Axis& axis) const {
  const double span = axis.maximum - axis.minimum;
  if (!(span > 0)) return panelBottom();
  const double y = panelBottom() + (value - axis.minimum) * panelHeight / span;
  // Far values stay far without overflowing; lines are clipped to the panel.
  return int32_t(std::clamp(y, -1e9, 1e9));
}

int32_t valueRowHeight(const BandBlock& block) {
  return std::clamp<int32_t>(kValueRowExtra + std::abs(block.tableFont.lfHeight), 1, kMaxSize);
}

BandLayout bandLayout(const BandBlock& block, int32_t panelTop, int32_t panelHeight) {
  BandLayout layout;
  layout.panelTop = panelTop;
  layout.panelHeight = std::max<int32_t>(1, panelHeight);
  layout.bottomMargin = std::max<int32_t>(0, block.margin[1]);
  layout.valueRowHeight = valueRowHeight(block);
  return layout;
}

int32_t chartRowCount(const BandBlock& block, int lineSeries, int barSeries, int32_t rowHeight) {
  const int lines = std::clamp(lineSeries, 0, kBandSeriesMax);
  const int bars = std::clamp(barSeries, 0, kBandSeriesMax);
  const int64_t height = int64_t{valueRowHeight(block)} * (lines + bars) +
                         std::max<int>(0, block.margin[1]) + std::max<int>(0, block.gap) +
                         std::max<int>(1, block.panelHeight);
  return int32_t(height / std::max<int32_t>(1, rowHeight) + 1);
}

std::vector<BandPoint> linePoints(const std::vector<PeriodValue>& values, const TimeScale& scale,
                                  int32_t left, int32_t right, const BandLayout& layout,
                                  const Axis& axis) {
  std::vector<BandPoint> points;
  size_t first = 0;
  // Start at the entry just before the visible range.
  while (first + 1 < values.size() && scale.x(values[first + 1].day) < left) ++first;
  for (size_t i = first; i < values.size(); ++i) {
    const int32_t x = scale.x(values[i].day);
    points.push_back({x, layout.yOf(values[i].value, axis), values[i].value});
    if (x >= right) break;
  }
  return points;
}

BarRect barRect(int i, int n, int32_t x, int32_t barWidth, int32_t bottom, int32_t valueY) {
  BarRect r;
  r.left = x - (n - i) * barWidth;
  r.right = x - (n - i - 1) * barWidth;
  r.top = std::max(bottom, valueY);
  r.bottom = std::min(bottom, valueY);
  return r;
}

std::vector<PeriodValue> seriesFromEntries(const std::vector<PeriodValue>& entries) {
  std::vector<PeriodValue> out;
  for (const PeriodValue& e : entries)
    if (isValidDay(e.day)) out.push_back(e);
  std::stable_sort(out.begin(), out.end(),
                   [](const PeriodValue& a, const PeriodValue& b) { return a.day < b.day; });
  out.erase(std::unique(out.begin(), out.end(),
                        [](const PeriodValue& a, const PeriodValue& b) { return a.day == b.day; }),
            out.end());
  return out;
}

}  // namespace kelvo

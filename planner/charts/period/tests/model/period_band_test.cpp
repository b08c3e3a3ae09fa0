// The band's axis, fitted scales, row counts and the geometry of S-curve
// points and bars.
#include "kelvo/period_band.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "xjor/packed_date.h"

namespace {

using kelvo::Axis;

uint16_t d(int m, int day) {
  return xjor::packDate(2026, m, day);
}

TEST(BandAxis, TicksAreMultiplesWithinTheRange) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double lo, hi, step;
    int32_t maxLines;
    std::vector<double> want;
  } cases[] = {
      {0, 100, 20, 1000, {0, 20, 40, 60, 80, 100}},
      {-15, 30, 10, 1000, {-10, 0, 10, 20, 30}},
      {-15, 30, -10, 1000, {-10, 0, 10, 20, 30}},
      {5, 5, 5, 1000, {5}},
      {0, 100, 0, 1000, {}},
      {0, 100, 1, 50, {}},  // more lines than the panel has units
      {1e15, 1e15 + 4, 2, 1000, {1e15, 1e15 + 2, 1e15 + 4}},
      {0, inf, 1, 1000, {}},
      {10, 0, 1, 1000, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " step " << c.step);
    EXPECT_EQ(kelvo::axisTicks(c.lo, c.hi, c.step, c.maxLines), c.want);
  }
  EXPECT_TRUE((Axis{0, 100, 20, 10}).drawsSeries());
  EXPECT_FALSE((Axis{5, 5, 1, 1}).drawsSeries());
  EXPECT_TRUE((Axis{5, 5, 1, 1}).drawsLabels());
  EXPECT_FALSE((Axis{0, NAN, 1, 1}).drawsLabels());
  EXPECT_FALSE((Axis{0, 10, 1, NAN}).drawsSeries());
}

TEST(BandAxis, FittedScalesHoldTheValuesWithRoundSteps) {
  struct Case {
    double lo, hi;
    Axis want;
  } cases[] = {
      {0, 100, {0, 100, 20, 10}},     {3, 87, {0, 100, 20, 10}},
      {0, 1234, {0, 1500, 500, 250}}, {-40, 260, {-100, 300, 100, 50}},
      {0, 0.37, {0, 0.4, 0.1, 0.05}}, {0, 0, {0, 1, 0.2, 0.1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi);
    const Axis a = kelvo::fitAxis(c.lo, c.hi);
    EXPECT_NEAR(a.minimum, c.want.minimum, 1e-9);
    EXPECT_NEAR(a.maximum, c.want.maximum, 1e-9);
    EXPECT_NEAR(a.major, c.want.major, 1e-9);
    EXPECT_NEAR(a.minor, c.want.minor, 1e-9);
    EXPECT_LE(a.minimum, std::min(c.lo, 0.0));
    EXPECT_GE(a.maximum, c.hi);
  }
  double lo = 0, hi = 0;
  EXPECT_FALSE(kelvo::valueRange({{}, {}}, &lo, &hi));
  EXPECT_TRUE(kelvo::valueRange({{{d(3, 1), 4}}, {{d(3, 1), -2}, {d(4, 1), 9}}}, &lo, &hi));
  EXPECT_EQ(lo, -2);
  EXPECT_EQ(hi, 9);
}

TEST(BandGeometry, PanelValueRowsAndChartRows) {
  kelvo::BandBlock block = kelvo::defaultBandBlock();
  block.tableFont.lfHeight = -28;
  const kelvo::BandLayout layout = kelvo::bandLayout(block, -68, 1000);
  EXPECT_EQ(layout.panelBottom(), -1068);
  EXPECT_EQ(layout.valueRowHeight, 48);
  EXPECT_EQ(layout.valueRowTop(2), -1068 - 20 - 96);
  const Axis axis{0, 100, 20, 10};
  EXPECT_EQ(layout.yOf(0, axis), -1068);
  EXPECT_EQ(layout.yOf(100, axis), -68);
  EXPECT_EQ(layout.yOf(25, axis), -818);
  // An empty range puts everything on the bottom instead of dividing by 0.
  EXPECT_EQ(layout.yOf(50, Axis{5, 5, 1, 1}), -1068);
  // Six line and six bar series: twelve value rows fit the rows.
  const int32_t rows = kelvo::chartRowCount(block, 6, 6, 52);
  EXPECT_EQ(rows, (48 * 12 + 20 + 68 + 1000) / 52 + 1);
  EXPECT_GE(rows * 52, 68 + 1000 + 20 + 12 * 48);
  EXPECT_GT(rows, kelvo::chartRowCount(block, 6, 0, 52));
  EXPECT_EQ(kelvo::chartRowCount(block, 60, 60, 52), rows);
}

TEST(BandGeometry, LinePointsStartBeforeAndEndAtTheVisibleRange) {
  kelvo::TimeScaleSettings s = kelvo::defaultTimeScale(d(3, 1), d(6, 30));
  s.stepWidth = 10;
  const kelvo::TimeScale scale(s, d(3, 1), d(6, 30));
  const kelvo::BandLayout layout = kelvo::bandLayout(kelvo::defaultBandBlock(), 0, 1000);
  const Axis axis{0, 100, 20, 10};
  const std::vector<kelvo::PeriodValue> values = {
      {d(3, 1), 0}, {d(3, 11), 10}, {d(3, 21), 30}, {d(3, 31), 60}, {d(4, 10), 100}};
  // Visible from 15 March to 31 March: from the 11 March point to the
  // point on the right edge, which ends the line.
  const auto points =
      kelvo::linePoints(values, scale, scale.x(d(3, 15)), scale.x(d(3, 31)), layout, axis);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points.front().x, scale.x(d(3, 11)));
  EXPECT_EQ(points.back().x, scale.x(d(3, 31)));
  EXPECT_EQ(points.back().y, layout.yOf(60, axis));
  EXPECT_TRUE(kelvo::linePoints({}, scale, 0, 1000, layout, axis).empty());
}

TEST(BandGeometry, BarsOfOnePeriodStandSideBySideEndingAtItsX) {
  const kelvo::BarRect first = kelvo::barRect(0, 3, 1000, 30, -1068, -568);
  const kelvo::BarRect last = kelvo::barRect(2, 3, 1000, 30, -1068, -868);
  EXPECT_EQ(first.left, 910);
  EXPECT_EQ(first.right, 940);
  EXPECT_EQ(first.top, -568);
  EXPECT_EQ(first.bottom, -1068);
  EXPECT_EQ(last.left, 970);
  EXPECT_EQ(last.right, 1000);
  // A negative value hangs below the panel bottom.
  const kelvo::BarRect down = kelvo::barRect(0, 1, 1000, 30, -1000, -1100);
  EXPECT_EQ(down.top, -1000);
  EXPECT_EQ(down.bottom, -1100);
}

TEST(BandGeometry, SheetEntriesBecomeADaySortedSeries) {
  const auto series = kelvo::seriesFromEntries(
      {{d(4, 1), 2}, {d(3, 1), 1}, {0, 9}, {d(4, 1), 5}, {uint16_t(d(2, 1) + 30), 7}});
  const std::vector<kelvo::PeriodValue> want = {{d(3, 1), 1}, {d(4, 1), 2}};
  EXPECT_EQ(series, want);
}

}  // namespace

// Period values of a summary row: items, blocks, running totals, the
// actual block continued by the expected one, and the plan/actual S-curves.
#include "kelvo/period_values.h"

#include <gtest/gtest.h>

#include "xjor/packed_date.h"

namespace {

using kelvo::PeriodValue;
using kelvo::RowSeries;
using kelvo::SeriesEntry;
using kelvo::ValueItem;

uint16_t d(int m, int day) {
  return xjor::packDate(2026, m, day);
}

SeriesEntry entry(uint16_t day, double q, double amount = 0) {
  SeriesEntry e;
  e.day = day;
  e.value[0] = q;
  e.value[1] = amount;
  return e;
}

// Plan: three months of 10, 20, 30; actual 5, 15 to April; expected 7 in
// April (the last actual day) and 8 in May.
RowSeries sample() {
  RowSeries s;
  s.block[0] = {entry(d(3, 1), 10, 100), entry(d(4, 1), 20, 200), entry(d(5, 1), 30, 300)};
  s.block[1] = {entry(d(3, 1), 5, 50), entry(d(4, 1), 15, 150)};
  s.block[2] = {entry(d(4, 1), 7), entry(d(5, 1), 8)};
  return s;
}

ValueItem item(int which, int series, int cumulative) {
  ValueItem v{};
  v.item = int16_t(which);
  v.series = int16_t(series);
  v.cumulative = int16_t(cumulative);
  return v;
}

TEST(PeriodValues, ItemsBlocksAndTotals) {
  struct Case {
    ValueItem item;
    bool resource;
    std::vector<PeriodValue> want;
  } cases[] = {
      {item(0, 0, 0), false, {{d(3, 1), 10}, {d(4, 1), 20}, {d(5, 1), 30}}},
      {item(0, 0, 1), false, {{d(3, 1), 10}, {d(4, 1), 30}, {d(5, 1), 60}}},
      {item(1, 1, 0), false, {{d(3, 1), 50}, {d(4, 1), 150}}},
      // Actual then expected: the expected April entry joins the actual one.
      {item(0, 3, 0), false, {{d(3, 1), 5}, {d(4, 1), 22}, {d(5, 1), 8}}},
      {item(0, 3, 1), false, {{d(3, 1), 5}, {d(4, 1), 27}, {d(5, 1), 35}}},
      {item(0, 2, 0), false, {{d(4, 1), 7}, {d(5, 1), 8}}},
      // Items that do not exist show nothing.
      {item(6, 0, 0), false, {}},
      {item(-1, 0, 0), false, {}},
      {item(1, 0, 0), true, {}},
      {item(0, 4, 0), false, {}},
      {item(0, 0, 0), true, {{d(3, 1), 10}, {d(4, 1), 20}, {d(5, 1), 30}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.item.item << "/" << c.item.series << "/"
                                    << c.item.cumulative << " resource " << c.resource);
    EXPECT_EQ(kelvo::periodValues(sample(), c.item, c.resource), c.want);
  }
}

TEST(PeriodValues, ExpectedAloneIsNotMergedAndCumulativeNeverFalls) {
  RowSeries s;
  s.block[2] = {entry(d(4, 1), 7), entry(d(4, 1), 3)};
  // Without actual entries nothing is joined, even on equal days.
  EXPECT_EQ(kelvo::periodValues(s, item(0, 3, 0), false).size(), 2u);
  const auto totals = kelvo::periodValues(sample(), item(0, 0, 1), false);
  for (size_t i = 1; i < totals.size(); ++i) EXPECT_GE(totals[i].value, totals[i - 1].value);
}

TEST(PeriodValues, Decimals) {
  kelvo::ProjectDigits digits;
  digits.quantity = 3;
  digits.weight = 2;
  digits.amount = 1;
  const int want[] = {3, 1, 2, 1, 2, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(kelvo::periodDecimals(i, false, digits), want[i]) << i;
  EXPECT_EQ(kelvo::periodDecimals(0, true, digits), 3);
}

TEST(PeriodValues, PlanAndActualCurvesShareThePlanTotal) {
  const kelvo::PlanActualCurves c = kelvo::planActualCurves(sample(), false);
  EXPECT_EQ(c.item, 1);
  EXPECT_DOUBLE_EQ(c.planTotal, 600);
  ASSERT_EQ(c.plan.size(), 3u);
  EXPECT_DOUBLE_EQ(c.plan.back().value, 100);
  ASSERT_EQ(c.actual.size(), 2u);
  EXPECT_DOUBLE_EQ(c.actual.back().value, 200.0 * 100 / 600);
  // No plan amount: the quantity is taken; nothing planned at all: empty.
  RowSeries q = sample();
  for (SeriesEntry& e : q.block[0]) e.value[1] = 0;
  EXPECT_EQ(kelvo::planActualCurves(q, false).item, 0);
  EXPECT_TRUE(kelvo::planActualCurves(RowSeries{}, false).plan.empty());
}

}  // namespace

// Bars and links of the Gantt chart as geometry: one row's bars for the
// cases a planner meets (critical, float either way, milestones, started
// work, missing dates) and the routes of the four relation kinds.
#include "kelvo/gantt_model.h"

#include <gtest/gtest.h>

#include <cstring>

#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

uint16_t d(int month, int day) {
  return xjor::packDate(2026, month, day);
}

// Ten units a day from 2 March 2026; rows 52 high, bars 20: the current
// band of row r has its top at -r x 52 - 16.
TimeScale scale(uint16_t extraFlags = 0) {
  TimeScaleSettings s = defaultGanttScale(d(3, 2), d(12, 31));
  s.flags |= extraFlags;
  return TimeScale(s, d(3, 2), d(12, 31));
}
int32_t xOf(int month, int day) {
  return scale().x(d(month, day));
}

GanttDates planned(int16_t duration, uint16_t es, uint16_t ef, int16_t tf = 0) {
  GanttDates g;
  g.duration = duration;
  g.totalFloat = tf;
  g.start = g.earlyStart = es;
  g.finish = g.earlyFinish = ef;
  // Late dates lie tf calendar days after the early ones.
  g.lateStart = es ? xjor::dateFromDayNumber(xjor::dayNumber(es) + tf) : 0;
  g.lateFinish = ef ? xjor::dateFromDayNumber(xjor::dayNumber(ef) + tf) : 0;
  return g;
}

std::vector<GanttBar> bars(const GanttDates& g, uint16_t flags = 0, int32_t row = 0,
                           uint16_t dataDate = d(3, 2)) {
  std::vector<GanttBar> out;
  const TimeScale s = scale(flags);
  appendRowBars(g, row, s, defaultGanttBlock(), dataDate, &out);
  return out;
}

TEST(GanttBlock, DefaultBytes) {
  const GanttBlock b = defaultGanttBlock();
  unsigned char bytes[32];
  std::memcpy(bytes, &b, sizeof bytes);
  const unsigned char expected[32] = {0,    0, 3,    0,    1, 0, 20,   0, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0, 0,    0xFF, 0, 0, 0x80, 0, 0,    0,    0x80,
                                      0x80, 0, 0xFF, 0,    0, 0, 0,    0, 0xFF, 0};
  EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof bytes));
}

TEST(GanttDates, ReadFromTheRecordHead) {
  ActRecord a{};
  a.duration = 4;
  a.totalFloat = -2;
  a.start = d(3, 3);
  a.earlyFinish = d(3, 6);
  a.actualFinish = d(3, 9);
  a.plannedStart = d(3, 10);
  a.plannedFinish = d(3, 12);
  const GanttDates g = ganttDates(&a);
  EXPECT_EQ(g.duration, 4);
  EXPECT_EQ(g.totalFloat, -2);
  EXPECT_EQ(g.start, d(3, 3));
  EXPECT_EQ(g.earlyFinish, d(3, 6));
  EXPECT_EQ(g.actualFinish, d(3, 9));
  EXPECT_EQ(g.plannedStart, d(3, 10));
  EXPECT_EQ(g.plannedFinish, d(3, 12));
}

TEST(GanttBars, RemainingBarCriticalWhenFloatBelowOne) {
  struct Case {
    int16_t tf;
    bool filled;
    COLORREF color;
    size_t count;  // with the float bar
  } cases[] = {{0, true, 0x0000FF, 1}, {-3, true, 0x0000FF, 2}, {5, false, 0xFF0000, 2}};
  for (const Case& c : cases) {
    const auto out = bars(planned(5, d(3, 3), d(3, 7), c.tf));
    ASSERT_EQ(out.size(), c.count) << c.tf;
    EXPECT_EQ(out[0].role, BarRole::Remaining);
    EXPECT_EQ(out[0].filled, c.filled) << c.tf;
    EXPECT_EQ(out[0].color, c.color) << c.tf;
    // From the early start to the day after the early finish.
    EXPECT_EQ(out[0].left, xOf(3, 3));
    EXPECT_EQ(out[0].right, xOf(3, 8));
    EXPECT_EQ(out[0].top, -16);
    EXPECT_EQ(out[0].bottom, -36);
  }
}

TEST(GanttBars, FloatBarRunsRightForPositiveAndLeftForNegativeFloat) {
  GanttDates pos = planned(5, d(3, 3), d(3, 7), 4);
  pos.lateFinish = d(3, 11);
  auto out = bars(pos);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[1].dotted);
  EXPECT_FALSE(out[1].filled);
  EXPECT_EQ(out[1].left, xOf(3, 8));
  EXPECT_EQ(out[1].right, xOf(3, 12));

  GanttDates neg = planned(5, d(3, 5), d(3, 9), -2);
  neg.lateStart = d(3, 3);
  out = bars(neg);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[1].left, xOf(3, 3));
  EXPECT_EQ(out[1].right, xOf(3, 5));

  // The float bars can be switched off.
  TimeScaleSettings s = defaultGanttScale(d(3, 2), d(12, 31));
  s.flags &= uint16_t(~ganttflag::kFloatBars);
  std::vector<GanttBar> none;
  appendRowBars(pos, 0, TimeScale(s, d(3, 2), d(12, 31)), defaultGanttBlock(), d(3, 2), &none);
  EXPECT_EQ(none.size(), 1u);
}

TEST(GanttBars, MilestonesAreMarksNeverBars) {
  GanttDates m = planned(0, d(3, 10), d(3, 9), 0);
  auto out = bars(m);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(out[0].markOnly);
  EXPECT_EQ(out[0].left, xOf(3, 10));
  EXPECT_EQ(out[0].mark, ganttmark::kDown);
  EXPECT_EQ(out[0].color, COLORREF(0x008000));

  // Finished: drawn once, filled, at its actual start.
  m.actualStart = d(3, 11);
  m.actualFinish = d(3, 10);
  out = bars(m, 0, 0, d(3, 20));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].role, BarRole::Actual);
  EXPECT_TRUE(out[0].filled && out[0].markOnly);
  EXPECT_EQ(out[0].left, xOf(3, 11));
}

TEST(GanttBars, StartedWorkIsFilledToTheDataDateThenRemaining) {
  GanttDates g = planned(10, d(3, 3), d(3, 20), 2);
  g.actualStart = d(3, 4);
  const auto out = bars(g, 0, 2, d(3, 10));
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[0].role, BarRole::Actual);
  EXPECT_TRUE(out[0].filled);
  EXPECT_EQ(out[0].left, xOf(3, 4));
  EXPECT_EQ(out[0].right, xOf(3, 10));
  EXPECT_EQ(out[0].top, -2 * 52 - 16);
  EXPECT_EQ(out[1].role, BarRole::Remaining);
  EXPECT_EQ(out[1].left, xOf(3, 10));
  EXPECT_EQ(out[1].right, xOf(3, 21));

  // An actual start after the data date leaves only the start mark.
  g.actualStart = d(3, 12);
  EXPECT_TRUE(bars(g, 0, 0, d(3, 10))[0].markOnly);
}

TEST(GanttBars, PlannedBarsAndTheirBand) {
  GanttDates g = planned(5, d(3, 3), d(3, 7), 3);
  g.plannedStart = d(3, 4);
  g.plannedFinish = d(3, 6);
  // Own band: planned on top, the current bars moved down by a bar and 5.
  auto out = bars(g, ganttflag::kPlannedBars);
  ASSERT_EQ(out[0].role, BarRole::Planned);
  EXPECT_EQ(out[0].left, xOf(3, 4));
  EXPECT_EQ(out[0].right, xOf(3, 7));
  EXPECT_EQ(out[0].top, -3);  // (52 - 2 x 20 - 5) / 2
  EXPECT_EQ(out[1].top, -3 - 25);
  // Same band: both centred.
  out = bars(g, ganttflag::kPlannedBars | ganttflag::kPlannedSameBand);
  EXPECT_EQ(out[0].top, -16);
  EXPECT_EQ(out[1].top, -16);
  // No planned start: nothing; no planned finish: the start mark only.
  g.plannedFinish = 0;
  EXPECT_TRUE(bars(g, ganttflag::kPlannedBars)[0].markOnly);
  g.plannedStart = 0;
  EXPECT_EQ(bars(g, ganttflag::kPlannedBars)[0].role, BarRole::Remaining);
}

TEST(GanttBars, NothingFromAMissingDate) {
  GanttDates g;  // never analysed: no early dates
  g.duration = 3;
  EXPECT_TRUE(bars(g).empty());
}

TEST(GanttBars, RangeTestWidensByHalfABar) {
  GanttBar b;
  b.left = 100;
  b.right = 200;
  EXPECT_TRUE(barInRange(b, 205, 400, 20));
  EXPECT_FALSE(barInRange(b, 211, 400, 20));
  EXPECT_TRUE(barInRange(b, 0, 95, 20));
  EXPECT_FALSE(barInRange(b, 0, 89, 20));
}

TEST(GanttShownFinish, AMilestoneFinishesOnItsStart) {
  EXPECT_EQ(shownFinish(0, d(3, 10), d(3, 9)), d(3, 10));
  EXPECT_EQ(shownFinish(3, d(3, 10), d(3, 12)), d(3, 12));
  EXPECT_EQ(shownFinish(0, 0, d(3, 9)), d(3, 9));
}

TEST(GanttLinks, DaysOfTheFourKinds) {
  const GanttDates p = planned(5, d(3, 3), d(3, 7));
  const GanttDates s = planned(4, d(3, 9), d(3, 12));
  const GanttDates ms = planned(0, d(3, 15), d(3, 14));
  struct Case {
    int kind;
    uint16_t leave, reach;
  } cases[] = {
      {0, d(3, 8), d(3, 9)}, {1, d(3, 8), d(3, 13)}, {2, d(3, 3), d(3, 9)}, {3, d(3, 3), d(3, 13)}};
  for (const Case& c : cases) {
    const GanttLink l = makeLink(p, 0, s, 1, c.kind);
    EXPECT_EQ(l.leaveDay, c.leave) << c.kind;
    EXPECT_EQ(l.reachDay, c.reach) << c.kind;
  }
  // A milestone's finish is its start.
  EXPECT_EQ(makeLink(p, 0, ms, 1, 1).reachDay, d(3, 15));
  EXPECT_EQ(makeLink(ms, 0, s, 1, 0).leaveDay, d(3, 15));
}

TEST(GanttLinks, RouteHasItsElbowAndArrowTowardTheSuccessor) {
  const TimeScale s = scale();
  const GanttBlock b = defaultGanttBlock();
  GanttLink down{1, 3, d(3, 8), d(3, 9)};
  LinkRoute r = routeLink(down, s, b);
  // Out of the bottom edge of row 1 (top -68, bottom -88), 10 down,
  // across, down to the top edge of row 3 (-172).
  const int32_t xs[4] = {60, 60, 70, 70}, ys[4] = {-88, -98, -98, -172};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.x[i], xs[i]) << i;
    EXPECT_EQ(r.y[i], ys[i]) << i;
  }
  EXPECT_EQ(r.headX[0], 60);
  EXPECT_EQ(r.headX[1], 80);
  EXPECT_EQ(r.headY[0], -162);

  GanttLink up{3, 1, d(3, 8), d(3, 9)};
  r = routeLink(up, s, b);
  EXPECT_EQ(r.y[0], -172);  // top edge of row 3
  EXPECT_EQ(r.y[1], -162);  // 10 up
  EXPECT_EQ(r.y[3], -88);   // bottom edge of row 1
  EXPECT_EQ(r.headY[0], -98);
}

TEST(GanttLinks, VisibleWhenARowAndTheDaysAreShown) {
  const GanttLink l{2, 40, d(3, 8), d(3, 20)};
  EXPECT_TRUE(linkVisible(l, 0, 10, d(3, 2), d(3, 31)));
  EXPECT_TRUE(linkVisible(l, 35, 45, d(3, 15), d(3, 31)));
  EXPECT_FALSE(linkVisible(l, 10, 30, d(3, 2), d(3, 31)));  // neither row
  EXPECT_FALSE(linkVisible(l, 0, 10, d(3, 21), d(3, 31)));  // days right of it
  EXPECT_FALSE(linkVisible(GanttLink{2, 3, 0, d(3, 9)}, 0, 10, d(3, 2), d(3, 31)));
}

}  // namespace
}  // namespace kelvo

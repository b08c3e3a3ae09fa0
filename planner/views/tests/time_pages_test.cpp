// Printed pages of the time axis without a view: where pages across begin
// and which days and rows they hold, the page shared with a sheet, the
// repeated strip, and fit to paper giving exactly the pages asked for.
#include "kelvo/time_pages.h"

#include <gtest/gtest.h>

#include "xjor/packed_date.h"

using namespace kelvo;

namespace {

uint16_t day(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

// Ten units a day from 1 January to 31 March 2026 (90 days), a 30-unit
// table left of the axis, rows 50 high.
TimeScale quarter(int16_t stepWidth = 10, int16_t stepDays = 1) {
  TimeScaleSettings s = defaultTimeScale(day(2026, 1, 1), day(2026, 3, 31));
  s.stepWidth = stepWidth;
  s.stepDays = stepDays;
  s.leftTableWidth = 30;
  s.rowHeight = 50;
  return TimeScale(s, s.startDate, s.endDate);
}

TimePageRequest request(int32_t width, int32_t height, int32_t rows) {
  TimePageRequest r;
  r.bodyWidth = width;
  r.bodyHeight = height;
  r.rowCount = rows;
  return r;
}

}  // namespace

TEST(TimePagesTest, PagesAcrossHoldWholeDays) {
  const TimeScale t = quarter();
  // 230 = 30 + 20 days: the second page starts on a day's start exactly,
  // 21 January, and the first page's last day is 20 January.
  TimePagePlan plan = planTimePages(t, request(230, 1000, 5));
  ASSERT_GE(plan.starts.size(), 2u);
  EXPECT_EQ(plan.starts[1], 230);
  TimePage first = plan.page(t, 0, 0);
  EXPECT_EQ(first.left, 0);
  EXPECT_EQ(first.right, 230);
  EXPECT_EQ(first.firstDate, 0) << "the page begins in the left table";
  EXPECT_EQ(first.lastDate, day(2026, 1, 20));
  EXPECT_EQ(plan.page(t, 1, 0).firstDate, day(2026, 1, 21));

  // 235 cuts 21 January: the edge moves back to its start, so the day
  // prints whole on the next page and no day is on two pages.
  plan = planTimePages(t, request(235, 1000, 5));
  EXPECT_EQ(plan.starts[1], 230);
  EXPECT_EQ(plan.starts[2], 460);
  EXPECT_EQ(plan.page(t, 1, 0).lastDate, day(2026, 2, 12));
  EXPECT_EQ(plan.page(t, 2, 0).firstDate, day(2026, 2, 13));

  // The last page ends with the view: 930 units over pages of 230.
  plan = planTimePages(t, request(230, 1000, 5));
  EXPECT_EQ(plan.pagesAcross, 5);
  const TimePage last = plan.page(t, 4, 0);
  EXPECT_EQ(last.left, 920);
  EXPECT_EQ(last.right, kOpenRight);
  EXPECT_EQ(last.firstDate, day(2026, 3, 31));
  EXPECT_EQ(last.lastDate, day(2026, 3, 31));
  EXPECT_EQ(plan.page(t, 9, 0).left, 920) << "columns past the job are the last page";
}

TEST(TimePagesTest, RowsDownUnderTheRepeatedStrip) {
  const TimeScale t = quarter();
  TimePageRequest r = request(1000, 296, 11);
  r.repeatedStrip = 96;  // 200 left: four rows of 50
  TimePagePlan plan = planTimePages(t, r);
  EXPECT_EQ(plan.rowsPerPage, 4);
  EXPECT_EQ(plan.pagesDown, 3);
  TimePage p = plan.page(t, 0, 2);
  EXPECT_EQ(p.firstRow, 8);
  EXPECT_EQ(p.lastRow, 10) << "the last page holds what is left";
  EXPECT_EQ(p.originY, 96 - 8 * 50) << "the body starts under the strip";

  // Without the strip: five rows fit; a page lower than a row still
  // holds one; no rows still make one page.
  r.repeatedStrip = 0;
  EXPECT_EQ(planTimePages(t, r).rowsPerPage, 5);
  EXPECT_EQ(planTimePages(t, request(1000, 20, 3)).rowsPerPage, 1);
  plan = planTimePages(t, request(1000, 300, 0));
  EXPECT_EQ(plan.pagesDown, 1);
  EXPECT_LT(plan.page(t, 0, 0).lastRow, plan.page(t, 0, 0).firstRow);
}

TEST(TimePagesTest, SheetPagesBeforeTheAxis) {
  const TimeScale t = quarter();
  // Two sheet pages, the second using 150 of 400: the axis starts on it
  // with 250 units, and from there in pages of 400.
  TimePageRequest r = request(400, 1000, 5);
  r.leadingPages = 2;
  r.sharedWidth = 150;
  TimePagePlan plan = planTimePages(t, r);
  EXPECT_EQ(plan.firstAxisPage(), 1);
  EXPECT_EQ(plan.starts[1], 250);
  EXPECT_EQ(plan.pagesAcross, 1 + int(plan.starts.size()));
  TimePage shared = plan.page(t, 1, 0);
  EXPECT_EQ(shared.left, 0);
  EXPECT_EQ(shared.right, 250);
  EXPECT_EQ(shared.originX, -150) << "the sheet's part comes first on the page";
  EXPECT_EQ(plan.page(t, 2, 0).originX, 250);
  EXPECT_EQ(plan.page(t, 0, 0).right, 0) << "a sheet page holds no axis";

  // A sheet filling its last page whole is not shared.
  r.sharedWidth = 400;
  plan = planTimePages(t, r);
  EXPECT_EQ(plan.sharedWidth, 0);
  EXPECT_EQ(plan.firstAxisPage(), 2);
  EXPECT_EQ(plan.page(t, 2, 0).originX, 0);
}

TEST(TimePagesTest, RowNumberColumnAtEveryPagesLeft) {
  const TimeScale t = quarter();
  // 250 less a column of 20: pages across hold 230 of the axis, each page's
  // body beginning 20 units left of its part of the axis.
  TimePageRequest r = request(250, 1000, 5);
  r.rowNumbers = 20;
  const TimePagePlan plan = planTimePages(t, r);
  EXPECT_EQ(plan.axisWidth, 230);
  EXPECT_EQ(plan.starts[1], 230);
  EXPECT_EQ(plan.page(t, 0, 0).originX, -20);
  EXPECT_EQ(plan.page(t, 1, 0).originX, 210);
  // A column as wide as the page leaves no room: the job is refused.
  r.rowNumbers = 250;
  EXPECT_LE(planTimePages(t, r).axisWidth, 0);
}

TEST(TimePagesTest, FitToPaperGivesThePagesAskedFor) {
  const TimeScale t = quarter();
  struct Case {
    int across, down, leading;
    int32_t shared, width, height, strip, rows;
  } cases[] = {
      {1, 1, 0, 0, 1000, 600, 0, 40},    // shrink to one page
      {3, 2, 0, 0, 200, 500, 96, 30},    // several pages, strip repeated
      {4, 1, 2, 150, 400, 2000, 0, 12},  // after a sheet sharing its last page
      {6, 1, 0, 0, 5000, 2000, 0, 3},    // widen
      {2, 1, 0, 0, 1, 1, 0, 1},          // a page narrower than a unit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.across << "x" << c.down << " width " << c.width);
    TimePageRequest r = request(c.width, c.height, c.rows);
    r.leadingPages = c.leading;
    r.sharedWidth = c.shared;
    r.repeatedStrip = c.strip;
    const TimeScaleFit fit = fitTimeScale(t, r, c.across, c.down);
    const TimeScale fitted(fit.settings, 0, 0);
    const TimePagePlan plan = planTimePages(fitted, r);
    if (c.width > 1) {
      EXPECT_EQ(plan.pagesAcross, c.across);
    }
    EXPECT_EQ(plan.pagesDown, c.down);
    EXPECT_EQ(fitted.settings().startDate, day(2026, 1, 1)) << "dates stay";
    EXPECT_NE(fit.settings.scaleFont.lfHeight, 0);
    EXPECT_NE(fit.settings.bodyFont.lfHeight, 0);
    EXPECT_DOUBLE_EQ(fit.fonts, std::min(fit.across, fit.down));
  }
}

// The time scale without a view: the stored block's bytes, the guards on
// stored sizes, and x of a day and back at the edges (shared x, the tables
// either side, the largest axis, a day wider than a page).
#include "kelvo/time_scale.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "xjor/packed_date.h"

using namespace kelvo;

namespace {

uint16_t day(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

TimeScale scale(int16_t stepWidth, int16_t stepDays, uint16_t start, uint16_t end, int16_t left = 0,
                int16_t right = 0) {
  TimeScaleSettings s = defaultTimeScale(start, end);
  s.stepWidth = stepWidth;
  s.stepDays = stepDays;
  s.leftTableWidth = left;
  s.rightAreaWidth = right;
  return TimeScale(s, start, end);
}

}  // namespace

TEST(TimeScaleTest, DefaultBlockBytes) {
  const TimeScaleSettings s = defaultTimeScale(day(2026, 3, 2), day(2026, 12, 31));
  unsigned char b[172];
  std::memcpy(b, &s, sizeof b);
  const std::vector<unsigned char> head(b, b + 26);
  const std::vector<unsigned char> want = {0x01, 0x40, 0x62, 0x5C, 0x9F, 0x5D, 10, 0,  1,
                                           0,    0,    0,    20,   0,    0,    0,  32, 0,
                                           52,   0,    84,   0,    0,    0,    0,  0};
  EXPECT_EQ(head, want);
  EXPECT_EQ(b[26], 0xE0) << "scale font height -32";
  EXPECT_EQ(b[26 + 23], 1) << "character set";
  EXPECT_EQ(std::memcmp(b + 26 + 28, "\xB1\xBC\xB8\xB2\xC3\xBC", 7), 0) << "face";
  EXPECT_EQ(std::memcmp(b + 26, b + 86, 60), 0) << "body font as the scale font";
  const unsigned char colors[] = {0x80, 0, 0,    0,    0,    0, 0x80, 0,    0x80, 0x80,
                                  0x80, 0, 0xC0, 0xFF, 0xFF, 0, 0,    0x80, 0x80, 0};
  EXPECT_EQ(std::memcmp(b + 146, colors, sizeof colors), 0);
  EXPECT_EQ(b[166] | b[167], 0) << "no shading";
  EXPECT_EQ(b[168], 0xF0);
}

TEST(TimeScaleTest, StoredSizesAreClampedAndTheWidthIsNeverZero) {
  TimeScaleSettings s = defaultTimeScale(day(2026, 1, 1), day(2026, 1, 1));
  s.stepWidth = 0;
  s.stepDays = -3;
  s.rowHeight = 0;
  s.scaleRowHeight = -1;
  s.leftTableWidth = -5;
  s.rightAreaWidth = -5;
  s.rowNumberWidth = -5;
  s.rowCount = INT32_MAX;
  TimeScale t(s, day(2026, 1, 1), day(2026, 1, 1));
  EXPECT_EQ(t.settings().stepWidth, 1);
  EXPECT_EQ(t.settings().stepDays, 1);
  EXPECT_EQ(t.settings().rowHeight, 1);
  EXPECT_EQ(t.settings().scaleRowHeight, 1);
  EXPECT_EQ(t.settings().leftTableWidth, 0);
  EXPECT_EQ(t.settings().rowNumberWidth, 0);
  s.rowHeight = 52;
  EXPECT_EQ(TimeScale(s, 0, 0).settings().rowCount, INT32_MAX / 52);

  // One day narrower than a unit: the width would round to 0.
  EXPECT_EQ(scale(1, 2, day(2026, 1, 1), day(2026, 1, 1)).totalWidth(), 1);
  // One day of one step plus the tables.
  EXPECT_EQ(scale(10, 1, day(2026, 1, 1), day(2026, 1, 1), 30, 40).totalWidth(), 80);

  // The largest axis: every size at 32767 over all packed dates, in 32 bits.
  const TimeScale big = scale(32767, 1, day(1980, 1, 1), day(2107, 12, 31), 32767, 32767);
  EXPECT_EQ(big.dayCount(), 46752);
  EXPECT_EQ(big.totalWidth(), 32767 * 46752 + 2 * 32767);
  EXPECT_EQ(big.x(day(2107, 12, 31)), 32767 + 32767 * 46751);
  EXPECT_EQ(big.dateAt(big.timeRight() - 1), day(2107, 12, 31));
  EXPECT_EQ(big.scrollBoxAt(big.totalWidth()), 16384);
  EXPECT_EQ(big.xOfScrollBox(16384), big.totalWidth());

  // Axis dates that are no dates fall back on the project's.
  s.startDate = day(2026, 2, 30);
  s.endDate = day(2025, 1, 1);
  const TimeScale fallback(s, day(2026, 3, 2), day(2026, 12, 31));
  EXPECT_EQ(fallback.settings().startDate, day(2026, 3, 2));
  EXPECT_EQ(fallback.settings().endDate, day(2026, 12, 31));
}

TEST(TimeScaleTest, XOfADayAndBack) {
  const uint16_t start = day(2026, 2, 27), end = day(2026, 3, 3);
  const TimeScale t = scale(10, 1, start, end, 30, 40);
  EXPECT_EQ(t.x(start), 30);
  EXPECT_EQ(t.x(day(2026, 3, 1)), 50) << "2026 is not a leap year";
  EXPECT_EQ(t.x(day(2026, 2, 26)), 20) << "before the start lies left";
  int32_t rest = -1;
  EXPECT_EQ(t.dateAt(30, &rest), start);
  EXPECT_EQ(rest, 0);
  EXPECT_EQ(t.dateAt(49, &rest), day(2026, 2, 28));
  EXPECT_EQ(rest, 9);
  EXPECT_EQ(t.dateAt(29, &rest), 0) << "left table";
  EXPECT_EQ(rest, 29);
  EXPECT_EQ(t.dateAt(80, &rest), kRightArea);
  EXPECT_EQ(rest, 0);
  EXPECT_EQ(t.dateAt(79, &rest), end);
  EXPECT_EQ(t.dayStartAt(57), 50);
  EXPECT_EQ(t.dayStartAt(12), 12) << "tables are not snapped";
  EXPECT_EQ(scale(10, 1, start, end, 0, 40).dateAt(50 + 90000, &rest), kRightArea);
  EXPECT_EQ(rest, 32767) << "right-area remainder capped";

  // Seven days share each unit: the last of them is the day under x.
  const TimeScale dense = scale(1, 7, day(2026, 1, 1), day(2026, 1, 31));
  EXPECT_EQ(dense.x(day(2026, 1, 7)), 0);
  EXPECT_EQ(dense.x(day(2026, 1, 8)), 1);
  EXPECT_EQ(dense.dateAt(0, &rest), day(2026, 1, 7));
  EXPECT_EQ(rest, 0);
  EXPECT_EQ(dense.dateAt(3), day(2026, 1, 28));
  EXPECT_EQ(scale(1, 2, day(2026, 1, 1), day(2026, 1, 1)).dateAt(0), day(2026, 1, 1))
      << "the widened one-day axis keeps its day";

  // Wide days: every day comes back from its own x.
  const TimeScale wide = scale(7, 3, day(2024, 2, 20), day(2024, 3, 10), 25);
  for (uint16_t d = day(2024, 2, 20); d <= day(2024, 2, 29); ++d)
    EXPECT_EQ(wide.dateAt(wide.x(d)), d);

  // Rows and positions: y remainder is -(-y mod row height).
  const ScalePosition p = t.positionAt(57, -110);
  EXPECT_EQ(p.date, day(2026, 3, 1));
  EXPECT_EQ(p.xRemainder, 7);
  EXPECT_EQ(p.row, 2);
  EXPECT_EQ(p.yRemainder, -6);
  int32_t x = 0, y = 0;
  t.pointAt(p, &x, &y);
  EXPECT_EQ(x, 57);
  EXPECT_EQ(y, -110);
}

TEST(TimeScaleTest, ScrollingDividersWeeksAndPages) {
  const TimeScale t = scale(10, 1, day(2026, 1, 1), day(2026, 3, 31), 30);
  EXPECT_EQ(t.firstVisibleDay(0), day(2026, 1, 1));
  EXPECT_EQ(t.firstVisibleDay(30), day(2026, 1, 1));
  EXPECT_EQ(t.firstVisibleDay(31), day(2026, 1, 2)) << "a day partly off screen is skipped";

  TimeScaleSettings s = t.settings();
  s.divider = 6;  // monthly
  std::vector<uint16_t> lines;
  TimeScale(s, 0, 0).forEachDivider(day(2025, 12, 1), day(2026, 12, 31), 1, 0,
                                    [&](uint16_t d, int32_t) { lines.push_back(d); });
  EXPECT_EQ(lines, (std::vector<uint16_t>{day(2026, 1, 1), day(2026, 2, 1), day(2026, 3, 1)}));
  s.divider = 7;  // weekly, weeks from Monday
  lines.clear();
  TimeScale(s, 0, 0).forEachDivider(day(2026, 1, 1), day(2026, 1, 14), 1, 1,
                                    [&](uint16_t d, int32_t) { lines.push_back(d); });
  EXPECT_EQ(lines, (std::vector<uint16_t>{day(2026, 1, 5), day(2026, 1, 12)}));

  // Weeks when one day is narrower than half the font (32): 2 x 15 < 32.
  EXPECT_FALSE(scale(16, 1, day(2026, 1, 1), day(2026, 1, 2)).weekRow());
  EXPECT_TRUE(scale(15, 1, day(2026, 1, 1), day(2026, 1, 2)).weekRow());

  // Page edges snap back to day starts; a page narrower than a day still
  // moves on.
  EXPECT_EQ(t.pageStarts(45),
            (std::vector<int32_t>{0,   40,  80,  120, 160, 200, 240, 280, 320, 360, 400, 440,
                                  480, 520, 560, 600, 640, 680, 720, 760, 800, 840, 880, 920}));
  const TimeScale days = scale(100, 1, day(2026, 1, 1), day(2026, 1, 2));
  EXPECT_EQ(days.pageStarts(60), (std::vector<int32_t>{0, 60, 100, 160}));
}

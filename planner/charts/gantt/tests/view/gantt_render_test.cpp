// What a planner sees in window 3: bars where the dates are, in the colours
// the legend gives, links with their elbows, shaded holidays and the data
// date, painted into an image.
#include <QPainter>
#include <cstddef>

#include "gantt_fixture.h"

namespace kelvo_test {
namespace {

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kShade(0xF0, 0xF0, 0xF0);

// Whether colour is within two pixels of p vertically (a one-unit line
// lands on either of two pixel rows).
bool lineNear(const QImage& image, QPoint p, const QColor& colour) {
  for (int dy = -2; dy <= 2; ++dy)
    if (image.pixelColor(p + QPoint(0, dy)) == colour) return true;
  return false;
}

TEST_F(GanttTest, BarsLinksShadingAndDataDate) {
  doc_->info().dataDate = day(2026, 3, 4);
  openWindow();
  const QImage image = grabChart("issue25_gantt.png");
  // A (critical) is a filled red bar from 2 to 6 March.
  const int a = rowOf("A"), b = rowOf("B"), c = rowOf("C"), d = rowOf("D");
  EXPECT_EQ(image.pixelColor(at(xOf(3, 5), barMiddle(a))), kRed);
  EXPECT_EQ(image.pixelColor(at(xOf(3, 8) + 30, barMiddle(b))), kRed);
  // D has a day of float: a hollow blue bar over the weekend's shading.
  EXPECT_EQ(image.pixelColor(at(xOf(3, 8), barMiddle(d))), kShade);
  const int32_t dTop = kelvo::currentBarTop(d, chart()->scale(), chart()->block());
  EXPECT_TRUE(lineNear(image, at(xOf(3, 8), dTop), kBlue));
  // The link D -> C leaves D's top edge, turns 10 units up, and runs across
  // from the day after D's finish (9 March) to C's start (10 March).
  ASSERT_GT(d, c);
  const int32_t elbowY = dTop + 10;
  EXPECT_TRUE(lineNear(image, at(xOf(3, 9) + 30, elbowY), kBlue));
  EXPECT_FALSE(lineNear(image, at(xOf(3, 9) + 30, elbowY + 15), kBlue));
  // Saturday 7 March is shaded below the bars of the last row; Friday is not.
  const int32_t emptyRowY = -(5 * chart()->scale().settings().rowHeight) - 26;
  EXPECT_EQ(image.pixelColor(at(xOf(3, 7) + 30, emptyRowY)), kShade);
  EXPECT_EQ(image.pixelColor(at(xOf(3, 6) + 30, emptyRowY)), QColor(Qt::white));
  // The data-date line at 4 March, in its colour.
  EXPECT_EQ(image.pixelColor(at(xOf(3, 4), emptyRowY)), QColor(0, 0x80, 0x80));
  // The milestone C is a mark, not a bar: the day after its start is empty.
  EXPECT_EQ(image.pixelColor(at(xOf(3, 11) + 30, barMiddle(c))), QColor(Qt::white));
}

TEST_F(GanttTest, LegendSamplesInTheLegendColours) {
  openWindow();
  QImage image(1600, 120, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(10000);  // 254 dpi: one pixel is one unit
  image.setDotsPerMeterY(10000);
  QPainter painter(&image);
  const kelvo::UnitMapper m(254, 254, 0, 0);
  LOGFONT font{};
  font.lfHeight = -32;
  chart()->drawLegendInto(painter, m, {0, 0, 1600, -100}, font, 0);
  painter.end();
  if (const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR"); !shots.isEmpty())
    image.save(shots + QStringLiteral("/issue25_legend.png"));
  // Samples are three font heights long: "완료" filled blue from x = 16,
  // the critical sample "주공정" filled red further on.
  EXPECT_EQ(image.pixelColor(40, 50), kBlue);
  int reds = 0;
  for (int x = 0; x < 1600; ++x) reds += image.pixelColor(x, 50) == kRed;
  EXPECT_GE(reds, 90);
}

}  // namespace
}  // namespace kelvo_test

namespace kelvo_test {
namespace {

// The milestone C is stored with its finish the day before its start, as
// the analysis leaves it; the sheet pane shows its finish as its start,
// other activities as stored.
TEST_F(GanttTest, SheetShowsAMilestonesFinishAsItsStart) {
  openWindow();
  const ActRecord c = activity("C");
  ASSERT_LT(c.finish, c.start);
  const TableBinding* t = sheet()->table();
  int startField = -1, finishField = -1;
  for (int i = 0; i < t->tb.fieldCount; ++i) {
    if (t->tb.fields[i].offset == 8) startField = i;
    if (t->tb.fields[i].offset == 10) finishField = i;
  }
  ASSERT_GE(finishField, 0);
  sheet()->rowLabel(rowOf("C"));
  EXPECT_EQ(sheet()->cellText(finishField), sheet()->cellText(startField));
  sheet()->rowLabel(rowOf("A"));
  EXPECT_NE(sheet()->cellText(finishField), sheet()->cellText(startField));
  // The stored record is untouched.
  EXPECT_EQ(activity("C").finish, c.finish);
}

// The analysis keeps the final milestone's finish (and so the project
// finish) on the day before its start; the axis still reaches its start.
TEST_F(GanttTest, TheAxisReachesAFinalMilestone) {
  ASSERT_EQ(doc_->info().finish, day(2026, 3, 9));
  openWindow();
  ASSERT_EQ(activity("C").start, day(2026, 3, 10));
  EXPECT_EQ(chart()->scale().settings().endDate, day(2026, 3, 10));
  EXPECT_EQ(chart()->scale().totalWidth(), xOf(3, 11));
  const QImage image = grabChart();
  EXPECT_NE(image.pixelColor(at(xOf(3, 10), barMiddle(rowOf("C")) + 5)), QColor(Qt::white));
}

// Labels: the code left of each bar, the name right of it, in the body
// text colour.
TEST_F(GanttTest, LabelsBesideTheBars) {
  openWindow();
  kelvo::GanttBlock block = chart()->block();
  for (int f = 0; f < db().act.tb.fieldCount; ++f) {
    if (db().act.tb.fields[f].offset == offsetof(ActRecord, code)) block.leftLabel = int16_t(f);
    if (db().act.tb.fields[f].offset == offsetof(ActRecord, title)) block.rightLabel = int16_t(f);
  }
  chart()->setBlock(block);
  const QImage image = grabChart("issue25_labels.png");
  // The text colour 0x800000 (dark blue); text edges are smoothed, and
  // bars and links are pure blue.
  const auto navy = [](const QColor& c) {
    return c.red() < 100 && c.green() < 100 && c.blue() > c.red() && c.blue() < 200;
  };
  const auto inked = [&](int32_t left, int32_t right, int row) {
    const int32_t top = kelvo::currentBarTop(row, chart()->scale(), chart()->block());
    const QRect box = QRectF(at(left, top), at(right, top - 30)).toRect();
    for (int x = box.left(); x <= box.right(); ++x)
      for (int y = box.top(); y <= box.bottom(); ++y)
        if (navy(image.pixelColor(x, y))) return true;
    return false;
  };
  const int d = rowOf("D");
  // D: code before its start (7 March), name after its late finish (9th).
  EXPECT_TRUE(inked(xOf(3, 7) - 60, xOf(3, 7) - 10, d));
  EXPECT_TRUE(inked(xOf(3, 10) + 10, xOf(3, 11), d));
  EXPECT_FALSE(inked(xOf(3, 7) + 15, xOf(3, 8), d));
}

}  // namespace
}  // namespace kelvo_test

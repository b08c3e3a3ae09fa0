// Drawing objects on the Gantt chart are anchored to a date and a row: when
// the step width or the row height changes they stay there and keep their
// size in logical units.
#include <QTest>

#include "gantt_fixture.h"
#include "kelvo/object_layer.h"

namespace kelvo_test {
namespace {

class GanttObjectTest : public GanttTest {
 protected:
  void drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    QWidget* target = chart()->viewport();
    QTest::mousePress(target, Qt::LeftButton, {}, at(fromX, fromY));
    QTest::mouseMove(target, at(toX, toY));
    QTest::mouseRelease(target, Qt::LeftButton, {}, at(toX, toY));
  }
};

TEST_F(GanttObjectTest, AnObjectStaysOnItsDateAndRowWhenTheScaleChanges) {
  openWindow();
  chart()->activate();
  kelvo::currentStyle().shape = kelvo::ShapeStyle{0, 3, 0x0000FF, 2, 0x0000FF};
  chart()->onCommand(kelvo::cmd::kToolFirst + kelvo::tool::kRectangle);
  const int32_t top = chart()->scale().rowTop(2) - 10;
  drag(xOf(3, 4) + 6, top, xOf(3, 7), top - 60);
  kelvo::ObjectTable objects(&db().objects);
  ASSERT_EQ(objects.count(), 1u);
  const kelvo::ObjectRecord r = objects.at(0);
  EXPECT_EQ(r.layer, kelvo::layerCode(kelvo::ViewKind::GanttChart, false));
  EXPECT_EQ(r.anchor.date(), day(2026, 3, 4));
  EXPECT_EQ(r.anchor.row(), 2);
  const kelvo::LogicalRect before = chart()->objects().rectOf(0);
  grabChart("issue26_gantt_object.png");

  kelvo::TimeScaleSettings s = chart()->scale().settings();
  s.stepWidth = 30;
  s.rowHeight = int16_t(s.rowHeight + 20);
  chart()->setScaleSettings(s);
  const kelvo::LogicalRect after = chart()->objects().rectOf(0);
  EXPECT_EQ(after.left, xOf(3, 4) + r.anchor.xRemainder());
  EXPECT_EQ(after.top, chart()->scale().rowTop(2) + r.anchor.yRemainder());
  EXPECT_EQ(after.width(), before.width());
  EXPECT_EQ(after.height(), before.height());
  grabChart("issue26_gantt_object_narrow.png");

  // Hidden with the view's "도형 표시" off.
  const QImage shown = grabChart();
  s.flags &= ~kelvo::scaleflag::kDrawShapes;
  chart()->setScaleSettings(s);
  EXPECT_NE(grabChart(), shown);
}

}  // namespace
}  // namespace kelvo_test

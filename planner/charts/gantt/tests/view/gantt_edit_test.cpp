// Editing on the chart: dragging a bar's body or its right end changes the
// activity through the document (and undo takes it back); dragging from one
// row to another with the data-input tool relates the two activities.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>

#include "gantt_fixture.h"
#include "kelvo/record_dialogs.h"

namespace kelvo_test {
namespace {

class GanttEditTest : public GanttTest {
 protected:
  void drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    QWidget* target = chart()->viewport();
    const QPointF a = at(fromX, fromY), b = at(toX, toY);
    QMouseEvent press(QEvent::MouseButtonPress, a, target->mapToGlobal(a), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent move(QEvent::MouseMove, b, target->mapToGlobal(b), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, b, target->mapToGlobal(b), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
  }
  bool related(const char* pred, const char* succ) {
    const auto* e = reinterpret_cast<const RelCodeEntry*>(db().relByPred.data);
    for (uint32_t i = 0; i < db().relByPred.count; ++i)
      if (!std::strcmp(e[i].first, pred) && !std::strcmp(e[i].second, succ)) return true;
    return false;
  }
};

TEST_F(GanttEditTest, DraggingTheBodyMovesTheActivityAndUndoTakesItBack) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  const int b = rowOf("B");
  ASSERT_EQ(activity("B").start, day(2026, 3, 7));
  drag(xOf(3, 8), barMiddle(b), xOf(3, 10), barMiddle(b));
  EXPECT_EQ(chart()->selectedRow(), b);
  const ActRecord moved = activity("B");
  EXPECT_EQ(moved.start, day(2026, 3, 9));
  EXPECT_EQ(moved.duration, 3);
  EXPECT_EQ(moved.finish, day(2026, 3, 11));
  EXPECT_TRUE(doc_->isModified());
  EXPECT_TRUE(chart()->onCommand(kelvo::cmd::kEditUndo));
  EXPECT_EQ(activity("B").start, day(2026, 3, 7));
}

TEST_F(GanttEditTest, TheRightHandleSetsTheAnchorDayAndTheDuration) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  const int b = rowOf("B");
  const ActRecord before = activity("B");
  ASSERT_EQ(before.anchor, day(2026, 3, 10));
  drag(xOf(3, 10), barMiddle(b), xOf(3, 11) + 10, barMiddle(b));
  EXPECT_EQ(activity("B").finish, day(2026, 3, 10));
  EXPECT_EQ(activity("B").duration, 4);
  // Dragged left past the start, the finish stops at the start.
  drag(xOf(3, 11), barMiddle(b), xOf(3, 2), barMiddle(b));
  EXPECT_EQ(activity("B").finish, activity("B").start);
  EXPECT_EQ(activity("B").duration, 1);
}

TEST_F(GanttEditTest, DraggingFromRowToRowRelatesTheActivities) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataInput;
  ASSERT_FALSE(related("A", "C"));
  drag(xOf(3, 3), barMiddle(rowOf("A")), xOf(3, 3), barMiddle(rowOf("C")));
  EXPECT_TRUE(related("A", "C"));
  // Releasing on the same row or on the sheet's entry row relates nothing.
  const uint32_t count = db().relByPred.count;
  drag(xOf(3, 3), barMiddle(rowOf("B")), xOf(3, 4), barMiddle(rowOf("B")));
  drag(xOf(3, 3), barMiddle(rowOf("B")), xOf(3, 3), barMiddle(4));
  EXPECT_EQ(db().relByPred.count, count);
}

TEST_F(GanttEditTest, DeleteWithDataSelectDeletesTheSelectedBarsActivity) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  const int b = rowOf("B");
  chart()->dataToolPress(xOf(3, 8), barMiddle(b), Qt::NoModifier);
  ASSERT_EQ(chart()->selectedRow(), b);
  // Asked first: No keeps it.
  kelvo::optionFlags() |= kelvo::optflag::kConfirmDelete;
  answer_ = QMessageBox::No;
  EXPECT_TRUE(chart()->onCommand(kelvo::cmd::kEditClear));
  EXPECT_EQ(rowOf("B"), b);
  answer_ = QMessageBox::Yes;
  EXPECT_TRUE(chart()->onCommand(kelvo::cmd::kEditClear));
  EXPECT_EQ(rowOf("B"), -1);
  EXPECT_EQ(sheet()->rowCount(), 3);
  EXPECT_EQ(chart()->selectedRow(), -1);
  EXPECT_EQ(chart()->scale().settings().rowCount, 4);  // three rows and the entry row
}

TEST_F(GanttEditTest, DoubleClickOpensTheActivityDialog) {
  kelvo::GanttDialogs hooks;
  hooks.editActivity = [](QWidget* parent, kelvo::CPlanDoc& doc, int slot) {
    return kelvo::editActivity(parent, doc, slot);
  };
  kelvo::setGanttDialogs(hooks);
  openWindow();
  QString title, code;
  whenModal([&](QDialog* dialog) {
    title = dialog->windowTitle();
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
      if (edit->text() == QStringLiteral("D")) code = edit->text();
    dialog->reject();
  });
  QWidget* target = chart()->viewport();
  const QPointF p = at(xOf(3, 8), barMiddle(rowOf("D")));
  QMouseEvent click(QEvent::MouseButtonDblClick, p, target->mapToGlobal(p), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &click);
  kelvo::setGanttDialogs({});
  EXPECT_EQ(title, QStringLiteral("작업 정보"));
  EXPECT_EQ(code, QStringLiteral("D"));
}

// The row-number column's and the left table's right edges drag their
// widths; undo puts them back.
TEST_F(GanttEditTest, SeparatorDragsSetTheRowNumberAndLeftTableWidths) {
  openWindow();
  kelvo::TimeScaleSettings s = chart()->scale().settings();
  s.rowNumberWidth = 84;
  s.leftTableWidth = 300;
  chart()->setScaleSettings(s);
  const int32_t y = barMiddle(2);
  ASSERT_TRUE(chart()->hitSeparator(2, y));
  chart()->endSeparatorDrag(50, y, true);
  EXPECT_EQ(chart()->scale().settings().rowNumberWidth, 134);
  ASSERT_TRUE(chart()->hitSeparator(298, y));
  chart()->endSeparatorDrag(-20, y, true);  // past its left end: no table
  EXPECT_EQ(chart()->scale().settings().leftTableWidth, 0);
  EXPECT_FALSE(chart()->hitSeparator(150, y));
  EXPECT_TRUE(chart()->onCommand(kelvo::cmd::kEditUndo));
  EXPECT_EQ(chart()->scale().settings().leftTableWidth, 300);
  EXPECT_EQ(chart()->scale().settings().rowNumberWidth, 134);
}

}  // namespace
}  // namespace kelvo_test

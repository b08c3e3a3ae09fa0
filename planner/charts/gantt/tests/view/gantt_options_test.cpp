// The Gantt window's "선택 사항" sheet, opened from the sheet pane or the
// chart and driven as a user would: OK takes every page and keeps both
// panes' rows aligned; Cancel leaves both panes as they were.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <cstring>

#include "gantt_fixture.h"
#include "kelvo/opt_chart_page.h"
#include "kelvo/opt_gantt_page.h"
#include "kelvo/opt_grid_page.h"
#include "kelvo/opt_term_page.h"
#include "modal_driver.h"
#include "xjorlib/qt_bridge.h"

namespace {

using namespace kelvo;

QPushButton* button(QWidget* root, const char* caption) {
  for (QPushButton* b : root->findChildren<QPushButton*>())
    if (b->text() == QString::fromUtf8(caption)) return b;
  ADD_FAILURE() << "no button " << caption;
  return nullptr;
}

void saveShot(QWidget* w, const char* name) {
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty() && QDir(folder).exists()) w->grab().save(folder + '/' + name);
}

class GanttOptionsTest : public kelvo_test::GanttTest {
 protected:
  // Runs 40098 on target; inside the sheet edit(sheet), then OK or Cancel.
  void runOptions(CommandTarget* target, std::function<void(CPropertySheet*)> edit, bool ok) {
    kelvo_test::whenModal([edit, ok](QDialog* w) {
      auto* sheet = qobject_cast<CPropertySheet*>(w);
      ASSERT_NE(sheet, nullptr);
      edit(sheet);
      ok ? sheet->accept() : sheet->reject();
    });
    ASSERT_TRUE(target->onCommand(cmd::kOptions));
  }
};

TEST_F(GanttOptionsTest, OkFromTheSheetPaneTakesEveryPageAndAlignsThePanes) {
  openWindow();
  doc_->setModified(false);
  const QColor critical(0, 0, 255);
  runOptions(
      sheet(),
      [&](CPropertySheet* s) {
        ASSERT_EQ(s->pageCount(), 4);
        EXPECT_EQ(s->tabs()->tabText(0), QStringLiteral("자료"));
        auto* grid = s->findChild<COptGridPage*>();
        grid->rowHeightSpin()->setValue(80);
        grid->numbersCheck()->setChecked(false);
        saveShot(s, "issue33_opt_gantt_data.png");
        s->tabs()->setCurrentIndex(1);
        s->findChild<COptTermPage*>()->dividerCombo()->setCurrentIndex(7);
        s->tabs()->setCurrentIndex(2);
        auto* gantt = s->findChild<COptGanttPage*>();
        gantt->barHeightSpin()->setValue(40);
        gantt->shapeCombo(1)->setCurrentIndex(2);
        gantt->labelCombo(true)->setCurrentIndex(1);
        gantt->check(12)->setChecked(false);
        kelvo_test::pickColourNext(critical, s);
        button(gantt, "주공정 작업 색깔...")->click();
        saveShot(s, "issue33_opt_gantt_chart.png");
        s->tabs()->setCurrentIndex(3);
        saveShot(s, "issue33_opt_gantt_scurve.png");
      },
      true);
  EXPECT_TRUE(doc_->isModified());
  const GanttBlock& b = chart()->block();
  EXPECT_EQ(b.barHeight, 40);
  EXPECT_EQ(b.milestoneMark, 2);
  EXPECT_EQ(b.rightLabel, 0);
  EXPECT_EQ(b.criticalColor, xjor::colorToRef(critical));
  const TimeScaleSettings& ts = chart()->scale().settings();
  EXPECT_EQ(ts.divider, 7);
  EXPECT_FALSE(ts.flags & ganttflag::kFloatBars);
  // The panes stay in step: the chart's rows are the sheet's, the sheet's
  // header spans the three scale rows; no numbers means no number column.
  EXPECT_EQ(ts.rowHeight, 80);
  EXPECT_EQ(sheet()->format().rowHeight, 80);
  EXPECT_EQ(sheet()->format().headerHeight, 3 * ts.scaleRowHeight);
  EXPECT_EQ(sheet()->format().rowNumberWidth, 0);
  // A's bar (critical) now shows in the colour picked.
  QApplication::processEvents();
  const QImage image = grabChart("issue33_opt_gantt_after.png");
  const int row = rowOf("A");
  EXPECT_EQ(image.pixelColor(at((xOf(3, 2) + xOf(3, 7)) / 2, barMiddle(row))), critical);
}

TEST_F(GanttOptionsTest, CancelFromTheChartLeavesBothPanes) {
  openWindow();
  doc_->setModified(false);
  const TimeScaleSettings settings = chart()->scale().settings();
  const GanttBlock block = chart()->block();
  const GridFormat format = sheet()->format();
  QApplication::processEvents();
  const QImage before = grabChart();
  runOptions(
      chart(),
      [](CPropertySheet* s) {
        s->findChild<COptGridPage*>()->rowHeightSpin()->setValue(120);
        s->tabs()->setCurrentIndex(2);
        auto* gantt = s->findChild<COptGanttPage*>();
        gantt->barHeightSpin()->setValue(10);
        kelvo_test::pickColourNext(Qt::red, s);
        button(gantt, "주공정 작업 색깔...")->click();
      },
      false);
  EXPECT_FALSE(doc_->isModified());
  EXPECT_EQ(std::memcmp(&settings, &chart()->scale().settings(), sizeof settings), 0);
  EXPECT_EQ(std::memcmp(&block, &chart()->block(), sizeof block), 0);
  EXPECT_EQ(std::memcmp(&format, &sheet()->format(), sizeof format), 0);
  QApplication::processEvents();
  EXPECT_EQ(grabChart(), before);
}

}  // namespace

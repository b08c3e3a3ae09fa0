// Every processing dialog as the user first sees it on the sample project,
// rendered offscreen: its caption and a drawn face. With KELVO_SHOT_DIR set
// the pictures are kept there (issue23_*.png) to be looked at.
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include "actual_work_dialog.h"
#include "kelvo/commands.h"
#include "kelvo/project_map_rewrite.h"
#include "kelvo/strings.h"
#include "kelvo/summary_registry.h"
#include "next_stage_dialog.h"
#include "numeric_items_dialog.h"
#include "processing_fixture.h"
#include "progress_guide_dialog.h"
#include "summary_build_dialog.h"
#include "target_schedule_dialog.h"
#include "xjorlib/qt_bridge.h"

using namespace kelvo;
using kelvo_test::dump;
using kelvo_test::dumpInfo;
using kelvo_test::kvcli;
using kelvo_test::ProcessingTest;

namespace {

// The dialog drawn as shown; kept under KELVO_SHOT_DIR when that is set.
QImage shot(QWidget& dialog, const char* name) {
  dialog.show();
  QApplication::processEvents();
  const QImage image = dialog.grab().toImage();
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty()) image.save(folder + "/issue23_" + name + ".png");
  dialog.hide();
  return image;
}

// True when the picture has more than the background: text and frames.
bool drawn(const QImage& image) {
  if (image.width() < 100 || image.height() < 60) return false;
  const QRgb background = image.pixel(1, 1);
  int other = 0;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) other += image.pixel(x, y) != background;
  return other > 200;
}

}  // namespace

TEST_F(ProcessingTest, DialogsRenderWithTheirCaptions) {
  const QString file = sample("shots");
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  auto app = start(file);
  CPlanDoc* doc = app->document();

  CTargetScheduleDlg target(true);
  EXPECT_EQ(target.windowTitle(), "계획(목표) 일정 설정");
  EXPECT_TRUE(drawn(shot(target, "target_schedule")));

  CNextStageDlg next(doc->info());
  EXPECT_EQ(next.windowTitle(), "다음 단계로 진행");
  next.findChild<QLineEdit*>("periodFinish")->setText("26-03-31");
  EXPECT_TRUE(drawn(shot(next, "next_stage")));

  CNumericItemsDlg numeric(false);
  EXPECT_EQ(numeric.windowTitle(), "수치 항목 자동 산출");
  EXPECT_TRUE(drawn(shot(numeric, "numeric_items")));

  CActualWorkDlg actual;
  EXPECT_EQ(actual.windowTitle(), "실적 공사 자료 산출");
  EXPECT_TRUE(drawn(shot(actual, "actual_work")));

  // One summary registered already, listed beside the composition.
  const QByteArray floors = xjor::toCp949("층별 집계");
  ASSERT_EQ(
      writeSummaryRegistration(&doc->db(), {2, kSummaryActivities, {10, 11}, floors.toStdString()}),
      kRegistrationWritten);
  CSummaryBuildDlg summary(doc);
  EXPECT_EQ(summary.findChild<QListWidget*>("registered")->count(), 1);
  EXPECT_EQ(summary.windowTitle(), "집계자료 만들기");
  summary.findChild<QLineEdit*>("title")->setText("공종별 집계");
  for (int row : {0, 1, 3}) {
    summary.findChild<QListWidget*>("levels")->setCurrentRow(row);
    summary.addLevel(false);
  }
  EXPECT_EQ(summary.registration().composition, (std::vector<int16_t>{0, 1, 10}));
  EXPECT_TRUE(drawn(shot(summary, "summary_build")));

  QMessageBox rewrite(QMessageBox::Question, loadString(kStrAppTitle),
                      QString::fromUtf8(kMapRewriteQuestion), QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(drawn(shot(rewrite, "map_rewrite")));

  CProgressGuideDlg guide(doc->info().stage,
                          [&](int id) { return app->router()->state(id).enabled; });
  EXPECT_TRUE(guide.findChild<QPushButton*>("btn10206")->isEnabled());
  EXPECT_FALSE(guide.findChild<QPushButton*>("btn10205")->isEnabled());
  EXPECT_TRUE(drawn(shot(guide, "progress_guide")));
}

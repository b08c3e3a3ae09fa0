// The shell's own dialogs: user environment, project open and the project
// progress guide.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <cstring>

#include "environment_dialog.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "progress_guide_dialog.h"
#include "project_open_dialog.h"
#include "shell_fixture.h"
#include "kelvo/text_fields.h"

using namespace kelvo;
using kelvo_test::ShellTest;
using kelvo_test::whenModal;

class ShellDialogsTest : public ShellTest {
 protected:
  void saveProject(const QString& file, const char* code, int16_t stage) {
    int32_t ref = -1;
    ASSERT_EQ(xOpenRef(&ref, (kelvo_test::binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    {
      CPlanDoc doc(dir_.path() + '/', ref);
      PrjInfo info = newProjectInfo();
      setFieldText(info.code, sizeof info.code, code);
      setFieldText(info.title, sizeof info.title, "공사");
      info.stage = stage;
      fillMissingDates(&info, xGetToday());
      ASSERT_TRUE(doc.newProject(info));
      ASSERT_TRUE(doc.saveProject(file));
    }
    xCloseFile(&ref);
  }
};

TEST_F(ShellDialogsTest, EnvironmentFoldersFlagsAndFirstWindow) {
  ShellSettings s;
  s.flags = 0x600 | 0x8000 | flags::kShapesInFront;
  CEnvironmentDlg dialog(s);
  dialog.findChild<QLineEdit*>("projectFolder")->setText("  /data/kelvo  ");
  dialog.findChild<QLineEdit*>("formFolder")->setText("/data/forms/");
  dialog.findChild<QLineEdit*>("tempFolder")->setText("   ");
  dialog.findChild<QComboBox*>("iniView")->setCurrentIndex(2);
  dialog.findChild<QCheckBox*>("confirmDelete")->setChecked(false);
  dialog.findChild<QRadioButton*>("rightEsc")->setChecked(true);
  dialog.accept();
  const ShellSettings& out = dialog.settings();
  EXPECT_EQ(out.folders[kFolderProject], "/data/kelvo/");
  EXPECT_EQ(out.folders[kFolderForm], "/data/forms/");
  EXPECT_EQ(out.folders[kFolderTemp], "");
  EXPECT_EQ(out.iniView, 4);
  EXPECT_EQ(out.flags,
            0x8000 | flags::kLongCrosshair | flags::kRightButtonIsEsc | flags::kShapesInFront);

  CProfile profile(path("env.ini"));
  storeEnvironment(profile, out);
  EXPECT_EQ(profile.getString("Folders", "Project"), "/data/kelvo/");
  EXPECT_EQ(profile.getInt("Settings", "IniView", 0), 4);
}

TEST_F(ShellDialogsTest, OpenListShowsReadableProjectsAndMarksTheOpenOne) {
  const QString folder = path("projects");
  QDir().mkpath(folder);
  saveProject(folder + "/b.kvp", "BBB", 2);
  saveProject(folder + "/a.kvp", "AAA", 0);
  QFile junk(folder + "/junk.kvp");
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("no project");
  junk.close();

  CProjectOpenDlg dialog(folder, folder + "/b.kvp");
  QTreeWidget* list = dialog.list();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(1), "AAA");
  EXPECT_EQ(list->topLevelItem(0)->text(3), "계획 단계");
  EXPECT_EQ(list->topLevelItem(1)->text(3), "진행 2단계");
  EXPECT_TRUE(list->topLevelItem(0)->icon(0).isNull());
  EXPECT_FALSE(list->topLevelItem(1)->icon(0).isNull());
  EXPECT_EQ(dialog.selectedPath(), folder + "/a.kvp");
  EXPECT_TRUE(dialog.findChild<QPushButton*>("ok")->isEnabled());

  CProjectOpenDlg empty(path("nothing"), QString());
  EXPECT_EQ(empty.list()->topLevelItemCount(), 0);
  EXPECT_FALSE(empty.findChild<QPushButton*>("ok")->isEnabled());
  whenModal([](QDialog* d) { d->findChild<QPushButton*>("chooseFile")->click(); });
  EXPECT_EQ(empty.exec(), CProjectOpenDlg::kChooseFile);
}

TEST_F(ShellDialogsTest, ProgressGuideRunsTheChosenStep) {
  CProgressGuideDlg guide(stageText(0));
  EXPECT_EQ(guide.findChild<QComboBox*>("steps10200")->count(), 12);
  EXPECT_EQ(guide.findChild<QComboBox*>("steps10204")->itemData(8).toInt(), 40042);
  guide.findChild<QComboBox*>("steps10200")->setCurrentIndex(2);
  guide.findChild<QPushButton*>("btn10200")->click();
  EXPECT_EQ(guide.result(), QDialog::Accepted);
  EXPECT_EQ(guide.command(), 40103);
  CProgressGuideDlg next{QString()};
  next.findChild<QPushButton*>("btn10206")->click();
  EXPECT_EQ(next.command(), 40082);
}

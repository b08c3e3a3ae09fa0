// The shell's own dialogs: user environment, project open and the project
// progress guide.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <cstring>

#include "environment_dialog.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "kelvo/text_fields.h"
#include "progress_guide_dialog.h"
#include "project_open_dialog.h"
#include "shell_fixture.h"

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
  CProgressGuideDlg guide(0);
  EXPECT_EQ(guide.findChild<QComboBox*>("steps10200")->count(), 12);
  EXPECT_EQ(guide.findChild<QComboBox*>("steps10204")->itemData(8).toInt(), 40042);
  guide.findChild<QComboBox*>("steps10200")->setCurrentIndex(2);
  guide.findChild<QPushButton*>("btn10200")->click();
  EXPECT_EQ(guide.result(), QDialog::Accepted);
  EXPECT_EQ(guide.command(), 40103);
  CProgressGuideDlg next(0);
  next.findChild<QPushButton*>("btn10206")->click();
  EXPECT_EQ(next.command(), 40082);
}

// The groups of the project's stage are enabled, and in them the steps whose
// command can run; a group without such a step is disabled.
TEST_F(ShellDialogsTest, ProgressGuideEnablesTheStepsOfTheStage) {
  struct Case {
    int stage;
    const char* enabled;  // buttons 10200..10206, '1' enabled
  } cases[] = {{-1, "1000000"}, {0, "1100001"}, {3, "0011110"}};
  for (const Case& c : cases) {
    CProgressGuideDlg guide(c.stage);
    for (int b = 0; b < 7; ++b)
      EXPECT_EQ(guide.findChild<QPushButton*>(QStringLiteral("btn%1").arg(10200 + b))->isEnabled(),
                c.enabled[b] == '1')
          << "stage " << c.stage << " button " << 10200 + b;
  }
  // Without a project only registering and opening one can run.
  CProgressGuideDlg closed(-1, [](int command) { return command == 57600 || command == 57601; });
  auto* steps = closed.findChild<QComboBox*>("steps10200");
  auto* model = qobject_cast<QStandardItemModel*>(steps->model());
  ASSERT_NE(model, nullptr);
  EXPECT_TRUE(model->item(1)->isEnabled());
  EXPECT_FALSE(model->item(2)->isEnabled());
  // A group whose every step is disabled cannot be pressed, nor can the
  // next stage when its command cannot run.
  CProgressGuideDlg planning(0, [](int command) {
    return command != 40082 && command != 40080 && command != 40083 && command != 40084;
  });
  EXPECT_FALSE(planning.findChild<QPushButton*>("btn10201")->isEnabled());
  EXPECT_FALSE(planning.findChild<QPushButton*>("btn10206")->isEnabled());
  EXPECT_EQ(planning.findChild<QLabel*>("stage")->text(), QStringLiteral("계획 단계"));
}

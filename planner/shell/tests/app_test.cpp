// The program driven as a user would: start-up, the new-project flow, the
// password check, bad files, the document dialogs and the main window.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <cstring>

#include "app_fixture.h"
#include "child_frame.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "main_frame.h"
#include "password_dialogs.h"
#include "kelvo/text_fields.h"
#include "xJorLib.h"

using namespace kelvo;
using kelvo_test::AppTest;
using kelvo_test::day;
using kelvo_test::type;
using kelvo_test::whenModal;

TEST_F(AppTest, StartWithoutReferenceFileShowsMessageAndEnds) {
  CKelvoApp app(options(false));
  EXPECT_FALSE(app.startup({}));
  EXPECT_EQ(messages_, std::vector<int>{20002});
  EXPECT_EQ(app.mainFrame()->objectName(), "KelvoWnd");
}

TEST_F(AppTest, StartWithEmptyRecentListAsksForNewProjectWithDefaultDates) {
  CProfile(path("kelvo.ini")).writeInt("Settings", "IniView", 7);
  auto app = startWithNewProject("B-2026", "신축 공사");
  ASSERT_TRUE(app->document()->isOpen());
  const PrjInfo& info = app->document()->info();
  const int year = QDate::currentDate().year();
  EXPECT_EQ(info.dataDate, day(year, 1, 1));
  EXPECT_EQ(info.start, day(year, 1, 1));
  EXPECT_EQ(info.finish, day(year, 12, 31));
  EXPECT_EQ(info.amountDigits, 12);
  EXPECT_TRUE(hasNoPassword(info));
  EXPECT_EQ(app->mainFrame()->projectPane()->text(), "B-2026 신축 공사");
  // "IniView" 7 is taken as the project map.
  EXPECT_EQ(app->mainFrame()->currentWindow(), 2);
  EXPECT_EQ(app->mainFrame()->optionBar()->objectName(), "OptionBar1102");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(AppTest, PasswordProtectedProjectNeedsTheRightPassword) {
  const QString file = makeProject("lock.kvp", "s3cret");
  CKelvoApp app(options());
  bool stayedAfterWrong = false;
  whenModal([&](QDialog* d) {
    type(d, "password", "wrong");
    d->accept();
    stayedAfterWrong = d->isVisible() && d->result() != QDialog::Accepted;
    type(d, "password", "s3cret");
    d->accept();
  });
  ASSERT_TRUE(app.startup({file}));
  EXPECT_TRUE(stayedAfterWrong);
  EXPECT_EQ(messages_, std::vector<int>{20015});
  ASSERT_TRUE(app.document()->isOpen());
  EXPECT_EQ(app.document()->statusText(), "LOCK 잠긴 프로젝트");
  EXPECT_EQ(app.recentFiles().value(0), file);

  // Cancel abandons the opening and keeps the open project.
  messages_.clear();
  whenModal([](QDialog* d) { d->reject(); });
  EXPECT_FALSE(app.openFile(file));
  EXPECT_TRUE(app.document()->isOpen());
}

TEST_F(AppTest, ForeignOrDamagedFileIsRefusedAndOpenProjectKept) {
  auto app = startWithNewProject("KEEP", "그대로");
  QFile foreign(path("notes.kvp"));
  ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
  foreign.write("this is not a project file at all, just some text");
  foreign.close();
  EXPECT_FALSE(app->openFile(path("notes.kvp")));
  EXPECT_FALSE(app->openFile(path("missing.kvp")));
  EXPECT_EQ(messages_, (std::vector<int>{21006, 21006}));
  EXPECT_EQ(app->document()->statusText(), "KEEP 그대로");
  EXPECT_TRUE(app->recentFiles().isEmpty());
}

TEST_F(AppTest, RecentProjectReopensAtStartAndModifiedProjectOffersSave) {
  const QString file = makeProject("plain.kvp", "");
  {
    CKelvoApp first(options());
    ASSERT_TRUE(first.startup({file}));
    EXPECT_TRUE(messages_.empty());  // no password asked
    first.document()->setModified();
    answer_ = QMessageBox::Cancel;
    EXPECT_FALSE(first.mainFrame()->close());  // cancelled: stays open
    EXPECT_TRUE(first.document()->isOpen());
    answer_ = QMessageBox::No;
    EXPECT_TRUE(first.mainFrame()->close());
    first.shutdown();
  }
  CProfile profile(path("kelvo.ini"));
  EXPECT_EQ(profile.getString("Recent File List", "File1"), file);
  EXPECT_FALSE(profile.getString("Settings", "WindowPos").isEmpty());
  EXPECT_EQ(profile.getInt("Settings", "Flags", -1), 0x600);

  CKelvoApp second(options());
  ASSERT_TRUE(second.startup({}));
  EXPECT_EQ(second.document()->path(), file);
}

TEST_F(AppTest, ProjectInformationDialogEditsBlockAndKeepsPassword) {
  auto app = startWithNewProject("OLD", "이름");
  // Set a password, then change the code: the password must still work.
  whenModal([](QDialog* d) {
    type(d, "current", "");
    type(d, "new", "pw12");
    type(d, "confirm", "pw12");
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(40104));
  whenModal([](QDialog* d) {
    type(d, "code", "NEW");
    type(d, "dataDate", "bad date");
    d->accept();  // refused: stays open
    type(d, "dataDate", "");
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(40103));
  EXPECT_EQ(messages_, std::vector<int>{21015});
  const PrjInfo& info = app->document()->info();
  EXPECT_STREQ(info.code, "NEW");
  EXPECT_EQ(app->mainFrame()->projectPane()->text(), "NEW 이름");
  EXPECT_TRUE(xCheckPassword("pw12", info.password, info.code));
  EXPECT_TRUE(app->document()->isModified());
}

TEST_F(AppTest, PasswordDialogRefusesWrongCurrentOrMismatchedConfirmation) {
  auto app = startWithNewProject("PW", "비번");
  int tries = 0;
  whenModal([&](QDialog* d) {
    type(d, "current", "nope");
    type(d, "new", "abc");
    type(d, "confirm", "abc");
    d->accept();
    tries += d->isVisible();
    EXPECT_TRUE(d->findChild<QLineEdit*>("current")->hasFocus() || !d->isActiveWindow());
    type(d, "current", "");
    type(d, "confirm", "abd");
    d->accept();
    tries += d->isVisible();
    d->reject();
  });
  EXPECT_FALSE(app->router()->dispatch(40104));
  EXPECT_EQ(tries, 2);
  EXPECT_EQ(messages_, (std::vector<int>{20015, 20015}));
  EXPECT_TRUE(hasNoPassword(app->document()->info()));
}

TEST_F(AppTest, ClassificationDialogAsksOnlyWhenLengthsChange) {
  auto app = startWithNewProject("CLS", "분류");
  auto setLevels = [](QDialog* d, std::initializer_list<int> lengths) {
    int i = 0;
    for (int n : lengths) d->findChild<QSpinBox*>(QStringLiteral("length%1").arg(i++))->setValue(n);
    for (; i < 8; ++i) d->findChild<QSpinBox*>(QStringLiteral("length%1").arg(i))->setValue(0);
  };
  // First definition: a change from nothing, confirmed.
  whenModal([&](QDialog* d) {
    setLevels(d, {6, 5});
    d->accept();  // 11 characters: refused
    setLevels(d, {2, 3, 2});
    type(d, "name0", "대공종");
    d->findChild<QComboBox*>("classification")->setCurrentIndex(1);
    setLevels(d, {2, 2});
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(40105));
  EXPECT_EQ(messages_, (std::vector<int>{22002, 22003}));
  EXPECT_EQ(app->document()->classDef(0).levels, 3);
  EXPECT_EQ(app->document()->classDef(1).levels, 2);
  EXPECT_EQ(fieldText(app->document()->classDef(0).name[0], 21), "대공종");

  // Only a name: no question.
  messages_.clear();
  whenModal([&](QDialog* d) {
    type(d, "name1", "중공종");
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(40105));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(fieldText(app->document()->classDef(0).name[1], 21), "중공종");

  // A changed length answered No changes nothing.
  answer_ = QMessageBox::No;
  whenModal([&](QDialog* d) {
    setLevels(d, {2, 2});
    d->accept();
  });
  EXPECT_FALSE(app->router()->dispatch(40105));
  EXPECT_EQ(messages_, std::vector<int>{22003});
  EXPECT_EQ(app->document()->classDef(0).levels, 3);
}

TEST_F(AppTest, MainWindowWithProjectRendersMenusBarsTabsAndStatus) {
  auto app = startWithNewProject("P-2026", "○○ 사옥 신축 공사");
  CMainFrame* frame = app->mainFrame();
  frame->setWindowState(Qt::WindowNoState);
  frame->resize(1100, 640);
  QApplication::processEvents();

  QStringList menus;
  for (QAction* a : frame->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"파일(&F)", "편집(&E)", "보기(&V)", "정의(&D)", "처리(&P)",
                                "도구(&T)", "도움말(&H)"}));
  EXPECT_TRUE(app->router()->action(40103)->isEnabled());
  EXPECT_TRUE(app->router()->action(57603)->isEnabled());
  // Commands whose dialogs come later stay disabled.
  EXPECT_FALSE(app->router()->action(40096)->isEnabled());
  EXPECT_FALSE(app->router()->action(40081)->isEnabled());
  // Windows without a view yet: tab and menu entry disabled.
  QTabBar* tabs = frame->childFrame()->tabBar();
  ASSERT_EQ(tabs->count(), 11);
  EXPECT_EQ(tabs->tabText(3), "Gantt 도표");
  EXPECT_FALSE(tabs->isTabEnabled(3));
  EXPECT_FALSE(app->router()->action(40035)->isEnabled());
  // The command toolbar's buttons in their order (separators skipped).
  QList<int> ids;
  for (QAction* a : frame->commandBar()->actions())
    if (!a->isSeparator()) ids << a->data().toInt();
  EXPECT_EQ(ids.mid(0, 6), (QList<int>{57600, 57601, 57603, 57609, 57607, 40024}));
  EXPECT_EQ(ids.size(), 27);
  // Fly-by help: a button under the mouse names its command in pane 0.
  app->router()->action(57600)->showStatusText(frame);
  EXPECT_EQ(frame->statusBar()->currentMessage(), "새 파일");

  const QImage shot = frame->grab().toImage();
  EXPECT_TRUE(shot.save(kelvo_test::binDir() + "/kelvo_main.png"));
  EXPECT_GE(shot.width(), 1000);
}

TEST_F(AppTest, QtsOwnDialogsSpeakKoreanAfterStart) {
  auto app = startWithNewProject("K", "한국어");
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "취소");
  // The print preview's title, from Qt's own translations.
  EXPECT_NE(QCoreApplication::translate("QPrintPreviewDialog", "Print Preview"), "Print Preview");
}

TEST_F(AppTest, ClosingProjectReturnsToTheEmptyWindow) {
  auto app = startWithNewProject("C", "닫기");
  answer_ = QMessageBox::No;
  ASSERT_TRUE(app->router()->dispatch(57602));
  EXPECT_FALSE(app->document()->isOpen());
  EXPECT_EQ(app->mainFrame()->childFrame(), nullptr);
  EXPECT_EQ(app->mainFrame()->optionBar(), nullptr);
  EXPECT_EQ(app->mainFrame()->projectPane()->text(), "");
  QStringList menus;
  for (QAction* a : app->mainFrame()->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"파일(&F)", "보기(&V)", "도구(&T)", "도움말(&H)"}));
  EXPECT_FALSE(app->router()->action(40103)->isEnabled());
}

TEST_F(AppTest, PlacementIsStoredAtCloseAndAppliedAtStart) {
  CProfile profile(path("kelvo.ini"));
  {
    auto app = startWithNewProject("W", "창");
    // No stored placement: maximised.
    EXPECT_TRUE(app->mainFrame()->windowState() & Qt::WindowMaximized);
    answer_ = QMessageBox::No;
    ASSERT_TRUE(app->mainFrame()->close());
  }
  const auto maximised = parseWindowPos(profile.getString("Settings", "WindowPos"));
  ASSERT_TRUE(maximised);
  EXPECT_EQ(maximised->flags, 2u);
  // The normal rectangle is a window to restore to (three quarters of the
  // screen), not the size the bare window had before it was first maximised.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(maximised->normal.size(), screen.size() * 3 / 4);

  profile.writeString("Settings", "WindowPos", "0,1,-1,-1,-1,-1,40,30,840,630");
  {
    auto app = startWithNewProject("W", "창");
    EXPECT_FALSE(app->mainFrame()->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(app->mainFrame()->geometry().size(), QSize(800, 600));
    answer_ = QMessageBox::No;
    ASSERT_TRUE(app->mainFrame()->close());
  }
  const auto normal = parseWindowPos(profile.getString("Settings", "WindowPos"));
  ASSERT_TRUE(normal);
  EXPECT_EQ(normal->flags, 0u);
  EXPECT_EQ(normal->showCmd, 1u);

  // Nine values are ignored: maximised again.
  profile.writeString("Settings", "WindowPos", "0,1,-1,-1,-1,-1,40,30,840");
  auto app = startWithNewProject("W", "창");
  EXPECT_TRUE(app->mainFrame()->windowState() & Qt::WindowMaximized);
}

TEST_F(AppTest, ExitStoresFlagsAndRemovesLeftoverScratchFiles) {
  const QString temp = path("scratch/");
  QDir().mkpath(temp);
  CProfile(path("kelvo.ini")).writeString("Folders", "Temp", temp);
  QFile leftover(temp + "~Qz1A2B.TMP");
  ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
  leftover.close();
  QFile member(temp + "~Qz1A2B.act");
  ASSERT_TRUE(member.open(QIODevice::WriteOnly));
  member.close();
  auto app = startWithNewProject("T", "임시");
  ASSERT_TRUE(app->router()->dispatch(40019));  // toggles bit 3
  answer_ = QMessageBox::No;
  ASSERT_TRUE(app->mainFrame()->close());
  app->shutdown();
  EXPECT_FALSE(QFile::exists(temp + "~Qz1A2B.TMP"));
  EXPECT_FALSE(QFile::exists(temp + "~Qz1A2B.act"));
  EXPECT_TRUE(QDir(temp).entryList(QDir::Files).isEmpty());
  EXPECT_EQ(CProfile(path("kelvo.ini")).getInt("Settings", "Flags", 0), 0x608);
}

TEST_F(AppTest, RelativeFileOnCommandLineIsTakenFromTheStartFolder) {
  const QString file = makeProject("rel.kvp", "");
  const QString before = QDir::currentPath();
  QDir::setCurrent(dir_.path());
  CKelvoApp app(options());
  const bool started = app.startup({"rel.kvp"});
  QDir::setCurrent(before);
  ASSERT_TRUE(started);
  EXPECT_EQ(app.document()->path(), file);
  EXPECT_STREQ(app.defaultFont().lfFaceName, "\xb1\xbc\xb8\xb2\xc3\xbc");  // 굴림체 in CP949
  EXPECT_EQ(app.defaultFont().lfHeight, -32);
}

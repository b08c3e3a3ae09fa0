// Kelvo on a real X server: hand-over from a second start, the active view
// and the focus across opens, window switches and dialogs, the live option
// bar, the status pane, the right button, and the splash above the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "child_frame.h"
#include "kelvo/base_view.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_windows.h"
#include "kelvo/table_view.h"
#include "main_frame.h"
#include "program_wiring.h"
#include "sample_project.h"
#include "shell_fixture.h"
#include "test_support.h"
#include "x_server.h"

using namespace kelvo;
using kelvo_test::whenModal;
using xjor_test::waitFor;

namespace {

QApplication* theApp = nullptr;

// Xvfb, a private home and runtime folder, and one QApplication on xcb.
class DesktopEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    server_ = std::make_unique<kelvo_test::XServer>();
    if (server_->display().isEmpty()) return;
    const QString home = home_.path();
    qputenv("DISPLAY", server_->display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (home + "/cache").toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home + "/docs").toUtf8());
    // Where the single-instance socket lives: this run's own.
    QDir(home).mkdir("run");
    QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (home + "/run").toUtf8());
    static int argc = 1;
    static char name[] = "desktop_tests";
    static char* argv[] = {name, nullptr};
    theApp = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete theApp;
    theApp = nullptr;
    server_.reset();
  }

 private:
  std::unique_ptr<kelvo_test::XServer> server_;
  QTemporaryDir home_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

void settle(int milliseconds = 200) {
  waitFor([] { return false; }, milliseconds);
}

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!theApp) GTEST_SKIP() << "no X server (Xvfb) could be started";
    ASSERT_TRUE(dir_.isValid());
  }
  void TearDown() override {
    app_.reset();
    kelvo_test::forgetProgramWiring();
  }

  // Kelvo on a copy of the sample project, the main window active.
  CKelvoApp* start(bool singleInstance, bool splash = false) {
    const QString sample =
        kelvo_test::copySampleProject(QStringLiteral(KELVO_BIN_DIR), dir_.path());
    if (sample.isEmpty()) return nullptr;
    AppOptions o;
    o.programFolder = QStringLiteral(KELVO_BIN_DIR);
    o.profilePath = dir_.path() + "/kelvo.ini";
    o.singleInstance = singleInstance;
    o.splash = splash;
    app_ = std::make_unique<CKelvoApp>(o);
    registerSheetWindows(*app_);
    if (!app_->startup({sample})) return nullptr;
    app_->mainFrame()->activateWindow();
    waitFor([this] { return app_->mainFrame()->isActiveWindow(); });
    return app_.get();
  }

  CBaseView* activeView() const { return dynamic_cast<CBaseView*>(app_->router()->activeView()); }
  QWidget* content() const { return app_->mainFrame()->childFrame()->content(); }
  bool printEnabled() const { return app_->router()->action(57607)->isEnabled(); }
  // The shown view is the active one, has the focus and can print.
  void expectShownViewActive(const char* when) {
    SCOPED_TRACE(when);
    EXPECT_TRUE(waitFor([this] { return QApplication::focusWidget() == content(); }))
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                        : "no focus");
    EXPECT_EQ(activeView(), content());
    EXPECT_TRUE(waitFor([this] { return printEnabled(); }));
  }

  QTemporaryDir dir_;
  std::unique_ptr<CKelvoApp> app_;
};

TEST_F(DesktopTest, HandOverThatAsksToSaveKeepsTheEditsOnCancel) {
  CKelvoApp* app = start(true);
  if (!app) GTEST_SKIP() << "no sample project in the build";
  CPlanDoc* doc = app->document();
  const QString file = doc->path();
  doc->setModified();

  // `cd folder && Kelvo small_building.kvp`: the running Kelvo is asked to
  // open the file it already shows, which has unsaved edits.
  QProcess second;
  second.setWorkingDirectory(dir_.path());
  second.start(QStringLiteral(KELVO_PROGRAM), {QStringLiteral("small_building.kvp")});
  // The question stays open until the second start has ended and its
  // connection is gone; then Cancel.
  QElapsedTimer ended;
  QString question;
  bool offeredCancel = false, answered = false;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || answered) return;
    if (second.state() != QProcess::NotRunning) return;
    if (!ended.isValid()) ended.start();
    if (ended.elapsed() < 500) return;
    answered = true;
    question = box->text();
    QAbstractButton* cancel = box->button(QMessageBox::Cancel);
    offeredCancel = cancel != nullptr;
    if (cancel)
      cancel->click();
    else
      box->reject();
  });
  answer.start(20);
  ASSERT_TRUE(waitFor([&] { return answered; }, 30000)) << "no question was asked";
  ASSERT_TRUE(waitFor([] { return QApplication::activeModalWidget() == nullptr; }));
  settle(500);
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  // The save question (not "파일 형식이 올바르지 않습니다." for a name taken
  // from the wrong folder), and Cancel keeps the project with its edits.
  EXPECT_TRUE(offeredCancel) << question.toStdString();
  EXPECT_TRUE(doc->isOpen());
  EXPECT_TRUE(doc->isModified());
  EXPECT_EQ(doc->path(), file);
  EXPECT_TRUE(app->mainFrame()->isVisible());
}

TEST_F(DesktopTest, ShownViewIsActiveAfterOpenSwitchAndDialogAndCommandsFollowState) {
  CKelvoApp* app = start(false);
  if (!app) GTEST_SKIP() << "no sample project in the build";
  CMainFrame* frame = app->mainFrame();
  expectShownViewActive("after the project opened");

  // A window switch by the tab strip.
  QTabBar* tabs = frame->childFrame()->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  ASSERT_EQ(frame->currentWindow(), 1);
  expectShownViewActive("after the switch to window 1");

  // A dialog that closes gives the focus back to the view.
  bool guide = false;
  whenModal([&](QDialog* d) {
    guide = true;
    d->reject();
  });
  app->router()->dispatch(40112);
  EXPECT_TRUE(guide);
  // A window manager hands the activation back to the main window; Xvfb
  // has none, so the test does.
  frame->activateWindow();
  expectShownViewActive("after a dialog closed");

  // The data sheet's table choice switches the window's content at once.
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(8).center());
  ASSERT_EQ(frame->currentWindow(), 8);
  auto* table = frame->optionBar()->findChild<QComboBox*>("ctl10504");
  ASSERT_NE(table, nullptr);
  table->setCurrentIndex(1);  // relations
  auto* sheet = qobject_cast<CTableView*>(content());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->viewKind(), ViewKind::Relations);
  expectShownViewActive("after the relation sheet was chosen");

  // The position pane follows the pointer.
  QTest::mouseMove(sheet->viewport(), QPoint(120, 60));
  EXPECT_TRUE(waitFor([frame] { return !frame->pointPane()->text().isEmpty(); }));

  // The right button opens the menu of frequent commands, or is Esc when
  // the option word says so.
  const auto frequentMenu = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "menu133" && w->isVisible()) return qobject_cast<QMenu*>(w);
    return static_cast<QMenu*>(nullptr);
  };
  QTest::mouseClick(sheet->viewport(), Qt::RightButton, {}, QPoint(120, 60));
  QMenu* menu = nullptr;
  ASSERT_TRUE(waitFor([&] { return (menu = frequentMenu()) != nullptr; }));
  EXPECT_TRUE(menu->actions().contains(app->router()->action(40021)));
  menu->close();
  settle();
  app->settings().flags |= 0x100;
  QTest::mouseClick(sheet->viewport(), Qt::RightButton, {}, QPoint(120, 60));
  settle();
  EXPECT_EQ(frequentMenu(), nullptr);

  // The window and the print preview as the user sees them.
  EXPECT_TRUE(frame->grab().save(QStringLiteral(KELVO_BIN_DIR "/kelvo_main_window.png")));
  bool previewed = false;
  whenModal([&](QDialog* d) {
    d->resize(1000, 760);
    settle(500);
    previewed = d->grab().save(QStringLiteral(KELVO_BIN_DIR "/kelvo_print_preview.png"));
    d->reject();
  });
  app->router()->dispatch(57609);
  EXPECT_TRUE(previewed);

  // After 닫기 print and find are off without a menu being opened.
  if (app->document()->isModified())
    whenModal([](QDialog* d) { qobject_cast<QMessageBox*>(d)->button(QMessageBox::No)->click(); });
  ASSERT_TRUE(app->router()->dispatch(57602));
  EXPECT_TRUE(waitFor([this] { return !printEnabled(); }));
  EXPECT_FALSE(app->router()->action(57636)->isEnabled());
}

TEST_F(DesktopTest, SplashShowsAboveTheMainWindow) {
  CKelvoApp* app = start(false, true);
  if (!app) GTEST_SKIP() << "no sample project in the build";
  ASSERT_TRUE(app->splashShowing());
  QWidget* splash = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowType() == Qt::SplashScreen && w->isVisible()) splash = w;
  ASSERT_NE(splash, nullptr);
  settle(300);
  EXPECT_EQ(QApplication::topLevelAt(splash->geometry().center()), splash);
}

}  // namespace

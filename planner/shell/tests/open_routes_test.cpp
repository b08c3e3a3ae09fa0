// The other ways a project comes in and out: the project-open command,
// files dropped on the main window, an external file through a converter,
// the schedule analysis on the sample, a failed save, and the status pane
// that the views write to.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "accelerators.h"
#include "app_fixture.h"
#include "child_frame.h"
#include "kelvo/profile.h"
#include "kelvo/status_panes.h"
#include "kvconverters.h"
#include "main_frame.h"
#include "password_dialogs.h"
#include "xJorDbm2.h"

using namespace kelvo;
using kelvo_test::AppTest;
using kelvo_test::day;
using kelvo_test::type;
using kelvo_test::whenModal;

namespace {

// Drops local files on a widget as a file manager would.
bool dropFiles(QWidget* target, const QStringList& files) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& f : files) urls << QUrl::fromLocalFile(f);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

// Scratch files of the program left in folder.
QStringList scratchFiles(const QString& folder) {
  return QDir(folder).entryList({"~Qz*"}, QDir::Files);
}

ActRecord activity(ProjectDb& db, const char* code) {
  std::vector<char> bytes(db.act.tb.recordSize);
  db.act.tb.current = -1;
  while (xMoveNext(&db.act.tb)) {
    xGetRec(&db.act.tb, bytes.data());
    ActRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    if (std::strcmp(r.code, code) == 0) return r;
  }
  ADD_FAILURE() << code << " not found";
  return {};
}

class OpenRoutesTest : public AppTest {
 protected:
  QString sample() const { return kelvo_test::binDir() + "/samples/small_building.kvp"; }
  // The sample, copied where the test may change it.
  QString sampleCopy() {
    const QString copy = path("sample.kvp");
    QFile::remove(copy);
    EXPECT_TRUE(QFile::copy(sample(), copy));
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return copy;
  }
};

}  // namespace

TEST_F(OpenRoutesTest, OpenCommandListsTheProjectFolderAndOpensTheChoice) {
  const QString file = makeProject("listed.kvp", "");
  CProfile(path("kelvo.ini")).writeString("Folders", "Project", dir_.path() + '/');
  auto app = startWithNewProject("NOW", "지금");
  int rows = -1;
  whenModal([&](QDialog* d) {
    auto* list = d->findChild<QTreeWidget*>();
    rows = list->topLevelItemCount();
    d->accept();
  });
  EXPECT_TRUE(app->router()->dispatch(57601));
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(app->document()->path(), file);
  EXPECT_EQ(app->mainFrame()->projectPane()->text(), "LOCK 잠긴 프로젝트");
}

TEST_F(OpenRoutesTest, DroppedProjectOpensAndDroppedForeignFileChangesNothing) {
  auto app = startWithNewProject("HERE", "여기");
  CMainFrame* frame = app->mainFrame();
  QFile foreign(path("photo.kvp"));
  ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
  foreign.write(QByteArray(512, '\x42'));
  foreign.close();
  EXPECT_TRUE(dropFiles(frame, {path("photo.kvp")}));
  EXPECT_EQ(messages_, std::vector<int>{21006});
  EXPECT_EQ(app->document()->statusText(), "HERE 여기");

  const QString file = makeProject("dropped.kvp", "");
  answer_ = QMessageBox::No;  // the new project is not saved
  EXPECT_TRUE(dropFiles(frame, {file, path("photo.kvp")}));
  EXPECT_EQ(app->document()->path(), file);
  EXPECT_EQ(app->recentFiles().value(0), file);

  // Something that is not a local file is not taken.
  QMimeData text;
  text.setText("A1000");
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame, &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(OpenRoutesTest, ExternalFileBecomesANewModifiedProjectOrLeavesNothing) {
  {
    QSettings settings(path("kelvo.ini"), QSettings::IniFormat);
    kvconv::writeRegistrations(settings, {{{"tst", "시험 파일", "xKvTest.so"}}, ""});
  }
  auto app = startWithNewProject("OLD", "이전");
  const QString temp = app->settings().folders[kFolderTemp];
  answer_ = QMessageBox::No;
  ASSERT_TRUE(app->closeProject());
  const QStringList before = scratchFiles(temp);

  // The plug-in refuses at its second step: the database it was filling
  // goes with its working files.
  EXPECT_FALSE(app->importProjectFile("fail-imp", "tst"));
  EXPECT_EQ(messages_, std::vector<int>{20024});
  EXPECT_FALSE(app->document()->isOpen());
  EXPECT_EQ(scratchFiles(temp), before);

  messages_.clear();
  EXPECT_FALSE(app->importProjectFile(path("plan.xyz").toStdString(), "xyz"));
  EXPECT_EQ(messages_, std::vector<int>{20023});

  messages_.clear();
  ASSERT_TRUE(app->importProjectFile(path("plan.tst").toStdString(), "tst"));
  EXPECT_TRUE(messages_.empty());
  CPlanDoc* doc = app->document();
  ASSERT_TRUE(doc->isOpen());
  EXPECT_TRUE(doc->isModified());
  EXPECT_TRUE(doc->path().isEmpty());
  EXPECT_EQ(fieldText(doc->info().code, 11), "IMPORTED");
  EXPECT_TRUE(hasNoPassword(doc->info()));
  EXPECT_EQ(app->mainFrame()->currentWindow(), 2);
}

TEST_F(OpenRoutesTest, OpenExternalWithoutConvertersSaysSo) {
  auto app = startWithNewProject("KEEP", "유지");
  EXPECT_FALSE(app->router()->dispatch(40114));
  EXPECT_EQ(messages_, std::vector<int>{20027});
}

TEST_F(OpenRoutesTest, ScheduleAnalysisOnTheSampleWritesDates) {
  // kvcli leaves the password block unscrambled (all zero): that is no
  // password, not one nobody can type.
  EXPECT_TRUE(hasNoPassword(newProjectInfo()));
  CKelvoApp app(options());
  ASSERT_TRUE(app.startup({sampleCopy()}));
  ASSERT_TRUE(app.document()->isOpen());
  EXPECT_EQ(app.mainFrame()->projectPane()->text(),
            "KV-2601 근린생활시설 신축공사 (지하 1층, 지상 4층)");
  EXPECT_EQ(app.document()->classDef(0).levels, 3);
  EXPECT_EQ(app.document()->classDef(1).levels, 2);

  std::vector<int> hints;
  QObject::connect(app.document(), &CPlanDoc::viewsUpdate,
                   [&](quint64, int h, qintptr) { hints.push_back(h); });
  QString caption;
  whenModal([&](QDialog* d) {
    type(d, "dataDate", dateText(day(2026, 3, 9)));
    d->accept();  // runs the analysis
    caption = d->findChild<QLabel*>("caption")->text();
    d->accept();  // closes
  });
  ASSERT_TRUE(app.router()->dispatch(40080));
  EXPECT_EQ(caption, "완료되었습니다.");
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(hints, (std::vector<int>{8, 6}));
  EXPECT_TRUE(app.document()->isModified());

  // A week later throughout: the first activity starts on the new data date,
  // the third floor's frame after the elections and Sundays, the handover
  // on the day after the last work.
  ProjectDb& db = app.document()->db();
  EXPECT_EQ(activity(db, "A1010").earlyStart, day(2026, 3, 9));
  EXPECT_EQ(activity(db, "A1140").earlyStart, day(2026, 6, 12));
  EXPECT_EQ(activity(db, "A1140").earlyFinish, day(2026, 6, 22));
  EXPECT_EQ(app.document()->info().start, day(2026, 3, 9));
  EXPECT_EQ(app.document()->info().finish, day(2026, 9, 14));
  char report[256] = {};
  EXPECT_EQ(xCheckIndexes(&db, report, sizeof report), 1) << report;
}

TEST_F(OpenRoutesTest, FailedSaveIsReportedAndLosesNothing) {
  const QString file = sampleCopy();
  CKelvoApp app(options());
  ASSERT_TRUE(app.startup({file}));
  app.document()->setModified();
  QFile before(file);
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  const QByteArray bytes = before.readAll();
  before.close();

  EXPECT_FALSE(app.saveAs(path("no/such/folder/x.kvp")));
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(app.document()->isModified());
  EXPECT_EQ(app.document()->path(), file);
  // The folder made read-only: the file stays as it was.
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
  const bool saved = app.saveAs(file);
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (!saved) {
    EXPECT_TRUE(app.document()->isModified());
    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
  }
  // Saved where it can be, it opens again as it was.
  ASSERT_TRUE(app.saveAs(path("again.kvp")));
  EXPECT_FALSE(app.document()->isModified());
  EXPECT_EQ(app.document()->db().act.tb.liveCount, 63u);
}

TEST_F(OpenRoutesTest, ViewsWriteThePointUnderTheMouseIntoTheThirdPane) {
  EXPECT_TRUE(pointStatus().isEmpty());
  setPointStatus("nothing shown");  // no main window: ignored
  auto app = startWithNewProject("PANE", "창");
  setPointStatus("26-03-05  A1140");
  EXPECT_EQ(app->mainFrame()->pointPane()->text(), "26-03-05  A1140");
  EXPECT_EQ(pointStatus(), "26-03-05  A1140");
  EXPECT_EQ(app->mainFrame()->pointPane()->width(), 180);
  setPointStatus(QString());
  EXPECT_TRUE(app->mainFrame()->pointPane()->text().isEmpty());
  // Closing the project clears what its view left there.
  setPointStatus("A1000");
  ASSERT_TRUE(app->closeProject());
  EXPECT_TRUE(pointStatus().isEmpty());
}

TEST_F(OpenRoutesTest, EnvironmentAndProgressGuideCommandsRunTheirDialogs) {
  auto app = startWithNewProject("ENV", "환경");
  whenModal([](QDialog* d) {
    d->findChild<QComboBox*>("iniView")->setCurrentIndex(1);  // Gantt chart first
    d->accept();
  });
  EXPECT_TRUE(app->router()->dispatch(40102));
  EXPECT_EQ(app->settings().iniView, 3);
  EXPECT_EQ(CProfile(path("kelvo.ini")).getInt("Settings", "IniView", 0), 3);

  // The guide's step "프로젝트 정보" opens the project information dialog.
  bool infoShown = false;
  whenModal([&](QDialog* d) {
    d->findChild<QComboBox*>("steps10200")->setCurrentIndex(2);
    whenModal([&](QDialog* info) {
      infoShown = info->findChild<QLineEdit*>("code") != nullptr;
      info->reject();
    });
    d->findChild<QPushButton*>("btn10200")->click();
  });
  app->router()->dispatch(40112);
  EXPECT_TRUE(infoShown);
}

TEST_F(OpenRoutesTest, ProjectOpensOnAWindowThatHasAView) {
  // "IniView" names the project map, which has no view here: the data sheet
  // is shown instead of an empty frame.
  registerDocumentWindow(8, [](QWidget* parent) { return new QLabel("sheet", parent); });
  CKelvoApp app(options());
  ASSERT_TRUE(app.startup({sampleCopy()}));
  EXPECT_EQ(app.mainFrame()->currentWindow(), 8);
  auto* sheet = qobject_cast<QLabel*>(app.mainFrame()->childFrame()->content());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->text(), "sheet");
  registerDocumentWindow(8, nullptr);
  EXPECT_FALSE(hasDocumentWindow(8));
}

namespace {

// A view that owns copy, clear and undo and counts what it was asked to do.
class CopyingView : public CommandTarget {
 public:
  int copies = 0, clears = 0, undos = 0;
  bool onCommand(int id) override {
    ++(id == 57634 ? copies : id == 57643 ? undos : clears);
    return true;
  }
  bool updateCommand(int id, CommandState& state) override {
    if (id != 57634 && id != 57632 && id != 57643) return false;
    state.enabled = true;
    return true;
  }
};

}  // namespace

TEST_F(OpenRoutesTest, AcceleratorsRunCommandsButLeaveTextFieldsTheirKeys) {
  EXPECT_EQ(acceleratorTable().size(), 25u);
  auto app = startWithNewProject("KEYS", "단축키");
  CMainFrame* frame = app->mainFrame();
  frame->activateWindow();
  EXPECT_TRUE(app->router()->action(57600)->text().endsWith("\tCtrl+N"));

  bool guide = false;
  whenModal([&](QDialog* d) {
    guide = d->findChild<QComboBox*>("steps10200") != nullptr;
    d->reject();
  });
  QTest::keyClick(frame, Qt::Key_F2);
  EXPECT_TRUE(guide);

  CopyingView view;
  app->router()->setActiveView(&view);
  QTest::keyClick(frame, Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(frame, Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(view.copies, 2);

  QTest::keyClick(frame, Qt::Key_Delete);
  EXPECT_EQ(view.clears, 1);

  // Typed into a text field, Delete and Ctrl+C are the field's.
  auto* edit = new QLineEdit("A1140", frame->optionBar());
  frame->optionBar()->addWidget(edit);
  edit->show();
  edit->setFocus();
  edit->setCursorPosition(0);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "1140");
  EXPECT_EQ(view.clears, 1);
  EXPECT_EQ(view.copies, 2);
  // Ctrl+Z takes back the field's own typing first, then the program's edit.
  QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "A1140");
  EXPECT_EQ(view.undos, 0);
  QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(view.undos, 1);
  // A key whose command nobody owns reaches the field.
  QTest::keyClick(edit, Qt::Key_Escape);
  app->router()->setActiveView(nullptr);
}

TEST_F(OpenRoutesTest, NextAndPreviousPaneMoveTheFocusAroundTheWindowsViews) {
  QPlainTextEdit *left = nullptr, *right = nullptr;
  registerDocumentWindow(8, [&](QWidget* parent) {
    auto* split = new QSplitter(parent);
    left = new QPlainTextEdit(split);
    right = new QPlainTextEdit(split);
    return split;
  });
  CKelvoApp app(options());
  ASSERT_TRUE(app.startup({sampleCopy()}));
  CMainFrame* frame = app.mainFrame();
  left->setFocus();
  ASSERT_TRUE(app.router()->dispatch(57680));
  EXPECT_EQ(frame->focusWidget(), right);
  QTest::keyClick(frame, Qt::Key_F6);
  EXPECT_EQ(frame->focusWidget(), left) << "after the last pane comes the first";
  QTest::keyClick(frame, Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_EQ(frame->focusWidget(), right);
  registerDocumentWindow(8, nullptr);
}

TEST_F(OpenRoutesTest, ProjectGoesOutThroughAConverterAfterItsOptionsAreWritten) {
  {
    QSettings settings(path("kelvo.ini"), QSettings::IniFormat);
    kvconv::writeRegistrations(settings, {{{"tst", "시험 파일", "xKvTest.so"}}, ""});
  }
  CKelvoApp app(options());
  ASSERT_TRUE(app.startup({sampleCopy()}));
  EXPECT_TRUE(app.router()->state(40115).enabled);
  std::vector<int> hints;
  QObject::connect(app.document(), &CPlanDoc::viewsUpdate,
                   [&](quint64, int h, qintptr) { hints.push_back(h); });

  EXPECT_FALSE(app.exportProjectFile("fail-exp", "tst"));
  EXPECT_EQ(messages_, std::vector<int>{20024});
  EXPECT_EQ(hints, std::vector<int>{2}) << "views store their settings first";
  messages_.clear();
  EXPECT_TRUE(app.exportProjectFile(path("out.tst").toStdString(), "tst"));
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(app.document()->isModified());
  EXPECT_EQ(app.document()->db().act.tb.liveCount, 63u);

  app.closeProject();
  EXPECT_FALSE(app.router()->state(40115).enabled);
}

namespace {

// The summary chooser: picks summary `number` (0: the user cancels).
class SummaryChooser : public CommandTarget {
 public:
  SummaryChooser(CPlanDoc* doc, int16_t number) : doc_(doc), number_(number) {}
  int asked = 0;
  bool onCommand(int) override {
    ++asked;
    if (number_) doc_->setOpenSummary(number_);
    return number_ != 0;
  }
  bool updateCommand(int id, CommandState& state) override {
    if (id != 40049) return false;
    state.enabled = true;
    return true;
  }

 private:
  CPlanDoc* doc_;
  int16_t number_;
};

}  // namespace

TEST_F(OpenRoutesTest, SummaryWindowsNeedAnOpenSummaryAndOfferTheChooserFirst) {
  registerDocumentWindow(8, [](QWidget* parent) { return new QLabel("sheet", parent); });
  registerDocumentWindow(9, [](QWidget* parent) { return new QLabel("summary", parent); });
  auto app = startWithNewProject("SUM", "집계");
  ASSERT_EQ(app->mainFrame()->currentWindow(), 8);
  // Nobody offers a chooser: the window stays as it was.
  EXPECT_FALSE(app->requestWindow(9));
  EXPECT_EQ(app->mainFrame()->currentWindow(), 8);

  SummaryChooser cancelled(app->document(), 0);
  app->router()->setActiveView(&cancelled);
  EXPECT_FALSE(app->router()->dispatch(40041));
  EXPECT_EQ(cancelled.asked, 1);
  EXPECT_EQ(app->mainFrame()->currentWindow(), 8);

  SummaryChooser chosen(app->document(), 3);
  app->router()->setActiveView(&chosen);
  EXPECT_TRUE(app->router()->dispatch(40041));
  EXPECT_EQ(app->mainFrame()->currentWindow(), 9);
  // Once a summary is open the window needs no chooser; the tab of the
  // window already shown changes nothing.
  EXPECT_TRUE(app->requestWindow(8));
  EXPECT_TRUE(app->requestWindow(9));
  EXPECT_TRUE(app->requestWindow(9));
  EXPECT_EQ(chosen.asked, 1);
  app->router()->setActiveView(nullptr);
  registerDocumentWindow(8, nullptr);
  registerDocumentWindow(9, nullptr);
}

TEST_F(OpenRoutesTest, ViewsHearOfTheirWindowClosingWhileTheProjectIsOpen) {
  registerDocumentWindow(1, [](QWidget* parent) { return new QLabel("resources", parent); });
  registerDocumentWindow(8, [](QWidget* parent) { return new QLabel("sheet", parent); });
  CKelvoApp* running = nullptr;
  QStringList closed;
  setContentCloser([&](QWidget* content) {
    auto* label = qobject_cast<QLabel*>(content);
    if (label) closed << label->text() + (running->document()->isOpen() ? "" : " (closed)");
  });
  auto app = startWithNewProject("CLOSE", "닫기");
  running = app.get();
  ASSERT_EQ(app->mainFrame()->currentWindow(), 8);
  ASSERT_TRUE(app->requestWindow(1));
  EXPECT_EQ(closed, QStringList{"sheet"});
  answer_ = QMessageBox::No;
  ASSERT_TRUE(app->closeProject());
  EXPECT_EQ(closed, (QStringList{"sheet", "resources"}));
  setContentCloser(nullptr);
  registerDocumentWindow(1, nullptr);
  registerDocumentWindow(8, nullptr);
}

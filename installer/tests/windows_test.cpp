// The installer's windows, offscreen: what they show, and a whole windowed
// installation driven through its dialogs. Set KELVO_SHOT_DIR to keep the
// rendered windows as PNG files.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>

#include "deploy_fixture.h"
#include "deploy_messages.h"
#include "deploy_windows.h"
#include "interactive_run.h"

namespace {

using deploy_test::DeployTest;
using deploy_test::readBytes;
using deploy_test::writeBytes;

QApplication* app() {
  static QApplication* instance = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "deploy_tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return instance;
}

QImage shot(QWidget& w, const char* name) {
  w.adjustSize();
  QImage image = w.grab().toImage();
  const QByteArray dir = qgetenv("KELVO_SHOT_DIR");
  if (!dir.isEmpty()) image.save(QString::fromLocal8Bit(dir) + "/issue34_" + name + ".png");
  return image;
}

QStringList labelTexts(const QWidget& w) {
  QStringList out;
  for (const QLabel* l : w.findChildren<QLabel*>()) out << l->text();
  return out;
}

// Answers each modal window as it comes up: `answer` gets the window and
// returns false once it has closed the last one it expects. Each look is a
// fresh single-shot timer, so windows opened from inside an answer (a
// message box over a dialog) are answered too.
void answerModals(std::function<bool(QWidget*)> answer) {
  auto done = std::make_shared<bool>(false);
  auto look = std::make_shared<std::function<void()>>();
  *look = [answer, done, weak = std::weak_ptr<std::function<void()>>(look)] {
    if (*done) return;
    if (auto again = weak.lock()) QTimer::singleShot(20, *again);
    if (QWidget* w = QApplication::activeModalWidget())
      if (!answer(w)) *done = true;
  };
  QTimer::singleShot(20, *look);
  // The first look keeps the rest alive through its copies.
  static std::vector<std::shared_ptr<std::function<void()>>> keep;
  keep.push_back(look);
}

TEST(Windows, ShowWhatTheInstallationNeeds) {
  app();
  deploy::BackdropWindow backdrop(QString::fromUtf8("Kelvo 2000 설치"));
  backdrop.resize(800, 500);
  const QImage b = shot(backdrop, "backdrop");
  const QColor corner = b.pixelColor(790, 2);
  EXPECT_NEAR(corner.red(), 0x3A, 3) << "desktop colour";
  EXPECT_NEAR(corner.blue(), 0xA5, 3) << "desktop colour";
  int white = 0;
  for (int x = 20; x < 400; ++x)
    for (int y = 20; y < 80; ++y) white += b.pixelColor(x, y) == QColor(Qt::white);
  EXPECT_GT(white, 200) << "the title is written large";

  deploy::FolderDialog folder(nullptr, "Kelvo 2000", "Kelvo 2000", "/home/kim/Kelvo 2000/",
                              nullptr);
  shot(folder, "folder");
  EXPECT_EQ(folder.findChild<QLineEdit*>()->text(), "/home/kim/Kelvo 2000/");

  deploy::ProgressDialog progress(nullptr, "Kelvo 2000", "/home/kim/Kelvo 2000/", nullptr);
  progress.show("libxQdDb100.so", 42);
  shot(progress, "progress");
  EXPECT_EQ(progress.findChild<QProgressBar*>()->value(), 42);
  EXPECT_TRUE(labelTexts(progress).contains("42%"));
  EXPECT_TRUE(labelTexts(progress).contains("libxQdDb100.so"));
  if (!qgetenv("KELVO_SHOT_DIR").isEmpty()) {
    // The screen as the person sees it: the progress dialog over the backdrop.
    QImage screen = b;
    const QImage p = progress.grab().toImage();
    QPainter(&screen).drawImage((screen.width() - p.width()) / 2,
                                (screen.height() - p.height()) / 2, p);
    screen.save(QString::fromLocal8Bit(qgetenv("KELVO_SHOT_DIR")) + "/issue34_screen.png");
  }

  deploy::DiskDialog disk(nullptr, "Kelvo 2000", "Kelvo 2000 - 2");
  shot(disk, "disk");
  EXPECT_TRUE(labelTexts(disk).contains("Kelvo 2000 - 2"));

  QStringList names;
  for (int i = 1; i <= 8; ++i) names << QString::fromUtf8("시스템 %1").arg(i);
  deploy::SelectionDialog select(nullptr, "Kelvo", names);
  shot(select, "selection");
  EXPECT_EQ(select.findChildren<QRadioButton*>().size(), 8);
  EXPECT_EQ(select.choice(), 1);
}

TEST(Windows, FolderDialogStaysOnARefusedFolder) {
  app();
  int checks = 0;
  deploy::FolderDialog folder(nullptr, "K", "K", "/t/", [&](const QString&) {
    return ++checks == 1 ? deploy::kMsgNoSpace : 0;
  });
  QString shown;
  answerModals([&](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      shown = box->text();
      box->accept();
    } else if (w == &folder) {
      folder.accept();
      return checks < 2;
    }
    return true;
  });
  EXPECT_EQ(folder.exec(), QDialog::Accepted);
  EXPECT_EQ(checks, 2);
  EXPECT_EQ(shown, deploy::messageText(deploy::kMsgNoSpace));
}

// The windowed run from the folder dialog to message 21, one step per idle
// turn, and an overwrite question answered No.
TEST_F(DeployTest, WindowedInstallationRunsToItsEnd) {
  app();
  makeArchive("A.NUB", {{"one", "1"}, {"two", "2"}, {"three", "3"}});
  writeBytes(places_.target + "two", "mine");
  writeBytes(places_.installerDir + "Setup.inf",
             "[Application]\nAppName=K\nTitle=Kelvo\nFileCount=3\n[Files]\nA.NUB . Y?\n");
  QStringList texts;
  bool progressSeen = false;
  answerModals([&](QWidget* w) {
    if (auto* folder = dynamic_cast<deploy::FolderDialog*>(w)) {
      folder->findChild<QLineEdit*>()->setText(places_.target);
      folder->accept();
    } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
      texts << box->text();
      for (QWidget* top : QApplication::topLevelWidgets())
        progressSeen |= dynamic_cast<deploy::ProgressDialog*>(top) != nullptr;
      if (box->text() == deploy::messageText(deploy::kMsgOverwrite).replace("%s", "two")) {
        shot(*box, "overwrite");
        box->button(QMessageBox::No)->click();
        return true;
      }
      box->accept();
      return false;
    }
    return true;
  });
  EXPECT_EQ(deploy::runInteractive(places_), 0);
  EXPECT_TRUE(progressSeen);
  EXPECT_EQ(texts.last(), deploy::messageText(deploy::kMsgComplete));
  EXPECT_EQ(readBytes(places_.target + "two"), "mine");
  EXPECT_EQ(readBytes(places_.target + "three"), "3");
}

// Cancel during copying: message 23 answered Yes stops after the current
// step, and message 22 offers to remove what was installed so far.
TEST_F(DeployTest, CancelledWindowedInstallationCanBeRemoved) {
  app();
  makeArchive("A.NUB", {{"one", "1"}, {"two", "2"}, {"three", "3"}});
  writeBytes(places_.target + "two", "mine");
  writeBytes(places_.installerDir + "Setup.inf",
             "[Application]\nAppName=K\nFileCount=3\n[Files]\nA.NUB . Y?\n");
  QStringList texts;
  answerModals([&](QWidget* w) {
    if (auto* folder = dynamic_cast<deploy::FolderDialog*>(w)) {
      folder->findChild<QLineEdit*>()->setText(places_.target);
      folder->accept();
      return true;
    }
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return true;
    texts << box->text();
    if (box->text() == deploy::messageText(deploy::kMsgAskCancel)) {
      box->button(QMessageBox::Yes)->click();
    } else if (box->text().contains("(two)")) {
      // Cancel pressed while the question about "two" is open.
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* progress = dynamic_cast<deploy::ProgressDialog*>(top)) progress->reject();
      box->button(QMessageBox::No)->click();
    } else {
      shot(*box, "incomplete");
      for (QAbstractButton* b : box->buttons())
        if (b->text().startsWith(QString::fromUtf8("설치된 파일 지우기"))) b->click();
      return false;
    }
    return true;
  });
  EXPECT_EQ(deploy::runInteractive(places_), 1);
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[2], deploy::messageText(deploy::kMsgIncomplete));
  // "one" was installed and is gone again; "two" is the person's own; "three"
  // never came.
  EXPECT_EQ(deploy_test::filesUnder(places_.target), QStringList{"two"});
}

}  // namespace

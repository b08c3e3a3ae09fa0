// Folder, colour and font pickers, answered as a user would.
#include <gtest/gtest.h>
#include <string.h>

#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QFileDialog>
#include <QFontDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include "font_picker.h"
#include "test_support.h"
#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

namespace {

using xjor_test::whenModal;

// Runs xGetFolderFormDlg, choosing `choice` in the dialog (empty = Cancel).
struct FolderRun {
  int32_t result = -1;
  QString startedIn;
  QString title;
  char buffer[XJOR_MAX_PATH];
};

FolderRun pickFolder(const QString& initial, const QString& choice) {
  FolderRun run;
  strcpy(run.buffer, "untouched");
  whenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    run.startedIn = dialog->directory().absolutePath();
    run.title = dialog->windowTitle();
    if (choice.isEmpty()) {
      dialog->reject();
      return;
    }
    dialog->setDirectory(choice);
    dialog->selectFile(choice);
    // Type the choice as well: the dialog lists folders in the background and
    // may reset its selection when a listing arrives, but typed text stands.
    // Waiting for the listing first keeps it from overwriting what is typed.
    auto* model = dialog->findChild<QFileSystemModel*>();
    QElapsedTimer listing;
    listing.start();
    while (model && listing.elapsed() < 5000 && model->canFetchMore(model->index(choice)))
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (auto* typed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      typed->setText(choice);
    static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept checks the choice
  });
  run.result = xGetFolderFormDlg(nullptr, run.buffer, initial.toUtf8().constData(),
                                 "원하는 폴더를 선택하세요.");
  return run;
}

TEST(FolderPicker, ResultEndsWithOneSeparator) {
  QTemporaryDir dir;
  const QString folder = dir.path() + QStringLiteral("/공정");
  ASSERT_TRUE(QDir().mkpath(folder));

  FolderRun run = pickFolder(dir.path() + u'/', folder);
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(run.startedIn, dir.path());  // the trailing separator was dropped
  EXPECT_EQ(run.title, QStringLiteral("원하는 폴더를 선택하세요."));
  EXPECT_EQ(QString::fromUtf8(run.buffer), folder + u'/');

  run = pickFolder(dir.path(), QStringLiteral("/"));
  EXPECT_EQ(run.result, 1);
  EXPECT_STREQ(run.buffer, "/");  // already ends in a separator
}

TEST(FolderPicker, CancelLeavesTheBufferAlone) {
  QTemporaryDir dir;
  const FolderRun run = pickFolder(dir.path(), QString());
  EXPECT_EQ(run.result, 0);
  EXPECT_STREQ(run.buffer, "untouched");
}

TEST(FolderPicker, PathTooLongForTheBufferIsRefused) {
  QTemporaryDir dir;
  QString deep = dir.path();
  while (deep.toUtf8().size() < XJOR_MAX_PATH)
    deep += QStringLiteral("/abcdefghijklmnopqrstuvwxyz");
  ASSERT_TRUE(QDir().mkpath(deep));
  const FolderRun run = pickFolder(dir.path(), deep);
  EXPECT_EQ(run.result, 0);
  EXPECT_STREQ(run.buffer, "untouched");
}

TEST(ColourPicker, ChosenColourIsStoredAsBlueGreenRed) {
  COLORREF colour = 0x0000FF;
  QColor shown;
  whenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QColorDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    shown = dialog->currentColor();
    dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
    dialog->accept();
  });
  EXPECT_EQ(xColorDlg(nullptr, &colour), 1);
  EXPECT_EQ(shown, QColor(255, 0, 0));
  EXPECT_EQ(colour, 0x563412u);

  whenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QColorDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->setCurrentColor(Qt::green);
    dialog->reject();
  });
  EXPECT_EQ(xColorDlg(nullptr, &colour), 0);
  EXPECT_EQ(colour, 0x563412u);
}

LOGFONT gulimche() {
  LOGFONT lf{};
  lf.lfHeight = -32;
  lf.lfCharSet = 1;
  const QByteArray face = xjor::toCp949(QStringLiteral("굴림체"));
  memcpy(lf.lfFaceName, face.constData(), face.size());
  return lf;
}

TEST(FontPicker, OkStoresFontColourFaceAndPoints) {
  LOGFONT lf = gulimche();
  COLORREF colour = 0x000000;
  char face[LF_FACESIZE];
  int32_t points = 0;
  QString caption;
  whenModal([&](QWidget* modal) {
    auto* picker = dynamic_cast<xjor::CFontPicker*>(modal);
    ASSERT_NE(picker, nullptr);
    caption = picker->windowTitle();
    QFont chosen(QStringLiteral("NanumGothic"));
    chosen.setPointSizeF(12);
    chosen.setBold(true);
    chosen.setUnderline(true);
    picker->fontChooser()->setCurrentFont(chosen);
    // The colour button opens a colour dialog of its own.
    whenModal(
        [](QWidget* inner) {
          auto* dialog = qobject_cast<QColorDialog*>(inner);
          ASSERT_NE(dialog, nullptr);
          dialog->setCurrentColor(QColor(0, 128, 255));
          dialog->accept();
        },
        picker);
    picker->colorButton()->click();
    picker->accept();
  });
  EXPECT_EQ(xFontDlg(nullptr, &lf, &colour, face, &points), 1);
  EXPECT_EQ(caption, QStringLiteral("글꼴"));
  EXPECT_EQ(lf.lfHeight, -42);  // 12 points = 4.23 mm
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfCharSet, 1);  // kept
  EXPECT_STREQ(lf.lfFaceName, "NanumGothic");
  EXPECT_STREQ(face, "NanumGothic");
  EXPECT_EQ(points, 12);
  EXPECT_EQ(colour, 0xFF8000u);
}

TEST(FontPicker, KeepingTheStandInKeepsTheStoredFace) {
  LOGFONT lf = gulimche();
  char face[LF_FACESIZE];
  int32_t points = 0;
  QString shownFamily;
  whenModal([&](QWidget* modal) {
    auto* picker = dynamic_cast<xjor::CFontPicker*>(modal);
    ASSERT_NE(picker, nullptr);
    shownFamily = picker->selectedFont().family();
    QFont chosen = picker->selectedFont();
    chosen.setPointSize(10);
    picker->fontChooser()->setCurrentFont(chosen);
    picker->accept();
  });
  EXPECT_EQ(xFontDlg(nullptr, &lf, nullptr, face, &points), 1);
  EXPECT_EQ(xjor::fromCp949(face, static_cast<int>(strlen(face))), QStringLiteral("굴림체"));
  EXPECT_EQ(shownFamily, QStringLiteral("NanumGothicCoding"));
  EXPECT_EQ(points, 10);
  EXPECT_EQ(lf.lfHeight, -35);  // 3.53 mm
}

TEST(FontPicker, CancelChangesNothing) {
  LOGFONT lf = gulimche();
  lf.lfHeight = -35;  // a height that whole screen pixels cannot carry exactly
  const LOGFONT before = lf;
  COLORREF colour = 0x123456;
  char face[LF_FACESIZE] = "keep";
  int32_t points = 77;
  whenModal([](QWidget* modal) {
    auto* picker = dynamic_cast<xjor::CFontPicker*>(modal);
    ASSERT_NE(picker, nullptr);
    picker->fontChooser()->setCurrentFont(QFont(QStringLiteral("NanumGothic"), 20));
    picker->reject();
  });
  EXPECT_EQ(xFontDlg(nullptr, &lf, &colour, face, &points), 0);
  EXPECT_EQ(memcmp(&lf, &before, sizeof lf), 0);
  EXPECT_EQ(colour, 0x123456u);
  EXPECT_STREQ(face, "keep");
  EXPECT_EQ(points, 77);
}

}  // namespace

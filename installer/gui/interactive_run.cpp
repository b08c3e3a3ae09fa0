#include "interactive_run.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "deploy_messages.h"
#include "deploy_start.h"
#include "deploy_windows.h"
#include "install_session.h"

namespace deploy {

namespace {

class WindowQuestions : public InstallQuestions {
 public:
  WindowQuestions(QWidget* parent, const QString& title, ProgressDialog*& progress)
      : parent_(parent), title_(title), progress_(progress) {}

  bool overwrite(const QString& fileName) override {
    QString text = messageText(kMsgOverwrite);
    text.replace(QLatin1String("%s"), fileName);
    return QMessageBox::question(parent_, title_, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  }
  bool waitForDisk(const QString& disk, const std::function<bool()>& present) override {
    for (;;) {
      DiskDialog dialog(parent_, title_, disk);
      if (dialog.exec() != QDialog::Accepted) return false;
      if (present()) return true;
      warn(parent_, title_, kMsgInsertDisk);
    }
  }
  void progress(const QString& fileName, int percent) override {
    if (progress_) progress_->show(fileName, percent);
  }
  void notice(int message) override { warn(parent_, title_, message); }

 private:
  QWidget* parent_;
  QString title_;
  ProgressDialog*& progress_;
};

// Message 22 with the list of what was installed, and a button that
// removes it again.
void offerRemoval(QWidget* parent, const QString& title, const InstallList& list,
                  const Places& places) {
  QMessageBox box(QMessageBox::Warning, title, messageText(kMsgIncomplete), QMessageBox::Ok,
                  parent);
  if (!list.files.isEmpty()) {
    box.setInformativeText(QStringLiteral("지금까지 설치된 파일: %1개").arg(list.files.size()));
    box.setDetailedText(list.files.join(QLatin1Char('\n')));
  }
  QPushButton* remove =
      list.files.isEmpty()
          ? nullptr
          : box.addButton(QStringLiteral("설치된 파일 지우기(&R)"), QMessageBox::DestructiveRole);
  QApplication::beep();
  box.exec();
  if (remove && box.clickedButton() == remove) removeInstalled(list, places);
}

}  // namespace

int runInteractive(Places places) {
  installKoreanQtTexts();
  Script script;
  if (loadScript(places.mediaDir, true, &script)) {
    warn(nullptr, defaultTitle(), kMsgBadDisk);
    return 2;
  }
  if (script.hasSelection) {
    const Script selection = script;
    QStringList names;
    for (int i = 0; i < selection.selection.count; ++i) names << selection.selection.names[i];
    const QString title =
        selection.selection.title.isEmpty() ? defaultTitle() : selection.selection.title;
    SelectionDialog choose(nullptr, title, names);
    if (choose.exec() != QDialog::Accepted) return 1;
    if (loadChosenSystem(selection, choose.choice(), &places, &script)) {
      warn(nullptr, title, kMsgBadDisk);
      return 2;
    }
  }
  const QString title = script.app.title;
  QStringList made;
  FolderDialog folder(
      nullptr, title, script.app.appName,
      defaultTarget(script.app.iniPath, script.app.appName, QDir::homePath()),
      [&](const QString& typed) { return prepareTarget(script.app, typed, &places, &made); });
  if (folder.exec() != QDialog::Accepted) return 1;

  BackdropWindow backdrop(title);
  backdrop.showMaximized();
  ProgressDialog* progress = nullptr;
  WindowQuestions questions(&backdrop, title, progress);
  InstallSession session(script, places, questions);
  session.addCreatedFolders(made);
  // One step per idle turn: a zero timer fires when no event is waiting.
  QEventLoop loop;
  QTimer idle;
  QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
    if (!session.step()) loop.quit();
  });
  ProgressDialog dialog(&backdrop, title, places.target, [&] {
    // The copying waits while the question is open.
    idle.stop();
    if (QMessageBox::question(&backdrop, title, messageText(kMsgAskCancel),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
      session.cancel();
    idle.start(0);
  });
  progress = &dialog;
  dialog.QDialog::show();
  idle.start(0);
  loop.exec();
  idle.stop();
  dialog.hide();
  progress = nullptr;

  if (session.outcome() == kMsgComplete) {
    QMessageBox::information(&backdrop, title, messageText(kMsgComplete));
    return 0;
  }
  offerRemoval(&backdrop, title, session.installed(), places);
  return 1;
}

}  // namespace deploy

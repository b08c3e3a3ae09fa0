// Shared set-up of the shell tests: one QApplication on the offscreen
// platform, a private home (settings, documents, scratch folders), the
// generated Kelvo.ref, and message boxes replaced by a recorder.
#ifndef SHELL_TESTS_SHELL_FIXTURE_H_
#define SHELL_TESTS_SHELL_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <vector>

#include "kelvo/messages.h"

namespace kelvo_test {

inline QApplication* app() {
  static QApplication* instance = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home.path() + "/docs").toUtf8());
    // The engine's scratch folder and the single-instance socket: this
    // program's own, so test programs run side by side never see each
    // other's working files.
    QDir(home.path()).mkdir("run");
    QFile::setPermissions(home.path() + "/run",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/run").toUtf8());
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return instance;
}

inline QString binDir() {
  return QStringLiteral(KELVO_BIN_DIR);
}

// Runs `act` on the next modal dialog as soon as it shows.
inline void whenModal(std::function<void(QDialog*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(dialog);
  });
  timer->start();
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app();
    ASSERT_TRUE(dir_.isValid());
    kelvo::setMessageHook([this](int id, const QString&) {
      messages_.push_back(id);
      return answer_;
    });
  }
  void TearDown() override { kelvo::setMessageHook(nullptr); }

  QString path(const QString& name) const { return dir_.path() + '/' + name; }

  QTemporaryDir dir_;
  std::vector<int> messages_;  // string numbers shown, in order
  int answer_ = QMessageBox::Yes;
};

}  // namespace kelvo_test

#endif  // SHELL_TESTS_SHELL_FIXTURE_H_

// The program on a copy of the sample project with the processing commands
// registered, and kvcli beside it to run the same operation on another copy
// and to dump tables for comparison.
#ifndef PROCESSING_TESTS_PROCESSING_FIXTURE_H_
#define PROCESSING_TESTS_PROCESSING_FIXTURE_H_

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>
#include <memory>

#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/processing_commands.h"
#include "kelvo/sheet_windows.h"
#include "program_wiring.h"
#include "sample_project.h"
#include "shell_fixture.h"

namespace kelvo_test {

// kvcli's standard output; its exit status in *status.
inline QString kvcli(const QStringList& args, int* status = nullptr) {
  QProcess p;
  p.start(binDir() + "/kvcli", args);
  p.waitForFinished(120000);
  if (status) *status = p.exitCode();
  return QString::fromUtf8(p.readAllStandardOutput());
}
inline QString dump(const QString& file, const QString& table) {
  return kvcli({"dump", file, table});
}
// kvcli info: the project information block.
inline QString dumpInfo(const QString& file) {
  return kvcli({"info", file});
}

class ProcessingTest : public ShellTest {
 protected:
  void TearDown() override {
    forgetProgramWiring();
    ShellTest::TearDown();
  }

  // A fresh copy of the sample project in sub-folder `name`; empty when the
  // build has no sample.
  QString sample(const QString& name) {
    QDir().mkpath(path(name));
    return copySampleProject(binDir(), path(name));
  }

  // The program started on `file`, as main() wires it.
  std::unique_ptr<kelvo::CKelvoApp> start(const QString& file) {
    kelvo::AppOptions o;
    o.programFolder = binDir();
    o.profilePath = path("kelvo.ini");
    o.singleInstance = false;
    o.splash = false;
    auto app = std::make_unique<kelvo::CKelvoApp>(o);
    kelvo::registerSheetWindows(*app);
    kelvo::registerProcessingCommands(*app);
    EXPECT_TRUE(app->startup({file}));
    EXPECT_TRUE(app->document()->isOpen());
    return app;
  }
};

// Presses Cancel of the processing progress dialog once it has moved on.
inline void cancelProgressOnceMoving() {
  auto* timer = new QTimer;
  timer->setInterval(1);
  QObject::connect(timer, &QTimer::timeout, [timer] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* progress = qobject_cast<QProgressDialog*>(w);
      if (!progress || progress->objectName() != "workProgress" || !progress->isVisible() ||
          progress->value() <= 0)
        continue;
      progress->cancel();
      timer->stop();
      timer->deleteLater();
      return;
    }
  });
  timer->start();
}

}  // namespace kelvo_test

#endif  // PROCESSING_TESTS_PROCESSING_FIXTURE_H_

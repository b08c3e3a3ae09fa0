// The program on a copy of the sample project with the definition commands
// registered, kvcli beside it, and pictures of the dialogs written where
// KELVO_SHOT_DIR names a folder.
#ifndef DEFINITIONS_TESTS_DEFINITIONS_FIXTURE_H_
#define DEFINITIONS_TESTS_DEFINITIONS_FIXTURE_H_

#include <QDialogButtonBox>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <memory>

#include "kelvo/definition_commands.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
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

inline void shoot(QWidget* w, const char* name) {
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty() && QDir(folder).exists()) w->grab().save(folder + '/' + name);
}

inline void pressOk(QDialog* d) {
  d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

class DefinitionsTest : public ShellTest {
 protected:
  void TearDown() override {
    forgetProgramWiring();
    ShellTest::TearDown();
  }

  // A fresh copy of the sample project in sub-folder `name`.
  QString sample(const QString& name) {
    QDir().mkpath(path(name));
    return copySampleProject(binDir(), path(name));
  }

  std::unique_ptr<kelvo::CKelvoApp> start(const QString& file) {
    kelvo::AppOptions o;
    o.programFolder = binDir();
    o.profilePath = path("kelvo.ini");
    o.singleInstance = false;
    o.splash = false;
    auto app = std::make_unique<kelvo::CKelvoApp>(o);
    kelvo::registerSheetWindows(*app);
    kelvo::registerDefinitionCommands(*app);
    EXPECT_TRUE(app->startup({file}));
    EXPECT_TRUE(app->document()->isOpen());
    return app;
  }
};

}  // namespace kelvo_test

#endif  // DEFINITIONS_TESTS_DEFINITIONS_FIXTURE_H_

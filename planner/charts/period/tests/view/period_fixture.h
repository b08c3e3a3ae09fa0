// The program on a copy of the sample project with a monthly activity
// summary built by kvcli (so the period views read what kvcli wrote), and
// windows 5, 6 and 7 registered as main() does.
#ifndef PERIOD_TESTS_PERIOD_FIXTURE_H_
#define PERIOD_TESTS_PERIOD_FIXTURE_H_

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <memory>

#include "child_frame.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/period_windows.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_windows.h"
#include "main_frame.h"
#include "program_wiring.h"
#include "sample_project.h"
#include "shell_fixture.h"

namespace kelvo_test {

inline QString kvcli(const QStringList& args, int* status = nullptr) {
  QProcess p;
  p.start(binDir() + "/kvcli", args);
  p.waitForFinished(120000);
  if (status) *status = p.exitCode();
  return QString::fromUtf8(p.readAllStandardOutput());
}

class PeriodTest : public ShellTest {
 protected:
  void TearDown() override {
    app_.reset();
    forgetProgramWiring();
    for (int window : {5, 6, 7}) kelvo::registerDocumentWindow(window, nullptr);
    ShellTest::TearDown();
  }

  // The sample with summary 1 (work types, activities, by month) built and
  // open, and summary 2 of resources; empty when the build has no sample.
  QString summarySample() {
    QDir().mkpath(path("p"));
    const QString file = copySampleProject(binDir(), path("p"));
    if (file.isEmpty()) return file;
    int status = 1;
    // Summary 2 rolls up resources; summary 1, built last, is the open one.
    kvcli({"register-summary", file, "2", "--title", "자원별", "--compose", "0", "--option",
           "resource-summary", "--period", "month"},
          &status);
    EXPECT_EQ(status, 0);
    kvcli({"summary", file, "2", "--quiet"}, &status);
    EXPECT_EQ(status, 0);
    kvcli({"register-summary", file, "1", "--title", "공종별", "--compose", "0", "--option",
           "activities", "--period", "month"},
          &status);
    EXPECT_EQ(status, 0);
    kvcli({"summary", file, "1", "--quiet"}, &status);
    EXPECT_EQ(status, 0);
    return file;
  }

  // Starts the program on file and shows window n; the view of the window.
  template <class View>
  View* open(const QString& file, int window) {
    kelvo::AppOptions o;
    o.programFolder = binDir();
    o.profilePath = path("kelvo.ini");
    o.singleInstance = false;
    o.splash = false;
    app_ = std::make_unique<kelvo::CKelvoApp>(o);
    kelvo::registerSheetWindows(*app_);
    kelvo::registerPeriodWindows(*app_);
    EXPECT_TRUE(app_->startup({file}));
    if (!app_->requestWindow(window)) return nullptr;
    QWidget* content = app_->mainFrame()->childFrame()->content();
    auto* view = qobject_cast<View*>(content);
    if (!view && content) view = content->findChild<View*>();
    if (view) {
      app_->mainFrame()->resize(1400, 900);
      app_->mainFrame()->show();
      QApplication::processEvents();
      view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    return view;
  }

  // What the widget shows, saved as shot in $KELVO_SHOT_DIR when it names a
  // folder.
  static QImage grab(QWidget* widget, const char* shot) {
    QImage image = widget->grab().toImage();
    const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
    if (!folder.isEmpty() && QDir(folder).exists()) image.save(folder + '/' + shot);
    return image;
  }

  std::unique_ptr<kelvo::CKelvoApp> app_;
};

}  // namespace kelvo_test

#endif  // PERIOD_TESTS_PERIOD_FIXTURE_H_

// The program as a user drives it for the converter commands: a private
// settings file, the sheet windows and the converter commands hooked in,
// the external editor's folder in the test's own folder and no desktop
// application opened.
#ifndef EXCHANGE_TESTS_EXCHANGE_FIXTURE_H_
#define EXCHANGE_TESTS_EXCHANGE_FIXTURE_H_

#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QSettings>
#include <functional>
#include <memory>

#include "app_fixture.h"
#include "kelvo/base_view.h"
#include "kelvo/converter_commands.h"
#include "kelvo/sheet_windows.h"
#include "kvconverters.h"

namespace kelvo_test {

class ExchangeTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    qputenv("KELVO_EDITOR_FOLDER", path("editor").toUtf8());
    qputenv("KELVO_NO_DESKTOP_OPEN", "1");
    QDir().mkpath(path("editor"));
  }
  void TearDown() override {
    // The program-wide view state outlives the programs of the tests.
    kelvo::viewState().router = nullptr;
    kelvo::viewState().flags = nullptr;
    kelvo::viewState().activeEditView = nullptr;
    qunsetenv("KELVO_EDITOR_FOLDER");
    AppTest::TearDown();
  }

  void registerConverters(const kvconv::Registrations& regs) {
    QSettings settings(path("kelvo.ini"), QSettings::IniFormat);
    kvconv::writeRegistrations(settings, regs);
  }

  // The program started on args, or on a new project when there are none;
  // wire registers further windows.
  std::unique_ptr<kelvo::CKelvoApp> start(const QStringList& args = {},
                                          const std::function<void(kelvo::CKelvoApp&)>& wire = {}) {
    auto app = std::make_unique<kelvo::CKelvoApp>(options());
    kelvo::viewState().router = app->router();
    kelvo::viewState().flags = &app->settings().flags;
    kelvo::registerSheetWindows(*app);
    if (wire) wire(*app);
    kelvo::registerConverterCommands(*app);
    if (args.isEmpty())
      whenModal([](QDialog* d) {
        type(d, "code", "EX-01");
        type(d, "title", "외부 편집 시험");
        d->accept();
      });
    EXPECT_TRUE(app->startup(args));
    return app;
  }

  // Answers the next file dialog with file (and the filter, when given).
  static void answerFileDialog(const QString& file, const QString& filter = {}) {
    whenModal([file, filter](QDialog* d) {
      auto* dialog = qobject_cast<QFileDialog*>(d);
      ASSERT_NE(dialog, nullptr);
      if (!filter.isEmpty()) dialog->selectNameFilter(filter);
      dialog->selectFile(file);
      d->accept();
    });
  }

  // Runs a python3 script (openpyxl is there) with args; its standard output.
  static QString python(const QString& script, const QStringList& args = {}) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{"-c", script} + args);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
  }
};

}  // namespace kelvo_test

#endif  // EXCHANGE_TESTS_EXCHANGE_FIXTURE_H_

// The program as a user drives it: options for a test start (the
// generated Kelvo.ref, a private settings file, no splash, no single-instance
// test), the new-project start, and saved projects to open.
#ifndef SHELL_TESTS_APP_FIXTURE_H_
#define SHELL_TESTS_APP_FIXTURE_H_

#include <QLineEdit>
#include <cstring>
#include <memory>

#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/text_fields.h"
#include "shell_fixture.h"
#include "xJorLib.h"
#include "xjor/packed_date.h"

namespace kelvo_test {

using kelvo::AppOptions;
using kelvo::CKelvoApp;
using kelvo::CPlanDoc;

inline uint16_t day(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

inline void type(QDialog* dialog, const char* name, const QString& text) {
  auto* edit = dialog->findChild<QLineEdit*>(name);
  ASSERT_NE(edit, nullptr) << name;
  edit->setText(text);
}

class AppTest : public ShellTest {
 protected:
  AppOptions options(bool withRef = true) {
    AppOptions o;
    o.programFolder = withRef ? kelvo_test::binDir() : dir_.path();
    o.profilePath = path("kelvo.ini");
    o.singleInstance = false;
    o.splash = false;
    return o;
  }

  // Starts the program on the new-project dialog and fills it in.
  std::unique_ptr<CKelvoApp> startWithNewProject(const QString& code, const QString& title) {
    auto app = std::make_unique<CKelvoApp>(options());
    whenModal([&](QDialog* d) {
      type(d, "code", code);
      type(d, "title", title);
      d->accept();
    });
    EXPECT_TRUE(app->startup({}));
    return app;
  }

  // A saved project, with a password when one is given.
  QString makeProject(const QString& name, const char* password) {
    int32_t ref = -1;
    EXPECT_EQ(xOpenRef(&ref, (kelvo_test::binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    QString file = path(name);
    {
      CPlanDoc doc(dir_.path() + '/', ref);
      PrjInfo info = kelvo::newProjectInfo();
      kelvo::setFieldText(info.code, sizeof info.code, "LOCK");
      kelvo::setFieldText(info.title, sizeof info.title, "잠긴 프로젝트");
      std::strncpy(info.password, password, 8);
      xEncodePassword(info.password, info.code, 0);
      kelvo::fillMissingDates(&info, day(2026, 5, 1));
      EXPECT_TRUE(doc.newProject(info));
      EXPECT_TRUE(doc.saveProject(file));
    }
    xCloseFile(&ref);
    return file;
  }
};

}  // namespace kelvo_test

#endif  // SHELL_TESTS_APP_FIXTURE_H_

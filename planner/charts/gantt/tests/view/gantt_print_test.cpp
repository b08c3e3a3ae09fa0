// Kelvo --print-pdf: window 3 prints the sheet pane's columns, then the
// chart with its scale, into a PDF read back with pdftotext; the sheets
// print the same way; a file that cannot be read ends with 1.
#include <QFile>
#include <QProcess>

#include "gantt_fixture.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/sheet_windows.h"

namespace kelvo_test {
namespace {

QString pdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

class GanttPrintTest : public GanttTest {
 protected:
  int print(int window, const QString& out, const QString& file) {
    kelvo::AppOptions options;
    options.programFolder = binDir();
    options.profilePath = path(QStringLiteral("profile.ini"));
    options.singleInstance = false;
    options.splash = false;
    kelvo::CKelvoApp app(options);
    kelvo::registerSheetWindows(app);
    kelvo::registerGanttWindow(app);
    return app.printToPdf(window, out, file);
  }
};

TEST_F(GanttPrintTest, WindowsPrintToPdfWithoutAWindow) {
  const QString project = path(QStringLiteral("print.kvp"));
  ASSERT_TRUE(doc_->saveProject(project));
  const QString gantt = path(QStringLiteral("gantt.pdf"));
  ASSERT_EQ(print(3, gantt, project), 0);
  const QString text = pdfText(gantt);
  // The sheet pane's pages carry the activities, the chart's the scale.
  EXPECT_TRUE(text.contains(QStringLiteral("foundation"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("3월"))) << text.toStdString();
  QProcess::execute(QStringLiteral("pdftoppm"),
                    {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"), gantt,
                     QStringLiteral("/work/wt/shots/issue25_print")});

  const QString sheet = path(QStringLiteral("sheet.pdf"));
  ASSERT_EQ(print(8, sheet, project), 0);
  EXPECT_TRUE(pdfText(sheet).contains(QStringLiteral("services")));

  EXPECT_EQ(print(3, path(QStringLiteral("none.pdf")), path(QStringLiteral("missing.kvp"))), 1);
  EXPECT_FALSE(QFile::exists(path(QStringLiteral("none.pdf"))));
}

}  // namespace
}  // namespace kelvo_test

// The sheets inside the program: the sample project opened by Kelvo's
// application object, its data sheet shown in document window 8 and
// printed to PDF.
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <cstring>

#include "child_frame.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_windows.h"
#include "kelvo/table_view.h"
#include "main_frame.h"
#include "program_wiring.h"
#include "sample_project.h"
#include "shell_fixture.h"
#include "xJorLib.h"
#include "xQdDb100.h"

using namespace kelvo;
using kelvo_test::ShellTest;

namespace {

QString pdfText(const QString& pdf, const QStringList& range = {}) {
  QProcess p;
  p.start("pdftotext", range + QStringList{"-layout", pdf, "-"});
  p.waitForFinished(30000);
  // The embedded Korean font's blanks come out as control characters.
  return QString::fromUtf8(p.readAllStandardOutput()).remove(QRegularExpression("[ \\t\\x{1}]"));
}

// A view that can be fitted to paper, to drive the command inside the
// program.
class FitView : public CBaseView {
 public:
  using CBaseView::CBaseView;
  int fitted = 0;
  void drawContent(QPainter&, const UnitMapper&, const LogicalRect&, bool) override {}
  bool canFitToPaper() const override { return true; }
  void applyFitToPaper(int, int, int32_t, int32_t) override { ++fitted; }
};

class SampleSheetTest : public ShellTest {
 protected:
  void TearDown() override {
    kelvo_test::forgetProgramWiring();
    ShellTest::TearDown();
  }

  std::unique_ptr<CKelvoApp> startOnSample() {
    if (kelvo_test::copySampleProject(kelvo_test::binDir(), dir_.path()).isEmpty()) return nullptr;
    AppOptions o;
    o.programFolder = kelvo_test::binDir();
    o.profilePath = path("kelvo.ini");
    o.singleInstance = false;
    o.splash = false;
    auto app = std::make_unique<CKelvoApp>(o);
    registerSheetWindows(*app);
    EXPECT_TRUE(app->startup({path("small_building.kvp")}));
    return app;
  }
};

}  // namespace

TEST_F(SampleSheetTest, DataSheetOfTheSampleProjectPrintsItsPages) {
  auto app = startOnSample();
  if (!app) GTEST_SKIP() << "no sample project in the build";
  ASSERT_TRUE(app->document()->isOpen());
  ASSERT_TRUE(app->requestWindow(8));
  auto* sheet = qobject_cast<CTableView*>(app->mainFrame()->childFrame()->content());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->viewKind(), ViewKind::Activities);
  EXPECT_EQ(sheet->windowNumber(), 8);
  EXPECT_EQ(sheet->rowCount(), int(app->document()->db().act.tb.liveCount));
  ASSERT_GT(sheet->rowCount(), 47);  // more than one page down

  PrintFormat f = sheet->readPrintFormat();
  f.headerHeight = 150;
  f.footerHeight = 100;
  std::strcpy(f.headerText[0], "&1");
  std::strcpy(f.footerText[0], "&&&9");
  sheet->writePrintFormat(f);
  const QString pdf = path("sample.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(sheet->printTo(&printer));

  QProcess info;
  info.start("pdfinfo", {pdf});
  info.waitForFinished(30000);
  const QRegularExpressionMatch pages =
      QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(info.readAllStandardOutput()));
  ASSERT_TRUE(pages.hasMatch());
  const int count = pages.captured(1).toInt();
  // The last page names itself as the last across and down, and the pages
  // across times down are the pages printed.
  const QString last = pdfText(pdf, {"-f", QString::number(count), "-l", QString::number(count)});
  const QRegularExpressionMatch numbers =
      QRegularExpression("(\\d+)/(\\d+)-(\\d+)/(\\d+)").match(last);
  ASSERT_TRUE(numbers.hasMatch()) << last.toStdString();
  EXPECT_EQ(numbers.captured(1), numbers.captured(2));
  EXPECT_EQ(numbers.captured(3), numbers.captured(4));
  EXPECT_EQ(numbers.captured(2).toInt() * numbers.captured(4).toInt(), count);
  EXPECT_GE(numbers.captured(4).toInt(), 2);
  // Every page carries the project code in its header and "&" with the
  // data date in its footer.
  const QString all = pdfText(pdf);
  EXPECT_EQ(all.count("KV-2601"), count);
  EXPECT_EQ(all.count("&26-03-03"), count);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SampleSheetTest, SaveFirstBeforeFittingToPaperUsesTheProgramsSaveCommand) {
  auto app = startOnSample();
  if (!app) GTEST_SKIP() << "no sample project in the build";
  ASSERT_TRUE(app->requestWindow(8));
  CPlanDoc* doc = app->document();
  const QString file = doc->path();
  ASSERT_FALSE(file.isEmpty());
  viewState().nextViewKind = ViewKind::Map;
  viewState().nextWindow = 3;
  FitView view(doc);
  const auto acceptDialog = [] { kelvo_test::whenModal([](QDialog* d) { d->accept(); }); };

  // Yes: the project is written to its file by the save command, then the
  // view is scaled.
  answer_ = QMessageBox::Yes;
  ASSERT_TRUE(QFile::remove(file));
  acceptDialog();
  ASSERT_TRUE(view.fitToPaperCommand());
  EXPECT_EQ(messages_, std::vector<int>{20020});
  EXPECT_TRUE(QFile::exists(file));
  EXPECT_EQ(view.fitted, 1);

  // A save that fails is reported as the save command reports it, and
  // nothing is scaled.
  messages_.clear();
  ASSERT_TRUE(QFile::remove(file));
  ASSERT_TRUE(QDir().mkdir(file));
  acceptDialog();
  EXPECT_FALSE(view.fitToPaperCommand());
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0], 20020);
  EXPECT_NE(messages_[1], 0);
  EXPECT_EQ(view.fitted, 1);
  QDir().rmdir(file);
}

// Printing the activity sheet to PDF: pages across and down, and the
// header and footer texts of every page, read back with pdfinfo and
// pdftotext.
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <cstring>

#include "grid_fixture.h"
#include "kelvo/table_view.h"

using namespace kelvo;
using kelvo_test::cp949;
using kelvo_test::GridTest;

namespace {

QString run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

class SheetPrintTest : public GridTest {
 protected:
  void TearDown() override {
    view_.reset();
    GridTest::TearDown();
  }

  // 120 activities; three columns of 70 mm (two fit across an A4 page).
  CTableView& openSheet() {
    xBeginInputBatch(&db());
    for (int i = 0; i < 120; ++i) {
      char code[16];
      std::snprintf(code, sizeof code, "A%03d", i);
      EXPECT_EQ(addActivity(code, cp949("골조 공사").c_str()), 0);
    }
    xEndInputBatch(&db());
    SheetRecord r{};
    r.format = defaultGridFormat();
    r.format.columnCount = 3;
    writeSheetRecord(&db().opt, ViewKind::Activities, r);
    std::vector<ColumnRecord> cols(3);
    for (int c = 0; c < 3; ++c) cols[c] = {int16_t(c), 700, kAlignLeft, ""};
    writeColumns(&db().opt, ViewKind::Activities, cols);

    viewState().nextViewKind = ViewKind::Activities;
    viewState().nextWindow = 8;
    view_ = std::make_unique<CTableView>(doc_.get());
    view_->resize(800, 600);
    view_->initialUpdate();
    return *view_;
  }

  PrintFormat pageTexts() {
    PrintFormat f = view_->readPrintFormat();
    f.headerHeight = 150;
    f.footerHeight = 100;
    std::strcpy(f.headerText[0], cp949("&1 작업 시트").c_str());
    std::strcpy(f.headerText[1], "R&&D");
    std::strcpy(f.footerText[0], cp949("&2 현황").c_str());
    return f;
  }

  bool printPdf(const QString& file) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(file);
    return view_->printTo(&printer);
  }

  std::unique_ptr<CTableView> view_;
};

}  // namespace

TEST_F(SheetPrintTest, PagesAcrossAndDownWithTheirHeadersAndFooters) {
  CTableView& v = openSheet();
  ASSERT_EQ(v.rowCount(), 120);
  ASSERT_TRUE(v.writePrintFormat(pageTexts()));
  const QString pdf =
      qEnvironmentVariableIsSet("GRID_PDF") ? qEnvironmentVariable("GRID_PDF") : path("sheet.pdf");
  ASSERT_TRUE(printPdf(pdf));
  // A4 less 10 mm margins: 190 mm across leaves 181.6 mm beside the row
  // numbers (two 70 mm columns per page); 297 - 20 - 15 - 10 = 252 mm
  // down leaves 246.8 mm under the column titles: 47 rows of 5.2 mm, so
  // 120 rows take three pages down.
  const QString info = run("pdfinfo", {pdf});
  EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+6\\b"))) << info.toStdString();
  for (int page = 1; page <= 6; ++page) {
    const QString layout = run("pdftotext", {"-f", QString::number(page), "-l",
                                             QString::number(page), "-layout", pdf, "-"});
    // pdftotext gives the blanks of the embedded Korean font as control
    // characters: compare without blanks.
    QString text = layout;
    text.remove(QRegularExpression("[ \\t\\x{1}]"));
    const int across = (page - 1) % 2 + 1, down = (page - 1) / 2 + 1;
    EXPECT_TRUE(text.contains(QStringLiteral("G-01작업시트"))) << page;
    EXPECT_TRUE(text.contains(QStringLiteral("R&D"))) << page;
    EXPECT_TRUE(text.contains(QStringLiteral("gridtest현황"))) << page;
    EXPECT_TRUE(text.contains(QStringLiteral("%1/2-%2/3").arg(across).arg(down))) << page;
    // Each page repeats the row numbers of its rows, and the first page
    // down starts with row 1 while the last ends with row 120.
    const int firstRow = (down - 1) * 47 + 1;
    EXPECT_TRUE(layout.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(firstRow))))
        << page;
    if (across == 1) {
      EXPECT_TRUE(text.contains(QStringLiteral("A%1").arg(firstRow - 1, 3, 10, QChar('0'))))
          << page;
    }
  }
  EXPECT_FALSE(messages_.size());
}

TEST_F(SheetPrintTest, MarginsThatLeaveNoRoomAreRefused) {
  openSheet();
  PrintFormat f = pageTexts();
  f.marginLeft = 1000;
  f.marginRight = 1050;  // 5 mm across: less than the row-number column
  ASSERT_TRUE(view_->writePrintFormat(f));
  EXPECT_FALSE(printPdf(path("none.pdf")));
  EXPECT_EQ(messages_, std::vector<int>{20013});
}

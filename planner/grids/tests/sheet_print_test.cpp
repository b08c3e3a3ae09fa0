// Printing the activity sheet to PDF: pages across and down, and the
// header and footer texts of every page, read back with pdfinfo and
// pdftotext.
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <cstring>

#include "grid_fixture.h"
#include "kelvo/drawing_objects.h"
#include "kelvo/object_layer.h"
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

  // The text of one page of pdf, blanks removed.
  static QString pageText(const QString& pdf, int page) {
    QString text = run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page),
                                     "-layout", pdf, "-"});
    return text.remove(QRegularExpression("[ \\t\\x{1}]"));
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

// Drawing objects keep their place on the sheet: they scroll with the rows
// and columns, and each prints on the page that holds it, wherever the
// sheet was scrolled to when it was printed.
TEST_F(SheetPrintTest, ObjectsScrollWithTheSheetAndPrintOnTheirPage) {
  CTableView& v = openSheet();
  const int32_t rh = v.format().rowHeight;
  ObjectTable objects(&db().objects);
  LOGFONT font{};
  font.lfHeight = -30;
  const auto note = [&](int32_t x, int32_t y, const char* text) {
    ViewPosition at;
    at.x = x;
    at.y = y;
    return uint32_t(objects.append(layerCode(ViewKind::Activities, true),
                                   makeTextObject(at, 300, -40, 0, 0, font, text)));
  };
  // Row 60 is on the second page down, the third column on the second
  // page across (each note wholly inside its page).
  const uint32_t row60 = note(100, -59 * rh - 10, "ROW60NOTE");
  const uint32_t column3 = note(1700, -2 * rh - 10, "COLUMN3NOTE");
  EXPECT_EQ(v.objects().rectOf(row60).top, -59 * rh - 10);
  v.scrollView(Qt::Vertical, ScrollAction::Thumb, 50);
  v.scrollView(Qt::Horizontal, ScrollAction::Thumb, 1);
  ASSERT_EQ(v.topRow(), 50);
  EXPECT_EQ(v.objects().rectOf(row60).top, -9 * rh - 10);
  EXPECT_EQ(v.objects().rectOf(column3).left, 1000);
  // An object drawn on the scrolled sheet is stored at its sheet place.
  EXPECT_EQ(v.pointToPosition(800, -9 * rh - 10).y, -59 * rh - 10);

  const QString pdf = path("objects.pdf");
  ASSERT_TRUE(printPdf(pdf));
  // Six pages, two across: row 60 is on page 3, the third column on page 2.
  for (int page = 1; page <= 6; ++page) {
    const QString text = pageText(pdf, page);
    EXPECT_EQ(text.contains("ROW60NOTE"), page == 3) << page;
    EXPECT_EQ(text.contains("COLUMN3NOTE"), page == 2) << page;
  }
  if (qEnvironmentVariableIsSet("KELVO_SHOT_DIR"))
    run("pdftoppm", {"-r", "60", "-png", "-f", "3", "-l", "3", "-singlefile", pdf,
                     qEnvironmentVariable("KELVO_SHOT_DIR") + "/issue26_sheet_objects_page3"});
}

// Kelvo --print-pdf: window 3 prints the sheet pane's columns, then the
// chart with its scale, into a PDF read back with pdftotext; the sheets
// print the same way; a file that cannot be read ends with 1.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <cstddef>

#include "gantt_fixture.h"
#include "kelvo/grid_format.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/object_layer.h"
#include "kelvo/sheet_windows.h"
#include "sample_project.h"

namespace kelvo_test {
namespace {

// The text of a PDF, or of its page `page` (from 1).
QString pdfText(const QString& pdf, int page = 0) {
  QStringList args{QStringLiteral("-layout")};
  if (page > 0)
    args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
         << QString::number(page);
  QProcess p;
  p.start(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
  p.waitForFinished(20000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The left edge, in points, of the first occurrence of word on page `page`.
double wordLeft(const QString& pdf, int page, const QString& word) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"),
          {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
           QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
  p.waitForFinished(20000);
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\"[^>]*>%1<").arg(word))
          .match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1).toDouble() : -1;
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
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty())
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"), gantt,
                       shots + QStringLiteral("/issue25_print")});

  const QString sheet = path(QStringLiteral("sheet.pdf"));
  ASSERT_EQ(print(8, sheet, project), 0);
  EXPECT_TRUE(pdfText(sheet).contains(QStringLiteral("services")));

  // Paths typed relative to the caller's folder, which loading the user's
  // settings moves away from.
  const QString caller = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(path(QString())));
  const int relative = print(8, QStringLiteral("relative.pdf"), QStringLiteral("print.kvp"));
  QDir::setCurrent(caller);
  EXPECT_EQ(relative, 0);
  EXPECT_TRUE(QFile::exists(path(QStringLiteral("relative.pdf"))));

  EXPECT_EQ(print(3, path(QStringLiteral("none.pdf")), path(QStringLiteral("missing.kvp"))), 1);
  EXPECT_FALSE(QFile::exists(path(QStringLiteral("none.pdf"))));
}

// The chart begins on the page of the sheet's last columns, right after
// them, so no page is left half empty at the boundary.
TEST_F(GanttPrintTest, TheChartStartsBesideTheSheetsLastColumns) {
  std::vector<kelvo::ColumnRecord> columns;
  for (int f = 0; f < db().act.tb.fieldCount; ++f) {
    const int offset = db().act.tb.fields[f].offset;
    if (offset == offsetof(ActRecord, code)) columns.push_back({int16_t(f), 300, 0, "CODE"});
    if (offset == offsetof(ActRecord, title)) columns.push_back({int16_t(f), 300, 0, "NAME"});
  }
  ASSERT_EQ(columns.size(), 2u);
  kelvo::SheetRecord sheetRecord{};
  sheetRecord.format = kelvo::defaultGridFormat(96);
  sheetRecord.format.columnCount = 2;
  kelvo::writeSheetRecord(&db().opt, kelvo::ViewKind::GanttTable, sheetRecord);
  kelvo::writeColumns(&db().opt, kelvo::ViewKind::GanttTable, columns);
  openWindow();
  kelvo::TimeScaleSettings s = chart()->scale().settings();
  s.endDate = day(2026, 4, 30);  // two months: more than a page
  chart()->setScaleSettings(s);
  // A note on the chart at 4 March, row 1.
  LOGFONT font{};
  font.lfHeight = -30;
  kelvo::ObjectTable(&db().objects)
      .append(kelvo::layerCode(kelvo::ViewKind::GanttChart, true),
              kelvo::makeTextObject(kelvo::ViewPosition::time(day(2026, 3, 4), 0, 1, -5), 300, -40,
                                    0, 0, font, "NOTE"));
  const QString pdf = path(QStringLiteral("straddle.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(chart()->printTo(&printer));
  const QString first = pdfText(pdf, 1), second = pdfText(pdf, 2);
  EXPECT_TRUE(first.contains(QStringLiteral("foundation"))) << first.toStdString();
  EXPECT_TRUE(first.contains(QStringLiteral("3월"))) << first.toStdString();
  EXPECT_TRUE(second.contains(QStringLiteral("4월"))) << second.toStdString();
  EXPECT_FALSE(second.contains(QStringLiteral("foundation"))) << second.toStdString();
  EXPECT_TRUE(first.contains(QStringLiteral("CODE"))) << first.toStdString();
  // On paper the note keeps its place over the chart: its date's x after
  // the sheet's printed columns.
  const int32_t noteX =
      chart()->readPrintFormat().marginLeft + sheet()->printedWidth(0) + xOf(3, 4);
  EXPECT_NEAR(wordLeft(pdf, 1, QStringLiteral("NOTE")), noteX * 72.0 / 254, 2.0);
  // Without the time scale the sheet's header is left out too, so the rows
  // of both start at the top of the body.
  kelvo::PrintFormat format = chart()->readPrintFormat();
  format.flags &= uint16_t(~kelvo::printflag::kRepeatScale);
  ASSERT_TRUE(chart()->writePrintFormat(format));
  const QString bare = path(QStringLiteral("bare.pdf"));
  printer.setOutputFileName(bare);
  ASSERT_TRUE(chart()->printTo(&printer));
  const QString page = pdfText(bare, 1);
  EXPECT_TRUE(page.contains(QStringLiteral("foundation"))) << page.toStdString();
  EXPECT_FALSE(page.contains(QStringLiteral("CODE"))) << page.toStdString();
  EXPECT_FALSE(page.contains(QStringLiteral("3월"))) << page.toStdString();
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty())
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                       QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                       QStringLiteral("2"), pdf, shots + QStringLiteral("/issue25_straddle")});
}

// Fit to paper on one page: the sample project's sheet columns and its
// whole chart, first month to last, print on that one page, and a drawing
// object placed inside a day stays on that day and row.
TEST_F(GanttPrintTest, FittedToOnePageTheWholeChartPrintsOnOnePage) {
  const QString sample = copySampleProject(binDir(), path(QString()));
  ASSERT_FALSE(sample.isEmpty());
  ASSERT_TRUE(doc_->openProject(sample));
  openWindow();
  const uint16_t start = doc_->info().start, finish = kelvo::shownProjectFinish(doc_.get());
  kelvo::TimeScaleSettings s = chart()->scale().settings();
  s.startDate = start;
  s.endDate = finish;
  chart()->setScaleSettings(s);
  const uint16_t objectDay = day(2026, 6, 10);
  LOGFONT font{};
  font.lfHeight = -40;
  kelvo::ObjectTable objects(&db().objects);
  objects.append(kelvo::layerCode(kelvo::ViewKind::GanttChart, true),
                 kelvo::makeTextObject(kelvo::ViewPosition::time(objectDay, 45, 7, -30), 400, -40,
                                       0, 0, font, "pour"));

  const auto fit = [&](int across) {
    answer_ = QMessageBox::No;
    whenModal([across](QDialog* d) {
      d->findChild<QSpinBox*>(QStringLiteral("pagesAcross"))->setValue(across);
      d->accept();
    });
    return chart()->onCommand(kelvo::cmd::kFitToPaper);
  };
  const QString pdf = path(QStringLiteral("fitted.pdf"));
  const auto printedPages = [&] {
    QPrinter printer(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    if (!chart()->printTo(&printer)) return 0;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(20000);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
  };

  // The sheet's columns fill five pages and part of a sixth: on six pages
  // the chart takes the rest of the sixth.
  ASSERT_TRUE(fit(6));
  EXPECT_EQ(printedPages(), 6);
  const kelvo::LogicalRect box = chart()->objects().rectOf(0);
  EXPECT_EQ(chart()->scale().dateAt(box.left), objectDay);
  EXPECT_EQ(chart()->scale().rowAt(box.top), 7);

  kelvo::PrintFormat format = chart()->readPrintFormat();
  format.flags |= kelvo::printflag::kGanttOnly;
  ASSERT_TRUE(chart()->writePrintFormat(format));
  ASSERT_TRUE(fit(1));
  EXPECT_EQ(printedPages(), 1);
  const QString text = pdfText(pdf);
  for (const char* month : {"3월", "9월"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(month))) << month << text.toStdString();
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty())
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"), pdf,
                       shots + QStringLiteral("/fit_to_paper")});
}

TEST_F(GanttPrintTest, DataFormatOnTheChartEditsTheGanttPrintFormat) {
  openWindow();
  kelvo_test::whenModal([](QDialog* d) {
    // The Gantt form has the legend and all three print checks but "경로 인쇄".
    EXPECT_FALSE(d->findChild<QCheckBox*>(QStringLiteral("printRows")));
    ASSERT_TRUE(d->findChild<QCheckBox*>(QStringLiteral("printScale")));
    d->findChild<QCheckBox*>(QStringLiteral("ganttOnly"))->setChecked(true);
    d->findChild<QCheckBox*>(QStringLiteral("printScale"))->setChecked(false);
    d->findChild<QCheckBox*>(QStringLiteral("legendShown"))->setChecked(true);
    d->findChild<QSpinBox*>(QStringLiteral("footerHeight"))->setValue(200);
    d->findChild<QLineEdit*>(QStringLiteral("footerText1"))->setText(QStringLiteral("&2 간트"));
    const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
    if (!shots.isEmpty()) d->grab().save(shots + QStringLiteral("/issue33_form_print_gantt.png"));
    d->accept();
  });
  // The sheet pane does not take the command from the chart.
  ASSERT_TRUE(chart()->onCommand(40099));
  const kelvo::GanttPrintFormat f = chart()->readLegendFormat();
  EXPECT_EQ(f.common.flags, kelvo::printflag::kGanttOnly);
  EXPECT_GT(f.common.legendWidth, 0);
  EXPECT_EQ(f.common.footerHeight, 200);
  const QString pdf = path(QStringLiteral("form.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(chart()->printTo(&printer));
  EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("간트"))) << pdfText(pdf).toStdString();

  // From the sheet pane the command edits the same, the chart's, form.
  kelvo_test::whenModal([](QDialog* d) {
    ASSERT_TRUE(d->findChild<QCheckBox*>(QStringLiteral("ganttOnly")));
    d->findChild<QSpinBox*>(QStringLiteral("footerHeight"))->setValue(300);
    d->accept();
  });
  ASSERT_TRUE(sheet()->onCommand(40099));
  EXPECT_EQ(chart()->readLegendFormat().common.footerHeight, 300);
}

}  // namespace
}  // namespace kelvo_test

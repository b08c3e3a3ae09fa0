// Printing: the print format record in the option file, header and footer
// templates, pages printed to PDF with the page frame, and fit to paper.
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <cstring>

#include "kelvo/form_print_page.h"
#include "kelvo/option_slots.h"
#include "kelvo/print_format.h"
#include "page_frame.h"
#include "view_fixture.h"
#include "xjorlib/qt_bridge.h"

using namespace kelvo;
using kelvo_test::TestView;
using kelvo_test::ViewTest;

namespace {

void setText(char (&field)[80], const char* utf8) {
  setFieldText(field, sizeof field, QString::fromUtf8(utf8));
}

QString run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF's text without blanks (the extraction gives the blank glyph of
// the Korean font as U+0001), to compare against texts squeezed the same way.
QString squeeze(QString text) {
  text.remove(QRegularExpression("[\\s\\x01]"));
  return text;
}

QString pdfText(const QString& pdf) {
  return squeeze(run("pdftotext", {pdf, "-"}));
}

TEST(PrintFormatTest, DefaultsAsStoredBytes) {
  const PrintFormat f = defaultPrintFormat();
  const auto* b = reinterpret_cast<const unsigned char*>(&f);
  // Flags 4, margins 100 each, a 150-unit header, no footer or legend.
  const unsigned char head[18] = {4, 0, 100, 0, 100, 0, 100, 0, 100, 0, 150, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(b, head, sizeof head), 0);
  // The first header text (at 22) names the project; the second is empty.
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 22), "&2");
  EXPECT_EQ(b[22 + 80], 0);
  // The first header font: height -32 at 182, face "굴림체" at 182 + 28.
  int32_t height = 0;
  std::memcpy(&height, b + 182, 4);
  EXPECT_EQ(height, -32);
  EXPECT_STREQ(reinterpret_cast<const char*>(b + 182 + 28), "\xB1\xBC\xB8\xB2\xC3\xBC");
}

TEST(PageTemplateTest, AmpersandCodes) {
  PrjInfo info = newProjectInfo();
  setFieldText(info.code, sizeof info.code, "P-01");
  setFieldText(info.title, sizeof info.title, "사옥");
  setFieldText(info.company, sizeof info.company, "한빛");
  setFieldText(info.currency, sizeof info.currency, "원");
  setFieldText(info.manager, sizeof info.manager, "김");
  setFieldText(info.remark, sizeof info.remark, "비고");
  info.start = kelvo_test::packedDay(2026, 3, 2);
  info.dataDate = kelvo_test::packedDay(2026, 4, 1);
  const auto expand = [&](const QString& t, const PrjInfo* i = nullptr) {
    const QByteArray bytes = xjor::toCp949(t);
    return expandPageTemplate(bytes.constData(), bytes.size(), i);
  };
  EXPECT_EQ(expand("[&1][&2][&3][&4][&M][&R]", &info), "[P-01][사옥][한빛][원][김][비고]");
  EXPECT_EQ(expand("&5 &9", &info), dateText(info.start) + ' ' + dateText(info.dataDate));
  // Empty dates write nothing.
  EXPECT_EQ(expand("<&6&7&8>", &info), "<>");
  // Any other character is written itself; a doubled ampersand writes one.
  EXPECT_EQ(expand("A && B &x &", &info), "A & B x ");
  // Without a project the items are empty but the rest stays.
  EXPECT_EQ(expand("공정표 &1&&"), "공정표 &");
  // The length bounds the read even without a NUL.
  const char raw[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(expandPageTemplate(raw, 3, nullptr), "abc");
}

class PrintTest : public ViewTest {
 protected:
  PrintFormat frameFormat() {
    PrintFormat f = defaultPrintFormat();
    f.headerHeight = 150;
    f.footerHeight = 160;
    f.legendWidth = 300;
    f.footerTextOffset = 20;
    setText(f.headerText[0], "&1 &2 공정표");
    setText(f.headerText[1], "발주처: &3");
    setText(f.footerText[0], "인쇄 && 확인 &Z");
    setText(f.footerText[1], "기간 &5 ~ &6");
    f.headerColor[0] = 0x800000;
    return f;
  }

  QString pdfPath() const { return path("out.pdf"); }

  std::unique_ptr<QPrinter> pdfPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdfPath());
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    return printer;
  }

  int pdfPages() {
    const QString info = run("pdfinfo", {pdfPath()});
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
  }
};

TEST_F(PrintTest, FormatRecordRoundTripKeepsTheKindsOwnBytes) {
  auto view = makeView(ViewKind::GanttChart, 3);
  view->formatSize = kGanttPrintFormatSize;
  // A Gantt record with a legend colour in its own part.
  GanttPrintFormat stored;
  std::memset(&stored, 0, sizeof stored);
  stored.common = defaultPrintFormat();
  stored.legendColor = 0x123456;
  ASSERT_NE(
      xOption(&doc_->db().opt, XOPT_WRITE, kindItem(KindRecord::PrintFormat, ViewKind::GanttChart),
              &stored, sizeof stored),
      0);
  PrintFormat f = view->readPrintFormat();
  f.marginLeft = 150;
  setText(f.headerText[0], "머리글");
  ASSERT_TRUE(view->writePrintFormat(f));
  GanttPrintFormat back;
  ASSERT_EQ(xOption(&doc_->db().opt, XOPT_READ,
                    kindItem(KindRecord::PrintFormat, ViewKind::GanttChart), &back, sizeof back),
            1);
  EXPECT_EQ(back.common.marginLeft, 150);
  EXPECT_EQ(back.legendColor, 0x123456u);
  EXPECT_EQ(view->readPrintFormat().marginLeft, 150);
  // Another kind still reads the defaults.
  auto other = makeView(ViewKind::Network, 4);
  EXPECT_EQ(other->readPrintFormat().marginLeft, 100);
}

TEST_F(PrintTest, DamagedRecordIsReadSafely) {
  auto view = makeView(ViewKind::Map, 2);
  PrintFormat bad;
  std::memset(&bad, 'A', sizeof bad);  // no NUL anywhere, sizes garbage
  bad.marginTop = -500;
  bad.headerHeight = -3;
  ASSERT_NE(xOption(&doc_->db().opt, XOPT_WRITE, kindItem(KindRecord::PrintFormat, ViewKind::Map),
                    &bad, sizeof bad),
            0);
  const PrintFormat f = view->readPrintFormat();
  EXPECT_EQ(f.marginTop, 0);
  EXPECT_EQ(f.headerHeight, 0);
  EXPECT_EQ(std::strlen(f.headerText[0]), 79u);
  // A record too short to be a print format leaves the defaults.
  const char shortRecord[10] = {1, 2, 3};
  auto map = makeView(ViewKind::GanttSummaryChart, 3);
  ASSERT_NE(xOption(&doc_->db().opt, XOPT_WRITE,
                    kindItem(KindRecord::PrintFormat, ViewKind::GanttSummaryChart),
                    (void*)shortRecord, 10),
            0);
  EXPECT_EQ(map->readPrintFormat().marginTop, 100);
}

TEST_F(PrintTest, PagesToPdfWithHeaderFooterAndPageNumbers) {
  auto view = makeView(ViewKind::Map, 2);
  ASSERT_TRUE(view->writePrintFormat(frameFormat()));
  // A4 less 10 mm margins: body 190 x (297 - 20 - 15 - 16) mm = 1900 x 2460
  // units; an extent of 5000 x 4000 takes 3 pages across and 2 down.
  auto printer = pdfPrinter();
  ASSERT_TRUE(view->printTo(printer.get()));
  EXPECT_EQ(pdfPages(), 6);
  const QString text = pdfText(pdfPath());
  for (const char* pages : {"1/3-1/2", "2/3-1/2", "3/3-1/2", "1/3-2/2", "2/3-2/2", "3/3-2/2"})
    EXPECT_EQ(text.count(pages), 1) << pages << '\n' << text.toStdString();
  EXPECT_EQ(text.count("P-01사옥신축공사공정표"), 6);
  EXPECT_EQ(text.count("발주처:한빛건설"), 6);
  EXPECT_EQ(text.count("인쇄&확인Z"), 6);
  const QString period =
      squeeze(QStringLiteral("기간 %1 ~ %2")
                  .arg(dateText(doc_->info().start), dateText(doc_->info().finish)));
  EXPECT_EQ(text.count(period), 6) << period.toStdString();
  char today[64] = {};
  xGetTodayStr(today);
  EXPECT_EQ(text.count(QString::fromLatin1(today)), 6);
}

TEST_F(PrintTest, PageRangePrintsOnlyThosePages) {
  auto view = makeView(ViewKind::Map, 2);
  ASSERT_TRUE(view->writePrintFormat(frameFormat()));
  auto printer = pdfPrinter();
  printer->setPrintRange(QPrinter::PageRange);
  printer->setFromTo(2, 3);
  ASSERT_TRUE(view->printTo(printer.get()));
  EXPECT_EQ(pdfPages(), 2);
  const QString text = pdfText(pdfPath());
  EXPECT_TRUE(text.contains("2/3-1/2"));
  EXPECT_TRUE(text.contains("3/3-1/2"));
  EXPECT_FALSE(text.contains("1/3-1/2"));
}

TEST_F(PrintTest, DefaultHeaderNamesProjectDateAndPagesAndZeroHeightPrintsOnlyTheBody) {
  auto view = makeView(ViewKind::Map, 2);
  view->width = 100;
  view->height = 100;
  auto printer = pdfPrinter();
  ASSERT_TRUE(view->printTo(printer.get()));
  EXPECT_EQ(pdfPages(), 1);
  const QString text = pdfText(pdfPath());
  char today[64] = {};
  xGetTodayStr(today);
  EXPECT_TRUE(text.contains("1/1-1/1")) << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromLatin1(today)));
  EXPECT_TRUE(text.contains(squeeze(expandPageTemplate("&2", 2, &doc_->info()))));

  PrintFormat bare = defaultPrintFormat();
  bare.headerHeight = 0;
  ASSERT_TRUE(view->writePrintFormat(bare));
  ASSERT_TRUE(view->printTo(printer.get()));
  EXPECT_FALSE(pdfText(pdfPath()).contains("1/1-1/1"));
}

TEST_F(PrintTest, MarginsTooLargeRefusePrinting) {
  auto view = makeView(ViewKind::Map, 2);
  PrintFormat f = frameFormat();
  f.marginTop = 1500;
  f.marginBottom = 1500;
  ASSERT_TRUE(view->writePrintFormat(f));
  auto printer = pdfPrinter();
  EXPECT_FALSE(view->printTo(printer.get()));
  EXPECT_EQ(messages_, std::vector<int>{20013});
  EXPECT_FALSE(QFile::exists(pdfPath()));
}

TEST_F(PrintTest, FitToPaperAsksToSaveFirst) {
  auto view = makeView(ViewKind::Map, 2);
  view->fits = true;
  PrintFormat f = defaultPrintFormat();
  f.headerHeight = 150;
  f.footerHeight = 120;
  ASSERT_TRUE(view->writePrintFormat(f));
  int repaints = 0;
  QObject::connect(doc_.get(), &CPlanDoc::viewsUpdate, [&](quint64 mask, int h, qintptr) {
    if (h == hint::kDatesChanged && mask == (uint64_t{1} << 11)) ++repaints;
  });
  const auto choose = [](int across, int down) {
    kelvo_test::whenModal([across, down](QDialog* d) {
      d->findChild<QSpinBox*>("pagesAcross")->setValue(across);
      d->findChild<QSpinBox*>("pagesDown")->setValue(down);
      d->accept();
    });
  };

  // Cancel on the question keeps the dialog open and changes nothing; the
  // second OK with Yes saves the project, then rescales.
  std::vector<int> answers = {QMessageBox::Cancel, QMessageBox::Yes};
  setMessageHook([&](int id, const QString&) {
    messages_.push_back(id);
    if (!answers.empty() && answers.front() == QMessageBox::Cancel) {
      EXPECT_EQ(view->fitAcross, 0);
      choose(2, 3);  // the dialog comes back
    }
    const int a = answers.front();
    answers.erase(answers.begin());
    return a;
  });
  ASSERT_TRUE(doc_->saveProject(path("p.kvp")));
  QFile::remove(path("p.kvp"));
  choose(4, 1);
  ASSERT_TRUE(view->fitToPaperCommand());
  EXPECT_EQ(messages_, (std::vector<int>{20020, 20020}));
  EXPECT_TRUE(QFile::exists(path("p.kvp")));  // saved on Yes
  EXPECT_EQ(view->fitAcross, 2);
  EXPECT_EQ(view->fitDown, 3);
  // A4 (210 x 297 mm) less the margins, header and footer.
  EXPECT_EQ(view->fitWidth, 2100 - 200);
  EXPECT_EQ(view->fitHeight, 2970 - 200 - 150 - 120);
  EXPECT_EQ(repaints, 1);
  EXPECT_TRUE(doc_->isModified());
  EXPECT_GE(view->initialUpdates, 1);
}

TEST_F(PrintTest, FitToPaperNoDoesNotSaveAndCancelOfTheDialogChangesNothing) {
  auto view = makeView(ViewKind::Map, 2);
  view->fits = true;
  answer_ = QMessageBox::No;
  kelvo_test::whenModal([](QDialog* d) { d->accept(); });
  ASSERT_TRUE(view->fitToPaperCommand());
  EXPECT_EQ(view->fitAcross, 1);  // defaults 1 and 1
  EXPECT_EQ(view->fitDown, 1);
  EXPECT_TRUE(doc_->path().isEmpty());

  // Yes with a project that has no file yet and no save hook: nothing saved,
  // so nothing is scaled.
  view->fitAcross = 0;
  answer_ = QMessageBox::Yes;
  kelvo_test::whenModal([](QDialog* d) { d->accept(); });
  EXPECT_FALSE(view->fitToPaperCommand());
  EXPECT_EQ(view->fitAcross, 0);

  messages_.clear();
  kelvo_test::whenModal([](QDialog* d) { d->reject(); });
  EXPECT_FALSE(view->fitToPaperCommand());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(view->fitAcross, 0);
}

}  // namespace

namespace {

TEST_F(PrintTest, PreviewAndDirectPrintWithoutAPrinter) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  auto view = makeView(ViewKind::Map, 2);
  ASSERT_TRUE(view->writePrintFormat(frameFormat()));
  // The preview renders its pages and closes.
  kelvo_test::whenModal([](QDialog* d) { d->reject(); });
  view->printPreviewCommand();
  // Printing straight away falls back to an A4 PDF named after the project.
  const QString pdf =
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Kelvo.pdf";
  QFile::remove(pdf);
  ASSERT_TRUE(view->onCommand(cmd::kPrintDirect));
  ASSERT_TRUE(QFile::exists(pdf));
  EXPECT_TRUE(pdfText(pdf).contains("1/3-1/2"));
  EXPECT_TRUE(run("pdfinfo", {pdf}).contains("595 x 842"));  // A4 in points
}

}  // namespace

// --- "인쇄 형식" (40099) -------------------------------------------------------

namespace {

template <class W>
W* field(QDialog* d, const char* name) {
  W* w = d->findChild<W*>(QString::fromLatin1(name));
  EXPECT_TRUE(w) << name;
  return w;
}

}  // namespace

TEST_F(PrintTest, PrintFormPageWritesTheRecordOnOkAndTheHeaderPrints) {
  auto view = makeView(ViewKind::Map, 2);
  kelvo_test::whenModal([](QDialog* d) {
    // The map offers neither the legend nor the chart's print flags.
    EXPECT_FALSE(d->findChild<QCheckBox*>("legendShown"));
    EXPECT_TRUE(d->findChildren<QCheckBox*>().isEmpty());
    field<QSpinBox>(d, "marginLeft")->setValue(150);
    field<QSpinBox>(d, "footerHeight")->setValue(120);
    field<QLineEdit>(d, "headerText1")->setText(QStringLiteral("&1 공정표 &&"));
    field<QLineEdit>(d, "footerText2")->setText(QStringLiteral("담당 &M 끝"));
    d->accept();
  });
  ASSERT_TRUE(view->onCommand(cmd::kDataFormat));
  EXPECT_TRUE(doc_->isModified());
  const PrintFormat f = view->readPrintFormat();
  EXPECT_EQ(f.marginLeft, 150);
  EXPECT_EQ(f.marginTop, 100);
  EXPECT_EQ(f.footerHeight, 120);
  EXPECT_EQ(fieldText(f.headerText[0], 80), QStringLiteral("&1 공정표 &&"));

  auto printer = pdfPrinter();
  ASSERT_TRUE(view->printTo(printer.get()));
  const QString text = pdfText(pdfPath());
  EXPECT_TRUE(text.contains(QStringLiteral("P-01공정표&"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("담당끝"))) << text.toStdString();
}

TEST_F(PrintTest, PrintFormCancelAndRefusalsStoreNothing) {
  auto view = makeView(ViewKind::GanttChart, 3);
  view->formatSize = kGanttPrintFormatSize;
  const int item = kindItem(KindRecord::PrintFormat, ViewKind::GanttChart);
  kelvo_test::whenModal([](QDialog* d) {
    field<QSpinBox>(d, "marginTop")->setValue(300);
    field<QCheckBox>(d, "legendShown")->setChecked(true);
    field<QCheckBox>(d, "ganttOnly")->setChecked(true);
    d->reject();
  });
  view->onCommand(cmd::kDataFormat);
  EXPECT_LE(xOption(&doc_->db().opt, XOPT_SIZE, item, nullptr, 0), 0);
  EXPECT_FALSE(doc_->isModified());

  // A number box left empty is refused: the sheet stays open and nothing
  // is stored until the value is whole again.
  bool stayed = false;
  kelvo_test::whenModal([&](QDialog* d) {
    auto* height = field<QSpinBox>(d, "headerHeight");
    height->findChild<QLineEdit*>()->setText(QString());
    d->accept();
    stayed = d->isVisible() && d->focusWidget() == height;
    height->setValue(200);
    field<QCheckBox>(d, "legendShown")->setChecked(true);
    field<QSpinBox>(d, "legendWidth")->setValue(450);
    d->accept();
  });
  view->onCommand(cmd::kDataFormat);
  EXPECT_TRUE(stayed);
  const GanttPrintFormat g = view->readLegendFormat();
  EXPECT_EQ(g.common.headerHeight, 200);
  EXPECT_EQ(g.common.legendWidth, 450);
  EXPECT_EQ(g.common.flags & printflag::kGanttOnly, 0);
  // The whole Gantt record is stored, the legend font with it.
  EXPECT_EQ(xOption(&doc_->db().opt, XOPT_SIZE, item, nullptr, 0), kGanttPrintFormatSize);
  EXPECT_EQ(g.legendFont.lfHeight, -32);
}

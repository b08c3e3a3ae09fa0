// Windows 5, 6 and 7 on a summary of the sample project: the period sheet
// shows what kvcli's series prints, the chart's planned S-curve ends at 100
// percent, a bar stands as high as its value, and the value sheet takes
// typed and generated days.
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>
#include <cmath>

#include "band_paint.h"
#include "kelvo/chart_view.h"
#include "kelvo/gantt_view.h"
#include "kelvo/gantt_window.h"
#include "kelvo/option_slots.h"
#include "kelvo/period_band_widget.h"
#include "kelvo/project_digits.h"
#include "kelvo/sheet_view.h"
#include "kelvo/summary_build.h"
#include "kelvo/summary_registry.h"
#include "kelvo/value_view.h"
#include "period_fixture.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"
#include "xjorlib/qt_bridge.h"

using namespace kelvo;
using kelvo_test::kvcli;
using kelvo_test::PeriodTest;

namespace {

// kvcli series FILE 1 ROW: (block, day text, first value) per line.
struct CliEntry {
  int block;
  QString day;
  double value;
};
std::vector<CliEntry> cliSeries(const QString& file, int row, int summary = 1) {
  std::vector<CliEntry> out;
  const QStringList lines =
      kvcli({"series", file, QString::number(summary), QString::number(row)}).split('\n');
  for (int i = 1; i < lines.size(); ++i) {
    const QStringList f = lines[i].split(',');
    if (f.size() >= 3) out.push_back({f[0].toInt(), f[1], f[2].toDouble()});
  }
  return out;
}

QString dayText(uint16_t day) {
  char text[32];
  xTimeToStr(text, day);
  return QString::fromLatin1(text);
}

// True when a pixel of colour lies within radius pixels of at.
bool colourNear(const QImage& image, QPoint at, QColor colour, int radius = 3) {
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx) {
      const QPoint p = at + QPoint(dx, dy);
      if (image.rect().contains(p) && image.pixelColor(p) == colour) return true;
    }
  return false;
}

// Gives every activity one unit at a contract price of 1000 a day of
// duration and rebuilds summary 1, so that its total row has amounts.
void priceActivitiesAndRebuild(CPlanDoc* doc) {
  ProjectDb& db = doc->db();
  TableHandle& tb = db.act.tb;
  std::vector<char> record(size_t(tb.recordSize));
  tb.current = -1;
  while (xMoveNext(&tb)) {
    ASSERT_EQ(xGetRec(&tb, record.data()), 1);
    ActRecord a;
    std::memcpy(&a, record.data(), sizeof a);
    a.quantity = 1;
    a.contractPrice = 1000.0 * std::max<int16_t>(1, a.duration);
    std::memcpy(record.data(), &a, sizeof a);
    ASSERT_EQ(xPutRec(&tb, record.data()), 1);
  }
  auto reg = readSummaryRegistration(&db, 1);
  ASSERT_TRUE(reg.has_value());
  int16_t current = doc->openSummary();
  ASSERT_EQ(buildSummary(&db, doc->info(), *reg, &current), kSummaryDone);
  doc->setOpenSummary(current);
  doc->updateAllViews(kAllViews, hint::kSummaryRebuilt);
}

}  // namespace

TEST_F(PeriodTest, PeriodSheetShowsTheSeriesKvcliPrints) {
  const QString file = summarySample();
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CSheetView* sheet = open<CSheetView>(file, 5);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->viewKind(), ViewKind::PeriodSheet);
  const int records = int(app_->document()->db().summary.table.tb.liveCount);
  ASSERT_GT(records, 2);
  // Two items by default (quantity planned, quantity actual): two rows a record.
  ASSERT_EQ(sheet->items().size(), 2u);
  EXPECT_EQ(sheet->scale().settings().rowCount, 2 * records);
  int compared = 0;
  for (int record : {1, 2, records}) {
    const std::vector<CliEntry> cli = cliSeries(file, record);
    for (int block : {0, 1}) {
      std::vector<CliEntry> want;
      for (const CliEntry& e : cli)
        if (e.block == block) want.push_back(e);
      const std::vector<PeriodValue> shown = sheet->rowValues((record - 1) * 2 + block);
      ASSERT_EQ(shown.size(), want.size()) << "record " << record << " block " << block;
      for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(dayText(shown[i].day), want[i].day);
        EXPECT_NEAR(shown[i].value, want[i].value, 1e-6 * std::max(1.0, std::fabs(want[i].value)));
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 5);
  // The text is the comma format with the quantity decimals.
  const std::vector<PeriodValue> total = sheet->rowValues((records - 1) * 2);
  ASSERT_FALSE(total.empty());
  char want[64];
  xNumToStr(want, total[0].value, 15,
            projectDigits(&app_->document()->db(), app_->document()->info()).quantity,
            XJOR_NUM_COMMA);
  EXPECT_EQ(sheet->valueText(0, total[0].value), QString::fromLatin1(want).trimmed());

  // Three items and the rows follow: row 5 is record 1, item 2.
  ValueItem cumulative{};
  cumulative.series = kSeriesPlan;
  cumulative.cumulative = 1;
  std::vector<ValueItem> items = sheet->items();
  items.push_back(cumulative);
  sheet->setItems(items);
  EXPECT_EQ(sheet->scale().settings().rowCount, 3 * records);
  const std::vector<PeriodValue> running = sheet->rowValues(5);
  double sum = 0;
  for (const CliEntry& e : cliSeries(file, 2))
    if (e.block == 0) sum += e.value;
  ASSERT_FALSE(running.empty());
  EXPECT_NEAR(running.back().value, sum, 1e-6 * std::max(1.0, sum));
  for (size_t i = 1; i < running.size(); ++i) EXPECT_GE(running[i].value, running[i - 1].value);

  // On screen: scrolled to the first period, the value text is drawn.
  TimeScaleSettings s = sheet->scale().settings();
  s.stepWidth = 8;
  sheet->setScaleSettings(s);
  QApplication::processEvents();
  const QImage image = grab(app_->mainFrame(), "issue29_period_sheet.png");
  EXPECT_FALSE(image.isNull());
  // Another summary of resources opened (hint 10): the sheet becomes kind
  // 19 with that summary's rows and single values.
  CPlanDoc* doc = app_->document();
  int16_t current = doc->openSummary();
  ASSERT_EQ(xOpenSumFile(&doc->db(), &current, 2), 1);
  doc->setOpenSummary(current);
  doc->updateAllViews(kAllViews, hint::kSummaryRebuilt);
  EXPECT_EQ(sheet->viewKind(), ViewKind::PeriodResourceSheet);
  EXPECT_TRUE(sheet->resourceSummary());
  const int resourceRows = int(doc->db().summary.table.tb.liveCount);
  EXPECT_EQ(sheet->scale().settings().rowCount, 2 * resourceRows);
  for (int record : {1, resourceRows}) {
    std::vector<CliEntry> want;
    for (const CliEntry& e : cliSeries(file, record, 2))
      if (e.block == 0) want.push_back(e);
    const std::vector<PeriodValue> shown = sheet->rowValues((record - 1) * 2);
    ASSERT_EQ(shown.size(), want.size()) << record;
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(dayText(shown[i].day), want[i].day);
  }
  // Stored on hint 2 and read back by a new view: the three items stay.
  app_->document()->updateAllViews(kAllViews, hint::kStoreSettings);
  std::vector<char> bytes(3 * sizeof(ValueItem));
  EXPECT_EQ(xOption(&app_->document()->db().opt, XOPT_SIZE,
                    kindItem(KindRecord::ValueItems, ViewKind::PeriodSheet), nullptr, 0),
            int32_t(bytes.size()));
}

// The band under the period sheet shows while the scale flag asks for it,
// and draws a value sheet's S-curve on the sheet's own time axis.
TEST_F(PeriodTest, PeriodBandFollowsTheSheetsScale) {
  const QString file = summarySample();
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CSheetView* sheet = open<CSheetView>(file, 5);
  ASSERT_NE(sheet, nullptr);
  auto* band = app_->mainFrame()->findChild<CPeriodBand*>();
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->view(), sheet);
  EXPECT_FALSE(band->isVisible());
  ValueSheet values;
  OptionFileRef* opt = &app_->document()->db().opt;
  ASSERT_TRUE(values.load(opt, 2));
  values.title = "S";
  const int points[][3] = {{3, 1, 0}, {4, 1, 20}, {5, 1, 60}, {6, 1, 100}};
  for (const auto& p : points)
    ASSERT_EQ(values.commit(int(values.entries().size()), xjor::packDate(2026, p[0], p[1]), p[2]),
              0);
  ASSERT_TRUE(values.store(opt));
  BandBlock block = defaultBandBlock();
  block.seriesCount = 1;
  block.series[0].sheet = 2;
  block.panelHeight = 400;
  band->setBlock(block);
  TimeScaleSettings s = sheet->scale().settings();
  s.flags |= scaleflag::kPeriodBand;
  s.stepWidth = 8;
  sheet->setScaleSettings(s);
  QApplication::processEvents();
  ASSERT_TRUE(band->isVisible());
  const QImage image = grab(band, "issue29_period_band.png");
  const UnitMapper m = UnitMapper::forDevice(band, sheet->scrollX(), 0);
  const BandLayout layout = bandLayout(block, -block.gap, block.panelHeight);
  const Axis axis = bandAxis(block);
  const QColor line = xjor::colorFromRef(block.series[0].lineColor);
  // The curve passes through 60 at the first of May and ends at 100.
  for (auto [month, value] : {std::pair{5, 60}, {6, 100}}) {
    const QPoint at =
        m.toDevice(sheet->scale().x(xjor::packDate(2026, month, 1)), layout.yOf(value, axis))
            .toPoint();
    EXPECT_TRUE(colourNear(image, at, line)) << month;
  }
  EXPECT_EQ(band->height(), band->sizeHint().height());

  // The Gantt chart carries the same band under it, on its own kind.
  std::unique_ptr<QWidget> gantt(makeGanttWindow(app_->document(), {}, nullptr));
  gantt->resize(1200, 700);
  gantt->show();
  CGanttView* chart = ganttChartOf(gantt.get());
  ASSERT_NE(chart, nullptr);
  auto* ganttBand = gantt->findChild<CPeriodBand*>();
  ASSERT_NE(ganttBand, nullptr);
  EXPECT_EQ(ganttBand->view(), chart);
  EXPECT_FALSE(ganttBand->isVisible());
  TimeScaleSettings g = chart->scale().settings();
  g.flags |= scaleflag::kPeriodBand;
  chart->setScaleSettings(g);
  QApplication::processEvents();
  EXPECT_TRUE(ganttBand->isVisible());
  EXPECT_LT(chart->height() + ganttBand->height(), gantt->height());
}

// Fitted to one page across, the sheet's columns narrow with the axis (the
// sheet lays its table out from them again), so table and axis print on
// that one page.
TEST_F(PeriodTest, FitToPaperNarrowsTheSheetsColumnsWithTheAxis) {
  const QString file = summarySample();
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CSheetView* sheet = open<CSheetView>(file, 5);
  ASSERT_NE(sheet, nullptr);
  const int32_t tableBefore = sheet->scale().settings().leftTableWidth;
  answer_ = QMessageBox::No;
  kelvo_test::whenModal([](QDialog* d) { d->accept(); });
  ASSERT_TRUE(sheet->onCommand(cmd::kFitToPaper));
  EXPECT_LT(sheet->scale().settings().leftTableWidth, tableBefore);
  // The paper the command fitted to.
  QPrinter printer(QPrinter::HighResolution);
  if (QPrinterInfo::availablePrinters().isEmpty()) printer.setPageSize(QPageSize(QPageSize::A4));
  const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
  PrintLayout layout;
  layout.paperWidth = int32_t(std::lround(paper.width() * 10));
  layout.paperHeight = int32_t(std::lround(paper.height() * 10));
  ASSERT_TRUE(sheet->preparePrinting(sheet->readPrintFormat(), &layout));
  EXPECT_EQ(layout.pagesAcross, 1);
  EXPECT_EQ(layout.pagesDown, 1);
}

TEST_F(PeriodTest, ChartDrawsPlanAgainstActualEndingAtHundredPercent) {
  const QString file = summarySample();
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CChartView* chart = open<CChartView>(file, 6);
  ASSERT_NE(chart, nullptr);
  // The sample has no amounts: nothing planned to draw.
  EXPECT_TRUE(chart->scene().lines.empty());
  priceActivitiesAndRebuild(app_->document());
  ASSERT_EQ(chart->scene().lines.size(), 2u);
  const ShownSeries& plan = chart->scene().lines[0];
  ASSERT_FALSE(plan.values.empty());
  EXPECT_NEAR(plan.values.back().value, 100, 1e-9);
  EXPECT_EQ(plan.title, QString::fromUtf8("계획"));
  // Small enough that the whole plan shows, up to the period after the
  // project's finish.
  TimeScaleSettings s = chart->scale().settings();
  s.stepWidth = 3;
  s.endDate = xjor::packDate(2026, 10, 31);
  chart->setScaleSettings(s);
  QApplication::processEvents();
  const QImage image = grab(chart->viewport(), "issue29_period_chart_plan_actual.png");
  const BandLayout& layout = chart->scene().layout;
  const QPoint end =
      chart->screenMapper()
          .toDevice(chart->scale().x(plan.values.back().day), layout.yOf(100, chart->scene().axis))
          .toPoint();
  EXPECT_TRUE(colourNear(image, end, xjor::colorFromRef(plan.style.lineColor)))
      << end.x() << "," << end.y();
  // Printed: pages of the same chart.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  const QString pdf = path("chart.pdf");
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(chart->printTo(&printer));
  EXPECT_GT(QFileInfo(pdf).size(), 1000);
  // The rows hold both value rows under the panel.
  EXPECT_GE(chart->scale().settings().rowCount * chart->scale().settings().rowHeight,
            -chart->scene().bottom());
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty() && QDir(folder).exists()) {
    QFile::remove(folder + "/issue29_period_chart.pdf");
    QFile::copy(pdf, folder + "/issue29_period_chart.pdf");
  }
  // Nothing of the plan's colour above the 100 percent line.
  EXPECT_FALSE(colourNear(image, end - QPoint(0, 12), xjor::colorFromRef(plan.style.lineColor), 2));
}

TEST_F(PeriodTest, ChartBarsStandAsHighAsTheirValues) {
  const QString file = summarySample();
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CChartView* chart = open<CChartView>(file, 6);
  ASSERT_NE(chart, nullptr);
  // Value sheet 4: 50 in April, 100 in May.
  ValueSheet sheet;
  OptionFileRef* opt = &app_->document()->db().opt;
  ASSERT_TRUE(sheet.load(opt, 4));
  ASSERT_EQ(sheet.commit(0, xjor::packDate(2026, 4, 1), 50), 0);
  ASSERT_EQ(sheet.commit(1, xjor::packDate(2026, 5, 1), 100), 0);
  ASSERT_TRUE(sheet.store(opt));
  BandBlock band = defaultBandBlock();
  ChartBlock bars = defaultChartBlock();
  bars.seriesCount = 1;
  bars.barWidth = 40;
  bars.series[0].sheet = 4;
  bars.series[0].fill = -1;
  bars.series[0].fillColor = 0x00C000;
  bars.series[0].lineColor = 0x00C000;
  band.seriesCount = 0;
  chart->setBlocks(band, bars);
  ASSERT_EQ(chart->scene().bars.size(), 1u);
  TimeScaleSettings s = chart->scale().settings();
  s.stepWidth = 6;
  chart->setScaleSettings(s);
  QApplication::processEvents();
  const QImage image = grab(chart->viewport(), "issue29_period_chart_bars.png");
  const BandLayout& layout = chart->scene().layout;
  const UnitMapper m = chart->screenMapper();
  const int32_t x = chart->scale().x(xjor::packDate(2026, 4, 1)) - 20;
  const QColor fill = xjor::colorFromRef(0x00C000);
  // Half the panel high: filled just under the middle, empty just over it.
  const double half = m.toDevice(x, layout.panelBottom() + layout.panelHeight / 2).y();
  EXPECT_EQ(image.pixelColor(QPoint(int(m.toDevice(x, 0).x()), int(half) + 4)), fill);
  EXPECT_NE(image.pixelColor(QPoint(int(m.toDevice(x, 0).x()), int(half) - 4)), fill);
  // The value row under the panel holds the series' title and value.
  EXPECT_EQ(chart->scene().bars[0].values.size(), 2u);
  EXPECT_EQ(chart->scene().bottom(), layout.valueRowTop(1));
}

TEST_F(PeriodTest, ValueSheetTakesTypedAndGeneratedDays) {
  const QString file = summarySample();
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CValueView* view = open<CValueView>(file, 7);
  ASSERT_NE(view, nullptr);
  viewState().editTool = tool::kDataInput;
  EXPECT_EQ(view->rowCount(), 0);
  const auto type = [&](uint16_t day, const char* value) {
    view->goToRow(view->rowCount());
    view->goToColumn(1);
    view->goToColumn(0);
    EXPECT_TRUE(view->lineEditor()->isVisible());
    view->lineEditor()->setText(dayText(day));
    view->goToColumn(1);
    view->lineEditor()->setText(QString::fromLatin1(value));
    return view->moveToRow(view->rowCount() + 1);
  };
  EXPECT_TRUE(type(xjor::packDate(2026, 4, 1), "12.5"));
  EXPECT_TRUE(type(xjor::packDate(2026, 3, 1), "3"));
  ASSERT_EQ(view->sheet().entries().size(), 2u);
  EXPECT_EQ(view->sheet().entries()[0].value, 13);  // no decimals: rounded
  // A date another row has is refused with 21025 and the row stays.
  messages_.clear();
  EXPECT_FALSE(type(xjor::packDate(2026, 4, 1), "7"));
  EXPECT_EQ(messages_, std::vector<int>{21025});
  EXPECT_EQ(view->sheet().entries().size(), 2u);
  view->moveToRow(kCommitSilently);

  // Generated months from the start's next first-of-month to the finish;
  // the typed days keep their values.
  int field = -1;
  EXPECT_EQ(view->generateDays(xjor::packDate(2026, 3, 3), 0, DayStep::Month, &field), kBadDate);
  EXPECT_EQ(field, 1);
  EXPECT_EQ(
      view->generateDays(xjor::packDate(2026, 3, 3), xjor::packDate(2026, 6, 30), DayStep::Month),
      0);
  EXPECT_EQ(view->rowCount(), 4);  // 4-1, 3-1 typed; 5-1, 6-1 added
  // Through the option bar: a finish before the start is refused with
  // 21015 and the dialog stays; weekly days then go in.
  messages_.clear();
  app_->router()->setActiveView(view);
  kelvo_test::whenModal([&](QDialog* d) {
    d->findChild<QLineEdit*>("start")->setText(dayText(xjor::packDate(2026, 6, 1)));
    d->findChild<QLineEdit*>("finish")->setText(dayText(xjor::packDate(2026, 5, 1)));
    d->accept();
    EXPECT_TRUE(d->isVisible());
    d->findChild<QLineEdit*>("finish")->setText(dayText(xjor::packDate(2026, 6, 14)));
    d->findChild<QComboBox*>("unit")->setCurrentIndex(2);
    d->accept();
  });
  ASSERT_TRUE(app_->router()->dispatch(10215));
  EXPECT_EQ(messages_, std::vector<int>{21015});
  EXPECT_EQ(view->rowCount(), 4 + 13);  // 2..14 June; the 1st exists
  EXPECT_TRUE(view->findDay(xjor::packDate(2026, 6, 1)));
  EXPECT_EQ(view->selectedRows(), std::set<int>{3});
  EXPECT_FALSE(view->findDay(xjor::packDate(2026, 7, 1)));
  QApplication::processEvents();
  grab(view->viewport(), "issue29_value_sheet.png");

  // Stored on hint 2: header and entries as typed.
  app_->document()->updateAllViews(kAllViews, hint::kStoreSettings);
  ValueSheet back;
  ASSERT_TRUE(back.load(&app_->document()->db().opt, currentValueSheet()));
  EXPECT_EQ(back.entries(), view->sheet().entries());

  // Read from the summary's total row: the planned quantities by month.
  ValueSheetLink link{};
  link.summary = 1;
  link.rebuild = 1;
  EXPECT_EQ(view->readFromSummary(link), 0);
  EXPECT_GT(view->rowCount(), 0);
  const std::vector<PeriodValue> read = view->sheet().entries();
  // A row beyond the summary's records: 20038, and the sheet stays.
  link.row = 100000;
  EXPECT_EQ(view->readFromSummary(link), 20038);
  EXPECT_EQ(view->sheet().entries(), read);
  // Every linked sheet is read again, through the option bar's dialog too.
  EXPECT_EQ(view->readAllLinked(), 1);
  EXPECT_EQ(view->sheet().entries(), read);
  EXPECT_EQ(app_->document()->openSummary(), 1);
  kelvo_test::whenModal([](QDialog* d) {
    d->findChild<QComboBox*>("series")->setCurrentIndex(kSeriesActual);
    d->accept();
  });
  ASSERT_TRUE(app_->router()->dispatch(10209));
  ValueSheetLink stored{};
  ASSERT_TRUE(readValueLink(&app_->document()->db().opt, currentValueSheet(), &stored));
  EXPECT_EQ(stored.series, kSeriesActual);
  EXPECT_EQ(stored.row, 0);
}

// Types text into a widget one character at a time, Korean too.
static void typeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
  }
}

TEST_F(PeriodTest, ValueSheetTitleIsTypedOnTheOptionBarAndRefreshKeepsTheSheet) {
  QDir().mkpath(path("p"));
  const QString file = kelvo_test::copySampleProject(kelvo_test::binDir(), path("p"));
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CValueView* view = open<CValueView>(file, 7);
  ASSERT_NE(view, nullptr);
  auto* edit = app_->mainFrame()->findChild<QLineEdit*>("ctl10100");
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(view->openSheet(3));
  EXPECT_EQ(edit->text(), "");
  app_->document()->setModified(false);
  // Typed: the sheet's title at once, in CP949 and at most 31 bytes.
  typeText(edit, "공정 진도율 (누계)");
  EXPECT_EQ(view->sheet().title, xjor::toCp949("공정 진도율 (누계)").toStdString());
  EXPECT_TRUE(app_->document()->isModified());
  typeText(edit, " 가나다라마바사아자차카");
  EXPECT_LE(view->sheet().title.size(), 31u);
  EXPECT_EQ(xjor::toCp949(edit->text()).toStdString(), view->sheet().title);
  const QString typed = edit->text();
  grab(app_->mainFrame(), "issue29_value_title.png");
  // Another sheet shows its own title; coming back shows the one typed,
  // which the period chart's series read from the sheet's header.
  ASSERT_TRUE(view->openSheet(4));
  EXPECT_EQ(edit->text(), "");
  ASSERT_TRUE(view->openSheet(3));
  EXPECT_EQ(edit->text(), typed);
  std::vector<PeriodValue> values;
  int decimals = 0;
  std::string title;
  view->generateDays(xjor::packDate(2026, 1, 1), xjor::packDate(2026, 1, 3), DayStep::Day);
  // Refreshing keeps the generated days: they are stored, not read over.
  ASSERT_TRUE(app_->router()->dispatch(40022));
  app_->document()->updateAllViews(kAllViews, hint::kRefresh);
  EXPECT_EQ(view->rowCount(), 3);
  ASSERT_TRUE(view->openSheet(4));
  ASSERT_TRUE(loadSheetSeries(&app_->document()->db().opt, 3, &values, &decimals, &title));
  EXPECT_EQ(title, xjor::toCp949(typed).toStdString());
}

// The "선택 사항" sheet of the period chart, driven as a user would: OK
// writes every page's values to the view and its stored records, the
// dividers follow "구분선 :", and Cancel leaves everything as it was.
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <cstring>

#include "band_page_parts.h"
#include "band_paint.h"
#include "kelvo/chart_view.h"
#include "kelvo/opt_chart_page.h"
#include "kelvo/opt_histo_page.h"
#include "kelvo/opt_term_page.h"
#include "kelvo/option_slots.h"
#include "kelvo/period_band_widget.h"
#include "kelvo/sheet_view.h"
#include "kelvo/text_fields.h"
#include "kelvo/value_sheet.h"
#include "modal_driver.h"
#include "period_fixture.h"
#include "xJorDbm2.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"
#include "xjorlib/qt_bridge.h"

using namespace kelvo;
using kelvo_test::PeriodTest;

namespace {

const QColor kGrid(255, 0, 255);

QPushButton* button(QWidget* root, const char* caption) {
  for (QPushButton* b : root->findChildren<QPushButton*>())
    if (b->text() == QString::fromUtf8(caption)) return b;
  ADD_FAILURE() << "no button " << caption;
  return nullptr;
}

// Runs the view's 40098 and, inside the sheet, edit(sheet); the sheet ends
// with OK when ok, else with Cancel.
void runOptions(CBaseView* view, std::function<void(CPropertySheet*)> edit, bool ok) {
  kelvo_test::whenModal([edit, ok](QDialog* w) {
    auto* sheet = qobject_cast<CPropertySheet*>(w);
    ASSERT_NE(sheet, nullptr);
    edit(sheet);
    ok ? sheet->accept() : sheet->reject();
  });
  ASSERT_TRUE(view->onCommand(cmd::kOptions));
}

// The columns in a row of image that show the grid colour.
std::vector<int> gridColumns(const QImage& image, int y) {
  std::vector<int> columns;
  for (int x = 0; x < image.width(); ++x)
    if (image.pixelColor(x, y) == kGrid) columns.push_back(x);
  return columns;
}

class PeriodOptionsTest : public PeriodTest {
 protected:
  CChartView* openChart() {
    file_ = summarySample();
    if (file_.isEmpty()) return nullptr;
    CChartView* chart = open<CChartView>(file_, 6);
    // Value sheet 4 for a bar series: 50 in April, 100 in May.
    ValueSheet sheet;
    OptionFileRef* opt = &app_->document()->db().opt;
    EXPECT_TRUE(sheet.load(opt, 4));
    EXPECT_EQ(sheet.commit(0, xjor::packDate(2026, 4, 1), 50), 0);
    EXPECT_EQ(sheet.commit(1, xjor::packDate(2026, 5, 1), 100), 0);
    EXPECT_TRUE(sheet.store(opt));
    app_->document()->setModified(false);
    return chart;
  }
  std::vector<char> storedRecord(CChartView* chart, int item, int size) {
    std::vector<char> buf(size_t(size), 0);
    (void)chart;
    xOption(&app_->document()->db().opt, XOPT_READ, item, buf.data(), size);
    return buf;
  }
  QString file_;
};

TEST_F(PeriodOptionsTest, OkTakesEveryPageAndWeeklyDividersShow) {
  CChartView* chart = openChart();
  if (!chart) GTEST_SKIP() << "no sample project in the build";
  const uint16_t start = xjor::packDate(2026, 4, 1);
  runOptions(
      chart,
      [&](CPropertySheet* sheet) {
        auto* term = sheet->findChild<COptTermPage*>();
        term->startEdit()->setText(dateText(start));
        term->endEdit()->setText(dateText(xjor::packDate(2026, 6, 30)));
        term->stepWidthEdit()->setText("40");
        term->stepDaysEdit()->setText("1");
        term->dividerCombo()->setCurrentText(QStringLiteral("1 주"));
        kelvo_test::pickColourNext(kGrid, sheet);
        button(term, "구분선 색깔...")->click();
        PeriodTest::grab(sheet, "issue33_opt_term.png");

        sheet->tabs()->setCurrentIndex(1);
        auto* curve = sheet->findChild<COptChartPage*>();
        curve->panelHeightSpin()->setValue(600);
        curve->axis().field(1)->setText("250");
        PeriodTest::grab(sheet, "issue33_opt_scurve.png");

        sheet->tabs()->setCurrentIndex(2);
        auto* histo = sheet->findChild<COptHistoPage*>();
        histo->barWidthSpin()->setValue(55);
        histo->series().choose(1);
        kelvo_test::whenModalOver(sheet, [](QDialog* w) {
          auto* input = qobject_cast<QInputDialog*>(w);
          ASSERT_NE(input, nullptr);
          input->setTextValue(input->comboBoxItems().value(0));
          input->accept();
        });
        button(histo, "수치 시트 선택...")->click();
        EXPECT_EQ(histo->series().sheetLabel()->text(), "5");
        histo->series().fillTypeCombo()->setCurrentIndex(2);
        histo->series().fillPatternCombo()->setCurrentIndex(4);
        kelvo_test::pickColourNext(QColor(0, 128, 255), sheet);
        button(histo, "채움 색깔...")->click();
        PeriodTest::grab(sheet, "issue33_opt_histogram.png");
      },
      true);

  EXPECT_TRUE(app_->document()->isModified());
  const TimeScaleSettings& s = chart->scale().settings();
  EXPECT_EQ(s.startDate, start);
  EXPECT_EQ(s.stepWidth, 40);
  EXPECT_EQ(s.divider, 7);
  EXPECT_EQ(s.gridColor, xjor::colorToRef(kGrid));
  EXPECT_EQ(chart->band().panelHeight, 600);
  EXPECT_EQ(chart->band().maximum, 250);
  EXPECT_EQ(chart->chart().barWidth, 55);
  EXPECT_EQ(chart->chart().seriesCount, 2);
  EXPECT_EQ(chart->chart().series[1].sheet, 4);
  EXPECT_EQ(chart->chart().series[1].fill, 4);
  EXPECT_EQ(chart->chart().series[1].fillColor, xjor::colorToRef(QColor(0, 128, 255)));
  ASSERT_EQ(chart->scene().bars.size(), 2u);
  // Stored at once (hint 2): the time scale in its record, the bars in 29.
  const int settingsItem = kindItem(KindRecord::Settings, chart->viewKind());
  std::vector<char> stored = storedRecord(chart, settingsItem, sizeof(TimeScaleSettings));
  TimeScaleSettings read;
  std::memcpy(&read, stored.data(), sizeof read);
  EXPECT_EQ(read.divider, 7);
  EXPECT_EQ(read.gridColor, xjor::colorToRef(kGrid));
  ChartBlock bars = defaultChartBlock();
  ASSERT_TRUE(readChartBlock(&app_->document()->db().opt, kOptChartBlock, &bars));
  EXPECT_EQ(bars.barWidth, 55);

  // A divider at every week start and nowhere else, low in the body.
  chart->scrollTo(chart->scale().x(start), 0);
  QApplication::processEvents();
  const QImage image = PeriodTest::grab(chart->viewport(), "issue33_opt_weekly_dividers.png");
  const int y = image.height() - 3;
  const UnitMapper m = chart->screenMapper();
  std::vector<int> expected;
  for (uint16_t d = start; d <= xjor::packDate(2026, 6, 30);
       d = xjor::dateFromDayNumber(xjor::dayNumber(d) + 1)) {
    const int x = int(std::lround(m.toDevice(chart->scale().x(d), 0).x()));
    if (x >= image.width()) break;
    if (xGetDayOfWeek(d) == xGetStartDayOfW()) expected.push_back(x);
  }
  ASSERT_GE(expected.size(), 3u);
  const std::vector<int> found = gridColumns(image, y);
  for (int x : expected)
    EXPECT_TRUE(std::find_if(found.begin(), found.end(),
                             [x](int f) { return std::abs(f - x) <= 1; }) != found.end())
        << "no divider at " << x;
  EXPECT_LE(found.size(), expected.size() * 2) << "dividers off the week starts";

  // "없음": none.
  runOptions(
      chart,
      [](CPropertySheet* sheet) {
        sheet->findChild<COptTermPage*>()->dividerCombo()->setCurrentText(QStringLiteral("없음"));
      },
      true);
  QApplication::processEvents();
  EXPECT_TRUE(gridColumns(chart->viewport()->grab().toImage(), y).empty());
}

TEST_F(PeriodOptionsTest, CancelLeavesTheViewAsItWas) {
  CChartView* chart = openChart();
  if (!chart) GTEST_SKIP() << "no sample project in the build";
  const TimeScaleSettings before = chart->scale().settings();
  const BandBlock band = chart->band();
  const ChartBlock bars = chart->chart();
  QApplication::processEvents();
  const QImage image = chart->viewport()->grab().toImage();
  runOptions(
      chart,
      [](CPropertySheet* sheet) {
        auto* term = sheet->findChild<COptTermPage*>();
        term->dividerCombo()->setCurrentIndex(8);
        kelvo_test::pickColourNext(kGrid, sheet);
        button(term, "바탕색...")->click();
        sheet->tabs()->setCurrentIndex(1);
        sheet->findChild<COptChartPage*>()->panelHeightSpin()->setValue(321);
        sheet->tabs()->setCurrentIndex(2);
        sheet->findChild<COptHistoPage*>()->barWidthSpin()->setValue(99);
      },
      false);
  EXPECT_FALSE(app_->document()->isModified());
  EXPECT_EQ(std::memcmp(&before, &chart->scale().settings(), sizeof before), 0);
  EXPECT_EQ(std::memcmp(&band, &chart->band(), sizeof band), 0);
  EXPECT_EQ(std::memcmp(&bars, &chart->chart(), sizeof bars), 0);
  QApplication::processEvents();
  EXPECT_EQ(chart->viewport()->grab().toImage(), image);
}

// The period sheet's sheet edits its scale and the band under it.
TEST_F(PeriodOptionsTest, PeriodSheetTakesScaleAndBand) {
  const QString file = summarySample();
  if (file.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  CSheetView* view = open<CSheetView>(file, 5);
  ASSERT_NE(view, nullptr);
  CPeriodBand* band = periodBandOf(view);
  ASSERT_NE(band, nullptr);
  runOptions(
      view,
      [](CPropertySheet* sheet) {
        ASSERT_EQ(sheet->pageCount(), 2);
        EXPECT_EQ(sheet->tabs()->tabText(1), QStringLiteral("S-Curve"));
        sheet->findChild<COptTermPage*>()->dividerCombo()->setCurrentIndex(6);
        sheet->tabs()->setCurrentIndex(1);
        auto* curve = sheet->findChild<COptChartPage*>();
        curve->check(8)->setChecked(true);
        curve->panelHeightSpin()->setValue(444);
      },
      true);
  EXPECT_EQ(view->scale().settings().divider, 6);
  EXPECT_TRUE(view->scale().settings().flags & scaleflag::kPeriodBand);
  EXPECT_EQ(band->block().panelHeight, 444);
  BandBlock stored = defaultBandBlock();
  ASSERT_TRUE(readBandBlock(&app_->document()->db().opt,
                            kindItem(KindRecord::Band, view->viewKind()), &stored));
  EXPECT_EQ(stored.panelHeight, 444);
}

}  // namespace

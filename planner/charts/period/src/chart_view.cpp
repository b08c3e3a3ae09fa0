#include "kelvo/chart_view.h"

#include <QPainter>
#include <algorithm>

#include "band_paint.h"
#include "kelvo/commands.h"
#include "kelvo/opt_chart_page.h"
#include "kelvo/opt_histo_page.h"
#include "kelvo/opt_term_page.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

OptionFileRef* optionsOf(CPlanDoc* doc) {
  return doc && doc->isOpen() ? &doc->db().opt : nullptr;
}

}  // namespace

CChartView::CChartView(CPlanDoc* doc, QWidget* parent)
    : CTermView(doc, parent),
      band_(defaultBandBlock()),
      chart_(defaultChartBlock()),
      scene_(std::make_unique<BandScene>()) {}

CChartView::~CChartView() = default;

TimeScaleSettings CChartView::defaultSettings() const {
  TimeScaleSettings s = CTermView::defaultSettings();
  s.flags |= scaleflag::kPeriodBand | bandflag::kMajorGrid;
  s.leftTableWidth = chart_.labelWidth;
  return s;
}

void CChartView::readBlocks() {
  blocksRead_ = true;
  band_ = defaultBandBlock();
  chart_ = defaultChartBlock();
  if (OptionFileRef* opt = optionsOf(document())) {
    readBandBlock(opt, kindItem(KindRecord::Band, viewKind()), &band_);
    readChartBlock(opt, kOptChartBlock, &chart_);
  }
}

void CChartView::loadSeries() {
  BandScene& s = *scene_;
  OptionFileRef* opt = optionsOf(document());
  s.band = band_;
  s.axis = bandAxis(band_);
  s.barAxis = chartAxis(chart_);
  s.barWidth = std::max<int16_t>(1, chart_.barWidth);
  s.lines = loadShownSeries(opt, band_.series, band_.seriesCount);
  s.bars = loadShownSeries(opt, chart_.series, chart_.seriesCount);
  if (!s.lines.empty() || !s.bars.empty() || !opt || document()->openSummary() <= 0) return;
  // Nothing of its own to show: the plan against the actual progress of the
  // open summary's total row, both in percent of the planned total.
  RowSeries series;
  if (!readSummaryTotalSeries(&document()->db(), &series)) return;
  const PlanActualCurves curves = planActualCurves(series, summaryIsResources(&document()->db()));
  if (curves.plan.empty()) return;
  const char* titles[] = {"계획", "실적"};
  const std::vector<PeriodValue>* values[] = {&curves.plan, &curves.actual};
  for (int i = 0; i < 2; ++i) {
    ShownSeries shown;
    shown.style = band_.series[i];
    shown.values = *values[i];
    shown.decimals = 1;
    shown.title = QString::fromUtf8(titles[i]);
    s.lines.push_back(std::move(shown));
  }
  double lo = 0, hi = 100;
  valueRange({curves.plan, curves.actual}, &lo, &hi);
  s.axis = fitAxis(lo, std::max(hi, 100.0));
  std::memcpy(s.band.unit, "%", 2);
}

void CChartView::setBlocks(const BandBlock& band, const ChartBlock& chart) {
  band_ = band;
  chart_ = chart;
  blocksRead_ = true;
  loadSeries();
  setScaleSettings(storedSettings());
}

int32_t CChartView::bodyRowCount() const {
  // The rows hold the value rows of what is shown (the plan and the actual
  // curve when the chart has no series of its own).
  return chartRowCount(band_, int(scene_->lines.size()), int(scene_->bars.size()),
                       std::max<int16_t>(1, storedSettings().rowHeight));
}

void CChartView::initialUpdate() {
  if (!blocksRead_) readBlocks();
  loadSeries();
  CTermView::initialUpdate();
}

void CChartView::storeSettings() {
  CTermView::storeSettings();
  OptionFileRef* opt = optionsOf(document());
  if (!opt || !blocksRead_) return;
  writeBandBlock(opt, kindItem(KindRecord::Band, viewKind()), band_);
  writeChartBlock(opt, kOptChartBlock, chart_);
}

void CChartView::onUpdate(int hintCode, qintptr extra) {
  if (hintCode == hint::kRefresh || hintCode == hint::kSummaryRebuilt) {
    initialUpdate();
    return;
  }
  // A loaded layout: the band and bar blocks are read again.
  if (hintCode == hint::kSettingsRewritten) blocksRead_ = false;
  CTermView::onUpdate(hintCode, extra);
}

bool CChartView::onCommand(int id) {
  if (id == cmd::kRefresh) {
    initialUpdate();
    return true;
  }
  if (id == cmd::kOptions) {
    optionsCommand();
    return true;
  }
  return CTermView::onCommand(id);
}

bool CChartView::updateCommand(int id, CommandState& state) {
  if (id == cmd::kOptions) {
    state.enabled = true;
    return true;
  }
  return CTermView::updateCommand(id, state);
}

void CChartView::optionsCommand() {
  if (!blocksRead_) readBlocks();
  TimeScaleSettings settings = storedSettings();
  BandBlock band = band_;
  ChartBlock chart = chart_;
  OptionFileRef* opt = optionsOf(document());
  CPropertySheet sheet(loadString(kStrOptionsSheet), this);
  sheet.setPagesShareCopy(true);
  sheet.addPage(new COptTermPage(&settings));
  sheet.addPage(new COptChartPage(&settings, &band, opt));
  sheet.addPage(new COptHistoPage(&settings, &chart, opt));
  if (sheet.exec() != QDialog::Accepted) return;
  band_ = band;
  chart_ = chart;
  commitScaleOptions(settings);
}

void CChartView::drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                          int32_t, int32_t, bool) {
  BandScene& s = *scene_;
  const TimeScaleSettings& ts = scale().settings();
  s.scale = &scale();
  s.layout = bandLayout(band_, -std::max<int16_t>(0, band_.gap), band_.panelHeight);
  s.scaleFlags = ts.flags;
  s.labelLeft = 0;
  s.labelRight = ts.leftTableWidth;
  s.labelFont = xjor::fontFromLogFont(ts.bodyFont);
  s.labelHeight = std::abs(ts.bodyFont.lfHeight);
  s.labelColor = xjor::colorFromRef(ts.bodyTextColor);
  s.gridColor = xjor::colorFromRef(ts.gridColor);
  paintBand(painter, mapper, body, s);
}

}  // namespace kelvo

#include "kelvo/period_band_widget.h"

#include <QBoxLayout>
#include <QEvent>
#include <QPainter>
#include <QSplitter>
#include <cmath>

#include "band_paint.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/term_view.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int32_t kBottomRoom = 10;  // under the last value row

OptionFileRef* optionsOf(const CTermView* view) {
  CPlanDoc* doc = view->document();
  return doc && doc->isOpen() ? &doc->db().opt : nullptr;
}

}  // namespace

CPeriodBand::CPeriodBand(CTermView* view, QWidget* parent)
    : QWidget(parent),
      view_(view),
      block_(defaultBandBlock()),
      scene_(std::make_unique<BandScene>()) {
  setObjectName(QStringLiteral("PeriodBand"));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  view_->viewport()->installEventFilter(this);
  if (CPlanDoc* doc = view_->document()) {
    connect(doc, &CPlanDoc::viewsUpdate, this, [this](quint64 mask, int hintCode, qintptr) {
      if (!(mask & kindBit(view_->viewKind()))) return;
      if (hintCode == hint::kStoreSettings) store();
      if (hintCode == hint::kRefresh || hintCode == hint::kInitialUpdate ||
          hintCode == hint::kSettingsRewritten)
        reload();
    });
  }
  reload();
}

CPeriodBand::~CPeriodBand() = default;

void CPeriodBand::reload() {
  block_ = defaultBandBlock();
  if (OptionFileRef* opt = optionsOf(view_))
    readBandBlock(opt, kindItem(KindRecord::Band, view_->viewKind()), &block_);
  loadSeries();
}

void CPeriodBand::setBlock(const BandBlock& block) {
  block_ = block;
  loadSeries();
}

void CPeriodBand::store() const {
  if (OptionFileRef* opt = optionsOf(view_))
    writeBandBlock(opt, kindItem(KindRecord::Band, view_->viewKind()), block_);
}

void CPeriodBand::loadSeries() {
  scene_->band = block_;
  scene_->axis = bandAxis(block_);
  scene_->lines = loadShownSeries(optionsOf(view_), block_.series, block_.seriesCount);
  followView();
  updateGeometry();
  update();
}

int32_t CPeriodBand::bandHeight() const {
  return std::max<int16_t>(0, block_.gap) + block_.panelHeight +
         std::max<int16_t>(0, block_.margin[1]) +
         valueRowHeight(block_) * int32_t(scene_->lines.size()) + kBottomRoom;
}

QSize CPeriodBand::sizeHint() const {
  const UnitMapper m = UnitMapper::forDevice(this);
  return {100, int(std::ceil(m.pixelsY(bandHeight())))};
}

void CPeriodBand::followView() {
  const bool shown = view_->scale().settings().flags & scaleflag::kPeriodBand;
  if (shown != isVisibleTo(parentWidget())) setVisible(shown);
  if (shown) update();
}

bool CPeriodBand::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport() && event->type() == QEvent::Paint) followView();
  return QWidget::eventFilter(watched, event);
}

void CPeriodBand::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TimeScaleSettings& ts = view_->scale().settings();
  const UnitMapper m = UnitMapper::forDevice(this, view_->scrollX(), 0);
  const LogicalRect visible{view_->scrollX(), 0,
                            view_->scrollX() + int32_t(std::ceil(m.unitsX(width()))),
                            -int32_t(std::ceil(m.unitsY(height())))};
  BandScene& s = *scene_;
  s.scale = &view_->scale();
  s.layout = bandLayout(block_, -std::max<int16_t>(0, block_.gap), block_.panelHeight);
  s.scaleFlags = ts.flags;
  // The Gantt chart's table is another pane: its labels go inside the panel.
  const bool tableElsewhere =
      view_->viewKind() == ViewKind::GanttChart || view_->viewKind() == ViewKind::GanttSummaryChart;
  s.labelLeft = 0;
  s.labelRight = tableElsewhere ? 0 : ts.leftTableWidth;
  s.labelFont = xjor::fontFromLogFont(ts.bodyFont);
  s.labelHeight = std::abs(ts.bodyFont.lfHeight);
  s.labelColor = xjor::colorFromRef(ts.bodyTextColor);
  s.gridColor = xjor::colorFromRef(ts.gridColor);
  paintBand(painter, m, visible, s);
}

CPeriodBand* attachPeriodBand(CTermView* view) {
  QWidget* parent = view->parentWidget();
  auto* column = new QWidget;
  column->setObjectName(QStringLiteral("PeriodBandColumn"));
  auto* band = new CPeriodBand(view, column);
  if (auto* splitter = qobject_cast<QSplitter*>(parent)) {
    const int index = splitter->indexOf(view);
    splitter->replaceWidget(index, column);
  } else if (parent && parent->layout()) {
    delete parent->layout()->replaceWidget(view, column);
  } else if (parent) {
    column->setParent(parent);
  }
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(view, 1);
  layout->addWidget(band, 0);
  band->reload();
  return band;
}

CPeriodBand* periodBandOf(CTermView* view) {
  if (!view) return nullptr;
  for (CPeriodBand* band : view->window()->findChildren<CPeriodBand*>())
    if (band->view() == view) return band;
  return nullptr;
}

}  // namespace kelvo

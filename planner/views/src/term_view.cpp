// The time-scaled view: settings, layout, scrolling, positions, separator
// drags and print pagination. The axis and body are drawn in
// term_view_paint.cpp.
#include "kelvo/term_view.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

#include "kelvo/messages.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "xJorDbm2.h"

namespace kelvo {
namespace {

constexpr int32_t kLineStep = 50;
constexpr int32_t kSeparatorZone = 4;
constexpr int32_t kMaxSize = 32767;
constexpr int kMsgMarginsTooLarge = 20013;
// What a separator drag changes.
constexpr int kDragScaleRow = 1, kDragRow = 2, kDragRowNumbers = 3, kDragLeftTable = 4;

uint16_t projectStart(const CPlanDoc* doc) {
  return doc && doc->isOpen() ? doc->info().start : 0;
}
uint16_t projectFinish(const CPlanDoc* doc) {
  return shownProjectFinish(doc);
}

}  // namespace

uint16_t shownProjectFinish(const CPlanDoc* doc) {
  if (!doc || !doc->isOpen()) return 0;
  uint16_t finish = doc->info().finish;
  const MemTable& codes = const_cast<CPlanDoc*>(doc)->db().actCodes;
  const auto* e = reinterpret_cast<const ActCodeEntry*>(codes.data);
  for (uint32_t i = 0; e && i < codes.count; ++i) finish = std::max(finish, e[i].start);
  return finish;
}

CTermView::CTermView(CPlanDoc* doc, QWidget* parent)
    : CBaseView(doc, parent),
      stored_(defaultTimeScale(projectStart(doc), projectFinish(doc))),
      scale_(stored_, projectStart(doc), projectFinish(doc)) {}

TimeScaleSettings CTermView::defaultSettings() const {
  return defaultTimeScale(projectStart(document()), projectFinish(document()));
}

uint16_t CTermView::dataDate() const {
  return document() && document()->isOpen() ? document()->info().dataDate : 0;
}

int32_t CTermView::extentHeight() const {
  return scale_.settings().rowCount * scale_.settings().rowHeight;
}

void CTermView::setScaleSettings(const TimeScaleSettings& settings) {
  stored_ = settings;
  rebuildScale();
  applyOrigin();
  viewport()->update();
}

void CTermView::commitScaleOptions(const TimeScaleSettings& edited, std::function<void()> swapOwn) {
  CPlanDoc* doc = document();
  if (doc) {
    doc->undo().keep(this, [this, kept = stored_, swapOwn]() mutable {
      TimeScaleSettings live = stored_;
      stored_ = kept;
      kept = live;
      if (swapOwn) swapOwn();
      initialUpdate();
      rowsMoved();
      return true;
    });
    doc->setModified();
  }
  stored_ = edited;
  initialUpdate();
  rowsMoved();
  if (doc) doc->updateAllViews(kindBit(viewKind()), hint::kStoreSettings);
}

void CTermView::readSettings() {
  stored_ = defaultSettings();
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  const int own = ownBlockSize();
  std::vector<char> buf(sizeof(TimeScaleSettings) + own, 0);
  OptionFileRef* opt = &doc->db().opt;
  const int item = kindItem(KindRecord::Settings, viewKind());
  if (item < 0) return;
  // A record shorter than the settings is not one of ours: keep defaults.
  if (xOption(opt, XOPT_SIZE, item, nullptr, 0) < int32_t(sizeof(TimeScaleSettings))) return;
  if (xOption(opt, XOPT_READ, item, buf.data(), int32_t(buf.size())) != 1) return;
  std::memcpy(&stored_, buf.data(), sizeof stored_);
  if (own > 0 && ownBlock()) std::memcpy(ownBlock(), buf.data() + sizeof stored_, own);
}

void CTermView::storeSettings() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  const int own = ownBlockSize();
  std::vector<char> buf(sizeof(TimeScaleSettings) + own, 0);
  std::memcpy(buf.data(), &stored_, sizeof stored_);
  if (own > 0 && ownBlock()) std::memcpy(buf.data() + sizeof stored_, ownBlock(), own);
  const int item = kindItem(KindRecord::Settings, viewKind());
  if (item >= 0) xOption(&doc->db().opt, XOPT_WRITE, item, buf.data(), int32_t(buf.size()));
}

void CTermView::onUpdate(int hintCode, qintptr extra) {
  if (hintCode != hint::kSettingsRewritten) {
    CBaseView::onUpdate(hintCode, extra);
    return;
  }
  forgetSettings();
  initialUpdate();
}

void CTermView::rebuildScale() {
  stored_.rowCount = bodyRowCount();
  scale_ = TimeScale(stored_, projectStart(document()), projectFinish(document()));
}

void CTermView::initialUpdate() {
  if (!settingsRead_) {
    settingsRead_ = true;
    topRow_ = 0;
    readSettings();
  }
  rebuildScale();
  if (xPos_ >= scale_.totalWidth()) xPos_ = 0;
  if (topRow_ >= scale_.settings().rowCount) topRow_ = 0;
  applyOrigin();
  CBaseView::initialUpdate();
}

void CTermView::applyOrigin() {
  // The client's top-left shows the top of the scale strip over the top
  // row: x = 0 is the boundary after the row-number column, y = 0 the
  // strip's bottom when the top row is 0.
  const TimeScaleSettings& s = scale_.settings();
  setScrollOrigin(xPos_ - s.rowNumberWidth, stripHeight() - topRow_ * s.rowHeight);
}

void CTermView::scrollTo(int32_t x, int32_t row) {
  x = std::clamp<int32_t>(x, 0, scale_.totalWidth());
  x = scale_.dayStartAt(x);
  row = std::clamp<int32_t>(row, 0, std::max<int32_t>(0, scale_.settings().rowCount - 1));
  if (x == xPos_ && row == topRow_) return;
  const bool rowsChanged = row != topRow_;
  xPos_ = x;
  topRow_ = row;
  applyOrigin();
  if (rowsChanged) rowsMoved();
}

void CTermView::scrollView(Qt::Orientation orientation, ScrollAction action, int thumb) {
  const TimeScaleSettings& s = scale_.settings();
  const LogicalRect c = computeClientRect();
  if (orientation == Qt::Horizontal) {
    const int32_t page = c.width() - kLineStep;
    int32_t x = xPos_;
    switch (action) {
      case ScrollAction::LineBack:
        x -= kLineStep;
        break;
      case ScrollAction::LineForward:
        x += std::max<int32_t>(kLineStep, s.stepWidth / s.stepDays);
        break;
      case ScrollAction::PageBack:
        x -= page;
        break;
      case ScrollAction::PageForward:
        x += page;
        break;
      case ScrollAction::ToStart:
        x = 0;
        break;
      case ScrollAction::ToEnd:
        x = scale_.totalWidth();
        break;
      case ScrollAction::Thumb:
        x = scale_.xOfScrollBox(thumb);
        break;
    }
    scrollTo(x, topRow_);
    return;
  }
  const int32_t page = std::max<int32_t>(1, (c.height() - stripHeight()) / s.rowHeight);
  int32_t row = topRow_;
  switch (action) {
    case ScrollAction::LineBack:
      --row;
      break;
    case ScrollAction::LineForward:
      ++row;
      break;
    case ScrollAction::PageBack:
      row -= page;
      break;
    case ScrollAction::PageForward:
      row += page;
      break;
    case ScrollAction::ToStart:
      row = 0;
      break;
    case ScrollAction::ToEnd:
      row = s.rowCount - 1;
      break;
    case ScrollAction::Thumb:
      row = thumb;
      break;
  }
  scrollTo(xPos_, row);
}

void CTermView::updateScrollBars() {
  syncing_ = true;
  horizontalScrollBar()->setRange(0, 16384);
  horizontalScrollBar()->setPageStep(1024);
  horizontalScrollBar()->setValue(scale_.scrollBoxAt(xPos_));
  verticalScrollBar()->setRange(0, std::max<int32_t>(0, scale_.settings().rowCount - 1));
  verticalScrollBar()->setPageStep(1);
  verticalScrollBar()->setValue(std::max<int32_t>(0, topRow_));
  syncing_ = false;
}

void CTermView::scrollContentsBy(int, int) {
  if (syncing_) return;
  const int box = horizontalScrollBar()->value();
  if (box != scale_.scrollBoxAt(xPos_)) scrollView(Qt::Horizontal, ScrollAction::Thumb, box);
  scrollView(Qt::Vertical, ScrollAction::Thumb, verticalScrollBar()->value());
}

// --- Positions -----------------------------------------------------------------

ViewPosition CTermView::pointToPosition(int32_t x, int32_t y) const {
  const ScalePosition p = scale_.positionAt(x, y);
  return ViewPosition::time(p.date, static_cast<uint16_t>(p.xRemainder),
                            static_cast<uint16_t>(p.row), static_cast<int16_t>(p.yRemainder));
}

void CTermView::positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const {
  ScalePosition p;
  p.date = position.date();
  p.xRemainder = position.xRemainder();
  p.row = position.row();
  p.yRemainder = position.yRemainder();
  scale_.pointAt(p, x, y);
}

QString CTermView::positionText(int32_t x, int32_t y) const {
  const uint16_t date = scale_.dateAt(x);
  char text[32] = {};
  if (date != 0 && date != kRightArea) xTimeToStr(text, date);
  return QStringLiteral("%1(%2)-%3(%4)")
      .arg(x)
      .arg(QString::fromLatin1(text))
      .arg(-y)
      .arg(scale_.rowAt(y) + 1);
}

bool CTermView::objectsShown() const {
  return scale_.settings().flags & scaleflag::kDrawShapes;
}

COLORREF CTermView::crosshairColor() const {
  return scale_.settings().dataDateColor;
}

// --- Separator drags ---------------------------------------------------------------

bool CTermView::hitSeparator(int32_t x, int32_t y) {
  const TimeScaleSettings& s = scale_.settings();
  // Strip y: the height above the strip's bottom line.
  const int32_t stripY = y + topRow_ * s.rowHeight;
  const int32_t rowEdge = -(topRow_ + 1) * s.rowHeight;
  constexpr int32_t kEdgeZone = 3;
  // The period sheet (window 5) keeps its left table's width to itself.
  constexpr int kPeriodSheetWindow = 5;
  if (stripY >= 1 && stripY <= kSeparatorZone) {
    dragKind_ = kDragScaleRow;
  } else if (y >= rowEdge && y <= rowEdge + kSeparatorZone) {
    dragKind_ = kDragRow;
  } else if (s.rowNumberWidth > 0 && std::abs(x - rowNumberEdge()) <= kEdgeZone) {
    dragKind_ = kDragRowNumbers;
  } else if (windowNumber() != kPeriodSheetWindow && s.leftTableWidth > 0 &&
             std::abs(x - s.leftTableWidth) <= kEdgeZone) {
    dragKind_ = kDragLeftTable;
  } else {
    return false;
  }
  dragAt_ = dragKind_ >= kDragRowNumbers ? x : y;
  return true;
}

void CTermView::placeDataItem(int32_t x, int32_t y) {
  if (dragKind_) dragAt_ = dragKind_ >= kDragRowNumbers ? x : y;
}

void CTermView::drawRubberBand(QPainter& painter, const UnitMapper& mapper) {
  if (!dragKind_) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  painter.setPen(QPen(Qt::black, 0));
  if (dragKind_ >= kDragRowNumbers) {
    const QPointF at = mapper.toDevice(dragAt_, 0);
    painter.drawLine(QPointF(at.x(), 0), QPointF(at.x(), viewport()->height()));
  } else {
    const QPointF at = mapper.toDevice(0, dragAt_);
    painter.drawLine(QPointF(0, at.y()), QPointF(viewport()->width(), at.y()));
  }
  painter.restore();
}

void CTermView::endSeparatorDrag(int32_t x, int32_t y, bool apply) {
  const int kind = dragKind_;
  dragKind_ = 0;
  if (!apply || !kind) return;
  const TimeScaleSettings& s = scale_.settings();
  const TimeScaleSettings before = stored_;
  if (kind == kDragScaleRow) {
    // The strip's new height is from its top to the pointer; three rows.
    const int32_t strip = stripHeight() - (y + topRow_ * s.rowHeight);
    stored_.scaleRowHeight = int16_t(std::clamp<int32_t>((strip + 2) / 3, 1, kMaxSize));
  } else if (kind == kDragRow) {
    stored_.rowHeight = int16_t(std::clamp<int32_t>(-y - topRow_ * s.rowHeight, 1, kMaxSize));
  } else if (kind == kDragRowNumbers) {
    // The column's left edge stays at the view's left; the edge dragged
    // was its right.
    stored_.rowNumberWidth =
        int16_t(std::clamp<int32_t>(s.rowNumberWidth + x - rowNumberEdge(), 0, kMaxSize));
  } else {
    stored_.leftTableWidth = int16_t(std::clamp<int32_t>(x, 0, kMaxSize));
  }
  if (CPlanDoc* doc = document()) {
    // Undo swaps the four sizes back; a second undo restores the change.
    doc->undo().keep(this, [this, kept = before]() mutable {
      TimeScaleSettings live = stored_;
      std::swap(live.rowNumberWidth, kept.rowNumberWidth);
      std::swap(live.leftTableWidth, kept.leftTableWidth);
      std::swap(live.scaleRowHeight, kept.scaleRowHeight);
      std::swap(live.rowHeight, kept.rowHeight);
      setScaleSettings(live);
      rowsMoved();
      return true;
    });
    doc->setModified();
  }
  setScaleSettings(stored_);
  rowsMoved();
}

// --- Printing ------------------------------------------------------------------------

bool CTermView::preparePrinting(const PrintFormat& format, PrintLayout* layout) {
  if (!CBaseView::preparePrinting(format, layout)) return false;
  pages_ = planTimePages(scale_, pageRequest(format, layout->body.width(), layout->body.height()));
  if (pages_.axisWidth <= 0) {
    // The row-number column leaves no room for the axis.
    QApplication::beep();
    showMessage(this, kMsgMarginsTooLarge);
    return false;
  }
  sharedWidth_ = pages_.sharedWidth;
  layout->pagesAcross = pages_.pagesAcross;
  layout->pagesDown = pages_.pagesDown;
  return true;
}

TimePageRequest CTermView::pageRequest(const PrintFormat& format, int32_t width,
                                       int32_t height) const {
  TimePageRequest request;
  request.bodyWidth = width;
  request.bodyHeight = height;
  request.repeatedStrip = format.flags & printflag::kRepeatScale ? stripHeight() : 0;
  request.rowNumbers = printsRowNumbers(format) ? scale_.settings().rowNumberWidth : 0;
  request.rowCount = printedRowCount();
  request.leadingPages = leadingPages_;
  request.sharedWidth = sharedWidth_;
  return request;
}

void CTermView::pageOrigin(const PrintLayout&, int column, int row, int32_t* x, int32_t* y) const {
  const TimePage page = pages_.page(scale_, column, row);
  *x = page.originX;
  *y = page.originY;
}

void CTermView::printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                          const PrintFormat& format) {
  page_ = pages_.page(scale_, layout.pageColumn, layout.pageRow);
  CBaseView::printPage(painter, paper, layout, format);
}

// --- The row-number column --------------------------------------------------------------

QString CTermView::rowNumberText(int32_t row) const {
  return QString::number(row + 1);
}

int32_t CTermView::rowNumberEdge() const {
  return showsRowNumbers() ? xPos_ : 0;
}

bool CTermView::inRowNumberColumn(int32_t x) const {
  return x < rowNumberEdge();
}

bool CTermView::printsRowNumbers(const PrintFormat& format) const {
  if (!showsRowNumbers() || scale_.settings().rowNumberWidth <= 0) return false;
  return !printFormParts().rowColumn || (format.flags & printflag::kRowColumn);
}

PrintFormParts CTermView::printFormParts() const {
  PrintFormParts parts = CBaseView::printFormParts();
  parts.scale = true;
  return parts;
}

}  // namespace kelvo

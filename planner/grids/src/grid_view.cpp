#include "kelvo/grid_view.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kIndent = 10;  // text indent from a cell's side and top
constexpr int kMsgMarginsTooLarge = 20013;

QString fieldName(const FieldDesc* fd) {
  if (!fd) return {};
  return xjor::fromCp949(fd->name, static_cast<int>(strnlen(fd->name, sizeof fd->name)));
}

// Draws text into a cell: one line vertically centred when the font is
// high enough for the row, else word-wrapped from 10 units below its top.
void drawCellText(QPainter& p, const UnitMapper& m, int32_t left, int32_t top, int32_t right,
                  int32_t bottom, const QString& text, int align, int32_t fontHeight,
                  bool centreHeader) {
  if (text.isEmpty() || right <= left) return;
  const bool oneLine = (5 - fontHeight) * 2 >= top - bottom;
  int32_t l = left, r = right;
  int flags = 0;
  if (centreHeader || align == kAlignCentre) {
    flags |= Qt::AlignHCenter;
  } else if (align == kAlignRight) {
    flags |= Qt::AlignRight;
    r -= kIndent;
  } else {
    flags |= Qt::AlignLeft;
    l += kIndent;
  }
  const QRectF clip = m.toDevice(left, top, right, bottom);
  QRectF box = m.toDevice(l, oneLine ? top : top - kIndent, r, bottom);
  if (oneLine) {
    flags |= Qt::AlignVCenter | Qt::TextSingleLine;
    box.setTop(clip.top());
  } else {
    flags |= Qt::AlignTop | Qt::TextWordWrap;
  }
  p.save();
  p.setClipRect(clip, Qt::IntersectClip);
  p.drawText(box, flags, text);
  p.restore();
}

}  // namespace

CGridView::CGridView(CPlanDoc* doc, QWidget* parent) : CBaseView(doc, parent) {
  format_ = defaultGridFormat();
  edit_ = new QLineEdit(viewport());
  edit_->setFrame(false);
  edit_->hide();
  edit_->installEventFilter(this);
  list_ = new QComboBox(viewport());
  list_->hide();
  list_->installEventFilter(this);
  horizontalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setSingleStep(1);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

CGridView::~CGridView() {
  if (document()) document()->undo().release(this);
}

// --- Geometry -------------------------------------------------------------------

GridGeometry CGridView::geometry() const {
  GridGeometry g;
  g.headerHeight = format_.headerHeight;
  g.rowHeight = std::max<int>(format_.rowHeight, 1);
  g.rowNumberWidth = format_.rowNumberWidth;
  g.firstColumn = firstColumn_;
  for (const ColumnRecord& c : columns_) g.widths.push_back(std::max<int>(c.width, 0));
  return g;
}

int32_t CGridView::sheetLeft(int column) const {
  int32_t x = 0;
  for (int c = 0; c < column && c < static_cast<int>(columns_.size()); ++c)
    x += std::max<int>(columns_[c].width, 0);
  return x;
}

ViewPosition CGridView::pointToPosition(int32_t x, int32_t y) const {
  ViewPosition p;
  p.x = x + sheetLeft(firstColumn_);
  p.y = y - topRow_ * std::max<int>(format_.rowHeight, 1);
  return p;
}

void CGridView::positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const {
  if (x) *x = position.x - sheetLeft(firstColumn_);
  if (y) *y = position.y + topRow_ * std::max<int>(format_.rowHeight, 1);
}

int CGridView::dataWidth() const {
  return computeClientRect().width() - format_.rowNumberWidth;
}

int32_t CGridView::bodyHeight() const {
  return computeClientRect().height() - format_.headerHeight;
}

int CGridView::visibleRows() const {
  return std::max<int>(bodyHeight() / std::max<int>(format_.rowHeight, 1), 1);
}

void CGridView::setOriginFromLayout() {
  setScrollOrigin(-static_cast<int32_t>(format_.rowNumberWidth), format_.headerHeight);
}

void CGridView::syncScrollBars() {
  syncing_ = true;
  const int columns = static_cast<int>(columns_.size());
  horizontalScrollBar()->setRange(0, std::max(columns - 1, 0));
  horizontalScrollBar()->setPageStep(
      std::max(lastFullyVisibleColumn(geometry(), dataWidth()) - firstColumn_ + 1, 1));
  horizontalScrollBar()->setValue(firstColumn_);
  verticalScrollBar()->setRange(0, rowCount_);
  verticalScrollBar()->setPageStep(visibleRows());
  verticalScrollBar()->setValue(topRow_);
  syncing_ = false;
}

void CGridView::updateScrollBars() {
  syncScrollBars();
}

void CGridView::updateGrid() {
  const int columns = static_cast<int>(columns_.size());
  firstColumn_ = std::clamp(firstColumn_, 0, std::max(columns - 1, 0));
  curColumn_ = std::clamp(curColumn_, 0, std::max(columns - 1, 0));
  curRow_ = std::clamp(curRow_, 0, rowCount_);
  topRow_ = std::clamp(topRow_, 0, rowCount_);
  // Keep the current cell in view.
  if (curRow_ < topRow_) topRow_ = curRow_;
  if (curRow_ >= topRow_ + visibleRows()) topRow_ = curRow_ - visibleRows() + 1;
  if (curColumn_ < firstColumn_ ||
      (curColumn_ > lastFullyVisibleColumn(geometry(), dataWidth()) && curColumn_ > firstColumn_))
    firstColumn_ = curColumn_;
  setOriginFromLayout();
  syncScrollBars();
  placeEditor();
  viewport()->update();
}

void CGridView::resizeEvent(QResizeEvent* event) {
  CBaseView::resizeEvent(event);
  syncScrollBars();
  placeEditor();
}

// --- Drawing --------------------------------------------------------------------

void CGridView::drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                            bool printing) {
  const int end = static_cast<int>(columns_.size());
  drawGrid(painter, mapper, visible.right, -visible.bottom, firstColumn_, end, topRow_,
           rowCount_ + 1, printing);
}

void CGridView::drawGrid(QPainter& p, const UnitMapper& m, int32_t width, int32_t height,
                         int firstColumn, int endColumn, int topRow, int rowLimit, bool printing) {
  const int32_t hh = format_.headerHeight;
  const int32_t rh = std::max<int>(format_.rowHeight, 1);
  const int32_t rn = format_.rowNumberWidth;
  const QPen gridPen(xjor::colorFromRef(format_.gridLine), 0);

  // Column edges that are on the page.
  std::vector<std::pair<int, int32_t>> cols;  // column, left
  int32_t x = 0;
  for (int c = firstColumn; c < endColumn && x < width; ++c) {
    cols.emplace_back(c, x);
    x += std::max<int>(columns_[c].width, 0);
  }
  const int32_t right = std::min(x, width);

  // 1. Header strip and its titles (not on pages printed without it).
  if (!printing || printsHeader_) {
    p.fillRect(m.toDevice(-rn, hh, right, 0), xjor::colorFromRef(format_.headerBack));
    p.setFont(xjor::fontFromLogFont(format_.headerFont));
    p.setPen(xjor::colorFromRef(format_.headerText));
    const int32_t headerFont = format_.headerFont.lfHeight;
    for (const auto& [c, left] : cols) {
      const ColumnRecord& col = columns_[c];
      QString title =
          xjor::fromCp949(col.title, static_cast<int>(strnlen(col.title, sizeof col.title)));
      if (title.isEmpty()) title = fieldName(fieldDesc(col.field));
      drawCellText(p, m, left, hh, left + col.width, 0, title, kAlignCentre, headerFont, true);
    }
  }

  // 2. Rows: the records, and on screen the new-record row after them.
  beginRows();
  p.setFont(xjor::fontFromLogFont(format_.bodyFont));
  const QColor body = xjor::colorFromRef(format_.bodyText);
  const int32_t bodyFont = format_.bodyFont.lfHeight;
  int32_t y = 0;
  int row = topRow;
  for (; row < rowLimit && y > -height; ++row, y -= rh) {
    const QString label = rowLabel(row);
    const bool marked = !printing && selected_.count(row);
    if (rn > 0) {
      if (marked) p.fillRect(m.toDevice(-rn, y, 0, y - rh), Qt::black);
      p.setPen(marked ? QColor(Qt::white) : body);
      drawCellText(p, m, -rn, y, 0, y - rh, label, kAlignCentre, bodyFont, true);
    }
    p.setPen(body);
    for (const auto& [c, left] : cols) {
      const ColumnRecord& col = columns_[c];
      drawCellText(p, m, left, y, left + col.width, y - rh, cellText(col.field), col.align,
                   bodyFont, false);
    }
  }
  endRows();
  const int32_t bottom = std::max(y, -height);

  // 3. Grid lines, 1 pixel wide.
  p.setPen(gridPen);
  p.drawLine(m.toDevice(-rn, hh), m.toDevice(right, hh));
  for (int32_t ly = 0; ly >= bottom; ly -= rh)
    p.drawLine(m.toDevice(-rn, ly), m.toDevice(right, ly));
  if (rn > 0) p.drawLine(m.toDevice(-rn, hh), m.toDevice(-rn, bottom));
  p.drawLine(m.toDevice(0, hh), m.toDevice(0, bottom));
  for (const auto& [c, left] : cols) {
    const int32_t edge = left + columns_[c].width;
    if (edge <= width) p.drawLine(m.toDevice(edge, hh), m.toDevice(edge, bottom));
  }
}

void CGridView::drawRubberBand(QPainter& painter, const UnitMapper& mapper) {
  if (drag_.kind == DragKind::None) return;
  const LogicalRect c = computeClientRect();
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  painter.setPen(QPen(Qt::black, 0));
  if (drag_.kind == DragKind::Header || drag_.kind == DragKind::Row)
    painter.drawLine(mapper.toDevice(c.left, drag_.y), mapper.toDevice(c.right, drag_.y));
  else
    painter.drawLine(mapper.toDevice(drag_.x, c.top), mapper.toDevice(drag_.x, c.bottom));
  painter.restore();
}

// --- Resizing and undo ----------------------------------------------------------

bool CGridView::hitSeparator(int32_t x, int32_t y) {
  const DragHit hit = kelvo::hitSeparator(geometry(), x, y, dataWidth());
  if (hit.kind == DragKind::None) return false;
  drag_ = {hit.kind, hit.column, x, y};
  return true;
}

void CGridView::placeDataItem(int32_t x, int32_t y) {
  drag_.x = x;
  drag_.y = y;
}

void CGridView::endSeparatorDrag(int32_t x, int32_t y, bool apply) {
  const Drag d = drag_;
  drag_ = Drag{};
  if (!apply || d.kind == DragKind::None) return;
  const int32_t hh = format_.headerHeight;
  int size = 0;
  switch (d.kind) {
    case DragKind::Header:
      size = hh - y;
      break;  // from the header's top
    case DragKind::Row:
      size = -y;
      break;  // from the body's top
    case DragKind::RowNumber:
      size = x + format_.rowNumberWidth;
      break;
    case DragKind::Column:
      size = x - columnLeft(geometry(), d.column);
      break;
    case DragKind::None:
      return;
  }
  applyResize(d.kind, d.column, size);
}

void CGridView::applyResize(DragKind kind, int column, int size) {
  const bool validColumn = column >= 0 && column < static_cast<int>(columns_.size());
  if (kind == DragKind::None || (kind == DragKind::Column && !validColumn)) return;
  keepUndo([this, kept = sizes(kind == DragKind::Column ? column : -1)]() mutable {
    const GridSizes now = sizes(kept.column);
    setSizes(kept);
    kept = now;
    return true;
  });
  switch (kind) {
    case DragKind::Header:
      format_.headerHeight = std::clamp(size, 1, 32767);
      break;
    case DragKind::Row:
      format_.rowHeight = std::clamp(size, 1, 32767);
      break;
    case DragKind::RowNumber:
      format_.rowNumberWidth = std::clamp(size, 0, 32767);
      break;
    case DragKind::Column:
      columns_[column].width = static_cast<int16_t>(std::clamp(size, 0, 32767));
      break;
    case DragKind::None:
      break;
  }
  layoutChanged();
  updateGrid();
}

bool CGridView::undoLayout() {
  return document() && document()->undo().undo(this);
}

void CGridView::changeFormat(const GridFormat& format) {
  keepUndo([this, kept = format_]() mutable {
    std::swap(format_, kept);
    layoutChanged();
    updateGrid();
    return true;
  });
  format_ = format;
  layoutChanged();
  updateGrid();
}

void CGridView::keepUndo(std::function<bool()> swap) {
  if (document()) document()->undo().keep(this, std::move(swap));
}

GridSizes CGridView::sizes(int column) const {
  GridSizes now;
  now.headerHeight = format_.headerHeight;
  now.rowHeight = format_.rowHeight;
  now.rowNumberWidth = format_.rowNumberWidth;
  now.column = column >= 0 && column < static_cast<int>(columns_.size()) ? column : -1;
  if (now.column >= 0) now.columnWidth = columns_[now.column].width;
  return now;
}

void CGridView::setSizes(const GridSizes& kept) {
  format_.headerHeight = static_cast<uint16_t>(kept.headerHeight);
  format_.rowHeight = static_cast<uint16_t>(kept.rowHeight);
  format_.rowNumberWidth = static_cast<uint16_t>(kept.rowNumberWidth);
  if (kept.column >= 0 && kept.column < static_cast<int>(columns_.size()))
    columns_[kept.column].width = static_cast<int16_t>(kept.columnWidth);
  layoutChanged();
  updateGrid();
}

void CGridView::layoutChanged() {
  if (document()) document()->setModified();
}

// --- Scrolling and navigation ------------------------------------------------------

void CGridView::scrollView(Qt::Orientation orientation, ScrollAction action, int thumb) {
  if (orientation == Qt::Horizontal) {
    const GridGeometry g = geometry();
    int first = firstColumn_;
    switch (action) {
      case ScrollAction::LineBack:
        first = scrollColumns(g, HScroll::LineLeft, dataWidth());
        break;
      case ScrollAction::LineForward:
        first = scrollColumns(g, HScroll::LineRight, dataWidth());
        break;
      case ScrollAction::PageBack:
        first = scrollColumns(g, HScroll::PageLeft, dataWidth());
        break;
      case ScrollAction::PageForward:
        first = scrollColumns(g, HScroll::PageRight, dataWidth());
        break;
      case ScrollAction::ToStart:
        first = 0;
        break;
      case ScrollAction::ToEnd:
        first = scrollColumns(g, HScroll::End, dataWidth());
        break;
      case ScrollAction::Thumb:
        first = std::clamp(thumb, 0, std::max(static_cast<int>(columns_.size()) - 1, 0));
        break;
    }
    if (first == firstColumn_) return;
    firstColumn_ = first;
  } else {
    int top = topRow_;
    switch (action) {
      case ScrollAction::LineBack:
        top -= 1;
        break;
      case ScrollAction::LineForward:
        top += 1;
        break;
      case ScrollAction::PageBack:
        top -= visibleRows();
        break;
      case ScrollAction::PageForward:
        top += visibleRows();
        break;
      case ScrollAction::ToStart:
        top = 0;
        break;
      case ScrollAction::ToEnd:
        top = rowCount_;
        break;
      case ScrollAction::Thumb:
        top = thumb;
        break;
    }
    top = std::clamp(top, 0, rowCount_);
    if (top == topRow_) return;
    topRow_ = top;
  }
  syncScrollBars();
  placeEditor();
  viewport()->update();
}

void CGridView::scrollContentsBy(int, int) {
  if (syncing_) return;
  scrollView(Qt::Horizontal, ScrollAction::Thumb, horizontalScrollBar()->value());
  scrollView(Qt::Vertical, ScrollAction::Thumb, verticalScrollBar()->value());
}

void CGridView::scrollRows(int delta) {
  scrollView(Qt::Vertical, delta < 0 ? ScrollAction::PageBack : ScrollAction::PageForward);
}

bool CGridView::goToRow(int row) {
  if (row < 0 || row == curRow_) return false;
  if (row > rowCount_) {
    // Beyond the new-record row: only a committed new record makes room.
    if (!moveToRow(kCommitOnly) || row > rowCount_) {
      placeEditor();
      return false;
    }
  }
  if (!moveToRow(row)) return false;
  // Past the bottom: exactly one row further; above the top: that row on top.
  if (curRow_ >= topRow_ + visibleRows()) topRow_ = std::min(topRow_ + 1, rowCount_);
  if (curRow_ >= topRow_ + visibleRows()) topRow_ = curRow_ - visibleRows() + 1;
  if (curRow_ < topRow_) topRow_ = curRow_;
  syncScrollBars();
  placeEditor();
  viewport()->update();
  return true;
}

bool CGridView::goToColumn(int column) {
  if (column < 0 || column >= static_cast<int>(columns_.size()) || column == curColumn_)
    return false;
  if (!moveToColumn(column)) return false;
  if (curColumn_ < firstColumn_ ||
      (curColumn_ > lastFullyVisibleColumn(geometry(), dataWidth()) && curColumn_ > firstColumn_))
    firstColumn_ = curColumn_;
  syncScrollBars();
  placeEditor();
  viewport()->update();
  return true;
}

bool CGridView::dataKey(int key, Qt::KeyboardModifiers modifiers) {
  switch (key) {
    case Qt::Key_Tab:
      goToColumn(curColumn_ + 1);
      return true;
    case Qt::Key_Backtab:
      goToColumn(curColumn_ - 1);
      return true;
    case Qt::Key_Right:
      goToColumn(curColumn_ + 1);
      return true;
    case Qt::Key_Left:
      goToColumn(curColumn_ - 1);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
      goToRow(curRow_ + 1);
      return true;
    case Qt::Key_Up:
      goToRow(curRow_ - 1);
      return true;
    default:
      break;
  }
  (void)modifiers;
  return false;
}

bool CGridView::focusNextPrevChild(bool) {
  // Tab and Shift+Tab move between cells, never out of the grid.
  return false;
}

bool CGridView::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == edit_ || watched == list_) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const int k = key->key();
    // Inside the text the arrows move the caret until it reaches an end.
    if (watched == edit_ && (k == Qt::Key_Left || k == Qt::Key_Right) &&
        !edit_->hasSelectedText()) {
      const bool atEnd = k == Qt::Key_Left ? edit_->cursorPosition() == 0
                                           : edit_->cursorPosition() == edit_->text().size();
      if (!atEnd) return false;
    }
    if (watched == list_ && (k == Qt::Key_Up || k == Qt::Key_Down) &&
        (key->modifiers() & Qt::AltModifier))
      return false;
    switch (k) {
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        keyPressEvent(key);
        return true;
      default:
        break;
    }
  }
  return CBaseView::eventFilter(watched, event);
}

// --- In-place editor ----------------------------------------------------------------

bool CGridView::editableCell() const {
  if (readOnly() || viewState().editTool != tool::kDataInput) return false;
  if (curColumn_ < 0 || curColumn_ >= static_cast<int>(columns_.size())) return false;
  if (curRow_ < topRow_ || curRow_ >= topRow_ + visibleRows() + 1) return false;
  if (curColumn_ < firstColumn_) return false;
  return columnLeft(geometry(), curColumn_) < dataWidth();
}

bool CGridView::editorShown() const {
  return editorOn_;
}

void CGridView::hideEditor() {
  const bool hadFocus = edit_->hasFocus() || list_->hasFocus();
  edit_->hide();
  list_->hide();
  editorOn_ = false;
  if (hadFocus) setFocus();
}

void CGridView::placeEditor() {
  if (!editableCell()) {
    hideEditor();
    return;
  }
  const ColumnRecord& col = columns_[curColumn_];
  const FieldDesc* fd = fieldDesc(col.field);
  if (!fd) {
    hideEditor();
    return;
  }
  const int32_t left = columnLeft(geometry(), curColumn_);
  const int32_t top = -(curRow_ - topRow_) * std::max<int>(format_.rowHeight, 1);
  const QRect cell = screenMapper()
                         .toDevice(left, top, left + col.width, top - format_.rowHeight)
                         .toRect()
                         .adjusted(1, 1, 0, 0);
  const bool isList = fd->type == XF_REF;
  QWidget* w = isList ? static_cast<QWidget*>(list_) : edit_;
  (isList ? static_cast<QWidget*>(edit_) : list_)->hide();
  const bool wasOn = editorOn_ && w->isVisible();
  w->setGeometry(cell);
  w->setFont(xjor::fontFromLogFont(format_.bodyFont));
  if (!wasOn || property("kelvoCell").toPoint() != QPoint(curColumn_, curRow_)) {
    loadEditor(edit_, list_, *fd);
    setProperty("kelvoCell", QPoint(curColumn_, curRow_));
  }
  editorOn_ = true;
  w->show();
  if (hasFocus() || edit_->hasFocus() || list_->hasFocus() || !isActiveWindow()) w->setFocus();
}

void CGridView::reloadEditor() {
  setProperty("kelvoCell", QPoint(-1, -1));
  placeEditor();
}

bool CGridView::commitCell() {
  if (!editorOn_ || curColumn_ < 0 || curColumn_ >= static_cast<int>(columns_.size())) return false;
  const FieldDesc* fd = fieldDesc(columns_[curColumn_].field);
  if (!fd) return false;
  const bool changed = storeEditor(edit_, list_, *fd);
  // The editor is loaded again when it is next placed.
  setProperty("kelvoCell", QPoint(-1, -1));
  return changed;
}

// --- Selection and clicks -------------------------------------------------------------

void CGridView::selectOnly(int row) {
  selected_.clear();
  if (row >= 0 && row < rowCount_) selected_.insert(row);
  if (row < topRow_ || row >= topRow_ + visibleRows()) topRow_ = std::clamp(row, 0, rowCount_);
  syncScrollBars();
  placeEditor();
  viewport()->update();
}

void CGridView::dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) {
  if (y > 0) return;  // the header
  const int row = topRow_ + static_cast<int>(-y / std::max<int>(format_.rowHeight, 1));
  if (row > rowCount_) return;
  const int column = columnAt(geometry(), x);
  if (viewState().editTool == tool::kDataSelect) {
    if (!(modifiers & Qt::ControlModifier)) selected_.clear();
    if (row < rowCount_) {
      if (selected_.count(row))
        selected_.erase(row);
      else
        selected_.insert(row);
    }
    viewport()->update();
  }
  if (row != curRow_ && !goToRow(row)) return;
  if (column >= 0 && column != curColumn_) goToColumn(column);
  placeEditor();
}

// --- Printing ---------------------------------------------------------------------------

bool CGridView::preparePrinting(const PrintFormat& format, PrintLayout* layout) {
  if (!CBaseView::preparePrinting(format, layout)) return false;
  GridGeometry g = geometry();
  g.headerHeight = printedHeaderHeight();
  if (!planPrint(g, layout->body.width(), layout->body.height(), rowCount_, &plan_)) {
    showMessage(this, kMsgMarginsTooLarge);
    return false;
  }
  layout->pagesAcross = static_cast<int>(plan_.firstColumns.size());
  layout->pagesDown = plan_.pagesDown;
  return true;
}

void CGridView::printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                          const PrintFormat& format) {
  printColumns(painter, paper, layout);
  drawPageFrame(painter, paper, layout, format);
}

int32_t CGridView::printedWidth(int across) const {
  if (across < 0 || across >= static_cast<int>(plan_.firstColumns.size())) return 0;
  const int end = plan_.endColumn(across, static_cast<int>(columns_.size()));
  int32_t width = format_.rowNumberWidth;
  for (int c = plan_.firstColumns[across]; c < end; ++c)
    width += std::max<int>(columns_[c].width, 0);
  return width;
}

void CGridView::printColumns(QPainter& painter, const UnitMapper& paper,
                             const PrintLayout& layout) {
  const int across = layout.pageColumn;
  const int first = plan_.firstColumns.empty() ? 0 : plan_.firstColumns[across];
  const int end = plan_.endColumn(across, static_cast<int>(columns_.size()));
  const int top = layout.pageRow * plan_.rowsPerPage;
  const int limit = std::min(top + plan_.rowsPerPage, rowCount_);
  // The page in view units: (-row-number width, header height) lands on the
  // body's top-left corner.
  const QPointF corner = paper.toDevice(layout.body.left, layout.body.top);
  const int32_t header = printedHeaderHeight();
  const UnitMapper view =
      paper.withOrigin(-static_cast<int32_t>(format_.rowNumberWidth), header, corner);
  painter.save();
  painter.setClipRect(paper.toDevice(layout.body));
  printObjectLayer(painter, view, layout, first, top, false);
  drawGrid(painter, view, layout.body.width() - format_.rowNumberWidth,
           layout.body.height() - header, first, end, top, limit, true);
  printObjectLayer(painter, view, layout, first, top, true);
  painter.restore();
  painter.setClipping(false);
}

void CGridView::printObjectLayer(QPainter& painter, const UnitMapper& view,
                                 const PrintLayout& layout, int first, int top, bool front) {
  const int32_t rh = std::max<int>(format_.rowHeight, 1);
  // The page shows the sheet from (first, top) on; the screen from
  // (firstColumn_, topRow_) on.
  const int32_t shiftX = sheetLeft(firstColumn_) - sheetLeft(first);
  const int32_t shiftY = (top - topRow_) * rh;
  // An object belongs to the page that holds its place: a page ends at its
  // last column and row unless it is the last page across or down, so
  // nothing prints twice.
  const bool lastAcross = layout.pageColumn + 1 >= static_cast<int>(plan_.firstColumns.size());
  const bool lastDown = layout.pageRow + 1 >= plan_.pagesDown;
  LogicalRect body{0, 0, layout.body.width() - format_.rowNumberWidth,
                   -(layout.body.height() - printedHeaderHeight())};
  if (!lastAcross) body.right = printedWidth(layout.pageColumn) - format_.rowNumberWidth;
  if (!lastDown) body.bottom = std::max(body.bottom, -plan_.rowsPerPage * rh);
  drawObjectLayer(painter, view, body, front, shiftX, shiftY);
}

// --- Commands ----------------------------------------------------------------------------

bool CGridView::onCommand(int id) {
  if (id == cmd::kEditUndo && undoLayout()) return true;
  const bool tools = id >= cmd::kToolFirst && id <= cmd::kToolLast;
  if (tools && viewState().editTool == tool::kDataInput && id != cmd::kToolFirst + tool::kDataInput)
    moveToRow(kCommitOnly);
  const bool handled = CBaseView::onCommand(id);
  if (tools) placeEditor();
  return handled;
}

bool CGridView::updateCommand(int id, CommandState& state) {
  if (id == cmd::kEditUndo && document() && document()->undo().canUndo(this)) {
    state.enabled = true;
    return true;
  }
  return CBaseView::updateCommand(id, state);
}

}  // namespace kelvo

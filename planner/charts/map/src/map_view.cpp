#include "kelvo/map_view.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <algorithm>
#include <cstring>
#include <numeric>

#include "kelvo/map_edit.h"
#include "kelvo/messages.h"
#include "kelvo/object_layer.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/summary_build.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kMsgReadOnlyItem = 20007;
constexpr int kMsgComputedItem = 20041;
constexpr int32_t kTextInset = 10;

MapDialogs& dialogs() {
  static MapDialogs d;
  return d;
}

// The shared displayed items (one field per mode, -1 none).
struct SharedItems {
  int16_t field[3] = {-1, -1, -1};
};

SharedItems readSharedItems(CPlanDoc* doc) {
  SharedItems s;
  if (doc && doc->isOpen() &&
      xOption(&doc->db().opt, XOPT_SIZE, kOptMapItem, nullptr, 0) >= int32_t(sizeof s))
    xOption(&doc->db().opt, XOPT_READ, kOptMapItem, &s, sizeof s);
  return s;
}

QString cellText(const TableHandle* tb, int32_t ref, const char* record, int field) {
  char out[XF_VALUE_BUFFER];
  xGetValue(tb->fields, ref, out, record, field, -1);
  return xjor::fromCp949(out, int(std::strlen(out)));
}

// The names of a table's fields, in field order (none without a table).
QStringList fieldNames(const TableHandle* tb) {
  QStringList names;
  if (tb)
    for (int i = 0; i < tb->fieldCount; ++i)
      names << xjor::fromCp949(tb->fields[i].name,
                               int(strnlen(tb->fields[i].name, sizeof tb->fields[i].name)));
  return names;
}

bool isTextField(const FieldDesc& f) {
  return f.type == XF_STRING || f.type == XF_CHAR || f.type == XF_REF || f.type == XF_DATE;
}

}  // namespace

void setMapDialogs(MapDialogs d) {
  dialogs() = std::move(d);
}

CMapView::CMapView(CPlanDoc* doc, MapMode mode, QWidget* parent)
    : CBaseView(doc, parent), settings_(defaultMapSettings()) {
  layout_.mode = mode;
  setViewFlags(settings_.flags);
}

void CMapView::setSettings(const MapSettings& settings) {
  settings_ = settings;
  clampMapSettings(&settings_);
  setViewFlags(settings_.flags);
  applyScroll();
  viewport()->update();
}

void CMapView::setDisplayedItem(int field) {
  const TableHandle* tb = layout_.table;
  item_ = tb && field >= 0 && field < tb->fieldCount ? field : -1;
  viewport()->update();
}

void CMapView::chooseDisplayedItem(int field) {
  setDisplayedItem(field);
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  SharedItems shared = readSharedItems(doc);
  shared.field[int(layout_.mode)] = int16_t(item_);
  xOption(&doc->db().opt, XOPT_WRITE, kOptMapItem, &shared, sizeof shared);
}

QStringList CMapView::itemNames() const {
  return fieldNames(layout_.table);
}

QStringList CMapView::headingItemNames() const {
  CPlanDoc* doc = document();
  return doc && doc->isOpen() ? fieldNames(&doc->db().wbs.tb) : QStringList();
}

void CMapView::setMode(MapMode mode) {
  if (built_ && document() && document()->isOpen()) storeMapLists(document()->db(), layout_);
  layout_ = MapLayout{};
  layout_.mode = mode;
  selected_.clear();
  topRow_ = leftColumn_ = 0;
  built_ = false;
  initialUpdate();
}

int32_t CMapView::rowHeadingWidth() const {
  return std::accumulate(rowHeads_.begin(), rowHeads_.end(), int32_t(settings_.nameWidth));
}

int32_t CMapView::columnHeadingHeight() const {
  return std::accumulate(columnHeads_.begin(), columnHeads_.end(), int32_t(0));
}

// --- Data -------------------------------------------------------------------------

void CMapView::readSettings() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  const int item = kindItem(KindRecord::Settings, ViewKind::Map);
  MapSettings s = defaultMapSettings();
  if (xOption(&doc->db().opt, XOPT_SIZE, item, nullptr, 0) >= int32_t(sizeof s))
    xOption(&doc->db().opt, XOPT_READ, item, &s, sizeof s);
  settings_ = s;
  clampMapSettings(&settings_);
  setViewFlags(settings_.flags);
}

void CMapView::rebuild() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  // The document's definitions are the live ones; the option file gets
  // them only when the project is written.
  ClassLevels classes[2] = {};
  for (int cls = 0; cls < 2; ++cls) {
    const ClassDef& def = doc->classDef(cls);
    classes[cls].count = def.levels;
    std::memcpy(classes[cls].start, def.start, sizeof def.start);
    std::memcpy(classes[cls].length, def.length, sizeof def.length);
  }
  const MapMode mode = layout_.mode;
  layout_ = buildMapLayout(doc->db(), classes, mode);
  rowHeads_ = headingSizes(int(layout_.rows.levelLengths.size()));
  columnHeads_ = headingSizes(int(layout_.columns.levelLengths.size()));
  selected_.clear();
  selRow1_ = -1;
  linksValid_ = false;
}

void CMapView::initialUpdate() {
  if (!settingsRead_) {
    readSettings();
    settingsRead_ = true;
  }
  if (!built_) {
    const int field = readSharedItems(document()).field[int(layout_.mode)];
    rebuild();
    setDisplayedItem(field);
    built_ = true;
  }
  topRow_ = std::clamp<int32_t>(topRow_, 0, std::max<int32_t>(0, rowCount() - 1));
  leftColumn_ = std::clamp<int32_t>(leftColumn_, 0, std::max<int32_t>(0, columnCount() - 1));
  applyScroll();
  CBaseView::initialUpdate();
}

void CMapView::onUpdate(int hintCode, qintptr extra) {
  switch (hintCode) {
    case 4:
      refreshCells();
      viewport()->update();
      return;
    case hint::kRepaint:
      // A record changed elsewhere may have moved to another cell, and
      // relation edits come here too.
      if (!editing_) refreshCells();
      viewport()->update();
      return;
    case hint::kSummaryRebuilt:
      if (layout_.mode != MapMode::Summary) return;
      [[fallthrough]];
    case hint::kRefresh:
    case hint::kInitialUpdate:
    case hint::kSettingsRewritten:
      built_ = false;
      initialUpdate();
      return;
    case hint::kOptionBarChange:
      // The window is opened anew for another mode; here the lists are
      // stored and the same mode built again.
      setMode(layout_.mode);
      return;
    default:
      CBaseView::onUpdate(hintCode, extra);
  }
}

void CMapView::storeSettings() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || !built_) return;
  MapSettings s = settings_;
  s.flags = viewFlags();
  xOption(&doc->db().opt, XOPT_WRITE, kindItem(KindRecord::Settings, ViewKind::Map), &s, sizeof s);
  SharedItems shared = readSharedItems(doc);
  shared.field[int(layout_.mode)] = int16_t(item_);
  xOption(&doc->db().opt, XOPT_WRITE, kOptMapItem, &shared, sizeof shared);
  storeMapLists(doc->db(), layout_);
}

void CMapView::refreshCells() {
  if (document() && document()->isOpen()) rebuildCells(document()->db(), &layout_);
  linksValid_ = false;
}

bool CMapView::readRecord(int32_t record, std::vector<char>* buf) const {
  TableHandle* tb = layout_.table;
  if (!tb || tb->handle < 0) return false;
  buf->resize(tb->recordSize + 1u);
  tb->current = record;
  return xGetRec(tb, buf->data()) != 0;
}

// --- Scrolling ----------------------------------------------------------------------

void CMapView::applyScroll() {
  setScrollOrigin(leftColumn_ * settings_.cellWidth - rowHeadingWidth(),
                  -topRow_ * settings_.cellHeight + columnHeadingHeight());
  updateScrollBars();
}

void CMapView::scrollToCell(int32_t row, int32_t column) {
  topRow_ = std::clamp<int32_t>(row, 0, std::max<int32_t>(0, rowCount() - 1));
  leftColumn_ = std::clamp<int32_t>(column, 0, std::max<int32_t>(0, columnCount() - 1));
  applyScroll();
}

void CMapView::scrollView(Qt::Orientation orientation, ScrollAction action, int thumb) {
  const bool horizontal = orientation == Qt::Horizontal;
  const LogicalRect c = clientRect();
  const int32_t cell = horizontal ? settings_.cellWidth : settings_.cellHeight;
  const int32_t room =
      horizontal ? c.width() - rowHeadingWidth() : c.height() - columnHeadingHeight();
  const int32_t page = std::max<int32_t>(1, room / cell);
  const int32_t last = std::max<int32_t>(0, (horizontal ? columnCount() : rowCount()) - 1);
  int32_t pos = horizontal ? leftColumn_ : topRow_;
  switch (action) {
    case ScrollAction::LineBack:
      --pos;
      break;
    case ScrollAction::LineForward:
      ++pos;
      break;
    case ScrollAction::PageBack:
      pos -= page;
      break;
    case ScrollAction::PageForward:
      pos += page;
      break;
    case ScrollAction::ToStart:
      pos = 0;
      break;
    case ScrollAction::ToEnd:
      pos = last;
      break;
    case ScrollAction::Thumb:
      pos = thumb;
      break;
  }
  pos = std::clamp(pos, 0, last);
  if (horizontal)
    scrollToCell(topRow_, pos);
  else
    scrollToCell(pos, leftColumn_);
}

void CMapView::updateScrollBars() {
  // Both bars count cells.
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  const QSignalBlocker bh(h), bv(v);
  h->setRange(0, std::max<int32_t>(0, columnCount() - 1));
  h->setPageStep(1);
  h->setValue(leftColumn_);
  v->setRange(0, std::max<int32_t>(0, rowCount() - 1));
  v->setPageStep(1);
  v->setValue(topRow_);
}

void CMapView::scrollContentsBy(int, int) {
  scrollToCell(verticalScrollBar()->value(), horizontalScrollBar()->value());
}

// --- Positions --------------------------------------------------------------------

bool CMapView::cellAt(int32_t x, int32_t y, int32_t* row, int32_t* column, bool clamp) const {
  const MapPlace p = mapPlace(x, y, settings_.cellWidth, settings_.cellHeight);
  if (rowCount() == 0 || columnCount() == 0) return false;
  if (clamp) {
    *row = std::clamp<int32_t>(p.row, 0, rowCount() - 1);
    *column = std::clamp<int32_t>(p.column, 0, columnCount() - 1);
    return true;
  }
  *row = p.row;
  *column = p.column;
  return p.row >= 0 && p.row < rowCount() && p.column >= 0 && p.column < columnCount();
}

ViewPosition CMapView::pointToPosition(int32_t x, int32_t y) const {
  const MapPlace p =
      mapPlace(std::max(x, 0), std::min(y, 0), settings_.cellWidth, settings_.cellHeight);
  return ViewPosition::time(uint16_t(p.column), uint16_t(p.xRemainder), uint16_t(p.row),
                            int16_t(p.yRemainder));
}

void CMapView::positionToPoint(const ViewPosition& pos, int32_t* x, int32_t* y) const {
  *x = int32_t(pos.date()) * settings_.cellWidth + pos.xRemainder();
  *y = -int32_t(pos.row()) * settings_.cellHeight + pos.yRemainder();
}

QString CMapView::positionText(int32_t x, int32_t y) const {
  const MapPlace p = mapPlace(x, y, settings_.cellWidth, settings_.cellHeight);
  return QStringLiteral("%1(%2) - %3(%4)").arg(x).arg(p.column + 1).arg(-y).arg(p.row + 1);
}

// --- Drawing ----------------------------------------------------------------------

void CMapView::drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                           bool printing) {
  const int32_t w = settings_.cellWidth, h = settings_.cellHeight;
  // The cells fill what the headings leave, starting at the scroll origin's
  // cell (on paper: the page's first cell).
  const LogicalRect area{visible.left + rowHeadingWidth(), visible.top - columnHeadingHeight(),
                         visible.right, visible.bottom};
  const int32_t firstColumn = std::max<int32_t>(0, area.left / w);
  const int32_t firstRow = std::max<int32_t>(0, -area.top / h);
  int32_t lastColumn = std::min<int32_t>(columnCount() - 1, (area.right - 1) / w);
  int32_t lastRow = std::min<int32_t>(rowCount() - 1, (-area.bottom - 1) / h);
  if (printing) {
    lastColumn = std::min(lastColumn, firstColumn + pageColumns_ - 1);
    lastRow = std::min(lastRow, firstRow + pageRows_ - 1);
  }
  painter.save();
  painter.setClipRect(mapper.toDevice(area), Qt::IntersectClip);
  // Drawing objects lie behind and in front of the cells, never over the
  // headings.
  drawObjectLayer(painter, mapper, area, false);
  if (lastRow >= firstRow && lastColumn >= firstColumn) {
    drawCells(painter, mapper, firstRow, lastRow, firstColumn, lastColumn);
    if (layout_.mode == MapMode::Activities && (settings_.flags & mapflag::kRelations)) {
      const LogicalRect drawn{firstColumn * w, -firstRow * h, (lastColumn + 1) * w,
                              -(lastRow + 1) * h};
      painter.setClipRect(mapper.toDevice(drawn), Qt::IntersectClip);
      drawRelations(painter, mapper, drawn);
    }
  }
  painter.setClipRect(mapper.toDevice(area));
  drawObjectLayer(painter, mapper, area, true);
  painter.restore();
  drawHeadings(painter, mapper, visible, firstRow, lastRow, firstColumn, lastColumn);
}

void CMapView::drawCells(QPainter& painter, const UnitMapper& mapper, int32_t firstRow,
                         int32_t lastRow, int32_t firstColumn, int32_t lastColumn) {
  const int32_t w = settings_.cellWidth, h = settings_.cellHeight;
  const TableHandle* tb = layout_.table;
  const bool activityHead =
      layout_.mode == MapMode::Activities ||
      (layout_.mode == MapMode::Summary && tb && tb->recordSize >= kActRowFixed);
  const int32_t ref = document() && document()->isOpen() ? document()->db().space.refHandle : -1;
  painter.setFont(xjor::fontFromLogFont(settings_.cellFont));
  std::vector<char> buf;
  for (const MapCell& c : cellsInRange(layout_.cells, firstRow, lastRow, firstColumn, lastColumn)) {
    if (!readRecord(c.record, &buf)) continue;
    const int cls = colourClass(settings_, buf.data(), tb->recordSize, activityHead,
                                layout_.mode == MapMode::Activities);
    const QRectF box =
        mapper.toDevice(c.column * w, -c.row * h, (c.column + 1) * w, -(c.row + 1) * h);
    painter.fillRect(box, xjor::colorFromRef(settings_.cellFill[cls]));
    if (item_ < 0) continue;
    const FieldDesc& f = tb->fields[item_];
    const QRectF text = mapper.toDevice(c.column * w + kTextInset, -c.row * h,
                                        (c.column + 1) * w - kTextInset, -(c.row + 1) * h);
    painter.setPen(xjor::colorFromRef(settings_.cellText));
    painter.drawText(text, Qt::AlignVCenter | (isTextField(f) ? Qt::AlignLeft : Qt::AlignRight),
                     cellText(tb, ref, buf.data(), item_));
  }
  // Selected cells are shown inverted.
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  for (const MapCell& c : selected_) {
    if (c.row < firstRow || c.row > lastRow || c.column < firstColumn || c.column > lastColumn)
      continue;
    painter.fillRect(
        mapper.toDevice(c.column * w, -c.row * h, (c.column + 1) * w, -(c.row + 1) * h), Qt::white);
  }
  painter.restore();
  // Grid lines over the cells.
  painter.setPen(QPen(xjor::colorFromRef(settings_.grid), 0));
  for (int32_t r = firstRow; r <= lastRow + 1; ++r)
    painter.drawLine(mapper.toDevice(firstColumn * w, -r * h),
                     mapper.toDevice((lastColumn + 1) * w, -r * h));
  for (int32_t col = firstColumn; col <= lastColumn + 1; ++col)
    painter.drawLine(mapper.toDevice(col * w, -firstRow * h),
                     mapper.toDevice(col * w, -(lastRow + 1) * h));
}

void CMapView::drawRelations(QPainter& painter, const UnitMapper& mapper, const LogicalRect& area) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  // The links are found once per change of the data, not per repaint.
  if (!linksValid_) {
    links_ = mapLinks(doc->db(), layout_.cells);
    linksValid_ = true;
  }
  const QColor colour = xjor::colorFromRef(settings_.relationLine);
  painter.setPen(QPen(colour, 0));
  painter.setBrush(colour);
  const int32_t w = settings_.cellWidth, h = settings_.cellHeight;
  const int32_t margin = 100;
  for (const MapLink& k : links_) {
    // A line wholly beside the drawn cells is skipped.
    if (std::max(k.predColumn, k.succColumn) * w + w < area.left - margin ||
        std::min(k.predColumn, k.succColumn) * w > area.right + margin ||
        -std::max(k.predRow, k.succRow) * h - h > area.top + margin ||
        -std::min(k.predRow, k.succRow) * h < area.bottom - margin)
      continue;
    const MapRelationLine l =
        relationLine(k.predRow, k.predColumn, k.succRow, k.succColumn, k.kind, w, h);
    painter.drawLine(mapper.toDevice(l.x1, l.y1), mapper.toDevice(l.x2, l.y2));
    QPainterPath head;
    head.moveTo(mapper.toDevice(l.headX[0], l.headY[0]));
    head.lineTo(mapper.toDevice(l.headX[1], l.headY[1]));
    head.lineTo(mapper.toDevice(l.headX[2], l.headY[2]));
    head.closeSubpath();
    painter.drawPath(head);
  }
  painter.setBrush(Qt::NoBrush);
}

QString CMapView::headingItemText(int32_t row) const {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return {};
  TableHandle* tb = &doc->db().wbs.tb;
  const int field = settings_.headingItem;
  const int32_t record = workTypeRecord(doc->db(), layout_.rows.codes[size_t(row)]);
  if (record < 0 || field < 0 || field >= tb->fieldCount || tb->handle < 0) return {};
  std::vector<char> buf(tb->recordSize + 1u);
  const int32_t kept = tb->current;
  tb->current = record;
  const bool read = xGetRec(tb, buf.data()) != 0;
  tb->current = kept;
  return read ? cellText(tb, doc->db().space.refHandle, buf.data(), field) : QString();
}

void CMapView::drawHeadings(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                            int32_t firstRow, int32_t lastRow, int32_t firstColumn,
                            int32_t lastColumn) {
  const int32_t w = settings_.cellWidth, h = settings_.cellHeight;
  const int32_t rowHead = rowHeadingWidth(), columnHead = columnHeadingHeight();
  // The headings stay put while the cells scroll: rows keep their y, columns
  // their x; the headings' own coordinates run left of x = 0 and above y = 0.
  const UnitMapper rows = mapper.withOrigin(-rowHead, mapper.originY(), mapper.deviceOffset());
  const UnitMapper columns = mapper.withOrigin(mapper.originX(), columnHead, mapper.deviceOffset());
  const QColor fill = xjor::colorFromRef(settings_.headingFill);
  const QPen gridPen(xjor::colorFromRef(settings_.grid), 0);
  const QColor text = xjor::colorFromRef(settings_.headingText);
  painter.save();
  painter.setFont(xjor::fontFromLogFont(settings_.headingFont));
  const auto label = [&](const UnitMapper& m, const LogicalRect& r, const QString& s,
                         bool leftAligned) {
    const QRectF box = m.toDevice(r);
    painter.fillRect(box, fill);
    painter.setPen(gridPen);
    painter.drawRect(box);
    painter.setPen(text);
    painter.drawText(box.adjusted(2, 0, -2, 0),
                     Qt::AlignVCenter | (leftAligned ? Qt::AlignLeft : Qt::AlignHCenter), s);
  };
  const auto codeText = [](const MapCode& code, int length) {
    return xjor::fromCp949(code.text, int(std::min(strnlen(code.text, 10), size_t(length))));
  };
  // Row headings: one column per displayed level.
  painter.save();
  painter.setClipRect(mapper.toDevice(visible.left, visible.top - columnHead,
                                      visible.left + rowHead, visible.bottom),
                      Qt::IntersectClip);
  if (lastRow >= firstRow) {
    int32_t x = -rowHead;
    for (size_t level = 0; level < rowHeads_.size(); ++level) {
      const int length = layout_.rows.levelLengths[level];
      for (const HeadingGroup& g : headingGroups(layout_.rows.codes, length)) {
        if (g.last < firstRow || g.first > lastRow) continue;
        const int32_t from = std::max(g.first, firstRow), to = std::min(g.last, lastRow);
        label(rows, {x, -from * h, x + rowHeads_[level], -(to + 1) * h},
              codeText(layout_.rows.codes[size_t(g.first)], length), true);
      }
      x += rowHeads_[level];
    }
    // The name column between the codes and the cells.
    if (settings_.nameWidth > 0)
      for (int32_t r = firstRow; r <= lastRow; ++r)
        label(rows, {x, -r * h, 0, -(r + 1) * h}, headingItemText(r), true);
  }
  painter.restore();
  // Column headings: one row per displayed level, outermost on top.
  painter.save();
  painter.setClipRect(
      mapper.toDevice(visible.left + rowHead, visible.top, visible.right, visible.top - columnHead),
      Qt::IntersectClip);
  if (lastColumn >= firstColumn) {
    int32_t y = columnHead;
    for (size_t level = 0; level < columnHeads_.size(); ++level) {
      const int length = layout_.columns.levelLengths[level];
      for (const HeadingGroup& g : headingGroups(layout_.columns.codes, length)) {
        if (g.last < firstColumn || g.first > lastColumn) continue;
        const int32_t from = std::max(g.first, firstColumn), to = std::min(g.last, lastColumn);
        label(columns, {from * w, y, (to + 1) * w, y - columnHeads_[level]},
              codeText(layout_.columns.codes[size_t(g.first)], length), false);
      }
      y -= columnHeads_[level];
    }
  }
  painter.restore();
  // The corner.
  const QRectF corner = mapper.withOrigin(-rowHead, columnHead, mapper.deviceOffset())
                            .toDevice(-rowHead, columnHead, 0, 0);
  painter.fillRect(corner, fill);
  painter.setPen(gridPen);
  painter.drawRect(corner);
  painter.restore();
}

void CMapView::drawRubberBand(QPainter& painter, const UnitMapper& mapper) {
  const int32_t w = settings_.cellWidth, h = settings_.cellHeight;
  if (separator_ != Separator::None) {
    // The separator follows the pointer across the whole view.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 0));
    if (separator_ == Separator::CellWidth || separator_ == Separator::RowHeading) {
      const qreal x = mapper.toDevice(separatorAt_, 0).x();
      painter.drawLine(QPointF(x, 0), QPointF(x, viewport()->height()));
    } else {
      const qreal y = mapper.toDevice(0, separatorAt_).y();
      painter.drawLine(QPointF(0, y), QPointF(viewport()->width(), y));
    }
    painter.restore();
    return;
  }
  if (drag_ == Drag::CopyRelations) {
    // The selected block where it would land.
    int32_t row = pressRow_, column = pressColumn_;
    cellAt(dragX_, dragY_, &row, &column, true);
    const int32_t dr = row - pressRow_, dc = column - pressColumn_;
    painter.setPen(QPen(xjor::colorFromRef(settings_.relationLine), 0, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mapper.toDevice((selColumn1_ + dc) * w, -(selRow1_ + dr) * h,
                                     (selColumn2_ + dc + 1) * w, -(selRow2_ + dr + 1) * h));
    return;
  }
  if (drag_ != Drag::Connect) return;
  painter.setPen(QPen(xjor::colorFromRef(settings_.relationLine), 0, Qt::DashLine));
  painter.drawLine(mapper.toDevice(pressColumn_ * w + w / 2, -pressRow_ * h - h / 2),
                   mapper.toDevice(dragX_, dragY_));
}

// --- Selecting and editing ---------------------------------------------------------

void CMapView::selectBlock(int32_t row1, int32_t column1, int32_t row2, int32_t column2) {
  selected_.clear();
  if (rowCount() == 0 || columnCount() == 0) return;
  const auto clampRow = [&](int32_t r) { return std::clamp<int32_t>(r, 0, rowCount() - 1); };
  const auto clampColumn = [&](int32_t c) { return std::clamp<int32_t>(c, 0, columnCount() - 1); };
  selRow1_ = clampRow(std::min(row1, row2));
  selRow2_ = clampRow(std::max(row1, row2));
  selColumn1_ = clampColumn(std::min(column1, column2));
  selColumn2_ = clampColumn(std::max(column1, column2));
  selected_ = cellsInRange(layout_.cells, selRow1_, selRow2_, selColumn1_, selColumn2_);
  viewport()->update();
}

void CMapView::dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) {
  drag_ = Drag::None;
  int32_t row = 0, column = 0;
  if (!cellAt(x, y, &row, &column, false)) return;
  pressRow_ = row;
  pressColumn_ = column;
  dragX_ = x;
  dragY_ = y;
  const bool input = viewState().editTool == tool::kDataInput;
  // Alt (or Ctrl, which window managers leave alone) drags the selection's
  // relations elsewhere.
  const bool inSelection = !selected_.empty() && row >= selRow1_ && row <= selRow2_ &&
                           column >= selColumn1_ && column <= selColumn2_;
  if (input && (modifiers & (Qt::AltModifier | Qt::ControlModifier)) && inSelection &&
      layout_.mode == MapMode::Activities && relationsAllowed()) {
    drag_ = Drag::CopyRelations;
    return;
  }
  if (input && item_ >= 0 && layout_.mode == MapMode::Activities) {
    if (relationsAllowed() && findCell(layout_.cells, row, column)) drag_ = Drag::Connect;
    return;
  }
  drag_ = Drag::Select;
  selectBlock(row, column, row, column);
}

void CMapView::dataToolDrag(int32_t x, int32_t y) {
  dragX_ = x;
  dragY_ = y;
  int32_t row = 0, column = 0;
  if (drag_ == Drag::Select && cellAt(x, y, &row, &column, true))
    selectBlock(pressRow_, pressColumn_, row, column);
  viewport()->update();
}

void CMapView::dataToolRelease(int32_t x, int32_t y) {
  const Drag drag = drag_;
  drag_ = Drag::None;
  viewport()->update();
  int32_t row = 0, column = 0;
  if (drag == Drag::CopyRelations && cellAt(x, y, &row, &column, false))
    copyRelationsTo(row, column);
  if (drag != Drag::Connect || !cellAt(x, y, &row, &column, false)) return;
  const MapCell* from = findCell(layout_.cells, pressRow_, pressColumn_);
  const MapCell* to = findCell(layout_.cells, row, column);
  if (!from || !to || from == to || !dialogs().connect || !document()) return;
  std::vector<char> a, b;
  if (!readRecord(from->record, &a) || !readRecord(to->record, &b)) return;
  const auto code = [](const std::vector<char>& r) {
    const char* c = r.data() + offsetof(ActRecord, code);
    return QByteArray(c, int(strnlen(c, 20)));
  };
  if (dialogs().connect(this, *document(), code(a), code(b))) {
    linksValid_ = false;
    viewport()->update();
  }
}

void CMapView::dataToolCancel() {
  drag_ = Drag::None;
  viewport()->update();
}

void CMapView::dataDoubleClick(int32_t x, int32_t y) {
  int32_t row = 0, column = 0;
  if (!cellAt(x, y, &row, &column, false)) return;
  selectBlock(row, column, row, column);
  editItemCommand();
}

bool CMapView::relationsAllowed() const {
  return layout_.mode == MapMode::Activities && (settings_.flags & mapflag::kRelations);
}

int CMapView::editSelectedItem(const QByteArray& value) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || item_ < 0 || selected_.empty()) return 0;
  std::vector<int32_t> records;
  for (const MapCell& c : selected_) records.push_back(c.record);
  editing_ = true;
  const BlockEditResult r = setItemOfRecords(*doc, layout_.mode, records, item_, value);
  editing_ = false;
  if (r.message) {
    QApplication::beep();
    showMessage(this, r.message);
  }
  // A changed code moves records to other cells.
  refreshCells();
  if (selRow1_ >= 0)
    selected_ = cellsInRange(layout_.cells, selRow1_, selRow2_, selColumn1_, selColumn2_);
  viewport()->update();
  return r.stored;
}

void CMapView::editItemCommand() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || selected_.empty()) return;
  if (item_ < 0) {
    if (selected_.size() == 1 && layout_.mode == MapMode::Activities && dialogs().editActivity &&
        dialogs().editActivity(this, *doc, selected_.front().record)) {
      refreshCells();
      viewport()->update();
    }
    return;
  }
  const FieldDesc& f = layout_.table->fields[item_];
  switch (itemEditKind(layout_.mode, f)) {
    case ItemEdit::ReadOnly:
      QApplication::beep();
      showMessage(this, kMsgReadOnlyItem);
      return;
    case ItemEdit::Computed:
      if (askQuestion(this, kMsgComputedItem) != QMessageBox::Yes) return;
      break;
    case ItemEdit::Allowed:
      break;
  }
  std::vector<char> first;
  QString value;
  if (readRecord(selected_.front().record, &first))
    value = cellText(layout_.table, doc->db().space.refHandle, first.data(), item_);
  if (!dialogs().askValue ||
      !dialogs().askValue(this, xjor::fromCp949(f.name, int(strnlen(f.name, 31))), &value))
    return;
  editSelectedItem(xjor::toCp949(value));
}

bool CMapView::linkSelection(int kind) {
  CPlanDoc* doc = document();
  if (!doc || !relationsAllowed() || selected_.size() < 2) return false;
  editing_ = true;
  const int skipped = linkSelectedCells(*doc, selected_, kind);
  editing_ = false;
  linksValid_ = false;
  if (skipped > 0) QApplication::beep();
  viewport()->update();
  return skipped >= 0;
}

void CMapView::copyRelationsTo(int32_t row, int32_t column) {
  CPlanDoc* doc = document();
  if (!doc || !relationsAllowed()) return;
  editing_ = true;
  const int skipped =
      copySelectedRelations(*doc, selected_, layout_.cells, row - pressRow_, column - pressColumn_);
  editing_ = false;
  linksValid_ = false;
  if (skipped > 0) QApplication::beep();
  viewport()->update();
}

void CMapView::linkCommand() {
  if (!relationsAllowed() || selected_.size() < 2 || !dialogs().askKind) return;
  const int kind = dialogs().askKind(this);
  if (kind >= 0) linkSelection(kind);
}

void CMapView::deleteRelationsCommand() {
  CPlanDoc* doc = document();
  if (!doc || !relationsAllowed() || selected_.empty()) return;
  if (optionFlags() & optflag::kConfirmDelete) {
    QApplication::beep();
    if (askQuestion(this, kStrMsgDeleteAsk, true) != QMessageBox::Yes) return;
  }
  std::vector<int32_t> records;
  for (const MapCell& c : selected_) records.push_back(c.record);
  editing_ = true;
  deleteRelationsFrom(*doc, records);
  editing_ = false;
  linksValid_ = false;
  viewport()->update();
}

void CMapView::narrow(bool rows) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || selected_.empty()) return;
  std::vector<int32_t> keep;
  for (const MapCell& c : selected_) keep.push_back(rows ? c.row : c.column);
  if (rows)
    keepRows(doc->db(), &layout_, keep);
  else
    keepColumns(doc->db(), &layout_, keep);
  linksValid_ = false;
  selected_.clear();
  selRow1_ = -1;
  scrollToCell(0, 0);
  viewport()->update();
}

void CMapView::showAll() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  layout_.rows.chosen = layout_.columns.chosen = false;
  storeMapLists(doc->db(), layout_);
  built_ = false;
  initialUpdate();
}

bool CMapView::onCommand(int id) {
  switch (id) {
    case mapcmd::kShowAll:
      showAll();
      return true;
    case mapcmd::kShowSelectedRows:
      narrow(true);
      return true;
    case mapcmd::kShowSelectedColumns:
      narrow(false);
      return true;
    case mapcmd::kLink:
      linkCommand();
      return true;
    case cmd::kDeleteAtCursor:
      deleteRelationsCommand();
      return true;
    case cmd::kModifyData:
      editItemCommand();
      return true;
    case cmd::kRefresh:
      built_ = false;
      initialUpdate();
      return true;
    case cmd::kOptions: {
      MapSettings s = settings_;
      s.flags = viewFlags();
      if (dialogs().options && dialogs().options(this, headingItemNames(), &s)) {
        setSettings(s);
        if (document()) document()->setModified(true);
      }
      return true;
    }
    default:
      return CBaseView::onCommand(id);
  }
}

bool CMapView::updateCommand(int id, CommandState& state) {
  switch (id) {
    case mapcmd::kShowAll:
    case cmd::kRefresh:
    case cmd::kOptions:
      state.enabled = true;
      return true;
    case mapcmd::kShowSelectedRows:
    case mapcmd::kShowSelectedColumns:
    case cmd::kModifyData:
      state.enabled = !selected_.empty();
      return true;
    case mapcmd::kLink:
      state.enabled = relationsAllowed() && selected_.size() >= 2;
      return true;
    case cmd::kDeleteAtCursor:
      state.enabled = relationsAllowed() && !selected_.empty();
      return true;
    default:
      return CBaseView::updateCommand(id, state);
  }
}

// --- Printing ---------------------------------------------------------------------

bool CMapView::preparePrinting(const PrintFormat& format, PrintLayout* layout) {
  if (!CBaseView::preparePrinting(format, layout)) return false;
  // Whole cells per page, beside the headings that every page repeats.
  pageColumns_ = cellsPerPage(layout->body.width() - rowHeadingWidth(), settings_.cellWidth);
  pageRows_ = cellsPerPage(layout->body.height() - columnHeadingHeight(), settings_.cellHeight);
  layout->pagesAcross = pagesFor(columnCount(), pageColumns_);
  layout->pagesDown = pagesFor(rowCount(), pageRows_);
  return true;
}

void CMapView::pageOrigin(const PrintLayout&, int column, int row, int32_t* x, int32_t* y) const {
  *x = column * pageColumns_ * settings_.cellWidth - rowHeadingWidth();
  *y = -row * pageRows_ * settings_.cellHeight + columnHeadingHeight();
}

void CMapView::printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                         const PrintFormat& format) {
  // The selection is not printed.
  std::vector<MapCell> selection;
  selection.swap(selected_);
  CBaseView::printPage(painter, paper, layout, format);
  selection.swap(selected_);
}

void CMapView::fitReserved(int32_t* width, int32_t* height) const {
  *width = rowHeadingWidth();
  *height = columnHeadingHeight();
}

void CMapView::applyFitToPaper(int pagesAcross, int pagesDown, int32_t printableWidth,
                               int32_t printableHeight) {
  const int32_t across = std::max<int32_t>(1, (columnCount() + pagesAcross - 1) / pagesAcross);
  const int32_t down = std::max<int32_t>(1, (rowCount() + pagesDown - 1) / pagesDown);
  const int32_t newWidth = std::clamp<int32_t>(printableWidth / across, 1, 32767);
  const int32_t newHeight = std::clamp<int32_t>(printableHeight / down, 1, 32767);
  const double fx = double(newWidth) / settings_.cellWidth;
  const double fy = double(newHeight) / settings_.cellHeight;
  const double ratio = std::min(fx, fy);
  // Objects keep their cells; their sizes and the distances into their
  // cells shrink or grow with the cells.
  objects().scaleObjects(fx, fy, ratio, [fx, fy](ViewPosition p) {
    return ViewPosition::time(p.date(), uint16_t(p.xRemainder() * fx), p.row(),
                              int16_t(p.yRemainder() * fy));
  });
  MapSettings s = settings_;
  s.cellWidth = int16_t(newWidth);
  s.cellHeight = int16_t(newHeight);
  s.cellFont.lfHeight = std::min<int32_t>(-1, int32_t(s.cellFont.lfHeight * ratio));
  setSettings(s);
  if (document()) document()->setModified(true);
}

}  // namespace kelvo

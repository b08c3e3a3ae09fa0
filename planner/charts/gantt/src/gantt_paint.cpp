// Painting of the Gantt chart: the bars of the visible rows with their end
// marks, the relation links that touch a visible row, the selection frame,
// the drag overlays and the legend.
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cstring>

#include "gantt_shape_sample.h"
#include "kelvo/field_editor.h"
#include "kelvo/gantt_view.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_rows.h"
#include "kelvo/table_view.h"
#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// Geometry reaching further than this beyond the drawn rectangle is cut
// there, so that lines of kilometres never reach the raster engine.
constexpr int32_t kClampMargin = 100;

int32_t clampX(int32_t x, const LogicalRect& r) {
  return std::clamp(x, r.left - kClampMargin, r.right + kClampMargin);
}
int32_t clampY(int32_t y, const LogicalRect& r) {
  return std::clamp(y, r.bottom - kClampMargin, r.top + kClampMargin);
}

// The polygon of mark `shape` at x on a bar from top to bottom; end marks
// of shape 1 point back into the bar.
QPolygonF markPolygon(const UnitMapper& m, int shape, int32_t x, int32_t top, int32_t bottom,
                      bool end) {
  const int32_t half = (top - bottom) / 2;
  QPolygonF p;
  switch (shape) {
    case 1: {
      const int32_t dir = end ? -half : half;
      p << m.toDevice(x, top) << m.toDevice(x + dir, top - half) << m.toDevice(x, bottom);
      break;
    }
    case 2:
      p << m.toDevice(x - half, top - half) << m.toDevice(x, top)
        << m.toDevice(x + half, top - half) << m.toDevice(x, bottom);
      break;
    case 3:
      p << m.toDevice(x - half, top) << m.toDevice(x + half, top) << m.toDevice(x, bottom);
      break;
    case 4:
      p << m.toDevice(x - half, bottom) << m.toDevice(x + half, bottom) << m.toDevice(x, top);
      break;
    default:
      break;
  }
  return p;
}

void drawMark(QPainter& p, const UnitMapper& m, int shape, int32_t x, int32_t top, int32_t bottom,
              bool end, const QColor& line, const QColor& fill) {
  const QPolygonF poly = markPolygon(m, shape, x, top, bottom, end);
  if (poly.isEmpty()) return;
  p.setPen(QPen(line, 0));
  p.setBrush(fill);
  p.drawPolygon(poly);
}

void drawBar(QPainter& p, const UnitMapper& m, const GanttBar& bar, const LogicalRect& r) {
  const QColor colour = xjor::colorFromRef(bar.color);
  const QColor ownFill = bar.filled ? colour : QColor(Qt::white);
  if (bar.markOnly) {
    if (bar.mark != ganttmark::kNone)
      drawMark(p, m, bar.mark, bar.left, bar.top, bar.bottom, false, colour, ownFill);
    else
      p.fillRect(m.toDevice(bar.left, bar.top, bar.left + 2, bar.bottom), colour);
    return;
  }
  const QRectF rect = m.toDevice(clampX(bar.left, r), bar.top, clampX(bar.right, r), bar.bottom);
  QPen pen(colour, 0);
  if (bar.dotted) pen.setStyle(Qt::DotLine);
  p.setPen(pen);
  if (bar.filled) {
    p.fillRect(rect, colour);
  } else if (bar.mark == ganttmark::kDown) {
    p.drawLine(rect.bottomLeft(), rect.bottomRight());
  } else if (bar.mark == ganttmark::kUp) {
    p.drawLine(rect.topLeft(), rect.topRight());
  } else {
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect);
  }
  drawMark(p, m, bar.mark, bar.left, bar.top, bar.bottom, false, colour, ownFill);
  drawMark(p, m, bar.mark, bar.right, bar.top, bar.bottom, true, colour, Qt::white);
}

// Entries of a sorted code table whose first code is `code`, as a range.
template <typename Entry>
std::pair<const Entry*, const Entry*> entriesOf(const MemTable& table, const char* code) {
  const auto* begin = reinterpret_cast<const Entry*>(table.data);
  const auto* end = begin + (table.data ? table.count : 0);
  const auto less = [](const Entry& e, const char* c) {
    return std::strncmp(e.first, c, sizeof e.first) < 0;
  };
  const Entry* from = std::lower_bound(begin, end, code, less);
  const Entry* to = from;
  while (to != end && std::strncmp(to->first, code, sizeof to->first) == 0) ++to;
  return {from, to};
}

int32_t activityRecord(const MemTable& codes, const char* code) {
  const auto* begin = reinterpret_cast<const ActCodeEntry*>(codes.data);
  const auto* end = begin + (codes.data ? codes.count : 0);
  const ActCodeEntry* at =
      std::lower_bound(begin, end, code, [](const ActCodeEntry& e, const char* c) {
        return std::strncmp(e.code, c, sizeof e.code) < 0;
      });
  return at != end && std::strncmp(at->code, code, sizeof at->code) == 0 ? at->record : -1;
}

}  // namespace

QPixmap ganttShapeSample(int shape, bool milestone, COLORREF colour, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // 1 unit = 1 pixel; the bar a third of the height below the middle.
  const UnitMapper m(254, 254);
  const int32_t half = size.height() / 3;
  GanttBar bar;
  bar.color = colour;
  bar.filled = true;
  bar.markOnly = milestone;
  bar.mark = shape;
  bar.left = milestone ? size.width() / 2 : half + 2;
  bar.right = milestone ? bar.left : size.width() - half - 2;
  bar.top = -(size.height() / 2 - half);
  bar.bottom = bar.top - 2 * half;
  drawBar(painter, m, bar, LogicalRect{0, 0, size.width(), -size.height()});
  return pixmap;
}

void CGanttView::drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                          int32_t firstRow, int32_t lastRow, bool) {
  lastRow = std::min(lastRow, recordRows() - 1);
  if (lastRow < firstRow) return;
  std::vector<GanttBar> bars;
  std::vector<RowLabel> labels;
  const bool labelled = block_.leftLabel >= 0 || block_.rightLabel >= 0;
  QByteArray record;
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    if (!readRow(row, &record)) continue;
    const GanttDates dates = ganttDates(record.constData());
    appendRowBars(dates, row, scale(), block_, dataDate(), &bars);
    if (labelled) appendLabels(record, dates, row, body, &labels);
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const GanttBar& bar : bars)
    if (barInRange(bar, body.left, body.right, block_.barHeight))
      drawBar(painter, mapper, bar, body);
  // Labels in the body font the scale has set, in the body text colour.
  painter.setPen(xjor::colorFromRef(scale().settings().bodyTextColor));
  for (const RowLabel& label : labels)
    painter.drawText(mapper.toDevice(label.left, label.top, label.right,
                                     label.top - scale().settings().rowHeight),
                     label.align | Qt::AlignTop | Qt::TextSingleLine, label.text);
  if (activities() && (scale().settings().flags & ganttflag::kLinks))
    drawLinks(painter, mapper, body, firstRow, lastRow);
  painter.restore();
}

void CGanttView::appendLabels(const QByteArray& record, const GanttDates& dates, int32_t row,
                              const LogicalRect& body, std::vector<RowLabel>* out) const {
  const TableBinding* t = sheet_ ? sheet_->table() : nullptr;
  if (!t) return;
  const int32_t ref = document()->db().space.refHandle;
  const auto text = [&](int16_t field) {
    if (field < 0 || field >= t->tb.fieldCount) return QString();
    // A milestone's finish dates read as its start, as in the sheet.
    const FieldDesc& f = t->tb.fields[field];
    QByteArray shown = record;
    if (f.type == XF_DATE && int(f.offset) + 2 <= shown.size()) {
      const int from = shownDateOffset(record.constData(), f.offset);
      std::memcpy(shown.data() + f.offset, record.constData() + from, 2);
    }
    return fieldText(t->tb.fields, ref, shown.constData(), field);
  };
  // Room for a label: far more than any field's text needs.
  constexpr int32_t kLabelRoom = 4000;
  const LabelAnchors at = labelAnchors(dates, scale(), block_);
  const int32_t top = currentBarTop(row, scale(), block_);
  if (at.left && block_.leftLabel >= 0 && at.leftEnd > body.left) {
    const QString s = text(block_.leftLabel);
    if (!s.isEmpty()) out->push_back({at.leftEnd - kLabelRoom, at.leftEnd, top, Qt::AlignRight, s});
  }
  if (at.right && block_.rightLabel >= 0 && at.rightStart < body.right) {
    const QString s = text(block_.rightLabel);
    if (!s.isEmpty())
      out->push_back({at.rightStart, at.rightStart + kLabelRoom, top, Qt::AlignLeft, s});
  }
}

void CGanttView::appendLinks(int32_t firstRow, int32_t lastRow, std::vector<GanttLink>* out) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  ProjectDb& db = doc->db();
  mapRecords();
  TableHandle& rel = db.rel.tb;
  TableHandle& act = db.act.tb;
  const int32_t keptRel = rel.current, keptAct = act.current;
  std::vector<char> relBuf(std::max<size_t>(rel.recordSize, sizeof(RelRecord)));
  std::vector<char> actBuf(std::max<size_t>(act.recordSize, sizeof(ActRecord)));
  const auto rowOf = [&](const char* code) -> int32_t {
    const int32_t record = activityRecord(db.actCodes, code);
    return record >= 0 && size_t(record) < rowOfRecord_.size() ? rowOfRecord_[record] : -1;
  };
  const auto kindOf = [&](int32_t record) -> int {
    rel.current = record;
    if (!xGetRec(&rel, relBuf.data())) return -1;
    RelRecord r;
    std::memcpy(&r, relBuf.data(), sizeof r);
    return r.kind;
  };
  const auto datesOf = [&](int32_t row, GanttDates* dates) {
    QByteArray record;
    if (!readRow(row, &record)) return false;
    *dates = ganttDates(record.constData());
    return true;
  };
  QByteArray record;
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    if (!readRow(row, &record)) continue;
    const ActRecord a = [&] {
      ActRecord r{};
      std::memcpy(&r, record.constData(), sizeof r);
      return r;
    }();
    const GanttDates here = ganttDates(record.constData());
    // Links leaving this row, then those reaching it from rows not shown
    // (those from shown rows were found as they left).
    auto [from, to] = entriesOf<RelCodeEntry>(db.relByPred, a.code);
    for (const RelCodeEntry* e = from; e != to; ++e) {
      GanttDates other;
      const int32_t succRow = rowOf(e->second);
      const int kind = kindOf(e->record);
      if (succRow < 0 || kind < 0 || !datesOf(succRow, &other)) continue;
      out->push_back(makeLink(here, row, other, succRow, kind));
    }
    auto [inFrom, inTo] = entriesOf<RelCodeEntry>(db.relBySucc, a.code);
    for (const RelCodeEntry* e = inFrom; e != inTo; ++e) {
      GanttDates other;
      const int32_t predRow = rowOf(e->second);
      if (predRow >= firstRow && predRow <= lastRow) continue;
      const int kind = kindOf(e->record);
      if (predRow < 0 || kind < 0 || !datesOf(predRow, &other)) continue;
      out->push_back(makeLink(other, predRow, here, row, kind));
    }
  }
  rel.current = keptRel;
  act.current = keptAct;
  (void)actBuf;
}

void CGanttView::drawLinks(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                           int32_t firstRow, int32_t lastRow) {
  std::vector<GanttLink> links;
  appendLinks(firstRow, lastRow, &links);
  const uint16_t firstDay = scale().dateAt(std::max(body.left, scale().timeLeft()));
  const uint16_t lastDay = scale().dateAt(std::min(body.right, scale().timeRight() - 1));
  painter.setPen(QPen(xjor::colorFromRef(block_.linkColor), 0));
  for (const GanttLink& link : links) {
    if (!linkVisible(link, firstRow, lastRow, firstDay == 0 ? 1 : firstDay, lastDay)) continue;
    const LinkRoute r = routeLink(link, scale(), block_);
    QPointF points[4];
    for (int i = 0; i < 4; ++i)
      points[i] = mapper.toDevice(clampX(r.x[i], body), clampY(r.y[i], body));
    painter.drawPolyline(points, 4);
    for (int i = 0; i < 2; ++i)
      painter.drawLine(points[3], mapper.toDevice(clampX(r.headX[i], body), r.headY[i]));
  }
}

void CGanttView::drawSelectionHandles(QPainter& painter, const UnitMapper& mapper) {
  int32_t left = 0, right = 0, top = 0;
  if (selRow_ < 0 || !selectionFrame(selRow_, &left, &right, &top)) return;
  const LogicalRect& c = clientRect();
  painter.save();
  painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(
      mapper.toDevice(clampX(left, c), top + 2, clampX(right, c), top - block_.barHeight - 2));
  painter.restore();
}

void CGanttView::drawRubberBand(QPainter& painter, const UnitMapper& mapper) {
  CTermView::drawRubberBand(painter, mapper);
  if (drag_ == Drag::None) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  painter.setPen(QPen(Qt::black, 0));
  const int32_t rh = scale().settings().rowHeight;
  if (drag_ == Drag::Connect) {
    const int32_t from = scale().rowTop(pressRow_) - rh / 2;
    const int32_t to = scale().rowTop(scale().rowAt(dragY_)) - rh / 2;
    painter.drawLine(mapper.toDevice(pressX_, from), mapper.toDevice(pressX_, to));
  } else {
    int32_t left = 0, right = 0, top = 0;
    if (selectionFrame(selRow_, &left, &right, &top)) {
      const int32_t delta = dragX_ - pressX_;
      if (drag_ == Drag::Start) left += delta;
      if (drag_ == Drag::Finish) right += delta;
      if (drag_ == Drag::Move) left += delta, right += delta;
      painter.drawRect(mapper.toDevice(left, top, right, top - block_.barHeight));
    }
  }
  painter.restore();
}

// --- Legend ------------------------------------------------------------------

void CGanttView::drawLegendInto(QPainter& painter, const UnitMapper& mapper, const LogicalRect& box,
                                const LOGFONT& font, COLORREF colour) {
  const QFont qfont = xjor::fontFromLogFont(font);
  const QFontMetricsF metrics(qfont, xjor::measuringDevice());
  const int32_t fontHeight = std::max<int32_t>(1, std::abs(font.lfHeight));
  const int32_t sample = 3 * fontHeight;
  const int32_t barTop = (box.top + box.bottom) / 2 + block_.barHeight / 2;
  struct Entry {
    const char* caption;
    COLORREF color;
    bool filled, dotted, milestone;
    int mark;
  } entries[] = {
      {"완료", block_.activityColor, true, false, false, block_.activityMark},
      {"예정", block_.activityColor, false, false, false, block_.activityMark},
      {"여유일", block_.activityColor, false, true, false, block_.activityMark},
      {"주공정", block_.criticalColor, true, false, false, block_.activityMark},
      {"이정표", block_.milestoneColor, true, false, true, block_.milestoneMark},
      {"계획", block_.plannedColor, true, false, false, block_.plannedMark},
  };
  int32_t x = box.left + fontHeight / 2;
  painter.save();
  painter.setFont(qfont);
  for (const Entry& e : entries) {
    GanttBar bar;
    bar.color = e.color;
    bar.filled = e.filled;
    bar.dotted = e.dotted;
    bar.markOnly = e.milestone;
    bar.mark = e.mark;
    bar.left = e.milestone ? x + block_.barHeight / 2 : x;
    bar.right = e.milestone ? bar.left : x + sample;
    bar.top = barTop;
    bar.bottom = barTop - block_.barHeight;
    drawBar(painter, mapper, bar, box);
    x += (e.milestone ? block_.barHeight : sample) + fontHeight / 2;
    const QString caption = QString::fromUtf8(e.caption);
    const int32_t width = int32_t(metrics.horizontalAdvance(caption)) + 1;
    painter.setPen(xjor::colorFromRef(colour));
    painter.drawText(mapper.toDevice(x, box.top, x + width + fontHeight, box.bottom),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    x += width + fontHeight;
  }
  painter.restore();
}

void CGanttView::drawLegend(QPainter& painter, const UnitMapper& paper, const LogicalRect& box,
                            const PrintFormat&) {
  const GanttPrintFormat legend = readLegendFormat();
  drawLegendInto(painter, paper, box, legend.legendFont, legend.legendColor);
}

}  // namespace kelvo

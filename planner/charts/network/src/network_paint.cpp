// Painting of the network chart: the relations of the visible rows along
// their routing rows, then the activities of the visible paths and days as
// nodes and arrows or as bars, with their path labels or upper and lower
// labels; the selection, the drag overlays and the legend.
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cstring>

#include "kelvo/network_label.h"
#include "kelvo/network_view.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "text_layouts.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int32_t kClampMargin = 100;  // geometry is cut this far beyond the drawn area
constexpr int32_t kVisibleMargin = 20;
constexpr int32_t kLabelGap = 10;
constexpr int32_t kActualOffset = 3;  // the done part's double line

int32_t clampX(int32_t x, const LogicalRect& r) {
  return std::clamp(x, r.left - kClampMargin, r.right + kClampMargin);
}

uint16_t dayAfter(uint16_t date) {
  return date == 0 ? 0 : xjor::dateFromDayNumber(xjor::dayNumber(date) + 1);
}

QPen unitPen(const UnitMapper& m, COLORREF colour, int32_t width,
             Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(xjor::colorFromRef(colour), std::max(1.0, m.pixelsX(width)));
  pen.setStyle(style);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

QString textOf(const char* field, size_t width) {
  return xjor::fromCp949(field, int(strnlen(field, width)));
}

// The title of a classification code, looked up in its code table.
QString classTitle(ProjectDb& db, int cls, const char* code) {
  const MemTable& codes = cls == 0 ? db.wbsCodes : db.obsCodes;
  TableHandle& table = cls == 0 ? db.wbs.tb : db.obs.tb;
  const auto* begin = reinterpret_cast<const CodeEntry*>(codes.data);
  const auto* end = begin ? begin + codes.count : nullptr;
  const CodeEntry* at = std::lower_bound(begin, end, code, [](const CodeEntry& e, const char* c) {
    return std::strncmp(e.code, c, sizeof e.code) < 0;
  });
  if (at == end || std::strncmp(at->code, code, sizeof at->code) != 0) return {};
  std::vector<char> buf(std::max<size_t>(table.recordSize, sizeof(WbsRecord)));
  const int32_t kept = table.current;
  table.current = at->record;
  const bool ok = xGetRec(&table, buf.data()) != 0;
  table.current = kept;
  if (!ok) return {};
  WbsRecord r;
  std::memcpy(&r, buf.data(), sizeof r);
  return textOf(r.title, sizeof r.title);
}

QString dateText(uint16_t date) {
  char buf[64] = {};
  if (date) xTimeToStr(buf, date);
  return QString::fromLatin1(buf);
}

// What one paint pass needs besides the view.
struct Pass {
  QPainter& p;
  const UnitMapper& m;
  const LogicalRect& body;
  const TimeScale& scale;
  const NetBlock& block;
  uint16_t flags;
  int32_t textHeight;
  uint16_t dataDate;
  TextLayouts& texts;
};

void drawNode(const Pass& s, int32_t x, int32_t centre, COLORREF outline, const QString& code) {
  const int32_t w = s.block.nodeWidth;
  const int32_t h = nodeHeight(s.block, s.flags, s.textHeight);
  const QRectF r = s.m.toDevice(x - w / 2, centre + h / 2, x - w / 2 + w, centre + h / 2 - h);
  s.p.setPen(QPen(xjor::colorFromRef(outline), 0));
  s.p.setBrush(xjor::colorFromRef(s.block.nodeFillColor));
  if (s.flags & netflag::kSquareNodes)
    s.p.drawRect(r);
  else
    s.p.drawEllipse(r);
  if (!code.isEmpty()) {
    s.p.setPen(Qt::black);
    s.texts.draw(s.p, r, Qt::AlignCenter | Qt::TextDontClip, code);
  }
}

void drawDiamond(const Pass& s, int32_t x, int32_t centre, int32_t size, COLORREF fill) {
  const int32_t h = size / 2;
  QPolygonF poly;
  poly << s.m.toDevice(x - h, centre) << s.m.toDevice(x, centre + h) << s.m.toDevice(x + h, centre)
       << s.m.toDevice(x, centre - h);
  s.p.setPen(QPen(xjor::colorFromRef(fill), 0));
  s.p.setBrush(xjor::colorFromRef(fill));
  s.p.drawPolygon(poly);
}

void hLine(const Pass& s, int32_t x0, int32_t x1, int32_t y, const QPen& pen) {
  s.p.setPen(pen);
  s.p.drawLine(s.m.toDevice(clampX(x0, s.body), y), s.m.toDevice(clampX(x1, s.body), y));
}

void fillBar(const Pass& s, int32_t x0, int32_t x1, int32_t centre, COLORREF colour) {
  if (x1 <= x0) return;
  const int32_t h = s.block.nodeWidth / 2;
  s.p.fillRect(s.m.toDevice(clampX(x0, s.body), centre + h, clampX(x1, s.body), centre - h),
               xjor::colorFromRef(colour));
}

// Text lines written left-aligned from (x, top) down.
void drawLines(const Pass& s, const QStringList& lines, int32_t x, int32_t top, int32_t lineHeight,
               int32_t width) {
  for (int i = 0; i < lines.size(); ++i) {
    const int32_t t = top - i * lineHeight;
    s.texts.draw(s.p, s.m.toDevice(x, t, x + width, t - lineHeight),
                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, lines[i]);
  }
}

// A straight leg of a relation line: along x = at (vertical) or y = at.
struct Leg {
  int32_t at, from, to;
};

// Draws the legs with overlapping ones on one line merged.
void drawMerged(QPainter& p, const UnitMapper& m, std::vector<Leg>* legs, bool vertical) {
  std::sort(legs->begin(), legs->end(), [](const Leg& a, const Leg& b) {
    return a.at != b.at ? a.at < b.at : a.from < b.from;
  });
  std::vector<QLineF> lines;
  lines.reserve(legs->size());
  for (size_t i = 0; i < legs->size();) {
    Leg run = (*legs)[i++];
    while (i < legs->size() && (*legs)[i].at == run.at && (*legs)[i].from <= run.to)
      run.to = std::max(run.to, (*legs)[i++].to);
    if (vertical)
      lines.emplace_back(m.toDevice(run.at, run.from), m.toDevice(run.at, run.to));
    else
      lines.emplace_back(m.toDevice(run.from, run.at), m.toDevice(run.to, run.at));
  }
  p.drawLines(lines.data(), int(lines.size()));
}

}  // namespace

void CNetView::drawSideCaptions(QPainter& painter, const UnitMapper& mapper,
                                const LogicalRect& body) {
  const struct {
    const char* text;
    size_t size;
    int32_t left, right;
  } areas[] = {
      {captions_.left, sizeof captions_.left, 0, scale().timeLeft()},
      {captions_.right, sizeof captions_.right, scale().timeRight(), scale().totalWidth()}};
  painter.save();
  painter.setFont(xjor::fontFromLogFont(captions_.font));
  painter.setPen(xjor::colorFromRef(captions_.colour));
  for (const auto& area : areas) {
    const int32_t left = std::max(area.left, body.left), right = std::min(area.right, body.right);
    if (left >= right || !area.text[0]) continue;
    painter.drawText(mapper.toDevice(left, body.top, right, body.bottom), Qt::AlignCenter,
                     textOf(area.text, area.size));
  }
  painter.restore();
}

const std::vector<uint32_t>& CNetView::linksNear(const LogicalRect& body, int32_t firstPath,
                                                 int32_t lastPath) {
  const MemTable& anchors = document()->db().relAnchor;
  if (linksStale_ || linksData_ != anchors.data || linksCount_ != anchors.count) {
    links_.build(reinterpret_cast<const RelAnchorEntry*>(anchors.data), anchors.count);
    linksData_ = anchors.data;
    linksCount_ = anchors.count;
    linksStale_ = false;
  }
  // x grows with the day, so the days in sight are found by bisection; days
  // past the last a date can hold (only from damaged dates) are all kept.
  const int32_t lo = links_.firstDay(), hi = std::min(links_.lastDay(), xjor::kLastDayNumber);
  const auto firstDayWhere = [&](auto&& right) {
    int32_t a = lo, b = hi;
    while (a <= b) {
      const int32_t mid = a + (b - a) / 2;
      if (right(scale().x(xjor::dateFromDayNumber(mid))))
        b = mid - 1;
      else
        a = mid + 1;
    }
    return a;
  };
  const int32_t fromX = body.left - kVisibleMargin, toX = body.right + kVisibleMargin;
  const int32_t firstDay = firstDayWhere([&](int32_t x) { return x >= fromX; });
  const int32_t pastLast = firstDayWhere([&](int32_t x) { return x > toX; });
  const int32_t lastDay = pastLast > hi ? links_.lastDay() : pastLast - 1;
  nearLinks_.clear();
  links_.find(firstPath, lastPath, firstDay, lastDay, &nearLinks_);
  return nearLinks_;
}

void CNetView::drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                        int32_t firstRow, int32_t lastRow, bool printing) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  ProjectDb& db = doc->db();
  const Pass s{painter,      mapper,     body,   scale(), block_, scale().settings().flags,
               textHeight(), dataDate(), *texts_};
  const int32_t firstPath = firstRow + 1, lastPath = lastRow + 1;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  drawSideCaptions(painter, mapper, body);
  texts_->begin(painter);

  // Relations first, so that nodes cover their ends.
  const NodeEdge ends = edge();
  QPen linkPen = unitPen(mapper, block_.linkColor, block_.linkWidth);
  linkPen.setCapStyle(Qt::SquareCap);  // legs drawn apart still meet at the corners
  // Legs are collected and drawn merged: relations that leave on the same
  // day or share a routing row overlap, and a large network would otherwise
  // paint the same pixels thousands of times.
  std::vector<Leg> vertical, horizontal;
  const auto* links = reinterpret_cast<const RelAnchorEntry*>(db.relAnchor.data);
  for (uint32_t i : linksNear(body, firstPath, lastPath)) {
    const RelAnchorEntry& e = links[i];
    const int32_t row = e.row > 0 ? e.row : e.predPath;
    const int32_t xa = scale().x(e.predAnchor), xb = scale().x(e.succAnchor);
    if (std::max(xa, xb) < body.left - kVisibleMargin ||
        std::min(xa, xb) > body.right + kVisibleMargin)
      continue;
    const NetRoute r = routeRelation({e.predPath, e.succPath, e.row, e.predAnchor, e.succAnchor},
                                     scale(), ends, body.left, body.top, body.right, body.bottom);
    if (!r.count) continue;
    for (int k = 0; k + 1 < r.count; ++k) {
      if (r.x[k] == r.x[k + 1])
        vertical.push_back({r.x[k], std::min(r.y[k], r.y[k + 1]), std::max(r.y[k], r.y[k + 1])});
      else
        horizontal.push_back({r.y[k], std::min(r.x[k], r.x[k + 1]), std::max(r.x[k], r.x[k + 1])});
    }
    painter.setPen(linkPen);
    if (s.flags & netflag::kArrowheads)
      for (int k = 0; k < 2; ++k)
        painter.drawLine(mapper.toDevice(r.x[r.count - 1], r.y[r.count - 1]),
                         mapper.toDevice(r.headX[k], r.headY[k]));
    // The kind and lag, for relations whose text lies in sight.
    const int32_t yRow = pathCentre(row, scale());
    const int32_t x = std::min(r.x[0], r.x[r.count - 1]) + kLabelGap;
    const bool textShown = yRow <= body.top && yRow >= body.bottom - textHeight() &&
                           x <= body.right && x >= body.left - 400;
    RelRecord rel;
    if ((s.flags & netflag::kRelationText) && textShown && readRelation(e.record, &rel) &&
        (rel.flags & 0x0008)) {
      painter.setPen(xjor::colorFromRef(block_.linkColor));
      texts_->draw(painter, mapper.toDevice(x, yRow + textHeight() + 2, x + 400, yRow + 2),
                   Qt::AlignLeft | Qt::AlignBottom | Qt::TextDontClip,
                   QString::fromLatin1(relationText(rel.kind, rel.lag).c_str()));
    }
  }

  painter.setPen(linkPen);
  drawMerged(painter, mapper, &vertical, true);
  drawMerged(painter, mapper, &horizontal, false);

  // Activities of the visible paths whose days overlap the visible range.
  const int32_t reach = block_.nodeWidth / 2 + kVisibleMargin;
  const auto* order = reinterpret_cast<const ActOrderEntry*>(db.actOrder.data);
  const auto* orderEnd = order ? order + db.actOrder.count : nullptr;
  const ActOrderEntry* from = std::lower_bound(
      order, orderEnd, firstPath, [](const ActOrderEntry& e, int32_t p) { return e.path < p; });
  const TableHandle& t = db.act.tb;  // fields of the labels
  const int32_t ref = db.space.refHandle;
  const bool labelsOn = s.flags & (netflag::kUpperLabels | netflag::kLowerLabels);
  // Paper has templates of its own, with the label box measured from them.
  const NetBlock& labels = printing ? paper_ : block_;
  const std::vector<LabelItem> upper =
      parseLabelTemplate(labels.upperLabel, kLabelTemplateSize, t.fieldCount);
  const std::vector<LabelItem> lower =
      parseLabelTemplate(labels.lowerLabel, kLabelTemplateSize, t.fieldCount);
  std::vector<char> record(std::max<size_t>(t.recordSize, sizeof(ActRecord)));
  for (const ActOrderEntry* e = from; e != orderEnd && e->path <= lastPath; ++e) {
    if (e->start == 0) continue;
    const int32_t xs = scale().x(e->start);
    const int32_t xe = std::max(xs, scale().x(e->anchor ? e->anchor : e->start));
    if (xe < body.left - reach || xs > body.right + reach) continue;
    // The whole record: labels may name user fields beyond the layout.
    TableHandle& table = db.act.tb;
    const int32_t kept = table.current;
    table.current = e->record;
    const bool read = xGetRec(&table, record.data()) != 0;
    table.current = kept;
    if (!read) continue;
    ActRecord a;
    std::memcpy(&a, record.data(), sizeof a);
    const int32_t c = pathCentre(a.path, scale());
    const bool critical = a.totalFloat <= 0;
    const COLORREF arrowColour = critical ? block_.criticalColor : block_.normalColor;
    const int32_t w = block_.nodeWidth;
    const QPen arrowPen =
        unitPen(mapper, arrowColour, critical ? block_.criticalWidth : block_.normalWidth);
    const int32_t early = a.earlyFinish ? scale().x(dayAfter(a.earlyFinish)) : xe;
    const int32_t doneEnd = a.actualFinish ? scale().x(dayAfter(a.actualFinish))
                            : dataDate()   ? scale().x(dataDate())
                                           : xs;
    int32_t barRight = xe;
    if (a.type == 1) {
      drawDiamond(s, xs, c, w, a.totalFloat > 0 ? block_.normalColor : block_.criticalColor);
      painter.setPen(xjor::colorFromRef(scale().settings().bodyTextColor));
      texts_->draw(
          painter,
          mapper.toDevice(xs + w / 2 + kLabelGap, c + textHeight(), xs + 4000, c - textHeight()),
          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, textOf(a.title, sizeof a.title));
      continue;
    } else if (s.flags & netflag::kBarMode) {
      barRight = std::max(xs, early);
      int32_t remainingFrom = xs;
      if (a.actualStart) {
        remainingFrom = std::min(std::max(xs, doneEnd), barRight);
        fillBar(s, xs, remainingFrom, c, block_.nodeFillColor);
      }
      if (!a.actualFinish) fillBar(s, remainingFrom, barRight, c, arrowColour);
      if (a.freeFloat > 0 && xe > barRight) {
        painter.setPen(unitPen(mapper, block_.normalColor, 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(mapper.toDevice(barRight, c + w / 2, clampX(xe, body), c - w / 2));
      }
    } else {
      int32_t arrowFrom = xs;
      if (a.actualStart) {
        const int32_t to = std::max(xs, doneEnd);
        const QPen done = unitPen(mapper, arrowColour, 0);
        hLine(s, xs, to, c + kActualOffset, done);
        hLine(s, xs, to, c - kActualOffset, done);
        arrowFrom = to;
      }
      const int32_t arrowEnd = a.freeFloat > 0 ? std::min(early, xe) : xe;
      if (!a.actualFinish && arrowEnd > arrowFrom) hLine(s, arrowFrom, arrowEnd, c, arrowPen);
      if (a.freeFloat > 0 && xe > arrowEnd) {
        hLine(s, arrowEnd, xe, c, unitPen(mapper, block_.normalColor, 0, Qt::DotLine));
        drawDiamond(s, arrowEnd, c, w / 2, block_.normalColor);
      }
      const QString code = (s.flags & netflag::kCodeInNode) ? textOf(a.code, sizeof a.code) : "";
      drawNode(s, xs, c, arrowColour, code);
      drawNode(s, xe, c, arrowColour, QString());
    }
    painter.setPen(xjor::colorFromRef(scale().settings().bodyTextColor));
    const int32_t th = textHeight();
    if (!labelsOn) {
      // Path labels: classification names before the path and on the bar,
      // dates under the bar's ends.
      const int32_t top = c + w / 2;
      for (int cls = 0; cls < 2; ++cls) {
        const char* code = cls == 0 ? a.wbsCode : a.obsCode;
        if (a.flags & (cls == 0 ? actflag::kNameBeforeWorkType : actflag::kNameBeforeFacility))
          texts_->draw(painter,
                       mapper.toDevice(xs - kLabelGap - 4000, c + th, xs - kLabelGap, c - th),
                       Qt::AlignRight | Qt::AlignVCenter, classTitle(db, cls, code));
        if (a.flags & (cls == 0 ? actflag::kNameOnBarWorkType : actflag::kNameOnBarFacility))
          texts_->draw(
              painter, mapper.toDevice(xs, top + kLabelGap + th, xs + 4000, top + kLabelGap),
              Qt::AlignLeft | Qt::AlignBottom | Qt::TextDontClip, classTitle(db, cls, code));
      }
      const int32_t under = c - w / 2 - 2;
      if (a.flags & actflag::kStartDate)
        texts_->draw(painter, mapper.toDevice(xs, under, xs + 4000, under - th),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, dateText(a.start));
      if (a.flags & actflag::kFinishDate)
        texts_->draw(painter, mapper.toDevice(barRight - 4000, under, barRight, under - th),
                     Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip, dateText(a.finish));
      continue;
    }
    // Upper and lower labels in the label box.
    const auto value = [&](int field) {
      LabelValue v;
      char out[XF_VALUE_BUFFER] = {};
      xGetValue(t.fields, ref, out, record.data(), field, -1);
      v.text = out;
      v.width = xGetOutLeng(t.fields, field, ref);
      const int type = t.fields[field].type;
      v.number = type != XF_STRING && type != XF_CHAR && type != XF_REF && type != XF_DATE;
      return v;
    };
    const int32_t lineHeight = std::max<int32_t>(1, labels.labelLineHeight);
    const int32_t boxWidth = std::max<int32_t>(1, labels.labelWidth);
    int32_t x = xs + w / 2 + kLabelGap;
    const int32_t room = (xe - w / 2) - (xs + w / 2);
    if ((s.flags & netflag::kCentreLabels) && boxWidth <= room)
      x = xs + w / 2 + (room - boxWidth) / 2;
    const auto lines = [&](const std::vector<LabelItem>& items) {
      QStringList out;
      for (const std::string& l : labelLines(items, value, labels.labelChars))
        out << xjor::fromCp949(l.data(), int(l.size()));
      return out;
    };
    if ((s.flags & netflag::kUpperLabels) && (a.flags & actflag::kUpperLabel)) {
      const QStringList text = lines(upper);
      drawLines(s, text, x, c + kLabelGap + int32_t(text.size()) * lineHeight, lineHeight,
                boxWidth);
    }
    if ((s.flags & netflag::kLowerLabels) && (a.flags & actflag::kLowerLabel))
      drawLines(s, lines(lower), x, c - kLabelGap, lineHeight, boxWidth);
  }
  painter.restore();
}

void CNetView::drawSelectionHandles(QPainter& painter, const UnitMapper& mapper) {
  CTermView::drawSelectionHandles(painter, mapper);
  const LogicalRect& c = clientRect();
  painter.save();
  painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  for (int32_t slot : selActs_) {
    Frame f;
    if (!frameOf(slot, &f)) continue;
    painter.drawRect(
        mapper.toDevice(clampX(f.left, c), f.centre + 5, clampX(f.right, c), f.centre - 5));
  }
  CPlanDoc* doc = document();
  if (doc && doc->isOpen() && !selRels_.empty()) {
    const MemTable& links = doc->db().relAnchor;
    const auto* e = reinterpret_cast<const RelAnchorEntry*>(links.data);
    painter.setPen(QPen(Qt::black, 2, Qt::DashLine));
    for (uint32_t i = 0; e && i < links.count; ++i) {
      if (std::find(selRels_.begin(), selRels_.end(), e[i].record) == selRels_.end()) continue;
      const NetRoute r =
          routeRelation({e[i].predPath, e[i].succPath, e[i].row, e[i].predAnchor, e[i].succAnchor},
                        scale(), edge(), c.left, c.top, c.right, c.bottom);
      if (!r.count) continue;
      QPointF points[4];
      for (int k = 0; k < r.count; ++k) points[k] = mapper.toDevice(r.x[k], r.y[k]);
      painter.drawPolyline(points, r.count);
    }
  }
  painter.restore();
}

void CNetView::drawRubberBand(QPainter& painter, const UnitMapper& mapper) {
  CTermView::drawRubberBand(painter, mapper);
  if (drag_ == Drag::None) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  painter.setPen(QPen(Qt::black, 0));
  painter.setBrush(Qt::NoBrush);
  if (drag_ == Drag::Band) {
    painter.drawRect(mapper.toDevice(pressX_, pressY_, dragX_, dragY_));
  } else if (drag_ == Drag::Connect) {
    // An orthogonal line: across from the press, then down to the pointer.
    painter.drawLine(mapper.toDevice(pressX_, pressY_), mapper.toDevice(dragX_, pressY_));
    painter.drawLine(mapper.toDevice(dragX_, pressY_), mapper.toDevice(dragX_, dragY_));
  } else if (drag_ == Drag::Move) {
    const int32_t rh = scale().settings().rowHeight;
    const int32_t shift = (pressY_ - dragY_) / rh * rh;
    for (int32_t slot : selActs_) {
      Frame f;
      if (frameOf(slot, &f))
        painter.drawRect(
            mapper.toDevice(f.left, f.centre + 5 - shift, f.right, f.centre - 5 - shift));
    }
  }
  painter.restore();
}

// --- Legend ------------------------------------------------------------------

void CNetView::drawLegendInto(QPainter& painter, const UnitMapper& mapper, const LogicalRect& box,
                              const LOGFONT& font, COLORREF colour) {
  const QFont qfont = xjor::fontFromLogFont(font);
  const QFontMetricsF metrics(qfont, xjor::measuringDevice());
  const int32_t fontHeight = std::max<int32_t>(1, std::abs(font.lfHeight));
  const int32_t sample = 3 * fontHeight;
  const int32_t centre = (box.top + box.bottom) / 2;
  const NetBlock& b = block_;
  struct Entry {
    const char* caption;
    COLORREF color;
    int32_t width;
    Qt::PenStyle style;
    bool done;
  } entries[] = {
      {"완료", b.normalColor, 0, Qt::SolidLine, true},
      {"예정", b.normalColor, b.normalWidth, Qt::SolidLine, false},
      {"여유일", b.normalColor, 0, Qt::DotLine, false},
      {"주공정", b.criticalColor, b.criticalWidth, Qt::SolidLine, false},
  };
  int32_t x = box.left + fontHeight / 2;
  painter.save();
  painter.setFont(qfont);
  for (const Entry& e : entries) {
    const QPen pen = unitPen(mapper, e.color, e.width, e.style);
    painter.setPen(pen);
    if (e.done) {
      painter.drawLine(mapper.toDevice(x, centre + kActualOffset),
                       mapper.toDevice(x + sample, centre + kActualOffset));
      painter.drawLine(mapper.toDevice(x, centre - kActualOffset),
                       mapper.toDevice(x + sample, centre - kActualOffset));
    } else {
      painter.drawLine(mapper.toDevice(x, centre), mapper.toDevice(x + sample, centre));
    }
    x += sample + fontHeight / 2;
    const QString caption = QString::fromUtf8(e.caption);
    const int32_t width = int32_t(metrics.horizontalAdvance(caption)) + 1;
    painter.setPen(xjor::colorFromRef(colour));
    painter.drawText(mapper.toDevice(x, box.top, x + width + fontHeight, box.bottom),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    x += width + fontHeight;
  }
  painter.restore();
}

void CNetView::drawLegend(QPainter& painter, const UnitMapper& paper, const LogicalRect& box,
                          const PrintFormat&) {
  const GanttPrintFormat legend = readLegendFormat();
  drawLegendInto(painter, paper, box, legend.legendFont, legend.legendColor);
}

}  // namespace kelvo

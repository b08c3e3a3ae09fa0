// Drawing of the time-scaled view: the scale strip (years, months, days or
// weeks), shading of non-working days, divider lines, row lines and the
// data-date line around the derived view's body.
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "kelvo/engine_calendars.h"
#include "kelvo/term_view.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// Geometry is kept within the drawn rectangle widened by this much, so that
// bars and lines thousands of metres long never reach the raster engine.
constexpr int32_t kClampMargin = 100;
constexpr int32_t kWeekLabelIndent = 5;
constexpr int32_t kDataDateWidth = 3;

int32_t clampTo(int32_t v, int32_t lo, int32_t hi) {
  return std::clamp(v, lo - kClampMargin, hi + kClampMargin);
}

int byteLength(const QString& text) {
  return int(xjor::toCp949(text).size());
}

// Draws text centred in [left, right] x [top, bottom] when its byte length
// at half the font height per byte fits the segment.
void centredLabel(QPainter& p, const UnitMapper& m, const QString& text, int32_t left,
                  int32_t right, int32_t top, int32_t bottom, int32_t fontHeight) {
  if (int64_t{byteLength(text)} * fontHeight / 2 >= right - left) return;
  p.drawText(m.toDevice(left, top, right, bottom), Qt::AlignCenter, text);
}

}  // namespace

void CTermView::drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                            bool printing) {
  const TimeScaleSettings& s = scale_.settings();
  const int32_t strip = printing ? pages_.strip : stripHeight();
  // The row-number column holds the left edge; the body starts after it.
  const int32_t column = printing ? pages_.rowNumbers : showsRowNumbers() ? s.rowNumberWidth : 0;
  LogicalRect body{visible.left + column, visible.top - strip, visible.right, visible.bottom};
  int32_t firstRow = std::max<int32_t>(0, -body.top / s.rowHeight);
  int32_t lastRow = std::min<int32_t>(s.rowCount - 1, -(body.bottom + 1) / s.rowHeight);
  if (printing) {
    // A page shows its own rows and stops where the next page starts.
    lastRow = std::min<int32_t>(lastRow, page_.lastRow);
    // A page shared with the sheet shows the axis from its own start only.
    body.right = std::min(body.right, page_.right);
    body.left = std::max(body.left, page_.left);
    body.bottom = std::max(body.bottom, -(lastRow + 1) * s.rowHeight);
  }

  painter.save();
  painter.setClipRect(mapper.toDevice(body), Qt::IntersectClip);
  drawShading(painter, mapper, body);
  drawObjectLayer(painter, mapper, body, false);
  const int32_t timeLeft = std::max(scale_.timeLeft(), body.left);
  const int32_t timeRight = std::min(scale_.timeRight(), body.right);
  QPen grid(xjor::colorFromRef(s.gridColor), 0);
  painter.setPen(grid);
  if (s.divider > 0 && timeLeft < timeRight) {
    scale_.forEachDivider(scale_.dateAt(timeLeft), scale_.dateAt(timeRight - 1), xGetStartDayOfM(),
                          xGetStartDayOfW(), [&](uint16_t, int32_t x) {
                            painter.drawLine(mapper.toDevice(x, body.top),
                                             mapper.toDevice(x, body.bottom));
                          });
  }
  if ((s.flags & scaleflag::kRowLines) && lastRow >= firstRow) {
    for (int32_t row = firstRow; row <= lastRow; ++row) {
      const int32_t y = scale_.rowTop(row + 1);
      painter.drawLine(mapper.toDevice(body.left, y), mapper.toDevice(body.right, y));
    }
  }
  if (lastRow >= firstRow) {
    painter.setFont(xjor::fontFromLogFont(s.bodyFont));
    painter.setPen(xjor::colorFromRef(s.bodyTextColor));
    drawBody(painter, mapper, body, firstRow, lastRow, printing);
  }
  const uint16_t dd = dataDate();
  if ((s.flags & scaleflag::kDataDateLine) && dd != 0 && dd >= s.startDate && dd <= s.endDate) {
    const int32_t x = scale_.x(dd);
    painter.fillRect(mapper.toDevice(x - 1, body.top, x - 1 + kDataDateWidth, body.bottom),
                     xjor::colorFromRef(s.dataDateColor));
  }
  drawObjectLayer(painter, mapper, body, true);
  painter.restore();

  const QPointF top = mapper.toDevice(mapper.originX(), visible.top);
  const UnitMapper stripMapper = mapper.withOrigin(mapper.originX(), strip, top);
  if (strip > 0) {
    painter.save();
    painter.setClipRect(stripMapper.toDevice(body.left, strip, body.right, 0), Qt::IntersectClip);
    drawStrip(painter, stripMapper, body.left, body.right);
    painter.restore();
  }
  if (column > 0)
    drawRowNumbers(painter, mapper, strip > 0 ? &stripMapper : nullptr, visible.left, body,
                   firstRow, lastRow);
}

void CTermView::drawRowNumbers(QPainter& painter, const UnitMapper& mapper, const UnitMapper* strip,
                               int32_t left, const LogicalRect& body, int32_t firstRow,
                               int32_t lastRow) {
  const TimeScaleSettings& s = scale_.settings();
  const int32_t right = left + s.rowNumberWidth;
  const QPen grid(xjor::colorFromRef(s.gridColor), 0);
  const QColor text = xjor::colorFromRef(s.scaleTextColor);
  painter.save();
  painter.setFont(xjor::fontFromLogFont(s.scaleFont));
  if (strip) {
    // The strip's corner over the column holds the title.
    const int32_t stripTop = stripHeight();
    painter.fillRect(strip->toDevice(left, stripTop, right, 0),
                     xjor::colorFromRef(s.scaleBackground));
    painter.setPen(grid);
    painter.drawLine(strip->toDevice(left, 0), strip->toDevice(right, 0));
    painter.drawLine(strip->toDevice(right, stripTop), strip->toDevice(right, 0));
    painter.setPen(text);
    painter.drawText(strip->toDevice(left, stripTop, right, 0), Qt::AlignCenter, rowNumberTitle());
  }
  painter.setPen(grid);
  painter.drawLine(mapper.toDevice(right, body.top), mapper.toDevice(right, body.bottom));
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    const int32_t bottom = scale_.rowTop(row + 1);
    painter.drawLine(mapper.toDevice(left, bottom), mapper.toDevice(right, bottom));
  }
  // A text wider than the column is cut at its edges.
  painter.setClipRect(mapper.toDevice(left, body.top, right, body.bottom), Qt::IntersectClip);
  painter.setPen(text);
  for (int32_t row = firstRow; row <= lastRow; ++row)
    painter.drawText(mapper.toDevice(left, scale_.rowTop(row), right, scale_.rowTop(row + 1)),
                     Qt::AlignCenter, rowNumberText(row));
  painter.restore();
}

void CTermView::drawShading(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body) {
  const TimeScaleSettings& s = scale_.settings();
  if (s.shadingCalendar < 1 || s.shadingCalendar > 8) return;
  const int32_t left = std::max(scale_.timeLeft(), body.left);
  const int32_t right = std::min(scale_.timeRight(), body.right);
  if (left >= right) return;
  const int32_t first = xjor::dayNumber(scale_.dateAt(left));
  const int32_t last = xjor::dayNumber(scale_.dateAt(right - 1));
  const QColor colour = xjor::colorFromRef(s.shadingColor);
  EngineCalendars calendars;
  const auto nonWorking = [&](int32_t day) {
    const uint16_t date = xjor::dateFromDayNumber(day);
    return calendars.dayAt(s.shadingCalendar, calendars.offset(s.shadingCalendar, date)) != date;
  };
  // Consecutive non-working days are filled as one rectangle.
  for (int32_t day = first; day <= last; ++day) {
    if (!nonWorking(day)) continue;
    int32_t end = day;
    while (end < last && nonWorking(end + 1)) ++end;
    const int32_t x0 = scale_.x(xjor::dateFromDayNumber(day));
    const int32_t x1 = scale_.x(xjor::dateFromDayNumber(end + 1));
    painter.fillRect(
        mapper.toDevice(clampTo(x0, left, right), body.top, clampTo(x1, left, right), body.bottom),
        colour);
    day = end;
  }
}

void CTermView::drawStrip(QPainter& painter, const UnitMapper& m, int32_t left, int32_t right) {
  const TimeScaleSettings& s = scale_.settings();
  const int32_t h = s.scaleRowHeight;
  const int32_t top = 3 * h;
  const bool threeRows = s.flags & scaleflag::kThreeRows;
  const int32_t fontHeight = std::max<int32_t>(1, std::abs(s.scaleFont.lfHeight));
  painter.fillRect(m.toDevice(left, top, right, 0), xjor::colorFromRef(s.scaleBackground));
  QPen grid(xjor::colorFromRef(s.gridColor), 0);
  painter.setPen(grid);
  painter.drawLine(m.toDevice(left, 0), m.toDevice(right, 0));
  const QString title = left < scale_.timeLeft() ? stripTitle() : QString();
  if (!title.isEmpty()) {
    painter.setFont(xjor::fontFromLogFont(s.scaleFont));
    painter.setPen(xjor::colorFromRef(s.scaleTextColor));
    painter.drawText(m.toDevice(0, top, scale_.timeLeft(), 0), Qt::AlignCenter, title);
    painter.setPen(grid);
  }
  const int32_t timeLeft = std::max(scale_.timeLeft(), left);
  const int32_t timeRight = std::min(scale_.timeRight(), right);
  if (timeLeft >= timeRight) return;
  painter.drawLine(m.toDevice(scale_.timeLeft(), top), m.toDevice(scale_.timeLeft(), 0));
  painter.drawLine(m.toDevice(scale_.timeRight(), top), m.toDevice(scale_.timeRight(), 0));
  // Rows from the top: year, month, and with three rows days or weeks.
  const int32_t yearBottom = threeRows ? 2 * h : top / 2;
  const int32_t monthBottom = threeRows ? h : 0;
  painter.drawLine(m.toDevice(left, yearBottom), m.toDevice(right, yearBottom));
  if (threeRows) painter.drawLine(m.toDevice(left, monthBottom), m.toDevice(right, monthBottom));

  const uint16_t firstDay = scale_.dateAt(timeLeft);
  const uint16_t lastDay = scale_.dateAt(timeRight - 1);
  const int firstYear = xjor::packedYear(firstDay);
  const int lastYear = xjor::packedYear(lastDay);
  painter.setFont(xjor::fontFromLogFont(s.scaleFont));
  const QColor text = xjor::colorFromRef(s.scaleTextColor);
  // A segment's x: its first day, or the right end of the visible time
  // area for the day after the last one shown.
  const auto segmentX = [&](int year, int month) {
    if (year > lastYear || (year == lastYear && month > xjor::packedMonth(lastDay)))
      return timeRight;
    return scale_.x(xjor::packDate(std::min(year, 2107), month, 1));
  };
  for (int year = firstYear; year <= lastYear; ++year) {
    const int32_t x0 = segmentX(year, 1), x1 = segmentX(year + 1, 1);
    painter.setPen(grid);
    painter.drawLine(m.toDevice(x0, top), m.toDevice(x0, yearBottom));
    painter.setPen(text);
    centredLabel(painter, m, QString::number(year), x0, x1, top, yearBottom, fontHeight);
    for (int month = 1; month <= 12; ++month) {
      if (year == firstYear && month < xjor::packedMonth(firstDay)) continue;
      if (year == lastYear && month > xjor::packedMonth(lastDay)) break;
      const int32_t m0 = segmentX(year, month);
      const int32_t m1 = month == 12 ? segmentX(year + 1, 1) : segmentX(year, month + 1);
      painter.setPen(grid);
      painter.drawLine(m.toDevice(m0, yearBottom), m.toDevice(m0, monthBottom));
      painter.setPen(text);
      centredLabel(painter, m, QStringLiteral("%1월").arg(month), m0, m1, yearBottom, monthBottom,
                   fontHeight);
    }
  }
  if (!threeRows) return;
  const bool weeks = scale_.weekRow();
  int weekStart = xGetStartDayOfW();
  if (weekStart < 0 || weekStart > 6) weekStart = 0;
  const int32_t from = xjor::dayNumber(firstDay), to = xjor::dayNumber(lastDay);
  for (int32_t day = from; day <= to; ++day) {
    const uint16_t date = xjor::dateFromDayNumber(day);
    if (weeks && xGetDayOfWeek(date) != weekStart) continue;
    const int32_t x0 = scale_.x(date);
    const int32_t x1 =
        std::min(timeRight, scale_.x(xjor::dateFromDayNumber(day + (weeks ? 7 : 1))));
    painter.setPen(grid);
    painter.drawLine(m.toDevice(x0, monthBottom), m.toDevice(x0, 0));
    // A label wider than its segment loses characters from its left end.
    QString label = QString::number(xjor::packedDay(date));
    const int32_t room = x1 - x0 - (weeks ? kWeekLabelIndent : 0);
    while (!label.isEmpty() && int64_t{byteLength(label)} * fontHeight / 2 > room)
      label.remove(0, 1);
    if (!label.isEmpty()) {
      painter.setPen(text);
      if (weeks)
        painter.drawText(m.toDevice(x0 + kWeekLabelIndent, monthBottom, x1, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
      else
        painter.drawText(m.toDevice(x0, monthBottom, x1, 0), Qt::AlignCenter, label);
    }
    if (weeks) day += 6;
  }
}

}  // namespace kelvo

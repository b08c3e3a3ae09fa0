#include "band_paint.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "kelvo/value_sheet.h"
#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int32_t kTextGap = 10;      // value texts end this far left of their x
constexpr int32_t kTextRoom = 3000;   // room a value text may take to its left
constexpr int32_t kClipMargin = 100;  // geometry is cut to the visible area widened by this
constexpr int32_t kLabelIndent = 10;  // axis labels keep this far from the panel's edge

// Cuts the segment (x0,y0)-(x1,y1) to rect (Liang-Barsky); false when no
// part of it lies inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, const LogicalRect& r) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - r.left, r.right - x0, y0 - r.bottom, r.top - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = ax;
  y0 = ay;
  return true;
}

void line(QPainter& p, const UnitMapper& m, double x0, double y0, double x1, double y1,
          const LogicalRect& clip) {
  if (clipSegment(x0, y0, x1, y1, clip)) p.drawLine(m.toDevice(x0, y0), m.toDevice(x1, y1));
}

void valueText(QPainter& p, const UnitMapper& m, int32_t x, int32_t rowTop, int32_t rowHeight,
               double value, int decimals) {
  p.drawText(m.toDevice(x - kTextGap - kTextRoom, rowTop, x - kTextGap, rowTop - rowHeight),
             Qt::AlignRight | Qt::AlignVCenter, bandValueText(value, decimals));
}

}  // namespace

Qt::PenStyle seriesPenStyle(int16_t style) {
  switch (style) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    case 5:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

QPen seriesPen(const BandSeries& s, const UnitMapper& m) {
  QPen pen(xjor::colorFromRef(s.lineColor));
  pen.setStyle(seriesPenStyle(s.lineStyle));
  pen.setWidthF(std::max(1.0, m.pixelsX(std::max<int16_t>(s.lineWidth, 0))));
  return pen;
}

// Hatches 0..5 (horizontal, vertical, "\", "/", cross, diagonal cross) as
// a texture of 8-pixel cells at 96 dpi, scaled to the device.
QBrush seriesBrush(const BandSeries& s, const UnitMapper& m) {
  const QColor colour = xjor::colorFromRef(s.fillColor);
  if (s.fill == -2) return Qt::NoBrush;
  if (s.fill < 0 || s.fill > 5) return QBrush(colour);
  const int cell = std::max(4, int(std::lround(8 * m.dpiX() / 96)));
  QImage tile(cell, cell, QImage::Format_ARGB32_Premultiplied);
  tile.fill(Qt::transparent);
  QPainter p(&tile);
  p.setPen(QPen(colour, std::max(1.0, cell / 8.0)));
  const int e = cell - 1;
  if (s.fill == 0 || s.fill == 4) p.drawLine(0, cell / 2, e, cell / 2);
  if (s.fill == 1 || s.fill == 4) p.drawLine(cell / 2, 0, cell / 2, e);
  if (s.fill == 2 || s.fill == 5) p.drawLine(0, 0, e, e);
  if (s.fill == 3 || s.fill == 5) p.drawLine(0, e, e, 0);
  p.end();
  return QBrush(tile);
}

std::vector<ShownSeries> loadShownSeries(OptionFileRef* opt, const BandSeries* series, int count) {
  std::vector<ShownSeries> shown;
  for (int i = 0; i < std::clamp(count, 0, kBandSeriesMax); ++i) {
    ShownSeries s;
    s.style = series[i];
    s.decimals = std::clamp<int>(series[i].decimals, 0, 9);
    s.title =
        xjor::fromCp949(series[i].title, int(strnlen(series[i].title, sizeof series[i].title)));
    std::string title;
    if (opt && loadSheetSeries(opt, series[i].sheet, &s.values, &s.decimals, &title))
      s.title = xjor::fromCp949(title.data(), int(title.size()));
    shown.push_back(std::move(s));
  }
  return shown;
}

QString bandValueText(double value, int decimals) {
  char buf[64];
  xNumToStr(buf, value, 15, std::clamp(decimals, 0, 9), XJOR_NUM_COMMA);
  return QString::fromLatin1(buf).trimmed();
}

void paintBand(QPainter& painter, const UnitMapper& m, const LogicalRect& visible,
               const BandScene& s) {
  const BandLayout& L = s.layout;
  const int32_t left = std::max(s.scale->timeLeft(), visible.left);
  const int32_t right = std::min(s.scale->timeRight(), visible.right);
  const int rows = int(s.lines.size() + s.bars.size());
  const LogicalRect wide{visible.left - kClipMargin, visible.top + kClipMargin,
                         visible.right + kClipMargin, visible.bottom - kClipMargin};
  painter.save();
  const QPen outline(xjor::colorFromRef(s.band.outlineColor), 0);
  const QPen table(xjor::colorFromRef(s.band.tableLineColor), 0);
  QPen grid(s.gridColor, 0);
  QPen dotted(s.gridColor, 0, Qt::DotLine);

  // The panel's frame and the value rows' lines.
  if (left < right) {
    painter.setPen(outline);
    for (int32_t x : {left, right}) line(painter, m, x, L.panelTop, x, L.panelBottom(), wide);
    line(painter, m, left, L.panelTop, right, L.panelTop, wide);
    line(painter, m, left, L.panelBottom(), right, L.panelBottom(), wide);
    if (rows > 0) {
      painter.setPen(table);
      for (int32_t x : {left, right}) line(painter, m, x, L.valueRowsTop(), x, s.bottom(), wide);
      for (int r = 0; r <= rows; ++r)
        line(painter, m, left, L.valueRowTop(r), right, L.valueRowTop(r), wide);
    }
  }

  const LogicalRect panel{left, L.panelTop, right, L.panelBottom()};
  const auto gridLines = [&](const Axis& axis, uint16_t majorFlag, uint16_t minorFlag) {
    if (!axis.drawsSeries() || left >= right) return;
    if (axis.minimum < 0 && axis.maximum > 0) {
      painter.setPen(grid);
      line(painter, m, left, L.yOf(0, axis), right, L.yOf(0, axis), wide);
    }
    painter.setPen(dotted);
    for (auto [flag, step] : {std::pair{majorFlag, axis.major}, {minorFlag, axis.minor}}) {
      if (!(s.scaleFlags & flag)) continue;
      for (double v : axisTicks(axis.minimum, axis.maximum, step, L.panelHeight))
        line(painter, m, left, L.yOf(v, axis), right, L.yOf(v, axis), wide);
    }
  };
  gridLines(s.axis, bandflag::kMajorGrid, bandflag::kMinorGrid);
  if (!s.bars.empty()) gridLines(s.barAxis, bandflag::kBarMajorGrid, bandflag::kBarMinorGrid);

  // Bars, then the S-curves over them, each clipped to the panel.
  const QRectF panelDevice = m.toDevice(panel);
  const LogicalRect valueRows{left, L.valueRowsTop(), right, s.bottom()};
  painter.setFont(xjor::fontFromLogFont(s.band.tableFont));
  const int n = int(s.bars.size());
  if (s.barAxis.drawsSeries() && left < right) {
    for (int i = 0; i < n; ++i) {
      const ShownSeries& bar = s.bars[size_t(i)];
      const int32_t rowTop = L.valueRowTop(int(s.lines.size()) + i);
      for (const PeriodValue& v : bar.values) {
        const int32_t x = s.scale->x(v.day);
        if (x - n * s.barWidth > right || x < left) continue;
        const BarRect r = barRect(i, n, x, s.barWidth, L.panelBottom(), L.yOf(v.value, s.barAxis));
        painter.save();
        painter.setClipRect(panelDevice, Qt::IntersectClip);
        painter.setPen(seriesPen(bar.style, m));
        painter.setBrush(seriesBrush(bar.style, m));
        const int32_t top = std::min(r.top, L.panelTop + kClipMargin);
        const int32_t bottom = std::max(r.bottom, L.panelBottom() - kClipMargin);
        painter.drawRect(m.toDevice(r.left, top, r.right, bottom));
        painter.restore();
        painter.save();
        painter.setClipRect(m.toDevice(valueRows), Qt::IntersectClip);
        painter.setPen(xjor::colorFromRef(s.band.tableLineColor).darker(300));
        valueText(painter, m, x, rowTop, L.valueRowHeight, v.value, bar.decimals);
        painter.restore();
      }
    }
  }
  if (s.axis.drawsSeries() && left < right) {
    for (size_t i = 0; i < s.lines.size(); ++i) {
      const ShownSeries& series = s.lines[i];
      const auto points = linePoints(series.values, *s.scale, left, right, L, s.axis);
      painter.save();
      painter.setClipRect(panelDevice, Qt::IntersectClip);
      painter.setPen(seriesPen(series.style, m));
      for (size_t k = 1; k < points.size(); ++k)
        line(painter, m, points[k - 1].x, points[k - 1].y, points[k].x, points[k].y, wide);
      painter.restore();
      painter.save();
      painter.setClipRect(m.toDevice(valueRows), Qt::IntersectClip);
      painter.setPen(xjor::colorFromRef(series.style.lineColor));
      const int32_t rowTop = L.valueRowTop(int(i));
      for (const BandPoint& p : points)
        if (p.x >= left)
          valueText(painter, m, p.x, rowTop, L.valueRowHeight, p.value, series.decimals);
      painter.restore();
    }
  }

  // Axis labels and series titles: in the side table, or inside the panel.
  painter.setFont(s.labelFont);
  painter.setPen(s.labelColor);
  const bool side = s.labelRight > s.labelLeft;
  const bool atRight = s.scaleFlags & bandflag::kAxisRight;
  const int32_t labelLeft = side ? s.labelLeft : left;
  const int32_t labelRight = side ? s.labelRight : right;
  const int32_t half = std::max(1, s.labelHeight) / 2 + 4;
  const Qt::Alignment align = (atRight && !side) ? Qt::AlignRight : Qt::AlignLeft;
  const auto labelRect = [&](int32_t y) {
    return m.toDevice(labelLeft + kLabelIndent, y + half, labelRight - kLabelIndent, y - half);
  };
  if (s.axis.drawsLabels()) {
    const QString unit =
        xjor::fromCp949(s.band.unit, int(strnlen(s.band.unit, sizeof s.band.unit)));
    for (double v : axisTicks(s.axis.minimum, s.axis.maximum, s.axis.major, L.panelHeight))
      painter.drawText(labelRect(L.yOf(v, s.axis)), align | Qt::AlignVCenter,
                       bandValueText(v, s.band.decimals));
    if (!unit.isEmpty())
      painter.drawText(labelRect(L.panelTop + 2 * half), align | Qt::AlignVCenter, unit);
  }
  int row = 0;
  for (const auto* list : {&s.lines, &s.bars})
    for (const ShownSeries& series : *list) {
      const int32_t top = L.valueRowTop(row++);
      painter.drawText(m.toDevice(labelLeft + kLabelIndent, top, labelRight - kLabelIndent,
                                  top - L.valueRowHeight),
                       align | Qt::AlignVCenter, series.title);
    }
  painter.restore();
}

}  // namespace kelvo

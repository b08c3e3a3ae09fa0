// Fit to paper on the time-scaled views: the axis, the rows, the fonts and
// the drawing objects rescaled so that the whole chart prints on the pages
// the user asked for.
#include <algorithm>
#include <cmath>

#include "kelvo/object_layer.h"
#include "kelvo/term_view.h"

namespace kelvo {
namespace {

constexpr int32_t kMaxSize = 32767;

int16_t scaledSize(int32_t size, double factor, int32_t least) {
  return int16_t(std::clamp<int64_t>(int64_t(size * factor), least, kMaxSize));
}

// A font height scaled toward zero, never to 0 (which would mean "any size").
void scaleFont(LOGFONT* font, double factor) {
  const int32_t old = font->lfHeight;
  const int32_t height = int32_t(old * factor);
  font->lfHeight = height != 0 || old == 0 ? height : (old < 0 ? -1 : 1);
}

// The units per day as step width / step days with as many digits as the
// 16-bit fields keep.
void setUnitsPerDay(double units, TimeScaleSettings* s) {
  const int32_t days = units > 3000 ? 1 : units > 300 ? 10 : units > 1 ? 100 : 10000;
  s->stepWidth = int16_t(std::clamp<int64_t>(int64_t(units * days), 1, kMaxSize));
  s->stepDays = int16_t(days);
}

}  // namespace

void CTermView::fitReserved(int32_t* width, int32_t* height) const {
  const PrintFormat format = readPrintFormat();
  *width = printsRowNumbers(format) ? scale_.settings().rowNumberWidth : 0;
  *height = format.flags & printflag::kRepeatScale ? stripHeight() : 0;
}

void CTermView::applyFitToPaper(int pagesAcross, int pagesDown, int32_t printableWidth,
                                int32_t printableHeight) {
  // Plan the pages as printing will, so that what the derived view prints
  // before the axis (the Gantt chart's sheet) is known.
  const PrintFormat format = readPrintFormat();
  PrintLayout layout;
  int32_t reservedWidth = 0, reservedHeight = 0;
  fitReserved(&reservedWidth, &reservedHeight);
  layout.paperWidth = printableWidth + format.marginLeft + format.marginRight + reservedWidth;
  layout.paperHeight = printableHeight + format.marginTop + format.marginBottom +
                       format.headerHeight + format.footerHeight + reservedHeight;
  if (!preparePrinting(format, &layout)) return;
  const int chartPages = std::max(1, pagesAcross - firstChartPage());
  const double target = double(chartPages) * printableWidth - sharedWidth();

  // One scaled day is kept free per page boundary: page edges move back to
  // the start of their day.
  const TimeScaleSettings& s = scale_.settings();
  const double total = scale_.totalWidth();
  const double day = double(s.stepWidth) / s.stepDays;
  double m = (target - target / total * day * (chartPages - 1)) / total;
  if (m <= 0) m = target / total;

  const int32_t rows = std::max<int32_t>(1, printedRowCount());
  const int32_t rowsPerPage = std::max<int32_t>(1, (rows + pagesDown - 1) / pagesDown);
  const int16_t rowHeight =
      int16_t(std::clamp<int32_t>(printableHeight / rowsPerPage, 1, kMaxSize));
  const double v = double(rowHeight) / s.rowHeight;
  const double fontFactor = std::min(m, v);

  TimeScaleSettings next = s;
  setUnitsPerDay(m * day, &next);
  next.rowHeight = rowHeight;
  next.leftTableWidth = scaledSize(s.leftTableWidth, m, 0);
  next.rightAreaWidth = scaledSize(s.rightAreaWidth, m, 0);
  // The row-number column the view shows narrows with the axis.
  if (showsRowNumbers()) next.rowNumberWidth = scaledSize(s.rowNumberWidth, m, 0);
  scaleFont(&next.scaleFont, fontFactor);
  scaleFont(&next.bodyFont, fontFactor);

  // Objects stay on their day and row: the distances into them shrink with
  // the day and the row.
  objects().scaleObjects(m, v, fontFactor, [m, v](ViewPosition p) {
    return ViewPosition::time(p.date(), uint16_t(p.xRemainder() * m), p.row(),
                              int16_t(p.yRemainder() * v));
  });
  scaleOwnWidths(m);
  setScaleSettings(next);
  rowsMoved();
}

}  // namespace kelvo

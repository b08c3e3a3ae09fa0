// Fit to paper on the time-scaled views: the axis, the rows, the fonts and
// the drawing objects rescaled so that the whole chart prints on the pages
// the user asked for.
#include <algorithm>

#include "kelvo/object_layer.h"
#include "kelvo/term_view.h"

namespace kelvo {

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
  const TimeScaleFit fit =
      fitTimeScale(scale_, pageRequest(format, layout.body.width(), layout.body.height()),
                   pagesAcross, pagesDown);
  const double m = fit.across, v = fit.down;
  TimeScaleSettings next = fit.settings;
  // The row-number column the view shows narrows with the axis.
  if (showsRowNumbers())
    next.rowNumberWidth = int16_t(std::clamp<int64_t>(int64_t(next.rowNumberWidth * m), 0, 32767));

  // Objects stay on their day and row: the distances into them shrink with
  // the day and the row.
  objects().scaleObjects(m, v, fit.fonts, [m, v](ViewPosition p) {
    return ViewPosition::time(p.date(), uint16_t(p.xRemainder() * m), p.row(),
                              int16_t(p.yRemainder() * v));
  });
  scaleOwnWidths(m);
  setScaleSettings(next);
  rowsMoved();
}

}  // namespace kelvo

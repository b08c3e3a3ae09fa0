// Painting of a period band: the panel's grid, the S-curves, the bars of
// the period chart, the value rows and the axis labels, through the views'
// one mapping from logical units to device pixels.
#ifndef KELVO_PERIOD_BAND_PAINT_H_
#define KELVO_PERIOD_BAND_PAINT_H_

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>
#include <vector>

#include "kelvo/logical_rect.h"
#include "kelvo/period_band.h"
#include "kelvo/unit_mapper.h"

class QPainter;

namespace kelvo {

// One series as it is drawn: its stored style and the values it shows.
struct ShownSeries {
  BandSeries style{};
  std::vector<PeriodValue> values;  // in day order
  int decimals = 0;
  QString title;
};

// Everything one band paints.
struct BandScene {
  const TimeScale* scale = nullptr;
  BandBlock band{};
  BandLayout layout;
  Axis axis;
  std::vector<ShownSeries> lines;
  // The period chart's bars (none elsewhere).
  Axis barAxis;
  int32_t barWidth = 30;
  std::vector<ShownSeries> bars;
  uint16_t scaleFlags = 0;
  // The side table where axis labels and titles go: [labelLeft, labelRight)
  // in x; empty (labelRight <= labelLeft) puts them inside the panel.
  int32_t labelLeft = 0, labelRight = 0;
  QFont labelFont;
  int32_t labelHeight = 32;  // of the label font, in logical units
  QColor labelColor;
  QColor gridColor;
  // The bottom of the last value row.
  int32_t bottom() const { return layout.valueRowTop(int(lines.size() + bars.size())); }
};

// The pen of a series' line style (0 solid, 1 dash, 2 dot, 3 dash-dot,
// 4 dash-dot-dot, 5 none) and width, and the brush of its fill (-2 none,
// -1 solid, 0..5 hatch), as painted on the mapper's device.
Qt::PenStyle seriesPenStyle(int16_t style);
QPen seriesPen(const BandSeries& series, const UnitMapper& mapper);
QBrush seriesBrush(const BandSeries& series, const UnitMapper& mapper);

// Paints scene over the visible logical rectangle.
void paintBand(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
               const BandScene& scene);

// The series of a band or chart block: the first count series, each
// loaded from its source value sheet (decimals and title from the sheet's
// header); a series without a source or data keeps an empty row.
std::vector<ShownSeries> loadShownSeries(OptionFileRef* opt, const BandSeries* series, int count);

// The value text of a band: comma format, 15 digits, decimals.
QString bandValueText(double value, int decimals);

}  // namespace kelvo

#endif  // KELVO_PERIOD_BAND_PAINT_H_

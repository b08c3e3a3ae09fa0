// The "Histogram" page of the period chart's "선택 사항" sheet: the bar
// block (its value axis, grid lines, bar width and six bar series).
#ifndef KELVO_OPT_HISTO_PAGE_H_
#define KELVO_OPT_HISTO_PAGE_H_

#include "kelvo/period_band.h"
#include "kelvo/property_sheet.h"

class QCheckBox;
class QSpinBox;

struct OptionFileRef;

namespace kelvo {

class AxisFields;
class SeriesEditor;

class COptHistoPage : public CPropertyPage {
  Q_OBJECT
 public:
  // Edits *chart and the bar grid flag bits 12 and 13 of *settings.
  COptHistoPage(TimeScaleSettings* settings, ChartBlock* chart, OptionFileRef* opt,
                QWidget* parent = nullptr);

  bool validate() override;
  void apply() override;
  void load() override;

  AxisFields& axis() const { return *axis_; }
  SeriesEditor& series() const { return *series_; }
  QSpinBox* barWidthSpin() const { return barWidth_; }

 private:
  TimeScaleSettings* s_;
  ChartBlock* chart_;
  AxisFields* axis_;
  SeriesEditor* series_;
  QSpinBox* barWidth_;
  QCheckBox* major_;
  QCheckBox* minor_;
};

}  // namespace kelvo

#endif  // KELVO_OPT_HISTO_PAGE_H_

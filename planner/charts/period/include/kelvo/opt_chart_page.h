// The "S-Curve" page of the "선택 사항" sheets of every time-scaled view:
// the period band (panel, margins, value axis, grid lines, colours, fonts
// and the six line series).
#ifndef KELVO_OPT_CHART_PAGE_H_
#define KELVO_OPT_CHART_PAGE_H_

#include <functional>

#include "kelvo/period_band.h"
#include "kelvo/property_sheet.h"

class QCheckBox;
class QSpinBox;

struct OptionFileRef;

namespace kelvo {

class AxisFields;
class SeriesEditor;

class COptChartPage : public CPropertyPage {
  Q_OBJECT
 public:
  // Edits *band and, of *settings (the same working copy the other pages
  // edit), the band's flag bits 8-11, the shape flag (bit 0), the grid
  // colour ("눈금선 색깔...") and the body font ("글꼴..."). Value sheets
  // are offered from opt (null: none to choose).
  COptChartPage(TimeScaleSettings* settings, BandBlock* band, OptionFileRef* opt,
                QWidget* parent = nullptr);
  ~COptChartPage() override;

  bool validate() override;
  void apply() override;
  void load() override;

  AxisFields& axis() const { return *axis_; }
  SeriesEditor& series() const { return *series_; }
  QSpinBox* panelHeightSpin() const { return panelHeight_; }
  QCheckBox* check(int bit) const;  // by scale flag bit: 0, 8, 9, 10, 11

 private:
  TimeScaleSettings* s_;
  BandBlock* band_;
  AxisFields* axis_;
  SeriesEditor* series_;
  QSpinBox* panelHeight_;
  QSpinBox* margins_[4];
  QCheckBox* checks_[5];
};

// The band under a time-scaled view (Gantt, network, period sheet) as its
// "S-Curve" page edits it: a copy of the band's block, handed back and
// stored by commit() after OK.
class CPeriodBand;
class CTermView;
class BandOptions {
 public:
  explicit BandOptions(CTermView* view);
  // The page over settings (the sheet's copy) and this band copy.
  COptChartPage* makePage(TimeScaleSettings* settings);
  void commit();

 private:
  CPeriodBand* band_;
  BandBlock block_;
  OptionFileRef* opt_;
};

}  // namespace kelvo

#endif  // KELVO_OPT_CHART_PAGE_H_

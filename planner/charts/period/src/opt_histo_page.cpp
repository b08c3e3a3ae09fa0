#include "kelvo/opt_histo_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

#include "band_page_parts.h"

namespace kelvo {

COptHistoPage::COptHistoPage(TimeScaleSettings* settings, ChartBlock* chart, OptionFileRef* opt,
                             QWidget* parent)
    : CPropertyPage(QStringLiteral("Histogram"), parent),
      s_(settings),
      chart_(chart),
      barWidth_(new QSpinBox(this)),
      major_(new QCheckBox(QStringLiteral("눈금선 표시"), this)),
      minor_(new QCheckBox(QStringLiteral("눈금선 표시"), this)) {
  auto* grid = new QGridLayout(this);
  axis_ = new AxisFields(this, grid, 0,
                         {&chart_->minimum, &chart_->maximum, &chart_->major, &chart_->minor,
                          &chart_->decimals, chart_->unit});
  grid->addWidget(major_, 3, 0);
  grid->addWidget(minor_, 3, 1);
  barWidth_->setRange(1, 32767);
  grid->addWidget(new QLabel(QStringLiteral("막대 폭 :"), this), 4, 0);
  grid->addWidget(barWidth_, 4, 1);
  series_ = new SeriesEditor(this, grid, 5, chart_->series, &chart_->seriesCount, true,
                             valueSheetChooser(opt));
  grid->setRowStretch(grid->rowCount(), 1);
  load();
}

void COptHistoPage::load() {
  axis_->load();
  major_->setChecked(s_->flags & bandflag::kBarMajorGrid);
  minor_->setChecked(s_->flags & bandflag::kBarMinorGrid);
  barWidth_->setValue(chart_->barWidth);
  series_->load();
}

bool COptHistoPage::validate() {
  return axis_->validate();
}

void COptHistoPage::apply() {
  axis_->apply();
  setFlagBit(&s_->flags, bandflag::kBarMajorGrid, major_->isChecked());
  setFlagBit(&s_->flags, bandflag::kBarMinorGrid, minor_->isChecked());
  chart_->barWidth = int16_t(barWidth_->value());
  series_->apply();
}

}  // namespace kelvo

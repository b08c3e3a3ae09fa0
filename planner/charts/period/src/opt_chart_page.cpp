#include "kelvo/opt_chart_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "band_page_parts.h"
#include "kelvo/period_band_widget.h"
#include "kelvo/plan_doc.h"
#include "kelvo/term_view.h"

namespace kelvo {
namespace {

// The checks in page order and the scale flag bit each sets.
struct FlagCheck {
  const char* caption;
  int bit;
};
constexpr FlagCheck kChecks[] = {{"눈금선 표시", 10},
                                 {"눈금선 표시", 11},
                                 {"눈금 단위 오른쪽 표시", 9},
                                 {"도형 표시", 0},
                                 {"S-Curve 표시", 8}};

}  // namespace

COptChartPage::COptChartPage(TimeScaleSettings* settings, BandBlock* band, OptionFileRef* opt,
                             QWidget* parent)
    : CPropertyPage(QStringLiteral("S-Curve"), parent),
      s_(settings),
      band_(band),
      panelHeight_(new QSpinBox(this)) {
  auto* grid = new QGridLayout(this);
  int row = 0;
  panelHeight_->setRange(1, 32767);
  grid->addWidget(new QLabel(QStringLiteral("전체 눈금 높이 :"), this), row, 0);
  grid->addWidget(panelHeight_, row++, 1);

  auto* marginBox = new QGroupBox(QStringLiteral("도표 바깥 여백(0.1mm)"), this);
  auto* marginGrid = new QGridLayout(marginBox);
  const char* sides[] = {"위:", "아래:", "왼쪽:", "오른쪽:"};
  for (int i = 0; i < 4; ++i) {
    margins_[i] = new QSpinBox(marginBox);
    margins_[i]->setRange(0, 32767);
    marginGrid->addWidget(new QLabel(QString::fromUtf8(sides[i]), marginBox), 0, i * 2);
    marginGrid->addWidget(margins_[i], 0, i * 2 + 1);
  }
  grid->addWidget(marginBox, row++, 0, 1, 4);

  axis_ = new AxisFields(this, grid, row,
                         {&band_->minimum, &band_->maximum, &band_->major, &band_->minor,
                          &band_->decimals, band_->unit});
  row += 3;
  for (int i = 0; i < 5; ++i) {
    checks_[i] = new QCheckBox(QString::fromUtf8(kChecks[i].caption), this);
    grid->addWidget(checks_[i], row + i / 3, i % 3);
  }
  row += 2;
  grid->addWidget(colourButton(this, QStringLiteral("눈금선 색깔..."), &s_->gridColor), row, 0);
  grid->addWidget(colourButton(this, QStringLiteral("도표 외곽선 색깔..."), &band_->outlineColor),
                  row, 1);
  grid->addWidget(colourButton(this, QStringLiteral("테이블 선 색깔..."), &band_->tableLineColor),
                  row++, 2);
  grid->addWidget(fontField(this, QStringLiteral("글꼴..."), &s_->bodyFont, &s_->bodyTextColor),
                  row, 0);
  grid->addWidget(fontField(this, QStringLiteral("테이블 글꼴..."), &band_->tableFont), row++, 1);
  series_ = new SeriesEditor(this, grid, row, band_->series, &band_->seriesCount, false,
                             valueSheetChooser(opt));
  grid->setRowStretch(grid->rowCount(), 1);
  load();
}

COptChartPage::~COptChartPage() = default;

QCheckBox* COptChartPage::check(int bit) const {
  for (int i = 0; i < 5; ++i)
    if (kChecks[i].bit == bit) return checks_[i];
  return nullptr;
}

void COptChartPage::load() {
  panelHeight_->setValue(band_->panelHeight);
  for (int i = 0; i < 4; ++i) margins_[i]->setValue(band_->margin[i]);
  for (int i = 0; i < 5; ++i) checks_[i]->setChecked(s_->flags & (1u << kChecks[i].bit));
  axis_->load();
  series_->load();
}

bool COptChartPage::validate() {
  return axis_->validate();
}

void COptChartPage::apply() {
  band_->panelHeight = int16_t(panelHeight_->value());
  for (int i = 0; i < 4; ++i) band_->margin[i] = int16_t(margins_[i]->value());
  for (int i = 0; i < 5; ++i) {
    setFlagBit(&s_->flags, uint16_t(1u << kChecks[i].bit), checks_[i]->isChecked());
  }
  axis_->apply();
  series_->apply();
}

BandOptions::BandOptions(CTermView* view)
    : band_(periodBandOf(view)),
      block_(band_ ? band_->block() : defaultBandBlock()),
      opt_(view->document() && view->document()->isOpen() ? &view->document()->db().opt : nullptr) {
}

COptChartPage* BandOptions::makePage(TimeScaleSettings* settings) {
  return new COptChartPage(settings, &block_, opt_);
}

void BandOptions::commit() {
  if (!band_) return;
  band_->setBlock(block_);
  band_->store();
}

}  // namespace kelvo

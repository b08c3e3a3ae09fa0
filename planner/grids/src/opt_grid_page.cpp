#include "kelvo/opt_grid_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "kelvo/time_scale.h"

namespace kelvo {
namespace {

constexpr uint16_t kDrawShapes = 0x0001;
// The width a row-number column gets when numbering is turned on again.
constexpr int kNumberWidth = 100;

}  // namespace

COptGridPage::COptGridPage(GridFormat* format, QWidget* parent)
    : CPropertyPage(QStringLiteral("자료"), parent),
      f_(format),
      numbers_(new QCheckBox(QStringLiteral("번호 매김"), this)),
      shapes_(new QCheckBox(QStringLiteral("도형 표시"), this)),
      rowHeight_(new QSpinBox(this)),
      numberWidth_(new QSpinBox(this)) {
  auto* grid = new QGridLayout(this);
  grid->addWidget(fontField(this, QStringLiteral("항목명..."), &f_->headerFont, &f_->headerText), 0,
                  0);
  grid->addWidget(fontField(this, QStringLiteral("자료내용..."), &f_->bodyFont, &f_->bodyText), 0,
                  1);
  grid->addWidget(colourButton(this, QStringLiteral("항목바탕..."), &f_->headerBack), 1, 0);
  grid->addWidget(colourButton(this, QStringLiteral("구분선..."), &f_->gridLine), 1, 1);
  grid->addWidget(numbers_, 2, 0);
  grid->addWidget(shapes_, 2, 1);
  rowHeight_->setRange(1, 32767);
  numberWidth_->setRange(1, 32767);
  grid->addWidget(new QLabel(QStringLiteral("높이 (0.1mm)"), this), 3, 0);
  grid->addWidget(rowHeight_, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("폭(0.1mm):"), this), 4, 0);
  grid->addWidget(numberWidth_, 4, 1);
  grid->setRowStretch(5, 1);
  connect(numbers_, &QCheckBox::toggled, numberWidth_, &QWidget::setEnabled);
  load();
}

void COptGridPage::load() {
  numbers_->setChecked(f_->rowNumberWidth > 0);
  numberWidth_->setValue(f_->rowNumberWidth > 0 ? f_->rowNumberWidth : kNumberWidth);
  numberWidth_->setEnabled(numbers_->isChecked());
  shapes_->setChecked(f_->flags & kDrawShapes);
  rowHeight_->setValue(f_->rowHeight);
}

void COptGridPage::apply() {
  f_->rowNumberWidth = numbers_->isChecked() ? uint16_t(numberWidth_->value()) : 0;
  setFlagBit(&f_->flags, kDrawShapes, shapes_->isChecked());
  f_->rowHeight = uint16_t(rowHeight_->value());
}

}  // namespace kelvo

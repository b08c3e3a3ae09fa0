#include "target_schedule_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"

namespace kelvo {

CTargetScheduleDlg::CTargetScheduleDlg(bool selectionAvailable, QWidget* parent) : QDialog(parent) {
  setWindowTitle(loadString(1083));
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName(QStringLiteral("percentSlider"));
  slider_->setRange(0, 100);
  slider_->setTickInterval(10);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setValue(50);
  number_ = new QSpinBox(this);
  number_->setObjectName(QStringLiteral("percent"));
  number_->setRange(0, 100);
  number_->setValue(50);
  connect(slider_, &QSlider::valueChanged, number_, &QSpinBox::setValue);
  connect(number_, &QSpinBox::valueChanged, slider_, &QSlider::setValue);

  exclude_ = new QCheckBox(loadString(108304), this);
  exclude_->setObjectName(QStringLiteral("excludeStarted"));
  exclude_->setChecked(true);
  selected_ = new QCheckBox(loadString(108305), this);
  selected_->setObjectName(QStringLiteral("selectedOnly"));
  selected_->setEnabled(selectionAvailable);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(loadString(108301), this), 0, 0, 1, 3);
  grid->addWidget(slider_, 1, 0, 1, 3);
  grid->addWidget(new QLabel(loadString(108302), this), 2, 0);
  grid->addWidget(number_, 2, 1, Qt::AlignHCenter);
  grid->addWidget(new QLabel(loadString(108303), this), 2, 2, Qt::AlignRight);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(exclude_);
  layout->addWidget(selected_);
  layout->addWidget(okCancelButtons(this));
}

TargetScheduleChoice CTargetScheduleDlg::choice() const {
  return {number_->value(), exclude_->isChecked(),
          selected_->isEnabled() && selected_->isChecked()};
}

}  // namespace kelvo

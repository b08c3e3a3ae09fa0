#include "actual_work_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"

namespace kelvo {

CActualWorkDlg::CActualWorkDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(loadString(1085));
  compute_ = new QCheckBox(loadString(108501), this);
  compute_->setObjectName(QStringLiteral("compute"));
  compute_->setChecked(true);
  send_ = new QCheckBox(loadString(108502), this);
  send_->setObjectName(QStringLiteral("sendToEditor"));
  auto* group = new QGroupBox(loadString(108509), this);
  results_ = new QListWidget(group);
  results_->setObjectName(QStringLiteral("results"));
  for (int i = 0; i < 5; ++i) results_->addItem(loadString(108503 + i));
  results_->setSelectionMode(QAbstractItemView::NoSelection);
  results_->setFixedHeight(results_->sizeHintForRow(0) * 5 + 2 * results_->frameWidth() + 4);
  auto* inGroup = new QVBoxLayout(group);
  inGroup->addWidget(results_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(compute_);
  layout->addWidget(send_);
  layout->addWidget(group);
  layout->addWidget(okCancelButtons(this));
}

bool CActualWorkDlg::compute() const {
  return compute_->isChecked();
}

bool CActualWorkDlg::sendToEditor() const {
  return send_->isChecked();
}

}  // namespace kelvo

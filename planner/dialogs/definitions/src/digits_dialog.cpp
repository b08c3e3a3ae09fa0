#include "digits_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

constexpr int kRowCaptions = 104501;  // 기간, 수량, 단가, 금액, 진도율/보할

}  // namespace

CDigitsDlg::CDigitsDlg(CPlanDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), current_(currentDigitSettings(&doc.db(), doc.info())) {
  setWindowTitle(loadString(1045));
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(loadString(104506), this), 0, 1);
  grid->addWidget(new QLabel(loadString(104507), this), 0, 2);
  for (int row = 0; row < kDigitRows; ++row) {
    grid->addWidget(new QLabel(loadString(kRowCaptions + row), this), row + 1, 0);
    auto* w = new QSpinBox(this);
    w->setObjectName(QStringLiteral("width%1").arg(row));
    w->setRange(row == kDurationRow ? 0 : 1, row == kDurationRow ? 5 : 15);
    w->setValue(current_[row].width);
    w->setEnabled(row != kWeightRow);
    auto* d = new QSpinBox(this);
    d->setObjectName(QStringLiteral("decimals%1").arg(row));
    d->setRange(0, row == kWeightRow ? 4 : 9);
    d->setValue(current_[row].decimals);
    d->setEnabled(row != kDurationRow);
    width_[row] = w;
    decimals_[row] = d;
    grid->addWidget(w, row + 1, 1);
    grid->addWidget(d, row + 1, 2);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(okCancelButtons(this));
}

void CDigitsDlg::accept() {
  DigitSettings wanted;
  for (int row = 0; row < kDigitRows; ++row)
    wanted[row] = {width_[row]->value(), decimals_[row]->value()};
  wanted = clampDigits(wanted, current_);
  int smallest = 0;
  const int refused = refusedDigitRow(&doc_.db(), wanted, current_, &smallest);
  if (refused >= 0) {
    QApplication::beep();
    width_[refused]->setValue(smallest);
    width_[refused]->setFocus();
    return;
  }
  doc_.updateAllViews(kAllViews, hint::kComputationBegins);
  PrjInfo info = doc_.info();
  applyDigits(&doc_.db(), &info, wanted);
  doc_.setProjectInfo(info);
  doc_.updateAllViews(kAllViews, hint::kDatesChanged);
  QDialog::accept();
}

}  // namespace kelvo

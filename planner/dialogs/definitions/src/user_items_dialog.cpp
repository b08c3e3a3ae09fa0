#include "user_items_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/cp949_validator.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"

namespace kelvo {
namespace {

constexpr int kNameBytes = 31;
constexpr int kHeadings = 104101;  // 항목명, 정수부분 자릿수, 소수부분 자릿수, 천 단위 구분

}  // namespace

CUserItemsDlg::CUserItemsDlg(CPlanDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(loadString(1041));
  UserSummaryItems items;
  const bool present = readUserSummaryItems(doc.db().act.tb, &items);
  auto* grid = new QGridLayout;
  for (int c = 0; c < 4; ++c) grid->addWidget(new QLabel(loadString(kHeadings + c), this), 0, c);
  for (size_t k = 0; k < rows_.size(); ++k) {
    Row& r = rows_[k];
    const int row = int(k) + 1;
    r.name = new QLineEdit(this);
    r.name->setObjectName(QStringLiteral("name%1").arg(k));
    r.name->setValidator(new Cp949Validator(kNameBytes, r.name));
    r.width = new QSpinBox(this);
    r.width->setObjectName(QStringLiteral("width%1").arg(k));
    r.width->setRange(1, 15);
    r.decimals = new QSpinBox(this);
    r.decimals->setObjectName(QStringLiteral("decimals%1").arg(k));
    r.decimals->setRange(0, 9);
    r.thousands = new QCheckBox(this);
    r.thousands->setObjectName(QStringLiteral("thousands%1").arg(k));
    if (present) {
      const UserSummaryItem& item = items[k];
      r.name->setText(fieldText(item.name.c_str(), item.name.size()));
      r.width->setValue(item.width);
      r.decimals->setValue(item.decimals);
      r.thousands->setChecked(item.thousands);
    }
    grid->addWidget(r.name, row, 0);
    grid->addWidget(r.width, row, 1);
    grid->addWidget(r.decimals, row, 2);
    grid->addWidget(r.thousands, row, 3, Qt::AlignCenter);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(okCancelButtons(this));
}

void CUserItemsDlg::accept() {
  UserSummaryItems items;
  for (size_t k = 0; k < rows_.size(); ++k) {
    char name[64] = {};
    setFieldText(name, sizeof name, rows_[k].name->text());
    items[k] = {name, rows_[k].width->value(), rows_[k].decimals->value(),
                rows_[k].thousands->isChecked()};
  }
  doc_.updateAllViews(kAllViews, hint::kComputationBegins);
  const int refused = applyUserSummaryItems(&doc_.db().act.tb, items);
  if (refused >= 0) {
    doc_.updateAllViews(kAllViews, hint::kDatesChanged);
    QApplication::beep();
    rows_[size_t(refused)].name->setFocus();
    rows_[size_t(refused)].name->selectAll();
    return;
  }
  // The descriptors are saved with the table.
  doc_.setModified();
  doc_.updateAllViews(kAllViews, hint::kDatesChanged);
  QDialog::accept();
}

}  // namespace kelvo

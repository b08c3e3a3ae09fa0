#include "numeric_items_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "kelvo/cp949_validator.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"

namespace kelvo {
namespace {

constexpr const char* kItemNames[] = {"spreadQuantities", "durationsFromDaily", "contractPrices",
                                      "executionPrices",  "inputPrices",        "contractWeights",
                                      "executionWeights", "actualDates",        "crewInputs"};
constexpr int kItemCount = 9;

}  // namespace

QCheckBox* CNumericItemsDlg::check(int caption, const char* name) {
  auto* box = new QCheckBox(loadString(caption), this);
  box->setObjectName(QLatin1String(name));
  return box;
}

CNumericItemsDlg::CNumericItemsDlg(bool selectionAvailable, QWidget* parent) : QDialog(parent) {
  setWindowTitle(loadString(1084));
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < kItemCount; ++i) {
    items_.push_back(check(108401 + i, kItemNames[i]));
    layout->addWidget(items_.back());
  }
  roundUp_ = check(108410, "roundUp");
  resourceClass_ = new QLineEdit(this);
  resourceClass_->setObjectName(QStringLiteral("resourceClass"));
  resourceClass_->setValidator(new Cp949Validator(10, resourceClass_));
  auto* crew = new QHBoxLayout;
  crew->addSpacing(24);
  crew->addWidget(roundUp_);
  auto* classLabel = new QLabel(loadString(108411), this);
  crew->addWidget(classLabel);
  crew->addWidget(resourceClass_);
  layout->addLayout(crew);
  // Round-up applies to crew inputs only.
  auto followCrew = [this, classLabel] {
    roundUp_->setEnabled(items_[8]->isChecked());
    const bool byClass = items_[8]->isChecked() && roundUp_->isChecked();
    classLabel->setEnabled(byClass);
    resourceClass_->setEnabled(byClass);
  };
  connect(items_[8], &QCheckBox::toggled, this, followCrew);
  connect(roundUp_, &QCheckBox::toggled, this, followCrew);
  followCrew();

  selected_ = check(108412, "selectedOnly");
  selected_->setEnabled(selectionAvailable);
  skipCompleted_ = check(108413, "skipCompleted");
  layout->addSpacing(8);
  layout->addWidget(selected_);
  layout->addWidget(skipCompleted_);
  layout->addWidget(okCancelButtons(this));
}

NumericItemOptions CNumericItemsDlg::options() const {
  NumericItemOptions o;
  o.spreadQuantities = items_[0]->isChecked();
  o.durationsFromDaily = items_[1]->isChecked();
  o.prices.contract = items_[2]->isChecked();
  o.prices.execution = items_[3]->isChecked();
  o.prices.input = items_[4]->isChecked();
  o.contractWeights = items_[5]->isChecked();
  o.executionWeights = items_[6]->isChecked();
  o.actualDates = items_[7]->isChecked();
  o.crewInputs = items_[8]->isChecked();
  o.roundUpInputs = o.crewInputs && roundUp_->isChecked();
  if (o.roundUpInputs) {
    char field[11];
    setFieldText(field, sizeof field, resourceClass_->text().trimmed());
    o.resourceClass = field;
  }
  o.skipCompleted = skipCompleted_->isChecked();
  return o;
}

bool CNumericItemsDlg::selectedOnly() const {
  return selected_->isEnabled() && selected_->isChecked();
}

bool CNumericItemsDlg::anyChosen() const {
  for (QCheckBox* box : items_)
    if (box->isChecked()) return true;
  return false;
}

}  // namespace kelvo

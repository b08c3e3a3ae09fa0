#include "kelvo/find_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "kelvo/cp949_validator.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// Strings of the finders: titles by template, labels by template x 100 + n.
constexpr int kStrFindSpecialTitle = 1052;
constexpr int kStrFindSpecialClass = 105200;  // + class: "시작작업" .. "시분할작업"
constexpr int kStrFindCodeTitle = 1053;
constexpr int kStrLabelActivity = 105300;    // "작업코드"
constexpr int kStrLabelResource = 105301;    // "자원 코드"
constexpr int kStrLabelWorkType = 105302;    // "공종 코드"
constexpr int kStrLabelClass = 105303;       // "분류 코드"
constexpr int kStrLabelSuccessor = 105304;   // "후행 작업코드"
constexpr int kStrRelationKindTitle = 1054;  // "선후행 관계 형식"

int codeLabel(ViewKind kind) {
  switch (kind) {
    case ViewKind::WorkTypeSheet:
    case ViewKind::WorkTypeTree:
      return kStrLabelWorkType;
    case ViewKind::FacilitySheet:
    case ViewKind::FacilityTree:
      return kStrLabelClass;
    case ViewKind::Resources:
      return kStrLabelResource;
    default:
      return kStrLabelActivity;
  }
}

QLineEdit* codeEdit(ViewKind kind, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setValidator(new Cp949Validator(findCodeLength(kind), e));
  return e;
}

QByteArray trimmedCode(const QLineEdit* e) {
  return e ? xjor::toCp949(e->text().trimmed()) : QByteArray();
}

}  // namespace

CodeFindDialog::CodeFindDialog(ViewKind kind, QWidget* parent) : QDialog(parent) {
  setWindowTitle(loadString(kStrFindCodeTitle));
  setObjectName(QStringLiteral("dlg1053"));
  auto* form = new QFormLayout;
  code_ = codeEdit(kind, this);
  code_->setObjectName(QStringLiteral("code"));
  form->addRow(loadString(codeLabel(kind)) + QStringLiteral(" :"), code_);
  if (findsSuccessor(kind)) {
    second_ = codeEdit(kind, this);
    second_->setObjectName(QStringLiteral("second"));
    form->addRow(loadString(kStrLabelSuccessor) + QStringLiteral(" :"), second_);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this));
}

QByteArray CodeFindDialog::code() const {
  return trimmedCode(code_);
}

QByteArray CodeFindDialog::secondCode() const {
  return trimmedCode(second_);
}

SpecialFindDialog::SpecialFindDialog(ProjectDb* db, QWidget* parent)
    : QDialog(parent), db_(db), classes_(new QButtonGroup(this)), list_(new QListWidget(this)) {
  setWindowTitle(loadString(kStrFindSpecialTitle));
  setObjectName(QStringLiteral("dlg1052"));
  auto* radios = new QVBoxLayout;
  for (int c = 0; c < 5; ++c) {
    auto* b = new QRadioButton(loadString(kStrFindSpecialClass + c), this);
    b->setObjectName(QStringLiteral("class%1").arg(c));
    classes_->addButton(b, c);
    radios->addWidget(b);
  }
  radios->addStretch();
  list_->setObjectName(QStringLiteral("activities"));
  list_->setMinimumWidth(360);
  auto* body = new QHBoxLayout;
  body->addLayout(radios);
  body->addWidget(list_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addWidget(okCancelButtons(this));
  connect(classes_, &QButtonGroup::idClicked, this,
          [this](int id) { showClass(static_cast<SpecialClass>(id)); });
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  classes_->button(0)->setChecked(true);
  showClass(SpecialClass::Start);
}

void SpecialFindDialog::showClass(SpecialClass cls) {
  if (QAbstractButton* b = classes_->button(static_cast<int>(cls))) b->setChecked(true);
  found_ = specialActivities(db_, cls);
  list_->clear();
  for (const FoundActivity& f : found_)
    list_->addItem(xjor::fromCp949(QByteArray::fromStdString(f.code)) + QStringLiteral("  ") +
                   xjor::fromCp949(QByteArray::fromStdString(f.title)));
  if (!found_.empty()) list_->setCurrentRow(0);
}

uint32_t SpecialFindDialog::chosenRecord() const {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(found_.size())) return XJOR_NONE;
  return found_[row].record;
}

RelationKindDialog::RelationKindDialog(QWidget* parent)
    : QDialog(parent), kinds_(new QButtonGroup(this)) {
  setWindowTitle(loadString(kStrRelationKindTitle));
  setObjectName(QStringLiteral("dlg1054"));
  auto* row = new QHBoxLayout;
  const char* names[] = {"FS", "FF", "SS", "SF"};
  for (int k = 0; k < 4; ++k) {
    auto* b = new QRadioButton(QString::fromLatin1(names[k]), this);
    b->setObjectName(QStringLiteral("kind%1").arg(k));
    kinds_->addButton(b, k);
    row->addWidget(b);
  }
  kinds_->button(0)->setChecked(true);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(okCancelButtons(this));
}

int RelationKindDialog::kind() const {
  return std::max(kinds_->checkedId(), 0);
}

}  // namespace kelvo

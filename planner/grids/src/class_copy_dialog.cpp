#include "class_copy_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "kelvo/cp949_validator.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/messages.h"
#include "kelvo/strings.h"
#include "xQdDb100.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

QGroupBox* codeGroup(int caption, const QString& parentCode, QWidget* part, QWidget* title) {
  auto* box = new QGroupBox(loadString(caption));
  auto* form = new QFormLayout(box);
  form->addRow(loadString(105903), new QLabel(parentCode));
  form->addRow(loadString(105904), part);
  if (title) form->addRow(loadString(105905), title);
  return box;
}

}  // namespace

ClassCopyDialog::ClassCopyDialog(const QByteArray& sourceParent, const QByteArray& sourcePart,
                                 const QByteArray& targetParent, int partLength,
                                 const QByteArray& title, Input input, QWidget* parent)
    : QDialog(parent), targetParent_(targetParent), input_(std::move(input)) {
  setWindowTitle(loadString(1059));
  part_ = new QLineEdit(xjor::fromCp949(sourcePart));
  part_->setValidator(new Cp949Validator(partLength, part_));
  title_ = new QLineEdit(xjor::fromCp949(title));
  title_->setValidator(new Cp949Validator(int(sizeof(WbsRecord::title)) - 1, title_));
  all_ = new QCheckBox(loadString(105906));
  all_->setChecked(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(codeGroup(105901, xjor::fromCp949(sourceParent),
                              new QLabel(xjor::fromCp949(sourcePart)), nullptr));
  layout->addWidget(codeGroup(105902, xjor::fromCp949(targetParent), part_, title_));
  layout->addWidget(all_);
  layout->addWidget(okCancelButtons(this));
  part_->setFocus();
  part_->selectAll();
}

bool ClassCopyDialog::withDescendants() const {
  return all_->isChecked();
}

void ClassCopyDialog::accept() {
  const int message =
      input_(targetParent_ + xjor::toCp949(part_->text()), xjor::toCp949(title_->text()));
  if (message != 0) {
    showMessage(this, message);
    part_->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace kelvo

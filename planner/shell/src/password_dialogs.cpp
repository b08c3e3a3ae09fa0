#include "password_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"
#include "kelvo/messages.h"
#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

QLineEdit* passwordEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(8);
  return edit;
}

// The stored block and the project code as C strings for the checks. A
// block that is all zero was never scrambled (a project written by a tool or
// a converter that sets no password): it takes the empty password only.
bool accepts(const PrjInfo& info, const QString& typed) {
  static const char kNever[sizeof info.password] = {};
  if (std::memcmp(info.password, kNever, sizeof kNever) == 0) return typed.isEmpty();
  char stored[12] = {};
  std::memcpy(stored, info.password, sizeof info.password);
  char code[12] = {};
  std::memcpy(code, info.code, sizeof info.code);
  const QByteArray text = xjor::toCp949(typed).left(8);
  return xCheckPassword(text.constData(), stored, code) != 0;
}

}  // namespace

bool hasNoPassword(const PrjInfo& info) {
  return accepts(info, QString());
}

CPasswordCheckDlg::CPasswordCheckDlg(const PrjInfo& info, QWidget* parent)
    : QDialog(parent), info_(info), edit_(passwordEdit(this, "password")) {
  setWindowTitle(loadString(1017));
  auto* form = new QFormLayout;
  form->addRow(loadString(101701), edit_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this));
}

void CPasswordCheckDlg::accept() {
  if (!accepts(info_, edit_->text())) {
    showMessage(this, kStrMsgWrongPassword);
    edit_->setFocus();
    edit_->selectAll();
    return;
  }
  QDialog::accept();
}

CPasswordDlg::CPasswordDlg(const PrjInfo& info, QWidget* parent)
    : QDialog(parent),
      info_(info),
      current_(passwordEdit(this, "current")),
      fresh_(passwordEdit(this, "new")),
      confirm_(passwordEdit(this, "confirm")) {
  setWindowTitle(loadString(1016));
  auto* form = new QFormLayout;
  form->addRow(loadString(101601), current_);
  form->addRow(loadString(101602), fresh_);
  form->addRow(loadString(101603), confirm_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this));
}

void CPasswordDlg::accept() {
  QLineEdit* wrong = nullptr;
  if (!accepts(info_, current_->text()))
    wrong = current_;
  else if (fresh_->text() != confirm_->text())
    wrong = confirm_;
  if (wrong) {
    showMessage(this, kStrMsgWrongPassword);
    wrong->setFocus();
    wrong->selectAll();
    return;
  }
  char block[9] = {};
  const QByteArray text = xjor::toCp949(fresh_->text()).left(8);
  std::memcpy(block, text.constData(), text.size());
  xEncodePassword(block, info_.code, 0);
  std::memcpy(info_.password, block, sizeof block);
  QDialog::accept();
}

}  // namespace kelvo

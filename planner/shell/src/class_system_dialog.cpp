#include "class_system_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstring>

#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"
#include "kelvo/messages.h"
#include "kelvo/text_fields.h"

namespace kelvo {

CClassSystemDlg::CClassSystemDlg(const ClassDef defs[2], int cls, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(loadString(1018));
  std::memcpy(original_, defs, sizeof original_);
  std::memcpy(edited_, defs, sizeof edited_);

  choice_ = new QComboBox(this);
  choice_->setObjectName(QStringLiteral("classification"));
  choice_->addItems({loadString(101805), loadString(101806)});
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(loadString(101801), this), 0, 0);
  grid->addWidget(choice_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(loadString(101802), this), 1, 0);
  grid->addWidget(new QLabel(loadString(101803), this), 1, 1);
  grid->addWidget(new QLabel(loadString(101804), this), 1, 2);
  for (int i = 0; i < 8; ++i) {
    grid->addWidget(new QLabel(QString::number(i + 1), this), i + 2, 0);
    lengths_[i] = new QSpinBox(this);
    lengths_[i]->setObjectName(QStringLiteral("length%1").arg(i));
    lengths_[i]->setRange(0, kMaxClassLength);
    names_[i] = new QLineEdit(this);
    names_[i]->setObjectName(QStringLiteral("name%1").arg(i));
    names_[i]->setMaxLength(20);
    grid->addWidget(lengths_[i], i + 2, 1);
    grid->addWidget(names_[i], i + 2, 2);
  }
  auto* buttons = okCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);

  show(cls == 1 ? 1 : 0);
  choice_->setCurrentIndex(shown_);
  connect(choice_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index == shown_) return;
    if (!takeShown()) {
      const QSignalBlocker block(choice_);
      choice_->setCurrentIndex(shown_);
      return;
    }
    show(index);
  });
}

void CClassSystemDlg::show(int cls) {
  shown_ = cls;
  const ClassDef& def = edited_[cls];
  for (int i = 0; i < 8; ++i) {
    const bool used = i < def.levels;
    lengths_[i]->setValue(used ? def.length[i] : 0);
    names_[i]->setText(used ? fieldText(def.name[i], 21) : QString());
  }
}

bool CClassSystemDlg::takeShown() {
  int lengths[8];
  QString names[8];
  for (int i = 0; i < 8; ++i) {
    lengths[i] = lengths_[i]->value();
    names[i] = names_[i]->text();
  }
  if (!makeClassDef(lengths, names, &edited_[shown_])) {
    showMessage(this, kStrMsgLevelSum);
    lengths_[0]->setFocus();
    return false;
  }
  return true;
}

void CClassSystemDlg::accept() {
  if (!takeShown()) return;
  changed_ = classStructureDiffers(original_[0], edited_[0]) ||
             classStructureDiffers(original_[1], edited_[1]);
  // Answered No, nothing changes.
  if (changed_ && askQuestion(this, kStrMsgClassChange) != QMessageBox::Yes) {
    QDialog::reject();
    return;
  }
  QDialog::accept();
}

}  // namespace kelvo

#include "environment_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstring>

#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"
#include "xJorLib.h"

namespace kelvo {

CEnvironmentDlg::CEnvironmentDlg(const ShellSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(loadString(1031));
  iniView_ = new QComboBox(this);
  iniView_->setObjectName(QStringLiteral("iniView"));
  iniView_->addItems({loadString(498), loadString(499), loadString(500)});
  iniView_->setCurrentIndex(clampIniView(settings.iniView) - 2);
  confirmDelete_ = new QCheckBox(loadString(103102), this);
  confirmDelete_->setObjectName(QStringLiteral("confirmDelete"));
  confirmDelete_->setChecked(settings.flags & flags::kConfirmDelete);
  menuButton_ = new QRadioButton(loadString(103104), this);
  menuButton_->setObjectName(QStringLiteral("rightMenu"));
  escButton_ = new QRadioButton(loadString(103105), this);
  escButton_->setObjectName(QStringLiteral("rightEsc"));
  (settings.flags & flags::kRightButtonIsEsc ? escButton_ : menuButton_)->setChecked(true);

  auto* mouse = new QGroupBox(loadString(103103), this);
  auto* mouseLayout = new QVBoxLayout(mouse);
  mouseLayout->addWidget(menuButton_);
  mouseLayout->addWidget(escButton_);

  auto* folders = new QGroupBox(loadString(103106), this);
  auto* folderGrid = new QGridLayout(folders);
  const char* names[kFolderCount] = {"projectFolder", "formFolder", "tempFolder"};
  for (int k = 0; k < kFolderCount; ++k) {
    folders_[k] = new QLineEdit(settings.folders[k], this);
    folders_[k]->setObjectName(QLatin1String(names[k]));
    auto* browse = new QPushButton(loadString(103110), this);
    connect(browse, &QPushButton::clicked, this, [this, k] {
      char chosen[XJOR_MAX_PATH] = {};
      const QByteArray start = folders_[k]->text().toUtf8();
      const QByteArray title = loadString(103111).toUtf8();
      if (xGetFolderFormDlg(this, chosen, start.constData(), title.constData()))
        folders_[k]->setText(QString::fromUtf8(chosen));
    });
    folderGrid->addWidget(new QLabel(loadString(103107 + k), this), k, 0);
    folderGrid->addWidget(folders_[k], k, 1);
    folderGrid->addWidget(browse, k, 2);
  }

  auto* top = new QGridLayout;
  top->addWidget(new QLabel(loadString(103101), this), 0, 0);
  top->addWidget(iniView_, 0, 1);
  top->addWidget(confirmDelete_, 1, 0, 1, 2);
  top->addWidget(new QLabel(loadString(103112), this), 2, 0);
  top->addWidget(new QLabel(loadString(103113), this), 2, 1);

  auto* buttons = okCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(mouse);
  layout->addWidget(folders);
  layout->addWidget(buttons);
}

void CEnvironmentDlg::accept() {
  settings_.iniView = iniView_->currentIndex() + 2;
  for (int k = 0; k < kFolderCount; ++k)
    settings_.folders[k] = normaliseFolder(folders_[k]->text());
  settings_.flags &= ~(flags::kConfirmDelete | flags::kRightButtonIsEsc);
  if (confirmDelete_->isChecked()) settings_.flags |= flags::kConfirmDelete;
  if (escButton_->isChecked()) settings_.flags |= flags::kRightButtonIsEsc;
  QDialog::accept();
}

}  // namespace kelvo

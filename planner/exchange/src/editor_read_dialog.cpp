#include "editor_read_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

enum : int {
  kStrTitle = 1024,
  kStrRebuild = 102401,
  kStrWarning = 102402,
  kStrBrowse = 102403,
  kStrFilter = 102404,
};

}  // namespace

CEditorReadDlg::CEditorReadDlg(const QStringList& workbooks, const QString& sheetName,
                               const QString& folder, QWidget* parent)
    : QDialog(parent), paths_(workbooks), folder_(folder) {
  setWindowTitle(loadString(kStrTitle));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("workbooks"));
  // The newest workbook of this window's sheet ("<sheet>.xlsx" or
  // "<sheet> (n).xlsx") comes first, else the newest of all.
  int select = -1;
  for (int i = 0; i < paths_.size(); ++i) {
    const QFileInfo file(paths_[i]);
    list_->addItem(file.fileName());
    const QString base = file.completeBaseName();
    if (select < 0 && (base == sheetName || base.startsWith(sheetName + QStringLiteral(" ("))))
      select = i;
  }
  if (select < 0 && !paths_.isEmpty()) select = 0;
  if (select >= 0) list_->setCurrentRow(select);
  rebuild_ = new QCheckBox(loadString(kStrRebuild), this);
  rebuild_->setObjectName(QStringLiteral("rebuild"));
  auto* warning = new QLabel(loadString(kStrWarning), this);
  auto* browse = new QPushButton(loadString(kStrBrowse), this);
  browse->setObjectName(QStringLiteral("browse"));
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString chosen =
        QFileDialog::getOpenFileName(this, loadString(kStrTitle), folder_, loadString(kStrFilter));
    if (!chosen.isEmpty()) choose(chosen);
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

  auto* side = new QVBoxLayout;
  side->addWidget(browse);
  side->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(list_);
  top->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(rebuild_);
  layout->addWidget(warning);
  layout->addWidget(okCancelButtons(this));
}

QString CEditorReadDlg::workbook() const {
  const int row = list_->currentRow();
  return row >= 0 && row < paths_.size() ? paths_[row] : QString();
}

bool CEditorReadDlg::rebuild() const {
  return rebuild_->isChecked();
}

void CEditorReadDlg::choose(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  const int known = static_cast<int>(paths_.indexOf(full));
  if (known >= 0) {
    list_->setCurrentRow(known);
    return;
  }
  paths_.prepend(full);
  list_->insertItem(0, QFileInfo(full).fileName());
  list_->setCurrentRow(0);
}

}  // namespace kelvo

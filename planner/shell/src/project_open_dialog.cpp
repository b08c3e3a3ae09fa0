#include "project_open_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"

namespace kelvo {
namespace {

// The list's second image: a mark for the project that is open.
QIcon openMark() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0, 128, 0));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(3, 3, 10, 10));
  return QIcon(pixmap);
}

}  // namespace

CProjectOpenDlg::CProjectOpenDlg(const QString& folder, const QString& openPath, QWidget* parent)
    : QDialog(parent), list_(new QTreeWidget(this)) {
  setWindowTitle(loadString(1002));
  list_->setObjectName(QStringLiteral("projects"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels(
      {loadString(100201), loadString(100202), loadString(100203), loadString(100204)});
  const int widths[] = {106, 90, 246, 80};
  for (int c = 0; c < 4; ++c) list_->header()->resizeSection(c, widths[c]);
  const QIcon mark = openMark();
  const QDir dir(folder);
  for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.kvp"), QStringLiteral("*.KVP")},
                                                 QDir::Files, QDir::Name | QDir::IgnoreCase)) {
    PrjInfo info;
    if (!xGetPrjInfo(QFile::encodeName(file.absoluteFilePath()).constData(), &info)) continue;
    auto* item = new QTreeWidgetItem(list_, {file.fileName(), fieldText(info.code, 11),
                                             fieldText(info.title, 61), stageText(info.stage)});
    item->setData(0, Qt::UserRole, file.absoluteFilePath());
    if (file.absoluteFilePath() == QFileInfo(openPath).absoluteFilePath()) item->setIcon(0, mark);
  }
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(loadString(100206), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("ok"));
  QPushButton* choose = buttons->addButton(loadString(100205), QDialogButtonBox::ActionRole);
  choose->setObjectName(QStringLiteral("chooseFile"));
  buttons->addButton(loadString(725), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(choose, &QPushButton::clicked, this, [this] { done(kChooseFile); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  if (list_->topLevelItemCount() > 0)
    list_->setCurrentItem(list_->topLevelItem(0));
  else
    ok->setEnabled(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  resize(560, 320);
}

QString CProjectOpenDlg::selectedPath() const {
  const QTreeWidgetItem* item = list_->currentItem();
  return item ? item->data(0, Qt::UserRole).toString() : QString();
}

}  // namespace kelvo

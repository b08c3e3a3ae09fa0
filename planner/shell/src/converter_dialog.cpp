#include "converter_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialog_buttons.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

QString text(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

CConverterDlg::CConverterDlg(kvconv::Registrations regs, const QString& pluginFolder,
                             QWidget* parent)
    : QDialog(parent),
      regs_(std::move(regs)),
      pluginFolder_(pluginFolder),
      list_(new QTreeWidget(this)),
      extension_(new QLineEdit(this)),
      title_(new QLineEdit(this)),
      file_(new QLineEdit(this)),
      editor_(new QCheckBox(loadString(100604), this)) {
  setWindowTitle(loadString(1006));
  list_->setObjectName(QStringLiteral("converters"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({loadString(100601), loadString(100602), loadString(100603)});
  const int widths[] = {48, 256, 104};
  for (int c = 0; c < 3; ++c) list_->header()->resizeSection(c, widths[c]);
  extension_->setObjectName(QStringLiteral("edit10100"));
  title_->setObjectName(QStringLiteral("edit10101"));
  file_->setObjectName(QStringLiteral("edit10102"));
  editor_->setObjectName(QStringLiteral("editor"));
  // The extension edit takes lower case only.
  connect(extension_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    const int at = extension_->cursorPosition();
    extension_->setText(typed.toLower());
    extension_->setCursorPosition(at);
  });

  auto* browse = new QPushButton(loadString(100605), this);
  browse->setObjectName(QStringLiteral("browse"));
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QString(), pluginFolder_, QStringLiteral("Kelvo Convert File (xKv*.so)"));
    if (!chosen.isEmpty()) file_->setText(QFileInfo(chosen).fileName());
  });
  auto* edits = new QGridLayout;
  edits->addWidget(new QLabel(loadString(100601), this), 0, 0);
  edits->addWidget(extension_, 0, 1);
  edits->addWidget(new QLabel(loadString(100602), this), 1, 0);
  edits->addWidget(title_, 1, 1, 1, 2);
  edits->addWidget(new QLabel(loadString(100603), this), 2, 0);
  edits->addWidget(file_, 2, 1);
  edits->addWidget(browse, 2, 2);
  edits->addWidget(editor_, 3, 1, 1, 2);

  auto* rowButtons = new QHBoxLayout;
  const std::pair<int, void (CConverterDlg::*)()> actions[] = {{100606, &CConverterDlg::modifyRow},
                                                               {100607, &CConverterDlg::appendRow},
                                                               {100608, &CConverterDlg::moveUp},
                                                               {100609, &CConverterDlg::deleteRow}};
  for (const auto& [id, slot] : actions) {
    auto* button = new QPushButton(loadString(id), this);
    button->setObjectName(QStringLiteral("btn%1").arg(id));
    connect(button, &QPushButton::clicked, this, slot);
    rowButtons->addWidget(button);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(edits);
  layout->addLayout(rowButtons);
  layout->addWidget(okCancelButtons(this));
  connect(list_, &QTreeWidget::currentItemChanged, this, &CConverterDlg::showRow);
  fillList(0);
}

int CConverterDlg::selectedRow() const {
  QTreeWidgetItem* item = list_->currentItem();
  return item ? list_->indexOfTopLevelItem(item) : -1;
}

void CConverterDlg::fillList(int select) {
  QSignalBlocker quiet(list_);
  list_->clear();
  for (const kvconv::Entry& e : regs_.entries)
    new QTreeWidgetItem(list_, {text(e.extension), text(e.title), text(e.file)});
  if (select >= 0 && select < list_->topLevelItemCount())
    list_->setCurrentItem(list_->topLevelItem(select));
  quiet.unblock();
  showRow();
}

void CConverterDlg::showRow() {
  const int row = selectedRow();
  if (row < 0 || row >= int(regs_.entries.size())) return;
  const kvconv::Entry& e = regs_.entries[row];
  extension_->setText(text(e.extension));
  title_->setText(text(e.title));
  file_->setText(text(e.file));
  editor_->setChecked(!e.extension.empty() && e.extension == regs_.editor);
}

kvconv::Entry CConverterDlg::edited() const {
  return {kvconv::lowerExtension(extension_->text().trimmed().toStdString()),
          title_->text().toStdString(), file_->text().trimmed().toStdString()};
}

void CConverterDlg::takeEditorChoice(const kvconv::Entry& entry) {
  if (editor_->isChecked()) regs_.editor = entry.extension;
}

void CConverterDlg::modifyRow() {
  const int row = selectedRow();
  if (row < 0) {
    QApplication::beep();
    return;
  }
  const kvconv::Entry entry = edited();
  regs_.entries[row] = entry;
  takeEditorChoice(entry);
  fillList(row);
}

void CConverterDlg::appendRow() {
  const kvconv::Entry entry = edited();
  regs_.entries.push_back(entry);
  takeEditorChoice(entry);
  fillList(int(regs_.entries.size()) - 1);
}

void CConverterDlg::moveUp() {
  const int row = selectedRow();
  if (row <= 0) {
    QApplication::beep();
    return;
  }
  const kvconv::Entry entry = edited();
  regs_.entries.erase(regs_.entries.begin() + row);
  regs_.entries.insert(regs_.entries.begin() + row - 1, entry);
  takeEditorChoice(entry);
  fillList(row - 1);
}

void CConverterDlg::deleteRow() {
  const int row = selectedRow();
  if (regs_.entries.empty() || row < 0) {
    QApplication::beep();
    return;
  }
  regs_.entries.erase(regs_.entries.begin() + row);
  fillList(std::min(row, int(regs_.entries.size()) - 1));
}

}  // namespace kelvo

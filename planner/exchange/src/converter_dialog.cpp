#include "converter_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

enum : int {
  kStrTitle = 1006,
  kStrExtension = 100601,
  kStrCaption = 100602,
  kStrFile = 100603,
  kStrEditor = 100604,
  kStrBrowse = 100605,
  kStrModify = 100606,
  kStrAdd = 100607,
  kStrUp = 100608,
  kStrRemove = 100609,
  kStrFilter = 100610,
};

QString fromStd(const std::string& text) {
  return QString::fromStdString(text);
}

// An extension becomes a key of the settings file and is written before the
// title with a comma: it may not be empty nor hold a comma, a separator of
// keys or blanks.
bool usableExtension(const QString& extension) {
  static const QString kRefused = QStringLiteral(",./\\=[]");
  if (extension.isEmpty()) return false;
  for (const QChar c : extension)
    if (c.isSpace() || kRefused.contains(c)) return false;
  return true;
}

}  // namespace

CConverterDlg::CConverterDlg(const kvconv::Registrations& regs, const QString& libraryFolder,
                             QWidget* parent)
    : QDialog(parent), regs_(regs), libraryFolder_(libraryFolder) {
  setWindowTitle(loadString(kStrTitle));
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("list"));
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setHeaderLabels(
      {loadString(kStrExtension), loadString(kStrCaption), loadString(kStrFile)});
  list_->header()->resizeSection(0, 48);
  list_->header()->resizeSection(1, 256);
  list_->header()->resizeSection(2, 104);

  extension_ = new QLineEdit(this);
  extension_->setObjectName(QStringLiteral("extension"));
  // The extension is kept in lower case whatever is typed.
  connect(extension_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int at = extension_->cursorPosition();
    extension_->setText(QString::fromStdString(kvconv::lowerExtension(text.toStdString())));
    extension_->setCursorPosition(at);
  });
  title_ = new QLineEdit(this);
  title_->setObjectName(QStringLiteral("title"));
  file_ = new QLineEdit(this);
  file_->setObjectName(QStringLiteral("file"));
  editor_ = new QCheckBox(loadString(kStrEditor), this);
  editor_->setObjectName(QStringLiteral("editor"));

  auto button = [this](int text, const char* name) {
    auto* b = new QPushButton(loadString(text), this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
  };
  QPushButton* browse = button(kStrBrowse, "browse");
  QPushButton* modify = button(kStrModify, "modify");
  QPushButton* add = button(kStrAdd, "add");
  QPushButton* up = button(kStrUp, "up");
  QPushButton* remove = button(kStrRemove, "remove");
  connect(browse, &QPushButton::clicked, this, &CConverterDlg::browseLibrary);
  connect(modify, &QPushButton::clicked, this, &CConverterDlg::modifyRow);
  connect(add, &QPushButton::clicked, this, &CConverterDlg::addRow);
  connect(up, &QPushButton::clicked, this, &CConverterDlg::moveRowUp);
  connect(remove, &QPushButton::clicked, this, &CConverterDlg::removeRow);
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { showRow(selectedRow()); });

  auto* edits = new QGridLayout;
  edits->addWidget(new QLabel(loadString(kStrExtension), this), 0, 0);
  edits->addWidget(extension_, 0, 1);
  edits->addWidget(new QLabel(loadString(kStrCaption), this), 1, 0);
  edits->addWidget(title_, 1, 1, 1, 2);
  edits->addWidget(new QLabel(loadString(kStrFile), this), 2, 0);
  edits->addWidget(file_, 2, 1);
  edits->addWidget(browse, 2, 2);
  edits->addWidget(editor_, 3, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {modify, add, up, remove}) buttons->addWidget(b);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(edits);
  layout->addLayout(buttons);
  layout->addWidget(okCancelButtons(this));
  fillList(0);
}

void CConverterDlg::fillList(int select) {
  QSignalBlocker block(list_);
  list_->clear();
  for (const kvconv::Entry& e : regs_.entries)
    list_->addTopLevelItem(
        new QTreeWidgetItem(QStringList{fromStd(e.extension), fromStd(e.title), fromStd(e.file)}));
  if (select >= 0 && select < list_->topLevelItemCount()) {
    list_->setCurrentItem(list_->topLevelItem(select));
    showRow(select);
  }
}

int CConverterDlg::selectedRow() const {
  const QList<QTreeWidgetItem*> items = list_->selectedItems();
  return items.isEmpty() ? -1 : list_->indexOfTopLevelItem(items.first());
}

void CConverterDlg::showRow(int row) {
  if (row < 0 || row >= static_cast<int>(regs_.entries.size())) return;
  const kvconv::Entry& e = regs_.entries[static_cast<size_t>(row)];
  extension_->setText(fromStd(e.extension));
  title_->setText(fromStd(e.title));
  file_->setText(fromStd(e.file));
  editor_->setChecked(e.extension == regs_.editor);
}

bool CConverterDlg::takeEdits(kvconv::Entry* entry) {
  const QString extension = extension_->text().trimmed();
  const QString file = file_->text().trimmed();
  if (!usableExtension(extension) || file.contains('/')) {
    QApplication::beep();
    return false;
  }
  entry->extension = kvconv::lowerExtension(extension.toStdString());
  entry->title = title_->text().toStdString();
  entry->file = file.toStdString();
  return true;
}

void CConverterDlg::takeEditorCheck(const kvconv::Entry& entry) {
  if (editor_->isChecked()) regs_.editor = entry.extension;
}

bool CConverterDlg::modifyRow() {
  const int row = selectedRow();
  kvconv::Entry entry;
  if (row < 0 || !takeEdits(&entry)) {
    if (row < 0) QApplication::beep();
    return false;
  }
  regs_.entries[static_cast<size_t>(row)] = entry;
  takeEditorCheck(entry);
  fillList(row);
  return true;
}

bool CConverterDlg::addRow() {
  kvconv::Entry entry;
  if (!takeEdits(&entry)) return false;
  regs_.entries.push_back(entry);
  takeEditorCheck(entry);
  fillList(static_cast<int>(regs_.entries.size()) - 1);
  return true;
}

bool CConverterDlg::moveRowUp() {
  const int row = selectedRow();
  kvconv::Entry entry;
  if (row <= 0) {
    QApplication::beep();
    return false;
  }
  if (!takeEdits(&entry)) return false;
  regs_.entries.erase(regs_.entries.begin() + row);
  regs_.entries.insert(regs_.entries.begin() + (row - 1), entry);
  takeEditorCheck(entry);
  fillList(row - 1);
  return true;
}

bool CConverterDlg::removeRow() {
  const int row = selectedRow();
  if (regs_.entries.empty() || row < 0) {
    QApplication::beep();
    return false;
  }
  regs_.entries.erase(regs_.entries.begin() + row);
  const int count = static_cast<int>(regs_.entries.size());
  fillList(row < count ? row : count - 1);
  if (count == 0) {
    extension_->clear();
    title_->clear();
    file_->clear();
    editor_->setChecked(false);
  }
  return true;
}

void CConverterDlg::browseLibrary() {
  const QString chosen = QFileDialog::getOpenFileName(this, loadString(kStrTitle), libraryFolder_,
                                                      loadString(kStrFilter));
  if (!chosen.isEmpty()) file_->setText(QFileInfo(chosen).fileName());
}

}  // namespace kelvo

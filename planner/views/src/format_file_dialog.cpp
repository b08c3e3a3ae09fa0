#include "format_file_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "kelvo/cp949_validator.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/messages.h"
#include "kelvo/strings.h"
#include "kelvo/view_state.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// Labels of templates 1032 and 1033.
constexpr int kStrFileName = 103201;       // "파일명"
constexpr int kStrFileTitle = 103202;      // "파일제목"
constexpr int kStrRegister = 103203;       // "등록..."
constexpr int kStrModify = 103204;         // "수정..."
constexpr int kStrDelete = 103205;         // "삭제"
constexpr int kStrWithObjects = 103206;    // "도형 포함"
constexpr int kStrNameLabel = 103301;      // "파일명 :"
constexpr int kStrTitleLabel = 103302;     // "파일제목 :"
constexpr int kStrTitleOnly = 103303;      // "제목만 수정"
constexpr int kStrModifyCaption = 103304;  // "형식파일 수정"

QString fromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), int(s.size()));
}

}  // namespace

CFormatRegisterDlg::CFormatRegisterDlg(ViewKind kind, bool modifying, const QString& name,
                                       const QString& title, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(loadString(modifying ? kStrModifyCaption : kStrFormatRegister));
  name_ = new QLineEdit(name, this);
  name_->setObjectName(QStringLiteral("name"));
  name_->setEnabled(!modifying);
  title_ = new QLineEdit(title, this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setValidator(new Cp949Validator(int(kFormatTitleMax), title_));
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(name_);
  nameRow->addWidget(new QLabel(fromUtf8(formatExtension(kind)), this));
  auto* form = new QFormLayout;
  form->addRow(loadString(kStrNameLabel), nameRow);
  form->addRow(loadString(kStrTitleLabel), title_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  if (modifying) {
    titleOnly_ = new QCheckBox(loadString(kStrTitleOnly), this);
    titleOnly_->setObjectName(QStringLiteral("titleOnly"));
    layout->addWidget(titleOnly_);
  }
  layout->addWidget(okCancelButtons(this));
}

QString CFormatRegisterDlg::name() const {
  return name_->text();
}

std::string CFormatRegisterDlg::title() const {
  const QByteArray bytes = xjor::toCp949(title_->text());
  return std::string(bytes.constData(), size_t(bytes.size()));
}

bool CFormatRegisterDlg::titleOnly() const {
  return titleOnly_ && titleOnly_->isChecked();
}

CFormatFileDlg::CFormatFileDlg(const std::string& folder, ViewKind kind, Encoder encode,
                               QWidget* parent)
    : QDialog(parent), folder_(folder), kind_(kind), encode_(std::move(encode)) {
  setWindowTitle(loadString(kStrFormatOpen));
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("files"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({loadString(kStrFileName), loadString(kStrFileTitle)});
  auto* add = new QPushButton(loadString(kStrRegister), this);
  modify_ = new QPushButton(loadString(kStrModify), this);
  delete_ = new QPushButton(loadString(kStrDelete), this);
  add->setObjectName(QStringLiteral("register"));
  modify_->setObjectName(QStringLiteral("modify"));
  delete_->setObjectName(QStringLiteral("delete"));
  objects_ = new QCheckBox(loadString(kStrWithObjects), this);
  objects_->setObjectName(QStringLiteral("withObjects"));
  auto* buttons = okCancelButtons(this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  auto* side = new QVBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(add), static_cast<QWidget*>(modify_),
                     static_cast<QWidget*>(delete_), static_cast<QWidget*>(objects_)})
    side->addWidget(w);
  side->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(list_, 1);
  top->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  connect(add, &QPushButton::clicked, this, &CFormatFileDlg::registerFile);
  connect(modify_, &QPushButton::clicked, this, &CFormatFileDlg::modifyFile);
  connect(delete_, &QPushButton::clicked, this, &CFormatFileDlg::deleteFile);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  refresh();
}

void CFormatFileDlg::refresh(const QString& select) {
  files_ = listFormatFiles(folder_, kind_);
  list_->clear();
  QTreeWidgetItem* chosen = nullptr;
  for (const FormatListEntry& f : files_) {
    auto* item = new QTreeWidgetItem(
        list_, {fromUtf8(f.name), xjor::fromCp949(f.title.data(), int(f.title.size()))});
    if (!chosen || (!select.isEmpty() && item->text(0) == select)) chosen = item;
  }
  list_->setCurrentItem(chosen);
  updateButtons();
}

void CFormatFileDlg::updateButtons() {
  const bool rows = !files_.empty();
  ok_->setEnabled(rows);
  modify_->setEnabled(rows);
  delete_->setEnabled(rows);
}

std::string CFormatFileDlg::selectedPath() const {
  const int row = list_->currentItem() ? list_->indexOfTopLevelItem(list_->currentItem()) : -1;
  return row >= 0 && row < int(files_.size()) ? files_[size_t(row)].path : std::string();
}

bool CFormatFileDlg::includeObjects() const {
  return objects_->isChecked();
}

bool CFormatFileDlg::save(const QString& name, const std::string& title, bool modifying,
                          bool titleOnly) {
  const QByteArray utf8 = name.trimmed().toUtf8();
  const std::string plain(utf8.constData(), size_t(utf8.size()));
  if (!isPlainFormatName(plain, kind_)) {
    showMessage(this, kMsgCannotCreate);
    return false;
  }
  const std::string path = folder_ + "/" + plain + formatExtension(kind_);
  if (!modifying && QFile::exists(QString::fromUtf8(path.c_str())) &&
      askQuestion(this, kMsgOverwrite, true) != QMessageBox::Yes)
    return false;
  const bool written = titleOnly ? retitleFormatFile(path, kind_, title)
                                 : writeFormatFileBytes(path, encode_(title, includeObjects()));
  if (!written) {
    showMessage(this, kMsgCannotCreate);
    return false;
  }
  refresh(name.trimmed());
  return true;
}

void CFormatFileDlg::registerFile() {
  CFormatRegisterDlg dialog(kind_, false, {}, {}, this);
  if (dialog.exec() == QDialog::Accepted) save(dialog.name(), dialog.title(), false, false);
}

void CFormatFileDlg::modifyFile() {
  QTreeWidgetItem* item = list_->currentItem();
  if (!item) return;
  CFormatRegisterDlg dialog(kind_, true, item->text(0), item->text(1), this);
  if (dialog.exec() == QDialog::Accepted)
    save(dialog.name(), dialog.title(), true, dialog.titleOnly());
}

void CFormatFileDlg::deleteFile() {
  const std::string path = selectedPath();
  if (path.empty()) return;
  if ((optionFlags() & optflag::kConfirmDelete) &&
      askQuestion(this, kMsgConfirmDelete, true) != QMessageBox::Yes)
    return;
  QFile::remove(QString::fromUtf8(path.c_str()));
  refresh();
}

}  // namespace kelvo

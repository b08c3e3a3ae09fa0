#include "deploy_windows.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>
#include <QVBoxLayout>

#include "deploy_messages.h"

namespace deploy {

namespace {

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

}  // namespace

BackdropWindow::BackdropWindow(const QString& title) : title_(title) {
  setWindowTitle(title);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void BackdropWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The classic desktop blue, darkening towards the bottom.
  QLinearGradient fill(0, 0, 0, height());
  fill.setColorAt(0, QColor(0x3A, 0x6E, 0xA5));
  fill.setColorAt(1, QColor(0x0A, 0x24, 0x6A));
  p.fillRect(rect(), fill);
  QFont font = this->font();
  font.setPixelSize(std::max(24, height() / 14));
  font.setBold(true);
  font.setItalic(true);
  p.setFont(font);
  const QRect text = rect().adjusted(height() / 20 + 4, height() / 20 + 4, 0, 0);
  p.setPen(Qt::black);
  p.drawText(text, Qt::AlignLeft | Qt::AlignTop, title_);
  p.setPen(Qt::white);
  p.drawText(text.translated(-4, -4), Qt::AlignLeft | Qt::AlignTop, title_);
}

FolderDialog::FolderDialog(QWidget* parent, const QString& title, const QString& appName,
                           const QString& folder, std::function<int(const QString&)> check)
    : QDialog(parent), appName_(appName), check_(std::move(check)) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(QStringLiteral("프로그램을 설치할 폴더를 지정하십시오.\n"
                                "다른 폴더에 설치하려면 폴더 이름을 바꾸십시오.")));
  auto* row = new QHBoxLayout;
  edit_ = new QLineEdit(folder);
  edit_->setMinimumWidth(360);
  auto* browse = new QPushButton(QStringLiteral("찾아보기(&B)..."));
  auto* label = new QLabel(QStringLiteral("설치 폴더(&D):"));
  label->setBuddy(edit_);
  row->addWidget(label);
  row->addWidget(edit_, 1);
  row->addWidget(browse);
  layout->addLayout(row);
  layout->addWidget(okCancel(this));
  connect(browse, &QPushButton::clicked, this, [this] {
    const QString chosen = QFileDialog::getExistingDirectory(this, windowTitle(), edit_->text());
    // A browsed folder receives the application's own folder inside it.
    if (!chosen.isEmpty()) edit_->setText(chosen + QLatin1Char('/') + appName_);
  });
}

QString FolderDialog::folder() const {
  return edit_->text().trimmed();
}

void FolderDialog::accept() {
  if (const int message = check_ ? check_(folder()) : 0) {
    warn(this, windowTitle(), message);
    return;
  }
  QDialog::accept();
}

ProgressDialog::ProgressDialog(QWidget* parent, const QString& title, const QString& target,
                               std::function<void()> onCancel)
    : QDialog(parent), onCancel_(std::move(onCancel)) {
  setWindowTitle(title);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("설치 폴더:"), new QLabel(target));
  file_ = new QLabel;
  file_->setMinimumWidth(300);
  form->addRow(QStringLiteral("설치하는 파일:"), file_);
  layout->addLayout(form);
  auto* row = new QHBoxLayout;
  bar_ = new QProgressBar;
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  percent_ = new QLabel(QStringLiteral("0%"));
  percent_->setMinimumWidth(40);
  percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(bar_, 1);
  row->addWidget(percent_);
  layout->addLayout(row);
  auto* cancel = new QPushButton(QStringLiteral("취소"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(cancel, &QPushButton::clicked, this, &ProgressDialog::reject);
}

void ProgressDialog::show(const QString& fileName, int percent) {
  file_->setText(fileName);
  percent_->setText(QStringLiteral("%1%").arg(percent));
  bar_->setValue(percent);
}

void ProgressDialog::reject() {
  // Escape and the close button ask like Cancel; the dialog stays open.
  if (onCancel_) onCancel_();
}

DiskDialog::DiskDialog(QWidget* parent, const QString& title, const QString& disk)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("다음 디스크를 넣고 [확인]을 누르십시오.")));
  auto* name = new QLabel(disk);
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  layout->addWidget(name);
  layout->addWidget(okCancel(this));
}

SelectionDialog::SelectionDialog(QWidget* parent, const QString& title, const QStringList& names)
    : QDialog(parent), group_(new QButtonGroup(this)) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("설치할 시스템을 고르십시오.")));
  for (int i = 0; i < names.size() && i < 8; ++i) {
    auto* button = new QRadioButton(names[i]);
    group_->addButton(button, i + 1);
    layout->addWidget(button);
    if (i == 0) button->setChecked(true);
  }
  layout->addWidget(okCancel(this));
}

int SelectionDialog::choice() const {
  return group_->checkedId();
}

void installKoreanQtTexts() {
  static const bool installed = [] {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Korean, QLocale::SouthKorea), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      delete translator;
      return false;
    }
    return QCoreApplication::installTranslator(translator);
  }();
  (void)installed;
}

void warn(QWidget* parent, const QString& title, int id) {
  QApplication::beep();
  QMessageBox::warning(parent, title, messageText(id));
}

}  // namespace deploy

#include "kelvo/property_sheet.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"

namespace kelvo {
namespace {

// The size of a font in points, read again each time it is shown (the
// pages of a shared copy reload their fonts when shown).
class FontSizeLabel : public QLabel {
 public:
  FontSizeLabel(const LOGFONT* font, QWidget* parent) : QLabel(parent), font_(font) { refresh(); }
  void refresh() { setText(QStringLiteral("%1 pt").arg(xFontSize(font_->lfHeight))); }

 protected:
  void showEvent(QShowEvent* event) override {
    refresh();
    QLabel::showEvent(event);
  }

 private:
  const LOGFONT* font_;
};

}  // namespace

CPropertyPage::CPropertyPage(const QString& title, QWidget* parent) : QWidget(parent) {
  setWindowTitle(title);
}

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent)
    : QDialog(parent), tabs_(new QTabWidget(this)) {
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(okCancelButtons(this));
  connect(tabs_, &QTabWidget::currentChanged, this, &CPropertySheet::pageChanged);
}

void CPropertySheet::pageChanged(int index) {
  if (switching_) return;
  const int left = shown_;
  shown_ = index;
  if (!shared_ || index < 0) return;
  if (left >= 0 && left < pageCount() && left != index) {
    if (!page(left)->validate()) {
      switching_ = true;
      shown_ = left;
      tabs_->setCurrentIndex(left);
      switching_ = false;
      return;
    }
    page(left)->apply();
  }
  page(index)->load();
}

void CPropertySheet::addPage(CPropertyPage* page) {
  tabs_->addTab(page, page->windowTitle());
  shown_ = tabs_->currentIndex();
}

int CPropertySheet::pageCount() const {
  return tabs_->count();
}

CPropertyPage* CPropertySheet::page(int index) const {
  return static_cast<CPropertyPage*>(tabs_->widget(index));
}

void CPropertySheet::accept() {
  if (shared_) {
    CPropertyPage* current = page(tabs_->currentIndex());
    if (!current) return QDialog::accept();
    if (!current->validate()) return;
    current->apply();
    QDialog::accept();
    return;
  }
  for (int i = 0; i < pageCount(); ++i) {
    tabs_->setCurrentIndex(i);
    if (!page(i)->validate()) return;
  }
  for (int i = 0; i < pageCount(); ++i) page(i)->apply();
  QDialog::accept();
}

bool checkNumberFields(QWidget* page) {
  for (QAbstractSpinBox* box : page->findChildren<QAbstractSpinBox*>()) {
    if (!box->isEnabled() || box->hasAcceptableInput()) continue;
    QApplication::beep();
    box->setFocus();
    box->selectAll();
    return false;
  }
  return true;
}

QPushButton* colourButton(QWidget* parent, const QString& caption, COLORREF* colour) {
  auto* button = new QPushButton(caption, parent);
  QObject::connect(button, &QPushButton::clicked, parent,
                   [parent, colour] { xColorDlg(parent, colour); });
  return button;
}

QPushButton* fontButton(QWidget* parent, const QString& caption, LOGFONT* font, COLORREF* colour) {
  auto* button = new QPushButton(caption, parent);
  QObject::connect(button, &QPushButton::clicked, parent, [parent, font, colour] {
    // The picker always offers a colour; a font without one keeps it local.
    COLORREF unused = 0;
    xFontDlg(parent, font, colour ? colour : &unused, nullptr, nullptr);
  });
  return button;
}

QWidget* fontField(QWidget* parent, const QString& caption, LOGFONT* font, COLORREF* colour,
                   const QString& name) {
  auto* field = new QWidget(parent);
  auto* layout = new QHBoxLayout(field);
  layout->setContentsMargins(0, 0, 0, 0);
  QPushButton* button = fontButton(field, caption, font, colour);
  auto* size = new FontSizeLabel(font, field);
  if (!name.isEmpty()) {
    button->setObjectName(name);
    size->setObjectName(name + QStringLiteral("Size"));
  }
  // After the picker: the button's own connection runs first.
  QObject::connect(button, &QPushButton::clicked, size, [size] { size->refresh(); });
  layout->addWidget(button);
  layout->addWidget(size);
  return field;
}

}  // namespace kelvo

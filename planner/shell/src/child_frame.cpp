#include "child_frame.h"

#include <QHash>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "kelvo/strings.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

QHash<int, WindowFactory>& factories() {
  static QHash<int, WindowFactory> table;
  return table;
}

}  // namespace

void registerDocumentWindow(int number, WindowFactory factory) {
  if (factory)
    factories().insert(number, std::move(factory));
  else
    factories().remove(number);
}

bool hasDocumentWindow(int number) {
  return factories().contains(number);
}

QWidget* makeDocumentWindow(int number, QWidget* parent) {
  return hasDocumentWindow(number) ? factories().value(number)(parent) : nullptr;
}

namespace {
ContentCloser& closer() {
  static ContentCloser hook;
  return hook;
}
// The tab strip's font, made once for the whole run so that every document
// frame shows the same one: "굴림체" resolved through the Korean substitute
// from the first frame on, not only once a view has drawn text.
const QFont& tabFont() {
  static const QFont font = [] {
    xjor::installFontSubstitutes();
    QFont f(QStringLiteral("굴림체"));
    f.setPointSize(9);
    return f;
  }();
  return font;
}
}  // namespace

void setContentCloser(ContentCloser hook) {
  closer() = std::move(hook);
}

namespace {
ContentPrinter& contentPrinter() {
  static ContentPrinter hook;
  return hook;
}
}  // namespace

void setContentPrinter(ContentPrinter hook) {
  contentPrinter() = std::move(hook);
}

int printContent(QWidget* content, QPrinter* printer) {
  return contentPrinter() ? contentPrinter()(content, printer) : -1;
}

CChildFrame::CChildFrame(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
  setObjectName(QStringLiteral("ChildFrame"));
  tabs_->setObjectName(QStringLiteral("tab11000"));
  tabs_->setFont(tabFont());
  tabs_->setExpanding(false);
  tabs_->setDrawBase(true);
  for (int n = 0; n < kDocumentWindows; ++n) {
    tabs_->addTab(loadString(kStrWindowCaption0 + n));
    tabs_->setTabEnabled(n, hasDocumentWindow(n));
  }
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  layout_->addWidget(tabs_);
  content_ = new QWidget(this);
  content_->setAutoFillBackground(true);
  layout_->addWidget(content_, 1);
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (index != current_) emit windowRequested(index);
  });
}

void CChildFrame::showWindow(int number) {
  if (number == current_) return;
  current_ = number;
  restoreTab();
  QWidget* next = nullptr;
  if (hasDocumentWindow(number)) next = makeDocumentWindow(number, this);
  if (!next) {
    next = new QWidget(this);
    next->setAutoFillBackground(true);
  }
  closeContent();
  layout_->replaceWidget(content_, next);
  delete content_;
  content_ = next;
  contentClosed_ = false;
}

void CChildFrame::reloadWindow() {
  const int number = current_;
  current_ = -1;
  showWindow(number);
}

CChildFrame::~CChildFrame() {
  closeContent();
}

void CChildFrame::closeContent() {
  if (contentClosed_ || !content_) return;
  contentClosed_ = true;
  if (closer()) closer()(content_);
}

void CChildFrame::restoreTab() {
  const QSignalBlocker block(tabs_);
  tabs_->setCurrentIndex(current_);
}

}  // namespace kelvo

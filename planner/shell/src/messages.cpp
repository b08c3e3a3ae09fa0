#include "kelvo/messages.h"

#include <QApplication>

#include "kelvo/strings.h"

namespace kelvo {
namespace {

MessageHook& hook() {
  static MessageHook h;
  return h;
}

}  // namespace

void setMessageHook(MessageHook h) {
  hook() = std::move(h);
}

void showMessageText(QWidget* parent, const QString& text) {
  QApplication::beep();
  if (hook()) {
    hook()(0, text);
    return;
  }
  QMessageBox::warning(parent, loadString(kStrAppTitle), text);
}

void showMessage(QWidget* parent, int id) {
  QApplication::beep();
  if (hook()) {
    hook()(id, loadString(id));
    return;
  }
  QMessageBox::warning(parent, loadString(kStrAppTitle), loadString(id));
}

int askQuestion(QWidget* parent, int id, bool defaultNo, bool withCancel) {
  if (hook()) {
    QApplication::beep();
    return hook()(id, loadString(id));
  }
  return askQuestionText(parent, loadString(id), defaultNo, withCancel);
}

int askQuestionText(QWidget* parent, const QString& text, bool defaultNo, bool withCancel) {
  QApplication::beep();
  if (hook()) return hook()(0, text);
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  return QMessageBox::question(parent, loadString(kStrAppTitle), text, buttons,
                               defaultNo ? QMessageBox::No : QMessageBox::Yes);
}

}  // namespace kelvo

#include "accelerators.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>

#include "kelvo/commands.h"

namespace kelvo {
namespace {

constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;

const Accelerator kTable[] = {
    {57600, kCtrl | Qt::Key_N},        {57601, kCtrl | Qt::Key_O},
    {57603, kCtrl | Qt::Key_S},        {57607, kCtrl | Qt::Key_P},
    {57634, kCtrl | Qt::Key_C},        {57634, kCtrl | Qt::Key_Insert},
    {57637, kCtrl | Qt::Key_V},        {57637, kShift | Qt::Key_Insert},
    {57635, kCtrl | Qt::Key_X},        {57635, kShift | Qt::Key_Delete},
    {57632, kNone | Qt::Key_Delete},   {57643, kCtrl | Qt::Key_Z},
    {57643, kAlt | Qt::Key_Backspace}, {32768, kNone | Qt::Key_Escape},
    {57670, kNone | Qt::Key_F1},       {57669, kShift | Qt::Key_F1},
    {40112, kNone | Qt::Key_F2},       {40025, kNone | Qt::Key_F4},
    {57680, kNone | Qt::Key_F6},       {57681, kShift | Qt::Key_F6},
    {57609, kNone | Qt::Key_F7},       {40021, kNone | Qt::Key_F8},
    {40022, kNone | Qt::Key_F9},       {40114, kNone | Qt::Key_F11},
    {40115, kNone | Qt::Key_F12},
};

// Copy, cut, paste, undo and delete belong to a text field that has the
// focus, as they would without accelerators.
bool isEditingCommand(int command) {
  return command == 57634 || command == 57635 || command == 57637 || command == 57643 ||
         command == 57632;
}

bool isTextField(const QWidget* w) {
  if (!w) return false;
  if (auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

// Whether the text field has typing of its own to take back; when it has
// none, undo goes on to the program's undo.
bool hasOwnUndo(const QWidget* w) {
  if (auto* line = qobject_cast<const QLineEdit*>(w)) return line->isUndoAvailable();
  if (auto* text = qobject_cast<const QTextEdit*>(w)) return text->document()->isUndoAvailable();
  if (auto* plain = qobject_cast<const QPlainTextEdit*>(w))
    return plain->document()->isUndoAvailable();
  return true;
}

}  // namespace

std::span<const Accelerator> acceleratorTable() {
  return kTable;
}

CAccelerators::CAccelerators(QWidget* window, CommandRouter* router)
    : QObject(window), window_(window), router_(router) {
  qApp->installEventFilter(this);
}

void CAccelerators::labelActions() {
  QList<int> labelled;
  for (const Accelerator& a : kTable) {
    if (labelled.contains(a.command)) continue;
    labelled << a.command;
    QAction* act = router_->action(a.command);
    if (act->text().contains('\t')) continue;
    act->setText(act->text() + '\t' + QKeySequence(a.key).toString(QKeySequence::NativeText));
  }
}

bool CAccelerators::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // Only keys typed in this window (not in its dialogs, which are windows of
  // their own) are accelerators.
  if (widget->window() != window_ || QApplication::activeModalWidget()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const QKeyCombination typed = key->keyCombination();
  for (const Accelerator& a : kTable) {
    if (a.key != typed) continue;
    QWidget* field = isTextField(widget)                        ? widget
                     : isTextField(QApplication::focusWidget()) ? QApplication::focusWidget()
                                                                : nullptr;
    if (field && isEditingCommand(a.command) && (a.command != 57643 || hasOwnUndo(field)))
      return false;
    // An enabled command takes the key whatever it then does (a dialog it
    // opens may be cancelled); a disabled one leaves it to the widgets.
    if (!router_->state(a.command).enabled) return false;
    router_->dispatch(a.command);
    return true;
  }
  return false;
}

}  // namespace kelvo

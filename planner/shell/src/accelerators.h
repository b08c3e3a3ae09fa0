// The main window's keyboard accelerators: keys that run commands through
// the router wherever the focus is inside the window.
#ifndef KELVO_ACCELERATORS_H_
#define KELVO_ACCELERATORS_H_

#include <QKeySequence>
#include <QObject>
#include <span>

class QWidget;

namespace kelvo {

class CommandRouter;

struct Accelerator {
  int command;
  QKeyCombination key;
};

// The accelerator table, in the order the menus name the keys (the first
// key of a command is the one its menu entry shows).
std::span<const Accelerator> acceleratorTable();

// Watches the key presses of one window. A key of the table runs its
// command, and is used up, when somebody owns the command and it is enabled;
// otherwise the key goes on to the focus widget as usual. Editing keys (copy, cut, paste, undo,
// delete) typed into a text field stay with the field.
class CAccelerators : public QObject {
  Q_OBJECT
 public:
  CAccelerators(QWidget* window, CommandRouter* router);

  // Appends each command's first key to its menu text ("...\tCtrl+N").
  void labelActions();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  CommandRouter* router_;
};

}  // namespace kelvo

#endif  // KELVO_ACCELERATORS_H_

// Driving modal dialogs in tests: an action run on the next modal widget
// that opens (a sheet, a picker), from a timer, while exec() blocks.
#ifndef SHELL_TESTS_MODAL_DRIVER_H_
#define SHELL_TESTS_MODAL_DRIVER_H_

#include <QApplication>
#include <QColorDialog>
#include <QTimer>
#include <functional>

namespace kelvo_test {

// Runs action(dialog) once a modal widget other than `outer` is active,
// polling every 20 ms for at most 5 s.
inline void whenModal(std::function<void(QWidget*)> action, QWidget* outer = nullptr,
                      int tries = 250) {
  QTimer::singleShot(20, [action = std::move(action), outer, tries]() mutable {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != outer) {
      action(modal);
    } else if (tries > 0) {
      whenModal(std::move(action), outer, tries - 1);
    }
  });
}

// Answers the next colour picker with colour.
inline void pickColourNext(QColor colour, QWidget* outer) {
  whenModal(
      [colour](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        if (!dialog) return;
        dialog->setCurrentColor(colour);
        dialog->accept();
      },
      outer);
}

}  // namespace kelvo_test

#endif  // SHELL_TESTS_MODAL_DRIVER_H_

// Driving a dialog that opens from inside another modal one (a picker
// over a settings sheet): whenModal of shell_fixture.h would act on the
// outer dialog, which is still the active modal widget until the inner one
// shows.
#ifndef SHELL_TESTS_MODAL_DRIVER_H_
#define SHELL_TESTS_MODAL_DRIVER_H_

#include <QColorDialog>

#include "shell_fixture.h"

namespace kelvo_test {

// Runs act on the next modal dialog other than outer.
inline void whenModalOver(QWidget* outer, std::function<void(QDialog*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, outer, act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog == outer || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(dialog);
  });
  timer->start();
}

// Answers the next colour picker over outer with colour.
inline void pickColourNext(QColor colour, QWidget* outer) {
  whenModalOver(outer, [colour](QDialog* dialog) {
    auto* picker = qobject_cast<QColorDialog*>(dialog);
    if (!picker) return;
    picker->setCurrentColor(colour);
    picker->accept();
  });
}

}  // namespace kelvo_test

#endif  // SHELL_TESTS_MODAL_DRIVER_H_

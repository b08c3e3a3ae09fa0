// Helpers for driving widgets offscreen in the library's tests.
#ifndef XJORLIB_TESTS_TEST_SUPPORT_H_
#define XJORLIB_TESTS_TEST_SUPPORT_H_

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace xjor_test {

// Runs action on the next modal widget as soon as one is up (polling from
// the event loop), so a test can answer a dialog that a call under test runs.
inline void whenModal(std::function<void(QWidget*)> action, QWidget* notThis = nullptr) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action, notThis] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == notThis || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    action(modal);
  });
  timer->start();
}

// Spins the event loop until done() or milliseconds have passed.
inline bool waitFor(std::function<bool()> done, int milliseconds = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > milliseconds) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

inline QString sourcePath(const char* relative) {
  return QStringLiteral(KELVO_SOURCE_DIR "/") + QString::fromUtf8(relative);
}

// Where the tests leave the screens they render, for a person to look at.
inline QString outputPath(const char* name) {
  return QStringLiteral(KELVO_BIN_DIR "/") + QString::fromUtf8(name);
}

}  // namespace xjor_test

#endif  // XJORLIB_TESTS_TEST_SUPPORT_H_

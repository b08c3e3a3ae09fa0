// A private X server (Xvfb) for the tests in which focus, window stacking
// or a second process matter, started before the QApplication and stopped
// after it.
#ifndef GRIDS_X11TESTS_X_SERVER_H_
#define GRIDS_X11TESTS_X_SERVER_H_

#include <sys/types.h>

#include <QString>

namespace kelvo_test {

class XServer {
 public:
  // Starts Xvfb on the first free display from :73 on (1280 x 1024, no
  // TCP) and waits until it takes connections. display() is empty when no
  // server could be started.
  XServer();
  // Stops the server.
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  const QString& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  QString display_;
};

}  // namespace kelvo_test

#endif  // GRIDS_X11TESTS_X_SERVER_H_

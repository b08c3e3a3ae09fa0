#include "single_instance.h"

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QWidget>

#include "xJorLib.h"

namespace xjor {

namespace {

constexpr int kConnectMilliseconds = 1000;
// A command line longer than this is not one: the connection is dropped.
constexpr qsizetype kMaxMessageBytes = 64 * 1024;

struct InstanceState {
  QLocalServer* server = nullptr;
  QString className;
  XRunningProcessHandler handler = nullptr;
  void* context = nullptr;
  // Command lines received but not yet given to the handler, and whether the
  // handler is running (it may open dialogs, and with them event loops).
  QList<QByteArray> pending;
  bool handling = false;
};

InstanceState& state() {
  static InstanceState s;
  return s;
}

// The arguments after the program name; those that are not options are file
// names, made absolute here because the running instance works in another
// folder.
QByteArray ownCommandLine() {
  QStringList arguments = QCoreApplication::arguments();
  if (!arguments.isEmpty()) arguments.removeFirst();
  for (QString& argument : arguments)
    if (!argument.isEmpty() && !argument.startsWith(u'-'))
      argument = QFileInfo(argument).absoluteFilePath();
  return arguments.join(u'\n').toUtf8();
}

QWidget* instanceWindow(const QString& className) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == className) return widget;
  return nullptr;
}

void bringToFront(QWidget* window) {
  if (!window) return;
  if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
  // A dialog open on the window comes forward with it.
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
    modal->raise();
    modal->activateWindow();
  }
}

// Gives the received command lines to the handler one at a time. It runs
// from the event loop, never inside the socket's signals: the handler may
// open a dialog, and the socket may go away while that dialog is open.
void deliverPending() {
  InstanceState& s = state();
  if (s.handling) return;  // the running call takes the rest when it returns
  s.handling = true;
  while (!s.pending.isEmpty()) {
    const QByteArray message = s.pending.takeFirst();
    bringToFront(instanceWindow(s.className));
    if (s.handler) s.handler(message.constData(), s.context);
  }
  s.handling = false;
}

// A later start has sent its command line (terminated by a NUL byte).
void serveConnection(QLocalSocket* socket) {
  auto deliver = [socket] {
    if (socket->property("delivered").toBool()) return;
    QByteArray message = socket->property("message").toByteArray() + socket->readAll();
    const qsizetype end = message.indexOf('\0');
    if (end < 0 && message.size() > kMaxMessageBytes) {
      socket->setProperty("delivered", true);
      socket->abort();
      return;
    }
    if (end < 0 && socket->state() == QLocalSocket::ConnectedState) {
      socket->setProperty("message", message);
      return;
    }
    socket->setProperty("delivered", true);
    if (end >= 0) message.truncate(end);
    socket->disconnectFromServer();
    state().pending.append(message);
    QMetaObject::invokeMethod(QCoreApplication::instance(), deliverPending, Qt::QueuedConnection);
  };
  QObject::connect(socket, &QLocalSocket::readyRead, socket, deliver);
  QObject::connect(socket, &QLocalSocket::disconnected, socket, [socket, deliver] {
    deliver();
    socket->deleteLater();
  });
  if (socket->bytesAvailable() > 0) deliver();
}

bool becomeInstance(const QString& className, const QString& path) {
  InstanceState& s = state();
  if (s.server && s.className == className) return true;
  // Nobody answered: any socket file left is the remains of a crashed run.
  QLocalServer::removeServer(path);
  auto* server = new QLocalServer(QCoreApplication::instance());
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(path)) {
    delete server;
    return false;
  }
  QObject::connect(server, &QLocalServer::newConnection, server, [server] {
    while (QLocalSocket* socket = server->nextPendingConnection()) serveConnection(socket);
  });
  delete s.server;
  s.server = server;
  s.className = className;
  return true;
}

}  // namespace

QString instanceSocketPath(const QString& className) {
  QString name;
  for (QChar c : className)
    name += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_' ? c : QChar(u'_');
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) {
    folder = QDir::tempPath();
    name += QStringLiteral("-%1").arg(getuid());
  }
  return folder + u'/' + name;
}

}  // namespace xjor

extern "C" int32_t xIsRunningProcess(const char* className) {
  const QString name = QString::fromUtf8(className ? className : "");
  if (name.isEmpty()) return 0;
  const QString path = xjor::instanceSocketPath(name);
  QLocalSocket socket;
  socket.connectToServer(path);
  if (socket.waitForConnected(xjor::kConnectMilliseconds)) {
    socket.write(xjor::ownCommandLine() + '\0');
    socket.waitForBytesWritten(xjor::kConnectMilliseconds);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
      socket.waitForDisconnected(xjor::kConnectMilliseconds);
    return 1;
  }
  xjor::becomeInstance(name, path);
  return 0;
}

extern "C" void xSetRunningProcessHandler(XRunningProcessHandler handler, void* context) {
  xjor::state().handler = handler;
  xjor::state().context = context;
}

// The single-instance test over a per-user local socket.
#include "single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include "test_support.h"
#include "xJorLib.h"

namespace {

using xjor_test::waitFor;

QString uniqueName(const char* stem) {
  return QStringLiteral("%1-%2")
      .arg(QString::fromUtf8(stem))
      .arg(QCoreApplication::applicationPid());
}

struct Received {
  int calls = 0;
  QString commandLine;
};

void remember(const char* commandLine, void* context) {
  auto* received = static_cast<Received*>(context);
  ++received->calls;
  received->commandLine = QString::fromUtf8(commandLine);
}

// Started as a separate process by SecondStartRaisesTheFirst.
TEST(SingleInstanceChild, SecondStart) {
  const QByteArray name = qgetenv("KELVO_TEST_INSTANCE");
  if (name.isEmpty()) GTEST_SKIP() << "runs only as the second start";
  _exit(xIsRunningProcess(name.constData()) == 1 ? 42 : 1);
}

TEST(SingleInstance, SecondStartRaisesTheFirstAndHandsOverItsCommandLine) {
  const QString name = uniqueName("KelvoWndTest");
  QWidget mainWindow;
  mainWindow.setObjectName(name);
  mainWindow.showMinimized();
  QDialog dialog(&mainWindow);
  Received received;
  xSetRunningProcessHandler(remember, &received);

  EXPECT_EQ(xIsRunningProcess(name.toUtf8().constData()), 0);  // the first start
  dialog.open();

  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("KELVO_TEST_INSTANCE"), name);
  second.setProcessEnvironment(env);
  second.start(
      QCoreApplication::applicationFilePath(),
      {QStringLiteral("--gtest_filter=SingleInstanceChild.*"), QStringLiteral("plan.kvp")});
  ASSERT_TRUE(waitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(second.exitCode(), 42);
  ASSERT_TRUE(waitFor([&] { return received.calls == 1; }));
  // The file name comes over absolute: the first instance works elsewhere.
  EXPECT_EQ(received.commandLine, QStringLiteral("--gtest_filter=SingleInstanceChild.*\n") +
                                      QDir::currentPath() + QStringLiteral("/plan.kvp"));
  EXPECT_FALSE(mainWindow.isMinimized());
  EXPECT_TRUE(dialog.isVisible());

  // Within the running instance the name answers too.
  EXPECT_EQ(xIsRunningProcess(name.toUtf8().constData()), 1);
  EXPECT_TRUE(waitFor([&] { return received.calls == 2; }));
  xSetRunningProcessHandler(nullptr, nullptr);
}

// A hand-over that leads to a dialog (the save question, a message): the
// later start has long gone when the dialog closes.
TEST(SingleInstance, HandlerMayRunADialogWhileTheLaterStartGoesAway) {
  const QString name = uniqueName("KelvoWndDialog");
  struct Asked {
    QProcess* second = nullptr;
    int calls = 0;
  } asked;
  QProcess second;
  asked.second = &second;
  xSetRunningProcessHandler(
      [](const char*, void* context) {
        auto* a = static_cast<Asked*>(context);
        ++a->calls;
        QDialog question;
        QTimer::singleShot(0, &question, [&question, a] {
          xjor_test::waitFor([a] { return a->second->state() == QProcess::NotRunning; }, 20000);
          xjor_test::waitFor([] { return false; }, 100);  // the socket's goodbye arrives
          question.reject();
        });
        question.exec();
      },
      &asked);
  ASSERT_EQ(xIsRunningProcess(name.toUtf8().constData()), 0);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("KELVO_TEST_INSTANCE"), name);
  second.setProcessEnvironment(env);
  second.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=SingleInstanceChild.*")});
  ASSERT_TRUE(
      waitFor([&] { return asked.calls == 1 && !QApplication::activeModalWidget(); }, 20000));
  EXPECT_EQ(second.exitCode(), 42);
  // Still serving: the next start is heard.
  EXPECT_EQ(xIsRunningProcess(name.toUtf8().constData()), 1);
  EXPECT_TRUE(waitFor([&] { return asked.calls == 2 && !QApplication::activeModalWidget(); }));
  xSetRunningProcessHandler(nullptr, nullptr);
}

TEST(SingleInstance, StaleSocketOfACrashedRunIsCleared) {
  const QString name = uniqueName("KelvoWndStale");
  const QByteArray path = xjor::instanceSocketPath(name).toUtf8();
  // A socket file nobody listens on any more, as a crash leaves it.
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(static_cast<size_t>(path.size()), sizeof address.sun_path);
  memcpy(address.sun_path, path.constData(), path.size());
  unlink(path.constData());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
  ASSERT_TRUE(QFile::exists(QString::fromUtf8(path)));

  EXPECT_EQ(xIsRunningProcess(name.toUtf8().constData()), 0);
  EXPECT_EQ(xIsRunningProcess(name.toUtf8().constData()), 1);  // now it is ours
}

TEST(SingleInstance, EndlessMessageIsCutOffAndTheInstanceStillAnswers) {
  const QString name = uniqueName("KelvoWndFlood");
  Received received;
  xSetRunningProcessHandler(remember, &received);
  ASSERT_EQ(xIsRunningProcess(name.toUtf8().constData()), 0);
  QLocalSocket flood;
  flood.connectToServer(xjor::instanceSocketPath(name));
  ASSERT_TRUE(flood.waitForConnected(1000));
  const QByteArray chunk(16 * 1024, 'a');
  for (int i = 0; i < 8 && flood.state() == QLocalSocket::ConnectedState; ++i) {
    flood.write(chunk);
    flood.flush();
    waitFor([] { return false; }, 20);
  }
  EXPECT_TRUE(waitFor([&] { return flood.state() == QLocalSocket::UnconnectedState; }));
  EXPECT_EQ(received.calls, 0);
  EXPECT_EQ(xIsRunningProcess(name.toUtf8().constData()), 1);
  EXPECT_TRUE(waitFor([&] { return received.calls == 1; }));
  xSetRunningProcessHandler(nullptr, nullptr);
}

TEST(SingleInstance, NamesBecomeSafeFileNames) {
  const QString path = xjor::instanceSocketPath(QStringLiteral("../Kel vo/Wnd"));
  EXPECT_TRUE(path.endsWith(QStringLiteral("/___Kel_vo_Wnd")) ||
              path.contains(QStringLiteral("/___Kel_vo_Wnd-")))
      << path.toStdString();
  EXPECT_EQ(xIsRunningProcess(""), 0);
  EXPECT_EQ(xIsRunningProcess(nullptr), 0);
}

}  // namespace

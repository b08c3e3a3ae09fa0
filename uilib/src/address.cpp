#include "address.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "xJorLib.h"

namespace xjor {

namespace {
constexpr int kOpenerMilliseconds = 5000;
}  // namespace

bool openAddress(const QString& address) {
  const QString text = address.trimmed();
  if (text.isEmpty()) return false;
  // "www.example.com" becomes an http address, "mailto:..." stays as it is.
  const QUrl url = QUrl::fromUserInput(text);
  if (!url.isValid()) return false;
  // The freedesktop opener knows the user's browser and mail program, and
  // its exit status says whether one was found and started (the desktop
  // service only reports that the opener itself started).
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return false;
  auto* process = new QProcess(QCoreApplication::instance());
  process->setProgram(opener);
  process->setArguments({url.toString()});
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  process->start();
  if (!process->waitForStarted(kOpenerMilliseconds)) {
    process->deleteLater();
    return false;
  }
  // An opener that is still running after a while has handed the address
  // to a program that stays in front (some browsers do): that is success,
  // and the process is left to finish on its own.
  if (!process->waitForFinished(kOpenerMilliseconds)) return true;
  return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

void reportUnopenableLink(QWidget* parent) {
  QApplication::beep();
  QMessageBox::warning(parent, QGuiApplication::applicationDisplayName(),
                       QStringLiteral("Can not open link."));
}

}  // namespace xjor

extern "C" int32_t xGotoURL(const char* address) {
  if (xjor::openAddress(QString::fromUtf8(address ? address : ""))) return 1;
  xjor::reportUnopenableLink(QApplication::activeWindow());
  return 0;
}

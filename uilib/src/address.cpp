#include "address.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "xJorLib.h"

namespace xjor {

bool openAddress(const QString& address) {
  const QString text = address.trimmed();
  if (text.isEmpty()) return false;
  // "www.example.com" becomes an http address, "mailto:..." stays as it is.
  const QUrl url = QUrl::fromUserInput(text);
  if (!url.isValid()) return false;
  if (QDesktopServices::openUrl(url)) return true;
  // Without a desktop service (no session, a bare window manager) the
  // freedesktop opener still knows the user's browser and mail program.
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return false;
  return QProcess::startDetached(opener, {url.toString()});
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

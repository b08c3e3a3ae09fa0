#include "deploy_paths.h"

#include <stdlib.h>
#include <sys/statvfs.h>

#include <QDir>
#include <QFileInfo>

namespace deploy {

namespace {

QString envFolder(const char* name, const QString& fallback) {
  const QByteArray v = qgetenv(name);
  return asFolder(v.isEmpty() || !QDir::isAbsolutePath(QString::fromLocal8Bit(v))
                      ? fallback
                      : QString::fromLocal8Bit(v));
}

// The canonical form of the nearest existing ancestor of `path` (itself
// included) followed by the part that does not exist yet.
QString canonicalSoFar(const QString& path) {
  QString head = QDir::cleanPath(path);
  QStringList tail;
  for (;;) {
    const QString real = QFileInfo(head).canonicalFilePath();
    if (!real.isEmpty()) {
      tail.prepend(real);
      return QDir::cleanPath(tail.join(QLatin1Char('/')));
    }
    const auto slash = head.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0) return path;
    tail.prepend(head.mid(slash + 1));
    head = head.left(slash);
  }
}

}  // namespace

Places placesFromEnvironment() {
  Places p;
  const QString home = QDir::homePath();
  p.dataHome = envFolder("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
  p.configHome = envFolder("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
  p.systemDir = envFolder("KELVO_SYSTEM_DIR", p.dataHome + QStringLiteral("JorSoft"));
  return p;
}

QString asFolder(const QString& path) {
  QString f = path;
  f.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (!f.isEmpty() && !f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
  return f;
}

bool isInside(const QString& path, const QString& folder) {
  return path.startsWith(folder) || path + QLatin1Char('/') == folder;
}

QString resolveInside(const QString& base, const QString& relative) {
  QString rel = relative;
  rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (rel.isEmpty() || rel.startsWith(QLatin1Char('/'))) return {};
  if (rel.size() >= 2 && rel[1] == QLatin1Char(':')) return {};  // "C:..."
  for (const QString& part : rel.split(QLatin1Char('/')))
    if (part == QLatin1String("..")) return {};
  const QString joined = QDir::cleanPath(base + rel) + (rel.endsWith(QLatin1Char('/')) ? "/" : "");
  // A symbolic link inside the base may not lead out of it.
  const QString realBase = asFolder(canonicalSoFar(base));
  const QString real = canonicalSoFar(joined);
  if (!isInside(real, realBase)) return {};
  return joined;
}

QString resolveDestination(const Places& places, const QString& destination) {
  if (destination.startsWith(QLatin1String("W]"), Qt::CaseInsensitive)) {
    const QString rest = destination.mid(2);
    if (rest.isEmpty()) return places.systemDir;
    return resolveInside(places.systemDir, rest);
  }
  if (destination == QLatin1String(".") || destination == QLatin1String("./") ||
      destination == QLatin1String(".\\"))
    return places.target;
  return resolveInside(places.target, destination);
}

QString defaultTarget(const QString& iniPath, const QString& appName, const QString& home) {
  const QString h = asFolder(home);
  QString p = iniPath;
  p.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (p.isEmpty()) return asFolder(h + appName);
  if (p.startsWith(QLatin1Char('/'))) return asFolder(QDir::cleanPath(p));
  if (p.size() >= 2 && p[1] == QLatin1Char(':')) p = p.mid(2);
  while (p.startsWith(QLatin1Char('/'))) p.remove(0, 1);
  return asFolder(QDir::cleanPath(h + p));
}

qint64 freeBytes(const QString& path) {
  QString p = QDir::cleanPath(path);
  while (!p.isEmpty() && !QFileInfo::exists(p)) {
    const auto slash = p.lastIndexOf(QLatin1Char('/'));
    p = slash <= 0 ? QStringLiteral("/") : p.left(slash);
  }
  struct statvfs s;
  if (::statvfs(QFile::encodeName(p).constData(), &s) != 0) return -1;
  return static_cast<qint64>(s.f_bavail) * static_cast<qint64>(s.f_frsize);
}

}  // namespace deploy

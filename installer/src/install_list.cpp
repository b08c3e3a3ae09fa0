#include "install_list.h"

#include <errno.h>
#include <unistd.h>

#include <QFile>

#include "safe_write.h"

namespace deploy {

namespace {

bool removable(const QString& path, const Places& places) {
  if (path.contains(QLatin1String("/../")) || path.endsWith(QLatin1String("/.."))) return false;
  const QString allowed[] = {places.target,
                             places.systemDir,
                             places.dataHome + QStringLiteral("applications/"),
                             places.dataHome + QStringLiteral("desktop-directories/"),
                             places.dataHome + QStringLiteral("mime/packages/"),
                             places.configHome + QStringLiteral("menus/applications-merged/")};
  for (const QString& folder : allowed)
    if (!folder.isEmpty() && path.startsWith(folder) && path.size() > folder.size()) return true;
  return false;
}

}  // namespace

bool InstallList::save(const QString& path) const {
  QByteArray text;
  for (const QString& f : folders) text += "D " + QFile::encodeName(f) + '\n';
  for (const QString& f : files) text += "F " + QFile::encodeName(f) + '\n';
  return writeFile(path, text);
}

bool InstallList::load(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  files.clear();
  folders.clear();
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.size() < 3 || line[1] != ' ') continue;
    const QString p = QFile::decodeName(line.mid(2));
    if (line[0] == 'F') files.append(p);
    if (line[0] == 'D') folders.append(p);
  }
  return true;
}

int removeInstalled(const InstallList& list, const Places& places) {
  int failures = 0;
  for (const QString& f : list.files) {
    if (!removable(f, places)) {
      ++failures;
      continue;
    }
    if (::unlink(QFile::encodeName(f).constData()) != 0 && errno != ENOENT) ++failures;
  }
  ::unlink(QFile::encodeName(InstallList::pathIn(places.target)).constData());
  for (auto it = list.folders.crbegin(); it != list.folders.crend(); ++it) {
    // A folder that still holds the user's own files stays.
    if (removable(*it, places) || *it + QLatin1Char('/') == places.target)
      ::rmdir(QFile::encodeName(*it).constData());
  }
  return failures;
}

}  // namespace deploy

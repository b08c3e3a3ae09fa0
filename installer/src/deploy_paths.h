// Where the installer reads and writes: script paths resolved against their
// base folder, the default target, and the free space check.
#ifndef DEPLOY_DEPLOY_PATHS_H_
#define DEPLOY_DEPLOY_PATHS_H_

#include <QString>

namespace deploy {

// The folders an installation uses. Every folder ends with '/'.
struct Places {
  QString installerDir;  // the installer's own folder: the codec is loaded from here
  QString mediaDir;      // sources and check files: the installer's folder or a system's SysPath
  QString target;        // the chosen target folder
  QString systemDir;     // "W]" destinations: $KELVO_SYSTEM_DIR, else XDG data + "JorSoft/"
  QString dataHome;      // $XDG_DATA_HOME, else ~/.local/share
  QString configHome;    // $XDG_CONFIG_HOME, else ~/.config
};

// The system, data and config folders from the environment.
Places placesFromEnvironment();

// `path` with '\' turned into '/' and a trailing '/' ensured (empty stays empty).
QString asFolder(const QString& path);

// The file behind `relative` inside `base` (a folder ending in '/'), or an
// empty text when it is refused: absolute, empty, holding a ".." component,
// or leading outside `base` through a symbolic link. '\' counts as '/'.
QString resolveInside(const QString& base, const QString& relative);

// A destination of the script: after "W]" relative to the system folder,
// otherwise to the target. Empty when refused.
QString resolveDestination(const Places& places, const QString& destination);

// The default target for IniPath and AppName: an absolute IniPath as it is,
// "X:\rest" as $HOME/rest, other relative paths under $HOME, an empty one
// $HOME/AppName. Ends with '/'.
QString defaultTarget(const QString& iniPath, const QString& appName, const QString& home);

// Free bytes for an unprivileged user on the file system that holds `path`
// or, when it does not exist yet, its nearest existing ancestor; -1 when
// none can be asked.
qint64 freeBytes(const QString& path);

// True when `path` lies inside `folder` (both absolute; `folder` ends in '/').
bool isInside(const QString& path, const QString& folder);

}  // namespace deploy

#endif  // DEPLOY_DEPLOY_PATHS_H_

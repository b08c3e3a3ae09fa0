#include "deploy_start.h"

#include <QDir>

#include "deploy_messages.h"
#include "safe_write.h"

namespace deploy {

int loadScript(const QString& folder, bool topLevel, Script* out) {
  return readScript(folder + QStringLiteral("Setup.inf"), topLevel, out) ? 0 : kMsgBadDisk;
}

int loadChosenSystem(const Script& selection, int choice, Places* places, Script* out) {
  if (choice < 1 || choice > selection.selection.count) return kMsgBadDisk;
  const QString folder = resolveInside(places->installerDir, selection.selection.paths[choice - 1]);
  if (folder.isEmpty()) return kMsgBadDisk;
  places->mediaDir = asFolder(folder);
  return loadScript(places->mediaDir, false, out);
}

int prepareTarget(const Application& app, const QString& typed, Places* places, QStringList* made) {
  const QString target = asFolder(QDir::cleanPath(typed));
  if (!QDir::isAbsolutePath(target)) return kMsgCannotCreate;
  if (app.spaceNeededKb > 0 && freeBytes(target) < app.spaceNeededKb * 1024) return kMsgNoSpace;
  if (!makeFolders(target, made)) return kMsgCannotCreate;
  places->target = target;
  return 0;
}

}  // namespace deploy

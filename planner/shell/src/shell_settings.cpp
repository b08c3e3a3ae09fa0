#include "kelvo/shell_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

#include "kelvo/profile.h"
#include "xJorDbm2.h"

namespace kelvo {
namespace {

constexpr int kScratchPathSize = 260;

const QString kSettings = QStringLiteral("Settings");
const QString kFolders = QStringLiteral("Folders");
const char* const kFolderKeys[kFolderCount] = {"Project", "Form", "Temp"};

QString withSlash(const QString& path) {
  return path.endsWith('/') ? path : path + '/';
}

}  // namespace

int clampIniView(int value) {
  return value >= 2 && value <= 4 ? value : 2;
}

QString normaliseFolder(const QString& folder) {
  QString text = folder.trimmed();
  if (!text.isEmpty() && !text.endsWith('/') && !text.endsWith('\\')) text += '/';
  return text;
}

QString programFolder() {
  return withSlash(QCoreApplication::applicationDirPath());
}

QString defaultFolder(FolderKind kind) {
  QString path;
  switch (kind) {
    case kFolderProject:
      path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Kelvo/";
      break;
    case kFolderForm:
      path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
             "/JorSoft/Kelvo/Form/";
      break;
    default: {
      // Scratch files go to the engine's per-user folder, closed to others.
      char buffer[kScratchPathSize] = {};
      if (xGetScratchDir(buffer, sizeof buffer)) return QFile::decodeName(buffer);
      path = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
             "/JorSoft/Kelvo/Temp/";
      QDir().mkpath(path);
      QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      return path;
    }
  }
  QDir().mkpath(path);
  return path;
}

ShellSettings loadShellSettings(CProfile& profile) {
  ShellSettings s;
  s.flags = static_cast<uint16_t>(profile.getInt(kSettings, "Flags", flags::kDefault));
  s.iniView = clampIniView(profile.getInt(kSettings, "IniView", 2));
  for (int k = 0; k < kFolderCount; ++k) {
    const FolderKind kind = static_cast<FolderKind>(k);
    QString folder = profile.getString(kFolders, kFolderKeys[k]);
    if (folder.isEmpty() || !QDir::setCurrent(folder)) {
      folder = defaultFolder(kind);
      QDir::setCurrent(folder);
      profile.writeString(kFolders, kFolderKeys[k], folder);
    }
    s.folders[k] = folder;
  }
  return s;
}

void storeEnvironment(CProfile& profile, const ShellSettings& settings) {
  for (int k = 0; k < kFolderCount; ++k)
    profile.writeString(kFolders, kFolderKeys[k], settings.folders[k]);
  profile.writeInt(kSettings, "IniView", settings.iniView);
}

void storeFlags(CProfile& profile, uint16_t value) {
  profile.writeInt(kSettings, "Flags", value);
}

std::optional<WindowPlacement> parseWindowPos(const QString& text) {
  const QStringList parts = text.split(',');
  if (text.isEmpty() || parts.size() != 10) return std::nullopt;
  long long v[10];
  for (int i = 0; i < 10; ++i) {
    bool ok = false;
    v[i] = parts[i].trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
  }
  WindowPlacement p;
  p.flags = static_cast<uint32_t>(v[0]);
  p.showCmd = static_cast<uint32_t>(v[1]);
  p.minX = int(v[2]), p.minY = int(v[3]), p.maxX = int(v[4]), p.maxY = int(v[5]);
  p.normal = QRect(QPoint(int(v[6]), int(v[7])), QPoint(int(v[8]) - 1, int(v[9]) - 1));
  return p;
}

QString formatWindowPos(const WindowPlacement& p) {
  return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10")
      .arg(p.flags)
      .arg(p.showCmd)
      .arg(p.minX)
      .arg(p.minY)
      .arg(p.maxX)
      .arg(p.maxY)
      .arg(p.normal.left())
      .arg(p.normal.top())
      .arg(p.normal.right() + 1)
      .arg(p.normal.bottom() + 1);
}

}  // namespace kelvo

// The shell's settings: the option word "Flags", the first document window
// "IniView", the three folders and the main window placement "WindowPos".
#ifndef KELVO_SHELL_SETTINGS_H_
#define KELVO_SHELL_SETTINGS_H_

#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>

namespace kelvo {

class CProfile;

enum FolderKind { kFolderProject = 0, kFolderForm = 1, kFolderTemp = 2, kFolderCount = 3 };

// Bits of the option word. Bits not named here are kept as read.
namespace flags {
inline constexpr uint16_t kDefault = 0x600;
inline constexpr uint16_t kTextAlignMask = 0x3;  // 0 left, 1 right, 2 centre
inline constexpr uint16_t kShapeStyleOption = 0x4;
inline constexpr uint16_t kShapesInFront = 0x8;  // command 40019
inline constexpr uint16_t kSelectActivitiesFirst = 0x80;
inline constexpr uint16_t kRightButtonIsEsc = 0x100;
inline constexpr uint16_t kLongCrosshair = 0x200;  // command 40053
inline constexpr uint16_t kConfirmDelete = 0x400;
}  // namespace flags

struct ShellSettings {
  uint16_t flags = flags::kDefault;
  int iniView = 2;                // 2 project map, 3 Gantt, 4 PERT
  QString folders[kFolderCount];  // each ends in a separator
};

// Any value outside 2..4 is taken as 2.
int clampIniView(int value);

// A folder as it is stored: blanks around it removed and, unless it is empty
// or already ends in '/' or '\', a '/' appended.
QString normaliseFolder(const QString& folder);

// The running program's folder, with a trailing '/'.
QString programFolder();

// Where a folder setting points when nothing is stored: the user's documents
// folder + "Kelvo/" for projects, the data folder + "JorSoft/Kelvo/Form/" for
// format files, and a scratch folder only the user may open for temporary
// files. The folder is created if missing.
QString defaultFolder(FolderKind kind);

// Reads "Flags", "IniView" and the folders "Project", "Form", "Temp" in that
// order, making each the current directory. A folder that cannot be made
// current is replaced by its default, which is also written back. The
// current directory is left at the last folder set.
ShellSettings loadShellSettings(CProfile& profile);

// Writes "IniView" and the three folders (user environment dialog).
void storeEnvironment(CProfile& profile, const ShellSettings& settings);
// Writes the option word (at exit).
void storeFlags(CProfile& profile, uint16_t flags);

// The stored main window placement.
struct WindowPlacement {
  uint32_t flags = 0;    // 2 = restore to maximised
  uint32_t showCmd = 1;  // 1 normal, 2 minimised, 3 maximised
  int minX = -1, minY = -1, maxX = -1, maxY = -1;
  QRect normal;  // left, top, right, bottom as stored (right/bottom exclusive)
};
inline constexpr uint32_t kPlacementRestoreToMaximized = 2;
inline constexpr uint32_t kShowNormal = 1;
inline constexpr uint32_t kShowMinimized = 2;
inline constexpr uint32_t kShowMaximized = 3;

// Ten comma-separated numbers, or nothing when the text is empty or any of
// the ten does not parse.
std::optional<WindowPlacement> parseWindowPos(const QString& text);
QString formatWindowPos(const WindowPlacement& placement);

}  // namespace kelvo

#endif  // KELVO_SHELL_SETTINGS_H_

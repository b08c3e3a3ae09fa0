// The program's command icons, drawn as SVG files in the library's
// resources (one per command id) and served as icons for toolbars and menus.
#ifndef XJORLIB_COMMAND_ICONS_H_
#define XJORLIB_COMMAND_ICONS_H_

#include <QIcon>
#include <QList>

namespace xjor {

// The icon of command id, rendered crisp at 16, 24 and 32 pixels; a null
// icon when the command has none.
QIcon commandIcon(int commandId);

// The command ids that have an icon, ascending.
QList<int> commandsWithIcons();

}  // namespace xjor

#endif  // XJORLIB_COMMAND_ICONS_H_

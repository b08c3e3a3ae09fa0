// [PM Info] and [MIME Info] as freedesktop files in the user's folders: a
// submenu for the group, one desktop entry per item, and the MIME package
// of project files with the handler's entry declaring those types.
#ifndef DEPLOY_DESKTOP_ENTRIES_H_
#define DEPLOY_DESKTOP_ENTRIES_H_

#include <QString>
#include <QStringList>

#include "deploy_paths.h"
#include "setup_script.h"

namespace deploy {

// AppName in lower-case ASCII with every other character turned into '-'.
QString slugOf(const QString& appName);

// `path` as one argument of a desktop entry's Exec key: double-quoted with
// '"', '`', '$' and '\' escaped, then with '\' escaped again as the file
// format's string values require.
QString execArgument(const QString& path);

// Writes the group's .directory and .menu files, one desktop entry per item
// whose target exists (skipping the rest when the group's files cannot be
// written), and the MIME package under the data folder's mime/packages.
// Appends each file written to `written`.
void writeMenuEntries(const Script& script, const Places& places, QStringList* written);

// Runs update-desktop-database and update-mime-database on the user's
// folders when they are installed; quiet and harmless when they are not.
void refreshDesktopDatabases(const Places& places);

}  // namespace deploy

#endif  // DEPLOY_DESKTOP_ENTRIES_H_

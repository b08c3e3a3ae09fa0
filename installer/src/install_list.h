// The record of one installation: every file and folder the installer made,
// kept as "Setup.lst" in the target so that the installation (or what a
// stopped one left) can be listed and removed again.
#ifndef DEPLOY_INSTALL_LIST_H_
#define DEPLOY_INSTALL_LIST_H_

#include <QString>
#include <QStringList>

#include "deploy_paths.h"

namespace deploy {

struct InstallList {
  QStringList files;    // absolute paths, in the order they were written
  QStringList folders;  // absolute paths of folders the installer created, outermost first

  // The list file of a target folder.
  static QString pathIn(const QString& target) { return target + QStringLiteral("Setup.lst"); }

  // Writes the list as "F path" and "D path" lines (UTF-8) through a
  // temporary file. False when it cannot be written.
  bool save(const QString& path) const;
  // Reads a list written by save(); false when the file cannot be read.
  bool load(const QString& path);
};

// Removes the listed files and then the listed folders that are empty,
// deepest first, and the list file itself. Only paths inside the target,
// the system folder, or the user's menu and MIME folders are touched, so a
// forged list cannot remove anything else. Returns the number of entries
// that could not be removed (files already gone do not count).
int removeInstalled(const InstallList& list, const Places& places);

}  // namespace deploy

#endif  // DEPLOY_INSTALL_LIST_H_

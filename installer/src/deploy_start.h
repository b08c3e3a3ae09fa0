// The steps before copying, shared by the windowed and the batch run:
// reading the scripts and preparing the target folder.
#ifndef DEPLOY_DEPLOY_START_H_
#define DEPLOY_DEPLOY_START_H_

#include <QString>
#include <QStringList>

#include "deploy_paths.h"
#include "setup_script.h"

namespace deploy {

// Reads "Setup.inf" in `folder`. Returns 0, or message 16 when it is missing,
// unreadable or malformed.
int loadScript(const QString& folder, bool topLevel, Script* out);

// Reads the sub-script of system `choice` (1-based) of a selection script and
// points `places.mediaDir` at its folder. Returns 0 or message 16.
int loadChosenSystem(const Script& selection, int choice, Places* places, Script* out);

// Checks and creates the target folder `typed` for `app`: it must be
// absolute (message 20 otherwise), have SpaceNeeded kilobytes free when
// that is above 0 (message 19), and be made with its parents (message 20).
// On success sets `places.target` and lists the folders made in `made`.
int prepareTarget(const Application& app, const QString& typed, Places* places, QStringList* made);

}  // namespace deploy

#endif  // DEPLOY_DEPLOY_START_H_

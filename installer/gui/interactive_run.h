// The windowed installer from start to end.
#ifndef DEPLOY_GUI_INTERACTIVE_RUN_H_
#define DEPLOY_GUI_INTERACTIVE_RUN_H_

#include "deploy_paths.h"

namespace deploy {

// Runs the installation from `places.installerDir` with its windows and a
// QApplication already made. Returns the process exit status: 0 after
// message 21, 1 after message 22 or a cancel, 2 when the media was refused.
int runInteractive(Places places);

}  // namespace deploy

#endif  // DEPLOY_GUI_INTERACTIVE_RUN_H_

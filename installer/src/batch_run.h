// The non-interactive installer: the same steps without windows, answers
// taken from the command line, messages on standard error.
#ifndef DEPLOY_BATCH_RUN_H_
#define DEPLOY_BATCH_RUN_H_

#include <QString>

#include "deploy_paths.h"

namespace deploy {

struct BatchOptions {
  QString target;          // empty: the script's default target
  int system = 1;          // the choice of a selection script
  bool overwrite = false;  // the answer to message 18
};

// Installs from `places.installerDir`. Returns 0 after message 21, 1 after
// message 22, 2 when the media or the target was refused before copying
// (messages 16, 19, 20).
int runBatch(Places places, const BatchOptions& options);

// Removes what the installation in `target` listed in its Setup.lst.
// Returns 0 when everything listed is gone, 1 otherwise.
int runRemove(Places places, const QString& target);

}  // namespace deploy

#endif  // DEPLOY_BATCH_RUN_H_

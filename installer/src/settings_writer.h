// [Registry]: values written to the per-user settings file of the
// application (INI, organisation "JorSoft", application AppName), the same
// file the program itself reads.
#ifndef DEPLOY_SETTINGS_WRITER_H_
#define DEPLOY_SETTINGS_WRITER_H_

#include <QString>
#include <vector>

#include "setup_script.h"

namespace deploy {

// Applies the lines in order. A value starting with "./" or ".\" becomes
// `target` followed by the rest. 'D' removes the key's group (never the
// whole file: an empty key is refused when parsed); 'Y' always writes;
// otherwise an existing integer that differs, or an existing non-empty
// string, is kept. An existing value that is not an integer counts as absent
// for an 'I' line. Returns false when the settings file cannot be written.
bool applyRegistry(const QString& appName, const QString& target,
                   const std::vector<RegistryLine>& lines);

}  // namespace deploy

#endif  // DEPLOY_SETTINGS_WRITER_H_

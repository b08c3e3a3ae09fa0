// What the converter plug-ins' imports share: the project's settings file
// that travels beside an exchange file, and fitting a project table's field
// layout to the columns of a file made elsewhere.
#ifndef KVIMPORT_H_
#define KVIMPORT_H_

#include <string>

#include "xQdDb100.h"

namespace kvconv {

// Reads the settings file at path into db (xReadMiscFormat) and takes its
// calendar range and amount settings into info (takeSettings). A file that
// does not exist leaves the new project's defaults and gives true; one that
// exists but cannot be read whole gives false, with the reason in why.
bool readSettingsFile(ProjectDb* db, void* info, const std::string& path, std::string& why);

}  // namespace kvconv

#endif  // KVIMPORT_H_

// The settings file beside an exchange file.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "kvimport.h"
#include "kvtables.h"

namespace kvconv {

std::string settingsPathOf(const std::string& exchangePath) {
  const size_t slash = exchangePath.rfind('/');
  const size_t dot = exchangePath.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return exchangePath + ".opt";
  return exchangePath.substr(0, dot) + ".opt";
}

bool readSettingsFile(ProjectDb* db, void* info, const std::string& path, std::string& why) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    why = std::string("cannot open: ") + strerror(errno);
    return false;
  }
  char settings[XQD_INFO_SIZE] = {};
  // The store refuses what is not a regular file, so a FIFO fails here too.
  if (!xReadMiscFormat(db, settings, path.c_str())) {
    why = "not a sound settings file (error " + std::to_string(xGetDbError()) + ")";
    return false;
  }
  takeSettings(info, settings);
  return true;
}

}  // namespace kvconv

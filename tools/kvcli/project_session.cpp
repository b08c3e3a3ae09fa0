#include "project_session.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "xjor/calendar.h"
#ifdef KVCLI_PASSWORD
#include "xJorLib.h"
#endif

namespace kvcli {

namespace {

// Kelvo.ref lies next to the program.
std::string referenceFile() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "Kelvo.ref").string();
}

}  // namespace

int savedError(int fallback) {
  const int word = xGetDbError();
  return word != 0 ? word : fallback;
}

int saveProject(ProjectDb& db, PrjInfo& info, const std::string& path, int16_t openSummary) {
  xSetDbError(0);
  return xSaveDB(&db, &info, path.c_str(), openSummary) == 1 ? 0 : savedError(21000);
}

ProjectSession::~ProjectSession() {
  if (created_) xCloseDB(&db);
  if (ref_ != -1) xCloseFile(&ref_);
  if (!folder_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  for (int slot = 0; slot < XJOR_CALENDAR_SLOTS; ++slot) xFreeWork(slot);
  xSetCalNo(0);
}

int ProjectSession::start() {
  std::memset(&info, 0, sizeof info);
  if (xOpenRef(&ref_, referenceFile().c_str()) != 1) return 21002;
  std::string pattern = (std::filesystem::temp_directory_path() / "kvcli_XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 21005;
  folder_ = pattern;
  if (xCreateDB(&db, nullptr, (folder_ + "/").c_str(), nullptr) != 1) return 21000;
  created_ = true;
  db.space.refHandle = ref_;
  return 0;
}

int ProjectSession::create() {
  if (int m = start()) return m;
  return xInitializeDB(&db, nullptr) == 1 ? 0 : 21006;
}

int ProjectSession::open(const std::string& path) {
  if (access(path.c_str(), F_OK) != 0) return 21002;
  PrjInfo probe;
  xSetDbError(0);
  if (xGetPrjInfo(path.c_str(), &probe) != 1) return savedError(21006);
  if (int m = start()) return m;
  if (xReadDB(&db, &info, path.c_str()) != 1) return savedError(21006);
  xSetPrjDateInfo(&db, info.calendarFrom, info.calendarTo);
  return 0;
}

void ProjectSession::clearPassword() {
  std::memset(info.password, 0, sizeof info.password);
#ifdef KVCLI_PASSWORD
  xEncodePassword(info.password, info.code, 0);
#endif
}

const char* ProjectSession::passwordState() const {
#ifdef KVCLI_PASSWORD
  return xCheckPassword("", info.password, info.code) ? "none" : "set";
#else
  return "";
#endif
}

int ProjectSession::save(const std::string& path) {
  return saveProject(db, info, path, 0);
}

}  // namespace kvcli

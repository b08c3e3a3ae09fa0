#include "kelvo/time_shared.h"

#include "xJorDbm2.h"

namespace kelvo {

std::vector<SpaEntry> timeSharedEntries(ProjectDb& db, int32_t activity) {
  std::vector<SpaEntry> out;
  IndexTable& spa = db.spa;
  if (spa.handle < 0) return out;
  SpaEntry key{};
  key.activity = activity;
  xiSeek(&spa, &key);
  for (SpaEntry e{}; spa.current < spa.count && xiGet(&spa, &e) == 1 && e.activity == activity;
       ++spa.current)
    out.push_back(e);
  spa.current = XJOR_NONE;
  return out;
}

bool selectTimeSharedEntry(ProjectDb& db, int32_t activity, uint16_t day) {
  IndexTable& spa = db.spa;
  SpaEntry key{};
  key.activity = activity;
  key.day = day;
  if (spa.handle < 0 || xiSeek(&spa, &key) != 1) {
    spa.current = XJOR_NONE;
    return false;
  }
  return true;
}

}  // namespace kelvo

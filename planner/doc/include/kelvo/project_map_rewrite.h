// Activity codes and names rewritten from the project map: every activity
// with a work-type code is named after its facility levels and its work
// type and coded work type + facility; its relations, crew details and
// time-shared entries follow it. Activities without a work-type code keep
// their code and name.
#ifndef KELVO_PROJECT_MAP_REWRITE_H_
#define KELVO_PROJECT_MAP_REWRITE_H_

#include <cstdint>
#include <string>
#include <vector>

struct ProjectDb;
struct PrjInfo;

namespace kelvo {

// The confirmation asked before the rewrite (UTF-8).
inline constexpr const char* kMapRewriteQuestion =
    "프로젝트 맵의 분류에 따라 작업코드와 작업명을 다시 수정 작성합니다.\n작성하겠습니까?";

struct MapRewriteOutcome {
  int32_t codes = 0;           // activities whose code changed
  int32_t names = 0;           // activities whose name changed
  int32_t refused = 0;         // activities the record input refused (left as they were)
  bool indexesFailed = false;  // the indexes could not be rebuilt: do not save
  // When two or more activities would end up with one code nothing changes;
  // each entry is that code followed by the current codes of the activities
  // concerned (CP949).
  std::vector<std::vector<std::string>> clashes;
};

// Rewrites the codes and names. Every new code is computed first; when any
// two activities would share a code the project is left as it was and the
// clashes are returned. Activities the record input would refuse (their
// classification codes no longer final-level) are left as they are. The
// records are rewritten in place and the indexes rebuilt once; record
// numbers stay, so time-shared entries keep naming their activities.
MapRewriteOutcome rewriteCodesFromMap(ProjectDb* db, const PrjInfo& info);

}  // namespace kelvo

#endif  // KELVO_PROJECT_MAP_REWRITE_H_

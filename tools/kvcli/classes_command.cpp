// kvcli classes: the levels of the work-type or facility classification
// (option slot 1: the two definitions, work type first, 202 bytes each).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands.h"
#include "project_session.h"
#include "xjor/option.h"
#include "xjor/text.h"

namespace kvcli {

int classes(const std::string& file, const std::string& which,
            const std::vector<std::string>& levels) {
  const int classification = which == "work" ? 0 : which == "facility" ? 1 : -1;
  if (classification < 0 || levels.empty() || levels.size() > 8) return usage();
  ClassDefinition next;
  std::memset(&next, 0, sizeof next);
  int16_t total = 0;
  for (const std::string& level : levels) {
    const size_t colon = level.find(':');
    const long length = std::strtol(level.substr(0, colon).c_str(), nullptr, 10);
    if (length < 1 || length > 10) return usage();
    const int i = next.levels++;
    next.start[i] = total;
    next.length[i] = static_cast<int16_t>(length);
    total = static_cast<int16_t>(total + length);
    if (colon != std::string::npos) {
      char cp949[64];
      if (xUtf8ToCp949(level.substr(colon + 1).c_str(), cp949, sizeof cp949) < 0) return usage();
      xCopyChars(next.name[i], cp949, 20);
    }
  }
  if (total > 10) {
    std::fprintf(stderr, "길이의 합계를 10 이하로 해야 합니다.\n");
    return 1;
  }

  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  ClassDefinition both[2];
  xReadClassDefinitions(&s.db, both);
  ClassDefinition& old = both[classification];
  const bool levelsChange =
      old.levels != next.levels || std::memcmp(old.length, next.length, sizeof old.length) != 0;
  // Changing the levels empties every record that depends on them; from
  // the command line that is refused rather than done unasked.
  const TableHandle& codes = classification == 0 ? s.db.wbs.tb : s.db.obs.tb;
  if (levelsChange && (codes.liveCount > 0 || s.db.act.tb.liveCount > 0)) {
    std::fprintf(stderr, "분류체계가 바뀌면 관련 자료는 모두 삭제됩니다.\n");
    return 1;
  }
  old = next;
  if (!xOption(&s.db.opt, XOPT_WRITE, XQD_CLASSES_OPTION, both, sizeof both)) return fail(21000);
  if (int m = s.save(file)) return fail(m);
  return 0;
}

}  // namespace kvcli

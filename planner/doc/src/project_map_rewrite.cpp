#include "kelvo/project_map_rewrite.h"

#include <map>
#include <set>

#include "kelvo/progress_stages.h"
#include "project_records.h"

namespace kelvo {

namespace {

constexpr size_t kTitleAt = 15, kTitleSize = 41;

std::string text(const char* field, size_t width) {
  return std::string(field, strnlen(field, width));
}

// Name of a classification code (work types 0, facilities 1), empty when it
// is not registered.
std::string codeName(ProjectDb* db, int classification, const std::string& code,
                     std::vector<uint8_t>& bytes) {
  MemTable& codes = classification == 0 ? db->wbsCodes : db->obsCodes;
  TableHandle& tb = classification == 0 ? db->wbs.tb : db->obs.tb;
  const int32_t slot = records::codeRecord(codes, code.c_str(), code.size());
  if (slot < 0) return {};
  bytes.assign(tb.recordSize, 0);
  if (bytes.size() < kTitleAt + kTitleSize) return {};
  tb.current = slot;
  if (!xGetRec(&tb, bytes.data())) return {};
  return text(reinterpret_cast<const char*>(bytes.data()) + kTitleAt, kTitleSize - 1);
}

struct Planned {
  int32_t slot;
  std::string oldCode, newCode, newTitle;
  bool codeChanges, titleChanges;
};

// Enters activity `slot` again with `code` (and `title` when given), dates
// left alone. Returns 0 or the record input's message.
int32_t reenter(ProjectDb* db, const PrjInfo& info, const records::LevelCounts& levels,
                int32_t slot, const std::string& code, const std::string* title) {
  std::vector<uint8_t> bytes;
  ActRecord r;
  if (!records::read(db->act.tb, slot, bytes, r)) return XQD_MSG_NO_ACTIVITY;
  std::memset(r.code, 0, sizeof r.code);
  std::memcpy(r.code, code.data(), std::min(code.size(), sizeof r.code - 1));
  if (title) {
    std::memset(r.title, 0, sizeof r.title);
    std::memcpy(r.title, title->data(), std::min(title->size(), sizeof r.title - 1));
  }
  std::memcpy(bytes.data(), &r, sizeof r);
  db->act.tb.current = slot;
  return xInputRecAct(db, bytes.data(), info.start, levels.workTypes, levels.facilities, -1);
}

// A code no activity holds and none is to receive, to park an activity on
// while codes move round.
std::string parkingCode(ProjectDb* db, int32_t slot, const std::set<std::string>& taken) {
  std::string code = "~" + std::to_string(slot);
  while (code.size() < sizeof(ActRecord{}.code) - 1 &&
         (records::activityRecord(db, code.c_str()) >= 0 || taken.count(code))) {
    code += '~';
  }
  return code;
}

std::vector<std::vector<std::string>> clashesOf(const std::vector<std::string>& finalCodes,
                                                const std::vector<std::string>& currentCodes) {
  std::vector<std::vector<std::string>> clashes;
  for (const auto& group : findCodeClashes(finalCodes)) {
    std::vector<std::string> entry{finalCodes[group.front()]};
    for (size_t i : group) entry.push_back(currentCodes[i]);
    clashes.push_back(std::move(entry));
  }
  return clashes;
}

}  // namespace

MapRewriteOutcome rewriteCodesFromMap(ProjectDb* db, const PrjInfo& info) {
  MapRewriteOutcome out;
  const records::LevelCounts levels = records::levelCounts(db);
  const std::vector<int16_t> facilityLevels = records::facilityLevelLengths(db);
  std::vector<uint8_t> bytes, nameBytes;

  // Every activity's code after the rewrite, computed before anything moves.
  std::vector<Planned> plan;
  std::vector<std::string> finalCodes, currentCodes;
  for (int32_t slot : records::live(db->act.tb)) {
    ActRecord r;
    if (!records::read(db->act.tb, slot, bytes, r)) continue;
    const std::string code = text(r.code, sizeof r.code);
    const std::string workType = text(r.wbsCode, sizeof r.wbsCode);
    currentCodes.push_back(code);
    if (workType.empty() || records::codeRecord(db->wbsCodes, workType.c_str(), 10) < 0) {
      finalCodes.push_back(code);
      continue;
    }
    const std::string facility = text(r.obsCode, sizeof r.obsCode);
    std::vector<std::string> levelNames;
    for (int16_t length : facilityLevels) {
      if (static_cast<size_t>(length) > facility.size()) break;
      levelNames.push_back(codeName(db, 1, facility.substr(0, length), nameBytes));
    }
    Planned p{
        slot,
        code,
        mapActivityCode(workType, facility, sizeof r.code - 1),
        mapActivityTitle(levelNames, codeName(db, 0, workType, nameBytes), sizeof r.title - 1),
        false,
        false};
    p.codeChanges = p.newCode != code;
    p.titleChanges = p.newTitle != text(r.title, sizeof r.title);
    finalCodes.push_back(p.newCode);
    if (p.codeChanges || p.titleChanges) plan.push_back(std::move(p));
  }
  out.clashes = clashesOf(finalCodes, currentCodes);
  if (!out.clashes.empty()) return out;

  // The record input refuses an activity only for its own classification
  // codes, which the rewrite leaves as they are: entering each activity again
  // unchanged finds those refusals before any code moves.
  std::map<std::string, std::string> next;  // current code -> new code
  for (Planned& p : plan) {
    if (reenter(db, info, levels, p.slot, p.oldCode, nullptr) != 0) {
      p.codeChanges = p.titleChanges = false;
      ++out.refused;
    } else if (p.codeChanges) {
      next[p.oldCode] = p.newCode;
    }
  }
  if (out.refused) {
    // A refused activity keeps its code: nothing moves when another one was
    // to take it.
    std::vector<std::string> after = currentCodes;
    for (std::string& code : after) {
      const auto found = next.find(code);
      if (found != next.end()) code = found->second;
    }
    out.clashes = clashesOf(after, currentCodes);
    if (!out.clashes.empty()) return out;
  }

  const auto finish = [&](Planned& p, const std::string& code) {
    if (reenter(db, info, levels, p.slot, code, &p.newTitle) != 0) {
      ++out.refused;
      return false;
    }
    if (p.codeChanges) ++out.codes;
    if (p.titleChanges) ++out.names;
    return true;
  };
  // An activity whose new code another one still holds is parked on a free
  // code; once every other code has moved, the parked ones take theirs.
  const std::set<std::string> taken(finalCodes.begin(), finalCodes.end());
  std::vector<Planned*> parked;
  for (Planned& p : plan) {
    if (!p.codeChanges && !p.titleChanges) continue;
    if (!p.codeChanges) {
      finish(p, p.oldCode);
    } else if (records::activityRecord(db, p.newCode.c_str()) < 0) {
      finish(p, p.newCode);
    } else if (reenter(db, info, levels, p.slot, parkingCode(db, p.slot, taken), nullptr) == 0) {
      parked.push_back(&p);
    } else {
      ++out.refused;
    }
  }
  for (Planned* p : parked) {
    // Its old code is free again unless a refusal above kept a code in place.
    if (!finish(*p, p->newCode)) reenter(db, info, levels, p->slot, p->oldCode, nullptr);
  }
  return out;
}

}  // namespace kelvo

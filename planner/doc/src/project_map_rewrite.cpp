#include "kelvo/project_map_rewrite.h"

#include <map>

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

// Enters activity `slot` again as it is, dates left alone: 0 when the record
// input accepts it, else its message.
int32_t enterAgain(ProjectDb* db, const PrjInfo& info, const records::LevelCounts& levels,
                   int32_t slot) {
  std::vector<uint8_t> bytes;
  ActRecord r;
  if (!records::read(db->act.tb, slot, bytes, r)) return XQD_MSG_NO_ACTIVITY;
  db->act.tb.current = slot;
  return xInputRecAct(db, bytes.data(), info.start, levels.workTypes, levels.facilities, -1);
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
    if (enterAgain(db, info, levels, p.slot) != 0) {
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

  // Every activity takes its new code and name at once, the relations and
  // crew details follow, and the indexes are rebuilt from the records in one
  // pass: code by code through the record input, each change would move
  // entries in every sorted index it touches.
  for (const Planned& p : plan) {
    ActRecord r;
    if (!(p.codeChanges || p.titleChanges) || !records::read(db->act.tb, p.slot, bytes, r)) {
      continue;
    }
    std::memset(r.code, 0, sizeof r.code);
    std::memcpy(r.code, p.newCode.data(), std::min(p.newCode.size(), sizeof r.code - 1));
    std::memset(r.title, 0, sizeof r.title);
    std::memcpy(r.title, p.newTitle.data(), std::min(p.newTitle.size(), sizeof r.title - 1));
    records::write(db->act.tb, p.slot, bytes, r);
    if (p.codeChanges) ++out.codes;
    if (p.titleChanges) ++out.names;
  }
  if (next.empty()) return out;
  const auto carry = [&](char* field, size_t width) {
    const auto found = next.find(text(field, width));
    if (found == next.end()) return false;
    std::memset(field, 0, width);
    std::memcpy(field, found->second.data(), std::min(found->second.size(), width - 1));
    return true;
  };
  for (int32_t slot : records::live(db->rel.tb)) {
    RelRecord r;
    if (!records::read(db->rel.tb, slot, bytes, r)) continue;
    const bool pred = carry(r.pred, sizeof r.pred);
    if (carry(r.succ, sizeof r.succ) || pred) records::write(db->rel.tb, slot, bytes, r);
  }
  for (int32_t slot : records::live(db->opr.tb)) {
    OprRecord d;
    if (records::read(db->opr.tb, slot, bytes, d) && carry(d.actCode, sizeof d.actCode)) {
      records::write(db->opr.tb, slot, bytes, d);
    }
  }
  out.indexesFailed = xRebuildIndexes(db) != 1;
  return out;
}

}  // namespace kelvo

#include "kelvo/network_store.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace kelvo {
namespace {

template <typename Entry>
const Entry* entries(const MemTable& m) {
  return m.data ? reinterpret_cast<const Entry*>(m.data) : nullptr;
}

std::string fixedText(const char* field, size_t width) {
  return std::string(field, strnlen(field, width));
}

// Reads record `slot` of table into buffer (at least the table's record
// size); the table's current record is kept.
bool readSlot(TableHandle* tb, int32_t slot, std::vector<char>* buffer) {
  buffer->assign(std::max<size_t>(size_t(tb->recordSize), sizeof(ActRecord)), '\0');
  const int32_t kept = tb->current;
  tb->current = slot;
  const bool ok = xGetRec(tb, buffer->data()) != 0;
  tb->current = kept;
  return ok;
}

}  // namespace

NetworkRecords readNetwork(ProjectDb* db) {
  NetworkRecords n;
  std::unordered_map<int32_t, int32_t> indexOfSlot;
  std::vector<char> buf;
  const auto* order = entries<ActOrderEntry>(db->actOrder);
  for (uint32_t i = 0; order && i < db->actOrder.count; ++i) {
    if (!readSlot(&db->act.tb, order[i].record, &buf)) continue;
    ActRecord a;
    std::memcpy(&a, buf.data(), sizeof a);
    PathActivity p;
    p.path = a.path;
    p.flags = a.flags;
    p.milestone = a.type == 1;
    p.start = a.start;
    p.anchor = a.anchor;
    p.workType = fixedText(a.wbsCode, sizeof a.wbsCode);
    p.facility = fixedText(a.obsCode, sizeof a.obsCode);
    indexOfSlot.emplace(order[i].record, int32_t(n.acts.size()));
    n.actSlots.push_back(order[i].record);
    n.acts.push_back(std::move(p));
  }
  // Codes to activities through the activity code table.
  const auto* codes = entries<ActCodeEntry>(db->actCodes);
  const auto* codesEnd = codes ? codes + db->actCodes.count : nullptr;
  const auto indexOf = [&](const char* code) -> int32_t {
    const ActCodeEntry* at =
        std::lower_bound(codes, codesEnd, code, [](const ActCodeEntry& e, const char* c) {
          return std::strncmp(e.code, c, sizeof e.code) < 0;
        });
    if (at == codesEnd || std::strncmp(at->code, code, sizeof at->code) != 0) return -1;
    const auto it = indexOfSlot.find(at->record);
    return it == indexOfSlot.end() ? -1 : it->second;
  };
  const auto* rels = entries<RelCodeEntry>(db->relByPred);
  for (uint32_t i = 0; rels && i < db->relByPred.count; ++i) {
    const int32_t pred = indexOf(rels[i].first), succ = indexOf(rels[i].second);
    if (pred < 0 || succ < 0 || !readSlot(&db->rel.tb, rels[i].record, &buf)) continue;
    RelRecord r;
    std::memcpy(&r, buf.data(), sizeof r);
    n.relSlots.push_back(rels[i].record);
    n.rels.push_back({pred, succ, r.kind, r.row});
  }
  return n;
}

PathChanges changesOf(const NetworkRecords& records, const PathAssignment& assignment) {
  PathChanges c;
  for (size_t i = 0; i < records.acts.size(); ++i) {
    if (assignment.paths[i] == records.acts[i].path && assignment.flags[i] == records.acts[i].flags)
      continue;
    c.actSlots.push_back(records.actSlots[i]);
    c.paths.push_back(assignment.paths[i]);
    c.flags.push_back(assignment.flags[i]);
  }
  for (size_t i = 0; i < records.rels.size(); ++i) {
    if (assignment.rows[i] == records.rels[i].row) continue;
    c.relSlots.push_back(records.relSlots[i]);
    c.rows.push_back(assignment.rows[i]);
  }
  return c;
}

PathChanges currentValues(ProjectDb* db, const PathChanges& changes) {
  PathChanges now = changes;
  std::vector<char> buf;
  for (size_t i = 0; i < now.actSlots.size(); ++i) {
    if (!readSlot(&db->act.tb, now.actSlots[i], &buf)) continue;
    const auto* a = reinterpret_cast<const ActRecord*>(buf.data());
    now.paths[i] = a->path;
    if (!now.flags.empty()) now.flags[i] = a->flags;
  }
  for (size_t i = 0; i < now.relSlots.size(); ++i)
    if (readSlot(&db->rel.tb, now.relSlots[i], &buf))
      now.rows[i] = reinterpret_cast<const RelRecord*>(buf.data())->row;
  return now;
}

int storePathChanges(ProjectDb* db, const ActivityInput& input, const PathChanges& changes) {
  std::vector<char> buf;
  int message = 0;
  xBeginInputBatch(db);
  for (size_t i = 0; i < changes.actSlots.size() && message == 0; ++i) {
    if (!readSlot(&db->act.tb, changes.actSlots[i], &buf)) continue;
    auto* a = reinterpret_cast<ActRecord*>(buf.data());
    a->path = changes.paths[i];
    if (!changes.flags.empty()) a->flags = changes.flags[i];
    db->act.tb.current = changes.actSlots[i];
    message = xInputRecAct(db, buf.data(), input.projectStart, input.workTypeLevels,
                           input.facilityLevels, -1);
  }
  for (size_t i = 0; i < changes.relSlots.size() && message == 0; ++i) {
    if (!readSlot(&db->rel.tb, changes.relSlots[i], &buf)) continue;
    reinterpret_cast<RelRecord*>(buf.data())->row = changes.rows[i];
    db->rel.tb.current = changes.relSlots[i];
    message = xInputRecRel(db, buf.data());
  }
  xEndInputBatch(db);
  return message;
}

int32_t highestPath(ProjectDb* db) {
  const auto* order = entries<ActOrderEntry>(db->actOrder);
  return order && db->actOrder.count ? std::max<int32_t>(0, order[db->actOrder.count - 1].path) : 0;
}

}  // namespace kelvo

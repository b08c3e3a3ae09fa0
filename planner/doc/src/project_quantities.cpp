// Activity quantities spread from their work types, durations from the work
// types' daily quantities.
#include <optional>
#include <string>

#include "kelvo/progress_stages.h"
#include "kelvo/project_numeric.h"
#include "project_records.h"

namespace kelvo {

namespace {

// The work type of an activity's code, when it is registered.
std::optional<WbsRecord> workTypeOf(ProjectDb* db, const char* code, size_t width,
                                    std::vector<uint8_t>& bytes) {
  const int32_t slot = records::codeRecord(db->wbsCodes, code, width);
  WbsRecord w;
  if (slot < 0 || !records::read(db->wbs.tb, slot, bytes, w)) return std::nullopt;
  return w;
}

// Spreads one work type's quantity over its activities.
int32_t spreadOver(ProjectDb* db, const std::string& code, const std::vector<int32_t>& slots,
                   int decimals) {
  std::vector<uint8_t> bytes;
  const auto workType = workTypeOf(db, code.c_str(), code.size(), bytes);
  if (!workType) return 0;
  std::vector<int16_t> durations;
  for (int32_t slot : slots) {
    ActRecord r;
    durations.push_back(records::read(db->act.tb, slot, bytes, r) ? r.duration : int16_t{0});
  }
  const auto shares = distributeByDuration(workType->quantity, durations, decimals);
  if (!shares) return 0;
  int32_t written = 0;
  for (size_t i = 0; i < slots.size(); ++i) {
    ActRecord r;
    if (!records::read(db->act.tb, slots[i], bytes, r)) continue;
    r.quantity = (*shares)[i];
    records::write(db->act.tb, slots[i], bytes, r);
    ++written;
  }
  return written;
}

}  // namespace

int32_t spreadWorkTypeQuantities(ProjectDb* db, int quantityDecimals) {
  int32_t written = 0;
  std::string code;
  std::vector<int32_t> slots;
  // "wa1" holds the activities in work-type code order, so each work type's
  // activities come together.
  for (uint32_t at = 0; at <= db->wa1.count; ++at) {
    CodePairEntry e = {};
    bool more = false;
    if (at < db->wa1.count) {
      db->wa1.current = at;
      more = xiGet(&db->wa1, &e) != 0;
      e.first[sizeof e.first - 1] = 0;
    }
    if (!more || code != e.first) {
      if (!slots.empty()) written += spreadOver(db, code, slots, quantityDecimals);
      slots.clear();
      if (!more) continue;
      code = e.first;
    }
    const int32_t record = e.record;  // packed: copied out, never bound
    slots.push_back(record);
  }
  db->wa1.current = XJOR_NONE;
  return written;
}

int32_t deriveDurationsFromDaily(ProjectDb* db, const PrjInfo& info, int quantityDecimals,
                                 std::span<const int32_t> chosen, int32_t* refused) {
  const records::LevelCounts levels = records::levelCounts(db);
  std::vector<uint8_t> bytes, wbsBytes;
  int32_t changed = 0, refusedCount = 0;
  for (int32_t slot : records::visited(db->act.tb, chosen)) {
    ActRecord r;
    if (!records::read(db->act.tb, slot, bytes, r)) continue;
    const auto workType = workTypeOf(db, r.wbsCode, sizeof r.wbsCode - 1, wbsBytes);
    // Without a quantity there is nothing to derive from: a duration of 0
    // would turn the activity into a milestone.
    if (!workType || !(r.quantity > 0)) continue;
    const auto days =
        durationFromDailyQuantity(r.quantity, workType->dailyQuantity, quantityDecimals);
    if (!days || *days == r.duration) continue;
    r.duration = *days;
    std::memcpy(bytes.data(), &r, sizeof r);
    db->act.tb.current = slot;
    if (xInputRecAct(db, bytes.data(), info.start, levels.workTypes, levels.facilities, 0) == 0) {
      ++changed;
    } else {
      ++refusedCount;
    }
  }
  if (refused) *refused = refusedCount;
  return changed;
}

}  // namespace kelvo

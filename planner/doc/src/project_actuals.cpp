#include "kelvo/project_actuals.h"

#include <map>
#include <string>
#include <vector>

#include "kelvo/progress_stages.h"
#include "project_records.h"

namespace kelvo {

namespace {

std::string text(const char* field, size_t width) {
  return std::string(field, strnlen(field, width));
}

}  // namespace

ActualWorkCounts computeProjectActualWork(ProjectDb* db, int quantityDecimals) {
  std::vector<uint8_t> bytes;
  // Work types, by code.
  const std::vector<int32_t> typeSlots = records::live(db->wbs.tb);
  std::vector<ActualWorkType> types(typeSlots.size());
  std::map<std::string, int32_t> typeIndex;
  for (size_t i = 0; i < typeSlots.size(); ++i) {
    WbsRecord w;
    if (!records::read(db->wbs.tb, typeSlots[i], bytes, w)) continue;
    types[i].quantity = w.quantity;
    typeIndex[text(w.code, sizeof w.code)] = static_cast<int32_t>(i);
  }
  const auto typeOf = [&](const std::string& code) {
    const auto found = typeIndex.find(code);
    return found == typeIndex.end() ? -1 : found->second;
  };

  // Activities, and the work type of each activity code for the details.
  std::vector<ActualActivity> activities;
  std::map<std::string, int32_t> activityType;
  for (int32_t slot : records::live(db->act.tb)) {
    ActRecord r;
    if (!records::read(db->act.tb, slot, bytes, r)) continue;
    const int32_t type = typeOf(text(r.wbsCode, sizeof r.wbsCode));
    activities.push_back({type, r.duration});
    activityType[text(r.code, sizeof r.code)] = type;
  }

  // Crews, by (work type, resource).
  const std::vector<int32_t> crewSlots = records::live(db->crw.tb);
  std::vector<ActualCrew> crews(crewSlots.size());
  std::map<std::pair<int32_t, std::string>, int32_t> crewIndex;
  for (size_t i = 0; i < crewSlots.size(); ++i) {
    CrewRecord c;
    if (!records::read(db->crw.tb, crewSlots[i], bytes, c)) continue;
    crews[i].workType = typeOf(text(c.wbsCode, sizeof c.wbsCode));
    if (crews[i].workType >= 0) {
      crewIndex[{crews[i].workType, text(c.resCode, sizeof c.resCode)}] = static_cast<int32_t>(i);
    }
  }

  ActualWorkCounts counts;
  std::vector<ActualCrewDetail> details;
  for (int32_t slot : records::live(db->opr.tb)) {
    OprRecord d;
    if (!records::read(db->opr.tb, slot, bytes, d)) continue;
    const auto type = activityType.find(text(d.actCode, sizeof d.actCode));
    if (type == activityType.end() || type->second < 0) continue;
    const auto crew = crewIndex.find({type->second, text(d.resCode, sizeof d.resCode)});
    if (crew == crewIndex.end()) continue;
    details.push_back({crew->second, d.actualQuantity});
    ++counts.details;
  }

  computeActualWork(types, activities, crews, details, quantityDecimals);

  for (size_t i = 0; i < typeSlots.size(); ++i) {
    WbsRecord w;
    if (!records::read(db->wbs.tb, typeSlots[i], bytes, w)) continue;
    w.duration = types[i].totalDuration;
    w.dailyQuantity = types[i].dailyQuantity;
    records::write(db->wbs.tb, typeSlots[i], bytes, w);
    ++counts.workTypes;
  }
  for (size_t i = 0; i < crewSlots.size(); ++i) {
    CrewRecord c;
    if (!records::read(db->crw.tb, crewSlots[i], bytes, c)) continue;
    c.totalQuantity = crews[i].totalInput;
    c.actualUnit = crews[i].unitQuantity;
    c.crewSize = crews[i].crewSize;
    records::write(db->crw.tb, crewSlots[i], bytes, c);
    ++counts.crews;
  }
  return counts;
}

}  // namespace kelvo

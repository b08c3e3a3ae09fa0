// Rows of a resource summary: per crew detail, its activity's composition
// rows, then activity, resource class and resource rows in the chosen order.
#include <algorithm>
#include <cstring>

#include "summary_builder.h"

namespace kelvo::summary {

void Builder::addToResourceRow(Row& row, int32_t member) {
  const Inputs& v = crewValues_[member];
  row.inputs.duration = std::min(row.inputs.duration + v.duration, 32767);
  for (int i = 0; i < kInputs; ++i) row.inputs.input[i] += v.input[i];
  row.members.push_back(member);
}

void Builder::buildResourceRows() {
  const bool first = reg_.flags & kSummaryResourceFirst;
  const bool activityRows = reg_.flags & kSummaryActivities;
  const bool classRows = reg_.flags & kSummaryResourceClasses;
  const bool resourceRows = reg_.flags & kSummaryResources;
  const std::vector<ResourceClass> classes = readResourceClasses(db_);
  workTotal_ = static_cast<int32_t>(crew_.size());
  crewValues_.resize(crew_.size());
  if (settings_.series) memberSeries_.resize(crew_.size());
  std::string key;
  for (size_t n = 0; n < crew_.size(); ++n) {
    report(static_cast<int32_t>(n));
    if (stopped_) return;
    const CrewDetail& cd = crew_[n];
    const Activity& a = activities_[cd.activity];
    const ActRecord& act = a.act;
    const int32_t member = static_cast<int32_t>(n);
    crewValues_[n] = crewValues(cd, a, settings_, calendars_);
    if (settings_.series) {
      memberSeries_[n] = crewSeries(cd, a, crewValues_[n], settings_, calendars_);
    }
    std::vector<uint8_t> resource;
    ResRecord res{};
    if (cd.resource >= 0) {
      resource.assign(db_->res.tb.recordSize, 0);
      const int32_t keep = db_->res.tb.current;
      db_->res.tb.current = cd.resource;
      if (xGetRec(&db_->res.tb, resource.data()) == 1) {
        std::memcpy(&res, resource.data(), std::min(resource.size(), sizeof res));
      }
      db_->res.tb.current = keep;
    }
    const std::string resCode = fixedText(cd.opr.resCode, 10);
    int16_t level = 0;
    key.clear();
    int32_t parent = -1;
    auto below = [&](Row& r, int16_t kind) {
      r.kind = kind;
      r.level = static_cast<int16_t>(level + 1);
      if (parent >= 0) {
        std::memcpy(r.codes, rows_[parent].codes, sizeof r.codes);
        std::memcpy(r.activityCode, rows_[parent].activityCode, sizeof r.activityCode);
        std::memcpy(r.ownCode, rows_[parent].ownCode, sizeof r.ownCode);
      }
    };
    auto step = [&](const std::string& segment, auto make) {
      key += segment;
      const int32_t at = rowOf(key, make);
      level = static_cast<int16_t>(level + 1);
      addToResourceRow(rows_[at], member);
      parent = at;
    };
    auto activityRow = [&](int16_t kind, int32_t record) {
      step(activityKey(act), [&](Row& r) {
        below(r, kind);
        r.record = record;
        r.name = fixedText(act.title, sizeof act.title - 1);
        setActivityCode(r, act);
      });
    };
    auto classRow = [&]() {
      const std::string seg = resCode.empty() ? std::string(1, '\xFF') : resCode.substr(0, 1);
      step(seg, [&](Row& r) {
        below(r, kRowResourceClass);
        r.ownCode[0] = resCode.empty() ? '\0' : resCode[0];
        for (const ResourceClass& c : classes) {
          if (!resCode.empty() && c.code == resCode[0]) r.name = c.name;
        }
      });
    };
    auto resourceRow = [&](int16_t kind, int32_t record) {
      std::string seg(10, ' ');
      if (resCode.empty()) seg.assign(10, '\xFF');
      std::memcpy(seg.data(), resCode.data(), resCode.size());
      step(seg, [&](Row& r) {
        below(r, kind);
        r.record = record;
        std::memcpy(r.ownCode, resCode.data(), resCode.size());
        r.name = fixedText(res.title, sizeof res.title - 1);
        std::memcpy(r.unit, res.unit, sizeof r.unit - 1);
        std::memcpy(r.size, res.size, sizeof r.size - 1);
      });
    };
    if (first) {
      if (classRows) classRow();
      if (resourceRows) resourceRow(kRowResource, cd.resource);
      if (activityRows) activityRow(kRowCrewDetail, cd.record);
    } else {
      for (size_t i = 0; i < segments_.size(); ++i) {
        step(segment(i, act), [&](Row& r) { makeClassRow(r, i, act); });
      }
      if (activityRows) activityRow(kRowActivity, a.record);
      if (classRows) classRow();
      if (resourceRows) resourceRow(kRowCrewDetail, cd.record);
    }
    addToResourceRow(total_, member);
  }
  report(workTotal_);
}

}  // namespace kelvo::summary

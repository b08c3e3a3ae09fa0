// Building a summary file: rows per composition level from the activities
// (or crew details), the total row, names as shown, period series, and the
// file itself.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "kelvo/engine_calendars.h"
#include "summary_internal.h"
#include "xjor/calendar.h"
#include "xjor/text.h"

namespace kelvo {

namespace {

using namespace summary;

constexpr int kActivityNameAt = 237;
constexpr int kDefaultActivityNameWidth = 60;
constexpr int kOtherCodesAt = 142;
constexpr int kProgressStep = 512;

// The characters of one classification that a composition entry adds to
// the row key.
struct Segment {
  int classification = 0;  // 0 work type, 1 facility, 2 other
  int level = 0;
  int from = 0, to = 0;  // code characters [from, to); the other codes take 10
};

std::string cp949(const char* utf8) {
  char out[64];
  return xUtf8ToCp949(utf8, out, sizeof out) < 0 ? std::string() : std::string(out);
}

std::string fixedText(const char* text, size_t width) {
  return std::string(text, strnlen(text, width));
}

// A memory table of codes (code, record) and the table it points into.
bool readCodeRecord(MemTable& index, TableBinding& table, const std::string& code,
                    std::vector<uint8_t>& record, int32_t& slot) {
  CodeEntry key{};
  std::memcpy(key.code, code.data(), std::min(code.size(), sizeof key.code - 1));
  const uint32_t keep = index.current;
  const bool found = index.data != nullptr && xmSeek(&index, &key) == 1;
  CodeEntry entry{};
  if (found) std::memcpy(&entry, index.data + index.current * index.recordSize, sizeof entry);
  index.current = keep;
  if (!found) return false;
  record.assign(table.tb.recordSize, 0);
  const int32_t keepRecord = table.tb.current;
  table.tb.current = entry.record;
  const bool read = xGetRec(&table.tb, record.data()) == 1;
  table.tb.current = keepRecord;
  slot = entry.record;
  return read;
}

class Builder {
 public:
  Builder(ProjectDb* db, const PrjInfo& info, const SummaryRegistration& r,
          const ClassLevels levels[2], const SummaryProgress& progress)
      : db_(db), info_(info), reg_(r), progress_(progress) {
    levels_[0] = levels[0];
    levels_[1] = levels[1];
    resource_ = r.flags & kSummaryOfResources;
    settings_.digits = summaryDigits(db, info);
    settings_.dataDate = info.dataDate;
    settings_.periodStart = info.periodStart;
    settings_.bounds.unit = static_cast<int>(r.flags & kSummaryPeriodMask) % 3;
    const int dayOfMonth = xGetStartDayOfM(), dayOfWeek = xGetStartDayOfW();
    settings_.bounds.startDayOfMonth = dayOfMonth >= 1 && dayOfMonth <= 28 ? dayOfMonth : 1;
    settings_.bounds.startDayOfWeek = dayOfWeek >= 0 && dayOfWeek <= 6 ? dayOfWeek : 0;
    settings_.series = r.flags & kSummaryPeriods;
    settings_.weights = r.flags & kSummaryWeightedProgress;
  }

  int run(int16_t* current) {
    int activityNameWidth = kDefaultActivityNameWidth;
    for (int16_t i = 0; db_->act.tb.fields != nullptr && i < db_->act.tb.fieldCount; ++i) {
      const FieldDesc& f = db_->act.tb.fields[i];
      if (f.offset == kActivityNameAt && f.type == XF_STRING) activityNameWidth = f.width;
    }
    nameWidth_ = summaryNameWidth(reg_, activityNameWidth);
    fields_ = summaryFields(db_->space.refHandle, resource_, nameWidth_, settings_.digits);
    if (fields_.empty()) return kSummaryNoReference;
    planSegments();
    loadActivities();
    if (resource_) {
      loadCrewDetails();
      buildResourceRows();
    } else {
      buildActivityRows();
    }
    finishRows();
    return write(current);
  }

 private:
  void report(int32_t done) {
    if (progress_ && (done % kProgressStep == 0 || done == workTotal_)) progress_(done, workTotal_);
  }

  void planSegments() {
    int end[3] = {0, 0, 0};
    const size_t k = reg_.composition.size();
    for (size_t i = 0; i < k; ++i) {
      Segment s;
      s.classification = reg_.composition[i] / 10;
      s.level = reg_.composition[i] % 10;
      if (s.classification < 2) {
        const ClassLevels& l = levels_[s.classification];
        s.from = end[s.classification];
        s.to = l.start[s.level] + l.length[s.level];
        end[s.classification] = s.to;
        if (s.classification == 0 && s.level == l.count - 1 && quantityLevel_ == 0) {
          quantityLevel_ = static_cast<int>(i) + 1;
        }
      } else {
        s.to = 10;
      }
      segments_.push_back(s);
    }
    const int k1 = static_cast<int>(k) + 1;
    if (resource_) {
      if (reg_.flags & kSummaryResourceFirst) {
        quantityLevel_ = 1;
      } else {
        quantityLevel_ = k1 - 1 + ((reg_.flags & kSummaryActivities) ? 1 : 0) +
                         ((reg_.flags & kSummaryResourceClasses) ? 1 : 0) +
                         ((reg_.flags & kSummaryResources) ? 1 : 0);
      }
    } else if (quantityLevel_ == 0 && (reg_.flags & kSummaryActivities)) {
      quantityLevel_ = k1;
    }
  }

  static const char* classCode(const ActRecord& act, const Segment& s) {
    if (s.classification == 0) return act.wbsCode;
    if (s.classification == 1) return act.obsCode;
    return reinterpret_cast<const char*>(&act) + kOtherCodesAt + 11 * s.level;
  }

  // The key segment of composition entry i for an activity: its code
  // characters blank-filled, all 0xFF when it has no code.
  std::string segment(size_t i, const ActRecord& act) const {
    const Segment& s = segments_[i];
    const char* code = classCode(act, s);
    const int length = static_cast<int>(strnlen(code, 10));
    const int width = s.to - s.from;
    if (length == 0) return std::string(width, '\xFF');
    std::string seg(width, ' ');
    for (int c = s.from; c < std::min(s.to, length); ++c) seg[c - s.from] = code[c];
    return seg;
  }

  void loadActivities() {
    TableHandle& tb = db_->act.tb;
    const int32_t keep = tb.current;
    std::vector<uint8_t> bytes(std::max<size_t>(tb.recordSize, sizeof(ActRecord)));
    slotToActivity_.assign(tb.slotCount, -1);
    tb.current = -1;
    while (xMoveNext(&tb)) {
      std::fill(bytes.begin(), bytes.end(), 0);
      if (xGetRec(&tb, bytes.data()) != 1) continue;
      Activity a;
      a.record = tb.current;
      std::memcpy(&a.act, bytes.data(), sizeof a.act);
      if (a.act.calendar < 0 || a.act.calendar > 8) a.act.calendar = 1;
      slotToActivity_[tb.current] = static_cast<int32_t>(activities_.size());
      activities_.push_back(std::move(a));
    }
    tb.current = keep;
    // Time-shared entries, in (activity, day) order.
    IndexTable& spa = db_->spa;
    if (spa.recordSize != sizeof(SpaEntry)) return;
    const uint32_t keepSpa = spa.current;
    for (uint32_t i = 0; i < spa.count; ++i) {
      SpaEntry e;
      spa.current = i;
      if (xiGet(&spa, &e) != 1) continue;
      if (e.activity < 0 || static_cast<size_t>(e.activity) >= slotToActivity_.size()) continue;
      const int32_t at = slotToActivity_[e.activity];
      if (at >= 0) activities_[at].shared.push_back(e);
    }
    spa.current = keepSpa;
  }

  void loadCrewDetails() {
    TableHandle& tb = db_->opr.tb;
    const int32_t keep = tb.current;
    std::vector<uint8_t> bytes(std::max<size_t>(tb.recordSize, sizeof(OprRecord)));
    tb.current = -1;
    while (xMoveNext(&tb)) {
      std::fill(bytes.begin(), bytes.end(), 0);
      if (xGetRec(&tb, bytes.data()) != 1) continue;
      CrewDetail c;
      c.record = tb.current;
      std::memcpy(&c.opr, bytes.data(), sizeof c.opr);
      c.activity = activityOf(fixedText(c.opr.actCode, 20));
      if (c.activity < 0) continue;  // a crew detail of no activity has no dates
      c.resource = resourceOf(fixedText(c.opr.resCode, 10));
      crew_.push_back(c);
    }
    tb.current = keep;
  }

  int32_t activityOf(const std::string& code) {
    MemTable& index = db_->actCodes;
    ActCodeEntry key{};
    std::memcpy(key.code, code.data(), std::min(code.size(), sizeof key.code - 1));
    const uint32_t keep = index.current;
    int32_t at = -1;
    if (index.data != nullptr && xmSeek(&index, &key) == 1) {
      ActCodeEntry e;
      std::memcpy(&e, index.data + index.current * index.recordSize, sizeof e);
      if (e.record >= 0 && static_cast<size_t>(e.record) < slotToActivity_.size()) {
        at = slotToActivity_[e.record];
      }
    }
    index.current = keep;
    return at;
  }

  int32_t resourceOf(const std::string& code) {
    IndexTable& index = db_->ire;
    CodeEntry key{};
    std::memcpy(key.code, code.data(), std::min(code.size(), sizeof key.code - 1));
    const uint32_t keep = index.current;
    int32_t record = -1;
    CodeEntry e;
    if (index.recordSize == sizeof(CodeEntry) && xiSeek(&index, &key) == 1 && xiGet(&index, &e)) {
      record = e.record;
    }
    index.current = keep;
    return record;
  }

  // The row of `key` (its index), made by `make` when it is new.
  template <class Make>
  int32_t rowOf(const std::string& key, Make make) {
    auto [it, added] = byKey_.try_emplace(key, static_cast<int32_t>(rows_.size()));
    if (added) {
      rows_.emplace_back();
      Row& row = rows_.back();
      row.key = key;
      make(row);
      row.quantities = quantityLevel_ != 0 && row.level >= quantityLevel_;
    }
    return it->second;
  }

  // Kind, level, codes, name and texts of composition row i of an activity.
  void makeClassRow(Row& row, size_t i, const ActRecord& act) {
    const Segment& s = segments_[i];
    row.kind = static_cast<int16_t>(s.classification < 2 ? s.classification : kRowOther + s.level);
    row.level = static_cast<int16_t>(i + 1);
    for (size_t j = 0; j <= i; ++j) {
      const Segment& sj = segments_[j];
      const char* code = classCode(act, sj);
      const size_t length = std::min<size_t>(strnlen(code, 10), sj.to);
      if (length == 0) continue;
      char* into = row.codes[sj.classification];
      std::memset(into, 0, 11);
      std::memcpy(into, code, length);
    }
    const char* code = classCode(act, s);
    const size_t length = strnlen(code, 10);
    if (length == 0) return;  // the row of activities without this code
    if (s.classification == 2) {
      row.name = std::string(code, length);
      return;
    }
    std::vector<uint8_t> record;
    int32_t slot = -1;
    const std::string prefix(code, std::min<size_t>(length, s.to));
    const bool workType = s.classification == 0;
    if (!readCodeRecord(workType ? db_->wbsCodes : db_->obsCodes, workType ? db_->wbs : db_->obs,
                        prefix, record, slot)) {
      return;
    }
    WbsRecord w{};
    std::memcpy(&w, record.data(), std::min(record.size(), sizeof w));
    row.record = slot;
    row.name = fixedText(w.title, sizeof w.title - 1);
    if (workType && record.size() >= sizeof w) {
      std::memcpy(row.unit, w.unit, sizeof row.unit - 1);
      std::memcpy(row.size, w.size, sizeof row.size - 1);
    }
  }

  static void setActivityCode(Row& row, const ActRecord& act) {
    std::memcpy(row.activityCode, act.code, sizeof row.activityCode - 1);
  }

  static std::string activityKey(const ActRecord& act) {
    std::string key(20, '\0');
    std::memcpy(key.data(), act.code, strnlen(act.code, 20));
    return key;
  }

  void addToActivityRow(Row& row, int32_t member) {
    const Activity& a = activities_[member];
    const Values& v = actValues_[member];
    for (int i = 0; i < kAmounts; ++i) row.values.amount[i] += v.amount[i];
    row.values.weight[0] += v.weight[0];
    row.values.weight[1] += v.weight[1];
    row.dates.add(a.act);
    row.members.push_back(member);
  }

  void buildActivityRows() {
    const bool activityRows = reg_.flags & kSummaryActivities;
    workTotal_ = static_cast<int32_t>(activities_.size());
    actValues_.resize(activities_.size());
    if (settings_.series) memberSeries_.resize(activities_.size());
    std::string key;
    for (size_t n = 0; n < activities_.size(); ++n) {
      report(static_cast<int32_t>(n));
      const ActRecord& act = activities_[n].act;
      if ((reg_.flags & kSummaryNoMilestones) && act.type == kMilestone) continue;
      if ((reg_.flags & kSummaryNoUnclassified) && act.wbsCode[0] == '\0') continue;
      const int32_t member = static_cast<int32_t>(n);
      actValues_[n] = activityValues(activities_[n], settings_, calendars_);
      if (settings_.series) {
        memberSeries_[n] = activitySeries(activities_[n], actValues_[n], settings_, calendars_);
      }
      key.clear();
      for (size_t i = 0; i < segments_.size(); ++i) {
        key += segment(i, act);
        addToActivityRow(rows_[rowOf(key, [&](Row& row) { makeClassRow(row, i, act); })], member);
      }
      if (activityRows) {
        Row& row = rows_[rowOf(key + activityKey(act), [&](Row& r) {
          r.kind = kRowActivity;
          r.level = static_cast<int16_t>(segments_.size() + 1);
          if (!segments_.empty()) std::memcpy(r.codes, rows_[byKey_[key]].codes, sizeof r.codes);
          r.record = activities_[n].record;
          r.name = fixedText(act.title, sizeof act.title - 1);
          r.single = true;
          r.head = act;
          setActivityCode(r, act);
        })];
        if (!row.members.empty()) row.single = false;  // a repeated code
        addToActivityRow(row, member);
      }
      addToActivityRow(total_, member);
    }
    report(workTotal_);
  }

  void addToResourceRow(Row& row, int32_t member) {
    const Inputs& v = crewValues_[member];
    row.inputs.duration = std::min(row.inputs.duration + v.duration, 32767);
    for (int i = 0; i < kInputs; ++i) row.inputs.input[i] += v.input[i];
    row.members.push_back(member);
  }

  void buildResourceRows() {
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

  void finishRow(Row& row) {
    const SummaryDigits& d = settings_.digits;
    if (resource_) {
      for (int i = 0; i < kInputs; ++i) {
        row.inputs.input[i] = row.quantities ? rounded(row.inputs.input[i], d.quantityDecimals) : 0;
      }
    } else {
      for (int i = 0; i < kAmounts; ++i) {
        const bool quantity = i == kQty || (i >= kPlanQtyD && i <= kActQtyP);
        row.values.amount[i] =
            rounded(row.values.amount[i], quantity ? d.quantityDecimals : d.amountDecimals);
      }
      for (float& w : row.values.weight) {
        w = static_cast<float>(rounded(w, d.rateDecimals));
      }
      if (!row.quantities) clearQuantities(row.values);
      deriveRates(row.values, d);
    }
    if (settings_.series) {
      std::vector<const RowSeries*> parts;
      parts.reserve(row.members.size());
      for (int32_t m : row.members) parts.push_back(&memberSeries_[m]);
      const Values* amounts = resource_ || settings_.weights ? nullptr : &row.values;
      row.series = mergeSeries(parts, resource_ ? 1 : 6, row.quantities, amounts, d);
    }
  }

  void finishRows() {
    total_.quantities = false;
    total_.name = cp949(kTotalRowName);
    for (Row& row : rows_) finishRow(row);
    finishRow(total_);
    total_.level = 0;
  }

  // Names as shown, in key order, with the total row's last.
  std::vector<std::string> shownNames(const std::vector<const Row*>& order) const {
    std::vector<std::string> names;
    std::vector<int> number(2, 0);
    for (const Row* row : order) {
      const int level = row == &total_ ? 1 : std::max<int>(row->level, 1);
      if (static_cast<int>(number.size()) <= level) number.resize(level + 1, 0);
      std::string prefix;
      if (reg_.flags & kSummaryIndentNames) prefix.assign(2 * (level - 1), ' ');
      if (reg_.flags & kSummaryNumberNames) {
        ++number[level];
        std::fill(number.begin() + level + 1, number.end(), 0);
        for (int j = 1; j <= level; ++j) prefix += std::to_string(number[j]) + ".";
        prefix += ' ';
      }
      const std::string full = prefix + row->name;
      std::vector<char> cut(nameWidth_ + 1, 0);
      xCopyChars(cut.data(), full.c_str(), nameWidth_);
      names.emplace_back(cut.data());
    }
    return names;
  }

  // Removes a summary file that could not be completed.
  void discard(int16_t* current) {
    std::string path(db_->space.path, db_->space.stemLength);
    path += db_->summary.name;
    xCloseSumFile(db_, current);
    unlink(path.c_str());
  }

  int write(int16_t* current) {
    std::vector<const Row*> order;
    order.reserve(rows_.size() + 1);
    for (const auto& [key, at] : byKey_) order.push_back(&rows_[at]);
    order.push_back(&total_);
    const std::vector<std::string> names = shownNames(order);
    const uint16_t length =
        static_cast<uint16_t>(nameWidth_ + (resource_ ? kResRowFixed : kActRowFixed));
    const uint64_t base = static_cast<uint64_t>(order.size()) * (length + 4u);
    std::vector<uint8_t> series;
    std::vector<uint32_t> positions(order.size(), 0);
    if (settings_.series) {
      for (size_t i = 0; i < order.size(); ++i) {
        if (order[i]->series.empty()) continue;
        positions[i] = static_cast<uint32_t>(base + series.size());
        appendSeries(order[i]->series, resource_ ? 1 : 6, series);
      }
    }
    if (base + series.size() > 0x7FFFFFFFu) return kSummaryFileFailed;
    if (xCreateSumFile(db_, current, reg_.number, length, static_cast<int16_t>(fields_.size()),
                       fields_.data()) != 1) {
      return kSummaryFileFailed;
    }
    TableHandle& tb = db_->summary.table.tb;
    std::vector<uint8_t> bytes(length);
    const int32_t total = workTotal_ + static_cast<int32_t>(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
      if (resource_) {
        encodeResourceRow(*order[i], names[i], positions[i], bytes);
      } else {
        encodeActivityRow(*order[i], names[i], positions[i], settings_.dataDate, calendars_, bytes);
      }
      tb.current = -1;
      if (xAddRec(&tb, bytes.data()) != 1) {
        discard(current);
        return kSummaryFileFailed;
      }
      if (progress_ && i % kProgressStep == 0) {
        progress_(workTotal_ + static_cast<int32_t>(i), total);
      }
    }
    tb.current = -1;
    bool ok = tb.slotCount == order.size();
    for (size_t done = 0; ok && done < series.size();) {
      const ssize_t n = pwrite(tb.handle, series.data() + done, series.size() - done,
                               static_cast<off_t>(base + done));
      ok = n > 0;
      if (ok) done += static_cast<size_t>(n);
    }
    if (!ok || xFinishSumFile(db_) != 1) {
      discard(current);
      return kSummaryFileFailed;
    }
    if (progress_) progress_(total, total);
    return kSummaryDone;
  }

  ProjectDb* db_;
  const PrjInfo& info_;
  SummaryRegistration reg_;
  ClassLevels levels_[2];
  SummaryProgress progress_;
  Settings settings_;
  EngineCalendars calendars_;
  bool resource_ = false;
  int nameWidth_ = 40;
  std::vector<FieldDesc> fields_;
  std::vector<Segment> segments_;
  int quantityLevel_ = 0;
  std::vector<Activity> activities_;
  std::vector<int32_t> slotToActivity_;
  std::vector<CrewDetail> crew_;
  std::vector<Values> actValues_;
  std::vector<Inputs> crewValues_;
  std::vector<RowSeries> memberSeries_;
  std::vector<Row> rows_;
  std::map<std::string, int32_t> byKey_;
  Row total_;
  int32_t workTotal_ = 0;
};

}  // namespace

int buildSummary(ProjectDb* db, const PrjInfo& info, SummaryRegistration& registration,
                 int16_t* current, const SummaryProgress& progress) {
  ClassLevels levels[2];
  readClassLevels(db, levels);
  SummaryRegistration prepared = registration;
  if (int refused = prepareSummaryRegistration(prepared, levels)) return refused;
  switch (writeSummaryRegistration(db, prepared)) {
    case kRegistrationWritten:
      break;
    case kRegistrationTitleLong:
      return kSummaryTitleLong;
    case kRegistrationNotWritten:
      return kSummaryFileFailed;
    case kCompositionOtherTwice:
      return kSummaryOtherTwice;
    default:
      return kSummaryRefused;
  }
  registration = prepared;
  const int16_t before = db->summary.number;
  Builder builder(db, info, prepared, levels, progress);
  const int result = builder.run(current);
  // A failed build closed the summary that was open; open it again.
  if (result != kSummaryDone && before != 0 && db->summary.number == 0) {
    xOpenSumFile(db, current, before);
  }
  return result;
}

int buildSummaries(ProjectDb* db, const PrjInfo& info,
                   std::vector<SummaryRegistration>& registrations, int16_t* current,
                   const SummaryProgress& progress) {
  const int16_t before = current != nullptr ? *current : db->summary.number;
  int16_t open = before;
  int built = 0;
  for (int16_t n = 1; n <= XQD_SUMMARY_MAX; ++n) {
    for (SummaryRegistration& r : registrations) {
      if (r.number == n && buildSummary(db, info, r, &open, progress) == kSummaryDone) ++built;
    }
  }
  if (before != 0 && open != before) {
    if (xOpenSumFile(db, &open, before) != 1) xCloseSumFile(db, &open);
  }
  if (current != nullptr) *current = db->summary.number;
  return built;
}

bool readRowSeries(ProjectDb* db, uint32_t position, bool resource, RowSeries& series) {
  series = RowSeries{};
  const TableHandle& tb = db->summary.table.tb;
  if (tb.handle == -1 || position == 0) return false;
  const uint64_t start = static_cast<uint64_t>(tb.slotCount) * (tb.recordSize + 4u);
  if (position < start) return false;
  const int valueCount = resource ? 1 : 6;
  const size_t entrySize = 2 + 8 * valueCount;
  off_t at = position;
  for (int b = 0; b < 3; ++b) {
    for (int n = 0;; ++n) {
      uint8_t bytes[2 + 8 * 6];
      if (pread(tb.handle, bytes, 2, at) != 2) return false;
      at += 2;
      uint16_t day;
      std::memcpy(&day, bytes, 2);
      if (day == 0) break;
      if (n > 1000000 ||
          pread(tb.handle, bytes + 2, entrySize - 2, at) != static_cast<ssize_t>(entrySize - 2)) {
        return false;
      }
      at += static_cast<off_t>(entrySize - 2);
      SeriesEntry e;
      e.day = day;
      std::memcpy(e.value, bytes + 2, 8 * valueCount);
      series.block[b].push_back(e);
    }
  }
  return true;
}

}  // namespace kelvo

// Building a summary: reading the project, the rows of an activity summary
// per composition level, and the entry points.
#include <algorithm>
#include <cstring>

#include "summary_builder.h"
#include "xjor/calendar.h"
#include "xjor/text.h"

namespace kelvo {

namespace summary {

namespace {

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

// Calls take(record number, record) for every live record of tb, read into
// a zeroed Record; the table's current record is kept.
template <class Record, class Take>
void eachRecord(TableHandle& tb, Take take) {
  const int32_t keep = tb.current;
  std::vector<uint8_t> bytes(std::max<size_t>(tb.recordSize, sizeof(Record)));
  tb.current = -1;
  while (xMoveNext(&tb)) {
    std::fill(bytes.begin(), bytes.end(), 0);
    if (xGetRec(&tb, bytes.data()) != 1) continue;
    Record r;
    std::memcpy(&r, bytes.data(), sizeof r);
    take(tb.current, r);
  }
  tb.current = keep;
}

}  // namespace

std::string cp949(const char* utf8) {
  char out[64];
  return xUtf8ToCp949(utf8, out, sizeof out) < 0 ? std::string() : std::string(out);
}

std::string fixedText(const char* text, size_t width) {
  return std::string(text, strnlen(text, width));
}

Builder::Builder(ProjectDb* db, const PrjInfo& info, const SummaryRegistration& r,
                 const ClassLevels levels[2], const SummaryProgress& progress)
    : db_(db), reg_(r), progress_(progress) {
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

int Builder::gather() {
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
  if (stopped_) return kSummaryStopped;
  finishRows();
  return kSummaryDone;
}

void Builder::report(int32_t done) {
  if (progress_ && (done % kProgressStep == 0 || done == workTotal_) &&
      !progress_(done, workTotal_)) {
    stopped_ = true;
  }
}

void Builder::planSegments() {
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

const char* Builder::classCode(const ActRecord& act, const Segment& s) {
  if (s.classification == 0) return act.wbsCode;
  if (s.classification == 1) return act.obsCode;
  return reinterpret_cast<const char*>(&act) + kOtherCodesAt + 11 * s.level;
}

std::string Builder::segment(size_t i, const ActRecord& act) const {
  const Segment& s = segments_[i];
  const char* code = classCode(act, s);
  const int length = static_cast<int>(strnlen(code, 10));
  const int width = s.to - s.from;
  if (length == 0) return std::string(width, '\xFF');
  std::string seg(width, ' ');
  for (int c = s.from; c < std::min(s.to, length); ++c) seg[c - s.from] = code[c];
  return seg;
}

void Builder::loadActivities() {
  slotToActivity_.assign(db_->act.tb.slotCount, -1);
  activities_.reserve(db_->act.tb.liveCount);
  eachRecord<ActRecord>(db_->act.tb, [&](int32_t record, const ActRecord& act) {
    Activity a;
    a.record = record;
    a.act = act;
    if (a.act.calendar < 0 || a.act.calendar > 8) a.act.calendar = 1;
    slotToActivity_[record] = static_cast<int32_t>(activities_.size());
    activities_.push_back(std::move(a));
  });
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

void Builder::loadCrewDetails() {
  eachRecord<OprRecord>(db_->opr.tb, [&](int32_t record, const OprRecord& opr) {
    CrewDetail c;
    c.record = record;
    c.opr = opr;
    c.activity = activityOf(fixedText(c.opr.actCode, 20));
    if (c.activity < 0) return;  // a crew detail of no activity has no dates
    c.resource = resourceOf(fixedText(c.opr.resCode, 10));
    crew_.push_back(c);
  });
}

int32_t Builder::activityOf(const std::string& code) {
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

int32_t Builder::resourceOf(const std::string& code) {
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

void Builder::makeClassRow(Row& row, size_t i, const ActRecord& act) {
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

void Builder::setActivityCode(Row& row, const ActRecord& act) {
  std::memcpy(row.activityCode, act.code, sizeof row.activityCode - 1);
}

std::string Builder::activityKey(const ActRecord& act) {
  std::string key(20, '\0');
  std::memcpy(key.data(), act.code, strnlen(act.code, 20));
  return key;
}

void Builder::addToActivityRow(Row& row, int32_t member) {
  const Activity& a = activities_[member];
  const Values& v = actValues_[member];
  for (int i = 0; i < kAmounts; ++i) row.values.amount[i] += v.amount[i];
  row.values.weight[0] += v.weight[0];
  row.values.weight[1] += v.weight[1];
  row.dates.add(a.act);
  row.members.push_back(member);
}

void Builder::buildActivityRows() {
  const bool activityRows = reg_.flags & kSummaryActivities;
  workTotal_ = static_cast<int32_t>(activities_.size());
  if (activityRows) rows_.reserve(activities_.size() + 1024);
  actValues_.resize(activities_.size());
  if (settings_.series) memberSeries_.resize(activities_.size());
  std::string key;
  for (size_t n = 0; n < activities_.size(); ++n) {
    report(static_cast<int32_t>(n));
    if (stopped_) return;
    const ActRecord& act = activities_[n].act;
    if ((reg_.flags & kSummaryNoMilestones) && act.type == kMilestone) continue;
    if ((reg_.flags & kSummaryNoUnclassified) && act.wbsCode[0] == '\0') continue;
    const int32_t member = static_cast<int32_t>(n);
    actValues_[n] = activityValues(activities_[n], settings_, calendars_);
    if (settings_.series) {
      memberSeries_[n] = activitySeries(activities_[n], actValues_[n], settings_, calendars_);
    }
    key.clear();
    int32_t parent = -1;
    for (size_t i = 0; i < segments_.size(); ++i) {
      key += segment(i, act);
      parent = rowOf(key, [&](Row& row) { makeClassRow(row, i, act); });
      addToActivityRow(rows_[parent], member);
    }
    if (activityRows) {
      key += activityKey(act);
      Row& row = rows_[rowOf(key, [&](Row& r) {
        r.kind = kRowActivity;
        r.level = static_cast<int16_t>(segments_.size() + 1);
        if (parent >= 0) std::memcpy(r.codes, rows_[parent].codes, sizeof r.codes);
        r.record = activities_[n].record;
        r.name = fixedText(act.title, sizeof act.title - 1);
        r.single = true;
        r.head = &act;
        setActivityCode(r, act);
      })];
      if (!row.members.empty()) row.single = false;  // a repeated code
      addToActivityRow(row, member);
    }
    addToActivityRow(total_, member);
  }
  report(workTotal_);
}

}  // namespace summary

int buildSummary(ProjectDb* db, const PrjInfo& info, SummaryRegistration& registration,
                 int16_t* current, const SummaryProgress& progress) {
  ClassLevels levels[2];
  readClassLevels(db, levels);
  SummaryRegistration prepared = registration;
  if (int refused = prepareSummaryRegistration(prepared, levels)) return refused;
  // The rows are gathered before anything is stored, so that a stop leaves
  // the registration and the summary files as they were.
  summary::Builder builder(db, info, prepared, levels, progress);
  if (int gathered = builder.gather(); gathered != kSummaryDone) return gathered;
  switch (writeSummaryRegistration(db, prepared)) {
    case kRegistrationWritten:
      break;
    case kRegistrationTitleLong:
      return kSummaryTitleLong;
    case kRegistrationNotWritten:
      return kSummaryFileFailed;
    case kCompositionOtherTwice:
      return kSummaryOtherTwice;
    case kCompositionInvalid:
      return kSummaryNoSuchLevel;
    default:
      return kSummaryRefused;
  }
  registration = prepared;
  const int16_t before = db->summary.number;
  const int result = builder.write(current);
  // A failed build closed the summary that was open; open it again.
  if (result != kSummaryDone) {
    if (before != 0 && db->summary.number == 0) xOpenSumFile(db, current, before);
    // The one that was open may be gone with its replaced registration.
    if (current != nullptr) *current = db->summary.number;
  }
  return result;
}

int buildSummaries(ProjectDb* db, const PrjInfo& info,
                   std::vector<SummaryRegistration>& registrations, int16_t* current,
                   const SummaryProgress& progress) {
  const int16_t before = current != nullptr ? *current : db->summary.number;
  int16_t open = before;
  int built = 0;
  bool stopped = false;
  for (int16_t n = 1; n <= XQD_SUMMARY_MAX && !stopped; ++n) {
    for (SummaryRegistration& r : registrations) {
      if (r.number != n || stopped) continue;
      const int result = buildSummary(db, info, r, &open, progress);
      if (result == kSummaryDone) ++built;
      stopped = result == kSummaryStopped;
    }
  }
  if (before != 0 && open != before) {
    if (xOpenSumFile(db, &open, before) != 1) xCloseSumFile(db, &open);
  }
  if (current != nullptr) *current = db->summary.number;
  return built;
}

}  // namespace kelvo

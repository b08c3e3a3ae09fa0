#include "kelvo/project_schedule.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "kelvo/engine_calendars.h"
#include "kelvo/string_table.h"
#include "slot_file_reader.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo {

namespace {

// "%d개의 작업이 ..." of the string table.
constexpr int kOutsideCalendarRangeText = 22201;

template <class Entry>
Entry* entryAt(MemTable& m, uint32_t i) {
  return reinterpret_cast<Entry*>(m.data + static_cast<size_t>(i) * m.recordSize);
}

// A record number paired with a position: of an activity in the activity
// code index, or (for a relation end) of the activity the end names.
struct SlotRef {
  uint32_t slot;
  int32_t activity;
};

// Stable radix sort by slot number, 11 bits a pass, as many passes as the
// largest slot needs. The indexes list records by code, in an order
// unrelated to their slots; sorted, the records are visited in one
// sequential sweep instead of a cache miss (or a page) per record.
void sortBySlot(std::vector<SlotRef>& ends, uint32_t slotCount) {
  constexpr int kBits = 11;
  constexpr uint32_t kBuckets = 1u << kBits;
  std::vector<SlotRef> sorted(ends.size());
  for (int shift = 0; shift < 32 && (uint64_t{slotCount} - 1) >> shift != 0; shift += kBits) {
    std::vector<size_t> begin(kBuckets + 1, 0);
    for (const SlotRef& e : ends) ++begin[((e.slot >> shift) & (kBuckets - 1)) + 1];
    for (uint32_t b = 0; b < kBuckets; ++b) begin[b + 1] += begin[b];
    for (const SlotRef& e : ends) sorted[begin[(e.slot >> shift) & (kBuckets - 1)]++] = e;
    ends.swap(sorted);
  }
}

// Fills one end of every relation from a relation index (sorted by that
// end's code) by walking it alongside the activity code index: the position
// of the code in the activity code index, or -1 when it is not there.
void resolveEnds(const MemTable& byCode, const MemTable& activityCodes,
                 const std::vector<int32_t>& relationOfSlot,
                 std::vector<ScheduleRelation>& relations, int32_t ScheduleRelation::*end) {
  auto codeAt = [&](uint32_t k) {
    return reinterpret_cast<const char*>(activityCodes.data) + size_t{k} * activityCodes.recordSize;
  };
  std::vector<SlotRef> ends;
  ends.reserve(byCode.count);
  uint32_t cursor = 0;
  for (uint32_t i = 0; i < byCode.count; ++i) {
    RelCodeEntry e;
    std::memcpy(&e, byCode.data + size_t{i} * byCode.recordSize, sizeof e);
    if (e.record < 0 || static_cast<size_t>(e.record) >= relationOfSlot.size()) continue;
    while (cursor < activityCodes.count && std::strncmp(codeAt(cursor), e.first, 21) < 0) ++cursor;
    const bool found =
        cursor < activityCodes.count && std::strncmp(codeAt(cursor), e.first, 21) == 0;
    ends.push_back({static_cast<uint32_t>(e.record), found ? static_cast<int32_t>(cursor) : -1});
  }
  // An index naming a slot twice leaves the end its later entry names.
  sortBySlot(ends, static_cast<uint32_t>(relationOfSlot.size()));
  for (const SlotRef& e : ends) {
    const int32_t relation = relationOfSlot[e.slot];
    if (relation >= 0) relations[relation].*end = e.activity;
  }
}

void takeRecord(const ActRecord& r, ScheduleActivity& a) {
  std::memcpy(a.code, r.code, sizeof a.code);
  a.code[sizeof a.code - 1] = 0;
  a.flags = r.flags;
  a.duration = r.duration;
  a.remaining = r.remaining;
  a.totalFloat = r.totalFloat;
  a.freeFloat = r.freeFloat;
  a.start = r.start;
  a.finish = r.finish;
  a.earlyStart = r.earlyStart;
  a.earlyFinish = r.earlyFinish;
  a.lateStart = r.lateStart;
  a.lateFinish = r.lateFinish;
  a.actualStart = r.actualStart;
  a.actualFinish = r.actualFinish;
  a.constraintDate = r.constraintDate;
  a.constraintKind = r.constraintType;
  a.calendar = r.calendar;
  a.kind = r.type;
  a.anchorDay = r.anchor;
}

void giveRecord(const ScheduleActivity& a, ActRecord& r) {
  r.flags = a.flags;
  r.duration = a.duration;
  r.remaining = a.remaining;
  r.totalFloat = a.totalFloat;
  r.freeFloat = a.freeFloat;
  r.start = a.start;
  r.finish = a.finish;
  r.earlyStart = a.earlyStart;
  r.earlyFinish = a.earlyFinish;
  r.lateStart = a.lateStart;
  r.lateFinish = a.lateFinish;
  r.actualStart = a.actualStart;
  r.anchor = a.anchorDay;
}

// Anchor days of every relation anchor index entry, from the activities'
// starts and successor anchor days (the keys, routing row and record number,
// do not change). relationOfSlot maps relation record numbers to relations.
void refreshRelationAnchors(ProjectDb* db, const std::vector<ScheduleActivity>& activities,
                            const std::vector<ScheduleRelation>& relations,
                            const std::vector<int32_t>& relationOfSlot) {
  for (uint32_t i = 0; i < db->relAnchor.count; ++i) {
    RelAnchorEntry* e = entryAt<RelAnchorEntry>(db->relAnchor, i);
    const int32_t slot = e->record;
    if (slot < 0 || static_cast<size_t>(slot) >= relationOfSlot.size()) continue;
    if (relationOfSlot[slot] < 0) continue;
    const ScheduleRelation& r = relations[relationOfSlot[slot]];
    if (r.predecessor < 0 || r.successor < 0) continue;
    const bool fromStart = r.kind == kStartToStart || r.kind == kStartToFinish;
    const bool toStart = r.kind == kFinishToStart || r.kind == kStartToStart;
    e->predAnchor =
        fromStart ? activities[r.predecessor].start : activities[r.predecessor].anchorDay;
    e->succAnchor = toStart ? activities[r.successor].start : activities[r.successor].anchorDay;
  }
}

// Start and anchor day of the order index entries (path, record) of the
// activities the analysis wrote, in one pass over the index: an entry is
// matched to its activity through the record number and must carry the
// path the code index gives that record.
void refreshOrderIndex(ProjectDb* db, const std::vector<ScheduleActivity>& activities) {
  std::vector<int32_t> activityOfRecord(db->act.tb.slotCount, -1);
  for (uint32_t i = 0; i < db->actCodes.count; ++i) {
    const int32_t record = entryAt<ActCodeEntry>(db->actCodes, i)->record;
    if (record >= 0 && static_cast<size_t>(record) < activityOfRecord.size()) {
      activityOfRecord[record] = static_cast<int32_t>(i);
    }
  }
  for (uint32_t i = 0; i < db->actOrder.count; ++i) {
    ActOrderEntry* o = entryAt<ActOrderEntry>(db->actOrder, i);
    if (o->record < 0 || static_cast<size_t>(o->record) >= activityOfRecord.size()) continue;
    const int32_t k = activityOfRecord[o->record];
    if (k < 0 || !activities[k].written) continue;
    if (entryAt<ActCodeEntry>(db->actCodes, k)->path != o->path) continue;
    o->start = activities[k].start;
    o->anchor = activities[k].anchorDay;
  }
}

}  // namespace

ScheduleOutcome scheduleProject(ProjectDb* db, PrjInfo* info, uint16_t dataDate,
                                ScheduleListener* listener) {
  TableHandle& act = db->act.tb;
  const uint32_t count = db->actCodes.count;
  std::vector<ScheduleActivity> activities(count);
  // The activity records in slot order, each to its place in code order.
  std::vector<SlotRef> byRecord;
  byRecord.reserve(count);
  auto damaged = [] {
    ScheduleOutcome out;
    out.result = kScheduleDamagedProject;
    return out;
  };
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t record = entryAt<ActCodeEntry>(db->actCodes, i)->record;
    if (record < 0 || act.recordSize < static_cast<int32_t>(sizeof(ActRecord))) return damaged();
    byRecord.push_back({static_cast<uint32_t>(record), static_cast<int32_t>(i)});
  }
  sortBySlot(byRecord, act.slotCount);
  ActRecord record;
  {
    SlotFileReader reader(act);
    for (const SlotRef& r : byRecord) {
      const uint8_t* bytes = reader.record(r.slot);
      if (bytes == nullptr) return damaged();
      std::memcpy(&record, bytes, sizeof record);
      takeRecord(record, activities[r.activity]);
    }
  }

  // Relations in slot order with kind and lag from their records; their
  // activities from the relation indexes by predecessor and by successor,
  // as the classification of activities uses them.
  TableHandle& rel = db->rel.tb;
  std::vector<ScheduleRelation> relations;
  std::vector<int32_t> relationOfSlot(rel.slotCount, -1);
  relations.reserve(rel.liveCount);
  if (rel.recordSize >= static_cast<int32_t>(sizeof(RelRecord))) {
    SlotFileReader reader(rel);
    for (uint32_t slot = 0; slot < rel.slotCount; ++slot) {
      const uint8_t* bytes = reader.record(slot);
      if (bytes == nullptr) continue;
      RelRecord r;
      std::memcpy(&r, bytes, sizeof r);
      relationOfSlot[slot] = static_cast<int32_t>(relations.size());
      relations.push_back({-1, -1, r.kind, r.lag});
    }
  }
  rel.current = -1;
  resolveEnds(db->relByPred, db->actCodes, relationOfSlot, relations,
              &ScheduleRelation::predecessor);
  resolveEnds(db->relBySucc, db->actCodes, relationOfSlot, relations, &ScheduleRelation::successor);

  ScheduleOutcome out;
  {
    EngineCalendars calendars;
    out = runSchedule(activities, relations, dataDate, static_cast<int32_t>(act.liveCount),
                      calendars, listener);
  }
  xSetCalNo(0);

  // What the analysis wrote goes back in slot order; records it left as
  // they were are not written, which spares their pages.
  {
    SlotFileReader reader(act);
    std::vector<uint8_t> buffer(act.recordSize);
    for (const SlotRef& r : byRecord) {
      const ScheduleActivity& a = activities[r.activity];
      if (!a.written) continue;
      const uint8_t* bytes = reader.record(r.slot);
      if (bytes == nullptr) continue;
      std::memcpy(&record, bytes, sizeof record);
      giveRecord(a, record);
      if (std::memcmp(bytes, &record, sizeof record) != 0) {
        std::memcpy(buffer.data(), bytes, buffer.size());
        std::memcpy(buffer.data(), &record, sizeof record);
        act.current = static_cast<int32_t>(r.slot);
        xPutRec(&act, buffer.data());
      }
      ActCodeEntry* e = entryAt<ActCodeEntry>(db->actCodes, static_cast<uint32_t>(r.activity));
      e->start = a.start;
      e->anchor = a.anchorDay;
    }
  }
  refreshOrderIndex(db, activities);
  if (out.datedActivities > 0) refreshRelationAnchors(db, activities, relations, relationOfSlot);
  if (info && out.projectDatesValid) {
    info->start = out.projectStart;
    info->finish = out.projectFinish;
  }
  if (info && out.result == kScheduleDone) {
    out.outsideCalendarRange =
        activitiesOutsideRange(activities, info->calendarFrom, info->calendarTo);
  }
  return out;
}

int32_t activitiesOutsideRange(std::span<const ScheduleActivity> activities, uint16_t from,
                               uint16_t to) {
  if (to == 0) return 0;
  auto outside = [&](uint16_t day) { return day != 0 && (day < from || day > to); };
  int32_t count = 0;
  for (const ScheduleActivity& a : activities) {
    if (a.actualFinish != 0 || a.calendar < 1 || a.calendar > 8) continue;
    if (xGetWorkCount(a.calendar - 1) == 0) continue;
    if (outside(a.earlyStart) || outside(a.earlyFinish) || outside(a.lateStart) ||
        outside(a.lateFinish)) {
      ++count;
    }
  }
  return count;
}

std::string calendarRangeWarning(int32_t activities) {
  if (activities <= 0) return {};
  char text[256];
  std::snprintf(text, sizeof text, stringText(kOutsideCalendarRangeText), activities);
  return text;
}

}  // namespace kelvo

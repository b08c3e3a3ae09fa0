#include "kelvo/project_schedule.h"

#include <cstring>
#include <vector>

#include "kelvo/engine_calendars.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"

namespace kelvo {

namespace {

template <class Entry>
Entry* entryAt(MemTable& m, uint32_t i) {
  return reinterpret_cast<Entry*>(m.data + static_cast<size_t>(i) * m.recordSize);
}

// Position of the activity code in the activity code index, -1 when absent.
int32_t findActivity(ProjectDb* db, const char* code) {
  char key[21] = {};
  std::memcpy(key, code, 20);
  return xmSeek(&db->actCodes, key) ? static_cast<int32_t>(db->actCodes.current) : -1;
}

// Reads record `record` of a table into buffer (sized to the table's
// records). Returns false when the slot holds no live record.
bool readRecord(TableHandle& tb, int32_t record, std::vector<uint8_t>& buffer) {
  buffer.resize(tb.recordSize);
  tb.current = record;
  return xGetRec(&tb, buffer.data()) != 0;
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
// do not change).
void refreshRelationAnchors(ProjectDb* db, const std::vector<ScheduleActivity>& activities) {
  std::vector<uint8_t> buffer;
  for (uint32_t i = 0; i < db->relAnchor.count; ++i) {
    RelAnchorEntry* e = entryAt<RelAnchorEntry>(db->relAnchor, i);
    if (!readRecord(db->rel.tb, e->record, buffer)) continue;
    RelRecord rel;
    std::memcpy(&rel, buffer.data(), sizeof rel);
    const int32_t p = findActivity(db, rel.pred), s = findActivity(db, rel.succ);
    if (p < 0 || s < 0) continue;
    const bool fromStart = rel.kind == kStartToStart || rel.kind == kStartToFinish;
    const bool toStart = rel.kind == kFinishToStart || rel.kind == kStartToStart;
    e->predAnchor = fromStart ? activities[p].start : activities[p].anchorDay;
    e->succAnchor = toStart ? activities[s].start : activities[s].anchorDay;
  }
}

}  // namespace

ScheduleOutcome scheduleProject(ProjectDb* db, PrjInfo* info, uint16_t dataDate,
                                ScheduleListener* listener) {
  TableHandle& act = db->act.tb;
  const uint32_t count = db->actCodes.count;
  std::vector<ScheduleActivity> activities(count);
  std::vector<uint8_t> buffer;
  ActRecord record;
  for (uint32_t i = 0; i < count; ++i) {
    if (!readRecord(act, entryAt<ActCodeEntry>(db->actCodes, i)->record, buffer) ||
        buffer.size() < sizeof record) {
      ScheduleOutcome out;
      out.result = kScheduleDamagedProject;
      return out;
    }
    std::memcpy(&record, buffer.data(), sizeof record);
    takeRecord(record, activities[i]);
  }

  std::vector<ScheduleRelation> relations;
  relations.reserve(db->rel.tb.liveCount);
  buffer.resize(db->rel.tb.recordSize);
  db->rel.tb.current = -1;
  while (xMoveNext(&db->rel.tb)) {
    if (!xGetRec(&db->rel.tb, buffer.data()) || buffer.size() < sizeof(RelRecord)) continue;
    RelRecord rel;
    std::memcpy(&rel, buffer.data(), sizeof rel);
    relations.push_back(
        {findActivity(db, rel.pred), findActivity(db, rel.succ), rel.kind, rel.lag});
  }

  ScheduleOutcome out;
  {
    EngineCalendars calendars;
    out = runSchedule(activities, relations, dataDate, static_cast<int32_t>(act.liveCount),
                      calendars, listener);
  }
  xSetCalNo(0);

  for (uint32_t i = 0; i < count; ++i) {
    const ScheduleActivity& a = activities[i];
    if (!a.written) continue;
    ActCodeEntry* e = entryAt<ActCodeEntry>(db->actCodes, i);
    if (!readRecord(act, e->record, buffer)) continue;
    std::memcpy(&record, buffer.data(), sizeof record);
    giveRecord(a, record);
    std::memcpy(buffer.data(), &record, sizeof record);
    xPutRec(&act, buffer.data());
    e->start = a.start;
    e->anchor = a.anchorDay;
    ActOrderEntry key = {e->path, e->record, 0, 0};
    if (xmSeek(&db->actOrder, &key)) {
      ActOrderEntry* o = entryAt<ActOrderEntry>(db->actOrder, db->actOrder.current);
      o->start = a.start;
      o->anchor = a.anchorDay;
    }
  }
  if (out.datedActivities > 0) refreshRelationAnchors(db, activities);
  if (info && out.projectDatesValid) {
    info->start = out.projectStart;
    info->finish = out.projectFinish;
  }
  return out;
}

}  // namespace kelvo

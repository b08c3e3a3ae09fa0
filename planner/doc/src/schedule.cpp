#include "kelvo/schedule.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "activity_dates.h"
#include "network_graph.h"
#include "progress_ticker.h"
#include "range_checked_calendars.h"
#include "relation_levels.h"

namespace kelvo {

const char* schedulePhaseCaption(int phase) {
  switch (phase) {
    case 0:
      return "작업 순서 찾기...";
    case 1:
      return "선후행 관계 순서 찾기...";
    case 2:
      return "작업 일정 전진 계산...";
    case 3:
      return "작업 일정 후진 계산...";
  }
  return "";
}

namespace {

std::string loopCaption(const ScheduleActivity& predecessor, const ScheduleActivity& successor) {
  char text[64];
  std::snprintf(text, sizeof text, "%.20s - %.20s", predecessor.code, successor.code);
  return text;
}

// A day the calendars could not give is answered with the last packable
// day, so the first activity holding that day is the one that ran out.
std::string outOfRangeCaption(std::span<const ScheduleActivity> activities) {
  for (const ScheduleActivity& a : activities) {
    for (uint16_t day :
         {a.start, a.finish, a.earlyStart, a.earlyFinish, a.lateStart, a.lateFinish, a.anchorDay}) {
      if (day == kLastPackedDay) return std::string(a.code, strnlen(a.code, sizeof a.code));
    }
  }
  return {};
}

}  // namespace

ScheduleOutcome runSchedule(std::span<ScheduleActivity> activities,
                            std::span<const ScheduleRelation> relations, uint16_t dataDate,
                            int32_t activityRecords, WorkCalendars& workCalendars,
                            ScheduleListener* listener) {
  ScheduleOutcome out;
  if (dataDate == 0) {
    out.result = kScheduleBadDate;
    return out;
  }
  for (ScheduleActivity& a : activities) a.written = false;
  const int32_t activityCount = static_cast<int32_t>(activities.size());
  const int32_t relationCount = static_cast<int32_t>(relations.size());
  out.counts.activities = activityCount;
  out.counts.relations = relationCount;
  if (listener) listener->counters(out.counts);

  // The adjacency is needed until the relations are ordered.
  std::optional<NetworkGraph> graph(std::in_place, activityCount, relations);
  // Every date goes through the range check; a run that needed a day past
  // the packable range stores nothing, whatever else it found.
  RangeCheckedCalendars calendars(workCalendars);
  // Activities without relations are dated in place; they need no date table.
  ActivityDating dating({}, calendars, dataDate);
  auto finish = [&](int result) {
    if (calendars.tripped()) {
      result = kScheduleOutOfRange;
      out.caption = outOfRangeCaption(activities);
      out.loopRelation = -1;
      for (ScheduleActivity& a : activities) a.written = false;
    }
    out.result = result;
    for (const ScheduleActivity& a : activities) out.datedActivities += a.written ? 1 : 0;
    out.projectStart = dating.projectStart();
    out.projectFinish = dating.projectFinish();
    out.projectDatesValid = result == kScheduleDone && out.datedActivities > 0;
    return out;
  };

  // Phase 0: classify the activities and date the independent ones.
  {
    ProgressTicker progress(listener, 0, activityCount);
    for (int32_t a = 0; a < activityCount; ++a) {
      const bool hasPredecessors = !graph->entering(a).empty();
      const bool hasSuccessors = !graph->leaving(a).empty();
      if (hasPredecessors) {
        if (!hasSuccessors) ++out.counts.endActivities;
      } else if (hasSuccessors) {
        ++out.counts.startActivities;
      } else {
        ++out.counts.independentActivities;
        dating.dateIndependent(activities[a]);
      }
      progress.tick(a + 1);
    }
    progress.finish();
    if (listener) listener->counters(out.counts);
  }
  if (activityRecords != activityCount) return finish(kScheduleDamagedProject);
  if (out.counts.startActivities == 0 || out.counts.endActivities == 0) {
    return finish(kScheduleNoStart);
  }

  // Phase 1: order the relations.
  RelationLevels levels;
  {
    ProgressTicker progress(listener, 1, relationCount);
    levels = levelRelations(*graph, relations, progress);
    if (levels.result == kScheduleLoop) {
      out.loopRelation = levels.loopRelation;
      if (levels.loopRelation >= 0) {
        const ScheduleRelation& r = relations[levels.loopRelation];
        out.caption = loopCaption(activities[r.predecessor], activities[r.successor]);
      }
    }
    if (levels.result != kScheduleDone) return finish(levels.result);
  }
  graph.reset();

  // The passes work on a copy of the related activities laid out in
  // topological order and take them one after the other, each with the
  // relations at one end, so that they walk memory forwards (and backwards)
  // and jump only to read the other ends' few anchor days.
  const std::vector<int32_t> layout = std::move(levels.layout);
  std::vector<ScheduleActivity> work;
  work.reserve(layout.size());
  for (int32_t a : layout) work.push_back(activities[a]);
  ActivityDating passes(work, calendars, dataDate);
  const int32_t places = static_cast<int32_t>(layout.size());

  // Phase 2: early dates, each activity from all its predecessors.
  {
    ProgressTicker progress(listener, 2, relationCount);
    int32_t done = 0;
    for (int32_t i = 0; i < places; ++i) {
      const std::span<const PlacedRelation> entering = levels.entering.of(i);
      if (entering.empty()) passes.dateStartActivity(i);
      for (const PlacedRelation& r : entering) {
        passes.forward({r.other, i, r.kind, r.lag});
        progress.tick(++done);
      }
    }
    progress.finish();
  }

  // Phase 3: late dates and floats, each activity from all its successors,
  // last to first.
  {
    ProgressTicker progress(listener, 3, relationCount);
    int32_t done = 0;
    for (int32_t i = places - 1; i >= 0; --i) {
      const std::span<const PlacedRelation> leaving = levels.leaving.of(i);
      if (leaving.empty()) passes.dateEndActivity(i);
      for (size_t k = leaving.size(); k-- > 0;) {
        passes.backward({i, leaving[k].other, leaving[k].kind, leaving[k].lag});
        progress.tick(++done);
      }
    }
    passes.finishBackwardPass();
    progress.finish();
  }
  for (size_t i = 0; i < layout.size(); ++i) activities[layout[i]] = work[i];
  dating.takeProjectDates(passes);
  return finish(kScheduleDone);
}

}  // namespace kelvo

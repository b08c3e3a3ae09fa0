#include "kelvo/schedule.h"

#include <cstdio>

#include "activity_dates.h"
#include "network_graph.h"
#include "progress_ticker.h"
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

}  // namespace

ScheduleOutcome runSchedule(std::span<ScheduleActivity> activities,
                            std::span<const ScheduleRelation> relations, uint16_t dataDate,
                            int32_t activityRecords, WorkCalendars& calendars,
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

  const NetworkGraph graph(activityCount, relations);
  ActivityDating dating(activities, calendars, dataDate);
  auto finish = [&](int result) {
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
      const bool hasPredecessors = !graph.entering(a).empty();
      const bool hasSuccessors = !graph.leaving(a).empty();
      if (hasPredecessors) {
        if (!hasSuccessors) ++out.counts.endActivities;
      } else if (hasSuccessors) {
        ++out.counts.startActivities;
      } else {
        ++out.counts.independentActivities;
        dating.dateIndependent(a);
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

  // Phase 1: level the relations.
  RelationLevels levels;
  {
    ProgressTicker progress(listener, 1, relationCount);
    levels = levelRelations(graph, relations, progress);
    if (levels.result == kScheduleLoop) {
      out.loopRelation = levels.loopRelation;
      if (levels.loopRelation >= 0) {
        const ScheduleRelation& r = relations[levels.loopRelation];
        out.caption = loopCaption(activities[r.predecessor], activities[r.successor]);
      }
    }
    if (levels.result != kScheduleDone) return finish(levels.result);
  }

  // The passes work on a copy of the related activities laid out in
  // topological order, and on the relations in level order, so that they
  // walk memory mostly forwards (and backwards) instead of at random.
  const std::vector<int32_t> layout = std::move(levels.activityOrder);
  std::vector<int32_t> place(activityCount, -1);
  std::vector<ScheduleActivity> work(layout.size());
  for (size_t i = 0; i < layout.size(); ++i) {
    place[layout[i]] = static_cast<int32_t>(i);
    work[i] = activities[layout[i]];
  }
  std::vector<ScheduleRelation> ordered(relationCount);
  for (int32_t i = 0; i < relationCount; ++i) {
    const ScheduleRelation& r = relations[levels.order[i]];
    ordered[i] = {place[r.predecessor], place[r.successor], r.kind, r.lag};
  }
  levels = {};
  ActivityDating passes(work, calendars, dataDate);

  // Phase 2: early dates, relations by ascending level.
  {
    ProgressTicker progress(listener, 2, relationCount);
    for (int32_t i = 0; i < relationCount; ++i) {
      const ScheduleRelation& r = ordered[i];
      if (!passes.hasEarlyDates(r.predecessor)) passes.dateStartActivity(r.predecessor);
      passes.forward(r);
      progress.tick(i + 1);
    }
    progress.finish();
  }

  // Phase 3: late dates and floats, in the reverse order.
  {
    ProgressTicker progress(listener, 3, relationCount);
    for (int32_t i = relationCount - 1; i >= 0; --i) {
      const ScheduleRelation& r = ordered[i];
      if (!passes.hasLateDates(r.successor)) passes.dateEndActivity(r.successor);
      passes.backward(r);
      progress.tick(relationCount - i);
    }
    passes.finishBackwardPass();
    progress.finish();
  }
  for (size_t i = 0; i < layout.size(); ++i) activities[layout[i]] = work[i];
  dating.takeProjectDates(passes);
  return finish(kScheduleDone);
}

}  // namespace kelvo

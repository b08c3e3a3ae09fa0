#include "relation_levels.h"

#include <algorithm>

#include "progress_ticker.h"

namespace kelvo {

namespace {

// Walks back from an activity that the topological pass could not release
// (it keeps an entering relation from another unreleased activity) until an
// activity repeats; the relation that closed the walk lies on a loop.
int32_t findLoopRelation(const NetworkGraph& graph, std::span<const ScheduleRelation> relations,
                         const std::vector<uint8_t>& reachable,
                         const std::vector<uint8_t>& released, int32_t activity) {
  std::vector<uint8_t> seen(released.size(), 0);
  int32_t v = activity;
  seen[v] = 1;
  for (;;) {
    int32_t step = -1;
    for (int32_t r : graph.entering(v)) {
      if (reachable[r] && !released[relations[r].predecessor]) {
        step = r;
        break;
      }
    }
    if (step < 0) return -1;  // cannot happen for an unreleased activity
    const int32_t u = relations[step].predecessor;
    if (seen[u]) return step;
    seen[u] = 1;
    v = u;
  }
}

}  // namespace

RelationLevels levelRelations(const NetworkGraph& graph,
                              std::span<const ScheduleRelation> relations,
                              ProgressTicker& progress) {
  RelationLevels out;
  const int32_t activityCount = static_cast<int32_t>(graph.activityCount());
  const int32_t relationCount = static_cast<int32_t>(relations.size());

  // Reachability from the start activities; `waiting` counts each activity's
  // reachable entering relations.
  std::vector<uint8_t> reachedActivity(activityCount, 0), reachable(relationCount, 0);
  std::vector<int32_t> waiting(activityCount, 0);
  std::vector<int32_t> queue;
  queue.reserve(activityCount);
  for (int32_t a = 0; a < activityCount; ++a) {
    if (graph.entering(a).empty() && !graph.leaving(a).empty()) {
      reachedActivity[a] = 1;
      queue.push_back(a);
    }
  }
  const size_t startCount = queue.size();
  int32_t reachableCount = 0;
  for (size_t head = 0; head < queue.size(); ++head) {
    for (int32_t r : graph.leaving(queue[head])) {
      const int32_t s = relations[r].successor;
      if (!graph.exists(s)) continue;
      reachable[r] = 1;
      ++reachableCount;
      ++waiting[s];
      if (!reachedActivity[s]) {
        reachedActivity[s] = 1;
        queue.push_back(s);
      }
    }
  }

  // Topological pass over the reachable part: an activity is released once
  // all its reachable entering relations are levelled; the relations leaving
  // it get its depth as their level.
  std::vector<int32_t> depth(activityCount, 0), level(relationCount, -1);
  std::vector<uint8_t> released(activityCount, 0);
  queue.resize(startCount);
  int32_t levelled = 0, maxLevel = 0;
  for (size_t head = 0; head < queue.size(); ++head) {
    const int32_t u = queue[head];
    released[u] = 1;
    for (int32_t r : graph.leaving(u)) {
      if (!reachable[r]) continue;
      level[r] = depth[u];
      maxLevel = std::max(maxLevel, depth[u]);
      progress.tick(++levelled);
      const int32_t s = relations[r].successor;
      depth[s] = std::max(depth[s], depth[u] + 1);
      if (--waiting[s] == 0) queue.push_back(s);
    }
  }

  if (levelled < reachableCount) {
    for (int32_t r = 0; r < relationCount; ++r) {
      if (reachable[r] && level[r] < 0) {
        out.result = kScheduleLoop;
        out.loopRelation =
            findLoopRelation(graph, relations, reachable, released, relations[r].predecessor);
        return out;
      }
    }
  }
  if (reachableCount < relationCount) {
    out.result = kScheduleUnreachable;
    return out;
  }
  progress.finish();

  // Relations by ascending level (counting sort), within a level in the
  // order their successors were released.
  std::vector<int32_t> begin(static_cast<size_t>(maxLevel) + 2, 0);
  for (int32_t r = 0; r < relationCount; ++r) ++begin[level[r] + 1];
  for (int32_t l = 0; l <= maxLevel; ++l) begin[l + 1] += begin[l];
  out.order.resize(relationCount);
  for (int32_t a : queue) {
    for (int32_t r : graph.entering(a)) out.order[begin[level[r]]++] = r;
  }
  out.activityOrder = std::move(queue);
  return out;
}

}  // namespace kelvo

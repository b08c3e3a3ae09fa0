#include "relation_levels.h"

#include <algorithm>

#include "progress_ticker.h"

namespace kelvo {

namespace {

// The outcome of one topological pass from the start activities.
struct TopologicalPass {
  std::vector<int32_t> level;     // per relation, -1 = not levelled
  std::vector<int32_t> queue;     // released activities, in release order
  std::vector<uint8_t> released;  // per activity
  int32_t levelled = 0;
  int32_t maxLevel = 0;
};

bool isStart(const NetworkGraph& graph, int32_t a) {
  return graph.entering(a).empty() && !graph.leaving(a).empty();
}

// Releases the start activities, then every activity whose `waiting` count
// of entering relations drops to zero; the relations leaving a released
// activity (those `follows` accepts) get its depth as their level.
template <class Follows>
TopologicalPass topologicalPass(const NetworkGraph& graph,
                                std::span<const ScheduleRelation> relations,
                                std::vector<int32_t> waiting, Follows follows,
                                ProgressTicker* progress) {
  const int32_t activityCount = graph.activityCount();
  TopologicalPass pass;
  pass.level.assign(relations.size(), -1);
  pass.released.assign(activityCount, 0);
  pass.queue.reserve(activityCount);
  for (int32_t a = 0; a < activityCount; ++a) {
    if (isStart(graph, a)) pass.queue.push_back(a);
  }
  std::vector<int32_t> depth(activityCount, 0);
  for (size_t head = 0; head < pass.queue.size(); ++head) {
    const int32_t u = pass.queue[head];
    pass.released[u] = 1;
    for (int32_t r : graph.leaving(u)) {
      if (!follows(r)) continue;
      pass.level[r] = depth[u];
      pass.maxLevel = std::max(pass.maxLevel, depth[u]);
      ++pass.levelled;
      if (progress) progress->tick(pass.levelled);
      const int32_t s = relations[r].successor;
      depth[s] = std::max(depth[s], depth[u] + 1);
      if (--waiting[s] == 0) pass.queue.push_back(s);
    }
  }
  return pass;
}

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

// When not every relation got a level: a loop among the relations the start
// activities reach, or else relations they do not reach.
void diagnose(const NetworkGraph& graph, std::span<const ScheduleRelation> relations,
              RelationLevels& out) {
  const int32_t activityCount = graph.activityCount();
  const int32_t relationCount = static_cast<int32_t>(relations.size());
  std::vector<uint8_t> reachedActivity(activityCount, 0), reachable(relationCount, 0);
  std::vector<int32_t> waiting(activityCount, 0), queue;
  for (int32_t a = 0; a < activityCount; ++a) {
    if (isStart(graph, a)) {
      reachedActivity[a] = 1;
      queue.push_back(a);
    }
  }
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
  const TopologicalPass pass = topologicalPass(
      graph, relations, std::move(waiting), [&](int32_t r) { return reachable[r] != 0; }, nullptr);
  if (pass.levelled < reachableCount) {
    for (int32_t r = 0; r < relationCount; ++r) {
      if (reachable[r] && pass.level[r] < 0) {
        out.result = kScheduleLoop;
        out.loopRelation =
            findLoopRelation(graph, relations, reachable, pass.released, relations[r].predecessor);
        return;
      }
    }
  }
  out.result = kScheduleUnreachable;
}

}  // namespace

RelationLevels levelRelations(const NetworkGraph& graph,
                              std::span<const ScheduleRelation> relations,
                              ProgressTicker& progress) {
  RelationLevels out;
  const int32_t activityCount = graph.activityCount();
  const int32_t relationCount = static_cast<int32_t>(relations.size());

  // One pass over the whole network: an activity waits for all its entering
  // relations, so a relation from a missing activity, from a loop or from a
  // part no start reaches keeps it (and all after it) unlevelled.
  std::vector<int32_t> waiting(activityCount);
  for (int32_t a = 0; a < activityCount; ++a) {
    waiting[a] = static_cast<int32_t>(graph.entering(a).size());
  }
  TopologicalPass pass = topologicalPass(
      graph, relations, std::move(waiting),
      [&](int32_t r) { return graph.exists(relations[r].successor); }, &progress);
  if (pass.levelled < relationCount) {
    diagnose(graph, relations, out);
    return out;
  }
  progress.finish();

  // Relations by ascending level (counting sort), within a level in the
  // order their successors were released.
  std::vector<int32_t> begin(static_cast<size_t>(pass.maxLevel) + 2, 0);
  for (int32_t r = 0; r < relationCount; ++r) ++begin[pass.level[r] + 1];
  for (int32_t l = 0; l <= pass.maxLevel; ++l) begin[l + 1] += begin[l];
  out.order.resize(relationCount);
  for (int32_t a : pass.queue) {
    for (int32_t r : graph.entering(a)) out.order[begin[pass.level[r]]++] = r;
  }
  out.activityOrder = std::move(pass.queue);
  return out;
}

}  // namespace kelvo

#include "relation_levels.h"

#include <algorithm>

#include "progress_ticker.h"

namespace kelvo {

namespace {

bool isStart(const NetworkGraph& graph, int32_t a) {
  return graph.entering(a).empty() && !graph.leaving(a).empty();
}

// Relation numbers grouped by one end (counting sort), keeping the
// relations' own order within each group: what telling a loop from an
// unreachable part needs, built only then.
struct RelationLists {
  RelationLists(int32_t activityCount, std::span<const ScheduleRelation> relations,
                int32_t ScheduleRelation::*end) {
    begin.assign(static_cast<size_t>(activityCount) + 1, 0);
    for (const ScheduleRelation& r : relations) {
      const int32_t a = r.*end;
      if (a >= 0 && a < activityCount) ++begin[a + 1];
    }
    for (int32_t a = 0; a < activityCount; ++a) begin[a + 1] += begin[a];
    grouped.resize(begin[activityCount]);
    std::vector<int32_t> next(begin.begin(), begin.end() - 1);
    for (size_t i = 0; i < relations.size(); ++i) {
      const int32_t a = relations[i].*end;
      if (a >= 0 && a < activityCount) grouped[next[a]++] = static_cast<int32_t>(i);
    }
  }
  std::span<const int32_t> of(int32_t activity) const {
    return {grouped.data() + begin[activity], grouped.data() + begin[activity + 1]};
  }
  std::vector<int32_t> begin, grouped;
};

// What a failed levelling needs to know of one topological pass.
struct DiagnosticPass {
  std::vector<int32_t> level;     // per relation, -1 = not levelled
  std::vector<uint8_t> released;  // per activity
  int32_t levelled = 0;
};

// Releases the start activities, then every activity whose `waiting` count
// of entering relations drops to zero, following only the relations
// `reachable` marks.
DiagnosticPass diagnosticPass(const NetworkGraph& graph, const RelationLists& leaving,
                              std::span<const ScheduleRelation> relations,
                              std::vector<int32_t> waiting, const std::vector<uint8_t>& reachable) {
  const int32_t activityCount = graph.activityCount();
  DiagnosticPass pass;
  pass.level.assign(relations.size(), -1);
  pass.released.assign(activityCount, 0);
  std::vector<int32_t> queue, depth(activityCount, 0);
  for (int32_t a = 0; a < activityCount; ++a) {
    if (isStart(graph, a)) queue.push_back(a);
  }
  for (size_t head = 0; head < queue.size(); ++head) {
    const int32_t u = queue[head];
    pass.released[u] = 1;
    for (int32_t r : leaving.of(u)) {
      if (!reachable[r]) continue;
      pass.level[r] = depth[u];
      ++pass.levelled;
      const int32_t s = relations[r].successor;
      depth[s] = std::max(depth[s], depth[u] + 1);
      if (--waiting[s] == 0) queue.push_back(s);
    }
  }
  return pass;
}

// Walks back from an activity that the topological pass could not release
// (it keeps an entering relation from another unreleased activity) until an
// activity repeats; the relation that closed the walk lies on a loop.
int32_t findLoopRelation(const RelationLists& entering, std::span<const ScheduleRelation> relations,
                         const std::vector<uint8_t>& reachable,
                         const std::vector<uint8_t>& released, int32_t activity) {
  std::vector<uint8_t> seen(released.size(), 0);
  int32_t v = activity;
  seen[v] = 1;
  for (;;) {
    int32_t step = -1;
    for (int32_t r : entering.of(v)) {
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
  const RelationLists leaving(activityCount, relations, &ScheduleRelation::predecessor);
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
    for (int32_t r : leaving.of(queue[head])) {
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
  const DiagnosticPass pass =
      diagnosticPass(graph, leaving, relations, std::move(waiting), reachable);
  if (pass.levelled < reachableCount) {
    for (int32_t r = 0; r < relationCount; ++r) {
      if (reachable[r] && pass.level[r] < 0) {
        out.result = kScheduleLoop;
        const RelationLists entering(activityCount, relations, &ScheduleRelation::successor);
        out.loopRelation = findLoopRelation(entering, relations, reachable, pass.released,
                                            relations[r].predecessor);
        return;
      }
    }
  }
  out.result = kScheduleUnreachable;
}

// Per activity during the topological pass.
struct Node {
  int32_t waiting;  // entering relations not yet followed
  int32_t place;    // its place in the release order, once released
};

}  // namespace

RelationLevels levelRelations(const NetworkGraph& graph,
                              std::span<const ScheduleRelation> relations,
                              ProgressTicker& progress) {
  RelationLevels out;
  const int32_t activityCount = graph.activityCount();
  const int32_t relationCount = static_cast<int32_t>(relations.size());

  // One pass over the whole network: an activity waits for all its entering
  // relations, so a relation from a missing activity, from a loop or from a
  // part no start reaches keeps it (and all after it) unreleased.
  std::vector<Node> nodes(activityCount);
  std::vector<int32_t>& queue = out.layout;
  queue.reserve(activityCount);
  for (int32_t a = 0; a < activityCount; ++a) {
    nodes[a] = {static_cast<int32_t>(graph.entering(a).size()), -1};
    if (isStart(graph, a)) {
      nodes[a].place = static_cast<int32_t>(queue.size());
      queue.push_back(a);
    }
  }
  int32_t followed = 0;
  for (size_t head = 0; head < queue.size(); ++head) {
    for (int32_t successor : graph.leaving(queue[head])) {
      if (!graph.exists(successor)) continue;
      ++followed;
      progress.tick(followed);
      Node& s = nodes[successor];
      if (--s.waiting == 0) {
        s.place = static_cast<int32_t>(queue.size());
        queue.push_back(successor);
      }
    }
  }
  if (followed < relationCount) {
    out.layout = {};
    diagnose(graph, relations, out);
    return out;
  }
  progress.finish();

  // The relations renumbered by place: entering lists place by place, then
  // the leaving lists filled from them, so that each holds its relations by
  // the successor's place and, for one successor, in their own order.
  const int32_t places = static_cast<int32_t>(queue.size());
  PlacedLists& entering = out.entering;
  PlacedLists& leaving = out.leaving;
  entering.begin.resize(places + 1);
  entering.relations.resize(relationCount);
  leaving.begin.resize(places + 1);
  leaving.relations.resize(relationCount);
  int32_t k = 0, leavingSum = 0;
  for (int32_t i = 0; i < places; ++i) {
    const int32_t a = queue[i];
    entering.begin[i] = k;
    for (const NetworkGraph::Entering& e : graph.entering(a)) {
      entering.relations[k++] = {nodes[e.predecessor].place, e.kind, e.lag};
    }
    leaving.begin[i] = leavingSum;
    leavingSum += static_cast<int32_t>(graph.leaving(a).size());
  }
  entering.begin[places] = k;
  leaving.begin[places] = leavingSum;
  std::vector<int32_t> next(leaving.begin.begin(), leaving.begin.end() - 1);
  for (int32_t i = 0; i < places; ++i) {
    for (const PlacedRelation& e : entering.of(i)) {
      leaving.relations[next[e.other]++] = {i, e.kind, e.lag};
    }
  }
  return out;
}

}  // namespace kelvo

// Levelling of the relations: each relation reachable from a start activity
// gets the number of relations on the longest chain leading to it, by one
// topological pass over the part of the network the start activities reach.
#ifndef KELVO_DOC_RELATION_LEVELS_H_
#define KELVO_DOC_RELATION_LEVELS_H_

#include <cstdint>
#include <span>
#include <vector>

#include "kelvo/schedule.h"
#include "network_graph.h"

namespace kelvo {

class ProgressTicker;

struct RelationLevels {
  int result = kScheduleDone;  // or kScheduleLoop, kScheduleUnreachable
  int32_t loopRelation = -1;   // for kScheduleLoop: one relation on the loop
  std::vector<int32_t> order;  // on success: every relation, by ascending level
  // On success: every activity with relations, predecessors before successors.
  std::vector<int32_t> activityOrder;
};

// Start activities are those with leaving relations and no entering ones.
// kScheduleLoop when a loop is reachable from a start activity, else
// kScheduleUnreachable when some relation is not reachable (a relation with
// a missing activity never is).
RelationLevels levelRelations(const NetworkGraph& graph,
                              std::span<const ScheduleRelation> relations,
                              ProgressTicker& progress);

}  // namespace kelvo

#endif  // KELVO_DOC_RELATION_LEVELS_H_

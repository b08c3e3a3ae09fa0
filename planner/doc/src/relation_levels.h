// Ordering of the relations: one topological pass from the start activities
// puts every activity after all its predecessors, or finds what keeps some
// relation from being reached (a loop, a missing activity, a part no start
// activity leads to). On success the network comes out renumbered in that
// order, so that the date passes walk the activities forwards (and
// backwards) instead of at random.
#ifndef KELVO_DOC_RELATION_LEVELS_H_
#define KELVO_DOC_RELATION_LEVELS_H_

#include <cstdint>
#include <span>
#include <vector>

#include "kelvo/schedule.h"
#include "network_graph.h"

namespace kelvo {

class ProgressTicker;

// The relations of one activity as the date passes read them: the other
// end's place in the layout, kind and lag.
struct PlacedRelation {
  int32_t other;
  int16_t kind;
  int16_t lag;
};

// Relations grouped by the place of one end.
struct PlacedLists {
  std::vector<int32_t> begin;  // places + 1 entries
  std::vector<PlacedRelation> relations;

  std::span<const PlacedRelation> of(int32_t place) const {
    return {relations.data() + begin[place], relations.data() + begin[place + 1]};
  }
};

struct RelationLevels {
  int result = kScheduleDone;  // or kScheduleLoop, kScheduleUnreachable
  int32_t loopRelation = -1;   // for kScheduleLoop: one relation on the loop
  // On success: every activity with relations, predecessors before
  // successors; its place in this list is its number in the lists below.
  std::vector<int32_t> layout;
  // On success: the relations entering each place (by predecessor), in the
  // relations' own order.
  PlacedLists entering;
  // On success: the relations leaving each place (by successor), by the
  // successor's place, then in the relations' own order.
  PlacedLists leaving;
};

// Start activities are those with leaving relations and no entering ones.
// kScheduleLoop when a loop is reachable from a start activity, else
// kScheduleUnreachable when some relation is not reachable (a relation with
// a missing activity never is). `graph` is built from `relations`.
RelationLevels levelRelations(const NetworkGraph& graph,
                              std::span<const ScheduleRelation> relations,
                              ProgressTicker& progress);

}  // namespace kelvo

#endif  // KELVO_DOC_RELATION_LEVELS_H_

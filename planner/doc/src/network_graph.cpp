#include "network_graph.h"

namespace kelvo {

namespace {

// Groups relation numbers by one of their ends (counting sort), keeping the
// relations' own order within each group.
void groupBy(int32_t activityCount, std::span<const ScheduleRelation> relations,
             int32_t ScheduleRelation::*end, std::vector<int32_t>& begin,
             std::vector<int32_t>& grouped) {
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

}  // namespace

NetworkGraph::NetworkGraph(int32_t activityCount, std::span<const ScheduleRelation> relations)
    : activityCount_(activityCount) {
  groupBy(activityCount, relations, &ScheduleRelation::predecessor, outBegin_, outRelations_);
  groupBy(activityCount, relations, &ScheduleRelation::successor, inBegin_, inRelations_);
}

}  // namespace kelvo

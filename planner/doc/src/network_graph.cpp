#include "network_graph.h"

namespace kelvo {

namespace {

// Counting sort of the relations by one end: counts, sums up to the end of
// each activity's list, then fills every list from its end with the
// relations taken last to first, which leaves each begin where its list
// starts and the relations in their own order. One end at a time keeps the
// scattered writes within fewer cache lines.
template <class Item, class Make>
std::unique_ptr<Item[]> groupBy(int32_t activityCount, std::span<const ScheduleRelation> relations,
                                int32_t ScheduleRelation::*end, std::vector<int32_t>& begin,
                                Make make) {
  begin.assign(static_cast<size_t>(activityCount) + 1, 0);
  for (const ScheduleRelation& r : relations) {
    const int32_t a = r.*end;
    if (a >= 0 && a < activityCount) ++begin[a];
  }
  for (int32_t a = 0; a < activityCount; ++a) begin[a + 1] += begin[a];
  std::unique_ptr<Item[]> items(new Item[begin[activityCount]]);
  for (size_t i = relations.size(); i-- > 0;) {
    const ScheduleRelation& r = relations[i];
    const int32_t a = r.*end;
    if (a >= 0 && a < activityCount) items[--begin[a]] = make(r);
  }
  return items;
}

}  // namespace

NetworkGraph::NetworkGraph(int32_t activityCount, std::span<const ScheduleRelation> relations)
    : activityCount_(activityCount) {
  leaving_ = groupBy<int32_t>(activityCount, relations, &ScheduleRelation::predecessor,
                              leavingBegin_, [](const ScheduleRelation& r) { return r.successor; });
  entering_ = groupBy<Entering>(activityCount, relations, &ScheduleRelation::successor,
                                enteringBegin_, [](const ScheduleRelation& r) {
                                  return Entering{r.predecessor, r.kind, r.lag};
                                });
}

}  // namespace kelvo

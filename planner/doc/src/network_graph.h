// Adjacency of the precedence network: the relations leaving and entering
// each activity, built once in linear time.
#ifndef KELVO_DOC_NETWORK_GRAPH_H_
#define KELVO_DOC_NETWORK_GRAPH_H_

#include <cstdint>
#include <span>
#include <vector>

#include "kelvo/schedule.h"

namespace kelvo {

class NetworkGraph {
 public:
  // Relations whose predecessor exists are listed as leaving it; relations
  // whose successor exists are listed as entering it. A relation with a
  // missing end is still listed at its existing end, so that end counts as
  // having a relation.
  NetworkGraph(int32_t activityCount, std::span<const ScheduleRelation> relations);

  std::span<const int32_t> leaving(int32_t activity) const {
    return {outRelations_.data() + outBegin_[activity],
            outRelations_.data() + outBegin_[activity + 1]};
  }
  std::span<const int32_t> entering(int32_t activity) const {
    return {inRelations_.data() + inBegin_[activity], inRelations_.data() + inBegin_[activity + 1]};
  }
  int32_t activityCount() const { return activityCount_; }
  // True when the activity index names an activity.
  bool exists(int32_t activity) const { return activity >= 0 && activity < activityCount_; }

 private:
  int32_t activityCount_;
  std::vector<int32_t> outBegin_, outRelations_;
  std::vector<int32_t> inBegin_, inRelations_;
};

}  // namespace kelvo

#endif  // KELVO_DOC_NETWORK_GRAPH_H_

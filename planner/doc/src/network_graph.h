// Adjacency of the precedence network: the relations leaving and entering
// each activity, built once in linear time.
#ifndef KELVO_DOC_NETWORK_GRAPH_H_
#define KELVO_DOC_NETWORK_GRAPH_H_

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "kelvo/schedule.h"

namespace kelvo {

class NetworkGraph {
 public:
  // A relation as listed at its successor, with what the passes need of it
  // so that they do not go back to the relation array.
  struct Entering {
    int32_t predecessor;  // may name no activity
    int16_t kind;
    int16_t lag;
  };

  // Relations whose predecessor exists are listed as leaving it (by their
  // successor, which may name no activity); relations whose successor exists
  // are listed as entering it. A relation with a missing end is still listed
  // at its existing end, so that end counts as having a relation. Each list
  // keeps the relations' own order.
  NetworkGraph(int32_t activityCount, std::span<const ScheduleRelation> relations);

  std::span<const int32_t> leaving(int32_t activity) const {
    return {leaving_.get() + leavingBegin_[activity], leaving_.get() + leavingBegin_[activity + 1]};
  }
  std::span<const Entering> entering(int32_t activity) const {
    return {entering_.get() + enteringBegin_[activity],
            entering_.get() + enteringBegin_[activity + 1]};
  }
  int32_t activityCount() const { return activityCount_; }
  // True when the activity index names an activity.
  bool exists(int32_t activity) const { return activity >= 0 && activity < activityCount_; }

 private:
  int32_t activityCount_;
  std::vector<int32_t> leavingBegin_, enteringBegin_;
  // Filled in one pass each, so left uninitialised until then.
  std::unique_ptr<int32_t[]> leaving_;
  std::unique_ptr<Entering[]> entering_;
};

}  // namespace kelvo

#endif  // KELVO_DOC_NETWORK_GRAPH_H_

// Reports one phase's progress to a listener: at the start, every tenth
// item and at the end.
#ifndef KELVO_DOC_PROGRESS_TICKER_H_
#define KELVO_DOC_PROGRESS_TICKER_H_

#include <cstdint>

#include "kelvo/schedule.h"

namespace kelvo {

class ProgressTicker {
 public:
  ProgressTicker(ScheduleListener* listener, int phase, int32_t range)
      : listener_(listener), phase_(phase), range_(range) {
    report(0);
  }
  // Items done so far; reported when it is a multiple of ten.
  void tick(int32_t done) {
    if (done % 10 == 0) report(done);
  }
  void finish() { report(range_); }

 private:
  void report(int32_t position) {
    if (listener_) listener_->progress(phase_, schedulePhaseCaption(phase_), position, range_);
  }

  ScheduleListener* listener_;
  int phase_;
  int32_t range_;
};

}  // namespace kelvo

#endif  // KELVO_DOC_PROGRESS_TICKER_H_

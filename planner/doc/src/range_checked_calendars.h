// Day arithmetic that notices when a computation asks for a day after the
// last one a packed date can hold (2107-12-31). The engine answers such an
// offset with that last day, which would silently shorten the activity; the
// analysis checks tripped() and refuses the whole run.
#ifndef KELVO_DOC_RANGE_CHECKED_CALENDARS_H_
#define KELVO_DOC_RANGE_CHECKED_CALENDARS_H_

#include <array>
#include <cstdint>

#include "kelvo/schedule.h"
#include "xjor/packed_date.h"

namespace kelvo {

// The last day a packed date can hold: 2107-12-31.
inline constexpr uint16_t kLastPackedDay = xjor::packDate(2107, 12, 31);

class RangeCheckedCalendars final : public WorkCalendars {
 public:
  explicit RangeCheckedCalendars(WorkCalendars& inner) : inner_(inner) {}

  int32_t offset(int calendar, uint16_t day) override { return inner_.offset(calendar, day); }
  // A day after kLastPackedDay is answered with kLastPackedDay.
  uint16_t dayAt(int calendar, int32_t offset) override {
    if (offset > lastOffset(calendar)) {
      tripped_ = true;
      return kLastPackedDay;
    }
    return inner_.dayAt(calendar, offset);
  }

  // True once any dayAt was asked for a day after kLastPackedDay.
  bool tripped() const { return tripped_; }

 private:
  int32_t lastOffset(int calendar) {
    // Numbers outside 1..8 all mean plain calendar days.
    const size_t slot = calendar >= 1 && calendar <= 8 ? static_cast<size_t>(calendar) : 0;
    if (!known_[slot]) {
      last_[slot] = inner_.offset(calendar, kLastPackedDay);
      known_[slot] = true;
    }
    return last_[slot];
  }

  WorkCalendars& inner_;
  std::array<int32_t, 9> last_{};
  std::array<bool, 9> known_{};
  bool tripped_ = false;
};

}  // namespace kelvo

#endif  // KELVO_DOC_RANGE_CHECKED_CALENDARS_H_

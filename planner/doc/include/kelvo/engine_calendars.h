// Working-day arithmetic of the schedule analysis on the engine's eight
// process-wide calendars.
#ifndef KELVO_ENGINE_CALENDARS_H_
#define KELVO_ENGINE_CALENDARS_H_

#include "kelvo/schedule.h"

namespace kelvo {

// Selects the engine calendar each call names (only when it changes) and
// gives the engine's offsets. The calendar selected before construction is
// selected again on destruction.
class EngineCalendars : public WorkCalendars {
 public:
  EngineCalendars();
  ~EngineCalendars() override;
  EngineCalendars(const EngineCalendars&) = delete;
  EngineCalendars& operator=(const EngineCalendars&) = delete;

  int32_t offset(int calendar, uint16_t day) override;
  uint16_t dayAt(int calendar, int32_t offset) override;

 private:
  void select(int calendar);

  int previous_;
  int selected_;
};

}  // namespace kelvo

#endif  // KELVO_ENGINE_CALENDARS_H_

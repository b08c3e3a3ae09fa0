// A small project builder for the schedule analysis tests: activities by
// code, relations by codes, a five-day week on calendar 1 and a seven-day
// week on calendar 2, and a data date on Monday 2000-01-03.
#ifndef KELVO_DOC_TESTS_SCHEDULE_FIXTURE_H_
#define KELVO_DOC_TESTS_SCHEDULE_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kelvo/schedule.h"
#include "list_calendars.h"

namespace kelvo::testing {

// Packed date of a day in 1999-2000, as written in the tests.
inline uint16_t D(int year, int month, int day) {
  return packDate(year, month, day);
}

class ScheduleTest : public ::testing::Test {
 protected:
  ScheduleTest() {
    calendars.set(1, ListCalendars::fiveDayWeek(D(1998, 1, 1), D(2005, 12, 31)));
    std::vector<uint16_t> everyDay;
    for (int32_t n = dayNumber(D(1998, 1, 1)); n <= dayNumber(D(2005, 12, 31)); ++n) {
      everyDay.push_back(dateOfDayNumber(n));
    }
    calendars.set(2, everyDay);
  }

  ScheduleActivity& add(const char* code, int16_t duration, int16_t calendar = 1) {
    ScheduleActivity a;
    std::strncpy(a.code, code, sizeof a.code - 1);
    a.duration = a.remaining = duration;
    a.calendar = calendar;
    a.kind = duration == 0 ? kMilestone : 0;
    a.flags = 0x3000;
    activities.push_back(a);
    return activities.back();
  }

  int32_t indexOf(const char* code) const {
    for (size_t i = 0; i < activities.size(); ++i) {
      if (std::strcmp(activities[i].code, code) == 0) return static_cast<int32_t>(i);
    }
    return -1;
  }

  void link(const char* pred, const char* succ, int16_t kind = kFinishToStart, int16_t lag = 0) {
    relations.push_back({indexOf(pred), indexOf(succ), kind, lag});
  }

  ScheduleActivity& operator[](const char* code) { return activities[indexOf(code)]; }

  ScheduleOutcome run(ScheduleListener* listener = nullptr) {
    return runSchedule(activities, relations, dataDate, static_cast<int32_t>(activities.size()),
                       calendars, listener);
  }

  ListCalendars calendars;
  std::vector<ScheduleActivity> activities;
  std::vector<ScheduleRelation> relations;
  uint16_t dataDate = D(2000, 1, 3);  // a Monday
};

}  // namespace kelvo::testing

#endif  // KELVO_DOC_TESTS_SCHEDULE_FIXTURE_H_

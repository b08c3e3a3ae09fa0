// The eight working calendars as day maps over one range, as the calendar
// dialog and `kvcli calendar` edit them: read from the engine's working-day
// lists, changed day by day, and installed back as lists.
#ifndef KELVO_CALENDAR_MAPS_H_
#define KELVO_CALENDAR_MAPS_H_

#include <array>
#include <cstdint>
#include <vector>

struct PrjInfo;

namespace kelvo {

inline constexpr int kCalendarCount = 8;
// The longest range: its last day at most this many days after its first.
inline constexpr int32_t kLongestCalendarSpan = 7304;

struct CalendarRange {
  uint16_t from = 0, to = 0;  // packed dates
};

// The range the dialog proposes when the project has none: the project start
// (else the data date, else today) less 365 days to the project finish (else
// the start) plus 1,095 days, kept within the days a date text can name and
// within the longest span.
CalendarRange proposedCalendarRange(const PrjInfo& info, uint16_t today);

// Which extra days one click also gives the clicked day's new state to.
struct CalendarRepeats {
  bool yearly = false;      // same month and day in every year of the range
  bool monthly = false;     // same day number in every month of the range
  bool weekly = false;      // every seventh day across the range
  bool shownMonth = false;  // every day of the month that holds the day
};

class CalendarMaps {
 public:
  // Takes the engine's eight lists as they are now over from..to (a span
  // longer than kLongestCalendarSpan is cut). A day is non-working only when
  // its list is not empty, lies strictly between the list's first and last
  // day and is not listed: the engine counts days outside the list as plain
  // calendar days. Returns false (nothing read) unless both dates are valid
  // and from < to.
  bool load(uint16_t from, uint16_t to);

  uint16_t from() const { return from_; }
  uint16_t to() const { return to_; }
  int32_t days() const { return static_cast<int32_t>(off_[0].size()); }
  bool contains(uint16_t day) const;

  // Calendar numbers are 1..8. Days outside the range count as working.
  bool isOff(int calendar, uint16_t day) const;
  void setOff(int calendar, uint16_t day, bool off);

  // Toggles `day` of `calendar` and gives its new state to the days the
  // repeats name (years or months that lack the day are skipped). A day
  // outside the range does nothing.
  void toggle(int calendar, uint16_t day, const CalendarRepeats& repeats);

  // Moves the range. Each day keeps its state; days that enter it take the
  // state the engine's lists gave them when load() ran. Returns false (range
  // unchanged) for invalid dates or from >= to; a longer span is cut.
  bool setRange(uint16_t from, uint16_t to);

  // The source calendar's map replaces the target's.
  void copy(int target, int source);

  // Makes the given days of `calendar` non-working (days outside the range
  // are ignored). Returns how many days changed.
  int32_t markOff(int calendar, const std::vector<uint16_t>& days);

  // The engine list of a calendar: empty when the range is all working or
  // all non-working; else the day before the range when its first day does
  // not work, every working day, and the day after the range when its last
  // day does not work (never before 1980-01-01 or after 2107-12-31).
  std::vector<uint16_t> listOf(int calendar) const;

  // The first calendar (1..8) that has no working day in the range, or 0.
  // Such a calendar cannot be stored: an empty list means every day works.
  int calendarWithoutWorkingDay() const;

  enum class InstallResult { Installed, NoWorkingDay, OutOfMemory };
  // Replaces the engine's eight lists with listOf(1..8): all lists are
  // computed first; if the engine cannot take one, the old lists are put
  // back. Refuses (engine untouched) while calendarWithoutWorkingDay() != 0.
  InstallResult install() const;

 private:
  // The state the lists read by load() give a day number.
  bool offInLoadedList(int slot, int32_t dayNumber) const;
  int32_t index(uint16_t day) const;

  uint16_t from_ = 0, to_ = 0;
  int32_t first_ = 0;  // day number of from_
  std::array<std::vector<uint8_t>, kCalendarCount> off_;
  std::array<std::vector<int32_t>, kCalendarCount> loaded_;  // day numbers, ascending
};

}  // namespace kelvo

#endif  // KELVO_CALENDAR_MAPS_H_

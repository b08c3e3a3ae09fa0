// The computations behind the processing commands that move a project
// through its life: fixing the planned (target) schedule, closing a progress
// stage, deriving quantities, durations, weights and progress from each
// other, the actual-work figures, the code and name rewrite from the map and
// the summary registration record.
//
// Like the schedule analysis these work on plain values: a caller reads the
// records, calls these functions and writes back what they changed.
// Rounding takes the decimals of the project's digit settings.
#ifndef KELVO_PROGRESS_STAGES_H_
#define KELVO_PROGRESS_STAGES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kelvo/schedule.h"

namespace kelvo {

// Activity kind of a time-shared activity.
inline constexpr int16_t kTimeShared = 2;

// The fields of an activity record the progress commands read or write.
struct ProgressActivity {
  int16_t duration = 0;
  int16_t remaining = 0;
  int16_t totalFloat = 0;
  uint16_t start = 0;
  uint16_t finish = 0;
  uint16_t actualStart = 0;
  uint16_t actualFinish = 0;
  int16_t plannedDuration = 0;
  uint16_t plannedStart = 0;
  uint16_t plannedFinish = 0;
  uint16_t plannedES = 0;
  uint16_t plannedEF = 0;
  uint16_t plannedLS = 0;
  uint16_t plannedLF = 0;
  int16_t calendar = 1;
  int16_t kind = 0;  // 0 normal, 1 milestone, 2 time-shared
  double quantity = 0;
};

// ---------------------------------------------------------------------------
// Planned (target) schedule.

// Sets the planned dates of one activity from its analysed dates: planned
// start `percent` of the total float (0..100, truncated to whole working
// days) after the start, planned early dates from the start, planned late
// dates from the finish plus the total float. With excludeStarted, an
// activity that has an actual start and already a planned start is left
// alone. An activity without analysed start or finish is left alone too.
// Returns true when the activity was changed.
bool setPlannedSchedule(ProgressActivity& activity, int percent, bool excludeStarted,
                        WorkCalendars& calendars);

// ---------------------------------------------------------------------------
// Progress stages.

inline constexpr int kStageClosed = 0;
inline constexpr int kStageBadStart = 1;   // focus goes to the period start
inline constexpr int kStageBadFinish = 2;  // focus goes to the period finish
// Message for both date failures (UTF-8).
inline constexpr const char* kBadDateMessage = "날짜 형식이 올바르지 않습니다.";

struct StageState {
  int16_t stage = 0;  // 0 planning, n progress stage n
  uint16_t periodStart = 0;
  uint16_t periodFinish = 0;
  uint16_t dataDate = 0;
};

// "계획 단계" for stage 0, "진행 %d단계" otherwise (UTF-8).
std::string stageText(int16_t stage);

// True while the project has no closed stage: the planned schedule is to be
// fixed before the first stage is closed.
inline bool stageNeedsPlannedSchedule(const StageState& state) {
  return state.stage == 0;
}

// Checks the next period (start a valid date; finish a valid date not before
// the start) and, when it is good, makes it the current period, raises the
// stage number and moves the data date to the first working day of
// calendar 1 after the finish. On failure nothing changes.
int closeStage(StageState& state, uint16_t from, uint16_t to, WorkCalendars& calendars);

// ---------------------------------------------------------------------------
// Automatic numeric items.

// Spreads `total` over activities in proportion to their durations (negative
// durations count as 0), each share rounded to `decimals`; the rounding
// difference goes to the first of the largest shares. Returns nothing when
// the durations add up to 0.
std::optional<std::vector<double>> distributeByDuration(double total,
                                                        std::span<const int16_t> durations,
                                                        int decimals);

// Whole working days needed for `quantity` at `daily` a day: the quotient
// rounded to the quantity decimals, then up to a whole day, at most 32,767.
// Nothing when daily is 0.
std::optional<int16_t> durationFromDailyQuantity(double quantity, double daily,
                                                 int quantityDecimals);

// Weights (%) of activities from unit price x quantity: amounts rounded to
// amountDecimals, weights to weightDecimals; the difference between their sum
// and 100 is taken off the first activity with the largest amount, so the
// weights add up to exactly 100 at weightDecimals. Nothing when the amounts
// add up to 0 or the spans differ in length.
std::optional<std::vector<float>> computeWeights(std::span<const double> unitPrices,
                                                 std::span<const double> quantities,
                                                 int amountDecimals, int weightDecimals);

// What deriving progress from the data date did to one activity.
struct ProgressUpdate {
  bool written = false;
  // For a time-shared activity that has begun: the quantity done by the data
  // date, to be stored as its time-shared entry for that day.
  std::optional<double> sharedQuantity;
};

// Derives the remaining duration and actual dates of an activity without an
// actual finish from the data date: it counts from the later of its start and
// planned start; a milestone counts as one day long. The quantity done of a
// time-shared activity is rounded to quantityDecimals. Without a data date,
// or for an activity not yet dated, nothing changes.
ProgressUpdate deriveProgress(ProgressActivity& activity, uint16_t dataDate, int quantityDecimals,
                              WorkCalendars& calendars);

// True when the crew detail's resource falls under the resource class entry:
// an empty entry takes every resource, otherwise the code must begin with the
// entry's first character.
bool resourceInClass(std::string_view resourceCode, std::string_view classEntry);

// Planned input rounded to quantityDecimals, then up to a whole number.
double roundUpInput(double planned, int quantityDecimals);

// Input to date of a crew detail from its activity's progress: when the
// activity has begun (duration > 0, remaining below it) and inputToDate is
// below planned, the done share of planned rounded to quantityDecimals;
// otherwise inputToDate unchanged.
double crewInputToDate(double planned, double inputToDate, int16_t duration, int16_t remaining,
                       int quantityDecimals);

// ---------------------------------------------------------------------------
// Actual-work data.

// One work type as the actual-work figures use it.
struct ActualWorkType {
  double quantity = 0;
  int16_t totalDuration = 0;  // result
  double dailyQuantity = 0;   // result
};
struct ActualActivity {
  int32_t workType = -1;  // index into the work types, -1 = not registered
  int16_t duration = 0;
};
struct ActualCrew {
  int32_t workType = -1;  // index into the work types
  double totalInput = 0;  // results
  double unitQuantity = 0;
  int32_t crewSize = 0;
};
struct ActualCrewDetail {
  int32_t crew = -1;  // index of the (work type, resource) crew, -1 = none
  double inputToDate = 0;
};

// Work-type total durations (summed in 32 bits, clamped at 32,767) and daily
// quantities, then crew total inputs, unit quantities and crew sizes (rounded
// up to whole persons). A value that would divide by zero is left at 0.
void computeActualWork(std::span<ActualWorkType> workTypes,
                       std::span<const ActualActivity> activities, std::span<ActualCrew> crews,
                       std::span<const ActualCrewDetail> details, int quantityDecimals);

// ---------------------------------------------------------------------------
// Codes and names from the map.

// Name of an activity on the map: the facility level names (empty ones and
// repeats of the previous one skipped), then the work-type name, separated by
// single blanks (an empty work-type name adds nothing) and cut to `width` bytes at a CP949
// character boundary.
std::string mapActivityTitle(std::span<const std::string> facilityLevelNames,
                             std::string_view workTypeName, size_t width);

// Code of an activity on the map: work-type code then facility code, cut to
// `width` bytes.
std::string mapActivityCode(std::string_view workTypeCode, std::string_view facilityCode,
                            size_t width);

// Groups of indexes into newCodes that share one code (each group ascending,
// groups in order of their first index). Empty when all codes differ.
std::vector<std::vector<size_t>> findCodeClashes(std::span<const std::string> newCodes);

// ---------------------------------------------------------------------------
// Summary registrations.

inline constexpr size_t kSummaryRegistrationSize = 82;
inline constexpr size_t kSummaryCompositionMax = 17;
inline constexpr size_t kSummaryTitleSize = 40;

struct SummaryRegistration {
  int16_t number = 0;  // 1..48
  uint32_t flags = 0;
  std::vector<int16_t> composition;  // classification x 10 + level
  std::string title;                 // CP949, at most 40 bytes

  bool operator==(const SummaryRegistration&) const = default;
};

// The 82-byte record: number (16-bit), flags (32-bit), entry count (16-bit),
// 17 entries (16-bit), title (40 bytes, NUL-padded), little-endian. Entries
// beyond 17 are dropped; the title is cut at a character boundary.
std::array<uint8_t, kSummaryRegistrationSize> encodeSummaryRegistration(
    const SummaryRegistration& registration);

// Reads an 82-byte record; nothing when it is short or its entry count is
// above 17.
std::optional<SummaryRegistration> decodeSummaryRegistration(std::span<const uint8_t> bytes);

inline constexpr int kCompositionAccepted = 0;
inline constexpr int kCompositionRefused = 1;     // chosen already or out of order
inline constexpr int kCompositionOtherTwice = 2;  // the other classification again
inline constexpr int kCompositionFull = 3;        // 17 entries already
inline constexpr int kCompositionInvalid = 4;     // no such classification level

// Message of a refusal (UTF-8), empty for kCompositionAccepted.
const char* compositionMessage(int result);

// Checks placing `entry` at `position` (clamped to the end) of `composition`:
// classifications 0 and 1 take levels 0..9, the other classification (2)
// levels 0..2 and only one of them; a level may appear once, and the levels
// of one classification must ascend.
int checkCompositionEntry(std::span<const int16_t> composition, int16_t entry, size_t position);

}  // namespace kelvo

#endif  // KELVO_PROGRESS_STAGES_H_

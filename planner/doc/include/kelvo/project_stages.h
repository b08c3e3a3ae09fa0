// Planned schedule, weights and stage closing on an open project: the
// plain computations of progress_stages.h applied to the project's records.
// Planned dates and weights are in no index, so the records are rewritten in
// place and every index stays as it is.
#ifndef KELVO_PROJECT_STAGES_H_
#define KELVO_PROJECT_STAGES_H_

#include <cstdint>
#include <functional>
#include <span>

struct ProjectDb;
struct PrjInfo;

namespace kelvo {

// Long work reports how far it has got (records visited and the whole) now
// and then and at the end; the listener returns false to stop the work.
using StageProgress = std::function<bool(int32_t done, int32_t total)>;

// planProjectSchedule's result when the listener stopped it.
inline constexpr int32_t kPlanStopped = -1;

// Fixes the planned (target) schedule of the given activity records (empty:
// every activity) with `percent` of the total float on the activities' own
// calendars. Returns the number of records written; calendar 0 is selected
// afterwards. When the listener stops it, the planned dates written so far
// are put back and kPlanStopped is returned: the records are as they were.
int32_t planProjectSchedule(ProjectDb* db, int percent, bool excludeStarted,
                            std::span<const int32_t> records = {},
                            const StageProgress& progress = {});

// Contract (or execution) weights of every activity from its unit price and
// quantity. Returns the number of records written, 0 when the amounts add up
// to 0 (nothing changes then).
int32_t deriveProjectWeights(ProjectDb* db, bool contract, int amountDecimals, int weightDecimals);

// Which unit prices a copy from the work types takes.
struct PriceCopy {
  bool contract = false;
  bool execution = false;
  bool input = false;
};

// Copies the chosen unit prices from each activity's work type (when its
// work-type code is registered) to the given activity records (empty: every
// activity), skipping completed activities when skipCompleted is set.
// Returns the number of records written.
int32_t copyProjectUnitPrices(ProjectDb* db, PriceCopy prices, bool skipCompleted,
                              std::span<const int32_t> records = {});

// Closes the current stage of the project information with the next period
// (kStageClosed, kStageBadStart or kStageBadFinish; on failure info is
// unchanged). The data date is taken on the installed calendar 1.
int closeProjectStage(PrjInfo* info, uint16_t from, uint16_t to);

// advanceProjectStage's result when the listener stopped the planned
// schedule (nothing changed).
inline constexpr int kStageStopped = 3;

// Moves the project to the next stage: the period is checked first (on
// failure nothing changes and the result says which date is wrong); at the
// first closing the planned schedule is fixed over every activity with
// `percent` and excludeStarted (the listener follows it and may stop it:
// kStageStopped, nothing changed); then the stage is closed as above.
// *planned (may be null) receives the planned-schedule records written.
int advanceProjectStage(ProjectDb* db, PrjInfo* info, uint16_t from, uint16_t to, int percent,
                        bool excludeStarted, int32_t* planned = nullptr,
                        const StageProgress& progress = {});

}  // namespace kelvo

#endif  // KELVO_PROJECT_STAGES_H_

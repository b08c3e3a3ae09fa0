// The automatic numeric items of an open project: quantities, durations,
// unit prices, weights, progress from the data date and crew inputs derived
// from each other. Each step reads and writes the project's tables directly;
// records whose dates follow from a changed value go through the record
// input, so every index stays exact.
#ifndef KELVO_PROJECT_NUMERIC_H_
#define KELVO_PROJECT_NUMERIC_H_

#include <cstdint>
#include <span>
#include <string>

#include "kelvo/project_digits.h"
#include "kelvo/project_stages.h"

struct ProjectDb;
struct PrjInfo;

namespace kelvo {

// The options of "수치 항목 자동 산출", run in this order.
struct NumericItemOptions {
  bool spreadQuantities = false;  // "공종수량에서 작업수량으로 배분(소요일수 기준)"
  bool durationsFromDaily = false;  // "공종 하루수량에 의한 작업 소요일수 산출"
  PriceCopy prices;                 // "공종 ...단가를 작업 ...단가로 복사"
  bool contractWeights = false;     // "계약 보할 산출"
  bool executionWeights = false;    // "실행 보할 산출"
  bool actualDates = false;         // "작업 실제일정/시분할 수량"
  bool crewInputs = false;          // "세부 작업조 투입수량"
  bool roundUpInputs = false;       // "소수점 이하 올리기"
  std::string resourceClass;        // "자원구분코드 :" (CP949; its first character counts)
  bool skipCompleted = false;       // "완료된 자료는 계산에서 제외" (unit price copies)
};

// What each step changed (records written).
struct NumericItemCounts {
  int32_t quantities = 0;
  int32_t durations = 0;
  int32_t durationsRefused = 0;  // re-entries the record input refused
  int32_t prices = 0;
  int32_t contractWeights = 0;
  int32_t executionWeights = 0;
  int32_t progress = 0;
  int32_t sharedEntries = 0;
  int32_t crewDetails = 0;
};

// Runs the chosen steps over the given activity records (empty: every
// activity). Spreading and weights always take every activity, as their
// totals are over all of them; the other steps visit only the given
// activities (crew inputs: the crew details of those activities).
NumericItemCounts deriveNumericItems(ProjectDb* db, const PrjInfo& info,
                                     const NumericItemOptions& options,
                                     std::span<const int32_t> records = {});

// Spreads each final-level work type's quantity over its activities in
// proportion to their durations ("wa1" order; the rounding remainder to the
// first largest share). Work types whose activities have no duration are
// skipped. Returns the number of activity records written.
int32_t spreadWorkTypeQuantities(ProjectDb* db, int quantityDecimals);

// Duration = quantity ÷ the work type's daily quantity, rounded up, for each
// given activity with a quantity above 0 whose work type is registered and
// has a daily quantity;
// the record is entered again with date mode 0 so its dates follow.
// Returns the records changed; *refused (may be null) counts refusals.
int32_t deriveDurationsFromDaily(ProjectDb* db, const PrjInfo& info, int quantityDecimals,
                                 std::span<const int32_t> records = {}, int32_t* refused = nullptr);

// Remaining durations and actual dates from the data date for each given
// activity without an actual finish; the quantity done of a time-shared
// activity under way is stored as its entry for the data date (replacing an
// entry of that day). Returns the records written; *entries (may be null)
// counts the time-shared entries stored.
int32_t deriveProjectProgress(ProjectDb* db, uint16_t dataDate, int quantityDecimals,
                              std::span<const int32_t> records = {}, int32_t* entries = nullptr);

// Crew details of the given activities (empty: all): planned input rounded
// up to whole units when roundUp is set (only resources of the class entry),
// then the input to date from the activity's progress. Returns the records
// changed.
int32_t deriveCrewInputs(ProjectDb* db, bool roundUp, const std::string& resourceClass,
                         int quantityDecimals, std::span<const int32_t> records = {});

}  // namespace kelvo

#endif  // KELVO_PROJECT_NUMERIC_H_

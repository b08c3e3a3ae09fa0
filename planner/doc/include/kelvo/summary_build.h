// Summary building: rolls the activities (or the crew details) of the open
// project up to the chosen classification levels and writes the rows, their
// period series, the field descriptors and the table header into summary
// file n of the working set (xCreateSumFile).
//
// A build reads the project's records, classification definitions (option
// slot 1), digit settings (the activity table's descriptors and the project
// information block) and the installed working calendars; it changes nothing
// in the project but the summary file it writes. On any failure no file is
// left under the summary's number that could be opened as a summary.
#ifndef KELVO_SUMMARY_BUILD_H_
#define KELVO_SUMMARY_BUILD_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kelvo/progress_stages.h"
#include "kelvo/summary_registry.h"
#include "xQdDb100.h"

namespace kelvo {

// Row kinds.
inline constexpr int16_t kRowWorkType = 0;
inline constexpr int16_t kRowFacility = 1;
inline constexpr int16_t kRowResource = 2;  // resource row, order "자원 - 작업"
inline constexpr int16_t kRowActivity = 4;
inline constexpr int16_t kRowCrewDetail = 6;  // resource code or crew detail's activity
inline constexpr int16_t kRowOther = 40;      // + level of the other classification
inline constexpr int16_t kRowResourceClass = 50;

// Fixed places of the activity summary row (the name follows at 396) and of
// the resource summary row (name at 185).
inline constexpr int kActRowFixed = 397;
inline constexpr int kResRowFixed = 186;
inline constexpr int kActRowKindAt = 282, kActRowRecordAt = 284, kActRowSeriesAt = 288,
                     kActRowLevelAt = 292, kActRowCodesAt = 294, kActRowActivityAt = 327,
                     kActRowUnitAt = 348, kActRowSizeAt = 355, kActRowNameAt = 396;
inline constexpr int kResRowKindAt = 60, kResRowRecordAt = 62, kResRowSeriesAt = 66,
                     kResRowLevelAt = 70, kResRowCodesAt = 72, kResRowActivityAt = 105,
                     kResRowOwnCodeAt = 126, kResRowUnitAt = 137, kResRowSizeAt = 144,
                     kResRowNameAt = 185;

// One period-series entry: the period day (a boundary) and six values
// (activity summaries: quantity, contract amount, contract progress,
// execution amount, execution progress, input amount; the plan block has the
// execution amount last) or one value (resource summaries: input quantity).
// Blocks: 0 plan, 1 actual, 2 expected.
struct SeriesEntry {
  uint16_t day = 0;
  double value[6] = {};
};
struct RowSeries {
  std::vector<SeriesEntry> block[3];
  bool empty() const { return block[0].empty() && block[1].empty() && block[2].empty(); }
};

// The digits of the project that summary tables take over (Part of the
// digit settings): widths and decimals per class.
struct SummaryDigits {
  int durationWidth = 5;
  int rateDecimals = 2;
  int amountWidth = 12, amountDecimals = 0;
  int priceWidth = 12, priceDecimals = 0;
  int quantityWidth = 12, quantityDecimals = 3;
};

// The digits of an open project: durations, quantities, prices and weights
// from the first activity field of each class, amounts from the project
// information block (integer digits 1..15, 12 when unset; decimals 0..9).
SummaryDigits summaryDigits(const ProjectDb* db, const PrjInfo& info);

// The work-type and facility classification levels of option slot 1 (count
// 0 when the slot is missing or damaged).
void readClassLevels(ProjectDb* db, ClassLevels levels[2]);

// True when a composition entry names a work-type or facility level that
// `levels` lacks.
bool levelMissing(int16_t entry, const ClassLevels levels[2]);

// Resource classes of option slot 5: four entries of a class character and
// a name of at most 20 bytes (22 bytes each). Missing entries are empty.
inline constexpr int kResourceClassSlot = 5;
inline constexpr int kResourceClassCount = 4;
inline constexpr int kResourceClassEntry = 22;
struct ResourceClass {
  char code = 0;
  std::string name;  // CP949
};
std::vector<ResourceClass> readResourceClasses(ProjectDb* db);

// Results of preparing and building.
inline constexpr int kSummaryDone = 0;
inline constexpr int kSummaryFileFailed = 20028;  // "파일을 만들 수 없습니다."
inline constexpr int kSummaryRefused = -1;        // a level chosen twice or out of order
inline constexpr int kSummaryOtherTwice = -2;     // the other classification twice
inline constexpr int kSummaryBadNumber = -3;      // number outside 1..48
inline constexpr int kSummaryNoneBuilt = -4;      // build all built nothing
inline constexpr int kSummaryNoReference = -5;    // Kelvo.ref lacks the row layout
inline constexpr int kSummaryTitleLong = -6;      // title above 40 bytes
inline constexpr int kSummaryNoSuchLevel = -7;    // a level the project lacks
inline constexpr int kSummaryStopped = -8;        // the progress listener stopped the build

// "등록된 집계자료가 없거나 파일을 만들 수 없습니다." and the overwrite question
// (UTF-8).
inline constexpr const char* kNoneBuiltMessage =
    "등록된 집계자료가 없거나 파일을 만들 수 없습니다.";
inline constexpr const char* kOverwriteQuestion =
    "같은 등록 번호의 집계파일이 있습니다. 겹쳐 쓰겠습니까?";
// Name of the total row (UTF-8; stored as CP949).
inline constexpr const char* kTotalRowName = "합 계";

// The UTF-8 text of a result ("" for kSummaryDone).
const char* summaryMessage(int result);

// Prepares a registration for building: a summary that is not a resource
// summary loses the resource options, a resource summary without either
// gets "자원 포함"; the order "자원 - 작업" takes no composition; otherwise the
// composition is checked (each entry as the composition dialog would accept
// it, classification levels within the project's definitions) and cut where
// both classifications reach their final level (the completing entry is
// kept only without "작업 포함"); an empty composition turns "작업 포함" on.
// Returns kSummaryDone or the refusal (the registration is then unchanged).
int prepareSummaryRegistration(SummaryRegistration& registration, const ClassLevels levels[2]);

// Width of the name field of a prepared registration; `activityNameWidth`
// is the width of the activity table's name field.
int summaryNameWidth(const SummaryRegistration& registration, int activityNameWidth);

// The summary table's descriptors: reference list 17 (activity summary) or
// 18 (resource summary) with the name field given nameWidth and every
// numeric field of a digit class given the project's digits. Empty when the
// list is missing or does not fit its row.
std::vector<FieldDesc> summaryFields(int32_t refHandle, bool resource, int nameWidth,
                                     const SummaryDigits& digits);

// Long work reports its progress: rows or records done and the whole. The
// listener returns false to stop the build; that is heeded while the rows
// are gathered (before anything is written) and ignored once the file is
// being written, which then runs to its end.
using SummaryProgress = std::function<bool(int32_t done, int32_t total)>;

// Builds summary `registration.number` of the open project: prepares the
// registration (the prepared one is written back), gathers the rows, stores
// the registration in option item 50 + number and writes the file. The new
// summary file stays open and *current becomes its number. Returns
// kSummaryDone, a refusal of the registration or kSummaryStopped (nothing
// touched: registration, summary files and *current as they were) or
// kSummaryFileFailed (the summary that was open before is open again).
int buildSummary(ProjectDb* db, const PrjInfo& info, SummaryRegistration& registration,
                 int16_t* current, const SummaryProgress& progress = {});

// Rebuilds every given registration (numbers 1..48 in order); afterwards the
// summary that was open before is open again when it is another one. A stop
// by the listener ends the run: the summaries rebuilt so far stay rebuilt,
// the one under way stays as it was. Returns the number of summaries built
// (0: kNoneBuiltMessage applies).
int buildSummaries(ProjectDb* db, const PrjInfo& info,
                   std::vector<SummaryRegistration>& registrations, int16_t* current,
                   const SummaryProgress& progress = {});

// Reads the period series of a row of the open summary file at `position`
// (resource summaries: one value per entry). False when the bytes there are
// not three well-formed blocks inside the file.
bool readRowSeries(ProjectDb* db, uint32_t position, bool resource, RowSeries& series);

}  // namespace kelvo

#endif  // KELVO_SUMMARY_BUILD_H_

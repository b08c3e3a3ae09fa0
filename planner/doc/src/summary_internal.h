// Pieces of the summary build shared by its source files: packed-date
// arithmetic for period boundaries, the values of one activity or crew
// detail, the rows being built and their period series.
#ifndef KELVO_DOC_SUMMARY_INTERNAL_H_
#define KELVO_DOC_SUMMARY_INTERNAL_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kelvo/schedule.h"
#include "kelvo/summary_build.h"

namespace kelvo::summary {

// ---------------------------------------------------------------------------
// Dates.

// Days since 1980-01-01 (every fourth year from 1980 a leap year) and back.
int32_t dayNumber(uint16_t packed);
uint16_t dateOfDayNumber(int32_t n);
uint16_t addDays(uint16_t packed, int32_t days);

// Period boundaries: the start day of month of each month, the start day of
// week of each week, or every day.
struct Boundaries {
  int unit = 0;             // 0 month, 1 week, 2 day
  int startDayOfMonth = 1;  // 1..28
  int startDayOfWeek = 0;   // 0 Sunday .. 6
  // The first boundary on or after `day`; 0 when there is none before 2108.
  uint16_t first(uint16_t day) const;
  // The boundary after `boundary`; 0 past 2107.
  uint16_t next(uint16_t boundary) const;
};

// ---------------------------------------------------------------------------
// Values.

double rounded(double v, int decimals);

// The 26 doubles of positions 46..246 of an activity summary row.
enum : int {
  kQty,
  kUser1,
  kUser2,
  kUser3,
  kPlanQtyD,
  kActQtyD,
  kRemQty,
  kPlanQtyP,
  kActQtyP,
  kContract,
  kExec,
  kInputD,
  kPlanContractD,
  kPlanExecD,
  kActContractD,
  kActExecD,
  kInputP,
  kPlanContractP,
  kPlanExecP,
  kActContractP,
  kActExecP,
  kRemInput,
  kExpTotalInput,
  kContractLessExec,
  kActualProfit,
  kExpectedProfit,
  kAmounts
};
// The seven percentages of positions 254..278.
enum : int {
  kExecRate,
  kInputRate,
  kExpInputRate,
  kPlanContractRate,
  kPlanExecRate,
  kActContractRate,
  kActExecRate,
  kRates
};
// The seven inputs of a resource summary row (positions 4..52).
enum : int {
  kPlanInput,
  kPlanInputD,
  kActInputD,
  kPlanInputP,
  kActInputP,
  kExpRemInput,
  kExpTotalInputQ,
  kInputs
};

struct Settings {
  SummaryDigits digits;
  uint16_t dataDate = 0;
  uint16_t periodStart = 0;
  Boundaries bounds;
  bool series = false;
  bool weights = false;
};

// One activity as the build reads it, with its time-shared entries
// (ascending days; cumulative quantities).
struct Activity {
  int32_t record = -1;
  ActRecord act{};
  std::vector<SpaEntry> shared;
};

// Activity values: amounts and weights summed over a row, rates from them.
struct Values {
  double amount[kAmounts] = {};
  float rate[kRates] = {};
  float weight[2] = {};
};

Values activityValues(const Activity& a, const Settings& s, WorkCalendars& calendars);
// Percentages from the amounts, rounded to the rate decimals.
void deriveRates(Values& v, const SummaryDigits& digits);
// Zeroes the quantity places (46, 78, 86, 94, 102, 110).
void clearQuantities(Values& v);

// The series of one activity (progress places hold weights when s.weights,
// else 0 until the row's merge fills them in).
RowSeries activitySeries(const Activity& a, const Values& v, const Settings& s,
                         WorkCalendars& calendars);

// One crew detail with its activity.
struct CrewDetail {
  int32_t record = -1;
  OprRecord opr{};
  int32_t activity = -1;  // index into the activities
  int32_t resource = -1;  // record in res, -1 when not registered
};
struct Inputs {
  int32_t duration = 0;
  double input[kInputs] = {};
};
Inputs crewValues(const CrewDetail& c, const Activity& a, const Settings& s,
                  WorkCalendars& calendars);
RowSeries crewSeries(const CrewDetail& c, const Activity& a, const Inputs& v, const Settings& s,
                     WorkCalendars& calendars);

// ---------------------------------------------------------------------------
// Rows.

// Dates rolled up over a row's activities.
struct RowDates {
  int32_t members = 0;
  bool allFinished = true;
  int calendar = -1;  // -1 none yet; rows that mix calendars count on 1
  uint16_t actualStart = 0, actualFinish = 0;
  uint16_t earlyStart = 0, lateStart = 0, earlyFinish = 0, lateFinish = 0;
  uint16_t plannedStart = 0, plannedFinish = 0;
  uint16_t plannedES = 0, plannedEF = 0, plannedLS = 0, plannedLF = 0;
  void add(const ActRecord& act);
};

struct Row {
  std::string key;
  int16_t kind = 0;
  int16_t level = 0;
  int32_t record = -1;
  bool quantities = true;
  bool single = false;  // an activity row: the activity's own dates
  char codes[3][11] = {};
  char activityCode[21] = {};
  char ownCode[11] = {};
  char unit[7] = {};
  char size[41] = {};
  std::string name;                 // CP949, before indentation and numbering
  const ActRecord* head = nullptr;  // the activity of a single row
  RowDates dates;
  Values values;
  Inputs inputs;
  std::vector<int32_t> members;  // activities or crew details
  RowSeries series;
};

// The bytes of the first 78 positions of a rolled-up row.
void encodeRowHead(const Row& row, uint16_t dataDate, WorkCalendars& calendars, uint8_t* out);

// The whole row as stored: an activity summary row (name width + 397
// bytes) or a resource summary row (name width + 186 bytes); `out` has the
// record length, `name` is the name as shown.
void encodeActivityRow(const Row& row, const std::string& name, uint32_t seriesAt,
                       uint16_t dataDate, WorkCalendars& calendars, std::vector<uint8_t>& out);
void encodeResourceRow(const Row& row, const std::string& name, uint32_t seriesAt,
                       std::vector<uint8_t>& out);

// Merges the series of a row's members by block and day; with `amounts`
// (activity summaries without weights) the progress places become
// percentages of the row's contract and execution amounts closing at 100.
RowSeries mergeSeries(const std::vector<const RowSeries*>& parts, int valueCount, bool quantities,
                      const Values* amounts, const SummaryDigits& digits);

// The series as stored: per block, entries of a u16 day and valueCount
// doubles, then a u16 0.
void appendSeries(const RowSeries& series, int valueCount, std::vector<uint8_t>& out);
// The bytes appendSeries adds.
uint64_t seriesSize(const RowSeries& series, int valueCount);

// Working days on `calendar` from `from` up to, not including, `to`; 0 when
// either is missing or `to` is not after `from`.
int32_t workingDays(WorkCalendars& calendars, int calendar, uint16_t from, uint16_t to);

}  // namespace kelvo::summary

#endif  // KELVO_DOC_SUMMARY_INTERNAL_H_

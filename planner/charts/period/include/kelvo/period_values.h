// Values per period of the open summary's rows: which value of a period
// entry a value item names (quantity, amounts, progress rates), from which
// block (plan, actual, expected, or actual continued by expected), per
// period or as running totals, and with how many decimals it is shown.
#ifndef KELVO_PERIOD_VALUES_H_
#define KELVO_PERIOD_VALUES_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kelvo/project_digits.h"
#include "kelvo/summary_build.h"

namespace kelvo {

// One value row of a period sheet (38 bytes).
#pragma pack(push, 1)
struct ValueItem {
  int16_t item;        // 0 quantity, 1 contract amount, 2 contract rate, 3 execution
                       // amount, 4 execution rate, 5 input amount
  int16_t series;      // 0 plan, 1 actual, 2 expected, 3 actual then expected
  int16_t cumulative;  // nonzero: running totals
  char title[32];      // the row's title, CP949 ending in 0 ("": its caption)
};
#pragma pack(pop)
static_assert(sizeof(ValueItem) == 38, "a value item is 38 bytes");
static_assert(offsetof(ValueItem, cumulative) == 4, "the sheet reads three words");
static_assert(offsetof(ValueItem, title) == 6, "the title follows them");

inline constexpr int kSeriesPlan = 0, kSeriesActual = 1, kSeriesExpected = 2,
                     kSeriesActualExpected = 3;

// A value at a period's day.
struct PeriodValue {
  uint16_t day = 0;
  double value = 0;
  bool operator==(const PeriodValue&) const = default;
};

// The values of `item` in a row's series, in file order. "실적+예상" walks
// the actual block and then the expected one; an expected entry on the day
// of the last actual entry is added to it (one value). Cumulative items
// carry a running total through both blocks. An item outside 0..5, an item
// above 0 of a resource summary or a series outside 0..3 gives nothing.
std::vector<PeriodValue> periodValues(const RowSeries& series, const ValueItem& item,
                                      bool resource);

// The decimals a value of `item` is shown with: quantity decimals for item
// 0 and for resource summaries, weight decimals for the rates (2, 4),
// amount decimals for the amounts (1, 3, 5).
int periodDecimals(int item, bool resource, const ProjectDigits& digits);

// True when the open summary table is a resource summary.
bool summaryIsResources(const ProjectDb* db);

// Reads the series of a summary row (the record bytes of the open summary
// table). False, with the series empty, when the row has no series or its
// bytes are not well-formed.
bool readSummaryRowSeries(ProjectDb* db, const uint8_t* record, bool resource, RowSeries* series);

// Reads the series of the open summary's total row (its last record).
// False, with the series empty, when there is none.
bool readSummaryTotalSeries(ProjectDb* db, RowSeries* series);

// Two S-curves of one row, in percent of the planned total: the running
// total of the plan and that of the actual progress, on the same axis. The
// item is the first of the contract amount, the execution amount and the
// quantity (resource summaries: the quantity) whose plan adds up to more
// than 0; both are empty when none does.
struct PlanActualCurves {
  int item = 0;
  double planTotal = 0;
  std::vector<PeriodValue> plan;
  std::vector<PeriodValue> actual;
};
PlanActualCurves planActualCurves(const RowSeries& series, bool resource);

}  // namespace kelvo

#endif  // KELVO_PERIOD_VALUES_H_

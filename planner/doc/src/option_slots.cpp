#include "kelvo/option_slots.h"

#include <vector>

#include "xQdDb100.h"

namespace kelvo {
namespace {

static_assert(kOptClassDefs == XQD_CLASSES_OPTION);

using K = ViewKind;

constexpr OptionSlotRange kFixed[] = {
    {kOptClassDefs, 1, 404, "document: classification definitions"},
    {kOptSideCaptions, 1, 130, "time scale: side-area captions"},
    {XQD_OPT_DATE_INFO, 1, 12, "store: date settings"},
    {kOptOpenSummary, 1, 2, "document: open summary number"},
    {kOptResourceClasses, 1, 0, "summaries: resource classes"},
    {15, 10, 0, "map view: row and column code lists and displayed levels"},
    {kOptMapItem, 1, 0, "map view: shared displayed item"},
    {kOptChartBlock, 1, 498, "period chart: bar block"},
    {XQD_OPT_CALENDAR_COUNT, 8, 2, "store: working-day counts of calendars 1-8"},
    {XQD_OPT_CALENDAR_DAYS, 8, 0, "store: working days of calendars 1-8"},
    {XQD_OPT_SUMMARY + 1, XQD_SUMMARY_MAX, 82, "store: summary file registrations"},
    {kOptValueEntries, kValueSheets, 0, "value sheets: entries"},
    {kOptValueHeader, kValueSheets, 36, "value sheets: decimals and title"},
    {kOptValueLink, kValueSheets, 14, "value sheets: link to summary data"},
};

// A record of each kind in `kinds` at item base + kind.
struct KindRange {
  KindRecord record;
  int base;
  uint64_t kinds;
  uint32_t size;
  const char* owner;
};

constexpr uint64_t kAllViews = (uint64_t{1} << (kindNumber(K::UserReport) + 1)) - 1;  // 0..21
constexpr uint64_t kSheetColumns = kindBits(
    {K::WorkTypeSheet, K::FacilitySheet, K::Resources, K::Crews, K::Activities, K::Relations,
     K::CrewDetails, K::Summary, K::ResourceSummary, K::WorkTypeTree, K::FacilityTree,
     K::GanttTable, K::GanttSummaryTable, K::ValueSheet, K::PeriodSheet, K::PeriodResourceSheet});
constexpr uint64_t kPanes =
    kindBits({K::Predecessors, K::Successors, K::PaneCrewDetails, K::TimeShared, K::PaneCrews});
constexpr uint64_t kPeriodSheets = kindBits({K::PeriodSheet, K::PeriodResourceSheet});

constexpr KindRange kPerKind[] = {
    {KindRecord::Settings, 100, kAllViews, 0, "views: settings of the kind"},
    {KindRecord::Columns, 132, kSheetColumns, 0, "sheets: column records"},
    {KindRecord::PrintFormat, 164, kAllViews, 0, "views: print format"},
    {KindRecord::PaneFormat, 348, kPanes, 150, "Gantt panes: grid format block"},
    {KindRecord::PaneColumns, 358, kPanes, 0, "Gantt panes: column records (46 bytes each)"},
    {KindRecord::Band, -2, kindBits({K::GanttChart, K::GanttSummaryChart}), 554,
     "Gantt chart: period band"},
    {KindRecord::Band, -4, kindBit(K::Network), 554, "network chart: period band"},
    {KindRecord::Band, -5, kPeriodSheets, 554, "period sheet: period band"},
    {KindRecord::Band, 132, kindBit(K::PeriodChart), 554, "period chart: period band"},
    {KindRecord::ValueItems, -12, kPeriodSheets, 0, "period sheet: value items"},
    {KindRecord::RowSource, -10, kPeriodSheets, 126, "period sheet: filter and order"},
    {KindRecord::RowSource, 132, kindBit(K::UserReport), 0, "user report: filter"},
};

std::vector<OptionSlotRange> expandedTable() {
  std::vector<OptionSlotRange> table(std::begin(kFixed), std::end(kFixed));
  for (const KindRange& r : kPerKind)
    for (int k = 0; k < kViewKindLimit; ++k)
      if (r.kinds & (uint64_t{1} << k)) table.push_back({r.base + k, 1, r.size, r.owner});
  return table;
}

}  // namespace

int kindItem(KindRecord record, ViewKind kind) {
  if (!isViewKindNumber(kindNumber(kind))) return -1;
  for (const KindRange& r : kPerKind)
    if (r.record == record && (r.kinds & kindBit(kind))) return r.base + kindNumber(kind);
  return -1;
}

std::span<const OptionSlotRange> optionSlotTable() {
  static const std::vector<OptionSlotRange> table = expandedTable();
  return table;
}

}  // namespace kelvo

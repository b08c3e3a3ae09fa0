#include "kelvo/option_slots.h"

#include "xQdDb100.h"

namespace kelvo {
namespace {

constexpr OptionSlotRange kSlots[] = {
    {kOptClassDefs, 1, 404, "document: classification definitions"},
    {XQD_OPT_DATE_INFO, 1, 12, "store: date settings"},
    {kOptOpenSummary, 1, 2, "document: open summary number"},
    {kOptResourceClasses, 1, 0, "summaries: resource classes"},
    {kOptMapItem, 1, 0, "map view: shared displayed item"},
    {XQD_OPT_CALENDAR_COUNT, 8, 2, "store: working-day counts of calendars 1-8"},
    {XQD_OPT_CALENDAR_DAYS, 8, 0, "store: working days of calendars 1-8"},
    {XQD_OPT_SUMMARY + 1, XQD_SUMMARY_MAX, 82, "store: summary file registrations"},
};

}  // namespace

std::span<const OptionSlotRange> optionSlotTable() {
  return kSlots;
}

}  // namespace kelvo

// Which summary records go on which report page: the body band of each
// record kind, page breaks by classification level and by the room above
// the footer, the cover page and the page numbers.
#ifndef KELVO_REPORT_PAGES_H_
#define KELVO_REPORT_PAGES_H_

#include <cstdint>
#include <vector>

#include "kelvo/report_settings.h"

namespace kelvo {

// What pagination needs of a summary record: its row kind and row level.
struct ReportRow {
  int16_t kind = 0;
  int16_t level = 0;
};

// The body band of a row kind: 0 work-type classification 2, 1 facility 3,
// 2 resource 7, 4 activity 5, 6 crew detail 8, 50 resource classification
// 6, any other kind (other classifications) 4.
int reportBand(int16_t rowKind);

// The height a record takes: the larger of the common band and its own.
int32_t rowHeight(const ReportSettings& settings, int16_t rowKind);

// One printed page: the rows [first, end) of the record set, or the cover
// (first = -1).
struct ReportPage {
  int32_t first = -1;
  int32_t end = -1;
  bool cover() const { return first < 0; }
};

// The pages of the report over rows in record-set order: the cover first
// when its flag is set, then, when the body flag is set, body pages. A page
// ends before a record whose level is above the previous record's (smaller,
// not 0) and not deeper than the break level (0: no such breaks), and
// before a record that does not fit above the footer. Every body page holds
// at least one record, so a record taller than the page gets a page of its
// own instead of stopping the report. No rows: one empty body page.
std::vector<ReportPage> assignReportPages(const std::vector<ReportRow>& rows,
                                          const ReportSettings& settings);

// The number printed on page index (0-based in the list above); 0 when the
// page carries no number (a cover unless numbering starts at the cover).
int reportPageNumber(const ReportSettings& settings, const std::vector<ReportPage>& pages,
                     int index);

// The page's body: from the top margin plus the header to the footer's top,
// as distances from the paper's top edge (0.1 mm, downward positive).
int32_t bodyTop(const ReportSettings& settings);
int32_t footerTop(const ReportSettings& settings);

}  // namespace kelvo

#endif  // KELVO_REPORT_PAGES_H_

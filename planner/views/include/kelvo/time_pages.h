// The printed pages of a time-scaled view, without widgets: which part of
// the axis and which rows each page across and down holds, with the scale
// strip repeated on every page and the pages a view prints before its axis
// (the Gantt chart's sheet columns); and the scale that fits a chart to a
// number of pages.
#ifndef KELVO_TIME_PAGES_H_
#define KELVO_TIME_PAGES_H_

#include <cstdint>
#include <vector>

#include "kelvo/time_scale.h"

namespace kelvo {

// The right edge of the last page across: it ends where the view ends.
inline constexpr int32_t kOpenRight = INT32_MAX;

// What a print job asks of the axis. Widths and heights are logical units.
struct TimePageRequest {
  int32_t bodyWidth = 1;      // a page's printable width
  int32_t bodyHeight = 1;     // a page's printable height, the strip included
  int32_t repeatedStrip = 0;  // the scale strip's height on every page; 0: not printed
  int32_t rowNumbers = 0;     // the row-number column at every page's left; 0: not printed
  int32_t rowCount = 0;       // rows that print
  int leadingPages = 0;       // pages across printed before the axis
  // Of the last leading page, the width the view uses itself; the axis
  // begins right after it on that page. Ignored unless 0 < it < bodyWidth.
  int32_t sharedWidth = 0;
};

// One page of the axis. Columns count the job's pages across, leading
// pages included; a leading page that is not shared holds no axis.
struct TimePage {
  // The part of the axis on the page: left <= x < right (right is
  // kOpenRight on the last page across, which ends with the view).
  int32_t left = 0;
  int32_t right = 0;
  // The days that begin on the page (dateAt(left), dateAt(right - 1) on
  // the axis; 0 left of it, kRightArea right of it).
  uint16_t firstDate = 0;
  uint16_t lastDate = 0;
  // Rows firstRow..lastRow (lastRow < firstRow: none).
  int32_t firstRow = 0;
  int32_t lastRow = -1;
  // The logical point at the top left of the page body.
  int32_t originX = 0;
  int32_t originY = 0;
};

struct TimePagePlan {
  // Where each page of the axis starts (the first at 0).
  std::vector<int32_t> starts;
  int32_t rowsPerPage = 1;
  int pagesAcross = 1;  // the whole job's, leading pages included
  int pagesDown = 1;
  int leadingPages = 0;
  int32_t sharedWidth = 0;  // 0 when no page is shared
  int32_t strip = 0;        // the repeated strip's height, 0 when it does not print
  int32_t rowNumbers = 0;   // the row-number column's width, 0 when it does not print
  // A page's width beside the column, for the axis and the view's own
  // part; not positive when the column leaves no room.
  int32_t axisWidth = 1;
  int32_t rowHeight = 1;
  int32_t rowCount = 0;

  // The page across where the axis begins (the shared page, if any).
  int firstAxisPage() const { return leadingPages - (sharedWidth > 0 ? 1 : 0); }
  // Page (column, row); columns and rows outside the job are clamped to it.
  TimePage page(const TimeScale& scale, int column, int row) const;
};

// Plans the pages: the axis cut into pages across as TimeScale::pageStarts
// cuts it (the shared page holding only what the view leaves of it), each
// page down holding as many whole rows as fit under the strip (at least one).
TimePagePlan planTimePages(const TimeScale& scale, const TimePageRequest& request);

// Fit to paper: the factors and the settings that print the whole chart
// on pagesAcross x pagesDown pages, of which leadingPages across are the
// view's own before the axis (the last shared by sharedWidth). Across, one
// scaled day is kept free per page boundary, as page edges move back to
// the start of their day; down, rows share the pages evenly. Fonts scale by
// the smaller factor, never to height 0.
struct TimeScaleFit {
  double across = 1;  // the factor on widths
  double down = 1;    // the factor on row heights
  double fonts = 1;   // the factor on font heights
  TimeScaleSettings settings{};
};
TimeScaleFit fitTimeScale(const TimeScale& scale, const TimePageRequest& request, int pagesAcross,
                          int pagesDown);

}  // namespace kelvo

#endif  // KELVO_TIME_PAGES_H_

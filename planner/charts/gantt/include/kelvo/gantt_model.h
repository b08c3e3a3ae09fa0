// The Gantt chart as geometry, without widgets: the chart's stored block,
// the bars of one activity row and the route of a relation link, all in
// logical units (0.1 mm, y up; row r's top at -r x row height) through the
// time scale. The view paints what these functions return.
#ifndef KELVO_GANTT_MODEL_H_
#define KELVO_GANTT_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kelvo/time_scale.h"
#include "xJorLib.h"

namespace kelvo {

// The chart's own block, stored after the time-scale settings (32 bytes).
#pragma pack(push, 1)
struct GanttBlock {
  int16_t activityMark;   // end-mark shape of activity bars (ganttmark::*)
  int16_t milestoneMark;  // shape of a milestone
  int16_t plannedMark;    // end-mark shape of planned bars
  int16_t barHeight;      // one bar
  int16_t leftLabel;      // field written left of the bar, -1 none
  int16_t rightLabel;     // field written right of the bar, -1 none
  COLORREF activityColor;
  COLORREF milestoneColor;
  COLORREF plannedColor;
  COLORREF criticalColor;
  COLORREF linkColor;
};
#pragma pack(pop)
static_assert(sizeof(GanttBlock) == 32, "the Gantt block is 32 bytes");
static_assert(offsetof(GanttBlock, activityColor) == 12, "colours follow the six words");
static_assert(offsetof(GanttBlock, linkColor) == 28, "the link colour closes the block");

// The block of a new chart.
GanttBlock defaultGanttBlock();

// Scale flags of the chart (beside the shared ones of kelvo/time_scale.h).
namespace ganttflag {
inline constexpr uint16_t kLinks = 0x0008;
inline constexpr uint16_t kPlannedBars = 0x0010;
inline constexpr uint16_t kPlannedSameBand = 0x0020;
inline constexpr uint16_t kFloatBars = 0x1000;
// What a new chart adds to the shared default flags.
inline constexpr uint16_t kDefaultExtra = 0x1208;
}  // namespace ganttflag

// The time-scale settings of a new chart: the shared defaults with links,
// float bars and bit 9 on, and no row-number column (the sheet pane beside
// the chart labels the rows).
TimeScaleSettings defaultGanttScale(uint16_t projectStart, uint16_t projectFinish);

// Shapes of bar ends and milestones.
namespace ganttmark {
inline constexpr int kNone = 0;
inline constexpr int kTriangleInside = 1;
inline constexpr int kDiamond = 2;
inline constexpr int kDown = 3;  // hollow bars become a line along the bottom
inline constexpr int kUp = 4;    // hollow bars become a line along the top
}  // namespace ganttmark

// The dates of a row, read from the head of an activity record or summary
// row (bytes 0..77, the same positions in both).
struct GanttDates {
  int16_t duration = 0;
  int16_t totalFloat = 0;
  uint16_t start = 0, finish = 0;
  uint16_t earlyStart = 0, earlyFinish = 0;
  uint16_t lateStart = 0, lateFinish = 0;
  uint16_t actualStart = 0, actualFinish = 0;
  uint16_t plannedStart = 0, plannedFinish = 0;
};
// Reads the head of record (at least 78 bytes).
GanttDates ganttDates(const void* record);

// The finish a row shows: a milestone (no duration) finishes on its start,
// whatever day the stored finish holds.
uint16_t shownFinish(int16_t duration, uint16_t start, uint16_t finish);

// The next calendar day (the day a bar that ends on `date` reaches to).
uint16_t dayAfter(uint16_t date);

enum class BarRole : uint8_t { Planned, Actual, Remaining, Float };

// One bar or mark. A mark alone (markOnly) stands at left; a bar runs from
// left to right with its start mark and, when it has length, its end mark.
struct GanttBar {
  BarRole role = BarRole::Remaining;
  bool filled = false;
  bool dotted = false;
  bool markOnly = false;
  int mark = ganttmark::kNone;
  COLORREF color = 0;
  int32_t left = 0, right = 0;
  int32_t top = 0, bottom = 0;
};

// y of the top of the current bars (actual, remaining, float) of row: the
// bar band centred in the row, below the planned band when planned bars
// have one of their own.
int32_t currentBarTop(int32_t row, const TimeScale& scale, const GanttBlock& block);
// y of the top of the planned bar of row.
int32_t plannedBarTop(int32_t row, const TimeScale& scale, const GanttBlock& block);

// Appends the bars of one row in drawing order (planned, actual, remaining,
// float). dataDate is the project's data date. Nothing is drawn from a date
// of 0; a bar whose end is not after its start becomes its start mark.
void appendRowBars(const GanttDates& dates, int32_t row, const TimeScale& scale,
                   const GanttBlock& block, uint16_t dataDate, std::vector<GanttBar>* out);

// Whether a bar overlaps the x range [left, right] widened by half a bar
// height on both sides.
bool barInRange(const GanttBar& bar, int32_t left, int32_t right, int16_t barHeight);

// Where the label texts go: the left one ends at leftEnd, the right one
// starts at rightStart. False for a side whose anchor date is 0.
struct LabelAnchors {
  bool left = false, right = false;
  int32_t leftEnd = 0, rightStart = 0;
};
LabelAnchors labelAnchors(const GanttDates& dates, const TimeScale& scale, const GanttBlock& block);

// A relation link: the rows of its two activities and the days at which it
// leaves the predecessor and reaches the successor.
struct GanttLink {
  int32_t predRow = 0, succRow = 0;
  uint16_t leaveDay = 0, reachDay = 0;
};
// The link of a relation of kind (0 FS, 1 FF, 2 SS, 3 SF; others as FS):
// it leaves at the predecessor's start (SS, SF) or the day after its shown
// finish (FS, FF) and reaches the successor's start (FS, SS) or the day
// after its shown finish (FF, SF).
GanttLink makeLink(const GanttDates& pred, int32_t predRow, const GanttDates& succ, int32_t succRow,
                   int kind);

// The drawn route: a polyline of four points (out of the predecessor's
// facing edge, 10 units toward the successor, across to the reached day,
// to the successor's facing edge) and the two strokes of the arrowhead,
// each from the tip.
struct LinkRoute {
  int32_t x[4] = {}, y[4] = {};
  int32_t headX[2] = {}, headY[2] = {};
};
LinkRoute routeLink(const GanttLink& link, const TimeScale& scale, const GanttBlock& block);

// Whether a link is drawn when rows firstRow..lastRow and days
// firstDay..lastDay are visible: its days overlap the range and at least
// one of its rows is visible.
bool linkVisible(const GanttLink& link, int32_t firstRow, int32_t lastRow, uint16_t firstDay,
                 uint16_t lastDay);

}  // namespace kelvo

#endif  // KELVO_GANTT_MODEL_H_

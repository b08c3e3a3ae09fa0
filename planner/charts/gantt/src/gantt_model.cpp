#include "kelvo/gantt_model.h"

#include <algorithm>
#include <cstring>

#include "xjor/packed_date.h"

namespace kelvo {
namespace {

constexpr int32_t kBandGap = 5;    // between a planned band and the current one
constexpr int32_t kLinkStub = 10;  // a link's first leg out of its bar
constexpr int32_t kArrowLength = 10;

template <typename T>
T readAt(const void* record, size_t offset) {
  T v;
  std::memcpy(&v, static_cast<const char*>(record) + offset, sizeof v);
  return v;
}

bool separatePlannedBand(const TimeScale& scale) {
  const uint16_t f = scale.settings().flags;
  return (f & ganttflag::kPlannedBars) && !(f & ganttflag::kPlannedSameBand);
}

int32_t bandOffset(const TimeScale& scale, const GanttBlock& block) {
  const int32_t rh = scale.settings().rowHeight;
  const int32_t f = separatePlannedBand(scale) ? (rh - 2 * block.barHeight - kBandGap) / 2
                                               : (rh - block.barHeight) / 2;
  return std::max(0, f);
}

// A bar from `from` to the day `to` reaches, or its start mark when `to`
// does not lie after `from`.
GanttBar span(BarRole role, uint16_t from, uint16_t to, int32_t top, const TimeScale& scale,
              const GanttBlock& block) {
  GanttBar bar;
  bar.role = role;
  bar.left = scale.x(from);
  bar.markOnly = to == 0 || xjor::dayNumber(to) <= xjor::dayNumber(from);
  bar.right = bar.markOnly ? bar.left : scale.x(to);
  bar.top = top;
  bar.bottom = top - block.barHeight;
  return bar;
}

GanttBar milestone(BarRole role, uint16_t day, int32_t top, bool filled, const TimeScale& scale,
                   const GanttBlock& block) {
  GanttBar bar = span(role, day, 0, top, scale, block);
  bar.filled = filled;
  bar.mark = block.milestoneMark;
  bar.color = block.milestoneColor;
  return bar;
}

}  // namespace

GanttBlock defaultGanttBlock() {
  GanttBlock b{};
  b.activityMark = ganttmark::kNone;
  b.milestoneMark = ganttmark::kDown;
  b.plannedMark = ganttmark::kTriangleInside;
  b.barHeight = 20;
  b.leftLabel = -1;
  b.rightLabel = -1;
  b.activityColor = 0xFF0000;
  b.milestoneColor = 0x008000;
  b.plannedColor = 0x808000;
  b.criticalColor = 0x0000FF;
  b.linkColor = 0xFF0000;
  return b;
}

TimeScaleSettings defaultGanttScale(uint16_t projectStart, uint16_t projectFinish) {
  TimeScaleSettings s = defaultTimeScale(projectStart, projectFinish);
  s.flags |= ganttflag::kDefaultExtra;
  s.rowNumberWidth = 0;
  return s;
}

GanttDates ganttDates(const void* record) {
  GanttDates d;
  d.duration = readAt<int16_t>(record, 2);
  d.totalFloat = readAt<int16_t>(record, 6);
  d.start = readAt<uint16_t>(record, 8);
  d.finish = readAt<uint16_t>(record, 10);
  d.earlyStart = readAt<uint16_t>(record, 12);
  d.earlyFinish = readAt<uint16_t>(record, 14);
  d.lateStart = readAt<uint16_t>(record, 16);
  d.lateFinish = readAt<uint16_t>(record, 18);
  d.actualStart = readAt<uint16_t>(record, 20);
  d.actualFinish = readAt<uint16_t>(record, 22);
  d.plannedStart = readAt<uint16_t>(record, 26);
  d.plannedFinish = readAt<uint16_t>(record, 28);
  return d;
}

uint16_t shownFinish(int16_t duration, uint16_t start, uint16_t finish) {
  return duration == 0 && start != 0 ? start : finish;
}

uint16_t dayAfter(uint16_t date) {
  return date == 0 ? 0 : xjor::dateFromDayNumber(xjor::dayNumber(date) + 1);
}

int32_t plannedBarTop(int32_t row, const TimeScale& scale, const GanttBlock& block) {
  return scale.rowTop(row) - bandOffset(scale, block);
}

int32_t currentBarTop(int32_t row, const TimeScale& scale, const GanttBlock& block) {
  const int32_t top = plannedBarTop(row, scale, block);
  return separatePlannedBand(scale) ? top - block.barHeight - kBandGap : top;
}

void appendRowBars(const GanttDates& d, int32_t row, const TimeScale& scale,
                   const GanttBlock& block, uint16_t dataDate, std::vector<GanttBar>* out) {
  const uint16_t flags = scale.settings().flags;
  const bool isMilestone = d.duration == 0;
  if ((flags & ganttflag::kPlannedBars) && d.plannedStart != 0) {
    GanttBar bar = span(BarRole::Planned, d.plannedStart,
                        isMilestone || d.plannedFinish == 0 ? 0 : dayAfter(d.plannedFinish),
                        plannedBarTop(row, scale, block), scale, block);
    bar.filled = true;
    bar.mark = block.plannedMark;
    bar.color = block.plannedColor;
    out->push_back(bar);
  }
  const int32_t top = currentBarTop(row, scale, block);
  if (d.actualStart != 0) {
    if (isMilestone) {
      out->push_back(milestone(BarRole::Actual, d.actualStart, top, true, scale, block));
    } else {
      GanttBar bar = span(BarRole::Actual, d.actualStart,
                          d.actualFinish ? dayAfter(d.actualFinish) : dataDate, top, scale, block);
      bar.filled = true;
      bar.mark = block.activityMark;
      bar.color = block.activityColor;
      out->push_back(bar);
    }
  }
  const bool remaining = d.actualFinish == 0 && (d.actualStart == 0 || d.duration > 0);
  const uint16_t from = d.actualStart != 0 ? dataDate : d.earlyStart;
  if (!remaining || from == 0) return;
  const bool critical = d.totalFloat < 1;
  if (isMilestone) {
    out->push_back(milestone(BarRole::Remaining, from, top, critical, scale, block));
  } else {
    GanttBar bar = span(BarRole::Remaining, from, dayAfter(d.earlyFinish), top, scale, block);
    bar.filled = critical;
    bar.mark = block.activityMark;
    bar.color = critical ? block.criticalColor : block.activityColor;
    out->push_back(bar);
  }
  if (!(flags & ganttflag::kFloatBars) || d.totalFloat == 0) return;
  // Positive float runs from the early finish to the late finish, negative
  // float from the late start back to the start.
  const uint16_t floatFrom = d.totalFloat > 0 ? dayAfter(d.earlyFinish) : d.lateStart;
  const uint16_t floatTo = d.totalFloat > 0 ? dayAfter(d.lateFinish) : d.start;
  if (floatFrom == 0 || floatTo == 0) return;
  GanttBar bar = span(BarRole::Float, floatFrom, floatTo, top, scale, block);
  if (bar.markOnly) return;
  bar.dotted = true;
  bar.mark = block.activityMark;
  bar.color = block.activityColor;
  out->push_back(bar);
}

bool barInRange(const GanttBar& bar, int32_t left, int32_t right, int16_t barHeight) {
  const int32_t half = barHeight / 2;
  return bar.right >= left - half && bar.left <= right + half;
}

LabelAnchors labelAnchors(const GanttDates& d, const TimeScale& scale, const GanttBlock& block) {
  LabelAnchors a;
  const int32_t half = block.barHeight / 2;
  const uint16_t leftDay = d.totalFloat < 0 ? d.lateStart : d.start;
  const uint16_t rightDay =
      d.totalFloat > 0 ? d.lateFinish : shownFinish(d.duration, d.start, d.finish);
  if (leftDay != 0) {
    a.left = true;
    a.leftEnd = scale.x(leftDay) - half;
  }
  if (rightDay != 0) {
    a.right = true;
    a.rightStart =
        scale.x(d.duration == 0 && rightDay == d.start ? rightDay : dayAfter(rightDay)) + half;
  }
  return a;
}

GanttLink makeLink(const GanttDates& pred, int32_t predRow, const GanttDates& succ, int32_t succRow,
                   int kind) {
  const auto endDay = [](const GanttDates& d) {
    return d.duration == 0 ? d.start : dayAfter(d.finish);
  };
  const bool leavesStart = kind == 2 || kind == 3;
  const bool reachesFinish = kind == 1 || kind == 3;
  GanttLink link;
  link.predRow = predRow;
  link.succRow = succRow;
  link.leaveDay = leavesStart ? pred.start : endDay(pred);
  link.reachDay = reachesFinish ? endDay(succ) : succ.start;
  return link;
}

LinkRoute routeLink(const GanttLink& link, const TimeScale& scale, const GanttBlock& block) {
  LinkRoute r;
  const int32_t predTop = currentBarTop(link.predRow, scale, block);
  const int32_t succTop = currentBarTop(link.succRow, scale, block);
  const bool down = link.succRow >= link.predRow;
  // Down: out of the predecessor's bottom edge into the successor's top;
  // up: out of its top edge into the successor's bottom. A successor on the
  // same row is reached from above.
  const int32_t leave = link.succRow > link.predRow ? predTop - block.barHeight : predTop;
  const int32_t stub = link.succRow > link.predRow ? leave - kLinkStub : leave + kLinkStub;
  const int32_t reach = down ? succTop : succTop - block.barHeight;
  const int32_t fromX = scale.x(link.leaveDay);
  const int32_t toX = scale.x(link.reachDay);
  r.x[0] = fromX, r.y[0] = leave;
  r.x[1] = fromX, r.y[1] = stub;
  r.x[2] = toX, r.y[2] = stub;
  r.x[3] = toX, r.y[3] = reach;
  const int32_t back = down ? kArrowLength : -kArrowLength;
  r.headX[0] = toX - kArrowLength, r.headY[0] = reach + back;
  r.headX[1] = toX + kArrowLength, r.headY[1] = reach + back;
  return r;
}

bool linkVisible(const GanttLink& link, int32_t firstRow, int32_t lastRow, uint16_t firstDay,
                 uint16_t lastDay) {
  if (link.leaveDay == 0 || link.reachDay == 0) return false;
  const auto rowShown = [&](int32_t row) { return row >= firstRow && row <= lastRow; };
  if (!rowShown(link.predRow) && !rowShown(link.succRow)) return false;
  const uint16_t lo = std::min(link.leaveDay, link.reachDay);
  const uint16_t hi = std::max(link.leaveDay, link.reachDay);
  return hi >= firstDay && lo <= lastDay;
}

}  // namespace kelvo

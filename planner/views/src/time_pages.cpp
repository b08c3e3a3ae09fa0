#include "kelvo/time_pages.h"

#include <algorithm>

namespace kelvo {
namespace {

constexpr int32_t kMaxSize = 32767;

// A page's width beside the row-number column.
int32_t axisRoom(const TimePageRequest& r) {
  return r.bodyWidth - std::max(0, r.rowNumbers);
}

// The shared width as printing uses it: 0 unless it leaves the axis room.
int32_t usableSharedWidth(const TimePageRequest& r) {
  return r.sharedWidth > 0 && r.sharedWidth < axisRoom(r) ? r.sharedWidth : 0;
}

int16_t scaledSize(int32_t size, double factor, int32_t least) {
  return int16_t(std::clamp<int64_t>(int64_t(size * factor), least, kMaxSize));
}

// A font height scaled toward zero, never to 0 (which would mean "any size").
void scaleFont(LOGFONT* font, double factor) {
  const int32_t old = font->lfHeight;
  const int32_t height = int32_t(old * factor);
  font->lfHeight = height != 0 || old == 0 ? height : (old < 0 ? -1 : 1);
}

// The units per day as step width / step days with as many digits as the
// 16-bit fields keep.
void setUnitsPerDay(double units, TimeScaleSettings* s) {
  const int32_t days = units > 3000 ? 1 : units > 300 ? 10 : units > 1 ? 100 : 10000;
  s->stepWidth = int16_t(std::clamp<int64_t>(int64_t(units * days), 1, kMaxSize));
  s->stepDays = int16_t(days);
}

}  // namespace

TimePagePlan planTimePages(const TimeScale& scale, const TimePageRequest& request) {
  TimePagePlan plan;
  const TimeScaleSettings& s = scale.settings();
  plan.rowNumbers = std::max(0, request.rowNumbers);
  plan.axisWidth = axisRoom(request);
  // No room for the axis: the caller refuses the job.
  const int32_t width = std::max(1, plan.axisWidth);
  plan.sharedWidth = usableSharedWidth(request);
  plan.leadingPages = std::max(0, request.leadingPages);
  plan.strip = std::max(0, request.repeatedStrip);
  plan.rowHeight = s.rowHeight;
  plan.rowCount = std::max<int32_t>(0, request.rowCount);
  plan.starts = scale.pageStarts(width, plan.sharedWidth > 0 ? width - plan.sharedWidth : 0);
  plan.rowsPerPage = std::max<int32_t>(1, (request.bodyHeight - plan.strip) / s.rowHeight);
  plan.pagesAcross = std::max<int>(1, int(plan.starts.size())) + plan.firstAxisPage();
  plan.pagesDown = std::max<int32_t>(1, (plan.rowCount + plan.rowsPerPage - 1) / plan.rowsPerPage);
  return plan;
}

TimePage TimePagePlan::page(const TimeScale& scale, int column, int row) const {
  TimePage p;
  row = std::clamp(row, 0, pagesDown - 1);
  p.firstRow = row * rowsPerPage;
  p.lastRow = std::min(p.firstRow + rowsPerPage, rowCount) - 1;
  p.originY = strip - p.firstRow * rowHeight;

  const int last = int(starts.size()) - 1;
  const int axisColumn = std::min(column, pagesAcross - 1) - firstAxisPage();
  p.originX = starts.empty() ? 0 : starts[std::clamp(axisColumn, 0, std::max(last, 0))];
  if (axisColumn == 0) p.originX -= sharedWidth;  // the axis starts after the view's own part
  p.originX -= rowNumbers;                        // the column takes the page's left edge
  if (axisColumn < 0 || axisColumn > last) return p;
  p.left = starts[axisColumn];
  p.right = axisColumn < last ? starts[axisColumn + 1] : kOpenRight;
  p.firstDate = scale.dateAt(p.left);
  p.lastDate = scale.dateAt(std::min(p.right, scale.totalWidth()) - 1);
  return p;
}

TimeScaleFit fitTimeScale(const TimeScale& scale, const TimePageRequest& request, int pagesAcross,
                          int pagesDown) {
  const TimeScaleSettings& s = scale.settings();
  const int32_t shared = usableSharedWidth(request);
  const int firstAxisPage = std::max(0, request.leadingPages) - (shared > 0 ? 1 : 0);
  const int chartPages = std::max(1, pagesAcross - firstAxisPage);
  const double target = double(chartPages) * axisRoom(request) - shared;

  // One scaled day is kept free per page boundary: page edges move back to
  // the start of their day.
  const double total = scale.totalWidth();
  const double day = double(s.stepWidth) / s.stepDays;
  TimeScaleFit fit;
  fit.across = (target - target / total * day * (chartPages - 1)) / total;
  if (fit.across <= 0) fit.across = target / total;

  const int32_t rows = std::max<int32_t>(1, request.rowCount);
  const int32_t rowsPerPage = std::max<int32_t>(1, (rows + pagesDown - 1) / std::max(1, pagesDown));
  const int32_t height = request.bodyHeight - std::max(0, request.repeatedStrip);
  const int16_t rowHeight = int16_t(std::clamp<int32_t>(height / rowsPerPage, 1, kMaxSize));
  fit.down = double(rowHeight) / s.rowHeight;
  fit.fonts = std::min(fit.across, fit.down);

  fit.settings = s;
  setUnitsPerDay(fit.across * day, &fit.settings);
  fit.settings.rowHeight = rowHeight;
  fit.settings.leftTableWidth = scaledSize(s.leftTableWidth, fit.across, 0);
  fit.settings.rightAreaWidth = scaledSize(s.rightAreaWidth, fit.across, 0);
  scaleFont(&fit.settings.scaleFont, fit.fonts);
  scaleFont(&fit.settings.bodyFont, fit.fonts);
  return fit;
}

}  // namespace kelvo

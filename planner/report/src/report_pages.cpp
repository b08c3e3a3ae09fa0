#include "kelvo/report_pages.h"

#include <algorithm>

namespace kelvo {

int reportBand(int16_t rowKind) {
  switch (rowKind) {
    case 0:
      return 2;
    case 1:
      return 3;
    case 2:
      return 7;
    case 4:
      return 5;
    case 6:
      return 8;
    case 50:
      return 6;
    default:
      return 4;
  }
}

int32_t rowHeight(const ReportSettings& settings, int16_t rowKind) {
  return std::max<int32_t>(settings.bandHeight[band::kCommon],
                           settings.bandHeight[reportBand(rowKind)]);
}

int32_t bodyTop(const ReportSettings& settings) {
  return int32_t(settings.marginTop) + settings.bandHeight[band::kHeader];
}

int32_t footerTop(const ReportSettings& settings) {
  return int32_t(settings.paperHeight) - settings.marginBottom - settings.bandHeight[band::kFooter];
}

std::vector<ReportPage> assignReportPages(const std::vector<ReportRow>& rows,
                                          const ReportSettings& settings) {
  std::vector<ReportPage> pages;
  if (settings.flags & reportflag::kCover) pages.push_back({-1, -1});
  if (!(settings.flags & reportflag::kBody)) return pages;
  const int32_t top = bodyTop(settings), bottom = footerTop(settings);
  const int32_t n = int32_t(rows.size());
  ReportPage page{0, 0};
  int32_t at = top;
  for (int32_t i = 0; i < n; ++i) {
    const ReportRow& row = rows[size_t(i)];
    const int32_t height = rowHeight(settings, row.kind);
    bool breakHere = false;
    if (i > page.first) {
      const int16_t previous = rows[size_t(i - 1)].level;
      breakHere = settings.breakLevel != 0 && row.level != 0 && row.level < previous &&
                  row.level <= settings.breakLevel;
      breakHere = breakHere || at + height > bottom;
    }
    if (breakHere) {
      page.end = i;
      pages.push_back(page);
      page = {i, i};
      at = top;
    }
    at += height;
  }
  page.end = n;
  pages.push_back(page);
  return pages;
}

int reportPageNumber(const ReportSettings& settings, const std::vector<ReportPage>& pages,
                     int index) {
  if (index < 0 || index >= int(pages.size())) return 0;
  const bool hasCover = !pages.empty() && pages.front().cover();
  if (hasCover && !(settings.flags & reportflag::kNumberFromCover)) {
    if (index == 0) return 0;
    return settings.firstPage + index - 1;
  }
  return settings.firstPage + index;
}

}  // namespace kelvo

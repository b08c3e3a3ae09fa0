// Dragging the map's separators: cell width and height, the heading
// columns and rows, and the name column.
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "kelvo/map_view.h"
#include "kelvo/plan_doc.h"
#include "kelvo/undo_buffer.h"

namespace kelvo {
namespace {

constexpr int32_t kSeparatorZone = 3;
constexpr int32_t kMaxSize = 32767;

bool near(int32_t at, int32_t edge) {
  return std::abs(at - edge) <= kSeparatorZone;
}

}  // namespace

bool CMapView::hitSeparator(int32_t x, int32_t y) {
  separator_ = Separator::None;
  if (!built_) return false;
  const int32_t hx = headingX(x), hy = headingY(y);
  // Row-heading columns from the outer edge; the name column last.
  int32_t edge = -rowHeadingWidth();
  for (size_t level = 0; level <= rowHeads_.size(); ++level) {
    const bool name = level == rowHeads_.size();
    if (name && settings_.nameWidth <= 0) break;
    edge += name ? settings_.nameWidth : rowHeads_[level];
    if (near(hx, edge)) {
      separator_ = Separator::RowHeading;
      separatorLevel_ = level;
      break;
    }
  }
  if (separator_ == Separator::None) {
    edge = columnHeadingHeight();
    for (size_t level = 0; level < columnHeads_.size(); ++level) {
      edge -= columnHeads_[level];
      if (near(hy, edge)) {
        separator_ = Separator::ColumnHeading;
        separatorLevel_ = level;
        break;
      }
    }
  }
  if (separator_ == Separator::None && near(hx, settings_.cellWidth))
    separator_ = Separator::CellWidth;
  if (separator_ == Separator::None && near(hy, -settings_.cellHeight))
    separator_ = Separator::CellHeight;
  if (separator_ == Separator::None) return false;
  placeDataItem(x, y);
  return true;
}

void CMapView::placeDataItem(int32_t x, int32_t y) {
  const bool vertical = separator_ == Separator::CellWidth || separator_ == Separator::RowHeading;
  if (separator_ != Separator::None) separatorAt_ = vertical ? x : y;
}

void CMapView::endSeparatorDrag(int32_t x, int32_t y, bool apply) {
  const Separator which = separator_;
  separator_ = Separator::None;
  if (!apply || which == Separator::None) return;
  struct Sizes {
    int16_t cellWidth, cellHeight, nameWidth;
    std::vector<int32_t> rows, columns;
  };
  const Sizes before{settings_.cellWidth, settings_.cellHeight, settings_.nameWidth, rowHeads_,
                     columnHeads_};
  const int32_t hx = headingX(x), hy = headingY(y);
  const auto size = [](int32_t v, int32_t least) { return std::clamp(v, least, kMaxSize); };
  switch (which) {
    case Separator::CellWidth:
      settings_.cellWidth = int16_t(size(hx, 1));
      break;
    case Separator::CellHeight:
      settings_.cellHeight = int16_t(size(-hy, 1));
      break;
    case Separator::RowHeading: {
      // The edge was at the sum of the sizes up to it; the part left of x = 0.
      int32_t edge = -rowHeadingWidth();
      for (size_t level = 0; level <= separatorLevel_ && level < rowHeads_.size(); ++level)
        edge += rowHeads_[level];
      if (separatorLevel_ == rowHeads_.size())
        settings_.nameWidth = int16_t(size(settings_.nameWidth + hx, 0));
      else
        rowHeads_[separatorLevel_] = size(rowHeads_[separatorLevel_] + hx - edge, 1);
      break;
    }
    case Separator::ColumnHeading: {
      int32_t edge = columnHeadingHeight();
      for (size_t level = 0; level <= separatorLevel_; ++level) edge -= columnHeads_[level];
      columnHeads_[separatorLevel_] = size(columnHeads_[separatorLevel_] + edge - hy, 1);
      break;
    }
    case Separator::None:
      break;
  }
  if (CPlanDoc* doc = document()) {
    // Undo swaps the sizes back; a second undo restores the drag.
    doc->undo().keep(this, [this, kept = before]() mutable {
      std::swap(settings_.cellWidth, kept.cellWidth);
      std::swap(settings_.cellHeight, kept.cellHeight);
      std::swap(settings_.nameWidth, kept.nameWidth);
      std::swap(rowHeads_, kept.rows);
      std::swap(columnHeads_, kept.columns);
      initialUpdate();
      return true;
    });
    doc->setModified();
  }
  initialUpdate();
}

}  // namespace kelvo

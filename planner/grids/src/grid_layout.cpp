#include "kelvo/grid_layout.h"

#include <algorithm>
#include <cstdlib>

namespace kelvo {

int columnLeft(const GridGeometry& g, int c) {
  int x = 0;
  if (c >= g.firstColumn) {
    for (int i = g.firstColumn; i < c && i < static_cast<int>(g.widths.size()); ++i)
      x += g.widths[i];
  } else {
    for (int i = c; i < g.firstColumn; ++i) x -= g.widths[i];
  }
  return x;
}

int lastFullyVisibleColumn(const GridGeometry& g, int dataWidth) {
  const int count = static_cast<int>(g.widths.size());
  int right = 0;
  int last = g.firstColumn - 1;
  for (int c = g.firstColumn; c < count; ++c) {
    right += g.widths[c];
    if (right > dataWidth) break;
    last = c;
  }
  return last;
}

int columnAt(const GridGeometry& g, int x) {
  if (x < 0) return -1;
  const int count = static_cast<int>(g.widths.size());
  int left = 0;
  for (int c = g.firstColumn; c < count; ++c) {
    if (x < left + g.widths[c]) return c;
    left += g.widths[c];
  }
  return -1;
}

int scrollColumns(const GridGeometry& g, HScroll how, int dataWidth) {
  const int count = static_cast<int>(g.widths.size());
  int first = g.firstColumn;
  switch (how) {
    case HScroll::LineLeft:
      first -= 1;
      break;
    case HScroll::LineRight:
      first += 1;
      break;
    case HScroll::Home:
      first = 0;
      break;
    case HScroll::End:
      first = count - 1;
      break;
    case HScroll::PageRight:
      first = std::max(lastFullyVisibleColumn(g, dataWidth) + 1, g.firstColumn + 1);
      break;
    case HScroll::PageLeft: {
      int sum = 0;
      int c = g.firstColumn - 1;
      first = c;
      for (; c >= 0; --c) {
        sum += g.widths[c];
        if (sum > dataWidth) break;
        first = c;
      }
      break;
    }
  }
  return std::clamp(first, 0, std::max(count - 1, 0));
}

DragHit hitSeparator(const GridGeometry& g, int x, int y, int dataWidth) {
  DragHit hit;
  if (y >= 1 && y <= 4) {
    hit.kind = DragKind::Header;
    return hit;
  }
  if (y >= -g.rowHeight && y <= 4 - g.rowHeight) {
    hit.kind = DragKind::Row;
    return hit;
  }
  if (g.rowNumberWidth > 0 && std::abs(x) <= 3) {
    hit.kind = DragKind::RowNumber;
    return hit;
  }
  int right = 0;
  const int count = static_cast<int>(g.widths.size());
  for (int c = g.firstColumn; c < count && right <= dataWidth; ++c) {
    right += g.widths[c];
    if (std::abs(x - right) <= 3) {
      hit.kind = DragKind::Column;
      hit.column = c;
      return hit;
    }
  }
  return hit;
}

int PrintPlan::endColumn(int across, int columnCount) const {
  if (across + 1 < static_cast<int>(firstColumns.size())) return firstColumns[across + 1];
  return columnCount;
}

bool planPrint(const GridGeometry& g, int printableWidth, int printableHeight, int rowCount,
               PrintPlan* plan) {
  const int width = printableWidth - g.rowNumberWidth;
  const int body = printableHeight - g.headerHeight;
  if (width <= 0 || body <= 0) return false;
  PrintPlan p;
  p.firstColumns.push_back(0);
  int used = 0;
  for (int c = 0; c < static_cast<int>(g.widths.size()); ++c) {
    if (used > 0 && used + g.widths[c] > width) {
      p.firstColumns.push_back(c);
      used = 0;
    }
    used += g.widths[c];
  }
  p.rowsPerPage = std::max(body / std::max(g.rowHeight, 1), 1);
  p.pagesDown = std::max((rowCount + p.rowsPerPage - 1) / p.rowsPerPage, 1);
  *plan = p;
  return true;
}

}  // namespace kelvo

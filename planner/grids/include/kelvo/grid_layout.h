// Grid geometry in the view's logical units (0.1 mm, y up): column edges
// counted from the first visible column, separator hit tests for resizing,
// horizontal scrolling by whole columns, and the division of a sheet into
// printed pages.
#ifndef KELVO_GRID_LAYOUT_H_
#define KELVO_GRID_LAYOUT_H_

#include <vector>

namespace kelvo {

struct GridGeometry {
  int headerHeight = 52;
  int rowHeight = 52;
  int rowNumberWidth = 84;  // lies left of x = 0; 0 = hidden
  std::vector<int> widths;  // one per column
  int firstColumn = 0;      // first visible column
};

// x of the left edge of column c, relative to the first visible column
// (negative for columns scrolled off to the left).
int columnLeft(const GridGeometry& g, int c);

// The last column whose right edge lies within dataWidth (the client width
// right of x = 0), or firstColumn - 1 when not even the first fits whole.
int lastFullyVisibleColumn(const GridGeometry& g, int dataWidth);

// The column that lies under x (relative to the first visible column), or -1.
int columnAt(const GridGeometry& g, int x);

// First visible column after a horizontal scroll: line left/right +-1,
// page left = the column from which the previous page of columns still
// fits, page right = the column after the last fully visible one, home 0,
// end the last column; clamped to 0 .. count - 1 (0 without columns).
enum class HScroll { LineLeft, LineRight, PageLeft, PageRight, Home, End };
int scrollColumns(const GridGeometry& g, HScroll how, int dataWidth);

// What a press on a separator resizes. x and y are view coordinates: x = 0
// at the left of the first visible column, y = 0 at the top of the body
// (the header above it, rows below at negative y).
enum class DragKind { None, Header, Row, RowNumber, Column };
struct DragHit {
  DragKind kind = DragKind::None;
  int column = -1;  // for DragKind::Column
};
DragHit hitSeparator(const GridGeometry& g, int x, int y, int dataWidth);

// The four sizes a resize changes, kept for its one-level undo.
struct GridSizes {
  int headerHeight = 0;
  int rowHeight = 0;
  int rowNumberWidth = 0;
  int column = -1;  // the column whose width was dragged, -1 = none
  int columnWidth = 0;
};

// Pages of a printed sheet. Each page repeats the header and the row-number
// column.
struct PrintPlan {
  std::vector<int> firstColumns;  // first column of each page across
  int rowsPerPage = 1;
  int pagesDown = 1;
  int pages() const { return static_cast<int>(firstColumns.size()) * pagesDown; }
  // Last column (exclusive) of page column `across`.
  int endColumn(int across, int columnCount) const;
};

// Columns go into pages across greedily (a column that does not fit on the
// current page starts the next one); rows per page = body height / row
// height, at least 1; pages down = ceil(rows / rows per page), at least 1.
// False when the printable width minus the row-number column, or the
// printable height minus the header, is not positive (margins too large).
bool planPrint(const GridGeometry& g, int printableWidth, int printableHeight, int rowCount,
               PrintPlan* plan);

}  // namespace kelvo

#endif  // KELVO_GRID_LAYOUT_H_

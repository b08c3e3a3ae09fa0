// Grid geometry: separators, scrolling by whole columns and printed pages.
#include "kelvo/grid_layout.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

GridGeometry sample() {
  GridGeometry g;
  g.widths = {100, 200, 300, 100, 400};
  return g;
}

}  // namespace

TEST(GridLayout, SeparatorsAndColumnsUnderThePointer) {
  GridGeometry g = sample();
  EXPECT_EQ(hitSeparator(g, 50, 1, 2000).kind, DragKind::Header);
  EXPECT_EQ(hitSeparator(g, 50, 4, 2000).kind, DragKind::Header);
  EXPECT_EQ(hitSeparator(g, 50, 5, 2000).kind, DragKind::None);
  EXPECT_EQ(hitSeparator(g, 50, -52, 2000).kind, DragKind::Row);
  EXPECT_EQ(hitSeparator(g, 50, -48, 2000).kind, DragKind::Row);
  EXPECT_EQ(hitSeparator(g, 50, -47, 2000).kind, DragKind::None);
  EXPECT_EQ(hitSeparator(g, -3, -100, 2000).kind, DragKind::RowNumber);
  DragHit c = hitSeparator(g, 302, -100, 2000);
  EXPECT_EQ(c.kind, DragKind::Column);
  EXPECT_EQ(c.column, 1);
  // A hidden row-number column has no edge to drag: its place belongs to
  // the first column's left side, which is no separator.
  g.rowNumberWidth = 0;
  EXPECT_EQ(hitSeparator(g, 2, -100, 2000).kind, DragKind::None);
  g.firstColumn = 2;
  EXPECT_EQ(hitSeparator(g, 300, -100, 2000).column, 2);
  EXPECT_EQ(columnAt(g, 299), 2);
  EXPECT_EQ(columnAt(g, 300), 3);
  EXPECT_EQ(columnAt(g, 5000), -1);
  EXPECT_EQ(columnLeft(g, 0), -300);
  EXPECT_EQ(columnLeft(g, 4), 400);
}

TEST(GridLayout, HorizontalScrollMovesByWholeColumns) {
  GridGeometry g = sample();
  EXPECT_EQ(lastFullyVisibleColumn(g, 650), 2);
  EXPECT_EQ(scrollColumns(g, HScroll::PageRight, 650), 3);
  EXPECT_EQ(scrollColumns(g, HScroll::LineLeft, 650), 0);  // clamped
  EXPECT_EQ(scrollColumns(g, HScroll::End, 650), 4);
  g.firstColumn = 4;
  // The previous page: columns 3, 2 fit in 450 (100 + 300), 1 does not.
  EXPECT_EQ(scrollColumns(g, HScroll::PageLeft, 450), 2);
  EXPECT_EQ(scrollColumns(g, HScroll::PageLeft, 50), 3);  // at least one column
  EXPECT_EQ(scrollColumns(g, HScroll::LineRight, 450), 4);
  // A column wider than the window still advances a page right.
  g.firstColumn = 4;
  EXPECT_EQ(scrollColumns(g, HScroll::PageRight, 10), 4);
  g.firstColumn = 2;
  EXPECT_EQ(scrollColumns(g, HScroll::PageRight, 10), 3);
}

TEST(GridLayout, PrintedPages) {
  GridGeometry g = sample();  // header 52, rows 52, row numbers 84
  PrintPlan p;
  // 584 - 84 = 500 wide: {100, 200}, {300, 100}, {400}.
  ASSERT_TRUE(planPrint(g, 584, 52 + 52 * 10 + 30, 25, &p));
  EXPECT_EQ(p.firstColumns, (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(p.endColumn(1, 5), 4);
  EXPECT_EQ(p.endColumn(2, 5), 5);
  EXPECT_EQ(p.rowsPerPage, 10);
  EXPECT_EQ(p.pagesDown, 3);
  EXPECT_EQ(p.pages(), 9);
  // No rows still prints one page; a body lower than a row prints one row
  // per page.
  ASSERT_TRUE(planPrint(g, 5000, 60, 0, &p));
  EXPECT_EQ(p.pages(), 1);
  EXPECT_EQ(p.rowsPerPage, 1);
  // A column wider than the page gets a page of its own.
  ASSERT_TRUE(planPrint(g, 84 + 150, 1000, 1, &p));
  EXPECT_EQ(p.firstColumns, (std::vector<int>{0, 1, 2, 3, 4}));
  // Margins that leave no room.
  EXPECT_FALSE(planPrint(g, 84, 1000, 1, &p));
  EXPECT_FALSE(planPrint(g, 1000, 52, 1, &p));
}

// The grid base: a header row of column titles, a row-number column at the
// left and one row per record, with the new-record row last. It lays out,
// draws (screen and paper), scrolls by rows and whole columns, navigates by
// keyboard, carries the in-place editor on the current cell, resizes the
// header, rows and columns by dragging (one-level undo) and prints in pages.
// What the rows hold comes from the derived class through the virtual
// operations below.
#ifndef KELVO_GRID_VIEW_H_
#define KELVO_GRID_VIEW_H_

#include <QString>
#include <functional>
#include <set>
#include <vector>

#include "kelvo/base_view.h"
#include "kelvo/grid_format.h"
#include "kelvo/grid_layout.h"

class QComboBox;
class QLineEdit;

namespace kelvo {

// Move requests with a special meaning for moveToRow / moveToColumn.
inline constexpr int kCommitOnly = -1;
inline constexpr int kCommitSilently = -2;

class CGridView : public CBaseView {
  Q_OBJECT
 public:
  explicit CGridView(CPlanDoc* doc, QWidget* parent = nullptr);
  ~CGridView() override;

  // --- Virtual operations, in slot order ---------------------------------
  // 1. Commits the current row and makes `row` current (kCommitOnly: commit
  // only; kCommitSilently: commit without messages). False keeps the row.
  virtual bool moveToRow(int row) = 0;
  // 2. Commits the current cell and makes `column` current (kCommitOnly:
  // commit only). False keeps the cell.
  virtual bool moveToColumn(int column) = 0;
  // 3. The descriptor of field number `field` (column titles, editors).
  virtual const FieldDesc* fieldDesc(int field) const = 0;
  // 4. The label of row `row` in the row-number column; the row's texts
  // are then asked with cellText.
  virtual QString rowLabel(int row) = 0;
  // 5. The text of field `field` in the row last labelled.
  virtual QString cellText(int field) = 0;
  // 6, 7. Bracket the labelling of the rows of one paint.
  virtual void beginRows() {}
  virtual void endRows() {}

  // --- State ----------------------------------------------------------------
  const GridFormat& format() const { return format_; }
  const std::vector<ColumnRecord>& columns() const { return columns_; }
  int rowCount() const { return rowCount_; }
  int topRow() const { return topRow_; }
  int firstColumn() const { return firstColumn_; }
  int currentRow() const { return curRow_; }
  int currentColumn() const { return curColumn_; }
  const std::set<int>& selectedRows() const { return selected_; }
  // Rows whose whole height fits below the header (at least 1).
  int visibleRows() const;
  // Whether the editor is placed on the current cell now.
  bool editorShown() const;
  QLineEdit* lineEditor() const { return edit_; }
  QComboBox* listEditor() const { return list_; }

  // Keyboard navigation: next/previous column and row as Tab, Shift+Tab,
  // Enter and Up do; a page up or down.
  bool goToColumn(int column);
  bool goToRow(int row);
  void scrollRows(int delta);

  // Resizing as a separator drag ends: kind and the new size (heights and
  // widths in 0.1 mm, clamped to 1 and 0). Keeps the old sizes for undo.
  void applyResize(DragKind kind, int column, int size);
  // Runs the document's undo step when this grid made it or it is a record
  // edit (swaps, so a second undo redoes). False when there is none.
  bool undoLayout();
  // Replaces the format block, keeping the old one for undo.
  void changeFormat(const GridFormat& format);

  // Makes row the only selected row and scrolls it into view.
  void selectOnly(int row);

  // Geometry of the current layout.
  GridGeometry geometry() const;

  // --- CBaseView --------------------------------------------------------------
  void drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                   bool printing) override;
  bool hitSeparator(int32_t x, int32_t y) override;
  void placeDataItem(int32_t x, int32_t y) override;
  void endSeparatorDrag(int32_t x, int32_t y, bool apply) override;
  void drawRubberBand(QPainter& painter, const UnitMapper& mapper) override;
  void dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) override;
  bool dataKey(int key, Qt::KeyboardModifiers modifiers) override;
  void scrollView(Qt::Orientation orientation, ScrollAction action, int thumb = 0) override;
  // The bars count columns and rows, not logical units.
  void updateScrollBars() override;
  bool preparePrinting(const PrintFormat& format, PrintLayout* layout) override;
  void printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                 const PrintFormat& format) override;
  // The page of the print job in progress without its page frame: the
  // columns of page column layout.pageColumn and the rows of its page row.
  void printColumns(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout);
  // Width of page column `across` of the print job in progress: its
  // columns and the row-number column.
  int32_t printedWidth(int across) const;
  // Whether the pages of the next print jobs show the header row (default
  // yes). A sheet printed as a chart's left table leaves it out when the
  // chart prints no time scale, so that its rows line up with the chart's.
  void setPrintsHeader(bool shown) { printsHeader_ = shown; }
  int32_t printedHeaderHeight() const { return printsHeader_ ? format_.headerHeight : 0; }
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;
  // Drawing objects show while grid flag bit 0 is set.
  bool objectsShown() const override { return format_.flags & 0x1; }
  // Objects are anchored on the sheet, not on the window: a position is
  // the point measured from the left of the first column and the top of
  // the first row, so objects scroll with the rows and columns and print
  // on the page that holds their place.
  ViewPosition pointToPosition(int32_t x, int32_t y) const override;
  void positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const override;

 protected:
  // Whether the rows may be edited at all (summary data may not).
  virtual bool readOnly() const { return false; }
  // Puts the text of the current cell into the editor (on entering it) and
  // takes it back (on leaving it; true when the row changed). The base keeps
  // no record: derived classes implement both.
  virtual void loadEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) = 0;
  virtual bool storeEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) = 0;
  // Called when layout sizes changed (resize, undo): derived views store
  // or broadcast. Base: marks the document modified.
  virtual void layoutChanged();

  // Commits the editor's cell into the row (storeEditor) when it is shown.
  bool commitCell();
  // Re-reads layout and scroll ranges and places the editor: clamps first
  // column and top row, keeps the current cell visible.
  void updateGrid();
  // Places or hides the editor over the current cell and loads it.
  void placeEditor();
  void hideEditor();
  // Places the editor and loads it again from the row (after the row was
  // reloaded).
  void reloadEditor();

  void setFormat(const GridFormat& format) { format_ = format; }
  void setColumns(std::vector<ColumnRecord> columns) { columns_ = std::move(columns); }
  void setRowCount(int rows) { rowCount_ = rows; }
  void setCurrent(int row, int column) {
    curRow_ = row;
    curColumn_ = column;
  }
  void setTopRow(int row) { topRow_ = row; }
  void clearSelection() { selected_.clear(); }
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  // Makes swap the document's undo step, owned by this grid.
  void keepUndo(std::function<bool()> swap);
  // The four sizes a resize changes (column -1: none of the columns).
  GridSizes sizes(int column) const;
  void setSizes(const GridSizes& kept);
  struct Drag {
    DragKind kind = DragKind::None;
    int column = -1;
    int32_t x = 0, y = 0;  // pointer in view units
  };
  void drawGrid(QPainter& painter, const UnitMapper& view, int32_t width, int32_t height,
                int firstColumn, int endColumn, int topRow, int rowLimit, bool printing);
  int dataWidth() const;
  // x of column's left edge measured from the left of column 0.
  int32_t sheetLeft(int column) const;
  // Prints the objects of one layer on the page of printColumns: view is
  // that page's mapping, (first, top) its first column and row.
  void printObjectLayer(QPainter& painter, const UnitMapper& view, const PrintLayout& layout,
                        int first, int top, bool front);
  int32_t bodyHeight() const;
  void syncScrollBars();
  void setOriginFromLayout();
  bool editableCell() const;

  GridFormat format_;
  std::vector<ColumnRecord> columns_;
  int rowCount_ = 0;
  int firstColumn_ = 0;
  int topRow_ = 0;
  int curColumn_ = 0;
  int curRow_ = 0;
  std::set<int> selected_;
  QLineEdit* edit_ = nullptr;
  QComboBox* list_ = nullptr;
  bool editorOn_ = false;
  bool syncing_ = false;
  Drag drag_;
  // Printing: the plan of the job in progress.
  PrintPlan plan_;
  bool printsHeader_ = true;
};

}  // namespace kelvo

#endif  // KELVO_GRID_VIEW_H_

// The project map of document window 2: a matrix of codes with the
// activities (crew requirements, summary rows) on their crossings, headings
// grouped by level, relation lines from cell to cell, blocks of selected
// cells, editing an item of every selected cell at once, linking and
// unlinking activities on the map, and printing whole cells per page.
#ifndef KELVO_MAP_VIEW_H_
#define KELVO_MAP_VIEW_H_

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "kelvo/base_view.h"
#include "kelvo/editor_source.h"
#include "kelvo/map_layout.h"

namespace kelvo {

// The dialogs the map opens; registerMapWindow installs the program's.
// Without them nothing is asked: editing and linking do nothing.
struct MapDialogs {
  // "작업 정보" on the activity in slot; true when it was stored.
  std::function<bool(QWidget* parent, CPlanDoc& doc, int slot)> editActivity;
  // "선후행 관계" for a relation from predecessor to successor (CP949 codes).
  std::function<bool(QWidget* parent, CPlanDoc& doc, const QByteArray& predecessor,
                     const QByteArray& successor)>
      connect;
  // The new value of an item (caption, current text); false on Cancel.
  std::function<bool(QWidget* parent, const QString& caption, QString* value)> askValue;
  // "선후행 관계 형식": the relation kind 0..3, -1 on Cancel.
  std::function<int(QWidget* parent)> askKind;
  // "선택 사항" over the settings, with the field names of the work-type
  // classification for the name column; true on OK.
  std::function<bool(QWidget* parent, const QStringList& headingItems, MapSettings* settings)>
      options;
};
void setMapDialogs(MapDialogs dialogs);

// Map commands.
namespace mapcmd {
inline constexpr int kShowAll = 40050;
inline constexpr int kShowSelectedRows = 40051;
inline constexpr int kShowSelectedColumns = 40052;
inline constexpr int kLink = 40024;
}  // namespace mapcmd

class CMapView : public CBaseView, public CEditorSource {
  Q_OBJECT
 public:
  // mode: what the cells show (the option bar's first choice).
  CMapView(CPlanDoc* doc, MapMode mode, QWidget* parent = nullptr);

  MapMode mode() const { return layout_.mode; }
  const MapLayout& layout() const { return layout_; }
  const MapSettings& settings() const { return settings_; }
  void setSettings(const MapSettings& settings);
  // The field of the mode's table shown in the cells (-1 none).
  int displayedItem() const { return item_; }
  void setDisplayedItem(int field);
  // The item chosen on the option bar (-1 none): shown at once and kept
  // for the mode in the project (option slot 25).
  void chooseDisplayedItem(int field);
  // The names of the mode's table's fields, in field order (empty while no
  // table is open): what the option bar offers after "표시 항목 없음".
  QStringList itemNames() const;
  // The field names of the work-type classification: what the name column
  // can show.
  QStringList headingItemNames() const;
  // Switches the mode: the old mode's lists are stored, the new mode's
  // built.
  void setMode(MapMode mode);

  // The top-left cell shown.
  int32_t topRow() const { return topRow_; }
  int32_t leftColumn() const { return leftColumn_; }
  void scrollToCell(int32_t row, int32_t column);
  // Width of the row headings and height of the column headings.
  int32_t rowHeadingWidth() const;
  int32_t columnHeadingHeight() const;

  // The selection: the records of a block of cells.
  const std::vector<MapCell>& selection() const { return selected_; }
  // Selects the block between two cells (clipped to the lists).
  void selectBlock(int32_t row1, int32_t column1, int32_t row2, int32_t column2);
  // The sizes of the row-heading columns and the column-heading rows, by
  // level (outermost first).
  const std::vector<int32_t>& rowHeadingSizes() const { return rowHeads_; }
  const std::vector<int32_t>& columnHeadingSizes() const { return columnHeads_; }

  // "자료내용 수정" with a value already chosen: sets the displayed item of
  // every selected record. Returns the number stored.
  int editSelectedItem(const QByteArray& value);
  // "선후행 관계로 연결" with a kind already chosen.
  bool linkSelection(int kind);

  // --- CBaseView -------------------------------------------------------------
  void initialUpdate() override;
  void onUpdate(int hint, qintptr extra) override;
  void storeSettings() override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;
  void drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                   bool printing) override;
  void dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) override;
  void dataToolDrag(int32_t x, int32_t y) override;
  void dataToolRelease(int32_t x, int32_t y) override;
  void dataToolCancel() override;
  void dataDoubleClick(int32_t x, int32_t y) override;
  // Separators: the first column's right edge (cell width), the first
  // row's bottom edge (cell height), the right edge of each row-heading
  // column and of the name column, the bottom edge of each column-heading
  // row. A drag applies on release as one undo step.
  bool hitSeparator(int32_t x, int32_t y) override;
  void placeDataItem(int32_t x, int32_t y) override;
  void endSeparatorDrag(int32_t x, int32_t y, bool apply) override;
  void drawRubberBand(QPainter& painter, const UnitMapper& mapper) override;
  ViewPosition pointToPosition(int32_t x, int32_t y) const override;
  void positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const override;
  QString positionText(int32_t x, int32_t y) const override;
  void scrollView(Qt::Orientation orientation, ScrollAction action, int thumb = 0) override;
  void updateScrollBars() override;
  bool preparePrinting(const PrintFormat& format, PrintLayout* layout) override;
  void pageOrigin(const PrintLayout& layout, int column, int row, int32_t* x,
                  int32_t* y) const override;
  void printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                 const PrintFormat& format) override;
  bool canFitToPaper() const override { return true; }
  // Objects show with map flag bit 0, between the cells' layers.
  bool objectsShown() const override { return viewFlags() & mapflag::kObjects; }
  bool paintsObjectLayers() const override { return true; }
  void fitReserved(int32_t* width, int32_t* height) const override;
  void applyFitToPaper(int pagesAcross, int pagesDown, int32_t printableWidth,
                       int32_t printableHeight) override;

  // --- CEditorSource: the selected cells (every cell when none is
  // selected) with the codes and the item shown; summary rows are sent, not
  // read back.
  bool editorEnabled(bool read) const override;
  bool editorRequest(bool read, EditorRequest* request) override;

 protected:
  void scrollContentsBy(int dx, int dy) override;

 private:
  enum class Drag { None, Select, Connect, CopyRelations };
  enum class Separator { None, CellWidth, CellHeight, RowHeading, ColumnHeading };
  int32_t rowCount() const { return int32_t(layout_.rows.codes.size()); }
  int32_t columnCount() const { return int32_t(layout_.columns.codes.size()); }
  void readSettings();
  void rebuild();
  // The cell table and map places again, after the data changed.
  void refreshCells();
  void applyScroll();
  // The cell under a point, clamped to the lists (false outside them).
  bool cellAt(int32_t x, int32_t y, int32_t* row, int32_t* column, bool clamp) const;
  bool readRecord(int32_t record, std::vector<char>* buf) const;
  void drawCells(QPainter& painter, const UnitMapper& mapper, int32_t firstRow, int32_t lastRow,
                 int32_t firstColumn, int32_t lastColumn);
  void drawRelations(QPainter& painter, const UnitMapper& mapper, const LogicalRect& area);
  void drawHeadings(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                    int32_t firstRow, int32_t lastRow, int32_t firstColumn, int32_t lastColumn);
  // The heading item of the work-type code of a row, formatted; empty when
  // the code is not a work-type code (summary rows) or the item is no field.
  QString headingItemText(int32_t row) const;
  void editItemCommand();
  // Heading coordinates: x from the first column shown, y from the first
  // row shown (the headings lie at x < 0 and y > 0).
  int32_t headingX(int32_t x) const { return x - leftColumn_ * settings_.cellWidth; }
  int32_t headingY(int32_t y) const { return y + topRow_ * settings_.cellHeight; }
  void copyRelationsTo(int32_t row, int32_t column);
  void linkCommand();
  void deleteRelationsCommand();
  void narrow(bool rows);
  void showAll();
  bool relationsAllowed() const;

  MapSettings settings_;
  MapLayout layout_;
  bool settingsRead_ = false;
  bool built_ = false;
  bool editing_ = false;
  int item_ = -1;
  int32_t topRow_ = 0, leftColumn_ = 0;
  std::vector<int32_t> rowHeads_, columnHeads_;
  std::vector<MapLink> links_;
  bool linksValid_ = false;
  std::vector<MapCell> selected_;
  int32_t selRow1_ = -1, selColumn1_ = -1, selRow2_ = -1, selColumn2_ = -1;
  Drag drag_ = Drag::None;
  // The separator being dragged: which, the level of a heading, and the
  // pointer's x or y.
  Separator separator_ = Separator::None;
  size_t separatorLevel_ = 0;
  int32_t separatorAt_ = 0;
  int32_t pressRow_ = 0, pressColumn_ = 0, dragX_ = 0, dragY_ = 0;
  // What the last external-editor call was handed.
  XKvMapView editorView_{};
  std::vector<XKvMapCell> editorCells_;
  // Printing: cells per page and the page being printed.
  int32_t pageRows_ = 1, pageColumns_ = 1;
  int32_t printRow_ = -1, printColumn_ = -1;
};

}  // namespace kelvo

#endif  // KELVO_MAP_VIEW_H_

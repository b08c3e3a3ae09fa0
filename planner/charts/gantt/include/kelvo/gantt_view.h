// The Gantt chart of document window 3: the rows of the sheet pane beside it
// drawn as bars on the time scale (planned, actual, remaining, critical,
// float, milestones), the relation links, the legend, dragging a bar's ends
// or body to change its dates, and connecting two activities by dragging
// from one row to another. Kind 12 shows activities, kind 13 summary
// schedules (read-only).
#ifndef KELVO_GANTT_VIEW_H_
#define KELVO_GANTT_VIEW_H_

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "kelvo/gantt_model.h"
#include "kelvo/term_view.h"

namespace kelvo {

class CTableView;

// The record dialogs the chart opens (the program installs "작업 정보" and
// "선후행 관계" with registerGanttWindow). Without them a double-click opens
// nothing and a connection enters a finish-to-start relation without lag.
struct GanttDialogs {
  // Edits the activity in record slot; true when it was stored.
  std::function<bool(QWidget* parent, CPlanDoc& doc, int slot)> editActivity;
  // Offers the relation from predecessor to successor (CP949 codes) with
  // the routing row a new one gets; true when it was stored.
  std::function<bool(QWidget* parent, CPlanDoc& doc, const QByteArray& predecessor,
                     const QByteArray& successor, int16_t routingRow)>
      connect;
};
void setGanttDialogs(GanttDialogs dialogs);

class CGanttView : public CTermView {
  Q_OBJECT
 public:
  // sheet is the pane whose record set gives the rows (kind 14 or 15).
  CGanttView(CPlanDoc* doc, CTableView* sheet, QWidget* parent = nullptr);

  CTableView* sheet() const { return sheet_; }
  const GanttBlock& block() const { return block_; }
  void setBlock(const GanttBlock& block);
  // The row whose bar is selected (-1 none).
  int32_t selectedRow() const { return selRow_; }

  // Brings the sheet pane's header and row heights in line with the scale
  // and its top row with the chart's.
  void alignSheet();
  // The sheet pane scrolled: follow its top row.
  void followSheet(int topRow);
  // Shows summary schedules (kinds 13 and 15) or activities (12 and 14) in
  // the chart and its sheet pane: each stores the settings of the kind it
  // leaves and reads those of the kind it takes. Nothing changes when the
  // panes show that mode already.
  void switchMode(bool summary);
  // 40098, from the chart or its sheet pane: the sheet "자료", "기간 표시",
  // "도표", "S-Curve" over copies of the sheet pane's format, the scale
  // settings, the chart's block and the period band; OK takes them all.
  void optionsCommand();

  // The legend: samples with their captions, left to right, in box.
  void drawLegendInto(QPainter& painter, const UnitMapper& mapper, const LogicalRect& box,
                      const LOGFONT& font, COLORREF colour);

  // --- CBaseView -----------------------------------------------------------
  void initialUpdate() override;
  void onUpdate(int hint, qintptr extra) override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;
  void dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) override;
  void dataToolDrag(int32_t x, int32_t y) override;
  void dataToolRelease(int32_t x, int32_t y) override;
  void dataToolCancel() override;
  void dataDoubleClick(int32_t x, int32_t y) override;
  void drawRubberBand(QPainter& painter, const UnitMapper& mapper) override;
  void drawSelectionHandles(QPainter& painter, const UnitMapper& mapper) override;
  void drawLegend(QPainter& painter, const UnitMapper& paper, const LogicalRect& box,
                  const PrintFormat& format) override;
  int printFormatSize() const override { return kGanttPrintFormatSize; }
  // Unless the format prints the chart alone (print flag bit 3), the sheet
  // pane's pages across come first, then the chart's; rows line up.
  bool preparePrinting(const PrintFormat& format, PrintLayout* layout) override;
  void printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                 const PrintFormat& format) override;

 protected:
  void drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                int32_t firstRow, int32_t lastRow, bool printing) override;
  int32_t bodyRowCount() const override;
  int32_t printedRowCount() const override;
  void* ownBlock() override { return &block_; }
  int ownBlockSize() const override { return sizeof(GanttBlock); }
  TimeScaleSettings defaultSettings() const override;
  void rowsMoved() override;

 private:
  enum class Drag { None, Start, Finish, Move, Connect };
  bool activities() const { return viewKind() == ViewKind::GanttChart; }
  // Rows with a record (the sheet's entry row excluded).
  int32_t recordRows() const;
  bool readRow(int32_t row, QByteArray* record) const;
  void mapRecords();
  // A label beside a bar: text placed in [left, right] from top down.
  struct RowLabel {
    int32_t left, right, top;
    Qt::Alignment align;
    QString text;
  };
  // The left and right labels of row (the block's label items), unless
  // they lie wholly outside body.
  void appendLabels(const QByteArray& record, const GanttDates& dates, int32_t row,
                    const LogicalRect& body, std::vector<RowLabel>* out) const;
  void appendLinks(int32_t firstRow, int32_t lastRow, std::vector<GanttLink>* out);
  void drawLinks(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                 int32_t firstRow, int32_t lastRow);
  // The selection frame of row: x of its start to x of its anchor day.
  bool selectionFrame(int32_t row, int32_t* left, int32_t* right, int32_t* top) const;
  void storeDrag(Drag drag, int32_t x);
  // Delete (57632) on the chart: with "자료 선택" the selected bar's
  // activity is deleted through the sheet pane; with "자료 입력" the key
  // goes to the sheet's editor. False with the drawing tools.
  bool deleteBarCommand();
  void connectRows(int32_t from, int32_t to);

  CTableView* sheet_;
  GanttBlock block_;
  std::vector<int32_t> rowOfRecord_;  // record number -> row, -1 none
  uint32_t mappedRows_ = 0xFFFFFFFF;
  int32_t selRow_ = -1;
  Drag drag_ = Drag::None;
  int32_t pressX_ = 0, pressRow_ = -1, dragX_ = 0, dragY_ = 0;
  bool following_ = false;
};

}  // namespace kelvo

#endif  // KELVO_GANTT_VIEW_H_

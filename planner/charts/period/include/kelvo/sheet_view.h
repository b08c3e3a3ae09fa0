// The period sheet (view kinds 18 and 19, document window 5 "기간별 시트"):
// the open summary's records against the time scale. Each record takes one
// row per value item; the table at the left shows the record's fields and
// the item, the time area the item's value of every period, written so that
// it ends just left of the period's day.
#ifndef KELVO_SHEET_VIEW_H_
#define KELVO_SHEET_VIEW_H_

#include <QString>
#include <vector>

#include "kelvo/editor_source.h"
#include "kelvo/grid_format.h"
#include "kelvo/period_values.h"
#include "kelvo/sheet_rows.h"
#include "kelvo/term_view.h"

namespace kelvo {

// The sheet's block stored after the time-scale settings (38 bytes).
#pragma pack(push, 1)
struct PeriodSheetBlock {
  uint16_t columnCount;  // left-table columns (record 132 + kind)
  uint16_t itemCount;    // value items (rows per record)
  uint16_t baseWidth;    // added to the column widths: the item caption's room
  char title[32];        // the sheet's title, CP949 ending in 0
};
#pragma pack(pop)
static_assert(sizeof(PeriodSheetBlock) == 38, "the period sheet block is 38 bytes");

// The most value rows a sheet shows per record.
inline constexpr int kMaxValueItems = 64;

// The caption of a value item, such as "수량 계획 당기".
QString valueItemCaption(const ValueItem& item);
// What a value row is titled with: its own title, else its caption.
QString valueItemTitle(const ValueItem& item);

class CSheetView : public CTermView, public CEditorSource {
  Q_OBJECT
 public:
  explicit CSheetView(CPlanDoc* doc, QWidget* parent = nullptr);

  const std::vector<ValueItem>& items() const { return items_; }
  const std::vector<ColumnRecord>& columns() const { return columns_; }
  // Replaces the value items (option page, tests) and lays the rows out again.
  void setItems(std::vector<ValueItem> items);
  // The values row shows (summary record row / items, item row % items),
  // and the text each is written with.
  std::vector<PeriodValue> rowValues(int32_t row) const;
  QString valueText(int32_t row, double value) const;
  bool resourceSummary() const { return resource_; }

  void initialUpdate() override;
  void storeSettings() override;
  int formatFieldCount() const override;
  void onUpdate(int hint, qintptr extra) override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;
  const PeriodSheetBlock& block() const { return block_; }
  // 40098: the sheet "기간 표시", "도표", "S-Curve" over copies of the
  // scale settings, the sheet block, the value items and the period band;
  // OK takes them as one undo step.
  void optionsCommand();

  // --- CEditorSource: sent, never read back. The summary records in sheet
  // order, each value item's values by period, the left table's columns.
  bool editorEnabled(bool read) const override;
  bool editorRequest(bool read, EditorRequest* request) override;

 protected:
  void drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                int32_t firstRow, int32_t lastRow, bool printing) override;
  int32_t bodyRowCount() const override;
  void* ownBlock() override { return &block_; }
  int ownBlockSize() const override { return sizeof block_; }
  TimeScaleSettings defaultSettings() const override;
  // The left table is as wide as its columns: they narrow with the axis.
  void scaleOwnWidths(double factor) override;
  // The sheet's title, over its left table.
  QString stripTitle() const override;
  // Row numbers count records, on each record's first row ("번호 매김").
  bool showsRowNumbers() const override { return true; }
  QString rowNumberText(int32_t row) const override;

 private:
  void openData();
  void followSummaryKind();
  const ValueItem* itemOf(int32_t row) const;
  bool seriesOf(uint32_t record, RowSeries* series) const;

  PeriodSheetBlock block_{};
  SheetRows rows_;
  std::vector<ValueItem> items_;
  std::vector<ColumnRecord> columns_;
  bool resource_ = false;
  bool dataRead_ = false;
  // What the last external-editor call was handed.
  XKvPeriodSheet editorSheet_{};
  std::vector<XKvPeriodRow> editorRows_;
  std::vector<XKvValueEntry> editorValues_;
  // The last record whose series was read, kept while rows are drawn.
  mutable int64_t cachedRecord_ = -1;
  mutable RowSeries cached_;
};

}  // namespace kelvo

#endif  // KELVO_SHEET_VIEW_H_

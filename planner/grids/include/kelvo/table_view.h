// The data sheet: a grid over one table of the open project, through a
// record set opened with the sheet's stored filter and order. Rows are
// edited in an edit buffer and committed through the document's editing
// dispatch; the sheet also deletes at the cursor, finds codes and special
// activities, and stores its layout per view kind in the option file.
#ifndef KELVO_TABLE_VIEW_H_
#define KELVO_TABLE_VIEW_H_

#include <QByteArray>

#include "kelvo/doc_edit.h"
#include "kelvo/editor_source.h"
#include "kelvo/grid_view.h"
#include "kelvo/sheet_find.h"
#include "kelvo/sheet_rows.h"

namespace kelvo {

// View flags of a table sheet (beside those of the view base).
namespace sheetflag {
inline constexpr uint16_t kTreeOrGantt = 0x1;   // kinds 9, 10, 14, 15
inline constexpr uint16_t kTable = 0x4;         // always
inline constexpr uint16_t kTreeLinked = 0x20;   // kinds 9, 10
inline constexpr uint16_t kActivities = 0x40;   // kinds 4, 14
inline constexpr uint16_t kGanttLinked = 0x80;  // kinds 14, 15
inline constexpr uint16_t kSummary = 0x100;     // kinds 7, 8, 15: read-only
inline constexpr uint16_t kCodeSearch = 0x200;  // kinds 0, 1, 2, 4, 5, 14
}  // namespace sheetflag

// The view flags a sheet of `kind` starts with.
uint16_t sheetFlagsForKind(ViewKind kind);

// Commands of the sheets.
namespace cmd {
inline constexpr int kFindCode = 57636;
inline constexpr int kFindSpecial = 40113;
inline constexpr int kLinkByRelations = 40024;
}  // namespace cmd

class CTableView : public CGridView, public CEditorSource {
  Q_OBJECT
 public:
  // The kind comes from viewState().nextViewKind, as for every view.
  explicit CTableView(CPlanDoc* doc, QWidget* parent = nullptr);

  // The table shown (null: none, e.g. no summary open).
  TableBinding* table() const { return rows_.table(); }
  const SheetRows& rows() const { return rows_; }
  // The edit buffer: the current row as edited so far.
  const QByteArray& editBuffer() const { return buffer_; }
  bool rowChanged() const { return rowChanged_; }

  // Delete at the cursor (40025, F4). On the new-record row only the edit is
  // cancelled; otherwise, when the option word asks for it, "삭제하겠습니까?"
  // must be answered Yes; the record is deleted through the document.
  // Refused for summary data and outside the data-input tool.
  bool deleteAtCursor();
  // Deletes every selected row the same way (one question for all).
  bool deleteSelected();
  // Commits the current row and shows record as the only selected row (the
  // tool becomes data select). Beeps with 20014 when the record is not a
  // row of this sheet.
  bool showRecord(uint32_t record);
  // Links each pair of consecutive selected activity rows, from the last
  // pair to the first, by a relation of relationKind (0 FS .. 3 SF; the
  // upper row is the predecessor): an existing relation between the two
  // gets the kind, else a new one with lag 0 is entered. Stops at the first
  // refusal (its message shown). True when any relation was entered.
  bool linkSelected(int relationKind);
  // "자료내용 수정" (F8, double-click) on an activity or relation sheet: what
  // was typed in the row goes in first, then the activity or relation
  // dialog opens on the current row's record. True when it stored or
  // deleted something (the row is then shown as stored).
  bool modifyAtCursor();
  // Shows the data of another kind (the Gantt table between activities
  // and summary schedules, the summary sheet between activity and
  // resource summaries): what was typed goes in silently, the old kind's
  // layout is stored, and the next initial update reads the new kind's.
  void changeKind(ViewKind kind);
  // A sheet beside the classification tree (kinds 9, 10) lists the given
  // records: the direct children of the tree's selected node, whose code is
  // codePrefix (empty for the root). What was typed in the current row goes
  // in silently first; a new row starts with codePrefix in its code.
  void showTreeRows(std::vector<int32_t> records, const QByteArray& codePrefix);
  // The finder commands with their dialogs.
  void findCodeCommand();
  void findSpecialCommand();

  // --- CGridView ------------------------------------------------------------
  bool moveToRow(int row) override;
  bool moveToColumn(int column) override;
  const FieldDesc* fieldDesc(int field) const override;
  QString rowLabel(int row) override;
  QString cellText(int field) override;

  // --- CBaseView ------------------------------------------------------------
  void initialUpdate() override;
  void onUpdate(int hint, qintptr extra) override;
  void storeSettings() override;
  int formatFieldCount() const override;
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;

  // --- CEditorSource: the sheet's rows and columns (kinds 0-8, 14, 15); a
  // sheet beside the classification tree hands the commands to the tree.
  CEditorSource* editorSource() override;
  bool editorEnabled(bool read) const override;
  bool editorRequest(bool read, EditorRequest* request) override;

 protected:
  bool readOnly() const override;
  // A resized or reformatted sheet stores its layout at once, so that it
  // survives the window being closed without a settings broadcast.
  void layoutChanged() override;
  void loadEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) override;
  void dataDoubleClick(int32_t x, int32_t y) override;
  bool storeEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) override;

 private:
  int32_t refHandle() const;
  bool linkEnabled() const;
  // Beside the tree the code column shows and takes only a code's own level
  // part: the part after the code of the tree's selected node.
  bool isTreeCode(const FieldDesc& field) const;
  QString levelPart(const QString& code) const;
  // The document's editing dispatch for this kind, into record slot (-1
  // adds); refused without a message when no project is open.
  EditResult inputRow(int32_t slot, void* record);
  int deleteCurrent();
  void loadRow();
  void openRows();
  // A summary sheet (kind 7 or 8) takes the kind of the open summary:
  // 8 for a resource summary, else 7.
  void followSummaryKind();
  bool deleteRows(std::vector<int> rows);
  void pruneDeadRows();

  std::vector<int32_t> treeRecords_;  // rows of a tree-linked sheet
  QByteArray treePrefix_;
  SheetRecord stored_{};
  bool formatRead_ = false;
  SheetRows rows_;
  QByteArray buffer_;   // the current row
  QByteArray scratch_;  // the row being drawn
  bool rowChanged_ = false;
  const char* labelled_ = nullptr;  // record of the row last labelled
};

}  // namespace kelvo

#endif  // KELVO_TABLE_VIEW_H_

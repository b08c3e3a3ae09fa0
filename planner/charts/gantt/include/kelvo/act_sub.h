// The lower panes of the Gantt window: the predecessors (kind 32), the
// successors (33), the crew details (34) or the time-shared entries (35) of
// the activity that is current in the Gantt table above, or the crews (36)
// of its work type. The relation and crew panes have four columns: the code
// of the other activity or of the resource, its name (looked up, read-only)
// and two fields of the record; the time-shared pane has the day and the
// quantity. Rows are entered, changed and deleted through the document's
// editing dispatch; a new row gets the current activity's code (or work
// type, or record number).
#ifndef KELVO_ACT_SUB_H_
#define KELVO_ACT_SUB_H_

#include <QByteArray>
#include <set>
#include <vector>

#include "kelvo/doc_edit.h"
#include "kelvo/grid_view.h"
#include "xQdDb100.h"

namespace kelvo {

class CTableView;

// The records a pane of `kind` lists for the activity with code (CP949):
// the relations whose successor is code (32) or whose predecessor is code
// (33), in the order of the other code, or its crew details (34) in
// resource order; for kind 36 code is a work type and the records are its
// crews in resource order. Empty for an empty code and for kind 35, whose
// rows are index entries (timeSharedEntries).
std::vector<uint32_t> paneRecords(ProjectDb* db, ViewKind kind, const char* code);

// The columns of a pane of `kind`: the code field (the predecessor for 32,
// the successor for 33, the resource for 34 and 36), the looked-up name
// (field -1), fields 2 and 3; for 35 the day and the quantity. Widths,
// alignments and titles come from stored (count records, as the option
// file holds them) where present; the field numbers are always these.
std::vector<ColumnRecord> paneColumns(ViewKind kind, const FieldDesc* fields, int32_t ref,
                                      const ColumnRecord* stored, int count);

// The field of a pane's table that holds the current activity's code (the
// successor for 32, the predecessor for 33, the activity for 34) or its
// work type (36); -1 for 35, whose entries name the activity by record.
int paneOwnCodeField(ViewKind kind);

// The two fields of a time-shared entry (SpaEntry): the day ("기준일") and
// the quantity ("시분할 작업 수량"), so that the pane edits entries as it
// edits records.
const FieldDesc* timeSharedFields();

class CActSub : public CGridView {
  Q_OBJECT
 public:
  // The kind (32..36) comes from viewState().nextViewKind. source is the
  // Gantt table whose current row names the activity; side is 0 for the
  // lower left pane and 1 for the lower right one.
  CActSub(CPlanDoc* doc, CTableView* source, int side, QWidget* parent = nullptr);

  int side() const { return side_; }
  // The activity whose rows are listed (CP949; empty: none, e.g. on the
  // table's entry row or with summary schedules).
  const QByteArray& activityCode() const { return code_; }
  // Record numbers of the rows, in row order; for time-shared entries the
  // days of the entries.
  const std::vector<uint32_t>& records() const { return records_; }
  // Lists another kind: the layout of the old one is stored first.
  void changeKind(ViewKind kind);
  // Deletes the current row's record through the document (after the
  // question when the option word asks for it). False when nothing was
  // deleted.
  bool deleteAtCursor();
  // Deletes the records of the selected rows (one question, one undo step
  // that enters them again). False when nothing was deleted.
  bool deleteSelected();

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
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;

 protected:
  bool readOnly() const override;
  void layoutChanged() override;
  void loadEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) override;
  bool storeEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) override;

 private:
  bool listsEntries() const { return viewKind() == ViewKind::TimeShared; }
  // The table of the pane's records (null for time-shared entries).
  TableBinding* table() const;
  // The fields of a row, their count and a row's size in bytes.
  const FieldDesc* fields() const;
  int fieldCount() const;
  int rowSize() const;
  int32_t refHandle() const;
  // Reads the current activity from the source table: its slot, code and
  // work type; false on the entry row, with no record or in summary mode.
  bool readActivity(ActRecord* activity, int32_t* slot) const;
  // Lists the rows of the current activity again, keeping the current row
  // where it still exists.
  void rebuildRows();
  bool readRecord(int row, char* buffer) const;
  void loadRow();
  // Enters the row buffer through the document: a time-shared entry
  // replaces the row's entry; a record the row's record, or adds one.
  EditResult enterRow();
  // Deletes the records of rows after the question (when asked for), as
  // one undo step.
  bool deleteRows(const std::set<int>& rows);
  // Forgets rows and makes the first row current after rows were deleted.
  void rowsDeleted();
  QString nameOf(const char* record) const;

  CTableView* source_;
  int side_;
  bool formatRead_ = false;
  QByteArray code_;
  QByteArray listedCode_;  // the code the rows were sought by
  int32_t activitySlot_ = -1;
  std::vector<uint32_t> records_;
  std::vector<SpaEntry> entries_;  // time-shared entries, by row
  QByteArray buffer_;              // the current row
  QByteArray scratch_;             // the row being drawn
  const char* labelled_ = nullptr;
  bool rowChanged_ = false;
  bool editing_ = false;  // entering or deleting rows through the document
};

}  // namespace kelvo

#endif  // KELVO_ACT_SUB_H_

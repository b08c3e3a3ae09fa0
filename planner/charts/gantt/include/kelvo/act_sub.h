// The lower panes of the Gantt window: the predecessors (kind 32), the
// successors (33) or the crew details (34) of the activity that is current
// in the Gantt table above. Each pane has four columns: the code of the
// other activity or of the resource, its name (looked up, read-only) and
// two fields of the relation or crew detail. Rows are entered, changed and
// deleted through the document's editing dispatch; a new row gets the
// current activity's code.
#ifndef KELVO_ACT_SUB_H_
#define KELVO_ACT_SUB_H_

#include <QByteArray>
#include <vector>

#include "kelvo/grid_view.h"
#include "xQdDb100.h"

namespace kelvo {

class CTableView;

// Whether kind is one of the lower panes' kinds (32, 33, 34).
constexpr bool isPaneKind(ViewKind kind) {
  return kind == ViewKind::Predecessors || kind == ViewKind::Successors ||
         kind == ViewKind::PaneCrewDetails;
}

// The records a pane of `kind` lists for the activity with code (CP949):
// the relations whose successor is code (32) or whose predecessor is code
// (33), in the order of the other code, or its crew details (34) in
// resource order. Empty for an empty code.
std::vector<uint32_t> paneRecords(ProjectDb* db, ViewKind kind, const char* code);

// The four columns of a pane of `kind`: the code field (the predecessor
// for 32, the successor for 33, the resource for 34), the looked-up name
// (field -1), fields 2 and 3. Widths, alignments and titles come from
// stored (count records, as the option file holds them) where present;
// the field numbers are always these.
std::vector<ColumnRecord> paneColumns(ViewKind kind, const FieldDesc* fields, int32_t ref,
                                      const ColumnRecord* stored, int count);

// The field of a pane's table that holds the current activity's code:
// the successor for 32, the predecessor for 33, the activity for 34.
int paneOwnCodeField(ViewKind kind);

class CActSub : public CGridView {
  Q_OBJECT
 public:
  // The kind (32..34) comes from viewState().nextViewKind. source is the
  // Gantt table whose current row names the activity; side is 0 for the
  // lower left pane and 1 for the lower right one.
  CActSub(CPlanDoc* doc, CTableView* source, int side, QWidget* parent = nullptr);

  int side() const { return side_; }
  // The activity whose rows are listed (CP949; empty: none, e.g. on the
  // table's entry row or with summary schedules).
  const QByteArray& activityCode() const { return code_; }
  // Record numbers of the rows, in row order.
  const std::vector<uint32_t>& records() const { return records_; }
  // Lists another kind: the layout of the old one is stored first.
  void changeKind(ViewKind kind);
  // Deletes the current row's record through the document (after the
  // question when the option word asks for it). False when nothing was
  // deleted.
  bool deleteAtCursor();

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
  TableBinding* table() const;
  int32_t refHandle() const;
  // Reads the current activity's code from the source table.
  QByteArray currentActivity() const;
  // Lists the rows of the current activity again, keeping the current row
  // where it still exists.
  void rebuildRows();
  bool readRecord(int row, char* buffer) const;
  void loadRow();
  QString nameOf(const char* record) const;

  CTableView* source_;
  int side_;
  bool formatRead_ = false;
  QByteArray code_;
  std::vector<uint32_t> records_;
  QByteArray buffer_;   // the current row
  QByteArray scratch_;  // the row being drawn
  const char* labelled_ = nullptr;
  bool rowChanged_ = false;
};

}  // namespace kelvo

#endif  // KELVO_ACT_SUB_H_

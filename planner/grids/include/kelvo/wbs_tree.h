// The classification tree of document window 0: the codes of the work-type
// or facility classification as a hierarchy by levels, beside the sheet
// that lists the direct children of the selected node. The tree follows
// what the sheet enters and deletes, copies and pastes branches with their
// codes renumbered, and deletes codes with their descendants.
#ifndef KELVO_WBS_TREE_H_
#define KELVO_WBS_TREE_H_

#include <QByteArray>
#include <QPointer>
#include <QTreeWidget>
#include <vector>

#include "kelvo/commands.h"
#include "kelvo/doc_edit.h"
#include "kelvo/editor_source.h"

namespace kelvo {

class CPlanDoc;
class CTableView;

class CWbsTree : public QTreeWidget,
                 public CommandTarget,
                 public ClassTreeLink,
                 public CEditorSource {
  Q_OBJECT
 public:
  // A tree over the classification the sheet shows (kind 9 work types, 10
  // facilities). The tree registers itself with the document as the tree
  // that codes entered in the sheet go under, and fills the sheet.
  CWbsTree(CPlanDoc* doc, CTableView* sheet, QWidget* parent = nullptr);
  ~CWbsTree() override;

  CTableView* sheet() const { return sheet_; }
  // 0 work types, 1 facilities.
  int classification() const;

  // Builds the tree from the classification's code index: the root
  // ("공종 분류" or "시설 분류", item data -1) and one item per code under
  // the item of its parent code. The selection is kept by record when it
  // still exists, else the root is selected; the sheet is refilled.
  void rebuild();
  // The selected item's record (-1: the root or nothing).
  int32_t selectedRecord() const;
  // Selects the item of record (-1: the root); false when it has none.
  bool selectRecord(int32_t record);
  // The item of record (null when the tree has none; -1: the root).
  QTreeWidgetItem* itemOfRecord(int32_t record) const;

  // 57632: deletes the selected code with its descendants. The root cannot
  // be deleted (beep). Asks first when the option word says so; the next
  // sibling, else the previous one, else the parent becomes the selection.
  bool deleteSelected();
  // 57634: remembers the selected code program-wide (the root: beep).
  bool copySelected();
  // Whether a code was copied (57637 enabled).
  static bool hasCopy();
  // 57637: pastes the copied code, and with the dialog's check box its
  // whole branch, under the selected item with the codes renumbered.
  // Message 20047 when the copy does not fit here. The paste is one step
  // that undo (57643) takes back and a second undo puts in again.
  bool paste();
  // Drag and drop: the code of record dropped on target is pasted there as
  // paste does, with its dialog and its undo step; the copy of 57634 stays.
  bool dropCode(int32_t record, QTreeWidgetItem* target);

  // --- ClassTreeLink --------------------------------------------------------
  int childLevel() const override;
  void codeEntered(int classification, int32_t record) override;
  void codeDeleted(int classification, int32_t record) override;

  // --- CEditorSource: both classifications (kind 9) --------------------------
  bool editorEnabled(bool read) const override;
  bool editorRequest(bool read, EditorRequest* request) override;

  // --- CommandTarget -------------------------------------------------------
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  // A dragged item carries its record and the kind of the tree's sheet.
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void onViewsUpdate(quint64 mask, int hint, qintptr extra);
  void fillSheet();
  // The classification's table and code index (the document is open).
  TableBinding& codeTable() const;
  const MemTable& codeIndex() const;
  // A copy of record (empty when no project is open or it is not live).
  // The table's current record is kept.
  std::vector<char> readRecord(int32_t record) const;
  // The code stored in record (empty when the record is not live).
  QByteArray codeOf(int32_t record) const;
  // Inserts or moves the item of record under the item of its parent code
  // and sorts that parent's children.
  void placeItem(int32_t record);
  void activateTree();
  // Inputs a copy of source under newCode through the document (title
  // replaces the source's when not null). Returns the slot, or -1 with
  // *message set.
  int32_t inputCopy(int32_t source, const QByteArray& newCode, const QByteArray* title,
                    int* message);
  // Pastes code (of kind, in record) under the selected item.
  bool pasteCode(ViewKind kind, int32_t record, const QByteArray& code);
  // Makes the branch pasted under the new code top the undo step: undo
  // deletes it (its records kept), a second undo enters them again.
  void keepPasteUndo(const QByteArray& top);

  CPlanDoc* doc_;
  QPointer<CTableView> sheet_;
};

}  // namespace kelvo

#endif  // KELVO_WBS_TREE_H_

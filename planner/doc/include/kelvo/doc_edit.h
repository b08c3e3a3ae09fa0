// The document's editing dispatch: every record a view or a dialog enters or
// deletes goes through CPlanDoc::inputRecord / deleteRecord with the kind of
// data it edits. The document calls the store's record operation for that
// kind (which checks the record and keeps the indexes in step), optionally
// shows the message it returns, and on success marks the project modified
// and tells the views that show the same data.
#ifndef KELVO_DOC_EDIT_H_
#define KELVO_DOC_EDIT_H_

#include <cstdint>

#include "kelvo/view_kind.h"
#include "xQdDb100.h"

namespace kelvo {

// What an input or a deletion came to: ok, or the message number (a string
// of the program's table) that says why the record was refused. message is
// 0 when ok, and also when no project is open or the kind is unknown. slot
// is the record an accepted input stored (-1 otherwise).
struct EditResult {
  bool ok = false;
  int message = 0;
  int32_t slot = -1;
  explicit operator bool() const { return ok; }
};

// Whether the dispatch itself shows a refusal (beep and message box) or
// leaves that to the caller (a silent commit, or a caller with its own way
// of telling).
enum class EditReport { Silent, Show };

// The classification tree beside a tree-linked sheet (isTreeKind). The dispatch asks
// it where new codes go and tells it what was entered or deleted.
class ClassTreeLink {
 public:
  virtual ~ClassTreeLink() = default;
  // The 0-based level at which a code entered now would sit (0 with the
  // root selected).
  virtual int childLevel() const = 0;
  // A code was entered or changed; record is its slot in the table.
  virtual void codeEntered(int classification, int32_t record) = 0;
  // The code in slot record (and every code below it) is about to be
  // deleted.
  virtual void codeDeleted(int classification, int32_t record) = 0;
};

// The table whose current record an input of `kind` edits and a deletion
// deletes; null for time-shared entries (the "spa" index) and unknown kinds.
TableHandle* editTable(ProjectDb& db, ViewKind kind);

// Bit mask of the view kinds whose data an edit of `kind` may change: bit k
// for view kind k. The dispatch sends its hints to these views.
uint64_t viewsOfEdit(ViewKind kind);

}  // namespace kelvo

#endif  // KELVO_DOC_EDIT_H_

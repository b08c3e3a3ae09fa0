// The document's editing dispatch: every record a view or a dialog enters or
// deletes goes through CPlanDoc::inputRecord / deleteRecord with the kind of
// data it edits. The document calls the store's record operation for that
// kind (which checks the record and keeps the indexes in step), optionally
// shows the message it returns, and on success marks the project modified
// and tells the views that show the same data.
#ifndef KELVO_DOC_EDIT_H_
#define KELVO_DOC_EDIT_H_

#include <cstdint>

#include "xQdDb100.h"

namespace kelvo {

// Kinds of data the dispatch takes. They are the view kinds of the views that
// edit them, so a grid passes its own kind.
namespace edit {
inline constexpr int kWorkTypeCode = 0;      // WbsRecord of the work-type table
inline constexpr int kFacilityCode = 1;      // WbsRecord (56 bytes) of the facility table
inline constexpr int kResource = 2;          // ResRecord
inline constexpr int kCrew = 3;              // CrewRecord
inline constexpr int kActivity = 4;          // ActRecord
inline constexpr int kRelation = 5;          // RelRecord
inline constexpr int kCrewDetail = 6;        // OprRecord
inline constexpr int kSummary = 7;           // a record of the open summary file
inline constexpr int kResourceSummary = 8;   // a record of the open summary file
inline constexpr int kTreeWorkType = 9;      // work-type code entered beside the tree
inline constexpr int kTreeFacility = 10;     // facility code entered beside the tree
inline constexpr int kGanttActivity = 14;    // ActRecord from the Gantt table
inline constexpr int kGanttSummary = 15;     // summary record from the Gantt table
inline constexpr int kPredecessors = 32;     // RelRecord from a lower Gantt pane
inline constexpr int kSuccessors = 33;       // RelRecord from a lower Gantt pane
inline constexpr int kPaneCrewDetails = 34;  // OprRecord from a lower Gantt pane
inline constexpr int kTimeShared = 35;       // SpaEntry
}  // namespace edit

// Kinds of summary data: rewritten in place only, never added or deleted
// (their sheets are read-only).
inline bool isSummaryKind(int kind) {
  return kind == edit::kSummary || kind == edit::kResourceSummary || kind == edit::kGanttSummary;
}

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

// The classification tree beside a sheet of kind 9 or 10. The dispatch asks
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
TableHandle* editTable(ProjectDb& db, int kind);

// Bit mask of the view kinds whose data an edit of `kind` may change: bit k
// for view kind k. The dispatch sends its hints to these views.
uint64_t viewsOfEdit(int kind);

}  // namespace kelvo

#endif  // KELVO_DOC_EDIT_H_

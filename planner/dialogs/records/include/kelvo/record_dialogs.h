// The dialogs that edit one record of the open project at a time: an
// activity ("작업 정보"), a relation ("선후행 관계") and an activity's progress
// ("진행 자료 정보"). Each reads the stored record, edits a copy, and stores
// only what the user changed through the document's editing dispatch; a
// refusal is shown with a beep and the dialog stays open. Any view may open
// them (double-click, "자료내용 수정" F8).
#ifndef KELVO_RECORD_DIALOGS_H_
#define KELVO_RECORD_DIALOGS_H_

#include <QByteArray>
#include <cstdint>
#include <vector>

class QWidget;

namespace kelvo {

class CPlanDoc;

// Opens "작업 정보" on the activity in record slot `slot` of the activity
// table. Returns true when something was written (the record in the table
// is then the stored one); false on Cancel, on OK with nothing changed, and
// when the slot holds no activity.
bool editActivity(QWidget* parent, CPlanDoc& doc, int slot);

// Opens "작업 정보" for a new activity prepared by the caller (`prepared`
// is an activity record of the table's size, e.g. with the classification
// codes of a map cell filled in). Returns the slot the activity was stored
// in, or -1 when nothing was stored.
int32_t newActivity(QWidget* parent, CPlanDoc& doc, const QByteArray& prepared);

// How a view opens "선후행 관계".
struct RelationDialogOptions {
  // The network chart shows the check box "선후행 관계 표시"; elsewhere it is
  // hidden and the stored flag word is kept as it is.
  bool showDisplayFlag = false;
  // The routing row a new relation starts with (an existing one keeps its
  // own).
  int16_t newRoutingRow = 0;
};

// What "선후행 관계" came to.
enum class RelationOutcome { Unchanged, Stored, Deleted };

// Opens "선후행 관계" on the relation in slot `slot` of the relation table.
// Returns true when something was written or the relation was deleted.
bool editRelation(QWidget* parent, CPlanDoc& doc, int slot);

// Opens "선후행 관계" on the relation from predecessor to successor (codes in
// CP949): the existing one when the pair is registered, else a new one.
RelationOutcome editRelationBetween(QWidget* parent, CPlanDoc& doc, const QByteArray& predecessor,
                                    const QByteArray& successor,
                                    const RelationDialogOptions& options = {});

// Opens "진행 자료 정보" on the activities in `records` (a view's selection, in
// view order), starting with the first. Returns true when anything was
// stored.
bool editProgress(QWidget* parent, CPlanDoc& doc, const std::vector<int32_t>& records);

}  // namespace kelvo

#endif  // KELVO_RECORD_DIALOGS_H_

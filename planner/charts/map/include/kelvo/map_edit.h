// What the map changes in the project, through the document's editing
// dispatch: one item of many records at once (one undo step), relations
// that link selected cells column by column, and the relations that leave
// selected activities.
#ifndef KELVO_MAP_EDIT_H_
#define KELVO_MAP_EDIT_H_

#include <QByteArray>
#include <cstdint>
#include <vector>

#include "kelvo/map_model.h"
#include "kelvo/view_kind.h"
#include "xJorDbm2.h"

namespace kelvo {

class CPlanDoc;

// The dispatch kind of a map mode's records (summary mode: the open
// summary's kind).
ViewKind mapEditKind(const CPlanDoc& doc, MapMode mode);

// Whether an item may be edited over many records: read-only fields no
// (message 20007); computed ones only after the question 20041.
enum class ItemEdit { Allowed, ReadOnly, Computed };
ItemEdit itemEditKind(MapMode mode, const FieldDesc& field);

// The outcome of a block edit: the records stored and the refusal that
// stopped it (0 none).
struct BlockEditResult {
  int stored = 0;
  int message = 0;
};

// Sets field `field` of every record in `records` (slots of the mode's
// table, in order) to the CP949 text `value`, as the sheet does, and stores
// them one by one through the dispatch. The first refusal stops the edit
// and is shown; records stored before it stay. All stored records share one
// undo step that restores them together.
BlockEditResult setItemOfRecords(CPlanDoc& doc, MapMode mode, const std::vector<int32_t>& records,
                                 int field, const QByteArray& value);

// Links selected cells: in each column, each selected cell to the next
// selected cell below it (the upper activity precedes). An existing
// relation from the upper to the lower activity of another kind gets
// `kind`; a missing one is added with lag 0. Refused relations are
// skipped. Returns the number skipped (-1 when nothing could be linked).
int linkSelectedCells(CPlanDoc& doc, std::vector<MapCell> selected, int kind);

// Copies the relations between selected activities: for every relation
// whose two activities are both in `selected`, a relation of the same kind
// and lag is added between the activities of `cells` that lie dRows rows
// and dColumns columns away from them. Pairs with an empty cell are left
// out; refused relations (duplicates, reverse pairs) are skipped. Returns
// the number skipped (-1 when nothing could be copied).
int copySelectedRelations(CPlanDoc& doc, const std::vector<MapCell>& selected,
                          const std::vector<MapCell>& cells, int32_t dRows, int32_t dColumns);

// Deletes every relation whose predecessor is one of the activities in
// `records`. Returns the number deleted.
int deleteRelationsFrom(CPlanDoc& doc, const std::vector<int32_t>& records);

}  // namespace kelvo

#endif  // KELVO_MAP_EDIT_H_

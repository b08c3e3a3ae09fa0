// After the activity table is laid out anew, every setting that names an
// activity field by its index is rewritten through the old-to-new field
// map, so that a column, a sort key or a label keeps showing the field it
// showed before. Deleted fields drop out of the lists that hold them.
#ifndef KELVO_FIELD_INDEX_REMAP_H_
#define KELVO_FIELD_INDEX_REMAP_H_

#include <cstdint>
#include <vector>

#include "xQdDb100.h"

namespace kelvo {

// Rewrites the activity field indexes the project keeps: in the option
// file the columns of the activity sheet and the Gantt sheet pane, their
// record orders, the Gantt chart's bar labels, the network chart's label
// templates on screen and on paper, and the map's displayed activity item;
// the report's activity-band items that show a field of the activity; and
// the item of each batch formula kept for activities.
// oldToNew[i] is field i's new index, -1 when it was deleted; indexes that
// named no field of the old table are dropped as well (a report item then
// shows nothing, a formula selects no item). Records that are not stored
// are left alone.
void remapActivityFieldIndexes(ProjectDb* db, const std::vector<int32_t>& oldToNew);

// The remembered choice of a combo listing "no item" and then the fields
// (0 = none, i = field i - 1), after a re-layout.
int remappedFieldChoice(const std::vector<int32_t>& oldToNew, int choice);

// The new index of old field `field`, -1 when it is gone or was never a
// field.
int32_t remappedField(const std::vector<int32_t>& oldToNew, int32_t field);

// A 40-byte label template with its field bytes rewritten; deleted fields
// go together with their wrap bytes, and the freed tail is filled with the
// end byte.
void remapLabelTemplate(uint8_t* bytes, size_t size, const std::vector<int32_t>& oldToNew);

}  // namespace kelvo

#endif  // KELVO_FIELD_INDEX_REMAP_H_

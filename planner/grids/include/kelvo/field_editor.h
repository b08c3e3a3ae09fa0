// The in-place editor of a grid cell bound to one field of a record: a
// drop-down list for reference-list fields, an edit line for the others.
// The data sheet and the Gantt window's sub-tables share it.
#ifndef KELVO_FIELD_EDITOR_H_
#define KELVO_FIELD_EDITOR_H_

#include <QString>

#include "xJorDbm2.h"

class QComboBox;
class QLineEdit;

namespace kelvo {

// The text of field `field` of record as the table engine formats it.
QString fieldText(const FieldDesc* fields, int32_t ref, const char* record, int field);

// Puts field `field` of record into the editor: a reference-list field
// fills list with the entries of its list (ref) and selects the stored one;
// any other field puts its text, all selected, into edit, which refuses
// more bytes than a string field holds. Read-only fields cannot be changed.
void loadFieldEditor(QLineEdit* edit, QComboBox* list, const FieldDesc* fields, int field,
                     int32_t ref, const char* record);
// Takes the editor's value back into field `field` of record; true when it
// differs from what the record held. Read-only fields are never changed.
bool storeFieldEditor(QLineEdit* edit, QComboBox* list, const FieldDesc* fields, int field,
                      int32_t ref, char* record);

}  // namespace kelvo

#endif  // KELVO_FIELD_EDITOR_H_

// The field layout of a table as "파일 항목" edits it: a copy of the
// table's descriptors, each remembering the field it came from, changed by
// modify / add / insert / remove under the program's rules, then applied to
// the table in one re-layout.
#ifndef KELVO_FIELD_LAYOUT_EDIT_H_
#define KELVO_FIELD_LAYOUT_EDIT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "xjor/field.h"
#include "xjor/table.h"

namespace kelvo {

// The kinds a field is shown with.
enum class FieldKind { Text = 0, Number = 1, Date = 2, Other = 3 };

FieldKind kindOfType(int type);

// Flag bit of a field the program reads at a fixed place.
inline constexpr uint32_t kReliedField = 0x01;

// What an edit asks for; name is CP949.
struct FieldEdit {
  std::string name;
  FieldKind kind = FieldKind::Number;
  int width = 0;     // integer digits, or text length
  int decimals = 0;  // decimal digits
};

// Why an edit was refused: the entry to put the focus on.
enum class EditRefusal { None, Name, Kind, Width, Decimals, NotEditable };

struct FieldEntry {
  FieldDesc desc;
  int32_t origin;  // index of the field it came from when loaded, -1 for a new one
};

class FieldLayoutEdit {
 public:
  // Copies tb's descriptors.
  explicit FieldLayoutEdit(const TableHandle& tb);

  const std::vector<FieldEntry>& entries() const { return entries_; }
  uint32_t recordSize() const { return recordSize_; }

  // Whether field i may be changed, and whether a field may be inserted
  // before it or it may be deleted (not a relied-on field).
  bool canModify(int i) const;
  bool canInsertBeforeOrRemove(int i) const;

  // The edits. A refusal leaves the layout unchanged. A relied-on field keeps
  // its type, size, place and name: only its digits change. A field with a
  // non-zero flag word keeps its name.
  EditRefusal modify(int i, const FieldEdit& edit);
  EditRefusal add(const FieldEdit& edit);
  EditRefusal insert(int before, const FieldEdit& edit);
  EditRefusal remove(int i);

  // The new field list (release with xFreeBuffer(list.fields)); false when
  // memory ran out.
  bool build(FieldList* list) const;
  // For each field of the loaded table, its index in the new layout, or -1
  // when it was deleted.
  std::vector<int32_t> oldToNew() const;

 private:
  EditRefusal checkName(const std::string& name, int self, int32_t origin) const;
  // The descriptor a user field gets from an edit (type from kind and
  // digits); Width or Decimals when out of range.
  EditRefusal userField(const FieldEdit& edit, FieldDesc* out) const;
  EditRefusal place(int at, const FieldEdit& edit);

  std::vector<FieldEntry> entries_;
  std::vector<std::string> loadedNames_;
  uint32_t recordSize_;
};

}  // namespace kelvo

#endif  // KELVO_FIELD_LAYOUT_EDIT_H_

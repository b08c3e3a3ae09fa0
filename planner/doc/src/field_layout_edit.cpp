#include "kelvo/field_layout_edit.h"

#include <algorithm>
#include <cstring>

#include "field_text.h"

namespace kelvo {
namespace {

constexpr int kMaxNameBytes = 31;
constexpr int kMaxTextWidth = 1024;
constexpr int kMaxDigits = 15, kMaxDecimals = 9;
constexpr uint32_t kMaxRecordSize = 65535;
constexpr size_t kMaxFields = 32767;

}  // namespace

FieldKind kindOfType(int type) {
  switch (type) {
    case XF_STRING:
      return FieldKind::Text;
    case XF_DATE:
      return FieldKind::Date;
    case XF_INT16:
    case XF_INT32:
    case XF_FLOAT:
    case XF_DOUBLE:
      return FieldKind::Number;
    default:
      return FieldKind::Other;
  }
}

static int32_t sizeOf(const FieldDesc& f) {
  return xSizeOfData(&f, 0xFFFFFFFFu);
}

// Moves every field at or above `from` by `by` bytes.
static void shift(std::vector<FieldEntry>& entries, int32_t from, int32_t by) {
  for (FieldEntry& e : entries)
    if (e.desc.offset >= from) e.desc.offset = static_cast<int16_t>(e.desc.offset + by);
}

FieldLayoutEdit::FieldLayoutEdit(const TableHandle& tb) : recordSize_(tb.recordSize) {
  for (int i = 0; i < tb.fieldCount; ++i) {
    entries_.push_back({tb.fields[i], i});
    loadedNames_.push_back(fieldName(tb.fields[i]));
  }
}

bool FieldLayoutEdit::canModify(int i) const {
  if (i < 0 || i >= static_cast<int>(entries_.size())) return false;
  const FieldDesc& f = entries_[i].desc;
  if (kindOfType(f.type) == FieldKind::Other) return false;
  if (!(f.flags & kReliedField)) return true;
  // A relied-on field whose format may change: only numbers have digits.
  return static_cast<int32_t>(f.flags) < 0 && kindOfType(f.type) == FieldKind::Number;
}

bool FieldLayoutEdit::canInsertBeforeOrRemove(int i) const {
  return i >= 0 && i < static_cast<int>(entries_.size()) &&
         !(entries_[i].desc.flags & kReliedField);
}

EditRefusal FieldLayoutEdit::checkName(const std::string& name, int self, int32_t origin) const {
  if (name.empty() || name.size() > kMaxNameBytes || name.find_first_of("[]") != std::string::npos)
    return EditRefusal::Name;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (static_cast<int>(i) != self && fieldName(entries_[i].desc) == name)
      return EditRefusal::Name;
  // A name a field had when the layout was loaded belongs to that field:
  // values are carried over by name.
  for (size_t k = 0; k < loadedNames_.size(); ++k)
    if (loadedNames_[k] == name && static_cast<int32_t>(k) != origin) return EditRefusal::Name;
  return EditRefusal::None;
}

EditRefusal FieldLayoutEdit::userField(const FieldEdit& edit, FieldDesc* out) const {
  std::memset(out, 0, sizeof *out);
  int width = edit.width, decimals = edit.decimals;
  switch (edit.kind) {
    case FieldKind::Text:
      out->type = XF_STRING;
      width = std::clamp(width, 1, kMaxTextWidth);
      decimals = 0;
      break;
    case FieldKind::Date:
      out->type = XF_DATE;
      width = 8;
      decimals = 0;
      break;
    case FieldKind::Number:
      if (width > kMaxDigits) return EditRefusal::Width;
      if (decimals < 0 || decimals > kMaxDecimals) return EditRefusal::Decimals;
      width = std::max(width, 1);
      if (decimals > 0)
        out->type = width + decimals < 7 ? XF_FLOAT : XF_DOUBLE;
      else
        out->type = width <= 4 ? XF_INT16 : width <= 9 ? XF_INT32 : XF_DOUBLE;
      break;
    default:
      return EditRefusal::Kind;
  }
  out->width = static_cast<int16_t>(width);
  out->decimals = static_cast<int8_t>(decimals);
  return EditRefusal::None;
}

EditRefusal FieldLayoutEdit::modify(int i, const FieldEdit& edit) {
  if (!canModify(i)) return EditRefusal::NotEditable;
  FieldEntry changed = entries_[i];
  FieldDesc& f = changed.desc;
  if (f.flags & kReliedField) {
    // Type, size and place stay: only the digits the type can show.
    const int maxWidth = f.type == XF_INT16 ? 5 : f.type == XF_INT32 ? 9 : kMaxDigits;
    const int maxDecimals = f.type == XF_FLOAT || f.type == XF_DOUBLE ? kMaxDecimals : 0;
    if (edit.width < 1 || edit.width > maxWidth) return EditRefusal::Width;
    if (edit.decimals < 0 || edit.decimals > maxDecimals) return EditRefusal::Decimals;
    f.width = static_cast<int16_t>(edit.width);
    f.decimals = static_cast<int8_t>(edit.decimals);
    entries_[i] = changed;
    return EditRefusal::None;
  }
  FieldDesc made;
  if (EditRefusal r = userField(edit, &made); r != EditRefusal::None) return r;
  const std::string name = f.flags ? fieldName(f) : trimBlanks(edit.name);
  if (EditRefusal r = checkName(name, i, changed.origin); r != EditRefusal::None) return r;
  const int32_t grows = sizeOf(made) - sizeOf(f);
  if (recordSize_ + grows > kMaxRecordSize) return EditRefusal::Width;
  f.type = made.type;
  f.width = made.width;
  f.decimals = made.decimals;
  std::memset(f.name, 0, sizeof f.name);
  std::memcpy(f.name, name.data(), name.size());
  shift(entries_, f.offset + 1, grows);
  entries_[i] = changed;
  recordSize_ += grows;
  return EditRefusal::None;
}

EditRefusal FieldLayoutEdit::place(int at, const FieldEdit& edit) {
  if (entries_.size() >= kMaxFields) return EditRefusal::NotEditable;
  FieldEntry added{};
  if (EditRefusal r = userField(edit, &added.desc); r != EditRefusal::None) return r;
  const std::string name = trimBlanks(edit.name);
  if (EditRefusal r = checkName(name, -1, -1); r != EditRefusal::None) return r;
  std::memcpy(added.desc.name, name.data(), name.size());
  added.origin = -1;
  const int32_t size = sizeOf(added.desc);
  if (recordSize_ + size > kMaxRecordSize) return EditRefusal::Width;
  if (at >= static_cast<int>(entries_.size())) {
    added.desc.offset = static_cast<int16_t>(recordSize_);
    entries_.push_back(added);
  } else {
    added.desc.offset = entries_[at].desc.offset;
    shift(entries_, added.desc.offset, size);
    entries_.insert(entries_.begin() + at, added);
  }
  recordSize_ += size;
  return EditRefusal::None;
}

EditRefusal FieldLayoutEdit::add(const FieldEdit& edit) {
  return place(static_cast<int>(entries_.size()), edit);
}

EditRefusal FieldLayoutEdit::insert(int before, const FieldEdit& edit) {
  if (!canInsertBeforeOrRemove(before)) return EditRefusal::NotEditable;
  return place(before, edit);
}

EditRefusal FieldLayoutEdit::remove(int i) {
  if (!canInsertBeforeOrRemove(i)) return EditRefusal::NotEditable;
  const FieldDesc gone = entries_[i].desc;
  entries_.erase(entries_.begin() + i);
  shift(entries_, gone.offset + 1, -sizeOf(gone));
  recordSize_ -= static_cast<uint32_t>(sizeOf(gone));
  return EditRefusal::None;
}

bool FieldLayoutEdit::build(FieldList* list) const {
  *list = FieldList{0, 0, nullptr, 0};
  // xAddFld appends at the record size; the offsets computed here are then
  // put back, so bytes outside fields keep their places.
  for (const FieldEntry& e : entries_) {
    const FieldDesc& f = e.desc;
    if (!xAddFld(list, -1, f.name, f.type, f.flags, f.width, f.decimals)) return false;
  }
  for (size_t i = 0; i < entries_.size(); ++i) list->fields[i].offset = entries_[i].desc.offset;
  list->recordSize = recordSize_;
  return true;
}

std::vector<int32_t> FieldLayoutEdit::oldToNew() const {
  std::vector<int32_t> map(loadedNames_.size(), -1);
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].origin >= 0) map[entries_[i].origin] = static_cast<int32_t>(i);
  return map;
}

}  // namespace kelvo

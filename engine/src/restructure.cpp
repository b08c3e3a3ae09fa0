// Restructuring a record table to a new field list in place.
//
// The new slots are first written behind the old data, so a disk that fills
// up leaves the table as it was (the file is cut back); only then are they
// copied down to the front, which needs no new space, and the file is cut
// after them. Slot marks are carried over unchanged, so deleted slots and
// the free list survive.
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "byte_file.h"
#include "field_value.h"
#include "xjor/field.h"

namespace {

constexpr uint32_t kMark = 4;
constexpr uint32_t kChunkSlots = 4096;

enum class Carry { kZero, kRaw, kNumber, kText, kSkip };

struct FieldPlan {
  Carry carry;
  int32_t oldIndex;
};

bool isNumber(int32_t type) {
  return type >= XF_INT8 && type <= XF_DOUBLE;
}

bool fits(const FieldDesc& fd, uint32_t recordSize) {
  return fd.offset >= 0 &&
         static_cast<uint32_t>(fd.offset) + static_cast<uint32_t>(xSizeOfData(&fd, 0xFFFFFFFFu)) <=
             recordSize;
}

// Decides for every new field where its value comes from: the old field of
// the same name, else the unmatched old field at the same position.
std::vector<FieldPlan> planFields(const FieldDesc* oldFields, int32_t oldCount, uint32_t oldSize,
                                  const FieldList& list) {
  std::vector<bool> nameMatched(static_cast<size_t>(oldCount), false);
  std::vector<int32_t> source(static_cast<size_t>(list.count), -1);
  for (int32_t j = 0; j < list.count; ++j) {
    source[j] = xGetFldOrdinal(list.fields[j].name, oldFields, oldCount);
    if (source[j] >= 0) nameMatched[source[j]] = true;
  }
  std::vector<FieldPlan> plan(static_cast<size_t>(list.count));
  for (int32_t j = 0; j < list.count; ++j) {
    int32_t k = source[j];
    if (k < 0 && j < oldCount && !nameMatched[j]) k = j;
    const FieldDesc& to = list.fields[j];
    if (!fits(to, list.recordSize)) {
      plan[j] = {Carry::kSkip, -1};
    } else if (k < 0 || !fits(oldFields[k], oldSize)) {
      plan[j] = {Carry::kZero, -1};
    } else if (to.type == oldFields[k].type && to.type != XF_STRING) {
      plan[j] = {Carry::kRaw, k};
    } else if (isNumber(to.type) && isNumber(oldFields[k].type)) {
      plan[j] = {Carry::kNumber, k};
    } else {
      plan[j] = {Carry::kText, k};
    }
  }
  return plan;
}

void convertRecord(const FieldDesc* oldFields, const unsigned char* oldRec, uint32_t oldSize,
                   const FieldList& list, const std::vector<FieldPlan>& plan,
                   unsigned char* newRec) {
  uint32_t common = oldSize < list.recordSize ? oldSize : list.recordSize;
  memcpy(newRec, oldRec, common);
  memset(newRec + common, 0, list.recordSize - common);
  char text[XF_VALUE_BUFFER];
  for (int32_t j = 0; j < list.count; ++j) {
    const FieldDesc& to = list.fields[j];
    unsigned char* at = newRec + to.offset;
    const FieldPlan& p = plan[j];
    if (p.carry == Carry::kSkip) continue;
    const FieldDesc* from = p.oldIndex >= 0 ? &oldFields[p.oldIndex] : nullptr;
    size_t size = static_cast<size_t>(xSizeOfData(&to, 0xFFFFFFFFu));
    switch (p.carry) {
      case Carry::kRaw:
        memcpy(at, oldRec + from->offset, size);
        break;
      case Carry::kNumber: {
        double value = 0;
        fieldvalue::readNumber(*from, oldRec + from->offset, &value);
        fieldvalue::writeNumber(to, at, value);
        break;
      }
      case Carry::kText:
        memset(at, 0, size);
        xGetValue(oldFields, -1, text, oldRec, p.oldIndex, XF_PLAIN);
        xSetValue(list.fields, -1, text, newRec, j);
        break;
      default:
        memset(at, 0, size);
        break;
    }
  }
}

// Writes the converted slots behind the old data. False on a failed write.
bool writeNewSlots(const TableHandle& tb, const FieldList& list, const std::vector<FieldPlan>& plan,
                   int64_t newBase) {
  uint32_t oldSize = tb.recordSize, newSize = list.recordSize;
  int64_t present = bytefile::size(tb.handle);
  std::vector<unsigned char> in(static_cast<size_t>(kChunkSlots) * (oldSize + kMark));
  std::vector<unsigned char> out(static_cast<size_t>(kChunkSlots) * (newSize + kMark));
  for (uint32_t first = 0; first < tb.slotCount; first += kChunkSlots) {
    uint32_t n = tb.slotCount - first < kChunkSlots ? tb.slotCount - first : kChunkSlots;
    int64_t pos = static_cast<int64_t>(first) * (oldSize + kMark);
    size_t want = static_cast<size_t>(n) * (oldSize + kMark);
    // Slots missing from a short file read as zeros.
    size_t have = pos >= present                              ? 0
                  : static_cast<size_t>(present - pos) < want ? static_cast<size_t>(present - pos)
                                                              : want;
    if (have > 0 && !bytefile::readAt(tb.handle, pos, in.data(), have)) return false;
    memset(in.data() + have, 0, want - have);
    for (uint32_t s = 0; s < n; ++s) {
      const unsigned char* oldSlot = in.data() + static_cast<size_t>(s) * (oldSize + kMark);
      unsigned char* newSlot = out.data() + static_cast<size_t>(s) * (newSize + kMark);
      memcpy(newSlot, oldSlot, kMark);
      if (bytefile::u32(oldSlot) == XJOR_MARK_LIVE)
        convertRecord(tb.fields, oldSlot + kMark, oldSize, list, plan, newSlot + kMark);
      else
        memset(newSlot + kMark, 0, newSize);
    }
    int64_t target = newBase + static_cast<int64_t>(first) * (newSize + kMark);
    if (!bytefile::writeAt(tb.handle, target, out.data(),
                           static_cast<size_t>(n) * (newSize + kMark)))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int32_t xModFldStr(TableHandle* tb, const FieldList* list) {
  if (tb->handle == -1 || list->count < 0 || list->count > 0x7FFF || list->recordSize > 0xFFFF ||
      (list->count > 0 && list->fields == nullptr))
    return 0;
  int32_t oldCount = tb->fields == nullptr || tb->fieldCount < 0 ? 0 : tb->fieldCount;
  FieldDesc* copy = static_cast<FieldDesc*>(
      malloc(static_cast<size_t>(list->count ? list->count : 1) * sizeof(FieldDesc)));
  if (copy == nullptr) return 0;
  if (list->count > 0)
    memcpy(copy, list->fields, static_cast<size_t>(list->count) * sizeof(FieldDesc));

  std::vector<FieldPlan> plan = planFields(tb->fields, oldCount, tb->recordSize, *list);
  int64_t oldBytes = static_cast<int64_t>(tb->slotCount) * (tb->recordSize + kMark);
  int64_t newBytes = static_cast<int64_t>(tb->slotCount) * (list->recordSize + kMark);
  int64_t present = bytefile::size(tb->handle);
  int64_t newBase = oldBytes > present ? oldBytes : present;
  TableHandle view = *tb;
  view.fieldCount = static_cast<int16_t>(oldCount);
  if (!writeNewSlots(view, *list, plan, newBase)) {
    bytefile::truncate(tb->handle, present);
    free(copy);
    return 0;
  }
  if (!bytefile::copy(tb->handle, newBase, tb->handle, 0, newBytes) ||
      !bytefile::truncate(tb->handle, newBytes)) {
    free(copy);
    return 0;
  }
  free(tb->fields);
  tb->fields = copy;
  tb->fieldCount = static_cast<int16_t>(list->count);
  tb->recordSize = static_cast<uint16_t>(list->recordSize);
  return 1;
}

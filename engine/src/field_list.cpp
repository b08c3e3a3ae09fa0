// Field descriptors and editable field lists: sizes, lookup, display
// widths, and adding, changing and removing fields with their offsets.
#include <stdlib.h>
#include <string.h>

#include "xjor/calendar.h"
#include "xjor/field.h"
#include "xjor/option.h"
#include "xjor/text.h"

namespace {

constexpr uint32_t kGrowStep = 10;

int32_t sizeOf(const FieldDesc& fd) {
  return xSizeOfData(&fd, 0xFFFFFFFFu);
}

void fill(FieldDesc* fd, const char* name, int32_t type, uint32_t flags, int32_t width,
          int32_t decimals) {
  // At most 31 bytes of the name, cut at a character boundary and padded
  // with NULs, so the stored descriptor never carries stray bytes.
  memset(fd->name, 0, sizeof fd->name);
  xCopyChars(fd->name, name, static_cast<int32_t>(sizeof fd->name) - 1);
  fd->width = static_cast<int16_t>(width);
  fd->decimals = static_cast<int8_t>(decimals);
  fd->type = static_cast<int8_t>(type);
  fd->flags = flags;
}

// Moves every field except `skip` whose offset is above (or, with
// `inclusive`, at) `from` by delta bytes.
void shiftOffsets(FieldList* list, int32_t skip, int32_t from, bool inclusive, int32_t delta) {
  for (int32_t j = 0; j < list->count; ++j) {
    FieldDesc& fd = list->fields[j];
    if (j != skip && (fd.offset > from || (inclusive && fd.offset == from)))
      fd.offset = static_cast<int16_t>(fd.offset + delta);
  }
}

}  // namespace

extern "C" int32_t xSizeOfData(const FieldDesc* fd, uint32_t cap) {
  switch (fd->type) {
    case XF_INT16:
    case XF_UINT16:
    case XF_DATE:
    case XF_REF:
      return 2;
    case XF_INT32:
    case XF_UINT32:
    case XF_FLOAT:
    case XF_RAW4:
      return 4;
    case XF_DOUBLE:
      return 8;
    case XF_STRING: {
      uint32_t width = fd->width < 0 ? 0 : static_cast<uint32_t>(fd->width);
      return static_cast<int32_t>((width < cap ? width : cap) + 1);
    }
    default:
      return 1;
  }
}

extern "C" int32_t xGetFldOrdinal(const char* name, const FieldDesc* fds, int32_t count) {
  for (int32_t i = 0; i < count; ++i)
    if (strncmp(fds[i].name, name, sizeof fds[i].name) == 0 && strlen(name) < sizeof fds[i].name)
      return i;
  return -1;
}

extern "C" int32_t xGetOutLeng(const FieldDesc* fds, int32_t i, int32_t ref) {
  const FieldDesc& fd = fds[i];
  switch (fd.type) {
    case XF_CHAR:
    case XF_RAW4:
      return 1;
    case XF_STRING:
      return fd.width;
    case XF_DATE: {
      if (xIsOrdinalTime()) return 4;
      int32_t form = xGetDateForm();
      return 6 + (form % 2 == 1 ? 2 : 0) + (form >= 6 ? 1 : 0) + (xGetDateDelimiter() ? 2 : 0);
    }
    case XF_REF: {
      uint16_t width = 0, count = 0;
      return xGetRefInfo(ref, fd.width, &width, &count) ? width : 0;
    }
    case XF_INT8:
    case XF_INT16:
    case XF_INT32:
    case XF_UINT8:
    case XF_UINT16:
    case XF_UINT32:
    case XF_FLOAT:
    case XF_DOUBLE: {
      int32_t len = fd.width;
      if ((fd.flags & XF_COMMA) && fd.width > 0) len += (fd.width - 1) / 3;
      if (fd.decimals != 0) len += fd.decimals + 1;
      return len;
    }
    default:
      return 0;
  }
}

extern "C" int32_t xTb2Fld(FieldList* list, const TableHandle* tb) {
  free(list->fields);
  list->fields = nullptr;
  list->count = 0;
  list->capacity = 0;
  list->recordSize = tb->recordSize;
  int32_t count = tb->fieldCount < 0 ? 0 : tb->fieldCount;
  uint32_t capacity = static_cast<uint32_t>(count) + kGrowStep;
  auto* fields = static_cast<FieldDesc*>(calloc(capacity, sizeof(FieldDesc)));
  if (fields == nullptr) return 0;
  if (count > 0) memcpy(fields, tb->fields, static_cast<size_t>(count) * sizeof(FieldDesc));
  list->fields = fields;
  list->count = count;
  list->capacity = capacity;
  return 1;
}

extern "C" int32_t xAddFld(FieldList* list, int32_t pos, const char* name, int32_t type,
                           uint32_t flags, int32_t width, int32_t decimals) {
  if (list->count < 0) list->count = 0;
  if (static_cast<uint32_t>(list->count) >= list->capacity) {
    uint32_t capacity = list->capacity + kGrowStep;
    auto* grown = static_cast<FieldDesc*>(realloc(list->fields, capacity * sizeof(FieldDesc)));
    if (grown == nullptr) return 0;
    list->fields = grown;
    list->capacity = capacity;
  }
  FieldDesc fd;
  memset(&fd, 0, sizeof fd);
  fill(&fd, name, type, flags, width, decimals);
  int32_t size = sizeOf(fd);
  if (pos < 0 || pos >= list->count) {
    fd.offset = static_cast<int16_t>(list->recordSize);
    list->fields[list->count] = fd;
  } else {
    // Everything at or above the taken offset moves up, whatever the
    // field order: explicit layouts need not be in byte order.
    fd.offset = list->fields[pos].offset;
    shiftOffsets(list, -1, fd.offset, true, size);
    memmove(&list->fields[pos + 1], &list->fields[pos],
            static_cast<size_t>(list->count - pos) * sizeof(FieldDesc));
    list->fields[pos] = fd;
  }
  list->recordSize += static_cast<uint32_t>(size);
  return ++list->count;
}

extern "C" void xModFld(FieldList* list, int32_t i, const char* name, int32_t type, uint32_t flags,
                        int32_t width, int32_t decimals) {
  if (i < 0 || i >= list->count) return;
  FieldDesc& fd = list->fields[i];
  int32_t before = sizeOf(fd);
  fill(&fd, name, type, flags, width, decimals);
  int32_t delta = sizeOf(fd) - before;
  if (delta == 0) return;
  shiftOffsets(list, i, fd.offset, false, delta);
  list->recordSize = static_cast<uint32_t>(static_cast<int64_t>(list->recordSize) + delta);
}

extern "C" void xDelFld(FieldList* list, int32_t i) {
  if (i < 0 || i >= list->count) return;
  FieldDesc removed = list->fields[i];
  int32_t size = sizeOf(removed);
  memmove(&list->fields[i], &list->fields[i + 1],
          static_cast<size_t>(list->count - i - 1) * sizeof(FieldDesc));
  --list->count;
  shiftOffsets(list, -1, removed.offset, false, -size);
  list->recordSize = static_cast<uint32_t>(static_cast<int64_t>(list->recordSize) - size);
}

extern "C" void xGetFld(const FieldList* list, int32_t i, char* name, int32_t* type,
                        uint32_t* flags, int32_t* width, int32_t* decimals) {
  if (i < 0 || i >= list->count) return;
  const FieldDesc& fd = list->fields[i];
  if (name) memcpy(name, fd.name, sizeof fd.name);
  if (type) *type = fd.type;
  if (flags) *flags = fd.flags;
  if (width) *width = fd.width;
  if (decimals) *decimals = fd.decimals;
}

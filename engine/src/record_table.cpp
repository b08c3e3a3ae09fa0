// Record tables: fixed-size records in the slots of a table's slot file.
// Slot i lies at (record size + 4) * i: a 4-byte mark (-2 = live, otherwise
// the next free slot) and the record bytes. Deleted slots form a free list
// through their marks that is reused last-deleted-first.
#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "file_util.h"
#include "file_view.h"
#include "platform_error.h"
#include "xjor/table.h"

using namespace xjor;

namespace {

uint64_t slotBytes(const TableHandle* tb) {
  return static_cast<uint64_t>(tb->recordSize) + 4;
}
uint64_t slotOffset(const TableHandle* tb, uint32_t slot) {
  return slotBytes(tb) * slot;
}

bool readMark(const TableHandle* tb, uint32_t slot, uint32_t* mark) {
  uint8_t word[4];
  if (fileRead(tb->handle, slotOffset(tb, slot), word, 4) != 4) return false;
  *mark = getU32(word);
  return true;
}

bool writeMark(TableHandle* tb, uint32_t slot, uint32_t mark) {
  uint8_t word[4];
  putU32(word, mark);
  return fileWrite(tb->handle, slotOffset(tb, slot), word, 4);
}

bool isLive(const TableHandle* tb, uint32_t slot) {
  uint32_t mark;
  return readMark(tb, slot, &mark) && mark == XJOR_MARK_LIVE;
}

// The current slot when it holds a live record, else -1.
int64_t liveCurrent(const TableHandle* tb) {
  if (!tb || tb->handle < 0 || tb->current < 0) return -1;
  uint32_t cur = static_cast<uint32_t>(tb->current);
  if (cur >= tb->slotCount || !isLive(tb, cur)) return -1;
  return cur;
}

}  // namespace

extern "C" int32_t xOpenTb(DbSpace* db, TableHandle* tb, const char* name, uint16_t recordSize) {
  if (!tb) return 0;
  if (!name) {
    // Only room for the descriptors that xReadTb is about to load.
    size_t bytes = tb->fieldCount > 0 ? static_cast<size_t>(tb->fieldCount) * 42 : 0;
    tb->fields = nullptr;
    if (bytes) {
      tb->fields = static_cast<FieldDesc*>(calloc(1, bytes));
      if (!tb->fields) {
        xSetDbError(21001);
        return 0;
      }
    }
    return 1;
  }
  tb->name = name;
  tb->handle = xOpenTemp(db, name, 0);
  tb->liveCount = 0;
  tb->slotCount = 0;
  tb->fieldCount = 0;
  tb->freeHead = XJOR_NONE;
  tb->current = -1;
  tb->recordSize = recordSize;
  tb->fields = nullptr;
  return tb->handle == -1 ? 0 : 1;
}

extern "C" void xCloseTb(DbSpace* db, TableHandle* tb) {
  if (!tb || tb->handle == -1) return;
  xCloseTemp(db, &tb->handle, tb->name);
  free(tb->fields);
  tb->fields = nullptr;
}

extern "C" int32_t xAddRec(TableHandle* tb, const void* record) {
  if (!tb || tb->handle < 0) return 0;
  uint8_t mark[4];
  putU32(mark, XJOR_MARK_LIVE);
  uint32_t slot = tb->freeHead;
  uint32_t next = XJOR_NONE;
  // Take the free-list head unless the list is damaged (head out of range
  // or naming a live slot); then append rather than overwrite a record.
  bool reuse = slot != XJOR_NONE && slot < tb->slotCount && readMark(tb, slot, &next) &&
               next != XJOR_MARK_LIVE;
  if (!reuse) slot = tb->slotCount;
  if (!fileWrite(tb->handle, slotOffset(tb, slot), mark, 4, record, tb->recordSize)) {
    xjorMapErrno(errno);
    return 0;
  }
  if (reuse) {
    tb->freeHead = next;
  } else {
    if (tb->freeHead != XJOR_NONE && tb->freeHead >= tb->slotCount) tb->freeHead = XJOR_NONE;
    tb->slotCount++;
  }
  tb->liveCount++;
  tb->current = static_cast<int32_t>(slot);
  return 1;
}

extern "C" int32_t xPutRec(TableHandle* tb, const void* record) {
  int64_t cur = liveCurrent(tb);
  if (cur < 0) return 0;
  uint64_t off = slotOffset(tb, static_cast<uint32_t>(cur)) + 4;
  if (!fileWrite(tb->handle, off, record, tb->recordSize)) {
    xjorMapErrno(errno);
    return 0;
  }
  return 1;
}

extern "C" int32_t xGetRec(TableHandle* tb, void* buffer) {
  if (!tb || tb->handle < 0 || tb->current < 0) return 0;
  uint32_t cur = static_cast<uint32_t>(tb->current);
  if (cur >= tb->slotCount) return 0;
  uint64_t off = slotOffset(tb, cur);
  if (const uint8_t* p = fileSpan(tb->handle, off, slotBytes(tb))) {
    if (getU32(p) != XJOR_MARK_LIVE) return 0;
    memcpy(buffer, p + 4, tb->recordSize);
    return 1;
  }
  if (!isLive(tb, cur)) return 0;
  return fileRead(tb->handle, off + 4, buffer, tb->recordSize) == tb->recordSize ? 1 : 0;
}

extern "C" int32_t xDelRec(TableHandle* tb) {
  int64_t cur = liveCurrent(tb);
  if (cur < 0) return 0;
  if (!writeMark(tb, static_cast<uint32_t>(cur), tb->freeHead)) {
    xjorMapErrno(errno);
    return 0;
  }
  tb->freeHead = static_cast<uint32_t>(cur);
  tb->liveCount--;
  return 1;
}

extern "C" int32_t xMoveNext(TableHandle* tb) {
  if (!tb) return 0;
  if (tb->liveCount == 0 || tb->handle < 0) {
    tb->current = -1;
    return 0;
  }
  // From -1 this starts at slot 0.
  uint64_t slot = tb->current < 0 ? 0 : static_cast<uint64_t>(tb->current) + 1;
  for (; slot < tb->slotCount; ++slot) {
    if (isLive(tb, static_cast<uint32_t>(slot))) {
      tb->current = static_cast<int32_t>(slot);
      return 1;
    }
  }
  tb->current = -1;
  return 0;
}

extern "C" int32_t xMovePrev(TableHandle* tb) {
  if (!tb) return 0;
  if (tb->liveCount == 0 || tb->handle < 0) {
    tb->current = -1;
    return 0;
  }
  int64_t slot = tb->current < 0 ? static_cast<int64_t>(tb->slotCount) : tb->current;
  if (slot > static_cast<int64_t>(tb->slotCount)) slot = tb->slotCount;
  while (--slot >= 0) {
    if (isLive(tb, static_cast<uint32_t>(slot))) {
      tb->current = static_cast<int32_t>(slot);
      return 1;
    }
  }
  tb->current = -1;
  return 0;
}

extern "C" void xPackTb(TableHandle* tb) {
  if (!tb || tb->handle < 0) return;
  uint64_t size = slotBytes(tb);
  uint8_t* slotBuf = static_cast<uint8_t*>(malloc(size));
  if (!slotBuf) {
    xSetDbError(21001);
    return;
  }
  uint32_t kept = 0;
  for (uint32_t slot = 0; slot < tb->slotCount; ++slot) {
    if (fileRead(tb->handle, slotOffset(tb, slot), slotBuf, size) != size) break;
    if (getU32(slotBuf) != XJOR_MARK_LIVE) continue;
    if (kept != slot && !fileWrite(tb->handle, slotOffset(tb, kept), slotBuf, size)) {
      // Stop without cutting the file: every record is still in it.
      xjorMapErrno(errno);
      free(slotBuf);
      return;
    }
    ++kept;
  }
  free(slotBuf);
  if (!fileTruncate(tb->handle, slotOffset(tb, kept))) xjorMapErrno(errno);
  tb->slotCount = kept;
  tb->liveCount = kept;
  tb->freeHead = XJOR_NONE;
}

// The saved image of a record table: counts, descriptors and the slot file's
// bytes, as the project file carries it.
//
//   u32 live count, u32 free head, u32 slot count, u16 record size,
//   i16 field count, field count x 42 descriptor bytes,
//   u32 slot-file length, the slot file verbatim.
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "file_util.h"
#include "file_view.h"
#include "platform_error.h"
#include "xjor/table.h"

using namespace xjor;

namespace {

constexpr size_t kHeaderBytes = 16;
constexpr size_t kFieldBytes = 42;

// Every slot the counts name is present, the free list visits exactly the
// deleted slots and ends, and exactly liveCount marks are live. The marks
// are counted from pieces read in order, not through the file's mapping:
// checking a large table should neither make a call per slot nor bring its
// pages into the process.
bool slotsConsistent(const TableHandle* tb) {
  uint64_t stride = static_cast<uint64_t>(tb->recordSize) + 4;
  auto markOf = [&](uint32_t slot, uint32_t* mark) {
    uint8_t word[4];
    if (preadFull(tb->handle, stride * slot, word, 4) != 4) return false;
    *mark = getU32(word);
    return true;
  };
  const uint32_t slotsPerPiece = static_cast<uint32_t>(std::max<uint64_t>(1, (1u << 20) / stride));
  std::vector<uint8_t> piece;
  uint32_t live = 0, mark = 0;
  for (uint32_t slot = 0; slot < tb->slotCount;) {
    const uint32_t n = std::min(tb->slotCount - slot, slotsPerPiece);
    piece.resize(n * stride);
    if (preadFull(tb->handle, stride * slot, piece.data(), piece.size()) != piece.size()) {
      return false;
    }
    for (uint32_t i = 0; i < n; ++i) {
      if (getU32(piece.data() + i * stride) == XJOR_MARK_LIVE) ++live;
    }
    slot += n;
  }
  if (live != tb->liveCount) return false;
  uint32_t freeSlots = tb->slotCount - tb->liveCount;
  uint32_t slot = tb->freeHead;
  for (uint32_t steps = 0; slot != XJOR_NONE; ++steps) {
    if (steps >= freeSlots || slot >= tb->slotCount) return false;
    if (!markOf(slot, &mark) || mark == XJOR_MARK_LIVE) return false;
    slot = mark;
    if (slot == XJOR_NONE && steps + 1 != freeSlots) return false;
  }
  return tb->freeHead != XJOR_NONE || freeSlots == 0;
}

void leaveEmpty(TableHandle* tb, uint16_t recordSize) {
  tb->liveCount = 0;
  tb->freeHead = XJOR_NONE;
  tb->slotCount = 0;
  tb->recordSize = recordSize;
  tb->fieldCount = 0;
  tb->current = -1;
  free(tb->fields);
  tb->fields = nullptr;
  fileTruncate(tb->handle, 0);
}

}  // namespace

extern "C" void xSaveTb(TableHandle* tb, int32_t file) {
  if (!tb) return;
  uint8_t header[kHeaderBytes];
  putU32(header, tb->liveCount);
  putU32(header + 4, tb->freeHead);
  putU32(header + 8, tb->slotCount);
  putU16(header + 12, tb->recordSize);
  putU16(header + 14, static_cast<uint16_t>(tb->fieldCount));
  if (writeFull(file, header, sizeof header) != sizeof header) xjorMapErrno(errno);
  size_t fieldBytes = tb->fieldCount > 0 ? static_cast<size_t>(tb->fieldCount) * kFieldBytes : 0;
  if (fieldBytes) {
    if (tb->fields) {
      if (writeFull(file, tb->fields, fieldBytes) != fieldBytes) xjorMapErrno(errno);
    } else {
      static const uint8_t zeros[kFieldBytes] = {};
      for (int i = 0; i < tb->fieldCount; ++i) {
        if (writeFull(file, zeros, kFieldBytes) != kFieldBytes) xjorMapErrno(errno);
      }
    }
  }
  xCopyFile(tb->handle, file, 0);
}

extern "C" void xReadTb(TableHandle* tb, int32_t file) {
  if (!tb) return;
  if (tb->handle < 0) {
    xSetDbError(21002);
    return;
  }
  uint16_t openedSize = tb->recordSize;
  // Everything read below is checked against what the source really holds
  // before anything is allocated or copied.
  struct stat st;
  off_t pos = lseek(file, 0, SEEK_CUR);
  if (pos < 0 || fstat(file, &st) != 0) {
    xjorMapErrno(errno);
    leaveEmpty(tb, openedSize);
    return;
  }
  uint64_t avail = st.st_size > pos ? static_cast<uint64_t>(st.st_size - pos) : 0;

  uint8_t header[kHeaderBytes];
  if (avail < kHeaderBytes + 4 || readFull(file, header, sizeof header) != sizeof header) {
    xSetDbError(21006);
    leaveEmpty(tb, openedSize);
    return;
  }
  uint32_t live = getU32(header);
  uint32_t freeHead = getU32(header + 4);
  uint32_t slots = getU32(header + 8);
  uint16_t recordSize = getU16(header + 12);
  int16_t fieldCount = static_cast<int16_t>(getU16(header + 14));
  uint64_t fieldBytes = fieldCount > 0 ? static_cast<uint64_t>(fieldCount) * kFieldBytes : 0;
  uint64_t slotSpan = static_cast<uint64_t>(slots) * (static_cast<uint64_t>(recordSize) + 4);
  if (fieldCount < 0 || live > slots || (freeHead != XJOR_NONE && freeHead >= slots) ||
      fieldBytes + 4 > avail - kHeaderBytes) {
    xSetDbError(21006);
    leaveEmpty(tb, openedSize);
    return;
  }
  FieldDesc* fields = nullptr;
  uint8_t lengthWord[4];
  if (fieldBytes) {
    fields = static_cast<FieldDesc*>(malloc(fieldBytes));
    if (!fields) {
      xSetDbError(21001);
      leaveEmpty(tb, openedSize);
      return;
    }
  }
  if ((fieldBytes && readFull(file, fields, fieldBytes) != fieldBytes) ||
      readFull(file, lengthWord, 4) != 4) {
    free(fields);
    xSetDbError(21006);
    leaveEmpty(tb, openedSize);
    return;
  }
  uint64_t length = getU32(lengthWord);
  if (length > avail - kHeaderBytes - fieldBytes - 4 || slotSpan > length) {
    free(fields);
    xSetDbError(21006);
    leaveEmpty(tb, openedSize);
    return;
  }

  free(tb->fields);
  tb->fields = fields;
  tb->liveCount = live;
  tb->freeHead = freeHead;
  tb->slotCount = slots;
  tb->recordSize = recordSize;
  tb->fieldCount = fieldCount;
  tb->current = -1;
  if (lseek(tb->handle, 0, SEEK_SET) != 0) {
    xjorMapErrno(errno);
    leaveEmpty(tb, openedSize);
    return;
  }
  if (!copyBytes(file, tb->handle, length)) {  // the error word says why
    leaveEmpty(tb, openedSize);
    return;
  }
  if (!slotsConsistent(tb)) {
    xSetDbError(21006);
    leaveEmpty(tb, openedSize);
  }
}

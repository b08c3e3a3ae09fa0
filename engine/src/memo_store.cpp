// The memo store: texts in 128-byte blocks of the main scratch file. Each
// block holds a mark (-2 in use, else the next free block), the next block
// of its memo (-1 last) and text; the first block also holds the length.
#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "byte_file.h"
#include "platform_error.h"
#include "xjor/option.h"

namespace {

constexpr uint32_t kBlock = 128;
constexpr uint32_t kFirstText = 116;
constexpr uint32_t kNextText = 120;
constexpr uint32_t kEnd = 0xFFFFFFFFu;
constexpr char kPackName[] = "~$m";

uint64_t blocksFor(uint64_t len) {
  return (len + 123) / 120;
}

struct Block {
  unsigned char raw[kBlock];
  uint32_t mark() const { return bytefile::u32(raw); }
  uint32_t next() const { return bytefile::u32(raw + 4); }
  uint32_t length() const { return bytefile::u32(raw + 8); }
};

bool readBlock(const DbSpace* db, uint32_t b, Block* block) {
  return b < db->memoBlocks &&
         bytefile::readAt(db->mainHandle, static_cast<int64_t>(b) * kBlock, block->raw, kBlock);
}

bool writeBlock(const DbSpace* db, uint32_t b, const Block& block) {
  return bytefile::writeAt(db->mainHandle, static_cast<int64_t>(b) * kBlock, block.raw, kBlock);
}

bool writeMark(const DbSpace* db, uint32_t b, uint32_t mark) {
  unsigned char word[4];
  bytefile::put32(word, mark);
  return bytefile::writeAt(db->mainHandle, static_cast<int64_t>(b) * kBlock, word, 4);
}

// Takes a block off the free list, or appends one. A free head that is out
// of range or names a block in use means a damaged list; it is dropped so
// no memo is ever overwritten.
uint32_t takeBlock(DbSpace* db) {
  Block block;
  if (db->memoFree != kEnd && readBlock(db, db->memoFree, &block) &&
      block.mark() != XJOR_MARK_LIVE) {
    uint32_t b = db->memoFree;
    db->memoFree = block.mark();
    return b;
  }
  db->memoFree = kEnd;
  return db->memoBlocks++;
}

// The first block of memo m, when m names a block in use.
bool firstBlock(const DbSpace* db, uint32_t m, Block* block) {
  return m >= 1 && readBlock(db, m - 1, block) && block->mark() == XJOR_MARK_LIVE;
}

}  // namespace

extern "C" uint32_t xAddMemo(DbSpace* db, const char* text, int32_t len) {
  uint32_t length = len < 1 ? static_cast<uint32_t>(strlen(text)) : static_cast<uint32_t>(len);
  if (length == 0) return 0;
  if (db->mainHandle < 0) {
    xSetDbError(21002);
    return 0;
  }
  const uint32_t oldFree = db->memoFree, oldBlocks = db->memoBlocks;
  std::vector<uint32_t> chain(static_cast<size_t>(blocksFor(length)));
  std::vector<uint32_t> oldMarks(chain.size(), kEnd);  // of blocks taken off the free list
  for (size_t k = 0; k < chain.size(); ++k) {
    chain[k] = takeBlock(db);
    if (chain[k] < oldBlocks) oldMarks[k] = db->memoFree;
  }
  // Last block first: appended blocks, the ones a full disk refuses, are
  // written before any block taken off the free list is overwritten.
  for (size_t k = chain.size(); k-- > 0;) {
    Block block;
    memset(block.raw, 0, kBlock);
    bytefile::put32(block.raw, XJOR_MARK_LIVE);
    bytefile::put32(block.raw + 4, k + 1 < chain.size() ? chain[k + 1] : kEnd);
    if (k == 0) bytefile::put32(block.raw + 8, length);
    uint32_t from = k == 0 ? 0 : kFirstText + static_cast<uint32_t>(k - 1) * kNextText;
    uint32_t room = k == 0 ? kFirstText : kNextText;
    memcpy(block.raw + (k == 0 ? 12 : 8), text + from, length - from < room ? length - from : room);
    if (!writeBlock(db, chain[k], block)) {
      // Nothing was added: blocks already written go back on the free list
      // as they were. A descriptor that cannot write is a read-only one.
      int err = errno == EBADF ? EACCES : errno;
      for (size_t j = k + 1; j < chain.size(); ++j) {
        if (chain[j] < oldBlocks) writeMark(db, chain[j], oldMarks[j]);
      }
      db->memoFree = oldFree;
      db->memoBlocks = oldBlocks;
      xjorMapErrno(err);
      return 0;
    }
  }
  return chain[0] + 1;
}

extern "C" int32_t xDelMemo(DbSpace* db, uint32_t m) {
  if (m < 1) return 0;
  // Each freed block loses its in-use mark, so a chain that loops stops at
  // the first block it revisits.
  for (uint32_t b = m - 1; b != kEnd;) {
    Block block;
    if (!readBlock(db, b, &block) || block.mark() != XJOR_MARK_LIVE) return 0;
    uint32_t next = block.next();
    bytefile::put32(block.raw, db->memoFree);
    if (!writeBlock(db, b, block)) return 0;
    db->memoFree = b;
    b = next;
  }
  return 1;
}

extern "C" uint32_t xPutMemo(DbSpace* db, uint32_t m, const char* text, int32_t len) {
  const uint32_t freeBefore = db->memoFree;
  if (!xDelMemo(db, m)) return 0;
  uint32_t added = xAddMemo(db, text, len);
  if (added == 0 && (len > 0 || text[0] != '\0')) {
    // The new text could not be stored: the old memo comes back. Its
    // chain's next links are untouched; only the marks changed.
    uint32_t b = m - 1;
    for (uint32_t steps = 0; b != kEnd && steps < db->memoBlocks; ++steps) {
      Block block;
      if (!readBlock(db, b, &block) || !writeMark(db, b, XJOR_MARK_LIVE)) break;
      b = block.next();
    }
    db->memoFree = freeBefore;
  }
  return added;
}

extern "C" uint32_t xGetMemo(DbSpace* db, uint32_t m, char* buf) {
  Block block;
  if (!firstBlock(db, m, &block)) return 0;
  uint32_t length = block.length();
  // A length that more blocks than the store has could not hold is damage.
  if (blocksFor(length) > db->memoBlocks) return 0;
  if (length == 0 || buf == nullptr) return length;
  uint64_t limit = blocksFor(length);
  uint32_t done = 0;
  for (uint64_t k = 0; k < limit && done < length; ++k) {
    if (k > 0) {
      uint32_t next = block.next();
      if (next == kEnd || !readBlock(db, next, &block) || block.mark() != XJOR_MARK_LIVE) break;
    }
    uint32_t room = k == 0 ? kFirstText : kNextText;
    uint32_t take = length - done < room ? length - done : room;
    memcpy(buf + done, block.raw + (k == 0 ? 12 : 8), take);
    done += take;
  }
  buf[done] = '\0';
  return done;
}

extern "C" void xSaveMemo(DbSpace* db, int32_t file) {
  unsigned char head[8];
  bytefile::put32(head, db->memoFree);
  bytefile::put32(head + 4, db->memoBlocks);
  if (!bytefile::writeCurrent(file, head, sizeof head)) return;
  xCopyFile(db->mainHandle, file, 0);
}

extern "C" void xReadMemo(DbSpace* db, int32_t file) {
  unsigned char head[8];
  if (!bytefile::readCurrent(file, head, sizeof head)) return;
  xCopyFile(file, db->mainHandle, -1);
  // The words read must agree with the blocks actually present.
  uint64_t present = static_cast<uint64_t>(bytefile::size(db->mainHandle)) / kBlock;
  uint32_t blocks = bytefile::u32(head + 4);
  db->memoBlocks = blocks <= present ? blocks : static_cast<uint32_t>(present);
  uint32_t free = bytefile::u32(head);
  db->memoFree = free < db->memoBlocks ? free : kEnd;
}

extern "C" DbSpace* xPackMemoF(DbSpace* db) {
  if (db->memoBlocks == 0) return nullptr;
  auto* old = static_cast<DbSpace*>(malloc(sizeof(DbSpace)));
  if (old == nullptr) return nullptr;
  int32_t h = xOpenTemp(db, kPackName, 0);
  if (h == -1 ||
      !bytefile::copy(db->mainHandle, 0, h, 0, static_cast<int64_t>(db->memoBlocks) * kBlock)) {
    if (h != -1) xCloseTemp(db, &h, kPackName);
    free(old);
    return nullptr;
  }
  // The old memos are read from the copy; db's own file is refilled from
  // block 0 as memos are moved back.
  *old = *db;
  old->mainHandle = h;
  db->memoFree = kEnd;
  db->memoBlocks = 0;
  return old;
}

extern "C" uint32_t xPackMemoN(DbSpace* db, DbSpace* old, uint32_t m) {
  uint32_t length = xGetMemo(old, m, nullptr);
  if (length == 0) return 0;
  std::vector<char> text(static_cast<size_t>(length) + 1);
  length = xGetMemo(old, m, text.data());
  return length ? xAddMemo(db, text.data(), static_cast<int32_t>(length)) : 0;
}

extern "C" void xPackMemoC(DbSpace* db, int32_t* handle) {
  xCloseTemp(db, handle, kPackName);
  bytefile::truncate(db->mainHandle, static_cast<int64_t>(db->memoBlocks) * kBlock);
}

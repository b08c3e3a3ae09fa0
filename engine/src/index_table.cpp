// Index tables: dense fixed-size records in a file of the scratch family (or
// any file opened by path), optionally kept in key order.
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>

#include "file_view.h"
#include "key_search.h"
#include "platform_error.h"
#include "xjor/index.h"

using namespace xjor;

namespace {

// Largest piece of the tail moved at once by an insert or a delete.
constexpr size_t kMoveChunk = 1 << 20;

uint64_t offsetOf(const IndexTable* t, uint32_t record) {
  return static_cast<uint64_t>(record) * static_cast<uint64_t>(t->recordSize);
}

bool usable(const IndexTable* t) {
  return t != nullptr && t->handle >= 0 && t->recordSize > 0;
}

// Reports a failed file call through the error word; returns 0.
int32_t fileFailure() {
  xjorMapErrno(errno != 0 ? errno : EIO);
  return 0;
}

// Moves the bytes [from, end) of the file to [from + shift, end + shift)
// (shift may be negative) through one heap buffer, taking the pieces from
// the end when moving up and from the front when moving down, so that no
// byte is overwritten before it has been read. Returns 0 with 21001 when no
// buffer can be had (nothing moved), or with a file error.
int32_t moveBytes(int fd, uint64_t from, uint64_t end, int64_t shift) {
  if (end <= from) return 1;
  size_t chunk = static_cast<size_t>(std::min<uint64_t>(end - from, kMoveChunk));
  uint8_t* buffer = static_cast<uint8_t*>(malloc(chunk));
  if (buffer == nullptr) {
    xSetDbError(21001);
    return 0;
  }
  int32_t ok = 1;
  for (uint64_t done = 0; done < end - from && ok;) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(chunk, end - from - done));
    uint64_t at = shift > 0 ? end - done - n : from + done;
    if (fileRead(fd, at, buffer, n) != n || !fileWrite(fd, at + shift, buffer, n))
      ok = fileFailure();
    done += n;
  }
  free(buffer);
  return ok;
}

}  // namespace

extern "C" int32_t xiOpenTb(DbSpace* db, IndexTable* t, const char* name, int32_t recordSize,
                            const KeyDesc* key) {
  if (t == nullptr || name == nullptr || recordSize < 1 || recordSize > INT16_MAX) return 0;
  int32_t handle = db != nullptr ? xOpenTemp(db, name, 0) : xOpenFile(name, 0);
  if (handle == -1) return 0;
  uint64_t records = 0;
  if (db == nullptr) {
    struct stat st;
    if (fstat(handle, &st) != 0) {
      fileFailure();
      xCloseFile(&handle);
      return 0;
    }
    records = static_cast<uint64_t>(st.st_size) / static_cast<uint64_t>(recordSize);
  }
  t->handle = handle;
  t->count = static_cast<uint32_t>(std::min<uint64_t>(records, UINT32_MAX - 1));
  t->current = XJOR_NONE;
  t->recordSize = static_cast<int16_t>(recordSize);
  t->key = key;
  t->name = db != nullptr ? name : nullptr;
  return 1;
}

extern "C" int32_t xiGet(IndexTable* t, void* buffer) {
  if (!usable(t) || buffer == nullptr || t->current >= t->count) return 0;
  size_t n = static_cast<size_t>(t->recordSize);
  return fileRead(t->handle, offsetOf(t, t->current), buffer, n) == n ? 1 : fileFailure();
}

extern "C" int32_t xiPut(IndexTable* t, const void* record) {
  if (!usable(t) || record == nullptr || t->current >= t->count) return 0;
  return fileWrite(t->handle, offsetOf(t, t->current), record, t->recordSize) ? 1 : fileFailure();
}

extern "C" int32_t xiIns(IndexTable* t, const void* record) {
  if (!usable(t) || record == nullptr || t->current > t->count || t->count >= UINT32_MAX - 1)
    return 0;
  uint64_t at = offsetOf(t, t->current);
  if (!moveBytes(t->handle, at, offsetOf(t, t->count), t->recordSize)) return 0;
  if (!fileWrite(t->handle, at, record, t->recordSize)) return fileFailure();
  ++t->count;
  return 1;
}

extern "C" int32_t xiDel(IndexTable* t) {
  if (!usable(t) || t->current >= t->count) return 0;
  uint64_t at = offsetOf(t, t->current);
  if (!moveBytes(t->handle, at + t->recordSize, offsetOf(t, t->count), -t->recordSize)) return 0;
  if (!fileTruncate(t->handle, offsetOf(t, t->count - 1))) return fileFailure();
  --t->count;
  return 1;
}

extern "C" void xiDelAll(IndexTable* t) {
  if (t == nullptr || t->handle < 0) return;
  if (!fileTruncate(t->handle, 0)) fileFailure();
  t->count = 0;
}

extern "C" int32_t xiSeek(IndexTable* t, const void* key) {
  if (!usable(t)) return 0;
  size_t size = static_cast<size_t>(t->recordSize);
  // Searched in place through the file's mapping when there is one, else
  // record by record.
  if (const uint8_t* all = fileSpan(t->handle, 0, offsetOf(t, t->count))) {
    auto record = [all, size](uint32_t i) { return all + static_cast<size_t>(i) * size; };
    return searchKey(t->count, key, t->key, record, &t->current) ? 1 : 0;
  }
  uint8_t* buffer = static_cast<uint8_t*>(calloc(1, size));
  if (buffer == nullptr) {
    xSetDbError(21001);
    return 0;
  }
  auto record = [t, buffer, size](uint32_t i) {
    if (fileRead(t->handle, offsetOf(t, i), buffer, size) != size) memset(buffer, 0, size);
    return buffer;
  };
  int32_t found = searchKey(t->count, key, t->key, record, &t->current) ? 1 : 0;
  free(buffer);
  return found;
}

extern "C" int32_t xiAdd(IndexTable* t, const void* record) {
  if (!usable(t)) return 0;
  if (t->key == nullptr) {
    t->current = t->count;
  } else if (xiSeek(t, record)) {
    return 0;
  }
  return xiIns(t, record);
}

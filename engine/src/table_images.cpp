// Saved images of index tables and memory tables, written to and read from
// the current position of another file (the project file).
#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_util.h"
#include "file_view.h"
#include "platform_error.h"
#include "xjor/index.h"

using namespace xjor;

namespace {

// Bytes between the current position of fd and its end.
bool bytesLeft(int fd, uint64_t* left) {
  struct stat st;
  off_t at = lseek(fd, 0, SEEK_CUR);
  if (at < 0 || fstat(fd, &st) != 0) return false;
  *left = st.st_size > at ? static_cast<uint64_t>(st.st_size - at) : 0;
  return true;
}

bool readU32(int fd, uint32_t* value) {
  uint8_t word[4];
  if (readFull(fd, word, 4) != 4) return false;
  *value = getU32(word);
  return true;
}

void writeU32(int fd, uint32_t value) {
  uint8_t word[4];
  putU32(word, value);
  if (writeFull(fd, word, 4) != 4) xjorMapErrno(errno);
}

void emptyIndex(IndexTable* t) {
  fileTruncate(t->handle, 0);
  t->count = 0;
}

}  // namespace

extern "C" void xiSaveTb(IndexTable* t, int32_t file) {
  if (t == nullptr || t->handle < 0) return;
  writeU32(file, t->count);
  xCopyFile(t->handle, file, 0);  // byte length, then the file's bytes
}

extern "C" void xiReadTb(IndexTable* t, int32_t file) {
  if (t == nullptr || t->handle < 0 || t->recordSize < 1) return;
  uint32_t count = 0, length = 0;
  uint64_t left = 0;
  // The records must fit in the stored bytes, and those in the file.
  if (!readU32(file, &count) || !readU32(file, &length) || !bytesLeft(file, &left) ||
      length > left || count > length / static_cast<uint32_t>(t->recordSize)) {
    emptyIndex(t);
    xSetDbError(21006);
    return;
  }
  if (!fileTruncate(t->handle, 0) || lseek(t->handle, 0, SEEK_SET) != 0) {
    xjorMapErrno(errno);
    lseek(file, length, SEEK_CUR);  // callers reading further stay in step
    t->count = 0;
    return;
  }
  if (!copyBytes(file, t->handle, length)) {
    emptyIndex(t);
    return;
  }
  t->count = count;
}

extern "C" void xmSaveTb(const MemTable* m, int32_t file) {
  if (m == nullptr) return;
  uint32_t count = m->data != nullptr && m->recordSize > 0 ? m->count : 0;
  writeU32(file, count);
  size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(m->recordSize);
  if (bytes > 0 && writeFull(file, m->data, bytes) != bytes) xjorMapErrno(errno);
}

extern "C" void xmReadTb(MemTable* m, int32_t file) {
  if (m == nullptr || m->recordSize < 1) return;
  if (m->owned) free(m->data);
  m->data = nullptr;
  m->count = 0;
  m->capacity = 0;
  m->owned = 1;
  uint32_t count = 0;
  uint64_t left = 0;
  if (!readU32(file, &count) || !bytesLeft(file, &left)) {
    xSetDbError(21006);
    return;
  }
  uint64_t bytes = static_cast<uint64_t>(count) * static_cast<uint64_t>(m->recordSize);
  if (bytes > left) {  // refused before anything is allocated
    xSetDbError(21006);
    return;
  }
  if (count == 0) return;
  m->data = static_cast<uint8_t*>(malloc(bytes));
  if (m->data == nullptr) {
    lseek(file, static_cast<off_t>(bytes), SEEK_CUR);
    xSetDbError(21001);
    return;
  }
  if (readFull(file, m->data, bytes) != bytes) {
    free(m->data);
    m->data = nullptr;
    xSetDbError(21006);
    return;
  }
  m->count = count;
  m->capacity = count;
}

// The reference file: an 8-byte header, 63 directory entries of 8 bytes
// (width u16, count u16, offset u32) and list data appended behind them.
#include <stdlib.h>
#include <string.h>

#include "byte_file.h"
#include "ref_dir.h"
#include "xjor/option.h"

namespace {

constexpr int64_t kDirectoryStart = 8;
constexpr int64_t kEntrySize = 8;

int64_t entryPosition(int32_t list) {
  return kDirectoryStart + kEntrySize * list;
}
bool validList(int32_t list) {
  return list >= 0 && list < XREF_LISTS;
}

}  // namespace

namespace refdir {

bool read(int32_t handle, int32_t list, Entry* entry) {
  unsigned char raw[kEntrySize];
  if (!validList(list) || !bytefile::readAt(handle, entryPosition(list), raw, sizeof raw))
    return false;
  entry->width = bytefile::u16(raw);
  entry->count = bytefile::u16(raw + 2);
  entry->offset = bytefile::u32(raw + 4);
  if (entry->offset == 0) return false;
  int64_t bytes = static_cast<int64_t>(entry->count) * (entry->width + 1);
  return entry->offset + bytes <= bytefile::size(handle);
}

}  // namespace refdir

extern "C" int32_t xCreateRef(int32_t* handle, const char* path) {
  int32_t h = xCreateFile(path, 1);
  if (h == -1) return 0;
  unsigned char zeros[XREF_HEADER_SIZE - kDirectoryStart] = {};
  if (!bytefile::writeAt(h, kDirectoryStart, zeros, sizeof zeros)) {
    xCloseFile(&h);
    return 0;
  }
  *handle = h;
  return 1;
}

extern "C" int32_t xOpenRef(int32_t* handle, const char* path) {
  int32_t h = xOpenFile(path, 10001);
  if (h == -1) return 0;
  *handle = h;
  return 1;
}

extern "C" int32_t xPutRef(int32_t handle, int32_t list, const RefList* ref) {
  if (!validList(list)) return 0;
  int64_t end = bytefile::size(handle);
  int64_t bytes = static_cast<int64_t>(ref->count) * (ref->width + 1);
  if (end < XREF_HEADER_SIZE || end + bytes > 0xFFFFFFFFll) return 0;
  if (bytes > 0 && !bytefile::writeAt(handle, end, ref->entries, static_cast<size_t>(bytes)))
    return 0;
  unsigned char raw[kEntrySize];
  bytefile::put16(raw, ref->width);
  bytefile::put16(raw + 2, ref->count);
  bytefile::put32(raw + 4, static_cast<uint32_t>(end));
  return bytefile::writeAt(handle, entryPosition(list), raw, sizeof raw) ? 1 : 0;
}

extern "C" int32_t xGetRef(int32_t handle, int32_t list, RefList* ref) {
  refdir::Entry entry;
  if (!refdir::read(handle, list, &entry)) return 0;
  size_t bytes = static_cast<size_t>(entry.count) * (entry.width + 1u);
  char* block = ref->entries;
  bool allocated = block == nullptr;
  if (allocated) {
    block = static_cast<char*>(malloc(bytes ? bytes : 1));
    if (block == nullptr) return 0;
  }
  if (!bytefile::readAt(handle, entry.offset, block, bytes)) {
    if (allocated) free(block);
    return 0;
  }
  ref->width = entry.width;
  ref->count = entry.count;
  ref->entries = block;
  return 1;
}

extern "C" int32_t xGetRefInfo(int32_t handle, int32_t list, uint16_t* width, uint16_t* count) {
  refdir::Entry entry;
  if (!refdir::read(handle, list, &entry)) return 0;
  *width = entry.width;
  *count = entry.count;
  return 1;
}

extern "C" void xFreeBuffer(void* block) {
  free(block);
}

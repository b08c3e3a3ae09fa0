// Saved table images from hostile bytes. An image is either refused (the
// table left empty) or read completely; a read table must walk exactly its
// live count, keep working under adds, deletes and packing, and save back
// to the very bytes it was read from.
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xJorDbm2.h"

namespace {

int memoryFile(const uint8_t* data, size_t size) {
  int fd = memfd_create("read_tb_fuzz", 0);
  if (fd < 0) abort();
  if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) abort();
  lseek(fd, 0, SEEK_SET);
  return fd;
}

char g_folder[] = "/tmp/read-tb-fuzz-XXXXXX";
DbSpace g_db = {};

void removeFamily() {
  xCloseFile(&g_db.mainHandle);
  xDelDbTemp(&g_db);
  rmdir(g_folder);
}

DbSpace& family() {
  static bool open = [] {
    if (!mkdtemp(g_folder) || !xOpenDb(&g_db, g_folder, nullptr)) abort();
    atexit(removeFamily);
    return true;
  }();
  (void)open;
  return g_db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DbSpace& db = family();
  TableHandle tb = {};
  if (!xOpenTb(&db, &tb, "t", 7)) abort();
  int src = memoryFile(data, size);
  xSetDbError(0);
  xReadTb(&tb, src);
  off_t consumed = lseek(src, 0, SEEK_CUR);
  close(src);

  if (xGetDbError() != 0) {
    if (tb.slotCount || tb.liveCount || tb.fieldCount || tb.fields || xMoveNext(&tb)) abort();
    xCloseTb(&db, &tb);
    return 0;
  }

  // Saving gives back exactly the bytes that were read.
  int out = memoryFile(nullptr, 0);
  xSaveTb(&tb, out);
  off_t saved = lseek(out, 0, SEEK_END);
  if (saved != consumed) abort();
  std::vector<uint8_t> bytes(static_cast<size_t>(saved));
  if (saved && pread(out, bytes.data(), bytes.size(), 0) != saved) abort();
  close(out);
  if (!bytes.empty() && memcmp(bytes.data(), data, bytes.size()) != 0) abort();

  std::vector<uint8_t> rec(tb.recordSize + 1u);
  uint32_t live = 0;
  tb.current = -1;
  while (xMoveNext(&tb)) {
    if (!xGetRec(&tb, rec.data())) abort();
    ++live;
  }
  if (live != tb.liveCount) abort();
  // Reuse every free slot and one more, delete the first, pack.
  uint32_t before = tb.slotCount;
  uint32_t freeSlots = tb.slotCount - tb.liveCount;
  for (uint32_t i = 0; i <= freeSlots && i < 64; ++i) xAddRec(&tb, rec.data());
  if (freeSlots < 64 && tb.slotCount != before + 1) abort();
  tb.current = -1;
  if (xMoveNext(&tb)) xDelRec(&tb);
  uint32_t keep = tb.liveCount;
  xPackTb(&tb);
  if (tb.slotCount != keep || tb.freeHead != XJOR_NONE) abort();
  xCloseTb(&db, &tb);
  return 0;
}

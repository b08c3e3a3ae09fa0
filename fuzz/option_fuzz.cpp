// Option files and memo stores of any content: item reads, the free-item
// scan and memo chains must fail cleanly, end, and stay inside buffers.
#include <stdint.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <vector>

#include "xJorDbm2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  int32_t file = memfd_create("opt", 0);
  if (file < 0) return 0;
  if (write(file, data + 2, size - 2) != static_cast<ssize_t>(size - 2)) {
    close(file);
    return 0;
  }
  int32_t count = (data[0] | data[1] << 8) % 600;
  OptionFileRef opt = {nullptr, file, "opt", count};
  std::vector<char> buf;
  for (int32_t item = -1; item <= count; ++item) {
    int32_t blockSize = xOption(&opt, XOPT_SIZE, item, nullptr, 0);
    buf.assign(static_cast<size_t>(blockSize > 0 && blockSize < (1 << 20) ? blockSize : 16), 0);
    xOption(&opt, XOPT_READ, item, buf.data(), static_cast<uint32_t>(buf.size()));
    if (blockSize >= 0 && blockSize < (1 << 20)) xOption(&opt, XOPT_READ, item, buf.data(), 0);
    xOption(&opt, XOPT_NEXT_FREE, item, nullptr, 0);
  }
  // The same bytes as a memo store.
  DbSpace db;
  memset(&db, 0, sizeof db);
  db.mainHandle = file;
  db.memoBlocks = static_cast<uint32_t>((size - 2) / 128);
  db.memoFree = data[0] % 4 == 0 ? 0xFFFFFFFFu : data[1];
  for (uint32_t m = 0; m <= db.memoBlocks + 1; ++m) {
    uint32_t n = xGetMemo(&db, m, nullptr);
    if (n > 0) {
      buf.assign(n + 1, 0);
      xGetMemo(&db, m, buf.data());
    }
  }
  for (uint32_t m = 1; m <= db.memoBlocks; ++m) xDelMemo(&db, m);
  xAddMemo(&db, "after damage", 0);
  close(file);
  return 0;
}

// Memory tables kept in option items (operations 8 and 9): a u32 record
// count followed by the records.
#include <string.h>

#include <vector>

#include "byte_file.h"
#include "option_dir.h"
#include "xjor/index.h"

namespace optdir {

int32_t readTable(OptionFileRef* opt, int32_t item, void* table) {
  auto* m = static_cast<MemTable*>(table);
  Entry e = read(opt, item);
  unsigned char head[4];
  if (e.state != XOPT_IN_USE || m == nullptr || m->recordSize < 1 || e.size < sizeof head ||
      !blockInFile(opt, e.offset, e.size) || !bytefile::readAt(opt->handle, e.offset, head, 4))
    return 0;
  uint32_t k = bytefile::u32(head);
  uint64_t bytes = static_cast<uint64_t>(k) * static_cast<uint32_t>(m->recordSize);
  // The count must fit the block before anything is allocated.
  if (k < 1 || sizeof head + bytes > e.size) return 0;
  xmOpenTb(m, static_cast<int32_t>(k), m->key, 0);
  if (m->data == nullptr) return 0;
  if (!bytefile::readAt(opt->handle, e.offset + sizeof head, m->data, bytes)) {
    m->count = 0;
    return 0;
  }
  m->count = k;
  return item;
}

int32_t writeTable(OptionFileRef* opt, int32_t item, void* table) {
  const auto* m = static_cast<const MemTable*>(table);
  if (m == nullptr || m->recordSize < 0 || (m->count > 0 && m->data == nullptr)) return 0;
  uint64_t records = static_cast<uint64_t>(m->count) * static_cast<uint32_t>(m->recordSize);
  if (4 + records > 0xFFFFFFFFull) return 0;
  uint32_t need = static_cast<uint32_t>(4 + records);
  std::vector<unsigned char> block(need);
  bytefile::put32(block.data(), m->count);
  if (records > 0) memcpy(block.data() + 4, m->data, records);
  Entry e = read(opt, item);
  bool append = !(need <= e.size && e.offset != 0);
  e.size = need;
  return storeBlock(opt, item, e, block.data(), need, append) ? item : 0;
}

}  // namespace optdir

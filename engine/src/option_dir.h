// Directory entries of option files, shared by the item operations and the
// memory-table operations.
#ifndef XJOR_OPTION_DIR_H_
#define XJOR_OPTION_DIR_H_

#include <stdint.h>

#include "xjor/option.h"

namespace optdir {

constexpr uint32_t kEntrySize = 10;

struct Entry {
  uint16_t state;   // XOPT_UNUSED, XOPT_IN_USE or XOPT_DELETED
  uint32_t size;    // block size
  uint32_t offset;  // block offset, 0 = no block
};

inline uint32_t directoryBytes(const OptionFileRef* opt) {
  return static_cast<uint32_t>(opt->count) * kEntrySize;
}

bool validItem(const OptionFileRef* opt, int32_t item);
// Reads entry item; an entry missing from a short file reads as unused.
Entry read(const OptionFileRef* opt, int32_t item);
bool write(const OptionFileRef* opt, int32_t item, const Entry& e);
// True when bytes at offset lie behind the directory and inside the file.
bool blockInFile(const OptionFileRef* opt, uint32_t offset, uint64_t bytes);
// Writes bytes of data at e.offset (or appended at the end of the file, which
// then becomes e.offset; the file is then extended with zeros to hold
// e.size bytes there), then rewrites the entry with state in use. The entry
// is rewritten only after the data is written.
bool storeBlock(const OptionFileRef* opt, int32_t item, Entry e, const void* data, uint32_t bytes,
                bool append);

// Operations 8 and 9 on a MemTable given as buf.
int32_t readTable(OptionFileRef* opt, int32_t item, void* table);
int32_t writeTable(OptionFileRef* opt, int32_t item, void* table);

}  // namespace optdir

#endif  // XJOR_OPTION_DIR_H_

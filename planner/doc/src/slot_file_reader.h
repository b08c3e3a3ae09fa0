// Sequential reading of a record table's slot file in large pieces, for
// passes over every record of a large project: no mapping of the file (whose
// pages would count against the process's memory) and no call per record.
#ifndef KELVO_DOC_SLOT_FILE_READER_H_
#define KELVO_DOC_SLOT_FILE_READER_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "xjor/table.h"

namespace kelvo {

class SlotFileReader {
 public:
  explicit SlotFileReader(const TableHandle& table);

  // The record bytes (the table's record size) in `slot`, or null when the
  // slot holds no live record or cannot be read. Valid until the next call.
  // Fastest when slots are asked in increasing order.
  const uint8_t* record(uint32_t slot);

 private:
  int fd_;
  size_t stride_;
  uint32_t slotCount_;
  std::vector<uint8_t> piece_;
  uint32_t first_ = 0, count_ = 0;  // the slots now in piece_
};

}  // namespace kelvo

#endif  // KELVO_DOC_SLOT_FILE_READER_H_

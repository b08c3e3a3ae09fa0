// Sequential writing of large amounts into a file in big pieces: the
// records of a new record table one after another, and any run of bytes
// after them, without a system call per record.
#ifndef KELVO_DOC_SLOT_FILE_WRITER_H_
#define KELVO_DOC_SLOT_FILE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "xjor/table.h"

namespace kelvo {

// Bytes written one after another from a place in a file.
class PieceWriter {
 public:
  PieceWriter(int fd, uint64_t at);
  // Adds n bytes after those written before.
  void write(const void* bytes, size_t n);
  // Writes what is still held; false when any write failed.
  bool finish();

 private:
  int fd_;
  uint64_t at_;  // where the held bytes go
  std::vector<uint8_t> held_;
  bool ok_ = true;
};

// Live records appended to a table after its last slot (free slots stay
// free). The table's counts take the records only when finish succeeds.
class SlotFileWriter {
 public:
  explicit SlotFileWriter(TableHandle& table);
  // Adds one record of the table's record size.
  void add(const void* record);
  // Writes what is held and counts the records in the table; false (the
  // table's counts unchanged) when any write failed.
  bool finish();

 private:
  TableHandle& table_;
  PieceWriter out_;
  uint32_t added_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_DOC_SLOT_FILE_WRITER_H_
